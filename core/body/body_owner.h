// The seams between a plant body and the individual and population around it.
//
// A body (mPartsList) belongs to an individual (mSeed). It needs from that individual its
// world's parameters (every measure of a part reads them), the root point of the body (the individual's position), the current energy of its account (for
// the affordability of growth), its identifier's text (for snapshot lines) and, when the
// individual lives in a population, the population's two whole-body placement tests: a new
// part must clear every living body, not only its own. A body whose owner is in no population
// tests only itself and is never refused for lack of energy. In turn the body tells its owner
// whenever its flowers, leaves or edges change, so that a population can keep an index of
// where its parts stand.
//
// Implemented by mSeed and mSeedList; tests use small fakes. Called on the world's thread.
#pragma once

#include <string>

class mPartsList;
class mPoint3D;
class mSphere;
struct Parameters;

class mBodyPopulation {
 public:
  virtual ~mBodyPopulation() = default;
  // True when every living body answers isClear(p, margin).
  virtual bool isClearForAll(const mPoint3D& p, double margin) const = 0;
  // True when every living body answers isSegmentClear(a, b).
  virtual bool isSegmentClearForAll(const mPoint3D& a, const mPoint3D& b) const = 0;
};

class mBodyOwner {
 public:
  virtual ~mBodyOwner() = default;
  // The parameters of the individual's world; they outlive the body.
  virtual const Parameters& bodyParameters() const = 0;
  // The individual's position: the root point of its body. Lives as long as the owner.
  virtual const mPoint3D* bodyRoot() const = 0;
  // The current energy of the individual's account.
  virtual double bodyEnergy() const = 0;
  // The population the individual lives in, or nullptr.
  virtual const mBodyPopulation* bodyPopulation() const = 0;
  // The individual's identifier as "%d-%d-%d".
  virtual std::string bodyIdText() const = 0;
  // Called by `body` after any of its flowers, leaves or edges was made, grown, shrunk, reset,
  // cut or laid out, before anything else asks the population a placement test. `resized` is
  // the one leaf or flower whose radius alone changed, when that is all that changed;
  // nullptr when parts may have come, gone or moved.
  virtual void bodyPartsChanged(const mPartsList& /*body*/, const mSphere* /*resized*/) {}
  // True while the individual's world is being restored from an exact save: its body is then
  // laid out as saved, without the placement tests, which everything saved once passed.
  virtual bool bodyRestoring() const { return false; }
};
