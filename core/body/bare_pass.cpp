#include "body/bare_pass.h"

#include <algorithm>

#include "base/thread_time.h"

#include "body/parts_list.h"

std::vector<mCoveredDisc> coveredDiscsOf(const std::vector<const mPartsList*>& bodies) {
  std::vector<mCoveredDisc> discs;
  auto cover = [&](const mSphere& part) {
    const mPoint3D& centre = *part.position();
    if (centre.z >= 0) discs.push_back({centre.x, centre.y, part.radius()});
  };
  for (const mPartsList* body : bodies) {
    if (!body) continue;
    for (const auto& flower : body->flowers()) cover(*flower);
    for (const auto& leaf : body->leaves()) cover(*leaf);
  }
  return discs;
}

std::vector<mCellRun> coveredRunsOf(const std::vector<mCoveredDisc>& discs, const mGridFrame& frame) {
  std::vector<mCellRun> runs;
  for (const mCoveredDisc& disc : discs) appendCoveredRuns(frame, disc.x, disc.y, disc.r, runs);
  return runs;
}

std::vector<mCellRun> coveredRunsOf(const std::vector<const mPartsList*>& bodies, const mGridFrame& frame) {
  return coveredRunsOf(coveredDiscsOf(bodies), frame);
}

long cellCount(const std::vector<mCellRun>& runs) {
  long cells = 0;
  for (const mCellRun& run : runs) cells += run.count;
  return cells;
}

double barePass(const std::vector<mCellRun>& runs, std::vector<double>& grid, double daylight, double downsize) {
  const double keep = 1.0 - downsize;
  // Every cell is given back what it lost, so each pass sees the same values.
  const double refill = downsize * daylight;
  double taken = 0;
  for (const mCellRun& run : runs) {
    double* cell = grid.data() + run.first;
    for (int j = 0; j < run.count; ++j) {
      taken += downsize * cell[j];
      cell[j] = cell[j] * keep + refill;
    }
  }
  return taken;
}

double barePassSeconds(const std::vector<mCellRun>& runs, int side, double daylight, double downsize, int repeats) {
  std::vector<double> grid(static_cast<size_t>(std::max(side, 0)) * static_cast<size_t>(std::max(side, 0)), daylight);
  volatile double sink = 0;
  auto pass = [&] { sink = sink + barePass(runs, grid, daylight, downsize); };
  pass();
  std::vector<double> seconds;
  for (int k = 0; k < std::max(repeats, 1); ++k) {
    const double start = threadSeconds();
    pass();
    seconds.push_back(threadSeconds() - start);
  }
  std::nth_element(seconds.begin(), seconds.begin() + static_cast<long>(seconds.size() / 2), seconds.end());
  return seconds[seconds.size() / 2];
}
