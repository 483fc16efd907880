// Rasterising by bands of rows on several threads: every drawer and mode gives the frame and the
// counters one thread gives, bit for bit.
#include <random>
#include <vector>

#include "render/images/bitmap_texture.h"
#include "render/software/raster_bands.h"
#include "traversal_fixture.h"

namespace {

struct band_case {
    const char* name;
    int zbuffer_state;
    int rendering_mode;
    int wire_frame;
    double fog;
    int mipmaps;
    int perspective_automatic;
};

const band_case cases[] = {
    {"mask", 0, 0, 0, 0, 0, 0},
    {"semi z-buffer", 1, 0, 0, 0, 0, 0},
    {"full z-buffer", 2, 0, 0, 0, 0, 0},
    {"mode 1", 1, 1, 0, 0, 0, 0},
    {"mode 2", 0, 2, 0, 0, 0, 0},
    {"wire-frame mode", 1, 3, 0, 0, 0, 0},
    {"solid mode", 1, 4, 0, 0, 0, 0},
    {"span-end marks", 1, 0, 1, 0, 0, 0},
    {"fog", 1, 0, 0, 0.004, 0, 0},
    {"mipmaps", 0, 0, 0, 0, 1, 0},
    {"linear spans", 2, 0, 0, 0, 0, 2},
    {"fixed step", 1, 0, 0, 0, 0, 3},
};

struct frame {
    std::vector<uint16_t> pixels;
    frame_statistics counted;
};

class BandTest : public TraversalTest {
protected:
    void SetUp() override {
        TraversalTest::SetUp();
        saved_threads_ = software_render_threads();
    }
    void TearDown() override {
        software_render_set_threads(saved_threads_);
        TraversalTest::TearDown();
    }

    bitmap_texture* texture(const char* name, int transparent_index) {
        std::vector<uint8_t> texels(16 * 16);
        for (int i = 0; i < 16 * 16; ++i) texels[i] = static_cast<uint8_t>((i / 16 + i % 16 / 3) % 4);
        const rgb8 palette[4] = {{240, 200, 40}, {20, 20, 120}, {90, 160, 60}, {200, 30, 30}};
        return bitmap_texture_create_from_pixels(&engine_state.bitmaps, name, 16, 16, texels.data(), palette, 4,
                                                 transparent_index);
    }

    // A quad with a brightness of its own at each corner when `uneven`.
    static polygon* quad(const corner (&c)[4], bool uneven, int r, int g, int b) {
        polygon* p = init_poly();
        for (int i = 0; i < 4; ++i) {
            const double values[6] = {c[i].x, c[i].y, c[i].z, c[i].u, c[i].v, uneven ? 2.0 + 5 * i : 8.0};
            polygon_add_point(p, values);
        }
        polygon_set_color_fill(p, r, g, b);
        polygon_recalculate(p);
        return p;
    }

    // Overlapping walls and floors at many depths, solid, textured, transparent and shaded per
    // vertex, and a dynamic object among them.
    void build_world() {
        bitmap_texture* plain = texture("plain", -1);
        bitmap_texture* holes = texture("holes", 3);
        ASSERT_NE(plain, nullptr);
        ASSERT_NE(holes, nullptr);
        std::mt19937 random(40);
        std::uniform_real_distribution<double> depth(-400, -30), side(-150, 150), up(-110, 110), size(10, 90);
        for (int i = 0; i < 60; ++i) {
            const double x = depth(random), y = side(random), z = up(random), s = size(random);
            const double lean = i % 3 == 0 ? s : 0;
            const corner c[4] = {{x, y + s, z + s, 3, 0}, {x - lean, y + s, z - s, 3, 3},
                                 {x - lean, y - s, z - s, 0, 3}, {x, y - s, z + s, 0, 0}};
            polygon* p = quad(c, i % 4 == 1, 40 + i * 3, 200 - i * 2, 90);
            if (i % 5 != 4) polygon_set_bitmap_fill(p, i % 5 == 2 ? holes : plain);
            put(main_->root, p);
        }
        finish_tree();
        const corner near[4] = {{0, -20, 20, 1, 0}, {0, -20, -20, 1, 1}, {0, 20, -20, 0, 1}, {0, 20, 20, 0, 0}};
        polygon* face = quad(near, true, 220, 220, 30);
        polygon_set_bitmap_fill(face, plain);
        object_at("box", {-90, 10, -15}, {face});
    }

    void apply(const band_case& c) {
        engine_state.zbuffer_state = c.zbuffer_state;
        engine_state.rendering_mode = c.rendering_mode;
        engine_state.wire_frame = c.wire_frame;
        engine_state.atmospheric_intensity = c.fog;
        engine_state.atmosphere_red = 120;
        engine_state.atmosphere_green = 130;
        engine_state.atmosphere_blue = 140;
        engine_state.mipmaps = c.mipmaps;
        engine_state.perspective_automatic = c.perspective_automatic;
        engine_state.perspective_accuracy = 1;
        engine_state.span_length_log2 = 3;
    }

    // A frame over a sky of rows of their own colour, and what it counted.
    frame render(int threads) {
        software_render_set_threads(threads);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) pixels()[y * width + x] = static_cast<uint16_t>(0x1000 + y * 37 + x / 16);
        }
        const frame_statistics before = engine_state.statistics;
        EXPECT_EQ(draw(), 0);
        const frame_statistics& after = engine_state.statistics;
        frame f{std::vector<uint16_t>(pixels(), pixels() + width * height), {}};
        f.counted = {after.frames - before.frames,        after.polygons - before.polygons,
                     after.lines - before.lines,          after.pixels - before.pixels,
                     after.hidden_lines - before.hidden_lines, after.hidden_pixels - before.hidden_pixels,
                     after.hidden_line_pixels - before.hidden_line_pixels};
        return f;
    }

    int saved_threads_ = 1;
};

void expect_same(const frame& many, const frame& one, const char* name, int threads) {
    SCOPED_TRACE(testing::Message() << name << " with " << threads << " threads");
    EXPECT_EQ(many.pixels, one.pixels);
    EXPECT_EQ(many.counted.polygons, one.counted.polygons);
    EXPECT_EQ(many.counted.lines, one.counted.lines);
    EXPECT_EQ(many.counted.pixels, one.counted.pixels);
    EXPECT_EQ(many.counted.hidden_lines, one.counted.hidden_lines);
    EXPECT_EQ(many.counted.hidden_pixels, one.counted.hidden_pixels);
    EXPECT_EQ(many.counted.hidden_line_pixels, one.counted.hidden_line_pixels);
}

}  // namespace

TEST_F(BandTest, EveryDrawerAndModeDrawsTheFrameOfOneThread) {
    build_world();
    for (const band_case& c : cases) {
        apply(c);
        const frame one = render(1);
        ASSERT_GT(one.counted.polygons, 20) << c.name;
        ASSERT_GT(one.counted.pixels, width * height / 2) << c.name;
        for (int threads : {2, 4, 7}) expect_same(render(threads), one, c.name, threads);
    }
}

// The frame's rows and the band edges do not meet the picture's word boundaries when the buffer
// is a little wider than the picture.
TEST_F(BandTest, ABufferWiderThanThePictureDrawsTheSameFrame) {
    ASSERT_EQ(set_buffer_dimentions(&buffer_, width + 3, height), 0);
    ASSERT_EQ(set_picture_box(&buffer_, 0, 0, width - 1, height - 1), 0);
    build_world();
    apply(cases[1]);
    const frame one = render(1);
    expect_same(render(5), one, "wide buffer", 5);
}
