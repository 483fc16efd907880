// The software rasteriser: fill-bag set-up, interpolation planes, scan conversion and the span
// dispatcher that trims spans against the coverage mask before a span drawer writes them.
#pragma once
#include "render/software/fill_bag.h"

void prepare_fill_poly_bag(fill_bag& bag, camera* c, polygon* p, int count, const clip_point* points,
                           const clip_point* camera_points, const projected_point* projected);
void prepare_for_interpolation(fill_bag& bag);
void fill_poly(const projected_point* projected, int count, fill_bag& bag);
// Fills a prepared polygon whole, or as a fan of triangles with planes of their own.
void fill_prepared_polygon(fill_bag& bag, bool marked);
// The fill_poly calls a prepared polygon makes, and those of them that scan any rows.
int fill_poly_calls(const fill_bag& bag);
int scannable_fills(const fill_bag& bag);
// Whether the polygon may be drawn later, off the walk: false when filling it reports errors.
bool fill_can_wait(const fill_bag& bag);
// The chunk the fill_poly time is added to.
int fill_poly_chunk();
void draw_y_line_upper(double x_left, double x_right, double y, fill_bag& bag);
// The texture fields a span reads, taken from a bitmap.
span_texture span_texture_of(const bitmap_texture* bitmap);

namespace raster_texts {
inline constexpr const char* unknown_mode = "prepare_fill_poly_bag: unknown rendering mode";
inline constexpr const char* out_of_range = "draw_y_line: screen cords out of range";
inline constexpr const char* zbuffer_range =
    "draw_y_line_upper: Internal ERROR. zbuffer address calculation is out of range";
inline constexpr const char* reversed_span = "draw_y_line_upper: fatal error !";
inline constexpr const char* shade_range[3] = {"prepare_for_interpolation: pal0>=NUMBER_OF_PALETTES  || pal0<0",
                                               "prepare_for_interpolation: pal1>=NUMBER_OF_PALETTES  || pal1<0",
                                               "prepare_for_interpolation: pal2>=NUMBER_OF_PALETTES  || pal2<0"};
}  // namespace raster_texts
