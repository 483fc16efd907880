// Screen picking: the point of a window turned into the polygon and the world point under it.
#include "world/picking.h"

#include "render/camera.h"
#include "world/engine_state.h"
#include "world/polygon.h"
#include "world/polygon_geometry.h"
#include "world/world_order.h"

namespace {

constexpr double ray_length = 1e10;
constexpr double miss_scale = 1000000;

int round_half_up(double v) { return static_cast<int>(v + 0.5); }

// The placement of a dynamic object's polygons in the world: its matrix, then its fathers'.
mat4 owner_to_world(const dynamic_object* d) {
    mat4 m = d->total_matrix;
    int depth = 0;
    for (const dynamic_object* f = d->father; f && depth < 1000; f = f->father, ++depth) {
        mat4 up;
        matrix_multiply(up, m, f->total_matrix);
        m = up;
    }
    return m;
}

struct hit_result {
    polygon* polygon_hit = nullptr;
    vec3 point{0, 0, 0};
    double distance = 0;
};

// The nearest polygon of the world order met by the segment a-b (world space).
hit_result first_hit(const vec3& a, const vec3& b) {
    hit_result best;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (p->disabled || !p->collisional) continue;
        vec3 from = a, to = b;
        mat4 place;
        if (p->owner) {
            place = owner_to_world(p->owner);
            mat4 inverse;
            if (matrix_inverse(inverse, place) != 0) continue;
            mul_vec_mat3(from, a, inverse);
            mul_vec_mat3(to, b, inverse);
        }
        vec3 at;
        if (!does_segment_intersect_polygon(from, to, p, at)) continue;
        if (p->owner) {
            vec3 world;
            mul_vec_mat3(world, at, place);
            at = world;
        }
        const double distance = vec_square_distance(a, at);
        if (!best.polygon_hit || distance < best.distance) {
            best.polygon_hit = p;
            best.point = at;
            best.distance = distance;
        }
    }
    return best;
}

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
    const vec3 world_from = camera_get_movement_target(c, from, camera_space);
    const vec3 world_to = camera_get_movement_target(c, to, camera_space);
    const hit_result hit = first_hit(world_from, world_to);
    if (!hit.polygon_hit) {
        vec_scale(out, miss_scale, on_plane);
        return -1;
    }
    out = hit.point;
    if (out_polygon) *out_polygon = hit.polygon_hit;
    if (out_object) *out_object = hit.polygon_hit->owner;
    return 0;
}

polygon* engine_mark_polygon_at_point(int x, int y, int window_width, int window_height) {
    vec3 at;
    polygon* p = nullptr;
    return engine_2D_point_to_3D(x, y, at, &p, nullptr, window_width, window_height) == 0 ? p : nullptr;
}
