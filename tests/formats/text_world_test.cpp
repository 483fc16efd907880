// World text files: reading the fixtures, the tables of block cases, saving and reading back.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <cmath>
#include <csignal>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../common/files.h"
#include "drovik.h"
#include "dynamic_from_file.h"
#include "engine_state_load.h"
#include "formats/text_world.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/strings.h"
#include "platform/msgbox.h"
#include "platform/numbers.h"
#include "startup.h"
#include "world/blending.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/light.h"
#include "world/polygon.h"
#include "world/track.h"
#include "world/world_order.h"

namespace fs = std::filesystem;

namespace {

const std::string wld = std::string(DROVIK_TEST_DATA) + "/wld";

std::string error_log() { return read_file(log_directory() + "/error.log"); }
std::string engine_log() { return read_file(log_directory() + "/Drovik.log"); }

int count_polygons() {
    int n = 0;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) ++n;
    return n;
}

polygon* polygon_named(const char* name) {
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (p->name && std::string(p->name) == name) return p;
    }
    return nullptr;
}

class TextWorld : public ::testing::Test {
protected:
    void SetUp() override {
        plat_message_box_set_headless(true);
        folder_ = make_temp_folder("drovik_wld_");
        // The logs go to the working folder: one of its own, apart from programs running alongside.
        home_ = fs::current_path();
        fs::current_path(folder_);
    }
    void TearDown() override {
        if (engine_is_initialized()) engine_shutdown();
        fs::current_path(home_);
        std::error_code error;
        fs::permissions(folder_, fs::perms::owner_all, error);
        fs::remove_all(folder_, error);
    }
    std::string in_folder(const std::string& name) const { return (folder_ / name).string(); }
    // Writes a design and loads it in editor mode: the load's result.
    int load_text(const std::string& text, const std::string& name = "t.wld") {
        std::ofstream(in_folder(name), std::ios::binary) << text;
        return Drovik_engine_load_world(name.c_str(), folder_.c_str(), "", 4);
    }
    fs::path folder_;
    fs::path home_;
};

TEST_F(TextWorld, FixtureWithEveryGeometryBlockLoads) {
    ASSERT_EQ(Drovik_engine_load_world("box.wld", wld.c_str(), "", 4), 0) << engine_get_last_error();
    EXPECT_EQ(count_polygons(), 2);
    polygon* floor = polygon_named("floor");
    ASSERT_NE(floor, nullptr);
    EXPECT_EQ(floor->point_count, 4);
    EXPECT_EQ(floor->red, 100);
    EXPECT_EQ(floor->release_save, 1);
    const point* third = floor->points->next->next;
    EXPECT_EQ(third->red, 1);
    EXPECT_EQ(third->normal_z, 127);
    EXPECT_NEAR(floor->points->next->next->next->bitmap_x, 0, 1e-9);  // the -1 cords continue the map
    EXPECT_NEAR(third->bitmap_y, 64, 1e-9);
    EXPECT_EQ(engine_state.atmosphere_red, 10);
    EXPECT_EQ(engine_state.default_atmosphere_blue, 30);
    EXPECT_EQ(Drovik_engine_get_brightness(), 5);
    EXPECT_DOUBLE_EQ(engine_state.atmospheric_intensity, 0.5);
    ASSERT_NE(engine_state.tracks, nullptr);
    EXPECT_EQ(engine_state.tracks->point_count, 3);  // the repeated point is dropped
    ASSERT_EQ(text_world_kept_sounds().size(), 1u);
    EXPECT_EQ(text_world_kept_sounds()[0].rfind("SOUND: bell", 0), 0u);
}

}  // namespace

namespace {

TEST_F(TextWorld, IncludesAreReadOnceWhateverTheirSpelling) {
    ASSERT_EQ(Drovik_engine_load_world("includes.wld", wld.c_str(), "", 4), 0) << engine_get_last_error();
    EXPECT_EQ(count_polygons(), 1);
    // The default colour line came first, so the included atmosphere keeps it.
    EXPECT_EQ(engine_state.atmosphere_red, 9);
    EXPECT_EQ(engine_state.default_atmosphere_red, 1);
}

const char* const polygon_head = "BEGIN_DESIGN:\nBEGIN_MODULE: main\n";
const char* const polygon_tail = "END_MODULE: main\nEND_DESIGN:\n";

std::string polygon_text(const std::string& header, int points, const std::string& cords = "") {
    std::string text = "\tPOLYGON: " + header + "\n\t\tCOLOR: 10 20 30\n\t\tBITMAP: NO_BITMAP\n\t\tTRANSPARENT: -1\n"
                       "\t\tROTATED: NO\n\t\tLIGHT_DIMINUTION: 0\n\t\tNUM_OF_POINTS: " + std::to_string(points) + "\n";
    for (int i = 0; i < points; ++i) {
        const double a = 6.283185307179586 * i / (points > 0 ? points : 1);
        text += "\t\t\t" + std::to_string(100 * std::cos(a)) + " " + std::to_string(100 * std::sin(a)) + " 0 " +
                (cords.empty() ? "0 0" : cords) + " 100\n";
    }
    return text;
}

struct polygon_case {
    const char* what;
    std::string items;
    int result;
    int polygons;
    const char* report;  // a line the error log must hold, or ""
};

TEST_F(TextWorld, PolygonCases) {
    const polygon_case cases[] = {
        {"two points", polygon_text("a", 2), -1, 0, "read_a_polygon: faild to read NUM_OF_POINTS\n"},
        {"three points", polygon_text("a", 3), 0, 1, ""},
        {"a hundred points", polygon_text("a", 100), 0, 1, ""},
        {"101 points", polygon_text("a", 101), -1, 0, "read_a_polygon: faild to read NUM_OF_POINTS\n"},
        {"missing cords dropped, the module read on", polygon_text("a", 4, "-1 -1") + polygon_text("b", 3), 0, 1,
         "read_points: bad bitmaps cord OR bad light cords\n"},
        {"nameless with release-save off", "\tPOLYGON:\n\t\tRELEASE_SAVE: NO\n" + polygon_text("", 3).substr(11), 0, 1,
         ""},
        {"polygon outside a module", "END_MODULE: main\n" + polygon_text("a", 3) + "BEGIN_MODULE: x\n", -1, 0,
         "engine_read_world_file: we expected BEGIN_MODULE: or ANIMATION:\n"},
        {"a NaN colour", "\tPOLYGON: a\n\t\tCOLOR: NAN 1 2\n", -1, 0, "read_a_polygon: faild to read COLOR\n"},
    };
    for (const polygon_case& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = engine_get_error_count();
        EXPECT_EQ(load_text(polygon_head + c.items + polygon_tail), c.result);
        if (c.result == 0) {
            EXPECT_EQ(count_polygons(), c.polygons);
        }
        if (*c.report) {
            EXPECT_NE(error_log().find(c.report), std::string::npos);
            EXPECT_GT(engine_get_error_count(), before);
        }
    }
}

TEST_F(TextWorld, CordsOfAllZeroPointsContinueTheFirstThree) {
    ASSERT_EQ(load_text(polygon_head + polygon_text("sq", 4) + polygon_tail), 0) << engine_get_last_error();
    polygon* p = polygon_named("sq");
    ASSERT_NE(p, nullptr);
    const double expected[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    int i = 0;
    for (const point* pt = p->points; pt && i < 4; pt = pt->next, ++i) {
        EXPECT_NEAR(pt->bitmap_x, expected[i][0], 1e-9) << i;
        EXPECT_NEAR(pt->bitmap_y, expected[i][1], 1e-9) << i;
    }
}

TEST_F(TextWorld, FailingFileDumpsAtMostTwoHundredCharacters) {
    const std::string tail(500, 'x');
    EXPECT_EQ(load_text("BEGIN_DESIGN:\nNOT_A_BLOCK " + tail + "\nEND_DESIGN:\n"), -1);
    const std::string log = engine_log();
    const size_t at = log.find("Error Dump (The bug is above this point):\n---------------------------------------\n");
    ASSERT_NE(at, std::string::npos);
    EXPECT_NE(log.find("instead we got NOT_A_BLOCK\n"), std::string::npos);
    const size_t start = log.find("---\n", at) + 4;
    EXPECT_EQ(log.substr(start, 201), " " + tail.substr(0, 199) + "\n");
}

TEST_F(TextWorld, UnclosedCommentFailsBeforeAnyBlock) {
    EXPECT_EQ(load_text(polygon_head + std::string("/* open\n") + polygon_text("a", 3) + polygon_tail), -1);
    EXPECT_NE(error_log().find("engine_read_world_file: bad comments missing closing *\\ \n"), std::string::npos);
}

TEST_F(TextWorld, AtmosphereLines) {
    struct atmosphere_case {
        const char* lines;
        int result, red, default_red, brightness;
        double fog;
    } cases[] = {
        {"ATMOSPHERE: 1 2 3 LIGHT: 5 FOG: 0.5\n", 0, 1, 1, 5, 0.5},
        {"ATMOSPHERE: 1 2 3 FOG: 0.25 LIGHT: -3\r\n", 0, 1, 1, -3, 0.25},
        {"DEFAULT_COLOR: 7 7 7\nATMOSPHERE: 1 2 3\n", 0, 1, 7, 0, 0},
        {"ATMOSPHERE: 1 2 3\nDEFAULT_COLOR: 7 7 7\n", 0, 1, 7, 0, 0},
        {"ATMOSPHERE: 1 2 3\nATMOSPHERE: 1 2 3\n", -1, 0, 0, 0, 0},
        {"ATMOSPHERE: 1 2 3 FOG: NAN\n", -1, 0, 0, 0, 0},
        {"ATMOSPHERE: 1 2 300\n", -1, 0, 0, 0, 0},
        {"ATMOSPHERE: 1 2 3 LIGHT: 16 FOG: 0.5\n", 0, 1, 1, 16, 0.5},
        {"ATMOSPHERE: 1 2 3 LIGHT: -16 FOG: 0.5\n", 0, 1, 1, -16, 0.5},
        {"ATMOSPHERE: 1 2 3 LIGHT: 17 FOG: 0.5\n", -1, 0, 0, 0, 0},
        {"ATMOSPHERE: 1 2 3 LIGHT: -17 FOG: 0.5\n", -1, 0, 0, 0, 0},
    };
    for (const atmosphere_case& c : cases) {
        SCOPED_TRACE(c.lines);
        ASSERT_EQ(load_text(std::string("BEGIN_DESIGN:\n") + c.lines + "BEGIN_MODULE: main\nEND_MODULE: main\nEND_DESIGN:\n"),
                  c.result);
        if (c.result != 0) continue;
        EXPECT_EQ(engine_state.atmosphere_red, c.red);
        EXPECT_EQ(engine_state.default_atmosphere_red, c.default_red);
        if (c.fog != 0) {
            EXPECT_EQ(Drovik_engine_get_brightness(), c.brightness);
            EXPECT_DOUBLE_EQ(engine_state.atmospheric_intensity, c.fog);
        }
    }
}

TEST_F(TextWorld, TrackOfOneRepeatedPointIsRefused) {
    EXPECT_EQ(load_text("BEGIN_DESIGN:\nTRACK: t\n\tCYCLIC: YES\n\t1 2 3\n\t1 2 3\nEND_TRACK: t\n"
                        "BEGIN_MODULE: main\nEND_MODULE: main\nEND_DESIGN:\n"),
              -1);
    EXPECT_NE(error_log().find("set_track_num_of_points: Too few points in track"), std::string::npos);
    EXPECT_NE(engine_log().find("\tThe bad track is t. it has 1 points\n"), std::string::npos);
}

}  // namespace

namespace {

std::string vector_text(const char* label, const double v[3]) { return plat_format(" %s %g %g %g", label, v[0], v[1], v[2]); }

// Cameras as the interface reads them back.
std::string camera_summary() {
    std::string s;
    for (DROVIK_HANDLE c = Drovik_camera_get_first_camera(); c; c = Drovik_camera_get_next_camera(c)) {
        DROVIK_CAMERA_VALUES v{};
        Drovik_camera_save(c, &v);
        double at[3] = {}, looking[3] = {}, track[3] = {}, chase[3] = {}, speed[3] = {}, force[3] = {};
        Drovik_camera_get_location(c, &at[0], &at[1], &at[2]);
        Drovik_camera_get_direction(c, &looking[0], &looking[1], &looking[2]);
        Drovik_camera_get_track_offset(c, track);
        Drovik_camera_get_chase_offset(c, chase);
        Drovik_camera_get_speed(c, speed);
        Drovik_camera_get_force(c, force);
        const char* chased = Drovik_camera_get_name_to_chase(c);
        if (chased && std::string(chased) == "NO_CHASE") chased = nullptr;  // a name that means none
        const char* on_track = Drovik_camera_get_track_name(c);
        s += plat_format("camera %s", Drovik_camera_get_name(c)) + vector_text("at", at) + vector_text("looking", looking) +
             plat_format(" field %g culling %g eye %g track %s", v.field_of_view, v.culling_depth,
                         Drovik_camera_get_distance_from_eye(c), on_track ? on_track : "-") +
             vector_text("offset", track) +
             plat_format(" chase %s type %d softness %g distance %g", chased ? chased : "-",
                         Drovik_camera_get_chase_type(c), Drovik_camera_get_chase_softness(c),
                         Drovik_camera_get_chase_distance(c)) +
             vector_text("by", chase) + vector_text("speed", speed) + vector_text("force", force) +
             plat_format(" friction %g elasticity %g\n", Drovik_camera_get_friction(c), Drovik_camera_get_elasticity(c));
    }
    return s;
}

// Lights as the interface reads them back.
std::string light_summary() {
    std::string s;
    for (DROVIK_HANDLE l = Drovik_light_get_first_light(); l; l = Drovik_light_get_next_light(l)) {
        double at[3] = {}, towards[3] = {};
        unsigned char rgb[3] = {};
        int operation = -1;
        Drovik_light_get_location(l, at);
        Drovik_light_get_direction(l, towards);
        Drovik_light_get_color(l, rgb);
        const int automatic = Drovik_light_is_activated_before_render(l, &operation);
        char target[128] = "-";
        if (DROVIK_HANDLE entity = Drovik_light_get_entity_to_light(l)) Drovik_entity_get_name(entity, target, sizeof target);
        s += plat_format("light %s", Drovik_light_get_name(l)) + vector_text("at", at) + vector_text("towards", towards) +
             plat_format(" colour %u %u %u ray %d type %d reach %g factors %g %g %g %g auto %d operation %d target %s\n",
                         rgb[0], rgb[1], rgb[2], Drovik_light_is_ray_tracing(l), Drovik_light_get_type_of_light(l),
                         Drovik_light_get_distance_reach(l), Drovik_light_get_ambient(l), Drovik_light_get_diffuse(l),
                         Drovik_light_get_specular(l), Drovik_light_get_specular_shining(l), automatic, operation,
                         target);
    }
    return s;
}

// What a round trip must keep: the atmosphere, polygons with their points and cords, the tracks,
// the cameras and the lights.
std::string world_summary() {
    std::string s = plat_format("atm %d %d %d def %d %d %d light %d fog %.4f\n", engine_state.atmosphere_red,
                                engine_state.atmosphere_green, engine_state.atmosphere_blue,
                                engine_state.default_atmosphere_red, engine_state.default_atmosphere_green,
                                engine_state.default_atmosphere_blue, engine_state.brightness,
                                engine_state.atmospheric_intensity);
    std::vector<std::string> polys;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        std::string line = plat_format("%s %d %d %d %s t%d r%d:", p->name ? p->name : "-", p->red, p->green, p->blue,
                                       p->bitmap_name ? p->bitmap_name : "-", p->transparent_index, p->release_save);
        for (const point* pt = p->points; pt; pt = pt->next)
            line += plat_format(" (%.6g %.6g %.6g %d %d)", pt->x, pt->y, pt->z, pt->red,
                                static_cast<int>(pt->brightness));
        line += plat_format(" dim %g cords", Drovik_polygon_get_light_diminution(p));
        for (const point* pt = p->points; pt; pt = pt->next) line += plat_format(" %.6g %.6g", pt->bitmap_x, pt->bitmap_y);
        polys.push_back(line);
    }
    std::sort(polys.begin(), polys.end());
    for (const std::string& line : polys) s += line + "\n";
    for (const jtrack* t = engine_state.tracks; t; t = t->next) {
        s += plat_format("track %s %d %d:", t->name, t->cyclic, t->point_count);
        for (int i = 0; i < 3 * t->point_count; ++i) s += plat_format(" %g", t->points[i]);
        s += "\n";
    }
    return s + camera_summary() + light_summary();
}

TEST_F(TextWorld, RoundTripsKeepTheRecords) {
    ASSERT_EQ(Drovik_engine_load_world("box.wld", wld.c_str(), "", 4), 0) << engine_get_last_error();
    const std::string original = world_summary();
    EXPECT_NE(original.find("C://BRICKS.BMP"), std::string::npos);  // "//" after ':' is no comment
    ASSERT_EQ(Drovik_engine_save(in_folder("a.wld").c_str(), nullptr, 0), 0) << engine_get_last_error();
    ASSERT_EQ(Drovik_engine_save(in_folder("a.drovik").c_str(), nullptr, 0), 0) << engine_get_last_error();
    const std::string saved = read_file(in_folder("a.wld"));
    EXPECT_EQ(saved.find('\0'), std::string::npos);
    EXPECT_NE(saved.find("SOUND: bell"), std::string::npos);

    ASSERT_EQ(Drovik_engine_load_world("a.wld", folder_.c_str(), "", 4), 0) << engine_get_last_error();
    EXPECT_EQ(world_summary(), original);
    ASSERT_EQ(text_world_kept_sounds().size(), 1u);
    ASSERT_EQ(Drovik_engine_save(in_folder("b.wld").c_str(), nullptr, 0), 0) << engine_get_last_error();
    ASSERT_EQ(Drovik_engine_load_world("b.wld", folder_.c_str(), "", 4), 0) << engine_get_last_error();
    EXPECT_EQ(world_summary(), original);

    ASSERT_EQ(Drovik_engine_load_world("a.drovik", folder_.c_str(), "", 4), 0) << engine_get_last_error();
    ASSERT_EQ(Drovik_engine_save(in_folder("c.wld").c_str(), nullptr, 0), 0) << engine_get_last_error();
    ASSERT_EQ(Drovik_engine_load_world("c.wld", folder_.c_str(), "", 4), 0) << engine_get_last_error();
    EXPECT_EQ(count_polygons(), 2);
    EXPECT_NE(world_summary().find("floor 100 150 200"), std::string::npos);
}

TEST_F(TextWorld, RoundTripsKeepCamerasLightsAndCords) {
    ASSERT_EQ(Drovik_engine_load_world("scene.wld", wld.c_str(), "", 4), 0) << engine_get_last_error();
    const std::string original = world_summary();
    for (const char* expected : {" 200 30 FLAME t0 r1:", "dim 1 cords 0 0 8 0 8 8", "camera eye at 1 2 3",
                                 "light sun at 0 0 100 towards 0 0 -1 colour 255 240 200 ray 1"}) {
        EXPECT_NE(original.find(expected), std::string::npos) << expected << " in\n" << original;
    }
    ASSERT_EQ(Drovik_engine_save(in_folder("a.wld").c_str(), nullptr, 0), 0) << engine_get_last_error();
    ASSERT_EQ(Drovik_engine_load_world("a.wld", folder_.c_str(), "", 4), 0) << engine_get_last_error();
    EXPECT_EQ(world_summary(), original);
    ASSERT_EQ(Drovik_engine_save(in_folder("b.wld").c_str(), nullptr, 0), 0) << engine_get_last_error();
    ASSERT_EQ(Drovik_engine_load_world("b.wld", folder_.c_str(), "", 4), 0) << engine_get_last_error();
    EXPECT_EQ(world_summary(), original);
}

}  // namespace

namespace {

std::string scene_summary() {
    std::string s;
    for (const camera* c = engine_state.cameras; c; c = c->next) {
        if (!c->read_from_file || std::string(c->name) == "default_camera") continue;
        s += plat_format("camera %s fov %g depth %g at %g %g %g x %g %g %g friction %g rot %g space %d\n", c->name,
                         c->field_of_view, c->culling_depth, c->matrix.m[3][0], c->matrix.m[3][1], c->matrix.m[3][2],
                         c->matrix.m[0][0], c->matrix.m[0][1], c->matrix.m[0][2], c->friction, c->rotation[1],
                         c->rotation_space);
    }
    for (const background* b = engine_state.backgrounds; b; b = b->next) {
        s += plat_format("background %s %d %d type %d %g %g %g %g:", b->name, b->frame_count, b->replace_rate, b->type,
                         b->distance, b->bottom, b->bottom_intensity, b->intensity_step);
        for (const frame_item* f = b->frames; f; f = f->next) s += plat_format(" %s", f->name);
        s += "\n";
    }
    for (const light* l = engine_state.lights; l; l = l->next) {
        s += plat_format("light %s %d %d %d type %d mode %d auto %d ray %d target %d %s %g %g %g %g reach %g\n", l->name,
                         l->red, l->green, l->blue, l->type, l->mode, l->activate_before_render, l->ray_tracing,
                         l->entity_kind, l->entity_name ? l->entity_name : "-", l->ambient, l->diffuse, l->specular,
                         l->specular_shining, l->distance_reach);
    }
    for (const animation* a = engine_state.animations; a; a = a->next) {
        s += plat_format("animation %s %d:", a->name, a->frame_count);
        for (int i = 0; i < a->frame_count; ++i) s += plat_format(" %u", a->durations[i]);
        for (const frame_item* list : a->views) {
            s += " |";
            for (const frame_item* f = list; f; f = f->next) s += plat_format(" %s/%d", f->name, f->transparent_index);
        }
        s += "\n";
    }
    return s;
}

TEST_F(TextWorld, SceneBlocksLoadAndSurviveSaving) {
    ASSERT_EQ(Drovik_engine_load_world("scene.wld", wld.c_str(), "", 4), 0) << engine_get_last_error();
    const std::string original = scene_summary();
    EXPECT_EQ(original,
              "camera eye fov 60 depth 500 at 1 2 3 x 0 1 0 friction 1 rot 1.5708 space 1\n"
              "background sky 2 3 type 7 1000 -10 50 0.5: clouds1 clouds2\n"
              "light sun 255 240 200 type 24 mode 2 auto 0 ray 1 target 1008 wall 0.1 0.8 0.3 20 reach -1\n"
              "animation flame 3: 10 20 30 | b1/4 b2/0 b3/7 | | | | f1/0 f2/0 f3/0\n");
    polygon* wall = polygon_named("wall");
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(wall->green, 200);
    EXPECT_EQ(wall->orientation, 1);
    EXPECT_EQ(wall->bitmap_is_animation, 1);

    ASSERT_EQ(Drovik_engine_save(in_folder("s.wld").c_str(), nullptr, 0), 0) << engine_get_last_error();
    const std::string saved = read_file(in_folder("s.wld"));
    // Every frame of a numbered list carries its number.
    EXPECT_NE(saved.find("\tBACK:        b1\t 4 b2\t 0 b3\t 7\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\tTYPE: LIGHT_AMBIENT LIGHT_DIFFUSE\n"), std::string::npos);
    ASSERT_EQ(Drovik_engine_load_world("s.wld", folder_.c_str(), "", 4), 0) << engine_get_last_error();
    // A camera's physics line carries no rotation: read back, the camera has none.
    std::string expected = original;
    expected.replace(expected.find("rot 1.5708 space 1"), 18, "rot 0 space 0");
    EXPECT_EQ(scene_summary(), expected);
}

// The camera writer puts the softness after "NO_CHASE": read back, it stays.
TEST_F(TextWorld, CameraWithoutChaseKeepsItsSoftness) {
    const auto camera_block = [](const char* name, const char* chase_type) {
        return std::string("CAMERA: ") + name + "\n\tLOCATION: 0 0 0\n\tDIRECTION: 1 0 0\n\tVIEW_FIELD: 60\n" +
               "\tCULLING_DEPTH: 100\n\tEYE_DISTANCE: 1\n\tTRACK: NO_TRACK\n\tCHASE: NO_CHASE\n\tCHASE_TYPE: " +
               chase_type + "\n\tCHASE_DISTANCE: 0\n\tPHYSICS: SPEED: 0 0 0 FORCE: 0 0 0 MAX_SPEED: 1 FRICTION: 0 " +
               "ELASTICITY: 0\nEND_CAMERA: " + name + "\n";
    };
    const auto softness = [](const char* name) {
        for (const camera* c = engine_state.cameras; c; c = c->next) {
            if (std::string(c->name) == name) return c->chase.softness;
        }
        return -1.0;
    };
    ASSERT_EQ(load_text("BEGIN_DESIGN:\n" + camera_block("soft", "NO_CHASE 0.1") + camera_block("plain", "NO_CHASE") +
                        "BEGIN_MODULE: main\nEND_MODULE: main\nEND_DESIGN:\n"),
              0)
        << engine_get_last_error();
    EXPECT_DOUBLE_EQ(softness("soft"), 0.1);
    EXPECT_DOUBLE_EQ(softness("plain"), 0.3);
    ASSERT_EQ(Drovik_engine_save(in_folder("soft.wld").c_str(), nullptr, 0), 0) << engine_get_last_error();
    EXPECT_NE(read_file(in_folder("soft.wld")).find("\tCHASE_TYPE: NO_CHASE 0.1\n"), std::string::npos);
    ASSERT_EQ(Drovik_engine_load_world("soft.wld", folder_.c_str(), "", 4), 0) << engine_get_last_error();
    EXPECT_DOUBLE_EQ(softness("soft"), 0.1);
    EXPECT_DOUBLE_EQ(softness("plain"), 0.3);
}

struct block_case {
    const char* what;
    const char* block;
    int result;
    const char* report;
};

TEST_F(TextWorld, SceneBlockCases) {
    const std::string camera_head = "CAMERA: c\n\tLOCATION: 0 0 0\n";
    const std::string camera_tail =
        "\tVIEW_FIELD: 60\n\tCULLING_DEPTH: 100\n\tEYE_DISTANCE: 1\n\tTRACK: NO_TRACK\n\tCHASE: NO_CHASE\n"
        "\tCHASE_TYPE: NO_CHASE\n\tCHASE_DISTANCE: 0\n\tPHYSICS: SPEED: 0 0 0 FORCE: 0 0 0 MAX_SPEED: 1 FRICTION: 0 "
        "ELASTICITY: 0\n";
    const std::string camera_y_first = camera_head + "\tAXIS_Y: 0 1 0\n\tAXIS_X: 1 0 0\n\tAXIS_Z: 0 0 1\n" + camera_tail +
                                       "END_CAMERA: c\n";
    const std::string camera_zero = camera_head + "\tDIRECTION: 0 0 0\n" + camera_tail + "END_CAMERA: c\n";
    const std::string camera_other_close = camera_head + "\tDIRECTION: 1 0 0\n" + camera_tail + "END_CAMERA: d\n";
    const block_case cases[] = {
        {"axes out of order", camera_y_first.c_str(), -1,
         "read_camera_axis_system: we expected AXIS_? or DIRECTION instead we got AXIS_Y:\n"},
        {"zero direction", camera_zero.c_str(), 0, "read_camera: direction= 0,0,0 !!\n"},
        {"other closing name", camera_other_close.c_str(), -1, ""},
        {"bmp background",
         "BACKGROUND: b\n\tNUMBER_OF_FRAMES: 1\n\tREPLACE_RATE: 1\n\tPICTURES_EXTENSION: bmp\n\tPICTURES: x\n"
         "\tDISTANCE: 1\n\tBOTTOM: 1\n\tBOTTOM_INTENSITY: 1\n\tINTENSITY_STEP: 1\nEND_BACKGROUND: b\n",
         -1, "read_bg_pictures_extension: illegal picture extension"},
        {"list twice", "ANIMATION: a\n\tNUMBER_OF_FRAMES: 1\n\tTIMES: 5\n\tFRONT: x\n\tFRONT: y\nEND_ANIMATION: a\n", -1,
         "read_animation_bitmap_list: The same list is used twice !!!\n"},
        {"list starting with a number", "ANIMATION: a\n\tNUMBER_OF_FRAMES: 1\n\tTIMES: 5\n\tFRONT: 3 x\nEND_ANIMATION: a\n",
         -1, "read_a_frame_item: The bitmap list starts with a number instead of a file_name\n"},
        {"black light", "LIGHT: l\n\tLOCATION: 0 0 0\n\tDIRECTION: 0 0 1\n\tCOLOR: 1 2 3\n\tAMBIENT: 1 1 1 1\n"
                        "\tRAYTRACING: no\n\tDISTANCE: 5\n\tTARGET: GROUP NULL\n\tAUTO: YES LIGHT_SET\n"
                        "\tTYPE: BLACK_LIGHT\nEND_LIGHT: l\n", 0, ""},
    };
    for (const block_case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(load_text(std::string("BEGIN_DESIGN:\n") + c.block + "BEGIN_MODULE: main\nEND_MODULE: main\nEND_DESIGN:\n"),
                  c.result);
        if (*c.report) {
            EXPECT_NE(error_log().find(c.report), std::string::npos);
        }
    }
    // The zero direction looks along -x; the black light reads back as no flags.
    ASSERT_NE(engine_state.lights, nullptr);
    EXPECT_EQ(engine_state.lights->type, 0);
}

}  // namespace

namespace {

// Blocks far longer than one search window: a 1,000-point track, a 100-point polygon at full
// precision with colours and normals, a 400-frame animation.
std::string long_blocks() {
    std::string text = "BEGIN_DESIGN:\nTRACK: long\n\tCYCLIC: YES\n";
    for (int i = 0; i < 1000; ++i) text += plat_format("\t%d.123456789 %d.5 -%d.25\n", i, i * 2, i * 3);
    text += "END_TRACK: long\nANIMATION: many\n\tNUMBER_OF_FRAMES: 400\n\tTIMES:";
    for (int i = 0; i < 400; ++i) text += " 10";
    text += "\n\tFRONT:";
    for (int i = 0; i < 400; ++i) text += plat_format(" frame_with_a_long_name_%03d\t 3", i);
    text += "\nEND_ANIMATION: many\nBEGIN_MODULE: main\n\tPOLYGON: round\n\t\tCOLOR: 1 2 3\n\t\tBITMAP: NO_BITMAP\n"
            "\t\tTRANSPARENT: -1\n\t\tROTATED: NO\n\t\tLIGHT_DIMINUTION: 0\n\t\tNUM_OF_POINTS: 100\n";
    for (int i = 0; i < 100; ++i) {
        const double a = 6.283185307179586 * i / 100;
        text += plat_format("\t\t\t% .16lG\t% .16lG\t% .16lG\t% .16lG\t% .16lG\t% .16lG\tRGB: 255 255 255 N: 0 0 127\n",
                            1000.123456789 * std::cos(a), 1000.123456789 * std::sin(a), 0.0, 12.3456789 + std::cos(a),
                            45.678912345 + std::sin(a), 100.0);
    }
    return text + "END_MODULE: main\nEND_DESIGN:\n";
}

TEST_F(TextWorld, LongBlocksLoadAndReadBack) {
    ASSERT_EQ(load_text(long_blocks()), 0) << engine_get_last_error();
    ASSERT_NE(engine_state.tracks, nullptr);
    EXPECT_EQ(engine_state.tracks->point_count, 1000);
    ASSERT_NE(engine_state.animations, nullptr);
    EXPECT_EQ(engine_state.animations->frame_count, 400);
    ASSERT_NE(polygon_named("round"), nullptr);
    EXPECT_EQ(polygon_named("round")->point_count, 100);
    const std::string before = world_summary() + scene_summary();
    ASSERT_EQ(Drovik_engine_save(in_folder("long.wld").c_str(), nullptr, 0), 0) << engine_get_last_error();
    ASSERT_EQ(Drovik_engine_load_world("long.wld", folder_.c_str(), "", 4), 0) << engine_get_last_error();
    EXPECT_EQ(world_summary() + scene_summary(), before);
}

TEST_F(TextWorld, CommaDecimalLocaleReadsAndWritesTheSame) {
    ASSERT_EQ(Drovik_engine_load_world("box.wld", wld.c_str(), "", 4), 0) << engine_get_last_error();
    const std::string in_c = world_summary();
    ASSERT_EQ(Drovik_engine_save(in_folder("c.wld").c_str(), nullptr, 0), 0);
    const auto use_german = [] {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
            if (std::setlocale(LC_NUMERIC, name) && std::localeconv()->decimal_point[0] == ',') return true;
        }
        return false;
    };
    // Without an installed German locale one is compiled into the build folder, once.
    const std::string locales = std::string(DROVIK_TEST_BINARY_DIR) + "/locales";
    if (!use_german() && fs::exists(locales + "/de_DE.UTF-8")) setenv("LOCPATH", locales.c_str(), 1);
    if (!use_german()) {
        fs::create_directories(locales);
        const std::string command = "localedef -i de_DE -f UTF-8 '" + locales + "/de_DE.UTF-8' >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0) setenv("LOCPATH", locales.c_str(), 1);
    }
    if (!use_german()) GTEST_SKIP() << "no comma-decimal locale installed";
    ASSERT_EQ(Drovik_engine_load_world("box.wld", wld.c_str(), "", 4), 0) << engine_get_last_error();
    EXPECT_EQ(world_summary(), in_c);
    ASSERT_EQ(Drovik_engine_save(in_folder("g.wld").c_str(), nullptr, 0), 0);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(read_file(in_folder("g.wld")), read_file(in_folder("c.wld")));
}

TEST_F(TextWorld, FailedWritesKeepTheOldFile) {
    ASSERT_EQ(Drovik_engine_load_world("box.wld", wld.c_str(), "", 4), 0) << engine_get_last_error();
    const std::string path = in_folder("kept.wld");
    std::ofstream(path) << "old";
    const auto leftovers = [&] {
        int n = 0;
        for (const auto& e : fs::directory_iterator(folder_))
            n += e.path().filename() != "kept.wld" && e.path().extension() != ".log";
        return n;
    };
    // A write cut short by the file size limit.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int cut = Drovik_engine_save(path.c_str(), nullptr, 0);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(cut, -1);
    EXPECT_EQ(read_file(path), "old");
    EXPECT_EQ(leftovers(), 0);
    // A folder that cannot be written.
    if (geteuid() != 0) {
        fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(Drovik_engine_save(path.c_str(), nullptr, 0), -1);
        fs::permissions(folder_, fs::perms::owner_all);
        EXPECT_EQ(read_file(path), "old");
        EXPECT_EQ(leftovers(), 0);
    }
}

TEST_F(TextWorld, NamesTheReaderWouldSplitFailTheSave) {
    ASSERT_EQ(Drovik_engine_load_world("box.wld", wld.c_str(), "", 4), 0) << engine_get_last_error();
    for (const char* bad : {"two words", "a//b", "x/*y"}) {
        SCOPED_TRACE(bad);
        polygon_set_name(polygon_named("floor") ? polygon_named("floor") : polygon_named("two words"), bad);
        EXPECT_EQ(Drovik_engine_save(in_folder("n.wld").c_str(), nullptr, 0), -1);
        EXPECT_NE(error_log().find(std::string("engine_save_text_world: the name \"") + bad), std::string::npos);
        EXPECT_FALSE(fs::exists(in_folder("n.wld")));
        polygon_set_name(polygon_named(bad), "floor");
    }
}

}  // namespace

namespace {

// A polygon playing an animation takes the animation's first picture; one naming a missing animation is reported.
TEST_F(TextWorld, AnimatedPolygonsFindTheirAnimationOrAreReported) {
    fs::copy_file(wld + "/scene.wld", in_folder("scene.wld"));
    ASSERT_EQ(Drovik_engine_load_world("scene.wld", folder_.c_str(), "", 0), 0) << engine_get_last_error();
    polygon* wall = get_first_polygon();
    ASSERT_NE(wall, nullptr);
    ASSERT_NE(wall->anim, nullptr);
    EXPECT_STREQ(wall->anim->name, "flame");
    ASSERT_NE(wall->anim->views[0], nullptr);
    EXPECT_EQ(wall->texture, wall->anim->views[0]->bitmap);

    std::string text = read_file(wld + "/scene.wld");
    const std::string flame = "BITMAP: ANIMATION flame";
    text.replace(text.find(flame), flame.size(), "BITMAP: ANIMATION smoke");
    std::ofstream(in_folder("smoke.wld"), std::ios::binary) << text;
    const size_t errors_before = error_log().size();
    Drovik_engine_load_world("smoke.wld", folder_.c_str(), "", 0);
    EXPECT_NE(error_log().find("Animation SMOKE is missing !!!\n", errors_before), std::string::npos);
}

int owned_polygons(const dynamic_object* d) {
    int n = 0;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) n += p->owner == d;
    return n;
}

TEST_F(TextWorld, DynamicObjectFromAWorldFile) {
    ASSERT_EQ(Drovik_engine_load_world("box.wld", wld.c_str(), "", 4), 0) << engine_get_last_error();
    ASSERT_EQ(Drovik_engine_save(in_folder("two.drovik").c_str(), nullptr, 0), 0) << engine_get_last_error();
    // Viewer mode writes a tree cache beside the world: load a copy.
    fs::copy_file(wld + "/scene.wld", in_folder("scene.wld"));
    ASSERT_EQ(Drovik_engine_load_world("scene.wld", folder_.c_str(), "", 0), 0) << engine_get_last_error();
    const int before = count_polygons();
    dynamic_object* from_text = dynamic_create_from_file((wld + "/box.wld").c_str());
    ASSERT_NE(from_text, nullptr) << engine_get_last_error();
    EXPECT_STREQ(from_text->name, "box.wld");
    EXPECT_EQ(owned_polygons(from_text), 2);
    dynamic_object* from_binary = dynamic_create_from_file(in_folder("two.drovik").c_str());
    ASSERT_NE(from_binary, nullptr) << engine_get_last_error();
    EXPECT_EQ(owned_polygons(from_binary), 2);
    EXPECT_EQ(count_polygons(), before + 4);
    EXPECT_EQ(text_world_kept_sounds().size(), 0u);  // the scene has none; the file's stay out

    dynamic_object* const objects = engine_state.dynamic_objects;
    EXPECT_EQ(dynamic_create_from_file(in_folder("missing.wld").c_str()), nullptr);
    EXPECT_NE(error_log().rfind("dynamic_create_from_file: failed\n"), std::string::npos);
    EXPECT_EQ(engine_state.dynamic_objects, objects);
    EXPECT_EQ(count_polygons(), before + 4);
}

}  // namespace

namespace {

int count_of(const std::string& text, const std::string& word) {
    int n = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
    return n;
}

TEST_F(TextWorld, GroupTreeSavedMergedAndInParts) {
    ASSERT_EQ(Drovik_engine_load_world("includes.wld", wld.c_str(), "", 4), 0) << engine_get_last_error();
    const std::string original = world_summary();
    EXPECT_NE(original.find("(5 0 0 1 8) (6 0 0 1 8) (6 1 0 1 8)"), std::string::npos) << original;

    ASSERT_EQ(Drovik_engine_save(in_folder("m.wld").c_str(), nullptr, 0), 0) << engine_get_last_error();
    const std::string merged = read_file(in_folder("m.wld"));
    EXPECT_EQ(count_of(merged, "BEGIN_MODULE:"), 2);
    EXPECT_EQ(count_of(merged, "END_DESIGN:"), 1);
    EXPECT_EQ(count_of(merged, "INCLUDE_FILE:"), 0);
    EXPECT_FALSE(fs::exists(in_folder("m.001")));

    ASSERT_EQ(Drovik_engine_save(in_folder("p.wld").c_str(), nullptr, 0x20), 0) << engine_get_last_error();
    EXPECT_NE(read_file(in_folder("p.wld")).find("INCLUDE_FILE: p.001   // part\n"), std::string::npos);
    EXPECT_EQ(count_of(read_file(in_folder("p.001")), "BEGIN_DESIGN:"), 1);

    for (const char* saved : {"m.wld", "p.wld"}) {
        SCOPED_TRACE(saved);
        ASSERT_EQ(Drovik_engine_load_world(saved, folder_.c_str(), "", 4), 0) << engine_get_last_error();
        EXPECT_EQ(world_summary(), original);
    }
}

}  // namespace

namespace {

TEST_F(TextWorld, DynamicObjectBlock) {
    // Viewer mode writes a tree cache beside the world: load a copy.
    fs::copy_file(wld + "/dynamic.wld", in_folder("dynamic.wld"));
    ASSERT_EQ(Drovik_engine_load_world("dynamic.wld", folder_.c_str(), "", 0), 0) << engine_get_last_error();
    dynamic_object* d = engine_state.dynamic_objects;
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->name, "car1");
    EXPECT_STREQ(d->type, "Car");
    EXPECT_EQ(d->reserved, 2);  // "CAR" in any case
    EXPECT_EQ(d->control, 7);
    EXPECT_STREQ(d->track.name, "road");
    EXPECT_DOUBLE_EQ(d->friction, 1);  // 3 is stored as 1
    EXPECT_EQ(d->rotation_space, 1);
    EXPECT_NEAR(d->rotation[2], 1.5707963267948966, 1e-12);
    const vec3 at = dynamic_get_location(d);
    EXPECT_DOUBLE_EQ(at.x, 10);
    EXPECT_DOUBLE_EQ(at.z, 30);
    EXPECT_NE(engine_log().find("\t\t name==car1, closing name==car_one\n"), std::string::npos);

    // Editor mode folds the object into a group; the saved world reads back with the same object.
    ASSERT_EQ(Drovik_engine_load_world("dynamic.wld", wld.c_str(), "", 4), 0) << engine_get_last_error();
    ASSERT_EQ(Drovik_engine_save(in_folder("d.wld").c_str(), nullptr, 0), 0) << engine_get_last_error();
    ASSERT_EQ(Drovik_engine_load_world("d.wld", folder_.c_str(), "", 0), 0) << engine_get_last_error();
    d = engine_state.dynamic_objects;
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->name, "car1");
    EXPECT_EQ(d->control, 7);
    // The object stands at its group's centre, its polygons around it as before.
    EXPECT_NEAR(dynamic_get_location(d).y, 20.5, 1e-9);
    EXPECT_NE(world_summary().find("body 200 0 0 - t-1 r1: (-0.5 -0.5 0 200 8) (0.5 -0.5 0 200 8) (0.5 0.5 0 200 8)"),
              std::string::npos) << world_summary();
}

TEST_F(TextWorld, TypeAndControlWords) {
    struct word_case {
        const char* type;
        const char* control;
        int result, code, control_code, disabled;
    } cases[] = {
        {"plane", "PLAYER", 0, 1, 1, 0}, {"CAR_BACK_WHEEL", "computer", 0, 3, 2, 0},
        {"car_front_wheel", "2", 0, 4, 2, 0}, {"was_DISABLED_here", "1", 0, 1, 1, 1},
        {"regular", "nobody", -1, 0, 0, 0},
    };
    const std::string fixture = read_file(wld + "/dynamic.wld");
    for (const word_case& c : cases) {
        SCOPED_TRACE(c.type);
        std::string text = fixture;
        text.replace(text.find("TYPE: Car"), 9, std::string("TYPE: ") + c.type);
        text.replace(text.find("CONTROL: 7"), 10, std::string("CONTROL: ") + c.control);
        std::ofstream(in_folder("w.wld"), std::ios::binary) << text;
        ASSERT_EQ(Drovik_engine_load_world("w.wld", folder_.c_str(), "", 0), c.result);
        if (c.result != 0) continue;
        ASSERT_NE(engine_state.dynamic_objects, nullptr);
        EXPECT_EQ(engine_state.dynamic_objects->reserved, c.code);
        EXPECT_EQ(engine_state.dynamic_objects->control, c.control_code);
        EXPECT_EQ(engine_state.dynamic_objects->disabled, c.disabled);
    }
}

}  // namespace

namespace {

TEST_F(TextWorld, WriterLines) {
    const std::string block = "\tPOLYGON: shifted\n\t\tCOLOR: 1 2 3\n\t\tBITMAP: c://maps\\stone.bmp\n\t\tTRANSPARENT: -1\n"
                                "\t\tROTATED: NO\n\t\tLIGHT_DIMINUTION: 0\n\t\tNUM_OF_POINTS: 3\n"
                                "\t\t\t0 0 0 0 0 100\n\t\t\t10 0 0 1 0 100\n\t\t\t10 10 0 1 1 100\n";
    ASSERT_EQ(load_text(std::string("BEGIN_DESIGN:\nATMOSPHERE: 1 2 3\nBEGIN_MODULE: main\n") + block +
                        "END_MODULE: main\nEND_DESIGN:\n"),
              0)
        << engine_get_last_error();
    polygon* p = polygon_named("shifted");
    ASSERT_NE(p, nullptr);
    const double cords[3][2] = {{-2.5, -1}, {3, -1}, {3, 0.5}};
    int i = 0;
    for (point* pt = p->points; pt; pt = pt->next, ++i) {
        pt->bitmap_x = cords[i][0];
        pt->bitmap_y = cords[i][1];
        pt->normal_x = pt->normal_y = pt->normal_z = 0;
    }
    struct writer_case {
        int flags;
        std::vector<std::string> present, absent;
    } cases[] = {
        {0,
         {"ATMOSPHERE: 1 2 3 FOG: ", "\t\tBITMAP: C://MAPS\\STONE.BMP\n", "\t\t\t-5\t-5\t 0\t 0.5\t 0\t 100\tRGB: 255 255 255 \n",
          "\t\t\t 5\t-5\t 0\t 6\t 0\t 100\t", "CAMERA: "},
         {"RGB: 255 255 255 N:"}},
        {0x02, {"\t\tBITMAP: STONE.BMP\n"}, {}},
        {0x40, {"BEGIN_MODULE: main\n", "POLYGON: shifted"}, {"ATMOSPHERE:", "CAMERA:", "DEFAULT_COLOR:"}},
    };
    for (const writer_case& c : cases) {
        SCOPED_TRACE(c.flags);
        ASSERT_EQ(engine_save_text_world(in_folder("w").c_str(), nullptr, c.flags), 0);
        const std::string text = read_file(in_folder("w.wld"));
        for (const std::string& line : c.present) EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
        for (const std::string& line : c.absent) EXPECT_EQ(text.find(line), std::string::npos) << line;
    }
}

// A sound library's hook pair sees every block and writes its own.
std::vector<std::string> hooked;

int hook_reader(const char* text, const char*, int* used) {
    const char* end = std::strstr(text, "END_SOUND:");
    if (!end) return -1;
    const char* line_end = std::strchr(end, '\n');
    *used = static_cast<int>((line_end ? line_end + 1 : end + std::strlen(end)) - text);
    hooked.emplace_back(text, static_cast<size_t>(*used));
    return 0;
}

int hook_writer(FILE* file, const char* directory) {
    return std::fprintf(file, "SOUND: hooked\n\tOBJECT_TYPE: group\n\tOBJECT_NAME: x\n\tFILE_NAME: %s.wav\nEND_SOUND: hooked\n",
                        *directory ? "in_folder" : "here") > 0 ? 0 : -1;
}

TEST_F(TextWorld, SoundBlocksGoThroughTheHookPair) {
    hooked.clear();
    text_world_set_sound_hooks(hook_reader, hook_writer);
    const int loaded = Drovik_engine_load_world("box.wld", wld.c_str(), "", 4);
    const int saved = Drovik_engine_save(in_folder("h.wld").c_str(), nullptr, 0);
    text_world_set_sound_hooks(nullptr, nullptr);
    ASSERT_EQ(loaded, 0);
    ASSERT_EQ(saved, 0);
    ASSERT_EQ(hooked.size(), 1u);
    EXPECT_EQ(hooked[0].rfind("SOUND: bell", 0), 0u);
    EXPECT_NE(read_file(in_folder("h.wld")).find("FILE_NAME: in_folder.wav\n"), std::string::npos);
    EXPECT_EQ(text_world_kept_sounds().size(), 0u);
    // A block the default hook cannot read fails the file.
    EXPECT_EQ(load_text("BEGIN_DESIGN:\nSOUND: s\n\tOBJECT_TYPE: group\nEND_SOUND: s\nEND_DESIGN:\n"), -1);
    EXPECT_NE(error_log().find("read_world_sound: failed\n"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(TextWorld, MarkedOnlySaveLeavesOutTracksAndLightsMadeAfterTheLoad) {
    ASSERT_EQ(load_text("BEGIN_DESIGN:\nTRACK: read_track\n\tCYCLIC: NO\n\t0 0 0\n\t1 0 0\nEND_TRACK: read_track\n"
                        "LIGHT: read_light\n\tLOCATION: 0 0 100\n\tDIRECTION: 0 0 -1\n\tCOLOR: 255 255 255\n"
                        "\tAMBIENT: 0.1 0.8 0.3 20\n\tRAYTRACING: NO\n\tDISTANCE: -1\n\tTARGET: GROUP NULL\n"
                        "\tAUTO: NO LIGHT_ADD\n\tTYPE: LIGHT_AMBIENT\nEND_LIGHT: read_light\n"
                        "BEGIN_MODULE: main\nEND_MODULE: main\nEND_DESIGN:\n"),
              0)
        << engine_get_last_error();
    jtrack* made = init_jtrack();
    ASSERT_NE(made, nullptr);
    const double points[6] = {0, 0, 0, 0, 5, 0};
    ASSERT_EQ(track_set_points(made, points, 2), 0);
    jstrcpy_with_allocating(&made->name, "made_track");
    made->next = engine_state.tracks;
    engine_state.tracks = made;
    ASSERT_NE(light_create(&engine_state.lights, "made_light"), nullptr);

    for (const char* ext : {"wld", "drovik"}) {
        SCOPED_TRACE(ext);
        const std::string marked = in_folder(std::string("marked.") + ext);
        const std::string all = in_folder(std::string("all.") + ext);
        ASSERT_EQ(Drovik_engine_save(marked.c_str(), nullptr, 0x01), 0) << engine_get_last_error();
        ASSERT_EQ(Drovik_engine_save(all.c_str(), nullptr, 0), 0) << engine_get_last_error();
        const std::string marked_text = read_file(marked), all_text = read_file(all);
        for (const char* name : {"read_track", "read_light"}) {
            EXPECT_NE(marked_text.find(name), std::string::npos) << name;
            EXPECT_NE(all_text.find(name), std::string::npos) << name;
        }
        for (const char* name : {"made_track", "made_light"}) {
            EXPECT_EQ(marked_text.find(name), std::string::npos) << name;
            EXPECT_NE(all_text.find(name), std::string::npos) << name;
        }
    }
}

TEST_F(TextWorld, BlendingKeywordIsReadAndWritten) {
    const std::string head = "BEGIN_DESIGN:\nBEGIN_MODULE: main\n\tPOLYGON: glass\n\t\tCOLOR: 1 2 3\n"
                             "\t\tBITMAP: NO_BITMAP\n\t\tTRANSPARENT: 5  ";
    const std::string tail = "\n\t\tROTATED: NO\n\t\tLIGHT_DIMINUTION: 0\n\t\tNUM_OF_POINTS: 3\n"
                             "\t\t\t0 0 0 0 0 100\n\t\t\t10 0 0 1 0 100\n\t\t\t10 10 0 1 1 100\n"
                             "END_MODULE: main\nEND_DESIGN:\n";
    struct blending_case {
        const char* keyword;
        const char* read_back;
        bool reported;
    } cases[] = {
        {"NORMAL_GLASS", "NORMAL_GLASS", false},
        {"filter_glass", "FILTER_GLASS", false},
        {"", "DISABLE_BLENDING", false},
        {"MILKY_GLASS", "DISABLE_BLENDING", true},
    };
    for (const blending_case& c : cases) {
        SCOPED_TRACE(c.keyword);
        const size_t log_before = error_log().size();
        ASSERT_EQ(load_text(head + c.keyword + tail), 0) << engine_get_last_error();
        polygon* p = polygon_named("glass");
        ASSERT_NE(p, nullptr);
        EXPECT_STREQ(polygon_get_translucent_name(p), c.read_back);
        EXPECT_EQ(error_log().find("read_transparent: Illegal blending mode - glass\n", log_before) != std::string::npos,
                  c.reported);
        ASSERT_EQ(engine_save_text_world(in_folder("b").c_str(), nullptr, 0), 0);
        EXPECT_NE(read_file(in_folder("b.wld")).find(std::string("\t\tTRANSPARENT: 5  ") + c.read_back + "\n"),
                  std::string::npos);
    }
}

TEST_F(TextWorld, ModulePerDynamicGroupReadsBackAsTheSameObject) {
    ASSERT_EQ(Drovik_engine_load_world("dynamic.wld", wld.c_str(), "", 4), 0) << engine_get_last_error();
    ASSERT_EQ(Drovik_engine_save(in_folder("d.wld").c_str(), nullptr, 0x80 | 0x20), 0) << engine_get_last_error();
    const std::string text = read_file(in_folder("d.wld"));
    EXPECT_EQ(count_of(text, "BEGIN_MODULE:"), 2) << text;
    EXPECT_NE(text.find("\n\nBEGIN_MODULE: car1\n\n\tPOLYGON: body\n"), std::string::npos) << text;
    EXPECT_LT(text.find("BEGIN_MODULE: car1"), text.find("BEGIN_MODULE: main"));
    EXPECT_NE(text.find("\n\tDYNAMIC: car1\n"), std::string::npos);
    EXPECT_EQ(count_of(text, "POLYGON: body"), 1);
    EXPECT_EQ(count_of(text, "INCLUDE_FILE:"), 0);
    EXPECT_FALSE(fs::exists(in_folder("d.001")));

    ASSERT_EQ(Drovik_engine_load_world("d.wld", folder_.c_str(), "", 0), 0) << engine_get_last_error();
    const dynamic_object* d = engine_state.dynamic_objects;
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->name, "car1");
    EXPECT_EQ(d->control, 7);
    EXPECT_NEAR(dynamic_get_location(d).y, 20.5, 1e-9);
    EXPECT_NE(world_summary().find("body 200 0 0 - t-1 r1: (-0.5 -0.5 0 200 8) (0.5 -0.5 0 200 8) (0.5 0.5 0 200 8)"),
              std::string::npos)
        << world_summary();
    EXPECT_NE(world_summary().find("ground 50 50 50"), std::string::npos);
}

}  // namespace

namespace {

// A dynamic object naming a module the file lacks fails the digestion before the object is
// collected; the close must still free it.
TEST_F(TextWorld, DynamicObjectOfAMissingModuleIsFreedWhenTheLoadFails) {
    const std::string design =
        "BEGIN_DESIGN:\n"
        "BEGIN_MODULE: MAIN\n"
        "\tDYNAMIC: car1\n"
        "\t\tMODULE_NAME: car1\n"
        "\t\tTYPE: Car\n"
        "\t\tCONTROL: 7\n"
        "\t\tTRACK: NO_TRACK\n"
        "\t\tCHASE: NO_CHASE\n"
        "\t\tCHASE_TYPE: NO_CHASE\n"
        "\t\tCHASE_DISTANCE: 5\n"
        "\t\tPHYSICS: SPEED: 0 0 0 FORCE: 0 0 0 MAX_SPEED: 44 FRICTION: 3 ELASTICITY: 0.5\n"
        "\t\tMATRIX:\n\t\t\t1 0 0\n\t\t\t0 1 0\n\t\t\t0 0 1\n"
        "\t\tLOCATION: 10 20 30\n"
        "\t\tSCALE: 1 1 1\n"
        "\tEND_OBJECT: car1\n" +
        polygon_text("ground", 3) +
        "END_MODULE: main\n"
        "END_DESIGN:\n";
    EXPECT_EQ(load_text(design), -1);
    const std::string text = engine_log();
    EXPECT_NE(text.find("connect_modules_to_objects: couldnt match object car1"), std::string::npos) << text;
    EXPECT_EQ(text.find("Didnt free all mem"), std::string::npos) << text;
}

TEST_F(TextWorld, ProgressStepsEveryTwentyPolygons) {
    ASSERT_EQ(load_text(std::string(polygon_head) + polygon_tail), 0);
    engine_close(1);
    struct progress_case {
        int polygons;
        int position;
        int lowest_end, highest_end;
    } cases[] = {
        {19, 1, 50, 50},
        {45, 3, 50, 50},
        // The 50th step passes the end of 50: a random end of 10 to 30 follows, the bar wrapping.
        {1000, 0, 10, 30},
    };
    for (const progress_case& c : cases) {
        SCOPED_TRACE(c.polygons);
        std::string text = polygon_head;
        for (int i = 0; i < c.polygons; ++i) text += polygon_text("p" + std::to_string(i), 3);
        text += polygon_tail;
        engine_init_world_state(1, 5, 6, 5, 0);
        ASSERT_EQ(text_world_read_memory(text.data(), text.size(), folder_.c_str()), 0);
        if (c.position) {
            EXPECT_EQ(engine_g().progress_position, c.position);
        } else {
            EXPECT_GE(engine_g().progress_position, 1);
            EXPECT_LE(engine_g().progress_position, engine_g().progress_target);
        }
        EXPECT_GE(engine_g().progress_target, c.lowest_end);
        EXPECT_LE(engine_g().progress_target, c.highest_end);
        engine_close(1);
    }
}

}  // namespace

namespace {

// Counts of the world's lists: polygons, cameras, tracks, lights, backgrounds, animations, groups.
std::string lists_held() {
    auto count = [](auto* head) {
        int n = 0;
        for (auto* r = head; r; r = r->next) ++n;
        return n;
    };
    return plat_format("p%d c%d t%d l%d b%d a%d g%d", count_polygons(), count(engine_state.cameras),
                       count(engine_state.tracks), count(engine_state.lights), count(engine_state.backgrounds),
                       count(engine_state.animations), count(engine_state.groups));
}

TEST_F(TextWorld, FixtureTable) {
    struct fixture_case {
        const char* file;
        int result;
        const char* report;  // a line the logs must hold, or ""
        const char* lists;   // after a successful load
    } cases[] = {
        // The main module's polygons make a group; an object makes one more.
        {"box.wld", 0, "", "p2 c1 t1 l0 b0 a0 g1"},
        {"crlf.wld", 0, "", "p2 c1 t1 l0 b0 a0 g1"},
        {"includes.wld", 0, "", "p1 c1 t0 l0 b0 a0 g1"},
        {"scene.wld", 0, "", "p1 c1 t0 l1 b1 a1 g1"},
        {"dynamic.wld", 0, "", "p2 c1 t1 l0 b0 a0 g2"},
        {"no_begin.wld", -1, "engine_read_world_file: cant find BEGIN_DESIGN:\n", ""},
        {"open_comment.wld", -1, "engine_read_world_file: bad comments missing closing *\\ \n", ""},
        {"missing_include.wld", -1, "engine_read_world_design: failed reading ", ""},
        {"short_polygon.wld", -1, "read_a_module: failed reading a polygon\n", ""},
    };
    for (const fixture_case& c : cases) {
        SCOPED_TRACE(c.file);
        const size_t errors_before = error_log().size(), log_before = engine_log().size();
        ASSERT_EQ(Drovik_engine_load_world(c.file, wld.c_str(), "", 4), c.result) << engine_get_last_error();
        if (*c.report) {
            const bool in_error_log = error_log().find(c.report, errors_before) != std::string::npos;
            const bool in_engine_log = engine_log().find(c.report, log_before) != std::string::npos;
            EXPECT_TRUE(in_error_log || in_engine_log) << error_log().substr(errors_before);
        }
        if (c.result == 0) {
            EXPECT_EQ(lists_held(), c.lists);
        }
    }
}

}  // namespace

namespace {

TEST_F(TextWorld, PartNumbersOfATwelveGroupTreeFollowPreOrder) {
    ASSERT_EQ(load_text(std::string(polygon_head) + polygon_text("floor", 3) + polygon_tail), 0);
    // name, father: numbered in pre-order after the main module's group.
    const std::pair<const char*, const char*> tree[] = {
        {"a", nullptr}, {"a1", "a"},  {"a1x", "a1"},  {"a1y", "a1"},   {"a2", "a"}, {"b", nullptr},
        {"b1", "b"},    {"b1x", "b1"}, {"b1xx", "b1x"}, {"c", nullptr}, {"d", nullptr}, {"d1", "d"},
    };
    group* made[12] = {};
    // Appended in order, so the group list holds each father's children in tree order.
    group** tail = &engine_state.groups;
    while (*tail) tail = &(*tail)->next;
    for (int i = 0; i < 12; ++i) {
        group* g = group_create(tail, tree[i].first);
        ASSERT_NE(g, nullptr);
        made[i] = g;
        while (*tail) tail = &(*tail)->next;
        for (int j = 0; j < i; ++j) {
            if (tree[i].second && std::string(tree[j].first) == tree[i].second) group_set_father_group(g, made[j]);
        }
    }
    ASSERT_EQ(engine_save_text_world(in_folder("w").c_str(), nullptr, 0x20), 0);
    // The main module's group comes first, as part 1.
    const std::pair<const char*, std::vector<const char*>> includes[] = {
        {"w.wld", {"w.001   // the_world\n", "w.002   // a\n", "w.007   // b\n", "w.011   // c\n", "w.012   // d\n"}},
        {"w.002", {"w.003   // a1\n", "w.006   // a2\n"}},
        {"w.003", {"w.004   // a1x\n", "w.005   // a1y\n"}},
        {"w.007", {"w.008   // b1\n"}},
        {"w.009", {"w.010   // b1xx\n"}},
        {"w.012", {"w.013   // d1\n"}},
        {"w.001", {}},
        {"w.011", {}},
    };
    for (const auto& [file, lines] : includes) {
        SCOPED_TRACE(file);
        const std::string text = read_file(in_folder(file));
        EXPECT_EQ(count_of(text, "INCLUDE_FILE: "), static_cast<int>(lines.size())) << text;
        for (const char* line : lines) EXPECT_NE(text.find(std::string("INCLUDE_FILE: ") + line), std::string::npos);
    }
    EXPECT_TRUE(fs::exists(in_folder("w.013")));
    EXPECT_FALSE(fs::exists(in_folder("w.014")));
}

TEST_F(TextWorld, MirroredBitmapIsWrittenUnmirrored) {
    ASSERT_EQ(load_text(std::string(polygon_head) + polygon_text("m", 3) + polygon_tail), 0);
    polygon* p = polygon_named("m");
    ASSERT_NE(p, nullptr);
    const double cords[3][2] = {{0, 0}, {1, 0}, {1, 1}};
    int i = 0;
    for (point* pt = p->points; pt; pt = pt->next, ++i) {
        pt->bitmap_x = cords[i][0];
        pt->bitmap_y = cords[i][1];
    }
    polygon_mirror_horizontal_bitmap(p);
    p->bitmap_mirrored = 1;
    ASSERT_EQ(engine_save_text_world(in_folder("m").c_str(), nullptr, 0), 0);
    const std::string text = read_file(in_folder("m.wld"));
    i = 0;
    for (const point* pt = p->points; pt; pt = pt->next, ++i) {
        SCOPED_TRACE(i);
        EXPECT_NE(text.find(plat_format("\t% .16lG\t% .16lG\t% .16lG\t 100\t", pt->z, cords[i][0], cords[i][1])),
                  std::string::npos)
            << text;
    }
    // Mirrored again after the write.
    const double mirrored_x[3] = {1, 0, 0};
    i = 0;
    for (const point* pt = p->points; pt; pt = pt->next, ++i) EXPECT_DOUBLE_EQ(pt->bitmap_x, mirrored_x[i]);
}

}  // namespace

namespace {

// A module of one polygon whose point lines are given ("x y z bm_x bm_y light" each).
std::string one_polygon(const std::vector<std::string>& points, const char* rotated = "NO") {
    std::string text = std::string(polygon_head) + "\tPOLYGON: p\n\t\tCOLOR: 1 2 3\n\t\tBITMAP: NO_BITMAP\n" +
                       "\t\tTRANSPARENT: -1\n\t\tROTATED: " + rotated + "\n\t\tLIGHT_DIMINUTION: 0\n" +
                       "\t\tNUM_OF_POINTS: " + std::to_string(points.size()) + "\n";
    for (const std::string& line : points) text += "\t\t\t" + line + "\n";
    return text + polygon_tail;
}

TEST_F(TextWorld, PolygonChecksAfterReading) {
    const char* const repeated = "set_derived_values: Warning, polygon has redandent points\n";
    const char* const concave = "set_derived_values: Warning, polygon is not convex\n";
    const char* const turned = "set_derived_values: a rotated object must be defined so its normal is (1,0,0)\n";
    struct check_case {
        const char* what;
        std::vector<std::string> points;
        const char* rotated;
        int points_kept, rotated_kept;
        std::vector<const char*> reports;
    } cases[] = {
        {"a point in the middle of an edge stays",
         {"0 0 0 0 0 100", "10 0 0 10 0 100", "10 5 0 10 5 100", "10 10 0 10 10 100", "0 10 0 0 10 100"}, "NO", 5, 0, {}},
        {"a repeated point goes",
         {"0 0 0 0 0 100", "10 0 0 10 0 100", "10 10 0 10 10 100", "10 10 0 10 10 100", "0 10 0 0 10 100"}, "NO", 4, 0,
         {repeated}},
        {"the last point on the first goes",
         {"0 0 0 0 0 100", "10 0 0 10 0 100", "10 10 0 10 10 100", "0 0 0 0 0 100"}, "NO", 3, 0, {repeated}},
        {"a concave polygon is kept with a warning",
         {"0 0 0 0 0 100", "10 0 0 10 0 100", "10 10 0 10 10 100", "5 3 0 5 3 100", "0 10 0 0 10 100"}, "NO", 5, 0,
         {concave}},
        {"rotated and facing up loses the flag",
         {"0 0 0 0 0 100", "10 0 0 10 0 100", "10 10 0 10 10 100", "0 10 0 0 10 100"}, "YES", 4, 0, {turned}},
        {"rotated and facing along x keeps it",
         {"0 0 0 0 0 100", "0 0 10 0 10 100", "0 10 10 10 10 100", "0 10 0 10 0 100"}, "YES", 4, 1, {}},
    };
    for (const check_case& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t errors_before = error_log().size(), log_before = engine_log().size();
        ASSERT_EQ(load_text(one_polygon(c.points, c.rotated)), 0) << engine_get_last_error();
        const polygon* p = polygon_named("p");
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->point_count, c.points_kept);
        EXPECT_EQ(p->rotated, c.rotated_kept);
        const std::string errors = error_log().substr(errors_before);
        for (const char* line : {repeated, concave, turned}) {
            const bool expected = std::find(c.reports.begin(), c.reports.end(), line) != c.reports.end();
            EXPECT_EQ(errors.find(line) != std::string::npos, expected) << line << errors;
        }
        // The warnings show the point lines in the engine log.
        if (!c.reports.empty() && c.reports[0] != turned) {
            EXPECT_NE(engine_log().find("\t\t 10  10  0  10  10  8 \n", log_before), std::string::npos)
                << engine_log().substr(log_before);
        }
    }
    // The point in the middle of an edge is saved back.
    ASSERT_EQ(load_text(one_polygon(cases[0].points)), 0);
    ASSERT_EQ(Drovik_engine_save(in_folder("kept.wld").c_str(), nullptr, 0), 0);
    EXPECT_NE(read_file(in_folder("kept.wld")).find("\t\tNUM_OF_POINTS: 5\n"), std::string::npos);
}

TEST_F(TextWorld, MissingValuesComeFromTheFirstThreePointsThatCarryThem) {
    // Point 1 lacks only bm_x; its bm_y still counts, so bm_y follows points 1-3 (bm_y = y), and the
    // fourth point's off-map light is brought onto the map of the first three.
    ASSERT_EQ(load_text(one_polygon({"0 0 0 -1 0 100", "10 0 0 10 0 100", "10 10 0 10 10 100", "0 10 0 0 20 50"})), 0)
        << engine_get_last_error();
    const polygon* p = polygon_named("p");
    ASSERT_NE(p, nullptr);
    const point* pts[4] = {p->points, p->points->next, p->points->next->next, p->points->next->next->next};
    EXPECT_NEAR(pts[0]->bitmap_x, 0, 1e-9);
    EXPECT_NEAR(pts[0]->bitmap_y, 0, 1e-9);
    EXPECT_NEAR(pts[3]->bitmap_y, 10, 1e-9);
    EXPECT_NEAR(pts[3]->brightness, 8, 1e-9);

    struct report_case {
        const char* what;
        std::vector<std::string> points;
        int result;
        std::vector<const char*> reports;
    } cases[] = {
        {"two points with bm_x", {"0 0 0 -1 0 100", "10 0 0 -1 0 100", "10 10 0 10 10 100", "0 10 0 0 10 100"}, 0,
         {"interpolate_cords: Couldnt find three positive bm_x cords\n",
          "read_points: bad bitmaps cord OR bad light cords\n"}},
        {"two points with bm_y", {"0 0 0 0 -1 100", "10 0 0 10 -1 100", "10 10 0 10 10 100", "0 10 0 0 10 100"}, 0,
         {"interpolate_cords: Couldnt find three positive bm_y cords\n"}},
        // The first three points on one line: no map, the values stay as read.
        {"first three in line", {"0 0 0 0 0 100", "5 0 0 5 0 100", "10 0 0 10 0 100", "10 10 0 10 10 100"}, 0,
         {"interpolate_cords: bad bm_x cords. polygons name=p\n", "interpolate_cords: bad bm_y cords. polygons name=p\n",
          "interpolate_cords: bad light cords. polygons name=p\n"}},
    };
    for (const report_case& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t before = error_log().size();
        ASSERT_EQ(load_text(one_polygon(c.points)), c.result);
        const std::string errors = error_log().substr(before);
        for (const char* line : c.reports) EXPECT_NE(errors.find(line), std::string::npos) << line << errors;
    }
    // Read back with no map, the polygon keeps its own values.
    const polygon* in_line = polygon_named("p");
    ASSERT_NE(in_line, nullptr);
    EXPECT_EQ(in_line->point_count, 4);
    EXPECT_NEAR(in_line->points->next->bitmap_x, 5, 1e-9);
}

// The percent written for a shade level is the middle of the level's range, so that the reader's
// truncation gives the level back; Part of the levels would come back one lower from the exact
// inverse of the reading.
TEST_F(TextWorld, EveryShadeLevelSurvivesSaving) {
    std::string text = polygon_head;
    for (int t = 0; t < 11; ++t) text += polygon_text("t" + std::to_string(t), 3);
    ASSERT_EQ(load_text(text + polygon_tail), 0) << engine_get_last_error();
    for (int t = 0; t < 11; ++t) {
        int level = 3 * t;
        for (point* pt = polygon_named(("t" + std::to_string(t)).c_str())->points; pt; pt = pt->next)
            pt->brightness = std::min(level++, 31);
    }
    ASSERT_EQ(Drovik_engine_save(in_folder("levels.wld").c_str(), nullptr, 0), 0);
    ASSERT_EQ(Drovik_engine_load_world("levels.wld", folder_.c_str(), "", 4), 0) << engine_get_last_error();
    for (int t = 0; t < 11; ++t) {
        SCOPED_TRACE(t);
        const polygon* p = polygon_named(("t" + std::to_string(t)).c_str());
        ASSERT_NE(p, nullptr);
        int level = 3 * t;
        for (const point* pt = p->points; pt; pt = pt->next) EXPECT_EQ(pt->brightness, std::min(level++, 31));
    }
    EXPECT_NE(read_file(in_folder("levels.wld")).find("\t 100\t"), std::string::npos);  // level 8
}

}  // namespace

namespace {

const char* const empty_main = "BEGIN_MODULE: main\nEND_MODULE: main\nEND_DESIGN:\n";

std::string track_block(const char* name, const char* points) {
    return std::string("TRACK: ") + name + "\n\tCYCLIC: NO\n" + points + "END_TRACK: " + name + "\n";
}

TEST_F(TextWorld, RepeatedTrackNameGetsAVariantAndObjectsKeepTheFirst) {
    std::string text = read_file(wld + "/dynamic.wld");
    const size_t design = text.find("BEGIN_DESIGN:") + std::strlen("BEGIN_DESIGN:\n");
    text.insert(design, track_block("road", "\t100 0 0\n\t200 0 0\n") + track_block("road", "\t0 0 0\n\t1 0 0\n"));
    std::ofstream(in_folder("w.wld"), std::ios::binary) << text;
    ASSERT_EQ(Drovik_engine_load_world("w.wld", folder_.c_str(), "", 0), 0) << engine_get_last_error();
    std::vector<std::string> names;
    for (const jtrack* t = engine_state.tracks; t; t = t->next) names.push_back(t->name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"road", "road_2", "road_3"}));
    DROVIK_HANDLE first = Drovik_track_get_using_name("road");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Drovik_track_get_point_element(first, 0, 0), 100.0);
    EXPECT_EQ(Drovik_track_get_save_flag(first), 1);
    const dynamic_object* car = engine_state.dynamic_objects;
    ASSERT_NE(car, nullptr);
    EXPECT_EQ(car->track.line, first);
}

TEST_F(TextWorld, AtmosphereLightIsTheBrightnessTheInterfaceGives) {
    ASSERT_EQ(load_text(std::string("BEGIN_DESIGN:\nATMOSPHERE: 1 2 3 LIGHT: 5 FOG: 0.5\n") + empty_main), 0);
    EXPECT_EQ(Drovik_engine_get_brightness(), 5);
    ASSERT_EQ(Drovik_engine_save(in_folder("b.wld").c_str(), nullptr, 0), 0);
    EXPECT_NE(read_file(in_folder("b.wld")).find("ATMOSPHERE: 1 2 3 FOG: 0.5000  LIGHT: 5\n"), std::string::npos);
    ASSERT_EQ(Drovik_engine_load_world("b.wld", folder_.c_str(), "", 4), 0);
    EXPECT_EQ(Drovik_engine_get_brightness(), 5);
    // The binary file keeps its own field: the value reads back the same.
    ASSERT_EQ(Drovik_engine_save(in_folder("b.drovik").c_str(), nullptr, 0), 0);
    ASSERT_EQ(Drovik_engine_load_world("b.drovik", folder_.c_str(), "", 4), 0);
    EXPECT_EQ(Drovik_engine_get_brightness(), 5);
}

std::string camera_block(const char* chase_type) {
    return std::string("CAMERA: c\n\tLOCATION: 0 0 0\n\tDIRECTION: 1 0 0\n\tVIEW_FIELD: 60\n\tCULLING_DEPTH: 100\n") +
           "\tEYE_DISTANCE: 1\n\tTRACK: NO_TRACK\n\tCHASE: NO_CHASE\n\tCHASE_TYPE: " + chase_type +
           "\n\tCHASE_DISTANCE: 0\n\tPHYSICS: SPEED: 0 0 0 FORCE: 0 0 0 MAX_SPEED: 1 FRICTION: 1 ELASTICITY: 0.5 " +
           "ROTATION: OBJECT_SPACE 0 90 0\nEND_CAMERA: c\n";
}

TEST_F(TextWorld, CameraLinesAsWritten) {
    struct camera_case {
        const char* chase_type;
        const char* written;
        const char* report;
    } cases[] = {
        {"chase_location_FALL2.5 0.2", "\tCHASE_TYPE: CHASE_LOCATION_FALL2.5 0.2\n", ""},
        {"CHASE_PRECISE_FALL 0.2", "\tCHASE_TYPE: CHASE_PRECISE_FALL0 0.2\n",
         "chase_convert_string_to_number: coudnt extract the number after FALL\n"},
        {"NO_CHASE", "\tCHASE_TYPE: NO_CHASE 0.3\n", ""},
    };
    for (const camera_case& c : cases) {
        SCOPED_TRACE(c.chase_type);
        const size_t before = error_log().size();
        ASSERT_EQ(load_text("BEGIN_DESIGN:\n" + camera_block(c.chase_type) + empty_main), 0) << engine_get_last_error();
        if (*c.report) {
            EXPECT_NE(error_log().find(c.report, before), std::string::npos);
        }
        ASSERT_EQ(Drovik_engine_save(in_folder("c.wld").c_str(), nullptr, 0), 0);
        const std::string saved = read_file(in_folder("c.wld"));
        EXPECT_NE(saved.find(c.written), std::string::npos) << saved;
        // The camera's physics line ends after the elasticity.
        EXPECT_NE(saved.find(" FRICTION:  1 ELASTICITY:  0.5\nEND_CAMERA: c\n"), std::string::npos) << saved;
        ASSERT_EQ(Drovik_engine_load_world("c.wld", folder_.c_str(), "", 4), 0) << engine_get_last_error();
    }
}

TEST_F(TextWorld, LightTargetsAsWritten) {
    const std::string lights =
        "LIGHT: lamp\n\tLOCATION: 0 0 100\n\tDIRECTION: 0 0 -1\n\tCOLOR: 255 255 255\n\tAMBIENT: 1 1 1 1\n"
        "\tRAYTRACING: NO\n\tDISTANCE: -1\n\tTARGET: GROUP part\n\tAUTO: NO LIGHT_ADD\n\tTYPE: LIGHT_AMBIENT\n"
        "END_LIGHT: lamp\n"
        "LIGHT: LAMP\n\tLOCATION: 0 0 100\n\tDIRECTION: 0 0 -1\n\tCOLOR: 255 255 255\n\tAMBIENT: 1 1 1 1\n"
        "\tRAYTRACING: NO\n\tDISTANCE: -1\n\tTARGET: GROUP NULL\n\tAUTO: NO LIGHT_ADD\n\tTYPE: LIGHT_AMBIENT\n"
        "END_LIGHT: LAMP\n";
    std::string text = read_file(wld + "/includes.wld");
    text.insert(text.find("BEGIN_DESIGN:") + std::strlen("BEGIN_DESIGN:\n"), lights);
    std::ofstream(in_folder("includes.wld"), std::ios::binary) << text;
    fs::copy(wld + "/sub", in_folder("sub"), fs::copy_options::recursive);
    ASSERT_EQ(Drovik_engine_load_world("includes.wld", folder_.c_str(), "", 4), 0) << error_log();
    // Light names compare without case: the second one takes a variant.
    DROVIK_HANDLE lamp = Drovik_light_get_first_light();
    ASSERT_NE(lamp, nullptr);
    std::vector<std::string> names;
    for (const light* l = engine_state.lights; l; l = l->next) names.push_back(l->name);
    EXPECT_EQ(names, (std::vector<std::string>{"lamp", "LAMP_2"}));

    group* part = group_find_by_name(engine_state.groups, "part");
    ASSERT_NE(part, nullptr);
    ASSERT_EQ(Drovik_engine_save(in_folder("whole.wld").c_str(), nullptr, 0), 0);
    EXPECT_NE(read_file(in_folder("whole.wld")).find("\tTARGET: GROUP part\n"), std::string::npos);
    ASSERT_EQ(Drovik_engine_save(in_folder("part.wld").c_str(), part, 0), 0);
    const std::string saved_part = read_file(in_folder("part.wld"));
    EXPECT_EQ(saved_part.find("\tTARGET: GROUP part\n"), std::string::npos);
    EXPECT_EQ(count_of(saved_part, "\tTARGET: GROUP NULL\n"), 2);

    // A polygon without a name cannot be named back: the world is lit instead, with a report.
    polygon* nameless = get_first_polygon();
    ASSERT_NE(nameless, nullptr);
    polygon_set_name(nameless, nullptr);
    ASSERT_EQ(Drovik_light_set_entity_to_light(lamp, nameless), 0);
    const size_t before = error_log().size();
    ASSERT_EQ(Drovik_engine_save(in_folder("nameless.wld").c_str(), nullptr, 0), 0);
    EXPECT_NE(error_log().find("output_lights: polygon to light is null or has no name. light=lamp\n", before),
              std::string::npos);
    EXPECT_EQ(count_of(read_file(in_folder("nameless.wld")), "\tTARGET: GROUP NULL\n"), 2);
}

TEST_F(TextWorld, RepeatedAnimationMarksTheLoadedOneToBeSaved) {
    const auto animation = [](const char* name) {
        return std::string("ANIMATION: ") + name + "\n\tNUMBER_OF_FRAMES: 1\n\tTIMES: 5\n\tFRONT: f1\nEND_ANIMATION: " +
               name + "\n";
    };
    ASSERT_EQ(load_text("BEGIN_DESIGN:\n" + animation("flame") + empty_main), 0) << engine_get_last_error();
    DROVIK_HANDLE flame = engine_state.animations;
    ASSERT_NE(flame, nullptr);
    Drovik_animation_set_save_flag(flame, 0);
    std::ofstream(in_folder("more.wld"), std::ios::binary) << "BEGIN_DESIGN:\n" + animation("FLAME") + empty_main;
    const double at[3] = {0, 0, 0};
    EXPECT_NE(Drovik_engine_add_world("more.wld", folder_.c_str(), "", at), nullptr) << engine_get_last_error();
    ASSERT_EQ(engine_state.animations, flame);
    EXPECT_EQ(engine_state.animations->next, nullptr);
    EXPECT_EQ(Drovik_animation_get_save_flag(flame), 1);
}

TEST_F(TextWorld, BackgroundsOfAFileAreNotTheCurrentSky) {
    const std::string sky = "BACKGROUND: sky\n\tNUMBER_OF_FRAMES: 1\n\tREPLACE_RATE: 1\n\tPICTURES_EXTENSION: jbm\n"
                            "\tPICTURES: clouds\n\tDISTANCE: 1000\n\tBOTTOM: 0\n\tBOTTOM_INTENSITY: 100\n"
                            "\tINTENSITY_STEP: 0\nEND_BACKGROUND: sky\n";
    ASSERT_EQ(load_text("BEGIN_DESIGN:\n" + sky + empty_main), 0) << engine_get_last_error();
    ASSERT_NE(engine_state.backgrounds, nullptr);
    EXPECT_EQ(Drovik_background_get_current_background(), nullptr);
    ASSERT_EQ(Drovik_engine_save(in_folder("sky.drovik").c_str(), nullptr, 0), 0);
    ASSERT_EQ(Drovik_engine_load_world("sky.drovik", folder_.c_str(), "", 4), 0) << engine_get_last_error();
    ASSERT_NE(engine_state.backgrounds, nullptr);
    EXPECT_EQ(Drovik_background_get_current_background(), nullptr);
}

TEST_F(TextWorld, FailedLoadsEndTheirLinesAndNameTheFile) {
    std::ofstream(in_folder("bad.drovik"), std::ios::binary) << "not a world";
    struct failed_case {
        const char* file;
        std::string text;
        const char* reader_line;
    } cases[] = {
        {"short.wld", "BEGIN_DESIGN:\n" + track_block("t", "\t1 2 3\n\t1 2 3\n") + empty_main,
         "set_track_num_of_points: Too few points in track\n"},
        {"bad.drovik", "", ""},
        {"missing.raw", "", ""},
    };
    for (const failed_case& c : cases) {
        SCOPED_TRACE(c.file);
        if (!c.text.empty()) std::ofstream(in_folder(c.file), std::ios::binary) << c.text;
        const size_t before = error_log().size();
        EXPECT_EQ(Drovik_engine_load_world(c.file, folder_.c_str(), "", 4), -1);
        const std::string errors = error_log().substr(before);
        EXPECT_NE(errors.find(c.reader_line), std::string::npos) << errors;
        EXPECT_NE(errors.find("engine_load_world: failed reading " + folder_.string() + "/" + c.file + "\n"),
                  std::string::npos)
            << errors;
        EXPECT_EQ(errors.back(), '\n');
        // Every report stands on a line of its own.
        EXPECT_EQ(errors.find("engine_load_world:"), errors.find("\nengine_load_world:") + 1) << errors;
    }
}

}  // namespace
