// The 3D card on OpenGL (headless, llvmpipe): frames cleared, drawn, blended, fogged and read back.
#include <algorithm>
#include <thread>
#include <vector>

#include "card_fixture.h"
#include "platform/surface.h"
#include "render/frame_state.h"
#include "render/software/background.h"
#include "world/colour.h"
#include "world/light.h"
#include "world/world_order.h"

const card3d_device& CardTest::fake_card_table() { return card3d_device_gl(); }

namespace {

struct rgb {
    int r, g, b;
};

class CardGl : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        if (plat_card_devices().empty()) GTEST_SKIP() << "no OpenGL device";
        engine_render_frame_state().show_frames_per_second = 0;
        engine_state.background_red = 10;
        engine_state.background_green = 20;
        engine_state.background_blue = 200;
        engine_state.atmosphere_red = 250;
        engine_state.atmosphere_green = 250;
        engine_state.atmosphere_blue = 0;
        engine_state.zbuffer_state = 1;
        start();
    }

    void TearDown() override {
        engine_render_frame_state().show_frames_per_second = 1;
        CardTest::TearDown();
    }

    polygon* quad(uint8_t blending = 0) {
        polygon* p = wall(-5, -1, 1, -1, 1, 0, 0, 0);
        put(main_->root, p);
        p->fade_distance = 1e100;
        p->blending = blending;
        p->blending_on = blending != 0;
        return p;
    }

    // A square of 40 x 40 pixels about the screen centre at the given depth.
    static void draw(polygon* p, uint32_t colour, double depth = 10, double distance = 10) {
        const card3d_corner corners[4] = {{-20, 20, -depth, distance, colour, 0, 0},
                                          {20, 20, -depth, distance, colour, 1, 0},
                                          {20, -20, -depth, distance, colour, 1, 1},
                                          {-20, -20, -depth, distance, colour, 0, 1}};
        card3d_draw_polygon(p, corners, 4);
    }

    void begin() { ASSERT_EQ(card3d_before_each_render(window_, cam_), 0); }

    rgb at(int x, int y) {
        int r, g, b;
        pixel_to_rgb(plat_window_pixel(window_, x, y), &r, &g, &b);
        return {r, g, b};
    }

    static void expect_near(const rgb& got, const rgb& want, const char* what) {
        // 5 and 6 bits a channel lose up to 8 and 4.
        EXPECT_NEAR(got.r, want.r, 9) << what;
        EXPECT_NEAR(got.g, want.g, 9) << what;
        EXPECT_NEAR(got.b, want.b, 9) << what;
    }

    // Walls in front of the camera at many depths: colour fills, two opaque textures and one with
    // holes, added and multiplied glass, and near fade distances, in an order that changes the state
    // every few polygons.
    void mixed_state_world(bitmap_texture* const (&textures)[3]) {
        uint32_t seed = 12345;
        auto next = [&](int n) {
            seed = seed * 1103515245u + 12345u;
            return static_cast<int>(seed >> 16 & 0x7FFF) % n;
        };
        for (int i = 0; i < 400; ++i) {
            const double x = -3 - next(400) / 20.0;
            const double y = (next(200) - 100) / 50.0 * -x / 3, z = (next(160) - 80) / 50.0 * -x / 3;
            const double w = (1 + next(60)) / 40.0 * -x / 3, h = (1 + next(60)) / 40.0 * -x / 3;
            polygon* p = wall(x, y, y + w, z, z + h, 40 + next(200), 40 + next(200), 40 + next(200));
            const int kind = i / 3 % 7;
            if (kind >= 1 && kind <= 3) polygon_set_bitmap_fill(p, textures[kind - 1]);
            if (kind == 4) p->blending = 0x22;
            if (kind == 5) p->blending = 0x93;
            p->blending_on = p->blending != 0;
            p->fade_distance = kind == 6 ? 12 : 1e100;
            put(main_->root, p);
        }
    }
};

TEST_F(CardGl, AClearedFrameIsTheBackgroundColourInTheWindow) {
    begin();
    card3d_after_render();
    expect_near(at(0, 0), {10, 20, 200}, "top left");
    expect_near(at(159, 119), {10, 20, 200}, "bottom right");
}

TEST_F(CardGl, AFilledSquareCoversItsPixelsOnly) {
    polygon* p = quad();
    begin();
    draw(p, 0x00FF0000);
    card3d_after_render();
    // Centre (81, 61): the square runs from x 61 to 100 and y 41 to 80.
    expect_near(at(81, 61), {255, 0, 0}, "inside");
    expect_near(at(62, 42), {255, 0, 0}, "inside corner");
    expect_near(at(59, 61), {10, 20, 200}, "left of it");
    expect_near(at(81, 83), {10, 20, 200}, "below it");
}

// Pixel centres lie on whole coordinates: a corner's top and left edges take their row and column,
// its bottom and right ones do not, from the frame's first row and column to its last.
TEST_F(CardGl, EdgesTakeTheTopRowAndLeftColumnButNotTheBottomOrRight) {
    polygon* p = quad();
    begin();
    // Centre (81, 61): a band over rows 0 to 9 and columns 0 to 159, and a square over x 100..109, y 110..119.
    const card3d_corner band[4] = {{-81, 61, -10, 10, 0x00FF0000, 0, 0},
                                   {79, 61, -10, 10, 0x00FF0000, 1, 0},
                                   {79, 51, -10, 10, 0x00FF0000, 1, 1},
                                   {-81, 51, -10, 10, 0x00FF0000, 0, 1}};
    card3d_draw_polygon(p, band, 4);
    const card3d_corner corner[4] = {{19, -49, -10, 10, 0x0000FF00, 0, 0},
                                     {29, -49, -10, 10, 0x0000FF00, 1, 0},
                                     {29, -59, -10, 10, 0x0000FF00, 1, 1},
                                     {19, -59, -10, 10, 0x0000FF00, 0, 1}};
    card3d_draw_polygon(p, corner, 4);
    card3d_after_render();
    const rgb red{255, 0, 0}, green{0, 255, 0}, background{10, 20, 200};
    expect_near(at(0, 0), red, "top left pixel");
    expect_near(at(159, 0), red, "top right pixel");
    expect_near(at(80, 9), red, "last row of the band");
    expect_near(at(80, 10), background, "first row below the band");
    expect_near(at(100, 110), green, "the square's first pixel");
    expect_near(at(109, 119), green, "the square's last pixel, in the frame's last row");
    expect_near(at(99, 115), background, "left of the square");
    expect_near(at(110, 115), background, "right of the square");
    expect_near(at(105, 109), background, "above the square");
}

TEST_F(CardGl, ATransparentTexelShowsTheClearColour) {
    bitmap_texture* see_through = bitmap("hole", 4, 4, 0, 0);
    bitmap_texture* solid = bitmap("solid", 4, 4, 1);
    ASSERT_EQ(card3d_load_a_bitmap(see_through), 0);
    ASSERT_EQ(card3d_load_a_bitmap(solid), 0);
    polygon* p = quad();
    begin();
    p->texture = see_through;
    draw(p, 0xFFFFFF);
    card3d_after_render();
    expect_near(at(81, 61), {10, 20, 200}, "transparent");

    begin();
    p->texture = solid;
    draw(p, 0xFFFFFF);
    card3d_after_render();
    expect_near(at(81, 61), {0, 255, 0}, "opaque texel");
    p->texture = nullptr;
}

TEST_F(CardGl, LightSourceGlassAddsAndFilterGlassMultiplies) {
    polygon* ground = quad();
    polygon* light = quad(0x22);
    polygon* filter = quad(0x93);
    begin();
    draw(ground, 0x00643200);     // (100, 50, 0)
    draw(light, 0x00323232, 9);  // + (50, 50, 50)
    card3d_after_render();
    expect_near(at(81, 61), {150, 100, 50}, "added");

    begin();
    draw(ground, 0x00C86432);  // (200, 100, 50)
    draw(filter, 0x004080FF, 9);  // source x destination twice: (100, 100, 100)
    card3d_after_render();
    expect_near(at(81, 61), {100, 100, 100}, "multiplied");
}

TEST_F(CardGl, CoplanarPolygonsPassWithLessOrEqualOnlyAndLessKeepsTheFirst) {
    polygon* first = quad();
    polygon* second = quad();
    const struct {
        int zbuffer_state;
        rgb want;
    } cases[] = {{2, {0, 0, 255}}, {1, {255, 0, 0}}};
    for (const auto& c : cases) {
        engine_state.zbuffer_state = c.zbuffer_state;
        begin();
        draw(first, 0x00FF0000);
        draw(second, 0x000000FF);
        card3d_after_render();
        expect_near(at(81, 61), c.want, c.zbuffer_state == 2 ? "less or equal" : "less");
    }
}

TEST_F(CardGl, CornersAtTheirFadeDistanceTakeTheFogColour) {
    polygon* p = quad();
    p->fade_distance = 50;
    begin();
    draw(p, 0x00FF0000, 10, 60);
    card3d_after_render();
    expect_near(at(81, 61), {250, 250, 0}, "fogged");
}

TEST_F(CardGl, TheSkyStaysBehindTheWorld) {
    // Wide enough for the picture and tall enough to reach its top from the horizon at its middle.
    bitmap_texture* sky_picture = bitmap("sky", 256, 128, 1);
    ::background* sky = background_create(&engine_state.backgrounds, "sky", sky_picture);
    ASSERT_NE(sky, nullptr);
    sky->bottom_intensity = 100;
    polygon* p = quad();
    begin();
    draw(p, 0x00FF0000);
    // With the z-buffer on the world comes first and the sky after it.
    EXPECT_EQ(engine_draw_world_background(sky, nullptr, 0, cam_), 0);
    card3d_after_render();
    expect_near(at(81, 50), {255, 0, 0}, "the world in front");
    // The sky is green through the atmosphere's yellow.
    expect_near(at(5, 5), {0, 250, 0}, "the sky above");
    expect_near(at(5, 115), {10, 20, 200}, "below the horizon");
    background_delete_all(&engine_state.backgrounds);
}

TEST_F(CardGl, AFrameIsDrawnOnAnotherThreadThanTheStart) {
    polygon* p = quad();
    std::thread other([&] {
        if (card3d_before_each_render(window_, cam_) != 0) return;
        draw(p, 0x0000FF00);
        card3d_after_render();
    });
    other.join();
    expect_near(at(81, 61), {0, 255, 0}, "drawn on the other thread");
}

TEST_F(CardGl, TheWorldIsDrawnWithItsPointColoursAndALightChangesThem) {
    polygon* p = wall(-5, -1, 1, -1, 1, 200, 100, 50);
    put(main_->root, p);
    finish_tree();
    thread_polygons_in_world_order();
    auto frame = [&] {
        begin();
        EXPECT_EQ(draw_world(nullptr, main_, cam_, nullptr), 0);
        card3d_after_render();
    };
    frame();
    expect_near(at(81, 61), {200, 100, 50}, "unlit");
    // Ambient only: black, then 86 % of the colour through a shift of 8: (67, 33, 16).
    light* lamp = light_create(&engine_state.lights, "lamp");
    lamp->type = 8;
    light_activate(lamp, 0);
    frame();
    expect_near(at(81, 61), {67, 33, 16}, "lit");
    light_delete_all(&engine_state.lights);
}

TEST_F(CardGl, TheFrameRateTextIsDrawnInOrangeAtTheTopLeft) {
    engine_render_frame_state().show_frames_per_second = 1;
    begin();
    card3d_after_render();
    int orange = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 160; ++x) {
            const rgb c = at(x, y);
            if (c.r > 200 && c.g > 100 && c.g < 160 && c.b < 40) ++orange;
        }
    }
    EXPECT_GT(orange, 20);
    expect_near(at(81, 100), {10, 20, 200}, "below the text");
}

TEST_F(CardGl, WithoutTexturePerspectiveTexelsFollowTheScreenLinearly) {
    // Red on the left half of the texture, blue on the right.
    std::vector<uint8_t> pixels(64);
    for (int x = 0; x < 64; ++x) pixels[x] = x < 32 ? 0 : 2;
    const rgb8 palette[3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    bitmap_texture* halves =
        bitmap_texture_create_from_pixels(&engine_state.bitmaps, "halves", 64, 1, pixels.data(), palette, 3, -1);
    ASSERT_EQ(card3d_load_a_bitmap(halves), 0);
    polygon* p = quad();
    p->texture = halves;
    // Near on the left (depth 2), far on the right (depth 20); at 10 pixels right of the centre the
    // perspective-correct texel is u = 0.14, the screen-linear one u = 0.63.
    const card3d_corner corners[4] = {{-40, 20, -2, 2, 0xFFFFFF, 0, 0},
                                      {40, 20, -20, 20, 0xFFFFFF, 1, 0},
                                      {40, -20, -20, 20, 0xFFFFFF, 1, 1},
                                      {-40, -20, -2, 2, 0xFFFFFF, 0, 1}};
    const struct {
        int perspective;
        rgb want;
    } cases[] = {{1, {255, 0, 0}}, {0, {0, 0, 255}}};
    for (const auto& c : cases) {
        cam_->perspective = c.perspective;
        begin();
        card3d_draw_polygon(p, corners, 4);
        card3d_after_render();
        expect_near(at(91, 61), c.want, c.perspective ? "perspective" : "screen linear");
    }
    cam_->perspective = 1;
    p->texture = nullptr;
}

// A device that reads the frame back after every polygon, so that each polygon is drawn on its own
// with the states of its time, as a card drawing polygon by polygon does.
struct polygon_by_polygon {
    static plat_surface*& scratch() {
        static plat_surface* surface = nullptr;
        return surface;
    }
    static void draw_fan(const plat_card_vertex* vertices, int count) {
        card3d_device_gl().draw_fan(vertices, count);
        card3d_device_gl().read_back(scratch());
    }
    static card3d_device table() {
        card3d_device d = card3d_device_gl();
        d.draw_fan = draw_fan;
        return d;
    }
};

TEST_F(CardGl, AWorldOfMixedStatesDrawsAsItDoesPolygonByPolygon) {
    std::vector<uint8_t> checker(16 * 16), holes(16 * 16);
    for (int k = 0; k < 256; ++k) {
        checker[k] = static_cast<uint8_t>((k % 16 / 4 + k / 64) % 3);
        holes[k] = static_cast<uint8_t>(k % 5 == 0 ? 0 : 1 + k / 16 % 2);
    }
    const rgb8 palette[3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    bitmap_texture* const textures[3] = {
        bitmap("plain", 8, 8, 2),
        bitmap_texture_create_from_pixels(&engine_state.bitmaps, "checker", 16, 16, checker.data(), palette, 3, -1),
        bitmap_texture_create_from_pixels(&engine_state.bitmaps, "holes", 16, 16, holes.data(), palette, 3, 0)};
    for (bitmap_texture* t : textures) ASSERT_EQ(card3d_load_a_bitmap(t), 0);
    bitmap_texture* sky_picture = bitmap("sky", 256, 128, 1);
    ::background* sky = background_create(&engine_state.backgrounds, "sky", sky_picture);
    ASSERT_NE(sky, nullptr);
    mixed_state_world(textures);
    finish_tree();
    thread_polygons_in_world_order();
    auto frame = [&] {
        begin();
        EXPECT_EQ(draw_world(nullptr, main_, cam_, nullptr), 0);
        EXPECT_EQ(engine_draw_world_background(sky, nullptr, 0, cam_), 0);
        card3d_after_render();
        return plat_window_frame(window_);
    };
    const std::vector<uint16_t> drawn = frame();

    polygon_by_polygon::scratch() = plat_surface_create(width, height);
    const card3d_device one_by_one = polygon_by_polygon::table();
    card3d_device_use(&one_by_one);
    const std::vector<uint16_t> alone = frame();
    card3d_device_use(&device());
    plat_surface_destroy(polygon_by_polygon::scratch());

    ASSERT_EQ(drawn.size(), static_cast<size_t>(width * height));
    EXPECT_TRUE(drawn == alone);
    // The frame shows many colours: the states did change under the polygons.
    std::vector<uint16_t> colours(drawn);
    std::sort(colours.begin(), colours.end());
    EXPECT_GT(std::unique(colours.begin(), colours.end()) - colours.begin(), 100);
    background_delete_all(&engine_state.backgrounds);
}

TEST_F(CardGl, TheCapabilityReportNamesTheRenderer) {
    const std::string report = read_file("card3d.txt");
    EXPECT_NE(report.find("\tGL_RENDERER\t" + plat_card_read_caps().renderer + "\n"), std::string::npos);
}

}  // namespace
