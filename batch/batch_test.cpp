// vek-batch as a researcher runs it: the built program on temporary folders.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "records/statistics_logs.h"
#include "tests/test_support.h"

namespace {

using vek::test::dataPath;
using vek::test::freshFolder;
using vek::test::readBytes;

struct BatchRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs vek-batch in `folder` with `arguments` (already quoted as the shell needs).
BatchRun runBatch(const std::string& folder, const std::string& arguments) {
  const std::string command = "cd '" + folder + "' && '" VEK_BATCH_PROGRAM "' " + arguments + " >'" + folder +
                              "stdout.txt' 2>'" + folder + "stderr.txt' </dev/null";
  const int status = std::system(command.c_str());
  BatchRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = readBytes(folder + "stdout.txt");
  run.err = readBytes(folder + "stderr.txt");
  return run;
}

int lineCount(const std::string& path) {
  const std::string text = readBytes(path);
  int lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

TEST(VekBatch, TurnsZeroWritesTheFilesOfANewWorldByteForByte) {
  const std::string base = freshFolder("zero");
  const BatchRun run = runBatch(base, "--turns 0");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string folder = base + "original_log/";
  EXPECT_EQ(readBytes(folder + "parameter.pini"), readBytes(dataPath("parameter.pini")));
  EXPECT_EQ(readBytes(folder + "gene.gini"), readBytes(dataPath("gene.gini")));
  EXPECT_EQ(readBytes(folder + "Vek.vek"), readBytes(dataPath("Vek.vek")));
  EXPECT_EQ(readBytes(folder + "Vind.lives"), "Vind is living in Vek !!\r\n0\r\n");
  EXPECT_EQ(readBytes(folder + "Ostrel.lives").rfind("Ostrel is living in Vek!!\r\n0 0\r\n/*mGeneList start*/\r\n", 0),
            0u);
  for (const char* log : vek::kTurnLogNames) {
    EXPECT_TRUE(std::filesystem::exists(folder + log)) << log;
    EXPECT_EQ(lineCount(folder + log), 0) << log;
  }
  EXPECT_TRUE(std::filesystem::exists(folder + "log_turn.log"));
  EXPECT_EQ(run.out.rfind("vek-batch: 0 turns in ", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("1 living, 1 genes; saved in " + folder), std::string::npos) << run.out;
  EXPECT_EQ(run.err, "");
}

TEST(VekBatch, RunsTurnsAndALoadedWorldAppendsToItsLogs) {
  const std::string base = freshFolder("continue");
  ASSERT_EQ(runBatch(base, "--turns 3 --quiet").exitCode, 0);
  const std::string folder = base + "original_log/";
  for (const char* log : vek::kTurnLogNames) EXPECT_EQ(lineCount(folder + log), 3) << log;

  const BatchRun more = runBatch(base, "--load original_log --turns 2");
  ASSERT_EQ(more.exitCode, 0) << more.err;
  EXPECT_EQ(more.out.rfind("vek-batch: 2 turns in ", 0), 0u) << more.out;
  EXPECT_NE(more.out.find("; turn 5, "), std::string::npos) << more.out;
  for (const char* log : vek::kTurnLogNames) EXPECT_EQ(lineCount(folder + log), 5) << log;
  EXPECT_EQ(readBytes(folder + "Vind.lives"), "Vind is living in Vek !!\r\n0\r\n");
}

TEST(VekBatch, SavingOnTheWaySnapshotsAndSeedsDoNotChangeTheRun) {
  const std::string plain = freshFolder("plain");
  const std::string saving = freshFolder("saving");
  const std::string seeded = freshFolder("seeded");
  ASSERT_EQ(runBatch(plain, "--turns 6 --quiet").exitCode, 0);
  const BatchRun run = runBatch(saving, "--turns 6 --save-every 4 --snapshot world.view --quiet");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "");
  ASSERT_EQ(runBatch(seeded, "--turns 6 --seed 1033 --quiet").exitCode, 0);

  const std::string lives = readBytes(plain + "original_log/Ostrel.lives");
  EXPECT_EQ(readBytes(saving + "original_log/Ostrel.lives"), lives);
  EXPECT_EQ(readBytes(seeded + "original_log/Ostrel.lives"), lives);
  EXPECT_EQ(readBytes(saving + "original_log/seed_num.log"), readBytes(plain + "original_log/seed_num.log"));

  const std::string snapshot = readBytes(saving + "world.view");
  EXPECT_EQ(snapshot.rfind("/*-----Tovra View-------*/\r\n/ turn = 6\r\n/ time = ", 0), 0u) << snapshot;
  EXPECT_NE(snapshot.find("\r\n-40 -40 40 40 0 0 0.08\r\nS 0.000000 0.000000 0.000000 61-0-1\r\n"), std::string::npos);
}

TEST(VekBatch, TheReferenceRunSavesTheSameWorldAndTheProfileNamesThePhases) {
  const std::string fast = freshFolder("fast");
  const std::string reference = freshFolder("reference");
  const BatchRun profiled = runBatch(fast, "--turns 300 --profile --quiet");
  ASSERT_EQ(profiled.exitCode, 0) << profiled.err;
  ASSERT_EQ(runBatch(reference, "--turns 300 --reference --quiet").exitCode, 0);
  for (const char* phase : {"SUN_LIGHT", "INITIAL_EXECUTE", "PRE_EXECUTE", "EXECUTE", "AFTER_EXECUTE"})
    EXPECT_NE(profiled.err.find(phase), std::string::npos) << profiled.err;
  EXPECT_NE(profiled.err.find("300 turns (fast algorithms)"), std::string::npos) << profiled.err;
  EXPECT_NE(profiled.err.find("covered-cell visits "), std::string::npos) << profiled.err;
  // The whole turn as one ratio to the bare pass over its covered cells, a positive number.
  const size_t ratio = profiled.err.find("whole turn against the bare pass: ");
  ASSERT_NE(ratio, std::string::npos) << profiled.err;
  EXPECT_GT(std::stod(profiled.err.substr(ratio + std::string("whole turn against the bare pass: ").size())), 0.0);

  const std::string a = fast + "original_log/";
  const std::string b = reference + "original_log/";
  // Every file the same, byte for byte, but the wall-clock log.
  for (const char* file : {"Ostrel.lives", "Vind.lives", "parameter.pini", "gene.gini", "Vek.vek"})
    EXPECT_EQ(readBytes(a + file), readBytes(b + file)) << file;
  for (const std::string log : vek::kTurnLogNames) {
    if (log == "c_time.log") continue;
    EXPECT_EQ(readBytes(a + log), readBytes(b + log)) << log;
  }
  EXPECT_EQ(lineCount(b + "fie_cap.log"), 300);
}

TEST(VekBatch, AWorldFromAnInitialGeneFileWithItsParameters) {
  const std::string base = freshFolder("gini");
  {
    std::ofstream gini(base + "two.gini", std::ios::binary);
    gini << "/* two plants */\r\nrun_two pathName\r\n500 initialEnergy\r\nmakn\r\nnext\r\n3 initial_x\r\nzero\r\n";
    std::ofstream pini(base + "small.pini", std::ios::binary);
    pini << "7 mDaughter_log_turn\r\n";
  }
  const BatchRun run = runBatch(base, "--gene two.gini --param small.pini --turns 1");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("saved in " + base + "run_two/"), std::string::npos) << run.out;
  const std::string lives = readBytes(base + "run_two/Ostrel.lives");
  EXPECT_NE(lives.find("/*mID start*/\r\n1 0 1\r\n"), std::string::npos);  // the first entry's genome
  EXPECT_NE(lives.find("/*mID start*/\r\n1 1 1\r\n"), std::string::npos);  // the second carries time 1
  EXPECT_NE(readBytes(base + "run_two/parameter.pini").find("\r\n7 mDaughter_log_turn "), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(base + "run_two/gene.gini"));
}

TEST(VekBatch, UsageErrorsNameTheOptionAndExitWithTwo) {
  const std::string base = freshFolder("usage");
  const std::string gini = "'" + dataPath("gene.gini") + "'";
  const struct {
    std::string arguments;
    std::string named;
  } cases[] = {
      {"--bogus", "--bogus"},
      {"--turns -1", "--turns"},
      {"--turns many", "--turns"},
      {"--save-every 0", "--save-every"},
      {"--seed 4294967296", "--seed"},
      {"--gene missing.gini", "missing.gini"},
      {"--param missing.pini", "missing.pini"},
      {"--load missing_folder", "missing_folder"},
      {"--load . --gene " + gini, "--load"},
      {"--load . --base .", "--base"},
      {"stray", "stray"},
  };
  for (const auto& c : cases) {
    const BatchRun run = runBatch(base, c.arguments);
    EXPECT_EQ(run.exitCode, 2) << c.arguments;
    EXPECT_NE(run.err.find(c.named), std::string::npos) << c.arguments << ": " << run.err;
    EXPECT_FALSE(std::filesystem::exists(base + "original_log")) << c.arguments;
  }
}

TEST(VekBatch, FaultyFoldersAreReportedAndNothingSavedIsLost) {
  const std::string base = freshFolder("faults");
  ASSERT_EQ(runBatch(base, "--turns 2 --quiet").exitCode, 0);
  const std::string folder = base + "original_log/";
  const std::string goodLives = readBytes(folder + "Ostrel.lives");

  // A new world would replace the saved one.
  BatchRun run = runBatch(base, "--turns 1");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("already holds a saved world; continue it with --load " + folder), std::string::npos)
      << run.err;
  EXPECT_EQ(readBytes(folder + "Ostrel.lives"), goodLives);
  EXPECT_EQ(lineCount(folder + "seed_num.log"), 2);

  // A folder that is not a save folder.
  std::filesystem::create_directories(base + "empty");
  run = runBatch(base, "--load empty");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("empty/ is not a save folder: it holds no Vek.vek"), std::string::npos) << run.err;

  // A damaged lives file: the load fails, names the file, and the folder is left as it was.
  const std::string cut = goodLives.substr(0, goodLives.find("/*mSeedList end*/"));
  {
    std::ofstream damaged(folder + "Ostrel.lives", std::ios::binary | std::ios::trunc);
    damaged << cut;
  }
  const std::string parameters = readBytes(folder + "parameter.pini");
  const std::string world = readBytes(folder + "Vind.lives");
  run = runBatch(base, "--load original_log --turns 5");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("cannot load " + folder + "Ostrel.lives: the population (mSeedList) block starting at line"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(readBytes(folder + "Ostrel.lives"), cut);
  EXPECT_EQ(readBytes(folder + "parameter.pini"), parameters);
  EXPECT_EQ(readBytes(folder + "Vind.lives"), world);
  EXPECT_EQ(lineCount(folder + "seed_num.log"), 2);

  // A missing lives file.
  std::filesystem::remove(folder + "Vind.lives");
  run = runBatch(base, "--load original_log");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("cannot load " + folder + ": the save of turn 2 is incomplete: Vind.lives is missing"),
            std::string::npos)
      << run.err;
}

TEST(VekBatch, ASnapshotThatCannotBeWrittenIsReportedBeforeTheRun) {
  const std::string base = freshFolder("snapshot");
  const BatchRun run = runBatch(base, "--turns 1 --snapshot no/such/folder/world.view");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("--snapshot: the folder no/such/folder does not exist"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(base + "original_log"));
}

// Parameters by key on the command line: after the parameter file for a new world, after the
// saved ones for a loaded world; a key the file does not know or a value that is not a number
// is a usage error that names it.
TEST(VekBatch, SetTakesAnyKeyOfTheParameterFile) {
  const std::string base = freshFolder("set");
  {
    std::ofstream pini(base + "few.pini", std::ios::binary);
    pini << "0.3 mField_capacity\r\n12 mDaughter_log_turn\r\n";
  }
  BatchRun run = runBatch(base, "--param few.pini --set mField_capacity=0.25 --set mCPU_energy_zero=2.5 --turns 2");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string pini = readBytes(base + "original_log/parameter.pini");
  EXPECT_NE(pini.find("\r\n0.25 mField_capacity //"), std::string::npos);
  EXPECT_NE(pini.find("\r\n12 mDaughter_log_turn //"), std::string::npos);
  EXPECT_NE(pini.find("\r\n2.5 mCPU_energy_zero //"), std::string::npos);

  run = runBatch(base, "--load original_log --set mDaughter_log_turn=40 --turns 1");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(readBytes(base + "original_log/parameter.pini").find("\r\n40 mDaughter_log_turn //"), std::string::npos);
  EXPECT_EQ(run.err.find("mCPU_energy_base"), std::string::npos) << run.err;

  // The base of the costs is only carried by the file: setting it is allowed, and said to do nothing.
  run = runBatch(base, "--load original_log --set mCPU_energy_base=3 --turns 1");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("--set mCPU_energy_base changes no instruction's cost"), std::string::npos) << run.err;

  const struct {
    const char* arguments;
    const char* message;
  } wrong[] = {
      {"--set mField_capasity=0.4", "--set mField_capasity=0.4: mField_capasity is not a key of the parameter file"},
      {"--set mField_capacity=lots", "--set mField_capacity=lots: lots is not a number"},
      {"--set mField_capacity=", "--set mField_capacity=:  is not a number"},
      {"--set mField_N=10.5", "--set mField_N=10.5: mField_N takes a whole number"},
      {"--set mField_N", "--set mField_N: expected KEY=VALUE"},
  };
  for (const auto& w : wrong) {
    run = runBatch(base, std::string("--base elsewhere ") + w.arguments);
    EXPECT_EQ(run.exitCode, 2) << w.arguments;
    EXPECT_NE(run.err.find(w.message), std::string::npos) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(base + "elsewhere"));
}

TEST(VekBatch, TheSummaryGivesTheFinalFiguresAsJson) {
  const std::string base = freshFolder("summary");
  const BatchRun run = runBatch(base, "--turns 30 --seed 7 --set mField_capacity=0.4 --summary run.json --quiet");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const nlohmann::json summary = nlohmann::json::parse(readBytes(base + "run.json"));
  EXPECT_EQ(summary["turn"], 30);
  EXPECT_EQ(summary["turns_run"], 30);
  EXPECT_EQ(summary["first_turn"], 0);
  EXPECT_EQ(summary["seed"], 7);
  EXPECT_EQ(summary["algorithms"], "fast");
  EXPECT_EQ(summary["interrupted"], false);
  EXPECT_EQ(summary["folder"], base + "original_log/");
  // The figures are those of the last log lines.
  auto lastValue = [&](const char* log) {
    const std::string text = readBytes(base + "original_log/" + log);
    return text.substr(text.rfind(' ', text.size() - 3) + 1);
  };
  EXPECT_EQ(std::to_string(summary["genes"].get<int>()) + "\r\n", lastValue("gene_num.log"));
  EXPECT_EQ(std::to_string(summary["births"].get<int>()) + "\r\n", lastValue("birth.log"));
  EXPECT_EQ(summary["parameters_changed"], nlohmann::json({{"mField_capacity", 0.4}}));
  EXPECT_TRUE(summary["last_turn"]["occupancy"].is_number());
  EXPECT_GT(summary["wall_seconds"].get<double>(), 0);
  EXPECT_GE(summary["cpu_seconds"].get<double>(), 0);
  EXPECT_GT(summary["turns_per_second"].get<double>(), 0);
}

// Numbered snapshots during a run; a later run does not replace them unless told to.
TEST(VekBatch, SnapshotsEveryKTurnsAreNeverReplacedWithoutForce) {
  const std::string base = freshFolder("series");
  BatchRun run = runBatch(base, "--turns 7 --snapshot-every 3 --quiet");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string folder = base + "original_log/snapshots/";
  EXPECT_TRUE(std::filesystem::exists(folder + "world-000003.view"));
  EXPECT_TRUE(std::filesystem::exists(folder + "world-000006.view"));
  EXPECT_FALSE(std::filesystem::exists(folder + "world-000007.view"));
  EXPECT_EQ(readBytes(folder + "world-000006.view").rfind("/*-----Tovra View-------*/\r\n/ turn = 6\r\n", 0), 0u);

  // Into another folder, from a loaded world: turns 9 and 12.
  std::filesystem::copy(base + "original_log", base + "copy", std::filesystem::copy_options::recursive);
  run = runBatch(base, "--load original_log --turns 5 --snapshot-every 3 --snapshot-dir pictures/run --quiet");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(base + "pictures/run/world-000009.view"));
  EXPECT_TRUE(std::filesystem::exists(base + "pictures/run/world-000012.view"));

  // The same turns again, from a copy of the world at turn 7: refused before any turn runs.
  run = runBatch(base, "--load original_log --turns 5 --snapshot-every 3 --snapshot-dir pictures/run --quiet");
  EXPECT_EQ(run.exitCode, 0) << run.err;  // turns 15 and 18: nothing in the way
  run = runBatch(base, "--load copy --turns 5 --snapshot-every 3 --snapshot-dir pictures/run --quiet");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("pictures/run/world-000009.view is already there"), std::string::npos) << run.err;
  EXPECT_EQ(lineCount(base + "copy/seed_num.log"), 7);
  run = runBatch(base, "--load copy --turns 5 --snapshot-every 3 --snapshot-dir pictures/run --force --quiet");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(lineCount(base + "copy/seed_num.log"), 12);

  run = runBatch(base, "--snapshot-dir x --turns 1");
  EXPECT_EQ(run.exitCode, 2);
}

TEST(VekBatch, AMissingBaseFolderIsMadeWithItsParents) {
  const std::string base = freshFolder("deep");
  const BatchRun run = runBatch(base, "--base runs/a/b --turns 1 --quiet");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(base + "runs/a/b/original_log/Vek.vek"));
}

// The command a scheduler gives again and again: the same line creates the world, continues it
// after an interruption, and does nothing once the world has reached its turn.
TEST(VekBatch, UntilAndResumeMakeARepeatableCommand) {
  const std::string base = freshFolder("resume");
  const std::string command = "--base run --seed 5 --set mField_capacity=0.45 --resume --quiet --until ";
  BatchRun run = runBatch(base, command + "6");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(lineCount(base + "run/original_log/seed_num.log"), 6);
  run = runBatch(base, command + "6");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(lineCount(base + "run/original_log/seed_num.log"), 6);
  run = runBatch(base, command + "10");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(lineCount(base + "run/original_log/seed_num.log"), 10);
  EXPECT_NE(readBytes(base + "run/original_log/parameter.pini").find("\r\n0.45 mField_capacity //"),
            std::string::npos);

  // Without --resume a saved world is never replaced.
  run = runBatch(base, "--base run --until 12 --quiet");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("already holds a saved world"), std::string::npos) << run.err;
  run = runBatch(base, "--turns 3 --until 12");
  EXPECT_EQ(run.exitCode, 2);
}

}  // namespace
