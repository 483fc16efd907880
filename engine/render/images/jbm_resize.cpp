// Resampling a paletted image by area averaging, with a compacted palette.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "foundation/errors.h"
#include "foundation/memory.h"
#include "render/images/jbm.h"
#include "render/images/jbm_files.h"
#include "world/colour.h"

namespace {

void report(const char* text) {
    if (jbm_report_errors()) report_error(1, text);
}

bool transparent_pixel(const jbm_info* image, uint8_t pixel) { return image->transparent_index >= 0 && pixel == 255; }

// The palette index of destination pixel (x, y): the area average of the source box it covers.
uint8_t resampled_index(const jbm_info* s, double sx, double sy, int x, int y, const uint8_t* inverse) {
    const uint8_t* pixels = jbm_pixels(s);
    double x0 = x * sx, y0 = y * sy;
    if (x0 == std::floor(x0)) x0 += 1e-7;
    if (y0 == std::floor(y0)) y0 += 1e-7;
    const double x1 = (x + 1) * sx, y1 = (y + 1) * sy;
    double sums[3] = {0, 0, 0}, transparent = 0;
    for (int v = static_cast<int>(y0); v < y1 && v < s->height; ++v) {
        const double h = std::min<double>(v + 1, y1) - std::max<double>(v, y0);
        for (int u = static_cast<int>(x0); u < x1 && u < s->width; ++u) {
            const double w = (std::min<double>(u + 1, x1) - std::max<double>(u, x0)) * h;
            const uint8_t p = pixels[static_cast<size_t>(v) * s->width + u];
            if (transparent_pixel(s, p)) {
                transparent += w;
            } else if (p < s->palette_count) {
                sums[0] += w * s->palette[p].r;
                sums[1] += w * s->palette[p].g;
                sums[2] += w * s->palette[p].b;
            }
        }
    }
    if (transparent > 0.5 * sx * sy) return 255;
    int c[3];
    for (int k = 0; k < 3; ++k) c[k] = std::min(255, static_cast<int>(sums[k] / (sx * sy - transparent) + 0.5));
    if (inverse) return inverse[rgb_to_pixel(c[0], c[1], c[2])];
    return static_cast<uint8_t>(nearest_palette_index(s->palette, s->palette_count, c[0], c[1], c[2]));
}

// Keeps only the palette entries the pixels use, renumbered in increasing old order.
int compact_palette(jbm_info* d, const jbm_info* s) {
    uint8_t* pixels = jbm_pixels(d);
    const size_t n = static_cast<size_t>(d->width) * d->height;
    bool used[256] = {};
    for (size_t i = 0; i < n; ++i) {
        if (!transparent_pixel(s, pixels[i])) used[pixels[i]] = true;
    }
    uint8_t remap[256] = {};
    std::vector<int> old;
    for (int i = 0; i < s->palette_count; ++i) {
        if (!used[i]) continue;
        remap[i] = static_cast<uint8_t>(old.size());
        old.push_back(i);
    }
    const int count = static_cast<int>(old.size());
    d->palette = static_cast<rgb8*>(engine_alloc(sizeof(rgb8) * (count ? count : 1)));
    if (!d->palette || jbm_allocate_palettes(d, count) != 0) return -1;
    for (int j = 0; j < count; ++j) {
        d->palette[j] = s->palette[old[j]];
        for (int level = 0; level < 32; ++level) d->shade_tables[level][j] = s->shade_tables[level][old[j]];
    }
    d->palette_count = count;
    for (size_t i = 0; i < n; ++i) {
        if (!transparent_pixel(s, pixels[i])) pixels[i] = remap[pixels[i]];
    }
    return 0;
}

}  // namespace

jbm_info* jbm_resize(const jbm_info* source, int width, int height, const uint8_t* inverse) {
    if (!source || width <= 0 || height <= 0 || source->width == 0 || source->height == 0 || !source->image ||
        !source->palette) {
        report("jbm_resize: bad params");
        return nullptr;
    }
    auto* d = static_cast<jbm_info*>(engine_alloc(sizeof(jbm_info)));
    if (!d) {
        report("jbm_resize: cant alloc mem1");
        return nullptr;
    }
    jbm_info_init(d);
    d->file_palette = 0;
    d->transparent_index = source->transparent_index;
    if (set_jbm_info_name(d, source->name ? source->name : "") != 0 || jbm_create_image(d, width, height) != 0) {
        report("jbm_resize: cant alloc mem2");
        jbm_info_free(d);
        engine_free(d);
        return nullptr;
    }
    d->first_width = source->first_width;
    d->first_height = source->first_height;
    const double sx = (source->width - 0.00001) / width, sy = (source->height - 0.00001) / height;
    uint8_t* pixels = jbm_pixels(d);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = resampled_index(source, sx, sy, x, y, inverse);
    }
    if (compact_palette(d, source) != 0) {
        report("jbm_resize: cant alloc mem2");
        jbm_info_free(d);
        engine_free(d);
        return nullptr;
    }
    d->average_colour = source->average_colour;
    d->transparent_colour = source->transparent_colour;
    std::memcpy(d->average_by_level, source->average_by_level, sizeof d->average_by_level);
    return d;
}
