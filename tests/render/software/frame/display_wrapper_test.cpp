// The display wrapper: the pixel format from the display's masks, remembered modes, recorded depth
// changes and the failure box shown once; and the engine's colour packing that follows it.
#include <gtest/gtest.h>

#include "../../../foundation/work_dir.h"
#include "foundation/engine_globals.h"
#include "platform/display.h"
#include "platform/msgbox.h"
#include "render/software/direct_draw.h"
#include "render/software/rendering_manager.h"
#include "startup.h"
#include "world/colour.h"

namespace {

class DisplayWrapper : public ::testing::Test {
protected:
    void SetUp() override {
        plat_display_reset_for_tests();
        direct_draw_last_mode() = {};
    }
    void TearDown() override {
        if (engine_is_initialized()) engine_shutdown();
        plat_display_reset_for_tests();
        set_pixel_format_bits(5, 6, 5);
        direct_draw_last_mode() = {};
    }
    static std::string errors() { return read_file(log_directory() + "/error.log"); }
    temp_work_dir work_{"display"};
};

struct format_case {
    plat_pixel_format format;
    int bits, red, green, blue;
};

TEST_F(DisplayWrapper, ChannelWidthsComeFromTheMasks) {
    const format_case cases[] = {
        {{16, 0xF800, 0x07E0, 0x001F}, 16, 5, 6, 5},
        {{16, 0x7C00, 0x03E0, 0x001F}, 16, 5, 5, 5},
        {{32, 0xFF0000, 0x00FF00, 0x0000FF}, 32, 8, 8, 8},
    };
    for (const format_case& c : cases) {
        plat_display_override_for_tests(&c.format, false);
        jdirect_draw display;
        int bits = 0, red = 0, green = 0, blue = 0;
        display.set_16bit_rgb_mode(&bits, &red, &green, &blue);
        EXPECT_EQ(bits, c.bits);
        EXPECT_EQ(red, c.red);
        EXPECT_EQ(green, c.green);
        EXPECT_EQ(blue, c.blue);
        EXPECT_EQ(display.is_open(), 0);  // opened for the call only
    }
}

TEST_F(DisplayWrapper, ABrokenMaskGivesMinusOneAndIsReported) {
    engine_first_init();
    const plat_pixel_format gap{16, 0xF800, 0x07C0, 0x001F};  // green is no run right above blue
    plat_display_override_for_tests(&gap, false);
    jdirect_draw display;
    int bits = 0, red = 0, green = 0, blue = 0;
    const size_t before = errors().size();
    display.set_16bit_rgb_mode(&bits, &red, &green, &blue);
    EXPECT_EQ(blue, 5);
    EXPECT_EQ(green, -1);
    EXPECT_EQ(red, -1);
    EXPECT_EQ(errors().substr(before), "jdirect_draw::set_16bit_rgb_mode: bad mask!!!\n");
}

TEST_F(DisplayWrapper, A555ScreenMakesTheEnginePackFiveFiveFive) {
    const plat_pixel_format five_five_five{16, 0x7C00, 0x03E0, 0x001F};
    plat_display_override_for_tests(&five_five_five, false);
    engine_first_init();
    const Rendering_manager& manager = rendering_manager();
    EXPECT_EQ(manager.bits_per_pixel, 16);
    EXPECT_EQ(manager.red_width, 5);
    EXPECT_EQ(manager.green_width, 5);
    EXPECT_EQ(manager.blue_width, 5);
    EXPECT_EQ(rgb_to_pixel(255, 255, 255), 0x7FFF);
    EXPECT_EQ(rgb_to_pixel(0, 255, 0), 0x03E0);
    EXPECT_EQ(rgb_to_pixel(255, 0, 0), 0x7C00);
    engine_shutdown();
    EXPECT_EQ(manager.green_width, 6);  // back to the initial values
}

TEST_F(DisplayWrapper, ASetResolutionIsRememberedAndRecorded) {
    jdirect_draw display;
    int width = 0, height = 0, bits = 0;
    ASSERT_EQ(display.get_resolution(&width, &height, &bits), 0);
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(height, 768);
    EXPECT_EQ(bits, 16);
    ASSERT_EQ(display.set_resolution(800, 600, 16), 0);
    EXPECT_EQ(display.is_open(), 1);
    // Another program changing the mode afterwards is not seen.
    plat_display_set_mode(640, 480, 32);
    ASSERT_EQ(display.get_resolution(&width, &height, &bits), 0);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(bits, 16);
    EXPECT_EQ(plat_display_mode_requests().front().width, 800);
    EXPECT_EQ(display.set_resolution(800, 600, 13), -1);
    display.close();
    EXPECT_EQ(display.is_open(), 0);
}

TEST_F(DisplayWrapper, SetColorDepthKeepsTheSizeAndDisplayBitsAreRecorded) {
    jdirect_draw display;
    ASSERT_EQ(display.set_color_depth(32), 0);
    const auto modes = plat_display_mode_requests();
    ASSERT_EQ(modes.size(), 1u);
    EXPECT_EQ(modes[0].width, 1024);
    EXPECT_EQ(modes[0].height, 768);
    EXPECT_EQ(modes[0].bits, 32);
    EXPECT_EQ(set_display_bits_per_pixel(24), 0);
    EXPECT_EQ(plat_display_depth_requests(), (std::vector<int>{24}));
}

TEST_F(DisplayWrapper, AFailingOpenShowsItsBoxOnce) {
    engine_first_init();
    plat_display_override_for_tests(nullptr, true);
    plat_message_box_clear_records();
    jdirect_draw display;
    const size_t before = errors().size();
    EXPECT_EQ(display.open(nullptr, 1, 0, 0), -1);
    EXPECT_EQ(display.open(nullptr, 1, 0, 0), -1);
    EXPECT_EQ(display.is_open(), 0);
    const auto boxes = plat_message_box_records();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Warning");
    EXPECT_EQ(boxes[0].text,
              "DirectDraw Init FAILED\nPlease set your desktop to 16BIT color depth (high color)\nOR\nInstall DirectX");
    EXPECT_EQ(errors().substr(before),
              "jdirect_draw::open: coudnt init DirectDraw\n"
              "jdirect_draw::open: coudnt init DirectDraw\n");
    int width = 0, height = 0, bits = 0;
    EXPECT_EQ(display.get_resolution(&width, &height, &bits), -1);
}

}  // namespace
