// The binary world file (".drovik") as plain records: a validating parser and a serializer.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Layout constants of the file.
namespace bf_layout {
inline constexpr int header_size = 196;
inline constexpr uint16_t major_version = 4;
inline constexpr uint16_t minor_version = 5;
inline constexpr int settings_size = 92;
inline constexpr int bsp_node_size = 28;
inline constexpr int camera_size = 164;
inline constexpr int track_size = 16;
inline constexpr int group_size = 12;
inline constexpr int dynamic_object_size = 188;
inline constexpr int animation_size = 32;
inline constexpr int light_size = 76;
inline constexpr int background_size = 28;
inline constexpr int point_size = 20;
inline constexpr int cord_size = 8;
inline constexpr int frame_entry_size = 12;
inline constexpr int frame_list_count = 5;  // BACK, BACK_SIDED, SIDE, FRONT_SIDED, FRONT
inline constexpr int max_polygon_points = 65535;

// Polygon presence bits: which optional parts follow the kind word.
inline constexpr uint32_t has_next = 0x1;
inline constexpr uint32_t has_colour = 0x2;
inline constexpr uint32_t has_group = 0x4;
inline constexpr uint32_t has_diminution = 0x8;
inline constexpr uint32_t has_animation = 0x10;
inline constexpr uint32_t has_blending = 0x20;
inline constexpr uint32_t has_patch_kind = 0x40;
inline constexpr uint32_t has_next_patch = 0x80;
inline constexpr uint32_t has_previous_patch = 0x100;
inline constexpr uint32_t has_family_head = 0x200;  // also the centre
inline constexpr uint32_t has_family_next = 0x400;
inline constexpr uint32_t has_ambient = 0x800;
inline constexpr uint32_t has_diffuse = 0x1000;
inline constexpr uint32_t has_specular = 0x2000;
inline constexpr uint32_t has_shining = 0x4000;
inline constexpr uint32_t has_bitmap_name = 0x8000;
inline constexpr uint32_t has_name = 0x10000;
inline constexpr uint32_t known_presence_bits = 0x1FFFF;

// Polygon kind word bits.
inline constexpr uint32_t kind_orientation = 0xF;
inline constexpr uint32_t kind_rotated = 0x10;
inline constexpr uint32_t kind_collisional = 0x20;
inline constexpr uint32_t kind_disabled = 0x40;
inline constexpr uint32_t kind_has_transparent = 0x80;
inline constexpr uint32_t kind_transparent_zero = 0x100;
inline constexpr uint32_t kind_three_points = 0x200;
inline constexpr uint32_t kind_four_points = 0x400;
inline constexpr uint32_t kind_many_points = 0x800;
inline constexpr uint32_t kind_point_count_bits = 0xE00;

// Defaults of the optional polygon parts.
inline constexpr float default_diminution = 0.0096f;
inline constexpr uint8_t default_ambient = 86;
inline constexpr uint8_t default_diffuse = 85;
inline constexpr uint8_t default_specular = 85;
inline constexpr uint8_t default_shining = 1;

// Light target kinds.
inline constexpr int32_t target_none = 0;
inline constexpr int32_t target_object = 1002;
inline constexpr int32_t target_group = 1003;
inline constexpr int32_t target_polygon = 1008;

// Bytes an index into a set of `count` entries takes.
constexpr int index_width(size_t count) { return count < 256 ? 1 : count < 65536 ? 2 : 4; }
}  // namespace bf_layout

// A string reference: absent (offset 0) or a text.
using bf_string = std::optional<std::string>;

struct bf_point {
    float x, y, z;
    uint8_t red, green, blue;
    int8_t normal_x, normal_y, normal_z;
    bool operator==(const bf_point&) const = default;
};

struct bf_cord {
    float x, y;
    bool operator==(const bf_cord&) const = default;
};

struct bf_group {
    uint32_t name;    // group name table, 1-based, 0 none
    uint32_t father;  // group index, 1-based, 0 none
    uint8_t object_parameters;
    bool operator==(const bf_group&) const = default;
};

// A polygon record; absent optional parts hold their defaults. Polygon and group indices are
// 1-based (0 none); point and cord indices 0-based.
struct bf_polygon {
    uint32_t presence = 0;
    uint32_t kind_word = 0;
    uint32_t next = 0;
    uint8_t red = 0, green = 0, blue = 0;
    uint32_t bitmap_name = 0;
    uint32_t name = 0;
    uint32_t group = 0;
    float light_diminution = bf_layout::default_diminution;
    int32_t transparent_index = -1;  // follows the kind word's transparency bits
    uint32_t animation = 0;
    uint8_t blending = 0;
    uint8_t patch_kind = 0;
    uint32_t next_patch = 0, previous_patch = 0, family_head = 0, family_next = 0;
    uint8_t ambient = bf_layout::default_ambient;
    uint8_t diffuse = bf_layout::default_diffuse;
    uint8_t specular = bf_layout::default_specular;
    uint8_t specular_shining = bf_layout::default_shining;
    float centre[3] = {0, 0, 0};
    std::vector<uint32_t> points;
    std::vector<uint32_t> cords;
    bool operator==(const bf_polygon&) const = default;
};

struct bf_bsp_node {
    float plane[4];
    uint32_t first_polygon;  // polygon index, 0 none
    uint32_t right, left;    // node numbers from 1, 0 none
    bool operator==(const bf_bsp_node&) const = default;
};

// The track and chase fields cameras and dynamic objects both carry (each record keeps them in its
// own order in the file).
struct bf_track_part {
    bf_string name;
    float offset[3];
    bool operator==(const bf_track_part&) const = default;
};

struct bf_chase_part {
    bf_string name;
    float offset[3];
    bf_string type;
    float softness, distance;
    bool operator==(const bf_chase_part&) const = default;
};

struct bf_camera {
    bf_string name;
    uint16_t width, height;
    float field_of_view;
    uint8_t culling_depth_flag;
    float culling_depth;
    float location[3];
    float eye_distance;
    float x_axis[3], y_axis[3], z_axis[3];
    bf_track_part track;
    bf_chase_part chase;
    float speed[3], force[3], rotation[3];
    uint8_t rotation_space;
    float elasticity, friction;
    bool operator==(const bf_camera&) const = default;
};

struct bf_track {
    int32_t cyclic;
    bf_string name;
    std::vector<float> points;  // x, y, z triples
    bool operator==(const bf_track&) const = default;
};

struct bf_dynamic_object {
    bf_string name, father_name;
    int32_t control;
    bf_track_part track;
    bf_chase_part chase;
    float speed[3], force[3], rotation[3];
    float friction, elasticity, max_speed;
    uint8_t rotation_space;
    float reference[3];
    float rotation_rows[9];
    float location[3];
    float scale[3];
    std::vector<uint32_t> polygons;  // polygon indices, 1-based
    bool operator==(const bf_dynamic_object&) const = default;
};

struct bf_frame {
    uint8_t has_transparent;
    uint8_t transparent_index;
    bf_string bitmap_name;
    uint8_t flag;
    bool operator==(const bf_frame&) const = default;
};

struct bf_animation {
    bf_string name;
    std::vector<int32_t> durations;  // hundredths of a second
    // Each present list has one entry per duration.
    std::array<std::optional<std::vector<bf_frame>>, bf_layout::frame_list_count> lists;
    bool operator==(const bf_animation&) const = default;
};

struct bf_background {
    bf_string name, bitmap_name;
    uint16_t type;
    float distance, bottom_height, bottom_intensity, intensity_step;
    bool operator==(const bf_background&) const = default;
};

struct bf_light {
    bf_string name;
    int32_t target_index;
    int32_t target_kind;
    float location[3];
    int32_t type_flags;
    float direction[3];
    uint8_t red, green, blue;
    float distance_reach;
    int32_t activate_before_render;
    int32_t mode;
    int32_t ray_tracing;
    float ambient, diffuse, specular, specular_shining;
    bool operator==(const bf_light&) const = default;
};

struct bf_settings {
    uint8_t rendering_mode, wire_frame, reserved_byte, zbuffer;
    float atmospheric_intensity;
    int32_t brightness;  // negated, as the engine keeps it
    int32_t far_colour_accuracy;
    uint8_t atmosphere[3], atmosphere_copy[3];
    uint16_t default_pixel;
    uint8_t default_colour[3];
    uint16_t second_default_pixel;
    float reserved_direction[3];
    float reserved_pair[2];
    float rotation_reference[3];
    int32_t render_group;  // group index, 0 none
    uint8_t advance_objects, advance_cameras;
    float perspective_accuracy;
    uint8_t speed_units, camera_mover, animation_timing;
    int32_t max_render_time, min_render_time;
    bool operator==(const bf_settings&) const = default;
};

// A whole binary world file.
struct bf_world {
    int32_t top_group = 0;  // among `groups`, from 0
    std::vector<bf_point> points;
    std::vector<bf_cord> cords;
    std::vector<std::string> bitmap_names, group_names, polygon_names;
    std::vector<bf_group> groups;
    std::vector<bf_polygon> polygons;
    std::vector<bf_bsp_node> bsp_nodes;  // pre-order, right subtree before left
    // Sections left out of the file (record size 0) hold no records.
    bool cameras_saved = true, tracks_saved = true, backgrounds_saved = true, lights_saved = true;
    std::vector<bf_camera> cameras;
    std::vector<bf_track> tracks;
    std::vector<bf_dynamic_object> dynamic_objects;
    std::vector<bf_animation> animations;
    std::vector<bf_background> backgrounds;
    std::vector<bf_light> lights;
    std::optional<bf_settings> settings;
    bool operator==(const bf_world&) const = default;
};

// The links of a world's polygons side by side (1-based, 0 none) with their point counts: what the
// checks and the engine's build need of every polygon at once.
struct bf_polygon_links {
    std::vector<uint32_t> next, next_patch, previous_patch, family_next;
    std::vector<uint8_t> patch_kind;
    std::vector<uint32_t> point_count;
    size_t size() const { return next.size(); }
};

// Bytes each index of a polygon record takes.
struct bf_index_widths {
    int polygon, group, animation, bitmap_name, name, point, cord;
};

// Polygon records between two marks of a parsed file.
inline constexpr size_t bf_polygon_mark_step = 4096;

// Where the polygon, point and cord records of a checked file lie in its bytes.
struct bf_sections {
    const uint8_t* data = nullptr;
    size_t polygons_at = 0, polygon_bytes = 0, polygon_count = 0;
    // Where record k * bf_polygon_mark_step starts, from the section's start: a mark lets a
    // thread read its own share of the records.
    std::vector<size_t> polygon_marks;
    size_t points_at = 0, point_count = 0;
    size_t cords_at = 0, cord_count = 0;
    bf_index_widths widths{};
};

// A checked file, for building the engine's world straight from its bytes: every other section in
// `world` (its polygons, points and cords left empty), the polygons' links, and where their records
// lie. The bytes must outlive it.
struct bf_file {
    bf_world world;
    bf_polygon_links links;
    bf_sections sections;
};

// The module's report-errors flag.
int& bfl_report_errors();

// Parses and validates a whole file held in memory; nothing is kept from a bad file: 0, or -1
// with one report line.
int bfl_parse_world(const uint8_t* data, size_t size, bf_world& out);
// Checks every index, link and count of a world: "" when it is sound, else the report line.
std::string bfl_check_world(const bf_world& world);
// The file bytes of a sound world: 0, or -1 with one report line.
int bfl_serialize_world(const bf_world& world, std::vector<uint8_t>& out);
// Serializes and writes through a temporary file beside the target; the old file stays whole
// on any failure: 0, or -1 with one report line.
int bfl_write_world_file(const char* path, const bf_world& world);
// Reads and parses a file: 0, or -1 with one report line.
int bfl_read_world_file(const char* path, bf_world& out);
// Parses and validates a whole file held in memory as bfl_parse_world does, with the same report
// for a bad file, leaving the polygon, point and cord records in place: 0, or -1 with one report
// line (nothing kept).
int bfl_parse_file(const uint8_t* data, size_t size, bf_file& out);
// The polygon record at byte `at` of the polygon section of a parsed file; `at` moves past it.
void bfl_file_polygon(const bf_sections& file, size_t& at, bf_polygon& out);
// The point and cord records of a parsed file, at an index its polygons name (so one the parse checked).
bf_point bfl_file_point(const bf_sections& file, uint32_t index);
bf_cord bfl_file_cord(const bf_sections& file, uint32_t index);
// The links of a world's polygons.
bf_polygon_links bfl_links_of(const bf_world& world);

// Texts of the reports.
namespace bf_texts {
inline constexpr const char* not_found = "bfl_read_world: couldnt find world %s\n";
inline constexpr const char* not_drovik = "bfl_read_world: This is not a Drovik file\n";
inline constexpr const char* short_header = "bfl_read_world: the file is shorter than its header\n";
inline constexpr const char* bad_version =
    "bfl_read_world: file version is %d,%d but this program can only open version 4,5\n";
inline constexpr const char* bad_top_group = "bfl_read_world: invalid top_group index\n";
inline constexpr const char* bad_record_size =
    "bfl_read_world: the %s section has records of %d bytes\n";
inline constexpr const char* section_outside = "bfl_read_world: the %s section lies outside the file\n";
inline constexpr const char* string_outside =
    "bfl_read_world: a string of the %s section lies outside the file\n";
inline constexpr const char* data_outside = "bfl_read_world: data of the %s section lies outside the file\n";
inline constexpr const char* short_name_table =
    "bfl_read_world: the %s table holds fewer names than its count\n";
inline constexpr const char* polygon_overrun = "bfl_read_world: polygon %d runs past the polygon section\n";
inline constexpr const char* unknown_parts = "bfl_read_world: polygon %d has unknown parts\n";
inline constexpr const char* bad_point_count = "bfl_read_world: polygon %d has %d points\n";
inline constexpr const char* bad_index = "bfl_read_world: an index of the %s section is out of range\n";
inline constexpr const char* cyclic_links = "bfl_read_world: the %s section has cyclic links\n";
inline constexpr const char* shared_links = "bfl_read_world: the %s section has shared links\n";
// These two lines carry no line end of their own.
inline constexpr const char* point_index = "bfl_get_polygon_point: poly_point_index out of range";
inline constexpr const char* cord_index = "bfl_get_polygon_texture_coord: poly_point_index out of range";
inline constexpr const char* list_twice = "read_a_bf_frame_list: The same list is used twice !!!\n";
inline constexpr const char* bad_transparency =
    "bfl_read_world: polygon %d has a transparent index its kind word cannot hold\n";
inline constexpr const char* bad_frame_list =
    "bfl_read_world: an animation frame list does not match its frame count\n";
inline constexpr const char* left_out_not_empty =
    "engine_save_drovik_binary_format: a section left out holds records\n";
inline constexpr const char* string_with_nul =
    "engine_save_drovik_binary_format: a name holds a NUL character\n";
inline constexpr const char* too_big = "engine_save_drovik_binary_format: the world is too big for the file format\n";
inline constexpr const char* internal_error = "engine_save_drovik_binary_format: internal error in the %s section\n";
inline constexpr const char* no_memory = "engine_save_drovik_binary_format: failed to allocat memory for %s\n";
inline constexpr const char* polygon_mismatch = "bf_write_a_polygon: Internal error1\n";
inline constexpr const char* heap_overrun =
    "bf_copy_string_to_heap: internal error, calculated memory wasn't enough !\n";
// A size mismatch in these three sections has a line of its own.
inline constexpr const char* point_section_failed = "engine_save_drovik_binary_format: point section failed\n";
inline constexpr const char* cord_section_failed =
    "engine_save_drovik_binary_format: texture coords section failed\n";
inline constexpr const char* polygon_section_failed = "engine_save_drovik_binary_format: polygon section failed\n";
inline constexpr const char* write_failed = "engine_save_drovik_binary_format: failed writing %s\n";
}  // namespace bf_texts
