// Binary world files: generator-made fixtures parse as written, round trips are exact, damaged
// files are refused with one report line, and writing never harms the previous file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "../common/files.h"
#include "formats/binary_format.h"
#include "foundation/errors.h"
#include "platform/numbers.h"

namespace fs = std::filesystem;

namespace {

const fs::path fixtures = DROVIK_FORMATS_FIXTURES;

bf_world parse_fixture(const char* name) {
    const std::vector<uint8_t> bytes = read_file_bytes(fixtures / name);
    bf_world world;
    EXPECT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(bfl_parse_world(bytes.data(), bytes.size(), world), 0) << name << ": " << engine_get_last_error();
    return world;
}

std::string last_error_of(const std::string& text) {
    return text.substr(0, 59);  // the last error keeps 59 characters
}

int32_t header_field(const std::vector<uint8_t>& file, int offset) {
    return static_cast<int32_t>(file[offset] | file[offset + 1] << 8 | file[offset + 2] << 16 |
                                static_cast<uint32_t>(file[offset + 3]) << 24);
}

// A minimal sound world: one group, one triangle.
bf_world one_triangle_world(int points) {
    bf_world w;
    w.group_names = {"g"};
    w.groups = {{1, 0, 0}};
    for (int i = 0; i < points; ++i) w.points.push_back({float(i), 0, 0, 1, 2, 3, 0, 0, 0});
    w.cords = {{0, 0}};
    bf_polygon p;
    p.points = {0, 1, 2};
    p.cords = {0, 0, 0};
    w.polygons = {p};
    return w;
}

class temp_folder {
public:
    temp_folder() {
        path_ = fs::temp_directory_path() / ("drovik_formats_" + std::to_string(std::random_device{}()));
        fs::create_directories(path_);
    }
    ~temp_folder() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

TEST(BinaryFormatParse, SmallWorldHoldsWhatTheGeneratorWrote) {
    const bf_world w = parse_fixture("small.drovik");
    EXPECT_EQ(w.points.size(), 6u);
    EXPECT_EQ(w.cords.size(), 5u);
    EXPECT_EQ(w.bitmap_names, (std::vector<std::string>{"brick", "glass"}));
    EXPECT_EQ(w.group_names, (std::vector<std::string>{"world", "house", "roof"}));
    EXPECT_EQ(w.polygon_names, (std::vector<std::string>{"wall", "window"}));
    ASSERT_EQ(w.groups.size(), 3u);
    EXPECT_EQ(w.groups[2].father, 2u);
    EXPECT_EQ(w.groups[1].object_parameters, 1);
    EXPECT_EQ(w.top_group, 0);

    const bf_point& p5 = w.points[5];
    EXPECT_FLOAT_EQ(p5.x, -2.5f);
    EXPECT_FLOAT_EQ(p5.y, 7.25f);
    EXPECT_FLOAT_EQ(p5.z, 1000.0f);
    EXPECT_EQ(p5.normal_x, 127);
    EXPECT_EQ(w.points[3].normal_y, -127);
    EXPECT_FLOAT_EQ(w.cords[4].y, 2.0f);

    ASSERT_EQ(w.polygons.size(), 4u);
    const bf_polygon& triangle = w.polygons[0];
    EXPECT_EQ(triangle.next, 4u);
    EXPECT_EQ(triangle.next_patch, 2u);
    EXPECT_EQ(triangle.name, 1u);
    EXPECT_EQ(triangle.group, 2u);
    EXPECT_EQ(triangle.bitmap_name, 1u);
    EXPECT_EQ(triangle.kind_word & bf_layout::kind_orientation, 4u);
    EXPECT_EQ(triangle.transparent_index, -1);
    EXPECT_EQ(triangle.points, (std::vector<uint32_t>{0, 1, 2}));
    const bf_polygon& patch = w.polygons[1];
    EXPECT_EQ(patch.patch_kind, 2);
    EXPECT_EQ(patch.previous_patch, 1u);
    EXPECT_EQ(patch.diffuse, 11);
    EXPECT_EQ(patch.specular, 12);
    const bf_polygon& quad = w.polygons[2];
    EXPECT_EQ(quad.red, 10);
    EXPECT_EQ(quad.blue, 30);
    EXPECT_FLOAT_EQ(quad.light_diminution, 0.5f);
    EXPECT_EQ(quad.transparent_index, 7);
    EXPECT_EQ(quad.ambient, 40);
    EXPECT_EQ(quad.diffuse, bf_layout::default_diffuse);
    EXPECT_EQ(quad.specular_shining, 9);
    EXPECT_EQ(quad.family_head, 4u);
    EXPECT_EQ(quad.points.size(), 4u);
    const bf_polygon& pentagon = w.polygons[3];
    EXPECT_EQ(pentagon.transparent_index, 0);
    EXPECT_EQ(pentagon.animation, 1u);
    EXPECT_EQ(pentagon.blending, 3);
    EXPECT_EQ(pentagon.family_head, 4u);
    EXPECT_EQ(pentagon.family_next, 3u);
    EXPECT_FLOAT_EQ(pentagon.centre[1], 75.0f);
    EXPECT_FLOAT_EQ(pentagon.light_diminution, bf_layout::default_diminution);
    EXPECT_EQ(pentagon.points, (std::vector<uint32_t>{0, 1, 2, 4, 5}));
    EXPECT_EQ(pentagon.cords, (std::vector<uint32_t>{0, 1, 2, 4, 4}));

    ASSERT_EQ(w.bsp_nodes.size(), 3u);
    EXPECT_EQ(w.bsp_nodes[0].right, 2u);
    EXPECT_EQ(w.bsp_nodes[0].left, 3u);
    EXPECT_EQ(w.bsp_nodes[1].first_polygon, 3u);
    EXPECT_EQ(w.bsp_nodes[2].first_polygon, 0u);
    EXPECT_FLOAT_EQ(w.bsp_nodes[0].plane[3], -5.0f);

    ASSERT_EQ(w.cameras.size(), 1u);
    const bf_camera& c = w.cameras[0];
    EXPECT_EQ(c.name, "cam1");
    EXPECT_EQ(c.track.name, "line");
    EXPECT_FALSE(c.chase.name.has_value());
    EXPECT_EQ(c.chase.type, "NO_CHASE");
    EXPECT_EQ(c.width, 320);
    EXPECT_EQ(c.height, 200);
    EXPECT_FLOAT_EQ(c.rotation[2], 0.25f);
    EXPECT_FLOAT_EQ(c.friction, 0.2f);

    ASSERT_EQ(w.tracks.size(), 1u);
    EXPECT_EQ(w.tracks[0].name, "line");
    EXPECT_EQ(w.tracks[0].cyclic, 1);
    EXPECT_EQ(w.tracks[0].points, (std::vector<float>{0, 0, 0, 10, 0, 0, 10, 10, 0}));

    ASSERT_EQ(w.dynamic_objects.size(), 1u);
    const bf_dynamic_object& d = w.dynamic_objects[0];
    EXPECT_EQ(d.name, "train");
    EXPECT_FALSE(d.father_name.has_value());
    EXPECT_EQ(d.chase.type, "CHASE_PRECISE");
    EXPECT_EQ(d.polygons, (std::vector<uint32_t>{1, 2}));
    EXPECT_FLOAT_EQ(d.location[2], 7.0f);
    EXPECT_FLOAT_EQ(d.max_speed, 99.0f);

    ASSERT_EQ(w.animations.size(), 1u);
    const bf_animation& a = w.animations[0];
    EXPECT_EQ(a.name, "flash");
    EXPECT_EQ(a.durations, (std::vector<int32_t>{10, 20}));
    ASSERT_TRUE(a.lists[0].has_value());
    EXPECT_EQ((*a.lists[0])[0].bitmap_name, "lamp_off");
    EXPECT_EQ((*a.lists[0])[0].transparent_index, 5);
    EXPECT_EQ((*a.lists[0])[1].flag, 1);
    EXPECT_FALSE(a.lists[2].has_value());
    ASSERT_TRUE(a.lists[4].has_value());
    EXPECT_FALSE((*a.lists[4])[1].bitmap_name.has_value());

    ASSERT_EQ(w.backgrounds.size(), 1u);
    EXPECT_EQ(w.backgrounds[0].bitmap_name, "clouds");
    EXPECT_EQ(w.backgrounds[0].type, 10);
    ASSERT_EQ(w.lights.size(), 1u);
    EXPECT_EQ(w.lights[0].target_kind, bf_layout::target_group);
    EXPECT_EQ(w.lights[0].target_index, 2);
    EXPECT_EQ(w.lights[0].green, 240);

    ASSERT_TRUE(w.settings.has_value());
    EXPECT_EQ(w.settings->brightness, -3);
    EXPECT_EQ(w.settings->render_group, 2);
    EXPECT_EQ(w.settings->atmosphere[2], 30);
    EXPECT_EQ(w.settings->default_pixel, 0x1234);
    EXPECT_EQ(w.settings->min_render_time, 5);
}

TEST(BinaryFormatParse, WideWorldUsesTwoByteIndices) {
    const bf_world w = parse_fixture("wide.drovik");
    ASSERT_EQ(w.points.size(), 300u);
    ASSERT_EQ(w.polygons.size(), 260u);
    EXPECT_EQ(w.polygons[0].next, 2u);
    EXPECT_EQ(w.polygons[257].next, 259u);
    EXPECT_EQ(w.polygons[258].next, 0u);
    EXPECT_EQ(w.polygons[258].points, (std::vector<uint32_t>{258, 259, 260}));
    const bf_polygon& big = w.polygons[259];
    ASSERT_EQ(big.points.size(), 300u);
    EXPECT_EQ(big.points.front(), 299u);
    EXPECT_EQ(big.points.back(), 0u);
    EXPECT_TRUE(big.kind_word & bf_layout::kind_many_points);
    EXPECT_FALSE(w.settings->render_group);
}

TEST(BinaryFormatParse, LeftOutSectionsStayLeftOut) {
    const bf_world w = parse_fixture("left_out.drovik");
    EXPECT_FALSE(w.cameras_saved);
    EXPECT_FALSE(w.tracks_saved);
    EXPECT_FALSE(w.backgrounds_saved);
    EXPECT_FALSE(w.lights_saved);
    EXPECT_TRUE(w.bsp_nodes.empty());
    std::vector<uint8_t> bytes;
    ASSERT_EQ(bfl_serialize_world(w, bytes), 0);
    EXPECT_EQ(header_field(bytes, 48), 0);  // camera record size
    EXPECT_EQ(header_field(bytes, 124), 0);  // light record size
    EXPECT_EQ(header_field(bytes, 16), bf_layout::settings_size);
}

// serialize(parse(file)) gives the generator's bytes back, and parsing them again the same world.
TEST(BinaryFormatRoundTrip, GeneratorFilesComeBackByteForByte) {
    for (const char* name : {"small.drovik", "wide.drovik", "left_out.drovik", "full.drovik"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> original = read_file_bytes(fixtures / name);
        bf_world first;
        ASSERT_EQ(bfl_parse_world(original.data(), original.size(), first), 0);
        std::vector<uint8_t> once, twice;
        ASSERT_EQ(bfl_serialize_world(first, once), 0);
        ASSERT_EQ(bfl_serialize_world(first, twice), 0);
        EXPECT_EQ(once, twice);
        EXPECT_EQ(once, original);
        bf_world second;
        ASSERT_EQ(bfl_parse_world(once.data(), once.size(), second), 0);
        EXPECT_EQ(second, first);
    }
}

TEST(BinaryFormatWrite, PolygonRecordsTakeOnlyTheirParts) {
    struct size_case {
        int world_points;
        int polygon_points;
        uint32_t presence;
        int32_t expected_section;
    };
    // Default parts cost nothing: 8 bytes plus the two index lists.
    const size_case cases[] = {
        {200, 3, 0, 8 + 3 + 3},
        {300, 3, 0, 8 + 3 * 2 + 3},
        {200, 5, 0, 8 + 1 + 5 + 5},
        {300, 300, 0, 8 + 2 + 300 * 2 + 300},
        {200, 3, bf_layout::has_family_head, 8 + 1 + 12 + 3 + 3},
    };
    for (const size_case& c : cases) {
        SCOPED_TRACE(c.polygon_points);
        bf_world w = one_triangle_world(c.world_points);
        bf_polygon& p = w.polygons[0];
        p.presence = c.presence;
        p.points.resize(static_cast<size_t>(c.polygon_points));
        for (size_t i = 0; i < p.points.size(); ++i) p.points[i] = static_cast<uint32_t>(i);
        p.cords.assign(p.points.size(), 0);
        std::vector<uint8_t> bytes;
        ASSERT_EQ(bfl_serialize_world(w, bytes), 0);
        EXPECT_EQ(header_field(bytes, 24), c.expected_section);
        bf_world back;
        ASSERT_EQ(bfl_parse_world(bytes.data(), bytes.size(), back), 0);
        EXPECT_EQ(back.polygons[0].points, p.points);
    }
}

TEST(BinaryFormatWrite, SectionsFollowTheFileOrder) {
    const std::vector<uint8_t> bytes = read_file_bytes(fixtures / "small.drovik");
    // Offsets of points, cords, bitmap names, group names, groups, polygon names, polygons, BSP,
    // cameras, tracks, dynamic objects, animations, backgrounds, lights, settings.
    const int offset_fields[] = {156, 168, 180, 92, 80, 192, 32, 44, 56, 68, 108, 120, 144, 132, 20};
    int previous = 0;
    for (int field : offset_fields) {
        EXPECT_GT(header_field(bytes, field), previous) << field;
        previous = header_field(bytes, field);
    }
    EXPECT_EQ(header_field(bytes, 156), bf_layout::header_size);
    EXPECT_EQ(previous + bf_layout::settings_size, static_cast<int>(bytes.size()));
}

struct damaged_case {
    const char* file;
    std::string report;
};

TEST(BinaryFormatParse, DamagedFilesAreRefusedWithOneLine) {
    const damaged_case cases[] = {
        {"truncated_header.drovik", "bfl_read_world: the file is shorter than its header\n"},
        {"tiny.drovik", "bfl_read_world: This is not a Drovik file\n"},
        {"bad_magic.drovik", "bfl_read_world: This is not a Drovik file\n"},
        {"version_4_6.drovik", "bfl_read_world: file version is 4,6 but this program can only open version 4,5\n"},
        {"section_past_end.drovik", "bfl_read_world: the points section lies outside the file\n"},
        {"section_offset_past_end.drovik", "bfl_read_world: the cameras section lies outside the file\n"},
        {"negative_count.drovik", "bfl_read_world: the groups section lies outside the file\n"},
        {"wrong_record_size.drovik", "bfl_read_world: the cameras section has records of 160 bytes\n"},
        {"string_past_end.drovik", "bfl_read_world: a string of the cameras section lies outside the file\n"},
        {"string_unterminated.drovik", "bfl_read_world: a string of the cameras section lies outside the file\n"},
        {"name_table_short.drovik", "bfl_read_world: the group names table holds fewer names than its count\n"},
        {"polygon_section_short.drovik", "bfl_read_world: polygon 4 runs past the polygon section\n"},
        {"father_out_of_range.drovik", "bfl_read_world: an index of the groups section is out of range\n"},
        {"point_index_out_of_range.drovik", "bfl_get_polygon_point: poly_point_index out of range"},
        {"bsp_child_out_of_range.drovik", "bfl_read_world: an index of the BSP nodes section is out of range\n"},
        {"top_group_out_of_range.drovik", "bfl_read_world: invalid top_group index\n"},
        {"light_target_out_of_range.drovik", "bfl_read_world: an index of the lights section is out of range\n"},
        {"polygon_cycle.drovik", "bfl_read_world: the polygons section has cyclic links\n"},
        {"bsp_cycle.drovik", "bfl_read_world: the BSP nodes section has cyclic links\n"},
        {"group_cycle.drovik", "bfl_read_world: the groups section has cyclic links\n"},
        {"shared_list.drovik", "bfl_read_world: the BSP nodes section has shared links\n"},
        {"patch_cycle.drovik", "bfl_read_world: the polygons section has cyclic links\n"},
        {"group_name_out_of_range.drovik", "bfl_read_world: an index of the groups section is out of range\n"},
        {"polygon_name_out_of_range.drovik", "bfl_read_world: an index of the polygons section is out of range\n"},
        {"track_points_past_end.drovik", "bfl_read_world: data of the tracks section lies outside the file\n"},
        {"object_polygon_zero.drovik", "bfl_read_world: an index of the dynamic objects section is out of range\n"},
        {"durations_past_end.drovik", "bfl_read_world: data of the animations section lies outside the file\n"},
    };
    const bf_world sentinel = one_triangle_world(3);
    for (const damaged_case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> bytes = read_file_bytes(fixtures / "damaged" / c.file);
        ASSERT_FALSE(bytes.empty());
        const int errors_before = engine_get_error_count();
        bf_world out = sentinel;
        EXPECT_EQ(bfl_parse_world(bytes.data(), bytes.size(), out), -1);
        EXPECT_EQ(out, sentinel);
        EXPECT_EQ(engine_get_error_count(), errors_before + 1);
        EXPECT_EQ(engine_get_last_error(), last_error_of(c.report));
    }
}

TEST(BinaryFormatParse, EveryTruncationOfAGoodFileIsRefused) {
    const std::vector<uint8_t> bytes = read_file_bytes(fixtures / "small.drovik");
    for (size_t size = 0; size < bytes.size(); ++size) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(size));
        bf_world out;
        EXPECT_EQ(bfl_parse_world(cut.data(), cut.size(), out), -1) << size;
    }
    bf_world out;
    EXPECT_EQ(bfl_parse_world(nullptr, 0, out), -1);
}

TEST(BinaryFormatWrite, UnsoundWorldsAreNotSerialized) {
    struct unsound_case {
        const char* what;
        void (*spoil)(bf_world&);
        std::string report;
    };
    const unsound_case cases[] = {
        {"point index", [](bf_world& w) { w.polygons[0].points[2] = 3; },
         "bfl_get_polygon_point: poly_point_index out of range"},
        {"cord index", [](bf_world& w) { w.polygons[0].cords[1] = 1; },
         "bfl_get_polygon_texture_coord: poly_point_index out of range"},
        {"group link", [](bf_world& w) { w.polygons[0].group = 2; },
         "bfl_read_world: an index of the polygons section is out of range\n"},
        {"cycle",
         [](bf_world& w) {
             w.polygons[0].presence = bf_layout::has_next;
             w.polygons[0].next = 1;
         },
         "bfl_read_world: the polygons section has cyclic links\n"},
        {"left out",
         [](bf_world& w) {
             w.cameras_saved = false;
             w.cameras.resize(1);
         },
         "engine_save_drovik_binary_format: a section left out holds records\n"},
        {"transparency", [](bf_world& w) { w.polygons[0].transparent_index = 4; },
         "bfl_read_world: polygon 1 has a transparent index its kind word cannot hold\n"},
        {"name with NUL", [](bf_world& w) { w.group_names[0] = std::string("a\0b", 3); },
         "engine_save_drovik_binary_format: a name holds a NUL character\n"},
        {"top group", [](bf_world& w) { w.top_group = 1; }, "bfl_read_world: invalid top_group index\n"},
    };
    for (const unsound_case& c : cases) {
        SCOPED_TRACE(c.what);
        bf_world w = one_triangle_world(3);
        c.spoil(w);
        std::vector<uint8_t> bytes = {1, 2, 3};
        EXPECT_EQ(bfl_serialize_world(w, bytes), -1);
        EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3}));
        EXPECT_EQ(engine_get_last_error(), last_error_of(c.report));
    }
}

TEST(BinaryFormatFile, WrittenFileReadsBack) {
    temp_folder folder;
    const bf_world w = parse_fixture("small.drovik");
    const std::string path = (folder.path() / "world.drovik").string();
    ASSERT_EQ(bfl_write_world_file(path.c_str(), w), 0);
    bf_world back;
    ASSERT_EQ(bfl_read_world_file(path.c_str(), back), 0);
    EXPECT_EQ(back, w);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
    EXPECT_EQ(bfl_read_world_file((folder.path() / "missing.drovik").string().c_str(), back), -1);
}

TEST(BinaryFormatFile, FailedWriteLeavesTheOldFileWhole) {
    temp_folder folder;
    const fs::path path = folder.path() / "world.drovik";
    const std::vector<uint8_t> old_bytes = {'o', 'l', 'd'};
    std::ofstream(path, std::ios::binary).write("old", 3);
    // The temporary file cannot be created where a folder of that name stands.
    fs::create_directory(path.string() + ".tmp");
    const bf_world w = parse_fixture("small.drovik");
    EXPECT_EQ(bfl_write_world_file(path.string().c_str(), w), -1);
    EXPECT_EQ(engine_get_last_error(),
              last_error_of("engine_save_drovik_binary_format: failed writing " + path.string() + "\n"));
    EXPECT_EQ(read_file_bytes(path), old_bytes);
    EXPECT_TRUE(fs::is_directory(path.string() + ".tmp"));

    // An unsound world never reaches the disk.
    bf_world bad = w;
    bad.top_group = 7;
    fs::remove(path.string() + ".tmp");
    EXPECT_EQ(bfl_write_world_file(path.string().c_str(), bad), -1);
    EXPECT_EQ(read_file_bytes(path), old_bytes);
    EXPECT_FALSE(fs::exists(path.string() + ".tmp"));
}

// A file-size limit stands in for a full disk: the write fails part way, the old file stays whole
// and no temporary is left.
TEST(BinaryFormatFile, WriteCutShortLeavesTheOldFileWhole) {
    temp_folder folder;
    const fs::path path = folder.path() / "world.drovik";
    std::ofstream(path, std::ios::binary).write("old", 3);
    const bf_world w = parse_fixture("small.drovik");
    const int result = with_file_size_limit(200, [&] { return bfl_write_world_file(path.string().c_str(), w); });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(read_file_bytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_FALSE(fs::exists(path.string() + ".tmp"));
}

TEST(BinaryFormatFile, FailedRenameRemovesTheTemporary) {
    temp_folder folder;
    const fs::path target = folder.path() / "taken.drovik";
    fs::create_directories(target / "inside");
    EXPECT_EQ(bfl_write_world_file(target.string().c_str(), one_triangle_world(3)), -1);
    EXPECT_TRUE(fs::is_directory(target / "inside"));
    EXPECT_FALSE(fs::exists(target.string() + ".tmp"));
}

}  // namespace
