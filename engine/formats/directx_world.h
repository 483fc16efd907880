// DirectX .x text worlds: one mesh read into a module of its own, a group written as one mesh.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "foundation/geometry.h"
#include "world/records.h"

struct x_vertex {
    double x, y, z;
    double bm_x, bm_y;
};

inline constexpr int x_no_material = -1;

struct x_face {
    std::vector<int> indices;
    int material;  // x_no_material: the mesh has no material list
};

struct x_material {
    double red, green, blue, alpha;  // 0..1
    double power;
    std::string texture;  // empty: colour only
};

struct x_mesh {
    std::vector<x_vertex> vertices;
    std::vector<x_face> faces;
    std::vector<x_material> materials;
};

int& directx_world_report_errors();

// The "x" reader of the format table: a "MAIN" module holding one static object that places a
// module named after the file, which receives the mesh's polygons: 0 / -1.
int engine_read_world_design_directx_format(const char* directory, const char* file_name, const char* path,
                                            group** top_group);
// Parses the file into the mesh: 0 / -1 (reported, with a dump of the text at the failure).
int engine_load_x_file(const char* path, x_mesh& mesh);
// The same over a text in memory; `name` only names it in the reports.
int engine_parse_x_text(const char* text, size_t size, const char* name, x_mesh& mesh);
// Makes one polygon per face, pushed on the list, and empties the mesh: 0 / -1.
int engine_convert_x_world_to_polygons(x_mesh& mesh, polygon** list);

// The "x" writer of the format table: the mesh file, then the bitmaps the save flags ask for.
int engine_save_directx_world(const char* path, group* g, int flags);
// Writes the group (NULL: the whole world) as one mesh with one material per polygon: 0 / -1.
int engine_save_directX_format(const char* path, group* g);
// The centre of the group's box and the scale that brings it within -8..8: 0, or -1 for a box of
// no extent (the scale is then 1).
int directx_check_world(const group* g, vec3& centre, double& scale);

namespace directx_texts {
inline constexpr const char* module_failed = "engine_read_world_design_directx_format: init_module failed 2\n";
inline constexpr const char* node_failed = "engine_read_world_design_directx_format: faild init bsp_node\n";
inline constexpr const char* object_failed = "read_an_object: init_object failed\n";
inline constexpr const char* no_mesh = "x_read_mesh_points: cant find: \"Mesh {\"";
inline constexpr const char* no_point_count = "x_read_mesh_points: cant read number of points\n";
inline constexpr const char* no_point = "x_read_mesh_points: cant read point\n";
inline constexpr const char* no_face_count = "x_read_mesh_faces: cant read number of faces\n";
inline constexpr const char* no_face_points = "x_read_mesh_faces: cant read number points\n";
inline constexpr const char* face_number = "\t\t face number %d\n";
inline constexpr const char* no_face_point = "x_read_mesh_faces: cant read a point\n";
inline constexpr const char* point_number = "\t\t point number %d\n";
inline constexpr const char* bad_face_points = "x_read_mesh_faces: a face must have 3 to 100 points\n";
inline constexpr const char* bad_face_index = "x_read_mesh_faces: point index out of range\n";
inline constexpr const char* no_material_count = "x_read_material_list: cant read number of materials\n";
inline constexpr const char* no_list_face_count = "x_read_material_list: cant read number of faces\n";
inline constexpr const char* list_face_count = "x_read_material_list: number of faces differs from the mesh\n";
inline constexpr const char* no_material_index = "x_read_mesh_faces: cant read a material index\n";
inline constexpr const char* bad_material_index = "x_read_material_list: material index out of range\n";
inline constexpr const char* no_material = "x_read_material_definations: cant find a material\n";
inline constexpr const char* no_texture = "x_read_material_definations: cant read texture 2\n";
inline constexpr const char* long_texture = "x_read_material_definations: texture name too long\n";
inline constexpr const char* no_cords = "x_read_texture_cords: cant read texture cords\n";
inline constexpr const char* too_many_cords = "x_read_texture_cords: more cords than points\n";
inline constexpr const char* mesh_failed = "engine_load_x_file: read_mesh failed";
inline constexpr const char* list_failed = "engine_load_x_file: read_material_list failed";
inline constexpr const char* cords_failed = "engine_load_x_file: read_texture_cords failed";
inline constexpr const char* cant_load = "engine_load_x_file: cant load file ";
inline constexpr const char* file_line = "( file_name==%s )\n";
inline constexpr const char* dump = "Error Dump:\n-----------\n%s\n";
inline constexpr const char* binary_file = "engine_load_x_file: %s is a binary .x file; only text .x files are read\n";
inline constexpr const char* compressed_file =
    "engine_load_x_file: %s is a compressed .x file; only text .x files are read\n";
inline constexpr const char* meshes_left_out = "engine_load_x_file: %s holds %d meshes; only the first was read\n";
inline constexpr const char* init_poly_failed = "engine_convert_x_world_to_polygons: init_poly failed\n";
inline constexpr const char* bad_cords = "engine_convert_x_world_to_polygons: bad bitmaps cord OR bad light cords\n";
inline constexpr const char* add_failed = "engine_convert_x_world_to_polygons: failed to add polygon\n";
inline constexpr const char* open_failed = "engine_save_directX_format: coudnt open file %s\n";
inline constexpr const char* bad_world = "engine_save_directX_format: bad world or internal error !\n";
inline constexpr const char* strange_world = "engine_save_directX_format: a very strange world\n";
}  // namespace directx_texts
