// Blending kinds of polygons and patches: keywords, interface codes and the stored blending byte.
#pragma once
#include "world/records.h"

// The interface code of a keyword (letter case ignored), -1 for any other word.
int convert_translucent_string_to_number(const char* keyword);
void polygon_set_translucent(polygon* p, int code);
int polygon_get_translucent(const polygon* p);
const char* polygon_get_translucent_name(const polygon* p);
