// Span drawers: write one horizontal run of a polygon into the 16-bit frame (textured or solid,
// distance or per-vertex shading, coverage mask and z-buffer policies).
#pragma once
#include "render/software/fill_bag.h"

// Wire-frame marks of span ends.
inline constexpr uint16_t mark_red = 0xF800;
inline constexpr uint16_t mark_blue = 0x001F;
inline constexpr uint16_t mark_magenta = 0xF81F;

void draw_y_line_bitmap_tiled(fill_bag& b);
void draw_y_line_bitmap_tiled_linear(fill_bag& b);
void draw_y_line_bitmap_tiled_interpolated_shading(fill_bag& b);
void draw_y_line_bitmap_tiled_semi_zbuff(fill_bag& b);
void draw_y_line_bitmap_tiled_semi_zbuff_transparent(fill_bag& b);
void draw_y_line_bitmap_tiled_full_zbuff(fill_bag& b);
void draw_y_line_solid_shaded(fill_bag& b);
void draw_y_line_solid_shaded_semi_zbuff(fill_bag& b);
void draw_y_line_solid_shaded_full_zbuff(fill_bag& b);
void draw_y_line_debug_marker(fill_bag& b);
// Per-vertex shading with the depth work of the semi and full z-buffer (the table's open cells).
void draw_y_line_bitmap_tiled_interpolated_shading_semi_zbuff(fill_bag& b);
void draw_y_line_bitmap_tiled_interpolated_shading_full_zbuff(fill_bag& b);

// Chooses the bitmap level for the bag's span from how many pixels it spends per bitmap, and
// rescales the u/z and v/z planes to that level.
void draw_y_line_texture_level(fill_bag& b);

// z-buffer value of a point: (d / depth) x 4294967295, 0 at infinity, kept inside 32 bits.
int64_t span_z_value(double inverse_z, double distance_from_eye);
// The solid colour of a shade level: the texture's shaded average, or the polygon colour shaded.
uint16_t span_solid_colour(fill_bag& b, int level);
