// Window registry, state and size of memory and headless SDL windows.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/surface.h"
#include "platform/window.h"

TEST(Window, DestroyedHandleIsRejected)
{
    plat_window* w = plat_window_create_memory(4, 4);
    ASSERT_TRUE(plat_is_window(w));
    plat_window_destroy(w);
    EXPECT_FALSE(plat_is_window(w));
    EXPECT_FALSE(plat_is_window(nullptr));
    int not_a_window = 0;
    EXPECT_FALSE(plat_is_window(&not_a_window));
    // Calls through the stale handle do nothing instead of touching freed memory.
    plat_surface* s = plat_surface_create(2, 2);
    EXPECT_FALSE(plat_present(w, s, 0, 0, 2, 2, 0, 0));
    int width = -1;
    int height = -1;
    plat_window_client_size(w, &width, &height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    plat_window_destroy(w);  // a second destroy is harmless
    plat_surface_destroy(s);
}

TEST(Window, BadSizesAreRefused)
{
    EXPECT_EQ(plat_window_create_memory(-1, 4), nullptr);
    EXPECT_EQ(plat_window_create_memory(4, 20000), nullptr);
    plat_window* empty = plat_window_create_memory(0, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(plat_window_frame(empty).empty());
    plat_window_destroy(empty);
}

TEST(Window, ResizeKeepsTheOverlapAndBlanksTheRest)
{
    plat_window* w = plat_window_create_memory(2, 2);
    plat_surface* s = plat_surface_create(2, 2);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            s->bits[i * s->pitch_pixels + j] = static_cast<uint16_t>(10 + i * 2 + j);
    plat_present(w, s, 0, 0, 2, 2, 0, 0);
    plat_window_set_client_size(w, 3, 1);
    int width = 0;
    int height = 0;
    plat_window_client_size(w, &width, &height);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 1);
    EXPECT_EQ(plat_window_frame(w), (std::vector<uint16_t>{10, 11, 0}));
    EXPECT_EQ(plat_window_pixel(w, 3, 0), 0);  // outside
    plat_window_destroy(w);
    plat_surface_destroy(s);
}

TEST(Window, ShowStateFollowsRequests)
{
    plat_window* w = plat_window_create_memory(8, 8);
    EXPECT_FALSE(plat_window_is_visible(w));
    plat_window_show(w);
    EXPECT_TRUE(plat_window_is_visible(w));
    plat_window_minimize(w);
    EXPECT_TRUE(plat_window_is_minimized(w));
    plat_window_restore(w);
    EXPECT_FALSE(plat_window_is_minimized(w));
    plat_window_maximize(w);
    EXPECT_FALSE(plat_window_is_minimized(w));
    plat_window_hide(w);
    EXPECT_FALSE(plat_window_is_visible(w));
    plat_window_set_title(w, "Drovik default rendering window");
    EXPECT_EQ(plat_window_title(w), "Drovik default rendering window");
    EXPECT_FALSE(plat_window_close_requested(w));
    plat_window_destroy(w);
}

TEST(Window, HeadlessSdlWindowKeepsItsFrameAndState)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_FALSE(plat_display_available());
    plat_window* w = plat_window_create_sdl("DirectX Window", PLAT_DEFAULT_POSITION,
                                            PLAT_DEFAULT_POSITION, 3, 2, false);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(plat_window_kind_of(w), PLAT_WINDOW_SDL);
    EXPECT_EQ(plat_window_title(w), "DirectX Window");
    EXPECT_FALSE(plat_window_is_visible(w));
    plat_surface* s = plat_surface_create(1, 1);
    s->bits[0] = 0x07E0;
    // Presented from another thread, as the simulator's timer does.
    std::thread([&] { plat_present(w, s, 2, 1, 1, 1, 0, 0); }).join();
    plat_pump_events();
    EXPECT_EQ(plat_window_pixel(w, 2, 1), 0x07E0);
    plat_window_destroy(w);
    plat_surface_destroy(s);
}

TEST(Window, ConcurrentPresentsAndQueriesStayConsistent)
{
    plat_window* w = plat_window_create_memory(16, 16);
    plat_surface* s = plat_surface_create(16, 16);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                if (t % 2 == 0)
                    plat_present_stretched(w, s, 0, 0, 16, 16, 0, 0, 8, 8);
                else
                    plat_window_set_client_size(w, 8 + i % 9, 16);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    int width = 0;
    int height = 0;
    plat_window_client_size(w, &width, &height);
    EXPECT_EQ(plat_window_frame(w).size(), static_cast<size_t>(width * height));
    plat_window_destroy(w);
    plat_surface_destroy(s);
}

// Needs a real display: ctest runs it on a private Xvfb (e2e.platform_real_windows).
TEST(RealWindow, PresentsFromAnyThreadAndFollowsStateRequests)
{
    if (!plat_display_available())
        GTEST_SKIP() << "no display";
    plat_window* w = plat_window_create_sdl("Drovik default rendering window",
                                            PLAT_DEFAULT_POSITION, PLAT_DEFAULT_POSITION, 64,
                                            48, true);
    ASSERT_NE(w, nullptr);
    plat_surface* s = plat_surface_create(64, 48);
    for (int i = 0; i < 64 * 48; ++i)
        s->bits[i] = 0xF800;
    EXPECT_TRUE(plat_present(w, s, 0, 0, 64, 48, 0, 0));
    std::thread([&] { plat_present_stretched(w, s, 0, 0, 64, 48, 0, 0, 32, 24); }).join();
    plat_window_set_title(w, "Renamed");
    plat_window_minimize(w);
    for (int i = 0; i < 20; ++i) {
        plat_pump_events();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(plat_window_title(w), "Renamed");
    EXPECT_EQ(plat_window_pixel(w, 10, 10), 0xF800);
    plat_window_restore(w);
    plat_pump_events();
    plat_window_destroy(w);
    plat_surface_destroy(s);
}

// A window's picture reaches the X server without GL: no GLX context is made current on the
// presenting thread, where it would clash with the 3D card's own context.
TEST(RealWindow, PresentingMakesNoGlxContextCurrent)
{
    if (!plat_display_available())
        GTEST_SKIP() << "no display";
    plat_window* w = plat_window_create_sdl("Drovik 3D Graphics Engine", 100, 100, 40, 30, true);
    ASSERT_NE(w, nullptr);
    plat_surface* s = plat_surface_create(40, 30);
    for (int i = 0; i < 40 * 30; ++i)
        s->bits[i] = 0x07E0;
    EXPECT_TRUE(plat_present(w, s, 0, 0, 40, 30, 0, 0));
    plat_pump_events();
    EXPECT_EQ(plat_window_pixel(w, 5, 5), 0x07E0);
    if (void* glx = dlopen("libGLX.so.0", RTLD_LAZY | RTLD_NOLOAD)) {
        using current_context = void* (*)();
        auto current = reinterpret_cast<current_context>(dlsym(glx, "glXGetCurrentContext"));
        ASSERT_NE(current, nullptr);
        EXPECT_EQ(current(), nullptr);
        dlclose(glx);
    }
    plat_window_destroy(w);
    plat_surface_destroy(s);
}
