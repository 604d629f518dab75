// Test helper: pixels of the viewer's pictures and the colours the tests look for in them.
// Header-only; the window tests and the tests of pictures made without a window use it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace viewer::test {

struct Pixel {
  int r, g, b;
};

// The ground lit from straight above: ambient (0.7, 0.5, 0.3) under the white light and the
// default global ambient of 0.2, plus half of it as diffuse.
inline bool isGround(Pixel p) { return p.r >= 252 && std::abs(p.g - 217) <= 3 && std::abs(p.b - 130) <= 3; }
inline bool isBlack(Pixel p) { return p.r == 0 && p.g == 0 && p.b == 0; }
// The axes are drawn unlit in pure red, green and blue (black counts too: nothing else there).
inline bool isAxis(Pixel p) { return (p.g == 0 && p.b == 0) || (p.r == 0 && p.b == 0) || (p.r == 0 && p.g == 0); }

// Whether `p` shows the colour (r, g, b) (components 0..1, above 1 saturating) within
// `tolerance` of each byte.
inline ::testing::AssertionResult near(Pixel p, double r, double g, double b, int tolerance) {
  const auto byte = [](double v) { return static_cast<int>(std::min(1.0, v) * 255 + 0.5); };
  if (std::abs(p.r - byte(r)) <= tolerance && std::abs(p.g - byte(g)) <= tolerance &&
      std::abs(p.b - byte(b)) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel (" << p.r << ", " << p.g << ", " << p.b << ") is not near ("
                                       << byte(r) << ", " << byte(g) << ", " << byte(b) << ")";
}

}  // namespace viewer::test
