// Texts of the sound library's error codes.
#pragma once

// The text for an error code, taken by its low 7 bits.
const char* FMOD_ErrorString(int code);
