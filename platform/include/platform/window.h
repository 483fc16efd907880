// Windows of three kinds: SDL windows, headless memory windows and host windows fed through a callback.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct plat_window;

enum plat_window_kind {
    PLAT_WINDOW_SDL = 1,     // a real window when a display exists, otherwise behaves as memory
    PLAT_WINDOW_MEMORY = 2,  // headless; keeps the last presented frame
    PLAT_WINDOW_HOST = 3     // frames are handed to the host's callback (any thread)
};

// Called with a full client-sized RGB565 frame after every present; pitch is in pixels.
typedef void (*plat_frame_callback)(void* user, const uint16_t* pixels, int width, int height,
                                    int pitch_pixels);

// x or y equal to this lets the system place the window.
constexpr int PLAT_DEFAULT_POSITION = INT32_MIN;

// Sizes run from 0 to 16384 pixels; anything else gives nullptr.
plat_window* plat_window_create_sdl(const char* title, int x, int y, int width, int height,
                                    bool visible);
// C linkage: programs in plain C make memory windows and read their frames (declared in drovik.h).
extern "C" plat_window* plat_window_create_memory(int width, int height);
plat_window* plat_window_create_host(int width, int height, plat_frame_callback callback,
                                     void* user);
extern "C" void plat_window_destroy(plat_window* window);

// Every call below accepts a stale handle and then does nothing (or returns 0, "", false).
// Destroying a window waits for calls still working on it.
// True only for a live window; never dereferences the handle.
bool plat_is_window(const void* handle);
plat_window_kind plat_window_kind_of(const plat_window* window);

extern "C" void plat_window_client_size(const plat_window* window, int* width, int* height);
void plat_window_set_client_size(plat_window* window, int width, int height);
// Puts the window's top-left corner at (x, y) on the screen.
void plat_window_move(plat_window* window, int x, int y);
// The window's place on the screen; false while the system still chooses it.
bool plat_window_position(const plat_window* window, int* x, int* y);
void plat_window_set_title(plat_window* window, const char* title);
std::string plat_window_title(const plat_window* window);

void plat_window_show(plat_window* window);
void plat_window_hide(plat_window* window);
extern "C" void plat_window_minimize(plat_window* window);
void plat_window_maximize(plat_window* window);
extern "C" void plat_window_restore(plat_window* window);
bool plat_window_is_visible(const plat_window* window);
bool plat_window_is_minimized(const plat_window* window);

// The window's current client frame (RGB565, client width x height, pitch = width).
std::vector<uint16_t> plat_window_frame(const plat_window* window);
extern "C" uint16_t plat_window_pixel(const plat_window* window, int x, int y);

// Handles SDL events (key state, close requests, size changes) and brings real windows up to
// date with frames presented from other threads. Does nothing except on the thread that
// created the first real window.
void plat_pump_events();
bool plat_window_close_requested(const plat_window* window);

// True when real windows can be shown (a display is present and not disabled for tests).
bool plat_display_available();
