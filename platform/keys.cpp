// Key state by Windows virtual-key code: down now, and pressed since the last poll of the key.
#include "platform/keys.h"

#include <SDL_keycode.h>

#include <mutex>

#include "internal.h"

namespace {

struct key_state {
    bool down = false;
    bool pressed = false;
};

std::mutex keys_mutex;
key_state keys[256];

void set_key(int vk, bool down)
{
    keys[vk].down = down;
    if (down)
        keys[vk].pressed = true;
}

// The generic modifier follows its left and right keys.
void update_generic(int generic, int left, int right, bool down)
{
    if (down)
        set_key(generic, true);
    else
        keys[generic].down = keys[left].down || keys[right].down;
}

}  // namespace

int16_t plat_get_async_key_state(int vk)
{
    if (vk < 0 || vk > 255)
        return 0;
    std::lock_guard<std::mutex> guard(keys_mutex);
    uint16_t state = (keys[vk].down ? 0x8000 : 0) | (keys[vk].pressed ? 1 : 0);
    keys[vk].pressed = false;
    return static_cast<int16_t>(state);
}

void plat_key_event(int vk, bool down)
{
    if (vk <= 0 || vk > 255)
        return;
    std::lock_guard<std::mutex> guard(keys_mutex);
    set_key(vk, down);
    if (vk == PLAT_VK_LSHIFT || vk == PLAT_VK_RSHIFT)
        update_generic(PLAT_VK_SHIFT, PLAT_VK_LSHIFT, PLAT_VK_RSHIFT, down);
    else if (vk == PLAT_VK_LCONTROL || vk == PLAT_VK_RCONTROL)
        update_generic(PLAT_VK_CONTROL, PLAT_VK_LCONTROL, PLAT_VK_RCONTROL, down);
    else if (vk == PLAT_VK_LMENU || vk == PLAT_VK_RMENU)
        update_generic(PLAT_VK_MENU, PLAT_VK_LMENU, PLAT_VK_RMENU, down);
}

void plat_keys_reset()
{
    std::lock_guard<std::mutex> guard(keys_mutex);
    for (key_state& key : keys)
        key = key_state{};
}

void plat_keys_release_all()
{
    std::lock_guard<std::mutex> guard(keys_mutex);
    for (key_state& key : keys)
        key.down = false;
}

int plat_vk_from_sdl(int32_t sdl_key)
{
    if (sdl_key >= SDLK_a && sdl_key <= SDLK_z)
        return PLAT_VK_A + (sdl_key - SDLK_a);
    if (sdl_key >= SDLK_0 && sdl_key <= SDLK_9)
        return PLAT_VK_0 + (sdl_key - SDLK_0);
    if (sdl_key >= SDLK_F1 && sdl_key <= SDLK_F12)
        return PLAT_VK_F1 + (sdl_key - SDLK_F1);
    if (sdl_key >= SDLK_KP_1 && sdl_key <= SDLK_KP_9)
        return PLAT_VK_NUMPAD0 + 1 + (sdl_key - SDLK_KP_1);
    switch (sdl_key) {
    case SDLK_BACKSPACE: return PLAT_VK_BACK;
    case SDLK_TAB: return PLAT_VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return PLAT_VK_RETURN;
    case SDLK_PAUSE: return PLAT_VK_PAUSE;
    case SDLK_CAPSLOCK: return PLAT_VK_CAPITAL;
    case SDLK_ESCAPE: return PLAT_VK_ESCAPE;
    case SDLK_SPACE: return PLAT_VK_SPACE;
    case SDLK_PAGEUP: return PLAT_VK_PRIOR;
    case SDLK_PAGEDOWN: return PLAT_VK_NEXT;
    case SDLK_END: return PLAT_VK_END;
    case SDLK_HOME: return PLAT_VK_HOME;
    case SDLK_LEFT: return PLAT_VK_LEFT;
    case SDLK_UP: return PLAT_VK_UP;
    case SDLK_RIGHT: return PLAT_VK_RIGHT;
    case SDLK_DOWN: return PLAT_VK_DOWN;
    case SDLK_INSERT: return PLAT_VK_INSERT;
    case SDLK_DELETE: return PLAT_VK_DELETE;
    case SDLK_KP_0: return PLAT_VK_NUMPAD0;
    case SDLK_KP_MULTIPLY: return PLAT_VK_MULTIPLY;
    case SDLK_KP_PLUS: return PLAT_VK_ADD;
    case SDLK_KP_MINUS: return PLAT_VK_SUBTRACT;
    case SDLK_KP_PERIOD: return PLAT_VK_DECIMAL;
    case SDLK_KP_DIVIDE: return PLAT_VK_DIVIDE;
    case SDLK_LSHIFT: return PLAT_VK_LSHIFT;
    case SDLK_RSHIFT: return PLAT_VK_RSHIFT;
    case SDLK_LCTRL: return PLAT_VK_LCONTROL;
    case SDLK_RCTRL: return PLAT_VK_RCONTROL;
    case SDLK_LALT: return PLAT_VK_LMENU;
    case SDLK_RALT: return PLAT_VK_RMENU;
    default: return 0;
    }
}
