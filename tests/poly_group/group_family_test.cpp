// The group family through its exports: refusals by table, the whole world as a NULL group,
// rotations in the three spaces, moves, deleting members, reduced copies, lighting and alignment.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "foundation/strings.h"
#include "poly_group_fixture.h"
#include "world/camera.h"
#include "world/dynamic_object.h"
#include "world/polygon_geometry.h"

namespace {

using namespace row_arguments;

// Each export that takes a group, the name its checks print and its result when refused.
const export_row group_rows[] = {
    {"Drovik_group_get_next", "Drovik_group_get_next_group", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_group_get_next(h)); }},
    {"Drovik_group_get_name", "Drovik_group_get_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_group_get_name(h)); }},
    {"Drovik_group_set_name", "Drovik_group_set_name", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_name(h, "x")); }},
    {"Drovik_group_get_father_group", "Drovik_group_get_father_group", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_group_get_father_group(h)); }},
    {"Drovik_group_set_father_group", "Drovik_group_set_father_group", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_father_group(h, nullptr)); }},
    {"Drovik_group_is_groupA_included_in_groupB", "Drovik_group_is_groupA_included_in_groupB", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_is_groupA_included_in_groupB(h, nullptr)); }},
    {"Drovik_group_get_first_polygon", "Drovik_group_get_first_polygon", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_group_get_first_polygon(h)); }},
    {"Drovik_group_get_next_polygon", "Drovik_group_get_next_polygon", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_group_get_next_polygon(h, nullptr)); }},
    {"Drovik_group_get_number_of_polygons", "Drovik_group_get_number_of_polygons", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_group_get_number_of_polygons(h)); }},
    {"Drovik_group_ungroup", "Drovik_group_ungroup", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_ungroup(h)); }},
    {"Drovik_group_delete_members", "Drovik_group_delete_members", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_group_delete_members(h)); }},
    {"Drovik_group_duplicate_tree", "Drovik_group_duplicate_tree", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_group_duplicate_tree(h)); }},
    {"Drovik_group_create_copy_made_of_triangles", "Drovik_group_create_copy_made_of_triangles", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_group_create_copy_made_of_triangles(h)); }},
    {"Drovik_group_create_reduced_copy", "Drovik_group_create_reduced_copy", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_group_create_reduced_copy(h, 1.0)); }},
    {"Drovik_group_is_static", "Drovik_group_is_static", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_group_is_static(h)); }},
    {"Drovik_group_set_static", "Drovik_group_set_static", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_static(h)); }},
    {"Drovik_group_set_dynamic", "Drovik_group_set_dynamic", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_dynamic(h)); }},
    {"Drovik_group_load_as_disabled", "Drovik_group_load_as_disabled", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_load_as_disabled(h, 1)); }},
    {"Drovik_group_get_load_as_disabled_status", "Drovik_group_get_load_as_disabled_status", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_group_get_load_as_disabled_status(h)); }},
    {"Drovik_group_set_control_number", "Drovik_group_set_control_number", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_control_number(h, 1)); }},
    {"Drovik_group_get_control_number", "Drovik_group_set_control_number", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_group_get_control_number(h)); }},
    {"Drovik_group_get_bounding_box", "Drovik_group_get_bounding_box", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_get_bounding_box(h, out16)); }},
    {"Drovik_group_get_center_of_mass", "Drovik_group_get_center_of_mass", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_get_center_of_mass(h, out16)); }},
    {"Drovik_group_get_location", "Drovik_group_get_location", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_get_location(h, out16, out16, out16)); }},
    {"Drovik_group_get_dimensions", "Drovik_group_get_dimensions", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_get_dimensions(h, out16)); }},
    {"Drovik_group_get_rotate_reference_point", "Drovik_group_get_rotate_reference_point", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_get_rotate_reference_point(h, out16)); }},
    {"Drovik_group_set_rotate_reference_point", "Drovik_group_set_rotate_reference_point", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_rotate_reference_point(h, v16)); }},
    {"Drovik_group_calculate_axis_system", "Drovik_group_calculate_axis_system", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_calculate_axis_system(h, out16, out16, out16)); }},
    {"Drovik_group_convert_point_to_world_space", "Drovik_group_convert_point_to_world_space", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_convert_point_to_world_space(h, v16, out16)); }},
    {"Drovik_group_convert_point_to_group_space", "Drovik_group_convert_point_to_group_space", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_convert_point_to_group_space(h, v16, out16)); }},
    {"Drovik_group_get_bottom_polygon", "Drovik_group_get_bottom_polygon", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_group_get_bottom_polygon(h)); }},
    {"Drovik_group_get_top_polygon", "Drovik_group_get_top_polygon", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_group_get_top_polygon(h)); }},
    {"Drovik_group_get_front_polygon", "Drovik_group_get_front_polygon", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_group_get_front_polygon(h)); }},
    {"Drovik_group_get_back_polygon", "Drovik_group_get_back_polygon", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_group_get_back_polygon(h)); }},
    {"Drovik_group_is_bitmap_used", "Drovik_group_is_bitmap_used", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_group_is_bitmap_used(h, nullptr)); }},
    {"Drovik_group_count_intersections", nullptr, 0,
     [](DROVIK_HANDLE h) { return double(Drovik_group_count_intersections(h, nullptr)); }},
    {"Drovik_group_is_rotation_enabled", "Drovik_group_is_rotation_enabled", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_is_rotation_enabled(h)); }},
    {"Drovik_group_rotate", "Drovik_group_rotate_radians", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_rotate(h, 1.0, 1, 1)); }},
    {"Drovik_group_rotate_using_matrix", "Drovik_group_rotate_using_matrix", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_rotate_using_matrix(h, v16)); }},
    {"Drovik_group_transform_using_matrix4x4", "Drovik_group_transform_using_matrix4x4", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_transform_using_matrix4x4(h, v16)); }},
    {"Drovik_group_move", "Drovik_group_move", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_move(h, out16, 1)); }},
    {"Drovik_group_set_location", "Drovik_group_set_location", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_location(h, v16)); }},
    {"Drovik_group_scale", "Drovik_group_scale", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_scale(h, 1, 1.0, 1.0, 1.0)); }},
    {"Drovik_group_rotate_to_match_polygon", "Drovik_group_rotate_to_match_polygon", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_rotate_to_match_polygon(h, nullptr, nullptr, 1)); }},
    {"Drovik_group_rotate_around_line_to_match_polygon", "Drovik_group_rotate_around_line_to_match_polygon", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_rotate_around_line_to_match_polygon(h, nullptr, nullptr, 1, v16, v16)); }},
    {"Drovik_group_rotate_to_match_direction", "Drovik_group_rotate_to_match_polygon", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_rotate_to_match_direction(h, nullptr, v16)); }},
    {"Drovik_group_rotate_around_line", "Drovik_group_rotate_around_line", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_rotate_around_line(h, v16, v16, 1.0)); }},
    {"Drovik_group_rotate_to_match_axis_system", "Drovik_group_rotate_to_match_axis_system", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_rotate_to_match_axis_system(h, v16, v16, v16)); }},
    {"Drovik_group_move_to_match_point", "Drovik_group_move_to_match_point", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_move_to_match_point(h, v16, v16)); }},
    {"Drovik_group_set_orientation", "Drovik_group_set_orientation", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_orientation(h, nullptr, 1)); }},
    {"Drovik_group_reduce_polygons_count", "Drovik_group_reduce_polygons_count", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_reduce_polygons_count(h, 1.0)); }},
    {"Drovik_group_set_color", "Drovik_group_set_color", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_color(h, 1, 1, 1)); }},
    {"Drovik_group_wrap_a_bitmap", "Drovik_group_match_bitmap", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_wrap_a_bitmap(h, nullptr, 1.0, 1.0)); }},
    {"Drovik_group_wrap_a_bitmap_fixed", "Drovik_group_wrap_a_bitmap_fixed", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_wrap_a_bitmap_fixed(h, nullptr, 1.0, 1.0, v16, v16)); }},
    {"Drovik_group_light_group", "Drovik_group_light_group", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_light_group(h, v16, 1.0, 1.0)); }},
    {"Drovik_group_set_ambient", "Drovik_group_set_ambient", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_ambient(h, 1)); }},
    {"Drovik_group_set_diffuse", "Drovik_group_set_diffuse", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_diffuse(h, 1)); }},
    {"Drovik_group_set_specular", "Drovik_group_set_specular", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_specular(h, 1)); }},
    {"Drovik_group_set_light", "Drovik_group_set_light", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_light(h, rgb)); }},
    {"Drovik_group_remove_light", "Drovik_group_remove_light", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_remove_light(h)); }},
    {"Drovik_group_delete_patches", "Drovik_group_delete_patches", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_delete_patches(h, 1)); }},
    {"Drovik_group_set_patches_color", "Drovik_group_set_patches_color", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_patches_color(h, 1, 1, 1, 1)); }},
    {"Drovik_group_set_patches_bitmap", "Drovik_group_set_patches_color", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_patches_bitmap(h, nullptr, 1)); }},
    {"Drovik_group_set_patches_translucent", "Drovik_group_set_patches_color", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_patches_translucent(h, 1, 1)); }},
    {"Drovik_group_set_name_to_chase", "Drovik_group_set_name_to_chase", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_name_to_chase(h, "x")); }},
    {"Drovik_group_get_chased_name", "Drovik_group_get_chased_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_group_get_chased_name(h)); }},
    {"Drovik_group_get_chase_offset", "Drovik_group_get_chase_offset", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_get_chase_offset(h, out16)); }},
    {"Drovik_group_set_chase_offset", "Drovik_group_set_chase_offset", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_chase_offset(h, v16)); }},
    {"Drovik_group_get_chase_softness", "Drovik_group_get_chase_softness", -1,
     [](DROVIK_HANDLE h) { return Drovik_group_get_chase_softness(h); }},
    {"Drovik_group_set_chase_softness", "Drovik_group_set_chase_softness", -1,
     [](DROVIK_HANDLE h) { return Drovik_group_set_chase_softness(h, 1.0); }},
    {"Drovik_group_get_chase_type_name", "Drovik_group_get_chase_type_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_group_get_chase_type_name(h)); }},
    {"Drovik_group_get_chase_type", "Drovik_group_get_chase_type", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_get_chase_type(h)); }},
    {"Drovik_group_set_chase_type", "Drovik_group_set_chase_type", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_chase_type(h, 1)); }},
    {"Drovik_group_set_chase_distance", "Drovik_group_set_chase_distance", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_chase_distance(h, 1.0)); }},
    {"Drovik_group_get_chase_distance", "Drovik_group_get_chase_distance", -1,
     [](DROVIK_HANDLE h) { return Drovik_group_get_chase_distance(h); }},
    {"Drovik_group_set_track_name", "Drovik_group_set_track_name", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_track_name(h, "x")); }},
    {"Drovik_group_get_track_name", "Drovik_group_get_track_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_group_get_track_name(h)); }},
    {"Drovik_group_get_track_offset", "Drovik_group_get_track_offset", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_get_track_offset(h, out16)); }},
    {"Drovik_group_set_track_offset", "Drovik_group_set_track_offset", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_track_offset(h, v16)); }},
    {"Drovik_group_set_falling_from_track", "Drovik_group_set_falling_from_track", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_falling_from_track(h, 1.0, 1)); }},
    {"Drovik_group_unset_falling_from_track", "Drovik_group_unset_falling_from_track", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_unset_falling_from_track(h)); }},
    {"Drovik_group_get_falling_from_track_params", "Drovik_group_get_falling_from_track_params", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_get_falling_from_track_params(h, &i, out16, &i)); }},
    {"Drovik_group_get_speed", "Drovik_group_get_speed", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_get_speed(h, out16)); }},
    {"Drovik_group_set_speed", "Drovik_group_set_speed", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_speed(h, v16)); }},
    {"Drovik_group_get_absolute_speed", "Drovik_group_get_absolute_speed", -1,
     [](DROVIK_HANDLE h) { return Drovik_group_get_absolute_speed(h); }},
    {"Drovik_group_set_absolute_speed", "Drovik_group_set_absolute_speed", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_absolute_speed(h, 1.0)); }},
    {"Drovik_group_set_physics_rotation", "Drovik_group_set_physics_rotation", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_physics_rotation(h, 1, 1.0, 1.0, 1.0)); }},
    {"Drovik_group_get_physics_rotation", "Drovik_group_get_physics_rotation", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_get_physics_rotation(h, out16)); }},
    {"Drovik_group_get_physics_force", "Drovik_group_get_physics_force", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_get_physics_force(h, out16)); }},
    {"Drovik_group_set_physics_force", "Drovik_group_set_physics_force", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_physics_force(h, v16)); }},
    {"Drovik_group_get_physics_friction", "Drovik_group_get_physics_friction", -1,
     [](DROVIK_HANDLE h) { return Drovik_group_get_physics_friction(h); }},
    {"Drovik_group_get_physics_elasticity", "Drovik_group_get_physics_elasticity", -1,
     [](DROVIK_HANDLE h) { return Drovik_group_get_physics_elasticity(h); }},
    {"Drovik_group_get_physics_maxspeed", "Drovik_group_get_physics_maxspeed", -1,
     [](DROVIK_HANDLE h) { return Drovik_group_get_physics_maxspeed(h); }},
    {"Drovik_group_set_physics_friction", "Drovik_group_set_physics_friction", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_physics_friction(h, 1.0)); }},
    {"Drovik_group_set_physics_elasticity", "Drovik_group_set_physics_elasticity", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_physics_elasticity(h, 1.0)); }},
    {"Drovik_group_set_physics_maxspeed", "Drovik_group_get_physics_maxspeed", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_group_set_physics_maxspeed(h, 1.0)); }},
};

class GroupFamily : public PolyGroupTest {
protected:
    void TearDown() override {
        set_current_camera(nullptr);
        PolyGroupTest::TearDown();
    }

    // A unit square in the plane x = 0 facing +x, marked TOP: the group's z axis is +x.
    DROVIK_HANDLE add_side_square(DROVIK_HANDLE owner_group) {
        DROVIK_HANDLE p = add_polygon({{0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0}}, owner_group);
        Drovik_polygon_set_orientation(p, 1);
        return p;
    }

    std::string only_box() {
        const std::vector<plat_box_record> boxes = new_boxes();
        if (boxes.size() != 1) return "boxes: " + std::to_string(boxes.size());
        return boxes[0].text;
    }
};

void expect_at(const vec3& v, double x, double y, double z) {
    EXPECT_NEAR(v.x, x, 1e-12);
    EXPECT_NEAR(v.y, y, 1e-12);
    EXPECT_NEAR(v.z, z, 1e-12);
}

TEST_F(GroupFamily, EveryExportRefusesAForeignHandleUnderItsCheckName) {
    void* polygon_record = record_create(64, DROVIK_KIND_POLYGON);
    for (const export_row& row : group_rows) expect_refused(row, polygon_record);
    record_destroy(polygon_record);
}

TEST_F(GroupFamily, NullGroupIsTheWholeWorld) {
    DROVIK_HANDLE g = Drovik_group_create("house");
    add_square(0, true, g);
    add_square(5, true);
    dynamic_object* d = dynamic_create("cart");
    const double object_box[6] = {-3, -3, -3, 40, 1, 1};
    std::copy(object_box, object_box + 6, d->box);

    EXPECT_EQ(Drovik_group_get_number_of_polygons(nullptr), 2);
    EXPECT_EQ(Drovik_group_get_number_of_polygons(g), 1);
    double box[6];
    ASSERT_EQ(Drovik_group_get_bounding_box(nullptr, box), 0);
    EXPECT_EQ(box[0], -3);
    EXPECT_EQ(box[3], 40);
    EXPECT_EQ(box[5], 5);
    EXPECT_EQ(Drovik_group_is_static(nullptr), 1);
    EXPECT_TRUE(new_boxes().empty());

    EXPECT_EQ(Drovik_group_get_name(nullptr), nullptr);
    EXPECT_EQ(only_box(), "Drovik_group_get_name: got a NULL handle\n");
    EXPECT_EQ(Drovik_group_get_next(nullptr), nullptr);
    EXPECT_EQ(only_box(), "Drovik_group_get_next_group: got a NULL handle\n");
    EXPECT_EQ(Drovik_group_set_dynamic(nullptr), -1);
    EXPECT_EQ(only_box(), "Drovik_group_set_dynamic: group_handle cant be NULL\n");
    EXPECT_EQ(Drovik_group_get_load_as_disabled_status(nullptr), 1);
    EXPECT_EQ(only_box(), "Drovik_group_get_load_as_disabled_status: group_handle cant be NULL\n");
    EXPECT_EQ(Drovik_group_set_chase_offset(nullptr, v16), -1);
    EXPECT_EQ(only_box(), "Drovik_group_set_chase_offset: got a NULL handle\n");
    // The physics values refuse the world without a word.
    EXPECT_EQ(Drovik_group_set_physics_friction(nullptr, 0.5), -1);
    EXPECT_TRUE(new_boxes().empty());
}

struct rotate_case {
    int space;
    vec3 corner1, corner3;  // where (0, 0, 1) and (0, 1, 0) land
};

TEST_F(GroupFamily, RotationTurnsAboutTheReferencePointInEachSpace) {
    DROVIK_HANDLE cam = Drovik_camera_create("eye");
    const double cx[3] = {0, 0, 1}, cy[3] = {1, 0, 0}, cz[3] = {0, 1, 0};
    ASSERT_EQ(Drovik_camera_set_axis_system(cam, cx, cy, cz), 0);
    set_current_camera(static_cast<camera*>(cam));
    // Space 0 turns about world z, 1 about the group's z (world x), 2 about the camera's z (world y).
    const rotate_case cases[] = {{0, {0, 0, 1}, {-1, 0, 0}}, {1, {0, -1, 0}, {0, 0, 1}}, {2, {1, 0, 0}, {0, 1, 0}}};
    for (const rotate_case& c : cases) {
        SCOPED_TRACE(c.space);
        DROVIK_HANDLE g = Drovik_group_create("turned");
        DROVIK_HANDLE p = add_side_square(g);
        const double origin[3] = {0, 0, 0};
        Drovik_group_set_rotate_reference_point(g, origin);
        ASSERT_EQ(Drovik_group_rotate(g, 90, c.space, 2), 0);
        expect_at(point_at(p, 1), c.corner1.x, c.corner1.y, c.corner1.z);
        expect_at(point_at(p, 3), c.corner3.x, c.corner3.y, c.corner3.z);
        EXPECT_TRUE(new_boxes().empty());
    }
}

TEST_F(GroupFamily, BadRotationsAreRefusedAndChangeNothing) {
    DROVIK_HANDLE g = Drovik_group_create("still");
    DROVIK_HANDLE p = add_side_square(g);
    EXPECT_EQ(Drovik_group_rotate(g, 90, 0, 3), -1);
    EXPECT_EQ(only_box(), "Drovik_group_rotate_radians:\n Illegal axis_flag!!\n");
    EXPECT_EQ(Drovik_group_rotate(g, 90, 3, 0), -1);
    EXPECT_EQ(only_box(), "Drovik_group_rotate_radians:\n Illegal space_flag!!\n");
    EXPECT_EQ(Drovik_group_rotate(nullptr, 90, 1, 0), -1);
    EXPECT_EQ(only_box(), "Drovik_group_rotate_radians:\n Illegal space_flag!!\n");
    set_editor_mode(0);
    EXPECT_EQ(Drovik_group_rotate(g, 90, 0, 0), -1);
    EXPECT_EQ(only_box(), "Drovik_group_rotate_radians:\nWorks only in editor mode !!\n");
    set_editor_mode(1);
    expect_at(point_at(p, 3), 0, 1, 0);

    // A group with a ROTATED member is not turned.
    Drovik_polygon_set_rotated(p, 1);
    EXPECT_EQ(Drovik_group_is_rotation_enabled(g), 0);
    EXPECT_EQ(Drovik_group_rotate(g, 90, 0, 2), 0);
    expect_at(point_at(p, 3), 0, 1, 0);
    expect_at(point_at(p, 1), 0, 0, 1);
}

TEST_F(GroupFamily, MoveInOwnSpaceWritesTheOffsetBack) {
    DROVIK_HANDLE g = Drovik_group_create("mover");
    // A TOP square facing +z: z = (0, 0, 1), x along its first edge (0, 1, 0), y = (-1, 0, 0).
    DROVIK_HANDLE p = add_square(0, true, g);
    Drovik_polygon_set_orientation(p, 1);
    double offset[3] = {1, 0, 0};
    ASSERT_EQ(Drovik_group_move(g, offset, 1), 0);
    expect_at({offset[0], offset[1], offset[2]}, 0, 1, 0);
    expect_at(point_at(p, 0), 0, 1, 0);
    double at[3];
    Drovik_group_get_rotate_reference_point(g, at);
    expect_at({at[0], at[1], at[2]}, 0, 1, 0);

    double world_offset[3] = {0, 0, 2};
    ASSERT_EQ(Drovik_group_move(g, world_offset, 0), 0);
    expect_at(point_at(p, 0), 0, 1, 2);
    EXPECT_EQ(Drovik_group_move(g, world_offset, 5), -1);
    EXPECT_EQ(only_box(), "Drovik_group_move:\n Illegal space_flag!!\n");
    expect_at(point_at(p, 0), 0, 1, 2);
}

TEST_F(GroupFamily, DeleteMembersRemovesTheTreeAndItsPolygons) {
    DROVIK_HANDLE top = Drovik_group_create("top");
    DROVIK_HANDLE middle = Drovik_group_create("middle");
    DROVIK_HANDLE bottom = Drovik_group_create("bottom");
    DROVIK_HANDLE other = Drovik_group_create("other");
    ASSERT_EQ(Drovik_group_set_father_group(middle, top), 0);
    ASSERT_EQ(Drovik_group_set_father_group(bottom, middle), 0);
    EXPECT_EQ(Drovik_group_set_father_group(top, bottom), -1) << "a cycle";
    add_square(0, true, top);
    add_square(1, true, middle);
    add_square(2, true, bottom);
    add_square(3, true, bottom);
    DROVIK_HANDLE outside = add_square(4, true, other);
    EXPECT_EQ(Drovik_group_is_groupA_included_in_groupB(bottom, top), 1);

    EXPECT_EQ(Drovik_group_delete_members(top), 4);
    EXPECT_EQ(Drovik_group_get_first_group(), other);
    EXPECT_EQ(Drovik_group_get_next(other), nullptr);
    EXPECT_EQ(Drovik_group_get_number_of_polygons(nullptr), 1);
    EXPECT_EQ(Drovik_polygon_get_first_polygon(), outside);
    EXPECT_EQ(Drovik_group_is_group(middle, nullptr), 0);
}

TEST_F(GroupFamily, ReducedCopySnapsToTheGridAndDropsCollapsedTriangles) {
    DROVIK_HANDLE g = Drovik_group_create("land");
    add_polygon({{0, 0, 0}, {0, 10, 0}, {10, 10, 0}, {10, 0, 0}}, g);
    add_polygon({{20, 0, 0}, {20, 0.2, 0}, {30, 0, 0}}, g);

    DROVIK_HANDLE copy = Drovik_group_create_reduced_copy(g, 0);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Drovik_group_get_father_group(copy), nullptr);
    EXPECT_EQ(Drovik_group_get_number_of_polygons(copy), 3) << "the square as two triangles and the sliver";
    for (DROVIK_HANDLE p = Drovik_group_get_first_polygon(copy); p; p = Drovik_group_get_next_polygon(copy, p)) {
        EXPECT_EQ(Drovik_polygon_get_num_of_points(p), 3);
    }

    DROVIK_HANDLE snapped = Drovik_group_create_reduced_copy(g, 1);
    ASSERT_NE(snapped, nullptr);
    // The sliver collapses onto its base and is dropped; the two triangles join into one square again.
    EXPECT_EQ(Drovik_group_get_number_of_polygons(snapped), 1);
    DROVIK_HANDLE square = Drovik_group_get_first_polygon(snapped);
    EXPECT_EQ(Drovik_polygon_get_num_of_points(square), 4);
    EXPECT_EQ(Drovik_group_get_number_of_polygons(g), 2);

    EXPECT_EQ(Drovik_group_create_copy_made_of_triangles(nullptr), nullptr);
    EXPECT_EQ(only_box(), "Drovik_group_create_copy_made_of_triangles:\ngroup handle cant be NULL\n");
}

TEST_F(GroupFamily, LightGroupBrightensWhatFacesTheLight) {
    DROVIK_HANDLE g = Drovik_group_create("lit");
    DROVIK_HANDLE up = add_square(0, true, g);
    DROVIK_HANDLE down = add_square(1, false, g);
    const double direction[3] = {0, 0, -2};
    ASSERT_EQ(Drovik_group_light_group(g, direction, 20, 60), 0);
    // 80 and 20 percent, read back at their shade steps.
    EXPECT_NEAR(Drovik_polygon_get_brightness(up), 78.2609, 1e-4);
    EXPECT_NEAR(Drovik_polygon_get_brightness(down), 21.7391, 1e-4);
    EXPECT_EQ(direction[2], -2);

    const double none[3] = {0, 0, 0};
    EXPECT_EQ(Drovik_group_light_group(g, none, 20, 60), -1);
    EXPECT_EQ(new_log(), "Drovik_group_light_group: bad direction\n");
    EXPECT_NEAR(Drovik_polygon_get_brightness(up), 78.2609, 1e-4);
}

TEST_F(GroupFamily, LoadAsDisabledKeepsTheTurnMark) {
    DROVIK_HANDLE g = Drovik_group_create("car");
    group* record = static_cast<group*>(g);
    jstrcpy_with_allocating(&record->object_type, "wagon_TURN2X");
    EXPECT_EQ(Drovik_group_load_as_disabled(g, 1), 0);
    EXPECT_STREQ(record->object_type, "disabled_turn2x");
    EXPECT_EQ(Drovik_group_get_load_as_disabled_status(g), 0);
    jstrcpy_with_allocating(&record->object_type, "plain");
    EXPECT_EQ(Drovik_group_load_as_disabled(g, 1), 0);
    EXPECT_STREQ(record->object_type, "disabled");
    EXPECT_EQ(Drovik_group_get_load_as_disabled_status(g), 1);
    EXPECT_EQ(Drovik_group_load_as_disabled(g, 0), 0);
    EXPECT_STREQ(record->object_type, "enabled");
    EXPECT_EQ(Drovik_group_get_load_as_disabled_status(g), 0);
}

TEST_F(GroupFamily, RotateAroundLineKeepsTheLine) {
    DROVIK_HANDLE g = Drovik_group_create("hinge");
    DROVIK_HANDLE p = add_polygon({{0, 0, 3}, {0, 1, 3}, {1, 0, 3}}, g);
    const double a[3] = {0, 0, 0}, b[3] = {0, 0, 5};
    ASSERT_EQ(Drovik_group_rotate_around_line(g, a, b, 90), 0);
    expect_at(point_at(p, 0), 0, 0, 3);
    expect_at(point_at(p, 2), 0, 1, 3);
    const double same[3] = {0, 0, 0};
    EXPECT_EQ(Drovik_group_rotate_around_line(g, a, same, 90), -1);
    EXPECT_EQ(new_log(), "Drovik_group_rotate_around_line: failed inverting the matrix\n");
}

TEST_F(GroupFamily, RotateToMatchPolygonLinesUpTheAxisSystems) {
    DROVIK_HANDLE g = Drovik_group_create("piece");
    DROVIK_HANDLE own = add_polygon({{0, 0, 0}, {0, 2, 0}, {1, 2, 0}, {1, 0, 0}}, g);
    DROVIK_HANDLE target = add_polygon({{5, 0, 0}, {5, 0, 1}, {5, 1, 1}, {5, 1, 0}});
    ASSERT_EQ(Drovik_group_rotate_to_match_polygon(g, own, target, 0), 0);
    mat4 axes_own, axes_target;
    ASSERT_EQ(polygon_get_mutual_axis_systems(static_cast<polygon*>(own), static_cast<polygon*>(target), axes_own,
                                              axes_target),
              0);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(axes_own.m[r][c], axes_target.m[r][c], 1e-9);
    }
}

TEST_F(GroupFamily, NamesAreMadeUniqueAndFound) {
    DROVIK_HANDLE first = Drovik_group_create("old barn");
    DROVIK_HANDLE second = Drovik_group_create("old barn");
    EXPECT_STREQ(Drovik_group_get_name(first), "old_barn");
    EXPECT_STRNE(Drovik_group_get_name(second), "old_barn");
    EXPECT_EQ(Drovik_group_get_using_name("old_barn"), first);
    EXPECT_EQ(Drovik_group_set_name(second, "shed"), 0);
    EXPECT_STREQ(Drovik_group_get_name(second), "shed");
    EXPECT_STREQ(static_cast<group*>(second)->given_name, "shed");
    EXPECT_EQ(Drovik_group_set_name(first, "shed"), 0);
    EXPECT_STRNE(Drovik_group_get_name(first), "shed");
    EXPECT_EQ(Drovik_group_set_name(first, ""), -1);
    EXPECT_EQ(only_box(), "Drovik_group_set_name: got a NULL handle or null name\n");
    EXPECT_EQ(Drovik_group_create(nullptr), nullptr);
    EXPECT_EQ(only_box(), "Drovik_group_create: got a NULL string\n");
}

TEST_F(GroupFamily, CountIntersectionsChecksItsHandlesSilently) {
    DROVIK_HANDLE a = Drovik_group_create("a");
    DROVIK_HANDLE b = Drovik_group_create("b");
    add_polygon({{-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}}, a);
    add_polygon({{0, -1, -1}, {0, -1, 1}, {0, 1, 1}, {0, 1, -1}}, b);
    EXPECT_EQ(Drovik_group_count_intersections(a, b), 1);
    DROVIK_HANDLE p = Drovik_group_get_first_polygon(a);
    EXPECT_EQ(Drovik_group_count_intersections(a, p), 0);
    int on_stack = 0;
    EXPECT_EQ(Drovik_group_count_intersections(&on_stack, b), 0);
    EXPECT_EQ(new_log(), "");
    EXPECT_TRUE(new_boxes().empty());
}

TEST_F(GroupFamily, DynamicObjectValuesAreKept) {
    DROVIK_HANDLE g = Drovik_group_create("train");
    EXPECT_EQ(Drovik_group_set_chase_softness(g, 3), 1);
    EXPECT_EQ(Drovik_group_get_chase_softness(g), 1);
    const double speed[3] = {3, 4, 0};
    EXPECT_EQ(Drovik_group_set_speed(g, speed), 0);
    EXPECT_EQ(Drovik_group_get_absolute_speed(g), 5);
    EXPECT_EQ(Drovik_group_set_falling_from_track(g, 2.5, 7), 7);
    int flag = 0, mode = 0;
    double height = 0;
    EXPECT_EQ(Drovik_group_get_falling_from_track_params(g, &flag, &height, &mode), 0);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(height, 2.5);
    EXPECT_EQ(mode, 7);
    EXPECT_EQ(Drovik_group_set_physics_rotation(g, 1, 90, 0, 180), 0);
    double degrees[3];
    EXPECT_EQ(Drovik_group_get_physics_rotation(g, degrees), 1);
    EXPECT_NEAR(degrees[0], 90, 1e-12);
    EXPECT_NEAR(degrees[2], 180, 1e-12);
    EXPECT_NEAR(static_cast<group*>(g)->rotation[0], 1.5707963267948966, 1e-15);
    EXPECT_EQ(Drovik_group_set_control_number(g, 2), 0);
    EXPECT_EQ(Drovik_group_get_control_number(g), 2);
}

}  // namespace
