#include "sweep/status.h"

#include <vector>

namespace vek::sweep {

namespace {

constexpr RunState kReportOrder[] = {RunState::kDone, RunState::kRunning, RunState::kInterrupted, RunState::kFailed,
                                     RunState::kNotStarted};

std::string runName(const Run& run) { return "run " + std::to_string(run.id) + " (" + run.folder + ")"; }

std::string turnText(const RunStatus& status, int turns) {
  if (status.turn < 0) return "";
  return ", turn " + std::to_string(status.turn) + " of " + std::to_string(turns);
}

std::string indented(const std::string& text) {
  if (text.empty()) return "    (no output)\n";
  std::string lines = "    ";
  for (char c : text) lines += c == '\n' ? std::string("\n    ") : std::string(1, c);
  return lines + "\n";
}

}  // namespace

std::string rangesText(const std::vector<int>& ids, const std::string& separator) {
  std::string text;
  for (size_t i = 0; i < ids.size();) {
    size_t j = i;
    while (j + 1 < ids.size() && ids[j + 1] == ids[j] + 1) ++j;
    text += (text.empty() ? "" : separator) + std::to_string(ids[i]) + (j > i ? "-" + std::to_string(ids[j]) : "");
    i = j + 1;
  }
  return text;
}

std::string countsLine(const StatusCounts& counts, int runs) {
  std::string line = std::to_string(runs) + " runs:";
  bool first = true;
  for (RunState state : kReportOrder) {
    line += std::string(first ? " " : ", ") + std::to_string(counts.of(state)) + " " + stateName(state);
    first = false;
  }
  return line;
}

StatusCounts countRuns(const Plan& plan) {
  StatusCounts counts;
  for (const Run& run : plan.runs) ++counts.byState[static_cast<int>(runStatus(plan, run).state)];
  return counts;
}

std::string statusReport(const Plan& plan) {
  StatusCounts counts;
  std::string details;
  std::vector<int> notStarted;
  const int turns = plan.experiment.turns;
  for (const Run& run : plan.runs) {
    const RunStatus status = runStatus(plan, run);
    ++counts.byState[static_cast<int>(status.state)];
    switch (status.state) {
      case RunState::kDone: break;
      case RunState::kNotStarted: notStarted.push_back(run.id); break;
      case RunState::kRunning:
        details += "running      " + runName(run) + turnText(status, turns) + "\n";
        break;
      case RunState::kInterrupted:
        details += "interrupted  " + runName(run) + turnText(status, turns) + "; resumes from its last save\n";
        break;
      case RunState::kFailed: {
        details += "failed       " + runName(run) + turnText(status, turns) + ", exit " +
                   std::to_string(status.exitCode) + "; the end of its run.log:\n";
        details += indented(status.errorTail);
        break;
      }
    }
  }
  std::string report = "experiment " + plan.experiment.name + " in " + plan.directory + "\n" +
                       countsLine(counts, static_cast<int>(plan.runs.size())) + "\n" + details;
  if (!notStarted.empty()) report += "not started  runs " + rangesText(notStarted, ", ") + "\n";
  return report;
}

}  // namespace vek::sweep
