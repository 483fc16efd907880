// 16-bit pixel format helpers and the conversion of light intensity to shade levels.
#pragma once
#include <cstdint>

// Shade levels: 0 brightest, 8 the colour itself, 31 darkest.
inline constexpr int NUMBER_OF_PALETTES = 32;
inline constexpr int NORMAL_PALETTE = 8;

// Sets the channel widths of the 16-bit pixel (high = red, low = blue); RGB565 by default.
void set_pixel_format_bits(int red_bits, int green_bits, int blue_bits);
uint16_t rgb_to_pixel(int r, int g, int b);
void pixel_to_rgb(uint16_t pixel, int* r, int* g, int* b);

// Light intensity in percent (100 = normal) to a shade level around the normal level; callers truncate.
double light_intensity_to_shade(double percent, int normal);
