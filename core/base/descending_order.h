// Stable orders of many entries by a number, highest first, found by a radix sort on the
// numbers' bits, or by counting when they take a few values only: the world sorts every living
// individual (by rank, a few values) and every leaf and flower (by height) each turn, and the
// distribution passes cost less than comparisons. The order is the one std::stable_sort
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

// Working memory of sortByKey, kept by the caller from one sort to the next.
template <class Entry>
struct SortScratch {
  std::vector<Entry> entries;
  std::vector<std::uint8_t> which;  // which of a few keys each entry holds
};

// Sorts `entries` as sortByKey does when they hold at most kFewKeys distinct keys, by counting
// them (two passes); false, with `entries` untouched, when they hold more. The distinct keys
// are told apart by a small open-addressed table; a run of equal keys asks it once.
constexpr size_t kFewKeys = 256;
template <class Entry>
bool sortFewKeys(std::vector<Entry>& entries, std::vector<Entry>& scratch, std::vector<std::uint8_t>& which) {
  constexpr int kTableBits = 9;
  constexpr size_t kTableSize = size_t{1} << kTableBits;  // twice kFewKeys: short probes
  std::array<std::uint64_t, kFewKeys> keys;
  std::array<std::uint16_t, kTableSize> table{};  // 0: empty; otherwise 1 + the key's place in keys
  size_t distinct = 0;
  std::uint64_t lastKey = 0;
  std::uint8_t last = 0;
  which.resize(entries.size());
  for (size_t k = 0; k < entries.size(); ++k) {
    const std::uint64_t key = entries[k].key;
    if (distinct == 0 || key != lastKey) {
      size_t at = static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - kTableBits));
      while (table[at] != 0 && keys[table[at] - 1u] != key) at = (at + 1) & (kTableSize - 1);
      if (table[at] == 0) {
        if (distinct == kFewKeys) return false;
        keys[distinct++] = key;
        table[at] = static_cast<std::uint16_t>(distinct);
      }
      last = static_cast<std::uint8_t>(table[at] - 1u);
      lastKey = key;
    }
    which[k] = last;
  }
  // Where each distinct key's entries start in the order.
  std::array<std::uint32_t, kFewKeys> count{}, byRank{};
  for (const std::uint8_t w : which) ++count[w];
  for (size_t a = 0; a < distinct; ++a) byRank[a] = static_cast<std::uint32_t>(a);
  std::sort(byRank.begin(), byRank.begin() + static_cast<std::ptrdiff_t>(distinct),
            [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
  std::array<std::uint32_t, kFewKeys> start{};
  std::uint32_t at = 0;
  for (size_t r = 0; r < distinct; ++r) {
    start[byRank[r]] = at;
    at += count[byRank[r]];
  }
  scratch.resize(entries.size());
  for (size_t k = 0; k < entries.size(); ++k) scratch[start[which[k]]++] = entries[k];
  entries.swap(scratch);
  return true;
}

// Sorts `entries` by their member `key` ascending, equal keys keeping their order.
template <class Entry>
void sortByKey(std::vector<Entry>& entries, SortScratch<Entry>& working) {
  if (entries.size() < 512 || entries.size() > UINT32_MAX) {
    // Too few for eight distribution passes to pay.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    return;
  }
  std::vector<Entry>& scratch = working.entries;
  if (sortFewKeys(entries, scratch, working.which)) return;
  scratch.resize(entries.size());
  // A distribution pass for each byte that orders something. A byte that the top byte decides
  // (keys with the same top byte have the same byte there; all keys sharing it is a case)
  // orders nothing: keys that differ in it differ in the top byte, which orders them. The bits
  // where a key differs from the first key seen with its top byte tell which bytes those are.
  // A population's ranks have such bytes: below the top, those of 1 and -1 are all ones and
  // all zeros.
  std::array<std::uint32_t, 256> topCount{}, count;
  std::array<std::uint64_t, 256> firstWithTop;
  std::uint64_t undecided = 0;
  for (const Entry& entry : entries) {
    const std::uint64_t key = entry.key;
    if (topCount[key >> 56]++ == 0) firstWithTop[key >> 56] = key;
    undecided |= key ^ firstWithTop[key >> 56];
  }
  const auto n = static_cast<std::uint32_t>(entries.size());
  for (int byte = 0; byte < 8; ++byte) {
    const int shift = 8 * byte;
    if (byte < 7) {
      if ((undecided >> shift & 0xff) == 0) continue;
      count.fill(0);
      for (const Entry& entry : entries) ++count[entry.key >> shift & 0xff];
    } else {
      if (std::find(topCount.begin(), topCount.end(), n) != topCount.end()) continue;
      count = topCount;
    }
    std::uint32_t start = 0;
    for (std::uint32_t& c : count) {
      const std::uint32_t here = c;
      c = start;
      start += here;
    }
    for (const Entry& entry : entries) scratch[count[entry.key >> shift & 0xff]++] = entry;
    entries.swap(scratch);
  }
}

}  // namespace vek
