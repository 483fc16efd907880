// The world order, picking the polygon under a window point, and terrain from a height bitmap.
#include "state_fixture.h"

#include <algorithm>
#include <climits>
#include <set>
#include <vector>

#include "../common/bmp_writer.h"
#include "startup.h"
#include "world/camera.h"
#include "world/picking.h"
#include "world/polygon_geometry.h"
#include "world/polygon_patch.h"
#include "world/terrain.h"
#include "world/world_order.h"

using namespace state_test;

namespace {

void collect(bsp_node* node, std::vector<polygon*>& out) {
    if (!node) return;
    for (polygon* p = node->polygons; p; p = p->next) out.push_back(p);
    collect(node->front, out);
    collect(node->back, out);
}

// Two walls facing the default camera (at the origin, looking along -x) and a car module.
void build_gallery() {
    module* main = add_module("MAIN");
    add_wall_x(main, -100, 0, 0, 30, "near");
    add_wall_x(main, -200, 0, 0, 100, "far");
    add_floor(main, -150, 0, -150, 300, "ground");
    add_floor(add_module("CAR"), 300, 300, -140, 5, "car_roof");
    add_dynamic(main, "car1", "CAR");
}

// A Windows bitmap of grey levels given top row first (palette index = grey for 8 bits).
void write_bmp(const std::filesystem::path& path, int width, int height, int bits, const std::vector<int>& grey) {
    bmp_image image{width, height, bits, 40, {}, {}};
    if (bits == 8) {
        for (uint32_t i = 0; i < 256; ++i) image.palette.push_back(i * 0x010101);
    }
    for (int g : grey) {
        const uint32_t level = static_cast<uint8_t>(g);
        image.pixels.push_back(bits == 8 ? level : bits == 16 ? level * 0x0101 : level * 0x010101);
    }
    std::ofstream(path, std::ios::binary) << bmp_bytes(image);
}

std::vector<polygon*> group_polygons(const group* g) {
    std::vector<polygon*> out;
    for (polygon* p = engine_state.main_module->root->polygons; p; p = p->next) {
        if (p->owner_group == g) out.push_back(p);
    }
    return out;
}

class TerrainTest : public StateTest {
protected:
    void SetUp() override {
        StateTest::SetUp();
        ASSERT_EQ(load(nullptr, load_flags::editor), 0);
    }
    std::string bmp(const char* name) const { return (folder / name).string(); }
};

}  // namespace

TEST_F(StateTest, WorldOrderVisitsEveryPolygonOfEveryModuleOnce) {
    scene() = build_gallery;
    ASSERT_EQ(load("gallery.wld", load_flags::bsp_for_others), 0);
    std::vector<polygon*> trees;
    for (module* m = engine_state.modules; m; m = m->next) collect(m->root, trees);
    std::vector<polygon*> walked;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) walked.push_back(p);
    EXPECT_EQ(walked.size(), trees.size());
    EXPECT_EQ(std::set<polygon*>(walked.begin(), walked.end()), std::set<polygon*>(trees.begin(), trees.end()));
    EXPECT_EQ(count_world_polygons(), static_cast<int>(trees.size()));
    EXPECT_EQ(get_next_polygon(nullptr), nullptr);
}

TEST_F(StateTest, EditorModeWalksThePlainList) {
    scene() = build_gallery;
    ASSERT_EQ(load("gallery.wld", load_flags::editor), 0);
    polygon* first = get_first_polygon();
    ASSERT_EQ(first, engine_state.main_module->root->polygons);
    int n = 0;
    for (polygon* p = first; p; p = get_next_polygon(p)) {
        EXPECT_EQ(get_next_polygon(p), p->next);
        n++;
    }
    EXPECT_EQ(n, 4);  // the car became a static part of the world
}

TEST_F(StateTest, PickingFindsTheNearestPolygonUnderThePoint) {
    scene() = build_gallery;
    ASSERT_EQ(load("gallery.wld"), 0);
    camera* c = get_current_camera();
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->name, "default_camera");

    vec3 at{};
    polygon* hit = nullptr;
    dynamic_object* object = nullptr;
    ASSERT_EQ(engine_2D_point_to_3D(50, 50, at, &hit, &object, 100, 100), 0);
    ASSERT_NE(hit, nullptr);
    EXPECT_STREQ(hit->name, "near");
    EXPECT_NEAR(at.x, -100, 1e-6);
    EXPECT_NEAR(at.y, 0, 1e-6);
    EXPECT_EQ(object, nullptr);

    // 20 pixels left of the middle: past the near wall's edge, onto the far one.
    ASSERT_EQ(engine_2D_point_to_3D(60, 100, at, &hit, nullptr, 200, 200), 0);
    EXPECT_STREQ(hit->name, "far");
    EXPECT_NEAR(at.x, -200, 1e-6);
    EXPECT_NEAR(at.y, -80, 1e-6);
    EXPECT_EQ(engine_mark_polygon_at_point(30, 50, 100, 100), hit);

    // Upper left corner: the ray misses everything.
    EXPECT_EQ(engine_2D_point_to_3D(0, 0, at, &hit, nullptr, 100, 100), -1);
    EXPECT_EQ(hit, nullptr);
    EXPECT_NEAR(at.x, c->focal_length * 1e6, 1e-3);
    EXPECT_NEAR(at.y, -50e6, 1e-3);
    EXPECT_NEAR(at.z, 50e6, 1e-3);
    EXPECT_EQ(engine_mark_polygon_at_point(0, 0, 100, 100), nullptr);

    EXPECT_EQ(engine_2D_point_to_3D_point_on_plane(c, 0, 0, at, 0, 100), -1);
    EXPECT_EQ(engine_2D_point_to_3D_point_on_plane(nullptr, 0, 0, at, 100, 100), -1);
}

TEST_F(StateTest, PickingHitsADynamicObjectWhereItStands) {
    scene() = [] {
        module* main = add_module("MAIN");
        add_floor(main, 0, 0, -500, 1000, "ground");
        // The board's front faces the camera: without a tree of its own only front faces are hit.
        polygon_flip_visible_side(add_wall_x(add_module("BOARD"), 0, 0, 0, 20, "board"));
        dynamic_object* d = add_dynamic(main, "sign", "BOARD");
        dynamic_set_location(d, {-300, 0, 0});
    };
    ASSERT_EQ(load("board.wld"), 0);
    vec3 at{};
    polygon* hit = nullptr;
    dynamic_object* object = nullptr;
    ASSERT_EQ(engine_2D_point_to_3D(50, 50, at, &hit, &object, 100, 100), 0);
    EXPECT_STREQ(hit->name, "board");
    EXPECT_EQ(object, get_dynamic_objects());
    EXPECT_NEAR(at.x, -300, 1e-6);
}

TEST_F(TerrainTest, GradientBitmapGivesTheGridOfTriangles) {
    std::vector<int> grey(16);
    for (int i = 0; i < 16; ++i) grey[static_cast<size_t>(i)] = i * 16;
    for (int bits : {24, 8}) {
        SCOPED_TRACE(bits);
        write_bmp(bmp("hills.bmp"), 4, 4, bits, grey);
        const int counted = polygon_get_count();
        group* g = engine_create_terrain_group_from_bitmap(bmp("hills.bmp").c_str(), 1, 18);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(polygon_get_count() - counted, 8);  // every triangle is counted as the world takes it
        EXPECT_STREQ(g->given_name, "Terrain");
        const std::vector<polygon*> triangles = group_polygons(g);
        ASSERT_EQ(triangles.size(), 8u);  // 3 x 3 points, 2 x 2 cells
        double low = 1e9, high = -1e9, min_x = 1e9, max_y = -1e9;
        for (const polygon* p : triangles) {
            EXPECT_EQ(p->point_count, 3);
            for (const point* pt = p->points; pt; pt = pt->next) {
                low = std::min(low, pt->z);
                high = std::max(high, pt->z);
                min_x = std::min(min_x, pt->x);
                max_y = std::max(max_y, pt->y);
                EXPECT_EQ(pt->z, std::floor(pt->z));
            }
        }
        EXPECT_EQ(low, -1000);
        EXPECT_EQ(high, 1000);
        EXPECT_EQ(min_x, -1000);
        EXPECT_EQ(max_y, 1000);
        // The first triangle of the first cell: (1, 1), (0, 1), (0, 0).
        const point* first = triangles.front()->points;
        EXPECT_EQ(first->x, 0);
        EXPECT_EQ(first->y, 0);
    }
}

TEST_F(TerrainTest, FlatSmallOddAndRefusedBitmaps) {
    write_bmp(bmp("flat.bmp"), 4, 4, 24, std::vector<int>(16, 90));
    group* flat = engine_create_terrain_group_from_bitmap(bmp("flat.bmp").c_str(), 1, 18);
    ASSERT_NE(flat, nullptr);
    for (const polygon* p : group_polygons(flat)) {
        for (const point* pt = p->points; pt; pt = pt->next) EXPECT_EQ(pt->z, -1000);
    }

    group* tiny = engine_create_terrain_group_from_bitmap(bmp("flat.bmp").c_str(), 1, 2);
    ASSERT_NE(tiny, nullptr);
    EXPECT_TRUE(group_polygons(tiny).empty());

    group* huge = engine_create_terrain_group_from_bitmap(bmp("flat.bmp").c_str(), 1, INT_MAX);
    ASSERT_NE(huge, nullptr);
    EXPECT_LE(group_polygons(huge).size(), static_cast<size_t>(terrain_max_polygons));
    EXPECT_GT(group_polygons(huge).size(), static_cast<size_t>(terrain_max_polygons / 2));

    write_bmp(bmp("deep.bmp"), 4, 4, 16, std::vector<int>(16, 1));
    new_errors();
    EXPECT_EQ(engine_create_terrain_group_from_bitmap(bmp("deep.bmp").c_str(), 1, 18), nullptr);
    EXPECT_EQ(new_errors(), "engine_create_terrain_group_from_bitmap: bitmap is not 8 bits per pixel\n");
    EXPECT_EQ(engine_create_terrain_group_from_bitmap(bmp("flat.bmp").c_str(), 1, 0), nullptr);
    EXPECT_EQ(new_errors(), "engine_create_terrain_group_from_bitmap: bad source bitmap\n");
    EXPECT_EQ(engine_create_terrain_group_from_bitmap(bmp("missing.bmp").c_str(), 1, 18), nullptr);

    const std::string whole = read_file(bmp("flat.bmp"));
    std::ofstream(bmp("cut.bmp"), std::ios::binary) << whole.substr(0, whole.size() - 10);
    EXPECT_EQ(engine_create_terrain_group_from_bitmap(bmp("cut.bmp").c_str(), 1, 18), nullptr);
}

TEST_F(StateTest, TerrainOnlyInEditorMode) {
    ASSERT_EQ(load(nullptr), 0);
    write_bmp(folder / "hills.bmp", 2, 2, 24, {0, 50, 100, 150});
    EXPECT_EQ(engine_create_terrain_group_from_bitmap((folder / "hills.bmp").string().c_str(), 1, 8), nullptr);
}

TEST_F(StateTest, TreeWalkVisitsPatchesAfterTheirPolygon) {
    scene() = [] {
        module* main = add_module("MAIN");
        add_wall_x(main, -100, 0, 0, 30, "near");
        add_wall_x(main, -200, 0, 0, 100, "far");
    };
    ASSERT_EQ(load("patched.wld"), 0);
    polygon* first = get_first_polygon();
    ASSERT_NE(first, nullptr);
    polygon* patch = polygon_add_patch_easy(first, nullptr, 5, nullptr, nullptr, 255, 0, 0);
    ASSERT_NE(patch, nullptr);
    EXPECT_EQ(get_next_polygon_in_tree(first), patch);
    EXPECT_EQ(get_next_polygon_in_tree(patch), get_next_polygon(first));
    int visited = 0;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon_in_tree(p)) visited++;
    EXPECT_EQ(visited, 3);
}

TEST(Shutdown, ClosesTheWorldWithoutALeakLine) {
    engine_first_init();
    world_formats_set_reader("wld", scene_reader);
    scene() = [] {
        module* main = add_module("MAIN");
        add_wall_x(main, -100, 0, 0, 30, "near");
        add_floor(add_module("CAR"), 0, 0, 0, 5);
        add_dynamic(main, "car1", "CAR");
    };
    int count = 0;
    ASSERT_EQ(engine_load_world("shut.wld", DROVIK_TEST_BINARY_DIR, nullptr, 0, 5, 6, 5, &count), 0);
    EXPECT_EQ(count, 2);
    const std::string errors = log_directory() + "/error.log";
    engine_shutdown();
    EXPECT_EQ(engine_get_bytes_in_use(), 0u);
    EXPECT_EQ(read_file(errors).find("Didnt free all mem"), std::string::npos);
    EXPECT_EQ(engine_world_loaded(), 0);
    world_formats_set_reader("wld", nullptr);
    scene() = nullptr;
}
