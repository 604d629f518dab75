#include "base/random.h"

#include <cmath>

namespace {
RandomDraws* gDraws = nullptr;
RandomDraws& draws() { return gDraws ? *gDraws : programRandom(); }
}  // namespace

const double kPi = 4.0 * std::atan2(1.0, 1.0);

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

LcgRandom& programRandom() {
  static LcgRandom generator;
  return generator;
}

void reseedRandom(std::uint32_t seed) { programRandom().reseed(seed); }

RandomDraws* installRandomDraws(RandomDraws* d) {
  RandomDraws* previous = gDraws;
  gDraws = d;
  return previous;
}

double uniform01() { return draws().uniform01(); }

double uniformRange(double low, double high) { return uniform01() * (high - low) + low; }

int randomInt(int n) {
  if (n < 1) return 0;
  return draws().randomInt(n);
}

double gauss() {
  static const double kFloor = std::exp(-12.5);
  double u1 = uniform01();
  while (u1 < kFloor) u1 = uniform01();
  const double u2 = uniform01();
  return std::sqrt(-2.0 * std::log(u1)) * std::sin(2.0 * kPi * u2);
}

double normal(double mean, double variance) {
  if (variance < 0) return mean;
  return mean + gauss() * std::sqrt(variance);
}
