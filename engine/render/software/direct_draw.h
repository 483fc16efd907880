// The display wrapper: the screen's 16-bit pixel format, its resolution and depth, and mode changes,
// over the platform display (modes are recorded there, never applied to the desktop).
#pragma once
#include <cstdint>

struct plat_window;
struct plat_surface;

int& direct_draw_report_errors();

// The last display mode set successfully; zeros until one is set.
struct direct_draw_mode {
    int width, height, bits;
};
direct_draw_mode& direct_draw_last_mode();

class jdirect_draw {
public:
    ~jdirect_draw();
    // Opens the display against a fresh hidden window; with no_secondary 0 also a width x height
    // off-screen surface. 0, or -1 after a report (and a box, the first time for this wrapper).
    int open(plat_window* window, int no_secondary, int width, int height);
    void close();
    int create_primary_surface();
    plat_surface* create_secondary_surface(int width, int height);
    // Bits per pixel and the three channel widths; a mask that is no run of bits right above the
    // previous one gives -1 for its width and those after it.
    void set_16bit_rgb_mode(int* bits, int* red_width, int* green_width, int* blue_width);
    int get_resolution(int* width, int* height, int* bits);
    int set_color_depth(int bits);
    int set_resolution(int width, int height, int bits);
    int is_open() const { return open_; }
    int failure_shown() const { return failure_shown_; }

private:
    // Opens for one call when closed: no window, a 2 x 2 secondary surface.
    bool open_for_call();
    void release();

    plat_surface* secondary_ = nullptr;
    int open_ = 0;
    int primary_width_ = 0, primary_height_ = 0;
    plat_window* hidden_window_ = nullptr;
    int failure_shown_ = 0;
};

namespace direct_draw_texts {
inline constexpr const char* open_failed = "jdirect_draw::open: coudnt init DirectDraw\n";
inline constexpr const char* open_box =
    "DirectDraw Init FAILED\nPlease set your desktop to 16BIT color depth (high color)\nOR\nInstall DirectX";
inline constexpr const char* no_primary = "jdirect_draw::create_primary_surface: could not create primary surface\n";
inline constexpr const char* primary_lock = "jdirect_draw::open failed to init DirectX (direct draw primary surface)\n";
inline constexpr const char* no_format = "jdirect_draw::set_16bit_rgb_mode: falied to retrive surface pixelformat!!!\n";
inline constexpr const char* bad_mask = "jdirect_draw::set_16bit_rgb_mode: bad mask!!!\n";
}  // namespace direct_draw_texts
