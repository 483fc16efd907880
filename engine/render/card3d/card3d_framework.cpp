// The 3D card's device framework: drivers, devices and modes as data, the choice of a device, the
// error codes with their boxes, the texture containers and the driver dialog's model.
#include "render/card3d/card3d_framework.h"

#include <algorithm>
#include <cstdio>
#include <list>
#include <strings.h>

#include "platform/card_dialog.h"
#include "platform/msgbox.h"
#include "render/card3d/card3d_device.h"
#include "world/colour.h"

namespace {

constexpr size_t name_limit = 39;
constexpr const char* windowed_mode_text = "Windowed mode";

std::string bounded(const std::string& text) { return text.substr(0, std::min(text.size(), name_limit)); }

std::list<card3d_container>& containers() {
    static std::list<card3d_container> list;
    return list;
}

std::string mode_text(const plat_display_mode& m) {
    char text[64];
    std::snprintf(text, sizeof text, "%ld x %ld x %ld", static_cast<long>(m.width), static_cast<long>(m.height),
                  static_cast<long>(m.bits));
    return text;
}

// 8-bit modes go; 16, 24 and 32 bits are kept (the card renders at each); any other depth stays.
std::vector<card3d_mode> usable_modes(const std::vector<plat_display_mode>& modes) {
    std::vector<card3d_mode> kept;
    for (const plat_display_mode& m : modes) {
        if (m.bits != 8) kept.push_back({m, mode_text(m)});
    }
    return kept;
}

int default_mode(const std::vector<card3d_mode>& modes) {
    for (size_t i = 0; i < modes.size(); ++i) {
        if (modes[i].mode.width == 640 && modes[i].mode.height == 480 && modes[i].mode.bits == 16)
            return static_cast<int>(i);
    }
    return 0;
}

// One pass of the default choice: the first device that fits.
bool select_pass(card3d_framework_state& f, bool hardware, bool windowed) {
    for (size_t d = 0; d < f.drivers.size(); ++d) {
        card3d_driver& driver = f.drivers[d];
        for (size_t i = 0; i < driver.devices.size(); ++i) {
            card3d_device_record& device = driver.devices[i];
            if ((device.hardware != 0) != hardware) continue;
            if (windowed && !(device.desktop_compatible && driver.can_render_windowed)) continue;
            f.current_driver = static_cast<int>(d);
            driver.current_device = static_cast<int>(i);
            device.windowed = windowed ? 1 : 0;
            return true;
        }
    }
    return false;
}

bool select_by_kind(card3d_framework_state& f, int flags) {
    for (size_t d = 0; d < f.drivers.size(); ++d) {
        for (size_t i = 0; i < f.drivers[d].devices.size(); ++i) {
            const card3d_device_record& device = f.drivers[d].devices[i];
            const bool rgb_software = !device.hardware;
            const bool other = !rgb_software;
            if ((flags & card3d_select::rgb_software && rgb_software) ||
                (flags & card3d_select::primary_driver && other && d == 0) ||
                (flags & card3d_select::secondary_driver && other && d > 0)) {
                f.current_driver = static_cast<int>(d);
                f.drivers[d].current_device = static_cast<int>(i);
                return true;
            }
        }
    }
    return false;
}

}  // namespace

card3d_framework_state& card3d_framework() {
    static card3d_framework_state state{0, {}, -1, 0, 0};
    return state;
}

uint32_t card3d_enumerate_from(const std::vector<plat_card_device_info>& devices,
                               const std::vector<plat_display_mode>& modes, int desktop_depth) {
    card3d_framework_state& f = card3d_framework();
    f = card3d_framework_state{1, {}, -1, 0, 0};
    // One display: the primary display driver, which can render in a window.
    card3d_driver driver{"Primary Display Driver", "display", 1, 1, {}, -1};
    for (size_t i = 0; i < devices.size(); ++i) {
        ++f.devices_found;
        card3d_device_record device{static_cast<int>(i), bounded(devices[i].renderer), devices[i].software ? 0 : 1,
                                    0, 0, 0, usable_modes(modes)};
        if (device.modes.empty()) continue;
        device.current_mode = default_mode(device.modes);
        for (const card3d_mode& m : device.modes) {
            if (m.mode.bits == desktop_depth) device.desktop_compatible = 1;
        }
        device.windowed = device.desktop_compatible && driver.can_render_windowed;
        driver.devices.push_back(device);
        const int index = static_cast<int>(driver.devices.size()) - 1;
        if (device.hardware || driver.current_device < 0) driver.current_device = index;
    }
    if (!driver.devices.empty()) {
        f.drivers.push_back(driver);
        f.current_driver = 0;
    }
    return card3d_select_default_device(0);
}

uint32_t card3d_enumerate() {
    if (card3d_framework().enumerated) return 0;
    return card3d_enumerate_from(card3d_device_current().devices(), plat_display_modes(), plat_display_depth());
}

uint32_t card3d_select_default_device(int flags) {
    card3d_framework_state& f = card3d_framework();
    using namespace card3d_select;
    if (flags & (rgb_software | reference | primary_driver | secondary_driver)) {
        return select_by_kind(f, flags) ? 0 : card3d_codes::no_matching_device;
    }
    const bool hardware_passes = !(flags & software_only), windowed_passes = !(flags & full_screen);
    if ((hardware_passes && windowed_passes && select_pass(f, true, true)) ||
        (windowed_passes && select_pass(f, false, true)) || (hardware_passes && select_pass(f, true, false)) ||
        select_pass(f, false, false)) {
        return 0;
    }
    if (f.devices_found == 0) return card3d_codes::enumeration_failed;
    return f.reference_found ? card3d_codes::no_compatible_3d_devices : card3d_codes::no_compatible_devices;
}

card3d_driver* card3d_selected_driver() {
    card3d_framework_state& f = card3d_framework();
    if (f.current_driver < 0 || f.current_driver >= static_cast<int>(f.drivers.size())) return nullptr;
    return &f.drivers[f.current_driver];
}

card3d_device_record* card3d_selected_device() {
    card3d_driver* driver = card3d_selected_driver();
    if (!driver || driver->current_device < 0 || driver->current_device >= static_cast<int>(driver->devices.size()))
        return nullptr;
    return &driver->devices[driver->current_device];
}

void card3d_free_enumeration() { card3d_framework() = card3d_framework_state{0, {}, -1, 0, 0}; }

std::string card3d_error_text(uint32_t code) {
    switch (code) {
    case 0x8007000E: return "Not enough memory!";
    case 0x81000001: return "Enumeration failed. Your system may be in an\nunstable state and need to be rebooted";
    case 0x81000002:
        return "Could not find any compatible devices.\n\nTry enabling the reference rasterizer using\nEnableRefRast.reg.";
    case 0x81000003: return "Could not find any compatible Direct3D\ndevices.";
    case 0x82000000: return "Generic initialization error.\n\nEnable debug output for detailed information.";
    case 0x82000001: return "No DirectDraw";
    case 0x82000002: return "Could not set Cooperative Level";
    case 0x82000003: return "No Direct3D";
    case 0x82000004: return "No 3D Device";
    case 0x82000005: return "No ZBuffer";
    case 0x82000006: return "No Viewport";
    case 0x82000007: return "No primary";
    case 0x82000008: return "No Clipper";
    case 0x82000009: return "Bad display mode";
    case 0x8200000A: return "No backbuffer";
    case 0x8200000B: return "Nonzerorefcount";
    case 0x8200000C: return "No render target";
    case 0x8200000D:
        return "This sample requires a 16-bit (or higher) display mode\nto run in a window.\n\nPlease switch your desktop "
               "settings accordingly.";
    case 0x8876017C: return "There was insufficient video memory to use the\nhardware device.";
    default: return "Generic application error.\n\nEnable debug output for detailed information.";
    }
}

void card3d_show_error(uint32_t code, bool fatal) {
    const std::string text =
        card3d_error_text(code) + (fatal ? "\n\nThis sample will now exit." : "\n\nSwitching to software rasterizer.");
    plat_message_box(fatal ? "Error2" : "Error3", text.c_str(), fatal ? PLAT_ICON_ERROR : PLAT_ICON_WARNING,
                     PLAT_BUTTONS_OK);
}

// The bitmap's pixels through its palette as RGBA8; a transparent pixel (255) gets alpha 0.
std::vector<uint8_t> card3d_bitmap_rgba(const bitmap_texture* b);

card3d_container* card3d_container_for(const char* name, int stage, int flags, bitmap_texture* bitmap) {
    if (!name || !*name) return nullptr;
    for (card3d_container& c : containers()) {
        if (c.bitmap == bitmap && strcasecmp(c.name.c_str(), name) == 0) return &c;
    }
    containers().push_front(card3d_container{name, stage, flags, bitmap, 0});
    return &containers().front();
}

uint32_t card3d_container_restore(card3d_container* c) {
    if (!c || !c->bitmap) return card3d_codes::generic_init;
    const card3d_device& device = card3d_device_current();
    device.texture_destroy(c->texture);
    c->texture = 0;
    const std::vector<uint8_t> rgba = card3d_bitmap_rgba(c->bitmap);
    if (rgba.empty()) return card3d_codes::generic_init;
    c->texture = device.texture_create(c->bitmap->image.width, c->bitmap->image.height, rgba.data());
    return c->texture ? 0 : card3d_codes::out_of_video_memory;
}

uint32_t card3d_containers_restore_all() {
    uint32_t result = 0;
    for (card3d_container& c : containers()) {
        if (const uint32_t code = card3d_container_restore(&c)) result = code;
    }
    return result;
}

void card3d_containers_invalidate_all() {
    for (card3d_container& c : containers()) {
        card3d_device_current().texture_destroy(c.texture);
        c.texture = 0;
    }
}

void card3d_containers_forget(const bitmap_texture* bitmap) {
    auto& list = containers();
    for (auto it = list.begin(); it != list.end();) {
        if (it->bitmap == bitmap) {
            card3d_device_current().texture_destroy(it->texture);
            it = list.erase(it);
        } else {
            ++it;
        }
    }
}

void card3d_containers_free() {
    card3d_containers_invalidate_all();
    containers().clear();
}

int card3d_container_count() { return static_cast<int>(containers().size()); }

std::vector<uint8_t> card3d_bitmap_rgba(const bitmap_texture* b) {
    const jbm_info& image = b->image;
    const size_t count = static_cast<size_t>(image.width) * image.height;
    if (!image.image || count == 0) return {};
    std::vector<uint8_t> rgba(count * 4);
    const uint8_t* pixels = image.image + 8;
    for (size_t i = 0; i < count; ++i) {
        int r = 0, g = 0, bl = 0, alpha = 255;
        if (image.type == 10) {
            uint16_t cell;
            std::copy_n(pixels + i * 2, 2, reinterpret_cast<uint8_t*>(&cell));
            pixel_to_rgb(cell, &r, &g, &bl);
        } else {
            const uint8_t index = pixels[i];
            if (image.transparent_index >= 0 && index == 255) alpha = 0;
            if (image.palette && index < image.palette_count) {
                r = image.palette[index].r;
                g = image.palette[index].g;
                bl = image.palette[index].b;
            } else if (image.shade_tables[image.normal_level < 0 ? 8 : image.normal_level] && index < image.palette_count) {
                pixel_to_rgb(image.shade_tables[image.normal_level][index], &r, &g, &bl);
            }
        }
        rgba[i * 4] = static_cast<uint8_t>(r);
        rgba[i * 4 + 1] = static_cast<uint8_t>(g);
        rgba[i * 4 + 2] = static_cast<uint8_t>(bl);
        rgba[i * 4 + 3] = static_cast<uint8_t>(alpha);
    }
    return rgba;
}

// The driver dialog's model.

void card3d_dialog_open(card3d_dialog_model* model, int windowed) {
    card3d_framework_state& f = card3d_framework();
    *model = card3d_dialog_model{f.current_driver, -1, 0, windowed, 0};
    if (card3d_driver* driver = card3d_selected_driver()) {
        model->device = driver->current_device;
        if (card3d_device_record* device = card3d_selected_device()) {
            device->windowed = windowed;
            model->mode = device->current_mode;
        }
    }
}

namespace {

card3d_driver* model_driver(const card3d_dialog_model* m) {
    card3d_framework_state& f = card3d_framework();
    return m->driver >= 0 && m->driver < static_cast<int>(f.drivers.size()) ? &f.drivers[m->driver] : nullptr;
}

card3d_device_record* model_device(const card3d_dialog_model* m) {
    card3d_driver* driver = model_driver(m);
    if (!driver || m->device < 0 || m->device >= static_cast<int>(driver->devices.size())) return nullptr;
    return &driver->devices[m->device];
}

bool offers_windowed(const card3d_dialog_model* m) {
    const card3d_driver* driver = model_driver(m);
    const card3d_device_record* device = model_device(m);
    return driver && device && driver->can_render_windowed && driver->primary && device->desktop_compatible;
}

void take_device(card3d_dialog_model* m) {
    if (const card3d_device_record* device = model_device(m)) {
        m->mode = device->current_mode;
        m->windowed = device->windowed;
    }
}

}  // namespace

std::vector<std::string> card3d_dialog_list(const card3d_dialog_model* m, int list) {
    std::vector<std::string> texts;
    if (list == 0) {
        for (const card3d_driver& d : card3d_framework().drivers) texts.push_back(d.description);
    } else if (list == 1) {
        if (const card3d_driver* driver = model_driver(m)) {
            for (const card3d_device_record& d : driver->devices) texts.push_back(d.name);
        }
    } else if (list == 2) {
        if (offers_windowed(m)) texts.push_back(windowed_mode_text);
        if (const card3d_device_record* device = model_device(m)) {
            for (const card3d_mode& mode : device->modes) texts.push_back(mode.text);
        }
    }
    return texts;
}

int card3d_dialog_selected(const card3d_dialog_model* m, int list) {
    if (list == 0) return m->driver;
    if (list == 1) return m->device;
    if (offers_windowed(m)) return m->windowed ? 0 : m->mode + 1;
    return m->mode;
}

void card3d_dialog_choose(card3d_dialog_model* m, int list, int index) {
    if (index < 0 || index == card3d_dialog_selected(m, list) || index >= static_cast<int>(card3d_dialog_list(m, list).size()))
        return;
    m->changed = 1;
    if (list == 0) {
        m->driver = index;
        m->device = model_driver(m)->current_device;
        take_device(m);
    } else if (list == 1) {
        m->device = index;
        take_device(m);
    } else if (offers_windowed(m) && index == 0) {
        m->windowed = 1;
    } else {
        m->windowed = 0;
        m->mode = offers_windowed(m) ? index - 1 : index;
    }
}

int card3d_dialog_ok(card3d_dialog_model* m) {
    if (!m->changed) return 2;
    card3d_framework().current_driver = m->driver;
    card3d_driver* driver = model_driver(m);
    if (driver) driver->current_device = m->device;
    if (card3d_device_record* device = model_device(m)) {
        device->current_mode = m->mode;
        device->windowed = m->windowed;
    }
    return 1;
}

namespace {

struct dialog_view_model {
    card3d_dialog_model model;
    std::vector<std::string> texts;
};

int view_count(void* p, int list) {
    auto* v = static_cast<dialog_view_model*>(p);
    return static_cast<int>(card3d_dialog_list(&v->model, list).size());
}

const char* view_text(void* p, int list, int index) {
    auto* v = static_cast<dialog_view_model*>(p);
    v->texts = card3d_dialog_list(&v->model, list);
    return index >= 0 && index < static_cast<int>(v->texts.size()) ? v->texts[index].c_str() : "";
}

int view_selected(void* p, int list) { return card3d_dialog_selected(&static_cast<dialog_view_model*>(p)->model, list); }

void view_choose(void* p, int list, int index) {
    card3d_dialog_choose(&static_cast<dialog_view_model*>(p)->model, list, index);
}

}  // namespace

int card3d_driver_dialog(int windowed) {
    dialog_view_model view{};
    card3d_dialog_open(&view.model, windowed);
    const plat_card_dialog_model exposed{&view, view_count, view_text, view_selected, view_choose};
    const int answer = plat_card_dialog_show(&exposed);
    if (answer < 0) return -1;
    return answer == 1 ? card3d_dialog_ok(&view.model) : 2;
}
