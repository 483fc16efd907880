// The 3D card device table: OpenGL from the platform unless a test puts its own in place.
#include "render/card3d/card3d_device.h"

namespace {

constexpr card3d_device gl{plat_card_devices,     plat_card_open,        plat_card_close,
                           plat_card_acquire,     plat_card_release,     plat_card_read_caps,
                           plat_card_set_state,   plat_card_clear,       plat_card_texture_create,
                           plat_card_texture_destroy, plat_card_set_texture, plat_card_draw_fan,
                           plat_card_read_back};

const card3d_device* current = &gl;

}  // namespace

const card3d_device& card3d_device_gl() { return gl; }

const card3d_device& card3d_device_current() { return *current; }

void card3d_device_use(const card3d_device* device) { current = device ? device : &gl; }
