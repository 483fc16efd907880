// Raw triangle files: the line reader and the triangle-fan writer.
#include "formats/raw_world.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

#include "formats/world_formats.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/memory.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "world/colour.h"
#include "world/group.h"
#include "world/polygon.h"

namespace texts = raw_texts;

namespace {

void report(int kind, const std::string& text) {
    if (raw_world_report_errors()) report_error(kind, text.c_str());
}

// A cursor over the text that counts lines from 1.
struct raw_cursor {
    const std::string& text;
    size_t pos = 0;
    int line = 1;

    void skip_blanks() {
        for (; pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])); ++pos) {
            if (text[pos] == '\n') ++line;
        }
    }
    // A finite number at the cursor, blanks and line ends before it skipped.
    bool number(double& out) {
        skip_blanks();
        if (pos >= text.size()) return false;
        const char* start = text.c_str() + pos;
        char* end = nullptr;
        out = plat_strtod(start, &end);
        if (end == start || !std::isfinite(out)) return false;
        pos += static_cast<size_t>(end - start);
        return true;
    }
};

// Nine numbers from the cursor, over as many lines as they take; the line of the ninth may hold
// nothing more but blanks or words. False, with the cursor left alone, when they do not stand
// there.
bool read_corners(raw_cursor& c, double corners[9]) {
    raw_cursor probe = c;
    for (int i = 0; i < 9; ++i) {
        if (!probe.number(corners[i])) return false;
    }
    const size_t line_end = std::min(probe.text.find('\n', probe.pos), probe.text.size());
    const size_t next = probe.text.find_first_not_of(" \t\r\f\v", probe.pos);
    double extra = 0;
    if (next < line_end && probe.number(extra)) return false;
    c.pos = line_end;
    c.line = probe.line;
    return true;
}

// A triangle with the corners added at the head in file order, so its points run third to first.
polygon* make_triangle(const double corners[9], double shade) {
    static constexpr double cords[3][2] = {{0, 0}, {0, 1}, {1, 1}};
    polygon* p = init_poly();
    if (!p) return nullptr;
    for (int i = 0; i < 3; ++i) {
        const double values[6] = {corners[3 * i], corners[3 * i + 1], corners[3 * i + 2], cords[i][0], cords[i][1],
                                  shade};
        polygon_add_point_to_head(p, values);
    }
    return p;
}

// Whether the file exists and holds nothing.
bool is_empty_file(const char* path) {
    FILE* file = path ? plat_fopen(path, "rb") : nullptr;
    if (!file) return false;
    const bool empty = std::fgetc(file) == EOF && !std::ferror(file);
    std::fclose(file);
    return empty;
}

int read_into_root(const char* path, module* m, group**) { return engine_load_raw_file(path, &m->root->polygons); }

}  // namespace

int& raw_world_report_errors() {
    static int flag = 1;
    return flag;
}

int engine_read_world_design_raw_format(const char*, const char*, const char* path, group** top_group) {
    return read_into_new_module(path, read_into_root, false, top_group);
}

int engine_load_raw_file(const char* path, polygon** list) {
    char* data = nullptr;
    int size = 0;
    if (file_to_memory(path, &data, &size) != 0) {
        if (is_empty_file(path)) return 0;
        report(1, texts::cant_load);
        engine_log_printf("%s\n", path ? path : "");
        return -1;
    }
    const int result = engine_parse_raw_text(data, static_cast<size_t>(size), path, list);
    engine_free(data);
    return result;
}

int engine_parse_raw_text(const char* text, size_t size, const char* name, polygon** list) {
    const std::string whole(text ? text : "", text ? size : 0);
    const char* file = name ? name : "";
    const double shade = std::floor(light_intensity_to_shade(100, 8));
    bool flat_seen = false;
    int triangles = 0;
    int stopped_at = 0;
    raw_cursor c{whole};
    for (c.skip_blanks(); c.pos < whole.size(); c.skip_blanks()) {
        const size_t start = c.pos;
        double corners[9];
        if (!read_corners(c, corners)) {
            stopped_at = c.line;
            break;
        }
        polygon* p = make_triangle(corners, shade);
        if (!p) {
            report(2, texts::init_poly_failed);
            log_error_dump(texts::dump, whole, start);
            return -1;
        }
        if (polygon_recalculate(p) != 0) {
            flat_seen = true;
            free_polygon(p);
            continue;
        }
        if (polygon_list_add(list, p) != 0) {
            report(1, texts::add_failed);
            free_polygon(p);
            log_error_dump(texts::dump, whole, c.pos);
            return -1;
        }
        ++triangles;
    }
    if (flat_seen) report(1, texts::flat_triangles);
    if (triangles == 0 && (stopped_at > 0 || flat_seen)) {
        report(1, plat_format(texts::no_triangle, file, stopped_at > 0 ? stopped_at : c.line));
        return -1;
    }
    if (stopped_at > 0) report(1, plat_format(texts::stopped, file, stopped_at));
    return 0;
}

int engine_save_raw_format(const char* path, group* g, int) {
    std::string text;
    for (polygon* p = group_get_first_polygon(g); p; p = group_get_next_polygon(g, p)) {
        if (p->point_count < 3) {
            report(1, texts::short_polygon);
            return -1;
        }
        const point* first = p->points;
        for (const point* a = first->next; a && a->next; a = a->next) {
            const point* b = a->next;
            text += plat_format("%lf %lf %lf    %lf %lf %lf    %lf %lf %lf\r\n", first->x, first->y, first->z, a->x,
                                a->y, a->z, b->x, b->y, b->z);
        }
    }
    if (mem2file(path, text.data(), static_cast<int>(text.size())) != 0) {
        report(1, plat_format(texts::open_failed, path ? path : ""));
        return -1;
    }
    return 0;
}
