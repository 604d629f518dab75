#include "body/reference_mode.h"

#include <atomic>

namespace {
std::atomic<bool> gReference{false};
}  // namespace

void setReferenceAlgorithms(bool on) { gReference.store(on, std::memory_order_relaxed); }

bool referenceAlgorithms() { return gReference.load(std::memory_order_relaxed); }
