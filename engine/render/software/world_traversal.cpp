// World traversal: the frame's BSP walks front to back (software, card z-buffer pass) or back to
// front, dynamic objects and attached modules under their placement matrices, the time budget,
// and the card's translucent passes.
#include "render/software/world_traversal.h"

#include <algorithm>

#include "foundation/errors.h"
#include "platform/clock.h"
#include "render/render_backend.h"
#include "render/render_hooks.h"
#include "render/software/draw_buffer.h"
#include "render/software/draw_polygon.h"
#include "render/software/frame_buffers.h"
#include "render/software/raster_bands.h"
#include "render/software/raster_iface.h"
#include "world/camera.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"

namespace {

constexpr int nodes_between_clock_reads = 20;

vec3 eye_of(const camera* c) { return {c->location[0], c->location[1], c->location[2]}; }

bool camera_in_front(const bsp_node* node) {
    const traversal_state& t = traversal();
    plane pl{node->plane[0], node->plane[1], node->plane[2], node->plane[3]};
    if (t.depth > 0) transform_plane(pl, pl, t.matrix);
    return plane_value(pl, eye_of(t.cam)) >= 0;
}

// Budget check every 20th node; the translucent second pass is never cut short.
bool budget_spent() {
    traversal_state& t = traversal();
    if (t.pass == pass_translucent) return false;
    if (t.budget_exceeded) return true;
    if (++t.node_counter % nodes_between_clock_reads == 0) {
        const uint32_t elapsed = plat_tick_ms() - t.start_tick;
        if (static_cast<int64_t>(elapsed) > engine_state.maximum_render_time) t.budget_exceeded = 1;
    }
    return t.budget_exceeded != 0;
}

void walk(bsp_node* root) {
    if (traversal().back_to_front) {
        draw_bsp_node_back_to_front(root);
    } else {
        draw_bsp_node(root);
    }
}

// Runs `draw` with the placement multiplied in front of the current matrix, then restores it.
template <class F>
void with_placement(const mat4& placement, F&& draw) {
    traversal_state& t = traversal();
    const mat4 saved = t.matrix;
    matrix_multiply(t.matrix, placement, saved);
    ++t.depth;
    draw();
    --t.depth;
    t.matrix = saved;
}

void draw_object(dynamic_object* d) {
    if (!d->own_module || !d->own_module->root) return;
    traversal_state& t = traversal();
    dynamic_object* saved = t.object;
    t.object = d;
    with_placement(d->total_matrix, [&] {
        if (render_hooks_state().light_object) render_hooks_state().light_object(d, t.cam);
        walk(d->own_module->root);
    });
    t.object = saved;
}

bool objects_skipped() {
    const traversal_state& t = traversal();
    return engine_state.zbuffer_state == 1 && (t.software_walk || t.back_to_front);
}

void start_walk(camera* c, int back_to_front, int pass) {
    traversal_state& t = traversal();
    t.cam = c;
    t.object = nullptr;
    t.depth = 0;
    matrix_identity(t.matrix);
    t.back_to_front = back_to_front;
    t.pass = pass;
    t.start_tick = plat_tick_ms();
    t.node_counter = 0;
    t.budget_exceeded = 0;
}

double first_point_distance(const polygon* p, const camera* c) {
    if (!p->points) return 0;
    return vec_square_distance({p->points->x, p->points->y, p->points->z}, eye_of(c));
}

void draw_translucent(const translucent_polygon& item, camera* c) {
    traversal_state& t = traversal();
    t.object = item.object;
    t.depth = item.object ? 1 : 0;
    if (item.object) {
        t.matrix = item.object->total_matrix;
    } else {
        matrix_identity(t.matrix);
    }
    draw_polygon_timed(item.p, c);
}

// Editor mode: farthest first by the distance to the first point; past the store's capacity
// the world root's blended polygons are sorted instead.
void draw_translucent_sorted(module* root, camera* c) {
    traversal_state& t = traversal();
    std::vector<translucent_polygon> order;
    if (t.translucent_seen > translucent_capacity) {
        for (polygon* p = root->root->polygons; p; p = p->next) {
            if (p->blending_on) order.push_back({p, nullptr});
        }
    } else {
        order = t.translucent;
    }
    std::stable_sort(order.begin(), order.end(), [c](const translucent_polygon& a, const translucent_polygon& b) {
        return first_point_distance(a.p, c) > first_point_distance(b.p, c);
    });
    for (const translucent_polygon& item : order) draw_translucent(item, c);
}

void run_events() {
    if (render_hooks_state().run_dynamic_events) render_hooks_state().run_dynamic_events();
}

// Sizes and clears the coverage mask and the z-buffer, and points the rasteriser at them.
bool prepare_frame_buffers(draw_buffer* buffer, camera* c) {
    draw_buffer& mask = coverage_mask_buffer();
    draw_buffer& zbuffer = zbuffer_buffer();
    if (mask.bytes_per_cell != 1 || zbuffer.bytes_per_cell != 4) init_frame_buffers();
    const int64_t buffer_bytes = static_cast<int64_t>(get_buffer_width(buffer)) * get_buffer_length(buffer) * 2;
    const int64_t mask_bytes = ((buffer_bytes + 15) / 16 + 31) / 32 * 32;
    if (set_buffer_dimentions(&mask, static_cast<int>(mask_bytes), 1) != 0 || !mask.cells) {
        report_error(1, traversal_texts::no_mask);
        return false;
    }
    clear_draw_buffer_buffer(&mask, 0);
    raster_frame& frame = raster_frame_state();
    frame.coverage = static_cast<uint32_t*>(mask.cells);
    frame.zbuffer = nullptr;
    frame.zbuffer_cells = 0;
    if (engine_state.zbuffer_state == 0) return true;
    if (set_buffer_dimentions(&zbuffer, c->width, c->height) != 0) report_error(1, traversal_texts::zbuffer_size);
    if (!zbuffer.cells || get_picture_width(&zbuffer) < c->width || get_picture_length(&zbuffer) < c->height) {
        report_error(1, traversal_texts::zbuffer_small);
        return false;
    }
    clear_draw_buffer_buffer(&zbuffer, 0);
    frame.zbuffer = static_cast<uint32_t*>(zbuffer.cells);
    frame.zbuffer_cells = static_cast<int64_t>(c->width) * c->height;
    return true;
}

}  // namespace

traversal_state& traversal() {
    static traversal_state state{};
    return state;
}

int draw_world(draw_buffer* buffer, module* root, camera* c, dynamic_object* objects) {
    return render_backend_current().world(buffer, root, c, objects);
}

int draw_world_software(draw_buffer* buffer, module* root, camera* c, dynamic_object* objects) {
    traversal_state& t = traversal();
    t.pass = pass_everything;
    t.object = nullptr;
    if (!buffer || !buffer->cells || !c) {
        report_error(1, traversal_texts::no_buffer);
        return -1;
    }
    if (get_picture_top_left_x(buffer) + c->width > get_buffer_width(buffer) ||
        get_picture_top_left_y(buffer) + c->height > get_buffer_length(buffer)) {
        report_error(1, traversal_texts::does_not_fit);
        return -1;
    }
    if (!prepare_frame_buffers(buffer, c)) return -1;
    if (!c->matrices_valid) camera_mark_rebuilt(c);
    c->buffer_pitch = get_buffer_width(buffer);
    c->frame_destination = get_picture_first_cell(buffer);
    start_walk(c, 0, pass_everything);
    t.software_walk = 1;
    raster_bands_begin(c);
    if (root && root->root) draw_bsp_node(root->root);
    draw_world_dynamic_objects(objects);
    raster_bands_end();
    t.software_walk = 0;
    run_events();
    return 0;
}

int draw_world_card3d(module* root, camera* c, dynamic_object* /*objects*/) {
    traversal_state& t = traversal();
    if (!c) return -1;
    if (!c->matrices_valid) camera_mark_rebuilt(c);
    t.translucent.clear();
    t.translucent_seen = 0;
    bsp_node* tree = root ? root->root : nullptr;
    if (engine_state.zbuffer_state != 0) {
        start_walk(c, 0, pass_collect);
        draw_bsp_node(tree);
        if (t.translucent_seen > 0) {
            t.pass = pass_translucent;
            if (engine_state.editor_mode && tree) {
                draw_translucent_sorted(root, c);
            } else if (t.translucent_seen >= translucent_capacity) {
                start_walk(c, 1, pass_translucent);
                draw_bsp_node_back_to_front(tree);
            } else {
                for (auto it = t.translucent.rbegin(); it != t.translucent.rend(); ++it) draw_translucent(*it, c);
            }
        }
    } else {
        start_walk(c, 1, pass_everything);
        draw_bsp_node_back_to_front(tree);
    }
    t.pass = pass_everything;
    t.object = nullptr;
    t.depth = 0;
    matrix_identity(t.matrix);
    run_events();
    return 0;
}

void draw_bsp_node(bsp_node* node) {
    if (!node || budget_spent()) return;
    node->visible = static_cast<uint8_t>(is_bsp_node_visible(node));
    if (!node->visible) return;
    if (camera_in_front(node)) {
        draw_bsp_node(node->front);
        draw_dynamic_object_list(node->dynamic_objects, &dynamic_object::next_in_node);
        draw_attached_modules(node->objects);
        draw_node_polygons(node->polygons);
        draw_dynamic_object_list(node->dynamic_objects_behind, &dynamic_object::next_in_node);
        draw_bsp_node(node->back);
    } else {
        draw_bsp_node(node->back);
        draw_dynamic_object_list(node->dynamic_objects_behind, &dynamic_object::next_in_node);
        draw_attached_modules(node->objects);
        draw_node_polygons(node->polygons);
        draw_dynamic_object_list(node->dynamic_objects, &dynamic_object::next_in_node);
        draw_bsp_node(node->front);
    }
}

void draw_bsp_node_back_to_front(bsp_node* node) {
    if (!node) return;
    node->visible = static_cast<uint8_t>(is_bsp_node_visible(node));
    if (!node->visible) return;
    if (camera_in_front(node)) {
        draw_bsp_node_back_to_front(node->back);
        draw_dynamic_object_list(node->dynamic_objects_behind, &dynamic_object::next_in_node);
        draw_node_polygons(node->polygons);
        draw_attached_modules(node->objects);
        draw_dynamic_object_list(node->dynamic_objects, &dynamic_object::next_in_node);
        draw_bsp_node_back_to_front(node->front);
    } else {
        draw_bsp_node_back_to_front(node->front);
        draw_dynamic_object_list(node->dynamic_objects, &dynamic_object::next_in_node);
        draw_node_polygons(node->polygons);
        draw_attached_modules(node->objects);
        draw_dynamic_object_list(node->dynamic_objects_behind, &dynamic_object::next_in_node);
        draw_bsp_node_back_to_front(node->back);
    }
}

int is_bsp_node_visible(bsp_node* node) {
    const traversal_state& t = traversal();
    if (t.pass == pass_translucent) return node->visible;
    if (node->box[0] > node->box[3]) return 1;
    vec3 corners[8];
    for (int i = 0; i < 8; ++i) {
        corners[i] = {node->box[(i & 1) ? 3 : 0], node->box[(i & 2) ? 4 : 1], node->box[(i & 4) ? 5 : 2]};
        if (t.depth > 0) mul_vec_mat3(corners[i], corners[i], t.matrix);
    }
    auto all_behind = [&](const plane& pl, bool on_counts) {
        for (const vec3& corner : corners) {
            const double v = plane_value(pl, corner);
            if (on_counts ? v > 0 : v >= 0) return false;
        }
        return true;
    };
    for (const plane& side : t.cam->frustum_world) {
        if (all_behind(side, true)) return 0;
    }
    const vec3 back{t.cam->matrix.m[0][0], t.cam->matrix.m[0][1], t.cam->matrix.m[0][2]};
    const plane far_plane{back.x, back.y, back.z, node->visibility_distance - vec_dot(back, eye_of(t.cam))};
    return all_behind(far_plane, false) ? 0 : 1;
}

void draw_node_polygons(polygon* list) {
    camera* c = traversal().cam;
    for (polygon* p = list; p; p = p->next) draw_polygon_timed(p, c);
}

void draw_attached_modules(object* list) {
    for (object* o = list; o; o = o->next) {
        if (!o->placed || !o->placed->root) continue;
        with_placement(o->matrix, [&] { walk(o->placed->root); });
    }
}

void draw_dynamic_object_list(dynamic_object* list, dynamic_object* dynamic_object::*link) {
    if (!list || objects_skipped()) return;
    if (!(list->*link)) {
        if (!list->disabled) draw_object(list);
        return;
    }
    // Nearest first; of equally near objects the earlier one in the list.
    const vec3 eye = eye_of(traversal().cam);
    std::vector<std::pair<double, dynamic_object*>> shown;
    for (dynamic_object* d = list; d; d = d->*link) {
        if (!d->disabled) shown.push_back({vec_square_distance(dynamic_get_location(d), eye), d});
    }
    std::stable_sort(shown.begin(), shown.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& item : shown) draw_object(item.second);
}

void draw_world_dynamic_objects(dynamic_object* list) {
    if (engine_state.zbuffer_state == 0 || !list) return;
    traversal_state& t = traversal();
    const int saved = engine_state.zbuffer_state;
    engine_state.zbuffer_state = 2;
    t.depth = 0;
    matrix_identity(t.matrix);
    draw_dynamic_object_list(list, &dynamic_object::next);
    engine_state.zbuffer_state = saved;
}
