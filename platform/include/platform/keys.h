// Asynchronous key state by Windows virtual-key code, fed by SDL events or by the host.
#pragma once
#include <cstdint>

enum plat_vk {
    PLAT_VK_LBUTTON = 0x01, PLAT_VK_RBUTTON = 0x02,
    PLAT_VK_BACK = 0x08, PLAT_VK_TAB = 0x09, PLAT_VK_RETURN = 0x0D,
    PLAT_VK_SHIFT = 0x10, PLAT_VK_CONTROL = 0x11, PLAT_VK_MENU = 0x12, PLAT_VK_PAUSE = 0x13,
    PLAT_VK_CAPITAL = 0x14, PLAT_VK_ESCAPE = 0x1B, PLAT_VK_SPACE = 0x20,
    PLAT_VK_PRIOR = 0x21, PLAT_VK_NEXT = 0x22, PLAT_VK_END = 0x23, PLAT_VK_HOME = 0x24,
    PLAT_VK_LEFT = 0x25, PLAT_VK_UP = 0x26, PLAT_VK_RIGHT = 0x27, PLAT_VK_DOWN = 0x28,
    PLAT_VK_INSERT = 0x2D, PLAT_VK_DELETE = 0x2E,
    PLAT_VK_0 = 0x30,  // '0'..'9' are 0x30..0x39
    PLAT_VK_A = 0x41,  // 'A'..'Z' are 0x41..0x5A
    PLAT_VK_NUMPAD0 = 0x60,  // numpad 0..9 are 0x60..0x69
    PLAT_VK_MULTIPLY = 0x6A, PLAT_VK_ADD = 0x6B, PLAT_VK_SUBTRACT = 0x6D,
    PLAT_VK_DECIMAL = 0x6E, PLAT_VK_DIVIDE = 0x6F,
    PLAT_VK_F1 = 0x70,  // F1..F12 are 0x70..0x7B
    PLAT_VK_LSHIFT = 0xA0, PLAT_VK_RSHIFT = 0xA1, PLAT_VK_LCONTROL = 0xA2,
    PLAT_VK_RCONTROL = 0xA3, PLAT_VK_LMENU = 0xA4, PLAT_VK_RMENU = 0xA5
};

// Bit 15 set: the key is down now. Bit 0 set: pressed since the previous call for this key.
int16_t plat_get_async_key_state(int vk);
// Hosts report key changes here; left/right modifiers also set the generic code.
extern "C" void plat_key_event(int vk, bool down);
void plat_keys_reset();
