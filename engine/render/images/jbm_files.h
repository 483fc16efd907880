// The engine's image files: .jbm pixels, .clr palettes, .bmp_swap caches, .64k images and colour
// filter files, the BMP <-> .jbm conversions and the loading of a paletted image from any of them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "world/records.h"

// Where a bitmap's pixels come from.
enum jbm_source_kind { jbm_source_jbm = 1, jbm_source_bmp = 2, jbm_source_jpg = 3 };

inline constexpr int jbm_paletted_type = 7;
inline constexpr int jbm_16bit_type = 10;
inline constexpr int jbm_swap_header_size = 264;

// A .jbm and its .clr as file images.
struct jbm_file_pair {
    std::vector<uint8_t> jbm;
    std::vector<uint8_t> clr;
};

// Checks a .jbm file image: type 7, the sides, 8 + width x height bytes at least.
bool jbm_image_is_valid(const uint8_t* data, size_t size);
// Reads a .clr file image into red-first entries; the count, or -1 when it is over 256 or runs past
// the end.
int clr_from_memory(const uint8_t* data, size_t size, rgb8 palette[256]);
// Takes a .jbm and .clr pair into info (initialised first): pixels below the palette count, the
// palette's shade tables; a transparent index outside the palette marks no pixels. 0 or -1.
int jbm_from_memory(jbm_info* info, const uint8_t* jbm, size_t jbm_size, const uint8_t* clr, size_t clr_size,
                    int transparent_index);
// The .bmp_swap file image of info made with stamp.
std::vector<uint8_t> jbm_swap_image(const jbm_info* info, int32_t stamp);
// Takes a .bmp_swap file image when its version, stamp and transparent index are the ones asked
// for and every offset, size and count agrees with its length; the shade tables are built again for
// the present atmosphere. 0, or -1 leaving info initialised.
int jbm_swap_from_memory(jbm_info* info, const uint8_t* data, size_t size, int transparent_index, int32_t stamp);
int write_jbm_swap_file(const jbm_info* info, const char* path, int32_t stamp);

// The .jbm and .clr of a BMP file image (8 or 24 bits); with a filter path the colour filter runs
// first (writing the default filter file when there is none). 0, or -1 with one report.
int bmp_to_jbm(const uint8_t* bmp, size_t size, const char* bmp_path, const char* filter_path, jbm_file_pair* out);
int bmp2jbmx(const char* bmp_path, const char* jbm_path, const char* filter_path);
int jbm2bmp(const uint8_t* jbm, const uint8_t* clr, const char* path);
int remove_bitmap_padding(uint8_t* pixels, int stride, int rows, int width);
// Writes the default filter file for the key colour unless one exists; 0 or -1.
int write_filter_file(const rgb8& key, const char* path);

// Loads an 8-bit image from path (a .jbm, .bmp or .jpg as kind says) and writes its .bmp_swap
// unless bitmaps are read-only; 0 or -1.
int read_jbm256(jbm_info* info, const char* path, int transparent_index, int kind, int32_t stamp);
// A .64k image (16-bit pixels after an 8-byte header) from memory, named name; 0 or -1.
int jbm64k_from_memory(jbm_info* info, const char* name, const uint8_t* data, size_t size);
int read_jbm64k(jbm_info* info, const char* name);
// The image loader: type 7 tries the .bmp_swap beside path first, type 10 reads a .64k image.
int jbm_load_image(jbm_info* info, const char* path, int transparent_index, int kind, int32_t stamp, int type);

int jbm_image_type(const uint8_t* image);
int jbm_image_width(const uint8_t* image);
int jbm_image_height(const uint8_t* image);

// The image resampled to width x height with a compacted palette; the inverse table (65,536
// entries) picks the indices when given. NULL with a report.
jbm_info* jbm_resize(const jbm_info* source, int width, int height, const uint8_t* inverse);
