// Light family: creating, finding and deleting lights, their placement, colour and terms, the
// entity each one lights and applying them.
#include <string>

#include "api/family_exports.h"
#include "foundation/dictionary.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "world/engine_state.h"
#include "world/entity_list.h"
#include "world/light.h"

namespace {

// The name each export's check prints and its value when refused.
const api_export_row light_exports[] = {
    {"Drovik_light_create", "Drovik_light_create", 0},
    {"Drovik_light_delete", "Drovik_light_delete", 0},
    {"Drovik_light_get_next_light", "Drovik_light_get_next_light", 0},
    {"Drovik_light_set_location", "Drovik_light_set_location", 0},
    {"Drovik_light_get_location", "Drovik_light_get_location", 0},
    {"Drovik_light_set_direction", "Drovik_light_set_direction", 0},
    {"Drovik_light_get_direction", "Drovik_light_get_direction", 0},
    {"Drovik_light_point_at", "Drovik_light_point_at", 0},
    {"Drovik_light_set_color", "Drovik_light_set_color", 0},
    {"Drovik_light_get_color", "Drovik_light_get_color", 0},
    {"Drovik_light_set_type_of_light", "Drovik_light_set_type_of_light", 0},
    {"Drovik_light_get_type_of_light", "Drovik_light_get_type_of_light", 0},
    {"Drovik_light_set_ray_tracing", "Drovik_light_set_ray_tracing", 0},
    {"Drovik_light_is_ray_tracing", "Drovik_light_is_ray_tracing", 0},
    {"Drovik_light_set_distance_reach", "Drovik_light_set_distance_reach", 0},
    {"Drovik_light_get_distance_reach", "Drovik_light_get_distance_reach", 0},
    {"Drovik_light_set_ambient", "Drovik_light_set_ambient", 0},
    {"Drovik_light_set_diffuse", "Drovik_light_set_diffuse", 0},
    {"Drovik_light_set_specular", "Drovik_light_set_specular", 0},
    {"Drovik_light_get_ambient", "Drovik_light_get_ambient", 0},
    {"Drovik_light_get_diffuse", "Drovik_light_get_diffuse", 0},
    {"Drovik_light_get_specular", "Drovik_light_get_specular", 0},
    {"Drovik_light_set_specular_shining", "Drovik_light_set_type_of_light", 0},
    {"Drovik_light_get_specular_shining", "Drovik_light_set_type_of_light", 0},
    {"Drovik_light_set_entity_to_light", "Drovik_light_set_entity_to_light", -1},
    {"Drovik_light_get_entity_to_light", "Drovik_light_get_entity_to_light", 0},
    {"Drovik_light_activate", "Drovik_light_activate", 0},
    {"Drovik_light_activate_before_each_render", "Drovik_light_activate_before_each_render", 0},
    {"Drovik_light_is_activated_before_render", "Drovik_light_is_activated_before_render", 0},
    {"Drovik_light_remove_light", "Drovik_light_remove_light", 0},
    {"Drovik_light_get_name", "Drovik_light_get_name", 0},
    {"Drovik_light_set_name", "Drovik_light_set_name", 0},
};

namespace texts {
inline constexpr const char* bad_entity_log =
    "light_set_entity_to_light: entity_to_light must be a group or an object or a polygon\n";
inline constexpr const char* bad_entity_box =
    "Drovik_light_set_entity_to_light: entity_to_light must be a group or an object or a polygon\n";
inline constexpr const char* bad_operation =
    ": Light operation can be only one of the three:\nLight_ADD\nLIGHT_SUBTRACT\nLIGHT_SET\n";
}  // namespace texts

template <typename F>
auto with_light(const char* export_name, DROVIK_HANDLE handle, F&& f) {
    return api_with_record<light>(light_exports, export_name, handle, DROVIK_KIND_LIGHT, f);
}

bool is_operation(int operation) { return operation >= light_mode_reset && operation <= light_mode_subtract; }

bool operation_refused(const char* export_name, int operation) {
    if (is_operation(operation)) return false;
    warning_box((std::string(export_name) + texts::bad_operation).c_str());
    return true;
}

// The kind of a lightable entity (NULL: the whole world, a group), 0 for anything else.
int32_t lightable_kind(const void* entity) {
    if (!entity) return kind_group;
    int32_t kind = 0;
    if (!registry_lookup(entity, &kind)) return 0;
    return kind == kind_group || kind == kind_dynamic_object || kind == kind_polygon ? kind : 0;
}

const char* entity_name(const void* entity, int32_t kind) {
    if (!entity) return nullptr;
    switch (kind) {
        case kind_group: return static_cast<const group*>(entity)->name;
        case kind_dynamic_object: return static_cast<const dynamic_object*>(entity)->name;
        default: return static_cast<const polygon*>(entity)->name;
    }
}

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_light_create(const char* name, const double location[3]) {
    engine_guard guard;
    if (!location) return nullptr;
    light* l = light_create(&engine_state.lights, name);
    if (!l) return nullptr;
    light_set_location(l, api_vec(location));
    l->save = 1;
    return l;
}

DROVIK_API void Drovik_light_delete(DROVIK_HANDLE light_handle) {
    with_light(__func__, light_handle, [](light* l) {
        if (list_remove(&engine_state.lights, l) == 0) light_delete(l);
    });
}

DROVIK_API void Drovik_light_delete_all() {
    engine_guard guard;
    light_delete_all(&engine_state.lights);
}

DROVIK_API DROVIK_HANDLE Drovik_light_get_using_name(const char* name) {
    engine_guard guard;
    return light_find(engine_state.lights, name);
}

DROVIK_API DROVIK_HANDLE Drovik_light_get_first_light() {
    engine_guard guard;
    return engine_state.lights;
}

DROVIK_API DROVIK_HANDLE Drovik_light_get_next_light(DROVIK_HANDLE light_handle) {
    return with_light(__func__, light_handle, [](light* l) -> DROVIK_HANDLE { return l->next; });
}

DROVIK_API int Drovik_light_set_location(DROVIK_HANDLE light_handle, const double location[3]) {
    return with_light(__func__, light_handle, [location](light* l) {
        if (!location) return 0;
        light_set_location(l, api_vec(location));
        return 1;
    });
}

DROVIK_API int Drovik_light_get_location(DROVIK_HANDLE light_handle, double location[3]) {
    return with_light(__func__, light_handle, [location](light* l) {
        if (!location) return 0;
        api_put_vec(location, l->location);
        return 1;
    });
}

DROVIK_API int Drovik_light_set_direction(DROVIK_HANDLE light_handle, const double direction[3]) {
    return with_light(__func__, light_handle, [direction](light* l) {
        if (!direction) return 0;
        light_set_direction(l, api_vec(direction));
        return 1;
    });
}

DROVIK_API int Drovik_light_get_direction(DROVIK_HANDLE light_handle, double direction[3]) {
    return with_light(__func__, light_handle, [direction](light* l) {
        if (!direction) return 0;
        api_put_vec(direction, l->direction);
        return 1;
    });
}

DROVIK_API int Drovik_light_point_at(DROVIK_HANDLE light_handle, const double target[3]) {
    return with_light(__func__, light_handle, [target](light* l) {
        if (!target) return 0;
        vec3 direction = api_vec(target);
        vec_sub(direction, api_vec(l->location));
        light_set_direction(l, direction);
        return 1;
    });
}

DROVIK_API int Drovik_light_set_color(DROVIK_HANDLE light_handle, const unsigned char rgb[3]) {
    return with_light(__func__, light_handle, [rgb](light* l) {
        if (!rgb) return 0;
        light_set_color(l, rgb[0], rgb[1], rgb[2]);
        return 1;
    });
}

DROVIK_API unsigned char* Drovik_light_get_color(DROVIK_HANDLE light_handle, unsigned char rgb[3]) {
    return with_light(__func__, light_handle, [rgb](light* l) -> unsigned char* {
        if (!rgb) return nullptr;
        rgb[0] = l->red;
        rgb[1] = l->green;
        rgb[2] = l->blue;
        return rgb;
    });
}

DROVIK_API DROVIK_HANDLE Drovik_light_set_type_of_light(DROVIK_HANDLE light_handle, int type) {
    return with_light(__func__, light_handle, [type](light* l) -> DROVIK_HANDLE {
        l->type = type;
        return l;
    });
}

DROVIK_API int Drovik_light_get_type_of_light(DROVIK_HANDLE light_handle) {
    return with_light(__func__, light_handle, [](light* l) { return l->type; });
}

DROVIK_API int Drovik_light_set_ray_tracing(DROVIK_HANDLE light_handle, int yes_no) {
    return with_light(__func__, light_handle, [yes_no](light* l) {
        l->ray_tracing = yes_no;
        return yes_no;
    });
}

DROVIK_API int Drovik_light_is_ray_tracing(DROVIK_HANDLE light_handle) {
    return with_light(__func__, light_handle, [](light* l) { return l->ray_tracing; });
}

DROVIK_API double Drovik_light_set_distance_reach(DROVIK_HANDLE light_handle, double reach) {
    return with_light(__func__, light_handle, [reach](light* l) { return l->distance_reach = reach; });
}

DROVIK_API double Drovik_light_get_distance_reach(DROVIK_HANDLE light_handle) {
    return with_light(__func__, light_handle, [](light* l) { return l->distance_reach; });
}

namespace {

DROVIK_HANDLE set_factor(const char* export_name, DROVIK_HANDLE light_handle, double light::*factor, double value) {
    return with_light(export_name, light_handle, [factor, value](light* l) -> DROVIK_HANDLE {
        l->*factor = value;
        return l;
    });
}

double get_factor(const char* export_name, DROVIK_HANDLE light_handle, double light::*factor) {
    return with_light(export_name, light_handle, [factor](light* l) { return l->*factor; });
}

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_light_set_ambient(DROVIK_HANDLE light_handle, double value) {
    return set_factor(__func__, light_handle, &light::ambient, value);
}

DROVIK_API DROVIK_HANDLE Drovik_light_set_diffuse(DROVIK_HANDLE light_handle, double value) {
    return set_factor(__func__, light_handle, &light::diffuse, value);
}

DROVIK_API DROVIK_HANDLE Drovik_light_set_specular(DROVIK_HANDLE light_handle, double value) {
    return set_factor(__func__, light_handle, &light::specular, value);
}

DROVIK_API double Drovik_light_get_ambient(DROVIK_HANDLE light_handle) {
    return get_factor(__func__, light_handle, &light::ambient);
}

DROVIK_API double Drovik_light_get_diffuse(DROVIK_HANDLE light_handle) {
    return get_factor(__func__, light_handle, &light::diffuse);
}

DROVIK_API double Drovik_light_get_specular(DROVIK_HANDLE light_handle) {
    return get_factor(__func__, light_handle, &light::specular);
}

DROVIK_API double Drovik_light_set_specular_shining(DROVIK_HANDLE light_handle, double value) {
    return with_light(__func__, light_handle, [value](light* l) { return l->specular_shining = value; });
}

DROVIK_API double Drovik_light_get_specular_shining(DROVIK_HANDLE light_handle) {
    return get_factor(__func__, light_handle, &light::specular_shining);
}

DROVIK_API int Drovik_light_set_entity_to_light(DROVIK_HANDLE light_handle, DROVIK_HANDLE entity) {
    return with_light(__func__, light_handle, [entity](light* l) {
        const int32_t kind = lightable_kind(entity);
        if (!kind) {
            api_log(texts::bad_entity_log);
            warning_box(texts::bad_entity_box);
            return -1;
        }
        l->entity = entity;
        l->entity_kind = kind;
        l->entity_deleted = 0;
        const char* name = entity_name(entity, kind);
        if (name) {
            jstrcpy_with_allocating(&l->entity_name, name);
        } else {
            l->entity_name = static_cast<char*>(engine_free(l->entity_name));
        }
        return 0;
    });
}

DROVIK_API DROVIK_HANDLE Drovik_light_get_entity_to_light(DROVIK_HANDLE light_handle) {
    return with_light(__func__, light_handle, [](light* l) { return l->entity; });
}

DROVIK_API void Drovik_light_activate(DROVIK_HANDLE light_handle, int operation) {
    with_light(__func__, light_handle, [operation](light* l) {
        if (!operation_refused("Drovik_light_activate", operation)) light_activate(l, operation);
    });
}

DROVIK_API void Drovik_light_activate_before_each_render(DROVIK_HANDLE light_handle, int yes_no, int operation) {
    with_light(__func__, light_handle, [yes_no, operation](light* l) {
        if (yes_no == 1 && operation_refused("Drovik_light_activate_before_each_render", operation)) return;
        light_set_activate_before_each_render(l, yes_no, operation);
    });
}

DROVIK_API int Drovik_light_is_activated_before_render(DROVIK_HANDLE light_handle, int* operation) {
    return with_light(__func__, light_handle, [operation](light* l) {
        if (!operation) return 0;
        *operation = l->mode;
        return static_cast<int>(l->activate_before_render);
    });
}

DROVIK_API void Drovik_light_remove_light(DROVIK_HANDLE light_handle) {
    with_light(__func__, light_handle, [](light* l) { light_remove_light(l); });
}

DROVIK_API const char* Drovik_light_get_name(DROVIK_HANDLE light_handle) {
    return with_light(__func__, light_handle, [](light* l) -> const char* { return l->name; });
}

DROVIK_API void Drovik_light_set_name(DROVIK_HANDLE light_handle, const char* name) {
    with_light(__func__, light_handle, [name](light* l) {
        if (!name) return;
        std::string unique = name;
        const auto taken = [l](const std::string& n) {
            for (const light* other = engine_state.lights; other; other = other->next) {
                if (other != l && other->name && jstricmp(other->name, n.c_str()) == 0) return true;
            }
            return false;
        };
        if (find_unique_name(unique, taken, false, "light_find_unique_name") == 0) {
            jstrcpy_with_allocating(&l->name, unique.c_str());
        }
    });
}
