// The 3D card device as the back-end sees it: one table of operations, OpenGL by default, a
// recording fake in the tests.
#pragma once
#include <vector>

#include "platform/card_device.h"

struct card3d_device {
    std::vector<plat_card_device_info> (*devices)();
    bool (*open)(int index, int width, int height, bool depth);
    void (*close)();
    bool (*acquire)();
    void (*release)();
    plat_card_caps (*read_caps)();
    void (*set_state)(plat_card_state state, uint32_t value);
    void (*clear)(uint32_t colour, bool with_depth, float depth);
    uint32_t (*texture_create)(int width, int height, const uint8_t* rgba);
    void (*texture_destroy)(uint32_t texture);
    void (*set_texture)(uint32_t texture);
    void (*draw_fan)(const plat_card_vertex* vertices, int count);
    bool (*read_back)(plat_surface* surface);
};

const card3d_device& card3d_device_gl();
const card3d_device& card3d_device_current();
// Makes the table current; nullptr goes back to OpenGL.
void card3d_device_use(const card3d_device* device);

// Holds the device current on this thread for a scope (nests).
class card3d_device_scope {
public:
    card3d_device_scope() : held_(card3d_device_current().acquire()) {}
    ~card3d_device_scope() {
        if (held_) card3d_device_current().release();
    }
    card3d_device_scope(const card3d_device_scope&) = delete;
    card3d_device_scope& operator=(const card3d_device_scope&) = delete;

private:
    bool held_;
};
