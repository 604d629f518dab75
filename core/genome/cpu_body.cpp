// The instructions that act on the individual's body. They read fixed registers, ask the body
// to change, and trace "sucess" or "failure"; a successful growth answers the energy that went
// into the new or grown part, which `step` adds to the instruction's cost. Indices go to the
// body as the registers give them, truncated; the body decides what an index out of range means.
#include <climits>

#include "body/parameters.h"
#include "body/parts_list.h"
#include "base/point3d.h"
#include "genome/cpu.h"

namespace {
double outcome(std::string& trace, bool changed, double energyPut) {
  trace += changed ? "sucess" : "failure";
  return changed ? energyPut : 0.0;
}

// A count read from a saved block may already stand at the limit.
void countOne(int& count) {
  if (count < INT_MAX) ++count;
}
}  // namespace

double mCPU::cutEdge() {
  if (mRegisters[kEdgeNumber] < 0.0) mRegisters[kEdgeNumber] = 0.0;
  mPartsList* living = body();
  return outcome(mTrace, living && living->cutEdge(registerToIndex(mRegisters[kEdgeNumber])), 0.0);
}

double mCPU::makeFlower() {
  mPartsList* living = body();
  const double r = mRegisters[kR];
  const bool made = living && living->makeFlower(registerToIndex(mRegisters[kNodeNumber]), 0.0, r,
                                                 theta(), phi());
  return outcome(mTrace, made, mPartsList::edgeCalorieFor(parameters(), r));
}

double mCPU::makeLeaf() {
  mPartsList* living = body();
  const double r = mRegisters[kR];
  const double energy = mRegisters[kLeafEnergy];
  const bool made = living && living->makeLeaf(registerToIndex(mRegisters[kNodeNumber]), energy, r,
                                               theta(), phi());
  return outcome(mTrace, made, energy + mPartsList::edgeCalorieFor(parameters(), r));
}

double mCPU::makeNode() {
  mPartsList* living = body();
  const double r = mRegisters[kR];
  const bool made =
      living && living->makeNode(registerToIndex(mRegisters[kNodeNumber]), r, theta(), phi());
  return outcome(mTrace, made, mPartsList::edgeCalorieFor(parameters(), r));
}

double mCPU::growFlower() {
  mPartsList* living = body();
  const double energy = mRegisters[kFlowerEnergy];
  const bool grown =
      living && living->growFlower(registerToIndex(mRegisters[kFlowerNumber]), energy);
  return outcome(mTrace, grown, energy);
}

double mCPU::growLeaf() {
  mPartsList* living = body();
  const double energy = mRegisters[kLeafEnergy];
  const bool grown = living && living->growLeaf(registerToIndex(mRegisters[kLeafNumber]), energy);
  return outcome(mTrace, grown, energy);
}

// The flower is emptied before the population is asked, whatever comes of the breeding, and
// breeding adds nothing to the instruction's cost. breedCount counts the children made and the
// flowers spent by an individual outside any population.
double mCPU::breedFlower() {
  mPartsList* living = body();
  const int index = registerToIndex(mRegisters[kFlowerNumber]);
  const mFlower* flower = living ? living->flowerAt(index) : nullptr;
  if (!flower) {
    mTrace += "cannot find target flower";
    return 0.0;
  }
  const mPoint3D where = *flower->position();
  const double energy = flower->calorie();
  living->resetFlower(index);
  if (!mOwner->cpuInPopulation()) {
    mTrace += "no seedList";
    countOne(mBreedCount);
    return 0.0;
  }
  try {
    if (mOwner->cpuBreed(where, energy) == mBreedResult::kBorn) {
      mTrace += "sucess";
      countOne(mBreedCount);
    } else {
      mTrace += "cannot make inner point";
    }
  } catch (const BodyParseError& error) {
    mTrace += error.cp932();
  }
  return 0.0;
}

double mCPU::theta() const { return parameters().mCPU_adjust_theta * mRegisters[kTheta]; }

double mCPU::phi() const { return parameters().mCPU_adjust_phy * mRegisters[kPhi]; }
