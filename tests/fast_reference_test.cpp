// The world that grows from the built-in genome, grown once with the fast algorithms and once
// with the reference ones from the same seed, is the same world turn after turn: the same
// genes, the same individuals in the same order with the same bodies, energies and processors,
// the same light on every body; only the field's occupancy, summed another way, may differ in
// its last digits.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "body/field.h"
#include "engine/place.h"
#include "base/random.h"
#include "body/reference_mode.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/gene_list.h"
#include "tests/test_support.h"

namespace {

struct Checkpoint {
  int turn;
  int living;
  std::string genesAndPopulation;
  double occupancy, excess, totalDaylight;
};

std::vector<Checkpoint> grow(bool reference, int turns, int every) {
  ReferenceAlgorithmsScope algorithms(reference);
  reseedRandom(1033);
  mWorld world;
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
    checkpoints.push_back({place.turn(), place.population().livingCount(), out.str(), place.field().occupancy(),
                           place.field().excess(), place.field().totalDaylight()});
  }
  return checkpoints;
}

TEST(FastAndReference, TheBuiltInWorldGrowsTheSameBothWays) {
  vek::test::ParameterGuard guard;
  const std::uint32_t state = programRandom().state();
  const std::vector<Checkpoint> fast = grow(false, 2000, 250);
  const std::vector<Checkpoint> plain = grow(true, 2000, 250);
  programRandom().reseed(state);

  ASSERT_EQ(fast.size(), 8u);
  ASSERT_EQ(plain.size(), fast.size());
  EXPECT_GT(fast.back().living, 500);
  for (size_t k = 0; k < fast.size(); ++k) {
    SCOPED_TRACE(fast[k].turn);
    EXPECT_EQ(fast[k].living, plain[k].living);
    // Whole saved texts: a failure prints them, so compare without a diff of megabytes.
    ASSERT_TRUE(fast[k].genesAndPopulation == plain[k].genesAndPopulation) << "the worlds part at turn " << fast[k].turn;
    EXPECT_NEAR(fast[k].occupancy, plain[k].occupancy, 1e-9);
    EXPECT_NEAR(fast[k].excess, plain[k].excess, 1e-9);
    EXPECT_EQ(fast[k].totalDaylight, plain[k].totalDaylight);
  }
}

}  // namespace
