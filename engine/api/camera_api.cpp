// Camera family: listing, creating, saving and deleting cameras, placing and aiming them, their
// optics, track and chase settings and motion values.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>

#include "api/export_guards.h"
#include "api/record_access.h"
#include "foundation/errors.h"
#include "foundation/strings.h"
#include "render/software/rendering_manager.h"
#include "world/camera.h"
#include "world/chase.h"
#include "world/engine_state.h"
#include "world/track.h"

static_assert(sizeof(DROVIK_CAMERA_VALUES) == sizeof(camera_values));
static_assert(offsetof(DROVIK_CAMERA_VALUES, culling_depth) == offsetof(camera_values, culling_depth));
static_assert(offsetof(DROVIK_CAMERA_VALUES, width) == offsetof(camera_values, width));
static_assert(offsetof(DROVIK_CAMERA_VALUES, location) == offsetof(camera_values, location));
static_assert(offsetof(DROVIK_CAMERA_VALUES, speed) == offsetof(camera_values, speed));
static_assert(offsetof(DROVIK_CAMERA_VALUES, max_speed) == offsetof(camera_values, max_speed));

namespace {

// The name each export's checks print and its value when refused.
const api_export_row camera_exports[] = {
    {"Drovik_camera_get_next_camera", "Drovik_camera_get_next_camera", 0},
    {"Drovik_camera_get_using_name", "Drovik_camera_get_using_name", 0},
    {"Drovik_camera_get_width", "Drovik_camera_get_width", 0},
    {"Drovik_camera_get_height", "Drovik_camera_get_width", 0},
    {"Drovik_camera_create", "Drovik_camera_create", 0},
    {"Drovik_camera_save", "Drovik_camera_save", -1},
    {"Drovik_camera_recreate", "Drovik_camera_recreate", 0},
    {"Drovik_camera_set_values", "Drovik_camera_set_values", 0},
    {"Drovik_camera_delete", "Drovik_camera_delete", -1},
    {"Drovik_camera_get_name", "Drovik_camera_get_name", 0},
    {"Drovik_camera_set_name", "Drovik_camera_set_name", -1},
    {"Drovik_camera_set_save_flag", "Drovik_camera_set_save_flag", 0},
    {"Drovik_camera_get_save_flag", "Drovik_camera_get_save_flag", 0},
    {"Drovik_camera_set_location", "Drovik_camera_set_location", 0},
    {"Drovik_camera_get_location", "Drovik_camera_get_location", 0},
    {"Drovik_camera_set_direction", "Drovik_camera_set_direction", -1},
    {"Drovik_camera_get_direction", "Drovik_camera_get_direction", 0},
    {"Drovik_camera_set_axis_system", "Drovik_camera_set_axis_system", -1},
    {"Drovik_camera_get_axis_system", "Drovik_camera_get_axis_system", -1},
    {"Drovik_camera_point_at", "Drovik_camera_set_direction", -1},
    {"Drovik_camera_move", "Drovik_camera_move", 0},
    {"Drovik_camera_set_tilt", "Drovik_camera_set_tilt", 0},
    {"Drovik_camera_get_tilt", "Drovik_camera_set_tilt", 0},
    {"Drovik_camera_modify_tilt", "Drovik_camera_modify_tilt", 0},
    {"Drovik_camera_set_bank", "Drovik_camera_set_bank", 0},
    {"Drovik_camera_get_bank", "Drovik_camera_get_bank", 0},
    {"Drovik_camera_modify_bank", "Drovik_camera_modify_bank", 0},
    {"Drovik_camera_set_head_angle", "Drovik_camera_set_head_angle", 0},
    {"Drovik_camera_get_head_angle", "Drovik_camera_set_head_angle", 0},
    {"Drovik_camera_modify_head_angle", "Drovik_camera_modify_head_angle", 0},
    {"Drovik_camera_rotate_x", "Drovik_camera_rotate_x", 0},
    {"Drovik_camera_rotate_y", "Drovik_camera_rotate_y", 0},
    {"Drovik_camera_rotate_z", "Drovik_camera_rotate_z", 0},
    {"Drovik_camera_rotate_x_radians", "Drovik_camera_rotate_x_radians", 0},
    {"Drovik_camera_rotate_y_radians", "Drovik_camera_rotate_y_radians", 0},
    {"Drovik_camera_rotate_z_radians", "Drovik_camera_rotate_z_radians", 0},
    {"Drovik_camera_convert_point_to_world_space", "Drovik_camera_convert_point_to_world_space", -1},
    {"Drovik_camera_convert_point_to_camera_space", "Drovik_camera_convert_point_to_camera_space", -1},
    {"Drovik_camera_set_zoom", "Drovik_camera_set_zoom", 0},
    {"Drovik_camera_get_zoom", "Drovik_camera_get_zoom", 0},
    {"Drovik_camera_modify_zoom", "Drovik_camera_modify_zoom", 0},
    {"Drovik_camera_set_focus", "Drovik_camera_set_focus", 0},
    {"Drovik_camera_modify_focus", "Drovik_camera_modify_focus", 0},
    {"Drovik_camera_set_distance_from_eye", "Drovik_camera_set_distance_from_eye", 0},
    {"Drovik_camera_get_distance_from_eye", "Drovik_camera_get_distance_from_eye", -1},
    {"Drovik_camera_set_perspective_projection", "Drovik_camera_set_perspective_projection", 0},
    {"Drovik_camera_set_parallel_projection", "Drovik_camera_set_parallel_projection", 0},
    {"Drovik_camera_get_parallel_projection_width", "Drovik_camera_get_parallel_projection_width", 0},
    {"Drovik_camera_get_parallel_projection_height", "Drovik_camera_get_parallel_projection_height", 0},
    {"Drovik_camera_is_perspective_projection", "Drovik_camera_is_perspective_projection", 0},
    {"Drovik_camera_get_track_name", "Drovik_camera_get_track_name", 0},
    {"Drovik_camera_get_track_handle", "Drovik_camera_get_track_handle", 0},
    {"Drovik_camera_set_track", "Drovik_camera_set_track", -1},
    {"Drovik_camera_get_track_offset", "Drovik_camera_get_track_offset", -1},
    {"Drovik_camera_set_track_offset", "Drovik_camera_set_track_offset", -1},
    {"Drovik_camera_get_next_point_on_track", "Drovik_camera_get_next_point_on_track", 0},
    {"Drovik_camera_set_next_point_on_track", "Drovik_camera_set_next_point_on_track", -1},
    {"Drovik_camera_set_name_to_chase", "Drovik_camera_set_name_to_chase", 0},
    {"Drovik_camera_get_name_to_chase", "Drovik_camera_get_name_to_chase", 0},
    {"Drovik_camera_set_object_to_chase", "Drovik_camera_set_object_to_chase", 0},
    {"Drovik_camera_set_camera_to_chase", "Drovik_camera_set_camera_to_chase", 0},
    {"Drovik_camera_set_group_to_chase", "Drovik_camera_set_group_to_chase", 0},
    {"Drovik_camera_get_chased_object", "Drovik_camera_get_chased_object", 0},
    {"Drovik_camera_get_chased_camera", "Drovik_camera_get_chased_camera", 0},
    {"Drovik_camera_get_chased_group", "Drovik_camera_get_chased_group", 0},
    {"Drovik_camera_get_chase_offset", "Drovik_camera_get_chase_offset", -1},
    {"Drovik_camera_set_chase_offset", "Drovik_camera_set_chase_offset", -1},
    {"Drovik_camera_get_chase_softness", "Drovik_camera_get_chase_softness", 0},
    {"Drovik_camera_set_chase_softness", "Drovik_camera_set_chase_softness", 0},
    {"Drovik_camera_get_chase_type", "Drovik_camera_get_chase_type", 0},
    {"Drovik_camera_set_chase_distance", "Drovik_camera_set_chase_distance", 0},
    {"Drovik_camera_get_chase_distance", "Drovik_camera_get_chase_distance", 0},
    {"Drovik_camera_get_speed", "Drovik_camera_get_speed", 0},
    {"Drovik_camera_set_speed", "Drovik_camera_set_speed", 0},
    {"Drovik_camera_get_absolute_speed", "Drovik_camera_get_absolute_speed", 0},
    {"Drovik_camera_set_absolute_speed", "Drovik_camera_set_absolute_speed", 0},
    {"Drovik_camera_get_force", "Drovik_camera_get_force", 0},
    {"Drovik_camera_set_force", "Drovik_camera_set_force", 0},
    {"Drovik_camera_get_max_speed", "Drovik_camera_get_max_speed", 0},
    {"Drovik_camera_set_max_speed", "Drovik_camera_set_max_speed", 0},
    {"Drovik_camera_get_friction", "Drovik_camera_get_friction", 0},
    {"Drovik_camera_set_friction", "Drovik_camera_set_friction", 0},
    {"Drovik_camera_get_elasticity", "Drovik_camera_get_elasticity", 0},
    {"Drovik_camera_set_elasticity", "Drovik_camera_set_elasticity", 0},
};

namespace texts {
inline constexpr const char* null_name = "Drovik_camera_get_using_name: got a NULL string\n";
inline constexpr const char* create_failed = "Drovik_camera_create: failed to init camera\n";
inline constexpr const char* recreate_failed = "Drovik_camera_recreate: failed to init camera\n";
inline constexpr const char* recreate_axes = "Drovik_camera_recreate: failed to set camera axis\n";
inline constexpr const char* values_axes = "Drovik_camera_set_values: failed to set camera axis\n";
inline constexpr const char* values_axes_rebuilt = "Drovik_camera_set_values: failed to set camera axis 22\n";
inline constexpr const char* null_record = "got a NULL camera values record\n";
inline constexpr const char* delete_internal = "Drovik_camera_delete: internal error\n";
inline constexpr const char* empty_name = "Drovik_camera_set_name: can set an empty name\n";
inline constexpr const char* invalid_space = "Drovik_camera_move: invalid space_flag\n";
inline constexpr const char* focus = "API function Drovik_camera_set_focus()\nIs not working yet";
inline constexpr const char* focus_caption = "Under construction !!";
inline constexpr const char* parallel_internal = "Drovik_camera_set_parallel_projection: internal error\n";
inline constexpr const char* null_target = "got a NULL chase target\n";
inline constexpr const char* no_track = "NO_TRACK";
}  // namespace texts

constexpr double radians_per_degree = 0.017453292519943295;
constexpr int world_space = 0;
constexpr int fallback_parallel_width = 1024, fallback_parallel_height = 768;

void log_line(const char* text) {
    if (api_report_errors()) report_error(1, text);
}

const api_export_row& row_of(const char* export_name) { return api_export_row_of(camera_exports, export_name); }

// The camera behind the handle, NULL after a refused check (reported under the row's name).
camera* checked(const api_export_row& row, DROVIK_HANDLE handle) {
    return api_check_handle(handle, row.check_name, DROVIK_KIND_CAMERA) ? static_cast<camera*>(handle) : nullptr;
}

// A getter's whole work: the checked camera's field, or the row's failure value.
template <typename T>
T read_field(const char* export_name, DROVIK_HANDLE camera_handle, T camera::*field) {
    return api_with_record<camera>(row_of(export_name), camera_handle, DROVIK_KIND_CAMERA,
                                   [field](camera* c) -> T { return c->*field; });
}

// The same for a field of the camera's track or chase part.
template <typename Part, typename T>
T read_field(const char* export_name, DROVIK_HANDLE camera_handle, Part camera::*part, T Part::*field) {
    return api_with_record<camera>(row_of(export_name), camera_handle, DROVIK_KIND_CAMERA,
                                   [part, field](camera* c) -> T { return (c->*part).*field; });
}

vec3 location_of(const camera* c) { return camera_get_location(c); }

// Rebuilds the projection where the camera stands and looks now.
int rebuild_in_place(camera* c) {
    return camera_rebuild(c, c->width, c->height, c->field_of_view, c->own_culling_depth, c->culling_depth,
                          location_of(c), camera_get_direction(c), c->distance_from_eye);
}

void copy_motion(camera* c, const camera_values& v) {
    api_put_vec(c->speed, v.speed);
    c->absolute_speed = v.absolute_speed;
    api_put_vec(c->force, v.force);
    c->friction = v.friction;
    c->elasticity = v.elasticity;
    c->max_speed = v.max_speed;
}

bool same(const vec3& a, const vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// Every link to a camera about to be freed: chasing objects and cameras and the current camera.
void forget_camera(const camera* gone) {
    for (dynamic_object* d = engine_state.dynamic_objects; d; d = d->next) {
        if (d->chase.chased_camera == gone) d->chase.chased_camera = nullptr;
    }
    for (camera* c = engine_state.cameras; c; c = c->next) {
        if (c->chase.chased_camera == gone) c->chase.chased_camera = nullptr;
    }
    if (engine_state.current_camera == gone) engine_state.current_camera = nullptr;
    // A new camera at the same address is bound afresh, buffers and all.
    if (rendering_manager().cam == gone) rendering_manager().cam = nullptr;
}

double clamp_tilt(double degrees) { return std::clamp(degrees, -90.0, 90.0); }

// The chase exports that take handles refuse editor mode.
camera* checked_viewer_chase(const api_export_row& row, DROVIK_HANDLE handle) {
    camera* c = checked(row, handle);
    if (!c || !api_chase_handles_guard(row.check_name, engine_state.editor_mode)) return nullptr;
    return c;
}

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_camera_get_first_camera() {
    engine_guard guard;
    return engine_state.cameras;
}

DROVIK_API DROVIK_HANDLE Drovik_camera_get_default_camera() { return Drovik_camera_get_first_camera(); }

DROVIK_API DROVIK_HANDLE Drovik_camera_get_next_camera(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::next);
}

DROVIK_API DROVIK_HANDLE Drovik_camera_get_using_name(const char* name) {
    engine_guard guard;
    if (!name) {
        warning_box(texts::null_name);
        return nullptr;
    }
    return camera_find_by_name(engine_state.cameras, name);
}

DROVIK_API DROVIK_HANDLE Drovik_camera_get_current() {
    engine_guard guard;
    return get_current_camera();
}

DROVIK_API int Drovik_camera_get_width(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::width);
}

DROVIK_API int Drovik_camera_get_height(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::height);
}

DROVIK_API DROVIK_HANDLE Drovik_camera_create(const char* name) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    if (!api_world_guard(row.check_name)) return api_refusal{row};
    camera* c = camera_init(name, 300, 300, 90, 0, 0, {0, 0, 0}, {-1, 0, 0}, 4);
    if (!c) {
        log_line(texts::create_failed);
        return api_refusal{row};
    }
    camera_add_camera(c, &engine_state.cameras);
    return c;
}

DROVIK_API int Drovik_camera_save(DROVIK_HANDLE camera_handle, DROVIK_CAMERA_VALUES* values) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    camera_values v;
    if (!values || camera_save_values(c, &v) != 0) return -1;
    std::memcpy(values, &v, sizeof v);
    return 0;
}

DROVIK_API DROVIK_HANDLE Drovik_camera_recreate(const char* name, const DROVIK_CAMERA_VALUES* values) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    if (!values) {
        api_report(row.check_name, texts::null_record);
        return api_refusal{row};
    }
    camera_values v;
    std::memcpy(&v, values, sizeof v);
    camera* c = camera_init(name, v.width, v.height, v.field_of_view, v.own_culling_depth, v.culling_depth,
                            v.location, {1, 0, 0}, v.distance_from_eye);
    if (!c) {
        log_line(texts::recreate_failed);
        return api_refusal{row};
    }
    if (camera_set_axes(c, v.x_axis, v.y_axis, v.z_axis) != 0) log_line(texts::recreate_axes);
    camera_mark_rebuilt(c);
    copy_motion(c, v);
    camera_add_camera(c, &engine_state.cameras);
    return c;
}

DROVIK_API int Drovik_camera_set_values(DROVIK_HANDLE camera_handle, const DROVIK_CAMERA_VALUES* values) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    if (!values) {
        api_report(row.check_name, texts::null_record);
        return api_refusal{row};
    }
    camera_values v;
    std::memcpy(&v, values, sizeof v);
    bool changed = false, rebuild = false;
    if (c->own_culling_depth != v.own_culling_depth || c->culling_depth != v.culling_depth) {
        c->own_culling_depth = v.own_culling_depth;
        c->culling_depth = v.culling_depth;
        changed = true;
    }
    if (c->distance_from_eye != v.distance_from_eye) {
        c->distance_from_eye = v.distance_from_eye;
        changed = rebuild = true;
    }
    if (c->field_of_view != v.field_of_view) {
        camera_set_field_of_view(c, v.field_of_view);
        changed = true;
    }
    // The next render sizes the camera to its window, with buffers made anew.
    if (c->width != v.width || c->height != v.height) {
        rendering_manager().dimension_changed = 1;
        c->width = 0;
        c->height = 0;
        changed = rebuild = true;
    }
    if (!same(location_of(c), v.location)) {
        camera_set_location(c, v.location);
        changed = true;
    }
    vec3 x, y, z;
    camera_get_axes(c, x, y, z);
    if (!same(x, v.x_axis) || !same(y, v.y_axis) || !same(z, v.z_axis)) {
        if (camera_set_axes(c, v.x_axis, v.y_axis, v.z_axis) != 0) log_line(texts::values_axes);
        changed = true;
    }
    if (changed) c->matrices_valid = 0;
    if (rebuild) {
        rebuild_in_place(c);
        if (camera_set_axes(c, v.x_axis, v.y_axis, v.z_axis) != 0) log_line(texts::values_axes_rebuilt);
    }
    copy_motion(c, v);
    return 1;
}

DROVIK_API int Drovik_camera_delete(DROVIK_HANDLE camera_handle) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    camera* removed = camera_list_remove(&engine_state.cameras, c);
    if (removed != c) {
        if (removed) log_line(texts::delete_internal);
        return -1;
    }
    forget_camera(c);
    camera_free(c);
    return 0;
}

DROVIK_API void Drovik_camera_delete_all() {
    engine_guard guard;
    for (camera* c = engine_state.cameras; c; c = c->next) forget_camera(c);
    camera_delete_all(&engine_state.cameras);
}

DROVIK_API const char* Drovik_camera_get_name(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::name);
}

DROVIK_API int Drovik_camera_set_name(DROVIK_HANDLE camera_handle, const char* name) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    if (!name || !*name) {
        log_line(texts::empty_name);
        return -1;
    }
    jstrcpy_with_allocating(&c->name, name);
    return 0;
}

DROVIK_API int Drovik_camera_set_save_flag(DROVIK_HANDLE camera_handle, int flag) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    c->save = flag;
    return flag;
}

DROVIK_API int Drovik_camera_get_save_flag(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::save);
}

DROVIK_API int Drovik_camera_set_location(DROVIK_HANDLE camera_handle, double x, double y, double z) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    camera_set_location(c, {x, y, z});
    return 1;
}

DROVIK_API int Drovik_camera_get_location(DROVIK_HANDLE camera_handle, double* x, double* y, double* z) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    const vec3 at = location_of(c);
    if (x) *x = at.x;
    if (y) *y = at.y;
    if (z) *z = at.z;
    return 1;
}

DROVIK_API int Drovik_camera_set_direction(DROVIK_HANDLE camera_handle, double x, double y, double z) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    return camera_set_direction(c, {x, y, z});
}

DROVIK_API int Drovik_camera_get_direction(DROVIK_HANDLE camera_handle, double* x, double* y, double* z) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    const vec3 direction = camera_get_direction(c);
    if (x) *x = direction.x;
    if (y) *y = direction.y;
    if (z) *z = direction.z;
    return 1;
}

DROVIK_API int Drovik_camera_set_axis_system(DROVIK_HANDLE camera_handle, const double x_axis[3],
                                             const double y_axis[3], const double z_axis[3]) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    if (!x_axis || !y_axis || !z_axis) return -1;
    vec3 x = api_vec(x_axis), y = api_vec(y_axis), z = api_vec(z_axis);
    if (repair_basis(x, y, z) != 0) return -1;
    return camera_set_axes(c, x, y, z);
}

DROVIK_API int Drovik_camera_get_axis_system(DROVIK_HANDLE camera_handle, double x_axis[3], double y_axis[3],
                                             double z_axis[3]) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    vec3 x, y, z;
    camera_get_axes(c, x, y, z);
    if (x_axis) api_put_vec(x_axis, x);
    if (y_axis) api_put_vec(y_axis, y);
    if (z_axis) api_put_vec(z_axis, z);
    return 0;
}

DROVIK_API int Drovik_camera_point_at(DROVIK_HANDLE camera_handle, double x, double y, double z) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    vec3 direction{x, y, z};
    vec_sub(direction, location_of(c));
    return camera_set_direction(c, direction);
}

DROVIK_API int Drovik_camera_move(DROVIK_HANDLE camera_handle, int space_flag, double dx, double dy, double dz) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    if (space_flag != world_space && space_flag != camera_space) {
        warning_box(texts::invalid_space);
        return 0;
    }
    camera_move(c, {dx, dy, dz}, space_flag);
    return 0;
}

DROVIK_API double Drovik_camera_set_tilt(DROVIK_HANDLE camera_handle, double tilt) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    camera_set_tilt(c, clamp_tilt(tilt));
    return camera_get_tilt(c);
}

DROVIK_API double Drovik_camera_get_tilt(DROVIK_HANDLE camera_handle) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    return camera_get_tilt(c);
}

DROVIK_API double Drovik_camera_modify_tilt(DROVIK_HANDLE camera_handle, double delta) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    camera_set_tilt(c, clamp_tilt(camera_get_tilt(c) + delta));
    return camera_get_tilt(c);
}

DROVIK_API double Drovik_camera_set_bank(DROVIK_HANDLE camera_handle, double bank) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    camera_set_bank(c, std::fmod(bank, 360.0));
    return camera_get_bank(c);
}

DROVIK_API double Drovik_camera_get_bank(DROVIK_HANDLE camera_handle) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    return camera_get_bank(c);
}

DROVIK_API double Drovik_camera_modify_bank(DROVIK_HANDLE camera_handle, double delta) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    camera_set_bank(c, camera_get_bank(c) + delta);
    return camera_get_bank(c);
}

DROVIK_API double Drovik_camera_set_head_angle(DROVIK_HANDLE camera_handle, double angle) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    camera_set_head_angle(c, angle);
    return angle;
}

DROVIK_API double Drovik_camera_get_head_angle(DROVIK_HANDLE camera_handle) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    return camera_get_head_angle(c);
}

DROVIK_API double Drovik_camera_modify_head_angle(DROVIK_HANDLE camera_handle, double delta) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    camera_rotate_z(c, delta * radians_per_degree, world_space);
    return camera_get_head_angle(c);
}

namespace {

using camera_turn = void (*)(camera*, double, int);

int rotate(const char* export_name, DROVIK_HANDLE camera_handle, camera_turn turn, double radians, int space) {
    engine_guard guard;
    const api_export_row& row = row_of(export_name);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    turn(c, radians, space);
    return 0;
}

}  // namespace

DROVIK_API int Drovik_camera_rotate_x(DROVIK_HANDLE camera_handle, double degrees, int space_flag) {
    return rotate(__func__, camera_handle, camera_rotate_x, degrees * radians_per_degree, space_flag);
}

DROVIK_API int Drovik_camera_rotate_y(DROVIK_HANDLE camera_handle, double degrees, int space_flag) {
    return rotate(__func__, camera_handle, camera_rotate_y, degrees * radians_per_degree, space_flag);
}

DROVIK_API int Drovik_camera_rotate_z(DROVIK_HANDLE camera_handle, double degrees, int space_flag) {
    return rotate(__func__, camera_handle, camera_rotate_z, degrees * radians_per_degree, space_flag);
}

DROVIK_API int Drovik_camera_rotate_x_radians(DROVIK_HANDLE camera_handle, double radians, int space_flag) {
    return rotate(__func__, camera_handle, camera_rotate_x, radians, space_flag);
}

DROVIK_API int Drovik_camera_rotate_y_radians(DROVIK_HANDLE camera_handle, double radians, int space_flag) {
    return rotate(__func__, camera_handle, camera_rotate_y, radians, space_flag);
}

DROVIK_API int Drovik_camera_rotate_z_radians(DROVIK_HANDLE camera_handle, double radians, int space_flag) {
    return rotate(__func__, camera_handle, camera_rotate_z, radians, space_flag);
}

DROVIK_API int Drovik_camera_convert_point_to_world_space(DROVIK_HANDLE camera_handle, const double in[3],
                                                          double out[3]) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c || !in || !out) return api_refusal{row};
    if (!c->matrices_valid) camera_mark_rebuilt(c);
    vec3 point;
    mul_vec_mat3(point, api_vec(in), c->matrix);
    api_put_vec(out, point);
    return 0;
}

DROVIK_API int Drovik_camera_convert_point_to_camera_space(DROVIK_HANDLE camera_handle, const double in[3],
                                                           double out[3]) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c || !in || !out) return api_refusal{row};
    if (!c->matrices_valid) camera_mark_rebuilt(c);
    vec3 point;
    mul_vec_mat3(point, api_vec(in), c->inverse_matrix);
    api_put_vec(out, point);
    return 0;
}

DROVIK_API double Drovik_camera_set_zoom(DROVIK_HANDLE camera_handle, double field_of_view) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    if (camera_set_field_of_view(c, field_of_view) == 0) camera_mark_rebuilt(c);
    return field_of_view;
}

DROVIK_API double Drovik_camera_get_zoom(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::field_of_view);
}

DROVIK_API double Drovik_camera_modify_zoom(DROVIK_HANDLE camera_handle, double delta) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    const double field_of_view = c->field_of_view + delta;
    if (camera_set_field_of_view(c, field_of_view) == 0) camera_mark_rebuilt(c);
    return field_of_view;
}

namespace {

double under_construction(const char* export_name, DROVIK_HANDLE camera_handle) {
    engine_guard guard;
    const api_export_row& row = row_of(export_name);
    if (!checked(row, camera_handle)) return api_refusal{row};
    warning_box_captioned(texts::focus, texts::focus_caption);
    return 0;
}

}  // namespace

DROVIK_API double Drovik_camera_set_focus(DROVIK_HANDLE camera_handle, double) {
    return under_construction(__func__, camera_handle);
}

DROVIK_API double Drovik_camera_modify_focus(DROVIK_HANDLE camera_handle, double) {
    return under_construction(__func__, camera_handle);
}

DROVIK_API int Drovik_camera_set_distance_from_eye(DROVIK_HANDLE camera_handle, double distance) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    return camera_rebuild(c, c->width, c->height, c->field_of_view, c->own_culling_depth, c->culling_depth,
                          location_of(c), camera_get_direction(c), distance) == 0
               ? 1
               : -1;
}

DROVIK_API double Drovik_camera_get_distance_from_eye(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::distance_from_eye);
}

DROVIK_API int Drovik_camera_set_perspective_projection(DROVIK_HANDLE camera_handle) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    c->perspective = 1;
    return rebuild_in_place(c) == 0 ? 1 : -1;
}

namespace {

// A side below 1 follows from the other side and the camera's pixel proportions.
void parallel_size(const camera* c, int& width, int& height) {
    if (width < 1 && height > 0) {
        width = c->height ? height * c->width / c->height : c->width;
    } else if (width < 1 && height < 1) {
        width = c->width;
        height = c->height;
    } else if (height < 1) {
        height = c->width ? width * c->height / c->width : c->height;
    }
}

}  // namespace

DROVIK_API int Drovik_camera_set_parallel_projection(DROVIK_HANDLE camera_handle, int width, int height) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    c->perspective = 0;
    c->parallel_scale_x = c->parallel_scale_y = 1;
    parallel_size(c, width, height);
    if (width < 1 || height < 1) {
        log_line(texts::parallel_internal);
        width = fallback_parallel_width;
        height = fallback_parallel_height;
    }
    c->parallel_width = width;
    c->parallel_height = height;
    return rebuild_in_place(c) == 0 ? 1 : -1;
}

DROVIK_API int Drovik_camera_get_parallel_projection_width(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::parallel_width);
}

DROVIK_API int Drovik_camera_get_parallel_projection_height(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::parallel_height);
}

DROVIK_API int Drovik_camera_is_perspective_projection(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::perspective);
}

DROVIK_API const char* Drovik_camera_get_track_name(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::track, &track_part::name);
}

DROVIK_API DROVIK_HANDLE Drovik_camera_get_track_handle(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::track, &track_part::line);
}

DROVIK_API int Drovik_camera_set_track(DROVIK_HANDLE camera_handle, DROVIK_HANDLE track_handle) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    if (!track_handle) {
        c->track.line = nullptr;
        jstrcpy_with_allocating(&c->track.name, texts::no_track);
        return 0;
    }
    if (!api_check_handle(track_handle, row.check_name, DROVIK_KIND_TRACK)) return api_refusal{row};
    jtrack* t = static_cast<jtrack*>(track_handle);
    c->track.line = t;
    jstrcpy_with_allocating(&c->track.name, t->name);
    camera_reset_track_target(c);
    if (t->cyclic == 1) c->track.next_point = camera_get_next_track_point(c);
    return 0;
}

DROVIK_API int Drovik_camera_get_track_offset(DROVIK_HANDLE camera_handle, double offset[3]) {
    return api_with_record<camera>(row_of(__func__), camera_handle, DROVIK_KIND_CAMERA,
                                   [offset](camera* c) { return api_copy3(offset, c->track.offset); });
}

DROVIK_API int Drovik_camera_set_track_offset(DROVIK_HANDLE camera_handle, const double offset[3]) {
    return api_with_record<camera>(row_of(__func__), camera_handle, DROVIK_KIND_CAMERA,
                                   [offset](camera* c) { return api_copy3(c->track.offset, offset); });
}

DROVIK_API int Drovik_camera_get_next_point_on_track(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::track, &track_part::next_point);
}

DROVIK_API int Drovik_camera_set_next_point_on_track(DROVIK_HANDLE camera_handle, int index) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    return track_set_next_point(c->track, index);
}

DROVIK_API int Drovik_camera_set_name_to_chase(DROVIK_HANDLE camera_handle, const char* name) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    jstrcpy_with_allocating(&c->chase.name, name);
    return 1;
}

DROVIK_API const char* Drovik_camera_get_name_to_chase(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::chase, &chase_part::name);
}

DROVIK_API int Drovik_camera_set_object_to_chase(DROVIK_HANDLE camera_handle, DROVIK_HANDLE object_handle) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked_viewer_chase(row, camera_handle);
    if (!c || !api_check_handle(object_handle, row.check_name, DROVIK_KIND_OBJECT)) return api_refusal{row};
    dynamic_object* target = static_cast<dynamic_object*>(object_handle);
    chase_set_target(c->chase, nullptr, target, nullptr, target->name);
    return 1;
}

DROVIK_API int Drovik_camera_set_camera_to_chase(DROVIK_HANDLE camera_handle, DROVIK_HANDLE target_handle) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked_viewer_chase(row, camera_handle);
    if (!c || !api_check_handle(target_handle, row.check_name, DROVIK_KIND_CAMERA)) return api_refusal{row};
    camera* target = static_cast<camera*>(target_handle);
    chase_set_target(c->chase, target, nullptr, nullptr, target->name);
    return 1;
}

DROVIK_API int Drovik_camera_set_group_to_chase(DROVIK_HANDLE camera_handle, DROVIK_HANDLE group_handle) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked_viewer_chase(row, camera_handle);
    if (!c) return api_refusal{row};
    if (!group_handle) {
        api_report(row.check_name, texts::null_target);
        return api_refusal{row};
    }
    if (!api_check_handle(group_handle, row.check_name, DROVIK_KIND_GROUP)) return api_refusal{row};
    group* target = static_cast<group*>(group_handle);
    chase_set_target(c->chase, nullptr, nullptr, target, target->name);
    return 1;
}

DROVIK_API DROVIK_HANDLE Drovik_camera_get_chased_object(DROVIK_HANDLE camera_handle) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked_viewer_chase(row, camera_handle);
    if (!c) return api_refusal{row};
    return c->chase.chased_object;
}

DROVIK_API DROVIK_HANDLE Drovik_camera_get_chased_camera(DROVIK_HANDLE camera_handle) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked_viewer_chase(row, camera_handle);
    if (!c) return api_refusal{row};
    return c->chase.chased_camera;
}

DROVIK_API DROVIK_HANDLE Drovik_camera_get_chased_group(DROVIK_HANDLE camera_handle) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked_viewer_chase(row, camera_handle);
    if (!c) return api_refusal{row};
    return c->chase.chased_group;
}

DROVIK_API int Drovik_camera_get_chase_offset(DROVIK_HANDLE camera_handle, double offset[3]) {
    return api_with_record<camera>(row_of(__func__), camera_handle, DROVIK_KIND_CAMERA,
                                   [offset](camera* c) { return api_copy3(offset, c->chase.offset); });
}

DROVIK_API int Drovik_camera_set_chase_offset(DROVIK_HANDLE camera_handle, const double offset[3]) {
    return api_with_record<camera>(row_of(__func__), camera_handle, DROVIK_KIND_CAMERA,
                                   [offset](camera* c) { return api_copy3(c->chase.offset, offset); });
}

DROVIK_API double Drovik_camera_get_chase_softness(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::chase, &chase_part::softness);
}

DROVIK_API double Drovik_camera_set_chase_softness(DROVIK_HANDLE camera_handle, double softness) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    c->chase.softness = std::clamp(softness, 0.0, 1.0);
    return c->chase.softness;
}

DROVIK_API int Drovik_camera_get_chase_type(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::chase, &chase_part::type);
}

DROVIK_API int Drovik_camera_set_chase_distance(DROVIK_HANDLE camera_handle, double distance) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    c->chase.distance = distance;
    return 1;
}

DROVIK_API double Drovik_camera_get_chase_distance(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::chase, &chase_part::distance);
}

DROVIK_API int Drovik_camera_get_speed(DROVIK_HANDLE camera_handle, double speed[3]) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    api_copy3(speed, c->speed);
    return 1;
}

DROVIK_API int Drovik_camera_set_speed(DROVIK_HANDLE camera_handle, const double speed[3]) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (c && speed) camera_set_speed(c, api_vec(speed));
    return 0;
}

DROVIK_API double Drovik_camera_get_absolute_speed(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::absolute_speed);
}

DROVIK_API double Drovik_camera_set_absolute_speed(DROVIK_HANDLE camera_handle, double speed) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    camera_set_absolute_speed(c, speed);
    return c->absolute_speed;
}

DROVIK_API int Drovik_camera_get_force(DROVIK_HANDLE camera_handle, double force[3]) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    return api_copy3(force, c->force);
}

DROVIK_API int Drovik_camera_set_force(DROVIK_HANDLE camera_handle, const double force[3]) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    return api_copy3(c->force, force);
}

DROVIK_API double Drovik_camera_get_max_speed(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::max_speed);
}

DROVIK_API int Drovik_camera_set_max_speed(DROVIK_HANDLE camera_handle, double value) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    c->max_speed = value;
    return 1;
}

DROVIK_API double Drovik_camera_get_friction(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::friction);
}

DROVIK_API double Drovik_camera_set_friction(DROVIK_HANDLE camera_handle, double value) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    c->friction = std::min(value, 1.0);
    return c->friction;
}

DROVIK_API double Drovik_camera_get_elasticity(DROVIK_HANDLE camera_handle) {
    return read_field(__func__, camera_handle, &camera::elasticity);
}

DROVIK_API int Drovik_camera_set_elasticity(DROVIK_HANDLE camera_handle, double value) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    camera* c = checked(row, camera_handle);
    if (!c) return api_refusal{row};
    c->elasticity = value;
    return 1;
}
