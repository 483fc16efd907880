// The world text format: reader of ".wld" designs and their include files, and the writer of
// part files and their merge into one file.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "world/records.h"

int& text_world_report_errors();
// With 1, include names must stay inside the world's folder (relative, no ".." parts).
int& text_world_confine_includes();

// The "wld" reader of the format table: the file and every file it includes: 0 / -1.
int engine_read_world_design(const char* directory, const char* file_name, const char* path, group** top_group);
// Reads one design held in memory, includes looked up in `directory`, with its dynamic objects put
// straight on the world's list (no digestion follows): 0 / -1.
int text_world_read_memory(const char* text, size_t size, const char* directory);

// SOUND blocks. The reader hook gets the text from "SOUND:" on and the world's folder and gives
// the characters the block used; the writer hook writes every sound block to the open file.
using sound_block_reader = int (*)(const char* text, const char* directory, int* used);
using sound_block_writer = int (*)(FILE* file, const char* directory);
// NULL restores the default pair, which checks a block's words and keeps its text to write back.
void text_world_set_sound_hooks(sound_block_reader reader, sound_block_writer writer);
void text_world_set_sound_reader(sound_block_reader reader);
// The SOUND blocks the default hook kept, as read.
const std::vector<std::string>& text_world_kept_sounds();
// Forgets the SOUND blocks the default hook kept.
void text_world_clear_kept_sounds();

// Saves `g` (NULL: the whole world) as "<base>.wld" (with flag 0x20 also "<base>.001"...): 0 / -1.
int engine_save_text_world(const char* base_path, group* g, int flags);

// Fills a polygon just read (its plane computed): missing texture cords and brightness from the
// first three points that carry them, points made coplanar, points on the point before them dropped,
// a concave polygon and a rotated one not facing along x reported (the latter loses its rotation),
// derived values set. 0; -1 when fewer than three points carry a value; -2 when fewer than three
// points remain.
int polygon_fill_read_values(polygon* p);

// Seeds the source of random colours and progress ranges.
void text_world_seed_random(uint32_t seed);
uint32_t text_world_random();




namespace text_world_texts {
inline constexpr const char* header = "// This file was created by Drovik VR Engine\n/* notes ....\n*/\nBEGIN_DESIGN:\n\n";
inline constexpr const char* cant_load = "engine_read_world_file: cant load file for parsing\n";
inline constexpr const char* bad_comments = "engine_read_world_file: bad comments missing closing *\\ \n";
inline constexpr const char* no_begin = "engine_read_world_file: cant find BEGIN_DESIGN:\n";
inline constexpr const char* reading_file = "Reading file %s\tThere are %d polygons in file\n";
inline constexpr const char* no_next_object = "engine_read_world_file: cant find next object\n";
inline constexpr const char* wrong_polygon_count = "engine_read_world_file: wrong number of polygons !!!";
inline constexpr const char* expected_item = "engine_read_world_file: we expected BEGIN_MODULE: or ANIMATION:\n";
inline constexpr const char* instead = "instead we got %s\n";
inline constexpr const char* dump = "Error Dump (The bug is above this point):\n---------------------------------------\n%s\n";
inline constexpr const char* failed_reading = "engine_read_world_design: failed reading %s\n";
inline constexpr const char* load_end = "\n\n==========================================\n\n";
inline constexpr const char* two_atmospheres = "read_atmosphere: two atmosphere declerations !!! delete one of them\n";
inline constexpr const char* two_default_colours = "read_default_color: two default color declerations\n";
inline constexpr const char* too_few_points = "set_track_num_of_points: Too few points in track";
inline constexpr const char* bad_track = "\tThe bad track is %s. it has %d points\n";
inline constexpr const char* bad_name = "engine_save_text_world: the name \"%s\" cannot be written in a text world\n";
inline constexpr const char* merge_open = "engine_make_a_single_file: coudnt open file %s (for saving)\n";
inline constexpr const char* merge_part = "engine_make_a_single_file: coudnt open file %s (for saving) 2\n";
inline constexpr const char* merge_rename = "engine_make_a_single_file: failed renaming file %s to file %s\n";
inline constexpr const char* dynamic_failed = "dynamic_create_from_file: failed\n";
}  // namespace text_world_texts
