// The control panel: a modal dialog that starts ("START"), suspends ("SUSPEND") and
// single-steps the world, and closes ("CLOSE"). The single-step button shows the caption of
// the phase that runs next. While the world runs only "SUSPEND" is enabled, so the panel can
// be closed (by "CLOSE", Escape or its frame) only while the world is parked, and the world is
// never stepped here while its worker runs.
//
// "SUSPEND" returns once the worker is parked, so no pause is needed after it.
//
// The three buttons have actions with keys (F5, F8, F10) that the Control menu shows and that
// work while the panel is open too; an action is enabled exactly while its button is. Started
// from the menu, the world runs with the panel closed and the views at hand.
//
// GUI thread only. The object lives as long as the main window; its window only while open.
#pragma once

#include <QDialog>

class QAction;
class QPushButton;

namespace app {

class Simulator;
class VekDialogs;

class ControlPanel : public QDialog {
  Q_OBJECT

 public:
  ControlPanel(Simulator& simulator, VekDialogs& dialogs, QWidget* parent = nullptr);

  // The Control menu: without a world a message asks the user to load one first.
  void openFromMenu();
  // Shows the panel modally with the world's caption on the single-step button; without a
  // world a message says nothing has been loaded and the panel does not stay open.
  void openPanel();

  void start();
  void suspend();
  void stepOnce();

  void reject() override;

  QPushButton* startButton() const { return mStart; }
  QPushButton* suspendButton() const { return mSuspend; }
  QPushButton* stepButton() const { return mStep; }
  QPushButton* closeButton() const { return mClose; }
  QAction* startAction() const { return mStartAction; }
  QAction* suspendAction() const { return mSuspendAction; }
  QAction* stepAction() const { return mStepAction; }

 private:
  void setRunning(bool running);
  void setButtons(bool start, bool suspend, bool step, bool close);
  // Runs `command` if there is a world; else the message that asks to load one first.
  void withWorld(void (ControlPanel::*command)());

  Simulator& mSimulator;
  VekDialogs& mDialogs;
  QPushButton *mStart, *mSuspend, *mStep, *mClose;
  QAction *mStartAction, *mSuspendAction, *mStepAction;
};

}  // namespace app
