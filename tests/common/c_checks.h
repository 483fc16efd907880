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

#endif
