// A figure drawn as a picture: the panels' charts laid out in a grid (figure_model.h's
// figureGrid) under the figure's title and legend, in one graphics scene of a fixed pixel
// size, written
// as PNG, SVG or PDF. The scene knows where each value lands in the picture, so a caller can
// check a picture against its model.
//
// Needs a QApplication (charts are graphics widgets); use on its thread only. The scene owns
// its charts.
#pragma once

#include <QGraphicsScene>
#include <QImage>
#include <QSize>
#include <QString>
#include <vector>

#include "plot/figure_model.h"

QT_BEGIN_NAMESPACE
class QChart;
QT_END_NAMESPACE

namespace vek::plot {

enum class PictureFormat { Png, Svg, Pdf, Unknown };
// By the file name's extension, in any case.
PictureFormat pictureFormatOf(const QString& path);

class FigureScene {
 public:
  FigureScene(const FigureModel& figure, QSize size);
  FigureScene(const FigureScene&) = delete;
  FigureScene& operator=(const FigureScene&) = delete;

  QSize size() const { return mSize; }
  int panelCount() const { return static_cast<int>(mCharts.size()); }
  QChart* chart(int panel) const { return mCharts.at(static_cast<std::size_t>(panel)); }
  // Where panel `panel` lies in the picture.
  QRectF panelRect(int panel) const;
  // The point of the picture at which the value (x, y) of panel `panel` is drawn.
  QPointF pixelOf(int panel, QPointF value) const;

  // The picture on a white ground.
  QImage toImage() const;
  // Writes the picture to `path` in the format its extension names; the file is replaced
  // only once the whole picture is written. Returns "" or what went wrong, naming the file.
  QString write(const QString& path) const;

 private:
  void render(QPainter& painter, const QRectF& target) const;
  // Lays the legend out in rows from `top` down; returns the height it takes.
  int addLegend(const std::vector<LegendEntry>& entries, int top);

  QString mTitle;
  QSize mSize;
  FigureGrid mGrid;
  mutable QGraphicsScene mScene;
  std::vector<QChart*> mCharts;
};

}  // namespace vek::plot
