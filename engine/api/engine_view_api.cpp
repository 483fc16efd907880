// Engine family: window pixels and world points through the current camera, and movement tests.
#include <cmath>
#include <string>

#include "api/engine_family.h"
#include "api/record_access.h"
#include "foundation/errors.h"
#include "render/software/rendering_manager.h"
#include "world/camera.h"
#include "world/collision.h"
#include "world/engine_state.h"
#include "world/picking.h"

namespace {

namespace texts {
inline constexpr const char* bad_plane_params = "Drovik_engine_2D_point_to_3D_point_on_plane:\nBad params\n";
inline constexpr const char* edge_internal_1 = "Drovik_engine_3D_edge_to_2D: internal error 1\n";
inline constexpr const char* edge_internal_2 = "Drovik_engine_3D_edge_to_2D: internal error 2\n";
}  // namespace texts

constexpr double behind_eye = 1e-100;
constexpr double flat_depth = 1e-50;
constexpr int nothing_left = 1, wholly_inside = 2, cut = 3;
constexpr int frustum_planes = 5;
constexpr int far_corner = 1000;

// The window the camera draws into: the rendering manager's while the camera is bound to it, else
// one of the camera's own pixel size.
void view_window_size(const camera* c, int& width, int& height) {
    const Rendering_manager& manager = rendering_manager();
    const bool bound = manager.cam == c && manager.window_width > 0 && manager.window_height > 0;
    width = bound ? manager.window_width : c->width;
    height = bound ? manager.window_height : c->height;
}

// The world guard, then the current camera; NULL (the row's value to return) when either fails.
camera* guarded_camera(const api_export_row& row) {
    if (!api_world_guard(row.check_name)) return nullptr;
    camera* c = get_current_camera();
    if (c && !c->matrices_valid) camera_mark_rebuilt(c);
    return c;
}

// Runs `work` with the current camera behind the world guard; the row's value when either fails
// or an argument is missing.
template <typename Work>
auto with_view(const char* export_name, bool arguments_given, Work&& work) -> decltype(work(std::declval<camera*>())) {
    engine_guard guard;
    const api_export_row& row = engine_row_of(export_name);
    camera* c = guarded_camera(row);
    if (!c || !arguments_given) return api_refusal{row};
    return work(c);
}

vec3 to_camera_space(const camera* c, const vec3& world) {
    vec3 p;
    mul_vec_mat3(p, world, c->inverse_matrix);
    return p;
}

vec3 to_world_space(const camera* c, const vec3& local) {
    vec3 p;
    mul_vec_mat3(p, local, c->matrix);
    return p;
}

// Camera-space point to the picture, relative to its centre (x right, y up).
void project(const camera* c, const vec3& p, double& sx, double& sy) {
    if (c->perspective) {
        sx = c->focal_length * p.y / p.x;
        sy = c->focal_length * p.z / p.x;
    } else {
        sx = p.y * c->parallel_scale_x;
        sy = p.z * c->parallel_scale_y;
    }
}

// 0 in front and inside the window, 1 in front and outside, 2 behind and inside, 3 behind and
// outside; -1 for a point in the eye's plane.
int point_to_window(const camera* c, const vec3& world, int out[2]) {
    const vec3 p = to_camera_space(c, world);
    if (std::fabs(p.x) < behind_eye) return -1;
    double sx, sy;
    project(c, p, sx, sy);
    int width, height;
    view_window_size(c, width, height);
    const double kx = c->width ? static_cast<double>(width) / c->width : 1;
    const double ky = c->height ? static_cast<double>(height) / c->height : 1;
    out[0] = static_cast<int>((c->middle_x + sx) * kx + 0.5);
    out[1] = static_cast<int>((c->middle_y - sy) * ky + 0.5);
    const bool inside = out[0] >= 0 && out[0] < width && out[1] >= 0 && out[1] < height;
    const bool in_front = p.x < 0;
    return (in_front ? 0 : 2) + (inside ? 0 : 1);
}

// The segment clipped by the frustum planes in turn: 2 wholly inside, 3 cut, 1 nothing left.
int clip_to_frustum(const camera* c, vec3& a, vec3& b) {
    int result = wholly_inside;
    for (int i = 0; i < frustum_planes; ++i) {
        vec3 kept_a, kept_b;
        const int r = clip_edge_by_plane(c->frustum_world[i], a, b, kept_a, kept_b);
        if (r == nothing_left) return nothing_left;
        if (r == cut) result = cut;
        a = kept_a;
        b = kept_b;
    }
    return result;
}

void log_line(const char* text) {
    if (api_report_errors()) report_error(1, text);
}

void clear_vec(double* v) {
    if (v) api_put_vec(v, {0, 0, 0});
}

// The outs of a movement test: cleared, then what blocked the way.
void report_block(int free_way, const collision_hit& hit, DROVIK_HANDLE* polygon_out, double point_out[3],
                  DROVIK_HANDLE* object_out) {
    const bool blocked = free_way == 0;
    if (polygon_out) *polygon_out = blocked ? hit.polygon_hit : nullptr;
    if (object_out) *object_out = blocked ? hit.object : nullptr;
    if (point_out) api_put_vec(point_out, blocked ? hit.point : vec3{0, 0, 0});
}

using movement_test = int (*)(const dynamic_object*, const vec3&, const vec3&, collision_hit&);

int movement(const char* export_name, movement_test test, const double start[3], const double end[3],
             DROVIK_HANDLE* polygon_out, double point_out[3], DROVIK_HANDLE* object_out) {
    engine_guard guard;
    const api_export_row& row = engine_row_of(export_name);
    report_block(1, {}, polygon_out, point_out, object_out);
    if (!api_world_guard(row.check_name) || !start || !end) return api_refusal{row};
    collision_hit hit;
    const int free_way = test(nullptr, api_vec(start), api_vec(end), hit);
    report_block(free_way, hit, polygon_out, point_out, object_out);
    return free_way;
}

struct pick {
    int result = -1;
    vec3 at{0, 0, 0};
    polygon* hit_polygon = nullptr;
    dynamic_object* hit_object = nullptr;
};

pick pick_at(const camera* c, int x, int y) {
    pick p;
    int width, height;
    view_window_size(c, width, height);
    vec3 at;
    p.result = engine_2D_point_to_3D(x, y, at, &p.hit_polygon, &p.hit_object, width, height);
    if (p.result == 0) p.at = at;
    return p;
}

}  // namespace

DROVIK_API int Drovik_engine_2D_point_to_3D(int x, int y, double point[3], DROVIK_HANDLE* object_out,
                                            DROVIK_HANDLE* polygon_out) {
    engine_guard guard;
    const api_export_row& row = engine_row_of(__func__);
    clear_vec(point);
    if (object_out) *object_out = nullptr;
    if (polygon_out) *polygon_out = nullptr;
    const camera* c = guarded_camera(row);
    if (!c) return api_refusal{row};
    const pick p = pick_at(c, x, y);
    if (p.result != 0) return -1;
    if (point) api_put_vec(point, p.at);
    if (object_out) *object_out = p.hit_object;
    if (polygon_out) *polygon_out = p.hit_polygon;
    return 0;
}

DROVIK_API DROVIK_HANDLE Drovik_engine_get_object_at_point_2D(int x, int y) {
    engine_guard guard;
    const api_export_row& row = engine_row_of(__func__);
    const camera* c = guarded_camera(row);
    return c ? pick_at(c, x, y).hit_object : nullptr;
}

DROVIK_API DROVIK_HANDLE Drovik_engine_get_polygon_at_point_2D(int x, int y) {
    engine_guard guard;
    const api_export_row& row = engine_row_of(__func__);
    const camera* c = guarded_camera(row);
    return c ? pick_at(c, x, y).hit_polygon : nullptr;
}

DROVIK_API int Drovik_engine_mark_polygon_at_point(int x, int y) {
    return with_view(__func__, true, [=](camera* c) {
        int width, height;
        view_window_size(c, width, height);
        return engine_mark_polygon_at_point(x, y, width, height) ? 0 : -1;
    });
}

DROVIK_API int Drovik_engine_2D_point_to_3D_point_on_plane(int x, int y, const double plane_abcd[4],
                                                           double point[3]) {
    engine_guard guard;
    const api_export_row& row = engine_row_of(__func__);
    if (!api_world_guard(row.check_name)) return api_refusal{row};
    if (!plane_abcd || !point) {
        warning_box(texts::bad_plane_params);
        return -1;
    }
    camera* c = get_current_camera();
    if (!c) return -1;
    if (!c->matrices_valid) camera_mark_rebuilt(c);
    int width, height;
    view_window_size(c, width, height);
    vec3 on_screen;
    if (engine_2D_point_to_3D_point_on_plane(c, x, y, on_screen, width, height) != 0) return -1;
    vec3 from{0, 0, 0}, to = on_screen;
    if (!c->perspective) {
        from = on_screen;
        to = {on_screen.x - 1, on_screen.y, on_screen.z};
    }
    const plane target{plane_abcd[0], plane_abcd[1], plane_abcd[2], plane_abcd[3]};
    vec3 meet;
    if (get_line_plane_intersection(target, to_world_space(c, from), to_world_space(c, to), meet) != 2) return -1;
    api_put_vec(point, meet);
    return 0;
}

DROVIK_API int Drovik_engine_3D_point_to_2D(const double point[3], int window_point[2]) {
    if (window_point) window_point[0] = window_point[1] = 0;
    return with_view(__func__, point && window_point,
                     [=](camera* c) { return point_to_window(c, api_vec(point), window_point); });
}

DROVIK_API int Drovik_engine_clip_edge(const double a[3], const double b[3], double a_out[3], double b_out[3]) {
    return with_view(__func__, a && b && a_out && b_out, [=](camera* c) {
        vec3 from = api_vec(a), to = api_vec(b);
        const int result = clip_to_frustum(c, from, to);
        if (result != nothing_left) {
            api_put_vec(a_out, from);
            api_put_vec(b_out, to);
        }
        return result;
    });
}

DROVIK_API int Drovik_engine_3D_edge_to_2D(const double a[3], const double b[3], int a_out[2], int b_out[2]) {
    return with_view(__func__, a && b && a_out && b_out, [=](camera* c) {
        vec3 from = api_vec(a), to = api_vec(b);
        const int result = clip_to_frustum(c, from, to);
        if (result == nothing_left) {
            a_out[0] = a_out[1] = 0;
            b_out[0] = b_out[1] = far_corner;
            return nothing_left;
        }
        if (point_to_window(c, from, a_out) != 0) {
            log_line(texts::edge_internal_1);
            return -1;
        }
        if (point_to_window(c, to, b_out) != 0) {
            log_line(texts::edge_internal_2);
            return -1;
        }
        return result;
    });
}

DROVIK_API int Drovik_engine_translate_movement_on_screen_to_movement_in_world(const double point[3],
                                                                               double moved[3], int dx, int dy) {
    clear_vec(moved);
    return with_view(__func__, point && moved, [=](camera* c) {
        vec3 p = to_camera_space(c, api_vec(point));
        if (c->perspective) {
            if (std::fabs(p.x) < flat_depth) return -1;
            double sx, sy;
            project(c, p, sx, sy);
            p.y = (sx + dx) * p.x / c->focal_length;
            p.z = (sy - dy) * p.x / c->focal_length;
        } else {
            if (c->parallel_scale_x == 0 || c->parallel_scale_y == 0) return -1;
            p.y += dx / c->parallel_scale_x;
            p.z -= dy / c->parallel_scale_y;
        }
        api_put_vec(moved, to_world_space(c, p));
        return 0;
    });
}

DROVIK_API int Drovik_engine_translate_movement_on_screen_to_world(const double point[3], double moved[3], int dx,
                                                                   int dy) {
    return Drovik_engine_translate_movement_on_screen_to_movement_in_world(point, moved, dx, dy);
}

DROVIK_API int Drovik_engine_is_movement_possible(const double start[3], const double end[3],
                                                  DROVIK_HANDLE* polygon_hit, double point_hit[3],
                                                  DROVIK_HANDLE* object_hit) {
    return movement(__func__, is_movement_possible, start, end, polygon_hit, point_hit, object_hit);
}

DROVIK_API int Drovik_engine_is_movement_possible_camera_space(const double start[3], const double end[3],
                                                               DROVIK_HANDLE* polygon_hit, double point_hit[3],
                                                               DROVIK_HANDLE* object_hit) {
    return movement(__func__, is_movement_possible_camera_space, start, end, polygon_hit, point_hit, object_hit);
}

DROVIK_API int Drovik_engine_get_number_of_collisions(const double from[3], const double to[3], double normal[3]) {
    engine_guard guard;
    const api_export_row& row = engine_row_of(__func__);
    if (!api_world_guard(row.check_name) || !from || !to) return api_refusal{row};
    vec3 combined{0, 0, 0};
    const int count = calculate_combined_normal(combined, api_vec(from), api_vec(to));
    if (normal) api_put_vec(normal, combined);
    return count;
}
