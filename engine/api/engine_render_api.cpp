// Engine family: rendering a frame, presenting it later, the picture quality, the frame timings
// and the default rendering window.
#include <algorithm>
#include <cstdint>

#include "api/export_guards.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/profiler.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "platform/priority.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "render/engine_settings.h"
#include "render/frame_state.h"
#include "render/render_backend.h"
#include "render/render_hooks.h"
#include "render/software/rendering_manager.h"
#include "render/software/window_copy.h"
#include "startup.h"
#include "world/camera.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/light.h"
#include "world/movers.h"

namespace engine_render_texts {
inline constexpr const char* render_name = "Drovik_engine_render";
inline constexpr const char* cycle_chunk = "Program cycle";
inline constexpr const char* no_navigation = "Drovik_engine_render: internal error\n";
inline constexpr const char* maximize_failed = "Drovik_engine_maximize_default_rendering_window:\nInternal Error\n";
inline constexpr const char* title_failed = "Drovik_engine_get_default_rendering_window_title:\nInternal Error\n";
inline constexpr const char* size_failed = "Drovik_engine_set_default_rendering_window_size:\nInternal Error\n";
}  // namespace engine_render_texts

namespace {

namespace texts = engine_render_texts;

constexpr int full_screen_width = 800;
constexpr int full_screen_height = 600;
// Keeping the full-window quality: its frame may cost up to 4/3 of the old one.
constexpr double keep_full_ratio = 0.75;

render_frame_state& frame() { return engine_render_frame_state(); }

bool is_down(int vk) { return (plat_get_async_key_state(vk) & 0x8000) != 0; }

// Pressed since the last poll and down now.
bool was_pressed(int vk) {
    const int16_t state = plat_get_async_key_state(vk);
    return (state & 1) && (state & 0x8000);
}

void release_back_buffer() {
    render_frame_state& f = frame();
    if (!f.back_buffer) return;
    f.back_buffer = nullptr;
    if (frame_hooks_state().card_release_back_buffer) frame_hooks_state().card_release_back_buffer();
}

void card_use(int on) {
    if (frame_hooks_state().card_use) frame_hooks_state().card_use(on);
}

// Alt+Ctrl+V: the card off, or on in window mode; Alt+Ctrl+F: the card off, or full screen.
void poll_hot_keys() {
    if (!is_down(PLAT_VK_MENU) || !is_down(PLAT_VK_CONTROL)) return;
    const frame_hooks& hooks = frame_hooks_state();
    if (was_pressed('V')) {
        if (engine_state.card_in_use) {
            card_use(0);
        } else if (hooks.card_set_window_mode) {
            hooks.card_set_window_mode(1);
        }
    } else if (was_pressed('F')) {
        if (engine_state.card_full_screen) {
            card_use(0);
        } else if (hooks.card_set_full_screen_mode) {
            hooks.card_set_full_screen_mode(full_screen_width, full_screen_height);
        }
    }
}

// The window to draw into, after showing or hiding the default window; NULL when it is gone.
plat_window* choose_window(plat_window* window) {
    if (!window) {
        window = create_default_rendering_window();
        show_default_rendering_window();
    } else if (window == engine_g().default_window) {
        show_default_rendering_window();
    } else {
        hide_default_rendering_window();
    }
    frame().current_window = window;
    return plat_is_window(window) ? window : nullptr;
}

void move_world() {
    if (engine_state.advance_objects == 1) engine_move_all_dynamic_objects();
    if (engine_state.advance_cameras == 1) engine_move_all_cameras();
    const frame_hooks& hooks = frame_hooks_state();
    const int navigation = hooks.navigation_mode ? hooks.navigation_mode() : 0;
    if ((navigation == 1 || navigation == 2) && (!hooks.navigation_poll || hooks.navigation_poll() == -1)) {
        if (api_report_errors()) report_error(1, texts::no_navigation);
    }
    if (engine_is_zbuffer_off() || engine_state.card_in_use) {
        engine_place_dynamic_objects(get_main_module(), engine_state.dynamic_objects);
    }
}

void draw_frame(plat_window* window, camera* c) {
    Rendering_manager& manager = rendering_manager();
    if (!engine_state.card_in_use) {
        manager.render(window, c);
        return;
    }
    release_back_buffer();
    int width = 0;
    int height = 0;
    plat_window_client_size(window, &width, &height);
    if (!engine_state.card_full_screen && (width == 0 || height == 0 || plat_window_is_minimized(window))) return;
    const render_backend& backend = render_backend_current();
    if (backend.frame_begin(window, c) == -1) return;
    manager.render(window, c);
    backend.frame_end();
}

// The profiler chunk that spans from one render call to the next; after a profiler reset it is
// found by name again, or not at all.
void restart_cycle_chunk(bool end_previous) {
    render_frame_state& f = frame();
    if (end_previous) {
        const int running = find_chunk_by_name(texts::cycle_chunk);
        if (running >= 0 && running == f.cycle_chunk) end_measuring(running);
    }
    f.cycle_chunk = start_measuring(f.cycle_chunk, texts::cycle_chunk);
}

int render_frame(plat_window* window, void* camera_handle) {
    if (!engine_world_loaded()) return -1;
    render_frame_state& f = frame();
    f.render_chunk = start_measuring(f.render_chunk, texts::render_name);
    const uint32_t start = plat_tick_ms();
    f.last_cycle_time = f.first_render ? 0 : static_cast<int32_t>(start - f.previous_tick);
    f.previous_tick = start;
    restart_cycle_chunk(!f.first_render);
    f.first_render = 0;
    auto refuse = [&f] {
        end_measuring(f.render_chunk);
        return -1;
    };

    window = choose_window(window);
    if (!window) return refuse();
    poll_hot_keys();
    if (!camera_handle) camera_handle = Drovik_camera_get_default_camera();
    if (!api_check_handle(camera_handle, texts::render_name, DROVIK_KIND_CAMERA)) return refuse();
    camera* c = static_cast<camera*>(camera_handle);
    if (!c->matrices_valid) camera_mark_rebuilt(c);
    if (!engine_state.editor_mode) move_world();
    engine_activate_lights_before_render(engine_state.lights);
    set_current_camera(c);

    const engine_globals& g = engine_g();
    plat_set_process_priority(g.render_priority_class);
    plat_set_thread_priority(g.render_thread_priority);
    draw_frame(window, c);
    if (g.card_reuse == 1) card_use(1);
    if (frame_hooks_state().update_sound_listener) frame_hooks_state().update_sound_listener();
    plat_set_process_priority(PLAT_PRIORITY_NORMAL);
    plat_set_thread_priority(PLAT_THREAD_NORMAL);

    f.last_render_time = static_cast<int32_t>(plat_tick_ms() - start);
    end_measuring(f.render_chunk);
    return 0;
}

// One frame drawn but not presented: 0 or -1.
int render_unpresented(plat_window* window, void* camera_handle) {
    Rendering_manager& manager = rendering_manager();
    manager.present_after_render = 0;
    const int result = render_frame(window, camera_handle);
    manager.present_after_render = 1;
    return result;
}

// The card's back buffer copied into the manager's surface, as much of it as fits.
void copy_back_buffer_into_surface() {
    plat_surface* target = rendering_manager().get_memory_dc();
    plat_surface* source = frame_hooks_state().card_take_back_buffer ? frame_hooks_state().card_take_back_buffer()
                                                                        : nullptr;
    if (!source) return;
    if (target) {
        const int width = std::min(source->width, target->width);
        const int rows = std::min(source->height, target->height);
        copy_window(2, target->bits, source->bits, source->pitch_pixels, target->pitch_pixels, 0, 0, 0, 0, width,
                    rows);
    }
    if (frame_hooks_state().card_release_back_buffer) frame_hooks_state().card_release_back_buffer();
    frame().card_frame_copied = 1;
}

int average_of_chunk(const char* name) {
    const int chunk = find_chunk_by_name(name);
    return chunk < 0 ? 0 : static_cast<int>(get_chunk_average_speed(chunk));
}

plat_window* default_window_shown() {
    if (!engine_is_initialized()) engine_first_init();
    show_default_rendering_window();
    return engine_g().default_window;
}

}  // namespace

DROVIK_API int Drovik_engine_render(DROVIK_WINDOW window, DROVIK_HANDLE camera_handle) {
    engine_guard guard;
    return render_frame(window, camera_handle);
}

DROVIK_API DROVIK_SURFACE Drovik_engine_render_on_bitmap(DROVIK_WINDOW window, DROVIK_HANDLE camera_handle) {
    engine_guard guard;
    if (render_unpresented(window, camera_handle) != 0) return nullptr;
    return rendering_manager().get_dib();
}

DROVIK_API DROVIK_SURFACE Drovik_engine_render_on_dc(DROVIK_WINDOW window, DROVIK_HANDLE camera_handle) {
    engine_guard guard;
    frame().card_frame_copied = 0;
    if (render_unpresented(window, camera_handle) != 0) return nullptr;
    if (!engine_state.card_in_use) return rendering_manager().get_memory_dc();
    release_back_buffer();
    if (frame_hooks_state().card_take_back_buffer) frame().back_buffer = frame_hooks_state().card_take_back_buffer();
    return frame().back_buffer;
}

DROVIK_API DROVIK_SURFACE Drovik_engine_render_on_memCDC(DROVIK_WINDOW window, DROVIK_HANDLE camera_handle) {
    engine_guard guard;
    frame().card_frame_copied = 0;
    if (render_unpresented(window, camera_handle) != 0) return nullptr;
    if (engine_state.card_in_use) copy_back_buffer_into_surface();
    return rendering_manager().get_memory_dc();
}

DROVIK_API int Drovik_engine_bitblt() {
    engine_guard guard;
    if (!engine_state.card_in_use || frame().card_frame_copied) {
        rendering_manager().bitblt_rendering();
        return 0;
    }
    release_back_buffer();
    return frame_hooks_state().card_show_frame ? frame_hooks_state().card_show_frame() : 0;
}

DROVIK_API int Drovik_engine_copy_image_from_dc_to_screen() { return Drovik_engine_bitblt(); }

DROVIK_API int Drovik_engine_set_thread_priority(int thread_priority, int priority_class) {
    engine_guard guard;
    engine_g().render_thread_priority = thread_priority;
    engine_g().render_priority_class = priority_class;
    return priority_class;
}

DROVIK_API int Drovik_engine_show_frames_per_second_rate(int on) {
    engine_guard guard;
    frame().show_frames_per_second = on;
    return on;
}

DROVIK_API void Drovik_engine_set_group_to_render(DROVIK_HANDLE group_handle) {
    engine_guard guard;
    if (!api_check_handle(group_handle, "Drovik_engine_set_group_to_render", DROVIK_KIND_GROUP)) return;
    engine_set_group_to_render(static_cast<group*>(group_handle));
}

DROVIK_API int Drovik_engine_get_picture_quality() {
    engine_guard guard;
    return rendering_manager().picture_quality;
}

DROVIK_API void Drovik_engine_set_picture_quality(int pixel_count) {
    engine_guard guard;
    if (!api_world_guard("Drovik_engine_set_picture_quality")) return;
    rendering_manager().set_picture_quality(pixel_count);
}

DROVIK_API int Drovik_engine_increase_picture_quality() {
    engine_guard guard;
    if (!api_world_guard("Drovik_engine_increase_picture_quality")) return -1;
    return rendering_manager().increase_picture_quality();
}

DROVIK_API int Drovik_engine_decrease_picture_quality() {
    engine_guard guard;
    if (!api_world_guard("Drovik_engine_decrease_picture_quality")) return -1;
    return rendering_manager().decrease_picture_quality();
}

DROVIK_API int Drovik_engine_set_automatic_quality_control(DROVIK_WINDOW window, DROVIK_HANDLE camera_handle) {
    engine_guard guard;
    Rendering_manager& manager = rendering_manager();
    const int old_quality = manager.picture_quality;
    int width = 0;
    int height = 0;
    plat_window_client_size(window ? window : engine_g().default_window, &width, &height);
    const int64_t full = (int64_t{height} + 1) * (int64_t{width} + 1);
    if (full <= old_quality) return 0;
    // The second of two renders at a quality, in ms.
    auto timed = [&] {
        render_frame(window, camera_handle);
        const uint32_t before = plat_tick_ms();
        render_frame(window, camera_handle);
        return static_cast<int32_t>(plat_tick_ms() - before);
    };
    const int32_t old_time = timed();
    manager.set_picture_quality(static_cast<int>(full));
    const int32_t full_time = timed();
    if (full_time != 0 && static_cast<double>(old_time) / full_time > keep_full_ratio) return 1;
    manager.set_picture_quality(old_quality);
    return 0;
}

DROVIK_API int Drovik_engine_get_last_program_cycle_time() {
    engine_guard guard;
    return frame().last_cycle_time;
}

DROVIK_API int Drovik_engine_get_last_render_execution_time() {
    engine_guard guard;
    return frame().last_render_time;
}

DROVIK_API int Drovik_engine_get_average_program_cycle_time() {
    engine_guard guard;
    return average_of_chunk(texts::cycle_chunk);
}

DROVIK_API int Drovik_engine_get_average_render_execution_time() {
    engine_guard guard;
    return average_of_chunk(texts::render_name);
}

DROVIK_API double Drovik_engine_get_computer_speed_factor() {
    engine_guard guard;
    if (frame().last_cycle_time == 0) return 1.0;
    return frame().last_render_time * 0.01;
}

DROVIK_API int Drovik_engine_set_maximum_rendering_time(int ms) {
    engine_guard guard;
    if (ms >= 0) engine_state.maximum_render_time = ms;
    return ms;
}

DROVIK_API int Drovik_engine_set_minimum_rendering_time(int ms) {
    engine_guard guard;
    if (ms >= 0) engine_state.minimum_render_time = ms;
    return ms;
}

DROVIK_API int Drovik_engine_get_maximum_rendering_time() {
    engine_guard guard;
    return engine_state.maximum_render_time;
}

DROVIK_API int Drovik_engine_get_minimum_rendering_time() {
    engine_guard guard;
    return engine_state.minimum_render_time;
}

DROVIK_API DROVIK_WINDOW Drovik_engine_get_default_rendering_window_hwnd() {
    engine_guard guard;
    return default_window_shown();
}

DROVIK_API int Drovik_engine_maximize_default_rendering_window() {
    engine_guard guard;
    plat_window* window = default_window_shown();
    if (!window) {
        warning_box(texts::maximize_failed);
        return 0;
    }
    const int was_visible = plat_window_is_visible(window) ? 1 : 0;
    plat_window_maximize(window);
    return was_visible;
}

DROVIK_API void Drovik_engine_minimize_default_rendering_window() {
    engine_guard guard;
    if (!engine_is_initialized()) engine_first_init();
    hide_default_rendering_window();
}

DROVIK_API int Drovik_engine_set_default_rendering_window_title(const char* title) {
    engine_guard guard;
    plat_window* window = default_window_shown();
    if (!window) {
        warning_box(texts::title_failed);
        return 0;
    }
    plat_window_set_title(window, title ? title : "");
    return 1;
}

DROVIK_API int Drovik_engine_set_default_rendering_window_size(int x, int y, int width, int height) {
    engine_guard guard;
    plat_window* window = default_window_shown();
    if (!window) {
        warning_box(texts::size_failed);
        return 0;
    }
    plat_window_move(window, x, y);
    plat_window_set_client_size(window, width, height);
    return 1;
}
