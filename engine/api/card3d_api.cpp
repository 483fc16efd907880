// Engine family: switching the 3D card on and off, its resolution and the hardware check.
#include "api/export_guards.h"
#include "platform/window.h"
#include "render/card3d.h"
#include "world/engine_state.h"

namespace {

// The window the card starts on: the last rendering window while it lives.
plat_window* start_window() {
    plat_window* window = card3d_settings().rendering_window;
    return window && plat_is_window(window) ? window : nullptr;
}

int use_card(int on) {
    if (on == 1) return card3d_init(start_window());
    card3d_close();
    if (card3d_settings().software_return) card3d_settings().software_return();
    return 0;
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
