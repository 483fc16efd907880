// Sky backgrounds: the records, their list, and drawing the panorama behind the world.
#include "render/software/background.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "foundation/dictionary.h"
#include "foundation/errors.h"
#include "foundation/geometry.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "render/card3d/card3d.h"
#include "render/images/jbm.h"
#include "render/software/window_copy.h"
#include "world/animation.h"
#include "world/camera.h"
#include "world/engine_state.h"

namespace {

void report(const char* text) {
    if (background_report_errors()) report_error(1, text);
}

// The rows of the bitmap to draw and where: destination row top, first bitmap row first, count rows.
struct sky_rows {
    int top, first, count;
};

// Projects the panorama's bottom edge; false when nothing is to be drawn.
bool sky_rows_on_screen(const background* b, const camera* c, int bitmap_height, int picture_length, sky_rows* out) {
    vec3 direction = camera_get_direction(c);
    direction.z = 0;
    if (vec_normalize(direction) != 0) return false;
    vec3 p{c->location[0] + direction.x * b->distance, c->location[1] + direction.y * b->distance, b->bottom};
    vec_mul_mat(p, c->inverse_matrix);
    if (p.x - 0.0001 > -c->distance_from_eye) return false;
    const int bottom = c->middle_y - static_cast<int>(p.z * c->focal_length / p.x + 0.5);
    if (bottom < 0) return false;
    sky_rows rows{bottom - bitmap_height + 1, 0, bitmap_height};
    if (rows.top < 0) {
        rows.first = -rows.top;
        rows.top = 0;
        rows.count = bottom + 1;
    }
    if (bottom >= picture_length) rows.count -= bottom - picture_length + 1;
    if (rows.count <= 0) return false;
    *out = rows;
    return true;
}

// The 3D card draws the copy as one textured rectangle over the card's frame.
int card_rectangle(bitmap_texture* bitmap, const sky_rows& rows, int destination_x, int column, int width, bool mirror) {
    const jbm_info& image = bitmap->image;
    const double e = card3d_get_width(), l = card3d_get_height();
    if (e <= 0 || l <= 0 || rows.count <= 0) {
        report(mirror ? "copy_window_paletted_mirror: bad dimensions !!" : "copy_window_paletted: width==0 !!");
        return -1;
    }
    double u0 = static_cast<double>(column) / image.width, u1 = (column + width - 1.0) / image.width;
    if (mirror) std::swap(u0, u1);
    const double v0 = static_cast<double>(rows.first) / image.height;
    const double v1 = (rows.first + rows.count - 1.0) / image.height;
    return card3d_draw_textured_rectangle(bitmap, destination_x / e, rows.top / l, (destination_x + width - 1) / e,
                                          (rows.top + rows.count - 1) / l, u0, v0, u1, v1, 1);
}

// One copy of columns [column, column + width) of the bitmap, plain or mirrored, to destination x.
int copy_columns(const background* b, const jbm_info& image, draw_buffer* buffer, const sky_rows& rows,
                 int destination_x, int column, int width, bool mirror, double top_brightness) {
    if (width <= 0) return 0;
    if (!buffer) return card_rectangle(b->current_frame->bitmap, rows, destination_x, column, width, mirror);
    auto* cells = static_cast<uint16_t*>(get_picture_first_cell(buffer));
    const uint8_t* pixels = image.image + 8;
    // The image decides the copy: a paletted image goes through its shade tables whatever the type.
    if (image.type == 10) {
        const auto* source = reinterpret_cast<const uint16_t*>(pixels);
        return mirror ? copy_window_mirror(2, cells, source, image.width, buffer->width, destination_x, rows.top, column,
                                           rows.first, width, rows.count)
                      : copy_window(2, cells, source, image.width, buffer->width, destination_x, rows.top, column,
                                    rows.first, width, rows.count);
    }
    return copy_window_paletted(cells, pixels, image.shade_tables, image.width, buffer->width, destination_x, rows.top,
                                column, rows.first, width, rows.count, top_brightness, b->intensity_step, mirror);
}

}  // namespace

int& background_report_errors() {
    static int flag = 1;
    return flag;
}

background* init_background() {
    auto* b = record_new<background>(kind_background);
    if (!b) {
        report("init_background: failed to alloc mem");
        return nullptr;
    }
    b->save = 1;
    return b;
}

int background_find_unique_name(background* list, std::string& name) {
    return find_unique_name(
        name, [list](const std::string& n) { return background_find_by_name(list, n.c_str()) != nullptr; }, true,
        "background_find_unique_name");
}

background* background_find_by_name(background* first, const char* name) {
    for (background* b = first; b && name; b = b->next) {
        if (b->name && jstrcmp(b->name, name) == 0) return b;
    }
    return nullptr;
}

background* background_create(background** list, const char* name, bitmap_texture* bitmap) {
    if (!list) return nullptr;
    std::string unique = name ? name : "";
    background* b = init_background();
    if (!b) return nullptr;
    b->type = 7;
    b->distance = 1000000;
    b->bottom_intensity = 100.0;
    b->created = 1;
    b->to_be_saved = 1;
    b->frame_count = 1;
    b->replace_rate = 1;
    b->frames = init_frame_item();
    if (!b->frames || background_find_unique_name(*list, unique) != 0 ||
        !jstrcpy_with_allocating(&b->name, unique.c_str())) {
        if (!b->frames) report("background_create: failed to create frame");
        background_free(b);
        return nullptr;
    }
    background_set_bitmap(b, bitmap);
    b->current_frame = b->frames;
    b->next = *list;
    *list = b;
    return b;
}

bitmap_texture* background_set_bitmap(background* b, bitmap_texture* bitmap) {
    if (!b || !bitmap) {
        report("background_set_bitmap: NULL param !");
        return nullptr;
    }
    if (!b->frames) {
        report("background_set_bitmap: Very strange, no frame !");
        return nullptr;
    }
    b->frames->bitmap = bitmap;
    b->frames->transparent_index = bitmap->image.transparent_index;
    jstrcpy_with_allocating(&b->frames->name, bitmap->image.name);
    return bitmap;
}

int background_list_remove(background** list, background* b) {
    for (background** at = list; at && *at; at = &(*at)->next) {
        if (*at == b) {
            *at = b->next;
            b->next = nullptr;
            return 0;
        }
    }
    return -1;
}

void background_free(background* b) {
    if (!b) return;
    frame_list_destroy(&b->frames);
    engine_free(b->name);
    record_destroy(b);
}

void background_delete_all(background** list) {
    while (list && *list) {
        background* next = (*list)->next;
        background_free(*list);
        *list = next;
    }
}

int background_get_x_offset(const camera* c, int width) {
    vec3 direction = camera_get_direction(c);
    direction.z = 0;
    if (vec_normalize(direction) != 0) return -1;
    const double a = std::acos(-std::clamp(direction.x, -1.0, 1.0));
    int offset;
    if (direction.y > 0) {
        offset = static_cast<int>(width * (a / std::numbers::pi + 1));
        if (offset == 2 * width) offset = 0;
    } else {
        offset = static_cast<int>((std::numbers::pi - a) * width / std::numbers::pi);
    }
    if (offset < 0 || offset >= 2 * width) {
        if (background_report_errors()) report_error(2, "background_draw64k: jbm_x_offset out of range");
        return -1;
    }
    return offset;
}

int background_draw64k(background* b, draw_buffer* buffer, const camera* c) {
    const jbm_info& image = b->current_frame->bitmap->image;
    // Without a buffer the 3D card's frame is the target; it draws no 16-bit pictures.
    if (!buffer && b->type == 10) return 0;
    const int w = image.width;
    const int e = buffer ? buffer->picture_width : card3d_get_width();
    const int length = buffer ? buffer->picture_length : card3d_get_height();
    if (w < e) report("background_draw64k: Warning I think the background is too small");
    const int h = std::min(w, e);
    const int l = background_get_x_offset(c, w);
    if (l < 0) return -1;
    sky_rows rows;
    if (!sky_rows_on_screen(b, c, image.height, length, &rows)) return 0;
    const double lowest = b->bottom_intensity + b->intensity_step * (image.height - rows.first - rows.count);
    const double top = lowest + (rows.count - 1) * b->intensity_step;
    auto copy = [&](int x, int column, int width, bool mirror) {
        return copy_columns(b, image, buffer, rows, x, column, width, mirror, top);
    };
    int result;
    if (l <= w - e) {
        result = copy(0, l, h, false);
    } else if (l < w) {
        const int u = w - l;
        result = copy(0, l, u, false) | copy(u, w - (h - u), h - u, true);
    } else if (l > 2 * w - e) {
        const int t = 2 * w - l;
        result = copy(0, 0, t, true) | copy(t, 0, h - t, false);
    } else {
        result = copy(0, 2 * w - l - h, h, true);
    }
    return result == 0 ? 0 : -1;
}

int engine_draw_world_background(background* b, draw_buffer* buffer, uint16_t colour, const camera* c) {
    if (!engine_state.card_in_use) clear_draw_buffer_buffer(buffer, colour);
    if (!b) return 0;
    if (!b->current_frame || !b->current_frame->bitmap || (!buffer && !engine_state.card_in_use) || !c) return -1;
    if (b->type != 7 && b->type != 10) {
        report("engine_draw_world_background: unsopurted background type");
        return -1;
    }
    const int result = background_draw64k(b, buffer, c);
    b->current_frame = b->current_frame->next ? b->current_frame->next : b->frames;
    return result;
}
