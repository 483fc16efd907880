// The engine state record: the loaded world's lists and the per-world settings its entities read.
#pragma once
#include <cstdint>

#include "world/records.h"

struct dictionary_node;

// Counters of the software renderer, kept over a whole world (64-bit: long sessions overflow 32).
struct frame_statistics {
    int64_t frames;
    int64_t polygons;
    int64_t lines;
    int64_t pixels;
    int64_t hidden_lines;
    int64_t hidden_pixels;
    int64_t hidden_line_pixels;
};

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
    int32_t zbuffer_state;  // 1 on, 0 off, 2 editor mode after digestion
    int32_t card_in_use;
    int32_t card_width, card_height, card_depth, card_full_screen;
    char* world_directory;
    char* bitmaps_directory;
    char* world_file_name;  // names the BSP cache file
    int32_t bsp_for_main;
    int32_t bsp_for_others;
    int32_t power_of_two_bitmaps;
    int32_t power_of_two_rounding;  // 16 up, 32 nearest, 64 down
    int32_t mipmaps;
    double mipmap_bias;
    double mipmap_factor;
    // The colour new points of bitmap polygons take.
    int32_t default_point_red, default_point_green, default_point_blue;
    int32_t default_point_colour;
    double default_point_brightness;
    int32_t default_atmosphere_red, default_atmosphere_green, default_atmosphere_blue;
    int32_t atmosphere_red, atmosphere_green, atmosphere_blue;
    int32_t background_red, background_green, background_blue;
    uint16_t background_pixel;
    double atmospheric_intensity;
    int32_t brightness;     // -16..16
    int32_t culling_depth;  // shade level at which polygons fade out
    int32_t far_objects_accuracy;
    int32_t perspective_automatic;
    int32_t span_length;
    int32_t span_length_log2;
    double span_reciprocal;
    double perspective_accuracy;
    int32_t minimum_render_time;
    int32_t maximum_render_time;
    int32_t rendering_mode;
    int32_t wire_frame;
    int32_t atmospheric_cycle;  // 0..3, position in the fog colour toggle
    int32_t freeze_mode;
    // The perspective values set aside while frozen.
    int32_t frozen_span_length, frozen_span_length_log2, frozen_perspective_mode;
    // Kept and saved only.
    uint8_t reserved_byte;
    double reserved_direction[3];
    double reserved_pair[2];
    double world_rotate_reference[3];  // the point the whole world is rotated about
    int32_t advance_objects;
    int32_t advance_cameras;
    double fog_range;
    frame_statistics statistics;
    int32_t no_bitmaps;
    int32_t read_only_bitmaps;
    int32_t adding_world;
    camera* current_camera;
    group* group_to_render;
    int32_t time_based_animation;
    int32_t time_based_objects;
    int32_t time_based_cameras;
    int32_t rendered_frames;
    double world_centre[3];
    double world_lighting_signature[4];  // the whole world's signature when its normals were last made
    int32_t red_bits, green_bits, blue_bits;
};

extern engine_state_record engine_state;

// Flags of engine_load_world.
namespace load_flags {
inline constexpr uint32_t navigation_object = 0x1;
inline constexpr uint32_t editor = 0x4;
inline constexpr uint32_t zbuffer_off = 0x8;
inline constexpr uint32_t power_of_two_up = 0x10;
inline constexpr uint32_t power_of_two_nearest = 0x20;
inline constexpr uint32_t power_of_two_down = 0x40;
inline constexpr uint32_t mipmaps_sharp = 0x80;
inline constexpr uint32_t mipmaps_soft = 0x200;
inline constexpr uint32_t mipmaps_plain = 0x400;
inline constexpr uint32_t grey_points = 0x800;
inline constexpr uint32_t dark_grey_points = 0x1000;
inline constexpr uint32_t bsp_for_others = 0x2000;
inline constexpr uint32_t no_bsp_for_main = 0x4000;
inline constexpr uint32_t read_only_bitmaps = 0x8000;
inline constexpr uint32_t no_bitmaps = 0x10000;
}  // namespace load_flags

// Zeroes the record and sets every reset value; creates the name dictionary. Strings left in
// the record are freed first.
void engine_state_reset(int editor_mode);
// Frees the name dictionary and the record's own strings (the lists are freed by their owners).
void engine_state_release();
// The record's reset before a load: the pixel format, the counters; with keep_bitmaps the bitmap
// list survives.
void engine_state_start(int editor, int red_bits, int green_bits, int blue_bits, int keep_bitmaps);
int engine_state_was_initialized();
// Applies the load flags to the freshly reset record, in the order of their table.
void engine_apply_load_flags(uint32_t flags);
// True while a scratch state (an added non-text world, a file's polygons) stands in the record:
// the live world's counters, 3D card and fast-pool blocks are then left alone.
bool engine_state_is_scratch();
void engine_state_set_scratch(bool on);

int engine_set_last_main_module_name(const char* name);
int engine_set_world_file_name(const char* name);

// `struct` keeps a line from starting with `module`, which C++20 reads as a module declaration.
struct module* get_modules_list();
struct module* get_main_module();
dynamic_object* get_dynamic_objects();
dynamic_object* engine_get_player_object();
group* get_groups_list();
jtrack* get_tracks_list();
light* get_lights_list();
animation* get_animations_list();
camera* get_cameras_list();
background* get_backgrounds_list();
bitmap_texture* get_bitmaps_list();
camera* get_current_camera();
void set_current_camera(camera* c);
void engine_set_group_to_render(group* g);
void engine_clear_visit_flags();
void engine_compute_fog_distance();
int count_world_polygons();
int animation_count_polygons(const animation* a);
int group_sum_polygon_counts(const group* g);
