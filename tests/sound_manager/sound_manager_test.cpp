// The sound manager and the sound family over the recording fake of the sound library.
#include "sound_fixture.h"

#include <functional>

#include "foundation/registry.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/polygon.h"

namespace {

const char* const no_library_box =
    "Could not load the library fmod.dll,\nyou must have this dll in order to have sound capabilities";

DROVIK_HANDLE cart() { return dynamic_find_by_name(engine_state.dynamic_objects, "cart"); }

}  // namespace

TEST_F(SoundTest, LibraryStartsOnceAtTheFirstExport) {
    EXPECT_EQ(Drovik_sound_update_listener(), 0);
    EXPECT_EQ(calls(), "");
    EXPECT_EQ(Drovik_sound_get_first(), nullptr);
    EXPECT_EQ(calls(),
              "FSOUND_SetOutput(2)\nFSOUND_SetDriver(0)\nFSOUND_SetBufferSize(200)\nFSOUND_SetMixer(4)\n"
              "FSOUND_Init(44100,32,0)\n");
    EXPECT_EQ(Drovik_sound_CD_get_track(), 3);
    EXPECT_EQ(calls(), "FSOUND_CD_GetTrack()\n");
    EXPECT_EQ(Drovik_sound_update_listener(), 0);
    EXPECT_EQ(calls(), "FSOUND_3D_Update()\n");
    EXPECT_TRUE(plat_message_box_records().empty());
}

TEST_F(SoundTest, FailedLibraryStartIsNotRetried) {
    fake_fmod_answer()->init = 0;
    EXPECT_EQ(sound_init(), -1);
    EXPECT_NE(calls(), "");
    EXPECT_EQ(sound_init(), 0);
    EXPECT_EQ(calls(), "");
}

struct missing_case {
    const char* what;
    std::function<long long()> call;
    long long expected;
};

// Every export's value when the library is missing, in one table, after one box.
void expect_missing_library_results() {
    int sentinel = 0;
    DROVIK_HANDLE some = &sentinel;
    const missing_case cases[] = {
        {"load", [] { return reinterpret_cast<long long>(Drovik_sound_load("a.wav", nullptr, 0)); }, 0},
        {"attach", [&] { return Drovik_sound_attach(some, nullptr); }, -1},
        {"play_all_sounds", [] { return Drovik_sound_play_all_sounds(); }, 0},
        {"play", [&] { return Drovik_sound_play(some, 1); }, -1},
        {"stop", [&] { return Drovik_sound_stop(some); }, -1},
        {"stop_all_sounds", [] { return Drovik_sound_stop_all_sounds(); }, 0},
        {"get_first", [] { return reinterpret_cast<long long>(Drovik_sound_get_first()); }, 0},
        {"get_next", [&] { return reinterpret_cast<long long>(Drovik_sound_get_next(some)); }, 0},
        {"update_listener", [] { return Drovik_sound_update_listener(); }, -1},
        {"set_volume", [&] { return Drovik_sound_set_volume(some, 500); }, 0},
        {"get_volume", [&] { return Drovik_sound_get_volume(some); }, -1},
        {"set_frequency", [&] { return Drovik_sound_set_frequency(some, 8000); }, 0},
        {"get_frequency", [&] { return Drovik_sound_get_frequency(some); }, -1},
        {"is_sound_playing", [&] { return Drovik_sound_is_sound_playing(some); }, -1},
        {"set_sound_name", [&] { return Drovik_sound_set_sound_name(some, "x"); }, -1},
        {"get_sound_name", [&] { return reinterpret_cast<long long>(Drovik_sound_get_sound_name(some)); }, 0},
        {"get_handle_using_name",
         [] { return reinterpret_cast<long long>(Drovik_sound_get_handle_using_name("a")); }, 0},
        {"get_handle_using_entity",
         [&] { return reinterpret_cast<long long>(Drovik_sound_get_handle_using_entity(some)); }, 0},
        {"set_distance_reach", [&] { return Drovik_sound_set_distance_reach(some, 10); }, -1},
        {"set_pause_mode", [&] { return Drovik_sound_set_pause_mode(some, 1); }, 0},
        {"CD_play", [] { return Drovik_sound_CD_play(1); }, 0},
        {"CD_stop", [] { return Drovik_sound_CD_stop(); }, 0},
        {"CD_set_pause_mode", [] { return Drovik_sound_CD_set_pause_mode(1); }, 0},
        {"CD_get_track", [] { return Drovik_sound_CD_get_track(); }, -1},
        {"CD_get_num_of_tracks", [] { return Drovik_sound_CD_get_num_of_tracks(); }, -1},
        {"CD_eject", [] { return Drovik_sound_CD_eject(); }, 0},
    };
    for (int round = 0; round < 2; ++round) {
        for (const missing_case& c : cases) EXPECT_EQ(c.call(), c.expected) << c.what;
    }
    const auto boxes = plat_message_box_records();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Warning");
    EXPECT_EQ(boxes[0].text, no_library_box);
}

TEST_F(SoundTest, MissingLibraryShowsOneBoxAndEveryExportGivesItsValue) {
    sound_manager_use_library((work_.dir() / "libno_such_fmod.so").string().c_str());
    expect_missing_library_results();
}

TEST_F(SoundTest, LibraryWithoutOneEntryPointCountsAsMissing) {
    sound_manager_use_library(FAKE_FMOD_PARTIAL_PATH);
    expect_missing_library_results();
}

TEST_F(SoundTest, FileNameChoosesTheLoaderAndAttachmentTheMode) {
    load_world();
    start();
    DROVIK_HANDLE mp3 = Drovik_sound_load("a.mp3.wav", cart(), 0);
    ASSERT_NE(mp3, nullptr);
    EXPECT_EQ(calls(), "FSOUND_Sample_LoadMpeg(-1,a.mp3.wav,4096)\nFSOUND_Sample_SetMinMaxDistance(1,2,1000)\n");
    EXPECT_NE(Drovik_sound_load("b.wav", nullptr, 0), nullptr);
    EXPECT_EQ(calls(), "FSOUND_Sample_LoadWav(-1,b.wav,8192)\n");
    EXPECT_EQ(Drovik_sound_load("a.ogg", nullptr, 0), nullptr);
    EXPECT_EQ(Drovik_sound_load("a.WAV", nullptr, 0), nullptr);
    EXPECT_EQ(Drovik_sound_load(nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(calls(), "");
    // A handle that names no entity leaves the sound unattached.
    int garbage = 0;
    DROVIK_HANDLE unattached = Drovik_sound_load("d.wav", &garbage, 0);
    ASSERT_NE(unattached, nullptr);
    EXPECT_EQ(static_cast<sound_object*>(unattached)->entity, nullptr);
    EXPECT_EQ(calls(), "FSOUND_Sample_LoadWav(-1,d.wav,8192)\n");
    fake_fmod_answer()->next_sample = 0;
    EXPECT_EQ(Drovik_sound_load("c.wav", nullptr, 0), nullptr);
    EXPECT_EQ(calls(), "FSOUND_Sample_LoadWav(-1,c.wav,8192)\n");
}

TEST_F(SoundTest, NamesComeFromTheFileAndStayUnique) {
    start();
    std::vector<std::string> names;
    for (int i = 0; i < 11; ++i) {
        DROVIK_HANDLE s = Drovik_sound_load("sounds/x.wav", nullptr, 0);
        ASSERT_NE(s, nullptr);
        names.push_back(Drovik_sound_get_sound_name(s));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"x", "x_1", "x_2", "x_3", "x_4", "x_5", "x_6", "x_7", "x_8",
                                               "x_9", "x_1_1"}));
    DROVIK_HANDLE first = Drovik_sound_get_handle_using_name("x");
    EXPECT_EQ(first, Drovik_sound_get_first());
    EXPECT_EQ(Drovik_sound_set_sound_name(first, "x_2"), -1);
    EXPECT_EQ(Drovik_sound_set_sound_name(first, ""), -1);
    EXPECT_EQ(Drovik_sound_set_sound_name(first, nullptr), -1);
    EXPECT_EQ(Drovik_sound_set_sound_name(first, "a long name with blanks, longer than fifty characters in all"), 0);
    EXPECT_STREQ(Drovik_sound_get_sound_name(first),
                 "a long name with blanks, longer than fifty characters in all");
    EXPECT_EQ(Drovik_sound_get_handle_using_name("x"), nullptr);
    EXPECT_NE(Drovik_sound_get_sound_name(Drovik_sound_load("x.wav", nullptr, 0)), nullptr);
    EXPECT_STREQ(Drovik_sound_get_sound_name(Drovik_sound_get_handle_using_name("x")), "x");
}

TEST_F(SoundTest, ListRunsInLoadOrder) {
    start();
    DROVIK_HANDLE a = Drovik_sound_load("a.wav", nullptr, 0);
    DROVIK_HANDLE b = Drovik_sound_load("b.wav", nullptr, 0);
    EXPECT_EQ(Drovik_sound_get_first(), a);
    EXPECT_EQ(Drovik_sound_get_next(a), b);
    EXPECT_EQ(Drovik_sound_get_next(b), nullptr);
    int garbage = 0;
    EXPECT_EQ(Drovik_sound_get_next(&garbage), nullptr);
    EXPECT_EQ(Drovik_sound_get_next(nullptr), nullptr);
}

TEST_F(SoundTest, AttachedSoundPlaysAtItsPlaceAndReplayStopsTheOldChannel) {
    load_world();
    start();
    // Camera at the origin, cart at (30, 40, 0): distance 50, scale 2; reach 100 gives factor 1.
    DROVIK_HANDLE s = Drovik_sound_load("horn.wav", cart(), 100);
    calls();
    EXPECT_EQ(Drovik_sound_play(s, 1), 0);
    EXPECT_EQ(calls(),
              "FSOUND_Sample_SetLoopMode(1,2)\nFSOUND_3D_PlaySound(-1,1,[20,0,15],[0,0,0])\n"
              "FSOUND_Reverb_SetMix(101,-1)\nFSOUND_SetVolume(101,127)\n");
    EXPECT_EQ(Drovik_sound_play(s, 0), 0);
    EXPECT_EQ(calls(),
              "FSOUND_StopSound(101)\nFSOUND_Sample_SetLoopMode(1,1)\nFSOUND_3D_PlaySound(-1,1,[20,0,15],[0,0,0])\n"
              "FSOUND_Reverb_SetMix(102,-1)\nFSOUND_SetVolume(102,127)\n");
    EXPECT_EQ(Drovik_sound_is_sound_playing(s), 1);
    EXPECT_EQ(calls(), "FSOUND_IsPlaying(102)\n");
    EXPECT_EQ(Drovik_sound_get_volume(s), 500);
    EXPECT_EQ(Drovik_sound_get_frequency(s), 22050);
    EXPECT_EQ(Drovik_sound_stop(s), 0);
    EXPECT_EQ(Drovik_sound_is_sound_playing(s), 0);
    EXPECT_EQ(calls(), "FSOUND_GetVolume(102)\nFSOUND_GetFrequency(102)\nFSOUND_StopSound(102)\n");
    // Stopped, nothing reaches the library: channel 0 would name another sound's channel there.
    EXPECT_EQ(Drovik_sound_stop(s), 0);
    EXPECT_EQ(Drovik_sound_set_pause_mode(s, 1), 0);
    EXPECT_EQ(Drovik_sound_get_volume(s), -1);
    EXPECT_EQ(Drovik_sound_get_frequency(s), -1);
    EXPECT_EQ(calls(), "");
}

TEST_F(SoundTest, ReachScalesThePlace) {
    load_world();
    start();
    struct reach_case {
        double reach;
        const char* play;
    };
    // Factor 1 for reach 1 whatever the scale; 2 / (1000 x 0.02) = 0.1 for reach 1000.
    const reach_case cases[] = {{1, "FSOUND_3D_PlaySound(-1,1,[20,0,15],[0,0,0])"},
                                {1000, "FSOUND_3D_PlaySound(-1,1,[2,0,1.5],[0,0,0])"},
                                {0, "FSOUND_3D_PlaySound(-1,1,[20,0,15],[0,0,0])"}};
    DROVIK_HANDLE s = Drovik_sound_load("horn.wav", cart(), 100);
    for (const reach_case& c : cases) {
        EXPECT_EQ(Drovik_sound_set_distance_reach(s, c.reach), 0);
        calls();
        Drovik_sound_play(s, 0);
        EXPECT_NE(calls().find(c.play), std::string::npos) << c.reach;
    }
    int garbage = 0;
    EXPECT_EQ(Drovik_sound_set_distance_reach(&garbage, 1), -1);
}

TEST_F(SoundTest, UnattachedSoundPlaysIn2DAndAFailedPlayLeavesItStopped) {
    start();
    DROVIK_HANDLE s = Drovik_sound_load("bell.wav", nullptr, 0);
    calls();
    EXPECT_EQ(Drovik_sound_play(s, 0), 0);
    EXPECT_EQ(calls(), "FSOUND_Sample_SetLoopMode(1,1)\nFSOUND_PlaySound(-1,1)\nFSOUND_SetVolume(101,127)\n");
    fake_fmod_answer()->next_channel = -1;
    EXPECT_EQ(Drovik_sound_play(s, 0), -1);
    EXPECT_EQ(calls(), "FSOUND_StopSound(101)\nFSOUND_Sample_SetLoopMode(1,1)\nFSOUND_PlaySound(-1,1)\n");
    EXPECT_EQ(Drovik_sound_is_sound_playing(s), 0);
    EXPECT_EQ(Drovik_sound_play(nullptr, 0), -1);
    EXPECT_EQ(calls(), "");
}

TEST_F(SoundTest, VolumeIsClampedScaledAndReadBack) {
    start();
    DROVIK_HANDLE s = Drovik_sound_load("bell.wav", nullptr, 0);
    Drovik_sound_play(s, 0);
    calls();
    struct volume_case {
        int volume;
        const char* call;
        int read;
    };
    const volume_case cases[] = {{0, "FSOUND_SetVolume(101,0)\n", 0},
                                 {500, "FSOUND_SetVolume(101,127)\n", 500},
                                 {2000, "FSOUND_SetVolume(101,254)\n", 1000}};
    for (const volume_case& c : cases) {
        EXPECT_EQ(Drovik_sound_set_volume(s, c.volume), 1);
        EXPECT_EQ(calls(), c.call) << c.volume;
        EXPECT_EQ(Drovik_sound_get_volume(s), c.read) << c.volume;
        calls();
    }
    Drovik_sound_stop(s);
    calls();
    EXPECT_EQ(Drovik_sound_set_volume(s, 500), 1);
    EXPECT_EQ(Drovik_sound_set_frequency(s, 8000), 0);
    EXPECT_EQ(calls(), "");
    int garbage = 0;
    EXPECT_EQ(Drovik_sound_set_volume(&garbage, 500), 0);
}

TEST_F(SoundTest, FrequencyAndPauseReachThePlayingChannel) {
    start();
    DROVIK_HANDLE s = Drovik_sound_load("bell.wav", nullptr, 0);
    Drovik_sound_play(s, 0);
    calls();
    EXPECT_EQ(Drovik_sound_set_frequency(s, 8000), 1);
    EXPECT_EQ(Drovik_sound_set_pause_mode(s, 1), 1);
    EXPECT_EQ(calls(), "FSOUND_SetFrequency(101,8000)\nFSOUND_SetPaused(101,1)\n");
    int garbage = 0;
    EXPECT_EQ(Drovik_sound_set_pause_mode(&garbage, 1), -1);
    EXPECT_EQ(Drovik_sound_set_pause_mode(nullptr, 0), -1);
    EXPECT_EQ(calls(), "");
}

TEST_F(SoundTest, PlayAllPlaysEachOnceWithoutLoopingAndStopsAtAFailure) {
    start();
    DROVIK_HANDLE a = Drovik_sound_load("a.wav", nullptr, 0);
    DROVIK_HANDLE b = Drovik_sound_load("b.wav", nullptr, 0);
    Drovik_sound_play(a, 1);
    calls();
    EXPECT_EQ(Drovik_sound_play_all_sounds(), 1);
    EXPECT_EQ(calls(),
              "FSOUND_StopSound(101)\nFSOUND_Sample_SetLoopMode(1,1)\nFSOUND_PlaySound(-1,1)\nFSOUND_SetVolume(102,127)\n"
              "FSOUND_Sample_SetLoopMode(2,1)\nFSOUND_PlaySound(-1,2)\nFSOUND_SetVolume(103,127)\n");
    EXPECT_EQ(Drovik_sound_stop_all_sounds(), 0);
    EXPECT_EQ(calls(), "FSOUND_StopAllChannels()\n");
    EXPECT_EQ(Drovik_sound_is_sound_playing(a), 0);
    EXPECT_EQ(Drovik_sound_is_sound_playing(b), 0);
    fake_fmod_answer()->next_channel = -1;
    EXPECT_EQ(Drovik_sound_play_all_sounds(), -1);
    EXPECT_EQ(calls(), "FSOUND_Sample_SetLoopMode(1,1)\nFSOUND_PlaySound(-1,1)\n");
}

TEST_F(SoundTest, ListenerUpdateReplacesOnlyPlayingAttachedSounds) {
    load_world();
    start();
    DROVIK_HANDLE playing_attached = Drovik_sound_load("a.wav", cart(), 100);
    Drovik_sound_load("b.wav", cart(), 100);
    DROVIK_HANDLE playing_free = Drovik_sound_load("c.wav", nullptr, 0);
    Drovik_sound_play(playing_attached, 1);
    Drovik_sound_play(playing_free, 1);
    calls();
    dynamic_set_location(static_cast<dynamic_object*>(cart()), {0, 0, 50});
    EXPECT_EQ(Drovik_sound_update_listener(), 0);
    EXPECT_EQ(calls(), "FSOUND_3D_SetAttributes(101,[0,25,0],[0,0,0])\nFSOUND_3D_Update()\n");
    EXPECT_EQ(Drovik_sound_get_handle_using_entity(cart()), playing_attached);
    EXPECT_EQ(Drovik_sound_get_handle_using_entity(nullptr), nullptr);
}

TEST_F(SoundTest, AttachProbesTheEntityKind) {
    load_world();
    start();
    DROVIK_HANDLE s = Drovik_sound_load("a.wav", nullptr, 100);
    group* g = group_find_by_name(engine_state.groups, "cart");
    polygon* ground = polygon_find_by_name("ground");
    ASSERT_NE(g, nullptr);
    ASSERT_NE(ground, nullptr);
    struct attach_case {
        DROVIK_HANDLE entity;
        int16_t kind;
    };
    const attach_case cases[] = {{cart(), sound_on_object}, {ground, sound_on_polygon}, {g, sound_on_group},
                                 {nullptr, sound_on_nothing}};
    for (const attach_case& c : cases) {
        EXPECT_EQ(Drovik_sound_attach(s, c.entity), 0);
        EXPECT_EQ(static_cast<sound_object*>(s)->entity_kind, c.kind);
        EXPECT_EQ(static_cast<sound_object*>(s)->entity, c.entity);
    }
    int garbage = 0;
    EXPECT_EQ(Drovik_sound_attach(s, &garbage), -1);
    EXPECT_EQ(Drovik_sound_attach(&garbage, cart()), -1);
    EXPECT_EQ(static_cast<sound_object*>(s)->entity, nullptr);
    // A polygon is placed at the centre of its box, (500, 250, -10): half of it with scale 2.
    Drovik_sound_attach(s, ground);
    calls();
    Drovik_sound_play(s, 0);
    EXPECT_NE(calls().find("FSOUND_3D_PlaySound(-1,1,[125,-5,250],[0,0,0])"), std::string::npos);
}

TEST_F(SoundTest, DeletedEntitiesAndAClosedWorldLeaveTheirSoundsDetached) {
    load_world();
    start();
    DROVIK_HANDLE on_object = Drovik_sound_load("a.wav", cart(), 100);
    DROVIK_HANDLE on_ground = Drovik_sound_load("b.wav", polygon_find_by_name("ground"), 100);
    group* spare_group = group_create(&engine_state.groups, "spare");
    polygon* spare_polygon = init_poly();
    DROVIK_HANDLE on_group = Drovik_sound_load("c.wav", spare_group, 100);
    DROVIK_HANDLE on_polygon = Drovik_sound_load("d.wav", spare_polygon, 100);
    for (DROVIK_HANDLE s : {on_object, on_ground, on_group, on_polygon}) Drovik_sound_play(s, 1);
    dynamic_delete(static_cast<dynamic_object*>(cart()));
    group_delete(&engine_state.groups, spare_group);
    free_polygon(spare_polygon);
    for (DROVIK_HANDLE s : {on_object, on_group, on_polygon}) {
        EXPECT_EQ(static_cast<sound_object*>(s)->entity, nullptr);
        EXPECT_EQ(static_cast<sound_object*>(s)->entity_kind, sound_on_nothing);
    }
    calls();
    Drovik_sound_update_listener();
    EXPECT_EQ(calls(), "FSOUND_3D_SetAttributes(102,[125,-5,250],[0,0,0])\nFSOUND_3D_Update()\n");
    load_world();  // closes the first world
    EXPECT_EQ(static_cast<sound_object*>(on_ground)->entity, nullptr);
    calls();
    Drovik_sound_update_listener();
    EXPECT_EQ(calls(), "FSOUND_3D_Update()\n");
    EXPECT_EQ(Drovik_sound_is_sound_playing(on_ground), 1);
}

TEST_F(SoundTest, ForgettingTheSoundsFreesEveryRecordAndSample) {
    start();
    const size_t records = registry_size();
    Drovik_sound_load("a.wav", nullptr, 0);
    Drovik_sound_load("b.wav", nullptr, 0);
    EXPECT_EQ(registry_size(), records + 2);
    calls();
    sound_manager_use_library(FAKE_FMOD_PATH);
    EXPECT_EQ(registry_size(), records);
    EXPECT_EQ(calls(), "FSOUND_StopAllChannels()\nFSOUND_Sample_Free(1)\nFSOUND_Sample_Free(2)\nFSOUND_Close()\n");
}

TEST_F(SoundTest, CdCallsReachTheLibrary) {
    start();
    EXPECT_EQ(Drovik_sound_CD_play(4), 1);
    EXPECT_EQ(Drovik_sound_CD_stop(), 1);
    EXPECT_EQ(Drovik_sound_CD_set_pause_mode(1), 1);
    EXPECT_EQ(Drovik_sound_CD_get_num_of_tracks(), 12);
    EXPECT_EQ(Drovik_sound_CD_eject(), 1);
    EXPECT_EQ(calls(), "FSOUND_CD_Play(4)\nFSOUND_CD_Stop()\nFSOUND_CD_SetPaused(1)\nFSOUND_CD_GetNumTracks()\nFSOUND_CD_Eject()\n");
}

TEST_F(SoundTest, DistanceScaleIsOneWithoutAWorld) {
    DROVIK_HANDLE s = Drovik_sound_load("a.wav", nullptr, 1000);
    ASSERT_NE(s, nullptr);
    // 1 / (1000 x 0.02)
    EXPECT_FLOAT_EQ(static_cast<sound_object*>(s)->reach_factor, 0.05f);
}
