// vek-turn-rate: runs the world that grows from the built-in genome for a number of turns,
// once with the fast algorithms and once with the plain ones, from the same seed, and prints
// each run's turns per second (processor time, so that other work on a shared machine counts
// less), their ratio, and whether the two worlds came out the same, bit for bit.
//
// It also prints the fast run's time per turn over its last turns against one bare pass over
// the covered cells of its final world: how close the simulator comes to the cost it cannot
// avoid.
#include <time.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include "bench/bench_population.h"
#include "body/bare_pass.h"
#include "body/field.h"
#include "body/parameters.h"
#include "engine/place.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/gene_list.h"

namespace {

double processorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

struct Run {
  double seconds = 0;      // processor time of all turns
  double wallSeconds = 0;
  double lastTurnsSeconds = 0;  // processor time of the last `tail` turns
  int tail = 0;
  std::string genesAndPopulation;
  double occupancy = 0;
  double excess = 0;
  double totalDaylight = 0;
  int living = 0;
  long coveredCells = 0;
  double barePassSeconds = 0;  // one pass over the final world's covered cells
};

Run runWorld(bool reference, int turns, std::uint32_t seed) {
  Run run;
  run.tail = std::min(500, turns);
  mWorld world(vek::bench::settingsOf(reference ? 1 : 0));
  world.place().random().reseed(seed);
  world.place().populateWithBuiltInGenome();
  const auto wallStart = std::chrono::steady_clock::now();
  const double start = processorSeconds();
  double tailStart = start;
  // Whole turns under one hold of the world's mutex, as the worker runs them.
  while (world.place().turn() < turns) {
    if (world.phase() == SUN_LIGHT && world.place().turn() == turns - run.tail) tailStart = processorSeconds();
    world.stepUntil(SUN_LIGHT);
  }
  const double end = processorSeconds();
  run.seconds = end - start;
  run.lastTurnsSeconds = end - tailStart;
  run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

  mPlace& place = world.place();
  std::ostringstream out;
  out.precision(10);
  place.genePool().write(out);
  place.population().write(out);
  place.field().write(out);
  run.genesAndPopulation = out.str();
  run.occupancy = place.field().occupancy();
  run.excess = place.field().excess();
  run.totalDaylight = place.field().totalDaylight();
  run.living = place.population().livingCount();
  const auto runs = vek::bench::coveredRuns(place);
  run.coveredCells = cellCount(runs);
  run.barePassSeconds = vek::bench::barePassSeconds(place, runs, 200);
  return run;
}

void report(const char* name, const Run& run, int turns) {
  std::printf("%-9s %d turns: %.2f s processor (%.2f s wall), %.1f turns/s; %d living, %ld covered cells at the end\n",
              name, turns, run.seconds, run.wallSeconds, turns / run.seconds, run.living, run.coveredCells);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("Runs the built-in world fast and reference and compares speed and outcome.");
  int turns = 5000;
  std::uint32_t seed = 1033;
  app.add_option("--turns", turns, "turns of each run")->check(CLI::PositiveNumber);
  app.add_option("--seed", seed, "seed of the program's random numbers");
  CLI11_PARSE(app, argc, argv);

  const Run fast = runWorld(false, turns, seed);
  const Run plain = runWorld(true, turns, seed);

  report("fast", fast, turns);
  report("reference", plain, turns);
  std::printf("speed-up: %.2fx turns per second\n", plain.seconds / fast.seconds);
  const double perTurn = fast.lastTurnsSeconds / fast.tail;
  std::printf("fast, last %d turns: %.1f us per turn; bare pass over the final covered cells: %.1f us (ratio %.2f)\n",
              fast.tail, 1e6 * perTurn, 1e6 * fast.barePassSeconds, perTurn / fast.barePassSeconds);

  const bool same = fast.genesAndPopulation == plain.genesAndPopulation;
  std::printf("worlds: %s (occupancy %.17g and %.17g)\n", same ? "the same" : "DIFFERENT", fast.occupancy,
              plain.occupancy);
  return same ? 0 : 1;
}
