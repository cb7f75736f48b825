// One Timer1 tick and one Timer2 frame of a running stopwatch, on the simulated platform, and
// one key query as the baseline: run bench/timer_handlers.sh.
#include <benchmark/benchmark.h>

#include "frontend/sim/sim_app.hpp"
#include "frontend/sim/sim_desktop.hpp"

namespace {

using tollivane::frontend::sim::SimApp;
using tollivane::frontend::sim::SimDesktop;

// Loaded with the default keys, F5 pressed once: the stopwatch runs and draws.
struct RunningStopwatch {
  SimDesktop sim;
  SimApp app{sim};
  RunningStopwatch() {
    app.load();
    sim.steering().tap(116);
    sim.steering().advance(200);
  }
};

// The baseline: one query of the simulated key state, the unit a poll is made of.
void BM_KeyQuery(benchmark::State& state) {
  RunningStopwatch s;
  for (auto _ : state) benchmark::DoNotOptimize(s.sim.platform().keys.GetAsyncKeyState(116));
}
BENCHMARK(BM_KeyQuery);

void BM_Timer1Tick(benchmark::State& state) {
  RunningStopwatch s;
  for (auto _ : state) s.app.form().Timer1_Timer();
  benchmark::DoNotOptimize(s.app.form().record().ElapsedSeconds);
}
BENCHMARK(BM_Timer1Tick);

void BM_Timer1TickWithModifierBindings(benchmark::State& state) {
  RunningStopwatch s;
  for (auto* box :
       {&s.app.form().qvHotKey1(), &s.app.form().qvHotKey2(), &s.app.form().qvHotKey3()}) {
    box->qvSetHotKey(box->qvGetHotKeyCode(), 7);
  }
  s.app.form().Command2_Click();  // the poller now makes all twelve queries
  for (auto _ : state) s.app.form().Timer1_Timer();
}
BENCHMARK(BM_Timer1TickWithModifierBindings);

void BM_Timer2Frame(benchmark::State& state) {
  RunningStopwatch s;
  for (auto _ : state) s.app.form().Timer2_Timer();
  benchmark::DoNotOptimize(s.sim.steering().surface().calls().DrawTextA);
}
BENCHMARK(BM_Timer2Frame);

}  // namespace

BENCHMARK_MAIN();
