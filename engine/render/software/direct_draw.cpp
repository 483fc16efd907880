// The display wrapper: the screen's 16-bit pixel format, its resolution and depth, and mode changes,
// over the platform display (modes are recorded there, never applied to the desktop).
#include "render/software/direct_draw.h"

#include <bit>
#include <cstdint>

#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "platform/display.h"
#include "platform/msgbox.h"
#include "platform/surface.h"
#include "platform/window.h"

namespace {

namespace texts = direct_draw_texts;

void report(const char* text) {
    if (direct_draw_report_errors()) report_error(1, text);
}

// log2(value + 1) when value + 1 is a power of two (value a run of low bits), else -1.
int run_width(uint64_t value) {
    const uint64_t next = value + 1;
    return std::has_single_bit(next) ? std::countr_zero(next) : -1;
}

void destroy_window(plat_window*& window) {
    if (window && plat_is_window(window)) plat_window_destroy(window);
    window = nullptr;
}

}  // namespace

int& direct_draw_report_errors() {
    static int flag = 1;
    return flag;
}

direct_draw_mode& direct_draw_last_mode() {
    static direct_draw_mode mode{};
    return mode;
}

jdirect_draw::~jdirect_draw() { close(); }

int jdirect_draw::open(plat_window*, int no_secondary, int width, int height) {
    if (open_) close();
    destroy_window(hidden_window_);
    hidden_window_ = create_directx_window();
    if (hidden_window_) plat_window_hide(hidden_window_);
    bool ok = plat_display_open() && create_primary_surface() == 0;
    if (ok && !no_secondary) {
        secondary_ = create_secondary_surface(width, height);
        ok = secondary_ != nullptr;
    }
    if (ok) {
        open_ = 1;
        return 0;
    }
    release();
    report(texts::open_failed);
    if (!failure_shown_) {
        failure_shown_ = 1;
        plat_message_box("Warning", texts::open_box, PLAT_ICON_NONE, PLAT_BUTTONS_OK);
    }
    return -1;
}

void jdirect_draw::close() {
    if (open_) release();
}

void jdirect_draw::release() {
    plat_surface_destroy(secondary_);
    secondary_ = nullptr;
    destroy_window(hidden_window_);
    open_ = 0;
}

int jdirect_draw::create_primary_surface() {
    if (!plat_display_open()) {
        report(texts::no_primary);
        return -1;
    }
    int width = 0;
    int height = 0;
    plat_display_size(&width, &height);
    if (width > 0 && height > 0 && plat_display_pixel_format().bits > 0) {
        primary_width_ = width;
        primary_height_ = height;
    } else {
        report(texts::primary_lock);
    }
    return 0;
}

plat_surface* jdirect_draw::create_secondary_surface(int width, int height) {
    return plat_surface_create(width, height);
}

bool jdirect_draw::open_for_call() { return open_ || open(nullptr, 0, 2, 2) == 0; }

void jdirect_draw::set_16bit_rgb_mode(int* bits, int* red_width, int* green_width, int* blue_width) {
    const bool temporary = !open_;
    if (!open_for_call()) {
        report(texts::no_format);
        return;
    }
    const plat_pixel_format format = plat_display_pixel_format();
    *bits = format.bits;
    *blue_width = run_width(format.blue_mask);
    *green_width = *blue_width < 0 ? -1 : run_width(format.green_mask >> *blue_width);
    *red_width = *green_width < 0 ? -1 : run_width(format.red_mask >> (*blue_width + *green_width));
    if (*red_width < 0) report(texts::bad_mask);
    if (temporary) close();
}

int jdirect_draw::get_resolution(int* width, int* height, int* bits) {
    *width = *height = *bits = 0;
    const direct_draw_mode& last = direct_draw_last_mode();
    if (last.width > 0) {
        *width = last.width;
        *height = last.height;
        *bits = last.bits;
        return 0;
    }
    const bool temporary = !open_;
    if (!open_for_call()) {
        report(texts::no_format);
        return -1;
    }
    plat_display_size(width, height);
    *bits = plat_display_pixel_format().bits;
    if (temporary) close();
    return 0;
}

int jdirect_draw::set_color_depth(int bits) {
    if (!open_for_call()) {
        report(texts::no_format);
        return -1;
    }
    return set_resolution(primary_width_, primary_height_, bits);
}

int jdirect_draw::set_resolution(int width, int height, int bits) {
    if (!open_for_call()) return -1;
    const bool set = plat_display_set_mode(width, height, bits);
    if (hidden_window_) plat_window_hide(hidden_window_);
    if (!set) return -1;
    direct_draw_last_mode() = {width, height, bits};
    return 0;
}
