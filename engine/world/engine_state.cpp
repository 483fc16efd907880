// The engine state record: its reset, the load flags, the accessors and the counts over the world.
#include "world/engine_state.h"

#include <cmath>
#include <cstring>

#include "foundation/dictionary.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "world/camera.h"
#include "world/colour.h"
#include "world/group.h"
#include "world/polygon.h"
#include "world/world_order.h"

engine_state_record engine_state;

namespace {

bool state_initialized = false;
bool scratch = false;

void set_reset_values(int editor_mode) {
    engine_state_record& s = engine_state;
    s.editor_mode = editor_mode ? 1 : 0;
    s.zbuffer_state = 1;
    s.card_width = 640;
    s.card_height = 480;
    s.card_depth = 16;
    jstrcpy_with_allocating(&s.bitmaps_directory, "bitmaps");
    s.bsp_for_main = 1;
    s.power_of_two_bitmaps = 1;
    s.power_of_two_rounding = 32;
    s.mipmap_factor = 1.0;
    s.default_point_red = 255;
    s.default_point_green = 255;
    s.default_point_blue = 255;
    s.default_point_colour = -1;
    s.default_point_brightness = 1.0;
    s.default_atmosphere_red = s.atmosphere_red = s.background_red = 160;
    s.default_atmosphere_green = s.atmosphere_green = s.background_green = 160;
    s.default_atmosphere_blue = s.atmosphere_blue = s.background_blue = 170;
    s.background_pixel = rgb_to_pixel(160, 160, 170);
    s.atmospheric_intensity = 0.01;
    s.culling_depth = 32;
    s.far_objects_accuracy = 30;
    s.perspective_automatic = 1;
    s.span_length = 8;
    s.span_length_log2 = 3;
    s.span_reciprocal = 0.125;
    s.perspective_accuracy = 0.1;
    s.minimum_render_time = 2;
    s.maximum_render_time = 1000000;
    s.time_based_animation = 1;
    s.time_based_objects = 1;
    s.time_based_cameras = 1;
    s.reserved_direction[0] = s.reserved_direction[2] = -1.0 / std::sqrt(2.0);
    s.reserved_pair[0] = s.reserved_pair[1] = 25.6;
    s.advance_objects = 1;
    s.advance_cameras = 1;
    s.red_bits = 5;
    s.green_bits = 6;
    s.blue_bits = 5;
}

void set_grey_points(int grey, double brightness) {
    engine_state.default_point_red = engine_state.default_point_green = engine_state.default_point_blue = grey;
    engine_state.default_point_colour = grey | grey << 8 | grey << 16;
    engine_state.default_point_brightness = brightness;
}

}  // namespace

void engine_state_reset(int editor_mode) {
    engine_state_release();
    std::memset(&engine_state, 0, sizeof engine_state);
    set_reset_values(editor_mode);
    engine_state.name_dictionary = dictionary_init();
    if (!scratch) reset_polygon_counters();
}

void engine_state_release() {
    if (engine_state.name_dictionary) dictionary_free(engine_state.name_dictionary);
    engine_state.name_dictionary = nullptr;
    for (char** owned : {&engine_state.world_directory, &engine_state.bitmaps_directory,
                         &engine_state.world_file_name, &engine_state.last_main_module_name}) {
        *owned = static_cast<char*>(engine_free(*owned));
    }
}

void engine_state_start(int editor, int red_bits, int green_bits, int blue_bits, int keep_bitmaps) {
    state_initialized = true;
    bitmap_texture* const bitmaps = keep_bitmaps ? engine_state.bitmaps : nullptr;
    engine_state_reset(editor);
    engine_state.bitmaps = bitmaps;
    engine_state.red_bits = red_bits;
    engine_state.green_bits = green_bits;
    engine_state.blue_bits = blue_bits;
    // The pixel format belongs to the live world; a scratch load keeps it.
    if (!scratch) set_pixel_format_bits(red_bits, green_bits, blue_bits);
    engine_state.background_pixel = rgb_to_pixel(160, 160, 170);
}

int engine_state_was_initialized() { return state_initialized ? 1 : 0; }

void engine_apply_load_flags(uint32_t flags) {
    engine_state_record& s = engine_state;
    if (flags & (load_flags::mipmaps_sharp | load_flags::mipmaps_soft | load_flags::mipmaps_plain)) {
        s.mipmaps = 1;
        if (flags & load_flags::mipmaps_plain) {
            s.mipmap_bias = 0.0;
            s.mipmap_factor = 1.0;
        } else if (flags & load_flags::mipmaps_sharp) {
            s.mipmap_bias = -1.0;
            s.mipmap_factor = 0.5;
        } else {
            s.mipmap_bias = 1.0;
            s.mipmap_factor = 2.0;
        }
    }
    if (flags & (load_flags::power_of_two_up | load_flags::power_of_two_nearest | load_flags::power_of_two_down)) {
        s.power_of_two_bitmaps = 1;
        if (flags & load_flags::power_of_two_down) {
            s.power_of_two_rounding = 64;
        } else if (flags & load_flags::power_of_two_up) {
            s.power_of_two_rounding = 16;
        } else {
            s.power_of_two_rounding = 32;
        }
    }
    if (flags & load_flags::dark_grey_points) {
        set_grey_points(116, 0.6);
    } else if (flags & load_flags::grey_points) {
        set_grey_points(146, 0.75);
    }
    if (flags & load_flags::bsp_for_others) s.bsp_for_others = 1;
    if (flags & load_flags::no_bsp_for_main) s.bsp_for_main = 0;
    if (flags & load_flags::read_only_bitmaps) s.read_only_bitmaps = 1;
    if (flags & load_flags::no_bitmaps) s.no_bitmaps = 1;
    if ((flags & load_flags::zbuffer_off) && !(flags & load_flags::editor)) s.zbuffer_state = 0;
    if (s.zbuffer_state == 0) s.bsp_for_others = 1;
}

bool engine_state_is_scratch() { return scratch; }
void engine_state_set_scratch(bool on) { scratch = on; }

int engine_set_last_main_module_name(const char* name) {
    engine_state.last_main_module_name = static_cast<char*>(engine_free(engine_state.last_main_module_name));
    if (name && !jstrcpy_with_allocating(&engine_state.last_main_module_name, name)) {
        report_error(1, "engine_set_last_main_module_name: cant alloc mem\n");
        return -1;
    }
    return 0;
}

int engine_set_world_file_name(const char* name) {
    engine_state.world_file_name = static_cast<char*>(engine_free(engine_state.world_file_name));
    if (name && !jstrcpy_with_allocating(&engine_state.world_file_name, name)) return -1;
    return 0;
}

struct module* get_modules_list() { return engine_state.modules; }
struct module* get_main_module() { return engine_state.main_module; }
dynamic_object* get_dynamic_objects() { return engine_state.dynamic_objects; }
dynamic_object* engine_get_player_object() { return engine_state.player_object; }
group* get_groups_list() { return engine_state.groups; }
jtrack* get_tracks_list() { return engine_state.tracks; }
light* get_lights_list() { return engine_state.lights; }
animation* get_animations_list() { return engine_state.animations; }
camera* get_cameras_list() { return engine_state.cameras; }
background* get_backgrounds_list() { return engine_state.backgrounds; }
bitmap_texture* get_bitmaps_list() { return engine_state.bitmaps; }

camera* get_current_camera() {
    camera* c = engine_state.current_camera;
    if (c && !c->matrices_valid) camera_mark_rebuilt(c);
    return c;
}

void set_current_camera(camera* c) {
    if (c) engine_state.current_camera = c;
}

void engine_set_group_to_render(group* g) { engine_state.group_to_render = g; }

void engine_clear_visit_flags() {
    for (camera* c = engine_state.cameras; c; c = c->next) c->visit_flag = 0;
    for (animation* a = engine_state.animations; a; a = a->next) a->visit_flag = 0;
    for (jtrack* t = engine_state.tracks; t; t = t->next) t->visit_flag = 0;
    for (background* b = engine_state.backgrounds; b; b = b->next) b->visit_flag = 0;
    for (light* l = engine_state.lights; l; l = l->next) l->visit_flag = 0;
}

void engine_compute_fog_distance() {
    double sum = 0;
    int count = 0;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (p->fade_distance > 1000000) continue;
        sum += p->fade_distance;
        count++;
    }
    engine_state.fog_range = count ? sum / count : 1e100;
}

int count_world_polygons() {
    int n = 0;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) n++;
    return n;
}

int animation_count_polygons(const animation* a) {
    int n = 0;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (p->bitmap_is_animation && p->anim == a) n++;
    }
    return n;
}

int group_sum_polygon_counts(const group* g) {
    int n = 0;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (group_is_included(p->owner_group, g)) n += p->point_count;
    }
    return n;
}
