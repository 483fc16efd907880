// Groups: unique names, membership through the world order, fathers, copies and group geometry.
#include "world_fixture.h"

#include "foundation/dictionary.h"

namespace {

using Groups = WorldTest;

TEST_F(Groups, NamesGetUnderscoresAndAreMadeUnique) {
    group* a = group_create(&engine_state.groups, "signal box");
    group* b = group_create(&engine_state.groups, "Signal Box");
    ASSERT_TRUE(a && b);
    EXPECT_STREQ(a->name, "signal_box");
    EXPECT_STREQ(b->name, "Signal_Box_2");
    EXPECT_STREQ(a->given_name, "signal_box");
    EXPECT_STREQ(b->given_name, "Signal_Box");
    EXPECT_EQ(engine_state.groups, b) << "new groups go to the head";
    EXPECT_EQ(group_find_by_name(engine_state.groups, "SIGNAL_BOX"), a);
    EXPECT_DOUBLE_EQ(a->chase.softness, 0.1);
    EXPECT_DOUBLE_EQ(a->max_speed, 1e100);
}

TEST_F(Groups, LongNamesAreKeptWhole) {
    const std::string long_name(3000, 'x');
    group* first = group_create(&engine_state.groups, long_name.c_str());
    group* second = group_create(&engine_state.groups, long_name.c_str());
    ASSERT_TRUE(first && second);
    EXPECT_EQ(std::string(first->name), long_name);
    EXPECT_EQ(std::string(second->name), long_name + "_2");
}

TEST_F(Groups, DeletingAGroupReleasesOnlyTheNameItRegistered) {
    group* first = group_create(&engine_state.groups, "shed");
    group* second = group_create(&engine_state.groups, "shed");
    ASSERT_STREQ(second->name, "shed_2");
    ASSERT_EQ(group_delete(&engine_state.groups, second), 0);
    EXPECT_EQ(dictionary_has_word(engine_state.name_dictionary, "shed"), 1) << "the first group keeps its name";
    group* third = group_create(&engine_state.groups, "shed");
    EXPECT_STREQ(third->name, "shed_2");
    EXPECT_STREQ(first->name, "shed");
    // A group that took a dynamic object's name never registered it.
    dynamic_object* d = init_dynamic_object();
    jstrcpy_with_allocating(&d->name, "shed");
    group_set_object_parameters(third, d);
    EXPECT_STREQ(third->name, "shed");
    EXPECT_EQ(dictionary_has_word(engine_state.name_dictionary, "shed_2"), 0);
    group_delete(&engine_state.groups, third);
    EXPECT_EQ(dictionary_has_word(engine_state.name_dictionary, "shed"), 1);
    dynamic_free(d);
}

TEST_F(Groups, MembershipIsFoundThroughTheWorldOrder) {
    group* station = group_create(&engine_state.groups, "station");
    group* platform = group_create(&engine_state.groups, "platform");
    ASSERT_EQ(group_set_father_group(platform, station), 0);
    polygon* roof = add_square(0, 0, 3, station);
    polygon* edge = add_square(0, 0, 1, platform);
    add_square(5, 5);
    EXPECT_EQ(group_get_number_of_polygons(station), 2);
    EXPECT_EQ(group_get_number_of_polygons(platform), 1);
    EXPECT_EQ(group_get_number_of_polygons(nullptr), 3);
    EXPECT_EQ(group_get_number_of_points(station), 8);
    EXPECT_EQ(group_count_included(engine_state.groups, station), 2);
    std::vector<polygon*> walked;
    for (polygon* p = group_get_first_polygon(station); p; p = group_get_next_polygon(station, p)) walked.push_back(p);
    EXPECT_EQ(walked.size(), 2u);
    // Moving a polygon between groups is a change of its group field.
    roof->owner_group = platform;
    EXPECT_EQ(group_get_number_of_polygons(platform), 2);
    double box[6];
    group_get_bounding_box(platform, box);
    EXPECT_DOUBLE_EQ(box[2], 1);
    EXPECT_DOUBLE_EQ(box[5], 3);
    // Deleting a group passes its polygons and sons to its father.
    group* hut = group_create(&engine_state.groups, "hut");
    group_set_father_group(hut, platform);
    ASSERT_EQ(group_delete(&engine_state.groups, platform), 0);
    EXPECT_EQ(edge->owner_group, station);
    EXPECT_EQ(roof->owner_group, station);
    EXPECT_EQ(hut->father, station);
    EXPECT_EQ(group_get_number_of_polygons(station), 2);
}

TEST_F(Groups, AFatherInsideTheGroupIsRefused) {
    group* a = group_create(&engine_state.groups, "a");
    group* b = group_create(&engine_state.groups, "b");
    group_set_father_group(b, a);
    EXPECT_EQ(group_set_father_group(a, b), -1);
    EXPECT_EQ(a->father, nullptr);
    EXPECT_EQ(group_set_father_group(a, a), -1);
    EXPECT_EQ(group_set_father_group(nullptr, a), -1);
    EXPECT_EQ(group_is_included(b, a), 1);
    EXPECT_EQ(group_is_included(a, b), 0);
    EXPECT_EQ(group_is_included(nullptr, nullptr), 1);
}

TEST_F(Groups, TreeCopiesDuplicateSonsAndPolygons) {
    group* house = group_create(&engine_state.groups, "house");
    group* door = group_create(&engine_state.groups, "door");
    group_set_father_group(door, house);
    add({{0, 0, 0}, {0, 1, 0}, {0.5, 1.5, 0}, {1, 1, 0}, {1, 0, 0}}, house);
    add_square(3, 0, 0, door);
    group* copy = group_duplicate_tree(house, nullptr);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->name, "house_2");
    EXPECT_EQ(group_get_number_of_polygons(copy), 2) << "its own polygon and the door copy's";
    EXPECT_EQ(group_count_included(engine_state.groups, copy), 2);
    group* triangled = group_duplicate_tree_triangled(house, nullptr);
    int triangles = 0;
    for (polygon* p = main_->root->polygons; p; p = p->next) {
        if (p->owner_group == triangled) {
            EXPECT_EQ(p->point_count, 3);
            triangles++;
        }
    }
    EXPECT_EQ(triangles, 3) << "five points give three triangles";
}

TEST_F(Groups, IntersectionsAreCountedBetweenGroupsNotWithinOne) {
    group* ground = group_create(&engine_state.groups, "ground");
    group* post = group_create(&engine_state.groups, "post");
    add({{-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}}, ground);
    add({{0, -0.5, -1}, {0, -0.5, 1}, {0, 0.5, 1}, {0, 0.5, -1}}, post);
    EXPECT_EQ(group_count_intersections(post, ground), 1);
    EXPECT_EQ(group_count_intersections(ground, ground), 0);
    EXPECT_EQ(group_count_intersections(nullptr, nullptr), 0);
}

TEST_F(Groups, AxisSystemComesFromOrientedPolygons) {
    group* cab = group_create(&engine_state.groups, "cab");
    polygon* top = add_square(0, 0, 2, cab);
    top->orientation = ORIENTATION_TOP;
    // A wall facing -x, marked as the front: x = minus its normal = +x.
    polygon* front = add({{0, 0, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}}, cab);
    front->orientation = ORIENTATION_FRONT;
    ASSERT_LT(front->plane[0], 0);
    EXPECT_EQ(group_calculate_axis_system(cab), 0);
    EXPECT_NEAR(cab->axis_system.m[0][0], 1, 1e-12);
    EXPECT_NEAR(cab->axis_system.m[2][2], 1, 1e-12);
    EXPECT_NEAR(cab->axis_system.m[1][1], 1, 1e-12);
    EXPECT_EQ(group_get_polygon_by_orientation(cab, ORIENTATION_TOP), top);
    EXPECT_EQ(group_get_polygon_by_orientation(cab, ORIENTATION_BACK), nullptr);
}

TEST_F(Groups, VertexNormalsAverageThePlanesMeetingAtAPoint) {
    group* ridge = group_create(&engine_state.groups, "ridge");
    polygon* up = add_square(0, 0, 0, ridge);
    polygon* side = add({{1, 0, 0}, {1, 1, 0}, {1, 1, -1}, {1, 0, -1}}, ridge);
    ASSERT_NEAR(side->plane[0], 1, 1e-12);
    group_calculate_vertices_normals(ridge, 1);
    const point* shared = polygon_get_point(up, 2);  // (1, 1, 0)
    EXPECT_EQ(shared->normal_x, 90);
    EXPECT_EQ(shared->normal_z, 90);
    EXPECT_EQ(polygon_get_point(side, 1)->normal_x, 90);
    EXPECT_EQ(up->points->normal_z, 127) << "a corner of one polygon keeps its plane";
    double signature[4];
    group_get_signature(ridge, signature);
    EXPECT_EQ(signature[0], 2);
    EXPECT_EQ(signature[1], 8);
}

TEST_F(Groups, SignatureChecksumWrapsBelowTenBillionWhateverTheCoordinates) {
    group* far = group_create(&engine_state.groups, "far");
    add({{0, 0, 0}, {1e30, 0, 0}, {0, 1e30, 0}}, far);
    double signature[4];
    group_get_signature(far, signature);
    EXPECT_EQ(signature[1], 3);
    EXPECT_GT(signature[3], 0);
    EXPECT_LE(signature[3], 1e10);
    // The third point's z counts eight times: 4e9 + 8 z, less whole steps of 1e10 while above 1e10.
    const struct {
        double z, checksum;
    } cases[] = {{3e9, 8e9}, {2e9, 1e10}, {0.5e9, 8e9}};
    for (const auto& c : cases) {
        group* near = group_create(&engine_state.groups, "near");
        add({{2e9, 0, 0}, {0, 1e9, 0}, {0, 0, c.z}}, near);
        group_get_signature(near, signature);
        EXPECT_DOUBLE_EQ(signature[3], c.checksum) << c.z;
    }
}

TEST_F(Groups, VertexNormalsHaveNoLimitOnPointsSharingAPosition) {
    group* heap = group_create(&engine_state.groups, "heap");
    const int n = 6100;
    for (int i = 0; i < n; ++i) add({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}, heap);
    group_calculate_vertices_normals(heap, 0);
    int set = 0;
    for (polygon* p = main_->root->polygons; p; p = p->next) {
        for (const point* q = p->points; q; q = q->next) set += q->normal_z == 127 ? 1 : 0;
    }
    EXPECT_EQ(set, 3 * n);
}

TEST_F(Groups, PatchOperationsReachThePatchesOfTheGroup) {
    group* g = group_create(&engine_state.groups, "yard");
    polygon* a = add_square(0, 0, 0, g);
    polygon* b = add_square(3, 0, 0);
    ASSERT_NE(polygon_add_patch_easy(a, nullptr, 0.2, nullptr, nullptr, 0, 0, 0), nullptr);
    ASSERT_NE(polygon_add_patch_easy(b, nullptr, 0.2, nullptr, nullptr, 0, 0, 0), nullptr);
    group_set_patches_color(g, 200, 100, 50, 1);
    EXPECT_EQ(a->next_patch->red, 200);
    EXPECT_EQ(b->next_patch->red, 0);
    group_set_patches_color(g, 7, 7, 7, patch_kind_easy);
    EXPECT_EQ(b->next_patch->red, 7) << "a kind selects patches all over the world";
    group_delete_patches(g, 1);
    EXPECT_EQ(a->next_patch, nullptr);
    EXPECT_NE(b->next_patch, nullptr);
}

}  // namespace
