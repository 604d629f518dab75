#include "bench/aged_worlds.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/file_lock.h"
#include "bench/bench_population.h"
#include "engine/place.h"
#include "engine/world.h"
#include "records/world_document.h"

namespace vek::bench {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void giveUp(const std::string& message) {
  std::fprintf(stderr, "bench: %s\n", message.c_str());
  std::exit(1);
}

std::string ageFolder(const std::string& cacheFolder, int turns) {
  return asFolder(cacheFolder) + "age-" + std::to_string(turns) + "/";
}

// The oldest kept age below `turns`, or 0 when none is kept.
int oldestKeptAgeBelow(const std::string& cacheFolder, int turns) {
  int best = 0;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(cacheFolder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("age-", 0) != 0) continue;
    const int age = std::atoi(name.c_str() + 4);
    if (age > best && age < turns && holdsSavedWorld(asFolder(entry.path().string()) + kBuiltInFolderName + "/"))
      best = age;
  }
  return best;
}

std::unique_ptr<mWorld> loadKept(const std::string& folder) {
  auto world = std::make_unique<mWorld>();
  FileWriteLock fileLock;
  WorldDocument document(*world, fileLock, "vek_bench");
  if (FileOutcome loaded = document.load(folder); !loaded.ok()) giveUp(loaded.error);
  return world;
}

}  // namespace

std::string defaultAgedWorldFolder() { return VEK_BENCH_WORLDS; }

std::unique_ptr<mWorld> agedWorld(int turns, const std::string& cacheFolder) {
  const std::string kept = ageFolder(cacheFolder, turns) + kBuiltInFolderName + "/";
  if (holdsSavedWorld(kept)) return loadKept(kept);

  // Grown in a folder of its own and given its name once saved, so an interrupted growth
  // leaves no half world under an age's name.
  const int from = oldestKeptAgeBelow(cacheFolder, turns);
  const std::string growing = asFolder(cacheFolder) + "growing-" + std::to_string(turns) + "/";
  std::error_code error;
  fs::remove_all(growing, error);
  fs::create_directories(growing, error);
  if (error) giveUp("cannot make the folder " + growing + ": " + error.message());

  auto world = std::make_unique<mWorld>();
  {
    FileWriteLock fileLock;
    WorldDocument document(*world, fileLock, "vek_bench");
    FileOutcome opened;
    if (from > 0) {
      fs::copy(ageFolder(cacheFolder, from) + kBuiltInFolderName, growing + kBuiltInFolderName,
               fs::copy_options::recursive, error);
      if (error) giveUp("cannot copy the world of turn " + std::to_string(from) + ": " + error.message());
      opened = document.load(growing + kBuiltInFolderName + "/");
    } else {
      opened = document.createWithBuiltInGenome(growing);
    }
    if (!opened.ok()) giveUp(opened.error);
    std::fprintf(stderr, "bench: growing the built-in world from turn %d to %d, once; it is kept in %s\n", from,
                 turns, cacheFolder.c_str());
    while (world->place().turn() < turns) {
      runTurn(*world);
      if (world->place().turn() % 1000 == 0) std::fprintf(stderr, "bench:   turn %d\n", world->place().turn());
    }
    if (FileOutcome saved = document.save(); !saved.ok()) giveUp(saved.error);
  }
  fs::remove_all(ageFolder(cacheFolder, turns), error);
  fs::rename(growing, ageFolder(cacheFolder, turns), error);
  if (error) giveUp("cannot name the world of turn " + std::to_string(turns) + ": " + error.message());
  return world;
}

}  // namespace vek::bench
