// Texts of the sound library's error codes.
#include "app/fmod_errors.h"

#include <iterator>

namespace {

const char* const error_texts[] = {
    "No errors",
    "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
    "This command failed because FSOUND_Init was not called",
    "Error initializing output device.",
    "The output device is already in use and cannot be reused.",
    "Playing the sound failed.",
    "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
    "Error setting cooperative level for hardware.",
    "Error creating hardware sound buffer.",
    "File not found",
    "Unknown file format",
    "Error loading file",
    "Not enough memory ",
    "The version number of this file format is not supported",
    "An invalid parameter was passed to this function",
    "Tried to use an EAX command on a non EAX enabled channel or output.",
    "Tried to use an advanced EAX2 command on a non EAX2 enabled channel or output.",
    "Failed to allocate a new channel",
    "Recording is not supported on this machine",
    "Required Mediaplayer codec is not installed",
};

}  // namespace

const char* FMOD_ErrorString(int code)
{
    const int index = code & 0x7f;
    if (index < static_cast<int>(std::size(error_texts)))
        return error_texts[index];
    return "Unknown error";
}
