#include "body/repeated_sum.h"

#include <algorithm>
#include <bit>
#include <cmath>

double addRepeatedlyByLeaps(double sum, double term, std::uint64_t count) {
  constexpr std::uint64_t kMantissa = (std::uint64_t{1} << 52) - 1;
  while (count > 0) {
    const double next = sum + term;
    --count;
    // Leaps are made only between positive normal numbers well inside the exponent range.
    if (count == 0 || !(term > 0 && sum >= 0x1p-900 && sum < 0x1p900)) {
      sum = next;
      continue;
    }
    const auto sumBits = std::bit_cast<std::uint64_t>(sum);
    const auto nextBits = std::bit_cast<std::uint64_t>(next);
    // The addition that crosses into the next binade is made by itself.
    if (sumBits >> 52 != nextBits >> 52) {
      sum = next;
      continue;
    }
    // Within the binade the step is a whole number of ulps: the term rounded to the ulp.
    const std::uint64_t stepUnits = nextBits - sumBits;
    // The term rounds away entirely: the sum never moves again.
    if (stepUnits == 0) return sum;
    // A term exactly halfway between two multiples of the ulp rounds by the sum's parity,
    // which changes from one addition to the next. (next - sum is exact: next <= 2 sum.)
    const double halfUlp = std::bit_cast<double>(((sumBits >> 52) - 53) << 52);
    if (std::fabs(term - (next - sum)) == halfUlp) {
      sum = next;
      continue;
    }
    // Every further addition that ends inside the binade adds the same step. (Most stretches
    // end inside it: their product cannot overflow, and it spares a division.)
    const std::uint64_t room = kMantissa - (nextBits & kMantissa);
    const std::uint64_t leap =
        count < (std::uint64_t{1} << 11) && count * stepUnits <= room ? count : std::min(count, room / stepUnits);
    sum = std::bit_cast<double>(nextBits + leap * stepUnits);
    count -= leap;
  }
  return sum;
}
