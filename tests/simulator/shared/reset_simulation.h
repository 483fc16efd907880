// Puts the simulator's shared state back to a fresh start, for the app and train tests' fixtures.
#pragma once
#include "app/sim_state.h"
#include "route/route.h"
#include "train/physics.h"
#include "train/vehicle.h"

// Default settings, no route, no train, the physics at rest.
inline void ResetSimulation()
{
    ResetSimState();
    Drovik3D::Route() = Drovik3D::TRouteState{};
    ClearConsist(Consist);
    Physics = TPhysics{};
    PhysicsInit();
}
