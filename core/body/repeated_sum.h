// Adding the same term to a running sum many times, with the very result that many additions
// in a row give (round to nearest, ties to even).
//
// The light field sums what a part takes from each of its cells, in cell order; most of a
// part's cells hold the same light as their neighbours, so the sum grows by one term again and
// again. One addition after another waits on the one before; this answers the same double
// without making them: while the sum stays within one binade (from 2^e up to 2^(e+1)) every
// addition rounds the term to the same whole number of the binade's ulps, so a stretch of
// additions is one exact integer step on the sum's bits. Where that reasoning does not hold
// (a tie in the rounding, the addition that crosses into the next binade, zero, negative,
// tiny, huge, infinite or NaN values) the additions are made one by one.
//
// Plain function; any thread.
#pragma once

#include <cstdint>

// The sum after `count` times `sum += term`, by leaps where it can.
double addRepeatedlyByLeaps(double sum, double term, std::uint64_t count);

// The sum after `count` times `sum += term`. Most stretches of the light are a few cells
// long: a few additions cost less than working out a leap.
inline double addRepeatedly(double sum, double term, std::uint64_t count) {
  if (count > 16) return addRepeatedlyByLeaps(sum, term, count);
  for (; count > 0; --count) sum += term;
  return sum;
}
