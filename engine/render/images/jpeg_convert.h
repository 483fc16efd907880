// JPEG files to 8-bit Windows bitmaps and back, through libjpeg, with the engine's error handling.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The most pixels a JPEG may declare; larger ones are refused before decoding.
inline constexpr int64_t jpeg_max_pixels = 4096 * 4096;

// Decodes a JPEG file image to an 8-bit, 256-colour bitmap image without smoothing; images of more
// than max_pixels pixels (0: jpeg_max_pixels, never more) are refused. NULL after a report and a
// "JPEG Error" box.
uint8_t* jpeg_to_winbmp(const uint8_t* data, size_t size, int64_t max_pixels);
// Encodes a bitmap image (8 or 24 bits) at quality 75 with the float DCT and optimised coding.
int winbmp_to_jpeg(const uint8_t* image, std::vector<uint8_t>* out);
// path must end in "jpg" (any case); writes the path ending in "bmp". 0 or -1.
int jpg2bmp(const char* path);
// path must end in "bmp" (any case); writes the path ending in "jpg". 0 or -1.
int bmp2jpg(const char* path);

namespace jpeg_texts {
inline constexpr const char* too_large =
    "jpeg_to_winbmp: the JPEG declares %u x %u pixels, more than the %lld allowed\n";
}  // namespace jpeg_texts
