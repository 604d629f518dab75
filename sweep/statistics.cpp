#include "sweep/statistics.h"

#include <cmath>
#include <limits>

namespace vek::sweep {

namespace {

constexpr double kTable[30] = {12.706205, 4.302653, 3.182446, 2.776445, 2.570582, 2.446912, 2.364624, 2.306004,
                               2.262157, 2.228139, 2.200985, 2.178813, 2.160369, 2.144787, 2.131450, 2.119905,
                               2.109816, 2.100922, 2.093024, 2.085963, 2.079614, 2.073873, 2.068658, 2.063899,
                               2.059539, 2.055529, 2.051831, 2.048407, 2.045230, 2.042272};

}  // namespace

double studentT975(int df) {
  if (df < 1) return std::numeric_limits<double>::quiet_NaN();
  if (df <= 30) return kTable[df - 1];
  // Cornish-Fisher: the normal quantile corrected in powers of 1/df.
  const double z = 1.959963984540054;
  const double z3 = z * z * z, z5 = z3 * z * z, z7 = z5 * z * z, z9 = z7 * z * z;
  const double n = df;
  return z + (z3 + z) / (4 * n) + (5 * z5 + 16 * z3 + 3 * z) / (96 * n * n) +
         (3 * z7 + 19 * z5 + 17 * z3 - 15 * z) / (384 * n * n * n) +
         (79 * z9 + 776 * z7 + 1482 * z5 - 1920 * z3 - 945 * z) / (92160 * n * n * n * n);
}

Estimate estimate(const std::vector<double>& values) {
  const double none = std::numeric_limits<double>::quiet_NaN();
  Estimate e{0, none, none, none, none};
  double sum = 0;
  for (double value : values)
    if (!std::isnan(value)) sum += value, ++e.n;
  if (e.n == 0) return e;
  e.mean = sum / e.n;
  if (e.n < 2) return e;
  double squares = 0;
  for (double value : values)
    if (!std::isnan(value)) squares += (value - e.mean) * (value - e.mean);
  e.sd = std::sqrt(squares / (e.n - 1));
  const double half = studentT975(e.n - 1) * e.sd / std::sqrt(static_cast<double>(e.n));
  e.low = e.mean - half;
  e.high = e.mean + half;
  return e;
}

}  // namespace vek::sweep
