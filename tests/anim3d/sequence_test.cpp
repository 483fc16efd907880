// Sequences in time under a fake clock: laps, pauses, backwards play, speed, positions and the
// frames mixed from them; objects switching sequences at once or through transitions.
#include <gtest/gtest.h>

#include <string>

#include "anim3d_fixture.h"
#include "dynamic_from_file.h"
#include "world/dynamic_object.h"
#include "world/dynamic_sequence3d.h"
#include "world/entity_list.h"
#include "world/movers.h"
#include "world/polygon.h"

namespace {

using namespace anim3d_test;

class Sequences : public Anim3dTest {
protected:
    void SetUp() override {
        Anim3dTest::SetUp();
        walker = load_model("walker.md2", &list);
        ASSERT_NE(walker, nullptr);
        run = sequence3d_find(walker->sequences, "run");
        jump = sequence3d_find(walker->sequences, "JUMP");
        ASSERT_NE(run, nullptr);
        ASSERT_NE(jump, nullptr);
        new_errors();
    }
    void TearDown() override {
        polygon_list_free(&list);
        Anim3dTest::TearDown();
    }

    double position(seq3d* s) { return sequence3d_get_position_in_sequence(s); }

    // Point c of the list's polygon t.
    static const point* corner_of(const polygon* list, int t, int c) {
        for (int i = 0; i < t; ++i) list = list->next;
        const point* pt = list->points;
        for (int i = 0; i < c; ++i) pt = pt->next;
        return pt;
    }

    static void expect_at(const point* pt, double x, double y, double z) {
        EXPECT_DOUBLE_EQ(pt->x, x);
        EXPECT_DOUBLE_EQ(pt->y, y);
        EXPECT_DOUBLE_EQ(pt->z, z);
    }

    polygon* list = nullptr;
    anim3d* walker = nullptr;
    seq3d* run = nullptr;
    seq3d* jump = nullptr;
};

TEST_F(Sequences, ACyclicSequenceWrapsAndCountsItsLaps) {
    EXPECT_EQ(position(run), 0) << "the first reading starts the sequence";
    EXPECT_EQ(run->start_tick, 1000u);
    clock_now += 250;
    EXPECT_DOUBLE_EQ(position(run), 2.5);
    clock_now += 400;
    EXPECT_DOUBLE_EQ(position(run), 0.5);
    EXPECT_EQ(run->loop_count, 1);
    EXPECT_EQ(run->start_tick, 1600u);
    // Across the wrap of the 32-bit tick.
    run->start_tick = 0xFFFFFF00u;
    clock_now = 0x50;
    EXPECT_DOUBLE_EQ(position(run), 3.36);
}

TEST_F(Sequences, ANonCyclicSequenceRestsAtZeroAndCountsTheCallsAfterItsEnd) {
    run->cyclic = 0;
    position(run);
    clock_now += 599;
    EXPECT_DOUBLE_EQ(position(run), 5.99);
    clock_now += 2;
    EXPECT_EQ(position(run), 0);
    EXPECT_EQ(position(run), 0);
    EXPECT_EQ(run->loop_count, 2);
}

TEST_F(Sequences, APausedSequenceHoldsItsPositionAndPlaysOnKeepingItsLaps) {
    ASSERT_EQ(sequence3d_set_current_position(run, 2.5), 0);
    run->loop_count = 3;
    sequence3d_pause(run);
    clock_now += 300;
    EXPECT_DOUBLE_EQ(position(run), 2.5);
    sequence3d_play(run);
    EXPECT_EQ(run->loop_count, 3);
    clock_now += 100;
    EXPECT_DOUBLE_EQ(position(run), 3.5);
}

TEST_F(Sequences, BackwardsPlayMirrorsThePositionOnce) {
    ASSERT_EQ(sequence3d_set_current_position(jump, 1.5), 0);
    sequence3d_set_backwards(jump, 1);
    EXPECT_DOUBLE_EQ(position(jump), 2.5);
    sequence3d_set_backwards(jump, 1);
    EXPECT_DOUBLE_EQ(position(jump), 2.5);
    int a = -1, b = -1;
    EXPECT_DOUBLE_EQ(sequence3d_get_interpulation_factor(jump, &a, &b), 0.5);
    EXPECT_EQ(a, 7) << "the picture stays at 1.5 steps from the start";
    EXPECT_EQ(b, 8);
    sequence3d_set_backwards(jump, 0);
    EXPECT_DOUBLE_EQ(position(jump), 1.5);
}

TEST_F(Sequences, ANewSpeedKeepsThePositionAndANegativeOneIsIgnored) {
    ASSERT_EQ(sequence3d_set_current_position(run, 2.5), 0);
    sequence3d_set_speed(run, 2);
    EXPECT_DOUBLE_EQ(position(run), 2.5);
    clock_now += 100;
    EXPECT_DOUBLE_EQ(position(run), 3.0) << "each step now lasts 200 ms";
    sequence3d_set_speed(run, -1);
    EXPECT_EQ(run->speed, 2);
}

TEST_F(Sequences, PositionsOutsideTheSequenceAreRefused) {
    ASSERT_EQ(sequence3d_set_current_position(run, 2), 0);
    for (double bad : {6.5, -0.5}) {
        EXPECT_EQ(sequence3d_set_current_position(run, bad), -1);
        EXPECT_EQ(new_errors(), "sequence3d_set_current_position: position out of range\n");
        EXPECT_DOUBLE_EQ(position(run), 2);
    }
    EXPECT_EQ(sequence3d_set_current_position(run, 6), 0) << "the end is the start again";
    EXPECT_EQ(position(run), 0);
}

TEST_F(Sequences, AMomentBetweenTwoFramesMixesTheirPoints) {
    ASSERT_EQ(sequence3d_set_current_position(run, 1.25), 0);
    int a = -1, b = -1;
    EXPECT_DOUBLE_EQ(sequence3d_get_interpulation_factor(run, &a, &b), 0.75);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(anim3d_update_polygon_list_to_frame(walker, run, list), 0);
    // Vertex (20, 0, 0) of frame f lies at (-(10 + f), -2f, 3f): at f = 1.25, less the centre (-5, -5, 5).
    expect_at(corner_of(list, 0, 1), -6.25, 2.5, -1.25);
    expect_at(corner_of(list, 1, 2), 5 - 1.25, 5 - 2.5, 5 + 3.75);
    EXPECT_DOUBLE_EQ(list->box[0], -6.25);
    EXPECT_EQ(list->disabled, 0);
}

TEST_F(Sequences, ListsShorterThanTheModelAreRefused) {
    polygon* one = list->next;
    list->next = nullptr;
    EXPECT_EQ(anim3d_update_polygon_list_to_frame(walker, run, list), -1);
    EXPECT_EQ(new_errors(), "anim3d_update_polygon_list_to_frame: Internal error. Some polygons were deleted !\n");
    list->next = one;
}

TEST_F(Sequences, DurationsChangeTheTotalAndCopiesKeepTheirSum) {
    EXPECT_EQ(sequence3d_set_frame_duration(run, 0, -5), -1);
    EXPECT_EQ(sequence3d_set_frame_duration(run, 6, 10), -1);
    EXPECT_EQ(run->total_duration, 600);
    EXPECT_EQ(sequence3d_set_frame_duration(run, 0, 250), 0);
    EXPECT_EQ(run->total_duration, 750);
    seq3d* copy = sequence3d_duplicate(walker, run, "run");
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->name, "run_2");
    EXPECT_EQ(copy->total_duration, 750);
    EXPECT_EQ(copy->durations[0], 250);
    EXPECT_EQ(copy->model_sequence, 0);
    EXPECT_EQ(copy->temporary, 0);
    EXPECT_EQ(walker->sequences->next->next, copy) << "appended to the animation's list";

    polygon* other_list = nullptr;
    anim3d* one_frame = anim3d_load_md2_file(model("longname.md2").c_str(), &other_list);
    ASSERT_NE(one_frame, nullptr);
    new_errors();
    seq3d* moved = sequence3d_duplicate(one_frame, jump, "jump");
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->frame_indexes[3], 0) << "frames beyond the model's last become the last";
    EXPECT_NE(new_errors().find("sequence3d_duplicate: The given animation is wrong !\n"), std::string::npos);
    polygon_list_free(&other_list);
}

class Switching : public Sequences {
protected:
    void SetUp() override {
        Sequences::SetUp();
        object = dynamic_create_from_file((folder / "walker.md2").string().c_str());
        ASSERT_NE(object, nullptr);
        ASSERT_EQ(object->sequence, run);
    }
    const polygon* object_polygons() const { return object->own_module->root->polygons; }

    dynamic_object* object = nullptr;
};

TEST_F(Switching, ANoughtTransitionSwitchesAtOnce) {
    EXPECT_EQ(dynamic_set_3D_sequence(object, jump, -1), -1);
    EXPECT_EQ(dynamic_set_3D_sequence(object, nullptr, 0), -1);
    EXPECT_EQ(dynamic_set_3D_sequence(object, jump, 0), 0);
    EXPECT_EQ(object->sequence, jump);
    EXPECT_EQ(object->next_sequence, nullptr);
    EXPECT_EQ(jump->start_tick, 0u);
}

TEST_F(Switching, ATransitionRunsFromTheFrameShownToTheNewFirstFrame) {
    ASSERT_EQ(dynamic_set_3D_sequence(object, jump, 0), 0);
    ASSERT_EQ(sequence3d_set_current_position(jump, 1.5), 0);
    ASSERT_EQ(dynamic_set_3D_sequence(object, run, 400), 0);
    const seq3d* t = object->sequence;
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t->name, "Transition_from_jump_to_run");
    EXPECT_EQ(object->next_sequence, run);
    ASSERT_EQ(t->step_count, 4);
    const int frames[4] = {0, 7, 8, 0};
    const int durations[4] = {0, 100, 400, 0};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(t->frame_indexes[k], frames[k]);
        EXPECT_EQ(t->durations[k], durations[k]);
    }
    EXPECT_EQ(t->total_duration, 500);
    EXPECT_EQ(t->cyclic, 0);
    EXPECT_EQ(t->temporary, 1);
    EXPECT_EQ(t->start_tick, 1000u - 50 - 1) << "half of jump's step 1 is spent already";

    engine_move_all_dynamic_objects();
    EXPECT_EQ(object->sequence, t) << "the transition plays to its end";
    clock_now += 460;
    engine_move_all_dynamic_objects();
    EXPECT_EQ(object->sequence, run);
    EXPECT_EQ(object->next_sequence, nullptr);
    // run starts at frame 0: vertex (20, 0, 0) at (-10, 0, 0), less the centre.
    expect_at(corner_of(object_polygons(), 0, 1), -5, 5, -5);
}

TEST_F(Switching, ALongStepGivesTheTransitionHalfItsTime) {
    ASSERT_EQ(dynamic_set_3D_sequence(object, jump, 100), 0);
    EXPECT_EQ(object->sequence->durations[1], 50);
    EXPECT_EQ(object->sequence->total_duration, 150);
    ASSERT_EQ(dynamic_set_3D_sequence(object, run, 0), 0);
    EXPECT_EQ(object->sequence, run) << "the temporary transition is gone";
}

TEST_F(Switching, AFinishedSequenceGivesWayToTheWaitingOne) {
    object->next_sequence = jump;
    object->transition_time = 0;
    engine_move_all_dynamic_objects();
    EXPECT_EQ(object->sequence, run);
    clock_now += 601;
    engine_move_all_dynamic_objects();
    EXPECT_EQ(object->sequence, jump);
}

TEST_F(Switching, DeletedSequencesAndAnimationsLeaveNothingDangling) {
    object->next_sequence = jump;
    engine_move_all_dynamic_objects();
    ASSERT_EQ(list_remove(&walker->sequences, run), 0);
    sequence3d_delete(run);
    EXPECT_EQ(object->sequence, nullptr);
    EXPECT_EQ(object->next_sequence, jump);
    ASSERT_EQ(list_remove(&walker->sequences, jump), 0);
    sequence3d_delete(jump);
    EXPECT_EQ(object->next_sequence, nullptr);
    EXPECT_EQ(object_polygons()->points->x, 5) << "the polygons stay at their last frame";
    engine_move_all_dynamic_objects();

    seq3d* again = walker->sequences;
    ASSERT_EQ(again, nullptr);
    seq3d* made = sequence3d_create(&walker->sequences, "walk");
    ASSERT_EQ(sequence3d_set_steps(made, 2, 100), 0);
    ASSERT_EQ(dynamic_set_3D_sequence(object, made, 0), 0);
    ASSERT_EQ(dynamic_set_3D_sequence(object, made, 300), 0);
    ASSERT_TRUE(object->sequence->transition);
    ASSERT_EQ(anim3d_unlink(&engine_state.animations3d, walker), 0);
    anim3d_delete(walker);
    EXPECT_EQ(object->animation3d, nullptr);
    EXPECT_EQ(object->sequence, nullptr);
    EXPECT_EQ(object->next_sequence, nullptr);
    engine_move_all_dynamic_objects();
}

}  // namespace
