// The index of parts against the full scans it replaces: every body asked in turn.
#include "body/part_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "body/fake_body_owner.h"
#include "body/parameters.h"
#include "body/parts_list.h"
#include "tests/test_support.h"

namespace {

using vek::test::FakeBodyOwner;
using Bodies = std::vector<const mPartsList*>;

// The bodies with a flower in reach of p as the index names them, each once, or nothing when
// it cannot tell.
std::optional<Bodies> near(const mPartIndex& index, const mPoint3D& p, double reach) {
  std::vector<mPartIndex::FlowerNear> flowers;
  if (!index.flowersNear(p, reach, flowers)) return std::nullopt;
  Bodies bodies;
  for (const auto& flower : flowers) bodies.push_back(flower.body);
  std::sort(bodies.begin(), bodies.end());
  bodies.erase(std::unique(bodies.begin(), bodies.end()), bodies.end());
  return bodies;
}

// A flower in reach as (body, place among its flowers, squared distance).
using FlowerHit = std::tuple<const mPartsList*, int, double>;

std::string number(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.10f", value);
  return text;
}

// An owner that passes its body's notices of change on to an index, as the population does.
struct ReportingOwner : FakeBodyOwner {
  explicit ReportingOwner(const mPoint3D& root) : FakeBodyOwner(root) {}
  void bodyPartsChanged(const mPartsList& body, const mSphere* resized) override {
    if (!index) return;
    if (resized) index->updateSphere(body, *resized);
    else index->updateBody(body);
  }
  mPartIndex* index = nullptr;
};

// Plants of edges, nodes, leaves and flowers over the default field, some crowded together,
// each held by the index.
struct Plants {
  Plants(int count, unsigned seed) : random(seed) {
    for (int k = 0; k < count; ++k) add(mPoint3D(uniform(-38, 38), uniform(-38, 38), 0));
  }
  double uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); }
  std::string edge() { return "E<" + number(uniform(-2, 2)) + "," + number(uniform(-2, 2)) + "," + number(uniform(0.5, 3)) + ">"; }
  void add(const mPoint3D& root) {
    std::string text = "N";
    for (int t = static_cast<int>(uniform(1, 5)); t > 0; --t) {
      const double u = uniform(0, 1);
      const std::string tip = u < 0.3 ? "N" : (u < 0.7 ? "L<" : "F<") + number(uniform(0, 1.2)) + ">";
      text = "(" + text + edge() + tip + ")";
    }
    owners.push_back(std::make_unique<ReportingOwner>(root));
    bodies.push_back(std::make_unique<mPartsList>(owners.back().get(), text));
    index.addBody(*bodies.back());
  }
  void remove(size_t k) {
    index.removeBody(*bodies[k]);
    bodies.erase(bodies.begin() + static_cast<std::ptrdiff_t>(k));
    owners.erase(owners.begin() + static_cast<std::ptrdiff_t>(k));
  }
  bool scanClear(const mPoint3D& p, double m) const {
    for (const auto& body : bodies)
      if (!body->isClear(p, m)) return false;
    return true;
  }
  bool scanSegmentClear(const mPoint3D& a, const mPoint3D& b) const {
    for (const auto& body : bodies)
      if (!body->isSegmentClear(a, b)) return false;
    return true;
  }
  std::vector<FlowerHit> scanFlowersNear(const mPoint3D& p, double reach) const {
    std::vector<FlowerHit> near;
    for (const auto& body : bodies) {
      int place = 0;
      for (const auto& flower : body->flowers()) {
        const double d = mPoint3D::distance2(*flower->position(), p);
        if (d <= reach) near.emplace_back(body.get(), place, d);
        ++place;
      }
    }
    std::sort(near.begin(), near.end());
    return near;
  }

  // Random queries near and between the parts, and queries at the parts' own points, which
  // only the identity rules decide.
  void expectScanAnswers(int queries) {
    int blocked = 0;
    for (int q = 0; q < queries; ++q) {
      const mPoint3D p(uniform(-40, 40), uniform(-40, 40), uniform(0, 4));
      const mPoint3D b(p.x + uniform(-3, 3), p.y + uniform(-3, 3), uniform(0, 4));
      const double m = q % 10 == 0 ? -uniform(0, 1) : uniform(0, 1.5);
      const bool clear = scanClear(p, m);
      blocked += !clear;
      ASSERT_EQ(index.isClear(p, m), clear) << q;
      ASSERT_EQ(index.isSegmentClear(p, b), scanSegmentClear(p, b)) << q;
      const double reach = uniform(0, 40);
      // Exactly the flowers in reach, each once, with the distances the scan measures, bit
      // for bit.
      std::vector<mPartIndex::FlowerNear> flowers = {{bodies.front().get(), 0, 0, 0}};  // emptied
      ASSERT_TRUE(index.flowersNear(p, reach, flowers));
      std::vector<FlowerHit> found;
      for (const auto& flower : flowers) {
        found.emplace_back(flower.body, flower.place, flower.distance2);
        ASSERT_EQ(flower.slot, flower.body->indexSlot());
      }
      std::sort(found.begin(), found.end());
      ASSERT_EQ(found, scanFlowersNear(p, reach)) << q;
    }
    EXPECT_GT(blocked, 0);
    for (const auto& body : bodies) {
      for (const auto& leaf : body->leaves())
        ASSERT_EQ(index.isClear(*leaf->position(), 0.3), scanClear(*leaf->position(), 0.3));
      for (const auto& flower : body->flowers())
        ASSERT_EQ(index.isClear(*flower->position(), 2.0), scanClear(*flower->position(), 2.0));
      for (const auto& edge : body->edges()) {
        ASSERT_EQ(index.isSegmentClear(*edge->start(), *edge->end()), scanSegmentClear(*edge->start(), *edge->end()));
        ASSERT_EQ(index.isClear(*edge->end(), 0.1), scanClear(*edge->end(), 0.1));
      }
    }
  }

  std::mt19937 random;
  std::vector<std::unique_ptr<ReportingOwner>> owners;
  std::vector<std::unique_ptr<mPartsList>> bodies;
  mPartIndex index;
};

TEST(PartIndex, AnswersAsTheFullScansDo) {
  Plants plants(400, 1);
  for (int k = 0; k < 30; ++k) plants.add(mPoint3D(plants.uniform(-1, 1), plants.uniform(-1, 1), 0));
  plants.expectScanAnswers(3000);
}

TEST(PartIndex, FollowsCutEdgesResetFlowersGrowthAndDeaths) {
  Plants plants(150, 2);
  for (int round = 0; round < 8; ++round) {
    SCOPED_TRACE(round);
    for (size_t k = round % 3; k < plants.bodies.size(); k += 3) {
      mPartsList& body = *plants.bodies[k];
      switch ((k + static_cast<size_t>(round)) % 4) {
        case 0: body.cutEdge(static_cast<int>(plants.random() % 4)); break;
        case 1: body.resetFlower(static_cast<int>(plants.random() % 2)); break;
        case 2: body.growLeaf(0, plants.uniform(-1, 3)); break;
        case 3: body.makeFlower(0, 0.0, plants.uniform(0.5, 2), plants.uniform(0, 1), plants.uniform(0, 6)); break;
      }
      plants.index.updateBody(body);
    }
    for (int d = 0; d < 10; ++d) plants.remove(plants.random() % plants.bodies.size());
    plants.expectScanAnswers(300);
  }
}

TEST(PartIndex, FollowsTheLeavesAndFlowersABodyGrowsShrinksAndEmpties) {
  Plants plants(150, 3);
  for (auto& owner : plants.owners) owner->index = &plants.index;
  for (int round = 0; round < 8; ++round) {
    SCOPED_TRACE(round);
    for (size_t k = round % 2; k < plants.bodies.size(); k += 2) {
      mPartsList& body = *plants.bodies[k];
      const int which = static_cast<int>(plants.random() % 3);
      switch ((k + static_cast<size_t>(round)) % 3) {
        case 0: body.growLeaf(which, plants.uniform(-3, 3)); break;
        case 1: body.growFlower(which, plants.uniform(-3, 3)); break;
        case 2: body.resetFlower(which); break;
      }
    }
    plants.expectScanAnswers(300);
  }
}

TEST(PartIndex, ACutPartOrAnEmptiedFlowerNoLongerBlocks) {
  mPartIndex index;
  FakeBodyOwner owner(mPoint3D(0, 0, 0));
  mPartsList body(&owner, "((NE<0,0,1>L<0.5>)E<3,0,1>F<0.5>)");
  index.addBody(body);
  const Bodies justThisBody = {&body}, none;
  const mPoint3D nearLeaf(0.2, 0, 1.2), nearFlower(3.2, 0, 1.2);
  EXPECT_EQ(index.isClear(nearLeaf, 0.1), false);
  EXPECT_EQ(index.isClear(nearFlower, 0.1), false);
  EXPECT_EQ(near(index, nearFlower, 1), justThisBody);

  body.resetFlower(0);
  index.updateBody(body);
  EXPECT_EQ(index.isClear(nearFlower, 0.1), true);
  // The emptied flower's point still stands, and so does the edge to it.
  EXPECT_EQ(near(index, nearFlower, 1), justThisBody);
  EXPECT_EQ(index.isClear(mPoint3D(1.5, 0, 0.5), 0.1), false);

  body.cutEdge(0);  // the leaf's edge
  index.updateBody(body);
  EXPECT_EQ(index.isClear(nearLeaf, 0.1), true);
  EXPECT_EQ(index.isClear(mPoint3D(1.5, 0, 0.5), 0.1), false);

  index.removeBody(body);
  EXPECT_FALSE(index.holds(body));
  EXPECT_EQ(index.isClear(mPoint3D(1.5, 0, 0.5), 0.1), true);
  EXPECT_EQ(near(index, nearFlower, 1), none);
}

TEST(PartIndex, TheEdgeEndingInAPointNeverBlocksIt) {
  mPartIndex index;
  FakeBodyOwner owner(mPoint3D(0, 0, 0));
  mPartsList body(&owner, "(NE<0,0,1>L<0.5>)");
  index.addBody(body);
  const mLeaf& leaf = *body.leaves()[0];
  const mEdge& edge = *body.edges()[0];
  const mPoint3D copy = *leaf.position();
  // The leaf's own point clears the leaf and the edge ending in it; an equal point does not.
  EXPECT_EQ(index.isClear(*leaf.position(), 0.2), true);
  EXPECT_EQ(index.isClear(copy, 0.2), false);
  EXPECT_EQ(index.isSegmentClear(*edge.start(), *leaf.position()), true);
  EXPECT_EQ(index.isSegmentClear(*edge.start(), copy), false);
}

TEST(PartIndex, OutlandishPartsAndQueries) {
  // Huge, and far beyond the grid's frame (laid out while the field was larger): kept apart
  // or in the outermost buckets, but still tested.
  FakeBodyOwner farOwner(mPoint3D(5, 5, 0));
  mPartsList giant(&farOwner, "(NE<0,0,11>L<10>)");
  Parameters larger;
  larger.mField_N = 3000;
  FakeBodyOwner owner(larger, mPoint3D(30, 30, 0));
  mPartsList outside(&owner, "(NE<100,0,1>F<0.5>)");
  ASSERT_EQ(giant.leaves().size(), 1u);
  ASSERT_EQ(outside.flowers().size(), 1u);
  mPartIndex index;
  index.addBody(giant);
  index.addBody(outside);
  const Bodies justOutside = {&outside}, none;
  EXPECT_EQ(index.isClear(mPoint3D(5, 5, 2), 1), false);
  EXPECT_EQ(index.isClear(mPoint3D(20, 5, 11), 1), true);
  EXPECT_EQ(index.isClear(mPoint3D(130.2, 30, 1), 0.1), false);
  EXPECT_EQ(near(index, mPoint3D(129, 30, 1), 2), justOutside);

  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(index.isClear(mPoint3D(0, 0, 0), nan));
  EXPECT_FALSE(index.isClear(mPoint3D(1e60, 0, 0), 1));
  EXPECT_FALSE(index.isSegmentClear(mPoint3D(0, 0, 0), mPoint3D(nan, 0, 0)));
  EXPECT_FALSE(near(index, mPoint3D(0, 0, 0), std::numeric_limits<double>::infinity()));
  EXPECT_EQ(near(index, mPoint3D(130, 30, 1), -1), none);
  EXPECT_EQ(near(index, mPoint3D(130, 30, 1), nan), none);
  index.removeBody(giant);
  EXPECT_EQ(index.isClear(mPoint3D(5, 5, 2), 1), true);

  // A moved field leaves the grid's frame behind, not the answers.
  Parameters moved;
  EXPECT_TRUE(index.fitsParameters(moved));
  moved.mField_min_x = 20;
  EXPECT_FALSE(index.fitsParameters(moved));
  EXPECT_EQ(index.isClear(mPoint3D(130.2, 30, 1), 0.1), false);
  index.clear(moved);
  EXPECT_TRUE(index.fitsParameters(moved));
  EXPECT_EQ(index.bodyCount(), 0u);
}

}  // namespace
