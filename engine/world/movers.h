// The per-frame movers: one chase step of every dynamic object and camera scaled to real time,
// and the timed events of dynamic objects.
#pragma once
#include "world/records.h"

// One step of one object by its chase type.
void engine_move_dynamic_objects(dynamic_object* d);
// One step of every object that is not disabled and advances automatically, and the frame of
// its 3D animation.
void engine_move_all_dynamic_objects();
// One step of one camera by its chase type.
void engine_move_cameras(camera* c);
void engine_move_all_cameras();
// Runs the event of every object whose deadline has come.
void engine_run_dynamic_events();
// Kind 1 deletes the object, kind 2 disables it; the deadline is cleared once run.
void dynamic_do_event(dynamic_object* d);
