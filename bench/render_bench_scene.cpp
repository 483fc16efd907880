// A generated textured scene for the renderer benchmark: a checkered floor and rows of walls.
#include "render_bench_scene.h"

#include <vector>

#include "foundation/errors.h"
#include "foundation/strings.h"
#include "platform/msgbox.h"
#include "render/images/bitmap_texture.h"
#include "render/render_backend.h"
#include "render/software/frame_buffers.h"
#include "render/software/world_traversal.h"
#include "world/bsp_node.h"
#include "world/bsp_tree.h"
#include "world/camera.h"
#include "world/engine_state.h"
#include "world/object_module.h"
#include "world/polygon.h"
#include "world/polygon_fill.h"

namespace {

constexpr int frame_width = 640;
constexpr int frame_height = 480;

bitmap_texture* checker_texture() {
    std::vector<uint8_t> pixels(64 * 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) pixels[y * 64 + x] = static_cast<uint8_t>(((x / 8 + y / 8) % 2) * 8 + (x + y) % 8);
    }
    std::vector<rgb8> palette(16);
    for (int i = 0; i < 16; ++i) {
        palette[i] = {static_cast<uint8_t>(60 + i * 12), static_cast<uint8_t>(200 - i * 9), static_cast<uint8_t>(90 + i * 5)};
    }
    return bitmap_texture_create_from_pixels(&engine_state.bitmaps, "checker", 64, 64, pixels.data(), palette.data(),
                                             16, -1);
}

}  // namespace

void bench_add_quad(bsp_node* node, bitmap_texture* texture, const bench_corner (&corners)[4]) {
    polygon* p = init_poly();
    for (const bench_corner& q : corners) {
        const double values[6] = {q.x, q.y, q.z, q.u, q.v, 8};
        polygon_add_point(p, values);
    }
    polygon_set_bitmap_fill(p, texture);
    polygon_recalculate(p);
    polygon_list_add(&node->polygons, p);
}

bench_scene::bench_scene() {
    plat_message_box_set_headless(true);
    engine_set_speaker_mode(0);
    engine_state_reset(0);
    main_ = init_module();
    main_->root = init_bsp_node();
    jstrcpy_with_allocating(&main_->name, "MAIN");
    module_list_push(&engine_state.modules, main_);
    engine_state.main_module = main_;
    bitmap_texture* texture = checker_texture();
    // Farthest first, so that the root's list (new polygons at its head) runs near to far.
    for (int i = 15; i >= 0; --i) {
        const double x = -200.0 - i * 300;
        for (int k = -3; k <= 3; k += 2) {
            const double y = k * 250.0;
            bench_add_quad(main_->root, texture, {{x, y + 100, 200, 1, 0}, {x, y + 100, 0, 1, 1}, {x, y - 100, 0, 0, 1},
                                            {x, y - 100, 200, 0, 0}});
        }
        for (int j = -8; j < 8; ++j) {
            const double y = j * 150.0;
            // Wound to face up, toward the camera above it.
            bench_add_quad(main_->root, texture, {{x - 150, y, 0, 0, 2}, {x - 150, y + 150, 0, 1, 2},
                                            {x + 150, y + 150, 0, 1, 0}, {x + 150, y, 0, 0, 0}});
        }
    }
    bsp_compute_bounding_boxes(main_->root);
    set_bsp_nodes_visibility(main_->root);
    cam_ = camera_init("bench", frame_width, frame_height, 90, 0, 0, {0, 0, 120}, {-1, 0, -0.25}, 4);
    init_draw_buffer(&buffer_, 2);
    set_buffer_dimentions(&buffer_, frame_width, frame_height);
}

bench_scene::~bench_scene() {
    free_draw_buffer(&buffer_);
    camera_free(cam_);
    module_list_free(&engine_state.modules);
    while (bitmap_texture* b = engine_state.bitmaps) {
        engine_state.bitmaps = b->next;
        bitmap_texture_free(b);
    }
    engine_state_release();
    free_frame_buffers();
}

void bench_scene::frame() {
    render_backend_current().background(&buffer_, cam_, engine_state.background_pixel);
    draw_world(&buffer_, main_, cam_, engine_state.dynamic_objects);
}

void bench_scene::plain_fill() { clear_draw_buffer_buffer(&buffer_, engine_state.background_pixel); }
