// The control panel: a modal dialog that starts ("START"), suspends ("SUSPEND") and
// single-steps the world, and closes ("CLOSE"). The single-step button shows the caption of
// the phase that runs next. While the world runs only "SUSPEND" is enabled, so the panel can
// be closed (by "CLOSE", Escape or its frame) only while the world is parked, and the world is
// never stepped here while its worker runs.
//
// "SUSPEND" returns once the worker is parked, so no pause is needed after it.
//
// GUI thread only. The object lives as long as the main window; its window only while open.
#pragma once

#include <QDialog>

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

 private:
  void setRunning(bool running);

  Simulator& mSimulator;
  VekDialogs& mDialogs;
  QPushButton *mStart, *mSuspend, *mStep, *mClose;
};

}  // namespace app
