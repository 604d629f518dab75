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
  mTurn = addBoxRow(grid, 0, 0, "ターン数", "turn", this);
  mExecuteCount = addBoxRow(grid, 1, 0, "EXECUTE数", "executeCount", this);
  mSeeds = addBoxRow(grid, 2, 0, "種子数", "seeds", this);
  mGenes = addBoxRow(grid, 3, 0, "遺伝子数", "genes", this);
  mBirths = addBoxRow(grid, 4, 0, "今回の誕生数", "births", this);
  mDeaths = addBoxRow(grid, 5, 0, "今回の死亡数", "deaths", this);
  mFieldCapacity = addBoxRow(grid, 6, 0, "FieldCapacity", "fieldCapacity", this);
  mAverageSize = addBoxRow(grid, 0, 1, "平均サイズ", "averageSize", this);
  mAverageEvaluation = addBoxRow(grid, 1, 1, "平均評価", "averageEvaluation", this);
  mAverageTurn = addBoxRow(grid, 2, 1, "平均ターン数", "averageTurn", this);
  mTotalEnergy = addBoxRow(grid, 3, 1, "総エネルギー", "totalEnergy", this);
  mAcquiredEnergy = addBoxRow(grid, 4, 1, "獲得エネルギー", "acquiredEnergy", this);
  mMaintenanceEnergy = addBoxRow(grid, 5, 1, "維持エネルギー", "maintenanceEnergy", this);
  mUsedEnergy = addBoxRow(grid, 6, 1, "使用エネルギー", "usedEnergy", this);

  mAverageEnergy = readOnlyTextBox("averageEnergy", this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(new QLabel(QStringLiteral("平均エネルギー"), this));
  layout->addWidget(mAverageEnergy, 1);

  mSimulator.bridge().setViewOpen(ViewKind::kDaughter, true);
  connect(&mSimulator.bridge(), &WorldBridge::turnEnded, this, &kDaughterView::afterTurn);
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
