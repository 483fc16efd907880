// The utilities and profiler exports: files, bitmaps and JPEG, pictures on surfaces and windows,
// the test boxes, and timed chunks.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "../common/box_texts.h"
#include "../common/files.h"
#include "drovik.h"
#include "foundation/engine_globals.h"
#include "platform/clock.h"
#include "platform/msgbox.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "startup.h"

namespace fs = std::filesystem;

namespace {

class UtilitiesApi : public ::testing::Test {
protected:
    void SetUp() override {
        plat_message_box_set_headless(true);
        plat_message_box_clear_records();
        folder_ = fs::temp_directory_path() / ("drovik_utilities_" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
        home_ = fs::current_path();
        fs::current_path(folder_);
    }
    void TearDown() override {
        plat_clock_override(nullptr, nullptr);
        if (engine_is_initialized()) engine_shutdown();
        fs::current_path(home_);
        std::error_code error;
        fs::remove_all(folder_, error);
    }
    std::string in_folder(const std::string& name) const { return (folder_ / name).string(); }
    fs::path folder_;
    fs::path home_;
};

// A surface whose top row is red, green and bottom row blue, white.
plat_surface* four_colours() {
    plat_surface* s = plat_surface_create(2, 2);
    s->bits[0] = 0xF800;
    s->bits[1] = 0x07E0;
    s->bits[s->pitch_pixels] = 0x001F;
    s->bits[s->pitch_pixels + 1] = 0xFFFF;
    return s;
}

TEST_F(UtilitiesApi, FileToMemoryGivesTheBytesAndANul) {
    std::ofstream(in_folder("three.txt"), std::ios::binary) << "abc";
    std::ofstream(in_folder("empty.txt"), std::ios::binary);
    int size = -1;
    char* buffer = Drovik_utilities_file_to_memory(in_folder("three.txt").c_str(), &size);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(std::string(buffer, 4), std::string("abc\0", 4));
    Drovik_utilities_free_file_memory(buffer);
    EXPECT_EQ(Drovik_utilities_file_to_memory(in_folder("empty.txt").c_str(), &size), nullptr);
    EXPECT_EQ(Drovik_utilities_file_to_memory(in_folder("missing.txt").c_str(), &size), nullptr);
}

TEST_F(UtilitiesApi, SavedSurfaceIsA24BitBitmapBottomRowFirst) {
    plat_surface* s = four_colours();
    ASSERT_EQ(Drovik_utilities_save_bitmap(s, in_folder("four.bmp").c_str()), 0);
    plat_surface_destroy(s);
    const std::vector<uint8_t> expected = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header: size 70, pixels at 54
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,  // 2 x 2, one plane, 24 bits
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        248, 0, 0, 248, 252, 248, 0, 0,  // bottom row: blue, white (blue, green, red), padding
        0, 0, 248, 0, 252, 0, 0, 0,      // top row: red, green
    };
    EXPECT_EQ(read_file_bytes(in_folder("four.bmp")), expected);
    EXPECT_EQ(Drovik_utilities_save_bitmap(nullptr, in_folder("none.bmp").c_str()), -1);
    EXPECT_FALSE(fs::exists(in_folder("none.bmp")));
}

TEST_F(UtilitiesApi, BitmapsToJpegAndBack) {
    plat_surface* s = four_colours();
    ASSERT_EQ(Drovik_utilities_save_bitmap(s, in_folder("pic.bmp").c_str()), 0);
    plat_surface_destroy(s);
    ASSERT_EQ(Drovik_utilities_bmp2jpg(in_folder("pic.bmp").c_str()), 0);
    const std::vector<uint8_t> jpeg = read_file_bytes(in_folder("pic.jpg"));
    ASSERT_GE(jpeg.size(), 2u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    fs::remove(in_folder("pic.bmp"));
    ASSERT_EQ(Drovik_utilities_jpg2bmp(in_folder("pic.jpg").c_str()), 0);
    DROVIK_SURFACE back = Drovik_utilities_load_bitmap_from_file(in_folder("pic.bmp").c_str());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->width, 2);
    EXPECT_EQ(back->height, 2);
    plat_surface_destroy(back);
    EXPECT_EQ(Drovik_utilities_jpg2bmp(in_folder("absent.jpg").c_str()), -1);
}

TEST_F(UtilitiesApi, LoadingAJpegLeavesAUsersBitmapOfTheSameNameAlone) {
    plat_surface* s = four_colours();
    ASSERT_EQ(Drovik_utilities_save_bitmap(s, in_folder("x.bmp").c_str()), 0);
    plat_surface_destroy(s);
    ASSERT_EQ(Drovik_utilities_bmp2jpg(in_folder("x.bmp").c_str()), 0);
    std::ofstream(in_folder("x.bmp"), std::ios::binary | std::ios::trunc) << "the user's own picture";
    DROVIK_SURFACE loaded = Drovik_utilities_load_bitmap_from_file(in_folder("x.jpg").c_str());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->width, 2);
    plat_surface_destroy(loaded);
    EXPECT_EQ(read_file(in_folder("x.bmp")), "the user's own picture");
    fs::remove(in_folder("x.bmp"));
    loaded = Drovik_utilities_load_bitmap_from_file(in_folder("x.jpg").c_str());
    ASSERT_NE(loaded, nullptr);
    plat_surface_destroy(loaded);
    EXPECT_FALSE(fs::exists(in_folder("x.bmp")));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);  // x.jpg alone
}

TEST_F(UtilitiesApi, ResamplingRefusesBadCallsWithABox) {
    plat_surface* s = four_colours();
    ASSERT_EQ(Drovik_utilities_save_bitmap(s, in_folder("small.bmp").c_str()), 0);
    plat_surface_destroy(s);
    std::ofstream(in_folder("text.bmp"), std::ios::binary) << "not a bitmap";
    const std::string src = in_folder("small.bmp"), dst = in_folder("big.bmp");
    struct refused {
        const char* source;
        const char* destination;
        int width, height;
        const char* box;
    };
    const std::string text = in_folder("text.bmp"), missing = in_folder("missing.bmp");
    const refused cases[] = {
        {nullptr, dst.c_str(), 4, 4, "Drovik_utilities_resample_bitmap: bad params\n"},
        {src.c_str(), nullptr, 4, 4, "Drovik_utilities_resample_bitmap: bad params\n"},
        {src.c_str(), dst.c_str(), 0, 4, "Drovik_utilities_resample_bitmap: bad params\n"},
        {src.c_str(), dst.c_str(), 4, -1, "Drovik_utilities_resample_bitmap: bad params\n"},
        {missing.c_str(), dst.c_str(), 4, 4, "Drovik_utilities_resample_bitmap: couldnt fined file\n"},
        {text.c_str(), dst.c_str(), 4, 4, "Drovik_utilities_resample_bitmap: faild resampling\n"},
    };
    for (const refused& c : cases) {
        plat_message_box_clear_records();
        EXPECT_EQ(Drovik_utilities_resample_bitmap(c.source, c.destination, c.width, c.height), -1);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.box});
    }
    EXPECT_FALSE(fs::exists(dst));
    ASSERT_EQ(Drovik_utilities_resample_bitmap(src.c_str(), dst.c_str(), 4, 3), 0);
    DROVIK_SURFACE big = Drovik_utilities_load_bitmap_from_file(dst.c_str());
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->width, 4);
    EXPECT_EQ(big->height, 3);
    plat_surface_destroy(big);
}

TEST_F(UtilitiesApi, PicturesOnSurfacesAndWindows) {
    plat_surface* bitmap = four_colours();
    plat_surface* target = plat_surface_create(4, 4);
    EXPECT_EQ(Drovik_utilities_copy_bitmap_on_dc(target, bitmap, 1, 1, 0, 0), 1);
    EXPECT_EQ(target->bits[target->pitch_pixels + 1], 0xF800);
    EXPECT_EQ(target->bits[2 * target->pitch_pixels + 2], 0xFFFF);
    EXPECT_EQ(target->bits[0], 0);
    plat_window* window = plat_window_create_memory(6, 6);
    EXPECT_EQ(Drovik_utilities_paste_bitmap(window, bitmap, 1), 1);  // 2 x 2 stretched to 4 x 4
    EXPECT_EQ(plat_window_pixel(window, 1, 1), 0xF800);
    EXPECT_EQ(plat_window_pixel(window, 4, 4), 0xFFFF);
    EXPECT_EQ(plat_window_pixel(window, 0, 0), 0);
    EXPECT_EQ(Drovik_utilities_paste_bitmap(window, nullptr, 1), 0);
    EXPECT_NE(Drovik_utilities_paste_resource_bitmap(window, 1000, 0), -1);
    plat_window_destroy(window);
    plat_surface_destroy(target);
    plat_surface_destroy(bitmap);
}

TEST_F(UtilitiesApi, SmallQueries) {
    unsigned char r = 1, g = 1, b = 1;
    Drovik_utilities_rgb16_to_rgb24(0x07FF, &r, &g, nullptr);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 252);
    Drovik_utilities_rgb16_to_rgb24(0xF800, &r, nullptr, &b);
    EXPECT_EQ(r, 248);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(Drovik_utilities_is_windows98(), 0);
    EXPECT_STREQ(Drovik_utilities_test_string(), "Testing string transfer");
}

std::string address_line(const void* address) {
    return "given memory address = " + std::to_string(reinterpret_cast<intptr_t>(address)) + "\n";
}

TEST_F(UtilitiesApi, TestAddressShowsAtMostAThousandBytes) {
    std::vector<unsigned char> bytes(5000, 7);
    bytes[0] = 200;
    Drovik_utilities_test_address(bytes.data(), 5000);
    std::string expected = address_line(bytes.data()) + "200 ";
    for (int i = 1; i < 1000; ++i) expected += "7 ";
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{expected});
    EXPECT_EQ(plat_message_box_records()[0].caption, "Warning");
}

TEST_F(UtilitiesApi, UnreadableAddressesShowTheFirstLineOnly) {
    const long page = sysconf(_SC_PAGESIZE);
    void* closed = mmap(nullptr, static_cast<size_t>(page), PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(closed, MAP_FAILED);
    Drovik_utilities_test_address(closed, 16);
    Drovik_utilities_test_PDWORD(static_cast<const int*>(closed));
    const int value = -5;
    Drovik_utilities_test_2PDWORD(&value, static_cast<const int*>(closed));
    Drovik_utilities_test_PDWORD(&value);
    char pointers[64];
    std::snprintf(pointers, sizeof pointers, "ptr1 = %p   ptr2=%p\n", static_cast<const void*>(&value), closed);
    const std::vector<std::string> expected = {address_line(closed), address_line(closed), pointers,
                                               address_line(&value) + "-5 "};
    EXPECT_EQ(BoxTexts(), expected);
    munmap(closed, static_cast<size_t>(page));
}

TEST_F(UtilitiesApi, TextBoxes) {
    char text[] = "shown";
    Drovik_utilities_test_LPSTR(text);
    Drovik_utilities_test_LPCSTR("plain");
    const std::vector<plat_box_record> boxes = plat_message_box_records();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Warning");
    EXPECT_EQ(boxes[0].text, "shown");
    EXPECT_EQ(boxes[1].caption, "Drovik_utilities_test_LPCSTR");
    EXPECT_EQ(boxes[1].text, "plain");
}

TEST_F(UtilitiesApi, ConvertingAWorldLoadsItForViewingAndSavesTheWhole) {
    std::ofstream(in_folder("one.raw"), std::ios::binary) << "0 0 0 100 0 0 100 100 0\n";
    EXPECT_EQ(Drovik_utilities_convert_3d_formats("one.raw", folder_.c_str(), "", in_folder("one.drovik").c_str(), 0), 0);
    EXPECT_TRUE(fs::exists(in_folder("one.drovik")));
    // Loaded for viewing, the world is saved only in the binary format.
    EXPECT_EQ(Drovik_utilities_convert_3d_formats("one.raw", folder_.c_str(), "", in_folder("one.x").c_str(), 0), -1);
    EXPECT_FALSE(fs::exists(in_folder("one.x")));
    EXPECT_EQ(Drovik_utilities_convert_3d_formats("none.raw", folder_.c_str(), "", in_folder("two.drovik").c_str(), 0),
              -1);
    EXPECT_FALSE(fs::exists(in_folder("two.drovik")));
}

uint32_t fake_now = 0;
uint32_t fake_tick() { return fake_now; }

TEST_F(UtilitiesApi, ProfilerChunksTimeInMicroseconds) {
    plat_clock_override(fake_tick, nullptr);
    fake_now = 5000;
    const int chunk = Drovik_profiler_start_measuring(-1, "utilities test chunk");
    ASSERT_GE(chunk, 0);
    fake_now = 5007;
    EXPECT_EQ(Drovik_profiler_end_measuring(chunk), 7000);
    EXPECT_EQ(Drovik_profiler_start_measuring(chunk, "utilities test chunk"), chunk);
    EXPECT_EQ(Drovik_profiler_start_measuring(-2, "disabled"), -2);
}

}  // namespace
