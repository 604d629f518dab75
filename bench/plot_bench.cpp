// The plots of long runs: a save folder of 1,000,000 turns read, reduced and drawn, and the
// Muller plot of its lineage. Also writes such files for timing the real vek-plot
// (scripts/plot-bench.sh):
//   vek_plot_bench --write-logs DIR [TURNS]
//   vek_plot_bench --write-lineage DIR [TURNS]
//
// The synthetic logs have the shapes and number widths of a real world's after a long run:
// a step counter near a billion, values with ten significant digits, random walks that
// wander the way a population does, and a one-turn spike in the population. The synthetic
// lineage has a real run's proportions: about 1,000 individuals of some 150 genomes, two new
// genomes a turn (so millions of them), and fitter genomes that sweep through the population.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "plot/figure_scene.h"
#include "plot/folder_figure.h"
#include "plot/log_reader.h"
#include "plot/muller_figure.h"

namespace {

using namespace vek::plot;

constexpr std::int64_t kBenchTurns = 1000000;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

void append(std::string& line, double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 10).ptr;
  line.append(text, end);
}

// Writes the 29 logs of `turns` turns into `folder` (made if missing).
bool writeSyntheticLogs(const std::string& folder, std::int64_t turns) {
  std::filesystem::create_directories(folder);
  std::vector<std::unique_ptr<std::FILE, FileCloser>> files;
  for (const LogFile& log : kLogFiles) {
    files.emplace_back(std::fopen((folder + "/" + log.name).c_str(), "wb"));
    if (!files.back()) return false;
    std::setvbuf(files.back().get(), nullptr, _IOFBF, 1 << 20);
  }
  std::mt19937_64 random(1033);
  std::normal_distribution<double> step(0.0, 1.0);
  std::vector<double> walk(kLogFileCount * 32, 100.0);
  std::int64_t counter = 0;
  double population = 1;
  std::string line;
  for (std::int64_t turn = 1; turn <= turns; ++turn) {
    population = std::clamp(population + step(random) * 8 + 0.002 * (1000 - population), 1.0, 5000.0);
    counter += static_cast<std::int64_t>(population);
    const std::string counterText = std::to_string(counter);
    for (int f = 0; f < kLogFileCount; ++f) {
      const LogFile& log = kLogFiles[f];
      line = counterText;
      if (log.textFollows) {
        const std::int64_t seconds = 1796655512 + turn / 900;
        line += " " + std::to_string((seconds + 32400) % 86400) + " " + std::to_string(seconds) +
                " Mon Dec 07 14:58:32 2026";
      } else {
        for (int v = 1; v < log.numbers; ++v) {
          double& value = walk[static_cast<std::size_t>(f * 32 + v - 1)];
          value = std::fabs(value + step(random) * 0.37);
          line += ' ';
          if (std::strcmp(log.name, "seed_num.log") == 0)
            append(line, turn == 777777 ? 20000 : std::round(population));
          else
            append(line, value * 1.000000123);
        }
        if (log.numbers > 2) line += ' ';
      }
      line += "\r\n";
      if (std::fwrite(line.data(), 1, line.size(), files[static_cast<std::size_t>(f)].get()) != line.size())
        return false;
    }
  }
  return true;
}

// Writes phylogeny.csv and lineage_counts.csv (counts every 10 turns) of `turns` turns into
// `folder` (made if missing): a Moran process of 1,000 individuals, twenty births a turn by
// fitness, each in the place of an individual drawn at random, two of them a new genome.
bool writeSyntheticLineage(const std::string& folder, std::int64_t turns) {
  struct Genome {
    int mother = -1;
    std::int64_t origin = 0;
    std::int64_t destruction = -1;
    double fitness = 1;
    int carriers = 0;
    int slot = -1;  // where in `living`
  };
  constexpr int kPopulation = 1000;
  constexpr int kBirths = 20;
  constexpr int kNewGenomes = 2;
  constexpr int kCountsEvery = 10;
  std::filesystem::create_directories(folder);
  std::unique_ptr<std::FILE, FileCloser> counts(std::fopen((folder + "/lineage_counts.csv").c_str(), "wb"));
  std::unique_ptr<std::FILE, FileCloser> phylogeny(std::fopen((folder + "/phylogeny.csv").c_str(), "wb"));
  if (!counts || !phylogeny) return false;
  std::setvbuf(counts.get(), nullptr, _IOFBF, 1 << 20);
  std::setvbuf(phylogeny.get(), nullptr, _IOFBF, 1 << 20);
  std::fputs("turn,id,carriers\r\n", counts.get());
  std::mt19937_64 random(1033);
  std::normal_distribution<double> mutation(0.0, 0.03);
  std::uniform_int_distribution<int> anyone(0, kPopulation - 1);
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  std::vector<Genome> genomes = {{-1, 0, -1, 1.0, kPopulation, 0}};
  std::vector<int> living = {0};
  std::vector<int> individuals(kPopulation, 0);  // each individual's genome
  double fittest = 1.0;
  for (std::int64_t turn = 1; turn <= turns; ++turn) {
    for (int birth = 0; birth < kBirths; ++birth) {
      int mother = individuals[static_cast<std::size_t>(anyone(random))];
      while (chance(random) * fittest > genomes[static_cast<std::size_t>(mother)].fitness)
        mother = individuals[static_cast<std::size_t>(anyone(random))];
      int child = mother;
      if (birth < kNewGenomes) {
        const double fitness = genomes[static_cast<std::size_t>(mother)].fitness * (1 + mutation(random));
        fittest = std::max(fittest, fitness);
        genomes.push_back({mother, turn, -1, fitness, 0, static_cast<int>(living.size())});
        child = static_cast<int>(genomes.size()) - 1;
        living.push_back(child);
      }
      int& dying = individuals[static_cast<std::size_t>(anyone(random))];
      ++genomes[static_cast<std::size_t>(child)].carriers;
      Genome& gone = genomes[static_cast<std::size_t>(dying)];
      if (--gone.carriers == 0) {
        gone.destruction = turn;
        const int last = living.back();
        living[static_cast<std::size_t>(gone.slot)] = last;
        genomes[static_cast<std::size_t>(last)].slot = gone.slot;
        living.pop_back();
      }
      dying = child;
    }
    if (turn % kCountsEvery == 0)
      for (int g : living)
        std::fprintf(counts.get(), "%lld,%d,%d\r\n", static_cast<long long>(turn), g,
                     genomes[static_cast<std::size_t>(g)].carriers);
  }
  std::fputs("id,ancestor_list,origin_time,destruction_time,gene,length,peak_carriers,total_carriers\r\n",
             phylogeny.get());
  for (std::size_t id = 0; id < genomes.size(); ++id) {
    const Genome& genome = genomes[id];
    const std::string mother = genome.mother < 0 ? "[none]" : "[" + std::to_string(genome.mother) + "]";
    const std::string destruction = genome.destruction < 0 ? "" : std::to_string(genome.destruction);
    std::fprintf(phylogeny.get(), "%zu,%s,%lld,%s,61-%zu-1,61,1,1\r\n", id, mother.c_str(),
                 static_cast<long long>(genome.origin), destruction.c_str(), id * 7);
  }
  return std::fflush(counts.get()) == 0 && std::fflush(phylogeny.get()) == 0;
}

// A folder of the temporary directory that `write` fills the first time it is asked for.
std::string writtenOnce(const char* name, bool (*write)(const std::string&, std::int64_t)) {
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  const std::string done = path + "/written";
  if (!std::filesystem::exists(done)) {
    if (!write(path, kBenchTurns)) std::fprintf(stderr, "cannot write the files in %s\n", path.c_str());
    std::FILE* marker = std::fopen(done.c_str(), "wb");
    if (marker) std::fclose(marker);
  }
  return path + "/";
}

// The logs and the lineage of 1,000,000 turns.
const std::string& benchFolder() {
  static const std::string folder = writtenOnce("vek_plot_bench_1000000", writeSyntheticLogs);
  return folder;
}
const std::string& lineageFolder() {
  static const std::string folder = writtenOnce("vek_plot_bench_lineage_1000000", writeSyntheticLineage);
  return folder;
}

void BM_ReadLogColumn(benchmark::State& state) {
  const std::string path = benchFolder() + "ave_eva.log";
  const LogFile& shape = kLogFiles[9];
  for (auto _ : state) {
    double sum = 0;
    const LogReadOutcome outcome = readLogColumn(path, shape, 1, 0, [&](std::int64_t, double v) { sum += v; });
    if (!outcome.ok()) state.SkipWithError(outcome.error.c_str());
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_ReadLogColumn)->Unit(benchmark::kMillisecond);

void BM_MinMaxReduce(benchmark::State& state) {
  std::vector<double> values(kBenchTurns);
  std::mt19937_64 random(7);
  std::normal_distribution<double> step;
  double walk = 0;
  for (double& v : values) v = walk += step(random);
  for (auto _ : state) {
    MinMaxReducer reducer(1, kBenchTurns, 800);
    for (std::int64_t turn = 1; turn <= kBenchTurns; ++turn) reducer.add(turn, values[static_cast<std::size_t>(turn - 1)]);
    benchmark::DoNotOptimize(reducer.polylines());
  }
  state.SetItemsProcessed(state.iterations() * kBenchTurns);
}
BENCHMARK(BM_MinMaxReduce)->Unit(benchmark::kMillisecond);

// The default figure's eleven logs read and reduced, on one reader thread or two.
void BM_DefaultFolderFigure(benchmark::State& state) {
  FolderFigureRequest request;
  request.folder = benchFolder();
  request.panels = defaultPanelSeries();
  request.pixelColumns = 800;
  request.threads = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const FolderFigure figure = readFolderFigure(request);
    if (!figure.ok()) state.SkipWithError(figure.error.c_str());
    benchmark::DoNotOptimize(figure.figure.panels.size());
  }
}
BENCHMARK(BM_DefaultFolderFigure)->Arg(1)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond);

// The default figure's charts built and drawn into a 1600 x 1320 PNG.
void BM_WriteDefaultPicture(benchmark::State& state) {
  FolderFigureRequest request;
  request.folder = benchFolder();
  request.panels = defaultPanelSeries();
  request.pixelColumns = 800;
  const FolderFigure figure = readFolderFigure(request);
  const std::string out = (std::filesystem::temp_directory_path() / "vek_plot_bench.png").string();
  for (auto _ : state) {
    const FigureScene scene(figure.figure, QSize(1600, 1320));
    const QString failure = scene.write(QString::fromStdString(out));
    if (!failure.isEmpty()) state.SkipWithError(failure.toStdString().c_str());
  }
}
BENCHMARK(BM_WriteDefaultPicture)->Unit(benchmark::kMillisecond);

// The Muller plot of the lineage: phylogeny.csv indexed, lineage_counts.csv gathered into
// 1,100 columns, the areas laid out.
void BM_MullerFigure(benchmark::State& state) {
  MullerRequest request;
  request.folder = lineageFolder();
  request.pixelColumns = 1100;
  for (auto _ : state) {
    const MullerFigure figure = readMullerFigure(request);
    if (!figure.ok()) state.SkipWithError(figure.error.c_str());
    benchmark::DoNotOptimize(figure.figure.panels.size());
  }
}
BENCHMARK(BM_MullerFigure)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--write-lineage") == 0) {
    const std::int64_t turns = argc >= 4 ? std::atoll(argv[3]) : kBenchTurns;
    if (turns < 1 || !writeSyntheticLineage(argv[2], turns)) {
      std::fprintf(stderr, "vek_plot_bench: cannot write %lld turns of lineage into %s\n", static_cast<long long>(turns),
                   argv[2]);
      return 1;
    }
    return 0;
  }
  if (argc >= 3 && std::strcmp(argv[1], "--write-logs") == 0) {
    const std::int64_t turns = argc >= 4 ? std::atoll(argv[3]) : kBenchTurns;
    if (turns < 1 || !writeSyntheticLogs(argv[2], turns)) {
      std::fprintf(stderr, "vek_plot_bench: cannot write %lld turns of logs into %s\n", static_cast<long long>(turns),
                   argv[2]);
      return 1;
    }
    return 0;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
