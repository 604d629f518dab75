// Which of the engine's two ways of computing the same world runs.
//
// The fast way (the default) keeps what it can from turn to turn: the light field resets and
// sums only the cells its parts covered, and the population answers placement tests and the
// father search through a spatial index of its parts. The reference way runs the plain
// algorithms: the whole grid is refilled and summed every turn, and every placement test and
// father search walks every part of every living body; the statistics logs are opened and
// closed for every line. From the same seed both grow the same world; only the field's
// occupancy (and the excess derived from it) may differ in its last digits, because the light
// left is summed in another order. The reference way exists so that
// the two can be measured side by side and compared by the tests (vek-batch --reference).
//
// Process-wide. Any thread may read it; set it before a run or while the world is parked. A
// change takes effect at the next light computation or placement test: the fast way rebuilds
// what it keeps when it comes back.
#pragma once

void setReferenceAlgorithms(bool on);
bool referenceAlgorithms();

// Chooses the algorithms for as long as it lives, then restores the previous choice (tests,
// benchmarks).
class ReferenceAlgorithmsScope {
 public:
  explicit ReferenceAlgorithmsScope(bool on) : mSaved(referenceAlgorithms()) { setReferenceAlgorithms(on); }
  ~ReferenceAlgorithmsScope() { setReferenceAlgorithms(mSaved); }
  ReferenceAlgorithmsScope(const ReferenceAlgorithmsScope&) = delete;
  ReferenceAlgorithmsScope& operator=(const ReferenceAlgorithmsScope&) = delete;

 private:
  bool mSaved;
};
