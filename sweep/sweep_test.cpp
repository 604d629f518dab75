// vek-sweep as a researcher runs it: the built programs on temporary folders, with GNU
// parallel as the engine.
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "records/statistics_logs.h"
#include "sweep/csv.h"
#include "sweep/plan.h"
#include "sweep/processes.h"
#include "sweep/status.h"
#include "sweep/sweep_test_support.h"
#include "tests/test_support.h"

namespace vek::sweep {
namespace {

using test::attemptExitCodes;
using test::planIn;
using test::csvLines;
using test::runShell;
using test::runSweep;
using test::waitFor;
using test::writeFile;
using vek::test::freshFolder;
using vek::test::readBytes;

// Long enough that a run caught early in its turns is still running when the sweep is stopped.
constexpr int kGridTurns = 1000;
const std::string kGrid =
    "name = \"grid\"\n"
    "turns = " + std::to_string(kGridTurns) + "\n"
    "save_every = 100\n"
    "replicates = 3\n"
    "[grid]\n"
    "mField_capacity = [0.1, 0.5]\n"
    "mSeed_turn_effect = [1.0, 2.0]\n";

nlohmann::json summaryOf(const Plan& plan, const vek::sweep::Run& run) {
  std::ifstream in(plan.runFolder(run) + "summary.json");
  return nlohmann::json::parse(in, nullptr, false);
}

TEST(VekSweep, AnInterruptedSweepRunAgainFinishesEveryRunOnceAsRunsAloneDo) {
  const std::string folder = freshFolder("parallel");
  const std::string experiment = writeFile(folder, "grid.toml", kGrid);
  ASSERT_EQ(runSweep(folder, "plan grid.toml").exitCode, 0);
  const Plan plan = planIn(folder + "grid");
  ASSERT_EQ(plan.runs.size(), 12u);

  // Stopped half way, as Ctrl-C or a SIGTERM stops it: parallel has each running task save.
  const int sweep = test::startSweep(folder, "run grid --jobs 2");
  const bool halfWay = waitFor(
      [&] {
        int done = 0, savedOnTheWay = 0;
        for (const vek::sweep::Run& run : plan.runs) {
          const RunStatus status = runStatus(plan, run);
          done += status.state == RunState::kDone;
          savedOnTheWay += status.state == RunState::kRunning && status.turn >= 150 && status.turn <= 400;
        }
        return done >= 3 && savedOnTheWay >= 1;
      },
      300);
  kill(sweep, SIGTERM);
  EXPECT_EQ(test::waitForExit(sweep), 130) << readBytes(folder + ".stderr.txt");
  ASSERT_TRUE(halfWay) << "the sweep did not get half way";
  const StatusCounts stopped = countRuns(plan);
  EXPECT_GE(stopped.of(RunState::kInterrupted), 1);
  EXPECT_LT(stopped.of(RunState::kDone), 12);
  EXPECT_EQ(stopped.of(RunState::kRunning), 0);
  EXPECT_EQ(stopped.of(RunState::kFailed), 0);
  const test::Command status = runSweep(folder, "status grid");
  EXPECT_NE(status.out.find("resumes from its last save"), std::string::npos) << status.out;

  const test::Command again = runSweep(folder, "run grid --jobs 2");
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_NE(again.out.find("vek-sweep: 12 runs: 12 done, 0 running, 0 interrupted, 0 failed, 0 not started"),
            std::string::npos)
      << again.out;
  EXPECT_EQ(readBytes(folder + "grid/parallel.joblog").find("Seq\tHost\tStarttime"), 0u);

  // Every run finished once: one attempt that ended well; any before it were interruptions,
  // and the run then went on from its save rather than from the start.
  std::set<int> resumed;
  int wentOnFromASave = 0;  // a run stopped before its first save goes on from turn 0
  for (const vek::sweep::Run& run : plan.runs) {
    const std::vector<int> codes = attemptExitCodes(plan.runFolder(run));
    ASSERT_FALSE(codes.empty()) << run.folder;
    EXPECT_EQ(codes.back(), 0) << run.folder;
    for (size_t i = 0; i + 1 < codes.size(); ++i) EXPECT_TRUE(isInterruption(codes[i])) << run.folder << " " << codes[i];
    const nlohmann::json summary = summaryOf(plan, run);
    EXPECT_EQ(summary["turn"], kGridTurns) << run.folder;
    if (codes.size() > 1) {
      resumed.insert(run.id);
      wentOnFromASave += summary["first_turn"].get<int>() > 0;
    } else {
      EXPECT_EQ(summary["first_turn"], 0) << run.folder;
    }
    for (const char* log : vek::kTurnLogNames)
      EXPECT_EQ(std::count(std::istreambuf_iterator<char>(std::ifstream(plan.runFolder(run) + "original_log/" + log).rdbuf()),
                           std::istreambuf_iterator<char>(), '\n'),
                kGridTurns)
          << run.folder << log;
  }
  EXPECT_FALSE(resumed.empty());
  EXPECT_GE(wentOnFromASave, 1);
  const test::Command nothing = runSweep(folder, "run grid");
  EXPECT_EQ(nothing.exitCode, 0);
  EXPECT_NE(nothing.out.find("nothing to start"), std::string::npos) << nothing.out;

  ASSERT_EQ(runSweep(folder, "collect grid").exitCode, 0);
  const std::string alone = test::summaryOfRunsAlone(experiment, folder);
  // Runs resume exactly, so the resumed ones end as they do alone.
  EXPECT_EQ(readBytes(folder + "grid/summary.csv"), alone);
}

TEST(VekSweep, StatusTellsFailedRunsWithTheirOutputAndCollectLeavesThemOut) {
  const std::string folder = freshFolder("failed");
  writeFile(folder, "sizes.toml",
            "name = \"sizes\"\nturns = 5\nsave_every = 5\nreplicates = 1\n[grid]\nmField_N = [200, 20000]\n");
  ASSERT_EQ(runSweep(folder, "plan sizes.toml").exitCode, 0);
  const test::Command run = runSweep(folder, "run sizes --jobs 2");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("some runs failed; vek-sweep status "), std::string::npos) << run.err;

  const test::Command status = runSweep(folder, "status sizes");
  EXPECT_EQ(status.exitCode, 0);
  EXPECT_NE(status.out.find("2 runs: 1 done, 0 running, 0 interrupted, 1 failed, 0 not started"), std::string::npos)
      << status.out;
  EXPECT_NE(status.out.find("failed       run 2 (runs/mField_N=20000/seed=1), exit 1; the end of its run.log:\n"
                            "    vek-batch: mField_N = 20000 asks for a field of 20000 x 20000 cells; at most 16384 "
                            "per side are allowed\n"),
            std::string::npos)
      << status.out;

  // Run again, a failed run is tried again (and fails again); a finished one is not.
  EXPECT_EQ(runSweep(folder, "run sizes").exitCode, 1);
  const Plan plan = planIn(folder + "sizes");
  EXPECT_EQ(attemptExitCodes(plan.runFolder(plan.runs[0])), std::vector<int>{0});
  EXPECT_EQ(attemptExitCodes(plan.runFolder(plan.runs[1])), (std::vector<int>{1, 1}));

  const test::Command collect = runSweep(folder, "collect sizes");
  EXPECT_EQ(collect.exitCode, 0);
  EXPECT_EQ(collect.err, "vek-sweep: 1 run is not finished and left out: runs 2\n");
  const std::vector<std::string> rows = csvLines(readBytes(folder + "sizes/summary.csv"));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].rfind("1,200,1,5,", 0), 0u) << rows[1];
}

TEST(VekSweep, NothingRunsWhenAnEngineIsMissingOrARunFolderHoldsADifferentWorld) {
  const std::string folder = freshFolder("refused");
  writeFile(folder, "two.toml", "name = \"two\"\nturns = 5\nsave_every = 5\nreplicates = 2\n");
  ASSERT_EQ(runSweep(folder, "plan two.toml").exitCode, 0);

  const test::Command withoutParallel = runShell(folder, "PATH=/nonexistent '" VEK_BIN_DIR "/vek-sweep' run two");
  EXPECT_EQ(withoutParallel.exitCode, 1);
  EXPECT_EQ(withoutParallel.err, "vek-sweep: GNU parallel is not installed (Debian package: parallel)\n");
  const test::Command withoutSbatch = runShell(folder, "PATH=/nonexistent '" VEK_BIN_DIR "/vek-sweep' slurm two");
  EXPECT_EQ(withoutSbatch.exitCode, 1);
  EXPECT_EQ(withoutSbatch.err,
            "vek-sweep: sbatch is not installed (Debian package: slurm-client, or slurm-wlm for a whole cluster)\n");

  // A world with other parameters where run 2's would go: nothing starts, not even run 1.
  std::filesystem::remove_all(folder + "two/runs");
  const test::Command other = runShell(
      folder, "'" VEK_BIN_DIR "/vek-batch' --base two/runs/seed=2 --set mField_capacity=0.25 --turns 0 --quiet");
  ASSERT_EQ(other.exitCode, 0) << other.err;
  const std::string expected = "vek-sweep: " + folder +
                               "two/runs/seed=2/original_log/ holds a different world: mField_capacity is 0.25 "
                               "there and 0.5 in the plan; move it away or plan another folder\n";
  for (const char* command : {"run two", "slurm two --dry-run"}) {
    const test::Command refused = runSweep(folder, command);
    EXPECT_EQ(refused.exitCode, 1) << command;
    EXPECT_EQ(refused.err, expected) << command;
  }
  EXPECT_FALSE(std::filesystem::exists(folder + "two/runs/seed=1/original_log"));
  EXPECT_FALSE(std::filesystem::exists(folder + "two/parallel.joblog"));
}

TEST(VekSweep, PlanningAgainIsANoOpAndAChangedExperimentNeedsForce) {
  const std::string folder = freshFolder("replan");
  writeFile(folder, "exp.toml", "name = \"e\"\nturns = 5\nsave_every = 5\nreplicates = 2\n[grid]\nmEdge_radius = [0.5]\n");
  const test::Command first = runSweep(folder, "plan exp.toml --out plans/e");
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_EQ(first.out, "vek-sweep: planned in " + folder +
                           "plans/e/: 2 runs (1 settings x 2 seeds, 5 turns each); runs.csv and commands.txt there\n");
  EXPECT_EQ(readBytes(folder + "plans/e/runs.csv"),
            "run,folder,seed,mEdge_radius\n1,runs/mEdge_radius=0.5/seed=1,1,0.5\n2,runs/mEdge_radius=0.5/seed=2,2,0.5\n");
  const std::vector<std::string> commands = csvLines(readBytes(folder + "plans/e/commands.txt"));
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[1], shellQuoted(VEK_BIN_DIR "/vek-batch") +
                             " --base runs/mEdge_radius=0.5/seed=2 --seed 2 --set mEdge_radius=0.5 --until 5 "
                             "--save-every 5 --summary runs/mEdge_radius=0.5/seed=2/summary.json --resume --quiet");

  const test::Command same = runSweep(folder, "plan exp.toml --out plans/e");
  EXPECT_EQ(same.exitCode, 0);
  EXPECT_EQ(same.out.find("vek-sweep: already planned in "), 0u) << same.out;

  writeFile(folder, "exp.toml", "name = \"e\"\nturns = 8\nsave_every = 5\nreplicates = 2\n[grid]\nmEdge_radius = [0.5]\n");
  const test::Command changed = runSweep(folder, "plan exp.toml --out plans/e");
  EXPECT_EQ(changed.exitCode, 1);
  EXPECT_EQ(changed.err, "vek-sweep: " + folder + "plans/e/ holds the plan of a different experiment (its "
                                                  "experiment.toml or a file it names differs from exp.toml); plan "
                                                  "with --force to replace the plan, or choose another --out\n");
  const test::Command forced = runSweep(folder, "plan exp.toml --out plans/e --force");
  EXPECT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_NE(readBytes(folder + "plans/e/commands.txt").find("--until 8"), std::string::npos);

  writeFile(folder, "stray.txt", "");
  const test::Command occupied = runSweep(folder, "plan exp.toml --out .");
  EXPECT_EQ(occupied.exitCode, 1);
  EXPECT_EQ(occupied.err, "vek-sweep: " + folder + " is not empty and holds no plan; choose another --out (or --force)\n");
  const test::Command bad = runSweep(folder, "plan missing.toml");
  EXPECT_EQ(bad.exitCode, 2);
}

TEST(VekSweep, CollectWritesSummarySeriesAndSettingsThatReadBack) {
  const std::string folder = freshFolder("collect");
  writeFile(folder, "exp.toml",
            "name = \"c\"\nturns = 20\nsave_every = 10\nreplicates = [3, 4]\n[grid]\nmSeed_turn_effect = [1, 2]\n");
  ASSERT_EQ(runSweep(folder, "plan exp.toml").exitCode, 0);
  ASSERT_EQ(runSweep(folder, "run exp --jobs 2").exitCode, 0);
  const test::Command collect = runSweep(folder, "collect exp --every 5");
  ASSERT_EQ(collect.exitCode, 0) << collect.err;
  EXPECT_EQ(collect.err, "");

  const std::vector<std::string> summary = csvLines(readBytes(folder + "exp/summary.csv"));
  ASSERT_EQ(summary.size(), 5u);
  EXPECT_EQ(summary[0],
            "run,mSeed_turn_effect,seed,turn,time,living,genes,births,deaths,births_last_turn,deaths_last_turn,"
            "average_evaluation,average_age,average_genome_size,average_energy,average_energy_gained,"
            "average_energy_used,average_energy_kept,occupancy,energy_share_edges,energy_share_leaves,"
            "energy_share_flowers");
  const Plan plan = planIn(folder + "exp");
  for (const vek::sweep::Run& run : plan.runs) {
    const std::vector<std::string> fields = csvFields(summary[run.id]);
    ASSERT_EQ(fields.size(), 22u);
    EXPECT_EQ(fields[0], std::to_string(run.id));
    EXPECT_EQ(fields[2], std::to_string(run.seed));
    const nlohmann::json json = summaryOf(plan, run);
    // Numbers read back exactly.
    EXPECT_EQ(std::stod(fields[5]), json["living"].get<double>());
    EXPECT_EQ(std::stod(fields[14]), json["last_turn"]["average_energy"].get<double>());
  }

  // Every 5th turn of every log: the place's time, the calendar time, 27 plain logs and the
  // 32 instruction counts of ope_ene.log.
  const std::vector<std::string> series = csvLines(readBytes(folder + "exp/series.csv"));
  EXPECT_EQ(series[0], "run,turn,measure,value");
  EXPECT_EQ(series.size(), 1u + 4 * 4 * 61);
  std::ifstream log(plan.runFolder(plan.runs[1]) + "original_log/seed_num.log");
  std::string line;
  for (int turn = 1; turn <= 10; ++turn) std::getline(log, line);
  const std::string living = line.substr(line.find(' ') + 1, line.find('\r') - line.find(' ') - 1);
  const auto row = std::find(series.begin(), series.end(), "2,10,seed_num," + living);
  EXPECT_NE(row, series.end()) << "2,10,seed_num," + living;
  std::ifstream ope(plan.runFolder(plan.runs[3]) + "original_log/ope_ene.log");
  for (int turn = 1; turn <= 20; ++turn) std::getline(ope, line);
  std::istringstream words(line);
  std::string time, nop0;
  words >> time >> nop0;
  EXPECT_NE(std::find(series.begin(), series.end(), "4,20,ope_ene_nop_0," + nop0), series.end()) << nop0;
  EXPECT_NE(std::find(series.begin(), series.end(), "4,20,time," + time), series.end()) << time;

  // One row per setting: two replicates each, their mean and spread.
  const std::vector<std::string> settings = csvLines(readBytes(folder + "exp/settings.csv"));
  ASSERT_EQ(settings.size(), 3u);
  const std::vector<std::string> header = csvFields(settings[0]);
  EXPECT_EQ(header[0], "mSeed_turn_effect");
  EXPECT_EQ(header[1], "replicates");
  EXPECT_EQ(header[2], "time_mean");
  const size_t livingMean = std::find(header.begin(), header.end(), "living_mean") - header.begin();
  ASSERT_LT(livingMean, header.size());
  EXPECT_EQ(header[livingMean + 1], "living_sd");
  EXPECT_EQ(header[livingMean + 2], "living_ci95_low");
  EXPECT_EQ(header[livingMean + 3], "living_ci95_high");
  const std::vector<std::string> second = csvFields(settings[2]);
  EXPECT_EQ(second[0], "2");
  EXPECT_EQ(second[1], "2");
  const double a = std::stod(csvFields(summary[3])[5]), b = std::stod(csvFields(summary[4])[5]);
  EXPECT_DOUBLE_EQ(std::stod(second[livingMean]), (a + b) / 2);
  EXPECT_NEAR(std::stod(second[livingMean + 1]), std::abs(a - b) / std::sqrt(2.0), 1e-9);
}

TEST(VekSweep, TheSlurmScriptIsAJobArrayOfTheUnfinishedRuns) {
  const std::string folder = freshFolder("script");
  writeFile(folder, "exp.toml", "name = \"my run\"\nturns = 5\nsave_every = 5\nreplicates = 5\n");
  ASSERT_EQ(runSweep(folder, "plan exp.toml").exitCode, 0);
  // Runs 2 and 3 finished: only the others are sent.
  ASSERT_EQ(runSweep(folder, "task exp 2 && '" VEK_BIN_DIR "/vek-sweep' task exp 3").exitCode, 0);
  const test::Command dry =
      runSweep(folder, "slurm exp --dry-run --partition short --time 1:00:00 --cpus-per-task 2 --max-parallel 3");
  ASSERT_EQ(dry.exitCode, 0) << dry.err;
  EXPECT_EQ(dry.out, "#!/bin/bash\n"
                     "#SBATCH --job-name='vek-my run'\n"
                     "#SBATCH --array=1,4-5%3\n"
                     "#SBATCH --cpus-per-task=2\n"
                     "#SBATCH --partition=short\n"
                     "#SBATCH --time=1:00:00\n"
                     "#SBATCH --requeue\n"
                     "#SBATCH --signal=B:TERM@120\n"
                     "#SBATCH --output=" + folder + "exp/slurm/%A_%a.out\n"
                     "#SBATCH --open-mode=append\n"
                     "# One task per run of the plan in " + folder + "exp/. A task continues its run from the last "
                     "save whenever it starts\n"
                     "# (requeued, preempted or submitted again); the SIGTERM before the time limit, or from scancel,\n"
                     "# makes the world save and stop.\n"
                     "exec " + shellQuoted(VEK_BIN_DIR "/vek-sweep") + " task " + folder + "exp/ \"$SLURM_ARRAY_TASK_ID\"\n");
  EXPECT_FALSE(std::filesystem::exists(folder + "exp/slurm"));
}

}  // namespace
}  // namespace vek::sweep
