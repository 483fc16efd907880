// The in-memory paletted image: its record, pixels, palette and 32 shade tables.
#include "render/images/jbm.h"

#include <cstring>

#include "foundation/errors.h"
#include "foundation/le_bytes.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "render/images/shade_tables.h"
#include "world/colour.h"

namespace {

constexpr int header_bytes = 8;
constexpr int paletted_type = 7;

void report(const char* text) {
    if (jbm_report_errors()) report_error(1, text);
}

int exponent_of(int side) {
    for (int e = 0; e < 16; ++e) {
        if (side == 1 << e) return e;
    }
    return -1;
}

}  // namespace

int& jbm_report_errors() {
    static int flag = 1;
    return flag;
}

void jbm_info_init(jbm_info* info) {
    std::memset(info, 0, sizeof *info);
    info->transparent_index = -1;
    info->file_palette = 1;
    info->average_colour = {128, 128, 128};
}

void jbm_info_free(jbm_info* info) {
    engine_free(info->name);
    engine_free(info->image);
    engine_free(info->shade_tables[0]);
    engine_free(info->palette);
    jbm_info_init(info);
}

int set_jbm_info_name(jbm_info* info, const char* name) {
    if (!jstrcpy_with_allocating(&info->name, name)) return -1;
    jstrupr(info->name);
    return 0;
}

int jbm_create_image(jbm_info* info, int width, int height) {
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return -1;
    const int64_t size = static_cast<int64_t>(width) * height + header_bytes;
    auto* image = static_cast<uint8_t*>(engine_alloc(static_cast<size_t>(size)));
    if (!image) return -1;
    put_le_u16(image, paletted_type);
    put_le_u16(image + 2, width);
    put_le_u16(image + 4, height);
    engine_free(info->image);
    info->image = image;
    info->image_size = static_cast<int32_t>(size);
    info->type = paletted_type;
    info->width = info->first_width = static_cast<uint16_t>(width);
    info->height = info->first_height = static_cast<uint16_t>(height);
    info->width_exponent = exponent_of(width);
    info->height_exponent = exponent_of(height);
    info->normal_level = NORMAL_PALETTE;
    return 0;
}

uint8_t* jbm_pixels(const jbm_info* info) { return info->image ? info->image + header_bytes : nullptr; }

int jbm_allocate_palettes(jbm_info* info, int count) {
    if (count < 0) count = 0;
    auto* block = static_cast<uint16_t*>(engine_alloc(sizeof(uint16_t) * NUMBER_OF_PALETTES * (count ? count : 1)));
    if (!block) {
        report("jbm_allocate_palettes: cant alloc mem for palettes");
        return -1;
    }
    engine_free(info->shade_tables[0]);
    for (int i = 0; i < NUMBER_OF_PALETTES; ++i) info->shade_tables[i] = block + i * count;
    return 0;
}

void bitmap_replace_index(jbm_info* info, int from, int to) {
    uint8_t* pixels = jbm_pixels(info);
    if (!pixels) return;
    const int64_t n = static_cast<int64_t>(info->width) * info->height;
    for (int64_t i = 0; i < n; ++i) {
        if (pixels[i] == from) pixels[i] = static_cast<uint8_t>(to);
    }
}

int jbm_apply_palette(jbm_info* info, const rgb8* palette, int count, const rgb8& atmospheric) {
    if (!info || !palette || count <= 0 || count > 256) return -1;
    auto* copy = static_cast<rgb8*>(engine_alloc(sizeof(rgb8) * count));
    if (!copy) return -1;
    std::memcpy(copy, palette, sizeof(rgb8) * count);
    if (jbm_allocate_palettes(info, count) != 0) {
        engine_free(copy);
        return -1;
    }
    engine_free(info->palette);
    info->palette = copy;
    info->palette_count = count;
    get_average_rgb(copy, info, &info->average_colour);
    const int t = info->transparent_index;
    if (t >= 0 && t < count) {
        info->transparent_colour = copy[t];
        bitmap_replace_index(info, t, 255);
    }
    build_shade_tables(copy, count, info->shade_tables, NUMBER_OF_PALETTES, NORMAL_PALETTE, atmospheric);
    build_color_shade_table(info->average_colour, info->average_by_level, NUMBER_OF_PALETTES, NORMAL_PALETTE,
                            atmospheric);
    return 0;
}
