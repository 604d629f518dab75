// WorldBridge: how the world's news reaches the windows. It is the world's observer: on the
// stepping thread, with the world's mutex held, it notes the phase and caption, the individual
// to show and the texts of the turn just closed (only for the views that are open), and asks
// the GUI thread for a delivery. On the GUI thread it delivers what it holds as signals.
//
// Refreshes are coalesced: only the latest of each kind is kept, and deliveries come at most
// every kDeliveryInterval, so a fast world cannot flood the windows. What was noted is
// delivered in the order it happened.
//
// The individual to show is noted as a handle; the delivery builds its texts under the world's
// mutex, if it still lives (building them at every step would slow the world).
//
// Lives on the GUI thread and must outlive the world it observes (or be removed from it).
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "app/world_texts.h"
#include "engine/world.h"
#include "records/frequency_tables.h"

namespace app {

// The five views, in the order of the View menu.
enum class ViewKind { kSeed, kGene, kDaughter, kMother, kSize };
inline constexpr int kViewKindCount = 5;

// The seed view's tracking options.
enum class SeedTracking { kComplete, kSpecific, kNone };

// What the world refreshes after a turn: texts for the views that were open.
struct TurnTexts {
  std::optional<DaughterTexts> daughter;
  std::optional<vek::FrequencyTables> sizes;
};

class WorldBridge : public QObject, public mWorldObserver {
  Q_OBJECT

 public:
  static constexpr int kDeliveryInterval = 50;  // milliseconds

  explicit WorldBridge(QObject* parent = nullptr);

  // GUI thread. The world whose mutex a delivery takes (not owned); nullptr before a world
  // exists and once it is gone.
  void setWorld(mWorld* world);
  // GUI thread. Views register themselves while they exist.
  void setViewOpen(ViewKind kind, bool open);
  bool isViewOpen(ViewKind kind) const;
  // GUI thread. The seed view's tracking option and the text of its "SeedID" box.
  void setTracking(SeedTracking tracking);
  void setTrackedSeedId(const std::string& idText);

  // GUI thread. Delivers at once what has been noted so far (after a pause, for example, so
  // the windows show the parked world without waiting for the next delivery).
  void deliverPending();

  // Stepping thread, world locked.
  void showIndividual(const mSeed& individual) override;
  void afterTurn(mWorld& world) override;
  void stepped(int nextPhase, const mWorld& world) override;

 signals:
  void phaseChanged(int phase, const QString& caption);
  void seedShown(const app::SeedTexts& texts);
  void turnEnded(const app::TurnTexts& texts);

 private:
  struct Pending {
    std::optional<int> phase;
    std::string caption;
    std::uint64_t phaseOrder = 0;
    std::optional<SeedHandle> seed;
    std::uint64_t seedOrder = 0;
    std::optional<TurnTexts> turn;
    std::uint64_t turnOrder = 0;
  };

  void requestDelivery();  // caller holds mPendingMutex
  void scheduleDelivery();
  void deliver();

  mWorld* mObserved = nullptr;
  std::atomic<bool> mOpen[kViewKindCount];
  std::atomic<int> mTracking{static_cast<int>(SeedTracking::kNone)};
  std::mutex mTrackedMutex;
  std::string mTrackedId;

  std::mutex mPendingMutex;
  Pending mPending;
  std::uint64_t mOrder = 0;
  bool mRequested = false;

  QTimer mTimer;
  QElapsedTimer mSinceDelivery;
};

}  // namespace app
