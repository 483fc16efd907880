// Track family: the point paths objects and cameras follow, their points, names and deletion.
#include "api/family_exports.h"
#include "foundation/errors.h"
#include "foundation/strings.h"
#include "world/engine_state.h"
#include "world/entity_list.h"
#include "world/track.h"

namespace {

// The name each export's checks print and its value when refused. A point index is never
// the answer of a refused call, so those exports refuse with -1.
const api_export_row track_exports[] = {
    {"Drovik_track_get_next", "Drovik_track_get_next", 0},
    {"Drovik_track_get_name", "Drovik_track_get_name", 0},
    {"Drovik_track_set_name", "Drovik_track_set_name", 0},
    {"Drovik_track_is_cyclic", "Drovik_track_is_cyclic", -1},
    {"Drovik_track_get_number_of_points", "Drovik_track_get_number_of_points", 0},
    {"Drovik_track_get_points", "Drovik_track_get_points", 0},
    {"Drovik_track_get_point", "Drovik_track_get_point", 0},
    {"Drovik_track_get_point_element", "Drovik_track_get_point_element", 0},
    {"Drovik_track_set_points_buffer", "Drovik_track_set_points_buffer", -1},
    {"Drovik_track_set_number_of_points", "Drovik_track_set_number_of_points", -1},
    {"Drovik_track_find_closest_point_on_track", "Drovik_track_find_closest_point_on_track", -1},
    {"Drovik_track_set_save_flag", "Drovik_track_set_save_flag", 0},
    {"Drovik_track_get_save_flag", "Drovik_track_get_save_flag", 0},
    {"Drovik_track_delete", "Drovik_track_delete", 0},
};

namespace texts {
inline constexpr const char* empty_name = "Drovik_track_set_name: can set an empty name\n";
inline constexpr const char* index_out_of_range = "Drovik_track_get_point: point index is out of range\n";
inline constexpr const char* bad_element = "Drovik_track_get_point: bad arguments\n";
inline constexpr const char* bad_save_flag = "Drovik_track_set_save_flag: bad arguments\n";
inline constexpr const char* not_found = "Drovik_track_delete: failed to extract track\n";
}  // namespace texts

template <typename F>
auto with_track(const char* export_name, DROVIK_HANDLE handle, F&& f) {
    return api_with_record<jtrack>(track_exports, export_name, handle, DROVIK_KIND_TRACK, f);
}

bool is_point(const jtrack* t, int index) { return index >= 0 && index < t->point_count; }

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_track_create(const char* name, int cyclic, const double* points, int count) {
    engine_guard guard;
    if (!points || count < 1) return nullptr;
    jtrack* t = track_create(&engine_state.tracks, name, cyclic, points, count);
    if (t) t->save = 1;
    return t;
}

DROVIK_API DROVIK_HANDLE Drovik_track_get_using_name(const char* name) {
    engine_guard guard;
    return track_find(engine_state.tracks, name);
}

DROVIK_API DROVIK_HANDLE Drovik_track_get_first_track() {
    engine_guard guard;
    return engine_state.tracks;
}

DROVIK_API DROVIK_HANDLE Drovik_track_get_next(DROVIK_HANDLE track_handle) {
    return with_track(__func__, track_handle, [](jtrack* t) -> DROVIK_HANDLE { return t->next; });
}

DROVIK_API const char* Drovik_track_get_name(DROVIK_HANDLE track_handle) {
    return with_track(__func__, track_handle, [](jtrack* t) -> const char* { return t->name; });
}

DROVIK_API void Drovik_track_set_name(DROVIK_HANDLE track_handle, const char* name) {
    with_track(__func__, track_handle, [name](jtrack* t) {
        if (!name || !*name) {
            api_log(texts::empty_name);
            return;
        }
        jstrcpy_with_allocating(&t->name, name);
    });
}

DROVIK_API int Drovik_track_is_cyclic(DROVIK_HANDLE track_handle) {
    return with_track(__func__, track_handle, [](jtrack* t) { return t->cyclic; });
}

DROVIK_API int Drovik_track_get_number_of_points(DROVIK_HANDLE track_handle) {
    return with_track(__func__, track_handle, [](jtrack* t) { return t->point_count; });
}

DROVIK_API const double* Drovik_track_get_points(DROVIK_HANDLE track_handle) {
    return with_track(__func__, track_handle, [](jtrack* t) -> const double* { return t->points; });
}

DROVIK_API int Drovik_track_get_point(DROVIK_HANDLE track_handle, int index, double point[3]) {
    return with_track(__func__, track_handle, [index, point](jtrack* t) {
        if (!is_point(t, index)) warning_box(texts::index_out_of_range);
        else if (point) api_put_vec(point, t->points + 3 * index);
        return 0;
    });
}

DROVIK_API double Drovik_track_get_point_element(DROVIK_HANDLE track_handle, int index, int element) {
    return with_track(__func__, track_handle, [index, element](jtrack* t) {
        if (!is_point(t, index) || element < 0 || element > 2) {
            warning_box(texts::bad_element);
            return 0.0;
        }
        return t->points[3 * index + element];
    });
}

DROVIK_API int Drovik_track_set_points_buffer(DROVIK_HANDLE track_handle, const double* points, int count) {
    return with_track(__func__, track_handle, [points, count](jtrack* t) { return track_set_points(t, points, count); });
}

DROVIK_API int Drovik_track_set_number_of_points(DROVIK_HANDLE track_handle, int count) {
    return with_track(__func__, track_handle, [count](jtrack* t) { return track_set_number_of_points(t, count); });
}

DROVIK_API int Drovik_track_find_closest_point_on_track(DROVIK_HANDLE track_handle, const double location[3]) {
    return with_track(__func__, track_handle, [location](jtrack* t) {
        return location ? track_find_closest_point(t, api_vec(location)) : -1;
    });
}

DROVIK_API int Drovik_track_set_save_flag(DROVIK_HANDLE track_handle, int yes_no) {
    return with_track(__func__, track_handle,
                      [yes_no](jtrack* t) { return api_set_yes_no(t->save, yes_no, texts::bad_save_flag); });
}

DROVIK_API int Drovik_track_get_save_flag(DROVIK_HANDLE track_handle) {
    return with_track(__func__, track_handle, [](jtrack* t) { return t->save; });
}

DROVIK_API void Drovik_track_delete(DROVIK_HANDLE track_handle) {
    with_track(__func__, track_handle, [](jtrack* t) {
        if (list_remove(&engine_state.tracks, t) != 0) {
            api_log(texts::not_found);
            return;
        }
        track_delete(t);
    });
}

DROVIK_API void Drovik_track_delete_all() {
    engine_guard guard;
    track_delete_all(&engine_state.tracks);
}
