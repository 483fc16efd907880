// The engine's life: the library entry, first-use start-up and shutdown.
#include "startup.h"

#include <cstdint>

#include "engine_state_load.h"
#include "formats/world_formats.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/profiler.h"
#include "foundation/strings.h"
#include "platform/msgbox.h"
#include "platform/window.h"
#include "render/software/rendering_manager.h"
#include "world/colour.h"

namespace {

int& startup_report_errors() {
    static int flag = 1;
    return flag;
}

void free_owned_strings(engine_globals& g) {
    for (int i = 0; i < world_format_count; ++i) {
        g.format_names[i] = static_cast<char*>(engine_free(g.format_names[i]));
        g.format_extensions[i] = static_cast<char*>(engine_free(g.format_extensions[i]));
    }
    g.progress_caption = static_cast<char*>(engine_free(g.progress_caption));
}

}  // namespace

// The library entry: records which image the engine lives in, nothing more.
__attribute__((constructor)) static void engine_library_entry() {
    engine_g().module_instance = reinterpret_cast<const void*>(&engine_library_entry);
}

void engine_first_init() {
    engine_globals& g = engine_g();
    if (g.initialized == 1) return;
    g.initialized = 0;
    g.default_window = nullptr;
    g.log_window_visible = 1;
    g.render_priority_class = high_priority_class;
    g.render_thread_priority = highest_thread_priority;
    for (int i = 0; i < world_format_count; ++i) {
        jstrcpy_with_allocating(&g.format_names[i], world_format_rows[i].name);
        jstrcpy_with_allocating(&g.format_extensions[i], world_format_rows[i].extension);
    }
    g.initialized = 1;
    open_log_files();
    // The display mode through the rendering manager; a depth switch goes through the display
    // settings, as its restore at close does.
    Rendering_manager& manager = rendering_manager();
    manager.set_16bit_rgb_mode();
    g.startup_depth = manager.bits_per_pixel;
    if (manager.bits_per_pixel != 16) {
        set_display_bits_per_pixel(16);
        manager.set_16bit_rgb_mode();
    }
    if (manager.bits_per_pixel != 16) {
        plat_message_box("Warning", startup_texts::depth_failed, PLAT_ICON_WARNING, PLAT_BUTTONS_OK);
    }
    // A broken mask was reported by the wrapper; the engine then keeps its 5-6-5 packing.
    if (manager.red_width > 0 && manager.green_width > 0 && manager.blue_width > 0) {
        set_pixel_format_bits(manager.red_width, manager.green_width, manager.blue_width);
    }
    g.progress_colour = progress_brush_colour;
    create_log_window();
    destroy_log_window();
    g.world_loaded = 0;
    create_default_rendering_window();
    g.default_window_shown = 0;
}

void engine_shutdown() {
    engine_globals& g = engine_g();
    engine_close(1);
    rendering_manager().release();
    if (g.default_window && plat_is_window(g.default_window)) plat_window_destroy(g.default_window);
    g.default_window = nullptr;
    g.default_window_shown = 0;
    destroy_log_window();
    free_owned_strings(g);
    const uint32_t left = engine_get_bytes_in_use();
    if (left != 0 && startup_report_errors()) report_errorf(startup_texts::leak, static_cast<int>(left));
    profiler_reset();
    if (g.startup_depth != 16 && g.startup_depth != 0) set_display_bits_per_pixel(g.startup_depth);
    g.startup_depth = 0;
    close_log_files();
    g.initialized = 0;
}
