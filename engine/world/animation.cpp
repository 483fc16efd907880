// Texture animations: frame lists of bitmaps per viewing direction and the frame durations.
#include "world/animation.h"

#include <functional>

#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "world/engine_state.h"

namespace {

int list_length(const frame_item* list, bool real_only) {
    int n = 0;
    for (; list; list = list->next) {
        if (real_only && list->placeholder) break;
        n++;
    }
    return n;
}

void for_each_polygon_in(bsp_node* node, const std::function<void(polygon*)>& f) {
    if (!node) return;
    for (polygon* p = node->polygons; p; p = p->next) {
        for (polygon* q = p; q; q = q->next_patch) f(q);
    }
    for_each_polygon_in(node->front, f);
    for_each_polygon_in(node->back, f);
}

// Polygons whose frame lies past the animation's end restart at the first frame.
void clamp_polygon_frames(const animation* a) {
    for (module* m = engine_state.modules; m; m = m->next) {
        for_each_polygon_in(m->root, [a](polygon* p) {
            if (p->anim == a && (p->animation_frame < 0 || p->animation_frame >= a->frame_count)) {
                p->animation_frame = 0;
                p->animation_last_tick = 0;
            }
        });
    }
}

}  // namespace

animation* init_animation() {
    animation* a = record_new<animation>(kind_animation);
    if (!a) {
        report_error(1, "init_animation: failed to alloc mem\n");
        return nullptr;
    }
    a->speed_factor = 1.0;
    return a;
}

void animation_delete(animation* a) {
    if (!a) return;
    for (frame_item*& list : a->views) frame_list_destroy(&list);
    engine_free(a->name);
    engine_free(a->durations);
    engine_free(a->exact_durations);
    record_destroy(a);
}

frame_item* init_frame_item() {
    frame_item* item = static_cast<frame_item*>(engine_alloc(sizeof(frame_item)));
    if (!item) {
        report_error(1, "init_frame_item: failed to alloc mem\n");
        return nullptr;
    }
    item->reserved = 1;
    return item;
}

void free_frame_item(frame_item* item) {
    if (!item) return;
    engine_free(item->name);
    engine_fill_dead(item);
    engine_free(item);
}

void frame_list_destroy(frame_item** list) {
    if (!list) return;
    while (*list) {
        frame_item* next = (*list)->next;
        free_frame_item(*list);
        *list = next;
    }
}

int frames_force_list_length(frame_item** list, int n) {
    if (!list || n < 0) return -1;
    const int length = list_length(*list, false);
    if (length == n) return 0;
    frame_item** slot = list;
    for (int i = 0; i < n && *slot; ++i) slot = &(*slot)->next;
    if (length > n) {
        frame_list_destroy(slot);
        return 0;
    }
    const frame_item* last = nullptr;
    for (const frame_item* item = *list; item; item = item->next) last = item;
    if (!last) {
        report_error(1, "frames_force_list_length: internal error\n");
        return -1;
    }
    bitmap_texture* bitmap = last->bitmap;
    const int32_t transparent = last->transparent_index;
    const char* name = last->name;
    for (int i = length; i < n; ++i) {
        frame_item* item = init_frame_item();
        if (!item) {
            report_error(1, "frames_force_list_length: failed creating frame\n");
            return -1;
        }
        item->bitmap = bitmap;
        item->transparent_index = transparent;
        item->placeholder = 1;
        jstrcpy_with_allocating(&item->name, name);
        *slot = item;
        slot = &item->next;
    }
    return 0;
}

int animation_resize_lists(animation* a) {
    if (!a) return -1;
    int n = 0;
    for (const frame_item* list : a->views) {
        const int real = list_length(list, true);
        if (real > n) n = real;
    }
    const int old = a->frame_count;
    if (n != old) {
        auto* durations = static_cast<uint32_t*>(engine_alloc(sizeof(uint32_t) * (n > 0 ? n : 1)));
        auto* exact = static_cast<double*>(engine_alloc(sizeof(double) * (n > 0 ? n : 1)));
        if (!durations || !exact) {
            engine_free(durations);
            engine_free(exact);
            return -1;
        }
        for (int i = 0; i < n; ++i) {
            const bool kept = i < old && a->durations && a->exact_durations;
            durations[i] = kept ? a->durations[i] : animation_default_duration;
            exact[i] = kept ? a->exact_durations[i] : animation_default_duration;
        }
        engine_free(a->durations);
        engine_free(a->exact_durations);
        a->durations = durations;
        a->exact_durations = exact;
        a->frame_count = n;
    }
    int result = 0;
    for (frame_item*& list : a->views) {
        if (!list) continue;
        if (frames_force_list_length(&list, n) != 0) result = -1;
        const frame_item* last_real = nullptr;
        for (frame_item* item = list; item; item = item->next) {
            if (!item->placeholder) {
                last_real = item;
            } else if (last_real) {
                item->bitmap = last_real->bitmap;
                item->transparent_index = last_real->transparent_index;
            }
        }
    }
    clamp_polygon_frames(a);
    return result;
}
