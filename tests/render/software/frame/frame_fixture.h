// A loaded world of two solid quads, a 160 x 120 memory window, a clock the test moves by hand and a
// clean close that must leave no engine memory behind.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "../../../common/files.h"
#include "../../../foundation/work_dir.h"
#include "drovik.h"
#include "foundation/errors.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/keys.h"
#include "platform/msgbox.h"
#include "platform/priority.h"
#include "platform/window.h"
#include "render/frame_state.h"
#include "render/render_backend.h"
#include "render/render_hooks.h"
#include "render/software/rendering_manager.h"
#include "world/engine_state.h"

class FrameTest : public ::testing::Test {
protected:
    static constexpr int width = 160;
    static constexpr int height = 120;
    static constexpr uint16_t background = 0xA515;
    static constexpr uint16_t far_red = 0xC945;     // (200, 40, 40)
    static constexpr uint16_t near_green = 0x2E45;  // (40, 200, 40)

    void SetUp() override {
        engine_hooks_ = frame_hooks_state();
        plat_display_reset_for_tests();
        plat_keys_reset();
        plat_priority_clear_requests();
        now_ = 1000;
        plat_clock_override(&FrameTest::tick, &FrameTest::no_sleep);
        load("two_quads.drovik");
        window_ = plat_window_create_memory(width, height);
        ASSERT_NE(window_, nullptr);
    }

    void TearDown() override {
        plat_window_destroy(window_);
        render_backend_use(nullptr);
        frame_hooks_state() = engine_hooks_;
        plat_keys_reset();
        EXPECT_EQ(Drovik_engine_close(), 0);
        const std::string errors = read_file(work_.dir() / "error.log");
        EXPECT_EQ(errors.find("Didnt free all mem"), std::string::npos) << errors;
        plat_clock_override(nullptr, nullptr);
        plat_display_reset_for_tests();
    }

    void load(const char* name) {
        std::filesystem::copy_file(std::filesystem::path(DROVIK_FRAME_WORLDS) / name, work_.dir() / name,
                                   std::filesystem::copy_options::overwrite_existing);
        ASSERT_EQ(Drovik_engine_load_world(name, work_.dir().c_str(), "", 0), 0) << engine_get_last_error();
    }

    // The expected pixel of the two-quad scene at (x, y) of a 160 x 120 frame: the near quad over
    // the far one, both at their own colour level.
    static uint16_t two_quads_pixel(int x, int y) {
        if (x >= 80 && x <= 127 && y >= 44 && y <= 75) return near_green;
        if (x >= 60 && x <= 99 && y >= 48 && y <= 71) return far_red;
        return background;
    }

    // Every pixel of the window against the scene scaled by `scale`; the first mismatch is reported.
    static void expect_two_quads(const plat_window* window, int scale) {
        for (int y = 0; y < height * scale; ++y) {
            for (int x = 0; x < width * scale; ++x) {
                ASSERT_EQ(plat_window_pixel(window, x, y), two_quads_pixel(x / scale, y / scale)) << x << "," << y;
            }
        }
    }

    static std::vector<uint16_t> frame_of(const plat_window* window) { return plat_window_frame(window); }

    static std::string errors() { return read_file(log_directory() + "/error.log"); }

    static uint32_t tick() { return now_; }
    static void no_sleep(uint32_t) {}

    static inline uint32_t now_ = 0;
    temp_work_dir work_{"frame"};
    plat_window* window_ = nullptr;
    frame_hooks engine_hooks_{};  // the engine's own, put back after each case
};
