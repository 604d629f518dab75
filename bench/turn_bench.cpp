// One processor step, and one whole turn of a world of 100 to 10,000 parts, fast and
// reference.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_population.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/cpu.h"
#include "base/instructions.h"

namespace {

using namespace vek::bench;

constexpr double kPlentyOfEnergy = 1e12;

// Register arithmetic and the stack: every step is traced and charged with the body's upkeep,
// but nothing grows.
void BM_ProcessorStep(benchmark::State& state) {
  mPlace place(nullptr, "Ostrel", 1);
  const std::vector<int> arithmetic = {op::zero,  op::increment, op::push,      op::shift_left,
                                       op::pop,   op::nop_0,     op::decrement, op::nop_1};
  populate(place, 1000, arithmetic, kPlentyOfEnergy);
  mCPU& processor = place.population().living().front()->processor();
  for (auto _ : state) processor.step();
}
BENCHMARK(BM_ProcessorStep);

// Every plant tries, turn after turn, to grow a node straight up through its own leaf: the
// edge is refused by the segment test against the whole population, so each instruction is a
// full placement test while the world stays the same. The genome is long enough that nobody
// dies of age during a benchmark.
std::vector<int> refusedGrowthGenome() {
  std::vector<int> codes(200000, op::make_node);
  codes[0] = op::increment;  // r = 2: the edge reaches past the leaf
  codes[1] = op::increment;
  return codes;
}

void BM_WholeTurn(benchmark::State& state) {
  mWorldSettings settings = settingsOf(state.range(1));
  holdPopulationSteady(settings.parameters);
  mWorld world(settings);
  populate(world.place(), static_cast<int>(state.range(0)), refusedGrowthGenome(), kPlentyOfEnergy);
  const int living = world.place().population().livingCount();
  runTurn(world);
  runTurn(world);
  for (auto _ : state) runTurn(world);
  if (world.place().population().livingCount() != living) state.SkipWithError("the population changed");
  state.SetLabel(modeName(state.range(1)));
  state.counters["living"] = living;
}
BENCHMARK(BM_WholeTurn)
    ->ArgsProduct({{100, 1000, 10000}, {0, 1}})
    ->ArgNames({"parts", "reference"})
    ->Unit(benchmark::kMicrosecond);

// Turns of the world grown from the built-in genome, from its 2000th turn on: about 900
// plants and 360,000 covered cells, growing, breeding and dying as they do.
void BM_WholeTurnEvolved(benchmark::State& state) {
  const std::unique_ptr<mWorld> world = evolvedWorld(2000);
  world->place().settings().algorithms = settingsOf(state.range(0)).algorithms;
  for (auto _ : state) runTurn(*world);
  state.SetLabel(modeName(state.range(0)));
  state.counters["living"] = world->place().population().livingCount();
}
BENCHMARK(BM_WholeTurnEvolved)->Arg(0)->Arg(1)->ArgName("reference")->Unit(benchmark::kMicrosecond);

}  // namespace
