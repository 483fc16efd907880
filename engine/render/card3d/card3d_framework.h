// The 3D card's device framework: drivers, devices and display modes as data, the choice of a
// device, creating and showing the card's frame, the error codes with their boxes, the texture
// containers and the driver dialog's model.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/card_device.h"
#include "platform/display.h"
#include "world/records.h"

struct plat_window;

struct card3d_mode {
    plat_display_mode mode;
    std::string text;  // "%ld x %ld x %ld"
};

struct card3d_device_record {
    int device_index;  // in the device table's list
    std::string name;  // at most 39 characters
    int hardware;
    int desktop_compatible;
    int windowed;
    int current_mode;
    std::vector<card3d_mode> modes;
};

struct card3d_driver {
    std::string description, name;  // at most 39 characters each
    int primary;
    int can_render_windowed;
    std::vector<card3d_device_record> devices;
    int current_device;
};

struct card3d_framework_state {
    int enumerated;
    std::vector<card3d_driver> drivers;
    int current_driver;
    int devices_found;  // devices met while enumerating, kept or not
    int reference_found;
};

card3d_framework_state& card3d_framework();

namespace card3d_codes {
inline constexpr uint32_t out_of_memory = 0x8007000E;
inline constexpr uint32_t enumeration_failed = 0x81000001;
inline constexpr uint32_t no_compatible_devices = 0x81000002;
inline constexpr uint32_t no_compatible_3d_devices = 0x81000003;
inline constexpr uint32_t no_library = 0x81000004;
inline constexpr uint32_t no_matching_device = 0x81000005;
inline constexpr uint32_t generic_init = 0x82000000;
inline constexpr uint32_t no_3d_device = 0x82000004;
inline constexpr uint32_t no_zbuffer = 0x82000005;
inline constexpr uint32_t bad_display_mode = 0x82000009;
inline constexpr uint32_t nonzero_refcount = 0x8200000B;
inline constexpr uint32_t needs_16_bits = 0x8200000D;
inline constexpr uint32_t no_front_buffer = 0x8200000E;
inline constexpr uint32_t out_of_video_memory = 0x8876017C;
}  // namespace card3d_codes

// Selection flags.
namespace card3d_select {
inline constexpr int software_only = 1, full_screen = 2, rgb_software = 4, reference = 8, primary_driver = 0x10,
                     secondary_driver = 0x20;
}

// Builds the lists once from the device table's devices, the display's modes and its depth;
// then selects the default device with flags 0. 0 or a code.
uint32_t card3d_enumerate();
uint32_t card3d_enumerate_from(const std::vector<plat_card_device_info>& devices,
                               const std::vector<plat_display_mode>& modes, int desktop_depth);
uint32_t card3d_select_default_device(int flags);
// The current driver and its current device; nullptr when nothing is chosen.
card3d_driver* card3d_selected_driver();
card3d_device_record* card3d_selected_device();
void card3d_free_enumeration();

// The box text of a code; the box itself: fatal "Error2" with the error icon, else "Error3".
std::string card3d_error_text(uint32_t code);
void card3d_show_error(uint32_t code, bool fatal);

// Texture containers: one card texture made from a bitmap, found by name (case ignored).
struct card3d_container {
    std::string name;
    int stage;
    int flags;  // 2 transparent black, 4 32 bits
    bitmap_texture* bitmap;
    uint32_t texture;
};
namespace card3d_container_flags {
inline constexpr int transparent_black = 2, bits32 = 4;
}
// The container of that name serving the bitmap, else a new one for it (two bitmaps may share a
// name with different transparency).
card3d_container* card3d_container_for(const char* name, int stage, int flags, bitmap_texture* bitmap);
// Uploads the container's bitmap (again): 0 or a code.
uint32_t card3d_container_restore(card3d_container* container);
uint32_t card3d_containers_restore_all();
void card3d_containers_invalidate_all();
// Drops every container serving the bitmap, with its texture.
void card3d_containers_forget(const bitmap_texture* bitmap);
void card3d_containers_free();
int card3d_container_count();

// The driver dialog: the lists it shows and the choice it keeps until OK.
struct card3d_dialog_model {
    int driver;
    int device;
    int mode;  // -1 windowed
    int windowed;
    int changed;
};
void card3d_dialog_open(card3d_dialog_model* model, int windowed);
std::vector<std::string> card3d_dialog_list(const card3d_dialog_model* model, int list);  // 0 drivers, 1 devices, 2 modes
int card3d_dialog_selected(const card3d_dialog_model* model, int list);
void card3d_dialog_choose(card3d_dialog_model* model, int list, int index);
// 1 after a change (the choice is made current), else 2.
int card3d_dialog_ok(card3d_dialog_model* model);
// 1 when the user changed the choice, 2 otherwise, -1 when no view can show it.
int card3d_driver_dialog(int windowed);
