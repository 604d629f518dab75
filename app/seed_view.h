// kSeedView: one individual in detail. It shows the individual chosen from its lists (a
// genome length, then an identifier) or the one the world is stepping, as its tracking option
// says: complete follows every individual that acts, specific only the one whose identifier
// stands in the "SeedID" box, none (the start) none. Its target button opens the target dialog.
// After every turn it empties its lists and forgets the individual (the boxes keep their
// texts) until one is chosen or shown again; the lists keep the size and identifier last
// chosen, current again when they are refilled. The identifier list is searched by typing.
// When another world opens, or the world goes, it forgets everything it showed.
//
// GUI thread only. Registers itself with the simulator's bridge while it exists; reads the
// world under its mutex.
#pragma once

#include <QWidget>
#include <vector>

#include "app/searchable_list.h"
#include "app/world_texts.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace app {

class RefillingComboBox;
class Simulator;
class VekDialogs;
enum class SeedTracking;
struct TurnTexts;

class kSeedView : public QWidget {
  Q_OBJECT

 public:
  kSeedView(Simulator& simulator, VekDialogs& dialogs, QWidget* parent = nullptr);
  ~kSeedView() override;

  // Fills the boxes, remembers the individual and enables the target button.
  void showSeed(const SeedTexts& texts);
  // Reads the individual `handle` names, if it still lives, and shows it; else a message says
  // it has been lost.
  void showSeed(const SeedHandle& handle);
  // After a turn: empty lists, nothing remembered, target button disabled.
  void afterTurnReset();

  // The list actions, as the user's clicks run them.
  void dropDownSizes();
  void chooseSize(int index);
  void chooseSeed(int index);
  void setTracking(SeedTracking tracking);
  void openTarget();

  QComboBox* sizeList() const;
  QComboBox* idList() const { return mIdList; }
  QPushButton* targetButton() const { return mTarget; }

 private:
  void afterTurn(const TurnTexts& texts);
  void forgetWorld();

  Simulator& mSimulator;
  VekDialogs& mDialogs;
  SeedHandle mShown;
  std::vector<SeedEntry> mEntries;

  QLineEdit *mSeedId, *mGeneId, *mCentre, *mVolume, *mCalorie, *mTurn, *mIsBirth, *mBirths, *mEvaluation, *mDoneWork;
  QPlainTextEdit *mABuffer, *mEnergy;
  RefillingComboBox* mSizeList;
  SearchableList* mIdList;
  int mChosenSize = 0;
  QRadioButton *mComplete, *mSpecific, *mNone;
  QPushButton* mTarget;
};

}  // namespace app
