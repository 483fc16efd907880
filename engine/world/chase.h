// Chase type codes and their keywords (with the optional "_FALL<height>" suffix), and the chase
// steps of dynamic objects and cameras.
#pragma once
#include <string>

#include "world/records.h"

enum chase_type_code { NO_CHASE = 0, CHASE_LOCATION = 2, CHASE_PRECISE = 3, CHASE_FLEXIBLE = 4,
                       CHASE_PHYSICS = 9, CHASE_TRACK = 135, CHASE_TRACK_AIRPLANE = 136 };

int chase_convert_string_to_number(const char* text, double* height, int* fall_flag);
std::string chase_convert_number_to_string(int code, int fall_flag, double height);

// The settings of a chase part a file or a group keeps: name, offset, type keyword, softness and
// distance.
void chase_copy_settings(chase_part& to, const chase_part& from);
// One target at a time: the given one (the others NULL), its name copied into the chase name.
void chase_set_target(chase_part& chase, camera* target_camera, dynamic_object* target_object, group* target_group,
                      const char* target_name);
// A new type code with its keyword (the fall suffix from the flag and height); false when the
// type is the one set already.
bool chase_set_type(chase_part& chase, int type, int fall_flag, double fall_height);

// The steps of a dynamic object, one per chase type.
void dynamic_trace_location(dynamic_object* d);
void dynamic_trace_precise(dynamic_object* d);
void dynamic_trace_track(dynamic_object* d);
void dynamic_trace_track_airplane(dynamic_object* d);
void dynamic_trace_physics(dynamic_object* d);
// The steps of a camera.
void camera_trace_location(camera* c);
void camera_trace_precise(camera* c);
void camera_trace_flexible(camera* c);
void camera_trace_track(camera* c);
// Moves from `from` toward `to`, bouncing off what it hits; returns the distance left (0 at the end).
double dynamic_move_according_to_physics_recursive(dynamic_object* d, vec3& from, vec3& to, double remaining,
                                                   int depth);
