#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>
#include <mutex>

#include "app/charts_view.h"
#include "app/control_panel.h"
#include "app/daughter_view.h"
#include "app/dialogs.h"
#include "app/gene_view.h"
#include "app/phase_panel.h"
#include "app/program_icon.h"
#include "app/save_commands.h"
#include "app/seed_view.h"
#include "app/simulator.h"
#include "app/size_view.h"
#include "app/strings.h"
#include "app/texts.h"
#include "app/world_switch.h"
#include "engine/world.h"

namespace app {

namespace {

// The area the views' places are laid out in: the main window of the default size, less its
// menu bar and status line.
constexpr QSize kLayoutArea{1280, 880};

// The views, in the order of ViewKind and of the View menu: the menu item, the title of the
// child window, the key that opens it, its place in the layout area, and how it is made. A new
// view is a new ViewKind and a new row here.
struct ViewSpec {
  const char* menuItem;
  const char* title;
  const char* shortcut;
  QRect home;
  QWidget* (*make)(CMainFrame& frame, Simulator& simulator, VekDialogs& dialogs);
};
const ViewSpec kViews[kViewKindCount] = {
    {"SeedView", text::kSeedViewTitle, "Ctrl+1", {0, 0, 640, 480},
     [](CMainFrame&, Simulator& simulator, VekDialogs& dialogs) -> QWidget* {
       return new kSeedView(simulator, dialogs);
     }},
    {"GeneView", text::kGeneViewTitle, "Ctrl+2", {640, 0, 640, 480},
     [](CMainFrame& frame, Simulator& simulator, VekDialogs& dialogs) -> QWidget* {
       return new kGeneView(simulator, dialogs, [&frame] { return frame.openSeedView(); });
     }},
    {"DaughterView", text::kDaughterViewTitle, "Ctrl+3", {0, 480, 640, 400},
     [](CMainFrame&, Simulator& simulator, VekDialogs&) -> QWidget* { return new kDaughterView(simulator); }},
    {"MotherView", text::kMotherViewTitle, "Ctrl+4", {1060, 480, 220, 290},
     [](CMainFrame& frame, Simulator& simulator, VekDialogs&) -> QWidget* {
       return new kMotherView(simulator, [&frame] { frame.controlPanel().openPanel(); });
     }},
    {"SizeView", text::kSizeViewTitle, "Ctrl+5", {640, 480, 420, 400},
     [](CMainFrame&, Simulator& simulator, VekDialogs& dialogs) -> QWidget* {
       return new kSizeView(simulator, dialogs);
     }},
    // The layout has no free place left. The charts draw the daughter view's figures over
    // time and want width, so they open over the daughter and size views, the whole width
    // left of the phase panel; the seed and gene views, where individuals are chosen, and the
    // phase panel's lamps stay in view.
    {"Charts", text::kChartsViewTitle, "Ctrl+6", {0, 480, 1060, 400},
     [](CMainFrame&, Simulator& simulator, VekDialogs& dialogs) -> QWidget* {
       return new kChartsView(simulator, dialogs);
     }},
};

const ViewSpec& specOf(ViewKind kind) { return kViews[static_cast<int>(kind)]; }

QAction* addCommand(QMenu* menu, const char* caption, const QKeySequence& key) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  action->setShortcut(key);
  return action;
}

}  // namespace

CMainFrame::CMainFrame(Simulator& simulator, VekDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), mSimulator(simulator), mDialogs(dialogs) {
  setWindowTitle(QString::fromUtf8(text::kProgram));
  setWindowIcon(programIcon());
  mArea = new QMdiArea(this);
  setCentralWidget(mArea);
  mControlPanel = new ControlPanel(simulator, dialogs, this);
  mStatus = new QLabel(noWorldStatus(), this);
  if (mWorld* world = simulator.world()) {
    WorldCounts counts;
    {
      std::lock_guard<FairMutex> lock(world->mutex());
      counts = countsOf(*world);
    }
    mStatus->setText(countsStatus(counts, std::nullopt));
  }
  mStatus->setObjectName(QStringLiteral("status"));
  statusBar()->addWidget(mStatus, 1);
  buildMenus();
  resize(kDefaultSize);
  mClock.start();

  WorldBridge& bridge = simulator.bridge();
  connect(&bridge, &WorldBridge::countsChanged, this, &CMainFrame::showCounts);
  connect(&bridge, &WorldBridge::worldOpened, this, [this](const WorldCounts& counts, bool loaded) {
    mTurnRate.reset();
    mStatus->setText(openedStatus(counts, loaded, qPath(mSimulator.saveFolder())));
  });
  connect(&bridge, &WorldBridge::worldClosed, this, [this] {
    mTurnRate.reset();
    mStatus->setText(noWorldStatus());
  });
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (mControlPanel->isVisible())
    event->ignore();
  else
    QMainWindow::closeEvent(event);
}

void CMainFrame::buildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  mNew = addCommand(file, "新規作成(&N)...", QKeySequence::New);
  connect(mNew, &QAction::triggered, this, [this] { newWorld(mSimulator, mDialogs, [this] { close(); }); });
  mOpen = addCommand(file, "開く(&O)...", QKeySequence::Open);
  connect(mOpen, &QAction::triggered, this, [this] { openSavedWorld(mSimulator, mDialogs); });
  file->addSeparator();
  mExit = addCommand(file, "アプリケーションの終了(&X)", QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(mExit, &QAction::triggered, this, &QWidget::close);

  QMenu* window = menuBar()->addMenu(QStringLiteral("ウィンドウ(&W)"));
  connect(addCommand(window, "重ねて表示(&C)", QKeySequence(Qt::SHIFT | Qt::Key_F5)), &QAction::triggered, mArea,
          &QMdiArea::cascadeSubWindows);
  mTile = addCommand(window, "並べて表示(&T)", QKeySequence(Qt::SHIFT | Qt::Key_F4));
  connect(mTile, &QAction::triggered, mArea, &QMdiArea::tileSubWindows);
  connect(window->addAction(QStringLiteral("アイコンの整列(&A)")), &QAction::triggered, this,
          &CMainFrame::arrangeIcons);
  window->addSeparator();
  connect(addCommand(window, "次のウィンドウ(&N)", QKeySequence(Qt::Key_F6)), &QAction::triggered, mArea,
          &QMdiArea::activateNextSubWindow);
  connect(addCommand(window, "前のウィンドウ(&P)", QKeySequence(Qt::SHIFT | Qt::Key_F6)), &QAction::triggered,
          mArea, &QMdiArea::activatePreviousSubWindow);

  QMenu* views = menuBar()->addMenu(QStringLiteral("表示(&V)"));
  for (int kind = 0; kind < kViewKindCount; ++kind) {
    mViewActions[kind] = addCommand(views, kViews[kind].menuItem, QKeySequence(QString::fromUtf8(kViews[kind].shortcut)));
    connect(mViewActions[kind], &QAction::triggered, this, [this, kind] { openView(static_cast<ViewKind>(kind)); });
  }
  views->addSeparator();
  mSaveTovraView =
      views->addAction(QStringLiteral("SaveTovraView"), this, [this] { SaveTovraView(mSimulator, mDialogs); });

  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  help->addAction(QStringLiteral("バージョン情報(&A)..."), this, [this] { mDialogs.about(); });

  QMenu* control = menuBar()->addMenu(QStringLiteral("コントロール(&C)"));
  mControl = addCommand(control, "コントロール", QKeySequence(Qt::CTRL | Qt::Key_K));
  connect(mControl, &QAction::triggered, this, [this] { mControlPanel->openFromMenu(); });
  control->addSeparator();
  control->addAction(mControlPanel->startAction());
  control->addAction(mControlPanel->suspendAction());
  control->addAction(mControlPanel->stepAction());
}

QRect CMainFrame::homeOf(ViewKind kind) const {
  const QSize area = mArea->viewport()->size();
  const double sx = std::min(1.0, static_cast<double>(area.width()) / kLayoutArea.width());
  const double sy = std::min(1.0, static_cast<double>(area.height()) / kLayoutArea.height());
  const QRect home = specOf(kind).home;
  return {static_cast<int>(home.x() * sx), static_cast<int>(home.y() * sy), static_cast<int>(home.width() * sx),
          static_cast<int>(home.height() * sy)};
}

QWidget* CMainFrame::openView(ViewKind kind) {
  const int index = static_cast<int>(kind);
  if (mFrames[index]) return mViews[index];
  const ViewSpec& entry = kViews[index];
  QWidget* view = entry.make(*this, mSimulator, mDialogs);
  // A view smaller than its form scrolls, as a form view does, so no box is ever cut short.
  auto* scroll = new QScrollArea;
  scroll->setWidget(view);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  QMdiSubWindow* frame = mArea->addSubWindow(scroll);
  frame->setAttribute(Qt::WA_DeleteOnClose);
  frame->setWindowTitle(QString::fromUtf8(entry.title));
  frame->setWindowIcon(programIcon());
  frame->setGeometry(homeOf(kind));
  mFrames[index] = frame;
  mViews[index] = view;
  mViewActions[index]->setEnabled(false);
  connect(frame, &QObject::destroyed, this, [action = QPointer<QAction>(mViewActions[index])] {
    if (action) action->setEnabled(true);
  });
  frame->show();
  return view;
}

QWidget* CMainFrame::view(ViewKind kind) const { return mFrames[static_cast<int>(kind)] ? mViews[static_cast<int>(kind)] : nullptr; }

QMdiSubWindow* CMainFrame::subWindow(ViewKind kind) const { return mFrames[static_cast<int>(kind)]; }

kSeedView* CMainFrame::openSeedView() { return static_cast<kSeedView*>(openView(ViewKind::kSeed)); }

void CMainFrame::arrangeIcons() {
  int x = 0;
  for (QMdiSubWindow* frame : mArea->subWindowList()) {
    if (!frame->isMinimized()) continue;
    frame->move(x, mArea->viewport()->height() - frame->height());
    x += frame->width();
  }
}

void CMainFrame::showCounts(const WorldCounts& counts) {
  if (counts.running)
    mTurnRate.add(counts.turn, mClock.elapsed());
  else
    mTurnRate.reset();
  mStatus->setText(countsStatus(counts, mTurnRate.perSecond()));
}

}  // namespace app
