// A simulation variable: the name of the cab item bound to it and its value.
#pragma once
#include <string>

struct TSimSlot {
    std::string name;  // binding letter and item number ("g3"), at most 4 characters; "" unbound
    double value = 0.0;
};
