// The demo world's bitmaps, written with the engine's own image writers: 8- and 24-bit BMPs and
// JPEGs; tree and palm stand on the key colour that the world makes transparent.
#include "demo_world_bitmaps.h"
#include "bitmap_writer.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "foundation/memory.h"
#include "render/images/jpeg_convert.h"
#include "render/images/winbmp.h"

namespace fs = std::filesystem;

namespace {

struct Rgb {
    int r, g, b;
};

// The key colour of the transparent bitmaps.
constexpr Rgb key{255, 0, 255};

enum class Kind { bmp8, bmp24, jpeg };

using Painter = std::function<Rgb(int x, int y)>;  // y = 0 is the top row

// A little noise that repeats with the picture, so the textures tile.
int grain(int x, int y, int amount)
{
    const uint32_t h = (static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u) * 2246822519u;
    return static_cast<int>(h >> 24) % (2 * amount + 1) - amount;
}

int clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

bool write_bitmap(const fs::path& folder, const char* name, int width, int height, Kind kind, const Painter& paint)
{
    const char* extension = kind == Kind::jpeg ? ".jpg" : ".bmp";
    if (DemoKeeps((folder / (std::string(name) + extension)).string())) return true;
    uint8_t* image = winbmp_init_bitmap(width, height, 24);
    if (!image) return false;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = paint(x, y);
            winbmp_set_pixel(image, x, height - 1 - y, clamp255(c.r), clamp255(c.g), clamp255(c.b));
        }
    }
    if (kind == Kind::bmp8) {
        uint8_t* reduced = winbmp_convert_24bit_to_8bit(image);
        engine_free(image);
        if (!reduced) return false;
        image = reduced;
    }
    const std::string bmp = (folder / (std::string(name) + ".bmp")).string();
    bool ok = winbmp_save_to_file(bmp.c_str(), image) == 0;
    engine_free(image);
    if (ok && kind == Kind::jpeg) {
        ok = bmp2jpg(bmp.c_str()) == 0;
        std::error_code ec;
        fs::remove(bmp, ec);
    }
    if (!ok) std::fprintf(stderr, "make_demo_data: cannot write the bitmap %s\n", bmp.c_str());
    return ok;
}

Rgb track(int x, int y)
{
    const int stone = 120 + grain(x, y, 18);
    Rgb c{stone, stone - 4, stone - 10};
    if (y % 16 < 4) c = {96 + grain(x, y, 6), 64, 40};  // sleepers
    if ((x >= 14 && x < 18) || (x >= 46 && x < 50)) c = {170, 170, 176};  // rails
    return c;
}

Rgb tree(int x, int y)
{
    const double dx = x - 31.5, dy = y - 44;
    if (dx * dx + dy * dy < 28 * 28) return {30 + grain(x, y, 12), 110 + grain(x, y, 30), 30};
    if (y >= 70 && x >= 27 && x < 37) return {100, 64 + grain(x, y, 8), 30};
    return key;
}

Rgb palm(int x, int y)
{
    const double dx = x - 31.5, dy = y - 24;
    const double angle = std::atan2(dy, dx), radius = std::sqrt(dx * dx + dy * dy);
    if (radius < 30 && std::fabs(std::sin(angle * 4)) > 0.6) return {40, 140 + grain(x, y, 25), 40};
    if (y >= 24 && std::abs(x - 32 - (y - 24) / 12) < 4) return {140, 110 + grain(x, y, 10), 60};
    return key;
}

Rgb house(int x, int y)
{
    if (y < 20) return {150, 40 + grain(x, y, 10), 30};  // roof
    Rgb c{200 + grain(x, y, 10), 190, 160};
    if ((x % 32 >= 8 && x % 32 < 22 && y >= 28 && y < 44)) c = {60, 90, 140};  // windows
    if (x >= 56 && x < 72 && y >= 40) c = {90, 60, 30};                         // door
    return c;
}

Rgb grass(int x, int y) { return {60 + grain(x, y, 15), 140 + grain(x, y, 35), 40 + grain(x, y, 10)}; }

Rgb ground(int x, int y)
{
    const int patch = static_cast<int>(12 * std::sin(x * 0.098) * std::cos(y * 0.049));
    return {110 + patch + grain(x, y, 12), 95 + patch + grain(x, y, 10), 60 + grain(x, y, 8)};
}

Rgb sky(int x, int y)
{
    // Deep blue at the top to pale at the horizon, with soft clouds that wrap around.
    const double t = y / 255.0;
    Rgb c{static_cast<int>(70 + 130 * t), static_cast<int>(110 + 110 * t), static_cast<int>(200 + 45 * t)};
    const double cloud = std::sin(x * 2 * 3.14159265 / 1024 * 5) * std::sin(y * 0.05 + x * 0.01);
    if (cloud > 0.55 && y < 180) c = {235, 235, 240};
    return c;
}

}  // namespace

bool WriteDemoWorldBitmaps(const std::string& root)
{
    const fs::path folder = fs::path(root) / "world" / "bitmaps";
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        std::fprintf(stderr, "make_demo_data: %s: %s\n", folder.string().c_str(), ec.message().c_str());
        return false;
    }
    bool ok = true;
    ok &= write_bitmap(folder, "track", 64, 64, Kind::bmp24, track);
    ok &= write_bitmap(folder, "tree", 64, 128, Kind::bmp8, tree);
    ok &= write_bitmap(folder, "palm", 64, 128, Kind::bmp8, palm);
    ok &= write_bitmap(folder, "house", 128, 64, Kind::bmp24, house);
    ok &= write_bitmap(folder, "grass", 64, 64, Kind::jpeg, grass);
    ok &= write_bitmap(folder, "ground", 128, 128, Kind::jpeg, ground);
    ok &= write_bitmap(folder, "sky", 1024, 256, Kind::bmp8, sky);
    return ok;
}
