// Air brake steps checked against numbers worked out by hand.
#include "train/brake.h"
#include "train/vehicle.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double dt = 50.0;  // ms, one tick

class BrakeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearConsist(Consist);
        Consist.length = 300.0;  // the reference length: pipe rates unscaled
        Consist.braking = 1000.0;
        Brake = TBrakeRec{};
        EpBrake = false;
        DynBrakeLevel.value = 0.0;
        IndBrake.value = 0.0;
        BrakeAmp.value = 0.0;
        BrakeInit();
    }
    void TearDown() override
    {
        ClearConsist(Consist);
        EpBrake = false;
    }
    void Set(double er, double bp)
    {
        Brake.ER.value = er;
        Brake.BP.value = bp;
    }
};

TEST_F(BrakeTest, InitialState)
{
    BrakeValve = bvRunning;
    Brake.reduction = 7.0;
    BrakeInit();
    EXPECT_EQ(BrakeValve, bvLap);
    EXPECT_TRUE(Brake.applied);
    EXPECT_FALSE(Brake.released);
    EXPECT_DOUBLE_EQ(Brake.BP.value, 60.0);
    EXPECT_DOUBLE_EQ(Brake.ER.value, 60.0);
    EXPECT_DOUBLE_EQ(Brake.MR.value, 110.0);
    EXPECT_DOUBLE_EQ(Brake.AUX.value, 63.0);
    EXPECT_DOUBLE_EQ(Brake.FLOW.value, 0.0);
    EXPECT_DOUBLE_EQ(Brake.reduction, 0.0);
    EXPECT_DOUBLE_EQ(Brake.BC.value, 0.0);
}

// One step from a given state: reservoir, pipe, flow and cylinder afterwards.
struct StepCase {
    const char* what;
    int position;
    double reduction, er, bp, length;
    double er_after, bp_after, flow, bc_after;
};

TEST_F(BrakeTest, OneStepPerValvePosition)
{
    const StepCase cases[] = {
        // Running charges ER at 4.67 psi/s; BP follows at 0.45 psi/s scaled by 300 / length.
        {"running", bvRunning, 0, 60, 60, 300, 60.2335, 60.0225, 0.45, (70 - 60.0225) * 1.8},
        {"running, 600 m", bvRunning, 0, 60, 60, 600, 60.2335, 60.01125, 0.45,
         (70 - 60.01125) * 1.8},
        {"running, charged", bvRunning, 0, 70, 70, 300, 70, 70, 0, 0},
        {"service above target", bvService, 10, 70, 70, 300, 69.7665, 69.979, -0.42, 0.021 * 1.8},
        {"service at target", bvService, 10, 60, 65, 300, 60, 64.979, -0.42, 5.021 * 1.8},
        {"emergency", bvEmergency, 0, 70, 70, 300, 69.7, 69.955, -0.9, 0.045 * 1.8},
        {"emergency, ER at 45", bvEmergency, 0, 45, 30, 300, 45, 29.955, -0.9, 0},
        {"emergency, pipe level with ER", bvEmergency, 0, 45, 45.02, 300, 45, 44.975, -0.9, 0},
        {"lap, pipe above", bvLap, 0, 60, 62, 300, 60, 61.982, -0.36, 8.018 * 1.8},
        {"lap, pipe below", bvLap, 0, 62, 60, 300, 62, 60.018, 0.36, 9.982 * 1.8},
        {"lap, within 0.05", bvLap, 0, 60, 60.04, 300, 60, 60.04, 0, 9.96 * 1.8},
        {"release", bvRelease, 0, 60, 60, 300, 60.2335, 60.035, 0.7, 9.965 * 1.8},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Consist.length = c.length;
        Set(c.er, c.bp);
        BrakeStep(c.position, c.reduction, dt);
        EXPECT_NEAR(Brake.ER.value, c.er_after, 1e-9);
        EXPECT_NEAR(Brake.BP.value, c.bp_after, 1e-9);
        EXPECT_NEAR(Brake.FLOW.value, c.flow, 1e-12);
        EXPECT_NEAR(Brake.BC.value, c.bc_after, 1e-9);
    }
}

TEST_F(BrakeTest, ReleaseFromInitialStateEmptiesTheCylinder)
{
    BrakeStep(bvRunning, 0, dt);
    EXPECT_NEAR(Brake.BC.value, 17.9595, 1e-9);  // 18 at the start, falling
    for (int i = 0; i < 1000; ++i) BrakeStep(bvRunning, 0, dt);
    EXPECT_GE(Brake.ER.value, 70.0);
    EXPECT_LT(Brake.ER.value, 70.0 + 0.2335);
    EXPECT_NEAR(Brake.BP.value, 70.0, 0.06);
    EXPECT_NEAR(Brake.BC.value, 0.0, 0.11);
}

TEST_F(BrakeTest, ServiceReductionStopsAtTarget)
{
    Set(70, 70);
    for (int i = 0; i < 2000; ++i) BrakeStep(bvService, 10, dt);
    // ER drops in steps of 0.2335 until it is no longer above 70 - 10.
    EXPECT_NEAR(Brake.ER.value, 70 - 43 * 0.2335, 1e-9);
    EXPECT_NEAR(Brake.BP.value, Brake.ER.value, 0.05 + 0.021);
    EXPECT_NEAR(Brake.BC.value, (70 - Brake.BP.value) * 1.8, 1e-9);
}

TEST_F(BrakeTest, EmergencyEmptiesThePipeAndHoldsTheCylinder)
{
    Set(70, 70);
    Consist.length = 900.0;  // a long train: the pipe passes the reservoir slowly
    for (int i = 0; i < 6000; ++i) BrakeStep(bvEmergency, 0, dt);
    EXPECT_LE(Brake.BP.value, 0.0);
    EXPECT_GT(Brake.BP.value, -0.015 - 1e-9);
    EXPECT_LE(Brake.ER.value, 45.0);
    EXPECT_GT(Brake.ER.value, 45.0 - 0.3);
    // The cylinder stops following once the reduction reaches 25 psi.
    EXPECT_GT(Brake.BC.value, 44.9);
    EXPECT_LE(Brake.BC.value, 45.0);
}

TEST_F(BrakeTest, CylinderKeepsItsValueBeyondFullService)
{
    Set(40, 40);
    Brake.BC.value = 30.0;
    BrakeStep(bvLap, 0, dt);
    EXPECT_DOUBLE_EQ(Brake.BC.value, 30.0);
}

TEST_F(BrakeTest, EpBrakePipeEqualsReservoirAfterEveryStep)
{
    EpBrake = true;
    const int positions[] = {bvRunning, bvService, bvLap, bvEmergency, bvRelease};
    for (int position : positions) {
        for (int i = 0; i < 7; ++i) {
            BrakeStep(position, 15, dt);
            EXPECT_DOUBLE_EQ(Brake.BP.value, Brake.ER.value) << position;
        }
    }
}

TEST_F(BrakeTest, ConsistWithoutLengthUsesTheReferenceRate)
{
    Consist.length = 0.0;
    BrakeStep(bvRunning, 0, dt);
    EXPECT_NEAR(Brake.BP.value, 60.0225, 1e-9);
}

TEST_F(BrakeTest, AuxiliaryReservoirDrawnOncePerApplication)
{
    double shoe = 1.0;
    Brake.applied = false;
    Brake.BP.value = 63.0;
    AuxReservoirStep(shoe);
    EXPECT_DOUBLE_EQ(Brake.AUX.value, 54.0);
    EXPECT_TRUE(Brake.applied);
    EXPECT_FALSE(Brake.released);
    AuxReservoirStep(shoe);
    EXPECT_DOUBLE_EQ(Brake.AUX.value, 54.0);  // lap: no recharge, no second draw

    Brake.BP.value = 65.0;
    AuxReservoirStep(shoe);
    EXPECT_TRUE(Brake.applied);  // above 64 but not yet recharged above 66
    Brake.BP.value = 67.0;
    AuxReservoirStep(shoe);
    EXPECT_FALSE(Brake.applied);
    EXPECT_TRUE(Brake.released);
    Brake.BP.value = 63.0;
    AuxReservoirStep(shoe);
    EXPECT_DOUBLE_EQ(Brake.AUX.value, 45.0);
    EXPECT_DOUBLE_EQ(shoe, 0.1);  // below 50 psi the shoes barely grip
}

TEST_F(BrakeTest, AuxiliaryReservoirRecharge)
{
    struct Case {
        int valve;
        double bp, aux, aux_after, shoe_after;
    } cases[] = {
        {bvRunning, 60, 60, 60.05, 1.0},  {bvRelease, 60, 60, 60.1, 1.0},
        {bvLap, 60, 60, 60, 1.0},         {bvService, 60, 60, 60, 1.0},
        {bvRunning, 50, 60, 60, 1.0},     {bvRelease, 60, 70, 70, 1.0},
        {bvLap, 60, 45, 45, 0.1},         {bvLap, 60, 35, 35, 0.05},
    };
    for (const Case& c : cases) {
        Brake.applied = true;
        BrakeValve = c.valve;
        Brake.BP.value = c.bp;
        Brake.AUX.value = c.aux;
        double shoe = 1.0;
        AuxReservoirStep(shoe);
        EXPECT_NEAR(Brake.AUX.value, c.aux_after, 1e-12) << c.valve << " " << c.bp;
        EXPECT_DOUBLE_EQ(shoe, c.shoe_after);
    }
}

TEST_F(BrakeTest, DynamicBrake)
{
    DynBrakeLevel.value = 8.0;
    EXPECT_DOUBLE_EQ(DynamicBrakeForce(9.99), 0.0);
    EXPECT_DOUBLE_EQ(BrakeAmp.value, 0.0);
    EXPECT_DOUBLE_EQ(DynamicBrakeForce(35.0), 25.0);
    EXPECT_DOUBLE_EQ(BrakeAmp.value, 250.0);
    EXPECT_DOUBLE_EQ(DynamicBrakeForce(120.0), 50.0);  // speed capped at 70
    DynBrakeLevel.value = 4.0;
    EXPECT_DOUBLE_EQ(DynamicBrakeForce(70.0), 25.0);
    EXPECT_DOUBLE_EQ(BrakeAmp.value, 250.0);
    EXPECT_DOUBLE_EQ(DynamicBrakeForce(5.0), 0.0);
    EXPECT_DOUBLE_EQ(BrakeAmp.value, 0.0);
}

TEST_F(BrakeTest, TotalBrakeForce)
{
    Brake.BP.value = 60.0;  // applied, nothing drawn from the auxiliary reservoir
    IndBrake.value = 40.0;
    // Standing: shoe factor 1.2, half application, independent 40 / 100 x 50.
    EXPECT_NEAR(BrakeForce(0.0, 22.5), 20.0 + 0.5 * 1.2 * 1000.0, 1e-9);
    EXPECT_DOUBLE_EQ(Brake.applicationFraction, 0.5);
    EXPECT_DOUBLE_EQ(Brake.shoeFactorCopy, 1.2);

    IndBrake.value = 0.0;
    DynBrakeLevel.value = 8.0;
    double shoe = 1.2 - std::tanh(0.5);
    EXPECT_NEAR(BrakeForce(60.0, 45.0), 50.0 * 60 / 70 + shoe * 1000.0, 1e-9);
    EXPECT_DOUBLE_EQ(Brake.shoeFactor, shoe);

    EXPECT_NEAR(BrakeForce(60.0, -9.0), 50.0 * 60 / 70, 1e-9);  // negative cylinder: no force
    EXPECT_DOUBLE_EQ(Brake.applicationFraction, 0.0);

    Brake.AUX.value = 30.0;  // exhausted reservoir: shoe factor 0.05
    DynBrakeLevel.value = 0.0;
    EXPECT_NEAR(BrakeForce(60.0, 45.0), 0.05 * 1000.0, 1e-9);
}

}  // namespace
