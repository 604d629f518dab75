// The radix order against std::stable_sort with `a > b`, on numbers with many ties, both zeros
// and both infinities, below and above the size where the distribution passes take over.
#include "base/descending_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <utility>
#include <vector>

namespace {

TEST(DescendingOrder, IsTheStableOrderOfTheNumbersHighestFirst) {
  std::mt19937 random(7);
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> special = {0.0, -0.0, inf, -inf, 1e-310, -1e-310, 1e300, -1e300, 0.5, -0.5};
  // Besides numbers of every kind (values 0): a population's ranks, a few values (counted), and
  // as many values as are still counted and one more (sorted by their bits).
  const std::vector<double> ranks = {-1.0, 1.0, 2.0, 3.0, 2.5, -inf, -0.0, 0.0};
  for (const unsigned values : {0u, 8u, 33u, 256u, 257u}) {
    for (const size_t count : {0, 1, 2, 100, 511, 512, 5000}) {
      SCOPED_TRACE(count);
      SCOPED_TRACE(values);
      std::vector<std::pair<double, int>> numbers;
      for (size_t k = 0; k < count; ++k) {
        const unsigned pick = random() % 4;
        const double value = values == 8 ? ranks[random() % ranks.size()]
                             : values     ? static_cast<double>(random() % values) - 16.5
                             : pick == 0  ? special[random() % special.size()]
                             : pick == 1  ? static_cast<double>(random() % 7)  // ties
                                          : std::ldexp(static_cast<double>(random()) - 2147483648.0, int(random() % 80) - 40);
        numbers.emplace_back(value, static_cast<int>(k));
      }
      std::vector<std::pair<double, int>> expected = numbers;
      std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) { return a.first > b.first; });

      struct Entry {
        std::uint64_t key;
        int at;
      };
      std::vector<Entry> entries;
      vek::SortScratch<Entry> scratch;
      for (const auto& [value, at] : numbers) entries.push_back({vek::descendingKey(value), at});
      vek::sortByKey(entries, scratch);
      ASSERT_EQ(entries.size(), expected.size());
      for (size_t k = 0; k < entries.size(); ++k) ASSERT_EQ(entries[k].at, expected[k].second) << k;
    }
  }
}

}  // namespace
