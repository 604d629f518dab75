// CMainFrame: the simulator's main window, a multiple-document frame (QMdiArea) without tool
// bar or status bar. Its menus: File (exit), Window (cascade, tile, arrange icons), View (the
// five views and the whole-world snapshot `SaveTovraView`), Help (about) and Control (the
// control panel). Each view opens at most once; its menu item is disabled while it is open.
// It owns the control panel. When it closes, the program runs its exit sequence (main.cpp).
//
// GUI thread only. `simulator` and `dialogs` are not owned and outlive the window.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include "app/world_bridge.h"

class QAction;
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
  CMainFrame(Simulator& simulator, VekDialogs& dialogs, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Opens the view of `kind` if it is not open, and returns it either way.
  QWidget* openView(ViewKind kind);
  // The open view of `kind`, or nullptr.
  QWidget* view(ViewKind kind) const;
  kSeedView* openSeedView();

  QAction* viewAction(ViewKind kind) const { return mViewActions[static_cast<int>(kind)]; }
  QAction* saveTovraViewAction() const { return mSaveTovraView; }
  QAction* controlAction() const { return mControl; }
  QMdiArea* mdiArea() const { return mArea; }
  ControlPanel& controlPanel() const { return *mControlPanel; }

 protected:
  // The frame does not close while the control panel is open (the world may be running): the
  // panel is modal, so the user suspends and closes it first.
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  QWidget* makeView(ViewKind kind);
  void arrangeIcons();

  Simulator& mSimulator;
  VekDialogs& mDialogs;
  QMdiArea* mArea;
  ControlPanel* mControlPanel;
  QPointer<QMdiSubWindow> mFrames[kViewKindCount];
  QAction* mViewActions[kViewKindCount] = {};
  QAction* mSaveTovraView = nullptr;
  QAction* mControl = nullptr;
};

}  // namespace app
