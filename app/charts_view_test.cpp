// The Charts view: a running world's charts follow the turns, a loaded world shows its whole
// history from its logs, the figures the world hands over are the numbers its logs hold, and
// zoom, pan, scales, axes and the pictures behave as a user expects.
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QTest>
#include <QTreeWidget>
#include <QValueAxis>
#include <QWheelEvent>
#include <cmath>
#include <ctime>
#include <mutex>

#include "app/app_test_support.h"
#include "app/chart_panel.h"
#include "app/chart_track.h"
#include "app/charts_view.h"
#include "app/main_window.h"
#include "base/text_io.h"
#include "engine/place.h"
#include "engine/world.h"
#include "plot/log_reader.h"
#include "records/statistics_logs.h"

namespace app::test {
namespace {

using vek::plot::allSeries;
using vek::plot::findSeries;
using vek::plot::SeriesInfo;

// The last value of `series` in the logs of `folder`.
double lastLogged(const std::string& folder, const SeriesInfo& series) {
  double value = NAN;
  const auto& file = vek::plot::kLogFiles[series.file];
  const auto outcome = vek::plot::readLogColumn(folder + file.name, file, series.column, 0,
                                                [&](std::int64_t, double read) { value = read; });
  EXPECT_TRUE(outcome.ok()) << outcome.error;
  return value;
}

// The points a panel draws for its line `line`, all pieces together.
std::vector<QPointF> drawn(const ChartPanel& panel, std::size_t line) {
  std::vector<QPointF> points;
  for (const QLineSeries* piece : panel.lines().at(line).pieces)
    for (const QPointF& point : piece->points()) points.push_back(point);
  return points;
}

// Writes `lines` lines of seed_num.log into `folder`: the value of turn t is t % 100, but 5000
// at turn `spike`.
void writeSeedLog(const std::string& folder, int lines, int spike) {
  std::string text;
  for (int turn = 1; turn <= lines; ++turn)
    text += std::to_string(turn * 7) + " " + std::to_string(turn == spike ? 5000 : turn % 100) + "\r\n";
  writeFile(folder + "seed_num.log", text);
}

class ChartsViewTest : public SimulatorTest {
 protected:
  void SetUp() override { createBuiltInWorld(); }
  void TearDown() override {
    if (mSimulator->world()) mSimulator->world()->pause();
    mFrame.reset();
  }
  kChartsView* openCharts() {
    mFrame = std::make_unique<CMainFrame>(*mSimulator, mDialogs);
    mFrame->show();
    auto* view = static_cast<kChartsView*>(mFrame->openView(ViewKind::kCharts));
    EXPECT_TRUE(waitUntil([&] { return view->chart(0)->readsOut() == 0; }));
    return view;
  }
  mWorld& world() { return *mSimulator->world(); }

  std::unique_ptr<CMainFrame> mFrame;
};

TEST_F(ChartsViewTest, ARunningWorldsChartsFollowTheTurns) {
  runTurns(world(), 5);
  kChartsView* view = openCharts();
  ChartPanel* panel = view->chart(0);
  // It opens with the living individuals, and the genes on the second axis.
  ASSERT_EQ(panel->lines().size(), 2u);
  EXPECT_EQ(panel->lines()[0].series->key, "seed_num");
  EXPECT_EQ(panel->lines()[1].series->key, "gene_num");
  EXPECT_TRUE(panel->lines()[1].rightAxis);
  ASSERT_NE(panel->rightAxis(), nullptr);
  EXPECT_EQ(panel->lastTurn(), 5);

  // Running, the charts draw turn after turn.
  world().start();
  world().resume();
  ASSERT_TRUE(waitUntil([&] { return panel->lastTurn() >= 60 && panel->lastTurnShown() >= 60; }));
  world().pause();
  mSimulator->bridge().deliverPending();
  view->refreshCharts();
  const int turn = turnOf(world());
  EXPECT_EQ(panel->lastTurn(), turn);
  EXPECT_EQ(panel->lastTurnShown(), turn);
  EXPECT_EQ(panel->firstTurnShown(), 1);

  // Every turn from the first is there, each once (a turn is one pixel column or less here).
  const auto& whole = panel->lines()[0].whole->reduced();
  std::int64_t turns = 0;
  for (const auto& bucket : whole.buckets()) turns += bucket.count;
  EXPECT_EQ(turns, turn);
  // The last point drawn is the turn's own figure, as its log holds it.
  const std::vector<QPointF> points = drawn(*panel, 0);
  ASSERT_FALSE(points.empty());
  EXPECT_EQ(points.back().x(), turn);
  EXPECT_EQ(points.back().y(), lastLogged(mSimulator->saveFolder(), *findSeries("seed_num")));
}

TEST_F(ChartsViewTest, ALoadedWorldShowsItsWholeHistoryFromTheLogs) {
  runTurns(world(), 120);
  ASSERT_TRUE(mSimulator->saveWorld().ok());
  const std::string folder = mSimulator->saveFolder();
  double most = 0;
  ASSERT_TRUE(vek::plot::readLogColumn(folder + "seed_num.log", vek::plot::kLogFiles[7], 1, 0,
                                       [&](std::int64_t, double value) { most = std::max(most, value); })
                  .ok());
  mSimulator->startAfresh();
  ASSERT_TRUE(mSimulator->loadWorld(folder).ok());

  kChartsView* view = openCharts();
  ChartPanel* panel = view->chart(0);
  EXPECT_EQ(panel->lastTurn(), 120);
  EXPECT_EQ(panel->lines()[0].whole->reduced().maximum(), most);
  EXPECT_TRUE(panel->readProblem().isEmpty());

  // A chart added later reads the same history; the world then goes on from there.
  ChartPanel* second = view->addChart();
  EXPECT_EQ(view->currentChart(), second);
  ASSERT_TRUE(view->showSeries("ope_ene.makl", true));
  ASSERT_TRUE(view->showSeries("c_time.clock", true, true));
  ASSERT_TRUE(waitUntil([&] { return second->readsOut() == 0; }));
  EXPECT_EQ(second->lastTurn(), 120);
  runTurns(world(), 10);
  ASSERT_TRUE(waitUntil([&] {
    view->refreshCharts();
    return second->lastTurn() == 130 && panel->lastTurn() == 130;
  }));
  // The clock is drawn as the seconds since the first logged turn.
  EXPECT_GE(second->lines()[1].whole->reduced().minimum(), 0);
  EXPECT_EQ(second->lines()[1].whole->reduced().buckets().front().first.y, 0);

  // The world gone, the charts forget it.
  mSimulator->discardWorld();
  EXPECT_EQ(panel->lastTurn(), 0);
  EXPECT_EQ(second->lastTurn(), 0);
}

TEST_F(ChartsViewTest, TheFiguresAWorldHandsOverAreTheNumbersOfItsLogs) {
  runTurns(world(), 150);
  TurnFigureSet figures;
  {
    std::lock_guard<FairMutex> lock(world().mutex());
    figures = turnFigureSet(world().place(), std::time(nullptr));
  }
  EXPECT_EQ(figures.turn, 150);
  // The catalog's logs are the logs the world writes, in the same order.
  for (int log = 0; log < vek::kTurnLogCount; ++log)
    EXPECT_STREQ(vek::plot::kLogFiles[log].name, vek::kTurnLogNames[log]);
  for (const SeriesInfo& series : allSeries()) {
    if (series.file == 0 && series.column != 0) continue;  // the clock: read at another moment
    const double logged = lastLogged(mSimulator->saveFolder(), series);
    const double live = valueOf(series, figures);
    if (std::isnan(logged)) {
      EXPECT_TRUE(std::isnan(live)) << series.key;
      continue;
    }
    // The logs keep ten significant digits.
    EXPECT_EQ(std::stod(vek::formatG10(live)), logged) << series.key;
  }
}

TEST(SeriesTrack, TheLogsTurnsAndTheWorldsMeetWithoutAGapOrATurnTwice) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/";
  writeSeedLog(folder, 10, 0);
  const SeriesInfo& seeds = *findSeries("seed_num");
  std::vector<SeriesTrack> tracks;
  tracks.emplace_back(seeds, 1, std::nullopt, 100, 1);
  tracks.emplace_back(seeds, 4, 6, 100, 6);
  EXPECT_EQ(readHistory(folder, tracks), "");
  EXPECT_EQ(tracks[0].lastTurn(), 10);
  EXPECT_EQ(tracks[1].lastTurn(), 6);
  // The world hands over turns 9 to 15; 9 and 10 came from the log already.
  for (int turn = 9; turn <= 15; ++turn) {
    for (SeriesTrack& track : tracks) track.add(turn, 1000 + turn);
  }
  std::int64_t held = 0;
  for (const auto& bucket : tracks[0].reduced().buckets()) held += bucket.count;
  EXPECT_EQ(held, 15);
  EXPECT_EQ(tracks[0].reduced().buckets()[9].first.y, 10);  // turn 10 as the log has it
  EXPECT_EQ(tracks[0].reduced().maximum(), 1015);
  held = 0;
  for (const auto& bucket : tracks[1].reduced().buckets()) held += bucket.count;
  EXPECT_EQ(held, 3);

  // A bad line: named with its file and line, the turns before it kept.
  writeFile(folder + "seed_num.log", "7 1\r\n14 2\r\n21 x\r\n28 4\r\n");
  std::vector<SeriesTrack> again;
  again.emplace_back(seeds, 1, std::nullopt, 100, 1);
  EXPECT_EQ(readHistory(folder, again), folder + "seed_num.log line 3: \"x\" is not a number");
  EXPECT_EQ(again[0].lastTurn(), 2);

  // A log still being written: the half line is the world's to hand over.
  writeFile(folder + "seed_num.log", "7 1\r\n14 2\r\n21 3");
  std::vector<SeriesTrack> writing;
  writing.emplace_back(seeds, 1, std::nullopt, 100, 1);
  EXPECT_EQ(readHistory(folder, writing), "");
  EXPECT_EQ(writing[0].lastTurn(), 2);
}

class ChartPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mPanel.resize(900, 400);
    mPanel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mPanel));
  }
  void show(const char* key, bool right = false) {
    mPanel.setShown(*findSeries(key), true, right);
    ASSERT_TRUE(waitUntil([&] { return mPanel.readsOut() == 0; }));
  }
  std::string folder() const { return mDir.path().toStdString() + "/"; }
  // The point drawn at `turn`, if any.
  std::optional<double> valueAt(std::size_t line, double turn) const {
    for (const QPointF& point : drawn(mPanel, line))
      if (point.x() == turn) return point.y();
    return std::nullopt;
  }

  QTemporaryDir mDir;
  ChartPanel mPanel;
};

TEST_F(ChartPanelTest, AZoomIntoALongRunIsDrawnTurnByTurnAndASpikeStaysInView) {
  writeSeedLog(folder(), 40000, 23456);
  mPanel.setFolder(folder());
  show("seed_num");
  EXPECT_EQ(mPanel.lastTurn(), 40000);
  // The whole run: the columns widen in doubles as the log is read, to 16 turns a column
  // (2500 columns, more than the chart is wide), the spike among them.
  EXPECT_EQ(mPanel.lines()[0].whole->reduced().bucketWidth(), 16);
  EXPECT_EQ(valueAt(0, 23456), 5000);
  // What is drawn is reduced to the chart's pixels: at most four points a column.
  EXPECT_LE(drawn(mPanel, 0).size(), 4 * (static_cast<std::size_t>(mPanel.chart()->plotArea().width()) + 3));
  EXPECT_GT(drawn(mPanel, 0).size(), static_cast<std::size_t>(mPanel.chart()->plotArea().width()));
  EXPECT_EQ(qobject_cast<QValueAxis*>(mPanel.leftAxis())->max(), 5000);

  // Zoomed in, the turns in view are read again one by one.
  mPanel.zoomTurns(0.01, 23456);
  EXPECT_TRUE(mPanel.zoomed());
  EXPECT_NEAR(mPanel.lastTurnShown() - mPanel.firstTurnShown(), 0.01 * 39999, 1e-6);
  ASSERT_TRUE(waitUntil([&] { return mPanel.lines()[0].detail && mPanel.readsOut() == 0; }));
  mPanel.refresh();
  EXPECT_EQ(mPanel.lines()[0].detail->reduced().bucketWidth(), 1);
  EXPECT_EQ(valueAt(0, 23456), 5000);
  EXPECT_EQ(valueAt(0, 23457), 57);
  EXPECT_EQ(valueAt(0, 23300), 0);

  // Panned to the right by half the chart, the turns move left by half the span.
  const double first = mPanel.firstTurnShown();
  const double span = mPanel.lastTurnShown() - first;
  mPanel.pan(QPointF(-mPanel.chart()->plotArea().width() / 2, 0));
  EXPECT_NEAR(mPanel.firstTurnShown(), first + span / 2, 1e-6);

  // The wheel zooms around the pointer; a double click goes back to the whole run.
  const QPointF middle = mPanel.chart()->plotArea().center();
  const QPoint at = mPanel.mapFromScene(mPanel.chart()->mapToScene(middle));
  const double turnAtPointer = (mPanel.firstTurnShown() + mPanel.lastTurnShown()) / 2;
  QWheelEvent wheel(at, mPanel.viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(mPanel.viewport(), &wheel);
  EXPECT_NEAR(mPanel.lastTurnShown() - mPanel.firstTurnShown(), span * 0.8, 1);
  EXPECT_NEAR((mPanel.firstTurnShown() + mPanel.lastTurnShown()) / 2, turnAtPointer, 2);
  QTest::mouseDClick(mPanel.viewport(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_FALSE(mPanel.zoomed());
  EXPECT_EQ(mPanel.firstTurnShown(), 1);
  EXPECT_EQ(mPanel.lastTurnShown(), 40000);
  EXPECT_EQ(mPanel.lines()[0].detail, nullptr);
}

TEST_F(ChartPanelTest, ADraggedBoxFixesTurnsAndValuesAndScalesAndAxesAreTheUsers) {
  writeSeedLog(folder(), 1000, 500);
  mPanel.setFolder(folder());
  show("seed_num");
  const QRectF plot = mPanel.chart()->plotArea();
  const auto widgetPoint = [&](double x, double y) {
    return mPanel.mapFromScene(mPanel.chart()->mapToScene(QPointF(plot.left() + x * plot.width(), plot.top() + y * plot.height())));
  };
  const double top = qobject_cast<QValueAxis*>(mPanel.leftAxis())->max();
  QTest::mousePress(mPanel.viewport(), Qt::LeftButton, Qt::NoModifier, widgetPoint(0.25, 0.5));
  QTest::mouseMove(mPanel.viewport(), widgetPoint(0.5, 0.75));
  QTest::mouseRelease(mPanel.viewport(), Qt::LeftButton, Qt::NoModifier, widgetPoint(0.5, 0.75));
  EXPECT_TRUE(mPanel.zoomed());
  EXPECT_NEAR(mPanel.firstTurnShown(), 1 + 0.25 * 999, 3);
  EXPECT_NEAR(mPanel.lastTurnShown(), 1 + 0.5 * 999, 3);
  const auto* left = qobject_cast<QValueAxis*>(mPanel.leftAxis());
  EXPECT_NEAR(left->max(), top * 0.5, top * 0.01);
  EXPECT_NEAR(left->min(), top * 0.25, top * 0.01);

  // A logarithmic scale: powers of ten around what is in view; a value of 0 leaves a gap.
  mPanel.resetZoom();
  mPanel.setLogScale(true);
  auto* log = qobject_cast<QLogValueAxis*>(mPanel.leftAxis());
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(log->min(), 1);
  EXPECT_EQ(log->max(), 10000);
  EXPECT_FALSE(valueAt(0, 100).has_value());  // 100 % 100 is 0
  EXPECT_EQ(valueAt(0, 500), 5000);
  EXPECT_GT(mPanel.lines()[0].pieces.size(), 1u);

  // A series on the second axis gets an axis of its own at the right.
  writeFile(folder() + "gene_num.log", "7 3\r\n14 4\r\n");
  mPanel.setLogScale(false);
  EXPECT_EQ(mPanel.rightAxis(), nullptr);
  show("gene_num", true);
  ASSERT_NE(mPanel.rightAxis(), nullptr);
  EXPECT_EQ(mPanel.lines()[1].pieces.front()->attachedAxes().contains(mPanel.rightAxis()), true);
  EXPECT_EQ(qobject_cast<QValueAxis*>(mPanel.rightAxis())->max(), 4);
  mPanel.setRightAxis(*findSeries("gene_num"), false);
  EXPECT_EQ(mPanel.rightAxis(), nullptr);
  mPanel.setShown(*findSeries("seed_num"), false);
  ASSERT_EQ(mPanel.lines().size(), 1u);
  EXPECT_EQ(mPanel.lines()[0].series->key, "gene_num");
}

TEST_F(ChartsViewTest, TheListShowsSeriesOnTheCurrentChartAndThePictureIsSavedAsPngOrSvg) {
  runTurns(world(), 30);
  kChartsView* view = openCharts();
  QTreeWidgetItem* births = nullptr;
  for (int g = 0; g < view->seriesList()->topLevelItemCount(); ++g)
    for (int k = 0; k < view->seriesList()->topLevelItem(g)->childCount(); ++k)
      if (view->seriesList()->topLevelItem(g)->child(k)->toolTip(0).endsWith("(cur_bir)"))
        births = view->seriesList()->topLevelItem(g)->child(k);
  ASSERT_NE(births, nullptr);
  // Checked in the list: shown on the current chart, on the second axis by its second box.
  births->setCheckState(1, Qt::Checked);
  ASSERT_TRUE(view->currentChart()->onRightAxis(*findSeries("cur_bir")));
  EXPECT_EQ(births->checkState(0), Qt::Checked);
  ChartPanel* second = view->addChart();
  EXPECT_EQ(births->checkState(0), Qt::Unchecked);
  view->logScaleBox()->setChecked(true);
  EXPECT_TRUE(second->logScale());
  view->setCurrentChart(view->chart(0));
  EXPECT_EQ(births->checkState(0), Qt::Checked);
  EXPECT_FALSE(view->logScaleBox()->isChecked());
  view->removeChart();
  EXPECT_EQ(view->chartCount(), 1);
  EXPECT_EQ(view->currentChart(), second);
  view->removeChart();
  EXPECT_EQ(view->chartCount(), 1);

  std::string error;
  const std::string png = view->pictureBytes("x.png", error);
  EXPECT_EQ(error, "");
  const QImage image = QImage::fromData(QByteArray::fromStdString(png), "PNG");
  EXPECT_EQ(image.size(), view->picture().size());
  EXPECT_GT(image.width(), 300);
  EXPECT_EQ(view->pictureBytes("x.svg", error).substr(0, 5), "<?xml");
  EXPECT_EQ(view->pictureBytes("x.jpg", error), "");
  EXPECT_EQ(error, "the name must end in .png or .svg: x.jpg");

  // Through the file dialog, starting in the save folder.
  const QString path = QString::fromStdString(folder()) + "charts.svg";
  mDialogs.files = {path};
  view->saveAs();
  ASSERT_EQ(mDialogs.fileRequests.size(), 1u);
  EXPECT_EQ(mDialogs.fileRequests[0].fileName, "charts.png");
  EXPECT_EQ(mDialogs.fileRequests[0].directory.toStdString(), mSimulator->saveFolder());
  EXPECT_NE(readFile(path.toStdString()).find("<svg"), std::string::npos);
  EXPECT_TRUE(mDialogs.warnings.empty());
}

}  // namespace
}  // namespace app::test
