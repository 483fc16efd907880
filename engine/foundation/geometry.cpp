// Engine geometry: vectors, row-vector matrices, planes, boxes and small equation solvers.
#include "foundation/geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "foundation/errors.h"

namespace {

void report(const char* text) {
    if (geometry_report_errors()) report_error(1, text);
}

double& at(vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
double at(const vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

vec3 minus(const vec3& a, const vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

vec3 normal_of(const plane& p) { return {p.a, p.b, p.c}; }

// The crossing parameter of the segment a-b with the plane; false when parallel.
bool crossing(const plane& p, const double* a, const double* b, double& t) {
    const vec3 n = normal_of(p);
    const vec3 va{a[0], a[1], a[2]};
    const vec3 d{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double denominator = vec_dot(n, d);
    if (std::fabs(denominator) < zero_tolerance) return false;
    t = (-vec_dot(n, va) - p.d) / denominator;
    return true;
}

int interpolate_edge(const plane& p, const double* a, const double* b, double* out, int count) {
    double t = 0;
    if (!crossing(p, a, b, t) || t < 0 || t > 1) return 1;
    for (int i = 0; i < count; ++i) out[i] = a[i] + t * (b[i] - a[i]);
    return 2;
}

double det3(double a, double b, double c, double d, double e, double f, double g, double h,
            double i) {
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
}

bool is_zero_vector(const vec3& v) { return v.x == 0 && v.y == 0 && v.z == 0; }

}  // namespace

int& geometry_report_errors() {
    static int flag = 1;
    return flag;
}

int round_to_int(double x) {
    const double r = std::floor(x + 0.5);
    if (!(r > INT_MIN)) return INT_MIN;
    if (!(r < INT_MAX)) return INT_MAX;
    return static_cast<int>(r);
}

int truncate_to_int(double x) {
    if (std::isnan(x)) return 0;
    if (x <= INT_MIN) return INT_MIN;
    if (x >= INT_MAX) return INT_MAX;
    return static_cast<int>(x);
}

double wrap_checksum(double sum, double wrap) {
    if (!(sum > wrap)) return sum;
    if (!std::isfinite(sum)) return wrap;
    const double rest = std::fmod(sum, wrap);
    return rest > 0 ? rest : wrap;
}

void vec_copy(vec3& destination, const vec3& source) { destination = source; }
void vec_set(vec3& v, double x, double y, double z) { v = {x, y, z}; }
void vec_add(vec3& a, const vec3& b) { a = {a.x + b.x, a.y + b.y, a.z + b.z}; }
void vec_sub(vec3& a, const vec3& b) { a = minus(a, b); }
void vec_scale(vec3& destination, double k, const vec3& source) {
    destination = {k * source.x, k * source.y, k * source.z};
}
void vec_negate(vec3& v) { v = {-v.x, -v.y, -v.z}; }
void vec_abs(vec3& v) { v = {std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)}; }
double vec_dot(const vec3& a, const vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
vec3 vec_cross(const vec3& a, const vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double vec_length(const vec3& v) { return std::sqrt(vec_dot(v, v)); }
double vec_square_distance(const vec3& a, const vec3& b) {
    const vec3 d = minus(a, b);
    return vec_dot(d, d);
}
double vec_distance(const vec3& a, const vec3& b) { return std::sqrt(vec_square_distance(a, b)); }

int vec_normalize(vec3& v) {
    const double length = vec_length(v);
    if (length < zero_tolerance) return -1;
    vec_scale(v, 1 / length, v);
    return 0;
}

void copy4(double* destination, const double* source) { std::memmove(destination, source, 4 * sizeof(double)); }
void copy6(double* destination, const double* source) { std::memmove(destination, source, 6 * sizeof(double)); }
void copy9(double* destination, const double* source) { std::memmove(destination, source, 9 * sizeof(double)); }
double deg_to_rad(double degrees) { return degrees * 0.017453292519943295; }
double rad_to_deg(double radians) { return radians * 57.29577951308232; }
double safe_acos(double x) { return std::acos(std::clamp(x, -1.0, 1.0)); }
double safe_asin(double x) { return std::asin(std::clamp(x, -1.0, 1.0)); }
double safe_sqrt(double x) { return std::sqrt(std::max(x, 0.0)); }

int log2_of_power_of_two(long n) {
    if (n <= 0 || (n & (n - 1)) != 0) return -1;
    int exponent = 0;
    while (n > 1) {
        n >>= 1;
        ++exponent;
    }
    return exponent;
}

int is_point_in_cube(const vec3& p, const vec3& q, double d) {
    for (int i = 0; i < 3; ++i) {
        if (at(p, i) < at(q, i) - d || at(p, i) > at(q, i) + d) return 0;
    }
    return 1;
}

int is_point_in_float_cube(const vec3& p, const vec3& q, float d) { return is_point_in_cube(p, q, d); }

int is_plane_close(const plane& p, const plane& q, double d) {
    const double a[4] = {p.a, p.b, p.c, p.d};
    const double b[4] = {q.a, q.b, q.c, q.d};
    for (int i = 0; i < 4; ++i) {
        if (a[i] < b[i] - d || a[i] > b[i] + d) return 0;
    }
    return 1;
}

int are_rgb_bytes_close(const uint8_t* a, const uint8_t* b, int d) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(a[i] - b[i]) > d) return 0;
    }
    return 1;
}

int are_normal_bytes_close(const int8_t* a, const int8_t* b, int d) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(a[i] - b[i]) > d) return 0;
    }
    return 1;
}

void matrix_identity(mat4& m) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) m.m[r][c] = r == c ? 1 : 0;
    }
}

void matrix_copy(mat4& destination, const mat4& source) { destination = source; }

void matrix_copy_rotation(mat4& destination, const mat4& source) {
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) destination.m[r][c] = source.m[r][c];
    }
}

void matrix_multiply(mat4& out, const mat4& a, const mat4& b) {
    mat4 result;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += a.m[r][k] * b.m[k][c];
            result.m[r][c] = sum;
        }
    }
    out = result;
}

void matrix_multiply_in_place(mat4& a, const mat4& b) { matrix_multiply(a, a, b); }

void matrix_multiply_rotation(mat4& out, const mat4& a, const mat4& b) {
    double result[3][3];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            result[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c];
        }
    }
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) out.m[r][c] = result[r][c];
    }
}

void matrix_multiply_rotation_in_place(mat4& a, const mat4& b) { matrix_multiply_rotation(a, a, b); }

void matrix_set_translation(mat4& m, const vec3& t) {
    m.m[3][0] = t.x;
    m.m[3][1] = t.y;
    m.m[3][2] = t.z;
}

void matrix_translation(mat4& m, const vec3& t) {
    matrix_identity(m);
    matrix_set_translation(m, t);
}

void matrix_scale(mat4& m, const vec3& s) {
    matrix_identity(m);
    m.m[0][0] = s.x;
    m.m[1][1] = s.y;
    m.m[2][2] = s.z;
}

void matrix_rotation_x(mat4& m, double radians) {
    matrix_identity(m);
    m.m[1][1] = std::cos(radians);
    m.m[1][2] = std::sin(radians);
    m.m[2][1] = -std::sin(radians);
    m.m[2][2] = std::cos(radians);
}

void matrix_rotation_y(mat4& m, double radians) {
    matrix_identity(m);
    m.m[0][0] = std::cos(radians);
    m.m[0][2] = -std::sin(radians);
    m.m[2][0] = std::sin(radians);
    m.m[2][2] = std::cos(radians);
}

void matrix_rotation_z(mat4& m, double radians) {
    matrix_rotation_z_cos_sin(m, std::cos(radians), std::sin(radians));
}

void matrix_rotation_z_cos_sin(mat4& m, double cosine, double sine) {
    matrix_identity(m);
    m.m[0][0] = cosine;
    m.m[0][1] = sine;
    m.m[1][0] = -sine;
    m.m[1][1] = cosine;
}

int matrix_rotation_around_line(mat4& m, double degrees, const vec3& p1, const vec3& p2) {
    vec3 u = minus(p2, p1);
    if (vec_normalize(u) != 0) {
        report("Drovik_group_rotate_around_line: failed inverting the matrix\n");
        return -1;
    }
    const double c = std::cos(deg_to_rad(degrees));
    const double s = std::sin(deg_to_rad(degrees));
    const double k = 1 - c;
    // The row-vector form of Rodrigues' rotation: the transpose of the column-vector matrix.
    mat4 rotation;
    matrix_identity(rotation);
    rotation.m[0][0] = c + k * u.x * u.x;
    rotation.m[0][1] = k * u.x * u.y + s * u.z;
    rotation.m[0][2] = k * u.x * u.z - s * u.y;
    rotation.m[1][0] = k * u.y * u.x - s * u.z;
    rotation.m[1][1] = c + k * u.y * u.y;
    rotation.m[1][2] = k * u.y * u.z + s * u.x;
    rotation.m[2][0] = k * u.z * u.x + s * u.y;
    rotation.m[2][1] = k * u.z * u.y - s * u.x;
    rotation.m[2][2] = c + k * u.z * u.z;
    mat4 to_origin;
    mat4 back;
    matrix_translation(to_origin, {-p1.x, -p1.y, -p1.z});
    matrix_translation(back, p1);
    matrix_multiply(m, to_origin, rotation);
    matrix_multiply_in_place(m, back);
    return 0;
}

void mul_vec_mat2(vec3& p, const mat4& m) {
    const vec3 source = p;
    const double w = source.x * m.m[0][3] + source.y * m.m[1][3] + source.z * m.m[2][3] + m.m[3][3];
    vec_mul_rotation(p, source, m);
    vec_add(p, {m.m[3][0], m.m[3][1], m.m[3][2]});
    if (w == 0) {
        report("mul_vec_mat2: devision by zero\n");
        return;
    }
    vec_scale(p, 1 / w, p);
}

void mul_vec_mat3(vec3& destination, const vec3& p, const mat4& m) {
    const double w = p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3];
    vec3 result;
    vec_mul_rotation(result, p, m);
    vec_add(result, {m.m[3][0], m.m[3][1], m.m[3][2]});
    if (std::fabs(w) < homogeneous_tolerance) {
        report("mul_vec_mat3: devision by zero\n");
    } else {
        vec_scale(result, 1 / w, result);
    }
    destination = result;
}

void vec_mul_mat(vec3& v, const mat4& m) { vec_mul_rotation(v, v, m); }

void vec_mul_rotation(vec3& destination, const vec3& v, const mat4& m) {
    destination = {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0],
                   v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
                   v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

double matrix3_determinant(const mat4& m) {
    return det3(m.m[0][0], m.m[0][1], m.m[0][2], m.m[1][0], m.m[1][1], m.m[1][2], m.m[2][0],
                m.m[2][1], m.m[2][2]);
}

int matrix3_inverse(mat4& out, const mat4& m) {
    const double det = matrix3_determinant(m);
    if (std::fabs(det) < zero_tolerance) return -1;
    const auto& a = m.m;
    mat4 result;
    matrix_identity(result);
    result.m[0][0] = (a[1][1] * a[2][2] - a[1][2] * a[2][1]) / det;
    result.m[0][1] = (a[0][2] * a[2][1] - a[0][1] * a[2][2]) / det;
    result.m[0][2] = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) / det;
    result.m[1][0] = (a[1][2] * a[2][0] - a[1][0] * a[2][2]) / det;
    result.m[1][1] = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) / det;
    result.m[1][2] = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) / det;
    result.m[2][0] = (a[1][0] * a[2][1] - a[1][1] * a[2][0]) / det;
    result.m[2][1] = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) / det;
    result.m[2][2] = (a[0][0] * a[1][1] - a[0][1] * a[1][0]) / det;
    out = result;
    return 0;
}

int matrix_inverse(mat4& out, const mat4& m) {
    mat4 result;
    if (matrix3_inverse(result, m) != 0) return -1;
    // p = (p' - t) * R^-1
    vec3 t{-m.m[3][0], -m.m[3][1], -m.m[3][2]};
    vec_mul_rotation(t, t, result);
    matrix_set_translation(result, t);
    out = result;
    return 0;
}

void box_transform(double box[6], const mat4& m) {
    vec3 low{box[0], box[1], box[2]};
    vec3 high{box[3], box[4], box[5]};
    mul_vec_mat3(low, low, m);
    mul_vec_mat3(high, high, m);
    for (int i = 0; i < 3; ++i) {
        box[i] = std::min(at(low, i), at(high, i));
        box[i + 3] = std::max(at(low, i), at(high, i));
    }
}

void box_union(double destination[6], const double a[6], const double b[6]) {
    for (int i = 0; i < 3; ++i) {
        const double low = std::min(a[i], b[i]);
        const double high = std::max(a[i + 3], b[i + 3]);
        destination[i] = low;
        destination[i + 3] = high;
    }
}

void box_extend(double box[6], const double other[6]) { box_union(box, box, other); }

int repair_basis(vec3& axis1, vec3& axis2, vec3& axis3) {
    const int zeros = is_zero_vector(axis1) + is_zero_vector(axis2) + is_zero_vector(axis3);
    if (zeros >= 2) return -1;
    if (is_zero_vector(axis1)) axis1 = vec_cross(axis2, axis3);
    if (is_zero_vector(axis2)) axis2 = vec_cross(axis3, axis1);
    if (is_zero_vector(axis3)) axis3 = vec_cross(axis1, axis2);
    axis2 = vec_cross(axis3, axis1);
    axis3 = vec_cross(axis1, axis2);
    if (vec_normalize(axis1) != 0 || vec_normalize(axis2) != 0 || vec_normalize(axis3) != 0)
        return -1;
    return 0;
}

int points_to_plane(plane& p, const vec3& a, const vec3& b, const vec3& c) {
    vec3 n = vec_cross(minus(b, a), minus(c, b));
    if (vec_normalize(n) != 0) {
        p.d = 0;
        return -1;
    }
    vec_negate(n);
    p = {n.x, n.y, n.z, -vec_dot(a, n)};
    return 0;
}

int points_to_plane_unnormalized(plane& p, const vec3& a, const vec3& b, const vec3& c) {
    vec3 n = vec_cross(minus(b, a), minus(c, b));
    if (std::fabs(n.x) < zero_tolerance && std::fabs(n.y) < zero_tolerance &&
        std::fabs(n.z) < zero_tolerance)
        return -1;
    vec_negate(n);
    p = {n.x, n.y, n.z, -vec_dot(a, n)};
    return 0;
}

double plane_value(const plane& p, const vec3& point) {
    return p.a * point.x + p.b * point.y + p.c * point.z + p.d;
}

int plane_point_relation(const plane& p, const vec3& point, double tolerance) {
    const double value = plane_value(p, point);
    if (value > tolerance) return 3;
    if (value >= -tolerance) return 1;
    return 2;
}

int plane_point_side(const plane& p, const vec3& point) { return plane_point_relation(p, point, 0); }

int get_line_plane_intersection(const plane& p, const vec3& a, const vec3& b, vec3& out) {
    const double va[3] = {a.x, a.y, a.z};
    const double vb[3] = {b.x, b.y, b.z};
    double t = 0;
    if (!crossing(p, va, vb, t)) return 1;
    out = {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)};
    return 2;
}

int get_segment_plane_intersection(const plane& p, const vec3& a, const vec3& b, vec3& out) {
    const double va[3] = {a.x, a.y, a.z};
    const double vb[3] = {b.x, b.y, b.z};
    double result[3];
    if (interpolate_edge(p, va, vb, result, 3) != 2) return 1;
    out = {result[0], result[1], result[2]};
    return 2;
}

int get_edge_plane_intersection(const plane& p, const double a[9], const double b[9], double out[9]) {
    return interpolate_edge(p, a, b, out, 9);
}

int split_edge_by_plane(const plane& p, const double a[12], const double b[12], double out[12]) {
    return interpolate_edge(p, a, b, out, 12);
}

int clip_edge_by_plane(const plane& p, const vec3& a, const vec3& b, vec3& out_a, vec3& out_b) {
    const double da = plane_value(p, a);
    const double db = plane_value(p, b);
    if (da <= 0 && db <= 0) return 1;
    if (da >= 0 && db >= 0) {
        out_a = a;
        out_b = b;
        return 2;
    }
    vec3 cut;
    if (get_line_plane_intersection(p, a, b, cut) != 2) return 1;
    out_a = da > 0 ? a : cut;
    out_b = da > 0 ? cut : b;
    return 3;
}

int transform_plane(plane& destination, const plane& p, const mat4& m) {
    const vec3 n = normal_of(p);
    const double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    if (ax < zero_tolerance && ay < zero_tolerance && az < zero_tolerance) {
        report("transform_plane: illegal normal !!\n");
        return -1;
    }
    // Three points of the plane, solved along its largest normal component.
    const int axis = ax >= ay && ax >= az ? 0 : (ay >= az ? 1 : 2);
    const int u = (axis + 1) % 3;
    const int v = (axis + 2) % 3;
    vec3 points[3] = {};
    const double offsets[3][2] = {{0, 0}, {1, 0}, {0, 1}};
    for (int i = 0; i < 3; ++i) {
        at(points[i], u) = offsets[i][0];
        at(points[i], v) = offsets[i][1];
        at(points[i], axis) = -(p.d + at(n, u) * offsets[i][0] + at(n, v) * offsets[i][1]) / at(n, axis);
        mul_vec_mat3(points[i], points[i], m);
    }
    plane result;
    if (points_to_plane(result, points[0], points[1], points[2]) != 0) return -1;
    vec3 turned;
    vec_mul_rotation(turned, n, m);
    if (vec_dot(turned, normal_of(result)) < 0) result = {-result.a, -result.b, -result.c, -result.d};
    destination = result;
    return 0;
}

int plane_get_reflected_direction(const vec3& direction, const plane& p, vec3& out) {
    const vec3 n = normal_of(p);
    const double square = vec_dot(n, n);
    if (square < zero_tolerance) {
        report("plane_get_reflected_direction: internal error\n");
        return -1;
    }
    vec3 along;
    vec_scale(along, 2 * vec_dot(direction, n) / square, n);
    out = minus(direction, along);
    return 0;
}

int is_point_on_segment(const vec3& point, const vec3& a, const vec3& b) {
    bool have_t = false;
    double first_t = 0;
    for (int i = 0; i < 3; ++i) {
        const double span = at(b, i) - at(a, i);
        if (std::fabs(span) > line_tolerance) {
            const double t = (at(point, i) - at(a, i)) / span;
            if (t < 0 || t > 1) return 0;
            if (!have_t) {
                first_t = t;
                have_t = true;
            } else if (std::fabs(t - first_t) > line_tolerance) {
                return 0;
            }
        } else if (std::fabs(at(point, i) - at(a, i)) > line_tolerance) {
            return 0;
        }
    }
    if (!have_t) return is_point_in_cube(point, b, line_tolerance);
    return 1;
}

double get_square_distance_between_point_and_line(const vec3& point, const vec3& a, const vec3& b) {
    vec3 foot;
    if (get_closest_point_on_line(point, a, b, foot) != 0) return -1;
    return vec_square_distance(point, foot);
}

int get_closest_point_on_line(const vec3& point, const vec3& a, const vec3& b, vec3& out) {
    const vec3 d = minus(b, a);
    if (is_point_in_cube(a, b, line_tolerance)) {
        report("get_square_distance_between_point_and_line: illegal line\n");
        out = {0, 0, 0};
        return -1;
    }
    const double t = vec_dot(minus(point, a), d) / vec_dot(d, d);
    out = {a.x + t * d.x, a.y + t * d.y, a.z + t * d.z};
    return 0;
}

int segment_box_intersection(const vec3& a, const vec3& b, const double box[6], vec3& out) {
    for (int i = 0; i < 3; ++i) {
        if (std::max(at(a, i), at(b, i)) < box[i] || std::min(at(a, i), at(b, i)) > box[i + 3])
            return 0;
    }
    // The face crossing nearest to a.
    double nearest = 2;
    for (int axis = 0; axis < 3; ++axis) {
        const double span = at(b, axis) - at(a, axis);
        if (span == 0) continue;
        for (const double face : {box[axis + 3], box[axis]}) {
            const double t = (face - at(a, axis)) / span;
            if (t < 0 || t > 1 || t >= nearest) continue;
            vec3 cut{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)};
            at(cut, axis) = face;
            const int u = (axis + 1) % 3;
            const int v = (axis + 2) % 3;
            if (at(cut, u) > box[u] && at(cut, u) < box[u + 3] && at(cut, v) > box[v] &&
                at(cut, v) < box[v + 3]) {
                out = cut;
                nearest = t;
            }
        }
    }
    return nearest <= 1 ? 1 : 0;
}

int solve_equations(const double matrix[4][4], int order, double* out) {
    const auto& m = matrix;
    if (order == 2) {
        const double det = m[0][0] * m[1][1] - m[0][1] * m[1][0];
        if (std::fabs(det) < zero_tolerance) return -1;
        out[0] = (m[0][2] * m[1][1] - m[0][1] * m[1][2]) / det;
        out[1] = (m[0][0] * m[1][2] - m[0][2] * m[1][0]) / det;
        return 0;
    }
    if (order == 3) {
        const double det = det3(m[0][0], m[0][1], m[0][2], m[1][0], m[1][1], m[1][2], m[2][0],
                                m[2][1], m[2][2]);
        if (std::fabs(det) < zero_tolerance) return -1;
        for (int column = 0; column < 3; ++column) {
            double e[3][3];
            for (int r = 0; r < 3; ++r) {
                for (int c = 0; c < 3; ++c) e[r][c] = c == column ? m[r][3] : m[r][c];
            }
            out[column] = det3(e[0][0], e[0][1], e[0][2], e[1][0], e[1][1], e[1][2], e[2][0],
                               e[2][1], e[2][2]) / det;
        }
        return 0;
    }
    report("solve_equations: unsupported order");
    return -1;
}

int is_clockwise(const vec3& a, const vec3& b, const vec3& c) {
    const vec3 n = vec_cross(minus(a, b), minus(c, b));
    for (const double component : {n.z, n.x, n.y}) {
        if (component > clockwise_tolerance) return 1;
        if (component < -clockwise_tolerance) return 0;
    }
    report("is_clockwise: bad points !\n");
    return 0;
}

int is_clockwise_from_direction(const vec3& direction, const vec3& a, const vec3& b, const vec3& c) {
    plane p;
    if (points_to_plane_unnormalized(p, a, b, c) != 0) return 0;
    return plane_value(p, direction) < 0 ? 1 : 0;
}

double get_z_order_of_vectors(const vec3& u, const vec3& w) {
    if (u.z == 1 || w.z == 1) {
        report("get_z_order_of_vectors: unsopurted case I have to add some code to deal with it\n");
        return 0;
    }
    return u.x * w.y - u.y * w.x;
}

double get_sin_of_vectors(const vec3& u, const vec3& w) {
    const double dot = vec_dot(u, w);
    const double square = 1 - dot * dot;
    if (!(square >= 0)) return 0;
    const double sine = std::sqrt(square);
    return get_z_order_of_vectors(u, w) < 0 ? -sine : sine;
}

void get_drop_axis_perpendicular(const vec3& normal, vec3& out) {
    vec3 magnitude = normal;
    vec_abs(magnitude);
    const int dropped = magnitude.x <= magnitude.y && magnitude.x <= magnitude.z ? 0
                        : magnitude.y <= magnitude.z                             ? 1
                                                                                 : 2;
    const int i = dropped == 0 ? 1 : 0;
    const int j = dropped == 2 ? 1 : 2;
    out = {0, 0, 0};
    at(out, i) = -at(normal, j);
    at(out, j) = at(normal, i);
}

int make_bm_equation(const double* v0, const double* v1, const double* v2, const vec3& normal,
                     int attribute, plane& out) {
    const double ax = std::fabs(normal.x), ay = std::fabs(normal.y), az = std::fabs(normal.z);
    const int type = ay >= ax && ay >= az ? 1 : (ax >= az ? 2 : 0);
    const int u = type == 2 ? 1 : 0;
    const int v = type == 0 ? 1 : 2;
    const double* vertices[3] = {v0, v1, v2};
    vec3 projected[3];
    for (int k = 0; k < 3; ++k) {
        projected[k] = {vertices[k][u], vertices[k][v], vertices[k][attribute]};
    }
    if (points_to_plane_unnormalized(out, projected[0], projected[1], projected[2]) != 0) return -1;
    return type;
}

double get_bm_x_using_equation(const vec3& point, const plane& equation, int type) {
    if (type < 0 || type > 2) {
        report("get_bm_x_using_equation: invalid equation_type\n");
        return 0;
    }
    if (std::fabs(equation.c) <= equation_tolerance) {
        report("get_bm_x_using_equation: bad equation\n");
        return 0;
    }
    const double u = type == 2 ? point.y : point.x;
    const double v = type == 0 ? point.y : point.z;
    return (-equation.d - equation.a * u - equation.b * v) / equation.c;
}
