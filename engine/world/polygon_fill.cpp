// Binding a polygon to a colour fill or a bitmap fill, and its drawer row.
#include "world/polygon_fill.h"

#include "foundation/memory.h"
#include "foundation/strings.h"
#include "world/colour.h"
#include "world/polygon.h"

namespace {

bool brightness_is_even(const polygon* p) {
    if (!p->points) return true;
    const int first = static_cast<int>(p->points->brightness);
    for (const point* pt = p->points; pt; pt = pt->next) {
        if (static_cast<int>(pt->brightness) != first) return false;
    }
    return true;
}

}  // namespace

bool drawer_row_is_bitmap(int row) {
    return row == DRAWER_ROW_BITMAP_SHADED || row == DRAWER_ROW_BITMAP || row == DRAWER_ROW_TRANSPARENT_SHADED ||
           row == DRAWER_ROW_TRANSPARENT;
}

void polygon_set_render_kind(polygon* p) {
    if (!p) return;
    if (!p->texture) {
        p->drawer_index = DRAWER_ROW_SOLID;
        return;
    }
    const bool transparent = p->texture->image.transparent_index >= 0;
    const bool even = brightness_is_even(p);
    if (transparent) {
        p->drawer_index = even ? DRAWER_ROW_TRANSPARENT : DRAWER_ROW_TRANSPARENT_SHADED;
    } else {
        p->drawer_index = even ? DRAWER_ROW_BITMAP : DRAWER_ROW_BITMAP_SHADED;
    }
}

void polygon_set_color_fill(polygon* p, int r, int g, int b) {
    if (!p) return;
    p->drawer_index = DRAWER_ROW_SOLID;
    if (!p->fast_pool) engine_free(p->bitmap_name);
    p->bitmap_name = nullptr;
    p->texture = nullptr;
    p->anim = nullptr;
    if (r >= 0 && g >= 0 && b >= 0) {
        p->red = r;
        p->green = g;
        p->blue = b;
        p->colour_pixel = rgb_to_pixel(r, g, b);
    }
    polygon_recolour_points(p, false);
    p->bitmap_is_animation = 0;
    polygon_family_copy_look(p);
}

int polygon_set_bitmap_fill(polygon* p, bitmap_texture* bitmap) {
    if (!p || !bitmap) return -1;
    p->texture = bitmap;
    polygon_set_bitmap_name(p, bitmap->image.name ? bitmap->image.name : "");
    p->bitmap_is_animation = 0;
    p->transparent_index = bitmap->image.transparent_index;
    polygon_recolour_points(p, true);
    polygon_set_render_kind(p);
    polygon_family_copy_look(p);
    return 0;
}
