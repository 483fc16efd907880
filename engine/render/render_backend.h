// The back-end table: the frame code calls the renderer only through it. The software renderer
// fills it now; the 3D-card back-end fills its own.
#pragma once
#include <cstdint>

#include "world/poly_clip.h"
#include "world/records.h"

struct draw_buffer;
struct plat_window;
struct plat_surface;

struct render_backend {
    // Before and after the frame's drawing: 0, or -1 when the frame is not to be drawn.
    int (*frame_begin)(plat_window* window, camera* c);
    void (*frame_end)();
    // Clears the frame to the background (the sky drawers take over later).
    void (*background)(draw_buffer* buffer, camera* c, uint16_t pixel);
    // Draws the world root module with its dynamic objects; 0, or -1 for a refused frame.
    int (*world)(draw_buffer* buffer, module* root, camera* c, dynamic_object* objects);
    // One clipped, projected polygon (points in world space, in camera space, projected).
    int (*projected_polygon)(camera* c, polygon* p, const clip_point* points, int count,
                             const clip_point* camera_points, const projected_point* projected);
    // Shows the finished frame in the window.
    void (*present)(plat_window* window, const plat_surface* frame, int width, int height);
    // Sets the camera's pixel size for this back-end: 0 or -1.
    int (*resolution)(camera* c, int width, int height);
    // Drops what the back-end made of a bitmap.
    void (*texture_release)(bitmap_texture* bitmap);
};

const render_backend& render_backend_software();
const render_backend& render_backend_current();
// Makes the table current; nullptr goes back to the software renderer.
void render_backend_use(const render_backend* backend);
