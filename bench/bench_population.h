// Synthetic populations for the benchmarks.
//
// A population of n parts is n / 4 plants spread evenly over the default field, each with the
// same small body: two edges from the root, one to a leaf and one to a flower (four parts
// that the placement tests and the light see). Heights, radii and small offsets come from a
// fixed pseudo-random sequence, so the light's sort and shading have work to do and every run
// builds the same population. Plants stand far enough apart that their bodies never touch.
//
// Everything here runs on the benchmark's thread with no world worker started.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "base/point3d.h"
#include "body/bare_pass.h"
#include "body/covered_cells.h"
#include "body/world_settings.h"

class mPlace;
class mWorld;

namespace vek::bench {

// The benchmarks' label for a mode argument: "fast" (0) or "reference" (1).
const char* modeName(long mode);
// The settings of a mode argument: the fast algorithms (0) or the plain ones (1).
mWorldSettings settingsOf(long mode);

// Parameters under which a population neither shrinks nor grows by itself: no random
// deletion and a capacity the field never exceeds.
void holdPopulationSteady(Parameters& p);

// Adds parts / 4 plants, each carrying a pool gene of `genome` and `energy`, to the place's
// population. Aborts when a body cannot be laid out (the layout is fixed, so that is a bug).
void populate(mPlace& place, int parts, const std::vector<int>& genome, double energy);

// Points spread over the field `p` gives at leaf height, `count` of them, from a fixed sequence.
std::vector<mPoint3D> probePoints(const Parameters& p, int count);

// The world that grows from the built-in genome with the default seed, `turns` turns on (grown
// with the fast algorithms, which give the same world as the reference ones). It stands
// before its next turn's light.
std::unique_ptr<mWorld> evolvedWorld(int turns);

// Runs the world's steps up to and including the next AFTER_EXECUTE.
void runTurn(mWorld& world);

// The runs of cells the population's leaves and flowers cover (body/bare_pass.h).
std::vector<mCellRun> coveredRuns(const mPlace& place);
// The same in two steps (body/bare_pass.h): the discs as they stand now, and their runs.
std::vector<mCoveredDisc> coveredDiscs(const mPlace& place);
std::vector<mCellRun> coveredRuns(const mPlace& place, const std::vector<mCoveredDisc>& discs);
// The median time of one bare pass over `runs` on the place's grid, of `repeats`.
double barePassSeconds(const mPlace& place, const std::vector<mCellRun>& runs, int repeats);

}  // namespace vek::bench
