// vek-age-bench: where the time of a turn goes as the built-in world ages. For each age (the
// world of the default run at 5,000, 15,000 and 30,000 turns, kept in the build folder once
// grown; bench/aged_worlds.h) it runs a number of turns and prints, as medians over them:
//
// - the whole turn and its phases (SUN_LIGHT; the individuals acting, PRE_EXECUTE and EXECUTE
//   together; AFTER_EXECUTE), and the bare pass over that turn's covered cells, timed beside
//   it, with the turn's ratio to it: how close the turn comes to what it cannot avoid;
// - EXECUTE by instruction kind: growth (the make, grow and cut instructions, with their
//   placement tests), breeding (with the father search), and the rest (control, registers,
//   settings, error steps); these come from turns of their own, in which every step is timed
//   (the clock's own cost per reading is taken off);
// - time per turn against the living parts (edges, leaves and flowers of the living bodies).
//
// Turns and bare passes are timed in the thread's processor time, so other programs on a busy
// machine count little. The single steps are too short for that clock, whose reading costs
// about a microsecond on some machines: they are timed on the steady clock, and a step that
// took over 200 us was interrupted by another program and is left out (the count is printed).
#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/instructions.h"
#include "bench/aged_worlds.h"
#include "bench/bench_population.h"
#include "base/thread_time.h"
#include "body/bare_pass.h"
#include "body/parts_list.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/cpu.h"
#include "genome/gene.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace vek::bench;

double secondsBetween(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]);
}

enum Kind { kGrowth, kBreeding, kRest, kKinds };
constexpr const char* kKindNames[kKinds] = {"growth", "breeding", "rest"};

Kind kindOf(const mSeed& individual) {
  const mCPU& processor = individual.processor();
  const mGene* gene = individual.genome();
  const int ip = processor.ip();
  if (!gene || ip < 0 || ip >= processor.codeSize()) return kRest;
  switch (gene->code()[static_cast<size_t>(ip)]) {
    case op::cut_edge:
    case op::make_flower:
    case op::make_leaf:
    case op::make_node:
    case op::grow_flower:
    case op::grow_leaf:
      return kGrowth;
    case op::breed_flower:
      return kBreeding;
    default:
      return kRest;
  }
}

long livingParts(const mPlace& place) {
  long parts = 0;
  for (const auto& seed : place.population().living()) {
    const mPartsList& body = seed->body();
    parts += static_cast<long>(body.edges().size() + body.leaves().size() + body.flowers().size());
  }
  return parts;
}

struct TurnTimes {
  double whole = 0, light = 0, acting = 0, after = 0;
};

// One turn, with the clock read at the phases' borders only. The individuals' steps run under
// one hold of the world's mutex, as the worker runs them (taking it for each step would add
// its cost thousands of times a turn).
TurnTimes timedTurn(mWorld& world) {
  TurnTimes times;
  const double start = threadSeconds();
  world.step();  // SUN_LIGHT
  const double lit = threadSeconds();
  world.stepUntil(AFTER_EXECUTE);
  const double acted = threadSeconds();
  world.step();
  const double end = threadSeconds();
  times.light = lit - start;
  times.acting = acted - lit;
  times.after = end - acted;
  times.whole = end - start;
  return times;
}

// What one reading of the clock adds to a timed stretch.
double clockCost() {
  std::vector<double> costs;
  for (int k = 0; k < 101; ++k) {
    constexpr int kReadings = 1000;
    const auto start = Clock::now();
    for (int i = 0; i < kReadings; ++i) (void)Clock::now();
    costs.push_back(secondsBetween(start, Clock::now()) / kReadings);
  }
  return median(costs);
}

constexpr double kInterrupted = 200e-6;

struct KindTimes {
  std::array<double, kKinds> seconds{};
  std::array<long, kKinds> steps{};
  long interrupted = 0;
};

// One turn with each EXECUTE step timed and filed by the instruction it runs.
KindTimes turnByKind(mWorld& world, double perReading) {
  KindTimes times;
  mSeedList& population = world.place().population();
  do {
    if (world.phase() != EXECUTE || !population.current()) {
      world.step();
      continue;
    }
    const Kind kind = kindOf(*population.current());
    const auto start = Clock::now();
    world.step();
    const double seconds = secondsBetween(start, Clock::now()) - perReading;
    ++times.steps[kind];
    if (seconds > kInterrupted) ++times.interrupted;
    else times.seconds[kind] += std::max(0.0, seconds);
  } while (world.phase() != SUN_LIGHT);
  return times;
}

void measureAge(int age, int turns, const std::string& cache, double perReading) {
  const std::unique_ptr<mWorld> world = agedWorld(age, cache);
  mPlace& place = world->place();
  for (int k = 0; k < 3; ++k) runTurn(*world);  // caches and index filled as in a running world

  std::vector<double> whole, light, acting, after, bare, ratio, cells, living, parts;
  std::array<std::vector<double>, kKinds> kindSeconds;
  std::array<double, kKinds> kindSteps{};
  long interrupted = 0;
  for (int t = 0; t < turns; ++t) {
    living.push_back(place.population().livingCount());
    parts.push_back(static_cast<double>(livingParts(place)));
    // The timed turn comes right after a whole turn, as in a running world; the runs of its
    // covered cells (as long a list as the world's parts take memory) are found after it from
    // a small record of its discs, and the bare pass over them (whose grid of doubles fills the
    // caches with other things) follows.
    const std::vector<mCoveredDisc> discs = coveredDiscs(place);
    const TurnTimes times = timedTurn(*world);
    const auto runs = coveredRuns(place, discs);
    cells.push_back(static_cast<double>(cellCount(runs)));
    const double barePass = barePassSeconds(place, runs, 5);
    whole.push_back(times.whole);
    light.push_back(times.light);
    acting.push_back(times.acting);
    after.push_back(times.after);
    bare.push_back(barePass);
    ratio.push_back(times.whole / barePass);
    // Every other turn is timed step by step, for the instruction kinds, after a turn that
    // brings the world back into the caches.
    runTurn(*world);
    const KindTimes byKind = turnByKind(*world, perReading);
    for (int kind = 0; kind < kKinds; ++kind) {
      kindSeconds[kind].push_back(byKind.seconds[kind]);
      kindSteps[kind] += static_cast<double>(byKind.steps[kind]) / turns;
    }
    interrupted += byKind.interrupted;
  }

  const double us = 1e6;
  std::printf("turn %d: %.0f living, %.0f living parts, %.0f covered cells (medians of %d turns)\n", age,
              median(living), median(parts), median(cells), turns);
  std::printf("  whole turn     %9.1f us   (%.2f us per 1000 living parts)\n", us * median(whole),
              us * median(whole) / (median(parts) / 1000));
  std::printf("  SUN_LIGHT      %9.1f us\n", us * median(light));
  std::printf("  acting         %9.1f us   (PRE_EXECUTE and EXECUTE, %.0f ns per individual)\n", us * median(acting),
              1e9 * median(acting) / median(living));
  std::printf("  AFTER_EXECUTE  %9.1f us\n", us * median(after));
  std::printf("  bare pass      %9.1f us   (%.2f ns per covered cell)\n", us * median(bare),
              1e9 * median(bare) / median(cells));
  std::printf("  ratio          %9.2f      (whole turn over the bare pass of its covered cells)\n", median(ratio));
  std::printf("  EXECUTE by instruction (turns timed step by step; %ld interrupted steps left out):\n", interrupted);
  for (int kind = 0; kind < kKinds; ++kind) {
    const double seconds = median(kindSeconds[kind]);
    std::printf("    %-9s %9.1f us   %6.0f steps   %6.0f ns per step\n", kKindNames[kind], us * seconds,
                kindSteps[kind], kindSteps[kind] > 0 ? 1e9 * seconds / kindSteps[kind] : 0.0);
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("Times the turns of the built-in world at several ages against the bare pass over their covered cells.");
  std::vector<int> ages = {5000, 15000, 30000};
  int turns = 100;
  std::string cache = defaultAgedWorldFolder();
  app.add_option("--ages", ages, "ages (turns) of the worlds to time")->delimiter(',')->check(CLI::PositiveNumber);
  app.add_option("--turns", turns, "turns timed at each age (and as many timed step by step)")
      ->check(CLI::PositiveNumber);
  app.add_option("--cache", cache, "folder of the kept worlds");
  CLI11_PARSE(app, argc, argv);

  const double perReading = clockCost();
  std::printf("clock reading: %.1f ns\n", 1e9 * perReading);
  for (int age : ages) measureAge(age, turns, cache, perReading);
  return 0;
}
