#include "app/gene_view.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <mutex>

#include "app/dialogs.h"
#include "app/form_boxes.h"
#include "app/save_commands.h"
#include "app/searchable_list.h"
#include "app/seed_view.h"
#include "app/simulator.h"
#include "app/strings.h"
#include "app/target_dialog.h"
#include "app/texts.h"
#include "engine/place.h"
#include "engine/world.h"

namespace app {

kGeneView::kGeneView(Simulator& simulator, VekDialogs& dialogs, std::function<kSeedView*()> seedView,
                     QWidget* parent)
    : QWidget(parent), mSimulator(simulator), mDialogs(dialogs), mSeedView(std::move(seedView)) {
  mSizeList = new RefillingComboBox(this);
  mSizeList->setObjectName(QStringLiteral("sizeList"));
  mSizeList->setBeforePopup([this] { dropDownSizes(); });
  mIdList = new SearchableList("idList", this);
  mCarriers = new SearchableList("seeds", this);
  mTarget = new QPushButton(QStringLiteral("ターゲットに表示"), this);
  mSave = new QPushButton(QStringLiteral("コード保存"), this);
  mTarget->setEnabled(false);
  mSave->setEnabled(false);

  auto* lists = new QHBoxLayout;
  lists->addWidget(new QLabel(QStringLiteral("サイズ"), this));
  lists->addWidget(mSizeList);
  lists->addWidget(new QLabel(QStringLiteral("ID"), this));
  lists->addWidget(mIdList, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(mTarget);
  buttons->addWidget(mSave);

  auto* grid = new QGridLayout;
  mGeneId = addBoxRow(grid, 0, 0, "GeneID", "geneId", this, widest::kId);
  mSeedNumber = addBoxRow(grid, 1, 0, "SeedNumber", "seedNumber", this, widest::kInt);
  grid->addWidget(new QLabel(QStringLiteral("Seeds"), this), 2, 0);
  grid->addWidget(mCarriers, 2, 1);
  mAverageEvaluation = addBoxRow(grid, 0, 1, "平均評価", "averageEvaluation", this, widest::kReal);
  mAverageVolume = addBoxRow(grid, 1, 1, "平均体積", "averageVolume", this, widest::kReal);
  mAverageCalorie = addBoxRow(grid, 2, 1, "平均カロリー", "averageCalorie", this, widest::kReal);
  mAverageTurn = addBoxRow(grid, 3, 1, "平均ターン数", "averageTurn", this, widest::kReal);

  mEnergy = readOnlyTextBox("energy", this);
  mCode = readOnlyTextBox("code", this);
  auto* texts = new QGridLayout;
  texts->addWidget(new QLabel(QStringLiteral("エネルギー"), this), 0, 0);
  texts->addWidget(new QLabel(QStringLiteral("コード"), this), 0, 1);
  texts->addWidget(mEnergy, 1, 0);
  texts->addWidget(mCode, 1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(lists);
  layout->addLayout(buttons);
  layout->addLayout(grid);
  layout->addLayout(texts, 1);

  connect(mSizeList, qOverload<int>(&QComboBox::activated), this, &kGeneView::chooseSize);
  connect(mIdList, qOverload<int>(&QComboBox::activated), this, &kGeneView::chooseGene);
  connect(mCarriers, qOverload<int>(&QComboBox::activated), this, &kGeneView::chooseCarrier);
  connect(mTarget, &QPushButton::clicked, this, &kGeneView::openTarget);
  connect(mSave, &QPushButton::clicked, this, &kGeneView::saveCode);

  mSimulator.bridge().setViewOpen(ViewKind::kGene, true);
  connect(&mSimulator.bridge(), &WorldBridge::turnEnded, this, &kGeneView::afterTurn);
  connect(&mSimulator.bridge(), &WorldBridge::worldOpened, this, &kGeneView::forgetWorld);
  connect(&mSimulator.bridge(), &WorldBridge::worldClosed, this, &kGeneView::forgetWorld);
}

kGeneView::~kGeneView() { mSimulator.bridge().setViewOpen(ViewKind::kGene, false); }

QComboBox* kGeneView::sizeList() const { return mSizeList; }

void kGeneView::dropDownSizes() {
  mSizeList->clear();
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

void kGeneView::chooseSize(int index) {
  mWorld* world = mSimulator.world();
  if (!world || index < 0 || index >= mSizeList->count()) return;
  mChosenSize = mSizeList->itemData(index).toInt();
  std::optional<std::vector<GeneEntry>> genes;
  {
    std::lock_guard<FairMutex> lock(world->mutex());
    genes = genesOfSize(world->place(), mChosenSize);
  }
  mIdList->clearEntries();
  mGenes.clear();
  if (!genes) {
    mDialogs.inform(QString::fromUtf8(text::kGeneOfSizeLost));
    return;
  }
  mGenes = std::move(*genes);
  QStringList ids;
  for (const GeneEntry& entry : mGenes) ids << qText(entry.idText);
  mIdList->setEntries(ids);
}

void kGeneView::chooseGene(int index) {
  mWorld* world = mSimulator.world();
  if (!world || index < 0 || index >= static_cast<int>(mGenes.size())) return;
  bool found = false;
  std::optional<GeneTexts> texts;
  {
    std::lock_guard<FairMutex> lock(world->mutex());
    if (const mGene* gene = findGene(world->place(), mGenes[static_cast<size_t>(index)].handle)) {
      found = true;
      texts = geneTexts(*gene);
    }
  }
  if (!found)
    mDialogs.inform(QString::fromUtf8(text::kGeneOfIdLost));
  else if (!texts)
    mDialogs.inform(QString::fromUtf8(text::kGeneLost));
  else
    showGene(*texts);
}

void kGeneView::showGene(const GeneTexts& texts) {
  setBox(mGeneId, texts.geneId);
  setBox(mSeedNumber, texts.seedNumber);
  QStringList carriers;
  for (const SeedEntry& carrier : texts.carriers) carriers << qText(carrier.idText);
  mCarriers->setEntries(carriers);
  setBox(mAverageEvaluation, texts.averageEvaluation);
  setBox(mAverageVolume, texts.averageVolume);
  setBox(mAverageCalorie, texts.averageCalorie);
  setBox(mAverageTurn, texts.averageTurn);
  setTextBox(mEnergy, texts.energy);
  setTextBox(mCode, texts.code);
  mShown = texts;
  mTarget->setEnabled(true);
  mSave->setEnabled(true);
}

void kGeneView::chooseCarrier(int index) {
  if (!mShown || index < 0 || index >= static_cast<int>(mShown->carriers.size())) return;
  const SeedHandle handle = mShown->carriers[static_cast<size_t>(index)].handle;
  if (!mDialogs.askYesNo(QString::fromUtf8(text::kAskShowSeed))) return;
  if (kSeedView* seedView = mSeedView ? mSeedView() : nullptr) seedView->showSeed(handle);
}

void kGeneView::openTarget() {
  if (!mShown) {
    mDialogs.inform(QString::fromUtf8(text::kNoTarget));
    return;
  }
  Parameters parameters;
  if (mWorld* world = mSimulator.world()) {
    std::lock_guard<FairMutex> lock(world->mutex());
    parameters = world->place().parameters();
  }
  openTargetDialog(mSimulator, mDialogs, TargetSubject::temporary(mShown->id, mShown->codes, parameters), window());
}

void kGeneView::saveCode() {
  if (!mShown) return;
  saveGeneFile(mDialogs, mSimulator.saveFolder(), mShown->id, mShown->code);
}

void kGeneView::afterTurnReset() {
  mSizeList->clear();
  mIdList->clearEntries();
  mCarriers->clearEntries();
  mGenes.clear();
  mTarget->setEnabled(false);
  mSave->setEnabled(false);
}

void kGeneView::afterTurn(const TurnTexts&) { afterTurnReset(); }

void kGeneView::forgetWorld() {
  afterTurnReset();
  mIdList->forget();
  mCarriers->forget();
  mChosenSize = 0;
  mShown.reset();
  clearBoxes(this);
}

}  // namespace app
