// The 3D card back-end: starting and closing the card, the frame around the world's polygons, the
// render-state cache, fills, blending, fog, pre-transformed corners, textures and the sky's rectangle.
#pragma once
#include <cstdint>

#include "platform/card_device.h"
#include "render/render_backend.h"
#include "world/poly_clip.h"
#include "world/records.h"

struct plat_window;
struct plat_surface;

struct card3d_record {
    int mode;  // 3D card mode on
    int windowed;
    plat_window* window;
    int client_width, client_height;
    int device_zbuffer;  // the device was made with a depth buffer
    int target_width, target_height, target_bits;
    int blending_known, last_blending;
    int zfunc_mode;  // -1 unknown
    int alpha_blend, alpha_test;
    int fog_known;
    uint32_t fog_colour;
    int perspective;  // -1 unknown
    int stage1_disabled;
    plat_card_caps caps;
    plat_surface* frame;  // the read-back frame, shown as software frames are
    int frame_held;       // the device is held current from frame start to frame end
    int dc_taken;
    uint32_t rate_tick;
    int rate_frames;
    double rate;
};

// Settings that outlive a start of the card.
struct card3d_options {
    int keep_choice;          // start without the driver dialog, keeping the device chosen
    int hide_dialog;          // never show the driver dialog
    int allow_software;       // a failed hardware start falls back to the software device
    int reload_new_only;      // upload only the bitmaps without a card texture
};

card3d_record& card3d();
card3d_options& card3d_settings();
int& card3d_report_errors();

int card3d_init(plat_window* window);
// flags: 1 software only; driver choice 1 a secondary display; full screen stores w x h x bits.
int card3d_use_detailed(plat_window* window, int width, int height, int bits, int driver_choice, int full_screen,
                        int software_only);
int card3d_close();
// The frame's switches: on (in the card's last window, else the default one; the frame moves it
// to its own) or off (the rendering manager makes its buffers again); window mode and full screen
// restart the card without the driver dialog.
int card3d_use(plat_window* window, int on);
int card3d_set_window_mode(int reload_new_only);
int card3d_set_full_screen_mode(int width, int height);
int card3d_is_hardware_supported();
int card3d_before_each_render(plat_window* window, camera* c);
void card3d_after_render();
int card3d_set_zbuffer_pipeline(plat_window* window);
void card3d_set_fog();
void card3d_set_fill_mode_for_polygon(const polygon* p, int colour_fill, int blending);
// One corner of a polygon for the card.
struct card3d_corner {
    double x, y;    // projected, relative to the screen centre, y upward
    double depth;   // camera-space depth, negative in front
    double distance;  // from the eye, for vertex fog
    uint32_t colour;  // 0x00RRGGBB
    double tu, tv;
};
void card3d_draw_polygon(const polygon* p, const card3d_corner* corners, int count);
// The sky's rectangle: screen and texture corners as fractions of the target and the bitmap.
int card3d_draw_textured_rectangle(bitmap_texture* bitmap, double x0, double y0, double x1, double y1, double u0,
                                   double v0, double u1, double v1, int atmosphere_colour);
void card3d_load_bitmaps();
int card3d_load_a_bitmap(bitmap_texture* bitmap);
int card3d_create_bitmap_according_to_card_limitations(bitmap_texture* bitmap, bitmap_texture** copy);
// Drops what the card holds of a bitmap (its texture and container).
void card3d_release_bitmap(bitmap_texture* bitmap);
int card3d_get_width();
int card3d_get_height();
// The read-back frame (the card's device context); release gives it back.
plat_surface* card3d_get_dc();
void card3d_release_dc();
int card3d_render_on_memDC(plat_surface* destination);
// Shows the read-back frame in the card's window.
void card3d_show_frame();
// The render export's hooks into the card: switches, the back buffer and showing the frame.
struct frame_hooks card3d_frame_hooks();
void card3d_write_capability_report();

// The card's row of the back-end table.
const render_backend& render_backend_card3d();

namespace card3d_texts {
inline constexpr const char* report_file = "card3d.txt";
inline constexpr const char* rate_format = "Drovik. %7.02f fps (%dx%dx%d)";
}  // namespace card3d_texts
