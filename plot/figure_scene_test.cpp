#include "plot/figure_scene.h"

#include <gtest/gtest.h>

#include <QChart>
#include <QCoreApplication>
#include <QGraphicsRectItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>
#include <cmath>

#include "plot/chart_builder.h"
#include "plot/folder_figure.h"
#include "plot/plot_test_support.h"

namespace vek::plot {
namespace {

using test::freshFolder;
using test::valueLog;
using test::writeFile;

QValueAxis* axis(QChart* chart, Qt::Orientation orientation) {
  const auto axes = chart->axes(orientation);
  return axes.size() == 1 ? qobject_cast<QValueAxis*>(axes.front()) : nullptr;
}

// Whether a pixel of `colour` (antialiased lines blend a little with the ground) lies within
// `reach` pixels of `at`.
bool drawnNear(const QImage& image, QPointF at, QColor colour, int reach = 3) {
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx) {
      const QPoint p(static_cast<int>(std::lround(at.x())) + dx, static_cast<int>(std::lround(at.y())) + dy);
      if (!image.rect().contains(p)) continue;
      const QColor c = image.pixelColor(p);
      if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
              std::abs(c.blue() - colour.blue()) < 60)
        return true;
    }
  return false;
}

TEST(PanelChart, HasTheModelsAxesAndOneSeriesPerPieceNamedOncePerLine) {
  PanelModel panel;
  panel.title = "Births per turn / Deaths per turn";
  panel.x = turnAxis(1, 2000, 8);
  panel.x.title = "Turn";
  panel.y = valueAxis(0, 57, 5);
  panel.y.title = "individuals";
  panel.lines = {{"Births per turn", 0, {{{1, 0}, {2000, 57}}}},
                 {"Deaths per turn", 1, {{{1, 0}, {900, 3}}, {{1100, 4}, {2000, 30}}}}};
  QGraphicsScene scene;
  QChart* chart = buildPanelChart(panel);
  scene.addItem(chart);
  chart->resize(600, 400);
  QCoreApplication::processEvents();
  EXPECT_EQ(chart->title(), "Births per turn / Deaths per turn");
  QValueAxis* x = axis(chart, Qt::Horizontal);
  QValueAxis* y = axis(chart, Qt::Vertical);
  ASSERT_TRUE(x && y);
  EXPECT_EQ(x->min(), 1);
  EXPECT_EQ(x->max(), 2000);
  EXPECT_EQ(x->tickInterval(), 500);
  EXPECT_EQ(x->titleText(), "Turn");
  EXPECT_EQ(y->min(), 0);
  EXPECT_EQ(y->max(), 60);
  EXPECT_EQ(y->tickInterval(), 20);
  EXPECT_EQ(y->titleText(), "individuals");
  ASSERT_EQ(chart->series().size(), 3);
  EXPECT_EQ(static_cast<QLineSeries*>(chart->series()[2])->points().front(), QPointF(1100, 4));
  EXPECT_EQ(static_cast<QLineSeries*>(chart->series()[2])->pen().color(), paletteColour(1));
  QStringList named;
  for (QLegendMarker* marker : chart->legend()->markers())
    if (marker->isVisible()) named << marker->label();
  EXPECT_EQ(named, (QStringList{"Births per turn", "Deaths per turn"}));
  EXPECT_TRUE(chart->legend()->isVisible());
}

TEST(FigureScene, ThePictureOfAKnownFolderShowsEachValueAtItsPixel) {
  const std::string folder = freshFolder("world");
  std::vector<double> population, genes;
  for (int turn = 1; turn <= 20000; ++turn) {
    population.push_back(turn <= 10000 ? 10 : 50);
    genes.push_back(turn == 12345 ? 1000 : 1);
  }
  writeFile(folder + "seed_num.log", valueLog(population));
  writeFile(folder + "gene_num.log", valueLog(genes));
  const QSize size(800, 700);
  FolderFigureRequest request;
  request.folder = folder;
  std::string unknown;
  ASSERT_TRUE(parsePanelSeries("seed_num,gene_num", request.panels, unknown));
  request.pixelColumns = figureGrid(2, size.width(), size.height()).panelWidth;
  const FolderFigure figure = readFolderFigure(request);
  ASSERT_TRUE(figure.ok()) << figure.error;

  const FigureScene scene(figure.figure, size);
  ASSERT_EQ(scene.panelCount(), 2);
  EXPECT_EQ(scene.panelRect(1), QRectF(0, 40 + 330, 800, 330));
  const QImage image = scene.toImage();
  ASSERT_EQ(image.size(), size);
  const QColor blue = paletteColour(0);

  // Population: 10 in the first half of the turns, 50 in the second.
  for (double turn : {2000.0, 5000.0, 9000.0}) {
    EXPECT_TRUE(drawnNear(image, scene.pixelOf(0, {turn, 10}), blue)) << turn;
    EXPECT_FALSE(drawnNear(image, scene.pixelOf(0, {turn, 50}), blue)) << turn;
  }
  for (double turn : {11000.0, 15000.0, 19000.0}) {
    EXPECT_TRUE(drawnNear(image, scene.pixelOf(0, {turn, 50}), blue)) << turn;
    EXPECT_FALSE(drawnNear(image, scene.pixelOf(0, {turn, 10}), blue)) << turn;
  }
  // Genes: a one-turn spike among 20,000 turns reaches its height in its pixel column only.
  EXPECT_TRUE(drawnNear(image, scene.pixelOf(1, {12345, 1000}), blue, 1));
  EXPECT_TRUE(drawnNear(image, scene.pixelOf(1, {12345, 500}), blue, 1));
  EXPECT_FALSE(drawnNear(image, scene.pixelOf(1, {12345, 500}) + QPointF(8, 0), blue, 2));
  EXPECT_FALSE(drawnNear(image, scene.pixelOf(1, {12345, 500}) - QPointF(8, 0), blue, 2));
  // The panels' plots lie inside their panels.
  EXPECT_TRUE(scene.panelRect(0).contains(scene.pixelOf(0, {1, 10})));
  EXPECT_TRUE(scene.panelRect(1).contains(scene.pixelOf(1, {20000, 1})));
}

TEST(FigureScene, WritesPngSvgAndPdfByTheExtension) {
  const std::string folder = freshFolder("pictures");
  FigureModel figure;
  figure.title = "two panels";
  PanelModel panel;
  panel.title = "Living individuals";
  panel.lines = {{"Living individuals", 0, {{{0, 0.1}, {1, 0.9}}}}};
  figure.panels = {panel, panel};
  const FigureScene scene(figure, QSize(640, 480));

  const QString png = QString::fromStdString(folder + "figure.PNG");
  ASSERT_EQ(scene.write(png), QString());
  const QImage read(png);
  EXPECT_EQ(read.size(), QSize(640, 480));
  EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32), scene.toImage());

  ASSERT_EQ(scene.write(QString::fromStdString(folder + "figure.svg")), QString());
  const std::string svg = test::readFile(folder + "figure.svg");
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("viewBox=\"0 0 640 480\""), std::string::npos);
  EXPECT_NE(svg.find("<title>two panels</title>"), std::string::npos);

  ASSERT_EQ(scene.write(QString::fromStdString(folder + "figure.pdf")), QString());
  EXPECT_EQ(test::readFile(folder + "figure.pdf").rfind("%PDF-", 0), 0u);

  EXPECT_EQ(scene.write(QString::fromStdString(folder + "figure.bmp")),
            QString::fromStdString("cannot write " + folder + "figure.bmp: the name must end in .png, .svg or .pdf"));
  const QString nowhere = QString::fromStdString(folder + "missing/figure.png");
  EXPECT_TRUE(scene.write(nowhere).startsWith("cannot write " + nowhere + ": ")) << scene.write(nowhere).toStdString();
}

// A figure's own legend takes room under the title; the panels start below it. A label stays
// inside the plot however near its edge its value lies.
TEST(FigureScene, ALegendPushesThePanelsDownAndLabelsStayInsideThePlot) {
  FigureModel figure;
  figure.title = "settings";
  for (int i = 0; i < 12; ++i) figure.legend.push_back({"mField_capacity=0." + std::to_string(i) + " (3 runs)", i});
  PanelModel panel;
  panel.title = "Living individuals";
  panel.x = turnAxis(0, 100, 8);
  panel.y = valueAxis(0, 10, 5);
  panel.areas = {{"band", 0, 0, 0.3, false, {{{0, 1, 3}, {100, 5, 9}}}}};
  panel.labels = {{"61-449355-1", 100, 10}, {"61-0-1", 50, 2}};
  figure.panels = {panel};
  const FigureScene scene(figure, QSize(500, 400));
  const QRectF plain = FigureScene(FigureModel{"settings", {}, {panel}}, QSize(500, 400)).panelRect(0);
  EXPECT_GT(scene.panelRect(0).top(), plain.top() + 40) << "twelve entries take three rows or more";
  EXPECT_EQ(scene.panelRect(0).bottom(), plain.bottom());

  QChart* chart = scene.chart(0);
  const QRectF plot = chart->plotArea();
  int labels = 0;
  for (QGraphicsItem* item : chart->childItems()) {
    auto* ground = dynamic_cast<QGraphicsRectItem*>(item);
    if (!ground || ground->childItems().empty()) continue;
    ++labels;
    EXPECT_TRUE(plot.contains(ground->mapRectToParent(ground->rect()))) << ground->pos().x() << "," << ground->pos().y();
  }
  EXPECT_EQ(labels, 2);
}

}  // namespace
}  // namespace vek::plot
