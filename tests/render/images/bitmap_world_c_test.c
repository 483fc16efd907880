/* A program that knows only drovik.h: a binary world naming 8-bit (40- and 124-byte headers) and
   24-bit BMPs and a JPEG is loaded with its bitmaps, read-only and not, then saved with its
   bitmaps. Prints one line per check. */
#define _POSIX_C_SOURCE 200809L

#include <dirent.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <jpeglib.h>

#include "../../common/c_checks.h"
#include "../../common/c_files.h"
#include "drovik.h"

static unsigned long get32(const unsigned char* p) {
    return p[0] | p[1] << 8 | (unsigned long)p[2] << 16 | (unsigned long)p[3] << 24;
}

static unsigned char* read_bytes(const char* path, size_t* size) {
    FILE* file = fopen(path, "rb");
    if (!file) return NULL;
    fseek(file, 0, SEEK_END);
    const long length = ftell(file);
    fseek(file, 0, SEEK_SET);
    unsigned char* data = malloc(length > 0 ? (size_t)length : 1);
    *size = data ? fread(data, 1, (size_t)length, file) : 0;
    fclose(file);
    return data;
}

/* A 4 x 4 BMP of two colours; bits 8 or 24; the info header info_size bytes long. */
static int write_bmp(const char* path, int bits, unsigned info_size) {
    unsigned char data[14 + 124 + 8 + 4 * 12] = {0};
    const unsigned row = bits == 8 ? 4 : 12;
    const unsigned offset = 14 + info_size + (bits == 8 ? 8 : 0);
    const size_t size = offset + 4 * row;
    data[0] = 'B';
    data[1] = 'M';
    put32(data + 2, size);
    put32(data + 10, offset);
    put32(data + 14, info_size);
    put32(data + 18, 4);
    put32(data + 22, 4);
    put16(data + 26, 1);
    put16(data + 28, (unsigned)bits);
    if (bits == 8) {
        put32(data + 46, 2);
        unsigned char* palette = data + 14 + info_size;
        palette[2] = 200; /* entry 0: red */
        palette[4] = 200; /* entry 1: blue */
    }
    for (unsigned i = 0; i < 4 * row; ++i) data[offset + i] = (unsigned char)(bits == 8 ? (i / 2) % 2 : (i * 37) % 256);
    return write_bytes(path, data, size);
}

static int write_jpeg(const char* path) {
    FILE* file = fopen(path, "wb");
    if (!file) return 0;
    struct jpeg_compress_struct info;
    struct jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = 16;
    info.image_height = 8;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    unsigned char row[16 * 3];
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < 16 * 3; ++x) row[x] = (unsigned char)(x * 5 + info.next_scanline * 20);
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return fclose(file) == 0;
}

/* The folder's entries with their sizes and times, one line each, sorted. */
static void listing(const char* folder, char* out, size_t room) {
    struct dirent** entries = NULL;
    const int n = scandir(folder, &entries, NULL, alphasort);
    out[0] = 0;
    for (int i = 0; i < n; ++i) {
        char path[1024], line[1200];
        struct stat s;
        snprintf(path, sizeof path, "%s/%s", folder, entries[i]->d_name);
        if (entries[i]->d_name[0] != '.' && stat(path, &s) == 0) {
            snprintf(line, sizeof line, "%s %ld %ld.%09ld\n", entries[i]->d_name, (long)s.st_size, (long)s.st_mtim.tv_sec,
                     s.st_mtim.tv_nsec);
            strncat(out, line, room - strlen(out) - 1);
        }
        free(entries[i]);
    }
    free(entries);
}

static int exists(const char* path) { return access(path, F_OK) == 0; }

/* A .bmp_swap whose length agrees with its header: 264 + name + NUL + image + 67 x palette count. */
static int swap_is_whole(const char* path) {
    size_t size = 0;
    unsigned char* data = read_bytes(path, &size);
    int ok = data && size > 264 && get32(data) == 1 && get32(data + 8) == 32 && get32(data + 12) == 264;
    if (ok) {
        const size_t name = strnlen((const char*)data + 264, size - 264);
        ok = size == 264 + name + 1 + get32(data + 12 + 8) + 67 * get32(data + 12 + 40);
    }
    free(data);
    return ok;
}

/* Fills folder with the four bitmaps the world names and a damaged one. */
static int make_bitmaps(const char* folder) {
    char path[1024];
    int ok = mkdir(folder, 0755) == 0;
    snprintf(path, sizeof path, "%s/brick.bmp", folder);
    ok &= write_bmp(path, 8, 40);
    snprintf(path, sizeof path, "%s/lamp_off.bmp", folder);
    ok &= write_bmp(path, 8, 124);
    snprintf(path, sizeof path, "%s/lamp_on.bmp", folder);
    ok &= write_bmp(path, 24, 40);
    snprintf(path, sizeof path, "%s/lamp_front.jpg", folder);
    ok &= write_jpeg(path);
    snprintf(path, sizeof path, "%s/glass.bmp", folder);
    ok &= write_bytes(path, (const unsigned char*)"BM damaged", 10);
    snprintf(path, sizeof path, "%s/brick.jbm", folder);
    ok &= write_bytes(path, (const unsigned char*)"sibling jbm", 11);
    snprintf(path, sizeof path, "%s/brick.clr", folder);
    ok &= write_bytes(path, (const unsigned char*)"sibling clr", 11);
    return ok;
}

int main(void) {
    char cwd[512], bitmaps[600], readonly[600], before[8192], after[8192];
    if (!getcwd(cwd, sizeof cwd)) return 1;
    snprintf(bitmaps, sizeof bitmaps, "%s/bm_%ld", cwd, (long)getpid());
    snprintf(readonly, sizeof readonly, "%s/ro_%ld", cwd, (long)getpid());
    check(make_bitmaps(bitmaps) && make_bitmaps(readonly), "bitmap files written");

    check(Drovik_engine_load_world("small.drovik", DROVIK_FIXTURES, bitmaps, 0) == 0,
          "a world with a damaged bitmap still loads");
    char path[1024];
    const char* cached[] = {"brick", "lamp_off", "lamp_on", "lamp_front"};
    for (int i = 0; i < 4; ++i) {
        snprintf(path, sizeof path, "%s/%s.bmp_swap", bitmaps, cached[i]);
        check(swap_is_whole(path), cached[i]);
    }
    snprintf(path, sizeof path, "%s/lamp_front.bmp", bitmaps);
    check(exists(path), "the JPEG leaves its BMP beside it");
    snprintf(path, sizeof path, "%s/glass.bmp_swap", bitmaps);
    check(!exists(path), "the damaged bitmap is refused");
    size_t size = 0;
    snprintf(path, sizeof path, "%s/brick.jbm", bitmaps);
    unsigned char* sibling = read_bytes(path, &size);
    check(sibling && size == 11 && memcmp(sibling, "sibling jbm", 11) == 0, "the sibling .jbm is untouched");
    free(sibling);
    snprintf(path, sizeof path, "%s/brick.clr", bitmaps);
    sibling = read_bytes(path, &size);
    check(sibling && size == 11 && memcmp(sibling, "sibling clr", 11) == 0, "the sibling .clr is untouched");
    free(sibling);

    char saved[700], saved_bitmaps[720];
    snprintf(saved, sizeof saved, "%s/saved_%ld", cwd, (long)getpid());
    mkdir(saved, 0755);
    snprintf(path, sizeof path, "%s/world.drovik", saved);
    check(Drovik_engine_save(path, NULL, 0x08) == 0, "save with bitmaps as BMP");
    snprintf(saved_bitmaps, sizeof saved_bitmaps, "%s/bitmaps", saved);
    snprintf(path, sizeof path, "%s/BRICK.bmp", saved_bitmaps);
    unsigned char* bmp = read_bytes(path, &size);
    check(bmp && size > 54 && bmp[28] == 8 && get32(bmp + 14) == 40, "the saved bitmap is an 8-bit BMP");
    free(bmp);
    /* An empty world uses no bitmap: the cache is emptied, so the next loads read their files. */
    check(Drovik_engine_load_world(NULL, ".", "", 0) == 0, "an empty world");
    check(Drovik_engine_load_world("world.drovik", saved, saved_bitmaps, 0) == 0, "the saved world loads");
    snprintf(path, sizeof path, "%s/brick.bmp_swap", saved_bitmaps); /* named as the world names it */
    check(exists(path), "the saved world names its bitmap and reads it anew");
    check(Drovik_engine_load_world(NULL, ".", "", 0) == 0, "an empty world again");
    listing(readonly, before, sizeof before);
    check(Drovik_engine_load_world("small.drovik", DROVIK_FIXTURES, readonly, 0x8000) == 0, "read-only load");
    listing(readonly, after, sizeof after);
    check(strcmp(before, after) == 0, "a read-only load leaves the bitmap folder as it was");

    Drovik_engine_close();
    printf("%d failures\n", failures);
    return failures ? 1 : 0;
}
