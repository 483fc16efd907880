// Closing the world: every list freed in order, the memory summary, statistics and profile in the log.
#include <cinttypes>
#include <unordered_set>
#include <vector>

#include "engine_state_load.h"
#include "foundation/dictionary.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/profiler.h"
#include "foundation/registry.h"
#include "render/card3d/card3d.h"
#include "render/images/bitmap_texture.h"
#include "render/software/background.h"
#include "render/software/frame_buffers.h"
#include "world/anim3d.h"
#include "world/animation.h"
#include "world/bsp_node.h"
#include "world/camera.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/engine_state_links.h"
#include "world/group.h"
#include "world/light.h"
#include "world/object_module.h"
#include "world/track.h"

namespace {

template <typename T, typename F>
void free_list(T*& head, F&& free_one) {
    while (head) {
        T* next = head->next;
        free_one(head);
        head = next;
    }
}

int freed_since(uint32_t before) { return static_cast<int>(before - engine_get_bytes_in_use()); }

void write_statistics(const frame_statistics& s) {
    if (!s.frames || !s.polygons || !s.lines) return;
    const auto frames = static_cast<long long>(s.frames);
    const auto polygons = static_cast<long long>(s.polygons);
    const auto lines = static_cast<long long>(s.lines);
    const auto pixels = static_cast<long long>(s.pixels);
    engine_log_write(load_texts::statistics_banner);
    engine_log_printf(load_texts::statistics_total, frames, polygons, lines, pixels);
    engine_log_printf(load_texts::statistics_frame, polygons / frames, lines / frames, pixels / frames);
    engine_log_printf(load_texts::statistics_polygon, lines / polygons, pixels / polygons);
    engine_log_printf(load_texts::statistics_line, pixels / lines);
    engine_log_printf(load_texts::statistics_hidden_lines, static_cast<long long>(s.hidden_lines));
    engine_log_printf(load_texts::statistics_hidden_pixels, static_cast<long long>(s.hidden_pixels));
    engine_log_printf(load_texts::statistics_hidden_in_lines, static_cast<long long>(s.hidden_line_pixels));
}

void remember_collected(dynamic_object* list, std::unordered_set<dynamic_object*>& collected) {
    for (dynamic_object* d = list; d; d = d->next) {
        collected.insert(d);
        remember_collected(d->first_son, collected);
    }
}

// Objects a failed digestion never collected are still held by their modules' nodes only.
void free_uncollected_dynamic_objects(engine_state_record& s) {
    std::unordered_set<dynamic_object*> collected;
    remember_collected(s.dynamic_objects, collected);
    std::vector<dynamic_object*> orphans;
    for (module* m = s.modules; m; m = m->next) {
        for_each_node(m->root, [&](bsp_node* node) {
            for (dynamic_object* list : {node->dynamic_objects, node->dynamic_objects_behind}) {
                for (dynamic_object* d = list; d; d = d->next_in_node) {
                    if (!collected.count(d)) orphans.push_back(d);
                }
            }
            node->dynamic_objects = nullptr;
            node->dynamic_objects_behind = nullptr;
        });
    }
    for (dynamic_object* d : orphans) {
        d->node = nullptr;
        d->next_in_node = nullptr;
        dynamic_free(d);
    }
}

}  // namespace

void engine_close(int full) {
    if (!engine_state_was_initialized()) return;
    engine_state_record& s = engine_state;
    const bool scratch = engine_state_is_scratch();
    engine_log_write(load_texts::close_banner);
    // Links from outside the world go first; a scratch state holds none of them.
    if (!scratch) world_links_entity_freed(nullptr);
    set_log_window_caption(load_texts::caption_closing);
    // The 3D card belongs to the live world; a scratch state never held it.
    if (!scratch) {
        card3d_close();
        s.card_in_use = 0;
        free_frame_buffers();
    }
    for (char** owned : {&s.last_main_module_name, &s.world_directory, &s.bitmaps_directory}) {
        *owned = static_cast<char*>(engine_free(*owned));
    }

    uint32_t before = engine_get_bytes_in_use();
    if (full) free_list(s.bitmaps, bitmap_texture_free);
    engine_log_write(load_texts::memory_summary);
    engine_log_printf(load_texts::bitmaps_freed, freed_since(before));

    free_list(s.animations, animation_delete);
    background_delete_all(&s.backgrounds);
    s.current_background = nullptr;
    track_delete_all(&s.tracks);
    free_list(s.cameras, camera_free);
    s.current_camera = nullptr;
    light_delete_all(&s.lights);
    anim3d_delete_all(&s.animations3d);

    before = engine_get_bytes_in_use();
    for (dynamic_object* d = s.dynamic_objects; d; d = d->next) {
        d->node = nullptr;
        d->next_in_node = nullptr;
    }
    free_uncollected_dynamic_objects(s);
    s.world_order = nullptr;
    s.main_module = nullptr;
    module_list_free(&s.modules);
    // The fast pool holds the live world's records; a scratch state leaves them alone.
    if (!scratch) free_all_big_blocks();
    engine_log_printf(load_texts::modules_freed, freed_since(before));

    before = engine_get_bytes_in_use();
    s.player_object = nullptr;
    dynamic_free_all(&s.dynamic_objects);
    engine_log_printf(load_texts::dynamic_freed, freed_since(before));

    group_delete(&s.groups, nullptr);
    s.group_to_render = nullptr;
    if (s.name_dictionary) dictionary_free(s.name_dictionary);
    s.name_dictionary = nullptr;
    s.world_file_name = static_cast<char*>(engine_free(s.world_file_name));

    engine_log_printf(load_texts::maximum_memory, static_cast<int>(engine_get_max_bytes_in_use()));
    write_statistics(s.statistics);
    if (!scratch) {
        profiler_write_report();
        engine_set_world_loaded(0);
    }
}
