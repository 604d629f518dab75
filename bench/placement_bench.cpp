// The population's searches: one growth instruction's placement test (the new edge's segment
// test, then the new leaf's clearance) and the father search, in populations of 100 to 10,000
// parts, fast and reference.
#include <benchmark/benchmark.h>

#include "bench/bench_population.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "base/instructions.h"

namespace {

using namespace vek::bench;

constexpr int kProbes = 1024;  // a power of two: the probe index wraps with a mask

void BM_PlacementTest(benchmark::State& state) {
  mPlace place(nullptr, "Ostrel", 1, settingsOf(state.range(1)));
  populate(place, static_cast<int>(state.range(0)), {op::nop_0}, 1000.0);
  const mSeedList& population = place.population();
  const std::vector<mPoint3D> tips = probePoints(place.parameters(), kProbes);
  std::vector<mPoint3D> bases;
  for (const mPoint3D& tip : tips) bases.emplace_back(tip.x - 0.3, tip.y, 0.0);
  size_t k = 0;
  long clear = 0;
  for (auto _ : state) {
    clear += population.isSegmentClearForAll(bases[k], tips[k]) &&
             population.isClearForAll(tips[k], 0.3);
    k = (k + 1) & (kProbes - 1);
  }
  state.SetLabel(modeName(state.range(1)));
  state.counters["clear"] = benchmark::Counter(static_cast<double>(clear), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PlacementTest)
    ->ArgsProduct({{100, 1000, 10000}, {0, 1}})
    ->ArgNames({"parts", "reference"})
    ->Unit(benchmark::kMicrosecond);

void BM_FindFather(benchmark::State& state) {
  mPlace place(nullptr, "Ostrel", 1, settingsOf(state.range(1)));
  populate(place, static_cast<int>(state.range(0)), {op::nop_0}, 1000.0);
  const mSeedList& population = place.population();
  const mSeed& parent = *population.living().front();
  const std::vector<mPoint3D> points = probePoints(place.parameters(), kProbes);
  size_t k = 0;
  double weights = 0;
  for (auto _ : state) {
    double weight = 0;
    benchmark::DoNotOptimize(population.findFather(parent, points[k], weight));
    weights += weight;
    k = (k + 1) & (kProbes - 1);
  }
  state.SetLabel(modeName(state.range(1)));
  benchmark::DoNotOptimize(weights);
}
BENCHMARK(BM_FindFather)
    ->ArgsProduct({{100, 1000, 10000}, {0, 1}})
    ->ArgNames({"parts", "reference"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
