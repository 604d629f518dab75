// addRepeatedly against the additions it stands for, bit for bit.
#include "body/repeated_sum.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace {

double addOneByOne(double sum, double term, std::uint64_t count) {
  for (std::uint64_t k = 0; k < count; ++k) sum += term;
  return sum;
}

// Both the short additions and the leaps, whichever count addRepeatedly gives each.
void expectSameBits(double sum, double term, std::uint64_t count) {
  const double expected = addOneByOne(sum, term, count);
  for (const double actual : {addRepeatedly(sum, term, count), addRepeatedlyByLeaps(sum, term, count)}) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(expected), std::bit_cast<std::uint64_t>(actual))
        << std::hexfloat << "sum " << sum << " term " << term << " count " << count << ": expected " << expected
        << ", got " << actual;
  }
}

TEST(RepeatedSum, MatchesAdditionsForTheLightFieldsTerms) {
  // Shares of a daylight taken from cells that other parts have already shaded.
  for (double daylight : {1.0, 0.7, 3.3, 1e-3, 250.0}) {
    for (double share : {0.3, 0.5, 0.1234567, 0.9, 1.0}) {
      double light = daylight;
      for (int depth = 0; depth < 6; ++depth) {
        const double term = share * light;
        for (double start : {0.0, term, 0.37, 12345.678, 1e9})
          for (std::uint64_t count : {0u, 1u, 2u, 3u, 16u, 17u, 63u, 64u, 1000u, 7001u, 50000u}) expectSameBits(start, term, count);
        light *= 1.0 - share;
      }
    }
  }
}

TEST(RepeatedSum, MatchesAdditionsForRandomSumsAndTerms) {
  std::mt19937_64 random(20261207);
  std::uniform_real_distribution<double> exponent(-60, 60);
  std::uniform_int_distribution<std::uint64_t> count(0, 5000);
  for (int k = 0; k < 3000; ++k) {
    const double sum = k % 7 == 0 ? 0.0 : std::exp2(exponent(random));
    const double term = std::exp2(exponent(random) / 4);
    expectSameBits(sum, term, count(random));
  }
}

TEST(RepeatedSum, RoundingTiesAndCrossingsFollowTheAdditions) {
  // Large integers: every term of 1 is a tie once the sum passes 2^53.
  expectSameBits(0x1p53 - 4, 1.0, 20);
  expectSameBits(0x1p53, 1.0, 20);
  expectSameBits(0x1p53 + 2, 3.0, 40);
  // Terms exactly half an ulp of the sum, or a quarter (rounds away: the sum stays).
  expectSameBits(1.0, 0x1p-53, 10);
  expectSameBits(1.0 + 0x1p-52, 0x1p-53, 10);
  expectSameBits(1.0, 0x1p-54, 10);
  expectSameBits(1.5, 0x1.8p-53, 1000);
  // Steps that land exactly on the next power of two, and sums that cross many binades.
  expectSameBits(0.5, 0.125, 100);
  expectSameBits(0x1p-30, 0x1.23456789p-31, 1u << 20);
}

TEST(RepeatedSum, SpecialValuesAreAddedOneByOne) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  expectSameBits(1.0, -0.25, 30);
  expectSameBits(-5.0, 0.25, 30);
  expectSameBits(1.0, 0.0, 30);
  expectSameBits(1.0, -0.0, 30);
  expectSameBits(0.0, 0x1p-1074, 30);
  expectSameBits(0x1p-1010, 0x1p-1040, 30);
  expectSameBits(0x1p1020, 0x1p1000, 3000);
  expectSameBits(1.0, inf, 3);
  expectSameBits(inf, 1.0, 3);
  EXPECT_TRUE(std::isnan(addRepeatedly(1.0, nan, 3)));
  EXPECT_TRUE(std::isnan(addRepeatedly(nan, 1.0, 3)));
}

}  // namespace
