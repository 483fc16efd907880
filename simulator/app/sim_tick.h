// The simulation tick: physics with the brake, track following, the once-a-second work, render.
#pragma once
#include <functional>
#include <string>

// Starts the once-a-second count afresh.
void ResetSecondTick();

// The tick's second count: adds the interval (ms) and, when a simulated second is complete,
// advances the simulated clock by 1.2 s, starts the count again and returns true.
bool SecondTickDue(int interval);

// One tick of `interval` ms on the timer's worker thread. When a second is complete,
// `postSecondWork` is called to queue SecondTickWork on the GUI thread.
void SimulationTick(int interval, const std::function<void()>& postSecondWork);

// The once-a-second cab work, on the GUI thread: the clock, the cab items, the sounds (when
// sound is on) and the information box, whose text goes to `showInfoBox`.
void SecondTickWork(const std::function<void(const std::string&)>& showInfoBox);
