// Writing the bitmap files a saved world needs: BMP, JPEG with its filter file, or .jbm and .clr.
#pragma once
#include "world/records.h"

// Writes one bitmap's files named after its name's file part into folder, as the save flags ask.
int engine_save_bitmaps(const bitmap_texture* bitmap, const char* folder, int flags);
// Writes every loaded bitmap the group (or, unless flag 0x40, any animation or background) uses,
// into the file's folder, or its "bitmaps" subfolder when in_subfolder is 1 (created on demand).
int engine_save_bitmaps_of_group(const group* g, const char* path, int flags, int in_subfolder);
