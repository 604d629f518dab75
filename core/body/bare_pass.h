// The bare pass: the least a light computation has to do. Each cell that a leaf or flower
// covers is read, gives up a share of its light and is written back, once for every part over
// it, on a grid of doubles the size of the field's. A turn's light cannot cost less, so the
// time of one bare pass over a turn's covered cells is the yardstick of how close the whole
// turn comes to its limit on the machine at hand (vek-batch --profile, the benchmarks).
//
// Plain functions; any thread. The pass runs on a grid of its own, never the field's.
#pragma once

#include <vector>

#include "body/covered_cells.h"

class mPartsList;

// The runs of cells that the leaves and flowers of `bodies` cover (each body's flowers, then
// its leaves; null bodies and parts below the ground are skipped): the cells the light
// computation visits. Requires frame.allowsRuns().
std::vector<mCellRun> coveredRunsOf(const std::vector<const mPartsList*>& bodies, const mGridFrame& frame);
// The same in two steps: the discs those parts cover as they stand now, in that order (a small
// record, quick to take), and their runs, found when wanted.
struct mCoveredDisc {
  double x, y, r;
};
std::vector<mCoveredDisc> coveredDiscsOf(const std::vector<const mPartsList*>& bodies);
std::vector<mCellRun> coveredRunsOf(const std::vector<mCoveredDisc>& discs, const mGridFrame& frame);
long cellCount(const std::vector<mCellRun>& runs);

// One bare pass over `runs` on `grid` (side x side cells, all at `daylight` before and after
// it): the light the cells gave up.
double barePass(const std::vector<mCellRun>& runs, std::vector<double>& grid, double daylight, double downsize);

// The median processor time in seconds (base/thread_time.h) of one bare pass over `runs` on a grid of side x side
// cells that starts at `daylight` everywhere, of `repeats` passes timed one by one after one
// pass that brings the cells into the caches.
double barePassSeconds(const std::vector<mCellRun>& runs, int side, double daylight, double downsize, int repeats);
