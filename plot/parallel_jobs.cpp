#include "plot/parallel_jobs.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace vek::plot {

void runJobs(std::size_t count, int threads, const std::function<void(std::size_t)>& job) {
  const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t workers =
      std::min<std::size_t>(count, threads > 0 ? static_cast<std::size_t>(threads) : processors);
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i = next++; i < count; i = next++) job(i);
  };
  std::vector<std::thread> helpers;
  for (std::size_t t = 1; t < workers; ++t) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace vek::plot
