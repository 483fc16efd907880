// Engine family: loading, saving and closing worlds, the world state queries and the formats.
#include <bit>
#include <cstdio>
#include <string>

#include "api/export_guards.h"
#include "engine_state_load.h"
#include "formats/world_formats.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/strings.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "render/images/bitmap_texture.h"
#include "render/software/navigation.h"
#include "startup.h"
#include "world/engine_state.h"

namespace engine_world_texts {
inline constexpr const char* load_name = "Drovik_engine_load_world";
inline constexpr const char* save_name = "Drovik_engine_save";
inline constexpr const char* caption_load = "Load world";
inline constexpr const char* caption_exiting = "Exiting";
inline constexpr const char* caption_general = "General";
inline constexpr const char* load_failed = "!!! Failed loading world !!!\n";
inline constexpr const char* null_file = "Drovik_engine_save: got a NULL file_name !\n";
inline constexpr const char* viewer_binary_only = "Drovik_engine_save: Only binary formats can be saved in viewer mode";
inline constexpr const char* too_long = "Drovik_engine_save: file_name is too big!\nMore then 1900 chars !!";
inline constexpr const char* bad_extension =
    "Drovik_engine_save:\nYou must call this function with .wld extension\nor with .X extension\nor with no "
    "extension at all !\n";
inline constexpr const char* no_folder = "Path for file   %s\ndoes not exist !";
inline constexpr size_t max_file_name = 1900;
}  // namespace engine_world_texts

namespace {

namespace texts = engine_world_texts;

// The channel widths of a mask (5-6-5 for the 16-bit display).
int mask_width(uint32_t mask) { return std::popcount(mask); }

bool log_window_shown() {
    const engine_globals& g = engine_g();
    return g.log_window_visible && g.log_window && plat_is_window(g.log_window);
}

// Whether a file of that name could be written, without creating, truncating or removing one.
bool can_write_beside(const std::string& path) {
    const std::string target = plat_path_resolve_for_write(path);
    if (plat_file_exists(target)) {
        FILE* file = std::fopen(target.c_str(), "r+");
        if (file) std::fclose(file);
        return file != nullptr;
    }
    FILE* file = std::fopen(target.c_str(), "w");
    if (!file) return false;
    std::fclose(file);
    std::remove(target.c_str());
    return true;
}

bool is_savable_extension(const std::string& extension) {
    for (const char* known : {"wld", "drovik", "x", "raw"}) {
        if (extension == known) return true;
    }
    return false;
}

}  // namespace

DROVIK_API int Drovik_engine_load_world(const char* file, const char* world_folder, const char* bitmaps_folder,
                                        int flags) {
    engine_guard guard;
    if (!engine_is_initialized()) engine_first_init();
    engine_set_world_loaded(0);
    set_log_window_caption(texts::caption_load);
    if (file && log_window_shown()) {
        set_log_window_progress(0);
        set_log_window_target(0);
        plat_window_show(engine_g().log_window);
        refresh_log_window();
    }
    engine_close(0);
    navigation_free();
    if (flags & load_flags::navigation_object) navigation_make(world_folder, bitmaps_folder);
    const plat_pixel_format format = plat_display_pixel_format();
    const int result = engine_load_world(file, world_folder, bitmaps_folder, static_cast<uint32_t>(flags),
                                         mask_width(format.red_mask), mask_width(format.green_mask),
                                         mask_width(format.blue_mask), nullptr);
    if (result != 0) {
        engine_set_world_loaded(0);
        if (log_window_shown()) {
            plat_window_set_title(engine_g().log_window, texts::load_failed);
            plat_window_minimize(engine_g().log_window);
        }
        return -1;
    }
    navigation_start(file);
    unload_unused_bitmaps(&engine_state.bitmaps);
    destroy_log_window();
    engine_set_world_loaded(1);
    return 0;
}

DROVIK_API int Drovik_engine_is_engine_empty() {
    engine_guard guard;
    return engine_world_loaded() ? 0 : 1;
}

DROVIK_API int Drovik_engine_is_editor_mode() {
    engine_guard guard;
    return engine_world_loaded() ? engine_state.editor_mode : 0;
}

DROVIK_API int Drovik_engine_save(const char* file, DROVIK_HANDLE group_handle, int flags) {
    engine_guard guard;
    if (!api_world_guard(texts::save_name)) return -1;
    if (!file) {
        warning_box(texts::null_file);
        return -1;
    }
    if (!api_check_handle(group_handle, texts::save_name, DROVIK_KIND_GROUP)) return -1;
    const std::string extension = get_extension(file);
    if (!engine_state.editor_mode && jstricmp(extension.c_str(), "drovik") != 0) {
        engine_log_write(texts::viewer_binary_only);
        return -1;
    }
    if (std::string(file).size() > texts::max_file_name) {
        warning_box(texts::too_long);
        return -1;
    }
    if (!extension.empty() && !is_savable_extension(extension)) {
        warning_box(texts::bad_extension);
        return -1;
    }
    const std::string probe = strip_extension(file) + ".wld";
    if (!can_write_beside(probe)) {
        warning_box(plat_format(texts::no_folder, probe.c_str()).c_str());
        return -1;
    }
    const int result = engine_save(file, static_cast<group*>(group_handle), flags);
    destroy_log_window();
    return result;
}

// The arrays of the format table, held by the engine since its first use.
DROVIK_API const char** Drovik_engine_get_supported_formats_extensions_array(int* count) {
    engine_guard guard;
    if (!engine_is_initialized()) engine_first_init();
    if (count) *count = world_format_count;
    return const_cast<const char**>(engine_g().format_extensions);
}

DROVIK_API const char** Drovik_engine_get_supported_formats_names_array(int* count) {
    engine_guard guard;
    if (!engine_is_initialized()) engine_first_init();
    if (count) *count = world_format_count;
    return const_cast<const char**>(engine_g().format_names);
}

DROVIK_API int Drovik_engine_close() {
    engine_guard guard;
    engine_globals& g = engine_g();
    set_log_window_progress(0);
    g.log_window_visible = 1;
    set_log_window_target(100);
    set_log_window_caption(texts::caption_exiting);
    for (int i = 1; i <= 100; ++i) {
        set_log_window_progress(i);
        refresh_log_window();
        plat_sleep_ms(10);
    }
    set_log_window_caption(texts::caption_general);
    navigation_free();
    engine_shutdown();
    return 0;
}
