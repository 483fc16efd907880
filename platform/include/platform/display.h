// The display as the engine sees it: 16-bit 5-6-5, depth switches recorded, desktop untouched.
#pragma once
#include <cstdint>
#include <vector>

struct plat_pixel_format {
    int bits;
    uint32_t red_mask;
    uint32_t green_mask;
    uint32_t blue_mask;
};

struct plat_display_mode {
    int width;
    int height;
    int bits;
};

plat_pixel_format plat_display_pixel_format();
int plat_display_depth();
// The display starts at 16 bits, 1024 x 768 (a set mode's size while it lasts).
// Succeeds for 8, 15, 16, 24 and 32 bits and is recorded; the reported depth follows it.
bool plat_display_set_depth(int bits);
std::vector<int> plat_display_depth_requests();
void plat_display_size(int* width, int* height);
std::vector<plat_display_mode> plat_display_modes();
// Full-screen mode requests: recorded, nothing changes on the real desktop.
bool plat_display_set_mode(int width, int height, int bits);
bool plat_display_restore_mode();
std::vector<plat_display_mode> plat_display_mode_requests();
// Whether the display service opens; false only while a test makes it fail.
bool plat_display_open();
// Tests: a pixel format reported in place of the depth's own (nullptr goes back to it), and a
// display that fails to open. The reset clears both.
void plat_display_override_for_tests(const plat_pixel_format* format, bool fail_open);
void plat_display_reset_for_tests();
