// A binary world's object, whose module always has a tree, blocks moves, falls, picks and the
// other objects' moves through drovik.h.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "drovik.h"
#include "foundation/engine_globals.h"
#include "platform/msgbox.h"
#include "startup.h"

namespace {

class CrateWorld : public ::testing::Test {
protected:
    void SetUp() override {
        plat_message_box_set_headless(true);
        ASSERT_EQ(Drovik_engine_load_world("crate.drovik", DROVIK_FORMATS_FIXTURES, "", 0), 0);
        crate_ = Drovik_object_get_object_using_name("crate");
        ASSERT_NE(crate_, nullptr);
    }
    void TearDown() override {
        if (engine_is_initialized()) engine_shutdown();
    }

    struct outcome {
        int result;
        DROVIK_HANDLE polygon, object;
        double at[3];
    };

    static outcome move(double ax, double ay, double az, double bx, double by, double bz) {
        const double start[3] = {ax, ay, az}, end[3] = {bx, by, bz};
        outcome o{};
        o.result = Drovik_engine_is_movement_possible(start, end, &o.polygon, o.at, &o.object);
        return o;
    }

    DROVIK_HANDLE crate_ = nullptr;
};

TEST_F(CrateWorld, TheCrateBlocksAtItsFaceAndOnItsTop) {
    const struct {
        double from[3], to[3];
        double hit[3];
    } cases[] = {
        {{790, 0, 50}, {810, 0, 50}, {800, 0, 50}},     // a short step through the near face
        {{500, 0, 50}, {900, 0, 50}, {800, 0, 50}},     // a long one ending inside
        {{1000, 0, 500}, {1000, 0, -290}, {1000, 0, 200}},  // a fall onto the top
        {{1100, 50, 200.5}, {1100, 50, 150}, {1100, 50, 200}},  // a short drop just above the top
        {{1500, 0, 50}, {1000, 0, 50}, {1200, 0, 50}},  // from the far side
    };
    for (const auto& c : cases) {
        const outcome o = move(c.from[0], c.from[1], c.from[2], c.to[0], c.to[1], c.to[2]);
        const std::string what = std::to_string(c.from[0]) + "," + std::to_string(c.from[2]);
        ASSERT_EQ(o.result, 0) << what;
        EXPECT_EQ(o.object, crate_) << what;
        EXPECT_NE(o.polygon, nullptr) << what;
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(o.at[i], c.hit[i], 1e-6) << what;
    }
}

TEST_F(CrateWorld, MovesBesideTheCrateAreFreeAndTheFloorStillBlocks) {
    EXPECT_EQ(move(790, 300, 50, 810, 300, 50).result, 1);
    EXPECT_EQ(move(0, 0, 50, 700, 0, 50).result, 1);
    const outcome fall = move(2000, 0, 50, 2000, 0, -1000);
    ASSERT_EQ(fall.result, 0);
    EXPECT_EQ(fall.object, nullptr);
    EXPECT_NEAR(fall.at[2], -300, 1e-6);
}

TEST_F(CrateWorld, AnotherObjectsMoveIsBlockedButNotTheCratesOwn) {
    DROVIK_HANDLE ball = Drovik_object_get_object_using_name("ball");
    ASSERT_NE(ball, nullptr);
    const double start[3] = {790, 0, 50}, end[3] = {810, 0, 50};
    DROVIK_HANDLE polygon = nullptr, object = nullptr;
    double at[3] = {0, 0, 0};
    EXPECT_EQ(Drovik_object_is_movement_possible(ball, start, end, &polygon, at, &object), 0);
    EXPECT_EQ(object, crate_);
    EXPECT_NEAR(at[0], 800, 1e-6);
    EXPECT_EQ(Drovik_object_is_movement_possible(crate_, start, end, &polygon, at, &object), 1);
}

TEST_F(CrateWorld, TheCrateIsPickedUnderTheScreenCentre) {
    DROVIK_HANDLE camera = Drovik_camera_get_using_name("look");
    ASSERT_NE(camera, nullptr);
    ASSERT_EQ(Drovik_camera_point_at(camera, 1000, 0, 50), 0);
    double at[3] = {0, 0, 0};
    DROVIK_HANDLE object = nullptr, polygon = nullptr;
    ASSERT_EQ(Drovik_engine_2D_point_to_3D(160, 100, at, &object, &polygon), 0);
    EXPECT_EQ(object, crate_);
    EXPECT_NEAR(at[0], 800, 1);
    EXPECT_EQ(Drovik_engine_get_object_at_point_2D(160, 100), crate_);
}

}  // namespace
