// Binary worlds in the engine: a generator-made file builds the expected groups, polygons, tree,
// animation and object, and collecting the world gives the file's records back.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "../common/files.h"
#include "formats/binary_world.h"
#include "formats/world_formats.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "platform/numbers.h"
#include "world/animation.h"
#include "world/bsp_node.h"
#include "world/bsp_tree.h"
#include "world/camera.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/object_module.h"
#include "world/world_order.h"

namespace fs = std::filesystem;

namespace {

const std::string fixtures = DROVIK_FORMATS_FIXTURES;

bf_world parse(const std::string& path) {
    bf_world w;
    EXPECT_EQ(bfl_read_world_file(path.c_str(), w), 0) << engine_get_last_error();
    return w;
}

std::vector<polygon*> list_of(polygon* p) {
    std::vector<polygon*> out;
    for (; p; p = p->next) out.push_back(p);
    return out;
}

template <typename T, typename F>
void free_named(T*& list, F also) {
    while (T* record = list) {
        list = record->next;
        also(record);
        engine_free(record->name);
        record_destroy(record);
    }
}

// The polygon of that name anywhere in the world's modules (patches not included).
polygon* find_polygon(const char* name) {
    for (module* m = engine_state.modules; m; m = m->next) {
        if (polygon* p = m->root ? bsp_tree_find_polygon(m->root, name) : nullptr) return p;
    }
    return nullptr;
}

// An empty engine state in viewer (0) or editor (1) mode; everything loaded is freed after.
class BinaryWorldBase : public ::testing::Test {
protected:
    int mode = 0;
    void SetUp() override { engine_state_reset(mode); }
    void TearDown() override {
        // Groups first: deleting one walks the polygons.
        group_delete(&engine_state.groups, nullptr);
        dynamic_free_all(&engine_state.dynamic_objects);
        engine_state.world_order = nullptr;
        module_list_free(&engine_state.modules);
        while (animation* a = engine_state.animations) {
            engine_state.animations = a->next;
            animation_delete(a);
        }
        camera_delete_all(&engine_state.cameras);
        engine_state.current_camera = nullptr;
        free_named(engine_state.tracks, [](jtrack* t) { engine_free(t->points); });
        free_named(engine_state.lights, [](light* l) { engine_free(l->entity_name); });
        free_named(engine_state.backgrounds, [](background* b) { frame_list_destroy(&b->frames); });
        engine_state.current_background = nullptr;
        engine_state.last_main_module_name = static_cast<char*>(engine_free(engine_state.last_main_module_name));
        engine_state_release();
    }
    group* load(const char* name) {
        group* top = nullptr;
        EXPECT_EQ(read_world_design1(fixtures.c_str(), name, &top), 0) << engine_get_last_error();
        return top;
    }
};

class BinaryWorld : public BinaryWorldBase, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        mode = GetParam();
        BinaryWorldBase::SetUp();
    }
};

using BinaryWorldViewer = BinaryWorldBase;

TEST_P(BinaryWorld, SmallWorldBuildsItsRecords) {
    group* top = load("small.drovik");
    ASSERT_NE(top, nullptr);
    EXPECT_STREQ(top->name, "world");
    std::vector<std::string> names;
    for (group* g = engine_state.groups; g; g = g->next) names.push_back(g->name);
    // In editor mode the object "train" went back into its group, which takes the object's name.
    const bool editor = GetParam() == 1;
    EXPECT_EQ(names, (std::vector<std::string>{"world", editor ? "train" : "house", "roof"}));
    group* house = engine_state.groups->next;
    EXPECT_EQ(house->father, top);
    EXPECT_EQ(house->next->father, house);
    EXPECT_EQ(house->holds_object_parameters, 1);

    module* main = engine_state.main_module;
    ASSERT_NE(main, nullptr);
    EXPECT_STREQ(main->name, "MAIN");
    // Lists follow the file's order; the patch hangs off its father only.
    std::vector<polygon*> all;
    for (module* m = engine_state.modules; m; m = m->next) {
        for (polygon* p : list_of(m->root ? m->root->polygons : nullptr)) all.push_back(p);
    }
    // In viewer mode the object's polygons live in its own module.
    polygon* triangle = find_polygon("wall");
    ASSERT_NE(triangle, nullptr);
    EXPECT_EQ(triangle == main->root->polygons, GetParam() == 1);
    EXPECT_STREQ(triangle->name, "wall");
    EXPECT_STREQ(triangle->bitmap_name, "brick");
    EXPECT_EQ(triangle->owner_group, house);
    EXPECT_EQ(triangle->orientation, 4);
    EXPECT_EQ(triangle->collisional, 1);
    ASSERT_NE(triangle->next_patch, nullptr);
    polygon* patch = triangle->next_patch;
    EXPECT_EQ(patch->previous_patch, triangle);
    EXPECT_EQ(patch->patch_kind, 2);
    EXPECT_EQ(patch->diffuse, 11);
    for (polygon* p : all) EXPECT_NE(p, patch);

    // Editor mode carries the object's polygons into world space, by its location (5, 6, 7).
    const point* corner = triangle->points->next;
    EXPECT_DOUBLE_EQ(corner->x, editor ? 105.0 : 100.0);
    EXPECT_DOUBLE_EQ(corner->z, editor ? 7.0 : 0.0);
    EXPECT_DOUBLE_EQ(corner->bitmap_x, 1.0);
    EXPECT_EQ(corner->green, 255);
    EXPECT_EQ(corner->normal_z, 127);
    EXPECT_DOUBLE_EQ(corner->brightness, 8.0);
    EXPECT_EQ(triangle->red, 255);  // no stored colour: the first point's

    ASSERT_NE(engine_state.animations, nullptr);
    EXPECT_STREQ(engine_state.animations->name, "flash");
    EXPECT_EQ(engine_state.animations->frame_count, 2);
    ASSERT_NE(engine_state.animations->views[0], nullptr);
    EXPECT_STREQ(engine_state.animations->views[0]->name, "lamp_off");
    EXPECT_EQ(engine_state.animations->views[0]->transparent_index, 5);

    if (editor) {
        // The object's parameters went back into its group, and the object is gone.
        EXPECT_EQ(engine_state.dynamic_objects, nullptr);
        EXPECT_EQ(triangle->owner, nullptr);
        EXPECT_STREQ(house->name, "train");
        EXPECT_STREQ(house->track.name, "line");
        EXPECT_STREQ(house->chase.type_string, "CHASE_PRECISE");
        EXPECT_DOUBLE_EQ(house->max_speed, 99.0);
        return;
    }
    dynamic_object* train = engine_state.dynamic_objects;
    ASSERT_NE(train, nullptr);
    EXPECT_STREQ(train->name, "train");
    EXPECT_EQ(engine_state.player_object, train);  // control code 1
    EXPECT_STREQ(train->chase.type_string, "CHASE_PRECISE");
    EXPECT_DOUBLE_EQ(dynamic_get_location(train).z, 7.0);
    EXPECT_EQ(triangle->owner, train);
    EXPECT_EQ(patch->owner, train);
    ASSERT_NE(train->own_module, nullptr);
    EXPECT_TRUE(bsp_tree_contains_polygon(train->own_module->root, triangle));
    // The digest linked the track and made the file's camera current.
    ASSERT_NE(train->track.line, nullptr);
    EXPECT_STREQ(train->track.line->name, "line");
    EXPECT_EQ(train->track.line->point_count, 3);
    ASSERT_NE(engine_state.cameras, nullptr);
    EXPECT_STREQ(engine_state.cameras->name, "cam1");
    EXPECT_EQ(engine_state.cameras->track.line, train->track.line);
    EXPECT_EQ(get_current_camera(), engine_state.cameras);
    EXPECT_DOUBLE_EQ(engine_state.cameras->matrix.m[3][2], 3.0);
    ASSERT_NE(engine_state.lights, nullptr);
    EXPECT_STREQ(engine_state.lights->name, "lamp");
    // A background of a file is no current sky until one is chosen.
    ASSERT_NE(engine_state.backgrounds, nullptr);
    EXPECT_EQ(engine_state.current_background, nullptr);
}

TEST_P(BinaryWorld, ViewerModeTakesTheStoredTree) {
    load("small.drovik");
    const bsp_node* root = engine_state.main_module->root;
    if (GetParam() == 1) {
        EXPECT_EQ(root->front, nullptr);
        EXPECT_EQ(list_of(root->polygons).size(), 3u);
        return;
    }
    EXPECT_DOUBLE_EQ(root->plane[3], -5.0);
    ASSERT_NE(root->front, nullptr);
    ASSERT_NE(root->back, nullptr);
    EXPECT_EQ(root->back->parent, root);
    // Node 1 listed the triangle and the pentagon; the triangle left with its object.
    const std::vector<polygon*> root_list = list_of(root->polygons);
    ASSERT_EQ(root_list.size(), 1u);
    EXPECT_NE(root_list[0]->anim, nullptr);
    // Node 2, the right child, is the back subtree: the quadrilateral at z = 0 lies behind z = 5.
    ASSERT_EQ(list_of(root->back->polygons).size(), 1u);
    EXPECT_STREQ(root->back->polygons->name, "window");
    EXPECT_EQ(root->front->polygons, nullptr);
}

// Two objects whose polygons alternate in the file: in editor mode each polygon goes back into
// world space by its own object's location, and the world's list keeps the file's order.
class BinaryWorldEditor : public BinaryWorldBase {
protected:
    void SetUp() override {
        mode = 1;
        BinaryWorldBase::SetUp();
    }
};

TEST_F(BinaryWorldEditor, CarriesEachPolygonByItsOwnObject) {
    ASSERT_NE(load("crates.drovik"), nullptr);
    EXPECT_EQ(engine_state.dynamic_objects, nullptr);
    std::vector<std::string> groups;
    for (const polygon* p : list_of(engine_state.main_module->root->polygons)) {
        groups.emplace_back(p->owner_group->name);
        const double x = groups.back() == "crate" ? 1000 : 0, y = groups.back() == "box" ? 1000 : 0;
        for (const point* pt = p->points; pt; pt = pt->next) {
            EXPECT_TRUE(std::abs(pt->x - x) == 200 || groups.back() == "ground") << groups.back() << " " << pt->x;
            EXPECT_TRUE(std::abs(pt->y - y) == 200 || groups.back() == "ground") << groups.back() << " " << pt->y;
            EXPECT_EQ(p->owner, nullptr);
        }
    }
    EXPECT_EQ(groups, (std::vector<std::string>{"crate", "box", "crate", "box", "crate", "box", "ground"}));
}

// The right child of a stored node is its back subtree, the left its front; saving the tree
// numbers and writes it the same way.
TEST_F(BinaryWorldViewer, StoredTreeHasTheBackOnTheRight) {
    group* top = load("tree.drovik");
    const bsp_node* root = engine_state.main_module->root;
    ASSERT_NE(root->back, nullptr);
    ASSERT_NE(root->front, nullptr);
    EXPECT_STREQ(root->polygons->name, "level");
    ASSERT_NE(root->back->polygons, nullptr);
    EXPECT_STREQ(root->back->polygons->name, "below");
    ASSERT_NE(root->front->polygons, nullptr);
    EXPECT_STREQ(root->front->polygons->name, "above");
    EXPECT_EQ(root->back->parent, root);
    EXPECT_EQ(root->front->parent, root);
    // Saved again: the same planes and children (the polygons are numbered in world order now).
    bf_world collected;
    ASSERT_EQ(bfl_collect_world(top, 0, collected), 0);
    const bf_world original = parse(fixtures + "/tree.drovik");
    ASSERT_EQ(collected.bsp_nodes.size(), original.bsp_nodes.size());
    for (size_t i = 0; i < original.bsp_nodes.size(); ++i) {
        const bf_bsp_node& a = collected.bsp_nodes[i];
        const bf_bsp_node& b = original.bsp_nodes[i];
        EXPECT_EQ(std::vector<float>(a.plane, a.plane + 4), std::vector<float>(b.plane, b.plane + 4)) << i;
        EXPECT_EQ(a.right, b.right) << i;
        EXPECT_EQ(a.left, b.left) << i;
        const bf_polygon& listed = collected.polygons[a.first_polygon - 1];
        EXPECT_EQ(collected.polygon_names[listed.name - 1], original.polygon_names[i]) << i;
    }
}

// A tree the engine builds (the file stores none) is written the same way: the floor below the
// root's floor is the right child, the one above the left.
TEST_F(BinaryWorldViewer, BuiltTreeIsSavedWithTheBackOnTheRight) {
    group* top = load("floors.drovik");
    bf_world w;
    ASSERT_EQ(bfl_collect_world(top, 0, w), 0);
    ASSERT_EQ(w.bsp_nodes.size(), 3u);
    auto listed = [&](uint32_t node) {
        const bf_polygon& p = w.polygons[w.bsp_nodes[node - 1].first_polygon - 1];
        return w.polygon_names[p.name - 1];
    };
    // The height of a node's floor over the root's plane.
    auto over_root = [&](uint32_t node) {
        const bf_polygon& p = w.polygons[w.bsp_nodes[node - 1].first_polygon - 1];
        const bf_point& pt = w.points[p.points[0]];
        const float* plane = w.bsp_nodes[0].plane;
        return plane[0] * pt.x + plane[1] * pt.y + plane[2] * pt.z + plane[3];
    };
    EXPECT_EQ(listed(1), "level");
    ASSERT_EQ(w.bsp_nodes[0].right, 2u);
    ASSERT_EQ(w.bsp_nodes[0].left, 3u);
    EXPECT_LT(over_root(2), 0);
    EXPECT_GT(over_root(3), 0);
}

// Collecting the world gives back every record the engine keeps (in viewer mode, where the node
// lists are stored).
TEST_F(BinaryWorldViewer, CollectingGivesTheFileRecordsBack) {
    group* top = load("small.drovik");
    // Bitmap names are saved for polygons whose texture is resolved.
    bitmap_texture texture{};
    for (polygon* p = engine_state.world_order; p; p = p->next_in_world_order) {
        if (p->bitmap_name) p->texture = &texture;
    }
    bf_world original = parse(fixtures + "/small.drovik");
    // The object's triangle left the main tree for the object's module: it no longer leads node 1.
    original.polygons[0].presence &= ~bf_layout::has_next;
    original.polygons[0].next = 0;
    original.bsp_nodes[0].first_polygon = 4;
    bf_world collected;
    ASSERT_EQ(bfl_collect_world(top, 0, collected), 0);
    EXPECT_EQ(collected.top_group, original.top_group);
    EXPECT_EQ(collected.points, original.points);
    EXPECT_EQ(collected.cords, original.cords);
    EXPECT_EQ(collected.bitmap_names, original.bitmap_names);
    EXPECT_EQ(collected.group_names, original.group_names);
    EXPECT_EQ(collected.groups, original.groups);
    EXPECT_EQ(collected.polygon_names, original.polygon_names);
    ASSERT_EQ(collected.polygons.size(), original.polygons.size());
    for (size_t i = 0; i < original.polygons.size(); ++i) {
        EXPECT_EQ(collected.polygons[i], original.polygons[i]) << "polygon " << i + 1;
    }
    EXPECT_EQ(collected.bsp_nodes, original.bsp_nodes);
    EXPECT_EQ(collected.dynamic_objects, original.dynamic_objects);
    EXPECT_EQ(collected.animations, original.animations);
    EXPECT_EQ(collected.settings->brightness, original.settings->brightness);
    ASSERT_EQ(collected.cameras.size(), 1u);
    EXPECT_EQ(collected.cameras[0].name, "cam1");
    EXPECT_EQ(collected.cameras[0].track.name, "line");
    EXPECT_FLOAT_EQ(collected.cameras[0].location[1], 2.0f);
    ASSERT_EQ(collected.tracks.size(), 1u);
    EXPECT_EQ(collected.tracks[0].points, original.tracks[0].points);
    EXPECT_EQ(collected.lights.size(), 1u);
    EXPECT_EQ(collected.backgrounds.size(), 1u);
}

// Records the writer cannot place are reported and left out: an animation that is not on the
// world's list, and a viewer-mode object without a module of its own.
TEST_F(BinaryWorldViewer, CollectingReportsRecordsItCannotPlace) {
    group* top = load("small.drovik");
    polygon* first = nullptr;
    for (polygon* p = get_first_polygon(); p && !first; p = get_next_polygon(p)) {
        if (p->owner_group && group_is_included(p->owner_group, top)) first = p;
    }
    ASSERT_NE(first, nullptr);
    animation stray{};
    animation* const kept = first->anim;
    first->anim = &stray;
    bf_world collected;
    EXPECT_EQ(bfl_collect_world(top, 0, collected), 0);
    first->anim = kept;
    EXPECT_EQ(engine_get_last_error(), std::string("bf_get_animation_index: coudnt find animation\n"));
    ASSERT_FALSE(collected.polygons.empty());
    EXPECT_EQ(collected.polygons[0].presence & bf_layout::has_animation, 0u);

    dynamic_object* bare = init_dynamic_object();
    ASSERT_NE(bare, nullptr);
    dynamic_list_push(&engine_state.dynamic_objects, bare);
    EXPECT_EQ(bfl_collect_world(top, 0, collected), 0);
    EXPECT_EQ(engine_get_last_error(), std::string("do_dynamic_section: dyn->mdl==NULL !\n"));
}

// The corners in the order they are collected: world order, each polygon followed by its patches.
std::vector<point*> corners_in_collected_order(const group* top) {
    std::vector<point*> corners;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (!p->owner_group || !group_is_included(p->owner_group, top)) continue;
        for (polygon* q = p; q; q = q->next_patch) {
            for (point* pt = q->points; pt; pt = pt->next) corners.push_back(pt);
        }
    }
    return corners;
}

// A corner value gets one point record: met again, even after others, or within the tolerance it
// takes its first record; a NaN value, or the same place in another colour, gets a record of its own.
TEST_F(BinaryWorldViewer, CollectingSharesOnlyEqualCorners) {
    group* top = load("small.drovik");
    const std::vector<point*> corners = corners_in_collected_order(top);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct corner_case {
        double x;
        uint8_t red;
        uint32_t record;
    };
    const corner_case cases[] = {{7, 10, 0}, {nan, 10, 1}, {7, 10, 0}, {nan, 10, 2},
                                 {7.000001, 10, 0}, {7, 11, 3}, {7, 10, 0}};
    ASSERT_GE(corners.size(), std::size(cases));
    for (size_t i = 0; i < corners.size(); ++i) {
        point* pt = corners[i];
        pt->x = i < std::size(cases) ? cases[i].x : 100.0 + static_cast<double>(i);
        pt->y = pt->z = 5;
        pt->red = i < std::size(cases) ? cases[i].red : 10;
        pt->green = pt->blue = 0;
        pt->normal_x = pt->normal_y = pt->normal_z = 0;
    }
    bf_world collected;
    ASSERT_EQ(bfl_collect_world(top, 0, collected), 0);
    std::vector<uint32_t> records;
    for (const bf_polygon& p : collected.polygons) records.insert(records.end(), p.points.begin(), p.points.end());
    ASSERT_EQ(records.size(), corners.size());
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(records[i], cases[i].record) << "corner " << i;
    EXPECT_EQ(collected.points.size(), corners.size() - 3) << "the later corners each have their own";
}

// Two corners within the tolerance share a record wherever they lie, whole or fractional,
// negative or far out (point tolerance 1e-5, texture tolerance 1e-4); a little further apart they
// do not.
TEST_F(BinaryWorldViewer, CollectingSharesCornersWithinTheToleranceWhereverTheyLie) {
    group* top = load("small.drovik");
    const std::vector<point*> corners = corners_in_collected_order(top);
    struct pair_case {
        double x;           // the pair lies on either side of x, `apart` from each other
        double apart;       // along the point's x
        double cord_apart;  // along its texture x
        bool shared;
    };
    const pair_case cases[] = {
        {0, 8e-6, 8e-5, true},
        {1, 8e-6, 8e-5, true},
        {0.00048828125, 8e-6, 8e-5, true},
        {-0.00048828125, 8e-6, 8e-5, true},
        {0.00390625, 8e-6, 8e-5, true},
        {0.00390625, 1.2e-5, 1.2e-4, false},
        {400.00048828125, 8e-6, 8e-5, true},
    };
    ASSERT_GE(corners.size(), 2 * std::size(cases));
    for (size_t i = 0; i < corners.size(); ++i) {
        point* pt = corners[i];
        const size_t k = i / 2;
        const double side = i % 2 ? 0.5 : -0.5;
        const bool paired = k < std::size(cases);
        pt->x = paired ? cases[k].x + side * cases[k].apart : 1000.0 + static_cast<double>(i);
        pt->bitmap_x = paired ? cases[k].x + side * cases[k].cord_apart : 1000.0 + static_cast<double>(i);
        // Each pair on a line of its own, far from the others.
        pt->y = pt->z = pt->bitmap_y = 10.0 * static_cast<double>(k);
        pt->red = pt->green = pt->blue = 0;
        pt->normal_x = pt->normal_y = pt->normal_z = 0;
    }
    bf_world collected;
    ASSERT_EQ(bfl_collect_world(top, 0, collected), 0);
    std::vector<uint32_t> points, cords;
    for (const bf_polygon& p : collected.polygons) {
        points.insert(points.end(), p.points.begin(), p.points.end());
        cords.insert(cords.end(), p.cords.begin(), p.cords.end());
    }
    ASSERT_EQ(points.size(), corners.size());
    for (size_t k = 0; k < std::size(cases); ++k) {
        EXPECT_EQ(points[2 * k + 1] == points[2 * k], cases[k].shared) << "point pair " << k;
        EXPECT_EQ(cords[2 * k + 1] == cords[2 * k], cases[k].shared) << "texture pair " << k;
    }
}

// Flag 0x01 keeps only the cameras marked to be saved; 0x01 and 0x40 keep only the animations the
// saved polygons use; 0x40 leaves out every scene record.
TEST_F(BinaryWorldViewer, SaveFlagsLeaveOutUnmarkedCamerasAndUnusedAnimations) {
    group* top = load("small.drovik");
    ASSERT_NE(engine_state.cameras, nullptr);
    polygon* flashing = nullptr;
    for (polygon* p = get_first_polygon(); p && !flashing; p = get_next_polygon(p)) {
        if (p->anim) flashing = p;
    }
    ASSERT_NE(flashing, nullptr);
    struct flag_case {
        int flags;
        bool camera_marked;
        bool animation_used;
        size_t cameras, animations;
        bool scene_saved;
    };
    const flag_case cases[] = {
        {0x00, false, false, 1, 1, true},  {0x01, true, true, 1, 1, true},  {0x01, false, false, 0, 0, true},
        {0x01, true, false, 1, 0, true},   {0x40, true, true, 0, 1, false}, {0x40, true, false, 0, 0, false},
    };
    animation* const flash = flashing->anim;
    for (const flag_case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "flags " << c.flags << " marked " << c.camera_marked << " used "
                                          << c.animation_used);
        engine_state.cameras->save = c.camera_marked ? 1 : 0;
        flashing->anim = c.animation_used ? flash : nullptr;
        bf_world collected;
        ASSERT_EQ(bfl_collect_world(top, c.flags, collected), 0);
        EXPECT_EQ(collected.cameras.size(), c.cameras);
        EXPECT_EQ(collected.animations.size(), c.animations);
        EXPECT_EQ(collected.cameras_saved, c.scene_saved);
        EXPECT_EQ(collected.tracks_saved, c.scene_saved);
        EXPECT_EQ(collected.backgrounds_saved, c.scene_saved);
        EXPECT_EQ(collected.lights_saved, c.scene_saved);
        EXPECT_EQ(collected.tracks.size(), c.scene_saved ? 1u : 0u);
        EXPECT_EQ(collected.lights.size(), c.scene_saved ? 1u : 0u);
        EXPECT_EQ(collected.backgrounds.size(), c.scene_saved ? 1u : 0u);
    }
    flashing->anim = flash;
}

std::vector<std::array<double, 3>> world_points() {
    std::vector<std::array<double, 3>> out;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        for (polygon* q = p; q; q = q->next_patch) {
            for (const point* pt = q->points; pt; pt = pt->next) out.push_back({pt->x, pt->y, pt->z});
        }
    }
    return out;
}

int group_count() {
    int n = 0;
    for (group* g = engine_state.groups; g; g = g->next) ++n;
    return n;
}

// Saving the whole world leaves it exactly as it was, and the file loads back in the same mode.
TEST_P(BinaryWorld, SavedWorldLoadsAgain) {
    const fs::path folder = fs::temp_directory_path() / ("drovik_bworld_" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    group* top = load("small.drovik");
    ASSERT_NE(top, nullptr);
    const std::string path = (folder / "again.drovik").string();
    const auto points_before = world_points();
    const int groups_before = group_count();
    ASSERT_EQ(engine_save(path.c_str(), nullptr, 0), 0) << engine_get_last_error();
    EXPECT_EQ(world_points(), points_before);
    EXPECT_EQ(group_count(), groups_before);
    EXPECT_EQ(top->father, nullptr);
    EXPECT_EQ(engine_state.editor_mode, GetParam());
    if (GetParam() == 1) {
        EXPECT_EQ(engine_state.dynamic_objects, nullptr);
    }

    const bf_world saved = parse(path);
    ASSERT_EQ(saved.groups.size(), 4u);  // the temporary world group first
    EXPECT_EQ(saved.top_group, 0);
    EXPECT_EQ(saved.group_names[0], path);
    EXPECT_EQ(saved.polygons.size(), 4u);
    // Editor mode makes the object from the group, so it takes the group's whole subtree.
    ASSERT_EQ(saved.dynamic_objects.size(), 1u);
    EXPECT_EQ(saved.dynamic_objects[0].polygons.size(), GetParam() == 1 ? 3u : 2u);
    EXPECT_EQ(saved.dynamic_objects[0].track.name, "line");

    TearDown();
    SetUp();
    ASSERT_NE(load(path.c_str()), nullptr);
    const auto points_after = world_points();
    ASSERT_EQ(points_after.size(), points_before.size());
    // Points are stored as floats and, for objects, relative to the object.
    auto sorted = [](std::vector<std::array<double, 3>> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    const auto a = sorted(points_before), b = sorted(points_after);
    for (size_t i = 0; i < a.size(); ++i) {
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(a[i][k], b[i][k], 1e-3) << i;
    }
    if (GetParam() == 1) {
        const group* house = group_find_by_name(engine_state.groups, "train");
        ASSERT_NE(house, nullptr);
        EXPECT_EQ(house->holds_object_parameters, 1);
        EXPECT_STREQ(house->track.name, "line");
    }
    std::error_code error;
    fs::remove_all(folder, error);
}

// A text dump of everything a binary world keeps, entity by entity, for comparing two loads.
class world_dump {
public:
    std::string text() const { return out_.str(); }

    world_dump() {
        out_.precision(9);
        const engine_state_record& e = engine_state;
        for (const group* g = e.groups; g; g = g->next) {
            line("group", g->name, name_of(g->father), g->holds_object_parameters, g->track.name);
        }
        for (polygon* p = get_first_polygon(); p; p = get_next_polygon_in_tree(p)) {
            line("polygon", p->name, name_of(p->owner_group), p->bitmap_name, p->red, p->green, p->blue,
                 p->transparent_index, p->light_diminution, int{p->patch_kind}, p->ambient, p->diffuse, int{p->disabled},
                 p->owner ? p->owner->name : "-");
            for (const point* pt = p->points; pt; pt = pt->next) {
                line("  point", pt->x, pt->y, pt->z, pt->bitmap_x, pt->bitmap_y, int{pt->red}, int{pt->normal_z});
            }
        }
        for (const dynamic_object* d = e.dynamic_objects; d; d = d->next) {
            line("object", d->name, d->control, d->track.name, d->chase.name, d->chase.type_string, d->rotation_space);
            numbers("  ", d->axis_system.m[3], 3);
            numbers("  ", d->rotation, 3);
        }
        for (const camera* c = e.cameras; c; c = c->next) {
            line("camera", c->name, c->track.name, c->chase.name, c->chase.type_string, c->field_of_view,
                 c->chase.softness, int{c->rotation_space}, c->elasticity, c->friction);
            for (int row = 0; row < 4; ++row) numbers("  ", c->matrix.m[row], 3);
            numbers("  ", c->rotation, 3);
            numbers("  ", c->chase.offset, 3);
        }
        for (const jtrack* t = e.tracks; t; t = t->next) {
            line("track", t->name, t->cyclic, t->point_count);
            numbers("  ", t->points, t->point_count * 3);
        }
        for (const background* b = e.backgrounds; b; b = b->next) {
            line("background", b->name, b->frames ? b->frames->name : "-", b->type, b->distance, b->bottom,
                 b->bottom_intensity, b->intensity_step, b->frame_count, b->replace_rate, b->created,
                 b == e.current_background);
        }
        for (const light* l = e.lights; l; l = l->next) {
            line("light", l->name, l->entity_kind, l->entity_name, l->entity != nullptr, l->type, int{l->red},
                 int{l->green}, int{l->blue}, l->distance_reach, int{l->activate_before_render}, l->mode,
                 l->ray_tracing, l->ambient, l->diffuse, l->specular, l->specular_shining);
            numbers("  ", l->location, 3);
            numbers("  ", l->direction, 3);
        }
        line("settings", e.rendering_mode, e.wire_frame, int{e.reserved_byte}, e.brightness, e.far_objects_accuracy,
             e.atmosphere_red, e.atmosphere_green, e.atmosphere_blue, e.default_atmosphere_red,
             e.default_atmosphere_green, e.default_atmosphere_blue, name_of(e.group_to_render), e.advance_objects,
             e.advance_cameras, e.time_based_objects, e.time_based_cameras, e.time_based_animation,
             e.maximum_render_time, e.minimum_render_time);
        numbers("  ", e.reserved_direction, 3);
        numbers("  ", e.world_rotate_reference, 3);
    }

private:
    static const char* name_of(const group* g) { return g ? g->name : "-"; }
    template <typename T>
    void put(const T& value) {
        if constexpr (std::is_convertible_v<T, const char*>) {
            const char* text = value;
            out_ << (text ? text : "(null)");
        } else {
            out_ << value;
        }
    }
    template <typename... T>
    void line(const T&... values) {
        ((put(values), out_ << ' '), ...);
        out_ << '\n';
    }
    void numbers(const char* lead, const double* v, int count) {
        out_ << lead;
        for (int i = 0; v && i < count; ++i) out_ << v[i] << ' ';
        out_ << '\n';
    }
    std::ostringstream out_;
};

// Bitmap names are saved for polygons whose texture is resolved; no bitmap files exist here.
void pretend_textures_resolved() {
    static bitmap_texture texture{};
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon_in_tree(p)) {
        if (p->bitmap_name) p->texture = &texture;
    }
}

// Every scene field and setting survives load, save and load; a second save gives the same bytes.
TEST_P(BinaryWorld, FullWorldSurvivesARoundTrip) {
    const fs::path folder = fs::temp_directory_path() / ("drovik_round_" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    const std::string first = (folder / "first.drovik").string(), second = (folder / "second.drovik").string();
    ASSERT_NE(load("full.drovik"), nullptr);
    pretend_textures_resolved();
    // Saving computes the vertex normals first; everything else stays as loaded.
    ASSERT_EQ(engine_save(first.c_str(), nullptr, 0), 0) << engine_get_last_error();
    const std::string loaded = world_dump().text();

    TearDown();
    SetUp();
    ASSERT_NE(load(first.c_str()), nullptr);
    const std::string reloaded = world_dump().text();
    // The saved world sits under the temporary group named with the path.
    EXPECT_NE(reloaded.find("group " + first + " - 0"), std::string::npos);
    std::string without_temporary = reloaded;
    without_temporary.erase(0, without_temporary.find('\n') + 1);
    const auto fathers_were = [](std::string text, const std::string& path) {
        for (size_t at; (at = text.find(" " + path + " ")) != std::string::npos;) text.replace(at, path.size() + 1, " -");
        return text;
    };
    EXPECT_EQ(fathers_were(without_temporary, first), loaded);
    pretend_textures_resolved();
    ASSERT_EQ(engine_save(second.c_str(), engine_state.groups, 0), 0) << engine_get_last_error();
    EXPECT_EQ(read_file_bytes(second), read_file_bytes(first));

    // Spot checks against the generator's values, so a field dropped on both sides is caught too.
    const std::string expected[] = {
        "track loop 0 2", "track line 1 3",
        GetParam() ? "light headlight 1003 train 1 58 10 20 30 -1 0 2 0 1 1 1 1"
                   : "light headlight 1002 wagon 1 58 10 20 30 -1 0 2 0 1 1 1 1",
        "light spot 1008 window 1 33 0 0 255 0 1 0 0 0.25 0.5 0.75 8",
        "background dusk red_sky 7 25000 12.5 80 -0.25 1 1 0 0",
        "settings 3 1 7 5 12 11 22 33 44 55 66 roof 0 0 0 0 0 5000 7",
        "  0.25 0.5 0.75 \n  7 8 9 \n"};
    for (const std::string& e : expected) EXPECT_NE(reloaded.find(e), std::string::npos) << e << "\n" << reloaded;
    EXPECT_NE(reloaded.find("camera cam1 line train CHASE_PRECISE"), std::string::npos) << reloaded;
    EXPECT_NE(reloaded.find("  0.100000001 0.200000003 0.300000012 \n"), std::string::npos) << reloaded;
    std::error_code error;
    fs::remove_all(folder, error);
}

// Save flag 0x800 in editor mode stores built trees; the edited world is left exactly as it was and
// a viewer load takes the stored tree.
TEST_F(BinaryWorldViewer, EditorSaveWithTreeFlagStoresTheBuiltTrees) {
    TearDown();
    mode = 1;
    SetUp();
    const fs::path folder = fs::temp_directory_path() / ("drovik_trees_" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    const std::string flat = (folder / "flat.drovik").string(), built = (folder / "built.drovik").string();
    ASSERT_NE(load("cube.drovik"), nullptr);
    ASSERT_EQ(engine_save(flat.c_str(), nullptr, 0), 0) << engine_get_last_error();
    const std::string before = world_dump().text();
    const polygon* first_before = engine_state.main_module->root->polygons;
    ASSERT_EQ(engine_save(built.c_str(), nullptr, save_flags::build_bsp_trees), 0) << engine_get_last_error();
    EXPECT_EQ(world_dump().text(), before);
    EXPECT_EQ(engine_state.main_module->root->polygons, first_before);
    EXPECT_EQ(engine_state.main_module->root->front, nullptr);
    EXPECT_EQ(engine_state.main_module->root->back, nullptr);
    EXPECT_EQ(engine_state.editor_mode, 1);

    const bf_world without = parse(flat), with = parse(built);
    EXPECT_EQ(without.bsp_nodes.size(), 1u);  // the flat root
    ASSERT_GE(with.bsp_nodes.size(), 2u);
    // The file's tree lists every main-module polygon once.
    size_t listed = 0;
    for (const bf_bsp_node& node : with.bsp_nodes) {
        for (uint32_t p = node.first_polygon; p; p = with.polygons[p - 1].next) ++listed;
    }
    size_t main_polygons = 0;
    std::vector<uint8_t> owned(with.polygons.size() + 1, 0);
    for (const bf_dynamic_object& d : with.dynamic_objects) {
        for (uint32_t p : d.polygons) owned[p] = 1;
    }
    for (size_t i = 0; i < with.polygons.size(); ++i) {
        if (!owned[i + 1] && with.polygons[i].patch_kind == 0) ++main_polygons;
    }
    EXPECT_EQ(listed, main_polygons);

    TearDown();
    mode = 0;
    SetUp();
    ASSERT_NE(load(built.c_str()), nullptr);
    const bsp_node* root = engine_state.main_module->root;
    EXPECT_EQ(bsp_tree_count_nodes(root), static_cast<int>(with.bsp_nodes.size()));
    EXPECT_FLOAT_EQ(static_cast<float>(root->plane[3]), with.bsp_nodes[0].plane[3]);

    // Objects, patches and split families: the edited world stays whole and the file loads.
    TearDown();
    mode = 1;
    SetUp();
    ASSERT_NE(load("full.drovik"), nullptr);
    pretend_textures_resolved();
    ASSERT_EQ(engine_save(flat.c_str(), nullptr, 0), 0) << engine_get_last_error();
    const std::string full_before = world_dump().text();
    ASSERT_EQ(engine_save(built.c_str(), nullptr, save_flags::build_bsp_trees), 0) << engine_get_last_error();
    EXPECT_EQ(world_dump().text(), full_before);
    TearDown();
    mode = 0;
    SetUp();
    ASSERT_NE(load(built.c_str()), nullptr);
    EXPECT_NE(engine_state.dynamic_objects, nullptr);
    std::error_code error;
    fs::remove_all(folder, error);
}

TEST_P(BinaryWorld, PolygonsTheEngineCannotHoldAreRefusedBeforeBuilding) {
    const bf_world w = parse(fixtures + "/wide.drovik");
    module rootless{};
    EXPECT_EQ(bfl_build_world(w, &rootless, nullptr), -1);
    EXPECT_STREQ(engine_get_last_error(), "bfl_read_world: no module to read into\n");
    ASSERT_EQ(read_into_new_module((fixtures + "/wide.drovik").c_str(), bfl_read_world, true, nullptr), -1);
    EXPECT_STREQ(engine_get_last_error(), "bfl_read_world: polygon 260 has 300 points, more than 100\n");
    EXPECT_EQ(engine_state.groups, nullptr);
    EXPECT_EQ(engine_state.main_module->root->polygons, nullptr);
}

const bf_world* world_to_build = nullptr;

int build_reader(const char*, module* m, group** top) { return bfl_build_world(*world_to_build, m, top); }

// Random damage to a good file: whatever the parser accepts builds and frees cleanly.
TEST_P(BinaryWorld, DamagedFilesThatParseBuildCleanly) {
    std::ifstream in(fixtures + "/small.drovik", std::ios::binary);
    const std::vector<uint8_t> good{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(good.empty());
    std::mt19937 random(1234);
    const int reports = bfl_report_errors();
    bfl_report_errors() = 0;
    int built = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<uint8_t> bytes = good;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int f = 0; f < flips; ++f) {
            bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
        }
        bf_world w;
        if (bfl_parse_world(bytes.data(), bytes.size(), w) != 0) continue;
        world_to_build = &w;
        group* top = nullptr;
        if (read_into_new_module("", build_reader, true, &top) == 0) {
            ++built;
            EXPECT_NE(top, nullptr);
        }
        TearDown();
        SetUp();
    }
    bfl_report_errors() = reports;
    EXPECT_GT(built, 50);
}

// A patch that no father lists, or a father whose chain passes through a plain polygon, would be
// freed twice by the node lists: such worlds are refused before anything is made.
TEST_P(BinaryWorld, BrokenPatchLinksAreRefusedBeforeBuilding) {
    const bf_world good = parse(fixtures + "/small.drovik");
    struct spoil_case {
        const char* what;
        void (*spoil)(bf_world&);
    };
    const spoil_case cases[] = {
        {"orphan patch",
         [](bf_world& w) {
             w.polygons[0].presence &= ~bf_layout::has_next_patch;
             w.polygons[0].next_patch = 0;
         }},
        {"plain polygon in a chain", [](bf_world& w) { w.polygons[1].patch_kind = 0; }},
        {"wrong back link", [](bf_world& w) { w.polygons[1].previous_patch = 3; }},
    };
    for (const spoil_case& c : cases) {
        SCOPED_TRACE(c.what);
        bf_world w = good;
        c.spoil(w);
        world_to_build = &w;
        EXPECT_EQ(read_into_new_module("", build_reader, true, nullptr), -1);
        EXPECT_STREQ(engine_get_last_error(), "bfl_read_world: the patch links of the polygons are broken\n");
        EXPECT_EQ(engine_state.groups, nullptr);
        EXPECT_EQ(engine_state.modules->root->polygons, nullptr);
    }
}

// The reader builds straight from the file's bytes: the engine gets what the parsed records build.
TEST_P(BinaryWorld, ReaderBuildsWhatTheParsedRecordsBuild) {
    for (const char* name : {"small.drovik", "full.drovik", "tree.drovik", "chase.drovik", "floors.drovik",
                             "cube.drovik", "left_out.drovik"}) {
        SCOPED_TRACE(name);
        TearDown();
        SetUp();
        ASSERT_EQ(read_into_new_module((fixtures + "/" + name).c_str(), bfl_read_world, true, nullptr), 0)
            << engine_get_last_error();
        const std::string read = world_dump().text();
        TearDown();
        SetUp();
        const bf_world w = parse(fixtures + "/" + name);
        world_to_build = &w;
        ASSERT_EQ(read_into_new_module("", build_reader, true, nullptr), 0) << engine_get_last_error();
        EXPECT_EQ(world_dump().text(), read);
        EXPECT_NE(read.find("  point"), std::string::npos);
    }
}

// Every damaged file is refused by the reader with the parser's line, and the world loaded before
// stays as it was.
TEST_P(BinaryWorld, DamagedFilesAreRefusedByTheReaderWithTheParsersLine) {
    ASSERT_NE(load("small.drovik"), nullptr);
    const std::string before = world_dump().text();
    int files = 0;
    for (const auto& file : fs::directory_iterator(fixtures + "/damaged")) {
        const std::string path = file.path().string();
        SCOPED_TRACE(path);
        bf_world parsed;
        ASSERT_EQ(bfl_read_world_file(path.c_str(), parsed), -1);
        const std::string line = engine_get_last_error();
        const int errors_before = engine_get_error_count();
        module* modules_before = engine_state.modules;
        EXPECT_EQ(bfl_read_world(path.c_str(), modules_before, nullptr), -1);
        EXPECT_EQ(engine_get_error_count(), errors_before + 1);
        EXPECT_EQ(engine_get_last_error(), line);
        EXPECT_EQ(engine_state.modules, modules_before);
        EXPECT_EQ(world_dump().text(), before);
        ++files;
    }
    EXPECT_GE(files, 20);
}

INSTANTIATE_TEST_SUITE_P(Modes, BinaryWorld, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param ? "Editor" : "Viewer"; });

}  // namespace
