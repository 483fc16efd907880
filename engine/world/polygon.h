// Polygons and their points: creation, lists, copies, derived values, validity and freeing.
#pragma once
#include <cstddef>
#include <cstdint>

#include "foundation/geometry.h"
#include "world/records.h"

// Twelve values made from computed data: position, bitmap cords, brightness, colour, normal.
enum vertex_field { VX_X, VX_Y, VX_Z, VX_BM_X, VX_BM_Y, VX_BRIGHTNESS, VX_RED, VX_GREEN, VX_BLUE,
                    VX_NX, VX_NY, VX_NZ, VX_COUNT };
struct vertex {
    double v[VX_COUNT];
};

// Orientation codes of a polygon.
enum polygon_orientation { ORIENTATION_NONE = 0, ORIENTATION_TOP = 1, ORIENTATION_BOTTOM = 2,
                           ORIENTATION_FRONT = 4, ORIENTATION_BACK = 8 };

inline constexpr int polygon_max_points = 100;
inline constexpr int patch_kind_easy = 2;

int& polygon_report_errors();

// Counters of the world's polygons.
void reset_polygon_counters();
int polygon_get_count();
int polygon_get_freed_count();
int polygon_get_patch_count();
void polygon_patch_count_add(int delta);

polygon* init_poly();
// A polygon whose first `points` points (at most the maximum) are allocated with it in one block.
polygon* init_poly_with_points(int points);
// Room for `count` such polygons at `out`, side by side in one block (each still freed on its own):
// each is made by init_reserved_poly before any other use, so its memory is touched once, as it is
// filled. False, with nothing reserved, when memory runs out.
bool reserve_polys_with_points(int points, size_t count, polygon** out);
// The first of `count` serial ids set aside for reserved polygons.
int32_t polygon_reserve_serial_ids(size_t count);
// Makes the fresh polygon of `points` points at a place reserve_polys_with_points gave, with a
// serial id set aside for it; any thread may make its own share of the places.
void init_reserved_poly(polygon* p, int points, int32_t serial_id);
int polygon_list_add(polygon** list, polygon* p);
int polygon_list_add_by_bitmap(polygon** list, polygon* p);
int polygon_world_order_push(polygon** list, polygon* p);
int polygon_family_append(polygon* head, polygon* p);
int polygon_list_count(const polygon* list);
polygon* polygon_list_pop(polygon** list);
int polygon_list_remove(polygon** list, polygon* p);
int polygon_world_list_remove(polygon** list, polygon* p);
int polygon_family_remove(polygon** head, polygon* p);
polygon* polygon_find_by_name(const char* name);

// Six doubles: x, y, z, bitmap x, bitmap y, brightness.
int polygon_add_point(polygon* p, const double xyz_bm_brightness[6]);
int polygon_add_point_to_head(polygon* p, const double xyz_bm_brightness[6]);
int polygon_add_point_from_vertex(polygon* p, const vertex& v);
int polygon_add_point_copy(polygon* p, const point* source);
point* polygon_extract_point(polygon* p, point* pt);
point* polygon_get_point(const polygon* p, int n);
void point_copy_to_vertex(const point* pt, vertex& v);
void point_set_from_vertex(point* pt, const vertex& v);
vec3 point_position(const point* pt);
// Whether the polygon shows a bitmap (a name that is not empty and not "NO_BITMAP").
bool polygon_has_bitmap_name(const polygon* p);
// Sets every point's colour: the default point colour for bitmap polygons, else the polygon's.
void polygon_recolour_points(polygon* p, bool textured);

int polygon_recalculate(polygon* p);
void polygon_calculate_bounding_box(polygon* p, int with_centre);
void polygon_calculate_brightness(polygon* p);
void polygon_update_fade_distance(polygon* p);
plane polygon_plane(const polygon* p);
void polygon_store_plane(polygon* p, const plane& pl);
vec3 polygon_normal(const polygon* p);

double get_polygon_min_bm_x(const polygon* p);
double get_polygon_min_bm_y(const polygon* p);
double get_polygon_max_bm_y(const polygon* p);
double get_polygon_list_max_x(const polygon* list);
double get_polygon_list_min_x(const polygon* list);
double get_polygon_list_max_y(const polygon* list);
double get_polygon_list_min_y(const polygon* list);
double get_polygon_list_max_z(const polygon* list);
double get_polygon_list_min_z(const polygon* list);

int polygon_set_name(polygon* p, const char* name);
int polygon_set_bitmap_name(polygon* p, const char* name);
void polygon_copy_attributes(polygon* target, const polygon* source);
void polygon_family_copy_look(polygon* p);
void polygon_set_specular_shining(polygon* p, int value);
int polygon_get_specular_shining(const polygon* p);

polygon* duplicate_polygon(const polygon* p);
polygon* duplicate_polygon_mat(const polygon* p, const mat4& m);
void free_polygon(polygon* p);
void polygon_list_free(polygon** list);
void free_point(point* pt);

int poly_rotate_texture(polygon* p);
int polygon_set_bitmap_rotation(polygon* p, int n);
void polygon_mirror_vertical_bitmap(polygon* p);
void polygon_mirror_horizontal_bitmap(polygon* p);

int convert_orientation_string_to_number(const char* text);
const char* convert_orientation_number_to_string(int orientation);

int polygon_is_valid(polygon* p);
void polygon_advance_animation_frame(polygon* p);
