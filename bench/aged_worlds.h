// Worlds of a long run, for the benchmarks that follow the simulator as a world ages: the
// world that grows from the built-in genome with the default seed, at a given turn.
//
// Growing one to 30,000 turns takes minutes, so each age is grown once and kept as a save
// folder under `cacheFolder` (the build folder's bench-worlds/ by default): age-<turns>/ holds
// the save folder original_log/. A missing age is grown from the oldest kept age below it (or
// from a new world), saved, and later calls load it; a save resumes exactly where it stopped,
// so every age is the very world of one uninterrupted run. Nothing of this is checked in.
//
// Called from a benchmark's main thread; the worlds returned have no worker started.
#pragma once

#include <memory>
#include <string>

class mWorld;

namespace vek::bench {

// The build folder's cache of aged worlds.
std::string defaultAgedWorldFolder();

// The world of the default run at turn `turns` (standing before that turn's light), grown
// and kept in `cacheFolder` if it is not kept there yet; progress goes to stderr. Exits the
// program with a message when a kept world cannot be read or a new one cannot be saved.
std::unique_ptr<mWorld> agedWorld(int turns, const std::string& cacheFolder = defaultAgedWorldFolder());

}  // namespace vek::bench
