// Writer of world text files: the design is built in memory and written through a temporary file.
#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "formats/bitmap_save.h"
#include "formats/text_world.h"
#include "formats/world_formats.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/geometry.h"
#include "foundation/strings.h"
#include "platform/numbers.h"
#include "world/blending.h"
#include "world/chase.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/object_module.h"
#include "world/polygon.h"
#include "world/world_order.h"

namespace {

sound_block_writer sound_writer = nullptr;

void report(const std::string& text) {
    if (text_world_report_errors()) report_error(1, text.c_str());
}

// Whether the reader gets the name back as one word.
bool writable_name(const char* name) {
    if (!name) return true;
    if (!*name) return false;
    for (const char* c = name; *c; ++c) {
        if (static_cast<unsigned char>(*c) <= ' ') return false;
        if (c[0] == '/' && c[1] == '*') return false;
        // "//" right after ':' (a drive path) is no comment to the reader.
        if (c[0] == '/' && c[1] == '/') {
            if (c == name || c[-1] != ':') return false;
            ++c;
        }
    }
    return true;
}

struct text_out {
    std::string text;
    std::string bad_name;
    void add(const std::string& s) { text += s; }
    // Adds a name, remembering the first one the reader could not read back.
    const char* name(const char* n) {
        if (!writable_name(n) && bad_name.empty()) bad_name = n ? n : "";
        return n ? n : "";
    }
};

void write_point(text_out& out, const point* pt, double shift_x, double shift_y, const vec3& offset) {
    const double level = pt->brightness;
    const double percent = level >= 8 ? 100 - (level - 8) * 100 / 23 : 100 + (8 - level) * 300 / 8;
    out.add(plat_format("\t\t\t% .16lG\t% .16lG\t% .16lG\t% .16lG\t% .16lG\t% .16lG\t", pt->x + offset.x, pt->y + offset.y,
                        pt->z + offset.z, pt->bitmap_x + shift_x, pt->bitmap_y + shift_y, percent));
    out.add(plat_format("RGB: %d %d %d ", pt->red, pt->green, pt->blue));
    if (pt->normal_x || pt->normal_y || pt->normal_z)
        out.add(plat_format("N: %d %d %d\n", pt->normal_x, pt->normal_y, pt->normal_z));
    else
        out.add("\n");
}

// The shift that makes a polygon's smallest cord non-negative.
double cord_shift(double minimum) { return minimum < 0 ? -std::floor(minimum) : 0; }

void write_polygon(text_out& out, polygon* p, bool strip, const vec3& offset) {
    if (p->patch_kind) return;
    const bool mirrored = p->bitmap_mirrored;
    if (mirrored) polygon_mirror_horizontal_bitmap(p);
    out.add(p->name ? plat_format("\n\tPOLYGON: %s\n", out.name(p->name)) : std::string("\n\tPOLYGON:\n"));
    if (p->orientation != ORIENTATION_NONE)
        out.add(plat_format("\t\tORIENTATION: %s\n", convert_orientation_number_to_string(p->orientation)));
    if (!p->release_save) out.add("\t\tRELEASE_SAVE: NO\n");
    out.add(plat_format("\t\tCOLOR: %d %d %d\n", p->red, p->green, p->blue));
    if (p->bitmap_is_animation)
        out.add(plat_format("\t\tBITMAP: ANIMATION %s\n",
                            out.name(p->anim && p->anim->name ? p->anim->name : p->bitmap_name ? p->bitmap_name : "no_name")));
    else if (!polygon_has_bitmap_name(p))
        out.add("\t\tBITMAP: NO_BITMAP\n");
    else
        out.add(plat_format("\t\tBITMAP: %s\n",
                            out.name(strip ? get_file_name(p->bitmap_name).c_str() : p->bitmap_name)));
    out.add(plat_format("\t\tTRANSPARENT: %d  %s\n", p->transparent_index, polygon_get_translucent_name(p)));
    out.add(p->rotated ? "\t\tROTATED: YES\n" : "\t\tROTATED: NO\n");
    out.add(plat_format("\t\tLIGHT_DIMINUTION: %lG\n", p->light_diminution * 4166.67));
    out.add(plat_format("\t\tNUM_OF_POINTS: %d\n", p->point_count));
    const double shift_x = cord_shift(get_polygon_min_bm_x(p));
    const double shift_y = cord_shift(get_polygon_min_bm_y(p));
    for (const point* pt = p->points; pt; pt = pt->next) write_point(out, pt, shift_x, shift_y, offset);
    if (mirrored) polygon_mirror_horizontal_bitmap(p);
}

void write_tracks(text_out& out, bool marked_only) {
    for (const jtrack* t = engine_state.tracks; t; t = t->next) {
        if (marked_only && !t->save) continue;
        out.add(plat_format("TRACK: %s\n", out.name(t->name)));
        out.add(t->cyclic ? "\tCYCLIC: YES\n" : "\tCYCLIC: NO\n");
        for (int i = 0; i < t->point_count; ++i)
            out.add(plat_format("\t%lG %lG %lG\n", t->points[3 * i], t->points[3 * i + 1], t->points[3 * i + 2]));
        out.add(plat_format("END_TRACK: %s\n\n", t->name ? t->name : ""));
    }
}


struct physics_line {
    const double* speed;
    const double* force;
    double max_speed, friction, elasticity;
    const double* rotation;  // radians; NULL: no rotation part
    bool object_space;
};

// The physics line, shared by cameras and dynamic objects; only an object's carries the rotation.
void write_physics(text_out& out, const char* key, const physics_line& p) {
    out.add(plat_format("%s SPEED: % .16lG % .16lG % .16lG FORCE: % .16lG % .16lG % .16lG MAX_SPEED: % .16lG "
                        "FRICTION: % .16lG ELASTICITY: % .16lG",
                        key, p.speed[0], p.speed[1], p.speed[2], p.force[0], p.force[1], p.force[2], p.max_speed,
                        p.friction, p.elasticity));
    if (!p.rotation) {
        out.add("\n");
        return;
    }
    out.add(plat_format("\tROTATION: %s % .16lG % .16lG % .16lG\n", p.object_space ? "OBJECT_SPACE" : "WORLD_SPACE",
                        rad_to_deg(p.rotation[0]), rad_to_deg(p.rotation[1]), rad_to_deg(p.rotation[2])));
}

// "KEY name x y z", or "KEY none" for no name or the none word itself; `exact` writes 16 digits.
void write_named_offset(text_out& out, const char* key, const char* name, const char* none, const double* v,
                        bool exact) {
    if (!name || std::strcmp(name, none) == 0) {
        out.add(plat_format("%s %s\n", key, none));
        return;
    }
    const char* n = out.name(name);
    out.add(exact ? plat_format("%s %s % .16lG % .16lG % .16lG\n", key, n, v[0], v[1], v[2])
                  : plat_format("%s %s %lG %lG %lG\n", key, n, v[0], v[1], v[2]));
}

void write_cameras(text_out& out, bool marked_only) {
    for (const camera* c = engine_state.cameras; c; c = c->next) {
        if (marked_only && !c->save) continue;
        const double* m = c->matrix.m[3];
        out.add(plat_format("CAMERA: %s\n", out.name(c->name)));
        out.add(plat_format("\tLOCATION: %lG %lG %lG\n", m[0], m[1], m[2]));
        const double* x = c->matrix.m[0];
        out.add(plat_format("\tDIRECTION: %lG %lG %lG\n", -x[0], -x[1], -x[2]));
        out.add(plat_format("\tVIEW_FIELD: %lG\n", c->field_of_view));
        out.add(plat_format("\tCULLING_DEPTH: %lG\n", c->culling_depth));
        out.add(plat_format("\tEYE_DISTANCE: %lG\n", c->distance_from_eye));
        write_named_offset(out, "\tTRACK:", c->track.name, "NO_TRACK", c->track.offset, false);
        const chase_part& chase = c->chase;
        // The camera's empty chase line carries two tabs.
        write_named_offset(out, chase.name && std::strcmp(chase.name, "NO_CHASE") != 0 ? "\tCHASE:" : "\t\tCHASE:",
                           chase.name, "NO_CHASE", chase.offset, true);
        const std::string type = chase_convert_number_to_string(chase.type, c->fall_flag, c->fall_height);
        out.add(plat_format("\tCHASE_TYPE: %s %lG\n", type.c_str(), chase.softness));
        out.add(plat_format("\tCHASE_DISTANCE: % .16lG\n", chase.distance));
        write_physics(out, "\tPHYSICS:", {c->speed, c->force, c->max_speed, c->friction, c->elasticity, nullptr, false});
        out.add(plat_format("END_CAMERA: %s\n\n", c->name ? c->name : ""));
    }
}

void write_frame_names(text_out& out, const frame_item* list, bool strip, bool numbers) {
    for (const frame_item* f = list; f; f = f->next) {
        const std::string name = strip ? get_file_name(f->name) : std::string(f->name ? f->name : "");
        out.add(plat_format(" %s\t", out.name(name.c_str())));
        if (numbers) out.add(plat_format(" %d", f->transparent_index));
    }
    out.add("\n");
}

void write_backgrounds(text_out& out, bool marked_only, bool strip) {
    for (const background* b = engine_state.backgrounds; b; b = b->next) {
        if (marked_only && !b->save && b != engine_state.current_background) continue;
        out.add(plat_format("BACKGROUND: %s\n", out.name(b->name)));
        out.add(plat_format("\tNUMBER_OF_FRAMES: %d\n", b->frame_count));
        out.add(plat_format("\tREPLACE_RATE: %d\n", b->replace_rate));
        out.add(b->type == 7 ? "\tPICTURES_EXTENSION: jbm\n" : "\tPICTURES_EXTENSION: 64k\n");
        out.add("\tPICTURES:");
        write_frame_names(out, b->frames, strip, false);
        out.add(plat_format("\tDISTANCE: %lG\n\tBOTTOM: %lG\n\tBOTTOM_INTENSITY: %lG\n\tINTENSITY_STEP: %lG\n",
                            b->distance, b->bottom, b->bottom_intensity, b->intensity_step));
        out.add(plat_format("END_BACKGROUND: %s\n\n", b->name ? b->name : ""));
        if (!b->next) out.add("\n\n");
    }
}

const char* light_target_word(int kind) {
    return kind == kind_dynamic_object ? "OBJECT" : kind == kind_polygon ? "POLYGON" : "GROUP";
}

// The name of what a light lights: the entity's own, else the name the file gave.
const char* light_target_name(const light* l) {
    if (!l->entity) return l->entity_name;
    switch (l->entity_kind) {
    case kind_group: return static_cast<const group*>(l->entity)->name;
    case kind_dynamic_object: return static_cast<const dynamic_object*>(l->entity)->name;
    default: return static_cast<const polygon*>(l->entity)->name;
    }
}

// "GROUP NULL" for the whole world, for the saved group itself and for a target without a name.
void write_light_target(text_out& out, const light* l, const group* saved) {
    const char* name = light_target_name(l);
    const bool named = name && *name;
    if (!named && l->entity_kind != kind_group) {
        report(plat_format(l->entity_kind == kind_dynamic_object
                               ? "output_lights: object to light is null or has no name. light=%s\n"
                               : "output_lights: polygon to light is null or has no name. light=%s\n",
                           l->name ? l->name : ""));
    }
    if (!named || (saved && l->entity_kind == kind_group && l->entity == saved)) {
        out.add("\tTARGET: GROUP NULL\n");
        return;
    }
    out.add(plat_format("\tTARGET: %s %s\n", light_target_word(l->entity_kind), out.name(name)));
}

void write_lights(text_out& out, bool marked_only, const group* saved) {
    static const char* const words[] = {" LIGHT_DIRECTIONAL ", " LIGHT_EFFECTED_BY_DISTANCE_LINEAR",
                                        " LIGHT_EFFECTED_BY_DISTANCE_SQUARE", " LIGHT_AMBIENT", " LIGHT_DIFFUSE",
                                        " LIGHT_SPECULAR"};
    for (const light* l = engine_state.lights; l; l = l->next) {
        if (marked_only && !l->save) continue;
        out.add(plat_format("LIGHT: %s\n", out.name(l->name)));
        out.add(plat_format("\tLOCATION: %lG %lG %lG\n", l->location[0], l->location[1], l->location[2]));
        out.add(plat_format("\tDIRECTION: %lG %lG %lG\n", l->direction[0], l->direction[1], l->direction[2]));
        out.add(plat_format("\tCOLOR: %d %d %d\n", l->red, l->green, l->blue));
        out.add(plat_format("\tAMBIENT: %lG %lG %lG %lG\n", l->ambient, l->diffuse, l->specular, l->specular_shining));
        out.add(l->ray_tracing ? "\tRAYTRACING: YES\n" : "\tRAYTRACING: NO\n");
        out.add(plat_format("\tDISTANCE: %lG\n", l->distance_reach));
        write_light_target(out, l, saved);
        out.add(l->activate_before_render ? "\tAUTO: YES " : "\tAUTO: NO ");
        out.add(l->mode == 1 ? "LIGHT_ADD\n" : l->mode == 2 ? "LIGHT_SUBTRACT\n" : "LIGHT_SET\n");
        out.add("\tTYPE:");
        if (l->type == 0x3A) out.add(" LIGHT_DEFAULT");
        else if (l->type == 0x3B) out.add(" LIGHT_DEFAULT_POINTED_LIGHT");
        else if (!(l->type & 0x3F)) out.add(" BLACK_LIGHT");
        else
            for (int i = 0; i < 6; ++i) {
                if (l->type & (1 << i)) out.add(words[i]);
            }
        out.add("\n");
        out.add(plat_format("END_LIGHT: %s\n\n", l->name ? l->name : ""));
    }
}

bool animation_used(const animation* a, const group* g) {
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (p->anim == a && group_is_included(p->owner_group, g)) return true;
    }
    return false;
}

void write_animations(text_out& out, bool all, const group* g, bool strip) {
    static const char* const keys[5] = {"\tBACK:       ", "\tBACK_SIDED: ", "\tSIDE:       ", "\tFRONT_SIDED:",
                                        "\tFRONT:      "};
    bool any = false;
    for (const animation* a = engine_state.animations; a; a = a->next) {
        if (!all && !animation_used(a, g)) continue;
        any = true;
        out.add(plat_format("ANIMATION: %s\n", out.name(a->name)));
        out.add(plat_format("\tNUMBER_OF_FRAMES: %d\n", a->frame_count));
        out.add("\tTIMES:");
        for (int i = 0; a->durations && i < a->frame_count; ++i) out.add(plat_format(" %u", a->durations[i]));
        out.add("\n");
        for (int v = 0; v < 5; ++v) {
            if (!a->views[v]) continue;
            // Once one frame carries a number, every frame of the list does.
            bool numbers = false;
            for (const frame_item* f = a->views[v]; f; f = f->next) numbers = numbers || f->transparent_index != 0;
            out.add(keys[v]);
            write_frame_names(out, a->views[v], strip, numbers);
        }
        out.add(plat_format("END_ANIMATION: %s\n\n", a->name ? a->name : ""));
    }
    if (any) out.add("\n\n");
}

void write_scene(text_out& out, int flags, const group* saved) {
    const engine_state_record& e = engine_state;
    // The brightness is kept negated; the file holds the value the interface gives.
    out.add(plat_format("ATMOSPHERE: %ld %ld %ld FOG: %.4lf  LIGHT: %d\n\n", static_cast<long>(e.atmosphere_red),
                        static_cast<long>(e.atmosphere_green), static_cast<long>(e.atmosphere_blue),
                        e.atmospheric_intensity, -e.brightness));
    out.add(plat_format("DEFAULT_COLOR: %ld %ld %ld \n\n", static_cast<long>(e.default_atmosphere_red),
                        static_cast<long>(e.default_atmosphere_green), static_cast<long>(e.default_atmosphere_blue)));
    const bool marked_only = (flags & 0x01) != 0;
    const bool strip = (flags & 0x1E) != 0;
    write_cameras(out, marked_only);
    write_backgrounds(out, marked_only, strip);
    write_lights(out, marked_only, saved);
    write_tracks(out, marked_only);
}

// The sound blocks of the hook, through a memory stream.
bool hook_sounds(text_out& out, const std::string& directory) {
    if (!sound_writer) {
        for (const std::string& block : text_world_kept_sounds()) out.add(block);
        return true;
    }
    char* data = nullptr;
    size_t size = 0;
    FILE* f = open_memstream(&data, &size);
    if (!f) return false;
    const int result = sound_writer(f, directory.c_str());
    std::fclose(f);
    out.add(std::string(data ? data : "", size));
    std::free(data);
    return result == 0;
}

void write_matrix_row(text_out& out, const double* row) {
    out.add(plat_format("\t\t\t% .16lG\t% .16lG\t% .16lG\t% .16lG\n", row[0], row[1], row[2], row[3]));
}

void write_static_object(text_out& out, const object* o) {
    out.add("\n\tOBJECT:\n");
    out.add(plat_format("\t\tMODULE_NAME: %s\n", out.name(o->module_name ? o->module_name : "")));
    out.add("\t\tMATRIX: \n");
    for (const auto& row : o->matrix.m) write_matrix_row(out, row);
    out.add("\tEND_OBJECT: \n\n");
}

void write_dynamic_object(text_out& out, const dynamic_object* d, const vec3& location) {
    const char* name = d->name ? out.name(d->name) : "NO_NAME";
    out.add(plat_format("\n\tDYNAMIC: %s\n", name));
    out.add(plat_format("\t\tMODULE_NAME: %s\n", name));
    out.add(plat_format("\t\tFATHER: %s\n", d->father && d->father->name ? out.name(d->father->name) : "NONE"));
    out.add(plat_format("\t\tTYPE: %s\n", out.name(d->type ? d->type : "regular")));
    if (d->control == 2) out.add("\t\tCONTROL: COMPUTER\n");
    else if (d->control == 1) out.add("\t\tCONTROL: PLAYER\n");
    else out.add(plat_format("\t\tCONTROL: %d\n", d->control));
    write_named_offset(out, "\t\tTRACK:", d->track.name, "NO_TRACK", d->track.offset, true);
    write_named_offset(out, "\t\tCHASE:", d->chase.name, "NO_CHASE", d->chase.offset, true);
    if (d->chase.type_string && std::strcmp(d->chase.type_string, "NO_CHASE") != 0)
        out.add(plat_format("\t\tCHASE_TYPE: %s % .16lG\n", out.name(d->chase.type_string), d->chase.softness));
    else
        out.add("\t\tCHASE_TYPE: NO_CHASE\n");
    out.add(plat_format("\t\tCHASE_DISTANCE: % .16lG\n", d->chase.distance));
    write_physics(out, "\t\tPHYSICS:", {d->speed, d->force, d->max_speed, d->friction, d->elasticity, d->rotation,
                                         d->rotation_space != 0});
    out.add("\t\tMATRIX: \n\t\t\t1\t0\t0\n\t\t\t0\t1\t0\n\t\t\t0\t0\t1\n");
    out.add(plat_format("\t\tLOCATION: % .16lG % .16lG % .16lG\n", location.x, location.y, location.z));
    out.add("\t\tSCALE: 1 1 1\n");
    out.add(plat_format("\tEND_OBJECT: %s\n\n", name));
}

// The saved tree: `top` NULL stands for a temporary group over the top-level groups.
struct tree_save {
    const group* top;
    int flags;
    std::string base;
    std::string directory;
    bool keep_parts;
    std::vector<std::string> parts;  // by part number
    text_out out;                    // collects the bad name across parts
    bool sounds_ok = true;
    std::set<const polygon*> in_object_modules;  // written in the modules of dynamic groups
};

bool dynamic_modules(const tree_save& t) { return (t.flags & save_flags::dynamic_modules) != 0; }
bool strip_directories(const tree_save& t) { return (t.flags & 0x1E) != 0; }

std::vector<group*> children_of(const group* father) {
    std::vector<group*> list;
    for (group* g = engine_state.groups; g; g = g->next) {
        if (g->father == father) list.push_back(g);
    }
    return list;
}

int subtree_size(const group* g, int depth = 0) {
    int n = 1;
    if (depth > 10000) return n;
    for (const group* c : children_of(g)) n += subtree_size(c, depth + 1);
    return n;
}

std::string part_name(const std::string& base, int part) {
    return part == 0 ? base + ".wld" : base + "." + plat_format("%03d", part);
}

void write_children(tree_save& t, text_out& out, const group* g, const vec3& offset, int part);

// The dynamic object a group with object parameters stands for: the live one of its name in
// viewer mode, else a temporary one made from the group (`temporary` set; the caller frees it).
dynamic_object* object_of_group(const group* c, bool& temporary) {
    // In editor mode the objects' polygons lie folded in world space: the group stands for them.
    dynamic_object* existing =
        c->name && !engine_state.editor_mode ? dynamic_find_by_name(engine_state.dynamic_objects, c->name) : nullptr;
    temporary = !existing;
    return existing ? existing : dynamic_create_from_group(c);
}

// The groups below `g` (NULL: the world) that carry dynamic-object parameters.
std::vector<group*> dynamic_groups_in(const group* g) {
    std::vector<group*> list;
    for (group* c = engine_state.groups; c; c = c->next) {
        if (c != g && c->holds_object_parameters && group_is_included(c, g)) list.push_back(c);
    }
    return list;
}

const char* module_name_of(const group* c) { return c->name ? c->name : "NO_NAME"; }

// One module per dynamic group, its polygons around the object's location.
void write_object_modules(tree_save& t, text_out& out) {
    for (const group* c : dynamic_groups_in(t.top)) {
        bool temporary = false;
        dynamic_object* d = object_of_group(c, temporary);
        if (!d) continue;
        const vec3 at = dynamic_get_location(d);
        if (temporary) dynamic_free(d);
        out.add(plat_format("\n\nBEGIN_MODULE: %s\n", out.name(module_name_of(c))));
        for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
            if (!group_is_included(p->owner_group, c)) continue;
            write_polygon(out, p, strip_directories(t), {-at.x, -at.y, -at.z});
            t.in_object_modules.insert(p);
        }
        out.add(plat_format("\n\nEND_MODULE: %s\n", module_name_of(c)));
    }
}

// The object blocks of the dynamic groups below `g`, placed where they stand.
void write_object_blocks(text_out& out, const group* g) {
    for (const group* c : dynamic_groups_in(g)) {
        bool temporary = false;
        dynamic_object* d = object_of_group(c, temporary);
        if (!d) continue;
        write_dynamic_object(out, d, dynamic_get_location(d));
        if (temporary) dynamic_free(d);
    }
}

bool polygon_in_design(const tree_save& t, const polygon* p, const group* g) {
    if (!dynamic_modules(t)) return p->owner_group == g;
    return p->release_save && !t.in_object_modules.count(p) && group_is_included(p->owner_group, g);
}

// One design: its header and scene blocks at the top, its module, its children's designs after.
void write_design(tree_save& t, const group* g, bool top, const vec3& offset, int part) {
    text_out out;
    if (top || t.keep_parts) out.add(text_world_texts::header);
    if (t.keep_parts) {
        int child_part = part + 1;
        for (const group* c : children_of(g)) {
            const std::string file = get_file_name(part_name(t.base, child_part).c_str());
            out.add(c->name ? plat_format("INCLUDE_FILE: %s   // %s\n", file.c_str(), c->name)
                            : plat_format("INCLUDE_FILE: %s\n", file.c_str()));
            child_part += subtree_size(c);
        }
        out.add("\n\n");
    }
    if (top) {
        if (!(t.flags & 0x40)) {
            write_scene(out, t.flags, t.top);
            t.sounds_ok = hook_sounds(out, t.directory);
        }
        write_animations(out, !(t.flags & 0x41), t.top, strip_directories(t));
        if (dynamic_modules(t)) write_object_modules(t, out);
        out.add("BEGIN_MODULE: main\n");
    } else {
        out.add(plat_format("\n\nBEGIN_MODULE: %s\n", out.name(g->name)));
    }
    if (static_cast<int>(t.parts.size()) <= part) t.parts.resize(static_cast<size_t>(part) + 1);
    if (dynamic_modules(t))
        write_object_blocks(out, g);
    else
        write_children(t, out, g, offset, part);
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (polygon_in_design(t, p, g)) write_polygon(out, p, strip_directories(t), offset);
    }
    out.add(top ? "\n\nEND_MODULE: main\n" : plat_format("\n\nEND_MODULE: %s\n", g->name ? g->name : ""));
    if (t.keep_parts) out.add("\n\nEND_DESIGN:\n\n");
    if (t.out.bad_name.empty()) t.out.bad_name = out.bad_name;
    t.parts[static_cast<size_t>(part)] = out.text;
}

void write_children(tree_save& t, text_out& out, const group* g, const vec3& offset, int part) {
    int child_part = part + 1;
    for (group* c : children_of(g)) {
        vec3 child_offset = offset;
        if (c->holds_object_parameters) {
            bool temporary = false;
            if (dynamic_object* d = object_of_group(c, temporary)) {
                const vec3 at = dynamic_get_location(d);
                const vec3 placed{at.x + offset.x, at.y + offset.y, at.z + offset.z};
                write_dynamic_object(out, d, placed);
                // The object's polygons go into its own space, around the location as written.
                child_offset = temporary ? vec3{offset.x - placed.x, offset.y - placed.y, offset.z - placed.z} : vec3{0, 0, 0};
                if (temporary) dynamic_free(d);
            }
        } else if (object* o = init_object_using_group(c)) {
            double* t3 = o->matrix.m[3];
            t3[0] += offset.x;
            t3[1] += offset.y;
            t3[2] += offset.z;
            write_static_object(out, o);
            child_offset = {offset.x - t3[0], offset.y - t3[1], offset.z - t3[2]};
            object_destroy(o);
        }
        write_design(t, c, false, child_offset, child_part);
        child_part += subtree_size(c);
    }
}

// Writes every part, or the parts merged into one file; a failure removes what this save wrote.
int write_parts(const tree_save& t) {
    if (!t.keep_parts) {
        std::string merged;
        for (const std::string& part : t.parts) merged += part;
        merged += "\n\nEND_DESIGN:\n\n";
        const std::string path = part_name(t.base, 0);
        return mem2file(path.c_str(), merged.data(), static_cast<int>(merged.size())) == 0 ? 0 : -1;
    }
    // The main file last, so a failure leaves the old design whole.
    for (size_t i = t.parts.size(); i-- > 0;) {
        const std::string path = part_name(t.base, static_cast<int>(i));
        if (mem2file(path.c_str(), t.parts[i].data(), static_cast<int>(t.parts[i].size())) != 0) {
            for (size_t j = i + 1; j < t.parts.size(); ++j) jdelete_file(part_name(t.base, static_cast<int>(j)).c_str());
            return -1;
        }
    }
    return 0;
}

}  // namespace

void text_world_set_sound_hooks(sound_block_reader reader, sound_block_writer writer) {
    text_world_set_sound_reader(reader);
    sound_writer = writer;
}

int engine_save_text_world(const char* base_path, group* g, int flags) {
    if (!base_path || !*base_path) return -1;
    tree_save t{g, flags, base_path, get_directory(base_path), (flags & 0x20) && !(flags & 0x80), {}, {}, true, {}};
    write_design(t, g, true, {0, 0, 0}, 0);
    if (!t.out.bad_name.empty()) {
        report(plat_format(text_world_texts::bad_name, t.out.bad_name.c_str()));
        return -1;
    }
    if (!t.sounds_ok || write_parts(t) != 0) return -1;
    // Bitmaps follow the world file; their failures are reported there and keep the result.
    if (flags & save_flags::any_bitmaps) engine_save_bitmaps_of_group(g, part_name(t.base, 0).c_str(), flags, 1);
    return 0;
}
