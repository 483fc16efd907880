// Object family: listing, naming, creating, duplicating and deleting dynamic objects, placing and
// turning them, their father/son trees, tracks and chase targets, motion values, timed events and
// the polygons they own.
#include <cmath>
#include <string>
#include <vector>

#include "api/record_access.h"
#include "dynamic_from_file.h"
#include "foundation/engine_clock.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "world/bsp_node.h"
#include "world/bsp_tree.h"
#include "world/chase.h"
#include "world/collision.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/light.h"
#include "world/movers.h"
#include "world/object_module.h"
#include "world/polygon.h"
#include "world/track.h"
#include "world/world_order.h"

namespace {

// The name each export's checks print and its value when refused.
const api_export_row object_exports[] = {
    {"Drovik_object_get_next_object", "Drovik_object_get_next_object", 0},
    {"Drovik_object_get_name", "Drovik_object_get_name", 0},
    {"Drovik_object_get_type_name", "Drovik_object_get_type_name", 0},
    {"Drovik_object_set_name", "Drovik_object_set_name", -1},
    {"Drovik_object_set_type_name", "Drovik_object_set_type_name", -1},
    {"Drovik_object_get_object_type_number", "Drovik_object_get_object_type_number", -1},
    {"Drovik_object_get_control_type_number", "Drovik_object_get_control_type_number", -1},
    {"Drovik_object_set_object_type_number", "Drovik_object_set_object_type_number", 0},
    {"Drovik_object_set_control_type_number", "Drovik_object_set_control_type_number", 0},
    {"Drovik_object_get_group_handle", "Drovik_object_get_group_handle", 0},
    {"Drovik_object_create", "Drovik_object_create", 0},
    {"Drovik_object_create_from_file", "Drovik_object_create_from_file", 0},
    {"Drovik_object_duplicate", "Drovik_object_duplicate", 0},
    {"Drovik_object_delete", "Drovik_object_delete", -1},
    {"Drovik_object_disable", "Drovik_object_disable", -1},
    {"Drovik_object_enable", "Drovik_object_enable", -1},
    {"Drovik_object_is_enabled", "Drovik_object_is_enabled", 0},
    {"Drovik_object_set_location", "Drovik_object_set_location", -1},
    {"Drovik_object_get_location", "Drovik_object_get_location", -1},
    {"Drovik_object_move", "Drovik_object_move", -1},
    {"Drovik_object_set_direction", "Drovik_object_set_direction", -1},
    {"Drovik_object_get_direction", "Drovik_object_get_direction", -1},
    {"Drovik_object_set_axis_system", "Drovik_object_set_axis_system", -1},
    {"Drovik_object_get_axis_system", "Drovik_object_get_axis_system", -1},
    {"Drovik_object_get_x_axis", "Drovik_object_get_x_axis", -1},
    {"Drovik_object_get_y_axis", "Drovik_object_get_y_axis", -1},
    {"Drovik_object_get_z_axis", "Drovik_object_get_z_axis", -1},
    {"Drovik_object_rotate_x", "Drovik_object_rotate_x", -1},
    {"Drovik_object_rotate_y", "Drovik_object_rotate_y", -1},
    {"Drovik_object_rotate_z", "Drovik_object_rotate_z", -1},
    {"Drovik_object_rotate_x_radians", "Drovik_object_rotate_x_radians", -1},
    {"Drovik_object_rotate_y_radians", "Drovik_object_rotate_y_radians", -1},
    {"Drovik_object_rotate_z_radians", "Drovik_object_rotate_z_radians", -1},
    {"Drovik_object_get_cos_pitch", "Drovik_object_get_cos_pitch", -9999.0},
    {"Drovik_object_get_cos_bank", "Drovik_object_get_cos_bank", -9999.0},
    {"Drovik_object_get_cos_head", "Drovik_object_get_cos_head", -9999.0},
    {"Drovik_object_get_total_move_mat", "Drovik_object_get_total_move_mat", -1},
    {"Drovik_object_convert_point_to_world_space", "Drovik_object_convert_point_to_world_space", -1},
    {"Drovik_object_convert_point_to_object_space", "Drovik_object_convert_point_to_object_space", -1},
    {"Drovik_object_set_rotation_center", "Drovik_object_set_rotation_center", -1},
    {"Drovik_object_get_rotation_center", "Drovik_object_get_rotation_center", -1},
    {"Drovik_object_set_scale", "Drovik_object_set_scale", -1},
    {"Drovik_object_get_scale", "Drovik_object_get_scale", -1},
    {"Drovik_object_get_bounding_box", "Drovik_object_get_bounding_box", -1},
    {"Drovik_object_is_movement_possible", "Drovik_object_is_movement_possible", 0},
    {"Drovik_object_set_father_object", "Drovik_object_set_father_object", -1},
    {"Drovik_object_get_father_object", "Drovik_object_get_father_object", 0},
    {"Drovik_object_is_objectA_included_in_objectB", "Drovik_object_is_objectA_included_in_objectB", -1},
    {"Drovik_object_get_first_son", "Drovik_object_get_first_son", 0},
    {"Drovik_object_get_next_son", "Drovik_object_get_next_son", 0},
    {"Drovik_object_get_first_direct_son", "Drovik_object_get_first_direct_son", 0},
    {"Drovik_object_get_next_direct_son", "Drovik_object_get_next_direct_son", 0},
    {"Drovik_object_move_including_sons", "Drovik_object_move_including_sons", -1},
    {"Drovik_object_get_center_of_tree", "Drovik_object_get_center_of_tree", -1},
    {"Drovik_object_set_location_of_tree", "Drovik_object_set_location_of_tree", -1},
    {"Drovik_object_rotate_including_sons", "Drovik_object_rotate_including_sons", -1},
    {"Drovik_object_get_track_name", "Drovik_object_get_track_name", 0},
    {"Drovik_object_get_track_handle", "Drovik_object_get_track_handle", 0},
    {"Drovik_object_set_track", "Drovik_object_set_track", -1},
    {"Drovik_object_get_track_offset", "Drovik_object_get_track_offset", -1},
    {"Drovik_object_set_track_offset", "Drovik_object_set_track_offset", -1},
    {"Drovik_object_get_next_point_on_track", "Drovik_object_get_next_point_on_track", -1},
    {"Drovik_object_set_next_point_on_track", "Drovik_object_set_next_point_on_track", -1},
    {"Drovik_object_set_object_to_chase", "Drovik_object_set_object_to_chase", -1},
    {"Drovik_object_set_camera_to_chase", "Drovik_object_set_camera_to_chase", -1},
    {"Drovik_object_set_group_to_chase", "Drovik_object_set_group_to_chase", -1},
    {"Drovik_object_get_chased_object", "Drovik_object_get_chased_object", 0},
    {"Drovik_object_get_chased_camera", "Drovik_object_get_chased_camera", 0},
    {"Drovik_object_get_chased_group", "Drovik_object_get_chased_group", 0},
    {"Drovik_object_get_chase_offset", "Drovik_object_get_chase_offset", -1},
    {"Drovik_object_set_chase_offset", "Drovik_object_set_chase_offset", -1},
    {"Drovik_object_get_chase_softness", "Drovik_object_get_chase_softness", -1.0},
    {"Drovik_object_set_chase_softness", "Drovik_object_set_chase_softness", 0.0},
    {"Drovik_object_get_chase_type", "Drovik_object_get_chase_type", -1},
    {"Drovik_object_set_chase_type", "Drovik_object_set_chase_type", -1},
    {"Drovik_object_set_chase_distance", "Drovik_object_set_chase_distance", -1},
    {"Drovik_object_get_chase_distance", "Drovik_object_get_chase_distance", 0.0},
    {"Drovik_object_set_falling_from_track", "Drovik_object_set_falling_from_track", 0},
    {"Drovik_object_unset_falling_from_track", "Drovik_object_unset_falling_from_track", -1},
    {"Drovik_object_get_falling_from_track_params", "Drovik_object_get_falling_from_track_params", -1},
    {"Drovik_object_get_location_on_track_before_falling",
     "Drovik_object_get_location_on_track_before_falling", -1},
    {"Drovik_object_advance", "Drovik_object_advance", -1},
    {"Drovik_object_advance_automatically", "Drovik_object_advance_automatically", -1},
    {"Drovik_object_get_speed", "Drovik_object_get_speed", -1},
    {"Drovik_object_set_speed", "Drovik_object_set_speed", -1},
    {"Drovik_object_get_absolute_speed", "Drovik_object_get_absolute_speed", -1.0},
    {"Drovik_object_set_absolute_speed", "Drovik_object_set_absolute_speed", 0.0},
    {"Drovik_object_get_force", "Drovik_object_get_force", -1},
    {"Drovik_object_set_force", "Drovik_object_set_force", -1},
    {"Drovik_object_get_max_speed", "Drovik_object_get_max_speed", -1.0},
    {"Drovik_object_get_friction", "Drovik_object_get_friction", -1.0},
    {"Drovik_object_get_elasticity", "Drovik_object_get_elasticity", -1.0},
    {"Drovik_object_set_max_speed", "Drovik_object_set_max_speed", 0.0},
    {"Drovik_object_set_friction", "Drovik_object_set_friction", 0.0},
    {"Drovik_object_set_elasticity", "Drovik_object_set_elasticity", 0.0},
    {"Drovik_object_set_physics_rotation", "Drovik_object_set_physics_rotation", -1},
    {"Drovik_object_get_physics_rotation", "Drovik_object_get_physics_rotation", 0},
    {"Drovik_object_reset_distance_counter", "Drovik_object_reset_distance_counter", -1},
    {"Drovik_object_get_distance_counter", "Drovik_object_get_distance_counter", 0.0},
    {"Drovik_object_make_collisional", "Drovik_object_make_non_collisional", -1},
    {"Drovik_object_make_non_collisional", "Drovik_object_make_non_collisional", -1},
    {"Drovik_object_is_collisional", "Drovik_object_make_non_collisional", 0},
    {"Drovik_object_enable_collision_test_for_chase_physics",
     "Drovik_object_enable_collision_test_for_chase_physics", -1},
    {"Drovik_object_cancel_collision_test_for_chase_physics",
     "Drovik_object_cancel_collision_test_for_chase_physics", -1},
    {"Drovik_object_is_collision_test_for_chase_physics", "Drovik_object_enable_collision_test_for_chase_physics",
     0},
    {"Drovik_object_set_event", "Drovik_object_set_expiration_timer", 0},
    {"Drovik_object_set_event_on_animation_frame", "Drovik_object_delete_on_animation_frame", 0},
    {"Drovik_object_get_polygon", "Drovik_object_get_polygon", 0},
    {"Drovik_object_is_polygon_part_of", "Drovik_object_is_polygon_part_of", 0},
    {"Drovik_object_get_number_of_polygons", "Drovik_object_get_number_of_polygons", 0},
    {"Drovik_object_get_all_polygons", "Drovik_object_get_all_polygons", -1},
    {"Drovik_object_add_polygon", "Drovik_object_add_polygon", -1},
    {"Drovik_object_set_bitmap", "Drovik_object_set_bitmap", -1},
    {"Drovik_object_set_light", "Drovik_object_set_light", -1},
    {"Drovik_object_remove_light", "Drovik_object_remove_light", -1},
    {"Drovik_object_get_animation", "Drovik_object_get_animation", 0},
    {"Drovik_object_replace_animation", "Drovik_object_replace_animation", -1},
    {"Drovik_object_replace_animation_using_names", "Drovik_object_replace_animation_using_names", -1},
};

namespace texts {
inline constexpr const char* empty_name = "Drovik_object_set_name: can set an empty name\n";
inline constexpr const char* name_alloc = "Drovik_object_set_name: failed allocating new name\n";
inline constexpr const char* type_alloc = "Drovik_object_set_type_name: failed allocating new name\n";
inline constexpr const char* null_name = "got a NULL name\n";
inline constexpr const char* invalid_space = "Drovik_object_move: invalid space_flag\n";
inline constexpr const char* scale_zero = "Drovik_object_set_scale: cant scale by zero";
inline constexpr const char* scale_null = "Drovik_object_set_scale: got NULL instead of a scale vector\n";
inline constexpr const char* get_scale_null = "Drovik_object_get_scale: got NULL instead of a vector\n";
inline constexpr const char* null_group = "Drovik_object_set_group_to_chase: got a NULL handle\n";
inline constexpr const char* no_animation = "Drovik_object_delete_on_animation_frame: polygon has no animation";
inline constexpr const char* error_caption = "Error";
inline constexpr const char* duplicate_alloc = "Drovik_object_duplicate: failed to alloc mem\n";
inline constexpr const char* duplicate_module = "Drovik_object_duplicate: failed to duplicate module, recovering\n";
}  // namespace texts

constexpr double radians_per_degree = 0.017453292519943295;
constexpr int track_chase_bit = 0x80;
constexpr int per_second = 1, per_step = 2;
constexpr uint32_t ms_per_animation_unit = 10;

void log_line(const char* text) {
    if (api_report_errors()) report_error(1, text);
}

const api_export_row& row_of(const char* export_name) { return api_export_row_of(object_exports, export_name); }

dynamic_object* checked(const api_export_row& row, DROVIK_HANDLE handle) {
    return api_checked<dynamic_object>(row, handle, DROVIK_KIND_OBJECT);
}

template <typename Work>
auto with_object(const char* export_name, DROVIK_HANDLE handle, Work&& work) {
    return api_with_record<dynamic_object>(row_of(export_name), handle, DROVIK_KIND_OBJECT, work);
}

// A getter's whole work: the checked object's field, or the row's failure value.
template <typename T>
T read_field(const char* export_name, DROVIK_HANDLE handle, T dynamic_object::*field) {
    return with_object(export_name, handle, [field](dynamic_object* d) -> T { return d->*field; });
}

// The same for a field of the object's track or chase part.
template <typename Part, typename T>
T read_field(const char* export_name, DROVIK_HANDLE handle, Part dynamic_object::*part, T Part::*field) {
    return with_object(export_name, handle, [part, field](dynamic_object* d) -> T { return (d->*part).*field; });
}

bool valid_space(int space) { return space == space_world || space == space_object || space == space_camera; }

bool refuse_space(int space) {
    if (valid_space(space)) return false;
    warning_box(texts::invalid_space);
    return true;
}

// A track chase aims at the point after the nearest one once the object is put somewhere new.
void follow_new_place(dynamic_object* d) {
    if (!(d->chase.type & track_chase_bit)) return;
    dynamic_update_track_target(d);
    d->track.next_point = dynamic_get_next_track_point(d);
}

// The objects of the world's list that lie in the tree of `root` (the root included).
std::vector<dynamic_object*> tree_of(const dynamic_object* root) {
    std::vector<dynamic_object*> tree;
    for (dynamic_object* e = engine_state.dynamic_objects; e; e = e->next) {
        if (dynamic_is_included(e, root)) tree.push_back(e);
    }
    return tree;
}

vec3 to_object_space(const dynamic_object* d, const vec3& world, bool& ok) {
    mat4 inverse;
    ok = matrix_inverse(inverse, d->total_matrix) == 0;
    vec3 p = world;
    if (ok) mul_vec_mat3(p, world, inverse);
    return p;
}

vec3 to_world_space(const dynamic_object* d, const vec3& local) {
    vec3 p;
    mul_vec_mat3(p, local, d->total_matrix);
    return p;
}

bsp_node* tree_root(const dynamic_object* d) { return d->own_module ? d->own_module->root : nullptr; }

// Front subtree, back subtree, then the node's own list.
void collect_polygons(const bsp_node* node, std::vector<polygon*>& out) {
    if (!node) return;
    collect_polygons(node->front, out);
    collect_polygons(node->back, out);
    for (polygon* p = node->polygons; p; p = p->next) out.push_back(p);
}

// A sequence that is not one of the animation's own is a temporary one (a transition).
bool is_own_sequence(const anim3d* a, const seq3d* s) {
    for (const seq3d* own = a ? a->sequences : nullptr; own; own = own->next) {
        if (own == s) return true;
    }
    return false;
}

// The strings of a copy are its own; lists, placement and temporaries are not shared.
bool own_copy_fields(dynamic_object* copy) {
    bool ok = true;
    for (char** s : {&copy->name, &copy->type, &copy->module_name, &copy->father_name, &copy->track.name,
                     &copy->chase.name, &copy->chase.type_string}) {
        const char* shared = *s;
        *s = nullptr;
        if (shared && !jstrcpy_with_allocating(s, shared)) ok = false;
    }
    copy->next = nullptr;
    copy->first_son = nullptr;
    copy->node = nullptr;
    copy->next_in_node = nullptr;
    copy->disabled = 0;
    if (!is_own_sequence(copy->animation3d, copy->sequence)) copy->sequence = nullptr;
    if (!is_own_sequence(copy->animation3d, copy->next_sequence)) copy->next_sequence = nullptr;
    return ok;
}

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_object_get_first_object() {
    engine_guard guard;
    return engine_state.dynamic_objects;
}

DROVIK_API DROVIK_HANDLE Drovik_object_get_next_object(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::next);
}

DROVIK_API DROVIK_HANDLE Drovik_object_get_object_using_name(const char* name) {
    engine_guard guard;
    if (!name) {
        api_report(__func__, texts::null_name);
        return nullptr;
    }
    return dynamic_find_by_name(engine_state.dynamic_objects, name);
}

DROVIK_API const char* Drovik_object_get_name(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::name);
}

DROVIK_API const char* Drovik_object_get_type_name(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::type);
}

DROVIK_API int Drovik_object_set_name(DROVIK_HANDLE object, const char* name) {
    return with_object(__func__, object, [name](dynamic_object* d) {
        if (!name || !*name) {
            log_line(texts::empty_name);
            return -1;
        }
        if (!jstrcpy_with_allocating(&d->name, name)) {
            log_line(texts::name_alloc);
            return -1;
        }
        return 0;
    });
}

DROVIK_API int Drovik_object_set_type_name(DROVIK_HANDLE object, const char* type_name) {
    return with_object(__func__, object, [type_name](dynamic_object* d) {
        if (!jstrcpy_with_allocating(&d->type, type_name) && type_name) {
            log_line(texts::type_alloc);
            return -1;
        }
        return 0;
    });
}

DROVIK_API int Drovik_object_get_object_type_number(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::reserved);
}

DROVIK_API int Drovik_object_get_control_type_number(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::control);
}

DROVIK_API int Drovik_object_set_object_type_number(DROVIK_HANDLE object, int number) {
    return with_object(__func__, object, [number](dynamic_object* d) { return d->reserved = number; });
}

DROVIK_API int Drovik_object_set_control_type_number(DROVIK_HANDLE object, int number) {
    return with_object(__func__, object, [number](dynamic_object* d) { return d->control = number; });
}

DROVIK_API DROVIK_HANDLE Drovik_object_get_group_handle(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::made_group);
}

DROVIK_API DROVIK_HANDLE Drovik_object_create(const char* name) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    if (!api_viewer_mode_guard(row.check_name, engine_state.editor_mode)) return api_refusal{row};
    return dynamic_create(name);
}

DROVIK_API DROVIK_HANDLE Drovik_object_create_from_file(const char* file_name) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    if (!api_viewer_mode_guard(row.check_name, engine_state.editor_mode)) return api_refusal{row};
    if (!file_name) return api_refusal{row};
    if (!engine_world_loaded() && Drovik_engine_load_world(nullptr, "", "", 0) != 0) return api_refusal{row};
    return dynamic_create_from_file(file_name);
}

DROVIK_API DROVIK_HANDLE Drovik_object_duplicate(DROVIK_HANDLE object, int duplicate_module) {
    return with_object(__func__, object, [duplicate_module](dynamic_object* source) -> dynamic_object* {
        dynamic_object* copy = record_new<dynamic_object>(kind_dynamic_object);
        if (!copy) {
            log_line(texts::duplicate_alloc);
            return nullptr;
        }
        *copy = *source;
        if (!own_copy_fields(copy)) {
            log_line(texts::duplicate_alloc);
            copy->first_son = nullptr;
            dynamic_free(copy);
            return nullptr;
        }
        copy->delete_only_object = 1;
        if (duplicate_module) {
            module* m = module_duplicate(&engine_state.modules, source->own_module);
            if (m) {
                copy->own_module = m;
                copy->delete_only_object = 0;
                dynamic_set_polygons_owner(copy, m->root);
                jstrcpy_with_allocating(&copy->module_name, m->name);
            } else {
                log_line(texts::duplicate_module);
            }
        }
        dynamic_list_push(&engine_state.dynamic_objects, copy);
        return copy;
    });
}

DROVIK_API int Drovik_object_delete(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) {
        dynamic_delete(d);
        return 0;
    });
}

DROVIK_API int Drovik_object_disable(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) { return d->disabled = 1, 0; });
}

DROVIK_API int Drovik_object_enable(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) { return d->disabled = 0, 0; });
}

DROVIK_API int Drovik_object_is_enabled(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) { return d->disabled ? 0 : 1; });
}

DROVIK_API int Drovik_object_set_location(DROVIK_HANDLE object, double x, double y, double z) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        dynamic_set_location(d, {x, y, z});
        follow_new_place(d);
        return 0;
    });
}

DROVIK_API int Drovik_object_get_location(DROVIK_HANDLE object, double* x, double* y, double* z) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        const vec3 at = dynamic_get_location(d);
        if (x) *x = at.x;
        if (y) *y = at.y;
        if (z) *z = at.z;
        return 0;
    });
}

DROVIK_API int Drovik_object_move(DROVIK_HANDLE object, int space_flag, double dx, double dy, double dz) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (refuse_space(space_flag)) return -1;
        dynamic_move(d, {dx, dy, dz}, space_flag);
        follow_new_place(d);
        return 0;
    });
}

DROVIK_API int Drovik_object_set_direction(DROVIK_HANDLE object, double x, double y, double z) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        vec3 direction{x, y, z};
        if (vec_normalize(direction) != 0) return -1;
        dynamic_set_direction(d, direction);
        return 0;
    });
}

DROVIK_API int Drovik_object_get_direction(DROVIK_HANDLE object, double* x, double* y, double* z) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        const vec3 direction = dynamic_get_direction(d);
        if (x) *x = direction.x;
        if (y) *y = direction.y;
        if (z) *z = direction.z;
        return 0;
    });
}

DROVIK_API int Drovik_object_set_axis_system(DROVIK_HANDLE object, const double x_axis[3], const double y_axis[3],
                                             const double z_axis[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (!x_axis || !y_axis || !z_axis) return -1;
        vec3 x = api_vec(x_axis), y = api_vec(y_axis), z = api_vec(z_axis);
        if (repair_basis(x, y, z) != 0) return -1;
        dynamic_set_axis_system(d, x, y, z);
        return 0;
    });
}

DROVIK_API int Drovik_object_get_axis_system(DROVIK_HANDLE object, double x_axis[3], double y_axis[3],
                                             double z_axis[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        vec3 x, y, z;
        dynamic_get_axis_system(d, x, y, z);
        if (x_axis) api_put_vec(x_axis, x);
        if (y_axis) api_put_vec(y_axis, y);
        if (z_axis) api_put_vec(z_axis, z);
        return 0;
    });
}

namespace {

int get_axis(const char* export_name, DROVIK_HANDLE object, double out[3], vec3 (*axis)(const dynamic_object*)) {
    return with_object(export_name, object, [=](dynamic_object* d) {
        if (!out) return -1;
        api_put_vec(out, axis(d));
        return 0;
    });
}

using object_turn = void (*)(dynamic_object*, double, int);

int rotate(const char* export_name, DROVIK_HANDLE object, object_turn turn, double radians, int space) {
    return with_object(export_name, object, [=](dynamic_object* d) {
        turn(d, radians, space);
        return 0;
    });
}

double cosine(const char* export_name, DROVIK_HANDLE object, double (*read)(const dynamic_object*)) {
    return with_object(export_name, object, [=](dynamic_object* d) { return read(d); });
}

}  // namespace

DROVIK_API int Drovik_object_get_x_axis(DROVIK_HANDLE object, double axis[3]) {
    return get_axis(__func__, object, axis, dynamic_get_x_axis);
}

DROVIK_API int Drovik_object_get_y_axis(DROVIK_HANDLE object, double axis[3]) {
    return get_axis(__func__, object, axis, dynamic_get_y_axis);
}

DROVIK_API int Drovik_object_get_z_axis(DROVIK_HANDLE object, double axis[3]) {
    return get_axis(__func__, object, axis, dynamic_get_z_axis);
}

DROVIK_API int Drovik_object_rotate_x(DROVIK_HANDLE object, double degrees, int space_flag) {
    return rotate(__func__, object, dynamic_rotate_x, degrees * radians_per_degree, space_flag);
}

DROVIK_API int Drovik_object_rotate_y(DROVIK_HANDLE object, double degrees, int space_flag) {
    return rotate(__func__, object, dynamic_rotate_y, degrees * radians_per_degree, space_flag);
}

DROVIK_API int Drovik_object_rotate_z(DROVIK_HANDLE object, double degrees, int space_flag) {
    return rotate(__func__, object, dynamic_rotate_z, degrees * radians_per_degree, space_flag);
}

DROVIK_API int Drovik_object_rotate_x_radians(DROVIK_HANDLE object, double radians, int space_flag) {
    return rotate(__func__, object, dynamic_rotate_x, radians, space_flag);
}

DROVIK_API int Drovik_object_rotate_y_radians(DROVIK_HANDLE object, double radians, int space_flag) {
    return rotate(__func__, object, dynamic_rotate_y, radians, space_flag);
}

DROVIK_API int Drovik_object_rotate_z_radians(DROVIK_HANDLE object, double radians, int space_flag) {
    return rotate(__func__, object, dynamic_rotate_z, radians, space_flag);
}

DROVIK_API double Drovik_object_get_cos_pitch(DROVIK_HANDLE object) {
    return cosine(__func__, object, dynamic_get_cos_pitch);
}

DROVIK_API double Drovik_object_get_cos_bank(DROVIK_HANDLE object) {
    return cosine(__func__, object, dynamic_get_cos_bank);
}

DROVIK_API double Drovik_object_get_cos_head(DROVIK_HANDLE object) {
    return cosine(__func__, object, dynamic_get_cos_head);
}

DROVIK_API int Drovik_object_get_total_move_mat(DROVIK_HANDLE object, double matrix[4][4]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (!matrix) return -1;
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) matrix[r][c] = d->total_matrix.m[r][c];
        }
        return 0;
    });
}

DROVIK_API int Drovik_object_convert_point_to_world_space(DROVIK_HANDLE object, const double in[3],
                                                          double out[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (!in || !out) return -1;
        api_put_vec(out, to_world_space(d, api_vec(in)));
        return 0;
    });
}

DROVIK_API int Drovik_object_convert_point_to_object_space(DROVIK_HANDLE object, const double in[3],
                                                           double out[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (!in || !out) return -1;
        bool ok = false;
        const vec3 local = to_object_space(d, api_vec(in), ok);
        if (!ok) return -1;
        api_put_vec(out, local);
        return 0;
    });
}

DROVIK_API int Drovik_object_set_rotation_center(DROVIK_HANDLE object, const double center[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (!center) return -1;
        bool ok = false;
        const vec3 local = to_object_space(d, api_vec(center), ok);
        if (!ok) return -1;
        api_put_vec(d->rotation_centre, local);
        return 0;
    });
}

DROVIK_API int Drovik_object_get_rotation_center(DROVIK_HANDLE object, double center[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (!center) return -1;
        api_put_vec(center, to_world_space(d, api_vec(d->rotation_centre)));
        return 0;
    });
}

DROVIK_API int Drovik_object_set_scale(DROVIK_HANDLE object, const double scale[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (!scale) {
            log_line(texts::scale_null);
            return -1;
        }
        if (scale[0] == 0 || scale[1] == 0 || scale[2] == 0) {
            warning_box(texts::scale_zero);
            return -1;
        }
        api_copy3(d->scale, scale);
        mat4 s;
        matrix_scale(s, api_vec(scale));
        matrix_multiply(d->total_matrix, s, d->axis_system);
        return 0;
    });
}

DROVIK_API int Drovik_object_get_scale(DROVIK_HANDLE object, double scale[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (!scale) {
            log_line(texts::get_scale_null);
            return -1;
        }
        return api_copy3(scale, d->scale);
    });
}

DROVIK_API int Drovik_object_get_bounding_box(DROVIK_HANDLE object, double box[2][3]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (!box) return -1;
        double b[6];
        dynamic_get_bounding_box(d, b);
        for (int k = 0; k < 3; ++k) {
            box[0][k] = b[k];
            box[1][k] = b[3 + k];
        }
        return 0;
    });
}

namespace {

// Clears the outs, then writes what the test hit when the way is blocked.
void report_hit(int free_way, const collision_hit& hit, DROVIK_HANDLE* polygon_out, double point_out[3],
                DROVIK_HANDLE* object_out) {
    if (polygon_out) *polygon_out = free_way == 0 ? hit.polygon_hit : nullptr;
    if (object_out) *object_out = free_way == 0 ? hit.object : nullptr;
    if (point_out) api_put_vec(point_out, free_way == 0 ? hit.point : vec3{0, 0, 0});
}

}  // namespace

DROVIK_API int Drovik_object_is_movement_possible(DROVIK_HANDLE object, const double start[3], const double end[3],
                                                  DROVIK_HANDLE* polygon_hit, double point_hit[3],
                                                  DROVIK_HANDLE* object_hit) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        report_hit(1, {}, polygon_hit, point_hit, object_hit);
        if (!start || !end) return 0;
        collision_hit hit;
        const int free_way = is_movement_possible(d, api_vec(start), api_vec(end), hit);
        report_hit(free_way, hit, polygon_hit, point_hit, object_hit);
        return free_way;
    });
}

DROVIK_API int Drovik_object_set_father_object(DROVIK_HANDLE object, DROVIK_HANDLE father) {
    const api_export_row& row = row_of(__func__);
    return with_object(__func__, object, [&](dynamic_object* d) {
        if (father && !checked(row, father)) return -1;
        return dynamic_set_father(d, static_cast<dynamic_object*>(father));
    });
}

DROVIK_API DROVIK_HANDLE Drovik_object_get_father_object(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::father);
}

DROVIK_API int Drovik_object_is_objectA_included_in_objectB(DROVIK_HANDLE a, DROVIK_HANDLE b) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    if ((a && !checked(row, a)) || (b && !checked(row, b))) return api_refusal{row};
    return dynamic_is_included(static_cast<dynamic_object*>(a), static_cast<dynamic_object*>(b));
}

DROVIK_API DROVIK_HANDLE Drovik_object_get_first_son(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) { return dynamic_get_first_son(d); });
}

DROVIK_API DROVIK_HANDLE Drovik_object_get_next_son(DROVIK_HANDLE object, DROVIK_HANDLE son) {
    const api_export_row& row = row_of(__func__);
    return with_object(__func__, object, [&](dynamic_object* d) -> dynamic_object* {
        dynamic_object* current = checked(row, son);
        return current ? dynamic_get_next_son(d, current) : nullptr;
    });
}

DROVIK_API DROVIK_HANDLE Drovik_object_get_first_direct_son(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) { return dynamic_get_first_direct_son(d); });
}

DROVIK_API DROVIK_HANDLE Drovik_object_get_next_direct_son(DROVIK_HANDLE object, DROVIK_HANDLE son) {
    const api_export_row& row = row_of(__func__);
    return with_object(__func__, object, [&](dynamic_object* d) -> dynamic_object* {
        dynamic_object* current = checked(row, son);
        return current ? dynamic_get_next_direct_son(d, current) : nullptr;
    });
}

DROVIK_API int Drovik_object_move_including_sons(DROVIK_HANDLE object, int space_flag, double dx, double dy,
                                                 double dz) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (refuse_space(space_flag)) return -1;
        for (dynamic_object* e : tree_of(d)) {
            dynamic_move(e, {dx, dy, dz}, space_flag);
            follow_new_place(e);
        }
        return 0;
    });
}

DROVIK_API int Drovik_object_get_center_of_tree(DROVIK_HANDLE object, double center[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (!center) return -1;
        vec3 c;
        dynamic_get_center_of_tree(d, c);
        api_put_vec(center, c);
        return 0;
    });
}

DROVIK_API int Drovik_object_set_location_of_tree(DROVIK_HANDLE object, const double target[3], int reference) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (!target) return -1;
        vec3 from = dynamic_get_location(d);
        if (reference != 1) dynamic_get_center_of_tree(d, from);
        vec3 step = api_vec(target);
        vec_sub(step, from);
        for (dynamic_object* e : tree_of(d)) {
            dynamic_move(e, step, space_world);
            follow_new_place(e);
        }
        return 0;
    });
}

DROVIK_API int Drovik_object_rotate_including_sons(DROVIK_HANDLE object, double degrees, int axis, int space_flag,
                                                   int center_kind, const double point[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        vec3 centre;
        if (center_kind == 1) {
            centre = dynamic_get_location(d);
        } else if (center_kind == 3) {
            if (!point) return -1;
            centre = api_vec(point);
        } else {
            dynamic_get_center_of_tree(d, centre);
        }
        const object_turn turn = axis == 1 ? dynamic_rotate_x : axis == 2 ? dynamic_rotate_y : dynamic_rotate_z;
        for (dynamic_object* e : tree_of(d)) {
            bool ok = false;
            const vec3 local = to_object_space(e, centre, ok);
            if (!ok) continue;
            double saved[3];
            api_copy3(saved, e->rotation_centre);
            api_put_vec(e->rotation_centre, local);
            turn(e, degrees * radians_per_degree, space_flag);
            api_copy3(e->rotation_centre, saved);
        }
        return 0;
    });
}

DROVIK_API const char* Drovik_object_get_track_name(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::track, &track_part::name);
}

DROVIK_API DROVIK_HANDLE Drovik_object_get_track_handle(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::track, &track_part::line);
}

DROVIK_API int Drovik_object_set_track(DROVIK_HANDLE object, DROVIK_HANDLE track_handle) {
    const api_export_row& row = row_of(__func__);
    return with_object(__func__, object, [&](dynamic_object* d) {
        if (!track_handle) {
            d->track.line = nullptr;
            jstrcpy_with_allocating(&d->track.name, nullptr);
            return 0;
        }
        jtrack* t = api_checked<jtrack>(row, track_handle, DROVIK_KIND_TRACK);
        if (!t) return -1;
        d->track.line = t;
        jstrcpy_with_allocating(&d->track.name, t->name);
        dynamic_update_track_target(d);
        d->track.next_point = dynamic_get_next_track_point(d);
        return 0;
    });
}

DROVIK_API int Drovik_object_get_track_offset(DROVIK_HANDLE object, double offset[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) { return api_copy3(offset, d->track.offset); });
}

DROVIK_API int Drovik_object_set_track_offset(DROVIK_HANDLE object, const double offset[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) { return api_copy3(d->track.offset, offset); });
}

DROVIK_API int Drovik_object_get_next_point_on_track(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::track, &track_part::next_point);
}

DROVIK_API int Drovik_object_set_next_point_on_track(DROVIK_HANDLE object, int index) {
    return with_object(__func__, object, [=](dynamic_object* d) { return track_set_next_point(d->track, index); });
}

DROVIK_API int Drovik_object_set_object_to_chase(DROVIK_HANDLE object, DROVIK_HANDLE target) {
    const api_export_row& row = row_of(__func__);
    return with_object(__func__, object, [&](dynamic_object* d) {
        dynamic_object* t = checked(row, target);
        if (!t) return -1;
        chase_set_target(d->chase, nullptr, t, nullptr, t->name);
        return 0;
    });
}

DROVIK_API int Drovik_object_set_camera_to_chase(DROVIK_HANDLE object, DROVIK_HANDLE target) {
    const api_export_row& row = row_of(__func__);
    return with_object(__func__, object, [&](dynamic_object* d) {
        camera* t = api_checked<camera>(row, target, DROVIK_KIND_CAMERA);
        if (!t) return -1;
        chase_set_target(d->chase, t, nullptr, nullptr, t->name);
        return 0;
    });
}

DROVIK_API int Drovik_object_set_group_to_chase(DROVIK_HANDLE object, DROVIK_HANDLE target) {
    const api_export_row& row = row_of(__func__);
    return with_object(__func__, object, [&](dynamic_object* d) {
        if (!target) {
            warning_box(texts::null_group);
            return -1;
        }
        group* t = api_checked<group>(row, target, DROVIK_KIND_GROUP);
        if (!t) return -1;
        chase_set_target(d->chase, nullptr, nullptr, t, t->name);
        return 0;
    });
}

DROVIK_API DROVIK_HANDLE Drovik_object_get_chased_object(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::chase, &chase_part::chased_object);
}

DROVIK_API DROVIK_HANDLE Drovik_object_get_chased_camera(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::chase, &chase_part::chased_camera);
}

DROVIK_API DROVIK_HANDLE Drovik_object_get_chased_group(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::chase, &chase_part::chased_group);
}

DROVIK_API int Drovik_object_get_chase_offset(DROVIK_HANDLE object, double offset[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) { return api_copy3(offset, d->chase.offset); });
}

DROVIK_API int Drovik_object_set_chase_offset(DROVIK_HANDLE object, const double offset[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) { return api_copy3(d->chase.offset, offset); });
}

DROVIK_API double Drovik_object_get_chase_softness(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::chase, &chase_part::softness);
}

DROVIK_API double Drovik_object_set_chase_softness(DROVIK_HANDLE object, double softness) {
    return with_object(__func__, object,
                       [=](dynamic_object* d) { return d->chase.softness = std::clamp(softness, 0.0, 1.0); });
}

DROVIK_API int Drovik_object_get_chase_type(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::chase, &chase_part::type);
}

DROVIK_API int Drovik_object_set_chase_type(DROVIK_HANDLE object, int type) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (chase_set_type(d->chase, type, d->fall_flag, d->fall_height)) follow_new_place(d);
        return 0;
    });
}

DROVIK_API int Drovik_object_set_chase_distance(DROVIK_HANDLE object, double distance) {
    return with_object(__func__, object, [=](dynamic_object* d) { return d->chase.distance = distance, 0; });
}

DROVIK_API double Drovik_object_get_chase_distance(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::chase, &chase_part::distance);
}

DROVIK_API int Drovik_object_set_falling_from_track(DROVIK_HANDLE object, double fall_height, int track_mode) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        d->fall_flag = 1;
        d->fall_height = fall_height;
        return d->fall_from_track = track_mode;
    });
}

DROVIK_API int Drovik_object_unset_falling_from_track(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) { return d->fall_flag = 0; });
}

DROVIK_API int Drovik_object_get_falling_from_track_params(DROVIK_HANDLE object, int* falling, double* fall_height,
                                                          int* track_mode) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (falling) *falling = d->fall_flag;
        if (fall_height) *fall_height = d->fall_height;
        if (track_mode) *track_mode = d->fall_from_track;
        return 0;
    });
}

DROVIK_API int Drovik_object_get_location_on_track_before_falling(DROVIK_HANDLE object, double location[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) { return api_copy3(location, d->track.target); });
}

DROVIK_API int Drovik_object_advance(DROVIK_HANDLE object) {
    const api_export_row& row = row_of(__func__);
    return with_object(__func__, object, [&](dynamic_object* d) {
        if (!api_viewer_only_guard(row.check_name, engine_state.editor_mode)) return -1;
        engine_move_dynamic_objects(d);
        return 0;
    });
}

DROVIK_API int Drovik_object_advance_all() {
    engine_guard guard;
    if (!api_viewer_only_guard(__func__, engine_state.editor_mode)) return -1;
    for (dynamic_object* d : tree_of(nullptr)) {
        if (!d->disabled) engine_move_dynamic_objects(d);
    }
    return 0;
}

DROVIK_API int Drovik_object_advance_automatically(DROVIK_HANDLE object, int flag) {
    return with_object(__func__, object, [=](dynamic_object* d) { return d->no_automatic_advance = flag != 1, 0; });
}

DROVIK_API int Drovik_object_set_speed_units(int units) {
    engine_guard guard;
    engine_state.time_based_objects = units == per_second ? per_second : per_step;
    return units == per_second ? 1 : 0;
}

DROVIK_API int Drovik_object_get_speed_units() {
    engine_guard guard;
    return engine_state.time_based_objects == per_second ? per_second : per_step;
}

DROVIK_API int Drovik_object_get_speed(DROVIK_HANDLE object, double speed[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) { return api_copy3(speed, d->speed); });
}

DROVIK_API int Drovik_object_set_speed(DROVIK_HANDLE object, const double speed[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (!speed) return -1;
        dynamic_set_speed(d, api_vec(speed));
        return 0;
    });
}

DROVIK_API double Drovik_object_get_absolute_speed(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::absolute_speed);
}

DROVIK_API double Drovik_object_set_absolute_speed(DROVIK_HANDLE object, double speed) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        dynamic_set_absolute_speed(d, speed);
        return d->absolute_speed;
    });
}

DROVIK_API int Drovik_object_get_force(DROVIK_HANDLE object, double force[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) { return api_copy3(force, d->force); });
}

DROVIK_API int Drovik_object_set_force(DROVIK_HANDLE object, const double force[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (!force) return -1;
        dynamic_set_force(d, api_vec(force));
        return 0;
    });
}

DROVIK_API double Drovik_object_get_max_speed(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::max_speed);
}

DROVIK_API double Drovik_object_get_friction(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::friction);
}

DROVIK_API double Drovik_object_get_elasticity(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::elasticity);
}

DROVIK_API double Drovik_object_set_max_speed(DROVIK_HANDLE object, double value) {
    return with_object(__func__, object, [=](dynamic_object* d) { return d->max_speed = value; });
}

DROVIK_API double Drovik_object_set_friction(DROVIK_HANDLE object, double value) {
    return with_object(__func__, object, [=](dynamic_object* d) { return d->friction = std::min(value, 1.0); });
}

DROVIK_API double Drovik_object_set_elasticity(DROVIK_HANDLE object, double value) {
    return with_object(__func__, object, [=](dynamic_object* d) { return d->elasticity = value; });
}

DROVIK_API int Drovik_object_set_physics_rotation(DROVIK_HANDLE object, int rotation_space, double x_degrees,
                                                  double y_degrees, double z_degrees) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        d->rotation_space = rotation_space;
        d->rotation[0] = x_degrees * radians_per_degree;
        d->rotation[1] = y_degrees * radians_per_degree;
        d->rotation[2] = z_degrees * radians_per_degree;
        return 0;
    });
}

DROVIK_API int Drovik_object_get_physics_rotation(DROVIK_HANDLE object, double degrees[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (degrees) {
            for (int k = 0; k < 3; ++k) degrees[k] = d->rotation[k] / radians_per_degree;
        }
        return d->rotation_space;
    });
}

DROVIK_API int Drovik_object_reset_distance_counter(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) { return d->distance_counter = 0, 0; });
}

DROVIK_API double Drovik_object_get_distance_counter(DROVIK_HANDLE object) {
    return read_field(__func__, object, &dynamic_object::distance_counter);
}

DROVIK_API int Drovik_object_make_collisional(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) { return d->collisional = 1, 0; });
}

DROVIK_API int Drovik_object_make_non_collisional(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) { return d->collisional = 0, 0; });
}

DROVIK_API int Drovik_object_is_collisional(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) { return d->collisional ? 1 : 0; });
}

DROVIK_API int Drovik_object_enable_collision_test_for_chase_physics(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) { return d->chase_physics_collision = 1, 0; });
}

DROVIK_API int Drovik_object_cancel_collision_test_for_chase_physics(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) { return d->chase_physics_collision = 0, 0; });
}

DROVIK_API int Drovik_object_is_collision_test_for_chase_physics(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) { return d->chase_physics_collision ? 1 : 0; });
}

namespace {

int set_event(dynamic_object* d, uint32_t milliseconds, int code) {
    if (milliseconds == 0) {
        d->event_time = 0;
        d->event = 0;
        return 0;
    }
    const uint32_t deadline = engine_clock_now() + milliseconds;
    d->event_time = deadline == 0 ? 1 : deadline;
    d->event = code;
    return d->event;
}

// Hundredths of a second from the shown frame through frame n, wrapping past the last frame.
uint32_t animation_time_to(const animation* a, int shown, int n) {
    const int last = a->frame_count - 1;
    uint32_t sum = 0;
    int frame = std::clamp(shown, 0, last);
    for (int steps = 0; steps <= last; ++steps) {
        sum += a->durations ? a->durations[frame] : 0;
        if (frame == n) break;
        frame = frame == last ? 0 : frame + 1;
    }
    return sum;
}

}  // namespace

DROVIK_API int Drovik_object_set_event(DROVIK_HANDLE object, unsigned int milliseconds, int event_code) {
    return with_object(__func__, object, [=](dynamic_object* d) { return set_event(d, milliseconds, event_code); });
}

DROVIK_API int Drovik_object_set_event_on_animation_frame(DROVIK_HANDLE object, DROVIK_HANDLE polygon_handle,
                                                          int frame, int event_code) {
    const api_export_row& row = row_of(__func__);
    return with_object(__func__, object, [&](dynamic_object* d) {
        polygon* p = api_checked<polygon>(row, polygon_handle, DROVIK_KIND_POLYGON);
        if (!p) return 0;
        const animation* a = p->anim;
        if (!a || a->frame_count < 1) {
            warning_box_captioned(texts::no_animation, texts::error_caption);
            log_line((std::string(texts::no_animation) + "\n").c_str());
            return -1;
        }
        const int last = a->frame_count - 1;
        const int n = frame < 0 || frame > last ? last : frame;
        const uint32_t hundredths = animation_time_to(a, p->animation_frame, n);
        p->animation_last_tick = engine_clock_now();
        return set_event(d, hundredths * ms_per_animation_unit, event_code);
    });
}

DROVIK_API DROVIK_HANDLE Drovik_object_get_polygon(DROVIK_HANDLE object, const char* name) {
    return with_object(__func__, object, [=](dynamic_object* d) { return bsp_tree_find_polygon(tree_root(d), name); });
}

DROVIK_API int Drovik_object_is_polygon_part_of(DROVIK_HANDLE object, DROVIK_HANDLE polygon_handle) {
    const api_export_row& row = row_of(__func__);
    return with_object(__func__, object, [&](dynamic_object* d) {
        const polygon* p = api_checked<polygon>(row, polygon_handle, DROVIK_KIND_POLYGON);
        return p && bsp_tree_contains_polygon(tree_root(d), p) ? 1 : 0;
    });
}

DROVIK_API int Drovik_object_get_number_of_polygons(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) { return bsp_tree_count_polygons(tree_root(d)); });
}

DROVIK_API int Drovik_object_get_all_polygons(DROVIK_HANDLE object, DROVIK_HANDLE* polygons) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (!polygons) return -1;
        std::vector<polygon*> all;
        collect_polygons(tree_root(d), all);
        for (size_t i = 0; i < all.size(); ++i) polygons[i] = all[i];
        return static_cast<int>(all.size());
    });
}

DROVIK_API int Drovik_object_add_polygon(DROVIK_HANDLE object, DROVIK_HANDLE polygon_handle) {
    const api_export_row& row = row_of(__func__);
    return with_object(__func__, object, [&](dynamic_object* d) {
        polygon* p = api_checked<polygon>(row, polygon_handle, DROVIK_KIND_POLYGON);
        bsp_node* root = tree_root(d);
        if (!p || !root || !polygon_is_valid(p) || bsp_tree_contains_polygon(root, p)) return -1;
        p->next = root->polygons;
        root->polygons = p;
        p->owner = d;
        bsp_compute_bounding_boxes(root);
        thread_polygons_in_world_order();
        return 0;
    });
}

DROVIK_API int Drovik_object_set_bitmap(DROVIK_HANDLE object, DROVIK_HANDLE bitmap) {
    const api_export_row& row = row_of(__func__);
    return with_object(__func__, object, [&](dynamic_object* d) {
        bitmap_texture* b = api_checked<bitmap_texture>(row, bitmap, DROVIK_KIND_BITMAP);
        if (!b) return -1;
        bsp_tree_set_bitmap(tree_root(d), b);
        return 0;
    });
}

DROVIK_API int Drovik_object_set_light(DROVIK_HANDLE object, const unsigned char rgb[3]) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        if (!rgb) return -1;
        bsp_tree_set_points_color(tree_root(d), rgb[0], rgb[1], rgb[2]);
        return 0;
    });
}

DROVIK_API int Drovik_object_remove_light(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) {
        bsp_tree_restore_points_color(tree_root(d));
        return 0;
    });
}

DROVIK_API DROVIK_HANDLE Drovik_object_get_animation(DROVIK_HANDLE object) {
    return with_object(__func__, object, [](dynamic_object* d) { return dynamic_get_animation(d); });
}

DROVIK_API int Drovik_object_replace_animation(DROVIK_HANDLE object, DROVIK_HANDLE old_animation,
                                               DROVIK_HANDLE new_animation) {
    const api_export_row& row = row_of(__func__);
    return with_object(__func__, object, [&](dynamic_object* d) {
        animation* old_one = api_checked<animation>(row, old_animation, DROVIK_KIND_ANIMATION);
        animation* new_one = old_one ? api_checked<animation>(row, new_animation, DROVIK_KIND_ANIMATION) : nullptr;
        return new_one ? dynamic_replace_animation(d, old_one, new_one) : -1;
    });
}

DROVIK_API int Drovik_object_replace_animation_using_names(DROVIK_HANDLE object, const char* old_name,
                                                           const char* new_name) {
    return with_object(__func__, object, [=](dynamic_object* d) {
        return dynamic_replace_animation_using_names(d, old_name, new_name);
    });
}
