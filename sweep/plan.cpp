#include "sweep/plan.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/file_outcome.h"
#include "base/text_io.h"
#include "sweep/csv.h"
#include "sweep/number_text.h"
#include "sweep/processes.h"
#include "sweep/run_folder.h"

namespace vek::sweep {

namespace {

constexpr const char* kExperimentCopy = "experiment.toml";
constexpr const char* kParameterCopy = "base.pini";
constexpr const char* kGeneCopy = "base.gini";

std::optional<std::string> fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string absoluteFolder(const std::string& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) absolute = path;
  std::string folder = absolute.lexically_normal().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// The files a plan copies from where the experiment names them: (copy, source).
std::vector<std::pair<std::string, std::string>> copiedFiles(const Experiment& e) {
  std::vector<std::pair<std::string, std::string>> files;
  if (!e.parameterFilePath.empty()) files.emplace_back(kParameterCopy, e.parameterFilePath);
  if (!e.geneFilePath.empty()) files.emplace_back(kGeneCopy, e.geneFilePath);
  return files;
}

FileOutcome writeFile(const std::string& path, const std::string& text) {
  errno = 0;
  if (!writeFileAtomically(path, text)) return {describeFileError("cannot write", path)};
  return {};
}

}  // namespace

int Plan::settingCount() const {
  return experiment.seeds.empty() ? 0 : static_cast<int>(runs.size() / experiment.seeds.size());
}

std::vector<Run> expandRuns(const Experiment& e) {
  std::vector<Run> runs;
  std::vector<size_t> index(e.grid.size(), 0);
  for (int setting = 0;; ++setting) {
    std::string folder = "runs/";
    std::vector<double> values;
    for (size_t axis = 0; axis < e.grid.size(); ++axis) {
      values.push_back(e.grid[axis].values[index[axis]]);
      folder += e.grid[axis].key + "=" + shortestText(values.back()) + "/";
    }
    for (std::uint32_t seed : e.seeds)
      runs.push_back({static_cast<int>(runs.size()) + 1, setting, folder + "seed=" + std::to_string(seed), seed, values});
    // The next combination, the last axis varying fastest.
    size_t axis = e.grid.size();
    while (axis > 0 && ++index[axis - 1] == e.grid[axis - 1].values.size()) index[--axis] = 0;
    if (axis == 0) break;
  }
  return runs;
}

Parameters plannedParameters(const Plan& plan, const Run& run) {
  Parameters p;
  if (!plan.experiment.parameterFilePath.empty()) readParameterFile(p, plan.experiment.parameterFilePath, true);
  for (const auto& [key, value] : plan.experiment.parameters) findParameterKey(key)->set(p, value);
  for (size_t axis = 0; axis < plan.experiment.grid.size(); ++axis)
    findParameterKey(plan.experiment.grid[axis].key)->set(p, run.values[axis]);
  return p;
}

std::vector<std::string> runArguments(const Plan& plan, const Run& run, const std::string& batchProgram) {
  const Experiment& e = plan.experiment;
  std::vector<std::string> arguments = {batchProgram, "--base", run.folder, "--seed", std::to_string(run.seed)};
  if (!e.parameterFile.empty()) arguments.insert(arguments.end(), {"--param", kParameterCopy});
  if (!e.geneFile.empty()) arguments.insert(arguments.end(), {"--gene", kGeneCopy});
  for (const auto& [key, value] : e.parameters) arguments.insert(arguments.end(), {"--set", key + "=" + shortestText(value)});
  for (size_t axis = 0; axis < e.grid.size(); ++axis)
    arguments.insert(arguments.end(), {"--set", e.grid[axis].key + "=" + shortestText(run.values[axis])});
  arguments.insert(arguments.end(), {"--until", std::to_string(e.turns), "--save-every", std::to_string(e.saveEvery)});
  // A resumed run writes again the snapshots of the turns after its last save.
  if (e.snapshotEvery > 0)
    arguments.insert(arguments.end(), {"--snapshot-every", std::to_string(e.snapshotEvery), "--force"});
  arguments.insert(arguments.end(), {"--summary", run.folder + "/summary.json", "--resume", "--quiet"});
  return arguments;
}

std::string runsCsvText(const Plan& plan) {
  std::vector<std::string> header = {"run", "folder", "seed"};
  for (const GridAxis& axis : plan.experiment.grid) header.push_back(axis.key);
  std::string text = csvRow(header);
  for (const Run& run : plan.runs) {
    std::vector<std::string> row = {std::to_string(run.id), run.folder, std::to_string(run.seed)};
    for (double value : run.values) row.push_back(shortestText(value));
    text += csvRow(row);
  }
  return text;
}

std::string commandsText(const Plan& plan, const std::string& batchProgram) {
  std::string text;
  for (const Run& run : plan.runs) text += shellCommand(runArguments(plan, run, batchProgram)) + "\n";
  return text;
}

PlanOutcome makePlan(const std::string& experimentFile, const std::string& directory, bool force,
                     const std::string& batchProgram) {
  const std::optional<std::string> text = fileText(experimentFile);
  if (!text) return {std::nullopt, experimentFile + ": cannot read the experiment file"};
  ExperimentRead read = parseExperiment(*text, experimentFile);
  if (!read.experiment) return {std::nullopt, read.error};
  Plan plan{absoluteFolder(directory), *read.experiment, {}};
  plan.runs = expandRuns(plan.experiment);

  std::error_code error;
  const std::string copy = plan.directory + kExperimentCopy;
  if (std::optional<std::string> planned = fileText(copy)) {
    bool same = *planned == *text;
    for (const auto& [name, source] : copiedFiles(plan.experiment)) same = same && fileText(plan.directory + name) == fileText(source);
    if (same) {
      PlanOutcome outcome = loadPlan(plan.directory);
      outcome.unchanged = outcome.plan.has_value();
      return outcome;
    }
    if (!force)
      return {std::nullopt, plan.directory + " holds the plan of a different experiment (its " + kExperimentCopy +
                                " or a file it names differs from " + experimentFile +
                                "); plan with --force to replace the plan, or choose another --out"};
  } else if (std::filesystem::exists(plan.directory, error) && !std::filesystem::is_empty(plan.directory, error) &&
             !force) {
    return {std::nullopt, plan.directory + " is not empty and holds no plan; choose another --out (or --force)"};
  }
  if (std::string different = checkRunFolders(plan); !different.empty()) return {std::nullopt, different};

  std::filesystem::create_directories(plan.directory, error);
  if (!std::filesystem::is_directory(plan.directory))
    return {std::nullopt, "cannot make the folder " + plan.directory + (error ? ": " + error.message() : "")};
  for (const auto& [name, source] : copiedFiles(plan.experiment)) {
    const std::optional<std::string> bytes = fileText(source);
    if (!bytes) return {std::nullopt, source + ": cannot read it"};
    if (FileOutcome written = writeFile(plan.directory + name, *bytes); !written.ok()) return {std::nullopt, written.error};
  }
  for (const Run& run : plan.runs) {
    std::filesystem::create_directories(plan.runFolder(run), error);
    if (error) return {std::nullopt, "cannot make the folder " + plan.runFolder(run) + ": " + error.message()};
  }
  for (const auto& [name, bytes] :
       {std::pair<std::string, std::string>{"runs.csv", runsCsvText(plan)},
        {"commands.txt", commandsText(plan, batchProgram)}, {kExperimentCopy, *text}}) {
    if (FileOutcome written = writeFile(plan.directory + name, bytes); !written.ok()) return {std::nullopt, written.error};
  }
  // The plan works with its copies from now on, whatever happens to the originals.
  return loadPlan(plan.directory);
}

PlanOutcome loadPlan(const std::string& directory) {
  const std::string folder = absoluteFolder(directory);
  const std::string copy = folder + kExperimentCopy;
  const std::optional<std::string> text = fileText(copy);
  if (!text) return {std::nullopt, folder + " holds no plan (no " + kExperimentCopy + "); make one with vek-sweep plan"};
  ExperimentRead read = parseExperiment(*text, copy, false);
  if (!read.experiment) return {std::nullopt, read.error};
  Plan plan{folder, *read.experiment, {}};
  if (!plan.experiment.parameterFile.empty()) plan.experiment.parameterFilePath = folder + kParameterCopy;
  if (!plan.experiment.geneFile.empty()) plan.experiment.geneFilePath = folder + kGeneCopy;
  for (const std::string& file : {plan.experiment.parameterFilePath, plan.experiment.geneFilePath})
    if (!file.empty() && !std::filesystem::is_regular_file(file))
      return {std::nullopt, file + " is missing: the plan in " + folder + " is incomplete; plan it again"};
  plan.runs = expandRuns(plan.experiment);
  return {plan, {}};
}

}  // namespace vek::sweep
