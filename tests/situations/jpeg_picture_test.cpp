// JPEG pictures: decoded pixels, and missing or damaged files refused with a reason.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "jpeg_picture.h"
#include "jpeg_writer.h"

namespace {

namespace fs = std::filesystem;

fs::path Folder()
{
    const fs::path folder = fs::path(DROVIK_TEST_BINARY_DIR) / "jpeg_pictures";
    fs::create_directories(folder);
    return folder;
}

TEST(JpegPicture, DecodesTheQuadrants)
{
    const fs::path path = Folder() / "quadrants.jpg";
    ASSERT_TRUE(jpeg_test::WriteJpeg(path.string(), 64, 48, jpeg_test::Quadrants(64, 48)));
    std::string error;
    const QImage image = LoadJpegPicture(path.string(), &error);
    ASSERT_FALSE(image.isNull()) << error;
    EXPECT_EQ(image.size(), QSize(64, 48));
    // Away from the edges, where JPEG blurs, each quadrant keeps its colour closely.
    const struct {
        int x, y;
        QColor colour;
    } samples[] = {{8, 8, Qt::red}, {56, 8, Qt::green}, {8, 40, Qt::blue}, {56, 40, Qt::white}};
    for (const auto& s : samples) {
        const QColor got = image.pixelColor(s.x, s.y);
        EXPECT_LE(std::abs(got.red() - s.colour.red()), 8) << s.x << "," << s.y;
        EXPECT_LE(std::abs(got.green() - s.colour.green()), 8) << s.x << "," << s.y;
        EXPECT_LE(std::abs(got.blue() - s.colour.blue()), 8) << s.x << "," << s.y;
    }
}

TEST(JpegPicture, FoundWithBackslashesAndAnotherLetterCase)
{
    const fs::path path = Folder() / "Case.JPG";
    ASSERT_TRUE(jpeg_test::WriteJpeg(path.string(), 8, 8, jpeg_test::Quadrants(8, 8)));
    EXPECT_FALSE(LoadJpegPicture(Folder().string() + "\\case.jpg").isNull());
}

TEST(JpegPicture, MissingAndDamagedFilesAreRefused)
{
    std::string error;
    EXPECT_TRUE(LoadJpegPicture((Folder() / "none.jpg").string(), &error).isNull());
    EXPECT_NE(error.find("was not found"), std::string::npos);

    const fs::path text = Folder() / "text.jpg";
    std::ofstream(text) << "not a picture at all";
    error.clear();
    EXPECT_TRUE(LoadJpegPicture(text.string(), &error).isNull());
    EXPECT_NE(error.find("cannot be read"), std::string::npos) << error;

    const fs::path empty = Folder() / "empty.jpg";
    std::ofstream{empty};
    error.clear();
    EXPECT_TRUE(LoadJpegPicture(empty.string(), &error).isNull());
    EXPECT_NE(error.find("cannot be read"), std::string::npos) << error;
}

}  // namespace
