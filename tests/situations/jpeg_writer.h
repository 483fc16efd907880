// Writes small RGB JPEG fixtures with libjpeg's compressor, for the picture tests.
#pragma once
#include <cstdio>
#include <jpeglib.h>
#include <string>
#include <vector>

namespace jpeg_test {

// rgb holds width x height pixels, three bytes each, rows top-down.
inline bool WriteJpeg(const std::string& path, int width, int height,
                      const std::vector<unsigned char>& rgb, int quality = 95)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(&rgb[size_t(info.next_scanline) * width * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

// A picture of four flat quadrants: red, green, blue, white.
inline std::vector<unsigned char> Quadrants(int width, int height)
{
    std::vector<unsigned char> rgb(size_t(width) * height * 3);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            const int q = (y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0);
            static const unsigned char colours[4][3] = {
                {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
            for (int c = 0; c < 3; c++)
                rgb[(size_t(y) * width + x) * 3 + c] = colours[q][c];
        }
    return rgb;
}

}  // namespace jpeg_test
