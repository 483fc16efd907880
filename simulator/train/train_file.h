// Train files: the consist's 120-byte vehicle records back to back, position 0 first.
#pragma once
#include "train/vehicle.h"

#include <string>

// "Train:  "<name>"  was saved to disk."
std::string TrainSavedMessage(const std::string& name);

// Writes the consist's records (temp file beside it, renamed over it). On failure the old
// file is kept and error says why.
bool SaveTrain(const std::string& path, const TConsist& consist, std::string* error);

// Replaces the consist by the file's records and sums them. A missing file gives an empty
// consist. A damaged file (empty, not a whole number of records, more than 100 records, a
// bad name) is refused with error set and the consist left as it was.
bool LoadTrain(const std::string& path, TConsist& consist, std::string* error);
