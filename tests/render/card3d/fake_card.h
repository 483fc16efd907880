// A recording stand-in for the 3D card device: the states, textures and corners the back-end sends.
#pragma once
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "render/card3d/card3d_device.h"

struct fake_card {
    std::vector<std::pair<plat_card_state, uint32_t>> states;
    std::vector<uint32_t> bound_textures;
    std::vector<std::vector<plat_card_vertex>> fans;
    std::map<uint32_t, std::pair<int, int>> textures;  // live textures and their sizes
    std::vector<plat_card_device_info> devices;
    plat_card_caps caps;
    int opens = 0;
    int opened_index = -1;
    bool open = false;
    int width = 0, height = 0;
    bool depth = false;
    uint32_t next_texture = 1;

    static fake_card& get();
    static const card3d_device& table();
    // Default: one software device, 1..2048 textures, vertex fog and alpha textures.
    void reset();
    // How many times the state was set since `from` (an index into states).
    int count(plat_card_state state, size_t from = 0) const;
    std::vector<uint32_t> values(plat_card_state state, size_t from = 0) const;
};
