// Object family, 3D animation part: the 3D animation an object carries and the sequence it plays.
#include "api/export_guards.h"
#include "world/dynamic_sequence3d.h"

namespace {

// The name each export's checks print and its value when refused.
const api_export_row object_3d_exports[] = {
    {"Drovik_object_get_3D_animation", "Drovik_object_get_3D_animation", 0},
    {"Drovik_object_set_3D_animation", "Drovik_object_set_3D_animation", -1},
    {"Drovik_object_set_3D_sequence", "Drovik_object_set_3D_sequence", -1},
    {"Drovik_object_replace_3D_sequence_when_finished", "Drovik_object_set_3D_sequence", 0},
    {"Drovik_object_get_3D_sequence", "Drovik_object_set_3D_sequence", 0},
};

const api_export_row& row_of(const char* export_name) { return api_export_row_of(object_3d_exports, export_name); }

dynamic_object* checked_object(const api_export_row& row, DROVIK_HANDLE handle) {
    return api_check_handle(handle, row.check_name, DROVIK_KIND_OBJECT) ? static_cast<dynamic_object*>(handle)
                                                                         : nullptr;
}

// The object and the sequence, both checked under the row's name; false when either is refused.
bool checked_pair(const api_export_row& row, DROVIK_HANDLE object, DROVIK_HANDLE sequence, dynamic_object*& d,
                  seq3d*& s) {
    d = checked_object(row, object);
    if (!d || !api_check_handle(sequence, row.check_name, DROVIK_KIND_SEQUENCE3D)) return false;
    s = static_cast<seq3d*>(sequence);
    return true;
}

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_object_get_3D_animation(DROVIK_HANDLE object) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    dynamic_object* d = checked_object(row, object);
    if (!d) return api_refusal{row};
    return d->animation3d;
}

DROVIK_API int Drovik_object_set_3D_animation(DROVIK_HANDLE object, DROVIK_HANDLE animation) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    dynamic_object* d = checked_object(row, object);
    if (!d || !api_check_handle(animation, row.check_name, DROVIK_KIND_ANIMATION3D)) return api_refusal{row};
    return dynamic_set_3D_animation(d, static_cast<anim3d*>(animation));
}

DROVIK_API int Drovik_object_set_3D_sequence(DROVIK_HANDLE object, DROVIK_HANDLE sequence, int transition_ms) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    dynamic_object* d = nullptr;
    seq3d* s = nullptr;
    if (!checked_pair(row, object, sequence, d, s) || transition_ms < 0) return api_refusal{row};
    return dynamic_set_3D_sequence(d, s, transition_ms);
}

DROVIK_API int Drovik_object_replace_3D_sequence_when_finished(DROVIK_HANDLE object, DROVIK_HANDLE sequence,
                                                              int transition_ms) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    dynamic_object* d = nullptr;
    seq3d* s = nullptr;
    if (!checked_pair(row, object, sequence, d, s)) return api_refusal{row};
    d->next_sequence = s;
    d->transition_time = transition_ms;
    return transition_ms;
}

DROVIK_API DROVIK_HANDLE Drovik_object_get_3D_sequence(DROVIK_HANDLE object) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    dynamic_object* d = checked_object(row, object);
    if (!d) return api_refusal{row};
    return d->sequence;
}
