// Sky backgrounds: the panorama offset by heading, the columns and rows drawn, brightness by row,
// unique names; window copies.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "bitmap_fixture.h"
#include "foundation/engine_globals.h"
#include "render/images/bitmap_texture.h"
#include "render/software/background.h"
#include "render/software/draw_buffer.h"
#include "render/software/window_copy.h"
#include "world/camera.h"
#include "world/colour.h"
#include "world/engine_state.h"

namespace {

constexpr uint16_t clear_colour = 0x1234;

class SkyTest : public BitmapTest {
protected:
    void TearDown() override {
        background_delete_all(&engine_state.backgrounds);
        for (camera* c : cameras_) camera_free(c);
        free_draw_buffer(&buffer_);
        BitmapTest::TearDown();
    }
    camera* look(double x, double y, int width = 40, int height = 30) {
        camera* c = camera_init("sky", width, height, 60, 0, 0, vec3{0, 0, 0}, vec3{x, y, 0}, 1);
        cameras_.push_back(c);
        return c;
    }
    // A panorama whose pixels are their column numbers, each column its own colour.
    bitmap_texture* columns(int width, int height) {
        std::vector<uint8_t> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) pixels.push_back(static_cast<uint8_t>(x));
        std::vector<rgb8> palette;
        for (int x = 0; x < width; ++x) palette.push_back(exact(8 * x, 255 - 4 * x, 100));
        return bitmap_texture_create_from_pixels(&engine_state.bitmaps, "sky", width, height, pixels.data(),
                                                 palette.data(), width, -1);
    }
    uint16_t column_colour(int x) const { return rgb_to_pixel(8 * x & 0xF8, (255 - 4 * x) & 0xFC, 100 & 0xF8); }
    draw_buffer* buffer(int width, int length) {
        free_draw_buffer(&buffer_);
        init_draw_buffer(&buffer_, 2);
        set_buffer_dimentions(&buffer_, width, length);
        return &buffer_;
    }
    uint16_t cell(int x, int y) const { return static_cast<const uint16_t*>(buffer_.cells)[y * buffer_.width + x]; }
    std::vector<camera*> cameras_;
    draw_buffer buffer_{};
};

}  // namespace

TEST_F(SkyTest, OffsetFollowsTheHeading) {
    EXPECT_EQ(background_get_x_offset(look(1, 0), 8), 0);
    EXPECT_EQ(background_get_x_offset(look(0, -1), 8), 4);
    EXPECT_EQ(background_get_x_offset(look(-1, 0), 8), 8);
    EXPECT_EQ(background_get_x_offset(look(0, 1), 8), 12);
}

TEST_F(SkyTest, EveryOffsetDrawsThePanoramaColumns) {
    const int w = 8;
    for (int picture : {5, 12}) {
        for (int l = 0; l < 2 * w; ++l) {
            // A heading in the middle of offset l's column.
            const double a = l < w ? std::numbers::pi - (l + 0.5) * std::numbers::pi / w : (l - w + 0.5) * std::numbers::pi / w;
            camera* c = look(-std::cos(a), l < w ? -std::sin(a) : std::sin(a), picture, 30);
            ASSERT_EQ(background_get_x_offset(c, w), l);
            if (!engine_state.backgrounds) background_create(&engine_state.backgrounds, "sky", columns(w, 4));
            background* sky = engine_state.backgrounds;
            sky->bottom = 0;
            ASSERT_EQ(engine_draw_world_background(sky, buffer(picture, 30), clear_colour, c), 0);
            const int row = c->middle_y;
            for (int d = 0; d < std::min(w, picture); ++d) {
                const int panorama = (l + d) % (2 * w);
                const int column = panorama < w ? panorama : 2 * w - 1 - panorama;
                EXPECT_EQ(cell(d, row), column_colour(column)) << "picture " << picture << " offset " << l << " column " << d;
            }
            for (int d = w; d < picture; ++d) EXPECT_EQ(cell(d, row), clear_colour);
        }
    }
    EXPECT_NE(error_log().find("background_draw64k: Warning I think the background is too small"), std::string::npos);
}

TEST_F(SkyTest, RowsSitOnTheBottomEdgeAndDarkenUpwards) {
    bitmap_texture* b = columns(4, 12);
    background* sky = background_create(&engine_state.backgrounds, "sky", b);
    sky->intensity_step = -2;
    camera* c = look(1, 0, 20, 30);
    ASSERT_EQ(engine_draw_world_background(sky, buffer(20, 30), clear_colour, c), 0);
    const int bottom = c->middle_y;
    EXPECT_EQ(cell(0, bottom + 1), clear_colour);
    EXPECT_EQ(cell(0, bottom - 12), clear_colour);
    EXPECT_EQ(cell(1, bottom), column_colour(1)) << "the bottom row at 100 %";
    // Ten rows up: 80 %, shade level 8 + 20 x 23 / 100 + 0.5, truncated: 13.
    EXPECT_EQ(cell(1, bottom - 10), b->image.shade_tables[13][1]);
    EXPECT_NE(cell(1, bottom - 10), column_colour(1));
}

TEST_F(SkyTest, SkyBelowTheHorizonIsNotDrawn) {
    background* sky = background_create(&engine_state.backgrounds, "sky", columns(4, 3));
    camera* c = look(1, 0, 20, 30);
    sky->bottom = 2e6;  // the bottom edge projects above the picture
    ASSERT_EQ(engine_draw_world_background(sky, buffer(20, 30), clear_colour, c), 0);
    for (int y = 0; y < 30; ++y) EXPECT_EQ(cell(0, y), clear_colour) << y;
}

TEST_F(SkyTest, SixteenBitTypeWithAPalettedImageUsesItsPalette) {
    background* sky = background_create(&engine_state.backgrounds, "sky", columns(8, 3));
    sky->type = 10;
    camera* c = look(1, 0, 8, 30);
    ASSERT_EQ(engine_draw_world_background(sky, buffer(8, 30), clear_colour, c), 0);
    for (int d = 0; d < 8; ++d) EXPECT_EQ(cell(d, c->middle_y), column_colour(d));
}

TEST_F(SkyTest, NamesAreMadeUnique) {
    bitmap_texture* b = columns(2, 2);
    const char* expected[] = {"sky", "sky_2", "sky_3"};
    for (const char* name : expected) {
        background* g = background_create(&engine_state.backgrounds, "sky", b);
        ASSERT_NE(g, nullptr);
        EXPECT_STREQ(g->name, name);
        EXPECT_EQ(g->created, 1);
        EXPECT_EQ(g->frames->bitmap, b);
    }
    EXPECT_STREQ(background_create(&engine_state.backgrounds, "sky_3", b)->name, "sky_4");
}

TEST(WindowCopy, MirrorReversesEachRow) {
    const uint16_t source[6] = {1, 2, 3, 4, 5, 6};
    uint16_t out[6] = {};
    ASSERT_EQ(copy_window_mirror(2, out, source, 3, 3, 0, 0, 0, 0, 3, 2), 0);
    EXPECT_EQ(std::vector<uint16_t>(out, out + 6), (std::vector<uint16_t>{3, 2, 1, 6, 5, 4}));
    const uint8_t bytes8[3] = {7, 8, 9};
    uint8_t out8[5] = {};
    ASSERT_EQ(copy_window_mirror(1, out8, bytes8, 3, 5, 2, 0, 0, 0, 3, 1), 0);
    EXPECT_EQ(std::vector<uint8_t>(out8, out8 + 5), (std::vector<uint8_t>{0, 0, 9, 8, 7}));
    uint32_t wide[2] = {};
    EXPECT_EQ(copy_window_mirror(4, wide, wide, 2, 2, 0, 0, 0, 0, 2, 1), -1);
    EXPECT_EQ(copy_window(2, out, source, 3, 3, 1, 0, 0, 0, 3, 1), -1) << "past the destination row";
    ASSERT_EQ(copy_window(2, out, source, 3, 3, 1, 1, 0, 0, 2, 1), 0);
    EXPECT_EQ(out[4], 1);
    EXPECT_EQ(out[5], 2);
}
