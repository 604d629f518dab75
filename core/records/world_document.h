// WorldDocument: the world's save folder and the three whole-world file operations.
//
// A world lives in a save folder: `Vek.vek` (the marker the user picks to load it),
// `Vind.lives` (the world's phase), `Ostrel.lives` (the place: counters, gene pool,
// population, field), `parameter.pini`, the statistics logs, for a world made from the
// built-in genome `gene.gini`, and, from this program on, `save.manifest`, `Ostrel.exact` and
// `vek.lock`.
//
// - create with the built-in genome: the first individual, the folder "original_log" under
//   the base directory, `Vek.vek`, `gene.gini`, the logs started empty;
// - create from an initial gene file (and optionally a parameter file read first): the folder
//   named by the file's first word (a plain name), one individual per entry, `Vek.vek`, the
//   logs started;
// - load: `parameter.pini`, `Vind.lives`, `Ostrel.lives` (with `Ostrel.exact` when it belongs
//   to them, records/exact_state.h), in that order;
// - save: `Vind.lives`, `Ostrel.lives`, `parameter.pini` and `Ostrel.exact` as one unit
//   (records/save_unit.h).
//
// The document claims its folder (base/folder_lock.h) when it creates or loads a world there
// and holds it until it is destroyed: a second program is refused that folder. Before a load
// the folder is brought to its last save (an interrupted save finished or undone, logs cut
// back to the saved turn). A load either succeeds whole or leaves the world and its parameters
// as they were: the saved place is read into a new place, which replaces the world's only
// once it was read whole. After a failed load the document has no save folder, so the world is
// never saved over the good files of the folder that failed to load. Every failure is
// returned with a message naming the file and the fault; what a person should know of a
// successful operation (a finished save, cut logs, edited files, missing parameters) is in
// notices().
//
// Threads: call from one controlling thread, never the world's worker. Every operation holds
// the world's mutex while it reads or changes the world; writes take the program's file lock
// after the world's mutex is released, so the caller must hold neither.
// Create, load and save are refused while the worker is busy.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/file_lock.h"
#include "base/file_outcome.h"
#include "base/folder_lock.h"

class mPlace;
class mWorld;

namespace vek {

inline constexpr const char* kBuiltInFolderName = "original_log";
inline constexpr const char* kMarkerFileName = "Vek.vek";
inline constexpr const char* kMarkerFileText = "this is target file\r\n";
inline constexpr const char* kParameterFileName = "parameter.pini";

// The files of a load, as read from a save folder.
struct SavedWorldTexts {
  std::string parameters;   // parameter.pini
  std::string worldLives;   // Vind.lives
  std::string placeLives;   // Ostrel.lives
  std::string exact;        // Ostrel.exact, "" when there is none
  std::optional<std::string> phylogeny;  // phylogeny.csv, when there is one
};

// `path` with a trailing "/" (unchanged when it already has one; "" stays "").
std::string asFolder(const std::string& path);

// The save folder that a new world from the built-in genome gets under `baseDirectory`.
std::string builtInSaveFolder(const std::string& baseDirectory);
// The save folder that a new world from `geneFile` gets under `baseDirectory`: the base
// followed by the first word of the file's first useful line, or the base itself when that
// word is empty. Fails when the file cannot be read, or when the word is no plain folder
// name (it holds "/" or "\", is "." or "..", or is longer than a name can be).
FileOutcome initialGeneFileSaveFolder(const std::string& baseDirectory, const std::string& geneFile,
                                      std::string& folder);
// True when `folder` already holds a saved world's lives files.
bool holdsSavedWorld(const std::string& folder);

// The files the world appends to as it runs (the statistics logs), which a save records and a
// load cuts back to it.
std::vector<std::string> appendedFileNames();

class WorldDocument {
 public:
  // `world` and `fileLock` (the program's) are not owned and must outlive the document. The
  // world must be freshly made (no individual, no gene) for create and load. `program` names
  // the program in the folder's lock ("vek-batch", "Vek").
  WorldDocument(mWorld& world, FileWriteLock& fileLock, std::string program = "vek");
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
  // The same from texts already read (no folder is claimed or recovered); `folder` names them
  // in messages and becomes the save folder on success.
  FileOutcome loadFromTexts(const std::string& folder, const SavedWorldTexts& texts);
  // Writes the save unit into the save folder. Refused without a save folder (nothing created
  // or loaded, or the load failed) and while the worker is busy. A failed save leaves the
  // previous save whole.
  FileOutcome save();
  // Gives a world that was made without a save folder (populated in memory) the folder
  // `folder` and saves it there: the folder is made (with its parents) and claimed, the marker
  // and, with `withGeneTemplate`, `gene.gini` are written, the logs are started empty (they
  // hold the turns that follow), then the save unit is written. Refused when the document has
  // a folder already, while the worker is busy, and when `folder` holds a saved world (a world
  // is never saved over another). A refused or failed call leaves the document without a
  // folder and without a claim.
  FileOutcome saveAs(const std::string& folder, bool withGeneTemplate);
  // Whether every file a run writes into the save folder can be written: the folder takes new
  // files, and no log or save file is a directory or refuses writing. For a check before a
  // long run, so it does not end in a failed save.
  FileOutcome checkWritable() const;

  // What a load does with a phylogeny that does not fit its world (damaged, cut, edited): with
  // reset, the lineage starts anew from the living genes (with a notice); without, the load
  // fails naming the file and line.
  void setLineageReset(bool on) { mLineageReset = on; }

  // The folder ending in "/", or "" while the document has none.
  const std::string& saveFolder() const { return mFolder; }
  // What the last create, load or save noticed that a person should know; one line each.
  const std::vector<std::string>& notices() const { return mNotices; }

 private:
  FileOutcome refuseUnlessFresh() const;
  FileOutcome takeFolder(const std::string& folder);
  FileOutcome writeNewWorldFiles(bool withGeneTemplate);
  FileOutcome loadLineage(mPlace& place, const std::string& folder, const std::optional<std::string>& phylogeny);

  mWorld& mWorldRef;
  FileWriteLock& mFileLock;
  std::string mProgram;
  FolderLock mFolderLock;
  std::string mFolder;
  std::vector<std::string> mNotices;
  bool mLineageReset = false;
};

}  // namespace vek
