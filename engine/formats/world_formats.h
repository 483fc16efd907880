// The world-format table, the reader and writer chosen by a file's extension, and the entry that
// reads a one-module format into a fresh "MAIN" module.
#pragma once
#include <cstddef>
#include <string>

#include "foundation/engine_globals.h"
#include "world/records.h"

struct world_format_row {
    const char* name;
    const char* extension;
    bool readable;
    bool writable;
};

// The formats the interface hands out, in order; "mft" is listed but neither read nor written.
inline constexpr world_format_row world_format_rows[world_format_count] = {
    {"Drovik's 3D worlds file format", "wld", true, true},
    {"Drovik's 3D worlds file format", "mft", false, false},
    {"Microsoft DirectX 3D worlds file format", "x", true, true},
    {"Raw world file format", "raw", true, true},
    {"MD2 Quake2 models format", "md2", true, false},
    {"Drovik binary file format", "drovik", true, true},
};

// Save flags of the world writers.
namespace save_flags {
inline constexpr int marked_only = 0x01;         // only the records marked as to be saved
inline constexpr int strip_directories = 0x02;   // bitmap names without their folder
inline constexpr int bitmaps_jpeg = 0x04;        // write the used bitmaps as JPEG
inline constexpr int bitmaps_bmp = 0x08;         // write (or keep) the used bitmaps as BMP
inline constexpr int bitmaps_engine = 0x10;      // write the used bitmaps as .jbm and .clr
inline constexpr int keep_part_files = 0x20;     // text worlds: part files with include lines
inline constexpr int group_items_only = 0x40;    // no scene records; only the animations used
inline constexpr int dynamic_modules = 0x80;     // text worlds: one module per dynamic group
inline constexpr int bitmap_kind_by_image = 0x200;  // JPEG for opaque bitmaps, BMP for transparent
inline constexpr int build_bsp_trees = 0x800;    // binary worlds: build and store the BSP trees
inline constexpr int any_bitmaps = bitmaps_jpeg | bitmaps_bmp | bitmaps_engine | bitmap_kind_by_image;
}  // namespace save_flags

// Reads a whole world file into the engine state: the folder and file name as given and the
// joined path; a reader that knows the saved top group gives it back through `top_group`.
using world_reader = int (*)(const char* directory, const char* file_name, const char* path, group** top_group);
// Writes `g` (NULL: the whole world) to `path`; the text writer gets the path without extension.
using world_writer = int (*)(const char* path, group* g, int flags);
// Fills a fresh module (its root's polygon list) from a file.
using polygon_list_reader = int (*)(const char* path, module* m, group** top_group);

int& world_formats_report_errors();

// Installs the reader or writer of an extension of the table (NULL removes it); -1 for an
// extension the table does not read or write. The binary format's pair is installed from the start.
int world_formats_set_reader(const char* extension, world_reader reader);
int world_formats_set_writer(const char* extension, world_writer writer);

// Joins folder and file name, chooses the reader by the extension (any case) and runs it: 0 / -1.
int read_world_design1(const char* directory, const char* file_name, group** top_group);
// Computes the vertex normals of the group and writes it in the format of the path's extension.
int engine_save(const char* path, group* g, int flags);
// Creates a module named "MAIN" (made unique), pushes it on the module list with an empty root
// and lets `reader` fill the root's polygon list; with `may_become_main` the module becomes the
// main module when there is none: 0 / -1.
int read_into_new_module(const char* path, polygon_list_reader reader, bool may_become_main, group** top_group);

// Writes the text from pos to the engine log through the format (200 characters, or all that are
// left when at most 210 are), or the end-of-file line when nothing is left: a reader's error dump.
void log_error_dump(const char* format, const std::string& text, size_t pos);

namespace world_format_texts {
inline constexpr const char* unsupported_read = "engine_read_world_design: unsupported file format ( *.%s )\n";
inline constexpr const char* missing_reader = "engine_read_world_design: no reader is built for ( *.%s ) files\n";
inline constexpr const char* unsupported_save = "engine_save: unsupported format extension .Saving in Drovik format\n";
inline constexpr const char* unsupported_save_log = "\t\the unsupported format extension is:  %s .\n";
inline constexpr const char* missing_writer = "engine_save: no writer is built for ( *.%s ) files\n";
inline constexpr const char* module_failed = "read_into_new_module: init_module failed\n";
inline constexpr const char* node_failed = "read_into_new_module: failed creating the BSP root\n";
inline constexpr const char* caption_light = "Light";
inline constexpr const char* caption_saving = "Saving";
inline constexpr const char* main_module = "MAIN";
inline constexpr const char* dump_end = "Error Dump: End of file was reached\n";
}  // namespace world_format_texts
