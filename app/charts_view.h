// kChartsView: the "Charts" view, the statistics logs drawn against the turn while the world
// runs. At the left, every logged series grouped as the logs are (population, averages,
// light, energy on edges, leaves and flowers and their shares, the energy accounts, each
// instruction's energy, the run); its first column shows or hides a series on the current
// chart, its second puts the series on the chart's second value axis, at the right. At the
// right, one or more charts (chart_panel.h) one above the other; a click makes a chart the
// current one. Above them: add a chart, remove the current one, a logarithmic scale for it,
// back to the whole run, and save all charts as a PNG or SVG picture.
//
// It opens with one chart of the living individuals, and the genes in the pool on the second
// axis. Each chart reads its series' history from the save folder's logs (the whole history of
// a loaded world) and then takes the figures the world hands over after every turn, delivered
// coalesced by the bridge; the charts are redrawn at most every kRefreshInterval, and not
// while the view is hidden. When another world opens, every chart reads that world's logs.
//
// GUI thread only. Registers itself with the simulator's bridge while it exists, so the world
// notes its figures only while the view is open.
#pragma once

#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "app/chart_series.h"

class QCheckBox;
class QLabel;
class QPainter;
class QPushButton;
class QSplitter;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace app {

class ChartPanel;
class Simulator;
class VekDialogs;

class kChartsView : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kRefreshInterval = 200;  // milliseconds

  kChartsView(Simulator& simulator, VekDialogs& dialogs, QWidget* parent = nullptr);
  ~kChartsView() override;

  // A new chart below the others, which becomes the current one.
  ChartPanel* addChart();
  // Removes the current chart; the last one stays.
  void removeChart();
  int chartCount() const;
  ChartPanel* chart(int index) const;
  ChartPanel* currentChart() const { return mCurrent; }
  void setCurrentChart(ChartPanel* panel);

  // Shows or hides the series named `key` (plot/log_catalog.h) on the current chart, on its
  // second axis when `rightAxis`; false for an unknown name.
  bool showSeries(const std::string& key, bool shown, bool rightAxis = false);

  // Draws every chart that changed (the view's timer does this on its own).
  void refreshCharts();

  // The charts as shown, one above the other, as a picture; and saved as one through a file
  // dialog (PNG or SVG by the name's extension).
  QImage picture() const;
  void saveAs();
  // The picture as the bytes of a PNG or SVG file, by the extension of `path`; "" with `error`
  // set when the name ends in neither.
  std::string pictureBytes(const QString& path, std::string& error) const;

  QTreeWidget* seriesList() const { return mList; }
  QCheckBox* logScaleBox() const { return mLogScale; }
  QLabel* statusLabel() const { return mStatus; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void figuresArrived(const std::vector<TurnFigureSet>& figures, bool someLost);
  void worldChanged();
  void listChanged(QTreeWidgetItem* item, int column);
  void showChecks();
  void showStatus();
  void scheduleRefresh();
  QSize pictureSize() const;
  void paintCharts(QPainter& painter) const;

  Simulator& mSimulator;
  VekDialogs& mDialogs;
  QTreeWidget* mList;
  QSplitter* mCharts;
  ChartPanel* mCurrent = nullptr;
  QCheckBox* mLogScale;
  QPushButton *mAdd, *mRemove, *mReset, *mSave;
  QLabel* mStatus;
  QTimer* mRefreshTimer;
  bool mShowingChecks = false;
};

}  // namespace app
