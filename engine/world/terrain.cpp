// Terrain from a height bitmap: a group "Terrain" of triangles over a 2000 x 2000 grid.
#include "world/terrain.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "foundation/errors.h"
#include "world/colour.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/polygon.h"
#include "world/terrain_bitmap.h"

namespace {

constexpr double grid_extent = 2000;
constexpr double grid_half = 1000;

int round_half_up(double v) { return static_cast<int>(std::floor(v + 0.5)); }

// Nearest-pixel resampling to columns x rows.
std::vector<double> sample_heights(const height_bitmap& b, int columns, int rows) {
    std::vector<double> heights(static_cast<size_t>(columns) * static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        const int source_row = std::min(b.height - 1, static_cast<int>(static_cast<int64_t>(i) * b.height / rows));
        for (int j = 0; j < columns; ++j) {
            const int source_column =
                std::min(b.width - 1, static_cast<int>(static_cast<int64_t>(j) * b.width / columns));
            const uint8_t* rgb = &b.rgb[(static_cast<size_t>(source_row) * b.width + source_column) * 3];
            heights[static_cast<size_t>(i) * columns + j] =
                std::sqrt(double(rgb[0]) * rgb[0] + double(rgb[1]) * rgb[1] + double(rgb[2]) * rgb[2]);
        }
    }
    return heights;
}

}  // namespace

group* engine_create_terrain_group_from_bitmap(const char* file, double height_step, int polygon_count) {
    if (!engine_state.editor_mode) return nullptr;
    if (height_step < 1e-6) height_step = 1e-6;
    module* main = engine_state.main_module;
    if (!main || !main->root) return nullptr;
    height_bitmap bitmap;
    const height_bitmap_status status = height_bitmap_read(file, bitmap);
    if (status == height_bitmap_status::unreadable) return nullptr;
    if (status == height_bitmap_status::bad_depth) {
        report_error(1, "engine_create_terrain_group_from_bitmap: bitmap is not 8 bits per pixel\n");
        return nullptr;
    }
    if (status != height_bitmap_status::ok || bitmap.width <= 0 || bitmap.height <= 0 || bitmap.row_length <= 0 ||
        polygon_count <= 0) {
        report_error(1, "engine_create_terrain_group_from_bitmap: bad source bitmap\n");
        return nullptr;
    }
    const double aspect = static_cast<double>(bitmap.height) / bitmap.width;
    const double wanted = std::min(polygon_count, terrain_max_polygons);
    const int columns = std::max(1, round_half_up(std::sqrt(wanted / (2 * aspect))));
    const int rows = std::max(1, round_half_up(columns * aspect));
    if (2.0 * (columns - 1) * (rows - 1) > terrain_max_polygons) {
        report_error(1, "engine_create_terrain_group_from_bitmap: bad source bitmap\n");
        return nullptr;
    }
    const std::vector<double> heights = sample_heights(bitmap, columns, rows);
    group* terrain = group_create(&engine_state.groups, "Terrain");
    if (!terrain) {
        report_error(1, "engine_create_terrain_group_from_bitmap: failed to create group\n");
        return nullptr;
    }
    const auto [low, high] = std::minmax_element(heights.begin(), heights.end());
    const double minimum = *low, range = *high - *low;
    // A flat bitmap has no height range: the terrain lies flat at the bottom of the span.
    auto z_of = [&](int i, int j) {
        const double h = heights[static_cast<size_t>(i) * columns + j];
        const double z = range > 0 ? (h - minimum) / range * grid_extent - grid_half : -grid_half;
        return std::floor(z / height_step) * height_step;
    };
    const double brightness = static_cast<int>(light_intensity_to_shade(100, NORMAL_PALETTE));
    auto corner = [&](int i, int j) {
        return std::vector<double>{grid_half - i * grid_extent / (rows - 1), j * grid_extent / (columns - 1) - grid_half,
                                   z_of(i, j), 0, 0, brightness};
    };
    polygon** tail = &main->root->polygons;
    while (*tail) tail = &(*tail)->next;
    auto add_triangle = [&](std::initializer_list<std::pair<int, int>> corners) {
        polygon* p = init_poly();
        if (!p) return;
        for (auto [i, j] : corners) polygon_add_point(p, corner(i, j).data());
        p->owner_group = terrain;
        if (!polygon_is_valid(p)) report_error(1, "engine_create_terrain_group_from_bitmap: bad polygons\n");
        // Added at the end of the list, and counted like every polygon the world takes.
        polygon_list_add(tail, p);
        tail = &p->next;
    };
    for (int i = 0; i + 1 < rows; ++i) {
        for (int j = 0; j + 1 < columns; ++j) {
            add_triangle({{i + 1, j + 1}, {i, j + 1}, {i, j}});
            add_triangle({{i, j}, {i + 1, j}, {i + 1, j + 1}});
        }
    }
    return terrain;
}
