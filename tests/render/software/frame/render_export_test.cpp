// The frame render through the interface: its steps and their order, timings, the default window,
// refusals, priorities, render-on-bitmap, automatic quality control, and the 3D card's hot keys and
// branches against a recording back-end.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/engine_globals.h"
#include "frame_fixture.h"
#include "platform/display.h"
#include "platform/surface.h"
#include "render/software/direct_draw.h"
#include "render/software/world_traversal.h"
#include "world/bsp_node.h"
#include "world/chase.h"
#include "world/dynamic_object.h"
#include "world/object_module.h"

namespace {

std::vector<std::string> calls;

class RenderExport : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        calls.clear();
    }
    void TearDown() override {
        engine_state.card_in_use = 0;
        engine_state.card_full_screen = 0;
        set_3D_card_reuse_flag(0);
        direct_draw_last_mode() = {};
        plat_display_reset_for_tests();
        FrameTest::TearDown();
    }
    static int frames() { return engine_state.rendered_frames; }
};

TEST_F(RenderExport, DrawsTheWorldIntoTheWindow) {
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    expect_two_quads(window_, 1);
    EXPECT_EQ(Drovik_camera_get_current(), Drovik_camera_get_default_camera());
}

// A dynamic object's quad between the two: the z-buffer is on for a world with objects, and the
// object stands still with no speed, force or chase.
TEST_F(RenderExport, ADynamicObjectStandsBetweenTheQuads) {
    load("quads_and_object.drovik");
    EXPECT_EQ(engine_state.zbuffer_state, 1);
    constexpr uint16_t object_blue = 0x2959;  // (40, 40, 200)
    for (int frame = 0; frame < 2; ++frame) {
        now_ += 50;
        ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const bool near = x >= 80 && x <= 127 && y >= 44 && y <= 75;
                const bool object = x >= 60 && x <= 89 && y >= 40 && y <= 64;
                const uint16_t expected = near ? near_green : object ? object_blue : two_quads_pixel(x, y);
                ASSERT_EQ(plat_window_pixel(window_, x, y), expected) << x << "," << y << " frame " << frame;
            }
        }
    }
}

// Objects advance once a frame while the world's switch is on.
TEST_F(RenderExport, ObjectsAdvanceWithEveryRenderWhileSwitchedOn) {
    load("quads_and_object.drovik");
    dynamic_object* board = engine_state.dynamic_objects;
    ASSERT_NE(board, nullptr);
    board->chase.type = CHASE_PHYSICS;
    board->max_speed = 100;
    dynamic_set_speed(board, {-10, 0, 0});
    for (int frame = 0; frame < 3; ++frame) {
        now_ += 100;
        ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    }
    const double moved_to = dynamic_get_location(board).x;
    EXPECT_LT(moved_to, 0);
    engine_state.advance_objects = 0;
    for (int frame = 0; frame < 3; ++frame) {
        now_ += 100;
        ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    }
    EXPECT_EQ(dynamic_get_location(board).x, moved_to);
}

TEST_F(RenderExport, NavigationIsPolledOnceBeforeDrawingAndTheListenerPlacedAfter) {
    render_backend recording = render_backend_software();
    recording.world = [](draw_buffer* buffer, module* root, camera* c, dynamic_object* objects) {
        calls.push_back("draw");
        return draw_world_software(buffer, root, c, objects);
    };
    render_backend_use(&recording);
    frame_hooks& hooks = frame_hooks_state();
    hooks.update_sound_listener = [] { calls.push_back("listener"); };
    hooks.navigation_poll = [] {
        calls.push_back("navigation");
        return 0;
    };
    static int mode;
    hooks.navigation_mode = [] { return mode; };
    for (int m : {0, 1, 2, 3}) {
        SCOPED_TRACE(m);
        mode = m;
        calls.clear();
        ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
        const std::vector<std::string> polled{"navigation", "draw", "listener"};
        const std::vector<std::string> not_polled{"draw", "listener"};
        EXPECT_EQ(calls, m == 1 || m == 2 ? polled : not_polled);
    }
    expect_two_quads(window_, 1);

    // A navigation mode without its object.
    mode = 1;
    hooks.navigation_poll = [] { return -1; };
    const size_t before = errors().size();
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    EXPECT_EQ(errors().substr(before), "Drovik_engine_render: internal error\n");
}

TEST_F(RenderExport, GroupToRenderTakesAGroupOrTheWholeWorld) {
    Drovik_engine_set_group_to_render(nullptr);
    EXPECT_EQ(engine_state.group_to_render, nullptr);
    group* walls = engine_state.groups;
    ASSERT_NE(walls, nullptr);
    Drovik_engine_set_group_to_render(walls);
    EXPECT_EQ(engine_state.group_to_render, walls);
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    expect_two_quads(window_, 1);
    plat_message_box_clear_records();
    static int not_a_group;
    Drovik_engine_set_group_to_render(&not_a_group);
    EXPECT_EQ(engine_state.group_to_render, walls);
    ASSERT_EQ(plat_message_box_records().size(), 1u);
    EXPECT_EQ(plat_message_box_records()[0].caption, "Drovik_engine_set_group_to_render");
    Drovik_engine_set_group_to_render(nullptr);
}

// On a 5-5-5 screen the engine starts with that packing and the frame comes out in it.
TEST_F(RenderExport, AFiveFiveFiveScreenGetsFiveFiveFiveFrames) {
    ASSERT_EQ(Drovik_engine_close(), 0);
    const plat_pixel_format five_five_five{16, 0x7C00, 0x03E0, 0x001F};
    plat_display_override_for_tests(&five_five_five, false);
    load("two_quads.drovik");
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    EXPECT_EQ(plat_window_pixel(window_, 2, 2), 0x5295);    // (160, 160, 170)
    EXPECT_EQ(plat_window_pixel(window_, 70, 60), 0x64A5);  // (200, 40, 40)
    EXPECT_EQ(plat_window_pixel(window_, 100, 60), 0x1725); // (40, 200, 40)
    ASSERT_EQ(Drovik_engine_close(), 0);
    plat_display_reset_for_tests();
    load("two_quads.drovik");
}

TEST_F(RenderExport, CycleTimeIsZeroAtFirstThenTheTimeBetweenRenders) {
    engine_render_frame_state().first_render = 1;
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    EXPECT_EQ(Drovik_engine_get_last_program_cycle_time(), 0);
    EXPECT_EQ(Drovik_engine_get_computer_speed_factor(), 1.0);
    now_ += 40;
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    EXPECT_EQ(Drovik_engine_get_last_program_cycle_time(), 40);
    EXPECT_EQ(Drovik_engine_get_last_render_execution_time(), 0);
    EXPECT_EQ(Drovik_engine_get_computer_speed_factor(), 0.0);
    // A render that takes 30 ms (the sound step runs inside it).
    frame_hooks_state().update_sound_listener = [] { now_ += 30; };
    now_ += 50;
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    EXPECT_EQ(Drovik_engine_get_last_program_cycle_time(), 50);
    EXPECT_EQ(Drovik_engine_get_last_render_execution_time(), 30);
    EXPECT_DOUBLE_EQ(Drovik_engine_get_computer_speed_factor(), 0.3);
    EXPECT_EQ(errors().find("end_measuring"), std::string::npos) << errors();
}

TEST_F(RenderExport, ANullWindowShowsTheDefaultWindowAndAnotherWindowHidesIt) {
    ASSERT_EQ(Drovik_engine_render(nullptr, nullptr), 0);
    plat_window* fallback = engine_g().default_window;
    ASSERT_TRUE(plat_is_window(fallback));
    EXPECT_TRUE(plat_window_is_visible(fallback));
    EXPECT_EQ(engine_g().default_window_shown, 1);
    EXPECT_EQ(rendering_manager().window, fallback);
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    EXPECT_FALSE(plat_window_is_visible(fallback));
    EXPECT_EQ(engine_g().default_window_shown, 0);
    ASSERT_EQ(Drovik_engine_render(fallback, nullptr), 0);
    EXPECT_TRUE(plat_window_is_visible(fallback));
}

TEST_F(RenderExport, RefusesAGoneWindowAndACameraOfAnotherKind) {
    plat_window* gone = plat_window_create_memory(10, 10);
    plat_window_destroy(gone);
    const int before = frames();
    EXPECT_EQ(Drovik_engine_render(gone, nullptr), -1);

    plat_message_box_clear_records();
    polygon* p = get_main_module()->root->polygons;
    if (!p) p = engine_state.world_order;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Drovik_engine_render(window_, p), -1);
    const auto boxes = plat_message_box_records();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Drovik_engine_render");
    EXPECT_EQ(boxes[0].text, "Fatal, got a different kind of handle\nCheck if you accidantlly gave the wrong handle !");
    EXPECT_NE(errors().find("Drovik_engine_render: Fatal, got a different kind of handle\n"), std::string::npos);
    EXPECT_EQ(frames(), before);
    EXPECT_EQ(frame_of(window_), std::vector<uint16_t>(width * height, 0));
}

TEST_F(RenderExport, RefusesWithoutAWorld) {
    ASSERT_EQ(Drovik_engine_close(), 0);
    EXPECT_EQ(Drovik_engine_render(window_, nullptr), -1);
    EXPECT_EQ(Drovik_engine_render_on_bitmap(window_, nullptr), nullptr);
    load("two_quads.drovik");
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    expect_two_quads(window_, 1);
}

TEST_F(RenderExport, AMinimisedOrEmptyWindowGetsNothingUntilRestored) {
    plat_window_minimize(window_);
    const int before = frames();
    EXPECT_EQ(Drovik_engine_render(window_, nullptr), 0);
    EXPECT_EQ(frames(), before);
    EXPECT_EQ(frame_of(window_), std::vector<uint16_t>(width * height, 0));
    plat_window_restore(window_);
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    EXPECT_EQ(frames(), before + 1);
    expect_two_quads(window_, 1);

    plat_window* empty = plat_window_create_memory(0, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(Drovik_engine_render(empty, nullptr), 0);
    EXPECT_EQ(frames(), before + 1);
    plat_window_destroy(empty);
}

TEST_F(RenderExport, PrioritiesAreRaisedForTheDrawingAndRestoredAfter) {
    static size_t requests_while_drawing;
    render_backend recording = render_backend_software();
    recording.world = [](draw_buffer* buffer, module* root, camera* c, dynamic_object* objects) {
        requests_while_drawing = plat_priority_requests().size();
        return draw_world_software(buffer, root, c, objects);
    };
    render_backend_use(&recording);
    plat_priority_clear_requests();
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    const std::vector<std::string> raised{"process 128", "thread 2"};
    const std::vector<std::string> both{"process 128", "thread 2", "process 32", "thread 0"};
    EXPECT_EQ(plat_priority_requests(), both);
    EXPECT_EQ(requests_while_drawing, 2u);

    // The caller's own choice, and a frame that draws nothing.
    EXPECT_EQ(Drovik_engine_set_thread_priority(1, 32), 32);
    plat_window_minimize(window_);
    plat_priority_clear_requests();
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    EXPECT_EQ(plat_priority_requests(), (std::vector<std::string>{"process 32", "thread 1", "process 32", "thread 0"}));
    Drovik_engine_set_thread_priority(2, 128);
}

TEST_F(RenderExport, RenderOnBitmapPresentsNothingUntilBitblt) {
    const plat_surface* frame = Drovik_engine_render_on_bitmap(window_, nullptr);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame, rendering_manager().get_dib());
    EXPECT_EQ(rendering_manager().present_after_render, 1);
    EXPECT_EQ(frame_of(window_), std::vector<uint16_t>(width * height, 0));
    EXPECT_EQ(plat_surface_width(frame), width);
    EXPECT_EQ(plat_surface_height(frame), height);
    EXPECT_EQ(plat_surface_pitch(frame), width);
    const uint16_t* bits = plat_surface_bits(frame);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) ASSERT_EQ(bits[y * width + x], two_quads_pixel(x, y)) << x << "," << y;
    }
    EXPECT_EQ(Drovik_engine_bitblt(), 0);
    expect_two_quads(window_, 1);

    EXPECT_EQ(Drovik_engine_render_on_dc(window_, nullptr), frame);
    EXPECT_EQ(Drovik_engine_render_on_memCDC(window_, nullptr), frame);
    EXPECT_EQ(rendering_manager().present_after_render, 1);
    EXPECT_EQ(Drovik_engine_copy_image_from_dc_to_screen(), 0);
}

TEST_F(RenderExport, RenderingTimesAreKeptWhenNotNegative) {
    EXPECT_EQ(Drovik_engine_get_maximum_rendering_time(), 1000000);
    EXPECT_EQ(Drovik_engine_get_minimum_rendering_time(), 2);
    EXPECT_EQ(Drovik_engine_set_maximum_rendering_time(500), 500);
    EXPECT_EQ(Drovik_engine_set_minimum_rendering_time(-1), -1);
    EXPECT_EQ(Drovik_engine_get_maximum_rendering_time(), 500);
    EXPECT_EQ(Drovik_engine_get_minimum_rendering_time(), 2);
}

TEST_F(RenderExport, DefaultWindowExports) {
    plat_window* fallback = Drovik_engine_get_default_rendering_window_hwnd();
    ASSERT_TRUE(plat_is_window(fallback));
    EXPECT_TRUE(plat_window_is_visible(fallback));
    EXPECT_EQ(Drovik_engine_set_default_rendering_window_title("View"), 1);
    EXPECT_EQ(plat_window_title(fallback), "View");
    EXPECT_EQ(Drovik_engine_set_default_rendering_window_size(5, 5, 200, 100), 1);
    int w = 0, h = 0;
    plat_window_client_size(fallback, &w, &h);
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 100);
    Drovik_engine_minimize_default_rendering_window();
    EXPECT_FALSE(plat_window_is_visible(fallback));
    EXPECT_EQ(Drovik_engine_maximize_default_rendering_window(), 1);
    EXPECT_TRUE(plat_window_is_visible(fallback));
}

// The size call places the default window too; a resolution change puts it at (0, 0) with the new size.
TEST_F(RenderExport, TheDefaultWindowGoesWhereItIsPut) {
    plat_window* fallback = Drovik_engine_get_default_rendering_window_hwnd();
    ASSERT_TRUE(plat_is_window(fallback));
    ASSERT_EQ(Drovik_engine_set_default_rendering_window_size(120, 80, 200, 100), 1);
    plat_pump_events();
    int x = -1, y = -1;
    ASSERT_TRUE(plat_window_position(fallback, &x, &y));
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 80);
    ASSERT_EQ(Drovik_engine_set_resolution(640, 480, 16), 0);
    plat_pump_events();
    ASSERT_TRUE(plat_window_position(fallback, &x, &y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    int w = 0, h = 0;
    plat_window_client_size(fallback, &w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
}

// Automatic quality control with a clock that runs only while the engine reads it: every reading
// moves it by the step of the quality being drawn.
int step_at_old = 0;
int step_at_full = 0;
int full_quality = 0;

uint32_t stepping_tick() {
    static uint32_t now = 5000;
    now += rendering_manager().picture_quality == full_quality ? step_at_full : step_at_old;
    return now;
}

TEST_F(RenderExport, AutomaticQualityKeepsTheFullWindowWhenItCostsLittleMore) {
    plat_window* window = plat_window_create_memory(200, 150);
    full_quality = 201 * 151;
    struct quality_case {
        int old_step, full_step, result, quality;
    };
    const quality_case cases[] = {
        {5, 5, 1, 201 * 151},  // equal timings: ratio 1
        {5, 6, 1, 201 * 151},  // ratio 0.83
        {5, 10, 0, 10000},     // twice as long: the old quality comes back
        {5, 0, 0, 10000},      // a full-window frame that took no time
    };
    plat_clock_override(stepping_tick, &FrameTest::no_sleep);
    for (const quality_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.old_step << " and " << c.full_step);
        Drovik_engine_set_picture_quality(10000);
        step_at_old = c.old_step;
        step_at_full = c.full_step;
        const int before = frames();
        EXPECT_EQ(Drovik_engine_set_automatic_quality_control(window, nullptr), c.result);
        EXPECT_EQ(Drovik_engine_get_picture_quality(), c.quality);
        EXPECT_EQ(frames(), before + 4);
    }
    plat_clock_override(&FrameTest::tick, &FrameTest::no_sleep);
    plat_window_destroy(window);
}

TEST_F(RenderExport, AutomaticQualityLeavesAWindowNotAboveTheQuality) {
    plat_window* small = plat_window_create_memory(100, 100);
    Drovik_engine_set_picture_quality(101 * 101);
    const int before = frames();
    EXPECT_EQ(Drovik_engine_set_automatic_quality_control(small, nullptr), 0);
    EXPECT_EQ(frames(), before);
    EXPECT_EQ(Drovik_engine_get_picture_quality(), 101 * 101);
    plat_window_destroy(small);
}

// The 3D card's side, recorded.
render_backend recording_card() {
    render_backend card = render_backend_software();
    card.frame_begin = [](plat_window*, camera*) {
        calls.push_back("begin");
        return 0;
    };
    card.frame_end = [] { calls.push_back("end"); };
    card.world = [](draw_buffer* buffer, module*, camera*, dynamic_object*) {
        calls.push_back(buffer ? "world into a buffer" : "world");
        return 0;
    };
    return card;
}

void record_card_hooks() {
    frame_hooks& hooks = frame_hooks_state();
    hooks.card_use = [](int on) { calls.push_back("use " + std::to_string(on)); };
    hooks.card_set_window_mode = [](int reload) { calls.push_back("window mode " + std::to_string(reload)); };
    hooks.card_set_full_screen_mode = [](int w, int h) {
        calls.push_back("full screen " + std::to_string(w) + "x" + std::to_string(h));
    };
    hooks.card_release_back_buffer = [] { calls.push_back("release"); };
    hooks.card_take_back_buffer = []() -> plat_surface* {
        calls.push_back("take");
        static plat_surface back{160, 120, 160, nullptr};
        static std::vector<uint16_t> pixels(160 * 120, 0x4321);
        back.bits = pixels.data();
        return &back;
    };
    hooks.card_show_frame = [] {
        calls.push_back("show");
        return 0;
    };
    hooks.update_sound_listener = [] { calls.push_back("listener"); };
}

TEST_F(RenderExport, HotKeysSwitchTheCardInOrder) {
    struct key_case {
        std::vector<int> keys;
        int card_in_use, full_screen;
        std::string first_call;
    };
    const int v = 'V', f = 'F';
    const key_case cases[] = {
        {{PLAT_VK_MENU, PLAT_VK_CONTROL, v}, 1, 0, "use 0"},
        {{PLAT_VK_MENU, PLAT_VK_CONTROL, v}, 0, 0, "window mode 1"},
        {{PLAT_VK_MENU, PLAT_VK_CONTROL, f}, 0, 0, "full screen 800x600"},
        {{PLAT_VK_MENU, PLAT_VK_CONTROL, f}, 1, 1, "use 0"},
        {{PLAT_VK_MENU, PLAT_VK_CONTROL, v, f}, 0, 0, "window mode 1"},  // V first
        {{PLAT_VK_CONTROL, v}, 1, 0, ""},                                 // no Alt
        {{PLAT_VK_MENU, v}, 1, 0, ""},                                    // no Ctrl
    };
    const render_backend card = recording_card();
    render_backend_use(&card);
    record_card_hooks();
    for (const key_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.keys.size() << " keys, card " << c.card_in_use << ", full "
                                        << c.full_screen);
        plat_keys_reset();
        for (int key : c.keys) plat_key_event(key, true);
        engine_state.card_in_use = c.card_in_use;
        engine_state.card_full_screen = c.full_screen;
        calls.clear();
        ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.front(), c.first_call.empty() ? calls.front() : c.first_call);
        const bool switched = std::any_of(calls.begin(), calls.end(), [](const std::string& call) {
            return call.starts_with("use") || call.starts_with("window") || call.starts_with("full");
        });
        EXPECT_EQ(switched, !c.first_call.empty());
        // Held keys were taken by that poll: the next frame switches nothing.
        calls.clear();
        ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
        EXPECT_EQ(std::count(calls.begin(), calls.end(), c.first_call), 0);
    }
}

TEST_F(RenderExport, CardFramesGoThroughTheBackEndInOrder) {
    const render_backend card = recording_card();
    render_backend_use(&card);
    record_card_hooks();
    engine_state.card_in_use = 1;
    set_3D_card_reuse_flag(1);
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"begin", "world", "end", "use 1", "listener"}));

    // A card that refuses the frame draws nothing; a minimised window is not even asked.
    static render_backend refusing = card;
    refusing.frame_begin = [](plat_window*, camera*) {
        calls.push_back("refused");
        return -1;
    };
    render_backend_use(&refusing);
    set_3D_card_reuse_flag(0);
    calls.clear();
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"refused", "listener"}));
    plat_window_minimize(window_);
    calls.clear();
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"listener"}));
    plat_window_restore(window_);

    // render_on_dc keeps the back buffer until the next render or present; bitblt shows the frame.
    render_backend_use(&card);
    calls.clear();
    const plat_surface* back = Drovik_engine_render_on_dc(window_, nullptr);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(calls.back(), "take");
    calls.clear();
    EXPECT_EQ(Drovik_engine_bitblt(), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"release", "show"}));
}

TEST_F(RenderExport, RenderOnMemCdcCopiesTheCardsFrameAndPresentsItThroughTheManager) {
    ASSERT_EQ(Drovik_engine_render(window_, nullptr), 0);  // the manager's surface
    const render_backend card = recording_card();
    render_backend_use(&card);
    record_card_hooks();
    engine_state.card_in_use = 1;
    calls.clear();
    const plat_surface* copy = Drovik_engine_render_on_memCDC(window_, nullptr);
    ASSERT_EQ(copy, rendering_manager().get_memory_dc());
    EXPECT_EQ(plat_surface_bits(copy)[0], 0x4321);
    EXPECT_EQ(calls, (std::vector<std::string>{"begin", "world", "end", "listener", "take", "release"}));
    calls.clear();
    EXPECT_EQ(Drovik_engine_bitblt(), 0);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(plat_window_pixel(window_, 5, 5), 0x4321);
}

}  // namespace
