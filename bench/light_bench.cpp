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

// Each covered cell is read, gives up a share of its light and is written back once: the
// least a light computation must do. The written value stays at the daylight, so the pass
// measures the same cells at the same values however often it runs.
void barePass(benchmark::State& state, mPlace& place) {
  const auto runs = coveredRuns(place);
  const int side = place.field().side();
  const double daylight = place.parameters().mField_daylight;
  const double share = place.parameters().mField_downsize;
  const double keep = 1.0 - share;
  const double refill = share * daylight;
  std::vector<double> grid(static_cast<size_t>(side) * side, daylight);
  const long cells = cellCount(runs);
  for (auto _ : state) {
    double taken = 0;
    for (const mCellRun& run : runs) {
      double* cell = grid.data() + run.first;
      for (int j = 0; j < run.count; ++j) {
        taken += share * cell[j];
        cell[j] = cell[j] * keep + refill;
      }
    }
    benchmark::DoNotOptimize(taken);
  }
  state.counters["cells"] = static_cast<double>(cells);
}

void BM_CoveredCellPass(benchmark::State& state) {
  mPlace place(nullptr, "Ostrel", 1);
  populate(place, static_cast<int>(state.range(0)), {op::nop_0}, 1000.0);
  barePass(state, place);
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

void BM_CoveredCellPassEvolved(benchmark::State& state) { barePass(state, evolved().place()); }
BENCHMARK(BM_CoveredCellPassEvolved)->Unit(benchmark::kMicrosecond);

}  // namespace
