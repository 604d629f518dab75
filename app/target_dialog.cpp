#include "app/target_dialog.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>
#include <mutex>

#include "app/bitmap_export.h"
#include "app/dialogs.h"
#include "app/form_boxes.h"
#include "app/save_commands.h"
#include "app/simulator.h"
#include "app/strings.h"
#include "app/texts.h"
#include "body/parts_list.h"
#include "engine/seed.h"
#include "engine/world.h"
#include "records/snapshot_writer.h"

namespace app {

namespace {

constexpr int kPictureWidth = 362;
constexpr int kPictureHeight = 322;
constexpr const char* kPartKindNames[kPartKindCount] = {"枝", "葉", "花", "節", "種"};
// One click of the zoom buttons or one notch of the wheel: two of them double the drawing.
const double kZoomStep = std::sqrt(2.0);
constexpr int kMostSteps = 100000;  // the most steps one press runs

QPushButton* plainButton(const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setAutoDefault(false);
  return button;
}

QScrollBar* scrollBar(const char* name, QWidget* parent) {
  auto* bar = new QScrollBar(Qt::Horizontal, parent);
  bar->setObjectName(QString::fromUtf8(name));
  bar->setRange(0, kScrollMaximum);
  bar->setValue(kScrollStart);
  return bar;
}

QLabel* label(const char* text, QWidget* parent) { return new QLabel(QString::fromUtf8(text), parent); }

}  // namespace

PlantPicture::PlantPicture(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("picture"));
  setFixedSize(kPictureWidth, kPictureHeight);
}

void PlantPicture::setShape(const PlantShape& shape) {
  mShape = shape;
  update();
}

void PlantPicture::setBars(int angleBar, int distanceBar) {
  mAngle = angleBar;
  mDistance = distanceBar;
  update();
}

void PlantPicture::setZoom(const PlantZoom& zoom) {
  mZoom = zoom;
  update();
}

void PlantPicture::wheelEvent(QWheelEvent* event) {
  // Wheels report eighths of a degree, 120 a notch; touchpads less at a time.
  mWheelEighths += event->angleDelta().y();
  const int notches = mWheelEighths / 120;
  mWheelEighths -= notches * 120;
  if (notches != 0 && mOnWheel) mOnWheel(notches);
  event->accept();
}

QImage PlantPicture::picture() const {
  QImage image = plantPicture(mShape, width(), height(), mAngle, mDistance, mZoom);
  QPainter painter(&image);
  painter.setPen(QPen(Qt::darkGray, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(0, 0, width() - 1, height() - 1);
  return image;
}

void PlantPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, picture());
}

TargetDialog::TargetDialog(Simulator& simulator, VekDialogs& dialogs, TargetSubject subject, QWidget* parent)
    : QDialog(parent), mSimulator(simulator), mDialogs(dialogs), mSubject(std::move(subject)) {
  setWindowTitle(QString::fromUtf8(text::kTargetTitle));

  mRegisters = new QListWidget(this);
  mRegisters->setObjectName(QStringLiteral("registers"));
  mRegisters->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  mCode = readOnlyTextBox("code", this);
  mEnergy = readOnlyTextBox("energy", this);
  mDone = readOnlyBox("done", this);
  mABuff = readOnlyTextBox("aBuff", this, true);
  mEvaluation = readOnlyBox("evaluation", this);
  mId = readOnlyBox("id", this);
  mPartKind = new QComboBox(this);
  mPartKind->setObjectName(QStringLiteral("partKind"));
  for (const char* name : kPartKindNames) mPartKind->addItem(QString::fromUtf8(name));
  mParts = new QListWidget(this);
  mParts->setObjectName(QStringLiteral("parts"));
  mVolume = readOnlyBox("volume", this);
  mCalorie = readOnlyBox("calorie", this);
  mPicture = new PlantPicture(this);
  mDistanceBar = scrollBar("distance", this);
  mAngleBar = scrollBar("angle", this);
  mExec = plainButton(QStringLiteral("exec"), this);
  mExecBox = readOnlyBox("execIncome", this);
  mSaveCode = plainButton(QStringLiteral("コード保存"), this);
  mSaveBitmap = plainButton(QStringLiteral("BMPで保存"), this);
  mSaveView = plainButton(QStringLiteral("Viewで保存"), this);
  mClose = plainButton(QString::fromUtf8(text::kClose), this);
  mRunCount = new QSpinBox(this);
  mRunCount->setObjectName(QStringLiteral("runCount"));
  mRunCount->setRange(1, kMostSteps);
  mRunCount->setValue(100);
  mRun = plainButton(QStringLiteral("回実行"), this);
  mRunUntilChange = plainButton(QStringLiteral("体が変わるまで"), this);
  mRunResult = new QLabel(this);
  mRunResult->setObjectName(QStringLiteral("runResult"));
  mZoomOut = plainButton(QStringLiteral("縮小"), this);
  mZoomIn = plainButton(QStringLiteral("拡大"), this);
  mFit = plainButton(QStringLiteral("全体"), this);
  mNoZoom = plainButton(QStringLiteral("×1"), this);
  mZoomText = new QLabel(this);
  mZoomText->setObjectName(QStringLiteral("zoom"));

  auto* left = new QVBoxLayout;
  left->addWidget(label("レジスタ", this));
  left->addWidget(mRegisters, 2);
  auto* identity = new QGridLayout;
  identity->addWidget(label("ID", this), 0, 0);
  identity->addWidget(mId, 0, 1);
  identity->addWidget(label("評価", this), 1, 0);
  identity->addWidget(mEvaluation, 1, 1);
  identity->addWidget(mExec, 2, 0);
  identity->addWidget(mExecBox, 2, 1);
  auto* runs = new QHBoxLayout;
  runs->addWidget(mRunCount);
  runs->addWidget(mRun);
  runs->addWidget(mRunUntilChange);
  runs->addStretch();
  identity->addLayout(runs, 3, 0, 1, 2);
  identity->addWidget(mRunResult, 4, 0, 1, 2);
  left->addLayout(identity);
  left->addWidget(label("エネルギー", this));
  left->addWidget(mEnergy, 3);

  auto* middle = new QVBoxLayout;
  middle->addWidget(label("コード", this));
  middle->addWidget(mCode, 1);

  auto* bars = new QGridLayout;
  bars->addWidget(label("距離", this), 0, 0);
  bars->addWidget(mDistanceBar, 0, 1);
  bars->addWidget(label("角度", this), 1, 0);
  bars->addWidget(mAngleBar, 1, 1);
  auto* zoom = new QHBoxLayout;
  for (QWidget* control : std::initializer_list<QWidget*>{mZoomOut, mZoomIn, mFit, mNoZoom, mZoomText})
    zoom->addWidget(control);
  zoom->addStretch();
  bars->addWidget(label("倍率", this), 2, 0);
  bars->addLayout(zoom, 2, 1);
  auto* totals = new QGridLayout;
  totals->addWidget(label("部品", this), 0, 0);
  totals->addWidget(mPartKind, 0, 1);
  totals->addWidget(label("体積", this), 1, 0);
  totals->addWidget(mVolume, 1, 1);
  totals->addWidget(label("カロリー", this), 2, 0);
  totals->addWidget(mCalorie, 2, 1);
  auto* right = new QVBoxLayout;
  right->addWidget(mPicture, 0, Qt::AlignHCenter);
  right->addLayout(bars);
  right->addLayout(totals);
  right->addWidget(mParts, 1);

  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 3);
  columns->addLayout(middle, 3);
  columns->addLayout(right, 4);

  auto* lower = new QGridLayout;
  lower->addWidget(label("done", this), 0, 0);
  lower->addWidget(mDone, 0, 1);
  lower->addWidget(label("ABuff", this), 1, 0, Qt::AlignTop);
  lower->addWidget(mABuff, 1, 1);
  mABuff->setFixedHeight(64);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(mSaveCode);
  buttons->addWidget(mSaveBitmap);
  buttons->addWidget(mSaveView);
  buttons->addStretch();
  buttons->addWidget(mClose);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(lower);
  layout->addLayout(buttons);
  resize(1060, 760);

  connect(mDistanceBar, &QScrollBar::valueChanged, this, &TargetDialog::redraw);
  connect(mAngleBar, &QScrollBar::valueChanged, this, &TargetDialog::redraw);
  connect(mPartKind, qOverload<int>(&QComboBox::currentIndexChanged), this, &TargetDialog::choosePartKind);
  connect(mExec, &QPushButton::clicked, this, &TargetDialog::execOnce);
  connect(mRun, &QPushButton::clicked, this, [this] { runSteps(mRunCount->value(), false); });
  connect(mRunUntilChange, &QPushButton::clicked, this, [this] { runSteps(kMostSteps, true); });
  connect(mZoomIn, &QPushButton::clicked, this, [this] { zoomBy(kZoomStep); });
  connect(mZoomOut, &QPushButton::clicked, this, [this] { zoomBy(1 / kZoomStep); });
  connect(mFit, &QPushButton::clicked, this, &TargetDialog::frameWholePlant);
  connect(mNoZoom, &QPushButton::clicked, this, &TargetDialog::resetZoom);
  mPicture->setOnWheel([this](int notches) { zoomBy(std::pow(kZoomStep, notches)); });
  connect(mSaveCode, &QPushButton::clicked, this, &TargetDialog::saveCode);
  connect(mSaveBitmap, &QPushButton::clicked, this, &TargetDialog::saveBitmap);
  connect(mSaveView, &QPushButton::clicked, this, &TargetDialog::saveView);
  connect(mClose, &QPushButton::clicked, this, &QDialog::accept);

  for (QWidget* control : std::initializer_list<QWidget*>{mExec, mRunCount, mRun, mRunUntilChange})
    control->setEnabled(mSubject.isTemporary());
  setZoom({});
}

TargetDialog::~TargetDialog() = default;

bool TargetDialog::refresh() {
  mWorld* world = mSimulator.world();
  std::optional<TargetTexts> texts;
  {
    std::unique_lock<FairMutex> lock;
    if (world) lock = std::unique_lock<FairMutex>(world->mutex());
    if (const mSeed* seed = mSubject.find(world ? &world->place() : nullptr)) texts = targetTexts(*seed);
  }
  if (!texts) return false;
  mTexts = std::move(*texts);

  mRegisters->clear();
  for (const std::string& line : mTexts.registers) mRegisters->addItem(qText(line));
  setTextBox(mCode, mTexts.code);
  setTextBox(mEnergy, mTexts.energy);
  setBox(mDone, mTexts.done);
  setTextBox(mABuff, mTexts.aBuff);
  setBox(mEvaluation, mTexts.evaluation);
  setBox(mId, mTexts.id);
  choosePartKind(mPartKind->currentIndex());
  mPicture->setShape(mTexts.shape);
  redraw();
  return true;
}

void TargetDialog::choosePartKind(int kind) {
  if (kind < 0 || kind >= kPartKindCount) return;
  const PartListTexts& list = mTexts.parts[static_cast<size_t>(kind)];
  mParts->clear();
  for (const std::string& line : list.lines) mParts->addItem(qText(line));
  setBox(mVolume, list.volume);
  setBox(mCalorie, list.calorie);
}

void TargetDialog::redraw() { mPicture->setBars(mAngleBar->value(), mDistanceBar->value()); }

void TargetDialog::setZoom(const PlantZoom& zoom) {
  mPicture->setZoom(zoom);
  mZoomText->setText(QStringLiteral("×%1").arg(zoom.zoom, 0, 'g', 3));
}

void TargetDialog::zoomBy(double factor) {
  PlantZoom zoom = mPicture->zoom();
  const double next = std::clamp(zoom.zoom * factor, kMinimumZoom, kMaximumZoom);
  // The picture grows about its middle, so what is framed stays in view.
  const QPointF middle(mPicture->width() / 2.0, mPicture->height() / 2.0);
  const QPointF origin(mPicture->width() / 2, static_cast<int>(0.75 * mPicture->height()));
  zoom.shift = (zoom.shift + origin - middle) * (next / zoom.zoom) - (origin - middle);
  zoom.zoom = next;
  setZoom(zoom);
}

void TargetDialog::frameWholePlant() {
  setZoom(framePlant(mPicture->shape(), mPicture->width(), mPicture->height(), mAngleBar->value(),
                     mDistanceBar->value()));
}

void TargetDialog::resetZoom() { setZoom({}); }

void TargetDialog::execOnce() {
  if (!mSubject.isTemporary()) return;
  runSteps(1, false);
  mRunResult->clear();
}

int TargetDialog::runSteps(int count, bool untilBodyChanges) {
  if (!mSubject.isTemporary()) return 0;
  mWorld* world = mSimulator.world();
  mSeed* seed = mSubject.find(nullptr);
  const std::string body = seed->body().text();
  double income = 0;
  int run = 0;
  bool changed = false;
  while (run < count && !changed) {
    // The individual is the dialog's own, but its step draws on the program's random numbers,
    // which the world shares; the mutex is let go between steps so the world runs on.
    std::unique_lock<FairMutex> lock;
    if (world) lock = std::unique_lock<FairMutex>(world->mutex());
    income = lightIncome(*seed);
    seed->processor().energy().add(income);
    seed->execute();
    ++run;
    changed = untilBodyChanges && seed->body().text() != body;
  }
  setBox(mExecBox, realText(income));
  if (!untilBodyChanges)
    mRunResult->setText(QStringLiteral("%1 回実行しました。").arg(run));
  else if (changed)
    mRunResult->setText(QStringLiteral("%1 回目で体が変わりました。").arg(run));
  else
    mRunResult->setText(QStringLiteral("%1 回実行しても体は変わりませんでした。").arg(run));
  refresh();
  return run;
}

void TargetDialog::saveCode() {
  saveGeneFile(mDialogs, mSimulator.saveFolder(), mTexts.geneId, mTexts.code);
}

void TargetDialog::saveBitmap() {
  app::saveBitmap(mDialogs, mSimulator.saveFolder(), mTexts.pictureName,
                  [this] { return bitmapFileBytes(mPicture->picture()); });
}

void TargetDialog::saveView() {
  saveSeedSnapshot(mDialogs, mSimulator.saveFolder(), mTexts.snapshotName, [this]() -> std::optional<std::string> {
    mWorld* world = mSimulator.world();
    if (!world) return std::nullopt;
    std::lock_guard<FairMutex> lock(world->mutex());
    const mSeed* seed = mSubject.find(&world->place());
    if (!seed) return std::nullopt;
    return vek::seedSnapshotText(world->place(), *seed);
  });
}

void TargetDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void openTargetDialog(Simulator& simulator, VekDialogs& dialogs, TargetSubject subject, QWidget* parent) {
  TargetDialog dialog(simulator, dialogs, std::move(subject), parent);
  if (!dialog.refresh()) {
    dialogs.inform(QString::fromUtf8(text::kSeedNotSpecified));
    return;
  }
  dialogs.runModal(dialog);
}

}  // namespace app
