// Synthesised pictures for the demo data: a small RGB canvas saved as a 24-bit Windows bitmap.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct DemoRgb {
    uint8_t r, g, b;
};

class DemoCanvas {
public:
    DemoCanvas(int width, int height, DemoRgb fill);
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Put(int x, int y, DemoRgb c);
    // Corners inclusive; clipped to the canvas.
    void FillRect(int x0, int y0, int x1, int y1, DemoRgb c);
    void FrameRect(int x0, int y0, int x1, int y1, DemoRgb c);
    void FillCircle(int cx, int cy, int radius, DemoRgb c);
    // The 24-bit bitmap file: headers, then rows bottom-up padded to 4 bytes.
    std::vector<unsigned char> BmpBytes() const;

private:
    int width_, height_;
    std::vector<DemoRgb> pixels_;
};

// Creates path's folders, writes bytes to a temp file beside path and renames it over path;
// false, with a line on stderr naming path, on any failure.
bool DemoWriteFile(const std::string& path, const std::vector<unsigned char>& bytes);
