// Test stand-ins for the individual and population around a body: an owner with a root
// point, an energy, an identifier and an optional population; a population that asks a list
// of bodies the two whole-body placement tests. Used by the body and field tests only.
#pragma once

#include <string>
#include <vector>

#include "body/body_owner.h"
#include "body/parameters.h"
#include "body/parts_list.h"
#include "base/point3d.h"

namespace vek::test {

class FakeBodyOwner : public mBodyOwner {
 public:
  explicit FakeBodyOwner(mPoint3D root = mPoint3D(), std::string id = "61-0-0")
      : root(root), id(std::move(id)) {}
  // An owner in a world with parameters `p` (which outlive it).
  FakeBodyOwner(const Parameters& p, mPoint3D root) : parameters(&p), root(root), id("61-0-0") {}
  const Parameters& bodyParameters() const override { return *parameters; }
  const mPoint3D* bodyRoot() const override { return &root; }
  double bodyEnergy() const override { return energy; }
  const mBodyPopulation* bodyPopulation() const override { return population; }
  std::string bodyIdText() const override { return id; }

  const Parameters* parameters = &kBuiltInParameters;
  mPoint3D root;
  std::string id;
  double energy = 1000.0;
  const mBodyPopulation* population = nullptr;
};

class FakeBodyPopulation : public mBodyPopulation {
 public:
  bool isClearForAll(const mPoint3D& p, double margin) const override {
    for (const mPartsList* body : bodies) {
      if (!body->isClear(p, margin)) return false;
    }
    return true;
  }
  bool isSegmentClearForAll(const mPoint3D& a, const mPoint3D& b) const override {
    for (const mPartsList* body : bodies) {
      if (!body->isSegmentClear(a, b)) return false;
    }
    return true;
  }

  std::vector<const mPartsList*> bodies;
};

}  // namespace vek::test
