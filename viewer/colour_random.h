// The viewer's own random generator, from which the scene takes the colours of its edges and
// leaves. It is the classic C library generator (integers 0..32767: state = state * 214013 +
// 2531011 mod 2^32, value = (state >> 16) & 0x7fff), separate from the simulator's, so the same
// seed gives the same colours on every machine. The viewer seeds it with the time at every
// load, so colours change from load to load but stay fixed while a scene is shown; tests seed
// it with a constant.
//
// Thread-safety: none (the viewer has one thread).
#pragma once

#include <cstdint>

namespace viewer {

class ColourRandom {
 public:
  void seed(std::uint32_t seed) { mState = seed; }
  int next() {
    mState = mState * 214013u + 2531011u;
    return static_cast<int>((mState >> 16) & 0x7fffu);
  }
  // A colour component u = r / 32767 in [0, 1], from the next raw value r.
  double unit() { return next() / 32767.0; }

 private:
  std::uint32_t mState = 1;
};

}  // namespace viewer
