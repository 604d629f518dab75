#include "records/world_document.h"

#include <cerrno>
#include <exception>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "body/parameters.h"
#include "engine/place.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/gene_list.h"
#include "base/file_lock.h"
#include "records/initial_gene_file.h"
#include "records/lives_file.h"
#include "records/statistics_logs.h"
#include "base/text_io.h"

namespace vek {

namespace {

constexpr const char* kParameterFileName = "parameter.pini";

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
  errno = 0;
  if (!readWholeFile(path, bytes)) return {describeFileError("cannot read", path)};
  return {};
}

FileOutcome makeFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (std::filesystem::is_directory(folder)) return {};
  return {"cannot make the save folder " + folder + (error ? ": " + error.message() : std::string())};
}

FileOutcome writeReplacing(const std::string& path, const std::string& bytes) {
  errno = 0;
  if (!writeFileAtomically(path, bytes)) return {describeFileError("cannot write", path)};
  return {};
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
  folder = asFolder(asFolder(baseDirectory) + folderWordOf(nextUsefulLine(in)));
  return {};
}

bool holdsSavedWorld(const std::string& folder) {
  std::error_code error;
  return std::filesystem::exists(asFolder(folder) + kWorldLivesName, error) ||
         std::filesystem::exists(asFolder(folder) + "Ostrel.lives", error);
}

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
  mFolder = asFolder(folder);
  return {};
}

FileOutcome WorldDocument::writeNewWorldFiles(bool withGeneTemplate) {
  FileWriteGuard lock(mFileLock);
  if (FileOutcome marker = writeReplacing(mFolder + kMarkerFileName, kMarkerFileText); !marker.ok()) return marker;
  if (withGeneTemplate) {
    errno = 0;
    if (!writeInitialGeneFile(mFolder)) return {describeFileError("cannot write", mFolder + "gene.gini")};
  }
  return startLogs(mFolder);
}

FileOutcome WorldDocument::createWithBuiltInGenome(const std::string& baseDirectory) {
  if (FileOutcome fresh = refuseUnlessFresh(); !fresh.ok()) return fresh;
  {
    std::lock_guard<FairMutex> lock(mWorldRef.mutex());
    mWorldRef.place().populateWithBuiltInGenome();
  }
  if (FileOutcome folder = takeFolder(builtInSaveFolder(baseDirectory)); !folder.ok()) return folder;
  return writeNewWorldFiles(true);
}

FileOutcome WorldDocument::createFromInitialGeneFile(const std::string& baseDirectory, const std::string& geneFile,
                                                     const std::string& parameterFile) {
  if (FileOutcome fresh = refuseUnlessFresh(); !fresh.ok()) return fresh;
  std::string geneBytes;
  if (FileOutcome read = readFileOf(geneFile, geneBytes); !read.ok()) return read;
  std::string parameterBytes;
  if (!parameterFile.empty()) {
    if (FileOutcome read = readFileOf(parameterFile, parameterBytes); !read.ok()) return read;
  }

  std::istringstream in(geneBytes);
  const std::string folder = asFolder(asFolder(baseDirectory) + folderWordOf(nextUsefulLine(in)));
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
  if (FileOutcome made = takeFolder(folder); !made.ok()) return made;
  return writeNewWorldFiles(false);
}

FileOutcome WorldDocument::load(const std::string& folder) {
  if (FileOutcome fresh = refuseUnlessFresh(); !fresh.ok()) return fresh;
  const std::string from = asFolder(folder);
  SavedWorldTexts texts;
  if (FileOutcome read = readFileOf(from + kParameterFileName, texts.parameters); !read.ok()) return read;
  if (FileOutcome read = readFileOf(from + kWorldLivesName, texts.worldLives); !read.ok()) return read;
  const std::string placeFile = mWorldRef.place().livesFileName(from);
  if (FileOutcome read = readFileOf(placeFile, texts.placeLives); !read.ok()) return read;
  return loadFromTexts(from, texts);
}

FileOutcome WorldDocument::loadFromTexts(const std::string& folder, const SavedWorldTexts& texts) {
  if (FileOutcome fresh = refuseUnlessFresh(); !fresh.ok()) return fresh;
  mFolder.clear();
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
  readParameters(settings.parameters, parameters);
  int phase = 0;
  if (LivesReadError error = readWorldLives(texts.worldLives, phase); error.failed())
    return fail(from + kWorldLivesName, error.what);

  const std::string placeFile = place.livesFileName(from);
  try {
    auto loaded = std::make_unique<mPlace>(&mWorldRef, place.name(), place.homeMark(), settings);
    if (LivesReadError error = readPlaceLives(*loaded, texts.placeLives); error.failed())
      return fail(placeFile, error.what);
    mWorldRef.adoptPlace(std::move(loaded));
  } catch (const std::exception& error) {
    return fail(placeFile, error.what());
  }
  mWorldRef.setPhase(phase);
  mFolder = from;
  return {};
}

FileOutcome WorldDocument::save() {
  if (mFolder.empty()) return {"the world has no save folder (it was neither created nor loaded); nothing saved"};
  if (mWorldRef.isBusy()) return {"the world is running; it is saved only while paused"};
  std::string worldText, placeText, parameterText;
  std::string placeFile;
  {
    std::lock_guard<FairMutex> lock(mWorldRef.mutex());
    worldText = worldLivesText(mWorldRef.phase());
    placeText = placeLivesText(mWorldRef.place());
    parameterText = parameterFileText(mWorldRef.place().parameters());
    placeFile = mWorldRef.place().livesFileName(mFolder);
  }
  FileWriteGuard lock(mFileLock);
  if (FileOutcome written = writeReplacing(mFolder + kWorldLivesName, worldText); !written.ok()) return written;
  if (FileOutcome written = writeReplacing(placeFile, placeText); !written.ok()) return written;
  return writeReplacing(mFolder + kParameterFileName, parameterText);
}

}  // namespace vek
