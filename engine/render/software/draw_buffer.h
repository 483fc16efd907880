// The draw buffer: a two-dimensional buffer of 1-, 2- or 4-byte cells with a picture box inside it.
#pragma once
#include <cstdint>

struct draw_buffer {
    void* cells;
    uint8_t bytes_per_cell;  // 1, 2 or 4
    int32_t capacity;        // cells allocated
    int32_t minimum_capacity;
    int32_t external_memory;  // 1: the cells belong to someone else and are never freed here
    int32_t width;            // cells per row
    int32_t length;           // rows
    int32_t cell_count;
    int32_t picture_x, picture_y;
    int32_t picture_start;  // picture_y * width + picture_x
    int32_t picture_width, picture_length;
    int32_t picture_cell_count;
};

int& draw_buffer_report_errors();

// Zeroes the record; a cell size other than 1, 2 or 4 is reported and 2 is used.
void init_draw_buffer(draw_buffer* db, int bytes_per_cell);
// Frees owned cells and zeroes the record.
void free_draw_buffer(draw_buffer* db);
void clear_draw_buffer_buffer(draw_buffer* db, uint32_t value);
// Sizes the buffer to width x length cells (at least minimum_capacity allocated). With use_external 1
// it works on the given cells (none given: back to owned memory). The picture box becomes the whole
// buffer. 0, or -1 with the buffer unchanged.
int set_buffer_dimentions_advanced(draw_buffer* db, int width, int length, int minimum_capacity, int use_external,
                                   void* external_cells);
// The same keeping the minimum capacity and the memory mode.
int set_buffer_dimentions(draw_buffer* db, int width, int length);
// Corners inclusive; 0, or -1 when the box is empty, negative or leaves the buffer.
int set_picture_box(draw_buffer* db, int x1, int y1, int x2, int y2);

int get_buffer_width(const draw_buffer* db);
int get_buffer_length(const draw_buffer* db);
int get_picture_top_left_x(const draw_buffer* db);
int get_picture_top_left_y(const draw_buffer* db);
int get_picture_width(const draw_buffer* db);
int get_picture_length(const draw_buffer* db);
// Address of the picture's top-left cell; NULL without cells.
void* get_picture_first_cell(const draw_buffer* db);
