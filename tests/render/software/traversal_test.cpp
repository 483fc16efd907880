// World traversal: walk order, culling, the time budget, dynamic objects, refused frames, the
// card's translucent passes against a recording back-end, awkward polygons and frame buffers.
#include <algorithm>
#include <cmath>

#include "traversal_fixture.h"

namespace {

uint32_t fake_now;
uint32_t ticking_clock() { return fake_now++; }

std::vector<int> ids(std::initializer_list<polygon*> polygons) {
    std::vector<int> out;
    for (polygon* p : polygons) out.push_back(p->serial_id);
    return out;
}

}  // namespace

// The camera's side of a node's plane decides which child comes first; on the plane counts as in front.
TEST_F(TraversalTest, WalkOrderFollowsCameraSide) {
    bsp_node* root = main_->root;
    root->plane[0] = root->plane[2] = 0;
    root->plane[1] = 1;  // y = 0
    root->plane[3] = 0;
    root->front = init_bsp_node();
    root->back = init_bsp_node();
    polygon* right = wall(-100, 10, 40, -10, 10, 200, 0, 0);
    polygon* left = wall(-100, -40, -10, -10, 10, 0, 0, 200);
    put(root->front, right);
    put(root->back, left);
    finish_tree();
    const render_backend recorder = polygon_recorder::software();
    render_backend_use(&recorder);
    struct side_case {
        double camera_y;
        std::vector<int> expected;
    };
    for (const side_case& c : {side_case{1, ids({right, left})}, side_case{0, ids({right, left})},
                               side_case{-1, ids({left, right})}}) {
        polygon_recorder::seen().clear();
        camera_set_location(cam_, {0, c.camera_y, 0});
        camera_mark_rebuilt(cam_);
        ASSERT_EQ(draw(), 0);
        EXPECT_EQ(polygon_recorder::seen(), c.expected) << c.camera_y;
    }
}

TEST_F(TraversalTest, BackChildFirstFromBehind) {
    bsp_node* root = main_->root;
    root->plane[0] = -1;
    root->plane[1] = root->plane[2] = 0;
    root->plane[3] = -50;  // x = -50, normal -x: the camera at the origin stands behind
    root->front = init_bsp_node();
    root->back = init_bsp_node();
    polygon* far_wall = wall(-80, -60, 60, -40, 40, 0, 0, 200);
    polygon* near_wall = wall(-30, -20, 20, -10, 10, 200, 0, 0);
    put(root->front, far_wall);
    put(root->back, near_wall);
    finish_tree();
    const render_backend recorder = polygon_recorder::software();
    render_backend_use(&recorder);
    polygon_recorder::seen().clear();
    ASSERT_EQ(draw(), 0);
    EXPECT_EQ(polygon_recorder::seen(), ids({near_wall, far_wall}));
}

TEST_F(TraversalTest, NodesOutsideTheViewAreSkipped) {
    bsp_node* root = main_->root;
    root->front = split_node(-40);
    root->back = init_bsp_node();
    polygon* seen_wall = wall(-100, -20, 20, -10, 10, 200, 0, 0);
    polygon* behind_camera = wall(100, -20, 20, -10, 10, 200, 0, 0);
    put(root->front, seen_wall);
    put(root->back, behind_camera);
    finish_tree();
    const render_backend recorder = polygon_recorder::software();
    render_backend_use(&recorder);
    polygon_recorder::seen().clear();
    ASSERT_EQ(draw(), 0);
    EXPECT_EQ(polygon_recorder::seen(), ids({seen_wall}));
    EXPECT_EQ(root->back->visible, 0);
    EXPECT_EQ(root->front->visible, 1);
    // Beyond its visibility distance a node is skipped too.
    root->front->visibility_distance = 50;
    root->visibility_distance = 50;
    polygon_recorder::seen().clear();
    ASSERT_EQ(draw(), 0);
    EXPECT_TRUE(polygon_recorder::seen().empty());
}

// The clock is read every 20th node: with a budget of 0 the walk stops there, earlier nodes drawn.
TEST_F(TraversalTest, ZeroBudgetStopsAtTwentiethNode) {
    bsp_node* node = main_->root;
    std::vector<int> expected;
    for (int i = 0; i < 30; ++i) {
        node->plane[0] = 1;
        node->plane[1] = node->plane[2] = 0;
        node->plane[3] = 1000 - i;  // the camera is in front of every plane: polygons before the back child
        polygon* p = wall(-20 - i, -5, 5, -5, 5, 100, 100, 100);
        put(node, p);
        if (i < 19) expected.push_back(p->serial_id);
        if (i < 29) node->back = init_bsp_node();
        node = node->back;
    }
    finish_tree();
    engine_state.maximum_render_time = 0;
    fake_now = 1;
    plat_clock_override(ticking_clock, nullptr);
    const render_backend recorder = polygon_recorder::software();
    render_backend_use(&recorder);
    polygon_recorder::seen().clear();
    ASSERT_EQ(draw(), 0);
    EXPECT_EQ(polygon_recorder::seen(), expected);
}

// Z-buffer off: objects are drawn in BSP order during the walk. On: after the walk, depth tested.
TEST_F(TraversalTest, DynamicObjectsWithZBufferOffAndOn) {
    polygon* static_wall = wall(-100, -40, 40, -30, 30, 200, 0, 0);
    put(main_->root, static_wall);
    finish_tree();
    polygon* box_face = wall(0, -10, 10, -10, 10, 0, 0, 200);
    dynamic_object* d = object_at("box", {-50, 0, 0}, {box_face});
    main_->root->dynamic_objects = d;
    const render_backend recorder = polygon_recorder::software();
    render_backend_use(&recorder);
    for (int zstate : {0, 1}) {
        engine_state.zbuffer_state = zstate;
        polygon_recorder::seen().clear();
        clear_draw_buffer_buffer(&buffer_, background);
        ASSERT_EQ(draw(), 0);
        const std::vector<int> expected = zstate == 0 ? ids({box_face, static_wall}) : ids({static_wall, box_face});
        EXPECT_EQ(polygon_recorder::seen(), expected) << zstate;
        // The box (nearer) shows in front of the wall either way.
        EXPECT_EQ(pixel(80, 60), rgb_to_pixel(0, 0, 200)) << zstate;
        EXPECT_EQ(pixel(55, 60), rgb_to_pixel(200, 0, 0)) << zstate;
        EXPECT_EQ(engine_state.zbuffer_state, zstate);
    }
    main_->root->dynamic_objects = nullptr;
}

TEST_F(TraversalTest, RefusedFramesLeaveTheBufferAlone) {
    put(main_->root, wall(-100, -40, 40, -30, 30, 200, 0, 0));
    finish_tree();
    EXPECT_EQ(draw_world(nullptr, main_, cam_, nullptr), -1);
    EXPECT_EQ(std::string(engine_get_last_error()), "draw_world: buffer==NULL");
    draw_buffer small{};
    init_draw_buffer(&small, 2);
    ASSERT_EQ(set_buffer_dimentions(&small, width - 1, height), 0);
    clear_draw_buffer_buffer(&small, background);
    EXPECT_EQ(draw_world(&small, main_, cam_, nullptr), -1);
    EXPECT_EQ(std::string(engine_get_last_error()), "draw_world: rendered picture doesnt fit to buffer");
    const uint16_t* cells = static_cast<uint16_t*>(small.cells);
    EXPECT_TRUE(std::all_of(cells, cells + (width - 1) * height, [](uint16_t c) { return c == background; }));
    free_draw_buffer(&small);
}

// More blended polygons than the card pass keeps still reach the back-end, farthest first.
TEST_F(TraversalTest, ManyTranslucentPolygonsFarthestFirst) {
    engine_state.editor_mode = 1;
    engine_state.zbuffer_state = 1;
    std::vector<int> far_to_near;
    for (int i = 0; i < 2600; ++i) {
        const double x = -10 - (i * 7919 % 2600) * 0.5;
        polygon* p = wall(x, -1, 1, -1, 1, 100, 100, 100);
        p->blending_on = 1;
        put(main_->root, p);
        far_to_near.push_back(p->serial_id);
    }
    std::vector<std::pair<double, int>> by_depth;
    for (polygon* p = main_->root->polygons; p; p = p->next) by_depth.push_back({p->points->x, p->serial_id});
    std::stable_sort(by_depth.begin(), by_depth.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    far_to_near.clear();
    for (const auto& item : by_depth) far_to_near.push_back(item.second);
    finish_tree();
    const render_backend card = polygon_recorder::card();
    render_backend_use(&card);
    polygon_recorder::seen().clear();
    ASSERT_EQ(draw(), 0);
    EXPECT_EQ(polygon_recorder::seen(), far_to_near);
}

// The card's z-buffer pass draws opaque polygons, then the blended ones in reverse order of collection.
TEST_F(TraversalTest, CardPassesCollectThenDrawBlended) {
    engine_state.zbuffer_state = 1;
    polygon* glass_near = wall(-30, -20, 20, -10, 10, 200, 0, 0);
    polygon* solid = wall(-60, -40, 40, -30, 30, 0, 200, 0);
    polygon* glass_far = wall(-90, -60, 60, -40, 40, 0, 0, 200);
    glass_near->blending_on = glass_far->blending_on = 1;
    bsp_node* root = main_->root;
    root->plane[0] = 1;
    root->plane[1] = root->plane[2] = 0;
    root->plane[3] = 60;
    root->front = init_bsp_node();
    root->back = init_bsp_node();
    put(root->front, glass_near);
    put(root, solid);
    put(root->back, glass_far);
    finish_tree();
    const render_backend card = polygon_recorder::card();
    render_backend_use(&card);
    polygon_recorder::seen().clear();
    ASSERT_EQ(draw(), 0);
    EXPECT_EQ(polygon_recorder::seen(), ids({solid, glass_far, glass_near}));
    // Without the z-buffer one walk, back to front, draws everything.
    engine_state.zbuffer_state = 0;
    polygon_recorder::seen().clear();
    ASSERT_EQ(draw(), 0);
    EXPECT_EQ(polygon_recorder::seen(), ids({glass_far, solid, glass_near}));
}

// Awkward polygons go through the whole path without trouble under the sanitizers.
TEST_F(TraversalTest, ManyPointEdgeOnAndNearCrossingPolygons) {
    polygon* disc = init_poly();
    for (int i = 0; i < 200; ++i) {
        const double a = -2 * M_PI * i / 200;
        const double values[6] = {-60, 30 * std::cos(a), 30 * std::sin(a), 0, 0, 8};
        polygon_add_point(disc, values);
    }
    polygon_set_color_fill(disc, 250, 250, 0);
    polygon_recalculate(disc);
    if (disc->plane[0] < 0) {
        for (double& v : disc->plane) v = -v;
    }
    put(main_->root, disc);
    // Seen almost edge-on: its plane passes a hair below the eye.
    put(main_->root, make({{-50, 10, -0.00002}, {-80, 10, -0.00002}, {-80, 20, -0.00002}}, 10, 10, 10));
    // Crossing the near plane: from beside the eye to far ahead.
    put(main_->root, make({{-200, 40, -40}, {10, 40, -40}, {10, -40, -40}, {-200, -40, -40}}, 0, 250, 0));
    finish_tree();
    for (int zstate : {0, 1}) {
        engine_state.zbuffer_state = zstate;
        clear_draw_buffer_buffer(&buffer_, background);
        ASSERT_EQ(draw(), 0);
        EXPECT_NE(pixel(80, 60), background) << zstate;
    }
}

TEST_F(TraversalTest, FrameBuffersFreedAtClose) {
    engine_state.zbuffer_state = 1;
    const uint32_t before = engine_get_bytes_in_use();
    ASSERT_EQ(draw(), 0);
    EXPECT_GT(engine_get_bytes_in_use(), before);
    free_frame_buffers();
    EXPECT_EQ(engine_get_bytes_in_use(), before);
}
