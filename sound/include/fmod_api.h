/* The sound library's C interface: the FSOUND_* functions the engine and the simulator call. */
#ifndef FMOD_API_H
#define FMOD_API_H

#ifdef __cplusplus
extern "C" {
#endif

#define FSOUND_API __attribute__((visibility("default")))

/*
 * Conventions
 * - Booleans are signed char: 1 (TRUE) on success, 0 (FALSE) on failure.
 * - Every call sets the library's last error: FMOD_ERR_NONE on success, the reason on failure;
 *   FSOUND_GetError reads it. One lock guards the library, so any thread may call it.
 * - A sample handle is a non-zero 32-bit integer (0 means no sample). Freeing the sample or
 *   FSOUND_Close makes it stale; a stale handle is refused with FMOD_ERR_INVALID_PARAM.
 * - A channel argument is either a channel number (0 .. maxchannels-1, given to FSOUND_Init),
 *   which always addresses that channel, or a channel handle returned by a play call.
 *   A handle is never 0 and never a channel number; it names one play: after that play is
 *   stopped, replaced by another play or its sample freed, the handle is refused
 *   (FMOD_ERR_INVALID_PARAM; FSOUND_IsPlaying answers FALSE).
 * - A channel "plays" from a play call until it is stopped or a non-looping sample reaches its
 *   end. A paused channel, or one at frequency 0, still plays: it is only held silent.
 * - Without a sound device the library runs a silent device that keeps the same channel state
 *   (positions advance with time at the channel's frequency), so callers see the same results.
 */

#define FSOUND_VERSION 3.61f

typedef int FSOUND_SAMPLE; /* sample handle, 0 = none */

/* Channel selection for the play calls. */
#define FSOUND_FREE (-1) /* the first channel that is not playing */

/* Error codes (FSOUND_GetError). */
enum FMOD_ERRORS {
    FMOD_ERR_NONE = 0,
    FMOD_ERR_BUSY = 1,           /* call not allowed after FSOUND_Init (also a second Init) */
    FMOD_ERR_UNINITIALIZED = 2,  /* call needs FSOUND_Init first */
    FMOD_ERR_INIT = 3,           /* output device could not be initialised */
    FMOD_ERR_ALLOCATED = 4,      /* output device in use */
    FMOD_ERR_PLAY = 5,           /* playing failed (also every CD call: there is no CD) */
    FMOD_ERR_OUTPUT_FORMAT = 6,  /* output format not supported */
    FMOD_ERR_COOPERATIVELEVEL = 7,
    FMOD_ERR_CREATEBUFFER = 8,   /* the device refused a sound buffer */
    FMOD_ERR_FILE_NOTFOUND = 9,  /* no such file */
    FMOD_ERR_FILE_FORMAT = 10,   /* not a sound file, or not of the kind the call loads */
    FMOD_ERR_FILE_BAD = 11,      /* a sound file that cannot be decoded to its end */
    FMOD_ERR_MEMORY = 12,        /* sample too large */
    FMOD_ERR_VERSION = 13,
    FMOD_ERR_INVALID_PARAM = 14, /* bad argument, stale handle, unknown channel or sample */
    FMOD_ERR_NO_EAX = 15,
    FMOD_ERR_NO_EAX2 = 16,
    FMOD_ERR_CHANNEL_ALLOC = 17, /* no free channel */
    FMOD_ERR_RECORD = 18,
    FMOD_ERR_MEDIAPLAYER = 19
};

/* Output kinds (FSOUND_SetOutput / FSOUND_GetOutput). Every kind but NOSOUND plays through
   the system's sound device; NOSOUND always uses the silent device. */
enum FSOUND_OUTPUTTYPES {
    FSOUND_OUTPUT_NOSOUND = 0,
    FSOUND_OUTPUT_WINMM = 1,
    FSOUND_OUTPUT_DSOUND = 2,
    FSOUND_OUTPUT_A3D = 3
};

/* Mixer kinds (FSOUND_SetMixer): accepted and recorded, 0 .. FSOUND_MIXER_MAX. */
#define FSOUND_MIXER_AUTODETECT 0
#define FSOUND_MIXER_QUALITY_AUTODETECT 4
#define FSOUND_MIXER_MAX 8

/* Sample modes (FSOUND_Sample_Load... mode, FSOUND_Sample_SetLoopMode). Other bits are ignored. */
#define FSOUND_LOOP_OFF 1    /* play once */
#define FSOUND_LOOP_NORMAL 2 /* loop from end to start */
#define FSOUND_LOOP_BIDI 4   /* ping-pong loop; played as a normal loop */
#define FSOUND_HW3D 4096     /* placed in 3D by FSOUND_3D_SetAttributes */
#define FSOUND_2D 8192       /* not placed in 3D */

/* ---- System ---- */
FSOUND_API float FSOUND_GetVersion(void);                 /* FSOUND_VERSION */
FSOUND_API int FSOUND_GetError(void);                     /* last error code */
FSOUND_API signed char FSOUND_SetOutput(int outputtype);  /* before Init; -1 = DSOUND */
FSOUND_API int FSOUND_GetOutput(void);                    /* the kind set (DSOUND by default) */
FSOUND_API int FSOUND_GetNumDrivers(void);                /* at least 1 */
FSOUND_API const char* FSOUND_GetDriverName(int id);      /* NULL for a bad id */
FSOUND_API signed char FSOUND_SetDriver(int driver);      /* before Init; 0 = default device */
FSOUND_API signed char FSOUND_SetMixer(int mixer);        /* before Init */
FSOUND_API signed char FSOUND_SetBufferSize(int len_ms);  /* before Init; 1 .. 10000 ms */
/* mixrate 4000..192000, maxchannels 1..1024; falls back to the silent device when no device
   opens. FALSE with FMOD_ERR_BUSY when already initialised. */
FSOUND_API signed char FSOUND_Init(int mixrate, int maxchannels, unsigned int flags);
FSOUND_API void FSOUND_Close(void);                       /* stops all, frees every sample */

/* ---- Samples (need Init) ---- */
/* index FSOUND_FREE or a slot number 0..4095 (replaces the sample there). WAV, MPEG and the
   other formats libsndfile reads, 1 or 2 channels. memlength is unused for files.
   0 on failure: FMOD_ERR_FILE_NOTFOUND, FMOD_ERR_FILE_FORMAT, FMOD_ERR_FILE_BAD,
   FMOD_ERR_MEMORY, FMOD_ERR_CREATEBUFFER, FMOD_ERR_INVALID_PARAM. */
FSOUND_API FSOUND_SAMPLE FSOUND_Sample_Load(int index, const char* name, unsigned int mode,
                                            int memlength);
/* As FSOUND_Sample_Load, but only WAV files, or only MPEG files (else FMOD_ERR_FILE_FORMAT). */
FSOUND_API FSOUND_SAMPLE FSOUND_Sample_LoadWav(int index, const char* name, unsigned int mode);
FSOUND_API FSOUND_SAMPLE FSOUND_Sample_LoadMpeg(int index, const char* name, unsigned int mode);
FSOUND_API void FSOUND_Sample_Free(FSOUND_SAMPLE sample);  /* stops the channels playing it */
/* Also applies to the channels now playing the sample. */
FSOUND_API signed char FSOUND_Sample_SetLoopMode(FSOUND_SAMPLE sample, unsigned int loopmode);
FSOUND_API signed char FSOUND_Sample_SetMinMaxDistance(FSOUND_SAMPLE sample, float min,
                                                       float max);
FSOUND_API int FSOUND_Sample_GetLength(FSOUND_SAMPLE sample);  /* frames; 0 on error */

/* ---- Channels (need Init) ---- */
/* Play on the given channel (stopping what it played) or on FSOUND_FREE; the result is the
   channel handle, -1 on failure. The channel starts at the sample's frequency, volume 255. */
FSOUND_API int FSOUND_PlaySound(int channel, FSOUND_SAMPLE sample);
/* freq, vol (0..255), pan (0..255): -1 keeps the default. */
FSOUND_API int FSOUND_PlaySoundAttrib(int channel, FSOUND_SAMPLE sample, int freq, int vol,
                                      int pan);
/* pos and vel: three floats each, NULL for zero. */
FSOUND_API int FSOUND_3D_PlaySound(int channel, FSOUND_SAMPLE sample, const float* pos,
                                   const float* vel);
FSOUND_API signed char FSOUND_StopSound(int channel);
FSOUND_API void FSOUND_StopAllChannels(void);
FSOUND_API signed char FSOUND_IsPlaying(int channel);
/* Hz, 0 .. 705600; 0 holds the channel silent (it still plays) until a non-zero frequency. */
FSOUND_API signed char FSOUND_SetFrequency(int channel, int freq);
FSOUND_API int FSOUND_GetFrequency(int channel);          /* -1 on error */
FSOUND_API signed char FSOUND_SetVolume(int channel, int vol);  /* 0..255, clamped */
FSOUND_API int FSOUND_GetVolume(int channel);             /* -1 on error */
FSOUND_API signed char FSOUND_SetPaused(int channel, signed char paused);
FSOUND_API signed char FSOUND_GetPaused(int channel);
/* Reverb mix 0..1, or -1 for the default: accepted and recorded (there is no reverb). */
FSOUND_API signed char FSOUND_Reverb_SetMix(int channel, float mix);

/* ---- 3D (need Init) ---- */
/* Place a channel relative to the listener (at the origin, looking down -z, up +y);
   pos and vel may be NULL to keep the current values. */
FSOUND_API signed char FSOUND_3D_SetAttributes(int channel, const float* pos, const float* vel);
FSOUND_API void FSOUND_3D_Update(void);                   /* commits the 3D changes */

/* ---- CD: there is never a CD ---- */
FSOUND_API signed char FSOUND_CD_Play(int track);         /* FALSE, FMOD_ERR_PLAY */
FSOUND_API void FSOUND_CD_SetPlayMode(signed char mode);  /* ignored */
FSOUND_API signed char FSOUND_CD_Stop(void);              /* FALSE, FMOD_ERR_PLAY */
FSOUND_API signed char FSOUND_CD_SetPaused(signed char paused); /* FALSE, FMOD_ERR_PLAY */
FSOUND_API signed char FSOUND_CD_GetPaused(void);         /* FALSE */
FSOUND_API int FSOUND_CD_GetTrack(void);                  /* 0 */
FSOUND_API int FSOUND_CD_GetNumTracks(void);              /* 0 */
FSOUND_API signed char FSOUND_CD_Eject(void);             /* FALSE, FMOD_ERR_PLAY */

#ifdef __cplusplus
}
#endif

#endif
