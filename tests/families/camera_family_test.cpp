// The camera family through its exports: refusals by table, listing, the values record, clamps,
// projections, tracks, chase links and deleting.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "family_fixture.h"
#include "render/software/rendering_manager.h"
#include "world/records.h"

namespace {

const std::string wrong_kind_log =
    "Fatal, got a different kind of handle\nCheck if you accidantlly gave the wrong handle !\n";
const std::string wrong_kind_box =
    "Fatal, got a different kind of handle\nCheck if you accidantlly gave the wrong handle !";

double v3[3] = {1, 2, 3};
double out3[3];
double a, b, c;
DROVIK_CAMERA_VALUES record;

const family_row camera_rows[] = {
    {"Drovik_camera_get_next_camera", "Drovik_camera_get_next_camera", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_camera_get_next_camera(h)); }},
    {"Drovik_camera_get_width", "Drovik_camera_get_width", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_get_width(h)); }},
    {"Drovik_camera_get_height", "Drovik_camera_get_width", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_get_height(h)); }},
    {"Drovik_camera_save", "Drovik_camera_save", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_save(h, &record)); }},
    {"Drovik_camera_set_values", "Drovik_camera_set_values", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_values(h, &record)); }},
    {"Drovik_camera_delete", "Drovik_camera_delete", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_delete(h)); }},
    {"Drovik_camera_get_name", "Drovik_camera_get_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_camera_get_name(h)); }},
    {"Drovik_camera_set_name", "Drovik_camera_set_name", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_name(h, "x")); }},
    {"Drovik_camera_set_save_flag", "Drovik_camera_set_save_flag", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_save_flag(h, 1)); }},
    {"Drovik_camera_get_save_flag", "Drovik_camera_get_save_flag", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_get_save_flag(h)); }},
    {"Drovik_camera_set_location", "Drovik_camera_set_location", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_location(h, 1, 2, 3)); }},
    {"Drovik_camera_get_location", "Drovik_camera_get_location", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_get_location(h, &a, &b, &c)); }},
    {"Drovik_camera_set_direction", "Drovik_camera_set_direction", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_direction(h, 1, 0, 0)); }},
    {"Drovik_camera_get_direction", "Drovik_camera_get_direction", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_get_direction(h, &a, &b, &c)); }},
    {"Drovik_camera_set_axis_system", "Drovik_camera_set_axis_system", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_axis_system(h, v3, v3, v3)); }},
    {"Drovik_camera_get_axis_system", "Drovik_camera_get_axis_system", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_get_axis_system(h, out3, out3, out3)); }},
    {"Drovik_camera_point_at", "Drovik_camera_set_direction", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_point_at(h, 1, 2, 3)); }},
    {"Drovik_camera_move", "Drovik_camera_move", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_move(h, 0, 1, 2, 3)); }},
    {"Drovik_camera_set_tilt", "Drovik_camera_set_tilt", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_set_tilt(h, 10); }},
    {"Drovik_camera_get_tilt", "Drovik_camera_set_tilt", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_get_tilt(h); }},
    {"Drovik_camera_modify_tilt", "Drovik_camera_modify_tilt", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_modify_tilt(h, 10); }},
    {"Drovik_camera_set_bank", "Drovik_camera_set_bank", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_set_bank(h, 10); }},
    {"Drovik_camera_get_bank", "Drovik_camera_get_bank", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_get_bank(h); }},
    {"Drovik_camera_modify_bank", "Drovik_camera_modify_bank", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_modify_bank(h, 10); }},
    {"Drovik_camera_set_head_angle", "Drovik_camera_set_head_angle", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_set_head_angle(h, 10); }},
    {"Drovik_camera_get_head_angle", "Drovik_camera_set_head_angle", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_get_head_angle(h); }},
    {"Drovik_camera_modify_head_angle", "Drovik_camera_modify_head_angle", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_modify_head_angle(h, 10); }},
    {"Drovik_camera_rotate_x", "Drovik_camera_rotate_x", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_rotate_x(h, 10, 0)); }},
    {"Drovik_camera_rotate_y", "Drovik_camera_rotate_y", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_rotate_y(h, 10, 0)); }},
    {"Drovik_camera_rotate_z", "Drovik_camera_rotate_z", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_rotate_z(h, 10, 0)); }},
    {"Drovik_camera_rotate_x_radians", "Drovik_camera_rotate_x_radians", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_rotate_x_radians(h, 1, 0)); }},
    {"Drovik_camera_rotate_y_radians", "Drovik_camera_rotate_y_radians", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_rotate_y_radians(h, 1, 0)); }},
    {"Drovik_camera_rotate_z_radians", "Drovik_camera_rotate_z_radians", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_rotate_z_radians(h, 1, 0)); }},
    {"Drovik_camera_convert_point_to_world_space", "Drovik_camera_convert_point_to_world_space", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_convert_point_to_world_space(h, v3, out3)); }},
    {"Drovik_camera_convert_point_to_camera_space", "Drovik_camera_convert_point_to_camera_space", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_convert_point_to_camera_space(h, v3, out3)); }},
    {"Drovik_camera_set_zoom", "Drovik_camera_set_zoom", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_set_zoom(h, 60); }},
    {"Drovik_camera_get_zoom", "Drovik_camera_get_zoom", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_get_zoom(h); }},
    {"Drovik_camera_modify_zoom", "Drovik_camera_modify_zoom", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_modify_zoom(h, 5); }},
    {"Drovik_camera_set_focus", "Drovik_camera_set_focus", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_set_focus(h, 5); }},
    {"Drovik_camera_modify_focus", "Drovik_camera_modify_focus", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_modify_focus(h, 5); }},
    {"Drovik_camera_set_distance_from_eye", "Drovik_camera_set_distance_from_eye", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_distance_from_eye(h, 5)); }},
    {"Drovik_camera_get_distance_from_eye", "Drovik_camera_get_distance_from_eye", -1.0,
     [](DROVIK_HANDLE h) { return Drovik_camera_get_distance_from_eye(h); }},
    {"Drovik_camera_set_perspective_projection", "Drovik_camera_set_perspective_projection", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_perspective_projection(h)); }},
    {"Drovik_camera_set_parallel_projection", "Drovik_camera_set_parallel_projection", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_parallel_projection(h, 10, 10)); }},
    {"Drovik_camera_get_parallel_projection_width", "Drovik_camera_get_parallel_projection_width", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_get_parallel_projection_width(h)); }},
    {"Drovik_camera_get_parallel_projection_height", "Drovik_camera_get_parallel_projection_height", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_get_parallel_projection_height(h)); }},
    {"Drovik_camera_is_perspective_projection", "Drovik_camera_is_perspective_projection", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_is_perspective_projection(h)); }},
    {"Drovik_camera_get_track_name", "Drovik_camera_get_track_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_camera_get_track_name(h)); }},
    {"Drovik_camera_get_track_handle", "Drovik_camera_get_track_handle", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_camera_get_track_handle(h)); }},
    {"Drovik_camera_set_track", "Drovik_camera_set_track", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_track(h, nullptr)); }},
    {"Drovik_camera_get_track_offset", "Drovik_camera_get_track_offset", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_get_track_offset(h, out3)); }},
    {"Drovik_camera_set_track_offset", "Drovik_camera_set_track_offset", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_track_offset(h, v3)); }},
    {"Drovik_camera_get_next_point_on_track", "Drovik_camera_get_next_point_on_track", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_get_next_point_on_track(h)); }},
    {"Drovik_camera_set_next_point_on_track", "Drovik_camera_set_next_point_on_track", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_next_point_on_track(h, 1)); }},
    {"Drovik_camera_set_name_to_chase", "Drovik_camera_set_name_to_chase", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_name_to_chase(h, "x")); }},
    {"Drovik_camera_get_name_to_chase", "Drovik_camera_get_name_to_chase", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_camera_get_name_to_chase(h)); }},
    {"Drovik_camera_set_object_to_chase", "Drovik_camera_set_object_to_chase", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_object_to_chase(h, nullptr)); }},
    {"Drovik_camera_set_camera_to_chase", "Drovik_camera_set_camera_to_chase", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_camera_to_chase(h, nullptr)); }},
    {"Drovik_camera_set_group_to_chase", "Drovik_camera_set_group_to_chase", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_group_to_chase(h, nullptr)); }},
    {"Drovik_camera_get_chased_object", "Drovik_camera_get_chased_object", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_camera_get_chased_object(h)); }},
    {"Drovik_camera_get_chased_camera", "Drovik_camera_get_chased_camera", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_camera_get_chased_camera(h)); }},
    {"Drovik_camera_get_chased_group", "Drovik_camera_get_chased_group", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_camera_get_chased_group(h)); }},
    {"Drovik_camera_get_chase_offset", "Drovik_camera_get_chase_offset", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_get_chase_offset(h, out3)); }},
    {"Drovik_camera_set_chase_offset", "Drovik_camera_set_chase_offset", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_chase_offset(h, v3)); }},
    {"Drovik_camera_get_chase_softness", "Drovik_camera_get_chase_softness", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_get_chase_softness(h); }},
    {"Drovik_camera_set_chase_softness", "Drovik_camera_set_chase_softness", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_set_chase_softness(h, 0.5); }},
    {"Drovik_camera_get_chase_type", "Drovik_camera_get_chase_type", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_get_chase_type(h)); }},
    {"Drovik_camera_set_chase_distance", "Drovik_camera_set_chase_distance", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_chase_distance(h, 5)); }},
    {"Drovik_camera_get_chase_distance", "Drovik_camera_get_chase_distance", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_get_chase_distance(h); }},
    {"Drovik_camera_get_speed", "Drovik_camera_get_speed", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_get_speed(h, out3)); }},
    {"Drovik_camera_set_speed", "Drovik_camera_set_speed", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_speed(h, v3)); }},
    {"Drovik_camera_get_absolute_speed", "Drovik_camera_get_absolute_speed", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_get_absolute_speed(h); }},
    {"Drovik_camera_set_absolute_speed", "Drovik_camera_set_absolute_speed", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_set_absolute_speed(h, 5); }},
    {"Drovik_camera_get_force", "Drovik_camera_get_force", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_get_force(h, out3)); }},
    {"Drovik_camera_set_force", "Drovik_camera_set_force", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_force(h, v3)); }},
    {"Drovik_camera_get_max_speed", "Drovik_camera_get_max_speed", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_get_max_speed(h); }},
    {"Drovik_camera_set_max_speed", "Drovik_camera_set_max_speed", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_max_speed(h, 5)); }},
    {"Drovik_camera_get_friction", "Drovik_camera_get_friction", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_get_friction(h); }},
    {"Drovik_camera_set_friction", "Drovik_camera_set_friction", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_set_friction(h, 0.5); }},
    {"Drovik_camera_get_elasticity", "Drovik_camera_get_elasticity", 0,
     [](DROVIK_HANDLE h) { return Drovik_camera_get_elasticity(h); }},
    {"Drovik_camera_set_elasticity", "Drovik_camera_set_elasticity", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_camera_set_elasticity(h, 0.5)); }},
};

class CameraFamily : public FamilyTest {
protected:
    DROVIK_HANDLE create(const char* name) {
        DROVIK_HANDLE camera = Drovik_camera_create(name);
        EXPECT_NE(camera, nullptr);
        return camera;
    }

    // A camera of the given pixel size, looking along -x from the origin.
    DROVIK_HANDLE create_sized(int width, int height) {
        DROVIK_CAMERA_VALUES values;
        Drovik_camera_save(create("probe"), &values);
        values.width = width;
        values.height = height;
        return Drovik_camera_recreate("sized", &values);
    }

    static vec3 location(DROVIK_HANDLE camera) {
        vec3 at{};
        Drovik_camera_get_location(camera, &at.x, &at.y, &at.z);
        return at;
    }
};

TEST_F(CameraFamily, EveryExportRefusesAForeignHandleUnderItsCheckName) {
    expect_foreign_handles_refused(camera_rows, wrong_kind_box);
}

TEST_F(CameraFamily, GuardsRefuseOnceAndChangeNothing) {
    engine_set_world_loaded(0);
    EXPECT_EQ(Drovik_camera_create("early"), nullptr);
    engine_set_world_loaded(1);
    std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "Drovik_camera_create:\nYou must call Drovik_engine_load_world()\n before calling this function !!\n");
    EXPECT_EQ(Drovik_camera_get_first_camera(), nullptr);

    DROVIK_HANDLE chaser = create("chaser");
    DROVIK_HANDLE target = create("target");
    set_editor_mode(1);
    EXPECT_EQ(Drovik_camera_set_camera_to_chase(chaser, target), 0);
    EXPECT_EQ(Drovik_camera_get_chased_camera(chaser), nullptr);
    boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text,
              "Drovik_camera_set_camera_to_chase: In editor mode use\nDrovik_camera_(s/g)et_name_to_chase() instead\n");
    EXPECT_EQ(boxes[1].text,
              "Drovik_camera_get_chased_camera: In editor mode use\nDrovik_camera_(s/g)et_name_to_chase() instead\n");
    EXPECT_EQ(Drovik_camera_get_name_to_chase(chaser), nullptr);

    EXPECT_EQ(Drovik_camera_get_using_name(nullptr), nullptr);
    boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Drovik_camera_get_using_name: got a NULL string\n");
}

TEST_F(CameraFamily, ListingFindsCamerasInOrderUnderUniqueNames) {
    DROVIK_HANDLE first = create("cam");
    DROVIK_HANDLE second = create("cam");
    EXPECT_EQ(Drovik_camera_get_first_camera(), first);
    EXPECT_EQ(Drovik_camera_get_default_camera(), first);
    EXPECT_EQ(Drovik_camera_get_next_camera(first), second);
    EXPECT_EQ(Drovik_camera_get_next_camera(second), nullptr);
    EXPECT_STREQ(Drovik_camera_get_name(second), "cam_2");
    EXPECT_EQ(Drovik_camera_get_using_name("cam_2"), second);
    EXPECT_EQ(Drovik_camera_get_width(first), 300);
    EXPECT_EQ(Drovik_camera_get_height(first), 300);
    EXPECT_EQ(Drovik_camera_get_zoom(first), 90);
    EXPECT_EQ(Drovik_camera_get_distance_from_eye(first), 4);
    double x = 0, y = 0, z = 0;
    Drovik_camera_get_direction(first, &x, &y, &z);
    EXPECT_NEAR(x, -1, 1e-12);

    EXPECT_EQ(Drovik_camera_set_name(first, ""), -1);
    EXPECT_EQ(new_log(), "Drovik_camera_set_name: can set an empty name\n");
    EXPECT_STREQ(Drovik_camera_get_name(first), "cam");
}

TEST_F(CameraFamily, SavedValuesRecreateTheSameCamera) {
    DROVIK_HANDLE original = create_sized(400, 300);
    Drovik_camera_set_location(original, 10, -20, 5);
    Drovik_camera_set_head_angle(original, 30);
    Drovik_camera_set_tilt(original, -15);
    Drovik_camera_set_zoom(original, 60);
    const double speed[3] = {3, 4, 0};
    Drovik_camera_set_speed(original, speed);
    const double force[3] = {0, 0, -9.8};
    Drovik_camera_set_force(original, force);
    Drovik_camera_set_friction(original, 0.25);
    Drovik_camera_set_elasticity(original, 0.5);
    Drovik_camera_set_max_speed(original, 80);

    DROVIK_CAMERA_VALUES values;
    ASSERT_EQ(Drovik_camera_save(original, &values), 0);
    DROVIK_HANDLE copy = Drovik_camera_recreate("copy", &values);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Drovik_camera_get_width(copy), 400);
    EXPECT_EQ(Drovik_camera_get_height(copy), 300);
    EXPECT_EQ(Drovik_camera_get_zoom(copy), 60);
    EXPECT_EQ(location(copy).x, 10);
    EXPECT_EQ(location(copy).y, -20);
    EXPECT_EQ(location(copy).z, 5);
    double axes_a[3][3], axes_b[3][3];
    Drovik_camera_get_axis_system(original, axes_a[0], axes_a[1], axes_a[2]);
    Drovik_camera_get_axis_system(copy, axes_b[0], axes_b[1], axes_b[2]);
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 3; ++k) EXPECT_EQ(axes_a[i][k], axes_b[i][k]);
    }
    EXPECT_NEAR(Drovik_camera_get_tilt(copy), -15, 1e-9);
    EXPECT_EQ(Drovik_camera_get_absolute_speed(copy), 5);
    double got[3];
    Drovik_camera_get_force(copy, got);
    EXPECT_EQ(got[2], -9.8);
    EXPECT_EQ(Drovik_camera_get_friction(copy), 0.25);
    EXPECT_EQ(Drovik_camera_get_elasticity(copy), 0.5);
    EXPECT_EQ(Drovik_camera_get_max_speed(copy), 80);
}

// The record as raw bytes at its fixed offsets.
TEST_F(CameraFamily, RawRecordIsReadAtItsOffsets) {
    unsigned char bytes[216] = {};
    auto put_int = [&](size_t at, int32_t v) { std::memcpy(bytes + at, &v, 4); };
    auto put = [&](size_t at, double v) { std::memcpy(bytes + at, &v, 8); };
    put(16, 2.5);   // distance from eye
    put_int(24, 320);
    put_int(28, 200);
    put(32, 45);    // field of view
    put(40, 1), put(48, 2), put(56, 3);       // location
    put(64, 1), put(96, 1), put(128, 1);      // x, y, z axes: the identity
    put(136, 6), put(144, 8);                 // velocity
    put(160, 10);                             // absolute speed
    put(192, 0.75);                           // friction
    put(208, 33);                             // maximum speed
    DROVIK_CAMERA_VALUES values;
    static_assert(sizeof values == sizeof bytes);
    std::memcpy(&values, bytes, sizeof bytes);

    DROVIK_HANDLE camera = Drovik_camera_recreate("raw", &values);
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(Drovik_camera_get_width(camera), 320);
    EXPECT_EQ(Drovik_camera_get_height(camera), 200);
    EXPECT_EQ(Drovik_camera_get_zoom(camera), 45);
    EXPECT_EQ(Drovik_camera_get_distance_from_eye(camera), 2.5);
    EXPECT_EQ(location(camera).y, 2);
    EXPECT_EQ(Drovik_camera_get_absolute_speed(camera), 10);
    EXPECT_EQ(Drovik_camera_get_friction(camera), 0.75);
    EXPECT_EQ(Drovik_camera_get_max_speed(camera), 33);
    double x = 0, y = 0, z = 0;
    Drovik_camera_get_direction(camera, &x, &y, &z);
    EXPECT_EQ(x, -1);

    unsigned char saved[216];
    DROVIK_CAMERA_VALUES out;
    ASSERT_EQ(Drovik_camera_save(camera, &out), 0);
    std::memcpy(saved, &out, sizeof saved);
    EXPECT_EQ(std::memcmp(saved + 24, bytes + 24, 8), 0);
    EXPECT_EQ(std::memcmp(saved + 208, bytes + 208, 8), 0);
}

TEST_F(CameraFamily, NullRecordsAreRefused) {
    DROVIK_HANDLE camera = create("cam");
    new_log();
    EXPECT_EQ(Drovik_camera_recreate("none", nullptr), nullptr);
    EXPECT_EQ(new_log(), "Drovik_camera_recreate: got a NULL camera values record\n");
    EXPECT_EQ(Drovik_camera_get_next_camera(camera), nullptr);
    EXPECT_EQ(Drovik_camera_set_values(camera, nullptr), 0);
    EXPECT_EQ(new_log(), "Drovik_camera_set_values: got a NULL camera values record\n");
    EXPECT_EQ(Drovik_camera_save(camera, nullptr), -1);
}

TEST_F(CameraFamily, SetValuesMovesTheCameraAndLeavesThePixelSizeToTheNextRender) {
    DROVIK_HANDLE camera = create("cam");
    DROVIK_CAMERA_VALUES values;
    Drovik_camera_save(camera, &values);
    values.location[0] = 7;
    values.max_speed = 12;
    EXPECT_NE(Drovik_camera_set_values(camera, &values), 0);
    EXPECT_EQ(location(camera).x, 7);
    EXPECT_EQ(Drovik_camera_get_width(camera), 300);
    EXPECT_EQ(Drovik_camera_get_max_speed(camera), 12);

    values.width = 640;
    values.distance_from_eye = 8;
    rendering_manager().dimension_changed = 0;
    EXPECT_NE(Drovik_camera_set_values(camera, &values), 0);
    EXPECT_EQ(rendering_manager().dimension_changed, 1) << "the buffers are made anew";
    rendering_manager().dimension_changed = 0;
    EXPECT_EQ(Drovik_camera_get_width(camera), 0);
    EXPECT_EQ(Drovik_camera_get_height(camera), 0);
    EXPECT_EQ(Drovik_camera_get_distance_from_eye(camera), 8);
    EXPECT_EQ(location(camera).x, 7);
    EXPECT_EQ(new_log(), "");
}

TEST_F(CameraFamily, AnglesAndMotionValuesAreClamped) {
    DROVIK_HANDLE camera = create("cam");
    EXPECT_NEAR(Drovik_camera_set_tilt(camera, 120), 90, 1e-9);
    EXPECT_NEAR(Drovik_camera_set_tilt(camera, -95), -90, 1e-9);
    EXPECT_NEAR(Drovik_camera_set_tilt(camera, 0), 0, 1e-9);
    EXPECT_NEAR(Drovik_camera_modify_tilt(camera, 100), 90, 1e-9);
    EXPECT_NEAR(Drovik_camera_set_tilt(camera, 0), 0, 1e-9);
    EXPECT_NEAR(Drovik_camera_set_bank(camera, 400), 40, 1e-9);
    EXPECT_NEAR(Drovik_camera_get_bank(camera), 40, 1e-9);
    EXPECT_EQ(Drovik_camera_set_head_angle(camera, 30), 30);
    EXPECT_EQ(Drovik_camera_set_chase_softness(camera, 1.5), 1);
    EXPECT_EQ(Drovik_camera_set_chase_softness(camera, -0.2), 0);
    EXPECT_EQ(Drovik_camera_get_chase_softness(camera), 0);
    EXPECT_EQ(Drovik_camera_set_friction(camera, 3), 1);

    const double at_rest[3] = {0, 0, 0};
    Drovik_camera_set_speed(camera, at_rest);
    EXPECT_EQ(Drovik_camera_set_absolute_speed(camera, 4), 4);
    double speed[3];
    Drovik_camera_get_speed(camera, speed);
    EXPECT_EQ(speed[0], 4);
    EXPECT_EQ(Drovik_camera_set_speed(camera, nullptr), 0);
    EXPECT_EQ(Drovik_camera_get_absolute_speed(camera), 4);
}

TEST_F(CameraFamily, MoveTurnAndConvertPoints) {
    DROVIK_HANDLE camera = create("cam");
    EXPECT_EQ(Drovik_camera_move(camera, 1, 5, 0, 0), 0);
    EXPECT_EQ(location(camera).x, 0);
    const std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Drovik_camera_move: invalid space_flag\n");

    // Camera space: the camera looks along its negative x axis, world -x here.
    Drovik_camera_move(camera, 2, -5, 0, 0);
    EXPECT_NEAR(location(camera).x, -5, 1e-12);
    Drovik_camera_move(camera, 0, 0, 3, 0);
    EXPECT_NEAR(location(camera).y, 3, 1e-12);

    Drovik_camera_point_at(camera, -5, 13, 0);
    double x = 0, y = 0, z = 0;
    Drovik_camera_get_direction(camera, &x, nullptr, &z);
    Drovik_camera_get_direction(camera, nullptr, &y, nullptr);
    EXPECT_NEAR(x, 0, 1e-12);
    EXPECT_NEAR(y, 1, 1e-12);

    const double in[3] = {-2, 1, 0.5};
    double world[3], back[3];
    ASSERT_EQ(Drovik_camera_convert_point_to_world_space(camera, in, world), 0);
    ASSERT_EQ(Drovik_camera_convert_point_to_camera_space(camera, world, back), 0);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(back[k], in[k], 1e-9);
    EXPECT_EQ(Drovik_camera_convert_point_to_world_space(camera, in, nullptr), -1);
    // The eye is the origin of camera space.
    const double eye[3] = {0, 0, 0};
    ASSERT_EQ(Drovik_camera_convert_point_to_world_space(camera, eye, world), 0);
    EXPECT_NEAR(world[0], -5, 1e-9);
    EXPECT_NEAR(world[1], 3, 1e-9);
    const double at[3] = {-5, 3, 0};
    ASSERT_EQ(Drovik_camera_convert_point_to_camera_space(camera, at, back), 0);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(back[k], 0, 1e-9);

    const double bad[3] = {0, 0, 0};
    const double ok[3] = {1, 0, 0};
    EXPECT_EQ(Drovik_camera_set_axis_system(camera, bad, bad, ok), -1);
}

TEST_F(CameraFamily, ParallelProjectionFollowsThePixelProportions) {
    DROVIK_HANDLE camera = create_sized(400, 300);
    EXPECT_NE(Drovik_camera_set_parallel_projection(camera, 0, 300), 0);
    EXPECT_EQ(Drovik_camera_is_perspective_projection(camera), 0);
    EXPECT_EQ(Drovik_camera_get_parallel_projection_width(camera), 400);
    EXPECT_EQ(Drovik_camera_get_parallel_projection_height(camera), 300);
    Drovik_camera_set_parallel_projection(camera, 200, 0);
    EXPECT_EQ(Drovik_camera_get_parallel_projection_height(camera), 150);
    Drovik_camera_set_parallel_projection(camera, 0, 0);
    EXPECT_EQ(Drovik_camera_get_parallel_projection_width(camera), 400);
    EXPECT_NE(Drovik_camera_set_perspective_projection(camera), 0);
    EXPECT_EQ(Drovik_camera_is_perspective_projection(camera), 1);

    DROVIK_HANDLE empty = create_sized(0, 0);
    new_log();
    Drovik_camera_set_parallel_projection(empty, 0, 0);
    EXPECT_EQ(new_log(), "Drovik_camera_set_parallel_projection: internal error\n");
    EXPECT_EQ(Drovik_camera_get_parallel_projection_width(empty), 1024);
    EXPECT_EQ(Drovik_camera_get_parallel_projection_height(empty), 768);
}

TEST_F(CameraFamily, FocusIsNotWorkingYet) {
    DROVIK_HANDLE camera = create("cam");
    EXPECT_EQ(Drovik_camera_set_focus(camera, 3), 0.0);
    const std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Under construction !!");
    EXPECT_EQ(boxes[0].text, "API function Drovik_camera_set_focus()\nIs not working yet");
}

class CameraTracks : public CameraFamily {
protected:
    jtrack* make_track(int point_count) {
        jtrack* t = record_new<jtrack>(kind_track);
        t->name = name_;
        t->points = points_;
        t->point_count = point_count;
        return t;
    }
    char name_[8] = "rails";
    double points_[9] = {0, 0, 0, 10, 0, 1, 20, 0, 2};
};

TEST_F(CameraTracks, NextPointIsClampedAndATrackWithoutPointsIsNone) {
    DROVIK_HANDLE camera = create("cam");
    EXPECT_EQ(Drovik_camera_set_next_point_on_track(camera, 1), -1);
    jtrack* track = make_track(3);
    ASSERT_EQ(Drovik_camera_set_track(camera, track), 0);
    EXPECT_STREQ(Drovik_camera_get_track_name(camera), "rails");
    EXPECT_EQ(Drovik_camera_get_track_handle(camera), track);
    EXPECT_EQ(Drovik_camera_set_next_point_on_track(camera, 3), -1);
    EXPECT_EQ(Drovik_camera_get_next_point_on_track(camera), 2);
    EXPECT_EQ(Drovik_camera_set_next_point_on_track(camera, -4), -1);
    EXPECT_EQ(Drovik_camera_get_next_point_on_track(camera), 0);
    EXPECT_EQ(Drovik_camera_set_next_point_on_track(camera, 1), 0);

    track->point_count = 0;
    EXPECT_EQ(Drovik_camera_set_next_point_on_track(camera, 0), -1);
    EXPECT_EQ(Drovik_camera_get_next_point_on_track(camera), 1);

    EXPECT_EQ(Drovik_camera_set_track(camera, nullptr), 0);
    EXPECT_EQ(Drovik_camera_get_track_handle(camera), nullptr);
    record_destroy(track);

    void* polygon = record_create(sizeof(::polygon), kind_polygon);
    new_log();
    EXPECT_EQ(Drovik_camera_set_track(camera, polygon), -1);
    EXPECT_EQ(new_log(), "Drovik_camera_set_track: " + wrong_kind_log);
    record_destroy(polygon);
}

TEST_F(CameraFamily, ChaseTargetsAreCheckedAndReplaceEachOther) {
    DROVIK_HANDLE chaser = create("chaser");
    DROVIK_HANDLE target = create("target");
    dynamic_object* object = dynamic_create("runner");  // joins the world's objects

    EXPECT_EQ(Drovik_camera_set_camera_to_chase(chaser, target), 1);
    EXPECT_EQ(Drovik_camera_get_chased_camera(chaser), target);
    EXPECT_STREQ(Drovik_camera_get_name_to_chase(chaser), "target");
    EXPECT_EQ(Drovik_camera_set_object_to_chase(chaser, object), 1);
    EXPECT_EQ(Drovik_camera_get_chased_camera(chaser), nullptr);
    EXPECT_EQ(Drovik_camera_get_chased_object(chaser), object);
    EXPECT_STREQ(Drovik_camera_get_name_to_chase(chaser), "runner");

    new_log();
    EXPECT_EQ(Drovik_camera_set_camera_to_chase(chaser, object), 0);
    EXPECT_EQ(new_log(), "Drovik_camera_set_camera_to_chase: " + wrong_kind_log);
    EXPECT_EQ(Drovik_camera_set_group_to_chase(chaser, nullptr), 0);
    EXPECT_EQ(new_log(), "Drovik_camera_set_group_to_chase: got a NULL chase target\n");
    EXPECT_EQ(Drovik_camera_get_chased_object(chaser), object);
    EXPECT_STREQ(Drovik_camera_get_name_to_chase(chaser), "runner");

    const double offset[3] = {0, -4, 2};
    EXPECT_EQ(Drovik_camera_set_chase_offset(chaser, offset), 0);
    double got[3] = {};
    EXPECT_EQ(Drovik_camera_get_chase_offset(chaser, got), 0);
    EXPECT_EQ(got[1], -4);
    EXPECT_EQ(Drovik_camera_get_chase_offset(chaser, nullptr), -1);
}

TEST_F(CameraFamily, DeletingACameraClearsEveryLinkToIt) {
    DROVIK_HANDLE chaser = create("chaser");
    DROVIK_HANDLE target = create("target");
    dynamic_object* object = dynamic_create("runner");  // joins the world's objects
    object->chase.chased_camera = static_cast<camera*>(target);
    Drovik_camera_set_camera_to_chase(chaser, target);
    engine_state.current_camera = static_cast<camera*>(target);
    rendering_manager().cam = static_cast<camera*>(target);

    EXPECT_EQ(Drovik_camera_delete(target), 0);
    EXPECT_EQ(rendering_manager().cam, nullptr) << "a new camera at the same address is bound afresh";
    EXPECT_EQ(Drovik_camera_get_chased_camera(chaser), nullptr);
    EXPECT_EQ(object->chase.chased_camera, nullptr);
    EXPECT_EQ(Drovik_camera_get_current(), nullptr);
    EXPECT_EQ(Drovik_camera_get_next_camera(chaser), nullptr);
    new_boxes();
    EXPECT_EQ(Drovik_camera_delete(target), -1);

    DROVIK_HANDLE other = create("other");
    object->chase.chased_camera = static_cast<camera*>(other);
    Drovik_camera_set_camera_to_chase(chaser, other);
    engine_state.current_camera = static_cast<camera*>(chaser);
    Drovik_camera_delete_all();
    EXPECT_EQ(Drovik_camera_get_first_camera(), nullptr);
    EXPECT_EQ(object->chase.chased_camera, nullptr);
    EXPECT_EQ(engine_state.current_camera, nullptr);
}

}  // namespace
