// Stable orders of many entries by a number, highest first, found by a radix sort on the
// numbers' bits: the world sorts every living individual and every leaf and flower each turn,
// and the distribution passes cost less than comparisons. The order is the one std::stable_sort
// gives with `a > b`: highest first, equal numbers (-0 and +0 among them) in their order.
//
// Plain functions; any thread.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vek {

// A key whose ascending order is the descending order of the numbers; `value` must not be NaN.
inline std::uint64_t descendingKey(double value) {
  // The bits of a double ordered as the numbers (-0 as +0), then turned round.
  const auto bits = std::bit_cast<std::uint64_t>(value + 0.0);
  const std::uint64_t ordered = bits >> 63 ? ~bits : bits | std::uint64_t{1} << 63;
  return ~ordered;
}

// Whether the byte of every key at `shift` follows from the key's top byte.
template <class Entry>
bool decidedByTopByte(const std::vector<Entry>& entries, int shift) {
  std::array<std::int16_t, 256> byteOfTop;
  byteOfTop.fill(-1);
  for (const Entry& entry : entries) {
    const auto byte = static_cast<std::int16_t>(entry.key >> shift & 0xff);
    std::int16_t& seen = byteOfTop[entry.key >> 56];
    if (seen < 0) seen = byte;
    else if (seen != byte) return false;
  }
  return true;
}

// Sorts `entries` by their member `key` ascending, equal keys keeping their order; `scratch`
// is working memory, kept by the caller from one sort to the next.
template <class Entry>
void sortByKey(std::vector<Entry>& entries, std::vector<Entry>& scratch) {
  if (entries.size() < 512 || entries.size() > UINT32_MAX) {
    // Too few for eight distribution passes to pay.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    return;
  }
  scratch.resize(entries.size());
  // Every byte's counts in one pass over the entries; then a distribution pass for each byte
  // that orders something.
  std::array<std::array<std::uint32_t, 256>, 8> counts{};
  for (const Entry& entry : entries) {
    const std::uint64_t key = entry.key;
    for (int byte = 0; byte < 8; ++byte) ++counts[static_cast<size_t>(byte)][key >> 8 * byte & 0xff];
  }
  const auto n = static_cast<std::uint32_t>(entries.size());
  for (int byte = 0; byte < 8; ++byte) {
    std::array<std::uint32_t, 256>& count = counts[static_cast<size_t>(byte)];
    // A byte that all keys share orders nothing; nor does one that the top byte decides (keys
    // with the same top byte have the same byte there): keys that differ in it differ in the
    // top byte, which orders them. A few distinct numbers of both signs (the ranks of a
    // population) have such bytes: those of 1 and -1 are all ones and all zeros below the top.
    if (std::find(count.begin(), count.end(), n) != count.end()) continue;
    if (byte < 7 && decidedByTopByte(entries, 8 * byte)) continue;
    std::uint32_t start = 0;
    for (std::uint32_t& c : count) {
      const std::uint32_t here = c;
      c = start;
      start += here;
    }
    const int shift = 8 * byte;
    for (const Entry& entry : entries) scratch[count[entry.key >> shift & 0xff]++] = entry;
    entries.swap(scratch);
  }
}

}  // namespace vek
