#include "engine/population_index.h"

#include "body/parts_list.h"
#include "engine/seed.h"

void mPopulationIndex::make(const Living& living, const Parameters& p) {
  mIndex.clear(p);
  for (const auto& seed : living) mIndex.addBody(seed->body());
  mMade = true;
  ++mMadeCount;
}

const mPartIndex& mPopulationIndex::of(const Living& living, const Parameters& p) {
  if (!mMade || !mIndex.fitsParameters(p)) make(living, p);
  return mIndex;
}

void mPopulationIndex::admit(const mPartsList& body) {
  if (mMade) mIndex.addBody(body);
}

void mPopulationIndex::changed(const mPartsList& body, const mSphere* resized) {
  if (!mMade) return;
  if (resized) mIndex.updateSphere(body, *resized);
  else mIndex.updateBody(body);
}

void mPopulationIndex::remove(const mPartsList& body) {
  if (mMade) mIndex.removeBody(body);
}

void mPopulationIndex::reset() {
  mIndex.clear(Parameters());
  mMade = false;
}
