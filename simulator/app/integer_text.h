// Whole numbers typed or stored as text, with the conversion message the forms show.
#pragma once
#include <string>

#include "platform/numbers.h"

// The text's integer within [low, high]; false with "'<text>' is not a valid integer value".
inline bool IntegerText(const std::string& text, long low, long high, int* out, std::string* error)
{
    long value = 0;
    if (!plat_parse_int(text, &value) || value < low || value > high) {
        *error = "'" + text + "' is not a valid integer value";
        return false;
    }
    *out = static_cast<int>(value);
    return true;
}
