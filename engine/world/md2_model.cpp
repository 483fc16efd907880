// MD2 models kept whole in memory: the header checked against the file, and the corners of the
// triangles in a frame read from it.
#include "world/md2_model.h"

#include <cstring>

#include "foundation/errors.h"
#include "foundation/le_bytes.h"
#include "platform/numbers.h"

namespace {

constexpr int32_t md2_version = 8;
constexpr int frame_head_size = 40;  // scale[3], translate[3], name[16]
constexpr int vertex_size = 4;
constexpr int cord_size = 4;
constexpr int triangle_size = 12;
constexpr int skin_size = 64;
constexpr int gl_command_size = 4;

// Header fields by offset.
enum : int {
    at_skin_width = 8, at_skin_height = 12, at_frame_size = 16, at_skin_count = 20, at_vertex_count = 24,
    at_cord_count = 28, at_triangle_count = 32, at_gl_count = 36, at_frame_count = 40, at_skins_offset = 44,
    at_cords_offset = 48, at_triangles_offset = 52, at_frames_offset = 56, at_gl_offset = 60, at_end_offset = 64
};

float le_f32(const uint8_t* p) {
    const uint32_t bits = le_u32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

int16_t le_i16(const uint8_t* p) { return static_cast<int16_t>(le_u16(p)); }

bool inside(size_t size, int32_t offset, int32_t count, int64_t record_size) {
    return static_cast<int64_t>(offset) + static_cast<int64_t>(count) * record_size <= static_cast<int64_t>(size);
}

const uint8_t* triangle_at(const anim3d* a, int t) {
    return a->model + a->layout.triangles_offset + static_cast<size_t>(t) * triangle_size;
}

const uint8_t* frame_at(const anim3d* a, int f) {
    return a->model + a->layout.frames_offset + static_cast<size_t>(f) * static_cast<size_t>(a->layout.frame_size);
}

bool check_triangles(const uint8_t* data, const md2_layout& l, std::string& reason) {
    for (int t = 0; t < l.triangle_count; ++t) {
        const uint8_t* tri = data + l.triangles_offset + static_cast<size_t>(t) * triangle_size;
        for (int c = 0; c < 3; ++c) {
            const int vertex = le_i16(tri + 2 * c);
            const int cord = le_i16(tri + 6 + 2 * c);
            if (vertex < 0 || vertex >= l.vertex_count) {
                reason = md2_texts::vertex_index;
                return false;
            }
            if (cord < 0 || cord >= l.cord_count) {
                reason = md2_texts::cord_index;
                return false;
            }
        }
    }
    return true;
}

}  // namespace

int md2_validate(const uint8_t* data, size_t size, md2_layout& layout, std::string& reason) {
    if (!data || size < md2_header_size) {
        reason = md2_texts::short_header;
        return -1;
    }
    if (std::memcmp(data, "IDP2", 4) != 0) {
        reason = md2_texts::magic;
        return -1;
    }
    if (le_i32(data + 4) != md2_version) {
        reason = plat_format(md2_texts::version, le_i32(data + 4));
        return -1;
    }
    int32_t field[md2_header_size / 4];
    for (int i = 0; i < md2_header_size / 4; ++i) field[i] = le_i32(data + 4 * i);
    const auto at = [&](int offset) { return field[offset / 4]; };
    for (int offset = at_frame_size; offset < md2_header_size; offset += 4) {
        if (at(offset) < 0) {
            reason = md2_texts::negative;
            return -1;
        }
    }
    if (!inside(size, at(at_skins_offset), at(at_skin_count), skin_size) ||
        !inside(size, at(at_cords_offset), at(at_cord_count), cord_size) ||
        !inside(size, at(at_triangles_offset), at(at_triangle_count), triangle_size) ||
        !inside(size, at(at_frames_offset), at(at_frame_count), at(at_frame_size)) ||
        !inside(size, at(at_gl_offset), at(at_gl_count), gl_command_size) || !inside(size, at(at_end_offset), 0, 0)) {
        reason = md2_texts::outside;
        return -1;
    }
    if (at(at_frame_size) < frame_head_size + static_cast<int64_t>(vertex_size) * at(at_vertex_count)) {
        reason = md2_texts::frame_size;
        return -1;
    }
    if (at(at_frame_count) < 1) {
        reason = md2_texts::no_frames;
        return -1;
    }
    md2_layout l;
    // A skin side of 0 would divide by zero: it counts as 1.
    l.skin_width = at(at_skin_width) != 0 ? at(at_skin_width) : 1;
    l.skin_height = at(at_skin_height) != 0 ? at(at_skin_height) : 1;
    l.frame_size = at(at_frame_size);
    l.vertex_count = at(at_vertex_count);
    l.cord_count = at(at_cord_count);
    l.triangle_count = at(at_triangle_count);
    l.frame_count = at(at_frame_count);
    l.cords_offset = at(at_cords_offset);
    l.triangles_offset = at(at_triangles_offset);
    l.frames_offset = at(at_frames_offset);
    if (!check_triangles(data, l, reason)) return -1;
    layout = l;
    return 0;
}

std::string md2_frame_name(const anim3d* a, int frame) {
    if (!a || frame < 0 || frame >= a->layout.frame_count) return {};
    const char* name = reinterpret_cast<const char*>(frame_at(a, frame) + 24);
    return std::string(name, strnlen(name, md2_frame_name_size));
}

int md2_get_corner(const anim3d* a, int frame, int triangle, int corner, double position[3], double cords[2]) {
    if (!a || !a->model || frame < 0 || frame >= a->layout.frame_count || triangle < 0 ||
        triangle >= a->layout.triangle_count || corner < 0 || corner > 2)
        return -1;
    const uint8_t* tri = triangle_at(a, triangle);
    const int vertex = le_i16(tri + 2 * corner);
    const int cord = le_i16(tri + 6 + 2 * corner);
    const uint8_t* f = frame_at(a, frame);
    const uint8_t* v = f + frame_head_size + static_cast<size_t>(vertex) * vertex_size;
    for (int k = 0; k < 3; ++k) {
        const double value = v[k] * static_cast<double>(le_f32(f + 4 * k)) + le_f32(f + 12 + 4 * k);
        position[k] = k < 2 ? -value : value;
    }
    const uint8_t* st = a->model + a->layout.cords_offset + static_cast<size_t>(cord) * cord_size;
    cords[0] = static_cast<double>(le_i16(st)) / a->layout.skin_width;
    cords[1] = static_cast<double>(le_i16(st + 2)) / a->layout.skin_height;
    return 0;
}

void md2_get_bounding_box(const anim3d* a, int frame, double box[6]) {
    box[0] = box[1] = box[2] = 1e100;
    box[3] = box[4] = box[5] = -1e100;
    const int triangles = a ? a->layout.triangle_count : 0;
    for (int t = 0; t < triangles; ++t) {
        for (int c = 0; c < 3; ++c) {
            double p[3], cords[2];
            if (md2_get_corner(a, frame, t, c, p, cords) != 0) {
                report_error(1, md2_texts::box_point);
                continue;
            }
            for (int k = 0; k < 3; ++k) {
                if (p[k] < box[k]) box[k] = p[k];
                if (p[k] > box[k + 3]) box[k + 3] = p[k];
            }
        }
    }
}
