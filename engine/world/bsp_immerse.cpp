// Connecting static objects to the modules they place and flattening the module hierarchy into
// the MAIN module (immersion).
#include "world/bsp_immerse.h"

#include <string>
#include <unordered_map>

#include "foundation/errors.h"
#include "foundation/strings.h"
#include "world/bsp_node.h"
#include "world/bsp_tree.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/object_module.h"
#include "world/polygon.h"

namespace {

void report(const char* text) {
    if (bsp_report_errors()) report_error(1, text);
}

constexpr int max_nesting = 1000;
// Copies one immersion may make: a module placed twice in each of many nested levels doubles per level.
constexpr long max_immersed_objects = 100000;

struct module* find_exact(module* list, const char* name) {
    if (!name) return nullptr;
    for (; list; list = list->next) {
        if (list->name && jstrcmp(list->name, name) == 0) return list;
    }
    return nullptr;
}

// Longest chain of placements below the module; -1 when it exceeds the limit or loops.
int nesting_depth(module* m, std::unordered_map<module*, int>& known, int depth) {
    if (!m || !m->root) return 0;
    if (depth > max_nesting) return -1;
    auto found = known.find(m);
    if (found != known.end()) return found->second;
    known[m] = -1;  // in progress: meeting it again is a loop
    int deepest = 0;
    for (object* o = m->root->objects; o; o = o->next) {
        const int below = nesting_depth(o->placed, known, depth + 1);
        if (below < 0) return -1;
        if (below + 1 > deepest) deepest = below + 1;
    }
    if (deepest > max_nesting) return -1;
    known[m] = deepest;
    return deepest;
}

group* father_for(const object* o) {
    if (!engine_state.editor_mode) return o->dynamic ? o->dynamic->made_group : nullptr;
    return o->owner_group;
}

void immerse_one(module* m, object* o, bool make_groups) {
    group* g = nullptr;
    if (make_groups && o->module_name) {
        g = group_create_using_object(&engine_state.groups, o);
        if (g) group_set_father_group(g, father_for(o));
    }
    const module* source = o->placed;
    if (!source || !source->root) return;
    for (const object* q = source->root->objects; q; q = q->next) {
        object* copy = duplicate_object(q, o->matrix);
        if (!copy) continue;
        copy->owner_group = g ? g : o->owner_group;
        if (o->dynamic) copy->dynamic = o->dynamic;
        object_list_push(&m->root->objects, copy);
    }
    for (const polygon* p = source->root->polygons; p; p = p->next) {
        polygon* copy = duplicate_polygon_mat(p, o->matrix);
        if (!copy) continue;
        if (make_groups) copy->owner_group = g;
        polygon_list_add(&m->root->polygons, copy);
    }
}

void make_dynamic_group(dynamic_object* d, group* father) {
    object* stand_in = init_object_using_dynamic_object(d);
    if (!stand_in) return;
    if (d->module_name) {
        d->made_group = group_create_using_object(&engine_state.groups, stand_in);
        if (d->made_group) group_set_father_group(d->made_group, father);
    }
    object_destroy(stand_in);
    if (d->own_module && d->own_module->root) {
        for (object* o = d->own_module->root->objects; o; o = o->next) o->dynamic = d;
        for (polygon* p = d->own_module->root->polygons; p; p = p->next) {
            if (!p->owner_group) p->owner_group = d->made_group;
        }
    }
    for (dynamic_object* son = d->first_son; son; son = son->next) make_dynamic_group(son, d->made_group);
}

void install_tree(module* target, dynamic_object* d, const mat4& father) {
    object* o = init_object_using_dynamic_object(d);
    if (!o) return;
    matrix_multiply(o->matrix, d->total_matrix, father);
    object_list_push(&target->root->objects, o);
    for (dynamic_object* son = d->first_son; son; son = son->next) install_tree(target, son, o->matrix);
}

}  // namespace

int connect_modules_to_objects(module* modules) {
    int result = 0;
    for (module* m = modules; m; m = m->next) {
        if (!m->root) {
            report("connect_modules_to_objects: mdl->tree==NULL !\n");
            return -1;
        }
        if (m->root->front || m->root->back) {
            report("connect_modules_to_objects: bsp tree was already built !!!!\n");
            return -1;
        }
        for (object* o = m->root->objects; o; o = o->next) {
            o->placed = find_exact(modules, o->module_name);
            if (o->placed) continue;
            report("connect_modules_to_objects: couldnt match object ");
            engine_log_printf("%s\n", o->module_name ? o->module_name : "(null)");
            result = -1;
        }
        for (dynamic_object** list : {&m->root->dynamic_objects, &m->root->dynamic_objects_behind}) {
            for (dynamic_object* d = *list; d; d = d->next_in_node) {
                d->own_module = find_exact(modules, d->module_name);
                if (d->own_module) continue;
                report("connect_modules_to_objects: couldnt match object ");
                engine_log_printf("%s\n", d->module_name ? d->module_name : "(null)");
                result = -1;
            }
        }
    }
    if (result != 0) return result;
    std::unordered_map<module*, int> known;
    for (module* m = modules; m; m = m->next) {
        if (nesting_depth(m, known, 0) < 0) {
            report("connect_modules_to_objects: World file tree structure is too deep\n\tprobably a circular "
                   "defination (i.e module A includes an object B that uses module A ...\n");
            return -1;
        }
    }
    return 0;
}

int immerse_a_module(module* m, int make_groups) {
    if (!m) {
        report("immerse_a_module: got a NULL module\n");
        return -1;
    }
    if (!m->root) return 0;
    long immersed = 0;
    int result = 0;
    while (m->root->objects) {
        object* o = m->root->objects;
        if (object_list_remove(&m->root->objects, o) != 0) {
            report("immerse_a_module: extract_object failed\n");
            return -1;
        }
        if (++immersed > max_immersed_objects) {
            if (result == 0) report("immerse_a_module: too many nested objects, the rest are left out\n");
            result = -1;
        } else {
            immerse_one(m, o, make_groups != 0);
        }
        object_destroy(o);
    }
    return result;
}

int install_dynamic_objects(module* main_module, dynamic_object* objects) {
    module* target = module_find(engine_state.modules, engine_state.last_main_module_name);
    if (!target) {
        report("install_dynamic_objects: internal error\n");
        target = main_module;
    }
    if (!target || !target->root) return -1;
    mat4 identity;
    matrix_identity(identity);
    for (dynamic_object* d = objects; d; d = d->next) install_tree(target, d, identity);
    return 0;
}

int immerse_all_modules_objects(engine_state_record& state, module* main_module, dynamic_object** objects) {
    if (!main_module) return -1;
    int result = 0;
    if (state.editor_mode) {
        install_dynamic_objects(main_module, *objects);
        if (immerse_a_module(main_module, 1) != 0) result = -1;
        dynamic_free_all(objects);
        state.player_object = nullptr;
        for (camera* c = state.cameras; c; c = c->next) c->chase.chased_object = nullptr;
    } else {
        for (dynamic_object* d = *objects; d; d = d->next) make_dynamic_group(d, nullptr);
        if (immerse_a_module(main_module, 1) != 0) result = -1;
        mark_dynamic_modules(*objects);
        for (module* m = state.modules; m; m = m->next) {
            if (m->dynamic && m != main_module && immerse_a_module(m, 1) != 0) result = -1;
        }
    }
    module* m = state.modules;
    while (m) {
        module* next = m->next;
        if (m != main_module && !m->dynamic) {
            if (module_list_remove(&state.modules, m) != 0) {
                report("immerse_all_modules_objects: extract_module failed\n");
            } else {
                module_destroy(m);
            }
        }
        m = next;
    }
    return result;
}
