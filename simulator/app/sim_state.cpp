// Simulation state shared by the simulator's units.
#include "app/sim_state.h"

#include "platform/paths.h"

TSimState SimState;
std::recursive_mutex SimLock;
std::mt19937 SimRandom;

std::string SimRoot()
{
    std::lock_guard guard(SimLock);
    return SimState.paths.root;
}

bool OpenRouteDebugFile()
{
    std::lock_guard guard(SimLock);
    CloseRouteDebugFile();
    const std::string path = SimState.paths.root + "\\routes\\Tarrow-Venn\\debug.txt";
    SimState.routeDebug = plat_fopen(path, "w");
    if (!SimState.routeDebug) {
        std::fprintf(stderr, "Kestrovane: cannot write the route debug file %s\n", path.c_str());
        return false;
    }
    std::fputs("landmarks section\n", SimState.routeDebug);
    return true;
}

void CloseRouteDebugFile()
{
    std::lock_guard guard(SimLock);
    if (SimState.routeDebug)
        std::fclose(SimState.routeDebug);
    SimState.routeDebug = nullptr;
}

void ResetSimState()
{
    std::lock_guard guard(SimLock);
    CloseRouteDebugFile();
    SimState = TSimState{};
}
