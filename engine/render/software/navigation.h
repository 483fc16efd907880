// Keyboard navigation: the player objects and the current camera driven by the arrow keys and the
// space bar once a frame, and single keys bound to engine settings.
#pragma once
#include <string>

#include "world/records.h"

// Camera modes: 1 beside the player, 4 following it, 3 left where the program put it, 5 free flight.
inline constexpr int navigation_camera_beside = 1;
inline constexpr int navigation_camera_behind = 2;
inline constexpr int navigation_camera_free_placed = 3;
inline constexpr int navigation_camera_follow = 4;
inline constexpr int navigation_camera_free_flight = 5;

// Function keys reach handle_key as this plus their virtual-key code.
inline constexpr int navigation_function_key = 1024;

class keyboard_navigation {
public:
    virtual ~keyboard_navigation() = default;
    virtual int start(const char* world_file) = 0;
    virtual void poll() = 0;
    virtual int stop() = 0;
    virtual void handle_key(int code) = 0;
};

// The one implementation; its state is open to the engine's tests.
class keyboard_navigation_world : public keyboard_navigation {
public:
    keyboard_navigation_world(const char* first_path, const char* second_path);
    int start(const char* world_file) override;
    void poll() override;
    int stop() override;
    void handle_key(int code) override;

    int space_held = 0;
    std::string world_file_name;
    std::string second_path;
    int reserved = 0;
    int camera_mode = navigation_camera_beside;
    int mode_changed = 0;
    int style_swapped = 0;
    int active = 0;
};

int& navigation_report_errors();

// While the space bar is held: speed + step, at most the maximum; else speed x decay, 0 below the floor.
double navigation_speed_step(double speed, bool accelerating, double step, double maximum, double decay,
                             double floor);

// The engine's navigation: made by a load with flag bit 1, stopped and freed by the next load or
// the close. The mode is 1 while an object exists, else 0.
void navigation_make(const char* world_folder, const char* bitmaps_folder);
void navigation_free();
// After a successful load, with the world file's name.
void navigation_start(const char* world_file);
int navigation_mode();
keyboard_navigation* navigation_object();
// The render's call, once a frame in viewer mode: polls the object; -1 when the mode asks for
// one and there is none.
int navigation_poll();

namespace navigation_texts {
inline constexpr const char* log_mark = "\n\n===================== !!!!!!! ===========\n\n";
inline constexpr const char* note_caption = "Note";
inline constexpr const char* player_line = "player location= (%.2lf  ,  %.2lf  ,  %.2lf)\n";
inline constexpr const char* camera_line = "camera location= (%.2lf  ,  %.2lf  ,  %.2lf)\n";
inline constexpr const char* bad_mode = "change_camera_mode: shouldnt have gotten here";
inline constexpr const char* wanted_failed =
    "get_wanted_direction: Fatal error (probably we are moving up in the direction of 0,0,1 which is not alwed";
inline constexpr const char* current_vertical =
    "get_rotate_x_angle_track: current_dir==(0,0,1) shouldnt have happened !!!, illegal !!!";
inline constexpr const char* wanted_vertical =
    "get_rotate_x_angle_track: wanted_dir==(0,0,1) shouldnt have happened !!!, illegal !!!";
inline constexpr const char* trace_failed = "trace_ship_flexible: error";
}  // namespace navigation_texts
