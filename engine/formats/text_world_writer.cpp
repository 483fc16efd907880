// Writer of world text files: the design is built in memory and written through a temporary file.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "formats/text_world.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/strings.h"
#include "platform/numbers.h"
#include "world/engine_state.h"
#include "world/group.h"
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

void write_point(text_out& out, const point* pt, double shift_x, double shift_y) {
    const double level = pt->brightness;
    const double percent = level >= 8 ? 100 - (level - 8) * 100 / 23 : 100 + (8 - level) * 300 / 8;
    out.add(plat_format("\t\t\t% .16lG\t% .16lG\t% .16lG\t% .16lG\t% .16lG\t% .16lG\t", pt->x, pt->y, pt->z,
                        pt->bitmap_x + shift_x, pt->bitmap_y + shift_y, percent));
    out.add(plat_format("RGB: %d %d %d ", pt->red, pt->green, pt->blue));
    if (pt->normal_x || pt->normal_y || pt->normal_z)
        out.add(plat_format("N: %d %d %d\n", pt->normal_x, pt->normal_y, pt->normal_z));
    else
        out.add("\n");
}

// The shift that makes a polygon's smallest cord non-negative.
double cord_shift(double minimum) { return minimum < 0 ? -std::floor(minimum) : 0; }

void write_polygon(text_out& out, polygon* p) {
    if (p->patch_kind) return;
    const bool mirrored = p->bitmap_mirrored;
    if (mirrored) polygon_mirror_horizontal_bitmap(p);
    out.add(p->name ? plat_format("\n\tPOLYGON: %s\n", out.name(p->name)) : std::string("\n\tPOLYGON:\n"));
    if (p->orientation != ORIENTATION_NONE)
        out.add(plat_format("\t\tORIENTATION: %s\n", convert_orientation_number_to_string(p->orientation)));
    if (!p->release_save) out.add("\t\tRELEASE_SAVE: NO\n");
    out.add(plat_format("\t\tCOLOR: %d %d %d\n", p->red, p->green, p->blue));
    if (p->bitmap_is_animation)
        out.add(plat_format("\t\tBITMAP: ANIMATION %s\n", out.name(p->bitmap_name ? p->bitmap_name : "no_name")));
    else if (!polygon_has_bitmap_name(p))
        out.add("\t\tBITMAP: NO_BITMAP\n");
    else
        out.add(plat_format("\t\tBITMAP: %s\n", out.name(p->bitmap_name)));
    out.add(plat_format("\t\tTRANSPARENT: %d  \n", p->transparent_index));
    out.add(p->rotated ? "\t\tROTATED: YES\n" : "\t\tROTATED: NO\n");
    out.add(plat_format("\t\tLIGHT_DIMINUTION: %lG\n", p->light_diminution * 4166.67));
    out.add(plat_format("\t\tNUM_OF_POINTS: %d\n", p->point_count));
    const double shift_x = cord_shift(get_polygon_min_bm_x(p));
    const double shift_y = cord_shift(get_polygon_min_bm_y(p));
    for (const point* pt = p->points; pt; pt = pt->next) write_point(out, pt, shift_x, shift_y);
    if (mirrored) polygon_mirror_horizontal_bitmap(p);
}

void write_tracks(text_out& out, bool marked_only) {
    for (const jtrack* t = engine_state.tracks; t; t = t->next) {
        if (marked_only && !t->visit_flag) continue;
        out.add(plat_format("TRACK: %s\n", out.name(t->name)));
        out.add(t->cyclic ? "\tCYCLIC: YES\n" : "\tCYCLIC: NO\n");
        for (int i = 0; i < t->point_count; ++i)
            out.add(plat_format("\t%lG %lG %lG\n", t->points[3 * i], t->points[3 * i + 1], t->points[3 * i + 2]));
        out.add(plat_format("END_TRACK: %s\n\n", t->name ? t->name : ""));
    }
}

void write_scene(text_out& out, int flags) {
    const engine_state_record& e = engine_state;
    out.add(plat_format("ATMOSPHERE: %ld %ld %ld FOG: %.4lf  LIGHT: %d\n\n", static_cast<long>(e.atmosphere_red),
                        static_cast<long>(e.atmosphere_green), static_cast<long>(e.atmosphere_blue),
                        e.atmospheric_intensity, e.brightness));
    out.add(plat_format("DEFAULT_COLOR: %ld %ld %ld \n\n", static_cast<long>(e.default_atmosphere_red),
                        static_cast<long>(e.default_atmosphere_green), static_cast<long>(e.default_atmosphere_blue)));
    write_tracks(out, (flags & 0x01) != 0);
    for (const std::string& block : text_world_kept_sounds()) out.add(block);
}

std::string design_text(group* g, int flags, const std::string& directory, std::string& bad_name) {
    text_out out;
    out.add(text_world_texts::header);
    if (!(flags & 0x40)) write_scene(out, flags);
    out.add("BEGIN_MODULE: main\n");
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        if (group_is_included(p->owner_group, g)) write_polygon(out, p);
    }
    out.add("\n\nEND_MODULE: main\n\n\nEND_DESIGN:\n\n");
    (void)directory;
    bad_name = out.bad_name;
    return out.text;
}

// The sound blocks of the hook, through a memory stream.
bool hook_sounds(std::string& text, const std::string& directory) {
    if (!sound_writer) return true;
    char* data = nullptr;
    size_t size = 0;
    FILE* f = open_memstream(&data, &size);
    if (!f) return false;
    const int result = sound_writer(f, directory.c_str());
    std::fclose(f);
    const std::string blocks(data ? data : "", size);
    std::free(data);
    if (result != 0) return false;
    const size_t at = text.find("BEGIN_MODULE: main\n");
    text.insert(at, blocks);
    return true;
}

}  // namespace

void text_world_set_sound_hooks(sound_block_reader reader, sound_block_writer writer) {
    text_world_set_sound_reader(reader);
    sound_writer = writer;
}

int engine_save_text_world(const char* base_path, group* g, int flags) {
    if (!base_path || !*base_path) return -1;
    const std::string base = base_path;
    const std::string directory = get_directory(base_path);
    std::string bad_name;
    std::string text = design_text(g, flags, directory, bad_name);
    if (!bad_name.empty()) {
        report(plat_format(text_world_texts::bad_name, bad_name.c_str()));
        return -1;
    }
    if (!(flags & 0x40) && !hook_sounds(text, directory)) return -1;
    const std::string path = base + ".wld";
    return mem2file(path.c_str(), text.data(), static_cast<int>(text.size())) == 0 ? 0 : -1;
}
