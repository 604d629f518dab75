#include "plot/chart_builder.h"

#include <QAreaSeries>
#include <QBrush>
#include <QChart>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>
#include <algorithm>

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

constexpr qreal kOutlineWidth = 0.6;
constexpr qreal kLabelPointSize = 8;
// Above the chart's own items (its plot, series and legend).
constexpr qreal kLabelZ = 100;

QList<QPointF> qtPoints(const std::vector<PlotPoint>& points) {
  QList<QPointF> list;
  list.reserve(static_cast<qsizetype>(points.size()));
  for (const PlotPoint& point : points) list.append(QPointF(point.x, point.y));
  return list;
}

void hideFromLegend(QChart* chart, QAbstractSeries* series) {
  for (QLegendMarker* marker : chart->legend()->markers(series)) marker->setVisible(false);
}

void addArea(QChart* chart, const AreaModel& model, const std::vector<BandPoint>& piece) {
  auto* area = new QAreaSeries;
  auto* upper = new QLineSeries(area);
  auto* lower = new QLineSeries(area);
  QList<QPointF> high, low;
  high.reserve(static_cast<qsizetype>(piece.size()));
  low.reserve(static_cast<qsizetype>(piece.size()));
  for (const BandPoint& point : piece) {
    high.append(QPointF(point.x, point.high));
    low.append(QPointF(point.x, point.low));
  }
  upper->replace(high);
  lower->replace(low);
  area->setUpperSeries(upper);
  area->setLowerSeries(lower);
  area->setName(QString::fromStdString(model.name));
  QColor fill = shadedColour(model.colour, model.shade);
  fill.setAlphaF(static_cast<float>(model.opacity));
  area->setBrush(fill);
  if (model.outlined) {
    QPen edge(shadedColour(model.colour, 3));
    edge.setWidthF(kOutlineWidth);
    area->setPen(edge);
  } else {
    area->setPen(Qt::NoPen);
  }
  chart->addSeries(area);
  hideFromLegend(chart, area);
}

// A label on a pale ground, so it reads on any area; it moves with the plot.
void addLabel(QChart* chart, const LabelModel& model) {
  auto* ground = new QGraphicsRectItem(chart);
  ground->setZValue(kLabelZ);
  ground->setBrush(QColor(255, 255, 255, 200));
  ground->setPen(Qt::NoPen);
  auto* text = new QGraphicsSimpleTextItem(QString::fromStdString(model.text), ground);
  QFont font = text->font();
  font.setPointSizeF(kLabelPointSize);
  text->setFont(font);
  const QRectF box = text->boundingRect().adjusted(-2, 0, 2, 0);
  ground->setRect(box);
  const QPointF value(model.x, model.y);
  // Centred on its value, but kept inside the plot near its edges.
  const auto place = [chart, ground, box, value] {
    if (chart->series().isEmpty()) return;
    const QRectF plot = chart->plotArea();
    const QPointF at = chart->mapToPosition(value, chart->series().front()) - box.center();
    ground->setPos(std::clamp(at.x(), plot.left() - box.left(), std::max(plot.left(), plot.right() - box.right())),
                   std::clamp(at.y(), plot.top() - box.top(), std::max(plot.top(), plot.bottom() - box.bottom())));
  };
  QObject::connect(chart, &QChart::plotAreaChanged, chart, place);
  place();
}

}  // namespace

QColor shadedColour(int index, int shade) {
  const QColor base = paletteColour(index);
  const auto paler = [&](double towardsWhite) {
    return QColor::fromRgbF(static_cast<float>(base.redF() + (1 - base.redF()) * towardsWhite),
                            static_cast<float>(base.greenF() + (1 - base.greenF()) * towardsWhite),
                            static_cast<float>(base.blueF() + (1 - base.blueF()) * towardsWhite));
  };
  switch (((shade % 4) + 4) % 4) {
    case 1: return paler(0.4);
    case 2: return paler(0.65);
    case 3: return base.darker(135);
    default: return base;
  }
}

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
  chart->legend()->setVisible(panel.legend && panel.lines.size() > 1);
  chart->legend()->setAlignment(Qt::AlignTop);

  QValueAxis* xAxis = axisOf(panel.x);
  QValueAxis* yAxis = axisOf(panel.y);
  chart->addAxis(xAxis, Qt::AlignBottom);
  chart->addAxis(yAxis, Qt::AlignLeft);

  for (const AreaModel& area : panel.areas)
    for (const std::vector<BandPoint>& piece : area.pieces) addArea(chart, area, piece);
  for (QAbstractSeries* series : chart->series()) {
    series->attachAxis(xAxis);
    series->attachAxis(yAxis);
  }

  for (const LineModel& line : panel.lines) {
    QPen pen(paletteColour(line.colour));
    pen.setWidthF(kLineWidth);
    const std::size_t pieces = std::max<std::size_t>(line.pieces.size(), 1);
    for (std::size_t p = 0; p < pieces; ++p) {
      auto* series = new QLineSeries;
      series->setPen(pen);
      if (p < line.pieces.size()) series->replace(qtPoints(line.pieces[p]));
      chart->addSeries(series);
      series->attachAxis(xAxis);
      series->attachAxis(yAxis);
      if (p == 0) {
        series->setName(QString::fromStdString(line.name));
      } else {
        hideFromLegend(chart, series);
      }
    }
  }
  for (const LabelModel& label : panel.labels) addLabel(chart, label);
  return chart;
}

}  // namespace vek::plot
