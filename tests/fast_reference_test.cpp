// The world that grows from the built-in genome, grown once with the fast algorithms and once
// with the plain ones from the same seed, is the same world turn after turn, bit for bit: the
// same genes, the same individuals in the same order with the same bodies, energies and
// processors, the same light on every body, the same field.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "body/field.h"
#include "engine/place.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/gene_list.h"
#include "tests/test_support.h"

namespace {

struct Checkpoint {
  int turn;
  int living;
  std::string place;
};

std::vector<Checkpoint> grow(mAlgorithms algorithms, int turns, int every) {
  mWorldSettings settings;
  settings.algorithms = algorithms;
  mWorld world(settings);
  mPlace& place = world.place();
  place.populateWithBuiltInGenome();
  std::vector<Checkpoint> checkpoints;
  while (place.turn() < turns) {
    world.step();
    if (world.phase() != SUN_LIGHT || place.turn() % every != 0) continue;
    std::ostringstream out;
    out.precision(17);  // every double to the last bit
    place.genePool().write(out);
    place.population().write(out);
    place.field().write(out);
    checkpoints.push_back({place.turn(), place.population().livingCount(), out.str()});
  }
  return checkpoints;
}

TEST(FastAndReference, TheBuiltInWorldGrowsTheSameBothWays) {
  const std::vector<Checkpoint> fast = grow(mAlgorithms::kFast, 2000, 250);
  const std::vector<Checkpoint> plain = grow(mAlgorithms::kPlain, 2000, 250);

  ASSERT_EQ(fast.size(), 8u);
  ASSERT_EQ(plain.size(), fast.size());
  EXPECT_GT(fast.back().living, 500);
  for (size_t k = 0; k < fast.size(); ++k) {
    SCOPED_TRACE(fast[k].turn);
    EXPECT_EQ(fast[k].living, plain[k].living);
    // Whole saved texts: a failure prints them, so compare without a diff of megabytes.
    ASSERT_TRUE(fast[k].place == plain[k].place) << "the worlds part at turn " << fast[k].turn;
  }
}

}  // namespace
