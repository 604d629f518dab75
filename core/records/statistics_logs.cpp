#include "records/statistics_logs.h"

#include <cerrno>
#include <cmath>
#include <unistd.h>
#include <cstdio>

#include "body/energy.h"
#include "body/field.h"
#include "body/parameters.h"
#include "engine/place.h"
#include "engine/seed_list.h"
#include "genome/gene_list.h"
#include "base/cp932.h"
#include "base/file_lock.h"
#include "base/text_io.h"

namespace vek {

const char* const kTurnLogNames[kTurnLogCount] = {
    "c_time.log",   "edge.log",     "leaf.log",     "flower.log",   "per_edge.log", "per_leaf.log",
    "per_flower.log", "seed_num.log", "gene_num.log", "ave_eva.log",  "ave_size.log", "ave_turn.log",
    "ave_ene.log",  "cur_bir.log",  "cur_dea.log",  "fie_cap.log",  "birth.log",    "death.log",
    "tot_ene.log",  "tot_edge.log", "tot_leaf.log", "tot_flow.log", "tot_get.log",  "tot_used.log",
    "tot_keep.log", "ave_get.log",  "ave_used.log", "ave_keep.log", "ope_ene.log",
};

namespace {

// The descriptions of `log_turn.log`, one per log of kTurnLogNames but the last.
constexpr int kDescribedCount = kTurnLogCount - 1;
const char* const kDescriptions[kDescribedCount] = {
    "現在までの実行回数",
    "枝に使ったエネルギー",
    "葉に使ったエネルギー",
    "花に使ったエネルギー",
    "枝に使ったエネルギーのパーセント",
    "葉に使ったエネルギーのパーセント",
    "花に使ったエネルギーのパーセント",
    "シードの数",
    "遺伝子の数",
    "平均評価値",
    "平均サイズ",
    "平均ターン数",
    "平均カレントエネルギー",
    "現在の誕生数",
    "現在の死滅数",
    "フィールドのキャパシティー",
    "誕生数",
    "死滅数",
    "現在までの総合エネルギー",
    "枝に使ったエネルギーの全体",
    "葉に使ったエネルギーの全体",
    "花に使ったエネルギーの全体",
    "現在までのえられたエネルギー",
    "現在までに使用したエネルギー",
    "自己維持に使用したエネルギー",
    "えられたエネルギーの平均値",
    "使用したエネルギーの平均値",
    "自己維持エネルギーの平均値",
};

// Usage codes whose spending builds each kind of part.
constexpr int kEdgeCodes[] = {28, 21, 15};
constexpr int kLeafCodes[] = {30, 27, 19, 17};
constexpr int kFlowerCodes[] = {31, 29, 26, 18, 16};

template <size_t N>
double usageSum(const mEnergy& account, const int (&codes)[N]) {
  double sum = 0;
  for (int code : codes) sum += account.usageOf(code);
  return sum;
}

std::string numberText(double value) { return std::isnan(value) ? std::string(kNotANumberText) : formatG10(value); }

// The logs among kTurnLogNames whose figure is a count, printed as an integer.
constexpr bool kCountLog[kDescribedCount] = {false, false, false, false, false, false, false, true,  true, false,
                                             false, false, false, true,  true,  false, true,  true,  false, false,
                                             false, false, false, false, false, false, false, false};

// The values of the logs 1 to 28 as `log_turn.log` shows them (the first is the time).
std::array<std::string, kDescribedCount> valueTexts(const mPlace& place) {
  const std::array<double, kTurnFigureCount> figures = turnFigures(place);
  std::array<std::string, kDescribedCount> values;
  values[0] = std::to_string(place.time());
  for (int i = 1; i < kDescribedCount; ++i) {
    const double figure = figures[static_cast<size_t>(i - 1)];
    values[static_cast<size_t>(i)] = kCountLog[i] ? std::to_string(static_cast<long long>(figure)) : numberText(figure);
  }
  return values;
}

// The calendar text of `now` in the 24-character layout of the C runtime's asctime, day of the
// month in two digits ("Mon Jan 01 09:00:00 2001"). Names come from our own tables: the
// program's locale (a GUI sets the user's) must not change a log.
std::string calendarText(std::time_t now) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm local{};
  if (!localtime_r(&now, &local)) gmtime_r(&now, &local);
  char text[64];
  std::snprintf(text, sizeof text, "%.3s %.3s %02d %02d:%02d:%02d %d", kDays[(local.tm_wday % 7 + 7) % 7],
                kMonths[(local.tm_mon % 12 + 12) % 12], local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                local.tm_year + 1900);
  return text;
}

}  // namespace

std::array<double, kTurnFigureCount> turnFigures(const mPlace& place) {
  const mSeedList& population = place.population();
  const mEnergy& average = population.averageAccount();
  const double edge = usageSum(average, kEdgeCodes);
  const double leaf = usageSum(average, kLeafCodes);
  const double flower = usageSum(average, kFlowerCodes);
  const double spent = edge + leaf + flower;
  const int n = population.livingCount();
  return {
      edge,
      leaf,
      flower,
      edge / spent * 100,
      leaf / spent * 100,
      flower / spent * 100,
      static_cast<double>(n),
      static_cast<double>(place.genePool().geneCount()),
      population.averageEvaluation(),
      population.averageGenomeSize(),
      population.averageAge(),
      average.current(),
      static_cast<double>(population.turnBirths()),
      static_cast<double>(population.turnDeaths()),
      place.field().occupancy(),
      static_cast<double>(population.totalBirths()),
      static_cast<double>(population.totalDeaths()),
      place.field().totalDaylight(),
      edge * n,
      leaf * n,
      flower * n,
      average.total() * n,
      average.used() * n,
      average.keep() * n,
      average.total(),
      average.used(),
      average.keep(),
  };
}

FileOutcome startLogs(const std::string& folder) {
  FileOutcome outcome;
  auto empty = [&](const char* name) {
    errno = 0;
    if (!writeFileAtomically(folder + name, "") && outcome.ok())
      outcome.error = describeFileError("cannot start the log", folder + name);
  };
  for (const char* name : kTurnLogNames) empty(name);
  empty(kLogTurnName);
  return outcome;
}

std::array<std::string, kTurnLogCount> turnLogLines(const mPlace& place, std::time_t now) {
  const std::array<std::string, kDescribedCount> values = valueTexts(place);
  const std::string time = values[0];
  std::array<std::string, kTurnLogCount> lines;

  const long long seconds = static_cast<long long>(now);
  const long long sinceMidnightInJapan = ((seconds + 32400) % 86400 + 86400) % 86400;
  lines[0] = time + " " + std::to_string(sinceMidnightInJapan) + " " + std::to_string(seconds) + " " +
             calendarText(now) + kEol;
  for (int i = 1; i < kDescribedCount; ++i) lines[i] = time + " " + values[i] + kEol;

  const mEnergy& average = place.population().averageAccount();
  std::string usage = time + " ";
  for (int code = 0; code < kInstructionCount; ++code) usage += numberText(average.usageOf(code)) + " ";
  lines[kTurnLogCount - 1] = usage + kEol;
  return lines;
}

std::string logTurnText(const mPlace& place) {
  const std::array<std::string, kDescribedCount> values = valueTexts(place);
  std::string text = "turn_number " + std::to_string(place.turn()) + toCp932(" //ログを取ったときのターン数") + kEol;
  for (int i = 0; i < kDescribedCount; ++i)
    text += std::string(kTurnLogNames[i]) + " " + values[i] + " //" + toCp932(kDescriptions[i]) + kEol;
  return text;
}

FileOutcome writeLogTurn(const mPlace& place, const std::string& folder, FileWriteLock& fileLock) {
  if (place.turn() != place.parameters().mDaughter_log_turn) return {};
  const std::string text = logTurnText(place);
  const std::string path = folder + kLogTurnName;
  FileWriteGuard lock(fileLock);
  errno = 0;
  if (!writeFileAtomically(path, text)) return {describeFileError("cannot write", path)};
  return {};
}

StatisticsLogs::~StatisticsLogs() {
  note(writeHeld(), mHeldFirstTurn);
  closeFiles();
}

FileOutcome StatisticsLogs::writeHeld() {
  if (mHeldBytes == 0) return {};
  FileOutcome outcome;
  FileWriteGuard lock(mFileLock);
  std::array<long, kTurnLogCount> before;
  before.fill(-1);
  for (int i = 0; i < kTurnLogCount && outcome.ok(); ++i) {
    const std::string path = mFolder + kTurnLogNames[i];
    const std::string& lines = mHeld[static_cast<size_t>(i)];
    errno = 0;
    std::FILE*& file = mFiles[static_cast<size_t>(i)];
    long& length = mLengths[static_cast<size_t>(i)];
    if (!file) {
      file = std::fopen(path.c_str(), "ab");
      length = file && std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    }
    if (file) before[static_cast<size_t>(i)] = length;
    const bool written = file && length >= 0 && std::fwrite(lines.data(), 1, lines.size(), file) == lines.size() &&
                         std::fflush(file) == 0;
    if (written) length += static_cast<long>(lines.size());
    else outcome.error = describeFileError("cannot append to", path);
  }
  for (std::string& lines : mHeld) lines.clear();
  mHeldBytes = 0;
  mLastWrite = std::chrono::steady_clock::now();
  if (!outcome.ok()) {
    // All or none: the lines that did reach a log are cut off again.
    for (int i = 0; i < kTurnLogCount; ++i) {
      std::FILE* file = mFiles[static_cast<size_t>(i)];
      if (!file || before[static_cast<size_t>(i)] < 0) continue;
      std::fflush(file);
      if (::ftruncate(fileno(file), before[static_cast<size_t>(i)]) != 0) {
        outcome.error += "; " + describeFileError("cannot cut the turn's line off again", mFolder + kTurnLogNames[i]);
      }
    }
    closeFiles();
  } else if (!mKeepFilesOpen) {
    closeFiles();
  }
  return outcome;
}

void StatisticsLogs::closeFiles() {
  for (std::FILE*& file : mFiles) {
    if (file) std::fclose(file);
    file = nullptr;
  }
}

void StatisticsLogs::afterTurn(mWorld& world) {
  const mPlace& place = world.place();
  const int failuresBefore = mFailures;
  const std::array<std::string, kTurnLogCount> lines = turnLogLines(place, std::time(nullptr));
  if (mHeldBytes == 0) mHeldFirstTurn = place.turn();
  for (int i = 0; i < kTurnLogCount; ++i) {
    mHeld[static_cast<size_t>(i)] += lines[static_cast<size_t>(i)];
    mHeldBytes += lines[static_cast<size_t>(i)].size();
  }
  if (!mKeepFilesOpen || mHeldBytes >= kHeldBytes ||
      std::chrono::steady_clock::now() - mLastWrite >= kHeldTime)
    note(writeHeld(), mHeldFirstTurn);
  if (mFailures == failuresBefore) note(writeLogTurn(place, mFolder, mFileLock), place.turn());
  if (mFailures > failuresBefore) world.requestPause();
}

void StatisticsLogs::flush(mWorld& world) {
  const int failuresBefore = mFailures;
  note(writeHeld(), mHeldFirstTurn);
  if (mFailures > failuresBefore) world.requestPause();
}

void StatisticsLogs::note(const FileOutcome& outcome, int turn) {
  if (outcome.ok()) return;
  if (mFailures++ == 0) {
    mFirstFailure = outcome.error;
    mFirstFailedTurn = turn;
  }
}

}  // namespace vek
