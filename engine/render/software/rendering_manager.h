// The rendering manager: the bound window and camera, the picture quality, and the one 16-bit
// surface the software renderer draws into and presents 1:1 or stretched.
#pragma once
#include <cstdint>

#include "render/software/direct_draw.h"
#include "render/software/draw_buffer.h"
#include "world/records.h"

struct plat_window;
struct plat_surface;

inline constexpr int default_picture_quality = 200000;

struct camera_size {
    int width, height;
};

// The camera size for a quality (target pixel count) on a W x H window (both non-zero): the
// window's aspect at about that many pixels, each side at least 1; the window's own size once the
// quality reaches its pixel count.
camera_size rendering_camera_size(int quality, int window_width, int window_height);

struct Rendering_manager {
    Rendering_manager();
    ~Rendering_manager();
    Rendering_manager(const Rendering_manager&) = delete;
    Rendering_manager& operator=(const Rendering_manager&) = delete;

    void render(plat_window* target, camera* c);
    // 0, or -1 for an empty or minimised window or a camera that refuses the size.
    int set_active_camera(plat_window* target, camera* c);
    // 0, or -1 when the new camera size could not be applied.
    int set_picture_quality(int quality);
    // -1 (with a beep) when the quality already covers the window.
    int increase_picture_quality();
    int decrease_picture_quality();
    int set_camera_quality(int quality);
    int set_camera_resolution(int width, int height);
    void bitblt_rendering();
    void set_16bit_rgb_mode();
    plat_surface* get_dib() const { return surface; }
    plat_surface* get_memory_dc() const { return surface; }
    // Engine close: frees the surface, closes the display wrapper and goes back to the initial values.
    void release();

    int window_height = -1;
    int window_width = -1;
    int dimension_changed = 0;
    int rendering_mode = 0;  // 0: presenting through the platform, the only mode
    jdirect_draw display;
    int bits_per_pixel = 16;
    int red_width = 5, green_width = 6, blue_width = 5;
    camera* cam = nullptr;
    plat_window* window = nullptr;
    plat_surface* surface = nullptr;  // its bits are the draw buffer's external memory
    draw_buffer buffer{};
    int picture_quality = default_picture_quality;
    int applied_quality = 0;      // the quality of the last rebuild
    int present_after_render = 1;  // 0: frames are drawn but not presented

private:
    // Points the draw buffer at the surface's bits with a w x h picture box: 0 or -1.
    int bind_buffer(plat_surface* target, int width, int height);
    void software_frame();
    void card_frame(plat_window* target, camera* c);
};

Rendering_manager& rendering_manager();
int& rendering_manager_report_errors();
// Records a change of the display's depth (nothing on the desktop changes); 0.
int set_display_bits_per_pixel(int bits);

namespace rendering_texts {
inline constexpr const char* quality_failed = "set_picture_quality: set_camera_resolution() failed";
inline constexpr const char* zero_size = "Rendering_manager::set_camera_quality: size.cy==0 or cx==0 !!!";
inline constexpr const char* camera_quality_failed = "set_camera_quality: set_camera_resolution() failed";
inline constexpr const char* resolution_failed = "set_camera_resolution: failed";
inline constexpr const char* picture_box_failed = "set_camera_resolution: mj_film set_picture_box() failed ()";
inline constexpr const char* picture_box_sizes = "\t\tnew_width=%d\tnew_height=%d\n";
inline constexpr const char* active_camera_failed =
    "Rendering_manager::set_active_camera: failed to set new dimension for the camera";
inline constexpr const char* no_dib = "Rendering_manager::bitblt_rendering_gdi: internal error";
inline constexpr const char* present_chunk = "BitBlt GDI";
}  // namespace rendering_texts
