// The demo world's bitmaps, written with the engine's own image writers.
#pragma once
#include <string>

// Writes root/world/bitmaps: the textures and the sky panorama; false after a line on stderr.
bool WriteDemoWorldBitmaps(const std::string& root);
