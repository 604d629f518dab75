#include "app/status_line.h"

#include "app/texts.h"

namespace app {

namespace {

constexpr qint64 kWindow = 1000;  // milliseconds of turns the rate looks back on
constexpr qint64 kShortest = 250;

}  // namespace

QString countsStatus(const WorldCounts& counts, std::optional<double> turnsPerSecond) {
  if (!counts.running)
    return QString::fromUtf8(text::kStatusParked).arg(counts.turn).arg(counts.living).arg(counts.genes);
  if (!turnsPerSecond)
    return QString::fromUtf8(text::kStatusStarting).arg(counts.turn).arg(counts.living).arg(counts.genes);
  return QString::fromUtf8(text::kStatusRunning)
      .arg(counts.turn)
      .arg(counts.living)
      .arg(counts.genes)
      .arg(*turnsPerSecond, 0, 'f', 1);
}

QString openedStatus(const WorldCounts& counts, bool loaded, const QString& folder) {
  return QString::fromUtf8(loaded ? text::kStatusLoaded : text::kStatusCreated)
      .arg(counts.turn)
      .arg(counts.living)
      .arg(counts.genes)
      .arg(folder);
}

QString noWorldStatus() { return QString::fromUtf8(text::kStatusNoWorld); }

void TurnRate::add(int turn, qint64 milliseconds) {
  if (!mSeen.empty() && (turn < mSeen.back().second || milliseconds < mSeen.back().first)) mSeen.clear();
  mSeen.emplace_back(milliseconds, turn);
  // Keep the newest count that is at least a window old, as the start of the span.
  while (mSeen.size() > 2 && milliseconds - mSeen[1].first >= kWindow) mSeen.pop_front();
}

std::optional<double> TurnRate::perSecond() const {
  if (mSeen.size() < 2) return std::nullopt;
  const qint64 span = mSeen.back().first - mSeen.front().first;
  if (span < kShortest) return std::nullopt;
  return 1000.0 * (mSeen.back().second - mSeen.front().second) / static_cast<double>(span);
}

}  // namespace app
