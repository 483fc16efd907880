// Calls from the renderer into world parts that plug in separately; an unset hook does nothing.
#pragma once
#include "world/records.h"

struct render_hooks {
    // Texture animations: gives an animated polygon the texture of this frame and view.
    void (*animate_polygon)(polygon* p, const camera* c);
    // Lights: lights a dynamic object's polygons for this view before it is drawn.
    void (*light_object)(dynamic_object* d, const camera* c);
    // Timed events: runs the dynamic objects' events that are due, once a frame.
    void (*run_dynamic_events)();
};

render_hooks& render_hooks_state();
