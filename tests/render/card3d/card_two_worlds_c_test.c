/* A program that knows only drovik.h, with no display: the card is started, used with fog and
   stopped on one world, and started again after a second world is loaded. One line per check. */
#define _POSIX_C_SOURCE 200809L

#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../../common/c_checks.h"
#include "../../common/c_files.h"
#include "drovik.h"

/* A 6 x 5 8-bit BMP of one colour: its sides are no powers of two, so the card makes copies. */
static int write_bmp(const char* path) {
    unsigned char data[14 + 40 + 8 + 40] = {0};
    put_bmp8_headers(data, sizeof data, 6, 5);
    data[14 + 40 + 1] = 180;
    return write_bytes(path, data, sizeof data);
}

static void render(DROVIK_WINDOW window, const char* what) {
    check(Drovik_engine_render(window, NULL) == 0, what);
}

int main(void) {
    char cwd[512], bitmaps[600], path[700];
    if (!getcwd(cwd, sizeof cwd)) return 1;
    snprintf(bitmaps, sizeof bitmaps, "%s/bm2_%ld", cwd, (long)getpid());
    mkdir(bitmaps, 0755);
    const char* names[] = {"brick", "lamp_off", "lamp_on", "lamp_front", "glass", "clouds"};
    int written = 1;
    for (int i = 0; i < 6; ++i) {
        snprintf(path, sizeof path, "%s/%s.bmp", bitmaps, names[i]);
        written &= write_bmp(path);
    }
    check(written, "bitmap files written");
    DROVIK_WINDOW window = plat_window_create_memory(160, 120);
    Drovik_engine_show_frames_per_second_rate(0);

    check(Drovik_engine_load_world("small.drovik", DROVIK_FIXTURES, bitmaps, 0x8000) == 0, "the first world loads");
    render(window, "a software frame of the first world");
    check(Drovik_3D_card_hide_driver_selection_window(1) == 1, "the driver dialog is hidden");
    check(Drovik_engine_use_3D_accelerator_card(1) == 0, "the card starts");
    render(window, "a card frame of the first world");
    check(Drovik_engine_set_atmospheric_effect_intensity(3) == 0, "the fog is set");
    Drovik_engine_set_atmospheric_effect(200, 100, 50);
    render(window, "a fogged card frame");
    check(Drovik_engine_use_3D_accelerator_card(0) == 0, "the card stops");

    check(Drovik_engine_load_world("full.drovik", DROVIK_FIXTURES, bitmaps, 0x8000) == 0, "the second world loads");
    render(window, "a software frame of the second world");
    check(Drovik_engine_use_3D_accelerator_card(1) == 0, "the card starts again");
    check(Drovik_engine_is_3D_accelerator_card_used() == 1, "and is in use");
    render(window, "a card frame of the second world");
    check(Drovik_engine_use_3D_accelerator_card(0) == 0, "the card stops again");

    Drovik_engine_close();
    plat_window_destroy(window);
    printf("%d failures\n", failures);
    return failures ? 1 : 0;
}
