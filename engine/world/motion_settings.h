// The motion settings a dynamic object shares with the group that stands for it in the editor.
#pragma once
#include <algorithm>

#include "world/chase.h"
#include "world/track.h"

// Copies the track and chase, the fall, speed, force, limits, rotation and control.
template <typename To, typename From>
void copy_motion_settings(To& to, const From& from) {
    track_copy_settings(to.track, from.track);
    chase_copy_settings(to.chase, from.chase);
    to.fall_flag = from.fall_flag;
    to.fall_height = from.fall_height;
    to.fall_from_track = from.fall_from_track;
    std::copy_n(from.speed, 3, to.speed);
    to.absolute_speed = from.absolute_speed;
    std::copy_n(from.force, 3, to.force);
    to.max_speed = from.max_speed;
    to.friction = from.friction;
    to.elasticity = from.elasticity;
    std::copy_n(from.rotation, 3, to.rotation);
    to.rotation_space = from.rotation_space;
    to.control = from.control;
}
