// Loading, digesting and closing a world: the empty world, the load flags, "the_world" and failures.
#include "state_fixture.h"

#include "engine_state_digest.h"
#include "startup.h"
#include "world/bsp_immerse.h"
#include "world/camera.h"
#include "world/world_order.h"

using namespace state_test;

namespace {

int count_modules() {
    int n = 0;
    for (module* m = engine_state.modules; m; m = m->next) n++;
    return n;
}

group* find_group(const char* name) { return group_find_by_name(engine_state.groups, name); }

}  // namespace

TEST_F(StateTest, NullFileGivesEmptyDigestedWorldAndCloseFreesEverything) {
    ASSERT_EQ(load(nullptr), 0);
    ASSERT_EQ(count_modules(), 1);
    module* main = get_main_module();
    ASSERT_NE(main, nullptr);
    EXPECT_STREQ(main->name, "MAIN");
    EXPECT_STREQ(engine_state.last_main_module_name, "MAIN");
    ASSERT_NE(main->root, nullptr);
    EXPECT_EQ(main->root->polygons, nullptr);
    EXPECT_EQ(main->root->front, nullptr);
    EXPECT_EQ(main->root->back, nullptr);
    ASSERT_NE(get_cameras_list(), nullptr);
    EXPECT_STREQ(get_cameras_list()->name, "default_camera");
    EXPECT_EQ(get_current_camera(), get_cameras_list());
    EXPECT_EQ(get_first_polygon(), nullptr);
    EXPECT_EQ(engine_world_loaded(), 1);
    EXPECT_EQ(engine_state.fog_range, 1e100);

    engine_close(0);
    EXPECT_EQ(engine_world_loaded(), 0);
    EXPECT_EQ(engine_get_bytes_in_use(), baseline);
    engine_close(0);  // a second close finds every list empty
    EXPECT_EQ(engine_get_bytes_in_use(), baseline);
    const std::string log = engine_log();
    EXPECT_NE(log.find("==== engine_close: ===="), std::string::npos);
    EXPECT_NE(log.find("    modules list freed "), std::string::npos);
    EXPECT_EQ(new_errors(), "");
}

TEST_F(StateTest, ResetValuesOfALoad) {
    ASSERT_EQ(load(nullptr, load_flags::editor), 0);
    EXPECT_EQ(engine_state.editor_mode, 1);
    EXPECT_STREQ(engine_state.bitmaps_directory, "bitmaps");
    EXPECT_EQ(engine_state.bsp_for_main, 1);
    EXPECT_EQ(engine_state.bsp_for_others, 0);
    EXPECT_EQ(engine_state.power_of_two_rounding, 32);
    EXPECT_EQ(engine_state.mipmaps, 0);
    EXPECT_EQ(engine_state.default_point_colour, -1);
    EXPECT_EQ(engine_state.atmosphere_blue, 170);
    EXPECT_EQ(engine_state.culling_depth, 32);
    EXPECT_EQ(engine_state.far_objects_accuracy, 30);
    EXPECT_EQ(engine_state.span_length, 8);
    EXPECT_EQ(engine_state.maximum_render_time, 1000000);
}

struct flag_case {
    uint32_t flags;
    const char* what;
    std::function<void()> check;
};

TEST_F(StateTest, LoadFlagTable) {
    const flag_case cases[] = {
        {0x10 | 0x40, "64 wins over 16", [] { EXPECT_EQ(engine_state.power_of_two_rounding, 64); }},
        {0x10 | 0x20, "16 wins over 32", [] { EXPECT_EQ(engine_state.power_of_two_rounding, 16); }},
        {0x20, "32 nearest", [] { EXPECT_EQ(engine_state.power_of_two_rounding, 32); }},
        {0x80 | 0x200, "0x80 wins over 0x200",
         [] {
             EXPECT_EQ(engine_state.mipmaps, 1);
             EXPECT_EQ(engine_state.mipmap_bias, -1.0);
             EXPECT_EQ(engine_state.mipmap_factor, 0.5);
         }},
        {0x200, "0x200 soft",
         [] {
             EXPECT_EQ(engine_state.mipmap_bias, 1.0);
             EXPECT_EQ(engine_state.mipmap_factor, 2.0);
         }},
        {0x400 | 0x80, "0x400 wins",
         [] {
             EXPECT_EQ(engine_state.mipmap_bias, 0.0);
             EXPECT_EQ(engine_state.mipmap_factor, 1.0);
         }},
        {0x800, "grey 146",
         [] {
             EXPECT_EQ(engine_state.default_point_red, 146);
             EXPECT_EQ(engine_state.default_point_colour, 0x929292);
             EXPECT_EQ(engine_state.default_point_brightness, 0.75);
         }},
        {0x1000 | 0x800, "grey 116 wins",
         [] {
             EXPECT_EQ(engine_state.default_point_blue, 116);
             EXPECT_EQ(engine_state.default_point_colour, 0x747474);
             EXPECT_EQ(engine_state.default_point_brightness, 0.6);
         }},
        {0x2000, "bsp for others", [] { EXPECT_EQ(engine_state.bsp_for_others, 1); }},
        {0x4000, "no bsp for main", [] { EXPECT_EQ(engine_state.bsp_for_main, 0); }},
        {0x8000, "read-only bitmaps", [] { EXPECT_EQ(engine_state.read_only_bitmaps, 1); }},
        {0x10000, "no bitmaps", [] { EXPECT_EQ(engine_state.no_bitmaps, 1); }},
        {0x8, "z-buffer off, trees for every module",
         [] {
             EXPECT_EQ(engine_state.zbuffer_state, 0);
             EXPECT_EQ(engine_state.bsp_for_others, 1);
         }},
        {0x8 | 0x4, "editor keeps the z-buffer on",
         [] {
             EXPECT_EQ(engine_state.editor_mode, 1);
             EXPECT_EQ(engine_state.zbuffer_state, 2);
             EXPECT_EQ(engine_state.bsp_for_others, 0);
         }},
    };
    for (const flag_case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(load(nullptr, c.flags), 0);
        c.check();
    }
}

TEST_F(StateTest, TwoTopLevelGroupsGetTheWorldFather) {
    scene() = [] {
        module* main = add_module("MAIN");
        group* a = group_create(&engine_state.groups, "house");
        group* b = group_create(&engine_state.groups, "tree");
        add_floor(main, 0, 0, 0, 50)->owner_group = a;
        add_floor(main, 200, 0, 0, 50)->owner_group = b;
    };
    ASSERT_EQ(load("two.wld"), 0);
    group* world = find_group("the_world");
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(find_group("house")->father, world);
    EXPECT_EQ(find_group("tree")->father, world);
    EXPECT_EQ(world->father, nullptr);
}

TEST_F(StateTest, OneTopLevelGroupGetsNoTheWorld) {
    scene() = [] {
        module* main = add_module("MAIN");
        group* top = group_create(&engine_state.groups, "estate");
        group* inner = group_create(&engine_state.groups, "shed");
        inner->father = top;
        add_floor(main, 0, 0, 0, 50)->owner_group = top;
        add_floor(main, 200, 0, 0, 50)->owner_group = inner;
    };
    ASSERT_EQ(load("one.wld"), 0);
    EXPECT_EQ(find_group("the_world"), nullptr);
}

TEST_F(StateTest, ExistingTheWorldIsRenamedWhenANewOneIsMade) {
    scene() = [] {
        module* main = add_module("MAIN");
        group* old = group_create(&engine_state.groups, "the_world");
        group* other = group_create(&engine_state.groups, "tree");
        add_floor(main, 0, 0, 0, 50)->owner_group = old;
        add_floor(main, 200, 0, 0, 50)->owner_group = other;
    };
    ASSERT_EQ(load("renamed.wld"), 0);
    group* world = find_group("the_world");
    ASSERT_NE(world, nullptr);
    group* renamed = find_group("the_world_2");
    ASSERT_NE(renamed, nullptr);
    EXPECT_STREQ(renamed->given_name, "the_world_2");
    EXPECT_EQ(renamed->father, world);
    EXPECT_EQ(find_group("tree")->father, world);
}

struct failure_case {
    const char* what;
    std::function<void()> build;
    const char* message;
};

TEST_F(StateTest, DigestionFailuresReportAndCloseCleanly) {
    const failure_case cases[] = {
        {"no MAIN module", [] { add_floor(add_module("YARD"), 0, 0, 0, 10); },
         "engine_digest_worlds: Cant find the main module !!\n"},
        {"object of a missing module",
         [] {
             module* main = add_module("MAIN");
             add_floor(main, 0, 0, 0, 10);
             add_module("SHED");
             add_object(main, "SHED", {0, 0, 0});
             add_object(main, "BARN", {5, 0, 0});
         },
         "connect_modules_to_objects: couldnt match object \nengine_digest_worlds: Some modules are missing!!\n"},
        {"module named in another case",
         [] {
             module* main = add_module("MAIN");
             add_module("Shed");
             add_object(main, "SHED", {0, 0, 0});
         },
         "connect_modules_to_objects: couldnt match object \nengine_digest_worlds: Some modules are missing!!\n"},
        {"module that places itself",
         [] {
             module* main = add_module("MAIN");
             module* loop = add_module("LOOP");
             add_object(main, "LOOP", {0, 0, 0});
             add_object(loop, "LOOP", {1, 0, 0});
         },
         "connect_modules_to_objects: World file tree structure is too deep\n"
         "\tprobably a circular defination (i.e module A includes an object B that uses module A ...\n"
         "engine_digest_worlds: Some modules are missing!!\n"},
        {"dynamic object on a missing track",
         [] {
             module* main = add_module("MAIN");
             add_floor(add_module("CAR"), 0, 0, 0, 5);
             dynamic_object* d = add_dynamic(main, "car1", "CAR");
             jstrcpy_with_allocating(&d->track.name, "no_track");
         },
         "connect_tracks_to_dynamic_objects: couldnt find track\n"
         "engine_digest_worlds: Some Tracks are missing!!\n"},
        {"camera on a missing track",
         [] {
             add_module("MAIN");
             camera* c = camera_init("cab", 100, 100, 60, 0, 0, {0, 0, 0}, {1, 0, 0}, 4);
             jstrcpy_with_allocating(&c->track.name, "up_line");
             engine_state.cameras = c;
         },
         "connect_tracks_to_cameras: couldnt find track\n"
         "engine_digest_worlds: Some Tracks are missing (for the cameras)!!\n"},
        {"missing chase target",
         [] {
             module* main = add_module("MAIN");
             add_floor(add_module("CAR"), 0, 0, 0, 5);
             dynamic_object* d = add_dynamic(main, "car1", "CAR");
             jstrcpy_with_allocating(&d->chase.name, "ghost");
         },
         "connect_chase_objects: dynamic object car1 couldnt find object ghost (for chasing)\n"
         "engine_digest_worlds: connect_chase_objects failed\n"},
    };
    for (const failure_case& c : cases) {
        SCOPED_TRACE(c.what);
        scene() = c.build;
        EXPECT_EQ(load("bad.wld"), -1);
        EXPECT_EQ(new_errors(), std::string(c.message) + "engine_load_world: digest worlds failed\n" +
                                    "engine_load_world: failed reading " + folder.string() + "/bad.wld\n");
        engine_close(0);
        EXPECT_EQ(engine_get_bytes_in_use(), baseline);
    }
}

TEST_F(StateTest, CameraWithLowerCaseNoTrackHasNoTrack) {
    scene() = [] {
        add_module("MAIN");
        camera* c = camera_init("cab", 100, 100, 60, 0, 0, {0, 0, 0}, {1, 0, 0}, 4);
        jstrcpy_with_allocating(&c->track.name, "no_track");
        engine_state.cameras = c;
    };
    ASSERT_EQ(load("cab.wld"), 0);
    ASSERT_NE(get_cameras_list(), nullptr);
    EXPECT_STREQ(get_cameras_list()->name, "cab");
    EXPECT_EQ(get_cameras_list()->next, nullptr);  // no default camera beside it
    EXPECT_EQ(get_current_camera(), get_cameras_list());
}

TEST_F(StateTest, ImmersionCopiesPlacedModulesAndFreesThem) {
    scene() = [] {
        module* main = add_module("MAIN");
        module* box = add_module("BOX");
        add_floor(box, 0, 0, 0, 10, "lid");
        add_object(main, "BOX", {100, 0, 0});
        add_object(main, "BOX", {-100, 0, 50});
    };
    ASSERT_EQ(load("boxes.wld", load_flags::editor), 0);
    EXPECT_EQ(count_modules(), 1);
    double xs = 0;
    int n = 0;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p), ++n) {
        xs += p->centre[0];
        ASSERT_NE(p->owner_group, nullptr);
        EXPECT_STREQ(p->owner_group->given_name, "BOX");
    }
    EXPECT_EQ(n, 2);
    EXPECT_DOUBLE_EQ(xs, 0);
}

TEST_F(StateTest, DynamicObjectsGetGroupsAndStayInTheirModules) {
    scene() = [] {
        module* main = add_module("MAIN");
        add_floor(main, 0, 0, 0, 500);
        add_floor(add_module("CAR"), 0, 0, 10, 5);
        add_dynamic(main, "car1", "CAR")->control = 1;
    };
    ASSERT_EQ(load("car.wld"), 0);
    dynamic_object* car = get_dynamic_objects();
    ASSERT_NE(car, nullptr);
    EXPECT_EQ(engine_get_player_object(), car);
    ASSERT_NE(car->own_module, nullptr);
    EXPECT_EQ(count_modules(), 2);
    ASSERT_NE(car->made_group, nullptr);
    int owned = 0;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) owned += p->owner == car;
    EXPECT_EQ(owned, 1);
    EXPECT_EQ(car->node, nullptr);  // node links are cleared after digestion
}

TEST(Immersion, NestingThatMultipliesIsBounded) {
    engine_first_init();
    const uint32_t before = engine_get_bytes_in_use();
    engine_state_reset(1);
    error_log_reader errors;
    module* levels[21];
    for (int i = 0; i <= 20; ++i) levels[i] = add_module(("L" + std::to_string(i)).c_str());
    for (int i = 0; i < 20; ++i) {
        for (int k = 0; k < 2; ++k) add_object(levels[i], levels[i + 1]->name, {double(k), 0, 0})->placed = levels[i + 1];
    }
    EXPECT_EQ(immerse_a_module(levels[0], 0), -1);
    EXPECT_EQ(levels[0]->root->objects, nullptr);
    EXPECT_EQ(errors.added(), "immerse_a_module: too many nested objects, the rest are left out\n");
    module_list_free(&engine_state.modules);
    engine_state_release();
    EXPECT_EQ(engine_get_bytes_in_use(), before);
}

TEST_F(StateTest, ScratchLoadKeepsTheLiveWorld) {
    scene() = [] {
        module* main = add_module("MAIN");
        add_floor(main, 0, 0, 0, 50, "ground");
    };
    ASSERT_EQ(load("live.wld", load_flags::editor), 0);
    polygon* live = get_first_polygon();
    ASSERT_NE(live, nullptr);
    const int live_serial = live->serial_id;
    camera* live_camera = get_current_camera();
    scene() = [] {
        module* main = add_module("MAIN");
        group* g = group_create(&engine_state.groups, "crate");
        add_floor(main, 0, 0, 5, 2, "crate_top")->owner_group = g;
        add_floor(main, 0, 0, 0, 2, "crate_bottom")->owner_group = g;
    };
    polygon* taken = nullptr;
    ASSERT_EQ(engine_load_file_polygons((folder / "crate.wld").string().c_str(), &taken), 0);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(polygon_list_count(taken), 2);
    for (polygon* p = taken; p; p = p->next) EXPECT_GT(p->serial_id, live_serial);
    EXPECT_EQ(get_first_polygon(), live);
    EXPECT_EQ(get_current_camera(), live_camera);
    EXPECT_EQ(engine_world_loaded(), 1);
    ASSERT_NE(find_group("crate"), nullptr);
    EXPECT_EQ(taken->owner_group, find_group("crate"));
    polygon_list_free(&taken);
}

TEST_F(StateTest, AddingAnotherFormatAppendsItsPolygons) {
    world_formats_set_reader("raw", scene_reader);
    scene() = [] { add_floor(add_module("MAIN"), 0, 0, 0, 50, "ground"); };
    ASSERT_EQ(load("live.wld", load_flags::editor), 0);
    scene() = [] { add_floor(add_module("MAIN"), 300, 0, 0, 5, "extra"); };
    engine_add_world_any_format("extra.raw", folder.string().c_str(), nullptr, {0, 0, 0});
    int n = 0;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) n++;
    EXPECT_EQ(n, 2);
    ASSERT_NE(get_cameras_list(), nullptr);
    EXPECT_EQ(get_cameras_list()->next, nullptr);  // the added world brought no default camera
    world_formats_set_reader("raw", nullptr);
}

TEST_F(StateTest, CloseWritesSixtyFourBitStatistics) {
    ASSERT_EQ(load(nullptr), 0);
    engine_state.statistics.frames = 2;
    engine_state.statistics.polygons = 5000000000LL;
    engine_state.statistics.lines = 10000000000LL;
    engine_state.statistics.pixels = 30000000000LL;
    engine_close(0);
    const std::string log = engine_log();
    EXPECT_NE(log.find("\nInternal Engine Satistics\n-------------------------\n"), std::string::npos);
    EXPECT_NE(log.find("    Total: frames=2, polygons=5000000000, lines=10000000000 pixels=30000000000\n"),
              std::string::npos);
    EXPECT_NE(log.find("    per frame:    \t  polygons=2500000000, lines=5000000000 pixels=15000000000\n"),
              std::string::npos);
    EXPECT_NE(log.find("    per line:   \tpixels=3\n"), std::string::npos);
}

TEST_F(StateTest, ScratchLoadLeavesTheLiveFastPoolAlone) {
    scene() = [] {
        fast_alloc_mode_on();
        add_floor(add_module("MAIN"), 0, 0, 0, 50, "pooled");
        fast_alloc_mode_off();
    };
    ASSERT_EQ(load("pool.wld", load_flags::editor), 0);
    ASSERT_NE(big_block_chain(), nullptr);
    scene() = [] { add_floor(add_module("MAIN"), 0, 0, 5, 2, "crate"); };
    polygon* taken = nullptr;
    ASSERT_EQ(engine_load_file_polygons((folder / "crate.wld").string().c_str(), &taken), 0);
    EXPECT_NE(big_block_chain(), nullptr);
    polygon* live = get_first_polygon();
    ASSERT_NE(live, nullptr);
    EXPECT_STREQ(live->name, "pooled");
    EXPECT_EQ(live->points->x, -50);
    polygon_list_free(&taken);
    engine_close(0);
    EXPECT_EQ(big_block_chain(), nullptr);
}

TEST_F(StateTest, AddingATextWorldPlacesItAtThePosition) {
    scene() = [] {
        engine_set_last_main_module_name("MAIN");  // as the text reader does
        add_floor(add_module("MAIN"), 0, 0, 0, 50, "ground");
    };
    ASSERT_EQ(load("base.wld", load_flags::editor), 0);
    scene() = [] {
        engine_set_last_main_module_name("HOUSE");
        add_floor(add_module("HOUSE"), 0, 0, 0, 10, "house_floor");
    };
    group* house = engine_add_world("house.wld", folder.string().c_str(), nullptr, {1000, 0, 0});
    ASSERT_NE(house, nullptr);
    EXPECT_STREQ(house->given_name, "HOUSE");
    int n = 0;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p), ++n) {
        if (p->owner_group == house) {
            EXPECT_EQ(p->centre[0], 1000);
        }
    }
    EXPECT_EQ(n, 2);
    EXPECT_EQ(new_errors(), "");
    EXPECT_EQ(engine_add_world(nullptr, nullptr, nullptr, {0, 0, 0}), nullptr);
    EXPECT_EQ(new_errors(), "engine_read_world_design: unsupported file format ( *. )\n"
                            "engine_add_world: read_world_design1 returned error\n");
    scene() = nullptr;
    EXPECT_EQ(engine_add_world("empty.wld", folder.string().c_str(), nullptr, {0, 0, 0}), nullptr);
    EXPECT_EQ(new_errors(), "engine_add_world: The added world doesnt have a MAIN module\n");
}

TEST_F(StateTest, LoadingOverAnOpenWorldClosesItFirst) {
    scene() = [] { add_floor(add_module("MAIN"), 0, 0, 0, 50, "ground"); };
    int count = 0;
    ASSERT_EQ(engine_load_world("a.wld", folder.string().c_str(), nullptr, 0, 5, 6, 5, &count), 0);
    ASSERT_EQ(engine_load_world("b.wld", folder.string().c_str(), nullptr, 0, 5, 6, 5, &count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(count_modules(), 1);
}
