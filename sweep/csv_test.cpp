#include "sweep/csv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sweep/number_text.h"
#include "sweep/processes.h"

namespace vek::sweep {
namespace {

TEST(SweepCsv, FieldsAreQuotedOnlyWhenTheyMustBeAndReadBack) {
  EXPECT_EQ(csvRow({"run", "0.4", ""}), "run,0.4,\n");
  const std::vector<std::string> awkward = {"a,b", "say \"hi\"", "two\nlines", "plain"};
  const std::string row = csvRow(awkward);
  EXPECT_EQ(row, "\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",plain\n");
  EXPECT_EQ(csvFields("\"a,b\",\"say \"\"hi\"\"\",x,\r"), (std::vector<std::string>{"a,b", "say \"hi\"", "x", ""}));
}

TEST(SweepCsv, NumbersAreTheShortestTextThatReadsBackExactly) {
  EXPECT_EQ(shortestText(0.1), "0.1");
  EXPECT_EQ(shortestText(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(shortestText(1000), "1000");
  EXPECT_EQ(shortestText(1e-05), "1e-05");
  EXPECT_EQ(shortestText(-std::numeric_limits<double>::infinity()), "-inf");
  EXPECT_EQ(csvNumber(std::nan("")), "");
  EXPECT_EQ(csvNumber(0.1285714286), "0.1285714286");
  for (double value : {0.1285714285714286, 2.0 / 3, 1e300, -4.9e-324})
    EXPECT_EQ(*parseNumber(shortestText(value)), value);
  EXPECT_FALSE(parseNumber("0.4x"));
  EXPECT_FALSE(parseNumber(""));
}

TEST(SweepCsv, ShellWordsAreQuotedOnlyWhenTheyMustBe) {
  EXPECT_EQ(shellCommand({"/bin/vek-batch", "--set", "mField_capacity=0.4", "runs/seed=3"}),
            "/bin/vek-batch --set mField_capacity=0.4 runs/seed=3");
  EXPECT_EQ(shellQuoted("my runs/it's"), "'my runs/it'\\''s'");
  EXPECT_EQ(shellQuoted(""), "''");
  EXPECT_EQ(shellQuoted("$HOME"), "'$HOME'");
}

}  // namespace
}  // namespace vek::sweep
