// The binary world file: a parser that checks every offset, index and link before anything is
// built, and a serializer that sizes every section before writing it.
#include "formats/binary_format.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/huge_pages.h"
#include "foundation/le_bytes.h"
#include "foundation/memory.h"
#include "platform/numbers.h"
#include "platform/safe_write.h"

using namespace bf_layout;

namespace {

// Thrown inside this file to abandon a parse or a serialization with its report line.
struct format_failure {
    std::string text;
};

[[noreturn]] void fail(std::string text) { throw format_failure{std::move(text)}; }

void report(const std::string& text) {
    if (bfl_report_errors()) report_error(1, text.c_str());
}

// Header field positions.
namespace at {
constexpr int major = 8, minor = 10;
constexpr int settings_count = 12, settings_size = 16, settings_offset = 20;
constexpr int polygon_bytes = 24, polygon_count = 28, polygon_offset = 32;
constexpr int bsp_size = 36, bsp_count = 40, bsp_offset = 44;
constexpr int camera_size = 48, camera_count = 52, camera_offset = 56;
constexpr int track_size = 60, track_count = 64, track_offset = 68;
constexpr int group_size = 72, group_count = 76, group_offset = 80;
constexpr int top_group = 84;
constexpr int group_names_bytes = 88, group_names_offset = 92, group_names_count = 96;
constexpr int dynamic_size = 100, dynamic_count = 104, dynamic_offset = 108;
constexpr int animation_size = 112, animation_count = 116, animation_offset = 120;
constexpr int light_size = 124, light_count = 128, light_offset = 132;
constexpr int background_size = 136, background_count = 140, background_offset = 144;
constexpr int point_size = 148, point_count = 152, point_offset = 156;
constexpr int cord_size = 160, cord_count = 164, cord_offset = 168;
constexpr int bitmap_names_bytes = 172, bitmap_names_count = 176, bitmap_names_offset = 180;
constexpr int polygon_names_bytes = 184, polygon_names_count = 188, polygon_names_offset = 192;
}  // namespace at

constexpr char magic[8] = {'D', 'r', 'o', 'v', 'i', 'k', 0, 0};

// ---------------------------------------------------------------- reading

// A bounds-checked little-endian cursor over a byte range.
class byte_reader {
public:
    byte_reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }
    const uint8_t* start() const { return data_; }
    size_t remaining() const { return size_ - pos_; }
    void seek(size_t position) {
        if (position > size_) ok_ = false;
        else pos_ = position;
    }
    void skip(size_t count) {
        if (take(count)) pos_ += count;
    }
    uint8_t u8() { return static_cast<uint8_t>(read<1>()); }
    uint16_t u16() { return static_cast<uint16_t>(read<2>()); }
    uint32_t u32() { return read<4>(); }
    int32_t i32() { return static_cast<int32_t>(read<4>()); }
    float f32() { return std::bit_cast<float>(read<4>()); }
    // An index of 1, 2 or 4 bytes.
    uint32_t index(int width) { return width == 1 ? read<1>() : width == 2 ? read<2>() : read<4>(); }
    void floats(float* out, int count) {
        for (int i = 0; i < count; ++i) out[i] = f32();
    }

private:
    bool take(size_t count) {
        if (!ok_ || count > size_ - pos_) ok_ = false;
        return ok_;
    }
    template <size_t count>
    uint32_t read() {
        if (!take(count)) return 0;
        uint32_t value = 0;
        for (size_t i = 0; i < count; ++i) value |= static_cast<uint32_t>(data_[pos_ + i]) << (8 * i);
        pos_ += count;
        return value;
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

struct file_view {
    const uint8_t* data;
    size_t size;

    int32_t header_i32(int offset) const {
        byte_reader r(data + offset, 4);
        return r.i32();
    }

    // Checks that `count` items of `item_size` bytes at `offset` lie inside the file.
    bool holds(int64_t offset, int64_t count, int64_t item_size) const {
        if (count < 0 || offset < 0) return false;
        if (count == 0) return true;
        return offset >= header_size &&
               static_cast<uint64_t>(offset) + static_cast<uint64_t>(count) * static_cast<uint64_t>(item_size) <=
                   size;
    }

    // A string reference; 0 is none.
    bf_string text(uint32_t offset, const char* section) const {
        if (offset == 0) return std::nullopt;
        if (offset < static_cast<uint32_t>(header_size) || offset >= size) fail(plat_format(bf_texts::string_outside, section));
        const void* end = std::memchr(data + offset, 0, size - offset);
        if (!end) fail(plat_format(bf_texts::string_outside, section));
        return std::string(reinterpret_cast<const char*>(data + offset),
                           static_cast<const uint8_t*>(end) - (data + offset));
    }

    // A reader over `count` items of `item_size` bytes at `offset` (checked).
    byte_reader block(uint32_t offset, int64_t count, int64_t item_size, const char* section) const {
        if (!holds(static_cast<int64_t>(offset), count, item_size)) fail(plat_format(bf_texts::data_outside, section));
        if (count == 0) return byte_reader(data, 0);
        return byte_reader(data + offset, static_cast<size_t>(count * item_size));
    }
};

// The records of a fixed-size section: checks the header's directory entry and returns a reader.
byte_reader records(const file_view& f, int size_at, int count_at, int offset_at, int expected, const char* section,
                    int32_t* count_out, bool* saved = nullptr) {
    const int32_t record_size = f.header_i32(size_at);
    const int32_t count = f.header_i32(count_at);
    const int32_t offset = f.header_i32(offset_at);
    if (count < 0) fail(plat_format(bf_texts::section_outside, section));
    if (record_size != expected && !(record_size == 0 && count == 0)) {
        fail(plat_format(bf_texts::bad_record_size, section, record_size));
    }
    if (!f.holds(offset, count, expected)) fail(plat_format(bf_texts::section_outside, section));
    if (saved) *saved = record_size != 0;
    *count_out = count;
    if (count == 0) return byte_reader(f.data, 0);
    return byte_reader(f.data + offset, static_cast<size_t>(count) * expected);
}

std::vector<std::string> name_table(const file_view& f, int bytes_at, int count_at, int offset_at,
                                    const char* section) {
    const int32_t bytes = f.header_i32(bytes_at);
    const int32_t count = f.header_i32(count_at);
    const int32_t offset = f.header_i32(offset_at);
    if (count < 0 || bytes < 0) fail(plat_format(bf_texts::section_outside, section));
    std::vector<std::string> names;
    if (count == 0) return names;
    if (!f.holds(offset, bytes, 1)) fail(plat_format(bf_texts::section_outside, section));
    if (count > bytes) fail(plat_format(bf_texts::short_name_table, section));
    names.reserve(static_cast<size_t>(count));
    const char* text = reinterpret_cast<const char*>(f.data + offset);
    size_t left = static_cast<size_t>(bytes);
    for (int32_t i = 0; i < count; ++i) {
        const void* end = std::memchr(text, 0, left);
        if (!end) fail(plat_format(bf_texts::short_name_table, section));
        const size_t length = static_cast<size_t>(static_cast<const char*>(end) - text);
        names.emplace_back(text, length);
        text += length + 1;
        left -= length + 1;
    }
    return names;
}

uint32_t canonical_count_bits(size_t count) {
    if (count == 3) return kind_three_points;
    if (count == 4) return kind_four_points;
    return count >= 256 ? kind_many_points : 0;
}

// The polygon section as the header places it.
struct polygon_block {
    const uint8_t* data;
    size_t bytes;
    int32_t count;
    size_t offset;
};

polygon_block polygon_section(const file_view& f) {
    const int32_t bytes = f.header_i32(at::polygon_bytes);
    const int32_t count = f.header_i32(at::polygon_count);
    const int32_t offset = f.header_i32(at::polygon_offset);
    if (count < 0 || bytes < 0 || !f.holds(offset, bytes, 1)) fail(plat_format(bf_texts::section_outside, "polygons"));
    if (static_cast<int64_t>(count) * 8 > bytes) fail(plat_format(bf_texts::section_outside, "polygons"));
    if (count == 0) return {f.data, 0, 0, 0};
    return {f.data + offset, static_cast<size_t>(bytes), count, static_cast<size_t>(offset)};
}

bf_index_widths polygon_widths(const file_view& f, int32_t polygons, const bf_world& w, size_t points, size_t cords) {
    return {index_width(static_cast<size_t>(polygons)),
            index_width(w.groups.size()),
            index_width(static_cast<size_t>(std::max(f.header_i32(at::animation_count), 0))),
            index_width(w.bitmap_names.size()),
            index_width(w.polygon_names.size()),
            index_width(points),
            index_width(cords)};
}

// The record at the reader's position, every part written (an absent one with its default) so a
// record can be decoded over the one before; one the section cannot hold fails the parse.
void decode_polygon(byte_reader& r, const bf_index_widths& iw, int number, bf_polygon& p) {
    p.presence = r.u32();
    p.kind_word = r.u32();
    const uint32_t has = p.presence;
    if (has & ~known_presence_bits) fail(plat_format(bf_texts::unknown_parts, number));
    if ((p.kind_word & kind_three_points) && (p.kind_word & kind_four_points)) {
        fail(plat_format(bf_texts::unknown_parts, number));
    }
    p.next = (has & has_next) ? r.index(iw.polygon) : 0;
    p.red = p.green = p.blue = 0;
    if (has & has_colour) {
        p.red = r.u8();
        p.green = r.u8();
        p.blue = r.u8();
    }
    p.bitmap_name = (has & has_bitmap_name) ? r.index(iw.bitmap_name) : 0;
    int point_count = 0;
    if (p.kind_word & kind_three_points) point_count = 3;
    else if (p.kind_word & kind_four_points) point_count = 4;
    else point_count = (p.kind_word & kind_many_points) ? r.u16() : r.u8();
    p.name = (has & has_name) ? r.index(iw.name) : 0;
    p.group = (has & has_group) ? r.index(iw.group) : 0;
    p.light_diminution = (has & has_diminution) ? r.f32() : default_diminution;
    p.transparent_index = -1;
    if (p.kind_word & kind_has_transparent) {
        p.transparent_index = (p.kind_word & kind_transparent_zero) ? 0 : r.u8();
    }
    p.animation = (has & has_animation) ? r.index(iw.animation) : 0;
    p.blending = (has & has_blending) ? r.u8() : 0;
    p.patch_kind = (has & has_patch_kind) ? r.u8() : 0;
    p.next_patch = (has & has_next_patch) ? r.index(iw.polygon) : 0;
    p.previous_patch = (has & has_previous_patch) ? r.index(iw.polygon) : 0;
    p.family_head = (has & has_family_head) ? r.index(iw.polygon) : 0;
    p.family_next = (has & has_family_next) ? r.index(iw.polygon) : 0;
    p.ambient = (has & has_ambient) ? r.u8() : default_ambient;
    p.diffuse = (has & has_diffuse) ? r.u8() : default_diffuse;
    p.specular = (has & has_specular) ? r.u8() : default_specular;
    p.specular_shining = (has & has_shining) ? r.u8() : default_shining;
    p.centre[0] = p.centre[1] = p.centre[2] = 0;
    if (has & has_family_head) r.floats(p.centre, 3);
    if (!r.ok()) fail(plat_format(bf_texts::polygon_overrun, number));
    if (point_count < 3) fail(plat_format(bf_texts::bad_point_count, number, point_count));
    if (static_cast<size_t>(point_count) * static_cast<size_t>(iw.point + iw.cord) > r.remaining()) {
        fail(plat_format(bf_texts::polygon_overrun, number));
    }
    p.points.resize(static_cast<size_t>(point_count));
    p.cords.resize(static_cast<size_t>(point_count));
    for (auto& index : p.points) index = r.index(iw.point);
    for (auto& index : p.cords) index = r.index(iw.cord);
    p.kind_word = (p.kind_word & ~kind_point_count_bits) | canonical_count_bits(p.points.size());
}

void read_polygons(const file_view& f, bf_world& w) {
    const polygon_block block = polygon_section(f);
    if (block.count == 0) return;
    const bf_index_widths iw = polygon_widths(f, block.count, w, w.points.size(), w.cords.size());
    byte_reader r(block.data, block.bytes);
    reserve_in_huge_pages(w.polygons, static_cast<size_t>(block.count));
    w.polygons.resize(static_cast<size_t>(block.count));
    for (int32_t i = 0; i < block.count; ++i) decode_polygon(r, iw, i + 1, w.polygons[static_cast<size_t>(i)]);
}

float le_f32(const uint8_t* b) { return std::bit_cast<float>(le_u32(b)); }

// The point record at `b`, inside a checked section; its last two bytes are reserved.
bf_point point_record(const uint8_t* b) {
    bf_point p{};
    p.x = le_f32(b);
    p.y = le_f32(b + 4);
    p.z = le_f32(b + 8);
    p.red = b[12];
    p.green = b[13];
    p.blue = b[14];
    p.normal_x = static_cast<int8_t>(b[15]);
    p.normal_y = static_cast<int8_t>(b[16]);
    p.normal_z = static_cast<int8_t>(b[17]);
    return p;
}

// The cord record at `b`, inside a checked section.
bf_cord cord_record(const uint8_t* b) { return {le_f32(b), le_f32(b + 4)}; }

// The chase name, offset, type and softness, in the order cameras and dynamic objects both keep them.
void read_chase(const file_view& f, byte_reader& r, const char* section, bf_chase_part& chase) {
    chase.name = f.text(r.u32(), section);
    r.floats(chase.offset, 3);
    chase.type = f.text(r.u32(), section);
    chase.softness = r.f32();
}

void read_cameras(const file_view& f, bf_world& w) {
    int32_t count = 0;
    byte_reader r = records(f, at::camera_size, at::camera_count, at::camera_offset, camera_size, "cameras", &count,
                            &w.cameras_saved);
    w.cameras.resize(static_cast<size_t>(count));
    for (bf_camera& c : w.cameras) {
        const char* s = "cameras";
        c.name = f.text(r.u32(), s);
        c.width = r.u16();
        c.height = r.u16();
        c.field_of_view = r.f32();
        c.culling_depth_flag = r.u8();
        r.skip(3);
        c.culling_depth = r.f32();
        r.floats(c.location, 3);
        c.eye_distance = r.f32();
        r.floats(c.x_axis, 3);
        r.floats(c.y_axis, 3);
        r.floats(c.z_axis, 3);
        r.floats(c.track.offset, 3);
        c.track.name = f.text(r.u32(), s);
        c.chase.distance = r.f32();
        read_chase(f, r, s, c.chase);
        r.floats(c.speed, 3);
        r.floats(c.force, 3);
        r.floats(c.rotation, 3);
        c.rotation_space = r.u8();
        r.skip(3);
        c.elasticity = r.f32();
        c.friction = r.f32();
    }
}

void read_tracks(const file_view& f, bf_world& w) {
    int32_t count = 0;
    byte_reader r = records(f, at::track_size, at::track_count, at::track_offset, track_size, "tracks", &count,
                            &w.tracks_saved);
    w.tracks.resize(static_cast<size_t>(count));
    for (bf_track& t : w.tracks) {
        const int32_t points = r.i32();
        t.cyclic = r.i32();
        t.name = f.text(r.u32(), "tracks");
        byte_reader data = f.block(r.u32(), points, 12, "tracks");
        t.points.resize(static_cast<size_t>(points) * 3);
        data.floats(t.points.data(), points * 3);
    }
}

void read_dynamic_objects(const file_view& f, bf_world& w) {
    int32_t count = 0;
    byte_reader r = records(f, at::dynamic_size, at::dynamic_count, at::dynamic_offset, dynamic_object_size,
                            "dynamic objects", &count);
    w.dynamic_objects.resize(static_cast<size_t>(count));
    for (bf_dynamic_object& d : w.dynamic_objects) {
        const char* s = "dynamic objects";
        d.name = f.text(r.u32(), s);
        d.father_name = f.text(r.u32(), s);
        d.control = r.i32();
        d.track.name = f.text(r.u32(), s);
        r.floats(d.track.offset, 3);
        read_chase(f, r, s, d.chase);
        d.chase.distance = r.f32();
        r.floats(d.speed, 3);
        r.floats(d.force, 3);
        r.floats(d.rotation, 3);
        d.friction = r.f32();
        d.elasticity = r.f32();
        d.max_speed = r.f32();
        d.rotation_space = r.u8();
        r.skip(3);
        r.floats(d.reference, 3);
        r.floats(d.rotation_rows, 9);
        r.floats(d.location, 3);
        r.floats(d.scale, 3);
        const int32_t polygons = r.i32();
        byte_reader list = f.block(r.u32(), polygons, 4, s);
        d.polygons.resize(static_cast<size_t>(polygons));
        for (auto& index : d.polygons) index = list.u32();
    }
}

void read_animations(const file_view& f, bf_world& w) {
    int32_t count = 0;
    byte_reader r = records(f, at::animation_size, at::animation_count, at::animation_offset, animation_size,
                            "animations", &count);
    w.animations.resize(static_cast<size_t>(count));
    for (bf_animation& a : w.animations) {
        const char* s = "animations";
        a.name = f.text(r.u32(), s);
        const int32_t frames = r.i32();
        byte_reader durations = f.block(r.u32(), frames, 4, s);
        a.durations.resize(static_cast<size_t>(frames));
        for (auto& d : a.durations) d = durations.i32();
        uint32_t offsets[frame_list_count];
        for (auto& o : offsets) o = r.u32();
        for (int l = 0; l < frame_list_count; ++l) {
            if (offsets[l] == 0) continue;
            for (int k = 0; k < l; ++k) {
                if (frames > 0 && offsets[k] == offsets[l]) fail(bf_texts::list_twice);
            }
            byte_reader entries = f.block(offsets[l], frames, frame_entry_size, s);
            std::vector<bf_frame> list(static_cast<size_t>(frames));
            for (bf_frame& e : list) {
                e.has_transparent = entries.u8();
                e.transparent_index = entries.u8();
                entries.skip(2);
                e.bitmap_name = f.text(entries.u32(), s);
                e.flag = entries.u8();
                entries.skip(3);
            }
            a.lists[static_cast<size_t>(l)] = std::move(list);
        }
    }
}

void read_backgrounds(const file_view& f, bf_world& w) {
    int32_t count = 0;
    byte_reader r = records(f, at::background_size, at::background_count, at::background_offset, background_size,
                            "backgrounds", &count, &w.backgrounds_saved);
    w.backgrounds.resize(static_cast<size_t>(count));
    for (bf_background& b : w.backgrounds) {
        b.name = f.text(r.u32(), "backgrounds");
        b.bitmap_name = f.text(r.u32(), "backgrounds");
        b.type = r.u16();
        r.skip(2);
        b.distance = r.f32();
        b.bottom_height = r.f32();
        b.bottom_intensity = r.f32();
        b.intensity_step = r.f32();
    }
}

void read_lights(const file_view& f, bf_world& w) {
    int32_t count = 0;
    byte_reader r = records(f, at::light_size, at::light_count, at::light_offset, light_size, "lights", &count,
                            &w.lights_saved);
    w.lights.resize(static_cast<size_t>(count));
    for (bf_light& l : w.lights) {
        l.name = f.text(r.u32(), "lights");
        l.target_index = r.i32();
        l.target_kind = r.i32();
        r.floats(l.location, 3);
        l.type_flags = r.i32();
        r.floats(l.direction, 3);
        l.red = r.u8();
        l.green = r.u8();
        l.blue = r.u8();
        r.skip(1);
        l.distance_reach = r.f32();
        l.activate_before_render = r.i32();
        l.mode = r.i32();
        l.ray_tracing = r.i32();
        l.ambient = r.f32();
        l.diffuse = r.f32();
        l.specular = r.f32();
        l.specular_shining = r.f32();
    }
}

void read_settings(const file_view& f, bf_world& w) {
    int32_t count = 0;
    byte_reader r = records(f, at::settings_size, at::settings_count, at::settings_offset, settings_size,
                            "general settings", &count);
    if (count > 1) fail(plat_format(bf_texts::section_outside, "general settings"));
    if (count == 0) return;
    bf_settings s{};
    s.rendering_mode = r.u8();
    s.wire_frame = r.u8();
    s.reserved_byte = r.u8();
    s.zbuffer = r.u8();
    s.atmospheric_intensity = r.f32();
    s.brightness = r.i32();
    r.skip(4);
    s.far_colour_accuracy = r.i32();
    for (auto& c : s.atmosphere) c = r.u8();
    for (auto& c : s.atmosphere_copy) c = r.u8();
    s.default_pixel = r.u16();
    for (auto& c : s.default_colour) c = r.u8();
    r.skip(1);
    s.second_default_pixel = r.u16();
    r.skip(2);
    r.floats(s.reserved_direction, 3);
    r.floats(s.reserved_pair, 2);
    r.floats(s.rotation_reference, 3);
    s.render_group = r.i32();
    s.advance_objects = r.u8();
    s.advance_cameras = r.u8();
    r.skip(2);
    s.perspective_accuracy = r.f32();
    s.speed_units = r.u8();
    s.camera_mover = r.u8();
    s.animation_timing = r.u8();
    r.skip(1);
    s.max_render_time = r.i32();
    s.min_render_time = r.i32();
    w.settings = s;
}

void read_header(const file_view& f, bf_world& w) {
    if (f.size < sizeof magic || std::memcmp(f.data, magic, 7) != 0) fail(bf_texts::not_drovik);
    if (f.size < static_cast<size_t>(header_size)) fail(bf_texts::short_header);
    byte_reader version(f.data + at::major, 4);
    const int major = version.u16();
    const int minor = version.u16();
    if (major != major_version || minor != minor_version) fail(plat_format(bf_texts::bad_version, major, minor));
    w.top_group = f.header_i32(at::top_group);
}

// The first point record of the checked section.
const uint8_t* point_records(const file_view& f, int32_t& count) {
    return records(f, at::point_size, at::point_count, at::point_offset, point_size, "points", &count).start();
}

// The first cord record of the checked section.
const uint8_t* cord_records(const file_view& f, int32_t& count) {
    return records(f, at::cord_size, at::cord_count, at::cord_offset, cord_size, "texture coords", &count).start();
}

void read_names_and_groups(const file_view& f, bf_world& w) {
    w.bitmap_names =
        name_table(f, at::bitmap_names_bytes, at::bitmap_names_count, at::bitmap_names_offset, "bitmap names");
    w.group_names = name_table(f, at::group_names_bytes, at::group_names_count, at::group_names_offset, "group names");
    w.polygon_names =
        name_table(f, at::polygon_names_bytes, at::polygon_names_count, at::polygon_names_offset, "polygon names");
    int32_t count = 0;
    byte_reader groups = records(f, at::group_size, at::group_count, at::group_offset, group_size, "groups", &count);
    w.groups.resize(static_cast<size_t>(count));
    for (bf_group& g : w.groups) {
        g.name = groups.u32();
        g.father = groups.u32();
        g.object_parameters = groups.u8();
        groups.skip(3);
    }
}

// The sections after the polygons: BSP nodes to settings.
void read_other_sections(const file_view& f, bf_world& w) {
    int32_t count = 0;
    byte_reader nodes = records(f, at::bsp_size, at::bsp_count, at::bsp_offset, bsp_node_size, "BSP nodes", &count);
    w.bsp_nodes.resize(static_cast<size_t>(count));
    for (bf_bsp_node& n : w.bsp_nodes) {
        nodes.floats(n.plane, 4);
        n.first_polygon = nodes.u32();
        n.right = nodes.u32();
        n.left = nodes.u32();
    }
    read_cameras(f, w);
    read_tracks(f, w);
    read_dynamic_objects(f, w);
    read_animations(f, w);
    read_backgrounds(f, w);
    read_lights(f, w);
    read_settings(f, w);
}

void parse(const file_view& f, bf_world& w) {
    read_header(f, w);
    int32_t count = 0;
    const uint8_t* points = point_records(f, count);
    w.points.resize(static_cast<size_t>(count));
    for (size_t i = 0; i < w.points.size(); ++i) w.points[i] = point_record(points + i * point_size);
    const uint8_t* cords = cord_records(f, count);
    w.cords.resize(static_cast<size_t>(count));
    for (size_t i = 0; i < w.cords.size(); ++i) w.cords[i] = cord_record(cords + i * cord_size);
    read_names_and_groups(f, w);
    read_polygons(f, w);
    read_other_sections(f, w);
    const std::string problem = bfl_check_world(w);
    if (!problem.empty()) fail(problem);
}

// ---------------------------------------------------------------- checking

// True when following `link` (1-based, 0 ends the walk) from some entry comes back onto the same
// walk. Every link must already be within 0..count.
template <typename Link>
bool has_cycle(size_t count, Link link) {
    std::vector<uint8_t> state(count + 1, 0);  // 0 new, 1 on the current walk, 2 done
    for (size_t start = 1; start <= count; ++start) {
        size_t i = start;
        while (i != 0 && state[i] == 0) {
            state[i] = 1;
            i = link(i);
        }
        const bool cycle = i != 0 && state[i] == 1;
        for (size_t j = start; j != 0 && state[j] == 1; j = link(j)) state[j] = 2;
        if (cycle) return true;
    }
    return false;
}

bool within(uint32_t index, size_t count) { return index <= count; }

// True when two entries link to the same one (a list would then be walked, or freed, twice).
template <typename Link>
bool has_shared_target(size_t count, Link link) {
    std::vector<uint8_t> seen(count + 1, 0);
    for (size_t i = 1; i <= count; ++i) {
        const size_t target = link(i);
        if (target != 0 && seen[target]++) return true;
    }
    return false;
}

// How many records of each kind a polygon's indices may name.
struct record_counts {
    size_t polygons, points, cords, groups, polygon_names, bitmap_names, animations;
};

std::string check_polygon(const bf_polygon& p, int number, const record_counts& c) {
    if (p.presence & ~known_presence_bits) return plat_format(bf_texts::unknown_parts, number);
    const size_t points = p.points.size();
    if (points < 3 || points > static_cast<size_t>(max_polygon_points) || p.cords.size() != points) {
        return plat_format(bf_texts::bad_point_count, number, static_cast<int>(points));
    }
    for (uint32_t index : p.points) {
        if (index >= c.points) return bf_texts::point_index;
    }
    for (uint32_t index : p.cords) {
        if (index >= c.cords) return bf_texts::cord_index;
    }
    const size_t n = c.polygons;
    const bool links_ok = within(p.next, n) && within(p.next_patch, n) && within(p.previous_patch, n) &&
                          within(p.family_head, n) && within(p.family_next, n);
    if (!links_ok || !within(p.group, c.groups) || !within(p.name, c.polygon_names) ||
        !within(p.bitmap_name, c.bitmap_names) || !within(p.animation, c.animations)) {
        return plat_format(bf_texts::bad_index, "polygons");
    }
    const bool has_transparent = p.kind_word & kind_has_transparent;
    const bool transparency_ok = !has_transparent  ? p.transparent_index == -1
                                 : (p.kind_word & kind_transparent_zero) ? p.transparent_index == 0
                                 : p.transparent_index >= 0 && p.transparent_index <= 255;
    if (!transparency_ok) return plat_format(bf_texts::bad_transparency, number);
    return "";
}

void add_links(bf_polygon_links& links, const bf_polygon& p) {
    links.next.push_back(p.next);
    links.next_patch.push_back(p.next_patch);
    links.previous_patch.push_back(p.previous_patch);
    links.family_next.push_back(p.family_next);
    links.patch_kind.push_back(p.patch_kind);
    links.point_count.push_back(static_cast<uint32_t>(p.points.size()));
}

void reserve_links(bf_polygon_links& links, size_t count) {
    links.next.reserve(count);
    links.next_patch.reserve(count);
    links.previous_patch.reserve(count);
    links.family_next.reserve(count);
    links.patch_kind.reserve(count);
    links.point_count.reserve(count);
}

// Every link must already be within range.
std::string check_links(const bf_polygon_links& l) {
    const size_t n = l.size();
    const auto by = [](const std::vector<uint32_t>& link) { return [&link](size_t i) { return link[i - 1]; }; };
    for (const auto* link : {&l.next, &l.next_patch, &l.previous_patch, &l.family_next}) {
        if (has_cycle(n, by(*link))) return plat_format(bf_texts::cyclic_links, "polygons");
    }
    for (const auto* link : {&l.next, &l.next_patch, &l.previous_patch, &l.family_next}) {
        if (has_shared_target(n, by(*link))) return plat_format(bf_texts::shared_links, "polygons");
    }
    return "";
}

std::string check_bsp(const std::vector<bf_bsp_node>& nodes, const bf_polygon_links& links) {
    const size_t n = nodes.size();
    const size_t polygons = links.size();
    // Each node list starts at a polygon that no other list reaches.
    std::vector<uint8_t> listed(polygons + 1, 0);
    for (uint32_t next : links.next) listed[next] = 1;
    for (const bf_bsp_node& node : nodes) {
        if (node.first_polygon > polygons) return plat_format(bf_texts::bad_index, "BSP nodes");
        if (node.first_polygon != 0 && listed[node.first_polygon]++) {
            return plat_format(bf_texts::shared_links, "BSP nodes");
        }
    }
    std::vector<uint8_t> is_child(n + 1, 0);
    for (size_t i = 0; i < n; ++i) {
        const bf_bsp_node& node = nodes[i];
        for (uint32_t child : {node.right, node.left}) {
            if (child == 0) continue;
            if (child > n) return plat_format(bf_texts::bad_index, "BSP nodes");
            // Pre-order numbering puts every child after its parent; anything else loops or shares.
            if (child <= i + 1 || is_child[child]) return plat_format(bf_texts::cyclic_links, "BSP nodes");
            is_child[child] = 1;
        }
    }
    return "";
}

std::string check_scene(const bf_world& w, size_t polygons) {
    for (const bf_dynamic_object& d : w.dynamic_objects) {
        for (uint32_t index : d.polygons) {
            if (index == 0 || index > polygons) return plat_format(bf_texts::bad_index, "dynamic objects");
        }
    }
    for (const bf_light& l : w.lights) {
        const uint32_t index = static_cast<uint32_t>(l.target_index);
        bool ok = false;
        switch (l.target_kind) {
            case target_none: ok = l.target_index == 0; break;
            case target_group: ok = within(index, w.groups.size()); break;
            case target_object: ok = within(index, w.dynamic_objects.size()); break;
            case target_polygon: ok = within(index, polygons); break;
            default: ok = false;
        }
        if (!ok) return plat_format(bf_texts::bad_index, "lights");
    }
    for (const bf_animation& a : w.animations) {
        for (const auto& list : a.lists) {
            if (list && list->size() != a.durations.size()) return bf_texts::bad_frame_list;
        }
    }
    for (const bf_track& t : w.tracks) {
        if (t.points.size() % 3 != 0) return plat_format(bf_texts::bad_index, "tracks");
    }
    if (w.settings && (w.settings->render_group < 0 ||
                       !within(static_cast<uint32_t>(w.settings->render_group), w.groups.size()))) {
        return plat_format(bf_texts::bad_index, "general settings");
    }
    if ((!w.cameras_saved && !w.cameras.empty()) || (!w.tracks_saved && !w.tracks.empty()) ||
        (!w.backgrounds_saved && !w.backgrounds.empty()) || (!w.lights_saved && !w.lights.empty())) {
        return bf_texts::left_out_not_empty;
    }
    return "";
}

// ---------------------------------------------------------------- writing

class byte_writer {
public:
    explicit byte_writer(std::vector<uint8_t>& out) : out_(out) {}
    size_t size() const { return out_.size(); }
    void u8(uint8_t v) { out_.push_back(v); }
    void u16(uint16_t v) { put(v, 2); }
    void u32(uint32_t v) { put(v, 4); }
    void i32(int32_t v) { put(static_cast<uint32_t>(v), 4); }
    void f32(float v) { put(std::bit_cast<uint32_t>(v), 4); }
    void index(uint32_t v, int width) { put(v, static_cast<size_t>(width)); }
    void zeros(size_t count) { out_.insert(out_.end(), count, 0); }
    void floats(const float* v, int count) {
        for (int i = 0; i < count; ++i) f32(v[i]);
    }
    void text(const std::string& s) {
        out_.insert(out_.end(), s.begin(), s.end());
        out_.push_back(0);
    }

private:
    void put(uint32_t v, size_t count) {
        for (size_t i = 0; i < count; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    std::vector<uint8_t>& out_;
};

// The data that follows a section's records; `base` is its file offset.
struct heap_writer {
    uint32_t base;
    std::vector<uint8_t> bytes;
    byte_writer w{bytes};

    uint32_t here() const { return base + static_cast<uint32_t>(bytes.size()); }
    uint32_t string(const bf_string& s) {
        if (!s) return 0;
        if (s->find('\0') != std::string::npos) fail(bf_texts::string_with_nul);
        const uint32_t offset = here();
        w.text(*s);
        return offset;
    }
};

uint64_t string_size(const bf_string& s) { return s ? s->size() + 1 : 0; }

uint64_t strings_size(const bf_track_part& track, const bf_chase_part& chase) {
    return string_size(track.name) + string_size(chase.name) + string_size(chase.type);
}

uint64_t names_size(const std::vector<std::string>& names) {
    uint64_t total = 0;
    for (const auto& n : names) total += n.size() + 1;
    return total;
}

struct index_widths {
    int polygon, group, animation, bitmap, name, point, cord;
};

index_widths widths_of(const bf_world& w) {
    return {index_width(w.polygons.size()), index_width(w.groups.size()),   index_width(w.animations.size()),
            index_width(w.bitmap_names.size()), index_width(w.polygon_names.size()), index_width(w.points.size()),
            index_width(w.cords.size())};
}

uint64_t polygon_record_size(const bf_polygon& p, const index_widths& iw) {
    const uint32_t b = p.presence;
    const size_t points = p.points.size();
    uint64_t size = 8;
    if (b & has_next) size += iw.polygon;
    if (b & has_colour) size += 3;
    if (b & has_bitmap_name) size += iw.bitmap;
    if (points != 3 && points != 4) size += points >= 256 ? 2 : 1;
    if (b & has_name) size += iw.name;
    if (b & has_group) size += iw.group;
    if (b & has_diminution) size += 4;
    if ((p.kind_word & kind_has_transparent) && !(p.kind_word & kind_transparent_zero)) size += 1;
    if (b & has_animation) size += iw.animation;
    if (b & has_blending) size += 1;
    if (b & has_patch_kind) size += 1;
    if (b & has_next_patch) size += iw.polygon;
    if (b & has_previous_patch) size += iw.polygon;
    if (b & has_family_head) size += iw.polygon + 12;
    if (b & has_family_next) size += iw.polygon;
    for (uint32_t bit : {has_ambient, has_diffuse, has_specular, has_shining}) {
        if (b & bit) size += 1;
    }
    return size + points * static_cast<uint64_t>(iw.point + iw.cord);
}

void write_polygon(byte_writer& out, const bf_polygon& p, const index_widths& iw) {
    const uint32_t b = p.presence;
    const size_t points = p.points.size();
    const uint32_t kind = (p.kind_word & ~kind_point_count_bits) | canonical_count_bits(points);
    out.u32(b);
    out.u32(kind);
    if (b & has_next) out.index(p.next, iw.polygon);
    if (b & has_colour) {
        out.u8(p.red);
        out.u8(p.green);
        out.u8(p.blue);
    }
    if (b & has_bitmap_name) out.index(p.bitmap_name, iw.bitmap);
    if (points >= 256) out.u16(static_cast<uint16_t>(points));
    else if (points != 3 && points != 4) out.u8(static_cast<uint8_t>(points));
    if (b & has_name) out.index(p.name, iw.name);
    if (b & has_group) out.index(p.group, iw.group);
    if (b & has_diminution) out.f32(p.light_diminution);
    if ((kind & kind_has_transparent) && !(kind & kind_transparent_zero)) {
        out.u8(static_cast<uint8_t>(p.transparent_index));
    }
    if (b & has_animation) out.index(p.animation, iw.animation);
    if (b & has_blending) out.u8(p.blending);
    if (b & has_patch_kind) out.u8(p.patch_kind);
    if (b & has_next_patch) out.index(p.next_patch, iw.polygon);
    if (b & has_previous_patch) out.index(p.previous_patch, iw.polygon);
    if (b & has_family_head) out.index(p.family_head, iw.polygon);
    if (b & has_family_next) out.index(p.family_next, iw.polygon);
    if (b & has_ambient) out.u8(p.ambient);
    if (b & has_diffuse) out.u8(p.diffuse);
    if (b & has_specular) out.u8(p.specular);
    if (b & has_shining) out.u8(p.specular_shining);
    if (b & has_family_head) out.floats(p.centre, 3);
    for (uint32_t index : p.points) out.index(index, iw.point);
    for (uint32_t index : p.cords) out.index(index, iw.cord);
}

// Sections in file order.
enum section_id {
    s_points, s_cords, s_bitmap_names, s_group_names, s_groups, s_polygon_names, s_polygons, s_bsp, s_cameras,
    s_tracks, s_dynamic, s_animations, s_backgrounds, s_lights, s_settings, section_total
};

constexpr const char* section_words[section_total] = {
    "points",     "texture coords", "bitmap names", "group names",     "groups",      "polygon names",
    "polygons",   "BSP nodes",      "cameras",      "tracks",          "dynamic objects", "animations",
    "backgrounds", "lights",        "general settings"};

std::array<uint64_t, section_total> section_sizes(const bf_world& w, const index_widths& iw) {
    std::array<uint64_t, section_total> size{};
    size[s_points] = w.points.size() * static_cast<uint64_t>(point_size);
    size[s_cords] = w.cords.size() * static_cast<uint64_t>(cord_size);
    size[s_bitmap_names] = names_size(w.bitmap_names);
    size[s_group_names] = names_size(w.group_names);
    size[s_groups] = w.groups.size() * static_cast<uint64_t>(group_size);
    size[s_polygon_names] = names_size(w.polygon_names);
    for (const bf_polygon& p : w.polygons) size[s_polygons] += polygon_record_size(p, iw);
    size[s_bsp] = w.bsp_nodes.size() * static_cast<uint64_t>(bsp_node_size);
    size[s_cameras] = w.cameras.size() * static_cast<uint64_t>(camera_size);
    for (const bf_camera& c : w.cameras) {
        size[s_cameras] += string_size(c.name) + strings_size(c.track, c.chase);
    }
    size[s_tracks] = w.tracks.size() * static_cast<uint64_t>(track_size);
    for (const bf_track& t : w.tracks) size[s_tracks] += t.points.size() * 4 + string_size(t.name);
    size[s_dynamic] = w.dynamic_objects.size() * static_cast<uint64_t>(dynamic_object_size);
    for (const bf_dynamic_object& d : w.dynamic_objects) {
        size[s_dynamic] += string_size(d.name) + string_size(d.father_name) + strings_size(d.track, d.chase) +
                           d.polygons.size() * 4;
    }
    size[s_animations] = w.animations.size() * static_cast<uint64_t>(animation_size);
    for (const bf_animation& a : w.animations) {
        size[s_animations] += string_size(a.name) + a.durations.size() * 4;
        for (const auto& list : a.lists) {
            if (!list) continue;
            size[s_animations] += list->size() * static_cast<uint64_t>(frame_entry_size);
            for (const bf_frame& e : *list) size[s_animations] += string_size(e.bitmap_name);
        }
    }
    size[s_backgrounds] = w.backgrounds.size() * static_cast<uint64_t>(background_size);
    for (const bf_background& b : w.backgrounds) size[s_backgrounds] += string_size(b.name) + string_size(b.bitmap_name);
    size[s_lights] = w.lights.size() * static_cast<uint64_t>(light_size);
    for (const bf_light& l : w.lights) size[s_lights] += string_size(l.name);
    size[s_settings] = w.settings ? settings_size : 0;
    return size;
}

void write_names(byte_writer& out, const std::vector<std::string>& names) {
    for (const auto& n : names) {
        if (n.find('\0') != std::string::npos) fail(bf_texts::string_with_nul);
        out.text(n);
    }
}

void write_chase(byte_writer& out, heap_writer& heap, const bf_chase_part& chase) {
    out.u32(heap.string(chase.name));
    out.floats(chase.offset, 3);
    out.u32(heap.string(chase.type));
    out.f32(chase.softness);
}

void write_cameras(byte_writer& out, heap_writer& heap, const bf_world& w) {
    for (const bf_camera& c : w.cameras) {
        out.u32(heap.string(c.name));
        out.u16(c.width);
        out.u16(c.height);
        out.f32(c.field_of_view);
        out.u8(c.culling_depth_flag);
        out.zeros(3);
        out.f32(c.culling_depth);
        out.floats(c.location, 3);
        out.f32(c.eye_distance);
        out.floats(c.x_axis, 3);
        out.floats(c.y_axis, 3);
        out.floats(c.z_axis, 3);
        out.floats(c.track.offset, 3);
        out.u32(heap.string(c.track.name));
        out.f32(c.chase.distance);
        write_chase(out, heap, c.chase);
        out.floats(c.speed, 3);
        out.floats(c.force, 3);
        out.floats(c.rotation, 3);
        out.u8(c.rotation_space);
        out.zeros(3);
        out.f32(c.elasticity);
        out.f32(c.friction);
    }
}

void write_tracks(byte_writer& out, heap_writer& heap, const bf_world& w) {
    for (const bf_track& t : w.tracks) {
        const uint32_t points = heap.here();
        heap.w.floats(t.points.data(), static_cast<int>(t.points.size()));
        out.i32(static_cast<int32_t>(t.points.size() / 3));
        out.i32(t.cyclic);
        out.u32(heap.string(t.name));
        out.u32(points);
    }
}

void write_dynamic_objects(byte_writer& out, heap_writer& heap, const bf_world& w) {
    for (const bf_dynamic_object& d : w.dynamic_objects) {
        out.u32(heap.string(d.name));
        out.u32(heap.string(d.father_name));
        out.i32(d.control);
        out.u32(heap.string(d.track.name));
        out.floats(d.track.offset, 3);
        write_chase(out, heap, d.chase);
        out.f32(d.chase.distance);
        out.floats(d.speed, 3);
        out.floats(d.force, 3);
        out.floats(d.rotation, 3);
        out.f32(d.friction);
        out.f32(d.elasticity);
        out.f32(d.max_speed);
        out.u8(d.rotation_space);
        out.zeros(3);
        out.floats(d.reference, 3);
        out.floats(d.rotation_rows, 9);
        out.floats(d.location, 3);
        out.floats(d.scale, 3);
        out.i32(static_cast<int32_t>(d.polygons.size()));
        out.u32(heap.here());
        for (uint32_t index : d.polygons) heap.w.u32(index);
    }
}

void write_animations(byte_writer& out, heap_writer& heap, const bf_world& w) {
    for (const bf_animation& a : w.animations) {
        out.u32(heap.string(a.name));
        out.i32(static_cast<int32_t>(a.durations.size()));
        out.u32(heap.here());
        for (int32_t d : a.durations) heap.w.i32(d);
        for (const auto& list : a.lists) {
            if (!list) {
                out.u32(0);
                continue;
            }
            std::vector<uint32_t> names;
            for (const bf_frame& e : *list) names.push_back(heap.string(e.bitmap_name));
            out.u32(heap.here());
            for (size_t i = 0; i < list->size(); ++i) {
                const bf_frame& e = (*list)[i];
                heap.w.u8(e.has_transparent);
                heap.w.u8(e.transparent_index);
                heap.w.zeros(2);
                heap.w.u32(names[i]);
                heap.w.u8(e.flag);
                heap.w.zeros(3);
            }
        }
    }
}

void write_backgrounds(byte_writer& out, heap_writer& heap, const bf_world& w) {
    for (const bf_background& b : w.backgrounds) {
        out.u32(heap.string(b.name));
        out.u32(heap.string(b.bitmap_name));
        out.u16(b.type);
        out.zeros(2);
        out.f32(b.distance);
        out.f32(b.bottom_height);
        out.f32(b.bottom_intensity);
        out.f32(b.intensity_step);
    }
}

void write_lights(byte_writer& out, heap_writer& heap, const bf_world& w) {
    for (const bf_light& l : w.lights) {
        out.u32(heap.string(l.name));
        out.i32(l.target_index);
        out.i32(l.target_kind);
        out.floats(l.location, 3);
        out.i32(l.type_flags);
        out.floats(l.direction, 3);
        out.u8(l.red);
        out.u8(l.green);
        out.u8(l.blue);
        out.zeros(1);
        out.f32(l.distance_reach);
        out.i32(l.activate_before_render);
        out.i32(l.mode);
        out.i32(l.ray_tracing);
        out.f32(l.ambient);
        out.f32(l.diffuse);
        out.f32(l.specular);
        out.f32(l.specular_shining);
    }
}

void write_settings(byte_writer& out, const bf_settings& s) {
    out.u8(s.rendering_mode);
    out.u8(s.wire_frame);
    out.u8(s.reserved_byte);
    out.u8(s.zbuffer);
    out.f32(s.atmospheric_intensity);
    out.i32(s.brightness);
    out.i32(0);
    out.i32(s.far_colour_accuracy);
    for (uint8_t c : s.atmosphere) out.u8(c);
    for (uint8_t c : s.atmosphere_copy) out.u8(c);
    out.u16(s.default_pixel);
    for (uint8_t c : s.default_colour) out.u8(c);
    out.u8(0);
    out.u16(s.second_default_pixel);
    out.zeros(2);
    out.floats(s.reserved_direction, 3);
    out.floats(s.reserved_pair, 2);
    out.floats(s.rotation_reference, 3);
    out.i32(s.render_group);
    out.u8(s.advance_objects);
    out.u8(s.advance_cameras);
    out.zeros(2);
    out.f32(s.perspective_accuracy);
    out.u8(s.speed_units);
    out.u8(s.camera_mover);
    out.u8(s.animation_timing);
    out.u8(0);
    out.i32(s.max_render_time);
    out.i32(s.min_render_time);
}

// The words of a section in its allocation report.
constexpr const char* allocation_words[section_total] = {
    "points",      "texture coords", "bitmap names",    "group names", "groups", "polygon names",
    "polygons",    "BSP nodes",      "cameras",         "tracks",      "dynamic objects", "animation objects",
    "backgrounds", "lights",         "general settings"};

// The report of a section whose written size is not the predicted one: the sections with strings
// ran past what their strings were predicted to take.
std::string section_mismatch(section_id id) {
    switch (id) {
        case s_points: return bf_texts::point_section_failed;
        case s_cords: return bf_texts::cord_section_failed;
        case s_polygons: return bf_texts::polygon_section_failed;
        case s_cameras:
        case s_tracks:
        case s_dynamic:
        case s_animations:
        case s_backgrounds:
        case s_lights: return bf_texts::heap_overrun;
        default: return plat_format(bf_texts::internal_error, section_words[id]);
    }
}

// Writes one section at the end of `file`; its records are followed by the heap the writer fills.
template <typename Fill>
void write_section(std::vector<uint8_t>& file, section_id id, uint64_t predicted, size_t record_bytes, Fill fill) {
    const size_t start = file.size();
    try {
        heap_writer heap{static_cast<uint32_t>(start + record_bytes), {}};
        byte_writer out(file);
        fill(out, heap);
        if (file.size() - start != record_bytes) fail(section_mismatch(id));
        file.insert(file.end(), heap.bytes.begin(), heap.bytes.end());
    } catch (const std::bad_alloc&) {
        fail(plat_format(bf_texts::no_memory, allocation_words[id]));
    }
    if (file.size() - start != predicted) fail(section_mismatch(id));
}

void put_i32(std::vector<uint8_t>& file, int offset, uint64_t value) {
    for (int i = 0; i < 4; ++i) file[static_cast<size_t>(offset + i)] = static_cast<uint8_t>(value >> (8 * i));
}

void write_header(std::vector<uint8_t>& file, const bf_world& w, const std::array<uint64_t, section_total>& offset,
                  const std::array<uint64_t, section_total>& size) {
    std::memcpy(file.data(), magic, sizeof magic);
    file[at::major] = major_version;
    file[at::minor] = minor_version;
    auto entry = [&](int size_at, int count_at, int offset_at, uint64_t record, size_t count, section_id id) {
        put_i32(file, size_at, record);
        put_i32(file, count_at, count);
        put_i32(file, offset_at, offset[id]);
    };
    entry(at::settings_size, at::settings_count, at::settings_offset, settings_size, w.settings ? 1 : 0, s_settings);
    entry(at::polygon_bytes, at::polygon_count, at::polygon_offset, size[s_polygons], w.polygons.size(), s_polygons);
    entry(at::bsp_size, at::bsp_count, at::bsp_offset, bsp_node_size, w.bsp_nodes.size(), s_bsp);
    entry(at::camera_size, at::camera_count, at::camera_offset, w.cameras_saved ? camera_size : 0, w.cameras.size(),
          s_cameras);
    entry(at::track_size, at::track_count, at::track_offset, w.tracks_saved ? track_size : 0, w.tracks.size(),
          s_tracks);
    entry(at::group_size, at::group_count, at::group_offset, group_size, w.groups.size(), s_groups);
    put_i32(file, at::top_group, static_cast<uint32_t>(w.top_group));
    entry(at::group_names_bytes, at::group_names_count, at::group_names_offset, size[s_group_names],
          w.group_names.size(), s_group_names);
    entry(at::dynamic_size, at::dynamic_count, at::dynamic_offset, dynamic_object_size, w.dynamic_objects.size(),
          s_dynamic);
    entry(at::animation_size, at::animation_count, at::animation_offset, animation_size, w.animations.size(),
          s_animations);
    entry(at::light_size, at::light_count, at::light_offset, w.lights_saved ? light_size : 0, w.lights.size(),
          s_lights);
    entry(at::background_size, at::background_count, at::background_offset,
          w.backgrounds_saved ? background_size : 0, w.backgrounds.size(), s_backgrounds);
    entry(at::point_size, at::point_count, at::point_offset, point_size, w.points.size(), s_points);
    entry(at::cord_size, at::cord_count, at::cord_offset, cord_size, w.cords.size(), s_cords);
    entry(at::bitmap_names_bytes, at::bitmap_names_count, at::bitmap_names_offset, size[s_bitmap_names],
          w.bitmap_names.size(), s_bitmap_names);
    entry(at::polygon_names_bytes, at::polygon_names_count, at::polygon_names_offset, size[s_polygon_names],
          w.polygon_names.size(), s_polygon_names);
}

void serialize(const bf_world& w, std::vector<uint8_t>& file) {
    const std::string problem = bfl_check_world(w);
    if (!problem.empty()) fail(problem);
    const index_widths iw = widths_of(w);
    const std::array<uint64_t, section_total> size = section_sizes(w, iw);
    std::array<uint64_t, section_total> offset{};
    uint64_t total = header_size;
    for (int id = 0; id < section_total; ++id) {
        offset[id] = total;
        total += size[id];
    }
    if (total > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) fail(bf_texts::too_big);

    try {
        reserve_in_huge_pages(file, static_cast<size_t>(total));  // the whole file in one buffer
    } catch (const std::bad_alloc&) {
        // Then it grows section by section, each reporting its own shortage.
    }
    file.assign(header_size, 0);
    write_header(file, w, offset, size);
    write_section(file, s_points, size[s_points], size[s_points], [&](byte_writer& out, heap_writer&) {
        for (const bf_point& p : w.points) {
            out.f32(p.x);
            out.f32(p.y);
            out.f32(p.z);
            out.u8(p.red);
            out.u8(p.green);
            out.u8(p.blue);
            out.u8(static_cast<uint8_t>(p.normal_x));
            out.u8(static_cast<uint8_t>(p.normal_y));
            out.u8(static_cast<uint8_t>(p.normal_z));
            out.zeros(2);
        }
    });
    write_section(file, s_cords, size[s_cords], size[s_cords], [&](byte_writer& out, heap_writer&) {
        for (const bf_cord& c : w.cords) {
            out.f32(c.x);
            out.f32(c.y);
        }
    });
    auto names = [&](section_id id, const std::vector<std::string>& table) {
        write_section(file, id, size[id], size[id], [&](byte_writer& out, heap_writer&) { write_names(out, table); });
    };
    names(s_bitmap_names, w.bitmap_names);
    names(s_group_names, w.group_names);
    write_section(file, s_groups, size[s_groups], size[s_groups], [&](byte_writer& out, heap_writer&) {
        for (const bf_group& g : w.groups) {
            out.u32(g.name);
            out.u32(g.father);
            out.u8(g.object_parameters);
            out.zeros(3);
        }
    });
    names(s_polygon_names, w.polygon_names);
    write_section(file, s_polygons, size[s_polygons], size[s_polygons], [&](byte_writer& out, heap_writer&) {
        for (const bf_polygon& p : w.polygons) {
            const size_t start = out.size();
            write_polygon(out, p, iw);
            if (out.size() - start != polygon_record_size(p, iw)) {
                report(bf_texts::polygon_mismatch);
                fail(bf_texts::polygon_section_failed);
            }
        }
    });
    write_section(file, s_bsp, size[s_bsp], size[s_bsp], [&](byte_writer& out, heap_writer&) {
        for (const bf_bsp_node& n : w.bsp_nodes) {
            out.floats(n.plane, 4);
            out.u32(n.first_polygon);
            out.u32(n.right);
            out.u32(n.left);
        }
    });
    auto with_heap = [&](section_id id, size_t records, size_t record_size, auto fill) {
        write_section(file, id, size[id], records * record_size,
                      [&](byte_writer& out, heap_writer& heap) { fill(out, heap, w); });
    };
    with_heap(s_cameras, w.cameras.size(), camera_size, write_cameras);
    with_heap(s_tracks, w.tracks.size(), track_size, write_tracks);
    with_heap(s_dynamic, w.dynamic_objects.size(), dynamic_object_size, write_dynamic_objects);
    with_heap(s_animations, w.animations.size(), animation_size, write_animations);
    with_heap(s_backgrounds, w.backgrounds.size(), background_size, write_backgrounds);
    with_heap(s_lights, w.lights.size(), light_size, write_lights);
    write_section(file, s_settings, size[s_settings], size[s_settings], [&](byte_writer& out, heap_writer&) {
        if (w.settings) write_settings(out, *w.settings);
    });
    if (file.size() != total) fail(plat_format(bf_texts::internal_error, "header"));
}

std::string check_groups(const bf_world& w) {
    if (w.top_group < 0 || static_cast<size_t>(w.top_group) >= w.groups.size()) return bf_texts::bad_top_group;
    const size_t groups = w.groups.size();
    for (const bf_group& g : w.groups) {
        if (!within(g.name, w.group_names.size()) || !within(g.father, groups)) {
            return plat_format(bf_texts::bad_index, "groups");
        }
    }
    if (has_cycle(groups, [&](size_t i) { return w.groups[i - 1].father; })) {
        return plat_format(bf_texts::cyclic_links, "groups");
    }
    return "";
}

record_counts counts_of(const bf_world& w, size_t polygons, size_t points, size_t cords, size_t animations) {
    return {polygons, points, cords, w.groups.size(), w.polygon_names.size(), w.bitmap_names.size(), animations};
}

// The checks after each polygon's own: links, tree and the other sections.
std::string check_world_links(const bf_world& w, const bf_polygon_links& links) {
    std::string problem = check_links(links);
    if (problem.empty()) problem = check_bsp(w.bsp_nodes, links);
    if (problem.empty()) problem = check_scene(w, links.size());
    return problem;
}

// As parse, with the polygons decoded once for their checks and links only, the points and cords
// only placed; the checks run in the same order, so a bad file gets the same report.
void parse_file(const file_view& f, bf_file& out) {
    bf_world& w = out.world;
    bf_sections& s = out.sections;
    s.data = f.data;
    read_header(f, w);
    int32_t count = 0;
    point_records(f, count);
    s.point_count = static_cast<size_t>(count);
    s.points_at = static_cast<size_t>(f.header_i32(at::point_offset));
    cord_records(f, count);
    s.cord_count = static_cast<size_t>(count);
    s.cords_at = static_cast<size_t>(f.header_i32(at::cord_offset));
    read_names_and_groups(f, w);
    const polygon_block block = polygon_section(f);
    s.polygons_at = block.offset;
    s.polygon_bytes = block.bytes;
    s.polygon_count = static_cast<size_t>(block.count);
    s.widths = polygon_widths(f, block.count, w, s.point_count, s.cord_count);
    const auto animations = static_cast<size_t>(std::max(f.header_i32(at::animation_count), 0));
    const record_counts counts = counts_of(w, s.polygon_count, s.point_count, s.cord_count, animations);
    std::string polygon_problem;
    reserve_links(out.links, s.polygon_count);
    s.polygon_marks.reserve(s.polygon_count / bf_polygon_mark_step + 1);
    byte_reader r(block.data, block.bytes);
    bf_polygon p;
    for (size_t i = 0; i < s.polygon_count; ++i) {
        if (i % bf_polygon_mark_step == 0) s.polygon_marks.push_back(block.bytes - r.remaining());
        const int number = static_cast<int>(i + 1);
        decode_polygon(r, s.widths, number, p);
        if (polygon_problem.empty()) polygon_problem = check_polygon(p, number, counts);
        add_links(out.links, p);
    }
    read_other_sections(f, w);
    std::string problem = check_groups(w);
    if (problem.empty()) problem = polygon_problem;
    if (problem.empty()) problem = check_world_links(w, out.links);
    if (!problem.empty()) fail(problem);
}

}  // namespace

int& bfl_report_errors() {
    static int flag = 1;
    return flag;
}

std::string bfl_check_world(const bf_world& w) {
    std::string problem = check_groups(w);
    if (!problem.empty()) return problem;
    const record_counts counts = counts_of(w, w.polygons.size(), w.points.size(), w.cords.size(), w.animations.size());
    for (size_t i = 0; i < w.polygons.size(); ++i) {
        problem = check_polygon(w.polygons[i], static_cast<int>(i + 1), counts);
        if (!problem.empty()) return problem;
    }
    return check_world_links(w, bfl_links_of(w));
}

bf_polygon_links bfl_links_of(const bf_world& w) {
    bf_polygon_links links;
    reserve_links(links, w.polygons.size());
    for (const bf_polygon& p : w.polygons) add_links(links, p);
    return links;
}

namespace {

// Parses into a fresh record and hands it over only when the whole file passed.
template <typename Record, typename Parse>
int parse_whole(const uint8_t* data, size_t size, Record& out, Parse parse_into) {
    if (!data) size = 0;
    try {
        Record record;
        parse_into(file_view{data, size}, record);
        out = std::move(record);
        return 0;
    } catch (const format_failure& failure) {
        report(failure.text);
        return -1;
    }
}

}  // namespace

int bfl_parse_world(const uint8_t* data, size_t size, bf_world& out) {
    return parse_whole(data, size, out, [](file_view v, bf_world& w) { parse(v, w); });
}

int bfl_parse_file(const uint8_t* data, size_t size, bf_file& out) {
    return parse_whole(data, size, out, [](file_view v, bf_file& f) { parse_file(v, f); });
}

void bfl_file_polygon(const bf_sections& file, size_t& at, bf_polygon& out) {
    byte_reader r(file.data + file.polygons_at + at, file.polygon_bytes - at);
    decode_polygon(r, file.widths, 0, out);
    at = file.polygon_bytes - r.remaining();
}

bf_point bfl_file_point(const bf_sections& file, uint32_t index) {
    return point_record(file.data + file.points_at + static_cast<size_t>(index) * point_size);
}

bf_cord bfl_file_cord(const bf_sections& file, uint32_t index) {
    return cord_record(file.data + file.cords_at + static_cast<size_t>(index) * cord_size);
}

int bfl_serialize_world(const bf_world& world, std::vector<uint8_t>& out) {
    try {
        std::vector<uint8_t> file;
        serialize(world, file);
        out = std::move(file);
        return 0;
    } catch (const format_failure& failure) {
        report(failure.text);
        return -1;
    }
}

int bfl_write_world_file(const char* path, const bf_world& world) {
    std::vector<uint8_t> bytes;
    if (bfl_serialize_world(world, bytes) != 0) return -1;
    if (!path) {
        report(plat_format(bf_texts::write_failed, "(null)"));
        return -1;
    }
    if (plat_write_file(path, bytes.data(), bytes.size()) != PLAT_WRITE_OK) {
        report(plat_format(bf_texts::write_failed, path));
        return -1;
    }
    return 0;
}

int bfl_read_world_file(const char* path, bf_world& out) {
    char* buffer = nullptr;
    int size = 0;
    if (!path || file_to_memory(path, &buffer, &size) != 0) {
        report(plat_format(bf_texts::not_found, path ? path : "(null)"));
        return -1;
    }
    const int result = bfl_parse_world(reinterpret_cast<const uint8_t*>(buffer), static_cast<size_t>(size), out);
    engine_free(buffer);
    return result;
}
