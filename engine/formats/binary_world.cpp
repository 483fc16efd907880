// Building the engine's world from a parsed binary world file, and collecting a saved group into
// the file's records.
#include "formats/binary_world.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "formats/bitmap_save.h"
#include "formats/world_formats.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/huge_pages.h"
#include "foundation/memory.h"
#include "foundation/parallel.h"
#include "foundation/prefetch.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "platform/numbers.h"
#include "render/images/bitmap_texture.h"
#include "world/animation.h"
#include "world/bsp_node.h"
#include "world/bsp_tree.h"
#include "world/camera.h"
#include "world/colour.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/engine_state_links.h"
#include "world/group.h"
#include "world/object_module.h"
#include "world/polygon.h"
#include "world/polygon_fill.h"
#include "world/polygon_geometry.h"
#include "world/track.h"
#include "world/world_order.h"

using namespace bf_layout;

namespace {

void report(const std::string& text) {
    if (bfl_report_errors()) report_error(1, text.c_str());
}

// The polygons, points and cords a build takes: from a parsed world or straight from a file.
class polygon_source {
public:
    virtual ~polygon_source() = default;
    // A source of its own whose next polygon is record `first`, a multiple of bf_polygon_mark_step:
    // each thread reads its share through one.
    virtual std::unique_ptr<polygon_source> from(size_t first) const = 0;
    // Each polygon record in turn.
    virtual const bf_polygon& next_polygon() = 0;
    virtual bf_point point(uint32_t index) const = 0;
    virtual bf_cord cord(uint32_t index) const = 0;
};

class world_source : public polygon_source {
public:
    explicit world_source(const bf_world& w, size_t first = 0) : w_(w), next_(first) {}
    std::unique_ptr<polygon_source> from(size_t first) const override {
        return std::make_unique<world_source>(w_, first);
    }
    const bf_polygon& next_polygon() override { return w_.polygons[next_++]; }
    bf_point point(uint32_t index) const override { return w_.points[index]; }
    bf_cord cord(uint32_t index) const override { return w_.cords[index]; }

private:
    const bf_world& w_;
    size_t next_;
};

class file_source : public polygon_source {
public:
    explicit file_source(const bf_sections& s, size_t first = 0)
        : s_(s), at_(first == 0 ? 0 : s.polygon_marks[first / bf_polygon_mark_step]) {}
    std::unique_ptr<polygon_source> from(size_t first) const override {
        return std::make_unique<file_source>(s_, first);
    }
    const bf_polygon& next_polygon() override {
        bfl_file_polygon(s_, at_, record_);
        return record_;
    }
    bf_point point(uint32_t index) const override { return bfl_file_point(s_, index); }
    bf_cord cord(uint32_t index) const override { return bfl_file_cord(s_, index); }

private:
    const bf_sections& s_;
    size_t at_;
    bf_polygon record_;
};

// The engine keeps patches out of the node lists, hanging off their father through next_patch;
// a file must link them that way or the lists would free them twice.
bool patch_links_are_sound(const bf_polygon_links& l) {
    const size_t n = l.size();
    std::vector<uint8_t> reached(n + 1, 0);
    for (size_t i = 1; i <= n; ++i) {
        if (l.patch_kind[i - 1] != 0) continue;
        size_t previous = i;
        for (uint32_t p = l.next_patch[i - 1]; p != 0; p = l.next_patch[p - 1]) {
            if (l.patch_kind[p - 1] == 0 || l.previous_patch[p - 1] != previous || reached[p]) return false;
            reached[p] = 1;
            previous = p;
        }
    }
    for (size_t i = 1; i <= n; ++i) {
        if ((l.patch_kind[i - 1] != 0) != (reached[i] != 0)) return false;
    }
    return true;
}

// The engine-level checks a checked file must also pass before anything is created.
std::string check_buildable(const bf_world& w, const bf_polygon_links& l) {
    for (size_t i = 0; i < l.size(); ++i) {
        const size_t points = l.point_count[i];
        if (points > static_cast<size_t>(polygon_max_points)) {
            return plat_format(bf_world_texts::too_many_points, static_cast<int>(i + 1), static_cast<int>(points),
                               polygon_max_points);
        }
    }
    if (!patch_links_are_sound(l)) return bf_world_texts::broken_patches;
    for (const bf_bsp_node& node : w.bsp_nodes) {
        if (node.first_polygon != 0 && l.patch_kind[node.first_polygon - 1] != 0) {
            return bf_world_texts::broken_patches;
        }
    }
    return "";
}

const char* name_at(const std::vector<std::string>& table, uint32_t index) {
    return index ? table[index - 1].c_str() : nullptr;
}

polygon* polygon_at(const std::vector<polygon*>& polys, uint32_t index) {
    return index ? polys[index - 1] : nullptr;
}

std::vector<group*> build_groups(const bf_world& w) {
    std::vector<group*> groups(w.groups.size(), nullptr);
    // Last to first, each at the head, so the list starts with the saved groups in file order.
    for (size_t i = w.groups.size(); i-- > 0;) {
        const bf_group& r = w.groups[i];
        const char* name = name_at(w.group_names, r.name);
        if (!name || !*name) {
            report(bf_world_texts::no_group_name);
            name = bf_world_texts::unnamed_group;
        }
        groups[i] = group_create(&engine_state.groups, name);
        if (!groups[i]) return {};
        groups[i]->holds_object_parameters = r.object_parameters;
    }
    for (size_t i = 0; i < groups.size(); ++i) {
        const uint32_t father = w.groups[i].father;
        groups[i]->father = father ? groups[father - 1] : nullptr;
    }
    return groups;
}

frame_item* build_frame_list(const std::vector<bf_frame>& frames) {
    frame_item* head = nullptr;
    frame_item** tail = &head;
    for (const bf_frame& f : frames) {
        frame_item* item = init_frame_item();
        if (!item) break;
        item->transparent_index = f.has_transparent ? f.transparent_index : -1;
        item->placeholder = f.flag;
        if (f.bitmap_name) jstrcpy_with_allocating(&item->name, f.bitmap_name->c_str());
        *tail = item;
        tail = &item->next;
    }
    return head;
}

std::vector<animation*> build_animations(const bf_world& w) {
    std::vector<animation*> animations;
    for (const bf_animation& r : w.animations) {
        animation* a = init_animation();
        if (!a) return {};
        if (r.name) jstrcpy_with_allocating(&a->name, r.name->c_str());
        const size_t n = r.durations.size();
        a->frame_count = static_cast<int32_t>(n);
        if (n > 0) {
            a->durations = static_cast<uint32_t*>(engine_alloc(n * sizeof(uint32_t)));
            a->exact_durations = static_cast<double*>(engine_alloc(n * sizeof(double)));
            for (size_t i = 0; a->durations && a->exact_durations && i < n; ++i) {
                a->durations[i] = static_cast<uint32_t>(r.durations[i]);
                a->exact_durations[i] = r.durations[i];
            }
        }
        for (size_t l = 0; l < r.lists.size(); ++l) {
            if (r.lists[l]) a->views[l] = build_frame_list(*r.lists[l]);
        }
        a->next = engine_state.animations;
        engine_state.animations = a;
        animations.push_back(a);
    }
    return animations;
}

// Room for one record per stored polygon, those of equal point count side by side in one block
// sized from the file; each is made as it is filled. Empty on failure.
std::vector<polygon*> reserve_polygons(const bf_polygon_links& l) {
    std::vector<size_t> of_count(static_cast<size_t>(polygon_max_points) + 1, 0);
    for (uint32_t points : l.point_count) of_count[points]++;
    std::vector<size_t> first(of_count.size(), 0);  // where each count's records start in `places`
    for (size_t points = 1; points < of_count.size(); ++points) {
        first[points] = first[points - 1] + of_count[points - 1];
    }
    std::vector<polygon*> places(l.size());
    for (size_t points = 0; points < of_count.size(); ++points) {
        polygon** at = places.data() + first[points];
        if (reserve_polys_with_points(static_cast<int>(points), of_count[points], at)) continue;
        for (size_t i = 0; i < first[points]; ++i) free_polygon(places[i]);
        return {};
    }
    std::vector<polygon*> made(l.size());
    for (size_t i = 0; i < l.size(); ++i) made[i] = places[first[l.point_count[i]]++];
    return made;
}

// Each polygon's successor in the lists, by number from 1 (0: none): every polygon but a patch
// joins them in file order; patches hang off their father.
std::vector<uint32_t> listed_successors(const bf_polygon_links& l) {
    std::vector<uint32_t> next(l.size(), 0);
    uint32_t after = 0;
    for (size_t i = l.size(); i > 0; --i) {
        next[i - 1] = after;
        if (l.patch_kind[i - 1] == 0) after = static_cast<uint32_t>(i);
    }
    return next;
}

// What every polygon's fill reads.
struct fill_context {
    const bf_world& w;
    const std::vector<group*>& groups;
    const std::vector<animation*>& animations;
    const std::vector<polygon*>& polys;
    const std::vector<uint32_t>& next_listed;
    int32_t first_serial;
};

void fill_polygon(size_t i, const bf_polygon& r, const fill_context& c, const polygon_source& source) {
    const bf_world& w = c.w;
    const std::vector<polygon*>& polys = c.polys;
    polygon* p = polys[i];
    init_reserved_poly(p, static_cast<int>(r.points.size()), c.first_serial + static_cast<int32_t>(i));
    if (r.patch_kind == 0) p->next = p->next_in_world_order = polygon_at(polys, c.next_listed[i]);
    p->orientation = static_cast<int32_t>(r.kind_word & kind_orientation);
    p->rotated = (r.kind_word & kind_rotated) ? 1 : 0;
    p->collisional = (r.kind_word & kind_collisional) ? 1 : 0;
    p->disabled = (r.kind_word & kind_disabled) ? 1 : 0;
    p->transparent_index = r.transparent_index;
    if (const char* name = name_at(w.bitmap_names, r.bitmap_name)) polygon_set_bitmap_name(p, name);
    if (const char* name = name_at(w.polygon_names, r.name)) polygon_set_name(p, name);
    p->owner_group = r.group ? c.groups[r.group - 1] : nullptr;
    p->light_diminution = r.light_diminution;
    p->anim = r.animation ? c.animations[r.animation - 1] : nullptr;
    p->bitmap_is_animation = p->anim ? 1 : 0;
    p->blending = r.blending;
    if (r.presence & has_blending) p->blending_on = 1;
    p->patch_kind = r.patch_kind;
    p->next_patch = polygon_at(polys, r.next_patch);
    p->previous_patch = polygon_at(polys, r.previous_patch);
    p->family_head = polygon_at(polys, r.family_head);
    p->family_next = polygon_at(polys, r.family_next);
    p->ambient = r.ambient;
    p->diffuse = r.diffuse;
    p->specular = r.specular;
    p->specular_shining = r.specular_shining;
    std::array<bf_point, polygon_max_points> corners;
    for (size_t k = 0; k < r.points.size(); ++k) {
        const bf_point pt = corners[k] = source.point(r.points[k]);
        const bf_cord cord = source.cord(r.cords[k]);
        // A point's brightness is not stored: every point takes the normal shade level.
        const double values[6] = {pt.x, pt.y, pt.z, cord.x, cord.y, 8.0};
        if (polygon_add_point(p, values) != 0) break;
    }
    size_t k = 0;
    for (point* pt = p->points; pt; pt = pt->next, ++k) {
        const bf_point& stored = corners[k];
        pt->red = stored.red;
        pt->green = stored.green;
        pt->blue = stored.blue;
        pt->normal_x = stored.normal_x;
        pt->normal_y = stored.normal_y;
        pt->normal_z = stored.normal_z;
    }
    if (r.presence & has_colour) {
        p->red = r.red;
        p->green = r.green;
        p->blue = r.blue;
    } else if (p->points) {
        p->red = p->points->red;
        p->green = p->points->green;
        p->blue = p->points->blue;
    }
    p->colour_pixel = rgb_to_pixel(p->red, p->green, p->blue);
    polygon_recalculate(p);
    if (r.presence & has_family_head) {
        for (int i = 0; i < 3; ++i) p->centre[i] = r.centre[i];
    }
}

// Fills the reserved records in file order, serial ids following it, the threads each taking
// runs of records between two marks. The fast pool is the caller's alone.
void fill_polygons(const fill_context& c, const polygon_source& source) {
    const auto fill_run = [&c, &source](size_t begin, size_t end) {
        const std::unique_ptr<polygon_source> own = source.from(begin);
        for (size_t i = begin; i < end; ++i) fill_polygon(i, own->next_polygon(), c, *own);
    };
    if (fast_alloc_mode()) fill_run(0, c.polys.size());
    else parallel_chunks(c.polys.size(), bf_polygon_mark_step, fill_run);
}

// Viewer mode with a stored tree: the module's root becomes node 1, node lists follow the stored
// next-polygon links, and any listed polygon no node reaches joins the root's list.
void build_tree(const bf_world& w, const bf_polygon_links& l, module* m, const std::vector<polygon*>& polys) {
    std::vector<bsp_node*> nodes(w.bsp_nodes.size(), nullptr);
    nodes[0] = m->root;
    for (size_t i = 1; i < nodes.size(); ++i) nodes[i] = init_bsp_node();
    std::vector<uint8_t> reached(polys.size() + 1, 0);
    for (size_t i = 0; i < polys.size(); ++i) {
        if (l.patch_kind[i] == 0) polys[i]->next = polygon_at(polys, l.next[i]);
    }
    m->root->polygons = nullptr;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const bf_bsp_node& r = w.bsp_nodes[i];
        bsp_node* node = nodes[i];
        if (!node) continue;
        for (int c = 0; c < 4; ++c) node->plane[c] = r.plane[c];
        node->polygons = polygon_at(polys, r.first_polygon);
        for (uint32_t p = r.first_polygon; p != 0; p = l.next[p - 1]) reached[p] = 1;
        node->back = r.right ? nodes[r.right - 1] : nullptr;
        node->front = r.left ? nodes[r.left - 1] : nullptr;
        if (node->front) node->front->parent = node;
        if (node->back) node->back->parent = node;
    }
    for (size_t i = polys.size(); i-- > 0;) {
        if (reached[i + 1] || l.patch_kind[i] != 0) continue;
        polys[i]->next = m->root->polygons;
        m->root->polygons = polys[i];
    }
}

// An object whose first polygon belongs to an object read before shares that object's module in
// viewer mode; in editor mode it gets copies of its polygons, appended to the module's list.
void share_polygons(dynamic_object* d, const bf_dynamic_object& r, module* m, std::vector<polygon*>& polys) {
    dynamic_object* earlier = polys[r.polygons[0] - 1]->owner;
    if (!engine_state.editor_mode) {
        if (module_list_remove(&engine_state.modules, d->own_module) == 0) module_destroy(d->own_module);
        d->own_module = earlier->own_module;
        return;
    }
    polygon** tail = &m->root->polygons;
    while (*tail) tail = &(*tail)->next;
    for (uint32_t index : r.polygons) {
        polygon* copy = duplicate_polygon(polys[index - 1]);
        if (!copy) continue;
        copy->owner = d;
        *tail = copy;
        tail = &copy->next;
        copy->next = nullptr;
        polys.push_back(copy);
    }
}

// Each new object goes to the head of the list; the list is put back in file order afterwards so
// that a saved world keeps its object indices.
void keep_file_order(const std::vector<dynamic_object*>& created) {
    if (created.empty()) return;
    dynamic_object* rest = created.front()->next;
    for (size_t i = created.size(); i-- > 0;) {
        created[i]->next = rest;
        rest = created[i];
    }
    engine_state.dynamic_objects = rest;
}

void copy_floats(double* to, const float* from, int count) {
    for (int i = 0; i < count; ++i) to[i] = from[i];
}

// The track and chase settings of a camera or dynamic object record; absent names stay as they are.
void take_track_and_chase(const bf_track_part& file_track, const bf_chase_part& file_chase, track_part& track,
                          chase_part& chase) {
    if (file_track.name) jstrcpy_with_allocating(&track.name, file_track.name->c_str());
    if (file_chase.name) jstrcpy_with_allocating(&chase.name, file_chase.name->c_str());
    if (file_chase.type) jstrcpy_with_allocating(&chase.type_string, file_chase.type->c_str());
    copy_floats(track.offset, file_track.offset, 3);
    copy_floats(chase.offset, file_chase.offset, 3);
    chase.softness = file_chase.softness;
    chase.distance = file_chase.distance;
}

std::vector<dynamic_object*> build_dynamic_objects(const bf_world& w, module* m, std::vector<polygon*>& polys) {
    std::vector<dynamic_object*> created;
    for (const bf_dynamic_object& r : w.dynamic_objects) {
        dynamic_object* d = dynamic_create(r.name ? r.name->c_str() : bf_world_texts::unnamed_object);
        if (!d) {
            report(plat_format(bf_world_texts::section_failed, "dynamic objects"));
            break;
        }
        created.push_back(d);
        if (r.father_name) jstrcpy_with_allocating(&d->father_name, r.father_name->c_str());
        take_track_and_chase(r.track, r.chase, d->track, d->chase);
        d->control = r.control;
        for (int i = 0; i < 3; ++i) {
            d->rotation[i] = r.rotation[i];
            d->rotation_centre[i] = r.reference[i];
            d->scale[i] = r.scale[i];
        }
        d->friction = r.friction;
        d->elasticity = r.elasticity;
        d->max_speed = r.max_speed;
        d->rotation_space = r.rotation_space;
        const float* rows = r.rotation_rows;
        dynamic_set_axis_system(d, {rows[0], rows[1], rows[2]}, {rows[3], rows[4], rows[5]},
                                {rows[6], rows[7], rows[8]});
        dynamic_set_location(d, {r.location[0], r.location[1], r.location[2]});
        dynamic_set_speed(d, {r.speed[0], r.speed[1], r.speed[2]});
        dynamic_set_force(d, {r.force[0], r.force[1], r.force[2]});
        if (!r.polygons.empty() && polys[r.polygons[0] - 1]->owner) {
            share_polygons(d, r, m, polys);
            continue;
        }
        for (uint32_t index : r.polygons) polys[index - 1]->owner = d;
    }
    keep_file_order(created);
    return created;
}

void carry_points(polygon* p, const mat4& m) {
    for (point* pt = p->points; pt; pt = pt->next) {
        vec3 v;
        mul_vec_mat3(v, {pt->x, pt->y, pt->z}, m);
        pt->x = v.x;
        pt->y = v.y;
        pt->z = v.z;
    }
}

// The nearest group around `g` (itself included) that carries dynamic-object parameters.
group* dynamic_holder(group* g) {
    while (g && !g->holds_object_parameters) g = g->father;
    return g;
}

// Editor mode keeps objects as groups: each object's polygons go back into world space, its
// parameters into the nearest enclosing dynamic group (once per group), and the objects are freed.
void fold_objects_into_groups(const std::vector<polygon*>& polys) {
    if (!engine_state.dynamic_objects) return;
    // Each object's polygons in world order, found in one pass.
    std::unordered_map<const dynamic_object*, std::vector<polygon*>> owned;
    for (polygon* p : polys) {
        if (!p->owner) continue;
        owned[p->owner].push_back(p);
        p->owner = nullptr;
    }
    std::vector<group*> done;
    for (dynamic_object* d = engine_state.dynamic_objects; d; d = d->next) {
        group* holder = nullptr;
        group* first_group = nullptr;
        for (polygon* p : owned[d]) {
            carry_points(p, d->total_matrix);
            const bool valid = polygon_is_valid(p);
            if (!valid && p->plane[0] == 0 && p->plane[1] == 0 && p->plane[2] == 0) p->disabled = 1;
            if (!holder) holder = dynamic_holder(p->owner_group);
            if (!first_group) first_group = p->owner_group;
        }
        if (holder && std::find(done.begin(), done.end(), holder) == done.end()) {
            group_set_object_parameters(holder, d);
            done.push_back(holder);
        }
        // A light on the object lights the group that stands for it (never the whole world).
        for (light* l = engine_state.lights; l; l = l->next) {
            if (l->entity != d) continue;
            l->entity = holder ? holder : first_group;
            l->entity_kind = l->entity ? kind_group : target_none;
        }
    }
    for (camera* c = engine_state.cameras; c; c = c->next) c->chase.chased_object = nullptr;
    while (engine_state.dynamic_objects) dynamic_delete(engine_state.dynamic_objects);
}

// Viewer mode: every polygon an object owns leaves the main tree for its object's module; then
// the trees are built (the main one only when the file stored none) and the world is ordered.
void move_object_polygons_to_modules(module* m, bool stored_tree) {
    for_each_node(m->root, [](bsp_node* node) {
        polygon** slot = &node->polygons;
        while (*slot) {
            polygon* p = *slot;
            module* own = p->owner ? p->owner->own_module : nullptr;
            if (!own || !own->root || own == engine_state.main_module) {
                slot = &p->next;
                continue;
            }
            *slot = p->next;
            polygon** tail = &own->root->polygons;
            while (*tail) tail = &(*tail)->next;
            *tail = p;
            p->next = nullptr;
        }
    });
    // The objects' modules always get trees, built here with no cache file beside the world.
    std::vector<module*> built;
    for (dynamic_object* d = engine_state.dynamic_objects; d; d = d->next) {
        module* own = d->own_module;
        if (!own || own == m || std::find(built.begin(), built.end(), own) != built.end()) continue;
        built.push_back(own);
        build_module_bsp_tree(own, true);
    }
    set_log_window_caption(bf_world_texts::caption_tree);
    build_module_bsp_tree(m, !stored_tree && engine_state.bsp_for_main);
    thread_polygons_in_world_order();
}

template <typename T>
void append(T** list, T* record) {
    while (*list) list = &(*list)->next;
    *list = record;
}

// Each section builder reports a record it cannot make and returns false.
bool build_tracks(const bf_world& w) {
    set_log_window_caption(bf_world_texts::caption_tracks);
    for (const bf_track& r : w.tracks) {
        jtrack* t = record_new<jtrack>(kind_track);
        if (!t) {
            report(plat_format(bf_world_texts::section_failed, "tracks"));
            return false;
        }
        if (r.name) jstrcpy_with_allocating(&t->name, r.name->c_str());
        const std::vector<double> points(r.points.begin(), r.points.end());
        track_set_points(t, points.data(), static_cast<int>(points.size() / 3));
        t->cyclic = r.cyclic;
        t->save = 1;
        append(&engine_state.tracks, t);
    }
    return true;
}

bool build_cameras(const bf_world& w) {
    set_log_window_caption(bf_world_texts::caption_cameras);
    bool built = true;
    for (const bf_camera& r : w.cameras) {
        const vec3 direction{-r.x_axis[0], -r.x_axis[1], -r.x_axis[2]};
        camera* c = camera_init(r.name ? r.name->c_str() : bf_world_texts::unnamed_group, r.width, r.height,
                                r.field_of_view, r.culling_depth_flag, r.culling_depth,
                                {r.location[0], r.location[1], r.location[2]}, direction, r.eye_distance);
        if (!c) {
            report(plat_format(bf_world_texts::section_failed, "cameras"));
            built = false;
            continue;
        }
        camera_set_axes(c, {r.x_axis[0], r.x_axis[1], r.x_axis[2]}, {r.y_axis[0], r.y_axis[1], r.y_axis[2]},
                        {r.z_axis[0], r.z_axis[1], r.z_axis[2]});
        camera_mark_rebuilt(c);
        take_track_and_chase(r.track, r.chase, c->track, c->chase);
        copy_floats(c->speed, r.speed, 3);
        copy_floats(c->force, r.force, 3);
        c->elasticity = r.elasticity;
        c->friction = r.friction;
        copy_floats(c->rotation, r.rotation, 3);
        c->rotation_space = r.rotation_space;
        c->read_from_file = 1;
        append(&engine_state.cameras, c);
    }
    return built;
}

bool build_backgrounds(const bf_world& w) {
    set_log_window_caption(bf_world_texts::caption_backgrounds);
    for (const bf_background& r : w.backgrounds) {
        background* b = record_new<background>(kind_background);
        if (!b) {
            report(plat_format(bf_world_texts::section_failed, "backgrounds"));
            return false;
        }
        if (r.name) jstrcpy_with_allocating(&b->name, r.name->c_str());
        // The file keeps the first frame's bitmap only.
        b->frames = init_frame_item();
        if (b->frames) {
            b->frames->transparent_index = -1;
            if (r.bitmap_name) jstrcpy_with_allocating(&b->frames->name, r.bitmap_name->c_str());
        }
        b->current_frame = b->frames;
        b->frame_count = 1;
        b->replace_rate = 1;
        b->type = static_cast<int16_t>(r.type);
        b->distance = r.distance;
        b->bottom = r.bottom_height;
        b->bottom_intensity = r.bottom_intensity;
        b->intensity_step = r.intensity_step;
        b->save = 1;
        b->to_be_saved = 1;
        append(&engine_state.backgrounds, b);
    }
    return true;
}

// The entity a light's target index names.
void* light_target(const bf_light& r, const std::vector<group*>& groups, const std::vector<dynamic_object*>& objects,
                   const std::vector<polygon*>& polys) {
    const auto i = static_cast<size_t>(r.target_index);
    if (i == 0) return nullptr;
    switch (r.target_kind) {
        case target_group: return groups[i - 1];
        case target_object: return i <= objects.size() ? objects[i - 1] : nullptr;  // else it could not be made
        case target_polygon: return polys[i - 1];
        default: return nullptr;
    }
}

// Each light's entity name, once the groups carry their final names.
void name_light_targets() {
    for (light* l = engine_state.lights; l; l = l->next) {
        const char* name = nullptr;
        if (l->entity && l->entity_kind == kind_group) name = static_cast<group*>(l->entity)->name;
        if (l->entity && l->entity_kind == kind_dynamic_object) name = static_cast<dynamic_object*>(l->entity)->name;
        if (l->entity && l->entity_kind == kind_polygon) name = static_cast<polygon*>(l->entity)->name;
        jstrcpy_with_allocating(&l->entity_name, name);
    }
}

bool build_lights(const bf_world& w, const std::vector<group*>& groups, const std::vector<dynamic_object*>& objects,
                  const std::vector<polygon*>& polys) {
    set_log_window_caption(bf_world_texts::caption_lights);
    for (const bf_light& r : w.lights) {
        light* l = record_new<light>(kind_light);
        if (!l) {
            report(plat_format(bf_world_texts::section_failed, "lights"));
            return false;
        }
        if (r.name) jstrcpy_with_allocating(&l->name, r.name->c_str());
        l->entity = light_target(r, groups, objects, polys);
        l->entity_kind = r.target_kind == target_none ? kind_group : r.target_kind;
        copy_floats(l->location, r.location, 3);
        l->type = r.type_flags;
        copy_floats(l->direction, r.direction, 3);
        l->red = r.red;
        l->green = r.green;
        l->blue = r.blue;
        l->distance_reach = r.distance_reach;
        l->activate_before_render = static_cast<uint8_t>(r.activate_before_render != 0);
        l->mode = r.mode;
        l->ray_tracing = r.ray_tracing;
        l->ambient = r.ambient;
        l->diffuse = r.diffuse;
        l->specular = r.specular;
        l->specular_shining = r.specular_shining;
        l->save = 1;
        append(&engine_state.lights, l);
    }
    return true;
}

// Every setting of the record except the z-buffer state, the fog intensity, the reserved pair and
// the perspective correction accuracy, which the engine sets for itself.
void restore_settings(const bf_settings& s, const std::vector<group*>& groups) {
    engine_state_record& e = engine_state;
    e.rendering_mode = s.rendering_mode;
    e.wire_frame = s.wire_frame;
    e.reserved_byte = s.reserved_byte;
    e.brightness = s.brightness;
    e.far_objects_accuracy = s.far_colour_accuracy;
    e.atmosphere_red = s.atmosphere[0];
    e.atmosphere_green = s.atmosphere[1];
    e.atmosphere_blue = s.atmosphere[2];
    e.default_atmosphere_red = s.default_colour[0];
    e.default_atmosphere_green = s.default_colour[1];
    e.default_atmosphere_blue = s.default_colour[2];
    copy_floats(e.reserved_direction, s.reserved_direction, 3);
    copy_floats(e.world_rotate_reference, s.rotation_reference, 3);
    e.group_to_render = s.render_group ? groups[static_cast<size_t>(s.render_group) - 1] : nullptr;
    e.advance_objects = s.advance_objects;
    e.advance_cameras = s.advance_cameras;
    e.time_based_objects = s.speed_units;
    e.time_based_cameras = s.camera_mover;
    e.time_based_animation = s.animation_timing;
    e.maximum_render_time = s.max_render_time;
    e.minimum_render_time = s.min_render_time;
}

// The build of a checked world whose polygons, points and cords come from `source`.
int build_world(const bf_world& w, const bf_polygon_links& links, const polygon_source& source, module* m,
                group** top_group) {
    if (!m || !m->root) {
        report(bf_world_texts::no_module);
        return -1;
    }
    const std::string problem = check_buildable(w, links);
    if (!problem.empty()) {
        report(problem);
        return -1;
    }
    set_log_window_caption(bf_world_texts::caption_groups);
    const std::vector<group*> groups = build_groups(w);
    if (groups.size() != w.groups.size()) {
        report(plat_format(bf_world_texts::section_failed, "groups"));
        return -1;
    }
    if (top_group) *top_group = groups[static_cast<size_t>(w.top_group)];
    set_log_window_caption(bf_world_texts::caption_animations);
    const std::vector<animation*> animations = build_animations(w);
    if (animations.size() != w.animations.size()) {
        report(plat_format(bf_world_texts::section_failed, "animations"));
        return -1;
    }
    set_log_window_caption(bf_world_texts::caption_polygon_alloc);
    std::vector<polygon*> polys = reserve_polygons(links);  // editor-mode copies join at the end
    if (polys.size() != links.size()) {
        report(plat_format(bf_world_texts::section_failed, "polygons"));
        return -1;
    }
    set_log_window_caption(bf_world_texts::caption_polygons);
    const std::vector<uint32_t> next_listed = listed_successors(links);
    fill_polygons({w, groups, animations, polys, next_listed, polygon_reserve_serial_ids(polys.size())}, source);
    // The fill linked the new polygons to each other; the first joins the end of each list.
    polygon* first = nullptr;
    if (!polys.empty()) first = links.patch_kind[0] == 0 ? polys[0] : polygon_at(polys, next_listed[0]);
    polygon** tail = &m->root->polygons;
    while (*tail) tail = &(*tail)->next;
    *tail = first;
    polygon** order = &engine_state.world_order;
    while (*order) order = &(*order)->next_in_world_order;
    *order = first;
    const bool stored_tree = !engine_state.editor_mode && w.bsp_nodes.size() >= 2;
    if (stored_tree) build_tree(w, links, m, polys);
    // From here a failing section is reported and marks the result; reading goes on.
    int result = 0;
    if (!build_cameras(w)) result = -1;
    if (!build_tracks(w)) result = -1;
    set_log_window_caption(bf_world_texts::caption_settings);
    if (w.settings) restore_settings(*w.settings, groups);
    set_log_window_caption(bf_world_texts::caption_objects);
    const std::vector<dynamic_object*> objects = build_dynamic_objects(w, m, polys);
    if (objects.size() != w.dynamic_objects.size()) result = -1;
    if (!build_backgrounds(w)) result = -1;
    if (!build_lights(w, groups, objects, polys)) result = -1;
    // The links are made while the objects exist: a camera may chase an object that owns nothing.
    set_log_window_caption(bf_world_texts::caption_processing);
    if (bfl_digest_world() != 0) result = -1;
    if (engine_state.editor_mode) {
        fold_objects_into_groups(polys);
    } else {
        set_log_window_caption(bf_world_texts::caption_processing_2);
        move_object_polygons_to_modules(m, stored_tree);
    }
    name_light_targets();
    engine_compute_groups_bounding_boxes();
    return result;
}

}  // namespace

int bfl_build_world(const bf_world& w, module* m, group** top_group) {
    if (const std::string problem = bfl_check_world(w); !problem.empty()) {
        report(problem);
        return -1;
    }
    return bfl_build_checked_world(w, m, top_group);
}

int bfl_build_checked_world(const bf_world& w, module* m, group** top_group) {
    world_source source(w);
    return build_world(w, bfl_links_of(w), source, m, top_group);
}

int bfl_read_world(const char* path, module* m, group** top_group) {
    set_log_window_caption(bf_world_texts::caption_load);
    char* buffer = nullptr;
    int size = 0;
    if (!path || file_to_memory(path, &buffer, &size) != 0) {
        report(plat_format(bf_texts::not_found, path ? path : "(null)"));
        return -1;
    }
    bf_file file;
    int result = bfl_parse_file(reinterpret_cast<const uint8_t*>(buffer), static_cast<size_t>(size), file);
    if (result == 0) {
        file_source source(file.sections);
        result = build_world(file.world, file.links, source, m, top_group);
    }
    engine_free(buffer);
    set_log_window_caption(bf_world_texts::caption_general);
    return result;
}

namespace {

// A polygon's colours without bitmaps, the texture animation its bitmap name names, and its drawer.
void digest_polygon(polygon* p) {
    const engine_state_record& s = engine_state;
    if (s.no_bitmaps) polygon_recolour_points(p, false);
    if (!p->anim && polygon_has_bitmap_name(p)) {
        for (animation* a = s.animations; a; a = a->next) {
            if (a->name && jstricmp(a->name, p->bitmap_name) == 0) {
                p->anim = a;
                p->bitmap_is_animation = 1;
                break;
            }
        }
    }
    polygon_set_render_kind(p);
}

}  // namespace

int bfl_digest_world() {
    engine_state_record& s = engine_state;
    if (!module_find(s.modules, world_format_texts::main_module)) {
        report(bf_world_texts::no_main_module);
        return -1;
    }
    int result = 0;
    if (s.editor_mode) s.zbuffer_state = 2;
    else if (!s.dynamic_objects) s.zbuffer_state = 0;
    s.player_object = nullptr;
    for (dynamic_object* d = s.dynamic_objects; d; d = d->next) {
        if (d->control == 1) {
            s.player_object = d;
            break;
        }
    }
    dynamic_connect_fathers(s.dynamic_objects);
    if (connect_tracks_to_dynamic_objects(s.dynamic_objects, s.tracks) != 0) {
        report(bf_world_texts::tracks_missing);
        result = -1;
    }
    if (connect_tracks_to_cameras(s.cameras, s.tracks) != 0) {
        report(bf_world_texts::camera_tracks_missing);
        result = -1;
    }
    if (connect_chase_objects(s.dynamic_objects, s.cameras) != 0) {
        report(bf_world_texts::chase_failed);
        result = -1;
    }
    if (!s.no_bitmaps && init_bitmaps_table(s.bitmaps_directory, nullptr) != 0)
        report_error(1, "engine_digest_worlds: init_bitmaps_table failed\n");
    for (background* b = s.backgrounds; b && !s.current_background; b = b->next) {
        if (b->created == 1) s.current_background = b;
    }
    const std::vector<polygon*> all = world_polygons();
    parallel_chunks(all.size(), world_polygons_step, [&all](size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i) digest_polygon(all[i]);
    });
    if (!s.cameras) camera_create_default_camera(&s.cameras);
    if (!s.current_camera) set_current_camera(s.cameras);
    return result;
}

int engine_read_world_design_drovik_binary_format(const char*, const char*, const char* path, group** top_group) {
    return read_into_new_module(path, bfl_read_world, true, top_group);
}

// ---------------------------------------------------------------- collecting

namespace {

// Index tables that give each distinct value one record, the earliest that matches within a
// tolerance; values are bucketed on a grid so the values within reach are found directly.
struct grid_key {
    int64_t cell[3];
    uint64_t exact;  // bytes that must be equal
    bool operator==(const grid_key&) const = default;
};

struct grid_hash {
    size_t operator()(const grid_key& k) const {
        uint64_t h = k.exact * 0x9E3779B97F4A7C15ull;
        for (int64_t c : k.cell) {
            h ^= static_cast<uint64_t>(c);
            h = (h ^ (h >> 33)) * 0xFF51AFD7ED558CCDull;
            h = (h ^ (h >> 33)) * 0xC4CEB9FE1A85EC53ull;
        }
        return static_cast<size_t>(h ^ (h >> 33));
    }
};

// Cells are centred on multiples of their width, a power of two: round coordinates (0, 1, 0.5)
// lie mid-cell, so their few neighbours within reach are found in one cell, not eight.
int64_t cell_of(double value, double cells_per_unit) {
    const double c = std::floor(value * cells_per_unit + 0.5);
    if (!(c > -4e18)) return -4000000000000000000ll;  // also catches NaN
    if (c > 4e18) return 4000000000000000000ll;
    return static_cast<int64_t>(c);
}

// Cells per unit: cells span at least 64 tolerances, so the cells within reach of a value are
// mostly its own.
double cell_scale(double tolerance) { return std::exp2(std::floor(std::log2(1 / (64 * tolerance)))); }

class shared_table {
public:
    // Room for `most` values is reserved; the pages are only touched as values come.
    shared_table(double tolerance, int axes, size_t most)
        : tolerance_(tolerance), cells_per_unit_(cell_scale(tolerance)), axes_(axes),
          // Sized for half the values: the corners of closed surfaces are each shared by two
          // polygons or more, so the table seldom grows.
          slots_(half_full_slots((most + 1) / 2, 1024)) {
        reserve_in_huge_pages(values_, 3 * most);
        reserve_in_huge_pages(cells_, most);
        reserve_in_huge_pages(latest_, most);
        reserve_in_huge_pages(next_, most);
    }

    // The slot where the search for a value starts: fetched ahead of a value asked for shortly,
    // its cache miss overlaps the work before it. (The compiler drops a prefetch inside a function
    // without other effects, so the caller issues it.)
    const void* search_start(const double* v, uint64_t exact) const {
        grid_key key{{0, 0, 0}, exact};
        for (int a = 0; a < axes_; ++a) key.cell[a] = cell_of(v[a], cells_per_unit_);
        return &slots_[grid_hash{}(key) & (slots_.size() - 1)];
    }

    // The index of the earliest value that matches; `add` is called with the new index otherwise.
    template <typename Add>
    uint32_t find_or_add(const double* v, uint64_t exact, Add add) {
        grid_key key{{0, 0, 0}, exact};
        int64_t low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
        double stored[3] = {0, 0, 0};
        for (int a = 0; a < axes_; ++a) {
            key.cell[a] = cell_of(v[a], cells_per_unit_);
            low[a] = cell_of(v[a] - 2 * tolerance_, cells_per_unit_);
            high[a] = cell_of(v[a] + 2 * tolerance_, cells_per_unit_);
            stored[a] = v[a];
        }
        const size_t hash = grid_hash{}(key);
        answer& asked = answers_[hash % answers_.size()];
        if (asked.exact == exact && asked.v[0] == stored[0] && asked.v[1] == stored[1] && asked.v[2] == stored[2]) {
            return asked.index;
        }
        uint32_t best = UINT32_MAX;
        grid_key near = key;
        for (near.cell[0] = low[0]; near.cell[0] <= high[0]; ++near.cell[0]) {
            for (near.cell[1] = low[1]; near.cell[1] <= high[1]; ++near.cell[1]) {
                for (near.cell[2] = low[2]; near.cell[2] <= high[2]; ++near.cell[2]) {
                    const uint32_t number = slots_[find(near, grid_hash{}(near))].number;
                    for (uint32_t index = number ? latest_[number - 1] : none; index != none; index = next_[index]) {
                        if (index < best && matches(index, v)) best = index;
                    }
                }
            }
        }
        if (best != UINT32_MAX) {
            asked = {{stored[0], stored[1], stored[2]}, exact, best};
            return best;
        }
        const uint32_t index = static_cast<uint32_t>(values_.size() / 3);
        asked = {{stored[0], stored[1], stored[2]}, exact, index};
        values_.insert(values_.end(), std::begin(stored), std::end(stored));
        slot& taken = slots_[find(key, hash)];
        if (!taken.number) {
            cells_.push_back(key);
            latest_.push_back(none);
            taken = {tag_of(hash), static_cast<uint32_t>(cells_.size())};
        }
        next_.push_back(latest_[taken.number - 1]);
        latest_[taken.number - 1] = index;
        if (2 * cells_.size() > slots_.size()) grow();
        add();
        return index;
    }

private:
    static constexpr uint32_t none = UINT32_MAX;

    // A query and its answer. Asked again (equal values, NaN never equal, and equal bytes) it has
    // the same answer: a value added later only gets a larger index.
    struct answer {
        double v[3];
        uint64_t exact;
        uint32_t index;
    };

    // A cell in use and the high bits of its hash: a probe passes other cells without reading them.
    struct slot {
        uint32_t tag;
        uint32_t number;  // the cell's index plus one; 0 when the slot is free
    };

    static uint32_t tag_of(size_t hash) { return static_cast<uint32_t>(uint64_t{hash} >> 32); }

    // The slot of `key`, or the free slot where it goes.
    size_t find(const grid_key& key, size_t hash) const {
        const size_t mask = slots_.size() - 1;
        const uint32_t tag = tag_of(hash);
        size_t at = hash & mask;
        while (slots_[at].number && !(slots_[at].tag == tag && cells_[slots_[at].number - 1] == key)) {
            at = (at + 1) & mask;
        }
        return at;
    }

    void grow() {
        slots_ = zeroed_table<slot>(2 * slots_.size());
        for (size_t c = 0; c < cells_.size(); ++c) {
            const size_t hash = grid_hash{}(cells_[c]);
            slots_[find(cells_[c], hash)] = {tag_of(hash), static_cast<uint32_t>(c + 1)};
        }
    }

    bool matches(uint32_t index, const double* v) const {
        for (int a = 0; a < axes_; ++a) {
            if (!(std::fabs(values_[index * 3 + static_cast<size_t>(a)] - v[a]) <= tolerance_)) return false;
        }
        return true;
    }

    double tolerance_;
    double cells_per_unit_;
    int axes_;
    std::vector<double> values_;
    // The cells in use, found through open addressing (at most half full), each with its latest
    // value; the values of a cell are chained through next_.
    zeroed_table<slot> slots_;
    std::vector<grid_key> cells_;
    std::vector<uint32_t> latest_;
    std::vector<uint32_t> next_;  // each value's earlier value in its cell
    // The latest queries by hash: shared corners are asked again within a few polygons.
    std::vector<answer> answers_ = std::vector<answer>(4096, answer{{NAN, NAN, NAN}, 0, none});
};

// The bytes besides its position that a point record must match: colour and normal.
uint64_t point_bytes(const point* pt) {
    return uint64_t{pt->red} | uint64_t{pt->green} << 8 | uint64_t{pt->blue} << 16 |
           uint64_t{static_cast<uint8_t>(pt->normal_x)} << 24 | uint64_t{static_cast<uint8_t>(pt->normal_y)} << 32 |
           uint64_t{static_cast<uint8_t>(pt->normal_z)} << 40;
}

// Polygons ahead of the one collected whose corners' slots are fetched; twice as far ahead, the
// polygon's record and the corners kept behind it (four of them) are fetched, as the world order
// of a viewer save jumps about memory.
constexpr size_t corners_ahead = 16;
constexpr size_t record_bytes = sizeof(polygon) + 4 * sizeof(point);

// Distinct non-empty names in order of first use, 1-based.
class name_table {
public:
    explicit name_table(std::vector<std::string>& names) : names_(names) {}
    uint32_t index_of(const char* name) {
        if (!name || !*name) return 0;
        const auto found = index_.find(name);
        if (found != index_.end()) return found->second;
        names_.emplace_back(name);
        const auto index = static_cast<uint32_t>(names_.size());
        index_.emplace(name, index);
        return index;
    }

private:
    std::vector<std::string>& names_;
    std::map<std::string, uint32_t> index_;
};

bf_string optional_text(const char* text) { return text ? bf_string(text) : std::nullopt; }

bool saved_polygon(const polygon* p, const group* saved) {
    return p->owner_group && group_is_included(p->owner_group, saved);
}

// The saved polygons in world order, each followed by its patches.
std::vector<polygon*> saved_polygons(const group* saved) {
    std::vector<polygon*> out;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (!saved_polygon(p, saved)) continue;
        out.push_back(p);
        for (polygon* patch = p->next_patch; patch; patch = patch->next_patch) out.push_back(patch);
    }
    return out;
}

// Each saved polygon's number in the file, from 1, found by its address through open addressing
// (at most half full); 0 for a polygon not saved.
class polygon_numbers {
public:
    explicit polygon_numbers(const std::vector<polygon*>& polys) : slots_(half_full_slots(polys.size(), 16)) {
        for (size_t i = 0; i < polys.size(); ++i) {
            if (i + ahead < polys.size()) __builtin_prefetch(&slots_[start(polys[i + ahead])]);
            slots_[find(polys[i])] = {polys[i], static_cast<uint32_t>(i + 1)};
        }
    }

    uint32_t of(const polygon* p) const { return p ? slots_[find(p)].number : 0; }

private:
    struct slot {
        const polygon* key;
        uint32_t number;
    };
    static constexpr size_t ahead = 16;

    size_t start(const polygon* p) const {
        uint64_t h = reinterpret_cast<uintptr_t>(p) * 0x9E3779B97F4A7C15ull;
        return static_cast<size_t>(h ^ (h >> 29)) & (slots_.size() - 1);
    }

    size_t find(const polygon* p) const {
        size_t at = start(p);
        while (slots_[at].key && slots_[at].key != p) at = (at + 1) & (slots_.size() - 1);
        return at;
    }

    zeroed_table<slot> slots_;
};

// Node records in pre-order, the right (back) subtree before the left (front), numbered as
// bsp_tree_number_nodes numbers them.
void collect_bsp_node(const bsp_node* node, const polygon_numbers& numbers, bf_world& out) {
    const polygon* first = node->polygons;
    while (first && !numbers.of(first)) first = first->next;
    bf_bsp_node record{};
    for (int c = 0; c < 4; ++c) record.plane[c] = static_cast<float>(node->plane[c]);
    record.first_polygon = numbers.of(first);
    record.right = node->back ? static_cast<uint32_t>(node->back->number) : 0;
    record.left = node->front ? static_cast<uint32_t>(node->front->number) : 0;
    out.bsp_nodes.push_back(record);
    if (node->back) collect_bsp_node(node->back, numbers, out);
    if (node->front) collect_bsp_node(node->front, numbers, out);
}

void collect_bsp(bsp_node* root, const polygon_numbers& numbers, bf_world& out) {
    const int past_last = bsp_tree_number_nodes(root, 1);
    reserve_in_huge_pages(out.bsp_nodes, static_cast<size_t>(past_last - 1));
    collect_bsp_node(root, numbers, out);
}

uint8_t clamp_byte(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// An optional index part: present when the index is not 0.
void link(bf_polygon& r, uint32_t bit, uint32_t& field, uint32_t index) {
    if (!index) return;
    r.presence |= bit;
    field = index;
}

// An optional reflection factor: present when it differs from its default.
void factor(bf_polygon& r, uint32_t bit, uint8_t& field, int32_t value, uint8_t fallback) {
    if (value == fallback) return;
    r.presence |= bit;
    field = clamp_byte(value);
}

bf_string track_name_of(const char* name) {
    return name && jstricmp(name, "NO_TRACK") != 0 ? bf_string(name) : std::nullopt;
}

void put_floats(float* to, const double* from, int count) {
    for (int i = 0; i < count; ++i) to[i] = static_cast<float>(from[i]);
}

// The track of a camera or dynamic object under the name its record writes.
bf_track_part track_record(bf_string name, const track_part& track) {
    bf_track_part r{std::move(name), {}};
    put_floats(r.offset, track.offset, 3);
    return r;
}

bf_chase_part chase_record(const chase_part& chase) {
    bf_chase_part r{optional_text(chase.name), {}, optional_text(chase.type_string),
                    static_cast<float>(chase.softness), static_cast<float>(chase.distance)};
    put_floats(r.offset, chase.offset, 3);
    return r;
}

// Where the saved records stand in the file, for the references that count them.
struct saved_indices {
    const std::map<const group*, uint32_t>& groups;
    const polygon_numbers& polygons;

    template <typename T, typename Table>
    static uint32_t of(const Table& table, const void* entity) {
        const auto found = table.find(static_cast<const T*>(entity));
        return found == table.end() ? 0u : found->second;
    }

    // A light's target: its index and kind; an entity outside the saved records is none.
    std::pair<int32_t, int32_t> light_target(const light* l) const {
        uint32_t index = 0;
        switch (l->entity_kind) {
            case kind_group: index = of<group>(groups, l->entity); break;
            case kind_polygon: index = polygons.of(static_cast<const polygon*>(l->entity)); break;
            case kind_dynamic_object: {
                uint32_t k = 1;
                for (const dynamic_object* d = engine_state.dynamic_objects; d && !index; d = d->next, ++k) {
                    if (d == l->entity) index = k;
                }
                break;
            }
            default: return {0, target_none};
        }
        if (!index && l->entity_kind != kind_group) return {0, target_none};
        return {static_cast<int32_t>(index), l->entity_kind};
    }
};

// Cameras (with flag 0x01 those marked to be saved), tracks, backgrounds and lights.
void collect_scene(int flags, const saved_indices& saved, bf_world& out) {
    for (const camera* c = engine_state.cameras; c; c = c->next) {
        if ((flags & save_flags::marked_only) && !c->save) continue;
        bf_camera r{};
        r.name = optional_text(c->name);
        r.width = static_cast<uint16_t>(c->width);
        r.height = static_cast<uint16_t>(c->height);
        r.field_of_view = static_cast<float>(c->field_of_view);
        r.culling_depth_flag = static_cast<uint8_t>(c->own_culling_depth);
        r.culling_depth = static_cast<float>(c->culling_depth);
        put_floats(r.location, c->matrix.m[3], 3);
        r.eye_distance = static_cast<float>(c->distance_from_eye);
        put_floats(r.x_axis, c->matrix.m[0], 3);
        put_floats(r.y_axis, c->matrix.m[1], 3);
        put_floats(r.z_axis, c->matrix.m[2], 3);
        r.track = track_record(track_name_of(c->track.name), c->track);
        r.chase = chase_record(c->chase);
        put_floats(r.speed, c->speed, 3);
        put_floats(r.force, c->force, 3);
        r.elasticity = static_cast<float>(c->elasticity);
        r.friction = static_cast<float>(c->friction);
        put_floats(r.rotation, c->rotation, 3);
        r.rotation_space = c->rotation_space;
        out.cameras.push_back(std::move(r));
    }
    for (const jtrack* t = engine_state.tracks; t; t = t->next) {
        if ((flags & save_flags::marked_only) && !t->save) continue;
        bf_track r{};
        r.name = optional_text(t->name);
        r.cyclic = t->cyclic;
        for (int32_t i = 0; t->points && i < t->point_count * 3; ++i) r.points.push_back(static_cast<float>(t->points[i]));
        out.tracks.push_back(std::move(r));
    }
    for (const background* b = engine_state.backgrounds; b; b = b->next) {
        if ((flags & save_flags::marked_only) && !b->save) continue;
        bf_background r{};
        r.name = optional_text(b->name);
        if (b->frames && b->frames->name) r.bitmap_name = get_file_name(b->frames->name);
        r.type = static_cast<uint16_t>(b->type);
        r.distance = static_cast<float>(b->distance);
        r.bottom_height = static_cast<float>(b->bottom);
        r.bottom_intensity = static_cast<float>(b->bottom_intensity);
        r.intensity_step = static_cast<float>(b->intensity_step);
        out.backgrounds.push_back(std::move(r));
    }
    for (const light* l = engine_state.lights; l; l = l->next) {
        if ((flags & save_flags::marked_only) && !l->save) continue;
        bf_light r{};
        r.name = optional_text(l->name);
        std::tie(r.target_index, r.target_kind) = saved.light_target(l);
        put_floats(r.location, l->location, 3);
        r.type_flags = l->type;
        put_floats(r.direction, l->direction, 3);
        r.red = l->red;
        r.green = l->green;
        r.blue = l->blue;
        r.distance_reach = static_cast<float>(l->distance_reach);
        r.activate_before_render = l->activate_before_render;
        r.mode = l->mode;
        r.ray_tracing = l->ray_tracing;
        r.ambient = static_cast<float>(l->ambient);
        r.diffuse = static_cast<float>(l->diffuse);
        r.specular = static_cast<float>(l->specular);
        r.specular_shining = static_cast<float>(l->specular_shining);
        out.lights.push_back(std::move(r));
    }
}

bf_settings collect_settings(const std::map<const group*, uint32_t>& group_index) {
    const engine_state_record& e = engine_state;
    bf_settings s{};
    s.rendering_mode = static_cast<uint8_t>(e.rendering_mode);
    s.wire_frame = static_cast<uint8_t>(e.wire_frame);
    s.reserved_byte = e.reserved_byte;
    s.zbuffer = static_cast<uint8_t>(e.zbuffer_state);
    s.atmospheric_intensity = static_cast<float>(e.atmospheric_intensity);
    s.brightness = e.brightness;
    s.far_colour_accuracy = e.far_objects_accuracy;
    const uint8_t atmosphere[3] = {clamp_byte(e.atmosphere_red), clamp_byte(e.atmosphere_green),
                                   clamp_byte(e.atmosphere_blue)};
    const uint8_t colour[3] = {clamp_byte(e.default_atmosphere_red), clamp_byte(e.default_atmosphere_green),
                               clamp_byte(e.default_atmosphere_blue)};
    for (int i = 0; i < 3; ++i) {
        s.atmosphere[i] = s.atmosphere_copy[i] = atmosphere[i];
        s.default_colour[i] = colour[i];
    }
    s.default_pixel = s.second_default_pixel = rgb_to_pixel(colour[0], colour[1], colour[2]);
    put_floats(s.reserved_direction, e.reserved_direction, 3);
    put_floats(s.reserved_pair, e.reserved_pair, 2);
    put_floats(s.rotation_reference, e.world_rotate_reference, 3);
    const auto render = group_index.find(e.group_to_render);
    s.render_group = render == group_index.end() ? 0 : static_cast<int32_t>(render->second);
    s.advance_objects = static_cast<uint8_t>(e.advance_objects);
    s.advance_cameras = static_cast<uint8_t>(e.advance_cameras);
    s.perspective_accuracy = static_cast<float>(e.perspective_accuracy);
    s.speed_units = static_cast<uint8_t>(e.time_based_objects);
    s.camera_mover = static_cast<uint8_t>(e.time_based_cameras);
    s.animation_timing = static_cast<uint8_t>(e.time_based_animation);
    s.max_render_time = e.maximum_render_time;
    s.min_render_time = e.minimum_render_time;
    return s;
}

}  // namespace

int bfl_collect_world(const group* saved, int flags, bf_world& out) {
    out = bf_world{};
    std::map<const group*, uint32_t> group_index;
    name_table group_names(out.group_names);
    std::vector<const group*> groups;
    for (const group* g = engine_state.groups; g; g = g->next) {
        if (group_is_included(g, saved)) groups.push_back(g);
    }
    for (const group* g : groups) group_index[g] = static_cast<uint32_t>(group_index.size() + 1);
    for (const group* g : groups) {
        const auto father = group_index.find(g->father);
        out.groups.push_back({group_names.index_of(g->name), father == group_index.end() ? 0u : father->second,
                              static_cast<uint8_t>(g->holds_object_parameters ? 1 : 0)});
    }
    const auto top = group_index.find(saved);
    out.top_group = top == group_index.end() ? 0 : static_cast<int32_t>(top->second - 1);

    const std::vector<polygon*> polys = saved_polygons(saved);
    const polygon_numbers polygon_index(polys);
    auto index_of = [&](const polygon* p) { return polygon_index.of(p); };

    // Animations: all of them, or with flags 0x01 / 0x40 those the saved polygons use.
    std::vector<const animation*> animations;
    const bool all_animations = !(flags & (save_flags::marked_only | save_flags::group_items_only));
    std::unordered_set<const animation*> used;
    if (!all_animations) {
        for (const polygon* p : polys) {
            if (p->anim) used.insert(p->anim);
        }
    }
    for (const animation* a = engine_state.animations; a; a = a->next) {
        if (all_animations || used.count(a)) animations.push_back(a);
    }
    std::map<const animation*, uint32_t> animation_index;
    for (const animation* a : animations) animation_index[a] = static_cast<uint32_t>(animation_index.size() + 1);

    size_t corners = 0;
    for (const polygon* p : polys) corners += static_cast<size_t>(p->point_count);
    shared_table points(0.00001, 3, corners), cords(0.0001, 2, corners);
    reserve_in_huge_pages(out.points, corners);
    reserve_in_huge_pages(out.cords, corners);
    name_table bitmap_names(out.bitmap_names), polygon_names(out.polygon_names);
    reserve_in_huge_pages(out.polygons, polys.size());
    for (size_t i = 0; i < polys.size(); ++i) {
        if (i + 2 * corners_ahead < polys.size()) {
            prefetch_bytes(reinterpret_cast<uintptr_t>(polys[i + 2 * corners_ahead]), record_bytes);
        }
        if (i + corners_ahead < polys.size()) {
            for (const point* pt = polys[i + corners_ahead]->points; pt; pt = pt->next) {
                const double position[3] = {pt->x, pt->y, pt->z}, cord[2] = {pt->bitmap_x, pt->bitmap_y};
                __builtin_prefetch(points.search_start(position, point_bytes(pt)));
                __builtin_prefetch(cords.search_start(cord, 0));
            }
        }
        const polygon* p = polys[i];
        bf_polygon r;
        r.kind_word = static_cast<uint32_t>(p->orientation) & kind_orientation;
        if (p->rotated) r.kind_word |= kind_rotated;
        if (p->collisional) r.kind_word |= kind_collisional;
        if (p->disabled) r.kind_word |= kind_disabled;
        if (p->transparent_index >= 0) {
            r.kind_word |= kind_has_transparent;
            if (p->transparent_index == 0) r.kind_word |= kind_transparent_zero;
            r.transparent_index = p->transparent_index > 255 ? 255 : p->transparent_index;
        }
        // The node lists of viewer mode, through the saved polygons only.
        if (!engine_state.editor_mode && !p->patch_kind) {
            const polygon* next = p->next;
            while (next && !index_of(next)) next = next->next;
            link(r, has_next, r.next, index_of(next));
        }
        if (!p->points || p->points->red != p->red || p->points->green != p->green || p->points->blue != p->blue) {
            r.presence |= has_colour;
            r.red = clamp_byte(p->red);
            r.green = clamp_byte(p->green);
            r.blue = clamp_byte(p->blue);
        }
        if (p->bitmap_name && *p->bitmap_name && p->texture) {
            r.presence |= has_bitmap_name;
            r.bitmap_name = bitmap_names.index_of(p->bitmap_name);
        }
        if (p->name && *p->name) {
            r.presence |= has_name;
            r.name = polygon_names.index_of(p->name);
        }
        r.presence |= has_group;
        r.group = group_index[p->owner_group];
        if (static_cast<float>(p->light_diminution) != default_diminution) {
            r.presence |= has_diminution;
            r.light_diminution = static_cast<float>(p->light_diminution);
        }
        if (p->anim) {
            const auto found = animation_index.find(p->anim);
            if (found == animation_index.end()) {
                report(bf_world_texts::animation_not_found);  // saved without its animation
            } else {
                r.presence |= has_animation;
                r.animation = found->second;
            }
        }
        if (p->blending_on) {
            r.presence |= has_blending;
            r.blending = p->blending;
        }
        if (p->patch_kind) {
            r.presence |= has_patch_kind;
            r.patch_kind = p->patch_kind;
        }
        link(r, has_next_patch, r.next_patch, index_of(p->next_patch));
        link(r, has_previous_patch, r.previous_patch, index_of(p->previous_patch));
        link(r, has_family_head, r.family_head, index_of(p->family_head));
        if (r.presence & has_family_head) {
            for (int i = 0; i < 3; ++i) r.centre[i] = static_cast<float>(p->centre[i]);
        }
        link(r, has_family_next, r.family_next, index_of(p->family_next));
        factor(r, has_ambient, r.ambient, p->ambient, default_ambient);
        factor(r, has_diffuse, r.diffuse, p->diffuse, default_diffuse);
        factor(r, has_specular, r.specular, p->specular, default_specular);
        factor(r, has_shining, r.specular_shining, p->specular_shining, default_shining);
        r.points.reserve(static_cast<size_t>(p->point_count));
        r.cords.reserve(static_cast<size_t>(p->point_count));
        for (const point* pt = p->points; pt; pt = pt->next) {
            const double position[3] = {pt->x, pt->y, pt->z};
            r.points.push_back(points.find_or_add(position, point_bytes(pt), [&] {
                out.points.push_back({static_cast<float>(pt->x), static_cast<float>(pt->y),
                                      static_cast<float>(pt->z), pt->red, pt->green, pt->blue, pt->normal_x,
                                      pt->normal_y, pt->normal_z});
            }));
            const double cord[2] = {pt->bitmap_x, pt->bitmap_y};
            r.cords.push_back(cords.find_or_add(cord, 0, [&] {
                out.cords.push_back({static_cast<float>(pt->bitmap_x), static_cast<float>(pt->bitmap_y)});
            }));
        }
        const size_t count = r.points.size();
        if (count == 3) r.kind_word |= kind_three_points;
        else if (count == 4) r.kind_word |= kind_four_points;
        else if (count >= 256) r.kind_word |= kind_many_points;
        out.polygons.push_back(std::move(r));
    }

    if (!engine_state.editor_mode && engine_state.main_module && engine_state.main_module->root) {
        collect_bsp(engine_state.main_module->root, polygon_index, out);
    }

    std::unordered_map<const dynamic_object*, std::vector<uint32_t>> owned;
    for (size_t i = 0; i < polys.size(); ++i) {
        if (polys[i]->owner) owned[polys[i]->owner].push_back(static_cast<uint32_t>(i + 1));
    }
    for (const dynamic_object* d = engine_state.dynamic_objects; d; d = d->next) {
        if (!engine_state.editor_mode && !d->own_module) report(bf_world_texts::object_without_module);
        bf_dynamic_object r{};
        r.name = optional_text(d->name);
        r.father_name = optional_text(d->father_name);
        r.control = d->control;
        r.track = track_record(optional_text(d->track.name), d->track);
        r.chase = chase_record(d->chase);
        for (int i = 0; i < 3; ++i) {
            r.speed[i] = static_cast<float>(d->speed[i]);
            r.force[i] = static_cast<float>(d->force[i]);
            r.rotation[i] = static_cast<float>(d->rotation[i]);
            r.reference[i] = static_cast<float>(d->rotation_centre[i]);
            r.location[i] = static_cast<float>(d->axis_system.m[3][i]);
            r.scale[i] = static_cast<float>(d->scale[i]);
            for (int j = 0; j < 3; ++j) r.rotation_rows[i * 3 + j] = static_cast<float>(d->axis_system.m[i][j]);
        }
        r.friction = static_cast<float>(d->friction);
        r.elasticity = static_cast<float>(d->elasticity);
        r.max_speed = static_cast<float>(d->max_speed);
        r.rotation_space = static_cast<uint8_t>(d->rotation_space);
        if (const auto found = owned.find(d); found != owned.end()) r.polygons = std::move(found->second);
        out.dynamic_objects.push_back(std::move(r));
    }

    for (const animation* a : animations) {
        bf_animation r;
        r.name = optional_text(a->name);
        for (int32_t i = 0; i < a->frame_count && a->durations; ++i) r.durations.push_back(static_cast<int32_t>(a->durations[i]));
        for (size_t l = 0; l < r.lists.size(); ++l) {
            if (!a->views[l]) continue;
            std::vector<bf_frame> frames;
            for (const frame_item* f = a->views[l]; f && frames.size() < r.durations.size(); f = f->next) {
                frames.push_back({static_cast<uint8_t>(f->transparent_index >= 0),
                                  static_cast<uint8_t>(f->transparent_index >= 0 ? f->transparent_index : 0),
                                  optional_text(f->name), f->placeholder});
            }
            if (frames.size() == r.durations.size()) r.lists[l] = std::move(frames);
        }
        out.animations.push_back(std::move(r));
    }

    if (flags & save_flags::group_items_only) {
        out.cameras_saved = out.tracks_saved = out.backgrounds_saved = out.lights_saved = false;
    } else {
        collect_scene(flags, saved_indices{group_index, polygon_index}, out);
    }
    out.settings = collect_settings(group_index);
    return 0;
}

namespace {

// The world in its viewer form for the time of an editor-mode save: one object (with a module of
// its own) per dynamic group inside the saved group, its polygons moved into that module in object
// space; polygons outside the saved group set aside. undo() puts everything back exactly.
class viewer_form {
public:
    viewer_form(const group* saved, bool build_trees)
        : main_(engine_state.main_module), saved_world_order_(engine_state.world_order) {
        if (!main_ || !main_->root) return;
        for (polygon* p = main_->root->polygons; p; p = p->next) original_.push_back(p);
        for (group* h = engine_state.groups; h; h = h->next) {
            if (h->holds_object_parameters && group_is_included(h, saved)) make_object(h);
        }
        polygon** main_tail = &main_->root->polygons;
        *main_tail = nullptr;
        for (polygon* p : original_) {
            p->next = nullptr;
            if (!saved_polygon(p, saved)) continue;  // set aside: back in undo()
            dynamic_object* d = object_of(dynamic_holder(p->owner_group));
            if (!d) {
                *main_tail = p;
                main_tail = &p->next;
                continue;
            }
            move_into(p, d);
        }
        engine_state.editor_mode = 0;
        if (build_trees) build_trees_on_copies();
        thread_polygons_in_world_order();
    }

    ~viewer_form() {
        if (!main_ || !main_->root) return;
        for (auto& [m, root] : kept_roots_) {
            bsp_tree_destroy(m->root);
            m->root = root;
        }
        engine_state.world_order = saved_world_order_;  // no longer through the freed copies
        for (auto& [pt, xyz] : positions_) {
            pt->x = xyz[0];
            pt->y = xyz[1];
            pt->z = xyz[2];
        }
        for (auto& [h, d] : objects_) {
            for (polygon* p = d->own_module->root->polygons; p; p = p->next) {
                for (polygon* q = p; q; q = q->next_patch) q->owner = nullptr;
            }
            d->own_module->root->polygons = nullptr;
            dynamic_delete(d);
        }
        polygon** tail = &main_->root->polygons;
        for (polygon* p : original_) {
            *tail = p;
            tail = &p->next;
        }
        *tail = nullptr;
        engine_state.editor_mode = 1;
        engine_state.world_order = saved_world_order_;
    }

private:
    // The trees are built over copies of the saved polygons (a build splits polygons), so the
    // edited world keeps its own; the copies and their trees are freed in the destructor.
    void build_trees_on_copies() {
        set_log_window_caption(bf_world_texts::caption_tree);
        std::vector<module*> candidates{main_};
        for (auto& [h, d] : objects_) candidates.push_back(d->own_module);
        std::map<const polygon*, polygon*> copy_of;
        std::vector<std::pair<const polygon*, polygon*>> pairs;
        std::vector<module*> modules;  // those whose root now holds copies
        for (module* m : candidates) {
            bsp_node* root = init_bsp_node();
            if (!root) {
                report(bf_world_texts::internal_error_2);
                continue;
            }
            polygon** tail = &root->polygons;
            for (const polygon* p = m->root->polygons; p; p = p->next) {
                polygon* previous = nullptr;
                for (const polygon* q = p; q; q = q->next_patch) {
                    polygon* copy = duplicate_polygon(q);
                    if (!copy) break;
                    copy->owner = q->owner;
                    copy->owner_group = q->owner_group;
                    copy->patch_kind = q->patch_kind;
                    polygon_calculate_plane(copy);
                    copy_of[q] = copy;
                    pairs.push_back({q, copy});
                    if (previous) {
                        previous->next_patch = copy;
                        copy->previous_patch = previous;
                    } else {
                        *tail = copy;
                        tail = &copy->next;
                    }
                    previous = copy;
                }
            }
            kept_roots_.push_back({m, m->root});
            m->root = root;
            modules.push_back(m);
        }
        if (modules.empty()) return;
        for (auto& [original, copy] : pairs) {
            const auto head = copy_of.find(original->family_head);
            const auto next = copy_of.find(original->family_next);
            copy->family_head = head == copy_of.end() ? nullptr : head->second;
            copy->family_next = next == copy_of.end() ? nullptr : next->second;
        }
        // Only the modules holding copies are built: they are chained on their own for the call.
        // The edited world's cache file describes the viewer tree of that file, not this one.
        std::vector<module*> next_links;
        for (module* m : modules) next_links.push_back(m->next);
        for (size_t i = 0; i < modules.size(); ++i) modules[i]->next = i + 1 < modules.size() ? modules[i + 1] : nullptr;
        char* const world_file = engine_state.world_file_name;
        engine_state.world_file_name = nullptr;
        build_modules_bsp_trees(modules.front(), main_);
        engine_state.world_file_name = world_file;
        for (size_t i = 0; i < modules.size(); ++i) modules[i]->next = next_links[i];
        set_log_window_caption(bf_world_texts::caption_general);
    }

    void make_object(group* h) {
        vec3 centre;
        group_get_center(h, centre);
        h->centre[0] = centre.x;
        h->centre[1] = centre.y;
        h->centre[2] = centre.z;
        dynamic_object* d = dynamic_create_from_group(h);
        module* m = d ? init_module() : nullptr;
        bsp_node* root = m ? init_bsp_node() : nullptr;
        if (!root) {
            if (m) module_destroy(m);
            if (d) dynamic_free(d);
            report(bf_world_texts::internal_error);
            return;
        }
        std::string name = d->name ? d->name : bf_world_texts::unnamed_object;
        module_find_unique_name(engine_state.modules, name);
        jstrcpy_with_allocating(&m->name, name.c_str());
        m->root = root;
        m->dynamic = 1;
        d->own_module = m;
        d->made_group = h;
        module_list_push(&engine_state.modules, m);
        dynamic_list_push(&engine_state.dynamic_objects, d);
        objects_.push_back({h, d});
        tails_.push_back(&root->polygons);
    }

    dynamic_object* object_of(const group* h) {
        for (auto& [g, d] : objects_) {
            if (g == h) return d;
        }
        return nullptr;
    }

    void move_into(polygon* p, dynamic_object* d) {
        size_t k = 0;
        while (objects_[k].second != d) ++k;
        *tails_[k] = p;
        tails_[k] = &p->next;
        const vec3 location = dynamic_get_location(d);
        for (polygon* q = p; q; q = q->next_patch) {
            q->owner = d;
            for (point* pt = q->points; pt; pt = pt->next) {
                positions_.push_back({pt, {pt->x, pt->y, pt->z}});
                pt->x -= location.x;
                pt->y -= location.y;
                pt->z -= location.z;
            }
        }
    }

    module* main_;
    polygon* saved_world_order_;
    std::vector<polygon*> original_;
    std::vector<std::pair<group*, dynamic_object*>> objects_;
    std::vector<polygon**> tails_;
    std::vector<std::pair<point*, std::array<double, 3>>> positions_;
    std::vector<std::pair<module*, bsp_node*>> kept_roots_;  // roots set aside while the copies have trees
};

}  // namespace

int engine_save_drovik_binary_world(const char* path, group* g, int flags) {
    group* saved = g;
    std::vector<group*> adopted_groups;
    std::vector<polygon*> adopted_polygons;
    if (!saved) {
        // The whole world goes under a temporary group for the time of the save.
        saved = group_create(&engine_state.groups, path ? path : "");
        if (!saved) {
            report(bf_world_texts::no_temporary_group);
            return -1;
        }
        for (group* h = engine_state.groups; h; h = h->next) {
            if (h == saved || h->father) continue;
            h->father = saved;
            adopted_groups.push_back(h);
        }
        for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
            if (p->owner_group) continue;
            p->owner_group = saved;
            adopted_polygons.push_back(p);
        }
    }
    bf_world world;
    int result = 0;
    {
        std::optional<viewer_form> form;
        if (engine_state.editor_mode) form.emplace(saved, (flags & save_flags::build_bsp_trees) != 0);
        result = bfl_collect_world(saved, flags, world);
    }
    if (result == 0) result = bfl_write_world_file(path, world);
    if (result == 0 && (flags & save_flags::any_bitmaps)) engine_save_bitmaps_of_group(saved, path, flags, 1);
    if (saved != g) {
        for (group* h : adopted_groups) h->father = nullptr;
        for (polygon* p : adopted_polygons) p->owner_group = nullptr;
        group_delete(&engine_state.groups, saved);
    }
    return result;
}
