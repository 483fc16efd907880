// Polygon family: finding, creating, editing, transforming, colouring, texturing, lighting and
// deleting single polygons, their points and patches.
#include <cmath>
#include <string>

#include "api/polygon_group_tables.h"
#include "foundation/errors.h"
#include "render/software/raster_iface.h"
#include "world/animation.h"
#include "world/colour.h"
#include "world/group.h"
#include "world/light.h"
#include "world/polygon.h"
#include "world/polygon_fill.h"
#include "world/polygon_geometry.h"
#include "world/polygon_patch.h"
#include "world/world_order.h"

namespace {

namespace texts {
inline constexpr const char* null_name = "Drovik_polygon_get_handle_using_name: got a NULL pointer\n";
inline constexpr const char* empty_name = "Drovik_polygon_set_name: can set an empty name\n";
inline constexpr const char* name_memory = "Drovik_polygon_set_name: failed to alloc mem\n";
inline constexpr const char* patches_only =
    "Drovik_polygon_delete:\nCan delete only patches\nUse Drovik_polygon_disable() or work with Editor mode\n";
inline constexpr const char* point_internal = "Drovik_polygon_delete_point: internal error !!\n";
inline constexpr const char* no_points_center = "Drovik_polygon_get_center: polygon have no points !\n";
inline constexpr const char* axes_failed = "Drovik_polygon_rotate_to_match_polygon: polygon_get_axis_system failed\n";
inline constexpr const char* axes_inverse = "Drovik_polygon_rotate_to_match_polygon: failed inverting the matrix\n";
inline constexpr const char* axes_failed_2 =
    "Drovik_polygon_rotate_to_match_polygon: polygon_get_axis_system failed 2\n";
inline constexpr const char* rotated_bad_value = "Drovik_polygon_is_rotated: yes_no_flag==bad value\n";
inline constexpr const char* wrap_repeats =
    "Drovik_polygon_wrap_a_bitmap_fixed: bad params (repeat_x<=0 || repeat_y<=0)\n";
inline constexpr const char* wrap_deltas = "Drovik_group_match_bitmap: delta_y==0 || delta_x==0\n";
inline constexpr const char* no_animation = "Drovik_polygon_set_animation_frame: polygon has no animation";
inline constexpr const char* no_animation_caption = "Error";
inline constexpr const char* brightness_no_points = "Drovik_polygon_get_brightness: no points in polygon\n";
inline constexpr const char* uniform_no_points = "Drovik_polygon_is_uniform_brightness: no points in polygon\n";
}  // namespace texts

constexpr double point_tolerance = 1e-10;
constexpr double join_tolerance = 0.001;
constexpr double plane_tolerance = 0.001;
constexpr double intersection_tolerance = 1e-6;

const api_export_row& row_of(const char* export_name) { return api_export_row_of(polygon_exports, export_name); }

polygon* checked(const api_export_row& row, DROVIK_HANDLE handle) {
    return api_check_handle(handle, row.check_name, DROVIK_KIND_POLYGON) ? static_cast<polygon*>(handle) : nullptr;
}

// Runs work on the checked polygon under the engine lock; the row's failure value otherwise.
template <typename Work>
auto with_polygon(const char* export_name, DROVIK_HANDLE handle, Work work) -> decltype(work(nullptr)) {
    engine_guard guard;
    const api_export_row& row = row_of(export_name);
    polygon* p = checked(row, handle);
    if (!p) return api_refusal{row};
    return work(p);
}

// A getter's whole work: the checked polygon's field.
template <typename T>
int read_field(const char* export_name, DROVIK_HANDLE handle, T polygon::*field) {
    return with_polygon(export_name, handle, [field](polygon* p) { return int(p->*field); });
}

// A setter's whole work: the checked polygon's field takes the value; 0.
template <typename T>
int store_field(const char* export_name, DROVIK_HANDLE handle, T polygon::*field, T value) {
    return with_polygon(export_name, handle, [=](polygon* p) {
        p->*field = value;
        return 0;
    });
}

// An action's whole work: the world routine on the checked polygon; 0.
int apply(const char* export_name, DROVIK_HANDLE handle, void (*routine)(polygon*)) {
    return with_polygon(export_name, handle, [routine](polygon* p) {
        routine(p);
        return 0;
    });
}

// The same for the exports that change a polygon's shape, behind the object-polygon rule.
template <typename Work>
auto with_shaped_polygon(const char* export_name, DROVIK_HANDLE handle, Work work) -> decltype(work(nullptr)) {
    engine_guard guard;
    const api_export_row& row = row_of(export_name);
    polygon* p = checked(row, handle);
    if (!p || !api_object_polygon_guard(row.check_name, p)) return api_refusal{row};
    return work(p);
}

// A second handle of the export checked under the export's name.
bool second_ok(const char* export_name, DROVIK_HANDLE handle, int32_t kind) {
    return api_check_handle(handle, row_of(export_name).check_name, kind) != 0;
}

// The centre of the polygon's bounding box, recomputed.
vec3 box_centre(polygon* p) {
    polygon_calculate_bounding_box(p, 1);
    return {p->centre[0], p->centre[1], p->centre[2]};
}

// A point of an object polygon in world space.
vec3 placed(const polygon* p, vec3 v) {
    if (p->owner) mul_vec_mat2(v, p->owner->total_matrix);
    return v;
}

mat4 rows3(const double m[9]) {
    mat4 out;
    matrix_identity(out);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) out.m[r][c] = m[r * 3 + c];
    }
    return out;
}

mat4 axes_matrix(const vec3& x, const vec3& y, const vec3& z) {
    const double m[9] = {x.x, x.y, x.z, y.x, y.y, y.z, z.x, z.y, z.z};
    return rows3(m);
}

double shade_of_percent(double percent) { return std::floor(light_intensity_to_shade(percent, NORMAL_PALETTE)); }

// Adds a point from x, y, z, bitmap x, bitmap y and a brightness in percent; the new point or NULL.
point* add_point_record(polygon* p, const double* record, bool at_head) {
    if (!record) return nullptr;
    double values[6] = {record[0], record[1], record[2], record[3], record[4], shade_of_percent(record[5])};
    if (at_head) {
        if (polygon_add_point_to_head(p, values) != 0) return nullptr;
    } else if (polygon_add_point(p, values) != 0) {
        return nullptr;
    }
    polygon_calculate_bounding_box(p, 1);
    polygon_calculate_brightness(p);
    return at_head ? p->points : polygon_get_point(p, p->point_count - 1);
}

// Clears what points at a polygon about to be freed (its lights are forgotten by the free).
void polygon_unhook(const polygon* p) {
    raster_frame& frame = raster_frame_state();
    if (frame.marked == p) frame.marked = nullptr;
}

// The module whose root list holds the polygon, or NULL.
struct module* root_holder(const polygon* p) {
    for (module* m = engine_state.modules; m; m = m->next) {
        for (const polygon* q = m->root ? m->root->polygons : nullptr; q; q = q->next) {
            if (q == p) return m;
        }
    }
    return nullptr;
}

// Unlinks an ordinary polygon from the module root list that holds it, if any.
void unlink_from_root_lists(polygon* p) {
    if (module* m = root_holder(p)) polygon_list_remove(&m->root->polygons, p);
}

void set_points_brightness(polygon* p, double shade) {
    for (point* pt = p->points; pt; pt = pt->next) pt->brightness = shade;
    polygon_calculate_brightness(p);
    polygon_update_fade_distance(p);
    polygon_set_render_kind(p);
}

double mean_brightness(const polygon* p) {
    double sum = 0;
    for (const point* pt = p->points; pt; pt = pt->next) sum += pt->brightness;
    return sum / p->point_count;
}

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_polygon_get_first_polygon() {
    engine_guard guard;
    return get_first_polygon();
}

DROVIK_API DROVIK_HANDLE Drovik_polygon_get_next(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) -> DROVIK_HANDLE { return get_next_polygon(p); });
}

DROVIK_API DROVIK_HANDLE Drovik_polygon_get_handle_using_name(const char* name) {
    engine_guard guard;
    if (!name) {
        warning_box(texts::null_name);
        return nullptr;
    }
    return polygon_find_by_name(name);
}

DROVIK_API DROVIK_HANDLE Drovik_polygon_get_handle_using_id_num(int id) {
    engine_guard guard;
    const module* main = engine_state.main_module;
    for (polygon* p = main && main->root ? main->root->polygons : nullptr; p; p = p->next) {
        if (p->serial_id == id) return p;
    }
    return nullptr;
}

DROVIK_API const char* Drovik_polygon_get_name(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) -> const char* { return p->name; });
}

DROVIK_API int Drovik_polygon_set_name(DROVIK_HANDLE polygon_handle, const char* name) {
    return with_polygon(__func__, polygon_handle, [name](polygon* p) {
        if (!name || !*name) {
            api_log_line(texts::empty_name);
            return -1;
        }
        if (polygon_set_name(p, name) != 0) {
            warning_box(texts::name_memory);
            return -1;
        }
        return 0;
    });
}

DROVIK_API DROVIK_HANDLE Drovik_polygon_create() {
    engine_guard guard;
    return init_poly();
}

DROVIK_API DROVIK_HANDLE Drovik_polygon_duplicate(DROVIK_HANDLE polygon_handle) {
    return with_shaped_polygon(__func__, polygon_handle, [](polygon* p) -> DROVIK_HANDLE {
        return duplicate_polygon(p);
    });
}

DROVIK_API int Drovik_polygon_delete(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) {
        if (!engine_state.editor_mode && !p->patch_kind) {
            warning_box(texts::patches_only);
            return -1;
        }
        // A patch leaves its chain inside the free; an ordinary polygon leaves its list first.
        if (!p->patch_kind) unlink_from_root_lists(p);
        polygon_unhook(p);
        free_polygon(p);
        return 0;
    });
}

DROVIK_API int Drovik_polygon_set_group(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE group_handle) {
    return with_polygon(__func__, polygon_handle, [group_handle](polygon* p) {
        if (!second_ok("Drovik_polygon_set_group", group_handle, DROVIK_KIND_GROUP)) return -1;
        p->owner_group = static_cast<group*>(group_handle);
        return 0;
    });
}

DROVIK_API DROVIK_HANDLE Drovik_polygon_get_group(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) -> DROVIK_HANDLE { return p->owner_group; });
}

DROVIK_API int Drovik_polygon_is_in_group(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE group_handle) {
    return with_polygon(__func__, polygon_handle, [group_handle](polygon* p) {
        if (!second_ok("Drovik_polygon_is_in_group", group_handle, DROVIK_KIND_GROUP)) return 0;
        return group_is_included(p->owner_group, static_cast<group*>(group_handle));
    });
}

DROVIK_API DROVIK_HANDLE Drovik_polygon_get_first_point(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) -> DROVIK_HANDLE { return p->points; });
}

DROVIK_API int Drovik_polygon_get_num_of_points(DROVIK_HANDLE polygon_handle) {
    return read_field(__func__, polygon_handle, &polygon::point_count);
}

DROVIK_API DROVIK_HANDLE Drovik_polygon_add_point(DROVIK_HANDLE polygon_handle, const double point_record[6]) {
    return with_polygon(__func__, polygon_handle, [point_record](polygon* p) -> DROVIK_HANDLE {
        return add_point_record(p, point_record, false);
    });
}

DROVIK_API DROVIK_HANDLE Drovik_polygon_add_point_to_head(DROVIK_HANDLE polygon_handle,
                                                          const double point_record[6]) {
    return with_polygon(__func__, polygon_handle, [point_record](polygon* p) -> DROVIK_HANDLE {
        return add_point_record(p, point_record, true);
    });
}

DROVIK_API int Drovik_polygon_delete_point(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE point_handle) {
    return with_polygon(__func__, polygon_handle, [point_handle](polygon* p) {
        if (!second_ok("Drovik_polygon_delete_point", point_handle, DROVIK_KIND_POINT)) return -1;
        // Only a point unlinked from this very polygon is freed.
        point* pt = polygon_extract_point(p, static_cast<point*>(point_handle));
        if (!pt) {
            api_log_line(texts::point_internal);
            return -1;
        }
        free_point(pt);
        polygon_recalculate(p);
        return 0;
    });
}

DROVIK_API DROVIK_HANDLE Drovik_polygon_get_closest_point(DROVIK_HANDLE polygon_handle, const double location[3]) {
    return with_polygon(__func__, polygon_handle, [location](polygon* p) -> DROVIK_HANDLE {
        if (!location) return nullptr;
        const vec3 target = api_vec(location);
        point* closest = nullptr;
        double best = 1e150;
        for (point* pt = p->points; pt; pt = pt->next) {
            const double d = vec_square_distance(point_position(pt), target);
            if (d < best) {
                best = d;
                closest = pt;
            }
        }
        return closest;
    });
}

DROVIK_API int Drovik_polygon_count_redundant_points(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) {
        int count = 0;
        if (does_poly_has_redandent_points(p, point_tolerance, &count) < 0) return -1;
        return count;
    });
}

DROVIK_API int Drovik_polygon_remove_redundant_points(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) {
        int count = 0;
        if (does_poly_has_redandent_points(p, point_tolerance, &count) < 0) return -1;
        return count > 0 ? remove_polys_redandent_points(p, point_tolerance) : count;
    });
}

DROVIK_API int Drovik_polygon_is_valid(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) { return polygon_is_valid(p); });
}

DROVIK_API int Drovik_polygon_is_convex(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) { return is_poly_convex(p); });
}

DROVIK_API int Drovik_polygon_are_all_points_on_one_plane(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) {
        polygon_calculate_plane(p);
        return are_poly_points_on_plane(p, plane_tolerance);
    });
}

DROVIK_API int Drovik_polygon_are_bitmap_x_cords_ok(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) { return check_bitmap_x_cords(p); });
}

DROVIK_API int Drovik_polygon_are_bitmap_y_cords_ok(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) { return check_bitmap_y_cords(p); });
}

DROVIK_API int Drovik_polygon_is_point_inside_polygon(DROVIK_HANDLE polygon_handle, const double location[3]) {
    return with_polygon(__func__, polygon_handle, [location](polygon* p) {
        if (!location) return -1;
        polygon_calculate_plane(p);
        return is_point_inside_polygon(api_vec(location), p);
    });
}

DROVIK_API int Drovik_polygon_is_point_inside_polygon_concave(DROVIK_HANDLE polygon_handle,
                                                              const double location[3]) {
    return with_polygon(__func__, polygon_handle, [location](polygon* p) {
        if (!location) return -1;
        polygon_calculate_plane(p);
        return is_point_inside_polygon_concave(api_vec(location), p);
    });
}

DROVIK_API int Drovik_polygon_check_intersection_with_line_segment(DROVIK_HANDLE polygon_handle,
                                                                   const double start[3], const double end[3],
                                                                   double out[3]) {
    return with_polygon(__func__, polygon_handle, [=](polygon* p) {
        if (!start || !end || !out) return 0;
        vec3 hit{0, 0, 0};
        const int found = does_segment_intersect_polygon(api_vec(start), api_vec(end), p, hit);
        if (found == 1) api_store_vec(out, hit);
        return found;
    });
}

DROVIK_API int Drovik_polygon_check_intersection_with_another_polygon(DROVIK_HANDLE polygon_handle,
                                                                      DROVIK_HANDLE other, double out[3]) {
    return with_polygon(__func__, polygon_handle, [=](polygon* p) {
        if (!second_ok("Drovik_polygon_check_intersection_with_another_polygon", other, DROVIK_KIND_POLYGON)) {
            return 0;
        }
        vec3 hit{0, 0, 0};
        const int found = do_polygons_intersect(p, static_cast<polygon*>(other), intersection_tolerance, hit);
        if (found == 1 && out) api_store_vec(out, hit);
        return found;
    });
}

DROVIK_API int Drovik_polygon_get_plane(DROVIK_HANDLE polygon_handle, double plane_out[4]) {
    return with_polygon(__func__, polygon_handle, [plane_out](polygon* p) {
        if (!plane_out) return -1;
        copy4(plane_out, p->plane);
        return 0;
    });
}

DROVIK_API int Drovik_polygon_get_center(DROVIK_HANDLE polygon_handle, double out[3]) {
    return with_polygon(__func__, polygon_handle, [out](polygon* p) {
        if (!p->points) {
            api_log_line(texts::no_points_center);
            return -1;
        }
        if (!out) return -1;
        vec3 sum{0, 0, 0};
        for (const point* pt = p->points; pt; pt = pt->next) vec_add(sum, point_position(pt));
        vec_scale(sum, 1.0 / p->point_count, sum);
        api_store_vec(out, placed(p, sum));
        return 0;
    });
}

DROVIK_API int Drovik_polygon_get_location(DROVIK_HANDLE polygon_handle, double out[3]) {
    return with_polygon(__func__, polygon_handle, [out](polygon* p) {
        if (!out) return -1;
        api_store_vec(out, placed(p, box_centre(p)));
        return 0;
    });
}

DROVIK_API int Drovik_polygon_rotate(DROVIK_HANDLE polygon_handle, const double matrix[9]) {
    return with_shaped_polygon(__func__, polygon_handle, [matrix](polygon* p) {
        if (!matrix) return -1;
        polygon_transform(p, box_centre(p), rows3(matrix));
        return 0;
    });
}

DROVIK_API int Drovik_polygon_rotate_x(DROVIK_HANDLE polygon_handle, double degrees) {
    return with_shaped_polygon(__func__, polygon_handle, [degrees](polygon* p) {
        polygon_rotate_x(p, deg_to_rad(degrees), box_centre(p));
        return 0;
    });
}

DROVIK_API int Drovik_polygon_rotate_y(DROVIK_HANDLE polygon_handle, double degrees) {
    return with_shaped_polygon(__func__, polygon_handle, [degrees](polygon* p) {
        polygon_rotate_y(p, deg_to_rad(degrees), box_centre(p));
        return 0;
    });
}

DROVIK_API int Drovik_polygon_rotate_z(DROVIK_HANDLE polygon_handle, double degrees) {
    return with_shaped_polygon(__func__, polygon_handle, [degrees](polygon* p) {
        polygon_rotate_z(p, deg_to_rad(degrees), box_centre(p));
        return 0;
    });
}

DROVIK_API int Drovik_polygon_move(DROVIK_HANDLE polygon_handle, const double offset[3]) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    polygon* p = checked(row, polygon_handle);
    // The move refuses under the name of its twin, set_location.
    if (!p || !api_object_polygon_guard(row_of("Drovik_polygon_set_location").check_name, p)) {
        return api_refusal{row};
    }
    if (!offset) return -1;
    polygon_move(p, api_vec(offset));
    return 0;
}

DROVIK_API int Drovik_polygon_set_location(DROVIK_HANDLE polygon_handle, const double location[3]) {
    return with_shaped_polygon(__func__, polygon_handle, [location](polygon* p) {
        if (!location) return -1;
        polygon_set_location(p, box_centre(p), api_vec(location));
        return 0;
    });
}

DROVIK_API int Drovik_polygon_scale(DROVIK_HANDLE polygon_handle, double sx, double sy, double sz) {
    return with_shaped_polygon(__func__, polygon_handle, [=](polygon* p) {
        mat4 m;
        matrix_scale(m, {sx, sy, sz});
        polygon_transform(p, box_centre(p), m);
        return 0;
    });
}

DROVIK_API int Drovik_polygon_rotate_to_match_polygon(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE target) {
    return with_shaped_polygon(__func__, polygon_handle, [target](polygon* p) {
        if (!second_ok("Drovik_polygon_rotate_to_match_polygon", target, DROVIK_KIND_POLYGON)) return -1;
        vec3 x, y, z;
        if (polygon_get_axis_system(p, x, y, z) != 0) {
            api_log_line(texts::axes_failed);
            return -1;
        }
        mat4 inverse;
        if (matrix3_inverse(inverse, axes_matrix(x, y, z)) != 0) {
            api_log_line(texts::axes_inverse);
            return -1;
        }
        if (polygon_get_axis_system(static_cast<polygon*>(target), x, y, z) != 0) {
            api_log_line(texts::axes_failed_2);
            return -1;
        }
        mat4 m;
        matrix_multiply(m, inverse, axes_matrix(x, y, z));
        polygon_transform(p, box_centre(p), m);
        return 0;
    });
}

DROVIK_API int Drovik_polygon_move_to_match_point(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE point_a,
                                                  DROVIK_HANDLE point_b) {
    return with_shaped_polygon(__func__, polygon_handle, [=](polygon* p) {
        if (!second_ok("Drovik_polygon_move_to_match_point", point_a, DROVIK_KIND_POINT) ||
            !second_ok("Drovik_polygon_move_to_match_point", point_b, DROVIK_KIND_POINT)) {
            return 0;
        }
        vec3 offset = point_position(static_cast<point*>(point_b));
        vec_sub(offset, point_position(static_cast<point*>(point_a)));
        polygon_move(p, offset);
        return 0;
    });
}

DROVIK_API int Drovik_polygon_flip_visible_side(DROVIK_HANDLE polygon_handle) {
    return with_shaped_polygon(__func__, polygon_handle, [](polygon* p) {
        polygon_flip_visible_side(p);
        return 0;
    });
}

DROVIK_API DROVIK_HANDLE Drovik_polygon_join(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE other) {
    return with_shaped_polygon(__func__, polygon_handle, [other](polygon* p) -> DROVIK_HANDLE {
        if (!second_ok("Drovik_polygon_join", other, DROVIK_KIND_POLYGON)) return nullptr;
        return join_polygons(p, static_cast<polygon*>(other), join_tolerance);
    });
}

DROVIK_API int Drovik_polygon_set_color_fill(DROVIK_HANDLE polygon_handle, int red, int green, int blue) {
    return with_polygon(__func__, polygon_handle, [=](polygon* p) {
        polygon_set_color_fill(p, red, green, blue);
        return 0;
    });
}

DROVIK_API int Drovik_polygon_get_color(DROVIK_HANDLE polygon_handle, int* red, int* green, int* blue) {
    return with_polygon(__func__, polygon_handle, [=](polygon* p) {
        if (red) *red = p->red;
        if (green) *green = p->green;
        if (blue) *blue = p->blue;
        return int(p->blue);
    });
}

DROVIK_API int Drovik_polygon_set_bitmap_fill(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE bitmap) {
    return with_polygon(__func__, polygon_handle, [bitmap](polygon* p) {
        if (!second_ok("Drovik_polygon_set_bitmap_fill", bitmap, DROVIK_KIND_BITMAP)) return -1;
        polygon_set_bitmap_fill(p, static_cast<bitmap_texture*>(bitmap));
        return 0;
    });
}

DROVIK_API const char* Drovik_polygon_get_bitmap_name(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) -> const char* { return p->bitmap_name; });
}

DROVIK_API DROVIK_HANDLE Drovik_polygon_get_bitmap_handle(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) -> DROVIK_HANDLE { return p->texture; });
}

DROVIK_API int Drovik_polygon_get_transparent_index(DROVIK_HANDLE polygon_handle) {
    return read_field(__func__, polygon_handle, &polygon::transparent_index);
}

DROVIK_API int Drovik_polygon_get_transparent_rgb(DROVIK_HANDLE polygon_handle, int* red, int* green, int* blue) {
    return with_polygon(__func__, polygon_handle, [=](polygon* p) {
        const bitmap_texture* b = p->texture;
        const int index = p->transparent_index;
        if (index < 0 || !b || !b->image.palette || index >= b->image.palette_count) return -1;
        const rgb8 entry = b->image.palette[index];
        if (red) *red = entry.r;
        if (green) *green = entry.g;
        if (blue) *blue = entry.b;
        return 0;
    });
}

DROVIK_API int Drovik_polygon_is_rotated(DROVIK_HANDLE polygon_handle) {
    return read_field(__func__, polygon_handle, &polygon::rotated);
}

DROVIK_API int Drovik_polygon_set_rotated(DROVIK_HANDLE polygon_handle, int yes_no_flag) {
    return with_polygon(__func__, polygon_handle, [yes_no_flag](polygon* p) {
        if (yes_no_flag != 0 && yes_no_flag != 1) {
            warning_box(texts::rotated_bad_value);
            return -1;
        }
        p->rotated = yes_no_flag;
        polygon_calculate_bounding_box(p, 1);
        return 0;
    });
}

DROVIK_API int Drovik_polygon_rotate_bitmap(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) { return poly_rotate_texture(p); });
}

DROVIK_API int Drovik_polygon_set_bitmap_rotation(DROVIK_HANDLE polygon_handle, int rotation) {
    return with_polygon(__func__, polygon_handle,
                        [rotation](polygon* p) { return polygon_set_bitmap_rotation(p, rotation); });
}

DROVIK_API int Drovik_polygon_mirror_horizontal_bitmap(DROVIK_HANDLE polygon_handle) {
    return apply(__func__, polygon_handle, polygon_mirror_horizontal_bitmap);
}

DROVIK_API int Drovik_polygon_mirror_vertical_bitmap(DROVIK_HANDLE polygon_handle) {
    return apply(__func__, polygon_handle, polygon_mirror_vertical_bitmap);
}

DROVIK_API int Drovik_polygon_match_bitmap_cords(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE reference) {
    return with_polygon(__func__, polygon_handle, [reference](polygon* p) {
        if (!second_ok("Drovik_polygon_match_bitmap_cords", reference, DROVIK_KIND_POLYGON)) return -1;
        const polygon* r = static_cast<polygon*>(reference);
        if (p->point_count <= 2 || r->point_count <= 2) return -1;
        return match_bitmap_cords(r, p);
    });
}

DROVIK_API int Drovik_polygon_wrap_a_bitmap_fixed(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE bitmap,
                                                  double repeat_x, double repeat_y, const double low[3],
                                                  const double high[3]) {
    return with_polygon(__func__, polygon_handle, [=](polygon* p) {
        if (!second_ok("Drovik_polygon_wrap_a_bitmap_fixed", bitmap, DROVIK_KIND_BITMAP)) return -1;
        if (repeat_x <= 0 || repeat_y <= 0) {
            api_log_line(texts::wrap_repeats);
            return -1;
        }
        if (!low || !high) return -1;
        if (high[1] - low[1] == 0 || high[0] - low[0] == 0) {
            api_log_line(texts::wrap_deltas);
            return -1;
        }
        api_wrap_cords(p, repeat_x, repeat_y, api_vec(low), api_vec(high));
        polygon_set_bitmap_fill(p, static_cast<bitmap_texture*>(bitmap));
        return 0;
    });
}

DROVIK_API int Drovik_polygon_set_animation(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE animation_handle) {
    return with_polygon(__func__, polygon_handle, [animation_handle](polygon* p) {
        if (!second_ok("Drovik_polygon_set_animation", animation_handle, DROVIK_KIND_ANIMATION)) return -1;
        animation* a = static_cast<animation*>(animation_handle);
        bitmap_texture* first = animation_get_first_bitmap(a);
        if (!first) {
            p->texture = nullptr;
            return -1;
        }
        polygon_set_bitmap_fill(p, first);
        p->bitmap_is_animation = 1;
        p->anim = a;
        polygon_set_bitmap_name(p, a->name);
        polygon_set_render_kind(p);
        if (p->animation_frame >= a->frame_count) p->animation_frame = 0;
        const uint32_t duration = a->durations && a->frame_count > 0 ? a->durations[p->animation_frame] : 0;
        if (p->animation_last_tick >= duration) {
            p->animation_last_tick = 0;
            p->animation_frame = a->frame_count > 0 ? (p->animation_frame + 1) % a->frame_count : 0;
        }
        return 0;
    });
}

DROVIK_API DROVIK_HANDLE Drovik_polygon_get_animation(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) -> DROVIK_HANDLE {
        return p->bitmap_is_animation ? p->anim : nullptr;
    });
}

DROVIK_API int Drovik_polygon_set_animation_frame(DROVIK_HANDLE polygon_handle, int frame) {
    return with_polygon(__func__, polygon_handle, [frame](polygon* p) {
        animation* a = p->bitmap_is_animation ? p->anim : nullptr;
        if (!a || a->frame_count <= 0) {
            warning_box_captioned(texts::no_animation, texts::no_animation_caption);
            api_log_line((std::string(texts::no_animation) + "\n").c_str());
            return -1;
        }
        const int last = a->frame_count - 1;
        p->animation_frame = frame < 0 || frame > last ? last : frame;
        p->animation_last_tick = 0;
        bitmap_texture* shown = animate_get_texture_from_list(animation_get_first_list(a), p->animation_frame);
        if (shown) p->texture = shown;
        polygon_set_render_kind(p);
        return 0;
    });
}

DROVIK_API int Drovik_polygon_get_animation_frame(DROVIK_HANDLE polygon_handle) {
    return read_field(__func__, polygon_handle, &polygon::animation_frame);
}

DROVIK_API int Drovik_polygon_set_translucent(DROVIK_HANDLE polygon_handle, int blending) {
    return with_polygon(__func__, polygon_handle, [blending](polygon* p) {
        p->blending = static_cast<uint8_t>(blending);
        polygon* father = p;
        while (father->previous_patch) father = father->previous_patch;
        polygon_update_patches_blending(father);
        return 0;
    });
}

DROVIK_API int Drovik_polygon_get_translucent(DROVIK_HANDLE polygon_handle) {
    return read_field(__func__, polygon_handle, &polygon::blending);
}

DROVIK_API int Drovik_polygon_set_orientation(DROVIK_HANDLE polygon_handle, int orientation) {
    return store_field(__func__, polygon_handle, &polygon::orientation, int32_t(orientation));
}

DROVIK_API int Drovik_polygon_get_orientation(DROVIK_HANDLE polygon_handle) {
    return read_field(__func__, polygon_handle, &polygon::orientation);
}

DROVIK_API int Drovik_polygon_set_release_save_flag(DROVIK_HANDLE polygon_handle, int flag) {
    return store_field(__func__, polygon_handle, &polygon::release_save, uint8_t(flag ? 1 : 0));
}

DROVIK_API int Drovik_polygon_disable(DROVIK_HANDLE polygon_handle) {
    return store_field(__func__, polygon_handle, &polygon::disabled, uint8_t(1));
}

DROVIK_API int Drovik_polygon_enable(DROVIK_HANDLE polygon_handle) {
    return store_field(__func__, polygon_handle, &polygon::disabled, uint8_t(0));
}

DROVIK_API int Drovik_polygon_is_disabled(DROVIK_HANDLE polygon_handle) {
    return read_field(__func__, polygon_handle, &polygon::disabled);
}

DROVIK_API int Drovik_polygon_make_collisional(DROVIK_HANDLE polygon_handle) {
    return store_field(__func__, polygon_handle, &polygon::collisional, uint8_t(1));
}

DROVIK_API int Drovik_polygon_make_non_collisional(DROVIK_HANDLE polygon_handle) {
    return store_field(__func__, polygon_handle, &polygon::collisional, uint8_t(0));
}

DROVIK_API int Drovik_polygon_is_collisional(DROVIK_HANDLE polygon_handle) {
    return read_field(__func__, polygon_handle, &polygon::collisional);
}

DROVIK_API double Drovik_polygon_get_brightness(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) {
        if (!p->points) {
            warning_box(texts::brightness_no_points);
            return -1.0;
        }
        // A stored level L stands for the middle of its step, L + 0.5, as the setter rounded to it.
        return convert_palette_index_to_light_intensity(mean_brightness(p) + 0.5, NORMAL_PALETTE);
    });
}

DROVIK_API int Drovik_polygon_set_brightness(DROVIK_HANDLE polygon_handle, double brightness) {
    return with_polygon(__func__, polygon_handle,
                        [brightness](polygon* p) {
                            set_points_brightness(p, shade_of_percent(brightness));
                            return 0;
                        });
}

DROVIK_API int Drovik_polygon_is_uniform_brightness(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) {
        if (!p->points) {
            warning_box(texts::uniform_no_points);
            return -1;
        }
        for (const point* pt = p->points->next; pt; pt = pt->next) {
            if (pt->brightness != p->points->brightness) return 0;
        }
        return 1;
    });
}

DROVIK_API double Drovik_polygon_get_light_diminution(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle,
                        [](polygon* p) { return light_diminution_from_internal(p->light_diminution); });
}

DROVIK_API int Drovik_polygon_set_light_diminution(DROVIK_HANDLE polygon_handle, double value) {
    return with_polygon(__func__, polygon_handle, [value](polygon* p) {
        p->light_diminution = light_diminution_to_internal(value);
        polygon_recalculate(p);
        const module* m = root_holder(p);
        if (m && m->root->visibility_distance < p->fade_distance) m->root->visibility_distance = p->fade_distance;
        return 0;
    });
}

DROVIK_API int Drovik_polygon_set_ambient(DROVIK_HANDLE polygon_handle, int value) {
    return with_polygon(__func__, polygon_handle, [value](polygon* p) { return int(p->ambient = value); });
}

DROVIK_API int Drovik_polygon_set_diffuse(DROVIK_HANDLE polygon_handle, int value) {
    return with_polygon(__func__, polygon_handle, [value](polygon* p) { return int(p->diffuse = value); });
}

DROVIK_API int Drovik_polygon_set_specular(DROVIK_HANDLE polygon_handle, int value) {
    return with_polygon(__func__, polygon_handle, [value](polygon* p) { return int(p->specular = value); });
}

DROVIK_API int Drovik_polygon_get_ambient(DROVIK_HANDLE polygon_handle) {
    return read_field(__func__, polygon_handle, &polygon::ambient);
}

DROVIK_API int Drovik_polygon_get_diffuse(DROVIK_HANDLE polygon_handle) {
    return read_field(__func__, polygon_handle, &polygon::diffuse);
}

DROVIK_API int Drovik_polygon_get_specular(DROVIK_HANDLE polygon_handle) {
    return read_field(__func__, polygon_handle, &polygon::specular);
}

DROVIK_API int Drovik_polygon_set_specular_shining(DROVIK_HANDLE polygon_handle, int value) {
    return with_polygon(__func__, polygon_handle, [value](polygon* p) {
        polygon_set_specular_shining(p, value);
        return polygon_get_specular_shining(p);
    });
}

DROVIK_API int Drovik_polygon_get_specular_shining(DROVIK_HANDLE polygon_handle) {
    return with_polygon(__func__, polygon_handle, [](polygon* p) { return polygon_get_specular_shining(p); });
}

DROVIK_API int Drovik_polygon_set_light(DROVIK_HANDLE polygon_handle, const unsigned char rgb[3]) {
    return with_polygon(__func__, polygon_handle, [rgb](polygon* p) {
        if (rgb) polygon_set_points_color(p, rgb[0], rgb[1], rgb[2]);
        return 0;
    });
}

DROVIK_API int Drovik_polygon_remove_light(DROVIK_HANDLE polygon_handle) {
    return apply(__func__, polygon_handle, polygon_restore_points_color);
}

DROVIK_API int Drovik_polygon_add_patch(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE patch) {
    return with_polygon(__func__, polygon_handle, [patch](polygon* p) {
        if (!second_ok("Drovik_polygon_add_patch", patch, DROVIK_KIND_POLYGON)) return -1;
        return polygon_insert_patch(p, static_cast<polygon*>(patch));
    });
}

DROVIK_API DROVIK_HANDLE Drovik_polygon_add_patch_easy(DROVIK_HANDLE polygon_handle, const double location[3],
                                                       double size, const double direction[3],
                                                       DROVIK_HANDLE bitmap, int red, int green, int blue) {
    return with_polygon(__func__, polygon_handle, [=](polygon* p) -> DROVIK_HANDLE {
        if (bitmap && !second_ok("Drovik_polygon_add_patch_easy", bitmap, DROVIK_KIND_BITMAP)) return nullptr;
        const vec3 centre = location ? api_vec(location) : vec3{};
        const vec3 towards = direction ? api_vec(direction) : vec3{};
        return polygon_add_patch_easy(p, location ? &centre : nullptr, size, direction ? &towards : nullptr,
                                      static_cast<bitmap_texture*>(bitmap), red, green, blue);
    });
}

DROVIK_API int Drovik_polygon_delete_patches(DROVIK_HANDLE polygon_handle, int kind) {
    return with_polygon(__func__, polygon_handle, [kind](polygon* p) {
        if (!p->family_head) {
            Polygon_delete_patches(p, kind);
            return 0;
        }
        for (polygon* piece = p->family_head; piece; piece = piece->family_next) Polygon_delete_patches(piece, kind);
        return 0;
    });
}
