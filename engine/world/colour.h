// The 16-bit pixel format, the 32 shade levels, shade tables and the light-intensity conversions.
#pragma once
#include <cstdint>

#include "world/records.h"

// Shade levels: 0 brightest, 8 the colour itself, 9..31 fading toward the atmospheric colour.
inline constexpr int NUMBER_OF_PALETTES = 32;
inline constexpr int NORMAL_PALETTE = 8;

int& colour_report_errors();

// Channel widths of the 16-bit pixel: blue (low) at bit 0, green (middle) above, red (high) on top.
void set_pixel_format_bits(int red_bits, int green_bits, int blue_bits);
uint16_t rgb_to_pixel(int r, int g, int b);
// Each channel widened to a byte with its low bits 0.
void pixel_to_rgb(uint16_t pixel, int* r, int* g, int* b);
void pixels_to_rgb_triples(const uint16_t* pixels, rgb8* out, int count);

// A 16-bit colour at a shade level (clamped to 0..31), normal level 8.
uint16_t shade_color(int level, uint16_t pixel, const rgb8& atmospheric);
// tables[i][k] = palette entry k at level i, for i < levels.
void build_shade_tables(const rgb8* palette, int count, uint16_t* const* tables, int levels, int normal,
                        const rgb8& atmospheric);
// out[i] = the colour at level i, for i < levels.
void build_color_shade_table(const rgb8& colour, uint16_t* out, int levels, int normal, const rgb8& atmospheric);

// Light intensity in percent (100 = normal) to a shade level around the normal level; callers truncate.
double light_intensity_to_shade(double percent, int normal);
double convert_palette_index_to_light_intensity(double level, int normal);
// The world files' light diminution against the internal factor.
double light_diminution_to_internal(double value);
double light_diminution_from_internal(double value);
// Shade level of a camera-space point: brightness offset + brightness + distance fog, in 0.0001..31.9999.
double vertex_shade_level(double x, double y, double z, double brightness, double light_diminution);

// Index of the palette entry nearest to (r, g, b); the first on ties.
int nearest_palette_index(const rgb8* palette, int count, int r, int g, int b);
// table[pixel] = nearest palette index of each of the 65536 pixel values.
void build_inverse_palette(uint8_t* table, const rgb8* palette, int count);
