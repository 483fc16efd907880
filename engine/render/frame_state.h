// The frame render's timings and the 3D card's back buffer, kept for the library's whole life.
#pragma once
#include <cstdint>

struct plat_window;
struct plat_surface;

struct render_frame_state {
    uint32_t previous_tick = 0;
    int last_cycle_time = 0;
    int last_render_time = 0;
    int first_render = 1;
    int render_chunk = -1;
    int cycle_chunk = -1;
    plat_window* current_window = nullptr;  // the window of the last render call
    int show_frames_per_second = 1;
    int card_frame_copied = 0;
    plat_surface* back_buffer = nullptr;  // taken from the card by render_on_dc
};

render_frame_state& engine_render_frame_state();
