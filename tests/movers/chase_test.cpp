// Chase keywords and the chase steps of dynamic objects.
#include "../world/world_fixture.h"
#include "world/chase.h"
#include "world/track.h"

namespace {

class Chase : public WorldTest {
protected:
    void TearDown() override {
        track_delete_all(&engine_state.tracks);
        WorldTest::TearDown();
    }
};

struct keyword_case {
    const char* text;
    int code;
    int fall_flag;
    double height;
    const char* written;
};

TEST_F(Chase, KeywordsConvertBothWays) {
    const keyword_case cases[] = {
        {"chase_track_airplane_FALL20", CHASE_TRACK_AIRPLANE, 1, 20, "CHASE_TRACK_AIRPLANE_FALL20"},
        {"CHASE_TRACK_fall2.5", CHASE_TRACK, 1, 2.5, "CHASE_TRACK_FALL2.5"},
        {"Chase_Location", CHASE_LOCATION, 0, 0, "CHASE_LOCATION"},
        {"CHASE_PRECISE", CHASE_PRECISE, 0, 0, "CHASE_PRECISE"},
        {"CHASE_FLEXIBLE", CHASE_FLEXIBLE, 0, 0, "CHASE_FLEXIBLE"},
        {"CHASE_PHYSICS", CHASE_PHYSICS, 0, 0, "CHASE_PHYSICS"},
        {"NO_CHASE", NO_CHASE, 0, 0, "NO_CHASE"},
    };
    for (const keyword_case& c : cases) {
        double height = 0;
        int flag = 0;
        EXPECT_EQ(chase_convert_string_to_number(c.text, &height, &flag), c.code) << c.text;
        EXPECT_EQ(flag, c.fall_flag) << c.text;
        EXPECT_DOUBLE_EQ(height, c.height) << c.text;
        EXPECT_EQ(chase_convert_number_to_string(c.code, flag, height), c.written) << c.text;
    }
}

TEST_F(Chase, AirplaneBanksTowardTenTimesTheHeadingChange) {
    // Heading 179 degrees, then a kink to -179: a change of +2 degrees, target bank -20.
    const double kink = 100 * std::tan(1 * M_PI / 180);
    const double points[] = {0, 0, 0, 100, -kink, 0, 200, 0, 0};
    dynamic_object* plane = dynamic_create("plane");
    plane->track.line = track_create(&engine_state.tracks, "air", 0, points, 3);
    dynamic_set_direction(plane, {100, -kink, 0});
    EXPECT_NEAR(dynamic_get_head(plane), 179, 1e-9);
    plane->absolute_speed = 150;
    dynamic_trace_track_airplane(plane);
    EXPECT_EQ(plane->track.next_point, 2);
    // A tenth of the way from level to the target.
    EXPECT_NEAR(dynamic_get_bank(plane), -2, 1e-6);
}

TEST_F(Chase, PreciseWithSoftnessOneTakesTheTargetsAxes) {
    dynamic_object* target = dynamic_create("target");
    dynamic_rotate_z(target, M_PI / 2, space_object);
    dynamic_set_location(target, {10, 20, 30});
    dynamic_object* chaser = dynamic_create("chaser");
    chaser->chase.chased_object = target;
    chaser->chase.softness = 1;
    chaser->chase.distance = 5;
    chaser->chase.offset[2] = 1;
    dynamic_trace_precise(chaser);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(chaser->axis_system.m[r][c], target->axis_system.m[r][c], 1e-12);
    }
    const vec3 at = dynamic_get_location(chaser);
    // Five units along the target's x axis (world y), raised by the offset.
    EXPECT_NEAR(at.x, 10, 1e-9);
    EXPECT_NEAR(at.y, 25, 1e-9);
    EXPECT_NEAR(at.z, 31, 1e-9);
}

TEST_F(Chase, LocationChaseFollowsTheTargetAndResetsAxes) {
    dynamic_object* target = dynamic_create("target");
    dynamic_set_location(target, {1, 2, 3});
    dynamic_object* chaser = dynamic_create("chaser");
    dynamic_rotate_z(chaser, 1, space_object);
    chaser->chase.chased_object = target;
    chaser->chase.offset[0] = 4;
    dynamic_trace_location(chaser);
    const vec3 at = dynamic_get_location(chaser);
    EXPECT_DOUBLE_EQ(at.x, 5);
    EXPECT_DOUBLE_EQ(at.y, 2);
    EXPECT_DOUBLE_EQ(chaser->axis_system.m[0][0], 1);
    EXPECT_DOUBLE_EQ(chaser->axis_system.m[0][1], 0);
}

}  // namespace
