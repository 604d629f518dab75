#include "app/chart_series.h"

#include <cmath>
#include <map>

#include "body/energy.h"
#include "engine/place.h"
#include "engine/seed_list.h"

namespace app {

namespace {

// The logs' order, shared by the figures and the catalog: `c_time.log` first, `ope_ene.log`
// last, the logs of single values between them.
constexpr int kClockLog = 0;
constexpr int kUsageLog = vek::kTurnLogCount - 1;

struct Words {
  const char* title;
  const char* shortName;
  const char* unit;
};

// The series of single values, by their names on the command line. The titles follow the
// descriptions `log_turn.log` gives the logs.
const std::map<std::string, Words>& seriesWords() {
  static const std::map<std::string, Words> words = {
      {"seed_num", {"シードの数", "シード", "個体"}},
      {"gene_num", {"遺伝子の数", "遺伝子", "遺伝子"}},
      {"cur_bir", {"ターンごとの誕生数", "誕生", "個体"}},
      {"cur_dea", {"ターンごとの死滅数", "死滅", "個体"}},
      {"birth", {"誕生数（累計）", "誕生", "個体"}},
      {"death", {"死滅数（累計）", "死滅", "個体"}},
      {"ave_eva", {"平均評価値", "評価値", "評価値"}},
      {"ave_size", {"平均サイズ（ゲノムの長さ）", "サイズ", "命令"}},
      {"ave_turn", {"平均ターン数（年齢）", "ターン数", "ターン"}},
      {"ave_ene", {"平均カレントエネルギー", "カレント", "エネルギー"}},
      {"fie_cap", {"フィールドのキャパシティー（吸収された日光の割合）", "キャパシティー", "日光の割合"}},
      {"tot_ene", {"現在までの総合エネルギー（与えられた日光）", "日光", "エネルギー"}},
      {"edge", {"枝に使ったエネルギー（平均個体）", "枝", "エネルギー"}},
      {"leaf", {"葉に使ったエネルギー（平均個体）", "葉", "エネルギー"}},
      {"flower", {"花に使ったエネルギー（平均個体）", "花", "エネルギー"}},
      {"tot_edge", {"枝に使ったエネルギーの全体", "枝", "エネルギー"}},
      {"tot_leaf", {"葉に使ったエネルギーの全体", "葉", "エネルギー"}},
      {"tot_flow", {"花に使ったエネルギーの全体", "花", "エネルギー"}},
      {"per_edge", {"枝に使ったエネルギーのパーセント", "枝", "%"}},
      {"per_leaf", {"葉に使ったエネルギーのパーセント", "葉", "%"}},
      {"per_flower", {"花に使ったエネルギーのパーセント", "花", "%"}},
      {"ave_get", {"えられたエネルギーの平均値", "獲得", "エネルギー"}},
      {"ave_used", {"使用したエネルギーの平均値", "使用", "エネルギー"}},
      {"ave_keep", {"自己維持エネルギーの平均値", "自己維持", "エネルギー"}},
      {"tot_get", {"現在までのえられたエネルギー（全体）", "獲得", "エネルギー"}},
      {"tot_used", {"現在までに使用したエネルギー（全体）", "使用", "エネルギー"}},
      {"tot_keep", {"自己維持に使用したエネルギー（全体）", "自己維持", "エネルギー"}},
      {"c_time", {"現在までの実行回数", "実行回数", "ステップ"}},
      {"c_time.clock", {"最初の記録からの経過時間", "経過時間", "秒"}},
  };
  return words;
}

}  // namespace

TurnFigureSet turnFigureSet(const mPlace& place, std::time_t now) {
  TurnFigureSet figures;
  figures.turn = place.turn();
  figures.steps = place.time();
  figures.clock = static_cast<double>(now);
  figures.values = vek::turnFigures(place);
  const mEnergy& average = place.population().averageAccount();
  for (int code = 0; code < kInstructionCount; ++code) figures.usage[static_cast<size_t>(code)] = average.usageOf(code);
  return figures;
}

double valueOf(const vek::plot::SeriesInfo& series, const TurnFigureSet& figures) {
  if (series.column == 0) return figures.steps;
  if (series.file == kClockLog) {
    // The second number of a `c_time.log` line is the time of day in Japan, the third the
    // calendar time.
    if (series.column == 2) return figures.clock;
    const double seconds = std::fmod(figures.clock + 32400, 86400);
    return seconds < 0 ? seconds + 86400 : seconds;
  }
  if (series.file == kUsageLog) {
    const int code = series.column - 1;
    return code < kInstructionCount ? figures.usage[static_cast<size_t>(code)] : NAN;
  }
  const int index = series.file - 1;
  return index >= 0 && index < vek::kTurnFigureCount ? figures.values[static_cast<size_t>(index)] : NAN;
}

SeriesWords wordsOf(const vek::plot::SeriesInfo& series) {
  if (series.file == kUsageLog && series.column >= 1 && series.column <= kInstructionCount) {
    const int code = series.column - 1;
    const QString word = QString::fromUtf8(wordOf(code));
    return {QStringLiteral("命令 %1（%2）のエネルギー").arg(word, QString::fromUtf8(longNameOf(code))), word,
            QStringLiteral("エネルギー")};
  }
  const auto found = seriesWords().find(series.key);
  if (found == seriesWords().end())
    return {QString::fromStdString(series.title), QString::fromStdString(series.shortName),
            QString::fromStdString(series.unit)};
  return {QString::fromUtf8(found->second.title), QString::fromUtf8(found->second.shortName),
          QString::fromUtf8(found->second.unit)};
}

QString groupWords(const std::string& group) {
  static const std::map<std::string, const char*> groups = {
      {"Population", "個体群"},
      {"Averages over the living", "生存個体の平均"},
      {"Light", "光"},
      {"Energy on edges, leaves and flowers", "枝・葉・花に使ったエネルギー"},
      {"Shares of the energy on edges, leaves and flowers", "枝・葉・花に使ったエネルギーの割合"},
      {"Energy account of the average individual", "平均個体のエネルギー収支"},
      {"Energy account of the whole population", "個体群全体のエネルギー収支"},
      {"Energy per instruction (average individual)", "命令ごとのエネルギー（平均個体）"},
      {"Run", "実行"},
  };
  const auto found = groups.find(group);
  return found == groups.end() ? QString::fromStdString(group) : QString::fromUtf8(found->second);
}

}  // namespace app
