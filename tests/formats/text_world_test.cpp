// World text files: reading the fixtures, the tables of block cases, saving and reading back.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <clocale>
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
