// Records kept in a vector by slot, where a slot given up is taken again before the vector
// grows. The light field's covers and the part index's body records are kept so, their slot
// noted in the part or body they describe.
//
// Plain function; the caller's thread.
#pragma once

#include <cstdint>
#include <vector>

// A slot for a new record: the last one given up, or a new default-made record at the end.
template <class Records>
std::uint32_t takeSlot(Records& records, std::vector<std::uint32_t>& givenUp) {
  if (givenUp.empty()) {
    records.emplace_back();
    return static_cast<std::uint32_t>(records.size() - 1);
  }
  const std::uint32_t slot = givenUp.back();
  givenUp.pop_back();
  return slot;
}
