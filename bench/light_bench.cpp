// The light: one computation over fields of 0 to 10,000 parts, fast and reference, and the
// bare pass over the covered cells that bounds what any light computation can cost.
#include <benchmark/benchmark.h>

#include "bench/bench_population.h"
#include "body/bare_pass.h"
#include "body/field.h"
#include "engine/place.h"
#include "engine/world.h"
#include "base/instructions.h"

namespace {

using namespace vek::bench;

long coveredCells(const mPlace& place) { return cellCount(coveredRuns(place)); }

void BM_ComputeLight(benchmark::State& state) {
  mPlace place(nullptr, "Ostrel", 1, settingsOf(state.range(1)));
  populate(place, static_cast<int>(state.range(0)), {op::nop_0}, 1000.0);
  // The first computation after the field is made covers the whole grid in both modes.
  place.computeLight();
  for (auto _ : state) place.computeLight();
  state.SetLabel(modeName(state.range(1)));
  state.counters["cells"] = static_cast<double>(coveredCells(place));
}
BENCHMARK(BM_ComputeLight)
    ->ArgsProduct({{0, 100, 1000, 10000}, {0, 1}})
    ->ArgNames({"parts", "reference"})
    ->Unit(benchmark::kMicrosecond);

// The bare pass over the place's covered cells (body/bare_pass.h): the least a light
// computation must do.
void timeBarePass(benchmark::State& state, mPlace& place) {
  const auto runs = coveredRuns(place);
  const int side = place.field().side();
  const double daylight = place.parameters().mField_daylight;
  const double share = place.parameters().mField_downsize;
  std::vector<double> grid(static_cast<size_t>(side) * side, daylight);
  const long cells = cellCount(runs);
  for (auto _ : state) benchmark::DoNotOptimize(barePass(runs, grid, daylight, share));
  state.counters["cells"] = static_cast<double>(cells);
}

void BM_CoveredCellPass(benchmark::State& state) {
  mPlace place(nullptr, "Ostrel", 1);
  populate(place, static_cast<int>(state.range(0)), {op::nop_0}, 1000.0);
  timeBarePass(state, place);
}
BENCHMARK(BM_CoveredCellPass)->Arg(100)->Arg(1000)->Arg(10000)->ArgName("parts")->Unit(benchmark::kMicrosecond);

// The world grown from the built-in genome, at its 2000th turn: larger leaves than the
// synthetic fields', overlapping as evolution lays them out.
mWorld& evolved() {
  static const std::unique_ptr<mWorld> world = evolvedWorld(2000);
  return *world;
}

void BM_ComputeLightEvolved(benchmark::State& state) {
  mPlace& place = evolved().place();
  place.settings().algorithms = settingsOf(state.range(0)).algorithms;
  place.computeLight();
  for (auto _ : state) place.computeLight();
  state.SetLabel(modeName(state.range(0)));
  state.counters["cells"] = static_cast<double>(coveredCells(place));
}
BENCHMARK(BM_ComputeLightEvolved)->Arg(0)->Arg(1)->ArgName("reference")->Unit(benchmark::kMicrosecond);

void BM_CoveredCellPassEvolved(benchmark::State& state) { timeBarePass(state, evolved().place()); }
BENCHMARK(BM_CoveredCellPassEvolved)->Unit(benchmark::kMicrosecond);

}  // namespace
