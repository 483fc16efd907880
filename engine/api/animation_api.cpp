// Animation family: texture animations, their frames in the five view lists, frame times and
// speed, duplication and deletion.
#include <string>

#include "api/family_exports.h"
#include "foundation/dictionary.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "world/animation.h"
#include "world/engine_state.h"
#include "world/entity_list.h"

namespace {

// The name each export's checks print and its value when refused.
const api_export_row animation_exports[] = {
    {"Drovik_animation_get_next", "Drovik_animation_get_next", 0},
    {"Drovik_animation_get_name", "Drovik_animation_get_name", 0},
    {"Drovik_animation_set_name", "Drovik_animation_set_name", 0},
    {"Drovik_animation_add_bitmap", "Drovik_animation_add_bitmap", -1},
    {"Drovik_animation_remove_bitmap", "Drovik_animation_remove_bitmap", -1},
    {"Drovik_animation_set_bitmap", "Drovik_animation_set_bitmap", -1},
    {"Drovik_animation_get_bitmap", "Drovik_animation_get_bitmap", 0},
    {"Drovik_animation_get_frame_bitmap_name", "Drovik_animation_get_frame_bitmap_name", 0},
    {"Drovik_animation_get_frame_transparent_index", "Drovik_animation_get_frame_transparent_index", 0},
    {"Drovik_animation_get_number_of_frames", "Drovik_animation_was_animation_created_in_the_last_load", 0},
    {"Drovik_animation_get_number_of_bitmaps", "Drovik_animation_get_number_of_bitmaps", -1},
    {"Drovik_animation_get_all_bitmaps", "Drovik_animation_get_all_bitmaps", 0},
    {"Drovik_animation_set_times", "Drovik_animation_set_times", -1},
    {"Drovik_animation_get_times", "Drovik_animation_get_times", -1},
    {"Drovik_animation_get_frame_time", "Drovik_animation_get_times", 0},
    {"Drovik_animation_set_frame_time", "Drovik_animation_set_times", -1},
    {"Drovik_animation_factor_speed", "Drovik_animation_factor_speed", 0},
    {"Drovik_animation_set_speed", "Drovik_animation_set_speed", 0},
    {"Drovik_animation_set_save_flag", "Drovik_animation_set_save_flag", 0},
    {"Drovik_animation_get_save_flag", "Drovik_animation_get_save_flag", 0},
    {"Drovik_animation_is_part_of_the_last_world", "Drovik_animation_is_part_of_the_last_world", 0},
    {"Drovik_animation_get_number_of_polygons_with_animation", "Drovik_animation_is_part_of_the_last_world", 0},
    {"Drovik_animation_duplicate", "Drovik_animation_duplicate", 0},
    {"Drovik_animation_delete", "Drovik_animation_delete", 0},
};

namespace texts {
inline constexpr const char* empty_name = "Drovik_animation_set_name: can set an empty name\n";
inline constexpr const char* set_times_too_many =
    "Drovik_animation_set_times: times array is bigger than the number of frames !!\n";
inline constexpr const char* get_times_too_many =
    "Drovik_animation_get_times: times array is bigger than the number of frames !!\n";
inline constexpr const char* bad_save_flag = "Drovik_animation_set_save_flag: bad arguments\n";
inline constexpr const char* delete_failed = "Drovik_animation_delete: an error occurred\n";
}  // namespace texts

template <typename F>
auto with_animation(const char* export_name, DROVIK_HANDLE handle, F&& f) {
    return api_with_record<animation>(animation_exports, export_name, handle, DROVIK_KIND_ANIMATION, f);
}

// The frame of a view (placeholders included), NULL when either is missing.
frame_item* frame_of(const animation* a, int view, int index) {
    if (view < view_front || view > view_back || index < 0) return nullptr;
    return animate_get_frame(animation_get_list(a, view), index);
}

// A non-empty name made unique among the other animations; false for NULL or "".
bool rename(animation* a, const char* name) {
    if (!name || !*name) {
        api_log(texts::empty_name);
        return false;
    }
    std::string unique = name;
    const auto taken = [a](const std::string& n) {
        for (const animation* other = engine_state.animations; other; other = other->next) {
            if (other != a && other->name && jstricmp(other->name, n.c_str()) == 0) return true;
        }
        return false;
    };
    if (find_unique_name(unique, taken, true, "animation_find_unique_name") != 0) return false;
    return jstrcpy_with_allocating(&a->name, unique.c_str()) != nullptr;
}

// A new animation of the exports, not yet on the list.
animation* new_animation(const char* name) {
    animation* a = init_animation();
    if (!a) return nullptr;
    a->made_by_interface = 1;
    if (!rename(a, name)) {
        animation_delete(a);
        return nullptr;
    }
    return a;
}

bool copy_views(animation* to, const animation* from) {
    for (int v = 0; v < animation_view_count; ++v) {
        frame_item** slot = &to->views[v];
        for (const frame_item* f = from->views[v]; f; f = f->next) {
            frame_item* item = init_frame_item();
            if (!item) return false;
            *slot = item;
            slot = &item->next;
            item->bitmap = f->bitmap;
            item->transparent_index = f->transparent_index;
            item->placeholder = f->placeholder;
            if (f->name && !jstrcpy_with_allocating(&item->name, f->name)) return false;
        }
    }
    return true;
}

bool copy_times(animation* to, const animation* from) {
    const int n = from->frame_count;
    to->frame_count = n;
    to->speed_factor = from->speed_factor;
    if (n <= 0 || !from->durations || !from->exact_durations) return true;
    to->durations = static_cast<uint32_t*>(engine_alloc(sizeof(uint32_t) * static_cast<size_t>(n)));
    to->exact_durations = static_cast<double*>(engine_alloc(sizeof(double) * static_cast<size_t>(n)));
    if (!to->durations || !to->exact_durations) return false;
    for (int i = 0; i < n; ++i) {
        to->durations[i] = from->durations[i];
        to->exact_durations[i] = from->exact_durations[i];
    }
    return true;
}

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_animation_create(const char* name) {
    engine_guard guard;
    animation* a = new_animation(name);
    list_push(&engine_state.animations, a);
    return a;
}

DROVIK_API DROVIK_HANDLE Drovik_animation_get_handle(const char* name) {
    engine_guard guard;
    return animation_find(engine_state.animations, name);
}

DROVIK_API DROVIK_HANDLE Drovik_animation_get_first_animation() {
    engine_guard guard;
    return engine_state.animations;
}

DROVIK_API DROVIK_HANDLE Drovik_animation_get_next(DROVIK_HANDLE animation_handle) {
    return with_animation(__func__, animation_handle, [](animation* a) -> DROVIK_HANDLE { return a->next; });
}

DROVIK_API const char* Drovik_animation_get_name(DROVIK_HANDLE animation_handle) {
    return with_animation(__func__, animation_handle, [](animation* a) -> const char* { return a->name; });
}

DROVIK_API void Drovik_animation_set_name(DROVIK_HANDLE animation_handle, const char* name) {
    with_animation(__func__, animation_handle, [name](animation* a) { rename(a, name); });
}

DROVIK_API int Drovik_animation_add_bitmap(DROVIK_HANDLE animation_handle, int view, DROVIK_HANDLE bitmap, int index) {
    return with_animation(__func__, animation_handle, [view, bitmap, index](animation* a) {
        if (!api_check_handle(bitmap, "Drovik_animation_add_bitmap", DROVIK_KIND_BITMAP)) return -1;
        const int used = animation_add_bitmap(a, view, static_cast<bitmap_texture*>(bitmap), index);
        if (used >= 0) animation_resize_lists(a);
        return used;
    });
}

DROVIK_API int Drovik_animation_remove_bitmap(DROVIK_HANDLE animation_handle, int view, int index) {
    return with_animation(__func__, animation_handle, [view, index](animation* a) {
        if (animation_remove_bitmap(a, view, index) != 0) return -1;
        animation_resize_lists(a);
        return 0;
    });
}

DROVIK_API int Drovik_animation_set_bitmap(DROVIK_HANDLE animation_handle, int view, int index, DROVIK_HANDLE bitmap) {
    return with_animation(__func__, animation_handle, [view, index, bitmap](animation* a) {
        frame_item* frame = frame_of(a, view, index);
        if (!frame || !api_check_handle(bitmap, "Drovik_animation_set_bitmap", DROVIK_KIND_BITMAP)) return -1;
        frame_item_set_bitmap(frame, static_cast<bitmap_texture*>(bitmap));
        // A padding frame given a bitmap of its own is a real frame, and so are those before it.
        if (frame->placeholder) {
            for (frame_item* f = animation_get_list(a, view); f != frame->next; f = f->next) f->placeholder = 0;
            animation_resize_lists(a);
        }
        return 0;
    });
}

DROVIK_API DROVIK_HANDLE Drovik_animation_get_bitmap(DROVIK_HANDLE animation_handle, int view, int index) {
    return with_animation(__func__, animation_handle, [view, index](animation* a) -> DROVIK_HANDLE {
        const frame_item* frame = frame_of(a, view, index);
        return frame ? frame->bitmap : nullptr;
    });
}

DROVIK_API const char* Drovik_animation_get_frame_bitmap_name(DROVIK_HANDLE animation_handle, int view, int index) {
    return with_animation(__func__, animation_handle, [view, index](animation* a) -> const char* {
        const frame_item* frame = frame_of(a, view, index);
        return frame ? frame->name : nullptr;
    });
}

DROVIK_API int Drovik_animation_get_frame_transparent_index(DROVIK_HANDLE animation_handle, int view, int index) {
    return with_animation(__func__, animation_handle, [view, index](animation* a) {
        const frame_item* frame = frame_of(a, view, index);
        return frame ? frame->transparent_index : 0;
    });
}

DROVIK_API int Drovik_animation_get_number_of_frames(DROVIK_HANDLE animation_handle) {
    return with_animation(__func__, animation_handle, [](animation* a) { return a->frame_count; });
}

DROVIK_API int Drovik_animation_get_number_of_bitmaps(DROVIK_HANDLE animation_handle) {
    return with_animation(__func__, animation_handle, [](animation* a) {
        int count = 0;
        for (const frame_item* view : a->views) {
            for (const frame_item* f = view; f; f = f->next) ++count;
        }
        return count;
    });
}

DROVIK_API int Drovik_animation_get_all_bitmaps(DROVIK_HANDLE animation_handle, DROVIK_HANDLE* bitmaps) {
    return with_animation(__func__, animation_handle, [bitmaps](animation* a) {
        if (!bitmaps) return 0;
        int count = 0;
        for (int view = view_front; view <= view_back; ++view) {
            for (const frame_item* f = animation_get_list(a, view); f; f = f->next) bitmaps[count++] = f->bitmap;
        }
        return count;
    });
}

DROVIK_API int Drovik_animation_set_times(DROVIK_HANDLE animation_handle, const unsigned int* times, int count) {
    return with_animation(__func__, animation_handle, [times, count](animation* a) {
        if (!times || count < 0) return -1;
        if (count > a->frame_count) {
            api_log(texts::set_times_too_many);
            return -1;
        }
        for (int i = 0; i < count; ++i) {
            a->durations[i] = times[i];
            a->exact_durations[i] = times[i];
        }
        return 0;
    });
}

DROVIK_API int Drovik_animation_get_times(DROVIK_HANDLE animation_handle, unsigned int* times, int count) {
    return with_animation(__func__, animation_handle, [times, count](animation* a) {
        if (!times || count < 0) return -1;
        if (count > a->frame_count) {
            api_log(texts::get_times_too_many);
            return -1;
        }
        for (int i = 0; i < count; ++i) times[i] = a->durations[i];
        return 0;
    });
}

DROVIK_API unsigned int Drovik_animation_get_frame_time(DROVIK_HANDLE animation_handle, int index) {
    return with_animation(__func__, animation_handle, [index](animation* a) -> unsigned int {
        return index >= 0 && index < a->frame_count ? a->durations[index] : 0;
    });
}

DROVIK_API int Drovik_animation_set_frame_time(DROVIK_HANDLE animation_handle, int index, unsigned int time) {
    return with_animation(__func__, animation_handle, [index, time](animation* a) {
        if (index < 0 || index >= a->frame_count) return -1;
        a->durations[index] = time;
        a->exact_durations[index] = time;
        return 0;
    });
}

DROVIK_API void Drovik_animation_factor_speed(DROVIK_HANDLE animation_handle, double factor) {
    with_animation(__func__, animation_handle, [factor](animation* a) { animation_factor_speed(a, factor); });
}

DROVIK_API void Drovik_animation_set_speed(DROVIK_HANDLE animation_handle, double speed) {
    with_animation(__func__, animation_handle, [speed](animation* a) { animation_set_speed(a, speed); });
}

DROVIK_API int Drovik_animation_set_save_flag(DROVIK_HANDLE animation_handle, int yes_no) {
    return with_animation(__func__, animation_handle,
                          [yes_no](animation* a) { return api_set_yes_no(a->save, yes_no, texts::bad_save_flag); });
}

DROVIK_API int Drovik_animation_get_save_flag(DROVIK_HANDLE animation_handle) {
    return with_animation(__func__, animation_handle, [](animation* a) { return a->save; });
}

DROVIK_API int Drovik_animation_is_part_of_the_last_world(DROVIK_HANDLE animation_handle) {
    return with_animation(__func__, animation_handle, [](animation* a) { return a->made_by_interface ? 0 : 1; });
}

DROVIK_API int Drovik_animation_get_number_of_polygons_with_animation(DROVIK_HANDLE animation_handle) {
    return with_animation(__func__, animation_handle, [](animation* a) { return animation_count_polygons(a); });
}

DROVIK_API DROVIK_HANDLE Drovik_animation_duplicate(DROVIK_HANDLE animation_handle, const char* name) {
    return with_animation(__func__, animation_handle, [name](animation* a) -> DROVIK_HANDLE {
        animation* copy = new_animation(name);
        if (!copy) return nullptr;
        if (!copy_views(copy, a) || !copy_times(copy, a)) {
            animation_delete(copy);
            return nullptr;
        }
        list_push(&engine_state.animations, copy);
        return copy;
    });
}

DROVIK_API void Drovik_animation_delete(DROVIK_HANDLE animation_handle) {
    with_animation(__func__, animation_handle, [](animation* a) {
        if (list_remove(&engine_state.animations, a) != 0) {
            api_log(texts::delete_failed);
            return;
        }
        animation_unhook(a);
        animation_delete(a);
    });
}

DROVIK_API void Drovik_animation_delete_all() {
    engine_guard guard;
    animation_delete_all(&engine_state.animations);
}
