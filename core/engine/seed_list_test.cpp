#include "engine/seed_list.h"

#include <gtest/gtest.h>

#include <cmath>

#include "body/field.h"
#include "body/parts_list.h"
#include "engine/engine_test_support.h"
#include "base/random.h"
#include "base/instructions.h"
#include "tests/test_support.h"

namespace {

using vek::test::addIndividual;
using vek::test::ScriptedRandom;

std::vector<int> genome(int marker) { return {op::nop_0, op::nop_1, marker}; }

TEST(SeedList, EmptyPopulation) {
  mPlace place(nullptr, "Ostrel", 1);
  mSeedList& population = place.population();
  population.beginTurn();
  EXPECT_EQ(population.current(), nullptr);
  EXPECT_TRUE(population.atEnd());
  population.executeNext();
  ScriptedRandom noDraws(place.random());
  population.endTurn();
  EXPECT_EQ(population.averageAge(), 0);
  EXPECT_EQ(population.averageEvaluation(), 0);
  EXPECT_EQ(population.turnDeaths(), 0);
}

TEST(SeedList, RankedCullingWithEqualChancesWhenKIsOne) {
  mPlace place(nullptr, "Ostrel", 1);
  place.parameters().mSeedList_delete_factorial = 1.0;
  addIndividual(place, genome(20));
  mSeed& b = addIndividual(place, genome(21), mPoint3D(3, 0, 0));
  addIndividual(place, genome(22), mPoint3D(6, 0, 0));
  vek::test::setOccupancy(place.field(), 0.9);
  ASSERT_TRUE(place.field().isOverCapacity());
  {
    ScriptedRandom script(place.random());  // p = 1/3 for every rank
    script.u(0.3).u(0.34).u(1.0 / 3.0 - 1e-12);
    place.population().endTurn();
  }
  ASSERT_EQ(place.population().livingCount(), 1);
  EXPECT_EQ(place.population().living()[0].get(), &b);  // equal ranks keep their order
  EXPECT_EQ(place.population().turnDeaths(), 2);
  EXPECT_EQ(place.population().totalDeaths(), 2);
  EXPECT_EQ(place.genePool().geneCount(), 1);  // the removed carriers' genes are gone
}

TEST(SeedList, RankedCullingOfOneIndividual) {
  mPlace place(nullptr, "Ostrel", 1);
  addIndividual(place, genome(20));
  vek::test::setOccupancy(place.field(), 0.6);
  {
    ScriptedRandom script(place.random());  // p = 2 / (K + 1) = 2/3
    script.u(0.67);
    place.population().endTurn();
  }
  EXPECT_EQ(place.population().livingCount(), 1);
  {
    ScriptedRandom script(place.random());
    script.u(0.66);
    place.population().endTurn();
  }
  EXPECT_EQ(place.population().livingCount(), 0);
}

TEST(SeedList, OccupancyAtCapacityIsNotOver) {
  mPlace place(nullptr, "Ostrel", 1);
  addIndividual(place, genome(20));
  vek::test::setOccupancy(place.field(), 0.5);
  ScriptedRandom noDraws(place.random());
  place.population().endTurn();
  EXPECT_EQ(place.population().livingCount(), 1);
}

TEST(SeedList, RandomCullingAbove100ButNotAt100) {
  mPlace place(nullptr, "Ostrel", 1);
  for (int i = 0; i < 100; ++i) addIndividual(place, genome(20), mPoint3D(i % 10, i / 10, 0));
  {
    ScriptedRandom noDraws(place.random());
    place.population().endTurn();
  }
  addIndividual(place, genome(20), mPoint3D(20, 20, 0));
  const mSeed* fifth = place.population().living()[4].get();
  {
    ScriptedRandom script(place.random());
    for (int i = 0; i < 101; ++i) script.u(i == 4 ? 0.002 : 0.5);
    place.population().endTurn();
  }
  EXPECT_EQ(place.population().livingCount(), 100);
  for (const auto& seed : place.population().living()) EXPECT_NE(seed.get(), fifth);
}

TEST(SeedList, MarkedAreRemovedAndChildrenJoinAfterSurvivors) {
  mPlace place(nullptr, "Ostrel", 1);
  mSeed& dying = addIndividual(place, genome(20), mPoint3D(), 0.0);
  mSeed& survivor = addIndividual(place, genome(21), mPoint3D(4, 0, 0));
  dying.evaluate();
  mSeedList& population = place.population();
  population.beginTurn();
  mGene* gene = survivor.genome();
  for (int i = 0; i < 2; ++i) {
    population.addNewborn(std::make_unique<mSeed>(gene, &population, place.genePool().newIdentifier(3),
                                                  mPoint3D(10 + i, 0, 0), 1, 5.0));
  }
  const mSeed* first = population.newborn()[0].get();
  const mSeed* second = population.newborn()[1].get();
  EXPECT_EQ(population.livingCount(), 2);  // children wait
  {
    ScriptedRandom noDraws(place.random());
    population.endTurn();
  }
  ASSERT_EQ(population.livingCount(), 3);
  EXPECT_EQ(population.living()[0].get(), &survivor);
  EXPECT_EQ(population.living()[1].get(), first);
  EXPECT_EQ(population.living()[2].get(), second);
  EXPECT_EQ(first->newborn(), 0);
  EXPECT_EQ(population.turnBirths(), 2);
  EXPECT_EQ(population.turnDeaths(), 1);
  EXPECT_EQ(population.totalBirths(), 2);  // beginTurn cleared the first individuals' births
  EXPECT_EQ(gene->carrierCount(), 3);
  // the averages were taken before the cull and without the children
  EXPECT_DOUBLE_EQ(population.averageEvaluation(), 0.0);
}

TEST(SeedList, EvaluationsThatAreNotNumbersSortLastAndDie) {
  mPlace place(nullptr, "Ostrel", 1);
  place.parameters().mSeed_turn_effect = std::nan("");
  for (int i = 0; i < 5; ++i) addIndividual(place, genome(20), mPoint3D(3 * i, 0, 0));
  for (const auto& seed : place.population().living()) seed->execute();
  ScriptedRandom noDraws(place.random());
  place.population().endTurn();
  EXPECT_EQ(place.population().livingCount(), 5);
}

TEST(SeedList, FatherIsTheNearestForeignFlower) {
  mPlace place(nullptr, "Ostrel", 1);
  mSeed& mother = addIndividual(place, genome(20));
  mSeed& father = addIndividual(place, genome(21), mPoint3D(3, 0, 0));
  ASSERT_TRUE(mother.body().makeFlower(0, 10, 2, 0, 0));
  const mPoint3D point = *mother.body().flowers()[0]->position();
  double weight = -1;
  EXPECT_EQ(place.population().findFather(mother, point, weight), mother.genome());
  EXPECT_EQ(weight, 0);  // only its own flower: nobody else's in range
  ASSERT_TRUE(father.body().makeFlower(0, 10, 2, 0, 0));
  EXPECT_EQ(place.population().findFather(mother, point, weight), father.genome());
  EXPECT_EQ(weight, 1);
  mSeed& third = addIndividual(place, genome(22), mPoint3D(0, 6, 0));
  ASSERT_TRUE(third.body().makeFlower(0, 10, 2, 0, 0));
  EXPECT_EQ(place.population().findFather(mother, point, weight), father.genome());
  // inverse squared distances 1/9 and 1/36: the nearest's share is 0.8
  EXPECT_NEAR(weight, 0.8, 1e-12);
  const mPoint3D far(100, 100, 0);
  EXPECT_EQ(place.population().findFather(mother, far, weight), mother.genome());
  EXPECT_EQ(weight, 0);
}

TEST(SeedList, FlowerOnThePointGivesWeightZero) {
  mPlace place(nullptr, "Ostrel", 1);
  mSeed& mother = addIndividual(place, genome(20));
  mSeed& father = addIndividual(place, genome(21), mPoint3D(3, 0, 0));
  ASSERT_TRUE(father.body().makeFlower(0, 10, 2, 0, 0));
  double weight = -1;
  EXPECT_EQ(place.population().findFather(mother, *father.body().flowers()[0]->position(), weight),
            father.genome());
  EXPECT_EQ(weight, 0);
}

std::string saved(mPlace& place) {
  std::ostringstream out;
  out.precision(10);
  place.genePool().write(out);
  place.population().write(out);
  return out.str();
}

bool load(mPlace& place, const std::string& text) {
  std::istringstream in(text);
  return place.genePool().read(in) && place.population().read(in);
}

TEST(SeedList, BlockRoundTrip) {
  mPlace place(nullptr, "Ostrel", 1);
  addIndividual(place, genome(20));
  addIndividual(place, {op::set_r, op::increment, op::make_node}, mPoint3D(4, 0, 0));
  for (int i = 0; i < 3; ++i)
    for (const auto& seed : place.population().living()) seed->execute();
  const std::string first = saved(place);

  // The averages are recomputed from the 10-digit values read, so the text is stable from
  // the first reload on.
  mPlace copy(nullptr, "Ostrel", 1);
  ASSERT_TRUE(load(copy, first));
  const std::string second = saved(copy);
  mPlace again(nullptr, "Ostrel", 1);
  ASSERT_TRUE(load(again, second));
  EXPECT_EQ(saved(again), second);
  const size_t individuals = first.find("2\r\n/*mSeed start*/");
  ASSERT_NE(individuals, std::string::npos);
  EXPECT_EQ(second.substr(second.find("2\r\n/*mSeed start*/")), first.substr(individuals));
  EXPECT_EQ(copy.population().living()[1]->body().text(), place.population().living()[1]->body().text());
  EXPECT_EQ(copy.genePool().geneCount(), 2);
  EXPECT_EQ(copy.population().living()[0]->genome()->carrierCount(), 1);
}

TEST(SeedList, TruncatedBlocksFailWithoutCrashing) {
  mPlace place(nullptr, "Ostrel", 1);
  addIndividual(place, {op::set_r, op::increment, op::make_node});
  place.population().living()[0]->execute();
  const std::string text = saved(place);
  for (size_t cut = 0; cut < text.size(); cut += 7) {
    mPlace copy(nullptr, "Ostrel", 1);
    EXPECT_FALSE(load(copy, text.substr(0, cut)) && cut + 40 < text.size()) << "cut at " << cut;
  }
}

}  // namespace
