// Groups: named sets of polygons forming a tree; membership is found by walking the world order.
#include "world/group.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "foundation/dictionary.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/geometry.h"
#include "foundation/memory.h"
#include "foundation/parallel.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "world/blending.h"
#include "world/chase.h"
#include "world/engine_state.h"
#include "world/engine_state_links.h"
#include "world/light.h"
#include "world/motion_settings.h"
#include "world/polygon.h"
#include "world/polygon_fill.h"
#include "world/polygon_geometry.h"
#include "world/polygon_patch.h"
#include "world/track.h"
#include "world/vertex_normals.h"
#include "world/world_order.h"

namespace {

void report(const char* text) {
    if (group_report_errors()) report_error(1, text);
}

std::string underscored(const char* name) {
    std::string s = name ? name : "";
    for (char& c : s) {
        if (c == ' ') c = '_';
    }
    return s;
}

char* engine_copy(const std::string& s) {
    char* copy = static_cast<char*>(engine_alloc(s.size() + 1));
    if (copy) std::memcpy(copy, s.c_str(), s.size() + 1);
    return copy;
}

// Gives the group its unique registered name and its given name; -1 when memory runs out.
int name_group(group* g, const char* name) {
    std::string unique = underscored(name);
    const std::string given = unique;
    const int registered = group_add_name_to_dictionary(unique);
    g->name = engine_copy(unique);
    g->given_name = engine_copy(given);
    g->name_registered = registered == 0 ? 1 : 0;
    if (!g->name || !g->given_name) {
        if (g->name_registered) dictionary_delete_a_word(engine_state.name_dictionary, unique.c_str(), 1);
        g->name_registered = 0;
        return -1;
    }
    return 0;
}

void unregister_name(group* g) {
    if (g->name_registered && g->name && engine_state.name_dictionary)
        dictionary_delete_a_word(engine_state.name_dictionary, g->name, 1);
    g->name_registered = 0;
}

void free_strings(group* g) {
    for (char** s : {&g->name, &g->given_name, &g->object_type, &g->track.name, &g->chase.name, &g->chase.type_string,
                     &g->further_name}) {
        engine_free(*s);
        *s = nullptr;
    }
}

// Duplicates every owned string of a copied record; -1 when memory runs out.
int duplicate_strings(group* g) {
    int failures = 0;
    for (char** s : {&g->given_name, &g->object_type, &g->track.name, &g->chase.name, &g->chase.type_string,
                     &g->further_name}) {
        const char* source = *s;
        *s = nullptr;
        if (source && !jstrcpy_with_allocating(s, source)) failures++;
    }
    return failures ? -1 : 0;
}

// Every polygon of the world with its patches.
void for_each_polygon_and_patch(const std::function<void(polygon*)>& f) {
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        polygon* patch = p->next_patch;
        f(p);
        for (; patch; patch = patch->next_patch) f(patch);
    }
}

std::vector<polygon*> polygons_of(const group* g) {
    std::vector<polygon*> out;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (group_is_included(p->owner_group, g)) out.push_back(p);
    }
    return out;
}

std::vector<polygon*> polygons_exactly_of(const group* g) {
    std::vector<polygon*> out;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (p->owner_group == g) out.push_back(p);
    }
    return out;
}

bool frame_list_holds(const frame_item* list, const bitmap_texture* texture) {
    for (; list; list = list->next) {
        if (list->bitmap == texture && list->transparent_index == texture->image.transparent_index) return true;
    }
    return false;
}

// The patches a patch operation of `type` acts on.
std::vector<polygon*> selected_patches(const group* g, int type) {
    std::vector<polygon*> out;
    const bool whole_world = type != 1 && type != 4;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (!whole_world && !group_is_included(p->owner_group, g)) continue;
        for (polygon* patch = p->next_patch; patch; patch = patch->next_patch) {
            const bool take = type == 1 || (type == 4 ? patch->patch_kind > 3 : patch->patch_kind == type);
            if (take) out.push_back(patch);
        }
    }
    return out;
}

group* duplicate_tree(group* g, group* father, bool triangled);

void push_on_main_root(polygon* p) {
    module* main = engine_state.main_module;
    polygon_list_add(&main->root->polygons, p);
}

void copy_polygons_of(group* source, group* copy) {
    module* main = engine_state.main_module;
    if (!main || !main->root) return;
    for (polygon* p : polygons_exactly_of(source)) {
        polygon* c = duplicate_polygon(p);
        if (!c) continue;
        c->owner_group = copy;
        push_on_main_root(c);
    }
}

void copy_polygons_triangled(group* source, group* copy) {
    module* main = engine_state.main_module;
    if (!main || !main->root) return;
    for (polygon* p : polygons_exactly_of(source)) {
        std::vector<const point*> pts;
        for (const point* pt = p->points; pt; pt = pt->next) pts.push_back(pt);
        for (size_t i = 2; i < pts.size(); ++i) {
            polygon* t = init_poly();
            if (!t) continue;
            polygon_copy_attributes(t, p);
            t->family_head = nullptr;
            t->family_next = nullptr;
            t->owner_group = copy;
            bool ok = true;
            for (const point* pt : {pts[0], pts[i - 1], pts[i]}) {
                const double values[6] = {pt->x, pt->y, pt->z, pt->bitmap_x, pt->bitmap_y, pt->brightness};
                if (polygon_add_point(t, values) != 0) {
                    report("group_duplicate_tree_triangled: internal error\n");
                    ok = false;
                }
            }
            for (point* pt = t->points; pt; pt = pt->next) {
                pt->red = static_cast<uint8_t>(t->red);
                pt->green = static_cast<uint8_t>(t->green);
                pt->blue = static_cast<uint8_t>(t->blue);
            }
            if (!ok || polygon_recalculate(t) != 0) {
                report("group_duplicate_tree_triangled: bad polygon\n");
                free_polygon(t);
                continue;
            }
            push_on_main_root(t);
        }
    }
}

group* duplicate_tree(group* g, group* father, bool triangled) {
    if (!g) return nullptr;
    group* copy = group_duplicate(g);
    if (!copy) return nullptr;
    copy->father = father;
    std::vector<group*> sons;
    for (group* s = engine_state.groups; s; s = s->next) {
        if (s->father == g && s != copy) sons.push_back(s);
    }
    for (group* s : sons) duplicate_tree(s, copy, false);
    if (triangled) {
        copy_polygons_triangled(g, copy);
    } else {
        copy_polygons_of(g, copy);
    }
    return copy;
}

void extend_int_box(int32_t box[6], const int32_t b[6]) {
    for (int k = 0; k < 3; ++k) {
        if (b[k] < box[k]) box[k] = b[k];
        if (b[k + 3] > box[k + 3]) box[k + 3] = b[k + 3];
    }
}

void extend_int_box(int32_t box[6], const double b[6]) {
    const int32_t truncated[6] = {truncate_to_int(b[0]), truncate_to_int(b[1]), truncate_to_int(b[2]),
                                  truncate_to_int(b[3]), truncate_to_int(b[4]), truncate_to_int(b[5])};
    extend_int_box(box, truncated);
}

// The boxes a run of the world's polygons gives: each owner group's, as runs of polygons of one
// group, and the world's.
struct box_share {
    struct group_box {
        group* g;
        int32_t box[6];
    };
    std::vector<group_box> groups;
    double world[6] = {1e100, 1e100, 1e100, -1e100, -1e100, -1e100};

    void add(const polygon* p) {
        if (p->owner_group) {
            if (groups.empty() || groups.back().g != p->owner_group) {
                groups.push_back({p->owner_group, {INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MIN, INT_MIN}});
            }
            extend_int_box(groups.back().box, p->box);
        }
        if (!p->owner) {
            double truncated[6];
            for (int k = 0; k < 6; ++k) truncated[k] = std::trunc(p->box[k]);
            box_extend(world, truncated);
        }
    }
};

}  // namespace

int& group_report_errors() {
    static int flag = 1;
    return flag;
}

int group_add_name_to_dictionary(std::string& name) {
    if (!engine_state.name_dictionary) return -1;
    return dictionary_add_a_word_unique(engine_state.name_dictionary, name) < 0 ? -1 : 0;
}

group* group_create(group** list, const char* name) {
    if (!list) return nullptr;
    group* g = record_new<group>(kind_group);
    if (!g) {
        report("group_create: cant alloc mem for cell !\n");
        return nullptr;
    }
    if (name_group(g, name) != 0) {
        report("group_create: cant alloc mem for string!\n");
        free_strings(g);
        record_destroy(g);
        return nullptr;
    }
    matrix_identity(g->axis_system);
    g->chase.softness = 0.1;
    g->max_speed = 1e100;
    g->next = *list;
    *list = g;
    return g;
}

group* group_create_using_object(group** list, const object* obj) {
    if (!list || !obj) return nullptr;
    if (!obj->module_name) {
        report("group_create_using_object: obj->module_name==NULL\n");
        return nullptr;
    }
    group* g = record_new<group>(kind_group);
    if (!g) {
        report("group_create_using_object: cant alloc mem for cell !\n");
        return nullptr;
    }
    matrix_identity(g->axis_system);
    g->chase.softness = 0.1;
    g->max_speed = 1e100;
    if (obj->dynamic) group_set_object_parameters(g, obj->dynamic);
    unregister_name(g);
    engine_free(g->name);
    g->name = nullptr;
    if (name_group(g, obj->module_name) != 0) {
        report("group_create_using_object: cant alloc mem for string!\n");
        free_strings(g);
        record_destroy(g);
        return nullptr;
    }
    g->centre[0] = obj->matrix.m[3][0];
    g->centre[1] = obj->matrix.m[3][1];
    g->centre[2] = obj->matrix.m[3][2];
    g->next = *list;
    *list = g;
    return g;
}

void group_set_object_parameters(group* g, const dynamic_object* d) {
    if (!g) return;
    if (!d) {
        g->holds_object_parameters = 0;
        return;
    }
    g->holds_object_parameters = 1;
    unregister_name(g);
    jstrcpy_with_allocating(&g->name, d->name);
    jstrcpy_with_allocating(&g->object_type, d->type);
    copy_motion_settings(*g, *d);
}

group* group_extract(group** list, group* g) {
    if (!list || !g) return nullptr;
    group** slot = list;
    while (*slot && *slot != g) slot = &(*slot)->next;
    if (!*slot) {
        report("group_extract: Internal error\n");
        return nullptr;
    }
    *slot = g->next;
    g->next = nullptr;
    for_each_polygon_and_patch([g](polygon* p) {
        if (p->owner_group == g) p->owner_group = g->father;
    });
    for (group* other = engine_state.groups; other; other = other->next) {
        if (other->father == g) other->father = g->father;
    }
    if (list != &engine_state.groups) {
        for (group* other = *list; other; other = other->next) {
            if (other->father == g) other->father = g->father;
        }
    }
    for (dynamic_object* d = engine_state.dynamic_objects; d; d = d->next) {
        if (d->chase.chased_group == g) d->chase.chased_group = nullptr;
        if (d->made_group == g) d->made_group = nullptr;
    }
    for (camera* c = engine_state.cameras; c; c = c->next) {
        if (c->chase.chased_group == g) c->chase.chased_group = nullptr;
    }
    light_forget_entity(g);
    world_links_entity_freed(g);
    return g;
}

int group_delete(group** list, group* g) {
    if (!list) return -1;
    if (!g) {
        int result = 0;
        while (*list) {
            if (group_delete(list, *list) != 0) result = -1;
        }
        return result;
    }
    group* extracted = group_extract(list, g);
    if (extracted != g) {
        report("group_delete: internal error\n");
        return -1;
    }
    unregister_name(g);
    free_strings(g);
    record_destroy(g);
    return 0;
}

int group_rename(group* g, const char* name) {
    if (!g || !name || !*name) return -1;
    const std::string wanted = name;  // the name may be the group's own string
    unregister_name(g);
    engine_free(g->name);
    engine_free(g->given_name);
    g->name = g->given_name = nullptr;
    if (name_group(g, wanted.c_str()) != 0) return -1;
    // The file name follows the unique name.
    engine_free(g->given_name);
    g->given_name = engine_copy(g->name);
    return g->given_name ? 0 : -1;
}

group* group_find_by_name(group* list, const char* name) {
    if (!name) return nullptr;
    for (; list; list = list->next) {
        if (list->name && jstricmp(list->name, name) == 0) return list;
    }
    return nullptr;
}

int group_is_included(const group* a, const group* b) {
    if (!b) return 1;
    for (const group* g = a; g; g = g->father) {
        if (g == b) return 1;
    }
    return 0;
}

int group_get_number_of_polygons(const group* g) { return static_cast<int>(polygons_of(g).size()); }

int group_get_number_of_points(const group* g) {
    int n = 0;
    for (const polygon* p : polygons_of(g)) n += p->point_count;
    return n;
}

int group_count_included(const group* list, const group* g) {
    int n = g ? 0 : 1;
    for (; list; list = list->next) n += group_is_included(list, g);
    return n;
}

int group_set_father_group(group* g, group* father) {
    if (!g || (father && group_is_included(father, g))) return -1;
    g->father = father;
    return 0;
}

group* group_duplicate(const group* g) {
    if (!g) return nullptr;
    group* copy = record_new<group>(kind_group);
    if (!copy) {
        report("group_duplicate: cant alloc mem for cell !\n");
        return nullptr;
    }
    const int32_t kind = copy->kind;
    *copy = *g;
    copy->kind = kind;
    copy->next = nullptr;
    copy->name = nullptr;
    copy->name_registered = 0;
    if (duplicate_strings(copy) != 0) {
        report("group_duplicate: cant alloc mem for string!\n");
        free_strings(copy);
        record_destroy(copy);
        return nullptr;
    }
    std::string unique = g->name ? g->name : "";
    copy->name_registered = group_add_name_to_dictionary(unique) == 0 ? 1 : 0;
    copy->name = engine_copy(unique);
    if (!copy->name) {
        report("group_duplicate: cant alloc mem for string 2!\n");
        unregister_name(copy);
        free_strings(copy);
        record_destroy(copy);
        return nullptr;
    }
    copy->next = engine_state.groups;
    engine_state.groups = copy;
    return copy;
}

group* group_duplicate_tree(group* g, group* father) { return duplicate_tree(g, father, false); }

group* group_duplicate_tree_triangled(group* g, group* father) { return duplicate_tree(g, father, true); }

void group_get_center(const group* g, vec3& out) {
    double box[6];
    group_get_bounding_box(g, box);
    out = {(box[0] + box[3]) / 2, (box[1] + box[4]) / 2, (box[2] + box[5]) / 2};
}

void group_get_bounding_box(const group* g, double box[6]) {
    box[0] = box[1] = box[2] = 1e100;
    box[3] = box[4] = box[5] = -1e100;
    for (polygon* p : polygons_of(g)) {
        polygon_calculate_bounding_box(p, 0);
        box_extend(box, p->box);
    }
    if (!g) {
        for (const dynamic_object* d = engine_state.dynamic_objects; d; d = d->next) box_extend(box, d->box);
    }
}

void engine_compute_groups_bounding_boxes() {
    for (group* g = engine_state.groups; g; g = g->next) {
        g->box[0] = g->box[1] = g->box[2] = INT_MAX;
        g->box[3] = g->box[4] = g->box[5] = INT_MIN;
    }
    const std::vector<polygon*> all = world_polygons();
    std::vector<box_share> shares((all.size() + world_polygons_step - 1) / world_polygons_step);
    parallel_chunks(all.size(), world_polygons_step, [&all, &shares](size_t begin, size_t end) {
        box_share& share = shares[begin / world_polygons_step];
        for (size_t i = begin; i < end; ++i) share.add(all[i]);
    });
    double world[6] = {1e100, 1e100, 1e100, -1e100, -1e100, -1e100};
    for (const box_share& share : shares) {
        for (const box_share::group_box& run : share.groups) {
            for (group* g = run.g; g; g = g->father) extend_int_box(g->box, run.box);
        }
        box_extend(world, share.world);
    }
    for (const dynamic_object* d = engine_state.dynamic_objects; d; d = d->next) box_extend(world, d->box);
    for (group* g = engine_state.groups; g; g = g->next) {
        for (int k = 0; k < 3; ++k) g->centre[k] = (static_cast<double>(g->box[k]) + g->box[k + 3]) / 2;
    }
    for (int k = 0; k < 3; ++k) engine_state.world_centre[k] = (world[k] + world[k + 3]) / 2;
}

int group_is_bitmap_used(const group* g, const bitmap_texture* texture) {
    if (!texture) return 0;
    for (const polygon* p : polygons_of(g)) {
        if (p->texture == texture) return 1;
        if (p->bitmap_is_animation && p->anim) {
            for (const frame_item* list : p->anim->views) {
                if (frame_list_holds(list, texture)) return 1;
            }
        }
    }
    return 0;
}

int group_count_intersections(const group* g1, const group* g2) {
    const bool one_in_two = group_is_included(g1, g2) != 0;
    const bool two_in_one = group_is_included(g2, g1) != 0;
    int count = 0;
    for (const polygon* p : polygons_of(g1)) {
        if (p->rotated) continue;
        if (two_in_one && group_is_included(p->owner_group, g2)) continue;
        for (const polygon* q : polygons_of(g2)) {
            if (q->rotated) continue;
            if (one_in_two && group_is_included(q->owner_group, g1)) continue;
            vec3 hit;
            if (do_polygons_intersect(p, q, 1e-6, hit) == 1) count++;
        }
    }
    return count;
}

int group_calculate_axis_system(group* g) {
    if (!g) return -1;
    matrix_identity(g->axis_system);
    vec3 x{0, 0, 0}, z{0, 0, 0};
    bool has_x = false, has_z = false;
    const polygon* remembered = nullptr;
    const std::vector<polygon*> passes[2] = {polygons_exactly_of(g), polygons_of(g)};
    for (const auto& pass : passes) {
        for (const polygon* p : pass) {
            if (has_x && has_z) break;
            if (!p->orientation) continue;
            const vec3 n = polygon_normal(p);
            bool used = false;
            if (!has_x && (p->orientation == ORIENTATION_BACK || p->orientation == ORIENTATION_FRONT)) {
                x = n;
                if (p->orientation == ORIENTATION_FRONT) vec_negate(x);
                has_x = used = true;
            }
            if (!has_z && (p->orientation == ORIENTATION_TOP || p->orientation == ORIENTATION_BOTTOM)) {
                z = n;
                if (p->orientation == ORIENTATION_BOTTOM) vec_negate(z);
                has_z = used = true;
            }
            if (used && !remembered) remembered = p;
        }
    }
    auto store = [g](const vec3& ax, const vec3& ay, const vec3& az) {
        const vec3 rows[3] = {ax, ay, az};
        for (int r = 0; r < 3; ++r) {
            g->axis_system.m[r][0] = rows[r].x;
            g->axis_system.m[r][1] = rows[r].y;
            g->axis_system.m[r][2] = rows[r].z;
        }
    };
    if (has_x && has_z) {
        vec3 y = vec_cross(z, x);
        if (vec_normalize(y) != 0) return -1;
        x = vec_cross(y, z);
        store(x, y, z);
        return std::fabs(matrix3_determinant(g->axis_system) - 1) <= 1e-10 ? 0 : -1;
    }
    if (has_x || has_z) {
        vec3 edge{0, 0, 0};
        if (remembered->points && remembered->points->next) {
            edge = {remembered->points->next->x - remembered->points->x,
                    remembered->points->next->y - remembered->points->y,
                    remembered->points->next->z - remembered->points->z};
            vec_normalize(edge);
        }
        if (has_z) {
            x = edge;
            store(x, vec_cross(z, x), z);
        } else {
            const vec3 y = edge;
            store(x, y, vec_cross(x, y));
        }
        return 0;
    }
    for (const auto& pass : passes) {
        for (const polygon* p : pass) {
            if (p->point_count < 2) continue;
            vec3 ax, ay, az;
            if (polygon_get_axis_system(p, ax, ay, az) == 0) store(ax, ay, az);
            return 0;
        }
    }
    return -1;
}

polygon* group_get_polygon_by_orientation(const group* g, int orientation) {
    for (polygon* p : polygons_exactly_of(g)) {
        if (p->orientation == orientation) return p;
    }
    for (polygon* p : polygons_of(g)) {
        if (p->orientation == orientation) return p;
    }
    return nullptr;
}

int group_is_rotation_enabled(const group* g) {
    for (const polygon* p : polygons_of(g)) {
        if (p->rotated) return 1;
    }
    return 0;
}

void group_set_absolute_speed(group* g, double v) {
    if (!g) return;
    vec3 s{g->speed[0], g->speed[1], g->speed[2]};
    if (vec_normalize(s) != 0) s = {1, 0, 0};
    g->absolute_speed = v;
    g->speed[0] = s.x * v;
    g->speed[1] = s.y * v;
    g->speed[2] = s.z * v;
}

void group_set_speed(group* g, const vec3& v) {
    if (!g) return;
    g->speed[0] = v.x;
    g->speed[1] = v.y;
    g->speed[2] = v.z;
    g->absolute_speed = vec_length(v);
}

polygon* group_get_first_polygon(const group* g) {
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (group_is_included(p->owner_group, g)) return p;
    }
    return nullptr;
}

polygon* group_get_next_polygon(const group* g, const polygon* p) {
    for (polygon* q = get_next_polygon(p); q; q = get_next_polygon(q)) {
        if (group_is_included(q->owner_group, g)) return q;
    }
    return nullptr;
}

void group_delete_patches(const group* g, int type) {
    for (polygon* p : polygons_of(g)) Polygon_delete_patches(p, type);
}

void group_add_shadow_of_polygon(const group* g, polygon* caster, const vec3& light, int kind) {
    for (polygon* p : polygons_of(g)) polygon_add_shadow_patch(p, caster, light, kind);
}

void group_add_shadow_of_group(const group* receivers, const group* casters, const vec3& light, int kind) {
    for (polygon* c : polygons_of(casters)) group_add_shadow_of_polygon(receivers, c, light, kind);
}

void group_set_patches_color(const group* g, int r, int gr, int b, int type) {
    for (polygon* patch : selected_patches(g, type)) polygon_set_color_fill(patch, r, gr, b);
}

void group_set_patches_bitmap(const group* g, bitmap_texture* bitmap, int type) {
    for (polygon* patch : selected_patches(g, type)) polygon_set_bitmap_fill(patch, bitmap);
}

void group_set_patches_translucent(const group* g, int kind, int type) {
    for (polygon* patch : selected_patches(g, type)) polygon_set_translucent(patch, kind);
}

void group_calculate_vertices_normals(const group* g, int reset) {
    const std::vector<polygon*> polygons = polygons_of(g);
    if (reset) {
        for (polygon* p : polygons) {
            for (point* pt = p->points; pt; pt = pt->next) pt->normal_x = pt->normal_y = pt->normal_z = 0;
        }
    }
    std::vector<polygon*> statics, movers;
    for (polygon* p : polygons) (p->owner ? movers : statics).push_back(p);
    average_vertex_normals(statics, [](const polygon*, const polygon*) { return true; });
    if (!engine_state.editor_mode) {
        // Polygons of one dynamic object share its own space.
        average_vertex_normals(movers, [](const polygon* a, const polygon* b) { return a->owner == b->owner; });
    }
}

void polygon_list_calculate_vertices_normals(polygon* list) {
    std::vector<polygon*> polygons;
    for (polygon* p = list; p; p = p->next) polygons.push_back(p);
    average_vertex_normals(polygons, [](const polygon*, const polygon*) { return true; });
}

void group_get_signature(const group* g, double out[4]) {
    out[0] = out[1] = out[2] = out[3] = 0;
    double k = 0;
    for (const polygon* p : polygons_of(g)) {
        out[0] += 1;
        for (const point* pt = p->points; pt; pt = pt->next, k += 1) {
            out[1] += 1;
            out[2] += pt->x + pt->y + pt->z;
            out[3] += pt->x * 3 * k + pt->y * (3 * k + 1) + pt->z * (3 * k + 2);
            out[3] = wrap_checksum(out[3], 1e10);
        }
    }
}
