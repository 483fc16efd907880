// Message boxes, beeps, clock, key state, display depth, priorities and module loading.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/display.h"
#include "platform/keys.h"
#include "platform/module.h"
#include "platform/msgbox.h"
#include "platform/priority.h"

namespace {

int refusing_handler(const char*, const char*, int, int)
{
    return PLAT_ANSWER_NO;
}

}  // namespace

TEST(MessageBox, HeadlessBoxAnswersAtOnceAndIsRecorded)
{
    setenv("DROVIK_HEADLESS_BOXES", "1", 1);
    ASSERT_TRUE(plat_message_box_headless());
    plat_message_box_clear_records();
    plat_message_box_set_handler(refusing_handler);  // a host handler never runs headless
    const struct {
        int buttons;
        int answer;
    } cases[] = {
        {PLAT_BUTTONS_OK, PLAT_ANSWER_OK},
        {PLAT_BUTTONS_OK_CANCEL, PLAT_ANSWER_OK},
        {PLAT_BUTTONS_YES_NO, PLAT_ANSWER_YES},
        {PLAT_BUTTONS_YES_NO_CANCEL, PLAT_ANSWER_YES},
    };
    auto begin = std::chrono::steady_clock::now();
    for (const auto& c : cases)
        EXPECT_EQ(plat_message_box("Warning", "Failed %d", PLAT_ICON_WARNING, c.buttons),
                  c.answer);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(10));
    plat_message_box_set_handler(nullptr);
    auto records = plat_message_box_records();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].caption, "Warning");
    EXPECT_EQ(records[0].text, "Failed %d");
    EXPECT_EQ(records[0].icon, PLAT_ICON_WARNING);
    EXPECT_EQ(records[2].buttons, PLAT_BUTTONS_YES_NO);
    plat_message_box_clear_records();
    EXPECT_TRUE(plat_message_box_records().empty());
}

TEST(MessageBox, NoDisplayMeansHeadlessEvenWithoutTheVariable)
{
    unsetenv("DROVIK_HEADLESS_BOXES");
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    EXPECT_TRUE(plat_message_box_headless());
    plat_message_box_set_headless(false);
    EXPECT_FALSE(plat_message_box_headless());
    plat_message_box_set_headless(true);
}

TEST(Beep, IsRecorded)
{
    plat_beep_clear_records();
    plat_beep(200, 50);
    plat_message_beep();
    auto beeps = plat_beep_records();
    ASSERT_EQ(beeps.size(), 2u);
    EXPECT_EQ(beeps[0].frequency, 200u);
    EXPECT_EQ(beeps[0].milliseconds, 50u);
    EXPECT_EQ(beeps[1].frequency, 0u);
}

namespace {

uint32_t fake_now = 0;
uint32_t fake_tick()
{
    return fake_now;
}
uint32_t slept = 0;
void fake_sleep(uint32_t ms)
{
    slept += ms;
    fake_now += ms;
}

}  // namespace

TEST(Clock, DifferencesSurviveTheWrap)
{
    plat_clock_override(fake_tick, fake_sleep);
    fake_now = 0xFFFFFFF0u;
    slept = 0;
    uint32_t start = plat_tick_ms();
    plat_sleep_ms(40);
    uint32_t end = plat_tick_ms();
    plat_clock_override(nullptr, nullptr);
    EXPECT_EQ(slept, 40u);
    EXPECT_LT(end, start);  // wrapped
    EXPECT_EQ(static_cast<uint32_t>(end - start), 40u);
}

TEST(Clock, RealTickAdvances)
{
    uint32_t start = plat_tick_ms();
    plat_sleep_ms(20);
    uint32_t elapsed = plat_tick_ms() - start;
    EXPECT_GE(elapsed, 20u);
    EXPECT_LT(elapsed, 60000u);
}

TEST(Keys, DownAndPressedSinceLastPoll)
{
    plat_keys_reset();
    EXPECT_EQ(plat_get_async_key_state(PLAT_VK_F1), 0);
    plat_key_event(PLAT_VK_F1, true);
    EXPECT_EQ(static_cast<uint16_t>(plat_get_async_key_state(PLAT_VK_F1)), 0x8001);
    EXPECT_EQ(static_cast<uint16_t>(plat_get_async_key_state(PLAT_VK_F1)), 0x8000);
    EXPECT_LT(plat_get_async_key_state(PLAT_VK_F1), 0);  // high bit: negative as on Windows
    plat_key_event(PLAT_VK_F1, false);
    EXPECT_EQ(plat_get_async_key_state(PLAT_VK_F1), 0);
    // A quick press and release between polls still shows as pressed once.
    plat_key_event('A', true);
    plat_key_event('A', false);
    EXPECT_EQ(plat_get_async_key_state('A'), 1);
    EXPECT_EQ(plat_get_async_key_state('A'), 0);
    // The pressed bit is kept per key.
    plat_key_event(PLAT_VK_UP, true);
    EXPECT_EQ(plat_get_async_key_state(PLAT_VK_DOWN), 0);
    EXPECT_EQ(static_cast<uint16_t>(plat_get_async_key_state(PLAT_VK_UP)), 0x8001);
    EXPECT_EQ(plat_get_async_key_state(-1), 0);
    EXPECT_EQ(plat_get_async_key_state(4096), 0);
}

TEST(Keys, SidedModifiersDriveTheGenericCode)
{
    plat_keys_reset();
    const struct {
        int left, right, generic;
    } cases[] = {
        {PLAT_VK_LSHIFT, PLAT_VK_RSHIFT, PLAT_VK_SHIFT},
        {PLAT_VK_LCONTROL, PLAT_VK_RCONTROL, PLAT_VK_CONTROL},
        {PLAT_VK_LMENU, PLAT_VK_RMENU, PLAT_VK_MENU},
    };
    for (const auto& c : cases) {
        plat_key_event(c.left, true);
        plat_key_event(c.right, true);
        EXPECT_EQ(static_cast<uint16_t>(plat_get_async_key_state(c.generic)), 0x8001);
        plat_key_event(c.left, false);
        EXPECT_EQ(static_cast<uint16_t>(plat_get_async_key_state(c.generic)), 0x8000)
            << "still held on the right";
        plat_key_event(c.right, false);
        EXPECT_EQ(plat_get_async_key_state(c.generic), 0);
    }
}

TEST(Display, ReportsRgb565AndRecordsDepthSwitches)
{
    plat_display_reset_for_tests();
    plat_pixel_format format = plat_display_pixel_format();
    EXPECT_EQ(format.bits, 16);
    EXPECT_EQ(format.red_mask, 0xF800u);
    EXPECT_EQ(format.green_mask, 0x07E0u);
    EXPECT_EQ(format.blue_mask, 0x001Fu);
    EXPECT_TRUE(plat_display_set_depth(32));
    EXPECT_EQ(plat_display_depth(), 32);
    EXPECT_TRUE(plat_display_set_depth(16));
    EXPECT_FALSE(plat_display_set_depth(13));
    EXPECT_EQ(plat_display_depth(), 16);
    EXPECT_EQ(plat_display_depth_requests(), (std::vector<int>{32, 16, 13}));

    EXPECT_TRUE(plat_display_set_mode(800, 600, 32));
    int width = 0;
    int height = 0;
    plat_display_size(&width, &height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(plat_display_depth(), 32);
    EXPECT_TRUE(plat_display_restore_mode());
    EXPECT_EQ(plat_display_depth(), 16);
    ASSERT_EQ(plat_display_mode_requests().size(), 1u);
    plat_display_reset_for_tests();
    EXPECT_TRUE(plat_display_depth_requests().empty());
}

TEST(Priority, RequestsAreRecordedAndZeroChangesNothing)
{
    plat_priority_clear_requests();
    int before = plat_get_process_priority();
    EXPECT_TRUE(plat_set_process_priority(0));
    EXPECT_EQ(plat_get_process_priority(), before);
    EXPECT_TRUE(plat_set_thread_priority(PLAT_THREAD_HIGHEST));
    EXPECT_EQ(plat_get_thread_priority(), PLAT_THREAD_HIGHEST);
    EXPECT_FALSE(plat_set_thread_priority(7));
    EXPECT_TRUE(plat_set_thread_priority(PLAT_THREAD_NORMAL));
    EXPECT_TRUE(plat_set_process_priority(PLAT_PRIORITY_NORMAL));
    EXPECT_EQ(plat_priority_requests(),
              (std::vector<std::string>{"process 0", "thread 2", "thread 7", "thread 0",
                                        "process 32"}));
}

TEST(Module, LoadsByWindowsStyleNameAndBindsSymbols)
{
    // The platform library itself, asked for as a DLL, found beside the test program.
    void* module = plat_module_load("platform.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_NE(plat_module_symbol(module, "_Z16plat_module_loadPKc"), nullptr);
    EXPECT_EQ(plat_module_symbol(module, "no_such_function"), nullptr);
    plat_module_free(module);
    EXPECT_EQ(plat_module_load("surely_missing_library.dll"), nullptr);
    EXPECT_EQ(plat_module_load(""), nullptr);
}
