#include "app/seed_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <mutex>
#include <optional>

#include "app/dialogs.h"
#include "app/form_boxes.h"
#include "app/searchable_list.h"
#include "app/simulator.h"
#include "app/strings.h"
#include "app/target_dialog.h"
#include "app/texts.h"
#include "engine/seed.h"
#include "engine/world.h"

namespace app {

kSeedView::kSeedView(Simulator& simulator, VekDialogs& dialogs, QWidget* parent)
    : QWidget(parent), mSimulator(simulator), mDialogs(dialogs) {
  mSizeList = new RefillingComboBox(this);
  mSizeList->setObjectName(QStringLiteral("sizeList"));
  mSizeList->setBeforePopup([this] { dropDownSizes(); });
  mIdList = new SearchableList("idList", this);

  mComplete = new QRadioButton(QStringLiteral("完全"), this);
  mSpecific = new QRadioButton(QStringLiteral("特定"), this);
  mNone = new QRadioButton(QStringLiteral("なし"), this);
  mNone->setChecked(true);
  auto* trackingBox = new QGroupBox(QStringLiteral("追跡"), this);
  auto* tracking = new QHBoxLayout(trackingBox);
  tracking->addWidget(mComplete);
  tracking->addWidget(mSpecific);
  tracking->addWidget(mNone);
  mTarget = new QPushButton(QStringLiteral("ターゲットに表示"), this);
  mTarget->setEnabled(false);

  auto* lists = new QHBoxLayout;
  lists->addWidget(new QLabel(QStringLiteral("サイズ"), this));
  lists->addWidget(mSizeList);
  lists->addWidget(new QLabel(QStringLiteral("ID"), this));
  lists->addWidget(mIdList, 1);
  auto* options = new QHBoxLayout;
  options->addWidget(trackingBox);
  options->addStretch();
  options->addWidget(mTarget);

  auto* grid = new QGridLayout;
  mSeedId = addBoxRow(grid, 0, 0, "SeedID", "seedId", this, widest::kId);
  mGeneId = addBoxRow(grid, 1, 0, "GeneID", "geneId", this, widest::kId);
  mCentre = addBoxRow(grid, 2, 0, "中心点", "centre", this, widest::kPoint);
  mTurn = addBoxRow(grid, 3, 0, "ターン数", "turn", this, widest::kInt);
  mIsBirth = addBoxRow(grid, 4, 0, "isBirth", "isBirth", this, widest::kInt);
  mVolume = addBoxRow(grid, 0, 1, "体積", "volume", this, widest::kReal);
  mCalorie = addBoxRow(grid, 1, 1, "カロリー", "calorie", this, widest::kReal);
  mBirths = addBoxRow(grid, 2, 1, "出産数", "births", this, widest::kInt);
  mEvaluation = addBoxRow(grid, 3, 1, "評価", "evaluation", this, widest::kReal);
  mDoneWork = addBoxRow(grid, 4, 1, "doneWork", "doneWork", this);

  mABuffer = readOnlyTextBox("aBuffer", this, true);
  mABuffer->setFixedHeight(72);
  mEnergy = readOnlyTextBox("energy", this);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(lists);
  layout->addLayout(options);
  layout->addLayout(grid);
  layout->addWidget(new QLabel(QStringLiteral("ABuffer"), this));
  layout->addWidget(mABuffer);
  layout->addWidget(new QLabel(QStringLiteral("エネルギー"), this));
  layout->addWidget(mEnergy, 1);

  connect(mSizeList, qOverload<int>(&QComboBox::activated), this, &kSeedView::chooseSize);
  connect(mIdList, qOverload<int>(&QComboBox::activated), this, &kSeedView::chooseSeed);
  connect(mComplete, &QRadioButton::toggled, this, [this](bool on) {
    if (on) mSimulator.bridge().setTracking(SeedTracking::kComplete);
  });
  connect(mSpecific, &QRadioButton::toggled, this, [this](bool on) {
    if (on) mSimulator.bridge().setTracking(SeedTracking::kSpecific);
  });
  connect(mNone, &QRadioButton::toggled, this, [this](bool on) {
    if (on) mSimulator.bridge().setTracking(SeedTracking::kNone);
  });
  connect(mTarget, &QPushButton::clicked, this, &kSeedView::openTarget);

  WorldBridge& bridge = mSimulator.bridge();
  bridge.setTracking(SeedTracking::kNone);
  bridge.setTrackedSeedId(std::string());
  bridge.setViewOpen(ViewKind::kSeed, true);
  connect(&bridge, &WorldBridge::seedShown, this, qOverload<const SeedTexts&>(&kSeedView::showSeed));
  connect(&bridge, &WorldBridge::turnEnded, this, &kSeedView::afterTurn);
  connect(&bridge, &WorldBridge::worldOpened, this, &kSeedView::forgetWorld);
  connect(&bridge, &WorldBridge::worldClosed, this, &kSeedView::forgetWorld);
}

kSeedView::~kSeedView() {
  mSimulator.bridge().setViewOpen(ViewKind::kSeed, false);
  mSimulator.bridge().setTracking(SeedTracking::kNone);
}

QComboBox* kSeedView::sizeList() const { return mSizeList; }

void kSeedView::showSeed(const SeedTexts& texts) {
  setBox(mSeedId, texts.seedId);
  setBox(mGeneId, texts.geneId);
  setBox(mCentre, texts.centre);
  setBox(mVolume, texts.volume);
  setBox(mCalorie, texts.calorie);
  setBox(mTurn, texts.turn);
  setBox(mIsBirth, texts.isBirth);
  setBox(mBirths, texts.births);
  setBox(mEvaluation, texts.evaluation);
  setBox(mDoneWork, texts.doneWork);
  setTextBox(mABuffer, texts.aBuffer);
  setTextBox(mEnergy, texts.energy);
  mShown = texts.handle;
  mTarget->setEnabled(true);
  mSimulator.bridge().setTrackedSeedId(texts.seedId);
}

void kSeedView::showSeed(const SeedHandle& handle) {
  std::optional<SeedTexts> texts;
  if (mWorld* world = mSimulator.world()) {
    std::lock_guard<FairMutex> lock(world->mutex());
    if (const mSeed* seed = findSeed(world->place(), handle)) texts = seedTexts(*seed);
  }
  if (texts)
    showSeed(*texts);
  else
    mDialogs.inform(QString::fromUtf8(text::kSeedOfIdLost));
}

void kSeedView::afterTurnReset() {
  mSizeList->clear();
  mIdList->clearEntries();
  mEntries.clear();
  mShown = {};
  mTarget->setEnabled(false);
}

void kSeedView::afterTurn(const TurnTexts&) { afterTurnReset(); }

void kSeedView::forgetWorld() {
  afterTurnReset();
  mIdList->forget();
  mChosenSize = 0;
  clearBoxes(this);
  mSimulator.bridge().setTrackedSeedId(std::string());
}

void kSeedView::dropDownSizes() {
  afterTurnReset();
  mWorld* world = mSimulator.world();
  if (!world) return;
  std::vector<int> sizes;
  {
    std::lock_guard<FairMutex> lock(world->mutex());
    sizes = poolSizes(world->place());
  }
  for (int size : sizes) mSizeList->addItem(QString::number(size), size);
  mSizeList->setCurrentIndex(mSizeList->findData(mChosenSize));
}

void kSeedView::chooseSize(int index) {
  mWorld* world = mSimulator.world();
  if (!world || index < 0 || index >= mSizeList->count()) return;
  mChosenSize = mSizeList->itemData(index).toInt();
  std::optional<std::vector<SeedEntry>> entries;
  {
    std::lock_guard<FairMutex> lock(world->mutex());
    entries = carriersOfSize(world->place(), mChosenSize);
  }
  mIdList->clearEntries();
  mEntries.clear();
  if (!entries) {
    mDialogs.inform(QString::fromUtf8(text::kSeedsOfSizeLost));
    return;
  }
  mEntries = std::move(*entries);
  QStringList ids;
  for (const SeedEntry& entry : mEntries) ids << qText(entry.idText);
  mIdList->setEntries(ids);
}

void kSeedView::chooseSeed(int index) {
  if (index < 0 || index >= static_cast<int>(mEntries.size())) return;
  showSeed(mEntries[static_cast<size_t>(index)].handle);
}

void kSeedView::setTracking(SeedTracking tracking) {
  QRadioButton* option = tracking == SeedTracking::kComplete   ? mComplete
                         : tracking == SeedTracking::kSpecific ? mSpecific
                                                               : mNone;
  option->setChecked(true);
  mSimulator.bridge().setTracking(tracking);
}

void kSeedView::openTarget() {
  if (!mShown.seed) {
    mDialogs.inform(QString::fromUtf8(text::kNoTarget));
    return;
  }
  openTargetDialog(mSimulator, mDialogs, TargetSubject::ofSeed(mShown), window());
}

}  // namespace app
