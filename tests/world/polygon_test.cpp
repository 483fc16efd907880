// Polygons and points: validity, lists, copies, bitmap cords, orientation keywords, animation frames.
#include <cstring>

#include "render/software/drawer_flags.h"
#include "world/animation.h"
#include "world_fixture.h"

namespace {

using PolygonTest = WorldTest;

struct validity_case {
    const char* name;
    std::vector<xyz_uv> points;
    int valid;
};

TEST_F(PolygonTest, ValidityFollowsPlaneConvexityAndPointCount) {
    const validity_case cases[] = {
        {"triangle", {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}, 1},
        {"collinear triangle", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, 0},
        {"two points", {{0, 0, 0}, {1, 0, 0}}, 0},
        {"square", {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, 1},
        {"non-planar quad", {{0, 0, 0}, {0, 1, 0}, {1, 1, 0.5}, {1, 0, 0}}, 0},
        {"concave quad", {{0, 0, 0}, {0, 2, 0}, {0.5, 0.5, 0}, {2, 0, 0}}, 0},
    };
    for (const validity_case& c : cases) {
        polygon* p = init_poly();
        for (const xyz_uv& q : c.points) {
            const double values[6] = {q.x, q.y, q.z, q.u, q.v, q.brightness};
            polygon_add_point(p, values);
        }
        EXPECT_EQ(polygon_is_valid(p), c.valid) << c.name;
        free_polygon(p);
    }
    EXPECT_EQ(polygon_is_valid(nullptr), 0);
}

TEST_F(PolygonTest, MoreThanAHundredPointsIsInvalidWithAWarning) {
    polygon* p = init_poly();
    const int n = polygon_max_points + 1;
    for (int i = 0; i < n; ++i) {
        const double a = -2 * M_PI * i / n;  // clockwise seen from above: the plane faces up
        const double values[6] = {std::cos(a), std::sin(a), 0, 0, 0, 8};
        polygon_add_point(p, values);
    }
    EXPECT_EQ(polygon_is_valid(p), 0);
    EXPECT_EQ(engine_get_last_error(), std::string("polygon_is_valid: warning, polygon has too many points\n").substr(0, 59));
    free_point(polygon_extract_point(p, p->points));
    EXPECT_EQ(polygon_is_valid(p), 1) << "a hundred points are allowed";
    free_polygon(p);
}

TEST_F(PolygonTest, PlaneFollowsThePointOrder) {
    polygon* p = make({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    EXPECT_DOUBLE_EQ(p->plane[2], -1);
    EXPECT_DOUBLE_EQ(p->plane[3], 0);
    polygon_flip_visible_side(p);
    EXPECT_DOUBLE_EQ(p->plane[2], 1);
    EXPECT_EQ(p->point_count, 3);
    free_polygon(p);
}

TEST_F(PolygonTest, TexturedPolygonsFillMissingCordsAndRefuseInconsistentOnes) {
    auto textured = [](double missing_u) {
        polygon* p = make({{0, 0, 0, 0, 0}, {0, 1, 0, 0, 10}, {1, 1, 0, 10, 10}, {1, 0, 0, missing_u, 0}}, "brick");
        p->drawer_index = 3;
        return p;
    };
    ASSERT_NE(drawer_table_flags(3, 0).flags, 0);
    polygon* filled = textured(-1);
    EXPECT_EQ(polygon_is_valid(filled), 1);
    EXPECT_NEAR(polygon_get_point(filled, 3)->bitmap_x, 10, 1e-9) << "a -1 cord is predicted";
    polygon* wrong = textured(-2);
    EXPECT_EQ(polygon_is_valid(wrong), 0);
    wrong->drawer_index = DRAWER_ROW_SOLID;
    EXPECT_EQ(polygon_is_valid(wrong), 1) << "colour fills skip the cords check";
    free_polygon(filled);
    free_polygon(wrong);
}

TEST_F(PolygonTest, BitmapInsertionKeepsPolygonsOfOneBitmapTogether) {
    polygon* list = nullptr;
    polygon* a = make({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}, "brick");
    polygon* b = make({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}, "grass");
    polygon* c = make({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}, "BRICK");
    polygon* small = make({{0, 0, 0}, {0, 1, 0}});
    EXPECT_EQ(polygon_list_add_by_bitmap(&list, a), 0);
    EXPECT_EQ(polygon_list_add_by_bitmap(&list, b), 0);
    EXPECT_EQ(polygon_list_add_by_bitmap(&list, c), 0);
    EXPECT_EQ(polygon_list_add_by_bitmap(&list, small), -1);
    EXPECT_EQ(list, b);
    EXPECT_EQ(b->next, a);
    EXPECT_EQ(a->next, c);
    EXPECT_EQ(polygon_list_remove(&list, small), -1);
    EXPECT_EQ(polygon_list_remove(&list, a), 0);
    EXPECT_EQ(polygon_list_count(list), 2);
    free_polygon(a);
    free_polygon(small);
    polygon_list_free(&list);
    EXPECT_EQ(list, nullptr);
    EXPECT_DOUBLE_EQ(get_polygon_list_max_x(nullptr), -1e100);
    EXPECT_DOUBLE_EQ(get_polygon_list_min_z(nullptr), 1e100);
}

TEST_F(PolygonTest, PointColourDependsOnTheBitmapName) {
    polygon* p = init_poly();
    polygon_set_bitmap_name(p, "no_bitmap");
    const double values[6] = {0, 0, 0, 0, 0, 8};
    polygon_add_point(p, values);
    EXPECT_EQ(p->points->red, 128);
    EXPECT_EQ(p->points->green, 150);
    polygon_set_bitmap_name(p, "wall");
    polygon_add_point(p, values);
    EXPECT_EQ(polygon_get_point(p, 1)->red, 255);
    free_polygon(p);
}

TEST_F(PolygonTest, CopiesGetNewIdsAndKeepTheirOwnStrings) {
    polygon* p = make({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}, "brick");
    polygon_set_name(p, "wall");
    polygon* copy = duplicate_polygon(p);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->serial_id, p->serial_id);
    EXPECT_EQ(copy->ancestor_id, p->ancestor_id);
    EXPECT_NE(copy->name, p->name);
    EXPECT_STREQ(copy->name, "wall");
    EXPECT_STREQ(copy->bitmap_name, "brick");
    EXPECT_EQ(copy->point_count, 3);
    mat4 shift;
    matrix_translation(shift, {0, 0, 5});
    polygon* moved = duplicate_polygon_mat(p, shift);
    EXPECT_DOUBLE_EQ(moved->points->z, 5);
    EXPECT_DOUBLE_EQ(moved->plane[3], p->plane[3] - 5 * p->plane[2]);
    int32_t kind = 0;
    point* first = copy->points;
    free_polygon(copy);
    EXPECT_FALSE(registry_lookup(first, &kind)) << "freed points stop being handles";
    free_polygon(p);
    free_polygon(moved);
}

TEST_F(PolygonTest, BitmapRotationTurnsCordsAlongThePoints) {
    polygon* p = make({{0, 0, 0, 0, 0}, {0, 1, 0, 0, 1}, {1, 1, 0, 1, 1}, {1, 0, 0, 1, 0}});
    EXPECT_EQ(polygon_set_bitmap_rotation(p, 0), 0);
    EXPECT_EQ(p->bitmap_rotation, 0);
    EXPECT_EQ(polygon_set_bitmap_rotation(p, 3), 0);
    EXPECT_EQ(p->bitmap_rotation, 3);
    EXPECT_DOUBLE_EQ(p->points->bitmap_x, 1) << "point 0 holds point 3's cords";
    EXPECT_DOUBLE_EQ(p->points->bitmap_y, 0);
    EXPECT_EQ(polygon_set_bitmap_rotation(p, 1), 0);
    EXPECT_EQ(p->bitmap_rotation, 1);
    EXPECT_DOUBLE_EQ(p->points->bitmap_y, 1);
    EXPECT_EQ(polygon_set_bitmap_rotation(p, 4), -1);
    free_polygon(p);
}

TEST_F(PolygonTest, OrientationKeywords) {
    EXPECT_EQ(convert_orientation_string_to_number("top"), ORIENTATION_TOP);
    EXPECT_EQ(convert_orientation_string_to_number("BACK"), ORIENTATION_BACK);
    EXPECT_EQ(convert_orientation_string_to_number("sideways"), 0);
    EXPECT_EQ(engine_get_last_error(),
              std::string("convert_orientation_string_to_number: Illegal orientation string\n").substr(0, 59));
    EXPECT_EQ(convert_orientation_string_to_number(nullptr), 0);
    EXPECT_STREQ(convert_orientation_number_to_string(ORIENTATION_FRONT), "FRONT");
    EXPECT_STREQ(convert_orientation_number_to_string(0), "ORIENTATION_UNKNOWN");
}

class AnimatedPolygon : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        anim_ = init_animation();
        bitmaps_[0] = record_new<bitmap_texture>(kind_bitmap);
        bitmaps_[1] = record_new<bitmap_texture>(kind_bitmap);
        frame_item** tail = &anim_->views[4];
        for (int i = 0; i < 4; ++i) {
            frame_item* item = init_frame_item();
            item->bitmap = bitmaps_[i % 2];
            *tail = item;
            tail = &item->next;
        }
        anim_->views[0] = init_frame_item();
        anim_->views[0]->bitmap = bitmaps_[1];
        animation_resize_lists(anim_);
        for (int i = 0; i < 4; ++i) anim_->durations[i] = 3;
        p_ = add({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}});
        p_->anim = anim_;
        p_->bitmap_is_animation = 1;
        engine_state.time_based_animation = 0;
    }
    void TearDown() override {
        animation_delete(anim_);
        record_destroy(bitmaps_[0]);
        record_destroy(bitmaps_[1]);
        WorldTest::TearDown();
    }
    animation* anim_ = nullptr;
    bitmap_texture* bitmaps_[2] = {};
    polygon* p_ = nullptr;
};

TEST_F(AnimatedPolygon, ResizingPadsShortListsWithTheirLastBitmap) {
    EXPECT_EQ(anim_->frame_count, 4);
    int items = 0;
    for (frame_item* item = anim_->views[0]; item; item = item->next, ++items) {
        EXPECT_EQ(item->bitmap, bitmaps_[1]);
        EXPECT_EQ(item->placeholder, items > 0 ? 1 : 0);
    }
    EXPECT_EQ(items, 4);
    EXPECT_EQ(anim_->views[2], nullptr) << "empty lists stay empty";
}

TEST_F(AnimatedPolygon, ShrinkingTheFrameListRestartsPolygonsPastItsEnd) {
    p_->animation_frame = 3;
    frame_list_destroy(&anim_->views[4]->next->next);
    frame_list_destroy(&anim_->views[0]->next);
    ASSERT_EQ(animation_resize_lists(anim_), 0);
    EXPECT_EQ(anim_->frame_count, 2);
    EXPECT_EQ(p_->animation_frame, 0);
    EXPECT_EQ(anim_->durations[1], 3u) << "kept durations stay";
}

TEST_F(AnimatedPolygon, FrameModeChangesTheFrameOnEveryThirdCallAndWraps) {
    std::vector<int> frames;
    for (int i = 0; i < 12; ++i) {
        polygon_advance_animation_frame(p_);
        frames.push_back(p_->animation_frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 0}));
    p_->animation_running = 0;
    for (int i = 0; i < 5; ++i) polygon_advance_animation_frame(p_);
    EXPECT_EQ(p_->animation_frame, 0) << "a stopped animation keeps its frame";
}

TEST_F(AnimatedPolygon, AFrameCountLoweredBehindThePolygonsBackNeverLeavesItPastTheEnd) {
    p_->animation_frame = 3;
    anim_->frame_count = 2;
    for (int i = 0; i < 20; ++i) {
        polygon_advance_animation_frame(p_);
        ASSERT_LT(p_->animation_frame, 2);
        ASSERT_GE(p_->animation_frame, 0);
    }
}

}  // namespace
