// A few independent jobs (one log each, or one log of every replicate of a sweep's setting)
// run on several threads at once, so a figure of many files reads them on every core.
#pragma once

#include <cstddef>
#include <functional>

namespace vek::plot {

// Runs job(0) to job(count - 1), each once, on up to `threads` threads (0: one per processor),
// the calling thread among them; returns when all are done. The jobs must not share anything
// they change.
void runJobs(std::size_t count, int threads, const std::function<void(std::size_t)>& job);

}  // namespace vek::plot
