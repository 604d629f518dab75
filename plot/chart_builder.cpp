#include "plot/chart_builder.h"

#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>

namespace vek::plot {

namespace {

constexpr qreal kLineWidth = 1.5;

QValueAxis* axisOf(const AxisModel& model) {
  auto* axis = new QValueAxis;
  axis->setRange(model.min, model.max);
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(0);
  axis->setTickInterval(model.tickInterval);
  axis->setLabelFormat(QStringLiteral("%.%1f").arg(model.decimals));
  axis->setTitleText(QString::fromStdString(model.title));
  QFont font = axis->titleFont();
  font.setPointSizeF(9);
  font.setBold(false);
  axis->setTitleFont(font);
  return axis;
}

}  // namespace

QColor paletteColour(int index) {
  static const QColor kColours[] = {
      QColor(31, 119, 180), QColor(214, 39, 40),   QColor(44, 160, 44),  QColor(255, 127, 14),
      QColor(148, 103, 189), QColor(140, 86, 75),  QColor(227, 119, 194), QColor(127, 127, 127),
      QColor(188, 189, 34),  QColor(23, 190, 207),
  };
  constexpr int count = sizeof kColours / sizeof kColours[0];
  return kColours[((index % count) + count) % count];
}

QChart* buildPanelChart(const PanelModel& panel) {
  auto* chart = new QChart;
  chart->setTitle(QString::fromStdString(panel.title));
  QFont titleFont = chart->titleFont();
  titleFont.setPointSizeF(11);
  titleFont.setBold(true);
  chart->setTitleFont(titleFont);
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(4, 4, 8, 4));
  chart->legend()->setVisible(panel.lines.size() > 1);
  chart->legend()->setAlignment(Qt::AlignTop);

  QValueAxis* xAxis = axisOf(panel.x);
  QValueAxis* yAxis = axisOf(panel.y);
  chart->addAxis(xAxis, Qt::AlignBottom);
  chart->addAxis(yAxis, Qt::AlignLeft);

  for (const LineModel& line : panel.lines) {
    QPen pen(paletteColour(line.colour));
    pen.setWidthF(kLineWidth);
    const std::size_t pieces = std::max<std::size_t>(line.pieces.size(), 1);
    for (std::size_t p = 0; p < pieces; ++p) {
      auto* series = new QLineSeries;
      series->setPen(pen);
      if (p < line.pieces.size()) {
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(line.pieces[p].size()));
        for (const PlotPoint& point : line.pieces[p]) points.append(QPointF(point.x, point.y));
        series->replace(points);
      }
      chart->addSeries(series);
      series->attachAxis(xAxis);
      series->attachAxis(yAxis);
      if (p == 0) {
        series->setName(QString::fromStdString(line.name));
      } else {
        for (QLegendMarker* marker : chart->legend()->markers(series)) marker->setVisible(false);
      }
    }
  }
  return chart;
}

}  // namespace vek::plot
