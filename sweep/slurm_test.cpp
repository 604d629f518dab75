// vek-sweep on a Slurm cluster: a one-node cluster of Debian's slurm-wlm and munge that each
// test starts for itself (scripts/slurm-local.sh) and stops again, whatever happened.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "sweep/plan.h"
#include "sweep/run_folder.h"
#include "sweep/status.h"
#include "sweep/sweep_test_support.h"
#include "tests/test_support.h"

namespace vek::sweep {
namespace {

using test::attemptExitCodes;
using test::planIn;
using test::runShell;
using test::runSweep;
using test::waitFor;
using test::writeFile;
using vek::test::freshFolder;
using vek::test::readBytes;

class VekSweepSlurm : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A fixed folder per test, so a cluster left behind by a killed test is stopped here.
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_suite();
    sCluster = (std::filesystem::temp_directory_path() / "vek_tests" / (std::string(info->name()) + ".cluster")).string();
    cluster("stop");
    std::filesystem::remove_all(sCluster);
    std::filesystem::create_directories(sCluster);
    const test::Command started = cluster("start");
    sStarted = started.exitCode == 0;
    if (!sStarted) sStartError = started.out + started.err + readBytes(sCluster + "/log/slurmctld.log");
    setenv("SLURM_CONF", (sCluster + "/slurm.conf").c_str(), 1);
  }
  static void TearDownTestSuite() { cluster("stop"); }

  void SetUp() override { ASSERT_TRUE(sStarted) << "the test cluster did not start:\n" << sStartError; }

  static test::Command cluster(const std::string& command) {
    return runShell(std::filesystem::temp_directory_path().string() + "/",
                    "bash '" VEK_SOURCE_DIR "/scripts/slurm-local.sh' " + command + " '" + sCluster + "'");
  }

  // Submits the plan's unfinished runs; returns the job's number.
  static std::string submit(const std::string& folder, const std::string& plan) {
    const test::Command submitted = runSweep(folder, "slurm " + plan + " --max-parallel 2");
    EXPECT_EQ(submitted.exitCode, 0) << submitted.err;
    const std::string prefix = "vek-sweep: submitted job array ";
    EXPECT_EQ(submitted.out.rfind(prefix, 0), 0u) << submitted.out;
    return submitted.out.substr(prefix.size(), submitted.out.find(' ', prefix.size()) - prefix.size());
  }

  static bool jobGone(const std::string& job) {
    return runShell(sCluster + "/", "squeue -h -j " + job).out.empty();
  }

  static inline std::string sCluster;
  static inline bool sStarted = false;
  static inline std::string sStartError;
};

TEST_F(VekSweepSlurm, TheSweepAsAJobArrayGivesTheSummaryOfItsRunsAlone) {
  const std::string folder = freshFolder("array");
  const std::string experiment =
      writeFile(folder, "grid.toml",
                "name = \"grid\"\nturns = 300\nsave_every = 100\nreplicates = 3\n"
                "[grid]\nmField_capacity = [0.1, 0.5]\nmSeed_turn_effect = [1.0, 2.0]\n");
  ASSERT_EQ(runSweep(folder, "plan grid.toml").exitCode, 0);
  const std::string job = submit(folder, "grid");
  const Plan plan = planIn(folder + "grid");
  EXPECT_TRUE(waitFor([&] { return countRuns(plan).of(RunState::kDone) == 12; }, 600))
      << runSweep(folder, "status grid").out;
  EXPECT_TRUE(waitFor([&] { return jobGone(job); }, 60));
  for (const vek::sweep::Run& run : plan.runs) {
    EXPECT_EQ(attemptExitCodes(plan.runFolder(run)), std::vector<int>{0}) << run.folder;
    EXPECT_NE(readBytes(plan.runFolder(run) + "attempts.csv").find(",slurm " + job + "_" + std::to_string(run.id) + ","),
              std::string::npos);
  }
  EXPECT_EQ(readBytes(folder + "grid/slurm/submissions.csv").find("job,submitted,runs\n" + job + ","), 0u);

  // Submitted again, nothing is left to run.
  const test::Command again = runSweep(folder, "slurm grid");
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_EQ(again.out.find("vek-sweep: nothing to submit: 12 runs: 12 done"), 0u) << again.out;

  ASSERT_EQ(runSweep(folder, "collect grid").exitCode, 0);
  EXPECT_EQ(readBytes(folder + "grid/summary.csv"), test::summaryOfRunsAlone(experiment, folder));
}

TEST_F(VekSweepSlurm, ACancelledTaskSubmittedAgainFinishesFromItsLastSave) {
  const std::string folder = freshFolder("cancel");
  const std::string experiment =
      writeFile(folder, "long.toml", "name = \"long\"\nturns = 3000\nsave_every = 100\nreplicates = [7]\n");
  ASSERT_EQ(runSweep(folder, "plan long.toml").exitCode, 0);
  const Plan plan = planIn(folder + "long");
  const vek::sweep::Run& run = plan.runs[0];
  const std::string job = submit(folder, "long");

  // Cancelled once it has saved a few times: Slurm's SIGTERM makes the world save and stop.
  const bool underWay = waitFor(
      [&] {
        const RunStatus status = runStatus(plan, run);
        return status.state != RunState::kNotStarted && status.turn >= 300;
      },
      300);
  ASSERT_NE(runStatus(plan, run).state, RunState::kDone) << "the run ended before it could be cancelled";
  EXPECT_EQ(runShell(folder, "scancel " + job + "_1").exitCode, 0);
  ASSERT_TRUE(underWay);
  EXPECT_TRUE(waitFor([&] { return jobGone(job); }, 120));
  const RunStatus cancelled = runStatus(plan, run);
  EXPECT_EQ(cancelled.state, RunState::kInterrupted);
  EXPECT_GE(cancelled.turn, 300);
  EXPECT_LT(cancelled.turn, 3000);
  const std::vector<int> codes = attemptExitCodes(plan.runFolder(run));
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_TRUE(isInterruption(codes[0])) << codes[0];

  const std::string second = submit(folder, "long");
  EXPECT_NE(second, job);
  EXPECT_TRUE(waitFor([&] { return runStatus(plan, run).state == RunState::kDone; }, 600))
      << runSweep(folder, "status long").out;
  EXPECT_TRUE(waitFor([&] { return jobGone(second); }, 60));
  EXPECT_EQ(attemptExitCodes(plan.runFolder(run)), (std::vector<int>{codes[0], 0}));
  std::ifstream in(plan.runFolder(run) + "summary.json");
  const nlohmann::json summary = nlohmann::json::parse(in, nullptr, false);
  EXPECT_EQ(summary["turn"], 3000);
  EXPECT_GE(summary["first_turn"].get<int>(), 300) << "it started again from the beginning";

  ASSERT_EQ(runSweep(folder, "collect long").exitCode, 0);
  EXPECT_EQ(readBytes(folder + "long/summary.csv"), test::summaryOfRunsAlone(experiment, folder));
}

}  // namespace
}  // namespace vek::sweep
