// The software rasteriser: fill-bag set-up, interpolation planes, scan conversion and the span
// dispatcher that trims spans against the coverage mask before a span drawer writes them.
#include "render/software/polygon_raster.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "foundation/errors.h"
#include "foundation/profiler.h"
#include "render/images/jbm.h"
#include "render/software/drawer_flags.h"
#include "render/software/raster_bands.h"
#include "render/software/span_drawers.h"
#include "world/colour.h"
#include "world/engine_state.h"

namespace {

constexpr double plane_determinant_minimum = 0.00001;

int clamp_level(int level) { return std::clamp(level, 0, NUMBER_OF_PALETTES - 1); }

bool has_transparent_colour(const bitmap_texture* b) { return b && b->image.transparent_index >= 0; }

void set_step(fill_bag& bag, int log2) {
    bag.step_log2 = static_cast<uint8_t>(log2);
    bag.step = 1 << log2;
    bag.step_reciprocal = 1.0 / bag.step;
}

// Perspective step N from the perspective mode; the linear drawer for every span when off.
void choose_step(fill_bag& bag, const camera* c, const polygon* p) {
    const engine_state_record& s = engine_state;
    if (s.perspective_automatic == 2) {
        set_step(bag, 3);
        bag.perspective_drawer = bag.linear_drawer;
        return;
    }
    if (s.perspective_automatic == 3) {
        set_step(bag, s.span_length_log2);
        return;
    }
    const double a = std::fabs(p->plane[0] * c->matrix.m[1][0] + p->plane[1] * c->matrix.m[1][1] +
                               p->plane[2] * c->matrix.m[1][2]) *
                     s.perspective_accuracy;
    if (a > 0.5) {
        set_step(bag, 2);
    } else if (a >= 0.3) {
        set_step(bag, 3);
    } else if (a >= 0.1) {
        set_step(bag, 4);
    } else if (a >= 0.05) {
        set_step(bag, 5);
    } else if (a >= 0.001) {
        set_step(bag, 6);
    } else {
        set_step(bag, 3);
        bag.perspective_drawer = bag.linear_drawer;
    }
}

int effective_mode(const fill_bag& bag, const polygon* p, double max_x, bool& far_solid) {
    const int mode = engine_state.rendering_mode;
    far_solid = false;
    if (mode == 3) return mode;
    if (!p->texture || mode == 4) return 4;
    const int nearest_shade = static_cast<int>(bag.shade_level - max_x * bag.light_factor);
    if (nearest_shade >= engine_state.far_objects_accuracy && !has_transparent_colour(p->texture)) {
        far_solid = true;
        return 4;
    }
    return mode;
}

void build_plane(interpolation_plane& out, const projected_point* pr, const double w[3], double det) {
    out.dx = ((w[1] - w[0]) * (pr[2].y - pr[0].y) - (w[2] - w[0]) * (pr[1].y - pr[0].y)) / det;
    out.dy = ((pr[1].x - pr[0].x) * (w[2] - w[0]) - (pr[2].x - pr[0].x) * (w[1] - w[0])) / det;
    out.c = w[0] - out.dx * pr[0].x - out.dy * pr[0].y;
}

// The plane of q/z through the first three points; constant at the first point's value when the
// projected triangle has no area.
void make_plane(interpolation_plane& out, const fill_bag& bag, const double q[3], double det) {
    double w[3];
    for (int i = 0; i < 3; ++i) w[i] = q[i] / bag.camera_points[i].x;
    if (std::fabs(det) < plane_determinant_minimum) {
        out = {0, 0, w[0]};
        return;
    }
    build_plane(out, bag.projected, w, det);
}

double raw_vertex_shade(const clip_point& camera_point, double light_diminution) {
    return vertex_shade_level(camera_point.x, camera_point.y, camera_point.z, camera_point.brightness, light_diminution);
}

double vertex_shade(const clip_point& camera_point, double light_diminution, int index) {
    double level = raw_vertex_shade(camera_point, light_diminution);
    if (!(level >= 0 && level < NUMBER_OF_PALETTES)) {
        report_error(1, raster_texts::shade_range[index]);
        level = level >= NUMBER_OF_PALETTES ? NUMBER_OF_PALETTES - 0.0001 : 0;
    }
    return level;
}

bool mask_bit(const uint32_t* mask, int64_t bit) { return (mask[bit >> 5] >> (bit & 31)) & 1; }

// Skips covered pixels at both ends, whole covered words at a time; counts them as hidden.
void trim_covered(const uint32_t* mask, int64_t& first, int64_t& last) {
    while (first <= last && mask_bit(mask, first)) {
        if ((first & 31) == 0 && first + 31 <= last && mask[first >> 5] == 0xFFFFFFFFu) {
            first += 32;
        } else {
            ++first;
        }
    }
    while (last >= first && mask_bit(mask, last)) {
        if ((last & 31) == 31 && last - 31 >= first && mask[last >> 5] == 0xFFFFFFFFu) {
            last -= 32;
        } else {
            --last;
        }
    }
}

bool run_is_free(const uint32_t* mask, int64_t first, int64_t last) {
    for (int64_t bit = first; bit <= last;) {
        if ((bit & 31) == 0 && bit + 31 <= last) {
            if (mask[bit >> 5]) return false;
            bit += 32;
        } else {
            if (mask_bit(mask, bit)) return false;
            ++bit;
        }
    }
    return true;
}

void set_run(uint32_t* mask, int64_t first, int64_t last) {
    for (int64_t bit = first; bit <= last; ++bit) mask[bit >> 5] |= 1u << (bit & 31);
}

frame_statistics& statistics_of(const fill_bag& bag) {
    return bag.band ? *bag.band->statistics : engine_state.statistics;
}

int top_point(const projected_point* pr, int count) {
    int top = 0;
    for (int i = 1; i < count; ++i) {
        if (pr[i].y > pr[top].y || (pr[i].y == pr[top].y && pr[i].x > pr[top].x)) top = i;
    }
    return top;
}

double lowest_y(const projected_point* pr, int count) {
    double bottom = pr[0].y;
    for (int i = 1; i < count; ++i) bottom = std::min(bottom, pr[i].y);
    return bottom;
}

bool scannable(const projected_point* pr, int count) {
    return count >= 3 && std::isfinite(pr[top_point(pr, count)].y) && std::isfinite(lowest_y(pr, count));
}

// A band's polygons are counted when the walk keeps them, so the band counts rows only.
void scan_convert(const projected_point* pr, int count, fill_bag& bag) {
    if (!scannable(pr, count)) return;
    const int top = top_point(pr, count);
    const double bottom = lowest_y(pr, count);
    frame_statistics& stats = statistics_of(bag);
    if (!bag.band) ++stats.polygons;
    // Each chain walks edges downwards from the top vertex, leaving an edge once the row reaches its
    // lower end; `walked` bounds it to one lap.
    struct chain {
        int from, to, direction, walked;
    };
    chain right{top, (top + 1) % count, 1, 1};
    chain left{top, (top + count - 1) % count, -1, 1};
    auto edge_x = [&](chain& ch, double y) {
        while (pr[ch.to].y >= y && ch.walked < count) {
            ch.from = ch.to;
            ch.to = (ch.to + ch.direction + count) % count;
            ++ch.walked;
        }
        const projected_point& a = pr[ch.from];
        const projected_point& b = pr[ch.to];
        const double dy = b.y - a.y;
        const double slope = std::fabs(dy) <= 1e-150 ? 0 : (b.x - a.x) / dy;
        return a.x + (y - a.y) * slope;
    };
    // Rows and span ends are kept a pixel around the picture, so far-off points cost nothing.
    const double picture_top = bag.middle_y + 0.5;
    const double picture_bottom = bag.middle_y - bag.height - 1.0;
    const double picture_left = -bag.middle_x - 1.5;
    const double picture_right = bag.width - bag.middle_x + 1.5;
    // Rows are half-integer y values, row r at middle_y - 0.5 - r, so a band starts on its own row.
    double first_row = std::min(std::floor(pr[top].y - 0.5) + 0.5, picture_top);
    double end = std::max(bottom, picture_bottom);
    if (bag.band && bag.band->first_row > INT32_MIN) first_row = std::min(first_row, bag.middle_y - 0.5 - bag.band->first_row);
    if (bag.band && bag.band->end_row < INT32_MAX) end = std::max(end, bag.middle_y - 0.5 - bag.band->end_row);
    for (double y = first_row; y > end; y -= 1) {
        const double x_right = edge_x(right, y);
        const double x_left = edge_x(left, y);
        const double span_left = std::max(std::ceil(x_left - 0.5) + 0.5, picture_left);
        const double span_right = std::min(std::ceil(x_right - 1.5) + 0.5, picture_right);
        if (!(span_right >= span_left)) continue;
        ++stats.lines;
        stats.pixels += static_cast<int64_t>(span_right - span_left + 1);
        draw_y_line_upper(span_left, span_right, y, bag);
    }
}

}  // namespace

span_texture span_texture_of(const bitmap_texture* bitmap) {
    const jbm_info& image = bitmap->image;
    return {jbm_pixels(&image), image.shade_tables, image.average_by_level, image.width, image.height,
            image.transparent_index >= 0 ? 1 : 0};
}

void prepare_fill_poly_bag(fill_bag& bag, camera* c, polygon* p, int count, const clip_point* points,
                           const clip_point* camera_points, const projected_point* projected) {
    bag = fill_bag{};
    const engine_state_record& s = engine_state;
    const raster_frame& frame = raster_frame_state();
    bag.poly = p;
    bag.light_diminution = p->light_diminution;
    bag.poly_linear = p->linear_bitmap_cords == 1 ? 1 : 0;
    bag.cam = c;
    bag.count = count;
    bag.points = points;
    bag.camera_points = camera_points;
    bag.projected = projected;
    bag.shade_level = clamp_level(p->average_brightness + s.brightness);
    bag.light_factor = s.atmospheric_intensity * p->light_diminution;
    bool far_solid = false;
    bag.rendering_mode = effective_mode(bag, p, get_poly_max_x_value(camera_points, count), far_solid);
    bag.distance_from_eye = c->distance_from_eye;
    bag.middle_x = c->middle_x;
    bag.middle_y = c->middle_y;
    bag.width = c->width;
    bag.height = c->height;
    bag.pitch = c->buffer_pitch;
    bag.frame = static_cast<uint16_t*>(c->frame_destination);
    bag.coverage = frame.coverage;
    bag.zbuffer = frame.zbuffer;
    bag.zbuffer_state = std::clamp(s.zbuffer_state, 0, DRAWER_ZBUFFER_STATES - 1);
    bag.wire_frame = s.wire_frame;
    bag.mipmaps = s.mipmaps ? 1 : 0;
    bag.level_factor = s.mipmap_factor;
    bag.atmosphere = {static_cast<uint8_t>(s.atmosphere_red), static_cast<uint8_t>(s.atmosphere_green),
                      static_cast<uint8_t>(s.atmosphere_blue)};
    int row = p->drawer_index;
    switch (bag.rendering_mode) {
        case 0:
        case 1:
        case 2:
            break;
        case 3:
            row = DRAWER_ROW_WIRE;
            break;
        case 4:
            row = DRAWER_ROW_SOLID;
            bag.solid_colour = p->colour_pixel;
            break;
        default:
            report_error(1, raster_texts::unknown_mode);
            row = DRAWER_ROW_SOLID;
            bag.solid_colour = p->colour_pixel;
            break;
    }
    bag.entry = &drawer_table_entry(row, bag.rendering_mode <= 2 ? bag.rendering_mode : 0);
    bag.split = bag.entry->row.split;
    bag.flags = bag.entry->row.flags;
    bag.perspective_drawer = bag.entry->perspective[bag.zbuffer_state];
    bag.linear_drawer = bag.entry->linear[bag.zbuffer_state];
    set_step(bag, 3);
    if (far_solid) bag.texture.shaded_average = span_texture_of(p->texture).shaded_average;
    if (bag.flags == 0) return;
    if (p->texture) {
        bag.bitmap = p->texture;
        bag.texture = span_texture_of(p->texture);
    }
    choose_step(bag, c, p);
}

void prepare_for_interpolation(fill_bag& bag) {
    bag.planes_prepared = 1;
    const projected_point* pr = bag.projected;
    const double det = (pr[1].x - pr[0].x) * (pr[2].y - pr[0].y) - (pr[2].x - pr[0].x) * (pr[1].y - pr[0].y);
    bag.planes_valid = std::fabs(det) >= plane_determinant_minimum;
    const double ones[3] = {1, 1, 1};
    make_plane(bag.inverse_z, bag, ones, det);
    if (bag.flags & DRAWER_FLAG_TEXTURED) {
        double u[3], v[3];
        for (int i = 0; i < 3; ++i) {
            u[i] = bag.camera_points[i].bitmap_x;
            v[i] = bag.camera_points[i].bitmap_y;
        }
        make_plane(bag.u_z_unscaled, bag, u, det);
        make_plane(bag.v_z_unscaled, bag, v, det);
        const double w = bag.bitmap && !bag.mipmaps ? bag.texture.width : 1;
        const double h = bag.bitmap && !bag.mipmaps ? bag.texture.height : 1;
        bag.u_z = {bag.u_z_unscaled.dx * w, bag.u_z_unscaled.dy * w, bag.u_z_unscaled.c * w};
        bag.v_z = {bag.v_z_unscaled.dx * h, bag.v_z_unscaled.dy * h, bag.v_z_unscaled.c * h};
    }
    if (bag.flags & DRAWER_FLAG_VERTEX_SHADING) {
        double shade[3];
        for (int i = 0; i < 3; ++i) shade[i] = vertex_shade(bag.camera_points[i], bag.light_diminution, i);
        make_plane(bag.shade_z, bag, shade, det);
    }
}

void draw_y_line_upper(double x_left, double x_right, double y, fill_bag& bag) {
    int first = static_cast<int>(std::floor(x_left + bag.middle_x));
    int last = static_cast<int>(std::floor(x_right + bag.middle_x));
    const int row = static_cast<int>(std::floor(bag.middle_y - y));
    if (row < 0 || row >= bag.height || first < 0 || last >= bag.width) {
        if (raster_frame_state().check_spans) report_error(1, raster_texts::out_of_range);
        if (row < 0 || row >= bag.height) return;
        first = std::max(first, 0);
        last = std::min(last, bag.width - 1);
        if (first > last) return;
    }
    if (last < first) {
        report_error(1, raster_texts::reversed_span);
        return;
    }
    frame_statistics& stats = statistics_of(bag);
    const bool full_z = bag.zbuffer_state == 2;
    const int64_t row_bit = static_cast<int64_t>(row) * bag.pitch;
    int64_t bit_first = row_bit + first;
    int64_t bit_last = row_bit + last;
    if (!full_z) {
        const int64_t n = bit_last - bit_first + 1;
        trim_covered(bag.coverage, bit_first, bit_last);
        if (bit_first > bit_last) {
            ++stats.hidden_lines;
            stats.hidden_pixels += n;
            stats.hidden_line_pixels += n;
            return;
        }
        stats.hidden_pixels += n - (bit_last - bit_first + 1);
        first = static_cast<int>(bit_first - row_bit);
        last = static_cast<int>(bit_last - row_bit);
        bag.span_free = run_is_free(bag.coverage, bit_first, bit_last);
        bag.mask_word = bag.coverage + (bit_first >> 5);
        bag.mask_bit = static_cast<int32_t>(bit_first & 31);
    }
    if (bag.zbuffer_state != 0) {
        const int64_t cell = static_cast<int64_t>(row) * bag.width + first;
        if (!bag.zbuffer || cell < 0 || cell + (last - first) >= raster_frame_state().zbuffer_cells) {
            if (bag.band) {
                ++bag.band->zbuffer_errors;
                return;
            }
            report_error(1, raster_texts::zbuffer_range);
            return;
        }
        bag.zbuffer_cell = bag.zbuffer + cell;
    }
    if (!bag.planes_prepared) prepare_for_interpolation(bag);
    bag.span_length = last - first + 1;
    bag.span_x = first + 0.5 - bag.middle_x;
    bag.span_y = y;
    if (bag.mipmaps && bag.bitmap && (bag.flags & DRAWER_FLAG_TEXTURED)) draw_y_line_texture_level(bag);
    bag.destination = bag.frame + row_bit + first;
    bag.drew = 0;
    (bag.span_length > bag.step ? bag.perspective_drawer : bag.linear_drawer)(bag);
    if (bag.drew && !full_z) set_run(bag.coverage, bit_first, bit_last);
}

namespace {

profiler_site& fill_poly_site() {
    static profiler_site site{"fill_poly"};
    return site;
}

// Whether every vertex shade of the bag's polygon is a valid level.
bool vertex_shades_valid(const fill_bag& bag) {
    if (!(bag.flags & DRAWER_FLAG_VERTEX_SHADING)) return true;
    for (int i = 0; i < bag.count; ++i) {
        const double level = raw_vertex_shade(bag.camera_points[i], bag.light_diminution);
        if (!(level >= 0 && level < NUMBER_OF_PALETTES)) return false;
    }
    return true;
}

}  // namespace

void fill_poly(const projected_point* projected, int count, fill_bag& bag) {
    if (bag.band) {
        scan_convert(projected, count, bag);
        return;
    }
    const profiler_timer timer(fill_poly_site());
    scan_convert(projected, count, bag);
}

int fill_poly_calls(const fill_bag& bag) {
    if (bag.count == 3 || (bag.poly_linear && bag.split == 0)) return 1;
    return bag.count - 2;
}

int scannable_fills(const fill_bag& bag) {
    const projected_point* pr = bag.projected;
    if (fill_poly_calls(bag) == 1) return scannable(pr, bag.count) ? 1 : 0;
    int fills = 0;
    for (int i = 1; i + 1 < bag.count; ++i) {
        const projected_point tri[3] = {pr[0], pr[i], pr[i + 1]};
        fills += scannable(tri, 3) ? 1 : 0;
    }
    return fills;
}

bool fill_can_wait(const fill_bag& bag) { return vertex_shades_valid(bag); }

int fill_poly_chunk() { return profiler_site_chunk(fill_poly_site()); }

void fill_prepared_polygon(fill_bag& bag, bool marked) {
    const int count = bag.count;
    const clip_point* points = bag.points;
    const clip_point* camera_points = bag.camera_points;
    const projected_point* projected = bag.projected;
    if (fill_poly_calls(bag) == 1) {
        if (marked) bag.wire_frame ^= 1;
        fill_poly(projected, count, bag);
        return;
    }
    // A fan of triangles, each with planes of its own.
    for (int i = 1; i + 1 < count; ++i) {
        const clip_point tri_points[3] = {points[0], points[i], points[i + 1]};
        const clip_point tri_camera[3] = {camera_points[0], camera_points[i], camera_points[i + 1]};
        const projected_point tri_projected[3] = {projected[0], projected[i], projected[i + 1]};
        bag.points = tri_points;
        bag.camera_points = tri_camera;
        bag.projected = tri_projected;
        bag.count = 3;
        bag.planes_prepared = 0;
        if (marked) bag.wire_frame ^= 1;
        fill_poly(tri_projected, 3, bag);
        if (marked) bag.wire_frame ^= 1;
    }
}

int fill_polygon_software(camera* c, polygon* p, const clip_point* points, int count,
                          const clip_point* camera_points, const projected_point* projected) {
    if (!c || !p || count < 3 || !c->frame_destination || !raster_frame_state().coverage) return -1;
    fill_bag bag;
    prepare_fill_poly_bag(bag, c, p, count, points, camera_points, projected);
    const bool marked = raster_frame_state().marked == p;
    if (raster_bands_keep(bag, marked)) return 0;
    fill_prepared_polygon(bag, marked);
    return 0;
}

raster_frame& raster_frame_state() {
    static raster_frame frame{};
    return frame;
}
