// CMainFrame: the simulator's main window, a multiple-document frame (QMdiArea) without tool
// bar. Its menus: File (new, open, exit), Window (cascade, tile, arrange icons, next and
// previous window), View (the views and the whole-world snapshot `SaveTovraView`), Help
// (about) and Control (the control panel, and start, suspend and single step), each command
// with its key shown beside it. Each view opens at most once, in a place of its own where it
// fits the window of the default size; its menu item is disabled while it is open. The status
// line tells where the world stands. It owns the control panel. When it closes, the program
// runs its exit sequence (main.cpp).
//
// GUI thread only. `simulator` and `dialogs` are not owned and outlive the window.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QSize>

#include "app/status_line.h"
#include "app/world_bridge.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;

namespace app {

class ControlPanel;
class Simulator;
class VekDialogs;
class kSeedView;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // The window's size when it first opens; every view opens inside it, none over another.
  static constexpr QSize kDefaultSize{1280, 960};

  CMainFrame(Simulator& simulator, VekDialogs& dialogs, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Opens the view of `kind` if it is not open, and returns it either way.
  QWidget* openView(ViewKind kind);
  // The open view of `kind`, or nullptr; and the child window that holds it.
  QWidget* view(ViewKind kind) const;
  QMdiSubWindow* subWindow(ViewKind kind) const;
  kSeedView* openSeedView();

  QAction* viewAction(ViewKind kind) const { return mViewActions[static_cast<int>(kind)]; }
  QAction* saveTovraViewAction() const { return mSaveTovraView; }
  QAction* controlAction() const { return mControl; }
  QAction* newAction() const { return mNew; }
  QAction* openAction() const { return mOpen; }
  QAction* exitAction() const { return mExit; }
  QAction* tileAction() const { return mTile; }
  QMdiArea* mdiArea() const { return mArea; }
  ControlPanel& controlPanel() const { return *mControlPanel; }
  QLabel* statusText() const { return mStatus; }

 protected:
  // The frame does not close while the control panel is open (the world may be running): the
  // panel is modal, so the user suspends and closes it first.
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  // Where the view of `kind` opens: its place in a window of the default size, shrunk to
  // the area when the window is smaller.
  QRect homeOf(ViewKind kind) const;
  void arrangeIcons();
  void showCounts(const WorldCounts& counts);

  Simulator& mSimulator;
  VekDialogs& mDialogs;
  QMdiArea* mArea;
  ControlPanel* mControlPanel;
  QLabel* mStatus;
  TurnRate mTurnRate;
  QElapsedTimer mClock;
  QPointer<QMdiSubWindow> mFrames[kViewKindCount];
  QPointer<QWidget> mViews[kViewKindCount];
  QAction* mViewActions[kViewKindCount] = {};
  QAction *mSaveTovraView = nullptr, *mControl = nullptr, *mNew = nullptr, *mOpen = nullptr, *mExit = nullptr,
          *mTile = nullptr;
};

}  // namespace app
