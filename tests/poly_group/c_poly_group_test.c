/* A program that knows only drovik.h: polygons and groups built and edited in an editor world
   (a terrain from a generated height map) and in a generated binary world, with the refusal
   texts read back from standard error and error.log. Prints one line per check. */
#define _POSIX_C_SOURCE 200809L /* dup and dup2, to catch stderr */

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "drovik.h"

#define STDERR_FILE "c_poly_group_stderr.txt"

static int failures = 0;
static int kept_stderr = -1;

static void check(int ok, const char* what) {
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    fflush(stdout);
    if (!ok) ++failures;
}

/* Whether the file holds the text. */
static int file_has(const char* path, const char* text) {
    FILE* file = fopen(path, "rb");
    if (!file) return 0;
    static char buffer[1 << 20];
    const size_t used = fread(buffer, 1, sizeof buffer - 1, file);
    fclose(file);
    buffer[used] = '\0';
    return strstr(buffer, text) != NULL;
}

/* Boxes are written to stderr without a display: they go to a file for the whole run. */
static int catch_stderr(void) {
    fflush(stderr);
    kept_stderr = dup(2);
    return kept_stderr >= 0 && freopen(STDERR_FILE, "w", stderr) != NULL;
}

static int box_shown(const char* text) {
    fflush(stderr);
    return file_has(STDERR_FILE, text);
}

static void put_le(FILE* file, unsigned value, int bytes) {
    for (int k = 0; k < bytes; ++k) fputc((int)((value >> (8 * k)) & 0xFF), file);
}

/* A 4 x 4 8-bit grey BMP: headers, a grey palette, rows bottom-up (4 bytes each, no padding). */
static int write_height_map(const char* path) {
    FILE* file = fopen(path, "wb");
    if (!file) return 0;
    const unsigned offset = 14 + 40 + 256 * 4;
    fputc('B', file);
    fputc('M', file);
    put_le(file, offset + 16, 4);
    put_le(file, 0, 4);
    put_le(file, offset, 4);
    put_le(file, 40, 4);
    put_le(file, 4, 4);
    put_le(file, 4, 4);
    put_le(file, 1, 2);
    put_le(file, 8, 2);
    for (int k = 0; k < 6; ++k) put_le(file, 0, 4);
    for (unsigned k = 0; k < 256; ++k) put_le(file, k * 0x010101u, 4);
    for (int y = 3; y >= 0; --y) {
        for (int x = 0; x < 4; ++x) fputc(40 * x + 20 * y, file);
    }
    return fclose(file) == 0;
}

static void editor_world(void) {
    check(Drovik_engine_load_world(NULL, ".", "", 4) == 0 && Drovik_engine_is_editor_mode() == 1,
          "an empty editor world loads");
    check(write_height_map("hills.bmp"), "a height map is written");
    int count = 0;
    DROVIK_HANDLE terrain =
        Drovik_engine_create_terrain_from_bitmap("hills.bmp", 1.0, 18, NULL, 1, 1, NULL, 0, NULL, &count);
    check(terrain != NULL && count == 18, "the height map gives a terrain");
    check(terrain && strcmp(Drovik_group_get_name(terrain), "Terrain") == 0, "the group is named Terrain");
    const int polygons = Drovik_group_get_number_of_polygons(terrain);
    check(polygons > 0 && Drovik_group_get_number_of_polygons(NULL) == polygons,
          "the whole world holds the terrain's polygons");

    const double down[3] = {0, 0, -2};
    check(Drovik_group_light_group(terrain, down, 20, 60) == 0 && down[2] == -2, "the terrain is lit from above");
    check(Drovik_group_rotate(terrain, 90, 0, 2) == 0, "the terrain turns about z");
    check(Drovik_group_rotate(terrain, 90, 0, 3) == -1 &&
              box_shown("Drovik_group_rotate_radians:\n Illegal axis_flag!!\n"),
          "an axis flag of 3 is refused with its box");
    check(Drovik_group_get_name(NULL) == NULL && box_shown("Drovik_group_get_name: got a NULL handle\n"),
          "the whole world has no name");

    DROVIK_HANDLE p = Drovik_polygon_create();
    const double a[6] = {0, 0, 0, 0, 0, 100}, b[6] = {0, 1, 0, 0, 0, 100}, c[6] = {1, 1, 0, 0, 0, 100};
    check(Drovik_polygon_add_point(p, a) && Drovik_polygon_add_point(p, b) && Drovik_polygon_add_point(p, c) &&
              Drovik_polygon_add_point(p, NULL) == NULL && Drovik_polygon_get_num_of_points(p) == 3,
          "a triangle is built point by point");
    check(Drovik_polygon_is_valid(p) == 1, "the triangle is valid");
    check(Drovik_polygon_set_brightness(p, 80) == 0 && fabs(Drovik_polygon_get_brightness(p) - 78.2609) < 1e-4,
          "brightness reads back at its shade step");
    check(Drovik_group_get_name(p) == NULL &&
              file_has("error.log", "Drovik_group_get_name: Fatal, got a different kind of handle\n"),
          "a polygon given as a group is logged in error.log");
    check(Drovik_polygon_delete(p) == 0 && Drovik_polygon_is_polygon(p, NULL) == 0, "the triangle is deleted");
}

static void binary_world(void) {
    check(Drovik_engine_load_world("small.drovik", DROVIK_C_API_FIXTURES, "", 0) == 0 &&
              Drovik_engine_is_editor_mode() == 0,
          "a generated binary world loads in viewer mode");
    DROVIK_HANDLE house = Drovik_group_get_using_name("house");
    check(house != NULL && Drovik_group_get_number_of_polygons(house) > 0, "the house group has polygons");
    int refused = 0;
    for (DROVIK_HANDLE p = Drovik_polygon_get_first_polygon(); p; p = Drovik_polygon_get_next(p)) {
        if (Drovik_polygon_rotate_x(p, 10) != 0) continue;
        refused += box_shown("Drovik_polygon_rotate_x:\nWorks only on object polygons or in editor mode !!\n");
    }
    check(refused > 0, "world polygons keep their shape in viewer mode");
    double offset[3] = {1, 0, 0};
    check(Drovik_group_move(house, offset, 0) == -1 && box_shown("Drovik_group_move:\nWorks only in editor mode !!\n"),
          "groups move only in editor mode");
}

int main(void) {
    remove("Drovik.log");
    remove("error.log");
    remove("hills.bmp");
    check(catch_stderr(), "stderr is caught");
    editor_world();
    binary_world();
    check(Drovik_engine_close() == 0, "the engine closes");
    fflush(stderr);
    if (kept_stderr >= 0) {
        dup2(kept_stderr, 2);
        close(kept_stderr);
    }
    check(!file_has("Drovik.log", "Didnt free all mem"), "Drovik.log reports no memory left behind");
    printf("%s: %d failed\n", failures ? "FAILED" : "PASSED", failures);
    return failures ? 1 : 0;
}
