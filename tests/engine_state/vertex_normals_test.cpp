// Vertex normals gathered over coinciding points: saves of generated worlds must stay byte for
// byte what the point-by-point scan wrote (the golden files in tests/data/vertex_normals).
#include "state_fixture.h"

#include <array>
#include <filesystem>
#include <random>
#include <vector>

#include "formats/world_formats.h"

using namespace state_test;

namespace {

const std::filesystem::path golden_folder = std::filesystem::path(DROVIK_TEST_DATA) / "vertex_normals";

// Evenly spread values from the generator's raw output (the same on every library).
double uniform(std::mt19937& random, double low, double high) {
    return low + (high - low) * static_cast<double>(random() % 1000000) / 1000000.0;
}

void add_box(module* m, double x, double y, double z, double w, double d, double h) {
    const vec3 c[8] = {{x, y, z},         {x + w, y, z},         {x + w, y + d, z},     {x, y + d, z},
                       {x, y, z + h},     {x + w, y, z + h},     {x + w, y + d, z + h}, {x, y + d, z + h}};
    static constexpr int faces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                        {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    for (const auto& f : faces) add_polygon(m, {c[f[0]], c[f[1]], c[f[2]], c[f[3]]});
}

// Boxes on a grid that touch their neighbours, so corners are shared between boxes.
void touching_boxes() {
    module* main = add_module("MAIN");
    for (int i = 0; i < 6; ++i) {
        for (int j = 0; j < 6; ++j) add_box(main, i * 100.0, j * 100.0, 0, 100, 100, 40.0 + 10 * ((i + j) % 3));
    }
}

// Oblique triangle fans around random centres: each centre and rim point shared by several faces.
void random_fans() {
    std::mt19937 random(71);
    module* main = add_module("MAIN");
    for (int fan = 0; fan < 30; ++fan) {
        const vec3 centre{uniform(random, -1000, 1000), uniform(random, -1000, 1000), uniform(random, 0, 300)};
        std::vector<vec3> rim;
        for (int k = 0; k < 7; ++k) {
            const double angle = k * 2 * 3.141592653589793 / 7;
            rim.push_back({centre.x + 80 * std::cos(angle), centre.y + 80 * std::sin(angle),
                           centre.z + uniform(random, -60, 60)});
        }
        for (int k = 0; k < 7; ++k) add_polygon(main, {centre, rim[k], rim[(k + 1) % 7]});
    }
}

// Corners a hair apart: 6e-11 steps chain points within the 1e-10 tolerance without every pair
// being within it, and some copies lie just outside it.
void near_points() {
    std::mt19937 random(5);
    module* main = add_module("MAIN");
    for (int cluster = 0; cluster < 25; ++cluster) {
        const vec3 at{uniform(random, -500, 500), uniform(random, -500, 500), uniform(random, -500, 500)};
        for (int k = 0; k < 6; ++k) {
            const double step = (k % 3) * 6e-11 + (k == 5 ? 1.5e-10 : 0);
            const vec3 corner{at.x + step, at.y - step, at.z};
            const double angle = k * 3.141592653589793 / 3;
            const vec3 b{at.x + 50 * std::cos(angle), at.y + 50 * std::sin(angle), at.z + uniform(random, -20, 20)};
            const vec3 c{at.x + 50 * std::cos(angle + 1), at.y + 50 * std::sin(angle + 1), at.z + 30};
            add_polygon(main, {corner, b, c});
        }
        add_floor(main, at.x, at.y, at.z, 30);
    }
}

// Two cars (boxes in their own modules) on a floor: their normals are averaged in their own space.
void cars() {
    module* main = add_module("MAIN");
    add_floor(main, 0, 0, 0, 500);
    add_box(main, 50, 50, 0, 100, 100, 100);
    add_box(add_module("CAR"), -20, -10, 0, 40, 20, 15);
    add_box(add_module("VAN"), -30, -12, 0, 60, 24, 25);
    add_dynamic(main, "car1", "CAR");
    add_dynamic(main, "van1", "VAN");
}

struct golden_case {
    const char* name;
    void (*build)();
    uint32_t flags;
};

void PrintTo(const golden_case& c, std::ostream* out) { *out << c.name; }

class VertexNormals : public StateTest, public ::testing::WithParamInterface<golden_case> {};

TEST_P(VertexNormals, SavesMatchTheGoldenFiles) {
    const golden_case& c = GetParam();
    scene() = c.build;
    ASSERT_EQ(load((std::string(c.name) + ".wld").c_str(), c.flags), 0) << engine_get_last_error();
    // Saved under a path relative to the test's folder: the file records the path it was saved to.
    const std::filesystem::path saved = folder.filename() / (std::string(c.name) + ".drovik");
    ASSERT_EQ(std::filesystem::current_path(), std::filesystem::path(DROVIK_TEST_BINARY_DIR));
    ASSERT_EQ(engine_save(saved.string().c_str(), nullptr, 0), 0) << engine_get_last_error();
    const std::string golden = read_file((golden_folder / (std::string(c.name) + ".drovik")).string());
    ASSERT_FALSE(golden.empty()) << "missing golden file for " << c.name;
    EXPECT_TRUE(read_file(saved.string()) == golden) << c.name << " differs from its golden file";
}

INSTANTIATE_TEST_SUITE_P(Worlds, VertexNormals,
                         ::testing::Values(golden_case{"touching_boxes", touching_boxes, load_flags::editor},
                                           golden_case{"random_fans", random_fans, load_flags::editor},
                                           golden_case{"near_points", near_points, load_flags::editor},
                                           golden_case{"cars", cars, load_flags::no_bsp_for_main}),
                         [](const auto& info) { return std::string(info.param.name); });

// A floor and a wall meet along an edge whose corners lie 3e-11 apart on each axis, within the
// 1e-10 tolerance, on either side of places whole, fractional, negative and far out: after a save
// the meeting corners carry one normal, the average of both faces, unlike a corner of the floor alone.
class VertexNormalsAlongAnEdge : public StateTest, public ::testing::WithParamInterface<double> {};

TEST_P(VertexNormalsAlongAnEdge, MeetingCornersShareTheirNormal) {
    const double x = GetParam(), h = 1.5e-11;
    static polygon *floor, *wall;
    scene() = [x, h] {
        module* main = add_module("MAIN");
        floor = add_polygon(main, {{x - 50, x - 50, 0}, {x - h, x - 50 - h, 0}, {x - h, x + 50 - h, 0},
                                   {x - 50, x + 50, 0}});
        wall = add_polygon(main, {{x + h, x - 50 + h, 0}, {x + h, x + 50 + h, 0}, {x + h, x + 50, 40},
                                  {x + h, x - 50, 40}});
    };
    ASSERT_EQ(load("edge.wld", load_flags::editor), 0) << engine_get_last_error();
    const std::filesystem::path saved = folder.filename() / "edge.drovik";
    ASSERT_EQ(engine_save(saved.string().c_str(), nullptr, 0), 0) << engine_get_last_error();
    auto normal_of = [](const polygon* p, int corner) {
        const point* pt = p->points;
        for (int k = 0; k < corner; ++k) pt = pt->next;
        return std::array<int, 3>{pt->normal_x, pt->normal_y, pt->normal_z};
    };
    const std::array<int, 3> alone = normal_of(floor, 0);
    EXPECT_NE(alone, (std::array<int, 3>{0, 0, 0}));
    for (const auto& [on_floor, on_wall] : {std::pair{1, 0}, std::pair{2, 1}}) {
        EXPECT_EQ(normal_of(floor, on_floor), normal_of(wall, on_wall)) << "floor corner " << on_floor;
        EXPECT_NE(normal_of(floor, on_floor), alone) << "floor corner " << on_floor;
    }
}

INSTANTIATE_TEST_SUITE_P(Places, VertexNormalsAlongAnEdge,
                         ::testing::Values(0.0, 1.0, 0.00048828125, 0.0009765625, -0.00048828125,
                                           400.00048828125));

}  // namespace
