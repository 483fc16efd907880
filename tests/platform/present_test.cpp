// Presenting surfaces into memory and host windows: 1:1, clipped, scaled, and text.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/surface.h"
#include "platform/window.h"

namespace {

struct surface_deleter {
    void operator()(plat_surface* s) const { plat_surface_destroy(s); }
};
using surface_ptr = std::unique_ptr<plat_surface, surface_deleter>;

struct window_deleter {
    void operator()(plat_window* w) const { plat_window_destroy(w); }
};
using window_ptr = std::unique_ptr<plat_window, window_deleter>;

// Pixel (x, y) holds 0x100 + y * 16 + x: every pixel is distinct and never 0.
uint16_t pattern(int x, int y)
{
    return static_cast<uint16_t>(0x100 + y * 16 + x);
}

surface_ptr patterned_surface(int width, int height)
{
    surface_ptr s(plat_surface_create(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            s->bits[y * s->pitch_pixels + x] = pattern(x, y);
    return s;
}

}  // namespace

TEST(Surface, CreateGivesEvenPitchAndZeroPixels)
{
    surface_ptr odd(plat_surface_create(3, 2));
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->pitch_pixels, 4);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(odd->bits[i], 0);
    EXPECT_EQ(plat_surface_create(0, 5), nullptr);
    EXPECT_EQ(plat_surface_create(5, -1), nullptr);
    EXPECT_EQ(plat_surface_create(100000, 1), nullptr);
}

TEST(Present, OneToOneCopiesTheWholeSurfaceIgnoringRowPadding)
{
    surface_ptr s = patterned_surface(3, 2);
    s->bits[3] = 0xFFFF;  // padding column of row 0
    window_ptr w(plat_window_create_memory(3, 2));
    ASSERT_TRUE(plat_present(w.get(), s.get(), 0, 0, 3, 2, 0, 0));
    std::vector<uint16_t> expected = {pattern(0, 0), pattern(1, 0), pattern(2, 0),
                                      pattern(0, 1), pattern(1, 1), pattern(2, 1)};
    EXPECT_EQ(plat_window_frame(w.get()), expected);
}

struct blit_case {
    const char* name;
    int dst_x, dst_y, width, height, src_x, src_y;
};

// Window 5 x 4, surface 4 x 3: each present is checked against the plain definition:
// window pixel (x, y) inside the destination rectangle takes surface pixel
// (x - dst_x + src_x, y - dst_y + src_y) when that lies on the surface; the rest stays 0.
TEST(Present, ClipsAgainstSurfaceAndWindow)
{
    const blit_case cases[] = {
        {"inside", 1, 1, 2, 2, 1, 0},
        {"past right and bottom of window", 3, 2, 4, 3, 0, 0},
        {"negative destination", -2, -1, 4, 3, 0, 0},
        {"negative source", 0, 0, 4, 3, -1, -2},
        {"source past surface", 0, 0, 5, 4, 2, 1},
        {"wholly outside", 6, 0, 2, 2, 0, 0},
        {"empty", 0, 0, 0, 3, 0, 0},
    };
    surface_ptr s = patterned_surface(4, 3);
    for (const blit_case& c : cases) {
        SCOPED_TRACE(c.name);
        window_ptr w(plat_window_create_memory(5, 4));
        ASSERT_TRUE(plat_present(w.get(), s.get(), c.dst_x, c.dst_y, c.width, c.height, c.src_x,
                                 c.src_y));
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 5; ++x) {
                int sx = x - c.dst_x + c.src_x;
                int sy = y - c.dst_y + c.src_y;
                bool inside = x >= c.dst_x && x < c.dst_x + c.width && y >= c.dst_y &&
                              y < c.dst_y + c.height && sx >= 0 && sx < 4 && sy >= 0 && sy < 3;
                EXPECT_EQ(plat_window_pixel(w.get(), x, y), inside ? pattern(sx, sy) : 0)
                    << "at " << x << "," << y;
            }
        }
    }
}

TEST(Present, KeepsPixelsOutsideTheDestination)
{
    surface_ptr s = patterned_surface(2, 2);
    window_ptr w(plat_window_create_memory(3, 1));
    plat_present(w.get(), s.get(), 0, 0, 1, 1, 0, 0);
    plat_present(w.get(), s.get(), 2, 0, 1, 1, 1, 1);
    std::vector<uint16_t> expected = {pattern(0, 0), 0, pattern(1, 1)};
    EXPECT_EQ(plat_window_frame(w.get()), expected);
}

TEST(PresentStretched, DoublesEachPixel)
{
    surface_ptr s = patterned_surface(2, 2);
    window_ptr w(plat_window_create_memory(4, 4));
    ASSERT_TRUE(plat_present_stretched(w.get(), s.get(), 0, 0, 4, 4, 0, 0, 2, 2));
    uint16_t a = pattern(0, 0), b = pattern(1, 0), c = pattern(0, 1), d = pattern(1, 1);
    std::vector<uint16_t> expected = {a, a, b, b, a, a, b, b, c, c, d, d, c, c, d, d};
    EXPECT_EQ(plat_window_frame(w.get()), expected);
}

TEST(PresentStretched, HalvingTakesEveryOtherPixel)
{
    surface_ptr s = patterned_surface(4, 4);
    window_ptr w(plat_window_create_memory(2, 2));
    ASSERT_TRUE(plat_present_stretched(w.get(), s.get(), 0, 0, 2, 2, 0, 0, 4, 4));
    std::vector<uint16_t> expected = {pattern(0, 0), pattern(2, 0), pattern(0, 2),
                                      pattern(2, 2)};
    EXPECT_EQ(plat_window_frame(w.get()), expected);
}

TEST(PresentStretched, UnevenRatioAndSourceOffset)
{
    // 3 source columns from x = 1 onto 2 destination columns: 0 -> 1 + 0, 1 -> 1 + 3/2 = 2.
    surface_ptr s = patterned_surface(4, 1);
    window_ptr w(plat_window_create_memory(2, 1));
    ASSERT_TRUE(plat_present_stretched(w.get(), s.get(), 0, 0, 2, 1, 1, 0, 3, 1));
    std::vector<uint16_t> expected = {pattern(1, 0), pattern(2, 0)};
    EXPECT_EQ(plat_window_frame(w.get()), expected);
}

TEST(PresentStretched, ClipsToTheWindowWithoutShiftingTheMapping)
{
    // Destination starts at x = -2 with a 2x scale: window column 0 is destination column 2,
    // source column 1.
    surface_ptr s = patterned_surface(3, 1);
    window_ptr w(plat_window_create_memory(3, 1));
    ASSERT_TRUE(plat_present_stretched(w.get(), s.get(), -2, 0, 6, 1, 0, 0, 3, 1));
    std::vector<uint16_t> expected = {pattern(1, 0), pattern(1, 0), pattern(2, 0)};
    EXPECT_EQ(plat_window_frame(w.get()), expected);
}

TEST(PresentStretched, RejectsNegativeSizes)
{
    surface_ptr s = patterned_surface(2, 2);
    window_ptr w(plat_window_create_memory(2, 2));
    EXPECT_FALSE(plat_present_stretched(w.get(), s.get(), 0, 0, -2, 2, 0, 0, 2, 2));
    EXPECT_FALSE(plat_present_stretched(w.get(), s.get(), 0, 0, 2, 2, 0, 0, 2, -2));
    EXPECT_FALSE(plat_present(w.get(), nullptr, 0, 0, 2, 2, 0, 0));
}

namespace {

struct received_frames {
    std::atomic<int> count{0};
    int width = 0;
    int height = 0;
    int pitch = 0;
    std::vector<uint16_t> pixels;
};

void on_frame(void* user, const uint16_t* pixels, int width, int height, int pitch)
{
    auto* r = static_cast<received_frames*>(user);
    r->width = width;
    r->height = height;
    r->pitch = pitch;
    r->pixels.assign(pixels, pixels + pitch * height);
    r->count++;
}

}  // namespace

TEST(HostWindow, CallbackGetsTheWholeFrameFromAnotherThread)
{
    received_frames received;
    window_ptr w(plat_window_create_host(3, 2, on_frame, &received));
    surface_ptr s = patterned_surface(2, 2);
    std::thread presenter([&] { plat_present(w.get(), s.get(), 1, 0, 2, 2, 0, 0); });
    presenter.join();
    ASSERT_EQ(received.count, 1);
    EXPECT_EQ(received.width, 3);
    EXPECT_EQ(received.height, 2);
    EXPECT_EQ(received.pitch, 3);
    std::vector<uint16_t> expected = {0, pattern(0, 0), pattern(1, 0),
                                      0, pattern(0, 1), pattern(1, 1)};
    EXPECT_EQ(received.pixels, expected);
    plat_present_stretched(w.get(), s.get(), 0, 0, 3, 2, 0, 0, 2, 2);
    EXPECT_EQ(received.count, 2);
}

TEST(Text, DrawsInsideTheSurfaceAndClips)
{
    if (plat_text_height() == 0)
        GTEST_SKIP() << "the DejaVu font is not installed";
    surface_ptr s(plat_surface_create(200, 40));
    int width = plat_surface_draw_text(s.get(), 5, 5, "Load world 50%", 0xF800);
    EXPECT_GT(width, 20);
    EXPECT_EQ(plat_text_width("Load world 50%"), width);
    EXPECT_EQ(plat_text_width(""), 0);
    int coloured = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 200; ++x) {
            uint16_t p = s->bits[y * s->pitch_pixels + x];
            EXPECT_TRUE(p == 0 || p == 0xF800);
            if (p != 0) {
                ++coloured;
                EXPECT_GE(x, 5);
                EXPECT_LT(x, 5 + width);
                EXPECT_GE(y, 5);
                EXPECT_LT(y, 5 + plat_text_height());
            }
        }
    }
    EXPECT_GT(coloured, 20);
    // Partly or wholly off the surface: clipped, no stray writes (the sanitizer watches).
    surface_ptr small(plat_surface_create(6, 4));
    plat_surface_draw_text(small.get(), -10, -5, "Wide text", 0xFFFF);
    plat_surface_draw_text(small.get(), 4, 2, "Wide text", 0xFFFF);
    EXPECT_GT(plat_surface_draw_text(small.get(), 500, 500, "x", 0xFFFF), 0);
}
