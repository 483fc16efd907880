// A bitmap's average colour, and the rebuild of every bitmap's shade tables for a new atmospheric colour.
#include "render/images/shade_tables.h"

#include <vector>

#include "foundation/errors.h"
#include "render/images/jbm.h"
#include "world/colour.h"
#include "world/engine_state.h"

namespace {

// The palette as the normal-level table holds it, unpacked with the current pixel format.
bool rebuild_image(jbm_info* image, const rgb8& atmospheric) {
    if (image->type != 7 || image->palette_count <= 0) return true;
    const int normal = image->normal_level;
    if (normal < 0 || normal >= NUMBER_OF_PALETTES || !image->shade_tables[normal] || image->palette_count > 256) {
        return false;
    }
    std::vector<rgb8> palette(image->palette_count);
    pixels_to_rgb_triples(image->shade_tables[normal], palette.data(), image->palette_count);
    build_shade_tables(palette.data(), image->palette_count, image->shade_tables, NUMBER_OF_PALETTES, normal,
                       atmospheric);
    build_color_shade_table(image->average_colour, image->average_by_level, NUMBER_OF_PALETTES, normal,
                            atmospheric);
    return true;
}

}  // namespace

rgb8 current_atmospheric_colour() {
    return {static_cast<uint8_t>(engine_state.atmosphere_red), static_cast<uint8_t>(engine_state.atmosphere_green),
            static_cast<uint8_t>(engine_state.atmosphere_blue)};
}

int get_average_rgb(const rgb8* palette, const jbm_info* image, rgb8* out) {
    const uint8_t* pixels = image ? jbm_pixels(image) : nullptr;
    const int64_t n = pixels ? static_cast<int64_t>(image->width) * image->height : 0;
    if (n == 0 || !palette) {
        if (jbm_report_errors()) report_error(1, "get_average_rgb: Error, No Pixels in bitmap !!");
        return -1;
    }
    const int t = image->transparent_index;
    int64_t sum[3] = {0, 0, 0};
    int64_t counted = 0;
    for (int64_t i = 0; i < n; ++i) {
        const int index = pixels[i];
        // 255 marks a transparent pixel once the transparent index has been replaced.
        if (t >= 0 && (index == t || index == 255)) continue;
        if (index >= image->palette_count) continue;
        sum[0] += palette[index].r;
        sum[1] += palette[index].g;
        sum[2] += palette[index].b;
        ++counted;
    }
    if (counted == 0) {
        *out = {255, 0, 0};
        return 0;
    }
    *out = {static_cast<uint8_t>(sum[0] / counted), static_cast<uint8_t>(sum[1] / counted),
            static_cast<uint8_t>(sum[2] / counted)};
    return 0;
}

int change_palettes(const rgb8& atmospheric) {
    for (bitmap_texture* b = engine_state.bitmaps; b; b = b->next) {
        bool valid = b->kind == kind_bitmap && rebuild_image(&b->image, atmospheric);
        for (bitmap_level* level = b->levels; valid && level; level = level->next) {
            valid = level->image && rebuild_image(level->image, atmospheric);
        }
        if (!valid) {
            if (jbm_report_errors()) report_error(1, "change_palettes: very weird");
            return -1;
        }
    }
    return 0;
}
