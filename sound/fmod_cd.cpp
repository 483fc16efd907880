// Sound library CD calls: there is never a CD, so they report none and do nothing.
#include "fmod_internal.h"

extern "C" {

signed char FSOUND_CD_Play(int)
{
    std::lock_guard lock(fs().mutex);
    return fs_fail(FMOD_ERR_PLAY, 0);
}

void FSOUND_CD_SetPlayMode(signed char)
{
    std::lock_guard lock(fs().mutex);
    fs().error = FMOD_ERR_NONE;
}

signed char FSOUND_CD_Stop(void)
{
    std::lock_guard lock(fs().mutex);
    return fs_fail(FMOD_ERR_PLAY, 0);
}

signed char FSOUND_CD_SetPaused(signed char)
{
    std::lock_guard lock(fs().mutex);
    return fs_fail(FMOD_ERR_PLAY, 0);
}

signed char FSOUND_CD_GetPaused(void)
{
    std::lock_guard lock(fs().mutex);
    return fs_ok(0);
}

int FSOUND_CD_GetTrack(void)
{
    std::lock_guard lock(fs().mutex);
    return fs_ok(0);
}

int FSOUND_CD_GetNumTracks(void)
{
    std::lock_guard lock(fs().mutex);
    return fs_ok(0);
}

signed char FSOUND_CD_Eject(void)
{
    std::lock_guard lock(fs().mutex);
    return fs_fail(FMOD_ERR_PLAY, 0);
}

}  // extern "C"
