// Simulation state shared by the simulator's units.
#include "sim_state.h"

TSimState SimState;
std::recursive_mutex SimLock;
std::mt19937 SimRandom;

void ResetSimState()
{
    std::lock_guard guard(SimLock);
    if (SimState.routeDebug)
        std::fclose(SimState.routeDebug);
    SimState = TSimState{};
}
