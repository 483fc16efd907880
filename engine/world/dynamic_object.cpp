// Dynamic objects: movable sub-worlds with father/son trees, axes, location, speed and physics.
#include "world/dynamic_object.h"

#include <cmath>
#include <functional>
#include <vector>

#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "world/bsp_node.h"
#include "world/chase.h"
#include "world/dynamic_sequence3d.h"
#include "world/engine_state.h"
#include "world/engine_state_links.h"
#include "world/entity_list.h"
#include "world/light.h"
#include "world/motion_settings.h"
#include "world/object_module.h"
#include "world/polygon.h"
#include "world/track.h"
#include "world/world_order.h"

namespace {

void report(const char* text) {
    if (dynamic_report_errors()) report_error(1, text);
}

constexpr int max_nesting = 1000;

vec3 row(const mat4& m, int r) { return {m.m[r][0], m.m[r][1], m.m[r][2]}; }

void set_row(mat4& m, int r, const vec3& v) {
    m.m[r][0] = v.x;
    m.m[r][1] = v.y;
    m.m[r][2] = v.z;
}

// A speed or force and its length, set together.
void set_vector(double (&field)[3], double& length, const vec3& v) {
    field[0] = v.x;
    field[1] = v.y;
    field[2] = v.z;
    length = vec_length(v);
}

// Keeps the direction ((1, 0, 0) when there is none) and sets the length.
void set_vector_length(double (&field)[3], double& length, double v) {
    vec3 direction{field[0], field[1], field[2]};
    if (vec_normalize(direction) != 0) direction = {1, 0, 0};
    vec_scale(direction, v, direction);
    field[0] = direction.x;
    field[1] = direction.y;
    field[2] = direction.z;
    length = v;
}

// total matrix := scale x axis system.
void rebuild_total(dynamic_object* d) {
    mat4 s;
    matrix_scale(s, {d->scale[0], d->scale[1], d->scale[2]});
    matrix_multiply(d->total_matrix, s, d->axis_system);
}

void free_strings(dynamic_object* d) {
    for (char** s : {&d->module_name, &d->father_name, &d->type, &d->name, &d->track.name, &d->chase.name,
                     &d->chase.type_string}) {
        engine_free(*s);
        *s = nullptr;
    }
}

// Every dynamic object of a list and, recursively, of the son lists.
void for_each_in(dynamic_object* list, const std::function<void(dynamic_object*)>& f, int depth = 0) {
    if (depth > max_nesting) return;
    for (dynamic_object* d = list; d; d = d->next) {
        f(d);
        for_each_in(d->first_son, f, depth + 1);
    }
}

// Removes `d` from whichever list (the world's or a son list) holds it.
void unlink_from_lists(dynamic_object* d) {
    if (dynamic_list_remove(&engine_state.dynamic_objects, d) == 0) return;
    bool done = false;
    for_each_in(engine_state.dynamic_objects, [&](dynamic_object* e) {
        if (!done && dynamic_list_remove(&e->first_son, d) == 0) done = true;
    });
}

// Clears every link from the rest of the world to `d`, so that nothing dangles once it is freed.
void unhook(dynamic_object* d) {
    unlink_from_lists(d);
    for_each_in(engine_state.dynamic_objects, [d](dynamic_object* e) {
        if (e->father == d) e->father = nullptr;
        if (e->chase.chased_object == d) e->chase.chased_object = nullptr;
    });
    for (camera* c = engine_state.cameras; c; c = c->next) {
        if (c->chase.chased_object == d) c->chase.chased_object = nullptr;
    }
    light_forget_entity(d);
    world_links_entity_freed(d);
    if (engine_state.player_object == d) engine_state.player_object = nullptr;
    if (d->node) {
        dynamic_node_list_remove(&d->node->dynamic_objects, d);
        dynamic_node_list_remove(&d->node->dynamic_objects_behind, d);
        d->node = nullptr;
    }
    auto release_polygon = [d](polygon* p) {
        for (polygon* q = p; q; q = q->next_patch) {
            if (q->owner == d) q->owner = nullptr;
        }
    };
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) release_polygon(p);
    for (module* m = engine_state.modules; m; m = m->next) {
        for_each_node(m->root, [&](bsp_node* node) {
            for (polygon* p = node->polygons; p; p = p->next) release_polygon(p);
            for (object* o = node->objects; o; o = o->next) {
                if (o->dynamic == d) o->dynamic = nullptr;
            }
            for (dynamic_object** list : {&node->dynamic_objects, &node->dynamic_objects_behind}) {
                dynamic_node_list_remove(list, d);
            }
        });
    }
}

void rotate(dynamic_object* d, double radians, int space, void (*make)(mat4&, double)) {
    if (!d || radians == 0) return;
    mat4 r, to, from, a, b;
    make(r, radians);
    const vec3 c{d->rotation_centre[0], d->rotation_centre[1], d->rotation_centre[2]};
    if (space == space_object) {
        matrix_translation(to, {-c.x, -c.y, -c.z});
        matrix_translation(from, c);
        matrix_multiply(a, to, r);
        matrix_multiply(b, a, from);
        matrix_multiply(a, b, d->axis_system);
    } else {
        vec3 cw;
        mul_vec_mat3(cw, c, d->total_matrix);
        matrix_translation(to, {-cw.x, -cw.y, -cw.z});
        matrix_translation(from, cw);
        matrix_multiply(a, d->axis_system, to);
        matrix_multiply(b, a, r);
        matrix_multiply(a, b, from);
    }
    d->axis_system = a;
    rebuild_total(d);
}

void collect_from(bsp_node* node, const mat4& accumulated, dynamic_object** list, int depth) {
    if (!node || depth > max_nesting) return;
    for (dynamic_object** node_list : {&node->dynamic_objects, &node->dynamic_objects_behind}) {
        while (*node_list) {
            dynamic_object* d = *node_list;
            *node_list = d->next_in_node;
            d->next_in_node = nullptr;
            d->node = nullptr;
            mat4 placed;
            matrix_multiply(placed, d->total_matrix, accumulated);
            d->total_matrix = placed;
            dynamic_list_push(list, d);
        }
    }
    for (object* o = node->objects; o; o = o->next) {
        if (!o->placed) continue;
        mat4 inner;
        matrix_multiply(inner, o->matrix, accumulated);
        collect_from(o->placed->root, inner, list, depth + 1);
    }
    collect_from(node->front, accumulated, list, depth);
    collect_from(node->back, accumulated, list, depth);
}

void mark_module(module* m, int depth) {
    if (!m || depth > max_nesting) return;
    m->dynamic = 1;
    for_each_node(m->root, [depth](bsp_node* node) {
        for (object* o = node->objects; o; o = o->next) mark_module(o->placed, depth + 1);
    });
}

int count_animation_users(bsp_node* node, const animation* a, polygon** found, int depth) {
    if (!node || depth > max_nesting) return 0;
    int n = 0;
    for (polygon* p = node->polygons; p; p = p->next) {
        if (p->bitmap_name && p->bitmap_is_animation == 1 && p->anim == a) {
            n++;
            *found = p;
        }
    }
    for (object* o = node->objects; o; o = o->next) {
        if (o->placed) n += count_animation_users(o->placed->root, a, found, depth + 1);
    }
    return n + count_animation_users(node->front, a, found, depth) + count_animation_users(node->back, a, found, depth);
}

animation* first_animation(const bsp_node* node, int depth) {
    if (!node || depth > max_nesting) return nullptr;
    for (const polygon* p = node->polygons; p; p = p->next) {
        if (p->bitmap_is_animation && p->anim) return p->anim;
    }
    for (const object* o = node->objects; o; o = o->next) {
        if (animation* a = o->placed ? first_animation(o->placed->root, depth + 1) : nullptr) return a;
    }
    if (animation* a = first_animation(node->front, depth)) return a;
    return first_animation(node->back, depth);
}

animation* find_animation(const char* name) {
    for (animation* a = engine_state.animations; a; a = a->next) {
        if (a->name && jstricmp(a->name, name) == 0) return a;
    }
    return nullptr;
}

// Gives every node of a tree its static box back and takes the dynamic objects off it.
void restore_and_detach(bsp_node* root) {
    for_each_node(root, [](bsp_node* node) {
        for (int k = 0; k < 6; ++k) node->box[k] = node->second_box[k];
        for (dynamic_object** list : {&node->dynamic_objects, &node->dynamic_objects_behind}) {
            while (*list) {
                dynamic_object* d = *list;
                *list = d->next_in_node;
                d->next_in_node = nullptr;
                d->node = nullptr;
            }
        }
    });
}

// The object's module box through its total matrix: its box in the space of the tree it stands in.
void box_in_tree_space(const dynamic_object* d, double box[6]) {
    const bsp_node* root = d->own_module ? d->own_module->root : nullptr;
    if (!root || root->second_box[0] > root->second_box[3]) {
        const vec3 at = dynamic_get_location(d);
        const double point_box[6] = {at.x, at.y, at.z, at.x, at.y, at.z};
        for (int k = 0; k < 6; ++k) box[k] = point_box[k];
        return;
    }
    for (int k = 0; k < 6; ++k) box[k] = root->second_box[k];
    box_transform(box, d->total_matrix);
}

void place_in_tree(bsp_node* root, dynamic_object* d, const mat4& accumulated, int depth) {
    if (!root || !d || d->disabled || depth > max_nesting) return;
    const vec3 at = dynamic_get_location(d);
    bsp_node* node = root;
    for (;;) {
        const plane pl{node->plane[0], node->plane[1], node->plane[2], node->plane[3]};
        const int side = plane_point_side(pl, at);
        if (side == 3 && node->front) {
            node = node->front;
        } else if (side == 2 && node->back) {
            node = node->back;
        } else {
            dynamic_node_list_push(side == 2 ? &node->dynamic_objects_behind : &node->dynamic_objects, d);
            break;
        }
    }
    d->node = node;
    double box[6];
    box_in_tree_space(d, box);
    for (int k = 0; k < 6; ++k) d->box[k] = box[k];
    if (depth > 0) box_transform(d->box, accumulated);
    propagate_dynamic_box_up(d);
    if (!d->first_son || !d->own_module) return;
    mat4 inner;
    matrix_multiply(inner, d->total_matrix, accumulated);
    restore_and_detach(d->own_module->root);
    for (dynamic_object* son = d->first_son; son; son = son->next) {
        place_in_tree(d->own_module->root, son, inner, depth + 1);
    }
}

}  // namespace

void dynamic_for_each(dynamic_object* list, const std::function<void(dynamic_object*)>& f) { for_each_in(list, f); }

int& dynamic_report_errors() {
    static int flag = 1;
    return flag;
}

dynamic_object* init_dynamic_object() {
    dynamic_object* d = record_new<dynamic_object>(kind_dynamic_object);
    if (!d) {
        report("init_dynamic_object: failed to alloc mem\n");
        return nullptr;
    }
    d->control = 1;
    d->track.next_point = 1;
    matrix_identity(d->total_matrix);
    matrix_identity(d->axis_system);
    d->scale[0] = d->scale[1] = d->scale[2] = 1;
    d->time_based = 1;
    d->chase.softness = 0.1;
    d->max_speed = 1e100;
    d->chase_physics_collision = 1;
    d->collisional = 1;
    return d;
}

dynamic_object* dynamic_create(const char* name) {
    dynamic_object* d = init_dynamic_object();
    if (!d) return nullptr;
    module* m = init_module();
    bsp_node* root = m ? init_bsp_node() : nullptr;
    if (!m || !root) {
        module_destroy(m);
        record_destroy(d);
        return nullptr;
    }
    m->root = root;
    m->dynamic = 1;
    jstrcpy_with_allocating(&m->name, name);
    jstrcpy_with_allocating(&d->name, name);
    jstrcpy_with_allocating(&d->module_name, name);
    d->own_module = m;
    module_list_push(&engine_state.modules, m);
    dynamic_list_push(&engine_state.dynamic_objects, d);
    return d;
}

dynamic_object* dynamic_create_from_group(const group* g) {
    if (!g) return nullptr;
    dynamic_object* d = init_dynamic_object();
    if (!d) return nullptr;
    matrix_translation(d->total_matrix, {g->centre[0], g->centre[1], g->centre[2]});
    jstrcpy_with_allocating(&d->name, g->name);
    if (g->given_name) jstrcpy_with_allocating(&d->module_name, g->name);
    jstrcpy_with_allocating(&d->type, g->object_type ? g->object_type : "regular");
    copy_motion_settings(*d, *g);
    // The object's type keyword is the canonical one, its fall suffix from the group's fall values.
    if (g->chase.type_string) {
        double height = 0;
        int fall = 0;
        d->chase.type = chase_convert_string_to_number(g->chase.type_string, &height, &fall);
        const std::string canonical = chase_convert_number_to_string(d->chase.type, d->fall_flag, d->fall_height);
        jstrcpy_with_allocating(&d->chase.type_string, canonical.c_str());
    }
    dynamic_set_total_move_mat_and_(d);
    return d;
}

void dynamic_list_push(dynamic_object** list, dynamic_object* d) { list_push(list, d); }

int dynamic_list_remove(dynamic_object** list, dynamic_object* d) { return list_remove(list, d); }

dynamic_object* dynamic_get_by_index(dynamic_object* list, int n) {
    if (n < 0) return nullptr;
    while (list && n-- > 0) list = list->next;
    return list;
}

dynamic_object* dynamic_find_by_name(dynamic_object* list, const char* name) {
    if (!name) return nullptr;
    for (; list; list = list->next) {
        if (list->name && jstricmp(list->name, name) == 0) return list;
    }
    return nullptr;
}

dynamic_object* dynamic_find_by_module_name(dynamic_object* list, const char* name) {
    if (!name) return nullptr;
    for (; list; list = list->next) {
        if (list->module_name && jstricmp(list->module_name, name) == 0) return list;
    }
    return nullptr;
}

void dynamic_free_all(dynamic_object** list) {
    if (!list) return;
    while (*list) {
        dynamic_object* d = *list;
        *list = d->next;
        d->next = nullptr;
        dynamic_free(d);
    }
}

void dynamic_node_list_push(dynamic_object** list, dynamic_object* d) {
    if (!list || !d) return;
    d->next_in_node = *list;
    *list = d;
}

int dynamic_node_list_remove(dynamic_object** list, dynamic_object* d) {
    if (!list || !d) return -1;
    for (dynamic_object** slot = list; *slot; slot = &(*slot)->next_in_node) {
        if (*slot == d) {
            *slot = d->next_in_node;
            d->next_in_node = nullptr;
            return 0;
        }
    }
    return -1;
}

void dynamic_node_list_free(dynamic_object** list) {
    if (!list) return;
    while (*list) {
        dynamic_object* d = *list;
        *list = d->next_in_node;
        d->next_in_node = nullptr;
        d->node = nullptr;
        dynamic_free(d);
    }
}

void dynamic_free(dynamic_object* d) {
    if (!d) return;
    while (d->first_son) {
        dynamic_object* son = d->first_son;
        d->first_son = son->next;
        son->next = nullptr;
        dynamic_free(son);
    }
    unhook(d);
    dynamic_release_3D_sequences(d);
    free_strings(d);
    record_destroy(d);
}

void dynamic_delete(dynamic_object* d) {
    if (!d) return;
    const bool keep_modules = d->delete_only_object == 1;
    std::vector<module*> modules;
    for_each_in(d->first_son, [&](dynamic_object* son) { modules.push_back(son->own_module); });
    modules.push_back(d->own_module);
    dynamic_free(d);
    if (keep_modules) return;
    for (module* m : modules) {
        if (!m) continue;
        if (module_list_remove(&engine_state.modules, m) != 0) {
            report("dynamic_delete: extract_module failed\n");
            continue;
        }
        bool shared = false;
        for_each_in(engine_state.dynamic_objects, [&](dynamic_object* e) {
            if (e->own_module != m) return;
            e->own_module = nullptr;
            shared = true;
        });
        if (shared) report("dynamic_delete: warning, there are other object that use the polygons of this deleted object\n");
        if (engine_state.main_module == m) engine_state.main_module = nullptr;
        module_destroy(m);
    }
    thread_polygons_in_world_order();
}

void dynamic_set_location(dynamic_object* d, const vec3& location) {
    if (!d) return;
    matrix_set_translation(d->axis_system, location);
    matrix_set_translation(d->total_matrix, location);
}

vec3 dynamic_get_location(const dynamic_object* d) { return d ? row(d->axis_system, 3) : vec3{0, 0, 0}; }

void dynamic_move(dynamic_object* d, const vec3& v, int space) {
    if (!d) return;
    if (space == space_object) {
        mat4 t, moved;
        matrix_translation(t, v);
        matrix_multiply(moved, t, d->axis_system);
        d->axis_system = moved;
        rebuild_total(d);
        return;
    }
    vec3 step = v;
    const camera* c = space == space_camera ? get_current_camera() : nullptr;
    if (c) vec_mul_rotation(step, v, c->matrix);
    vec3 location = dynamic_get_location(d);
    vec_add(location, step);
    dynamic_set_location(d, location);
}

void dynamic_rotate_x(dynamic_object* d, double radians, int space) { rotate(d, radians, space, matrix_rotation_x); }
void dynamic_rotate_y(dynamic_object* d, double radians, int space) { rotate(d, radians, space, matrix_rotation_y); }
void dynamic_rotate_z(dynamic_object* d, double radians, int space) { rotate(d, radians, space, matrix_rotation_z); }

void dynamic_set_axis_system(dynamic_object* d, const vec3& x, const vec3& y, const vec3& z) {
    if (!d) return;
    set_row(d->axis_system, 0, x);
    set_row(d->axis_system, 1, y);
    set_row(d->axis_system, 2, z);
    rebuild_total(d);
}

void dynamic_get_axis_system(const dynamic_object* d, vec3& x, vec3& y, vec3& z) {
    x = dynamic_get_x_axis(d);
    y = dynamic_get_y_axis(d);
    z = dynamic_get_z_axis(d);
}

vec3 dynamic_get_x_axis(const dynamic_object* d) { return d ? row(d->axis_system, 0) : vec3{1, 0, 0}; }
vec3 dynamic_get_y_axis(const dynamic_object* d) { return d ? row(d->axis_system, 1) : vec3{0, 1, 0}; }
vec3 dynamic_get_z_axis(const dynamic_object* d) { return d ? row(d->axis_system, 2) : vec3{0, 0, 1}; }

void dynamic_set_direction(dynamic_object* d, const vec3& direction) {
    if (!d) return;
    vec3 x = direction;
    if (vec_normalize(x) != 0) return;
    vec_negate(x);
    vec3 y{0, 1, 0};
    if (x.z != 1 && x.z != -1) {
        y = {-x.y, x.x, 0};
        if (vec_normalize(y) != 0) y = {0, 1, 0};
    }
    dynamic_set_axis_system(d, x, y, vec_cross(x, y));
}

vec3 dynamic_get_direction(const dynamic_object* d) {
    vec3 x = dynamic_get_x_axis(d);
    vec_negate(x);
    return x;
}

double dynamic_get_cos_head(const dynamic_object* d) { return dynamic_get_x_axis(d).x; }
double dynamic_get_cos_pitch(const dynamic_object* d) { return dynamic_get_x_axis(d).z; }
double dynamic_get_cos_bank(const dynamic_object* d) { return dynamic_get_y_axis(d).z; }

double dynamic_get_bank(const dynamic_object* d) {
    const double a = rad_to_deg(safe_acos(dynamic_get_y_axis(d).z));
    const double b = dynamic_get_z_axis(d).z >= 0 ? a : 360 - a;
    return b - 90;
}

void dynamic_set_bank(dynamic_object* d, double degrees) {
    if (!d) return;
    dynamic_rotate_x(d, deg_to_rad(dynamic_get_bank(d) - degrees), space_object);
}

double dynamic_get_head(const dynamic_object* d) {
    const double head = rad_to_deg(safe_acos(dynamic_get_x_axis(d).x));
    return dynamic_get_direction(d).y > 0 ? -head : head;
}

void dynamic_set_total_move_mat_and_(dynamic_object* d) {
    if (!d) return;
    d->axis_system = d->total_matrix;
    for (int r = 0; r < 3; ++r) {
        const vec3 axis = row(d->total_matrix, r);
        const double length = vec_length(axis);
        if (length <= 1e-10) {
            report("dynamic_set_total_move_mat_and_: fatal bad matrix !!!\n");
            continue;
        }
        vec3 unit;
        vec_scale(unit, 1 / length, axis);
        set_row(d->axis_system, r, unit);
        d->scale[r] = length;
    }
}

void dynamic_set_speed(dynamic_object* d, const vec3& v) {
    if (d) set_vector(d->speed, d->absolute_speed, v);
}

void dynamic_set_absolute_speed(dynamic_object* d, double v) {
    if (d) set_vector_length(d->speed, d->absolute_speed, v);
}

void dynamic_set_force(dynamic_object* d, const vec3& v) {
    if (d) set_vector(d->force, d->absolute_force, v);
}

void dynamic_set_absolute_force(dynamic_object* d, double v) {
    if (d) set_vector_length(d->force, d->absolute_force, v);
}

void dynamic_physics_step(dynamic_object* d, double time_factor, int timed) {
    if (!d) return;
    vec3 s{d->speed[0] + d->force[0], d->speed[1] + d->force[1], d->speed[2] + d->force[2]};
    vec_scale(s, 1 - d->friction, s);
    double length = vec_length(s);
    if (d->max_speed < length) {
        vec_scale(s, d->max_speed / length, s);
        length = d->max_speed;
    }
    d->speed[0] = s.x;
    d->speed[1] = s.y;
    d->speed[2] = s.z;
    d->absolute_speed = length;
    const double k = timed ? time_factor : 1;
    const int space = d->rotation_space == 1 ? space_object : space_world;
    dynamic_rotate_x(d, d->rotation[0] * k, space);
    dynamic_rotate_y(d, d->rotation[1] * k, space);
    dynamic_rotate_z(d, d->rotation[2] * k, space);
}

int dynamic_get_next_track_point(const dynamic_object* d) {
    return d ? track_next_point(d->track, dynamic_get_location(d), 1) : 1;
}

void dynamic_update_track_target(dynamic_object* d) {
    if (!d) return;
    track_set_target(d->track, dynamic_get_location(d), dynamic_get_next_track_point(d));
}

void dynamic_disable(dynamic_object* d) {
    if (d) d->disabled = 1;
}

animation* dynamic_get_animation(const dynamic_object* d) {
    if (!d) {
        report("dynamic_get_animation: got NULL\n");
        return nullptr;
    }
    return d->own_module ? first_animation(d->own_module->root, 0) : nullptr;
}

int dynamic_replace_animation(dynamic_object* d, animation* old_animation, animation* new_animation) {
    if (!d || !old_animation || !new_animation || !d->own_module) {
        report("dynamic_replace_animation: bad arguments\n");
        return -1;
    }
    polygon* user = nullptr;
    if (count_animation_users(d->own_module->root, old_animation, &user, 0) != 1) {
        report("dynamic_replace_animation: the given old_animation_name doesnt belong to the given object or in "
               "use more then one by the object !!!\n");
        return -1;
    }
    if (!user) {
        report("dynamic_replace_animation: internal error\n");
        return -1;
    }
    user->anim = new_animation;
    if (user->animation_frame >= new_animation->frame_count) user->animation_frame = 0;
    polygon_advance_animation_frame(user);
    return 0;
}

int dynamic_replace_animation_using_names(dynamic_object* d, const char* old_name, const char* new_name) {
    if (!d || !old_name || !new_name) {
        report("dynamic_replace_animation_using_names: bad arguments\n");
        return -1;
    }
    animation* fresh = find_animation(new_name);
    if (!fresh) {
        report("dynamic_replace_animation_using_names: the given new_animation_name doesnt exist at all\n");
        return -1;
    }
    animation* old_animation = find_animation(old_name);
    if (!old_animation) {
        report("dynamic_replace_animation_using_names: the given old_animation_name doesnt exist at all\n");
        return -1;
    }
    return dynamic_replace_animation(d, old_animation, fresh);
}

int dynamic_set_father(dynamic_object* d, dynamic_object* father) {
    if (!d) return -1;
    int depth = 0;
    for (const dynamic_object* f = father; f; f = f->father) {
        if (f == d || ++depth > max_nesting) return -1;
    }
    d->father = father;
    return 0;
}

int dynamic_is_included(const dynamic_object* a, const dynamic_object* b) {
    if (!b) return 1;
    int depth = 0;
    for (const dynamic_object* f = a; f && depth <= max_nesting; f = f->father, ++depth) {
        if (f == b) return 1;
    }
    return 0;
}

dynamic_object* dynamic_get_first_son(const dynamic_object* d) {
    for (dynamic_object* e = engine_state.dynamic_objects; e; e = e->next) {
        if (e != d && dynamic_is_included(e, d)) return e;
    }
    return nullptr;
}

dynamic_object* dynamic_get_next_son(const dynamic_object* d, const dynamic_object* son) {
    if (!son) return nullptr;
    for (dynamic_object* e = son->next; e; e = e->next) {
        if (e != d && dynamic_is_included(e, d)) return e;
    }
    return nullptr;
}

dynamic_object* dynamic_get_first_direct_son(const dynamic_object* d) {
    for (dynamic_object* e = engine_state.dynamic_objects; e; e = e->next) {
        if (e->father == d && e != d) return e;
    }
    return nullptr;
}

dynamic_object* dynamic_get_next_direct_son(const dynamic_object* d, const dynamic_object* son) {
    if (!son) return nullptr;
    for (dynamic_object* e = son->next; e; e = e->next) {
        if (e->father == d && e != d) return e;
    }
    return nullptr;
}

int dynamic_get_center_of_tree(const dynamic_object* d, vec3& out) {
    out = {0, 0, 0};
    int count = 0;
    for (const dynamic_object* e = engine_state.dynamic_objects; e; e = e->next) {
        if (!dynamic_is_included(e, d)) continue;
        vec_add(out, dynamic_get_location(e));
        count++;
    }
    if (count) vec_scale(out, 1.0 / count, out);
    return count;
}

void dynamic_connect_fathers(dynamic_object* list) {
    for (dynamic_object* d = list; d; d = d->next) {
        if (!d->father_name) continue;
        if (jstricmp(d->father_name, "NONE") == 0) {
            engine_free(d->father_name);
            d->father_name = nullptr;
            continue;
        }
        dynamic_object* father = dynamic_find_by_name(list, d->father_name);
        if (father && dynamic_set_father(d, father) == 0) {
            engine_free(d->father_name);
            d->father_name = nullptr;
        }
    }
}

void dynamic_set_polygons_owner(dynamic_object* d, bsp_node* node) {
    for_each_node(node, [d](bsp_node* n) {
        for (polygon* p = n->polygons; p; p = p->next) p->owner = d;
    });
}

void collect_dynamic_objects(module* m, dynamic_object** list) {
    if (!m || !list) return;
    dynamic_object* collected = nullptr;
    mat4 identity;
    matrix_identity(identity);
    collect_from(m->root, identity, &collected, 0);
    while (collected) {
        dynamic_object* d = collected;
        collected = d->next;
        dynamic_set_total_move_mat_and_(d);
        if (d->own_module) collect_dynamic_objects(d->own_module, &d->first_son);
        dynamic_list_push(list, d);
    }
}

void propagate_dynamic_box_up(dynamic_object* d) {
    if (!d) {
        report("propagate_dynamic_box_up: dyn==NULL\n");
        return;
    }
    double box[6];
    box_in_tree_space(d, box);
    for (bsp_node* node = d->node; node; node = node->parent) box_extend(node->box, box);
}

void dynamic_get_bounding_box(const dynamic_object* d, double box[6]) { box_in_tree_space(d, box); }

void engine_place_dynamic_objects(module* world, dynamic_object* list) {
    if (!world || !world->root) return;
    restore_and_detach(world->root);
    mat4 identity;
    matrix_identity(identity);
    for (dynamic_object* d = list; d; d = d->next) place_in_tree(world->root, d, identity, 0);
}

void mark_dynamic_modules(dynamic_object* objects) {
    for_each_in(objects, [](dynamic_object* d) { mark_module(d->own_module, 0); });
}
