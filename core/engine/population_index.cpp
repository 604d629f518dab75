#include "engine/population_index.h"

#include "body/parts_list.h"
#include "engine/seed.h"

void mPopulationIndex::make(const Living& living, const Parameters& p) {
  mIndex.clear(p);
  for (size_t k = 0; k < living.size(); ++k) mIndex.addBody(living[k]->body(), static_cast<int>(k));
  mMade = true;
  mPositionsKnown = true;
}

const mPartIndex& mPopulationIndex::forPlacement(const Living& living, const Parameters& p) {
  if (!mMade || !mIndex.fitsParameters(p)) make(living, p);
  return mIndex;
}

const mPartIndex& mPopulationIndex::forFatherSearch(const Living& living, const Parameters& p) {
  forPlacement(living, p);
  if (!mPositionsKnown) {
    for (size_t k = 0; k < living.size(); ++k) mIndex.setPosition(living[k]->body(), static_cast<int>(k));
    mPositionsKnown = true;
  }
  return mIndex;
}

void mPopulationIndex::admit(const mPartsList& body, size_t position) {
  if (mMade) mIndex.addBody(body, static_cast<int>(position));
}

void mPopulationIndex::changed(const mPartsList& body) {
  if (mMade) mIndex.updateBody(body);
}

void mPopulationIndex::remove(const mPartsList& body) {
  if (mMade) mIndex.removeBody(body);
  mPositionsKnown = false;
}

void mPopulationIndex::reset() {
  mIndex.clear(Parameters());
  mMade = false;
  mPositionsKnown = false;
}
