// Keyboard navigation in a loaded world: the lifecycle through the load and close exports, the
// speed laws, blocked moves, freeze, camera modes and the key table. Keys go through the
// platform's key state; the render's once-a-frame call is made by the test.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "drovik.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "platform/msgbox.h"
#include "render/engine_settings.h"
#include "render/software/navigation.h"
#include "world/camera.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"

namespace fs = std::filesystem;

namespace {

std::string triangle(const std::string& name, double x, double y, double z, double size) {
    auto corner = [](double a, double b, double c) {
        return "\t\t\t" + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + " 0 0 100\n";
    };
    return "\tPOLYGON: " + name +
           "\n\t\tCOLOR: 10 20 30\n\t\tBITMAP: NO_BITMAP\n\t\tTRANSPARENT: -1\n\t\tROTATED: NO\n"
           "\t\tLIGHT_DIMINUTION: 0\n\t\tNUM_OF_POINTS: 3\n" +
           corner(x, y, z) + corner(x, y + size, z) + corner(x, y, z + size);
}

// A player object of the type at the origin looking along -x, and a wall across its way at x = -wall
// (a distant scrap of ground when wall is 0).
std::string world(const std::string& type, double wall) {
    const std::string obstacle = wall > 0 ? triangle("wall", -wall, -50, -50, 200) : triangle("ground", 5000, 5000, 5000, 10);
    return "BEGIN_DESIGN:\nBEGIN_MODULE: MAIN\n\tDYNAMIC: player\n\t\tMODULE_NAME: player\n\t\tFATHER: NONE\n"
           "\t\tTYPE: " + type + "\n\t\tCONTROL: PLAYER\n\t\tTRACK: NO_TRACK\n\t\tCHASE: NO_CHASE\n"
           "\t\tCHASE_TYPE: NO_CHASE\n\t\tCHASE_DISTANCE: 5\n"
           "\t\tPHYSICS: SPEED: 0 0 0 FORCE: 0 0 0 MAX_SPEED: 30 FRICTION: 0 ELASTICITY: 0\n"
           "\t\tMATRIX:\n\t\t\t1 0 0\n\t\t\t0 1 0\n\t\t\t0 0 1\n\t\tLOCATION: 0 0 0\n\t\tSCALE: 1 1 1\n"
           "\tEND_OBJECT: player\n" + obstacle +
           "END_MODULE: MAIN\nBEGIN_MODULE: player\n" + triangle("body", 0, -1, -1, 2) + "END_MODULE: player\nEND_DESIGN:\n";
}

class Navigation : public ::testing::Test {
protected:
    void SetUp() override {
        plat_message_box_set_headless(true);
        plat_keys_reset();
        plat_beep_clear_records();
        plat_clock_override(nullptr, [](uint32_t) {});  // the close's second of progress passes at once
        folder_ = fs::temp_directory_path() / ("drovik_navigation_" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
        home_ = fs::current_path();
        fs::current_path(folder_);
    }
    void TearDown() override {
        plat_keys_reset();
        if (engine_is_initialized()) Drovik_engine_close();
        plat_clock_override(nullptr, nullptr);
        fs::current_path(home_);
        std::error_code error;
        fs::remove_all(folder_, error);
    }
    // Loads the world with the navigation flag and makes the first camera current, as a render does.
    void load(const std::string& text, int flags = 1) {
        std::ofstream(folder_ / "nav.wld", std::ios::binary) << text;
        ASSERT_EQ(Drovik_engine_load_world("nav.wld", folder_.c_str(), "", flags), 0) << engine_get_last_error();
        set_current_camera(engine_state.cameras);
    }
    static keyboard_navigation_world& nav() { return *static_cast<keyboard_navigation_world*>(navigation_object()); }
    static dynamic_object* player() { return engine_get_player_object(); }
    static void tap(int vk) {
        plat_key_event(vk, true);
        plat_key_event(vk, false);
    }
    static void frame() { ASSERT_EQ(navigation_poll(), 0); }
    fs::path folder_;
    fs::path home_;
};

TEST(NavigationSpeed, LawsOfShipsAndCars) {
    struct law {
        double step, maximum, decay, floor;
    };
    for (const law& l : {law{1, 48, 0.92, 0.8}, law{0.1, 16, 0.98, 0.2}}) {
        EXPECT_DOUBLE_EQ(navigation_speed_step(0, true, l.step, l.maximum, l.decay, l.floor), l.step);
        EXPECT_DOUBLE_EQ(navigation_speed_step(l.maximum - l.step / 2, true, l.step, l.maximum, l.decay, l.floor),
                         l.maximum);
        EXPECT_DOUBLE_EQ(navigation_speed_step(10, false, l.step, l.maximum, l.decay, l.floor), 10 * l.decay);
        EXPECT_DOUBLE_EQ(navigation_speed_step(l.floor / l.decay * 0.99, false, l.step, l.maximum, l.decay, l.floor), 0);
    }
}

TEST_F(Navigation, LoadWithTheFlagMakesAndStartsItAndCloseFreesIt) {
    load(world("PLANE", 0), 0);
    EXPECT_EQ(navigation_object(), nullptr);
    EXPECT_EQ(navigation_mode(), 0);
    load(world("PLANE", 0));
    ASSERT_NE(navigation_object(), nullptr);
    EXPECT_EQ(navigation_mode(), 1);
    EXPECT_EQ(nav().active, 1);
    EXPECT_EQ(nav().camera_mode, 1);
    EXPECT_EQ(nav().world_file_name, folder_.string());
    Drovik_engine_close();
    EXPECT_EQ(navigation_object(), nullptr);
    EXPECT_EQ(navigation_mode(), 0);
}

TEST_F(Navigation, ShipSpeedRisesToFortyEightAndDecaysToAStop) {
    load(world("PLANE", 0));
    plat_key_event(PLAT_VK_SPACE, true);
    for (int i = 0; i < 48; ++i) frame();
    EXPECT_DOUBLE_EQ(player()->absolute_speed, 48);
    frame();
    EXPECT_DOUBLE_EQ(player()->absolute_speed, 48);
    plat_key_event(PLAT_VK_SPACE, false);
    frame();
    EXPECT_DOUBLE_EQ(player()->absolute_speed, 48 * 0.92);
    double last = player()->absolute_speed;
    int frames = 0;
    while (player()->absolute_speed > 0 && frames < 100) {
        last = player()->absolute_speed;
        frame();
        ++frames;
    }
    EXPECT_EQ(player()->absolute_speed, 0);
    EXPECT_LT(last * 0.92, 0.8);
    EXPECT_GE(last, 0.8);
    // Straight and level all the way along -x: 1 + 2 + ... + 48, 48 again, then the decay.
    EXPECT_LT(dynamic_get_location(player()).x, -(1176 + 48 + 44));
    EXPECT_NEAR(dynamic_get_location(player()).y, 0, 1e-6);
}

TEST_F(Navigation, ShipBanksIntoALeftTurnAndDivesOnTheUpArrow) {
    load(world("PLANE", 0));
    plat_key_event(PLAT_VK_SPACE, true);
    plat_key_event(PLAT_VK_LEFT, true);
    for (int i = 0; i < 30; ++i) frame();
    EXPECT_GT(dynamic_get_y_axis(player()).z, 0.1);   // banked
    EXPECT_LT(dynamic_get_direction(player()).y, -0.05);  // heading round to the left of -x
    plat_key_event(PLAT_VK_LEFT, false);
    plat_key_event(PLAT_VK_UP, true);
    const double level = dynamic_get_direction(player()).z;
    for (int i = 0; i < 10; ++i) frame();
    EXPECT_LT(dynamic_get_direction(player()).z, level - 0.01);
    EXPECT_GE(dynamic_get_direction(player()).z, -0.4);
}

TEST_F(Navigation, CarSpeedRisesToSixteenAndDecaysToAStop) {
    load(world("CAR", 0));
    plat_key_event(PLAT_VK_SPACE, true);
    for (int i = 0; i < 170; ++i) frame();
    EXPECT_DOUBLE_EQ(player()->absolute_speed, 16);
    plat_key_event(PLAT_VK_SPACE, false);
    frame();
    EXPECT_DOUBLE_EQ(player()->absolute_speed, 16 * 0.98);
    for (int i = 0; i < 300 && player()->absolute_speed > 0.2; ++i) frame();
    frame();
    EXPECT_EQ(player()->absolute_speed, 0);
}

TEST_F(Navigation, BlockedMoveBeepsAndStopsInTheSameFrame) {
    load(world("PLANE", 0.5));
    plat_key_event(PLAT_VK_SPACE, true);
    frame();
    EXPECT_EQ(player()->absolute_speed, 0);
    EXPECT_DOUBLE_EQ(dynamic_get_location(player()).x, 0);
    int beeps = 0;
    for (const plat_beep_record& b : plat_beep_records()) beeps += b.frequency == 5000 && b.milliseconds == 1;
    EXPECT_EQ(beeps, 1);
}

TEST_F(Navigation, FreezeModeMovesNothing) {
    load(world("PLANE", 0));
    tap(PLAT_VK_A + 'p' - 'a');
    frame();
    ASSERT_EQ(engine_is_freeze_mode(), 1);
    camera* c = engine_state.cameras;
    const vec3 camera_at = camera_get_location(c);
    plat_key_event(PLAT_VK_SPACE, true);
    frame();
    frame();
    EXPECT_DOUBLE_EQ(dynamic_get_location(player()).x, 0);
    EXPECT_DOUBLE_EQ(camera_get_location(c).x, camera_at.x);
    EXPECT_DOUBLE_EQ(camera_get_location(c).z, camera_at.z);
}

TEST_F(Navigation, CameraModes) {
    load(world("PLANE", 0));
    camera* c = engine_state.cameras;
    frame();  // mode 1: beside the player
    EXPECT_DOUBLE_EQ(camera_get_location(c).x, 500);
    EXPECT_DOUBLE_EQ(camera_get_location(c).z, 20);
    tap(PLAT_VK_A + 'o' - 'a');
    frame();  // mode 4, just changed: the player's axes, 500 along its x axis
    EXPECT_EQ(nav().camera_mode, 4);
    EXPECT_EQ(nav().mode_changed, 0);
    EXPECT_DOUBLE_EQ(camera_get_location(c).x, 500);
    EXPECT_DOUBLE_EQ(camera_get_location(c).z, 0);
    tap(PLAT_VK_A + 'o' - 'a');
    frame();  // mode 3: left where the program puts it
    EXPECT_EQ(nav().camera_mode, 3);
    camera_set_location(c, {1, 2, 3});
    frame();
    EXPECT_DOUBLE_EQ(camera_get_location(c).x, 1);
    EXPECT_DOUBLE_EQ(camera_get_location(c).z, 3);
    tap(PLAT_VK_A + 'o' - 'a');
    plat_key_event(PLAT_VK_SPACE, true);
    frame();  // mode 5: free flight at speed 1 along the camera's -x; the player stays
    EXPECT_EQ(nav().camera_mode, 5);
    EXPECT_NEAR(camera_get_location(c).x, 0, 1e-9);
    EXPECT_DOUBLE_EQ(dynamic_get_location(player()).x, 0);
    tap(PLAT_VK_A + 'o' - 'a');
    frame();
    EXPECT_EQ(nav().camera_mode, 1);
}

TEST_F(Navigation, KeyTable) {
    load(world("PLANE", 0));
    camera* first = engine_state.cameras;
    camera_set_field_of_view(first, 90);
    auto key = [](char letter) { tap(PLAT_VK_A + letter - 'a'); };
    key('a');
    frame();
    EXPECT_DOUBLE_EQ(camera_get_field_of_view(first), 95);
    key('z');
    key('z');
    frame();  // one press a poll, however often the key went down since
    EXPECT_DOUBLE_EQ(camera_get_field_of_view(first), 90);
    camera_set_field_of_view(first, 177);
    key('a');
    frame();
    EXPECT_DOUBLE_EQ(camera_get_field_of_view(first), 179);
    camera_set_field_of_view(first, 3);
    key('z');
    frame();
    EXPECT_DOUBLE_EQ(camera_get_field_of_view(first), 1);
    key('q');
    frame();
    EXPECT_DOUBLE_EQ(camera_get_field_of_view(first), 90);
    // Shift makes 'P', the style swap; without it 'p' is freeze.
    plat_key_event(PLAT_VK_SHIFT, true);
    key('p');
    frame();
    plat_key_event(PLAT_VK_SHIFT, false);
    EXPECT_EQ(nav().style_swapped, 1);
    EXPECT_EQ(engine_is_freeze_mode(), 0);
    key('p');
    frame();
    EXPECT_EQ(engine_is_freeze_mode(), 1);
    // Keys pressed while Alt is down belong to the render's hot keys, now and later.
    plat_key_event(PLAT_VK_MENU, true);
    key('a');
    frame();
    plat_key_event(PLAT_VK_MENU, false);
    frame();
    EXPECT_DOUBLE_EQ(camera_get_field_of_view(first), 90);
    const int debug = engine_debug_drawing_mode();
    const int wire = engine_state.wire_frame;
    tap(PLAT_VK_F1);
    tap(PLAT_VK_F1 + 3);
    frame();
    EXPECT_NE(engine_debug_drawing_mode(), debug);
    EXPECT_NE(engine_state.wire_frame, wire);
    tap(PLAT_VK_F1 + 2);
    frame();
    EXPECT_NE(engine_state.rendering_mode, 0);
    tap(PLAT_VK_F1 + 1);
    frame();
    EXPECT_EQ(engine_state.rendering_mode, 0);
    const int cycle = engine_state.atmospheric_cycle;
    tap(PLAT_VK_F1 + 4);
    frame();
    EXPECT_NE(engine_state.atmospheric_cycle, cycle);
}

}  // namespace
