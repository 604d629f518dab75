// The statistics logs of a save folder, from which a run is plotted afterwards.
//
// After every turn one line is appended to each of 29 logs. Each line begins with the place's
// time counter (EXECUTE steps so far), then the value: population size, births and deaths,
// averages, the field's occupancy, and how the population's average energy account was spent
// on edges, leaves and flowers (E, L, F; S = E + L + F). `c_time.log` carries the wall-clock
// time of the turn, `ope_ene.log` the 32 usage entries of the average account. Doubles carry
// 10 significant digits; lines end in CR LF.
//
// A percentage of a turn in which S is 0 is not a number; it is written as "nan", the text
// that plotting tools (gnuplot, numpy, R) read as a missing value and that the world's own
// number reader accepts.
//
// Once, in the turn whose count equals mDaughter_log_turn, `log_turn.log` lists every value of
// that turn with its Japanese description (code page 932).
//
// Creating a world empties every log; a loaded world appends to the logs its folder holds.
//
// The functions that read a place are called with the world's mutex held. The writers take
// the program's file lock (base/file_lock.h) inside it: the world's mutex first, then the
// file lock, the order that every other writer of the program keeps too.
#pragma once

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

#include "base/file_lock.h"
#include "base/file_outcome.h"
#include "engine/world.h"
#include "records/held_lines.h"

class mPlace;

namespace vek {

inline constexpr int kTurnLogCount = 29;
// The per-turn logs in the order their lines are appended.
extern const char* const kTurnLogNames[kTurnLogCount];
inline constexpr const char* kLogTurnName = "log_turn.log";
inline constexpr const char* kNotANumberText = "nan";

// Empties (or creates) the 29 logs and `log_turn.log` in `folder` (ending in "/"). Takes no
// lock: the caller holds the file lock. Reports the first log that could not be written.
FileOutcome startLogs(const std::string& folder);

// The figures of the turn just closed as numbers, in the order of the logs between the first
// and the last of kTurnLogNames (`edge.log` to `ave_keep.log`): what their lines print, the
// counts exactly. A share of a turn without spending is NaN. Call with the world's mutex held.
inline constexpr int kTurnFigureCount = kTurnLogCount - 2;
std::array<double, kTurnFigureCount> turnFigures(const mPlace& place);

// The lines of the turn just closed, in the order of kTurnLogNames, each ended by CR LF;
// `now` is the calendar time that `c_time.log` records. Call with the world's mutex held.
std::array<std::string, kTurnLogCount> turnLogLines(const mPlace& place, std::time_t now);
// The text of `log_turn.log` for the turn just closed.
std::string logTurnText(const mPlace& place);

// Writes `log_turn.log` under `fileLock` when the place's turn equals mDaughter_log_turn;
// nothing in any other turn.
FileOutcome writeLogTurn(const mPlace& place, const std::string& folder, FileWriteLock& fileLock);

// Writes the logs of `folder` after every turn of the world it observes. Register it with
// mWorld::addObserver before the worker starts; it runs on the stepping thread with the
// world's mutex held.
//
// A turn's lines go into all 29 logs or into none: when one cannot be written (a full disk, a
// removed folder) the lines already written for that turn are cut off again, so the logs never
// end in a half line nor differ in length. The failure is counted and the first kept for the
// caller to report, and the world is asked to pause after its step: logs with a missing turn
// would no longer line up with the turns, and the last save keeps world and logs in step.
//
// The 29 logs stay open for appending from the first turn on (opening and closing 29 files
// every turn cost more than writing them), and the lines of the turns are kept back and
// written together: once they pass kHeldBytes, kHeldTime after the last write, and whenever
// the world stands still (mWorldObserver::flush: before it parks, stops or after a step by
// hand), so a world that is saved or read has its logs whole, and a log being watched lags a
// second at most. The lines kept back go into all 29 logs or into none, as one turn's do.
// Nothing else may write to the logs while they are open (the save folder is locked). A log
// that could not be opened is tried again the next time. With `setKeepFilesOpen(false)`
// every log is opened, written and closed for each turn's line instead, the plain way the
// other is measured against (vek-batch --reference); the files come out the same.
//
// `fileLock` is the program's; it outlives the logs.
class StatisticsLogs : public mWorldObserver {
 public:
  StatisticsLogs(std::string folder, FileWriteLock& fileLock) : mFolder(std::move(folder)), mFileLock(fileLock) {}
  ~StatisticsLogs() override;
  StatisticsLogs(const StatisticsLogs&) = delete;
  StatisticsLogs& operator=(const StatisticsLogs&) = delete;

  void afterTurn(mWorld& world) override;
  void flush(mWorld& world) override;
  bool followsSteps() const override { return false; }
  // Set before the worker starts.
  void setKeepFilesOpen(bool on) { mKeepFilesOpen = on; }

  // Read while the world is parked, or with its mutex held.
  int failures() const { return mFailures; }
  // The turn whose lines could not be written first (0 while none failed).
  int firstFailedTurn() const { return mFirstFailedTurn; }
  const std::string& firstFailure() const { return mFirstFailure; }

 private:
  void note(const FileOutcome& outcome, int turn);
  // Writes the lines kept back, all or none, and closes the logs unless they stay open.
  FileOutcome writeHeld();
  void closeFiles();

  std::string mFolder;
  FileWriteLock& mFileLock;
  bool mKeepFilesOpen = true;
  std::array<std::FILE*, kTurnLogCount> mFiles{};
  // Each open log's length, found once when it is opened and kept up to date by the writes:
  // asking the file for it again every turn would cost a system call per log.
  std::array<long, kTurnLogCount> mLengths{};
  // The lines of the turns not written yet, log by log, and the first of those turns.
  std::array<std::string, kTurnLogCount> mHeld;
  size_t mHeldBytes = 0;
  int mHeldFirstTurn = 0;
  std::chrono::steady_clock::time_point mLastWrite = std::chrono::steady_clock::now();
  int mFailures = 0;
  std::string mFirstFailure;
  int mFirstFailedTurn = 0;
};

}  // namespace vek
