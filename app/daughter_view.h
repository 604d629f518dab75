// kDaughterView: the whole population in numbers (counters, averages, energy totals, this
// turn's births and deaths) and the population's average energy report. It fills its boxes
// when it opens and after every turn the world closes.
//
// GUI thread only. Registers itself with the simulator's bridge while it exists.
#pragma once

#include <QWidget>

#include "app/world_texts.h"

class QLineEdit;
class QPlainTextEdit;

namespace app {

class Simulator;
struct TurnTexts;

class kDaughterView : public QWidget {
  Q_OBJECT

 public:
  explicit kDaughterView(Simulator& simulator, QWidget* parent = nullptr);
  ~kDaughterView() override;

  // Reads the world now (under its mutex) and fills every box.
  void refresh();
  void showTexts(const DaughterTexts& texts);

 private:
  void afterTurn(const TurnTexts& texts);

  Simulator& mSimulator;
  QLineEdit *mTurn, *mExecuteCount, *mSeeds, *mAverageSize, *mAverageEvaluation, *mFieldCapacity, *mGenes,
      *mAverageTurn, *mTotalEnergy, *mAcquiredEnergy, *mMaintenanceEnergy, *mUsedEnergy, *mBirths, *mDeaths;
  QPlainTextEdit* mAverageEnergy;
};

}  // namespace app
