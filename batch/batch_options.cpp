#include "batch/batch_options.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <climits>
#include <cstdio>
#include <string_view>

#include "body/parameters.h"

namespace vek::batch {

namespace {

// "KEY=VALUE" as a parameter key of the parameter file and a number; an empty string when it
// is one, else what is wrong with it.
std::string parseSetting(const std::string& text, std::pair<std::string, double>& setting) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos) return "--set " + text + ": expected KEY=VALUE";
  const std::string key = text.substr(0, equals);
  const std::string_view value = std::string_view(text).substr(equals + 1);
  const std::optional<ParameterKey> known = findParameterKey(key);
  if (!known) return "--set " + text + ": " + key + " is not a key of the parameter file";
  double number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (value.empty() || error != std::errc() || end != value.data() + value.size())
    return "--set " + text + ": " + std::string(value) + " is not a number";
  if (known->isInteger() && (number != static_cast<double>(static_cast<long long>(number)) ||
                             number < INT_MIN || number > INT_MAX))
    return "--set " + text + ": " + key + " takes a whole number";
  setting = {key, number};
  return {};
}

}  // namespace

ParsedCommandLine parseCommandLine(int argc, char** argv) {
  BatchOptions o;
  long long seed = -1;
  CLI::App app{
      "Runs a Vek world without windows: a new world from the built-in genome (or from an initial gene\n"
      "file), or a saved world, for a number of turns; then saves it into its save folder, whose\n"
      "statistics logs grow by one line per turn.",
      "vek-batch"};
  auto* load = app.add_option("--load", o.loadFolder,
                              "Continue the world saved in DIR (the folder holding Vek.vek); its logs are appended to")
                   ->type_name("DIR")
                   ->check(CLI::ExistingDirectory);
  app.add_option("--gene", o.geneFile,
                 "Create the world from this initial gene file; its first word names the save folder")
      ->type_name("FILE.gini")
      ->check(CLI::ExistingFile)
      ->excludes(load);
  app.add_option("--param", o.parameterFile,
                 "Read this parameter file (with --load: after the saved parameters, replacing them)")
      ->type_name("FILE.pini")
      ->check(CLI::ExistingFile);
  std::vector<std::string> settings;
  app.add_option("--set", settings,
                 "Set one parameter of the parameter file by its key, after --param (and after the saved "
                 "parameters with --load); may be given several times")
      ->type_name("KEY=VALUE");
  app.add_option("--base", o.baseDirectory,
                 "The folder in which a new world's save folder is made (created, with its parents, if missing)")
      ->type_name("DIR")
      ->capture_default_str()
      ->excludes(load);
  auto* turns =
      app.add_option("--turns", o.turns, "Whole turns to run from where the world stands (0: just create and save)")
          ->type_name("N")
          ->check(CLI::Range(0, INT_MAX))
          ->capture_default_str();
  app.add_option("--until", o.until,
                 "Run until the world's turn reaches T (nothing when it already has): a command that can be "
                 "given again after an interruption")
      ->type_name("T")
      ->check(CLI::Range(0, INT_MAX))
      ->excludes(turns);
  app.add_flag("--resume", o.resume,
               "When the folder a new world would get already holds a saved world, continue that one as "
               "--load does (its random numbers go on; --seed is then not used) instead of refusing")
      ->excludes(load);
  app.add_option("--seed", seed, "Reseed the random numbers (without it a run starts from 1033 and repeats itself)")
      ->type_name("S")
      ->check(CLI::Range(0LL, 4294967295LL));
  app.add_option("--save-every", o.saveEvery, "Also save the world after every K turns")
      ->type_name("K")
      ->check(CLI::Range(1, INT_MAX));
  app.add_option("--snapshot", o.snapshotFile, "Write a snapshot of the whole world for the viewer at the end")
      ->type_name("FILE.view");
  auto* every = app.add_option("--snapshot-every", o.snapshotEvery,
                               "Also write a numbered snapshot (world-000100.view, ...) after every turn that is a "
                               "multiple of K")
                    ->type_name("K")
                    ->check(CLI::Range(1, INT_MAX));
  app.add_option("--snapshot-dir", o.snapshotFolder,
                 "The folder of the numbered snapshots (default: snapshots/ in the save folder)")
      ->type_name("DIR")
      ->needs(every);
  app.add_flag("--force", o.force, "Let numbered snapshots replace those an earlier run left in their folder")
      ->needs(every);
  auto* noLineage = app.add_flag("--no-lineage", o.noLineage, "Record no lineage (no phylogeny.csv, no lineage_counts.csv)");
  app.add_option("--lineage-every", o.lineageEvery,
                 "Write the carriers of every living genome to lineage_counts.csv every K turns (0: never)")
      ->type_name("K")
      ->check(CLI::Range(0, INT_MAX))
      ->capture_default_str()
      ->excludes(noLineage);
  app.add_flag("--lineage-prune", o.lineagePrune,
               "Keep in phylogeny.csv only the genomes with a living descendant (a small file for long runs)")
      ->excludes(noLineage);
  app.add_flag("--lineage-reset", o.lineageReset,
               "When a loaded folder's phylogeny.csv does not fit its world (damaged or edited), start the lineage "
               "anew from the living genomes instead of refusing the load")
      ->excludes(noLineage);
  app.add_option("--summary", o.summaryFile,
                 "At the end, write the run's final figures, timing and settings as JSON")
      ->type_name("FILE.json");
  app.add_flag("--quiet", o.quiet, "No progress bar and no summary line");
  app.add_flag("--profile", o.profile,
               "At the end, print the wall time of each phase and the covered-cell visits of the light");
  app.add_flag("--reference", o.reference,
               "Run the plain algorithms (whole-grid light, full scans, logs opened for every line) that the "
               "fast ones are checked against");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return {std::nullopt, app.exit(help)};
  } catch (const CLI::ParseError& error) {
    std::fprintf(stderr, "vek-batch: %s\nRun vek-batch --help for the options.\n", error.what());
    return {std::nullopt, 2};
  }
  if (seed >= 0) o.seed = static_cast<std::uint32_t>(seed);
  for (const std::string& text : settings) {
    std::pair<std::string, double> setting;
    if (const std::string error = parseSetting(text, setting); !error.empty()) {
      std::fprintf(stderr, "vek-batch: %s\nRun vek-batch --help for the options.\n", error.c_str());
      return {std::nullopt, 2};
    }
    // The base is kept in the parameter file only; a study that sweeps it would see no effect.
    if (setting.first == "mCPU_energy_base")
      std::fprintf(stderr,
                   "vek-batch: note: --set mCPU_energy_base changes no instruction's cost; each cost is a key "
                   "of its own (mCPU_energy_nop_0, mCPU_energy_make_leaf, ...)\n");
    o.settings.push_back(setting);
  }
  return {o, 0};
}

}  // namespace vek::batch
