#include "plot/sweep_figure.h"

#include <gtest/gtest.h>

#include <QAreaSeries>
#include <QChart>
#include <QImage>
#include <cmath>
#include <filesystem>

#include "plot/chart_builder.h"
#include "plot/figure_scene.h"
#include "plot/plot_test_support.h"
#include "sweep/plan.h"
#include "sweep/run_folder.h"

namespace vek::plot {
namespace {

using test::freshFolder;
using test::valueLog;
using test::writeFile;

constexpr const char* kExperiment =
    "name = \"bands\"\n"
    "turns = 20\n"
    "save_every = 10\n"
    "replicates = 3\n"
    "[grid]\n"
    "mField_capacity = [0.3, 0.5]\n";

// Student's t for 2 and 1 degrees of freedom, 97.5 %.
constexpr double kT2 = 4.302653;
constexpr double kT1 = 12.706205;

// A planned sweep of two settings of three runs (1 to 3, then 4 to 6) without any logs yet.
sweep::Plan plannedSweep(const std::string& folder) {
  writeFile(folder + "bands.toml", kExperiment);
  const sweep::PlanOutcome planned = sweep::makePlan(folder + "bands.toml", folder + "bands", false, "vek-batch");
  EXPECT_TRUE(planned.plan) << planned.error;
  return planned.plan ? *planned.plan : sweep::Plan{};
}

// Gives run `id` (from 1) a save folder with a seed_num.log of `values`.
void giveLogs(const sweep::Plan& plan, int id, const std::vector<double>& values) {
  const std::string save = sweep::saveFolderOf(plan, plan.runs.at(static_cast<std::size_t>(id - 1)));
  std::filesystem::create_directories(save);
  writeFile(save + "seed_num.log", valueLog(values));
}

SweepFigure readSweep(const std::string& folder) {
  SweepFigureRequest request;
  request.folder = folder;
  request.series = {findSeries("seed_num")};
  request.pixelColumns = 100;
  return readSweepFigure(request);
}

// Whether `pixel` is `colour` laid thinly over white: every channel as far from white, in its
// share, as the others, at a share between 0.1 and 0.5.
bool tintedWith(QColor pixel, QColor colour) {
  const double shares[3] = {(255.0 - pixel.red()) / (255.0 - colour.red()),
                            (255.0 - pixel.green()) / (255.0 - colour.green()),
                            (255.0 - pixel.blue()) / (255.0 - colour.blue())};
  const auto [least, most] = std::minmax({shares[0], shares[1], shares[2]});
  return least >= 0.1 && most <= 0.5 && most - least < 0.1;
}

TEST(SweepFigure, TwoSettingsGiveTwoLinesOfTheirMeansInTwoBandsOfTheirIntervals) {
  const std::string folder = freshFolder("sweep");
  const sweep::Plan plan = plannedSweep(folder);
  ASSERT_EQ(plan.runs.size(), 6u);
  for (int r = 0; r < 3; ++r) {
    std::vector<double> low(20, 10 + 2 * r), high;
    for (int turn = 1; turn <= 20; ++turn) high.push_back(100 + 10 * r + turn);
    giveLogs(plan, 1 + r, low);
    giveLogs(plan, 4 + r, high);
  }
  const SweepFigure figure = readSweep(folder + "bands/");
  ASSERT_TRUE(figure.ok()) << figure.error;
  EXPECT_TRUE(figure.notes.empty());
  EXPECT_EQ(figure.settings, 2);
  EXPECT_EQ(figure.runs, 6);
  EXPECT_EQ(figure.to, 20);
  EXPECT_EQ(figure.figure.title, folder + "bands: mean and 95 % confidence interval of 3 runs per setting, turns 1 to 20");
  ASSERT_EQ(figure.figure.legend.size(), 2u);
  EXPECT_EQ(figure.figure.legend[0].name, "mField_capacity=0.3 (3 runs)");
  EXPECT_EQ(figure.figure.legend[1].name, "mField_capacity=0.5 (3 runs)");
  EXPECT_EQ(figure.figure.legend[1].colour, 1);

  ASSERT_EQ(figure.figure.panels.size(), 1u);
  const PanelModel& panel = figure.figure.panels[0];
  EXPECT_EQ(panel.title, "Living individuals");
  ASSERT_EQ(panel.lines.size(), 2u);
  ASSERT_EQ(panel.areas.size(), 2u);
  const double halfLow = kT2 * 2 / std::sqrt(3.0), halfHigh = kT2 * 10 / std::sqrt(3.0);
  for (int s = 0; s < 2; ++s) {
    ASSERT_EQ(panel.lines[s].pieces.size(), 1u);
    ASSERT_EQ(panel.areas[s].pieces.size(), 1u);
    const auto& mean = panel.lines[s].pieces[0];
    const auto& band = panel.areas[s].pieces[0];
    ASSERT_EQ(mean.size(), 20u);
    ASSERT_EQ(band.size(), 20u);
    for (int k = 0; k < 20; ++k) {
      const double expected = s == 0 ? 12 : 111 + k;
      const double half = s == 0 ? halfLow : halfHigh;
      EXPECT_EQ(mean[k], (PlotPoint{k + 1.0, expected}));
      EXPECT_EQ(band[k].x, k + 1.0);
      EXPECT_NEAR(band[k].low, expected - half, 1e-5);
      EXPECT_NEAR(band[k].high, expected + half, 1e-5);
    }
  }
  EXPECT_LE(panel.y.min, 12 - halfLow);
  EXPECT_GE(panel.y.max, 130 + halfHigh);

  // The picture: two area series, each band tinted with its setting's colour between its
  // ends and not beyond them (between the grid's lines).
  const FigureScene scene(figure.figure, QSize(900, 600));
  int areas = 0;
  for (QAbstractSeries* series : scene.chart(0)->series()) areas += qobject_cast<QAreaSeries*>(series) != nullptr;
  EXPECT_EQ(areas, 2);
  const QImage image = scene.toImage();
  const auto at = [&](double turn, double value) {
    const QPointF p = scene.pixelOf(0, {turn, value});
    return image.pixelColor(static_cast<int>(std::lround(p.x())), static_cast<int>(std::lround(p.y())));
  };
  for (double turn : {4.0, 12.0, 17.0}) {
    EXPECT_TRUE(tintedWith(at(turn, 12 + 0.6 * halfLow), paletteColour(0))) << turn;
    EXPECT_TRUE(tintedWith(at(turn, 12 - 0.6 * halfLow), paletteColour(0))) << turn;
    EXPECT_FALSE(tintedWith(at(turn, 12 + 1.6 * halfLow), paletteColour(0))) << turn;
    EXPECT_TRUE(tintedWith(at(turn, 110 + turn + 0.6 * halfHigh), paletteColour(1))) << turn;
    EXPECT_FALSE(tintedWith(at(turn, 110 + turn + 1.3 * halfHigh), paletteColour(1))) << turn;
  }
}

TEST(SweepFigure, RunsCutShortCountUpToTheirLastTurnAndRunsNotStartedAreLeftOut) {
  const std::string folder = freshFolder("sweep");
  const sweep::Plan plan = plannedSweep(folder);
  giveLogs(plan, 1, std::vector<double>(20, 10));
  giveLogs(plan, 2, std::vector<double>(20, 14));
  giveLogs(plan, 3, std::vector<double>(10, 12));
  giveLogs(plan, 4, std::vector<double>(20, 50));
  const SweepFigure figure = readSweep(folder + "bands");
  ASSERT_TRUE(figure.ok()) << figure.error;
  EXPECT_EQ(figure.notes, (std::vector<std::string>{
                              "run 5 (runs/mField_capacity=0.5/seed=2) has no logs yet (not started); left out",
                              "run 6 (runs/mField_capacity=0.5/seed=3) has no logs yet (not started); left out",
                              "run 3 (runs/mField_capacity=0.3/seed=3) ends at turn 10, before turn 20 (running, "
                              "stopped or failed)"}));
  EXPECT_EQ(figure.runs, 4);
  EXPECT_EQ(figure.figure.legend[1].name, "mField_capacity=0.5 (1 run)");
  EXPECT_NE(figure.figure.title.find("of 1 to 3 runs per setting"), std::string::npos) << figure.figure.title;

  const PanelModel& panel = figure.figure.panels[0];
  const auto& band = panel.areas[0].pieces.at(0);
  ASSERT_EQ(band.size(), 20u);
  EXPECT_NEAR(band[4].high - 12, kT2 * 2 / std::sqrt(3.0), 1e-5) << "turn 5: three replicates";
  EXPECT_NEAR(band[14].high - 12, kT1 * 2, 1e-5) << "turn 15: two replicates";
  EXPECT_EQ(panel.lines[0].pieces.at(0)[14], (PlotPoint{15, 12}));
  EXPECT_TRUE(panel.areas[1].pieces.empty()) << "one replicate has no interval";
  EXPECT_EQ(panel.lines[1].pieces.at(0).back(), (PlotPoint{20, 50}));
}

TEST(SweepFigure, FailuresNameTheFolderOrTheFileAndLine) {
  const std::string folder = freshFolder("sweep");
  const sweep::Plan plan = plannedSweep(folder);
  EXPECT_TRUE(isSweepFolder(folder + "bands"));
  EXPECT_FALSE(isSweepFolder(folder));
  EXPECT_EQ(readSweep(folder + "bands").error,
            folder + "bands: no run of the sweep has logs yet (start it with vek-sweep run or vek-sweep slurm)");

  giveLogs(plan, 1, {1, 2, 3});
  const std::string log = sweep::saveFolderOf(plan, plan.runs[1]) + "seed_num.log";
  giveLogs(plan, 2, {1, 2, 3});
  writeFile(log, "10 1\r\n20 2\r\n30 x\r\n");
  EXPECT_EQ(readSweep(folder + "bands").error, log + " line 3: \"x\" is not a number");

  std::filesystem::remove(folder + "bands/experiment.toml");
  EXPECT_NE(readSweep(folder + "bands").error.find("holds no plan"), std::string::npos);

  PanelSeries panels;
  std::string unknown;
  ASSERT_TRUE(parsePanelSeries("seed_num+gene_num,cur_bir", panels, unknown));
  EXPECT_EQ(sweepSeries(panels).size(), 3u) << "a panel for each series";
  EXPECT_EQ(defaultSweepSeries().size(), 8u);
}

}  // namespace
}  // namespace vek::plot
