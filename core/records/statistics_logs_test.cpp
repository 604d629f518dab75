#include "records/statistics_logs.h"

#include <gtest/gtest.h>

#include <memory>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <vector>

#include "base/text_io.h"
#include "body/parameters.h"
#include "engine/place.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "base/text_io.h"
#include "engine/seed_list.h"
#include "records/initial_gene_file.h"
#include "records/world_document.h"
#include "tests/test_support.h"

namespace {

using vek::test::freshFolder;
using vek::test::readBytes;

std::vector<std::string> linesOf(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(readBytes(path));
  for (std::string line; std::getline(in, line);) {
    EXPECT_EQ(line.empty() ? ' ' : line.back(), '\r') << path;  // CR LF
    lines.push_back(line.substr(0, line.size() - 1));
  }
  return lines;
}

std::string firstWord(const std::string& line) { return line.substr(0, line.find(' ')); }

void runTurns(mWorld& world, int turns) {
  const int last = world.place().turn() + turns;
  while (world.place().turn() < last) world.step();
}

// The time zone of the process for the span of a test, so calendar texts are exact.
class TimeZone {
 public:
  explicit TimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) mOld = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~TimeZone() {
    if (mOld.empty()) unsetenv("TZ");
    else setenv("TZ", mOld.c_str(), 1);
    tzset();
  }

 private:
  std::string mOld;
};

TEST(StatisticsLogs, ThreeTurnsGiveThreeLinesInEveryLogAllStartingWithTheSameTime) {
  const std::string base = freshFolder("three");
  auto world = std::make_unique<mWorld>();
  world->place().parameters().mDaughter_log_turn = 2;
  auto document = std::make_unique<vek::WorldDocument>(*world, vek::test::fileLock());
  ASSERT_TRUE(document->createWithBuiltInGenome(base).ok());
  const std::string folder = document->saveFolder();
  vek::StatisticsLogs logs(folder, vek::test::fileLock());
  world->addObserver(&logs);

  runTurns(*world, 1);
  EXPECT_EQ(readBytes(folder + "log_turn.log"), "");
  runTurns(*world, 1);
  const std::string logTurn = readBytes(folder + "log_turn.log");
  runTurns(*world, 1);
  EXPECT_EQ(readBytes(folder + "log_turn.log"), logTurn);  // written in the second turn only
  EXPECT_EQ(logs.failures(), 0);

  // One individual acts once a turn: the time after the turns is 1, 2, 3.
  for (const char* log : vek::kTurnLogNames) {
    const std::vector<std::string> lines = linesOf(folder + log);
    ASSERT_EQ(lines.size(), 3u) << log;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(firstWord(lines[i]), std::to_string(i + 1)) << log;
  }
  EXPECT_EQ(linesOf(folder + "seed_num.log")[0], "1 1");
  EXPECT_EQ(linesOf(folder + "gene_num.log")[2], "3 1");
  EXPECT_EQ(linesOf(folder + "birth.log")[2], "3 0");

  const std::vector<std::string> summary = linesOf(folder + "log_turn.log");
  ASSERT_EQ(summary.size(), 29u);
  // " //" and the description in code page 932, here written out byte by byte.
  EXPECT_EQ(summary[0],
            "turn_number 2 //\x83\x8d\x83\x4f\x82\xf0\x8e\xe6\x82\xc1\x82\xbd\x82\xc6\x82\xab\x82\xcc\x83\x5e\x81\x5b"
            "\x83\x93\x90\x94");
  EXPECT_EQ(summary[1].rfind("c_time.log 2 //", 0), 0u);
  EXPECT_EQ(summary[8], "seed_num.log 1 //\x83\x56\x81\x5b\x83\x68\x82\xcc\x90\x94");
  for (int i = 1; i < 29; ++i) EXPECT_EQ(firstWord(summary[i]), vek::kTurnLogNames[i - 1]);

  // A loaded world appends to the logs its folder already holds (once the first program has
  // let go of the folder).
  ASSERT_TRUE(document->save().ok());
  document.reset();
  world.reset();
  mWorld loaded;
  vek::WorldDocument again(loaded, vek::test::fileLock());
  ASSERT_TRUE(again.load(folder).ok());
  vek::StatisticsLogs more(folder, vek::test::fileLock());
  loaded.addObserver(&more);
  runTurns(loaded, 1);
  EXPECT_EQ(linesOf(folder + "ave_turn.log").size(), 4u);
  EXPECT_EQ(firstWord(linesOf(folder + "death.log")[3]), "4");
}

TEST(StatisticsLogs, TheLinesOfOneTurn) {
  const TimeZone utc("UTC");
  mWorld world;
  // Built from "zero" and "increment" only: nothing is spent on edges, leaves or flowers.
  InitialGeneEntry entry;
  entry.codes = {14, 12};
  world.place().populateWithEntry(entry);
  runTurns(world, 2);

  const std::time_t newYear2001 = 978307200;  // 2001-01-01 00:00:00 UTC, 09:00 in Japan
  const auto lines = vek::turnLogLines(world.place(), newYear2001);
  EXPECT_EQ(lines[0], "3 32400 978307200 Mon Jan 01 00:00:00 2001\r\n");
  EXPECT_EQ(lines[4], "3 nan\r\n");  // per_edge.log: 0 of 0 spent
  EXPECT_EQ(lines[5], "3 nan\r\n");
  EXPECT_EQ(lines[6], "3 nan\r\n");
  EXPECT_EQ(lines[7], "3 1\r\n");  // seed_num.log
  EXPECT_EQ(lines[9], "3 1\r\n");  // ave_eva.log
  EXPECT_EQ(lines[11], "3 2\r\n");  // ave_turn.log: two turns of age
  EXPECT_EQ(lines[12], "3 996\r\n");  // ave_ene.log: 1000 less two instructions and two upkeeps
  EXPECT_EQ(lines[28], "3 0 0 0 0 0 0 0 0 0 0 0 0 1 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 \r\n");

  const std::string summary = vek::logTurnText(world.place());
  EXPECT_NE(summary.find("\r\nper_leaf.log nan //"), std::string::npos);
  EXPECT_NE(summary.find("\r\nc_time.log 3 //"), std::string::npos);
}

// The figures as numbers are what the lines print: to ten digits, the counts exactly.
TEST(StatisticsLogs, TheFiguresOfATurnAreTheNumbersOfItsLines) {
  mWorld world;
  world.place().populateWithBuiltInGenome();
  runTurns(world, 400);
  ASSERT_GT(world.place().population().livingCount(), 1);
  const auto figures = vek::turnFigures(world.place());
  const auto lines = vek::turnLogLines(world.place(), 0);
  for (int i = 0; i < vek::kTurnFigureCount; ++i) {
    const std::string& line = lines[static_cast<size_t>(i + 1)];
    EXPECT_EQ(line.substr(line.find(' ') + 1), vek::formatG10(figures[static_cast<size_t>(i)]) + "\r\n")
        << vek::kTurnLogNames[i + 1];
  }
  EXPECT_EQ(figures[6], world.place().population().livingCount());
  EXPECT_EQ(figures[15], world.place().population().totalBirths());
}

TEST(StatisticsLogs, AnEmptyWorldAndLogsThatCannotBeWritten) {
  const std::string folder = freshFolder("empty");
  ASSERT_TRUE(vek::startLogs(folder).ok());
  mWorld world;
  vek::StatisticsLogs logs(folder, vek::test::fileLock());
  world.addObserver(&logs);
  runTurns(world, 2);
  // The one EXECUTE step of an empty turn still counts as time.
  EXPECT_EQ(linesOf(folder + "seed_num.log"), (std::vector<std::string>{"1 0", "2 0"}));
  EXPECT_EQ(linesOf(folder + "ave_eva.log")[1], "2 0");
  EXPECT_EQ(linesOf(folder + "per_flower.log")[1], "2 nan");

  vek::StatisticsLogs lost(folder + "no/such/folder/", vek::test::fileLock());
  world.addObserver(&lost);
  runTurns(world, 2);
  EXPECT_EQ(lost.failures(), 2);
  EXPECT_EQ(lost.firstFailure(),
            "cannot append to " + folder + "no/such/folder/c_time.log: No such file or directory");
  EXPECT_EQ(logs.failures(), 0);
  EXPECT_EQ(linesOf(folder + "seed_num.log").size(), 4u);
}

// While the worker runs, the lines of the turns are kept back and written together; a world
// that stands still has every turn in its logs, as many lines in each as turns ran.
TEST(StatisticsLogs, TheLinesKeptBackAreWrittenWheneverTheWorldStandsStill) {
  const std::string base = freshFolder("held");
  mWorld world;
  vek::WorldDocument document(world, vek::test::fileLock());
  ASSERT_TRUE(document.createWithBuiltInGenome(base).ok());
  const std::string folder = document.saveFolder();
  vek::StatisticsLogs logs(folder, vek::test::fileLock());
  world.addObserver(&logs);
  runTurns(world, 2);  // steps by hand write at once
  EXPECT_EQ(linesOf(folder + "seed_num.log").size(), 2u);

  world.holdAfterTurn(40);
  world.start();
  world.resume();
  world.waitUntilParked();
  for (const char* log : vek::kTurnLogNames) EXPECT_EQ(linesOf(folder + log).size(), 40u) << log;
  world.holdAfterTurn(90);
  world.resume();
  world.waitUntilParked();
  std::lock_guard<FairMutex> lock(world.mutex());
  ASSERT_EQ(world.place().turn(), 90);
  const std::vector<std::string> lines = linesOf(folder + "seed_num.log");
  ASSERT_EQ(lines.size(), 90u);
  EXPECT_EQ(firstWord(lines.back()), std::to_string(world.place().time()));
  for (const char* log : vek::kTurnLogNames) EXPECT_EQ(linesOf(folder + log).size(), 90u) << log;
  EXPECT_EQ(logs.failures(), 0);
}

// A turn goes into all logs or none: a log that cannot take its line (here a folder stands in
// its place) has the lines already written for that turn cut off again, and the world pauses
// after the step, so logs and turns never part.
TEST(StatisticsLogs, ATurnThatCannotBeWrittenLeavesNoLineAndPausesTheWorld) {
  const std::string base = freshFolder("full");
  mWorld world;
  vek::WorldDocument document(world, vek::test::fileLock());
  ASSERT_TRUE(document.createWithBuiltInGenome(base).ok());
  const std::string folder = document.saveFolder();
  vek::StatisticsLogs logs(folder, vek::test::fileLock());
  logs.setKeepFilesOpen(false);  // each turn opens its logs anew, and so finds the folder
  world.addObserver(&logs);
  runTurns(world, 2);
  std::filesystem::remove(folder + "leaf.log");
  std::filesystem::create_directory(folder + "leaf.log");

  world.holdAfterTurn(50);
  world.start();
  world.resume();
  world.waitUntilParked();
  std::lock_guard<FairMutex> lock(world.mutex());
  EXPECT_EQ(world.place().turn(), 3);
  EXPECT_EQ(logs.failures(), 1);
  EXPECT_EQ(logs.firstFailedTurn(), 3);
  EXPECT_EQ(logs.firstFailure().rfind("cannot append to " + folder + "leaf.log", 0), 0u) << logs.firstFailure();
  for (const char* log : vek::kTurnLogNames) {
    if (std::string(log) != "leaf.log") {
      EXPECT_EQ(linesOf(folder + log).size(), 2u) << log;
    }
  }
}

}  // namespace
