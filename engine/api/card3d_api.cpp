// Engine family: switching the 3D card on and off, its resolution and the hardware check.
#include "api/engine_render_api.h"
#include "api/export_guards.h"
#include "platform/window.h"
#include "render/card3d.h"
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
