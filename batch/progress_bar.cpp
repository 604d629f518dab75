#include "batch/progress_bar.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "engine/place.h"
#include "engine/seed_list.h"

namespace vek::batch {

namespace {
constexpr int kBarWidth = 30;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
}  // namespace

ProgressBar::ProgressBar(int firstTurn, int lastTurn)
    : mFirstTurn(firstTurn), mLastTurn(lastTurn), mStarted(Clock::now()), mLastDrawn(mStarted) {}

void ProgressBar::afterTurn(mWorld& world) {
  const Clock::time_point now = Clock::now();
  const int turn = world.place().turn();
  if (turn < mLastTurn && mDrawn && now - mLastDrawn < kRedrawInterval) return;
  mLastDrawn = now;
  draw(turn, world.place().population().livingCount());
}

void ProgressBar::draw(int turn, int living) {
  const double total = std::max(1, mLastTurn - mFirstTurn);
  const double done = std::clamp((turn - mFirstTurn) / total, 0.0, 1.0);
  const int filled = static_cast<int>(done * kBarWidth);
  const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '.');
  const double seconds = std::chrono::duration<double>(Clock::now() - mStarted).count();
  const double rate = seconds > 0 ? (turn - mFirstTurn) / seconds : 0.0;
  std::fprintf(stderr, "\rturn %d/%d [%s] %3d%%  %.1f turns/s  %d living\033[K", turn, mLastTurn, bar.c_str(),
               static_cast<int>(done * 100), rate, living);
  std::fflush(stderr);
  mDrawn = true;
}

void ProgressBar::finish() {
  if (!mDrawn) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  mDrawn = false;
}

}  // namespace vek::batch
