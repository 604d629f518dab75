#include "body/parameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "tests/test_support.h"

namespace {

void apply(Parameters& p, const std::string& text) {
  std::istringstream in(text);
  readParameters(p, in);
}

TEST(Parameters, DefaultsAreTheBuiltInValues) {
  const Parameters p;
  EXPECT_EQ(p.mField_N, 1000);
  EXPECT_EQ(p.mDaughter_log_turn, 10000);
  EXPECT_EQ(p.mSeedList_min_random_delete_number, 100);
  EXPECT_DOUBLE_EQ(p.mCPU_adjust_phy, 0.5235987755982988);
  EXPECT_DOUBLE_EQ(p.mCPU_adjust_theta, 0.5235987755982988);
  for (double cost : p.mCPU_energy) EXPECT_EQ(cost, 1.0);
}

TEST(Parameters, DefaultFileMatchesTheLayoutByteForByte) {
  const std::string expected = vek::test::readBytes(vek::test::dataPath("parameter.pini"));
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(parameterFileText(Parameters()), expected);
}

TEST(Parameters, WriteThenReadGivesTheDefaultsToTenDigits) {
  Parameters p;
  const std::string folder = vek::test::freshFolder("pini");
  ASSERT_TRUE(writeParameterFile(p, folder));
  p.mField_N = 3;
  p.mCPU_adjust_theta = 9;
  p.mCPU_energy[31] = 7;
  p.mSeed_turn_effect = 0;
  ASSERT_TRUE(readParameterFile(p, folder, false));
  EXPECT_EQ(p.mField_N, 1000);
  EXPECT_EQ(p.mCPU_adjust_theta, 0.5235987756);
  EXPECT_EQ(p.mField_daylight, 0.1285714286);
  EXPECT_EQ(p.mCPU_energy[31], 1.0);
  EXPECT_EQ(p.mSeed_turn_effect, 1.5);
  EXPECT_EQ(vek::test::readBytes(folder + "parameter.pini"),
            vek::test::readBytes(vek::test::dataPath("parameter.pini")));
}

TEST(Parameters, ReadingTheFixtureByFullName) {
  Parameters p;
  p.mSeedList_min_r = 5;
  ASSERT_TRUE(readParameterFile(p, vek::test::dataPath("parameter.pini"), true));
  EXPECT_EQ(p.mSeedList_min_r, 0.001);
  EXPECT_FALSE(readParameterFile(p, vek::test::dataPath("no-such.pini"), true));
}

TEST(Parameters, LineEndDecidesWhetherTheLastLineApplies) {
  Parameters p;
  const Parameters before = p;
  apply(p, "0.25 mField_capacity");
  EXPECT_EQ(p.mField_capacity, before.mField_capacity);
  apply(p, "0.25 mField_capacity\r\n");
  EXPECT_EQ(p.mField_capacity, 0.25);
  apply(p, "0.5 mField_capacity\n");
  EXPECT_EQ(p.mField_capacity, 0.5);
  EXPECT_EQ(p.mField_haba, before.mField_haba);
}

TEST(Parameters, KeysMatchOnlyAsWholeWords) {
  Parameters p;
  apply(p, "7 mSeedList_min_random_delete_number\r\n");
  EXPECT_EQ(p.mSeedList_min_random_delete_number, 7);
  EXPECT_EQ(p.mSeedList_min_r, 0.001);
  // a later occurrence that is a whole word still counts
  apply(p, "3 mSeedList_min_random_delete_number mSeedList_min_r\r\n");
  EXPECT_EQ(p.mSeedList_min_r, 3.0);
  apply(p, "2 mField_N_x\r\n");
  EXPECT_EQ(p.mField_N, 1000);
}

TEST(Parameters, NumberMustStandAtTheStart) {
  Parameters p;
  apply(p, "mField_N 500\r\n");
  EXPECT_EQ(p.mField_N, 1000);
  apply(p, "abc mField_haba\r\n");
  EXPECT_EQ(p.mField_haba, 0.08);
}

TEST(Parameters, CommentsAndLinesNamingSeveralKeys) {
  Parameters p;
  apply(p, "   // 5 mField_N\r\n\r\n7 mField_N //see mField_haba\r\n");
  EXPECT_EQ(p.mField_N, 7);
  EXPECT_EQ(p.mField_haba, 7.0);
}

TEST(Parameters, BaseCostIsCarriedOnly) {
  Parameters p;
  apply(p, "2 mCPU_energy_base\r\n");
  EXPECT_EQ(p.mCPU_energy_base, 2.0);
  for (double cost : p.mCPU_energy) EXPECT_EQ(cost, 1.0);
  apply(p, "4 mCPU_energy_set_edge_number //setedge_numberのエネルギー\r\n");
  EXPECT_EQ(p.mCPU_energy[21], 4.0);
}

TEST(Parameters, IntegersTakeTheLeadingDigitsAndClamp) {
  Parameters p;
  apply(p, "12.9 mField_N\r\n");
  EXPECT_EQ(p.mField_N, 12);
  apply(p, "99999999999999 mDaughter_log_turn\r\n");
  EXPECT_EQ(p.mDaughter_log_turn, 2147483647);
  apply(p, "1e-3 mField_haba\r\n-inf mEdge_radius\r\n");
  EXPECT_EQ(p.mField_haba, 0.001);
  EXPECT_TRUE(std::isinf(p.mEdge_radius));
}

TEST(Parameters, BinaryJunkIsIgnored) {
  Parameters p;
  const Parameters before = p;
  static const char kJunk[] = "\x01\xff\x00\x80mField_N\r\n//\xfe\r\n";
  const std::string junk(kJunk, sizeof kJunk - 1);
  apply(p, junk);
  EXPECT_EQ(p.mField_N, before.mField_N);
}

}  // namespace
