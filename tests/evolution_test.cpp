// A world started from the built-in genome evolves: individuals are born and die, new genomes
// appear, the population stays bounded, and the same seed gives the same world, also while
// another world with other settings runs beside it in the same program.
#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "body/field.h"
#include "engine/place.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/gene_list.h"
#include "records/lives_file.h"
#include "tests/test_support.h"

namespace {

struct Outcome {
  int living = 0;
  int genes = 0;
  int births = 0;
  int deaths = 0;
  int largest = 0;
  std::string saved;
};

Outcome outcomeOf(const mPlace& place) {
  Outcome outcome;
  outcome.living = place.population().livingCount();
  outcome.genes = place.genePool().geneCount();
  outcome.births = place.population().totalBirths();
  outcome.deaths = place.population().totalDeaths();
  outcome.saved = vek::placeLivesText(place);
  return outcome;
}

Outcome run(int turns) {
  mWorld world;
  world.place().populateWithBuiltInGenome();
  int largest = 0;
  while (world.place().turn() < turns) {
    world.step();
    largest = std::max(largest, world.place().population().livingCount());
  }
  Outcome outcome = outcomeOf(world.place());
  outcome.largest = largest;
  return outcome;
}

TEST(Evolution, BuiltInGenomeEvolvesAndRepeatsItself) {
  const Outcome first = run(1200);
  EXPECT_GT(first.births, 100);
  EXPECT_GT(first.deaths, 50);
  EXPECT_GE(first.genes, 3);
  EXPECT_GT(first.living, 10);
  EXPECT_LT(first.largest, 20000);
  const Outcome second = run(1200);
  EXPECT_EQ(second.living, first.living);
  EXPECT_EQ(second.births, first.births);
  EXPECT_TRUE(second.saved == first.saved) << "the same seed gave another world";
}

// A world of its own settings and seed, grown for `turns` turns on its own worker.
struct Experiment {
  mWorldSettings settings;
  std::uint32_t seed;
};

std::string grownOnItsWorker(const Experiment& experiment, int turns) {
  mWorld world(experiment.settings);
  world.place().populateWithBuiltInGenome();
  world.place().random().reseed(experiment.seed);
  world.holdAfterTurn(turns);
  world.start();
  world.resume();
  world.waitUntilParked();
  std::lock_guard<FairMutex> lock(world.mutex());
  EXPECT_EQ(world.place().turn(), turns);
  return vek::placeLivesText(world.place());
}

// Two worlds with different seeds, parameters and algorithms, run on their own threads at the
// same time, each end exactly as it does alone: nothing of a world is shared with another.
TEST(Evolution, TwoWorldsAtOnceEachEndAsTheyDoAlone) {
  Experiment first{{}, 7};
  Experiment second{{}, 1033};
  second.settings.parameters.mField_capacity = 0.3;
  second.settings.parameters.mGene_operatorVariation = 0.2;
  second.settings.algorithms = mAlgorithms::kPlain;
  const int turns = 250;
  const std::string firstAlone = grownOnItsWorker(first, turns);
  const std::string secondAlone = grownOnItsWorker(second, turns);
  ASSERT_NE(firstAlone, secondAlone);

  std::string firstTogether, secondTogether;
  std::thread other([&] { secondTogether = grownOnItsWorker(second, turns); });
  firstTogether = grownOnItsWorker(first, turns);
  other.join();
  EXPECT_TRUE(firstTogether == firstAlone) << "the first world changed while another ran";
  EXPECT_TRUE(secondTogether == secondAlone) << "the second world changed while another ran";
}

// The place of a 300-turn world from the built-in genome with the default seed, as checked in:
// a change of results between commits, compilers or machines shows here first.
TEST(Evolution, TheBuiltInWorldFollowsItsRecordedTrajectory) {
  const Outcome outcome = run(300);
  const std::string expected = vek::test::readBytes(vek::test::dataPath("trajectory/Ostrel.lives"));
  ASSERT_FALSE(expected.empty());
  if (outcome.saved == expected) return;
  size_t at = 0;
  while (at < expected.size() && at < outcome.saved.size() && expected[at] == outcome.saved[at]) ++at;
  const size_t line = 1 + static_cast<size_t>(std::count(expected.begin(), expected.begin() + static_cast<long>(at), '\n'));
  ADD_FAILURE() << "the world parts from its recorded trajectory at line " << line << ": expected \""
                << expected.substr(at, 60) << "\", got \"" << outcome.saved.substr(at, 60) << "\"";
}

}  // namespace
