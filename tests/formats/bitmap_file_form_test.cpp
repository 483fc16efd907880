// A bitmap's file form: the palette never passes 256 entries and no real colour turns transparent.
#include <gtest/gtest.h>

#include <vector>

#include "formats/bitmap_file_form.h"

namespace {

bitmap_palette numbered_palette(int count) {
    bitmap_palette p{};
    p.count = count;
    for (int i = 0; i < 256; ++i) p.rgb[i][0] = p.rgb[i][1] = p.rgb[i][2] = static_cast<uint8_t>(i);
    return p;
}

TEST(BitmapFileForm, FullPaletteStaysAt256Entries) {
    const uint8_t pink[3] = {255, 0, 255};
    const bitmap_palette file = bitmap_file_palette(numbered_palette(256), 10, pink);
    EXPECT_EQ(file.count, 256);
    EXPECT_EQ(file.rgb[9][0], 9);
    EXPECT_EQ(file.rgb[10][1], 0);
    EXPECT_EQ(file.rgb[10][2], 255);
    EXPECT_EQ(file.rgb[11][0], 10);
    EXPECT_EQ(file.rgb[255][0], 254);
}

TEST(BitmapFileForm, ShortPaletteGrowsByOne) {
    const uint8_t grey[3] = {7, 7, 7};
    EXPECT_EQ(bitmap_file_palette(numbered_palette(16), 3, grey).count, 17);
    const bitmap_palette past_end = bitmap_file_palette(numbered_palette(4), 8, grey);
    EXPECT_EQ(past_end.count, 9);
    EXPECT_EQ(past_end.rgb[8][0], 7);
    EXPECT_EQ(past_end.rgb[6][0], 0);
    EXPECT_EQ(bitmap_file_palette(numbered_palette(16), -1, grey).count, 16);
}

// Every engine pixel, for every transparent index: only 255 lands on the transparent index, and
// the way back restores the image exactly.
TEST(BitmapFileForm, OnlyTransparentTexelsTakeTheTransparentIndex) {
    for (int t = 0; t < 256; ++t) {
        std::vector<uint8_t> pixels(256);
        for (int i = 0; i < 256; ++i) pixels[i] = static_cast<uint8_t>(i);
        const std::vector<uint8_t> engine = pixels;
        bitmap_pixels_to_file_form(pixels.data(), pixels.size(), t);
        for (int i = 0; i < 256; ++i) {
            ASSERT_EQ(pixels[i] == t, i == engine_transparent_pixel) << "index " << t << " pixel " << i;
        }
        bitmap_pixels_from_file_form(pixels.data(), pixels.size(), t);
        ASSERT_EQ(pixels, engine) << "index " << t;
    }
}

}  // namespace
