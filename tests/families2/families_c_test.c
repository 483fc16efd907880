/* A program that knows only drovik.h runs the light, background, animation, bitmap and track
   families on a generated bitmap and a generated binary world. Prints one line per check. */
#define _POSIX_C_SOURCE 200809L /* dup, dup2 and mkdir */

#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "drovik.h"

#define STDERR_FILE "families_stderr.txt"

static int failures = 0;

static void check(int ok, const char* what) {
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    fflush(stdout);
    if (!ok) ++failures;
}

/* The first bytes of a file (up to size); the number read. */
static size_t read_head(const char* path, unsigned char* out, size_t size) {
    FILE* file = fopen(path, "rb");
    if (!file) return 0;
    const size_t got = fread(out, 1, size, file);
    fclose(file);
    return got;
}

static size_t file_size(const char* path) {
    FILE* file = fopen(path, "rb");
    if (!file) return 0;
    size_t size = 0;
    while (fgetc(file) != EOF) ++size;
    fclose(file);
    return size;
}

/* Whether the file holds the text after byte `from`. */
static int file_has(const char* path, size_t from, const char* text) {
    const size_t size = file_size(path);
    FILE* file = fopen(path, "rb");
    if (!file) return 0;
    char* contents = calloc(size + 1, 1);
    const int read_all = contents && fread(contents, 1, size, file) == size;
    fclose(file);
    const int found = read_all && from <= size && strstr(contents + from, text) != NULL;
    free(contents);
    return found;
}

static void put32(unsigned char* at, uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = (unsigned char)(v >> (8 * i));
}

/* A 16 x 16 8-bit BMP of two colours: a blue diagonal on red. */
static int write_bmp(const char* path) {
    unsigned char file[14 + 40 + 8 + 256] = {0};
    file[0] = 'B';
    file[1] = 'M';
    put32(file + 2, sizeof file);
    put32(file + 10, 14 + 40 + 8);
    put32(file + 14, 40);
    put32(file + 18, 16);
    put32(file + 22, 16);
    file[26] = 1;
    file[28] = 8;
    put32(file + 46, 2);
    const unsigned char palette[8] = {40, 40, 200, 0, 200, 40, 40, 0}; /* blue, green, red, 0 */
    memcpy(file + 54, palette, sizeof palette);
    for (int i = 0; i < 16; ++i) file[62 + i * 17] = 1;
    FILE* out = fopen(path, "wb");
    if (!out) return 0;
    const int ok = fwrite(file, 1, sizeof file, out) == sizeof file;
    return fclose(out) == 0 && ok;
}

static int caught_fd = -1;

/* Headless boxes go to stderr: caught in a file between these two calls. */
static void catch_stderr(void) {
    fflush(stderr);
    caught_fd = dup(2);
    if (!freopen(STDERR_FILE, "w", stderr)) check(0, "stderr caught");
}

static void release_stderr(void) {
    fflush(stderr);
    if (caught_fd >= 0) {
        dup2(caught_fd, 2);
        close(caught_fd);
        caught_fd = -1;
    }
}

static DROVIK_HANDLE bitmaps(void) {
    check(write_bmp("stripe.bmp"), "a bitmap file is generated");
    DROVIK_HANDLE stripe = Drovik_bitmap_load("stripe.bmp", -1);
    check(stripe != NULL && Drovik_bitmap_get_width(stripe) == 16, "the bitmap loads");
    check(Drovik_bitmap_load("STRIPE", -1) == stripe, "the same name and index give the same bitmap");
    check(Drovik_bitmap_set_palette_color(stripe, 0, 40, 80, 120) == 0, "a palette colour is set");
    int r = 0, g = 0, b = 0;
    check(Drovik_bitmap_index_to_rgb(stripe, 0, &r, &g, &b) == 0 && abs(r - 40) < 8 && abs(g - 80) < 4 &&
              abs(b - 120) < 8,
          "the colour reads back within the 16-bit steps");
    r = g = b = 7;
    check(Drovik_bitmap_index_to_rgb(stripe, Drovik_bitmap_get_palette_size(stripe), &r, &g, &b) == -1 && r == 0 &&
              g == 0 && b == 0,
          "an index past the palette gives -1 and zeroed outs");

    check(mkdir("pics", 0755) == 0 || errno == EEXIST, "a folder for the saves");
    unsigned char head[2] = {0};
    Drovik_bitmap_save(stripe, "pics/sky.jpg");
    check(read_head("pics/sky.jpg", head, 2) == 2 && head[0] == 0xFF && head[1] == 0xD8, "a .jpg save writes a JPEG");
    check(strcmp(Drovik_bitmap_get_name(stripe), "STRIPE") == 0, "the bitmap keeps its name");
    Drovik_bitmap_save(stripe, "pics/sky.jbm");
    check(file_size("pics/sky.jbm") == 8 + 256 && file_size("pics/sky.clr") == 2 + 3 * 2,
          "a .jbm save writes the engine's two files");
    Drovik_bitmap_save(stripe, "pics/sky.bmp");
    check(read_head("pics/sky.bmp", head, 2) == 2 && head[0] == 'B' && head[1] == 'M', "a .bmp save writes a BMP");
    return stripe;
}

static void tracks_and_lights(void) {
    const double points[6] = {0, 0, 0, 100, 0, 0};
    DROVIK_HANDLE rail = Drovik_track_create("rail", 0, points, 2);
    check(rail != NULL && Drovik_track_create("rail", 0, NULL, 2) == NULL, "a track needs points");
    check(strcmp(Drovik_track_get_name(Drovik_track_create("rail", 1, points, 2)), "rail_2") == 0,
          "a second track of the name is rail_2");
    check(Drovik_track_set_number_of_points(rail, 3) == -1 && Drovik_track_get_number_of_points(rail) == 2,
          "a count past the points is refused");

    const size_t errors_at = file_size("error.log");
    double at[3];
    catch_stderr();
    const int point = Drovik_track_get_point(rail, 5, at);
    Drovik_track_set_name(rail, "");
    DROVIK_HANDLE eye = Drovik_camera_get_first_camera();
    const double origin[3] = {0, 0, 100};
    DROVIK_HANDLE lamp = Drovik_light_create("lamp", origin);
    const int bound = Drovik_light_set_entity_to_light(lamp, eye);
    release_stderr();
    check(point == 0, "a point past the track gives 0");
    check(file_has(STDERR_FILE, 0, "Drovik_track_get_point: point index is out of range\n"),
          "the point refusal is boxed");
    check(file_has("error.log", errors_at, "Drovik_track_set_name: can set an empty name\n"),
          "the empty track name is logged");
    check(eye != NULL && bound == -1 && Drovik_light_get_entity_to_light(lamp) == NULL,
          "a camera cannot be lit and the light keeps lighting the world");
    check(file_has("error.log", errors_at,
                   "light_set_entity_to_light: entity_to_light must be a group or an object or a polygon\n") &&
              file_has(STDERR_FILE, 0,
                       "Drovik_light_set_entity_to_light: entity_to_light must be a group or an object or a polygon\n"),
          "the light refusal is logged and boxed");

    check(Drovik_camera_set_track(eye, rail) == 0, "the camera follows the track");
    Drovik_track_delete(rail);
    check(Drovik_camera_get_track_handle(eye) == NULL && strcmp(Drovik_camera_get_track_name(eye), "NO_TRACK") == 0,
          "deleting the track leaves the camera on no track");
    Drovik_light_delete(lamp);
    check(Drovik_light_is_light(lamp, NULL) == 0, "the light is gone");
}

static void backgrounds_and_animations(DROVIK_HANDLE stripe) {
    DROVIK_HANDLE sky = Drovik_background_create("dawn", stripe);
    check(sky != NULL && strcmp(Drovik_background_get_name(Drovik_background_create("dawn", stripe)), "dawn_2") == 0,
          "backgrounds get unique names");
    Drovik_background_use(sky);
    check(Drovik_background_get_current_background() == sky, "the background is current");
    Drovik_background_delete(sky);
    check(Drovik_background_get_current_background() == NULL, "deleting the current background leaves none");

    DROVIK_HANDLE walk = Drovik_animation_create("walk");
    for (int i = 0; i < 3; ++i) Drovik_animation_add_bitmap(walk, 1, stripe, -1);
    Drovik_animation_add_bitmap(walk, 5, stripe, -1);
    check(Drovik_animation_get_number_of_frames(walk) == 3 && Drovik_animation_get_number_of_bitmaps(walk) == 6,
          "every view is padded to the longest");
    const unsigned int times[4] = {10, 20, 30, 40};
    check(Drovik_animation_set_times(walk, times, 4) == -1 && Drovik_animation_get_frame_time(walk, 0) == 50,
          "more times than frames are refused");
    check(Drovik_animation_set_times(walk, times, 3) == 0 && Drovik_animation_get_frame_time(walk, 2) == 30,
          "the times are set");
    DROVIK_HANDLE copy = Drovik_animation_duplicate(walk, "walk");
    check(copy != NULL && Drovik_animation_get_frame_time(copy, 1) == 20, "a duplicate keeps the times");
    Drovik_animation_delete_all();
    check(Drovik_animation_get_first_animation() == NULL, "every animation is deleted");
    check(Drovik_bitmap_unload(stripe) == 0, "the bitmap unloads");
    check(Drovik_background_get_bitmap(Drovik_background_get_first_background()) == NULL,
          "the remaining background no longer shows the unloaded bitmap");
}

int main(void) {
    remove("Drovik.log");
    remove("error.log");
    check(Drovik_engine_load_world("small.drovik", DROVIK_FIXTURES, "", 4) == 0, "a generator-made binary world loads");
    DROVIK_HANDLE stripe = bitmaps();
    tracks_and_lights();
    backgrounds_and_animations(stripe);
    check(Drovik_engine_close() == 0, "the engine closes");
    check(file_size("Drovik.log") > 0 && !file_has("Drovik.log", 0, "Didnt free all mem"),
          "Drovik.log reports no memory left behind");
    printf("%s: %d failed\n", failures ? "FAILED" : "PASSED", failures);
    return failures ? 1 : 0;
}
