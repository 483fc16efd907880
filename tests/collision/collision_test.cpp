// The collision test over one yard: walls, a ROTATED sprite, dynamic boxes, filters, falling.
#include <optional>

#include "../engine_state/state_fixture.h"
#include "world/bsp_tree.h"
#include "world/camera.h"
#include "world/collision.h"
#include "world/dynamic_fall.h"
#include "world/polygon_geometry.h"

namespace {

using namespace state_test;

// MAIN: a floor, walls at x = 100 and x = 200 (y -40..40, z 10..90), a ROTATED sprite in the
// lane y = 300, and two walls 10 apart at x = 300 and 310 in the lane y = 500. Dynamic objects:
// a crate wall at x = 150, a large board at x = 500 in the lane y = -600, a box top at z = 20 and
// a ball above it at x = -300. The current camera looks on from high above.
void build_yard() {
    module* main = add_module("MAIN");
    add_floor(main, 0, 0, 0, 1000, "floor");
    add_wall_x(main, 100, 0, 50, 40, "near_wall");
    add_wall_x(main, 200, 0, 50, 40, "far_wall");
    polygon* sprite = add_polygon(main, {{50, 295, 45}, {50, 305, 45}, {55, 300, 55}}, "sprite");
    sprite->rotated = 1;
    add_wall_x(main, 300, 500, 50, 10, "plane_wall");
    add_wall_x(main, 310, 500, 50, 10, "off_plane");
    add_wall_x(add_module("CRATE"), 0, 0, 0, 10, "crate_face");
    add_wall_x(add_module("BIG"), 0, 0, 0, 300, "big_face");
    // Objects without trees of their own block only by their front faces: these face up.
    polygon_flip_visible_side(add_floor(add_module("BOX"), 0, 0, 0, 5, "box_top"));
    polygon_flip_visible_side(add_floor(add_module("BALL"), 0, 0, 0, 1, "ball_bottom"));
    const struct {
        const char* name;
        const char* module_name;
        vec3 at;
    } placed[] = {{"crate", "CRATE", {150, 0, 50}},
                  {"big", "BIG", {500, -600, 150}},
                  {"box", "BOX", {-300, 0, 20}},
                  {"ball", "BALL", {-300, 0, 100}}};
    for (const auto& p : placed) matrix_set_translation(add_dynamic(main, p.name, p.module_name)->total_matrix, p.at);
}

class Collision : public StateTest {
protected:
    void SetUp() override {
        StateTest::SetUp();
        scene() = build_yard;
        ASSERT_EQ(load("yard.wld"), 0);
        // The viewpoint for the faces of objects without trees: high above the yard.
        camera_set_location(get_current_camera(), {0, 0, 1000});
    }

public:
    dynamic_object* object(const char* name) { return dynamic_find_by_name(get_dynamic_objects(), name); }
    polygon* world_polygon(const char* name) { return bsp_tree_find_polygon(get_main_module()->root, name); }
};

struct move_case {
    const char* what;
    void (*prepare)(Collision&);
    vec3 start, end;
    const char* polygon_name;  // NULL: free
    const char* object_name;   // NULL: the static world
    double hit_x;
    const char* moving = nullptr;
};

void nothing(Collision&) {}

TEST_F(Collision, MovesAreStoppedByTheNearestObstacle) {
    static group* far_group = nullptr;
    const move_case cases[] = {
        {"above everything", nothing, {0, 0, 500}, {10, 0, 500}, nullptr, nullptr, 0},
        {"forward: the near wall", nothing, {0, 0, 50}, {300, 0, 50}, "near_wall", nullptr, 100},
        {"backward: the far wall", nothing, {300, 0, 50}, {0, 0, 50}, "far_wall", nullptr, 200},
        {"starting on the wall's plane", nothing, {100, 0, 50}, {150, 0, 50}, "near_wall", nullptr, 100},
        {"ending on the wall's plane", nothing, {50, 0, 50}, {100, 0, 50}, "near_wall", nullptr, 100},
        {"ending on the far wall's plane", nothing, {250, 0, 50}, {200, 0, 50}, "far_wall", nullptr, 200},
        {"the object before the far wall", nothing, {120, 0, 50}, {300, 0, 50}, "crate_face", "crate", 150},
        {"the world wall before the object", nothing, {0, 0, 50}, {160, 0, 50}, "near_wall", nullptr, 100},
        {"an object without its collision flag", [](Collision& t) { t.object("crate")->collisional = 0; },
         {120, 0, 50}, {300, 0, 50}, "far_wall", nullptr, 200},
        {"a disabled object", [](Collision& t) { t.object("crate")->disabled = 1; },
         {120, 0, 50}, {300, 0, 50}, "far_wall", nullptr, 200},
        {"the moving object itself", nothing, {120, 0, 50}, {300, 0, 50}, "far_wall", nullptr, 200, "crate"},
        {"a polygon that is not collisional",
         [](Collision& t) {
             t.world_polygon("near_wall")->collisional = 0;
             t.object("crate")->collisional = 0;
         },
         {0, 0, 50}, {300, 0, 50}, "far_wall", nullptr, 200},
        {"another group than the one to render",
         [](Collision& t) {
             far_group = group_create(&engine_state.groups, "far");
             t.world_polygon("far_wall")->owner_group = far_group;
             engine_set_group_to_render(far_group);
         },
         {0, 0, 50}, {300, 0, 50}, "far_wall", nullptr, 200},
        {"a short move into a large object", nothing, {495, -400, 150}, {505, -400, 150}, "big_face", "big", 500},
    };
    for (const move_case& c : cases) {
        SCOPED_TRACE(c.what);
        c.prepare(*this);
        collision_hit hit;
        const int free = is_movement_possible(c.moving ? object(c.moving) : nullptr, c.start, c.end, hit);
        ASSERT_EQ(free, c.polygon_name ? 0 : 1);
        if (c.polygon_name) {
            ASSERT_NE(hit.polygon_hit, nullptr);
            EXPECT_STREQ(hit.polygon_hit->name, c.polygon_name);
            EXPECT_NEAR(hit.point.x, c.hit_x, 1e-6);
            EXPECT_EQ(hit.object, c.object_name ? object(c.object_name) : nullptr);
        } else {
            EXPECT_EQ(hit.polygon_hit, nullptr);
        }
        // Back to the yard as loaded.
        engine_set_group_to_render(nullptr);
        if (far_group) {
            world_polygon("far_wall")->owner_group = nullptr;
            group_delete(&engine_state.groups, far_group);
            far_group = nullptr;
        }
        world_polygon("near_wall")->collisional = 1;
        object("crate")->collisional = 1;
        object("crate")->disabled = 0;
    }
}

// The node holding one of the two close walls on the other one's plane.
bsp_node* node_off_its_plane(bsp_node* node, polygon** off) {
    if (!node) return nullptr;
    for (polygon* p = node->polygons; p; p = p->next) {
        const plane pl{node->plane[0], node->plane[1], node->plane[2], node->plane[3]};
        if (std::fabs(plane_value(pl, {p->points->x, p->points->y, p->points->z})) > 1) {
            *off = p;
            return node;
        }
    }
    if (bsp_node* n = node_off_its_plane(node->front, off)) return n;
    return node_off_its_plane(node->back, off);
}

TEST_F(Collision, APolygonOffItsNodesPlaneBlocks) {
    polygon* off = nullptr;
    bsp_node* node = node_off_its_plane(get_main_module()->root, &off);
    ASSERT_NE(node, nullptr) << "the tree keeps the two close walls in one node";
    const double wall_x = off->points->x;
    ASSERT_NEAR(std::fabs(node->plane[0]), 1, 1e-9);
    const double node_x = -node->plane[3] / node->plane[0];
    const double side = wall_x > node_x ? 1 : -1;
    // Both ends lie on the same side of the node's plane; the segment crosses the wall.
    const vec3 start{wall_x + side * 5, 500, 50}, end{wall_x - side * 5, 500, 50};
    ASSERT_GT((start.x - node_x) * (end.x - node_x), 0);
    collision_hit hit;
    ASSERT_EQ(is_movement_possible(nullptr, start, end, hit), 0);
    EXPECT_EQ(hit.polygon_hit, off);
    EXPECT_NEAR(hit.point.x, wall_x, 1e-9);
}

TEST_F(Collision, ARotatedSpriteBlocksByItsBox) {
    // The segment passes beside the triangle itself but through the box it turns in.
    polygon* sprite = world_polygon("sprite");
    collision_hit hit;
    ASSERT_EQ(is_movement_possible(nullptr, {0, 304, 54}, {100, 304, 54}, hit), 0);
    EXPECT_EQ(hit.polygon_hit, sprite);
    EXPECT_DOUBLE_EQ(hit.point.x, sprite->box[0]);
    sprite->rotated = 0;
    EXPECT_EQ(is_movement_possible(nullptr, {0, 304, 54}, {100, 304, 54}, hit), 1);
}

// In editor mode the sprite is turned to face the camera, as drawn: a segment beside its box but
// through the turned triangle is blocked, one through the box beside the turned triangle is not.
TEST_F(Collision, InEditorModeARotatedSpriteBlocksAsItIsTurnedTowardTheCamera) {
    polygon* sprite = world_polygon("sprite");
    engine_state.editor_mode = 1;
    camera_set_location(get_current_camera(), {sprite->centre[0], 0, 50});
    collision_hit hit;
    EXPECT_EQ(is_movement_possible(nullptr, {48, 0, 46}, {48, 600, 46}, hit), 0);
    EXPECT_EQ(hit.polygon_hit, sprite);
    EXPECT_NEAR(hit.point.x, 48, 1e-9);
    EXPECT_GT(hit.point.y, 296);
    EXPECT_LT(hit.point.y, 302);
    EXPECT_EQ(is_movement_possible(nullptr, {54, 0, 54}, {54, 600, 54}, hit), 1);
    engine_state.editor_mode = 0;
}

TEST_F(Collision, CombinedNormalSumsEveryCrossedPolygon) {
    vec3 normal;
    EXPECT_EQ(calculate_combined_normal(normal, {0, 0, 50}, {300, 0, 50}), 3);
    const polygon* wall = world_polygon("near_wall");
    EXPECT_NEAR(normal.x, wall->plane[0], 1e-9);
    EXPECT_NEAR(std::fabs(normal.x), 1, 1e-9);
    EXPECT_EQ(wall->disabled, 0);
    EXPECT_EQ(world_polygon("far_wall")->disabled, 0);
    EXPECT_EQ(calculate_combined_normal(normal, {0, 0, 500}, {10, 0, 500}), 0);
}

TEST_F(Collision, ObjectsFallOntoWhatLiesBeneath) {
    dynamic_object* ball = object("ball");
    ball->fall_height = 1;
    ASSERT_EQ(dynamic_fall_down(ball, 0), 0);
    EXPECT_NEAR(dynamic_get_location(ball).z, 21, 1e-9) << "on the box top";
    dynamic_set_location(ball, {-300, 0, 100});
    ASSERT_EQ(dynamic_fall_down(ball, 1), 0);
    EXPECT_NEAR(dynamic_get_location(ball).z, 1, 1e-9) << "through the box onto the floor";
    dynamic_set_location(ball, {-300, 0, -50});
    ASSERT_EQ(dynamic_fall_down(ball, 0), 0);
    EXPECT_NEAR(dynamic_get_location(ball).z, 1, 1e-9) << "below the floor it rises onto it";
    dynamic_set_location(ball, {5000, 0, 100});
    EXPECT_EQ(dynamic_fall_down(ball, 0), -1);
    EXPECT_NE(error_log().find("dynamic_fall_down: Very weird nothing beneath and nothing above !\n"),
              std::string::npos);
}

TEST_F(Collision, CamerasFallOntoObjectsOrThroughThem) {
    camera* cam = get_cameras_list();
    ASSERT_NE(cam, nullptr);
    cam->fall_height = 5;
    camera_set_location(cam, {-300, 0, 150});
    ASSERT_EQ(camera_fall_down(cam, 0), 0);
    // The ball (z 100) lies first beneath.
    EXPECT_NEAR(camera_get_location(cam).z, 105, 1e-9);
    camera_set_location(cam, {-300, 0, 150});
    ASSERT_EQ(camera_fall_down(cam, 1), 0);
    EXPECT_NEAR(camera_get_location(cam).z, 5, 1e-9) << "through the ball and the box onto the floor";
    camera_set_location(cam, {-300, 0, -50});
    EXPECT_EQ(camera_fall_down(cam, 0), -1);
    EXPECT_NEAR(camera_get_location(cam).z, -50, 1e-9);
    collision_hit hit;
    camera_set_location(cam, {0, 0, 50});
    EXPECT_EQ(camera_is_movement_possible(cam, {300, 0, 0}, 0, hit), 0);
    EXPECT_STREQ(hit.polygon_hit->name, "near_wall");
}

TEST_F(Collision, AMoveOfAnObjectStartsAtItsLocation) {
    collision_hit hit;
    EXPECT_EQ(dynamic_is_movement_possible(object("crate"), {200, 0, 0}, space_world, hit), 0);
    EXPECT_STREQ(hit.polygon_hit->name, "far_wall");
    EXPECT_EQ(dynamic_is_movement_possible(object("crate"), {-10, 0, 0}, space_world, hit), 1);
}

}  // namespace
