// A sound manager bound to the recording fake library, a working folder for the logs, and a small
// world: a camera at the origin, the object "cart" at (30, 40, 0), the polygon "ground" and the
// ground spanning 1000 x 500 (so the distance scale is 2).
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "api/sound_manager.h"
#include "drovik.h"
#include "fake_fmod.h"
#include "foundation/engine_globals.h"
#include "platform/msgbox.h"
#include "startup.h"
#include "work_dir.h"

inline constexpr const char* sound_test_world = R"(BEGIN_DESIGN:
CAMERA: eye
	LOCATION: 0 0 0
	AXIS_X: 1 0 0
	AXIS_Y: 0 1 0
	AXIS_Z: 0 0 1
	VIEW_FIELD: 60
	CULLING_DEPTH: 5000
	EYE_DISTANCE: 1
	TRACK: NO_TRACK
	CHASE: NO_CHASE
	CHASE_TYPE: NO_CHASE
	CHASE_DISTANCE: 0
	PHYSICS: SPEED: 0 0 0 FORCE: 0 0 0 MAX_SPEED: 10 FRICTION: 3 ELASTICITY: 0.5 ROTATION: OBJECT_SPACE 0 0 0
END_CAMERA: eye
BEGIN_MODULE: main
	DYNAMIC: cart
		MODULE_NAME: cart
		FATHER: NONE
		TYPE: regular
		CONTROL: 7
		TRACK: NO_TRACK
		CHASE: NO_CHASE
		CHASE_TYPE: NO_CHASE
		CHASE_DISTANCE: 0
		PHYSICS: SPEED: 0 0 0 FORCE: 0 0 0 MAX_SPEED: 30 FRICTION: 3 ELASTICITY: 0.5 ROTATION: OBJECT_SPACE 0 0 0
		MATRIX:
			1 0 0
			0 1 0
			0 0 1
		LOCATION: 30 40 0
		SCALE: 1 1 1
	END_OBJECT: cart
	POLYGON: ground
		COLOR: 50 50 50
		BITMAP: NO_BITMAP
		TRANSPARENT: -1
		ROTATED: NO
		LIGHT_DIMINUTION: 0
		NUM_OF_POINTS: 4
			0 0 -10 0 0 100
			1000 0 -10 0 0 100
			1000 500 -10 0 0 100
			0 500 -10 0 0 100
END_MODULE: main
BEGIN_MODULE: cart
	POLYGON: body
		COLOR: 200 0 0
		BITMAP: NO_BITMAP
		TRANSPARENT: -1
		ROTATED: NO
		LIGHT_DIMINUTION: 0
		NUM_OF_POINTS: 3
			0 0 0 0 0 100
			1 0 0 0 0 100
			1 1 0 0 0 100
END_MODULE: cart
END_DESIGN:
)";

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        sound_manager_use_library(FAKE_FMOD_PATH);
        fake_fmod_reset();
        plat_message_box_clear_records();
    }

    void TearDown() override {
        sound_manager_use_library(FAKE_FMOD_PATH);
        if (engine_is_initialized()) engine_shutdown();
    }

    std::string in_work(const std::string& name) const { return (work_.dir() / name).string(); }

    void write(const std::string& name, const std::string& text) const {
        std::filesystem::create_directories(std::filesystem::path(in_work(name)).parent_path());
        std::ofstream(in_work(name), std::ios::binary) << text;
    }

    // Loads the test world (or the given text) from the working folder.
    void load_world(const std::string& text = sound_test_world, const std::string& name = "world.wld") {
        write(name, text);
        ASSERT_EQ(Drovik_engine_load_world(in_work(name).c_str(), work_.dir().string().c_str(), "", 0), 0);
    }

    // The library calls since the last look, one a line.
    std::string calls() {
        const std::string log = fake_fmod_log();
        const std::string fresh = log.substr(seen_ < log.size() ? seen_ : log.size());
        seen_ = log.size();
        return fresh;
    }

    // Runs the first export so that the library's start-up calls are out of the way.
    void start() {
        Drovik_sound_get_first();
        calls();
    }

    temp_work_dir work_;
    size_t seen_ = 0;
};
