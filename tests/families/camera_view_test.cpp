// The camera exports over window pixels, the chase type and movement steps, and the 3D card
// switches without a card.
#include <gtest/gtest.h>

#include <string>

#include "family_fixture.h"
#include "world/chase.h"

namespace {

double out3[3];

const family_row camera_rows[] = {
    {"Drovik_camera_set_current", "Drovik_camera_set_current", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_current(h, nullptr)); }},
    {"Drovik_camera_point_at_2D", "Drovik_camera_point_at_2D", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_point_at_2D(h, 1, 1)); }},
    {"Drovik_camera_move_toward_point_2D", "Drovik_camera_move_toward_point_2D", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_move_toward_point_2D(h, 1, 1, 0.5)); }},
    {"Drovik_camera_get_location_to_fit_rectangle", "Drovik_camera_set_elasticity", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_get_location_to_fit_rectangle(h, 0, 0, 9, 9, out3)); }},
    {"Drovik_camera_set_chase_type", "Drovik_camera_get_chase_type", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_chase_type(h, 2)); }},
    {"Drovik_camera_advance", "Drovik_camera_advance_on_track", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_advance(h)); }},
};

using CameraView = ViewTest;

TEST_F(CameraView, EveryExportRefusesAForeignHandleUnderItsCheckName) {
    expect_foreign_handles_refused(
        camera_rows, "Fatal, got a different kind of handle\nCheck if you accidantlly gave the wrong handle !");

    engine_set_world_loaded(0);
    EXPECT_EQ(Drovik_camera_set_current(eye_, nullptr), -1);
    engine_set_world_loaded(1);
    const std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "Drovik_camera_set_current:\nYou must call Drovik_engine_load_world()\n before calling this function !!\n");
}

TEST_F(CameraView, AimingAndMovingAtAPixel) {
    DROVIK_HANDLE wall = Drovik_object_create("wall");
    ASSERT_EQ(Drovik_object_add_polygon(wall, wall_at(-10)), 0);
    DROVIK_HANDLE other = Drovik_camera_get_first_camera();
    ASSERT_EQ(Drovik_camera_set_current(other, nullptr), 0);
    EXPECT_EQ(Drovik_camera_get_current(), other);
    ASSERT_EQ(Drovik_camera_set_current(eye_, nullptr), 0);

    double location[3];
    ASSERT_EQ(Drovik_camera_get_location_to_fit_rectangle(eye_, 100, 100, 300, 200, location), 0);
    EXPECT_NEAR(location[0], -5, 1e-6) << "half the picture's width: half the depth";
    EXPECT_NEAR(location[1], 0, 1e-6);
    EXPECT_EQ(Drovik_camera_get_location_to_fit_rectangle(eye_, 0, 0, 2, 2, location), -1);
    EXPECT_EQ(location[0], 0);

    ASSERT_EQ(Drovik_camera_move_toward_point_2D(eye_, 200, 150, 0.5), 0);
    double x = 1, y = 1, z = 1;
    Drovik_camera_get_location(eye_, &x, &y, &z);
    EXPECT_NEAR(x, -5, 1e-6);
    EXPECT_NEAR(y, 0, 1e-6);
    EXPECT_EQ(Drovik_camera_move_toward_point_2D(eye_, 0, 0, 0.5), -1);

    ASSERT_EQ(Drovik_camera_point_at_2D(eye_, 220, 150), 0);
    Drovik_camera_get_direction(eye_, &x, &y, &z);
    EXPECT_LT(x, 0);
    EXPECT_GT(y, 0) << "a pixel right of the centre turns the camera to its right";
}

TEST_F(CameraView, ChaseTypeStepsAndADeletedTarget) {
    DROVIK_HANDLE chaser = Drovik_camera_create("chaser");
    DROVIK_HANDLE target = Drovik_camera_create("target");
    Drovik_camera_set_location(target, 100, 0, 0);
    EXPECT_EQ(Drovik_camera_set_chase_type(chaser, CHASE_LOCATION), 0);
    EXPECT_EQ(Drovik_camera_get_chase_type(chaser), CHASE_LOCATION);
    EXPECT_STREQ(static_cast<camera*>(chaser)->chase.type_string, "CHASE_LOCATION");
    ASSERT_EQ(Drovik_camera_set_camera_to_chase(chaser, target), 1);
    EXPECT_EQ(Drovik_camera_advance(chaser), 0);
    double x = 0, y = 0, z = 0;
    Drovik_camera_get_location(chaser, &x, &y, &z);
    EXPECT_NEAR(x, 100, 1e-9);

    EXPECT_EQ(Drovik_camera_delete(target), 0);
    EXPECT_EQ(Drovik_camera_advance_all(), 0);
    EXPECT_EQ(Drovik_camera_advance(chaser), 0);
    Drovik_camera_get_location(chaser, &x, &y, &z);
    EXPECT_NEAR(x, 100, 1e-9) << "without its target the chaser stays";
}

}  // namespace
