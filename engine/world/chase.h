// Chase type codes and their keywords (with the optional "_FALL<height>" suffix).
#pragma once
#include <string>

enum chase_type_code { NO_CHASE = 0, CHASE_LOCATION = 2, CHASE_PRECISE = 3, CHASE_FLEXIBLE = 4,
                       CHASE_PHYSICS = 9, CHASE_TRACK = 135, CHASE_TRACK_AIRPLANE = 136 };

int chase_convert_string_to_number(const char* text, double* height, int* fall_flag);
std::string chase_convert_number_to_string(int code, int fall_flag, double height);
