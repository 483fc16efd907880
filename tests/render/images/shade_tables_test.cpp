// Average colours of paletted images, in-memory bitmaps and the rebuild of shade tables for a new fog.
#include <gtest/gtest.h>

#include <vector>

#include "../../common/render_fixture.h"
#include "render/images/jbm.h"
#include "render/images/shade_tables.h"

namespace {

class ShadeTables : public RenderTest {
protected:
    bitmap_texture* make(const std::vector<uint8_t>& pixels, int width, int transparent = -1) {
        return bitmap_texture_create_from_pixels(&engine_state.bitmaps, "bricks", width,
                                                 static_cast<int>(pixels.size()) / width, pixels.data(), palette_,
                                                 3, transparent);
    }

    const rgb8 palette_[3] = {{200, 40, 40}, {10, 20, 30}, {0, 0, 255}};
};

TEST_F(ShadeTables, AverageIsIntegerMeanOfPixelColours) {
    bitmap_texture* b = make({0, 0, 1, 2}, 2);
    ASSERT_TRUE(b);
    // red (200 + 200 + 10 + 0) / 4, green (40 + 40 + 20 + 0) / 4, blue (40 + 40 + 30 + 255) / 4
    EXPECT_EQ(b->image.average_colour.r, 102);
    EXPECT_EQ(b->image.average_colour.g, 25);
    EXPECT_EQ(b->image.average_colour.b, 91);
    EXPECT_STREQ(b->image.name, "BRICKS");
    EXPECT_EQ(b->image.width_exponent, 1);
    EXPECT_EQ(b->image.normal_level, 8);
    EXPECT_DOUBLE_EQ(b->aspect, 1.0);
}

TEST_F(ShadeTables, TransparentPixelsAreLeftOutAndMarked255) {
    bitmap_texture* b = make({0, 2, 2, 2}, 4, 2);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->image.average_colour.r, 200);
    EXPECT_EQ(b->image.average_colour.b, 40);
    EXPECT_EQ(b->image.transparent_colour.b, 255);
    const uint8_t* pixels = jbm_pixels(&b->image);
    EXPECT_EQ(pixels[0], 0);
    EXPECT_EQ(pixels[1], 255);
    EXPECT_EQ(pixels[3], 255);
    EXPECT_EQ(b->image.height_exponent, 0);
}

TEST_F(ShadeTables, AllTransparentAveragesToRed) {
    bitmap_texture* b = make({1, 1}, 2, 1);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->image.average_colour.r, 255);
    EXPECT_EQ(b->image.average_colour.g, 0);
    EXPECT_EQ(b->image.average_colour.b, 0);
}

TEST_F(ShadeTables, LargeImagesAverageWithoutOverflow) {
    // 4096 x 4096 white pixels: 16.7 million x 255 does not fit 32 bits.
    jbm_info info;
    jbm_info_init(&info);
    ASSERT_EQ(jbm_create_image(&info, 4096, 4096), 0);
    info.palette_count = 1;
    const rgb8 white[1] = {{255, 255, 255}};
    rgb8 out{};
    ASSERT_EQ(get_average_rgb(white, &info, &out), 0);
    EXPECT_EQ(out.r, 255);
    EXPECT_EQ(out.g, 255);
    EXPECT_EQ(out.b, 255);
    jbm_info_free(&info);
}

TEST_F(ShadeTables, NoPixelsIsReported) {
    jbm_info info;
    jbm_info_init(&info);
    rgb8 out{1, 2, 3};
    const int errors = engine_get_error_count();
    EXPECT_EQ(get_average_rgb(palette_, &info, &out), -1);
    EXPECT_EQ(engine_get_error_count(), errors + 1);
    EXPECT_STREQ(engine_get_last_error(), "get_average_rgb: Error, No Pixels in bitmap !!");
    EXPECT_EQ(out.r, 1);
}

TEST_F(ShadeTables, BadSizesAndPalettesMakeNoBitmap) {
    const uint8_t pixels[4] = {};
    EXPECT_FALSE(bitmap_texture_create_from_pixels(&engine_state.bitmaps, "x", 0, 4, pixels, palette_, 3, -1));
    EXPECT_FALSE(bitmap_texture_create_from_pixels(&engine_state.bitmaps, "x", 2, 2, pixels, palette_, 0, -1));
    EXPECT_FALSE(bitmap_texture_create_from_pixels(&engine_state.bitmaps, "x", 2, 2, pixels, palette_, 257, -1));
    EXPECT_EQ(engine_state.bitmaps, nullptr);
}

TEST_F(ShadeTables, TablesFollowTheAtmosphericColour) {
    bitmap_texture* b = make({0, 1}, 2);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->image.shade_tables[8][0], 0xC945);
    EXPECT_EQ(b->image.shade_tables[31][0], 0xA4F4) << "toward (160, 160, 170)";
    EXPECT_EQ(change_palettes({0, 0, 0}), 0);
    // Level 31 of (25, 10, 5) toward black: 25 / 24, 10 / 24, 5 / 24 rounded = (1, 0, 0).
    EXPECT_EQ(b->image.shade_tables[31][0], 0x0800);
    EXPECT_EQ(b->image.shade_tables[8][0], 0xC945);
    uint16_t expected[NUMBER_OF_PALETTES];
    build_color_shade_table(b->image.average_colour, expected, NUMBER_OF_PALETTES, NORMAL_PALETTE, {0, 0, 0});
    EXPECT_EQ(b->image.average_by_level[31], expected[31]);
    EXPECT_EQ(b->image.average_by_level[0], expected[0]);
}

TEST_F(ShadeTables, ChangePalettesUsesTheCurrentPixelFormat) {
    set_pixel_format_bits(5, 5, 5);
    bitmap_texture* b = make({0}, 1);
    ASSERT_TRUE(b);
    ASSERT_EQ(b->image.shade_tables[8][0], 0x64A5);
    ASSERT_EQ(change_palettes({160, 160, 170}), 0);
    EXPECT_EQ(b->image.shade_tables[8][0], 0x64A5) << "the colour itself, unpacked as 555";
    EXPECT_EQ(b->image.shade_tables[31][0], 0x5274);
}

TEST_F(ShadeTables, ChangePalettesRefusesABrokenRecord) {
    bitmap_texture* b = make({0}, 1);
    ASSERT_TRUE(b);
    uint16_t* tables = b->image.shade_tables[8];
    b->image.shade_tables[8] = nullptr;
    EXPECT_EQ(change_palettes({0, 0, 0}), -1);
    EXPECT_STREQ(engine_get_last_error(), "change_palettes: very weird");
    b->image.shade_tables[8] = tables;
}

}  // namespace
