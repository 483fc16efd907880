// Windows: real SDL windows, headless memory windows and host windows, with a live-window registry.
#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

#include "internal.h"
#include "platform/keys.h"

namespace {

constexpr int max_window_side = 16384;

std::mutex registry_mutex;
std::unordered_set<const void*>& registry()
{
    static std::unordered_set<const void*> live;
    return live;
}

bool valid_size(int width, int height)
{
    return width >= 0 && height >= 0 && width <= max_window_side && height <= max_window_side;
}

// Resizes the frame keeping the overlapping part; new pixels are black.
void resize_frame(plat_window* w, int width, int height)
{
    std::vector<uint16_t> frame(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    int rows = std::min(height, w->height);
    int cols = std::min(width, w->width);
    for (int y = 0; y < rows; ++y)
        std::copy_n(w->frame.begin() + static_cast<ptrdiff_t>(y) * w->width, cols,
                    frame.begin() + static_cast<ptrdiff_t>(y) * width);
    w->frame.swap(frame);
    w->width = width;
    w->height = height;
}

plat_window* register_window(plat_window* w)
{
    std::lock_guard<std::mutex> guard(registry_mutex);
    registry().insert(w);
    return w;
}

bool on_owner_thread(const plat_window* w)
{
    return w->sdl && w->owner == std::this_thread::get_id();
}

// Copies the frame onto the real window; window locked, owner thread.
void sdl_show_frame(plat_window* w)
{
    w->sdl_frame_dirty = false;
    if (w->width <= 0 || w->height <= 0)
        return;
    SDL_Surface* target = SDL_GetWindowSurface(w->sdl);
    if (!target)
        return;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        w->frame.data(), w->width, w->height, 16, w->width * 2, SDL_PIXELFORMAT_RGB565);
    if (!source)
        return;
    SDL_BlitSurface(source, nullptr, target, nullptr);
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurface(w->sdl);
}

// Applies title, size and show state to the real window; window locked, owner thread.
void sdl_apply_state(plat_window* w)
{
    w->sdl_state_dirty = false;
    SDL_SetWindowTitle(w->sdl, w->title.c_str());
    int cur_w = 0;
    int cur_h = 0;
    SDL_GetWindowSize(w->sdl, &cur_w, &cur_h);
    if (!w->maximized && (cur_w != std::max(1, w->width) || cur_h != std::max(1, w->height)))
        SDL_SetWindowSize(w->sdl, std::max(1, w->width), std::max(1, w->height));
    if (w->move_pending)
        SDL_SetWindowPosition(w->sdl, w->x, w->y);
    w->move_pending = false;
    if (!w->visible) {
        SDL_HideWindow(w->sdl);
        return;
    }
    SDL_ShowWindow(w->sdl);
    if (w->minimized)
        SDL_MinimizeWindow(w->sdl);
    else if (w->maximized)
        SDL_MaximizeWindow(w->sdl);
    else
        SDL_RestoreWindow(w->sdl);
}

// Marks the state changed and applies it at once when on the owner thread.
void state_changed(plat_window* w)
{
    if (!w->sdl)
        return;
    w->sdl_state_dirty = true;
    if (on_owner_thread(w))
        sdl_apply_state(w);
}

// Runs f on the locked window when the handle is live.
template <typename F>
void with_window(const plat_window* window, F f)
{
    std::unique_lock<std::mutex> lock;
    if (plat_window_lock_live(window, lock))
        f(const_cast<plat_window*>(window));
}

plat_window* find_by_sdl_id(uint32_t id)
{
    for (const void* p : registry()) {
        auto* w = static_cast<plat_window*>(const_cast<void*>(p));
        if (w->sdl_id == id && w->sdl)
            return w;
    }
    return nullptr;
}

void handle_window_event(const SDL_WindowEvent& e)
{
    std::lock_guard<std::mutex> guard(registry_mutex);
    plat_window* w = find_by_sdl_id(e.windowID);
    if (!w)
        return;
    std::lock_guard<std::mutex> window_guard(w->mutex);
    switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE: w->close_requested = true; break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        if (valid_size(e.data1, e.data2))
            resize_frame(w, e.data1, e.data2);
        w->sdl_frame_dirty = true;
        break;
    case SDL_WINDOWEVENT_MINIMIZED: w->minimized = true; break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        w->maximized = true;
        w->minimized = false;
        break;
    case SDL_WINDOWEVENT_RESTORED:
        w->minimized = false;
        w->maximized = false;
        break;
    case SDL_WINDOWEVENT_SHOWN: w->visible = true; break;
    case SDL_WINDOWEVENT_HIDDEN: w->visible = false; break;
    case SDL_WINDOWEVENT_EXPOSED: w->sdl_frame_dirty = true; break;
    case SDL_WINDOWEVENT_FOCUS_LOST: plat_keys_release_all(); break;
    default: break;
    }
}

void handle_key_event(const SDL_KeyboardEvent& e)
{
    int vk = plat_vk_from_sdl(e.keysym.sym);
    if (vk != 0)
        plat_key_event(vk, e.type == SDL_KEYDOWN);
}

// Brings the real windows owned by this thread up to date.
void sync_owned_windows()
{
    std::lock_guard<std::mutex> guard(registry_mutex);
    for (const void* p : registry()) {
        auto* w = static_cast<plat_window*>(const_cast<void*>(p));
        std::lock_guard<std::mutex> window_guard(w->mutex);
        if (!on_owner_thread(w))
            continue;
        if (w->sdl_state_dirty)
            sdl_apply_state(w);
        if (w->sdl_frame_dirty)
            sdl_show_frame(w);
    }
}

}  // namespace

bool plat_display_available()
{
    const char* display = std::getenv("DISPLAY");
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (!display || !*display)
        return false;
    return !driver || (std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0);
}

namespace {

std::mutex sdl_init_mutex;
int sdl_state = 0;  // 0 not tried, 1 ready, -1 failed
std::thread::id sdl_thread;

// True on the thread that started SDL video, once it has.
bool on_sdl_thread()
{
    std::lock_guard<std::mutex> guard(sdl_init_mutex);
    return sdl_state == 1 && sdl_thread == std::this_thread::get_id();
}

}  // namespace

bool plat_sdl_video_ready()
{
    std::lock_guard<std::mutex> guard(sdl_init_mutex);
    if (sdl_state == 0) {
        sdl_state = -1;
        // Ctrl+C and kill must still end the program, not become an SDL quit event.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // Window pictures go to the X server as plain images: a GL texture behind them would
        // make a GLX context current on the caller's thread, which the 3D card's context and
        // the X server do not always allow.
        SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_OVERRIDE);
        if (plat_display_available() && SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            sdl_state = 1;
            sdl_thread = std::this_thread::get_id();
        }
    }
    return sdl_state == 1;
}

bool plat_window_lock_live(const plat_window* window, std::unique_lock<std::mutex>& lock)
{
    std::lock_guard<std::mutex> guard(registry_mutex);
    if (!window || registry().count(window) == 0)
        return false;
    lock = std::unique_lock<std::mutex>(const_cast<plat_window*>(window)->mutex);
    return true;
}

void plat_window_frame_changed(plat_window* window, std::unique_lock<std::mutex>& lock)
{
    if (window->kind == PLAT_WINDOW_HOST && window->callback) {
        std::vector<uint16_t> copy = window->frame;
        int width = window->width;
        int height = window->height;
        plat_frame_callback callback = window->callback;
        void* user = window->user;
        lock.unlock();
        callback(user, copy.data(), width, height, width);
        return;
    }
    if (window->sdl) {
        window->sdl_frame_dirty = true;
        if (on_owner_thread(window))
            sdl_show_frame(window);
    }
    lock.unlock();
}

plat_window* plat_window_create_sdl(const char* title, int x, int y, int width, int height,
                                    bool visible)
{
    if (!valid_size(width, height))
        return nullptr;
    auto* w = new plat_window;
    w->kind = PLAT_WINDOW_SDL;
    w->title = title ? title : "";
    w->visible = visible;
    w->x = x;
    w->y = y;
    resize_frame(w, width, height);
    if (plat_sdl_video_ready()) {
        int px = x == PLAT_DEFAULT_POSITION ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : x;
        int py = y == PLAT_DEFAULT_POSITION ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : y;
        Uint32 flags = SDL_WINDOW_RESIZABLE | (visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
        w->sdl = SDL_CreateWindow(w->title.c_str(), px, py, std::max(1, width),
                                  std::max(1, height), flags);
        if (w->sdl) {
            w->sdl_id = SDL_GetWindowID(w->sdl);
            w->owner = std::this_thread::get_id();
        }
    }
    return register_window(w);
}

plat_window* plat_window_create_memory(int width, int height)
{
    if (!valid_size(width, height))
        return nullptr;
    auto* w = new plat_window;
    w->kind = PLAT_WINDOW_MEMORY;
    resize_frame(w, width, height);
    return register_window(w);
}

plat_window* plat_window_create_host(int width, int height, plat_frame_callback callback,
                                     void* user)
{
    if (!valid_size(width, height))
        return nullptr;
    auto* w = new plat_window;
    w->kind = PLAT_WINDOW_HOST;
    w->callback = callback;
    w->user = user;
    w->visible = true;
    resize_frame(w, width, height);
    return register_window(w);
}

void plat_window_destroy(plat_window* window)
{
    {
        std::lock_guard<std::mutex> guard(registry_mutex);
        if (!window || registry().erase(window) == 0)
            return;
        // Waits for any call still working on the window.
        std::lock_guard<std::mutex> window_guard(window->mutex);
    }
    if (window->sdl)
        SDL_DestroyWindow(window->sdl);
    delete window;
}

bool plat_is_window(const void* handle)
{
    std::lock_guard<std::mutex> guard(registry_mutex);
    return handle && registry().count(handle) != 0;
}

plat_window_kind plat_window_kind_of(const plat_window* window)
{
    plat_window_kind kind = PLAT_WINDOW_MEMORY;
    with_window(window, [&](plat_window* w) { kind = w->kind; });
    return kind;
}

void plat_window_client_size(const plat_window* window, int* width, int* height)
{
    int w_out = 0;
    int h_out = 0;
    with_window(window, [&](plat_window* w) {
        w_out = w->width;
        h_out = w->height;
    });
    if (width)
        *width = w_out;
    if (height)
        *height = h_out;
}

void plat_window_set_client_size(plat_window* window, int width, int height)
{
    if (!valid_size(width, height))
        return;
    with_window(window, [&](plat_window* w) {
        resize_frame(w, width, height);
        state_changed(w);
    });
}

void plat_window_move(plat_window* window, int x, int y)
{
    with_window(window, [&](plat_window* w) {
        w->x = x;
        w->y = y;
        w->move_pending = true;
        state_changed(w);
    });
}

bool plat_window_position(const plat_window* window, int* x, int* y)
{
    bool known = false;
    with_window(window, [&](plat_window* w) {
        int px = w->x;
        int py = w->y;
        if (w->sdl && on_owner_thread(w))
            SDL_GetWindowPosition(w->sdl, &px, &py);
        known = px != PLAT_DEFAULT_POSITION && py != PLAT_DEFAULT_POSITION;
        if (x)
            *x = px;
        if (y)
            *y = py;
    });
    return known;
}

void plat_window_set_title(plat_window* window, const char* title)
{
    with_window(window, [&](plat_window* w) {
        w->title = title ? title : "";
        state_changed(w);
    });
}

std::string plat_window_title(const plat_window* window)
{
    std::string title;
    with_window(window, [&](plat_window* w) { title = w->title; });
    return title;
}

void plat_window_show(plat_window* window)
{
    with_window(window, [&](plat_window* w) {
        w->visible = true;
        state_changed(w);
    });
}

void plat_window_hide(plat_window* window)
{
    with_window(window, [&](plat_window* w) {
        w->visible = false;
        state_changed(w);
    });
}

void plat_window_minimize(plat_window* window)
{
    with_window(window, [&](plat_window* w) {
        w->visible = true;
        w->minimized = true;
        state_changed(w);
    });
}

void plat_window_maximize(plat_window* window)
{
    with_window(window, [&](plat_window* w) {
        w->visible = true;
        w->minimized = false;
        w->maximized = true;
        state_changed(w);
    });
}

void plat_window_restore(plat_window* window)
{
    with_window(window, [&](plat_window* w) {
        w->visible = true;
        w->minimized = false;
        w->maximized = false;
        state_changed(w);
    });
}

bool plat_window_is_visible(const plat_window* window)
{
    bool visible = false;
    with_window(window, [&](plat_window* w) { visible = w->visible; });
    return visible;
}

bool plat_window_is_minimized(const plat_window* window)
{
    bool minimized = false;
    with_window(window, [&](plat_window* w) { minimized = w->minimized; });
    return minimized;
}

std::vector<uint16_t> plat_window_frame(const plat_window* window)
{
    std::vector<uint16_t> frame;
    with_window(window, [&](plat_window* w) { frame = w->frame; });
    return frame;
}

uint16_t plat_window_pixel(const plat_window* window, int x, int y)
{
    uint16_t pixel = 0;
    with_window(window, [&](plat_window* w) {
        if (x >= 0 && y >= 0 && x < w->width && y < w->height)
            pixel = w->frame[static_cast<size_t>(y) * w->width + x];
    });
    return pixel;
}

void plat_pump_events()
{
    // Nothing to do before the first real window; SDL events belong to the thread that made it.
    if (!on_sdl_thread())
        return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_WINDOWEVENT)
            handle_window_event(event.window);
        else if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP)
            handle_key_event(event.key);
    }
    sync_owned_windows();
}

bool plat_window_close_requested(const plat_window* window)
{
    bool requested = false;
    with_window(window, [&](plat_window* w) { requested = w->close_requested; });
    return requested;
}
