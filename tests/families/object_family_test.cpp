// The object family through its exports: refusals by table, guards, names, trees, duplicates,
// events, placement and the chase and track setters.
#include <gtest/gtest.h>

#include <string>

#include "family_fixture.h"
#include "foundation/strings.h"
#include "platform/clock.h"
#include "world/movers.h"
#include "world/polygon.h"
#include "world/records.h"

namespace {

const std::string wrong_kind_log =
    "Fatal, got a different kind of handle\nCheck if you accidantlly gave the wrong handle !\n";
const std::string object_wrong_kind_box =
    "Fatal, It is not an object handle !.Got a different kind of handle\nCheck if you accidantlly gave the wrong "
    "handle !";

double v3[3] = {1, 2, 3};
double out3[3];
double matrix[4][4];
double box[2][3];
double a, b, c;
int i1, i2;
unsigned char rgb[3] = {10, 20, 30};
DROVIK_HANDLE handles[4];

const family_row object_rows[] = {
    {"Drovik_object_get_next_object", "Drovik_object_get_next_object", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_next_object(h)); }},
    {"Drovik_object_get_name", "Drovik_object_get_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_name(h)); }},
    {"Drovik_object_get_type_name", "Drovik_object_get_type_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_type_name(h)); }},
    {"Drovik_object_set_name", "Drovik_object_set_name", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_name(h, "x")); }},
    {"Drovik_object_set_type_name", "Drovik_object_set_type_name", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_type_name(h, "x")); }},
    {"Drovik_object_get_object_type_number", "Drovik_object_get_object_type_number", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_object_type_number(h)); }},
    {"Drovik_object_get_control_type_number", "Drovik_object_get_control_type_number", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_control_type_number(h)); }},
    {"Drovik_object_set_object_type_number", "Drovik_object_set_object_type_number", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_object_type_number(h, 5)); }},
    {"Drovik_object_set_control_type_number", "Drovik_object_set_control_type_number", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_control_type_number(h, 2)); }},
    {"Drovik_object_get_group_handle", "Drovik_object_get_group_handle", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_group_handle(h)); }},
    {"Drovik_object_duplicate", "Drovik_object_duplicate", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_duplicate(h, 0)); }},
    {"Drovik_object_delete", "Drovik_object_delete", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_delete(h)); }},
    {"Drovik_object_disable", "Drovik_object_disable", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_disable(h)); }},
    {"Drovik_object_enable", "Drovik_object_enable", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_enable(h)); }},
    {"Drovik_object_is_enabled", "Drovik_object_is_enabled", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_object_is_enabled(h)); }},
    {"Drovik_object_set_location", "Drovik_object_set_location", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_location(h, 1, 2, 3)); }},
    {"Drovik_object_get_location", "Drovik_object_get_location", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_location(h, &a, &b, &c)); }},
    {"Drovik_object_move", "Drovik_object_move", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_move(h, 0, 1, 2, 3)); }},
    {"Drovik_object_set_direction", "Drovik_object_set_direction", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_direction(h, 1, 0, 0)); }},
    {"Drovik_object_get_direction", "Drovik_object_get_direction", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_direction(h, &a, &b, &c)); }},
    {"Drovik_object_set_axis_system", "Drovik_object_set_axis_system", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_axis_system(h, v3, v3, v3)); }},
    {"Drovik_object_get_axis_system", "Drovik_object_get_axis_system", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_axis_system(h, out3, out3, out3)); }},
    {"Drovik_object_get_x_axis", "Drovik_object_get_x_axis", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_x_axis(h, out3)); }},
    {"Drovik_object_get_y_axis", "Drovik_object_get_y_axis", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_y_axis(h, out3)); }},
    {"Drovik_object_get_z_axis", "Drovik_object_get_z_axis", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_z_axis(h, out3)); }},
    {"Drovik_object_rotate_x", "Drovik_object_rotate_x", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_rotate_x(h, 10, 0)); }},
    {"Drovik_object_rotate_y", "Drovik_object_rotate_y", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_rotate_y(h, 10, 0)); }},
    {"Drovik_object_rotate_z", "Drovik_object_rotate_z", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_rotate_z(h, 10, 0)); }},
    {"Drovik_object_rotate_x_radians", "Drovik_object_rotate_x_radians", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_rotate_x_radians(h, 1, 0)); }},
    {"Drovik_object_rotate_y_radians", "Drovik_object_rotate_y_radians", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_rotate_y_radians(h, 1, 0)); }},
    {"Drovik_object_rotate_z_radians", "Drovik_object_rotate_z_radians", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_rotate_z_radians(h, 1, 0)); }},
    {"Drovik_object_get_cos_pitch", "Drovik_object_get_cos_pitch", -9999.0,
     [](DROVIK_HANDLE h) { return Drovik_object_get_cos_pitch(h); }},
    {"Drovik_object_get_cos_bank", "Drovik_object_get_cos_bank", -9999.0,
     [](DROVIK_HANDLE h) { return Drovik_object_get_cos_bank(h); }},
    {"Drovik_object_get_cos_head", "Drovik_object_get_cos_head", -9999.0,
     [](DROVIK_HANDLE h) { return Drovik_object_get_cos_head(h); }},
    {"Drovik_object_get_total_move_mat", "Drovik_object_get_total_move_mat", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_total_move_mat(h, matrix)); }},
    {"Drovik_object_convert_point_to_world_space", "Drovik_object_convert_point_to_world_space", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_convert_point_to_world_space(h, v3, out3)); }},
    {"Drovik_object_convert_point_to_object_space", "Drovik_object_convert_point_to_object_space", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_convert_point_to_object_space(h, v3, out3)); }},
    {"Drovik_object_set_rotation_center", "Drovik_object_set_rotation_center", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_rotation_center(h, v3)); }},
    {"Drovik_object_get_rotation_center", "Drovik_object_get_rotation_center", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_rotation_center(h, out3)); }},
    {"Drovik_object_set_scale", "Drovik_object_set_scale", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_scale(h, v3)); }},
    {"Drovik_object_get_scale", "Drovik_object_get_scale", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_scale(h, out3)); }},
    {"Drovik_object_get_bounding_box", "Drovik_object_get_bounding_box", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_bounding_box(h, box)); }},
    {"Drovik_object_is_movement_possible", "Drovik_object_is_movement_possible", 0,
     [](DROVIK_HANDLE h) {
         return double(Drovik_object_is_movement_possible(h, v3, v3, &handles[0], out3, &handles[1]));
     }},
    {"Drovik_object_set_father_object", "Drovik_object_set_father_object", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_father_object(h, nullptr)); }},
    {"Drovik_object_get_father_object", "Drovik_object_get_father_object", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_father_object(h)); }},
    {"Drovik_object_is_objectA_included_in_objectB", "Drovik_object_is_objectA_included_in_objectB", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_is_objectA_included_in_objectB(h, nullptr)); }},
    {"Drovik_object_get_first_son", "Drovik_object_get_first_son", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_first_son(h)); }},
    {"Drovik_object_get_next_son", "Drovik_object_get_next_son", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_next_son(h, nullptr)); }},
    {"Drovik_object_get_first_direct_son", "Drovik_object_get_first_direct_son", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_first_direct_son(h)); }},
    {"Drovik_object_get_next_direct_son", "Drovik_object_get_next_direct_son", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_next_direct_son(h, nullptr)); }},
    {"Drovik_object_move_including_sons", "Drovik_object_move_including_sons", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_move_including_sons(h, 0, 1, 2, 3)); }},
    {"Drovik_object_get_center_of_tree", "Drovik_object_get_center_of_tree", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_center_of_tree(h, out3)); }},
    {"Drovik_object_set_location_of_tree", "Drovik_object_set_location_of_tree", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_location_of_tree(h, v3, 1)); }},
    {"Drovik_object_rotate_including_sons", "Drovik_object_rotate_including_sons", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_rotate_including_sons(h, 10, 3, 0, 1, v3)); }},
    {"Drovik_object_get_track_name", "Drovik_object_get_track_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_track_name(h)); }},
    {"Drovik_object_get_track_handle", "Drovik_object_get_track_handle", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_track_handle(h)); }},
    {"Drovik_object_set_track", "Drovik_object_set_track", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_track(h, nullptr)); }},
    {"Drovik_object_get_track_offset", "Drovik_object_get_track_offset", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_track_offset(h, out3)); }},
    {"Drovik_object_set_track_offset", "Drovik_object_set_track_offset", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_track_offset(h, v3)); }},
    {"Drovik_object_get_next_point_on_track", "Drovik_object_get_next_point_on_track", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_next_point_on_track(h)); }},
    {"Drovik_object_set_next_point_on_track", "Drovik_object_set_next_point_on_track", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_next_point_on_track(h, 1)); }},
    {"Drovik_object_set_object_to_chase", "Drovik_object_set_object_to_chase", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_object_to_chase(h, nullptr)); }},
    {"Drovik_object_set_camera_to_chase", "Drovik_object_set_camera_to_chase", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_camera_to_chase(h, nullptr)); }},
    {"Drovik_object_set_group_to_chase", "Drovik_object_set_group_to_chase", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_group_to_chase(h, nullptr)); }},
    {"Drovik_object_get_chased_object", "Drovik_object_get_chased_object", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_chased_object(h)); }},
    {"Drovik_object_get_chased_camera", "Drovik_object_get_chased_camera", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_chased_camera(h)); }},
    {"Drovik_object_get_chased_group", "Drovik_object_get_chased_group", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_chased_group(h)); }},
    {"Drovik_object_get_chase_offset", "Drovik_object_get_chase_offset", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_chase_offset(h, out3)); }},
    {"Drovik_object_set_chase_offset", "Drovik_object_set_chase_offset", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_chase_offset(h, v3)); }},
    {"Drovik_object_get_chase_softness", "Drovik_object_get_chase_softness", -1.0,
     [](DROVIK_HANDLE h) { return Drovik_object_get_chase_softness(h); }},
    {"Drovik_object_set_chase_softness", "Drovik_object_set_chase_softness", 0.0,
     [](DROVIK_HANDLE h) { return Drovik_object_set_chase_softness(h, 0.5); }},
    {"Drovik_object_get_chase_type", "Drovik_object_get_chase_type", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_chase_type(h)); }},
    {"Drovik_object_set_chase_type", "Drovik_object_set_chase_type", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_chase_type(h, 2)); }},
    {"Drovik_object_set_chase_distance", "Drovik_object_set_chase_distance", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_chase_distance(h, 5)); }},
    {"Drovik_object_get_chase_distance", "Drovik_object_get_chase_distance", 0.0,
     [](DROVIK_HANDLE h) { return Drovik_object_get_chase_distance(h); }},
    {"Drovik_object_set_falling_from_track", "Drovik_object_set_falling_from_track", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_falling_from_track(h, 2, 3)); }},
    {"Drovik_object_unset_falling_from_track", "Drovik_object_unset_falling_from_track", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_unset_falling_from_track(h)); }},
    {"Drovik_object_get_falling_from_track_params", "Drovik_object_get_falling_from_track_params", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_falling_from_track_params(h, &i1, &a, &i2)); }},
    {"Drovik_object_get_location_on_track_before_falling", "Drovik_object_get_location_on_track_before_falling",
     -1, [](DROVIK_HANDLE h) { return double(Drovik_object_get_location_on_track_before_falling(h, out3)); }},
    {"Drovik_object_advance", "Drovik_object_advance", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_advance(h)); }},
    {"Drovik_object_advance_automatically", "Drovik_object_advance_automatically", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_advance_automatically(h, 1)); }},
    {"Drovik_object_get_speed", "Drovik_object_get_speed", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_speed(h, out3)); }},
    {"Drovik_object_set_speed", "Drovik_object_set_speed", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_speed(h, v3)); }},
    {"Drovik_object_get_absolute_speed", "Drovik_object_get_absolute_speed", -1.0,
     [](DROVIK_HANDLE h) { return Drovik_object_get_absolute_speed(h); }},
    {"Drovik_object_set_absolute_speed", "Drovik_object_set_absolute_speed", 0.0,
     [](DROVIK_HANDLE h) { return Drovik_object_set_absolute_speed(h, 5); }},
    {"Drovik_object_get_force", "Drovik_object_get_force", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_force(h, out3)); }},
    {"Drovik_object_set_force", "Drovik_object_set_force", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_force(h, v3)); }},
    {"Drovik_object_get_max_speed", "Drovik_object_get_max_speed", -1.0,
     [](DROVIK_HANDLE h) { return Drovik_object_get_max_speed(h); }},
    {"Drovik_object_get_friction", "Drovik_object_get_friction", -1.0,
     [](DROVIK_HANDLE h) { return Drovik_object_get_friction(h); }},
    {"Drovik_object_get_elasticity", "Drovik_object_get_elasticity", -1.0,
     [](DROVIK_HANDLE h) { return Drovik_object_get_elasticity(h); }},
    {"Drovik_object_set_max_speed", "Drovik_object_set_max_speed", 0.0,
     [](DROVIK_HANDLE h) { return Drovik_object_set_max_speed(h, 5); }},
    {"Drovik_object_set_friction", "Drovik_object_set_friction", 0.0,
     [](DROVIK_HANDLE h) { return Drovik_object_set_friction(h, 0.5); }},
    {"Drovik_object_set_elasticity", "Drovik_object_set_elasticity", 0.0,
     [](DROVIK_HANDLE h) { return Drovik_object_set_elasticity(h, 0.5); }},
    {"Drovik_object_set_physics_rotation", "Drovik_object_set_physics_rotation", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_physics_rotation(h, 1, 1, 2, 3)); }},
    {"Drovik_object_get_physics_rotation", "Drovik_object_get_physics_rotation", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_physics_rotation(h, out3)); }},
    {"Drovik_object_reset_distance_counter", "Drovik_object_reset_distance_counter", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_reset_distance_counter(h)); }},
    {"Drovik_object_get_distance_counter", "Drovik_object_get_distance_counter", 0.0,
     [](DROVIK_HANDLE h) { return Drovik_object_get_distance_counter(h); }},
    {"Drovik_object_make_collisional", "Drovik_object_make_non_collisional", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_make_collisional(h)); }},
    {"Drovik_object_make_non_collisional", "Drovik_object_make_non_collisional", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_make_non_collisional(h)); }},
    {"Drovik_object_is_collisional", "Drovik_object_make_non_collisional", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_object_is_collisional(h)); }},
    {"Drovik_object_enable_collision_test_for_chase_physics",
     "Drovik_object_enable_collision_test_for_chase_physics", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_enable_collision_test_for_chase_physics(h)); }},
    {"Drovik_object_cancel_collision_test_for_chase_physics",
     "Drovik_object_cancel_collision_test_for_chase_physics", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_cancel_collision_test_for_chase_physics(h)); }},
    {"Drovik_object_is_collision_test_for_chase_physics", "Drovik_object_enable_collision_test_for_chase_physics", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_object_is_collision_test_for_chase_physics(h)); }},
    {"Drovik_object_set_event", "Drovik_object_set_expiration_timer", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_event(h, 100, 1)); }},
    {"Drovik_object_set_event_on_animation_frame", "Drovik_object_delete_on_animation_frame", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_event_on_animation_frame(h, nullptr, 1, 1)); }},
    {"Drovik_object_get_polygon", "Drovik_object_get_polygon", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_polygon(h, nullptr)); }},
    {"Drovik_object_is_polygon_part_of", "Drovik_object_is_polygon_part_of", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_object_is_polygon_part_of(h, nullptr)); }},
    {"Drovik_object_get_number_of_polygons", "Drovik_object_get_number_of_polygons", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_number_of_polygons(h)); }},
    {"Drovik_object_get_all_polygons", "Drovik_object_get_all_polygons", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_get_all_polygons(h, handles)); }},
    {"Drovik_object_add_polygon", "Drovik_object_add_polygon", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_add_polygon(h, nullptr)); }},
    {"Drovik_object_set_bitmap", "Drovik_object_set_bitmap", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_bitmap(h, nullptr)); }},
    {"Drovik_object_set_light", "Drovik_object_set_light", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_set_light(h, rgb)); }},
    {"Drovik_object_remove_light", "Drovik_object_remove_light", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_remove_light(h)); }},
    {"Drovik_object_get_animation", "Drovik_object_get_animation", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_object_get_animation(h)); }},
    {"Drovik_object_replace_animation", "Drovik_object_replace_animation", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_replace_animation(h, nullptr, nullptr)); }},
    {"Drovik_object_replace_animation_using_names", "Drovik_object_replace_animation_using_names", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_object_replace_animation_using_names(h, "a", "b")); }},
};

uint32_t fake_now = 1;
uint32_t fake_tick() { return fake_now; }

class ObjectFamily : public FamilyTest {
protected:
    void SetUp() override {
        FamilyTest::SetUp();
        fake_now = 5000;
        plat_clock_override(fake_tick, nullptr);
    }
    void TearDown() override {
        plat_clock_override(nullptr, nullptr);
        FamilyTest::TearDown();
    }

    DROVIK_HANDLE create(const char* name) {
        DROVIK_HANDLE object = Drovik_object_create(name);
        EXPECT_NE(object, nullptr);
        return object;
    }

    static vec3 location(DROVIK_HANDLE object) {
        vec3 at{};
        Drovik_object_get_location(object, &at.x, &at.y, &at.z);
        return at;
    }

    // A unit square on the xy plane from the origin, owned by the object.
    static DROVIK_HANDLE add_square(DROVIK_HANDLE object) {
        polygon* p = init_poly();
        for (const vec3& q : {vec3{0, 0, 0}, vec3{0, 1, 0}, vec3{1, 1, 0}, vec3{1, 0, 0}}) {
            const double values[6] = {q.x, q.y, q.z, 0, 0, 8};
            polygon_add_point(p, values);
        }
        EXPECT_EQ(Drovik_object_add_polygon(object, p), 0);
        return p;
    }
};

TEST_F(ObjectFamily, EveryExportRefusesAForeignHandleUnderItsCheckName) {
    expect_foreign_handles_refused(object_rows, object_wrong_kind_box);
}

TEST_F(ObjectFamily, ModeGuardsRefuseOnce) {
    set_editor_mode(1);
    EXPECT_EQ(Drovik_object_create("early"), nullptr);
    EXPECT_EQ(Drovik_object_create_from_file("some.wld"), nullptr);
    EXPECT_EQ(Drovik_object_advance_all(), -1);
    std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "Drovik_object_create:\nWorks only in VIEWER_MODE !!\n");
    EXPECT_EQ(boxes[1].text, "Drovik_object_create_from_file:\nWorks only in VIEWER_MODE !!\n");
    EXPECT_EQ(boxes[2].text, "Drovik_object_advance_all:\nWorks only in viewer mode !!\n");
    EXPECT_EQ(Drovik_object_get_first_object(), nullptr);

    set_editor_mode(0);
    DROVIK_HANDLE object = create("car");
    set_editor_mode(1);
    EXPECT_EQ(Drovik_object_advance(object), -1);
    boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Drovik_object_advance:\nWorks only in viewer mode !!\n");
}

TEST_F(ObjectFamily, NamesAndNumbers) {
    DROVIK_HANDLE first = create("car");
    DROVIK_HANDLE second = create("van");
    EXPECT_EQ(Drovik_object_get_first_object(), second);
    EXPECT_EQ(Drovik_object_get_next_object(second), first);
    EXPECT_EQ(Drovik_object_get_object_using_name("CAR"), first);
    EXPECT_EQ(Drovik_object_get_object_using_name("lorry"), nullptr);

    EXPECT_EQ(Drovik_object_set_name(first, ""), -1);
    EXPECT_EQ(new_log(), "Drovik_object_set_name: can set an empty name\n");
    EXPECT_STREQ(Drovik_object_get_name(first), "car");
    EXPECT_EQ(Drovik_object_set_type_name(first, "wagon"), 0);
    EXPECT_STREQ(Drovik_object_get_type_name(first), "wagon");
    EXPECT_EQ(Drovik_object_set_control_type_number(first, 2), 2);
    EXPECT_EQ(Drovik_object_get_control_type_number(first), 2);
    EXPECT_EQ(Drovik_object_set_object_type_number(first, 7), 7);
    EXPECT_EQ(Drovik_object_get_object_type_number(first), 7);
    EXPECT_EQ(Drovik_object_get_object_type_number(second), 0);
}

TEST_F(ObjectFamily, EventOnAnimationFrameWaitsForTheFrame) {
    uint32_t durations[4] = {10, 20, 30, 40};
    animation* anim = record_new<animation>(kind_animation);
    anim->frame_count = 4;
    anim->durations = durations;
    auto* shown = static_cast<polygon*>(record_create(sizeof(polygon), kind_polygon));
    shown->anim = anim;
    DROVIK_HANDLE object = create("door");
    auto* d = static_cast<dynamic_object*>(object);

    shown->animation_frame = 1;
    EXPECT_EQ(Drovik_object_set_event_on_animation_frame(object, shown, 3, 2), 2);
    EXPECT_EQ(d->event_time, 5000u + 900u);
    EXPECT_EQ(shown->animation_last_tick, 5000u);
    shown->animation_frame = 2;
    EXPECT_EQ(Drovik_object_set_event_on_animation_frame(object, shown, 0, 2), 2);
    EXPECT_EQ(d->event_time, 5000u + 800u);
    // A frame past the last means the last.
    EXPECT_EQ(Drovik_object_set_event_on_animation_frame(object, shown, 9, 2), 2);
    EXPECT_EQ(d->event_time, 5000u + 700u);

    fake_now += 699;
    engine_run_dynamic_events();
    EXPECT_EQ(Drovik_object_is_enabled(object), 1);
    fake_now += 1;
    engine_run_dynamic_events();
    EXPECT_EQ(Drovik_object_is_enabled(object), 0);

    EXPECT_EQ(Drovik_object_set_event(object, 300, 1), 1);
    EXPECT_EQ(Drovik_object_set_event(object, 0, 1), 0);
    fake_now += 1000;
    engine_run_dynamic_events();
    EXPECT_EQ(Drovik_object_get_first_object(), object) << "a cancelled event does not fire";

    shown->anim = nullptr;
    EXPECT_EQ(Drovik_object_set_event_on_animation_frame(object, shown, 0, 1), -1);
    const std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].text, "Drovik_object_delete_on_animation_frame: polygon has no animation");
    EXPECT_EQ(new_log(), "Drovik_object_delete_on_animation_frame: polygon has no animation\n");
    record_destroy(shown);
    record_destroy(anim);
}

TEST_F(ObjectFamily, DeleteEventRemovesTheObjectWhenDue) {
    DROVIK_HANDLE object = create("bomb");
    Drovik_object_set_event(object, 250, 1);
    fake_now += 250;
    engine_run_dynamic_events();
    EXPECT_EQ(Drovik_object_get_first_object(), nullptr);
}

// An object with a son (riding in its module), duplicated with or without its own module.
class ObjectDuplicates : public ObjectFamily, public ::testing::WithParamInterface<int> {};

TEST_P(ObjectDuplicates, CopyAndSourceAreDeletedInEitherOrderWithoutLeaks) {
    for (const bool source_first : {true, false}) {
        SCOPED_TRACE(source_first ? "source first" : "copy first");
        DROVIK_HANDLE source = create("train");
        add_square(source);
        auto* d = static_cast<dynamic_object*>(source);
        dynamic_object* son = init_dynamic_object();
        jstrcpy_with_allocating(&son->name, "wagon");
        d->first_son = son;
        Drovik_object_set_event(source, 10000, 2);

        auto* copy = static_cast<dynamic_object*>(Drovik_object_duplicate(source, GetParam()));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(Drovik_object_get_first_object(), copy);
        EXPECT_STREQ(Drovik_object_get_name(copy), "train");
        EXPECT_NE(copy->name, d->name);
        EXPECT_EQ(copy->first_son, nullptr);
        EXPECT_EQ(copy->delete_only_object, GetParam() ? 0 : 1);
        EXPECT_EQ(copy->own_module == d->own_module, GetParam() == 0);
        EXPECT_EQ(Drovik_object_get_number_of_polygons(copy), 1);

        DROVIK_HANDLE first = source_first ? source : copy;
        DROVIK_HANDLE second = source_first ? copy : source;
        EXPECT_EQ(Drovik_object_delete(first), 0);
        EXPECT_EQ(Drovik_object_get_first_object(), second);
        EXPECT_EQ(Drovik_object_delete(second), 0);
        EXPECT_EQ(Drovik_object_get_first_object(), nullptr);
        new_log();
    }
}

INSTANTIATE_TEST_SUITE_P(ModuleFlag, ObjectDuplicates, ::testing::Values(0, 1));

TEST_F(ObjectFamily, TreesRefuseCyclesAndMoveTogether) {
    DROVIK_HANDLE father = create("engine");
    DROVIK_HANDLE son = create("tender");
    DROVIK_HANDLE grandson = create("coach");
    EXPECT_EQ(Drovik_object_set_father_object(son, father), 0);
    EXPECT_EQ(Drovik_object_set_father_object(grandson, son), 0);
    EXPECT_EQ(Drovik_object_set_father_object(father, grandson), -1);
    EXPECT_EQ(Drovik_object_get_father_object(father), nullptr);
    EXPECT_EQ(Drovik_object_set_father_object(son, son), -1);
    EXPECT_EQ(Drovik_object_get_father_object(son), father);

    EXPECT_EQ(Drovik_object_is_objectA_included_in_objectB(grandson, father), 1);
    EXPECT_EQ(Drovik_object_is_objectA_included_in_objectB(father, grandson), 0);
    EXPECT_EQ(Drovik_object_is_objectA_included_in_objectB(son, son), 1);
    EXPECT_EQ(Drovik_object_is_objectA_included_in_objectB(son, nullptr), 1);
    EXPECT_EQ(Drovik_object_get_first_direct_son(father), son);
    EXPECT_EQ(Drovik_object_get_next_direct_son(father, son), nullptr);
    EXPECT_EQ(Drovik_object_get_first_son(father), grandson);
    EXPECT_EQ(Drovik_object_get_next_son(father, grandson), son);

    Drovik_object_set_location(son, 10, 0, 0);
    Drovik_object_set_location(grandson, 20, 0, 0);
    EXPECT_EQ(Drovik_object_move_including_sons(son, 0, 0, 5, 0), 0);
    EXPECT_EQ(location(father).y, 0);
    EXPECT_EQ(location(son).y, 5);
    EXPECT_EQ(location(grandson).y, 5);
    double centre[3];
    Drovik_object_get_center_of_tree(son, centre);
    EXPECT_EQ(centre[0], 15);
    const double target[3] = {0, 0, 0};
    EXPECT_EQ(Drovik_object_set_location_of_tree(son, target, 2), 0);
    EXPECT_EQ(location(son).x, -5);
    EXPECT_EQ(location(grandson).x, 5);

    // A quarter turn of the tree about the son's location.
    EXPECT_EQ(Drovik_object_rotate_including_sons(son, 90, 3, 0, 1, nullptr), 0);
    EXPECT_NEAR(location(son).x, -5, 1e-9);
    EXPECT_NEAR(location(grandson).x, -5, 1e-9);
    EXPECT_NEAR(std::fabs(location(grandson).y), 10, 1e-9);
}

TEST_F(ObjectFamily, PlacedObjectCarriesItsBoundingBox) {
    DROVIK_HANDLE object = create("signal");
    add_square(object);
    ASSERT_EQ(Drovik_object_get_object_using_name("signal"), object);
    EXPECT_EQ(Drovik_object_set_location(object, 100, 50, 2), 0);
    double b[2][3];
    ASSERT_EQ(Drovik_object_get_bounding_box(object, b), 0);
    EXPECT_NEAR(b[0][0], 100, 1e-9);
    EXPECT_NEAR(b[1][0], 101, 1e-9);
    EXPECT_NEAR(b[1][1], 51, 1e-9);
    EXPECT_EQ(Drovik_object_rotate_z(object, 90, 0), 0);
    ASSERT_EQ(Drovik_object_get_bounding_box(object, b), 0);
    EXPECT_NEAR(b[1][0] - b[0][0], 1, 1e-9);
    EXPECT_NEAR(b[0][1], 50, 1e-9);
    EXPECT_NEAR(b[0][0], 99, 1e-9) << "a quarter turn about the location swings the square to -x";

    const double doubled[3] = {2, 2, 2};
    EXPECT_EQ(Drovik_object_set_scale(object, doubled), 0);
    ASSERT_EQ(Drovik_object_get_bounding_box(object, b), 0);
    EXPECT_NEAR(b[1][0] - b[0][0], 2, 1e-9);
}

TEST_F(ObjectFamily, ScaleRefusesNullAndZero) {
    DROVIK_HANDLE object = create("crate");
    EXPECT_EQ(Drovik_object_set_scale(object, nullptr), -1);
    EXPECT_EQ(new_log(), "Drovik_object_set_scale: got NULL instead of a scale vector\n");
    const double flat[3] = {1, 0, 1};
    EXPECT_EQ(Drovik_object_set_scale(object, flat), -1);
    const std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Warning");
    EXPECT_EQ(boxes[0].text, "Drovik_object_set_scale: cant scale by zero");
    double scale[3];
    EXPECT_EQ(Drovik_object_get_scale(object, scale), 0);
    EXPECT_EQ(scale[1], 1);
    EXPECT_EQ(Drovik_object_get_scale(object, nullptr), -1);
    EXPECT_EQ(new_log(), "Drovik_object_get_scale: got NULL instead of a vector\n");
}

TEST_F(ObjectFamily, ChaseTargetsAreCheckedAndAFailureChangesNothing) {
    DROVIK_HANDLE chaser = create("dog");
    DROVIK_HANDLE target = create("cat");
    DROVIK_HANDLE eye = Drovik_camera_create("eye");
    EXPECT_EQ(Drovik_object_set_object_to_chase(chaser, target), 0);
    EXPECT_EQ(Drovik_object_get_chased_object(chaser), target);
    EXPECT_EQ(std::string(static_cast<dynamic_object*>(chaser)->chase.name), "cat");

    EXPECT_EQ(Drovik_object_set_camera_to_chase(chaser, target), -1);
    EXPECT_EQ(new_log(), "Drovik_object_set_camera_to_chase: " + wrong_kind_log);
    EXPECT_EQ(Drovik_object_set_group_to_chase(chaser, nullptr), -1);
    std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Drovik_object_set_group_to_chase: got a NULL handle\n");
    EXPECT_EQ(Drovik_object_get_chased_object(chaser), target);

    EXPECT_EQ(Drovik_object_set_camera_to_chase(chaser, eye), 0);
    EXPECT_EQ(Drovik_object_get_chased_object(chaser), nullptr);
    EXPECT_EQ(Drovik_object_get_chased_camera(chaser), eye);
    EXPECT_EQ(std::string(static_cast<dynamic_object*>(chaser)->chase.name), "eye");

    EXPECT_NEAR(Drovik_object_set_chase_softness(chaser, 1.5), 1, 0);
    EXPECT_NEAR(Drovik_object_set_chase_softness(chaser, -0.2), 0, 0);
    EXPECT_EQ(Drovik_object_set_chase_type(chaser, 2), 0);
    EXPECT_EQ(Drovik_object_get_chase_type(chaser), 2);
    EXPECT_STREQ(static_cast<dynamic_object*>(chaser)->chase.type_string, "CHASE_LOCATION");
}

TEST_F(ObjectFamily, NextPointIsClampedAndATrackWithoutPointsIsNone) {
    DROVIK_HANDLE object = create("tram");
    char name[] = "line";
    double points[9] = {0, 0, 0, 10, 0, 1, 20, 0, 2};
    jtrack* track = record_new<jtrack>(kind_track);
    track->name = name;
    track->points = points;
    track->point_count = 3;
    EXPECT_EQ(Drovik_object_set_next_point_on_track(object, 1), -1);
    EXPECT_EQ(Drovik_object_set_track(object, track), 0);
    EXPECT_STREQ(Drovik_object_get_track_name(object), "line");
    EXPECT_EQ(Drovik_object_get_next_point_on_track(object), 1);
    EXPECT_EQ(Drovik_object_set_next_point_on_track(object, 3), -1);
    EXPECT_EQ(Drovik_object_get_next_point_on_track(object), 2);
    EXPECT_EQ(Drovik_object_set_next_point_on_track(object, 0), 0);
    track->point_count = 0;
    EXPECT_EQ(Drovik_object_set_next_point_on_track(object, 1), -1);
    EXPECT_EQ(Drovik_object_get_next_point_on_track(object), 0);
    EXPECT_EQ(Drovik_object_set_track(object, nullptr), 0);
    EXPECT_EQ(Drovik_object_get_track_handle(object), nullptr);
    EXPECT_EQ(Drovik_object_get_track_name(object), nullptr);
    record_destroy(track);
}

TEST_F(ObjectFamily, SpeedUnitsAndMotionValues) {
    EXPECT_EQ(Drovik_object_set_speed_units(2), 0);
    EXPECT_EQ(Drovik_object_get_speed_units(), 2);
    DROVIK_HANDLE object = create("cart");
    const double speed[3] = {3, 4, 0};
    Drovik_object_set_speed(object, speed);
    EXPECT_EQ(Drovik_object_get_absolute_speed(object), 5);
    Drovik_object_set_chase_type(object, 9);
    Drovik_object_cancel_collision_test_for_chase_physics(object);
    Drovik_object_advance(object);
    fake_now += 500;
    Drovik_object_advance(object);
    EXPECT_NEAR(location(object).x, 6, 1e-9) << "per step: each step moves the whole speed";
    EXPECT_EQ(Drovik_object_set_speed_units(1), 1);
    EXPECT_EQ(Drovik_object_get_speed_units(), 1);

    EXPECT_EQ(Drovik_object_set_friction(object, 3), 1);
    EXPECT_EQ(Drovik_object_set_physics_rotation(object, 1, 90, 0, 0), 0);
    double degrees[3];
    EXPECT_EQ(Drovik_object_get_physics_rotation(object, degrees), 1);
    EXPECT_NEAR(degrees[0], 90, 1e-12);
    EXPECT_EQ(Drovik_object_set_falling_from_track(object, 2.5, 3), 3);
    int falling = 0, mode = 0;
    double height = 0;
    Drovik_object_get_falling_from_track_params(object, &falling, &height, &mode);
    EXPECT_EQ(falling, 1);
    EXPECT_EQ(height, 2.5);
    Drovik_object_unset_falling_from_track(object);
    Drovik_object_get_falling_from_track_params(object, &falling, nullptr, nullptr);
    EXPECT_EQ(falling, 0);
}

}  // namespace
