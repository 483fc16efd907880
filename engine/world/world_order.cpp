// The world order: one list through every polygon of the world, and the walk over it.
#include "world/world_order.h"

#include <cstdint>

#include "foundation/prefetch.h"
#include "world/engine_state.h"
#include "world/group.h"

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

// Polygons made together lie one record apart, and the lists meet them in that order: each step
// fetches the first two cache lines of the record (its links, group, names and picture) as many
// steps ahead along the same stride, so a long walk seldom waits for memory. A wrong guess costs a
// fetch, nothing more.
constexpr uintptr_t steps_ahead = 64;

polygon* get_next_polygon(const polygon* p) {
    if (!p) return nullptr;
    polygon* next = engine_state.editor_mode ? p->next : p->next_in_world_order;
    const auto from = reinterpret_cast<uintptr_t>(p), to = reinterpret_cast<uintptr_t>(next);
    prefetch_bytes(to + steps_ahead * (to - from), 2 * cache_line_bytes);
    return next;
}

std::vector<polygon*> world_polygons() {
    std::vector<polygon*> all;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) all.push_back(p);
    return all;
}

polygon* get_next_polygon_in_tree(const polygon* p) {
    if (!p) return nullptr;
    if (p->next_patch) return p->next_patch;
    const polygon* father = p;
    while (father->previous_patch) father = father->previous_patch;
    return get_next_polygon(father);
}

namespace {

bool animation_in_use(const animation* a) {
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (p->bitmap_is_animation && p->anim == a) return true;
    }
    return false;
}

bool shows_bitmap(const animation* a, const bitmap_texture* bitmap) {
    for (const frame_item* list : a->views) {
        for (const frame_item* item = list; item; item = item->next) {
            if (item->bitmap == bitmap) return true;
        }
    }
    return false;
}

}  // namespace

animation* animation_find_using_bitmap(const bitmap_texture* bitmap, int only_used) {
    for (animation* a = engine_state.animations; a; a = a->next) {
        if (shows_bitmap(a, bitmap) && (!only_used || animation_in_use(a))) return a;
    }
    return nullptr;
}

int is_animation_used_by_group(const group* g, const animation* a) {
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (p->bitmap_is_animation && p->anim == a && group_is_included(p->owner_group, g)) return 1;
    }
    return 0;
}
