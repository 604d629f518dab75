// The radix sort against std::stable_sort: the same order, ties included.
#include "base/radix_sort.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

// Values with many ties and both signs, as heights and evaluations give them; each carries
// its place in the input, so a tie that changes order shows.
std::vector<mKeyed<int>> keyedValues(size_t count, unsigned seed, bool descending) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> small(-3, 12);
  std::uniform_real_distribution<double> height(0, 5);
  std::vector<mKeyed<int>> items;
  for (size_t k = 0; k < count; ++k) {
    const double value = k % 3 == 0 ? height(random) : small(random) * 0.5;
    items.push_back({descending ? descendingKey(value) : ascendingKey(value), static_cast<int>(k)});
  }
  return items;
}

void expectStableSortOrder(std::vector<mKeyed<int>> items) {
  std::vector<mKeyed<int>> expected = items, scratch;
  std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) { return a.key < b.key; });
  sortByKey(items, scratch);
  ASSERT_EQ(items.size(), expected.size());
  for (size_t k = 0; k < items.size(); ++k) ASSERT_EQ(items[k].value, expected[k].value) << k;
}

TEST(RadixSort, OrdersAsTheStableSortDoes) {
  for (size_t count : {0u, 1u, 7u, 511u, 512u, 3000u}) {
    SCOPED_TRACE(count);
    expectStableSortOrder(keyedValues(count, 5, true));
    expectStableSortOrder(keyedValues(count, 6, false));
  }
}

TEST(RadixSort, KeysOrderAsTheNumbers) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> ascending = {-inf, -1e300, -2.5, -1, -1e-300, 0, 1e-300, 0.5, 1, 2, 1e300, inf};
  for (size_t k = 1; k < ascending.size(); ++k) {
    EXPECT_LT(ascendingKey(ascending[k - 1]), ascendingKey(ascending[k])) << ascending[k];
    EXPECT_GT(descendingKey(ascending[k - 1]), descendingKey(ascending[k])) << ascending[k];
  }
  EXPECT_EQ(ascendingKey(-0.0), ascendingKey(0.0));
}

}  // namespace
