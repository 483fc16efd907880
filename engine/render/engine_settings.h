// The per-world rendering settings: steps, limits and what each change recomputes.
#pragma once

int& engine_settings_report_errors();

// Brightness is stored negated (a lower value is brighter), -16..16 by the steps. These and the
// intensity operations need a loaded world; without one they report and only store the value.
void engine_set_default_brightness();
void engine_increase_brightness();
void engine_decrease_brightness();
void engine_set_brightness(int brightness);
void engine_set_default_atmospheric_effect_intensity();
void engine_decrease_atmospheric_effect_intensity();
void engine_increase_atmospheric_effect_intensity();
void engine_set_atmospheric_effect_intensity(double intensity);
double engine_get_atmospheric_effect_intensity();

void engine_set_default_culling_depth();
void engine_increase_culling_depth();
void engine_decrease_culling_depth();
void engine_set_culling_depth(int depth);

void engine_set_atmospheric_effect(int r, int g, int b);
void engine_set_background_color(int r, int g, int b);
// Steps the fog colour through grey, white, black and the default; returns the old position.
int engine_toggle_atmospheric_effect();

void engine_set_default_far_objects_color_accuracy();
void engine_increase_far_objects_color_accuracy();
void engine_decrease_far_objects_color_accuracy();
void engine_set_far_objects_color_accuracy(int accuracy);

// Returns the new perspective mode.
int engine_toggle_automatic_perspective_correction();
// Fixed span mode; in it the span doubles, from 32 back to 1. Returns 3.
int engine_toggle_perspective_correction_accuracy();
// Automatic mode with this accuracy; exactly 1000 means exact correction (span 1, fixed mode).
void engine_set_perspective_correction_accuracy(double accuracy);

void engine_set_normal_rendering_mode();
// 0 -> 1 -> 2 -> 4 -> 3 -> 0; returns the old mode.
int engine_toggle_rendering_mode();
// Returns the new flag.
int engine_toggle_wire_frame_flag();
void engine_toggle_freeze_mode();
int engine_is_freeze_mode();
int engine_is_zbuffer_off();
// -1 in editor mode; else drops the dynamic objects from the tree nodes and sets the z-buffer; 0.
int engine_use_zbuffer(int on);
// Takes the objects and their sons out of the tree nodes that hold them this frame.
void engine_detach_dynamic_objects(struct dynamic_object* list);
