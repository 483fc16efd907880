// Polygons and their points: creation, lists, copies, derived values, validity and freeing.
#include "world/polygon.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "foundation/engine_clock.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "world/engine_state.h"
#include "world/engine_state_links.h"
#include "world/light.h"
#include "world/polygon_fill.h"
#include "world/polygon_geometry.h"
#include "world/polygon_patch.h"
#include "world/world_order.h"

namespace {

int serial_counter = 0;
int polygon_count = 0;
int freed_count = 0;
int patch_count = 0;

void report(const char* text) {
    if (polygon_report_errors()) report_error(1, text);
}

// Point slots follow the polygon record in its block.
constexpr size_t point_slots_offset = (sizeof(polygon) + alignof(point) - 1) / alignof(point) * alignof(point);

// A point for `p`: the next slot of its block while one is left, else a record of its own.
point* new_point(polygon* p) {
    if (!p || p->block_used >= p->block_points) return record_new<point>(kind_point);
    auto* pt = reinterpret_cast<point*>(reinterpret_cast<unsigned char*>(p) + point_slots_offset) + p->block_used++;
    pt->kind = kind_point;
    pt->in_block = 1;
    return pt;
}

char* copy_string(const char* text) {
    if (!text) return nullptr;
    const size_t length = std::strlen(text) + 1;
    char* copy = static_cast<char*>(engine_alloc(length));
    if (copy) std::memcpy(copy, text, length);
    return copy;
}

void set_point_colour(const polygon* p, point* pt) {
    if (polygon_has_bitmap_name(p)) {
        pt->red = static_cast<uint8_t>(engine_state.default_point_red);
        pt->green = static_cast<uint8_t>(engine_state.default_point_green);
        pt->blue = static_cast<uint8_t>(engine_state.default_point_blue);
    } else {
        pt->red = static_cast<uint8_t>(p->red);
        pt->green = static_cast<uint8_t>(p->green);
        pt->blue = static_cast<uint8_t>(p->blue);
    }
}

point* make_point(polygon* p, const double values[6]) {
    point* pt = new_point(p);
    if (!pt) return nullptr;
    pt->x = values[0];
    pt->y = values[1];
    pt->z = values[2];
    pt->bitmap_x = values[3];
    pt->bitmap_y = values[4];
    pt->brightness = values[5];
    set_point_colour(p, pt);
    return pt;
}

void append_point(polygon* p, point* pt) {
    point** slot = &p->points;
    while (*slot) slot = &(*slot)->next;
    *slot = pt;
    pt->next = nullptr;
    p->point_count++;
}

int8_t normal_byte(double component) {
    return static_cast<int8_t>(std::floor(component * 127 + 0.5));
}

uint8_t colour_byte(double value) {
    const double v = value + 0.5;
    if (v <= 0) return 0;
    if (v >= 255) return 255;
    return static_cast<uint8_t>(v);
}

// Unlinks `p` from a list threaded through the member `link`.
int list_remove(polygon** list, polygon* p, polygon* polygon::*link) {
    if (!list || !*list || !p) return -1;
    for (polygon** slot = list; *slot; slot = &((*slot)->*link)) {
        if (*slot == p) {
            *slot = p->*link;
            p->*link = nullptr;
            return 0;
        }
    }
    return -1;
}

void release_polygon(polygon* p) {
    light_forget_entity(p);
    world_links_entity_freed(p);
    if (p->patch_kind) patch_count--;
    if (p->fast_pool) return;
    engine_free(p->bitmap_name);
    engine_free(p->name);
    point* pt = p->points;
    while (pt) {
        point* next = pt->next;
        free_point(pt);
        pt = next;
    }
    record_destroy(p);
    freed_count++;
}

double list_extreme(const polygon* list, int index, bool maximum, const char* name) {
    double value = maximum ? -1e100 : 1e100;
    if (!list) {
        if (polygon_report_errors()) report_errorf("%s: base_poly==NULL\n", name);
        return value;
    }
    for (const polygon* p = list; p; p = p->next) {
        const double v = p->box[index];
        if (maximum ? v > value : v < value) value = v;
    }
    return value;
}

double points_extreme(const polygon* p, bool use_x, bool maximum, const char* name) {
    double value = maximum ? -1e100 : 1e100;
    if (!p) {
        if (polygon_report_errors()) report_errorf("%s: base_poly==NULL\n", name);
        return value;
    }
    for (const point* pt = p->points; pt; pt = pt->next) {
        const double v = use_x ? pt->bitmap_x : pt->bitmap_y;
        if (maximum ? v > value : v < value) value = v;
    }
    return value;
}

point* copy_point(polygon* target, const point* source) {
    point* pt = new_point(target);
    if (!pt) return nullptr;
    const uint8_t in_block = pt->in_block;
    *pt = *source;
    pt->kind = kind_point;
    pt->in_block = in_block;
    pt->next = nullptr;
    return pt;
}

// Copies the points of `source` into `target` (colour and normal bytes included); -1 on failure.
int copy_points(polygon* target, const polygon* source) {
    for (const point* pt = source->points; pt; pt = pt->next) {
        point* copy = copy_point(target, pt);
        if (!copy) return -1;
        append_point(target, copy);
    }
    return 0;
}

}  // namespace

int& polygon_report_errors() {
    static int flag = 1;
    return flag;
}

void reset_polygon_counters() {
    serial_counter = 0;
    polygon_count = 0;
    freed_count = 0;
}

int polygon_get_count() { return polygon_count; }
int polygon_get_freed_count() { return freed_count; }
int polygon_get_patch_count() { return patch_count; }
void polygon_patch_count_add(int delta) { patch_count += delta; }

polygon* init_poly() { return init_poly_with_points(0); }

namespace {

// The defaults of a fresh record, its serial id and whether it lies in the fast pool.
void set_new_polygon(polygon* p, int32_t serial_id, bool fast_pool) {
    p->serial_id = serial_id;
    p->ancestor_id = p->serial_id;
    p->collisional = 1;
    p->plane[0] = 1;
    p->red = 128;
    p->green = 150;
    p->blue = 128;
    p->light_diminution = 0.0096;
    p->transparent_index = -1;
    p->animation_running = 1;
    p->drawer_index = DRAWER_ROW_SOLID;
    p->release_save = 1;
    p->linear_bitmap_cords = 1;
    p->ambient = 86;
    p->diffuse = 85;
    p->specular = 85;
    p->specular_shining = 1;
    p->fast_pool = fast_pool ? 1 : 0;
}

size_t block_size(int points) { return point_slots_offset + sizeof(point) * static_cast<size_t>(points); }

}  // namespace

polygon* init_poly_with_points(int points) {
    polygon* p = nullptr;
    if (points > 0 && points <= polygon_max_points) {
        p = static_cast<polygon*>(
            record_block_create(block_size(points), kind_polygon, point_slots_offset, sizeof(point), kind_point));
        if (p) p->block_points = static_cast<uint8_t>(points);
    } else {
        p = record_new<polygon>(kind_polygon);
    }
    if (!p) {
        report("init_poly: failed to alloc mem\n");
        return nullptr;
    }
    set_new_polygon(p, ++serial_counter, fast_alloc_mode() != 0);
    return p;
}

bool reserve_polys_with_points(int points, size_t count, polygon** out) {
    if (count == 0) return true;
    if (points <= 0 || points > polygon_max_points || fast_alloc_mode()) {
        for (size_t i = 0; i < count; ++i) {
            out[i] = init_poly_with_points(points);
            if (out[i]) continue;
            for (size_t j = 0; j < i; ++j) free_polygon(out[j]);
            return false;
        }
        return true;
    }
    const size_t cell = block_size(points);
    auto* run =
        static_cast<unsigned char*>(record_run_reserve(count, cell, point_slots_offset, sizeof(point), kind_point));
    if (!run) {
        report("init_poly: failed to alloc mem\n");
        return false;
    }
    for (size_t i = 0; i < count; ++i) out[i] = reinterpret_cast<polygon*>(run + i * cell);
    return true;
}

int32_t polygon_reserve_serial_ids(size_t count) {
    const int32_t first = serial_counter + 1;
    serial_counter += static_cast<int32_t>(count);
    return first;
}

void init_reserved_poly(polygon* p, int points, int32_t serial_id) {
    // A record of the pool or of its own block is made already.
    if (p->kind == kind_polygon) return;
    p->kind = kind_polygon;
    p->block_points = static_cast<uint8_t>(points);
    set_new_polygon(p, serial_id, false);  // a run is never the fast pool's
}

int polygon_list_add(polygon** list, polygon* p) {
    if (!list || !p) return -1;
    p->next = *list;
    *list = p;
    polygon_count++;
    return 0;
}

int polygon_list_add_by_bitmap(polygon** list, polygon* p) {
    if (!list || !p || p->point_count < 3) return -1;
    for (polygon* q = *list; q; q = q->next) {
        const bool same = (!q->bitmap_name && !p->bitmap_name) ||
                          (q->bitmap_name && p->bitmap_name && jstricmp(q->bitmap_name, p->bitmap_name) == 0);
        if (same) {
            p->next = q->next;
            q->next = p;
            polygon_count++;
            return 0;
        }
    }
    return polygon_list_add(list, p);
}

int polygon_world_order_push(polygon** list, polygon* p) {
    if (!list || !p || p->point_count < 3) return -1;
    p->next_in_world_order = *list;
    *list = p;
    return 0;
}

int polygon_family_append(polygon* head, polygon* p) {
    if (!head || !p || p->point_count < 3) return -1;
    polygon* last = head;
    while (last->family_next) last = last->family_next;
    if (last != p) last->family_next = p;
    p->family_next = nullptr;
    return 0;
}

int polygon_list_count(const polygon* list) {
    int n = 0;
    for (; list; list = list->next) n++;
    return n;
}

polygon* polygon_list_pop(polygon** list) {
    if (!list || !*list) return nullptr;
    polygon* p = *list;
    *list = p->next;
    p->next = nullptr;
    return p;
}

int polygon_list_remove(polygon** list, polygon* p) { return list_remove(list, p, &polygon::next); }

int polygon_world_list_remove(polygon** list, polygon* p) {
    return list_remove(list, p, &polygon::next_in_world_order);
}

int polygon_family_remove(polygon** head, polygon* p) {
    return list_remove(head, p, &polygon::family_next);
}

polygon* polygon_find_by_name(const char* name) {
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (!name ? !p->name : (p->name && jstricmp(p->name, name) == 0)) return p;
    }
    return nullptr;
}

int polygon_add_point(polygon* p, const double values[6]) {
    if (!p || !values) return -1;
    point* pt = make_point(p, values);
    if (!pt) return -1;
    append_point(p, pt);
    return 0;
}

int polygon_add_point_to_head(polygon* p, const double values[6]) {
    if (!p || !values) return -1;
    point* pt = make_point(p, values);
    if (!pt) return -1;
    pt->next = p->points;
    p->points = pt;
    p->point_count++;
    return 0;
}

int polygon_add_point_from_vertex(polygon* p, const vertex& v) {
    if (!p) return -1;
    point* pt = new_point(p);
    if (!pt) return -1;
    point_set_from_vertex(pt, v);
    append_point(p, pt);
    return 0;
}

int polygon_add_point_copy(polygon* p, const point* source) {
    if (!p || !source) return -1;
    point* pt = copy_point(p, source);
    if (!pt) return -1;
    append_point(p, pt);
    return 0;
}

point* polygon_extract_point(polygon* p, point* pt) {
    if (!p || !pt) return nullptr;
    for (point** slot = &p->points; *slot; slot = &(*slot)->next) {
        if (*slot == pt) {
            *slot = pt->next;
            pt->next = nullptr;
            p->point_count--;
            return pt;
        }
    }
    return nullptr;
}

point* polygon_get_point(const polygon* p, int n) {
    if (!p || n < 0) return nullptr;
    point* pt = p->points;
    while (pt && n-- > 0) pt = pt->next;
    return pt;
}

void point_copy_to_vertex(const point* pt, vertex& v) {
    v.v[VX_X] = pt->x;
    v.v[VX_Y] = pt->y;
    v.v[VX_Z] = pt->z;
    v.v[VX_BM_X] = pt->bitmap_x;
    v.v[VX_BM_Y] = pt->bitmap_y;
    v.v[VX_BRIGHTNESS] = pt->brightness;
    v.v[VX_RED] = pt->red;
    v.v[VX_GREEN] = pt->green;
    v.v[VX_BLUE] = pt->blue;
    v.v[VX_NX] = pt->normal_x / 127.0;
    v.v[VX_NY] = pt->normal_y / 127.0;
    v.v[VX_NZ] = pt->normal_z / 127.0;
}

void point_set_from_vertex(point* pt, const vertex& v) {
    pt->x = v.v[VX_X];
    pt->y = v.v[VX_Y];
    pt->z = v.v[VX_Z];
    pt->bitmap_x = v.v[VX_BM_X];
    pt->bitmap_y = v.v[VX_BM_Y];
    pt->brightness = v.v[VX_BRIGHTNESS];
    pt->red = colour_byte(v.v[VX_RED]);
    pt->green = colour_byte(v.v[VX_GREEN]);
    pt->blue = colour_byte(v.v[VX_BLUE]);
    vec3 n{v.v[VX_NX], v.v[VX_NY], v.v[VX_NZ]};
    if (n.x == 0 && n.y == 0 && n.z == 0) {
        pt->normal_x = pt->normal_y = pt->normal_z = 0;
        return;
    }
    if (vec_normalize(n) != 0) n = {1, 0, 0};
    pt->normal_x = normal_byte(n.x);
    pt->normal_y = normal_byte(n.y);
    pt->normal_z = normal_byte(n.z);
}

vec3 point_position(const point* pt) { return {pt->x, pt->y, pt->z}; }

bool polygon_has_bitmap_name(const polygon* p) {
    return p->bitmap_name && p->bitmap_name[0] && jstricmp(p->bitmap_name, "NO_BITMAP") != 0;
}

void polygon_recolour_points(polygon* p, bool textured) {
    for (point* pt = p->points; pt; pt = pt->next) {
        pt->red = static_cast<uint8_t>(textured ? engine_state.default_point_red : p->red);
        pt->green = static_cast<uint8_t>(textured ? engine_state.default_point_green : p->green);
        pt->blue = static_cast<uint8_t>(textured ? engine_state.default_point_blue : p->blue);
    }
}

plane polygon_plane(const polygon* p) { return {p->plane[0], p->plane[1], p->plane[2], p->plane[3]}; }

void polygon_store_plane(polygon* p, const plane& pl) {
    p->plane[0] = pl.a;
    p->plane[1] = pl.b;
    p->plane[2] = pl.c;
    p->plane[3] = pl.d;
}

vec3 polygon_normal(const polygon* p) { return {p->plane[0], p->plane[1], p->plane[2]}; }

int polygon_recalculate(polygon* p) {
    if (!p || polygon_calculate_plane(p) != 0) return -1;
    polygon_calculate_bounding_box(p, 1);
    polygon_calculate_brightness(p);
    polygon_update_fade_distance(p);
    return 0;
}

void polygon_calculate_bounding_box(polygon* p, int with_centre) {
    if (!p) return;
    double* box = p->box;
    box[0] = box[1] = box[2] = 1e100;
    box[3] = box[4] = box[5] = -1e100;
    for (const point* pt = p->points; pt; pt = pt->next) {
        const double v[3] = {pt->x, pt->y, pt->z};
        for (int k = 0; k < 3; ++k) {
            if (v[k] < box[k]) box[k] = v[k];
            if (v[k] > box[k + 3]) box[k + 3] = v[k];
        }
    }
    if (with_centre) {
        for (int k = 0; k < 3; ++k) p->centre[k] = (box[k] + box[k + 3]) / 2;
    }
    if (p->rotated == 1) {
        // Any turn about the vertical axis through the centre stays inside this box.
        const double dx = p->centre[0] - box[0];
        const double dy = p->centre[1] - box[1];
        const double r = std::sqrt(dx * dx + dy * dy);
        box[0] = p->centre[0] - r;
        box[3] = p->centre[0] + r;
        box[1] = p->centre[1] - r;
        box[4] = p->centre[1] + r;
    }
}

void polygon_calculate_brightness(polygon* p) {
    if (!p) return;
    if (!p->points) {
        p->average_brightness = 0;
        p->minimum_brightness = 0;
        return;
    }
    double sum = 0, minimum = 1e100;
    int n = 0;
    for (const point* pt = p->points; pt; pt = pt->next, ++n) {
        sum += pt->brightness;
        if (pt->brightness < minimum) minimum = pt->brightness;
    }
    p->average_brightness = static_cast<int32_t>(sum / n);
    p->minimum_brightness = static_cast<int32_t>(minimum);
}

void polygon_update_fade_distance(polygon* p) {
    if (!p) return;
    int s = p->minimum_brightness + engine_state.brightness;
    if (s < 0) s = 0;
    if (s > 31) s = 31;
    const double e = engine_state.atmospheric_intensity * p->light_diminution;
    if (e > -1e-150 && e < 1e-150) {
        p->fade_distance = 1e150;
    } else {
        p->fade_distance = (engine_state.culling_depth - s) / e;
    }
}

double get_polygon_min_bm_x(const polygon* p) {
    return points_extreme(p, true, false, "get_polygon_min_bm_x");
}
double get_polygon_min_bm_y(const polygon* p) {
    return points_extreme(p, false, false, "get_polygon_min_bm_y");
}
double get_polygon_max_bm_y(const polygon* p) {
    return points_extreme(p, false, true, "get_polygon_max_bm_y");
}
double get_polygon_list_max_x(const polygon* l) { return list_extreme(l, 3, true, "get_polygon_list_max_x"); }
double get_polygon_list_min_x(const polygon* l) { return list_extreme(l, 0, false, "get_polygon_list_min_x"); }
double get_polygon_list_max_y(const polygon* l) { return list_extreme(l, 4, true, "get_polygon_list_max_y"); }
double get_polygon_list_min_y(const polygon* l) { return list_extreme(l, 1, false, "get_polygon_list_min_y"); }
double get_polygon_list_max_z(const polygon* l) { return list_extreme(l, 5, true, "get_polygon_list_max_z"); }
double get_polygon_list_min_z(const polygon* l) { return list_extreme(l, 2, false, "get_polygon_list_min_z"); }

int polygon_set_name(polygon* p, const char* name) {
    if (!p) {
        report("polygon_set_name: got null params\n");
        return -1;
    }
    char* copy = copy_string(name);
    if (name && !copy) {
        report("polygon_set_name: mem alloc failed\n");
        return -1;
    }
    engine_free(p->name);
    p->name = copy;
    return 0;
}

int polygon_set_bitmap_name(polygon* p, const char* name) {
    if (!p || !name) {
        report("polygon_set_bitmap_name: got null params\n");
        return -1;
    }
    char* copy = nullptr;
    if (p->fast_pool) {
        // Pool strings are dropped, never freed one by one.
        const int was_on = fast_alloc_mode();
        fast_alloc_mode_on();
        copy = copy_string(name);
        if (!was_on) fast_alloc_mode_off();
    } else {
        copy = copy_string(name);
        if (copy) engine_free(p->bitmap_name);
    }
    if (!copy) return -1;
    p->bitmap_name = copy;
    return 0;
}

void polygon_copy_attributes(polygon* target, const polygon* source) {
    if (!target || !source || target == source) return;
    const int32_t serial = target->serial_id;
    point* points = target->points;
    const int32_t count = target->point_count;
    char* old_name = target->name;
    char* old_bitmap = target->bitmap_name;
    const uint8_t pool = target->fast_pool;
    const uint8_t block_points = target->block_points, block_used = target->block_used;
    *target = *source;
    target->block_points = block_points;
    target->block_used = block_used;
    target->serial_id = serial;
    target->points = points;
    target->point_count = count;
    target->fast_pool = pool;
    target->next = nullptr;
    target->next_in_world_order = nullptr;
    target->next_patch = nullptr;
    target->previous_patch = nullptr;
    engine_free(old_name);
    engine_free(old_bitmap);
    target->name = copy_string(source->name);
    target->bitmap_name = copy_string(source->bitmap_name);
}

void polygon_family_copy_look(polygon* p) {
    if (!p) return;
    polygon* piece = p->family_head ? p->family_head : p;
    for (; piece; piece = piece->family_next) {
        piece->family_stamp = engine_state.rendered_frames;
        if (piece == p) continue;
        piece->texture = p->texture;
        piece->bitmap_mirrored = p->bitmap_mirrored;
        piece->animation_frame = p->animation_frame;
        piece->animation_last_tick = p->animation_last_tick;
        piece->transparent_index = p->transparent_index;
        piece->drawer_index = p->drawer_index;
        piece->red = p->red;
        piece->green = p->green;
        piece->blue = p->blue;
        piece->colour_pixel = p->colour_pixel;
        polygon_recolour_points(piece, piece->texture != nullptr);
    }
}

void polygon_set_specular_shining(polygon* p, int value) {
    if (p) p->specular_shining = static_cast<uint8_t>(value);
}

int polygon_get_specular_shining(const polygon* p) { return p ? p->specular_shining : 0; }

namespace {

// A copy with its own points and no family; failure_text names the caller.
polygon* copy_polygon(const polygon* p, const char* failure_text) {
    if (!p) return nullptr;
    polygon* copy = init_poly();
    if (!copy) {
        report(failure_text);
        return nullptr;
    }
    polygon_copy_attributes(copy, p);
    copy->family_head = nullptr;
    copy->family_next = nullptr;
    if (copy_points(copy, p) != 0) {
        free_polygon(copy);
        return nullptr;
    }
    return copy;
}

}  // namespace

polygon* duplicate_polygon(const polygon* p) {
    return copy_polygon(p, "duplicate_polygon: init_polygon failed\n");
}

polygon* duplicate_polygon_mat(const polygon* p, const mat4& m) {
    polygon* copy = copy_polygon(p, "duplicate_polygon_mat: init_polygon failed\n");
    if (!copy) return nullptr;
    for (point* pt = copy->points; pt; pt = pt->next) {
        vec3 position = point_position(pt);
        vec3 moved;
        mul_vec_mat3(moved, position, m);
        pt->x = moved.x;
        pt->y = moved.y;
        pt->z = moved.z;
        if (pt->normal_x || pt->normal_y || pt->normal_z) {
            const vec3 n{pt->normal_x / 127.0, pt->normal_y / 127.0, pt->normal_z / 127.0};
            vec3 turned;
            vec_mul_rotation(turned, n, m);
            if (vec_normalize(turned) != 0) turned = {1, 0, 0};
            pt->normal_x = normal_byte(turned.x);
            pt->normal_y = normal_byte(turned.y);
            pt->normal_z = normal_byte(turned.z);
        }
    }
    polygon_calculate_plane(copy);
    polygon_calculate_bounding_box(copy, 1);
    return copy;
}

void free_polygon(polygon* p) {
    if (!p) return;
    if (p->patch_kind) {
        polygon* previous = p->previous_patch;
        polygon* next = p->next_patch;
        if (!previous) {
            report("free_polygon: internal error. a patch polygon without a father\n");
            if (next && next->previous_patch == p) next->previous_patch = nullptr;
            release_polygon(p);
            return;
        }
        if (previous->next_patch != p) report("free_polygon: internal error. patch link list is bad\n");
        previous->next_patch = next;
        if (next) next->previous_patch = previous;
        release_polygon(p);
        // The chain's head is the first element without a previous link: the father.
        polygon* father = previous;
        while (father->previous_patch) father = father->previous_patch;
        polygon_update_patches_blending(father);
        return;
    }
    polygon* patch = p->next_patch;
    while (patch) {
        polygon* next = patch->next_patch;
        release_polygon(patch);
        patch = next;
    }
    p->next_patch = nullptr;
    release_polygon(p);
}

void polygon_list_free(polygon** list) {
    if (!list) return;
    while (*list) free_polygon(polygon_list_pop(list));
}

void free_point(point* pt) {
    if (!pt) return;
    if (!pt->in_block) {
        record_destroy(pt);
        return;
    }
    // The slot goes with its polygon's block; its kind word dies now, so it is no handle.
    std::memset(static_cast<void*>(pt), dead_record_byte, sizeof *pt);
}

int poly_rotate_texture(polygon* p) {
    if (!p || p->point_count < 2 || !p->points || !p->points->next) {
        report("poly_rotate_texture: bad poly\n");
        return -1;
    }
    const point* first = p->points;
    const double bx = first->bitmap_x, by = first->bitmap_y, br = first->brightness;
    point* pt = p->points;
    for (; pt->next; pt = pt->next) {
        pt->bitmap_x = pt->next->bitmap_x;
        pt->bitmap_y = pt->next->bitmap_y;
        pt->brightness = pt->next->brightness;
    }
    pt->bitmap_x = bx;
    pt->bitmap_y = by;
    pt->brightness = br;
    p->bitmap_rotation++;
    if (p->bitmap_rotation >= p->point_count) p->bitmap_rotation = 0;
    return 0;
}

int polygon_set_bitmap_rotation(polygon* p, int n) {
    if (!p || n < 0 || n >= p->point_count) return -1;
    int turns = ((n - p->bitmap_rotation) % p->point_count + p->point_count) % p->point_count;
    while (turns-- > 0) {
        if (poly_rotate_texture(p) != 0) return -1;
    }
    return 0;
}

void polygon_mirror_vertical_bitmap(polygon* p) {
    if (!p) return;
    for (polygon* piece = p->family_head ? p->family_head : p; piece;
         piece = p->family_head ? piece->family_next : nullptr) {
        const double minimum = get_polygon_min_bm_y(piece);
        const double maximum = get_polygon_max_bm_y(piece);
        for (point* pt = piece->points; pt; pt = pt->next) {
            if (pt->bitmap_y == minimum) {
                pt->bitmap_y = maximum;
            } else if (pt->bitmap_y == maximum) {
                pt->bitmap_y = minimum;
            }
        }
    }
}

void polygon_mirror_horizontal_bitmap(polygon* p) {
    if (!p) return;
    for (polygon* piece = p->family_head ? p->family_head : p; piece;
         piece = p->family_head ? piece->family_next : nullptr) {
        for (point* pt = piece->points; pt; pt = pt->next) pt->bitmap_x = -pt->bitmap_x;
        const double minimum = get_polygon_min_bm_x(piece);
        if (minimum < 0) {
            for (point* pt = piece->points; pt; pt = pt->next) pt->bitmap_x -= minimum;
        }
    }
}

namespace {
struct orientation_word {
    const char* word;
    int number;
};
constexpr orientation_word orientation_words[] = {
    {"TOP", ORIENTATION_TOP}, {"BOTTOM", ORIENTATION_BOTTOM}, {"FRONT", ORIENTATION_FRONT},
    {"BACK", ORIENTATION_BACK}, {"NONE", ORIENTATION_NONE}};
}  // namespace

int convert_orientation_string_to_number(const char* text) {
    if (!text) {
        report("convert_orientation_string_to_number: got a null string\n");
        return 0;
    }
    for (const orientation_word& w : orientation_words) {
        if (jstricmp(text, w.word) == 0) return w.number;
    }
    report("convert_orientation_string_to_number: Illegal orientation string\n");
    return 0;
}

const char* convert_orientation_number_to_string(int orientation) {
    for (const orientation_word& w : orientation_words) {
        if (w.number == orientation && orientation != ORIENTATION_NONE) return w.word;
    }
    return "ORIENTATION_UNKNOWN";
}

int polygon_is_valid(polygon* p) {
    if (!p || polygon_recalculate(p) != 0) return 0;
    if (p->point_count == 3) return 1;
    if (!are_poly_points_on_plane(p, 0.001) || is_poly_convex(p) != 1) return 0;
    if (drawer_row_is_bitmap(p->drawer_index)) {
        if (!check_bitmap_x_cords(p) || !check_bitmap_y_cords(p) || !check_brightness_values(p)) return 0;
    }
    if (p->point_count > polygon_max_points) {
        report("polygon_is_valid: warning, polygon has too many points\n");
        engine_log_printf("\tMaximum number of points allowed is: %d\n", polygon_max_points);
        return 0;
    }
    return 1;
}

void polygon_advance_animation_frame(polygon* p) {
    if (!p || !p->anim) {
        report("polygon_advance_animation_frame: poly==NULL || poly->anim==NULL\n");
        return;
    }
    if (!p->animation_running) return;
    const animation* a = p->anim;
    const uint32_t frames = a->frame_count > 0 ? static_cast<uint32_t>(a->frame_count) : 0;
    // A frame list shrunk under the polygon restarts it at the first frame.
    if (static_cast<uint32_t>(p->animation_frame) >= frames) p->animation_frame = 0;
    const uint32_t duration = frames && a->durations ? a->durations[p->animation_frame] : 0;
    bool advance = false;
    if (engine_state.time_based_animation) {
        const uint32_t now = engine_clock_now();
        uint32_t elapsed = 0;
        if (p->animation_last_tick != 0 && engine_clock_elapsed(now, p->animation_last_tick) > 0) {
            elapsed = static_cast<uint32_t>(engine_clock_elapsed(now, p->animation_last_tick));
        } else {
            p->animation_last_tick = now;
        }
        if (elapsed >= duration * 10u) {
            p->animation_last_tick = now;
            advance = true;
        }
    } else {
        p->animation_last_tick++;
        if (p->animation_last_tick >= duration) {
            p->animation_last_tick = 0;
            advance = true;
        }
    }
    if (!advance) return;
    const uint32_t next = static_cast<uint32_t>(p->animation_frame) + 1;
    p->animation_frame = next >= frames ? 0 : static_cast<int32_t>(next);
}
