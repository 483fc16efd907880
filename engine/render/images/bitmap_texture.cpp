// Bitmap texture records: creation from pixels or a file, the cache list, resizing and deletion.
#include "render/images/bitmap_texture.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "platform/paths.h"
#include "render/images/jbm.h"
#include "render/images/jbm_files.h"
#include "render/images/shade_tables.h"
#include "render/render_backend.h"
#include "world/colour.h"
#include "world/engine_state.h"
#include "world/polygon_fill.h"
#include "world/world_order.h"

bitmap_texture* bitmap_texture_create_from_pixels(bitmap_texture** list, const char* name, int width, int height,
                                                  const uint8_t* pixels, const rgb8* palette, int count,
                                                  int transparent_index) {
    if (!list || !pixels || !palette) return nullptr;
    auto* b = record_new<bitmap_texture>(kind_bitmap);
    if (!b) return nullptr;
    jbm_info& image = b->image;
    jbm_info_init(&image);
    image.transparent_index = transparent_index < 0 ? -1 : transparent_index;
    b->file_stamp = -1;
    if (set_jbm_info_name(&image, name ? name : "") != 0 || jbm_create_image(&image, width, height) != 0) {
        bitmap_texture_free(b);
        return nullptr;
    }
    std::memcpy(jbm_pixels(&image), pixels, static_cast<size_t>(width) * height);
    if (jbm_apply_palette(&image, palette, count, current_atmospheric_colour()) != 0) {
        bitmap_texture_free(b);
        return nullptr;
    }
    b->aspect = static_cast<double>(width) / height;
    b->next = *list;
    *list = b;
    return b;
}

void bitmap_texture_free(bitmap_texture* bitmap) {
    if (!bitmap) return;
    // The 3D card lets go of its texture and container first.
    render_backend_current().texture_release(bitmap);
    jbm_info_free(&bitmap->image);
    while (bitmap_level* level = bitmap->levels) {
        bitmap->levels = level->next;
        if (level->image) jbm_info_free(level->image);
        engine_free(level->image);
        engine_free(level);
    }
    record_destroy(bitmap);
}

namespace {

namespace fs = std::filesystem;

void report(const char* text) {
    if (bitmap_texture_report_errors()) report_error(1, text);
}

// The name's file part without folder or extension; folders split on '\' and '/'.
std::string base_of(const char* name) { return strip_extension(get_file_name(name).c_str()); }

// A private folder for working copies of read-only or unwritable bitmaps.
std::string scratch_folder() {
    const std::string state = plat_state_directory();
    if (state.empty()) return "";
    // A folder of its own per load, so that two processes never share working copies.
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const fs::path folder = fs::path(state) / ("bitmap_scratch_" + std::to_string(random()));
        std::error_code error;
        if (fs::create_directories(folder, error)) return folder.string();
    }
    return "";
}

// Copies the file into the scratch folder keeping its time; "" on failure.
std::string copy_to_scratch(const std::string& source, const std::string& folder) {
    const std::string resolved = plat_path_resolve(source);
    if (resolved.empty() || folder.empty()) return "";
    const fs::path target = fs::path(folder) / get_file_name(source.c_str());
    std::error_code error;
    fs::copy_file(resolved, target, fs::copy_options::overwrite_existing, error);
    if (!error) fs::last_write_time(target, fs::last_write_time(resolved, error), error);
    return error ? std::string() : target.string();
}

bool folder_is_writable(const std::string& source) {
    const std::string probe = source + "stam5421.txt";
    FILE* file = plat_fopen(probe, "w");
    if (!file) return false;
    std::fclose(file);
    jdelete_file(probe.c_str());
    return true;
}

bool frames_use(const frame_item* frames, const bitmap_texture* b) {
    for (const frame_item* f = frames; f; f = f->next) {
        if (f->bitmap == b) return true;
    }
    return false;
}

// Animation and background frames keep the bitmap's name but show it no longer.
void clear_frames_showing(const bitmap_texture* b) {
    for (animation* a = engine_state.animations; a; a = a->next) {
        for (frame_item* view : a->views) {
            for (frame_item* f = view; f; f = f->next) {
                if (f->bitmap == b) f->bitmap = nullptr;
            }
        }
    }
    for (background* g = engine_state.backgrounds; g; g = g->next) {
        for (frame_item* f = g->frames; f; f = f->next) {
            if (f->bitmap == b) f->bitmap = nullptr;
        }
    }
}

bool animation_uses(const animation* a, const bitmap_texture* b) {
    if (!a) return false;
    for (const frame_item* view : a->views) {
        if (frames_use(view, b)) return true;
    }
    return false;
}

bool polygon_uses(const polygon* p, const bitmap_texture* b) {
    return (p->texture == b && p->transparent_index == b->image.transparent_index) || animation_uses(p->anim, b);
}

bool is_used(const bitmap_texture* b) {
    if (bitmap_count_polygons_using(b) > 0) return true;
    for (const animation* a = engine_state.animations; a; a = a->next) {
        if (animation_uses(a, b)) return true;
    }
    for (const background* g = engine_state.backgrounds; g; g = g->next) {
        if (frames_use(g->frames, b)) return true;
    }
    return false;
}

// Loads the image of a bitmap from its working file into a new record; NULL on failure.
bitmap_texture* load_record(const char* name, const std::string& source, int kind, int transparent_index) {
    auto* b = record_new<bitmap_texture>(kind_bitmap);
    if (!b) {
        report("bitmap_texture_create: cant alloc mem for cell !");
        return nullptr;
    }
    jbm_info_init(&b->image);
    std::string working = source, scratch;
    if (engine_state.read_only_bitmaps || !folder_is_writable(source)) {
        scratch = scratch_folder();
        working = copy_to_scratch(source, scratch);
        const bool palette_copied =
            working.empty() || kind != jbm_source_jbm ||
            !copy_to_scratch(strip_extension(source.c_str()) + ".clr", scratch).empty();
        if (working.empty() || !palette_copied) {
            if (working.empty() && bitmap_texture_report_errors()) report_errorf("Cant find bitmap %s\n", source.c_str());
            std::error_code ignored;
            fs::remove_all(scratch, ignored);
            record_destroy(b);
            return nullptr;
        }
    }
    b->file_stamp = static_cast<int32_t>(get_file_time(working.c_str()));
    const int loaded = jbm_load_image(&b->image, working.c_str(), transparent_index, kind, b->file_stamp,
                                      jbm_paletted_type);
    if (!scratch.empty()) {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }
    if (loaded != 0 || set_jbm_info_name(&b->image, strip_extension(name).c_str()) != 0) {
        bitmap_texture_free(b);
        return nullptr;
    }
    if (b->image.height == 0) {
        b->aspect = 1.0;
        report("bitmap_texture_create: internal error");
    } else {
        b->aspect = static_cast<double>(b->image.width) / b->image.height;
    }
    return b;
}

void push(bitmap_texture** list, bitmap_texture* b) {
    b->next = *list;
    *list = b;
}

}  // namespace

int& bitmap_texture_report_errors() {
    static int flag = 1;
    return flag;
}

std::string bitmap_source_file(const char* name, int* kind) {
    const std::string extension = get_extension(name);
    static const char* const extensions[] = {"jbm", "bmp", "jpg"};
    for (int k = 0; k < 3; ++k) {
        if (jstricmp(extension.c_str(), extensions[k]) == 0) {
            *kind = k + 1;
            return file_exists(name) ? std::string(name) : std::string();
        }
    }
    const std::string base = name;
    const std::string jbm = base + ".jbm", bmp = base + ".bmp", jpg = base + ".jpg";
    const long long jbm_time = file_exists(jbm.c_str()) ? 0 : -1;
    const long long bmp_time = get_file_time(bmp.c_str()), jpg_time = get_file_time(jpg.c_str());
    if (jpg_time > bmp_time && jpg_time > jbm_time) {
        *kind = jbm_source_jpg;
        return jpg;
    }
    if (bmp_time > jbm_time) {
        *kind = jbm_source_bmp;
        return bmp;
    }
    if (jbm_time == 0) {
        *kind = jbm_source_jbm;
        return jbm;
    }
    return "";
}

bitmap_texture* find_bitmap_texture(bitmap_texture* first, const char* name, int transparent_index) {
    if (!name) return nullptr;
    const std::string wanted = base_of(name);
    for (bitmap_texture* b = first; b; b = b->next) {
        if (b->image.transparent_index == transparent_index && b->image.name &&
            jstricmp(base_of(b->image.name).c_str(), wanted.c_str()) == 0)
            return b;
    }
    return nullptr;
}

bitmap_texture* bitmap_texture_create(bitmap_texture** list, const char* name, int transparent_index) {
    if (!list || !name) return nullptr;
    if (transparent_index < 0) transparent_index = -1;
    if (bitmap_texture* cached = find_bitmap_texture(*list, name, transparent_index)) return cached;
    int kind = 0;
    const std::string source = bitmap_source_file(name, &kind);
    if (source.empty()) {
        if (bitmap_texture_report_errors()) report_errorf("Cant find bitmap %s.bmp nor %s.jpg nor %s.jbm\n", name, name, name);
        return nullptr;
    }
    bitmap_texture* b = load_record(name, source, kind, transparent_index);
    if (!b) return nullptr;
    push(list, b);
    if (engine_state.mipmaps) bitmap_texture_create_mipmap_levels(b);
    // A power-of-two copy replaces the record and carries no levels.
    if (engine_state.power_of_two_bitmaps) {
        bitmap_texture* copy = bitmap_texture_make_power_of_two(list, b, engine_state.power_of_two_rounding);
        if (copy && copy != b) {
            bitmap_texture_delete(list, b);
            b = copy;
        }
    }
    return b;
}

int bitmap_texture_get_power_of_two_number(int n, int mode) {
    int c = 1;
    while (c <= n && c < (1 << 30)) c <<= 1;
    if (n == c / 2 || n == 0) return n;
    switch (mode) {
        case 64: return c / 2;
        case 16: return c;
        case 32: return c - n >= n - c / 2 ? c / 2 : c;
        default:
            report("bitmap_texture_get_power_of_two_number: Shouldnt have goten here");
            return 0;
    }
}

int bitmap_texture_is_power_of_two(const bitmap_texture* b) {
    return b && bitmap_texture_get_power_of_two_number(b->image.width, 32) == b->image.width &&
           bitmap_texture_get_power_of_two_number(b->image.height, 32) == b->image.height;
}

bitmap_texture* bitmap_texture_make_power_of_two(bitmap_texture** list, bitmap_texture* b, int mode) {
    if (!b) return nullptr;
    const int w = bitmap_texture_get_power_of_two_number(b->image.width, mode);
    const int h = bitmap_texture_get_power_of_two_number(b->image.height, mode);
    if (w == b->image.width && h == b->image.height) return b;
    bitmap_texture* copy = bitmap_texture_duplicate(list, b, w, h);
    return copy ? copy : b;
}

bitmap_texture* bitmap_texture_duplicate(bitmap_texture** list, bitmap_texture* b, int width, int height) {
    if (!list || !b) return nullptr;
    jbm_info* image = jbm_resize(&b->image, width, height, nullptr);
    if (!image) return nullptr;
    auto* copy = record_new<bitmap_texture>(kind_bitmap);
    if (!copy) {
        jbm_info_free(image);
        engine_free(image);
        return nullptr;
    }
    copy->image = *image;
    engine_free(image);
    copy->file_stamp = b->file_stamp;
    copy->aspect = static_cast<double>(width) / height;
    push(list, copy);
    return copy;
}

int bitmap_texture_create_mipmap_levels(bitmap_texture* b) {
    if (!b) return 0;
    const double w = b->image.width - 0.0001, h = b->image.height - 0.0001;
    std::vector<uint8_t> inverse;
    if (w * h > 196608 && b->image.shade_tables[0]) {
        std::vector<rgb8> normal(static_cast<size_t>(b->image.palette_count));
        pixels_to_rgb_triples(b->image.shade_tables[b->image.normal_level], normal.data(), b->image.palette_count);
        inverse.resize(65536);
        build_inverse_palette(inverse.data(), normal.data(), b->image.palette_count);
    }
    bitmap_level** tail = &b->levels;
    while (*tail) tail = &(*tail)->next;
    int made = 0;
    for (int k = 1;; ++k) {
        const int lw = static_cast<int>(std::floor(w * std::pow(0.5, k) + 0.5));
        const int lh = static_cast<int>(std::floor(h * std::pow(0.5, k) + 0.5));
        if (lw < 1 || lh < 1) break;
        jbm_info* image = jbm_resize(&b->image, lw, lh, inverse.empty() ? nullptr : inverse.data());
        if (!image) {
            report("bitmap_texture_create_mipmap_levels: failed to rescale bitmap");
            break;
        }
        auto* level = static_cast<bitmap_level*>(engine_alloc(sizeof(bitmap_level)));
        if (!level) {
            report("bitmap_texture_create_mipmap_levels: failed alloc mem");
            jbm_info_free(image);
            engine_free(image);
            break;
        }
        level->image = image;
        *tail = level;
        tail = &level->next;
        ++made;
    }
    return 1 + made;
}

bitmap_texture* bitmap_texture_extract(bitmap_texture** list, bitmap_texture* b) {
    bitmap_texture** at = list;
    while (at && *at && *at != b) at = &(*at)->next;
    if (!at || !*at) {
        report("bitmap_texture_extract: Internal error");
        return nullptr;
    }
    *at = b->next;
    b->next = nullptr;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (p->texture == b) polygon_set_color_fill(p, -1, -1, -1);
    }
    clear_frames_showing(b);
    return b;
}

int bitmap_texture_delete(bitmap_texture** list, bitmap_texture* b) {
    if (!b) return -1;
    if (b->card_source) b->card_source->card_copy = nullptr;
    if (bitmap_texture* copy = b->card_copy) {
        copy->card_source = nullptr;
        if (bitmap_texture_delete(list, copy) != 0) {
            report("bitmap_texture_delete: errors in deleting bitmap");
            if (bitmap_texture_report_errors()) engine_log_printf(" %s\n", copy->image.name ? copy->image.name : "");
        }
        b->card_copy = nullptr;
    }
    bitmap_texture* extracted = bitmap_texture_extract(list, b);
    if (!extracted) return -1;
    if (extracted != b) {
        report("bitmap_texture_delete: internal error");
        return -1;
    }
    bitmap_texture_free(b);
    return 0;
}

int bitmap_texture_delete_all(bitmap_texture** list) {
    int result = 0;
    while (list && *list) {
        if (bitmap_texture_delete(list, *list) != 0) result = -1;
    }
    return result;
}

int bitmap_count_polygons_using(const bitmap_texture* b) {
    int count = 0;
    for (const polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) count += polygon_uses(p, b);
    return count;
}

int unload_unused_bitmaps(bitmap_texture** list) {
    // Chosen first, deleted after: deleting a bitmap also deletes its card copy, wherever that stands
    // in the list. A card copy goes only with its source.
    std::vector<bitmap_texture*> unused;
    for (bitmap_texture* b = list ? *list : nullptr; b; b = b->next) {
        if (!b->card_source && !is_used(b)) unused.push_back(b);
    }
    int deleted = 0;
    for (bitmap_texture* b : unused) {
        if (bitmap_texture_delete(list, b) == 0) ++deleted;
    }
    return deleted;
}
