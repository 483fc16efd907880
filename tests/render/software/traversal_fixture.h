// A viewer-mode world built in memory, a 160 x 120 frame and a camera at the origin looking
// along -x, for the traversal and golden-frame tests.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "../../common/render_fixture.h"
#include "foundation/strings.h"
#include "platform/clock.h"
#include "render/render_backend.h"
#include "render/software/draw_buffer.h"
#include "render/software/frame_buffers.h"
#include "render/software/raster_iface.h"
#include "render/software/world_traversal.h"
#include "world/bsp_node.h"
#include "world/bsp_tree.h"
#include "world/camera.h"
#include "world/colour.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/object_module.h"
#include "world/polygon.h"
#include "world/polygon_fill.h"

struct corner {
    double x, y, z, u = 0, v = 0;
};

class TraversalTest : public RenderTest {
protected:
    static constexpr int width = 160;
    static constexpr int height = 120;
    static constexpr uint16_t background = 0xA515;

    void SetUp() override {
        RenderTest::SetUp();
        engine_state.zbuffer_state = 0;
        main_ = add_main_module();
        jstrcpy_with_allocating(&main_->name, "MAIN");
        cam_ = camera_init("view", width, height, 90, 0, 0, {0, 0, 0}, {-1, 0, 0}, 4);
        ASSERT_NE(cam_, nullptr);
        init_draw_buffer(&buffer_, 2);
        ASSERT_EQ(set_buffer_dimentions(&buffer_, width, height), 0);
        clear_draw_buffer_buffer(&buffer_, background);
    }

    void TearDown() override {
        render_backend_use(nullptr);
        plat_clock_override(nullptr, nullptr);
        free_draw_buffer(&buffer_);
        camera_free(cam_);
        for (dynamic_object* d = engine_state.dynamic_objects; d; d = d->next) d->node = nullptr;
        dynamic_free_all(&engine_state.dynamic_objects);
        free_frame_buffers();
        RenderTest::TearDown();
    }

    // A colour-filled polygon with brightness 8 at every point; not on any list.
    static polygon* make(std::initializer_list<corner> corners, int r, int g, int b) {
        polygon* p = init_poly();
        for (const corner& q : corners) {
            const double values[6] = {q.x, q.y, q.z, q.u, q.v, 8};
            polygon_add_point(p, values);
        }
        polygon_set_color_fill(p, r, g, b);
        polygon_recalculate(p);
        return p;
    }

    // The rectangle y0..y1 by z0..z1 standing at x, facing +x (toward a camera at the origin
    // looking along -x).
    static polygon* wall(double x, double y0, double y1, double z0, double z1, int r, int g, int b) {
        return make({{x, y1, z1, 1, 0}, {x, y1, z0, 1, 1}, {x, y0, z0, 0, 1}, {x, y0, z1, 0, 0}}, r, g, b);
    }

    static void put(bsp_node* node, polygon* p) { polygon_list_add(&node->polygons, p); }

    // A node on the plane x = at (normal +x) with empty children, for order tests.
    static bsp_node* split_node(double at) {
        bsp_node* node = init_bsp_node();
        node->plane[0] = 1;
        node->plane[1] = node->plane[2] = 0;
        node->plane[3] = -at;
        return node;
    }

    // Boxes and visibility distances as a digested world has them.
    void finish_tree() {
        bsp_compute_bounding_boxes(main_->root);
        set_bsp_nodes_visibility(main_->root);
    }

    int draw() { return draw_world(&buffer_, main_, cam_, engine_state.dynamic_objects); }

    uint16_t* pixels() { return static_cast<uint16_t*>(buffer_.cells); }
    uint16_t pixel(int x, int y) { return pixels()[y * width + x]; }

    // A dynamic object whose module holds the polygons, placed by a translation.
    dynamic_object* object_at(const char* name, const vec3& at, std::initializer_list<polygon*> polygons) {
        dynamic_object* d = dynamic_create(name);  // on the world's lists, with a module of its own
        module* m = d->own_module;
        for (polygon* p : polygons) {
            p->owner = d;
            put(m->root, p);
        }
        bsp_compute_bounding_boxes(m->root);
        set_bsp_nodes_visibility(m->root);
        dynamic_set_location(d, at);
        return d;
    }

    module* main_ = nullptr;
    camera* cam_ = nullptr;
    draw_buffer buffer_{};
};

// Records the serial ids of the polygons a back-end is handed, in order (a dynamic object's polygon
// arrives as a frame copy with the same id).
struct polygon_recorder {
    static std::vector<int>& seen() {
        static std::vector<int> list;
        return list;
    }
    static int record(camera* c, polygon* p, const clip_point* points, int count, const clip_point* camera_points,
                      const projected_point* projected) {
        seen().push_back(p->serial_id);
        return fill_polygon_software(c, p, points, count, camera_points, projected);
    }
    static int card_world(draw_buffer*, module* root, camera* c, dynamic_object* objects) {
        return draw_world_card3d(root, c, objects);
    }
    static render_backend software() {
        render_backend b = render_backend_software();
        b.projected_polygon = record;
        return b;
    }
    static render_backend card() {
        render_backend b = software();
        b.world = card_world;
        b.projected_polygon = [](camera*, polygon* p, const clip_point*, int, const clip_point*,
                                 const projected_point*) {
            seen().push_back(p->serial_id);
            return 0;
        };
        return b;
    }
};
