// The world order: one list through every polygon of the world, and the walk over it.
#include "world/world_order.h"

#include "world/engine_state.h"

namespace {

void thread_node(bsp_node* node, polygon**& tail) {
    if (!node) return;
    thread_node(node->front, tail);
    thread_node(node->back, tail);
    for (polygon* p = node->polygons; p; p = p->next) {
        *tail = p;
        tail = &p->next_in_world_order;
    }
    *tail = nullptr;
}

}  // namespace

void thread_polygons_in_world_order() {
    engine_state.world_order = nullptr;
    polygon** tail = &engine_state.world_order;
    for (module* m = engine_state.modules; m; m = m->next) thread_node(m->root, tail);
    *tail = nullptr;
}

polygon* get_first_polygon() {
    if (!engine_state.editor_mode) return engine_state.world_order;
    const module* main = engine_state.main_module;
    if (!main || !main->root) return nullptr;
    return main->root->polygons;
}

polygon* get_next_polygon(const polygon* p) {
    if (!p) return nullptr;
    return engine_state.editor_mode ? p->next : p->next_in_world_order;
}
