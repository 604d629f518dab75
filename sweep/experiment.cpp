#include "sweep/experiment.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <toml++/toml.h>

#include "body/parameters.h"
#include "sweep/number_text.h"

namespace vek::sweep {

namespace {

// More values than this in one grid axis is a typo in a range, not an experiment.
constexpr double kMaxAxisValues = 100000;

struct Failure {
  std::string message;
};

class Reader {
 public:
  Reader(const std::string& path, bool findFiles) : mPath(path), mFindFiles(findFiles) {}

  [[noreturn]] void fail(const toml::source_region& where, const std::string& message) const {
    throw Failure{mPath + ":" + std::to_string(where.begin.line) + ": " + message};
  }

  std::string string(const toml::node& node, const std::string& key) const {
    if (!node.is_string()) fail(node.source(), key + " must be a text in quotes");
    return *node.value<std::string>();
  }

  std::int64_t integer(const toml::node& node, const std::string& key, std::int64_t lowest,
                       std::int64_t highest) const {
    if (!node.is_integer()) fail(node.source(), key + " must be a whole number");
    const std::int64_t value = *node.value<std::int64_t>();
    if (value < lowest || value > highest)
      fail(node.source(), key + " must lie from " + std::to_string(lowest) + " to " + std::to_string(highest));
    return value;
  }

  double number(const toml::node& node, const std::string& key) const {
    if (!node.is_number()) fail(node.source(), key + " must be a number");
    const double value = *node.value<double>();
    if (!std::isfinite(value)) fail(node.source(), key + " must be a finite number");
    return value;
  }

  // A value for parameter `key`: any finite number, a whole one in the 32-bit range for the
  // integer parameters.
  double parameterValue(const toml::node& node, const ParameterKey& key) const {
    const double value = number(node, key.name);
    if (key.isInteger() && (value != std::floor(value) || value < -2147483648.0 || value > 2147483647.0))
      fail(node.source(), key.name + " takes a whole number, not " + shortestText(value));
    return value;
  }

  ParameterKey parameterKey(const toml::key& key) const {
    const std::optional<ParameterKey> found = findParameterKey(key.str());
    if (!found) fail(key.source(), std::string(key.str()) + " is not a key of the parameter file");
    return *found;
  }

  // { from = A, to = B, step = S }: A, A + S, ... up to B (B included when the steps reach
  // it). Each value is rounded to 12 significant digits, so 0.1 steps give 0.3, not
  // 0.30000000000000004.
  std::vector<double> range(const toml::table& table, const ParameterKey& key) const {
    for (auto&& [name, value] : table)
      if (name != "from" && name != "to" && name != "step")
        fail(name.source(), "a range of " + key.name + " has from, to and step, not " + std::string(name.str()));
    for (const char* part : {"from", "to", "step"})
      if (!table.contains(part)) fail(table.source(), "the range of " + key.name + " lacks " + part);
    const double from = number(*table.get("from"), key.name + ".from");
    const double to = number(*table.get("to"), key.name + ".to");
    const double step = number(*table.get("step"), key.name + ".step");
    if (step <= 0) fail(table.get("step")->source(), "the step of " + key.name + " must be above 0");
    if (to < from) fail(table.get("to")->source(), "the range of " + key.name + " ends before it starts");
    const double count = std::floor((to - from) / step * (1 + 1e-12) + 1e-9) + 1;
    if (count > kMaxAxisValues)
      fail(table.source(), "the range of " + key.name + " has " + shortestText(count) + " values");
    std::vector<double> values;
    for (int i = 0; i < static_cast<int>(count); ++i) {
      char text[32];
      std::snprintf(text, sizeof text, "%.12g", from + i * step);
      values.push_back(parameterValueOf(*parseNumber(text), table, key));
    }
    return values;
  }

  double parameterValueOf(double value, const toml::table& where, const ParameterKey& key) const {
    if (key.isInteger() && value != std::floor(value))
      fail(where.source(), key.name + " takes whole numbers, and the range gives " + shortestText(value));
    return value;
  }

  GridAxis axis(const toml::key& name, const toml::node& node) const {
    const ParameterKey key = parameterKey(name);
    GridAxis axis{key.name, {}};
    if (const toml::array* list = node.as_array()) {
      for (const toml::node& value : *list) axis.values.push_back(parameterValue(value, key));
    } else if (const toml::table* table = node.as_table()) {
      axis.values = range(*table, key);
    } else {
      fail(node.source(), key.name + " in [grid] must be a list of values or a range {from, to, step}");
    }
    if (axis.values.empty()) fail(node.source(), "the grid gives " + key.name + " no value");
    std::set<double> seen;
    for (double value : axis.values)
      if (!seen.insert(value).second)
        fail(node.source(), "the grid gives " + key.name + " the value " + shortestText(value) + " twice");
    return axis;
  }

  std::vector<std::uint32_t> seeds(const toml::node& node) const {
    std::vector<std::uint32_t> seeds;
    if (node.is_integer()) {
      const std::int64_t count = integer(node, "replicates", 1, 100000);
      for (std::int64_t seed = 1; seed <= count; ++seed) seeds.push_back(static_cast<std::uint32_t>(seed));
      return seeds;
    }
    const toml::array* list = node.as_array();
    if (!list) fail(node.source(), "replicates must be a count (seeds 1 to n) or a list of seeds");
    if (list->empty()) fail(node.source(), "the list of replicates names no seed");
    std::set<std::uint32_t> seen;
    for (const toml::node& value : *list) {
      const auto seed = static_cast<std::uint32_t>(integer(value, "a seed", 0, 4294967295LL));
      if (!seen.insert(seed).second) fail(value.source(), "the seed " + std::to_string(seed) + " is given twice");
      seeds.push_back(seed);
    }
    return seeds;
  }

  std::string existingFile(const toml::node& node, const std::string& key, std::string& written) const {
    written = string(node, key);
    if (!mFindFiles) return {};
    std::filesystem::path path = written;
    if (path.is_relative()) path = std::filesystem::path(mPath).parent_path() / path;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error).lexically_normal();
    if (!std::filesystem::is_regular_file(absolute, error))
      fail(node.source(), key + ": there is no file " + absolute.string());
    return absolute.string();
  }

  Experiment read(const toml::table& root) const {
    Experiment e;
    bool named = false, turned = false, saved = false, replicated = false;
    for (auto&& [key, node] : root) {
      const std::string name(key.str());
      if (name == "name") {
        e.name = string(node, name);
        if (e.name.empty()) fail(node.source(), "the name is empty");
        named = true;
      } else if (name == "turns") {
        e.turns = static_cast<int>(integer(node, name, 1, 2147483647));
        turned = true;
      } else if (name == "save_every") {
        e.saveEvery = static_cast<int>(integer(node, name, 1, 2147483647));
        saved = true;
      } else if (name == "snapshot_every") {
        e.snapshotEvery = static_cast<int>(integer(node, name, 1, 2147483647));
      } else if (name == "replicates") {
        e.seeds = seeds(node);
        replicated = true;
      } else if (name == "parameter_file") {
        e.parameterFilePath = existingFile(node, name, e.parameterFile);
      } else if (name == "gene_file") {
        e.geneFilePath = existingFile(node, name, e.geneFile);
      } else if (name == "parameters") {
        const toml::table* table = node.as_table();
        if (!table) fail(node.source(), "parameters must be a table: [parameters] and KEY = VALUE lines");
        for (auto&& [parameter, value] : inFileOrder(*table)) {
          const ParameterKey found = parameterKey(*parameter);
          e.parameters.emplace_back(found.name, parameterValue(*value, found));
        }
      } else if (name == "grid") {
        const toml::table* table = node.as_table();
        if (!table) fail(node.source(), "grid must be a table: [grid] and KEY = [VALUES] lines");
        if (table->empty()) fail(node.source(), "the grid names no parameter (leave [grid] out for one setting)");
        for (auto&& [parameter, value] : inFileOrder(*table)) e.grid.push_back(axis(*parameter, *value));
      } else {
        fail(key.source(), "unknown key " + name +
                               " (an experiment has name, turns, save_every, replicates, snapshot_every, "
                               "parameter_file, gene_file, [parameters] and [grid])");
      }
    }
    const toml::source_region start{{1, 1}, {1, 1}, nullptr};
    if (!named) fail(start, "the experiment has no name (name = \"...\")");
    if (!turned) fail(start, "the experiment says no turns (turns = N)");
    if (!saved) fail(start, "the experiment has no save interval (save_every = K)");
    if (!replicated) fail(start, "the experiment has no replicates (a count, or a list of seeds)");
    for (const auto& [key, value] : e.parameters)
      for (const GridAxis& axis : e.grid)
        if (axis.key == key)
          fail(root["grid"][key].node()->source(), key + " is both in [parameters] and in [grid]");
    return e;
  }

 private:
  // toml++ keeps a table's keys sorted by name; the experiment's order is the file's.
  static std::vector<std::pair<const toml::key*, const toml::node*>> inFileOrder(const toml::table& table) {
    std::vector<std::pair<const toml::key*, const toml::node*>> entries;
    for (auto&& [key, value] : table) entries.emplace_back(&key, &value);
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
      const auto& x = a.first->source().begin;
      const auto& y = b.first->source().begin;
      return x.line != y.line ? x.line < y.line : x.column < y.column;
    });
    return entries;
  }

  std::string mPath;
  bool mFindFiles;
};

}  // namespace

ExperimentRead parseExperiment(std::string_view text, const std::string& path, bool findFiles) {
  try {
    const toml::table root = toml::parse(text, path);
    return {Reader(path, findFiles).read(root), {}};
  } catch (const toml::parse_error& error) {
    return {std::nullopt, path + ":" + std::to_string(error.source().begin.line) + ": " +
                              std::string(error.description())};
  } catch (const Failure& failure) {
    return {std::nullopt, failure.message};
  }
}

ExperimentRead readExperiment(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {std::nullopt, path + ": cannot read the experiment file"};
  std::ostringstream text;
  text << in.rdbuf();
  return parseExperiment(text.str(), path);
}

}  // namespace vek::sweep
