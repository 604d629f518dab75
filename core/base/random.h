// The program-wide random numbers. Every random decision of the simulation draws from here,
// in the order that each operation states, so a run repeats itself on every machine.
//
// The program's generator yields integers 0..32767: state = state * 214013 + 2531011
// (mod 2^32), value = (state >> 16) & 0x7fff. It seeds itself with 1033 at its first draw;
// only an explicit `reseedRandom` (replicate runs) changes that.
//
// Thread-safety: none. The world's mutex serialises every caller.
#pragma once

#include <cstdint>

// The two primitive draws. `uniform01`, `randomInt` and everything built on them go through
// the installed instance; tests install a scripted one to check the order of draws.
class RandomDraws {
 public:
  virtual ~RandomDraws() = default;
  virtual double uniform01() = 0;  // k / 32767 for a raw value k, both ends reachable
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

 private:
  std::uint32_t mState = 0;
  bool mUnseeded = true;
};

// The program's own generator.
LcgRandom& programRandom();
// Reseeds the program's generator (a run without this call starts from 1033).
void reseedRandom(std::uint32_t seed);
// Installs `draws` as the source of every draw; nullptr restores the program's generator.
// Returns the previously installed source. The caller keeps ownership.
RandomDraws* installRandomDraws(RandomDraws* draws);

extern const double kPi;  // 4 * atan2(1, 1)

double uniform01();
double uniformRange(double low, double high);
// A value 0..n-1. For n < 1 nothing is drawn and 0 is returned.
int randomInt(int n);
// Standard normal by the sine form of Box-Muller; the first draw is kept at or above e^-12.5,
// so the magnitude never exceeds 5.
double gauss();
// mean + gauss() * sqrt(variance); a negative variance returns mean without drawing.
double normal(double mean, double variance);
