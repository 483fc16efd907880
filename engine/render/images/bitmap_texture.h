// Bitmap texture records: creation from a file with the choice of source, the cache list, lookup,
// power-of-two copies, resampled levels, deletion and unloading of unused bitmaps.
#pragma once
#include <string>

#include "world/records.h"

int& bitmap_texture_report_errors();

// A bitmap named name holding a width x height paletted image (pixels row-major, top row first) with
// the palette's shade tables toward the current atmospheric colour; pushed at the head of list.
// NULL for bad sizes, a palette of 0 or more than 256 entries, or a failed allocation.
bitmap_texture* bitmap_texture_create_from_pixels(bitmap_texture** list, const char* name, int width, int height,
                                                  const uint8_t* pixels, const rgb8* palette, int count,
                                                  int transparent_index);
// Frees the image, its resampled levels and the record (not unlinked from any list).
void bitmap_texture_free(bitmap_texture* bitmap);

// The file a name loads from: the name itself when it ends in jbm, bmp or jpg, else the newest of
// base.jpg, base.bmp and base.jbm (a .jbm only when neither other exists). *kind gets 1 jbm, 2 bmp,
// 3 jpg; "" when there is none.
std::string bitmap_source_file(const char* name, int* kind);
// Loads the bitmap named name (a path, with or without extension) or finds it in the cache.
bitmap_texture* bitmap_texture_create(bitmap_texture** list, const char* name, int transparent_index);
bitmap_texture* find_bitmap_texture(bitmap_texture* first, const char* name, int transparent_index);
int bitmap_texture_get_power_of_two_number(int side, int mode);
int bitmap_texture_is_power_of_two(const bitmap_texture* bitmap);
bitmap_texture* bitmap_texture_make_power_of_two(bitmap_texture** list, bitmap_texture* bitmap, int mode);
// Number of images including the full-size one.
int bitmap_texture_create_mipmap_levels(bitmap_texture* bitmap);
bitmap_texture* bitmap_texture_duplicate(bitmap_texture** list, bitmap_texture* bitmap, int width, int height);
bitmap_texture* bitmap_texture_extract(bitmap_texture** list, bitmap_texture* bitmap);
int bitmap_texture_delete(bitmap_texture** list, bitmap_texture* bitmap);
int bitmap_texture_delete_all(bitmap_texture** list);
int bitmap_count_polygons_using(const bitmap_texture* bitmap);
// Deletes every bitmap no polygon, texture animation or background uses; the number deleted.
int unload_unused_bitmaps(bitmap_texture** list);
// Loads every bitmap the world's polygons, animations and backgrounds name; 0, or -1 when one of
// them is missing (its polygons keep their colours; the file is tried once).
int init_bitmaps_table(const char* bitmaps_directory, group* only_group);
