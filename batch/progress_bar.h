// A one-line progress bar on standard error for a run of a given number of turns:
//   turn 1234/2000 [################..............]  61%  48.2 turns/s  153 living
// Redrawn in place at most ten times a second. Only for a terminal: the caller decides.
//
// An observer of the world: afterTurn runs on the stepping thread with the world's mutex held;
// `finish` on the controlling thread once the worker is parked.
#pragma once

#include <chrono>

#include "engine/world.h"

namespace vek::batch {

class ProgressBar : public mWorldObserver {
 public:
  ProgressBar(int firstTurn, int lastTurn);

  void afterTurn(mWorld& world) override;
  bool followsSteps() const override { return false; }
  // Clears the bar's line, so the summary starts on an empty line.
  void finish();

 private:
  using Clock = std::chrono::steady_clock;
  void draw(int turn, int living);

  int mFirstTurn;
  int mLastTurn;
  Clock::time_point mStarted;
  Clock::time_point mLastDrawn;
  bool mDrawn = false;
};

}  // namespace vek::batch
