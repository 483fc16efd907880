// A generated textured scene for the renderer benchmark: a checkered floor and rows of walls.
#pragma once
#include "render/software/draw_buffer.h"
#include "world/records.h"

struct bench_corner {
    double x, y, z, u, v;
};

// A quad of the bitmap (brightness 8 at every corner) at the head of the node's list.
void bench_add_quad(bsp_node* node, bitmap_texture* texture, const bench_corner (&corners)[4]);

class bench_scene {
public:
    bench_scene();
    ~bench_scene();
    bench_scene(const bench_scene&) = delete;
    bench_scene& operator=(const bench_scene&) = delete;

    // Clears the frame to the background and draws the world.
    void frame();
    // Fills the frame with one colour.
    void plain_fill();

private:
    module* main_ = nullptr;
    camera* cam_ = nullptr;
    draw_buffer buffer_{};
};
