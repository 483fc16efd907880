// Train physics against numbers worked out by hand from the formulas.
#include <gtest/gtest.h>

#include "../shared/reset_simulation.h"
#include "app/sim_state.h"
#include "train/brake.h"
#include "train/physics.h"
#include "train/vehicle.h"

namespace {

class PhysicsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetSimulation();
        IndBrake.value = 0;
        DynBrakeLevel.value = 0;
    }
    // A consist of `tonnes` with `traction` kN and no brakes; the physics sees its mass.
    void Train(double tonnes, double traction)
    {
        Consist.tonnage = tonnes;
        Consist.traction = traction;
        Physics.mass = tonnes;
        Physics.weight = tonnes * 9.806;
    }
};

struct NotchCase {
    int notch;
    double speed;      // km/h
    double effort;     // kN, 400 kN of traction, no slip
    double motorAmp;
};

TEST_F(PhysicsTest, NotchTractiveEffortFollowsTheNotchTable)
{
    // f = 1.05 - tanh(v/100) at or below 10 km/h, 1.3 - 0.012 v above; effort f x b x 400.
    const NotchCase cases[] = {
        {0, 0, 0.0, 0},        {1, 0, 29.4, 450},    {2, 0, 71.4, 900},
        {3, 0, 147.0, 1350},   {4, 0, 210.0, 1800},  {5, 0, 294.0, 2500},
        {6, 0, 378.0, 3200},   {7, 0, 504.0, 3900},  {8, 0, 630.0, 4600},
        {9, 0, 0.0, 1800},     {8, 20, 636.0, 3600}, {4, 20, 212.0, 800},
        {1, 10, 29.4 * (1.05 - 0.09966799462495582) / 1.05, 200},
    };
    for (const NotchCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "notch " << c.notch << " at " << c.speed);
        Train(1000, 400);
        Physics.throttle.value = c.notch;
        Physics.speed.value = c.speed;
        EXPECT_NEAR(NotchTractiveEffort(c.notch), c.effort, 1e-9);
        EXPECT_DOUBLE_EQ(Physics.motorAmp.value, c.motorAmp);
        EXPECT_EQ(Physics.wheelslip.value, 0.0);
    }
}

TEST_F(PhysicsTest, NeutralGivesNoEffortAndNotchTimes200Amps)
{
    Train(1000, 400);
    Physics.direction.value = 0.0;
    for (int notch = 0; notch <= 8; ++notch) {
        Physics.throttle.value = notch;
        EXPECT_EQ(NotchTractiveEffort(notch), 0.0);
        EXPECT_DOUBLE_EQ(Physics.motorAmp.value, notch * 200.0);
    }
}

TEST_F(PhysicsTest, FullNotchFromStandSlipsOnDryCleanRail)
{
    // Demand 1.05 x 1.5 x 1000 = 1575 kN against 0.275 x 980.6 = 269.665 kN.
    Train(100, 1000);
    Physics.cleanliness = kRailClean;
    Physics.throttle.value = 8;
    EXPECT_NEAR(NotchTractiveEffort(8), 157.5, 1e-9);
    EXPECT_EQ(Physics.wheelslip.value, 1.0);
    EXPECT_NEAR(Physics.adhesionDemanded, 1575 / 980.6, 1e-12);
}

struct AdhesionCase {
    bool wet;
    int cleanliness;
    double sander;
    double limit;
    bool slips;  // with a demand of 0.2 x W
};

TEST_F(PhysicsTest, AdhesionLimitByRailConditionAndSander)
{
    const AdhesionCase cases[] = {
        {false, kRailClean, 0, 0.275, false}, {false, kRailDirty, 0, 0.185, true},
        {false, kRailPoor, 0, 0.135, true},   {true, kRailClean, 0, 0.085, true},
        {true, kRailDirty, 0, 0.07, true},    {true, kRailPoor, 0, 0.05, true},
        {false, kRailDirty, 1.0, 0.285, false}, {true, kRailPoor, 1.0, 0.15, true},
        {false, kRailDirty, 0.5, 0.185, true},  // only exactly 1 sands
    };
    for (const AdhesionCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "wet " << c.wet << " rail " << c.cleanliness
                                        << " sander " << c.sander);
        Physics.weight = 1000;
        Physics.brakeForce = 50;
        SimState.wet = c.wet;
        Physics.cleanliness = c.cleanliness;
        Physics.sander.value = c.sander;
        const double effort = AdhesionLimit(200);
        EXPECT_NEAR(Physics.adhesionLimit, c.limit, 1e-12);
        EXPECT_DOUBLE_EQ(Physics.adhesionDemanded, 0.2);
        EXPECT_DOUBLE_EQ(effort, c.slips ? 20.0 : 200.0);
        EXPECT_EQ(Physics.wheelslip.value, c.slips ? 1.0 : 0.0);
        EXPECT_DOUBLE_EQ(Physics.brakeForce, c.slips ? 5.0 : 50.0);
    }
}

TEST_F(PhysicsTest, AdhesionDemandWhileCoastingComesFromTheBrake)
{
    Physics.weight = 1000;
    Physics.brakeForce = 500;
    Physics.cleanliness = kRailClean;
    Physics.speed.value = 30;
    // 500 / 1000 x 0.4 = 0.2: no slip on a clean dry rail.
    EXPECT_EQ(AdhesionLimit(0.5), 0.5);
    EXPECT_DOUBLE_EQ(Physics.adhesionDemanded, 0.2);
    // At a stand the demand is the effort's.
    Physics.speed.value = 0;
    AdhesionLimit(0.5);
    EXPECT_DOUBLE_EQ(Physics.adhesionDemanded, 0.0005);
}

TEST_F(PhysicsTest, UnknownCleanlinessKeepsTheRailAndSandingDoesNotAccumulate)
{
    Physics.weight = 1000;
    Physics.cleanliness = kRailClean;
    AdhesionLimit(10);
    Physics.cleanliness = 7;
    Physics.sander.value = 1.0;
    AdhesionLimit(10);
    AdhesionLimit(10);
    EXPECT_NEAR(Physics.adhesionLimit, 0.375, 1e-12);
}

TEST_F(PhysicsTest, GradeRatio)
{
    const struct {
        double grade;
        int n;
        double abs;
    } cases[] = {{0.0, 32000, 0.0}, {0.01, 100, 0.01}, {-0.004, 250, 0.004},
                 {1e-9, 32000, 1e-9}, {0.003, 333, 0.003}};
    for (const auto& c : cases) {
        Physics.grade = c.grade;
        GradeRatio();
        EXPECT_EQ(Physics.gradientN, c.n) << c.grade;
        EXPECT_DOUBLE_EQ(Physics.absGrade, c.abs);
    }
}

TEST_F(PhysicsTest, DavisResistanceSlowsACoastingTrain)
{
    // 80.465 km/h is 50 mph: R = (0.0005 x 2500 + 0.045 x 50 + 1.5) x 100 x 0.0044497.
    Train(100, 0);
    Consist.davisA = 1.5;
    Consist.davisC = 0.0005;
    Physics.moving = 1;
    Physics.speed.value = 80.465;
    PhysicsStep();
    EXPECT_NEAR(Physics.resistance, 2.22485, 1e-9);
    EXPECT_NEAR(Physics.netForce, -2.22485, 1e-9);
    EXPECT_NEAR(Physics.acceleration.value, -0.0222485, 1e-12);
    EXPECT_NEAR(Physics.speed.value, 80.465 - 0.0222485 * 3.6 * 0.05, 1e-12);
    EXPECT_EQ(Physics.moving, 1);
}

TEST_F(PhysicsTest, SpeedAndDistanceIntegrateOverSteps)
{
    // 100 t, 100 kN of traction, notch 1, level track, no resistance or brake.
    Train(100, 100);
    Physics.throttle.value = 1;
    PhysicsStep();
    // 1.05 x 0.07 x 100 = 7.35 kN; a = 0.0735 m/s/s; dv = 0.0735 x 3.6 x 0.05 km/h.
    EXPECT_NEAR(Physics.tractiveEffort, 7.35, 1e-12);
    EXPECT_NEAR(Physics.acceleration.value, 0.0735, 1e-12);
    EXPECT_NEAR(Physics.speed.value, 0.01323, 1e-12);
    EXPECT_DOUBLE_EQ(Physics.motorAmp.value, 450);
    EXPECT_NEAR(Physics.stepDistance, 0.00018375, 1e-15);
    EXPECT_NEAR(Physics.odometer, 1.8375e-7, 1e-18);
    EXPECT_EQ(Physics.moving, 1);

    PhysicsStep();
    // f = 1.05 - tanh(0.0001323) = 1.0498677 (to 7 places); effort 7.3490739 kN.
    EXPECT_NEAR(Physics.tractiveEffort, 7.3490739, 1e-6);
    EXPECT_NEAR(Physics.speed.value, 0.01323 + 0.0132283, 1e-6);
    EXPECT_NEAR(Physics.odometer, (0.01323 + 0.0264583) / 3.6 * 0.05 / 1000, 1e-10);

    for (int i = 0; i < 200; ++i)
        PhysicsStep();
    // Below 5 km/h the effort stays within 7.35 x (1 - 0.05 / 1.05) .. 7.35.
    EXPECT_GT(Physics.speed.value, 202 * 0.0132 * (1 - 0.05 / 1.05) - 1e-9);
    EXPECT_LT(Physics.speed.value, 202 * 0.01323 + 1e-9);
}

TEST_F(PhysicsTest, AStepThatWouldReverseTheTrainStopsItExactly)
{
    Train(100, 0);
    Consist.davisA = 100;  // R = 100 x 100 x 0.0044497 = 44.497 kN
    Physics.moving = 1;
    Physics.speed.value = 0.01;
    PhysicsStep();
    EXPECT_EQ(Physics.speed.value, 0.0);
    EXPECT_EQ(Physics.acceleration.value, 0.0);
    EXPECT_EQ(Physics.moving, 0);
    EXPECT_EQ(Physics.prevMoving, 1);
    EXPECT_EQ(Physics.stepDistance, 0.0);
}

TEST_F(PhysicsTest, ResistanceAtAStandDoesNotMoveTheTrain)
{
    Train(100, 100);
    Consist.davisA = 100;  // 44.497 kN of resistance against 7.35 kN of effort
    Physics.throttle.value = 1;
    PhysicsStep();
    EXPECT_EQ(Physics.netForce, 0.0);
    EXPECT_EQ(Physics.speed.value, 0.0);
    EXPECT_FALSE(Physics.rollBack);
}

TEST_F(PhysicsTest, DirectionChangesOnlyAtAStand)
{
    Train(100, 100);
    Physics.direction.value = -1.0;
    PhysicsStep();
    EXPECT_EQ(Physics.directionSign, -1);
    EXPECT_EQ(Physics.lastDirection, -1);
    EXPECT_TRUE(Physics.reverseRequest);

    // Neutral is no new direction; forward again flips back.
    Physics.reverseRequest = false;
    Physics.direction.value = 0.0;
    PhysicsStep();
    EXPECT_EQ(Physics.directionSign, -1);
    EXPECT_FALSE(Physics.reverseRequest);
    Physics.direction.value = 1.0;
    PhysicsStep();
    EXPECT_EQ(Physics.directionSign, 1);
    EXPECT_TRUE(Physics.reverseRequest);

    // While moving the handle is not taken up.
    Physics.reverseRequest = false;
    Physics.throttle.value = 1;
    PhysicsStep();
    ASSERT_EQ(Physics.moving, 1);
    Physics.direction.value = -1.0;
    PhysicsStep();
    EXPECT_EQ(Physics.directionSign, 1);
    EXPECT_FALSE(Physics.reverseRequest);
}

TEST_F(PhysicsTest, FlipDirectionNegatesGradeAndSigns)
{
    Physics.grade = 0.01;
    Physics.gradeSign = 1;
    FlipDirection();
    EXPECT_EQ(Physics.grade, -0.01);
    EXPECT_EQ(Physics.gradeSign, -1);
    EXPECT_EQ(Physics.directionSign, -1);
}

TEST_F(PhysicsTest, UphillWithoutPowerRollsBack)
{
    // 1000 t on 1 in 100: grade force 9806 x 0.01 = 98.06 kN against the train.
    Train(1000, 0);
    Physics.grade = 0.01;
    Physics.gradeSign = 1;
    GradeRatio();
    PhysicsStep();
    EXPECT_NEAR(Physics.forceBeforeLosses, -98.06, 1e-9);
    EXPECT_TRUE(Physics.rollBack);
    EXPECT_EQ(Physics.gradeSign, -1);
    EXPECT_EQ(Physics.directionSign, -1);
    EXPECT_DOUBLE_EQ(Physics.speed.value, 0.001);
    EXPECT_EQ(Physics.moving, 1);

    PhysicsStep();
    // Rolling: net = 0 - (-1 x 98.06) = 98.06 kN (less a trace of resistance at
    // 0.001 km/h); a = 0.09806 m/s/s.
    EXPECT_NEAR(Physics.netForce, 98.06, 1e-3);
    EXPECT_NEAR(Physics.speed.value, 0.001 + 0.09806 * 3.6 * 0.05, 1e-6);
}

TEST_F(PhysicsTest, ReverserChangeZeroRestoresTheStartDirection)
{
    ReverserChange(1);
    EXPECT_TRUE(Physics.rollBack);
    EXPECT_EQ(Physics.directionSign, -1);
    ReverserChange(0);
    EXPECT_FALSE(Physics.rollBack);
    EXPECT_EQ(Physics.directionSign, 1);
    ReverserChange(0);
    EXPECT_EQ(Physics.directionSign, 1);
    ReverserChange(5);
    EXPECT_EQ(Physics.directionSign, 1);
}

TEST_F(PhysicsTest, InitSetsTheClockAndTheBrake)
{
    SimState.startHour = 9;
    SimState.startMinute = 30;
    Physics.motorTemp.value = 80;
    Brake.BP.value = 12;
    PhysicsInit();
    EXPECT_DOUBLE_EQ(SimState.clock, 570.0 / 1440.0);
    EXPECT_EQ(Physics.motorTemp.value, 20.0);
    EXPECT_EQ(Physics.direction.value, 1.0);
    EXPECT_EQ(Physics.gradientN, 32000);
    EXPECT_EQ(Brake.BP.value, 60.0);
    EXPECT_EQ(BrakeValve, bvLap);
}

TEST_F(PhysicsTest, TheStepTakesItsBrakeForceFromTheAirBrake)
{
    // Lap from the initial pressures: BC = (70 - 60) x 45 / 25 = 18 psi, fraction 0.4,
    // shoe factor 1.2 at a stand: 0.4 x 1.2 x 100 kN.
    Train(100, 0);
    Consist.braking = 100;
    Consist.length = 300;
    PhysicsStep();
    EXPECT_NEAR(Brake.BC.value, 18.0, 1e-12);
    EXPECT_NEAR(Physics.brakeForce, 48.0, 1e-9);
}

TEST_F(PhysicsTest, MotorTemperatureStep)
{
    // T += I / (dt x 100000) - (e^(T/50) - 1.5) / (dt x 1000) with I from the previous step.
    Physics.motorAmp.value = 1000;
    PhysicsStep();
    EXPECT_NEAR(Physics.motorTemp.value,
                20.0 + 1000.0 / 5e6 - (1.4918246976412703 - 1.5) / 5e4, 1e-12);
}

}  // namespace
