// The rendering manager: camera sizes for a quality, 1:1 and stretched presenting, the quality
// steps, and rebuilding the surface only when something changed.
#include <gtest/gtest.h>

#include "frame_fixture.h"
#include "platform/surface.h"
#include "world/camera.h"

namespace {

struct size_case {
    int window_width, window_height, quality;
    int camera_width, camera_height, pitch;
    bool one_to_one;
};

class RenderingManager : public FrameTest {
protected:
    Rendering_manager& manager() { return rendering_manager(); }
};

TEST_F(RenderingManager, CameraSizeFollowsTheQualityAndTheWindowsAspect) {
    const size_case cases[] = {
        {160, 120, 200000, 160, 120, 160, true},   // the quality covers the window
        {160, 120, 19200, 160, 120, 160, true},    // exactly the window's pixel count
        {320, 240, 19200, 160, 120, 160, false},   // half each way
        {640, 480, 200000, 516, 387, 516, false},  // sqrt(200000 x 4/3) = 516.4
        {301, 10, 200000, 301, 10, 302, true},     // an odd width: rows of an even pitch
        {1000, 10, 4, 20, 1, 20, false},           // a side never drops to 0
        {10, 1000, 4, 1, 100, 2, false},  // the aspect kept from a side of 1
    };
    for (const size_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.window_width << "x" << c.window_height << " at " << c.quality);
        plat_window* window = plat_window_create_memory(c.window_width, c.window_height);
        Drovik_engine_set_picture_quality(c.quality);
        ASSERT_EQ(Drovik_engine_render(window, nullptr), 0);
        const plat_surface* surface = manager().get_dib();
        ASSERT_NE(surface, nullptr);
        EXPECT_EQ(surface->width, c.camera_width);
        EXPECT_EQ(surface->height, c.camera_height);
        EXPECT_EQ(surface->pitch_pixels, c.pitch);
        const camera* cam = manager().cam;
        EXPECT_EQ(cam->width, c.camera_width);
        EXPECT_EQ(cam->height, c.camera_height);
        EXPECT_EQ(get_buffer_width(&manager().buffer), c.pitch);
        EXPECT_EQ(get_picture_width(&manager().buffer), c.camera_width);
        EXPECT_EQ(get_picture_length(&manager().buffer), c.camera_height);
        // 1:1 puts frame pixel (w-1, h-1) at the same window pixel; stretching spreads it to the corner.
        const uint16_t corner = surface->bits[(c.camera_height - 1) * c.pitch + c.camera_width - 1];
        surface->bits[(c.camera_height - 1) * c.pitch + c.camera_width - 1] = 0x1234;
        Drovik_engine_bitblt();
        const int at_x = c.one_to_one ? c.camera_width - 1 : c.window_width - 1;
        const int at_y = c.one_to_one ? c.camera_height - 1 : c.window_height - 1;
        EXPECT_EQ(plat_window_pixel(window, at_x, at_y), 0x1234);
        surface->bits[(c.camera_height - 1) * c.pitch + c.camera_width - 1] = corner;
        plat_window_destroy(window);
    }
}

TEST_F(RenderingManager, AQuarterQualityShowsTheFrameDoubled) {
    plat_window* window = plat_window_create_memory(2 * width, 2 * height);
    Drovik_engine_set_picture_quality(width * height);
    ASSERT_EQ(Drovik_engine_render(window, nullptr), 0);
    expect_two_quads(window, 2);
    plat_window_destroy(window);
}

TEST_F(RenderingManager, QualityStepsMoveByAtLeastOnePixelBetweenTheFloorAndTheWindow) {
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    struct step_case {
        int from;
        bool increase;
        int result, to;
        bool beep;
    };
    const step_case cases[] = {
        {1000, true, 0, 1100, false},     // x 1.1
        {1000, false, 0, 900, false},     // x 0.9
        {4, true, 0, 5, false},           // 4.4 rounds back to 4: one more instead
        {5, false, 0, 4, false},          // 4.5 rounds back to 5: one less instead
        {4, false, 0, 4, true},           // the floor
        {6, false, 0, 5, false},          // 5.4 rounds to 5
        {19200, true, -1, 19200, true},   // the window's own pixel count
        {25000, true, -1, 25000, true},
        {19199, true, 0, 21119, false},
    };
    for (const step_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << (c.increase ? " up" : " down"));
        Drovik_engine_set_picture_quality(c.from);
        plat_beep_clear_records();
        const int result = c.increase ? Drovik_engine_increase_picture_quality() : Drovik_engine_decrease_picture_quality();
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(Drovik_engine_get_picture_quality(), c.to);
        EXPECT_EQ(plat_beep_records().size(), c.beep ? 1u : 0u);
    }
}

TEST_F(RenderingManager, BeforeAWindowIsBoundAnIncreaseOnlyBeeps) {
    EXPECT_EQ(manager().window, nullptr);
    EXPECT_EQ(Drovik_engine_get_picture_quality(), 200000);
    plat_beep_clear_records();
    EXPECT_EQ(Drovik_engine_increase_picture_quality(), -1);
    EXPECT_EQ(Drovik_engine_get_picture_quality(), 200000);
    EXPECT_EQ(plat_beep_records().size(), 1u);
    EXPECT_EQ(manager().get_dib(), nullptr);
}

TEST_F(RenderingManager, TheSurfaceIsRebuiltOnlyWhenSomethingChanged) {
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    const plat_surface* first = manager().get_dib();
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    EXPECT_EQ(manager().get_dib(), first);

    // A quality change alone: the next render draws at the new size.
    manager().picture_quality = 4800;
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    ASSERT_NE(manager().get_dib(), nullptr);
    EXPECT_EQ(manager().get_dib()->width, 80);
    EXPECT_EQ(manager().get_dib()->height, 60);
    EXPECT_EQ(manager().applied_quality, 4800);

    // A new window size.
    plat_window_set_client_size(window_, 100, 50);
    Drovik_engine_set_picture_quality(200000);
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    EXPECT_EQ(manager().get_dib()->width, 100);
    EXPECT_EQ(manager().get_dib()->height, 50);
}

TEST_F(RenderingManager, AFailedResizeKeepsSurfaceBufferAndCamera) {
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    const plat_surface* surface = manager().get_dib();
    const camera* cam = manager().cam;
    for (const auto& [w, h] : {std::pair{0, 10}, std::pair{20000, 10}, std::pair{-3, -3}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        const size_t errors_before = errors().size();
        EXPECT_EQ(manager().set_camera_resolution(w, h), -1);
        EXPECT_NE(errors().find("set_camera_resolution: failed", errors_before), std::string::npos);
        EXPECT_EQ(manager().get_dib(), surface);
        EXPECT_EQ(get_buffer_width(&manager().buffer), width);
        EXPECT_EQ(get_picture_length(&manager().buffer), height);
        EXPECT_EQ(cam->width, width);
        EXPECT_EQ(cam->height, height);
    }
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    expect_two_quads(window_, 1);
}

TEST_F(RenderingManager, ACameraQualityOnAZeroSizedWindowIsRefused) {
    manager().window = window_;
    manager().window_width = 0;
    manager().window_height = 120;
    const size_t errors_before = errors().size();
    EXPECT_EQ(manager().set_camera_quality(1000), 0);
    EXPECT_NE(errors().find("Rendering_manager::set_camera_quality: size.cy==0 or cx==0 !!!", errors_before),
              std::string::npos);
}

TEST_F(RenderingManager, ActiveCameraBindsWindowAndSizesTheCamera) {
    camera* cam = static_cast<camera*>(Drovik_camera_get_default_camera());
    plat_window* wide = plat_window_create_memory(640, 480);
    EXPECT_EQ(manager().set_active_camera(wide, cam), 0);
    EXPECT_EQ(get_current_camera(), cam);
    EXPECT_EQ(manager().dimension_changed, 1);
    EXPECT_EQ(cam->width, 516);
    EXPECT_EQ(cam->height, 387);
    plat_window_minimize(wide);
    EXPECT_EQ(manager().set_active_camera(wide, cam), -1);
    plat_window_destroy(wide);
    ASSERT_EQ(Drovik_engine_render(window_, cam), 0);
    EXPECT_EQ(manager().dimension_changed, 0);
    expect_two_quads(window_, 1);
}

}  // namespace
