#include "engine/seed.h"

#include <gtest/gtest.h>

#include <sstream>

#include "body/parts_list.h"
#include "engine/engine_test_support.h"
#include "engine/place.h"
#include "base/instructions.h"
#include "tests/test_support.h"

namespace {

using vek::test::addIndividual;

TEST(Seed, ChildlessIndividualIsMarkedAfterItsGenomeLengthTimesTheTurnEffect) {
  mPlace place(nullptr, "Ostrel", 1);
  mSeed& seed = addIndividual(place, std::vector<int>(10, op::nop_0));
  EXPECT_EQ(seed.evaluation(), 1.0);
  for (int age = 1; age <= 15; ++age) {
    seed.execute();
    ASSERT_EQ(seed.evaluation(), 1.0) << "age " << age;
  }
  seed.execute();  // 10 * 1.5 = 15 < 16
  EXPECT_EQ(seed.age(), 16);
  EXPECT_EQ(seed.evaluation(), -1.0);
}

TEST(Seed, EnergyDecidesWhateverTheChildren) {
  mPlace place(nullptr, "Ostrel", 1);
  mSeed& poor = addIndividual(place, {op::nop_0}, mPoint3D(), 0.0);
  EXPECT_EQ(poor.evaluate(), -1.0);
  mSeed& rich = addIndividual(place, {op::nop_0}, mPoint3D(5, 5, 0), 10.0);
  EXPECT_EQ(rich.evaluate(), 1.0);
}

TEST(Seed, ExecuteTakesTheLeavesLightThenRunsOneInstruction) {
  mPlace place(nullptr, "Ostrel", 1);
  mSeed& seed = addIndividual(place, {op::nop_0, op::nop_1});
  seed.execute();
  EXPECT_EQ(seed.age(), 1);
  EXPECT_EQ(seed.processor().ip(), 1);
  // cost 1 plus the upkeep of a bare seed (mSeed_keep_calorie 1)
  EXPECT_DOUBLE_EQ(seed.processor().energy().current(), 998.0);
  EXPECT_EQ(seed.text(), "S 0.000000 0.000000 0.000000 " + seed.id().text());
}

TEST(Seed, BlockRoundTripFindsItsGenomeAndRecomputesEvaluation) {
  mPlace place(nullptr, "Ostrel", 1);
  mSeed& seed = addIndividual(place, {op::set_r, op::increment, op::make_node}, mPoint3D(1, 2, 0));
  for (int i = 0; i < 3; ++i) seed.execute();
  ASSERT_EQ(seed.body().nodes().size(), 2u);
  std::ostringstream out;
  out.precision(10);
  seed.write(out);

  mSeed copy(&place.population());
  std::istringstream in(out.str());
  ASSERT_TRUE(copy.read(in));
  EXPECT_EQ(copy.genome(), seed.genome());
  EXPECT_EQ(seed.genome()->carrierCount(), 2);
  EXPECT_EQ(copy.age(), 3);
  EXPECT_EQ(copy.newborn(), 0);
  EXPECT_EQ(copy.id().text(), seed.id().text());
  EXPECT_EQ(copy.position().x, 1);
  EXPECT_EQ(copy.body().text(), seed.body().text());
  EXPECT_NEAR(copy.processor().energy().current(), seed.processor().energy().current(), 1e-6);
  EXPECT_EQ(copy.evaluation(), 1.0);
  std::ostringstream again;
  again.precision(10);
  copy.write(again);
  EXPECT_EQ(again.str(), out.str());
  seed.genome()->removeCarrier(&copy);
}

TEST(Seed, ReadingAGenomeThePoolLacksFails) {
  mPlace place(nullptr, "Ostrel", 1);
  std::istringstream in("/*mSeed start*/\n/*mID start*/\n9 9 9\n/*mID end*/\n");
  mSeed seed(&place.population());
  EXPECT_FALSE(seed.read(in));
  EXPECT_EQ(seed.genome(), nullptr);
}

}  // namespace
