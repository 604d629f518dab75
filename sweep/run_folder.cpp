#include "sweep/run_folder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "records/world_document.h"
#include "sweep/csv.h"
#include "sweep/number_text.h"

namespace vek::sweep {

namespace {

// Whether a task holds the run's lock now.
bool lockIsHeld(const std::string& runFolder) {
  const std::string path = runFolder + "run.lock";
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return held;
}

struct Summary {
  int turn = -1;
  bool interrupted = false;
};

std::optional<Summary> readSummary(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  const nlohmann::json json = nlohmann::json::parse(in, nullptr, false);
  if (json.is_discarded() || !json.is_object() || !json.contains("turn") || !json["turn"].is_number_integer())
    return std::nullopt;
  return Summary{json["turn"].get<int>(), json.value("interrupted", false)};
}

// The exit code of the last attempt that ended, from attempts.csv.
int lastExitCode(const std::string& runFolder) {
  std::ifstream in(runFolder + "attempts.csv", std::ios::binary);
  std::string line, last;
  std::getline(in, line);  // the header
  while (std::getline(in, line))
    if (!line.empty()) last = line;
  if (last.empty()) return -1;
  const std::vector<std::string> fields = csvFields(last);
  const std::optional<double> code = fields.size() >= 5 ? parseNumber(fields[4]) : std::nullopt;
  return code ? static_cast<int>(*code) : -1;
}

// The turns a world's logs have seen: one line per turn in each of them.
int loggedTurns(const std::string& saveFolder) {
  std::ifstream in(saveFolder + "seed_num.log", std::ios::binary);
  if (!in) return -1;
  int lines = 0;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
    for (std::streamsize i = 0; i < in.gcount(); ++i) lines += buffer[i] == '\n';
  return lines;
}

std::string lastLinesOf(std::string text, int lines) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  size_t from = text.size();
  for (int i = 0; i < lines && from != std::string::npos && from > 0; ++i) from = text.rfind('\n', from - 1);
  return from == std::string::npos || from == text.size() ? text : text.substr(from + 1);
}

// The last lines of what the last attempt wrote, below its header line ("== ...").
std::string lastAttemptOutput(const std::string& path, int lines) {
  std::string text = lastLines(path, 200);
  const size_t header = text.rfind("== ", std::string::npos);
  if (header != std::string::npos && (header == 0 || text[header - 1] == '\n')) {
    const size_t end = text.find('\n', header);
    text = end == std::string::npos ? std::string() : text.substr(end + 1);
  }
  return lastLinesOf(text, lines);
}

}  // namespace

const char* stateName(RunState state) {
  switch (state) {
    case RunState::kNotStarted: return "not started";
    case RunState::kRunning: return "running";
    case RunState::kInterrupted: return "interrupted";
    case RunState::kFailed: return "failed";
    case RunState::kDone: return "done";
  }
  return "";
}

bool isRunning(const Plan& plan, const Run& run) { return lockIsHeld(plan.runFolder(run)); }

bool isInterruption(int exitCode) {
  return exitCode == 128 + SIGINT || exitCode == 128 + SIGTERM || exitCode == 128 + SIGHUP ||
         exitCode == 128 + SIGKILL;
}

std::string saveFolderOf(const Plan& plan, const Run& run) {
  const std::string runFolder = plan.runFolder(run);
  if (plan.experiment.geneFilePath.empty()) return builtInSaveFolder(runFolder);
  std::string folder;
  if (!initialGeneFileSaveFolder(runFolder, plan.experiment.geneFilePath, folder).ok()) return builtInSaveFolder(runFolder);
  return asFolder(folder);
}

RunStatus runStatus(const Plan& plan, const Run& run, bool probeLock) {
  const std::string runFolder = plan.runFolder(run);
  const std::string saveFolder = saveFolderOf(plan, run);
  RunStatus status;
  status.exitCode = lastExitCode(runFolder);
  const std::optional<Summary> summary = readSummary(runFolder + "summary.json");
  const bool saved = std::filesystem::exists(saveFolder + kMarkerFileName);
  if (saved) status.turn = loggedTurns(saveFolder);
  if (probeLock && lockIsHeld(runFolder)) {
    status.state = RunState::kRunning;
  } else if (summary && !summary->interrupted && summary->turn >= plan.experiment.turns) {
    status.state = RunState::kDone;
    status.turn = summary->turn;
  } else if (status.exitCode > 0 && !isInterruption(status.exitCode)) {
    status.state = RunState::kFailed;
    status.errorTail = lastAttemptOutput(runFolder + "run.log", 5);
  } else if (saved || status.exitCode >= 0) {
    status.state = RunState::kInterrupted;
    if (summary && summary->interrupted) status.turn = summary->turn;
  }
  return status;
}

std::string differentWorld(const Plan& plan, const Run& run) {
  const std::string saveFolder = saveFolderOf(plan, run);
  if (!std::filesystem::exists(saveFolder + kMarkerFileName)) return {};
  Parameters saved;
  if (!readParameterFile(saved, saveFolder + "parameter.pini", true))
    return saveFolder + " holds a world without a readable parameter.pini; move it away or plan another folder";
  // The saved file keeps 10 significant digits: the plan's values are compared as written.
  Parameters planned;
  std::istringstream text(parameterFileText(plannedParameters(plan, run)));
  readParameters(planned, text);
  for (const ParameterKey& key : parameterKeys()) {
    const double there = key.get(saved), here = key.get(planned);
    if (there != here && !(there != there && here != here))
      return saveFolder + " holds a different world: " + key.name + " is " + shortestText(there) + " there and " +
             shortestText(here) + " in the plan; move it away or plan another folder";
  }
  return {};
}

std::string checkRunFolders(const Plan& plan) {
  // A running run's world was checked by its task, and may be half made just now.
  for (const Run& run : plan.runs)
    if (!lockIsHeld(plan.runFolder(run)))
      if (std::string different = differentWorld(plan, run); !different.empty()) return different;
  return {};
}

std::vector<const Run*> runsToStart(const Plan& plan, int& running) {
  std::vector<const Run*> runs;
  running = 0;
  for (const Run& run : plan.runs) {
    const RunState state = runStatus(plan, run).state;
    if (state == RunState::kRunning) ++running;
    else if (state != RunState::kDone) runs.push_back(&run);
  }
  return runs;
}

std::string lastLines(const std::string& path, int lines) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  // The tail of a long output is all that is wanted.
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(size > 65536 ? size - 65536 : 0);
  return lastLinesOf(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), lines);
}

}  // namespace vek::sweep
