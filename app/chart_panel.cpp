#include "app/chart_panel.h"

#include <QChart>
#include <QKeyEvent>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QPen>
#include <QRubberBand>
#include <QTimer>
#include <QValueAxis>
#include <QWheelEvent>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>

#include "app/strings.h"
#include "plot/chart_builder.h"
#include "plot/figure_model.h"
#include "plot/min_max_reducer.h"

namespace app {

namespace {

// A line broken into more pieces than this (a value that is often not a number) has its
// later pieces joined, so a chart never holds thousands of series.
constexpr std::size_t kMaxPieces = 64;
// One notch of the wheel shows this share of the turns.
constexpr double kWheelZoom = 0.8;
constexpr int kMinBoxPixels = 5;
constexpr double kMinTurnSpan = 4;
constexpr int kDetailDelay = 150;  // milliseconds after the last zoom or pan
constexpr int kValueTicks = 5;
constexpr int kTurnTicks = 8;
constexpr qreal kLineWidth = 1.5;

using Range = std::pair<double, double>;

void widen(std::optional<Range>& range, double value) {
  if (!range)
    range = Range(value, value);
  else
    range = Range(std::min(range->first, value), std::max(range->second, value));
}

// Qt Charts lays the ticks out again at every change of range or interval, so a new range
// under the old interval (or a new interval over the old range) could ask for tens of
// thousands of tick items at once: a short run's interval of one turn over a long run's range.
// Passing through an interval as wide as both ranges keeps every step to a few ticks.
void setDynamicAxis(QValueAxis* axis, double min, double max, double interval) {
  axis->setTickInterval(std::max({axis->max() - axis->min(), max - min, interval}));
  axis->setRange(min, max);
  axis->setTickInterval(interval);
}

Range axisRange(const QAbstractAxis* axis) {
  if (const auto* log = qobject_cast<const QLogValueAxis*>(axis)) return {log->min(), log->max()};
  const auto* linear = static_cast<const QValueAxis*>(axis);
  return {linear->min(), linear->max()};
}

// `range` moved by `share` of its length (in decades on a log axis).
Range shifted(Range range, double share, bool log) {
  if (log) {
    const double low = std::log10(range.first), high = std::log10(range.second);
    const double by = share * (high - low);
    return {std::pow(10.0, low + by), std::pow(10.0, high + by)};
  }
  const double by = share * (range.second - range.first);
  return {range.first + by, range.second + by};
}

QString unitsOf(const std::vector<ChartPanel::Line>& lines, bool right) {
  QStringList units;
  for (const ChartPanel::Line& line : lines) {
    const QString unit = wordsOf(*line.series).unit;
    if (line.rightAxis == right && !units.contains(unit)) units << unit;
  }
  return units.join(QStringLiteral(" / "));
}

}  // namespace

ChartPanel::ChartPanel(QWidget* parent) : QChartView(new QChart, parent) {
  setRenderHint(QPainter::Antialiasing);
  setMinimumHeight(140);
  setFocusPolicy(Qt::ClickFocus);
  setRubberBand(QChartView::NoRubberBand);
  chart()->setBackgroundRoundness(0);
  chart()->setMargins(QMargins(4, 4, 8, 4));
  chart()->legend()->setAlignment(Qt::AlignTop);
  QFont titleFont = chart()->titleFont();
  titleFont.setPointSizeF(10);
  titleFont.setBold(true);
  chart()->setTitleFont(titleFont);
  mBand = new QRubberBand(QRubberBand::Rectangle, viewport());
  mDetailTimer = new QTimer(this);
  mDetailTimer->setSingleShot(true);
  mDetailTimer->setInterval(kDetailDelay);
  connect(mDetailTimer, &QTimer::timeout, this, &ChartPanel::readDetail);
  refresh();
}

ChartPanel::~ChartPanel() = default;

void ChartPanel::touch() {
  if (mDirty) return;
  mDirty = true;
  emit changed();
}

ChartPanel::Line* ChartPanel::lineOf(const vek::plot::SeriesInfo& series) {
  for (Line& line : mLines)
    if (line.series == &series) return &line;
  return nullptr;
}

bool ChartPanel::shows(const vek::plot::SeriesInfo& series) const {
  return std::any_of(mLines.begin(), mLines.end(), [&](const Line& line) { return line.series == &series; });
}

bool ChartPanel::onRightAxis(const vek::plot::SeriesInfo& series) const {
  return std::any_of(mLines.begin(), mLines.end(),
                     [&](const Line& line) { return line.series == &series && line.rightAxis; });
}

void ChartPanel::setShown(const vek::plot::SeriesInfo& series, bool shown, bool rightAxis) {
  if (shown && lineOf(series)) {
    setRightAxis(series, rightAxis);
    return;
  }
  if (shown) {
    Line line;
    line.series = &series;
    line.rightAxis = rightAxis;
    const std::int64_t expected = std::max<std::int64_t>(lastTurn(), 1);
    SeriesTrack track(series, 1, std::nullopt, kWholeColumns, expected);
    if (mFolder.empty())
      line.whole = std::make_unique<SeriesTrack>(std::move(track));
    mLines.push_back(std::move(line));
    if (!mFolder.empty()) {
      std::vector<SeriesTrack> tracks;
      tracks.push_back(std::move(track));
      startRead(std::move(tracks), false);
    }
  } else {
    const auto found =
        std::find_if(mLines.begin(), mLines.end(), [&](const Line& line) { return line.series == &series; });
    if (found == mLines.end()) return;
    mLines.erase(found);
  }
  mStructureChanged = true;
  refresh();
}

void ChartPanel::setRightAxis(const vek::plot::SeriesInfo& series, bool right) {
  Line* line = lineOf(series);
  if (!line || line->rightAxis == right) return;
  line->rightAxis = right;
  mStructureChanged = true;
  refresh();
}

void ChartPanel::setLogScale(bool on) {
  if (mLogScale == on) return;
  mLogScale = on;
  mFixedLeft.reset();
  mFixedRight.reset();
  mStructureChanged = true;
  refresh();
}

void ChartPanel::setFolder(const std::string& folder) {
  mFolder = folder;
  readAgain();
}

void ChartPanel::readAgain() {
  ++mGeneration;
  ++mDetailGeneration;
  mReadsOut = 0;
  mSinceReads.clear();
  mReadProblem.clear();
  mDetailRange.reset();
  std::vector<SeriesTrack> tracks;
  for (Line& line : mLines) {
    line.detail.reset();
    line.whole.reset();
    SeriesTrack track(*line.series, 1, std::nullopt, kWholeColumns, 1);
    if (mFolder.empty())
      line.whole = std::make_unique<SeriesTrack>(std::move(track));
    else
      tracks.push_back(std::move(track));
  }
  if (!tracks.empty()) startRead(std::move(tracks), false);
  touch();
}

void ChartPanel::startRead(std::vector<SeriesTrack> tracks, bool detail) {
  Read read;
  read.generation = mGeneration;
  read.detail = detail;
  read.detailGeneration = mDetailGeneration;
  read.tracks = std::move(tracks);
  ++mReadsOut;
  auto* watcher = new QFutureWatcher<Read>(this);
  connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
    Read done = watcher->result();
    watcher->deleteLater();
    finishRead(std::move(done));
  });
  watcher->setFuture(QtConcurrent::run([folder = mFolder, read = std::move(read)]() mutable {
    read.error = readHistory(folder, read.tracks);
    return read;
  }));
}

void ChartPanel::finishRead(Read read) {
  if (read.generation != mGeneration) return;
  --mReadsOut;
  if (!read.error.empty()) mReadProblem = qText(read.error);
  if (!read.detail || read.detailGeneration == mDetailGeneration) {
    for (SeriesTrack& track : read.tracks) {
      Line* line = lineOf(track.series());
      if (!line) continue;
      auto installed = std::make_unique<SeriesTrack>(std::move(track));
      // The turns the world handed over while the log was read; those it read are skipped.
      for (const TurnFigureSet& figures : mSinceReads) installed->add(figures);
      (read.detail ? line->detail : line->whole) = std::move(installed);
    }
  }
  if (mReadsOut == 0) mSinceReads.clear();
  mDirty = true;
  refresh();
}

void ChartPanel::addFigures(const std::vector<TurnFigureSet>& figures) {
  if (figures.empty()) return;
  if (mReadsOut > 0) mSinceReads.insert(mSinceReads.end(), figures.begin(), figures.end());
  for (Line& line : mLines) {
    for (SeriesTrack* track : {line.whole.get(), line.detail.get()}) {
      if (!track) continue;
      for (const TurnFigureSet& turn : figures) track->add(turn);
    }
  }
  touch();
}

std::int64_t ChartPanel::lastTurn() const {
  std::int64_t last = 0;
  for (const Line& line : mLines)
    if (line.whole) last = std::max(last, line.whole->lastTurn());
  return last;
}

void ChartPanel::zoomTurns(double factor, double turn) {
  if (!std::isfinite(factor) || factor <= 0 || !std::isfinite(turn)) return;
  double x0 = turn - (turn - mX0) * factor, x1 = turn + (mX1 - turn) * factor;
  if (x1 - x0 < kMinTurnSpan) {
    x0 = turn - kMinTurnSpan / 2;
    x1 = turn + kMinTurnSpan / 2;
  }
  // Zoomed out past the whole run: the whole run again, following the world.
  if (x0 <= 1 && x1 >= static_cast<double>(lastTurn())) {
    mFixedX = false;
  } else {
    mX0 = x0;
    mX1 = x1;
    mFixedX = true;
  }
  mDirty = true;
  refresh();
}

void ChartPanel::zoomToBox(QPoint from, QPoint to) {
  const QPointF a = valueAt(from, false), b = valueAt(to, false);
  double x0 = std::min(a.x(), b.x()), x1 = std::max(a.x(), b.x());
  if (x1 - x0 < kMinTurnSpan) {
    const double middle = (x0 + x1) / 2;
    x0 = middle - kMinTurnSpan / 2;
    x1 = middle + kMinTurnSpan / 2;
  }
  mX0 = x0;
  mX1 = x1;
  mFixedX = true;
  if (seriesOn(false)) mFixedLeft = Range(std::min(a.y(), b.y()), std::max(a.y(), b.y()));
  if (seriesOn(true)) {
    const QPointF c = valueAt(from, true), d = valueAt(to, true);
    mFixedRight = Range(std::min(c.y(), d.y()), std::max(c.y(), d.y()));
  }
  mDirty = true;
  refresh();
}

void ChartPanel::pan(QPointF pixels) {
  const QRectF plot = chart()->plotArea();
  if (plot.width() <= 0 || plot.height() <= 0) return;
  const double span = mX1 - mX0;
  mX0 -= pixels.x() * span / plot.width();
  mX1 -= pixels.x() * span / plot.width();
  mFixedX = true;
  if (pixels.y() != 0) {
    // Dragged down, the picture follows: higher values come into view.
    const double share = pixels.y() / plot.height();
    if (mLeftAxis && seriesOn(false)) mFixedLeft = shifted(axisRange(mLeftAxis), share, mLogScale);
    if (mRightAxis && seriesOn(true)) mFixedRight = shifted(axisRange(mRightAxis), share, mLogScale);
  }
  mDirty = true;
  refresh();
}

void ChartPanel::resetZoom() {
  mFixedX = false;
  mFixedLeft.reset();
  mFixedRight.reset();
  ++mDetailGeneration;
  mDetailRange.reset();
  mDetailTimer->stop();
  for (Line& line : mLines) line.detail.reset();
  mDirty = true;
  refresh();
}

QLineSeries* ChartPanel::seriesOn(bool right) const {
  for (const Line& line : mLines)
    if (line.rightAxis == right && !line.pieces.empty()) return line.pieces.front();
  return nullptr;
}

QPointF ChartPanel::valueAt(QPointF widgetPoint, bool right) const {
  const QPointF inChart = chart()->mapFromScene(mapToScene(widgetPoint.toPoint()));
  QLineSeries* series = seriesOn(right);
  if (!series) series = seriesOn(!right);
  if (series) return chart()->mapToValue(inChart, series);
  // Nothing drawn: the turn from the plot area alone.
  const QRectF plot = chart()->plotArea();
  const double share = plot.width() > 0 ? (inChart.x() - plot.left()) / plot.width() : 0;
  return {mX0 + share * (mX1 - mX0), 0};
}

void ChartPanel::refresh() {
  if (mStructureChanged) rebuild();
  if (!mFixedX) {
    mX0 = 1;
    mX1 = std::max<double>(static_cast<double>(lastTurn()), 2);
  }
  drawLines();
  mDirty = false;
  askForDetail();
}

void ChartPanel::rebuild() {
  QChart* shown = chart();
  shown->removeAllSeries();
  for (Line& line : mLines) line.pieces.clear();
  for (QAbstractAxis* axis : shown->axes()) {
    shown->removeAxis(axis);
    delete axis;
  }
  mTurnAxis = new QValueAxis;
  mTurnAxis->setTitleText(QStringLiteral("ターン"));
  mTurnAxis->setLabelFormat(QStringLiteral("%.0f"));
  mTurnAxis->setTickType(QValueAxis::TicksDynamic);
  mTurnAxis->setTickAnchor(0);
  shown->addAxis(mTurnAxis, Qt::AlignBottom);
  const auto valueAxis = [this]() -> QAbstractAxis* {
    if (mLogScale) {
      auto* axis = new QLogValueAxis;
      axis->setBase(10);
      axis->setLabelFormat(QStringLiteral("%g"));
      axis->setMinorTickCount(8);
      return axis;
    }
    auto* axis = new QValueAxis;
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    return axis;
  };
  const bool anyRight = std::any_of(mLines.begin(), mLines.end(), [](const Line& line) { return line.rightAxis; });
  const bool anyLeft = std::any_of(mLines.begin(), mLines.end(), [](const Line& line) { return !line.rightAxis; });
  mLeftAxis = anyLeft || !anyRight ? valueAxis() : nullptr;
  mRightAxis = anyRight ? valueAxis() : nullptr;
  if (mLeftAxis) {
    mLeftAxis->setTitleText(unitsOf(mLines, false));
    shown->addAxis(mLeftAxis, Qt::AlignLeft);
  }
  if (mRightAxis) {
    mRightAxis->setTitleText(unitsOf(mLines, true));
    shown->addAxis(mRightAxis, Qt::AlignRight);
  }
  for (QAbstractAxis* axis : shown->axes()) {
    QFont font = axis->titleFont();
    font.setPointSizeF(9);
    font.setBold(false);
    axis->setTitleFont(font);
  }
  if (mLines.empty())
    shown->setTitle(QStringLiteral("左の一覧で系列を選んでください"));
  else if (mLines.size() == 1)
    shown->setTitle(wordsOf(*mLines.front().series).title);
  else
    shown->setTitle(QString());
  shown->legend()->setVisible(mLines.size() > 1);
  mStructureChanged = false;
}

const SeriesTrack* ChartPanel::sourceOf(const Line& line) const {
  // A detail track starts at turn 1 at the earliest, however far left the view was panned.
  if (mFixedX && line.detail && static_cast<double>(line.detail->first()) <= std::max(mX0, 1.0) &&
      line.detail->last() && static_cast<double>(*line.detail->last()) >= mX1)
    return line.detail.get();
  return line.whole.get();
}

std::vector<std::vector<QPointF>> ChartPanel::piecesInView(const SeriesTrack& track) const {
  // One column either side, so the line runs on to the chart's edges.
  const double margin = static_cast<double>(track.reduced().bucketWidth());
  std::vector<std::vector<vek::plot::PlotPoint>> polylines = track.reduced().polylines();
  // A track's columns can be far finer than the chart's pixels (a short run, or a whole run
  // of thousands of columns in a narrow chart): the part in view is reduced once more to one
  // column per pixel, so a redraw costs what the chart shows, not what the track holds.
  const int pixels = std::max(1, static_cast<int>(std::ceil(chart()->plotArea().width())));
  const double turnsPerPixel = (mX1 - mX0) / pixels;
  if (2 * static_cast<double>(track.reduced().bucketWidth()) < turnsPerPixel) {
    const auto first = static_cast<std::int64_t>(std::floor(mX0 - margin));
    const auto last = std::max(first, static_cast<std::int64_t>(std::ceil(mX1 + margin)));
    vek::plot::MinMaxReducer onScreen(first, last, pixels);
    for (const auto& polyline : polylines)
      for (const vek::plot::PlotPoint& point : polyline)
        if (point.x >= static_cast<double>(first)) onScreen.add(static_cast<std::int64_t>(point.x), point.y);
    polylines = onScreen.polylines();
  }
  std::vector<std::vector<QPointF>> pieces;
  for (const auto& polyline : polylines) {
    bool open = false;
    for (const vek::plot::PlotPoint& point : polyline) {
      if (point.x < mX0 - margin || point.x > mX1 + margin) continue;
      if (mLogScale && !(point.y > 0)) {
        open = false;
        continue;
      }
      if (!open) pieces.emplace_back();
      open = true;
      pieces.back().emplace_back(point.x, point.y);
    }
  }
  // Too many gaps: the later pieces are joined into the last one kept.
  if (pieces.size() > kMaxPieces) {
    std::vector<QPointF>& kept = pieces[kMaxPieces - 1];
    for (std::size_t k = kMaxPieces; k < pieces.size(); ++k) kept.insert(kept.end(), pieces[k].begin(), pieces[k].end());
    pieces.resize(kMaxPieces);
  }
  return pieces;
}

void ChartPanel::drawLines() {
  QChart* shown = chart();
  std::optional<Range> inView[2], nearView[2];
  for (std::size_t index = 0; index < mLines.size(); ++index) {
    Line& line = mLines[index];
    const SeriesTrack* source = sourceOf(line);
    const std::vector<std::vector<QPointF>> pieces = source ? piecesInView(*source) : std::vector<std::vector<QPointF>>();
    const std::size_t wanted = std::max<std::size_t>(pieces.size(), 1);
    while (line.pieces.size() < wanted) {
      auto* series = new QLineSeries;
      QPen pen(vek::plot::paletteColour(static_cast<int>(index)));
      pen.setWidthF(kLineWidth);
      series->setPen(pen);
      shown->addSeries(series);
      series->attachAxis(mTurnAxis);
      series->attachAxis(line.rightAxis ? mRightAxis : mLeftAxis);
      if (line.pieces.empty()) {
        QString name = wordsOf(*line.series).title;
        if (line.rightAxis) name += QStringLiteral("（右軸）");
        series->setName(name);
      } else {
        for (QLegendMarker* marker : shown->legend()->markers(series)) marker->setVisible(false);
      }
      line.pieces.push_back(series);
    }
    while (line.pieces.size() > wanted) {
      shown->removeSeries(line.pieces.back());
      delete line.pieces.back();
      line.pieces.pop_back();
    }
    for (std::size_t k = 0; k < line.pieces.size(); ++k) {
      QList<QPointF> points;
      if (k < pieces.size()) {
        points.reserve(static_cast<qsizetype>(pieces[k].size()));
        for (const QPointF& point : pieces[k]) {
          points.append(point);
          widen(nearView[line.rightAxis], point.y());
          if (point.x() >= mX0 && point.x() <= mX1) widen(inView[line.rightAxis], point.y());
        }
      }
      line.pieces[k]->replace(points);
    }
  }
  const vek::plot::AxisModel turns = vek::plot::valueAxis(mX0, mX1, kTurnTicks);
  setDynamicAxis(mTurnAxis, mX0, mX1, std::max(1.0, turns.tickInterval));
  if (mLeftAxis) setValueAxis(mLeftAxis, inView[0] ? inView[0] : nearView[0], mFixedLeft);
  if (mRightAxis) setValueAxis(mRightAxis, inView[1] ? inView[1] : nearView[1], mFixedRight);
}

void ChartPanel::setValueAxis(QAbstractAxis* axis, std::optional<Range> values, const std::optional<Range>& fixed) {
  if (auto* log = qobject_cast<QLogValueAxis*>(axis)) {
    Range range = fixed ? *fixed : Range(1, 10);
    if (!fixed && values && values->first > 0) {
      range.first = std::pow(10.0, std::floor(std::log10(values->first)));
      range.second = std::pow(10.0, std::ceil(std::log10(values->second)));
      if (range.second <= range.first) range.second = range.first * 10;
    }
    log->setRange(range.first, range.second);
    return;
  }
  auto* linear = static_cast<QValueAxis*>(axis);
  const vek::plot::AxisModel model = fixed ? vek::plot::valueAxis(fixed->first, fixed->second, kValueTicks)
                                           : values ? vek::plot::valueAxis(values->first, values->second, kValueTicks)
                                                    : vek::plot::valueAxis(0, 1, kValueTicks);
  setDynamicAxis(linear, fixed ? fixed->first : model.min, fixed ? fixed->second : model.max, model.tickInterval);
  linear->setLabelFormat(QStringLiteral("%.%1f").arg(model.decimals));
}

void ChartPanel::askForDetail() {
  if (!mFixedX || mFolder.empty()) return;
  const double pixels = std::max(chart()->plotArea().width(), 1.0);
  const double turnsPerPixel = std::max(1.0, (mX1 - mX0) / pixels);
  const bool coarse = std::any_of(mLines.begin(), mLines.end(), [&](const Line& line) {
    return line.whole && static_cast<double>(line.whole->reduced().bucketWidth()) > turnsPerPixel;
  });
  if (!coarse) return;
  const std::pair<std::int64_t, std::int64_t> range(static_cast<std::int64_t>(std::floor(mX0)),
                                                    static_cast<std::int64_t>(std::ceil(mX1)));
  const bool held = mDetailRange == range && std::all_of(mLines.begin(), mLines.end(), [](const Line& line) {
                      return line.detail != nullptr;
                    });
  if (held || (mDetailRange == range && mReadsOut > 0)) return;
  mDetailTimer->start();
}

void ChartPanel::readDetail() {
  if (!mFixedX || mFolder.empty() || mLines.empty()) return;
  const std::int64_t first = std::max<std::int64_t>(1, static_cast<std::int64_t>(std::floor(mX0)));
  const std::int64_t last = std::max(first + 1, static_cast<std::int64_t>(std::ceil(mX1)));
  mDetailRange = std::make_pair(static_cast<std::int64_t>(std::floor(mX0)), static_cast<std::int64_t>(std::ceil(mX1)));
  ++mDetailGeneration;
  const int columns = std::max(1, static_cast<int>(std::ceil(chart()->plotArea().width())));
  std::vector<SeriesTrack> tracks;
  for (const Line& line : mLines) tracks.emplace_back(*line.series, first, last, columns, last);
  startRead(std::move(tracks), true);
}

void ChartPanel::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0) return;
  zoomTurns(std::pow(kWheelZoom, notches), valueAt(event->position(), false).x());
  event->accept();
}

void ChartPanel::mousePressEvent(QMouseEvent* event) {
  emit activated(this);
  if (event->button() == Qt::LeftButton) {
    mBoxing = true;
    mPressedAt = event->position().toPoint();
    mBand->setGeometry(QRect(mPressedAt, QSize()));
    mBand->show();
  } else if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
    mPanning = true;
    mLastPan = event->position().toPoint();
    viewport()->setCursor(Qt::ClosedHandCursor);
  }
  event->accept();
}

void ChartPanel::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (mBoxing) mBand->setGeometry(QRect(mPressedAt, at).normalized());
  if (mPanning) {
    pan(QPointF(at - mLastPan));
    mLastPan = at;
  }
  event->accept();
}

void ChartPanel::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (mBoxing && event->button() == Qt::LeftButton) {
    mBoxing = false;
    mBand->hide();
    const QRect box = QRect(mPressedAt, at).normalized();
    if (box.width() >= kMinBoxPixels && box.height() >= kMinBoxPixels) zoomToBox(mPressedAt, at);
  }
  if (mPanning && event->button() != Qt::LeftButton) {
    mPanning = false;
    viewport()->unsetCursor();
  }
  event->accept();
}

void ChartPanel::mouseDoubleClickEvent(QMouseEvent* event) {
  mBoxing = false;
  mBand->hide();
  resetZoom();
  event->accept();
}

void ChartPanel::keyPressEvent(QKeyEvent* event) {
  const double middle = (mX0 + mX1) / 2;
  const double step = chart()->plotArea().width() / 10;
  switch (event->key()) {
    case Qt::Key_Home:
      resetZoom();
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      zoomTurns(kWheelZoom, middle);
      break;
    case Qt::Key_Minus:
      zoomTurns(1 / kWheelZoom, middle);
      break;
    case Qt::Key_Left:
      pan(QPointF(step, 0));
      break;
    case Qt::Key_Right:
      pan(QPointF(-step, 0));
      break;
    default:
      QChartView::keyPressEvent(event);
      return;
  }
  event->accept();
}

void ChartPanel::resizeEvent(QResizeEvent* event) {
  QChartView::resizeEvent(event);
  touch();
}

}  // namespace app
