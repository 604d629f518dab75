// The random numbers of one world. Every random decision of the simulation draws from its
// world's mRandom, in the order that each operation states, so a run repeats itself on every
// machine, and two worlds in one program never share a sequence.
//
// A world's generator yields integers 0..32767: state = state * 214013 + 2531011 (mod 2^32),
// value = (state >> 16) & 0x7fff. It seeds itself with 1033 at its first draw, so a program
// holding one world draws the classic C runtime's sequence after srand(1033); only an explicit
// `reseed` (replicate runs) changes that.
//
// Thread-safety: none. Owned by the world's place; the world's mutex serialises every caller.
#pragma once

#include <cstdint>
#include <numbers>

inline constexpr double kPi = std::numbers::pi;  // 4 * atan2(1, 1), bit for bit

// The two primitive draws everything else is built on. Tests put a scripted source in place of
// a world's generator to check the kind and order of every draw.
class RandomDraws {
 public:
  virtual ~RandomDraws() = default;
  virtual double uniform01() = 0;    // k / 32767 for a raw value k, both ends reachable
  virtual int randomInt(int n) = 0;  // 0..n-1
};

// The classic linear congruential generator described above.
class LcgRandom final : public RandomDraws {
 public:
  double uniform01() override;
  int randomInt(int n) override;
  int next();  // raw value 0..32767, seeding with 1033 on first use
  void reseed(std::uint32_t seed);
  std::uint32_t state() const { return mState; }
  bool seeded() const { return !mUnseeded; }

 private:
  std::uint32_t mState = 0;
  bool mUnseeded = true;
};

class mRandom {
 public:
  mRandom() = default;
  mRandom(const mRandom&) = delete;
  mRandom& operator=(const mRandom&) = delete;

  double uniform01() { return draws().uniform01(); }
  double uniformRange(double low, double high) { return uniform01() * (high - low) + low; }
  // A value 0..n-1. For n < 1 nothing is drawn and 0 is returned.
  int randomInt(int n) { return n < 1 ? 0 : draws().randomInt(n); }
  // Standard normal by the sine form of Box-Muller; the first draw is kept at or above
  // e^-12.5, so the magnitude never exceeds 5.
  double gauss();
  // mean + gauss() * sqrt(variance); a negative variance returns mean without drawing.
  double normal(double mean, double variance);

  // The world's own generator (replicate runs reseed it; a run without that starts from 1033).
  LcgRandom& generator() { return mGenerator; }
  const LcgRandom& generator() const { return mGenerator; }
  void reseed(std::uint32_t seed) { mGenerator.reseed(seed); }

  // Puts `draws` in place of the generator; nullptr restores it. Returns the previous
  // source. The caller keeps ownership.
  RandomDraws* install(RandomDraws* draws) {
    RandomDraws* previous = mInstalled;
    mInstalled = draws;
    return previous;
  }

 private:
  RandomDraws& draws() { return mInstalled ? *mInstalled : mGenerator; }

  LcgRandom mGenerator;
  RandomDraws* mInstalled = nullptr;
};
