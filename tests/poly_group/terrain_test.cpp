// Terrain from a height bitmap through its export: the "Terrain" group from an 8-bit grey map,
// refused depths, and the user's files beside the source left as they were.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "foundation/memory.h"
#include "poly_group_fixture.h"
#include "render/images/bitmap_texture.h"
#include "render/images/jpeg_convert.h"
#include "render/images/winbmp.h"

namespace {

namespace fs = std::filesystem;

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// A BMP file: 14-byte file header, 40-byte info header, a grey palette for 8 bits, rows bottom-up
// padded to 4 bytes; pixel (x, y) of the top-down picture is grey level shade(x, y).
std::vector<uint8_t> bmp_file(int width, int height, int bits, uint8_t (*shade)(int, int)) {
    const uint32_t palette_bytes = bits == 8 ? 256 * 4 : 0;
    const uint32_t row = (width * bits / 8 + 3) / 4 * 4;
    const uint32_t offset = 14 + 40 + palette_bytes;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, offset + row * height);
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, width);
    put32(out, height);
    put16(out, 1);
    put16(out, bits);
    for (int k = 0; k < 6; ++k) put32(out, 0);
    for (uint32_t k = 0; k < palette_bytes / 4; ++k) {
        for (int c = 0; c < 3; ++c) out.push_back(static_cast<uint8_t>(k));
        out.push_back(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < width; ++x) {
            const uint8_t grey = shade(x, y);
            if (bits == 8) out.push_back(grey);
            if (bits == 16) put16(out, static_cast<uint32_t>(grey >> 3) * 0x421);
        }
        out.resize(start + row, 0);
    }
    return out;
}

uint8_t slope(int x, int y) { return static_cast<uint8_t>(40 * x + 20 * y); }

void write_bytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

std::set<std::string> files_in(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

class Terrain : public PolyGroupTest {
protected:
    void SetUp() override {
        PolyGroupTest::SetUp();
        maps_ = work_.dir() / "maps";
        fs::create_directories(maps_);
    }

    void TearDown() override {
        bitmap_texture_delete_all(&engine_state.bitmaps);
        PolyGroupTest::TearDown();
    }

    DROVIK_HANDLE build(const fs::path& file, int* count = nullptr) {
        return Drovik_engine_create_terrain_from_bitmap(file.string().c_str(), 1.0, 18, nullptr, 1, 1, nullptr, 0,
                                                         nullptr, count);
    }

    fs::path maps_;
};

TEST_F(Terrain, GreyMapGivesATexturedTerrainGroupAndLeavesNoFile) {
    const fs::path source = maps_ / "hills.bmp";
    write_bytes(source, bmp_file(4, 4, 8, slope));
    int count = 0;
    DROVIK_HANDLE terrain = build(source, &count);
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ(count, 18);
    EXPECT_STREQ(Drovik_group_get_name(terrain), "Terrain");
    const int polygons = Drovik_group_get_number_of_polygons(terrain);
    EXPECT_GE(polygons, 1);
    EXPECT_LE(polygons, 8) << "a 3 x 3 grid gives 8 triangles before joining";
    for (DROVIK_HANDLE p = Drovik_group_get_first_polygon(terrain); p;
         p = Drovik_group_get_next_polygon(terrain, p)) {
        const bitmap_texture* texture = static_cast<bitmap_texture*>(Drovik_polygon_get_bitmap_handle(p));
        ASSERT_NE(texture, nullptr);
        EXPECT_NE(std::string(texture->image.name).find("_8BIT"), std::string::npos) << texture->image.name;
    }
    // Scaled down from the 2000-unit grid.
    double box[6];
    Drovik_group_get_bounding_box(terrain, box);
    EXPECT_LE(box[3] - box[0], 1.0 + 1e-9);
    EXPECT_EQ(files_in(maps_), std::set<std::string>{"hills.bmp"});
}

TEST_F(Terrain, SixteenBitMapIsRefused) {
    const fs::path source = maps_ / "deep.bmp";
    write_bytes(source, bmp_file(4, 4, 16, slope));
    EXPECT_EQ(build(source), nullptr);
    const std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "Drovik_engine_create_terrain_from_bitmap: source bitmap file name is not in a supported format (only "
              "8 and 24 bit per pixel bitmap format are supported !)\n");
    EXPECT_EQ(Drovik_group_get_first_group(), nullptr);
    EXPECT_EQ(Drovik_engine_create_terrain_from_bitmap(nullptr, 1, 18, nullptr, 1, 1, nullptr, 0, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(new_boxes().at(0).text, "Drovik_engine_create_terrain_from_bitmap: source bitmap file name is NULL !\n");
}

TEST_F(Terrain, UsersFilesBesideTheSourceAreLeftAlone) {
    const fs::path source = maps_ / "vale.bmp";
    write_bytes(source, bmp_file(4, 4, 8, slope));
    const std::vector<uint8_t> users = {'m', 'i', 'n', 'e'};
    write_bytes(maps_ / "vale_8bit.bmp", users);
    ASSERT_NE(build(source), nullptr);
    EXPECT_EQ(read_file_bytes(maps_ / "vale_8bit.bmp"), users);
    EXPECT_EQ((files_in(maps_)), (std::set<std::string>{"vale.bmp", "vale_8bit.bmp"}));
}

TEST_F(Terrain, JpegBesideAUsersBitmapIsConvertedPrivately) {
    const std::vector<uint8_t> picture = bmp_file(8, 8, 8, slope);
    uint8_t* image = winbmp_from_memory(picture.data(), picture.size(), nullptr, nullptr);
    ASSERT_NE(image, nullptr);
    std::vector<uint8_t> jpeg;
    ASSERT_EQ(winbmp_to_jpeg(image, &jpeg), 0);
    engine_free(image);
    write_bytes(maps_ / "ridge.jpg", jpeg);
    const std::vector<uint8_t> users = {'u', 's', 'e', 'r'};
    write_bytes(maps_ / "ridge.bmp", users);
    ASSERT_NE(build(maps_ / "ridge.jpg"), nullptr);
    EXPECT_EQ(read_file_bytes(maps_ / "ridge.bmp"), users);
    EXPECT_EQ((files_in(maps_)), (std::set<std::string>{"ridge.bmp", "ridge.jpg"}));
}

}  // namespace
