// The engine state record: the loaded world's lists and the per-world settings its entities read.
#include "world/engine_state.h"

#include <cstring>

#include "foundation/dictionary.h"
#include "world/polygon.h"

engine_state_record engine_state;

void engine_state_reset(int editor_mode) {
    engine_state_release();
    std::memset(&engine_state, 0, sizeof engine_state);
    engine_state.editor_mode = editor_mode ? 1 : 0;
    engine_state.default_point_red = 255;
    engine_state.default_point_green = 255;
    engine_state.default_point_blue = 255;
    engine_state.default_point_colour = -1;
    engine_state.default_point_brightness = 1.0;
    engine_state.atmospheric_intensity = 0.01;
    engine_state.brightness = 0;
    engine_state.culling_depth = 32;
    engine_state.time_based_animation = 1;
    engine_state.name_dictionary = dictionary_init();
    reset_polygon_counters();
}

void engine_state_release() {
    if (engine_state.name_dictionary) dictionary_free(engine_state.name_dictionary);
    engine_state.name_dictionary = nullptr;
}

module* get_modules_list() { return engine_state.modules; }
module* get_main_module() { return engine_state.main_module; }
dynamic_object* get_dynamic_objects() { return engine_state.dynamic_objects; }
group* get_groups_list() { return engine_state.groups; }
animation* get_animations_list() { return engine_state.animations; }
camera* get_current_camera() { return engine_state.current_camera; }

void set_current_camera(camera* c) {
    if (c) engine_state.current_camera = c;
}
