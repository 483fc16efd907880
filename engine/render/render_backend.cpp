// The back-end table: the frame code calls the renderer only through it. The software renderer
// fills it now; the 3D-card back-end fills its own.
#include "render/render_backend.h"

#include "platform/surface.h"
#include "render/software/draw_buffer.h"
#include "render/software/raster_iface.h"
#include "render/software/world_traversal.h"
#include "world/camera.h"

namespace {

int software_frame_begin(plat_window*, camera*) { return 0; }

void software_frame_end() {}

void software_background(draw_buffer* buffer, camera*, uint16_t pixel) { clear_draw_buffer_buffer(buffer, pixel); }

void software_present(plat_window* window, const plat_surface* frame, int width, int height) {
    plat_present(window, frame, 0, 0, width, height, 0, 0);
}

void software_texture_release(bitmap_texture*) {}

constexpr render_backend software{software_frame_begin, software_frame_end, software_background,
                                  draw_world_software,  fill_polygon_software, software_present,
                                  camera_set_resolution, software_texture_release};

const render_backend* current = &software;

}  // namespace

const render_backend& render_backend_software() { return software; }

const render_backend& render_backend_current() { return *current; }

void render_backend_use(const render_backend* backend) { current = backend ? backend : &software; }
