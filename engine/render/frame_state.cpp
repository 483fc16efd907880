// The frame render's timings and the 3D card's back buffer, kept for the library's whole life.
#include "render/frame_state.h"

render_frame_state& engine_render_frame_state() {
    static render_frame_state state;
    return state;
}
