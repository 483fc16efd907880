// Unit Brake: equalising reservoir, brake pipe, brake cylinder, auxiliary reservoir, brake force.
#include "train/brake.h"

#include "train/vehicle.h"

#include <cmath>

TBrakeRec Brake;
int BrakeValve = bvLap;
bool EpBrake = false;
TSimSlot DynBrakeLevel;
TSimSlot BrakeAmp;
TSimSlot IndBrake;
TSimSlot AutoBrake;

namespace {

constexpr double full_service = 25.0;   // psi of pipe reduction that gives full cylinder pressure
constexpr double full_cylinder = 45.0;  // psi in the cylinder at full service
constexpr double charged_pipe = 70.0;

// The pipe reacts more slowly in a long train; 300 m is the reference length. A consist
// without length (nothing placed yet) uses the reference rather than dividing by zero.
double length_factor()
{
    return Consist.length > 0.0 ? 300.0 / Consist.length : 1.0;
}

double reservoir_rate(int position, double reduction, double er)
{
    switch (position) {
    case bvService: return er > charged_pipe - reduction ? -4.67 : 0.0;
    case bvEmergency: return er > 45.0 ? -6.0 : 0.0;
    case bvRunning:
    case bvRelease: return er < charged_pipe ? 4.67 : 0.0;
    default: return 0.0;
    }
}

double pipe_flow(int position, double er, double bp)
{
    switch (position) {
    case bvRunning: return er > bp ? 0.45 : 0.0;
    case bvLap: return er < bp ? -0.36 : 0.36;
    case bvService: return er < bp ? -0.42 : 0.0;
    case bvEmergency: return bp > 0.0 ? -0.9 : 0.0;
    case bvRelease: return er > bp ? 0.7 : 0.0;
    default: return 0.0;
    }
}

}  // namespace

void BrakeInit()
{
    BrakeValve = bvLap;
    Brake.applied = true;
    Brake.released = false;
    Brake.BP.value = 60.0;
    Brake.ER.value = 60.0;
    Brake.MR.value = 110.0;
    Brake.AUX.value = 63.0;
    Brake.FLOW.value = 0.0;
    Brake.reduction = 0.0;
}

void BrakeStep(int position, double reduction, double dt)
{
    double s = dt / 1000.0;
    Brake.ER.value += s * reservoir_rate(position, reduction, Brake.ER.value);

    Brake.gap = std::fabs(Brake.ER.value - Brake.BP.value);
    double flow = 0.0;
    // Emergency vents the pipe to nothing, whatever the reservoir holds: gated by the gap it
    // would stall beside the reservoir's 45 psi in a long train and empty only in a short one.
    if (Brake.gap > 0.05 || position == bvEmergency) {
        flow = pipe_flow(position, Brake.ER.value, Brake.BP.value);
        Brake.BP.value += s * flow * length_factor();
    }
    Brake.FLOW.value = flow;

    if (EpBrake) Brake.BP.value = Brake.ER.value;

    double drop = charged_pipe - Brake.BP.value;
    if (drop < full_service) Brake.BC.value = drop * full_cylinder / full_service;
}

void AuxReservoirStep(double& shoeFactor)
{
    double bp = Brake.BP.value;
    if (bp < 64.0 && !Brake.applied) {
        Brake.AUX.value -= 9.0;
        Brake.applied = true;
        Brake.released = false;
    }
    if (bp > 66.0) {
        Brake.applied = false;
        Brake.released = true;
    }
    if (Brake.AUX.value < 70.0 && bp > 50.0) {
        if (BrakeValve == bvRunning) Brake.AUX.value += 0.05;
        else if (BrakeValve == bvRelease) Brake.AUX.value += 0.1;
    }
    if (Brake.AUX.value < 50.0) shoeFactor = 0.1;
    if (Brake.AUX.value < 40.0) shoeFactor = 0.05;
}

double DynamicBrakeForce(double v)
{
    if (v < 10.0) {
        BrakeAmp.value = 0.0;
        return 0.0;
    }
    double speed = std::fmin(v, 70.0);
    double force = DynBrakeLevel.value / 8.0 * 50.0 * speed / 70.0;
    BrakeAmp.value = force * 10.0;
    return force;
}

double BrakeForce(double v, double bc)
{
    Brake.applicationFraction = std::fmax(bc / full_cylinder, 0.0);
    Brake.shoeFactor = 1.2 - std::tanh(v / 120.0);
    AuxReservoirStep(Brake.shoeFactor);
    Brake.shoeFactorCopy = Brake.shoeFactor;
    return IndBrake.value / 100.0 * 50.0 + DynamicBrakeForce(v) +
           Brake.applicationFraction * Brake.shoeFactor * Consist.braking;
}
