// Engine family: adding worlds and polygons, the bitmap cache, the display mode, the log window,
// the last error, the log files and the logo.
#include <string>

#include "api/engine_family.h"
#include "engine_state_load.h"
#include "foundation/dictionary.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/strings.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "render/card3d/card3d.h"
#include "render/images/bitmap_texture.h"
#include "render/images/genwin.h"
#include "render/software/rendering_manager.h"
#include "startup.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/polygon.h"
#include "world/polygon_geometry.h"
#include "world/world_order.h"

namespace {

namespace texts {
inline constexpr const char* caption_load = "Load world";
inline constexpr const char* load_failed = "!!! Failed loading world !!!\n";
inline constexpr const char* finished = "Finished loading";
inline constexpr const char* main_module = "main";
inline constexpr const char* main_suffix = "world";
}  // namespace texts

constexpr int editor_world = 4;

// A display mode change runs with the 3D card off; a card that was in use starts again after it.
template <typename Change>
int with_card_off(Change&& change) {
    const bool card_on = engine_state.card_in_use != 0;
    plat_window* window = card3d().window;
    if (card_on) card3d_use(window, 0);
    const int result = change();
    if (card_on) card3d_use(window && plat_is_window(window) ? window : nullptr, 1);
    return result;
}

plat_window* log_window_if_shown() {
    const engine_globals& g = engine_g();
    return g.log_window_visible && g.log_window && plat_is_window(g.log_window) ? g.log_window : nullptr;
}

// The added group is named after its file: unique through the name dictionary, with the base name
// (plus "world" for "main") as its second name.
void name_added_group(group* g, const char* file) {
    const std::string base = get_file_title(file);
    if (g->name_registered && g->name && engine_state.name_dictionary)
        dictionary_delete_a_word(engine_state.name_dictionary, g->name, 1);
    std::string unique = base;
    g->name_registered = group_add_name_to_dictionary(unique) == 0 ? 1 : 0;
    jstrcpy_with_allocating(&g->name, unique.c_str());
    const std::string second = jstricmp(base.c_str(), texts::main_module) == 0 ? base + texts::main_suffix : base;
    jstrcpy_with_allocating(&g->given_name, second.c_str());
}

void show_without_activating(plat_window* window) {
    plat_window_show(window);
    refresh_log_window();
}

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_engine_add_world(const char* file, const char* world_folder,
                                                 const char* bitmaps_folder, const double position[3]) {
    engine_guard guard;
    const api_export_row& row = engine_row_of(__func__);
    set_log_window_caption(texts::caption_load);
    if (!engine_world_loaded() && Drovik_engine_load_world(nullptr, "", "", editor_world) != 0)
        return api_refusal{row};
    if (!api_editor_only_guard(row.check_name, engine_state.editor_mode)) return api_refusal{row};
    if (plat_window* window = file ? log_window_if_shown() : nullptr) show_without_activating(window);
    engine_clear_visit_flags();
    engine_state.adding_world = 1;
    const vec3 at = position ? vec3{position[0], position[1], position[2]} : vec3{0, 0, 0};
    group* added = engine_add_world_any_format(file, world_folder, bitmaps_folder, at);
    engine_state.adding_world = 0;
    plat_window* window = log_window_if_shown();
    if (!added) {
        if (window) {
            plat_window_set_title(window, texts::load_failed);
            plat_window_minimize(window);
        }
        return api_refusal{row};
    }
    if (window) {
        plat_window_minimize(window);
        set_log_window_caption(texts::finished);
    }
    if (file) name_added_group(added, file);
    return added;
}

DROVIK_API int Drovik_engine_add_polygon(DROVIK_HANDLE polygon_handle) {
    engine_guard guard;
    const api_export_row& row = engine_row_of(__func__);
    if (!api_world_guard(row.check_name)) return api_refusal{row};
    if (!api_editor_only_guard(row.check_name, engine_state.editor_mode)) return api_refusal{row};
    if (!api_check_handle(polygon_handle, row.check_name, DROVIK_KIND_POLYGON)) return api_refusal{row};
    polygon* p = static_cast<polygon*>(polygon_handle);
    module* main = engine_state.main_module;
    if (!main || !main->root || !polygon_is_valid(p)) return -1;
    return polygon_list_add(&main->root->polygons, p);
}

DROVIK_API int Drovik_engine_reduce_polygons_count(double tolerance) {
    engine_guard guard;
    const api_export_row& row = engine_row_of(__func__);
    if (!api_world_guard(row.check_name)) return api_refusal{row};
    if (!api_editor_only_guard(row.check_name, engine_state.editor_mode)) return api_refusal{row};
    module* main = engine_state.main_module;
    if (!main || !main->root) return 0;
    const int joins = optimize_polygon_list(&main->root->polygons, nullptr, tolerance);
    thread_polygons_in_world_order();
    return joins;
}

DROVIK_API int Drovik_engine_get_number_of_loaded_bitmaps() {
    engine_guard guard;
    int count = 0;
    for (const bitmap_texture* b = engine_state.bitmaps; b; b = b->next) ++count;
    return count;
}

DROVIK_API int Drovik_engine_unload_unused_bitmaps() {
    engine_guard guard;
    return unload_unused_bitmaps(&engine_state.bitmaps);
}

DROVIK_API int Drovik_engine_unload_all_bitmaps() {
    engine_guard guard;
    return bitmap_texture_delete_all(&engine_state.bitmaps);
}

DROVIK_API int Drovik_engine_set_resolution(int width, int height, int bits_per_pixel) {
    engine_guard guard;
    if (!engine_is_initialized()) engine_first_init();
    return with_card_off([=] {
        const int result = rendering_manager().display.set_resolution(width, height, bits_per_pixel);
        plat_window* window = engine_g().default_window;
        if (result == 0 && window && plat_is_window(window)) {
            plat_window_move(window, 0, 0);
            plat_window_set_client_size(window, width, height);
        }
        return result;
    });
}

DROVIK_API int Drovik_engine_set_color_depth(int bits_per_pixel) {
    engine_guard guard;
    if (!engine_is_initialized()) engine_first_init();
    return with_card_off([=] { return rendering_manager().display.set_color_depth(bits_per_pixel); });
}

DROVIK_API void Drovik_engine_get_resolution(int* width, int* height, int* bits_per_pixel) {
    engine_guard guard;
    int w = 0, h = 0, bits = 0;
    rendering_manager().display.get_resolution(&w, &h, &bits);
    if (width) *width = w;
    if (height) *height = h;
    if (bits_per_pixel) *bits_per_pixel = bits;
}

DROVIK_API int Drovik_engine_get_original_color_depth() {
    engine_guard guard;
    if (!engine_is_initialized()) engine_first_init();
    return engine_g().startup_depth;
}

DROVIK_API void Drovik_engine_set_log_window_visible() {
    engine_guard guard;
    show_without_activating(create_log_window());
    engine_g().log_window_visible = 1;
}

DROVIK_API void Drovik_engine_hide_log_window() {
    engine_guard guard;
    engine_globals& g = engine_g();
    if (g.log_window && plat_is_window(g.log_window)) plat_window_hide(g.log_window);
    g.log_window_visible = 0;
}

DROVIK_API int Drovik_engine_is_log_window_visible() {
    engine_guard guard;
    return engine_g().log_window_visible;
}

DROVIK_API int Drovik_engine_get_log_window_progress() {
    engine_guard guard;
    return engine_g().progress_position;
}

DROVIK_API int Drovik_engine_get_log_window_target() {
    engine_guard guard;
    return engine_g().progress_target;
}

DROVIK_API void Drovik_engine_set_log_window_progress(int progress) {
    engine_guard guard;
    set_log_window_progress(progress);
    if (engine_g().log_window) refresh_log_window();
}

DROVIK_API void Drovik_engine_set_log_window_target(int target) {
    engine_guard guard;
    set_log_window_target(target);
    if (engine_g().log_window) refresh_log_window();
}

DROVIK_API void Drovik_engine_log_window_minimize() {
    engine_guard guard;
    plat_window_minimize(create_log_window());
}

DROVIK_API void Drovik_engine_log_window_set_text(const char* text) {
    engine_guard guard;
    plat_window* window = create_log_window();
    set_log_window_caption(text ? text : "");
    if (engine_g().log_window_visible) show_without_activating(window);
}

DROVIK_API void Drovik_engine_log_window_output(const char* text) { Drovik_engine_log_window_set_text(text); }

DROVIK_API void Drovik_engine_log_window_set_title(const char* text) {
    engine_guard guard;
    Drovik_engine_log_window_set_text(text);
    plat_window_set_title(create_log_window(), text ? text : "");
}

DROVIK_API DROVIK_WINDOW Drovik_engine_log_window_get_hwnd() {
    engine_guard guard;
    return create_log_window();
}

DROVIK_API const char* Drovik_engine_get_last_error() {
    engine_guard guard;
    return engine_get_last_error();
}

DROVIK_API int Drovik_engine_clear_drovik_log_files() {
    engine_guard guard;
    close_log_files();
    return open_log_files();
}

DROVIK_API DROVIK_SURFACE Drovik_engine_get_logo() {
    engine_guard guard;
    static plat_surface* logo = nullptr;
    if (!logo) logo = genwin_get_resource_bitmap(genwin_logo_id);
    return logo;
}
