// Span drawers: write one horizontal run of a polygon into the 16-bit frame (textured or solid,
// distance or per-vertex shading, coverage mask and z-buffer policies).
#include "render/software/span_drawers.h"

#include <algorithm>
#include <cmath>

#include "render/images/jbm.h"
#include "world/colour.h"

namespace {

enum class depth_policy { mask, semi, full };
enum class shading { distance, vertex };

// 1/z is negative ahead of the camera; a value at or past 0 (a pixel centre a hair outside the
// polygon) is taken as very far instead of dividing by it.
double safe_inverse_z(double inverse_z) { return inverse_z < -1e-300 ? inverse_z : -1e-300; }

struct sample {
    double u, v, shade;
};

template <shading shade_from>
sample sample_at(const fill_bag& b, double x) {
    const double iz = safe_inverse_z(plane_at(b.inverse_z, x, b.span_y));
    sample s{plane_at(b.u_z, x, b.span_y) / iz, plane_at(b.v_z, x, b.span_y) / iz, 0};
    if constexpr (shade_from == shading::vertex) {
        s.shade = plane_at(b.shade_z, x, b.span_y) / iz;
    } else {
        s.shade = b.shade_level + b.light_factor * (-1 / iz);
    }
    return s;
}

int shade_index(fixed_16_16 shade) { return static_cast<int>(std::clamp<fixed_16_16>(shade >> 16, 0, 31)); }

// Running 16.16 values and their per-pixel steps.
struct cursor {
    fixed_16_16 u, v, shade;
    fixed_16_16 du, dv, dshade;
};

// Pixel, coverage bit and z cell of the span, advanced together.
struct span_target {
    uint16_t* dest;
    uint32_t* word;
    uint32_t bit;
    uint32_t* zcell;
    int64_t zv, zstep;

    span_target(const fill_bag& b, bool with_z) : dest(b.destination), word(b.mask_word), bit(1u << b.mask_bit),
                                                  zcell(b.zbuffer_cell), zv(0), zstep(0) {
        if (!with_z) return;
        const int n = b.span_length;
        zv = span_z_value(plane_at(b.inverse_z, b.span_x, b.span_y), b.distance_from_eye);
        if (n > 1) {
            const int64_t last = span_z_value(plane_at(b.inverse_z, b.span_x + n - 1, b.span_y), b.distance_from_eye);
            zstep = (last - zv) / (n - 1);
        }
    }

    bool covered() const { return (*word & bit) != 0; }
    void cover() { *word |= bit; }
    void advance_mask() {
        bit <<= 1;
        if (!bit) {
            ++word;
            bit = 1;
        }
    }
};

template <depth_policy depth>
struct textured_op {
    span_target t;
    const uint8_t* pixels;
    const uint16_t* const* shades;
    int32_t width;
    fixed_16_16 u_mask, v_mask;
    bool transparent;

    explicit textured_op(const fill_bag& b)
        : t(b, depth != depth_policy::mask), pixels(b.texture.pixels), shades(b.texture.shades),
          width(b.texture.width), u_mask(b.texture.width - 1), v_mask(b.texture.height - 1),
          transparent(b.texture.transparent != 0) {}

    void pixel(const cursor& c) {
        if constexpr (depth == depth_policy::full) {
            if (!(static_cast<int64_t>(*t.zcell) < t.zv)) return;
        } else {
            if (t.covered()) return;
        }
        const uint8_t texel = pixels[((c.v >> 16) & v_mask) * width + ((c.u >> 16) & u_mask)];
        if (transparent && texel == 255) return;
        *t.dest = shades[shade_index(c.shade)][texel];
        if constexpr (depth != depth_policy::full) t.cover();
        if constexpr (depth != depth_policy::mask) *t.zcell = static_cast<uint32_t>(t.zv);
    }

    void run(int count, cursor& c) {
        for (int i = 0; i < count; ++i) {
            pixel(c);
            c.u += c.du;
            c.v += c.dv;
            c.shade += c.dshade;
            ++t.dest;
            if constexpr (depth != depth_policy::full) t.advance_mask();
            if constexpr (depth != depth_policy::mask) {
                ++t.zcell;
                t.zv += t.zstep;
            }
        }
    }
};

void set_steps(cursor& c, const sample& from, const sample& to, int pixels) {
    c.du = to_fixed(to.u - from.u) / pixels;
    c.dv = to_fixed(to.v - from.v) / pixels;
    c.dshade = (to_fixed_shade(to.shade) - to_fixed_shade(from.shade)) / pixels;
}

// value / 2^log2 rounded toward zero, as the division does, by a shift.
fixed_16_16 divide_by_power_of_two(fixed_16_16 value, int log2) {
    const fixed_16_16 bias = (value >> 63) & ((fixed_16_16{1} << log2) - 1);
    return (value + bias) >> log2;
}

// set_steps over a segment of 2^log2 pixels.
void set_segment_steps(cursor& c, const sample& from, const sample& to, int log2) {
    c.du = divide_by_power_of_two(to_fixed(to.u - from.u), log2);
    c.dv = divide_by_power_of_two(to_fixed(to.v - from.v), log2);
    c.dshade = divide_by_power_of_two(to_fixed_shade(to.shade) - to_fixed_shade(from.shade), log2);
}

cursor start_cursor(const sample& s) { return {to_fixed(s.u), to_fixed(s.v), to_fixed_shade(s.shade), 0, 0, 0}; }

// Exact values every N pixels, 16.16 steps between; the last segment ends on the last pixel.
template <shading shade_from, class Op>
void walk_perspective(const fill_bag& b, Op& op) {
    const int n = b.span_length;
    const int step = b.step;
    int full = n >> b.step_log2;
    if ((n & (step - 1)) == 0) --full;
    const int rest = n - full * step;
    sample from = sample_at<shade_from>(b, b.span_x);
    cursor c = start_cursor(from);
    double x = b.span_x;
    for (int k = 0; k < full; ++k) {
        x += step;
        const sample to = sample_at<shade_from>(b, x);
        set_segment_steps(c, from, to, b.step_log2);
        op.run(step, c);
        from = to;
    }
    c.du = c.dv = c.dshade = 0;
    if (rest > 1) set_steps(c, from, sample_at<shade_from>(b, x + rest - 1), rest - 1);
    op.run(rest, c);
}

// Exact values at the first and last pixel only; one pixel draws at its start values.
template <shading shade_from, class Op>
void walk_linear(const fill_bag& b, Op& op) {
    const int n = b.span_length;
    const sample from = sample_at<shade_from>(b, b.span_x);
    cursor c = start_cursor(from);
    if (n > 1) set_steps(c, from, sample_at<shade_from>(b, b.span_x + n - 1), n - 1);
    op.run(n, c);
}

void mark_ends(fill_bag& b, uint16_t first, uint16_t last) {
    if (!b.wire_frame) return;
    b.destination[0] = first;
    b.destination[b.span_length - 1] = last;
}

template <shading shade_from, depth_policy depth>
void textured_perspective(fill_bag& b) {
    textured_op<depth> op(b);
    walk_perspective<shade_from>(b, op);
    if (depth == depth_policy::mask) {
        mark_ends(b, mark_red, mark_blue);
    } else {
        mark_ends(b, mark_blue, mark_red);
    }
}

int solid_level(const fill_bag& b) {
    const double iz = safe_inverse_z(plane_at(b.inverse_z, b.span_x, b.span_y));
    const double level = b.shade_level + b.light_factor * (-1 / iz);
    return level >= 31 ? 31 : level <= 0 ? 0 : static_cast<int>(level);
}

template <depth_policy depth>
void solid(fill_bag& b) {
    const uint16_t colour = span_solid_colour(b, solid_level(b));
    const int n = b.span_length;
    if (depth != depth_policy::full && b.span_free) {
        std::fill_n(b.destination, n, colour);
        if constexpr (depth == depth_policy::semi) {
            span_target t(b, true);
            for (int i = 0; i < n; ++i, t.zv += t.zstep) t.zcell[i] = static_cast<uint32_t>(t.zv);
        }
        b.drew = 1;
        if (depth == depth_policy::mask) {
            mark_ends(b, mark_magenta, mark_red);
        } else {
            mark_ends(b, mark_blue, mark_red);
        }
        return;
    }
    span_target t(b, depth != depth_policy::mask);
    for (int i = 0; i < n; ++i) {
        if constexpr (depth == depth_policy::full) {
            if (static_cast<int64_t>(*t.zcell) < t.zv) {
                *t.dest = colour;
                *t.zcell = static_cast<uint32_t>(t.zv);
            }
        } else if (!t.covered()) {
            *t.dest = colour;
            t.cover();
            if constexpr (depth == depth_policy::semi) *t.zcell = static_cast<uint32_t>(t.zv);
        }
        ++t.dest;
        if constexpr (depth != depth_policy::full) t.advance_mask();
        if constexpr (depth != depth_policy::mask) {
            ++t.zcell;
            t.zv += t.zstep;
        }
    }
    if (depth == depth_policy::mask) {
        mark_ends(b, mark_red, mark_blue);
    } else {
        mark_ends(b, mark_blue, mark_red);
    }
}

}  // namespace

int64_t span_z_value(double inverse_z, double distance_from_eye) {
    const double z = -inverse_z * 4294967295.0 * distance_from_eye;
    if (!(z > 0)) return 0;
    if (z >= 4294967295.0) return 4294967295;
    return static_cast<int64_t>(z);
}

uint16_t span_solid_colour(fill_bag& b, int level) {
    if (b.texture.shaded_average) return b.texture.shaded_average[level];
    if (!(b.solid_known & (1u << level))) {
        b.solid_shades[level] = shade_color(level, b.solid_colour, b.atmosphere);
        b.solid_known |= 1u << level;
    }
    return b.solid_shades[level];
}

void draw_y_line_texture_level(fill_bag& b) {
    const jbm_info* chosen = &b.bitmap->image;
    const int n = b.span_length;
    const double x0 = b.span_x, x1 = b.span_x + n - 1, y = b.span_y;
    const double iz0 = safe_inverse_z(plane_at(b.inverse_z, x0, y));
    const double iz1 = safe_inverse_z(plane_at(b.inverse_z, x1, y));
    const double du = plane_at(b.u_z_unscaled, x1, y) / iz1 - plane_at(b.u_z_unscaled, x0, y) / iz0;
    const double dv = plane_at(b.v_z_unscaled, x1, y) / iz1 - plane_at(b.v_z_unscaled, x0, y) / iz0;
    const double aspect = b.bitmap->aspect;
    const double m = du * du * aspect * aspect + dv * dv;
    if (m >= 1e-10) {
        const double per_bitmap = std::round(std::sqrt((n - 1.0) * (n - 1.0) / m)) * b.level_factor;
        for (const bitmap_level* level = b.bitmap->levels; level && level->image; level = level->next) {
            if (!(per_bitmap <= level->image->height)) break;
            chosen = level->image;
        }
    }
    b.texture.pixels = jbm_pixels(chosen);
    b.texture.shades = chosen->shade_tables;
    b.texture.width = chosen->width;
    b.texture.height = chosen->height;
    b.texture.transparent = chosen->transparent_index >= 0 ? 1 : 0;
    const double w = chosen->width, h = chosen->height;
    b.u_z = {b.u_z_unscaled.dx * w, b.u_z_unscaled.dy * w, b.u_z_unscaled.c * w};
    b.v_z = {b.v_z_unscaled.dx * h, b.v_z_unscaled.dy * h, b.v_z_unscaled.c * h};
}

void draw_y_line_bitmap_tiled(fill_bag& b) {
    textured_perspective<shading::distance, depth_policy::mask>(b);
}

void draw_y_line_bitmap_tiled_linear(fill_bag& b) {
    textured_op<depth_policy::mask> op(b);
    walk_linear<shading::distance>(b, op);
    mark_ends(b, mark_red, mark_blue);
}

void draw_y_line_bitmap_tiled_interpolated_shading(fill_bag& b) {
    textured_perspective<shading::vertex, depth_policy::mask>(b);
}

void draw_y_line_bitmap_tiled_semi_zbuff(fill_bag& b) {
    textured_perspective<shading::distance, depth_policy::semi>(b);
}

// Texel 255 is transparent in any texture with a transparent index, so both semi z-buffer
// drawers behave alike.
void draw_y_line_bitmap_tiled_semi_zbuff_transparent(fill_bag& b) { draw_y_line_bitmap_tiled_semi_zbuff(b); }

void draw_y_line_bitmap_tiled_full_zbuff(fill_bag& b) {
    textured_perspective<shading::distance, depth_policy::full>(b);
}

void draw_y_line_bitmap_tiled_interpolated_shading_semi_zbuff(fill_bag& b) {
    textured_perspective<shading::vertex, depth_policy::semi>(b);
}

void draw_y_line_bitmap_tiled_interpolated_shading_full_zbuff(fill_bag& b) {
    textured_perspective<shading::vertex, depth_policy::full>(b);
}

void draw_y_line_solid_shaded(fill_bag& b) { solid<depth_policy::mask>(b); }

void draw_y_line_solid_shaded_semi_zbuff(fill_bag& b) { solid<depth_policy::semi>(b); }

void draw_y_line_solid_shaded_full_zbuff(fill_bag& b) { solid<depth_policy::full>(b); }

void draw_y_line_debug_marker(fill_bag& b) {
    b.destination[0] = mark_red;
    b.destination[b.span_length - 1] = mark_blue;
    b.drew = 1;
}
