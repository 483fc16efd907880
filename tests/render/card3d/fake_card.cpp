// The recording stand-in for the 3D card device.
#include "fake_card.h"

namespace {

fake_card& f() { return fake_card::get(); }

std::vector<plat_card_device_info> devices() { return f().devices; }

bool open(int index, int width, int height, bool depth) {
    if (index < 0 || index >= static_cast<int>(f().devices.size())) return false;
    f().open = true;
    f().width = width;
    f().height = height;
    f().depth = depth;
    ++f().opens;
    f().opened_index = index;
    return true;
}

void close() {
    f().open = false;
    f().textures.clear();
}

bool acquire() { return f().open; }
void release() {}
plat_card_caps read_caps() { return f().caps; }
void set_state(plat_card_state state, uint32_t value) { f().states.emplace_back(state, value); }
void clear(uint32_t, bool, float) {}

uint32_t texture_create(int width, int height, const uint8_t*) {
    const uint32_t id = f().next_texture++;
    f().textures[id] = {width, height};
    return id;
}

void texture_destroy(uint32_t texture) { f().textures.erase(texture); }
void set_texture(uint32_t texture) { f().bound_textures.push_back(texture); }
void draw_fan(const plat_card_vertex* vertices, int count) { f().fans.emplace_back(vertices, vertices + count); }
bool read_back(plat_surface*) { return true; }

constexpr card3d_device fake_table{devices,   open,        close,           acquire,     release,
                                   read_caps, set_state,   clear,           texture_create,
                                   texture_destroy,        set_texture,     draw_fan,    read_back};

}  // namespace

fake_card& fake_card::get() {
    static fake_card card;
    return card;
}

const card3d_device& fake_card::table() { return fake_table; }

void fake_card::reset() {
    *this = fake_card{};
    devices = {{"llvmpipe (LLVM 15.0.6, 256 bits)", true}};
    caps = {"Fake", "fake renderer", "3.3", 24, 1, 2048, 0, false, true, true, true, true, true, true};
}

int fake_card::count(plat_card_state state, size_t from) const { return static_cast<int>(values(state, from).size()); }

std::vector<uint32_t> fake_card::values(plat_card_state state, size_t from) const {
    std::vector<uint32_t> found;
    for (size_t i = from; i < states.size(); ++i) {
        if (states[i].first == state) found.push_back(states[i].second);
    }
    return found;
}
