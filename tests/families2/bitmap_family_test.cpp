// The bitmap family through its exports: refusals by table, the palette read and set at the
// normal level, loading and finding cached bitmaps, resampling, unloading and the save formats.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "../render/images/bitmap_fixture.h"
#include "scene_fixture.h"
#include "startup.h"

namespace {

namespace fs = std::filesystem;

int r_, g_, b_;

const family_row bitmap_rows[] = {
    {"Drovik_bitmap_get_next", "Drovik_bitmap_get_next", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_bitmap_get_next(h)); }},
    {"Drovik_bitmap_resample", "Drovik_bitmap_duplicate", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_bitmap_resample(h, 2, 2)); }},
    {"Drovik_bitmap_unload", "Drovik_bitmap_unload", -1, [](DROVIK_HANDLE h) { return double(Drovik_bitmap_unload(h)); }},
    {"Drovik_bitmap_get_number_of_polygons_using_bitmap", "Drovik_bitmap_get_number_of_polygons_using_bitmap", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_bitmap_get_number_of_polygons_using_bitmap(h)); }},
    {"Drovik_bitmap_get_name", "Drovik_bitmap_get_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_bitmap_get_name(h)); }},
    {"Drovik_bitmap_get_width", "Drovik_bitmap_get_width", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_bitmap_get_width(h)); }},
    {"Drovik_bitmap_get_height", "Drovik_bitmap_get_height", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_bitmap_get_height(h)); }},
    {"Drovik_bitmap_get_memory", "Drovik_bitmap_get_memory", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_bitmap_get_memory(h)); }},
    {"Drovik_bitmap_get_palette", "Drovik_bitmap_get_palette", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_bitmap_get_palette(h)); }},
    {"Drovik_bitmap_get_palette_size", "Drovik_bitmap_get_palette_size", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_bitmap_get_palette_size(h)); }},
    {"Drovik_bitmap_rgb_color_to_index", "Drovik_bitmap_rgb_color_to_index", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_bitmap_rgb_color_to_index(h, 1, 2, 3)); }},
    {"Drovik_bitmap_index_to_rgb", "Drovik_bitmap_rgb_color_to_index", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_bitmap_index_to_rgb(h, 0, &r_, &g_, &b_)); }},
    {"Drovik_bitmap_set_palette_color", "Drovik_bitmap_rgb_color_to_index", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_bitmap_set_palette_color(h, 0, 1, 2, 3)); }},
    {"Drovik_bitmap_get_transparent_index", "Drovik_bitmap_get_transparent_index", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_bitmap_get_transparent_index(h)); }},
    {"Drovik_bitmap_get_transparent_rgb", "Drovik_bitmap_get_transparent_rgb", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_bitmap_get_transparent_rgb(h, &r_, &g_, &b_)); }},
    {"Drovik_bitmap_save", "Drovik_bitmap_save", 0,
     [](DROVIK_HANDLE h) { Drovik_bitmap_save(h, "x.bmp"); return 0.0; }},
};

class BitmapFamily : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        // Entries 0 and 2 alike; entry 3 transparent.
        pic = make_bitmap("pic", {{16, 32, 48}, {200, 100, 50}, {16, 32, 48}, {250, 250, 250}}, 3);
        ASSERT_NE(pic, nullptr);
    }

    bitmap_texture* pic = nullptr;
};

TEST_F(BitmapFamily, EveryExportRefusesAForeignHandleUnderItsCheckName) {
    expect_rows_refuse_a_foreign_handle(bitmap_rows);
}

TEST_F(BitmapFamily, ASetColourReadsBackWithinTheSixteenBitSteps) {
    ASSERT_EQ(Drovik_bitmap_set_palette_color(pic, 1, 43, 81, 125), 0);
    int r = -1, g = -1, b = -1;
    ASSERT_EQ(Drovik_bitmap_index_to_rgb(pic, 1, &r, &g, &b), 0);
    EXPECT_NEAR(r, 43, 7);
    EXPECT_NEAR(g, 81, 3);
    EXPECT_NEAR(b, 125, 7);
    const unsigned char* palette = Drovik_bitmap_get_palette(pic);
    EXPECT_EQ(palette[3], 43);
    EXPECT_EQ(palette[5], 125);
    // Level 0 is the brightest, not the colour itself.
    EXPECT_NE(pic->image.shade_tables[0][1], pic->image.shade_tables[8][1]);
    EXPECT_EQ(pic->image.shade_tables[8][1], rgb_to_pixel(43, 81, 125));

    ASSERT_EQ(Drovik_bitmap_index_to_rgb(pic, 0, &r, &g, &b), 0);
    EXPECT_EQ(r, 16);
    EXPECT_EQ(g, 32);
    EXPECT_EQ(b, 48);
    EXPECT_EQ(Drovik_bitmap_set_palette_color(pic, 4, 1, 2, 3), -1);
    EXPECT_EQ(Drovik_bitmap_set_palette_color(pic, -1, 1, 2, 3), -1);
}

TEST_F(BitmapFamily, AnIndexOutsideThePaletteGivesMinusOneAndZeroedOuts) {
    EXPECT_EQ(Drovik_bitmap_get_palette_size(pic), 4);
    for (int index : {4, -1}) {
        SCOPED_TRACE(index);
        int r = 9, g = 9, b = 9;
        EXPECT_EQ(Drovik_bitmap_index_to_rgb(pic, index, &r, &g, &b), -1);
        EXPECT_EQ(r, 0);
        EXPECT_EQ(g, 0);
        EXPECT_EQ(b, 0);
    }
    int r = 0, g = 0;
    EXPECT_EQ(Drovik_bitmap_index_to_rgb(pic, 0, &r, &g, nullptr), -1);
    EXPECT_EQ(Drovik_bitmap_get_transparent_rgb(pic, &r, nullptr, &g), -1);
}

TEST_F(BitmapFamily, TheNearestEntryWinsTheLowerOfEqualsAndANearerTransparentColourGivesThePaletteSize) {
    const struct {
        int r, g, b, index;
    } cases[] = {
        {16, 32, 48, 0},     // present twice
        {190, 110, 40, 1},   // nearest
        {250, 250, 250, 4},  // the transparent colour itself beats its 16-bit entry
        {248, 248, 248, 3},  // the entry itself
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.r);
        EXPECT_EQ(Drovik_bitmap_rgb_color_to_index(pic, c.r, c.g, c.b), c.index);
    }
    EXPECT_EQ(Drovik_bitmap_get_transparent_index(pic), 3);
    int r = 0, g = 0, b = 0;
    EXPECT_EQ(Drovik_bitmap_get_transparent_rgb(pic, &r, &g, &b), 0);
    EXPECT_EQ(r, 248);
    EXPECT_EQ(g, 248);

    bitmap_texture* opaque = make_bitmap("opaque", {{0, 0, 0}, {255, 255, 255}});
    EXPECT_EQ(Drovik_bitmap_get_transparent_index(opaque), -1);
    EXPECT_EQ(Drovik_bitmap_get_transparent_rgb(opaque, &r, &g, &b), -1);
    EXPECT_EQ(Drovik_bitmap_rgb_color_to_index(opaque, 250, 250, 250), 1);
}

TEST_F(BitmapFamily, ImageSizesMemoryAndTheCacheList) {
    EXPECT_EQ(Drovik_bitmap_get_first_bitmap(), pic);
    EXPECT_STREQ(Drovik_bitmap_get_name(pic), "PIC");
    EXPECT_EQ(Drovik_bitmap_get_width(pic), 4);
    EXPECT_EQ(Drovik_bitmap_get_height(pic), 4);
    const unsigned char* pixels = Drovik_bitmap_get_memory(pic);
    EXPECT_EQ(pixels[1], 1);
    EXPECT_EQ(pixels[3], 255);  // the transparent texel

    DROVIK_HANDLE wide = Drovik_bitmap_resample(pic, 8, 2);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(Drovik_bitmap_get_first_bitmap(), wide);
    EXPECT_EQ(Drovik_bitmap_get_next(wide), pic);
    EXPECT_EQ(Drovik_bitmap_get_width(wide), 8);
    EXPECT_STREQ(Drovik_bitmap_get_name(wide), "PIC");

    polygon* p = add_square(0, 0);
    polygon_set_bitmap_fill(p, pic);
    EXPECT_EQ(Drovik_bitmap_get_number_of_polygons_using_bitmap(pic), 1);
    EXPECT_EQ(Drovik_bitmap_unload(pic), 0);
    EXPECT_EQ(Drovik_bitmap_get_next(wide), nullptr);
    EXPECT_EQ(p->texture, nullptr);
    advance_and_render();
}

// Real files: a world opened by the exports and a working folder of their own.
class BitmapFiles : public ::testing::Test {
protected:
    void TearDown() override {
        if (engine_is_initialized()) engine_shutdown();
    }

    // A 16 x 16 picture of two colours.
    static void write_picture(const std::string& path) {
        std::vector<rgb8> pixels(256, exact(200, 40, 40));
        for (int i = 0; i < 16; ++i) pixels[static_cast<size_t>(i * 17)] = exact(40, 40, 200);
        write_file(path, make_bmp(16, 16, 24, 40, pixels));
    }

    temp_work_dir work_{"bitmaps"};
};

TEST_F(BitmapFiles, LoadingBeforeAnyWorldOpensAnEditorWorld) {
    write_picture("red.bmp");
    ASSERT_EQ(Drovik_engine_is_engine_empty(), 1);
    DROVIK_HANDLE red = Drovik_bitmap_load("red.bmp", -1);
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(Drovik_engine_is_engine_empty(), 0);
    EXPECT_EQ(Drovik_engine_is_editor_mode(), 1);
    EXPECT_EQ(Drovik_bitmap_load("RED", -1), red);
    DROVIK_HANDLE keyed = Drovik_bitmap_load("red.bmp", 1);
    ASSERT_NE(keyed, nullptr);
    EXPECT_NE(keyed, red);
    EXPECT_EQ(Drovik_bitmap_get_handle("somewhere/Red.jpg", -1), red);
    EXPECT_EQ(Drovik_bitmap_get_handle("red", 1), keyed);
    EXPECT_EQ(Drovik_bitmap_get_handle("red", 2), nullptr);
    EXPECT_EQ(Drovik_bitmap_get_palette_size(red), 2);

    plat_message_box_clear_records();
    EXPECT_EQ(Drovik_bitmap_load(nullptr, -1), nullptr);
    EXPECT_EQ(Drovik_bitmap_get_handle(nullptr, -1), nullptr);
    const std::vector<plat_box_record> boxes = plat_message_box_records();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Drovik_bitmap_load: got a NULL string\n");
    EXPECT_EQ(boxes[1].text, "Drovik_bitmap_get_handle: got a NULL string\n");
    EXPECT_EQ(Drovik_bitmap_load("missing.bmp", -1), nullptr);
}

TEST_F(BitmapFiles, SavingWritesTheFormatOfTheExtensionAndKeepsTheName) {
    write_picture("red.bmp");
    ASSERT_EQ(Drovik_engine_load_world(nullptr, "", "", 4), 0);
    DROVIK_HANDLE red = Drovik_bitmap_load("red.bmp", -1);
    ASSERT_NE(red, nullptr);
    fs::create_directories("pics");
    write_file("pics/sky.bmp", bytes{'k', 'e', 'p', 't'});  // another picture of the same base name

    Drovik_bitmap_save(red, "pics/sky.jpg");
    const std::vector<uint8_t> jpeg = read_file_bytes("pics/sky.jpg");
    ASSERT_GE(jpeg.size(), 2u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    EXPECT_EQ(read_file("pics/sky.bmp"), "kept");
    EXPECT_STREQ(Drovik_bitmap_get_name(red), "RED");

    Drovik_bitmap_save(red, "pics/sky.jbm");
    EXPECT_EQ(read_file_bytes("pics/sky.jbm").size(), 8u + 256u);
    EXPECT_EQ(read_file_bytes("pics/sky.clr").size(), 2u + 3u * 2u);

    Drovik_bitmap_save(red, "pics/sky.bmp");
    EXPECT_EQ(read_file("pics/sky.bmp").substr(0, 2), "BM");

    // Without a name: "RED.bmp" here, which names the 24-bit red.bmp in any letter case.
    Drovik_bitmap_save(red, nullptr);
    const std::vector<uint8_t> written = read_file_bytes("red.bmp");
    ASSERT_GE(written.size(), 30u);
    EXPECT_EQ(written[0], 'B');
    EXPECT_EQ(written[28], 8);
    for (const fs::directory_entry& entry : fs::directory_iterator("pics")) {
        EXPECT_NE(entry.path().filename().string().substr(0, 1), ".") << "a working folder was left behind";
    }
}

}  // namespace
