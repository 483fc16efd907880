/* A program that knows only drovik.h: handle checks and their log lines, worlds loaded and saved,
   the world guard, and a close that leaves no memory behind. Prints one line per check. */
#define _POSIX_C_SOURCE 200809L /* dup and dup2, to catch stderr for a moment */

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "drovik.h"

#define CALLER "c_api_test"
#define STDERR_FILE "c_api_stderr.txt"

static int failures = 0;

static void check(int ok, const char* what) {
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    fflush(stdout);
    if (!ok) ++failures;
}

/* The whole file as a NUL-terminated buffer (NULL when it cannot be read); *size gets its length. */
static char* read_file(const char* path, size_t* size) {
    FILE* file = fopen(path, "rb");
    if (!file) return NULL;
    size_t capacity = 4096, used = 0;
    char* text = malloc(capacity);
    while (text) {
        used += fread(text + used, 1, capacity - used - 1, file);
        if (used < capacity - 1) break;
        capacity *= 2;
        char* bigger = realloc(text, capacity);
        if (!bigger) free(text);
        text = bigger;
    }
    fclose(file);
    if (!text) return NULL;
    text[used] = '\0';
    if (size) *size = used;
    return text;
}

static size_t file_size(const char* path) {
    size_t size = 0;
    free(read_file(path, &size));
    return size;
}

/* Whether the file holds the text after byte `from`. */
static int file_has(const char* path, size_t from, const char* text) {
    size_t size = 0;
    char* contents = read_file(path, &size);
    const int found = contents && from <= size && strstr(contents + from, text) != NULL;
    free(contents);
    return found;
}

typedef int (*handle_check)(DROVIK_HANDLE, const char*);

struct check_case {
    handle_check check;
    const char* word;     /* names the kind in the garbage-memory text */
    const char* null_log; /* after "<caller>: " */
};

static const struct check_case cases[] = {
    {Drovik_camera_is_camera, "camera", "Camera handle is NULL\n"},
    {Drovik_object_is_object, "object", "Object handle is NULL\n"},
    {Drovik_bitmap_is_bitmap, "bitmap", "bitmap handle is NULL\n"},
    {Drovik_track_is_track, "track", "Track handle is NULL\n"},
    {Drovik_animation_is_animation, "animation", "animation handle is NULL\n"},
    {Drovik_background_is_background, "background", "background handle is NULL\n"},
    {Drovik_polygon_is_polygon, "polygon", "polygon handle is NULL\n"},
    {Drovik_point_is_point, "point", "point handle is NULL\n"},
    {Drovik_light_is_light, "light", "light handle is NULL\n"},
    {Drovik_3D_animation_is_3D_animation, "anim3d", "animation3d handle is NULL\n"},
    {Drovik_3D_sequence_is_3D_sequence, "seq3d", "sequence3d handle is NULL\n"},
};

/* Both logs got the line since the sizes were taken. */
static int both_logs_have(size_t log_from, size_t errors_from, const char* line) {
    return file_has("Drovik.log", log_from, line) && file_has("error.log", errors_from, line);
}

static void handle_checks(void) {
    /* Real memory that is no engine record, and an address above 4 GB that is none either. */
    static int not_a_record;
    DROVIK_HANDLE garbage[2] = {&not_a_record, (DROVIK_HANDLE)(uintptr_t)UINT64_C(0x7ff012345670)};
    char line[512], what[256];
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const struct check_case* c = &cases[i];
        size_t log_at = file_size("Drovik.log"), errors_at = file_size("error.log");
        snprintf(what, sizeof what, "%s check: a NULL handle is refused and logged", c->word);
        snprintf(line, sizeof line, "%s: %s", CALLER, c->null_log);
        check(c->check(NULL, CALLER) == 0 && both_logs_have(log_at, errors_at, line), what);

        log_at = file_size("Drovik.log");
        errors_at = file_size("error.log");
        snprintf(what, sizeof what, "%s check: without a name the test is silent", c->word);
        check(c->check(NULL, NULL) == 0 && c->check(garbage[0], NULL) == 0 &&
                  file_size("Drovik.log") == log_at && file_size("error.log") == errors_at,
              what);

        for (int g = 0; g < 2; ++g) {
            log_at = file_size("Drovik.log");
            errors_at = file_size("error.log");
            snprintf(what, sizeof what, "%s check: garbage address %d is refused and logged", c->word, g + 1);
            snprintf(line, sizeof line,
                     "%s: Illegal %s handle\nIllegal memory address !!!\nThis is garbage memory instead of a handle\n",
                     CALLER, c->word);
            check(c->check(garbage[g], CALLER) == 0 && both_logs_have(log_at, errors_at, line), what);
        }
    }
    size_t log_at = file_size("Drovik.log");
    check(Drovik_group_is_group(NULL, CALLER) == 1 && file_size("Drovik.log") == log_at,
          "group check: NULL is the whole world");
    const size_t errors_at = file_size("error.log");
    check(Drovik_group_is_group(garbage[1], CALLER) == 0 &&
              both_logs_have(log_at, errors_at,
                             CALLER ": Illegal group handle\nIllegal memory address !!!\n"
                                    "This is garbage memory instead of a handle\n"),
          "group check: a garbage address is refused and logged");
}

static int same_bytes(const char* a, const char* b) {
    size_t size_a = 0, size_b = 0;
    char* bytes_a = read_file(a, &size_a);
    char* bytes_b = read_file(b, &size_b);
    const int same = bytes_a && bytes_b && size_a > 0 && size_a == size_b && memcmp(bytes_a, bytes_b, size_a) == 0;
    free(bytes_a);
    free(bytes_b);
    return same;
}

static int copy_file(const char* from, const char* to) {
    size_t size = 0;
    char* bytes = read_file(from, &size);
    FILE* out = bytes ? fopen(to, "wb") : NULL;
    int ok = out && fwrite(bytes, 1, size, out) == size;
    if (out) ok = fclose(out) == 0 && ok;
    free(bytes);
    return ok;
}

/* Runs the call with stderr caught in STDERR_FILE; 1 when it was caught. */
static int with_stderr_caught(void (*call)(void)) {
    fflush(stderr);
    const int kept = dup(2);
    const int caught = kept >= 0 && freopen(STDERR_FILE, "w", stderr) != NULL;
    call();
    fflush(stderr);
    if (kept >= 0) {
        dup2(kept, 2);
        close(kept);
    }
    return caught;
}

static int guard_result;

static void save_before_a_load(void) { guard_result = Drovik_engine_save("guard.drovik", NULL, 0); }

/* Headless message boxes go to stderr: the guard's box is caught in a file for the one call. */
static void world_guard(void) {
    check(Drovik_engine_is_engine_empty() == 1, "no world is loaded at first");
    const int caught = with_stderr_caught(save_before_a_load);
    const int result = guard_result;
    check(caught, "stderr caught for the guarded call");
    check(result == -1, "saving before a load is refused");
    check(file_has(STDERR_FILE, 0,
                   "Drovik_engine_save:\nYou must call Drovik_engine_load_world()\n before calling this function !!\n"),
          "the world guard's box names the export and the load call");
    check(file_size("guard.drovik") == 0, "the refused save wrote nothing");
}

static void worlds(void) {
    check(Drovik_engine_load_world(NULL, ".", "", 0) == 0, "loading NULL gives an empty world");
    check(Drovik_engine_is_editor_mode() == 0, "the empty world is in viewer mode");

    check(Drovik_engine_load_world("small.drovik", DROVIK_C_API_FIXTURES, "", 0) == 0,
          "a generator-made binary world loads");
    check(Drovik_engine_is_engine_empty() == 0, "the loaded world is not empty");
    check(Drovik_engine_save("first.drovik", NULL, 0) == 0, "the world saves to a copy");
    check(Drovik_engine_load_world("first.drovik", ".", "", 0) == 0, "the copy loads again");
    check(Drovik_engine_save("second.drovik", NULL, 0) == 0 && copy_file("second.drovik", "second_kept.drovik"),
          "the reloaded copy saves");
    /* The whole-world save wraps the world in a group named with the path, so the same path is
       used for the two saves compared. */
    check(Drovik_engine_save("second.drovik", NULL, 0) == 0 && same_bytes("second.drovik", "second_kept.drovik"),
          "saving the reloaded world again gives the same bytes");
    check(Drovik_engine_load_world("second.drovik", ".", "", 0) == 0, "the second copy loads too");

    int count = 0;
    const char** extensions = Drovik_engine_get_supported_formats_extensions_array(&count);
    check(count == 6 && extensions && strcmp(extensions[5], "drovik") == 0, "six formats, the binary one last");
}

static DROVIK_HANDLE sample_object;
static int foreign_result;

static void ask_a_camera_export_about_an_object(void) { foreign_result = Drovik_camera_get_width(sample_object); }


/* The engine, camera and object families on a binary world. */
static void families(void) {
    check(Drovik_engine_load_world("full.drovik", DROVIK_C_API_FIXTURES, "", 0) == 0, "the full binary world loads");
    Drovik_engine_set_culling_depth(128);
    Drovik_engine_increase_culling_depth();
    const int far = Drovik_engine_get_culling_depth();
    Drovik_engine_decrease_culling_depth();
    check(far == 3200 && Drovik_engine_get_culling_depth() == 160, "culling depth steps 128, 3200, 160");

    DROVIK_HANDLE camera = Drovik_camera_get_default_camera();
    DROVIK_CAMERA_VALUES values;
    check(camera && Drovik_camera_save(camera, &values) == 0 && sizeof values == 216, "the camera record is saved");
    values.location[2] = 77;
    DROVIK_HANDLE copy = Drovik_camera_recreate("c_api_copy", &values);
    double x = 0, y = 0, z = 0;
    Drovik_camera_get_location(copy, &x, &y, &z);
    check(copy && z == 77 && Drovik_camera_get_width(copy) == values.width, "a camera is made from the record");

    sample_object = Drovik_object_create("c_api_box");
    check(sample_object && Drovik_object_get_object_using_name("c_api_box") == sample_object, "an object is found by name");
    double box[2][3];
    check(Drovik_object_set_location(sample_object, 10, 20, 30) == 0 &&
              Drovik_object_get_bounding_box(sample_object, box) == 0 && box[0][0] == 10 && box[1][2] == 30,
          "the object's box stands where it was put");

    size_t errors_at = file_size("error.log");
    check(with_stderr_caught(ask_a_camera_export_about_an_object) && foreign_result == 0,
          "a camera export refuses an object handle");
    check(file_has("error.log", errors_at,
                   "Drovik_camera_get_width: Fatal, got a different kind of handle\n"
                   "Check if you accidantlly gave the wrong handle !\n"),
          "error.log names the export and the wrong kind");
    check(file_has(STDERR_FILE, 0, "Fatal, got a different kind of handle\nCheck if you accidantlly gave the wrong handle !"),
          "the box says the same");

    check(Drovik_object_delete(sample_object) == 0 && Drovik_camera_delete(copy) == 0, "the sample is deleted");

    int width = 0, height = 0, bits = 0;
    check(Drovik_engine_set_resolution(800, 600, 16) == 0, "a display mode is set");
    Drovik_engine_get_resolution(&width, &height, &bits);
    check(width == 800 && height == 600 && bits == 16, "the display reports the mode set");
}

int main(void) {
    remove("Drovik.log");
    remove("error.log");
    remove("guard.drovik");
    handle_checks();
    world_guard();
    worlds();
    families();
    check(Drovik_engine_close() == 0, "the engine closes");
    check(file_size("Drovik.log") > 0 && !file_has("Drovik.log", 0, "Didnt free all mem"),
          "Drovik.log reports no memory left behind");
    printf("%s: %d failed\n", failures ? "FAILED" : "PASSED", failures);
    return failures ? 1 : 0;
}
