// The population's searches through its index of parts against its full scans: the same
// questions asked with the fast and the reference algorithms must get the same answers, bit
// for bit, while individuals grow, breed, die and are admitted, and after a population is read.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <vector>

#include "body/parts_list.h"
#include "engine/engine_test_support.h"
#include "base/instructions.h"
#include "tests/test_support.h"

namespace {

using vek::test::addIndividual;

struct Answers {
  const mGene* father;
  double weight;
  bool clear;
  bool segmentClear;
  bool operator==(const Answers& other) const {
    return father == other.father && weight == other.weight && clear == other.clear &&
           segmentClear == other.segmentClear;
  }
};

// The place's algorithms for the time of one question.
class AlgorithmsScope {
 public:
  AlgorithmsScope(mPlace& place, bool plain) : mSettings(place.settings()), mSaved(mSettings.algorithms) {
    mSettings.algorithms = plain ? mAlgorithms::kPlain : mAlgorithms::kFast;
  }
  ~AlgorithmsScope() { mSettings.algorithms = mSaved; }

 private:
  mWorldSettings& mSettings;
  mAlgorithms mSaved;
};

Answers ask(const mSeedList& population, const mSeed& parent, const mPoint3D& p, const mPoint3D& b,
            double margin, bool reference) {
  AlgorithmsScope algorithms(*population.place(), reference);
  Answers answers{};
  answers.father = population.findFather(parent, p, answers.weight);
  answers.clear = population.isClearForAll(p, margin);
  answers.segmentClear = population.isSegmentClearForAll(p, b);
  return answers;
}

// Points on the lattice's half steps lie at exactly equal distances from several flowers, so
// the father search's ties are asked too.
void expectSameAnswers(const mSeedList& population, std::mt19937& random) {
  ASSERT_FALSE(population.living().empty());
  std::uniform_real_distribution<double> unit(0, 1);
  int inRange = 0;
  for (int q = 0; q < 300; ++q) {
    const bool onLattice = q % 2 == 0;
    const double x = onLattice ? std::round(unit(random) * 32 - 16) / 2 : unit(random) * 24 - 12;
    const double y = onLattice ? std::round(unit(random) * 32 - 16) / 2 : unit(random) * 24 - 12;
    const mPoint3D p(x, y, onLattice ? 1.0 : 2 * unit(random));
    const mPoint3D b(x + 4 * unit(random) - 2, y + 4 * unit(random) - 2, 2 * unit(random));
    const mSeed& parent = *population.living()[random() % population.living().size()];
    const double margin = unit(random);
    const Answers fast = ask(population, parent, p, b, margin, false);
    ASSERT_EQ(fast, ask(population, parent, p, b, margin, true)) << q;
    inRange += fast.weight > 0;
  }
  EXPECT_GT(inRange, 30);
}

// Points just inside every leaf and flower and beside every edge: where a part that the
// index holds out of date would answer otherwise.
void expectSameAnswersAtParts(const mSeedList& population) {
  const mSeed& parent = *population.living().front();
  for (const auto& seed : population.living()) {
    const mPartsList& body = seed->body();
    std::vector<mPoint3D> points;
    for (const auto& leaf : body.leaves()) points.emplace_back(leaf->position()->x + 0.9 * leaf->radius(), leaf->position()->y, leaf->position()->z);
    for (const auto& flower : body.flowers()) points.emplace_back(flower->position()->x, flower->position()->y + 0.9 * flower->radius(), flower->position()->z);
    for (const auto& edge : body.edges()) points.emplace_back(edge->end()->x + 0.05, edge->end()->y, edge->end()->z);
    for (const mPoint3D& p : points) {
      const mPoint3D b(p.x + 0.01, p.y + 0.01, p.z + 0.01);
      ASSERT_EQ(ask(population, parent, p, b, 0.01, false), ask(population, parent, p, b, 0.01, true));
    }
  }
}

// Breeders bear a child early and so rank above the others when the population is culled.
std::vector<int> genome(bool breeder) {
  std::vector<int> codes(30, op::nop_0);
  if (breeder) codes[1] = op::breed_flower;
  return codes;
}

TEST(PopulationIndex, SearchesAnswerAsTheFullScansWhileThePopulationLives) {
  mPlace place(nullptr, "Ostrel", 1);
  place.parameters().mSeedList_maxFatherDistance = 9;
  for (int i = 0; i < 8; ++i) {
    for (int j = 0; j < 8; ++j) {
      mSeed& seed = addIndividual(place, genome((i + j) % 3 == 0), mPoint3D(2 * i - 7, 2 * j - 7, 0));
      ASSERT_TRUE(seed.body().makeFlower(0, 5.0, 1.0, 0, 0));  // straight up: (2i - 7, 2j - 7, 1)
      seed.body().makeLeaf(0, 1.0, 1.2, kPi / 4, i + j);
      seed.body().makeNode(0, 0.8, kPi / 5, j);
    }
  }
  mSeedList& population = place.population();
  std::mt19937 random(8);
  for (int turn = 0; turn < 8; ++turn) {
    SCOPED_TRACE(turn);
    expectSameAnswers(population, random);
    population.beginTurn();
    while (!population.atEnd()) population.executeNext();
    // The breeders have bred in turn 1 and move ahead of the others at its end. From turn 3
    // on some die: out of energy, they are culled at the turn's end.
    for (const auto& seed : population.living()) {
      if (turn >= 3 && random() % 7 == 0) {
        seed->processor().energy().spend(1e9);
        seed->evaluate();
      }
    }
    expectSameAnswers(population, random);
    population.endTurn();
    // Bodies change outside the processor too; the population hears of it all the same.
    for (size_t k = turn; k < population.living().size(); k += 4) {
      mPartsList& body = population.living()[k]->body();
      switch (k % 3) {
        case 0: body.cutEdge(0); break;
        case 1: body.growLeaf(0, 0.5); break;
        case 2: body.resetFlower(0); break;
      }
    }
    expectSameAnswersAtParts(population);
  }
  EXPECT_GT(population.totalBirths(), 15);
  EXPECT_GT(population.totalDeaths(), 10);
}

TEST(PopulationIndex, ANewbornCountsOnlyOnceAdmitted) {
  mPlace place(nullptr, "Ostrel", 1);
  mSeed& mother = addIndividual(place, genome(false));
  ASSERT_TRUE(mother.body().makeFlower(0, 5.0, 1.0, 0, 0));
  mSeedList& population = place.population();
  auto child = std::make_unique<mSeed>(mother.genome(), &population, mother.id(), mPoint3D(3, 0, 0), 1, 1000.0);
  ASSERT_TRUE(child->body().makeFlower(0, 5.0, 1.0, 0, 0));
  const mSeed& newborn = *child;
  population.addNewborn(std::move(child));

  const mPoint3D nearChild(3, 0, 1.1), b(3, 0.5, 1.5);
  for (bool reference : {false, true}) {
    const Answers before = ask(population, mother, nearChild, b, 0.5, reference);
    EXPECT_EQ(before.weight, 0);
    EXPECT_TRUE(before.clear);
    EXPECT_TRUE(before.segmentClear);
  }
  population.endTurn();
  ASSERT_EQ(population.living().back().get(), &newborn);
  for (bool reference : {false, true}) {
    const Answers after = ask(population, mother, nearChild, b, 0.5, reference);
    EXPECT_EQ(after.weight, 1);
    EXPECT_FALSE(after.clear);
    EXPECT_FALSE(after.segmentClear);
  }
}

// A body that a saved population lists after another one it collides with is laid out
// without the colliding part: the earlier bodies are already in the index while it is read.
TEST(PopulationIndex, AReadPopulationIsIndexedAsItIsLaidOut) {
  mPlace original(nullptr, "Ostrel", 1);
  for (int k = 0; k < 3; ++k) {
    mSeed& seed = addIndividual(original, genome(false), mPoint3D(5 * k, 0, 0));
    ASSERT_TRUE(seed.body().makeLeaf(0, 1.0, 1.0, 0, 0));
    ASSERT_TRUE(seed.body().makeFlower(0, 5.0, 2.0, kPi / 3, k));
  }
  std::ostringstream out;
  out.precision(10);
  original.genePool().write(out);
  original.population().write(out);
  std::string saved = out.str();
  const size_t second = saved.find("\r\n5 0 0\r\n");
  ASSERT_NE(second, std::string::npos);
  saved.replace(second, 9, "\r\n0.2 0 0");

  std::string texts[2];
  for (bool reference : {false, true}) {
    mWorldSettings settings;
    settings.algorithms = reference ? mAlgorithms::kPlain : mAlgorithms::kFast;
    mPlace place(nullptr, "Ostrel", 1, settings);
    std::istringstream in(saved);
    ASSERT_TRUE(place.genePool().read(in));
    ASSERT_TRUE(place.population().read(in));
    for (const auto& seed : place.population().living()) texts[reference] += seed->body().text() + ";";
    EXPECT_EQ(place.population().living()[1]->body().leaves().size(), 0u);
    std::mt19937 random(4);
    if (!reference) expectSameAnswers(place.population(), random);
  }
  EXPECT_EQ(texts[0], texts[1]);
}

}  // namespace
