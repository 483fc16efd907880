// Polygon geometry: inside tests, splitting, joining, redundant points, cords matching and axes.
#include "world_fixture.h"

namespace {

using PolygonGeometry = WorldTest;

TEST_F(PolygonGeometry, PointsOnAnEdgeAreInsideAndJustOutsideAreNot) {
    polygon* p = make({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}});
    EXPECT_EQ(is_point_inside_polygon({0.5, 0.5, 0}, p), 1);
    EXPECT_EQ(is_point_inside_polygon({1, 0.5, 0}, p), 1);
    EXPECT_EQ(is_point_inside_polygon({1.002, 0.5, 0}, p), 0);
    EXPECT_EQ(is_point_inside_polygon({0.5, -0.002, 0}, p), 0);
    EXPECT_EQ(is_point_inside_polygon({0, 0, 0}, nullptr), -1);
    vec3 hit;
    EXPECT_EQ(does_segment_intersect_polygon({0.25, 0.75, 1}, {0.25, 0.75, -1}, p, hit), 1);
    EXPECT_NEAR(hit.z, 0, 1e-12);
    EXPECT_EQ(does_segment_intersect_polygon({2, 2, 1}, {2, 2, -1}, p, hit), 0);
    free_polygon(p);
}

TEST_F(PolygonGeometry, TheConcaveTestFollowsTheNotch) {
    // An L shape: the notch at the upper right is outside.
    polygon* l = make({{0, 0, 0}, {0, 2, 0}, {1, 2, 0}, {1, 1, 0}, {2, 1, 0}, {2, 0, 0}});
    EXPECT_EQ(is_poly_convex(l), 0);
    EXPECT_EQ(is_point_inside_polygon_concave({0.5, 1.5, 0}, l), 1);
    EXPECT_EQ(is_point_inside_polygon_concave({1.5, 0.5, 0}, l), 1);
    EXPECT_EQ(is_point_inside_polygon_concave({1.5, 1.5, 0}, l), 0);
    EXPECT_EQ(is_point_inside_polygon_concave({3, 3, 0}, l), 0);
    free_polygon(l);
}

TEST_F(PolygonGeometry, SplittingASquareByItsDiagonalGivesTwoTrianglesOfOneFamily) {
    polygon* square = make({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}});
    // The plane x = y, standing upright.
    const plane diagonal{std::sqrt(0.5), -std::sqrt(0.5), 0, 0};
    polygon *front = nullptr, *back = nullptr;
    ASSERT_EQ(split_polygon(square, diagonal, &front, &back), 0);
    EXPECT_EQ(front->point_count, 3);
    EXPECT_EQ(back->point_count, 3);
    EXPECT_NEAR(area(front), 0.5, 1e-12);
    EXPECT_NEAR(area(back), 0.5, 1e-12);
    for (polygon* piece : {front, back}) {
        EXPECT_TRUE(has_point(piece, {0, 0, 0}));
        EXPECT_TRUE(has_point(piece, {1, 1, 0}));
        EXPECT_EQ(piece->family_head, front);
    }
    EXPECT_TRUE(has_point(front, {1, 0, 0}));
    EXPECT_TRUE(has_point(back, {0, 1, 0}));
    EXPECT_EQ(front->family_next, back);
    EXPECT_EQ(square->family_head, nullptr) << "the source leaves the family";
    free_polygon(square);
    free_polygon(front);
    free_polygon(back);
}

TEST_F(PolygonGeometry, SplittingInterpolatesTheCrossingPoints) {
    polygon* p = make({{0, 0, 0, 0, 0}, {0, 1, 0, 0, 10}, {2, 1, 0, 20, 10}, {2, 0, 0, 20, 0}});
    const plane middle{1, 0, 0, -0.5};
    polygon *front = nullptr, *back = nullptr;
    ASSERT_EQ(split_polygon(p, middle, &front, &back), 0);
    EXPECT_NEAR(area(front), 1.5, 1e-12);
    EXPECT_NEAR(area(back), 0.5, 1e-12);
    EXPECT_TRUE(has_point(front, {0.5, 0, 0}) && has_point(front, {0.5, 1, 0}));
    for (const point* q = back->points; q; q = q->next) EXPECT_NEAR(q->bitmap_x, 10 * q->x, 1e-9);
    // Splitting a piece again keeps the family together and takes the piece out.
    polygon *front2 = nullptr, *back2 = nullptr;
    ASSERT_EQ(split_polygon(front, {0, 1, 0, -0.5}, &front2, &back2), 0);
    int members = 0;
    for (polygon* m = back->family_head; m; m = m->family_next) {
        EXPECT_EQ(m->family_head, back->family_head);
        EXPECT_NE(m, front);
        members++;
    }
    EXPECT_EQ(members, 3);
    for (polygon* x : {p, front, back, front2, back2}) free_polygon(x);
}

TEST_F(PolygonGeometry, RedundantPointsAreRemovedDownToATriangle) {
    polygon* p = make({{0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {2, 2, 0}, {2, 0, 0}, {1, 0, 0}});
    int count = 0;
    EXPECT_EQ(does_poly_has_redandent_points(p, 1e-10, &count), 1);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(remove_polys_redandent_points(p, 1e-10), 2);
    EXPECT_EQ(p->point_count, 4);
    EXPECT_FALSE(has_point(p, {0, 1, 0}));
    polygon* line = make({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
    EXPECT_EQ(remove_polys_redandent_points(line, 1e-10), -1000);
    EXPECT_EQ(line->point_count, 3);
    free_polygon(p);
    free_polygon(line);
}

TEST_F(PolygonGeometry, JoiningSquaresThatShareAnEdgeGivesOneRectangle) {
    polygon* a = make({{0, 0, 0, 0, 0}, {0, 1, 0, 0, 1}, {1, 1, 0, 1, 1}, {1, 0, 0, 1, 0}});
    polygon* b = make({{1, 0, 0}, {1, 1, 0}, {2, 1, 0}, {2, 0, 0}});
    polygon* joined = join_polygons(a, b, 1e-6);
    ASSERT_NE(joined, nullptr);
    EXPECT_EQ(joined->point_count, 4);
    EXPECT_NEAR(area(joined), 2, 1e-12);
    for (const vec3& corner : std::vector<vec3>{{0, 0, 0}, {0, 1, 0}, {2, 1, 0}, {2, 0, 0}})
        EXPECT_TRUE(has_point(joined, corner));
    for (const point* q = joined->points; q; q = q->next) EXPECT_NEAR(q->bitmap_x, q->x, 1e-9) << "cords extend a's";
    polygon* far = make({{5, 5, 0}, {5, 6, 0}, {6, 6, 0}});
    EXPECT_EQ(join_polygons(a, far, 1e-6), nullptr);
    polygon* facing_down = make({{1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}});
    EXPECT_EQ(join_polygons(a, facing_down, 1e-6), nullptr);
    for (polygon* x : {a, b, joined, far, facing_down}) free_polygon(x);
}

TEST_F(PolygonGeometry, OptimizingAListJoinsWhatItCanAndFreesTheSources) {
    add_square(0, 0);
    add_square(1, 0);
    add_square(2, 0);
    add_square(5, 5);
    EXPECT_EQ(optimize_polygon_list(&main_->root->polygons, nullptr, 1e-6), 2);
    EXPECT_EQ(polygon_list_count(main_->root->polygons), 2);
    double total = 0;
    for (polygon* p = main_->root->polygons; p; p = p->next) total += area(p);
    EXPECT_NEAR(total, 4, 1e-12);
}

TEST_F(PolygonGeometry, IntersectingPolygonsMeetAtAnEdgeCrossing) {
    polygon* floor = make({{-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}});
    polygon* wall = make({{0, -0.5, -1}, {0, -0.5, 1}, {0, 0.5, 1}, {0, 0.5, -1}});
    vec3 hit;
    EXPECT_EQ(do_polygons_intersect(wall, floor, 1e-6, hit), 1);
    EXPECT_NEAR(hit.z, 0, 1e-12);
    polygon* high = make({{0, -0.5, 2}, {0, -0.5, 3}, {0, 0.5, 3}, {0, 0.5, 2}});
    EXPECT_EQ(do_polygons_intersect(high, floor, 1e-6, hit), 0);
    for (polygon* x : {floor, wall, high}) free_polygon(x);
}

TEST_F(PolygonGeometry, TransformsMoveRotateAndKeepCamerFacingPolygonsUpright) {
    polygon* p = make({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}});
    polygon_rotate_x(p, M_PI / 2, {0, 0, 0});
    EXPECT_NEAR(p->plane[1], -1, 1e-12) << "the upward normal turns to -y";
    polygon_move(p, {0, 0, 3});
    EXPECT_NEAR(p->box[2], 3, 1e-12);
    polygon* r = make({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}});
    r->rotated = 1;
    mat4 turn;
    matrix_rotation_x(turn, M_PI / 2);
    polygon_transform(r, {0, 0, 0}, turn);
    EXPECT_NEAR(r->plane[2], 1, 1e-12) << "rotated polygons only scale and move";
    free_polygon(p);
    free_polygon(r);
}

TEST_F(PolygonGeometry, MatchingCordsExtendsTheReferenceMapping) {
    polygon* ref = make({{0, 0, 0, 0, 0}, {0, 1, 0, 0, 4}, {1, 1, 0, 4, 4}});
    polygon* t = make({{-1, 0, 0}, {-1, 1, 0}, {0, 1, 0}});
    ASSERT_EQ(match_bitmap_cords(ref, t), 0);
    EXPECT_NEAR(polygon_get_point(t, 0)->bitmap_x, 0, 1e-9) << "shifted by floor(-4)";
    EXPECT_NEAR(polygon_get_point(t, 2)->bitmap_x, 4, 1e-9);
    EXPECT_NEAR(polygon_get_point(t, 1)->bitmap_y, 4, 1e-9);
    free_polygon(ref);
    free_polygon(t);
}

}  // namespace
