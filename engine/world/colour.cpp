// The 16-bit pixel format, the 32 shade levels, shade tables and the light-intensity conversions.
#include "world/colour.h"

#include <algorithm>
#include <cmath>

#include "foundation/errors.h"
#include "world/engine_state.h"

namespace {

struct channel {
    int width;
    int shift;
    int mask;
};

struct pixel_format {
    channel high, middle, low;
};

channel make_channel(int width, int shift) { return {width, shift, (1 << width) - 1}; }

pixel_format format{make_channel(5, 11), make_channel(6, 5), make_channel(5, 0)};

int pack(int value, const channel& c) { return ((value & 255) >> (8 - c.width) & c.mask) << c.shift; }

int unpack(uint16_t pixel, const channel& c) { return (((pixel >> c.shift) & c.mask) << (8 - c.width)) & 255; }

int channel_value(int byte, const channel& c) { return (byte & 255) >> (8 - c.width); }

// Level i of a channel value v (both in channel units), toward the atmospheric value a. Integer
// arithmetic keeps the halves of the rounding exact.
int shade_value(int v, int a, int level, int levels, int normal, int mask, bool round_fading) {
    int64_t value;
    if (level < normal) {
        // factor 4 - 3 i / n, rounded
        value = (2 * static_cast<int64_t>(4 * normal - 3 * level) * v + normal) / (2 * normal);
    } else {
        // w = (levels - i) / (levels - n) of the colour, the rest of the atmospheric colour
        const int64_t den = levels - normal;
        const int64_t num = static_cast<int64_t>(levels - level) * v + static_cast<int64_t>(level - normal) * a;
        value = round_fading ? (2 * num + den) / (2 * den) : num / den;
    }
    return static_cast<int>(std::min<int64_t>(mask, value));
}

uint16_t shade_pixel(const int v[3], const int a[3], int level, int levels, int normal, bool round_fading) {
    const channel* channels[3] = {&format.high, &format.middle, &format.low};
    int pixel = 0;
    for (int k = 0; k < 3; ++k) {
        const channel& c = *channels[k];
        pixel |= shade_value(v[k], a[k], level, levels, normal, c.mask, round_fading) << c.shift;
    }
    return static_cast<uint16_t>(pixel);
}

void channel_values(const rgb8& colour, int out[3]) {
    out[0] = channel_value(colour.r, format.high);
    out[1] = channel_value(colour.g, format.middle);
    out[2] = channel_value(colour.b, format.low);
}

}  // namespace

int& colour_report_errors() {
    static int flag = 1;
    return flag;
}

void set_pixel_format_bits(int red_bits, int green_bits, int blue_bits) {
    format.low = make_channel(blue_bits, 0);
    format.middle = make_channel(green_bits, blue_bits);
    format.high = make_channel(red_bits, blue_bits + green_bits);
}

uint16_t rgb_to_pixel(int r, int g, int b) {
    return static_cast<uint16_t>(pack(r, format.high) | pack(g, format.middle) | pack(b, format.low));
}

void pixel_to_rgb(uint16_t pixel, int* r, int* g, int* b) {
    *r = unpack(pixel, format.high);
    *g = unpack(pixel, format.middle);
    *b = unpack(pixel, format.low);
}

void pixels_to_rgb_triples(const uint16_t* pixels, rgb8* out, int count) {
    for (int i = 0; i < count; ++i) {
        int r, g, b;
        pixel_to_rgb(pixels[i], &r, &g, &b);
        out[i] = {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
    }
}

uint16_t shade_color(int level, uint16_t pixel, const rgb8& atmospheric) {
    level = std::clamp(level, 0, NUMBER_OF_PALETTES - 1);
    const int v[3] = {(pixel >> format.high.shift) & format.high.mask,
                      (pixel >> format.middle.shift) & format.middle.mask, (pixel >> format.low.shift) & format.low.mask};
    int a[3];
    channel_values(atmospheric, a);
    return shade_pixel(v, a, level, NUMBER_OF_PALETTES, NORMAL_PALETTE, false);
}

void build_color_shade_table(const rgb8& colour, uint16_t* out, int levels, int normal, const rgb8& atmospheric) {
    int v[3], a[3];
    channel_values(colour, v);
    channel_values(atmospheric, a);
    for (int i = 0; i < levels; ++i) out[i] = shade_pixel(v, a, i, levels, normal, true);
}

void build_shade_tables(const rgb8* palette, int count, uint16_t* const* tables, int levels, int normal,
                        const rgb8& atmospheric) {
    int a[3];
    channel_values(atmospheric, a);
    for (int k = 0; k < count; ++k) {
        int v[3];
        channel_values(palette[k], v);
        for (int i = 0; i < levels; ++i) tables[i][k] = shade_pixel(v, a, i, levels, normal, true);
    }
}

double light_intensity_to_shade(double percent, int normal) {
    if (percent <= 100) {
        if (percent < 0) percent = 0;
        return normal + (100 - percent) * (NUMBER_OF_PALETTES - 1 - normal) / 100 + 0.5;
    }
    const double level = normal - normal * (percent - 100) / 300 + 0.5;
    return level < 0.0001 ? 0.0001 : level;
}

double convert_palette_index_to_light_intensity(double level, int normal) {
    level = std::min(level, NUMBER_OF_PALETTES - 0.5);
    if (level < normal + 0.5) {
        level = std::max(level, 0.5);
        return 100 - (level - normal - 0.5) * 300 / normal;
    }
    if (normal + 1 - NUMBER_OF_PALETTES == 0) {
        if (colour_report_errors()) {
            report_error(1, "convert_palette_index_to_light_intensity: normal_palette+1-NUMBER_OF_PALETTES==0");
        }
        return 100;
    }
    return (level - (NUMBER_OF_PALETTES - 0.5)) * 100 / (normal - (NUMBER_OF_PALETTES - 1));
}

double light_diminution_to_internal(double value) { return value * 0.00024; }
double light_diminution_from_internal(double value) { return value * 4166.666666666666; }

double vertex_shade_level(double x, double y, double z, double brightness, double light_diminution) {
    const double distance = std::sqrt(x * x + y * y + z * z);
    const double level =
        engine_state.brightness + brightness + distance * engine_state.atmospheric_intensity * light_diminution;
    return std::clamp(level, 0.0001, 31.9999);
}

int nearest_palette_index(const rgb8* palette, int count, int r, int g, int b) {
    int best = 0;
    int64_t best_distance = 10000000;
    for (int k = 0; k < count; ++k) {
        const int64_t dr = palette[k].r - r, dg = palette[k].g - g, db = palette[k].b - b;
        const int64_t distance = dr * dr + dg * dg + db * db;
        if (distance < best_distance) {
            best_distance = distance;
            best = k;
        }
    }
    return best;
}

void build_inverse_palette(uint8_t* table, const rgb8* palette, int count) {
    for (int pixel = 0; pixel < 65536; ++pixel) {
        int r, g, b;
        pixel_to_rgb(static_cast<uint16_t>(pixel), &r, &g, &b);
        table[pixel] = static_cast<uint8_t>(nearest_palette_index(palette, count, r, g, b));
    }
}
