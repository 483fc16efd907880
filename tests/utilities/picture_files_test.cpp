// Picture files refused by every loader that reads them, each with a report a user can act on:
// a JPEG declaring more pixels than the cap, BMP forms the engine does not read, and the palette
// count of 8-bit files read alike by the picture and the terrain readers.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "../common/bmp_writer.h"
#include "../common/files.h"
#include "drovik.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "platform/msgbox.h"
#include "platform/surface.h"
#include "startup.h"

namespace fs = std::filesystem;

namespace {

class PictureFiles : public ::testing::Test {
protected:
    void SetUp() override {
        plat_message_box_set_headless(true);
        // Logs left open by an earlier case may name a folder that is gone.
        close_log_files();
        folder_ = fs::temp_directory_path() / ("drovik_pictures_" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
        home_ = fs::current_path();
        fs::current_path(folder_);
    }
    void TearDown() override {
        if (engine_is_initialized()) engine_shutdown();
        close_log_files();
        fs::current_path(home_);
        std::error_code error;
        fs::remove_all(folder_, error);
    }
    std::string in_folder(const std::string& name) const { return (folder_ / name).string(); }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(in_folder(name), std::ios::binary) << bytes;
    }
    // What error.log gained since the last call.
    std::string new_errors() {
        const std::string all = read_file(log_directory() + "/error.log");
        const std::string added = all.size() >= seen_ ? all.substr(seen_) : all;
        seen_ = all.size();
        return added;
    }
    static DROVIK_HANDLE terrain(const std::string& file, int* count) {
        return Drovik_engine_create_terrain_from_bitmap(file.c_str(), 1.0, 18, nullptr, 1, 1, nullptr, 0, nullptr,
                                                         count);
    }
    fs::path folder_;
    fs::path home_;
    size_t seen_ = 0;
};

// A 4 x 4 grey slope of 8 bits with a palette of four entries.
bmp_image slope() {
    bmp_image image{4, 4, 8, 40, {0x000000, 0x404040, 0x808080, 0xC0C0C0}, {}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) image.pixels.push_back(static_cast<uint32_t>(x));
    return image;
}

void put_le32(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// A JPEG that declares 16384 x 16384 pixels: a small picture's own file with its frame header's
// sides changed, cut short after the scan header.
std::string huge_jpeg(const std::string& small) {
    std::string bytes = small;
    const size_t frame = bytes.find("\xFF\xC0");
    const size_t scan = bytes.find("\xFF\xDA");
    if (frame == std::string::npos || scan == std::string::npos) return "";
    for (size_t side : {frame + 5, frame + 7}) {
        bytes[side] = '\x40';
        bytes[side + 1] = '\x00';
    }
    return bytes.substr(0, scan + 40);
}

long peak_kilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST_F(PictureFiles, JpegDeclaringMoreThanTheCapIsRefusedByEveryLoaderBeforeDecoding) {
    write("small.bmp", bmp_bytes(slope()));
    ASSERT_EQ(Drovik_utilities_bmp2jpg(in_folder("small.bmp").c_str()), 0);
    const std::string huge = huge_jpeg(read_file(in_folder("small.jpg")));
    ASSERT_FALSE(huge.empty());
    write("huge.jpg", huge);
    const std::string report = "jpeg_to_winbmp: the JPEG declares 16384 x 16384 pixels, more than the 16777216 allowed\n";
    const long before = peak_kilobytes();
    EXPECT_EQ(Drovik_utilities_load_bitmap_from_file(in_folder("huge.jpg").c_str()), nullptr);
    EXPECT_NE(new_errors().find(report), std::string::npos) << "picture";
    ASSERT_EQ(Drovik_engine_load_world(nullptr, "", "", 4), 0);
    EXPECT_EQ(Drovik_bitmap_load(in_folder("huge.jpg").c_str(), -1), nullptr);
    EXPECT_NE(new_errors().find(report), std::string::npos) << "bitmap";
    int count = 5;
    EXPECT_EQ(terrain(in_folder("huge.jpg"), &count), nullptr);
    EXPECT_NE(new_errors().find(report), std::string::npos) << "terrain";
    EXPECT_EQ(count, 0);
    // Decoding would take some 800 MB; refusing takes next to nothing.
    EXPECT_LT(peak_kilobytes() - before, 100 * 1024);
    EXPECT_FALSE(fs::exists(in_folder("huge.bmp")));
}

TEST_F(PictureFiles, PictureLoadSaysWhyItGivesNoPicture) {
    bmp_image four_bits = slope();
    std::string rle4 = bmp_bytes(four_bits);
    rle4[28] = 4;
    put_le32(rle4, 30, 2);
    const std::string whole = bmp_bytes(slope());
    const struct {
        const char* file;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"rle4.bmp", rle4, " is not an 8 or 24 bits per pixel bitmap without compression (it has 4 bits per pixel "
                           "with RLE4 compression)\n"},
        {"short.bmp", whole.substr(0, whole.size() - 3), " is truncated\n"},
        {"text.bmp", "not a bitmap at all, only some words", " is not a Windows bitmap\n"},
        {"text.jpg", "not a picture at all, only some words", " is not a JPEG picture that can be read\n"},
    };
    for (const auto& c : cases) {
        write(c.file, c.bytes);
        EXPECT_EQ(Drovik_utilities_load_bitmap_from_file(in_folder(c.file).c_str()), nullptr) << c.file;
        const std::string expected = "Drovik_utilities_load_bitmap_from_file: " + in_folder(c.file) + c.reason;
        EXPECT_NE(new_errors().find(expected), std::string::npos) << c.file;
    }
    EXPECT_EQ(Drovik_utilities_load_bitmap_from_file(in_folder("absent.bmp").c_str()), nullptr);
    EXPECT_NE(new_errors().find("Drovik_utilities_load_bitmap_from_file: cant read " + in_folder("absent.bmp") + "\n"),
              std::string::npos);
    EXPECT_EQ(Drovik_utilities_load_bitmap_from_file(nullptr), nullptr);
    EXPECT_NE(new_errors().find("Drovik_utilities_load_bitmap_from_file: no file name\n"), std::string::npos);
}

TEST_F(PictureFiles, PaletteCountsAreReadAlikeByThePictureAndTheTerrainReaders) {
    // The file holds four palette entries; its count of used colours says otherwise.
    const struct {
        uint32_t count;
        bool read;
    } cases[] = {{4, true}, {0, true}, {300, true}, {256, false}, {5, false}};
    for (const auto& c : cases) {
        std::string bytes = bmp_bytes(slope());
        put_le32(bytes, 46, c.count);
        const std::string name = "count" + std::to_string(c.count) + ".bmp";
        write(name, bytes);
        plat_surface* picture = Drovik_utilities_load_bitmap_from_file(in_folder(name).c_str());
        EXPECT_EQ(picture != nullptr, c.read) << c.count;
        if (picture) plat_surface_destroy(picture);
        int count = -1;
        EXPECT_EQ(terrain(in_folder(name), &count) != nullptr, c.read) << c.count;
        EXPECT_EQ(count, c.read ? 18 : 0) << c.count;
    }
}

}  // namespace
