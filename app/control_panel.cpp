#include "app/control_panel.h"

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
  mSuspend->setEnabled(false);

  connect(mStart, &QPushButton::clicked, this, &ControlPanel::start);
  connect(mSuspend, &QPushButton::clicked, this, &ControlPanel::suspend);
  connect(mStep, &QPushButton::clicked, this, &ControlPanel::stepOnce);
  connect(mClose, &QPushButton::clicked, this, &QDialog::accept);
  connect(&mSimulator.bridge(), &WorldBridge::phaseChanged, this,
          [this](int, const QString& caption) { mStep->setText(caption); });
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

void ControlPanel::setRunning(bool running) {
  mStart->setEnabled(!running);
  mClose->setEnabled(!running);
  mStep->setEnabled(!running);
  mSuspend->setEnabled(running);
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
  mStart->setEnabled(false);
  mClose->setEnabled(false);
  mStep->setEnabled(false);
  world->step();
  mStart->setEnabled(true);
  mClose->setEnabled(true);
  mStep->setEnabled(true);
}

void ControlPanel::reject() {
  if (mClose->isEnabled()) QDialog::reject();
}

}  // namespace app
