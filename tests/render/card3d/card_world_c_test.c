/* A program that knows only drovik.h, with no display: a textured world is loaded, the 3D card
   started, rendered from two threads and stopped, its capability report checked, and the engine
   closed. One line per check. */
#define _POSIX_C_SOURCE 200809L

#include <dirent.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../../common/c_checks.h"
#include "../../common/c_files.h"
#include "drovik.h"

/* A 4 x 4 8-bit BMP of two colours. */
static int write_bmp(const char* path) {
    unsigned char data[14 + 40 + 8 + 16] = {0};
    put_bmp8_headers(data, sizeof data, 4, 4);
    data[14 + 40 + 2] = 200;
    data[14 + 40 + 4] = 200;
    for (int i = 0; i < 16; ++i) data[14 + 40 + 8 + i] = (unsigned char)((i / 2) % 2);
    return write_bytes(path, data, sizeof data);
}

/* The folder's entry names, one a line, sorted. */
static void listing(const char* folder, char* out, size_t room) {
    struct dirent** entries = NULL;
    const int n = scandir(folder, &entries, NULL, alphasort);
    out[0] = 0;
    for (int i = 0; i < n; ++i) {
        strncat(out, entries[i]->d_name, room - strlen(out) - 1);
        strncat(out, "\n", room - strlen(out) - 1);
        free(entries[i]);
    }
    free(entries);
}

static int report_is_whole(void) {
    const char* head = "3D card capabilities\n--------------------\n";
    const char* tail = "\n\n------------------------\nTo regenerate this file: delete the file and run the program again\n";
    char* text = read_text("card3d.txt");
    int ok = text && strncmp(text, head, strlen(head)) == 0 && strlen(text) > strlen(tail) &&
             strcmp(text + strlen(text) - strlen(tail), tail) == 0;
    if (ok) {
        const char* renderer = strstr(text, "\tGL_RENDERER\t");
        ok = renderer && renderer[strlen("\tGL_RENDERER\t")] != '\n';
    }
    free(text);
    return ok;
}

struct render_job {
    DROVIK_WINDOW window;
    int result;
};

static void* render_on_thread(void* data) {
    struct render_job* job = data;
    job->result = Drovik_engine_render(job->window, NULL);
    return NULL;
}

/* Renders once on this thread and once on another; both must draw the card's frame. */
static void render_from_two_threads(DROVIK_WINDOW window) {
    check(Drovik_engine_render(window, NULL) == 0, "a card frame on the loading thread");
    const uint16_t first = plat_window_pixel(window, 2, 2);
    struct render_job job = {window, -1};
    pthread_t other;
    const int started = pthread_create(&other, NULL, render_on_thread, &job) == 0;
    if (started) pthread_join(other, NULL);
    check(started && job.result == 0, "a card frame on another thread");
    check(first != 0 && plat_window_pixel(window, 2, 2) == first, "both frames show the background colour");
}

int main(void) {
    char cwd[512], bitmaps[600], path[700], before[4096], after[4096];
    if (!getcwd(cwd, sizeof cwd)) return 1;
    snprintf(bitmaps, sizeof bitmaps, "%s/bm_%ld", cwd, (long)getpid());
    mkdir(bitmaps, 0755);
    const char* names[] = {"brick", "lamp_off", "lamp_on", "lamp_front", "glass"};
    int written = 1;
    for (int i = 0; i < 5; ++i) {
        snprintf(path, sizeof path, "%s/%s.bmp", bitmaps, names[i]);
        written &= write_bmp(path);
    }
    check(written, "bitmap files written");
    remove("card3d.txt");
    check(Drovik_engine_load_world("small.drovik", DROVIK_FIXTURES, bitmaps, 0x8000) == 0, "the textured world loads");
    listing(bitmaps, before, sizeof before);

    check(Drovik_engine_check_3d_hardware_support() == 1, "hardware support is reported");
    check(Drovik_engine_is_3D_accelerator_card_used() == 0, "software at first");
    check(Drovik_engine_use_3D_accelerator_card(1) == 0, "the card starts");
    check(Drovik_engine_is_3D_accelerator_card_used() == 1, "the card is in use");
    int width = 0, height = 0;
    Drovik_engine_get_3D_accelerator_resolution(&width, &height);
    check(width > 0 && height > 0, "the card's frame has a size");
    check(report_is_whole(), "card3d.txt has its first and last lines and names the renderer");
    DROVIK_WINDOW window = plat_window_create_memory(160, 120);
    Drovik_engine_show_frames_per_second_rate(0);
    render_from_two_threads(window);
    Drovik_engine_get_3D_accelerator_resolution(&width, &height);
    check(width == 160 && height == 120, "the card follows the rendering window");
    listing(bitmaps, after, sizeof after);
    check(strcmp(before, after) == 0, "no file is added beside the bitmaps");

    check(Drovik_engine_use_3D_accelerator_card(0) == 0, "back to software");
    check(Drovik_engine_is_3D_accelerator_card_used() == 0, "the card is not in use");
    FILE* kept = fopen("card3d.txt", "w");
    if (kept) {
        fputs("kept", kept);
        fclose(kept);
    }
    check(Drovik_engine_use_3D_accelerator_card(1) == 0, "the card starts again");
    char* text = read_text("card3d.txt");
    check(text && strcmp(text, "kept") == 0, "an existing card3d.txt is kept");
    free(text);
    Drovik_engine_use_3D_accelerator_card(0);
    remove("card3d.txt");
    check(Drovik_engine_use_3D_accelerator_card(1) == 0, "and again after deleting the report");
    check(report_is_whole(), "the report is written again");
    check(Drovik_engine_use_3D_accelerator_card(0) == 0, "back to software once more");

    check(Drovik_3D_card_hide_driver_selection_window(1) == 1, "the driver dialog is hidden");
    check(Drovik_3D_card_is_driver_selection_window_visible() == 1, "and the flag reads back as stored");
    check(Drovik_3D_card_use(1) == 0 && Drovik_3D_card_is_used() == 1, "the card family starts the card");
    check(Drovik_3D_card_use_detailed(4, 1, 800, 600, 16, 0) == 0, "flags 4 ask for software");
    check(Drovik_3D_card_is_used() == 0 && Drovik_3D_card_is_full_screen_mode() == 0, "whatever else is asked");

    Drovik_engine_close();
    plat_window_destroy(window);
    text = read_text("Drovik.log");
    check(text && !strstr(text, "Didnt free all mem"), "the engine closes with no leak line");
    free(text);
    printf("%d failures\n", failures);
    return failures ? 1 : 0;
}
