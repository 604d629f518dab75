#include "sweep/experiment.h"

#include <gtest/gtest.h>

#include "sweep/plan.h"
#include <fstream>

#include "tests/test_support.h"

namespace vek::sweep {
namespace {

// The error of reading `text` as exp.toml, or "" when it reads.
std::string errorOf(const std::string& text) {
  const ExperimentRead read = parseExperiment(text, "exp.toml");
  return read.experiment ? std::string() : read.error;
}

constexpr const char* kHead = "name = \"x\"\nturns = 10\nsave_every = 5\nreplicates = 2\n";

TEST(SweepExperiment, ReadsGridRangesSeedsAndSettingsInTheFilesOrder) {
  const ExperimentRead read = parseExperiment(
      "name = \"capacity\"  # a comment\n"
      "turns = 3000\n"
      "save_every = 250\n"
      "snapshot_every = 1000\n"
      "replicates = [11, 3, 7]\n"
      "[parameters]\n"
      "mSeed_turn_effect = 2\n"
      "mDaughter_log_turn = 50\n"
      "[grid]\n"
      "mSeedList_min_r = [0.002, 0.001]\n"
      "mField_capacity = { from = 0.3, to = 0.6, step = 0.1 }\n"
      "mField_N = [200, 400]\n",
      "exp.toml");
  ASSERT_TRUE(read.experiment) << read.error;
  const Experiment& e = *read.experiment;
  EXPECT_EQ(e.name, "capacity");
  EXPECT_EQ(e.turns, 3000);
  EXPECT_EQ(e.saveEvery, 250);
  EXPECT_EQ(e.snapshotEvery, 1000);
  EXPECT_EQ(e.seeds, (std::vector<std::uint32_t>{11, 3, 7}));
  ASSERT_EQ(e.parameters.size(), 2u);
  EXPECT_EQ(e.parameters[0], (std::pair<std::string, double>{"mSeed_turn_effect", 2}));
  EXPECT_EQ(e.parameters[1], (std::pair<std::string, double>{"mDaughter_log_turn", 50}));
  // Not alphabetical: as the file has them. The range's steps land on round values.
  ASSERT_EQ(e.grid.size(), 3u);
  EXPECT_EQ(e.grid[0].key, "mSeedList_min_r");
  EXPECT_EQ(e.grid[1].key, "mField_capacity");
  EXPECT_EQ(e.grid[1].values, (std::vector<double>{0.3, 0.4, 0.5, 0.6}));
  EXPECT_EQ(e.grid[2].values, (std::vector<double>{200, 400}));

  const ExperimentRead counted = parseExperiment(std::string(kHead) + "[grid]\nmField_capacity = [0.5]\n", "exp.toml");
  ASSERT_TRUE(counted.experiment) << counted.error;
  EXPECT_EQ(counted.experiment->seeds, (std::vector<std::uint32_t>{1, 2}));
  EXPECT_EQ(counted.experiment->snapshotEvery, 0);
  // No grid: one setting.
  EXPECT_EQ(errorOf(kHead), "");
}

TEST(SweepExperiment, BadInputNamesTheFileAndTheLine) {
  EXPECT_EQ(errorOf(std::string(kHead) + "colour = 3\n"),
            "exp.toml:5: unknown key colour (an experiment has name, turns, save_every, replicates, snapshot_every, "
            "parameter_file, gene_file, [parameters] and [grid])");
  EXPECT_EQ(errorOf(std::string(kHead) + "[grid]\nmField_capacity = [0.4]\nmField_capcity = [0.5]\n"),
            "exp.toml:7: mField_capcity is not a key of the parameter file");
  EXPECT_EQ(errorOf(std::string(kHead) + "[parameters]\nmEdge_radius = \"wide\"\n"),
            "exp.toml:6: mEdge_radius must be a number");
  EXPECT_EQ(errorOf(std::string(kHead) + "[grid]\nmField_capacity = []\n"), "exp.toml:6: the grid gives mField_capacity no value");
  EXPECT_EQ(errorOf(std::string(kHead) + "[grid]\n"),
            "exp.toml:5: the grid names no parameter (leave [grid] out for one setting)");
  EXPECT_EQ(errorOf(std::string(kHead) + "[grid]\nmField_capacity = [0.4, 0.5, 0.4]\n"),
            "exp.toml:6: the grid gives mField_capacity the value 0.4 twice");
  EXPECT_EQ(errorOf("name = \"x\"\nturns = 10\nsave_every = 5\nreplicates = [1, 2,\n  1]\n"),
            "exp.toml:5: the seed 1 is given twice");
  EXPECT_EQ(errorOf(std::string(kHead) + "[grid]\nmField_N = [100, 150.5]\n"),
            "exp.toml:6: mField_N takes a whole number, not 150.5");
  EXPECT_EQ(errorOf(std::string(kHead) + "[grid]\nmField_capacity = { from = 0.5, to = 0.3, step = 0.1 }\n"),
            "exp.toml:6: the range of mField_capacity ends before it starts");
  EXPECT_EQ(errorOf(std::string(kHead) + "[parameters]\nmField_capacity = 0.3\n[grid]\nmField_capacity = [0.4]\n"),
            "exp.toml:8: mField_capacity is both in [parameters] and in [grid]");
  EXPECT_EQ(errorOf("name = \"x\"\nturns = 0\n"), "exp.toml:2: turns must lie from 1 to 2147483647");
  EXPECT_EQ(errorOf("name = \"x\"\nsave_every = 5\nreplicates = 2\n"), "exp.toml:1: the experiment says no turns (turns = N)");
  EXPECT_EQ(errorOf(std::string(kHead) + "parameter_file = \"missing.pini\"\n").rfind("exp.toml:5: parameter_file: there is no file /", 0), 0u);
  // The TOML itself: the parser's message, with its line.
  EXPECT_EQ(errorOf("name = \"x\"\nturns = = 3\n").rfind("exp.toml:2: ", 0), 0u);
}

TEST(SweepExperiment, RunsAreTheSettingsInOrderEachWithEverySeed) {
  const ExperimentRead read = parseExperiment(
      "name = \"g\"\nturns = 10\nsave_every = 5\nreplicates = [4, 9]\n"
      "[grid]\nmField_capacity = [0.4, 0.5]\nmSeed_turn_effect = [1, 1.5, 2]\n",
      "exp.toml");
  ASSERT_TRUE(read.experiment) << read.error;
  const std::vector<vek::sweep::Run> runs = expandRuns(*read.experiment);
  ASSERT_EQ(runs.size(), 12u);
  EXPECT_EQ(runs[0].folder, "runs/mField_capacity=0.4/mSeed_turn_effect=1/seed=4");
  EXPECT_EQ(runs[1].folder, "runs/mField_capacity=0.4/mSeed_turn_effect=1/seed=9");
  EXPECT_EQ(runs[2].folder, "runs/mField_capacity=0.4/mSeed_turn_effect=1.5/seed=4");
  EXPECT_EQ(runs[11].folder, "runs/mField_capacity=0.5/mSeed_turn_effect=2/seed=9");
  for (size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(runs[i].id, static_cast<int>(i) + 1);
    EXPECT_EQ(runs[i].setting, static_cast<int>(i / 2));
  }
  EXPECT_EQ(runs[11].values, (std::vector<double>{0.5, 2}));
  EXPECT_EQ(runs[11].seed, 9u);

  const ExperimentRead plain = parseExperiment(kHead, "exp.toml");
  const std::vector<vek::sweep::Run> alone = expandRuns(*plain.experiment);
  ASSERT_EQ(alone.size(), 2u);
  EXPECT_EQ(alone[1].folder, "runs/seed=2");
}

TEST(SweepExperiment, TheCommandOfARunCreatesContinuesAndFinishesIt) {
  const std::string folder = vek::test::freshFolder("files");
  std::ofstream(folder + "base.pini") << "0.2 mField_capacity\n";
  std::ofstream(folder + "exp.toml") << "name = \"c\"\nturns = 300\nsave_every = 100\nsnapshot_every = 150\n"
                                        "replicates = 1\nparameter_file = \"base.pini\"\n"
                                        "[parameters]\nmEdge_radius = 0.25\n[grid]\nmSeed_turn_effect = [1e-05]\n";
  const ExperimentRead read = readExperiment(folder + "exp.toml");
  ASSERT_TRUE(read.experiment) << read.error;
  EXPECT_EQ(read.experiment->parameterFilePath, folder + "base.pini");
  Plan plan{"/plans/c/", *read.experiment, expandRuns(*read.experiment)};
  EXPECT_EQ(runArguments(plan, plan.runs[0], "/bin/vek-batch"),
            (std::vector<std::string>{"/bin/vek-batch", "--base", "runs/mSeed_turn_effect=1e-05/seed=1", "--seed", "1",
                                      "--param", "base.pini", "--set", "mEdge_radius=0.25", "--set",
                                      "mSeed_turn_effect=1e-05", "--until", "300", "--save-every", "100",
                                      "--snapshot-every", "150", "--force", "--summary",
                                      "runs/mSeed_turn_effect=1e-05/seed=1/summary.json", "--resume", "--quiet"}));
  // The parameter file first, then the fixed settings, then the grid.
  const Parameters p = plannedParameters(plan, plan.runs[0]);
  EXPECT_EQ(p.mField_capacity, 0.2);
  EXPECT_EQ(p.mEdge_radius, 0.25);
  EXPECT_EQ(p.mSeed_turn_effect, 1e-05);
  EXPECT_EQ(p.mField_N, 1000);
}

}  // namespace
}  // namespace vek::sweep
