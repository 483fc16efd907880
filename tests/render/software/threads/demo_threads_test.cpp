// The demo world drawn through the interface on one thread and on four: the same frames, bit for
// bit, from the cab, across the scenery, with the z-buffer, fog and the wire-frame marks.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "demo_world.h"
#include "demo_world_bitmaps.h"
#include "drovik.h"
#include "foundation/engine_globals.h"
#include "platform/window.h"
#include "render/software/raster_bands.h"
#include "startup.h"

namespace fs = std::filesystem;

namespace {

constexpr int width = 320;
constexpr int height = 240;

class DemoWorldThreads : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("drovik_demo_threads_" + std::to_string(std::random_device{}()));
        fs::create_directories(root_);
        home_ = fs::current_path();
        fs::current_path(root_);  // the engine's logs go to the working folder
        saved_threads_ = software_render_threads();
        ASSERT_TRUE(WriteDemoWorldBitmaps(root_.string()));
        ASSERT_TRUE(WriteDemoWorld(root_.string()));
        const std::string bitmaps = (root_ / "world" / "bitmaps").string() + "/";
        ASSERT_EQ(Drovik_engine_load_world((root_ / "world" / "architype.drovik").string().c_str(),
                                           (root_ / "world").string().c_str(), bitmaps.c_str(), 0),
                  0);
        camera_ = Drovik_camera_get_default_camera();
        ASSERT_NE(camera_, nullptr);
        window_ = plat_window_create_memory(width, height);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        plat_window_destroy(window_);
        software_render_set_threads(saved_threads_);
        if (engine_is_initialized()) engine_shutdown();
        fs::current_path(home_);
        fs::remove_all(root_);
    }

    std::vector<uint16_t> render(int threads) {
        software_render_set_threads(threads);
        EXPECT_EQ(Drovik_engine_render(window_, camera_), 0);
        std::vector<uint16_t> pixels;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) pixels.push_back(plat_window_pixel(window_, x, y));
        }
        return pixels;
    }

    void view(double x, double y, double z, double head) {
        Drovik_camera_set_location(camera_, x, y, z);
        Drovik_camera_set_tilt(camera_, 0);
        Drovik_camera_set_head_angle(camera_, head);
        Drovik_camera_set_zoom(camera_, 70);
    }

    fs::path root_, home_;
    int saved_threads_ = 1;
    DROVIK_HANDLE camera_ = nullptr;
    DROVIK_WINDOW window_ = nullptr;
};

TEST_F(DemoWorldThreads, FourThreadsDrawTheFramesOfOne) {
    struct setting {
        const char* name;
        std::function<void()> apply;
    };
    const setting settings[] = {
        {"as loaded", [] {}},
        {"z-buffer", [] { Drovik_engine_use_zbuffer(1); }},
        {"fog", [] {
             Drovik_engine_set_atmospheric_effect(150, 160, 170);
             Drovik_engine_set_atmospheric_effect_intensity(3);
         }},
        {"span-end marks", [] { Drovik_engine_toggle_wire_frame_flag(); }},
    };
    for (const setting& s : settings) {
        s.apply();
        for (double head : {0.0, 1.2, 3.0}) {
            view(0, 75000, 150, head);
            const std::vector<uint16_t> one = render(1);
            EXPECT_GT(std::set<uint16_t>(one.begin(), one.end()).size(), 8u) << s.name << " " << head;
            EXPECT_EQ(render(4), one) << s.name << " " << head;
        }
    }
}

}  // namespace
