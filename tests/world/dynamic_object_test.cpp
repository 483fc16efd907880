// Dynamic objects: father/son trees, rotations in object and world space, physics, deletion.
#include "world/chase.h"
#include "world_fixture.h"

namespace {

using DynamicObjects = WorldTest;

void expect_rows(const mat4& m, std::initializer_list<vec3> rows) {
    int r = 0;
    for (const vec3& expected : rows) {
        EXPECT_NEAR(m.m[r][0], expected.x, 1e-12) << "row " << r;
        EXPECT_NEAR(m.m[r][1], expected.y, 1e-12) << "row " << r;
        EXPECT_NEAR(m.m[r][2], expected.z, 1e-12) << "row " << r;
        ++r;
    }
}

TEST_F(DynamicObjects, CreationMakesAModuleAndListsTheObject) {
    dynamic_object* d = dynamic_create("loco");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(engine_state.dynamic_objects, d);
    EXPECT_EQ(module_find(engine_state.modules, "loco"), d->own_module);
    EXPECT_EQ(d->own_module->dynamic, 1);
    EXPECT_NE(d->own_module->root, nullptr);
    EXPECT_EQ(d->control, 1);
    EXPECT_EQ(d->track.next_point, 1);
    EXPECT_DOUBLE_EQ(d->scale[2], 1);
    EXPECT_EQ(dynamic_find_by_name(engine_state.dynamic_objects, "LOCO"), d);
    EXPECT_EQ(dynamic_get_by_index(engine_state.dynamic_objects, 1), nullptr);
    EXPECT_EQ(dynamic_get_by_index(engine_state.dynamic_objects, -1), nullptr);
}

TEST_F(DynamicObjects, TurnsAboutTheObjectsOwnAxesDifferFromWorldAxes) {
    dynamic_object* own = dynamic_create("own");
    dynamic_object* world = dynamic_create("world");
    for (dynamic_object* d : {own, world}) {
        dynamic_rotate_z(d, M_PI / 2, space_object);
        expect_rows(d->axis_system, {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}});
    }
    dynamic_rotate_x(own, M_PI / 2, space_object);
    dynamic_rotate_x(world, M_PI / 2, space_world);
    // About its own x axis (now world y) / about world x.
    expect_rows(own->axis_system, {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}});
    expect_rows(world->axis_system, {{0, 0, 1}, {-1, 0, 0}, {0, -1, 0}});
}

TEST_F(DynamicObjects, TurnsHappenAboutTheRotationCentre) {
    dynamic_object* d = dynamic_create("arm");
    dynamic_set_location(d, {10, 0, 0});
    d->rotation_centre[0] = 1;
    dynamic_rotate_z(d, M_PI / 2, space_object);
    EXPECT_NEAR(dynamic_get_location(d).x, 11, 1e-12);
    EXPECT_NEAR(dynamic_get_location(d).y, -1, 1e-12);
    dynamic_rotate_z(d, M_PI / 2, space_world);
    // The centre stands at world (11, 0, 0) and stays there; the location turns about it.
    vec3 centre;
    mul_vec_mat3(centre, {1, 0, 0}, d->total_matrix);
    EXPECT_NEAR(centre.x, 11, 1e-12);
    EXPECT_NEAR(centre.y, 0, 1e-12);
    EXPECT_NEAR(dynamic_get_location(d).x, 12, 1e-12);
    EXPECT_NEAR(dynamic_get_location(d).y, 0, 1e-12);
    EXPECT_NEAR(dynamic_get_x_axis(d).x, -1, 1e-12);
}

TEST_F(DynamicObjects, AZeroTurnLeavesBothMatricesUntouched) {
    dynamic_object* d = dynamic_create("still");
    dynamic_rotate_z(d, 0.3, space_object);
    const mat4 total = d->total_matrix, axes = d->axis_system;
    dynamic_rotate_x(d, 0, space_world);
    dynamic_rotate_y(d, 0, space_object);
    EXPECT_EQ(std::memcmp(&total, &d->total_matrix, sizeof total), 0);
    EXPECT_EQ(std::memcmp(&axes, &d->axis_system, sizeof axes), 0);
}

TEST_F(DynamicObjects, MovesInObjectSpaceFollowTheAxes) {
    dynamic_object* d = dynamic_create("car");
    dynamic_set_direction(d, {0, 1, 0});
    EXPECT_NEAR(dynamic_get_direction(d).y, 1, 1e-12);
    EXPECT_NEAR(dynamic_get_head(d), -90, 1e-9);
    dynamic_move(d, {-2, 0, 0}, space_object);  // two units along the direction
    EXPECT_NEAR(dynamic_get_location(d).y, 2, 1e-12);
    dynamic_move(d, {1, 1, 1}, space_world);
    EXPECT_NEAR(dynamic_get_location(d).x, 1, 1e-12);
    EXPECT_NEAR(d->total_matrix.m[3][2], 1, 1e-12);
    dynamic_set_bank(d, 30);
    EXPECT_NEAR(dynamic_get_bank(d), 30, 1e-9);
}

TEST_F(DynamicObjects, CameraSpaceMovesFollowTheCurrentCamerasAxes) {
    camera* view = record_new<camera>(kind_camera);
    matrix_rotation_z(view->matrix, M_PI / 2);
    set_current_camera(view);
    dynamic_object* d = dynamic_create("walker");
    dynamic_move(d, {1, 0, 0}, space_camera);
    EXPECT_NEAR(dynamic_get_location(d).x, 0, 1e-12);
    EXPECT_NEAR(dynamic_get_location(d).y, 1, 1e-12);
    engine_state.current_camera = nullptr;
    record_destroy(view);
}

TEST_F(DynamicObjects, PhysicsStepLimitsTheSpeedAndTurns) {
    dynamic_object* d = dynamic_create("ball");
    dynamic_set_speed(d, {3, 4, 0});
    d->max_speed = 2;
    dynamic_physics_step(d, 1, 0);
    EXPECT_NEAR(d->speed[0], 1.2, 1e-12);
    EXPECT_NEAR(d->speed[1], 1.6, 1e-12);
    EXPECT_NEAR(d->absolute_speed, 2, 1e-12);
    d->max_speed = 1e100;
    dynamic_set_speed(d, {1, 0, 0});
    dynamic_set_force(d, {1, 0, 0});
    d->friction = 0.5;
    dynamic_physics_step(d, 1, 0);
    EXPECT_NEAR(d->speed[0], 1, 1e-12);
    d->rotation[2] = 0.1;
    dynamic_physics_step(d, 5, 1);
    EXPECT_NEAR(dynamic_get_x_axis(d).y, std::sin(0.5), 1e-12) << "the turn scales with the time factor";
}

TEST_F(DynamicObjects, FathersRefuseCyclesAndSonsAreFoundAtAnyDepth) {
    dynamic_object* a = dynamic_create("a");
    dynamic_object* b = dynamic_create("b");
    dynamic_object* c = dynamic_create("c");
    ASSERT_EQ(dynamic_set_father(b, a), 0);
    ASSERT_EQ(dynamic_set_father(c, b), 0);
    EXPECT_EQ(dynamic_set_father(a, c), -1);
    EXPECT_EQ(a->father, nullptr);
    EXPECT_EQ(dynamic_set_father(a, a), -1);
    std::vector<dynamic_object*> sons;
    for (dynamic_object* s = dynamic_get_first_son(a); s; s = dynamic_get_next_son(a, s)) sons.push_back(s);
    EXPECT_EQ(sons, (std::vector<dynamic_object*>{c, b}));
    EXPECT_EQ(dynamic_get_first_direct_son(a), b);
    EXPECT_EQ(dynamic_get_next_direct_son(a, b), nullptr);
    dynamic_set_location(a, {3, 0, 0});
    dynamic_set_location(c, {0, 3, 0});
    vec3 centre;
    EXPECT_EQ(dynamic_get_center_of_tree(a, centre), 3);
    EXPECT_NEAR(centre.x, 1, 1e-12);
    EXPECT_NEAR(centre.y, 1, 1e-12);
}

TEST_F(DynamicObjects, FatherNamesAreConnectedAndNoneMeansNoFather) {
    dynamic_object* tender = dynamic_create("tender");
    dynamic_object* loco = dynamic_create("loco");
    dynamic_object* wagon = dynamic_create("wagon");
    jstrcpy_with_allocating(&tender->father_name, "LOCO");
    jstrcpy_with_allocating(&loco->father_name, "NONE");
    jstrcpy_with_allocating(&wagon->father_name, "missing");
    dynamic_connect_fathers(engine_state.dynamic_objects);
    EXPECT_EQ(tender->father, loco);
    EXPECT_EQ(tender->father_name, nullptr);
    EXPECT_EQ(loco->father, nullptr);
    EXPECT_EQ(loco->father_name, nullptr);
    EXPECT_STREQ(wagon->father_name, "missing");
}

TEST_F(DynamicObjects, CollectedSonsMoveWithTheirFather) {
    // MAIN places module "yard" at x = 10; a train stands in the yard at x = 1; its coach
    // stands in the train's own module at y = 2.
    dynamic_object* train = init_dynamic_object();
    jstrcpy_with_allocating(&train->name, "train");
    matrix_translation(train->total_matrix, {1, 0, 0});
    train->own_module = init_module();
    train->own_module->root = init_bsp_node();
    module_list_push(&engine_state.modules, train->own_module);
    dynamic_object* coach = init_dynamic_object();
    matrix_translation(coach->total_matrix, {0, 2, 0});
    dynamic_node_list_push(&train->own_module->root->dynamic_objects, coach);
    module* yard = init_module();
    yard->root = init_bsp_node();
    module_list_push(&engine_state.modules, yard);
    dynamic_node_list_push(&yard->root->dynamic_objects, train);
    object* placement = init_object();
    placement->placed = yard;
    matrix_translation(placement->matrix, {10, 0, 0});
    bsp_node_push_object(main_->root, placement);

    collect_dynamic_objects(main_, &engine_state.dynamic_objects);
    ASSERT_EQ(engine_state.dynamic_objects, train);
    EXPECT_EQ(yard->root->dynamic_objects, nullptr) << "collected objects leave their nodes";
    EXPECT_NEAR(dynamic_get_location(train).x, 11, 1e-12);
    ASSERT_EQ(train->first_son, coach);
    auto coach_in_world = [&] {
        mat4 m;
        matrix_multiply(m, coach->total_matrix, train->total_matrix);
        return vec3{m.m[3][0], m.m[3][1], m.m[3][2]};
    };
    EXPECT_NEAR(coach_in_world().x, 11, 1e-12);
    EXPECT_NEAR(coach_in_world().y, 2, 1e-12);
    dynamic_move(train, {5, 0, 0}, space_world);
    dynamic_rotate_z(train, M_PI / 2, space_object);
    EXPECT_NEAR(coach_in_world().x, 16 - 2, 1e-12);
    EXPECT_NEAR(coach_in_world().y, 0, 1e-12);
    mark_dynamic_modules(engine_state.dynamic_objects);
    EXPECT_EQ(train->own_module->dynamic, 1);
    EXPECT_EQ(yard->dynamic, 0);
}

TEST_F(DynamicObjects, DeletionUnhooksEverythingThatPointedAtTheObject) {
    dynamic_object* loco = dynamic_create("loco");
    dynamic_object* tender = dynamic_create("tender");
    dynamic_object* camera_car = dynamic_create("chaser");
    dynamic_object* son = init_dynamic_object();
    loco->first_son = son;
    dynamic_set_father(tender, loco);
    camera_car->chase.chased_object = loco;
    engine_state.player_object = loco;
    polygon* body = make({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}});
    body->owner = loco;
    polygon_list_add(&loco->own_module->root->polygons, body);
    polygon* shadowed = add_square(0, 0);
    polygon* patch = polygon_add_patch_easy(shadowed, nullptr, 0.2, nullptr, nullptr, 0, 0, 0);
    patch->owner = loco;
    object* stand_in = init_object_using_dynamic_object(loco);
    bsp_node_push_object(main_->root, stand_in);
    dynamic_node_list_push(&main_->root->dynamic_objects, loco);
    loco->node = main_->root;
    module* loco_module = loco->own_module;

    dynamic_delete(loco);
    int32_t kind = 0;
    EXPECT_FALSE(registry_lookup(loco, &kind));
    EXPECT_FALSE(registry_lookup(son, &kind)) << "its son list goes with it";
    EXPECT_FALSE(registry_lookup(loco_module, &kind));
    EXPECT_FALSE(registry_lookup(body, &kind));
    EXPECT_EQ(tender->father, nullptr);
    EXPECT_EQ(camera_car->chase.chased_object, nullptr);
    EXPECT_EQ(engine_state.player_object, nullptr);
    EXPECT_EQ(patch->owner, nullptr);
    EXPECT_EQ(stand_in->dynamic, nullptr);
    EXPECT_EQ(main_->root->dynamic_objects, nullptr);
    EXPECT_EQ(dynamic_find_by_name(engine_state.dynamic_objects, "loco"), nullptr);
    EXPECT_EQ(module_find(engine_state.modules, "loco"), nullptr);
}

TEST_F(DynamicObjects, PlacementPutsObjectsInTheNodeOfTheirLocationAndGrowsItsBox) {
    // The world root splits at x = 0 with a leaf on each side.
    bsp_node* root = main_->root;
    root->plane[0] = 1;
    root->plane[2] = 0;
    root->plane[3] = 0;
    for (bsp_node** child : {&root->front, &root->back}) {
        *child = init_bsp_node();
        (*child)->parent = root;
    }
    add({{1, 0, 0}, {1, 1, 0}, {2, 1, 0}});
    polygon* left = make({{-2, 0, 0}, {-2, 1, 0}, {-1, 1, 0}});
    polygon_list_add(&root->back->polygons, left);
    bsp_compute_bounding_boxes(root);
    ASSERT_DOUBLE_EQ(root->box[0], -2);
    ASSERT_DOUBLE_EQ(root->front->box[0], 1e100) << "an empty leaf has no box";

    dynamic_object* car = dynamic_create("car");
    polygon_list_add(&car->own_module->root->polygons, make({{-0.5, 0, 0}, {-0.5, 0, 3}, {0.5, 0, 3}}));
    bsp_compute_bounding_boxes(car->own_module->root);
    dynamic_object* parked = dynamic_create("parked");
    parked->disabled = 1;
    dynamic_set_location(car, {5, 0, 0});
    engine_place_dynamic_objects(main_, engine_state.dynamic_objects);
    EXPECT_EQ(car->node, root->front);
    EXPECT_EQ(root->front->dynamic_objects, car);
    EXPECT_EQ(parked->node, nullptr);
    EXPECT_DOUBLE_EQ(car->box[0], 4.5);
    EXPECT_DOUBLE_EQ(root->front->box[5], 3);
    EXPECT_DOUBLE_EQ(root->box[3], 5.5) << "the box grows up to the root";

    dynamic_set_location(car, {-5, 0, 0});
    engine_place_dynamic_objects(main_, engine_state.dynamic_objects);
    EXPECT_EQ(car->node, root->back);
    EXPECT_EQ(root->front->dynamic_objects, nullptr);
    EXPECT_DOUBLE_EQ(root->front->box[0], 1e100) << "last frame's growth is undone";
    EXPECT_DOUBLE_EQ(root->box[3], 2);

    dynamic_set_location(car, {0, 7, 0});
    engine_place_dynamic_objects(main_, engine_state.dynamic_objects);
    EXPECT_EQ(car->node, root) << "an object on a plane stays at that node";
    propagate_dynamic_box_up(nullptr);
    EXPECT_EQ(engine_get_last_error(), std::string("propagate_dynamic_box_up: dyn==NULL\n").substr(0, 59));
}

TEST_F(DynamicObjects, TheNextTrackPointFollowsTheClosestOne) {
    jtrack* line = record_new<jtrack>(kind_track);
    double points[9] = {0, 0, 0, 10, 0, 0, 20, 0, 5};
    line->points = points;
    line->point_count = 3;
    dynamic_object* d = dynamic_create("railcar");
    EXPECT_EQ(dynamic_get_next_track_point(d), 1) << "no track";
    d->track.line = line;
    d->track.offset[2] = 1;
    dynamic_set_location(d, {9, 0, 2});
    EXPECT_EQ(dynamic_get_next_track_point(d), 2);
    dynamic_update_track_target(d);
    EXPECT_DOUBLE_EQ(d->track.target[0], 9);
    EXPECT_DOUBLE_EQ(d->track.target[2], 6);
    dynamic_set_location(d, {19, 0, 0});
    EXPECT_EQ(dynamic_get_next_track_point(d), 0) << "after the last point";
    d->track.line = nullptr;
    line->points = nullptr;
    record_destroy(line);
}

TEST_F(DynamicObjects, GroupsTurnIntoObjectsWithTheirParameters) {
    group* g = group_create(&engine_state.groups, "bus");
    g->centre[0] = 4;
    jstrcpy_with_allocating(&g->chase.type_string, "chase_precise_fall12.5");
    g->fall_flag = 1;
    g->fall_height = 12.5;
    g->max_speed = 3;
    dynamic_object* d = dynamic_create_from_group(g);
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->name, "bus");
    EXPECT_STREQ(d->type, "regular");
    EXPECT_EQ(d->chase.type, CHASE_PRECISE);
    EXPECT_STREQ(d->chase.type_string, "CHASE_PRECISE_FALL12.5");
    EXPECT_DOUBLE_EQ(d->max_speed, 3);
    EXPECT_DOUBLE_EQ(dynamic_get_location(d).x, 4);
    dynamic_free(d);
}

}  // namespace
