// The simulation tick's physics and air brake must take a small part of the 50 ms period.
#include <benchmark/benchmark.h>

#include "train/brake.h"
#include "train/physics.h"
#include "train/vehicle.h"

namespace {

// A locomotive and twenty loaded cars, driven at full power with the brake in service.
void make_train()
{
    ClearConsist(Consist);
    TVehicleRec loco;
    loco.name = "BENCH-LOCO";
    loco.isTraction = 1;
    loco.length = 20.0;
    loco.mass = 120.0;
    loco.maxTraction = 400;
    loco.power = 4000;
    loco.maxBrake = 200;
    loco.numAxles = 6;
    AddVehicle(Consist, 0, loco);
    TVehicleRec car;
    car.name = "BENCH-CAR";
    car.length = 15.0;
    car.mass = 70.0;
    car.xArea = 10.0;
    car.maxBrake = 60;
    car.numAxles = 4;
    for (int i = 1; i <= 20; ++i)
        AddVehicle(Consist, i, car);
    PhysicsInit();
    Physics.mass = Consist.tonnage;
    Physics.throttle.value = 8.0;
}

void BM_PhysicsStep(benchmark::State& state)
{
    make_train();
    BrakeValve = bvService;
    for (auto _ : state) {
        PhysicsStep();
        benchmark::DoNotOptimize(Physics.speed.value);
    }
}
BENCHMARK(BM_PhysicsStep);

}  // namespace

BENCHMARK_MAIN();
