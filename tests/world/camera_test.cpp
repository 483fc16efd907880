// Cameras: the default camera, frustum planes against screen edges, field-of-view limits, unique
// names, aiming, angles, moves and the inverse matrix, parallel projection.
#include <cmath>

#include "../common/render_fixture.h"

namespace {

class Cameras : public RenderTest {
protected:
    camera* make(const char* name, int width, int height, double fov = 90, const vec3& direction = {-1, 0, 0}) {
        camera* c = camera_init(name, width, height, fov, 0, 0, {0, 0, 0}, direction, 4);
        if (c) camera_add_camera(c, &engine_state.cameras);
        return c;
    }

    // A camera-space point at depth 10 ahead that projects to screen (sx, sy).
    static vec3 ahead_at_screen(const camera* c, double sx, double sy) {
        const double x = -10;
        return {x, (sx - c->middle_x) * x / c->focal_length, (c->middle_y - sy) * x / c->focal_length};
    }

    static double side(const plane& p, const vec3& v) { return p.a * v.x + p.b * v.y + p.c * v.z + p.d; }

    static void expect_vec(const vec3& v, double x, double y, double z) {
        EXPECT_NEAR(v.x, x, 1e-12);
        EXPECT_NEAR(v.y, y, 1e-12);
        EXPECT_NEAR(v.z, z, 1e-12);
    }

    static void expect_inverse(const camera* c) {
        mat4 product;
        matrix_multiply(product, c->matrix, c->inverse_matrix);
        for (int r = 0; r < 4; ++r) {
            for (int k = 0; k < 4; ++k) EXPECT_NEAR(product.m[r][k], r == k ? 1 : 0, 1e-9) << r << "," << k;
        }
    }
};

TEST_F(Cameras, DefaultCameraConstants) {
    camera* c = camera_create_default_camera(&engine_state.cameras);
    ASSERT_TRUE(c);
    EXPECT_EQ(engine_state.cameras, c);
    EXPECT_STREQ(c->name, "default_camera");
    EXPECT_EQ(c->width, 100);
    EXPECT_EQ(c->height, 100);
    EXPECT_EQ(c->middle_x, 50);
    EXPECT_EQ(c->middle_y, 50);
    EXPECT_NEAR(c->focal_length, -50, 1e-12);
    EXPECT_DOUBLE_EQ(c->field_of_view, 90);
    EXPECT_DOUBLE_EQ(c->distance_from_eye, 4);
    EXPECT_EQ(c->own_culling_depth, 0);
    EXPECT_EQ(c->perspective, 1);
    EXPECT_EQ(c->matrices_valid, 1);
    EXPECT_EQ(c->track.next_point, 1);
    EXPECT_EQ(c->time_based, 1);
    EXPECT_EQ(c->chase.type, 0);
    EXPECT_DOUBLE_EQ(c->chase.softness, 0.1);
    EXPECT_STREQ(c->track.name, "NO_TRACK");
    vec3 x, y, z;
    camera_get_axes(c, x, y, z);
    expect_vec(x, 1, 0, 0);
    expect_vec(y, 0, 1, 0);
    expect_vec(z, 0, 0, 1);
    // Near plane 4 ahead of the eye, facing along the view; side planes through the eye.
    const plane& near = c->frustum_world[camera_near_plane];
    EXPECT_DOUBLE_EQ(near.a, -1);
    EXPECT_DOUBLE_EQ(near.d, -4);
    EXPECT_GT(side(near, {-5, 0, 0}), 0);
    EXPECT_LT(side(near, {-3, 0, 0}), 0);
    for (int i = camera_left_plane; i <= camera_bottom_plane; ++i) {
        const plane& p = c->frustum_world[i];
        EXPECT_NEAR(p.a * p.a + p.b * p.b + p.c * p.c, 1, 1e-12) << i;
        EXPECT_NEAR(p.d, 0, 1e-12) << i;
        EXPECT_GT(side(p, {-10, 0, 0}), 0) << "the view axis is inside plane " << i;
    }
    engine_state.adding_world = 1;
    EXPECT_EQ(camera_create_default_camera(&engine_state.cameras), nullptr);
    EXPECT_EQ(c->next, nullptr);
}

TEST_F(Cameras, OddWidthPlanesStandAtTheScreenEdges) {
    camera* c = make("odd", 101, 75);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->middle_x, 51);
    EXPECT_EQ(c->middle_y, 38);
    const plane* p = c->frustum_world;
    EXPECT_NEAR(side(p[camera_left_plane], ahead_at_screen(c, 0.001, 30)), 0, 1e-9);
    EXPECT_LT(side(p[camera_left_plane], ahead_at_screen(c, 0.0, 30)), 0);
    EXPECT_GT(side(p[camera_left_plane], ahead_at_screen(c, 0.002, 30)), 0);
    EXPECT_NEAR(side(p[camera_right_plane], ahead_at_screen(c, 100.999, 30)), 0, 1e-9);
    EXPECT_LT(side(p[camera_right_plane], ahead_at_screen(c, 101.0, 30)), 0);
    EXPECT_GT(side(p[camera_right_plane], ahead_at_screen(c, 100.99, 30)), 0);
    EXPECT_NEAR(side(p[camera_top_plane], ahead_at_screen(c, 50, 0.001)), 0, 1e-9);
    EXPECT_LT(side(p[camera_top_plane], ahead_at_screen(c, 50, 0)), 0);
    EXPECT_NEAR(side(p[camera_bottom_plane], ahead_at_screen(c, 50, 74.999)), 0, 1e-9);
    EXPECT_LT(side(p[camera_bottom_plane], ahead_at_screen(c, 50, 75)), 0);
}

TEST_F(Cameras, FieldOfViewLimits) {
    EXPECT_EQ(make("zero", 10, 10, 0), nullptr);
    EXPECT_EQ(make("flat", 10, 10, 180), nullptr);
    EXPECT_STREQ(engine_get_last_error(), "camera_init: illegal input params");
    camera* c = make("wide", 100, 100, 179.9);
    ASSERT_TRUE(c);
    EXPECT_EQ(camera_set_field_of_view(c, 0), -1);
    EXPECT_STREQ(engine_get_last_error(), "camera_set_field_of_view: angle<=0 || angle >=180");
    EXPECT_EQ(camera_set_field_of_view(c, 180), -1);
    EXPECT_DOUBLE_EQ(camera_get_field_of_view(c), 179.9);
    EXPECT_EQ(camera_set_field_of_view(c, 60), 0);
    EXPECT_EQ(c->matrices_valid, 0);
    EXPECT_NEAR(c->focal_length, -50 / std::tan(M_PI / 6), 1e-9);
    for (int i = 0; i < 30; ++i) camera_widen_field_of_view(c, 5);
    EXPECT_DOUBLE_EQ(camera_get_field_of_view(c), 179);
    for (int i = 0; i < 40; ++i) camera_narrow_field_of_view(c, 5);
    EXPECT_DOUBLE_EQ(camera_get_field_of_view(c), 1);
    camera_widen_field_of_view(c, 0);
    camera_narrow_field_of_view(c, -5);
    EXPECT_DOUBLE_EQ(camera_get_field_of_view(c), 1);
}

TEST_F(Cameras, UniqueNames) {
    ASSERT_TRUE(make("cab", 10, 10));
    ASSERT_TRUE(make("cab_7", 10, 10));
    ASSERT_TRUE(make("loco5", 10, 10));
    const std::pair<const char*, const char*> cases[] = {
        {"tower", "tower"}, {"cab", "cab_2"}, {"CAB", "CAB_2"}, {"cab_7", "cab_2"}, {"loco5", "loco5_2"},
    };
    for (const auto& [asked, given] : cases) {
        std::string name = asked;
        EXPECT_EQ(camera_find_unique_name(engine_state.cameras, name), 0);
        EXPECT_EQ(name, given) << asked;
    }
    camera* second = make("cab", 10, 10);
    camera* third = make("cab", 10, 10);
    ASSERT_TRUE(second && third);
    EXPECT_STREQ(second->name, "cab_2");
    EXPECT_STREQ(third->name, "cab_3");
    EXPECT_EQ(camera_find_by_name(engine_state.cameras, "CAB_3"), third);
    EXPECT_EQ(camera_list_remove(&engine_state.cameras, second), second);
    EXPECT_EQ(camera_list_remove(&engine_state.cameras, second), nullptr);
    EXPECT_EQ(camera_find_by_name(engine_state.cameras, "cab_2"), nullptr);
    camera_free(second);
}

TEST_F(Cameras, StraightUpOrDownAimsWithYAxis) {
    camera* up = make("up", 10, 10, 90, {0, 0, 5});
    camera* down = make("down", 10, 10, 90, {0, 0, -2});
    ASSERT_TRUE(up && down);
    vec3 x, y, z;
    camera_get_axes(up, x, y, z);
    expect_vec(x, 0, 0, -1);
    expect_vec(y, 0, 1, 0);
    expect_vec(z, 1, 0, 0);
    camera_get_axes(down, x, y, z);
    expect_vec(x, 0, 0, 1);
    expect_vec(y, 0, 1, 0);
    expect_vec(z, -1, 0, 0);
    expect_vec(camera_get_direction(down), 0, 0, -1);
    EXPECT_EQ(camera_set_direction(up, {0, 0, 0}), -1);
}

TEST_F(Cameras, InverseStaysTheInverseAfterMoves) {
    camera* c = make("mover", 64, 48, 70, {1, 2, 0.5});
    ASSERT_TRUE(c);
    expect_inverse(c);
    camera_move(c, {10, -3, 2}, 0);
    expect_inverse(c);
    camera_move(c, {1, 2, 3}, camera_space);
    expect_inverse(c);
    camera_rotate_z(c, 0.7, 0);
    camera_rotate_y(c, -0.3, camera_space);
    camera_rotate_x(c, 1.1, camera_space);
    expect_inverse(c);
    camera_set_location(c, {-100, 5, 7});
    camera_set_direction(c, {0, 1, -1});
    expect_inverse(c);
    camera_mark_rebuilt(c);
    // The eye lies on every side plane; the near plane stands distance-from-eye ahead.
    const vec3 eye = camera_get_location(c);
    for (int i = camera_left_plane; i <= camera_bottom_plane; ++i) EXPECT_NEAR(side(c->frustum_world[i], eye), 0, 1e-9);
    EXPECT_NEAR(side(c->frustum_world[camera_near_plane], eye), -4, 1e-9);
}

TEST_F(Cameras, MovesAndTurns) {
    camera* c = make("mover", 64, 48);
    ASSERT_TRUE(c);
    camera_move(c, {0, 0, 0}, 0);
    camera_rotate_x(c, 0, 0);
    EXPECT_EQ(c->matrices_valid, 1) << "a null move or turn changes nothing";
    camera_set_direction(c, {0, 1, 0});
    camera_move(c, {-2, 0, 0}, camera_space);  // two forward
    expect_vec(camera_get_location(c), 0, 2, 0);
    EXPECT_EQ(c->matrices_valid, 0);
    camera_rotate_z(c, M_PI / 2, 0);
    expect_vec(camera_get_location(c), 0, 2, 0);
    expect_vec(camera_get_direction(c), -1, 0, 0);
    expect_vec(camera_get_movement_target(c, {1, 0, 0}, 0), 1, 2, 0);
    expect_vec(camera_get_movement_target(c, {-1, 0, 0}, camera_space), -1, 2, 0);
}

TEST_F(Cameras, HeadTiltAndBank) {
    camera* c = make("looker", 64, 48);
    ASSERT_TRUE(c);
    EXPECT_NEAR(camera_get_head_angle(c), 0, 1e-9);
    for (double head : {-170.0, -90.0, 0.0, 45.0, 135.0}) {
        camera_set_head_angle(c, head);
        EXPECT_NEAR(camera_get_head_angle(c), head, 1e-9);
    }
    camera_set_head_angle(c, 90);
    expect_vec(camera_get_direction(c), 0, -1, 0);
    EXPECT_EQ(camera_set_tilt(c, 30), 0);
    EXPECT_NEAR(camera_get_tilt(c), 30, 1e-9);
    EXPECT_NEAR(camera_get_head_angle(c), 90, 1e-9) << "tilting keeps the heading";
    EXPECT_EQ(camera_set_tilt(c, 91), -1);
    EXPECT_STREQ(engine_get_last_error(), "camera_set_tilt: value must from -90 to 90");
    EXPECT_NEAR(camera_get_tilt(c), 30, 1e-9);
    camera_set_tilt(c, 0);
    camera_set_bank(c, 20);
    EXPECT_NEAR(camera_get_bank(c), 20, 1e-9);
    EXPECT_NEAR(camera_get_tilt(c), 0, 1e-9);
}

TEST_F(Cameras, AnglesOfSlightlyLongAxesAreNumbers) {
    camera* c = make("rounding", 64, 48);
    ASSERT_TRUE(c);
    ASSERT_EQ(camera_set_axes(c, {1 + 1e-15, 0, 0}, {0, 1 + 1e-15, 0}, {0, 0, 1}), 0);
    EXPECT_NEAR(camera_get_head_angle(c), 0, 1e-6);
    EXPECT_NEAR(camera_get_bank(c), 0, 1e-6);
    ASSERT_EQ(camera_set_axes(c, {0, 0, -1 - 1e-15}, {0, 1, 0}, {1, 0, 0}), 0);
    EXPECT_NEAR(camera_get_tilt(c), 90, 1e-6);
    EXPECT_EQ(camera_set_axes(c, {1, 0, 0}, {1, 0, 0}, {0, 0, 1}), -1) << "singular axes are refused";
    vec3 x, y, z;
    camera_get_axes(c, x, y, z);
    EXPECT_DOUBLE_EQ(y.y, 1);
}

TEST_F(Cameras, ResolutionAndRebuild) {
    camera* c = make("screen", 100, 100);
    ASSERT_TRUE(c);
    const plane marked{9, 9, 9, 9};
    c->frustum_world[camera_left_plane] = marked;
    EXPECT_EQ(camera_set_resolution(c, 100, 100), 0);
    EXPECT_DOUBLE_EQ(c->frustum_world[camera_left_plane].a, 9) << "same size, valid matrices: no work";
    EXPECT_EQ(camera_set_resolution(c, -1, 100), -1);
    EXPECT_EQ(camera_set_resolution(c, 200, 50), 0);
    EXPECT_EQ(c->middle_x, 100);
    EXPECT_EQ(c->middle_y, 25);
    EXPECT_NEAR(c->focal_length, -100, 1e-9);
    EXPECT_NE(c->frustum_world[camera_left_plane].a, 9);
    int w = 0, h = 0;
    camera_get_resolution(c, &w, &h);
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 50);

    EXPECT_EQ(camera_rebuild(c, 100, 100, 90, 1, 500, {1, 2, 3}, {0, -1, 0}, 0), -1);
    EXPECT_STREQ(engine_get_last_error(), "camera_rebuild: illegal input params");
    EXPECT_EQ(c->width, 200) << "a refused rebuild changes nothing";
    EXPECT_EQ(camera_rebuild(c, 100, 100, 90, 1, 500, {1, 2, 3}, {0, -1, 0}, 2), 0);
    EXPECT_EQ(c->matrices_valid, 1);
    EXPECT_DOUBLE_EQ(camera_get_culling_depth(c), 500);
    expect_vec(camera_get_location(c), 1, 2, 3);
    expect_vec(camera_get_direction(c), 0, -1, 0);
    EXPECT_DOUBLE_EQ(c->frustum_camera[camera_near_plane].d, -2);
}

TEST_F(Cameras, ParallelProjection) {
    camera* c = make("plan", 101, 100);
    ASSERT_TRUE(c);
    c->perspective = 0;
    c->parallel_width = 200;
    c->parallel_height = 50;
    ASSERT_EQ(camera_rebuild(c, 101, 100, 90, 0, 0, {0, 0, 0}, {-1, 0, 0}, 4), 0);
    EXPECT_DOUBLE_EQ(c->parallel_scale_x, 0.5) << "100 (lowest bit cleared) / 200";
    EXPECT_DOUBLE_EQ(c->parallel_scale_y, 2);
    const plane& left = c->frustum_world[camera_left_plane];
    EXPECT_DOUBLE_EQ(left.b, 1);
    EXPECT_NEAR(left.d, 99.999, 1e-9);
    EXPECT_NEAR(c->frustum_world[camera_top_plane].d, 24.999, 1e-9);
}

TEST_F(Cameras, ParallelCameraWithoutExtentKeepsItsPlanes) {
    camera* c = make("plan", 100, 100);
    ASSERT_TRUE(c);
    const plane before = c->frustum_camera[camera_left_plane];
    c->perspective = 0;
    c->parallel_width = 0;
    c->parallel_height = 50;
    const int errors = engine_get_error_count();
    EXPECT_EQ(camera_rebuild(c, 100, 100, 90, 0, 0, {0, 0, 0}, {-1, 0, 0}, 4), 0);
    EXPECT_EQ(engine_get_error_count(), errors + 1);
    EXPECT_STREQ(engine_get_last_error(), "init_frustum_vs_planes: parallel width or height <= 0 !");
    EXPECT_DOUBLE_EQ(c->frustum_camera[camera_left_plane].a, before.a);
    EXPECT_DOUBLE_EQ(c->frustum_camera[camera_left_plane].b, before.b);
    EXPECT_TRUE(std::isfinite(c->parallel_scale_x));
}

TEST_F(Cameras, SpeedAndSavedValues) {
    camera* c = make("runner", 64, 48);
    ASSERT_TRUE(c);
    camera_set_absolute_speed(c, 3);
    EXPECT_DOUBLE_EQ(c->speed[0], 3) << "a resting camera speeds up along x";
    camera_set_speed(c, {0, 3, 4});
    EXPECT_DOUBLE_EQ(c->absolute_speed, 5);
    camera_set_absolute_speed(c, 10);
    EXPECT_DOUBLE_EQ(c->speed[1], 6);
    EXPECT_DOUBLE_EQ(c->speed[2], 8);
    camera_values v{};
    EXPECT_EQ(camera_save_values(c, nullptr), -1);
    ASSERT_EQ(camera_save_values(c, &v), 0);
    EXPECT_EQ(v.width, 64);
    EXPECT_DOUBLE_EQ(v.distance_from_eye, 4);
    EXPECT_DOUBLE_EQ(v.x_axis.x, 1);
    EXPECT_DOUBLE_EQ(v.absolute_speed, 10);
}

TEST_F(Cameras, NextTrackPoint) {
    double points[9] = {0, 0, 0, 10, 0, 5, 20, 0, 9};
    jtrack track{};
    track.points = points;
    track.point_count = 3;
    camera* c = make("rider", 64, 48);
    ASSERT_TRUE(c);
    EXPECT_EQ(camera_get_next_track_point(c), 0) << "no track";
    c->track.line = &track;
    camera_set_location(c, {1, 0, 0});
    EXPECT_EQ(camera_get_next_track_point(c), 1);
    camera_reset_track_target(c);
    EXPECT_DOUBLE_EQ(c->track.target[0], 1);
    EXPECT_DOUBLE_EQ(c->track.target[2], 5);
    camera_set_location(c, {19, 0, 0});
    EXPECT_EQ(camera_get_next_track_point(c), 0) << "past the last point";
    c->track.line = nullptr;
}

}  // namespace
