/* For test programs in plain C: a whole file read into a NUL-terminated buffer the caller frees. */
#ifndef DROVIK_TESTS_C_FILES_H
#define DROVIK_TESTS_C_FILES_H

#include <stdio.h>
#include <stdlib.h>

/* NULL when the file cannot be opened; a short read leaves what was read. */
static inline char* read_text(const char* path) {
    FILE* file = fopen(path, "rb");
    if (!file) return NULL;
    fseek(file, 0, SEEK_END);
    const long size = ftell(file);
    fseek(file, 0, SEEK_SET);
    char* text = size >= 0 ? malloc((size_t)size + 1) : NULL;
    if (text) text[fread(text, 1, (size_t)size, file)] = '\0';
    fclose(file);
    return text;
}

/* False when the file cannot be written whole. */
static inline int write_bytes(const char* path, const unsigned char* data, size_t size) {
    FILE* file = fopen(path, "wb");
    if (!file) return 0;
    const int ok = fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && ok;
}

#endif
