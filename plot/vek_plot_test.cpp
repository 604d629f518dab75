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

}  // namespace
}  // namespace vek::plot
