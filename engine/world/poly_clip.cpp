// Clipping a polygon's points against planes and the camera's frustum, and projecting them.
#include "world/poly_clip.h"

#include "foundation/errors.h"

namespace {

constexpr double clip_tolerance = 1e-6;
constexpr double near_tolerance = 0.0001;

vec3 position(const clip_point& c) { return {c.x, c.y, c.z}; }

clip_point crossing(const plane& p, const clip_point& a, const clip_point& b) {
    const double va = plane_value(p, position(a));
    const double vb = plane_value(p, position(b));
    const double t = va / (va - vb);
    auto mix = [t](double u, double w) { return u + t * (w - u); };
    return {mix(a.x, b.x), mix(a.y, b.y), mix(a.z, b.z), mix(a.bitmap_x, b.bitmap_x),
            mix(a.bitmap_y, b.bitmap_y), mix(a.brightness, b.brightness), mix(a.red, b.red),
            mix(a.green, b.green), mix(a.blue, b.blue)};
}

// Screen point inside the picture, else the two report lines; used with the check flag.
bool on_picture(const projected_point& p, const camera* c, const char* message) {
    const double sx = p.x + c->middle_x;
    const double sy = c->middle_y - p.y;
    if (sx >= 0 && sx < c->width && sy >= 0 && sy < c->height) return true;
    report_error(1, message);
    engine_log_printf(clip_texts::bad_points_line, sx, sy, p.x, p.y, c->width, c->height, c->middle_x,
                      c->middle_y);
    return false;
}

}  // namespace

int clip_poly_plane(const std::vector<clip_point>& in, std::vector<clip_point>& out, const plane& p) {
    out.clear();
    if (in.size() < 3) {
        report_error(1, "clip_poly_plane: less then 3 points in input poly");
        return 1;
    }
    bool any_in_front = false;
    const size_t n = in.size();
    for (size_t i = 0; i < n; ++i) {
        const clip_point& a = in[i];
        const clip_point& b = in[(i + 1) % n];
        const int ra = plane_point_relation(p, position(a), clip_tolerance);
        const int rb = plane_point_relation(p, position(b), clip_tolerance);
        if (ra != 2) out.push_back(a);
        if (ra == 3) any_in_front = true;
        if ((ra == 3 && rb == 2) || (ra == 2 && rb == 3)) out.push_back(crossing(p, a, b));
    }
    if (!any_in_front || out.size() < 3) {
        out.clear();
        return 1;
    }
    return 2;
}

int clip_poly_to_frustum(std::vector<clip_point>& points, std::vector<clip_point>& scratch, const camera* c,
                         double far_distance) {
    for (const plane& side : c->frustum_world) {
        if (clip_poly_plane(points, scratch, side) == 1) return 1;
        points.swap(scratch);
    }
    const vec3 back{c->matrix.m[0][0], c->matrix.m[0][1], c->matrix.m[0][2]};
    const vec3 eye{c->location[0], c->location[1], c->location[2]};
    const plane far_plane{back.x, back.y, back.z, far_distance - vec_dot(back, eye)};
    if (clip_poly_plane(points, scratch, far_plane) == 1) return 1;
    points.swap(scratch);
    return 2;
}

int project_poly(const clip_point* points, int count, projected_point* out, const camera* c, int check) {
    const double f = c->focal_length;
    for (int i = 0; i < count; ++i) {
        const clip_point& p = points[i];
        if (p.x - near_tolerance > -c->distance_from_eye) {
            report_error(2, clip_texts::behind);
            engine_log_printf(clip_texts::behind_value, p.x);
            return -1;
        }
        out[i] = {f * p.y / p.x, f * p.z / p.x};
        if (check && !on_picture(out[i], c, clip_texts::bad_points)) return -1;
    }
    return 0;
}

int project_poly_parallel(const clip_point* points, int count, projected_point* out, const camera* c, int check) {
    for (int i = 0; i < count; ++i) {
        out[i] = {points[i].y * c->parallel_scale_x, points[i].z * c->parallel_scale_y};
        if (check && !on_picture(out[i], c, clip_texts::bad_parallel_points)) return -1;
    }
    return 0;
}

double get_poly_max_x_value(const clip_point* points, int count) {
    if (count <= 0) {
        report_error(1, clip_texts::no_points);
        return 0;
    }
    double best = points[0].x;
    for (int i = 1; i < count; ++i) best = best < points[i].x ? points[i].x : best;
    return best;
}
