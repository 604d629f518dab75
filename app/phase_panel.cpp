#include "app/phase_panel.h"

#include <QPushButton>
#include <QVBoxLayout>
#include <mutex>

#include "app/simulator.h"
#include "engine/world.h"

namespace app {

kMotherView::kMotherView(Simulator& simulator, std::function<void()> openControlPanel, QWidget* parent)
    : QWidget(parent), mSimulator(simulator) {
  auto* layout = new QVBoxLayout(this);
  for (int phase = 0; phase < kPhaseCount; ++phase) {
    mLamps[phase] = new QPushButton(QString::fromUtf8(kPhaseNames[phase]), this);
    mLamps[phase]->setObjectName(QString::fromUtf8(kPhaseNames[phase]));
    mLamps[phase]->setEnabled(false);
    mLamps[phase]->setMinimumHeight(32);
    layout->addWidget(mLamps[phase]);
    connect(mLamps[phase], &QPushButton::clicked, this, [openControlPanel] {
      if (openControlPanel) openControlPanel();
    });
  }
  layout->addStretch();

  mSimulator.bridge().setViewOpen(ViewKind::kMother, true);
  connect(&mSimulator.bridge(), &WorldBridge::phaseChanged, this, [this](int phase, const QString&) { light(phase); });
  connect(&mSimulator.bridge(), &WorldBridge::worldOpened, this, &kMotherView::lightWorldPhase);
  lightWorldPhase();
}

void kMotherView::lightWorldPhase() {
  mWorld* world = mSimulator.world();
  if (!world) return;
  int phase = 0;
  {
    std::lock_guard<FairMutex> lock(world->mutex());
    phase = world->phase();
  }
  light(phase);
}

kMotherView::~kMotherView() { mSimulator.bridge().setViewOpen(ViewKind::kMother, false); }

void kMotherView::light(int phase) {
  for (int p = 0; p < kPhaseCount; ++p) mLamps[p]->setEnabled(p == phase);
}

int kMotherView::litPhase() const {
  for (int p = 0; p < kPhaseCount; ++p)
    if (mLamps[p]->isEnabled()) return p;
  return -1;
}

QPushButton* kMotherView::lamp(int phase) const { return mLamps[phase]; }

}  // namespace app
