// Chase type codes and their keywords (with the optional "_FALL<height>" suffix).
#include "world/chase.h"

#include "foundation/errors.h"
#include "foundation/strings.h"
#include "platform/numbers.h"

namespace {
struct chase_word {
    const char* keyword;
    int code;
};
constexpr chase_word words[] = {{"NO_CHASE", NO_CHASE},           {"CHASE_LOCATION", CHASE_LOCATION},
                                {"CHASE_PRECISE", CHASE_PRECISE}, {"CHASE_FLEXIBLE", CHASE_FLEXIBLE},
                                {"CHASE_PHYSICS", CHASE_PHYSICS}, {"CHASE_TRACK", CHASE_TRACK},
                                {"CHASE_TRACK_AIRPLANE", CHASE_TRACK_AIRPLANE}};
}  // namespace

int chase_convert_string_to_number(const char* text, double* height, int* fall_flag) {
    if (!text) return NO_CHASE;
    std::string keyword = text;
    const char* fall = jstristr(text, "_FALL");
    if (fall) {
        keyword.resize(static_cast<size_t>(fall - text));
        *fall_flag = 1;
        double value = 0;
        if (plat_sscanf(fall + 5, "%lf", &value) == 1) {
            *height = value;
        } else {
            report_error(1, "chase_convert_string_to_number: coudnt extract the number after FALL\n");
        }
    }
    for (const chase_word& w : words) {
        if (jstricmp(keyword.c_str(), w.keyword) == 0) return w.code;
    }
    report_errorf("chase_convert_string_to_number: Chasing type %s is not supported yet\n", text);
    return NO_CHASE;
}

std::string chase_convert_number_to_string(int code, int fall_flag, double height) {
    std::string text = "NO_CHASE";
    for (const chase_word& w : words) {
        if (w.code == code) text = w.keyword;
    }
    if (fall_flag == 1) text += plat_format("_FALL%G", height);
    return text;
}
