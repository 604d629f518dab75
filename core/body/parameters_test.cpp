#include "body/parameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "tests/test_support.h"

namespace {

using vek::test::ParameterGuard;

void apply(const std::string& text) {
  std::istringstream in(text);
  readParameters(in);
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
  EXPECT_EQ(Parameters().mField_N, gParam.mField_N);
  ParameterGuard guard;
  gParam = Parameters();
  EXPECT_EQ(parameterFileText(), expected);
}

TEST(Parameters, WriteThenReadGivesTheDefaultsToTenDigits) {
  ParameterGuard guard;
  gParam = Parameters();
  const std::string folder = vek::test::freshFolder("pini");
  ASSERT_TRUE(writeParameterFile(folder));
  gParam.mField_N = 3;
  gParam.mCPU_adjust_theta = 9;
  gParam.mCPU_energy[31] = 7;
  gParam.mSeed_turn_effect = 0;
  ASSERT_TRUE(readParameterFile(folder, false));
  EXPECT_EQ(gParam.mField_N, 1000);
  EXPECT_EQ(gParam.mCPU_adjust_theta, 0.5235987756);
  EXPECT_EQ(gParam.mField_daylight, 0.1285714286);
  EXPECT_EQ(gParam.mCPU_energy[31], 1.0);
  EXPECT_EQ(gParam.mSeed_turn_effect, 1.5);
  EXPECT_EQ(vek::test::readBytes(folder + "parameter.pini"),
            vek::test::readBytes(vek::test::dataPath("parameter.pini")));
}

TEST(Parameters, ReadingTheFixtureByFullName) {
  ParameterGuard guard;
  gParam.mSeedList_min_r = 5;
  ASSERT_TRUE(readParameterFile(vek::test::dataPath("parameter.pini"), true));
  EXPECT_EQ(gParam.mSeedList_min_r, 0.001);
  EXPECT_FALSE(readParameterFile(vek::test::dataPath("no-such.pini"), true));
}

TEST(Parameters, LineEndDecidesWhetherTheLastLineApplies) {
  ParameterGuard guard;
  const Parameters before = gParam;
  apply("0.25 mField_capacity");
  EXPECT_EQ(gParam.mField_capacity, before.mField_capacity);
  apply("0.25 mField_capacity\r\n");
  EXPECT_EQ(gParam.mField_capacity, 0.25);
  apply("0.5 mField_capacity\n");
  EXPECT_EQ(gParam.mField_capacity, 0.5);
  EXPECT_EQ(gParam.mField_haba, before.mField_haba);
}

TEST(Parameters, KeysMatchOnlyAsWholeWords) {
  ParameterGuard guard;
  apply("7 mSeedList_min_random_delete_number\r\n");
  EXPECT_EQ(gParam.mSeedList_min_random_delete_number, 7);
  EXPECT_EQ(gParam.mSeedList_min_r, 0.001);
  // a later occurrence that is a whole word still counts
  apply("3 mSeedList_min_random_delete_number mSeedList_min_r\r\n");
  EXPECT_EQ(gParam.mSeedList_min_r, 3.0);
  apply("2 mField_N_x\r\n");
  EXPECT_EQ(gParam.mField_N, 1000);
}

TEST(Parameters, NumberMustStandAtTheStart) {
  ParameterGuard guard;
  apply("mField_N 500\r\n");
  EXPECT_EQ(gParam.mField_N, 1000);
  apply("abc mField_haba\r\n");
  EXPECT_EQ(gParam.mField_haba, 0.08);
}

TEST(Parameters, CommentsAndLinesNamingSeveralKeys) {
  ParameterGuard guard;
  apply("   // 5 mField_N\r\n\r\n7 mField_N //see mField_haba\r\n");
  EXPECT_EQ(gParam.mField_N, 7);
  EXPECT_EQ(gParam.mField_haba, 7.0);
}

TEST(Parameters, BaseCostIsCarriedOnly) {
  ParameterGuard guard;
  apply("2 mCPU_energy_base\r\n");
  EXPECT_EQ(gParam.mCPU_energy_base, 2.0);
  for (double cost : gParam.mCPU_energy) EXPECT_EQ(cost, 1.0);
  apply("4 mCPU_energy_set_edge_number //setedge_numberのエネルギー\r\n");
  EXPECT_EQ(gParam.mCPU_energy[21], 4.0);
}

TEST(Parameters, IntegersTakeTheLeadingDigitsAndClamp) {
  ParameterGuard guard;
  apply("12.9 mField_N\r\n");
  EXPECT_EQ(gParam.mField_N, 12);
  apply("99999999999999 mDaughter_log_turn\r\n");
  EXPECT_EQ(gParam.mDaughter_log_turn, 2147483647);
  apply("1e-3 mField_haba\r\n-inf mEdge_radius\r\n");
  EXPECT_EQ(gParam.mField_haba, 0.001);
  EXPECT_TRUE(std::isinf(gParam.mEdge_radius));
}

TEST(Parameters, BinaryJunkIsIgnored) {
  ParameterGuard guard;
  const Parameters before = gParam;
  static const char kJunk[] = "\x01\xff\x00\x80mField_N\r\n//\xfe\r\n";
  const std::string junk(kJunk, sizeof kJunk - 1);
  apply(junk);
  EXPECT_EQ(gParam.mField_N, before.mField_N);
}

}  // namespace
