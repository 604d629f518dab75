// Writer of the snapshot file (*.view), the one file the viewer reads: the plants of one
// moment, either every individual of the world or one chosen individual.
//
// Four header lines ("/*-----Tovra View-------*/", "/ turn = <turn>", "/ time = <time>", and
// the field line of seven numbers computed from the parameters: lower x, lower y, upper x,
// upper y, centre x, centre y, cell width, at 6 significant digits), then for each individual
// its "S" line followed by the "E" lines of its edges, the "L" lines of its leaves and the "F"
// lines of its flowers. Nodes are never written. Lines end in CR LF.
//
// The text functions read the world: call them with the world's mutex held. The file function
// takes the program's file lock; build the text first and release the world's mutex, so the
// lock order (world, then file lock) that the worker's log writing follows is never reversed.
#pragma once

#include <ostream>
#include <string>

#include "base/file_lock.h"
#include "base/file_outcome.h"

class mPlace;
class mSeed;
struct Parameters;

namespace vek {

inline constexpr const char* kSnapshotHeader = "/*-----Tovra View-------*/";
inline constexpr const char* kSnapshotDefaultName = "tovraview.view";

// The field line of the field `p` gives, without its line end: "-40 -40 40 40 0 0 0.08" with
// the default parameters.
std::string snapshotFieldLine(const Parameters& p);

// The whole world: the header lines, then every living individual in population order.
void writeSnapshot(const mPlace& place, std::ostream& out);
std::string snapshotText(const mPlace& place);

// One individual: the header lines of `place`, then that individual's lines.
void writeSeedSnapshot(const mPlace& place, const mSeed& seed, std::ostream& out);
std::string seedSnapshotText(const mPlace& place, const mSeed& seed);

// The file name the target dialog offers for `seed`: "SeedID<id>.view" for an individual of
// a population, else "GeneID<its genome's id>.view".
std::string seedSnapshotFileName(const mSeed& seed);

// Replaces `path` with `text` atomically, under `fileLock`.
FileOutcome writeSnapshotFile(const std::string& path, const std::string& text, FileWriteLock& fileLock);

}  // namespace vek
