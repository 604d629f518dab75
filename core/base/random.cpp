#include "base/random.h"

#include <cmath>

int LcgRandom::next() {
  if (mUnseeded) reseed(1033);
  mState = mState * 214013u + 2531011u;
  return static_cast<int>((mState >> 16) & 0x7fffu);
}

void LcgRandom::reseed(std::uint32_t seed) {
  mState = seed;
  mUnseeded = false;
}

double LcgRandom::uniform01() { return next() * 3.051850947599719e-5; }

int LcgRandom::randomInt(int n) {
  if (n < 1) return 0;
  return next() % n;
}

double mRandom::gauss() {
  const double floor = std::exp(-12.5);
  double u1 = uniform01();
  while (u1 < floor) u1 = uniform01();
  const double u2 = uniform01();
  return std::sqrt(-2.0 * std::log(u1)) * std::sin(2.0 * kPi * u2);
}

double mRandom::normal(double mean, double variance) {
  if (variance < 0) return mean;
  return mean + gauss() * std::sqrt(variance);
}
