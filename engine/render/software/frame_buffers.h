// The per-world buffers of the software renderer: the coverage mask (1-byte cells) and the z-buffer
// (4-byte cells).
#pragma once
#include "render/software/draw_buffer.h"

draw_buffer& coverage_mask_buffer();
draw_buffer& zbuffer_buffer();
// Frees both and sets them up empty again.
void init_frame_buffers();
void free_frame_buffers();
