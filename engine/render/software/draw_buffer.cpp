// The draw buffer: a two-dimensional buffer of 1-, 2- or 4-byte cells with a picture box inside it.
#include "render/software/draw_buffer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/profiler.h"

namespace {

void report(const char* text) {
    if (draw_buffer_report_errors()) report_error(1, text);
}

bool is_null(const draw_buffer* db, const char* operation) {
    if (db) return false;
    report((std::string(operation) + ": db==NULL ").c_str());
    return true;
}

void clear_picture_box(draw_buffer* db) {
    db->picture_x = db->picture_y = db->picture_start = 0;
    db->picture_width = db->picture_length = db->picture_cell_count = 0;
}

void release_owned_cells(draw_buffer* db) {
    if (!db->external_memory) engine_free(db->cells);
    db->cells = nullptr;
    db->capacity = 0;
}

template <typename T>
void fill_cells(void* cells, int count, uint32_t value) {
    std::fill_n(static_cast<T*>(cells), count, static_cast<T>(value));
}

}  // namespace

int& draw_buffer_report_errors() {
    static int flag = 1;
    return flag;
}

void init_draw_buffer(draw_buffer* db, int bytes_per_cell) {
    std::memset(db, 0, sizeof *db);
    if (bytes_per_cell != 1 && bytes_per_cell != 2 && bytes_per_cell != 4) {
        report("init_draw_buffer: illegal bytes_per_cell");
        bytes_per_cell = 2;
    }
    db->bytes_per_cell = static_cast<uint8_t>(bytes_per_cell);
}

void free_draw_buffer(draw_buffer* db) {
    if (!db) return;
    release_owned_cells(db);
    std::memset(db, 0, sizeof *db);
}

void clear_draw_buffer_buffer(draw_buffer* db, uint32_t value) {
    static profiler_site site{"draw_buffer_clear_buffer"};
    if (!db || !db->cells) {
        report("clear_draw_buffer_buffer: db==NULL || db->buffer==NULL");
        return;
    }
    const profiler_timer timer(site);
    switch (db->bytes_per_cell) {
        case 1:
            fill_cells<uint8_t>(db->cells, db->cell_count, value);
            break;
        case 4:
            fill_cells<uint32_t>(db->cells, db->cell_count, value);
            break;
        default:
            fill_cells<uint16_t>(db->cells, db->cell_count, value);
            break;
    }
}

int set_buffer_dimentions_advanced(draw_buffer* db, int width, int length, int minimum_capacity, int use_external,
                                   void* external_cells) {
    if (is_null(db, "set_buffer_dimentions_advanced")) return -1;
    const int64_t count = static_cast<int64_t>(width) * length;
    const int64_t most = std::numeric_limits<int32_t>::max() / std::max<int>(db->bytes_per_cell, 1);
    if (width < 0 || length < 0 || minimum_capacity < 0 || count > most || minimum_capacity > most) {
        report("set_buffer_dimentions_advanced: bad dimensions");
        return -1;
    }
    const bool external = use_external == 1 ? external_cells != nullptr : db->external_memory != 0;
    const int needed = static_cast<int>(std::max<int64_t>(minimum_capacity, count));
    void* cells = db->cells;
    int capacity = db->capacity;
    if (external) {
        cells = use_external == 1 ? external_cells : db->cells;
        capacity = needed;
    } else if (needed == 0) {
        cells = nullptr;
        capacity = 0;
    } else if (db->external_memory || !db->cells || db->capacity != needed) {
        // The new block comes first, so a failed allocation leaves the buffer as it was.
        cells = engine_alloc(static_cast<size_t>(needed) * std::max<int>(db->bytes_per_cell, 1));
        if (!cells) {
            report("set_buffer_dimentions_advanced: failed to allocate memory");
            return -1;
        }
        capacity = needed;
    }
    if (cells != db->cells) release_owned_cells(db);
    db->cells = cells;
    db->capacity = capacity;
    db->external_memory = external ? 1 : 0;
    db->minimum_capacity = minimum_capacity;
    db->width = width;
    db->length = length;
    db->cell_count = static_cast<int32_t>(count);
    if (width && length) {
        set_picture_box(db, 0, 0, width - 1, length - 1);
    } else {
        clear_picture_box(db);
    }
    return 0;
}

int set_buffer_dimentions(draw_buffer* db, int width, int length) {
    if (is_null(db, "set_buffer_dimentions")) return -1;
    return set_buffer_dimentions_advanced(db, width, length, db->minimum_capacity, 0, nullptr);
}

int set_picture_box(draw_buffer* db, int x1, int y1, int x2, int y2) {
    if (is_null(db, "set_picture_box")) return -1;
    if (x2 < x1 || y2 < y1 || x1 < 0 || y1 < 0) {
        report("set_picture_box: bad box parameters !!");
        return -1;
    }
    if (x2 >= db->width || y2 >= db->length) {
        report("set_picture_box: Error, picture exceeds buffer area !!!");
        return -1;
    }
    db->picture_x = x1;
    db->picture_y = y1;
    db->picture_start = y1 * db->width + x1;
    db->picture_width = x2 - x1 + 1;
    db->picture_length = y2 - y1 + 1;
    db->picture_cell_count = db->picture_width * db->picture_length;
    return 0;
}

int get_buffer_width(const draw_buffer* db) { return is_null(db, "get_buffer_width") ? 0 : db->width; }
int get_buffer_length(const draw_buffer* db) { return is_null(db, "get_buffer_length") ? 0 : db->length; }
int get_picture_top_left_x(const draw_buffer* db) { return is_null(db, "get_picture_top_left_x") ? 0 : db->picture_x; }
int get_picture_top_left_y(const draw_buffer* db) { return is_null(db, "get_picture_top_left_y") ? 0 : db->picture_y; }
int get_picture_width(const draw_buffer* db) { return is_null(db, "get_picture_width") ? 0 : db->picture_width; }
int get_picture_length(const draw_buffer* db) { return is_null(db, "get_picture_length") ? 0 : db->picture_length; }

void* get_picture_first_cell(const draw_buffer* db) {
    if (!db || !db->cells) return nullptr;
    return static_cast<uint8_t*>(db->cells) + static_cast<int64_t>(db->picture_start) * db->bytes_per_cell;
}
