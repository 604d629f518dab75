#include "app/charts_view.h"

#include <QBuffer>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QSvgGenerator>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/chart_panel.h"
#include "app/dialogs.h"
#include "app/save_commands.h"
#include "app/simulator.h"
#include "app/strings.h"
#include "app/texts.h"
#include "plot/figure_scene.h"
#include "plot/log_catalog.h"

namespace app {

namespace {

using vek::plot::allSeries;
using vek::plot::SeriesInfo;

constexpr int kSeriesRole = Qt::UserRole;
// The groups whose series show when the view opens; the others are folded.
constexpr const char* kOpenGroup = "Population";

const SeriesInfo* seriesOf(const QTreeWidgetItem* item) {
  const QVariant index = item->data(0, kSeriesRole);
  if (!index.isValid()) return nullptr;
  return &allSeries().at(static_cast<std::size_t>(index.toInt()));
}

// The current chart is framed.
void markCurrent(ChartPanel* panel, bool current) {
  panel->setStyleSheet(current ? QStringLiteral("QChartView { border: 2px solid palette(highlight); }")
                               : QStringLiteral("QChartView { border: 2px solid transparent; }"));
}

}  // namespace

kChartsView::kChartsView(Simulator& simulator, VekDialogs& dialogs, QWidget* parent)
    : QWidget(parent), mSimulator(simulator), mDialogs(dialogs) {
  // The world notes its figures from now on; only then are the logs read, so no turn falls
  // between what the logs hold and what the world hands over.
  mSimulator.bridge().setViewOpen(ViewKind::kCharts, true);

  mList = new QTreeWidget(this);
  mList->setObjectName(QStringLiteral("series"));
  mList->setColumnCount(2);
  mList->setHeaderLabels({QStringLiteral("系列"), QStringLiteral("右軸")});
  mList->header()->setStretchLastSection(false);
  mList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  mList->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  mList->setMinimumWidth(260);
  QTreeWidgetItem* group = nullptr;
  for (std::size_t index = 0; index < allSeries().size(); ++index) {
    const SeriesInfo& info = allSeries()[index];
    if (!group || group->data(1, kSeriesRole).toString() != QString::fromStdString(info.group)) {
      group = new QTreeWidgetItem(mList, {groupWords(info.group)});
      group->setData(1, kSeriesRole, QString::fromStdString(info.group));
      group->setFlags(Qt::ItemIsEnabled);
      group->setExpanded(info.group == kOpenGroup);
    }
    auto* item = new QTreeWidgetItem(group, {wordsOf(info).title});
    item->setData(0, kSeriesRole, static_cast<int>(index));
    item->setToolTip(0, QStringLiteral("%1 (%2)").arg(wordsOf(info).title, QString::fromStdString(info.key)));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    item->setCheckState(1, Qt::Unchecked);
  }

  mAdd = new QPushButton(QStringLiteral("グラフを追加"), this);
  mRemove = new QPushButton(QStringLiteral("グラフを削除"), this);
  mLogScale = new QCheckBox(QStringLiteral("対数目盛"), this);
  mReset = new QPushButton(QStringLiteral("全体表示"), this);
  mSave = new QPushButton(QStringLiteral("画像を保存..."), this);
  mStatus = new QLabel(this);
  mStatus->setObjectName(QStringLiteral("chartsStatus"));
  // One line, however long: a label that wraps would make the view ask for its full height.
  mStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(mAdd);
  buttons->addWidget(mRemove);
  buttons->addWidget(mLogScale);
  buttons->addWidget(mReset);
  buttons->addStretch();
  buttons->addWidget(mSave);

  mCharts = new QSplitter(Qt::Vertical, this);
  mCharts->setChildrenCollapsible(false);
  auto* right = new QVBoxLayout;
  right->addLayout(buttons);
  right->addWidget(mCharts, 1);
  right->addWidget(mStatus);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(mList);
  layout->addLayout(right, 1);

  mRefreshTimer = new QTimer(this);
  mRefreshTimer->setSingleShot(true);
  mRefreshTimer->setInterval(kRefreshInterval);
  connect(mRefreshTimer, &QTimer::timeout, this, &kChartsView::refreshCharts);

  connect(mList, &QTreeWidget::itemChanged, this, &kChartsView::listChanged);
  connect(mAdd, &QPushButton::clicked, this, [this] { addChart(); });
  connect(mRemove, &QPushButton::clicked, this, &kChartsView::removeChart);
  connect(mLogScale, &QCheckBox::toggled, this, [this](bool on) {
    if (mCurrent) mCurrent->setLogScale(on);
  });
  connect(mReset, &QPushButton::clicked, this, [this] {
    if (mCurrent) mCurrent->resetZoom();
  });
  connect(mSave, &QPushButton::clicked, this, &kChartsView::saveAs);

  WorldBridge& bridge = mSimulator.bridge();
  connect(&bridge, &WorldBridge::figuresArrived, this, &kChartsView::figuresArrived);
  connect(&bridge, &WorldBridge::worldOpened, this, &kChartsView::worldChanged);
  connect(&bridge, &WorldBridge::worldClosed, this, &kChartsView::worldChanged);

  addChart();
  showSeries("seed_num", true);
  showSeries("gene_num", true, true);
}

kChartsView::~kChartsView() { mSimulator.bridge().setViewOpen(ViewKind::kCharts, false); }

ChartPanel* kChartsView::addChart() {
  auto* panel = new ChartPanel(mCharts);
  panel->setObjectName(QStringLiteral("chart%1").arg(mCharts->count()));
  mCharts->addWidget(panel);
  panel->setFolder(mSimulator.world() ? mSimulator.saveFolder() : std::string());
  connect(panel, &ChartPanel::activated, this, &kChartsView::setCurrentChart);
  connect(panel, &ChartPanel::changed, this, &kChartsView::scheduleRefresh);
  // The charts share the height alike.
  mCharts->setSizes(QList<int>(mCharts->count(), 1000));
  setCurrentChart(panel);
  mRemove->setEnabled(mCharts->count() > 1);
  return panel;
}

void kChartsView::removeChart() {
  if (!mCurrent || mCharts->count() <= 1) return;
  const int index = mCharts->indexOf(mCurrent);
  delete mCurrent;
  mCurrent = nullptr;
  setCurrentChart(chart(std::min(index, chartCount() - 1)));
  mRemove->setEnabled(mCharts->count() > 1);
}

int kChartsView::chartCount() const { return mCharts->count(); }

ChartPanel* kChartsView::chart(int index) const { return static_cast<ChartPanel*>(mCharts->widget(index)); }

void kChartsView::setCurrentChart(ChartPanel* panel) {
  if (!panel) return;
  mCurrent = panel;
  for (int index = 0; index < chartCount(); ++index) markCurrent(chart(index), chart(index) == panel);
  showChecks();
}

bool kChartsView::showSeries(const std::string& key, bool shown, bool rightAxis) {
  const SeriesInfo* info = vek::plot::findSeries(key);
  if (!info || !mCurrent) return false;
  mCurrent->setShown(*info, shown, rightAxis);
  showChecks();
  showStatus();
  return true;
}

void kChartsView::listChanged(QTreeWidgetItem* item, int column) {
  if (mShowingChecks || !mCurrent) return;
  const SeriesInfo* info = seriesOf(item);
  if (!info) return;
  const bool shown = item->checkState(0) == Qt::Checked;
  const bool right = item->checkState(1) == Qt::Checked;
  if (column == 1 && right && !shown)
    mCurrent->setShown(*info, true, true);  // a series put on the second axis is shown there
  else
    mCurrent->setShown(*info, shown, right);
  showChecks();
  showStatus();
}

void kChartsView::showChecks() {
  if (!mCurrent) return;
  mShowingChecks = true;
  for (int g = 0; g < mList->topLevelItemCount(); ++g) {
    QTreeWidgetItem* group = mList->topLevelItem(g);
    for (int k = 0; k < group->childCount(); ++k) {
      QTreeWidgetItem* item = group->child(k);
      const SeriesInfo* info = seriesOf(item);
      item->setCheckState(0, mCurrent->shows(*info) ? Qt::Checked : Qt::Unchecked);
      item->setCheckState(1, mCurrent->onRightAxis(*info) ? Qt::Checked : Qt::Unchecked);
      if (mCurrent->shows(*info)) group->setExpanded(true);
    }
  }
  mLogScale->setChecked(mCurrent->logScale());
  mShowingChecks = false;
}

void kChartsView::showStatus() {
  QString problem;
  bool reading = false;
  for (int index = 0; index < chartCount(); ++index) {
    if (problem.isEmpty()) problem = chart(index)->readProblem();
    reading = reading || chart(index)->readsOut() > 0;
  }
  if (!problem.isEmpty())
    mStatus->setText(QString::fromUtf8(text::kChartsReadProblem).arg(problem));
  else if (reading)
    mStatus->setText(QString::fromUtf8(text::kChartsReading));
  else
    mStatus->setText(QString::fromUtf8(text::kChartsHint));
}

void kChartsView::figuresArrived(const std::vector<TurnFigureSet>& figures, bool someLost) {
  for (int index = 0; index < chartCount(); ++index) {
    if (someLost)
      chart(index)->readAgain();
    else
      chart(index)->addFigures(figures);
  }
}

void kChartsView::worldChanged() {
  const std::string folder = mSimulator.world() ? mSimulator.saveFolder() : std::string();
  for (int index = 0; index < chartCount(); ++index) chart(index)->setFolder(folder);
  showStatus();
}

void kChartsView::scheduleRefresh() {
  if (!mRefreshTimer->isActive()) mRefreshTimer->start();
}

void kChartsView::refreshCharts() {
  // A hidden view is drawn when it shows again.
  if (!isVisible()) return;
  for (int index = 0; index < chartCount(); ++index)
    if (chart(index)->dirty()) chart(index)->refresh();
  showStatus();
}

void kChartsView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refreshCharts();
}

QSize kChartsView::pictureSize() const {
  int width = 0, height = 0;
  for (int index = 0; index < chartCount(); ++index) {
    width = std::max(width, chart(index)->width());
    height += chart(index)->height();
  }
  return {std::max(width, 1), std::max(height, 1)};
}

void kChartsView::paintCharts(QPainter& painter) const {
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  int y = 0;
  for (int index = 0; index < chartCount(); ++index) {
    ChartPanel* panel = chart(index);
    const QRect source = panel->viewport()->rect();
    panel->render(&painter, QRectF(0, y, source.width(), source.height()), source);
    y += panel->height();
  }
}

QImage kChartsView::picture() const {
  QImage image(pictureSize(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  paintCharts(painter);
  return image;
}

std::string kChartsView::pictureBytes(const QString& path, std::string& error) const {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  switch (vek::plot::pictureFormatOf(path)) {
    case vek::plot::PictureFormat::Png:
      if (!picture().save(&buffer, "PNG")) error = "the PNG picture could not be made for " + stdPath(path);
      break;
    case vek::plot::PictureFormat::Svg: {
      QSvgGenerator svg;
      svg.setOutputDevice(&buffer);
      svg.setSize(pictureSize());
      svg.setViewBox(QRect(QPoint(0, 0), pictureSize()));
      svg.setTitle(QString::fromUtf8(text::kChartsViewTitle));
      QPainter painter(&svg);
      paintCharts(painter);
      break;
    }
    default:
      error = "the name must end in .png or .svg: " + stdPath(path);
      return {};
  }
  return buffer.data().toStdString();
}

void kChartsView::saveAs() {
  refreshCharts();
  const FileRequest request{qPath(mSimulator.saveFolder()), QString::fromUtf8(text::kChartDefaultName),
                            QString::fromUtf8(text::kChartSuffix), QString::fromUtf8(text::kChartFilter)};
  saveThroughDialog(mDialogs, request, text::kWritingChart, [&](const std::string& path) -> vek::FileOutcome {
    std::string error;
    const std::string bytes = pictureBytes(qPath(path), error);
    if (!error.empty()) return {error};
    return writePictureFile(path, bytes);
  });
}

}  // namespace app
