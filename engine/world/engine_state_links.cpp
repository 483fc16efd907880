// Resolving the names a world file gives (tracks and chase targets) to records after reading.
#include "world/engine_state_links.h"

#include "foundation/errors.h"
#include "foundation/strings.h"
#include "world/camera.h"
#include "world/chase.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/track.h"

namespace {

bool no_track_exact(const char* name) { return !name || jstrcmp(name, "NO_TRACK") == 0; }

// Links one object; false (with the two report lines) when its track is missing.
bool link_object_track(dynamic_object* d, const dynamic_object* named, jtrack* tracks) {
    d->track.line = nullptr;
    if (no_track_exact(d->track.name)) return true;
    d->track.line = track_find_by_name(tracks, d->track.name);
    if (d->track.line) return true;
    report_error(1, "connect_tracks_to_dynamic_objects: couldnt find track\n");
    engine_log_printf("\tThe dynamic object name is %s (module=%s). His track is %s\n",
                      named->name ? named->name : "", named->module_name ? named->module_name : "", d->track.name);
    return false;
}

bool is_no_chase(const char* name) { return jstrcmp(name, "NO_CHASE") == 0; }

// The type code from the keyword (and the fall values from its suffix), and the target by the
// chase name: an object by name (or, with `module_names`, by module name), a camera, a group.
// False when the named target is missing.
bool connect_chase(chase_part& chase, double* fall_height, int* fall_flag, dynamic_object* objects, camera* cameras,
                   bool module_names) {
    chase.type = chase_convert_string_to_number(chase.type_string, fall_height, fall_flag);
    chase.chased_camera = nullptr;
    chase.chased_object = nullptr;
    chase.chased_group = nullptr;
    if (!chase.name || is_no_chase(chase.name)) return true;
    if ((chase.chased_object = dynamic_find_by_name(objects, chase.name))) return true;
    if (module_names && (chase.chased_object = dynamic_find_by_module_name(objects, chase.name))) return true;
    if ((chase.chased_camera = camera_find_by_name(cameras, chase.name))) return true;
    return (chase.chased_group = group_find_by_name(engine_state.groups, chase.name)) != nullptr;
}

}  // namespace

jtrack* track_find_by_name(jtrack* list, const char* name) {
    if (!name) return nullptr;
    for (; list; list = list->next) {
        if (list->name && jstrcmp(list->name, name) == 0) return list;
    }
    return nullptr;
}

int connect_tracks_to_dynamic_objects(dynamic_object* objects, jtrack* tracks) {
    for (dynamic_object* d = objects; d; d = d->next) {
        if (!link_object_track(d, d, tracks)) return -1;
        for (dynamic_object* son = d->first_son; son; son = son->next) {
            if (!link_object_track(son, d, tracks)) return -1;
        }
    }
    for (dynamic_object* d = objects; d; d = d->next) {
        d->track.next_point = dynamic_get_next_track_point(d);
        dynamic_update_track_target(d);
    }
    return 0;
}

int connect_tracks_to_cameras(camera* cameras, jtrack* tracks) {
    for (camera* c = cameras; c; c = c->next) {
        c->track.line = nullptr;
        if (!c->track.name || jstricmp(c->track.name, "NO_TRACK") == 0) continue;
        c->track.line = track_find_by_name(tracks, c->track.name);
        if (c->track.line) continue;
        report_error(1, "connect_tracks_to_cameras: couldnt find track\n");
        engine_log_printf("\tThe camera name is %s . His track is %s\n", c->name ? c->name : "", c->track.name);
        return -1;
    }
    for (camera* c = cameras; c; c = c->next) {
        if (!c->track.line) continue;
        c->track.next_point = camera_get_next_track_point(c);
        for (int k = 0; k < 3; ++k) c->track.target[k] = c->location[k];
    }
    return 0;
}

int connect_chase_objects(dynamic_object* objects, camera* cameras) {
    int result = 0;
    for (dynamic_object* d = objects; d; d = d->next) {
        if (connect_chase(d->chase, &d->fall_height, &d->fall_flag, objects, cameras, true)) continue;
        report_errorf("connect_chase_objects: dynamic object %s couldnt find object %s (for chasing)\n",
                      d->name ? d->name : "", d->chase.name);
        result = -1;
    }
    for (camera* c = cameras; c; c = c->next) {
        if (connect_chase(c->chase, &c->fall_height, &c->fall_flag, objects, cameras, false)) continue;
        report_errorf("connect_chase_objects: camera %s couldnt find object %s (for chasing)\n",
                      c->name ? c->name : "", c->chase.name);
        result = -1;
    }
    return result;
}

world_link_hooks& world_link_hooks_state() {
    static world_link_hooks hooks{};
    return hooks;
}

void world_links_entity_freed(const void* entity) {
    if (world_link_hooks_state().entity_freed) world_link_hooks_state().entity_freed(entity);
}

void world_links_world_digested() {
    if (world_link_hooks_state().world_digested) world_link_hooks_state().world_digested();
}
