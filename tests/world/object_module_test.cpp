// Static objects and modules: unique module names, copies, counts through nested modules.
#include "world_fixture.h"

namespace {

using ObjectsAndModules = WorldTest;

struct module* named_module(const char* name) {
    module* m = init_module();
    m->root = init_bsp_node();
    jstrcpy_with_allocating(&m->name, name);
    module_list_push(&engine_state.modules, m);
    return m;
}

TEST_F(ObjectsAndModules, UniqueModuleNamesTakeTheFirstFreeSuffix) {
    named_module("tree");
    named_module("tree_3");
    named_module("lamp7");
    struct unique_case {
        const char* given;
        const char* expected;
    };
    const unique_case cases[] = {
        {"house", "house"}, {"tree", "tree_2"}, {"TREE_3", "TREE_2"}, {"lamp7", "lamp7_2"},
    };
    for (const unique_case& c : cases) {
        std::string name = c.given;
        EXPECT_EQ(module_find_unique_name(engine_state.modules, name), 0) << c.given;
        EXPECT_EQ(name, c.expected) << c.given;
    }
    EXPECT_EQ(module_find(engine_state.modules, "Lamp7")->name, std::string("lamp7"));
}

TEST_F(ObjectsAndModules, ADuplicatedObjectTakesTheSourceMatrixOnTheLeft) {
    object* o = init_object();
    object_set_module_name(o, "tree");
    matrix_rotation_z(o->matrix, M_PI / 2);
    mat4 shift;
    matrix_translation(shift, {10, 0, 0});
    object* copy = duplicate_object(o, shift);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->module_name, "tree");
    EXPECT_NE(copy->module_name, o->module_name);
    vec3 p;
    mul_vec_mat3(p, {1, 0, 0}, copy->matrix);
    EXPECT_NEAR(p.x, 10, 1e-12) << "turned first, then moved";
    EXPECT_NEAR(p.y, 1, 1e-12);
    object_destroy(o);
    object_destroy(copy);
}

TEST_F(ObjectsAndModules, CountsIncludeTheModulesThatObjectsPlace) {
    module* tree = named_module("tree");
    polygon_list_add(&tree->root->polygons, make({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}));
    polygon_list_add(&tree->root->polygons, make({{0, 0, 1}, {0, 1, 1}, {1, 0, 1}}));
    add_square(0, 0);
    for (int i = 0; i < 3; ++i) {
        object* o = init_object();
        object_set_module_name(o, "tree");
        o->placed = tree;
        bsp_node_push_object(main_->root, o);
    }
    module_count_polygons(engine_state.modules);
    module_count_nodes(engine_state.modules);
    EXPECT_EQ(main_->polygon_count, 1 + 3 * 2);
    EXPECT_EQ(main_->node_count, 1 + 3);
    EXPECT_EQ(tree->polygon_count, 2);
    // A module placed inside itself is counted to a bounded depth, not forever.
    object* loop = init_object();
    loop->placed = tree;
    bsp_node_push_object(tree->root, loop);
    module_count_polygons(engine_state.modules);
    EXPECT_GT(tree->polygon_count, 2);
}

TEST_F(ObjectsAndModules, ADuplicatedModuleHasItsOwnPolygonsInTheWorldOrder) {
    module* tree = named_module("tree");
    polygon_list_add(&tree->root->polygons, make({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}));
    module* copy = module_duplicate(&engine_state.modules, tree);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->name, "tree");
    EXPECT_NE(copy->root->polygons, tree->root->polygons);
    EXPECT_EQ(polygon_list_count(copy->root->polygons), 1);
    int threaded = 0;
    for (polygon* p = engine_state.world_order; p; p = p->next_in_world_order) threaded++;
    EXPECT_EQ(threaded, 2);
    EXPECT_EQ(module_list_remove(&engine_state.modules, copy), 0);
    EXPECT_EQ(module_list_remove(&engine_state.modules, copy), -1);
    module_destroy(copy);
}

}  // namespace
