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

// Whether the generator rewrites what exists already. Off by default: every file (and INI
// key) the user changed or added in the demo folder stays, and only missing ones are written.
void DemoSetRewrite(bool rewrite);
// True when path exists and is to be left as it is.
bool DemoKeeps(const std::string& path);

// Creates path's folders, writes bytes to a temp file beside path and renames it over path;
// false, with a line on stderr naming path, on any failure. A kept file is left alone (true).
bool DemoWriteFile(const std::string& path, const std::vector<unsigned char>& bytes);
