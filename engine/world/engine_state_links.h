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

// Parts that keep links to world entities from outside the world (the sound manager); an unset
// hook does nothing.
struct world_link_hooks {
    // An object, polygon or group is about to be freed; NULL when the whole world closes.
    void (*entity_freed)(const void* entity);
    // A world has been read and digested: its entities can be found by name.
    void (*world_digested)();
};
world_link_hooks& world_link_hooks_state();
void world_links_entity_freed(const void* entity);
void world_links_world_digested();
