// Whole-file reading and writing, file times and small system services (beep, file moves).
#pragma once
#include <cstdio>

// Reads the whole file into an engine block with a NUL after the data; -1 when missing or empty.
int file_to_memory(const char* path, char** buffer, int* size);
// Writes a file through a temporary beside it; 0, or -1 with a report.
int mem2file(const char* path, const void* data, int size);
int mem2file_stream(FILE* stream, const void* data, int size);
// Seconds since 1970 of the last modification; -1 when missing.
long long get_file_time(const char* path);
int file_exists(const char* path);

void jbeep(int frequency, int milliseconds);
int jdelete_file(const char* path);
int jmove_file(const char* from, const char* to);
int jcopy_file(const char* from, const char* to);
int jcreate_directory(const char* path);
