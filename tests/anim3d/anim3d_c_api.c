/* A program that knows only drovik.h: an MD2 model written by an independent script loaded as a
   world, its 3D animation and sequences driven through the exports, an object made from the model
   switching sequences, and damaged models refused. Prints one line per check. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "drovik.h"

/* Made by the object family; a build without it skips the object checks. */
extern DROVIK_HANDLE Drovik_object_create_from_file(const char* file_name) __attribute__((weak));

static int failures = 0;

static void check(int ok, const char* what) {
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    fflush(stdout);
    if (!ok) ++failures;
}

static int same_text(const char* a, const char* b) { return a && b && strcmp(a, b) == 0; }

/* Copies a fixture into the working folder, so that nothing is written beside the fixtures. */
static int copy_fixture(const char* name, const char* target) {
    char path[4096];
    snprintf(path, sizeof path, "%s/%s", DROVIK_MD2_FIXTURES, name);
    FILE* in = fopen(path, "rb");
    FILE* out = in ? fopen(target, "wb") : NULL;
    int ok = in && out;
    char buffer[4096];
    size_t n;
    while (ok && (n = fread(buffer, 1, sizeof buffer, in)) > 0) ok = fwrite(buffer, 1, n, out) == n;
    if (in) fclose(in);
    if (out && fclose(out) != 0) ok = 0;
    return ok;
}

static void check_model_world(void) {
    check(Drovik_engine_load_world("walker.md2", ".", NULL, 0) == 0, "the MD2 model loads as a world");
    DROVIK_HANDLE animation = Drovik_3D_animation_get_first();
    check(animation != NULL && Drovik_3D_animation_get_next(animation) == NULL, "one 3D animation");
    check(same_text(Drovik_3D_animation_get_name(animation), "walker"), "named after the file");
    DROVIK_HANDLE run = Drovik_3D_sequence_get_using_name(animation, "run");
    DROVIK_HANDLE jump = Drovik_3D_sequence_get_using_name(animation, "jump");
    check(Drovik_3D_sequence_get_first(animation) == run && Drovik_3D_sequence_get_next(run) == jump,
          "sequences run and jump in frame order");
    check(Drovik_3D_sequence_get_number_of_frames(run) == 6 && Drovik_3D_sequence_get_number_of_frames(jump) == 4,
          "run holds 6 frames and jump 4");

    Drovik_3D_sequence_pause(run);
    check(Drovik_3D_sequence_is_paused(run) == 1, "paused");
    check(Drovik_3D_sequence_set_current_frame(run, 2.5) == 0 && Drovik_3D_sequence_get_current_frame(run) == 2.5,
          "a paused sequence holds the position given");
    check(Drovik_3D_sequence_set_current_frame(run, 7) == -1 && Drovik_3D_sequence_get_current_frame(run) == 2.5,
          "a position beyond the frames is refused");
    Drovik_3D_sequence_backwards_play(run, 1);
    Drovik_3D_sequence_backwards_play(run, 1);
    check(Drovik_3D_sequence_is_backwards(run) == 1 && Drovik_3D_sequence_get_current_frame(run) == 3.5,
          "backwards play mirrors the position once");
    check(Drovik_3D_sequence_set_frame_duration(run, 0, -5) == -1 && Drovik_3D_sequence_get_frame_duration(run, 0) == 100,
          "a negative duration is refused");
    check(Drovik_3D_sequence_set_frame_duration(run, 0, 250) == 0 && Drovik_3D_sequence_get_frame_duration(run, 0) == 250,
          "a frame duration is set");
    Drovik_3D_sequence_set_speed(run, 2);
    Drovik_3D_sequence_set_speed(run, -1);
    check(Drovik_3D_sequence_get_speed(run) == 2 && Drovik_3D_sequence_get_current_frame(run) == 3.5,
          "a new speed keeps the position, a negative one is ignored");
    check(Drovik_3D_sequence_get_number_of_laps(run) == 0, "no laps yet");
    Drovik_3D_sequence_play(run);
    check(Drovik_3D_sequence_is_paused(run) == 0, "playing again");

    if (!Drovik_object_create_from_file) {
        printf("skipped: objects made from a file (the object family is not in this build)\n");
        return;
    }
    DROVIK_HANDLE object = Drovik_object_create_from_file("walker.md2");
    check(object != NULL && Drovik_object_get_3D_animation(object) == animation, "an object carries the model");
    check(same_text(Drovik_3D_sequence_get_name(Drovik_object_get_3D_sequence(object)), "run"), "it starts on run");
    check(Drovik_object_set_3D_sequence(object, jump, 0) == 0 && Drovik_object_get_3D_sequence(object) == jump,
          "it switches to jump at once");
    check(Drovik_object_set_3D_sequence(object, run, 400) == 0 &&
              same_text(Drovik_3D_sequence_get_name(Drovik_object_get_3D_sequence(object)),
                        "Transition_from_jump_to_run"),
          "and back to run through a transition");
}

static void check_damaged_models(void) {
    static const char* damaged[] = {"short_header",   "section_past_end", "end_past_end",    "huge_frame_count",
                                    "negative_count", "negative_offset",  "small_frame_size", "no_frames",
                                    "vertex_index",   "negative_vertex",  "texture_index",    "other_magic",
                                    "other_version"};
    for (size_t i = 0; i < sizeof damaged / sizeof damaged[0]; ++i) {
        char name[64], file[80], what[128];
        snprintf(name, sizeof name, "damaged/%s.md2", damaged[i]);
        snprintf(file, sizeof file, "%s.md2", damaged[i]);
        snprintf(what, sizeof what, "the damaged model %s is refused", damaged[i]);
        check(copy_fixture(name, file) && Drovik_engine_load_world(file, ".", NULL, 0) == -1, what);
    }
}

int main(void) {
    check(copy_fixture("walker.md2", "walker.md2"), "the model is copied");
    check_model_world();
    check_damaged_models();
    Drovik_engine_close();
    printf("%d failure(s)\n", failures);
    return failures ? EXIT_FAILURE : EXIT_SUCCESS;
}
