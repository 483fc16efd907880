// Tracks: stepping along an L-shaped track, directions, lists and degenerate tracks.
#include "../world/world_fixture.h"
#include "world/entity_list.h"
#include "world/track.h"

namespace {

class Tracks : public WorldTest {
protected:
    void TearDown() override {
        track_delete_all(&engine_state.tracks);
        WorldTest::TearDown();
    }
};

void expect_vec(const vec3& v, const vec3& expected, const char* what) {
    EXPECT_NEAR(v.x, expected.x, 1e-9) << what;
    EXPECT_NEAR(v.y, expected.y, 1e-9) << what;
    EXPECT_NEAR(v.z, expected.z, 1e-9) << what;
}

constexpr double l_shape[] = {0, 0, 0, 10, 0, 0, 10, 10, 0};

struct step_case {
    const char* what;
    int cyclic;
    vec3 offset, from;
    int next_point;
    double distance;
    vec3 expected;
    int expected_next;
};

TEST_F(Tracks, StepsAlongAnLShapedTrack) {
    const double r = 3 / std::sqrt(2.0);
    const step_case cases[] = {
        {"inside a segment", 0, {0, 0, 0}, {0, 0, 0}, 1, 4, {4, 0, 0}, 1},
        {"across the corner", 0, {0, 0, 0}, {8, 0, 0}, 1, 5, {10, 3, 0}, 2},
        {"onto the corner", 0, {0, 0, 0}, {8, 0, 0}, 1, 2, {10, 0, 0}, 1},
        {"past the end", 0, {0, 0, 0}, {10, 8, 0}, 2, 5, {10, 10, 0}, 2},
        {"wraps to the first point", 1, {0, 0, 0}, {10, 8, 0}, 2, 5, {10 - r, 10 - r, 0}, 0},
        {"with an offset", 0, {0, 0, 5}, {4, 0, 5}, 1, 2, {6, 0, 5}, 1},
        {"over two segments", 0, {0, 0, 0}, {0, 0, 0}, 1, 15, {10, 5, 0}, 2},
    };
    for (const step_case& c : cases) {
        jtrack* t = track_create(&engine_state.tracks, "L", c.cyclic, l_shape, 3);
        ASSERT_NE(t, nullptr);
        vec3 out;
        EXPECT_EQ(track_advance(t, c.offset, c.from, c.next_point, c.distance, out), c.expected_next) << c.what;
        expect_vec(out, c.expected, c.what);
        track_delete_all(&engine_state.tracks);
    }
}

TEST_F(Tracks, DegenerateTracksEndTheirSteps) {
    const double same[] = {5, 5, 5, 5, 5, 5, 5, 5, 5};
    jtrack* knot = track_create(&engine_state.tracks, "knot", 1, same, 3);
    vec3 out;
    // Coincident points on a cyclic track: a lap gains nothing, the step ends where it is.
    track_advance(knot, {0, 0, 0}, {0, 5, 5}, 1, 100, out);
    expect_vec(out, {5, 5, 5}, "coincident points");

    jtrack* empty = track_create(&engine_state.tracks, "empty", 1, nullptr, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(track_advance(empty, {0, 0, 0}, {1, 2, 3}, 4, 10, out), 4);
    expect_vec(out, {1, 2, 3}, "no points");
    EXPECT_EQ(track_find_closest_point(empty, {0, 0, 0}), -1);

    jtrack* l = track_create(&engine_state.tracks, "L", 0, l_shape, 3);
    EXPECT_EQ(track_set_number_of_points(l, 4), -1);
    EXPECT_EQ(l->point_count, 3);
    EXPECT_EQ(track_set_number_of_points(l, 2), 0);
    track_advance(l, {0, 0, 0}, {8, 0, 0}, 1, 5, out);
    expect_vec(out, {10, 0, 0}, "shortened track ends at its new last point");
    EXPECT_EQ(track_set_number_of_points(l, 3), 0);  // the points are still held
}

TEST_F(Tracks, DirectionsTurnTowardTheNextPoint) {
    jtrack* t = track_create(&engine_state.tracks, "L", 0, l_shape, 3);
    vec3 out;
    track_get_direction(t, {10, 5, 0}, {1, 0, 0}, 2, 1, out);
    expect_vec(out, {0, 1, 0}, "factor 1 points at the next point");
    track_get_direction(t, {10, 5, 0}, {1, 0, 0}, 2, 0, out);
    expect_vec(out, {1, 0, 0}, "factor 0 keeps the old direction");
    track_get_direction(t, {10, 10, 0}, {1, 0, 0}, 2, 1, out);
    expect_vec(out, {0, 1, 0}, "on the point the previous one stands in");
    const double doubled[] = {0, 0, 0, 0, 0, 0};
    jtrack* d = track_create(&engine_state.tracks, "doubled", 0, doubled, 2);
    track_get_direction(d, {0, 0, 0}, {0, 0, 1}, 1, 1, out);
    expect_vec(out, {0, 0, 1}, "a zero direction keeps the old one");
}

TEST_F(Tracks, NamesAreUniqueAndFoundWithoutCase) {
    jtrack* a = track_create(&engine_state.tracks, "Rail", 0, l_shape, 3);
    jtrack* b = track_create(&engine_state.tracks, "rail", 0, l_shape, 3);
    EXPECT_STREQ(b->name, "rail_2");
    EXPECT_EQ(engine_state.tracks, b);
    EXPECT_EQ(track_find(engine_state.tracks, "RAIL"), a);
    EXPECT_EQ(track_find_closest_point(a, {9, 1, 0}), 1);
    dynamic_object* d = dynamic_create("loco");
    d->track.line = a;
    EXPECT_EQ(list_remove(&engine_state.tracks, a), 0);
    EXPECT_EQ(list_remove(&engine_state.tracks, a), -1);
    track_delete(a);
    EXPECT_EQ(d->track.line, nullptr);
}

}  // namespace
