// Engine geometry in doubles: vectors, row-vector 4x4 matrices, planes, boxes and equations.
#pragma once
#include <cstdint>

struct vec3 {
    double x, y, z;
};

// a*x + b*y + c*z + d = 0 on the plane; positive in front.
struct plane {
    double a, b, c, d;
};

// Applied to row vectors: p' = (px, py, pz, 1) * m; rows 0-2 the axes, row 3 the translation.
struct mat4 {
    double m[4][4];
};

inline constexpr double zero_tolerance = 1e-150;
inline constexpr double line_tolerance = 1e-10;
inline constexpr double homogeneous_tolerance = 1e-20;
inline constexpr double clockwise_tolerance = 1e-6;
inline constexpr double equation_tolerance = 1e-50;

int& geometry_report_errors();

int round_to_int(double x);
// Truncated toward zero and held within the int range; NaN gives 0.
int truncate_to_int(double x);
// A running sum brought back to at most `wrap` by whole steps of `wrap`, as repeated
// subtraction would, without looping over huge sums; an infinite sum gives `wrap`.
double wrap_checksum(double sum, double wrap);
void vec_copy(vec3& destination, const vec3& source);
void vec_set(vec3& v, double x, double y, double z);
void vec_add(vec3& a, const vec3& b);
void vec_sub(vec3& a, const vec3& b);
void vec_scale(vec3& destination, double k, const vec3& source);
void vec_negate(vec3& v);
void vec_abs(vec3& v);
double vec_dot(const vec3& a, const vec3& b);
vec3 vec_cross(const vec3& a, const vec3& b);
double vec_length(const vec3& v);
double vec_square_distance(const vec3& a, const vec3& b);
double vec_distance(const vec3& a, const vec3& b);
int vec_normalize(vec3& v);
void copy4(double* destination, const double* source);
void copy6(double* destination, const double* source);
void copy9(double* destination, const double* source);
double deg_to_rad(double degrees);
double rad_to_deg(double radians);
double safe_acos(double x);
double safe_asin(double x);
double safe_sqrt(double x);
int log2_of_power_of_two(long n);

int is_point_in_cube(const vec3& p, const vec3& q, double d);
int is_point_in_float_cube(const vec3& p, const vec3& q, float d);
int is_plane_close(const plane& p, const plane& q, double d);
int are_rgb_bytes_close(const uint8_t* a, const uint8_t* b, int d);
int are_normal_bytes_close(const int8_t* a, const int8_t* b, int d);

void matrix_identity(mat4& m);
void matrix_copy(mat4& destination, const mat4& source);
void matrix_copy_rotation(mat4& destination, const mat4& source);
void matrix_multiply(mat4& out, const mat4& a, const mat4& b);
void matrix_multiply_in_place(mat4& a, const mat4& b);
void matrix_multiply_rotation(mat4& out, const mat4& a, const mat4& b);
void matrix_multiply_rotation_in_place(mat4& a, const mat4& b);
void matrix_set_translation(mat4& m, const vec3& t);
void matrix_translation(mat4& m, const vec3& t);
void matrix_scale(mat4& m, const vec3& s);
void matrix_rotation_x(mat4& m, double radians);
void matrix_rotation_y(mat4& m, double radians);
void matrix_rotation_z(mat4& m, double radians);
void matrix_rotation_z_cos_sin(mat4& m, double cosine, double sine);
// Rotation by degrees about the line through p1 and p2; -1 for a degenerate line.
int matrix_rotation_around_line(mat4& m, double degrees, const vec3& p1, const vec3& p2);

void mul_vec_mat2(vec3& p, const mat4& m);
void mul_vec_mat3(vec3& destination, const vec3& p, const mat4& m);
void vec_mul_mat(vec3& v, const mat4& m);
void vec_mul_rotation(vec3& destination, const vec3& v, const mat4& m);
double matrix3_determinant(const mat4& m);
int matrix3_inverse(mat4& out, const mat4& m);
int matrix_inverse(mat4& out, const mat4& m);

// Boxes: minimum x, y, z then maximum x, y, z.
void box_transform(double box[6], const mat4& m);
void box_union(double destination[6], const double a[6], const double b[6]);
void box_extend(double box[6], const double other[6]);
int repair_basis(vec3& axis1, vec3& axis2, vec3& axis3);

int points_to_plane(plane& p, const vec3& a, const vec3& b, const vec3& c);
int points_to_plane_unnormalized(plane& p, const vec3& a, const vec3& b, const vec3& c);
double plane_value(const plane& p, const vec3& point);
// 3 in front, 1 on (within tolerance), 2 behind.
int plane_point_relation(const plane& p, const vec3& point, double tolerance);
int plane_point_side(const plane& p, const vec3& point);
int get_line_plane_intersection(const plane& p, const vec3& a, const vec3& b, vec3& out);
int get_segment_plane_intersection(const plane& p, const vec3& a, const vec3& b, vec3& out);
int get_edge_plane_intersection(const plane& p, const double a[9], const double b[9], double out[9]);
int split_edge_by_plane(const plane& p, const double a[12], const double b[12], double out[12]);
int clip_edge_by_plane(const plane& p, const vec3& a, const vec3& b, vec3& out_a, vec3& out_b);
int transform_plane(plane& destination, const plane& p, const mat4& m);
int plane_get_reflected_direction(const vec3& direction, const plane& p, vec3& out);
int is_point_on_segment(const vec3& point, const vec3& a, const vec3& b);
double get_square_distance_between_point_and_line(const vec3& point, const vec3& a, const vec3& b);
int get_closest_point_on_line(const vec3& point, const vec3& a, const vec3& b, vec3& out);
int segment_box_intersection(const vec3& a, const vec3& b, const double box[6], vec3& out);
// Cramer's rule on rows (coefficients..., right-hand side) for order 2 or 3; -1 when singular.
int solve_equations(const double matrix[4][4], int order, double* out);
int is_clockwise(const vec3& a, const vec3& b, const vec3& c);
int is_clockwise_from_direction(const vec3& direction, const vec3& a, const vec3& b, const vec3& c);
double get_z_order_of_vectors(const vec3& u, const vec3& w);
double get_sin_of_vectors(const vec3& u, const vec3& w);
void get_drop_axis_perpendicular(const vec3& normal, vec3& out);

// Texture equations over vertex records; the type names the (u, v) pair: 0 (x, y), 1 (x, z), 2 (y, z).
int make_bm_equation(const double* v0, const double* v1, const double* v2, const vec3& normal,
                     int attribute, plane& out);
double get_bm_x_using_equation(const vec3& point, const plane& equation, int type);
