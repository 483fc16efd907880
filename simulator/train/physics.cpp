// Train physics: one step of the train's longitudinal dynamics per tick.
#include "train/physics.h"

#include <cmath>

#include "app/sim_state.h"
#include "train/brake.h"
#include "train/vehicle.h"

namespace {

struct TNotchRow {
    double speedLimit;  // km/h
    double fraction;
};

constexpr TNotchRow kNotchTable[9] = {{0, 0},    {5, 0.07},  {10, 0.17}, {15, 0.35}, {20, 0.5},
                                      {30, 0.7}, {40, 0.9}, {50, 1.2},  {60, 1.5}};

// Adhesion of the rail by [wet][cleanliness].
constexpr double kRailAdhesion[2][3] = {{0.275, 0.185, 0.135}, {0.085, 0.07, 0.05}};

}  // namespace

TPhysics Physics;

int PhysRound(double value)
{
    if (std::isnan(value))
        return 0;
    const double r = std::nearbyint(value);
    if (r >= 2147483647.0)
        return 2147483647;
    if (r <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(r);
}

void PhysicsInit()
{
    TPhysics& p = Physics;
    p.speed.value = 0.0;
    p.odometer = 0.0;
    p.acceleration.value = 0.0;
    p.grade = 0.0;
    p.gradientN = 32000;
    p.gradeSign = 0;
    p.moving = 0;
    p.prevMoving = 0;
    p.rollBack = false;
    p.directionSign = 1;
    p.startDirection = 1;
    p.direction.value = 1.0;
    p.lastDirection = 1;
    p.throttle.value = 0.0;
    p.motorTemp.value = 20.0;
    TSimState& s = SimState;
    s.clock = (s.startHour * 60.0 + s.startMinute) / 1440.0;
    BrakeInit();
}

double NotchTractiveEffort(int notch)
{
    TPhysics& p = Physics;
    TNotchRow row{0, 0};
    if (p.direction.value != 0.0 && notch >= 0 && notch <= 8)
        row = kNotchTable[notch];
    const double v = p.speed.value;
    const double lead = row.speedLimit - v;
    p.motorAmp.value = p.throttle.value * 200 + (lead > 0 ? PhysRound(lead * 50) : 0);
    const double factor = v > 10 ? 1.3 - 0.012 * v : 1.05 - std::tanh(v / 100);
    return AdhesionLimit(factor * row.fraction * Consist.traction);
}

double AdhesionLimit(double demand)
{
    TPhysics& p = Physics;
    if (p.weight != 0) {
        p.adhesionDemanded = demand / p.weight;
        if (demand < 1 && p.speed.value > 0)
            p.adhesionDemanded = p.brakeForce / p.weight * 0.4;
    }
    // Another cleanliness value keeps the rail's adhesion as it was.
    if (p.cleanliness >= kRailClean && p.cleanliness <= kRailPoor)
        p.railAdhesion = kRailAdhesion[SimState.wet ? 1 : 0][p.cleanliness];
    p.adhesionLimit = p.railAdhesion;
    if (p.sander.value == 1.0)
        p.adhesionLimit += 0.1;
    if (p.adhesionDemanded > p.adhesionLimit) {
        p.wheelslip.value = 1.0;
        p.brakeForce *= 0.1;
        return demand * 0.1;
    }
    p.wheelslip.value = 0.0;
    return demand;
}

void GradeRatio()
{
    TPhysics& p = Physics;
    p.absGrade = std::fabs(p.grade);
    if (p.grade == 0) {
        p.gradientN = 32000;
        return;
    }
    const double n = std::fabs(1 / p.grade);
    p.gradientN = n >= 32000 ? 32000 : PhysRound(n);
}

void FlipDirection()
{
    TPhysics& p = Physics;
    p.gradeSign = -p.gradeSign;
    p.directionSign = -p.directionSign;
    p.grade = -p.grade;
}

void ReverserChange(int kind)
{
    TPhysics& p = Physics;
    if (kind == 1) {
        p.rollBack = true;
        p.speed.value = 0.001;
        FlipDirection();
    } else if (kind == 0) {
        p.rollBack = false;
        if (p.directionSign != p.startDirection)
            FlipDirection();
    }
}

void PhysicsStep()
{
    TPhysics& p = Physics;
    const double dt = p.stepLength;
    if (!(dt > 0))
        return;
    const double v = p.speed.value;
    p.weight = p.mass * 9.806;
    p.gradientForce = p.weight * p.absGrade;
    p.speedMph = v / 1.6093;

    const double temperature = p.motorTemp.value;
    p.motorTemp.value += p.motorAmp.value / (dt * 100000) -
                         (std::exp(temperature / 50) - 1.5) / (dt * 1000);

    BrakeStep(BrakeValve, Brake.reduction, dt);
    p.brakeForce = BrakeForce(v, Brake.BC.value);
    p.tractiveEffort = NotchTractiveEffort(PhysRound(p.throttle.value));
    GradeRatio();

    const double mph = p.speedMph;
    p.resistance =
        (Consist.davisC * mph * mph + 0.045 * mph + Consist.davisA) * p.mass * 0.0044497;

    if (p.moving == 0) {
        const int direction = PhysRound(p.direction.value);
        if (direction != p.lastDirection && direction != 0) {
            p.directionSign = -p.directionSign;
            p.lastDirection = direction;
            p.reverseRequest = true;
        }
        if (p.rollBack && p.prevMoving == 1)
            ReverserChange(0);
        const double force = p.tractiveEffort - p.gradeSign * p.gradientForce;
        p.forceBeforeLosses = force;
        p.netForce = p.brakeForce + p.resistance >= force ? 0.0
                                                          : force - p.brakeForce - p.resistance;
        if (force + p.brakeForce + p.resistance < 0)
            ReverserChange(1);
    } else {
        if (p.rollBack)
            p.tractiveEffort = -p.tractiveEffort;
        p.netForce = p.tractiveEffort - p.gradeSign * p.gradientForce - p.brakeForce -
                     p.resistance;
    }

    // A train without mass (no consist yet) does not move.
    p.acceleration.value = p.mass > 0 ? p.netForce / p.mass : 0.0;
    p.speed.value += p.acceleration.value * 3.6 * dt / 1000;

    if (p.speed.value <= 0.000001) {
        if (p.moving != 0)
            p.prevMoving = p.moving;
        p.moving = 0;
        p.speed.value = 0.0;
        p.acceleration.value = 0.0;
    } else {
        p.moving = 1;
    }

    p.stepDistance = p.speed.value / 3.6 * dt / 1000;
    p.odometer += p.stepDistance / 1000;
}
