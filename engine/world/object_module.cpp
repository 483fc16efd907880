// Static objects (a module placed inside another by a matrix) and modules (named sub-worlds).
#include "world/object_module.h"

#include <cctype>

#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "world/bsp_node.h"
#include "world/group.h"
#include "world/polygon.h"
#include "world/world_order.h"

namespace {

void report(const char* text) {
    if (object_module_report_errors()) report_error(1, text);
}

constexpr int max_nesting = 1000;

int count_tree(const bsp_node* node, bool polygons, int depth);

int count_placed(const object* list, bool polygons, int depth) {
    int n = 0;
    for (const object* o = list; o; o = o->next) {
        if (o->placed) n += count_tree(o->placed->root, polygons, depth + 1);
    }
    return n;
}

// Counts a tree with the trees of the modules its objects place; nesting stops at max_nesting.
int count_tree(const bsp_node* node, bool polygons, int depth) {
    if (!node || depth > max_nesting) return 0;
    const int own = polygons ? polygon_list_count(node->polygons) : 1;
    return own + count_placed(node->objects, polygons, depth) + count_tree(node->front, polygons, depth) +
           count_tree(node->back, polygons, depth);
}

bsp_node* duplicate_tree(const bsp_node* node, bsp_node* parent) {
    if (!node) return nullptr;
    bsp_node* copy = init_bsp_node();
    if (!copy) return nullptr;
    for (int k = 0; k < 4; ++k) copy->plane[k] = node->plane[k];
    for (int k = 0; k < 6; ++k) {
        copy->box[k] = node->box[k];
        copy->second_box[k] = node->second_box[k];
    }
    copy->visibility_distance = node->visibility_distance;
    copy->worth = node->worth;
    copy->parent = parent;
    polygon** tail = &copy->polygons;
    for (const polygon* p = node->polygons; p; p = p->next) {
        polygon* d = duplicate_polygon(p);
        if (!d) {
            report_error(1, "bsp_duplicate: failed to duplicate polygon, recovering\n");
            continue;
        }
        *tail = d;
        tail = &d->next;
    }
    copy->front = duplicate_tree(node->front, copy);
    copy->back = duplicate_tree(node->back, copy);
    if ((node->front && !copy->front) || (node->back && !copy->back)) {
        bsp_tree_destroy(copy);
        return nullptr;
    }
    return copy;
}

}  // namespace

int& object_module_report_errors() {
    static int flag = 1;
    return flag;
}

object* init_object() {
    object* o = record_new<object>(kind_internal);
    if (!o) {
        report("init_object: failed to alloc mem\n");
        return nullptr;
    }
    matrix_identity(o->matrix);
    return o;
}

object* init_object_using_group(const group* g) {
    object* o = record_new<object>(kind_internal);
    if (!o) {
        report("init_object_using_group: failed to alloc mem\n");
        return nullptr;
    }
    matrix_identity(o->matrix);
    if (g && g->given_name) jstrcpy_with_allocating(&o->module_name, g->name);
    vec3 centre{0, 0, 0};
    if (g) group_get_center(g, centre);
    matrix_set_translation(o->matrix, centre);
    return o;
}

object* init_object_using_dynamic_object(dynamic_object* d) {
    object* o = record_new<object>(kind_internal);
    if (!o) {
        report("init_object_using_group: failed to alloc mem\n");
        return nullptr;
    }
    if (!d) {
        matrix_identity(o->matrix);
        return o;
    }
    o->placed = d->own_module;
    jstrcpy_with_allocating(&o->module_name, d->module_name);
    o->matrix = d->total_matrix;
    o->dynamic = d;
    return o;
}

void object_list_push(object** list, object* o) {
    if (!list || !o) return;
    o->next = *list;
    *list = o;
}

void bsp_node_push_object(bsp_node* node, object* o) {
    if (node) object_list_push(&node->objects, o);
}

int object_list_remove(object** list, object* o) {
    if (!list || !o) return -1;
    for (object** slot = list; *slot; slot = &(*slot)->next) {
        if (*slot == o) {
            *slot = o->next;
            o->next = nullptr;
            return 0;
        }
    }
    return -1;
}

int object_set_module_name(object* o, const char* name) {
    if (!o) return -1;
    engine_free(o->module_name);
    o->module_name = nullptr;
    if (name && !jstrcpy_with_allocating(&o->module_name, name)) {
        if (object_module_report_errors()) report_error(2, "object_set_module_name: cant alloc mem\n");
        return -1;
    }
    return 0;
}

object* duplicate_object(const object* o, const mat4& m) {
    if (!o) return nullptr;
    object* copy = init_object();
    if (!copy) {
        report("duplicate_object: init_object failed\n");
        return nullptr;
    }
    const int32_t kind = copy->kind;
    *copy = *o;
    copy->kind = kind;
    copy->next = nullptr;
    copy->module_name = nullptr;
    jstrcpy_with_allocating(&copy->module_name, o->module_name);
    matrix_multiply(copy->matrix, o->matrix, m);
    return copy;
}

void object_destroy(object* o) {
    if (!o) return;
    engine_free(o->module_name);
    record_destroy(o);
}

void object_list_free(object** list) {
    if (!list) return;
    while (*list) {
        object* next = (*list)->next;
        object_destroy(*list);
        *list = next;
    }
}

struct module* init_module() {
    module* m = record_new<module>(kind_internal);
    if (!m) report("init_module: failed to alloc mem\n");
    return m;
}

void module_list_push(module** list, module* m) {
    if (!list || !m) return;
    m->next = *list;
    *list = m;
}

int module_list_remove(module** list, module* m) {
    if (!list || !m) return -1;
    for (module** slot = list; *slot; slot = &(*slot)->next) {
        if (*slot == m) {
            *slot = m->next;
            m->next = nullptr;
            return 0;
        }
    }
    return -1;
}

struct module* module_find(module* list, const char* name) {
    if (!name) return nullptr;
    for (; list; list = list->next) {
        if (list->name && jstricmp(list->name, name) == 0) return list;
    }
    return nullptr;
}

void module_destroy(module* m) {
    if (!m) return;
    bsp_tree_destroy(m->root);
    engine_free(m->name);
    record_destroy(m);
}

void module_list_free(module** list) {
    if (!list) return;
    while (*list) {
        module* next = (*list)->next;
        module_destroy(*list);
        *list = next;
    }
}

void module_count_polygons(module* list) {
    for (module* m = list; m; m = m->next) m->polygon_count = count_tree(m->root, true, 0);
}

void module_count_nodes(module* list) {
    for (module* m = list; m; m = m->next) m->node_count = count_tree(m->root, false, 0);
}

int module_find_unique_name(module* list, std::string& name) {
    if (!module_find(list, name.c_str())) return 0;
    std::string base = name;
    size_t digits = base.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(base[digits - 1]))) digits--;
    if (digits < base.size() && digits > 0 && base[digits - 1] == '_') base.resize(digits - 1);
    for (int n = 2; n <= 99999; ++n) {
        const std::string candidate = base + "_" + std::to_string(n);
        if (!module_find(list, candidate.c_str())) {
            name = candidate;
            return 0;
        }
    }
    report("module_find_unique_name: very strange indeed !\n");
    return -1;
}

struct module* module_duplicate(module** list, const module* m) {
    if (!list || !m) return nullptr;
    module* copy = init_module();
    if (!copy) return nullptr;
    const int32_t kind = copy->kind;
    *copy = *m;
    copy->kind = kind;
    copy->next = nullptr;
    copy->name = nullptr;
    copy->root = nullptr;
    jstrcpy_with_allocating(&copy->name, m->name);
    copy->root = duplicate_tree(m->root, nullptr);
    if (m->root && !copy->root) {
        report("module_duplicate: bsp_duplicate failed\n");
        module_destroy(copy);
        return nullptr;
    }
    module_list_push(list, copy);
    thread_polygons_in_world_order();
    return copy;
}
