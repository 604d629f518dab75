#include "plot/figure_scene.h"

#include <QChart>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QGraphicsSimpleTextItem>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "plot/chart_builder.h"

namespace vek::plot {

namespace {

// Vector pictures are laid out at the pixel size given, as on a screen of this resolution.
constexpr int kVectorDotsPerInch = 96;

// The figure's legend: rows of entries, each a short stroke of its colour and its name.
constexpr int kLegendRowHeight = 20;
constexpr qreal kLegendMargin = 24;
constexpr qreal kSwatchWidth = 24;
constexpr qreal kSwatchThickness = 3;
constexpr qreal kSwatchGap = 6;
constexpr qreal kLegendEntryGap = 22;

QString cannotWrite(const QString& path, const QString& why) {
  return QStringLiteral("cannot write %1: %2").arg(path, why);
}

}  // namespace

PictureFormat pictureFormatOf(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("png")) return PictureFormat::Png;
  if (suffix == QLatin1String("svg")) return PictureFormat::Svg;
  if (suffix == QLatin1String("pdf")) return PictureFormat::Pdf;
  return PictureFormat::Unknown;
}

FigureScene::FigureScene(const FigureModel& figure, QSize size)
    : mTitle(QString::fromStdString(figure.title)), mSize(size) {
  mScene.setSceneRect(0, 0, size.width(), size.height());
  mScene.setBackgroundBrush(Qt::white);
  const int panels = static_cast<int>(figure.panels.size());

  auto* title = mScene.addSimpleText(mTitle);
  QFont titleFont = title->font();
  titleFont.setPointSizeF(13);
  titleFont.setBold(true);
  title->setFont(titleFont);
  // A long folder path gives way in its middle, so both ends of the title stay readable.
  title->setText(QFontMetricsF(titleFont).elidedText(mTitle, Qt::ElideMiddle, size.width() - 2 * kLegendMargin));
  const int titleHeight = figureGrid(panels, size.width(), size.height()).titleHeight;
  const QRectF titleBox = title->boundingRect();
  title->setPos((size.width() - titleBox.width()) / 2, (titleHeight - titleBox.height()) / 2);
  const int legendHeight = addLegend(figure.legend, titleHeight);
  mGrid = figureGrid(panels, size.width(), size.height(), legendHeight);

  for (int i = 0; i < panels; ++i) {
    QChart* chart = buildPanelChart(figure.panels[static_cast<std::size_t>(i)]);
    mScene.addItem(chart);
    mCharts.push_back(chart);
    chart->setGeometry(panelRect(i));
  }
}

int FigureScene::addLegend(const std::vector<LegendEntry>& entries, int top) {
  if (entries.empty()) return 0;
  const qreal right = mSize.width() - kLegendMargin;
  qreal x = kLegendMargin;
  qreal y = top;
  for (const LegendEntry& entry : entries) {
    auto* text = mScene.addSimpleText(QString::fromStdString(entry.name));
    QFont font = text->font();
    font.setPointSizeF(9);
    text->setFont(font);
    const qreal width = kSwatchWidth + kSwatchGap + text->boundingRect().width();
    if (x > kLegendMargin && x + width > right) {
      x = kLegendMargin;
      y += kLegendRowHeight;
    }
    const qreal middle = y + kLegendRowHeight / 2.0;
    QPen pen(paletteColour(entry.colour));
    pen.setWidthF(kSwatchThickness);
    mScene.addLine(x, middle, x + kSwatchWidth, middle, pen);
    text->setPos(x + kSwatchWidth + kSwatchGap, middle - text->boundingRect().height() / 2);
    x += width + kLegendEntryGap;
  }
  return static_cast<int>(y - top) + kLegendRowHeight + kLegendRowHeight / 3;
}

QRectF FigureScene::panelRect(int panel) const {
  const int column = panel % mGrid.columns;
  const int row = panel / mGrid.columns;
  return QRectF(column * mGrid.panelWidth, mGrid.titleHeight + row * mGrid.panelHeight, mGrid.panelWidth,
                mGrid.panelHeight);
}

QPointF FigureScene::pixelOf(int panel, QPointF value) const {
  QChart* shown = chart(panel);
  return shown->mapToScene(shown->mapToPosition(value, shown->series().value(0)));
}

void FigureScene::render(QPainter& painter, const QRectF& target) const {
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  mScene.render(&painter, target, QRectF(QPointF(0, 0), QSizeF(mSize)));
}

QImage FigureScene::toImage() const {
  QImage image(mSize, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  render(painter, QRectF(QPointF(0, 0), QSizeF(mSize)));
  return image;
}

QString FigureScene::write(const QString& path) const {
  const PictureFormat format = pictureFormatOf(path);
  if (format == PictureFormat::Unknown) return cannotWrite(path, QStringLiteral("the name must end in .png, .svg or .pdf"));
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return cannotWrite(path, file.errorString());
  if (format == PictureFormat::Png) {
    if (!toImage().save(&file, "PNG")) return cannotWrite(path, QStringLiteral("the PNG could not be made"));
  } else if (format == PictureFormat::Svg) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(mSize);
    svg.setViewBox(QRect(QPoint(0, 0), mSize));
    svg.setResolution(kVectorDotsPerInch);
    svg.setTitle(mTitle);
    QPainter painter(&svg);
    if (!painter.isActive()) return cannotWrite(path, QStringLiteral("the SVG could not be begun"));
    render(painter, QRectF(QPointF(0, 0), QSizeF(mSize)));
  } else {
    QPdfWriter pdf(&file);
    pdf.setTitle(mTitle);
    pdf.setResolution(kVectorDotsPerInch);
    const qreal toPoints = 72.0 / kVectorDotsPerInch;
    pdf.setPageSize(QPageSize(QSizeF(mSize.width() * toPoints, mSize.height() * toPoints), QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&pdf);
    if (!painter.isActive()) return cannotWrite(path, QStringLiteral("the PDF could not be begun"));
    render(painter, QRectF(0, 0, pdf.width(), pdf.height()));
  }
  if (!file.commit()) return cannotWrite(path, file.errorString());
  return QString();
}

}  // namespace vek::plot
