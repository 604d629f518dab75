#include "plot/log_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "plot/plot_test_support.h"

namespace vek::plot {
namespace {

using test::freshFolder;
using test::writeFile;

const LogFile kOneValue{"seed_num.log", 2, false};

struct Read {
  LogReadOutcome outcome;
  std::vector<std::int64_t> lines;
  std::vector<double> values;
};

Read readColumn(const std::string& path, const LogFile& shape, int column, std::int64_t lastLine = 0) {
  Read read;
  read.outcome = readLogColumn(path, shape, column, lastLine, [&](std::int64_t line, double value) {
    read.lines.push_back(line);
    read.values.push_back(value);
  });
  return read;
}

TEST(LogReader, ReadsCrLfAndLfLinesAndTakesEveryTextOfAMissingValueAsMissing) {
  const std::string path = freshFolder("logs") + "per_edge.log";
  writeFile(path, "1 5\r\n2 nan\r\n3 -nan\n4 1.#QNAN\r\n5 -1.#IND\r\n6 1.#INF\r\n7 7.5e-05\r\n8\t 12 \r\n");
  const Read read = readColumn(path, kOneValue, 1);
  ASSERT_TRUE(read.outcome.ok()) << read.outcome.error;
  EXPECT_EQ(read.outcome.lines, 8);
  EXPECT_FALSE(read.outcome.unterminatedLastLine);
  EXPECT_EQ(read.lines, (std::vector<std::int64_t>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(read.values[0], 5);
  for (int i = 1; i <= 5; ++i) EXPECT_TRUE(std::isnan(read.values[static_cast<std::size_t>(i)])) << "line " << i + 1;
  EXPECT_EQ(read.values[6], 7.5e-05);
  EXPECT_EQ(read.values[7], 12);
}

TEST(LogReader, TakesTheAskedColumnOfTheInstructionAndClockLogs) {
  const std::string folder = freshFolder("logs");
  std::string usage = "1234567890123";
  for (int code = 0; code < 32; ++code) usage += " " + std::to_string(code * 10);
  writeFile(folder + "ope_ene.log", usage + " \r\n" + usage + " \r\n");
  std::vector<double> seen;
  const LogReadOutcome outcome = readLogColumns(folder + "ope_ene.log", kLogFiles[28], {28, 0, 32}, 0,
                                                [&](std::int64_t, const double* values) {
                                                  seen.insert(seen.end(), values, values + 3);
                                                });
  ASSERT_TRUE(outcome.ok()) << outcome.error;
  EXPECT_EQ(seen, (std::vector<double>{270, 1234567890123.0, 310, 270, 1234567890123.0, 310}));
  EXPECT_EQ(readLogColumns(folder + "ope_ene.log", kLogFiles[28], {33}, 0, [](std::int64_t, const double*) {}).error,
            folder + "ope_ene.log: no column 33");

  writeFile(folder + "c_time.log", "7 86312 1796655512 Mon Dec  7 14:58:32 2026\r\n9 86313 1796655513 Mon Dec  7 14:58:33 2026\r\n");
  const Read clock = readColumn(folder + "c_time.log", kLogFiles[0], 2);
  ASSERT_TRUE(clock.outcome.ok()) << clock.outcome.error;
  EXPECT_EQ(clock.values, (std::vector<double>{1796655512, 1796655513}));
}

TEST(LogReader, AMalformedLineStopsTheReadWithTheFileAndTheLine) {
  const std::string path = freshFolder("logs") + "seed_num.log";
  const std::string good = "10 1\r\n20 2\r\n";
  const struct {
    const char* line;
    const char* message;
  } cases[] = {
      {"30 abc", "\"abc\" is not a number"},
      {"30 12abc", "\"12abc\" is not a number"},
      {"30", "expected 2 fields (the step counter and 1 value), found \"30\""},
      {"30 1 2", "expected 2 fields (the step counter and 1 value), found \"30 1 2\""},
      {"", "the line is empty, expected 2 fields (the step counter and 1 value)"},
      {"x3 1", "the step counter \"x3\" is not a whole number"},
      {"30.5 1", "the step counter \"30.5\" is not a whole number"},
  };
  for (const auto& c : cases) {
    writeFile(path, good + c.line + "\r\n40 4\r\n");
    const Read read = readColumn(path, kOneValue, 1);
    EXPECT_EQ(read.outcome.error, path + " line 3: " + c.message) << c.line;
    EXPECT_EQ(read.values, (std::vector<double>{1, 2})) << "the lines before reach the sink";
  }
  writeFile(path, good + std::string(70000, '7') + "\r\n");
  EXPECT_EQ(readColumn(path, kOneValue, 1).outcome.error,
            path + " line 3: the line is longer than 65536 bytes (is this a log?)");
  EXPECT_EQ(readColumn(path + ".missing", kOneValue, 1).outcome.error,
            "cannot open " + path + ".missing: No such file or directory");
}

TEST(LogReader, LeavesOutALastLineWithoutItsLineEndAndNotesACounterThatGoesBack) {
  const std::string path = freshFolder("logs") + "seed_num.log";
  writeFile(path, "10 1\r\n20 2\r\n15 3\r\n25 4\r\n30 5");
  const Read read = readColumn(path, kOneValue, 1);
  ASSERT_TRUE(read.outcome.ok()) << read.outcome.error;
  EXPECT_EQ(read.values, (std::vector<double>{1, 2, 3, 4}));
  EXPECT_TRUE(read.outcome.unterminatedLastLine);
  EXPECT_EQ(read.outcome.counterBackLine, 3);
  const LogReadOutcome counted = countLogLines(path);
  EXPECT_EQ(counted.lines, 4);
  EXPECT_TRUE(counted.unterminatedLastLine);
}

TEST(LogReader, ReadsLinesAcrossItsBlocksAndStopsAtTheLastLineAsked) {
  // About 3 MB: lines straddle the reader's 1 MiB blocks.
  const std::string path = freshFolder("logs") + "birth.log";
  std::string text;
  constexpr int kLines = 250000;
  for (int i = 1; i <= kLines; ++i) text += std::to_string(i * 1000) + " " + std::to_string(i) + "\r\n";
  writeFile(path, text);
  double sum = 0;
  std::int64_t last = 0;
  bool inOrder = true;
  const LogReadOutcome outcome = readLogColumn(path, kOneValue, 1, 0, [&](std::int64_t line, double value) {
    inOrder = inOrder && line == last + 1 && value == static_cast<double>(line);
    last = line;
    sum += value;
  });
  ASSERT_TRUE(outcome.ok()) << outcome.error;
  EXPECT_TRUE(inOrder);
  EXPECT_EQ(outcome.lines, kLines);
  EXPECT_EQ(sum, 0.5 * kLines * (kLines + 1.0));
  EXPECT_EQ(countLogLines(path).lines, kLines);

  const Read head = readColumn(path, kOneValue, 1, 3);
  EXPECT_EQ(head.values, (std::vector<double>{1, 2, 3}));
}

// Readers of several logs in step, as a sweep reads its replicates: small blocks, so lines
// straddle every block boundary, and each reader stops at its own end.
TEST(LogReader, ReadersInStepWithSmallBlocksGiveEachLineOnce) {
  const std::string folder = freshFolder("logs");
  std::string longer, shorter;
  for (int i = 1; i <= 3000; ++i) longer += std::to_string(i * 7) + " " + std::to_string(i) + ".5\r\n";
  for (int i = 1; i <= 1000; ++i) shorter += std::to_string(i) + " " + std::to_string(-i) + "\n";
  writeFile(folder + "a.log", longer);
  writeFile(folder + "b.log", shorter + "1001 12");
  LogColumnsReader a(folder + "a.log", kOneValue, {1, 0}, 13);
  LogColumnsReader b(folder + "b.log", kOneValue, {1}, 16);
  std::int64_t bothLines = 0, aLines = 0;
  bool inOrder = true;
  while (const double* va = a.next()) {
    ++aLines;
    inOrder = inOrder && a.line() == aLines && va[0] == static_cast<double>(aLines) + 0.5 && va[1] == 7.0 * aLines;
    if (const double* vb = b.next()) {
      ++bothLines;
      inOrder = inOrder && vb[0] == -static_cast<double>(bothLines);
    }
  }
  EXPECT_TRUE(inOrder);
  EXPECT_EQ(aLines, 3000);
  EXPECT_EQ(bothLines, 1000);
  ASSERT_TRUE(a.outcome().ok()) << a.outcome().error;
  EXPECT_EQ(b.outcome().lines, 1000);
  EXPECT_TRUE(b.outcome().unterminatedLastLine);

  LogColumnsReader missing(folder + "c.log", kOneValue, {1});
  EXPECT_EQ(missing.next(), nullptr);
  EXPECT_EQ(missing.outcome().error, "cannot open " + folder + "c.log: No such file or directory");
}

}  // namespace
}  // namespace vek::plot
