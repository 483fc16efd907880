// Writing the bitmap files a saved world needs.
#include "formats/bitmap_save.h"

#include <cstring>
#include <string>
#include <vector>

#include "formats/bitmap_file_form.h"
#include "formats/world_formats.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/strings.h"
#include "render/images/jbm.h"
#include "render/images/jbm_files.h"
#include "render/images/jpeg_convert.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/world_order.h"

namespace {

// Whether an animation or a background shows the bitmap; with only_saved only those in use.
bool scene_uses(const bitmap_texture* b, bool only_saved) {
    if (animation_find_using_bitmap(b, only_saved ? 1 : 0)) return true;
    for (const background* g = engine_state.backgrounds; g; g = g->next) {
        if (only_saved && !g->to_be_saved) continue;
        for (const frame_item* f = g->frames; f; f = f->next) {
            if (f->bitmap == b) return true;
        }
    }
    return false;
}

// The .jbm and .clr file images of the bitmap in its file form: the transparent texels take the
// transparent index, whose palette entry holds the transparent colour.
jbm_file_pair file_form(const jbm_info& image) {
    bitmap_palette palette{};
    palette.count = image.palette_count;
    for (int i = 0; i < image.palette_count; ++i) {
        palette.rgb[i][0] = image.palette[i].r;
        palette.rgb[i][1] = image.palette[i].g;
        palette.rgb[i][2] = image.palette[i].b;
    }
    const size_t n = static_cast<size_t>(image.width) * image.height;
    jbm_file_pair pair;
    pair.jbm.assign(image.image, image.image + 8 + n);
    const int t = image.transparent_index;
    if (t >= 0 && t <= 255) {
        uint8_t* pixels = pair.jbm.data() + 8;
        if (image.file_palette) {
            // A palette read from a file still holds the transparent colour at its index.
            for (size_t i = 0; i < n; ++i) {
                if (pixels[i] == engine_transparent_pixel) pixels[i] = static_cast<uint8_t>(t);
            }
        } else {
            const uint8_t colour[3] = {image.transparent_colour.r, image.transparent_colour.g, image.transparent_colour.b};
            palette = bitmap_file_palette(palette, t, colour);
            bitmap_pixels_to_file_form(pixels, n, t);
        }
    }
    pair.clr.assign(2 + 3 * static_cast<size_t>(palette.count), 0);
    pair.clr[0] = static_cast<uint8_t>(palette.count);
    pair.clr[1] = static_cast<uint8_t>(palette.count >> 8);
    for (int i = 0; i < palette.count; ++i) {
        pair.clr[2 + 3 * i] = palette.rgb[i][2];
        pair.clr[3 + 3 * i] = palette.rgb[i][1];
        pair.clr[4 + 3 * i] = palette.rgb[i][0];
    }
    return pair;
}

}  // namespace

int engine_save_bitmaps(const bitmap_texture* b, const char* folder, int flags) {
    if (!b || !b->image.image || !b->image.palette || !b->image.name) return -1;
    const jbm_info& image = b->image;
    if (flags & save_flags::bitmap_kind_by_image) {
        if (image.transparent_index < 0) {
            flags = (flags | save_flags::bitmaps_jpeg) & ~save_flags::bitmaps_bmp;
        } else {
            flags &= ~save_flags::bitmaps_jpeg;
            if (!(flags & save_flags::bitmaps_engine)) flags |= save_flags::bitmaps_bmp;
        }
    }
    const jbm_file_pair pair = file_form(image);
    const std::string base = str_concatenate_paths(get_file_name(image.name).c_str(), folder);
    const std::string bmp = base + ".bmp", jpg = base + ".jpg";
    int result = 0;
    if ((flags & (save_flags::bitmaps_jpeg | save_flags::bitmaps_bmp)) && !file_exists(bmp.c_str()) &&
        jbm2bmp(pair.jbm.data(), pair.clr.data(), bmp.c_str()) != 0) {
        report_error(1, "engine_save_bitmaps: failed converting jbm to bmp\n");
        result = -1;
    }
    if (result == 0 && (flags & save_flags::bitmaps_jpeg)) {
        if (!file_exists(jpg.c_str()) && bmp2jpg(bmp.c_str()) != 0) {
            report_error(1, "engine_save_bitmaps: failed converting bmp to jpg ");
            engine_log_printf("( %s )\n", image.name);
            result = -1;
        }
        if (image.transparent_index >= 0) write_filter_file(image.transparent_colour, (base + ".flt").c_str());
        if (!(flags & save_flags::bitmaps_bmp)) jdelete_file(bmp.c_str());
    }
    if (flags & save_flags::bitmaps_engine) {
        if (mem2file((base + ".jbm").c_str(), pair.jbm.data(), static_cast<int>(pair.jbm.size())) != 0 ||
            mem2file((base + ".clr").c_str(), pair.clr.data(), static_cast<int>(pair.clr.size())) != 0)
            result = -1;
    }
    return result;
}

int engine_save_bitmaps_of_group(const group* g, const char* path, int flags, int in_subfolder) {
    std::string folder = get_directory(path);
    if (in_subfolder) {
        folder = folder.empty() ? "bitmaps" : folder + "/bitmaps";
        jcreate_directory(folder.c_str());
    }
    const bool scene_too = !(flags & save_flags::group_items_only);
    const bool only_saved = (flags & save_flags::marked_only) != 0;
    for (const bitmap_texture* b = engine_state.bitmaps; b; b = b->next) {
        if (group_is_bitmap_used(g, b) || (scene_too && scene_uses(b, only_saved))) engine_save_bitmaps(b, folder.c_str(), flags);
    }
    return 0;
}
