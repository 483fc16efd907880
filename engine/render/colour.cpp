// 16-bit pixel format helpers and the conversion of light intensity to shade levels.
#include "render/colour.h"

namespace {
struct channel {
    int width;
    int shift;
};
channel red_channel{5, 11};
channel green_channel{6, 5};
channel blue_channel{5, 0};

int pack(int value, const channel& c) {
    const int mask = (1 << c.width) - 1;
    return ((value & 255) >> (8 - c.width) & mask) << c.shift;
}

int unpack(uint16_t pixel, const channel& c) {
    const int mask = (1 << c.width) - 1;
    return (((pixel >> c.shift) & mask) << (8 - c.width)) & 255;
}
}  // namespace

void set_pixel_format_bits(int red_bits, int green_bits, int blue_bits) {
    blue_channel = {blue_bits, 0};
    green_channel = {green_bits, blue_bits};
    red_channel = {red_bits, blue_bits + green_bits};
}

uint16_t rgb_to_pixel(int r, int g, int b) {
    return static_cast<uint16_t>(pack(r, red_channel) | pack(g, green_channel) | pack(b, blue_channel));
}

void pixel_to_rgb(uint16_t pixel, int* r, int* g, int* b) {
    *r = unpack(pixel, red_channel);
    *g = unpack(pixel, green_channel);
    *b = unpack(pixel, blue_channel);
}

double light_intensity_to_shade(double percent, int normal) {
    if (percent <= 100) {
        if (percent < 0) percent = 0;
        return normal + (100 - percent) * (NUMBER_OF_PALETTES - 1 - normal) / 100 + 0.5;
    }
    const double level = normal - normal * (percent - 100) / 300 + 0.5;
    return level < 0.0001 ? 0.0001 : level;
}
