#include "python/world_session.h"

#include <cerrno>
#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "body/field.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "python/session_error.h"
#include "records/initial_gene_file.h"
#include "records/snapshot_writer.h"

namespace vek::python {

namespace {

std::string absoluteFolder(const std::string& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) absolute = path;
  return asFolder(absolute.lexically_normal().string());
}

// The field keeps mField_N x mField_N cells of light: a side beyond what it can hold would
// be ignored by it (and a typo would take the machine's memory), so such a world is refused.
void checkFieldSide(const Parameters& p) {
  if (p.mField_N < 0 || p.mField_N > mField::kMaxSide)
    throw SessionError(ErrorKind::kValue, "mField_N = " + std::to_string(p.mField_N) + " asks for a field of " +
                                              std::to_string(p.mField_N) + " x " + std::to_string(p.mField_N) +
                                              " cells; 0 to " + std::to_string(mField::kMaxSide) +
                                              " per side are allowed");
}

std::string readFile(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    throw SessionError(ErrorKind::kIsFolder, "cannot read " + path + ": it is a folder, not a file");
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  if (in) bytes << in.rdbuf();
  if (!in || in.bad()) throw errorFrom({describeFileError("cannot read", path)}, ErrorKind::kFile);
  return bytes.str();
}

// A world in memory from an initial gene file: its entries as a new world in a folder gets
// them (the first useful line names a folder, which a world in memory does not make).
void populateFromGeneFile(mPlace& place, const std::string& geneFile) {
  std::istringstream in(readFile(geneFile));
  nextUsefulLine(in);
  InitialGeneEntry entry;
  for (bool more = true; more;) {
    more = readInitialGeneEntry(in, entry);
    place.populateWithEntry(entry);
  }
}

void checkLineageEvery(int every) {
  if (every < 0)
    throw SessionError(ErrorKind::kValue, "lineage_every must be 0 (no counts) or more, not " + std::to_string(every));
}

mWorldSettings settingsWith(const Parameters& parameters, const LineageOptions& lineage) {
  mWorldSettings settings;
  settings.parameters = parameters;
  settings.lineage = lineage.record;
  settings.pruneLineage = lineage.prune;
  return settings;
}

}  // namespace

WorldSession::WorldSession(const mWorldSettings& settings, int lineageEvery)
    : mLineageEvery(lineageEvery),
      mHeldWorld(std::make_unique<::mWorld>(settings)),
      mDocument(std::make_unique<WorldDocument>(*mHeldWorld, mFileLock, kProgramName)) {
  // The machine's work, as in a batch run: the worker keeps the process's priority.
  mHeldWorld->setLowestPriority(false);
}

WorldSession::~WorldSession() {
  // The document lets the folder go before the world's worker is joined; the logs stay open
  // until the worker that writes them is gone.
  mDocument.reset();
  mHeldWorld.reset();
}

std::unique_ptr<WorldSession> WorldSession::create(const Creation& c) {
  checkFieldSide(c.parameters);
  checkLineageEvery(c.lineage.every);
  std::string base;
  if (!c.base.empty()) {
    base = absoluteFolder(c.base);
    std::error_code error;
    std::filesystem::create_directories(base, error);
    if (!std::filesystem::is_directory(base, error))
      throw SessionError(std::filesystem::exists(c.base, error) ? ErrorKind::kExists : ErrorKind::kFile,
                         "cannot make the folder " + base + (error ? ": " + error.message() : std::string()));
    std::string folder = builtInSaveFolder(base);
    if (!c.geneFile.empty()) {
      if (FileOutcome planned = initialGeneFileSaveFolder(base, c.geneFile, folder); !planned.ok())
        throw errorFrom(planned, ErrorKind::kValue);
    }
    if (holdsSavedWorld(folder))
      throw SessionError(ErrorKind::kExists, folder + " already holds a saved world; continue it with vek.World.load(\"" +
                                                 folder + "\"), or choose another base");
  }

  std::unique_ptr<WorldSession> session(new WorldSession(settingsWith(c.parameters, c.lineage), c.lineage.every));
  session->mFromBuiltInGenome = c.geneFile.empty();
  if (!base.empty()) {
    WorldDocument& document = *session->mDocument;
    const FileOutcome made = c.geneFile.empty() ? document.createWithBuiltInGenome(base)
                                                : document.createFromInitialGeneFile(base, c.geneFile, "");
    if (!made.ok()) throw errorFrom(made, ErrorKind::kValue);
    session->takeNotices();
    if (FileOutcome writable = document.checkWritable(); !writable.ok()) throw errorFrom(writable, ErrorKind::kFile);
  } else {
    std::lock_guard<FairMutex> lock(session->mHeldWorld->mutex());
    if (c.geneFile.empty()) session->mHeldWorld->place().populateWithBuiltInGenome();
    else populateFromGeneFile(session->mHeldWorld->place(), c.geneFile);
  }
  // Seeded before the first save, so that the folder's save of turn 0 already goes on with the
  // numbers the run draws.
  if (c.seed) session->mHeldWorld->place().random().reseed(*c.seed);
  if (!base.empty()) {
    if (FileOutcome saved = session->mDocument->save(); !saved.ok()) throw errorFrom(saved, ErrorKind::kFile);
    session->startLogs();
  }
  return session;
}

std::unique_ptr<WorldSession> WorldSession::load(const std::string& path, std::optional<std::uint32_t> seed,
                                                 const LineageOptions& lineage) {
  checkLineageEvery(lineage.every);
  const std::string folder = absoluteFolder(path);
  std::error_code error;
  if (!std::filesystem::exists(folder + kMarkerFileName, error))
    throw SessionError(std::filesystem::exists(folder, error) ? ErrorKind::kValue : ErrorKind::kNotFound,
                       std::filesystem::exists(folder, error)
                           ? folder + " is not a save folder: it holds no " + kMarkerFileName
                           : folder + " does not exist");
  // The light field takes its size from the saved parameters when the world is made.
  Parameters saved;
  errno = 0;
  if (!readParameterFile(saved, folder + kParameterFileName, true))
    throw errorFrom({describeFileError("cannot read", folder + kParameterFileName)}, ErrorKind::kFile);
  checkFieldSide(saved);

  std::unique_ptr<WorldSession> session(new WorldSession(settingsWith(saved, lineage), lineage.every));
  WorldDocument& document = *session->mDocument;
  document.setLineageReset(lineage.reset);
  if (FileOutcome loaded = document.load(folder); !loaded.ok()) throw errorFrom(loaded, ErrorKind::kValue);
  session->takeNotices();
  if (FileOutcome writable = document.checkWritable(); !writable.ok()) throw errorFrom(writable, ErrorKind::kFile);
  {
    std::lock_guard<FairMutex> lock(session->mHeldWorld->mutex());
    checkFieldSide(session->mHeldWorld->place().parameters());
    if (seed) session->mHeldWorld->place().random().reseed(*seed);
  }
  session->startLogs();
  return session;
}

void WorldSession::startLogs() {
  mLogs = std::make_unique<StatisticsLogs>(mDocument->saveFolder(), mFileLock);
  mHeldWorld->addObserver(mLogs.get());
  if (mHeldWorld->place().settings().lineage) {
    mLineageLog = std::make_unique<LineageLog>(mDocument->saveFolder(), mLineageEvery, mFileLock);
    mHeldWorld->addObserver(mLineageLog.get());
  }
  std::lock_guard<std::mutex> info(mInfoMutex);
  mFolder = mDocument->saveFolder();
}

void WorldSession::takeNotices() {
  std::lock_guard<std::mutex> info(mInfoMutex);
  mNotices = mDocument->notices();
}

void WorldSession::refuseUnlessDrivable() const {
  if (mClosed) throw SessionError(ErrorKind::kClosed, "the world is closed; it can only be read");
  if (!mLogFailure.empty()) throw SessionError(ErrorKind::kFile, mLogFailure);
}

int WorldSession::turnAfterRunning() {
  std::lock_guard<FairMutex> lock(mHeldWorld->mutex());
  const int turn = mHeldWorld->place().turn();
  if (mLogFailure.empty()) {
    std::string fault;
    if (mLogs && mLogs->failures() > 0) fault = mLogs->firstFailure();
    else if (mLineageLog && mLineageLog->failures() > 0) fault = mLineageLog->firstFailure();
    if (!fault.empty())
      mLogFailure = fault + "; the world stopped after turn " + std::to_string(turn) +
                    " and is neither run nor saved any more: its folder keeps its last save, to which the logs are "
                    "cut back when it is loaded again";
  }
  return turn;
}

void WorldSession::run(int turns, int every, const std::function<bool()>& atEvery, const std::function<void()>& poll,
                       std::chrono::milliseconds pollInterval) {
  std::lock_guard<std::recursive_mutex> control(mControl);
  refuseUnlessDrivable();
  if (turns < 0) throw SessionError(ErrorKind::kValue, "turns must be 0 or more, not " + std::to_string(turns));
  if (every < 0) throw SessionError(ErrorKind::kValue, "every must be 0 or more, not " + std::to_string(every));
  int turn = turnAfterRunning();
  if (turns > INT_MAX - turn)
    throw SessionError(ErrorKind::kValue, "the world stands at turn " + std::to_string(turn) + "; " +
                                              std::to_string(turns) + " more turns would pass the largest turn number");
  const int last = turn + turns;
  while (turn < last) {
    int next = last;
    if (every > 0) next = static_cast<int>(std::min<long long>(last, (turn / every + 1LL) * every));
    mHeldWorld->holdAfterTurn(next);
    if (!mHeldWorld->isStarted()) mHeldWorld->start();
    mHeldWorld->resume();
    try {
      while (!mHeldWorld->waitUntilParkedFor(pollInterval)) poll();
    } catch (...) {
      mHeldWorld->pause();
      turnAfterRunning();
      throw;
    }
    turn = turnAfterRunning();
    if (!mLogFailure.empty()) throw SessionError(ErrorKind::kFile, mLogFailure);
    if (every > 0 && turn % every == 0 && turn == next && atEvery && !atEvery()) return;
    if (mClosed) return;  // the callback closed the world
  }
}

void WorldSession::step() {
  std::lock_guard<std::recursive_mutex> control(mControl);
  refuseUnlessDrivable();
  mHeldWorld->step();
  turnAfterRunning();
  if (!mLogFailure.empty()) throw SessionError(ErrorKind::kFile, mLogFailure);
}

void WorldSession::save(const std::optional<std::string>& path) {
  std::lock_guard<std::recursive_mutex> control(mControl);
  refuseUnlessDrivable();
  const std::string own = mDocument->saveFolder();
  if (!own.empty()) {
    if (path && absoluteFolder(*path) != own)
      throw SessionError(ErrorKind::kValue, "the world is kept in " + own + " and saved only there; save() saves it");
    FileOutcome saved = mDocument->save();
    takeNotices();
    if (!saved.ok()) throw errorFrom(saved, ErrorKind::kFile);
    return;
  }
  if (!path)
    throw SessionError(ErrorKind::kValue, "the world lives in memory and has no save folder yet: give one, save(folder)");
  const std::string folder = absoluteFolder(*path);
  if (holdsSavedWorld(folder))
    throw SessionError(ErrorKind::kExists, folder + " already holds a saved world; a world is never saved over another");
  FileOutcome saved = mDocument->saveAs(folder, mFromBuiltInGenome);
  takeNotices();
  if (!saved.ok()) throw errorFrom(saved, ErrorKind::kFile);
  startLogs();
}

void WorldSession::close(bool saveFirst) {
  std::lock_guard<std::recursive_mutex> control(mControl);
  if (mClosed) return;
  if (saveFirst && !mDocument->saveFolder().empty() && mLogFailure.empty()) save(std::nullopt);
  if (mLogs) mHeldWorld->removeObserver(mLogs.get());
  if (mLineageLog) mHeldWorld->removeObserver(mLineageLog.get());
  mLogs.reset();
  mLineageLog.reset();
  mDocument = std::make_unique<WorldDocument>(*mHeldWorld, mFileLock, kProgramName);
  mClosed = true;
}

void WorldSession::set(const ParameterKey& key, double value) {
  std::lock_guard<FairMutex> lock(mHeldWorld->mutex());
  if (mClosed) throw SessionError(ErrorKind::kClosed, "the world is closed; it can only be read");
  Parameters changed = mHeldWorld->place().parameters();
  key.set(changed, value);
  checkFieldSide(changed);
  mHeldWorld->place().parameters() = changed;
}

Parameters WorldSession::parameters() const {
  return read([](const ::mWorld& world) { return world.place().parameters(); });
}

void WorldSession::snapshot(const std::string& path, std::optional<int> index) {
  std::string text;
  {
    std::lock_guard<FairMutex> lock(mHeldWorld->mutex());
    const mPlace& place = mHeldWorld->place();
    const auto& living = place.population().living();
    if (index && (*index < 0 || *index >= static_cast<int>(living.size())))
      throw SessionError(ErrorKind::kIndex, "no living individual has the index " + std::to_string(*index) + " (" +
                                                std::to_string(living.size()) + " live)");
    text = index ? seedSnapshotText(place, *living[static_cast<size_t>(*index)]) : snapshotText(place);
  }
  if (FileOutcome written = writeSnapshotFile(path, text, mFileLock); !written.ok())
    throw errorFrom(written, ErrorKind::kFile);
}

int WorldSession::indexOf(const std::string& id) const {
  return read([&](const ::mWorld& world) {
    const auto& living = world.place().population().living();
    for (size_t i = 0; i < living.size(); ++i)
      if (living[i]->id().text() == id) return static_cast<int>(i);
    throw SessionError(ErrorKind::kKey, "no living individual has the identifier " + id);
  });
}

std::string WorldSession::folder() const {
  std::lock_guard<std::mutex> info(mInfoMutex);
  return mFolder;
}

std::vector<std::string> WorldSession::notices() const {
  std::lock_guard<std::mutex> info(mInfoMutex);
  return mNotices;
}

bool WorldSession::closed() const { return mClosed; }

}  // namespace vek::python
