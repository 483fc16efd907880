// The card's drawing: fog, the render-state cache of a polygon's fill and blending, its corners as
// pre-transformed vertices, the sky's textured rectangle and the back-end table row.
#include "render/card3d/card3d.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#include "foundation/errors.h"
#include "foundation/profiler.h"
#include "platform/surface.h"
#include "render/card3d/card3d_device.h"
#include "render/card3d/card3d_framework.h"
#include "render/software/world_traversal.h"
#include "world/camera.h"
#include "world/engine_state.h"

namespace {

constexpr double sky_depth = 60000;
constexpr double no_fog_distance = 1e100;

void set(plat_card_state state, uint32_t value) { card3d_device_current().set_state(state, value); }

uint32_t atmosphere_colour() {
    return static_cast<uint32_t>(engine_state.atmosphere_red & 0xFF) << 16 |
           static_cast<uint32_t>(engine_state.atmosphere_green & 0xFF) << 8 |
           static_cast<uint32_t>(engine_state.atmosphere_blue & 0xFF);
}

uint32_t container_texture(const bitmap_texture* b) {
    const auto* container = b ? static_cast<const card3d_container*>(b->card_texture) : nullptr;
    return container ? container->texture : 0;
}

// Fog factor for the specular alpha: 255 none, 0 at or beyond the fade distance.
uint32_t fog_factor(double distance, double fade) {
    if (!card3d().caps.vertex_fog) return 255;
    if (distance >= fade) return 0;
    return static_cast<uint32_t>((fade - distance) * 255.999 / fade);
}

uint32_t channel(double value) { return static_cast<uint32_t>(std::clamp(std::lround(value), 0L, 255L)); }

int projected_polygon(camera* c, polygon* p, const clip_point* points, int count, const clip_point* camera_points,
                      const projected_point* projected) {
    if (!c || !p || count < 3) return -1;
    std::vector<card3d_corner> corners(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const clip_point& at = camera_points[i];
        const clip_point& world = points[i];
        corners[i] = {projected[i].x,
                      projected[i].y,
                      at.x,
                      std::sqrt(at.x * at.x + at.y * at.y + at.z * at.z),
                      channel(world.red) << 16 | channel(world.green) << 8 | channel(world.blue),
                      world.bitmap_x,
                      world.bitmap_y};
    }
    card3d_draw_polygon(p, corners.data(), count);
    return 0;
}

int frame_begin(plat_window* window, camera* c) { return card3d_before_each_render(window, c); }

void frame_end() { card3d_after_render(); }

// The card clears in its frame start; the sky is drawn by the background code through the rectangle.
void background(draw_buffer*, camera*, uint16_t) {}

int world(draw_buffer*, module* root, camera* c, dynamic_object* objects) {
    return draw_world_card3d(root, c, objects);
}

void present(plat_window*, const plat_surface*, int, int) { card3d_show_frame(); }

int resolution(camera* c, int width, int height) { return camera_set_resolution(c, width, height); }

constexpr render_backend card_row{frame_begin, frame_end, background,         world,
                                  projected_polygon, present, resolution, card3d_release_bitmap};

}  // namespace

const render_backend& render_backend_card3d() { return card_row; }

void card3d_set_fog() {
    card3d_record& r = card3d();
    if (!r.mode) return;
    card3d_device_scope scope;
    r.fog_colour = atmosphere_colour();
    r.fog_known = 1;
    set(PLAT_CARD_FOG_COLOUR, r.fog_colour);
    if (r.caps.vertex_fog || !r.caps.table_fog) {
        set(PLAT_CARD_FOG_TABLE_MODE, plat_card_value::fog_none);
        return;
    }
    const double d = engine_state.fog_range;
    // A range past what a float holds (1e100 when no polygon fades) means no fog at all.
    if (!(d > 0) || d > std::numeric_limits<float>::max()) {
        set(PLAT_CARD_FOG_TABLE_MODE, plat_card_value::fog_none);
        return;
    }
    set(PLAT_CARD_FOG_TABLE_MODE, plat_card_value::fog_linear);
    set(PLAT_CARD_FOG_TABLE_START, std::bit_cast<uint32_t>(static_cast<float>(0.05 * d)));
    set(PLAT_CARD_FOG_TABLE_END, std::bit_cast<uint32_t>(static_cast<float>(d)));
}

void card3d_set_fill_mode_for_polygon(const polygon* p, int colour_fill, int blending) {
    using namespace plat_card_value;
    card3d_record& r = card3d();
    if (!r.blending_known || blending != r.last_blending) {
        set(PLAT_CARD_SRC_BLEND, blending ? static_cast<uint32_t>(blending >> 4 & 0xF) : blend_one);
        set(PLAT_CARD_DEST_BLEND, blending ? static_cast<uint32_t>(blending & 0xF) : blend_zero);
        r.last_blending = blending;
        r.blending_known = 1;
    }
    const int zfunc = engine_state.zbuffer_state == 2 ? 2 : 1;
    if (zfunc != r.zfunc_mode) {
        set(PLAT_CARD_Z_FUNC, zfunc == 2 ? compare_less_equal : compare_less);
        r.zfunc_mode = zfunc;
    }
    bool transparent = false;
    if (colour_fill || !p || !p->texture) {
        set(PLAT_CARD_COLOUR_ARG1, arg_diffuse);
        set(PLAT_CARD_COLOUR_OP, op_select_arg1);
        card3d_device_current().set_texture(0);
    } else {
        card3d_device_current().set_texture(container_texture(p->texture));
        set(PLAT_CARD_COLOUR_ARG1, arg_texture);
        set(PLAT_CARD_COLOUR_ARG2, arg_diffuse);
        set(PLAT_CARD_COLOUR_OP, op_modulate);
        if (r.caps.multitexture && !r.stage1_disabled) {
            set(PLAT_CARD_STAGE1_COLOUR_OP, op_disable);
            r.stage1_disabled = 1;
        }
        transparent = p->texture->image.transparent_index >= 0;
    }
    const int alpha_blend = (transparent && r.caps.alpha_textures) || blending != 0;
    if (alpha_blend != r.alpha_blend) {
        set(PLAT_CARD_ALPHA_BLEND_ENABLE, static_cast<uint32_t>(alpha_blend));
        r.alpha_blend = alpha_blend;
    }
    const int alpha_test = transparent ? 1 : 0;
    if (alpha_test != r.alpha_test) {
        set(PLAT_CARD_ALPHA_TEST_ENABLE, static_cast<uint32_t>(alpha_test));
        r.alpha_test = alpha_test;
    }
}

void card3d_draw_polygon(const polygon* p, const card3d_corner* corners, int count) {
    const card3d_record& r = card3d();
    if (!r.mode || !p || !corners || count < 3) return;
    static int chunk = -1;
    chunk = start_measuring(chunk, "card3d_draw_polygon (part of draw_polygon)");
    const bool colour_fill = !p->texture || !container_texture(p->texture);
    card3d_set_fill_mode_for_polygon(p, colour_fill, p->blending_on ? p->blending : 0);
    const int cx = (r.target_width + 2) >> 1, cy = (r.target_height + 2) >> 1;
    std::vector<plat_card_vertex> vertices(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const card3d_corner& k = corners[i];
        const double rhw = k.depth < 0 ? -1.0 / k.depth : 1.0;
        vertices[i] = {static_cast<float>(std::floor(cx + k.x)),
                       static_cast<float>(std::floor(cy - k.y)),
                       static_cast<float>(1.0 - rhw),
                       static_cast<float>(rhw),
                       k.colour & 0xFFFFFF,
                       fog_factor(k.distance, p->fade_distance) << 24,
                       static_cast<float>(k.tu),
                       static_cast<float>(k.tv)};
    }
    card3d_device_current().draw_fan(vertices.data(), count);
    end_measuring(chunk);
}

int card3d_draw_textured_rectangle(bitmap_texture* bitmap, double x0, double y0, double x1, double y1, double u0,
                                   double v0, double u1, double v1, int use_atmosphere) {
    const card3d_record& r = card3d();
    if (!r.mode || !bitmap) return -1;
    if (!bitmap->card_texture && card3d_load_a_bitmap(bitmap) != 0) return -1;
    const double w = r.target_width, h = r.target_height;
    // Corners on the target, clipped to it; the screen centre is where the polygon corners expect it.
    const double left = std::clamp(x0 * w, 0.0, w), right = std::clamp(x1 * w, 0.0, w);
    const double top = std::clamp(y0 * h, 0.0, h), bottom = std::clamp(y1 * h, 0.0, h);
    const int cx = (r.target_width + 2) >> 1, cy = (r.target_height + 2) >> 1;
    polygon sky{};
    sky.texture = bitmap;
    sky.fade_distance = no_fog_distance;
    const uint32_t colour = use_atmosphere ? atmosphere_colour() : 0xFFFFFF;
    const card3d_corner corners[4] = {{left - cx, cy - top, -sky_depth, sky_depth, colour, u0, v0},
                                      {right + 1 - cx, cy - top, -sky_depth, sky_depth, colour, u1, v0},
                                      {right + 1 - cx, cy - bottom - 1, -sky_depth, sky_depth, colour, u1, v1},
                                      {left - cx, cy - bottom - 1, -sky_depth, sky_depth, colour, u0, v1}};
    card3d_draw_polygon(&sky, corners, 4);
    return 0;
}
