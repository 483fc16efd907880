// The simulation tick and its once-a-second work.
#include "app/sim_tick.h"

#include <mutex>
#include <string>

#include "app/info_box.h"
#include "app/qt_message_box.h"
#include "app/sim_hooks.h"
#include "app/sim_state.h"
#include "app/sound_fx.h"
#include "train/physics.h"

namespace {
int secondAccumulator = 0;  // ms since the last simulated second; guarded by SimLock
}

void ResetSecondTick()
{
    std::lock_guard guard(SimLock);
    secondAccumulator = 0;
}

bool SecondTickDue(int interval)
{
    std::lock_guard guard(SimLock);
    secondAccumulator += interval;
    if (secondAccumulator <= 1000 - interval)
        return false;
    SimState.clock += kClockStepDays;
    secondAccumulator = 0;
    return true;
}

void SimulationTick(int interval, const std::function<void()>& postSecondWork)
{
    std::lock_guard guard(SimLock);
    PhysicsStep();
    FollowTrack();
    if (SecondTickDue(interval))
        postSecondWork();
    if (SimState.view3D) {
        PlaceCamera();
        RenderThreeDPanel();
    }
}

void SecondTickWork(const std::function<void(const std::string&)>& showInfoBox)
{
    HeldMessages held;  // a sample or cab item that fails speaks after the lock is released
    std::lock_guard guard(SimLock);
    ShowSimClock();
    UpdateCabItems();
    if (SimState.soundOn)
        SoundUpdate(Physics.speed, Physics.throttle);
    showInfoBox(InfoBoxText(CollectInfoBoxValues()));
}
