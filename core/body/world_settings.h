// mWorldSettings: what one world is set up with: its parameters and which of two ways, giving
// the same world, its light field and its placement tests take.
//
// The fast way (the default) keeps what it can from turn to turn: the light field resets and
// sums only the cells its parts covered, and the population answers placement tests and the
// father search through a spatial index of its parts. The plain way runs the plain
// algorithms: the whole grid is refilled every turn, and every placement test and father
// search walks every part of every living body. From the same seed both grow the same world,
// bit for bit; the plain way exists so that the two can be measured side by side and compared
// by the tests (vek-batch --reference).
//
// Owned by the world's place (engine/place.h); the field, the population and every body read
// it through their owners. A change of algorithms takes effect at the next light computation
// or placement test: the fast way rebuilds what it keeps when it comes back. Read and written
// under the world's mutex.
#pragma once

#include "body/parameters.h"

enum class mAlgorithms {
  kFast,
  kPlain,
};

struct mWorldSettings {
  Parameters parameters;
  mAlgorithms algorithms = mAlgorithms::kFast;
  // Whether the place records the lineage of its genomes (engine/lineage.h), and whether its
  // saves keep only the nodes with living descendants. Taken when a place is made.
  bool lineage = true;
  bool pruneLineage = false;
};
