// Train physics: tractive effort, adhesion, brake force, resistance, grade, speed and distance.
#pragma once
#include "app/sim_slot.h"

// Rail cleanliness.
enum { kRailClean = 0, kRailDirty = 1, kRailPoor = 2 };

struct TPhysics {
    // Simulation variables, in this order; the cab binds its items to them.
    TSimSlot throttle;      // notch 0..8
    TSimSlot direction;     // +1 forward, 0 neutral, -1 reverse
    TSimSlot acceleration;  // m/s/s
    TSimSlot speed;         // km/h, never negative
    TSimSlot wheelslip;     // 1 while the wheels slip
    TSimSlot motorAmp;      // traction motor current
    TSimSlot motorTemp;     // traction motor temperature
    TSimSlot reverser;      // reverser handle position 1/2/3
    TSimSlot sander;        // 1 while sanding
    TSimSlot lineVolt;      // line voltage, kept for the cab

    double mass = 0.0;    // tonnes
    double weight = 0.0;  // kN
    double grade = 0.0;   // signed rise per length
    int gradeSign = 0;
    double absGrade = 0.0;
    int gradientN = 32000;  // gradient as 1 in N
    double gradientForce = 0.0;
    double tractiveEffort = 0.0;
    double brakeForce = 0.0;
    double resistance = 0.0;
    double netForce = 0.0;
    double forceBeforeLosses = 0.0;
    double speedMph = 0.0;
    double stepDistance = 0.0;  // metres run in the last step
    double odometer = 0.0;      // km
    int moving = 0;
    int prevMoving = 0;
    double adhesionDemanded = 0.0;
    double adhesionLimit = 0.0;
    double railAdhesion = 0.0;  // adhesion of the rail before sanding
    int directionSign = 1;
    int startDirection = 1;
    int lastDirection = 1;
    bool rollBack = false;
    bool reverseRequest = false;  // track following turns the route direction round
    double stepLength = 50.0;     // ms
    int cleanliness = kRailDirty;
};

// The physics' unit state; the consist's sums (traction, Davis averages) come from the train.
extern TPhysics Physics;

// The physics' own rounding: halves go to the even neighbour, the result clamped to an int.
int PhysRound(double value);

void PhysicsInit();
void PhysicsStep();
double NotchTractiveEffort(int notch);
double AdhesionLimit(double demand);
void GradeRatio();
void FlipDirection();
void ReverserChange(int kind);
