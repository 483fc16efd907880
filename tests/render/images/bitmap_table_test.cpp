// The bitmap table: source choice, cache lookup, power-of-two copies, resampled levels, loading a
// world's bitmaps and unloading unused ones.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>

#include "../../common/files.h"
#include "bitmap_fixture.h"
#include "formats/bitmap_save.h"
#include "foundation/engine_globals.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "platform/paths.h"
#include "render/images/bitmap_texture.h"
#include "render/images/jbm.h"
#include "render/images/jbm_files.h"
#include "render/images/jpeg_convert.h"
#include "world/animation.h"
#include "world/engine_state.h"
#include "world/polygon.h"

namespace fs = std::filesystem;

namespace {

// XDG_STATE_HOME pointed at a new folder of its own while it lives: test programs running beside
// this one make scratch folders in the shared state folder too.
class private_state_home {
public:
    private_state_home() : folder_(make_temp_folder("bitmap_state_")) {
        if (const char* value = std::getenv("XDG_STATE_HOME")) before_ = value;
        setenv("XDG_STATE_HOME", folder_.c_str(), 1);
    }
    ~private_state_home() {
        if (before_) setenv("XDG_STATE_HOME", before_->c_str(), 1);
        else unsetenv("XDG_STATE_HOME");
        std::error_code error;
        fs::remove_all(folder_, error);
    }

private:
    fs::path folder_;
    std::optional<std::string> before_;
};

void set_mtime(const std::string& path, long long seconds) {
    fs::last_write_time(path, std::chrono::file_clock::from_sys(std::chrono::sys_seconds{std::chrono::seconds{seconds}}));
}

bytes picture(int width, int height) {
    std::vector<rgb8> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(exact(x * 8 % 256, y * 4 % 256, (x + y) % 2 ? 248 : 0));
    return make_bmp(width, height, 24, 40, pixels);
}

int count_in(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class BitmapTableTest : public BitmapTest {
protected:
    void SetUp() override {
        BitmapTest::SetUp();
        engine_state.power_of_two_bitmaps = 0;
        engine_state.mipmaps = 0;
    }
    void TearDown() override {
        for (background* g : backgrounds_) {
            frame_list_destroy(&g->frames);
            record_destroy(g);
        }
        engine_state.backgrounds = nullptr;
        while (animation* a = engine_state.animations) {
            engine_state.animations = a->next;
            animation_delete(a);
        }
        BitmapTest::TearDown();
    }
    polygon* add_polygon(const char* bitmap_name, int transparent_index = -1) {
        if (!engine_state.main_module) add_main_module();
        engine_state.editor_mode = 1;
        polygon* p = init_poly();
        polygon_set_bitmap_name(p, bitmap_name);
        p->transparent_index = transparent_index;
        p->next = engine_state.main_module->root->polygons;
        engine_state.main_module->root->polygons = p;
        return p;
    }
    background* add_background(bitmap_texture* b) {
        auto* g = record_new<background>(kind_background);
        g->frames = init_frame_item();
        g->frames->bitmap = b;
        g->next = engine_state.backgrounds;
        engine_state.backgrounds = g;
        backgrounds_.push_back(g);
        return g;
    }
    bitmap_texture* small(const char* name) {
        const uint8_t pixels[4] = {0, 1, 1, 0};
        const rgb8 palette[2] = {{10, 20, 30}, {200, 100, 50}};
        return bitmap_texture_create_from_pixels(&engine_state.bitmaps, name, 2, 2, pixels, palette, 2, -1);
    }
    std::vector<background*> backgrounds_;
};

}  // namespace

TEST_F(BitmapTableTest, SourceFileIsChosenByModificationTime) {
    int kind = 0;
    EXPECT_EQ(bitmap_source_file("tree", &kind), "");
    write_file("tree.jbm", {7, 0, 1, 0, 1, 0, 0, 0, 0});
    EXPECT_EQ(bitmap_source_file("tree", &kind), "tree.jbm");
    EXPECT_EQ(kind, 1);
    write_file("tree.bmp", picture(2, 2));
    write_file("tree.jpg", {1});
    set_mtime("tree.bmp", 1500000000);
    set_mtime("tree.jpg", 1500000000);
    EXPECT_EQ(bitmap_source_file("tree", &kind), "tree.bmp");
    EXPECT_EQ(kind, 2);
    set_mtime("tree.jpg", 1500000001);
    EXPECT_EQ(bitmap_source_file("tree", &kind), "tree.jpg");
    EXPECT_EQ(kind, 3);
    EXPECT_EQ(bitmap_source_file("tree.bmp", &kind), "tree.bmp");
    EXPECT_EQ(kind, 2);
}

TEST_F(BitmapTableTest, NamesWithFoldersAndExtensionsFindOneRecord) {
    fs::create_directory("bitmaps");
    write_file("bitmaps/tree.bmp", picture(4, 4));
    bitmap_texture* b = bitmap_texture_create(&engine_state.bitmaps, "bitmaps/tree", 3);
    ASSERT_NE(b, nullptr);
    EXPECT_STREQ(b->image.name, "BITMAPS/TREE");
    for (const char* name : {"tree", "TREE.bmp", "c:\\other\\tree.jpg", "bitmaps/Tree"})
        EXPECT_EQ(find_bitmap_texture(engine_state.bitmaps, name, 3), b) << name;
    EXPECT_EQ(find_bitmap_texture(engine_state.bitmaps, "tree", -1), nullptr);
    EXPECT_EQ(bitmap_texture_create(&engine_state.bitmaps, "bitmaps\\TREE.BMP", 3), b);
    bitmap_texture* other = bitmap_texture_create(&engine_state.bitmaps, "bitmaps/tree", -1);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, b);
}

TEST_F(BitmapTableTest, PowerOfTwoNumbers) {
    const struct {
        int side, mode, expected;
    } cases[] = {{100, 64, 64}, {100, 16, 128}, {100, 32, 128}, {96, 32, 64}, {3, 32, 2},  {5, 32, 4},
                 {0, 32, 0},    {1, 16, 1},     {128, 64, 128}, {129, 16, 256}, {60, 32, 64}};
    for (const auto& c : cases)
        EXPECT_EQ(bitmap_texture_get_power_of_two_number(c.side, c.mode), c.expected) << c.side << " mode " << c.mode;
    EXPECT_EQ(bitmap_texture_get_power_of_two_number(100, 7), 0);
    EXPECT_NE(error_log().find("bitmap_texture_get_power_of_two_number: Shouldnt have goten here"), std::string::npos);
}

TEST_F(BitmapTableTest, ResampledLevelSizes) {
    const struct {
        int width, height;
        std::vector<std::pair<int, int>> levels;
    } cases[] = {{256, 64, {{128, 32}, {64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}}},
                 {100, 60, {{50, 30}, {25, 15}, {12, 7}, {6, 4}, {3, 2}, {2, 1}}},
                 {1, 1, {}},
                 // Large enough for the inverse colour table.
                 {512, 400, {{256, 200}, {128, 100}, {64, 50}, {32, 25}, {16, 12}, {8, 6}, {4, 3}, {2, 2}, {1, 1}}}};
    for (const auto& c : cases) {
        std::vector<uint8_t> pixels(static_cast<size_t>(c.width) * c.height, 0);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i % 3);
        const rgb8 palette[3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        bitmap_texture* b = bitmap_texture_create_from_pixels(&engine_state.bitmaps, "m", c.width, c.height,
                                                              pixels.data(), palette, 3, -1);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(bitmap_texture_create_mipmap_levels(b), 1 + static_cast<int>(c.levels.size()));
        size_t k = 0;
        for (const bitmap_level* l = b->levels; l; l = l->next, ++k) {
            ASSERT_LT(k, c.levels.size());
            EXPECT_EQ(l->image->width, c.levels[k].first);
            EXPECT_EQ(l->image->height, c.levels[k].second);
            EXPECT_LE(l->image->palette_count, 3);
        }
        EXPECT_EQ(k, c.levels.size());
    }
}

// With both switches on, a bitmap whose sides are powers of two keeps its levels; an odd-sized one is
// replaced by a power-of-two copy that carries none.
TEST_F(BitmapTableTest, OddSizedFileIsReplacedByAPowerOfTwoCopyWithoutLevels) {
    write_file("odd.bmp", picture(100, 60));
    write_file("even.bmp", picture(64, 32));
    engine_state.power_of_two_bitmaps = 1;
    engine_state.power_of_two_rounding = 32;
    engine_state.mipmaps = 1;
    bitmap_texture* b = bitmap_texture_create(&engine_state.bitmaps, "odd", -1);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->image.width, 128);
    EXPECT_EQ(b->image.height, 64);
    EXPECT_STREQ(b->image.name, "ODD");
    EXPECT_EQ(engine_state.bitmaps, b);
    EXPECT_EQ(b->next, nullptr);
    EXPECT_EQ(b->levels, nullptr);
    bitmap_texture* even = bitmap_texture_create(&engine_state.bitmaps, "even", -1);
    ASSERT_NE(even, nullptr);
    ASSERT_NE(even->levels, nullptr);
    EXPECT_EQ(even->levels->image->width, 32);
    EXPECT_EQ(even->levels->image->height, 16);
}

TEST_F(BitmapTableTest, ResamplingKeepsMostlyTransparentBoxesTransparent) {
    // 4 x 1: two transparent pixels, then two coloured; halving gives one of each.
    const uint8_t pixels[4] = {1, 1, 0, 0};
    const rgb8 palette[2] = {{9, 9, 9}, {0, 0, 0}};
    bitmap_texture* b = bitmap_texture_create_from_pixels(&engine_state.bitmaps, "t", 4, 1, pixels, palette, 2, 1);
    ASSERT_NE(b, nullptr);
    jbm_info* half = jbm_resize(&b->image, 2, 1, nullptr);
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(jbm_pixels(half)[0], 255);
    EXPECT_EQ(half->palette_count, 1);
    EXPECT_EQ(half->file_palette, 0);
    jbm_info_free(half);
    engine_free(half);
}

TEST_F(BitmapTableTest, MissingBitmapIsTriedOnceAndKeepsItsName) {
    polygon* a = add_polygon("gone");
    polygon* b = add_polygon("GONE");
    write_file("here.bmp", picture(2, 2));
    polygon* c = add_polygon("here", 1);
    // The loader's progress caption is engine memory: put back what was there.
    char*& caption = engine_g().progress_caption;
    const std::string before = caption ? caption : "";
    const bool had_caption = caption != nullptr;
    EXPECT_EQ(init_bitmaps_table(nullptr, nullptr), -1);
    if (had_caption) jstrcpy_with_allocating(&caption, before.c_str());
    else caption = static_cast<char*>(engine_free(caption));
    EXPECT_EQ(count_in(error_log(), "Cant find bitmap "), 1);
    EXPECT_EQ(a->texture, nullptr);
    EXPECT_EQ(b->texture, nullptr);
    EXPECT_STREQ(a->bitmap_name, "gone");
    ASSERT_NE(c->texture, nullptr);
    EXPECT_EQ(c->texture->image.transparent_index, 1);
    EXPECT_EQ(c->red, c->texture->image.average_colour.r);
}

TEST_F(BitmapTableTest, UnloadKeepsBitmapsThatAreUsed) {
    bitmap_texture* by_polygon = small("p");
    bitmap_texture* by_animation = small("a");
    bitmap_texture* by_background = small("g");
    bitmap_texture* unused = small("u");
    bitmap_texture* other_index = small("o");
    add_polygon("p")->texture = by_polygon;
    polygon* wrong = add_polygon("o", 4);
    wrong->texture = other_index;
    animation* anim = init_animation();
    anim->views[0] = init_frame_item();
    anim->views[0]->bitmap = by_animation;
    engine_state.animations = anim;
    add_background(by_background);
    const size_t before = registry_size();
    EXPECT_EQ(unload_unused_bitmaps(&engine_state.bitmaps), 2);
    EXPECT_EQ(registry_size(), before - 2);
    std::vector<bitmap_texture*> left;
    for (bitmap_texture* b = engine_state.bitmaps; b; b = b->next) left.push_back(b);
    EXPECT_EQ(left, (std::vector<bitmap_texture*>{by_background, by_animation, by_polygon}));
    EXPECT_EQ(wrong->texture, nullptr) << "a deleted bitmap leaves its polygons";
    (void)unused;
}

TEST_F(BitmapTableTest, DeletingTheFirstBitmapGivesItsPolygonsAColourFill) {
    bitmap_texture* second = small("second");
    bitmap_texture* first = small("first");
    polygon* p = add_polygon("first");
    p->texture = first;
    p->red = 7;
    add_polygon("second")->texture = second;
    EXPECT_EQ(bitmap_texture_delete(&engine_state.bitmaps, first), 0);
    EXPECT_EQ(p->texture, nullptr);
    EXPECT_EQ(p->red, 7);
    EXPECT_EQ(engine_state.bitmaps, second);
    EXPECT_EQ(bitmap_texture_delete(&engine_state.bitmaps, nullptr), -1);
}

TEST_F(BitmapTableTest, SavedBitmapIsAnEightBitBmpWithItsTransparentColourBack) {
    // 4 x 2: A B / B C; B is the transparent colour (index 1 of the file's palette).
    const rgb8 a = exact(248, 0, 0), b = exact(0, 252, 0), c = exact(0, 0, 248);
    write_file("tree.bmp", make_bmp(4, 2, 8, 40, {a, b, a, b, b, c, b, c}));
    bitmap_texture* original = bitmap_texture_create(&engine_state.bitmaps, "tree", 1);
    ASSERT_NE(original, nullptr);
    jbm_info* resampled = jbm_resize(&original->image, 4, 2, nullptr);
    ASSERT_NE(resampled, nullptr);
    fs::create_directory("out");
    for (const jbm_info* image : {static_cast<const jbm_info*>(&original->image), static_cast<const jbm_info*>(resampled)}) {
        bitmap_texture copy{};
        copy.image = *image;
        fs::remove("out/TREE.bmp");
        ASSERT_EQ(engine_save_bitmaps(&copy, "out", 0x08), 0);
        // The file takes the name of the bitmap: its upper-cased file part.
        const bytes saved = read_file_bytes("out/TREE.bmp");
        ASSERT_GT(saved.size(), 54u);
        EXPECT_EQ(get16(saved, 28), 8u);
        EXPECT_EQ(get32(saved, 10), 1078u);
        const std::vector<rgb8> expected = {a, b, a, b, b, c, b, c};
        const size_t row = 4;
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 4; ++x) {
                const size_t e = 54 + 4 * saved[1078 + row * (1 - y) + x];
                const rgb8& want = expected[static_cast<size_t>(y) * 4 + x];
                EXPECT_EQ(saved[e + 2], want.r) << x << "," << y << " file palette " << image->file_palette;
                EXPECT_EQ(saved[e + 1], want.g) << x << "," << y;
                EXPECT_EQ(saved[e], want.b) << x << "," << y;
            }
        }
    }
    EXPECT_FALSE(fs::exists("out/TREE.jpg"));
    jbm_info_free(resampled);
    engine_free(resampled);
}

TEST_F(BitmapTableTest, ReadOnlyLoadsLeaveTheFolderAsItWas) {
    const private_state_home state;
    fs::create_directory("ro");
    write_file("ro/tree.bmp", picture(4, 4));
    std::vector<rgb8> pixels(16 * 8, exact(200, 100, 50));
    write_file("ro/palm.bmp", make_bmp(16, 8, 24, 40, pixels));
    ASSERT_EQ(bmp2jpg("ro/palm.bmp"), 0);
    fs::remove("ro/palm.bmp");
    set_mtime("ro/tree.bmp", 1400000000);
    const auto listing = [] {
        std::vector<std::pair<std::string, long long>> files;
        for (const auto& e : fs::directory_iterator("ro"))
            files.emplace_back(e.path().filename().string(), e.last_write_time().time_since_epoch().count());
        std::sort(files.begin(), files.end());
        return files;
    };
    const auto before = listing();
    engine_state.read_only_bitmaps = 1;
    bitmap_texture* tree = bitmap_texture_create(&engine_state.bitmaps, "ro/tree", -1);
    bitmap_texture* palm = bitmap_texture_create(&engine_state.bitmaps, "ro/palm", 0);
    ASSERT_NE(tree, nullptr);
    ASSERT_NE(palm, nullptr);
    EXPECT_EQ(tree->file_stamp, 1400000000) << "the working copy keeps the source time";
    EXPECT_STREQ(palm->image.name, "RO/PALM");
    EXPECT_EQ(listing(), before);
    for (const auto& e : fs::directory_iterator(plat_state_directory()))
        EXPECT_EQ(e.path().filename().string().rfind("bitmap_scratch", 0), std::string::npos) << "scratch left behind";
}

TEST_F(BitmapTableTest, JpegLoadLeavesItsBmpAndFilterBesideIt) {
    std::vector<rgb8> pixels(16 * 8, exact(200, 100, 50));
    pixels.back() = exact(0, 0, 248);
    write_file("palm.bmp", make_bmp(16, 8, 24, 40, pixels));
    ASSERT_EQ(bmp2jpg("palm.bmp"), 0);
    fs::remove("palm.bmp");
    bitmap_texture* palm = bitmap_texture_create(&engine_state.bitmaps, "palm", 0);
    ASSERT_NE(palm, nullptr);
    EXPECT_TRUE(fs::exists("palm.bmp"));
    EXPECT_TRUE(fs::exists("palm.bmp_swap"));
    ASSERT_TRUE(fs::exists("palm.flt"));
    const bytes filter = read_file_bytes("palm.flt");
    const std::string text(filter.begin(), filter.end());
    EXPECT_EQ(text.substr(text.find('\n')), "\n20000\n8\t 1000000\n6\t 22000\n3\t 24000\n6\t 28000\n8\t 1000000\n");
    EXPECT_FALSE(fs::exists("palm.jbm"));
    EXPECT_FALSE(fs::exists("palm.clr"));
}
