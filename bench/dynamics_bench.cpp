// Cost of the two periodic steps on a typical electric train running at speed.
#include <benchmark/benchmark.h>

#include "app/run.hpp"
#include "dynamics/motion.hpp"
#include "dynamics/train_setup.hpp"

namespace {

using vantrel::Run;

void typical_electric_train(Run& run) {
    vantrel::TrainParams& t = run.train;
    t.brake_type = 1;
    t.brake_notches = 8;
    t.power_notches = 4;
    t.brake_rate = 40000;
    t.power_delay = t.brake_delay = t.sap_delay = 3;
    t.brake_up = t.brake_down = 300;
    t.eb_press = t.sap_press = 440;
    t.high_air_press = 880;
    t.low_air_press = 780;
    t.engine_type = 1;
    t.mt = 120 * 10000;
    t.tons = 300 * 10000;
    t.cars = 6;
    t.max_speed = 120;
    t.lose_elec = 10;
    t.mc = 1;
    t.notches.assign(4, vantrel::NotchCurve{3.0, 2.5, 40, 70, 0.98});
    t.panel.notch_p.pictures.resize(5);
    t.panel.notch_b.pictures.resize(9);
    vantrel::init_train_state(run);
    vantrel::CoreState& c = run.core;
    c.TractionCut = false;
    c.BrakeHandle = c.BrakeNotch = 0;
    c.BcPressure = 0;
    c.ErPressure = 500 * 10000;
    c.PowerHandle = c.PowerNotch = 4;
    c.Speed = 85 * 10000;  // in the falling region of the notch curve
    c.Gradient = 5 * 10000;
}

void BM_MMTimer1Timer(benchmark::State& state) {
    Run run;
    typical_electric_train(run);
    for (auto _ : state) {
        vantrel::MMTimer1Timer(run);
        run.core.Speed = 85 * 10000;  // hold the speed: the dynamics step does not run here
        benchmark::DoNotOptimize(run.core.TractiveForce);
    }
}
BENCHMARK(BM_MMTimer1Timer);

void BM_dynamics_step(benchmark::State& state) {
    Run run;
    typical_electric_train(run);
    vantrel::MMTimer1Timer(run);
    const int64_t force = run.core.TractiveForce;
    for (auto _ : state) {
        run.core.TractiveForce = force;  // what the tick leaves for the step
        run.core.ResistanceForce = 0;
        run.core.Speed = 85 * 10000;
        vantrel::dynamics_step(run);
        benchmark::DoNotOptimize(run.core.Speed);
    }
}
BENCHMARK(BM_dynamics_step);

}  // namespace
