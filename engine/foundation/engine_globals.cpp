// The library-lifetime engine record, the default rendering window and the log window with its progress bar.
#include "foundation/engine_globals.h"

#include <algorithm>
#include <cstdint>

#include "foundation/strings.h"
#include "platform/numbers.h"
#include "platform/surface.h"
#include "platform/window.h"

namespace {

constexpr uint16_t log_picture_colour = 0x18E7;
constexpr uint16_t black = 0x0000;
constexpr uint16_t white = 0xFFFF;
constexpr uint16_t edge_grey = 0x8410;

void fill(plat_surface* surface, int x0, int y0, int x1, int y1, uint16_t colour) {
    x0 = std::clamp(x0, 0, surface->width);
    x1 = std::clamp(x1, 0, surface->width);
    y0 = std::clamp(y0, 0, surface->height);
    y1 = std::clamp(y1, 0, surface->height);
    for (int y = y0; y < y1; ++y) {
        std::fill(surface->bits + y * surface->pitch_pixels + x0,
                  surface->bits + y * surface->pitch_pixels + x1, colour);
    }
}

// The log window's picture with the progress bar along its bottom edge.
void draw_log_window(plat_window* window, int percent, const char* caption) {
    int width = 0;
    int height = 0;
    plat_window_client_size(window, &width, &height);
    plat_surface* surface = plat_surface_create(width, height);
    if (!surface) return;
    const int bar_x = 1;
    const int bar_y = height - progress_bar_height;
    const int bar_width = width - 3;
    fill(surface, 0, 0, width, height, log_picture_colour);
    fill(surface, bar_x, bar_y, bar_x + bar_width, height, edge_grey);
    const int inner_x = bar_x + 1;
    const int inner_y = bar_y + 1;
    const int inner_width = bar_width - 2;
    const int split = inner_x + std::clamp(percent, 0, 100) * inner_width / 100;
    fill(surface, inner_x, inner_y, split, height - 1, progress_brush_colour);
    fill(surface, split, inner_y, inner_x + inner_width, height - 1, black);
    const std::string text = plat_format(startup_texts::progress_format, caption ? caption : "", percent);
    plat_surface* measure = plat_surface_create(2, 2);
    const int text_width = measure ? plat_surface_draw_text(measure, 0, 0, text.c_str(), white) : 0;
    plat_surface_destroy(measure);
    plat_surface_draw_text(surface, inner_x + (inner_width - text_width) / 2, inner_y, text.c_str(), white);
    plat_present(window, surface, 0, 0, width, height, 0, 0);
    plat_surface_destroy(surface);
}

}  // namespace

engine_globals& engine_g() {
    static engine_globals globals = [] {
        engine_globals g{};
        g.log_window_visible = 1;
        g.render_priority_class = high_priority_class;
        g.render_thread_priority = highest_thread_priority;
        g.progress_colour = progress_brush_colour;
        return g;
    }();
    return globals;
}

int engine_is_initialized() { return engine_g().initialized; }
int engine_world_loaded() { return engine_g().world_loaded; }
void engine_set_world_loaded(int loaded) { engine_g().world_loaded = loaded; }

plat_window* create_default_rendering_window() {
    engine_globals& g = engine_g();
    if (g.default_window && plat_is_window(g.default_window)) return g.default_window;
    g.default_window = plat_window_create_sdl(startup_texts::default_window_title, PLAT_DEFAULT_POSITION,
                                              PLAT_DEFAULT_POSITION, 300, 300, false);
    return g.default_window;
}

void show_default_rendering_window() {
    engine_globals& g = engine_g();
    if (g.default_window_shown == 1) return;
    plat_window* window = create_default_rendering_window();
    if (!window) return;
    plat_window_show(window);
    g.default_window_shown = 1;
}

void hide_default_rendering_window() {
    engine_globals& g = engine_g();
    if (g.default_window_shown != 1) return;
    g.default_window_shown = 0;
    if (g.default_window && plat_is_window(g.default_window)) plat_window_hide(g.default_window);
}

plat_window* create_directx_window() {
    return plat_window_create_sdl(startup_texts::directx_window_title, PLAT_DEFAULT_POSITION,
                                  PLAT_DEFAULT_POSITION, 300, 300, false);
}

plat_window* create_log_window() {
    engine_globals& g = engine_g();
    if (g.log_window && plat_is_window(g.log_window)) return g.log_window;
    g.log_window = plat_window_create_sdl(startup_texts::log_window_title, 100, 100, log_window_width,
                                          log_window_height, false);
    return g.log_window;
}

void destroy_log_window() {
    engine_globals& g = engine_g();
    if (g.log_window && plat_is_window(g.log_window)) plat_window_destroy(g.log_window);
    g.log_window = nullptr;
}

void paint_log_window_progress() {
    engine_globals& g = engine_g();
    if (!g.log_window_visible || g.progress_target <= 0) return;
    plat_window* window = create_log_window();
    if (!window) return;
    int percent = g.painted_percent;
    if (g.progress_position != g.painted_position || g.progress_target != g.painted_target) {
        // The position wraps round the target: 250 of 100 paints 50 per cent.
        if (g.progress_position > g.progress_target)
            g.progress_position = (g.progress_position - 1) % g.progress_target + 1;
        g.painted_position = g.progress_position;
        g.painted_target = g.progress_target;
        percent = static_cast<int>(static_cast<int64_t>(g.progress_position) * 100 / g.progress_target);
    }
    if (percent == g.painted_percent && !g.caption_changed) return;
    g.caption_changed = 0;
    g.painted_percent = percent;
    draw_log_window(window, percent, g.progress_caption);
    plat_window_show(window);
}

void refresh_log_window() { paint_log_window_progress(); }

void set_log_window_caption(const char* text) {
    engine_globals& g = engine_g();
    jstrcpy_with_allocating(&g.progress_caption, text);
    g.caption_changed = 1;
    paint_log_window_progress();
}

void set_log_window_progress(int position) { engine_g().progress_position = position; }
void set_log_window_target(int target) { engine_g().progress_target = target; }
void set_3D_card_reuse_flag(int value) { engine_g().card_reuse = value; }
