// Bitmaps on windows: files and built-in pictures as surfaces, pasted into memory windows.
#include <gtest/gtest.h>

#include "bitmap_fixture.h"
#include "render/images/genwin.h"
#include "world/colour.h"

TEST_F(BitmapTest, BitmapFilePastesIntoAWindowInsetByTheMargin) {
    const rgb8 a = exact(248, 0, 0), b = exact(0, 0, 248);
    write_file("two.bmp", make_bmp(2, 1, 8, 124, {a, b}));
    plat_surface* s = genwin_load_bitmap_file("two.bmp");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->bits[0], rgb_to_pixel(a.r, a.g, a.b));
    EXPECT_EQ(s->bits[1], rgb_to_pixel(b.r, b.g, b.b));
    plat_window* w = plat_window_create_memory(6, 3);
    ASSERT_EQ(genwin_paste_bitmap(w, s, 1), 0);
    EXPECT_EQ(plat_window_pixel(w, 0, 0), 0) << "the margin stays";
    EXPECT_EQ(plat_window_pixel(w, 1, 1), rgb_to_pixel(a.r, a.g, a.b));
    EXPECT_EQ(plat_window_pixel(w, 4, 1), rgb_to_pixel(b.r, b.g, b.b));
    plat_surface* target = plat_surface_create(4, 2);
    ASSERT_EQ(genwin_copy_bitmap_on_dc(target, s, 2, 1, 0, 0), 0);
    EXPECT_EQ(target->bits[target->pitch_pixels + 3], rgb_to_pixel(b.r, b.g, b.b));
    plat_surface_destroy(target);
    plat_surface_destroy(s);
    plat_window_destroy(w);
    EXPECT_EQ(genwin_load_bitmap_file("missing.bmp"), nullptr);
}

TEST_F(BitmapTest, LogoIsBuiltInAndOtherIdsAreRefused) {
    plat_surface* logo = genwin_get_resource_bitmap(1000);
    ASSERT_NE(logo, nullptr);
    EXPECT_GT(logo->width, 0);
    plat_surface_destroy(logo);
    EXPECT_EQ(genwin_get_resource_bitmap(1001), nullptr);
    EXPECT_NE(error_log().find("genwin_get_resource_bitmap: coudn't load specified bitmap. Probably bad id"),
              std::string::npos);
    plat_window* w = plat_window_create_memory(40, 20);
    EXPECT_EQ(j_paste_bitmap(w, 1000, 0), 0);
    EXPECT_EQ(j_paste_bitmap(w, 7, 0), -1);
    plat_window_destroy(w);
}
