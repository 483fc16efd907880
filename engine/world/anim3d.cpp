// 3D animations (vertex-animated MD2 models), their frames and their sequences: records, lists,
// unique names, positions in time and interpolation between frames.
#include "world/anim3d.h"

#include <cmath>

#include "foundation/dictionary.h"
#include "foundation/engine_clock.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "world/dynamic_object.h"
#include "world/dynamic_sequence3d.h"
#include "world/engine_state.h"
#include "world/entity_list.h"

namespace {

void report(const char* text) {
    if (anim3d_report_errors()) report_error(1, text);
}

template <typename T>
T* find_named(T* list, const char* name) {
    if (!name) return nullptr;
    for (; list; list = list->next) {
        if (list->name && jstricmp(list->name, name) == 0) return list;
    }
    return nullptr;
}

template <typename T>
int unique_name(T* list, std::string& name, const char* owner) {
    return find_unique_name(
        name, [list](const std::string& n) { return find_named(list, n.c_str()) != nullptr; }, false, owner);
}

// The start tick of a sequence that has run `spent` ms by now; 0 is kept for "not started".
uint32_t start_tick_for(uint32_t now, uint32_t spent) {
    const uint32_t start = now - spent;
    return start != 0 ? start : UINT32_MAX;
}

// Takes every record off the list, first to last, and deletes it.
template <typename T>
void delete_each(T** list, void (*remove)(T*)) {
    if (!list) return;
    while (*list) {
        T* record = *list;
        *list = record->next;
        remove(record);
    }
}

void frame3d_delete(frame3d* f) {
    engine_free(f->name);
    record_destroy(f);
}

// An engine copy of `count` values (room for one at least, so that an empty array exists too).
int32_t* copy_array(const int32_t* source, int count) {
    auto* copy = static_cast<int32_t*>(engine_alloc(sizeof(int32_t) * static_cast<size_t>(count > 0 ? count : 1)));
    if (copy && source) {
        for (int i = 0; i < count; ++i) copy[i] = source[i];
    }
    return copy;
}

}  // namespace

int& anim3d_report_errors() {
    static int flag = 1;
    return flag;
}

anim3d* init_anim3d() {
    auto* a = record_new<anim3d>(kind_anim3d);
    if (!a) report(anim3d_texts::anim_alloc);
    return a;
}

frame3d* init_frame3d() {
    auto* f = record_new<frame3d>(kind_frame3d);
    if (!f) report(anim3d_texts::frame_alloc);
    return f;
}

seq3d* init_seq3d() {
    auto* s = record_new<seq3d>(kind_seq3d);
    if (!s) {
        report(anim3d_texts::seq_alloc);
        return nullptr;
    }
    s->speed = 1.0;
    s->cyclic = 1;
    s->temporary = 1;
    return s;
}

void anim3d_delete(anim3d* a) {
    if (!a) return;
    anim3d_forget(a);
    delete_each(&a->frames, frame3d_delete);
    sequence3d_delete_all(&a->sequences);
    engine_free(a->name);
    engine_free(a->file_name);
    engine_free(a->model);
    record_destroy(a);
}

void anim3d_delete_all(anim3d** list) { delete_each(list, anim3d_delete); }

anim3d* anim3d_get_next(const anim3d* a) { return a ? a->next : nullptr; }

int anim3d_unlink(anim3d** list, anim3d* a) {
    if (list_remove(list, a) != 0) return -1;
    anim3d_forget(a);
    return 0;
}

int anim3d_find_unique_name(anim3d* list, std::string& name) {
    return unique_name(list, name, "anim3d_find_unique_name");
}

int sequence3d_find_unique_name(seq3d* list, std::string& name) {
    return unique_name(list, name, "sequence3d_find_unique_name");
}

anim3d* anim3d_find(anim3d* list, const char* name) { return find_named(list, name); }
seq3d* sequence3d_find(seq3d* list, const char* name) { return find_named(list, name); }

seq3d* sequence3d_create(seq3d** list, const char* name) {
    if (!list) return nullptr;
    std::string unique = name ? name : "";
    if (sequence3d_find_unique_name(*list, unique) != 0) return nullptr;
    seq3d* s = init_seq3d();
    if (!s) return nullptr;
    if (!jstrcpy_with_allocating(&s->name, unique.c_str())) {
        record_destroy(s);
        return nullptr;
    }
    sequence3d_append(list, s);
    return s;
}

void sequence3d_push(seq3d** list, seq3d* s) {
    if (!list || !s) return;
    s->temporary = 0;
    list_push(list, s);
}

void sequence3d_append(seq3d** list, seq3d* s) {
    if (!list || !s) return;
    s->temporary = 0;
    s->next = nullptr;
    seq3d** tail = list;
    while (*tail) tail = &(*tail)->next;
    *tail = s;
}

int sequence3d_set_steps(seq3d* s, int steps, int duration) {
    if (!s || steps < 0) return -1;
    const size_t bytes = sizeof(int32_t) * static_cast<size_t>(steps > 0 ? steps : 1);
    auto* frames = static_cast<int32_t*>(engine_alloc(bytes));
    auto* durations = static_cast<int32_t*>(engine_alloc(bytes));
    if (!frames || !durations) {
        engine_free(frames);
        engine_free(durations);
        return -1;
    }
    engine_free(s->frame_indexes);
    engine_free(s->durations);
    s->frame_indexes = frames;
    s->durations = durations;
    s->step_count = steps;
    for (int i = 0; i < steps; ++i) s->durations[i] = duration;
    s->total_duration = steps * duration;
    return 0;
}

void sequence3d_delete(seq3d* s) {
    if (!s) return;
    sequence3d_forget(s);
    engine_free(s->name);
    engine_free(s->frame_indexes);
    engine_free(s->durations);
    record_destroy(s);
}

void sequence3d_delete_all(seq3d** list) { delete_each(list, sequence3d_delete); }

seq3d* sequence3d_duplicate(anim3d* a, const seq3d* source, const char* name) {
    if (!a || !source) return nullptr;
    seq3d* s = sequence3d_create(&a->sequences, name);
    if (!s) return nullptr;
    int32_t* frames = copy_array(source->frame_indexes, source->step_count);
    int32_t* durations = copy_array(source->durations, source->step_count);
    if (!frames || !durations) {
        engine_free(frames);
        engine_free(durations);
        list_remove(&a->sequences, s);
        sequence3d_delete(s);
        return nullptr;
    }
    s->frame_indexes = frames;
    s->durations = durations;
    s->step_count = source->step_count;
    s->start_tick = source->start_tick;
    s->speed = source->speed;
    s->cyclic = source->cyclic;
    s->paused = source->paused;
    s->backwards = source->backwards;
    s->position = source->position;
    s->loop_count = source->loop_count;
    s->total_duration = 0;
    for (int i = 0; i < s->step_count; ++i) {
        if (s->frame_indexes[i] > a->frame_count - 1) {
            report(anim3d_texts::duplicate_wrong);
            s->frame_indexes[i] = a->frame_count - 1;
        }
        s->total_duration += s->durations[i];
    }
    return s;
}

double sequence3d_get_position_in_sequence(seq3d* s) {
    if (!s) return 0;
    if (s->paused) return s->position;
    const uint32_t now = engine_clock_now();
    if (s->start_tick == 0) {
        s->start_tick = now;
        return 0;
    }
    // Unsigned: right across a wrap of the tick.
    double elapsed = static_cast<uint32_t>(now - s->start_tick);
    const double total = s->total_duration * s->speed;
    if (total <= 0) {
        report(anim3d_texts::start_in_future);
        return 0;
    }
    if (elapsed > total) {
        s->loop_count++;
        if (!s->cyclic) return 0;
        elapsed = std::fmod(elapsed, total);
        s->start_tick = start_tick_for(now, static_cast<uint32_t>(elapsed));
    }
    double step_start = 0;
    for (int i = 0; i < s->step_count; ++i) {
        const double length = s->speed * s->durations[i];
        if (length < 1e-10) continue;
        if (step_start + length >= elapsed) return i + (elapsed - step_start) / length;
        step_start += length;
    }
    if (elapsed - step_start < 1e-6) return s->step_count - 1;
    report(anim3d_texts::position_internal);
    s->start_tick = now;
    return 0;
}

int sequence3d_set_current_position(seq3d* s, double position) {
    if (!s) return -1;
    if (position == s->step_count) position = 0;
    if (position < 0 || position > s->step_count) {
        report(anim3d_texts::position_range);
        return -1;
    }
    const int whole = static_cast<int>(position);
    double spent = 0;
    for (int i = 0; i < whole; ++i) spent += s->speed * s->durations[i];
    if (whole < s->step_count) spent += s->speed * s->durations[whole] * (position - whole);
    s->start_tick = start_tick_for(engine_clock_now(), static_cast<uint32_t>(spent));
    s->loop_count = 0;
    s->position = position;
    return 0;
}

double sequence3d_get_interpulation_factor(seq3d* s, int* frame_a, int* frame_b) {
    *frame_a = *frame_b = 0;
    if (!s) {
        report(anim3d_texts::factor_null);
        return 0;
    }
    double p = sequence3d_get_position_in_sequence(s);
    if (!s->paused && s->backwards) p = s->step_count - p;
    if (p < 0 || p > s->step_count || s->step_count < 1 || !s->frame_indexes) {
        report(anim3d_texts::bad_position);
        return 0;
    }
    s->position = p;
    const int low = static_cast<int>(std::floor(p));
    const int high = static_cast<int>(std::ceil(p));
    // The step after the last is the first again.
    *frame_a = s->frame_indexes[low == s->step_count ? 0 : low];
    *frame_b = s->frame_indexes[high == s->step_count ? 0 : high];
    return high - p;
}

void sequence3d_set_backwards(seq3d* s, int flag) {
    if (!s) return;
    const uint8_t backwards = flag == 1 ? 1 : 0;
    if (s->backwards == backwards) return;
    s->backwards = backwards;
    // Mirrored, so that the picture does not jump.
    double p = s->step_count - sequence3d_get_position_in_sequence(s);
    if (p >= s->step_count) p -= s->step_count;
    sequence3d_set_current_position(s, p);
}

void sequence3d_pause(seq3d* s) {
    if (s) s->paused = 1;
}

void sequence3d_play(seq3d* s) {
    if (!s) return;
    s->paused = 0;
    const int32_t laps = s->loop_count;
    sequence3d_set_current_position(s, s->position);
    s->loop_count = laps;
}

void sequence3d_set_speed(seq3d* s, double speed) {
    if (!s || speed < 0) return;
    const double p = sequence3d_get_position_in_sequence(s);
    s->speed = speed;
    sequence3d_set_current_position(s, p);
}

int sequence3d_set_frame_duration(seq3d* s, int step, int duration) {
    if (!s || step < 0 || step >= s->step_count || duration < 0) return -1;
    s->total_duration += duration - s->durations[step];
    s->durations[step] = duration;
    return 0;
}
