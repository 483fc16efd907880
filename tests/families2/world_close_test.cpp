// Closing a world through the exports after the five families linked records to each other:
// nothing of the old world is reachable from the new one.
#include <gtest/gtest.h>

#include "../render/images/bitmap_fixture.h"
#include "drovik.h"
#include "foundation/engine_globals.h"
#include "startup.h"
#include "world/engine_state.h"

namespace {

class FamiliesWorldClose : public ::testing::Test {
protected:
    void TearDown() override {
        if (engine_is_initialized()) engine_shutdown();
    }
    temp_work_dir work_{"close"};
};

TEST_F(FamiliesWorldClose, ANewWorldHoldsNoLinkToTheOldOne) {
    ASSERT_EQ(Drovik_engine_load_world("small.drovik", DROVIK_FORMATS_FIXTURES, "", 0), 0);
    std::vector<rgb8> pixels(64, exact(80, 160, 40));
    write_file("grass.bmp", make_bmp(8, 8, 24, 40, pixels));
    DROVIK_HANDLE grass = Drovik_bitmap_load("grass.bmp", -1);
    ASSERT_NE(grass, nullptr);
    DROVIK_HANDLE sky = Drovik_background_create("sky", grass);
    Drovik_background_use(sky);
    DROVIK_HANDLE walk = Drovik_animation_create("walk");
    Drovik_animation_add_bitmap(walk, 1, grass, -1);
    const double points[6] = {0, 0, 0, 50, 0, 0};
    DROVIK_HANDLE rail = Drovik_track_create("rail", 1, points, 2);
    DROVIK_HANDLE eye = Drovik_camera_get_first_camera();
    ASSERT_EQ(Drovik_camera_set_track(eye, rail), 0);
    const double at[3] = {0, 0, 10};
    DROVIK_HANDLE lamp = Drovik_light_create("lamp", at);
    ASSERT_EQ(Drovik_light_set_entity_to_light(lamp, engine_state.groups), 0);
    Drovik_light_activate_before_each_render(lamp, 1, 0);

    ASSERT_EQ(Drovik_engine_load_world(nullptr, "", "", 4), 0);
    EXPECT_EQ(Drovik_background_get_current_background(), nullptr);
    EXPECT_EQ(Drovik_background_get_first_background(), nullptr);
    EXPECT_EQ(Drovik_animation_get_first_animation(), nullptr);
    EXPECT_EQ(Drovik_track_get_first_track(), nullptr);
    EXPECT_EQ(Drovik_light_get_first_light(), nullptr);
    EXPECT_EQ(Drovik_bitmap_get_first_bitmap(), nullptr);
    EXPECT_EQ(Drovik_light_is_light(lamp, nullptr), 0);
    for (camera* c = engine_state.cameras; c; c = c->next) EXPECT_EQ(c->track.line, nullptr);
}

}  // namespace
