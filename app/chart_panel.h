// ChartPanel: one chart of the Charts view. It draws any of the logged series against the
// turn, several on one chart, each on the left value axis or on a second one at the right;
// both value axes linear or logarithmic (a value of 0 or below leaves a gap there).
//
// Data: every series has a track over the whole run (chart_track.h), read from the save
// folder's log when the series is chosen and then continued with the figures the world hands
// over after each turn. The read runs on a helper thread; turns handed over meanwhile are kept
// and added once it is done, so none is missed. A track keeps a fixed number of columns, so a
// zoom into a long run may ask for finer ones than it has: then, for the turns in view, a
// second track is read from the logs at the chart's own pixel resolution, and drawn once it
// has arrived.
//
// Range: the whole run, following the world as it goes on, until the user zooms (the mouse
// wheel zooms the turns around the pointer, a box dragged with the left button zooms into it,
// a drag with the right or middle button or the arrow keys pan, + and - zoom); a double click
// or Home goes back to the whole run. The value axes fit what is in view unless a box or a
// pan fixed them.
//
// Drawing happens in refresh(), which the view calls at most a few times a second.
//
// GUI thread only. The series are the catalog's (plot/log_catalog.h), which outlive every panel.
#pragma once

#include <QChartView>
#include <QFutureWatcher>
#include <QPoint>
#include <QPointF>
#include <QRectF>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/chart_series.h"
#include "app/chart_track.h"
#include "plot/log_catalog.h"

QT_BEGIN_NAMESPACE
class QAbstractAxis;
class QLineSeries;
class QRubberBand;
class QTimer;
class QValueAxis;
QT_END_NAMESPACE

namespace app {

class ChartPanel : public QChartView {
  Q_OBJECT

 public:
  // The columns of a whole-run track: more than any chart is wide, so the whole run is drawn
  // at full resolution.
  static constexpr int kWholeColumns = 4096;

  explicit ChartPanel(QWidget* parent = nullptr);
  ~ChartPanel() override;

  // The series drawn, in the order they were added.
  struct Line {
    const vek::plot::SeriesInfo* series = nullptr;
    bool rightAxis = false;
    std::unique_ptr<SeriesTrack> whole;   // null while its history is being read
    std::unique_ptr<SeriesTrack> detail;  // the turns in view at a finer resolution, if needed
    std::vector<QLineSeries*> pieces;     // the line between its gaps, as drawn
  };
  const std::vector<Line>& lines() const { return mLines; }
  bool shows(const vek::plot::SeriesInfo& series) const;
  bool onRightAxis(const vek::plot::SeriesInfo& series) const;
  // Adds (reading its history) or removes a series.
  void setShown(const vek::plot::SeriesInfo& series, bool shown, bool rightAxis = false);
  void setRightAxis(const vek::plot::SeriesInfo& series, bool right);
  bool logScale() const { return mLogScale; }
  void setLogScale(bool on);

  // The save folder whose logs hold the history ("" for none). Every track is read anew.
  void setFolder(const std::string& folder);
  // The figures of turns just closed, in order.
  void addFigures(const std::vector<TurnFigureSet>& figures);
  // Reads every history again (turns were dropped before they reached the view).
  void readAgain();
  // History reads not yet back.
  int readsOut() const { return mReadsOut; }
  // What the last read of a log reported ("" when it went well).
  const QString& readProblem() const { return mReadProblem; }

  // The turns in view.
  double firstTurnShown() const { return mX0; }
  double lastTurnShown() const { return mX1; }
  bool zoomed() const { return mFixedX; }
  // The last turn any series holds; 0 before any.
  std::int64_t lastTurn() const;
  // Zooms the turns by `factor` (below 1 zooms in) around `turn`.
  void zoomTurns(double factor, double turn);
  // Zooms into the box between two points of the widget.
  void zoomToBox(QPoint from, QPoint to);
  // Moves what is in view by `pixels` (the picture follows the pointer).
  void pan(QPointF pixels);
  void resetZoom();

  // Draws what changed since the last call.
  void refresh();
  // Marks the chart for the next refresh.
  void touch();
  bool dirty() const { return mDirty; }

  QValueAxis* turnAxis() const { return mTurnAxis; }
  QAbstractAxis* leftAxis() const { return mLeftAxis; }
  QAbstractAxis* rightAxis() const { return mRightAxis; }

 signals:
  // The user clicked into the chart.
  void activated(app::ChartPanel* panel);
  // Something changed that the next refresh is to draw.
  void changed();

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Read {
    int generation = 0;
    bool detail = false;
    int detailGeneration = 0;
    std::vector<SeriesTrack> tracks;
    std::string error;
  };

  Line* lineOf(const vek::plot::SeriesInfo& series);
  void startRead(std::vector<SeriesTrack> tracks, bool detail);
  void finishRead(Read read);
  void askForDetail();
  void readDetail();
  void rebuild();
  void drawLines();
  std::vector<std::vector<QPointF>> piecesInView(const SeriesTrack& track) const;
  const SeriesTrack* sourceOf(const Line& line) const;
  // The value range of one axis side over what is in view.
  std::optional<std::pair<double, double>> valuesInView(bool right) const;
  void setValueAxis(QAbstractAxis* axis, std::optional<std::pair<double, double>> values,
                    const std::optional<std::pair<double, double>>& fixed);
  QPointF valueAt(QPointF widgetPoint, bool right) const;
  QLineSeries* seriesOn(bool right) const;

  std::vector<Line> mLines;
  bool mLogScale = false;
  std::string mFolder;

  int mGeneration = 0;        // a new folder or read-again makes earlier reads stale
  int mDetailGeneration = 0;  // a newer detail request makes earlier ones stale
  int mReadsOut = 0;
  std::vector<TurnFigureSet> mSinceReads;  // handed over while reads were out
  QString mReadProblem;
  std::vector<std::unique_ptr<QFutureWatcher<Read>>> mWatchers;

  // What is in view: the turns, and the values when the user fixed them.
  double mX0 = 0, mX1 = 1;
  bool mFixedX = false;
  std::optional<std::pair<double, double>> mFixedLeft, mFixedRight;
  std::optional<std::pair<std::int64_t, std::int64_t>> mDetailRange;  // asked for or held
  QTimer* mDetailTimer;

  bool mDirty = true;
  bool mStructureChanged = true;
  QValueAxis* mTurnAxis = nullptr;
  QAbstractAxis* mLeftAxis = nullptr;
  QAbstractAxis* mRightAxis = nullptr;

  // Mouse: a box being dragged, or a pan.
  QRubberBand* mBand;
  QPoint mPressedAt;
  QPoint mLastPan;
  bool mBoxing = false, mPanning = false;
};

}  // namespace app
