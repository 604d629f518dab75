// The exact companion of the lives files (`Ostrel.exact`, the place's name + ".exact"): what
// they cannot hold, so that a world stopped at any turn and loaded again goes on exactly, bit
// for bit, as if it had never stopped. The lives files keep their format, with doubles at 10
// digits and body texts at 10 decimals; the companion holds the place again with every double
// at 17 digits (which give every double back), the exact geometry of every body, the state of
// the world's random numbers and the exact value of every parameter.
//
// It belongs to the lives files it was saved with (their CRC-32 and length stand in it). A
// load uses it only with those very files: lives files edited by hand since are loaded as
// they stand, and the companion is ignored with a notice. A parameter the parameter file
// still holds as saved takes its exact value; one edited since keeps the file's.
//
// Plain functions; the caller holds the world's mutex.
#pragma once

#include <string>
#include <string_view>

class mPlace;
class mWorld;

namespace vek {

inline constexpr const char* kExactSuffix = ".exact";

// The companion of the world as it stands, saved with `worldLives` and `placeLives`.
std::string exactStateText(const mWorld& world, std::string_view worldLives, std::string_view placeLives);

struct ExactStateRead {
  enum Fit { kUsed, kOtherLives, kDamaged } fit = kDamaged;
  std::string what;  // for kOtherLives and kDamaged: why it was not used
};

// Reads the companion `text` into `place` (freshly made, with the parameters of the parameter
// file already applied) and `phase` when it belongs to `worldLives` and `placeLives`. When it
// does not (kOtherLives) or cannot be read (kDamaged), `place` must be thrown away: read the
// lives files into a new one instead.
ExactStateRead readExactState(std::string_view text, std::string_view worldLives, std::string_view placeLives,
                              mPlace& place, int& phase);

}  // namespace vek
