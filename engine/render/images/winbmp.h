// Windows bitmaps held whole in memory: a BMP file image with a 40-byte info header, the palette
// at offset 54 (8-bit images) and the rows bottom-up, each padded to 4 bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "world/records.h"

int& winbmp_report_errors();

// unsupported: a well-formed bitmap of a form the engine does not read (other depths, compression,
// OS/2 headers).
enum class winbmp_status { ok, unreadable, bad_format, truncated, unsupported };

// Checks a BMP file image of any Windows info-header size, rows bottom-up or top-down, and makes the
// engine's form of it (bottom-up); the bits-and-compression value is left in *format for the
// caller's report. NULL with a status other than ok.
uint8_t* winbmp_from_memory(const uint8_t* data, size_t size, winbmp_status* status, uint32_t* format);
// The palette entries of an 8-bit file: its count of used colours when 1 to 256, else as many as
// the room before the pixels holds, at most 256; 0 when the count does not fit the room.
int winbmp_palette_entries(uint32_t used, uint64_t room);
// The file's depth and compression in words, for refusals: "4 bits per pixel with RLE4 compression".
std::string winbmp_describe_form(const uint8_t* data, size_t size);

int winbmp_get_number_of_colors_in_palette(const uint8_t* image);
int winbmp_get_width(const uint8_t* image);
int winbmp_get_height(const uint8_t* image);
int winbmp_get_bits_per_pixel(const uint8_t* image);
int winbmp_get_bytes_per_row(const uint8_t* image);
int winbmp_get_file_size(const uint8_t* image);
int winbmp_get_data_offset(const uint8_t* image);
int winbmp_get_pixel(const uint8_t* image, int x, int y, int* r, int* g, int* b);
int winbmp_set_pixel(uint8_t* image, int x, int y, int r, int g, int b);
// A zeroed image of 8 (room for 256 palette entries) or 24 bits; NULL with a report.
uint8_t* winbmp_init_bitmap(int width, int height, int bits);
// Copies count red-first entries into an 8-bit image's palette; 0 or -1.
int winbmp_set_palette(uint8_t* image, const rgb8* palette, int count);
// Fills 256 red-first entries (zeros past the image's own); the entry count, or -1.
int winbmp_get_palette(const uint8_t* image, rgb8* palette);
uint8_t* winbmp_create_resampled(const uint8_t* image, int width, int height);
uint8_t* winbmp_convert_8bit_to_24bit(const uint8_t* image);
// Reduces to the 256 most frequent 5-6-5 colours; a new image or NULL.
uint8_t* winbmp_convert_24bit_to_8bit(const uint8_t* image);
int winbmp_save_to_file(const char* path, const uint8_t* image);
// The colour of a grey level between the picture's lowest and highest grey, interpolated along the map
// (red-first entries); 0 or -1.
int transform_gray_to_map_colors(int grey, int highest, int lowest, const rgb8* map, int entries, rgb8* out);
// Colours a 24-bit grey picture in place through the map (NULL: five entries from dark green to white);
// a picture of one grey level takes the map's first colour. 0 or -1.
int winbmp_gray2colors(uint8_t* image, const rgb8* map, int entries);
