// Copies of cell rectangles between buffers: plain, mirrored, and paletted rows through a shade table.
#pragma once
#include <cstdint>

int& window_copy_report_errors();

// Copies rows x width cells from (source_x, source_y) of source to (destination_x, destination_y) of
// destination; the widths are the buffers' row strides in cells. 0, or -1 with a report.
int copy_window(int cell_size, void* destination, const void* source, int source_width, int destination_width,
                int destination_x, int destination_y, int source_x, int source_y, int width, int rows);
// The same with every row reversed (the source row's last cell lands first); 1- and 2-byte cells.
int copy_window_mirror(int cell_size, void* destination, const void* source, int source_width,
                       int destination_width, int destination_x, int destination_y, int source_x, int source_y,
                       int width, int rows);
int copy_line_indirect8_16(uint16_t* destination, const uint8_t* source, const uint16_t* table, int width);
// Reads the source row backwards from source[width - 1].
int copy_line_indirect8_16_mirror(uint16_t* destination, const uint8_t* source, const uint16_t* table, int width);
// Copies paletted rows into 16-bit cells through shade_tables: the top row at brightness
// top_brightness (percent, capped at 100), each row below step less. 0 or -1.
int copy_window_paletted(uint16_t* destination, const uint8_t* source, uint16_t* const* shade_tables,
                         int source_width, int destination_width, int destination_x, int destination_y, int source_x,
                         int source_y, int width, int rows, double top_brightness, double step, int mirror);
