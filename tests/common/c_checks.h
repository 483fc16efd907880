/* For test programs in plain C: one printed line per check, and little-endian byte writers. */
#ifndef DROVIK_TESTS_C_CHECKS_H
#define DROVIK_TESTS_C_CHECKS_H

#include <stdio.h>

static int failures = 0;

static void check(int ok, const char* what) {
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    fflush(stdout);
    if (!ok) ++failures;
}

static void put16(unsigned char* p, unsigned v) {
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
}

static void put32(unsigned char* p, unsigned long v) {
    put16(p, (unsigned)(v & 0xFFFF));
    put16(p + 2, (unsigned)(v >> 16));
}

/* The headers of an uncompressed 8-bit BMP of file_size bytes with two palette entries: the
   palette starts at byte 54, the pixel rows at 62. */
static inline void put_bmp8_headers(unsigned char* data, unsigned long file_size, unsigned width, unsigned height) {
    data[0] = 'B';
    data[1] = 'M';
    put32(data + 2, file_size);
    put32(data + 10, 14 + 40 + 8);
    put32(data + 14, 40);
    put32(data + 18, width);
    put32(data + 22, height);
    put16(data + 26, 1);
    put16(data + 28, 8);
    put32(data + 46, 2);
}

#endif
