#include "sweep/statistics.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vek::sweep {
namespace {

TEST(SweepStatistics, StudentQuantilesMeetTheTableAndTheExactValuesBeyondIt) {
  EXPECT_DOUBLE_EQ(studentT975(1), 12.706205);
  EXPECT_DOUBLE_EQ(studentT975(2), 4.302653);
  EXPECT_DOUBLE_EQ(studentT975(30), 2.042272);
  // Exact quantiles (to six decimals) where the expansion takes over.
  EXPECT_NEAR(studentT975(31), 2.039513, 2e-6);
  EXPECT_NEAR(studentT975(40), 2.021075, 2e-6);
  EXPECT_NEAR(studentT975(60), 2.000298, 2e-6);
  EXPECT_NEAR(studentT975(120), 1.979930, 2e-6);
  EXPECT_NEAR(studentT975(100000), 1.959988, 2e-6);
  EXPECT_TRUE(std::isnan(studentT975(0)));
}

TEST(SweepStatistics, MeanSpreadAndIntervalOfReplicates) {
  const Estimate e = estimate({2, 4, 4, 4, 5, 5, 7, 9});
  EXPECT_EQ(e.n, 8);
  EXPECT_DOUBLE_EQ(e.mean, 5);
  EXPECT_NEAR(e.sd, 2.138089935, 1e-9);  // sample deviation: 32 / 7 under the root
  const double half = 2.364624 * e.sd / std::sqrt(8.0);
  EXPECT_DOUBLE_EQ(e.low, 5 - half);
  EXPECT_DOUBLE_EQ(e.high, 5 + half);

  // Values that are not numbers are left out; one value has a mean but no spread.
  const Estimate one = estimate({std::nan(""), 3.5});
  EXPECT_EQ(one.n, 1);
  EXPECT_DOUBLE_EQ(one.mean, 3.5);
  EXPECT_TRUE(std::isnan(one.sd) && std::isnan(one.low) && std::isnan(one.high));
  const Estimate none = estimate({});
  EXPECT_EQ(none.n, 0);
  EXPECT_TRUE(std::isnan(none.mean));
  // Equal replicates: no spread, an interval of width 0.
  const Estimate same = estimate({1.25, 1.25, 1.25});
  EXPECT_EQ(same.sd, 0);
  EXPECT_EQ(same.low, 1.25);
  EXPECT_EQ(same.high, 1.25);
}

}  // namespace
}  // namespace vek::sweep
