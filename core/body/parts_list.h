// mPartsList: the body of one individual, held in two forms kept in step.
//
// The master form is a line of text in a small bracket grammar:
//   body  := "N" | "(" body "E<" x "," y "," z ">" tip ")"
//   tip   := body | "L<" r ">" | "F<" r ">"
// The leading body of a group holds the node the edge grows from (and whatever grew from it
// earlier); x, y, z is the edge's displacement; r is the radius of the leaf or flower at the
// edge's end. Numbers are "%.10lf". Beside the text the body keeps four vectors of live parts
// (flowers, leaves, edges, nodes), and the k-th letter of a kind in the text is always the
// k-th part of that kind in its vector. Growth operations address parts by these indices,
// taken modulo the count of the kind; a negative index or an empty kind refuses.
//
// A body whose text named parts that could not be laid out (an edge ending outside the field
// or blocked, a leaf or flower that is not clear) drops those groups from its text as it is
// parsed, so the letters and the vectors always agree.
//
// The owner (an individual, not owned) gives the root point, the energy that decides what the
// body can afford, and the population whose living bodies every new part must clear. An owner
// without a population tests only its own body and is never refused for lack of energy. The
// owner hears of every change of the flowers, leaves and edges (mBodyOwner::bodyPartsChanged),
// also part by part while a text is laid out, but not when the body is destroyed.
//
// Owns every part it holds. Not copyable. Called on the world's thread only.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "body/body_owner.h"
#include "body/parameters.h"
#include "body/parts.h"
#include "base/point3d.h"
#include "base/object.h"

// Raised when a body text is not in the grammar (or is truncated, or holds a number that is
// not a number). Breeding catches it and appends the text to the processor's trace.
class BodyParseError : public std::runtime_error {
 public:
  BodyParseError();
  // The error text as the trace and files hold it: the CP932 bytes of "おかしい".
  const std::string& cp932() const { return mCp932; }
  // what() gives the same text in UTF-8, for display.

 private:
  std::string mCp932;
};

class mPartsList : public mObject {
 public:
  // Lays out `text` from the owner's position. Throws BodyParseError for a text outside the
  // grammar. A new individual's body is "N". With no owner or no root point the body keeps
  // the text and holds no parts (so every growth operation refuses); "" holds no parts.
  mPartsList(mBodyOwner* owner, const std::string& text);
  // An empty body (text "", no parts), to be filled by read().
  explicit mPartsList(mBodyOwner* owner);
  ~mPartsList() override;
  mPartsList(const mPartsList&) = delete;
  mPartsList& operator=(const mPartsList&) = delete;

  const std::vector<std::unique_ptr<mFlower>>& flowers() const { return mFlowers; }
  const std::vector<std::unique_ptr<mLeaf>>& leaves() const { return mLeaves; }
  const std::vector<std::unique_ptr<mEdge>>& edges() const { return mEdges; }
  const std::vector<std::unique_ptr<mNode>>& nodes() const { return mNodes; }
  std::string text() const { return mText; }
  mBodyOwner* owner() const { return mOwner; }
  double flowerLight() const { return mFlowerLight; }
  double leafLight() const { return mLeafLight; }
  // The flower at index i, or nullptr when i is outside 0 .. count - 1 (no wrap-around).
  mFlower* flowerAt(int i) const;

  // Block output: "/*mPartsList start*/", the text, leafLight, flowerLight, "/*mPartsList end*/".
  void write(std::ostream& out) const;
  // Block input, then lays out the text from the owner's position. A truncated block or a text
  // outside the grammar leaves an empty body (text "", no parts) and fails the stream.
  void read(std::istream& in);
  // The snapshot lines of every edge, then every leaf, then every flower, each ended by CR LF.
  void writeParts(std::ostream& out) const;

  // The exact geometry behind the text, whose numbers keep 10 decimals: the counts of nodes,
  // leaves and flowers, then every node's point, every leaf's and every flower's centre and
  // radius, in vector order, at the stream's precision (17 digits give every double back).
  void writeGeometry(std::ostream& out) const;
  // Puts the parts of a body laid out from the same text at that geometry. Fails (stream
  // failed, nothing moved) when the counts differ or a number is missing.
  bool readGeometry(std::istream& in);

  // Growth. Each returns true when the body changed, false when nothing changed.
  // k is the node index; e the calories put into a leaf or flower; r, theta, phi the new edge
  // (length, angle from the vertical, azimuth; radians).
  bool makeNode(int k, double r, double theta, double phi);
  bool makeLeaf(int k, double e, double r, double theta, double phi);
  bool makeFlower(int k, double e, double r, double theta, double phi);
  // Leaf / flower k grows by e calories (a negative e shrinks it, to radius 0 at the least).
  bool growLeaf(int k, double e);
  bool growFlower(int k, double e);
  // Flower k shrinks to radius 0 (after it has bred); no clearance or energy test.
  bool resetFlower(int k);
  // Edge k and everything beyond it is removed; the node it grew from stays.
  bool cutEdge(int k);

  // Where a part index keeps its record of this body; the index checks that the slot is its
  // own. Nothing else reads it.
  std::uint32_t indexSlot() const { return mIndexSlot; }
  void setIndexSlot(std::uint32_t slot) const { mIndexSlot = slot; }

  // Placement tests, asked of every living body when a part of any body is placed.
  // True when every flower, leaf and edge of this body is clear of p by margin m.
  bool isClear(const mPoint3D& p, double m) const;
  // True when no flower or leaf of this body lies on the segment a-b (edges may cross edges).
  bool isSegmentClear(const mPoint3D& a, const mPoint3D& b) const;

  // Measures; 0 for a kind without parts.
  double flowerVolume() const;
  double flowerCalorie() const;
  double flowerKeep() const;
  double leafVolume() const;
  double leafCalorie() const;
  double leafKeep() const;
  double edgeVolume() const;
  double edgeCalorie() const;
  double edgeKeep() const;
  double totalVolume() const;   // the three volumes + mSeed_volume
  double totalCalorie() const;  // the three calories + mSeed_calorie
  double totalKeep() const;     // the three keeps + mSeed_keep_calorie
  // The same four at once, as the processor books them at every instruction.
  struct Upkeep {
    double flower = 0, leaf = 0, edge = 0, total = 0;
  };
  Upkeep upkeep() const;
  // The light income of the last light computation: sets leafLight (flowerLight) to the sum
  // of the leaves' (flowers') light. Called by the light field.
  void sumLeafLight();
  void sumFlowerLight();

  // What an edge of length L costs: pi * mEdge_radius^2 * L * mEdge_calorie.
  static double edgeCalorieFor(const Parameters& p, double length);
  // The owner's world's parameters; the built-in defaults for a body without an owner.
  const Parameters& parameters() const;

 private:
  enum class Tip { kNode, kLeaf, kFlower };
  bool makePart(Tip kind, int k, double e, double r, double theta, double phi);
  template <class Sphere>
  bool growSphere(std::vector<std::unique_ptr<Sphere>>& spheres, char letter, int k, double e);
  // The token of leaf or flower i (letter 'L' or 'F') becomes letter<radius>.
  void replaceSphereToken(char letter, size_t i, double radius);

  const mBodyPopulation* population() const;  // the owner's, or nullptr
  double energy() const;                      // the owner's current energy, 0 without owner
  bool affordsNewPart(double r, double e) const;
  bool affordsGrowth(double e) const;
  // Whether a part at t of radius r (r <= 0: a node or bare edge) may be placed, its edge
  // (when base is given) running from base to t.
  bool passesClearance(const mPoint3D* base, const mPoint3D& t, double r) const;

  void clearParts();
  // The flowers, leaves or edges have changed (only `resized`'s radius, when given); also
  // drops the cached keeps that the change touches.
  void tellOwner(const mSphere* resized = nullptr);
  // The three keeps, summed part by part as flowerKeep() etc. would, kept until the parts or
  // a parameter they depend on change: the processor asks for them at every instruction.
  struct Keeps {
    bool spheresValid = false;  // flower and leaf
    bool edgesValid = false;
    double flower = 0, leaf = 0, edge = 0;
    std::array<std::uint64_t, 7> parameters{};  // the bits of the parameters the sums were made with
  };
  const Keeps& keeps() const;
  double sumFlowerKeep() const;
  double sumLeafKeep() const;
  double sumEdgeKeep() const;
  // Lays out mText from the owner's root, dropping from mText the groups that cannot be
  // laid out. Throws BodyParseError (leaving no parts) for a text outside the grammar.
  void parse();

  mBodyOwner* mOwner;
  double mFlowerLight = 0;
  double mLeafLight = 0;
  std::string mText;
  std::vector<std::unique_ptr<mFlower>> mFlowers;
  std::vector<std::unique_ptr<mLeaf>> mLeaves;
  std::vector<std::unique_ptr<mEdge>> mEdges;
  std::vector<std::unique_ptr<mNode>> mNodes;
  mutable Keeps mKeeps;
  mutable std::uint32_t mIndexSlot = UINT32_MAX;
};
