// Keyboard navigation: key commands, the ship and car movers of the player objects, and the
// camera movers of the camera modes.
#include "render/software/navigation.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "foundation/errors.h"
#include "foundation/files.h"
#include "platform/keys.h"
#include "platform/msgbox.h"
#include "platform/numbers.h"
#include "render/engine_settings.h"
#include "world/camera.h"
#include "world/collision.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"

namespace texts = navigation_texts;

namespace {

// Arrow keys: vertical input 3 up, 4 down; horizontal 1 left, 2 right; 0 none.
constexpr int input_up = 3, input_down = 4, input_left = 1, input_right = 2;
// Type codes of dynamic objects the movers know.
constexpr int type_ship = 1, type_back_wheel = 3, type_front_wheel = 4;
constexpr double pitch_limit = 0.4, bank_limit = 0.4, level_step = 0.01, turn_limit = 0.1;
constexpr double camera_distance = 500;
constexpr double trace_softness = 0.08;
constexpr double car_maximum = 16, wheel_radius_factor = 3, turning_factor = 12;

struct navigation_state {
    std::unique_ptr<keyboard_navigation> object;
    int mode = 0;
};

navigation_state& state() {
    static navigation_state s;
    return s;
}

void report(const char* text) {
    if (navigation_report_errors()) report_error(1, text);
}

bool key_down(int vk) { return (plat_get_async_key_state(vk) & 0x8000) != 0; }
bool key_pressed(int vk) { return (plat_get_async_key_state(vk) & 1) != 0; }

int vertical_input() { return key_down(PLAT_VK_UP) ? input_up : key_down(PLAT_VK_DOWN) ? input_down : 0; }
int horizontal_input() { return key_down(PLAT_VK_LEFT) ? input_left : key_down(PLAT_VK_RIGHT) ? input_right : 0; }

void beep_blocked() { jbeep(5000, 1); }

// One step of b toward a, never past it: away from level by (0.4 - |b|) x 0.01, toward it by 0.01.
double step_toward(double b, double a) {
    if (a == b) return b;
    const bool away = (a > b) == (b >= 0);
    const double step = away ? std::max(0.0, (pitch_limit - std::fabs(b)) * level_step) : level_step;
    return a > b ? std::min(a, b + step) : std::max(a, b - step);
}

// The object goes speed units along its negative x axis when nothing stands in the way.
void advance_object(dynamic_object* d) {
    const vec3 from = dynamic_get_location(d);
    vec3 to = dynamic_get_x_axis(d);
    vec_scale(to, -d->absolute_speed, to);
    vec_add(to, from);
    collision_hit hit;
    if (is_movement_possible(d, from, to, hit)) {
        dynamic_move(d, {-d->absolute_speed, 0, 0}, space_object);
        return;
    }
    d->absolute_speed = 0;
    beep_blocked();
}

vec3 get_wanted_direction(const keyboard_navigation_world& n, const vec3& current, int vertical, int horizontal) {
    vec3 wanted{1, 1, 0.4};
    if (n.active) {
        wanted = current;
        if (horizontal == input_left) wanted = {-current.y, current.x, 0};
        if (horizontal == input_right) wanted = {current.y, -current.x, 0};
        wanted.z = vertical == input_up ? -1 : vertical == input_down ? 1 : 0;
    }
    if (vec_normalize(wanted) != 0) {
        report(texts::wanted_failed);
        return current;
    }
    return wanted;
}

void pitch_turn_toward(dynamic_object* d, const vec3& current, const vec3& wanted) {
    const double target = std::clamp(wanted.z, -pitch_limit, pitch_limit);
    const double moved = step_toward(current.z, target);
    dynamic_rotate_y(d, safe_asin(moved) - safe_asin(current.z), space_object);
}

// The bank the turn asks for: the horizontal angle to the wanted direction, signed by its side.
bool wanted_bank(const vec3& current, const vec3& wanted, double& bank) {
    vec3 c{current.x, current.y, 0}, w{wanted.x, wanted.y, 0};
    if (vec_normalize(c) != 0) {
        report(texts::current_vertical);
        return false;
    }
    if (vec_normalize(w) != 0) {
        report(texts::wanted_vertical);
        return false;
    }
    const double angle = std::min(safe_acos(vec_dot(c, w)), turn_limit);
    const double side = c.x * w.y - c.y * w.x >= 0 ? 1 : -1;
    bank = std::clamp(side * angle * 10, -bank_limit, bank_limit);
    return true;
}

void roll_toward(dynamic_object* d, const vec3& current, const vec3& wanted) {
    double target = 0;
    if (!wanted_bank(current, wanted, target)) return;
    const double c = dynamic_get_y_axis(d).z;
    const double q = step_toward(c, target);
    const double angle = safe_acos(safe_sqrt(1 - q * q) * safe_sqrt(1 - c * c) + c * q);
    dynamic_rotate_x(d, q < c ? -angle : angle, space_object);
}

void move_object_ship_style(const keyboard_navigation_world& n, dynamic_object* d) {
    d->absolute_speed = navigation_speed_step(d->absolute_speed, n.space_held, 1, 48, 0.92, 0.8);
    advance_object(d);
    const vec3 current = dynamic_get_direction(d);
    const vec3 wanted = get_wanted_direction(n, current, vertical_input(), horizontal_input());
    const double bank = dynamic_get_y_axis(d).z;
    pitch_turn_toward(d, current, wanted);
    roll_toward(d, current, wanted);
    dynamic_rotate_z(d, turn_limit * bank, space_world);
}

// Turns the front wheels with the left and right keys, back toward straight without them; gives
// how far the last wheel stands turned.
double steer_front_wheels(dynamic_object* d, int horizontal) {
    double s = 0;
    for (dynamic_object* w = dynamic_get_first_direct_son(d); w; w = dynamic_get_next_direct_son(d, w)) {
        if (w->reserved != type_front_wheel) continue;
        vec3 y;
        vec_mul_rotation(y, dynamic_get_y_axis(w), d->axis_system);
        s = vec_dot(y, dynamic_get_x_axis(d));
        double turn = s * d->absolute_speed / 6 / car_maximum;
        if (horizontal == input_left) turn = s >= -0.8 ? 0.1 : 0;
        if (horizontal == input_right) turn = s <= 0.8 ? -0.1 : 0;
        dynamic_rotate_z(w, turn, space_world);
    }
    return s;
}

void spin_wheels(dynamic_object* d) {
    for (dynamic_object* w = dynamic_get_first_direct_son(d); w; w = dynamic_get_next_direct_son(d, w)) {
        if (w->reserved == type_back_wheel || w->reserved == type_front_wheel)
            dynamic_rotate_y(w, -(d->absolute_speed / car_maximum * wheel_radius_factor), space_object);
    }
}

void move_object_car_style(const keyboard_navigation_world& n, dynamic_object* d) {
    d->absolute_speed = navigation_speed_step(d->absolute_speed, n.space_held, 0.1, car_maximum, 0.98, 0.2);
    advance_object(d);
    const int horizontal = horizontal_input();
    const double s = steer_front_wheels(d, horizontal);
    const double steer = horizontal == input_right ? 0.2 : horizontal == input_left ? -0.2 : s;
    dynamic_rotate_z(d, -d->absolute_speed * steer / (car_maximum * turning_factor), space_object);
    spin_wheels(d);
}

void move_player_objects(const keyboard_navigation_world& n) {
    if (engine_is_freeze_mode() || n.camera_mode == navigation_camera_free_flight) return;
    for (dynamic_object* d = engine_state.dynamic_objects; d; d = d->next) {
        if (d->control != 1) continue;
        // Planes fly as ships and cars drive, unless the styles are swapped.
        if ((d->reserved == type_ship) != (n.style_swapped != 0)) move_object_ship_style(n, d);
        else move_object_car_style(n, d);
    }
}

// Levels out a rate with no key: at once when small, a tenth a frame otherwise.
double level_rate(double b) { return std::fabs(b) < 0.01 ? -b : -0.1 * b; }

double tilt_rate(double b, int vertical) {
    if (vertical == input_up) return b > -0.5 ? (-b - 1) * 0.02 : 0;
    if (vertical == input_down) return b < 0.5 ? (1 - b) * 0.02 : 0;
    return level_rate(b);
}

double bank_rate(double b, int horizontal) {
    if (horizontal == input_left) return b < 0.4 ? (1 - b) * 0.02 : 0;
    if (horizontal == input_right) return b > -0.4 ? (-b - 1) * 0.02 : 0;
    return level_rate(b);
}

void move_free_camera(const keyboard_navigation_world& n, camera* c) {
    c->absolute_speed = navigation_speed_step(c->absolute_speed, n.space_held, 1, 48, 0.92, 0.8);
    const vec3 from = camera_get_location(c);
    const vec3 to = camera_get_movement_target(c, {-c->absolute_speed, 0, 0}, camera_space);
    collision_hit hit;
    if (is_movement_possible(nullptr, from, to, hit)) {
        camera_set_location(c, to);
    } else {
        c->absolute_speed = 0;
        beep_blocked();
    }
    vec3 x, y, z;
    camera_get_axes(c, x, y, z);
    camera_rotate_y(c, tilt_rate(camera_get_direction(c).z, vertical_input()), camera_space);
    camera_rotate_x(c, bank_rate(y.z, horizontal_input()), camera_space);
    camera_get_axes(c, x, y, z);
    camera_rotate_z(c, 0.1 * y.z, 0);
    camera_mark_rebuilt(c);
}

vec3 behind(const dynamic_object* player) {
    vec3 at = dynamic_get_x_axis(player);
    vec_scale(at, camera_distance, at);
    vec_add(at, dynamic_get_location(player));
    return at;
}

void trace_ship_flexible(camera* c, const dynamic_object* player) {
    vec3 x, y, z;
    camera_get_axes(c, x, y, z);
    const vec3 player_x = dynamic_get_x_axis(player);
    vec3 wanted = player_x;
    vec_scale(wanted, trace_softness, wanted);
    vec_add(wanted, x);
    if (vec_normalize(wanted) != 0) {
        report(texts::trace_failed);
        wanted = player_x;
    }
    if (repair_basis(wanted, y, z) == 0) camera_set_axes(c, wanted, y, z);
    camera_get_axes(c, x, y, z);
    camera_rotate_x(c, trace_softness * vec_dot(z, dynamic_get_y_axis(player)), camera_space);
    camera_set_location(c, behind(player));
}

void move_navigation_camera(keyboard_navigation_world& n) {
    camera* c = get_current_camera();
    if (!c || engine_is_freeze_mode() || n.camera_mode == navigation_camera_free_placed) return;
    const dynamic_object* player = engine_get_player_object();
    if (!player || n.camera_mode == navigation_camera_free_flight) {
        move_free_camera(n, c);
        return;
    }
    if (n.camera_mode == navigation_camera_beside) {
        if (n.mode_changed) camera_set_axes(c, {1, 0, 0}, {0, 1, 0}, {0, 0, 1});
        n.mode_changed = 0;
        vec3 at = dynamic_get_location(player);
        vec_add(at, {camera_distance, 0, 20});
        camera_set_location(c, at);
        return;
    }
    if (n.camera_mode == navigation_camera_behind || n.mode_changed) {
        vec3 x, y, z;
        dynamic_get_axis_system(player, x, y, z);
        camera_set_axes(c, x, y, z);
        camera_set_location(c, behind(player));
        n.mode_changed = 0;
        return;
    }
    trace_ship_flexible(c, player);
}

void change_camera_mode(keyboard_navigation_world& n) {
    switch (n.camera_mode) {
    case navigation_camera_beside: n.camera_mode = navigation_camera_follow; break;
    case navigation_camera_follow: n.camera_mode = navigation_camera_free_placed; break;
    case navigation_camera_free_placed: n.camera_mode = navigation_camera_free_flight; break;
    case navigation_camera_free_flight: n.camera_mode = navigation_camera_beside; break;
    default: report(texts::bad_mode); return;
    }
    n.mode_changed = 1;
}

void show_locations(const camera* first) {
    if (!navigation_report_errors()) return;
    const vec3 c = first ? camera_get_location(first) : vec3{0, 0, 0};
    std::string text = plat_format(texts::camera_line, c.x, c.y, c.z);
    if (const dynamic_object* player = engine_get_player_object()) {
        const vec3 p = dynamic_get_location(player);
        text = plat_format(texts::player_line, p.x, p.y, p.z) + text;
    }
    plat_message_box(texts::note_caption, text.c_str(), PLAT_ICON_INFO, PLAT_BUTTONS_OK);
}

void do_key_command(keyboard_navigation_world& n, int code, camera* first) {
    switch (code) {
    case '1': engine_log_write(texts::log_mark); break;
    case '2': show_locations(first); break;
    case 'P': n.style_swapped = !n.style_swapped; break;
    case 'a': if (first) camera_widen_field_of_view(first, 5); break;
    case 'z': if (first) camera_narrow_field_of_view(first, 5); break;
    case 'q': if (first) camera_set_field_of_view(first, 90); break;
    case 'e': engine_set_default_far_objects_color_accuracy(); break;
    case 'd': engine_increase_far_objects_color_accuracy(); break;
    case 'c': engine_decrease_far_objects_color_accuracy(); break;
    case 'y': engine_set_default_atmospheric_effect_intensity(); break;
    case 'h': engine_increase_atmospheric_effect_intensity(); break;
    case 'n': engine_decrease_atmospheric_effect_intensity(); break;
    case 'u': engine_set_default_brightness(); break;
    case 'j': engine_increase_brightness(); break;
    case 'm': engine_decrease_brightness(); break;
    case 'w': engine_set_default_culling_depth(); break;
    case 's': engine_increase_culling_depth(); break;
    case 'x': engine_decrease_culling_depth(); break;
    case 'i': engine_toggle_perspective_correction_accuracy(); break;
    case 'k': engine_toggle_automatic_perspective_correction(); break;
    case 'o': change_camera_mode(n); break;
    case 'p': engine_toggle_freeze_mode(); break;
    case navigation_function_key + PLAT_VK_F1: toggle_debug_drawing_mode(); break;
    case navigation_function_key + PLAT_VK_F1 + 1: engine_set_normal_rendering_mode(); break;
    case navigation_function_key + PLAT_VK_F1 + 2: engine_toggle_rendering_mode(); break;
    case navigation_function_key + PLAT_VK_F1 + 3: engine_toggle_wire_frame_flag(); break;
    case navigation_function_key + PLAT_VK_F1 + 4: engine_toggle_atmospheric_effect(); break;
    default: break;
    }
}

// The command keys pressed since the last poll, coded for handle_key. Keys pressed while Alt or
// Ctrl is down belong to the render's hot keys and are dropped.
void take_command_keys(keyboard_navigation& n) {
    const bool chord = key_down(PLAT_VK_MENU) || key_down(PLAT_VK_CONTROL);
    const bool shift = key_down(PLAT_VK_SHIFT);
    for (int vk = PLAT_VK_0; vk <= PLAT_VK_0 + 9; ++vk) {
        if (key_pressed(vk) && !chord) n.handle_key(vk);
    }
    for (int vk = PLAT_VK_A; vk < PLAT_VK_A + 26; ++vk) {
        if (key_pressed(vk) && !chord) n.handle_key(shift ? vk : vk - 'A' + 'a');
    }
    for (int vk = PLAT_VK_F1; vk < PLAT_VK_F1 + 5; ++vk) {
        if (key_pressed(vk) && !chord) n.handle_key(navigation_function_key + vk);
    }
}

}  // namespace

keyboard_navigation_world::keyboard_navigation_world(const char* first_path, const char* second)
    : world_file_name(first_path ? first_path : ""), second_path(second ? second : "") {}

int keyboard_navigation_world::start(const char*) {
    active = 1;
    camera_mode = navigation_camera_beside;
    return 0;
}

void keyboard_navigation_world::poll() {
    take_command_keys(*this);
    space_held = key_down(PLAT_VK_SPACE) ? 1 : 0;
    move_player_objects(*this);
    move_navigation_camera(*this);
}

int keyboard_navigation_world::stop() { return 0; }

void keyboard_navigation_world::handle_key(int code) { do_key_command(*this, code, engine_state.cameras); }

int& navigation_report_errors() {
    static int flag = 1;
    return flag;
}

double navigation_speed_step(double speed, bool accelerating, double step, double maximum, double decay,
                             double floor) {
    if (accelerating) return std::min(speed + step, maximum);
    const double slower = speed * decay;
    return slower < floor ? 0 : slower;
}

void navigation_make(const char* world_folder, const char* bitmaps_folder) {
    navigation_free();
    state().object = std::make_unique<keyboard_navigation_world>(world_folder, bitmaps_folder);
    state().mode = 1;
}

void navigation_free() {
    navigation_state& s = state();
    if (s.object) s.object->stop();
    s.object.reset();
    s.mode = 0;
}

void navigation_start(const char* world_file) {
    if (state().object && world_file) state().object->start(world_file);
}

int navigation_mode() { return state().mode; }

keyboard_navigation* navigation_object() { return state().object.get(); }

int navigation_poll() {
    navigation_state& s = state();
    if (s.mode == 0) return 0;
    if (!s.object) return -1;
    s.object->poll();
    return 0;
}
