// A generated textured scene for the renderer benchmark: a checkered floor and rows of walls.
#pragma once
#include "render/draw_buffer.h"
#include "world/records.h"

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
