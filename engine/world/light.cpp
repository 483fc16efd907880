// Lights: colours written into the points of a group, a dynamic object or a polygon (3D card only).
#include "world/light.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "foundation/dictionary.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "platform/numbers.h"
#include "world/bsp_tree.h"
#include "world/collision.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/entity_list.h"
#include "world/group.h"
#include "world/polygon.h"
#include "world/world_order.h"

namespace {

void report(const std::string& text) {
    if (light_report_errors()) report_error(1, text.c_str());
}

// A ray to a point stops this short of it, so that the polygons through the point do not hide it.
constexpr double ray_margin = 0.01;

// One activation: the light's location and directions in the space of the polygons lit.
struct lighting {
    const light* l;
    vec3 location;
    vec3 direction;
    vec3 viewer;
    const dynamic_object* space_owner;  // the object whose space the polygons are in, or NULL
};

vec3 to_vec(const double* v) { return {v[0], v[1], v[2]}; }

int clamp_byte(double v) { return v < 0 ? 0 : v > 255 ? 255 : static_cast<int>(v); }

std::vector<polygon*> group_polygons(const group* g) {
    std::vector<polygon*> out;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (group_is_included(p->owner_group, g)) out.push_back(p);
    }
    return out;
}

std::vector<polygon*> tree_polygons(bsp_node* root) {
    std::vector<polygon*> out;
    bsp_tree_get_all_polygons(root, out);
    return out;
}

bool ray_is_blocked(const lighting& c, const vec3& at) {
    vec3 from = c.location, to = at;
    if (c.space_owner) {
        mul_vec_mat3(from, c.location, c.space_owner->total_matrix);
        mul_vec_mat3(to, at, c.space_owner->total_matrix);
    }
    vec3 back = from;
    vec_sub(back, to);
    const double length = vec_length(back);
    if (length <= ray_margin) return false;
    vec_scale(back, ray_margin / length, back);
    vec_add(to, back);
    collision_hit hit;
    return is_movement_possible(nullptr, from, to, hit) == 0;
}

double fall_off(const light* l, const vec3& at, const vec3& location) {
    const double reach = l->distance_reach;
    if (reach == 0) return 0;
    if (reach < 0) return 1;
    if (l->type & light_linear) {
        const double t = vec_distance(at, location);
        return t < 1e-10 ? 1 : t >= reach ? 0 : 1 - t / reach;
    }
    if (l->type & light_quadratic) {
        const double q = vec_square_distance(at, location);
        return q < 1e-10 ? 1 : q >= reach * reach ? 0 : 1 - q / (reach * reach);
    }
    return 1;
}

void add_ambient(point* pt, const polygon* p, const light* l) {
    const int c = static_cast<int>(p->ambient * l->ambient);
    if (p->texture) {
        pt->red = static_cast<uint8_t>(clamp_byte(pt->red + c));
        pt->green = static_cast<uint8_t>(clamp_byte(pt->green + c));
        pt->blue = static_cast<uint8_t>(clamp_byte(pt->blue + c));
        return;
    }
    pt->red = static_cast<uint8_t>(clamp_byte(pt->red + ((p->red * c) >> 8)));
    pt->green = static_cast<uint8_t>(clamp_byte(pt->green + ((p->green * c) >> 8)));
    pt->blue = static_cast<uint8_t>(clamp_byte(pt->blue + ((p->blue * c) >> 8)));
}

void add_diffuse(point* pt, const polygon* p, const light* l, double h) {
    if (p->texture) {
        pt->red = static_cast<uint8_t>(clamp_byte(pt->red + std::trunc(h * l->red)));
        pt->green = static_cast<uint8_t>(clamp_byte(pt->green + std::trunc(h * l->green)));
        pt->blue = static_cast<uint8_t>(clamp_byte(pt->blue + std::trunc(h * l->blue)));
        return;
    }
    pt->red = static_cast<uint8_t>(clamp_byte(pt->red + std::trunc(h * p->red * l->red / 256)));
    pt->green = static_cast<uint8_t>(clamp_byte(pt->green + std::trunc(h * p->green * l->green / 256)));
    pt->blue = static_cast<uint8_t>(clamp_byte(pt->blue + std::trunc(h * p->blue * l->blue / 256)));
}

void add_specular(point* pt, const polygon* p, const lighting& c, const vec3& ray, const vec3& normal, double e) {
    const light* l = c.l;
    vec3 reflected;
    if (plane_get_reflected_direction(ray, {normal.x, normal.y, normal.z, 0}, reflected) != 0) return;
    double s = vec_dot(reflected, c.viewer);
    if (s >= 0) return;
    s = -s;
    const int m = static_cast<int>(p->specular_shining * l->specular_shining);
    const double power = std::pow(s, m + 1);
    const double k = e * p->specular * l->specular * power / 256;
    pt->red = static_cast<uint8_t>(clamp_byte(std::trunc(k * l->red + pt->red)));
    pt->green = static_cast<uint8_t>(clamp_byte(std::trunc(k * l->green + pt->green)));
    pt->blue = static_cast<uint8_t>(clamp_byte(std::trunc(k * l->blue + pt->blue)));
}

void light_calculate_rgb_for_point(point* pt, const polygon* p, const lighting& c) {
    const light* l = c.l;
    if (l->type & light_ambient) add_ambient(pt, p, l);
    if (!(l->type & (light_diffuse | light_specular))) return;
    const vec3 at = point_position(pt);
    if (l->type & light_directional) {
        const plane facing{c.direction.x, c.direction.y, c.direction.z, -vec_dot(c.direction, c.location)};
        if (plane_value(facing, at) <= 1e-6) return;
    }
    vec3 normal{pt->normal_x / 127.0, pt->normal_y / 127.0, pt->normal_z / 127.0};
    if (vec_normalize(normal) != 0) {
        report("light_calculate_rgb_for_point: point has a bad normal\n");
        return;
    }
    const plane tangent{normal.x, normal.y, normal.z, -vec_dot(normal, at)};
    if (plane_value(tangent, c.location) <= 1e-6) return;
    if (l->ray_tracing == 1 && ray_is_blocked(c, at)) return;
    const double e = fall_off(l, at, c.location);
    vec3 ray = c.direction;
    if (!(l->type & light_directional)) {
        ray = at;
        vec_sub(ray, c.location);
        if (vec_normalize(ray) != 0) return;
    }
    if (l->type & light_diffuse) {
        const double k = -vec_dot(ray, normal);
        if (k > 0) add_diffuse(pt, p, l, k * (p->diffuse * l->diffuse) * e / 256);
    }
    if (l->type & light_specular) add_specular(pt, p, c, ray, normal, e);
}

void light_polygon(polygon* p, const lighting& c, int mode) {
    const int32_t kept[3] = {p->ambient, p->diffuse, p->specular};
    if (mode == light_mode_subtract) {
        p->ambient = -p->ambient;
        p->diffuse = -p->diffuse;
        p->specular = -p->specular;
    }
    for (point* pt = p->points; pt; pt = pt->next) light_calculate_rgb_for_point(pt, p, c);
    p->ambient = kept[0];
    p->diffuse = kept[1];
    p->specular = kept[2];
}

vec3 viewer_direction(const light* l) {
    const camera* cam = l->viewer ? l->viewer : get_current_camera();
    if (!cam) return {1, 0, 0};
    return {-cam->matrix.m[0][0], -cam->matrix.m[0][1], -cam->matrix.m[0][2]};
}

// The light taken into the object's space; false for a matrix that cannot be inverted.
bool into_object_space(lighting& c, const dynamic_object* d) {
    mat4 inverse;
    if (matrix_inverse(inverse, d->total_matrix) != 0) return false;
    vec3 v;
    mul_vec_mat3(v, c.location, inverse);
    c.location = v;
    for (vec3* direction : {&c.direction, &c.viewer}) {
        vec_mul_rotation(v, *direction, inverse);
        if (vec_normalize(v) == 0) *direction = v;
    }
    c.space_owner = d;
    return true;
}

void light_object(dynamic_object* d, lighting& c, int mode) {
    if (!d || !d->own_module || !into_object_space(c, d)) return;
    for (polygon* p : tree_polygons(d->own_module->root)) {
        dynamic_object* owner = p->owner;
        p->owner = nullptr;
        light_polygon(p, c, mode);
        p->owner = owner;
    }
}

// In editor mode a group whose geometry changed gets its vertex normals again.
void refresh_group_normals(group* g) {
    double now[4];
    group_get_signature(g, now);
    double* kept = g ? g->lighting_signature : engine_state.world_lighting_signature;
    bool changed = false;
    for (int i = 0; i < 4; ++i) changed = changed || std::fabs(now[i] - kept[i]) > 0.01;
    if (!changed) return;
    group_calculate_vertices_normals(g, 1);
    std::copy(now, now + 4, kept);
}

bsp_node* object_tree(const light* l) {
    const auto* d = static_cast<const dynamic_object*>(l->entity);
    return d && d->own_module ? d->own_module->root : nullptr;
}

bool lights_nothing(const light* l) {
    return l->entity_deleted || (!l->entity && l->entity_kind != kind_group);
}

}  // namespace

int& light_report_errors() {
    static int flag = 1;
    return flag;
}

light* init_light() {
    light* l = record_new<light>(kind_light);
    if (!l) report("init_light: failed to alloc mem\n");
    return l;
}

light* light_create(light** list, const char* name) {
    if (!list) return nullptr;
    light* l = init_light();
    if (!l) return nullptr;
    std::string unique = name ? name : "";
    if (light_find_unique_name(*list, unique) != 0 || !jstrcpy_with_allocating(&l->name, unique.c_str())) {
        light_delete(l);
        return nullptr;
    }
    l->reserved[0] = 1;
    l->entity_kind = kind_group;
    l->location[2] = 1000000;
    light_set_direction(l, {-1, -1, -1});
    l->type = light_linear | light_ambient | light_diffuse | light_specular;
    l->red = l->green = l->blue = 255;
    l->distance_reach = -1;
    l->ambient = l->diffuse = l->specular = l->specular_shining = 1;
    list_push(list, l);
    return l;
}

light* light_find(light* list, const char* name) {
    if (!name) return nullptr;
    for (; list; list = list->next) {
        if (list->name && jstricmp(list->name, name) == 0) return list;
    }
    return nullptr;
}

int light_find_unique_name(light* list, std::string& name) {
    return find_unique_name(
        name, [list](const std::string& n) { return light_find(list, n.c_str()) != nullptr; }, false,
        "light_find_unique_name");
}

void light_delete(light* l) {
    if (!l) return;
    engine_free(l->name);
    engine_free(l->entity_name);
    record_destroy(l);
}

void light_delete_all(light** list) {
    if (!list) return;
    while (*list) {
        light* l = *list;
        *list = l->next;
        light_delete(l);
    }
}

void light_forget_entity(const void* entity) {
    if (!entity) return;
    for (light* l = engine_state.lights; l; l = l->next) {
        if (l->entity != entity) continue;
        l->entity = nullptr;
        l->entity_deleted = 1;
    }
}

void light_set_location(light* l, const vec3& location) {
    if (!l) return;
    l->location[0] = location.x;
    l->location[1] = location.y;
    l->location[2] = location.z;
}

void light_set_direction(light* l, const vec3& direction) {
    if (!l) return;
    vec3 d = direction;
    if (vec_normalize(d) != 0) {
        report("light_set_direction: bad light direction\n");
        d = {1, 0, 0};
    }
    l->direction[0] = d.x;
    l->direction[1] = d.y;
    l->direction[2] = d.z;
}

void light_set_color(light* l, int red, int green, int blue) {
    if (!l) return;
    l->red = static_cast<uint8_t>(red);
    l->green = static_cast<uint8_t>(green);
    l->blue = static_cast<uint8_t>(blue);
}

void light_set_activate_before_each_render(light* l, int flag, int mode) {
    if (!l) return;
    l->activate_before_render = static_cast<uint8_t>(flag);
    if (flag == 1) l->mode = mode;
}

int light_connect_to_entities(light* list) {
    int result = 0;
    for (light* l = list; l; l = l->next) {
        const char* name = l->entity_name;
        const char* light_name = l->name ? l->name : "";
        l->entity_deleted = 0;
        switch (l->entity_kind) {
            case kind_group:
                l->entity = nullptr;
                if (!name || jstrcmp(name, "NULL") == 0) break;
                l->entity = group_find_by_name(engine_state.groups, name);
                if (!l->entity) {
                    report(plat_format("light_connect_to_entities: failed to find group %s of light %s\n", name,
                                       light_name));
                    result = -1;
                }
                break;
            case kind_dynamic_object:
                l->entity = name ? dynamic_find_by_name(engine_state.dynamic_objects, name) : nullptr;
                if (!name) {
                    l->entity_kind = kind_group;
                    report(plat_format("light_connect_to_entities: target dynamic object is NULL (light=%s)\n",
                                       light_name));
                } else if (!l->entity) {
                    report(plat_format("light_connect_to_entities: failed to find dynamic object %s of light %s\n",
                                       name, light_name));
                    result = -1;
                }
                break;
            case kind_polygon:
                l->entity = name ? polygon_find_by_name(name) : nullptr;
                if (!name) {
                    l->entity_kind = kind_group;
                    report(plat_format("light_connect_to_entities: target polygon is NULL (light=%s)\n", light_name));
                } else if (!l->entity) {
                    report(plat_format("light_connect_to_entities: failed to find polygon %s of light %s\n", name,
                                       light_name));
                    result = -1;
                }
                break;
            default:
                report(plat_format("light_connect_to_entities: bad entity id  light==%s entity name== %s\n",
                                   light_name, name ? name : ""));
                result = -1;
        }
    }
    return result;
}

void light_activate(light* l, int mode) {
    if (!l || !engine_state.card_in_use || lights_nothing(l)) return;
    if (mode == light_mode_reset) {
        light_reset(l, 0, 0, 0);
        mode = light_mode_add;
    }
    lighting c{l, to_vec(l->location), to_vec(l->direction), {1, 0, 0}, nullptr};
    if (l->type & light_specular) c.viewer = viewer_direction(l);
    switch (l->entity_kind) {
        case kind_group: {
            auto* g = static_cast<group*>(l->entity);
            if (engine_state.editor_mode) refresh_group_normals(g);
            for (polygon* p : group_polygons(g)) light_polygon(p, c, mode);
            break;
        }
        case kind_dynamic_object:
            light_object(static_cast<dynamic_object*>(l->entity), c, mode);
            break;
        case kind_polygon: {
            auto* p = static_cast<polygon*>(l->entity);
            if (engine_state.editor_mode) group_calculate_vertices_normals(p->owner_group, 1);
            if (p->owner && !into_object_space(c, p->owner)) break;
            light_polygon(p, c, mode);
            break;
        }
        default:
            report("light_activate: internal error, unknown entity type for lighting\n");
    }
}

void light_reset(light* l, int red, int green, int blue) {
    if (!l || lights_nothing(l)) return;
    switch (l->entity_kind) {
        case kind_group: group_set_points_color(static_cast<group*>(l->entity), red, green, blue); break;
        case kind_dynamic_object: bsp_tree_set_points_color(object_tree(l), red, green, blue); break;
        case kind_polygon: polygon_set_points_color(static_cast<polygon*>(l->entity), red, green, blue); break;
        default: report("light_reset: internal error, unknown entity type for lighting\n");
    }
}

void light_remove_light(light* l) {
    if (!l || lights_nothing(l)) return;
    switch (l->entity_kind) {
        case kind_group: group_restore_points_color(static_cast<group*>(l->entity)); break;
        case kind_dynamic_object: bsp_tree_restore_points_color(object_tree(l)); break;
        case kind_polygon: polygon_restore_points_color(static_cast<polygon*>(l->entity)); break;
        default: report("light_remove_light: internal error, unknown entity type for lighting\n");
    }
}

void engine_activate_lights_before_render(light* list) {
    if (!engine_state.card_in_use) return;
    for (light* l = list; l; l = l->next) l->done = 0;
    for (light* l = list; l; l = l->next) {
        if (!l->activate_before_render || l->mode != light_mode_reset || l->done) continue;
        light_activate(l, light_mode_reset);
        l->done = 1;
        // The entity's other reset lights add to this one rather than erase it.
        for (light* other = l->next; other; other = other->next) {
            if (!other->activate_before_render || other->mode != light_mode_reset || other->done) continue;
            if (other->entity != l->entity || other->entity_kind != l->entity_kind) continue;
            light_activate(other, light_mode_add);
            other->done = 1;
        }
    }
    for (light* l = list; l; l = l->next) {
        if (!l->activate_before_render || l->done) continue;
        light_activate(l, l->mode);
        l->done = 1;
    }
}

void polygon_set_points_color(polygon* p, int red, int green, int blue) {
    if (!p) return;
    for (point* pt = p->points; pt; pt = pt->next) {
        pt->red = static_cast<uint8_t>(red);
        pt->green = static_cast<uint8_t>(green);
        pt->blue = static_cast<uint8_t>(blue);
    }
}

void polygon_restore_points_color(polygon* p) {
    if (p) polygon_recolour_points(p, p->texture != nullptr);
}

void group_set_points_color(const group* g, int red, int green, int blue) {
    for (polygon* p : group_polygons(g)) polygon_set_points_color(p, red, green, blue);
}

void group_restore_points_color(const group* g) {
    for (polygon* p : group_polygons(g)) polygon_restore_points_color(p);
}

void bsp_tree_set_points_color(bsp_node* root, int red, int green, int blue) {
    for (polygon* p : tree_polygons(root)) polygon_set_points_color(p, red, green, blue);
}

void bsp_tree_restore_points_color(bsp_node* root) {
    for (polygon* p : tree_polygons(root)) polygon_restore_points_color(p);
}
