// The engine family's export table.
#include "api/engine_family.h"

namespace {

const api_export_row engine_exports[] = {
    {"Drovik_engine_add_world", "Drovik_engine_add_world", 0},
    {"Drovik_engine_add_polygon", "Drovik_engine_add_polygon", -1},
    {"Drovik_engine_reduce_polygons_count", "Drovik_engine_reduce_polygons_count", -1},
    {"Drovik_engine_set_default_brightness", "Drovik_engine_set_default_brightness", -1},
    {"Drovik_engine_increase_brightness", "Drovik_engine_increase_brightness", -1},
    {"Drovik_engine_decrease_brightness", "Drovik_engine_decrease_brightness", -1},
    {"Drovik_engine_set_brightness", "Drovik_engine_set_brightness", -1},
    {"Drovik_engine_get_brightness", "Drovik_engine_get_brightness", 0},
    {"Drovik_engine_set_default_atmospheric_effect_intensity",
     "Drovik_engine_set_default_atmospheric_effect_intensity", -1},
    {"Drovik_engine_increase_atmospheric_effect_intensity", "Drovik_engine_increase_atmospheric_effect_intensity",
     -1},
    {"Drovik_engine_decrease_atmospheric_effect_intensity", "Drovik_engine_decrease_atmospheric_effect_intensity",
     -1},
    {"Drovik_engine_set_atmospheric_effect_intensity", "Drovik_engine_set_atmospheric_effect_intensity", -1},
    {"Drovik_engine_get_atmospheric_effect_intensity", "Drovik_engine_get_atmospheric_effect_intensity", 0.0},
    {"Drovik_engine_set_atmospheric_effect", "Drovik_engine_set_atmospheric_effect", -1},
    {"Drovik_engine_toggle_atmospheric_effect", "Drovik_engine_toggle_atmospheric_effect", -1},
    {"Drovik_engine_set_background_color", "Drovik_engine_set_background_color", -1},
    {"Drovik_engine_set_normal_rendering_mode", "Drovik_engine_set_default_rendering_mode", -1},
    {"Drovik_engine_set_color_fill_rendering_mode", "Drovik_engine_set_color_fill_rendering_mode", -1},
    {"Drovik_engine_set_wire_frame_rendering_mode", "Drovik_engine_set_wire_frame_rendering_mode", -1},
    {"Drovik_engine_toggle_rendering_mode", "Drovik_engine_toggle_rendering_mode", -1},
    {"Drovik_engine_toggle_wire_frame_flag", "Drovik_engine_toggle_wire_frame_flag", -1},
    {"Drovik_engine_toggle_automatic_perspective_correction",
     "Drovik_engine_toggle_automatic_perspective_correction", -1},
    {"Drovik_engine_toggle_perspective_correction_accuracy", "Drovik_engine_toggle_perspective_correction_accuracy",
     -1},
    {"Drovik_engine_set_default_far_objects_color_accuracy", "Drovik_engine_set_default_far_objects_color_accuracy",
     -1},
    {"Drovik_engine_increase_far_objects_color_accuracy", "Drovik_engine_increase_far_objects_color_accuracy", -1},
    {"Drovik_engine_decrease_far_objects_color_accuracy", "Drovik_engine_decrease_far_objects_color_accuracy", -1},
    {"Drovik_engine_set_far_objects_color_accuracy", "Drovik_engine_set_far_objects_color_accuracy", -1},
    {"Drovik_engine_get_far_objects_color_accuracy", "Drovik_engine_get_far_objects_color_accuracy", 0},
    {"Drovik_engine_set_default_culling_depth", "Drovik_engine_set_default_culling_depth", -1},
    {"Drovik_engine_increase_culling_depth", "Drovik_engine_increase_culling_depth", -1},
    {"Drovik_engine_decrease_culling_depth", "Drovik_engine_decrease_culling_depth", -1},
    {"Drovik_engine_set_culling_depth", "Drovik_engine_set_culling_depth", -1},
    {"Drovik_engine_get_culling_depth", "Drovik_engine_get_culling_depth", -1},
    {"Drovik_engine_is_zbuffer", "Drovik_engine_is_zbuffer", 0},
    {"Drovik_engine_advance_objects_automatically", "Drovik_engine_advance_objects_automatically", -1},
    {"Drovik_engine_set_speaker_mode", "Drovik_engine_set_speaker_mode", -1},
    {"Drovik_engine_2D_point_to_3D", "Drovik_engine_2D_point_to_3D", -1},
    {"Drovik_engine_get_object_at_point_2D", "Drovik_engine_get_object_at_point_2D", 0},
    {"Drovik_engine_get_polygon_at_point_2D", "Drovik_engine_get_polygon_at_point_2D", 0},
    {"Drovik_engine_mark_polygon_at_point", "Drovik_engine_mark_polygon_at_point", -1},
    {"Drovik_engine_2D_point_to_3D_point_on_plane", "Drovik_engine_2D_point_to_3D_point_on_plane", -1},
    {"Drovik_engine_3D_point_to_2D", "Drovik_engine_3D_point_to_2D", -1},
    {"Drovik_engine_clip_edge", "Drovik_engine_clip_edge", -1},
    {"Drovik_engine_3D_edge_to_2D", "Drovik_engine_3D_edge_to_2D", -1},
    {"Drovik_engine_translate_movement_on_screen_to_movement_in_world",
     "Drovik_engine_calculate_movement_in_screen_cords", -1},
    {"Drovik_engine_is_movement_possible", "Drovik_engine_is_movement_possible", -1},
    {"Drovik_engine_is_movement_possible_camera_space", "Drovik_engine_is_movement_possible_camera_space", -1},
    {"Drovik_engine_get_number_of_collisions", "Drovik_engine_get_number_of_collisions", -1},
    {"Drovik_engine_create_shadow", "Drovik_engine_create_shadow", -1},
};

}  // namespace

const api_export_row& engine_row_of(const char* export_name) {
    return api_export_row_of(engine_exports, export_name);
}
