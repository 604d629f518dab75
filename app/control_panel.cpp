#include "app/control_panel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPushButton>
#include <mutex>

#include "app/dialogs.h"
#include "app/simulator.h"
#include "app/strings.h"
#include "app/texts.h"
#include "engine/world.h"

namespace app {

namespace {

QAction* command(const char* caption, const QKeySequence& key, QPushButton* button, QWidget* parent) {
  auto* action = new QAction(QString::fromUtf8(caption), parent);
  action->setShortcut(key);
  button->setToolTip(key.toString(QKeySequence::NativeText));
  parent->addAction(action);
  return action;
}

QPushButton* plainButton(const char* caption, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(QString::fromUtf8(caption));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

ControlPanel::ControlPanel(Simulator& simulator, VekDialogs& dialogs, QWidget* parent)
    : QDialog(parent), mSimulator(simulator), mDialogs(dialogs) {
  setWindowTitle(QString::fromUtf8(text::kControlTitle));
  mStart = plainButton(text::kStart, this);
  mSuspend = plainButton(text::kSuspend, this);
  mStep = plainButton(text::kStepInitial, this);
  mStep->setObjectName(QStringLiteral("step"));
  mStep->setMinimumWidth(200);
  mClose = plainButton(text::kClose, this);
  auto* layout = new QHBoxLayout(this);
  for (QPushButton* button : {mStart, mSuspend, mStep, mClose}) layout->addWidget(button);
  mStartAction = command("START(&S)", QKeySequence(Qt::Key_F5), mStart, this);
  mSuspendAction = command("SUSPEND(&U)", QKeySequence(Qt::Key_F8), mSuspend, this);
  mStepAction = command("ステップ実行(&E)", QKeySequence(Qt::Key_F10), mStep, this);
  setRunning(false);

  connect(mStartAction, &QAction::triggered, this, [this] { withWorld(&ControlPanel::start); });
  connect(mSuspendAction, &QAction::triggered, this, [this] { withWorld(&ControlPanel::suspend); });
  connect(mStepAction, &QAction::triggered, this, [this] { withWorld(&ControlPanel::stepOnce); });
  connect(mStart, &QPushButton::clicked, this, &ControlPanel::start);
  connect(mSuspend, &QPushButton::clicked, this, &ControlPanel::suspend);
  connect(mStep, &QPushButton::clicked, this, &ControlPanel::stepOnce);
  connect(mClose, &QPushButton::clicked, this, &QDialog::accept);
  connect(&mSimulator.bridge(), &WorldBridge::phaseChanged, this,
          [this](int, const QString& caption) { mStep->setText(caption); });
  // Another world starts parked.
  connect(&mSimulator.bridge(), &WorldBridge::worldOpened, this, [this] { setRunning(false); });
  connect(&mSimulator.bridge(), &WorldBridge::worldClosed, this, [this] { setRunning(false); });
}

void ControlPanel::withWorld(void (ControlPanel::*command)()) {
  if (!mSimulator.world()) {
    mDialogs.inform(QString::fromUtf8(text::kLoadFirst));
    return;
  }
  (this->*command)();
}

void ControlPanel::openFromMenu() {
  if (!mSimulator.world()) {
    mDialogs.inform(QString::fromUtf8(text::kLoadFirst));
    return;
  }
  openPanel();
}

void ControlPanel::openPanel() {
  mWorld* world = mSimulator.world();
  if (!world) {
    mDialogs.inform(QString::fromUtf8(text::kNothingLoaded));
    return;
  }
  std::string caption;
  {
    std::lock_guard<FairMutex> lock(world->mutex());
    caption = world->caption();
  }
  mStep->setText(qText(caption));
  mDialogs.runModal(*this);
}

void ControlPanel::setRunning(bool running) { setButtons(!running, running, !running, !running); }

void ControlPanel::setButtons(bool start, bool suspend, bool step, bool close) {
  mStart->setEnabled(start);
  mSuspend->setEnabled(suspend);
  mStep->setEnabled(step);
  mClose->setEnabled(close);
  mStartAction->setEnabled(start);
  mSuspendAction->setEnabled(suspend);
  mStepAction->setEnabled(step);
}

void ControlPanel::start() {
  mWorld* world = mSimulator.world();
  if (!world || !mStart->isEnabled()) return;
  if (!world->isStarted()) world->start();
  world->resume();
  setRunning(true);
}

void ControlPanel::suspend() {
  mWorld* world = mSimulator.world();
  if (!world || !mSuspend->isEnabled()) return;
  world->pause();
  mSimulator.bridge().deliverPending();
  setRunning(false);
}

void ControlPanel::stepOnce() {
  mWorld* world = mSimulator.world();
  if (!world || !mStep->isEnabled()) return;
  setButtons(false, false, false, false);
  world->step();
  setRunning(false);
}

void ControlPanel::reject() {
  if (mClose->isEnabled()) QDialog::reject();
}

}  // namespace app
