/* A program that knows only drovik.h: sounds loaded on an object of a loaded world, played,
   stopped and played all, saved with the world as text beside their copies, read back attached,
   and a close and exit with sounds playing. With "--no-library" (run where no sound library
   is found) it checks the answers without one. Prints one line per check. */
#define _POSIX_C_SOURCE 200809L /* dup and dup2, to catch stderr for a moment */

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../common/c_files.h"
#include "drovik.h"

#define STDERR_FILE "sound_c_stderr.txt"
#define RATE 22050

static int failures = 0;

static void check(int ok, const char* what) {
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    fflush(stdout);
    if (!ok) ++failures;
}

static void put16(FILE* file, unsigned value) {
    fputc((int)(value & 0xff), file);
    fputc((int)((value >> 8) & 0xff), file);
}

static void put32(FILE* file, unsigned value) {
    put16(file, value & 0xffff);
    put16(file, value >> 16);
}

/* One second of a 16-bit mono square wave. */
static void write_wav(const char* path) {
    FILE* file = fopen(path, "wb");
    if (!file) return;
    const unsigned frames = RATE, data = frames * 2;
    fputs("RIFF", file);
    put32(file, 36 + data);
    fputs("WAVEfmt ", file);
    put32(file, 16);
    put16(file, 1);
    put16(file, 1);
    put32(file, RATE);
    put32(file, RATE * 2);
    put16(file, 2);
    put16(file, 16);
    fputs("data", file);
    put32(file, data);
    for (unsigned i = 0; i < frames; ++i) put16(file, (i / 50) % 2 ? 0x2000 : 0xe000);
    fclose(file);
}

static int file_contains(const char* path, const char* part) {
    char* text = read_text(path);
    const int found = text && strstr(text, part) != NULL;
    free(text);
    return found;
}

static int occurrences(const char* path, const char* part) {
    char* text = read_text(path);
    int count = 0;
    for (const char* at = text; at && (at = strstr(at, part)) != NULL; at += strlen(part)) ++count;
    free(text);
    return count;
}

static void write_text(const char* path, const char* text) {
    FILE* file = fopen(path, "wb");
    if (!file) return;
    fputs(text, file);
    fclose(file);
}

/* A camera chasing the object "cart" at (30, 40, 0), and a ground; `sound` goes before the modules. */
static void write_world(const char* path, const char* sound) {
    char text[4096];
    snprintf(text, sizeof text,
             "BEGIN_DESIGN:\n"
             "CAMERA: eye\n\tLOCATION: 0 0 0\n\tAXIS_X: 1 0 0\n\tAXIS_Y: 0 1 0\n\tAXIS_Z: 0 0 1\n"
             "\tVIEW_FIELD: 60\n\tCULLING_DEPTH: 5000\n\tEYE_DISTANCE: 1\n\tTRACK: NO_TRACK\n\tCHASE: cart 0 0 0\n"
             "\tCHASE_TYPE: NO_CHASE\n\tCHASE_DISTANCE: 0\n"
             "\tPHYSICS: SPEED: 0 0 0 FORCE: 0 0 0 MAX_SPEED: 10 FRICTION: 3 ELASTICITY: 0.5 ROTATION: OBJECT_SPACE 0 0 0\n"
             "END_CAMERA: eye\n%s"
             "BEGIN_MODULE: main\n"
             "\tDYNAMIC: cart\n\t\tMODULE_NAME: cart\n\t\tFATHER: NONE\n\t\tTYPE: regular\n\t\tCONTROL: 7\n"
             "\t\tTRACK: NO_TRACK\n\t\tCHASE: NO_CHASE\n\t\tCHASE_TYPE: NO_CHASE\n\t\tCHASE_DISTANCE: 0\n"
             "\t\tPHYSICS: SPEED: 0 0 0 FORCE: 0 0 0 MAX_SPEED: 30 FRICTION: 3 ELASTICITY: 0.5 ROTATION: OBJECT_SPACE 0 0 0\n"
             "\t\tMATRIX:\n\t\t\t1 0 0\n\t\t\t0 1 0\n\t\t\t0 0 1\n\t\tLOCATION: 30 40 0\n\t\tSCALE: 1 1 1\n"
             "\tEND_OBJECT: cart\n"
             "\tPOLYGON: ground\n\t\tCOLOR: 50 50 50\n\t\tBITMAP: NO_BITMAP\n\t\tTRANSPARENT: -1\n\t\tROTATED: NO\n"
             "\t\tLIGHT_DIMINUTION: 0\n\t\tNUM_OF_POINTS: 4\n\t\t\t0 0 -10 0 0 100\n\t\t\t1000 0 -10 0 0 100\n"
             "\t\t\t1000 500 -10 0 0 100\n\t\t\t0 500 -10 0 0 100\n"
             "END_MODULE: main\n"
             "BEGIN_MODULE: cart\n"
             "\tPOLYGON: body\n\t\tCOLOR: 200 0 0\n\t\tBITMAP: NO_BITMAP\n\t\tTRANSPARENT: -1\n\t\tROTATED: NO\n"
             "\t\tLIGHT_DIMINUTION: 0\n\t\tNUM_OF_POINTS: 3\n\t\t\t0 0 0 0 0 100\n\t\t\t1 0 0 0 0 100\n"
             "\t\t\t1 1 0 0 0 100\n"
             "END_MODULE: cart\n"
             "END_DESIGN:\n",
             sound);
    write_text(path, text);
}

static void sounds_on_an_object(void) {
    write_wav("tone.wav");
    write_world("world.wld", "");
    check(Drovik_engine_load_world("world.wld", ".", "", 0) == 0, "the world loads in viewer mode");
    DROVIK_HANDLE cart = Drovik_camera_get_chased_object(Drovik_camera_get_first_camera());
    check(Drovik_object_is_object(cart, NULL) == 1, "the camera's chased object is the cart");
    DROVIK_HANDLE first = Drovik_sound_load("tone.wav", cart, 100);
    DROVIK_HANDLE second = Drovik_sound_load("tone.wav", cart, 100);
    DROVIK_HANDLE third = Drovik_sound_load("tone.wav", cart, 100);
    check(first && second && third, "three loads of one file give three sounds");
    check(first && strcmp(Drovik_sound_get_sound_name(first), "tone") == 0, "the first is named tone");
    check(second && strcmp(Drovik_sound_get_sound_name(second), "tone_1") == 0, "the second is named tone_1");
    check(third && strcmp(Drovik_sound_get_sound_name(third), "tone_2") == 0, "the third is named tone_2");
    check(Drovik_sound_get_handle_using_entity(cart) == first, "the cart's first sound is found by the cart");
    check(Drovik_sound_play(first, 1) == 0 && Drovik_sound_play(first, 1) == 0, "a sound plays twice");
    check(Drovik_sound_is_sound_playing(first) == 1, "it is playing");
    check(Drovik_sound_get_frequency(first) == RATE, "at the file's rate");
    check(Drovik_sound_get_volume(first) == 500, "at volume 500");
    check(Drovik_sound_update_listener() == 0, "the listener is updated");
    check(Drovik_sound_stop(first) == 0 && Drovik_sound_is_sound_playing(first) == 0, "stopped, it no longer plays");
    check(Drovik_sound_play_all_sounds() == 1, "every sound is played");
    check(Drovik_sound_is_sound_playing(first) == 1 && Drovik_sound_is_sound_playing(second) == 1 &&
              Drovik_sound_is_sound_playing(third) == 1,
          "each of them plays");
}

static void sounds_saved_with_the_world(void) {
    mkdir("Sounds", 0755);
    write_wav("Sounds/tone.wav");
    write_world("editor.wld",
                "SOUND: tone\n\tOBJECT_TYPE: group\n\tOBJECT_NAME: cart\n\tFILE_NAME: tone.wav\nEND_SOUND: tone\n");
    check(Drovik_engine_load_world("editor.wld", ".", "", 4) == 0, "a world with a SOUND block loads in editor mode");
    mkdir("saved", 0755);
    check(Drovik_engine_save("saved/saved.wld", NULL, 0) == 0, "the world is saved as text");
    const char* attached = "OBJECT_TYPE: group \r\n\r\tOBJECT_NAME: cart \r\n\r\tFILE_NAME: tone.wav \r\n\r";
    check(file_contains("saved/saved.wld", attached), "its sound block names the group it is attached to");
    check(file_contains("saved/Sounds/tone.wav", "RIFF"), "the sound file is copied under Sounds");
    check(Drovik_engine_load_world("saved.wld", "saved", "", 4) == 0, "the saved world loads again");
    mkdir("again", 0755);
    check(Drovik_engine_save("again/saved.wld", NULL, 0) == 0, "and is saved again");
    check(occurrences("again/saved.wld", attached) == 1, "with its sound still attached to the group");
}

static void close_with_sounds_playing(void) {
    check(Drovik_engine_close() == 0, "the engine closes");
    DROVIK_HANDLE last = Drovik_sound_load("tone.wav", NULL, 0);
    check(last && Drovik_sound_play(last, 1) == 0, "a looping sound plays on to the exit");
}

static void without_the_library(void) {
    fflush(stderr);
    const int kept = dup(2);
    const int caught = kept >= 0 && freopen(STDERR_FILE, "w", stderr) != NULL;
    write_wav("tone.wav");
    const DROVIK_HANDLE sound = Drovik_sound_load("tone.wav", NULL, 0);
    const int track = Drovik_sound_CD_get_track();
    const DROVIK_HANDLE again = Drovik_sound_load("tone.wav", NULL, 0);
    fflush(stderr);
    if (kept >= 0) {
        dup2(kept, 2);
        close(kept);
    }
    check(caught, "stderr caught for the sound calls");
    check(sound == NULL && again == NULL, "loads give NULL");
    check(track == -1, "the CD track is -1");
    check(occurrences(STDERR_FILE, "Could not load the library fmod.dll,\nyou must have this dll in order to have "
                                   "sound capabilities") == 1,
          "one warning is shown");
}

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], "--no-library") == 0) {
        without_the_library();
    } else {
        sounds_on_an_object();
        sounds_saved_with_the_world();
        close_with_sounds_playing();
    }
    printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
