// Resolving the names a world file gives (tracks and chase targets) to records after reading.
#pragma once
#include "world/records.h"

// 0, or -1 at the first object (or son) whose track is missing.
int connect_tracks_to_dynamic_objects(dynamic_object* objects, jtrack* tracks);
// 0, or -1 at the first camera whose track is missing.
int connect_tracks_to_cameras(camera* cameras, jtrack* tracks);
// Every target is tried; -1 when any is missing.
int connect_chase_objects(dynamic_object* objects, camera* cameras);
jtrack* track_find_by_name(jtrack* list, const char* name);
