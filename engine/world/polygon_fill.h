// Binding a polygon to a colour fill or a bitmap fill, and its drawer row.
#pragma once
#include "world/records.h"

// The drawer row for the polygon's texture, transparency and brightness spread.
void polygon_set_render_kind(polygon* p);
// Colour fill; r, g and b all >= 0 replace the colour, otherwise the present colour stays.
void polygon_set_color_fill(polygon* p, int r, int g, int b);
// Textures the polygon with the bitmap; -1 for a NULL bitmap.
int polygon_set_bitmap_fill(polygon* p, bitmap_texture* bitmap);
