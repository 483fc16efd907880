// The in-memory paletted image: its record, pixels, palette and 32 shade tables.
#pragma once
#include "world/records.h"

int& jbm_report_errors();

// Zeroes the record: no transparent index, file palette, no colours, average colour grey 128.
void jbm_info_init(jbm_info* info);
// Frees the name, the image, the shade-table block and the palette; the record is initialised again.
void jbm_info_free(jbm_info* info);
// Stores an upper-cased copy of name; 0 or -1.
int set_jbm_info_name(jbm_info* info, const char* name);
// A zeroed paletted image of width x height behind its 8-byte header; 0 or -1.
int jbm_create_image(jbm_info* info, int width, int height);
// The pixels, after the header; NULL without an image.
uint8_t* jbm_pixels(const jbm_info* info);
// One zeroed block of 32 shade tables of count entries each; 0 or -1.
int jbm_allocate_palettes(jbm_info* info, int count);
void bitmap_replace_index(jbm_info* info, int from, int to);
// Takes the palette (at most 256 entries) for the image's pixels: average colour, transparent colour
// and the transparent pixels marked 255, the 32 shade tables toward the atmospheric colour and the
// average colour at every level; 0 or -1 (the record keeps its old palette then).
int jbm_apply_palette(jbm_info* info, const rgb8* palette, int count, const rgb8& atmospheric);
