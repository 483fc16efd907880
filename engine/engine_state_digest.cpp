// Digestion: the lists a reader left become the viewer-mode world (modules with BSP trees,
// linked names, placed dynamic objects, the world order, groups and a camera).
#include "engine_state_digest.h"

#include <string>

#include "foundation/dictionary.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/profiler.h"
#include "foundation/strings.h"
#include "render/images/bitmap_texture.h"
#include "world/bsp_immerse.h"
#include "world/bsp_node.h"
#include "world/bsp_tree.h"
#include "world/camera.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/engine_state_links.h"
#include "world/group.h"
#include "world/light.h"
#include "world/object_module.h"
#include "world/polygon.h"
#include "world/polygon_fill.h"
#include "world/world_order.h"

namespace {

template <typename F>
void for_each_tree_polygon(F&& f) {
    for (module* m = engine_state.modules; m; m = m->next) {
        for_each_node(m->root, [&f](bsp_node* node) {
            for (polygon* p = node->polygons; p; p = p->next) f(p);
        });
    }
}

template <typename F>
void for_each_dynamic(dynamic_object* list, F&& f, int depth = 0) {
    if (depth > 1000) return;
    for (dynamic_object* d = list; d; d = d->next) {
        f(d);
        for_each_dynamic(d->first_son, f, depth + 1);
    }
}

// Undoes the module links of a failed digestion: only MAIN stays, without its objects.
void undo_module_links() {
    module* main = engine_state.main_module;
    module* m = engine_state.modules;
    while (m) {
        module* next = m->next;
        if (m != main) {
            if (module_list_remove(&engine_state.modules, m) != 0) {
                report_error(1, "engine_digest_worlds: extract_module failed\n");
            } else {
                module_destroy(m);
            }
        }
        m = next;
    }
    if (main && main->root) object_list_free(&main->root->objects);
    // The collected dynamic objects named modules that are gone now.
    for_each_dynamic(engine_state.dynamic_objects, [](dynamic_object* d) { d->own_module = nullptr; });
}

int fail(const char* text) {
    report_error(1, text);
    undo_module_links();
    return -1;
}

// A group nested in another dynamic-object group is no dynamic object of its own.
void clear_nested_dynamic_marks() {
    for (group* g = engine_state.groups; g; g = g->next) {
        if (!g->holds_object_parameters) continue;
        int depth = 0;
        for (group* f = g->father; f && depth < 1000; f = f->father, ++depth) {
            if (f->holds_object_parameters) {
                g->holds_object_parameters = 0;
                break;
            }
        }
    }
}

void set_dynamic_polygon_owners() {
    for_each_dynamic(engine_state.dynamic_objects, [](dynamic_object* d) {
        if (!d->own_module || !d->own_module->root) return;
        for (polygon* p = d->own_module->root->polygons; p; p = p->next) p->owner = d;
    });
}

void choose_current_background() {
    for (background* b = engine_state.backgrounds; b; b = b->next) {
        if (b->created == 1) {
            engine_state.current_background = b;
            return;
        }
    }
}

animation* animation_named(const char* name) {
    for (animation* a = engine_state.animations; a; a = a->next) {
        if (a->name && jstricmp(a->name, name) == 0) return a;
    }
    return nullptr;
}

bitmap_texture* first_picture(const animation* a) {
    for (const frame_item* view : a->views) {
        if (view) return view->bitmap;
    }
    return nullptr;
}

// Each polygon marked as animated gets the texture animation its bitmap name names, and that
// animation's first picture as its bitmap. A missing animation ends it: -1.
int resolve_polygon_animations() {
    int result = 0;
    for_each_tree_polygon([&result](polygon* p) {
        if (result != 0 || p->bitmap_is_animation != 1 || !polygon_has_bitmap_name(p)) return;
        animation* a = animation_named(p->bitmap_name);
        if (!a) {
            report_errorf("Animation %s is missing !!!\n", p->bitmap_name);
            result = -1;
            return;
        }
        p->anim = a;
        if (bitmap_texture* picture = first_picture(a)) p->texture = picture;
    });
    return result;
}

void store_module_counts() {
    module_count_polygons(engine_state.modules);
    module_count_nodes(engine_state.modules);
}

void clear_dynamic_node_links() {
    for (module* m = engine_state.modules; m; m = m->next) {
        for_each_node(m->root, [](bsp_node* node) {
            for (int k = 0; k < 6; ++k) node->box[k] = node->second_box[k];
            node->dynamic_objects = nullptr;
            node->dynamic_objects_behind = nullptr;
        });
    }
    for_each_dynamic(engine_state.dynamic_objects, [](dynamic_object* d) {
        d->node = nullptr;
        d->next_in_node = nullptr;
    });
}


void rename_existing_world_group(group* g) {
    std::string unique = g->name;
    if (group_add_name_to_dictionary(unique) != 0) return;
    if (g->name_registered) dictionary_delete_a_word(engine_state.name_dictionary, g->name, 1);
    g->name_registered = 1;
    jstrcpy_with_allocating(&g->name, unique.c_str());
    jstrcpy_with_allocating(&g->given_name, unique.c_str());
}

}  // namespace

void engine_make_the_world_group() {
    int top_level = 0;
    for (const group* g = engine_state.groups; g; g = g->next) {
        if (!g->father && !g->holds_object_parameters) top_level++;
    }
    bool orphan = false;
    const module* main = engine_state.main_module;
    if (top_level < 2 && main && main->root) {
        for (const polygon* p = main->root->polygons; p && !orphan; p = p->next) orphan = !p->owner_group;
    }
    if (top_level < 2 && !orphan) return;
    if (group* existing = group_find_by_name(engine_state.groups, digest_texts::the_world))
        rename_existing_world_group(existing);
    group* world = group_create(&engine_state.groups, digest_texts::the_world);
    if (!world) return;
    for (group* g = engine_state.groups; g; g = g->next) {
        if (g != world && !g->father) g->father = world;
    }
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (!p->owner_group) p->owner_group = world;
    }
}

int engine_digest_worlds(const char* bitmaps_directory, module* modules, int immerse) {
    (void)modules;
    engine_state_record& s = engine_state;
    if (!immerse) report_error(1, "engine_digest_worlds: immarse_flag==NO, Not Supported yet\n");
    s.main_module = module_find(s.modules, digest_texts::main_module);
    if (!s.main_module) return fail("engine_digest_worlds: Cant find the main module !!\n");
    if (connect_modules_to_objects(s.modules) != 0) return fail("engine_digest_worlds: Some modules are missing!!\n");
    collect_dynamic_objects(s.main_module, &s.dynamic_objects);
    dynamic_connect_fathers(s.dynamic_objects);
    if (connect_tracks_to_dynamic_objects(s.dynamic_objects, s.tracks) != 0)
        return fail("engine_digest_worlds: Some Tracks are missing!!\n");
    if (connect_tracks_to_cameras(s.cameras, s.tracks) != 0)
        return fail("engine_digest_worlds: Some Tracks are missing (for the cameras)!!\n");
    if (connect_chase_objects(s.dynamic_objects, s.cameras) != 0)
        return fail("engine_digest_worlds: connect_chase_objects failed\n");
    if (!s.dynamic_objects && !s.editor_mode) s.zbuffer_state = 0;
    for (dynamic_object* d = s.dynamic_objects; d; d = d->next) {
        if (d->control == 1) {
            s.player_object = d;
            break;
        }
    }
    immerse_all_modules_objects(s, s.main_module, &s.dynamic_objects);
    if (!s.editor_mode) clear_nested_dynamic_marks();
    thread_polygons_in_world_order();
    set_dynamic_polygon_owners();
    const int first_count = count_world_polygons();
    engine_place_dynamic_objects(s.main_module, s.dynamic_objects);
    group* main_group = group_find_by_name(s.groups, s.last_main_module_name);
    if (s.no_bitmaps) {
        for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) polygon_recolour_points(p, false);
    } else {
        set_log_window_target(50);
        set_log_window_progress(0);
        if (init_bitmaps_table(bitmaps_directory, main_group) != 0)
            report_error(1, "engine_digest_worlds: init_bitmaps_table failed\n");
    }
    choose_current_background();
    resolve_polygon_animations();
    for_each_tree_polygon([](polygon* p) { polygon_set_render_kind(p); });
    store_module_counts();
    set_log_window_caption(digest_texts::caption_bsp);
    if (!s.editor_mode) {
        static int chunk = -1;
        chunk = start_measuring(chunk, digest_texts::profiler_chunk);
        build_modules_bsp_trees(s.modules, s.main_module);
        end_measuring(chunk);
        thread_polygons_in_world_order();
    } else {
        s.zbuffer_state = 2;
        bsp_tree_update_polygons(s.main_module->root);
        set_bsp_nodes_visibility(s.main_module->root);
    }
    set_log_window_caption(digest_texts::caption_general);
    const int new_count = count_world_polygons();
    store_module_counts();
    engine_log_printf(digest_texts::count_lines, first_count, new_count - first_count);
    engine_compute_fog_distance();
    clear_dynamic_node_links();
    engine_make_the_world_group();
    light_connect_to_entities(s.lights);
    set_log_window_caption(digest_texts::caption_light);
    set_log_window_caption(digest_texts::caption_general);
    if (!s.cameras) camera_create_default_camera(&s.cameras);
    set_current_camera(s.cameras);
    engine_compute_groups_bounding_boxes();
    world_links_world_digested();
    return 0;
}
