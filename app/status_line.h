// The main window's status line: where the world stands while it runs (turn, living
// individuals, genes, turns per second), once it is parked, and what was just loaded or
// created. Texts from plain counts; the rate from the turns seen at successive deliveries.
//
// Plain values; GUI thread (QString).
#pragma once

#include <QString>
#include <QtGlobal>
#include <deque>
#include <optional>
#include <utility>

#include "app/world_bridge.h"

namespace app {

// Running (with the rate when there is one yet) or parked.
QString countsStatus(const WorldCounts& counts, std::optional<double> turnsPerSecond);
// Just loaded (`loaded`) or created, in `folder`.
QString openedStatus(const WorldCounts& counts, bool loaded, const QString& folder);
QString noWorldStatus();

// Turns per second over about the last second.
class TurnRate {
 public:
  // The world stood at `turn` at `milliseconds` (of one steady clock).
  void add(int turn, qint64 milliseconds);
  // Forget what was seen (the world parked or another one came).
  void reset() { mSeen.clear(); }
  // Nothing until counts a quarter of a second apart have been seen.
  std::optional<double> perSecond() const;

 private:
  std::deque<std::pair<qint64, int>> mSeen;
};

}  // namespace app
