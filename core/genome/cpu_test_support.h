// A small stand-in for the individual in the processor's tests: it owns a gene, a position at
// the origin, an optional body and the processor, and plays no part in any population unless a
// test gives it a breeding answer.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "body/body_owner.h"
#include "body/parameters.h"
#include "body/parts_list.h"
#include "base/point3d.h"
#include "genome/cpu.h"
#include "genome/gene.h"

namespace vek::test {

// The charge tail of an instruction of cost 1 on a body that is only the seed.
inline constexpr const char* kUnitTail =
    "   operator: 1.0000000000,keep 1.0000000000,total 2.0000000000";

// Marks the individual without a gene, as one is while its block is being read.
struct WithoutGene {};

class TestIndividual : public mCPUOwner, public mBodyOwner {
 public:
  // `bodyText` empty: no body at all; otherwise the body parsed from that text.
  explicit TestIndividual(std::vector<int> code, const std::string& bodyText = "")
      : mGeneHeld(std::make_unique<mGene>(nullptr, std::move(code))),
        mIdentifierSize(mGeneHeld->size()) {
    if (!bodyText.empty()) mBody = std::make_unique<mPartsList>(this, bodyText);
    mProcessor = std::make_unique<mCPU>(this);
  }
  TestIndividual(WithoutGene, int identifierSize) : mIdentifierSize(identifierSize) {
    mProcessor = std::make_unique<mCPU>(this);
  }

  mCPU& cpu() { return *mProcessor; }
  mPartsList& body() { return *mBody; }
  void setIdentifierSize(int size) { mIdentifierSize = size; }
  void runSteps(int count) {
    for (int k = 0; k < count; ++k) mProcessor->step();
  }

  // When set, the individual lives in a population and breeds through this answer.
  std::function<mBreedResult(const mPoint3D&, double)> breed;
  // The world's parameters as this individual sees them; tests change them freely.
  Parameters parameters;

  const Parameters& cpuParameters() const override { return parameters; }
  mPartsList* cpuBody() const override { return mBody.get(); }
  const mGene* cpuGene() const override { return mGeneHeld.get(); }
  int cpuIdentifierSize() const override { return mIdentifierSize; }
  bool cpuInPopulation() const override { return static_cast<bool>(breed); }
  mBreedResult cpuBreed(const mPoint3D& flowerPosition, double energy) override {
    return breed(flowerPosition, energy);
  }

  const Parameters& bodyParameters() const override { return parameters; }
  const mPoint3D* bodyRoot() const override { return &mRoot; }
  double bodyEnergy() const override { return mProcessor ? mProcessor->energy().current() : 0.0; }
  const mBodyPopulation* bodyPopulation() const override { return nullptr; }
  std::string bodyIdText() const override { return "1-0-0"; }

 private:
  std::unique_ptr<mGene> mGeneHeld;
  int mIdentifierSize = 0;
  mPoint3D mRoot;
  std::unique_ptr<mPartsList> mBody;
  std::unique_ptr<mCPU> mProcessor;
};

}  // namespace vek::test
