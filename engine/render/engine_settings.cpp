// The per-world rendering settings: steps, limits and what each change recomputes.
#include "render/engine_settings.h"

#include <algorithm>
#include <string>

#include "foundation/errors.h"
#include "render/card3d/card3d.h"
#include "render/images/shade_tables.h"
#include "world/bsp_tree.h"
#include "world/colour.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"

namespace {

constexpr int brightness_limit = 16;
constexpr double intensity_floor = 0.01;
constexpr double intensity_ceiling = 10;
constexpr int culling_step = 32;
constexpr int far_culling_depth = 3200;
constexpr int max_far_accuracy = 31;
constexpr int max_span_length = 32;
constexpr double exact_correction = 1000;

enum class visibility { main_tree, every_tree };

// False (with the operation's report) when no world is loaded.
bool world_loaded(const char* operation) {
    if (engine_state.main_module) return true;
    if (engine_settings_report_errors()) {
        report_error(1, (std::string(operation) + ": main_mdl==NULL\nplease load world first\n").c_str());
    }
    return false;
}

// Polygon shades and fade distances, node visibility distances, the fog range and the palettes.
void recompute_world(visibility trees) {
    for (module* m = engine_state.modules; m; m = m->next) {
        if (m->root) bsp_tree_update_polygons(m->root);
    }
    if (trees == visibility::main_tree) {
        if (engine_state.main_module->root) set_bsp_nodes_visibility(engine_state.main_module->root);
    } else {
        for (module* m = engine_state.modules; m; m = m->next) {
            if (m->root) set_bsp_nodes_visibility(m->root);
        }
    }
    engine_compute_fog_distance();
    change_palettes(current_atmospheric_colour());
    card3d_set_fog();
}

void set_brightness_value(const char* operation, int value) {
    engine_state.brightness = value;
    if (world_loaded(operation)) recompute_world(visibility::main_tree);
}

void set_intensity_value(const char* operation, double value, visibility trees) {
    engine_state.atmospheric_intensity = value;
    if (world_loaded(operation)) recompute_world(trees);
}

void set_culling_value(int value) {
    engine_state.culling_depth = value;
    if (engine_state.main_module) recompute_world(visibility::every_tree);
}

void set_span(int length, int log2) {
    engine_state.span_length = length;
    engine_state.span_length_log2 = log2;
    engine_state.span_reciprocal = 1.0 / length;
}

void set_fog_colour(int r, int g, int b) {
    engine_state.atmosphere_red = r;
    engine_state.atmosphere_green = g;
    engine_state.atmosphere_blue = b;
    change_palettes(current_atmospheric_colour());
    card3d_set_fog();
}

}  // namespace

int& engine_settings_report_errors() {
    static int flag = 1;
    return flag;
}

// Takes the objects and their sons out of the tree nodes that hold them this frame.
void engine_detach_dynamic_objects(dynamic_object* list) {
    for (dynamic_object* d = list; d; d = d->next) {
        if (d->node) {
            dynamic_node_list_remove(&d->node->dynamic_objects, d);
            dynamic_node_list_remove(&d->node->dynamic_objects_behind, d);
        }
        d->node = nullptr;
        d->next_in_node = nullptr;
        engine_detach_dynamic_objects(d->first_son);
    }
}

void engine_set_default_brightness() { set_brightness_value("engine_set_default_brightness", 0); }

void engine_increase_brightness() {
    set_brightness_value("engine_increase_brightness", std::max(-brightness_limit, engine_state.brightness - 1));
}

void engine_decrease_brightness() {
    set_brightness_value("engine_decrease_brightness", std::min(brightness_limit, engine_state.brightness + 1));
}

void engine_set_brightness(int brightness) { set_brightness_value("engine_set_brightness", -brightness); }

void engine_set_default_atmospheric_effect_intensity() {
    set_intensity_value("engine_set_default_atmospheric_effect_intensity", 2.0, visibility::main_tree);
}

void engine_decrease_atmospheric_effect_intensity() {
    double value = engine_state.atmospheric_intensity * 0.8;
    if (value < intensity_floor) value = 0;
    set_intensity_value("engine_decrease_atmospheric_effect_intensity", value, visibility::every_tree);
}

void engine_increase_atmospheric_effect_intensity() {
    const double now = engine_state.atmospheric_intensity;
    const double value = now < intensity_floor ? intensity_floor : std::min(intensity_ceiling, now * 1.25);
    set_intensity_value("engine_increase_atmospheric_effect_intensity", value, visibility::every_tree);
}

void engine_set_atmospheric_effect_intensity(double intensity) {
    if (intensity < 0) return;
    set_intensity_value("engine_set_atmospheric_effect_intensity", intensity, visibility::every_tree);
}

double engine_get_atmospheric_effect_intensity() { return engine_state.atmospheric_intensity; }

void engine_set_default_culling_depth() { set_culling_value(culling_step); }

void engine_increase_culling_depth() {
    int value = engine_state.culling_depth + culling_step;
    if (value >= 5 * culling_step) value = far_culling_depth;
    set_culling_value(value);
}

void engine_decrease_culling_depth() {
    set_culling_value(std::clamp(engine_state.culling_depth - culling_step, culling_step, 5 * culling_step));
}

void engine_set_culling_depth(int depth) {
    if (depth >= 0) set_culling_value(depth);
}

void engine_set_atmospheric_effect(int r, int g, int b) {
    set_fog_colour(r, g, b);
    engine_set_background_color(r, g, b);
}

void engine_set_background_color(int r, int g, int b) {
    engine_state.background_red = r;
    engine_state.background_green = g;
    engine_state.background_blue = b;
    engine_state.background_pixel = rgb_to_pixel(r, g, b);
}

int engine_toggle_atmospheric_effect() {
    const int old = engine_state.atmospheric_cycle;
    switch (old) {
        case 0:
            set_fog_colour(128, 128, 128);
            break;
        case 1:
            set_fog_colour(255, 255, 255);
            break;
        case 2:
            set_fog_colour(0, 0, 0);
            break;
        default:
            engine_set_atmospheric_effect(engine_state.default_atmosphere_red, engine_state.default_atmosphere_green,
                                          engine_state.default_atmosphere_blue);
            break;
    }
    engine_state.atmospheric_cycle = old >= 3 ? 0 : old + 1;
    return old;
}

void engine_set_default_far_objects_color_accuracy() { engine_state.far_objects_accuracy = 30; }

void engine_increase_far_objects_color_accuracy() {
    engine_state.far_objects_accuracy = std::min(max_far_accuracy, engine_state.far_objects_accuracy + 1);
}

void engine_decrease_far_objects_color_accuracy() {
    engine_state.far_objects_accuracy = std::max(0, engine_state.far_objects_accuracy - 1);
}

void engine_set_far_objects_color_accuracy(int accuracy) {
    if (accuracy >= 0) engine_state.far_objects_accuracy = accuracy;
}

int engine_toggle_automatic_perspective_correction() {
    engine_state.perspective_automatic = engine_state.perspective_automatic == 1 ? 2 : 1;
    return engine_state.perspective_automatic;
}

int engine_toggle_perspective_correction_accuracy() {
    if (engine_state.perspective_automatic != 3) {
        engine_state.perspective_automatic = 3;
    } else if (engine_state.span_length >= max_span_length) {
        set_span(1, 0);
    } else {
        set_span(engine_state.span_length * 2, engine_state.span_length_log2 + 1);
    }
    return 3;
}

void engine_set_perspective_correction_accuracy(double accuracy) {
    engine_state.perspective_accuracy = accuracy;
    engine_state.perspective_automatic = 1;
    if (accuracy == exact_correction) {
        set_span(1, 0);
        engine_state.perspective_automatic = 3;
    }
}

void engine_set_normal_rendering_mode() {
    engine_state.rendering_mode = 0;
    engine_state.wire_frame = 0;
}

int engine_toggle_rendering_mode() {
    const int old = engine_state.rendering_mode;
    const int next[5] = {1, 2, 4, 0, 3};
    engine_state.rendering_mode = old >= 0 && old <= 4 ? next[old] : 0;
    return old;
}

int engine_toggle_wire_frame_flag() {
    engine_state.wire_frame = engine_state.wire_frame == 1 ? 0 : 1;
    return engine_state.wire_frame;
}

void engine_toggle_freeze_mode() {
    engine_state_record& s = engine_state;
    if (s.freeze_mode) {
        set_span(s.frozen_span_length, s.frozen_span_length_log2);
        s.perspective_automatic = s.frozen_perspective_mode;
        s.freeze_mode = 0;
        return;
    }
    s.frozen_span_length = s.span_length;
    s.frozen_span_length_log2 = s.span_length_log2;
    s.frozen_perspective_mode = s.perspective_automatic;
    set_span(1, 0);
    s.perspective_automatic = 3;
    s.freeze_mode = 1;
}

int engine_is_freeze_mode() { return engine_state.freeze_mode; }

int engine_is_zbuffer_off() { return engine_state.zbuffer_state == 0 ? 1 : 0; }

int engine_use_zbuffer(int on) {
    if (engine_state.editor_mode) return -1;
    engine_detach_dynamic_objects(engine_state.dynamic_objects);
    engine_state.zbuffer_state = on == 1 ? 1 : 0;
    return 0;
}
