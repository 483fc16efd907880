// Group family: listing, naming and nesting groups, walking, transforming, aligning, colouring,
// lighting, texturing, copying and reducing their polygons, and the dynamic-object values they keep.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "api/polygon_group_tables.h"
#include "foundation/errors.h"
#include "foundation/strings.h"
#include "world/camera.h"
#include "world/chase.h"
#include "world/group.h"
#include "world/light.h"
#include "world/polygon.h"
#include "world/polygon_fill.h"
#include "world/polygon_geometry.h"

namespace {

namespace texts {
inline constexpr const char* create_null = "Drovik_group_create: got a NULL string\n";
inline constexpr const char* null_handle = ": got a NULL handle\n";
inline constexpr const char* cant_be_null = ": group_handle cant be NULL\n";
inline constexpr const char* set_name_null = "Drovik_group_set_name: got a NULL handle or null name\n";
inline constexpr const char* triangles_null = "Drovik_group_create_copy_made_of_triangles:\ngroup handle cant be NULL\n";
inline constexpr const char* reduced_internal = "Drovik_group_create_reduced_copy: internal error\n";
inline constexpr const char* illegal_space = ":\n Illegal space_flag!!\n";
inline constexpr const char* illegal_axis = ":\n Illegal axis_flag!!\n";
inline constexpr const char* mutual_failed = ": polygon_get_mutual_axis_systems failed\n";
inline constexpr const char* inverse_failed = ": failed inverting the matrix\n";
inline constexpr const char* axes_null = "Drovik_group_rotate_to_match_axis_system: polygon handle is NULL\n";
inline constexpr const char* match_repeats = "Drovik_group_match_bitmap: bad params (repeat_x<=0 || repeat_y<=0)\n";
inline constexpr const char* fixed_repeats =
    "Drovik_group_wrap_a_bitmap_fixed: bad params (repeat_x<=0 || repeat_y<=0)\n";
inline constexpr const char* wrap_deltas = "Drovik_group_match_bitmap: delta_y==0 || delta_x==0\n";
inline constexpr const char* bad_direction = "Drovik_group_light_group: bad direction\n";
inline constexpr const char* disabled = "disabled";
inline constexpr const char* enabled = "enabled";
inline constexpr const char* turn2x = "turn2x";
inline constexpr const char* turn2x_suffix = "_turn2x";
}  // namespace texts

constexpr double radians_per_degree = 0.017453292519943295;
constexpr double reduce_tolerance = 0.001;
constexpr int space_world = 0, space_own = 1, space_camera = 2;

void log_named(const char* name, const char* tail) { api_log_line((std::string(name) + tail).c_str()); }

void box_named(const char* name, const char* tail) { warning_box((std::string(name) + tail).c_str()); }

const api_export_row& row_of(const char* export_name) { return api_export_row_of(group_exports, export_name); }

bool group_ok(const api_export_row& row, DROVIK_HANDLE handle) {
    return api_check_handle(handle, row.check_name, DROVIK_KIND_GROUP) != 0;
}

// Runs work on the checked group (NULL: the whole world) under the engine lock.
template <typename Work>
auto with_group(const char* export_name, DROVIK_HANDLE handle, Work work) -> decltype(work(nullptr)) {
    engine_guard guard;
    const api_export_row& row = row_of(export_name);
    if (!group_ok(row, handle)) return api_refusal{row};
    return work(static_cast<group*>(handle));
}

// The same for exports that need a group record: NULL is refused, with the box `tail` when given.
template <typename Work>
auto with_group_record(const char* export_name, DROVIK_HANDLE handle, const char* tail, Work work)
    -> decltype(work(nullptr)) {
    engine_guard guard;
    const api_export_row& row = row_of(export_name);
    if (!group_ok(row, handle)) return api_refusal{row};
    if (!handle) {
        if (tail) box_named(row.check_name, tail);
        return api_refusal{row};
    }
    return work(static_cast<group*>(handle));
}

// The editor-only transformations.
template <typename Work>
auto with_editor_group(const char* export_name, DROVIK_HANDLE handle, Work work) -> decltype(work(nullptr)) {
    engine_guard guard;
    const api_export_row& row = row_of(export_name);
    if (!group_ok(row, handle) || !api_editor_only_guard(row.check_name, engine_state.editor_mode != 0)) {
        return api_refusal{row};
    }
    return work(static_cast<group*>(handle));
}

polygon* polygon_of(const char* check_name, DROVIK_HANDLE handle) {
    return api_check_handle(handle, check_name, DROVIK_KIND_POLYGON) ? static_cast<polygon*>(handle) : nullptr;
}

std::vector<polygon*> members(const group* g) {
    std::vector<polygon*> out;
    for (polygon* p = group_get_first_polygon(g); p; p = group_get_next_polygon(g, p)) out.push_back(p);
    return out;
}

// Every member polygon's field takes the value; 0.
int set_on_members(const char* export_name, DROVIK_HANDLE handle, int32_t polygon::*field, int value) {
    return with_group(export_name, handle, [=](group* g) {
        for (polygon* p : members(g)) p->*field = value;
        return 0;
    });
}

// The physics values: a NULL group is refused without a word.
double read_physics(const char* export_name, DROVIK_HANDLE handle, double group::*field) {
    return with_group_record(export_name, handle, nullptr, [field](group* g) { return g->*field; });
}

int store_physics(const char* export_name, DROVIK_HANDLE handle, double group::*field, double value) {
    return with_group_record(export_name, handle, nullptr, [=](group* g) {
        g->*field = value;
        return 0;
    });
}

vec3 reference_point(const group* g) {
    const double* r = g ? g->centre : engine_state.world_rotate_reference;
    return {r[0], r[1], r[2]};
}

void transform_members(const group* g, const vec3& centre, const mat4& m) {
    for (polygon* p : members(g)) polygon_transform(p, centre, m);
}

vec3 box_centre(const group* g) {
    double box[6];
    group_get_bounding_box(g, box);
    return {(box[0] + box[3]) / 2, (box[1] + box[4]) / 2, (box[2] + box[5]) / 2};
}

// Moves the members and the rotate reference points of the tree (the world's too for NULL).
void move_tree(const group* g, const vec3& offset) {
    for (polygon* p : members(g)) polygon_move(p, offset);
    for (group* other = engine_state.groups; other; other = other->next) {
        if (!group_is_included(other, g)) continue;
        other->centre[0] += offset.x;
        other->centre[1] += offset.y;
        other->centre[2] += offset.z;
    }
    if (!g) {
        engine_state.world_rotate_reference[0] += offset.x;
        engine_state.world_rotate_reference[1] += offset.y;
        engine_state.world_rotate_reference[2] += offset.z;
    }
}

mat4 rows_of(const vec3& x, const vec3& y, const vec3& z) {
    mat4 m;
    matrix_identity(m);
    const vec3 axes[3] = {x, y, z};
    for (int r = 0; r < 3; ++r) {
        m.m[r][0] = axes[r].x;
        m.m[r][1] = axes[r].y;
        m.m[r][2] = axes[r].z;
    }
    return m;
}

// The current camera's axes as rows, false without a current camera.
bool camera_axes(mat4& out) {
    const camera* c = get_current_camera();
    if (!c) return false;
    vec3 x, y, z;
    camera_get_axes(c, x, y, z);
    out = rows_of(x, y, z);
    return true;
}

// The group's own axes as rows (rotation part only), false when they cannot be built.
bool own_axes(group* g, mat4& out) {
    if (!g || group_calculate_axis_system(g) != 0) return false;
    matrix_identity(out);
    matrix_copy_rotation(out, g->axis_system);
    return true;
}

// m expressed in the frame whose axes are the rows of `axes`: inverse(axes) x m x axes.
bool in_frame(mat4& m, const mat4& axes) {
    mat4 inverse, step;
    if (matrix3_inverse(inverse, axes) != 0) return false;
    matrix_multiply(step, inverse, m);
    matrix_multiply(m, step, axes);
    return true;
}

// The turn that takes the rows of `from` onto the rows of `to`: inverse(from) x to.
bool turn_between(mat4& out, const mat4& from, const mat4& to) {
    mat4 inverse;
    if (matrix3_inverse(inverse, from) != 0) return false;
    matrix_multiply(out, inverse, to);
    return true;
}

// A group with a rotated member only scales: the rows' lengths on the diagonal.
void keep_rotated_upright(const group* g, mat4& m) {
    if (!group_is_rotation_enabled(g)) return;
    mat4 scale;
    matrix_scale(scale, {vec_length({m.m[0][0], m.m[0][1], m.m[0][2]}), vec_length({m.m[1][0], m.m[1][1], m.m[1][2]}),
                         vec_length({m.m[2][0], m.m[2][1], m.m[2][2]})});
    m = scale;
}

// The space a transformation is expressed in, false (after the box) for a space it cannot use.
bool space_frame(const char* name, group* g, int space, mat4& axes, bool& has_axes) {
    has_axes = false;
    if (space == space_world) return true;
    if (space == space_own && g) {
        has_axes = own_axes(g, axes);
        return true;
    }
    if (space == space_camera) {
        has_axes = camera_axes(axes);
        return true;
    }
    box_named(name, texts::illegal_space);
    return false;
}

void delete_tree(group* g) {
    for (bool found = true; found;) {
        found = false;
        for (group* child = engine_state.groups; child; child = child->next) {
            if (child->father == g) {
                delete_tree(child);
                found = true;
                break;
            }
        }
    }
    group_delete(&engine_state.groups, g);
}

// An axis system from a polygon's normal and the line direction: x along the line.
bool line_axes(const polygon* p, const vec3& along, bool flip, mat4& out) {
    vec3 normal = polygon_normal(p);
    if (flip) vec_negate(normal);
    vec3 y = normal;
    vec3 part;
    vec_scale(part, vec_dot(normal, along), along);
    vec_sub(y, part);
    if (vec_normalize(y) != 0) return false;
    out = rows_of(along, y, vec_cross(along, y));
    return true;
}

// Runs work with the target polygon's normal negated when flip is 1, then restores it.
template <typename Work>
auto with_flipped(polygon* target, int flip, Work work) {
    const bool negate = flip == 1;
    if (negate) {
        for (int k = 0; k < 4; ++k) target->plane[k] = -target->plane[k];
    }
    auto result = work();
    if (negate) {
        for (int k = 0; k < 4; ++k) target->plane[k] = -target->plane[k];
    }
    return result;
}

int wrap_members(const group* g, bitmap_texture* bitmap, double repeat_x, double repeat_y, const vec3& low,
                 const vec3& high) {
    if (high.y - low.y == 0 || high.x - low.x == 0) {
        api_log_line(texts::wrap_deltas);
        return -1;
    }
    for (polygon* p : members(g)) {
        api_wrap_cords(p, repeat_x, repeat_y, low, high);
        polygon_set_bitmap_fill(p, bitmap);
    }
    return 0;
}

int read3(const double* source, double* out) {
    if (!out) return -1;
    std::copy(source, source + 3, out);
    return 0;
}

int write3(double* field, const double* value) {
    if (!value) return -1;
    std::copy(value, value + 3, field);
    return 0;
}

// The name and offset of the group's track or chase part; a NULL group is refused with a box.
template <typename Part>
const char* read_part_name(const char* export_name, DROVIK_HANDLE handle, Part group::*part) {
    return with_group_record(export_name, handle, texts::null_handle,
                             [part](group* g) -> const char* { return (g->*part).name; });
}

template <typename Part>
int store_part_name(const char* export_name, DROVIK_HANDLE handle, Part group::*part, const char* name) {
    return with_group_record(export_name, handle, texts::null_handle, [=](group* g) {
        jstrcpy_with_allocating(&(g->*part).name, name);
        return 0;
    });
}

template <typename Part>
int read_part_offset(const char* export_name, DROVIK_HANDLE handle, Part group::*part, double offset[3]) {
    return with_group_record(export_name, handle, texts::null_handle,
                             [=](group* g) { return read3((g->*part).offset, offset); });
}

template <typename Part>
int store_part_offset(const char* export_name, DROVIK_HANDLE handle, Part group::*part, const double offset[3]) {
    return with_group_record(export_name, handle, texts::null_handle,
                             [=](group* g) { return write3((g->*part).offset, offset); });
}

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_group_create(const char* name) {
    engine_guard guard;
    if (!name) {
        warning_box(texts::create_null);
        return nullptr;
    }
    return group_create(&engine_state.groups, name);
}

DROVIK_API DROVIK_HANDLE Drovik_group_get_first_group() {
    engine_guard guard;
    return engine_state.groups;
}

DROVIK_API DROVIK_HANDLE Drovik_group_get_next(DROVIK_HANDLE group_handle) {
    return with_group_record(__func__, group_handle, texts::null_handle,
                             [](group* g) -> DROVIK_HANDLE { return g->next; });
}

DROVIK_API DROVIK_HANDLE Drovik_group_get_using_name(const char* name) {
    engine_guard guard;
    return group_find_by_name(engine_state.groups, name);
}

DROVIK_API const char* Drovik_group_get_name(DROVIK_HANDLE group_handle) {
    return with_group_record(__func__, group_handle, texts::null_handle,
                             [](group* g) -> const char* { return g->name; });
}

DROVIK_API int Drovik_group_set_name(DROVIK_HANDLE group_handle, const char* name) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    if (!group_ok(row, group_handle)) return api_refusal{row};
    if (!group_handle || !name || !*name) {
        warning_box(texts::set_name_null);
        return -1;
    }
    return group_rename(static_cast<group*>(group_handle), name);
}

DROVIK_API DROVIK_HANDLE Drovik_group_get_father_group(DROVIK_HANDLE group_handle) {
    return with_group_record(__func__, group_handle, texts::null_handle,
                             [](group* g) -> DROVIK_HANDLE { return g->father; });
}

DROVIK_API int Drovik_group_set_father_group(DROVIK_HANDLE group_handle, DROVIK_HANDLE father) {
    return with_group_record(__func__, group_handle, texts::null_handle, [father](group* g) {
        if (!group_ok(row_of("Drovik_group_set_father_group"), father)) return -1;
        return group_set_father_group(g, static_cast<group*>(father));
    });
}

DROVIK_API int Drovik_group_is_groupA_included_in_groupB(DROVIK_HANDLE group_a, DROVIK_HANDLE group_b) {
    return with_group(__func__, group_a, [group_b](group* a) {
        if (!group_ok(row_of("Drovik_group_is_groupA_included_in_groupB"), group_b)) return -1;
        return group_is_included(a, static_cast<group*>(group_b));
    });
}

DROVIK_API DROVIK_HANDLE Drovik_group_get_first_polygon(DROVIK_HANDLE group_handle) {
    return with_group(__func__, group_handle, [](group* g) -> DROVIK_HANDLE { return group_get_first_polygon(g); });
}

DROVIK_API DROVIK_HANDLE Drovik_group_get_next_polygon(DROVIK_HANDLE group_handle, DROVIK_HANDLE polygon_handle) {
    return with_group(__func__, group_handle, [polygon_handle](group* g) -> DROVIK_HANDLE {
        const polygon* p = polygon_of(row_of("Drovik_group_get_next_polygon").check_name, polygon_handle);
        return p ? group_get_next_polygon(g, p) : nullptr;
    });
}

DROVIK_API int Drovik_group_get_number_of_polygons(DROVIK_HANDLE group_handle) {
    return with_group(__func__, group_handle, [](group* g) { return group_get_number_of_polygons(g); });
}

DROVIK_API int Drovik_group_ungroup(DROVIK_HANDLE group_handle) {
    return with_group_record(__func__, group_handle, texts::null_handle,
                             [](group* g) { return group_delete(&engine_state.groups, g); });
}

DROVIK_API int Drovik_group_delete_members(DROVIK_HANDLE group_handle) {
    return with_editor_group(__func__, group_handle, [](group* g) {
        std::vector<polygon*> doomed;
        const module* main = engine_state.main_module;
        for (polygon* p = main && main->root ? main->root->polygons : nullptr; p; p = p->next) {
            if (group_is_included(p->owner_group, g)) doomed.push_back(p);
        }
        int count = 0;
        for (polygon* p : doomed) {
            if (Drovik_polygon_delete(p) == 0) count++;
        }
        if (g) {
            delete_tree(g);
        } else {
            group_delete(&engine_state.groups, nullptr);
        }
        return count;
    });
}

DROVIK_API DROVIK_HANDLE Drovik_group_duplicate_tree(DROVIK_HANDLE group_handle) {
    return with_group_record(__func__, group_handle, texts::cant_be_null,
                             [](group* g) -> DROVIK_HANDLE { return group_duplicate_tree(g, g->father); });
}

DROVIK_API DROVIK_HANDLE Drovik_group_create_copy_made_of_triangles(DROVIK_HANDLE group_handle) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    if (!group_ok(row, group_handle)) return api_refusal{row};
    if (!group_handle) {
        warning_box(texts::triangles_null);
        return api_refusal{row};
    }
    if (!api_world_guard(row.check_name) || !api_editor_only_guard(row.check_name, engine_state.editor_mode != 0)) {
        return api_refusal{row};
    }
    group* g = static_cast<group*>(group_handle);
    return group_duplicate_tree_triangled(g, g->father);
}

DROVIK_API DROVIK_HANDLE Drovik_group_create_reduced_copy(DROVIK_HANDLE group_handle, double grid) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    if (!group_ok(row, group_handle)) return api_refusal{row};
    group* copy = static_cast<group*>(Drovik_group_create_copy_made_of_triangles(group_handle));
    if (!copy || grid == 0) return copy;
    for (polygon* p : members(copy)) {
        for (point* pt = p->points; pt; pt = pt->next) {
            for (double* v : {&pt->x, &pt->y, &pt->z}) *v = grid * std::floor(*v / grid + 0.5);
        }
        if (!polygon_is_valid(p)) Drovik_polygon_delete(p);
    }
    if (Drovik_group_reduce_polygons_count(copy, reduce_tolerance) == -1) api_log_line(texts::reduced_internal);
    return copy;
}

DROVIK_API int Drovik_group_is_static(DROVIK_HANDLE group_handle) {
    return with_group(__func__, group_handle, [](group* g) { return !g || !g->holds_object_parameters ? 1 : 0; });
}

DROVIK_API int Drovik_group_set_static(DROVIK_HANDLE group_handle) {
    return with_group(__func__, group_handle, [](group* g) {
        if (g) g->holds_object_parameters = 0;
        return 0;
    });
}

DROVIK_API int Drovik_group_set_dynamic(DROVIK_HANDLE group_handle) {
    return with_group_record(__func__, group_handle, texts::cant_be_null, [](group* g) {
        g->holds_object_parameters = 1;
        return 0;
    });
}

DROVIK_API int Drovik_group_load_as_disabled(DROVIK_HANDLE group_handle, int flag) {
    return with_group_record(__func__, group_handle, texts::cant_be_null, [flag](group* g) {
        std::string type = flag ? texts::disabled : texts::enabled;
        if (g->object_type && jstristr(g->object_type, texts::turn2x)) type += texts::turn2x_suffix;
        return jstrcpy_with_allocating(&g->object_type, type.c_str()) ? 0 : -1;
    });
}

DROVIK_API int Drovik_group_get_load_as_disabled_status(DROVIK_HANDLE group_handle) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    if (!group_ok(row, group_handle)) return api_refusal{row};
    if (!group_handle) {
        box_named(row.check_name, texts::cant_be_null);
        return 1;  // the whole world counts as disabled, as callers have always seen
    }
    const char* type = static_cast<group*>(group_handle)->object_type;
    return type && jstricmp(type, texts::disabled) == 0 ? 1 : 0;
}

DROVIK_API int Drovik_group_set_control_number(DROVIK_HANDLE group_handle, int number) {
    return with_group_record(__func__, group_handle, nullptr, [number](group* g) {
        g->control = number;
        return 0;
    });
}

DROVIK_API int Drovik_group_get_control_number(DROVIK_HANDLE group_handle) {
    return with_group_record(__func__, group_handle, nullptr, [](group* g) { return int(g->control); });
}

DROVIK_API int Drovik_group_get_bounding_box(DROVIK_HANDLE group_handle, double box[6]) {
    return with_group(__func__, group_handle, [box](group* g) {
        if (!box) return -1;
        group_get_bounding_box(g, box);
        return 0;
    });
}

DROVIK_API int Drovik_group_get_center_of_mass(DROVIK_HANDLE group_handle, double out[3]) {
    return with_group(__func__, group_handle, [out](group* g) {
        if (!out) return -1;
        api_store_vec(out, box_centre(g));
        return 0;
    });
}

DROVIK_API int Drovik_group_get_location(DROVIK_HANDLE group_handle, double* x, double* y, double* z) {
    return with_group(__func__, group_handle, [=](group* g) {
        const vec3 c = box_centre(g);
        if (x) *x = c.x;
        if (y) *y = c.y;
        if (z) *z = c.z;
        return 0;
    });
}

DROVIK_API int Drovik_group_get_dimensions(DROVIK_HANDLE group_handle, double out[3]) {
    return with_group(__func__, group_handle, [out](group* g) {
        if (!out) return -1;
        api_store_vec(out, {0, 0, 0});
        mat4 axes, inverse;
        if (!own_axes(g, axes) || matrix3_inverse(inverse, axes) != 0) return -1;
        vec3 low{1e200, 1e200, 1e200}, high{-1e200, -1e200, -1e200};
        for (const polygon* p : members(g)) {
            for (const point* pt = p->points; pt; pt = pt->next) {
                vec3 local;
                vec_mul_rotation(local, point_position(pt), inverse);
                low = {std::min(low.x, local.x), std::min(low.y, local.y), std::min(low.z, local.z)};
                high = {std::max(high.x, local.x), std::max(high.y, local.y), std::max(high.z, local.z)};
            }
        }
        if (low.x > high.x) return 0;
        vec_sub(high, low);
        api_store_vec(out, high);
        return 0;
    });
}

DROVIK_API int Drovik_group_get_rotate_reference_point(DROVIK_HANDLE group_handle, double out[3]) {
    return with_group(__func__, group_handle, [out](group* g) {
        if (!out) return -1;
        api_store_vec(out, reference_point(g));
        return 0;
    });
}

DROVIK_API int Drovik_group_set_rotate_reference_point(DROVIK_HANDLE group_handle, const double point_in[3]) {
    return with_group(__func__, group_handle, [point_in](group* g) {
        return write3(g ? g->centre : engine_state.world_rotate_reference, point_in);
    });
}

DROVIK_API int Drovik_group_calculate_axis_system(DROVIK_HANDLE group_handle, double x_axis[3], double y_axis[3],
                                                  double z_axis[3]) {
    return with_group_record(__func__, group_handle, nullptr, [=](group* g) {
        const int result = group_calculate_axis_system(g);
        double* outs[3] = {x_axis, y_axis, z_axis};
        for (int r = 0; r < 3; ++r) {
            if (outs[r]) std::copy(g->axis_system.m[r], g->axis_system.m[r] + 3, outs[r]);
        }
        return result;
    });
}

DROVIK_API int Drovik_group_convert_point_to_world_space(DROVIK_HANDLE group_handle, const double in[3],
                                                         double out[3]) {
    return with_group_record(__func__, group_handle, nullptr, [=](group* g) {
        mat4 axes;
        if (!in || !out || !own_axes(g, axes)) return -1;
        vec3 v;
        vec_mul_rotation(v, api_vec(in), axes);
        api_store_vec(out, v);
        return 0;
    });
}

DROVIK_API int Drovik_group_convert_point_to_group_space(DROVIK_HANDLE group_handle, const double in[3],
                                                         double out[3]) {
    return with_group_record(__func__, group_handle, nullptr, [=](group* g) {
        mat4 axes, inverse;
        if (!in || !out || !own_axes(g, axes) || matrix3_inverse(inverse, axes) != 0) return -1;
        vec3 v;
        vec_mul_rotation(v, api_vec(in), inverse);
        api_store_vec(out, v);
        return 0;
    });
}

DROVIK_API DROVIK_HANDLE Drovik_group_get_bottom_polygon(DROVIK_HANDLE group_handle) {
    return with_group(__func__, group_handle, [](group* g) -> DROVIK_HANDLE {
        return group_get_polygon_by_orientation(g, ORIENTATION_BOTTOM);
    });
}

DROVIK_API DROVIK_HANDLE Drovik_group_get_top_polygon(DROVIK_HANDLE group_handle) {
    return with_group(__func__, group_handle, [](group* g) -> DROVIK_HANDLE {
        return group_get_polygon_by_orientation(g, ORIENTATION_TOP);
    });
}

DROVIK_API DROVIK_HANDLE Drovik_group_get_front_polygon(DROVIK_HANDLE group_handle) {
    return with_group(__func__, group_handle, [](group* g) -> DROVIK_HANDLE {
        return group_get_polygon_by_orientation(g, ORIENTATION_FRONT);
    });
}

DROVIK_API DROVIK_HANDLE Drovik_group_get_back_polygon(DROVIK_HANDLE group_handle) {
    return with_group(__func__, group_handle, [](group* g) -> DROVIK_HANDLE {
        return group_get_polygon_by_orientation(g, ORIENTATION_BACK);
    });
}

DROVIK_API int Drovik_group_is_bitmap_used(DROVIK_HANDLE group_handle, DROVIK_HANDLE bitmap) {
    return with_editor_group(__func__, group_handle, [bitmap](group* g) {
        if (!api_check_handle(bitmap, row_of("Drovik_group_is_bitmap_used").check_name, DROVIK_KIND_BITMAP)) return 0;
        return group_is_bitmap_used(g, static_cast<bitmap_texture*>(bitmap));
    });
}

DROVIK_API int Drovik_group_count_intersections(DROVIK_HANDLE group_a, DROVIK_HANDLE group_b) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    // Checked silently: a bad handle counts nothing.
    if (!group_ok(row, group_a) || !group_ok(row, group_b)) return api_refusal{row};
    return group_count_intersections(static_cast<group*>(group_a), static_cast<group*>(group_b));
}

DROVIK_API int Drovik_group_is_rotation_enabled(DROVIK_HANDLE group_handle) {
    return with_group(__func__, group_handle, [](group* g) { return group_is_rotation_enabled(g) ? 0 : 1; });
}

DROVIK_API int Drovik_group_rotate(DROVIK_HANDLE group_handle, double degrees, int space_flag, int axis_flag) {
    return with_editor_group(__func__, group_handle, [=](group* g) {
        const char* name = row_of("Drovik_group_rotate").check_name;
        mat4 axes;
        bool has_axes = false;
        if (!space_frame(name, g, space_flag, axes, has_axes)) return -1;
        if (axis_flag < 0 || axis_flag > 2) {
            box_named(name, texts::illegal_axis);
            return -1;
        }
        if (space_flag == space_camera && !has_axes) return 0;
        mat4 r;
        void (*const turns[3])(mat4&, double) = {matrix_rotation_x, matrix_rotation_y, matrix_rotation_z};
        turns[axis_flag](r, degrees * radians_per_degree);
        if (has_axes) in_frame(r, axes);
        keep_rotated_upright(g, r);
        transform_members(g, reference_point(g), r);
        return 0;
    });
}

DROVIK_API int Drovik_group_rotate_using_matrix(DROVIK_HANDLE group_handle, const double matrix[9]) {
    return with_editor_group(__func__, group_handle, [matrix](group* g) {
        if (!matrix) return -1;
        mat4 m;
        matrix_identity(m);
        for (int k = 0; k < 9; ++k) m.m[k / 3][k % 3] = matrix[k];
        transform_members(g, reference_point(g), m);
        return 0;
    });
}

DROVIK_API int Drovik_group_transform_using_matrix4x4(DROVIK_HANDLE group_handle, const double matrix[16]) {
    return with_editor_group(__func__, group_handle, [matrix](group* g) {
        if (!matrix) return -1;
        mat4 m;
        for (int k = 0; k < 16; ++k) m.m[k / 4][k % 4] = matrix[k];
        transform_members(g, reference_point(g), m);
        return 0;
    });
}

DROVIK_API int Drovik_group_move(DROVIK_HANDLE group_handle, double offset[3], int space_flag) {
    return with_editor_group(__func__, group_handle, [=](group* g) {
        const char* name = row_of("Drovik_group_move").check_name;
        mat4 axes;
        bool has_axes = false;
        if (!space_frame(name, g, space_flag, axes, has_axes)) return -1;
        if (!offset) return -1;
        if (space_flag == space_camera && !has_axes) return 0;
        vec3 v = api_vec(offset);
        if (space_flag == space_own) {
            // The group's axes taken with x and y negated, inverted.
            for (int r = 0; r < 2; ++r) {
                for (int c = 0; c < 3; ++c) axes.m[r][c] = -axes.m[r][c];
            }
            mat4 inverse;
            if (!has_axes || matrix3_inverse(inverse, axes) != 0) return -1;
            vec_mul_rotation(v, api_vec(offset), inverse);
        } else if (space_flag == space_camera) {
            vec_mul_rotation(v, api_vec(offset), axes);
        }
        api_store_vec(offset, v);
        move_tree(g, v);
        return 0;
    });
}

DROVIK_API int Drovik_group_set_location(DROVIK_HANDLE group_handle, const double location[3]) {
    return with_editor_group(__func__, group_handle, [location](group* g) {
        if (!location) return -1;
        vec3 offset = api_vec(location);
        vec_sub(offset, box_centre(g));
        move_tree(g, offset);
        return 0;
    });
}

DROVIK_API int Drovik_group_scale(DROVIK_HANDLE group_handle, int space_flag, double sx, double sy, double sz) {
    return with_editor_group(__func__, group_handle, [=](group* g) {
        mat4 axes;
        bool has_axes = false;
        if (!space_frame(row_of("Drovik_group_scale").check_name, g, space_flag, axes, has_axes)) return -1;
        if (space_flag == space_camera && !has_axes) return 0;
        mat4 m;
        matrix_scale(m, {sx, sy, sz});
        if (has_axes) in_frame(m, axes);
        transform_members(g, box_centre(g), m);
        return 0;
    });
}

DROVIK_API int Drovik_group_rotate_to_match_polygon(DROVIK_HANDLE group_handle, DROVIK_HANDLE own,
                                                    DROVIK_HANDLE target, int flip_flag) {
    return with_editor_group(__func__, group_handle, [=](group* g) {
        const char* name = row_of("Drovik_group_rotate_to_match_polygon").check_name;
        polygon* p = polygon_of(name, own);
        polygon* t = p ? polygon_of(name, target) : nullptr;
        if (!t) return -1;
        mat4 axes_own, axes_target, m;
        const int found = with_flipped(t, flip_flag, [&] {
            return polygon_get_mutual_axis_systems(p, t, axes_own, axes_target);
        });
        if (found != 0) {
            log_named(name, texts::mutual_failed);
            return -1;
        }
        if (!turn_between(m, axes_own, axes_target)) {
            log_named(name, texts::inverse_failed);
            return -1;
        }
        transform_members(g, reference_point(g), m);
        return 0;
    });
}

DROVIK_API int Drovik_group_rotate_around_line_to_match_polygon(DROVIK_HANDLE group_handle, DROVIK_HANDLE own,
                                                                DROVIK_HANDLE target, int flip_flag,
                                                                const double line_a[3], const double line_b[3]) {
    return with_editor_group(__func__, group_handle, [=](group* g) {
        const char* name = row_of("Drovik_group_rotate_around_line_to_match_polygon").check_name;
        polygon* p = polygon_of(name, own);
        polygon* t = p ? polygon_of(name, target) : nullptr;
        if (!t || !line_a || !line_b) return -1;
        vec3 along = api_vec(line_b);
        vec_sub(along, api_vec(line_a));
        mat4 axes_own, axes_target, m;
        if (vec_normalize(along) != 0 || !line_axes(p, along, false, axes_own) ||
            !line_axes(t, along, flip_flag == 1, axes_target)) {
            return -1;
        }
        if (!turn_between(m, axes_own, axes_target)) {
            log_named(name, texts::inverse_failed);
            return -1;
        }
        // Turning about A keeps A in place.
        transform_members(g, api_vec(line_a), m);
        return 0;
    });
}

DROVIK_API int Drovik_group_rotate_to_match_direction(DROVIK_HANDLE group_handle, DROVIK_HANDLE polygon_handle,
                                                      const double direction[3]) {
    return with_editor_group(__func__, group_handle, [=](group* g) {
        const char* messages = "Drovik_group_rotate_to_match_direction";
        polygon* p = polygon_of(row_of("Drovik_group_rotate_to_match_direction").check_name, polygon_handle);
        if (!p || !direction) return -1;
        vec3 towards = api_vec(direction);
        if (vec_normalize(towards) != 0) return -1;
        mat4 axes_own, axes_direction, m;
        if (polygon_get_direction_axis_systems(p, towards, axes_own, axes_direction) != 0) {
            log_named(messages, texts::mutual_failed);
            return -1;
        }
        if (!turn_between(m, axes_own, axes_direction)) {
            log_named(messages, texts::inverse_failed);
            return -1;
        }
        transform_members(g, reference_point(g), m);
        return 0;
    });
}

DROVIK_API int Drovik_group_rotate_around_line(DROVIK_HANDLE group_handle, const double line_a[3],
                                               const double line_b[3], double degrees) {
    return with_editor_group(__func__, group_handle, [=](group* g) {
        mat4 m;
        if (!line_a || !line_b || matrix_rotation_around_line(m, degrees, api_vec(line_a), api_vec(line_b)) != 0) {
            return -1;
        }
        transform_members(g, {0, 0, 0}, m);
        return 0;
    });
}

DROVIK_API int Drovik_group_rotate_to_match_axis_system(DROVIK_HANDLE group_handle, const double x_axis[3],
                                                        const double y_axis[3], const double z_axis[3]) {
    return with_editor_group(__func__, group_handle, [=](group* g) {
        const char* name = row_of("Drovik_group_rotate_to_match_axis_system").check_name;
        if (!x_axis || !y_axis || !z_axis) {
            warning_box(texts::axes_null);
            return -1;
        }
        vec3 x = api_vec(x_axis), y = api_vec(y_axis), z = api_vec(z_axis);
        mat4 from, m;
        if (repair_basis(x, y, z) != 0 || !own_axes(g, from)) return -1;
        if (!turn_between(m, from, rows_of(x, y, z))) {
            log_named(name, texts::inverse_failed);
            return -1;
        }
        transform_members(g, reference_point(g), m);
        return 0;
    });
}

DROVIK_API int Drovik_group_move_to_match_point(DROVIK_HANDLE group_handle, const double point_a[3],
                                                const double point_b[3]) {
    return with_editor_group(__func__, group_handle, [=](group* g) {
        if (!g || !point_a || !point_b) {
            box_named(row_of("Drovik_group_move_to_match_point").check_name, texts::null_handle);
            return -1;
        }
        vec3 offset = api_vec(point_b);
        vec_sub(offset, api_vec(point_a));
        move_tree(g, offset);
        return 0;
    });
}

DROVIK_API int Drovik_group_set_orientation(DROVIK_HANDLE group_handle, DROVIK_HANDLE polygon_handle,
                                            int orientation) {
    return with_editor_group(__func__, group_handle, [=](group* g) {
        polygon* marked = polygon_of(row_of("Drovik_group_set_orientation").check_name, polygon_handle);
        if (!marked) return -1;
        int cleared = ORIENTATION_TOP | ORIENTATION_BOTTOM | ORIENTATION_FRONT | ORIENTATION_BACK;
        if (orientation == ORIENTATION_TOP || orientation == ORIENTATION_BOTTOM) {
            cleared = ORIENTATION_TOP | ORIENTATION_BOTTOM;
        } else if (orientation == ORIENTATION_FRONT || orientation == ORIENTATION_BACK) {
            cleared = ORIENTATION_FRONT | ORIENTATION_BACK;
        }
        for (polygon* p : members(g)) {
            if (p->orientation & cleared) p->orientation = ORIENTATION_NONE;
        }
        if (orientation) marked->orientation = orientation;
        return 0;
    });
}

DROVIK_API int Drovik_group_reduce_polygons_count(DROVIK_HANDLE group_handle, double tolerance) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    if (!api_world_guard(row.check_name) || !group_ok(row, group_handle) ||
        !api_editor_only_guard(row.check_name, engine_state.editor_mode != 0)) {
        return api_refusal{row};
    }
    module* main = engine_state.main_module;
    if (!main || !main->root) return 0;
    return optimize_polygon_list(&main->root->polygons, static_cast<group*>(group_handle), tolerance);
}

DROVIK_API int Drovik_group_set_color(DROVIK_HANDLE group_handle, unsigned char red, unsigned char green,
                                      unsigned char blue) {
    return with_group(__func__, group_handle, [=](group* g) {
        for (polygon* p : members(g)) polygon_set_color_fill(p, red, green, blue);
        return 0;
    });
}

DROVIK_API int Drovik_group_wrap_a_bitmap(DROVIK_HANDLE group_handle, DROVIK_HANDLE bitmap, double repeat_x,
                                          double repeat_y) {
    return with_group(__func__, group_handle, [=](group* g) {
        if (!api_check_handle(bitmap, row_of("Drovik_group_wrap_a_bitmap").check_name, DROVIK_KIND_BITMAP)) return -1;
        if (repeat_x <= 0 || repeat_y <= 0) {
            api_log_line(texts::match_repeats);
            return -1;
        }
        double box[6];
        group_get_bounding_box(g, box);
        return wrap_members(g, static_cast<bitmap_texture*>(bitmap), repeat_x, repeat_y, {box[0], box[1], box[2]},
                            {box[3], box[4], box[5]});
    });
}

DROVIK_API int Drovik_group_wrap_a_bitmap_fixed(DROVIK_HANDLE group_handle, DROVIK_HANDLE bitmap, double repeat_x,
                                                double repeat_y, const double low[3], const double high[3]) {
    return with_group(__func__, group_handle, [=](group* g) {
        if (!api_check_handle(bitmap, row_of("Drovik_group_wrap_a_bitmap_fixed").check_name, DROVIK_KIND_BITMAP)) {
            return -1;
        }
        if (repeat_x <= 0 || repeat_y <= 0) {
            api_log_line(texts::fixed_repeats);
            return -1;
        }
        if (!low || !high) return -1;
        return wrap_members(g, static_cast<bitmap_texture*>(bitmap), repeat_x, repeat_y, api_vec(low),
                            api_vec(high));
    });
}

DROVIK_API int Drovik_group_light_group(DROVIK_HANDLE group_handle, const double direction[3], double ambient,
                                        double factor) {
    return with_group(__func__, group_handle, [=](group* g) {
        vec3 light = direction ? api_vec(direction) : vec3{0, 0, 0};
        if (vec_normalize(light) != 0) {
            api_log_line(texts::bad_direction);
            return -1;
        }
        vec_negate(light);
        for (polygon* p : members(g)) {
            const double facing = std::max(vec_dot(light, polygon_normal(p)), 0.0);
            Drovik_polygon_set_brightness(p, static_cast<int>(ambient + factor * facing));
        }
        return 0;
    });
}

DROVIK_API int Drovik_group_set_ambient(DROVIK_HANDLE group_handle, int value) {
    return set_on_members(__func__, group_handle, &polygon::ambient, value);
}

DROVIK_API int Drovik_group_set_diffuse(DROVIK_HANDLE group_handle, int value) {
    return set_on_members(__func__, group_handle, &polygon::diffuse, value);
}

DROVIK_API int Drovik_group_set_specular(DROVIK_HANDLE group_handle, int value) {
    return set_on_members(__func__, group_handle, &polygon::specular, value);
}

DROVIK_API int Drovik_group_set_light(DROVIK_HANDLE group_handle, const unsigned char rgb[3]) {
    return with_group(__func__, group_handle, [rgb](group* g) {
        if (rgb) group_set_points_color(g, rgb[0], rgb[1], rgb[2]);
        return 0;
    });
}

DROVIK_API int Drovik_group_remove_light(DROVIK_HANDLE group_handle) {
    return with_group(__func__, group_handle, [](group* g) {
        group_restore_points_color(g);
        return 0;
    });
}

DROVIK_API int Drovik_group_delete_patches(DROVIK_HANDLE group_handle, int type) {
    return with_group(__func__, group_handle, [type](group* g) {
        group_delete_patches(g, type);
        return 0;
    });
}

DROVIK_API int Drovik_group_set_patches_color(DROVIK_HANDLE group_handle, int red, int green, int blue, int type) {
    return with_group(__func__, group_handle, [=](group* g) {
        group_set_patches_color(g, red, green, blue, type);
        return 0;
    });
}

DROVIK_API int Drovik_group_set_patches_bitmap(DROVIK_HANDLE group_handle, DROVIK_HANDLE bitmap, int type) {
    return with_group(__func__, group_handle, [=](group* g) {
        const char* bitmap_check = api_export_row_of(polygon_exports, "Drovik_polygon_set_bitmap_fill").check_name;
        if (!api_check_handle(bitmap, bitmap_check, DROVIK_KIND_BITMAP)) return -1;
        group_set_patches_bitmap(g, static_cast<bitmap_texture*>(bitmap), type);
        return 0;
    });
}

DROVIK_API int Drovik_group_set_patches_translucent(DROVIK_HANDLE group_handle, int kind, int type) {
    return with_group(__func__, group_handle, [=](group* g) {
        group_set_patches_translucent(g, kind, type);
        return 0;
    });
}

DROVIK_API int Drovik_group_set_name_to_chase(DROVIK_HANDLE group_handle, const char* name) {
    return store_part_name(__func__, group_handle, &group::chase, name);
}

DROVIK_API const char* Drovik_group_get_chased_name(DROVIK_HANDLE group_handle) {
    return read_part_name(__func__, group_handle, &group::chase);
}

DROVIK_API int Drovik_group_get_chase_offset(DROVIK_HANDLE group_handle, double offset[3]) {
    return read_part_offset(__func__, group_handle, &group::chase, offset);
}

DROVIK_API int Drovik_group_set_chase_offset(DROVIK_HANDLE group_handle, const double offset[3]) {
    return store_part_offset(__func__, group_handle, &group::chase, offset);
}

DROVIK_API double Drovik_group_get_chase_softness(DROVIK_HANDLE group_handle) {
    return with_group_record(__func__, group_handle, texts::null_handle,
                             [](group* g) { return g->chase.softness; });
}

DROVIK_API double Drovik_group_set_chase_softness(DROVIK_HANDLE group_handle, double softness) {
    return with_group_record(__func__, group_handle, texts::null_handle,
                             [softness](group* g) { return g->chase.softness = std::clamp(softness, 0.0, 1.0); });
}

DROVIK_API const char* Drovik_group_get_chase_type_name(DROVIK_HANDLE group_handle) {
    return with_group_record(__func__, group_handle, texts::null_handle,
                             [](group* g) -> const char* { return g->chase.type_string; });
}

DROVIK_API int Drovik_group_get_chase_type(DROVIK_HANDLE group_handle) {
    return with_group_record(__func__, group_handle, texts::null_handle, [](group* g) {
        int fall_flag = g->fall_flag;
        double height = g->fall_height;
        return chase_convert_string_to_number(g->chase.type_string, &height, &fall_flag);
    });
}

DROVIK_API int Drovik_group_set_chase_type(DROVIK_HANDLE group_handle, int type) {
    return with_group_record(__func__, group_handle, texts::null_handle, [type](group* g) {
        const std::string text = chase_convert_number_to_string(type, g->fall_flag, g->fall_height);
        return jstrcpy_with_allocating(&g->chase.type_string, text.c_str()) ? 0 : -1;
    });
}

DROVIK_API int Drovik_group_set_chase_distance(DROVIK_HANDLE group_handle, double distance) {
    return with_group_record(__func__, group_handle, texts::null_handle, [distance](group* g) {
        g->chase.distance = distance;
        return 0;
    });
}

DROVIK_API double Drovik_group_get_chase_distance(DROVIK_HANDLE group_handle) {
    return with_group_record(__func__, group_handle, texts::null_handle,
                             [](group* g) { return g->chase.distance; });
}

DROVIK_API int Drovik_group_set_track_name(DROVIK_HANDLE group_handle, const char* name) {
    return store_part_name(__func__, group_handle, &group::track, name);
}

DROVIK_API const char* Drovik_group_get_track_name(DROVIK_HANDLE group_handle) {
    return read_part_name(__func__, group_handle, &group::track);
}

DROVIK_API int Drovik_group_get_track_offset(DROVIK_HANDLE group_handle, double offset[3]) {
    return read_part_offset(__func__, group_handle, &group::track, offset);
}

DROVIK_API int Drovik_group_set_track_offset(DROVIK_HANDLE group_handle, const double offset[3]) {
    return store_part_offset(__func__, group_handle, &group::track, offset);
}

DROVIK_API int Drovik_group_set_falling_from_track(DROVIK_HANDLE group_handle, double fall_height, int track_mode) {
    return with_group_record(__func__, group_handle, texts::null_handle, [=](group* g) {
        g->fall_flag = 1;
        g->fall_height = fall_height;
        g->fall_from_track = track_mode;
        return track_mode;
    });
}

DROVIK_API int Drovik_group_unset_falling_from_track(DROVIK_HANDLE group_handle) {
    return with_group_record(__func__, group_handle, texts::null_handle, [](group* g) {
        g->fall_flag = 0;
        return 0;
    });
}

DROVIK_API int Drovik_group_get_falling_from_track_params(DROVIK_HANDLE group_handle, int* flag,
                                                          double* fall_height, int* track_mode) {
    return with_group_record(__func__, group_handle, texts::null_handle, [=](group* g) {
        if (flag) *flag = g->fall_flag;
        if (fall_height) *fall_height = g->fall_height;
        if (track_mode) *track_mode = g->fall_from_track;
        return 0;
    });
}

DROVIK_API int Drovik_group_get_speed(DROVIK_HANDLE group_handle, double speed[3]) {
    return with_group_record(__func__, group_handle, texts::null_handle,
                             [speed](group* g) { return read3(g->speed, speed); });
}

DROVIK_API int Drovik_group_set_speed(DROVIK_HANDLE group_handle, const double speed[3]) {
    return with_group_record(__func__, group_handle, texts::null_handle, [speed](group* g) {
        if (!speed) return -1;
        group_set_speed(g, api_vec(speed));
        return 0;
    });
}

DROVIK_API double Drovik_group_get_absolute_speed(DROVIK_HANDLE group_handle) {
    return with_group_record(__func__, group_handle, texts::null_handle,
                             [](group* g) { return g->absolute_speed; });
}

DROVIK_API int Drovik_group_set_absolute_speed(DROVIK_HANDLE group_handle, double speed) {
    return with_group_record(__func__, group_handle, texts::null_handle, [speed](group* g) {
        group_set_absolute_speed(g, speed);
        return 0;
    });
}

DROVIK_API int Drovik_group_set_physics_rotation(DROVIK_HANDLE group_handle, int space_flag, double x_degrees,
                                                 double y_degrees, double z_degrees) {
    return with_group_record(__func__, group_handle, nullptr, [=](group* g) {
        g->rotation_space = space_flag;
        g->rotation[0] = x_degrees * radians_per_degree;
        g->rotation[1] = y_degrees * radians_per_degree;
        g->rotation[2] = z_degrees * radians_per_degree;
        return 0;
    });
}

DROVIK_API int Drovik_group_get_physics_rotation(DROVIK_HANDLE group_handle, double degrees[3]) {
    return with_group_record(__func__, group_handle, nullptr, [degrees](group* g) {
        if (degrees) {
            for (int k = 0; k < 3; ++k) degrees[k] = g->rotation[k] / radians_per_degree;
        }
        return int(g->rotation_space);
    });
}

DROVIK_API int Drovik_group_get_physics_force(DROVIK_HANDLE group_handle, double force[3]) {
    return with_group_record(__func__, group_handle, nullptr, [force](group* g) { return read3(g->force, force); });
}

DROVIK_API int Drovik_group_set_physics_force(DROVIK_HANDLE group_handle, const double force[3]) {
    return with_group_record(__func__, group_handle, nullptr, [force](group* g) { return write3(g->force, force); });
}

DROVIK_API double Drovik_group_get_physics_friction(DROVIK_HANDLE group_handle) {
    return read_physics(__func__, group_handle, &group::friction);
}

DROVIK_API double Drovik_group_get_physics_elasticity(DROVIK_HANDLE group_handle) {
    return read_physics(__func__, group_handle, &group::elasticity);
}

DROVIK_API double Drovik_group_get_physics_maxspeed(DROVIK_HANDLE group_handle) {
    return read_physics(__func__, group_handle, &group::max_speed);
}

DROVIK_API int Drovik_group_set_physics_friction(DROVIK_HANDLE group_handle, double value) {
    return store_physics(__func__, group_handle, &group::friction, value);
}

DROVIK_API int Drovik_group_set_physics_elasticity(DROVIK_HANDLE group_handle, double value) {
    return store_physics(__func__, group_handle, &group::elasticity, value);
}

DROVIK_API int Drovik_group_set_physics_maxspeed(DROVIK_HANDLE group_handle, double value) {
    return store_physics(__func__, group_handle, &group::max_speed, value);
}
