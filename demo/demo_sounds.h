// Synthesised sounds of the demo data set: the simulator's ten sound effects as WAV files.
#pragma once
#include <string>

// Writes root/sounds/*.wav; false (with the file named on stderr) when one cannot be written.
bool WriteDemoSounds(const std::string& root);
