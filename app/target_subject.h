// Who the target dialog shows: either an individual of the world's population, found again
// through its handle each time the dialog reads it, or a temporary individual made from a
// genome shown in the gene view. A temporary individual is owned here, with copies of its
// genome and of the world's parameters, so it stays valid whatever the world does meanwhile; it belongs to no population,
// stands on the ground at the field's centre, is not new-born and starts with no energy.
//
// GUI thread. find() reads the world: hold the world's mutex around it and around every use
// of what it returns.
#pragma once

#include <memory>
#include <vector>

#include "app/world_texts.h"
#include "base/id.h"

class mGene;
class mPlace;
class mSeed;
struct Parameters;

namespace app {

class TargetSubject {
 public:
  // Nothing to show.
  TargetSubject();
  ~TargetSubject();
  TargetSubject(TargetSubject&&) noexcept;
  TargetSubject& operator=(TargetSubject&&) = delete;

  static TargetSubject ofSeed(const SeedHandle& handle);
  // `parameters`: the world's, read under its mutex.
  static TargetSubject temporary(const mID& geneId, const std::vector<int>& codes, const Parameters& parameters);

  bool isEmpty() const { return !mHandle.seed && !mTemporary; }
  bool isTemporary() const { return mTemporary != nullptr; }
  // The individual, or nullptr when there is none or it has left the population.
  mSeed* find(const mPlace* place) const;

 private:
  SeedHandle mHandle;
  std::unique_ptr<mGene> mGenome;  // the temporary individual's genome; outlives it
  std::unique_ptr<Parameters> mParameters;  // and the parameters it lives under
  std::unique_ptr<mSeed> mTemporary;
};

}  // namespace app
