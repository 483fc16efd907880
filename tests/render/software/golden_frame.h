// Golden frames: a frame written as binary PPM (P6, maxval 255) by the tests' own writer and
// compared byte for byte with tests/data/render. DROVIK_UPDATE_GOLDEN=1 rewrites the files; a
// mismatching frame is kept in the build tree under golden_mismatch/.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "world/colour.h"

inline std::string ppm_of(const uint16_t* pixels, int width, int height, int pitch) {
    std::string out = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int r, g, b;
            pixel_to_rgb(pixels[y * pitch + x], &r, &g, &b);
            out += static_cast<char>(r);
            out += static_cast<char>(g);
            out += static_cast<char>(b);
        }
    }
    return out;
}

inline void write_file(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Compares the frame with the golden file of that name.
inline void expect_golden_frame(const std::string& name, const uint16_t* pixels, int width, int height, int pitch) {
    const std::string frame = ppm_of(pixels, width, height, pitch);
    const std::filesystem::path golden = std::filesystem::path(DROVIK_TEST_DATA) / "render" / name;
    const char* update = std::getenv("DROVIK_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") write_file(golden, frame);
    std::ifstream in(golden, std::ios::binary);
    const std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (expected == frame) return;
    const std::filesystem::path kept = std::filesystem::path(DROVIK_TEST_BINARY_DIR) / "golden_mismatch" / name;
    write_file(kept, frame);
    ADD_FAILURE() << name << " differs from its golden frame; this frame is kept in " << kept.string();
}
