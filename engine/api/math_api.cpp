// Math family: vector, line and plane geometry on caller arrays of three or four doubles.
#include <cmath>

#include "api/export_guards.h"
#include "foundation/geometry.h"

namespace math_texts {
inline constexpr const char* distance_name = "Drovik_math_get_distance_between_point_and_line";
inline constexpr const char* internal_error = "internal error\n";
inline constexpr double no_distance = 1e300;
}  // namespace math_texts

namespace {

vec3 vec(const double* v) { return {v[0], v[1], v[2]}; }

void store(double* out, const vec3& v) {
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
}

plane plane_of(const double* p) { return {p[0], p[1], p[2], p[3]}; }

}  // namespace

DROVIK_API double Drovik_math_get_square_distance(const double p1[3], const double p2[3]) {
    engine_guard guard;
    if (!p1 || !p2) return 0;
    return vec_square_distance(vec(p1), vec(p2));
}

DROVIK_API double Drovik_math_get_distance(const double p1[3], const double p2[3]) {
    engine_guard guard;
    if (!p1 || !p2) return 0;
    return safe_sqrt(vec_square_distance(vec(p1), vec(p2)));
}

DROVIK_API double Drovik_math_get_vector_length(const double v[3]) {
    engine_guard guard;
    if (!v) return 0;
    const vec3 a = vec(v);
    return safe_sqrt(vec_dot(a, a));
}

DROVIK_API double Drovik_math_product(const double a[3], const double b[3]) {
    engine_guard guard;
    if (!a || !b) return 0;
    return vec_dot(vec(a), vec(b));
}

DROVIK_API double* Drovik_math_cross(const double a[3], const double b[3], double out[3]) {
    engine_guard guard;
    if (!a || !b || !out) return nullptr;
    store(out, vec_cross(vec(a), vec(b)));
    return out;
}

DROVIK_API int Drovik_math_normalize_vector(double v[3]) {
    engine_guard guard;
    if (!v) return -1;
    vec3 a = vec(v);
    if (vec_normalize(a) != 0) return -1;
    store(v, a);
    return 0;
}

DROVIK_API int Drovik_math_does_segment_intersect_plane(const double plane_values[4], const double p1[3],
                                                        const double p2[3], double out[3]) {
    engine_guard guard;
    if (!plane_values || !p1 || !p2 || !out) return 0;
    const plane pl = plane_of(plane_values);
    const vec3 a = vec(p1);
    vec3 crossing;
    if (get_line_plane_intersection(pl, a, vec(p2), crossing) != 2) {
        store(out, a);
        return 0;
    }
    store(out, crossing);
    return get_segment_plane_intersection(pl, a, vec(p2), crossing) == 2 ? 1 : 0;
}

DROVIK_API double Drovik_math_get_distance_between_point_and_line(const double point[3], const double p1[3],
                                                                  const double p2[3]) {
    engine_guard guard;
    if (!point || !p1 || !p2) return math_texts::no_distance;
    vec3 foot;
    if (get_closest_point_on_line(vec(point), vec(p1), vec(p2), foot) != 0) {
        api_report(math_texts::distance_name, math_texts::internal_error);
        return math_texts::no_distance;
    }
    // Rounding can leave a point on the line a hair below zero.
    return safe_sqrt(vec_square_distance(vec(point), foot));
}

DROVIK_API int Drovik_math_get_closest_point_on_line(const double point[3], const double p1[3], const double p2[3],
                                                     double out[3]) {
    engine_guard guard;
    if (!point || !p1 || !p2 || !out) return -1;
    vec3 foot;
    const int result = get_closest_point_on_line(vec(point), vec(p1), vec(p2), foot);
    store(out, foot);
    return result;
}

DROVIK_API int Drovik_math_is_point_on_segment(const double point[3], const double start[3], const double end[3]) {
    engine_guard guard;
    if (!point || !start || !end) return 0;
    return is_point_on_segment(vec(point), vec(start), vec(end));
}

DROVIK_API int Drovik_math_points_to_plane(double plane_out[4], const double p1[3], const double p2[3],
                                           const double p3[3]) {
    engine_guard guard;
    if (!plane_out || !p1 || !p2 || !p3) return -1;
    plane pl = plane_of(plane_out);
    const int result = points_to_plane(pl, vec(p1), vec(p2), vec(p3));
    plane_out[0] = pl.a;
    plane_out[1] = pl.b;
    plane_out[2] = pl.c;
    plane_out[3] = pl.d;
    return result;
}

DROVIK_API int Drovik_math_get_plane_point_relations(const double plane_values[4], const double point[3],
                                                     double tolerance) {
    engine_guard guard;
    if (!plane_values || !point) return 0;
    return plane_point_relation(plane_of(plane_values), vec(point), tolerance);
}

DROVIK_API int Drovik_math_is_clockwise(const double p1[3], const double p2[3], const double p3[3]) {
    engine_guard guard;
    if (!p1 || !p2 || !p3) return 0;
    return is_clockwise(vec(p1), vec(p2), vec(p3));
}

DROVIK_API int Drovik_math_is_clockwise_from_direction(const double direction[3], const double p1[3],
                                                       const double p2[3], const double p3[3]) {
    engine_guard guard;
    if (!direction || !p1 || !p2 || !p3) return 0;
    plane pl{};
    points_to_plane(pl, vec(p1), vec(p2), vec(p3));
    return vec_dot({pl.a, pl.b, pl.c}, vec(direction)) < 0 ? 1 : 0;
}

DROVIK_API int Drovik_math_get_reflected_direction(const double direction[3], const double plane_normal[3],
                                                   double out[3]) {
    engine_guard guard;
    if (!direction || !plane_normal || !out) return -1;
    vec3 d = vec(direction);
    if (vec_normalize(d) != 0) return -1;
    vec3 reflected;
    if (plane_get_reflected_direction(d, {plane_normal[0], plane_normal[1], plane_normal[2], 0}, reflected) != 0) {
        store(out, d);
        return -1;
    }
    store(out, reflected);
    return 0;
}
