#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

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
#include "app/texts.h"

namespace app {

namespace {

struct ViewSpec {
  const char* menuItem;
  const char* title;
  QSize size;
};
constexpr ViewSpec kViews[kViewKindCount] = {
    {"SeedView", text::kSeedViewTitle, {640, 520}},
    {"GeneView", text::kGeneViewTitle, {640, 520}},
    {"DaughterView", text::kDaughterViewTitle, {620, 540}},
    {"MotherView", text::kMotherViewTitle, {220, 250}},
    {"SizeView", text::kSizeViewTitle, {520, 360}},
};

}  // namespace

CMainFrame::CMainFrame(Simulator& simulator, VekDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), mSimulator(simulator), mDialogs(dialogs) {
  setWindowTitle(QString::fromUtf8(text::kProgram));
  setWindowIcon(programIcon());
  mArea = new QMdiArea(this);
  setCentralWidget(mArea);
  mControlPanel = new ControlPanel(simulator, dialogs, this);
  buildMenus();
  resize(1280, 960);
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
  file->addAction(QStringLiteral("アプリケーションの終了(&X)"), this, &QWidget::close);

  QMenu* window = menuBar()->addMenu(QStringLiteral("ウィンドウ(&W)"));
  window->addAction(QStringLiteral("重ねて表示(&C)"), mArea, &QMdiArea::cascadeSubWindows);
  window->addAction(QStringLiteral("並べて表示(&T)"), mArea, &QMdiArea::tileSubWindows);
  window->addAction(QStringLiteral("アイコンの整列(&A)"), this, &CMainFrame::arrangeIcons);

  QMenu* views = menuBar()->addMenu(QStringLiteral("表示(&V)"));
  for (int kind = 0; kind < kViewKindCount; ++kind)
    mViewActions[kind] = views->addAction(QString::fromUtf8(kViews[kind].menuItem), this,
                                          [this, kind] { openView(static_cast<ViewKind>(kind)); });
  views->addSeparator();
  mSaveTovraView =
      views->addAction(QStringLiteral("SaveTovraView"), this, [this] { SaveTovraView(mSimulator, mDialogs); });

  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  help->addAction(QStringLiteral("バージョン情報(&A)..."), this, [this] { mDialogs.about(); });

  QMenu* control = menuBar()->addMenu(QStringLiteral("コントロール(&C)"));
  mControl = control->addAction(QStringLiteral("コントロール"), this, [this] { mControlPanel->openFromMenu(); });
}

QWidget* CMainFrame::makeView(ViewKind kind) {
  switch (kind) {
    case ViewKind::kSeed:
      return new kSeedView(mSimulator, mDialogs);
    case ViewKind::kGene:
      return new kGeneView(mSimulator, mDialogs, [this] { return openSeedView(); });
    case ViewKind::kDaughter:
      return new kDaughterView(mSimulator);
    case ViewKind::kMother:
      return new kMotherView(mSimulator, [this] { mControlPanel->openPanel(); });
    case ViewKind::kSize:
      return new kSizeView(mSimulator, mDialogs);
  }
  return nullptr;
}

QWidget* CMainFrame::openView(ViewKind kind) {
  const int index = static_cast<int>(kind);
  if (mFrames[index]) return mFrames[index]->widget();
  QMdiSubWindow* frame = mArea->addSubWindow(makeView(kind));
  frame->setAttribute(Qt::WA_DeleteOnClose);
  frame->setWindowTitle(QString::fromUtf8(kViews[index].title));
  frame->setWindowIcon(programIcon());
  frame->resize(kViews[index].size);
  mFrames[index] = frame;
  mViewActions[index]->setEnabled(false);
  connect(frame, &QObject::destroyed, this, [action = QPointer<QAction>(mViewActions[index])] {
    if (action) action->setEnabled(true);
  });
  frame->show();
  return frame->widget();
}

QWidget* CMainFrame::view(ViewKind kind) const {
  const QMdiSubWindow* frame = mFrames[static_cast<int>(kind)];
  return frame ? frame->widget() : nullptr;
}

kSeedView* CMainFrame::openSeedView() { return static_cast<kSeedView*>(openView(ViewKind::kSeed)); }

void CMainFrame::arrangeIcons() {
  int x = 0;
  for (QMdiSubWindow* frame : mArea->subWindowList()) {
    if (!frame->isMinimized()) continue;
    frame->move(x, mArea->viewport()->height() - frame->height());
    x += frame->width();
  }
}

}  // namespace app
