// A world started from the built-in genome evolves: individuals are born and die, new genomes
// appear, the population stays bounded, and the same seed gives the same world.
#include <gtest/gtest.h>

#include <sstream>

#include "body/field.h"
#include "engine/place.h"
#include "base/random.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/gene_list.h"
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

Outcome run(int turns) {
  reseedRandom(1033);
  mWorld world;
  world.place().populateWithBuiltInGenome();
  Outcome outcome;
  while (world.place().turn() < turns) {
    world.step();
    outcome.largest = std::max(outcome.largest, world.place().population().livingCount());
  }
  mPlace& place = world.place();
  outcome.living = place.population().livingCount();
  outcome.genes = place.genePool().geneCount();
  outcome.births = place.population().totalBirths();
  outcome.deaths = place.population().totalDeaths();
  std::ostringstream out;
  out.precision(10);
  place.genePool().write(out);
  place.population().write(out);
  place.field().write(out);
  outcome.saved = out.str();
  return outcome;
}

TEST(Evolution, BuiltInGenomeEvolvesAndRepeatsItself) {
  vek::test::ParameterGuard guard;
  const std::uint32_t state = programRandom().state();
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
  programRandom().reseed(state);
}

}  // namespace
