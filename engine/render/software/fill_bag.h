// The per-polygon fill record shared by the polygon filler, the span dispatcher and the span drawers.
#pragma once
#include <cstdint>

#include "render/software/fixed_point.h"
#include "render/software/raster_iface.h"

struct fill_bag;
struct drawer_entry;
struct frame_statistics;

// A band of rows drawn by one thread: rows first_row up to end_row (exclusive), its own counters.
struct raster_band {
    int32_t first_row, end_row;
    frame_statistics* statistics;
    int64_t zbuffer_errors;  // spans refused for z-buffer cells out of range
};

// Writes the bag's current span; sets `drew` when the dispatcher is to set the span's coverage bits.
using span_drawer = void (*)(fill_bag& bag);

// q/z = dx * x + dy * y + c over projected x, y.
struct interpolation_plane {
    double dx, dy, c;
};

inline double plane_at(const interpolation_plane& p, double x, double y) { return p.dx * x + p.dy * y + p.c; }

// The texture a span reads: 8-bit texels and the 32 shade tables that turn them into pixels.
struct span_texture {
    const uint8_t* pixels;             // width x height, rows top-down
    const uint16_t* const* shades;     // 32 tables of 256 pixels, level 31 darkest
    const uint16_t* shaded_average;    // the average colour at each of the 32 levels
    int32_t width, height;             // powers of two
    int32_t transparent;               // 1: texel 255 is not drawn
};

struct fill_bag {
    // Perspective step N (1..64), its log2 and reciprocal.
    int32_t step;
    uint8_t step_log2;
    double step_reciprocal;
    // The current span: first pixel centre in projected cords, length, frame and z-buffer cells,
    // coverage word and bit of its first pixel, and whether none of its pixels is covered yet.
    double span_x, span_y;
    int32_t span_length;
    uint16_t* destination;
    uint32_t* zbuffer_cell;
    uint32_t* mask_word;
    int32_t mask_bit;
    int32_t span_free;
    int32_t drew;
    // From the camera and the frame.
    double distance_from_eye;
    int32_t middle_x, middle_y, width, height, pitch;
    uint16_t* frame;
    uint32_t* coverage;
    uint32_t* zbuffer;
    int32_t zbuffer_state;
    int32_t wire_frame;
    // Interpolation planes; the unscaled u/z and v/z keep bitmap cords 0..1 for the level choice.
    interpolation_plane inverse_z, u_z, v_z, shade_z, u_z_unscaled, v_z_unscaled;
    int32_t planes_prepared;
    int32_t planes_valid;
    // Drawing.
    span_drawer perspective_drawer;
    span_drawer linear_drawer;
    const drawer_entry* entry;
    int32_t flags;
    int32_t split;
    double light_factor;
    int32_t rendering_mode;
    uint16_t solid_colour;
    uint16_t solid_shades[32];  // solid colour by shade level, made when first asked
    uint32_t solid_known;       // bit per level of solid_shades
    int32_t shade_level;
    rgb8 atmosphere;
    span_texture texture;
    bitmap_texture* bitmap;
    int32_t mipmaps;      // 1: the texture level is chosen per span
    double level_factor;  // weight of the span's pixels per bitmap in that choice
    // The band being drawn; nullptr draws every row and counts into the engine's statistics.
    raster_band* band;
    // The polygon being filled (its light diminution is kept for the vertex shades).
    double light_diminution;
    int32_t poly_linear;  // 1: bitmap cords linear over the polygon, filled whole unless split
    polygon* poly;
    const clip_point* points;
    const clip_point* camera_points;
    const projected_point* projected;
    int32_t count;
    camera* cam;
};
