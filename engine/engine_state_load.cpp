// Loading a world, adding a further world, and loading a file into a scratch state for its polygons.
#include "engine_state_load.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "engine_state_digest.h"
#include "formats/world_formats.h"
#include "foundation/dictionary.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "render/software/frame_buffers.h"
#include "startup.h"
#include "world/anim3d_load.h"
#include "world/bsp_node.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/object_module.h"
#include "world/polygon.h"
#include "world/world_order.h"

namespace {

group* last_top_group = nullptr;

int make_empty_main_module() {
    module* m = init_module();
    if (!m) {
        report_error(1, "engine_load_world: init_object failed\n");
        return -1;
    }
    m->root = init_bsp_node();
    if (!m->root) {
        report_error(1, "engine_load_world: faild init bsp_node\n");
        module_destroy(m);
        return -1;
    }
    engine_set_last_main_module_name(load_texts::main_module);
    jstrcpy_with_allocating(&m->name, load_texts::main_module);
    module** tail = &engine_state.modules;
    while (*tail) tail = &(*tail)->next;
    *tail = m;
    return 0;
}

template <typename T>
void append_list(T*& saved, T*& scratch_list) {
    T** tail = &saved;
    while (*tail) tail = &(*tail)->next;
    *tail = scratch_list;
    scratch_list = nullptr;
}

// Groups made in the scratch state carry names of its dictionary: they join the live one.
void register_groups(group* list) {
    for (group* g = list; g; g = g->next) {
        if (!g->name) continue;
        std::string unique = g->name;
        const bool registered = group_add_name_to_dictionary(unique) == 0;
        g->name_registered = registered ? 1 : 0;
        if (unique != g->name) jstrcpy_with_allocating(&g->name, unique.c_str());
    }
}

polygon* take_main_polygons() {
    module* main = engine_state.main_module;
    if (!main || !main->root) return nullptr;
    polygon* taken = main->root->polygons;
    main->root->polygons = nullptr;
    return taken;
}

// Loads the file in editor mode into a scratch record while the live one is set aside, then
// gives the live record back with the scratch lists it asked for; -1 when the load failed.
int scratch_load(const char* file, const char* world_directory, const char* bitmaps_directory, bool everything,
                 polygon** taken, group** top) {
    engine_state_record saved = engine_state;
    std::memset(&engine_state, 0, sizeof engine_state);
    engine_state_set_scratch(true);
    engine_state.adding_world = 1;
    int count = 0;
    const int result = engine_load_world(file, world_directory, bitmaps_directory, load_flags::editor, saved.red_bits,
                                         saved.green_bits, saved.blue_bits, &count);
    engine_state.adding_world = 0;
    *taken = take_main_polygons();
    *top = last_top_group;
    engine_state_record& scratch = engine_state;
    if (result == 0) {
        // Groups change dictionaries: out of the scratch one, into the live one below.
        for (group* g = scratch.groups; g; g = g->next) {
            if (g->name_registered && g->name && scratch.name_dictionary)
                dictionary_delete_a_word(scratch.name_dictionary, g->name, 1);
            g->name_registered = 0;
        }
        group* groups = scratch.groups;
        append_list(saved.bitmaps, scratch.bitmaps);
        append_list(saved.animations3d, scratch.animations3d);
        append_list(saved.groups, scratch.groups);
        if (everything) {
            append_list(saved.tracks, scratch.tracks);
            append_list(saved.cameras, scratch.cameras);
            append_list(saved.lights, scratch.lights);
            append_list(saved.animations, scratch.animations);
            append_list(saved.backgrounds, scratch.backgrounds);
            if (!saved.current_background) saved.current_background = scratch.current_background;
            scratch.current_background = nullptr;
        }
        engine_close(0);
        engine_state = saved;
        register_groups(groups);
    } else {
        engine_close(0);
        engine_state = saved;
        polygon_list_free(taken);
        *top = nullptr;
    }
    engine_state_set_scratch(false);
    return result;
}

void append_to_main_root(polygon* list) {
    if (engine_state.zbuffer_state == 0) engine_state.zbuffer_state = 1;
    module* main = engine_state.main_module;
    if (!main || !main->root) {
        polygon_list_free(&list);
        return;
    }
    polygon** tail = &main->root->polygons;
    while (*tail) tail = &(*tail)->next;
    *tail = list;
    thread_polygons_in_world_order();
}

// The last line of a failed load names the file, joined to its folder as the reader takes it.
void report_failed_file(const char* routine, const char* file, const char* directory) {
    if (file) report_errorf("%s: failed reading %s\n", routine, str_concatenate_paths(file, directory).c_str());
}

bool is_md2(const char* file) { return jstricmp(get_extension(file).c_str(), "md2") == 0; }

}  // namespace

void engine_init_world_state(int editor, int red_bits, int green_bits, int blue_bits, int keep_bitmaps) {
    if (!engine_is_initialized()) engine_first_init();
    engine_state_start(editor, red_bits, green_bits, blue_bits, keep_bitmaps);
    // The frame buffers belong to the live world; a scratch load keeps them.
    if (!engine_state_is_scratch()) init_frame_buffers();
}

int engine_load_world(const char* file, const char* world_directory, const char* bitmaps_directory, uint32_t flags,
                      int red_bits, int green_bits, int blue_bits, int* out_count) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    if (!log_files_are_open()) open_log_files();
    // A world left open would be lost by the reset: close it first.
    if (!engine_state_is_scratch() && (engine_state.modules || engine_state.groups || engine_state.cameras))
        engine_close(0);
    const int32_t adding = engine_state.adding_world;
    engine_init_world_state(flags & load_flags::editor ? 1 : 0, red_bits, green_bits, blue_bits, 1);
    engine_state.adding_world = adding;
    if (world_directory) jstrcpy_with_allocating(&engine_state.world_directory, world_directory);
    if (bitmaps_directory) jstrcpy_with_allocating(&engine_state.bitmaps_directory, bitmaps_directory);
    engine_apply_load_flags(flags);
    const bool zbuffer_off = (flags & load_flags::zbuffer_off) && !(flags & load_flags::editor);
    bool binary = false;
    last_top_group = nullptr;
    set_log_window_caption(load_texts::caption_load);
    if (file) {
        binary = jstricmp(get_extension(file).c_str(), "drovik") == 0;
        if (read_world_design1(world_directory, file, &last_top_group) != 0) {
            report_error(1, "engine_load_world: read_world_design1 returned error\n");
            report_failed_file("engine_load_world", file, world_directory);
            return -1;
        }
    } else if (make_empty_main_module() != 0) {
        return -1;
    }
    if (!binary && engine_digest_worlds(engine_state.bitmaps_directory, engine_state.modules, 1) != 0) {
        report_error(1, "engine_load_world: digest worlds failed\n");
        report_failed_file("engine_load_world", file, world_directory);
        return -1;
    }
    if (zbuffer_off) engine_state.zbuffer_state = 0;
    if (out_count) *out_count = count_world_polygons();
    if (!engine_state_is_scratch()) engine_set_world_loaded(1);
    return 0;
}

group* engine_add_world(const char* file, const char* world_directory, const char* bitmaps_directory,
                        const vec3& position) {
    engine_set_last_main_module_name(nullptr);
    if (read_world_design1(world_directory, file, nullptr) != 0) {
        report_error(1, "engine_add_world: read_world_design1 returned error\n");
        report_failed_file("engine_add_world", file, world_directory);
        return nullptr;
    }
    if (!engine_state.last_main_module_name) {
        report_error(1, "engine_add_world: The added world doesnt have a MAIN module\n");
        return nullptr;
    }
    module* main = engine_state.main_module;
    if (!main || !main->root) return nullptr;
    object* o = init_object();
    if (!o) {
        report_error(1, "engine_add_world: init_object failed\n");
        return nullptr;
    }
    matrix_set_translation(o->matrix, position);
    const bool named = object_set_module_name(o, engine_state.last_main_module_name) == 0;
    object_list_push(&main->root->objects, o);
    const std::string added = engine_state.last_main_module_name;
    const char* bitmaps = bitmaps_directory ? bitmaps_directory : engine_state.bitmaps_directory;
    if (engine_digest_worlds(bitmaps, engine_state.modules, 1) != 0) {
        report_error(1, "engine_add_world: digest worlds failed\n");
        report_failed_file("engine_add_world", file, world_directory);
        return nullptr;
    }
    return named ? group_find_by_name(engine_state.groups, added.c_str()) : nullptr;
}

group* engine_add_world_any_format(const char* file, const char* world_directory, const char* bitmaps_directory,
                                   const vec3& position) {
    if (!file) return nullptr;
    if (jstricmp(get_extension(file).c_str(), "wld") == 0)
        return engine_add_world(file, world_directory, bitmaps_directory, position);
    polygon* taken = nullptr;
    if (is_md2(file)) {
        // Into the live state, so that an unchanged model's animation is used again.
        const std::string path = str_concatenate_paths(file, world_directory);
        if (anim3d_load_md2_file(path.c_str(), &taken)) append_to_main_root(taken);
        return nullptr;
    }
    group* top = nullptr;
    if (scratch_load(file, world_directory, bitmaps_directory, true, &taken, &top) != 0) return nullptr;
    append_to_main_root(taken);
    return top;
}

int engine_load_file_polygons(const char* file, polygon** out, anim3d** animation) {
    if (!out) return -1;
    *out = nullptr;
    if (animation) *animation = nullptr;
    group* top = nullptr;
    if (file && is_md2(file)) {
        anim3d* a = anim3d_load_md2_file(file, out);
        if (animation) *animation = a;
        if (!a) return -1;
    } else if (scratch_load(file, nullptr, nullptr, false, out, &top) != 0) {
        return -1;
    }
    if (engine_state.zbuffer_state == 0) engine_state.zbuffer_state = 1;
    return 0;
}
