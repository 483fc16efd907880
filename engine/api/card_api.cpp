// 3D card family: the three switches the simulator uses. Rendering goes through the back-end
// table; until a 3D-card back-end offers a device, a start finds none and the software renderer
// keeps drawing.
#include "api/export_guards.h"
#include "foundation/errors.h"
#include "render/render_backend.h"
#include "world/engine_state.h"

namespace {

namespace texts {
inline constexpr const char* no_device = "card3d_start: no 3D device found\n";
}  // namespace texts

constexpr int software_only = 4;

// Where a 3D-card back-end starts its device: none is registered, so every start fails quietly.
int card_start() {
    if (api_report_errors()) report_error(1, texts::no_device);
    return -1;
}

void card_stop() {
    engine_state.card_in_use = 0;
    render_backend_use(nullptr);
}

}  // namespace

DROVIK_API int Drovik_3D_card_use(int use) {
    engine_guard guard;
    if (use != 1) {
        card_stop();
        return 0;
    }
    return card_start();
}

DROVIK_API int Drovik_3D_card_check_hardware_support() { return 1; }

DROVIK_API int Drovik_3D_card_use_detailed(int flags, int full_screen, int width, int height, int bits_per_pixel,
                                           int) {
    engine_guard guard;
    if (flags & software_only) return Drovik_3D_card_use(0);
    if (full_screen == 1) {
        engine_state.card_width = width;
        engine_state.card_height = height;
        engine_state.card_depth = bits_per_pixel;
    }
    return card_start();
}
