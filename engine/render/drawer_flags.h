// Split and drawer flags of the software renderer's drawer table rows (the span drawers plug in later).
#pragma once

inline constexpr int DRAWER_FLAG_TEXTURED = 1;
inline constexpr int DRAWER_FLAG_VERTEX_SHADING = 2;

inline constexpr int DRAWER_ROW_COUNT = 10;
inline constexpr int DRAWER_MODE_COUNT = 3;
// Row of a polygon without bitmap; row of the wire-frame mode.
inline constexpr int DRAWER_ROW_SOLID = 8;
inline constexpr int DRAWER_ROW_WIRE = 9;

struct drawer_row_flags {
    int split;  // 1 = fill as triangles only
    int flags;  // DRAWER_FLAG_* bits; 0 = neither textured nor shaded per vertex
};

// Flags of a row for rendering mode 0, 1 or 2; unused rows and bad indices give no flags.
drawer_row_flags drawer_table_flags(int row, int mode);
