// Synthesised pictures for the demo data: a small RGB canvas saved as a 24-bit Windows bitmap.
#include "bitmap_writer.h"

#include <cstdio>
#include <filesystem>

#include "platform/safe_write.h"

namespace {

void put16(std::vector<unsigned char>& b, uint16_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

void put32(std::vector<unsigned char>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

}  // namespace

DemoCanvas::DemoCanvas(int width, int height, DemoRgb fill)
    : width_(width), height_(height), pixels_(size_t(width) * size_t(height), fill)
{
}

void DemoCanvas::Put(int x, int y, DemoRgb c)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[size_t(y) * size_t(width_) + size_t(x)] = c;
}

void DemoCanvas::FillRect(int x0, int y0, int x1, int y1, DemoRgb c)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) Put(x, y, c);
}

void DemoCanvas::FrameRect(int x0, int y0, int x1, int y1, DemoRgb c)
{
    for (int x = x0; x <= x1; ++x) {
        Put(x, y0, c);
        Put(x, y1, c);
    }
    for (int y = y0; y <= y1; ++y) {
        Put(x0, y, c);
        Put(x1, y, c);
    }
}

void DemoCanvas::FillCircle(int cx, int cy, int radius, DemoRgb c)
{
    for (int y = -radius; y <= radius; ++y)
        for (int x = -radius; x <= radius; ++x)
            if (x * x + y * y <= radius * radius) Put(cx + x, cy + y, c);
}

std::vector<unsigned char> DemoCanvas::BmpBytes() const
{
    const uint32_t row = (uint32_t(width_) * 3 + 3) & ~3u;
    const uint32_t image_size = row * uint32_t(height_);
    std::vector<unsigned char> b;
    b.reserve(54 + image_size);
    b.push_back('B');
    b.push_back('M');
    put32(b, 54 + image_size);  // file size
    put32(b, 0);                // reserved
    put32(b, 54);               // offset of the pixels
    put32(b, 40);               // info header size
    put32(b, uint32_t(width_));
    put32(b, uint32_t(height_));  // positive: rows bottom-up
    put16(b, 1);                  // planes
    put16(b, 24);                 // bits per pixel
    put32(b, 0);                  // no compression
    put32(b, image_size);
    put32(b, 2835);  // 72 dpi
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    for (int y = height_ - 1; y >= 0; --y) {
        for (int x = 0; x < width_; ++x) {
            const DemoRgb& p = pixels_[size_t(y) * size_t(width_) + size_t(x)];
            b.push_back(p.b);
            b.push_back(p.g);
            b.push_back(p.r);
        }
        for (uint32_t pad = uint32_t(width_) * 3; pad < row; ++pad) b.push_back(0);
    }
    return b;
}

namespace {

bool write_file(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (ec) return false;
    return plat_write_file(path, bytes.data(), bytes.size()) == PLAT_WRITE_OK;
}

}  // namespace

namespace {

bool rewrite_existing = false;

}  // namespace

void DemoSetRewrite(bool rewrite)
{
    rewrite_existing = rewrite;
}

bool DemoKeeps(const std::string& path)
{
    std::error_code ec;
    return !rewrite_existing && std::filesystem::exists(path, ec);
}

bool DemoWriteFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    if (DemoKeeps(path)) return true;
    if (write_file(path, bytes)) return true;
    std::fprintf(stderr, "make_demo_data: cannot write %s\n", path.c_str());
    return false;
}
