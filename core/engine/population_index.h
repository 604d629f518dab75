// mPopulationIndex: the part index (body/part_index.h) of a population's living bodies, with
// the bookkeeping that keeps it in step: whether it has been made.
//
// The index is made on first use by a search while the fast algorithms run, and made anew
// when the field's parameters no longer frame it. Once made it is kept in step as bodies are
// admitted, change and go, whichever algorithms run, until the population is read anew
// (`reset`). It knows nothing of the population's order: the father search puts the bodies it
// finds in order itself.
//
// Owned by its population (mSeedList), which tells it of every change. The searches are
// const for the population, so the population keeps this as a cache it may bring up to date.
// Called on the world's thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "body/part_index.h"

class mPartsList;
class mSeed;
struct Parameters;

class mPopulationIndex {
 public:
  using Living = std::vector<std::unique_ptr<mSeed>>;

  // The index of `living`, made or framed anew first when needed.
  const mPartIndex& of(const Living& living, const Parameters& p);

  // A body joins the living.
  void admit(const mPartsList& body);
  // A held body's flowers, leaves or edges have changed (only `resized`'s radius, when
  // given); bodies not held are ignored.
  void changed(const mPartsList& body, const mSphere* resized = nullptr);
  // A living body leaves the population.
  void remove(const mPartsList& body);
  // Forgets everything; the next search makes the index anew.
  void reset();
  // How many times the index has been made: the numbers it gives bodies (their index slots)
  // hold until it is made again.
  std::uint64_t made() const { return mMadeCount; }

 private:
  void make(const Living& living, const Parameters& p);

  mPartIndex mIndex;
  bool mMade = false;  // mIndex holds exactly the living bodies
  std::uint64_t mMadeCount = 0;
};
