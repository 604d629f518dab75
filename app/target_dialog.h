// The target dialog: one individual in detail (registers, listing, energy report, trace,
// body text, evaluation and identifier, its parts by kind with their totals) and a line
// drawing of the plant that the distance and angle scroll bars scale and turn. It saves the
// individual's gene file, the drawing as a bitmap and a snapshot of the individual. "exec"
// runs one step of a temporary individual (one made from a genome; never one of the world);
// beside it, the individual runs a given number of steps, or until its body changes. The
// drawing zooms (buttons, the mouse wheel) far beyond the distance bar's range, and "全体"
// frames the whole plant. Enter and Escape neither confirm nor close it.
//
// Modal, GUI thread only. Every read of the world holds the world's mutex; the drawing works
// on a copy of the plant, so painting and scrolling never touch the world.
#pragma once

#include <QDialog>
#include <QWidget>
#include <functional>

#include "app/plant_drawing.h"
#include "app/target_subject.h"
#include "app/target_texts.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QSpinBox;
class QLabel;

namespace app {

class Simulator;
class VekDialogs;

// The picture control: the drawing over its whole client area, with a one-pixel frame.
class PlantPicture : public QWidget {
 public:
  explicit PlantPicture(QWidget* parent = nullptr);

  void setShape(const PlantShape& shape);
  void setBars(int angleBar, int distanceBar);
  void setZoom(const PlantZoom& zoom);
  const PlantZoom& zoom() const { return mZoom; }
  const PlantShape& shape() const { return mShape; }
  // Called with the wheel's notches (positive away from the user) when the wheel turns here.
  void setOnWheel(std::function<void(int)> onWheel) { mOnWheel = std::move(onWheel); }
  // The picture as painted, frame included, at the control's size.
  QImage picture() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  PlantShape mShape;
  int mAngle = kScrollStart;
  int mDistance = kScrollStart;
  PlantZoom mZoom;
  std::function<void(int)> mOnWheel;
  int mWheelEighths = 0;
};

class TargetDialog : public QDialog {
  Q_OBJECT

 public:
  TargetDialog(Simulator& simulator, VekDialogs& dialogs, TargetSubject subject, QWidget* parent = nullptr);
  ~TargetDialog() override;

  // Reads the individual and fills every text. False when there is none (or it is gone).
  bool refresh();

  // The buttons' actions.
  void execOnce();
  void saveCode();
  void saveBitmap();
  void saveView();
  void choosePartKind(int kind);
  // Runs the temporary individual `count` steps as "exec" does, or fewer when `untilBodyChanges`
  // and a step changed its body. Returns the steps run (0 for an individual of the world).
  int runSteps(int count, bool untilBodyChanges);
  // The drawing's zoom: times `factor` (within its bounds), the whole plant framed, or none.
  void zoomBy(double factor);
  void frameWholePlant();
  void resetZoom();

  QScrollBar* distanceBar() const { return mDistanceBar; }
  QScrollBar* angleBar() const { return mAngleBar; }
  PlantPicture* picture() const { return mPicture; }
  QPushButton* execButton() const { return mExec; }
  QSpinBox* runCount() const { return mRunCount; }
  QPushButton* runButton() const { return mRun; }
  QPushButton* runUntilChangeButton() const { return mRunUntilChange; }
  QLabel* runResult() const { return mRunResult; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void redraw();
  void setZoom(const PlantZoom& zoom);

  Simulator& mSimulator;
  VekDialogs& mDialogs;
  TargetSubject mSubject;
  TargetTexts mTexts;

  QListWidget* mRegisters;
  QPlainTextEdit *mCode, *mEnergy;
  QLineEdit *mDone, *mEvaluation, *mId, *mVolume, *mCalorie, *mExecBox;
  QPlainTextEdit* mABuff;
  QComboBox* mPartKind;
  QListWidget* mParts;
  PlantPicture* mPicture;
  QScrollBar *mDistanceBar, *mAngleBar;
  QPushButton *mExec, *mSaveCode, *mSaveBitmap, *mSaveView, *mClose;
  QSpinBox* mRunCount;
  QPushButton *mRun, *mRunUntilChange, *mZoomIn, *mZoomOut, *mFit, *mNoZoom;
  QLabel *mRunResult, *mZoomText;
};

// Opens the dialog on `subject`; without an individual a message says the seed is not
// sufficiently specified and no dialog opens.
void openTargetDialog(Simulator& simulator, VekDialogs& dialogs, TargetSubject subject, QWidget* parent);

}  // namespace app
