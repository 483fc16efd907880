// Copies of cell rectangles between buffers: plain, mirrored, and paletted rows through a shade table.
#include "render/software/window_copy.h"

#include <algorithm>
#include <cstring>

#include "foundation/errors.h"
#include "world/colour.h"

namespace {

void report(const char* text) {
    if (window_copy_report_errors()) report_error(1, text);
}

bool params_ok(const void* destination, const void* source, int source_width, int destination_width,
               int destination_x, int source_x, int width) {
    return destination && source && source_width >= source_x + width && destination_width >= destination_x + width &&
           source_x >= 0 && destination_x >= 0;
}

template <typename Cell>
void mirror_rows(void* destination, const void* source, int source_width, int destination_width, int destination_x,
                 int destination_y, int source_x, int source_y, int width, int rows) {
    for (int r = 0; r < rows; ++r) {
        const Cell* from = static_cast<const Cell*>(source) + static_cast<int64_t>(source_y + r) * source_width + source_x;
        Cell* to = static_cast<Cell*>(destination) + static_cast<int64_t>(destination_y + r) * destination_width +
                   destination_x;
        for (int i = 0; i < width; ++i) to[i] = from[width - 1 - i];
    }
}

}  // namespace

int& window_copy_report_errors() {
    static int flag = 1;
    return flag;
}

int copy_window(int cell_size, void* destination, const void* source, int source_width, int destination_width,
                int destination_x, int destination_y, int source_x, int source_y, int width, int rows) {
    if (!params_ok(destination, source, source_width, destination_width, destination_x, source_x, width)) {
        report("copy_window: bad params");
        return -1;
    }
    if (cell_size != 1 && cell_size != 2 && cell_size != 4) {
        report("copy_window: bad cell size");
        return -1;
    }
    for (int r = 0; r < rows; ++r) {
        std::memcpy(static_cast<uint8_t*>(destination) +
                        (static_cast<int64_t>(destination_y + r) * destination_width + destination_x) * cell_size,
                    static_cast<const uint8_t*>(source) +
                        (static_cast<int64_t>(source_y + r) * source_width + source_x) * cell_size,
                    static_cast<size_t>(width) * cell_size);
    }
    return 0;
}

int copy_window_mirror(int cell_size, void* destination, const void* source, int source_width,
                       int destination_width, int destination_x, int destination_y, int source_x, int source_y,
                       int width, int rows) {
    if (!params_ok(destination, source, source_width, destination_width, destination_x, source_x, width)) {
        report("copy_window_mirror: bad params");
        return -1;
    }
    if (cell_size == 1) {
        mirror_rows<uint8_t>(destination, source, source_width, destination_width, destination_x, destination_y,
                             source_x, source_y, width, rows);
    } else if (cell_size == 2) {
        mirror_rows<uint16_t>(destination, source, source_width, destination_width, destination_x, destination_y,
                              source_x, source_y, width, rows);
    } else if (cell_size == 4) {
        report("copy_window_mirror: DWORD miroring in not suported yet");
        return -1;
    } else {
        report("copy_window_mirror: bad cell size");
        return -1;
    }
    return 0;
}

int copy_line_indirect8_16(uint16_t* destination, const uint8_t* source, const uint16_t* table, int width) {
    if (!destination || !source || !table || width <= 0) {
        report("copy_line_indirect8_16: bad params");
        return -1;
    }
    for (int i = 0; i < width; ++i) destination[i] = table[source[i]];
    return 0;
}

int copy_line_indirect8_16_mirror(uint16_t* destination, const uint8_t* source, const uint16_t* table, int width) {
    if (!destination || !source || !table || width <= 0) {
        report("copy_line_indirect8_16: bad params");
        return -1;
    }
    for (int i = 0; i < width; ++i) destination[i] = table[source[width - 1 - i]];
    return 0;
}

int copy_window_paletted(uint16_t* destination, const uint8_t* source, uint16_t* const* shade_tables,
                         int source_width, int destination_width, int destination_x, int destination_y, int source_x,
                         int source_y, int width, int rows, double top_brightness, double step, int mirror) {
    if (!shade_tables || !params_ok(destination, source, source_width, destination_width, destination_x, source_x, width)) {
        report(mirror ? "copy_window_paletted_mirror: bad params" : "copy_window_paletted: bad params");
        return -1;
    }
    for (int r = 0; r < rows; ++r) {
        const double brightness = std::min(100.0, top_brightness - r * step);
        const int level = std::clamp(static_cast<int>(light_intensity_to_shade(brightness, NORMAL_PALETTE)), 0,
                                     NUMBER_OF_PALETTES - 1);
        uint16_t* to = destination + static_cast<int64_t>(destination_y + r) * destination_width + destination_x;
        const uint8_t* from = source + static_cast<int64_t>(source_y + r) * source_width + source_x;
        const int copied = mirror ? copy_line_indirect8_16_mirror(to, from, shade_tables[level], width)
                                  : copy_line_indirect8_16(to, from, shade_tables[level], width);
        if (copied != 0) return -1;
    }
    return 0;
}
