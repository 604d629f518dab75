// WorldDocument: the world's save folder and the three whole-world file operations.
//
// A world lives in a save folder: `Vek.vek` (the marker the user picks to load it),
// `Vind.lives` (the world's phase), `Ostrel.lives` (the place: counters, gene pool,
// population, field), `parameter.pini`, the statistics logs, and, for a world made from the
// built-in genome, `gene.gini`.
//
// - create with the built-in genome: the first individual, the folder "original_log" under
//   the base directory, `Vek.vek`, `gene.gini`, the logs started empty;
// - create from an initial gene file (and optionally a parameter file read first): the folder
//   named by the file's first word, one individual per entry, `Vek.vek`, the logs started;
// - load: `parameter.pini`, `Vind.lives`, `Ostrel.lives`, in that order;
// - save: `Vind.lives`, `Ostrel.lives`, `parameter.pini`, each replaced atomically.
//
// A load either succeeds whole or leaves the world and its parameters as they were: the saved
// place is read into a new place, which replaces the world's only once it was read whole. After a failed load the document has no save folder, so
// the world is never saved over the good files of the folder that failed to load. Every
// failure is returned with a message naming the file and the fault.
//
// Threads: call from one controlling thread, never the world's worker. Every operation holds
// the world's mutex while it reads or changes the world; writes take the program's file lock
// after the world's mutex is released, so the caller must hold neither.
// Create, load and save are refused while the worker is busy.
#pragma once

#include <string>

#include "base/file_lock.h"
#include "base/file_outcome.h"

class mWorld;

namespace vek {

inline constexpr const char* kBuiltInFolderName = "original_log";
inline constexpr const char* kMarkerFileName = "Vek.vek";
inline constexpr const char* kMarkerFileText = "this is target file\r\n";

// The three files of a load, as read from a save folder.
struct SavedWorldTexts {
  std::string parameters;   // parameter.pini
  std::string worldLives;   // Vind.lives
  std::string placeLives;   // Ostrel.lives
};

// `path` with a trailing "/" (unchanged when it already has one; "" stays "").
std::string asFolder(const std::string& path);

// The save folder that a new world from the built-in genome gets under `baseDirectory`.
std::string builtInSaveFolder(const std::string& baseDirectory);
// The save folder that a new world from `geneFile` gets under `baseDirectory`: the base
// followed by the first word of the file's first useful line, or the base itself when that
// word is empty. Fails when the file cannot be read.
FileOutcome initialGeneFileSaveFolder(const std::string& baseDirectory, const std::string& geneFile,
                                      std::string& folder);
// True when `folder` already holds a saved world's lives files.
bool holdsSavedWorld(const std::string& folder);

class WorldDocument {
 public:
  // `world` and `fileLock` (the program's) are not owned and must outlive the document. The
  // world must be freshly made (no individual, no gene) for create and load.
  WorldDocument(mWorld& world, FileWriteLock& fileLock) : mWorldRef(world), mFileLock(fileLock) {}
  WorldDocument(const WorldDocument&) = delete;
  WorldDocument& operator=(const WorldDocument&) = delete;

  // `baseDirectory` is the folder under which the save folder is made ("/" appended if
  // missing); an existing save folder is reused and its marker, `gene.gini` and logs replaced.
  FileOutcome createWithBuiltInGenome(const std::string& baseDirectory);
  // `parameterFile` may be "" (the current parameters stay). An entry without codes creates
  // nobody, so the world may start empty.
  FileOutcome createFromInitialGeneFile(const std::string& baseDirectory, const std::string& geneFile,
                                        const std::string& parameterFile);
  // Loads the world saved in `folder`; on success it becomes the save folder and the world
  // appends to the logs already there.
  FileOutcome load(const std::string& folder);
  // The same from texts already read; `folder` names them in messages and becomes the save
  // folder on success.
  FileOutcome loadFromTexts(const std::string& folder, const SavedWorldTexts& texts);
  // Writes `Vind.lives`, `Ostrel.lives` and `parameter.pini` into the save folder, each to a
  // temporary file renamed over the old one, so a failed save leaves the previous files.
  // Refused without a save folder (nothing created or loaded, or the load failed) and while
  // the worker is busy.
  FileOutcome save();

  // The folder ending in "/", or "" while the document has none.
  const std::string& saveFolder() const { return mFolder; }

 private:
  FileOutcome refuseUnlessFresh() const;
  FileOutcome takeFolder(const std::string& folder);
  FileOutcome writeNewWorldFiles(bool withGeneTemplate);

  mWorld& mWorldRef;
  FileWriteLock& mFileLock;
  std::string mFolder;
};

}  // namespace vek
