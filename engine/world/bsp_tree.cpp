// BSP trees: the tree build (with the cache file), object placement,
// visibility distances and the visitors over a tree.
#include "world/bsp_tree.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <tuple>

#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/scratch_pool.h"
#include "foundation/strings.h"
#include "platform/numbers.h"
#include "world/bsp_cache.h"
#include "world/bsp_node.h"
#include "world/bsp_partition.h"
#include "world/engine_state.h"
#include "world/object_module.h"
#include "world/polygon.h"
#include "world/polygon_geometry.h"

namespace {

void report(const char* text) {
    if (bsp_report_errors()) report_error(1, text);
}

// One build pass: its state and the cache it writes or reads.
struct bsp_build {
    bool abort = false;
    int max_depth = 0;
    bool building = true;
    bool read_failed = false;  // the cache ran short or gave a plane that made no progress
    std::vector<uint8_t>* out = nullptr;
    const std::vector<plane>* planes = nullptr;
    size_t next_plane = 0;
    int read_refresh = 0;
};

int last_depth = 0;

plane stored_plane(const bsp_node* node) { return {node->plane[0], node->plane[1], node->plane[2], node->plane[3]}; }

void store_plane(bsp_node* node, const plane& p) {
    node->plane[0] = p.a;
    node->plane[1] = p.b;
    node->plane[2] = p.c;
    node->plane[3] = p.d;
}

void refresh_progress(int delta) {
    set_log_window_progress(engine_g().progress_position + delta);
    refresh_log_window();
}

// A build list: the polygons a node divides. Their `next` links mean nothing until a node keeps them.
using build_list = std::vector<polygon*>;

build_list list_of(polygon* head) {
    build_list list;
    for (polygon* p = head; p; p = p->next) list.push_back(p);
    return list;
}

// The lists a node hands its children, with where each polygon came from (its number in the
// node's list, -1 for a piece cut from one). A child's list runs opposite to the order its
// polygons were put in, as each was put at the head.
struct child_lists {
    build_list front, back;
    std::vector<int32_t> front_from, back_from;

    void put(bool to_back, polygon* p, int32_t from) {
        (to_back ? back : front).push_back(p);
        (to_back ? back_from : front_from).push_back(from);
    }
    void take_head(bool from_back) {
        (from_back ? back : front).pop_back();
        (from_back ? back_from : front_from).pop_back();
    }
    void finish() {
        for (auto* v : {&front, &back}) std::reverse(v->begin(), v->end());
        for (auto* v : {&front_from, &back_from}) std::reverse(v->begin(), v->end());
    }
};

// Keeps what an aborted build still holds: nothing is lost, the node holds it unsorted.
void keep_in_node(bsp_node* node, const build_list& list) {
    for (polygon* p : list) {
        p->next = nullptr;
        bsp_node_insert_polygon(node, p);
    }
}

bool next_plane(bsp_build& b, plane& pl) {
    if (b.next_plane >= b.planes->size()) {
        report(bsp_texts::out_of_range);
        return false;
    }
    pl = (*b.planes)[b.next_plane++];
    return true;
}

void split_into(polygon* p, int32_t number, const plane& pl, child_lists& lists) {
    refresh_progress(-1);
    polygon* front_piece = nullptr;
    polygon* back_piece = nullptr;
    const int result = split_polygon(p, pl, &front_piece, &back_piece);
    if (result != 0) {
        // A polygon that cannot be cut stays whole on the side of its centre.
        polygon_calculate_bounding_box(p, 1);
        const vec3 centre{p->centre[0], p->centre[1], p->centre[2]};
        lists.put(plane_point_side(pl, centre) == 2, p, number);
        return;
    }
    free_polygon(p);
    for (auto [piece, to_back, text] : {std::tuple{front_piece, false, bsp_texts::front_piece},
                                        std::tuple{back_piece, true, bsp_texts::back_piece}}) {
        if (piece->point_count > 2) {
            lists.put(to_back, piece, -1);
        } else {
            if (bsp_report_errors()) report_error(1, plat_format(text, piece->point_count).c_str());
            free_polygon(piece);
        }
    }
}

// A node still to be divided: made when its turn comes (the root is made already), under
// `parent` at `slot`, for the polygons of `list` and their sorted orders its parent handed down.
struct pending_node {
    bsp_node* node;
    bsp_node* parent;
    bsp_node** slot;
    build_list list;
    bsp_orders_ptr orders;
    int depth;  // its level in the tree: 0 for the root
};

// Divides `node` by one plane: the polygons on it stay, the others go to the children, which are
// put on `pending` front child last, so that it is divided next.
void build_node(bsp_node* node, build_list& list, bsp_orders_ptr orders, int depth, bsp_build& b,
                std::vector<pending_node>& pending) {
    if (b.abort) {
        keep_in_node(node, list);
        return;
    }
    if (depth >= bsp_max_depth) {
        b.abort = true;
        report(bsp_texts::too_deep);
        keep_in_node(node, list);
        return;
    }
    if (list.empty()) return;
    b.max_depth = std::max(b.max_depth, depth + 1);
    plane pl{1, 0, 0, 0};
    if (b.building) {
        bsp_partition_plane(list, pl, orders);
        if (b.out) bsp_cache_append_plane(*b.out, pl);
    } else if (!next_plane(b, pl)) {
        b.abort = b.read_failed = true;
        keep_in_node(node, list);
        return;
    }
    store_plane(node, pl);
    const std::vector<uint8_t> known = bsp_orders_relations(orders.get(), pl);
    child_lists lists;
    bool placed = false;
    bool split = false;
    for (size_t at = 0; at < list.size(); ++at) {
        polygon* p = list[at];
        const auto number = static_cast<int32_t>(at);
        switch (at < known.size() && known[at] ? known[at] : get_plane_poly_relations(pl, p, bsp_tolerance)) {
            case 2: lists.put(true, p, number); break;
            case 3: lists.put(false, p, number); break;
            case 4:
                split = true;
                split_into(p, number, pl, lists);
                break;
            default:
                placed = true;
                p->next = nullptr;
                bsp_node_insert_polygon(node, p);
                set_log_window_progress(engine_g().progress_position + 1);
                if (b.building || ++b.read_refresh % 10 == 0) refresh_log_window();
                break;
        }
    }
    if (!placed && !split && (lists.front.empty() || lists.back.empty())) {
        // A plane that leaves every polygon on one side would divide the same list for ever.
        const bool to_back = lists.front.empty();
        if (!b.building) {
            lists.finish();
            b.abort = b.read_failed = true;
            keep_in_node(node, to_back ? lists.back : lists.front);
            return;
        }
        polygon* head = (to_back ? lists.back : lists.front).back();
        lists.take_head(to_back);
        head->next = nullptr;
        bsp_node_insert_polygon(node, head);
    }
    lists.finish();
    bsp_orders_ptr front_orders, back_orders;
    if (orders) bsp_orders_divide(std::move(orders), lists.front_from, lists.back_from, front_orders, back_orders);
    if (!lists.back.empty()) {
        pending.push_back({nullptr, node, &node->back, std::move(lists.back), std::move(back_orders), depth + 1});
    }
    if (!lists.front.empty()) {
        pending.push_back({nullptr, node, &node->front, std::move(lists.front), std::move(front_orders), depth + 1});
    }
}

// Builds the subtree of `root` from `list`, node by node in pre-order, front subtree first: a
// tree as deep as the limit allows takes no deeper a call stack than a shallow one.
void build_bsp_tree(bsp_node* root, build_list list, bsp_build& b) {
    std::vector<pending_node> pending;
    pending.push_back({root, nullptr, nullptr, std::move(list), nullptr, 0});
    while (!pending.empty()) {
        pending_node next = std::move(pending.back());
        pending.pop_back();
        bsp_node* node = next.node;
        if (!node) {
            node = *next.slot = init_bsp_node();
            if (!node) {
                keep_in_node(next.parent, next.list);
                continue;
            }
            node->parent = next.parent;
        }
        build_node(node, next.list, std::move(next.orders), next.depth, b, pending);
    }
}

bool module_gets_tree(const module* m, const module* main_module) {
    return m == main_module ? engine_state.bsp_for_main != 0 : engine_state.bsp_for_others != 0;
}

void prepare_polygons(polygon* list) {
    for (polygon* p = list; p; p = p->next) {
        polygon_calculate_plane(p);
        polygon_make_coplanner(p, 0);
    }
}

polygon* duplicate_list(const polygon* list) {
    polygon* copy = nullptr;
    polygon** tail = &copy;
    for (const polygon* p = list; p; p = p->next) {
        polygon* d = duplicate_polygon(p);
        if (!d) continue;
        *tail = d;
        tail = &d->next;
    }
    return copy;
}

// Undoes a module's tree: its objects back to the root, its polygons replaced by the copy.
void unbuild_module(module* m, polygon* original) {
    bsp_node* root = m->root;
    object* objects = bsp_tree_collect_objects(root);
    bsp_tree_destroy(root->front);
    bsp_tree_destroy(root->back);
    root->front = root->back = nullptr;
    polygon_list_free(&root->polygons);
    root->polygons = original;
    root->objects = objects;
    root->plane[0] = root->plane[1] = 0;
    root->plane[2] = 1;
    root->plane[3] = 3.4028234663852886e38;
}

void finish_module(module* m, bool aborted) {
    bsp_node* root = m->root;
    if (aborted) {
        report(bsp_texts::modules_failed);
        return;
    }
    bsp_tree_update_polygons(root);
    object* objects = root->objects;
    root->objects = nullptr;
    while (objects) {
        object* o = objects;
        objects = o->next;
        o->next = nullptr;
        insert_object_to_bsp_tree(root, o);
    }
    bsp_compute_bounding_boxes(root);
    set_bsp_nodes_visibility(root);
}

// One pass over the modules; false when a cache being read proved unusable (nothing built then).
bool build_pass(module* modules, module* main_module, bsp_build& b) {
    const scratch_scope working_arrays;
    std::vector<std::pair<module*, polygon*>> originals;
    for (module* m = modules; m; m = m->next) {
        if (!m->root) continue;
        set_log_window_target(m->polygon_count);
        set_log_window_progress(0);
        polygon* list = m->root->polygons;
        m->root->polygons = nullptr;
        if (!module_gets_tree(m, main_module)) {
            m->root->polygons = list;
            finish_module(m, b.abort);
            continue;
        }
        prepare_polygons(list);
        // Reading, the untouched polygons are kept until the cache has proved good.
        if (!b.building) originals.emplace_back(m, duplicate_list(list));
        build_bsp_tree(m->root, list_of(list), b);
        if (b.read_failed) {
            for (auto& [done, original] : originals) unbuild_module(done, original);
            return false;
        }
        finish_module(m, b.abort);
    }
    for (auto& entry : originals) polygon_list_free(&entry.second);
    return true;
}

}  // namespace

int& bsp_report_errors() {
    static int flag = 1;
    return flag;
}

void bsp_node_insert_polygon(bsp_node* node, polygon* p) {
    if (!node || !p) return;
    for (polygon* q = node->polygons; q; q = q->next) {
        if (q->texture == p->texture) {
            p->next = q->next;
            q->next = p;
            return;
        }
    }
    p->next = node->polygons;
    node->polygons = p;
}

void build_modules_bsp_trees(module* modules, module* main_module) {
    std::vector<const module*> tree_modules;
    for (const module* m = modules; m; m = m->next) {
        if (m->root && module_gets_tree(m, main_module)) tree_modules.push_back(m);
    }
    const char* world_file = engine_state.world_file_name;
    const std::string path = world_file ? bsp_cache_path(world_file) : std::string();
    const bsp_cache_header header = bsp_cache_compute_header(tree_modules);
    std::vector<plane> planes;
    bsp_build b;
    if (world_file && bsp_cache_read(path, header, planes)) {
        b.building = false;
        b.planes = &planes;
        if (build_pass(modules, main_module, b)) {
            last_depth = b.max_depth;
            return;
        }
    }
    // Build afresh, writing the cache beside the world once every tree is complete.
    std::vector<uint8_t> data;
    bsp_cache_append_header(data, header);
    b = bsp_build{};
    b.out = world_file ? &data : nullptr;
    build_pass(modules, main_module, b);
    last_depth = b.max_depth;
    if (world_file && !b.abort) bsp_cache_write(path, data);
}

void build_module_bsp_tree(module* m, bool build) {
    if (!m || !m->root) return;
    bsp_build b;
    if (build) {
        const scratch_scope working_arrays;
        polygon* list = m->root->polygons;
        m->root->polygons = nullptr;
        set_log_window_target(polygon_list_count(list));
        set_log_window_progress(0);
        prepare_polygons(list);
        build_bsp_tree(m->root, list_of(list), b);
        last_depth = b.max_depth;
    }
    finish_module(m, b.abort);
}

void insert_object_to_bsp_tree(bsp_node* root, object* o) {
    if (!root || !o) return;
    const vec3 at{o->matrix.m[3][0], o->matrix.m[3][1], o->matrix.m[3][2]};
    bsp_node* node = root;
    for (;;) {
        if (node->objects) {
            report(bsp_texts::object_list);
            break;
        }
        const int side = plane_point_side(stored_plane(node), at);
        if (side == 1) break;
        bsp_node*& child = side == 3 ? node->front : node->back;
        if (!child) {
            child = init_bsp_node();
            if (!child) break;
            child->parent = node;
            node = child;
            break;
        }
        node = child;
    }
    object_list_push(&node->objects, o);
}

namespace {

double node_visibility(bsp_node* node, int depth) {
    if (!node || depth > 1000) return 0;
    double best = 0;
    if (node->back) best = std::fmax(best, node_visibility(node->back, depth));
    for (const polygon* p = node->polygons; p; p = p->next) best = std::fmax(best, p->fade_distance);
    if (node->front) best = std::fmax(best, node_visibility(node->front, depth));
    for (object* o = node->objects; o; o = o->next) {
        if (o->placed && o->placed->root) best = std::fmax(best, node_visibility(o->placed->root, depth + 1));
    }
    if (best < 0 || std::isnan(best) || best > 1e150) {
        report(bsp_texts::visibility);
        engine_log_printf("max=%lf\n", best);
        best = 1e50;
    }
    node->visibility_distance = best;
    return best;
}

int count_all(const bsp_node* node, bool polygons, int depth) {
    if (!node || depth > 1000) return 0;
    int n = polygons ? polygon_list_count(node->polygons) : 1;
    for (const object* o = node->objects; o; o = o->next) {
        if (o->placed) n += count_all(o->placed->root, polygons, depth + 1);
    }
    return n + count_all(node->front, polygons, depth) + count_all(node->back, polygons, depth);
}

}  // namespace

void set_bsp_nodes_visibility(bsp_node* root) { node_visibility(root, 0); }

void bsp_tree_set_bitmap(bsp_node* node, bitmap_texture* bitmap) {
    for_each_node(node, [bitmap](bsp_node* n) {
        for (polygon* p = n->polygons; p; p = p->next) p->texture = bitmap;
    });
}

int bsp_tree_number_nodes(bsp_node* node, int first) {
    if (!node) return first;
    node->number = first++;
    first = bsp_tree_number_nodes(node->back, first);
    return bsp_tree_number_nodes(node->front, first);
}

int bsp_tree_count_all_polygons(const bsp_node* node) { return count_all(node, true, 0); }
int bsp_tree_count_all_nodes(const bsp_node* node) { return count_all(node, false, 0); }

object* bsp_tree_collect_objects(bsp_node* node) {
    object* all = nullptr;
    for_each_node(node, [&all](bsp_node* n) {
        while (n->objects) {
            object* o = n->objects;
            n->objects = o->next;
            o->next = all;
            all = o;
        }
    });
    return all;
}

polygon* bsp_tree_find_polygon(bsp_node* node, const char* name) {
    polygon* found = nullptr;
    for_each_node(node, [&found, name](bsp_node* n) {
        for (polygon* p = n->polygons; p && !found; p = p->next) {
            if (!name || (p->name && jstrcmp(p->name, name) == 0)) found = p;
        }
    });
    return found;
}

int bsp_tree_contains_polygon(const bsp_node* node, const polygon* p) {
    if (!node) return 0;
    for (const polygon* q = node->polygons; q; q = q->next) {
        if (q == p) return 1;
    }
    return bsp_tree_contains_polygon(node->front, p) || bsp_tree_contains_polygon(node->back, p);
}

void bsp_tree_get_all_polygons(bsp_node* node, std::vector<polygon*>& out) {
    for_each_node(node, [&out](bsp_node* n) {
        for (polygon* p = n->polygons; p; p = p->next) out.push_back(p);
    });
}

void bsp_tree_update_polygons(bsp_node* node) {
    for_each_node(node, [](bsp_node* n) {
        for (polygon* p = n->polygons; p; p = p->next) polygon_recalculate(p);
    });
}

int bsp_last_build_depth() { return last_depth; }
