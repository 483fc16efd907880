// The engine family through its exports: guards by table, the settings steps and limits, window
// pixels and world points, and the log window.
#include <gtest/gtest.h>

#include <string>

#include "family_fixture.h"
#include "platform/window.h"
#include "world/bsp_node.h"
#include "world/bsp_tree.h"
#include "world/camera.h"
#include "world/polygon.h"

namespace {

// Each guarded export, the name its world guard prints and its result without a world.
struct engine_row {
    const char* export_name;
    const char* guard_name;
    double failure;
    double (*call)();
};

double v3[3] = {1, 2, 3};
double out3[3];
double plane4[4] = {0, 0, 1, 0};
int pixel[2], pixel_b[2];
DROVIK_HANDLE handle_a, handle_b;

const engine_row engine_rows[] = {
    {"Drovik_engine_add_polygon", "Drovik_engine_add_polygon", -1,
     [] { return double(Drovik_engine_add_polygon(nullptr)); }},
    {"Drovik_engine_reduce_polygons_count", "Drovik_engine_reduce_polygons_count", -1,
     [] { return double(Drovik_engine_reduce_polygons_count(0.001)); }},
    {"Drovik_engine_set_default_brightness", "Drovik_engine_set_default_brightness", -1,
     [] { return double(Drovik_engine_set_default_brightness()); }},
    {"Drovik_engine_increase_brightness", "Drovik_engine_increase_brightness", -1,
     [] { return double(Drovik_engine_increase_brightness()); }},
    {"Drovik_engine_decrease_brightness", "Drovik_engine_decrease_brightness", -1,
     [] { return double(Drovik_engine_decrease_brightness()); }},
    {"Drovik_engine_set_brightness", "Drovik_engine_set_brightness", -1,
     [] { return double(Drovik_engine_set_brightness(3)); }},
    {"Drovik_engine_get_brightness", "Drovik_engine_get_brightness", 0,
     [] { return double(Drovik_engine_get_brightness()); }},
    {"Drovik_engine_set_default_atmospheric_effect_intensity",
     "Drovik_engine_set_default_atmospheric_effect_intensity", -1,
     [] { return double(Drovik_engine_set_default_atmospheric_effect_intensity()); }},
    {"Drovik_engine_increase_atmospheric_effect_intensity", "Drovik_engine_increase_atmospheric_effect_intensity",
     -1, [] { return double(Drovik_engine_increase_atmospheric_effect_intensity()); }},
    {"Drovik_engine_decrease_atmospheric_effect_intensity", "Drovik_engine_decrease_atmospheric_effect_intensity",
     -1, [] { return double(Drovik_engine_decrease_atmospheric_effect_intensity()); }},
    {"Drovik_engine_set_atmospheric_effect_intensity", "Drovik_engine_set_atmospheric_effect_intensity", -1,
     [] { return double(Drovik_engine_set_atmospheric_effect_intensity(1)); }},
    {"Drovik_engine_get_atmospheric_effect_intensity", "Drovik_engine_get_atmospheric_effect_intensity", 0.0,
     [] { return Drovik_engine_get_atmospheric_effect_intensity(); }},
    {"Drovik_engine_set_atmospheric_effect", "Drovik_engine_set_atmospheric_effect", -1,
     [] { return double(Drovik_engine_set_atmospheric_effect(1, 2, 3)); }},
    {"Drovik_engine_toggle_atmospheric_effect", "Drovik_engine_toggle_atmospheric_effect", -1,
     [] { return double(Drovik_engine_toggle_atmospheric_effect()); }},
    {"Drovik_engine_set_background_color", "Drovik_engine_set_background_color", -1,
     [] { return double(Drovik_engine_set_background_color(1, 2, 3)); }},
    {"Drovik_engine_set_normal_rendering_mode", "Drovik_engine_set_default_rendering_mode", -1,
     [] { return double(Drovik_engine_set_normal_rendering_mode()); }},
    {"Drovik_engine_set_color_fill_rendering_mode", "Drovik_engine_set_color_fill_rendering_mode", -1,
     [] { return double(Drovik_engine_set_color_fill_rendering_mode()); }},
    {"Drovik_engine_set_wire_frame_rendering_mode", "Drovik_engine_set_wire_frame_rendering_mode", -1,
     [] { return double(Drovik_engine_set_wire_frame_rendering_mode()); }},
    {"Drovik_engine_toggle_rendering_mode", "Drovik_engine_toggle_rendering_mode", -1,
     [] { return double(Drovik_engine_toggle_rendering_mode()); }},
    {"Drovik_engine_toggle_wire_frame_flag", "Drovik_engine_toggle_wire_frame_flag", -1,
     [] { return double(Drovik_engine_toggle_wire_frame_flag()); }},
    {"Drovik_engine_toggle_automatic_perspective_correction",
     "Drovik_engine_toggle_automatic_perspective_correction", -1,
     [] { return double(Drovik_engine_toggle_automatic_perspective_correction()); }},
    {"Drovik_engine_toggle_perspective_correction_accuracy", "Drovik_engine_toggle_perspective_correction_accuracy",
     -1, [] { return double(Drovik_engine_toggle_perspective_correction_accuracy()); }},
    {"Drovik_engine_set_default_far_objects_color_accuracy", "Drovik_engine_set_default_far_objects_color_accuracy",
     -1, [] { return double(Drovik_engine_set_default_far_objects_color_accuracy()); }},
    {"Drovik_engine_increase_far_objects_color_accuracy", "Drovik_engine_increase_far_objects_color_accuracy", -1,
     [] { return double(Drovik_engine_increase_far_objects_color_accuracy()); }},
    {"Drovik_engine_decrease_far_objects_color_accuracy", "Drovik_engine_decrease_far_objects_color_accuracy", -1,
     [] { return double(Drovik_engine_decrease_far_objects_color_accuracy()); }},
    {"Drovik_engine_set_far_objects_color_accuracy", "Drovik_engine_set_far_objects_color_accuracy", -1,
     [] { return double(Drovik_engine_set_far_objects_color_accuracy(3)); }},
    {"Drovik_engine_get_far_objects_color_accuracy", "Drovik_engine_get_far_objects_color_accuracy", 0,
     [] { return double(Drovik_engine_get_far_objects_color_accuracy()); }},
    {"Drovik_engine_set_default_culling_depth", "Drovik_engine_set_default_culling_depth", -1,
     [] { return double(Drovik_engine_set_default_culling_depth()); }},
    {"Drovik_engine_increase_culling_depth", "Drovik_engine_increase_culling_depth", -1,
     [] { return double(Drovik_engine_increase_culling_depth()); }},
    {"Drovik_engine_decrease_culling_depth", "Drovik_engine_decrease_culling_depth", -1,
     [] { return double(Drovik_engine_decrease_culling_depth()); }},
    {"Drovik_engine_set_culling_depth", "Drovik_engine_set_culling_depth", -1,
     [] { return double(Drovik_engine_set_culling_depth(64)); }},
    {"Drovik_engine_get_culling_depth", "Drovik_engine_get_culling_depth", -1,
     [] { return double(Drovik_engine_get_culling_depth()); }},
    {"Drovik_engine_is_zbuffer", "Drovik_engine_is_zbuffer", 0, [] { return double(Drovik_engine_is_zbuffer()); }},
    {"Drovik_engine_advance_objects_automatically", "Drovik_engine_advance_objects_automatically", -1,
     [] { return double(Drovik_engine_advance_objects_automatically(1)); }},
    {"Drovik_engine_set_speaker_mode", "Drovik_engine_set_speaker_mode", -1,
     [] { return double(Drovik_engine_set_speaker_mode(0)); }},
    {"Drovik_engine_2D_point_to_3D", "Drovik_engine_2D_point_to_3D", -1,
     [] { return double(Drovik_engine_2D_point_to_3D(1, 1, out3, &handle_a, &handle_b)); }},
    {"Drovik_engine_get_object_at_point_2D", "Drovik_engine_get_object_at_point_2D", 0,
     [] { return as_number(Drovik_engine_get_object_at_point_2D(1, 1)); }},
    {"Drovik_engine_get_polygon_at_point_2D", "Drovik_engine_get_polygon_at_point_2D", 0,
     [] { return as_number(Drovik_engine_get_polygon_at_point_2D(1, 1)); }},
    {"Drovik_engine_mark_polygon_at_point", "Drovik_engine_mark_polygon_at_point", -1,
     [] { return double(Drovik_engine_mark_polygon_at_point(1, 1)); }},
    {"Drovik_engine_2D_point_to_3D_point_on_plane", "Drovik_engine_2D_point_to_3D_point_on_plane", -1,
     [] { return double(Drovik_engine_2D_point_to_3D_point_on_plane(1, 1, plane4, out3)); }},
    {"Drovik_engine_3D_point_to_2D", "Drovik_engine_3D_point_to_2D", -1,
     [] { return double(Drovik_engine_3D_point_to_2D(v3, pixel)); }},
    {"Drovik_engine_clip_edge", "Drovik_engine_clip_edge", -1,
     [] { return double(Drovik_engine_clip_edge(v3, v3, out3, out3)); }},
    {"Drovik_engine_3D_edge_to_2D", "Drovik_engine_3D_edge_to_2D", -1,
     [] { return double(Drovik_engine_3D_edge_to_2D(v3, v3, pixel, pixel_b)); }},
    {"Drovik_engine_translate_movement_on_screen_to_movement_in_world",
     "Drovik_engine_calculate_movement_in_screen_cords", -1,
     [] { return double(Drovik_engine_translate_movement_on_screen_to_movement_in_world(v3, out3, 1, 1)); }},
    {"Drovik_engine_translate_movement_on_screen_to_world", "Drovik_engine_calculate_movement_in_screen_cords", -1,
     [] { return double(Drovik_engine_translate_movement_on_screen_to_world(v3, out3, 1, 1)); }},
    {"Drovik_engine_is_movement_possible", "Drovik_engine_is_movement_possible", -1,
     [] { return double(Drovik_engine_is_movement_possible(v3, v3, &handle_a, out3, &handle_b)); }},
    {"Drovik_engine_is_movement_possible_camera_space", "Drovik_engine_is_movement_possible_camera_space", -1,
     [] { return double(Drovik_engine_is_movement_possible_camera_space(v3, v3, &handle_a, out3, &handle_b)); }},
    {"Drovik_engine_get_number_of_collisions", "Drovik_engine_get_number_of_collisions", -1,
     [] { return double(Drovik_engine_get_number_of_collisions(v3, v3, out3)); }},
};

using EngineFamily = FamilyTest;

TEST_F(EngineFamily, EveryGuardedExportRefusesWithoutAWorld) {
    engine_set_world_loaded(0);
    for (const engine_row& row : engine_rows) {
        SCOPED_TRACE(row.export_name);
        EXPECT_EQ(row.call(), row.failure);
        const std::vector<plat_box_record> boxes = new_boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Warning");
        EXPECT_EQ(boxes[0].text, std::string(row.guard_name) +
                                     ":\nYou must call Drovik_engine_load_world()\n before calling this function !!\n");
    }
    // The unguarded getters answer.
    int r = -1, g = -1, b = -1;
    Drovik_engine_get_background_color(&r, &g, &b);
    EXPECT_GE(r, 0);
    Drovik_engine_get_atmospheric_effect(&r, nullptr, nullptr);
    EXPECT_GE(r, 0);
    EXPECT_TRUE(new_boxes().empty());
}

TEST_F(EngineFamily, SettingsStepWithinTheirLimits) {
    Drovik_engine_set_culling_depth(128);
    Drovik_engine_increase_culling_depth();
    EXPECT_EQ(Drovik_engine_get_culling_depth(), 3200);
    Drovik_engine_decrease_culling_depth();
    EXPECT_EQ(Drovik_engine_get_culling_depth(), 160);
    Drovik_engine_set_default_culling_depth();
    EXPECT_EQ(Drovik_engine_get_culling_depth(), 32);

    struct intensity_case {
        double from;
        int (*step)();
        double to;
    };
    const intensity_case intensities[] = {
        {0, Drovik_engine_increase_atmospheric_effect_intensity, 0.01},
        {9, Drovik_engine_increase_atmospheric_effect_intensity, 10},
        {4, Drovik_engine_increase_atmospheric_effect_intensity, 5},
        {0.012, Drovik_engine_decrease_atmospheric_effect_intensity, 0},
        {5, Drovik_engine_decrease_atmospheric_effect_intensity, 4},
    };
    for (const intensity_case& c : intensities) {
        Drovik_engine_set_atmospheric_effect_intensity(c.from);
        c.step();
        EXPECT_NEAR(Drovik_engine_get_atmospheric_effect_intensity(), c.to, 1e-12) << c.from;
    }
    Drovik_engine_set_atmospheric_effect_intensity(-1);
    EXPECT_NEAR(Drovik_engine_get_atmospheric_effect_intensity(), 4, 1e-12);

    Drovik_engine_set_brightness(15);
    Drovik_engine_increase_brightness();
    Drovik_engine_increase_brightness();
    EXPECT_EQ(Drovik_engine_get_brightness(), 16);
    Drovik_engine_set_brightness(-16);
    Drovik_engine_decrease_brightness();
    EXPECT_EQ(Drovik_engine_get_brightness(), -16);
    Drovik_engine_set_default_brightness();
    EXPECT_EQ(Drovik_engine_get_brightness(), 0);

    Drovik_engine_set_far_objects_color_accuracy(31);
    Drovik_engine_increase_far_objects_color_accuracy();
    EXPECT_EQ(Drovik_engine_get_far_objects_color_accuracy(), 31);
    EXPECT_EQ(Drovik_engine_set_far_objects_color_accuracy(0), 0);
    Drovik_engine_decrease_far_objects_color_accuracy();
    EXPECT_EQ(Drovik_engine_get_far_objects_color_accuracy(), 0);
    EXPECT_EQ(Drovik_engine_set_far_objects_color_accuracy(-3), -3);
    EXPECT_EQ(Drovik_engine_get_far_objects_color_accuracy(), 0);
    Drovik_engine_set_default_far_objects_color_accuracy();
    EXPECT_EQ(Drovik_engine_get_far_objects_color_accuracy(), 30);
}

TEST_F(EngineFamily, ModesCycleAndPerspectiveToggles) {
    Drovik_engine_set_normal_rendering_mode();
    const int cycle[] = {0, 1, 2, 4, 3, 0};
    for (int i = 0; i + 1 < 6; ++i) {
        EXPECT_EQ(Drovik_engine_toggle_rendering_mode(), cycle[i]);
        EXPECT_EQ(engine_state.rendering_mode, cycle[i + 1]);
    }
    Drovik_engine_set_wire_frame_rendering_mode();
    EXPECT_EQ(engine_state.rendering_mode, 3);
    Drovik_engine_set_color_fill_rendering_mode();
    EXPECT_EQ(engine_state.rendering_mode, 4);
    EXPECT_EQ(Drovik_engine_toggle_wire_frame_flag(), 1);
    EXPECT_EQ(Drovik_engine_toggle_wire_frame_flag(), 0);

    Drovik_engine_set_perspective_correction_accuracy(1000.0);
    EXPECT_EQ(engine_state.perspective_automatic, 3);
    EXPECT_EQ(engine_state.span_length, 1);
    Drovik_engine_set_perspective_correction_accuracy(100.0);
    EXPECT_EQ(engine_state.perspective_automatic, 1);
    EXPECT_EQ(Drovik_engine_get_perspective_correction_accuracy(), 100.0);
    EXPECT_EQ(Drovik_engine_toggle_automatic_perspective_correction(), 2);
    EXPECT_EQ(Drovik_engine_toggle_automatic_perspective_correction(), 1);
    EXPECT_EQ(Drovik_engine_toggle_perspective_correction_accuracy(), 3);
    EXPECT_EQ(engine_state.span_length, 1);
    for (const int span : {2, 4, 8, 16, 32, 1}) {
        Drovik_engine_toggle_perspective_correction_accuracy();
        EXPECT_EQ(engine_state.span_length, span);
    }

    Drovik_engine_set_atmospheric_effect(10, 20, 30);
    int r = 0, g = 0, b = 0;
    Drovik_engine_get_background_color(&r, &g, &b);
    EXPECT_EQ(b, 30);
    Drovik_engine_toggle_atmospheric_effect();
    Drovik_engine_get_atmospheric_effect(&r, &g, &b);
    EXPECT_EQ(r, 128);

    set_editor_mode(1);
    EXPECT_EQ(Drovik_engine_advance_objects_automatically(0), -1);
    const std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Drovik_engine_advance_objects_automatically:\nWorks only in viewer mode !!\n");
    EXPECT_EQ(Drovik_engine_use_zbuffer(1), -1);
    set_editor_mode(0);
    EXPECT_EQ(Drovik_engine_use_zbuffer(1), 0);
    EXPECT_EQ(Drovik_engine_is_zbuffer(), 1);
    EXPECT_EQ(Drovik_engine_use_zbuffer(0), 0);
    EXPECT_EQ(Drovik_engine_is_zbuffer(), 0);
}

using EngineView = ViewTest;

TEST_F(EngineView, PointsProjectToTheWindowByWhereTheyLie) {
    struct case_row {
        vec3 point;
        int result;
    };
    const case_row cases[] = {
        {{-10, 0, 0}, 0},       // straight ahead: the centre
        {{-10, 100, 0}, 1},     // ahead, far to the right
        {{10, 0, 0}, 2},        // behind, mirrored onto the centre
        {{10, 100, 0}, 3},      // behind and off the window
        {{0, 5, 0}, -1},        // in the eye's plane
    };
    for (const case_row& c : cases) {
        const double p[3] = {c.point.x, c.point.y, c.point.z};
        int at[2] = {-7, -7};
        EXPECT_EQ(Drovik_engine_3D_point_to_2D(p, at), c.result) << c.point.x << " " << c.point.y;
        if (c.result == 0) {
            EXPECT_EQ(at[0], 200);
            EXPECT_EQ(at[1], 150);
        }
    }
    const double up[3] = {-10, 0, 1};
    int at[2];
    ASSERT_EQ(Drovik_engine_3D_point_to_2D(up, at), 0);
    EXPECT_LT(at[1], 150) << "a point above the axis is higher on the window";

    // A pixel step on the screen and back to the world keeps the depth.
    const double ahead[3] = {-10, 0, 0};
    double moved[3];
    ASSERT_EQ(Drovik_engine_translate_movement_on_screen_to_movement_in_world(ahead, moved, 20, 0), 0);
    EXPECT_NEAR(moved[0], -10, 1e-9);
    const double there[3] = {moved[0], moved[1], moved[2]};
    ASSERT_EQ(Drovik_engine_3D_point_to_2D(there, at), 0);
    EXPECT_EQ(at[0], 220);
    EXPECT_EQ(at[1], 150);
}

TEST_F(EngineView, EdgesAreClippedToTheFrustum) {
    double a_out[3], b_out[3];
    const double near_a[3] = {-10, 0, 0}, near_b[3] = {-20, 1, 1};
    EXPECT_EQ(Drovik_engine_clip_edge(near_a, near_b, a_out, b_out), 2);
    EXPECT_EQ(b_out[0], -20);
    const double behind_a[3] = {10, 0, 0}, behind_b[3] = {20, 0, 0};
    EXPECT_EQ(Drovik_engine_clip_edge(behind_a, behind_b, a_out, b_out), 1);
    EXPECT_EQ(Drovik_engine_clip_edge(behind_a, near_a, a_out, b_out), 3);
    EXPECT_LT(a_out[0], 0);

    int pa[2], pb[2];
    EXPECT_EQ(Drovik_engine_3D_edge_to_2D(behind_a, behind_b, pa, pb), 1);
    EXPECT_EQ(pb[0], 1000);
    EXPECT_EQ(pb[1], 1000);
    EXPECT_EQ(Drovik_engine_3D_edge_to_2D(near_a, near_b, pa, pb), 2);
    EXPECT_EQ(pa[0], 200);
}

TEST_F(EngineView, PixelOfAPolygonGivesThatPolygon) {
    DROVIK_HANDLE wall = Drovik_object_create("wall");
    polygon* p = wall_at(-10);
    ASSERT_EQ(Drovik_object_add_polygon(wall, p), 0);
    const double centre[3] = {-10, 0, 0};
    int at[2];
    ASSERT_EQ(Drovik_engine_3D_point_to_2D(centre, at), 0);
    double hit[3];
    DROVIK_HANDLE object = nullptr, polygon_hit = nullptr;
    ASSERT_EQ(Drovik_engine_2D_point_to_3D(at[0], at[1], hit, &object, &polygon_hit), 0);
    EXPECT_EQ(polygon_hit, p);
    EXPECT_EQ(object, wall);
    EXPECT_NEAR(hit[0], -10, 1e-6);
    EXPECT_EQ(Drovik_engine_get_polygon_at_point_2D(at[0], at[1]), p);
    EXPECT_EQ(Drovik_engine_get_polygon_at_point_2D(0, 0), nullptr);

    const double start[3] = {0, 0, 0}, end[3] = {-20, 0, 0};
    DROVIK_HANDLE blocker = nullptr, blocking_object = nullptr;
    double where[3];
    EXPECT_EQ(Drovik_engine_is_movement_possible(start, end, &blocker, where, &blocking_object), 0);
    EXPECT_EQ(blocker, p);
    EXPECT_EQ(blocking_object, wall);
    const double floor[4] = {0, 0, 1, 5};
    double on_plane[3];
    EXPECT_EQ(Drovik_engine_2D_point_to_3D_point_on_plane(200, 299, floor, on_plane), 0);
    EXPECT_NEAR(on_plane[2], -5, 1e-9);
    EXPECT_EQ(Drovik_engine_2D_point_to_3D_point_on_plane(200, 299, nullptr, on_plane), -1);
    const std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Drovik_engine_2D_point_to_3D_point_on_plane:\nBad params\n");
}

TEST_F(EngineFamily, EditorWorldTakesPolygonsAndJoinsNeighbours) {
    module* main = init_module();
    main->root = init_bsp_node();
    module_list_push(&engine_state.modules, main);
    engine_state.main_module = main;
    polygon* refused = wall_at(-10);
    EXPECT_EQ(Drovik_engine_add_polygon(refused), -1);
    free_polygon(refused);
    EXPECT_EQ(Drovik_engine_reduce_polygons_count(0.001), -1);
    std::vector<plat_box_record> boxes = new_boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Drovik_engine_add_polygon:\nWorks only in editor mode !!\n");
    EXPECT_EQ(boxes[1].text, "Drovik_engine_reduce_polygons_count:\nWorks only in editor mode !!\n");

    set_editor_mode(1);
    polygon* left = wall_at(-10);
    polygon* right = wall_at(-10);
    for (point* q = right->points; q; q = q->next) q->y += 2;
    ASSERT_EQ(Drovik_engine_add_polygon(left), 0);
    ASSERT_EQ(Drovik_engine_add_polygon(right), 0);
    EXPECT_EQ(Drovik_engine_reduce_polygons_count(0.001), 1);
    ASSERT_NE(main->root->polygons, nullptr);
    EXPECT_EQ(main->root->polygons->next, nullptr);
    EXPECT_GE(main->root->polygons->point_count, 4);
}

TEST_F(EngineFamily, LogWindowKeepsItsValues) {
    Drovik_engine_set_log_window_target(80);
    Drovik_engine_set_log_window_progress(20);
    EXPECT_EQ(Drovik_engine_get_log_window_target(), 80);
    EXPECT_EQ(Drovik_engine_get_log_window_progress(), 20);
    Drovik_engine_hide_log_window();
    EXPECT_EQ(Drovik_engine_is_log_window_visible(), 0);
    DROVIK_WINDOW window = Drovik_engine_log_window_get_hwnd();
    ASSERT_NE(window, nullptr);
    Drovik_engine_log_window_set_title("Busy");
    EXPECT_EQ(plat_window_title(window), "Busy");
    EXPECT_EQ(Drovik_engine_log_window_get_hwnd(), window);
    set_log_window_caption(nullptr);
    destroy_log_window();
}

}  // namespace
