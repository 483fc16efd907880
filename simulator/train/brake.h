// Unit Brake: the train's automatic air brake, independent and dynamic brakes, one tick at a time.
#pragma once
#include "app/sim_slot.h"

// Brake valve positions.
enum TBrakeValve : int {
    bvRunning = 0,
    bvLap = 1,
    bvService = 2,
    bvEmergency = 3,
    bvRelease = 4,
};

// Pressures in psi.
struct TBrakeRec {
    TSimSlot BP;    // "BPpress" brake pipe
    TSimSlot BC;    // "BCpress" brake cylinder
    TSimSlot ER;    // "ERpress" equalising reservoir
    TSimSlot MR;    // "MRpress" main reservoir (not changed by the brake)
    TSimSlot AUX;   // auxiliary reservoir (no function name)
    TSimSlot FLOW;  // "BPflow" brake pipe flow of the last step, negative while exhausting
    double reduction = 0.0;        // requested service reduction, set by the cab's handle maps
    bool applied = true;           // an application has drawn on the auxiliary reservoir
    bool released = false;         // the pipe has recharged above 66
    double applicationFraction = 0.0;  // BC / 45, not below 0
    double shoeFactor = 0.0;
    double shoeFactorCopy = 0.0;
    double gap = 0.0;              // |ER - BP| of the last step
};

// Unit-level brake state. The physics and the cab read and write it between ticks.
extern TBrakeRec Brake;
extern int BrakeValve;           // a TBrakeValve, lap after BrakeInit
extern bool EpBrake;             // electro-pneumatic brake: the pipe follows the reservoir
extern TSimSlot DynBrakeLevel;   // dynamic brake level 0..8 (no function name)
extern TSimSlot BrakeAmp;        // "brakeAmp" dynamic brake current
extern TSimSlot IndBrake;        // "indbrake" independent brake handle
extern TSimSlot AutoBrake;       // "autobrake" automatic brake handle

// Initial pressures and flags; valve to lap. Called from PhysicsInit.
void BrakeInit();
// One step of the pressures for valve position and requested reduction; dt in ms.
void BrakeStep(int position, double reduction, double dt);
// Total brake force in kN at speed v (km/h) with brake cylinder pressure bc.
double BrakeForce(double v, double bc);
// Auxiliary reservoir depletion and recharge; may lower the shoe factor.
void AuxReservoirStep(double& shoeFactor);
// Dynamic brake force in kN at speed v (km/h); sets "brakeAmp".
double DynamicBrakeForce(double v);
