// Binding the sound library's entry points by name.
#include "api/sound_library.h"

#include "platform/module.h"

namespace {

template <typename F>
bool bind(void* module, const char* name, F& slot) {
    slot = reinterpret_cast<F>(plat_module_symbol(module, name));
    return slot != nullptr;
}

bool bind_all(sound_library& l) {
    void* m = l.module;
    bool ok = bind(m, "FSOUND_SetOutput", l.set_output);
    ok &= bind(m, "FSOUND_SetDriver", l.set_driver);
    ok &= bind(m, "FSOUND_SetMixer", l.set_mixer);
    ok &= bind(m, "FSOUND_SetBufferSize", l.set_buffer_size);
    ok &= bind(m, "FSOUND_Init", l.init);
    ok &= bind(m, "FSOUND_Close", l.close);
    ok &= bind(m, "FSOUND_Sample_LoadWav", l.sample_load_wav);
    ok &= bind(m, "FSOUND_Sample_LoadMpeg", l.sample_load_mpeg);
    ok &= bind(m, "FSOUND_Sample_Free", l.sample_free);
    ok &= bind(m, "FSOUND_Sample_SetLoopMode", l.sample_set_loop_mode);
    ok &= bind(m, "FSOUND_Sample_SetMinMaxDistance", l.sample_set_min_max_distance);
    ok &= bind(m, "FSOUND_PlaySound", l.play_sound);
    ok &= bind(m, "FSOUND_PlaySoundAttrib", l.play_sound_attrib);
    ok &= bind(m, "FSOUND_3D_PlaySound", l.play_sound_3d);
    ok &= bind(m, "FSOUND_StopSound", l.stop_sound);
    ok &= bind(m, "FSOUND_StopAllChannels", l.stop_all_channels);
    ok &= bind(m, "FSOUND_SetFrequency", l.set_frequency);
    ok &= bind(m, "FSOUND_SetVolume", l.set_volume);
    ok &= bind(m, "FSOUND_CD_Play", l.cd_play);
    ok &= bind(m, "FSOUND_CD_SetPlayMode", l.cd_set_play_mode);
    ok &= bind(m, "FSOUND_CD_Stop", l.cd_stop);
    ok &= bind(m, "FSOUND_CD_SetPaused", l.cd_set_paused);
    ok &= bind(m, "FSOUND_CD_GetPaused", l.cd_get_paused);
    ok &= bind(m, "FSOUND_CD_GetTrack", l.cd_get_track);
    ok &= bind(m, "FSOUND_CD_GetNumTracks", l.cd_get_num_tracks);
    ok &= bind(m, "FSOUND_CD_Eject", l.cd_eject);
    ok &= bind(m, "FSOUND_3D_Update", l.update_3d);
    ok &= bind(m, "FSOUND_3D_SetAttributes", l.set_attributes_3d);
    ok &= bind(m, "FSOUND_Sample_GetLength", l.sample_get_length);
    ok &= bind(m, "FSOUND_IsPlaying", l.is_playing);
    ok &= bind(m, "FSOUND_GetFrequency", l.get_frequency);
    ok &= bind(m, "FSOUND_GetVolume", l.get_volume);
    ok &= bind(m, "FSOUND_Reverb_SetMix", l.reverb_set_mix);
    ok &= bind(m, "FSOUND_SetPaused", l.set_paused);
    return ok;
}

}  // namespace

bool sound_library_bind(sound_library& library, const char* name) {
    library = {};
    library.module = plat_module_load(name);
    if (library.module && bind_all(library)) return true;
    // The library stays loaded (it is never unloaded), but nothing of it is used.
    library = {};
    return false;
}
