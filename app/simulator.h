// Simulator: the application's hold on the one world. It owns the world, the document that
// creates, loads and saves it, the statistics logs of its save folder and the bridge that
// carries the world's news to the windows, and it knows the application and save folders.
//
// The world exists from construction until it is discarded (a quit, a failed load or
// creation, or the end of the exit sequence); world() is nullptr afterwards, until a fresh
// one is made for the next world the user opens. A world whose
// load or creation failed is discarded at once, so it can never be saved over a folder.
//
// GUI thread only. Other code that reads the world takes world()->mutex() for the read.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/world_bridge.h"
#include "base/file_lock.h"
#include "base/file_outcome.h"

class mWorld;

namespace vek {
class LineageLog;
class StatisticsLogs;
class WorldDocument;
}  // namespace vek

namespace app {

// fileWriteBusy: the program's one file lock, which serialises every file write of the
// windowed simulator (the worker's logs, saves, snapshots, tables, pictures). Any thread.
vek::FileWriteLock& fileWriteBusy();

class Simulator {
 public:
  Simulator();
  // Destroys a world still held without saving it: the exit sequence saves first.
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  mWorld* world() const { return mOwnedWorld.get(); }
  WorldBridge& bridge() { return mBridge; }

  // The working directory at start-up, ending in "/": where new save folders are made and
  // where the start-up dialogs begin.
  const std::string& applicationFolder() const { return mApplicationFolder; }
  void setApplicationFolder(const std::string& folder);
  // The world's save folder, ending in "/"; "" while there is none. Every save dialog starts
  // here and the exit sequence saves here.
  std::string saveFolder() const;

  // A new world under the application folder: from the built-in genome when `geneFile` is
  // empty, else from that initial gene file; `parameterFile`, when given, is read first. On
  // failure the world is discarded and the message returned.
  vek::FileOutcome createWorld(const std::string& geneFile, const std::string& parameterFile);
  // Loads the world saved in `folder`. On failure the world is discarded.
  vek::FileOutcome loadWorld(const std::string& folder);
  // Parks the worker (waiting until its step is done) and saves the world into its save
  // folder under the file lock. Refused without a world or save folder.
  vek::FileOutcome saveWorld();
  // Destroys the world without saving.
  void discardWorld();
  // What the last load, creation or save noticed that the user should know (one line each).
  std::vector<std::string> notices() const;
  // Destroys the world without saving and makes a fresh one, ready to be created or loaded
  // (File -> New and Open, once the old world is saved).
  void startAfresh();

 private:
  void makeWorld();
  vek::FileOutcome afterOpening(const vek::FileOutcome& outcome, bool loaded);

  std::string mApplicationFolder;
  // The bridge and the logs outlive the world that calls them.
  WorldBridge mBridge;
  std::unique_ptr<vek::StatisticsLogs> mLogs;
  std::unique_ptr<vek::LineageLog> mLineage;
  std::unique_ptr<mWorld> mOwnedWorld;
  std::unique_ptr<vek::WorldDocument> mDocument;
};

}  // namespace app
