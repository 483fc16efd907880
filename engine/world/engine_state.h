// The engine state record: the loaded world's lists and the per-world settings its entities read.
#pragma once
#include <cstdint>

#include "world/records.h"

struct dictionary_node;

struct engine_state_record {
    dynamic_object* player_object;
    bitmap_texture* bitmaps;
    module* modules;
    module* main_module;
    char* last_main_module_name;
    polygon* world_order;
    light* lights;
    animation* animations;
    anim3d* animations3d;
    camera* cameras;
    background* backgrounds;
    jtrack* tracks;
    background* current_background;
    dynamic_object* dynamic_objects;
    group* groups;
    dictionary_node* name_dictionary;

    int32_t editor_mode;
    camera* current_camera;
    // The colour new points of bitmap polygons take.
    int32_t default_point_red, default_point_green, default_point_blue;
    int32_t default_point_colour;
    double default_point_brightness;
    double atmospheric_intensity;
    int32_t brightness;     // -16..16
    int32_t culling_depth;  // shade level at which polygons fade out
    int32_t rendering_mode;
    int32_t time_based_animation;
    int32_t rendered_frames;
    double world_centre[3];
};

extern engine_state_record engine_state;

// Zeroes the record and sets the reset values the world entities read; creates the name dictionary.
void engine_state_reset(int editor_mode);
// Frees the name dictionary (the lists are freed by their owners first).
void engine_state_release();

module* get_modules_list();
module* get_main_module();
dynamic_object* get_dynamic_objects();
group* get_groups_list();
animation* get_animations_list();
camera* get_current_camera();
void set_current_camera(camera* c);
