#include "app/world_bridge.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "engine/place.h"
#include "engine/seed.h"

namespace app {

WorldBridge::WorldBridge(QObject* parent) : QObject(parent) {
  for (auto& open : mOpen) open = false;
  mTimer.setSingleShot(true);
  connect(&mTimer, &QTimer::timeout, this, &WorldBridge::deliver);
}

void WorldBridge::setWorld(mWorld* world) { mObserved = world; }

void WorldBridge::setViewOpen(ViewKind kind, bool open) { mOpen[static_cast<int>(kind)] = open; }

bool WorldBridge::isViewOpen(ViewKind kind) const { return mOpen[static_cast<int>(kind)]; }

void WorldBridge::setTracking(SeedTracking tracking) { mTracking = static_cast<int>(tracking); }

void WorldBridge::setTrackedSeedId(const std::string& idText) {
  std::lock_guard<std::mutex> lock(mTrackedMutex);
  mTrackedId = idText;
}

void WorldBridge::showIndividual(const mSeed& individual) {
  if (!isViewOpen(ViewKind::kSeed)) return;
  const auto tracking = static_cast<SeedTracking>(mTracking.load());
  if (tracking == SeedTracking::kNone) return;
  if (tracking == SeedTracking::kSpecific) {
    std::lock_guard<std::mutex> lock(mTrackedMutex);
    if (individual.id().text() != mTrackedId) return;
  }
  std::lock_guard<std::mutex> lock(mPendingMutex);
  mPending.seed = handleOf(individual);
  mPending.seedOrder = ++mOrder;
  requestDelivery();
}

void WorldBridge::afterTurn(mWorld& world) {
  TurnTexts texts;
  if (isViewOpen(ViewKind::kDaughter)) texts.daughter = daughterTexts(world.place());
  if (isViewOpen(ViewKind::kSize)) texts.sizes = vek::buildFrequencyTables(world.place().genePool());
  std::lock_guard<std::mutex> lock(mPendingMutex);
  mPending.turn = std::move(texts);
  mPending.turnOrder = ++mOrder;
  requestDelivery();
}

void WorldBridge::stepped(int nextPhase, const mWorld& world) {
  std::string caption = world.caption();
  std::lock_guard<std::mutex> lock(mPendingMutex);
  mPending.phase = nextPhase;
  mPending.caption = std::move(caption);
  mPending.phaseOrder = ++mOrder;
  requestDelivery();
}

void WorldBridge::requestDelivery() {
  if (mRequested) return;
  mRequested = true;
  QMetaObject::invokeMethod(this, &WorldBridge::scheduleDelivery, Qt::QueuedConnection);
}

void WorldBridge::scheduleDelivery() {
  if (mTimer.isActive()) return;
  const qint64 since = mSinceDelivery.isValid() ? mSinceDelivery.elapsed() : kDeliveryInterval;
  mTimer.start(static_cast<int>(std::max<qint64>(0, kDeliveryInterval - since)));
}

void WorldBridge::deliverPending() {
  mTimer.stop();
  deliver();
}

void WorldBridge::deliver() {
  Pending pending;
  {
    std::lock_guard<std::mutex> lock(mPendingMutex);
    pending = std::move(mPending);
    mPending = Pending();
    mRequested = false;
  }
  mSinceDelivery.start();

  std::optional<SeedTexts> seed;
  if (pending.seed && mObserved) {
    std::lock_guard<FairMutex> lock(mObserved->mutex());
    if (const mSeed* individual = findSeed(mObserved->place(), *pending.seed)) seed = seedTexts(*individual);
  }

  std::vector<std::pair<std::uint64_t, std::function<void()>>> news;
  if (pending.phase)
    news.emplace_back(pending.phaseOrder, [&] {
      emit phaseChanged(*pending.phase, QString::fromStdString(pending.caption));
    });
  if (seed) news.emplace_back(pending.seedOrder, [&] { emit seedShown(*seed); });
  if (pending.turn) news.emplace_back(pending.turnOrder, [&] { emit turnEnded(*pending.turn); });
  std::sort(news.begin(), news.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& item : news) item.second();
}

}  // namespace app
