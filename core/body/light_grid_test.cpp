// The fast light computation against the plain one: same bodies, same parameters, the same
// light for every part and cell and the same occupancy, bit for bit, turn after turn, as
// bodies grow, lose parts and the parameters change.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "body/fake_body_owner.h"
#include "body/field.h"
#include "body/parameters.h"
#include "body/parts_list.h"
#include "body/world_settings.h"
#include "tests/test_support.h"

namespace {

using vek::test::FakeBodyOwner;

// A 200 x 200 grid of cells 0.1 wide from (-10, -10), small enough to compare every cell.
Parameters testField() {
  Parameters p;
  p.mField_N = 200;
  p.mField_min_x = -10;
  p.mField_min_y = -10;
  p.mField_haba = 0.1;
  return p;
}

// Two fields under the same parameters, one computing the fast way and one the plain way.
struct TwinFields {
  explicit TwinFields(const Parameters& p) {
    fastSettings.parameters = p;
    plainSettings.parameters = p;
    plainSettings.algorithms = mAlgorithms::kPlain;
  }
  // Changes a parameter of both.
  template <class Change>
  void change(Change change) {
    change(fastSettings.parameters);
    change(plainSettings.parameters);
  }
  mWorldSettings fastSettings, plainSettings;
  mField fast{fastSettings}, plain{plainSettings};
};

std::string number(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.10f", value);
  return text;
}

// Plants with up to three leaves and flowers each, crowded so that they shade each other,
// with a few parts at equal heights.
struct Garden {
  Garden(const Parameters& p, int plants, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int k = 0; k < plants; ++k) {
      owners.push_back(std::make_unique<FakeBodyOwner>(p, mPoint3D(16 * unit(random) - 8, 16 * unit(random) - 8, 0)));
      std::string text = "N";
      const int tips = 1 + static_cast<int>(3 * unit(random));
      for (int t = 0; t < tips; ++t) {
        const double height = k % 5 == 0 ? 2.0 : 1 + 2 * unit(random);
        const double r = 0.05 + 1.2 * unit(random);
        text = "(" + text + "E<" + number(3 * unit(random) - 1.5) + "," + number(3 * unit(random) - 1.5) + "," +
               number(height + r) + ">" + (unit(random) < 0.7 ? "L<" : "F<") + number(r) + ">)";
      }
      bodies.push_back(std::make_unique<mPartsList>(owners.back().get(), text));
      pointers.push_back(bodies.back().get());
    }
  }
  std::vector<std::unique_ptr<FakeBodyOwner>> owners;
  std::vector<std::unique_ptr<mPartsList>> bodies;
  std::vector<mPartsList*> pointers;
};

struct Light {
  std::vector<double> parts, bodies, cells;
  double occupancy, excess, totalDaylight;
};

Light lightOf(const mField& field, const std::vector<mPartsList*>& bodies) {
  Light light;
  for (const mPartsList* body : bodies) {
    for (const auto& flower : body->flowers()) light.parts.push_back(flower->light());
    for (const auto& leaf : body->leaves()) light.parts.push_back(leaf->light());
    light.bodies.push_back(body->leafLight());
    light.bodies.push_back(body->flowerLight());
  }
  for (int i = 0; i < field.side(); ++i)
    for (int j = 0; j < field.side(); ++j) light.cells.push_back(field.cellLight(i, j));
  light.occupancy = field.occupancy();
  light.excess = field.excess();
  light.totalDaylight = field.totalDaylight();
  return light;
}

// Every value identical, bit for bit.
void expectSameLight(const Light& fast, const Light& plain) {
  EXPECT_EQ(fast.parts, plain.parts);
  EXPECT_EQ(fast.bodies, plain.bodies);
  EXPECT_EQ(fast.cells, plain.cells);
  EXPECT_EQ(fast.occupancy, plain.occupancy);
  EXPECT_EQ(fast.excess, plain.excess);
  EXPECT_EQ(fast.totalDaylight, plain.totalDaylight);
}

// One turn of light on both fields; each part's light is taken from the plain computation's
// run first, then must come out the same from the fast one.
void expectSameTurn(TwinFields& fields, const std::vector<mPartsList*>& bodies) {
  fields.plain.computeLight(bodies);
  const Light expected = lightOf(fields.plain, bodies);
  fields.fast.computeLight(bodies);
  expectSameLight(lightOf(fields.fast, bodies), expected);
}

TEST(FastLight, EqualsTheReferenceAsBodiesChange) {
  Parameters p = testField();
  p.mField_capacity = 0.05;
  Garden garden(p, 60, 11);
  TwinFields fields(p);
  std::mt19937 random(3);
  for (int turn = 0; turn < 12; ++turn) {
    SCOPED_TRACE(turn);
    expectSameTurn(fields, garden.pointers);
    // Leaves grow and shrink, flowers are emptied, edges cut, new parts made.
    for (size_t k = 0; k < garden.bodies.size(); k += 1 + random() % 4) {
      mPartsList& body = *garden.bodies[k];
      switch (random() % 4) {
        case 0: body.growLeaf(static_cast<int>(random() % 3), static_cast<double>(random() % 5) - 2); break;
        case 1: body.resetFlower(static_cast<int>(random() % 3)); break;
        case 2: body.cutEdge(static_cast<int>(random() % 3)); break;
        case 3: body.makeLeaf(0, 0.5, 1.5, 0.3 * static_cast<double>(random() % 6), 1.0); break;
      }
    }
  }
  EXPECT_GT(fields.fast.occupancy(), 0.01);
}

// Leaves under a crowd that span many tiles (over 8, whose marks are read eight at a time,
// and over 64, whose marks are read tile by tile) count again only the marked ones as the
// parts above them change.
TEST(FastLight, PartsAcrossManyTilesCountTheMarkedOnes) {
  Parameters p = testField();
  p.mField_N = 640;
  p.mField_min_x = -16;
  p.mField_min_y = -16;
  p.mField_haba = 0.05;
  std::vector<std::unique_ptr<FakeBodyOwner>> owners;
  std::vector<std::unique_ptr<mPartsList>> bodies;
  std::vector<mPartsList*> pointers;
  auto plant = [&](double x, double y, const std::string& text) {
    owners.push_back(std::make_unique<FakeBodyOwner>(p, mPoint3D(x, y, 0)));
    bodies.push_back(std::make_unique<mPartsList>(owners.back().get(), text));
    pointers.push_back(bodies.back().get());
  };
  std::mt19937 random(29);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int k = 0; k < 40; ++k)
    plant(24 * unit(random) - 12, 24 * unit(random) - 12, "(NE<0,0," + number(17 + unit(random)) + ">L<" + number(0.3 + unit(random)) + ">)");
  plant(0, 0, "(NE<0,0,4.6>L<4.5>)");
  plant(0.3, -0.2, "(NE<0,0,15.1>L<15>)");
  ASSERT_EQ(bodies.back()->leaves().size(), 1u);
  ASSERT_EQ(bodies[bodies.size() - 2]->leaves().size(), 1u);
  TwinFields fields(p);
  for (int turn = 0; turn < 6; ++turn) {
    SCOPED_TRACE(turn);
    expectSameTurn(fields, pointers);
    for (size_t k = 0; k < 40; k += 1 + random() % 3) bodies[k]->growLeaf(0, turn % 2 ? 2.0 : -1.0);
  }
  // The crowd shades the widest leaf: it takes less than the share of its some 282,700 cells.
  const double fullShare = p.mField_downsize * p.mField_daylight * M_PI * 300 * 300;
  EXPECT_LT(bodies.back()->leaves()[0]->light(), 0.99 * fullShare);
}

TEST(FastLight, FollowsChangesOfDaylightShareAndFrame) {
  const Parameters p = testField();
  Garden garden(p, 40, 17);
  TwinFields fields(p);
  expectSameTurn(fields, garden.pointers);
  fields.change([](Parameters& q) { q.mField_daylight = 0.5; });
  expectSameTurn(fields, garden.pointers);
  fields.change([](Parameters& q) { q.mField_downsize = 0.25; });
  expectSameTurn(fields, garden.pointers);
  fields.change([](Parameters& q) { q.mField_min_x = -9.95; });  // every part now covers other cells
  expectSameTurn(fields, garden.pointers);
  fields.change([](Parameters& q) { q.mField_haba = 0.11; });
  expectSameTurn(fields, garden.pointers);
  // Frames the fast computation cannot take fall back to the plain one.
  fields.change([](Parameters& q) { q.mField_downsize = 1.5; });
  expectSameTurn(fields, garden.pointers);
  fields.change([](Parameters& q) { q.mField_downsize = 0.7; });
  expectSameTurn(fields, garden.pointers);
}

TEST(FastLight, SwitchingComputationsAtAnyTurnChangesNothing) {
  const Parameters p = testField();
  Garden garden(p, 40, 23);
  TwinFields fields(p);  // the "fast" one switches
  for (int turn = 0; turn < 6; ++turn) {
    SCOPED_TRACE(turn);
    fields.plain.computeLight(garden.pointers);
    const Light expected = lightOf(fields.plain, garden.pointers);
    fields.fastSettings.algorithms = turn % 3 == 1 ? mAlgorithms::kPlain : mAlgorithms::kFast;
    fields.fast.computeLight(garden.pointers);
    expectSameLight(lightOf(fields.fast, garden.pointers), expected);
    garden.bodies[static_cast<size_t>(turn)]->cutEdge(0);
  }
}

// A cell's depth is kept in a byte: a stack of more parts than it holds is computed the
// plain way, and the turn after it, with fewer parts, the fast way again.
TEST(FastLight, StacksDeeperThanAByteHoldsComeOutTheSame) {
  Parameters p = testField();
  p.mField_downsize = 0.01;
  std::vector<std::unique_ptr<FakeBodyOwner>> owners;
  std::vector<std::unique_ptr<mPartsList>> bodies;
  std::vector<mPartsList*> pointers;
  for (int k = 0; k < 300; ++k) {
    owners.push_back(std::make_unique<FakeBodyOwner>(p, mPoint3D(0.03 * (k % 7), 0.02 * (k % 5), 0)));
    bodies.push_back(std::make_unique<mPartsList>(owners.back().get(), "(NE<0,0," + number(1 + 0.001 * k) + ">L<0.4>)"));
    pointers.push_back(bodies.back().get());
  }
  TwinFields fields(p);
  expectSameTurn(fields, pointers);
  const std::vector<mPartsList*> fewer(pointers.begin(), pointers.begin() + 200);
  expectSameTurn(fields, fewer);
  const std::vector<mPartsList*> more(pointers.begin(), pointers.begin() + 260);
  expectSameTurn(fields, more);
  EXPECT_LT(fields.fast.cellLight(100, 100), 0.2 * p.mField_daylight);
}

// The fast computation keeps what each part met from one turn to the next and counts again
// only where something changed. Clones grow the same body, so many parts share a height and
// take their light in population order, which the population changes every turn: parts of
// equal height over one another, the population shuffled, bodies gone and back, leaves grown.
TEST(FastLight, EqualHeightsFollowThePopulationOrderAsItChanges) {
  const Parameters p = testField();
  std::vector<std::unique_ptr<FakeBodyOwner>> owners;
  std::vector<std::unique_ptr<mPartsList>> bodies;
  std::mt19937 random(41);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int k = 0; k < 80; ++k) {
    owners.push_back(std::make_unique<FakeBodyOwner>(p, mPoint3D(6 * unit(random) - 3, 6 * unit(random) - 3, 0)));
    const char* text = k % 3 == 0 ? "(NE<0,0,2.5>L<0.8>)" : k % 3 == 1 ? "((NE<0,0,2.5>L<0.8>)E<0.5,0,1.5>F<0.5>)"
                                                                      : "(NE<0.3,0.1,2.5>L<0.6>)";
    bodies.push_back(std::make_unique<mPartsList>(owners.back().get(), text));
  }
  std::vector<mPartsList*> living;
  for (const auto& body : bodies) living.push_back(body.get());
  TwinFields fields(p);
  for (int turn = 0; turn < 30; ++turn) {
    SCOPED_TRACE(turn);
    expectSameTurn(fields, living);
    std::shuffle(living.begin(), living.end(), random);
    if (turn % 4 == 1) living.resize(living.size() - 5);  // deaths
    if (turn % 4 == 3) {                                    // and the dead come back
      for (const auto& body : bodies)
        if (std::find(living.begin(), living.end(), body.get()) == living.end()) living.push_back(body.get());
    }
    if (turn % 5 == 2) living[random() % living.size()]->growLeaf(0, 1);
    if (turn % 7 == 3) living[random() % living.size()]->cutEdge(0);
  }
  EXPECT_GT(fields.fast.occupancy(), 0.01);
}

TEST(FastLight, CellsNoLongerCoveredHoldTheDaylightAgain) {
  mWorldSettings settings;
  settings.parameters = testField();
  Garden garden(settings.parameters, 30, 29);
  mField field(settings);
  field.computeLight(garden.pointers);
  EXPECT_GT(field.occupancy(), 0);
  settings.parameters.mField_daylight = 2;
  field.computeLight({});
  EXPECT_EQ(field.occupancy(), 0);
  for (int i = 0; i < field.side(); ++i)
    for (int j = 0; j < field.side(); ++j) ASSERT_EQ(field.cellLight(i, j), 2.0);
}

}  // namespace
