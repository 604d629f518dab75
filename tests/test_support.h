// Helpers shared by the tests: a scripted source of random draws that checks the kind and
// order of every draw, and fixture paths.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <sstream>
#include <string>

#include "base/file_lock.h"
#include "base/random.h"

namespace vek::test {

// Answers the draws of `random` (a world's) from a script for as long as it lives. Each entry
// says which draw is expected next (uniform01, or randomInt with its bound) and what it
// returns; any other draw fails the test.
class ScriptedRandom : public RandomDraws {
 public:
  explicit ScriptedRandom(mRandom& random) : mTarget(random) { mPrevious = random.install(this); }
  ~ScriptedRandom() override {
    mTarget.install(mPrevious);
    EXPECT_TRUE(mScript.empty()) << mScript.size() << " scripted draws were not made";
  }

  ScriptedRandom& u(double value) {
    mScript.push_back({-1, value});
    return *this;
  }
  ScriptedRandom& randInt(int bound, int value) {
    mScript.push_back({bound, static_cast<double>(value)});
    return *this;
  }
  int drawsMade() const { return mMade; }

  double uniform01() override { return take(-1); }
  int randomInt(int n) override { return static_cast<int>(take(n)); }

 private:
  struct Draw {
    int bound;  // -1 for uniform01
    double value;
  };
  double take(int bound) {
    ++mMade;
    if (mScript.empty()) {
      ADD_FAILURE() << "unscripted draw #" << mMade << (bound < 0 ? " of uniform01" : " of randomInt(")
                    << (bound < 0 ? "" : std::to_string(bound) + ")");
      return 0;
    }
    const Draw d = mScript.front();
    mScript.pop_front();
    EXPECT_EQ(d.bound, bound) << "draw #" << mMade << ": expected "
                              << (d.bound < 0 ? "uniform01" : "randomInt(" + std::to_string(d.bound) + ")");
    return d.value;
  }
  mRandom& mTarget;
  std::deque<Draw> mScript;
  RandomDraws* mPrevious = nullptr;
  int mMade = 0;
};

// A file lock for the writers under test, as a program owns one.
inline vek::FileWriteLock& fileLock() {
  static vek::FileWriteLock lock;
  return lock;
}

inline std::string dataPath(const std::string& name) { return std::string(VEK_TEST_DATA_DIR) + "/" + name; }

inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// A fresh empty folder under the test temporary directory, ending in "/".
std::string freshFolder(const std::string& name);

}  // namespace vek::test
