// The demo traction model's cab: picture, cab item files, lever frames and cab layout keys.
#pragma once
#include <string>

// Writes the cab of model into root (the model's INI file must exist already): the cab
// picture, "\cab items\" files, lever frames, the cab item list and the `cab layout` keys.
// False, with the file named on stderr, when something cannot be written.
bool WriteDemoCab(const std::string& root, const std::string& model);
