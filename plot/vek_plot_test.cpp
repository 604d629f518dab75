// vek-plot as a researcher runs it: the built program on folders, without a display.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "plot/plot_test_support.h"

namespace vek::plot {
namespace {

using test::freshFolder;
using test::ProgramRun;
using test::writeFile;

ProgramRun plot(const std::string& arguments, const std::string& folder) {
  // A display that does not exist: the program must not need one.
  return test::runProgram(VEK_PLOT_PROGRAM, arguments, folder, "DISPLAY=:99 QT_QPA_PLATFORM=xcb");
}

TEST(VekPlot, DrawsTheFolderOfARealWorldWithoutADisplay) {
  const std::string base = freshFolder("world");
  const std::string folder = test::batchWorld(base, 120);
  const ProgramRun run = plot("original_log --size 900x700", base);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "vek-plot: wrote original_log.png (8 panels, turns 1 to 120)\n");
  EXPECT_EQ(QImage(QString::fromStdString(base + "original_log.png")).size(), QSize(900, 700));

  const ProgramRun svg = plot("original_log --series ave_ene,ope_ene.bred+ope_ene.makl --from 20 --to 80 "
                              "--out figure.svg --quiet",
                              base);
  ASSERT_EQ(svg.exitCode, 0) << svg.err;
  EXPECT_EQ(svg.out, "");
  EXPECT_NE(test::readFile(base + "figure.svg").find("original_log: turns 20 to 80"), std::string::npos);
}

TEST(VekPlot, UsageErrorsEndWithCodeTwoAndSayWhatIsKnown) {
  const std::string base = freshFolder("usage");
  writeFile(base + "seed_num.log", test::valueLog({1, 2, 3}));
  const ProgramRun unknown = plot(". --series seed_num,population", base);
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_EQ(unknown.err.rfind("vek-plot: unknown series \"population\". Known series: seed_num, gene_num, ", 0), 0u)
      << unknown.err;
  EXPECT_NE(unknown.err.find("ope_ene.INSTRUCTION"), std::string::npos);
  EXPECT_NE(unknown.err.find("c_time.clock"), std::string::npos);

  EXPECT_EQ(plot(". --out figure.bmp", base).exitCode, 2);
  EXPECT_EQ(plot(". --size 900", base).exitCode, 2);
  EXPECT_EQ(plot(". --from 5 --to 2", base).exitCode, 2);
  EXPECT_EQ(plot("", base).exitCode, 2);
  EXPECT_EQ(plot("--help", base).exitCode, 0);
  const ProgramRun list = plot("--list", base);
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_NE(list.out.find("  seed_num         Living individuals [individuals]\n"), std::string::npos) << list.out;
}

TEST(VekPlot, FailedRunsEndWithCodeOneAndNameTheFile) {
  const std::string base = freshFolder("failures");
  const ProgramRun noLogs = plot(".", base);
  EXPECT_EQ(noLogs.exitCode, 1);
  EXPECT_NE(noLogs.err.find("holds no statistics logs"), std::string::npos) << noLogs.err;

  writeFile(base + "seed_num.log", "10 1\r\n20 2\r\n30 2,5\r\n");
  const ProgramRun malformed = plot(". --series seed_num", base);
  EXPECT_EQ(malformed.exitCode, 1);
  EXPECT_EQ(malformed.err, "vek-plot: ./seed_num.log line 3: \"2,5\" is not a number\n");
  for (const auto& entry : std::filesystem::directory_iterator(base))
    EXPECT_NE(entry.path().extension(), ".png") << "no picture after a failed run";
}

// A sweep run as a researcher runs one: planned and run by vek-sweep through GNU parallel,
// then drawn whole.
TEST(VekPlot, DrawsASweepThatVekSweepRan) {
  const std::string base = freshFolder("sweep");
  writeFile(base + "tiny.toml",
            "name = \"tiny\"\nturns = 80\nsave_every = 40\nreplicates = 2\n"
            "[grid]\nmEdge_keep_calorie = [0.5, 1.0]\n");
  for (const char* step : {"plan tiny.toml --out tiny", "run tiny --jobs 2"}) {
    const ProgramRun run = test::runProgram(VEK_SWEEP_PROGRAM, step, base);
    ASSERT_EQ(run.exitCode, 0) << step << ": " << run.err;
  }
  const ProgramRun run = plot("tiny --size 1000x800", base);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "vek-plot: wrote tiny.png (8 panels, 2 settings of 4 runs, turns 1 to 80)\n");
  EXPECT_EQ(QImage(QString::fromStdString(base + "tiny.png")).size(), QSize(1000, 800));

  const ProgramRun joined = plot("tiny --series seed_num+gene_num --out joined.svg", base);
  ASSERT_EQ(joined.exitCode, 0) << joined.err;
  EXPECT_EQ(joined.out, "vek-plot: wrote joined.svg (2 panels, 2 settings of 4 runs, turns 1 to 80)\n");
  EXPECT_NE(test::readFile(base + "joined.svg").find("mEdge_keep_calorie=0.5 (2 runs)"), std::string::npos);

  const ProgramRun muller = plot("tiny --muller", base);
  EXPECT_EQ(muller.exitCode, 2);
  EXPECT_NE(muller.err.find("is a sweep's folder"), std::string::npos) << muller.err;
}

TEST(VekPlot, DrawsTheMullerPlotOfARealWorld) {
  const std::string base = freshFolder("muller");
  test::batchWorld(base, 300);
  const ProgramRun run = plot("original_log --muller", base);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.rfind("vek-plot: wrote original_log-muller.png (Muller plot of ", 0), 0u) << run.out;
  EXPECT_NE(run.out.find(" genomes, turns 10 to 300)\n"), std::string::npos) << run.out;
  EXPECT_EQ(QImage(QString::fromStdString(base + "original_log-muller.png")).size(), QSize(1200, 700));

  EXPECT_EQ(plot("original_log --muller --series seed_num", base).exitCode, 2);
  std::filesystem::remove(base + "original_log/lineage_counts.csv");
  const ProgramRun missing = plot("original_log --muller", base);
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, "vek-plot: cannot open original_log/lineage_counts.csv: No such file or directory\n");
}

}  // namespace
}  // namespace vek::plot
