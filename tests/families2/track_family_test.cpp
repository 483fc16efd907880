// The track family through its exports: refusals by table, names, points and their refusals,
// the closest point, the save flag's box and deleting a followed track.
#include <gtest/gtest.h>

#include <vector>

#include "scene_fixture.h"
#include "world/dynamic_object.h"

namespace {

double v3[3];
const double line[9] = {0, 0, 0, 10, 0, 0, 10, 10, 0};

const family_row track_rows[] = {
    {"Drovik_track_get_next", "Drovik_track_get_next", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_track_get_next(h)); }},
    {"Drovik_track_get_name", "Drovik_track_get_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_track_get_name(h)); }},
    {"Drovik_track_set_name", "Drovik_track_set_name", 0,
     [](DROVIK_HANDLE h) { Drovik_track_set_name(h, "x"); return 0.0; }},
    {"Drovik_track_is_cyclic", "Drovik_track_is_cyclic", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_track_is_cyclic(h)); }},
    {"Drovik_track_get_number_of_points", "Drovik_track_get_number_of_points", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_track_get_number_of_points(h)); }},
    {"Drovik_track_get_points", "Drovik_track_get_points", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_track_get_points(h)); }},
    {"Drovik_track_get_point", "Drovik_track_get_point", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_track_get_point(h, 0, v3)); }},
    {"Drovik_track_get_point_element", "Drovik_track_get_point_element", 0,
     [](DROVIK_HANDLE h) { return Drovik_track_get_point_element(h, 0, 0); }},
    {"Drovik_track_set_points_buffer", "Drovik_track_set_points_buffer", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_track_set_points_buffer(h, line, 3)); }},
    {"Drovik_track_set_number_of_points", "Drovik_track_set_number_of_points", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_track_set_number_of_points(h, 1)); }},
    {"Drovik_track_find_closest_point_on_track", "Drovik_track_find_closest_point_on_track", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_track_find_closest_point_on_track(h, v3)); }},
    {"Drovik_track_set_save_flag", "Drovik_track_set_save_flag", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_track_set_save_flag(h, 1)); }},
    {"Drovik_track_get_save_flag", "Drovik_track_get_save_flag", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_track_get_save_flag(h)); }},
    {"Drovik_track_delete", "Drovik_track_delete", 0, [](DROVIK_HANDLE h) { Drovik_track_delete(h); return 0.0; }},
};

class TrackFamily : public SceneTest {
protected:
    DROVIK_HANDLE create(const char* name, int cyclic = 0) {
        DROVIK_HANDLE t = Drovik_track_create(name, cyclic, line, 3);
        EXPECT_NE(t, nullptr);
        return t;
    }
};

TEST_F(TrackFamily, EveryExportRefusesAForeignHandleUnderItsCheckName) {
    expect_rows_refuse_a_foreign_handle(track_rows);
}

TEST_F(TrackFamily, NewTracksCopyTheirPointsUnderUniqueNames) {
    DROVIK_HANDLE first = create("rail", 1);
    DROVIK_HANDLE second = create("RAIL");
    EXPECT_STREQ(Drovik_track_get_name(second), "RAIL_2");
    EXPECT_EQ(Drovik_track_get_first_track(), second);
    EXPECT_EQ(Drovik_track_get_next(second), first);
    EXPECT_EQ(Drovik_track_get_using_name("rail_2"), second);
    EXPECT_EQ(Drovik_track_is_cyclic(first), 1);
    EXPECT_EQ(Drovik_track_is_cyclic(second), 0);
    EXPECT_EQ(Drovik_track_get_number_of_points(first), 3);
    EXPECT_NE(Drovik_track_get_points(first), line);
    EXPECT_EQ(Drovik_track_get_points(first)[3], 10);
    EXPECT_EQ(Drovik_track_get_save_flag(first), 1);

    Drovik_track_set_name(first, "");
    EXPECT_EQ(new_log(), "Drovik_track_set_name: can set an empty name\n");
    Drovik_track_set_name(first, nullptr);
    EXPECT_EQ(new_log(), "Drovik_track_set_name: can set an empty name\n");
    EXPECT_STREQ(Drovik_track_get_name(first), "rail");
    Drovik_track_set_name(first, "RAIL_2");  // not made unique
    EXPECT_STREQ(Drovik_track_get_name(first), "RAIL_2");
}

TEST_F(TrackFamily, CreatingWithoutPointsGivesNoTrack) {
    EXPECT_EQ(Drovik_track_create("rail", 0, nullptr, 3), nullptr);
    EXPECT_EQ(Drovik_track_create("rail", 0, line, 0), nullptr);
    EXPECT_EQ(Drovik_track_create("rail", 0, line, -2), nullptr);
    EXPECT_EQ(Drovik_track_get_first_track(), nullptr);
}

TEST_F(TrackFamily, PointsOutsideTheTrackAreRefusedWithABox) {
    DROVIK_HANDLE t = create("rail");
    double at[3] = {-1, -1, -1};
    EXPECT_EQ(Drovik_track_get_point(t, 2, at), 0);
    EXPECT_EQ(at[1], 10);
    for (int index : {-1, 3}) {
        SCOPED_TRACE(index);
        at[1] = -1;
        EXPECT_EQ(Drovik_track_get_point(t, index, at), 0);
        EXPECT_EQ(at[1], -1);
        EXPECT_EQ(one_box(), "Drovik_track_get_point: point index is out of range\n");
    }
    EXPECT_EQ(Drovik_track_get_point(t, 0, nullptr), 0);

    EXPECT_EQ(Drovik_track_get_point_element(t, 1, 0), 10);
    const struct {
        int index, element;
    } bad[] = {{1, 3}, {1, -1}, {3, 0}, {-1, 0}};
    for (const auto& b : bad) {
        SCOPED_TRACE(b.element);
        EXPECT_EQ(Drovik_track_get_point_element(t, b.index, b.element), 0.0);
        EXPECT_EQ(one_box(), "Drovik_track_get_point: bad arguments\n");
    }
}

TEST_F(TrackFamily, ThePointsBufferIsReplacedAndTheCountNeverPassesIt) {
    DROVIK_HANDLE t = create("rail");
    const double two[6] = {5, 5, 5, 6, 6, 6};
    EXPECT_EQ(Drovik_track_set_points_buffer(t, two, 2), 0);
    EXPECT_EQ(Drovik_track_get_number_of_points(t), 2);
    EXPECT_EQ(Drovik_track_get_point_element(t, 1, 2), 6);
    EXPECT_EQ(Drovik_track_set_points_buffer(t, nullptr, 2), -1);
    EXPECT_EQ(Drovik_track_set_points_buffer(t, two, -1), -1);
    EXPECT_EQ(Drovik_track_get_number_of_points(t), 2);

    EXPECT_EQ(Drovik_track_set_number_of_points(t, 1), 0);
    EXPECT_EQ(Drovik_track_get_number_of_points(t), 1);
    EXPECT_EQ(Drovik_track_set_number_of_points(t, 2), 0);  // still held
    EXPECT_EQ(Drovik_track_set_number_of_points(t, 3), -1);
    EXPECT_EQ(Drovik_track_set_number_of_points(t, -1), -1);
    EXPECT_EQ(Drovik_track_get_number_of_points(t), 2);
    double at[3];
    EXPECT_EQ(Drovik_track_get_point(t, 2, at), 0);
    new_boxes();
}

TEST_F(TrackFamily, TheClosestPointIsTheFirstOfTheNearest) {
    DROVIK_HANDLE t = create("rail");
    const double near_middle[3] = {9, 1, 0};
    EXPECT_EQ(Drovik_track_find_closest_point_on_track(t, near_middle), 1);
    const double between[3] = {5, 0, 0};  // as far from the first point as from the second
    EXPECT_EQ(Drovik_track_find_closest_point_on_track(t, between), 0);
    EXPECT_EQ(Drovik_track_find_closest_point_on_track(t, nullptr), -1);
}

TEST_F(TrackFamily, SaveFlagOtherThanYesOrNoShowsABoxAndStoresNothing) {
    DROVIK_HANDLE t = create("rail");
    EXPECT_EQ(Drovik_track_set_save_flag(t, 0), 0);
    EXPECT_EQ(Drovik_track_set_save_flag(t, -3), 1);
    EXPECT_EQ(one_box(), "Drovik_track_set_save_flag: bad arguments\n");
    EXPECT_EQ(Drovik_track_get_save_flag(t), 0);
}

TEST_F(TrackFamily, ADeletedTrackLeavesItsFollowersWithoutATrack) {
    DROVIK_HANDLE t = create("rail", 1);
    DROVIK_HANDLE kept = create("siding");
    DROVIK_HANDLE camera = Drovik_camera_create("cab");
    ASSERT_EQ(Drovik_camera_set_track(camera, t), 0);
    dynamic_object* engine = dynamic_create("engine");
    engine->track.line = static_cast<jtrack*>(t);
    jstrcpy_with_allocating(&engine->track.name, "rail");

    Drovik_track_delete(t);
    EXPECT_EQ(Drovik_track_get_first_track(), kept);
    EXPECT_EQ(Drovik_camera_get_track_handle(camera), nullptr);
    EXPECT_STREQ(Drovik_camera_get_track_name(camera), "NO_TRACK");
    EXPECT_EQ(engine->track.line, nullptr);
    EXPECT_EQ(engine->track.name, nullptr);
    advance_and_render();

    Drovik_track_delete_all();
    EXPECT_EQ(Drovik_track_get_first_track(), nullptr);
}

TEST_F(TrackFamily, ATrackNotInTheListIsLoggedAndNotFreed) {
    jtrack* elsewhere = nullptr;
    jtrack* stray = track_create(&elsewhere, "stray", 0, line, 3);
    Drovik_track_delete(stray);
    EXPECT_EQ(new_log(), "Drovik_track_delete: failed to extract track\n");
    EXPECT_EQ(Drovik_track_is_track(stray, nullptr), 1);
    track_delete_all(&elsewhere);
}

}  // namespace
