// The rendering manager: the bound window and camera, the picture quality, and the one 16-bit
// surface the software renderer draws into and presents 1:1 or stretched.
#include "render/software/rendering_manager.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "foundation/errors.h"
#include "foundation/profiler.h"
#include "platform/display.h"
#include "platform/msgbox.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "render/engine_settings.h"
#include "render/render_backend.h"
#include "render/software/background.h"
#include "render/software/world_traversal.h"
#include "world/camera.h"
#include "world/engine_state.h"

namespace {

namespace texts = rendering_texts;

constexpr int lowest_quality = 4;

void report(const char* text) {
    if (rendering_manager_report_errors()) report_error(1, text);
}

// The client size of a live window that is neither minimised nor empty.
bool drawable_client(plat_window* target, int* width, int* height) {
    if (!target || !plat_is_window(target)) return false;
    plat_window_client_size(target, width, height);
    return *width != 0 && *height != 0 && !plat_window_is_minimized(target);
}

int64_t pixel_count(int width, int height) { return static_cast<int64_t>(width) * height; }

}  // namespace

int& rendering_manager_report_errors() {
    static int flag = 1;
    return flag;
}

camera_size rendering_camera_size(int quality, int window_width, int window_height) {
    if (quality >= pixel_count(window_width, window_height)) return {window_width, window_height};
    const double aspect = static_cast<double>(window_width) / window_height;
    const int width = std::max(static_cast<int>(std::trunc(std::sqrt(std::max(quality * aspect, 0.0)) + 0.5)), 1);
    const int height = static_cast<int>(std::trunc(width / aspect + 0.5));
    return {width, std::max(height, 1)};
}

Rendering_manager::Rendering_manager() { init_draw_buffer(&buffer, 2); }

Rendering_manager::~Rendering_manager() {
    plat_surface_destroy(surface);
    free_draw_buffer(&buffer);
}

Rendering_manager& rendering_manager() {
    static Rendering_manager manager;
    return manager;
}

void Rendering_manager::release() {
    plat_surface_destroy(surface);
    surface = nullptr;
    free_draw_buffer(&buffer);
    init_draw_buffer(&buffer, 2);
    display.close();
    window_height = window_width = -1;
    dimension_changed = 0;
    rendering_mode = 0;
    bits_per_pixel = 16;
    red_width = 5;
    green_width = 6;
    blue_width = 5;
    cam = nullptr;
    window = nullptr;
    picture_quality = default_picture_quality;
    applied_quality = 0;
    present_after_render = 1;
}

void Rendering_manager::set_16bit_rgb_mode() {
    display.set_16bit_rgb_mode(&bits_per_pixel, &red_width, &green_width, &blue_width);
}

int Rendering_manager::set_picture_quality(int quality) {
    picture_quality = quality;
    if (!window) return 0;
    if (quality < pixel_count(window_width, window_height)) return set_camera_quality(quality);
    if (set_camera_resolution(window_width, window_height) == -1) {
        report(texts::quality_failed);
        return -1;
    }
    return 0;
}

// Every step moves the quality by at least one pixel, so small qualities can still rise and fall.
int Rendering_manager::increase_picture_quality() {
    if (picture_quality >= pixel_count(window_width, window_height)) {
        plat_message_beep();
        return -1;
    }
    const int64_t scaled = static_cast<int64_t>(std::trunc(picture_quality * 1.1 + 0.5));
    return set_picture_quality(static_cast<int>(std::max<int64_t>(scaled, int64_t{picture_quality} + 1)));
}

int Rendering_manager::decrease_picture_quality() {
    const int64_t scaled = static_cast<int64_t>(std::trunc(picture_quality * 0.9 + 0.5));
    int64_t next = std::min<int64_t>(scaled, int64_t{picture_quality} - 1);
    if (next < lowest_quality) {
        next = lowest_quality;
        plat_message_beep();
    }
    return set_picture_quality(static_cast<int>(next));
}

int Rendering_manager::set_camera_quality(int quality) {
    if (window_width == 0 || window_height == 0) {
        report(texts::zero_size);
        return 0;
    }
    const camera_size size = rendering_camera_size(quality, window_width, window_height);
    const int result = set_camera_resolution(size.width, size.height);
    if (result == -1) report(texts::camera_quality_failed);
    return result;
}

// The new surface is made before anything changes, so a failure keeps the old surface, buffer and
// camera size.
int Rendering_manager::set_camera_resolution(int width, int height) {
    plat_surface* fresh = plat_surface_create(width, height);
    if (!fresh || render_backend_current().resolution(cam, width, height) != 0) {
        plat_surface_destroy(fresh);
        report(texts::resolution_failed);
        return -1;
    }
    if (bind_buffer(fresh, width, height) != 0) {
        plat_surface_destroy(fresh);
        if (surface) bind_buffer(surface, surface->width, surface->height);
        return -1;
    }
    plat_surface_destroy(surface);
    surface = fresh;
    return 0;
}

int Rendering_manager::bind_buffer(plat_surface* target, int width, int height) {
    if (set_buffer_dimentions_advanced(&buffer, target->pitch_pixels, height, 0, 1, target->bits) != 0 ||
        set_picture_box(&buffer, 0, 0, width - 1, height - 1) != 0) {
        report(texts::picture_box_failed);
        engine_log_printf(texts::picture_box_sizes, width, height);
        return -1;
    }
    return 0;
}

int Rendering_manager::set_active_camera(plat_window* target, camera* c) {
    set_current_camera(c);
    int width = 0;
    int height = 0;
    if (!drawable_client(target, &width, &height)) return -1;
    if (target != window || c != cam || width != window_width || height != window_height) {
        window = target;
        cam = c;
        window_width = width;
        window_height = height;
        dimension_changed = 1;
        const camera_size size = rendering_camera_size(picture_quality, width, height);
        if (render_backend_current().resolution(c, size.width, size.height) != 0) {
            report(texts::active_camera_failed);
            return -1;
        }
    }
    if (c && !c->matrices_valid) camera_mark_rebuilt(c);
    return 0;
}

void Rendering_manager::render(plat_window* target, camera* c) {
    if (!c) return;
    if (engine_state.card_in_use) {
        card_frame(target, c);
        return;
    }
    int width = 0;
    int height = 0;
    if (!drawable_client(target, &width, &height)) return;
    // A camera whose size no longer matches the surface (a new world's camera at a freed one's
    // address) rebuilds too.
    const bool stale = !surface || c->width != surface->width || c->height != surface->height;
    if (dimension_changed || stale || target != window || c != cam || width != window_width ||
        height != window_height || picture_quality != applied_quality) {
        cam = c;
        window_width = width;
        window_height = height;
        window = target;
        set_picture_quality(picture_quality);
        dimension_changed = 0;
        applied_quality = picture_quality;
    }
    software_frame();
    ++engine_state.rendered_frames;
}

void Rendering_manager::software_frame() {
    if (surface) {
        engine_draw_world_background(engine_state.current_background, &buffer, engine_state.background_pixel, cam);
        draw_world(&buffer, get_main_module(), cam, engine_state.dynamic_objects);
    }
    bitblt_rendering();
}

void Rendering_manager::card_frame(plat_window* target, camera* c) {
    int width = 0;
    int height = 0;
    if (!engine_state.card_full_screen && !drawable_client(target, &width, &height)) return;
    if (engine_is_zbuffer_off()) {
        engine_draw_world_background(engine_state.current_background, nullptr, 0, c);
        draw_world(nullptr, get_main_module(), c, engine_state.dynamic_objects);
    } else {
        draw_world(nullptr, get_main_module(), c, engine_state.dynamic_objects);
        engine_draw_world_background(engine_state.current_background, nullptr, 0, c);
    }
    ++engine_state.rendered_frames;
}

void Rendering_manager::bitblt_rendering() {
    if (!present_after_render) return;
    if (!surface) {
        report(texts::no_dib);
        return;
    }
    static profiler_site site{texts::present_chunk};
    const profiler_timer timer(site);
    if (surface->width == window_width && surface->height == window_height) {
        plat_present(window, surface, 0, 0, window_width, window_height, 0, 0);
    } else {
        plat_present_stretched(window, surface, 0, 0, window_width, window_height, 0, 0, surface->width,
                               surface->height);
    }
}

int set_display_bits_per_pixel(int bits) {
    plat_display_set_depth(bits);
    return 0;
}
