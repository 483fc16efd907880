// Engine and 3D card families: switching the 3D card on and off, its resolution, options and the
// hardware check.
#include "api/export_guards.h"
#include "platform/window.h"
#include "render/card3d/card3d.h"
#include "render/frame_state.h"
#include "world/engine_state.h"

namespace {

// The card starts on the window of the last render call (the default window before any).
int use_card(int on) {
    plat_window* window = engine_render_frame_state().current_window;
    return card3d_use(window && plat_is_window(window) ? window : nullptr, on);
}

}  // namespace

DROVIK_API int Drovik_engine_check_3d_hardware_support() {
    engine_guard guard;
    return card3d_is_hardware_supported();
}

DROVIK_API int Drovik_engine_use_3D_accelerator_card(int yes_no) {
    engine_guard guard;
    return use_card(yes_no);
}

DROVIK_API int Drovik_engine_is_3D_accelerator_card_used() {
    engine_guard guard;
    return engine_state.card_in_use ? 1 : 0;
}

DROVIK_API int Drovik_engine_set_3D_accelerator_resolution(int width, int height) {
    engine_guard guard;
    engine_state.card_width = width;
    engine_state.card_height = height;
    if (!engine_state.card_in_use || (card3d_get_width() == width && card3d_get_height() == height)) return 0;
    const int off = use_card(0);
    const int on = use_card(1);
    return off != 0 || on != 0 ? -1 : 0;
}

DROVIK_API void Drovik_engine_get_3D_accelerator_resolution(int* width, int* height) {
    engine_guard guard;
    if (width) *width = card3d_get_width();
    if (height) *height = card3d_get_height();
}

// 3D card family: the same switches with the card's own options.

DROVIK_API int Drovik_3D_card_use(int yes_no) {
    engine_guard guard;
    return use_card(yes_no);
}

DROVIK_API int Drovik_3D_card_is_used() { return Drovik_engine_is_3D_accelerator_card_used(); }

DROVIK_API int Drovik_3D_card_check_hardware_support() { return Drovik_engine_check_3d_hardware_support(); }

DROVIK_API int Drovik_3D_card_use_detailed(int flags, int full_screen, int width, int height, int bits,
                                           int device_choice) {
    engine_guard guard;
    if (flags & 4) return use_card(0);
    use_card(1);
    plat_window* window = card3d().window;
    card3d_close();
    return card3d_use_detailed(window, width, height, bits, device_choice, full_screen, flags & 1);
}

DROVIK_API int Drovik_3D_card_set_full_screen_mode(int width, int height) {
    engine_guard guard;
    return card3d_set_full_screen_mode(width, height);
}

DROVIK_API int Drovik_3D_card_set_window_mode() {
    engine_guard guard;
    return card3d_set_window_mode(card3d_settings().reload_new_only);
}

DROVIK_API int Drovik_3D_card_is_full_screen_mode() {
    engine_guard guard;
    return engine_state.card_full_screen;
}

DROVIK_API int Drovik_3D_card_allow_software_emulation(int yes_no) {
    engine_guard guard;
    return card3d_settings().allow_software = yes_no;
}

DROVIK_API int Drovik_3D_card_hide_driver_selection_window(int yes_no) {
    engine_guard guard;
    return card3d_settings().hide_dialog = yes_no;
}

// As the interface has always answered: the flag stored by the hide call.
DROVIK_API int Drovik_3D_card_is_driver_selection_window_visible() {
    engine_guard guard;
    return card3d_settings().hide_dialog;
}
