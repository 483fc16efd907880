// The math exports on caller arrays: planes, segments, lines, orientation and vectors.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "drovik.h"
#include "foundation/errors.h"
#include "platform/msgbox.h"

namespace {

class MathApi : public ::testing::Test {
protected:
    void SetUp() override { plat_message_box_set_headless(true); }
    // The error reporter's count moved by the call.
    template <typename F>
    int reports_of(F&& call) {
        const int before = engine_get_error_count();
        call();
        return engine_get_error_count() - before;
    }
};

TEST_F(MathApi, PlaneThroughThreePointsAndCollinearPoints) {
    const double o[3] = {0, 0, 0}, x[3] = {1, 0, 0}, y[3] = {0, 1, 0}, x2[3] = {2, 0, 0};
    double plane[4] = {9, 9, 9, 9};
    EXPECT_EQ(Drovik_math_points_to_plane(plane, o, x, y), 0);
    EXPECT_DOUBLE_EQ(plane[0], 0);
    EXPECT_DOUBLE_EQ(plane[1], 0);
    EXPECT_DOUBLE_EQ(plane[2], -1);
    EXPECT_DOUBLE_EQ(plane[3], 0);
    double flat[4] = {9, 9, 9, 9};
    EXPECT_EQ(Drovik_math_points_to_plane(flat, o, x, x2), -1);
    EXPECT_DOUBLE_EQ(flat[3], 0);
    EXPECT_DOUBLE_EQ(flat[0], 9);
}

TEST_F(MathApi, SegmentsAgainstAPlane) {
    const double floor[4] = {0, 0, 1, 0};
    struct segment_case {
        const char* what;
        double p1[3], p2[3];
        int result;
        double out[3];
    };
    const segment_case cases[] = {
        {"lying in the plane", {1, 2, 0}, {3, 4, 0}, 0, {1, 2, 0}},
        {"parallel above it", {1, 2, 5}, {3, 4, 5}, 0, {1, 2, 5}},
        {"starting on it (t = 0)", {0, 0, 0}, {0, 0, 5}, 1, {0, 0, 0}},
        {"ending on it (t = 1)", {1, 1, -5}, {1, 1, 0}, 1, {1, 1, 0}},
        {"crossing it", {0, 0, -1}, {2, 0, 1}, 1, {1, 0, 0}},
        {"short of it (t = -1)", {0, 0, 1}, {0, 0, 2}, 0, {0, 0, 0}},
    };
    for (const segment_case& c : cases) {
        double out[3] = {7, 7, 7};
        EXPECT_EQ(Drovik_math_does_segment_intersect_plane(floor, c.p1, c.p2, out), c.result) << c.what;
        for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(out[i], c.out[i]) << c.what;
    }
}

TEST_F(MathApi, PlanePointRelations) {
    const double floor[4] = {0, 0, 1, -2};
    const double on[3] = {5, 5, 2}, above[3] = {0, 0, 2.5}, below[3] = {0, 0, 1.5};
    EXPECT_EQ(Drovik_math_get_plane_point_relations(floor, on, 0), 1);
    EXPECT_EQ(Drovik_math_get_plane_point_relations(floor, above, 0), 3);
    EXPECT_EQ(Drovik_math_get_plane_point_relations(floor, below, 0), 2);
    EXPECT_EQ(Drovik_math_get_plane_point_relations(floor, above, 0.5), 1);
}

TEST_F(MathApi, Orientation) {
    const double a[3] = {0, 0, 0}, b[3] = {1, 0, 0}, c[3] = {1, 1, 0};
    EXPECT_EQ(Drovik_math_is_clockwise(c, b, a), 1);
    EXPECT_EQ(Drovik_math_is_clockwise(a, b, c), 0);
    EXPECT_EQ(reports_of([&] { EXPECT_EQ(Drovik_math_is_clockwise(a, a, a), 0); }), 1);
    EXPECT_STREQ(engine_get_last_error(), "is_clockwise: bad points !\n");
    // The plane through a, b, c faces (0, 0, -1).
    const double up[3] = {0, 0, 1}, down[3] = {0, 0, -1};
    EXPECT_EQ(Drovik_math_is_clockwise_from_direction(up, a, b, c), 1);
    EXPECT_EQ(Drovik_math_is_clockwise_from_direction(down, a, b, c), 0);
}

TEST_F(MathApi, Vectors) {
    double zero[3] = {0, 0, 0};
    EXPECT_EQ(Drovik_math_normalize_vector(zero), -1);
    EXPECT_DOUBLE_EQ(zero[0], 0);
    double v[3] = {3, 0, 4};
    EXPECT_DOUBLE_EQ(Drovik_math_get_vector_length(v), 5);
    EXPECT_EQ(Drovik_math_normalize_vector(v), 0);
    EXPECT_DOUBLE_EQ(v[0], 0.6);
    EXPECT_DOUBLE_EQ(v[2], 0.8);
    double a[3] = {1, 0, 0};
    const double b[3] = {0, 1, 0};
    EXPECT_EQ(Drovik_math_cross(a, b, a), a);  // written after computing, so into its own input
    EXPECT_DOUBLE_EQ(a[0], 0);
    EXPECT_DOUBLE_EQ(a[1], 0);
    EXPECT_DOUBLE_EQ(a[2], 1);
    EXPECT_EQ(Drovik_math_cross(a, nullptr, a), nullptr);
    EXPECT_DOUBLE_EQ(Drovik_math_product(a, nullptr), 0);
    const double p[3] = {1, 2, 3}, q[3] = {4, 6, 3};
    EXPECT_DOUBLE_EQ(Drovik_math_product(p, q), 25);
    EXPECT_DOUBLE_EQ(Drovik_math_get_square_distance(p, q), 25);
    EXPECT_DOUBLE_EQ(Drovik_math_get_distance(p, q), 5);
    const double direction[3] = {2, -2, 0}, normal[3] = {0, 3, 0};
    double out[3];
    EXPECT_EQ(Drovik_math_get_reflected_direction(direction, normal, out), 0);
    EXPECT_NEAR(out[0], std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(out[1], std::sqrt(0.5), 1e-12);
    EXPECT_EQ(Drovik_math_get_reflected_direction(zero, normal, out), -1);
}

TEST_F(MathApi, PointsAndLines) {
    const double p1[3] = {0, 0, 0}, p2[3] = {0.1, 0.7, 0.3};
    const double on[3] = {0.3, 2.1, 0.9}, off[3] = {0, 0, 5};
    const double distance = Drovik_math_get_distance_between_point_and_line(on, p1, p2);
    EXPECT_GE(distance, 0);
    EXPECT_LT(distance, 1e-12);
    const double side_line_end[3] = {1, 0, 0};
    EXPECT_DOUBLE_EQ(Drovik_math_get_distance_between_point_and_line(off, p1, side_line_end), 5);
    double foot[3] = {7, 7, 7};
    EXPECT_EQ(Drovik_math_get_closest_point_on_line(off, p1, side_line_end, foot), 0);
    EXPECT_DOUBLE_EQ(foot[2], 0);
    // A line of two equal points.
    EXPECT_EQ(reports_of([&] { EXPECT_EQ(Drovik_math_get_distance_between_point_and_line(off, p1, p1), 1e300); }), 2);
    // The last error keeps the first 59 characters.
    EXPECT_STREQ(engine_get_last_error(), "Drovik_math_get_distance_between_point_and_line: internal e");
    EXPECT_EQ(reports_of([&] { EXPECT_EQ(Drovik_math_get_closest_point_on_line(off, p1, p1, foot), -1); }), 1);
    EXPECT_STREQ(engine_get_last_error(), "get_square_distance_between_point_and_line: illegal line\n");
    for (double v : foot) EXPECT_DOUBLE_EQ(v, 0);
    const double middle[3] = {0.05, 0.35, 0.15};
    EXPECT_EQ(Drovik_math_is_point_on_segment(middle, p1, p2), 1);
    EXPECT_EQ(Drovik_math_is_point_on_segment(on, p1, p2), 0);
}

}  // namespace
