// Calls from the renderer into world parts that plug in separately; an unset hook does nothing.
#include "render/render_hooks.h"
#include "render/card3d/card3d.h"
#include "render/software/navigation.h"
#include "world/animation.h"
#include "world/movers.h"

render_hooks& render_hooks_state() {
    // Object lights are applied once a frame before drawing, so no per-view hook is set.
    static render_hooks hooks{polygon_choose_animation_texture, nullptr, engine_run_dynamic_events};
    return hooks;
}

frame_hooks& frame_hooks_state() {
    static frame_hooks hooks = [] {
        frame_hooks h = card3d_frame_hooks();
        h.navigation_mode = navigation_mode;
        h.navigation_poll = navigation_poll;
        return h;
    }();
    return hooks;
}
