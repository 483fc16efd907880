// Shared internals of the platform library: the window record and cross-module helpers.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/window.h"

struct SDL_Window;

struct plat_window {
    std::mutex mutex;
    plat_window_kind kind;
    int width = 0;
    int height = 0;
    int x = PLAT_DEFAULT_POSITION;  // the last place asked for
    int y = PLAT_DEFAULT_POSITION;
    bool move_pending = false;
    std::string title;
    bool visible = false;
    bool minimized = false;
    bool maximized = false;
    bool close_requested = false;
    std::vector<uint16_t> frame;  // width x height, pitch = width
    plat_frame_callback callback = nullptr;
    void* user = nullptr;
    SDL_Window* sdl = nullptr;    // null for headless windows
    uint32_t sdl_id = 0;
    std::thread::id owner;        // thread that created the SDL window
    bool sdl_frame_dirty = false; // frame waiting for the owner thread
    bool sdl_state_dirty = false; // title, size or show state waiting for the owner thread
};

// Locks a live window (the registry is checked first); false for a stale handle.
bool plat_window_lock_live(const plat_window* window, std::unique_lock<std::mutex>& lock);
// After a present changed the frame: hands it to the host or the real window. Unlocks.
void plat_window_frame_changed(plat_window* window, std::unique_lock<std::mutex>& lock);

// The Windows virtual-key code of an SDL key code; 0 when there is none.
int plat_vk_from_sdl(int32_t sdl_key);
// Marks every key up (the key-up events go elsewhere once the window loses focus).
void plat_keys_release_all();
// Starts SDL video once; false when no display is available or SDL fails.
bool plat_sdl_video_ready();
