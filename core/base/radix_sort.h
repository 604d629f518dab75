// A stable sort of values by 64-bit keys, smallest key first: equal keys keep their order, as
// std::stable_sort keeps them, so a run that sorts this way repeats itself.
//
// The turn sorts every leaf and flower by height and every individual by its evaluation. An
// LSD radix sort costs a few passes over the values, one per byte of the keys; a byte that
// every key shares orders nothing and is skipped, which leaves two or three passes for keys
// as alike as heights above a field or small whole numbers. Few values are sorted by
// comparison, where the passes would not pay.
//
// Plain functions; any thread.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

template <class Value>
struct mKeyed {
  std::uint64_t key;
  Value value;
};

// A key that orders as `value` does, smallest first (-0 as +0). Not for NaN.
inline std::uint64_t ascendingKey(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value + 0.0);
  return bits >> 63 ? ~bits : bits | std::uint64_t{1} << 63;
}
// A key that orders as `value` does, largest first.
inline std::uint64_t descendingKey(double value) { return ~ascendingKey(value); }

// Sorts `items` by key; `scratch` is working memory (its contents are lost).
template <class Value>
void sortByKey(std::vector<mKeyed<Value>>& items, std::vector<mKeyed<Value>>& scratch) {
  if (items.size() < 512) {
    std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return a.key < b.key; });
    return;
  }
  scratch.resize(items.size());
  for (int shift = 0; shift < 64; shift += 8) {
    std::array<size_t, 257> start{};
    for (const auto& item : items) ++start[(item.key >> shift & 0xff) + 1];
    if (std::find(start.begin(), start.end(), items.size()) != start.end()) continue;
    for (size_t digit = 1; digit < start.size(); ++digit) start[digit] += start[digit - 1];
    for (const auto& item : items) scratch[start[item.key >> shift & 0xff]++] = item;
    items.swap(scratch);
  }
}
