#include "records/world_document.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <exception>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "base/text_io.h"
#include "body/parameters.h"
#include "engine/place.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/gene_list.h"
#include "records/exact_state.h"
#include "records/initial_gene_file.h"
#include "records/lineage_files.h"
#include "records/lives_file.h"
#include "records/save_unit.h"
#include "records/statistics_logs.h"

namespace vek {

namespace {

bool readWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) return false;
  bytes = buffer.str();
  return true;
}

FileOutcome readFileOf(const std::string& path, std::string& bytes) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return {"cannot read " + path + ": it is a folder, not a file"};
  errno = 0;
  if (!readWholeFile(path, bytes)) return {describeFileError("cannot read", path)};
  return {};
}

FileOutcome makeFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (std::filesystem::is_directory(folder, error)) return {};
  return {"cannot make the save folder " + folder + (error ? ": " + error.message() : std::string())};
}

FileOutcome writeReplacing(const std::string& path, const std::string& bytes) {
  errno = 0;
  if (!writeFileAtomically(path, bytes)) return {describeFileError("cannot write", path)};
  return {};
}

// A folder word names one folder under the base: nothing that climbs out or into another.
FileOutcome checkFolderWord(const std::string& word, const std::string& geneFile) {
  if (word.empty()) return {};
  if (word == "." || word == ".." || word.find('/') != std::string::npos || word.find('\\') != std::string::npos)
    return {geneFile + ": the folder word \"" + word + "\" of its first line is no plain folder name"};
  if (word.size() > NAME_MAX)
    return {geneFile + ": the folder word of its first line is " + std::to_string(word.size()) +
            " characters long; a folder name holds at most " + std::to_string(NAME_MAX)};
  return {};
}

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

}  // namespace

std::string asFolder(const std::string& path) {
  if (path.empty() || path.back() == '/') return path;
  return path + "/";
}

std::string builtInSaveFolder(const std::string& baseDirectory) {
  return asFolder(asFolder(baseDirectory) + kBuiltInFolderName);
}

FileOutcome initialGeneFileSaveFolder(const std::string& baseDirectory, const std::string& geneFile,
                                      std::string& folder) {
  std::string bytes;
  if (FileOutcome read = readFileOf(geneFile, bytes); !read.ok()) return read;
  std::istringstream in(bytes);
  const std::string word = folderWordOf(nextUsefulLine(in));
  if (FileOutcome plain = checkFolderWord(word, geneFile); !plain.ok()) return plain;
  folder = asFolder(asFolder(baseDirectory) + word);
  return {};
}

bool holdsSavedWorld(const std::string& folder) {
  std::error_code error;
  return std::filesystem::exists(asFolder(folder) + kWorldLivesName, error) ||
         std::filesystem::exists(asFolder(folder) + "Ostrel.lives", error);
}

std::vector<std::string> appendedFileNames() {
  std::vector<std::string> names(kTurnLogNames, kTurnLogNames + kTurnLogCount);
  names.push_back(kLogTurnName);
  names.push_back(kLineageCountsName);
  return names;
}

WorldDocument::WorldDocument(mWorld& world, FileWriteLock& fileLock, std::string program)
    : mWorldRef(world), mFileLock(fileLock), mProgram(std::move(program)) {}

FileOutcome WorldDocument::refuseUnlessFresh() const {
  if (mWorldRef.isBusy()) return {"the world is running; pause it first"};
  std::lock_guard<FairMutex> lock(mWorldRef.mutex());
  const mPlace& place = mWorldRef.place();
  if (place.population().livingCount() > 0 || !place.population().newborn().empty() ||
      place.genePool().geneCount() > 0)
    return {"the world already holds individuals; a world is created or loaded only once"};
  return {};
}

FileOutcome WorldDocument::takeFolder(const std::string& folder) {
  if (FileOutcome made = makeFolder(folder); !made.ok()) return made;
  if (FileOutcome claimed = mFolderLock.claim(asFolder(folder), mProgram); !claimed.ok()) return claimed;
  mFolder = asFolder(folder);
  return {};
}

FileOutcome WorldDocument::writeNewWorldFiles(bool withGeneTemplate) {
  FileWriteGuard lock(mFileLock);
  // A folder that held a world before keeps nothing of its saves: the new world starts its own.
  std::error_code error;
  std::filesystem::remove(mFolder + kManifestName, error);
  std::filesystem::remove(mFolder + "Ostrel" + kExactSuffix, error);
  if (FileOutcome marker = writeReplacing(mFolder + kMarkerFileName, kMarkerFileText); !marker.ok()) return marker;
  if (withGeneTemplate) {
    errno = 0;
    if (!writeInitialGeneFile(mFolder)) return {describeFileError("cannot write", mFolder + "gene.gini")};
  }
  bool lineage = false;
  {
    std::lock_guard<FairMutex> world(mWorldRef.mutex());
    lineage = mWorldRef.place().lineage().enabled();
  }
  if (lineage) {
    if (FileOutcome started = startLineageFiles(mFolder); !started.ok()) return started;
  }
  return startLogs(mFolder);
}

FileOutcome WorldDocument::createWithBuiltInGenome(const std::string& baseDirectory) {
  mNotices.clear();
  if (FileOutcome fresh = refuseUnlessFresh(); !fresh.ok()) return fresh;
  if (FileOutcome folder = takeFolder(builtInSaveFolder(baseDirectory)); !folder.ok()) return folder;
  {
    std::lock_guard<FairMutex> lock(mWorldRef.mutex());
    mWorldRef.place().populateWithBuiltInGenome();
  }
  return writeNewWorldFiles(true);
}

FileOutcome WorldDocument::createFromInitialGeneFile(const std::string& baseDirectory, const std::string& geneFile,
                                                     const std::string& parameterFile) {
  mNotices.clear();
  if (FileOutcome fresh = refuseUnlessFresh(); !fresh.ok()) return fresh;
  std::string geneBytes;
  if (FileOutcome read = readFileOf(geneFile, geneBytes); !read.ok()) return read;
  std::string parameterBytes;
  if (!parameterFile.empty()) {
    if (FileOutcome read = readFileOf(parameterFile, parameterBytes); !read.ok()) return read;
  }

  std::istringstream in(geneBytes);
  const std::string word = folderWordOf(nextUsefulLine(in));
  if (FileOutcome plain = checkFolderWord(word, geneFile); !plain.ok()) return plain;
  if (FileOutcome made = takeFolder(asFolder(asFolder(baseDirectory) + word)); !made.ok()) return made;
  {
    std::lock_guard<FairMutex> lock(mWorldRef.mutex());
    if (!parameterFile.empty()) {
      std::istringstream parameters(parameterBytes);
      readParameters(mWorldRef.place().parameters(), parameters);
    }
    InitialGeneEntry entry;
    for (bool more = true; more;) {
      more = readInitialGeneEntry(in, entry);
      mWorldRef.place().populateWithEntry(entry);
    }
  }
  return writeNewWorldFiles(false);
}

FileOutcome WorldDocument::load(const std::string& folder) {
  mNotices.clear();
  if (FileOutcome fresh = refuseUnlessFresh(); !fresh.ok()) return fresh;
  const std::string from = asFolder(folder);
  if (FileOutcome claimed = mFolderLock.claim(from, mProgram); !claimed.ok()) return claimed;
  std::vector<std::string> recovered;
  {
    FileWriteGuard lock(mFileLock);
    const std::vector<std::string> required = {kWorldLivesName, mWorldRef.place().name() + ".lives", kParameterFileName};
    if (FileOutcome recovery = recoverSaveUnit(from, recovered, required); !recovery.ok()) {
      mFolderLock.release();
      return recovery;
    }
  }
  SavedWorldTexts texts;
  const std::string placeFile = mWorldRef.place().livesFileName(from);
  const std::string exactFile = placeFile.substr(0, placeFile.size() - std::string(".lives").size()) + kExactSuffix;
  FileOutcome read = readFileOf(from + kParameterFileName, texts.parameters);
  if (read.ok()) read = readFileOf(from + kWorldLivesName, texts.worldLives);
  if (read.ok()) read = readFileOf(placeFile, texts.placeLives);
  std::error_code error;
  if (read.ok() && std::filesystem::exists(exactFile, error)) read = readFileOf(exactFile, texts.exact);
  if (read.ok() && std::filesystem::exists(from + kPhylogenyName, error)) {
    texts.phylogeny.emplace();
    read = readFileOf(from + kPhylogenyName, *texts.phylogeny);
  }
  if (!read.ok()) {
    mFolderLock.release();
    return read;
  }
  FileOutcome loaded = loadFromTexts(from, texts);
  if (!loaded.ok()) {
    mFolderLock.release();
    return loaded;
  }
  mNotices.insert(mNotices.begin(), recovered.begin(), recovered.end());
  return loaded;
}

FileOutcome WorldDocument::loadFromTexts(const std::string& folder, const SavedWorldTexts& texts) {
  if (FileOutcome fresh = refuseUnlessFresh(); !fresh.ok()) return fresh;
  mFolder.clear();
  mNotices.clear();
  const std::string from = asFolder(folder);
  std::lock_guard<FairMutex> lock(mWorldRef.mutex());
  const mPlace& place = mWorldRef.place();
  auto fail = [&](const std::string& file, const std::string& what) {
    return FileOutcome{"cannot load " + file + ": " + what};
  };

  // The saved world is read into a place of its own, with the saved parameters applied to the
  // world's, and takes the world's place only once all of it was read.
  mWorldSettings settings = place.settings();
  std::istringstream parameters(texts.parameters);
  const std::vector<std::string> missing = readParameters(settings.parameters, parameters);
  if (!missing.empty())
    mNotices.push_back(from + kParameterFileName + " sets no value for " + std::to_string(missing.size()) +
                       (missing.size() == 1 ? " key" : " keys") + ", which keep their defaults: " + joined(missing));
  int phase = 0;
  if (LivesReadError error = readWorldLives(texts.worldLives, phase); error.failed())
    return fail(from + kWorldLivesName, error.what);

  const std::string placeFile = place.livesFileName(from);
  try {
    std::unique_ptr<mPlace> loaded;
    if (!texts.exact.empty()) {
      loaded = std::make_unique<mPlace>(&mWorldRef, place.name(), place.homeMark(), settings);
      int exactPhase = phase;
      const ExactStateRead exact = readExactState(texts.exact, texts.worldLives, texts.placeLives, *loaded, exactPhase);
      if (exact.fit == ExactStateRead::kUsed) {
        phase = exactPhase;
      } else {
        loaded.reset();
        mNotices.push_back("the exact companion of " + placeFile + " was not used (" + exact.what +
                           "); the world goes on from the lives files, to their ten digits");
      }
    }
    if (!loaded) {
      loaded = std::make_unique<mPlace>(&mWorldRef, place.name(), place.homeMark(), settings);
      if (LivesReadError error = readPlaceLives(*loaded, texts.placeLives); error.failed())
        return fail(placeFile, error.what);
    }
    if (loaded->lineage().enabled()) {
      if (FileOutcome lineage = loadLineage(*loaded, from, texts.phylogeny); !lineage.ok()) return lineage;
    }
    mWorldRef.adoptPlace(std::move(loaded));
  } catch (const std::exception& error) {
    return fail(placeFile, error.what());
  }
  mWorldRef.setPhase(phase);
  mFolder = from;
  return {};
}

FileOutcome WorldDocument::save() {
  mNotices.clear();
  if (mFolder.empty()) return {"the world has no save folder (it was neither created nor loaded); nothing saved"};
  if (mWorldRef.isBusy()) return {"the world is running; it is saved only while paused"};
  std::vector<std::pair<std::string, std::string>> files;
  int turn = 0, time = 0;
  {
    std::lock_guard<FairMutex> lock(mWorldRef.mutex());
    const mPlace& place = mWorldRef.place();
    std::string worldText = worldLivesText(mWorldRef.phase());
    std::string placeText = placeLivesText(place);
    std::string exactText = exactStateText(mWorldRef, worldText, placeText);
    files.emplace_back(kWorldLivesName, std::move(worldText));
    files.emplace_back(place.name() + ".lives", std::move(placeText));
    files.emplace_back(kParameterFileName, parameterFileText(place.parameters()));
    files.emplace_back(place.name() + kExactSuffix, std::move(exactText));
    mLineage& lineage = mWorldRef.place().lineage();
    if (lineage.enabled()) {
      lineage.refreshCounts(place.genePool());
      if (lineage.pruning()) lineage.prune();
      files.emplace_back(kPhylogenyName, phylogenyText(lineage));
      lineage.markWritten();
    }
    turn = place.turn();
    time = place.time();
  }
  FileWriteGuard lock(mFileLock);
  return writeSaveUnit(mFolder, files, appendedFileNames(), turn, time);
}

FileOutcome WorldDocument::loadLineage(mPlace& place, const std::string& folder,
                                       const std::optional<std::string>& phylogeny) {
  if (!phylogeny) {
    startLineageFromLiving(place);
    mNotices.push_back(folder + " holds no " + kPhylogenyName + "; its living genes start the lineage as roots");
    return {};
  }
  std::vector<mLineageNode> nodes;
  FileOutcome outcome = parsePhylogeny(*phylogeny, nodes);
  if (outcome.ok()) outcome = applyPhylogeny(place, std::move(nodes));
  if (outcome.ok()) return {};
  if (!mLineageReset)
    return {"cannot load " + folder + outcome.error +
            "; to start the lineage anew from the living genes, load with the lineage reset (vek-batch --lineage-reset)"};
  startLineageFromLiving(place);
  mNotices.push_back(folder + outcome.error + "; the lineage starts anew from the living genes");
  return {};
}

FileOutcome WorldDocument::saveAs(const std::string& folder, bool withGeneTemplate) {
  mNotices.clear();
  if (!mFolder.empty()) return {"the world is kept in " + mFolder + "; it is saved only there"};
  if (mWorldRef.isBusy()) return {"the world is running; it is saved only while paused"};
  FileOutcome saved = takeFolder(asFolder(folder));
  if (!saved.ok()) return saved;
  // Asked only once the folder is claimed, so no other program can save a world there between.
  if (holdsSavedWorld(mFolder)) saved = {mFolder + " already holds a saved world; a world is never saved over another"};
  if (saved.ok()) saved = writeNewWorldFiles(withGeneTemplate);
  if (saved.ok()) saved = save();
  if (!saved.ok()) {
    mFolder.clear();
    mFolderLock.release();
  }
  return saved;
}

FileOutcome WorldDocument::checkWritable() const {
  if (mFolder.empty()) return {"the world has no save folder"};
  std::error_code error;
  // A file made and removed again: the folder takes new files (a read-only folder or file
  // system does not, whatever the permission bits say to the superuser).
  const std::string probe = mFolder + ".vek-write-check-" + std::to_string(::getpid());
  errno = 0;
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return {describeFileError("cannot write into the save folder", mFolder)};
  ::close(fd);
  std::filesystem::remove(probe, error);
  std::vector<std::string> names = appendedFileNames();
  for (const char* name : {kWorldLivesName, "Ostrel.lives", kParameterFileName, kManifestName}) names.push_back(name);
  for (const std::string& name : names) {
    const std::string path = mFolder + name;
    if (std::filesystem::is_directory(path, error)) return {"cannot write " + path + ": it is a folder, not a file"};
    if (!std::filesystem::exists(path, error)) continue;
    errno = 0;
    const int existing = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (existing < 0) return {describeFileError("cannot write", path)};
    ::close(existing);
  }
  return {};
}

}  // namespace vek
