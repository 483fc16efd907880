// Clipping against a plane and projection of camera-space points.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/errors.h"
#include "platform/msgbox.h"
#include "world/poly_clip.h"

namespace {

class ClipTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat_message_box_set_headless(true);
        engine_set_speaker_mode(0);
    }
};

const plane x_positive{1, 0, 0, 0};  // keeps x >= 0

}  // namespace

TEST_F(ClipTest, KeepsFrontPartWithInterpolatedCrossings) {
    const std::vector<clip_point> square{{-1, 0, 0, 0, 0, 4}, {1, 0, 0, 1, 0, 8}, {1, 1, 0, 1, 1, 8}, {-1, 1, 0, 0, 1, 4}};
    std::vector<clip_point> out;
    ASSERT_EQ(clip_poly_plane(square, out, x_positive), 2);
    ASSERT_EQ(out.size(), 4u);
    // The crossing of the first edge, the two kept points, then the crossing of the third edge.
    EXPECT_DOUBLE_EQ(out[0].x, 0);
    EXPECT_DOUBLE_EQ(out[0].bitmap_x, 0.5);
    EXPECT_DOUBLE_EQ(out[0].brightness, 6);
    EXPECT_DOUBLE_EQ(out[1].x, 1);
    EXPECT_DOUBLE_EQ(out[2].y, 1);
    EXPECT_DOUBLE_EQ(out[3].x, 0);
    EXPECT_DOUBLE_EQ(out[3].y, 1);
}

TEST_F(ClipTest, CrossingsMixTheColoursOfTheirEdge) {
    const std::vector<clip_point> square{{-1, 0, 0, 0, 0, 4, 10, 20, 30},
                                         {1, 0, 0, 1, 0, 8, 50, 60, 70},
                                         {1, 1, 0, 1, 1, 8, 90, 100, 110},
                                         {-1, 1, 0, 0, 1, 4, 0, 0, 200}};
    std::vector<clip_point> out;
    ASSERT_EQ(clip_poly_plane(square, out, x_positive), 2);
    ASSERT_EQ(out.size(), 4u);
    const struct {
        size_t index;
        double red, green, blue, bitmap_y;
    } expected[] = {{0, 30, 40, 50, 0}, {1, 50, 60, 70, 0}, {2, 90, 100, 110, 1}, {3, 45, 50, 155, 1}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.index);
        EXPECT_DOUBLE_EQ(out[e.index].red, e.red);
        EXPECT_DOUBLE_EQ(out[e.index].green, e.green);
        EXPECT_DOUBLE_EQ(out[e.index].blue, e.blue);
        EXPECT_DOUBLE_EQ(out[e.index].bitmap_y, e.bitmap_y);
    }
}

TEST_F(ClipTest, ClosingEdgeIsClippedToo) {
    const std::vector<clip_point> triangle{{1, 0, 0, 0, 0, 0}, {1, 1, 0, 0, 0, 0}, {-1, 0.5, 0, 0, 0, 0}};
    std::vector<clip_point> out;
    ASSERT_EQ(clip_poly_plane(triangle, out, x_positive), 2);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_DOUBLE_EQ(out[3].x, 0);
    EXPECT_DOUBLE_EQ(out[3].y, 0.25);
}

TEST_F(ClipTest, NothingLeftCases) {
    struct nothing_case {
        const char* name;
        std::vector<clip_point> points;
    };
    const nothing_case cases[] = {
        {"all behind", {{-1, 0, 0, 0, 0, 0}, {-2, 0, 0, 0, 0, 0}, {-1, 1, 0, 0, 0, 0}}},
        {"all on the plane", {{0, 0, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0}, {0, 1, 1, 0, 0, 0}}},
        {"touching with one point", {{0, 0, 0, 0, 0, 0}, {-1, 1, 0, 0, 0, 0}, {-1, 0, 0, 0, 0, 0}}},
    };
    for (const nothing_case& c : cases) {
        std::vector<clip_point> out{{9, 9, 9, 9, 9, 9}};
        EXPECT_EQ(clip_poly_plane(c.points, out, x_positive), 1) << c.name;
        EXPECT_TRUE(out.empty()) << c.name;
    }
    std::vector<clip_point> out;
    EXPECT_EQ(clip_poly_plane({{1, 0, 0, 0, 0, 0}, {1, 1, 0, 0, 0, 0}}, out, x_positive), 1);
    EXPECT_EQ(std::string(engine_get_last_error()), "clip_poly_plane: less then 3 points in input poly");
}

TEST_F(ClipTest, ProjectionAndNearPlane) {
    camera c{};
    c.focal_length = -80;
    c.distance_from_eye = 4;
    c.width = 160;
    c.height = 120;
    c.middle_x = 80;
    c.middle_y = 60;
    c.parallel_scale_x = 2;
    c.parallel_scale_y = 3;
    const clip_point ahead[3] = {{-100, 50, 30, 0, 0, 0}, {-100, -50, -30, 0, 0, 0}, {-4.0001, 0, 0, 0, 0, 0}};
    projected_point out[3];
    ASSERT_EQ(project_poly(ahead, 3, out, &c, 1), 0);
    EXPECT_DOUBLE_EQ(out[0].x, 40);
    EXPECT_DOUBLE_EQ(out[0].y, 24);
    EXPECT_DOUBLE_EQ(out[1].x, -40);
    ASSERT_EQ(project_poly_parallel(ahead, 2, out, &c, 0), 0);
    EXPECT_DOUBLE_EQ(out[0].x, 100);
    EXPECT_DOUBLE_EQ(out[0].y, 90);

    const clip_point behind[3] = {{-100, 0, 0, 0, 0, 0}, {-3.9, 0, 0, 0, 0, 0}, {-100, 1, 0, 0, 0, 0}};
    EXPECT_EQ(project_poly(behind, 3, out, &c, 0), -1);
    EXPECT_EQ(std::string(engine_get_last_error()), "project_poly: x>back_plane in poly !");

    const clip_point off_picture[3] = {{-10, 50, 0, 0, 0, 0}, {-10, 0, 0, 0, 0, 0}, {-10, 1, 0, 0, 0, 0}};
    EXPECT_EQ(project_poly(off_picture, 3, out, &c, 0), 0) << "unchecked";
    EXPECT_EQ(project_poly(off_picture, 3, out, &c, 1), -1);
    EXPECT_EQ(std::string(engine_get_last_error()), "project_poly: BAD points");
    EXPECT_EQ(project_poly_parallel(off_picture, 3, out, &c, 1), -1);
    EXPECT_EQ(std::string(engine_get_last_error()), "project_poly_parallel: Bad points");
}

TEST_F(ClipTest, NearestDepth) {
    const clip_point points[3] = {{-10, 0, 0, 0, 0, 0}, {-4, 0, 0, 0, 0, 0}, {-7, 0, 0, 0, 0, 0}};
    EXPECT_DOUBLE_EQ(get_poly_max_x_value(points, 3), -4);
    EXPECT_DOUBLE_EQ(get_poly_max_x_value(points, 0), 0);
    EXPECT_EQ(std::string(engine_get_last_error()), "get_poly_max_x_value: num_of_points<=0");
}
