// The sound device back-end over OpenAL Soft: one buffer per sample, one source per channel.
#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <cstring>

#include "fmod_internal.h"

namespace {

ALCdevice* device = nullptr;
ALCcontext* context = nullptr;

// Names in an ALC list: strings one after another, ended by an empty one.
void append_names(const ALCchar* list, std::vector<std::string>& names)
{
    for (const ALCchar* name = list; name && *name; name += std::strlen(name) + 1)
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.emplace_back(name);
}

std::vector<std::string> devices()
{
    std::vector<std::string> names;
    const bool all = alcIsExtensionPresent(nullptr, "ALC_ENUMERATE_ALL_EXT") == ALC_TRUE;
    const ALCenum default_name = all ? ALC_DEFAULT_ALL_DEVICES_SPECIFIER
                                     : ALC_DEFAULT_DEVICE_SPECIFIER;
    const ALCchar* first = alcGetString(nullptr, default_name);
    if (first && *first)
        names.emplace_back(first);
    append_names(alcGetString(nullptr, all ? ALC_ALL_DEVICES_SPECIFIER : ALC_DEVICE_SPECIFIER),
                 names);
    return names;
}

bool open(const char* name, int mixrate)
{
    device = alcOpenDevice(name);
    if (!device)
        return false;
    const ALCint attributes[] = {ALC_FREQUENCY, mixrate, 0};
    context = alcCreateContext(device, attributes);
    if (!context || alcMakeContextCurrent(context) != ALC_TRUE) {
        if (context)
            alcDestroyContext(context);
        alcCloseDevice(device);
        context = nullptr;
        device = nullptr;
        return false;
    }
    return true;
}

void close()
{
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    context = nullptr;
    device = nullptr;
}

unsigned buffer_create(const std::vector<int16_t>& pcm, int channels, int rate)
{
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR)
        return 0;
    alBufferData(buffer, channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, pcm.data(),
                 static_cast<ALsizei>(pcm.size() * sizeof(int16_t)), rate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        return 0;
    }
    return buffer;
}

void buffer_free(unsigned buffer)
{
    alDeleteBuffers(1, &buffer);
}

// A channel runs unless paused or held silent at frequency 0.
void apply(fs_voice& voice)
{
    const ALuint source = voice.source;
    alSourcef(source, AL_GAIN, static_cast<float>(voice.volume) / 255.0f);
    if (voice.frequency > 0 && voice.rate > 0)
        alSourcef(source, AL_PITCH, static_cast<float>(voice.frequency) / voice.rate);
    alSourcei(source, AL_LOOPING, voice.loop ? AL_TRUE : AL_FALSE);
    alSourcei(source, AL_SOURCE_RELATIVE, voice.is3d ? AL_FALSE : AL_TRUE);
    if (voice.is3d) {
        alSourcefv(source, AL_POSITION, voice.position);
        alSourcefv(source, AL_VELOCITY, voice.velocity);
        alSourcef(source, AL_REFERENCE_DISTANCE, voice.min_distance);
        alSourcef(source, AL_MAX_DISTANCE, voice.max_distance);
    } else {
        alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    }
    const bool run = !voice.paused && voice.frequency > 0;
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (run && state == AL_PAUSED)
        alSourcePlay(source);
    else if (!run && state == AL_PLAYING)
        alSourcePause(source);
}

bool start(fs_voice& voice, unsigned buffer)
{
    alGetError();
    if (voice.source == 0) {
        ALuint source = 0;
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR)
            return false;
        voice.source = source;
    }
    alSourceStop(voice.source);
    alSourcei(voice.source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcePlay(voice.source);
    apply(voice);
    return alGetError() == AL_NO_ERROR;
}

void stop(fs_voice& voice)
{
    alSourceStop(voice.source);
    alSourcei(voice.source, AL_BUFFER, 0);
}

void release(fs_voice& voice)
{
    if (voice.source != 0)
        alDeleteSources(1, &voice.source);
    voice.source = 0;
}

bool playing(fs_voice& voice)
{
    ALint state = AL_STOPPED;
    alGetSourcei(voice.source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING || state == AL_PAUSED;
}

void commit()
{
    alcProcessContext(context);
}

}  // namespace

const fs_backend fs_openal_backend = {devices, open,  close,   buffer_create, buffer_free, start,
                                      stop,    release, apply, playing,       commit};
