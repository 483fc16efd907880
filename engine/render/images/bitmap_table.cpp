// The world's bitmap table: every bitmap named by a polygon, a texture animation or a background.
#include <set>
#include <string>

#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/strings.h"
#include "render/images/bitmap_texture.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/polygon.h"
#include "world/world_order.h"

namespace {

struct no_case {
    bool operator()(const std::string& a, const std::string& b) const { return jstricmp(a.c_str(), b.c_str()) < 0; }
};

bitmap_texture* load_named(const char* name, int transparent_index, const char* folder) {
    const std::string path = str_concatenate_paths(name, folder);
    bitmap_texture* b = find_bitmap_texture(engine_state.bitmaps, path.c_str(), transparent_index < 0 ? -1 : transparent_index);
    return b ? b : bitmap_texture_create(&engine_state.bitmaps, path.c_str(), transparent_index);
}

// Loads the bitmap of every frame that has a name; -1 when one is missing.
int load_frames(frame_item* frames, const char* folder) {
    int result = 0;
    for (frame_item* f = frames; f; f = f->next) {
        if (!f->name || !*f->name || f->bitmap) continue;
        f->bitmap = load_named(f->name, f->transparent_index, folder);
        if (!f->bitmap) result = -1;
    }
    return result;
}

int load_polygon_bitmaps(const char* folder, group* only_group) {
    std::set<std::string, no_case> missing;
    int result = 0;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (p->texture || p->anim || !polygon_has_bitmap_name(p)) continue;
        if (!group_is_included(p->owner_group, only_group)) continue;
        // A polygon whose bitmap is missing keeps its colour and its bitmap name, so a save keeps it.
        if (missing.count(p->bitmap_name)) continue;
        bitmap_texture* b = load_named(p->bitmap_name, p->transparent_index, folder);
        if (!b) {
            missing.insert(p->bitmap_name);
            result = -1;
            continue;
        }
        p->texture = b;
        p->red = b->image.average_colour.r;
        p->green = b->image.average_colour.g;
        p->blue = b->image.average_colour.b;
    }
    return result;
}

}  // namespace

int init_bitmaps_table(const char* bitmaps_directory, group* only_group) {
    set_log_window_caption("Bitmaps");
    int result = load_polygon_bitmaps(bitmaps_directory, only_group);
    set_log_window_caption("animations");
    int frames = 0;
    for (animation* a = engine_state.animations; a; a = a->next) {
        for (frame_item* view : a->views) frames |= load_frames(view, bitmaps_directory);
    }
    if (frames != 0) {
        report_error(1, "init_bitmaps_table: load_animations_bitmaps failed");
        result = -1;
    }
    set_log_window_caption("backgrounds");
    frames = 0;
    for (background* g = engine_state.backgrounds; g; g = g->next) frames |= load_frames(g->frames, bitmaps_directory);
    if (frames != 0) {
        report_error(1, "init_bitmaps_table: load_backgrounds_bitmaps failed");
        result = -1;
    }
    set_log_window_caption("General");
    return result;
}
