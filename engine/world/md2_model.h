// MD2 models kept whole in memory: the header checked against the file, and the corners of the
// triangles in a frame read from it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "world/records.h"

inline constexpr int md2_header_size = 68;
inline constexpr int md2_frame_name_size = 16;

// Checks every count, offset and index of the model against its size; 0 with the layout filled,
// or -1 with the reason (a text after "anim3d_load_md2_file: ").
int md2_validate(const uint8_t* data, size_t size, md2_layout& layout, std::string& reason);
// The frame's name: at most 16 bytes, up to the first NUL.
std::string md2_frame_name(const anim3d* a, int frame);
// Corner c (0..2) of triangle t in frame f: position (x and y negated) and bitmap cords; -1 for
// an index out of range.
int md2_get_corner(const anim3d* a, int frame, int triangle, int corner, double position[3], double cords[2]);
// The box over the corners of every triangle in the frame (+1e100 / -1e100 when there are none).
void md2_get_bounding_box(const anim3d* a, int frame, double box[6]);

namespace md2_texts {
inline constexpr const char* short_header = "the file is shorter than the 68-byte MD2 header\n";
inline constexpr const char* magic = "the file does not start with \"IDP2\"\n";
inline constexpr const char* version = "the MD2 version is %d, not 8\n";
inline constexpr const char* negative = "a negative count or offset in the header\n";
inline constexpr const char* outside = "a section lies outside the file\n";
inline constexpr const char* frame_size = "the frame size is too small for the vertex count\n";
inline constexpr const char* no_frames = "the model has no frames\n";
inline constexpr const char* vertex_index = "a triangle's vertex index is out of range\n";
inline constexpr const char* cord_index = "a triangle's texture index is out of range\n";
inline constexpr const char* box_point = "md2_get_bounding_box: failed getting a point\n";
}  // namespace md2_texts
