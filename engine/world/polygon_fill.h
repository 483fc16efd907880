// Binding a polygon to a colour fill or a bitmap fill, and its drawer row.
#pragma once
#include "world/records.h"

// Drawer rows: a bitmap fill's row by transparency and by whether its points share one
// brightness, the row of a colour fill, and the row of the wire-frame mode.
inline constexpr int DRAWER_ROW_BITMAP_SHADED = 1;
inline constexpr int DRAWER_ROW_BITMAP = 3;
inline constexpr int DRAWER_ROW_TRANSPARENT_SHADED = 5;
inline constexpr int DRAWER_ROW_TRANSPARENT = 7;
inline constexpr int DRAWER_ROW_SOLID = 8;
inline constexpr int DRAWER_ROW_WIRE = 9;
inline constexpr int DRAWER_ROW_COUNT = 10;

// True for the rows of a bitmap fill.
bool drawer_row_is_bitmap(int row);

// The drawer row for the polygon's texture, transparency and brightness spread.
void polygon_set_render_kind(polygon* p);
// Colour fill; r, g and b all >= 0 replace the colour, otherwise the present colour stays.
void polygon_set_color_fill(polygon* p, int r, int g, int b);
// Textures the polygon with the bitmap; -1 for a NULL bitmap.
int polygon_set_bitmap_fill(polygon* p, bitmap_texture* bitmap);
