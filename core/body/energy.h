// mEnergy: an individual's energy account. Light is paid in once per turn; every executed
// instruction is paid out together with the whole body's upkeep. Besides the four running
// totals it keeps, per instruction code, what that instruction has cost, for the report.
// Owned by the individual's processor; population statistics use plain accounts too.
// No thread-safety of its own.
#pragma once

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>

#include "base/object.h"
#include "base/instructions.h"

class mEnergy : public mObject {
 public:
  void add(double e) { mTotal += e; mCurrent += e; }
  void spend(double e) { mCurrent -= e; }
  void addKeep(double e) { mKeep += e; }
  void addUsed(double e) { mUsed += e; }
  void addUsage(int code, double e);  // nothing for a code outside 0..31
  double usageOf(int code) const;     // -1.0 for a code outside 0..31

  double current() const { return mCurrent; }
  double total() const { return mTotal; }
  double used() const { return mUsed; }
  double keep() const { return mKeep; }

  // A hint to the cache: the account is about to be read.
  void prefetch() const {
    for (size_t line = 0; line < sizeof(mEnergy); line += 64) __builtin_prefetch(reinterpret_cast<const char*>(this) + line);
  }
  // Adds another account's totals and usages; none does nothing.
  void accumulate(const mEnergy* other);
  // Divides totals and usages by n when n >= 1; otherwise nothing.
  void divideBy(int n);
  void reset();

  // The text report, every line ended by CR LF.
  std::string report() const;

  void write(std::ostream& out) const;
  void read(std::istream& in);

 private:
  double mUsage[kInstructionCount] = {};
  double mUsed = 0;
  double mKeep = 0;
  double mTotal = 0;
  double mCurrent = 0;
};
