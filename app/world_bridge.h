// WorldBridge: how the world's news reaches the windows. It is the world's observer: on the
// stepping thread, with the world's mutex held, it notes what happened (a step, the individual
// to show, the end of a turn) and asks the GUI thread for a delivery. On the GUI thread a
// delivery takes the world's mutex, reads what the windows show and hands it out as signals.
//
// A world may take a step in a fifth of a microsecond, so noting costs next to nothing: plain
// stores guarded by the world's mutex, which both sides hold. Texts are built only when a
// delivery shows them: the phase, the step caption and the counts of the status line from the
// world as it stands at the delivery, the individual's texts from its handle (if it still
// lives). The texts of a closed turn (daughter view, size view) are built on the stepping
// thread at the end of a turn, at most once every kTurnTextsInterval (tables of numbers that
// change five times a second can still be read); when the world parks with a turn closed
// since, the delivery builds them from the parked world.
//
// Deliveries come at most every kDeliveryInterval, so a fast world cannot flood the windows;
// what was noted is delivered in the order it happened.
//
// Lives on the GUI thread and must outlive the world it observes (or be removed from it).
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "app/world_texts.h"
#include "base/id.h"
#include "engine/world.h"
#include "records/frequency_tables.h"

namespace app {

// The five views, in the order of the View menu (main_window.cpp holds their table).
enum class ViewKind { kSeed, kGene, kDaughter, kMother, kSize };
inline constexpr int kViewKindCount = 5;

// The seed view's tracking options.
enum class SeedTracking { kComplete, kSpecific, kNone };

// What the world refreshes after a turn: texts for the views that were open.
struct TurnTexts {
  std::optional<DaughterTexts> daughter;
  std::optional<vek::FrequencyTables> sizes;
};

// Where the world stands, for the status line.
struct WorldCounts {
  int turn = 0;
  int living = 0;
  int genes = 0;
  bool running = false;  // the worker is inside its steps, not parked
};
// Call with the world's mutex held.
WorldCounts countsOf(const mWorld& world);

class WorldBridge : public QObject, public mWorldObserver {
  Q_OBJECT

 public:
  static constexpr int kDeliveryInterval = 50;  // milliseconds
  static constexpr int kTurnTextsInterval = 200;

  explicit WorldBridge(QObject* parent = nullptr);

  // GUI thread. The world whose mutex a delivery takes (not owned); nullptr before a world
  // exists and once it is gone. Whatever was noted of an earlier world is forgotten.
  void setWorld(mWorld* world);
  // GUI thread. Tells the windows that a world has just been loaded (`loaded`) or created.
  void announceOpened(bool loaded);
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
  void countsChanged(const app::WorldCounts& counts);
  void worldOpened(const app::WorldCounts& counts, bool loaded);
  // The world has gone (a failed opening, a switch to another, the end).
  void worldClosed();

 private:
  // Everything here is guarded by the observed world's mutex.
  struct Noted {
    bool stepped = false;
    std::optional<SeedHandle> seed;
    std::uint64_t seedOrder = 0;
    bool turnEnded = false;
    std::uint64_t turnOrder = 0;
    TurnTexts turn;  // built at the last turn that was due, if any since the last delivery
  };

  void requestDelivery();  // world locked
  TurnTexts buildTurnTexts(mWorld& world) const;  // world locked
  void scheduleDelivery();
  void deliver();

  mWorld* mObserved = nullptr;
  std::atomic<bool> mOpen[kViewKindCount];
  std::atomic<int> mTracking{static_cast<int>(SeedTracking::kNone)};
  // The "SeedID" box's identifier, for specific tracking; none when the text names none.
  std::optional<mID> mTrackedId;  // world locked

  Noted mNoted;  // world locked
  std::uint64_t mOrder = 0;  // world locked
  bool mRequested = false;  // world locked: a delivery has been asked for and not yet made
  // The texts of a closed turn are built again only from this time on.
  std::chrono::steady_clock::time_point mNextTurnTexts;  // world locked
  bool mTurnTextsBehind = false;  // world locked: a turn closed after the last texts were built

  QTimer mTimer;
  QElapsedTimer mSinceDelivery;
};

}  // namespace app
