// The demo world's bitmaps: power-of-two textures in the promised formats that the engine loads.
#include <gtest/gtest.h>

#include "bitmap_fixture.h"
#include "demo_world_bitmaps.h"
#include "render/images/bitmap_texture.h"
#include "world/engine_state.h"

TEST_F(BitmapTest, DemoWorldBitmapsLoadAsPowerOfTwoTextures) {
    ASSERT_TRUE(WriteDemoWorldBitmaps("demo"));
    const std::string folder = "demo/world/bitmaps/";
    const struct {
        const char* name;
        const char* file;
        int bits;  // 0 for a JPEG
        int width, height;
    } expected[] = {{"track", "track.bmp", 24, 64, 64},   {"tree", "tree.bmp", 8, 64, 128},
                    {"palm", "palm.bmp", 8, 64, 128},     {"house", "house.bmp", 24, 128, 64},
                    {"grass", "grass.jpg", 0, 64, 64},    {"ground", "ground.jpg", 0, 128, 128},
                    {"sky", "sky.bmp", 8, 1024, 256}};
    engine_state.power_of_two_bitmaps = 1;
    engine_state.power_of_two_rounding = 32;
    for (const auto& e : expected) {
        const bytes file = read_file_bytes(folder + e.file);
        ASSERT_GT(file.size(), 54u) << e.file;
        if (e.bits) {
            EXPECT_EQ(get32(file, 14), 40u) << e.file;
            EXPECT_EQ(get16(file, 28), static_cast<uint32_t>(e.bits)) << e.file;
        } else {
            EXPECT_EQ(file[0], 0xFF);
            EXPECT_EQ(file[1], 0xD8);
        }
        bitmap_texture* b = bitmap_texture_create(&engine_state.bitmaps, (folder + e.name).c_str(), -1);
        ASSERT_NE(b, nullptr) << e.name;
        EXPECT_EQ(b->image.width, e.width) << e.name;
        EXPECT_EQ(b->image.height, e.height) << e.name;
    }
    // Tree and palm stand on the key colour: their top-left pixel.
    for (const char* name : {"tree", "palm"}) {
        bitmap_texture* b = find_bitmap_texture(engine_state.bitmaps, name, -1);
        ASSERT_NE(b, nullptr);
        const rgb8 corner = b->image.palette[b->image.image[8]];
        EXPECT_EQ(corner.r, 248) << name;
        EXPECT_EQ(corner.g, 0) << name;
        EXPECT_EQ(corner.b, 248) << name;
    }
}
