// Writes the seed files of the bitmap fuzz targets with the engine's own writers:
//   bitmap_seeds <folder>   makes <folder>/{bmp,bmp_surface,jbm,jbm_file,bmp_swap,jpeg,jbm64k}/...
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/memory.h"
#include "render/images/jbm.h"
#include "render/images/jbm_files.h"
#include "render/images/jpeg_convert.h"
#include "render/images/winbmp.h"

namespace fs = std::filesystem;

namespace {

bool write(const fs::path& path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.string().c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}

uint8_t* picture(int width, int height, int bits) {
    uint8_t* image = winbmp_init_bitmap(width, height, bits);
    if (bits == 8) {
        const rgb8 palette[4] = {{200, 40, 16}, {8, 252, 96}, {64, 64, 248}, {0, 0, 0}};
        winbmp_set_palette(image, palette, 4);
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) winbmp_set_pixel(image, x, y, 40 * x % 256, 30 * y % 256, (x ^ y) * 16 % 256);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const fs::path root = argv[1];
    for (const char* kind : {"bmp", "bmp_surface", "jbm", "jbm_file", "bmp_swap", "jpeg", "jpeg_full", "jbm64k"})
        fs::create_directories(root / kind);
    bool ok = true;
    std::vector<uint8_t> jpeg;
    for (int bits : {8, 24}) {
        uint8_t* image = picture(5, 3, bits);
        const auto size = static_cast<size_t>(winbmp_get_file_size(image));
        ok &= write(root / "bmp" / ("small" + std::to_string(bits) + ".bmp"), image, size);
        ok &= write(root / "bmp_surface" / ("small" + std::to_string(bits) + ".bmp"), image, size);
        jbm_file_pair pair;
        ok &= bmp_to_jbm(image, size, "seed.bmp", nullptr, &pair) == 0;
        std::vector<uint8_t> both = {static_cast<uint8_t>(pair.jbm.size()), static_cast<uint8_t>(pair.jbm.size() >> 8),
                                     static_cast<uint8_t>(bits == 8 ? 1 : 0xFF)};
        both.insert(both.end(), pair.jbm.begin(), pair.jbm.end());
        both.insert(both.end(), pair.clr.begin(), pair.clr.end());
        ok &= write(root / "jbm" / ("small" + std::to_string(bits) + ".jbmclr"), both.data(), both.size());
        ok &= write(root / "jbm_file" / ("small" + std::to_string(bits) + ".jbmclr"), both.data(), both.size());
        jbm_info info;
        jbm_info_init(&info);
        ok &= jbm_from_memory(&info, pair.jbm.data(), pair.jbm.size(), pair.clr.data(), pair.clr.size(), -1) == 0 &&
              set_jbm_info_name(&info, "SEED") == 0;
        const std::vector<uint8_t> swap = jbm_swap_image(&info, 1);
        ok &= write(root / "bmp_swap" / ("small" + std::to_string(bits) + ".bmp_swap"), swap.data(), swap.size());
        jbm_info_free(&info);
        ok &= winbmp_to_jpeg(image, &jpeg) == 0 &&
              write(root / "jpeg" / ("small" + std::to_string(bits) + ".jpg"), jpeg.data(), jpeg.size()) &&
              write(root / "jpeg_full" / ("small" + std::to_string(bits) + ".jpg"), jpeg.data(), jpeg.size());
        engine_free(image);
    }
    // A smooth picture above the megapixel the plain JPEG target stops at.
    uint8_t* large = winbmp_init_bitmap(1280, 1024, 24);
    for (int y = 0; large && y < 1024; ++y)
        for (int x = 0; x < 1280; ++x) winbmp_set_pixel(large, x, y, x / 5, y / 4, 90);
    ok &= large && winbmp_to_jpeg(large, &jpeg) == 0 &&
          write(root / "jpeg_full" / "large.jpg", jpeg.data(), jpeg.size());
    engine_free(large);
    // Odd sizes (rows padded, one pixel wide or high) and large ones, under the fuzzer's length limit.
    const struct {
        int width, height, bits;
    } sizes[] = {{1, 1, 8}, {1, 1, 24}, {3, 5, 24}, {7, 1, 8}, {1, 301, 24}, {301, 1, 8},
                 {199, 101, 8}, {123, 67, 24}, {2049, 3, 24}, {252, 255, 8}};
    for (const auto& s : sizes) {
        uint8_t* image = picture(s.width, s.height, s.bits);
        const auto size = static_cast<size_t>(winbmp_get_file_size(image));
        const std::string name =
            std::to_string(s.width) + "x" + std::to_string(s.height) + "_" + std::to_string(s.bits) + ".bmp";
        ok &= write(root / "bmp" / name, image, size) && write(root / "bmp_surface" / name, image, size);
        engine_free(image);
    }
    // A 2 x 2 image of 16-bit pixels after its type, width, height and two spare bytes.
    const uint8_t image64k[] = {jbm_16bit_type, 0, 2, 0, 2, 0, 0, 0, 0x1F, 0, 0xE0, 0x07, 0, 0xF8, 0xFF, 0xFF};
    ok &= write(root / "jbm64k" / "small.64k", image64k, sizeof image64k);
    return ok ? 0 : 1;
}
