// The per-world buffers of the software renderer: the coverage mask (1-byte cells) and the z-buffer
// (4-byte cells).
#include "render/software/frame_buffers.h"

namespace {
draw_buffer coverage_mask{};
draw_buffer zbuffer{};
}  // namespace

draw_buffer& coverage_mask_buffer() { return coverage_mask; }
draw_buffer& zbuffer_buffer() { return zbuffer; }

void init_frame_buffers() {
    free_frame_buffers();
    init_draw_buffer(&coverage_mask, 1);
    init_draw_buffer(&zbuffer, 4);
}

void free_frame_buffers() {
    free_draw_buffer(&coverage_mask);
    free_draw_buffer(&zbuffer);
}
