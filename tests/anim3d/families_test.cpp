// The 3D animation, 3D sequence, point and entity families and the object's 3D exports, through
// the exports: refusals by table, listing, playing, deleting and names into buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "anim3d_fixture.h"
#include "drovik.h"
#include "dynamic_from_file.h"
#include "platform/msgbox.h"
#include "world/light.h"
#include "world/track.h"

namespace {

using namespace anim3d_test;

const std::string wrong_kind_log =
    "Fatal, got a different kind of handle\nCheck if you accidantlly gave the wrong handle !\n";
const std::string wrong_kind_box =
    "Fatal, got a different kind of handle\nCheck if you accidantlly gave the wrong handle !";
const std::string wrong_kind_object_box =
    "Fatal, It is not an object handle !.Got a different kind of handle\nCheck if you accidantlly gave the wrong "
    "handle !";

double as_number(const void* handle) { return handle ? 1 : 0; }

class Families : public Anim3dTest {
protected:
    void SetUp() override {
        Anim3dTest::SetUp();
        model("walker.md2");
        ASSERT_EQ(load("walker.md2"), 0);
        walker = Drovik_3D_animation_get_first();
        ASSERT_NE(walker, nullptr);
        run = Drovik_3D_sequence_get_first(walker);
        jump = Drovik_3D_sequence_get_next(run);
        ASSERT_NE(jump, nullptr);
        object = dynamic_create_from_file((folder / "walker.md2").string().c_str());
        ASSERT_NE(object, nullptr);
        new_errors();
        plat_message_box_clear_records();
    }

    std::vector<plat_box_record> new_boxes() {
        std::vector<plat_box_record> boxes = plat_message_box_records();
        plat_message_box_clear_records();
        return boxes;
    }

    void expect_refused_as(const std::string& check_name, const std::string& box = wrong_kind_box) {
        EXPECT_EQ(new_errors(), check_name + ": " + wrong_kind_log);
        const std::vector<plat_box_record> boxes = new_boxes();
        ASSERT_EQ(boxes.size(), 1u) << check_name;
        EXPECT_EQ(boxes[0].caption, check_name);
        EXPECT_EQ(boxes[0].text, box);
    }

    DROVIK_HANDLE walker = nullptr;
    DROVIK_HANDLE run = nullptr;
    DROVIK_HANDLE jump = nullptr;
    dynamic_object* object = nullptr;
};

// Each export over one handle, the name its check prints and its result when refused.
struct refusal_row {
    const char* check_name;
    double failure;
    double (*call)(DROVIK_HANDLE);
    bool object_check = false;
};

double out2[2], out3[3];
unsigned char rgb[3] = {1, 2, 3};

const refusal_row refusal_rows[] = {
    {"Drovik_3D_animation_get_next_anim3d", 0, [](DROVIK_HANDLE h) { return as_number(Drovik_3D_animation_get_next(h)); }},
    {"Drovik_3D_animation_get_name", 0, [](DROVIK_HANDLE h) { return as_number(Drovik_3D_animation_get_name(h)); }},
    {"Drovik_3D_animation_delete", -1, [](DROVIK_HANDLE h) { return double(Drovik_3D_animation_delete(h)); }},
    {"Drovik_3D_sequence_get_first", 0, [](DROVIK_HANDLE h) { return as_number(Drovik_3D_sequence_get_first(h)); }},
    {"Drovik_3D_sequence_delete_all", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_3D_sequence_get_using_name(h, "run")); }},
    {"Drovik_3D_sequence_get_next_seq3d", 0, [](DROVIK_HANDLE h) { return as_number(Drovik_3D_sequence_get_next(h)); }},
    {"Drovik_3D_sequence_get_name", 0, [](DROVIK_HANDLE h) { return as_number(Drovik_3D_sequence_get_name(h)); }},
    {"Drovik_3D_sequence_get_next_seq3d", 0, [](DROVIK_HANDLE h) { return Drovik_3D_sequence_get_speed(h); }},
    {"Drovik_3D_sequence_set_speed", 0, [](DROVIK_HANDLE h) { return double(Drovik_3D_sequence_set_speed(h, 2)); }},
    {"Drovik_3D_sequence_get_number_of_frames", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_3D_sequence_get_number_of_frames(h)); }},
    {"Drovik_3D_sequence_get_frame_duration", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_3D_sequence_get_frame_duration(h, 0)); }},
    {"Drovik_3D_sequence_get_frame_duration", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_3D_sequence_set_frame_duration(h, 0, 5)); }},
    {"Drovik_3D_sequence_is_cyclic", 0, [](DROVIK_HANDLE h) { return double(Drovik_3D_sequence_is_cyclic(h)); }},
    {"Drovik_3D_sequence_is_cyclic", 0, [](DROVIK_HANDLE h) { return double(Drovik_3D_sequence_set_cyclic(h, 1)); }},
    {"Drovik_3D_sequence_set_current_frame", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_3D_sequence_set_current_frame(h, 1)); }},
    {"Drovik_3D_sequence_get_current_frame", 0, [](DROVIK_HANDLE h) { return Drovik_3D_sequence_get_current_frame(h); }},
    {"Drovik_3D_sequence_pause", 0, [](DROVIK_HANDLE h) { return double(Drovik_3D_sequence_pause(h)); }},
    {"Drovik_3D_sequence_play", 0, [](DROVIK_HANDLE h) { return double(Drovik_3D_sequence_play(h)); }},
    {"Drovik_3D_sequence_is_paused", 0, [](DROVIK_HANDLE h) { return double(Drovik_3D_sequence_is_paused(h)); }},
    {"Drovik_3D_sequence_backwards_play", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_3D_sequence_backwards_play(h, 1)); }},
    {"Drovik_3D_sequence_is_backwards", 0, [](DROVIK_HANDLE h) { return double(Drovik_3D_sequence_is_backwards(h)); }},
    {"Drovik_3D_sequence_is_backwards", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_3D_sequence_get_number_of_laps(h)); }},
    {"Drovik_point_get_next_point", 0, [](DROVIK_HANDLE h) { return as_number(Drovik_point_get_next_point(h)); }},
    {"Drovik_point_get_xyz", 0, [](DROVIK_HANDLE h) { return double(Drovik_point_get_xyz(h, out3)); }},
    {"Drovik_point_set_xyz", 0, [](DROVIK_HANDLE h) { return double(Drovik_point_set_xyz(h, out3)); }},
    {"Drovik_point_get_bitmap_xy", 0, [](DROVIK_HANDLE h) { return double(Drovik_point_get_bitmap_xy(h, out2)); }},
    {"Drovik_point_set_bitmap_xy ", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_point_set_bitmap_xy(h, nullptr, out2)); }},
    {"Drovik_point_get_rgb", 0, [](DROVIK_HANDLE h) { return double(Drovik_point_get_rgb(h, rgb)); }},
    {"Drovik_point_set_rgb", 0, [](DROVIK_HANDLE h) { return double(Drovik_point_set_rgb(h, nullptr, rgb)); }},
    {"Drovik_point_get_brightness", 0, [](DROVIK_HANDLE h) { return Drovik_point_get_brightness(h); }},
    {"Drovik_point_set_brightness", 0, [](DROVIK_HANDLE h) { return double(Drovik_point_set_brightness(h, 50)); }},
    {"Drovik_object_get_3D_animation", 0, [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_3D_animation(h)); },
     true},
    {"Drovik_object_set_3D_animation", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_3D_animation(h, Drovik_3D_animation_get_first())); }, true},
    {"Drovik_object_set_3D_sequence", 0, [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_3D_sequence(h)); },
     true},
};

TEST_F(Families, AHandleOfAnotherKindIsRefusedUnderTheCheckName) {
    // A light is none of the kinds these exports take.
    light* lamp = light_create(&engine_state.lights, "lamp");
    for (const refusal_row& row : refusal_rows) {
        EXPECT_EQ(row.call(lamp), row.failure) << row.check_name;
        expect_refused_as(row.check_name, row.object_check ? wrong_kind_object_box : wrong_kind_box);
    }
}

TEST_F(Families, TheObjectsSequenceExportsCheckBothHandlesUnderOneName) {
    EXPECT_EQ(Drovik_object_set_3D_sequence(object, walker, 0), -1);
    expect_refused_as("Drovik_object_set_3D_sequence");
    EXPECT_EQ(Drovik_object_replace_3D_sequence_when_finished(walker, run, 200), 0);
    expect_refused_as("Drovik_object_set_3D_sequence", wrong_kind_object_box);
    EXPECT_EQ(Drovik_object_set_3D_sequence(object, run, -1), -1) << "a negative transition time";
    EXPECT_EQ(Drovik_3D_sequence_duplicate(walker, walker, "copy"), nullptr);
    expect_refused_as("Drovik_3D_sequence_duplicate");
    EXPECT_EQ(Drovik_3D_sequence_delete(run, run), -1);
    expect_refused_as("Drovik_3D_sequence_delete_all");
}

TEST_F(Families, AnimationsAndSequencesAreListedAndFoundByName) {
    EXPECT_STREQ(Drovik_3D_animation_get_name(walker), "walker");
    EXPECT_EQ(Drovik_3D_animation_get_using_name("WALKER"), walker);
    EXPECT_EQ(Drovik_3D_animation_get_using_name("runner"), nullptr);
    EXPECT_EQ(Drovik_3D_animation_get_next(walker), nullptr);
    EXPECT_STREQ(Drovik_3D_sequence_get_name(run), "run");
    EXPECT_STREQ(Drovik_3D_sequence_get_name(jump), "jump");
    EXPECT_EQ(Drovik_3D_sequence_get_next(jump), nullptr);
    EXPECT_EQ(Drovik_3D_sequence_get_using_name(walker, "Jump"), jump);
    EXPECT_EQ(Drovik_3D_sequence_get_number_of_frames(run), 6);
    EXPECT_EQ(Drovik_3D_sequence_get_number_of_frames(jump), 4);
    EXPECT_EQ(Drovik_3D_sequence_get_frame_duration(jump, 3), 100);
    EXPECT_EQ(Drovik_3D_sequence_get_frame_duration(jump, 4), -1);
    EXPECT_EQ(Drovik_3D_animation_get_using_name(nullptr), nullptr);
    EXPECT_EQ(new_errors(), "Drovik_3D_animation_get_using_name: got a NULL string\n");
}

TEST_F(Families, SequencesArePlayedPausedReversedAndTimed) {
    EXPECT_EQ(Drovik_3D_sequence_set_current_frame(jump, 1.5), 0);
    EXPECT_EQ(Drovik_3D_sequence_set_current_frame(jump, 4.5), -1);
    EXPECT_EQ(Drovik_3D_sequence_backwards_play(jump, 1), 0);
    EXPECT_EQ(Drovik_3D_sequence_backwards_play(jump, 1), 0);
    EXPECT_DOUBLE_EQ(Drovik_3D_sequence_get_current_frame(jump), 2.5) << "mirrored once";
    EXPECT_EQ(Drovik_3D_sequence_is_backwards(jump), 1);
    EXPECT_EQ(Drovik_3D_sequence_pause(jump), 0);
    clock_now += 1000;
    EXPECT_DOUBLE_EQ(Drovik_3D_sequence_get_current_frame(jump), 2.5);
    EXPECT_EQ(Drovik_3D_sequence_is_paused(jump), 1);
    EXPECT_EQ(Drovik_3D_sequence_play(jump), 0);
    EXPECT_EQ(Drovik_3D_sequence_is_paused(jump), 0);

    EXPECT_EQ(Drovik_3D_sequence_set_frame_duration(run, 0, -5), -1);
    EXPECT_EQ(Drovik_3D_sequence_set_frame_duration(run, 0, 300), 0);
    EXPECT_EQ(Drovik_3D_sequence_get_frame_duration(run, 0), 300);
    EXPECT_EQ(Drovik_3D_sequence_set_speed(run, 2), 0);
    EXPECT_EQ(Drovik_3D_sequence_set_speed(run, -1), 0);
    EXPECT_EQ(Drovik_3D_sequence_get_speed(run), 2);
    EXPECT_EQ(Drovik_3D_sequence_set_cyclic(run, 0), 0);
    EXPECT_EQ(Drovik_3D_sequence_is_cyclic(run), 0);
    EXPECT_EQ(Drovik_3D_sequence_set_current_frame(run, 0), 0);
    clock_now += 2000 * 2 + 1;
    Drovik_3D_sequence_get_current_frame(run);
    Drovik_3D_sequence_get_current_frame(run);
    EXPECT_EQ(Drovik_3D_sequence_get_number_of_laps(run), 2);
}

TEST_F(Families, DeletingASequenceOrAnAnimationReleasesItsPlayers) {
    DROVIK_HANDLE copy = Drovik_3D_sequence_duplicate(walker, run, "run");
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(Drovik_3D_sequence_get_name(copy), "run_2");

    polygon* list = nullptr;
    ASSERT_NE(anim3d_load_md2_file(model("longname.md2").c_str(), &list), nullptr);
    polygon_list_free(&list);
    DROVIK_HANDLE other = Drovik_3D_animation_get_using_name("longname");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(Drovik_3D_sequence_delete(other, run), -1) << "run is not a sequence of the other animation";
    EXPECT_STREQ(Drovik_3D_sequence_get_name(run), "run");

    EXPECT_EQ(Drovik_object_get_3D_sequence(object), run);
    EXPECT_EQ(Drovik_3D_sequence_delete(walker, run), 0);
    EXPECT_EQ(Drovik_object_get_3D_sequence(object), nullptr);
    Drovik_3D_sequence_delete_all(walker);
    EXPECT_EQ(Drovik_3D_sequence_get_first(walker), nullptr);

    EXPECT_EQ(Drovik_3D_animation_delete(walker), 0);
    EXPECT_EQ(Drovik_object_get_3D_animation(object), nullptr);
    EXPECT_EQ(Drovik_3D_animation_get_first(), other);
    Drovik_3D_animation_delete_all();
    EXPECT_EQ(Drovik_3D_animation_get_first(), nullptr);
}

TEST_F(Families, AnObjectSwitchesSequencesAndTakesAnotherAnimation) {
    EXPECT_EQ(Drovik_object_get_3D_animation(object), walker);
    EXPECT_EQ(Drovik_object_get_3D_sequence(object), run);
    EXPECT_EQ(Drovik_object_set_3D_sequence(object, jump, 0), 0);
    EXPECT_EQ(Drovik_object_get_3D_sequence(object), jump);
    EXPECT_EQ(Drovik_object_set_3D_sequence(object, run, 400), 0);
    EXPECT_STREQ(Drovik_3D_sequence_get_name(Drovik_object_get_3D_sequence(object)), "Transition_from_jump_to_run");
    EXPECT_EQ(Drovik_object_replace_3D_sequence_when_finished(object, jump, 250), 250);
    EXPECT_EQ(object->next_sequence, jump);

    polygon* list = nullptr;
    anim3d* other = anim3d_load_md2_file(model("longname.md2").c_str(), &list);
    ASSERT_NE(other, nullptr);
    polygon_list_free(&list);
    EXPECT_EQ(Drovik_object_set_3D_animation(object, other), 0);
    EXPECT_EQ(Drovik_object_get_3D_animation(object), other);
    EXPECT_EQ(Drovik_object_get_3D_sequence(object), other->sequences);
    EXPECT_EQ(object->next_sequence, nullptr);
    const polygon* first = object->own_module->root->polygons;
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->name, "abcdefghijklmnop0");
    EXPECT_EQ(first->owner, object);
}

TEST_F(Families, PointsAreReadAndWritten) {
    polygon* p = object->own_module->root->polygons;
    DROVIK_HANDLE pt = p->points;
    double xyz[3];
    EXPECT_EQ(Drovik_point_get_xyz(pt, xyz), 0);
    EXPECT_EQ(xyz[0], 5);
    const double to[3] = {1, 2, 3};
    EXPECT_EQ(Drovik_point_set_xyz(pt, to), 0);
    EXPECT_EQ(p->points->z, 3);
    EXPECT_EQ(Drovik_point_get_xyz(pt, nullptr), -1);
    EXPECT_EQ(new_errors(), "Drovik_point_get_xyz: got a NULL array\n");
    const double cords[2] = {0.25, 0.75};
    EXPECT_EQ(Drovik_point_set_bitmap_xy(pt, p, cords), 0);
    double back[2];
    EXPECT_EQ(Drovik_point_get_bitmap_xy(pt, back), 0);
    EXPECT_EQ(back[1], 0.75);
    const unsigned char colour[3] = {10, 20, 30};
    unsigned char read[3];
    EXPECT_EQ(Drovik_point_set_rgb(pt, nullptr, colour), 0);
    EXPECT_EQ(Drovik_point_get_rgb(pt, read), 0);
    EXPECT_EQ(read[2], 30);
    EXPECT_EQ(Drovik_point_get_next_point(Drovik_point_get_next_point(Drovik_point_get_next_point(pt))), nullptr);
    for (double percent : {100.0, 50.0, 150.0}) {
        EXPECT_EQ(Drovik_point_set_brightness(pt, percent), 0);
        EXPECT_NEAR(Drovik_point_get_brightness(pt), percent, 1e-9);
    }
    EXPECT_EQ(Drovik_point_set_bitmap_xy(pt, object, cords), 0);
    expect_refused_as("Drovik_point_set_bitmap_xy ");
}

TEST_F(Families, EntityNamesAreCopiedIntoTheCallersBuffer) {
    DROVIK_HANDLE cam = Drovik_camera_create("cam");
    ASSERT_NE(cam, nullptr);
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(Drovik_entity_get_name(cam, buffer, 3), 2);
    EXPECT_EQ(std::string(buffer, 4), std::string("ca\0x", 4));
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(Drovik_entity_get_name(run, buffer, 8), 3);
    EXPECT_EQ(std::string(buffer, 8), std::string("run\0\0\0\0\0", 8));
    EXPECT_EQ(Drovik_entity_get_name(walker, buffer, 8), 6);
    EXPECT_STREQ(buffer, "walker");
    EXPECT_EQ(Drovik_entity_get_name(object, buffer, 8), 7);
    EXPECT_STREQ(buffer, "walker.");
    EXPECT_EQ(new_boxes().size(), 0u);

    light* lamp = light_create(&engine_state.lights, "lamp");
    EXPECT_EQ(Drovik_entity_get_name(lamp, buffer, 8), 0);
    std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Drovik_entity_get_name");
    EXPECT_EQ(boxes[0].text, "entity not supported with this function");

    EXPECT_EQ(Drovik_entity_get_name(nullptr, buffer, 8), 0);
    EXPECT_STREQ(buffer, "");
    boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Drovik_group_get_name: got a NULL handle\n");

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(Drovik_entity_get_name(cam, buffer, 0), 0);
    EXPECT_EQ(Drovik_entity_get_name(cam, nullptr, 8), 0);
    EXPECT_EQ(buffer[0], 'x') << "nothing is written";
}

}  // namespace
