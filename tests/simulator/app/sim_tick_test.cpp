// The simulation tick: the once-a-second work and the simulated clock.
#include <gtest/gtest.h>

#include "../shared/reset_simulation.h"
#include "app/sim_state.h"
#include "app/sim_tick.h"
#include "train/physics.h"
#include "train/vehicle.h"

namespace {

class SimTickTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetSimulation();
        ResetSecondTick();
        SimState.clock = 0.5;
    }
};

TEST_F(SimTickTest, SecondWorkEveryTwentiethTickOf50ms)
{
    int posts = 0;
    for (int tick = 1; tick <= 60; ++tick) {
        SimulationTick(50, [&posts] { ++posts; });
        EXPECT_EQ(posts, tick / 20) << "after tick " << tick;
    }
    // Three simulated seconds of 1.2 s each.
    EXPECT_NEAR((SimState.clock - 0.5) * 86400.0, 3.6, 1e-3);
}

TEST_F(SimTickTest, SecondCountFollowsTheInterval)
{
    const struct {
        int interval;
        int ticksPerSecond;
    } cases[] = {{50, 20}, {100, 10}, {40, 25}, {1000, 1}};
    for (const auto& c : cases) {
        ResetSecondTick();
        for (int tick = 1; tick < c.ticksPerSecond; ++tick)
            EXPECT_FALSE(SecondTickDue(c.interval)) << c.interval << " tick " << tick;
        EXPECT_TRUE(SecondTickDue(c.interval)) << c.interval;
    }
}

TEST_F(SimTickTest, TickWithoutThe3DViewStillRunsPhysicsAndClock)
{
    SimState.view3D = false;
    Consist.tonnage = 100;
    Consist.traction = 100;
    Physics.mass = 100;
    Physics.throttle.value = 1;
    int posts = 0;
    for (int tick = 0; tick < 20; ++tick)
        SimulationTick(50, [&posts] { ++posts; });
    EXPECT_GT(Physics.speed.value, 0.0);
    EXPECT_EQ(posts, 1);
    EXPECT_GT(SimState.clock, 0.5);
}

TEST_F(SimTickTest, SecondWorkWritesTheInformationBox)
{
    Physics.throttle.value = 2;
    std::string shown;
    SecondTickWork([&shown](const std::string& text) { shown = text; });
    EXPECT_EQ(shown.rfind("notch: 2\rtraction: 0 kN\rbrake: lap\r", 0), 0u) << shown;
}

}  // namespace
