#include "body/energy.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string usageLines(double value16) {
  std::string text;
  const char* mnemonics[] = {"nop0", "nop1", "gsep", "ifcz", "jmpf", "jmpb", "call", "ret ",
                             "push", "pop ", "shl ", "shr ", "inc ", "dec ", "zero", "cute",
                             "s_fn", "s_ln", "s_fe", "s_le", "s_nn", "s_en", "s_ph", "s_th",
                             "s_r ", "s_ct", "makf", "makl", "makn", "grwf", "grwl", "bred"};
  for (int i = 0; i < 32; ++i)
    text += std::string(mnemonics[i]) + (i == 16 && value16 != 0 ? " 2.5000000000\r\n" : " 0.0000000000\r\n");
  return text;
}

TEST(Energy, ReportOfTheWorkedExample) {
  mEnergy e;
  e.add(10);
  e.addKeep(2);
  e.addUsed(3);
  e.spend(3);
  const std::string expected =
      "edge 0.0000000000\r\nleaf 0.0000000000\r\nflower 0.0000000000\r\n\r\n"
      "current 7.0000000000\r\ntotal 10.0000000000\r\nused 3.0000000000\r\nkeep 2.0000000000\r\n"
      "\r\n" + usageLines(0);
  EXPECT_EQ(e.report(), expected);
}

TEST(Energy, ReportSumsTheCodesOfEachKind) {
  mEnergy e;
  e.addUsage(28, 1);
  e.addUsage(21, 2);
  e.addUsage(15, 4);
  e.addUsage(30, 8);
  e.addUsage(27, 16);
  e.addUsage(19, 32);
  e.addUsage(17, 64);
  e.addUsage(16, 2.5);
  e.addUsage(31, 0.5);
  const std::string report = e.report();
  EXPECT_EQ(report.substr(0, 51), "edge 7.0000000000\r\nleaf 120.0000000000\r\nflower 3.00");
  EXPECT_NE(report.find("s_fn 2.5000000000\r\n"), std::string::npos);
}

TEST(Energy, CodesOutsideTheTable) {
  mEnergy e;
  e.addUsage(32, 5);
  e.addUsage(-1, 5);
  EXPECT_EQ(e.usageOf(32), -1.0);
  EXPECT_EQ(e.usageOf(-1), -1.0);
  for (int code = 0; code < 32; ++code) EXPECT_EQ(e.usageOf(code), 0.0);
}

TEST(Energy, AveragesOverAccounts) {
  mEnergy a, b, sum;
  a.add(4);
  a.addUsage(3, 2);
  b.add(2);
  b.spend(1);
  b.addKeep(6);
  sum.accumulate(&a);
  sum.accumulate(&b);
  sum.accumulate(nullptr);
  sum.divideBy(0);
  EXPECT_EQ(sum.current(), 5);
  sum.divideBy(2);
  EXPECT_EQ(sum.current(), 2.5);
  EXPECT_EQ(sum.total(), 3);
  EXPECT_EQ(sum.keep(), 3);
  EXPECT_EQ(sum.usageOf(3), 1);
  sum.reset();
  EXPECT_EQ(sum.report(), mEnergy().report());
}

TEST(Energy, BlockRoundTrip) {
  mEnergy e;
  e.add(1000);
  e.spend(12.25);
  e.addKeep(1e-5);
  e.addUsed(12.25);
  e.addUsage(31, 7);
  std::ostringstream out;
  out.precision(10);
  e.write(out);
  const std::string text = out.str();
  EXPECT_EQ(text.substr(0, 47), "/*mEnergy start*/\r\n987.75 1e-05 1000 12.25\r\n0 0");
  EXPECT_NE(text.find(" 7 \r\n/*mEnergy end*/\r\n"), std::string::npos);
  std::istringstream in(text);
  mEnergy back;
  back.read(in);
  EXPECT_EQ(back.report(), e.report());
}

}  // namespace
