#include "batch/batch_run.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "batch/interrupt_watcher.h"
#include "batch/progress_bar.h"
#include "batch/run_summary.h"
#include "batch/snapshot_series.h"
#include "body/bare_pass.h"
#include "body/parameters.h"
#include "body/parts_list.h"
#include "body/field.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/gene_list.h"
#include "records/lineage_files.h"
#include "records/snapshot_writer.h"
#include "records/statistics_logs.h"
#include "records/world_document.h"

namespace vek::batch {

namespace {

// The field keeps mField_N x mField_N cells of light (8 bytes each); beyond this side a typo
// in a parameter file would take the machine's memory rather than give a bigger field.
constexpr int kMaxFieldSide = 16384;

int fail(const std::string& message) {
  std::fprintf(stderr, "vek-batch: %s\n", message.c_str());
  return 1;
}

std::string absoluteFolder(const std::string& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) absolute = path;
  return asFolder(absolute.lexically_normal().string());
}

double processorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

void applySettings(const BatchOptions& o, Parameters& p) {
  for (const auto& [key, value] : o.settings) findParameterKey(key)->set(p, value);
}

// Reads the parameters that the world is to be built with, before the world exists: the
// light field takes its size from mField_N when it is made.
FileOutcome readParametersFirst(const BatchOptions& o, const std::string& loadFolder, Parameters& p) {
  const std::string file = !loadFolder.empty() ? loadFolder + "parameter.pini" : o.parameterFile;
  errno = 0;
  if (!file.empty() && !readParameterFile(p, file, true)) return {describeFileError("cannot read", file)};
  errno = 0;
  if (!loadFolder.empty() && !o.parameterFile.empty() && !readParameterFile(p, o.parameterFile, true))
    return {describeFileError("cannot read", o.parameterFile)};
  applySettings(o, p);
  if (p.mField_N > kMaxFieldSide)
    return {"mField_N = " + std::to_string(p.mField_N) + " asks for a field of " + std::to_string(p.mField_N) +
            " x " + std::to_string(p.mField_N) + " cells; at most " + std::to_string(kMaxFieldSide) +
            " per side are allowed"};
  return {};
}

// The save folder a new world would get under `base`.
FileOutcome plannedSaveFolder(const BatchOptions& o, const std::string& base, std::string& folder) {
  if (o.geneFile.empty()) {
    folder = builtInSaveFolder(base);
    return {};
  }
  return initialGeneFileSaveFolder(base, o.geneFile, folder);
}

// With --resume, the world saved where a new one would go. A folder whose world was made but
// never saved (the run was killed at once) holds nothing to go on from: it is made anew.
std::optional<std::string> savedWorldToResume(const BatchOptions& o, const std::string& base) {
  std::string folder;
  if (!plannedSaveFolder(o, base, folder).ok()) return std::nullopt;
  std::error_code error;
  if (!std::filesystem::exists(folder + kMarkerFileName, error) || !holdsSavedWorld(folder)) return std::nullopt;
  return folder;
}

// A new world must not replace the lives files of a world already saved in its folder.
FileOutcome refuseToReplaceASavedWorld(const BatchOptions& o, const std::string& base) {
  std::string folder;
  if (FileOutcome planned = plannedSaveFolder(o, base, folder); !planned.ok()) return planned;
  if (holdsSavedWorld(folder))
    return {folder + " already holds a saved world; continue it with --load " + folder +
            ", or choose another --base"};
  return {};
}

FileOutcome makeBaseFolder(const std::string& base) {
  std::error_code error;
  std::filesystem::create_directories(base, error);
  if (std::filesystem::is_directory(base, error)) return {};
  return {"cannot make the folder " + base + (error ? ": " + error.message() : std::string())};
}

// Whether a file can be made in `folder`: a file made there and removed again.
FileOutcome checkFolderTakesFiles(const std::string& folder, const std::string& what) {
  const std::string probe = asFolder(folder) + ".vek-write-check-" + std::to_string(::getpid());
  errno = 0;
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return {describeFileError(what + ": cannot write into", folder)};
  ::close(fd);
  ::unlink(probe.c_str());
  return {};
}

FileOutcome checkSnapshotFolder(const std::string& snapshotFile) {
  if (snapshotFile.empty()) return {};
  std::filesystem::path parent = std::filesystem::path(snapshotFile).parent_path();
  if (parent.empty()) parent = ".";
  std::error_code error;
  if (!std::filesystem::is_directory(parent, error))
    return {"--snapshot: the folder " + parent.string() + " does not exist" +
            (error && error != std::errc::no_such_file_or_directory ? " (" + error.message() + ")" : "")};
  const std::string name = std::filesystem::path(snapshotFile).filename().string();
  if (name.size() > NAME_MAX)
    return {"--snapshot: the file name is " + std::to_string(name.size()) + " characters long; a name holds at most " +
            std::to_string(NAME_MAX)};
  return checkFolderTakesFiles(parent.string(), "--snapshot");
}

void printNotices(const WorldDocument& document) {
  for (const std::string& notice : document.notices()) std::fprintf(stderr, "vek-batch: note: %s\n", notice.c_str());
}

struct Counts {
  int turn = 0;
  int living = 0;
  int genes = 0;
};

Counts countsOf(mWorld& world) {
  std::lock_guard<FairMutex> lock(world.mutex());
  return {world.place().turn(), world.place().population().livingCount(), world.place().genePool().geneCount()};
}

// Runs the worker until the place's turn reaches `turn`, or an interrupt parks it earlier.
void runUntil(mWorld& world, InterruptWatcher& watcher, int turn) {
  const bool released = watcher.unlessInterrupted([&] {
    world.holdAfterTurn(turn);
    if (!world.isStarted()) world.start();
    world.resume();
  });
  if (released) world.waitUntilParked();
}

// Where the run's time went: each phase's steps (AFTER_EXECUTE with its logs) in all and per
// turn, in the worker's processor time, the cells the light computations visited, and the
// whole turn against one bare pass over a turn's covered cells (body/bare_pass.h): the
// least any light computation must do, timed here on the cells the last turn's parts cover.
void printProfile(mWorld& world, double seconds, int turns) {
  std::vector<mCellRun> runs;
  int side = 0;
  double daylight = 0, downsize = 0;
  std::uint64_t visits = 0;
  std::array<double, kPhaseCount> phases{};
  bool reference = false;
  {
    std::lock_guard<FairMutex> lock(world.mutex());
    const mPlace& place = world.place();
    phases = world.phaseSeconds();
    visits = place.field().coveredCellVisits();
    reference = place.settings().algorithms == mAlgorithms::kPlain;
    side = place.field().side();
    const Parameters& p = place.parameters();
    daylight = p.mField_daylight;
    downsize = p.mField_downsize;
    const mGridFrame frame = mGridFrame::fromParameters(p, side);
    if (frame.allowsRuns()) {
      std::vector<const mPartsList*> bodies;
      for (const auto& seed : place.population().living()) bodies.push_back(&seed->body());
      runs = coveredRunsOf(bodies, frame);
    }
  }
  double stepped = 0;
  for (double phase : phases) stepped += phase;
  const double perTurn = turns > 0 ? 1e6 / turns : 0.0;
  std::fprintf(stderr, "vek-batch: profile of %.3f s, %d turns (%s algorithms), in the worker's processor time:\n", seconds,
               turns, reference ? "reference" : "fast");
  for (int phase = 0; phase < kPhaseCount; ++phase)
    std::fprintf(stderr, "  %-16s %10.3f s  %5.1f %%  %10.1f us per turn\n", kPhaseNames[phase], phases[phase],
                 stepped > 0 ? 100.0 * phases[phase] / stepped : 0.0, phases[phase] * perTurn);
  std::fprintf(stderr, "  %-16s %10.3f s           %10.1f us per turn\n", "whole turn", stepped, stepped * perTurn);
  const double visitsPerTurn = turns > 0 ? static_cast<double>(visits) / turns : 0.0;
  std::fprintf(stderr, "  covered-cell visits %llu (%.0f per turn)\n", static_cast<unsigned long long>(visits),
               visitsPerTurn);
  const long cells = cellCount(runs);
  if (cells == 0 || turns == 0 || stepped <= 0) return;
  const double perCell = barePassSeconds(runs, side, daylight, downsize, 21) / static_cast<double>(cells);
  const double barePerTurn = perCell * visitsPerTurn;
  std::fprintf(stderr, "  bare pass over a turn's covered cells %.1f us (%.2f ns per cell)\n", 1e6 * barePerTurn,
               1e9 * perCell);
  std::fprintf(stderr, "  whole turn against the bare pass: %.2f\n", stepped / turns / barePerTurn);
}

}  // namespace

int runBatch(const BatchOptions& o) {
  InterruptWatcher watcher;

  if (FileOutcome snapshot = checkSnapshotFolder(o.snapshotFile); !snapshot.ok()) return fail(snapshot.error);
  const std::string base = absoluteFolder(o.baseDirectory);
  std::string loadFolder;
  if (o.loadFolder.empty()) {
    if (FileOutcome made = makeBaseFolder(base); !made.ok()) return fail(made.error);
  } else {
    loadFolder = absoluteFolder(o.loadFolder);
    std::error_code error;
    if (!std::filesystem::exists(loadFolder + kMarkerFileName, error))
      return fail(loadFolder + " is not a save folder: it holds no " + kMarkerFileName +
                  (error && error != std::errc::no_such_file_or_directory ? " (" + error.message() + ")" : ""));
  }
  if (o.loadFolder.empty()) {
    if (o.resume) {
      if (std::optional<std::string> saved = savedWorldToResume(o, base)) loadFolder = *saved;
    }
    if (loadFolder.empty()) {
      if (FileOutcome refused = refuseToReplaceASavedWorld(o, base); !refused.ok()) return fail(refused.error);
    }
  }
  mWorldSettings settings;
  settings.algorithms = o.reference ? mAlgorithms::kPlain : mAlgorithms::kFast;
  settings.lineage = !o.noLineage;
  settings.pruneLineage = o.lineagePrune;
  if (FileOutcome parameters = readParametersFirst(o, loadFolder, settings.parameters); !parameters.ok())
    return fail(parameters.error);

  // Observers and the file lock are made before the world and so outlive its worker.
  FileWriteLock fileLock;
  std::unique_ptr<StatisticsLogs> logs;
  std::unique_ptr<LineageLog> lineage;
  std::unique_ptr<SnapshotSeries> snapshots;
  std::unique_ptr<ProgressBar> progress;
  mWorld world(settings);
  WorldDocument document(world, fileLock, "vek-batch");
  document.setLineageReset(o.lineageReset);
  FileOutcome opened;
  if (!loadFolder.empty()) opened = document.load(loadFolder);
  else if (!o.geneFile.empty()) opened = document.createFromInitialGeneFile(base, o.geneFile, o.parameterFile);
  else opened = document.createWithBuiltInGenome(base);
  if (!opened.ok()) return fail(opened.error);
  printNotices(document);
  // Everything the run will write, checked before the first turn rather than at its end.
  if (FileOutcome writable = document.checkWritable(); !writable.ok()) return fail(writable.error);
  {
    // The saved parameters (or a gene file's parameter file) were read anew as the world was
    // made: what the command line adds comes after them.
    std::lock_guard<FairMutex> lock(world.mutex());
    if (!loadFolder.empty() && !o.parameterFile.empty())
      readParameterFile(world.place().parameters(), o.parameterFile, true);
    applySettings(o, world.place().parameters());
  }

  int savedTurn = -1;  // the turn of the folder's last save by this run
  auto save = [&]() -> FileOutcome {
    FileOutcome saved = document.save();
    if (saved.ok()) savedTurn = countsOf(world).turn;
    return saved;
  };
  if (loadFolder.empty()) {
    // A new world is saved at once, so its folder is a whole save from its first turn on.
    if (FileOutcome saved = save(); !saved.ok()) return fail(saved.error);
  }

  const Counts first = countsOf(world);
  if (first.living == 0) std::fprintf(stderr, "vek-batch: warning: the world holds no individual\n");
  if (!o.until && o.turns > INT_MAX - first.turn)
    return fail("the world stands at turn " + std::to_string(first.turn) + "; " + std::to_string(o.turns) +
                " more turns would pass the largest turn number");
  const bool resumed = o.resume && !loadFolder.empty();
  if (o.seed && !resumed) world.place().random().reseed(*o.seed);
  world.setProfiling(o.profile);
  // A batch run is the machine's work, not a desktop's: it keeps the process's priority, and
  // whoever wants it lower uses nice.
  world.setLowestPriority(false);

  logs = std::make_unique<StatisticsLogs>(document.saveFolder(), fileLock);
  // The plain run stands for the whole plain program, whose logs were opened for every line.
  logs->setKeepFilesOpen(!o.reference);
  world.addObserver(logs.get());
  if (!o.noLineage) {
    lineage = std::make_unique<LineageLog>(document.saveFolder(), o.lineageEvery, fileLock);
    world.addObserver(lineage.get());
  }
  const int lastTurn = o.until ? std::max(first.turn, *o.until) : first.turn + o.turns;
  if (o.snapshotEvery > 0) {
    const std::string folder =
        asFolder(o.snapshotFolder.empty() ? document.saveFolder() + "snapshots" : absoluteFolder(o.snapshotFolder));
    if (FileOutcome made = makeBaseFolder(folder); !made.ok()) return fail(made.error);
    if (FileOutcome writable = checkFolderTakesFiles(folder, "--snapshot-every"); !writable.ok())
      return fail(writable.error);
    snapshots = std::make_unique<SnapshotSeries>(folder, o.snapshotEvery, fileLock);
    if (!o.force) {
      if (FileOutcome free = snapshots->checkNothingReplaced(first.turn, lastTurn); !free.ok()) return fail(free.error);
    }
    world.addObserver(snapshots.get());
  }
  if (!o.quiet && isatty(STDERR_FILENO)) {
    progress = std::make_unique<ProgressBar>(first.turn, lastTurn);
    world.addObserver(progress.get());
  }

  // The action refers to the world, so it is cleared before the world goes.
  struct ClearAction {
    InterruptWatcher& watcher;
    ~ClearAction() { watcher.clearAction(); }
  } clearAction{watcher};
  watcher.setAction([&world] {
    std::fputs("\nvek-batch: interrupted; the world stops after its current step and is saved\n", stderr);
    world.pause();
  });

  const auto started = std::chrono::steady_clock::now();
  const double cpuStarted = processorSeconds();
  auto filesFailed = [&] { return logs->failures() > 0 || (lineage && lineage->failures() > 0); };
  for (int turn = first.turn; turn < lastTurn && !watcher.interrupted() && !filesFailed();) {
    const int next = o.saveEvery > 0 && lastTurn - turn > o.saveEvery ? turn + o.saveEvery : lastTurn;
    runUntil(world, watcher, next);
    turn = countsOf(world).turn;
    if (turn < lastTurn && !watcher.interrupted() && !filesFailed()) {
      if (FileOutcome saved = save(); !saved.ok()) return fail(saved.error);
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const double cpuSeconds = processorSeconds() - cpuStarted;
  if (progress) progress->finish();

  if (filesFailed()) {
    // The logs lack a turn from here on: a save now would record them out of step with the world.
    const std::string kept = savedTurn >= 0 ? "its save of turn " + std::to_string(savedTurn)
                                            : "the save it was loaded from";
    const std::string fault = logs->failures() > 0 ? logs->firstFailure() : lineage->firstFailure();
    return fail(fault + "; the run stopped after turn " + std::to_string(countsOf(world).turn) +
                " without saving. The folder keeps " + kept + ", to which its logs are cut back when it is loaded again");
  }
  if (FileOutcome saved = save(); !saved.ok()) return fail(saved.error);
  if (snapshots && snapshots->failures() > 0)
    std::fprintf(stderr, "vek-batch: warning: %d numbered snapshots were not written; the first fault: %s\n",
                 snapshots->failures(), snapshots->firstFailure().c_str());
  if (!o.snapshotFile.empty()) {
    std::string text;
    {
      std::lock_guard<FairMutex> lock(world.mutex());
      text = snapshotText(world.place());
    }
    if (FileOutcome written = writeSnapshotFile(o.snapshotFile, text, fileLock); !written.ok())
      return fail(written.error);
  }

  const Counts last = countsOf(world);
  const int run = last.turn - first.turn;
  if (!o.quiet)
    std::printf("vek-batch: %d turns in %.1f s (%.1f turns/s); turn %d, %d living, %d genes; saved in %s\n", run,
                seconds, seconds > 0 ? run / seconds : 0.0, last.turn, last.living, last.genes,
                document.saveFolder().c_str());
  std::fflush(stdout);
  if (o.profile) printProfile(world, seconds, run);
  if (!o.summaryFile.empty()) {
    RunFacts facts{document.saveFolder(), resumed ? std::nullopt : o.seed, o.reference, first.turn, seconds,
                   cpuSeconds, watcher.interrupted()};
    if (!facts.seed && loadFolder.empty()) facts.seed = 1033;  // a new world's generator starts there
    std::string text;
    {
      std::lock_guard<FairMutex> lock(world.mutex());
      text = runSummaryText(world, facts);
    }
    if (FileOutcome written = writeRunSummary(o.summaryFile, text); !written.ok()) return fail(written.error);
  }
  return watcher.interrupted() ? 128 + watcher.signal() : 0;
}

}  // namespace vek::batch
