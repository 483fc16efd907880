/* A program that knows only drovik.h: it loads binary worlds of solid quads, renders them into
   memory windows and checks every pixel against the scene worked out by hand. Prints one line per
   check. */
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "drovik.h"

#define WIDTH 160
#define HEIGHT 120
#define BACKGROUND 0xA515 /* (160, 160, 170) */
#define FAR_RED 0xC945    /* (200, 40, 40) at x = -200 */
#define NEAR_GREEN 0x2E45 /* (40, 200, 40) at x = -100 */
#define OBJECT_BLUE 0x2959 /* (40, 40, 200) at x = -160, a dynamic object's */

static int failures = 0;

static void check(int ok, const char* what) {
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    fflush(stdout);
    if (!ok) ++failures;
}

/* The camera stands at the origin looking along -x with a 90 degree field of view, so on a 160 x 120
   frame a point (x, y, z) lands at column 80 + 80 y / -x and row 60 - 80 z / -x. A quad covers the
   columns from its left edge up to but not including its right edge, and the rows likewise. */
static int inside(int x, int y, int left, int right, int top, int bottom) {
    return x >= left && x < right && y >= top && y < bottom;
}

static uint16_t scene_pixel(int with_object, int x, int y) {
    if (inside(x, y, 80, 128, 44, 76)) return NEAR_GREEN;              /* y 0..60, z -20..20 */
    if (with_object && inside(x, y, 60, 90, 40, 65)) return OBJECT_BLUE; /* y -40..20, z -10..40 */
    if (inside(x, y, 60, 100, 48, 72)) return FAR_RED;                  /* y -50..50, z -30..30 */
    return BACKGROUND;
}

/* The window shows the scene, each frame pixel `scale` window pixels wide and high. */
static int window_shows(DROVIK_WINDOW window, int with_object, int scale) {
    for (int y = 0; y < HEIGHT * scale; ++y) {
        for (int x = 0; x < WIDTH * scale; ++x) {
            const uint16_t got = plat_window_pixel(window, x, y);
            const uint16_t want = scene_pixel(with_object, x / scale, y / scale);
            if (got != want) {
                printf("  pixel (%d, %d) is 0x%04X, not 0x%04X\n", x, y, got, want);
                return 0;
            }
        }
    }
    return 1;
}

static int surface_shows(DROVIK_SURFACE surface, int with_object) {
    if (!surface || plat_surface_width(surface) != WIDTH || plat_surface_height(surface) != HEIGHT) return 0;
    const uint16_t* bits = plat_surface_bits(surface);
    const int pitch = plat_surface_pitch(surface);
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            if (bits[y * pitch + x] != scene_pixel(with_object, x, y)) return 0;
        }
    }
    return 1;
}

static int window_blank(DROVIK_WINDOW window) {
    int width = 0, height = 0;
    plat_window_client_size(window, &width, &height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (plat_window_pixel(window, x, y) != 0) return 0;
        }
    }
    return 1;
}

static int file_has(const char* path, const char* text) {
    FILE* file = fopen(path, "rb");
    if (!file) return 0;
    static char contents[1 << 20];
    const size_t size = fread(contents, 1, sizeof contents - 1, file);
    fclose(file);
    contents[size] = '\0';
    return strstr(contents, text) != NULL;
}

static void refusals(DROVIK_WINDOW window) {
    DROVIK_WINDOW gone = plat_window_create_memory(10, 10);
    plat_window_destroy(gone);
    check(Drovik_engine_render(gone, NULL) == -1, "a destroyed window is refused");
    static int not_a_camera = 1001;
    check(Drovik_engine_render(window, &not_a_camera) == -1, "memory that is no camera is refused");
}

static void minimised(void) {
    DROVIK_WINDOW window = plat_window_create_memory(WIDTH, HEIGHT);
    plat_window_minimize(window);
    check(Drovik_engine_render(window, NULL) == 0 && window_blank(window), "a minimised window gets nothing");
    plat_window_restore(window);
    check(Drovik_engine_render(window, NULL) == 0 && window_shows(window, 0, 1), "once restored it gets the frame");
    plat_window_destroy(window);
}

static void default_window(void) {
    check(Drovik_engine_render(NULL, NULL) == 0, "a NULL window renders");
    DROVIK_WINDOW fallback = Drovik_engine_get_default_rendering_window_hwnd();
    int width = 0, height = 0;
    plat_window_client_size(fallback, &width, &height);
    /* 300 x 300: column 150 + 150 y / -x, row 150 - 150 z / -x. */
    check(width == 300 && height == 300 && plat_window_pixel(fallback, 200, 150) == NEAR_GREEN &&
              plat_window_pixel(fallback, 120, 160) == FAR_RED && plat_window_pixel(fallback, 5, 5) == BACKGROUND,
          "it draws into the default rendering window");
}

int main(void) {
    const char* worlds = DROVIK_FRAME_C_WORLDS;
    DROVIK_WINDOW window = plat_window_create_memory(WIDTH, HEIGHT);
    check(Drovik_engine_render(window, NULL) == -1, "render before a load is refused");

    check(Drovik_engine_load_world("two_quads.drovik", worlds, "", 0) == 0, "two quads load");
    check(Drovik_engine_render(window, NULL) == 0 && Drovik_engine_get_last_program_cycle_time() == 0,
          "the first render reports a cycle time of 0");
    check(window_shows(window, 0, 1), "two quads: the near one over the far one on the background");

    DROVIK_WINDOW later = plat_window_create_memory(WIDTH, HEIGHT);
    DROVIK_SURFACE frame = Drovik_engine_render_on_bitmap(later, NULL);
    check(surface_shows(frame, 0) && window_blank(later), "render_on_bitmap returns the frame and presents nothing");
    check(Drovik_engine_bitblt() == 0 && window_shows(later, 0, 1), "bitblt presents it");

    DROVIK_WINDOW big = plat_window_create_memory(2 * WIDTH, 2 * HEIGHT);
    Drovik_engine_set_picture_quality(WIDTH * HEIGHT);
    check(Drovik_engine_render(big, NULL) == 0 && window_shows(big, 0, 2),
          "a 320 x 240 window at quality 19200 shows the frame doubled");
    Drovik_engine_set_picture_quality(200000);

    default_window();
    refusals(window);
    minimised();

    check(Drovik_engine_load_world("quads_and_object.drovik", worlds, "", 0) == 0, "quads and an object load");
    check(Drovik_engine_render(window, NULL) == 0 && window_shows(window, 1, 1),
          "the object's quad stands between the two, z-buffer on");

    plat_window_destroy(big);
    plat_window_destroy(later);
    plat_window_destroy(window);
    check(Drovik_engine_close() == 0 && !file_has("error.log", "Didnt free all mem"), "the engine closes with no leak");
    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
