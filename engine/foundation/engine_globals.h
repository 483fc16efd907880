// The library-lifetime engine record, the default rendering window and the log window.
#pragma once
#include <cstdint>

struct plat_window;

inline constexpr int world_format_count = 6;
// The record's render priorities and progress brush (red 255, green 128, blue 0, RGB565).
inline constexpr int high_priority_class = 128;
inline constexpr int highest_thread_priority = 2;
inline constexpr uint16_t progress_brush_colour = 0xFC00;

struct engine_globals {
    plat_window* default_window;
    int startup_depth;
    plat_window* log_window;
    int world_loaded;
    int default_window_shown;
    int log_window_visible;
    char* format_names[world_format_count];
    char* format_extensions[world_format_count];
    int render_priority_class;
    int render_thread_priority;
    char* progress_caption;
    int caption_changed;
    int progress_position;
    int progress_target;
    int painted_position;
    int painted_target;
    int painted_percent;
    uint16_t progress_colour;  // the progress brush, RGB565
    uint8_t initialized;
    const void* module_instance;  // set by the library entry
    int card_reuse;
};

engine_globals& engine_g();

int engine_is_initialized();
int engine_world_loaded();
void engine_set_world_loaded(int loaded);

plat_window* create_default_rendering_window();
void show_default_rendering_window();
void hide_default_rendering_window();
plat_window* create_directx_window();

plat_window* create_log_window();
void destroy_log_window();
void paint_log_window_progress();
void refresh_log_window();
void set_log_window_caption(const char* text);
void set_log_window_progress(int position);
void set_log_window_target(int target);
void set_3D_card_reuse_flag(int value);

namespace startup_texts {
inline constexpr const char* depth_failed =
    "Failed setting 16bit color depth (Hi Color)\nInstall DirextX or set you desktop to\n16bit color depth (Hi Color)";
inline constexpr const char* leak = "\n\nDLL Didnt free all mem ! %d bytes left\n";
inline constexpr const char* default_window_title = "Drovik default rendering window";
inline constexpr const char* directx_window_title = "DirectX Window";
inline constexpr const char* log_window_title = "Drovik 3D Graphics Engine";
inline constexpr const char* progress_format = "%s %d%%";
}  // namespace startup_texts

// Log window geometry: 111 x 138 dialog units of an 8-point dialog font.
inline constexpr int log_window_width = 167;
inline constexpr int log_window_height = 224;
inline constexpr int progress_bar_height = 17;
