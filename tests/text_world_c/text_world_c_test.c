/* A program that knows only drovik.h: text worlds of every block kind (the hand-written fixtures
   and long blocks written here) are loaded, read out through the exports, saved as .drovik and as
   .wld and read back in a fresh engine; then the same again under a comma-decimal number locale.
   Damaged worlds give -1 and their report line in the logs, and a SOUND block is saved back as it
   was read. Prints one line per check. */
#define _POSIX_C_SOURCE 200809L /* setenv, mkdir */

#include <locale.h>
#include <math.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include "../common/c_checks.h"
#include "../common/c_files.h"
#include "drovik.h"

/* The hand-written worlds. */
#define FIXTURES TEXT_WORLD_C_DATA "/wld"

/* ------------------------------------------------------------------ text helpers */

/* A text that grows. */
typedef struct {
    char* text;
    size_t size, capacity;
} text_buffer;

static void add(text_buffer* b, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = vsnprintf(NULL, 0, format, args);
    va_end(args);
    if (n < 0) return;
    if (b->size + (size_t)n + 1 > b->capacity) {
        size_t capacity = b->capacity ? b->capacity : 256;
        while (b->size + (size_t)n + 1 > capacity) capacity *= 2;
        char* grown = realloc(b->text, capacity);
        if (!grown) return;
        b->text = grown;
        b->capacity = capacity;
    }
    va_start(args, format);
    vsnprintf(b->text + b->size, (size_t)n + 1, format, args);
    va_end(args);
    b->size += (size_t)n;
}

static int write_text(const char* path, const char* text) {
    FILE* file = fopen(path, "wb");
    if (!file) return 0;
    const int ok = fputs(text, file) >= 0;
    return fclose(file) == 0 && ok;
}

static long file_size(const char* path) {
    struct stat s;
    return stat(path, &s) == 0 ? (long)s.st_size : 0;
}

/* The text of a log written after `from` bytes (all of it when the log was started anew). */
static int log_holds_after(const char* log, long from, const char* line) {
    char* text = read_text(log);
    if (!text) return 0;
    const long size = (long)strlen(text);
    const int found = strstr(text + (from <= size ? from : 0), line) != NULL;
    free(text);
    return found;
}

static int compare_lines(const void* a, const void* b) {
    return strcmp(*(char* const*)a, *(char* const*)b);
}

/* Sorted lines: the order of a list may change between files, its records may not. */
typedef struct {
    char** lines;
    int count, capacity;
} line_set;

static void keep_line(line_set* set, text_buffer* line) {
    if (set->count == set->capacity) {
        const int capacity = set->capacity ? 2 * set->capacity : 16;
        char** grown = realloc(set->lines, (size_t)capacity * sizeof *grown);
        if (!grown) return;
        set->lines = grown;
        set->capacity = capacity;
    }
    set->lines[set->count++] = line->text ? line->text : calloc(1, 1);
    line->text = NULL;
    line->size = line->capacity = 0;
}

static void add_sorted(text_buffer* out, line_set* set) {
    if (set->count > 1) qsort(set->lines, (size_t)set->count, sizeof *set->lines, compare_lines);
    for (int i = 0; i < set->count; ++i) {
        add(out, "%s\n", set->lines[i]);
        free(set->lines[i]);
    }
    free(set->lines);
    set->lines = NULL;
    set->count = set->capacity = 0;
}

static const char* or_dash(const char* text) { return text && *text ? text : "-"; }

static void add_vector(text_buffer* b, const char* label, const double v[3]) {
    add(b, " %s %g %g %g", label, v[0], v[1], v[2]);
}

static void add_entity_name(text_buffer* b, const char* label, DROVIK_HANDLE entity) {
    char name[128] = "";
    if (entity) Drovik_entity_get_name(entity, name, (int)sizeof name);
    add(b, " %s %s", label, or_dash(name));
}

/* ------------------------------------------------------------------ read-outs */

/* The binary format keeps less than the text format: numbers as floats, no point brightness, a
   bitmap name only with its texture loaded, no fog intensity, and a light's place, direction,
   colour, ray tracing and target only. Its read-out leaves out what it does not keep. */
static int binary_view = 0;

static double kept(double v) { return binary_view ? (double)(float)v : v; }

/* A name that means none reads as none. */
static const char* name_or_none(const char* name, const char* none) {
    return name && strcmp(name, none) != 0 ? or_dash(name) : "-";
}

static void read_atmosphere(text_buffer* out) {
    int r = 0, g = 0, b = 0, dr = 0, dg = 0, db = 0;
    Drovik_engine_get_atmospheric_effect(&r, &g, &b);
    Drovik_engine_get_background_color(&dr, &dg, &db);
    add(out, "atmosphere %d %d %d background %d %d %d brightness %d", r, g, b, dr, dg, db,
        Drovik_engine_get_brightness());
    if (!binary_view) add(out, " fog %.4f", Drovik_engine_get_atmospheric_effect_intensity());
    add(out, "\n");
}

static void read_polygons(text_buffer* out) {
    line_set set = {0};
    for (DROVIK_HANDLE p = Drovik_polygon_get_first_polygon(); p; p = Drovik_polygon_get_next(p)) {
        text_buffer line = {0};
        int r = 0, g = 0, b = 0;
        Drovik_polygon_get_color(p, &r, &g, &b);
        const DROVIK_HANDLE animation = Drovik_polygon_get_animation(p);
        const int bitmap_kept = !binary_view || Drovik_polygon_get_bitmap_handle(p);
        add(&line, "polygon %s colour %d %d %d bitmap %s animation %s transparent %d translucent %d orientation %d"
                   " rotated %d diminution %g points %d:",
            or_dash(Drovik_polygon_get_name(p)), r, g, b, bitmap_kept ? or_dash(Drovik_polygon_get_bitmap_name(p)) : "?",
            animation ? or_dash(Drovik_animation_get_name(animation)) : "-", Drovik_polygon_get_transparent_index(p),
            Drovik_polygon_get_translucent(p), Drovik_polygon_get_orientation(p), Drovik_polygon_is_rotated(p),
            kept(Drovik_polygon_get_light_diminution(p)), Drovik_polygon_get_num_of_points(p));
        for (DROVIK_HANDLE pt = Drovik_polygon_get_first_point(p); pt; pt = Drovik_point_get_next_point(pt)) {
            double xyz[3], xy[2];
            unsigned char rgb[3];
            Drovik_point_get_xyz(pt, xyz);
            Drovik_point_get_bitmap_xy(pt, xy);
            Drovik_point_get_rgb(pt, rgb);
            add(&line, " (%.9g %.9g %.9g / %.9g %.9g / %u %u %u", kept(xyz[0]), kept(xyz[1]), kept(xyz[2]),
                kept(xy[0]), kept(xy[1]), rgb[0], rgb[1], rgb[2]);
            if (!binary_view) add(&line, " / %.6g", Drovik_point_get_brightness(pt));
            add(&line, ")");
        }
        keep_line(&set, &line);
    }
    add_sorted(out, &set);
}

static void read_cameras(text_buffer* out) {
    for (DROVIK_HANDLE c = Drovik_camera_get_first_camera(); c; c = Drovik_camera_get_next_camera(c)) {
        DROVIK_CAMERA_VALUES v;
        double location[3] = {0}, direction[3] = {0}, track[3] = {0}, chase[3] = {0}, speed[3] = {0}, force[3] = {0};
        memset(&v, 0, sizeof v);
        Drovik_camera_save(c, &v);
        Drovik_camera_get_location(c, &location[0], &location[1], &location[2]);
        Drovik_camera_get_direction(c, &direction[0], &direction[1], &direction[2]);
        Drovik_camera_get_track_offset(c, track);
        Drovik_camera_get_chase_offset(c, chase);
        Drovik_camera_get_speed(c, speed);
        Drovik_camera_get_force(c, force);
        add(out, "camera %s", or_dash(Drovik_camera_get_name(c)));
        add_vector(out, "at", location);
        add_vector(out, "looking", direction);
        add(out, " field %g culling %g eye %g track %s", v.field_of_view, v.culling_depth,
            Drovik_camera_get_distance_from_eye(c), or_dash(Drovik_camera_get_track_name(c)));
        add_vector(out, "offset", track);
        add(out, " chase %s type %d softness %g distance %g", name_or_none(Drovik_camera_get_name_to_chase(c), "NO_CHASE"),
            Drovik_camera_get_chase_type(c), Drovik_camera_get_chase_softness(c), Drovik_camera_get_chase_distance(c));
        add_vector(out, "by", chase);
        add_vector(out, "speed", speed);
        add_vector(out, "force", force);
        add(out, " friction %g elasticity %g\n", Drovik_camera_get_friction(c), Drovik_camera_get_elasticity(c));
    }
}

static void read_tracks(text_buffer* out) {
    line_set set = {0};
    for (DROVIK_HANDLE t = Drovik_track_get_first_track(); t; t = Drovik_track_get_next(t)) {
        text_buffer line = {0};
        const int count = Drovik_track_get_number_of_points(t);
        add(&line, "track %s cyclic %d points %d:", or_dash(Drovik_track_get_name(t)), Drovik_track_is_cyclic(t),
            count);
        for (int i = 0; i < count; ++i) {
            double point[3] = {0};
            Drovik_track_get_point(t, i, point);
            add(&line, " %g %g %g", point[0], point[1], point[2]);
        }
        keep_line(&set, &line);
    }
    add_sorted(out, &set);
}

static void read_lights(text_buffer* out) {
    line_set set = {0};
    for (DROVIK_HANDLE l = Drovik_light_get_first_light(); l; l = Drovik_light_get_next_light(l)) {
        text_buffer line = {0};
        double location[3] = {0}, direction[3] = {0};
        unsigned char rgb[3] = {0};
        int operation = -1;
        Drovik_light_get_location(l, location);
        Drovik_light_get_direction(l, direction);
        Drovik_light_get_color(l, rgb);
        const int automatic = Drovik_light_is_activated_before_render(l, &operation);
        add(&line, "light %s", or_dash(Drovik_light_get_name(l)));
        add_vector(&line, "at", location);
        add_vector(&line, "towards", direction);
        add(&line, " colour %u %u %u ray %d", rgb[0], rgb[1], rgb[2], Drovik_light_is_ray_tracing(l));
        if (!binary_view)
            add(&line, " type %d reach %g factors %g %g %g %g auto %d operation %d", Drovik_light_get_type_of_light(l),
                Drovik_light_get_distance_reach(l), Drovik_light_get_ambient(l), Drovik_light_get_diffuse(l),
                Drovik_light_get_specular(l), Drovik_light_get_specular_shining(l), automatic, operation);
        add_entity_name(&line, "target", Drovik_light_get_entity_to_light(l));
        keep_line(&set, &line);
    }
    add_sorted(out, &set);
}

static void read_dynamic_objects(text_buffer* out) {
    line_set set = {0};
    for (DROVIK_HANDLE o = Drovik_object_get_first_object(); o; o = Drovik_object_get_next_object(o)) {
        text_buffer line = {0};
        double location[3] = {0}, x[3] = {0}, y[3] = {0}, z[3] = {0}, scale[3] = {0}, track[3] = {0}, chase[3] = {0};
        double speed[3] = {0}, force[3] = {0}, rotation[3] = {0};
        Drovik_object_get_location(o, &location[0], &location[1], &location[2]);
        Drovik_object_get_axis_system(o, x, y, z);
        Drovik_object_get_scale(o, scale);
        Drovik_object_get_track_offset(o, track);
        Drovik_object_get_chase_offset(o, chase);
        Drovik_object_get_speed(o, speed);
        Drovik_object_get_force(o, force);
        const int space = Drovik_object_get_physics_rotation(o, rotation);
        add(&line, "object %s control %d enabled %d polygons %d", or_dash(Drovik_object_get_name(o)),
            Drovik_object_get_control_type_number(o), Drovik_object_is_enabled(o),
            Drovik_object_get_number_of_polygons(o));
        if (!binary_view)
            add(&line, " type %s %d", or_dash(Drovik_object_get_type_name(o)), Drovik_object_get_object_type_number(o));
        add_entity_name(&line, "father", Drovik_object_get_father_object(o));
        add_vector(&line, "at", location);
        add_vector(&line, "x", x);
        add_vector(&line, "y", y);
        add_vector(&line, "z", z);
        add_vector(&line, "scale", scale);
        add(&line, " track %s", or_dash(Drovik_object_get_track_name(o)));
        add_vector(&line, "offset", track);
        add(&line, " chase type %d softness %g distance %g", Drovik_object_get_chase_type(o),
            Drovik_object_get_chase_softness(o), Drovik_object_get_chase_distance(o));
        add_vector(&line, "by", chase);
        add_vector(&line, "speed", speed);
        add_vector(&line, "force", force);
        add(&line, " max %g friction %g elasticity %g rotation space %d", Drovik_object_get_max_speed(o),
            Drovik_object_get_friction(o), Drovik_object_get_elasticity(o), space);
        add_vector(&line, "degrees", rotation);
        keep_line(&set, &line);
    }
    add_sorted(out, &set);
}

/* In editor mode a dynamic object is a group with the object's values; the binary format keeps
   only the group's mark. */
static void read_moving_groups(text_buffer* out) {
    line_set set = {0};
    for (DROVIK_HANDLE g = binary_view ? NULL : Drovik_group_get_first_group(); g; g = Drovik_group_get_next(g)) {
        if (Drovik_group_is_static(g)) continue;
        text_buffer line = {0};
        add(&line, "moving group %s polygons %d", or_dash(Drovik_group_get_name(g)), Drovik_group_get_number_of_polygons(g));
        {
            double location[3] = {0}, track[3] = {0}, chase[3] = {0}, speed[3] = {0}, force[3] = {0}, rotation[3] = {0};
            Drovik_group_get_location(g, &location[0], &location[1], &location[2]);
            Drovik_group_get_track_offset(g, track);
            Drovik_group_get_chase_offset(g, chase);
            Drovik_group_get_speed(g, speed);
            Drovik_group_get_physics_force(g, force);
            const int space = Drovik_group_get_physics_rotation(g, rotation);
            add(&line, " control %d", Drovik_group_get_control_number(g));
            add_vector(&line, "at", location);
            add(&line, " track %s", or_dash(Drovik_group_get_track_name(g)));
            add_vector(&line, "offset", track);
            add(&line, " chase %s type %s softness %g distance %g", name_or_none(Drovik_group_get_chased_name(g), "NO_CHASE"),
                or_dash(Drovik_group_get_chase_type_name(g)), Drovik_group_get_chase_softness(g),
                Drovik_group_get_chase_distance(g));
            add_vector(&line, "by", chase);
            add_vector(&line, "speed", speed);
            add_vector(&line, "force", force);
            add(&line, " max %g friction %g elasticity %g rotation space %d", Drovik_group_get_physics_maxspeed(g),
                Drovik_group_get_physics_friction(g), Drovik_group_get_physics_elasticity(g), space);
            add_vector(&line, "degrees", rotation);
        }
        keep_line(&set, &line);
    }
    add_sorted(out, &set);
}

static void read_backgrounds(text_buffer* out) {
    line_set set = {0};
    for (DROVIK_HANDLE b = Drovik_background_get_first_background(); b; b = Drovik_background_get_next(b)) {
        text_buffer line = {0};
        add(&line, "background %s distance %g bottom %g intensity %g step %g picture %s",
            or_dash(Drovik_background_get_name(b)), Drovik_background_get_distance(b), Drovik_background_get_bottom(b),
            Drovik_background_get_bottom_intensity(b), Drovik_background_get_intensity_step(b),
            or_dash(Drovik_background_get_bitmap_name(b)));
        keep_line(&set, &line);
    }
    add_sorted(out, &set);
}

static void read_animations(text_buffer* out) {
    line_set set = {0};
    for (DROVIK_HANDLE a = Drovik_animation_get_first_animation(); a; a = Drovik_animation_get_next(a)) {
        text_buffer line = {0};
        const int frames = Drovik_animation_get_number_of_frames(a);
        add(&line, "animation %s frames %d times", or_dash(Drovik_animation_get_name(a)), frames);
        for (int i = 0; i < frames; ++i) add(&line, " %u", Drovik_animation_get_frame_time(a, i));
        for (int view = 1; view <= 5; ++view) {
            add(&line, " | view %d:", view);
            for (int i = 0; i < frames; ++i) {
                const char* name = Drovik_animation_get_frame_bitmap_name(a, view, i);
                if (name) add(&line, " %s/%d", name, Drovik_animation_get_frame_transparent_index(a, view, i));
            }
        }
        keep_line(&set, &line);
    }
    add_sorted(out, &set);
}

/* Everything a save and a load must keep, written with the C library's own number format. */
static char* world_readings(int binary) {
    binary_view = binary;
    char locale[128];
    snprintf(locale, sizeof locale, "%s", setlocale(LC_NUMERIC, NULL));
    setlocale(LC_NUMERIC, "C");
    text_buffer out = {0};
    read_atmosphere(&out);
    read_polygons(&out);
    read_cameras(&out);
    read_tracks(&out);
    read_lights(&out);
    read_dynamic_objects(&out);
    read_moving_groups(&out);
    read_backgrounds(&out);
    read_animations(&out);
    setlocale(LC_NUMERIC, locale);
    return out.text;
}

/* On a difference, the first line where two readings part, and both whole in files named
   `stem`.expected and `stem`.got. */
static int same_readings(const char* expected, const char* got, const char* stem, const char* what) {
    const int same = expected && got && strcmp(expected, got) == 0;
    check(same, what);
    if (same || !expected || !got) return same;
    char path[300];
    snprintf(path, sizeof path, "%s.expected", stem);
    write_text(path, expected);
    snprintf(path, sizeof path, "%s.got", stem);
    write_text(path, got);
    size_t line = 0;
    for (size_t i = 0; expected[i] && expected[i] == got[i]; ++i) {
        if (expected[i] == '\n') line = i + 1;
    }
    printf("  expected: %.200s\n  got:      %.200s\n", expected + line, got + line);
    return same;
}

/* ------------------------------------------------------------------ worlds written here */

/* A 1,000-point track, a 400-frame animation, and a 100-point polygon with colours and normals
   at full precision, each far longer than one search window of the reader. */
static int write_long_blocks(const char* path) {
    FILE* file = fopen(path, "w");
    if (!file) return 0;
    fprintf(file, "// blocks of many lines\nBEGIN_DESIGN:\nTRACK: long\n\tCYCLIC: YES\n");
    for (int i = 0; i < 1000; ++i) fprintf(file, "\t%d.123456789 %d.5 -%d.25\n", i, 2 * i, 3 * i);
    fprintf(file, "END_TRACK: long\nANIMATION: many\n\tNUMBER_OF_FRAMES: 400\n\tTIMES:");
    for (int i = 0; i < 400; ++i) fprintf(file, " %d", 10 + i % 7);
    fprintf(file, "\n\tSIDE:");
    for (int i = 0; i < 400; ++i) fprintf(file, " frame_with_a_long_name_%03d\t %d", i, i % 5);
    fprintf(file, "\nEND_ANIMATION: many\nBEGIN_MODULE: main\n\tPOLYGON: round\n\t\tCOLOR: 1 2 3\n"
                  "\t\tBITMAP: NO_BITMAP\n\t\tTRANSPARENT: -1\n\t\tROTATED: NO\n\t\tLIGHT_DIMINUTION: 0\n"
                  "\t\tNUM_OF_POINTS: 100\n");
    for (int i = 0; i < 100; ++i) {
        const double a = 6.283185307179586 * i / 100;
        fprintf(file, "\t\t\t% .16G\t% .16G\t% .16G\t% .16G\t% .16G\t 100\tRGB: %d %d %d N: 0 0 127\n",
                1000.123456789 * cos(a), 1000.123456789 * sin(a), 0.0, 12.3456789 + cos(a), 45.678912345 + sin(a),
                i, 255 - i, 2 * i);
    }
    fprintf(file, "END_MODULE: main\nEND_DESIGN:\n");
    return fclose(file) == 0;
}

/* ------------------------------------------------------------------ the table */

typedef struct {
    const char* file;
    const char* folder;
    int flags; /* of the loads: 4 editor mode, 0 viewer mode */
    const char* what;
} world_case;

/* What the C locale's pass made of a world's .wld save. */
typedef struct {
    char wld[300];  /* the save */
    char* readings; /* read back */
    char* again;    /* saved once more */
} world_record;

/* The name of a save made in a pass: "saved_<pass>_<flags>_<file less extension>.<extension>". */
static void save_name(char* out, size_t size, const char* pass, int flags, const char* file, const char* extension) {
    snprintf(out, size, "saved_%s_%d_%.*s.%s", pass, flags, (int)(strrchr(file, '.') - file), file, extension);
    for (char* at = out; *at; ++at) {
        if (*at == ' ') *at = '_';
    }
}

/* The .wld save read back: the same readings, and saved once more. In the comma pass the C
   locale's save also reads, and is written, as it was there. */
static void check_text_save(const world_case* c, const char* pass, world_record* record, const char* original,
                            const char* wld) {
    char what[256], again[300];
    save_name(again, sizeof again, pass, c->flags, c->file, "again.wld");
    snprintf(what, sizeof what, "%s: the .wld save of %s loads", pass, c->file);
    check(Drovik_engine_load_world(wld, ".", "", c->flags) == 0, what);
    char* from_text = world_readings(0);
    snprintf(what, sizeof what, "%s: the .wld save of %s reads the same", pass, c->file);
    same_readings(original, from_text, wld, what);
    snprintf(what, sizeof what, "%s: the .wld save of %s is saved once more", pass, c->file);
    check(Drovik_engine_save(again, NULL, 0) == 0, what);
    if (!record->readings) {
        snprintf(record->wld, sizeof record->wld, "%s", wld);
        record->readings = from_text;
        record->again = read_text(again);
        return;
    }
    free(from_text);
    snprintf(what, sizeof what, "%s: the C locale's save of %s loads", pass, c->file);
    check(Drovik_engine_load_world(record->wld, ".", "", c->flags) == 0, what);
    char* c_save = world_readings(0);
    snprintf(what, sizeof what, "%s: the C locale's save of %s reads as it did there", pass, c->file);
    same_readings(record->readings, c_save, again, what);
    snprintf(what, sizeof what, "%s: the C locale's save of %s is saved once more", pass, c->file);
    check(Drovik_engine_save(again, NULL, 0) == 0, what);
    char* text = read_text(again);
    snprintf(what, sizeof what, "%s: the C locale's save of %s is written as it was there", pass, c->file);
    check(text && record->again && strcmp(text, record->again) == 0, what);
    free(text);
    free(c_save);
}

/* Loads, reads out, saves both ways, and reads each save back after a fresh start. Viewer mode
   saves only binary files. */
static void run_world(const world_case* c, const char* pass, world_record* record) {
    const int viewer = !(c->flags & 4);
    char what[256], drovik[300], wld[300];
    save_name(drovik, sizeof drovik, pass, c->flags, c->file, "drovik");
    save_name(wld, sizeof wld, pass, c->flags, c->file, "wld");

    snprintf(what, sizeof what, "%s: %s (%s) loads", pass, c->file, c->what);
    check(Drovik_engine_load_world(c->file, c->folder, "", c->flags) == 0, what);
    char* original = world_readings(0);
    char* original_kept = world_readings(1);
    snprintf(what, sizeof what, "%s: %s is saved as .drovik", pass, c->file);
    check(Drovik_engine_save(drovik, NULL, 0) == 0, what);
    snprintf(what, sizeof what, viewer ? "%s: in viewer mode %s is not saved as .wld" : "%s: %s is saved as .wld", pass,
             c->file);
    check(Drovik_engine_save(wld, NULL, 0) == (viewer ? -1 : 0), what);
    Drovik_engine_close();

    snprintf(what, sizeof what, "%s: the .drovik save of %s loads", pass, c->file);
    check(Drovik_engine_load_world(drovik, ".", "", c->flags) == 0, what);
    char* from_binary = world_readings(1);
    snprintf(what, sizeof what, "%s: the .drovik save of %s reads the same", pass, c->file);
    same_readings(original_kept, from_binary, drovik, what);
    if (!viewer) check_text_save(c, pass, record, original, wld);
    free(original);
    free(original_kept);
    free(from_binary);
}

static const world_case worlds[] = {
    {"box.wld", FIXTURES, 4, "polygons, comments, atmosphere, a track and a SOUND block"},
    {"crlf.wld", FIXTURES, 4, "the same with CR LF line ends"},
    {"includes.wld", FIXTURES, 4, "an include, a default colour and a placed object"},
    {"scene.wld", FIXTURES, 4, "a camera, a background, a light and an animation"},
    {"dynamic.wld", FIXTURES, 4, "a dynamic object on a track, in editor mode"},
    /* Copies: viewer mode writes its BSP cache beside the world. */
    {"dynamic.wld", ".", 0, "a dynamic object on a track, in viewer mode"},
    {"scene.wld", ".", 0, "a camera, a background, a light and an animation, in viewer mode"},
    {"long.wld", ".", 4, "long blocks"},
};
enum { world_count = sizeof worlds / sizeof worlds[0] };

static void run_table(const char* pass, world_record records[]) {
    for (int i = 0; i < world_count; ++i) run_world(&worlds[i], pass, &records[i]);
}

/* ------------------------------------------------------------------ damaged worlds */

typedef struct {
    const char* file;
    const char* folder;
    const char* report; /* the line the logs must hold */
} damaged_case;

static void run_damaged(const char* pass) {
    static const damaged_case cases[] = {
        {"truncated.wld", ".", "read_light: faild to read DIRECTION:\n"},
        {"bad_number.wld", ".", "read_a_polygon: faild to read COLOR\n"},
        {"comma_number.wld", ".", "read_atmosphere: faild to read FOG:\n"},
        {"too_many_points.wld", ".", "read_a_polygon: faild to read NUM_OF_POINTS\n"},
        {"missing_include.wld", FIXTURES,
         "engine_read_world_design: failed reading " TEXT_WORLD_C_DATA "/wld/nowhere.wld\n"},
        {"no_begin.wld", FIXTURES, "engine_read_world_file: cant find BEGIN_DESIGN:\n"},
        {"open_comment.wld", FIXTURES, "engine_read_world_file: bad comments missing closing *\\ \n"},
        {"short_polygon.wld", FIXTURES, "read_a_module: failed reading a polygon\n"},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const damaged_case* c = &cases[i];
        char what[256];
        const long errors = file_size("error.log"), log = file_size("Drovik.log");
        snprintf(what, sizeof what, "%s: %s gives -1", pass, c->file);
        check(Drovik_engine_load_world(c->file, c->folder, "", 4) == -1, what);
        snprintf(what, sizeof what, "%s: %s leaves its report in the logs", pass, c->file);
        const int reported = log_holds_after("error.log", errors, c->report) || log_holds_after("Drovik.log", log, c->report);
        check(reported, what);
        if (!reported) printf("  expected: %s", c->report);
    }
}

static void write_damaged_worlds(void) {
    check(write_text("truncated.wld", "BEGIN_DESIGN:\nLIGHT: lamp\n\tLOCATION: 0 0 100\n\tDIRECTION: 0 0"),
          "a world cut off inside a light block written");
    check(write_text("bad_number.wld", "BEGIN_DESIGN:\nBEGIN_MODULE: main\n\tPOLYGON: p\n\t\tCOLOR: 10 2O 30\n"
                                       "\t\tBITMAP: NO_BITMAP\n\t\tTRANSPARENT: -1\n\t\tROTATED: NO\n"
                                       "\t\tLIGHT_DIMINUTION: 0\n\t\tNUM_OF_POINTS: 3\n\t\t\t0 0 0 0 0 100\n"
                                       "\t\t\t1 0 0 0 0 100\n\t\t\t1 1 0 0 0 100\nEND_MODULE: main\nEND_DESIGN:\n"),
          "a world with a letter in a number written");
    check(write_text("comma_number.wld", "BEGIN_DESIGN:\nATMOSPHERE: 1 2 3 FOG: 0,5\n"
                                         "BEGIN_MODULE: main\nEND_MODULE: main\nEND_DESIGN:\n"),
          "a world with a decimal comma written");
    FILE* file = fopen("too_many_points.wld", "w");
    if (file) {
        fprintf(file, "BEGIN_DESIGN:\nBEGIN_MODULE: main\n\tPOLYGON: p\n\t\tCOLOR: 1 2 3\n\t\tBITMAP: NO_BITMAP\n"
                      "\t\tTRANSPARENT: -1\n\t\tROTATED: NO\n\t\tLIGHT_DIMINUTION: 0\n\t\tNUM_OF_POINTS: 101\n");
        for (int i = 0; i < 101; ++i) {
            const double a = 6.283185307179586 * i / 101;
            fprintf(file, "\t\t\t%.6f %.6f 0 0 0 100\n", 100 * cos(a), 100 * sin(a));
        }
        fprintf(file, "END_MODULE: main\nEND_DESIGN:\n");
    }
    check(file && fclose(file) == 0, "a world with a 101-point polygon written");
}

/* ------------------------------------------------------------------ the SOUND block */

/* A tenth of a second of silence, 16-bit mono. */
static int write_wav(const char* path) {
    unsigned char header[44];
    const unsigned long rate = 22050, bytes = rate / 10 * 2;
    memcpy(header, "RIFF", 4);
    put32(header + 4, 36 + bytes);
    memcpy(header + 8, "WAVEfmt ", 8);
    put32(header + 16, 16);
    put16(header + 20, 1);
    put16(header + 22, 1);
    put32(header + 24, rate);
    put32(header + 28, rate * 2);
    put16(header + 32, 2);
    put16(header + 34, 16);
    memcpy(header + 36, "data", 4);
    put32(header + 40, bytes);
    FILE* file = fopen(path, "wb");
    if (!file) return 0;
    int ok = fwrite(header, 1, sizeof header, file) == sizeof header;
    for (unsigned long i = 0; i < bytes; ++i) ok = ok && fputc(0, file) != EOF;
    return fclose(file) == 0 && ok;
}

/* The block from "SOUND: <name>" to the end of its closing line's blanks, or NULL. */
static char* sound_block(const char* text, const char* name) {
    char head[64], tail[64];
    snprintf(head, sizeof head, "SOUND: %s", name);
    snprintf(tail, sizeof tail, "END_SOUND: %s", name);
    const char* start = text ? strstr(text, head) : NULL;
    const char* end = start ? strstr(start, tail) : NULL;
    if (!end) return NULL;
    end += strlen(tail);
    while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n') ++end;
    const size_t size = (size_t)(end - start);
    char* block = malloc(size + 1);
    if (!block) return NULL;
    memcpy(block, start, size);
    block[size] = '\0';
    return block;
}

/* The words of a block as the sound reader splits them, one blank between. */
static char* block_words(const char* block) {
    text_buffer out = {0};
    const char* separators = " ,\t\r\n";
    for (const char* at = block; at && *at;) {
        at += strspn(at, separators);
        const size_t length = strcspn(at, separators);
        if (length) add(&out, "%s%.*s", out.size ? " " : "", (int)length, at);
        at += length;
    }
    return out.text;
}

static void sound_block_comes_back(void) {
    mkdir("sound", 0755);
    mkdir("sound/Sounds", 0755);
    char* fixture = read_text(FIXTURES "/box.wld");
    check(fixture && write_text("sound/box.wld", fixture), "the fixture with a SOUND block copied beside a Sounds folder");
    check(write_wav("sound/Sounds/bell.wav"), "its sound file written");
    check(Drovik_engine_load_world("box.wld", "sound", "", 4) == 0, "the world with a SOUND block loads");
    DROVIK_HANDLE bell = Drovik_sound_get_handle_using_name("bell");
    check(bell != NULL, "its sound is loaded under the file's name");
    mkdir("sound/saved", 0755);
    check(Drovik_engine_save("sound/saved/box.wld", NULL, 0) == 0, "the world with a SOUND block is saved as .wld");
    char* saved = read_text("sound/saved/box.wld");
    char* original_block = sound_block(fixture, "bell");
    char* saved_block = sound_block(saved, "bell");
    char* original_words = block_words(original_block);
    char* saved_words = block_words(saved_block);
    check(original_words && strcmp(original_words,
                                   "SOUND: bell OBJECT_TYPE: no_object OBJECT_NAME: no_object FILE_NAME: bell.wav "
                                   "END_SOUND: bell") == 0,
          "the fixture's block read out word by word");
    check(saved_words && original_words && strcmp(saved_words, original_words) == 0,
          "the SOUND block comes back unchanged: the same words in the same order");
    check(saved_block && strcmp(saved_block, "SOUND: bell \r\n\r\tOBJECT_TYPE: no_object \r\n\r\tOBJECT_NAME: no_object "
                                             "\r\n\r\tFILE_NAME: bell.wav \r\n\rEND_SOUND: bell \r\n\r\r") == 0,
          "the saved SOUND block is laid out as the writer lays every block out");
    int blocks = 0;
    for (const char* at = saved; at && (at = strstr(at, "END_SOUND:")) != NULL; ++at) ++blocks;
    check(blocks == 1, "the saved world holds one SOUND block");
    check(file_size("sound/saved/Sounds/bell.wav") == file_size("sound/Sounds/bell.wav"),
          "the sound file is copied beside the saved world");

    free(fixture);
    free(saved);
    free(original_block);
    free(saved_block);
    free(original_words);
    free(saved_words);
}

/* ------------------------------------------------------------------ the comma locale */

static int comma_decimal(void) { return localeconv()->decimal_point[0] == ','; }

/* An installed comma-decimal locale, or one compiled into the test's build folder. */
static int use_comma_locale(void) {
    static const char* const names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8", "fr_FR"};
    for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i) {
        if (setlocale(LC_NUMERIC, names[i]) && comma_decimal()) return 1;
    }
    const char* folder = TEXT_WORLD_C_LOCALES;
    char locale[512], numeric[600], command[1200];
    struct stat s;
    snprintf(locale, sizeof locale, "%s/de_DE.UTF-8", folder);
    snprintf(numeric, sizeof numeric, "%s/LC_NUMERIC", locale);
    if (stat(numeric, &s) != 0) {
        mkdir(folder, 0755);
        snprintf(command, sizeof command, "localedef -i de_DE -f UTF-8 '%s' >/dev/null 2>&1", locale);
        if (system(command) != 0) return 0;
    }
    setenv("LOCPATH", folder, 1);
    return setlocale(LC_NUMERIC, "de_DE.UTF-8") && comma_decimal();
}

int main(void) {
    world_record records[world_count];
    memset(records, 0, sizeof records);
    check(write_long_blocks("long.wld"), "the world of long blocks written");
    for (int i = 0; i < world_count; ++i) {
        if (worlds[i].flags & 4) continue;
        char path[300], what[300];
        snprintf(path, sizeof path, "%s/%s", FIXTURES, worlds[i].file);
        char* fixture = read_text(path);
        snprintf(what, sizeof what, "%s copied for viewer mode", worlds[i].file);
        check(fixture && write_text(worlds[i].file, fixture), what);
        free(fixture);
    }
    write_damaged_worlds();

    run_table("C locale", records);
    run_damaged("C locale");

    if (use_comma_locale()) {
        run_table("comma locale", records);
        run_damaged("comma locale");
        setlocale(LC_NUMERIC, "C");
    } else {
        printf("skipped: no comma-decimal locale is installed and none could be compiled with localedef\n");
    }

    sound_block_comes_back();
    Drovik_engine_close();
    for (int i = 0; i < world_count; ++i) {
        free(records[i].readings);
        free(records[i].again);
    }
    printf("%d failed\n", failures);
    return failures ? 1 : 0;
}
