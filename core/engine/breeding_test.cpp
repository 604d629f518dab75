// Breeding a flower into a new individual, end to end: the processor's breed_flower, the
// seed's flight, the father, the child's gene in the pool and the newborn.
#include <gtest/gtest.h>

#include <cmath>

#include "body/parameters.h"
#include "body/parts_list.h"
#include "engine/engine_test_support.h"
#include "base/random.h"
#include "base/instructions.h"
#include "tests/test_support.h"

namespace {

using vek::test::addIndividual;
using vek::test::ScriptedRandom;

// No crossing-over and no mutation: a child's code equals its mother's, and breeding draws
// one u() per common segment plus the three mutation tests.
void switchOffVariation(Parameters& p) {
  p.mGene_maxFatherEffect = 0;
  p.mGene_vectorVariation = 0;
  p.mGene_sizeVariation = 0;
  p.mGene_operatorVariation = 0;
}

// The draws of one breeding of a one-segment mother with no father around.
void scriptBreedGene(ScriptedRandom& script) { script.u(0.5).u(0.5).u(0.5).u(0.5); }

TEST(Breeding, FlowerOnTheGroundLandsAtTheOrigin) {
  mPlace place(nullptr, "Ostrel", 1);
  switchOffVariation(place.parameters());
  mSeed& mother = addIndividual(place, {op::breed_flower}, mPoint3D(5, 5, 0));
  // a flower of radius 0 lying on the ground beside the seed
  ASSERT_TRUE(mother.body().makeFlower(0, 0.0, 1.0, kPi / 2, 0));
  ASSERT_NEAR(mother.body().flowers()[0]->position()->z, 0, 1e-15);  // cos(pi/2) rounds
  {
    ScriptedRandom script(place.random());
    script.u(0.7).u(0.2);  // gauss: its value is multiplied by a variance of 0
    script.u(0.9);         // the angle
    scriptBreedGene(script);
    mother.processor().step();
  }
  EXPECT_NE(mother.processor().trace().find("sucess"), std::string::npos) << mother.processor().trace();
  ASSERT_EQ(place.population().newborn().size(), 1u);
  const mSeed& child = *place.population().newborn()[0];
  EXPECT_NEAR(child.position().x, 0, 1e-6);
  EXPECT_NEAR(child.position().y, 0, 1e-6);
  EXPECT_EQ(child.newborn(), 1);
  EXPECT_EQ(child.processor().energy().current(), 0.0);
  EXPECT_EQ(mother.processor().breedCount(), 1);
  // the child's code equals its mother's: it became a carrier of the pooled gene
  EXPECT_EQ(child.genome(), mother.genome());
  EXPECT_EQ(mother.genome()->carrierCount(), 2);
  EXPECT_EQ(place.genePool().geneCount(), 1);
  EXPECT_EQ(child.id().size, 1);
  EXPECT_EQ(child.id().time, place.time());
}

TEST(Breeding, LandingOutsideTheFieldResetsTheFlowerAndMakesNobody) {
  mPlace place(nullptr, "Ostrel", 1);
  mSeed& mother = addIndividual(place, {op::breed_flower});
  ASSERT_TRUE(mother.body().makeFlower(0, 50.0, 30.0, 0, 0));  // 30 high: mean flight 45
  {
    ScriptedRandom script(place.random());
    script.u(1.0).u(0.0);  // gauss 0: the distance is the mean
    script.u(0.5);         // angle 0: x = 45 lies beyond the field's 40
    mother.processor().step();
  }
  EXPECT_NE(mother.processor().trace().find("cannot make inner point"), std::string::npos);
  EXPECT_TRUE(place.population().newborn().empty());
  EXPECT_EQ(mother.body().flowers()[0]->radius(), 0.0);
  EXPECT_EQ(mother.processor().breedCount(), 0);
}

TEST(Breeding, SecondBreedOfAResetFlowerGivesAChildWithoutEnergy) {
  mPlace place(nullptr, "Ostrel", 1);
  switchOffVariation(place.parameters());
  mSeed& mother = addIndividual(place, {op::breed_flower, op::jump_back});
  ASSERT_TRUE(mother.body().makeFlower(0, 100.0, 1.0, 0, 0));
  const double content = mother.body().flowers()[0]->calorie();
  ASSERT_NEAR(content, 100.0, 1e-9);
  for (int round = 0; round < 2; ++round) {
    {
      ScriptedRandom script(place.random());
      script.u(1.0).u(0.0).u(0.5);  // flight 1.5 along x
      scriptBreedGene(script);
      mother.processor().step();
    }
    mother.processor().step();  // jump_back without a template: falls through
    mother.processor().step();  // error step back to 0
  }
  ASSERT_EQ(place.population().newborn().size(), 2u);
  EXPECT_NEAR(place.population().newborn()[0]->processor().energy().current(), content, 1e-9);
  EXPECT_EQ(place.population().newborn()[1]->processor().energy().current(), 0.0);
  EXPECT_NEAR(place.population().newborn()[0]->position().x, 1.5 * 1.0, 1e-9);
  EXPECT_EQ(mother.processor().breedCount(), 2);
}

TEST(Breeding, CrossingWithAForeignFatherMakesANewPoolGene) {
  mPlace place(nullptr, "Ostrel", 1);
  place.parameters().mGene_vectorVariation = 0;
  place.parameters().mGene_sizeVariation = 0;
  place.parameters().mGene_operatorVariation = 0;
  place.parameters().mGene_maxFatherEffect = 1.0;
  mSeed& mother = addIndividual(place, {op::breed_flower});
  mSeed& father = addIndividual(place, {op::nop_1, op::gene_separate, op::nop_0}, mPoint3D(3, 0, 0));
  ASSERT_TRUE(mother.body().makeFlower(0, 10.0, 1.0, 0, 0));
  ASSERT_TRUE(father.body().makeFlower(0, 10.0, 1.0, 0, 0));
  for (int i = 0; i < 5; ++i) place.advanceTime();  // the new identifiers carry this time
  {
    ScriptedRandom script(place.random());
    script.u(1.0).u(0.0).u(0.5);  // flight
    script.u(0.0);                // the one common segment comes from the father (p = 1 x 1)
    script.u(0.5).u(0.5).u(0.5);  // no mutation
    mother.processor().step();
  }
  ASSERT_EQ(place.population().newborn().size(), 1u);
  const mSeed& child = *place.population().newborn()[0];
  EXPECT_EQ(child.genome()->code(), (std::vector<int>{op::nop_1, op::gene_separate}));
  EXPECT_EQ(child.genome()->identifier().text(), "2-" + std::to_string(place.time()) + "-1");
  EXPECT_EQ(child.id().text(), "2-" + std::to_string(place.time()) + "-1");
  EXPECT_EQ(place.genePool().geneCount(), 3);
  EXPECT_EQ(child.genome()->carrierCount(), 1);
}

TEST(Breeding, ChildEqualToAForeignGeneBecomesItsCarrier) {
  mPlace place(nullptr, "Ostrel", 1);
  switchOffVariation(place.parameters());
  place.parameters().mGene_maxFatherEffect = 1.0;
  mSeed& mother = addIndividual(place, {op::breed_flower});
  mSeed& father = addIndividual(place, {op::nop_1, op::nop_0}, mPoint3D(3, 0, 0));
  ASSERT_TRUE(mother.body().makeFlower(0, 10.0, 1.0, 0, 0));
  ASSERT_TRUE(father.body().makeFlower(0, 10.0, 1.0, 0, 0));
  {
    ScriptedRandom script(place.random());
    script.u(1.0).u(0.0).u(0.5).u(0.0).u(0.5).u(0.5).u(0.5);
    mother.processor().step();
  }
  ASSERT_EQ(place.population().newborn().size(), 1u);
  EXPECT_EQ(place.population().newborn()[0]->genome(), father.genome());
  EXPECT_EQ(father.genome()->carrierCount(), 2);
  EXPECT_EQ(place.genePool().geneCount(), 2);
}

}  // namespace
