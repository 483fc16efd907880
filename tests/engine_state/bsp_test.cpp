// BSP trees: every polygon kept once (or in pieces of equal area), sides respected, the same
// tree every time, and the ".bsp" cache written, read, and rebuilt when it does not fit.
#include "state_fixture.h"

#include <cstring>
#include <map>
#include <sstream>
#include <vector>

#include "world/bsp_cache.h"
#include "world/bsp_tree.h"
#include "world/polygon_geometry.h"
#include "world/world_order.h"

using namespace state_test;

namespace {

// Crossing walls and floors: the search must split some of them.
void build_rooms() {
    module* main = add_module("MAIN");
    add_floor(main, 0, 0, 0, 500, "floor");
    add_polygon(main, {{0, -500, 0}, {0, 500, 0}, {0, 500, 200}, {0, -500, 200}}, "wall_x");
    add_polygon(main, {{-500, 0, 0}, {500, 0, 0}, {500, 0, 200}, {-500, 0, 200}}, "wall_y");
    add_floor(main, 250, 250, 200, 100, "roof_a");
    add_floor(main, -250, -250, 150, 100, "roof_b");
    add_polygon(main, {{-400, 300, 0}, {-300, 400, 0}, {-350, 350, 120}}, "ramp");
    add_wall_x(main, 400, -300, 60, 50, "sign");
}

std::map<std::string, double> original_areas() {
    std::map<std::string, double> areas;
    for (polygon* p = engine_state.main_module->root->polygons; p; p = p->next) areas[p->name] += polygon_area(p);
    return areas;
}

std::map<std::string, double>& expected_areas() {
    static std::map<std::string, double> areas;
    return areas;
}

void build_rooms_recording_areas() {
    build_rooms();
    engine_state.main_module = engine_state.modules;
    expected_areas() = original_areas();
    engine_state.main_module = nullptr;
}

plane node_plane(const bsp_node* n) { return {n->plane[0], n->plane[1], n->plane[2], n->plane[3]}; }

void collect(const bsp_node* node, std::vector<const polygon*>& out) {
    if (!node) return;
    for (const polygon* p = node->polygons; p; p = p->next) out.push_back(p);
    collect(node->front, out);
    collect(node->back, out);
}

// Every polygon lies on its node's plane, in front of it in the front subtree, behind in the back.
void check_sides(const bsp_node* node) {
    if (!node) return;
    const plane pl = node_plane(node);
    for (const polygon* p = node->polygons; p; p = p->next)
        EXPECT_EQ(get_plane_poly_relations(pl, p, bsp_tolerance), 1) << p->name;
    std::vector<const polygon*> front, back;
    collect(node->front, front);
    collect(node->back, back);
    for (const polygon* p : front) {
        const int r = get_plane_poly_relations(pl, p, bsp_tolerance);
        EXPECT_TRUE(r == 1 || r == 3) << p->name;
    }
    for (const polygon* p : back) {
        const int r = get_plane_poly_relations(pl, p, bsp_tolerance);
        EXPECT_TRUE(r == 1 || r == 2) << p->name;
    }
    if (node->front) {
        EXPECT_EQ(node->front->parent, node);
    }
    if (node->back) {
        EXPECT_EQ(node->back->parent, node);
    }
    check_sides(node->front);
    check_sides(node->back);
}

void write_signature(const bsp_node* node, std::ostringstream& out) {
    if (!node) {
        out << "-";
        return;
    }
    out << "(" << node->plane[0] << "," << node->plane[1] << "," << node->plane[2] << "," << node->plane[3] << ":";
    for (const polygon* p = node->polygons; p; p = p->next) out << p->name << "/" << p->point_count << " ";
    write_signature(node->front, out);
    write_signature(node->back, out);
    out << ")";
}

std::string tree_signature() {
    std::ostringstream out;
    out.precision(17);
    write_signature(engine_state.main_module->root, out);
    return out.str();
}

class BspTest : public StateTest {
protected:
    std::filesystem::path cache() const { return folder / "rooms.bsp"; }
};

}  // namespace

TEST_F(BspTest, EveryPolygonKeptOnceOrInPiecesOfEqualArea) {
    scene() = build_rooms_recording_areas;
    ASSERT_EQ(load("rooms.wld"), 0);
    bsp_node* root = engine_state.main_module->root;
    ASSERT_NE(root->front, nullptr);
    std::vector<const polygon*> all;
    collect(root, all);
    std::map<std::string, double> areas;
    for (const polygon* p : all) areas[p->name] += polygon_area(p);
    ASSERT_EQ(areas.size(), expected_areas().size());
    for (const auto& [name, area] : expected_areas()) EXPECT_NEAR(areas[name], area, 1e-6 * area) << name;
    EXPECT_GT(all.size(), expected_areas().size());  // the crossing walls were split
    check_sides(root);
    // The world order runs through exactly the tree's polygons.
    size_t walked = 0;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) walked++;
    EXPECT_EQ(walked, all.size());
    EXPECT_EQ(root->box[0], -500);
    EXPECT_EQ(root->box[5], 200);
}

TEST_F(BspTest, SameWorldBuildsSameTreeAndCacheRoundTrips) {
    scene() = build_rooms;
    ASSERT_EQ(load("rooms.wld"), 0);
    const std::string first = tree_signature();
    const int nodes = bsp_tree_count_nodes(engine_state.main_module->root);
    ASSERT_TRUE(std::filesystem::exists(cache()));
    EXPECT_EQ(std::filesystem::file_size(cache()), bsp_cache_header_size + bsp_cache_plane_size * nodes);
    const std::string bytes = read_file(cache().string());

    std::filesystem::remove(cache());
    ASSERT_EQ(load("rooms.wld"), 0);
    EXPECT_EQ(tree_signature(), first);  // built afresh: the same tree
    EXPECT_EQ(read_file(cache().string()), bytes);

    ASSERT_EQ(load("rooms.wld"), 0);
    EXPECT_EQ(tree_signature(), first);  // read from the cache: the same tree
    EXPECT_EQ(read_file(cache().string()), bytes);
}

TEST_F(BspTest, PlanesAreTakenFromAMatchingCache) {
    static bsp_cache_header header;
    scene() = [] {
        module* main = add_module("MAIN");
        add_floor(main, 0, 0, 0, 50, "low");
        add_floor(main, 0, 0, 100, 50, "high");
        header = bsp_cache_compute_header({main});
    };
    ASSERT_EQ(load("rooms.wld"), 0);
    const bsp_node* built = engine_state.main_module->root;
    EXPECT_STREQ(built->polygons->name, "high");  // the builder starts with the list head
    const double c = built->plane[2];
    ASSERT_EQ(std::fabs(c), 1);
    // A cache that starts with the other floor's plane instead.
    std::vector<uint8_t> data;
    bsp_cache_append_header(data, header);
    bsp_cache_append_plane(data, {0, 0, c, 0});
    bsp_cache_append_plane(data, {0, 0, c, -100 * c});
    ASSERT_EQ(bsp_cache_write(cache().string(), data), 0);
    ASSERT_EQ(load("rooms.wld"), 0);
    const bsp_node* root = engine_state.main_module->root;
    EXPECT_EQ(root->plane[3], 0);
    EXPECT_STREQ(root->polygons->name, "low");
    const bsp_node* child = root->front ? root->front : root->back;
    ASSERT_NE(child, nullptr);
    EXPECT_STREQ(child->polygons->name, "high");
    EXPECT_EQ(read_file(cache().string()), std::string(data.begin(), data.end()));
}

TEST_F(BspTest, ShortOrBadCacheIsRebuiltAndRewritten) {
    scene() = build_rooms;
    ASSERT_EQ(load("rooms.wld"), 0);
    const std::string first = tree_signature();
    const std::string bytes = read_file(cache().string());
    struct spoil {
        const char* what;
        std::function<std::string(std::string)> change;
        const char* errors;  // what error.log gains
    };
    const char* const short_cache = "build_bsp_tree: bsp file out of range. Try deleting the bsp file !\n";
    const spoil spoils[] = {
        {"one plane only", [](std::string b) { return b.substr(0, 64); }, short_cache},
        {"half a plane", [](std::string b) { return b.substr(0, 48); }, short_cache},
        {"a plane that is not a number",
         [](std::string b) {
             for (int i = 0; i < 8; ++i) b[32 + i] = '\xff';
             return b;
         },
         ""},
        {"a plane without a unit normal",
         [](std::string b) {
             const double big = 7;
             b.replace(32, sizeof big, reinterpret_cast<const char*>(&big), sizeof big);
             return b;
         },
         ""},
    };
    for (const spoil& s : spoils) {
        SCOPED_TRACE(s.what);
        {
            std::ofstream out(cache(), std::ios::binary | std::ios::trunc);
            out << s.change(bytes);
        }
        ASSERT_EQ(load("rooms.wld"), 0);
        EXPECT_EQ(tree_signature(), first);
        EXPECT_EQ(read_file(cache().string()), bytes);
        check_sides(engine_state.main_module->root);
        EXPECT_EQ(new_errors(), s.errors);
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "rooms.bsp.tmp"));
}

TEST_F(BspTest, CacheOfAnotherWorldIsRebuilt) {
    scene() = build_rooms;
    ASSERT_EQ(load("rooms.wld"), 0);
    const std::string rooms = read_file(cache().string());
    scene() = [] {
        build_rooms();
        add_floor(engine_state.modules, 900, 900, 0, 10, "extra");
    };
    ASSERT_EQ(load("rooms.wld"), 0);
    EXPECT_NE(read_file(cache().string()), rooms);
    EXPECT_EQ(new_errors(), "\t number of polygons is different. bsp has 7.000000  world has 8.000000\n");
    check_sides(engine_state.main_module->root);
}

TEST_F(BspTest, CoplanarPolygonsMakeOneNode) {
    scene() = [] {
        module* main = add_module("MAIN");
        for (int i = 0; i < 4; ++i) add_floor(main, i * 300.0, 0, 0, 100);
    };
    ASSERT_EQ(load("flat.wld"), 0);
    const bsp_node* root = engine_state.main_module->root;
    EXPECT_EQ(root->front, nullptr);
    EXPECT_EQ(root->back, nullptr);
    EXPECT_EQ(polygon_list_count(root->polygons), 4);
    EXPECT_EQ(root->worth, 0);
}

TEST_F(BspTest, ModulesOtherThanMainGetTreesOnRequest) {
    scene() = [] {
        module* main = add_module("MAIN");
        add_floor(main, 0, 0, 0, 500);
        module* car = add_module("CAR");
        add_floor(car, 0, 0, 0, 50);
        add_floor(car, 0, 0, 100, 50);
        add_dynamic(main, "car1", "CAR");
    };
    ASSERT_EQ(load("cars.wld"), 0);
    module* car = module_find(engine_state.modules, "CAR");
    ASSERT_NE(car, nullptr);
    EXPECT_EQ(car->root->front, nullptr);
    EXPECT_EQ(car->root->back, nullptr);
    ASSERT_EQ(load("cars.wld", load_flags::bsp_for_others), 0);
    car = module_find(engine_state.modules, "CAR");
    EXPECT_TRUE(car->root->front || car->root->back);
    EXPECT_EQ(car->polygon_count, 2);
}

TEST(BspObjects, ObjectsDescendToTheirSideOrStayOnThePlane) {
    bsp_node* root = init_bsp_node();
    root->plane[0] = 1;
    root->plane[2] = 0;
    root->plane[3] = 0;
    object* ahead = init_object();
    matrix_set_translation(ahead->matrix, {5, 0, 0});
    insert_object_to_bsp_tree(root, ahead);
    ASSERT_NE(root->front, nullptr);
    EXPECT_EQ(root->front->parent, root);
    EXPECT_EQ(root->front->objects, ahead);
    object* behind = init_object();
    matrix_set_translation(behind->matrix, {-5, 0, 0});
    insert_object_to_bsp_tree(root, behind);
    ASSERT_NE(root->back, nullptr);
    EXPECT_EQ(root->back->objects, behind);
    object* on = init_object();
    insert_object_to_bsp_tree(root, on);
    EXPECT_EQ(root->objects, on);
    // A node that holds an object keeps every later one.
    object* later = init_object();
    matrix_set_translation(later->matrix, {-50, 0, 0});
    insert_object_to_bsp_tree(root, later);
    EXPECT_EQ(root->objects, later);
    EXPECT_EQ(root->objects->next, on);
    bsp_tree_destroy(root);
}

// A node's box takes in its objects' modules as placed, and each object keeps that box.
TEST(BspObjects, ObjectsKeepTheirPlacedBoxes) {
    module* car = init_module();
    car->root = init_bsp_node();
    polygon_list_add(&car->root->polygons, state_test::make_polygon({{0, 0, 0}, {10, 0, 0}, {10, 20, 5}}));
    bsp_node* root = init_bsp_node();
    object* o = init_object();
    o->placed = car;
    matrix_set_translation(o->matrix, {100, -50, 7});
    root->objects = o;
    bsp_compute_bounding_boxes(root);
    EXPECT_EQ(std::vector<double>(o->vector_a, o->vector_a + 3), (std::vector<double>{100, -50, 7}));
    EXPECT_EQ(std::vector<double>(o->vector_b, o->vector_b + 3), (std::vector<double>{110, -30, 12}));
    EXPECT_EQ(std::vector<double>(root->box, root->box + 6), (std::vector<double>{100, -50, 7, 110, -30, 12}));
    bsp_tree_destroy(root);
    module_destroy(car);
}

TEST(BspPartition, SearchPrefersPlanesThatSplitNothing) {
    polygon* list = nullptr;
    // Two floors side by side: the plane x = (the list head's first x) divides them without a split.
    polygon_list_add(&list, make_polygon({{0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 0}}));
    polygon_list_add(&list, make_polygon({{200, 0, 50}, {300, 0, 50}, {300, 100, 50}, {200, 100, 50}}));
    plane pl{};
    ASSERT_EQ(get_partition_plane(list, pl), 0);
    EXPECT_EQ(pl.a, 1);
    EXPECT_EQ(pl.d, -200);
    polygon_list_free(&list);
}

TEST_F(BspTest, CachePlanesThatDivideNothingAreRebuiltWithoutDeepRecursion) {
    scene() = build_rooms;
    ASSERT_EQ(load("rooms.wld"), 0);
    const std::string first = tree_signature();
    const std::string bytes = read_file(cache().string());
    // Planes far from the world: each would leave every polygon on one side.
    std::string spoiled = bytes.substr(0, bsp_cache_header_size);
    std::vector<uint8_t> far;
    for (int i = 0; i < 20000; ++i) bsp_cache_append_plane(far, {1, 0, 0, -1e6});
    spoiled.append(far.begin(), far.end());
    {
        std::ofstream out(cache(), std::ios::binary | std::ios::trunc);
        out << spoiled;
    }
    ASSERT_EQ(load("rooms.wld"), 0);
    EXPECT_EQ(tree_signature(), first);
    EXPECT_EQ(read_file(cache().string()), bytes);
    EXPECT_EQ(new_errors(), "");
    EXPECT_LT(bsp_last_build_depth(), 100);
}
