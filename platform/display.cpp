// The display as reported to the engine: depth and mode changes are recorded, never applied.
#include "platform/display.h"

#include <mutex>

namespace {

constexpr int start_depth = 16;
constexpr int headless_width = 1024;
constexpr int headless_height = 768;

std::mutex display_mutex;
int depth = start_depth;
int depth_before_mode = 0;  // 0 while no mode is set
plat_display_mode current_mode = {0, 0, 0};
std::vector<int> depth_requests;
std::vector<plat_display_mode> mode_requests;
bool format_overridden = false;
plat_pixel_format format_override = {0, 0, 0, 0};
bool open_fails = false;

}  // namespace

plat_pixel_format plat_display_pixel_format()
{
    std::lock_guard<std::mutex> guard(display_mutex);
    if (format_overridden)
        return format_override;
    switch (depth) {
    case 15: return {15, 0x7C00, 0x03E0, 0x001F};
    case 16: return {16, 0xF800, 0x07E0, 0x001F};
    case 24:
    case 32: return {depth, 0xFF0000, 0x00FF00, 0x0000FF};
    default: return {depth, 0, 0, 0};
    }
}

int plat_display_depth()
{
    std::lock_guard<std::mutex> guard(display_mutex);
    return depth;
}

bool plat_display_set_depth(int bits)
{
    std::lock_guard<std::mutex> guard(display_mutex);
    depth_requests.push_back(bits);
    if (bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32)
        return false;
    depth = bits;
    return true;
}

std::vector<int> plat_display_depth_requests()
{
    std::lock_guard<std::mutex> guard(display_mutex);
    return depth_requests;
}

void plat_display_size(int* width, int* height)
{
    std::lock_guard<std::mutex> guard(display_mutex);
    bool mode_set = current_mode.width > 0;
    if (width)
        *width = mode_set ? current_mode.width : headless_width;
    if (height)
        *height = mode_set ? current_mode.height : headless_height;
}

std::vector<plat_display_mode> plat_display_modes()
{
    static const int sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
    std::vector<plat_display_mode> modes;
    for (int bits : {16, 32})
        for (const auto& size : sizes)
            modes.push_back({size[0], size[1], bits});
    return modes;
}

bool plat_display_set_mode(int width, int height, int bits)
{
    std::lock_guard<std::mutex> guard(display_mutex);
    mode_requests.push_back({width, height, bits});
    if (width <= 0 || height <= 0 ||
        (bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32))
        return false;
    if (current_mode.width == 0)
        depth_before_mode = depth;
    current_mode = {width, height, bits};
    depth = bits;
    return true;
}

bool plat_display_restore_mode()
{
    std::lock_guard<std::mutex> guard(display_mutex);
    if (current_mode.width != 0)
        depth = depth_before_mode;
    current_mode = {0, 0, 0};
    return true;
}

std::vector<plat_display_mode> plat_display_mode_requests()
{
    std::lock_guard<std::mutex> guard(display_mutex);
    return mode_requests;
}

bool plat_display_open()
{
    std::lock_guard<std::mutex> guard(display_mutex);
    return !open_fails;
}

void plat_display_override_for_tests(const plat_pixel_format* format, bool fail_open)
{
    std::lock_guard<std::mutex> guard(display_mutex);
    format_overridden = format != nullptr;
    if (format)
        format_override = *format;
    open_fails = fail_open;
}

void plat_display_reset_for_tests()
{
    std::lock_guard<std::mutex> guard(display_mutex);
    format_overridden = false;
    open_fails = false;
    depth = start_depth;
    depth_before_mode = 0;
    current_mode = {0, 0, 0};
    depth_requests.clear();
    mode_requests.clear();
}
