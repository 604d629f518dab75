#include "app/world_bridge.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "genome/gene_list.h"

namespace app {

namespace {

// The identifier whose text is exactly `text`, if there is one.
std::optional<mID> idOfText(const std::string& text) {
  mID id;
  int used = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%d%n", &id.size, &id.time, &id.mark, &used) != 3) return std::nullopt;
  if (static_cast<size_t>(used) != text.size() || id.text() != text) return std::nullopt;
  return id;
}

bool sameId(const mID& a, const mID& b) { return a.size == b.size && a.time == b.time && a.mark == b.mark; }

}  // namespace

WorldCounts countsOf(const mWorld& world) {
  const mPlace& place = world.place();
  return {place.turn(), place.population().livingCount(), place.genePool().geneCount(), world.isBusy()};
}

WorldBridge::WorldBridge(QObject* parent) : QObject(parent) {
  for (auto& open : mOpen) open = false;
  mTimer.setSingleShot(true);
  connect(&mTimer, &QTimer::timeout, this, &WorldBridge::deliver);
}

void WorldBridge::setWorld(mWorld* world) {
  const bool closing = mObserved && mObserved != world;
  mTimer.stop();
  mObserved = world;
  mNoted = Noted();
  mRequested = false;
  mTurnTextsBehind = false;
  mNextTurnTexts = {};
  if (closing) emit worldClosed();
}

void WorldBridge::announceOpened(bool loaded) {
  if (!mObserved) return;
  WorldCounts counts;
  {
    std::lock_guard<FairMutex> lock(mObserved->mutex());
    counts = countsOf(*mObserved);
  }
  emit worldOpened(counts, loaded);
}

void WorldBridge::setViewOpen(ViewKind kind, bool open) { mOpen[static_cast<int>(kind)] = open; }

bool WorldBridge::isViewOpen(ViewKind kind) const { return mOpen[static_cast<int>(kind)]; }

void WorldBridge::setTracking(SeedTracking tracking) { mTracking = static_cast<int>(tracking); }

void WorldBridge::setTrackedSeedId(const std::string& idText) {
  std::unique_lock<FairMutex> lock;
  if (mObserved) lock = std::unique_lock<FairMutex>(mObserved->mutex());
  mTrackedId = idOfText(idText);
}

void WorldBridge::showIndividual(const mSeed& individual) {
  if (!isViewOpen(ViewKind::kSeed)) return;
  const auto tracking = static_cast<SeedTracking>(mTracking.load(std::memory_order_relaxed));
  if (tracking == SeedTracking::kNone) return;
  if (tracking == SeedTracking::kSpecific && (!mTrackedId || !sameId(individual.id(), *mTrackedId))) return;
  mNoted.seed = handleOf(individual);
  mNoted.seedOrder = ++mOrder;
  requestDelivery();
}

void WorldBridge::afterTurn(mWorld& world) {
  mNoted.turnEnded = true;
  mNoted.turnOrder = ++mOrder;
  const auto now = std::chrono::steady_clock::now();
  if (now >= mNextTurnTexts) {
    mNoted.turn = buildTurnTexts(world);
    mTurnTextsBehind = false;
    mNextTurnTexts = now + std::chrono::milliseconds(kTurnTextsInterval);
  } else {
    mTurnTextsBehind = true;
  }
  requestDelivery();
}

TurnTexts WorldBridge::buildTurnTexts(mWorld& world) const {
  TurnTexts texts;
  if (isViewOpen(ViewKind::kDaughter)) texts.daughter = daughterTexts(world.place());
  if (isViewOpen(ViewKind::kSize)) texts.sizes = vek::buildFrequencyTables(world.place().genePool());
  return texts;
}

void WorldBridge::stepped(int, const mWorld&) {
  mNoted.stepped = true;
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
  mSinceDelivery.start();
  if (!mObserved) return;

  Noted noted;
  std::optional<SeedTexts> seed;
  int phase = 0;
  std::string caption;
  WorldCounts counts;
  bool again = false;
  {
    std::lock_guard<FairMutex> lock(mObserved->mutex());
    noted = std::move(mNoted);
    mNoted = Noted();
    mRequested = false;
    if (noted.stepped) {
      phase = mObserved->phase();
      caption = mObserved->caption();
      counts = countsOf(*mObserved);
    }
    if (noted.seed) {
      if (const mSeed* individual = findSeed(mObserved->place(), *noted.seed)) seed = seedTexts(*individual);
    }
    if (mTurnTextsBehind) {
      // The last turns closed without texts. A parked world shows its own; a running one is
      // asked again, so the world shows its last turn once it parks.
      if (!mObserved->isBusy()) {
        noted.turnEnded = true;
        noted.turnOrder = ++mOrder;
        noted.turn = buildTurnTexts(*mObserved);
        mTurnTextsBehind = false;
      } else {
        again = mRequested = true;
      }
    }
  }
  if (again) scheduleDelivery();

  std::vector<std::pair<std::uint64_t, std::function<void()>>> news;
  if (seed) news.emplace_back(noted.seedOrder, [&] { emit seedShown(*seed); });
  if (noted.turnEnded) news.emplace_back(noted.turnOrder, [&] { emit turnEnded(noted.turn); });
  std::sort(news.begin(), news.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& item : news) item.second();
  // Every step is noted last: the phase and counts are the world's as it stands now.
  if (noted.stepped) {
    emit phaseChanged(phase, QString::fromStdString(caption));
    emit countsChanged(counts);
  }
}

}  // namespace app
