// Split and drawer flags of the software renderer's drawer table rows (the span drawers plug in later).
#include "render/drawer_flags.h"

namespace {
constexpr drawer_row_flags none{0, 0};
constexpr drawer_row_flags textured{0, DRAWER_FLAG_TEXTURED};
constexpr drawer_row_flags shaded_split{1, DRAWER_FLAG_TEXTURED | DRAWER_FLAG_VERTEX_SHADING};

constexpr drawer_row_flags table[DRAWER_ROW_COUNT][DRAWER_MODE_COUNT] = {
    {none, none, none},                    // 0 unused
    {shaded_split, textured, textured},    // 1 bitmap, varying brightness
    {none, none, none},                    // 2 unused
    {textured, textured, textured},        // 3 bitmap, even brightness
    {none, none, none},                    // 4 unused
    {shaded_split, textured, textured},    // 5 transparent bitmap, varying brightness
    {none, none, none},                    // 6 unused
    {textured, textured, textured},        // 7 transparent bitmap, even brightness
    {none, none, none},                    // 8 solid colour
    {none, none, none},                    // 9 wire frame
};
}  // namespace

drawer_row_flags drawer_table_flags(int row, int mode) {
    if (row < 0 || row >= DRAWER_ROW_COUNT || mode < 0 || mode >= DRAWER_MODE_COUNT) return none;
    return table[row][mode];
}
