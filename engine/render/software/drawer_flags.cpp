// The software renderer's drawer table: per row and rendering mode, the span drawers for each
// z-buffer state with the row's split and drawer flags.
#include "render/software/drawer_flags.h"

#include "render/software/span_drawers.h"

namespace {

constexpr drawer_row_flags none{0, 0};
constexpr drawer_row_flags textured{0, DRAWER_FLAG_TEXTURED};
constexpr drawer_row_flags shaded_split{1, DRAWER_FLAG_TEXTURED | DRAWER_FLAG_VERTEX_SHADING};

constexpr span_drawer I2 = draw_y_line_bitmap_tiled_interpolated_shading;
constexpr span_drawer I2S = draw_y_line_bitmap_tiled_interpolated_shading_semi_zbuff;
constexpr span_drawer I2F = draw_y_line_bitmap_tiled_interpolated_shading_full_zbuff;
constexpr span_drawer M = draw_y_line_bitmap_tiled;
constexpr span_drawer ML = draw_y_line_bitmap_tiled_linear;
constexpr span_drawer MSZ = draw_y_line_bitmap_tiled_semi_zbuff;
constexpr span_drawer MSZT = draw_y_line_bitmap_tiled_semi_zbuff_transparent;
constexpr span_drawer MFZ = draw_y_line_bitmap_tiled_full_zbuff;
constexpr span_drawer S = draw_y_line_solid_shaded;
constexpr span_drawer SS = draw_y_line_solid_shaded_semi_zbuff;
constexpr span_drawer SF = draw_y_line_solid_shaded_full_zbuff;
constexpr span_drawer X = draw_y_line_debug_marker;

// Perspective and linear drawer the same for all three states.
constexpr drawer_entry same(span_drawer off, span_drawer semi, span_drawer full, drawer_row_flags row) {
    return {{off, semi, full}, {off, semi, full}, row};
}

constexpr drawer_entry textured_entry(span_drawer semi) { return {{M, semi, MFZ}, {ML, semi, MFZ}, textured}; }

constexpr drawer_entry solid_entry = same(S, SS, SF, textured);
constexpr drawer_entry colour_entry = same(S, SS, SF, none);
constexpr drawer_entry wire_entry = same(X, X, X, none);

// Open cells (no drawer given for per-vertex-shaded bitmaps under a z-buffer) take the texturing
// and shading of their row's state-0 drawer and the depth work of their own state.
constexpr drawer_entry table[DRAWER_ROW_COUNT][DRAWER_MODE_COUNT] = {
    {colour_entry, colour_entry, colour_entry},
    {same(I2, I2S, I2F, shaded_split), textured_entry(MSZ), solid_entry},
    {colour_entry, colour_entry, colour_entry},
    {textured_entry(MSZ), textured_entry(MSZ), solid_entry},
    {colour_entry, colour_entry, colour_entry},
    {same(I2, I2S, I2F, shaded_split), textured_entry(MSZT), solid_entry},
    {colour_entry, colour_entry, colour_entry},
    {textured_entry(MSZT), textured_entry(MSZT), solid_entry},
    {colour_entry, colour_entry, colour_entry},
    {wire_entry, wire_entry, wire_entry},
};

bool row_is_used(int row) { return drawer_row_is_bitmap(row) || row == DRAWER_ROW_SOLID || row == DRAWER_ROW_WIRE; }

bool in_table(int row, int mode) {
    return row >= 0 && row < DRAWER_ROW_COUNT && mode >= 0 && mode < DRAWER_MODE_COUNT && row_is_used(row);
}

}  // namespace

drawer_row_flags drawer_table_flags(int row, int mode) { return in_table(row, mode) ? table[row][mode].row : none; }

const drawer_entry& drawer_table_entry(int row, int mode) {
    return in_table(row, mode) ? table[row][mode] : table[DRAWER_ROW_SOLID][0];
}
