// Mean, standard deviation and 95 % confidence interval of a figure over the replicates of one
// parameter setting. The interval uses Student's t with n - 1 degrees of freedom: its 97.5 %
// quantile from a table for 1 to 30 degrees of freedom (six decimals), and beyond that from the
// Cornish-Fisher expansion around the normal quantile (within 1e-6 of the exact value there).
//
// Any thread.
#pragma once

#include <vector>

namespace vek::sweep {

struct Estimate {
  int n = 0;      // values that are numbers
  double mean;    // not a number when n is 0
  double sd;      // sample standard deviation (n - 1 in the denominator); not a number when n < 2
  double low;     // mean -/+ t * sd / sqrt(n); not a number when n < 2
  double high;
};

// Values that are not numbers are left out.
Estimate estimate(const std::vector<double>& values);

// The 97.5 % quantile of Student's t with `degreesOfFreedom` (at least 1).
double studentT975(int degreesOfFreedom);

}  // namespace vek::sweep
