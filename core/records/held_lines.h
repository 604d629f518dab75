// How much the writers of per-turn files (the statistics logs, the lineage files) keep back
// before writing it together: a write of each file every turn cost more than the turn's
// lines. They also write whatever they hold whenever the world stands still
// (mWorldObserver::flush), so a world that is saved or read has its files whole.
#pragma once

#include <chrono>
#include <cstddef>

namespace vek {

inline constexpr size_t kHeldBytes = 64 * 1024;
inline constexpr std::chrono::seconds kHeldTime{1};

}  // namespace vek
