// The software renderer's drawer table: per row and rendering mode, the span drawers for each
// z-buffer state with the row's split and drawer flags.
#pragma once
#include "render/software/fill_bag.h"
#include "world/polygon_fill.h"

inline constexpr int DRAWER_FLAG_TEXTURED = 1;
inline constexpr int DRAWER_FLAG_VERTEX_SHADING = 2;

inline constexpr int DRAWER_MODE_COUNT = 3;
inline constexpr int DRAWER_ZBUFFER_STATES = 3;

struct drawer_row_flags {
    int split;  // 1 = fill as triangles only
    int flags;  // DRAWER_FLAG_* bits; 0 = neither textured nor shaded per vertex
};

struct drawer_entry {
    span_drawer perspective[DRAWER_ZBUFFER_STATES];  // by z-buffer state 0 off, 1 semi, 2 full
    span_drawer linear[DRAWER_ZBUFFER_STATES];
    drawer_row_flags row;
};

// Flags of a row for rendering mode 0, 1 or 2; unused rows and bad indices give no flags.
drawer_row_flags drawer_table_flags(int row, int mode);
// The entry of a row for rendering mode 0, 1 or 2; unused rows and bad indices give the solid row.
const drawer_entry& drawer_table_entry(int row, int mode);
