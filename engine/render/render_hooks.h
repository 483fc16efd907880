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

struct plat_surface;

// Calls of the frame render into parts that plug in separately; an unset hook does nothing.
struct frame_hooks {
    // Keyboard navigation: the navigation mode (0 none, 1 or 2) and one poll of the navigation
    // object, which gives -1 when there is no object.
    int (*navigation_mode)();
    int (*navigation_poll)();
    // Sound: places the listener at the current camera once a frame.
    void (*update_sound_listener)();
    // The 3D card's switches: on (1) or back to software (0), window mode (reload 1: only the
    // bitmaps without a card texture are loaded), full-screen mode.
    void (*card_use)(int on);
    void (*card_set_window_mode)(int reload);
    void (*card_set_full_screen_mode)(int width, int height);
    // The card's back buffer: taken as a surface (NULL when none), released, and shown; show gives
    // 0 or the failure (a lost surface is restored by the card and reported as 0).
    plat_surface* (*card_take_back_buffer)();
    void (*card_release_back_buffer)();
    int (*card_show_frame)();
};

frame_hooks& frame_hooks_state();
