/* A program that knows only drovik.h: a math and utilities sample, a generated world saved as .x
   and .raw files and loaded back, hand-written .x and raw files, and a key that reaches the
   keyboard navigation at the next render. Prints one line per check. */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "drovik.h"

static int failures = 0;

static void check(int ok, const char* what) {
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    fflush(stdout);
    if (!ok) ++failures;
}

/* Lines of a file read through the engine; -1 when it cannot be read. */
static int count_lines(const char* path) {
    int size = 0, lines = 0, i;
    char* text = Drovik_utilities_file_to_memory(path, &size);
    if (!text) return -1;
    for (i = 0; i < size; ++i) lines += text[i] == '\n';
    Drovik_utilities_free_file_memory(text);
    return lines;
}

/* A polygon block of the world text format. */
static void write_quad(FILE* file, int z) {
    fprintf(file, "\tPOLYGON:\n\t\tCOLOR: 100 150 200\n\t\tBITMAP: NO_BITMAP\n\t\tTRANSPARENT: -1\n"
                  "\t\tROTATED: NO\n\t\tLIGHT_DIMINUTION: 0\n\t\tNUM_OF_POINTS: 4\n");
    fprintf(file, "\t\t\t0 0 %d 0 0 100\n\t\t\t100 0 %d 0 0 100\n\t\t\t100 100 %d 0 0 100\n\t\t\t0 100 %d 0 0 100\n",
            z, z, z, z);
}

/* A world of `count` stacked quads. */
static int write_world(const char* path, int count) {
    int i;
    FILE* file = fopen(path, "w");
    if (!file) return -1;
    fprintf(file, "BEGIN_DESIGN:\nBEGIN_MODULE: MAIN\n");
    for (i = 0; i < count; ++i) write_quad(file, 10 * i);
    fprintf(file, "END_MODULE: MAIN\nEND_DESIGN:\n");
    return fclose(file);
}

static void math_sample(void) {
    const double o[3] = {0, 0, 0}, x[3] = {1, 0, 0}, y[3] = {0, 1, 0};
    double plane[4], v[3] = {3, 0, 4}, out[3];
    check(Drovik_math_points_to_plane(plane, o, x, y) == 0 && plane[2] == -1 && plane[3] == 0,
          "the plane through three points");
    check(Drovik_math_get_vector_length(v) == 5 && Drovik_math_normalize_vector(v) == 0 && fabs(v[2] - 0.8) < 1e-12,
          "a vector's length and normalisation");
    check(Drovik_math_cross(x, y, out) == out && out[2] == 1, "the cross product");
    check(Drovik_math_does_segment_intersect_plane(plane, x, y, out) == 0 && out[0] == 1,
          "a segment lying in a plane");
}

static void utilities_sample(void) {
    unsigned char r = 0, g = 0, b = 0;
    FILE* file = fopen("sample.txt", "wb");
    int size = 0;
    char* text;
    fputs("hello", file);
    fclose(file);
    text = Drovik_utilities_file_to_memory("sample.txt", &size);
    check(text && size == 5 && text[5] == '\0' && strcmp(text, "hello") == 0, "a whole file in memory");
    Drovik_utilities_free_file_memory(text);
    Drovik_utilities_rgb16_to_rgb24(0xF800, &r, &g, &b);
    check(r == 248 && g == 0 && b == 0, "a 16-bit pixel unpacked");
    check(strcmp(Drovik_utilities_test_string(), "Testing string transfer") == 0, "the test string");
    check(Drovik_utilities_is_windows98() == 0, "not Windows 98");
    check(Drovik_utilities_load_bitmap_from_file("missing.bmp") == NULL, "a missing bitmap gives NULL");
}

static void generated_world(void) {
    check(write_world("stack.wld", 3) == 0, "a generated world of three quads written");
    check(Drovik_engine_load_world("stack.wld", ".", "", 4) == 0, "the generated world loads");
    check(Drovik_engine_save("stack.x", NULL, 0) == 0, "saved as .x");
    check(Drovik_engine_save("stack.raw", NULL, 0) == 0, "saved as .raw");
    check(count_lines("stack.raw") == 6, "three quads are six triangles");
    check(Drovik_engine_load_world("stack.x", ".", "", 4) == 0, "the .x file loads");
    check(Drovik_engine_save("from_x.raw", NULL, 0) == 0 && count_lines("from_x.raw") == 6,
          "the .x file holds the three quads");
    check(Drovik_engine_load_world("stack.raw", ".", "", 4) == 0, "the .raw file loads");
    check(Drovik_engine_save("from_raw.raw", NULL, 0) == 0 && count_lines("from_raw.raw") == 6,
          "the .raw file holds the six triangles");
}

static void hand_written_files(void) {
    const char* data = XRAW_C_DATA;
    char folder[1024];
    snprintf(folder, sizeof folder, "%s/x", data);
    check(Drovik_engine_load_world("plain.x", folder, "", 4) == 0, "a hand-written .x file loads");
    check(Drovik_engine_save("plain.raw", NULL, 0) == 0 && count_lines("plain.raw") == 3,
          "its triangle and quad are three triangles");
    snprintf(folder, sizeof folder, "%s/raw", data);
    check(Drovik_engine_load_world("short_third_line.raw", folder, "", 4) == 0, "a hand-written raw file loads");
    check(Drovik_engine_save("short.raw", NULL, 0) == 0 && count_lines("short.raw") == 2,
          "it stops at its short third line");
}

/* A key given to the platform's key state reaches the navigation at the next render: 'a' widens
   the first camera's field of view by 5 degrees. */
static void navigation_key(void) {
    DROVIK_WINDOW window = plat_window_create_memory(64, 48);
    DROVIK_HANDLE first;
    double before;
    check(Drovik_engine_load_world("stack.wld", ".", "", 1) == 0, "a world loads with keyboard navigation");
    first = Drovik_camera_get_first_camera();
    check(window && Drovik_engine_render(window, NULL) == 0, "a first frame renders");
    before = Drovik_camera_get_zoom(first);
    plat_key_event('A', true);
    plat_key_event('A', false);
    check(Drovik_camera_get_zoom(first) == before, "the key waits for the next render");
    check(Drovik_engine_render(window, NULL) == 0 && Drovik_camera_get_zoom(first) == before + 5,
          "the next render widens the field of view by 5 degrees");
    plat_window_destroy(window);
}

int main(void) {
    math_sample();
    utilities_sample();
    generated_world();
    hand_written_files();
    navigation_key();
    Drovik_engine_close();
    printf("%d failures\n", failures);
    return failures == 0 ? 0 : 1;
}
