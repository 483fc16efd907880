// The demo generator's pictures load as the yard loads them, pixel for pixel.
#include "bitmap_writer.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

TEST(DemoBitmap, LoadsWithItsPixelsAndPaddedRows)
{
    // 5 pixels of 3 bytes make 15-byte rows padded to 16: the padding must not shift rows.
    DemoCanvas canvas(5, 3, DemoRgb{255, 255, 255});
    canvas.Put(0, 0, DemoRgb{255, 0, 0});
    canvas.FillRect(1, 1, 3, 1, DemoRgb{0, 128, 0});
    canvas.Put(4, 2, DemoRgb{0, 0, 255});
    canvas.Put(9, 9, DemoRgb{0, 0, 0});  // outside: ignored
    std::vector<unsigned char> bytes = canvas.BmpBytes();
    ASSERT_EQ(bytes.size(), 54u + 16u * 3u);

    QImage image;
    ASSERT_TRUE(image.loadFromData(bytes.data(), int(bytes.size()), "BMP"));
    ASSERT_EQ(image.size(), QSize(5, 3));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(1, 1), QColor(0, 128, 0));
    EXPECT_EQ(image.pixelColor(3, 1), QColor(0, 128, 0));
    EXPECT_EQ(image.pixelColor(4, 1), QColor(255, 255, 255));
    EXPECT_EQ(image.pixelColor(4, 2), QColor(0, 0, 255));
}

}  // namespace
