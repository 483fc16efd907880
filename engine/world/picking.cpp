// Screen picking: the point of a window turned into the polygon and the world point under it.
#include "world/picking.h"

#include "world/camera.h"
#include "world/collision.h"
#include "world/engine_state.h"

namespace {

constexpr double ray_length = 1e10;
constexpr double miss_scale = 1000000;

int round_half_up(double v) { return static_cast<int>(v + 0.5); }

}  // namespace

int engine_2D_point_to_3D_point_on_plane(const camera* c, int x, int y, vec3& out, int window_width,
                                         int window_height) {
    out = {0, 0, 0};
    if (!c || window_width == 0 || window_height == 0) return -1;
    const bool parallel = !c->perspective;
    if (parallel && (c->parallel_scale_x == 0 || c->parallel_scale_y == 0)) return -1;
    const double px = round_half_up(static_cast<double>(c->width) * x / window_width) - c->middle_x;
    const double py = c->middle_y - round_half_up(static_cast<double>(c->height) * y / window_height);
    out = parallel ? vec3{c->focal_length, px / c->parallel_scale_x, py / c->parallel_scale_y}
                   : vec3{c->focal_length, px, py};
    return 0;
}

int engine_2D_point_to_3D(int x, int y, vec3& out, polygon** out_polygon, dynamic_object** out_object,
                          int window_width, int window_height) {
    if (out_polygon) *out_polygon = nullptr;
    if (out_object) *out_object = nullptr;
    camera* c = get_current_camera();
    vec3 on_plane;
    if (engine_2D_point_to_3D_point_on_plane(c, x, y, on_plane, window_width, window_height) != 0) {
        out = on_plane;
        return -1;
    }
    vec3 from{0, 0, 0}, to;
    if (c->perspective) {
        vec_scale(to, ray_length, on_plane);
    } else {
        from = on_plane;
        to = {-ray_length, on_plane.y, on_plane.z};
    }
    collision_hit hit;
    if (is_movement_possible_camera_space(nullptr, from, to, hit) != 0) {
        vec_scale(out, miss_scale, on_plane);
        return -1;
    }
    out = hit.point;
    if (out_polygon) *out_polygon = hit.polygon_hit;
    if (out_object) *out_object = hit.object;
    return 0;
}

polygon* engine_mark_polygon_at_point(int x, int y, int window_width, int window_height) {
    vec3 at;
    polygon* p = nullptr;
    return engine_2D_point_to_3D(x, y, at, &p, nullptr, window_width, window_height) == 0 ? p : nullptr;
}
