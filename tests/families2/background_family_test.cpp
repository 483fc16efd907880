// The background family through its exports: refusals by table, defaults and names, the current
// background, the save flag's box, deleting, and a background whose bitmap is unloaded.
#include <gtest/gtest.h>

#include "render/software/draw_buffer.h"
#include "scene_fixture.h"

namespace {

const family_row background_rows[] = {
    {"Drovik_background_get_next", "Drovik_background_get_next", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_background_get_next(h)); }},
    {"Drovik_background_use", "Drovik_background_use", 0,
     [](DROVIK_HANDLE h) { Drovik_background_use(h); return 0.0; }},
    {"Drovik_background_set_distance", "Drovik_background_set_distance", 0,
     [](DROVIK_HANDLE h) { Drovik_background_set_distance(h, 5); return 0.0; }},
    {"Drovik_background_get_distance", "Drovik_background_get_distance", 0,
     [](DROVIK_HANDLE h) { return Drovik_background_get_distance(h); }},
    {"Drovik_background_set_bottom", "Drovik_background_set_bottom", 0,
     [](DROVIK_HANDLE h) { Drovik_background_set_bottom(h, 5); return 0.0; }},
    {"Drovik_background_get_bottom", "Drovik_background_set_bottom", 0,
     [](DROVIK_HANDLE h) { return Drovik_background_get_bottom(h); }},
    {"Drovik_background_set_bottom_intensity", "Drovik_background_set_bottom_intensity", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_background_set_bottom_intensity(h, 5)); }},
    {"Drovik_background_get_bottom_intensity", "Drovik_background_get_bottom_intensity", 0,
     [](DROVIK_HANDLE h) { return Drovik_background_get_bottom_intensity(h); }},
    {"Drovik_background_set_intensity_step", "Drovik_background_set_intensity_step", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_background_set_intensity_step(h, 5)); }},
    {"Drovik_background_get_intensity_step", "Drovik_background_get_intensity_step", 0,
     [](DROVIK_HANDLE h) { return Drovik_background_get_intensity_step(h); }},
    {"Drovik_background_set_save_flag", "Drovik_background_set_save_flag", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_background_set_save_flag(h, 1)); }},
    {"Drovik_background_get_save_flag", "Drovik_background_get_save_flag", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_background_get_save_flag(h)); }},
    {"Drovik_background_set_name", "Drovik_background_set_name", 0,
     [](DROVIK_HANDLE h) { Drovik_background_set_name(h, "x"); return 0.0; }},
    {"Drovik_background_get_name", "Drovik_background_get_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_background_get_name(h)); }},
    {"Drovik_background_set_bitmap", "Drovik_background_set_bitmap", 0,
     [](DROVIK_HANDLE h) { Drovik_background_set_bitmap(h, nullptr); return 0.0; }},
    {"Drovik_background_get_bitmap", "Drovik_background_get_bitmap", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_background_get_bitmap(h)); }},
    {"Drovik_background_get_bitmap_name", "Drovik_background_get_bitmap_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_background_get_bitmap_name(h)); }},
    {"Drovik_background_delete", "Drovik_background_delete", 0,
     [](DROVIK_HANDLE h) { Drovik_background_delete(h); return 0.0; }},
};

class BackgroundFamily : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        sky_bitmap = make_bitmap("pics/sky", {{10, 20, 30}, {40, 50, 60}});
        ASSERT_NE(sky_bitmap, nullptr);
    }

    DROVIK_HANDLE create(const char* name) {
        DROVIK_HANDLE b = Drovik_background_create(name, sky_bitmap);
        EXPECT_NE(b, nullptr);
        return b;
    }

    bitmap_texture* sky_bitmap = nullptr;
};

TEST_F(BackgroundFamily, EveryExportRefusesAForeignHandleUnderItsCheckName) {
    expect_rows_refuse_a_foreign_handle(background_rows);
    foreign_record polygon(kind_polygon);
    EXPECT_EQ(Drovik_background_create("sky", polygon.handle), nullptr);
    expect_wrong_kind("Drovik_background_create");
    DROVIK_HANDLE sky = create("sky");
    Drovik_background_set_bitmap(sky, polygon.handle);
    expect_wrong_kind("Drovik_background_set_bitmap");
    EXPECT_EQ(Drovik_background_get_bitmap(sky), sky_bitmap);
}

TEST_F(BackgroundFamily, NewBackgroundsHaveTheDefaultsAndUniqueNames) {
    DROVIK_HANDLE first = create("sky");
    DROVIK_HANDLE second = create("sky");
    EXPECT_STREQ(Drovik_background_get_name(second), "sky_2");
    EXPECT_EQ(Drovik_background_get_first_background(), second);
    EXPECT_EQ(Drovik_background_get_next(second), first);
    EXPECT_EQ(Drovik_background_get_handle("sky_2"), second);
    EXPECT_EQ(Drovik_background_get_handle("SKY_2"), nullptr);
    EXPECT_EQ(Drovik_background_get_distance(first), 1000000);
    EXPECT_EQ(Drovik_background_get_bottom(first), 0);
    EXPECT_EQ(Drovik_background_get_bottom_intensity(first), 100);
    EXPECT_EQ(Drovik_background_get_intensity_step(first), 0);
    EXPECT_EQ(Drovik_background_get_save_flag(first), 1);
    EXPECT_EQ(Drovik_background_get_bitmap(first), sky_bitmap);
    EXPECT_STREQ(Drovik_background_get_bitmap_name(first), "PICS/SKY");

    Drovik_background_set_bottom(first, -20);
    EXPECT_EQ(Drovik_background_set_bottom_intensity(first, 80), 0);
    EXPECT_EQ(Drovik_background_set_intensity_step(first, -2), 0);
    EXPECT_EQ(Drovik_background_get_bottom(first), -20);
    EXPECT_EQ(Drovik_background_get_bottom_intensity(first), 80);
    EXPECT_EQ(Drovik_background_get_intensity_step(first), -2);
    Drovik_background_set_name(first, "sky_2");  // copied as given
    EXPECT_STREQ(Drovik_background_get_name(first), "sky_2");
}

TEST_F(BackgroundFamily, UseNullLeavesNoBackgroundAndAForeignHandleKeepsTheCurrentOne) {
    DROVIK_HANDLE sky = create("sky");
    Drovik_background_use(sky);
    EXPECT_EQ(Drovik_background_get_current_background(), sky);
    foreign_record camera(kind_camera);
    Drovik_background_use(camera.handle);
    EXPECT_EQ(Drovik_background_get_current_background(), sky);
    new_boxes();
    Drovik_background_use(nullptr);
    EXPECT_EQ(Drovik_background_get_current_background(), nullptr);
    EXPECT_TRUE(new_boxes().empty());
}

TEST_F(BackgroundFamily, SaveFlagOtherThanYesOrNoShowsABoxAndGivesItsAnswer) {
    DROVIK_HANDLE sky = create("sky");
    EXPECT_EQ(Drovik_background_set_save_flag(sky, 0), 0);
    EXPECT_EQ(Drovik_background_set_save_flag(sky, 2), 1);  // the box's OK
    EXPECT_EQ(one_box(), "Drovik_background_set_save_flag: yes_no_flag is not YES and not NO\n");
    EXPECT_EQ(Drovik_background_get_save_flag(sky), 0);
}

TEST_F(BackgroundFamily, DeletingTheCurrentBackgroundLeavesNone) {
    DROVIK_HANDLE first = create("sky");
    DROVIK_HANDLE second = create("dusk");
    Drovik_background_use(second);
    Drovik_background_delete(second);
    EXPECT_EQ(Drovik_background_get_current_background(), nullptr);
    EXPECT_EQ(Drovik_background_get_first_background(), first);
    Drovik_background_use(first);
    Drovik_background_delete_all();
    EXPECT_EQ(Drovik_background_get_current_background(), nullptr);
    EXPECT_EQ(Drovik_background_get_first_background(), nullptr);
}

TEST_F(BackgroundFamily, ABackgroundNotInTheListIsLoggedAndNotFreed) {
    background* elsewhere = nullptr;
    background* stray = background_create(&elsewhere, "stray", sky_bitmap);
    Drovik_background_delete(stray);
    EXPECT_EQ(new_log(), "Drovik_background_delete: Couldnt find the given background inside the engine\n");
    EXPECT_EQ(Drovik_background_is_background(stray, nullptr), 1);
    background_delete_all(&elsewhere);
}

TEST_F(BackgroundFamily, AnUnloadedBitmapLeavesTheSkyWithoutAPictureButItsName) {
    DROVIK_HANDLE sky = create("sky");
    Drovik_background_use(sky);
    ASSERT_EQ(bitmap_texture_delete(&engine_state.bitmaps, sky_bitmap), 0);
    EXPECT_EQ(Drovik_background_get_bitmap(sky), nullptr);
    EXPECT_STREQ(Drovik_background_get_bitmap_name(sky), "PICS/SKY");
    draw_buffer buffer;
    init_draw_buffer(&buffer, 2);
    ASSERT_EQ(set_buffer_dimentions(&buffer, 32, 32), 0);
    camera* eye = static_cast<camera*>(Drovik_camera_create("eye"));
    EXPECT_EQ(engine_draw_world_background(static_cast<background*>(sky), &buffer, 0x1234, eye), -1);
    free_draw_buffer(&buffer);
}

}  // namespace
