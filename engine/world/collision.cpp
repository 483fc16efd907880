// The collision test: whether a straight move is free, and if not where, by which polygon and object.
#include "world/collision.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "foundation/errors.h"
#include "world/bsp_tree.h"
#include "world/camera.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/polygon.h"
#include "world/polygon_geometry.h"

namespace {

void report(const char* text) {
    if (collision_report_errors()) report_error(1, text);
}

// The state of one test: the segment, its extent, the viewpoint and the nearest hit so far.
struct collision_context {
    vec3 start, end;
    double extent[6];
    vec3 viewpoint;
    polygon* hit = nullptr;
    vec3 point{0, 0, 0};
    double nearest = 0;
};

double coordinate(const vec3& v, int i) { return i == 0 ? v.x : i == 1 ? v.y : v.z; }

void set_segment(collision_context& c, const vec3& start, const vec3& end) {
    c.start = start;
    c.end = end;
    for (int i = 0; i < 3; ++i) {
        c.extent[i] = std::min(coordinate(start, i), coordinate(end, i));
        c.extent[i + 3] = std::max(coordinate(start, i), coordinate(end, i));
    }
}

bool box_is_valid(const double box[6]) { return box[0] <= box[3] && box[1] <= box[4] && box[2] <= box[5]; }

bool extent_overlaps(const double extent[6], const double box[6]) {
    for (int i = 0; i < 3; ++i) {
        if (extent[i + 3] < box[i] || extent[i] > box[i + 3]) return false;
    }
    return true;
}

plane node_plane(const bsp_node* n) { return {n->plane[0], n->plane[1], n->plane[2], n->plane[3]}; }

bool can_block(const polygon* p) {
    return !p->disabled && p->collisional && group_is_included(p->owner_group, engine_state.group_to_render);
}

void keep_if_nearer(collision_context& c, polygon* p, const vec3& at) {
    const double d = vec_square_distance(c.start, at);
    if (!c.hit || d < c.nearest) {
        c.hit = p;
        c.point = at;
        c.nearest = d;
    }
}

// In a tree walk a ROTATED polygon, which always faces the viewer, is crossed by its box.
bool cross_polygon(const collision_context& c, const polygon* p, vec3& at) {
    if (p->rotated) return segment_box_intersection(c.start, c.end, p->box, at) == 1;
    return does_segment_intersect_polygon(c.start, c.end, p, at) == 1;
}

void test_node_polygons(collision_context& c, bsp_node* node) {
    for (polygon* p = node->polygons; p; p = p->next) {
        if (!can_block(p) || !extent_overlaps(c.extent, p->box)) continue;
        vec3 at;
        if (cross_polygon(c, p, at)) keep_if_nearer(c, p, at);
    }
}

// A node's polygons lie up to the build tolerance off its plane, so the nearest hit of the whole
// subtree is kept rather than the first one met.
void walk_subtree(collision_context& c, bsp_node* node, int depth) {
    if (!node || depth > bsp_max_depth) return;
    if (node->worth == 1 && !extent_overlaps(c.extent, node->box)) return;
    const bool behind = plane_value(node_plane(node), c.start) < 0;
    walk_subtree(c, behind ? node->back : node->front, depth + 1);
    test_node_polygons(c, node);
    walk_subtree(c, behind ? node->front : node->back, depth + 1);
}

// Descends while the whole segment lies beyond the tolerance on one side of the node's plane.
bsp_node* separating_node(bsp_node* node, const vec3& start, const vec3& end) {
    for (int depth = 0; node && depth <= bsp_max_depth; ++depth) {
        const double a = plane_value(node_plane(node), start);
        const double b = plane_value(node_plane(node), end);
        if (a > bsp_tolerance && b > bsp_tolerance) {
            node = node->front;
        } else if (a < -bsp_tolerance && b < -bsp_tolerance) {
            node = node->back;
        } else {
            return node;
        }
    }
    return nullptr;
}

// A module whose root has children was built into a tree; otherwise the root holds the flat list.
bool has_tree(const bsp_node* root) { return root->front || root->back; }

bool uses_editor_test(const bsp_node* root, bool main_tree) {
    return engine_state.editor_mode || (!main_tree && !engine_state.bsp_for_others && !has_tree(root));
}

// A ROTATED polygon as it is drawn: turned about the vertical through its centre until its
// horizontal normal points at the viewpoint, then crossed as a polygon of the turned points.
bool cross_turned_polygon(const collision_context& c, const polygon* p, vec3& at) {
    constexpr double tiny = 1e-9;
    const double cx = p->centre[0], cy = p->centre[1];
    const double tx = c.viewpoint.x - cx, ty = c.viewpoint.y - cy;
    const double to_eye = std::hypot(tx, ty), facing = std::hypot(p->plane[0], p->plane[1]);
    if (to_eye < tiny || facing < tiny) return does_segment_intersect_polygon(c.start, c.end, p, at) == 1;
    const double nx = p->plane[0] / facing, ny = p->plane[1] / facing;
    const double ex = tx / to_eye, ey = ty / to_eye;
    const double cosine = nx * ex + ny * ey, sine = nx * ey - ny * ex;
    std::vector<point> turned;
    for (const point* q = p->points; q; q = q->next) {
        point t = *q;
        const double dx = q->x - cx, dy = q->y - cy;
        t.x = cx + dx * cosine - dy * sine;
        t.y = cy + dx * sine + dy * cosine;
        turned.push_back(t);
    }
    for (size_t i = 0; i < turned.size(); ++i) turned[i].next = i + 1 < turned.size() ? &turned[i + 1] : nullptr;
    polygon facing_polygon = *p;
    facing_polygon.points = turned.empty() ? nullptr : turned.data();
    facing_polygon.plane[0] = ex * facing;
    facing_polygon.plane[1] = ey * facing;
    facing_polygon.plane[3] = -(facing_polygon.plane[0] * cx + facing_polygon.plane[1] * cy + p->plane[2] * p->centre[2]);
    return does_segment_intersect_polygon(c.start, c.end, &facing_polygon, at) == 1;
}

void test_node_for_editor(collision_context& c, const bsp_node* node) {
    for (polygon* p = node->polygons; p; p = p->next) {
        if (!can_block(p)) continue;
        vec3 at;
        if (p->rotated) {
            if (cross_turned_polygon(c, p, at)) keep_if_nearer(c, p, at);
            continue;
        }
        if (plane_value(polygon_plane(p), c.viewpoint) <= 0.00001) continue;
        if (does_segment_intersect_polygon(c.start, c.end, p, at) == 1) keep_if_nearer(c, p, at);
    }
}

// Every polygon of the tree, the flat list being a tree of one node.
void test_tree_for_editor(collision_context& c, const bsp_node* node, int depth) {
    if (!node || depth > bsp_max_depth) return;
    test_node_for_editor(c, node);
    test_tree_for_editor(c, node->front, depth + 1);
    test_tree_for_editor(c, node->back, depth + 1);
}

int editor_test(bsp_node* root, const vec3& start, const vec3& end, const vec3& viewpoint, polygon** out_polygon,
                vec3& out_point) {
    if (!get_current_camera()) return 1;
    collision_context c;
    set_segment(c, start, end);
    c.viewpoint = viewpoint;
    test_tree_for_editor(c, root, 0);
    if (!c.hit) return 1;
    if (out_polygon) *out_polygon = c.hit;
    out_point = c.point;
    return 0;
}

vec3 camera_location() {
    const camera* cam = get_current_camera();
    return cam ? vec3{cam->location[0], cam->location[1], cam->location[2]} : vec3{0, 0, 0};
}

int tree_test(bsp_node* root, bool main_tree, const vec3& start, const vec3& end, const vec3& viewpoint,
              polygon** out_polygon, vec3& out_point) {
    if (uses_editor_test(root, main_tree)) return editor_test(root, start, end, viewpoint, out_polygon, out_point);
    bsp_node* node = separating_node(root, start, end);
    if (!node) return 1;
    collision_context c;
    set_segment(c, start, end);
    walk_subtree(c, node, 0);
    if (!c.hit) return 1;
    if (out_polygon) *out_polygon = c.hit;
    out_point = c.point;
    return 0;
}

// The object's module tree in its own space; true (with the world-space hit) when it blocks.
bool object_blocks(dynamic_object* d, const vec3& start, const vec3& end, polygon** hit, vec3& at) {
    const bsp_node* root = d->own_module ? d->own_module->root : nullptr;
    if (!root || !box_is_valid(root->box)) return false;
    mat4 inverse;
    if (matrix_inverse(inverse, d->total_matrix) != 0) {
        report("is_movement_possible: failed inverting mat\n");
        return false;
    }
    vec3 from, to, viewpoint;
    mul_vec_mat3(from, start, inverse);
    mul_vec_mat3(to, end, inverse);
    collision_context c;
    set_segment(c, from, to);
    if (!extent_overlaps(c.extent, root->box)) return false;
    mul_vec_mat3(viewpoint, camera_location(), inverse);
    vec3 local;
    if (tree_test(d->own_module->root, false, from, to, viewpoint, hit, local) != 0) return false;
    mul_vec_mat3(at, local, d->total_matrix);
    return true;
}

}  // namespace

int& collision_report_errors() {
    static int flag = 1;
    return flag;
}

int is_movement_possible_in_bsp(bsp_node* root, bool main_tree, const vec3& start, const vec3& end,
                                polygon** out_polygon, vec3& out_point) {
    if (!root) {
        report("is_movement_possible: bsp_root==NULL\n");
        return -1;
    }
    return tree_test(root, main_tree, start, end, camera_location(), out_polygon, out_point);
}

int is_movement_possible_editor_mode(bsp_node* root, const vec3& start, const vec3& end, polygon** out_polygon,
                                     vec3& out_point) {
    if (!root) {
        report("is_movement_possible_editor_mode: bsp_root==NULL\n");
        return -1;
    }
    return editor_test(root, start, end, camera_location(), out_polygon, out_point);
}

int is_movement_possible(const dynamic_object* moving, const vec3& start, const vec3& end, collision_hit& hit) {
    hit = collision_hit{};
    double nearest = 1e150;
    int result = 1;
    const module* main_module = engine_state.main_module;
    if (main_module && main_module->root) {
        polygon* p = nullptr;
        vec3 at;
        if (tree_test(main_module->root, true, start, end, camera_location(), &p, at) == 0) {
            result = 0;
            nearest = vec_square_distance(start, at);
            hit = {p, at, nullptr};
        }
    }
    for (dynamic_object* d = engine_state.dynamic_objects; d; d = d->next) {
        if (d->disabled || !d->collisional || d == moving) continue;
        polygon* p = nullptr;
        vec3 at;
        if (!object_blocks(d, start, end, &p, at)) continue;
        result = 0;
        const double distance = vec_square_distance(start, at);
        if (distance < nearest) {
            nearest = distance;
            hit = {p, at, d};
        }
    }
    return result;
}

int is_movement_possible_camera_space(const dynamic_object* moving, const vec3& start, const vec3& end,
                                      collision_hit& hit) {
    const camera* cam = get_current_camera();
    if (!cam) return is_movement_possible(moving, start, end, hit);
    return is_movement_possible(moving, camera_get_movement_target(cam, start, camera_space),
                                camera_get_movement_target(cam, end, camera_space), hit);
}

int calculate_combined_normal(vec3& out, const vec3& from, const vec3& to) {
    constexpr int most = 1000;
    out = {0, 0, 0};
    std::vector<std::pair<polygon*, uint8_t>> disabled;
    vec3 sum{0, 0, 0};
    collision_hit hit;
    while (static_cast<int>(disabled.size()) < most && is_movement_possible(nullptr, from, to, hit) == 0) {
        vec3 normal{hit.polygon_hit->plane[0], hit.polygon_hit->plane[1], hit.polygon_hit->plane[2]};
        if (hit.object) {
            vec3 turned;
            vec_mul_rotation(turned, normal, hit.object->total_matrix);
            normal = turned;
            vec_normalize(normal);
        }
        vec_add(sum, normal);
        disabled.emplace_back(hit.polygon_hit, hit.polygon_hit->disabled);
        hit.polygon_hit->disabled = 1;
    }
    if (static_cast<int>(disabled.size()) >= most)
        report("calculate_combined_normal: the given point is included in to many polygons !!!\n");
    for (auto it = disabled.rbegin(); it != disabled.rend(); ++it) it->first->disabled = it->second;
    if (vec_normalize(sum) == 0) out = sum;
    return static_cast<int>(disabled.size());
}
