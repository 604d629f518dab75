#include "body/parts_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>

#include "body/fake_body_owner.h"
#include "body/parameters.h"
#include "base/random.h"
#include "base/text_io.h"
#include "tests/test_support.h"

namespace {

using vek::test::FakeBodyOwner;
using vek::test::FakeBodyPopulation;

double leafCalorieOf(double radius) { return 4.0 / 3.0 * kPi * radius * radius * radius; }
double flowerCalorieOf(double radius) { return leafCalorieOf(radius) * kBuiltInParameters.mFlower_calorie; }

size_t count(const std::string& text, char letter) {
  size_t n = 0;
  for (char c : text) n += c == letter;
  return n;
}

// Letters and vectors agree, every edge starts at a node and ends at the very point of a
// node, leaf or flower, and every part but the root node stands at the end of one edge.
void expectInStep(const mPartsList& body) {
  const std::string text = body.text();
  ASSERT_EQ(count(text, 'N'), body.nodes().size()) << text;
  ASSERT_EQ(count(text, 'E'), body.edges().size()) << text;
  ASSERT_EQ(count(text, 'L'), body.leaves().size()) << text;
  ASSERT_EQ(count(text, 'F'), body.flowers().size()) << text;
  std::set<const mPoint3D*> nodePoints, tipPoints;
  for (const auto& n : body.nodes()) nodePoints.insert(n->position());
  for (size_t i = 1; i < body.nodes().size(); ++i) tipPoints.insert(body.nodes()[i]->position());
  for (const auto& l : body.leaves()) tipPoints.insert(l->position());
  for (const auto& f : body.flowers()) tipPoints.insert(f->position());
  std::set<const mPoint3D*> ends;
  for (const auto& e : body.edges()) {
    EXPECT_TRUE(nodePoints.count(e->start())) << text;
    EXPECT_TRUE(tipPoints.count(e->end())) << text;
    ends.insert(e->end());
  }
  EXPECT_EQ(ends, tipPoints) << text;
}

std::string partsText(const mPartsList& body) {
  std::ostringstream out;
  body.writeParts(out);
  return out.str();
}

TEST(PartsList, GrowthEditsTextAndVectorsTogether) {
  FakeBodyOwner owner;
  mPartsList body(&owner, "N");
  ASSERT_EQ(body.nodes().size(), 1u);
  EXPECT_EQ(body.nodes()[0]->position()->z, 0);
  EXPECT_NE(body.nodes()[0]->position(), owner.bodyRoot());  // the body owns a copy

  ASSERT_TRUE(body.makeNode(0, 1, 0, 0));
  EXPECT_EQ(body.text(), "(NE<0.0000000000,0.0000000000,1.0000000000>N)");
  ASSERT_TRUE(body.makeLeaf(1, leafCalorieOf(0.5), 1, kPi / 2, 0));
  EXPECT_EQ(body.text(),
            "(NE<0.0000000000,0.0000000000,1.0000000000>"
            "(NE<1.0000000000,0.0000000000,0.0000000000>L<0.5000000000>))");
  EXPECT_EQ(body.edges()[1]->start(), body.nodes()[1]->position());
  EXPECT_EQ(body.edges()[1]->end(), body.leaves()[0]->position());
  EXPECT_NEAR(body.leaves()[0]->position()->x, 1, 1e-12);
  EXPECT_NEAR(body.leafCalorie(), leafCalorieOf(0.5), 1e-12);

  // Growing from node 0 puts the new group first: every vector shifts behind it.
  ASSERT_TRUE(body.makeFlower(0, flowerCalorieOf(0.1), 2, kPi / 4, kPi));
  EXPECT_EQ(body.text().substr(0, 5), "((NE<");
  ASSERT_EQ(body.flowers().size(), 1u);
  EXPECT_EQ(body.edges()[0]->end(), body.flowers()[0]->position());
  EXPECT_EQ(body.edges()[1]->end(), body.nodes()[1]->position());
  EXPECT_EQ(body.edges()[2]->end(), body.leaves()[0]->position());
  ASSERT_TRUE(body.makeNode(0, 1, kPi / 2, kPi / 2));
  EXPECT_EQ(body.nodes()[1]->position()->y, body.nodes()[0]->position()->y + 1);
  EXPECT_EQ(body.edges()[0]->end(), body.nodes()[1]->position());
  expectInStep(body);
  EXPECT_EQ(body.flowerAt(0), body.flowers()[0].get());
}

TEST(PartsList, IndicesWrapAndNegativeOnesRefuse) {
  FakeBodyOwner owner;
  mPartsList body(&owner, "N");
  ASSERT_TRUE(body.makeNode(7, 1, 0, 0));  // 7 mod 1: from node 0
  EXPECT_EQ(body.edges()[0]->start(), body.nodes()[0]->position());
  const std::string before = body.text();
  EXPECT_FALSE(body.makeNode(-1, 1, kPi / 2, 0));
  EXPECT_FALSE(body.makeLeaf(-2, 1, 1, kPi / 2, 0));
  EXPECT_FALSE(body.growLeaf(0, 1));  // no leaves yet
  EXPECT_FALSE(body.growFlower(0, 1));
  EXPECT_FALSE(body.resetFlower(0));
  EXPECT_FALSE(body.cutEdge(-1));
  EXPECT_EQ(body.text(), before);

  ASSERT_TRUE(body.makeLeaf(1, leafCalorieOf(0.2), 1, kPi / 2, 0));
  ASSERT_TRUE(body.makeLeaf(1, leafCalorieOf(0.2), 1, kPi / 2, kPi));
  EXPECT_FALSE(body.growLeaf(-1, 1));
  ASSERT_TRUE(body.growLeaf(5, leafCalorieOf(0.3) - leafCalorieOf(0.2)));  // 5 mod 2
  EXPECT_NEAR(body.leaves()[1]->radius(), 0.3, 1e-12);
  EXPECT_NEAR(body.leaves()[0]->radius(), 0.2, 1e-12);
  EXPECT_NE(body.text().find("L<0.3000000000>"), std::string::npos);

  ASSERT_TRUE(body.makeFlower(0, 0, 1, kPi / 2, kPi / 2));
  EXPECT_EQ(body.flowerAt(1), nullptr);  // no wrap-around here
  EXPECT_EQ(body.flowerAt(-1), nullptr);
  EXPECT_FALSE(body.resetFlower(-1));
  EXPECT_TRUE(body.cutEdge(3 + 4 * static_cast<int>(body.edges().size())));
  expectInStep(body);
}

TEST(PartsList, AffordabilityBoundaries) {
  Parameters p;
  p.mPartsList_tolerance_energy = 1.0;
  FakeBodyOwner owner(p, mPoint3D(0, 0, 1));
  FakeBodyPopulation population;
  mPartsList body(&owner, "N");
  population.bodies = {&body};
  owner.population = &population;

  const double w = mPartsList::edgeCalorieFor(p, 1);
  EXPECT_DOUBLE_EQ(w, kPi * 0.25);
  const double need = w * p.mEdge_keep_calorie + w + 2.0;
  owner.energy = std::nextafter(need, 0.0);
  EXPECT_FALSE(body.makeLeaf(0, 2.0, 1, kPi / 2, 0));
  owner.energy = need;  // "at least": exactly enough is enough
  EXPECT_TRUE(body.makeLeaf(0, 2.0, 1, kPi / 2, 0));

  owner.energy = 0.5;
  EXPECT_FALSE(body.growLeaf(0, std::nextafter(0.5, 1.0)));
  EXPECT_TRUE(body.growLeaf(0, 0.5));

  // A body in no population is never refused for energy, but a too short edge always is.
  owner.population = nullptr;
  owner.energy = -100;
  EXPECT_TRUE(body.growLeaf(0, 1.0));
  EXPECT_FALSE(body.makeNode(0, 0.0005, 0, 0));
  EXPECT_FALSE(body.makeNode(0, 0.0, 0, 0));
  EXPECT_TRUE(body.makeNode(0, p.mSeedList_min_r, kPi, 0));
  EXPECT_TRUE(body.makeNode(0, -0.5, 0, 0));  // pointing down to z = 0.5
  EXPECT_NEAR(body.nodes()[1]->position()->z, 0.5, 1e-12);
  expectInStep(body);
}

TEST(PartsList, PlacementAgainstGroundFieldAndOwnParts) {
  FakeBodyOwner owner;
  mPartsList body(&owner, "N");
  // A sphere reaching below the ground is refused; a node on the ground is not.
  EXPECT_FALSE(body.makeLeaf(0, leafCalorieOf(0.5), 1, kPi / 2, 0));
  EXPECT_EQ(body.text(), "N");
  EXPECT_TRUE(body.makeNode(0, 1, kPi / 2, 0));
  // A leaf holding no energy has radius 0 and passes once its edge is clear.
  EXPECT_TRUE(body.makeLeaf(0, 0.0, 1, kPi / 2, kPi));
  EXPECT_NE(body.text().find("L<0.0000000000>"), std::string::npos);
  // Tips outside the field are refused.
  EXPECT_FALSE(body.makeNode(0, 100, kPi / 2, 0));
  EXPECT_FALSE(body.makeNode(0, 1, kPi, 0));  // below the ground
  expectInStep(body);

  // A leaf at (1, 0, 3), one unit from the stem: it may grow up to that unit, not past it.
  mPartsList tree(&owner, "N");
  ASSERT_TRUE(tree.makeNode(0, 3, 0, 0));
  ASSERT_TRUE(tree.makeLeaf(1, leafCalorieOf(0.5), 1, kPi / 2, 0));
  EXPECT_TRUE(tree.leaves()[0]->clearOf(tree.edges()[1]->end(), 100));  // its own centre
  EXPECT_TRUE(tree.isClear(*tree.leaves()[0]->position(), 0.99));
  const mPoint3D copy(*tree.leaves()[0]->position());
  EXPECT_FALSE(tree.isClear(copy, 0.01));  // an equal point of another object
  const std::string before = tree.text();
  EXPECT_FALSE(tree.growLeaf(0, leafCalorieOf(1.1) - leafCalorieOf(0.5)));
  EXPECT_EQ(tree.text(), before);
  EXPECT_NEAR(tree.leaves()[0]->radius(), 0.5, 1e-12);
  EXPECT_TRUE(tree.growLeaf(0, leafCalorieOf(0.9) - leafCalorieOf(0.5)));
  // No edge may pass through the leaf.
  EXPECT_FALSE(tree.makeNode(0, 5, std::atan2(1.0, 3.0), 0));
  EXPECT_TRUE(tree.makeNode(1, 1, kPi / 2, kPi / 2));
  expectInStep(tree);
}

TEST(PartsList, ClearanceAsksEveryBodyOfThePopulation) {
  FakeBodyPopulation population;
  FakeBodyOwner ownerA(mPoint3D(0, 0, 0), "61-1-0"), ownerB(mPoint3D(1, 0, 0), "61-2-0");
  mPartsList a(&ownerA, "N");
  ASSERT_TRUE(a.makeLeaf(0, leafCalorieOf(0.3), std::sqrt(2.0), kPi / 4, 0));  // leaf at (1,0,1)
  mPartsList b(&ownerB, "N");
  population.bodies = {&a, &b};
  ownerA.population = &population;
  ownerB.population = &population;

  EXPECT_FALSE(b.makeNode(0, 2, 0, 0));  // its edge would pierce a's leaf
  EXPECT_FALSE(b.makeLeaf(0, leafCalorieOf(0.3), std::sqrt(0.5), kPi / 4, kPi));  // on a's edge
  EXPECT_EQ(b.text(), "N");
  EXPECT_TRUE(b.makeNode(0, 2, kPi / 4, kPi / 2));

  // The same growth, tested against itself only, succeeds.
  ownerB.population = nullptr;
  EXPECT_TRUE(b.makeNode(0, 2, 0, 0));
  // A body is parsed against the population too: a's leaf blocks this edge.
  ownerB.population = &population;
  mPartsList c(&ownerB, "(NE<0,0,2>N)");
  EXPECT_EQ(c.text(), "N");
}

TEST(PartsList, CutEdgeRemovesTheGroupBeyondTheEdge) {
  FakeBodyOwner owner;
  mPartsList single(&owner, "(NE<0.0000000000,0.0000000000,1.0000000000>N)");
  ASSERT_TRUE(single.cutEdge(0));
  EXPECT_EQ(single.text(), "N");
  EXPECT_EQ(single.nodes().size(), 1u);
  EXPECT_TRUE(single.edges().empty());

  mPartsList chain(&owner, "(NE<0,0,1>(NE<1,0,0>L<0.3>))");
  ASSERT_EQ(chain.leaves().size(), 1u);
  ASSERT_TRUE(chain.cutEdge(0));
  EXPECT_EQ(chain.text(), "N");
  EXPECT_EQ(chain.nodes().size(), 1u);
  EXPECT_TRUE(chain.edges().empty());
  EXPECT_TRUE(chain.leaves().empty());

  mPartsList branches(&owner, "((NE<1,0,1>L<0.3>)E<-1,0,1>N)");
  ASSERT_EQ(branches.edges().size(), 2u);
  ASSERT_TRUE(branches.cutEdge(1));
  EXPECT_EQ(branches.text(), "(NE<1,0,1>L<0.3>)");
  ASSERT_EQ(branches.leaves().size(), 1u);
  EXPECT_EQ(branches.edges()[0]->end(), branches.leaves()[0]->position());
  expectInStep(branches);

  // A middle edge: its tip's subtree goes, the branches before and after it stay.
  mPartsList tree(&owner, "N");
  ASSERT_TRUE(tree.makeNode(0, 1, 0, 0));
  ASSERT_TRUE(tree.makeFlower(1, flowerCalorieOf(0.1), 1, kPi / 2, 0));
  ASSERT_TRUE(tree.makeLeaf(1, leafCalorieOf(0.2), 1, kPi / 2, kPi));
  ASSERT_TRUE(tree.makeNode(0, 1, kPi / 2, kPi / 2));
  ASSERT_TRUE(tree.makeLeaf(0, leafCalorieOf(0.2), 1, kPi / 4, -kPi / 2));
  expectInStep(tree);
  // Edges in text order: root leaf, root node (y), stem, stem leaf, stem flower.
  const mPoint3D* keptLeaf = tree.leaves()[0]->position();
  ASSERT_TRUE(tree.cutEdge(2));
  expectInStep(tree);
  EXPECT_EQ(tree.edges().size(), 2u);
  EXPECT_EQ(tree.nodes().size(), 2u);
  ASSERT_EQ(tree.leaves().size(), 1u);
  EXPECT_EQ(tree.leaves()[0]->position(), keptLeaf);
  EXPECT_TRUE(tree.flowers().empty());
}

TEST(PartsList, GrowResetAndMeasures) {
  FakeBodyOwner owner;
  mPartsList body(&owner, "N");
  ASSERT_TRUE(body.makeNode(0, 2, 0, 0));
  ASSERT_TRUE(body.makeFlower(1, flowerCalorieOf(0.2), 1, kPi / 2, 0));
  ASSERT_TRUE(body.makeLeaf(1, 3.0, 1.5, kPi / 2, kPi));
  ASSERT_TRUE(body.growLeaf(0, 1.5));
  EXPECT_NEAR(body.leafCalorie(), 4.5, 1e-12);
  EXPECT_NEAR(body.leafKeep(), 4.5 * kBuiltInParameters.mLeaf_keep_calorie, 1e-12);
  EXPECT_NEAR(body.flowerCalorie(), flowerCalorieOf(0.2), 1e-9);
  EXPECT_NEAR(body.flowerVolume(), leafCalorieOf(0.2), 1e-12);
  EXPECT_NEAR(body.flowerKeep(), flowerCalorieOf(0.2) * kBuiltInParameters.mFlower_keep_calorie, 1e-9);
  const double edges = kPi * kBuiltInParameters.mEdge_radius * kBuiltInParameters.mEdge_radius * (2 + 1 + 1.5);
  EXPECT_NEAR(body.edgeVolume(), edges, 1e-12);
  EXPECT_NEAR(body.edgeCalorie(), edges * kBuiltInParameters.mEdge_calorie, 1e-12);
  EXPECT_NEAR(body.edgeKeep(), edges * kBuiltInParameters.mEdge_keep_calorie, 1e-12);
  EXPECT_NEAR(body.totalCalorie(), flowerCalorieOf(0.2) + edges + 4.5 + kBuiltInParameters.mSeed_calorie, 1e-9);
  EXPECT_NEAR(body.totalKeep(),
              body.flowerKeep() + body.edgeKeep() + body.leafKeep() + kBuiltInParameters.mSeed_keep_calorie,
              1e-12);
  EXPECT_NEAR(body.totalVolume(),
              body.leafVolume() + body.flowerVolume() + body.edgeVolume() + kBuiltInParameters.mSeed_volume,
              1e-12);

  // A loss beyond the content leaves radius 0, written as such.
  ASSERT_TRUE(body.growFlower(0, -1e9));
  EXPECT_EQ(body.flowers()[0]->radius(), 0);
  EXPECT_NE(body.text().find("F<0.0000000000>"), std::string::npos);
  EXPECT_EQ(body.flowerCalorie(), 0);

  ASSERT_TRUE(body.growFlower(0, flowerCalorieOf(0.25)));
  ASSERT_TRUE(body.resetFlower(0));
  EXPECT_EQ(body.flowers()[0]->radius(), 0);
  EXPECT_NE(body.text().find("F<0.0000000000>"), std::string::npos);
  expectInStep(body);

  const mPartsList bare(&owner, "N");
  EXPECT_EQ(bare.totalCalorie(), kBuiltInParameters.mSeed_calorie);
  EXPECT_EQ(bare.leafVolume(), 0);
}

// The keeps are kept between changes: after every change of the body, and of a parameter they
// depend on, they must be the sums over the parts as they stand, bit for bit.
TEST(PartsList, UpkeepFollowsEveryChangeAndParameter) {
  Parameters p;
  FakeBodyOwner owner(p, mPoint3D());
  mPartsList body(&owner, "N");
  auto expectFreshSums = [&](const char* after) {
    SCOPED_TRACE(after);
    double flowers = 0, leaves = 0, edges = 0;
    for (const auto& f : body.flowers()) flowers += f->keep();
    for (const auto& l : body.leaves()) leaves += l->keep();
    for (const auto& e : body.edges()) edges += e->keep();
    EXPECT_EQ(body.flowerKeep(), flowers);
    EXPECT_EQ(body.leafKeep(), leaves);
    EXPECT_EQ(body.edgeKeep(), edges);
    EXPECT_EQ(body.totalKeep(), flowers + edges + leaves + p.mSeed_keep_calorie);
  };
  expectFreshSums("nothing");
  ASSERT_TRUE(body.makeNode(0, 2, 0, 0));
  expectFreshSums("makeNode");
  ASSERT_TRUE(body.makeFlower(1, 0.3, 1, kPi / 2, 0));
  expectFreshSums("makeFlower");
  ASSERT_TRUE(body.makeLeaf(1, 3.0, 1.5, kPi / 2, kPi));
  expectFreshSums("makeLeaf");
  ASSERT_TRUE(body.growLeaf(0, 1.5));
  expectFreshSums("growLeaf");
  ASSERT_TRUE(body.growFlower(0, 0.2));
  expectFreshSums("growFlower");
  p.mLeaf_keep_calorie *= 3;
  p.mEdge_radius = 0.25;
  expectFreshSums("parameters");
  p.mFlower_calorie = 2;
  expectFreshSums("flower calorie");
  ASSERT_TRUE(body.resetFlower(0));
  expectFreshSums("resetFlower");
  ASSERT_TRUE(body.cutEdge(1));
  expectFreshSums("cutEdge");
  std::istringstream block("/*mPartsList start*/\n(NE<0,0,1>L<0.5>)\n0\n0\n/*mPartsList end*/\n");
  body.read(block);
  ASSERT_EQ(body.leaves().size(), 1u);
  expectFreshSums("read");
}

TEST(PartsList, SnapshotLines) {
  FakeBodyOwner owner(mPoint3D(1.5, -3.25, 0), "3-12-7");
  mPartsList body(&owner, "((NE<0,0,0.4>L<0.05>)E<0,0.5,0.5>F<0.125>)");
  ASSERT_EQ(body.leaves().size(), 1u);
  ASSERT_EQ(body.flowers().size(), 1u);
  EXPECT_EQ(partsText(body),
            "E 1.500000 -3.250000 0.000000 1.500000 -3.250000 0.400000 3-12-7\r\n"
            "E 1.500000 -3.250000 0.000000 1.500000 -2.750000 0.500000 3-12-7\r\n"
            "L 1.500000 -3.250000 0.400000 0.0500000000 1.500000 -3.250000 0.000000 3-12-7\r\n"
            "F 1.500000 -2.750000 0.500000 0.1250000000 1.500000 -3.250000 0.000000 3-12-7\r\n");
  EXPECT_EQ(body.nodes()[0]->snapshotLine(), "N 1.500000 -3.250000 0.000000 3-12-7");
}

TEST(PartsList, GrownBodySurvivesWriteAndRead) {
  Parameters p;
  FakeBodyOwner owner(p, mPoint3D(0.3, -0.7, 0));
  mPartsList body(&owner, "N");
  ASSERT_TRUE(body.makeNode(0, 1.7, 0.3, 0.4));
  ASSERT_TRUE(body.makeLeaf(1, 0.9, 1.1, 1.2, 2.1));
  ASSERT_TRUE(body.makeFlower(1, 2.5, 0.8, 0.9, -1.4));
  ASSERT_TRUE(body.makeNode(1, 1.3, 0.2, 0.1));
  ASSERT_TRUE(body.makeLeaf(2, 0.4, 0.9, 1.4, 0.7));
  ASSERT_TRUE(body.makeNode(0, 1.2, 1.0, 3.0));
  ASSERT_TRUE(body.makeLeaf(0, 0.5, 1.0, 0.7, -2.0));
  ASSERT_TRUE(body.growLeaf(1, 0.2));
  ASSERT_TRUE(body.growFlower(0, -1.0));
  ASSERT_TRUE(body.cutEdge(1));
  ASSERT_TRUE(body.makeFlower(2, 1.0, 0.7, 0.5, 1.0));
  expectInStep(body);
  body.leaves()[0]->setLight(0.25);
  body.sumLeafLight();

  std::ostringstream out;
  vek::useWorldNumberFormat(out);
  body.write(out);
  EXPECT_EQ(out.str(), "/*mPartsList start*/\r\n" + body.text() + "\r\n0.25\r\n0\r\n/*mPartsList end*/\r\n");

  mPartsList copy(&owner);
  EXPECT_EQ(copy.text(), "");
  std::istringstream in(out.str());
  copy.read(in);
  ASSERT_TRUE(in);
  EXPECT_EQ(copy.text(), body.text());
  EXPECT_EQ(copy.leafLight(), 0.25);
  EXPECT_EQ(partsText(copy), partsText(body));
  ASSERT_EQ(copy.edges().size(), body.edges().size());
  for (size_t i = 0; i < body.edges().size(); ++i) {
    EXPECT_NEAR(mPoint3D::distance2(*copy.edges()[i]->end(), *body.edges()[i]->end()), 0, 1e-18);
  }
  for (size_t i = 0; i < body.leaves().size(); ++i) {
    EXPECT_NEAR(copy.leaves()[i]->radius(), body.leaves()[i]->radius(), 1e-10);
  }
  expectInStep(copy);
  EXPECT_NEAR(copy.totalKeep(), body.totalKeep(), 1e-8);
}

TEST(PartsList, ReadOfABrokenBlockLeavesAnEmptyBodyAndFailsTheStream) {
  FakeBodyOwner owner;
  for (const char* block : {"/*mPartsList start*/\r\n(NE<0,0,1>N\r\n0\r\n0\r\n/*mPartsList end*/\r\n",
                            "/*mPartsList start*/\r\n(NE<0,0,1>N)\r\n0\r\n",
                            "/*mPartsList start*/\r\n"}) {
    mPartsList body(&owner, "N");
    std::istringstream in(block);
    body.read(in);
    EXPECT_TRUE(in.fail()) << block;
    EXPECT_EQ(body.text(), "");
    EXPECT_TRUE(body.nodes().empty());
    EXPECT_FALSE(body.makeNode(0, 1, 0, 0));
  }
}

TEST(PartsList, GroupsThatCannotBeLaidOutLeaveTheText) {
  Parameters p;
  FakeBodyOwner owner(p, mPoint3D(-10, 0, 0));
  mPartsList body(&owner, "N");
  ASSERT_TRUE(body.makeNode(0, 20, kPi / 2, 0));                     // node at (10, 0, 0)
  ASSERT_TRUE(body.makeLeaf(1, leafCalorieOf(0.3), 1, 0, 0));        // leaf at (10, 0, 1)
  ASSERT_TRUE(body.makeNode(0, 1, 0, 0));                            // node at (-10, 0, 1)
  ASSERT_TRUE(body.makeLeaf(1, leafCalorieOf(0.3), 1, kPi / 2, kPi));  // leaf at (-11, 0, 1)
  std::ostringstream out;
  body.write(out);

  // The world is reloaded with a field that now ends at x = 0: the group reaching x = 10
  // is dropped from the text, so the letters after it still name parts that exist.
  p.mField_N = 500;
  mPartsList reloaded(&owner);
  std::istringstream in(out.str());
  reloaded.read(in);
  ASSERT_TRUE(in);
  EXPECT_EQ(reloaded.text(),
            "(NE<0.0000000000,0.0000000000,1.0000000000>"
            "(NE<-1.0000000000,0.0000000000,0.0000000000>L<0.3000000000>))");
  expectInStep(reloaded);
  EXPECT_EQ(reloaded.leaves()[0]->position()->x, -11);
  for (int k = 0; k < 4; ++k) EXPECT_TRUE(reloaded.growLeaf(k, 0.01));
  EXPECT_TRUE(reloaded.makeFlower(2, 0, 1, 0, 0));
  EXPECT_TRUE(reloaded.cutEdge(5));
  expectInStep(reloaded);

  // A refused sphere takes its edge with it; a dropped group takes all it holds.
  mPartsList low(&owner, "((NE<0,0,0.2>L<0.5>)E<0,0,1>N)");
  EXPECT_EQ(low.text(), "(NE<0,0,1>N)");
  expectInStep(low);
  mPartsList outside(&owner, "((NE<90,0,0>(NE<0,0,1>(NE<1,0,0>L<0.3>)))E<0,0,1>F<0.1>)");
  EXPECT_EQ(outside.text(), "(NE<0,0,1>F<0.1>)");
  expectInStep(outside);
}

TEST(PartsList, TextsOutsideTheGrammarRaiseTheParseError) {
  FakeBodyOwner owner;
  for (const char* text :
       {"X", " N", "N ", "(N", "N)", "NN", "()", "(N)", "(NE<0,0,1>)", "(NE<0,0>N)",
        "(NE<0,0,1N)", "(NE<0,0,1>N", "(NE<a,0,1>N)", "(NE<nan,0,1>N)", "(NE<1E1,0,1>N)",
        "(NE<,0,1>N)", "(NE<+-1,0,1>N)", "(NE<0,0,1>L<>)", "(NE<0,0,1>L<0.5", "(NL<0.5>)",
        "((((((((", "(NE<0,0,1>N)N", "(NE<0,0,1>L<0.2>N)", "(NE<90,0,0>X)"}) {
    try {
      mPartsList body(&owner, text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const BodyParseError& error) {
      EXPECT_STREQ(error.what(), "おかしい");
      EXPECT_EQ(error.cp932(), "\x82\xa8\x82\xa9\x82\xb5\x82\xa2");
    }
  }
  // Nesting of any depth is walked without recursion.
  std::string deep(100000, '(');
  EXPECT_THROW(mPartsList(&owner, deep), BodyParseError);
  std::string chain(20000, '(');
  chain += "N";
  for (int i = 0; i < 20000; ++i) chain += "E<0,0,0.001>N)";
  const mPartsList tall(&owner, chain);
  EXPECT_EQ(tall.nodes().size(), 20001u);
  EXPECT_EQ(tall.text(), chain);

  // Without a root there is nothing to lay out; every growth refuses.
  mPartsList orphan(nullptr, "(NE<0,0,1>N)");
  EXPECT_TRUE(orphan.nodes().empty());
  EXPECT_FALSE(orphan.makeNode(0, 1, 0, 0));
  EXPECT_FALSE(orphan.cutEdge(0));
}

}  // namespace
