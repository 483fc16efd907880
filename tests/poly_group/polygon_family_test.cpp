// The polygon family through its exports: refusals by table, the object-polygon rule, points,
// wrapping, animation frames, brightness, redundant points, patches and deleting.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "foundation/strings.h"
#include "poly_group_fixture.h"
#include "render/images/bitmap_texture.h"
#include "render/software/raster_iface.h"
#include "world/animation.h"
#include "world/dynamic_object.h"
#include "world/light.h"
#include "world/polygon_patch.h"

namespace {

using namespace row_arguments;

// Each export that takes a polygon, the name its checks print and its result when refused.
const export_row polygon_rows[] = {
    {"Drovik_polygon_get_next", "Drovik_polygon_get_next", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_polygon_get_next(h)); }},
    {"Drovik_polygon_get_name", "Drovik_polygon_get_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_polygon_get_name(h)); }},
    {"Drovik_polygon_set_name", "Drovik_polygon_set_name", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_name(h, "x")); }},
    {"Drovik_polygon_duplicate", "Drovik_polygon_duplicate", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_polygon_duplicate(h)); }},
    {"Drovik_polygon_delete", "Drovik_polygon_delete", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_delete(h)); }},
    {"Drovik_polygon_set_group", "Drovik_polygon_set_group", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_group(h, nullptr)); }},
    {"Drovik_polygon_get_group", "Drovik_polygon_get_group", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_polygon_get_group(h)); }},
    {"Drovik_polygon_is_in_group", "Drovik_polygon_is_in_group", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_is_in_group(h, nullptr)); }},
    {"Drovik_polygon_get_first_point", "Drovik_polygon_get_first_point", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_polygon_get_first_point(h)); }},
    {"Drovik_polygon_get_num_of_points", "Drovik_polygon_get_num_of_points", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_get_num_of_points(h)); }},
    {"Drovik_polygon_add_point", "Drovik_polygon_add_point", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_polygon_add_point(h, v16)); }},
    {"Drovik_polygon_add_point_to_head", "Drovik_polygon_add_point_to_head", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_polygon_add_point_to_head(h, v16)); }},
    {"Drovik_polygon_delete_point", "Drovik_polygon_delete_point", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_delete_point(h, nullptr)); }},
    {"Drovik_polygon_get_closest_point", "Drovik_polygon_get_closest_point", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_polygon_get_closest_point(h, v16)); }},
    {"Drovik_polygon_count_redundant_points", "Drovik_polygon_count_redundant_points", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_count_redundant_points(h)); }},
    {"Drovik_polygon_remove_redundant_points", "Drovik_polygon_remove_redundant_points", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_remove_redundant_points(h)); }},
    {"Drovik_polygon_is_valid", "Drovik_polygon_is_valid", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_is_valid(h)); }},
    {"Drovik_polygon_is_convex", "Drovik_polygon_is_convex", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_is_convex(h)); }},
    {"Drovik_polygon_are_all_points_on_one_plane", "Drovik_polygon_are_all_points_on_one_plane", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_are_all_points_on_one_plane(h)); }},
    {"Drovik_polygon_are_bitmap_x_cords_ok", "Drovik_polygon_are_bitmap_x_cords_ok", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_are_bitmap_x_cords_ok(h)); }},
    {"Drovik_polygon_are_bitmap_y_cords_ok", "Drovik_polygon_are_bitmap_y_cords_ok", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_are_bitmap_y_cords_ok(h)); }},
    {"Drovik_polygon_is_point_inside_polygon", "Drovik_polygon_is_point_inside_polygon ", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_is_point_inside_polygon(h, v16)); }},
    {"Drovik_polygon_is_point_inside_polygon_concave", "Drovik_polygon_is_point_inside_polygon ", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_is_point_inside_polygon_concave(h, v16)); }},
    {"Drovik_polygon_check_intersection_with_line_segment", "Drovik_polygon_check_intersection_with_line_segment", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_check_intersection_with_line_segment(h, v16, v16, out16)); }},
    {"Drovik_polygon_check_intersection_with_another_polygon", "Drovik_polygon_check_intersection_with_another_polygon", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_check_intersection_with_another_polygon(h, nullptr, out16)); }},
    {"Drovik_polygon_get_plane", "Drovik_polygon_get_plane", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_get_plane(h, out16)); }},
    {"Drovik_polygon_get_center", "Drovik_polygon_get_center", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_get_center(h, out16)); }},
    {"Drovik_polygon_get_location", "Drovik_polygon_get_location", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_get_location(h, out16)); }},
    {"Drovik_polygon_rotate", "Drovik_polygon_rotate", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_rotate(h, v16)); }},
    {"Drovik_polygon_rotate_x", "Drovik_polygon_rotate_x", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_rotate_x(h, 1.0)); }},
    {"Drovik_polygon_rotate_y", "Drovik_polygon_rotate_y", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_rotate_y(h, 1.0)); }},
    {"Drovik_polygon_rotate_z", "Drovik_polygon_rotate_z", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_rotate_z(h, 1.0)); }},
    {"Drovik_polygon_move", "Drovik_polygon_move", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_move(h, v16)); }},
    {"Drovik_polygon_set_location", "Drovik_polygon_set_location", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_location(h, v16)); }},
    {"Drovik_polygon_scale", "Drovik_polygon_scale", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_scale(h, 1.0, 1.0, 1.0)); }},
    {"Drovik_polygon_rotate_to_match_polygon", "Drovik_polygon_rotate_to_match_polygon", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_rotate_to_match_polygon(h, nullptr)); }},
    {"Drovik_polygon_move_to_match_point", "Drovik_polygon_move_to_match_point", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_move_to_match_point(h, nullptr, nullptr)); }},
    {"Drovik_polygon_flip_visible_side", "Drovik_polygon_flip_visible_side", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_flip_visible_side(h)); }},
    {"Drovik_polygon_join", "Drovik_polygon_join", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_polygon_join(h, nullptr)); }},
    {"Drovik_polygon_set_color_fill", "Drovik_polygon_set_color_fill", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_color_fill(h, 1, 1, 1)); }},
    {"Drovik_polygon_get_color", "Drovik_polygon_get_color", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_get_color(h, &i, &i, &i)); }},
    {"Drovik_polygon_set_bitmap_fill", "Drovik_polygon_set_bitmap_fill", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_bitmap_fill(h, nullptr)); }},
    {"Drovik_polygon_get_bitmap_name", "Drovik_polygon_get_bitmap_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_polygon_get_bitmap_name(h)); }},
    {"Drovik_polygon_get_bitmap_handle", "Drovik_polygon_get_bitmap_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_polygon_get_bitmap_handle(h)); }},
    {"Drovik_polygon_get_transparent_index", "Drovik_polygon_get_transparent_index", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_get_transparent_index(h)); }},
    {"Drovik_polygon_get_transparent_rgb", "Drovik_polygon_get_transparent_rgb", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_get_transparent_rgb(h, &i, &i, &i)); }},
    {"Drovik_polygon_is_rotated", "Drovik_polygon_is_rotated", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_is_rotated(h)); }},
    {"Drovik_polygon_set_rotated", "Drovik_polygon_is_rotated", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_rotated(h, 1)); }},
    {"Drovik_polygon_rotate_bitmap", "Drovik_polygon_rotate_bitmap", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_rotate_bitmap(h)); }},
    {"Drovik_polygon_set_bitmap_rotation", "Drovik_polygon_set_bitmap_rotation", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_bitmap_rotation(h, 1)); }},
    {"Drovik_polygon_mirror_horizontal_bitmap", "Drovik_polygon_mirror_horizontal_bitmap", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_mirror_horizontal_bitmap(h)); }},
    {"Drovik_polygon_mirror_vertical_bitmap", "Drovik_polygon_mirror_vertical_bitmap", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_mirror_vertical_bitmap(h)); }},
    {"Drovik_polygon_match_bitmap_cords", "Drovik_polygon_match_bitmap_cords", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_match_bitmap_cords(h, nullptr)); }},
    {"Drovik_polygon_wrap_a_bitmap_fixed", "Drovik_polygon_wrap_a_bitmap_fixed", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_wrap_a_bitmap_fixed(h, nullptr, 1.0, 1.0, v16, v16)); }},
    {"Drovik_polygon_set_animation", "Drovik_polygon_set_animation", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_animation(h, nullptr)); }},
    {"Drovik_polygon_get_animation", "Drovik_polygon_get_animation", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_polygon_get_animation(h)); }},
    {"Drovik_polygon_set_animation_frame", "Drovik_polygon_set_animation_frame", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_animation_frame(h, 1)); }},
    {"Drovik_polygon_get_animation_frame", "Drovik_polygon_get_animation_frame", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_get_animation_frame(h)); }},
    {"Drovik_polygon_set_translucent", "Drovik_polygon_set_translucent", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_translucent(h, 1)); }},
    {"Drovik_polygon_get_translucent", "Drovik_polygon_get_translucent", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_get_translucent(h)); }},
    {"Drovik_polygon_set_orientation", "Drovik_polygon_set_orientation", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_orientation(h, 1)); }},
    {"Drovik_polygon_get_orientation", "Drovik_polygon_get_orientation", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_get_orientation(h)); }},
    {"Drovik_polygon_set_release_save_flag", "Drovik_polygon_set_release_save_flag", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_release_save_flag(h, 1)); }},
    {"Drovik_polygon_disable", "Drovik_polygon_disable", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_disable(h)); }},
    {"Drovik_polygon_enable", "Drovik_polygon_enable", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_enable(h)); }},
    {"Drovik_polygon_is_disabled", "Drovik_polygon_is_disabled", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_is_disabled(h)); }},
    {"Drovik_polygon_make_collisional", "Drovik_polygon_make_collisional", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_make_collisional(h)); }},
    {"Drovik_polygon_make_non_collisional", "Drovik_polygon_make_non_collisional", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_make_non_collisional(h)); }},
    {"Drovik_polygon_is_collisional", "Drovik_polygon_is_collisional", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_is_collisional(h)); }},
    {"Drovik_polygon_get_brightness", "Drovik_polygon_get_brightness", 0,
     [](DROVIK_HANDLE h) { return Drovik_polygon_get_brightness(h); }},
    {"Drovik_polygon_set_brightness", "Drovik_polygon_set_brightness", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_brightness(h, 1.0)); }},
    {"Drovik_polygon_is_uniform_brightness", "Drovik_polygon_is_uniform_brightness", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_is_uniform_brightness(h)); }},
    {"Drovik_polygon_get_light_diminution", "Drovik_polygon_get_light_diminution", 0,
     [](DROVIK_HANDLE h) { return Drovik_polygon_get_light_diminution(h); }},
    {"Drovik_polygon_set_light_diminution", "Drovik_polygon_set_light_diminution", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_light_diminution(h, 1.0)); }},
    {"Drovik_polygon_set_ambient", "Drovik_polygon_set_ambient", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_ambient(h, 1)); }},
    {"Drovik_polygon_set_diffuse", "Drovik_polygon_set_diffuse", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_diffuse(h, 1)); }},
    {"Drovik_polygon_set_specular", "Drovik_polygon_set_specular", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_specular(h, 1)); }},
    {"Drovik_polygon_get_ambient", "Drovik_polygon_get_ambient", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_get_ambient(h)); }},
    {"Drovik_polygon_get_diffuse", "Drovik_polygon_get_diffuse", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_get_diffuse(h)); }},
    {"Drovik_polygon_get_specular", "Drovik_polygon_get_specular", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_get_specular(h)); }},
    {"Drovik_polygon_set_specular_shining", "Drovik_polygon_set_specular_shining", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_specular_shining(h, 1)); }},
    {"Drovik_polygon_get_specular_shining", "Drovik_polygon_get_specular_shining", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_get_specular_shining(h)); }},
    {"Drovik_polygon_set_light", "Drovik_polygon_set_light", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_set_light(h, rgb)); }},
    {"Drovik_polygon_remove_light", "Drovik_polygon_remove_light", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_remove_light(h)); }},
    {"Drovik_polygon_add_patch", "Drovik_polygon_add_patch", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_add_patch(h, nullptr)); }},
    {"Drovik_polygon_add_patch_easy", "Drovik_polygon_add_patch_easy", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_polygon_add_patch_easy(h, v16, 1.0, v16, nullptr, 1, 1, 1)); }},
    {"Drovik_polygon_delete_patches", "Drovik_polygon_delete_patches", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_polygon_delete_patches(h, 1)); }},
};

class PolygonFamily : public PolyGroupTest {
protected:
    void TearDown() override {
        light_delete_all(&engine_state.lights);
        bitmap_texture_delete_all(&engine_state.bitmaps);
        PolyGroupTest::TearDown();
    }

    // A 2 x 2 bitmap of one colour.
    static DROVIK_HANDLE make_bitmap(const char* name) {
        const uint8_t pixels[4] = {0, 0, 0, 0};
        const rgb8 palette[1] = {{10, 20, 30}};
        return bitmap_texture_create_from_pixels(&engine_state.bitmaps, name, 2, 2, pixels, palette, 1, -1);
    }

    // A polygon of a dynamic object (the object and its module join the world's lists).
    DROVIK_HANDLE add_object_polygon() {
        dynamic_object* d = dynamic_create("mover");
        DROVIK_HANDLE p = add_square(0, true);
        static_cast<polygon*>(p)->owner = d;
        return p;
    }
};

TEST_F(PolygonFamily, EveryExportRefusesAForeignHandleUnderItsCheckName) {
    void* camera_record = record_create(64, DROVIK_KIND_CAMERA);
    for (const export_row& row : polygon_rows) expect_refused(row, camera_record);
    record_destroy(camera_record);
}

// The geometry exports against the object-polygon rule: a refusal box, or points that moved.
struct shape_case {
    const char* name;
    const char* refusal;
    int (*call)(DROVIK_HANDLE);
};

const shape_case shape_cases[] = {
    {"rotate_x", "Drovik_polygon_rotate_x:\nWorks only on object polygons or in editor mode !!\n",
     [](DROVIK_HANDLE p) { return Drovik_polygon_rotate_x(p, 90); }},
    {"move", "Drovik_polygon_set_location:\nWorks only on object polygons or in editor mode !!\n",
     [](DROVIK_HANDLE p) {
         const double offset[3] = {1, 2, 3};
         return Drovik_polygon_move(p, offset);
     }},
    {"set_location", "Drovik_polygon_set_location:\nWorks only on object polygons or in editor mode !!\n",
     [](DROVIK_HANDLE p) {
         const double at[3] = {5, 5, 5};
         return Drovik_polygon_set_location(p, at);
     }},
    {"scale", "Drovik_polygon_scale:\nWorks only on object polygons or in editor mode !!\n",
     [](DROVIK_HANDLE p) { return Drovik_polygon_scale(p, 2, 2, 2); }},
    {"duplicate", "Drovik_polygon_duplicate:\nWorks only on object polygons or in editor mode !!\n",
     [](DROVIK_HANDLE p) {
         DROVIK_HANDLE copy = Drovik_polygon_duplicate(p);
         if (!copy) return 0;
         // The copy stands in for the change: moved, so the source must stay where it was.
         const double offset[3] = {7, 0, 0};
         Drovik_polygon_move(copy, offset);
         const int moved = Drovik_polygon_get_num_of_points(copy) == 4 ? 1 : 0;
         static_cast<polygon*>(copy)->owner = nullptr;
         engine_state.editor_mode = 1;
         Drovik_polygon_delete(copy);
         return moved;
     }},
    {"flip", "Drovik_polygon_flip_visible_side:\nWorks only on object polygons or in editor mode !!\n",
     [](DROVIK_HANDLE p) { return Drovik_polygon_flip_visible_side(p); }},
};

TEST_F(PolygonFamily, ShapeChangesFollowTheObjectPolygonRule) {
    enum kind { editor, viewer_world, viewer_object };
    for (const shape_case& c : shape_cases) {
        for (kind k : {editor, viewer_world, viewer_object}) {
            SCOPED_TRACE(std::string(c.name) + " in case " + std::to_string(k));
            set_editor_mode(1);
            DROVIK_HANDLE p = k == viewer_object ? add_object_polygon() : add_square(0, true);
            set_editor_mode(k == editor ? 1 : 0);
            const vec3 first = point_at(p, 0), third = point_at(p, 2);
            const int result = c.call(p);
            set_editor_mode(k == editor ? 1 : 0);
            const std::vector<plat_box_record> boxes = new_boxes();
            const vec3 first_after = point_at(p, 0), third_after = point_at(p, 2);
            const bool points_same = first.x == first_after.x && first.y == first_after.y &&
                                     first.z == first_after.z && third.x == third_after.x &&
                                     third.y == third_after.y && third.z == third_after.z;
            if (k == viewer_world) {
                ASSERT_EQ(boxes.size(), 1u);
                EXPECT_EQ(boxes[0].caption, "Warning");
                EXPECT_EQ(boxes[0].text, c.refusal);
                EXPECT_TRUE(points_same);
                EXPECT_EQ(result, 0);
            } else {
                EXPECT_TRUE(boxes.empty());
                if (std::string(c.name) == "duplicate") {
                    EXPECT_EQ(result, 1);
                    EXPECT_TRUE(points_same);
                } else {
                    EXPECT_FALSE(points_same);
                }
            }
        }
    }
}

TEST_F(PolygonFamily, MovesRotationsAndScalesWorkAboutTheLocation) {
    DROVIK_HANDLE p = add_polygon({{0, 0, 0}, {0, 2, 0}, {2, 2, 0}, {2, 0, 0}});
    double at[3];
    ASSERT_EQ(Drovik_polygon_get_location(p, at), 0);
    EXPECT_EQ(at[0], 1);
    EXPECT_EQ(at[1], 1);
    EXPECT_EQ(Drovik_polygon_scale(p, 2, 2, 2), 0);
    EXPECT_EQ(point_at(p, 0).x, -1);
    EXPECT_EQ(point_at(p, 2).y, 3);
    const double to[3] = {10, 0, 5};
    EXPECT_EQ(Drovik_polygon_set_location(p, to), 0);
    ASSERT_EQ(Drovik_polygon_get_location(p, at), 0);
    EXPECT_EQ(at[0], 10);
    EXPECT_EQ(at[2], 5);
    EXPECT_EQ(point_at(p, 0).x, 8);
    EXPECT_EQ(Drovik_polygon_rotate_z(p, 90), 0);
    EXPECT_NEAR(point_at(p, 0).x, 12, 1e-12);
    EXPECT_NEAR(point_at(p, 0).y, -2, 1e-12);
}

TEST_F(PolygonFamily, PointsAreAddedFoundAndDeletedOnlyFromTheirOwnPolygon) {
    DROVIK_HANDLE p = Drovik_polygon_create();
    EXPECT_EQ(Drovik_polygon_add_point(p, nullptr), nullptr);
    EXPECT_EQ(Drovik_polygon_add_point_to_head(p, nullptr), nullptr);
    EXPECT_EQ(Drovik_polygon_get_num_of_points(p), 0);
    const double a[6] = {0, 0, 0, 0, 0, 100}, b[6] = {2, 0, 0, 0, 0, 100}, c[6] = {1, 5, 0, 0, 0, 100};
    DROVIK_HANDLE pa = Drovik_polygon_add_point(p, a);
    DROVIK_HANDLE pb = Drovik_polygon_add_point(p, b);
    DROVIK_HANDLE pc = Drovik_polygon_add_point_to_head(p, c);
    EXPECT_EQ(Drovik_polygon_get_first_point(p), pc);
    EXPECT_EQ(Drovik_polygon_get_num_of_points(p), 3);
    // (1, 0, 0) is as far from a as from b: the first in point order wins.
    const double middle[3] = {1, 0, 0};
    EXPECT_EQ(Drovik_polygon_get_closest_point(p, middle), pa);

    DROVIK_HANDLE other = make_polygon({{5, 5, 5}, {6, 5, 5}, {6, 6, 5}});
    DROVIK_HANDLE stranger = Drovik_polygon_get_first_point(other);
    EXPECT_EQ(Drovik_polygon_delete_point(p, stranger), -1);
    EXPECT_EQ(new_log(), "Drovik_polygon_delete_point: internal error !!\n");
    EXPECT_EQ(Drovik_polygon_get_num_of_points(other), 3);
    EXPECT_EQ(Drovik_polygon_get_first_point(other), stranger);
    EXPECT_EQ(Drovik_point_is_point(stranger, nullptr), 1);

    EXPECT_EQ(Drovik_polygon_delete_point(p, pb), 0);
    EXPECT_EQ(Drovik_polygon_get_num_of_points(p), 2);
    EXPECT_EQ(Drovik_point_is_point(pb, nullptr), 0);
    Drovik_polygon_delete(p);
    Drovik_polygon_delete(other);
}

TEST_F(PolygonFamily, WrappingMapsTheBoxOntoTheRepeats) {
    DROVIK_HANDLE bitmap = make_bitmap("wrap");
    DROVIK_HANDLE p = add_polygon({{5, 10, 0}, {5, 12, 0}, {7, 12, 0}});
    const double low[3] = {0, 0, 0}, high[3] = {10, 20, 0};
    EXPECT_EQ(Drovik_polygon_wrap_a_bitmap_fixed(p, bitmap, 2, 1, low, high), 0);
    const point* first = static_cast<point*>(Drovik_polygon_get_first_point(p));
    EXPECT_DOUBLE_EQ(first->bitmap_x, 0.5);
    EXPECT_DOUBLE_EQ(first->bitmap_y, 1.0);
    EXPECT_EQ(Drovik_polygon_get_bitmap_handle(p), bitmap);

    EXPECT_EQ(Drovik_polygon_wrap_a_bitmap_fixed(p, bitmap, 0, 1, low, high), -1);
    EXPECT_EQ(new_log(), "Drovik_polygon_wrap_a_bitmap_fixed: bad params (repeat_x<=0 || repeat_y<=0)\n");
    const double flat[3] = {0, 20, 0};
    EXPECT_EQ(Drovik_polygon_wrap_a_bitmap_fixed(p, bitmap, 2, 1, low, flat), -1);
    EXPECT_EQ(new_log(), "Drovik_group_match_bitmap: delta_y==0 || delta_x==0\n");
    EXPECT_DOUBLE_EQ(first->bitmap_x, 0.5);
}

TEST_F(PolygonFamily, AnimationFramesAreClampedToTheLast) {
    DROVIK_HANDLE p = add_square(0, true);
    EXPECT_EQ(Drovik_polygon_set_animation_frame(p, 1), -1);
    const std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].text, "Drovik_polygon_set_animation_frame: polygon has no animation");
    EXPECT_EQ(new_log(), "Drovik_polygon_set_animation_frame: polygon has no animation\n");

    animation* a = init_animation();
    jstrcpy_with_allocating(&a->name, "flicker");
    std::vector<DROVIK_HANDLE> frames;
    for (const char* name : {"f0", "f1", "f2", "f3"}) {
        frames.push_back(make_bitmap(name));
        animation_add_bitmap(a, view_front, static_cast<bitmap_texture*>(frames.back()), -1);
    }
    animation_resize_lists(a);
    ASSERT_EQ(a->frame_count, 4);
    ASSERT_EQ(Drovik_polygon_set_animation(p, a), 0);
    EXPECT_EQ(Drovik_polygon_get_animation(p), a);
    EXPECT_STREQ(Drovik_polygon_get_bitmap_name(p), "flicker");
    for (int asked : {99, -1}) {
        EXPECT_EQ(Drovik_polygon_set_animation_frame(p, asked), 0);
        EXPECT_EQ(Drovik_polygon_get_animation_frame(p), 3);
        EXPECT_EQ(static_cast<polygon*>(p)->texture, frames[3]);
    }
    EXPECT_EQ(Drovik_polygon_set_animation_frame(p, 1), 0);
    EXPECT_EQ(static_cast<polygon*>(p)->texture, frames[1]);
    EXPECT_TRUE(new_boxes().empty());
    animation_unhook(a);
    animation_delete(a);
}

TEST_F(PolygonFamily, BadRotatedFlagIsRefusedAndLeavesTheFlag) {
    DROVIK_HANDLE p = add_square(0, true);
    EXPECT_EQ(Drovik_polygon_set_rotated(p, 1), 0);
    EXPECT_EQ(Drovik_polygon_set_rotated(p, 2), -1);
    const std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Drovik_polygon_is_rotated: yes_no_flag==bad value\n");
    EXPECT_EQ(Drovik_polygon_is_rotated(p), 1);
}

TEST_F(PolygonFamily, BrightnessReadsBackToTheNearestShadeStep) {
    DROVIK_HANDLE p = add_square(0, true);
    struct step {
        double set, read;
    };
    // One shade step is 100 / 23 percent below the normal level.
    for (const step s : {step{100, 100}, step{80, 78.2609}, step{20, 21.7391}, step{0, 0}}) {
        SCOPED_TRACE(s.set);
        EXPECT_EQ(Drovik_polygon_set_brightness(p, s.set), 0);
        EXPECT_NEAR(Drovik_polygon_get_brightness(p), s.read, 1e-4);
        EXPECT_EQ(Drovik_polygon_is_uniform_brightness(p), 1);
    }
    DROVIK_HANDLE empty = Drovik_polygon_create();
    EXPECT_EQ(Drovik_polygon_get_brightness(empty), -1.0);
    EXPECT_EQ(Drovik_polygon_is_uniform_brightness(empty), -1);
    const std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Drovik_polygon_get_brightness: no points in polygon\n");
    EXPECT_EQ(boxes[1].text, "Drovik_polygon_is_uniform_brightness: no points in polygon\n");
    Drovik_polygon_delete(empty);
}

TEST_F(PolygonFamily, RedundantPointsAreCountedAndRemoved) {
    DROVIK_HANDLE p = add_polygon({{0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {2, 2, 0}, {2, 0, 0}});
    EXPECT_EQ(Drovik_polygon_count_redundant_points(p), 1);
    EXPECT_EQ(Drovik_polygon_remove_redundant_points(p), 1);
    EXPECT_EQ(Drovik_polygon_get_num_of_points(p), 4);
    EXPECT_EQ(Drovik_polygon_count_redundant_points(p), 0);
    EXPECT_EQ(Drovik_polygon_remove_redundant_points(p), 0);
}

TEST_F(PolygonFamily, ColourGetterReturnsBlue) {
    DROVIK_HANDLE p = add_square(0, true);
    Drovik_polygon_set_color_fill(p, 10, 20, 30);
    int r = 0, g = 0, b = 0;
    EXPECT_EQ(Drovik_polygon_get_color(p, &r, &g, &b), 30);
    EXPECT_EQ(r, 10);
    EXPECT_EQ(g, 20);
}

TEST_F(PolygonFamily, DeleteInEditorModeUnlinksAndUnhooksThePolygon) {
    DROVIK_HANDLE keep = add_square(1, true);
    DROVIK_HANDLE p = add_square(0, true);
    light* l = light_create(&engine_state.lights, "lamp");
    l->entity = p;
    l->entity_kind = DROVIK_KIND_POLYGON;
    raster_frame_state().marked = static_cast<polygon*>(p);
    EXPECT_EQ(Drovik_polygon_delete(p), 0);
    EXPECT_EQ(Drovik_polygon_is_polygon(p, nullptr), 0);
    EXPECT_EQ(l->entity, nullptr);
    EXPECT_EQ(raster_frame_state().marked, nullptr);
    EXPECT_EQ(Drovik_polygon_get_first_polygon(), keep);
    EXPECT_EQ(Drovik_polygon_get_next(keep), nullptr);
    // A polygon in no list is simply freed.
    DROVIK_HANDLE loose = Drovik_polygon_create();
    EXPECT_EQ(Drovik_polygon_delete(loose), 0);
    EXPECT_EQ(Drovik_polygon_is_polygon(loose, nullptr), 0);
}

TEST_F(PolygonFamily, ViewerModeDeletesOnlyPatches) {
    DROVIK_HANDLE p = add_square(0, true);
    DROVIK_HANDLE patch = Drovik_polygon_add_patch_easy(p, nullptr, 0.25, nullptr, nullptr, 1, 2, 3);
    ASSERT_NE(patch, nullptr);
    set_editor_mode(0);
    EXPECT_EQ(Drovik_polygon_delete(p), -1);
    const std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "Drovik_polygon_delete:\nCan delete only patches\nUse Drovik_polygon_disable() or work with Editor "
              "mode\n");
    EXPECT_EQ(Drovik_polygon_delete(patch), 0);
    EXPECT_EQ(Drovik_polygon_is_polygon(patch, nullptr), 0);
    EXPECT_EQ(static_cast<polygon*>(p)->next_patch, nullptr);
    EXPECT_EQ(Drovik_polygon_is_polygon(p, nullptr), 1);
}

TEST_F(PolygonFamily, FindingByNameAndIdAndNaming) {
    DROVIK_HANDLE p = add_square(0, true);
    EXPECT_EQ(Drovik_polygon_set_name(p, ""), -1);
    EXPECT_EQ(new_log(), "Drovik_polygon_set_name: can set an empty name\n");
    EXPECT_EQ(Drovik_polygon_set_name(p, "roof"), 0);
    EXPECT_EQ(Drovik_polygon_get_handle_using_name("ROOF"), p);
    EXPECT_EQ(Drovik_polygon_get_handle_using_id_num(static_cast<polygon*>(p)->serial_id), p);
    EXPECT_EQ(Drovik_polygon_get_handle_using_name(nullptr), nullptr);
    const std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Drovik_polygon_get_handle_using_name: got a NULL pointer\n");
}

}  // namespace
