// Texture animations: frame lists of bitmaps per viewing direction and the frame durations.
#include "world/animation.h"

#include <functional>

#include "foundation/dictionary.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "world/engine_state.h"
#include "world/polygon.h"
#include "world/polygon_fill.h"

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
    a->save = 1;
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

void animation_delete_all(animation** list) {
    if (!list) return;
    while (*list) {
        animation* a = *list;
        *list = a->next;
        animation_unhook(a);
        animation_delete(a);
    }
}

void animation_unhook(animation* a) {
    if (!a) return;
    for (module* m = engine_state.modules; m; m = m->next) {
        for_each_polygon_in(m->root, [a](polygon* p) {
            if (p->anim != a) return;
            // The polygon goes on showing the frame it shows now, as a plain bitmap.
            bitmap_texture* shown = p->texture;
            if (!shown && p->animation_frame >= 0) {
                shown = animate_get_texture_from_list(animation_get_first_list(a), p->animation_frame);
            }
            p->anim = nullptr;
            p->animation_running = 0;
            if (shown) {
                polygon_set_bitmap_fill(p, shown);
            } else {
                polygon_set_color_fill(p, -1, -1, -1);
            }
        });
    }
}

animation* animation_find(animation* list, const char* name) {
    if (!name) return nullptr;
    for (; list; list = list->next) {
        if (list->name && jstricmp(list->name, name) == 0) return list;
    }
    return nullptr;
}

int animation_find_unique_name(animation* list, std::string& name) {
    return find_unique_name(
        name, [list](const std::string& n) { return animation_find(list, n.c_str()) != nullptr; }, true,
        "animation_find_unique_name");
}

int animation_count_views(const animation* a) {
    int n = 0;
    if (a) {
        for (const frame_item* list : a->views) n += list != nullptr;
    }
    return n;
}

frame_item* animation_get_first_list(const animation* a) {
    if (!a) return nullptr;
    for (frame_item* list : a->views) {
        if (list) return list;
    }
    return nullptr;
}

bitmap_texture* animation_get_first_bitmap(const animation* a) {
    if (!a) return nullptr;
    for (const frame_item* list : a->views) {
        for (const frame_item* item = list; item; item = item->next) {
            if (item->bitmap) return item->bitmap;
        }
    }
    return nullptr;
}

frame_item* animation_get_list(const animation* a, int view_type) {
    if (!a || view_type < view_front || view_type > view_back) return nullptr;
    // The lists are held BACK first: view type 5 is the first slot.
    return a->views[view_back - view_type];
}

frame_item* animate_get_frame(frame_item* list, int n) {
    if (n < 0) {
        report_error(1, "animate_get_frame: frame_number<0 !!!\n");
        return nullptr;
    }
    while (list && n-- > 0) list = list->next;
    return list;
}

bitmap_texture* animate_get_texture_from_list(frame_item* list, int n) {
    if (n < 0) {
        report_error(1, "animate_get_texture_from_list: frame_number<0 !!!\n");
        return nullptr;
    }
    while (list && n-- > 0) list = list->next;
    return list ? list->bitmap : nullptr;
}

bitmap_texture* animate_get_real_texture_from_list(frame_item* list, int n) {
    if (n < 0) {
        report_error(1, "animate_get_real_texture_from_list: frame_number<0 !!!\n");
        return nullptr;
    }
    while (list && !list->placeholder && n-- > 0) list = list->next;
    return list && !list->placeholder ? list->bitmap : nullptr;
}

int frame_list_uses_bitmap(const frame_item* list, const bitmap_texture* bitmap) {
    for (; list; list = list->next) {
        if (bitmap && list->bitmap == bitmap && list->transparent_index == bitmap->image.transparent_index) return 1;
    }
    return 0;
}

int animation_uses_bitmap(const animation* a, const bitmap_texture* bitmap) {
    if (!a) return 0;
    for (const frame_item* list : a->views) {
        if (frame_list_uses_bitmap(list, bitmap)) return 1;
    }
    return 0;
}

bitmap_texture* animate_get_next_texture(const animation* a, int frame, const vec3& from, const vec3& facing) {
    if (!a) {
        report_error(1, "animate_get_next_texture: got a NULL animation !!!\n");
        return nullptr;
    }
    double c = vec_dot(from, facing);
    if (c > 1.0000001) {
        report_error(1, "animate_get_next_texture: cos_angle>1 !!!\n");
    } else if (c > 1) {
        c = 1;
    }
    if (c < -1.0000001) {
        report_error(1, "animate_get_next_texture: cos_angle<-1 !!!\n");
        return nullptr;
    }
    if (c < -1) c = -1;
    // Lists tried, nearest view first, for each band of the angle.
    static constexpr int orders[5][5] = {
        {view_back, view_back_sided, view_side, view_front_sided, view_front},
        {view_back_sided, view_back, view_side, view_front_sided, view_front},
        {view_side, view_back_sided, view_front_sided, view_back, view_front},
        {view_front_sided, view_side, view_front, view_back_sided, view_back},
        {view_front, view_front_sided, view_side, view_back_sided, view_back}};
    const int band = c > 0.923879532 ? 0 : c > 0.382683432 ? 1 : c > -0.382683432 ? 2 : c > -0.923879532 ? 3 : 4;
    if (frame >= 0) {
        for (const int view : orders[band]) {
            const frame_item* item = animate_get_frame(animation_get_list(a, view), frame);
            if (item) return item->bitmap;
        }
    }
    report_error(1, "animate_get_next_texture: animation list is empty !!!\n");
    return nullptr;
}

int is_left_of(const vec3& a, const vec3& b) { return a.y * b.x - b.y * a.x < 0 ? 1 : 0; }

void animation_factor_speed(animation* a, double k) {
    if (!a) return;
    if (k <= 0) {
        report_error(1, "animation_factor_speed: factor is <=0 !!!\n");
        return;
    }
    a->speed_factor *= k;
    for (int i = 0; i < a->frame_count && a->durations && a->exact_durations; ++i) {
        a->exact_durations[i] *= k;
        // Rounded half up; a frame never lasts less than one hundredth.
        const auto rounded = static_cast<uint32_t>(a->exact_durations[i] + 0.5);
        a->durations[i] = rounded < 1 ? 1 : rounded;
    }
}

void animation_set_speed(animation* a, double s) {
    if (!a) return;
    if (s <= 0) {
        report_error(1, "animation_set_speed: speed is <=0 !!!\n");
        return;
    }
    if (a->speed_factor <= 0) {
        report_error(1, "animation_set_speed: internal error !!!\n");
        return;
    }
    animation_factor_speed(a, s / a->speed_factor);
}

void frame_item_set_bitmap(frame_item* item, bitmap_texture* bitmap) {
    if (!item) return;
    item->bitmap = bitmap;
    jstrcpy_with_allocating(&item->name, bitmap ? bitmap->image.name : nullptr);
    item->transparent_index = bitmap ? bitmap->image.transparent_index : 0;
}

void frame_list_push(frame_item** list, frame_item* item) {
    if (!list || !item) return;
    item->next = *list;
    *list = item;
}

void add_frame_item_as_last(frame_item** list, frame_item* item) {
    if (!list || !item) {
        report_error(1, "add_frame_item_as_last: bad params\n");
        return;
    }
    frame_item** slot = list;
    while (*slot && !(*slot)->placeholder) slot = &(*slot)->next;
    item->next = *slot;
    *slot = item;
}

int add_frame_item(frame_item** list, frame_item* item, int position) {
    if (!list || !item) {
        report_error(1, "add_frame_item: bad params\n");
        return -1;
    }
    const int real = list_length(*list, true);
    if (position < 0 || position >= real) {
        add_frame_item_as_last(list, item);
        return real;
    }
    frame_item** slot = list;
    for (int i = 0; i < position; ++i) {
        if (!*slot) {
            report_error(1, "add_frame_item: internal error\n");
            return -1;
        }
        slot = &(*slot)->next;
    }
    item->next = *slot;
    *slot = item;
    return position;
}

int animation_add_bitmap(animation* a, int view_type, bitmap_texture* bitmap, int position) {
    if (!a || view_type < view_front || view_type > view_back) return -1;
    frame_item* item = init_frame_item();
    if (!item) return -1;
    frame_item_set_bitmap(item, bitmap);
    const int used = add_frame_item(&a->views[view_back - view_type], item, position);
    if (used < 0) free_frame_item(item);
    return used;
}

int animation_remove_bitmap(animation* a, int view_type, int n) {
    if (!a || view_type < view_front || view_type > view_back || n < 0) return -1;
    frame_item** slot = &a->views[view_back - view_type];
    for (int i = 0; i < n && *slot; ++i) slot = &(*slot)->next;
    if (!*slot) return -1;
    frame_item* item = *slot;
    *slot = item->next;
    free_frame_item(item);
    return 0;
}

void polygon_choose_animation_texture(polygon* p, const camera* c) {
    if (!p || !p->anim || !c) return;
    vec3 viewing{p->centre[0] - c->location[0], p->centre[1] - c->location[1], 0};
    if (vec_normalize(viewing) != 0) viewing = {1, 0, 0};
    vec3 facing{p->plane[0], p->plane[1], 0};
    if (vec_normalize(facing) != 0) facing = {-viewing.x, -viewing.y, 0};
    if (bitmap_texture* b = animate_get_next_texture(p->anim, p->animation_frame, viewing, facing)) p->texture = b;
    polygon_advance_animation_frame(p);
}
