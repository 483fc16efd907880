// Number formatting and parsing in the C locale, whatever the process locale is.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

// printf family in the C locale.
int plat_snprintf(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
int plat_vsnprintf(char* buffer, size_t size, const char* format, va_list args);
std::string plat_format(const char* format, ...) __attribute__((format(printf, 1, 2)));
int plat_fprintf(FILE* file, const char* format, ...) __attribute__((format(printf, 2, 3)));
// sscanf in the C locale.
int plat_sscanf(const char* text, const char* format, ...)
    __attribute__((format(scanf, 2, 3)));

// Whole-text parses; leading and trailing blanks and a leading '+' are allowed; infinities,
// NaN and out-of-range values are refused. False leaves *out untouched.
bool plat_parse_double(std::string_view text, double* out);
bool plat_parse_int(std::string_view text, long* out);
// strtod in the C locale: parses a prefix, *end set past it.
double plat_strtod(const char* text, char** end);
