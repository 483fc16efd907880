// Geometry: row-vector matrices, inverses, planes, intersections and equation solving.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "foundation/geometry.h"
#include "work_dir.h"

namespace {

constexpr double pi = 3.14159265358979323846;

void expect_near(const vec3& v, double x, double y, double z) {
    EXPECT_NEAR(v.x, x, 1e-9);
    EXPECT_NEAR(v.y, y, 1e-9);
    EXPECT_NEAR(v.z, z, 1e-9);
}

TEST(Matrices, ApplyToRowVectorsWithTheTranslationInTheLastRow) {
    mat4 rotate;
    matrix_rotation_z(rotate, pi / 2);
    mat4 move;
    matrix_translation(move, {10, 0, 0});
    mat4 both;
    matrix_multiply(both, rotate, move);  // rotate first, then move
    vec3 p{1, 0, 0};
    mul_vec_mat2(p, both);
    expect_near(p, 10, 1, 0);
    vec3 axis{1, 0, 0};
    vec_mul_mat(axis, both);
    expect_near(axis, 0, 1, 0);

    mat4 rx;
    matrix_rotation_x(rx, pi / 2);
    vec3 y{0, 1, 0};
    vec_mul_mat(y, rx);
    expect_near(y, 0, 0, 1);
    mat4 ry;
    matrix_rotation_y(ry, pi / 2);
    vec3 z{0, 0, 1};
    vec_mul_mat(z, ry);
    expect_near(z, 1, 0, 0);
}

TEST(Matrices, InverseUndoesRotationAndTranslation) {
    mat4 m;
    matrix_rotation_y(m, 0.7);
    mat4 r;
    matrix_rotation_x(r, -0.3);
    matrix_multiply_in_place(m, r);
    matrix_set_translation(m, {3, -4, 5});
    mat4 inverse;
    ASSERT_EQ(matrix_inverse(inverse, m), 0);
    vec3 p{1, 2, 3};
    mul_vec_mat3(p, p, m);
    mul_vec_mat3(p, p, inverse);
    expect_near(p, 1, 2, 3);
    mat4 flat;
    matrix_scale(flat, {1, 0, 1});
    EXPECT_EQ(matrix_inverse(inverse, flat), -1);
}

TEST(Matrices, RotationAroundALineKeepsTheLineFixed) {
    mat4 m;
    ASSERT_EQ(matrix_rotation_around_line(m, 90, {1, 1, 0}, {1, 1, 5}), 0);
    vec3 on{1, 1, 3};
    mul_vec_mat3(on, on, m);
    expect_near(on, 1, 1, 3);
    vec3 off{2, 1, 0};
    mul_vec_mat3(off, off, m);
    expect_near(off, 1, 2, 0);
    EXPECT_EQ(matrix_rotation_around_line(m, 90, {1, 1, 1}, {1, 1, 1}), -1);
}

TEST(Matrices, HomogeneousDivisionByZeroKeepsTheUndividedResult) {
    temp_work_dir work;
    engine_set_speaker_mode(0);
    mat4 m;
    matrix_identity(m);
    m.m[3][3] = 0;
    vec3 p{1, 2, 3};
    mul_vec_mat2(p, m);
    expect_near(p, 1, 2, 3);
    EXPECT_STREQ(engine_get_last_error(), "mul_vec_mat2: devision by zero\n");
    vec3 q;
    mul_vec_mat3(q, {4, 5, 6}, m);
    expect_near(q, 4, 5, 6);
    EXPECT_STREQ(engine_get_last_error(), "mul_vec_mat3: devision by zero\n");
}

TEST(Planes, ThreePointsGiveAUnitNormalAndSidesFollowIt) {
    plane p;
    ASSERT_EQ(points_to_plane(p, {0, 0, 2}, {1, 0, 2}, {1, 1, 2}), 0);
    EXPECT_NEAR(p.a, 0, 1e-12);
    EXPECT_NEAR(p.b, 0, 1e-12);
    EXPECT_NEAR(p.c, -1, 1e-12);
    EXPECT_NEAR(p.d, 2, 1e-12);
    EXPECT_EQ(plane_point_relation(p, {5, 5, 0}, 1e-6), 3);
    EXPECT_EQ(plane_point_relation(p, {5, 5, 2}, 1e-6), 1);
    EXPECT_EQ(plane_point_relation(p, {5, 5, 3}, 1e-6), 2);
    plane q{0, 0, 0, 7};
    EXPECT_EQ(points_to_plane(q, {0, 0, 0}, {1, 1, 1}, {2, 2, 2}), -1);
    EXPECT_EQ(q.d, 0);
}

TEST(Planes, SegmentsCrossOnlyBetweenTheirEnds) {
    const plane ground{0, 0, 1, 0};
    vec3 out;
    EXPECT_EQ(get_segment_plane_intersection(ground, {0, 0, 1}, {2, 0, -1}, out), 2);
    expect_near(out, 1, 0, 0);
    EXPECT_EQ(get_segment_plane_intersection(ground, {0, 0, 1}, {0, 0, 2}, out), 1);
    EXPECT_EQ(get_line_plane_intersection(ground, {0, 0, 1}, {0, 0, 2}, out), 2);
    expect_near(out, 0, 0, 0);
    EXPECT_EQ(get_line_plane_intersection(ground, {0, 0, 1}, {5, 0, 1}, out), 1);
    vec3 a;
    vec3 b;
    EXPECT_EQ(clip_edge_by_plane(ground, {0, 0, -1}, {0, 0, -2}, a, b), 1);
    EXPECT_EQ(clip_edge_by_plane(ground, {0, 0, 1}, {0, 0, 2}, a, b), 2);
    EXPECT_EQ(clip_edge_by_plane(ground, {0, 0, -1}, {0, 0, 3}, a, b), 3);
    expect_near(a, 0, 0, 0);
    expect_near(b, 0, 0, 3);
    double e1[9] = {0, 0, 1, 10, 20, 0, 0, 0, 0};
    double e2[9] = {0, 0, -1, 30, 40, 0, 0, 0, 0};
    double mid[9];
    EXPECT_EQ(get_edge_plane_intersection(ground, e1, e2, mid), 2);
    EXPECT_NEAR(mid[3], 20, 1e-12);
    EXPECT_NEAR(mid[4], 30, 1e-12);
}

TEST(Planes, TransformedPlanesKeepTheirOrientation) {
    const plane ground{0, 0, 1, -2};  // z = 2, front upwards
    mat4 m;
    matrix_rotation_x(m, pi / 2);
    matrix_set_translation(m, {0, 0, 1});
    plane moved;
    ASSERT_EQ(transform_plane(moved, ground, m), 0);
    // The point (0, 0, 3) lies in front of the original; it must stay in front after moving.
    vec3 front{0, 0, 3};
    mul_vec_mat3(front, front, m);
    EXPECT_EQ(plane_point_relation(moved, front, 1e-9), 3);
    vec3 on{4, 5, 2};
    mul_vec_mat3(on, on, m);
    EXPECT_EQ(plane_point_relation(moved, on, 1e-9), 1);
    vec3 mirrored;
    ASSERT_EQ(plane_get_reflected_direction({1, 0, -1}, ground, mirrored), 0);
    expect_near(mirrored, 1, 0, 1);
}

TEST(Lines, PointsOnSegmentsAndDistancesToLines) {
    EXPECT_EQ(is_point_on_segment({1, 1, 0}, {0, 0, 0}, {2, 2, 0}), 1);
    EXPECT_EQ(is_point_on_segment({3, 3, 0}, {0, 0, 0}, {2, 2, 0}), 0);
    EXPECT_EQ(is_point_on_segment({1, 1.5, 0}, {0, 0, 0}, {2, 2, 0}), 0);
    EXPECT_EQ(is_point_on_segment({2, 2, 2}, {2, 2, 2}, {2, 2, 2}), 1);
    EXPECT_NEAR(get_square_distance_between_point_and_line({0, 3, 0}, {-1, 0, 0}, {1, 0, 0}), 9, 1e-12);
    temp_work_dir work;
    engine_set_speaker_mode(0);
    EXPECT_EQ(get_square_distance_between_point_and_line({0, 3, 0}, {1, 0, 0}, {1, 0, 0}), -1);
    EXPECT_STREQ(engine_get_last_error(), "get_square_distance_between_point_and_line: illegal line\n");
}

TEST(Boxes, SegmentsEnterThroughTheFirstFaceInOrder) {
    const double box[6] = {0, 0, 0, 10, 10, 10};
    vec3 out;
    EXPECT_EQ(segment_box_intersection({15, 5, 5}, {5, 5, 5}, box, out), 1);
    expect_near(out, 10, 5, 5);
    // Through the box: the face met first from the start, whichever side it is.
    EXPECT_EQ(segment_box_intersection({-5, 5, 5}, {15, 5, 5}, box, out), 1);
    expect_near(out, 0, 5, 5);
    EXPECT_EQ(segment_box_intersection({15, 15, 15}, {20, 20, 20}, box, out), 0);
    double turned[6] = {0, 0, 0, 1, 2, 3};
    mat4 m;
    matrix_rotation_z(m, pi);
    box_transform(turned, m);
    EXPECT_NEAR(turned[0], -1, 1e-12);
    EXPECT_NEAR(turned[1], -2, 1e-12);
    EXPECT_NEAR(turned[3], 0, 1e-12);
    EXPECT_NEAR(turned[5], 3, 1e-12);
}

TEST(Equations, CramersRuleForTwoAndThreeUnknowns) {
    const double two[4][4] = {{2, 1, 5, 0}, {1, -1, 1, 0}};
    double out[3];
    ASSERT_EQ(solve_equations(two, 2, out), 0);
    EXPECT_NEAR(out[0], 2, 1e-12);
    EXPECT_NEAR(out[1], 1, 1e-12);
    const double three[4][4] = {{1, 1, 1, 6}, {0, 2, 5, -4}, {2, 5, -1, 27}};
    ASSERT_EQ(solve_equations(three, 3, out), 0);
    EXPECT_NEAR(out[0], 5, 1e-9);
    EXPECT_NEAR(out[1], 3, 1e-9);
    EXPECT_NEAR(out[2], -2, 1e-9);
    const double singular[4][4] = {{1, 2, 3, 0}, {2, 4, 6, 0}};
    EXPECT_EQ(solve_equations(singular, 2, out), -1);
    temp_work_dir work;
    engine_set_speaker_mode(0);
    EXPECT_EQ(solve_equations(three, 4, out), -1);
    EXPECT_STREQ(engine_get_last_error(), "solve_equations: unsupported order");
}

TEST(Orientation, ClockwiseTestsFallBackThroughTheAxes) {
    EXPECT_EQ(is_clockwise({0, 1, 0}, {0, 0, 0}, {1, 0, 0}), 0);
    EXPECT_EQ(is_clockwise({1, 0, 0}, {0, 0, 0}, {0, 1, 0}), 1);
    EXPECT_EQ(is_clockwise({0, 0, 1}, {0, 0, 0}, {0, 1, 0}), 0);
    temp_work_dir work;
    engine_set_speaker_mode(0);
    EXPECT_EQ(is_clockwise({0, 0, 0}, {1, 1, 1}, {2, 2, 2}), 0);
    EXPECT_STREQ(engine_get_last_error(), "is_clockwise: bad points !\n");
}

TEST(Small, RoundingPowersAndRepairedBases) {
    EXPECT_EQ(round_to_int(2.5), 3);
    EXPECT_EQ(round_to_int(-2.5), -2);
    EXPECT_EQ(round_to_int(1e300), INT_MAX);
    EXPECT_EQ(log2_of_power_of_two(256), 8);
    EXPECT_EQ(log2_of_power_of_two(100), -1);
    EXPECT_DOUBLE_EQ(safe_acos(1.0000001), 0);
    vec3 a{2, 0, 0}, b{0, 0, 0}, c{0, 0, 3};
    ASSERT_EQ(repair_basis(a, b, c), 0);
    expect_near(a, 1, 0, 0);
    expect_near(b, 0, 1, 0);
    expect_near(c, 0, 0, 1);
    vec3 z1{0, 0, 0}, z2{0, 0, 0};
    EXPECT_EQ(repair_basis(a, z1, z2), -1);
    vec3 perpendicular;
    get_drop_axis_perpendicular({0.2, 0.9, 0.1}, perpendicular);
    EXPECT_NEAR(vec_dot(perpendicular, {0.2, 0.9, 0.1}), 0, 1e-12);
}

TEST(TextureEquations, GiveTheAttributeAtAnyPointOfThePolygon) {
    // A floor (normal z): type 0 over (x, y); the attribute grows by 3 per unit of x.
    const double v0[9] = {0, 0, 0, 0};
    const double v1[9] = {1, 0, 0, 3};
    const double v2[9] = {0, 1, 0, 0};
    plane equation;
    ASSERT_EQ(make_bm_equation(v0, v1, v2, {0, 0, 1}, 3, equation), 0);
    EXPECT_NEAR(get_bm_x_using_equation({2, 7, 0}, equation, 0), 6, 1e-12);
    EXPECT_EQ(make_bm_equation(v0, v1, v2, {0, 1, 0}, 3, equation), -1) << "points collapse onto x-z";
    temp_work_dir work;
    engine_set_speaker_mode(0);
    EXPECT_EQ(get_bm_x_using_equation({0, 0, 0}, equation, -1), 0);
    EXPECT_STREQ(engine_get_last_error(), "get_bm_x_using_equation: invalid equation_type\n");
}

TEST(Failures, EachReportsItsOwnLine) {
    temp_work_dir work;
    engine_set_speaker_mode(0);
    ASSERT_EQ(open_log_files(), 0);
    mat4 m;
    matrix_identity(m);
    const plane flat{0, 0, 0, 1};
    plane out_plane;
    vec3 out;
    struct {
        std::function<bool()> fails;
        const char* line;
    } cases[] = {
        {[&] { return transform_plane(out_plane, flat, m) == -1; }, "transform_plane: illegal normal !!\n"},
        {[&] { return plane_get_reflected_direction({1, 0, 0}, flat, out) == -1; },
         "plane_get_reflected_direction: internal error\n"},
        {[&] { return matrix_rotation_around_line(m, 90, {1, 1, 1}, {1, 1, 1}) == -1; },
         "Drovik_group_rotate_around_line: failed inverting the matrix\n"},
        {[] { return get_z_order_of_vectors({1, 0, 1}, {0, 1, 0}) == 0; },
         "get_z_order_of_vectors: unsopurted case I have to add some code to deal with it\n"},
        {[&] { return get_bm_x_using_equation({0, 0, 0}, flat, 0) == 0; },
         "get_bm_x_using_equation: bad equation\n"},
        {[&] { return get_closest_point_on_line({0, 0, 0}, {2, 2, 2}, {2, 2, 2}, out) == -1; },
         "get_square_distance_between_point_and_line: illegal line\n"},
    };
    size_t seen = read_file(work.dir() / "error.log").size();
    for (const auto& c : cases) {
        EXPECT_TRUE(c.fails()) << c.line;
        const std::string errors = read_file(work.dir() / "error.log");
        EXPECT_EQ(errors.substr(std::min(seen, errors.size())), c.line);
        seen = errors.size();
    }
}

}  // namespace
