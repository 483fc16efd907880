// The 3D card's life and frame: start (device, dialog, capabilities, textures, default states),
// close, the checks before each frame, and the frame's end (frame-rate text, read back, show).
#include "render/card3d/card3d.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "render/card3d/card3d_device.h"
#include "render/card3d/card3d_framework.h"
#include "render/engine_settings.h"
#include "render/frame_state.h"
#include "render/render_hooks.h"
#include "render/software/rendering_manager.h"
#include "world/camera.h"
#include "world/colour.h"
#include "world/engine_state.h"

namespace {

void report(const char* text) {
    if (card3d_report_errors()) report_error(1, text);
}

bool engine_zbuffer_on() { return engine_state.zbuffer_state != 0; }

void set(plat_card_state state, uint32_t value) { card3d_device_current().set_state(state, value); }

void set_defaults() {
    using namespace plat_card_value;
    set(PLAT_CARD_ALPHA_BLEND_ENABLE, 0);
    set(PLAT_CARD_SRC_BLEND, blend_one);
    set(PLAT_CARD_DEST_BLEND, blend_zero);
    set(PLAT_CARD_ALPHA_REF, 1);
    set(PLAT_CARD_ALPHA_TEST_ENABLE, 0);
    set(PLAT_CARD_ALPHA_FUNC, compare_greater_equal);
    set(PLAT_CARD_ALPHA_OP, op_select_arg1);
    set(PLAT_CARD_ALPHA_ARG1, arg_texture);
    set(PLAT_CARD_MIN_FILTER, filter_linear);
    set(PLAT_CARD_MAG_FILTER, filter_linear);
    set(PLAT_CARD_MIP_FILTER, filter_point);
    set(PLAT_CARD_Z_ENABLE, 1);
    set(PLAT_CARD_Z_WRITE_ENABLE, 1);
    set(PLAT_CARD_Z_FUNC, compare_less_equal);
    card3d_record& r = card3d();
    r.blending_known = 1;
    r.last_blending = 0;
    r.zfunc_mode = -1;
    r.alpha_blend = r.alpha_test = 0;
    r.perspective = -1;
    r.stage1_disabled = 0;
}

// The frame's size: the full-screen resolution, else the window's client size.
void target_size(plat_window* window, int* width, int* height) {
    if (engine_state.card_full_screen) {
        *width = engine_state.card_width;
        *height = engine_state.card_height;
    } else {
        plat_window_client_size(window, width, height);
    }
}

// In full screen the mode of the resolution setting: exact, else the nearest pixel count at its depth.
void choose_full_screen_mode(card3d_device_record* device) {
    if (!device) return;
    const long wanted = static_cast<long>(engine_state.card_width) * engine_state.card_height;
    int best = -1;
    long best_gap = 0;
    for (size_t i = 0; i < device->modes.size(); ++i) {
        const plat_display_mode& m = device->modes[i].mode;
        if (m.bits != engine_state.card_depth) continue;
        const bool exact = m.width == engine_state.card_width && m.height == engine_state.card_height;
        const long gap = exact ? -1 : std::labs(static_cast<long>(m.width) * m.height - wanted);
        if (best < 0 || gap < best_gap) {
            best = static_cast<int>(i);
            best_gap = gap;
        }
    }
    if (best >= 0) device->current_mode = best;
}

// Creates the device for the chosen device record, falling back to software when allowed: 0 or a code.
uint32_t create_device(plat_window* window) {
    card3d_record& r = card3d();
    card3d_device_record* device = card3d_selected_device();
    if (!device) return card3d_codes::no_3d_device;
    if (plat_display_depth() <= 8) return card3d_codes::needs_16_bits;
    int width = 0, height = 0;
    target_size(window, &width, &height);
    if (width <= 0 || height <= 0) return card3d_codes::generic_init;
    if (engine_state.card_full_screen) {
        if (!plat_display_set_mode(width, height, engine_state.card_depth)) return card3d_codes::bad_display_mode;
        plat_window_maximize(window);
    }
    const bool depth = engine_zbuffer_on();
    const card3d_device& d = card3d_device_current();
    if (!d.open(device->device_index, width, height, depth)) {
        if (!device->hardware || !card3d_settings().allow_software) return card3d_codes::no_3d_device;
        card3d_show_error(card3d_codes::no_3d_device, false);
        if (card3d_select_default_device(card3d_select::software_only) != 0) return card3d_codes::no_3d_device;
        device = card3d_selected_device();
        if (!device || !d.open(device->device_index, width, height, depth)) return card3d_codes::no_3d_device;
    }
    plat_surface_destroy(r.frame);
    r.frame = plat_surface_create(width, height);
    r.target_width = width;
    r.target_height = height;
    r.target_bits = engine_state.card_full_screen ? engine_state.card_depth : plat_display_depth();
    r.device_zbuffer = depth;
    r.window = window;
    r.windowed = !engine_state.card_full_screen;
    plat_window_client_size(window, &r.client_width, &r.client_height);
    return r.frame ? 0 : card3d_codes::out_of_memory;
}

void destroy_device() {
    card3d_record& r = card3d();
    card3d_containers_invalidate_all();
    card3d_device_current().close();
    plat_surface_destroy(r.frame);
    r.frame = nullptr;
    r.frame_held = 0;
}

// A start that failed part way leaves nothing behind, the display mode included.
void abandon_start() {
    destroy_device();
    if (engine_state.card_full_screen) plat_display_restore_mode();
}

// The driver dialog, once a start, when it may show; a new choice re-creates the device.
bool offer_dialog(plat_window* window) {
    card3d_options& o = card3d_settings();
    if (o.hide_dialog) return true;
    if (card3d_driver_dialog(card3d().windowed) != 1) return true;
    const card3d_device_record* device = card3d_selected_device();
    engine_state.card_full_screen = device && !device->windowed;
    if (engine_state.card_full_screen) {
        const plat_display_mode& m = device->modes[device->current_mode].mode;
        engine_state.card_width = m.width;
        engine_state.card_height = m.height;
        engine_state.card_depth = m.bits;
    } else {
        plat_window_restore(window);
        plat_window_show(window);
    }
    destroy_device();
    return create_device(window) == 0;
}

// Tears the device down and makes it again for the window with the current choice and settings.
int recreate(plat_window* window) {
    const bool held = card3d().frame_held;
    if (held) card3d_device_current().release();
    destroy_device();
    const uint32_t code = create_device(window);
    if (code != 0) {
        card3d_show_error(code, true);
        card3d_close();
        return -1;
    }
    card3d_device_scope scope;
    set_defaults();
    card3d().fog_known = 0;
    card3d_set_fog();
    if (card3d_containers_restore_all() != 0) report("card3d_load_bitmaps: failed loading bitmap");
    if (held && card3d_device_current().acquire()) card3d().frame_held = 1;
    return 0;
}

// A start that keeps the device chosen and shows no dialog.
int start_without_dialog(plat_window* window) {
    card3d_options& o = card3d_settings();
    const int keep = o.keep_choice;
    o.keep_choice = 1;
    const int result = card3d_init(window);
    o.keep_choice = keep;
    return result;
}

uint32_t background_colour() {
    return 0xFF000000u | static_cast<uint32_t>(engine_state.background_red & 0xFF) << 16 |
           static_cast<uint32_t>(engine_state.background_green & 0xFF) << 8 |
           static_cast<uint32_t>(engine_state.background_blue & 0xFF);
}

void draw_frame_rate() {
    card3d_record& r = card3d();
    ++r.rate_frames;
    const uint32_t now = plat_tick_ms();
    const uint32_t elapsed = now - r.rate_tick;
    if (elapsed > 1000) {
        r.rate = r.rate_frames / (elapsed / 1000.0);
        r.rate_frames = 0;
        r.rate_tick = now;
    }
    char text[96];
    std::snprintf(text, sizeof text, card3d_texts::rate_format, r.rate, r.target_width, r.target_height,
                  r.target_bits);
    plat_surface_draw_text(r.frame, 0, 0, text, rgb_to_pixel(255, 128, 0));
}

}  // namespace

card3d_record& card3d() {
    static card3d_record record{};
    return record;
}

card3d_options& card3d_settings() {
    static card3d_options options{0, 0, 1, 0};
    return options;
}

int& card3d_report_errors() {
    static int flag = 1;
    return flag;
}

int card3d_init(plat_window* window) {
    card3d_record& r = card3d();
    if (r.mode) return 0;
    r.windowed = !engine_state.card_full_screen;
    if (!window) window = engine_g().default_window ? engine_g().default_window : create_default_rendering_window();
    if (!window) return -1;
    if (const uint32_t code = card3d_enumerate()) {
        card3d_show_error(code, true);
        return -1;
    }
    card3d_options& o = card3d_settings();
    if (o.keep_choice && engine_state.card_full_screen) choose_full_screen_mode(card3d_selected_device());
    if (const uint32_t code = create_device(window)) {
        card3d_show_error(code, true);
        abandon_start();
        return -1;
    }
    if (!o.keep_choice && !offer_dialog(window)) {
        abandon_start();
        return -1;
    }
    {
        card3d_device_scope scope;
        r.caps = card3d_device_current().read_caps();
        if (r.caps.max_texture < 1) {
            report("card3d_init: faild geting caps");
            abandon_start();
            return -1;
        }
        card3d_write_capability_report();
        r.mode = 1;
        engine_state.card_in_use = 1;
        render_backend_use(&render_backend_card3d());
        card3d_load_bitmaps();
        set_defaults();
        r.fog_known = 0;
        card3d_set_fog();
    }
    r.rate_tick = plat_tick_ms();
    return 0;
}

int card3d_use_detailed(plat_window* window, int width, int height, int bits, int driver_choice, int full_screen,
                        int software_only) {
    if (const uint32_t code = card3d_enumerate()) {
        card3d_show_error(code, true);
        return -1;
    }
    engine_state.card_full_screen = 0;
    int flags = (software_only ? card3d_select::software_only : 0) |
                (driver_choice == 1 ? card3d_select::secondary_driver : card3d_select::primary_driver);
    if (full_screen == 1) {
        engine_state.card_width = width;
        engine_state.card_height = height;
        engine_state.card_depth = bits;
        engine_state.card_full_screen = 1;
        flags |= card3d_select::full_screen;
    }
    if (card3d_select_default_device(flags) != 0) return -1;
    return full_screen == 1 ? start_without_dialog(window) : card3d_init(window);
}

int card3d_close() {
    card3d_record& r = card3d();
    if (!r.mode) {
        card3d_free_enumeration();
        return 0;
    }
    if (engine_state.card_full_screen) plat_display_restore_mode();
    engine_state.card_full_screen = 0;
    r.dc_taken = 0;
    if (r.frame_held) card3d_device_current().release();
    r.frame_held = 0;
    r.mode = 0;
    engine_state.card_in_use = 0;
    render_backend_use(nullptr);
    set_3D_card_reuse_flag(0);
    engine_detach_dynamic_objects(engine_state.dynamic_objects);
    for (bitmap_texture* b = engine_state.bitmaps; b; b = b->next) b->card_texture = nullptr;
    card3d_containers_free();
    destroy_device();
    card3d_free_enumeration();
    r = card3d_record{};
    return 0;
}

int card3d_use(plat_window* window, int on) {
    if (on == 1) return card3d_init(window ? window : card3d().window);
    card3d_close();
    rendering_manager().dimension_changed = 1;
    return 0;
}

int card3d_set_window_mode(int reload_new_only) {
    plat_window* window = card3d().window;
    card3d_close();
    engine_state.card_full_screen = 0;
    card3d_options& o = card3d_settings();
    const int reload = o.reload_new_only;
    o.reload_new_only = reload_new_only;
    const int result = start_without_dialog(window);
    o.reload_new_only = reload;
    return result;
}

int card3d_set_full_screen_mode(int width, int height) {
    card3d_init(card3d().window);
    plat_window* window = card3d().window;
    card3d_close();
    engine_state.card_width = width;
    engine_state.card_height = height;
    engine_state.card_full_screen = 1;
    return start_without_dialog(window);
}

int card3d_is_hardware_supported() { return 1; }

int card3d_before_each_render(plat_window* window, camera* c) {
    card3d_record& r = card3d();
    if (!r.mode || !c || !window) return -1;
    if (plat_window_is_minimized(window)) {
        if (!engine_state.card_full_screen) return -1;
        plat_window_maximize(window);
    }
    if (engine_zbuffer_on() != (r.device_zbuffer != 0) && recreate(window) != 0) return -1;
    int width = 0, height = 0;
    plat_window_client_size(window, &width, &height);
    if (window != r.window || (!engine_state.card_full_screen && (width != r.client_width || height != r.client_height))) {
        if (width <= 0 || height <= 0) return -1;
        if (recreate(window) != 0) return -1;
    }
    if (!r.frame_held) r.frame_held = card3d_device_current().acquire() ? 1 : 0;
    if (!r.frame_held) {
        report("card3d_before_each_render: BeginScene() failed (Catch)");
        return -1;
    }
    const int perspective = c->perspective ? 1 : 0;
    if (perspective != r.perspective) {
        set(PLAT_CARD_TEXTURE_PERSPECTIVE, static_cast<uint32_t>(perspective));
        r.perspective = perspective;
    }
    if (c->width != r.target_width + 1 || c->height != r.target_height + 1)
        camera_set_resolution(c, r.target_width, r.target_height);
    const bool zbuffer = card3d_set_zbuffer_pipeline(window) == 1;
    card3d_device_current().clear(background_colour(), zbuffer, 1.0f);
    const uint32_t atmosphere = static_cast<uint32_t>(engine_state.atmosphere_red & 0xFF) << 16 |
                                static_cast<uint32_t>(engine_state.atmosphere_green & 0xFF) << 8 |
                                static_cast<uint32_t>(engine_state.atmosphere_blue & 0xFF);
    if (!r.fog_known || atmosphere != r.fog_colour) card3d_set_fog();
    return 0;
}

int card3d_set_zbuffer_pipeline(plat_window* window) {
    card3d_record& r = card3d();
    if (!r.mode) return 0;
    if (engine_zbuffer_on()) {
        if (!r.device_zbuffer && recreate(window) != 0) return 0;
        set(PLAT_CARD_Z_ENABLE, 1);
        return 1;
    }
    set(PLAT_CARD_Z_ENABLE, 0);
    if (r.device_zbuffer) {
        recreate(window);
        if (card3d().device_zbuffer) report("card3d_set_zbuffer_pipeline: internal error");
    }
    return 0;
}

void card3d_after_render() {
    card3d_record& r = card3d();
    if (!r.mode) return;
    card3d_device_scope scope;
    card3d_device_current().read_back(r.frame);
    if (engine_render_frame_state().show_frames_per_second) draw_frame_rate();
    if (rendering_manager().present_after_render) card3d_show_frame();
    if (r.frame_held) card3d_device_current().release();
    r.frame_held = 0;
}

void card3d_show_frame() {
    const card3d_record& r = card3d();
    if (r.mode && r.frame) plat_present(r.window, r.frame, 0, 0, r.target_width, r.target_height, 0, 0);
}

frame_hooks card3d_frame_hooks() {
    frame_hooks hooks{};
    hooks.card_use = [](int on) { card3d_use(nullptr, on); };
    hooks.card_set_window_mode = [](int reload) { card3d_set_window_mode(reload); };
    hooks.card_set_full_screen_mode = [](int width, int height) { card3d_set_full_screen_mode(width, height); };
    hooks.card_take_back_buffer = card3d_get_dc;
    hooks.card_release_back_buffer = card3d_release_dc;
    hooks.card_show_frame = [] {
        card3d_show_frame();
        return 0;
    };
    return hooks;
}

int card3d_get_width() { return card3d().frame ? card3d().target_width : 0; }

int card3d_get_height() { return card3d().frame ? card3d().target_height : 0; }

plat_surface* card3d_get_dc() {
    card3d_record& r = card3d();
    if (!r.frame) return nullptr;
    r.dc_taken = 1;
    return r.frame;
}

void card3d_release_dc() { card3d().dc_taken = 0; }

int card3d_render_on_memDC(plat_surface* destination) {
    const card3d_record& r = card3d();
    if (!r.frame || !destination || !destination->bits) return -1;
    const int width = std::min(r.frame->width, destination->width);
    const int height = std::min(r.frame->height, destination->height);
    for (int y = 0; y < height; ++y) {
        const uint16_t* from = r.frame->bits + static_cast<size_t>(y) * r.frame->pitch_pixels;
        std::copy(from, from + width, destination->bits + static_cast<size_t>(y) * destination->pitch_pixels);
    }
    return 0;
}
