// The engine's entity records: each starts with its 32-bit kind word, the word a handle check reads.
#pragma once
#include <cstdint>

#include "drovik.h"
#include "foundation/geometry.h"

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
struct frame_item;
struct anim3d;
struct frame3d;
struct seq3d;
struct camera;
struct bitmap_texture;
struct background;

// A colour as bytes, red first (palettes are arrays of these).
struct rgb8 {
    uint8_t r, g, b;
};

struct point {
    int32_t kind;  // kind_point
    double x, y, z;
    double bitmap_x, bitmap_y;
    double brightness;
    uint8_t red, green, blue;
    int8_t normal_x, normal_y, normal_z;  // vertex normal times 127; all 0 = none
    uint8_t in_block;                     // 1: allocated with its polygon, freed with it
    point* next;
};

// Fields run from the widest to the narrowest, so the record carries no padding.
struct polygon {
    int32_t kind;  // kind_polygon
    int32_t serial_id;
    char* name;
    group* owner_group;
    polygon* next;
    polygon* next_in_world_order;
    point* points;
    double plane[4];
    double light_diminution;
    double fade_distance;
    char* bitmap_name;
    animation* anim;
    bitmap_texture* texture;
    double box[6];  // minimum x, y, z, then maximum x, y, z
    double centre[3];
    dynamic_object* owner;
    polygon* family_head;
    polygon* family_next;
    polygon* next_patch;
    polygon* previous_patch;
    int32_t ancestor_id;
    int32_t point_count;
    int32_t red, green, blue;
    int32_t average_brightness;
    int32_t minimum_brightness;
    uint32_t animation_last_tick;
    int32_t animation_frame;
    int32_t bitmap_rotation;
    int32_t orientation;
    int32_t family_stamp;
    int32_t ambient, diffuse, specular;
    uint16_t colour_pixel;
    int16_t transparent_index;  // -1 none, else 0..255
    uint8_t rotated;
    uint8_t drawer_index;
    uint8_t disabled;
    uint8_t collisional;
    uint8_t bitmap_is_animation;
    uint8_t animation_running;
    uint8_t bitmap_mirrored;
    uint8_t release_save;
    uint8_t blending;
    uint8_t blending_on;
    uint8_t patch_kind;
    uint8_t fast_pool;
    uint8_t linear_bitmap_cords;
    uint8_t specular_shining;
    uint8_t block_points;  // point slots allocated with the record, after it
    uint8_t block_used;    // slots handed out so far (a freed slot is not used again)
};

// The track a camera or dynamic object runs along. A group keeps the name and offset for the
// object it stands for; the rest stays unused there.
struct track_part {
    char* name;
    jtrack* line;      // the track of that name, once connected
    double offset[3];  // added to every point of the track
    int32_t next_point;
    double target[3];  // the place on the track before a fall puts the mover down
};

// What a camera or dynamic object chases and how. A group keeps the settings for the object it
// stands for; the connected target and the type code stay unused there.
struct chase_part {
    char* name;
    double offset[3];
    char* type_string;  // the type keyword, with its "_FALL<height>" suffix
    double softness;
    camera* chased_camera;  // at most one target, found by the name
    dynamic_object* chased_object;
    group* chased_group;
    int32_t type;
    double distance;
};

struct group {
    int32_t kind;  // kind_group
    group* next;
    group* father;
    char* name;        // unique, registered in the name dictionary
    char* given_name;  // as given, spaces replaced by '_'
    double centre[3];
    int32_t box[6];  // minimum x, y, z then maximum x, y, z
    int32_t holds_object_parameters;
    mat4 axis_system;
    // Parameters of the dynamic object the group stands for, one for one with dynamic_object.
    char* object_type;
    track_part track;
    int32_t control;
    chase_part chase;
    int32_t fall_flag;
    double fall_height;
    int32_t fall_from_track;
    double speed[3];
    double absolute_speed;
    double force[3];
    double max_speed;
    double friction;
    double elasticity;
    double rotation[3];
    int32_t rotation_space;
    char* further_name;
    double lighting_signature[4];
    uint8_t name_registered;  // 1 while `name` is a word this group put in the name dictionary
};

struct bsp_node {
    int32_t kind;  // kind_internal
    double plane[4];
    polygon* polygons;
    object* objects;
    dynamic_object* dynamic_objects;         // objects whose location is in front or on the plane
    dynamic_object* dynamic_objects_behind;  // objects that stopped here for want of a back child
    bsp_node* parent;
    bsp_node* front;
    bsp_node* back;
    double box[6];
    double second_box[6];
    double visibility_distance;
    int32_t worth;
    int32_t number;
    uint8_t visible;  // seen in the frame being drawn
};

struct module {
    int32_t kind;  // kind_internal
    char* name;
    bsp_node* root;
    int32_t polygon_count;
    int32_t node_count;
    module* next;
    int32_t dynamic;  // 1 for a dynamic object's module or one nested in it
};

struct object {
    int32_t kind;  // kind_internal
    char* module_name;
    mat4 matrix;
    double vector_a[3], vector_b[3];  // the placed module's box, minimum and maximum corner
    module* placed;  // the module placed, once connected
    object* next;
    group* owner_group;
    dynamic_object* dynamic;
};

struct dynamic_object {
    int32_t kind;  // kind_dynamic_object
    char* name;
    char* type;
    char* module_name;
    dynamic_object* father;
    char* father_name;
    int32_t disabled;
    int32_t control;  // 1 PLAYER, 2 COMPUTER
    int32_t reserved;
    track_part track;
    mat4 total_matrix;  // scale x axis system: the placement
    mat4 axis_system;   // rows x, y, z axes and the location
    double scale[3];
    double rotation_centre[3];
    double box[6];
    module* own_module;
    dynamic_object* next_in_node;
    dynamic_object* next;
    dynamic_object* first_son;
    bsp_node* node;
    uint32_t last_tick;
    int32_t time_based;
    chase_part chase;
    int32_t fall_flag;
    double fall_height;
    int32_t fall_from_track;
    double speed[3];
    double absolute_speed;
    double absolute_force;
    double force[3];
    double friction;
    double elasticity;
    double max_speed;
    double rotation[3];
    int32_t rotation_space;  // 0 world space, 1 object space
    uint8_t chase_physics_collision;
    uint8_t collisional;
    double distance_counter;
    group* made_group;
    uint32_t event_time;
    int32_t event;  // 1 delete, 2 disable
    uint8_t delete_only_object;
    uint8_t no_automatic_advance;
    anim3d* animation3d;
    seq3d* sequence;
    seq3d* next_sequence;
    int32_t transition_time;
};

struct light {
    int32_t kind;  // kind_light
    char* name;
    double location[3];
    light* next;
    int32_t visit_flag;
    void* entity;         // the group, dynamic object or polygon lit; NULL with a group kind: the world
    int32_t entity_kind;  // kind_group, kind_dynamic_object or kind_polygon
    char* entity_name;
    int32_t type;  // 1 directional, 2 linear fall-off, 4 quadratic fall-off, 8 ambient, 0x10 diffuse, 0x20 specular
    double direction[3];
    uint8_t red, green, blue;
    double distance_reach;  // -1 unlimited
    uint8_t activate_before_render;
    int32_t mode;  // before each render: 0 reset and add, 1 add, 2 subtract
    int32_t ray_tracing;
    double ambient, diffuse, specular, specular_shining;
    camera* viewer;  // the specular term's viewer; NULL: the current camera
    uint8_t done;    // activated in the current frame
    uint8_t entity_deleted;  // the entity lit was deleted: the light lights nothing
    int32_t save;            // 1: written by a save of marked records only
    int32_t reserved[2];
};

struct jtrack {
    int32_t kind;  // kind_track
    char* name;
    double* points;  // x, y, z triples
    int32_t point_count;
    int32_t points_held;  // points allocated; the count never exceeds it
    int32_t cyclic;  // 1: after the last point the track goes on from the first
    jtrack* next;
    int32_t visit_flag;
    int32_t save;  // 1: written by a save of marked records only
};

// One bitmap of a texture animation's frame list.
struct frame_item {
    frame_item* next;
    int32_t transparent_index;
    bitmap_texture* bitmap;
    int32_t reserved;
    char* name;
    uint8_t placeholder;
};

struct animation {
    int32_t kind;  // kind_animation
    animation* next;
    int32_t frame_count;
    double speed_factor;
    frame_item* views[5];  // BACK, BACK_SIDED, SIDE, FRONT_SIDED, FRONT
    uint32_t* durations;   // hundredths of a second per frame
    double* exact_durations;
    char* name;
    int32_t reserved[2];
    int32_t visit_flag;
    int32_t save;                // the animation family's yes/no save flag
    uint8_t made_by_interface;  // created through the exports, not by a world load
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
    int32_t* frame_indexes;  // the model frame of each step
    int32_t* durations;      // milliseconds of each step
    int32_t total_duration;
    uint32_t start_tick;  // tick at which step 0 began; 0 = not started
    int32_t step_count;
    double speed;  // multiplies every duration
    uint8_t cyclic;
    uint8_t paused;     // the stored position is used
    uint8_t backwards;  // played from the end
    uint8_t transition;
    uint8_t model_sequence;  // made from the model's frame names
    uint8_t temporary;       // belongs to the object playing it; deleted when replaced
    double position;         // last position, in steps
    int32_t loop_count;      // times the end was passed since the last start
};

// The validated layout of an MD2 model: counts and the offsets of the sections used.
struct md2_layout {
    int32_t skin_width, skin_height;  // at least 1
    int32_t frame_size;
    int32_t vertex_count;
    int32_t cord_count;
    int32_t triangle_count;
    int32_t frame_count;
    int32_t cords_offset;
    int32_t triangles_offset;
    int32_t frames_offset;
};

struct anim3d {
    int32_t kind;  // kind_anim3d
    char* name;
    frame3d* frames;
    seq3d* sequences;
    anim3d* next;
    char* file_name;  // without folder and extension
    uint8_t* model;   // the whole MD2 file
    int32_t file_size;
    int64_t file_time;  // modification time when read
    int32_t frame_count;
    md2_layout layout;
    double centre[3];  // centre of frame 0's box, subtracted from every point
};

// Camera space: the camera looks along its negative x axis, y is screen right, z is up.
struct camera {
    int32_t kind;  // kind_camera
    plane frustum_world[5];   // near, left, right, top, bottom
    plane frustum_camera[5];
    int32_t own_culling_depth;
    double culling_depth;
    double focal_length;  // -width / (2 tan(fov / 2)); negative
    double distance_from_eye;
    mat4 inverse_matrix;  // world space to camera space
    mat4 matrix;          // rows x axis, y axis, z axis, location
    void* frame_destination;
    int32_t middle_y, middle_x;
    int32_t width, height;
    int32_t buffer_pitch;
    double field_of_view;
    double location[3];
    camera* next;
    char* name;
    int32_t matrices_valid;
    uint32_t last_tick;
    int32_t time_based;
    track_part track;
    chase_part chase;
    int32_t fall_flag;
    double fall_height;
    int32_t fall_pass_through;
    double speed[3];
    double absolute_speed;
    double force[3];
    double friction, elasticity, max_speed;
    // Physics extras kept for saving: rotation speeds and whether they apply in camera space.
    double rotation[3];
    uint8_t rotation_space;
    int32_t save;
    uint8_t read_from_file;
    uint8_t perspective;  // 1 perspective, 0 parallel
    int32_t parallel_width, parallel_height;
    double parallel_scale_x, parallel_scale_y;  // pixels per world unit
    int32_t visit_flag;                         // 1 for a camera new since the last clearing
};

// An 8-bit paletted image (type 7) or a 16-bit one (type 10) with its 32 shade tables.
struct jbm_info {
    char* name;          // upper-cased path without extension
    uint8_t* image;      // the file image: 8-byte header, then the pixels, rows top-down
    int32_t image_size;  // bytes in image
    uint16_t type;       // 7 paletted, 10 16-bit
    uint16_t width, height;
    uint16_t first_width, first_height;  // as first loaded; kept by resampling
    int32_t width_exponent, height_exponent;  // log2 of the sides, -1 when not a power of two
    int32_t transparent_index;                // -1 none; else its pixels are stored as 255
    int32_t file_palette;                     // 1 read from a file, 0 resampled (compacted palette)
    int32_t palette_count;
    uint16_t* shade_tables[32];  // table i: the palette at shade level i, one block for all 32
    int32_t normal_level;        // 8 paletted, -1 16-bit
    rgb8 average_colour;
    rgb8 transparent_colour;
    rgb8* palette;
    uint16_t average_by_level[32];
};

// One resampled image of a bitmap, largest first.
struct bitmap_level {
    jbm_info* image;
    bitmap_level* next;
};

struct bitmap_texture {
    int32_t kind;  // kind_bitmap
    jbm_info image;
    bitmap_texture* next;
    bitmap_level* levels;
    double aspect;  // width / height
    void* card_texture;
    bitmap_texture* card_copy;    // the copy made to fit the 3D card
    bitmap_texture* card_source;  // on a card copy: the bitmap it was made from
    int32_t file_stamp;           // modification time of the source file, -1 unknown
};

struct background {
    int32_t kind;  // kind_background
    char* name;
    background* next;
    int32_t created;  // 1 for a background made through background_create
    int32_t visit_flag;
    int32_t frame_count;
    int32_t replace_rate;
    frame_item* current_frame;
    frame_item* frames;
    int16_t type;  // 7 paletted panorama, 10 16-bit picture
    double distance;
    double bottom;            // world z of the panorama's bottom edge
    double bottom_intensity;  // percent
    double intensity_step;    // added per row upwards
    int32_t save;
    uint8_t to_be_saved;
};
