// A small Windows bitmap reader for height maps: 8-bit paletted or 24-bit files, read field by field.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct height_bitmap {
    int width = 0;
    int height = 0;
    int bits_per_pixel = 0;
    int row_length = 0;        // bytes per stored row, padded to 4
    std::vector<uint8_t> rgb;  // width x height x 3, top row first
};

inline constexpr int64_t height_bitmap_max_pixels = 64LL * 1024 * 1024;

enum class height_bitmap_status { ok, unreadable, bad_depth, bad_bitmap };

// Reads the file; a bad or truncated file gives a status other than ok and leaves out untouched.
height_bitmap_status height_bitmap_read(const char* path, height_bitmap& out);
