// Raw triangle files: nine numbers a line, one triangle each, read into the MAIN module and
// written as triangle fans.
#pragma once
#include <cstddef>

#include "world/records.h"

int& raw_world_report_errors();

// The "raw" reader of the format table: a fresh "MAIN" module filled by the file: 0 / -1.
int engine_read_world_design_raw_format(const char* directory, const char* file_name, const char* path,
                                        group** top_group);
// Pushes one polygon per nine numbers on the list, up to the first place without them (reported
// with its line); an empty file adds nothing. 0, or -1 when the file cannot be read, a polygon
// cannot be made, or text stands in the file and no triangle came of it.
int engine_load_raw_file(const char* path, polygon** list);
// The same over a text in memory; `name` names it in the reports.
int engine_parse_raw_text(const char* text, size_t size, const char* name, polygon** list);
// Writes the group (NULL: the whole world) as triangle fans; the flags are not used: 0 / -1.
int engine_save_raw_format(const char* path, group* g, int flags);

namespace raw_texts {
inline constexpr const char* cant_load = "engine_load_raw_file: cant load file ";
inline constexpr const char* init_poly_failed = "engine_load_raw_file: init_poly failed\n";
inline constexpr const char* add_failed = "engine_load_raw_file: failed to add polygon\n";
inline constexpr const char* flat_triangles = "engine_load_raw_file: triangles whose corners span no plane were left out\n";
inline constexpr const char* no_triangle =
    "engine_load_raw_file: no triangle read from %s; reading stopped at line %d\n";
inline constexpr const char* stopped =
    "engine_load_raw_file: reading %s stopped at line %d, which does not hold a triangle of nine numbers\n";
inline constexpr const char* dump = "Error Dump (The bug is above this point):\n-----------------------------------------\n%s\n";
inline constexpr const char* open_failed = "engine_save_raw_format: coudnt open file %s\n";
inline constexpr const char* short_polygon =
    "engine_save_raw_format: internal error, polygon doesnt have three points !!!\n";
}  // namespace raw_texts
