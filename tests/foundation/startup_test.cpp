// Start-up and shutdown: first use, the default and log windows, the progress caption, the leak line.
#include <gtest/gtest.h>

#include <string>

#include "foundation/engine_globals.h"
#include "foundation/memory.h"
#include "platform/display.h"
#include "platform/window.h"
#include "startup.h"
#include "work_dir.h"
#include "world/colour.h"

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        engine_set_speaker_mode(0);
        plat_display_reset_for_tests();
    }
    void TearDown() override {
        if (engine_is_initialized()) engine_shutdown();
    }
    std::string log() { return read_file(work_.dir() / "Drovik.log"); }
    temp_work_dir work_;
};

TEST_F(Startup, FirstUseOpensTheLogsAndMakesAHiddenDefaultWindow) {
    ASSERT_EQ(engine_is_initialized(), 0);
    engine_first_init();
    EXPECT_EQ(engine_is_initialized(), 1);
    EXPECT_TRUE(log_files_are_open());
    engine_globals& g = engine_g();
    ASSERT_TRUE(plat_is_window(g.default_window));
    EXPECT_EQ(plat_window_title(g.default_window), "Drovik default rendering window");
    EXPECT_FALSE(plat_window_is_visible(g.default_window));
    int width = 0;
    int height = 0;
    plat_window_client_size(g.default_window, &width, &height);
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 300);
    EXPECT_EQ(g.log_window, nullptr);
    EXPECT_STREQ(g.format_extensions[5], "drovik");
    EXPECT_STREQ(g.format_names[2], "Microsoft DirectX 3D worlds file format");
    EXPECT_EQ(g.render_priority_class, 128);
    EXPECT_EQ(g.render_thread_priority, 2);

    plat_window* directx = create_directx_window();
    ASSERT_TRUE(plat_is_window(directx));
    EXPECT_EQ(plat_window_title(directx), "DirectX Window");
    plat_window_destroy(directx);

    plat_window* first = g.default_window;
    engine_first_init();
    EXPECT_EQ(g.default_window, first) << "a second first use does nothing";

    show_default_rendering_window();
    EXPECT_TRUE(plat_window_is_visible(first));
    hide_default_rendering_window();
    EXPECT_FALSE(plat_window_is_visible(first));
}

TEST_F(Startup, ShutdownWithoutLeaksWritesNoLeakLineAndTheNextUseStartsAgain) {
    const uint32_t before = engine_get_bytes_in_use();
    ASSERT_EQ(before, 0u) << "the test starts with no engine memory held";
    engine_first_init();
    plat_window* window = engine_g().default_window;
    set_log_window_caption("Load world");
    engine_shutdown();
    EXPECT_EQ(engine_is_initialized(), 0);
    EXPECT_FALSE(log_files_are_open());
    EXPECT_FALSE(plat_is_window(window));
    EXPECT_EQ(engine_get_bytes_in_use(), 0u);
    EXPECT_EQ(log().find("DLL Didnt free"), std::string::npos);

    engine_first_init();
    EXPECT_TRUE(log_files_are_open());
    EXPECT_EQ(log().find("Drovik Engine Log File"), 36u) << "the log starts again";
}

TEST_F(Startup, ShutdownReportsTheBytesLeft) {
    const uint32_t held = engine_get_bytes_in_use() + 123;
    engine_first_init();
    void* leaked = engine_alloc(123);
    engine_shutdown();
    const std::string text = log();
    const std::string line = "\n\nDLL Didnt free all mem ! " + std::to_string(held) + " bytes left\n";
    ASSERT_GE(text.size(), line.size());
    EXPECT_EQ(text.substr(text.size() - line.size()), line);
    engine_free(leaked);
}

TEST_F(Startup, AtSixteenBitsNothingIsSwitchedOrRestored) {
    ASSERT_EQ(plat_display_depth(), 16);
    engine_first_init();
    engine_shutdown();
    EXPECT_TRUE(plat_display_depth_requests().empty());
}

// First use takes the pixel format from the display (5-6-5), whatever was set before.
TEST_F(Startup, FirstUseSetsTheDisplaysPixelFormat) {
    set_pixel_format_bits(5, 5, 5);
    ASSERT_EQ(rgb_to_pixel(255, 255, 255), 0x7FFF);
    engine_first_init();
    EXPECT_EQ(rgb_to_pixel(255, 255, 255), 0xFFFF);
    EXPECT_EQ(rgb_to_pixel(0, 255, 0), 0x07E0);
}

TEST_F(Startup, AnotherDepthIsSwitchedToSixteenAndRestoredAtClose) {
    plat_display_set_depth(32);
    plat_display_reset_for_tests();
    plat_display_set_depth(32);
    const size_t requests = plat_display_depth_requests().size();
    engine_first_init();
    EXPECT_EQ(plat_display_depth(), 16);
    engine_shutdown();
    const auto all = plat_display_depth_requests();
    ASSERT_EQ(all.size(), requests + 2);
    EXPECT_EQ(all[requests], 16);
    EXPECT_EQ(all[requests + 1], 32);
}

TEST_F(Startup, ProgressWrapsRoundTheTargetAndACaptionChangeRepaints) {
    engine_first_init();
    engine_globals& g = engine_g();
    set_log_window_target(100);
    set_log_window_progress(250);
    set_log_window_caption("BSP Tree");
    EXPECT_EQ(g.painted_percent, 50);
    EXPECT_EQ(g.progress_position, 50);
    ASSERT_TRUE(plat_is_window(g.log_window));
    EXPECT_TRUE(plat_window_is_visible(g.log_window));
    EXPECT_EQ(plat_window_title(g.log_window), "Drovik 3D Graphics Engine");
    int width = 0;
    int height = 0;
    plat_window_client_size(g.log_window, &width, &height);
    // Left of the split the progress brush (red 255, green 128), right of it black.
    const int y = height - 2;
    EXPECT_EQ(plat_window_pixel(g.log_window, 3, y), 0xFC00);
    EXPECT_EQ(plat_window_pixel(g.log_window, width - 4, y), 0x0000);
    const std::vector<uint16_t> first = plat_window_frame(g.log_window);
    set_log_window_caption("Light");
    EXPECT_NE(plat_window_frame(g.log_window), first) << "the new caption was drawn";
    set_log_window_progress(75);
    refresh_log_window();
    EXPECT_EQ(g.painted_percent, 75);
    EXPECT_EQ(plat_window_pixel(g.log_window, width * 70 / 100, y), 0xFC00);
}

TEST_F(Startup, AnInvisibleLogWindowIsNeverPainted) {
    engine_first_init();
    engine_g().log_window_visible = 0;
    set_log_window_target(10);
    set_log_window_caption("General");
    EXPECT_EQ(engine_g().log_window, nullptr);
    engine_g().log_window_visible = 1;
}

}  // namespace
