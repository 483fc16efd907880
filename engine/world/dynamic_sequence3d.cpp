// Dynamic objects playing 3D animations: switching sequences (at once or through a transition),
// the per-frame step of their sequence, and unhooking deleted animations and sequences.
#include "world/dynamic_sequence3d.h"

#include <cmath>
#include <string>

#include "foundation/engine_clock.h"
#include "foundation/strings.h"
#include "world/anim3d.h"
#include "world/anim3d_load.h"
#include "world/bsp_node.h"
#include "world/bsp_tree.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/world_order.h"

namespace {

void drop_temporary(dynamic_object* d) {
    seq3d* current = d->sequence;
    if (current && current->temporary) {
        d->sequence = nullptr;
        sequence3d_delete(current);
    }
}

bool has_steps(const seq3d* s) { return s->step_count > 0 && s->frame_indexes && s->durations; }

// A temporary, non-cyclic sequence from the picture shown now in `current` to the first frame of
// `next` over `ms`; NULL when it cannot be made.
seq3d* make_transition(seq3d* current, const seq3d* next, int ms) {
    double p = sequence3d_get_position_in_sequence(current);
    if (p < 0 || p >= current->step_count) p = 0;
    const int step = static_cast<int>(std::floor(p));
    const int after = static_cast<int>(std::ceil(p));
    const int duration = current->durations[step];
    const int half = static_cast<int>(ms * 0.5);
    const int first_part = duration > half ? half : duration;
    const double spent = (p - step) * current->speed * duration;
    seq3d* t = init_seq3d();
    if (!t) return nullptr;
    const std::string name = std::string("Transition_from_") + (current->name ? current->name : "") + "_to_" +
                             (next->name ? next->name : "");
    if (!jstrcpy_with_allocating(&t->name, name.c_str()) || sequence3d_set_steps(t, 4, 0) != 0) {
        sequence3d_delete(t);
        return nullptr;
    }
    const int target = next->frame_indexes[0];
    const int32_t frames[4] = {target, current->frame_indexes[step],
                               current->frame_indexes[after == current->step_count ? 0 : after], target};
    const int32_t durations[4] = {0, first_part, ms, 0};
    for (int i = 0; i < 4; ++i) {
        t->frame_indexes[i] = frames[i];
        t->durations[i] = durations[i];
    }
    t->total_duration = ms + first_part;
    t->cyclic = 0;
    t->transition = 1;
    t->start_tick = engine_clock_now() - static_cast<uint32_t>(spent) - 1;
    return t;
}

// Whether the sequence has passed its end since it started (the position read counts the laps).
bool has_finished(seq3d* s) {
    sequence3d_get_position_in_sequence(s);
    return s->loop_count > 0;
}

}  // namespace

int dynamic_set_3D_sequence_at_once(dynamic_object* d, seq3d* s) {
    if (!d) return -1;
    if (d->sequence == s) return 0;
    drop_temporary(d);
    d->next_sequence = nullptr;
    d->sequence = s;
    if (s) {
        s->loop_count = 0;
        s->start_tick = 0;
        s->position = 0;
    }
    return 0;
}

int dynamic_set_3D_sequence(dynamic_object* d, seq3d* s, int transition_ms) {
    if (!d || !s || transition_ms < 0) return -1;
    seq3d* current = d->sequence;
    if (!current || transition_ms == 0 || !has_steps(s)) return dynamic_set_3D_sequence_at_once(d, s);
    if (!has_steps(current)) return -1;
    seq3d* t = make_transition(current, s, transition_ms);
    if (!t) return -1;
    drop_temporary(d);
    d->sequence = t;
    d->next_sequence = s;
    return 0;
}

int dynamic_set_3D_animation(dynamic_object* d, anim3d* a) {
    if (!d || !a || !d->own_module) return -1;
    module* m = d->own_module;
    bsp_node* root = init_bsp_node();
    if (!root) return -1;
    drop_temporary(d);
    d->sequence = d->next_sequence = nullptr;
    bsp_tree_destroy(m->root);
    m->root = root;
    d->animation3d = a;
    dynamic_set_3D_sequence_at_once(d, a->sequences);
    const int result = anim3d_create_polygon_list(a, 0, &root->polygons);
    for (polygon* p = root->polygons; p; p = p->next) p->owner = d;
    build_module_bsp_tree(m, false);
    thread_polygons_in_world_order();
    return result;
}

void dynamic_step_3D_animation(dynamic_object* d) {
    if (!d || !d->animation3d || !d->own_module || !d->own_module->root || !d->sequence) return;
    seq3d* next = d->next_sequence;
    if (next && d->sequence->step_count > 0 && has_finished(d->sequence)) {
        // A transition ends on the next sequence's first frame: that one follows at once.
        if (d->sequence->transition) {
            dynamic_set_3D_sequence_at_once(d, next);
        } else {
            dynamic_set_3D_sequence(d, next, d->transition_time > 0 ? d->transition_time : 0);
        }
    }
    anim3d_update_polygon_list_to_frame(d->animation3d, d->sequence, d->own_module->root->polygons);
}

void dynamic_release_3D_sequences(dynamic_object* d) {
    if (!d) return;
    drop_temporary(d);
    d->sequence = d->next_sequence = nullptr;
    d->animation3d = nullptr;
}

void sequence3d_forget(const seq3d* s) {
    dynamic_for_each(engine_state.dynamic_objects, [s](dynamic_object* d) {
        if (d->sequence == s) d->sequence = nullptr;
        if (d->next_sequence == s) d->next_sequence = nullptr;
    });
}

void anim3d_forget(const anim3d* a) {
    dynamic_for_each(engine_state.dynamic_objects, [a](dynamic_object* d) {
        if (d->animation3d != a) return;
        dynamic_release_3D_sequences(d);
    });
}
