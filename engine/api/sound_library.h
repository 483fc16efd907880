// The sound library's entry points, loaded at run time and bound by their plain names.
#pragma once

struct sound_library {
    void* module;
    signed char (*set_output)(int output);
    signed char (*set_driver)(int driver);
    signed char (*set_mixer)(int mixer);
    signed char (*set_buffer_size)(int milliseconds);
    signed char (*init)(int mix_rate, int channels, unsigned int flags);
    void (*close)();
    int (*sample_load_wav)(int index, const char* name, unsigned int mode);
    int (*sample_load_mpeg)(int index, const char* name, unsigned int mode);
    void (*sample_free)(int sample);
    signed char (*sample_set_loop_mode)(int sample, unsigned int mode);
    signed char (*sample_set_min_max_distance)(int sample, float minimum, float maximum);
    int (*play_sound)(int channel, int sample);
    int (*play_sound_attrib)(int channel, int sample, int frequency, int volume, int pan);
    int (*play_sound_3d)(int channel, int sample, const float* position, const float* velocity);
    signed char (*stop_sound)(int channel);
    void (*stop_all_channels)();
    signed char (*set_frequency)(int channel, int frequency);
    signed char (*set_volume)(int channel, int volume);
    signed char (*cd_play)(int track);
    void (*cd_set_play_mode)(signed char mode);
    signed char (*cd_stop)();
    signed char (*cd_set_paused)(signed char paused);
    signed char (*cd_get_paused)();
    int (*cd_get_track)();
    int (*cd_get_num_tracks)();
    signed char (*cd_eject)();
    void (*update_3d)();
    signed char (*set_attributes_3d)(int channel, const float* position, const float* velocity);
    int (*sample_get_length)(int sample);
    signed char (*is_playing)(int channel);
    int (*get_frequency)(int channel);
    int (*get_volume)(int channel);
    signed char (*reverb_set_mix)(int channel, float mix);
    signed char (*set_paused)(int channel, signed char paused);
};

// Loads the library by name and binds every entry point. False, with nothing bound, when the
// library or any one of its names is missing (the library then counts as absent).
bool sound_library_bind(sound_library& library, const char* name);
