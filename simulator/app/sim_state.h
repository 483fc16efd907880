// Simulation state shared by the simulator's units: paths, situation, flags, camera, clock.
#pragma once
#include <cstdio>
#include <mutex>
#include <random>
#include <string>

#include "drovik.h"

// The folders and files of the current situation.
struct pathRec {
    std::string root;          // the simulation root folder
    std::string situation;     // situation file
    std::string route;         // route file
    std::string timetable;     // working timetable file
    std::string train;         // train file
    std::string traction;      // traction model base path (folder and model name, no extension)
    std::string rollingStock;  // rolling stock base path
};

struct TSimState {
    pathRec paths;
    int startSegment = 3;
    int startHour = 9;
    int startMinute = 1;
    bool wet = false;
    std::string trainName;
    std::string tractionModel;  // name of the loaded traction model, "" before one is loaded

    bool view3D = true;        // the 3D view is updated every tick
    bool card3D = true;        // the 3D card is wanted
    bool wireFrame = false;    // the world is drawn as wire frames
    bool worldLoaded = false;  // world, route and scenery are loaded
    bool engineStarted = false;  // a world load started the engine; closing stops it
    bool editorMode = false;   // the cab layout editor is active
    bool soundOn = false;

    std::FILE* routeDebug = nullptr;  // the route debug file, open from start-up to close

    DROVIK_HANDLE camera = nullptr;  // the 3D view's camera, null until the world is loaded
    double cameraZoom = 0.0;         // field of view in degrees

    double clock = 0.0;  // the simulated clock, a date-time in days
};

extern TSimState SimState;

// Guards the simulation state and the simulation variables of the other units, which the
// timer thread and the GUI thread share. Never hold it while stopping the timer: the stop
// waits for a running tick, which may be waiting for this lock.
extern std::recursive_mutex SimLock;

// The simulator's random numbers (scenery placement); seeded afresh before the world loads.
extern std::mt19937 SimRandom;

// The simulation root folder, read under SimLock.
std::string SimRoot();

// Creates (or empties) root "\routes\Tarrow-Venn\debug.txt" and writes its first line; false
// when it cannot be written (the simulator then runs without it).
bool OpenRouteDebugFile();
void CloseRouteDebugFile();

// Closes the route debug file and sets every field back to its start value.
void ResetSimState();

// One simulated second's clock step: 1.2 s in days.
inline constexpr double kClockStepDays = 1.3889e-5;
