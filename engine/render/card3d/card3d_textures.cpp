// The card's textures: each bitmap fitted to the card's limits (a "_3d" copy when its sides must
// change, or a hand-made "<name>_3d.bmp"), uploaded through a texture container, released with it.
#include <algorithm>
#include <string>
#include <vector>

#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "render/card3d/card3d.h"
#include "render/card3d/card3d_device.h"
#include "render/card3d/card3d_framework.h"
#include "render/images/bitmap_texture.h"
#include "render/images/jbm.h"
#include "world/engine_state.h"

namespace {

void report(const char* text) {
    if (card3d_report_errors()) report_error(1, text);
}

bool power_of_two(int side) { return side > 0 && (side & (side - 1)) == 0; }

std::string image_name(const bitmap_texture* b) { return b->image.name ? b->image.name : ""; }

// The hand-made copy beside the bitmap, loaded as a bitmap of its own; nullptr when there is none.
bitmap_texture* hand_made_copy(bitmap_texture* b, bool* failed) {
    const std::string path = image_name(b) + "_3d.bmp";
    *failed = false;
    if (!plat_file_exists(path)) return nullptr;
    bitmap_texture* copy = bitmap_texture_create(&engine_state.bitmaps, path.c_str(), b->image.transparent_index);
    *failed = copy == nullptr;
    return copy;
}

}  // namespace

int card3d_create_bitmap_according_to_card_limitations(bitmap_texture* b, bitmap_texture** copy) {
    *copy = nullptr;
    const plat_card_caps& caps = card3d().caps;
    const int e = bitmap_texture_get_power_of_two_number(caps.max_texture, 64);
    const int f = bitmap_texture_get_power_of_two_number(caps.min_texture, 16);
    if (e < f || e <= 0) {
        report("card3d_create_bitmap_according_to_card_limitations: This card has weird texture limits !");
        return -1;
    }
    int width = bitmap_texture_get_power_of_two_number(b->image.first_width, 32);
    int height = bitmap_texture_get_power_of_two_number(b->image.first_height, 32);
    const int aspect = caps.max_aspect;
    if (aspect > 0 && height > 0 && width > 0) {
        if (aspect < width / height) width = aspect * height;
        else if (aspect < height / width) height = aspect * width;
    }
    width = std::clamp(width, f, e);
    height = std::clamp(height, f, e);
    if (caps.square_only) width = height = std::max(width, height);
    if (width == b->image.width && height == b->image.height) return 0;
    bitmap_texture* made = bitmap_texture_duplicate(&engine_state.bitmaps, b, width, height);
    if (!made) return -1;
    const char* failure = nullptr;
    if (width < caps.min_texture || width > caps.max_texture || height < caps.min_texture ||
        height > caps.max_texture) {
        failure = "card3d_create_bitmap_according_to_card_limitations: This card has weird texture limits 2!";
    } else if (!power_of_two(made->image.width) || !power_of_two(made->image.height)) {
        failure = "card3d_create_bitmap_according_to_card_limitations: Internal error. texters are not in the power of 2!";
    }
    if (failure || set_jbm_info_name(&made->image, (image_name(b) + "_3d").c_str()) != 0) {
        if (failure) report(failure);
        bitmap_texture_delete(&engine_state.bitmaps, made);
        return -1;
    }
    *copy = made;
    return 0;
}

int card3d_load_a_bitmap(bitmap_texture* b) {
    if (!b || !card3d().mode) return -1;
    bitmap_texture* copy = b->card_copy;
    if (!copy) {
        bool failed = false;
        copy = hand_made_copy(b, &failed);
        if (failed) {
            report("card3d_load_a_bitmap: failed loading the _3d.bmp version");
            return -1;
        }
        if (!copy && card3d_create_bitmap_according_to_card_limitations(b, &copy) != 0) {
            report("card3d_load_a_bitmap: resampling bitmap for 3D card failed");
            return -1;
        }
        if (copy) {
            b->card_copy = copy;
            copy->card_source = b;
        }
    }
    bitmap_texture* source = copy ? copy : b;
    const std::string name = image_name(source);
    const int flags = b->image.transparent_index >= 0 ? card3d_container_flags::transparent_black : 0;
    card3d_container* container = card3d_container_for(name.c_str(), 0, flags, source);
    if (!container) {
        report("card3d_load_a_bitmap: problems with loading bitmap into the 3d card");
        if (card3d_report_errors()) engine_log_printf("\tbitmap= %s\n", name.c_str());
        return -1;
    }
    card3d_device_scope scope;
    if (card3d_container_restore(container) != 0) {
        report("card3d_load_a_bitmap: Failed to restore texture");
        return -1;
    }
    b->card_texture = container;
    return 0;
}

void card3d_load_bitmaps() {
    std::vector<bitmap_texture*> wanted;
    for (bitmap_texture* b = engine_state.bitmaps; b; b = b->next) {
        if (b->card_source) continue;  // a card copy is loaded for its source
        if (card3d_settings().reload_new_only && b->card_texture) continue;
        wanted.push_back(b);
    }
    if (wanted.empty()) return;
    set_log_window_caption("3D Graphics card");
    set_log_window_target(static_cast<int>(wanted.size()));
    int done = 0;
    for (bitmap_texture* b : wanted) {
        if (card3d_load_a_bitmap(b) != 0 && card3d_report_errors())
            report_errorf("card3d_load_bitmaps: failed loading bitmap %s\n", b->image.name ? b->image.name : "");
        set_log_window_progress(++done);
    }
    set_log_window_caption("General");
    if (engine_g().log_window) plat_window_minimize(engine_g().log_window);
}

void card3d_release_bitmap(bitmap_texture* b) {
    if (!b) return;
    card3d_containers_forget(b);
    // The source of a copy drew with the copy's container, which is gone now.
    if (b->card_source) b->card_source->card_texture = nullptr;
    b->card_texture = nullptr;
}
