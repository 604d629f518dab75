#include "app/daughter_view.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <mutex>

#include "app/form_boxes.h"
#include "app/simulator.h"
#include "engine/world.h"

namespace app {

kDaughterView::kDaughterView(Simulator& simulator, QWidget* parent) : QWidget(parent), mSimulator(simulator) {
  auto* grid = new QGridLayout;
  mTurn = addBoxRow(grid, 0, 0, "ターン数", "turn", this, widest::kInt);
  mExecuteCount = addBoxRow(grid, 1, 0, "EXECUTE数", "executeCount", this, widest::kInt);
  mSeeds = addBoxRow(grid, 2, 0, "種子数", "seeds", this, widest::kInt);
  mGenes = addBoxRow(grid, 3, 0, "遺伝子数", "genes", this, widest::kInt);
  mBirths = addBoxRow(grid, 4, 0, "今回の誕生数", "births", this, widest::kInt);
  mDeaths = addBoxRow(grid, 5, 0, "今回の死亡数", "deaths", this, widest::kInt);
  mFieldCapacity = addBoxRow(grid, 6, 0, "FieldCapacity", "fieldCapacity", this, widest::kReal);
  mAverageSize = addBoxRow(grid, 0, 1, "平均サイズ", "averageSize", this, widest::kReal);
  mAverageEvaluation = addBoxRow(grid, 1, 1, "平均評価", "averageEvaluation", this, widest::kReal);
  mAverageTurn = addBoxRow(grid, 2, 1, "平均ターン数", "averageTurn", this, widest::kReal);
  mTotalEnergy = addBoxRow(grid, 3, 1, "総エネルギー", "totalEnergy", this, widest::kReal);
  mAcquiredEnergy = addBoxRow(grid, 4, 1, "獲得エネルギー", "acquiredEnergy", this, widest::kReal);
  mMaintenanceEnergy = addBoxRow(grid, 5, 1, "維持エネルギー", "maintenanceEnergy", this, widest::kReal);
  mUsedEnergy = addBoxRow(grid, 6, 1, "使用エネルギー", "usedEnergy", this, widest::kReal);

  mAverageEnergy = readOnlyTextBox("averageEnergy", this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(new QLabel(QStringLiteral("平均エネルギー"), this));
  layout->addWidget(mAverageEnergy, 1);

  mSimulator.bridge().setViewOpen(ViewKind::kDaughter, true);
  connect(&mSimulator.bridge(), &WorldBridge::turnEnded, this, &kDaughterView::afterTurn);
  connect(&mSimulator.bridge(), &WorldBridge::worldOpened, this, &kDaughterView::refresh);
  connect(&mSimulator.bridge(), &WorldBridge::worldClosed, this, [this] { clearBoxes(this); });
  refresh();
}

kDaughterView::~kDaughterView() { mSimulator.bridge().setViewOpen(ViewKind::kDaughter, false); }

void kDaughterView::refresh() {
  mWorld* world = mSimulator.world();
  if (!world) return;
  DaughterTexts texts;
  {
    std::lock_guard<FairMutex> lock(world->mutex());
    texts = daughterTexts(world->place());
  }
  showTexts(texts);
}

void kDaughterView::showTexts(const DaughterTexts& texts) {
  setBox(mTurn, texts.turn);
  setBox(mExecuteCount, texts.executeCount);
  setBox(mSeeds, texts.seeds);
  setBox(mAverageSize, texts.averageSize);
  setBox(mAverageEvaluation, texts.averageEvaluation);
  setBox(mFieldCapacity, texts.fieldCapacity);
  setBox(mGenes, texts.genes);
  setBox(mAverageTurn, texts.averageTurn);
  setBox(mTotalEnergy, texts.totalEnergy);
  setBox(mAcquiredEnergy, texts.acquiredEnergy);
  setBox(mMaintenanceEnergy, texts.maintenanceEnergy);
  setBox(mUsedEnergy, texts.usedEnergy);
  setBox(mBirths, texts.births);
  setBox(mDeaths, texts.deaths);
  setTextBox(mAverageEnergy, texts.averageEnergy);
}

void kDaughterView::afterTurn(const TurnTexts& texts) {
  if (texts.daughter) showTexts(*texts.daughter);
}

}  // namespace app
