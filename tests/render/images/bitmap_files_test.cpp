// The engine's image files: .jbm, .clr and .bmp_swap layouts, BMP conversion, the cache file, JPEG.
#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "bitmap_fixture.h"
#include "foundation/files.h"
#include "foundation/memory.h"
#include "render/images/jbm.h"
#include "render/images/jbm_files.h"
#include "render/images/jpeg_convert.h"
#include "render/images/winbmp.h"
#include "world/colour.h"
#include "world/engine_state.h"

namespace fs = std::filesystem;

namespace {

const rgb8 A = exact(200, 40, 16), B = exact(8, 252, 96), C = exact(64, 64, 248);

// 3 x 2: top row A A B, bottom row C A B.
bytes small_bmp() { return make_bmp(3, 2, 24, 40, {A, A, B, C, A, B}); }

bytes expected_jbm() { return {7, 0, 3, 0, 2, 0, 0, 0, 0, 0, 1, 2, 0, 1}; }

bytes expected_clr() { return {3, 0, A.b, A.g, A.r, B.b, B.g, B.r, C.b, C.g, C.r}; }

void set_mtime(const std::string& path, long long seconds) {
    const auto when = std::chrono::file_clock::from_sys(std::chrono::sys_seconds{std::chrono::seconds{seconds}});
    fs::last_write_time(path, when);
}

struct loaded {
    jbm_info info;
    loaded() { jbm_info_init(&info); }
    ~loaded() { jbm_info_free(&info); }
};

}  // namespace

TEST_F(BitmapTest, JbmAndClrOfASmallPictureAreExact) {
    write_file("pic.bmp", small_bmp());
    ASSERT_EQ(bmp2jbmx("pic.bmp", "pic.jbm", nullptr), 0);
    EXPECT_EQ(read_file_bytes("pic.jbm"), expected_jbm());
    EXPECT_EQ(read_file_bytes("pic.clr"), expected_clr());
}

TEST_F(BitmapTest, SwapFileOfASmallPictureFollowsTheLayout) {
    write_file("pic.bmp", small_bmp());
    set_mtime("pic.bmp", 1700000000);
    loaded l;
    ASSERT_EQ(read_jbm256(&l.info, "pic.bmp", -1, jbm_source_bmp, 1700000000), 0);
    const bytes s = read_file_bytes("pic.bmp_swap");
    ASSERT_EQ(s.size(), 264u + 4 + 14 + 67 * 3);
    EXPECT_EQ(get32(s, 0), 1u);
    EXPECT_EQ(get32(s, 4), 1700000000u);
    EXPECT_EQ(get32(s, 8), 32u);
    const size_t r = 12;
    EXPECT_EQ(get32(s, r + 0), 264u);
    EXPECT_EQ(get32(s, r + 4), 268u);
    EXPECT_EQ(get32(s, r + 8), 14u);
    EXPECT_EQ(get16(s, r + 12), 7u);
    EXPECT_EQ(get16(s, r + 14), 3u);
    EXPECT_EQ(get16(s, r + 16), 2u);
    EXPECT_EQ(get32(s, r + 24), 0xFFFFFFFFu);
    EXPECT_EQ(get32(s, r + 28), 1u);
    EXPECT_EQ(get32(s, r + 32), 0xFFFFFFFFu);
    EXPECT_EQ(get32(s, r + 36), 1u);
    EXPECT_EQ(get32(s, r + 40), 3u);
    for (uint32_t i = 0; i < 32; ++i) EXPECT_EQ(get32(s, r + 44 + 4 * i), 282u + 6 * i);
    EXPECT_EQ(get32(s, r + 172), 8u);
    EXPECT_EQ(get32(s, r + 184), 474u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&s[264])), "PIC");
    EXPECT_EQ(bytes(s.begin() + 268, s.begin() + 282), expected_jbm());
    const rgb8 colours[3] = {A, B, C};
    for (int k = 0; k < 3; ++k) {
        // Level 8 is the colour itself.
        EXPECT_EQ(get16(s, 282 + 2 * (8 * 3 + k)), rgb_to_pixel(colours[k].r, colours[k].g, colours[k].b));
        EXPECT_EQ(s[474 + 3 * k], colours[k].r);
        EXPECT_EQ(s[475 + 3 * k], colours[k].g);
        EXPECT_EQ(s[476 + 3 * k], colours[k].b);
    }
    EXPECT_EQ(std::string(l.info.name), "PIC");
}

struct bmp_case {
    int width;
    int bits;
    int info_size;
};

class BmpConversion : public BitmapTest, public ::testing::WithParamInterface<bmp_case> {};

TEST_P(BmpConversion, EveryPixelKeepsItsColour) {
    const bmp_case c = GetParam();
    const int height = 3;
    std::vector<rgb8> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < c.width; ++x) pixels.push_back(exact(40 * x, 60 * y, 8 * (x + y)));
    write_file("p.bmp", make_bmp(c.width, height, c.bits, c.info_size, pixels));
    ASSERT_EQ(bmp2jbmx("p.bmp", "p.jbm", nullptr), 0);
    const bytes jbm = read_file_bytes("p.jbm"), clr = read_file_bytes("p.clr");
    ASSERT_EQ(jbm.size(), 8u + c.width * height);
    EXPECT_EQ(get16(jbm, 2), static_cast<uint32_t>(c.width));
    EXPECT_EQ(get32(jbm, 4), static_cast<uint32_t>(height));
    for (size_t k = 0; k < pixels.size(); ++k) {
        const size_t e = 2 + 3 * jbm[8 + k];
        ASSERT_LT(e + 2, clr.size());
        EXPECT_EQ(clr[e + 2], pixels[k].r) << k;
        EXPECT_EQ(clr[e + 1], pixels[k].g) << k;
        EXPECT_EQ(clr[e], pixels[k].b) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, BmpConversion,
                         ::testing::Values(bmp_case{1, 8, 40}, bmp_case{2, 8, 40}, bmp_case{3, 8, 124},
                                           bmp_case{4, 8, 124}, bmp_case{5, 8, 40}, bmp_case{1, 24, 124},
                                           bmp_case{2, 24, 40}, bmp_case{3, 24, 40}, bmp_case{4, 24, 124},
                                           bmp_case{5, 24, 124}));

TEST_F(BitmapTest, JbmToBmpAndBackGivesTheSameFiles) {
    const bytes jbm = expected_jbm(), clr = expected_clr();
    ASSERT_EQ(jbm2bmp(jbm.data(), clr.data(), "back.bmp"), 0);
    const bytes bmp = read_file_bytes("back.bmp");
    EXPECT_EQ(get32(bmp, 10), 1078u);
    EXPECT_EQ(get32(bmp, 14), 40u);
    EXPECT_EQ(get16(bmp, 28), 8u);
    EXPECT_EQ(bmp.size(), 1078u + 4 * 2);
    ASSERT_EQ(bmp2jbmx("back.bmp", "back.jbm", nullptr), 0);
    EXPECT_EQ(read_file_bytes("back.jbm"), jbm);
    EXPECT_EQ(read_file_bytes("back.clr"), clr);
}

TEST_F(BitmapTest, DamagedFilesAreRefused) {
    const bytes good_jbm = expected_jbm(), good_clr = expected_clr();
    bytes short_jbm(good_jbm.begin(), good_jbm.end() - 1);
    bytes outside = good_jbm;
    outside[8] = 3;
    bytes wide_clr = good_clr;
    put16(wide_clr, 0, 257);
    bytes short_clr = good_clr;
    put16(short_clr, 0, 4);
    const struct {
        const char* what;
        bytes jbm, clr;
    } pairs[] = {{"short jbm", short_jbm, good_clr},
                 {"pixel outside palette", outside, good_clr},
                 {"clr over 256", good_jbm, wide_clr},
                 {"clr past its end", good_jbm, short_clr}};
    for (const auto& p : pairs) {
        loaded l;
        EXPECT_EQ(jbm_from_memory(&l.info, p.jbm.data(), p.jbm.size(), p.clr.data(), p.clr.size(), -1), -1) << p.what;
        EXPECT_EQ(l.info.image, nullptr) << p.what;
    }
    const bytes bmp = small_bmp();
    bytes zero_width = bmp, sixteen = bmp, compressed = make_bmp(3, 2, 8, 40, {A, A, B, C, A, B});
    put32(zero_width, 18, 0);
    put16(sixteen, 28, 16);
    put32(compressed, 30, 1);
    bytes truncated(bmp.begin(), bmp.end() - 1);
    bytes eight_outside = make_bmp(3, 2, 8, 40, {A, A, B, C, A, B});
    eight_outside[get32(eight_outside, 10)] = 9;
    for (const bytes& b : {zero_width, sixteen, compressed, truncated, eight_outside}) {
        winbmp_status status;
        EXPECT_EQ(winbmp_from_memory(b.data(), b.size(), &status, nullptr), nullptr);
        EXPECT_NE(status, winbmp_status::ok);
    }
    write_file("c.bmp", compressed);
    EXPECT_EQ(bmp2jbmx("c.bmp", "c.jbm", nullptr), -1);
    EXPECT_NE(error_log().find("bmp2jbmx: Bitmap file is not in 8 or 24 bits per pixel format without compression ! "
                               "(it has 8 bits per pixel with RLE8 compression)\n"),
              std::string::npos);
    EXPECT_FALSE(fs::exists("c.jbm"));
}

namespace {

// The file with its rows in the other order and a negative height.
bytes top_down(const bytes& bmp) {
    const int width = static_cast<int>(get32(bmp, 18)), height = static_cast<int>(get32(bmp, 22));
    const size_t row = (static_cast<size_t>(width) * get16(bmp, 28) / 8 + 3) / 4 * 4, start = get32(bmp, 10);
    bytes flipped = bmp;
    for (int y = 0; y < height; ++y)
        std::copy_n(bmp.begin() + static_cast<ptrdiff_t>(start + y * row), row,
                    flipped.begin() + static_cast<ptrdiff_t>(start + (height - 1 - y) * row));
    put32(flipped, 22, static_cast<uint32_t>(-height));
    return flipped;
}

// An 8-bit file with the 12-byte OS/2 header and 3-byte palette entries: 2 x 1 pixels A B.
bytes os2_bmp() {
    bytes b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 8, 0};
    for (const rgb8& c : {A, B}) b.insert(b.end(), {c.b, c.g, c.r});
    put32(b, 10, static_cast<uint32_t>(b.size()));
    b.insert(b.end(), {0, 1, 0, 0});
    put32(b, 2, static_cast<uint32_t>(b.size()));
    return b;
}

}  // namespace

TEST_F(BitmapTest, TopDownFilesReadAsTheirBottomUpTwins) {
    for (int bits : {8, 24}) {
        const bytes bottom_up = make_bmp(3, 2, bits, 40, {A, A, B, C, A, B});
        write_file("up.bmp", bottom_up);
        write_file("down.bmp", top_down(bottom_up));
        ASSERT_EQ(bmp2jbmx("up.bmp", "up.jbm", nullptr), 0) << bits;
        ASSERT_EQ(bmp2jbmx("down.bmp", "down.jbm", nullptr), 0) << bits << error_log();
        EXPECT_EQ(read_file_bytes("down.jbm"), expected_jbm()) << bits;
        EXPECT_EQ(read_file_bytes("down.clr"), read_file_bytes("up.clr")) << bits;
    }
}

TEST_F(BitmapTest, OtherFormsAreRefusedAsUnsupportedNamingBitsAndCompressionInWords) {
    bytes four_bit = make_bmp(3, 2, 8, 40, {A, A, B, C, A, B});
    put16(four_bit, 28, 4);
    put32(four_bit, 30, 2);
    bytes masks = small_bmp();
    put16(masks, 28, 32);
    put32(masks, 30, 3);
    const struct {
        const char* file;
        bytes data;
        const char* form;
    } cases[] = {
        {"os2.bmp", os2_bmp(), "an OS/2 header with 8 bits per pixel"},
        {"rle4.bmp", four_bit, "4 bits per pixel with RLE4 compression"},
        {"masks.bmp", masks, "32 bits per pixel with bit-field masks"},
    };
    for (const auto& c : cases) {
        write_file(c.file, c.data);
        const std::string before = error_log();
        loaded l;
        EXPECT_EQ(read_jbm256(&l.info, c.file, -1, jbm_source_bmp, 0), -1) << c.file;
        const std::string added = error_log().substr(before.size());
        EXPECT_NE(added.find(std::string("bmp2jbmx: Bitmap file is not in 8 or 24 bits per pixel format without "
                                         "compression ! (it has ") +
                             c.form + ")\n"),
                  std::string::npos)
            << c.file << added;
        EXPECT_EQ(added.find("damaged"), std::string::npos) << c.file;
    }
}

TEST_F(BitmapTest, SwapFileWhoseSizesDisagreeIsNotUsed) {
    write_file("pic.bmp", small_bmp());
    loaded l;
    ASSERT_EQ(read_jbm256(&l.info, "pic.bmp", -1, jbm_source_bmp, 5), 0);
    const bytes good = jbm_swap_image(&l.info, 5);
    ASSERT_EQ(jbm_swap_from_memory(&l.info, good.data(), good.size(), -1, 5), 0);
    bytes longer = good, count = good, table = good, image_size = good, pixel = good;
    longer.push_back(0);
    put32(count, 12 + 40, 4);
    put32(table, 12 + 44 + 4 * 5, 0);
    put32(image_size, 12 + 8, 15);
    pixel[268 + 8] = 7;
    for (const bytes& b : {bytes(good.begin(), good.end() - 1), longer, count, table, image_size, pixel}) {
        EXPECT_EQ(jbm_swap_from_memory(&l.info, b.data(), b.size(), -1, 5), -1);
        EXPECT_EQ(l.info.image, nullptr);
    }
    EXPECT_EQ(jbm_swap_from_memory(&l.info, good.data(), good.size(), -1, 6), -1) << "another stamp";
    EXPECT_EQ(jbm_swap_from_memory(&l.info, good.data(), good.size(), 0, 5), -1) << "another transparent index";
}

TEST_F(BitmapTest, CachedImageSurvivesItsSourceReplacedWhileTheTimeIsKept) {
    write_file("tree.bmp", small_bmp());
    set_mtime("tree.bmp", 1600000000);
    {
        loaded first;
        ASSERT_EQ(jbm_load_image(&first.info, "tree.bmp", 1, jbm_source_bmp, 1600000000, 7), 0);
    }
    write_file("tree.bmp", bytes(40, 0x5A));
    set_mtime("tree.bmp", 1600000000);
    loaded hit;
    ASSERT_EQ(jbm_load_image(&hit.info, "tree.bmp", 1, jbm_source_bmp, 1600000000, 7), 0);
    EXPECT_EQ(hit.info.width, 3);
    const uint8_t* p = jbm_pixels(&hit.info);
    EXPECT_EQ(bytes(p, p + 6), (bytes{0, 0, 255, 2, 0, 255}));
    EXPECT_EQ(std::string(hit.info.name), "TREE");
    loaded touched, other_index;
    EXPECT_EQ(jbm_load_image(&touched.info, "tree.bmp", 1, jbm_source_bmp, 1600000010, 7), -1);
    EXPECT_EQ(touched.info.image, nullptr);
    EXPECT_EQ(jbm_load_image(&other_index.info, "tree.bmp", 2, jbm_source_bmp, 1600000000, 7), -1);
}

TEST_F(BitmapTest, CacheHitTakesThePresentAtmosphereColour) {
    write_file("sky.bmp", small_bmp());
    loaded first;
    ASSERT_EQ(jbm_load_image(&first.info, "sky.bmp", -1, jbm_source_bmp, 9, 7), 0);
    engine_state.atmosphere_red = 255;
    engine_state.atmosphere_green = 0;
    engine_state.atmosphere_blue = 0;
    loaded hit, rebuilt;
    ASSERT_EQ(jbm_load_image(&hit.info, "sky.bmp", -1, jbm_source_bmp, 9, 7), 0);
    fs::remove("sky.bmp_swap");
    ASSERT_EQ(jbm_load_image(&rebuilt.info, "sky.bmp", -1, jbm_source_bmp, 9, 7), 0);
    EXPECT_NE(first.info.shade_tables[31][0], hit.info.shade_tables[31][0]);
    for (int level = 0; level < 32; ++level) {
        for (int k = 0; k < 3; ++k) EXPECT_EQ(hit.info.shade_tables[level][k], rebuilt.info.shade_tables[level][k]);
        EXPECT_EQ(hit.info.average_by_level[level], rebuilt.info.average_by_level[level]);
    }
}

TEST_F(BitmapTest, SiblingJbmAndClrAreLeftAlone) {
    write_file("house.bmp", small_bmp());
    const bytes sibling_jbm = {7, 0, 1, 0, 1, 0, 0, 0, 0}, sibling_clr = {1, 0, 1, 2, 3};
    write_file("house.jbm", sibling_jbm);
    write_file("house.clr", sibling_clr);
    loaded l;
    ASSERT_EQ(read_jbm256(&l.info, "house.bmp", -1, jbm_source_bmp, 1), 0);
    EXPECT_EQ(read_file_bytes("house.jbm"), sibling_jbm);
    EXPECT_EQ(read_file_bytes("house.clr"), sibling_clr);
}

TEST_F(BitmapTest, ReadOnlyBitmapsWriteNoCacheFile) {
    write_file("ro.bmp", small_bmp());
    engine_state.read_only_bitmaps = 1;
    loaded l;
    ASSERT_EQ(read_jbm256(&l.info, "ro.bmp", -1, jbm_source_bmp, 1), 0);
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(".")) names.insert(e.path().filename().string());
    names.erase("error.log");
    names.erase("Drovik.log");
    EXPECT_EQ(names, std::set<std::string>{"ro.bmp"});
}

TEST_F(BitmapTest, JpegBecomesAnEightBitBmpOfTheSameSize) {
    std::vector<rgb8> pixels;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) pixels.push_back(rgb8{static_cast<uint8_t>(12 * x), static_cast<uint8_t>(20 * y), 90});
    write_file("X.BMP", make_bmp(20, 12, 24, 40, pixels));
    ASSERT_EQ(bmp2jpg("X.BMP"), 0);
    ASSERT_TRUE(fs::exists("X.jpg"));
    fs::rename("X.jpg", "X.JPG");
    fs::remove("X.BMP");
    ASSERT_EQ(jpg2bmp("X.JPG"), 0);
    const bytes bmp = read_file_bytes("X.bmp");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(get32(bmp, 18), 20u);
    EXPECT_EQ(get32(bmp, 22), 12u);
    EXPECT_EQ(get16(bmp, 28), 8u);
    EXPECT_LE((get32(bmp, 10) - 54) / 4, 256u);
    fs::copy_file("X.JPG", "x.jpeg");
    EXPECT_EQ(jpg2bmp("x.jpeg"), -1);
}

TEST_F(BitmapTest, CorruptJpegFailsWithABox) {
    plat_message_box_clear_records();
    bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0, 0xFF, 0xD9};
    write_file("bad.jpg", jpeg);
    EXPECT_EQ(jpg2bmp("bad.jpg"), -1);
    EXPECT_FALSE(fs::exists("bad.bmp"));
    const auto boxes = plat_message_box_records();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().caption, "JPEG Error");
}

TEST_F(BitmapTest, MalformedJpegInputsAreRefused) {
    std::vector<rgb8> pixels(16 * 8, rgb8{10, 200, 30});
    write_file("m.bmp", make_bmp(16, 8, 24, 40, pixels));
    ASSERT_EQ(bmp2jpg("m.bmp"), 0);
    const bytes good = read_file_bytes("m.jpg");
    plat_message_box_clear_records();
    std::vector<bytes> cases = {bytes(good.begin(), good.begin() + 2), bytes(good.begin(), good.begin() + good.size() / 2),
                                bytes(good.size(), 0xFF), bytes{0xFF, 0xD8}};
    bytes garbled = good;
    for (size_t i = 20; i < garbled.size(); i += 7) garbled[i] ^= 0xA5;
    cases.push_back(garbled);
    for (const bytes& b : cases) {
        uint8_t* image = jpeg_to_winbmp(b.data(), b.size(), 0);
        if (image) {
            EXPECT_EQ(winbmp_get_bits_per_pixel(image), 8);
            engine_free(image);
        }
    }
    uint8_t* image = jpeg_to_winbmp(good.data(), good.size(), 100);
    EXPECT_EQ(image, nullptr) << "over the pixel limit";
}

TEST_F(BitmapTest, GreyPictureIsColouredAlongTheMap) {
    // Greys 0, 100 and 200 across a map of three entries: the ends and the middle entry exactly.
    write_file("g.bmp", make_bmp(3, 1, 24, 40, {rgb8{0, 0, 0}, rgb8{100, 100, 100}, rgb8{200, 200, 200}}));
    const bytes file = read_file_bytes("g.bmp");
    uint8_t* image = winbmp_from_memory(file.data(), file.size(), nullptr, nullptr);
    ASSERT_NE(image, nullptr);
    const rgb8 map[3] = {{0, 0, 0}, {100, 200, 50}, {250, 250, 250}};
    ASSERT_EQ(winbmp_gray2colors(image, map, 3), 0);
    const int expected[3][3] = {{0, 0, 0}, {100, 200, 50}, {250, 250, 250}};
    for (int x = 0; x < 3; ++x) {
        int r, g, b;
        ASSERT_EQ(winbmp_get_pixel(image, x, 0, &r, &g, &b), 0);
        EXPECT_EQ(r, expected[x][0]) << x;
        EXPECT_EQ(g, expected[x][1]) << x;
        EXPECT_EQ(b, expected[x][2]) << x;
    }
    rgb8 c;
    ASSERT_EQ(transform_gray_to_map_colors(50, 200, 0, map, 3, &c), 0);
    EXPECT_EQ(c.r, 50);
    EXPECT_EQ(c.g, 100);
    EXPECT_EQ(c.b, 25);
    ASSERT_EQ(transform_gray_to_map_colors(7, 7, 7, map, 3, &c), 0);
    EXPECT_EQ(c.g, 0) << "one grey level takes the first colour";
    engine_free(image);
    uint8_t* eight = winbmp_init_bitmap(2, 2, 8);
    EXPECT_EQ(winbmp_gray2colors(eight, nullptr, 0), -1);
    engine_free(eight);
}

TEST_F(BitmapTest, TwentyFourBitReductionKeepsTheMostFrequentColours) {
    // 300 distinct colours: the first 256 appear twice, the rest once.
    uint8_t* image = winbmp_init_bitmap(556, 1, 24);
    ASSERT_NE(image, nullptr);
    for (int i = 0; i < 556; ++i) {
        const int k = i < 512 ? i / 2 : 256 + (i - 512);
        winbmp_set_pixel(image, i, 0, (k % 32) * 8, (k / 32) * 4, 64);
    }
    uint8_t* reduced = winbmp_convert_24bit_to_8bit(image);
    ASSERT_NE(reduced, nullptr);
    EXPECT_EQ(winbmp_get_bits_per_pixel(reduced), 8);
    for (int i = 0; i < 512; i += 2) {
        int r, g, b;
        winbmp_get_pixel(reduced, i, 0, &r, &g, &b);
        const int k = i / 2;
        EXPECT_EQ(r, (k % 32) * 8) << i;
        EXPECT_EQ(g, (k / 32) * 4) << i;
    }
    engine_free(reduced);
    engine_free(image);
}

TEST_F(BitmapTest, SixtyFourKImagesAreReadByShortNames) {
    bytes file(8 + 2 * 3 * 2, 0);
    put16(file, 0, 10);
    put16(file, 2, 3);
    put16(file, 4, 2);
    put16(file, 8, 0xF800);
    write_file("pic16.64k", file);
    loaded l;
    ASSERT_EQ(jbm_load_image(&l.info, "pic16", -1, 0, 0, 10), 0);
    EXPECT_EQ(l.info.type, 10);
    EXPECT_EQ(l.info.width, 3);
    EXPECT_EQ(l.info.height, 2);
    EXPECT_EQ(l.info.normal_level, -1);
    EXPECT_EQ(get16(bytes(l.info.image, l.info.image + 10), 8), 0xF800u);
    loaded long_name, wrong_type;
    write_file("ninechars.64k", file);
    EXPECT_EQ(read_jbm64k(&long_name.info, "ninechars"), -1);
    put16(file, 0, 7);
    write_file("pic7.64k", file);
    EXPECT_EQ(read_jbm64k(&wrong_type.info, "pic7"), -1);
    EXPECT_EQ(wrong_type.info.image, nullptr);
}

TEST_F(BitmapTest, RefusedBmpIsReportedOnceAndLeavesNothing) {
    bytes truncated = small_bmp();
    truncated.resize(truncated.size() - 3);
    write_file("cut.bmp", truncated);
    loaded l;
    EXPECT_EQ(read_jbm256(&l.info, "cut.bmp", -1, jbm_source_bmp, 1), -1);
    EXPECT_EQ(l.info.image, nullptr);
    EXPECT_EQ(l.info.palette, nullptr);
    const std::string log = error_log();
    EXPECT_NE(log.find("bmp2jbmx: Bitmap file is probably truncated"), std::string::npos);
    EXPECT_EQ(log.find("read_jbm256"), std::string::npos);
    EXPECT_FALSE(fs::exists("cut.bmp_swap"));
    EXPECT_FALSE(fs::exists("cut.jbm"));
}
