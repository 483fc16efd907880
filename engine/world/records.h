// The engine's entity records: each starts with its 32-bit kind word, the word a handle check reads.
#pragma once
#include <cstdint>

#include "drovik.h"

enum entity_kind : int32_t {
    kind_camera = DROVIK_KIND_CAMERA,
    kind_dynamic_object = DROVIK_KIND_OBJECT,
    kind_group = DROVIK_KIND_GROUP,
    kind_bitmap = DROVIK_KIND_BITMAP,
    kind_track = DROVIK_KIND_TRACK,
    kind_animation = DROVIK_KIND_ANIMATION,
    kind_background = DROVIK_KIND_BACKGROUND,
    kind_polygon = DROVIK_KIND_POLYGON,
    kind_point = DROVIK_KIND_POINT,
    kind_light = DROVIK_KIND_LIGHT,
    kind_anim3d = DROVIK_KIND_ANIMATION3D,
    kind_frame3d = DROVIK_KIND_FRAME3D,
    kind_seq3d = DROVIK_KIND_SEQUENCE3D
};

// Records without a kind word of their own (no handle names them) carry kind 0.
inline constexpr int32_t kind_internal = 0;

struct polygon;
struct point;
struct group;
struct module;
struct object;
struct bsp_node;
struct dynamic_object;
struct light;
struct jtrack;
struct animation;
struct anim3d;
struct frame3d;
struct seq3d;
struct camera;
struct bitmap_texture;
struct background;

struct point {
    int32_t kind;  // kind_point
    double x, y, z;
    double bitmap_x, bitmap_y;
    double brightness;
    uint8_t red, green, blue;
    int8_t normal_x, normal_y, normal_z;  // vertex normal times 127; all 0 = none
    point* next;
};

struct polygon {
    int32_t kind;  // kind_polygon
    char* name;
    group* owner_group;
    polygon* next;
    polygon* next_in_world_order;
    int32_t serial_id;
    int32_t ancestor_id;
    point* points;
    int32_t point_count;
    uint8_t disabled;
    uint8_t collisional;
    double plane[4];
    int32_t red, green, blue;
    uint16_t colour_pixel;
    int32_t average_brightness;
    int32_t minimum_brightness;
    double light_diminution;
    double fade_distance;
    char* bitmap_name;
    int32_t transparent_index;
    int32_t rotated;
    uint8_t bitmap_is_animation;
    animation* anim;
    uint8_t animation_running;
    uint32_t animation_last_tick;
    int32_t animation_frame;
    int32_t bitmap_rotation;
    uint8_t bitmap_mirrored;
    bitmap_texture* texture;
    int32_t drawer_index;
    double box[6];  // minimum x, y, z, then maximum x, y, z
    double centre[3];
    dynamic_object* owner;
    int32_t orientation;
    uint8_t release_save;
    polygon* family_head;
    polygon* family_next;
    int32_t family_stamp;
    uint8_t blending;
    uint8_t blending_on;
    uint8_t patch_kind;
    polygon* next_patch;
    polygon* previous_patch;
    uint8_t fast_pool;
    uint8_t linear_bitmap_cords;
    int32_t ambient, diffuse, specular;
    uint8_t specular_shining;
    double normal_count;
};

struct group {
    int32_t kind;  // kind_group
    char* name;
    group* father;
    group* next;
};

struct bsp_node {
    int32_t kind;  // kind_internal
    double plane[4];
    polygon* polygons;
    bsp_node* front;
    bsp_node* back;
};

struct module {
    int32_t kind;  // kind_internal
    char* name;
    bsp_node* root;
    polygon* polygons;
    module* next;
};

struct object {
    int32_t kind;  // kind_internal
    char* name;
    module* source;
    double transform[4][4];
    object* next;
};

struct dynamic_object {
    int32_t kind;  // kind_dynamic_object
    char* name;
    polygon* polygons;
    double transform[4][4];  // axes in rows 0-2, location in row 3
    dynamic_object* father;
    dynamic_object* next;
};

struct light {
    int32_t kind;  // kind_light
    char* name;
    double location[3];
    light* next;
};

struct jtrack {
    int32_t kind;  // kind_track
    char* name;
    double* points;  // x, y, z triples
    int32_t point_count;
    jtrack* next;
};

struct animation {
    int32_t kind;  // kind_animation
    char* name;
    animation* next;
};

struct frame3d {
    int32_t kind;  // kind_frame3d
    char* name;
    frame3d* next;
};

struct seq3d {
    int32_t kind;  // kind_seq3d
    char* name;
    seq3d* next;
};

struct anim3d {
    int32_t kind;  // kind_anim3d
    char* name;
    frame3d* frames;
    seq3d* sequences;
    anim3d* next;
};

struct camera {
    int32_t kind;  // kind_camera
    char* name;
    double location[3];
    double transform[4][4];
    double zoom;
    camera* next;
};

struct bitmap_texture {
    int32_t kind;  // kind_bitmap
    char* name;
    int32_t transparent_index;
    bitmap_texture* next;
};

struct background {
    int32_t kind;  // kind_background
    char* name;
    background* next;
};
