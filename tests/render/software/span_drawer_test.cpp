// Span drawers: segment stepping, transparency, texture wrapping, z policies, marks and levels.
#include <cmath>
#include <tuple>

#include "render/images/bitmap_texture.h"
#include "span_fixture.h"
#include "world/colour.h"

namespace {

struct named_drawer {
    const char* name;
    span_drawer draw;
};

const named_drawer textured_drawers[] = {
    {"tiled", draw_y_line_bitmap_tiled},
    {"tiled_linear", draw_y_line_bitmap_tiled_linear},
    {"interpolated_shading", draw_y_line_bitmap_tiled_interpolated_shading},
    {"semi_zbuff", draw_y_line_bitmap_tiled_semi_zbuff},
    {"semi_zbuff_transparent", draw_y_line_bitmap_tiled_semi_zbuff_transparent},
    {"full_zbuff", draw_y_line_bitmap_tiled_full_zbuff},
    {"interpolated_shading_semi_zbuff", draw_y_line_bitmap_tiled_interpolated_shading_semi_zbuff},
    {"interpolated_shading_full_zbuff", draw_y_line_bitmap_tiled_interpolated_shading_full_zbuff},
};

constexpr uint16_t level8(int texel) { return static_cast<uint16_t>((8 << 8) | (texel & 255)); }

}  // namespace

// Every textured drawer writes exactly the span's n pixels, each with the texel under its centre,
// for spans around the segment length.
TEST_F(SpanTest, SegmentsCoverExactlyTheSpan) {
    for (const auto& [n_step, log2] : {std::pair{1, 0}, std::pair{8, 3}, std::pair{64, 6}}) {
        for (int n : {1, n_step - 1, n_step, n_step + 1, 2 * n_step}) {
            if (n < 1) continue;
            for (const named_drawer& d : textured_drawers) {
                SetUp();
                set_step(n_step, log2);
                bag_.shade_z = {0, 0, -0.8};  // per-vertex shade 8 at depth 10
                span(3, n);
                d.draw(bag_);
                SCOPED_TRACE(std::string(d.name) + " N=" + std::to_string(n_step) + " n=" + std::to_string(n));
                EXPECT_EQ(frame_[2], untouched);
                for (int i = 0; i < n; ++i) ASSERT_EQ(frame_[3 + i], level8(3 + i)) << "pixel " << i;
                EXPECT_EQ(frame_[3 + n], untouched);
            }
        }
    }
}

// With depth changing along the span, values are exact at every segment end and at the last pixel.
TEST_F(SpanTest, PerspectiveValuesExactAtSegmentEnds) {
    // 1/z = -0.1 - 0.001 x, u/z = -0.1 x: u = 0.1 x / (0.1 + 0.001 x).
    set_planes({-0.001, 0, -0.1}, {-0.1, 0, 0}, {0, 0, 0});
    auto exact = [](double x) { return static_cast<int>(std::floor(0.1 * x / (0.1 + 0.001 * x))); };
    for (int n : {17, 24, 64}) {
        span(0, n);
        draw_y_line_bitmap_tiled(bag_);
        for (int i = 0; i < n; i += 8) EXPECT_EQ(frame_[i], level8(exact(i + 0.5))) << "n " << n << " pixel " << i;
        EXPECT_EQ(frame_[n - 1], level8(exact(n - 0.5))) << "n " << n;
    }
}

TEST_F(SpanTest, Texel255TransparentOnlyInTransparentTexture) {
    texels_[200] = 255;
    for (int transparent : {1, 0}) {
        for (const named_drawer& d : textured_drawers) {
            clear();
            bag_.texture.transparent = transparent;
            bag_.shade_z = {0, 0, -0.8};
            span(198, 5);
            d.draw(bag_);
            SCOPED_TRACE(std::string(d.name) + " transparent=" + std::to_string(transparent));
            EXPECT_EQ(frame_[199], level8(199));
            if (transparent) {
                EXPECT_EQ(frame_[200], untouched);
                EXPECT_FALSE(covered(200));
                EXPECT_EQ(zbuffer_[200], 0u);
            } else {
                EXPECT_EQ(frame_[200], level8(255));
            }
        }
    }
}

TEST_F(SpanTest, TextureCordsFarOutsideRepeat) {
    for (double offset : {1e7, -1e7}) {
        // u = x + offset, v = offset: u/z = -0.1 (x + offset), v/z = -0.1 offset.
        set_planes({0, 0, -0.1}, {-0.1, 0, -0.1 * offset}, {0, 0, -0.1 * offset});
        for (const named_drawer& d : textured_drawers) {
            clear();
            bag_.shade_z = {0, 0, -0.8};
            span(0, 20);
            d.draw(bag_);
            const long long row = static_cast<long long>(std::floor(offset)) & 3;
            for (int i = 0; i < 20; ++i) {
                const long long column = (static_cast<long long>(std::floor(offset)) + i) & 255;
                ASSERT_EQ(frame_[i], level8(static_cast<int>(column + row))) << d.name << " offset " << offset << " i " << i;
            }
        }
    }
}

TEST_F(SpanTest, CoveredPixelsAreLeftAndNewOnesCovered) {
    cover(5);
    cover(40);
    for (span_drawer d : {draw_y_line_bitmap_tiled, draw_y_line_bitmap_tiled_linear, draw_y_line_solid_shaded}) {
        clear();
        cover(5);
        cover(40);
        span(0, 64);
        bag_.span_free = 0;
        d(bag_);
        EXPECT_EQ(frame_[5], untouched);
        EXPECT_EQ(frame_[40], untouched);
        EXPECT_NE(frame_[6], untouched);
        for (int i = 0; i < 64; ++i) EXPECT_TRUE(covered(i)) << i;
        EXPECT_FALSE(covered(64));
        EXPECT_EQ(bag_.drew, 0);
    }
}

TEST_F(SpanTest, SemiZWritesDepthWithoutTest) {
    zbuffer_.assign(zbuffer_.size(), 0xFFFFFFFFu);
    span(0, 10);
    draw_y_line_bitmap_tiled_semi_zbuff(bag_);
    // Depth 10, distance from eye 4: 4 / 10 of the full range.
    const uint32_t expected = static_cast<uint32_t>(0.1 * 4294967295.0 * 4);
    for (int i = 0; i < 10; ++i) EXPECT_NEAR(zbuffer_[i], expected, 1.0) << i;
    EXPECT_EQ(frame_[0], level8(0));
}

TEST_F(SpanTest, FullZDrawsOnlyNearer) {
    const uint32_t here = static_cast<uint32_t>(span_z_value(-0.1, 4));
    for (span_drawer d : {draw_y_line_bitmap_tiled_full_zbuff, draw_y_line_solid_shaded_full_zbuff}) {
        clear();
        zbuffer_[1] = here + 1000;  // nearer
        zbuffer_[2] = here;         // equal
        span(0, 4);
        d(bag_);
        EXPECT_NE(frame_[0], untouched);
        EXPECT_EQ(frame_[1], untouched);
        EXPECT_EQ(frame_[2], untouched);
        EXPECT_EQ(zbuffer_[0], here);
        EXPECT_EQ(zbuffer_[1], here + 1000);
        EXPECT_EQ(mask_[0], 0u) << "no coverage with the full z-buffer";
    }
}

TEST_F(SpanTest, ZValueStaysInside32Bits) {
    EXPECT_EQ(span_z_value(-1e9, 4), 4294967295);
    EXPECT_EQ(span_z_value(0, 4), 0);
    EXPECT_EQ(span_z_value(1, 4), 0);
    EXPECT_EQ(span_z_value(-0.25, 1), 1073741823);
}

TEST_F(SpanTest, WireFrameMarks) {
    struct mark_case {
        span_drawer draw;
        int free;
        uint16_t first, last;
    };
    const mark_case cases[] = {
        {draw_y_line_bitmap_tiled, 1, 0xF800, 0x001F},
        {draw_y_line_bitmap_tiled_linear, 1, 0xF800, 0x001F},
        {draw_y_line_bitmap_tiled_semi_zbuff, 1, 0x001F, 0xF800},
        {draw_y_line_bitmap_tiled_full_zbuff, 1, 0x001F, 0xF800},
        {draw_y_line_solid_shaded, 1, 0xF81F, 0xF800},
        {draw_y_line_solid_shaded, 0, 0xF800, 0x001F},
        {draw_y_line_solid_shaded_semi_zbuff, 1, 0x001F, 0xF800},
        {draw_y_line_solid_shaded_full_zbuff, 1, 0x001F, 0xF800},
    };
    bag_.texture.shaded_average = averages_.data();
    for (const mark_case& c : cases) {
        clear();
        bag_.wire_frame = 1;
        span(10, 12);
        bag_.span_free = c.free;
        c.draw(bag_);
        EXPECT_EQ(frame_[10], c.first);
        EXPECT_EQ(frame_[21], c.last);
        EXPECT_NE(frame_[11], untouched);
    }
}

TEST_F(SpanTest, DebugMarkerWritesOnlyTheEnds) {
    span(10, 12);
    draw_y_line_debug_marker(bag_);
    EXPECT_EQ(frame_[10], 0xF800);
    EXPECT_EQ(frame_[21], 0x001F);
    EXPECT_EQ(frame_[11], untouched);
    EXPECT_EQ(bag_.drew, 1);
}

TEST_F(SpanTest, SolidFreeSpanIsFilledAndLeftToDispatcher) {
    bag_.texture.shaded_average = averages_.data();
    span(4, 40);
    draw_y_line_solid_shaded(bag_);
    for (int i = 4; i < 44; ++i) EXPECT_EQ(frame_[i], 0xA008) << i;
    EXPECT_EQ(frame_[44], untouched);
    EXPECT_EQ(bag_.drew, 1);
    EXPECT_FALSE(covered(4)) << "the dispatcher sets the bits of a drawn free span";
}

// Distance shading: level L + k D, darkest table from 31 up; the solid drawers truncate likewise.
TEST_F(SpanTest, ShadeLevelFromDistance) {
    struct level_case {
        double factor;
        int level;
    };
    bag_.texture.shaded_average = averages_.data();
    for (const level_case& c : {level_case{0.0, 8}, level_case{0.15, 9}, level_case{2.3, 31}, level_case{50, 31}}) {
        clear();
        bag_.light_factor = c.factor;
        span(0, 4);
        draw_y_line_bitmap_tiled_linear(bag_);
        EXPECT_EQ(frame_[0] >> 8, c.level) << c.factor;
        span(10, 4);
        draw_y_line_solid_shaded(bag_);
        EXPECT_EQ(frame_[10], 0xA000 + c.level) << c.factor;
    }
}

TEST_F(SpanTest, VertexShadeIsClamped) {
    for (const auto& [shade_c, level] : {std::pair{-5.0, 31}, std::pair{0.5, 0}, std::pair{-0.5, 5}}) {
        // shade/z constant at shade_c: shade = shade_c / -0.1.
        clear();
        bag_.shade_z = {0, 0, shade_c};
        span(0, 16);
        draw_y_line_bitmap_tiled_interpolated_shading(bag_);
        for (int i = 0; i < 16; ++i) ASSERT_EQ(frame_[i] >> 8, level) << shade_c;
    }
}

TEST_F(SpanTest, SolidWithoutTextureShadesThePolygonColour) {
    bag_.solid_colour = 0xC945;
    bag_.atmosphere = {160, 160, 170};
    span(0, 3);
    draw_y_line_solid_shaded(bag_);
    EXPECT_EQ(frame_[0], 0xC945) << "level 8 is the colour itself";
    bag_.light_factor = 10;
    span(5, 3);
    draw_y_line_solid_shaded(bag_);
    EXPECT_EQ(frame_[5], shade_color(31, 0xC945, bag_.atmosphere));
}

// The level whose height still exceeds the span's pixels per bitmap is taken, smallest first.
TEST_F(SpanTest, TextureLevelPerSpan) {
    std::vector<uint8_t> pixels(64 * 64, 1);
    const rgb8 palette[2] = {{0, 0, 0}, {200, 100, 50}};
    bitmap_texture* list = nullptr;
    bitmap_texture* full = bitmap_texture_create_from_pixels(&list, "full", 64, 64, pixels.data(), palette, 2, -1);
    bitmap_texture* half = bitmap_texture_create_from_pixels(&list, "half", 32, 32, pixels.data(), palette, 2, -1);
    bitmap_texture* quarter = bitmap_texture_create_from_pixels(&list, "quarter", 16, 16, pixels.data(), palette, 2, -1);
    ASSERT_TRUE(full && half && quarter);
    bitmap_level second{&quarter->image, nullptr};
    bitmap_level first{&half->image, &second};
    full->levels = &first;
    full->aspect = 1;
    bag_.bitmap = full;
    bag_.level_factor = 1;
    struct level_case {
        int n;
        int width;
    };
    for (const level_case& c : {level_case{8, 16}, level_case{25, 32}, level_case{40, 64}, level_case{1, 64}}) {
        // u runs 0..1 across the span: u/z = -0.1 (x - 0.5) / (n - 1).
        const double per_pixel = c.n > 1 ? 1.0 / (c.n - 1) : 0;
        bag_.u_z_unscaled = {-0.1 * per_pixel, 0, 0.05 * per_pixel};
        bag_.v_z_unscaled = {0, 0, 0};
        span(0, c.n);
        draw_y_line_texture_level(bag_);
        EXPECT_EQ(bag_.texture.width, c.width) << c.n;
        EXPECT_DOUBLE_EQ(bag_.u_z.dx, bag_.u_z_unscaled.dx * c.width) << c.n;
    }
    full->levels = nullptr;
    for (bitmap_texture* b : {full, half, quarter}) bitmap_texture_free(b);
}
