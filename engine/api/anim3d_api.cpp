// 3D animation and 3D sequence families: listing and deleting the loaded 3D animations, and
// playing, pausing, reversing and timing their sequences.
#include <string>

#include "api/export_guards.h"
#include "world/anim3d.h"
#include "world/engine_state.h"
#include "world/entity_list.h"

namespace {

// The name each export's checks print and its value when refused.
const api_export_row anim3d_exports[] = {
    {"Drovik_3D_animation_get_next", "Drovik_3D_animation_get_next_anim3d", 0},
    {"Drovik_3D_animation_get_using_name", "Drovik_3D_animation_get_using_name", 0},
    {"Drovik_3D_animation_get_name", "Drovik_3D_animation_get_name", 0},
    {"Drovik_3D_animation_delete", "Drovik_3D_animation_delete", -1},
    {"Drovik_3D_sequence_get_first", "Drovik_3D_sequence_get_first", 0},
    {"Drovik_3D_sequence_get_next", "Drovik_3D_sequence_get_next_seq3d", 0},
    {"Drovik_3D_sequence_get_using_name", "Drovik_3D_sequence_delete_all", 0},
    {"Drovik_3D_sequence_get_name", "Drovik_3D_sequence_get_name", 0},
    {"Drovik_3D_sequence_duplicate", "Drovik_3D_sequence_duplicate", 0},
    {"Drovik_3D_sequence_delete", "Drovik_3D_sequence_delete_all", -1},
    {"Drovik_3D_sequence_delete_all", "Drovik_3D_sequence_delete_all", 0},
    {"Drovik_3D_sequence_get_speed", "Drovik_3D_sequence_get_next_seq3d", 0},
    {"Drovik_3D_sequence_set_speed", "Drovik_3D_sequence_set_speed", 0},
    {"Drovik_3D_sequence_get_number_of_frames", "Drovik_3D_sequence_get_number_of_frames", 0},
    {"Drovik_3D_sequence_get_frame_duration", "Drovik_3D_sequence_get_frame_duration", -1},
    {"Drovik_3D_sequence_set_frame_duration", "Drovik_3D_sequence_get_frame_duration", -1},
    {"Drovik_3D_sequence_is_cyclic", "Drovik_3D_sequence_is_cyclic", 0},
    {"Drovik_3D_sequence_set_cyclic", "Drovik_3D_sequence_is_cyclic", 0},
    {"Drovik_3D_sequence_set_current_frame", "Drovik_3D_sequence_set_current_frame", 0},
    {"Drovik_3D_sequence_get_current_frame", "Drovik_3D_sequence_get_current_frame", 0},
    {"Drovik_3D_sequence_pause", "Drovik_3D_sequence_pause", 0},
    {"Drovik_3D_sequence_play", "Drovik_3D_sequence_play", 0},
    {"Drovik_3D_sequence_is_paused", "Drovik_3D_sequence_is_paused", 0},
    {"Drovik_3D_sequence_backwards_play", "Drovik_3D_sequence_backwards_play", 0},
    {"Drovik_3D_sequence_is_backwards", "Drovik_3D_sequence_is_backwards", 0},
    {"Drovik_3D_sequence_get_number_of_laps", "Drovik_3D_sequence_is_backwards", 0},
};

namespace texts {
inline constexpr const char* null_name = "got a NULL string\n";
}  // namespace texts

const api_export_row& row_of(const char* export_name) { return api_export_row_of(anim3d_exports, export_name); }

anim3d* checked_animation(const api_export_row& row, DROVIK_HANDLE handle) {
    return api_check_handle(handle, row.check_name, DROVIK_KIND_ANIMATION3D) ? static_cast<anim3d*>(handle)
                                                                              : nullptr;
}

seq3d* checked_sequence(const api_export_row& row, DROVIK_HANDLE handle) {
    return api_check_handle(handle, row.check_name, DROVIK_KIND_SEQUENCE3D) ? static_cast<seq3d*>(handle) : nullptr;
}

// The whole work of an export over one sequence: `work` on the checked sequence, or the row's
// failure value.
template <typename T, typename F>
T with_sequence(const char* export_name, DROVIK_HANDLE handle, F&& work) {
    engine_guard guard;
    const api_export_row& row = row_of(export_name);
    seq3d* s = checked_sequence(row, handle);
    if (!s) return api_refusal{row};
    return work(s);
}

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_3D_animation_get_first(void) {
    engine_guard guard;
    return engine_state.animations3d;
}

DROVIK_API DROVIK_HANDLE Drovik_3D_animation_get_next(DROVIK_HANDLE animation) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    anim3d* a = checked_animation(row, animation);
    if (!a) return api_refusal{row};
    return a->next;
}

DROVIK_API DROVIK_HANDLE Drovik_3D_animation_get_using_name(const char* name) {
    engine_guard guard;
    if (!name) {
        api_report(row_of(__func__).check_name, texts::null_name);
        return nullptr;
    }
    return anim3d_find(engine_state.animations3d, name);
}

DROVIK_API const char* Drovik_3D_animation_get_name(DROVIK_HANDLE animation) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    anim3d* a = checked_animation(row, animation);
    if (!a) return api_refusal{row};
    return a->name;
}

DROVIK_API int Drovik_3D_animation_delete(DROVIK_HANDLE animation) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    anim3d* a = checked_animation(row, animation);
    if (!a) return api_refusal{row};
    if (anim3d_unlink(&engine_state.animations3d, a) != 0) return -1;
    anim3d_delete(a);
    return 0;
}

DROVIK_API void Drovik_3D_animation_delete_all(void) {
    engine_guard guard;
    anim3d_delete_all(&engine_state.animations3d);
}

DROVIK_API DROVIK_HANDLE Drovik_3D_sequence_get_first(DROVIK_HANDLE animation) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    anim3d* a = checked_animation(row, animation);
    if (!a) return api_refusal{row};
    return a->sequences;
}

DROVIK_API DROVIK_HANDLE Drovik_3D_sequence_get_next(DROVIK_HANDLE sequence) {
    return with_sequence<DROVIK_HANDLE>(__func__, sequence, [](seq3d* s) { return s->next; });
}

DROVIK_API DROVIK_HANDLE Drovik_3D_sequence_get_using_name(DROVIK_HANDLE animation, const char* name) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    anim3d* a = checked_animation(row, animation);
    if (!a) return api_refusal{row};
    if (!name) {
        api_report(__func__, texts::null_name);
        return nullptr;
    }
    return sequence3d_find(a->sequences, name);
}

DROVIK_API const char* Drovik_3D_sequence_get_name(DROVIK_HANDLE sequence) {
    return with_sequence<const char*>(__func__, sequence, [](seq3d* s) { return s->name; });
}

DROVIK_API DROVIK_HANDLE Drovik_3D_sequence_duplicate(DROVIK_HANDLE animation, DROVIK_HANDLE sequence,
                                                      const char* name) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    anim3d* a = checked_animation(row, animation);
    seq3d* s = a ? checked_sequence(row, sequence) : nullptr;
    if (!s) return api_refusal{row};
    return sequence3d_duplicate(a, s, name);
}

DROVIK_API int Drovik_3D_sequence_delete(DROVIK_HANDLE animation, DROVIK_HANDLE sequence) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    anim3d* a = checked_animation(row, animation);
    seq3d* s = a ? checked_sequence(row, sequence) : nullptr;
    if (!s) return api_refusal{row};
    // A sequence of another animation stays where it is.
    if (list_remove(&a->sequences, s) != 0) return -1;
    sequence3d_delete(s);
    return 0;
}

DROVIK_API void Drovik_3D_sequence_delete_all(DROVIK_HANDLE animation) {
    engine_guard guard;
    anim3d* a = checked_animation(row_of(__func__), animation);
    if (a) sequence3d_delete_all(&a->sequences);
}

DROVIK_API double Drovik_3D_sequence_get_speed(DROVIK_HANDLE sequence) {
    return with_sequence<double>(__func__, sequence, [](seq3d* s) { return s->speed; });
}

DROVIK_API int Drovik_3D_sequence_set_speed(DROVIK_HANDLE sequence, double speed) {
    return with_sequence<int>(__func__, sequence, [speed](seq3d* s) {
        sequence3d_set_speed(s, speed);
        return 0;
    });
}

DROVIK_API int Drovik_3D_sequence_get_number_of_frames(DROVIK_HANDLE sequence) {
    return with_sequence<int>(__func__, sequence, [](seq3d* s) { return s->step_count; });
}

DROVIK_API int Drovik_3D_sequence_get_frame_duration(DROVIK_HANDLE sequence, int index) {
    return with_sequence<int>(__func__, sequence, [index](seq3d* s) {
        return index >= 0 && index < s->step_count ? s->durations[index] : -1;
    });
}

DROVIK_API int Drovik_3D_sequence_set_frame_duration(DROVIK_HANDLE sequence, int index, int duration) {
    return with_sequence<int>(__func__, sequence,
                              [=](seq3d* s) { return sequence3d_set_frame_duration(s, index, duration); });
}

DROVIK_API int Drovik_3D_sequence_is_cyclic(DROVIK_HANDLE sequence) {
    return with_sequence<int>(__func__, sequence, [](seq3d* s) { return static_cast<int>(s->cyclic); });
}

DROVIK_API int Drovik_3D_sequence_set_cyclic(DROVIK_HANDLE sequence, int yes_no) {
    return with_sequence<int>(__func__, sequence, [yes_no](seq3d* s) {
        s->cyclic = yes_no ? 1 : 0;
        return static_cast<int>(s->cyclic);
    });
}

DROVIK_API int Drovik_3D_sequence_set_current_frame(DROVIK_HANDLE sequence, double position) {
    return with_sequence<int>(__func__, sequence,
                              [position](seq3d* s) { return sequence3d_set_current_position(s, position); });
}

DROVIK_API double Drovik_3D_sequence_get_current_frame(DROVIK_HANDLE sequence) {
    return with_sequence<double>(__func__, sequence,
                                 [](seq3d* s) { return sequence3d_get_position_in_sequence(s); });
}

DROVIK_API int Drovik_3D_sequence_pause(DROVIK_HANDLE sequence) {
    return with_sequence<int>(__func__, sequence, [](seq3d* s) {
        sequence3d_pause(s);
        return 0;
    });
}

DROVIK_API int Drovik_3D_sequence_play(DROVIK_HANDLE sequence) {
    return with_sequence<int>(__func__, sequence, [](seq3d* s) {
        sequence3d_play(s);
        return 0;
    });
}

DROVIK_API int Drovik_3D_sequence_is_paused(DROVIK_HANDLE sequence) {
    return with_sequence<int>(__func__, sequence, [](seq3d* s) { return static_cast<int>(s->paused); });
}

DROVIK_API int Drovik_3D_sequence_backwards_play(DROVIK_HANDLE sequence, int yes_no) {
    return with_sequence<int>(__func__, sequence, [yes_no](seq3d* s) {
        sequence3d_set_backwards(s, yes_no);
        return 0;
    });
}

DROVIK_API int Drovik_3D_sequence_is_backwards(DROVIK_HANDLE sequence) {
    return with_sequence<int>(__func__, sequence, [](seq3d* s) { return static_cast<int>(s->backwards); });
}

DROVIK_API int Drovik_3D_sequence_get_number_of_laps(DROVIK_HANDLE sequence) {
    return with_sequence<int>(__func__, sequence, [](seq3d* s) { return s->loop_count; });
}
