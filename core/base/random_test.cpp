#include "base/random.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/test_support.h"

namespace {

// The classic C runtime's first values after srand(1033).
TEST(Random, GeneratorReproducesTheClassicSequence) {
  LcgRandom g;
  LcgRandom reference;
  reference.reseed(1033);
  std::uint32_t state = 1033;
  for (int i = 0; i < 5; ++i) {
    state = state * 214013u + 2531011u;
    const int expected = static_cast<int>((state >> 16) & 0x7fff);
    EXPECT_EQ(g.next(), expected);
    EXPECT_EQ(reference.next(), expected);
  }
  // 1033 * 214013 + 2531011 = 223608440 -> (223608440 >> 16) & 0x7fff = 3411
  LcgRandom fresh;
  EXPECT_EQ(fresh.next(), 3411);
}

TEST(Random, UniformReachesBothEnds) {
  EXPECT_EQ(0 * 3.051850947599719e-5, 0.0);
  EXPECT_EQ(32767 * 3.051850947599719e-5, 1.0);
  LcgRandom g;
  g.reseed(0);
  bool sawZero = false, sawOne = false;
  for (int i = 0; i < (1 << 20) && !(sawZero && sawOne); ++i) {
    const double u = g.uniform01();
    ASSERT_GE(u, 0.0);
    ASSERT_LE(u, 1.0);
    sawZero |= u == 0.0;
    sawOne |= u == 1.0;
  }
  EXPECT_TRUE(sawZero);
  EXPECT_TRUE(sawOne);
}

TEST(Random, RandomIntStaysInRangeAndIgnoresBadBounds) {
  LcgRandom g;
  for (int i = 0; i < 1000; ++i) {
    const int v = g.randomInt(7);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 7);
  }
  mRandom random;
  vek::test::ScriptedRandom script(random);  // no draws scripted: randomInt(0) must not draw
  EXPECT_EQ(random.randomInt(0), 0);
  EXPECT_EQ(random.randomInt(-3), 0);
}

TEST(Random, GaussIsBoundedAndDrawsInOrder) {
  mRandom random;
  {
    vek::test::ScriptedRandom script(random);
    script.u(1e-7).u(0.0).u(1.0).u(0.3);  // two draws below the floor are discarded
    EXPECT_EQ(random.gauss(), 0.0);               // u1 = 1 gives 0 whatever u2 is
  }
  {
    vek::test::ScriptedRandom script(random);
    const double floor = std::exp(-12.5);
    script.u(floor).u(0.25);
    EXPECT_NEAR(random.gauss(), 5.0, 1e-12);
  }
  for (int i = 0; i < 20000; ++i) ASSERT_LE(std::fabs(random.gauss()), 5.0);
}

TEST(Random, NormalTakesAVariance) {
  mRandom random;
  {
    vek::test::ScriptedRandom script(random);  // a negative variance draws nothing
    EXPECT_EQ(random.normal(3.0, -1.0), 3.0);
  }
  {
    vek::test::ScriptedRandom script(random);
    script.u(0.5).u(0.0);
    EXPECT_EQ(random.normal(3.0, 0.0), 3.0);
  }
  {
    vek::test::ScriptedRandom script(random);
    script.u(std::exp(-2.0)).u(0.25);  // gauss = sqrt(4) * sin(pi/2) = 2
    EXPECT_NEAR(random.normal(1.0, 9.0), 1.0 + 2.0 * 3.0, 1e-12);
  }
}

TEST(Random, UniformRangeScales) {
  mRandom random;
  vek::test::ScriptedRandom script(random);
  script.u(0.5).u(1.0);
  EXPECT_EQ(random.uniformRange(-2, 6), 2.0);
  EXPECT_EQ(random.uniformRange(-2, 6), 6.0);
}

TEST(Random, ReseedRepeatsARun) {
  mRandom random;
  random.reseed(77);
  const double a = random.uniform01(), b = random.uniform01();
  random.reseed(77);
  EXPECT_EQ(random.uniform01(), a);
  EXPECT_EQ(random.uniform01(), b);
}

// Each world draws its own sequence: a second generator neither sees nor disturbs the first.
TEST(Random, GeneratorsAreIndependent) {
  mRandom first, second;
  LcgRandom alone;
  for (int i = 0; i < 100; ++i) {
    second.uniform01();
    EXPECT_EQ(first.uniform01(), alone.uniform01());
  }
}

TEST(Random, PiIsTheClassicValue) { EXPECT_EQ(kPi, 4.0 * std::atan2(1.0, 1.0)); }

}  // namespace
