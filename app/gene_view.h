// kGeneView: one genome of the gene pool and its living carriers. The user picks a length,
// then a genome; the view shows its identifier, its carriers (a list, from which one can be
// sent to the seed view), their average evaluation, volume, calorie, age and energy, and its
// listing. Its target button opens the target dialog on a temporary individual made from the
// genome; its save button writes the listing as a gene file. After every turn it empties its
// lists and disables both buttons (the boxes keep their texts); the lists keep the size and
// identifiers last chosen, current again when they are refilled. The identifier and carrier
// lists are searched by typing. When another world opens, or the world goes, it forgets the
// genome it showed.
//
// GUI thread only. Registers itself with the simulator's bridge while it exists; reads the
// world under its mutex.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "app/searchable_list.h"
#include "app/world_texts.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace app {

class RefillingComboBox;
class Simulator;
class VekDialogs;
class kSeedView;
struct TurnTexts;

class kGeneView : public QWidget {
  Q_OBJECT

 public:
  // `seedView` opens the seed view if need be and returns it.
  kGeneView(Simulator& simulator, VekDialogs& dialogs, std::function<kSeedView*()> seedView,
            QWidget* parent = nullptr);
  ~kGeneView() override;

  // The list and button actions, as the user's clicks run them.
  void dropDownSizes();
  void chooseSize(int index);
  void chooseGene(int index);
  void chooseCarrier(int index);
  void openTarget();
  void saveCode();
  // After a turn: empty lists, both buttons disabled.
  void afterTurnReset();

  QComboBox* sizeList() const;
  QComboBox* idList() const { return mIdList; }
  QComboBox* carrierList() const { return mCarriers; }
  QPushButton* targetButton() const { return mTarget; }
  QPushButton* saveButton() const { return mSave; }

 private:
  void showGene(const GeneTexts& texts);
  void afterTurn(const TurnTexts& texts);
  void forgetWorld();

  Simulator& mSimulator;
  VekDialogs& mDialogs;
  std::function<kSeedView*()> mSeedView;
  std::vector<GeneEntry> mGenes;
  std::optional<GeneTexts> mShown;

  RefillingComboBox* mSizeList;
  SearchableList *mIdList, *mCarriers;
  int mChosenSize = 0;
  QLineEdit *mGeneId, *mSeedNumber, *mAverageEvaluation, *mAverageVolume, *mAverageCalorie, *mAverageTurn;
  QPlainTextEdit *mEnergy, *mCode;
  QPushButton *mTarget, *mSave;
};

}  // namespace app
