// The animation family through its exports: refusals by table, names, frames added and removed
// over the views, times and speed, duplication, the save flag's box and deleting.
#include <gtest/gtest.h>

#include <vector>

#include "scene_fixture.h"

namespace {

unsigned int times4[4];
DROVIK_HANDLE handles[8];

const family_row animation_rows[] = {
    {"Drovik_animation_get_next", "Drovik_animation_get_next", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_animation_get_next(h)); }},
    {"Drovik_animation_get_name", "Drovik_animation_get_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_animation_get_name(h)); }},
    {"Drovik_animation_set_name", "Drovik_animation_set_name", 0,
     [](DROVIK_HANDLE h) { Drovik_animation_set_name(h, "x"); return 0.0; }},
    {"Drovik_animation_add_bitmap", "Drovik_animation_add_bitmap", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_animation_add_bitmap(h, 1, nullptr, 0)); }},
    {"Drovik_animation_remove_bitmap", "Drovik_animation_remove_bitmap", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_animation_remove_bitmap(h, 1, 0)); }},
    {"Drovik_animation_set_bitmap", "Drovik_animation_set_bitmap", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_animation_set_bitmap(h, 1, 0, nullptr)); }},
    {"Drovik_animation_get_bitmap", "Drovik_animation_get_bitmap", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_animation_get_bitmap(h, 1, 0)); }},
    {"Drovik_animation_get_frame_bitmap_name", "Drovik_animation_get_frame_bitmap_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_animation_get_frame_bitmap_name(h, 1, 0)); }},
    {"Drovik_animation_get_frame_transparent_index", "Drovik_animation_get_frame_transparent_index", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_animation_get_frame_transparent_index(h, 1, 0)); }},
    {"Drovik_animation_get_number_of_frames", "Drovik_animation_was_animation_created_in_the_last_load", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_animation_get_number_of_frames(h)); }},
    {"Drovik_animation_get_number_of_bitmaps", "Drovik_animation_get_number_of_bitmaps", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_animation_get_number_of_bitmaps(h)); }},
    {"Drovik_animation_get_all_bitmaps", "Drovik_animation_get_all_bitmaps", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_animation_get_all_bitmaps(h, handles)); }},
    {"Drovik_animation_set_times", "Drovik_animation_set_times", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_animation_set_times(h, times4, 1)); }},
    {"Drovik_animation_get_times", "Drovik_animation_get_times", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_animation_get_times(h, times4, 1)); }},
    {"Drovik_animation_get_frame_time", "Drovik_animation_get_times", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_animation_get_frame_time(h, 0)); }},
    {"Drovik_animation_set_frame_time", "Drovik_animation_set_times", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_animation_set_frame_time(h, 0, 5)); }},
    {"Drovik_animation_factor_speed", "Drovik_animation_factor_speed", 0,
     [](DROVIK_HANDLE h) { Drovik_animation_factor_speed(h, 2); return 0.0; }},
    {"Drovik_animation_set_speed", "Drovik_animation_set_speed", 0,
     [](DROVIK_HANDLE h) { Drovik_animation_set_speed(h, 2); return 0.0; }},
    {"Drovik_animation_set_save_flag", "Drovik_animation_set_save_flag", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_animation_set_save_flag(h, 1)); }},
    {"Drovik_animation_get_save_flag", "Drovik_animation_get_save_flag", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_animation_get_save_flag(h)); }},
    {"Drovik_animation_is_part_of_the_last_world", "Drovik_animation_is_part_of_the_last_world", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_animation_is_part_of_the_last_world(h)); }},
    {"Drovik_animation_get_number_of_polygons_with_animation", "Drovik_animation_is_part_of_the_last_world", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_animation_get_number_of_polygons_with_animation(h)); }},
    {"Drovik_animation_duplicate", "Drovik_animation_duplicate", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_animation_duplicate(h, "copy")); }},
    {"Drovik_animation_delete", "Drovik_animation_delete", 0,
     [](DROVIK_HANDLE h) { Drovik_animation_delete(h); return 0.0; }},
};

class AnimationFamily : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        for (int i = 0; i < 4; ++i) {
            const std::string name = "frame" + std::to_string(i);
            bitmaps[i] = make_bitmap(name.c_str(), {{uint8_t(40 * i), 0, 0}, {0, 0, 255}}, i == 3 ? 1 : -1);
            ASSERT_NE(bitmaps[i], nullptr);
        }
    }

    DROVIK_HANDLE create(const char* name) {
        DROVIK_HANDLE a = Drovik_animation_create(name);
        EXPECT_NE(a, nullptr);
        return a;
    }

    // The bitmaps of a view's frames, placeholders included.
    std::vector<DROVIK_HANDLE> view(DROVIK_HANDLE a, int v) {
        std::vector<DROVIK_HANDLE> out;
        for (int i = 0; DROVIK_HANDLE b = Drovik_animation_get_bitmap(a, v, i); ++i) out.push_back(b);
        return out;
    }

    std::vector<unsigned> times(DROVIK_HANDLE a) {
        std::vector<unsigned> out(static_cast<size_t>(Drovik_animation_get_number_of_frames(a)));
        EXPECT_EQ(Drovik_animation_get_times(a, out.data(), static_cast<int>(out.size())), 0);
        return out;
    }

    bitmap_texture* bitmaps[4] = {};
};

TEST_F(AnimationFamily, EveryExportRefusesAForeignHandleUnderItsCheckName) {
    expect_rows_refuse_a_foreign_handle(animation_rows);
    foreign_record polygon(kind_polygon);
    DROVIK_HANDLE a = create("walk");
    EXPECT_EQ(Drovik_animation_add_bitmap(a, 1, polygon.handle, 0), -1);
    expect_wrong_kind("Drovik_animation_add_bitmap");
    EXPECT_EQ(Drovik_animation_get_number_of_frames(a), 0);
}

TEST_F(AnimationFamily, NamesAreMadeUniqueAndAnEmptyOneIsRefused) {
    DROVIK_HANDLE first = create("walk");
    DROVIK_HANDLE second = create("walk");
    DROVIK_HANDLE third = create("walk_2");
    EXPECT_STREQ(Drovik_animation_get_name(second), "walk_2");
    EXPECT_STREQ(Drovik_animation_get_name(third), "walk_3");
    EXPECT_EQ(Drovik_animation_get_first_animation(), third);
    EXPECT_EQ(Drovik_animation_get_next(third), second);
    EXPECT_EQ(Drovik_animation_get_handle("WALK_3"), third);
    EXPECT_EQ(Drovik_animation_is_part_of_the_last_world(first), 0);
    EXPECT_EQ(Drovik_animation_get_save_flag(first), 1);

    EXPECT_EQ(Drovik_animation_create(""), nullptr);
    EXPECT_EQ(new_log(), "Drovik_animation_set_name: can set an empty name\n");
    Drovik_animation_set_name(first, nullptr);
    EXPECT_EQ(new_log(), "Drovik_animation_set_name: can set an empty name\n");
    Drovik_animation_set_name(first, "walk");
    EXPECT_STREQ(Drovik_animation_get_name(first), "walk");
    Drovik_animation_set_name(first, "run");
    EXPECT_STREQ(Drovik_animation_get_name(first), "run");

    animation* loaded = init_animation();  // as a world reader makes one
    jstrcpy_with_allocating(&loaded->name, "loaded");
    loaded->next = engine_state.animations;
    engine_state.animations = loaded;
    EXPECT_EQ(Drovik_animation_is_part_of_the_last_world(loaded), 1);
}

TEST_F(AnimationFamily, AddedFramesGoWhereAskedAndEveryViewIsPaddedToTheLongest) {
    DROVIK_HANDLE a = create("walk");
    const struct {
        int view, bitmap, index, placed;
    } steps[] = {
        {1, 0, -1, 0},  // the first frame
        {1, 1, 0, 0},   // at the head
        {1, 2, 1, 1},   // in the middle
        {1, 3, 99, 3},  // past the end: appended
        {3, 0, -1, 0},  // another view
        {3, 1, 5, 1},   // past its real frames, before its padding
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.index);
        EXPECT_EQ(Drovik_animation_add_bitmap(a, s.view, bitmaps[s.bitmap], s.index), s.placed);
    }
    EXPECT_EQ(Drovik_animation_add_bitmap(a, 6, bitmaps[0], 0), -1);
    EXPECT_EQ(Drovik_animation_add_bitmap(a, 0, bitmaps[0], 0), -1);

    EXPECT_EQ(view(a, 1), (std::vector<DROVIK_HANDLE>{bitmaps[1], bitmaps[2], bitmaps[0], bitmaps[3]}));
    EXPECT_EQ(view(a, 3), (std::vector<DROVIK_HANDLE>{bitmaps[0], bitmaps[1], bitmaps[1], bitmaps[1]}));
    EXPECT_TRUE(view(a, 2).empty());
    EXPECT_EQ(Drovik_animation_get_number_of_frames(a), 4);
    EXPECT_EQ(Drovik_animation_get_number_of_bitmaps(a), 8);
    EXPECT_EQ(times(a), (std::vector<unsigned>{50, 50, 50, 50}));
    EXPECT_STREQ(Drovik_animation_get_frame_bitmap_name(a, 1, 3), "FRAME3");
    EXPECT_EQ(Drovik_animation_get_frame_transparent_index(a, 1, 3), 1);
    EXPECT_EQ(Drovik_animation_get_frame_bitmap_name(a, 2, 0), nullptr);
    EXPECT_EQ(Drovik_animation_get_frame_transparent_index(a, 1, 4), 0);

    DROVIK_HANDLE all[8] = {};
    EXPECT_EQ(Drovik_animation_get_all_bitmaps(a, all), 8);
    EXPECT_EQ(all[0], bitmaps[1]);
    EXPECT_EQ(all[4], bitmaps[0]);

    // A padding frame given a bitmap becomes real; the padding after it repeats it.
    EXPECT_EQ(Drovik_animation_set_bitmap(a, 3, 2, bitmaps[2]), 0);
    EXPECT_EQ(view(a, 3), (std::vector<DROVIK_HANDLE>{bitmaps[0], bitmaps[1], bitmaps[2], bitmaps[2]}));
    EXPECT_EQ(Drovik_animation_set_bitmap(a, 3, 4, bitmaps[2]), -1);
}

TEST_F(AnimationFamily, RemovingAFrameShortensEveryView) {
    DROVIK_HANDLE a = create("walk");
    for (int i = 0; i < 3; ++i) Drovik_animation_add_bitmap(a, 1, bitmaps[i], -1);
    Drovik_animation_add_bitmap(a, 5, bitmaps[3], -1);
    EXPECT_EQ(Drovik_animation_remove_bitmap(a, 1, 1), 0);
    EXPECT_EQ(view(a, 1), (std::vector<DROVIK_HANDLE>{bitmaps[0], bitmaps[2]}));
    EXPECT_EQ(view(a, 5), (std::vector<DROVIK_HANDLE>{bitmaps[3], bitmaps[3]}));
    EXPECT_EQ(Drovik_animation_get_number_of_frames(a), 2);
    EXPECT_EQ(Drovik_animation_remove_bitmap(a, 1, 2), -1);
    EXPECT_EQ(Drovik_animation_remove_bitmap(a, 2, 0), -1);
    EXPECT_EQ(Drovik_animation_remove_bitmap(a, 1, -1), -1);
}

TEST_F(AnimationFamily, TimesBeyondTheFramesOrWithoutAnArrayAreRefusedAndChangeNothing) {
    DROVIK_HANDLE a = create("walk");
    for (int i = 0; i < 3; ++i) Drovik_animation_add_bitmap(a, 1, bitmaps[i], -1);
    const unsigned set[4] = {7, 8, 9, 10};
    EXPECT_EQ(Drovik_animation_set_times(a, set, 4), -1);
    EXPECT_EQ(new_log(), "Drovik_animation_set_times: times array is bigger than the number of frames !!\n");
    EXPECT_EQ(Drovik_animation_set_times(a, nullptr, 2), -1);
    EXPECT_EQ(Drovik_animation_set_times(a, set, -1), -1);
    EXPECT_EQ(times(a), (std::vector<unsigned>{50, 50, 50}));

    EXPECT_EQ(Drovik_animation_set_times(a, set, 2), 0);
    EXPECT_EQ(times(a), (std::vector<unsigned>{7, 8, 50}));
    unsigned got[4] = {1, 1, 1, 1};
    EXPECT_EQ(Drovik_animation_get_times(a, got, 4), -1);
    EXPECT_EQ(new_log(), "Drovik_animation_get_times: times array is bigger than the number of frames !!\n");
    EXPECT_EQ(Drovik_animation_get_times(a, nullptr, 1), -1);
    EXPECT_EQ(Drovik_animation_get_times(a, got, -1), -1);
    EXPECT_EQ(got[0], 1u);

    EXPECT_EQ(Drovik_animation_get_frame_time(a, -1), 0u);
    EXPECT_EQ(Drovik_animation_get_frame_time(a, 3), 0u);
    EXPECT_EQ(Drovik_animation_get_frame_time(a, 1), 8u);
    EXPECT_EQ(Drovik_animation_set_frame_time(a, 3, 5), -1);
    EXPECT_EQ(Drovik_animation_set_frame_time(a, 2, 1), 0);
    EXPECT_EQ(times(a), (std::vector<unsigned>{7, 8, 1}));
}

TEST_F(AnimationFamily, SpeedScalesTheTimesButNeverBelowOneHundredth) {
    DROVIK_HANDLE a = create("walk");
    for (int i = 0; i < 2; ++i) Drovik_animation_add_bitmap(a, 1, bitmaps[i], -1);
    const unsigned set[2] = {1, 10};
    Drovik_animation_set_times(a, set, 2);
    Drovik_animation_factor_speed(a, 0.4);
    EXPECT_EQ(times(a), (std::vector<unsigned>{1, 4}));
    Drovik_animation_factor_speed(a, 0);
    EXPECT_EQ(new_log(), "animation_factor_speed: factor is <=0 !!!\n");
    EXPECT_EQ(times(a), (std::vector<unsigned>{1, 4}));

    DROVIK_HANDLE b = create("run");
    Drovik_animation_add_bitmap(b, 1, bitmaps[0], -1);
    Drovik_animation_set_speed(b, 2);
    EXPECT_EQ(times(b), (std::vector<unsigned>{100}));
    Drovik_animation_set_speed(b, 2);
    EXPECT_EQ(times(b), (std::vector<unsigned>{100}));
    Drovik_animation_set_speed(b, -1);
    EXPECT_EQ(new_log(), "animation_set_speed: speed is <=0 !!!\n");
}

TEST_F(AnimationFamily, ADuplicateOfManyFramesKeepsEveryTime) {
    DROVIK_HANDLE a = create("long");
    const int frames = 1200;
    std::vector<unsigned> set(frames);
    for (int i = 0; i < frames; ++i) {
        Drovik_animation_add_bitmap(a, 1, bitmaps[i % 3], -1);
        set[static_cast<size_t>(i)] = static_cast<unsigned>(i + 1);
    }
    Drovik_animation_add_bitmap(a, 4, bitmaps[3], -1);
    ASSERT_EQ(Drovik_animation_set_times(a, set.data(), frames), 0);
    DROVIK_HANDLE copy = Drovik_animation_duplicate(a, "long");
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(Drovik_animation_get_name(copy), "long_2");
    EXPECT_EQ(times(copy), set);
    EXPECT_EQ(view(copy, 1), view(a, 1));
    EXPECT_EQ(view(copy, 4), view(a, 4));
    EXPECT_EQ(Drovik_animation_is_part_of_the_last_world(copy), 0);
}

TEST_F(AnimationFamily, SaveFlagOtherThanYesOrNoShowsABoxAndGivesItsAnswer) {
    DROVIK_HANDLE a = create("walk");
    EXPECT_EQ(Drovik_animation_set_save_flag(a, 0), 0);
    EXPECT_EQ(Drovik_animation_set_save_flag(a, 2), 1);
    EXPECT_EQ(one_box(), "Drovik_animation_set_save_flag: bad arguments\n");
    EXPECT_EQ(Drovik_animation_get_save_flag(a), 0);
}

TEST_F(AnimationFamily, DeletedAnimationLeavesItsPolygonsShowingTheirCurrentFrame) {
    DROVIK_HANDLE a = create("walk");
    for (int i = 0; i < 3; ++i) Drovik_animation_add_bitmap(a, 1, bitmaps[i], -1);
    polygon* shown = add_square(0, 0);
    polygon* fresh = add_square(2, 0);
    for (polygon* p : {shown, fresh}) {
        p->anim = static_cast<animation*>(a);
        p->bitmap_is_animation = 1;
        p->animation_running = 1;
        p->animation_frame = 2;
    }
    shown->texture = bitmaps[1];  // the view last drawn
    EXPECT_EQ(Drovik_animation_get_number_of_polygons_with_animation(a), 2);

    Drovik_animation_delete(a);
    EXPECT_EQ(Drovik_animation_get_first_animation(), nullptr);
    EXPECT_EQ(shown->anim, nullptr);
    EXPECT_EQ(shown->texture, bitmaps[1]);
    EXPECT_STREQ(shown->bitmap_name, "FRAME1");
    EXPECT_EQ(fresh->texture, bitmaps[2]);
    EXPECT_EQ(fresh->bitmap_is_animation, 0);
    advance_and_render();
    EXPECT_EQ(fresh->texture, bitmaps[2]);
}

TEST_F(AnimationFamily, AnAnimationNotInTheListIsLoggedAndNotFreed) {
    animation* stray = init_animation();
    Drovik_animation_delete(stray);
    EXPECT_EQ(new_log(), "Drovik_animation_delete: an error occurred\n");
    EXPECT_EQ(Drovik_animation_is_animation(stray, nullptr), 1);
    animation_delete(stray);
}

TEST_F(AnimationFamily, AnUnloadedBitmapLeavesItsFramesEmpty) {
    DROVIK_HANDLE a = create("walk");
    Drovik_animation_add_bitmap(a, 1, bitmaps[0], -1);
    Drovik_animation_add_bitmap(a, 1, bitmaps[1], -1);
    Drovik_animation_add_bitmap(a, 2, bitmaps[1], -1);
    polygon* p = add_square(0, 0);
    p->anim = static_cast<animation*>(a);
    p->bitmap_is_animation = 1;
    p->texture = bitmaps[0];
    ASSERT_EQ(bitmap_texture_delete(&engine_state.bitmaps, bitmaps[1]), 0);
    EXPECT_EQ(view(a, 1), (std::vector<DROVIK_HANDLE>{bitmaps[0]}));
    EXPECT_STREQ(Drovik_animation_get_frame_bitmap_name(a, 1, 1), "FRAME1");
    advance_and_render();
    advance_and_render();
}

}  // namespace
