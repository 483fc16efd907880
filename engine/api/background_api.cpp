// Background family: the sky backgrounds, the current one, their placement, brightness ramp,
// bitmap and deletion.
#include <string>

#include "api/family_exports.h"
#include "foundation/errors.h"
#include "foundation/strings.h"
#include "render/software/background.h"
#include "world/engine_state.h"

namespace {

// The name each export's checks print and its value when refused.
const api_export_row background_exports[] = {
    {"Drovik_background_create", "Drovik_background_create", 0},
    {"Drovik_background_get_next", "Drovik_background_get_next", 0},
    {"Drovik_background_use", "Drovik_background_use", 0},
    {"Drovik_background_set_distance", "Drovik_background_set_distance", 0},
    {"Drovik_background_get_distance", "Drovik_background_get_distance", 0},
    {"Drovik_background_set_bottom", "Drovik_background_set_bottom", 0},
    {"Drovik_background_get_bottom", "Drovik_background_set_bottom", 0},
    {"Drovik_background_set_bottom_intensity", "Drovik_background_set_bottom_intensity", -1},
    {"Drovik_background_get_bottom_intensity", "Drovik_background_get_bottom_intensity", 0},
    {"Drovik_background_set_intensity_step", "Drovik_background_set_intensity_step", -1},
    {"Drovik_background_get_intensity_step", "Drovik_background_get_intensity_step", 0},
    {"Drovik_background_set_save_flag", "Drovik_background_set_save_flag", 0},
    {"Drovik_background_get_save_flag", "Drovik_background_get_save_flag", 0},
    {"Drovik_background_set_name", "Drovik_background_set_name", 0},
    {"Drovik_background_get_name", "Drovik_background_get_name", 0},
    {"Drovik_background_set_bitmap", "Drovik_background_set_bitmap", 0},
    {"Drovik_background_get_bitmap", "Drovik_background_get_bitmap", 0},
    {"Drovik_background_get_bitmap_name", "Drovik_background_get_bitmap_name", 0},
    {"Drovik_background_delete", "Drovik_background_delete", 0},
};

namespace texts {
inline constexpr const char* bad_save_flag = "Drovik_background_set_save_flag: yes_no_flag is not YES and not NO\n";
inline constexpr const char* not_found = "Drovik_background_delete: Couldnt find the given background inside the engine\n";
}  // namespace texts

const api_export_row& row_of(const char* export_name) {
    return api_export_row_of(background_exports, export_name);
}

template <typename F>
auto with_background(const char* export_name, DROVIK_HANDLE handle, F&& f) {
    return api_with_record<background>(background_exports, export_name, handle, DROVIK_KIND_BACKGROUND, f);
}

// 0 once stored.
int set_value(const char* export_name, DROVIK_HANDLE handle, double background::*field, double value) {
    return with_background(export_name, handle, [field, value](background* b) {
        b->*field = value;
        return 0;
    });
}

double get_value(const char* export_name, DROVIK_HANDLE handle, double background::*field) {
    return with_background(export_name, handle, [field](background* b) { return b->*field; });
}

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_background_create(const char* name, DROVIK_HANDLE bitmap) {
    engine_guard guard;
    const api_export_row& row = row_of(__func__);
    if (!api_check_handle(bitmap, row.check_name, DROVIK_KIND_BITMAP)) return api_refusal{row};
    return background_create(&engine_state.backgrounds, name, static_cast<bitmap_texture*>(bitmap));
}

DROVIK_API DROVIK_HANDLE Drovik_background_get_handle(const char* name) {
    engine_guard guard;
    return background_find_by_name(engine_state.backgrounds, name);
}

DROVIK_API DROVIK_HANDLE Drovik_background_get_first_background() {
    engine_guard guard;
    return engine_state.backgrounds;
}

DROVIK_API DROVIK_HANDLE Drovik_background_get_next(DROVIK_HANDLE background_handle) {
    return with_background(__func__, background_handle, [](background* b) -> DROVIK_HANDLE { return b->next; });
}

DROVIK_API void Drovik_background_use(DROVIK_HANDLE background_handle) {
    engine_guard guard;
    if (!background_handle) {
        engine_state.current_background = nullptr;
        return;
    }
    with_background(__func__, background_handle, [](background* b) { engine_state.current_background = b; });
}

DROVIK_API DROVIK_HANDLE Drovik_background_get_current_background() {
    engine_guard guard;
    return engine_state.current_background;
}

DROVIK_API void Drovik_background_set_distance(DROVIK_HANDLE background_handle, double distance) {
    set_value(__func__, background_handle, &background::distance, distance);
}

DROVIK_API double Drovik_background_get_distance(DROVIK_HANDLE background_handle) {
    return get_value(__func__, background_handle, &background::distance);
}

DROVIK_API void Drovik_background_set_bottom(DROVIK_HANDLE background_handle, double bottom) {
    set_value(__func__, background_handle, &background::bottom, bottom);
}

DROVIK_API double Drovik_background_get_bottom(DROVIK_HANDLE background_handle) {
    return get_value(__func__, background_handle, &background::bottom);
}

DROVIK_API int Drovik_background_set_bottom_intensity(DROVIK_HANDLE background_handle, double intensity) {
    return set_value(__func__, background_handle, &background::bottom_intensity, intensity);
}

DROVIK_API double Drovik_background_get_bottom_intensity(DROVIK_HANDLE background_handle) {
    return get_value(__func__, background_handle, &background::bottom_intensity);
}

DROVIK_API int Drovik_background_set_intensity_step(DROVIK_HANDLE background_handle, double step) {
    return set_value(__func__, background_handle, &background::intensity_step, step);
}

DROVIK_API double Drovik_background_get_intensity_step(DROVIK_HANDLE background_handle) {
    return get_value(__func__, background_handle, &background::intensity_step);
}

DROVIK_API int Drovik_background_set_save_flag(DROVIK_HANDLE background_handle, int yes_no) {
    return with_background(__func__, background_handle,
                           [yes_no](background* b) { return api_set_yes_no(b->save, yes_no, texts::bad_save_flag); });
}

DROVIK_API int Drovik_background_get_save_flag(DROVIK_HANDLE background_handle) {
    return with_background(__func__, background_handle, [](background* b) { return b->save; });
}

DROVIK_API void Drovik_background_set_name(DROVIK_HANDLE background_handle, const char* name) {
    with_background(__func__, background_handle, [name](background* b) {
        if (name) jstrcpy_with_allocating(&b->name, name);
    });
}

DROVIK_API const char* Drovik_background_get_name(DROVIK_HANDLE background_handle) {
    return with_background(__func__, background_handle, [](background* b) -> const char* { return b->name; });
}

DROVIK_API void Drovik_background_set_bitmap(DROVIK_HANDLE background_handle, DROVIK_HANDLE bitmap) {
    with_background(__func__, background_handle, [bitmap](background* b) {
        if (api_check_handle(bitmap, row_of("Drovik_background_set_bitmap").check_name, DROVIK_KIND_BITMAP)) {
            background_set_bitmap(b, static_cast<bitmap_texture*>(bitmap));
        }
    });
}

DROVIK_API DROVIK_HANDLE Drovik_background_get_bitmap(DROVIK_HANDLE background_handle) {
    return with_background(__func__, background_handle,
                           [](background* b) -> DROVIK_HANDLE { return b->frames ? b->frames->bitmap : nullptr; });
}

DROVIK_API const char* Drovik_background_get_bitmap_name(DROVIK_HANDLE background_handle) {
    return with_background(__func__, background_handle,
                           [](background* b) -> const char* { return b->frames ? b->frames->name : nullptr; });
}

DROVIK_API void Drovik_background_delete(DROVIK_HANDLE background_handle) {
    with_background(__func__, background_handle, [](background* b) {
        if (background_list_remove(&engine_state.backgrounds, b) != 0) {
            api_log(texts::not_found);
            return;
        }
        if (engine_state.current_background == b) engine_state.current_background = nullptr;
        background_free(b);
    });
}

DROVIK_API void Drovik_background_delete_all() {
    engine_guard guard;
    background_delete_all(&engine_state.backgrounds);
    engine_state.current_background = nullptr;
}
