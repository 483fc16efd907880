// The per-frame movers under a fake clock, timed events and deleting objects that others chase.
#include "../engine_state/state_fixture.h"
#include "foundation/engine_clock.h"
#include "platform/clock.h"
#include "world/camera.h"
#include "world/chase.h"
#include "world/movers.h"
#include "world/track.h"

namespace {

using namespace state_test;

class Movers : public ClockedStateTest {
protected:
    // MAIN with a floor and a wall at x = 100; "car" and "van" stand in it, "wagon" rides in "train".
    void load_yard() {
        scene() = [] {
            module* main = add_module("MAIN");
            add_floor(main, 0, 0, 0, 500);
            add_wall_x(main, 100, 0, 50, 60);
            add_floor(add_module("CAR"), 0, 0, 10, 5);
            add_floor(add_module("VAN"), 0, 0, 10, 5);
            module* train = add_module("TRAIN");
            add_floor(train, 0, 0, 10, 5);
            add_floor(add_module("WAGON"), 0, 0, 10, 5);
            add_dynamic(main, "car", "CAR");
            add_dynamic(main, "van", "VAN");
            add_dynamic(main, "train", "TRAIN");
            add_dynamic(train, "wagon", "WAGON");
        };
        ASSERT_EQ(load("yard.wld"), 0);
    }

    dynamic_object* object(const char* name) { return dynamic_find_by_name(get_dynamic_objects(), name); }

    dynamic_object* on_straight_track() {
        const double points[] = {0, 0, 50, 100000, 0, 50};
        dynamic_object* car = object("car");
        car->track.line = track_create(&engine_state.tracks, "line", 0, points, 2);
        car->chase.type = CHASE_TRACK;
        car->track.next_point = 1;
        dynamic_set_location(car, {0, 0, 50});
        dynamic_set_absolute_speed(car, 100);
        return car;
    }
};

TEST_F(Movers, StepsScaleToTheTimeSinceTheLastStep) {
    load_yard();
    dynamic_object* car = on_straight_track();
    engine_move_dynamic_objects(car);
    EXPECT_DOUBLE_EQ(dynamic_get_location(car).x, 100) << "the first step after a load is unscaled";
    clock_now += 500;
    engine_move_dynamic_objects(car);
    EXPECT_DOUBLE_EQ(dynamic_get_location(car).x, 150) << "half a second moves half the speed";
    engine_move_dynamic_objects(car);
    EXPECT_DOUBLE_EQ(dynamic_get_location(car).x, 150) << "a step in the same millisecond moves nothing";
    for (int i = 0; i < 1000; ++i) {
        clock_now += 10;
        engine_move_dynamic_objects(car);
    }
    EXPECT_NEAR(dynamic_get_location(car).x, 1150, 1e-6);
    EXPECT_EQ(car->absolute_speed, 100) << "the speed does not drift";
    EXPECT_EQ(car->speed[0], 100);
}

TEST_F(Movers, PhysicsIntoAWallWithoutElasticityStopsThere) {
    load_yard();
    dynamic_object* car = object("car");
    car->chase.type = CHASE_PHYSICS;
    car->elasticity = 0;
    dynamic_set_location(car, {0, 0, 50});
    dynamic_set_speed(car, {200, 0, 0});
    engine_move_dynamic_objects(car);
    EXPECT_NEAR(dynamic_get_location(car).x, 100, 1e-6);
    EXPECT_NEAR(car->absolute_speed, 0, 1e-12);
}

TEST_F(Movers, DueEventsRunOnceAndDeleteConsecutiveObjects) {
    load_yard();
    dynamic_object* car = object("car");
    dynamic_object* van = object("van");
    ASSERT_TRUE(car->next == van || van->next == car);
    car->event = van->event = 1;
    car->event_time = van->event_time = clock_now;
    dynamic_object* train = object("train");
    train->event = 2;
    train->event_time = clock_now - 5;
    engine_run_dynamic_events();
    EXPECT_EQ(object("car"), nullptr);
    EXPECT_EQ(object("van"), nullptr);
    EXPECT_EQ(module_find(engine_state.modules, "CAR"), nullptr) << "the object's module goes with it";
    EXPECT_EQ(train->disabled, 1);
    EXPECT_EQ(train->event_time, 0u);

    train->event = 7;
    train->event_time = clock_now;
    const std::string before = error_log();
    engine_run_dynamic_events();
    engine_run_dynamic_events();
    const std::string added = error_log().substr(before.size());
    EXPECT_EQ(added.find("dynamic_do_event: unknown event\n"), added.rfind("dynamic_do_event: unknown event\n"));
    EXPECT_NE(added.find("dynamic_do_event: unknown event\n"), std::string::npos);
}

TEST_F(Movers, DeadlinesHoldAcrossTheClockWrap) {
    load_yard();
    clock_now = 0xFFFFFF00u;
    dynamic_object* car = object("car");
    car->event = 2;
    car->event_time = clock_now + 0x200;  // wraps to 0x100
    engine_run_dynamic_events();
    EXPECT_EQ(car->disabled, 0);
    clock_now = 0x50;
    engine_run_dynamic_events();
    EXPECT_EQ(car->disabled, 0);
    clock_now = 0x100;
    engine_run_dynamic_events();
    EXPECT_EQ(car->disabled, 1);
}

TEST_F(Movers, DeletingAFatherUnhooksEveryChaserOfItsSons) {
    load_yard();
    dynamic_object* train = object("train");
    ASSERT_NE(train->first_son, nullptr);
    dynamic_object* wagon = train->first_son;
    dynamic_object* car = object("car");
    car->chase.type = CHASE_LOCATION;
    car->chase.chased_object = wagon;
    camera* cam = get_cameras_list();
    ASSERT_NE(cam, nullptr);
    cam->chase.chased_object = wagon;
    dynamic_delete(train);
    EXPECT_EQ(car->chase.chased_object, nullptr);
    EXPECT_EQ(cam->chase.chased_object, nullptr);
    engine_move_all_dynamic_objects();
}

TEST_F(Movers, ACameraFollowsAnObjectAndLosesItWhenItIsDeleted) {
    load_yard();
    dynamic_object* car = on_straight_track();
    camera* cam = get_cameras_list();
    ASSERT_EQ(camera_set_direction(cam, {1, 0, 0}), 0);
    cam->chase.type = CHASE_LOCATION;
    cam->chase.chased_object = car;
    cam->chase.offset[2] = 10;  // up, in the camera's own axes
    for (int i = 0; i < 3; ++i) {
        clock_now += 100;
        engine_move_all_dynamic_objects();
        engine_move_all_cameras();
        const vec3 at = camera_get_location(cam);
        EXPECT_NEAR(at.x, dynamic_get_location(car).x, 1e-9);
        EXPECT_NEAR(at.z, 60, 1e-9);
    }
    const vec3 last = camera_get_location(cam);
    dynamic_delete(car);
    EXPECT_EQ(cam->chase.chased_object, nullptr);
    engine_move_all_cameras();
    EXPECT_EQ(camera_get_location(cam).x, last.x);
}

TEST_F(Movers, ACameraOnATrackMovesByItsSpeedPerSecond) {
    load_yard();
    const double points[] = {0, 0, 50, 100000, 0, 50};
    camera* cam = get_cameras_list();
    cam->track.line = track_create(&engine_state.tracks, "line", 0, points, 2);
    cam->chase.type = CHASE_TRACK;
    cam->track.next_point = 1;
    camera_set_location(cam, {0, 0, 50});
    camera_set_absolute_speed(cam, 100);
    engine_move_cameras(cam);
    EXPECT_NEAR(camera_get_location(cam).x, 0, 1e-9) << "the first step has no time behind it";
    clock_now += 500;
    engine_move_cameras(cam);
    EXPECT_NEAR(camera_get_location(cam).x, 50, 1e-9);
    engine_move_cameras(cam);
    EXPECT_NEAR(camera_get_location(cam).x, 50, 1e-9);
    EXPECT_EQ(cam->absolute_speed, 100);
}

TEST_F(Movers, AFlexibleCameraKeepsItsDistanceAndSlidesBehindTheTarget) {
    load_yard();
    dynamic_object* car = object("car");
    dynamic_set_location(car, {0, 0, 0});
    camera* cam = get_cameras_list();
    cam->chase.type = CHASE_FLEXIBLE;
    cam->chase.chased_object = car;
    cam->chase.distance = 50;
    cam->chase.softness = 0.1;
    camera_set_location(cam, {30, 40, 0});
    engine_move_cameras(cam);
    // Q = (30, 40, 0) at the distance, P = (50, 0, 0) behind the target: a tenth of the way.
    EXPECT_NEAR(camera_get_location(cam).x, 32, 1e-9);
    EXPECT_NEAR(camera_get_location(cam).y, 36, 1e-9);
    for (int i = 0; i < 300; ++i) engine_move_cameras(cam);
    EXPECT_NEAR(camera_get_location(cam).x, 50, 1e-6);
    EXPECT_NEAR(camera_get_location(cam).y, 0, 1e-6);
}

TEST_F(Movers, APreciseCameraTakesTheTargetsAxesAtSoftnessOne) {
    load_yard();
    dynamic_object* car = object("car");
    dynamic_rotate_z(car, M_PI / 2, space_object);
    dynamic_set_location(car, {10, 20, 30});
    camera* cam = get_cameras_list();
    cam->chase.type = CHASE_PRECISE;
    cam->chase.chased_object = car;
    cam->chase.softness = 1;
    cam->chase.distance = 5;
    engine_move_cameras(cam);
    vec3 x, y, z;
    camera_get_axes(cam, x, y, z);
    EXPECT_NEAR(x.y, 1, 1e-9);
    EXPECT_NEAR(y.x, -1, 1e-9);
    EXPECT_NEAR(z.z, 1, 1e-9);
    EXPECT_NEAR(camera_get_location(cam).y, 25, 1e-9);
}

TEST_F(Movers, TheDeleteOnlyFlagKeepsTheModule) {
    load_yard();
    dynamic_object* car = object("car");
    car->delete_only_object = 1;
    dynamic_delete(car);
    EXPECT_EQ(object("car"), nullptr);
    EXPECT_NE(module_find(engine_state.modules, "CAR"), nullptr);
}

TEST_F(Movers, UnsupportedTypesAreReportedEveryStep) {
    load_yard();
    dynamic_object* car = object("car");
    car->chase.type = CHASE_FLEXIBLE;
    jstrcpy_with_allocating(&car->chase.type_string, "CHASE_FLEXIBLE");
    const std::string before = error_log();
    engine_move_dynamic_objects(car);
    engine_move_dynamic_objects(car);
    const std::string added = error_log().substr(before.size());
    const std::string line =
        "engine_move_dynamic_objects: Chasing type CHASE_FLEXIBLE (for object car) is not supported yet";
    const size_t first = added.find(line);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(added.find(line, first + 1), std::string::npos);
}

}  // namespace
