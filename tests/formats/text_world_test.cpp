// World text files: reading the fixtures, the tables of block cases, saving and reading back.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "drovik.h"
#include "formats/text_world.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "platform/msgbox.h"
#include "platform/numbers.h"
#include "world/engine_state.h"
#include "world/engine_state_load.h"
#include "world/world_order.h"

namespace fs = std::filesystem;

namespace {

const std::string wld = std::string(DROVIK_TEST_DATA) + "/wld";

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

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
        folder_ = fs::temp_directory_path() / ("drovik_wld_" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        if (engine_is_initialized()) engine_shutdown();
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
    EXPECT_EQ(engine_state.brightness, 5);
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
        if (c.result == 0) EXPECT_EQ(count_polygons(), c.polygons);
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
    };
    for (const atmosphere_case& c : cases) {
        SCOPED_TRACE(c.lines);
        ASSERT_EQ(load_text(std::string("BEGIN_DESIGN:\n") + c.lines + "BEGIN_MODULE: main\nEND_MODULE: main\nEND_DESIGN:\n"),
                  c.result);
        if (c.result != 0) continue;
        EXPECT_EQ(engine_state.atmosphere_red, c.red);
        EXPECT_EQ(engine_state.default_atmosphere_red, c.default_red);
        if (c.fog != 0) {
            EXPECT_EQ(engine_state.brightness, c.brightness);
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

// What a round trip must keep: polygon names, counts and points, the track and the atmosphere.
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
        polys.push_back(line);
    }
    std::sort(polys.begin(), polys.end());
    for (const std::string& line : polys) s += line + "\n";
    for (const jtrack* t = engine_state.tracks; t; t = t->next) {
        s += plat_format("track %s %d %d:", t->name, t->cyclic, t->point_count);
        for (int i = 0; i < 3 * t->point_count; ++i) s += plat_format(" %g", t->points[i]);
        s += "\n";
    }
    return s;
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

}  // namespace
