#include "body/parts_list.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "body/field.h"
#include "body/parameters.h"
#include "base/random.h"
#include "base/cp932.h"
#include "base/text_io.h"

namespace {

constexpr const char* kParseErrorText = "おかしい";

// The index in text of the k-th (from 0) occurrence of letter, or the text's length.
size_t letterPosition(const std::string& text, char letter, size_t k) {
  const char* const start = text.data();
  const char* const end = start + text.size();
  for (const char* p = start; p < end; ++p) {
    p = static_cast<const char*>(std::memchr(p, letter, static_cast<size_t>(end - p)));
    if (!p) break;
    if (k-- == 0) return static_cast<size_t>(p - start);
  }
  return text.size();
}

// How many times letter occurs in the first p characters of text.
size_t lettersBefore(const std::string& text, char letter, size_t p) {
  return static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(std::min(p, text.size())), letter));
}

size_t lettersIn(const std::string& text, char letter, size_t from, size_t to) {
  return lettersBefore(text, letter, to) - lettersBefore(text, letter, from);
}

template <class Part>
void eraseRun(std::vector<std::unique_ptr<Part>>& parts, size_t from, size_t count) {
  parts.erase(parts.begin() + from, parts.begin() + from + count);
}

// A hint to the cache: the parts' records are about to be read, all of them, in one wave
// rather than one after another.
template <class Part>
void prefetchParts(const std::vector<std::unique_ptr<Part>>& parts) {
  for (const auto& part : parts) __builtin_prefetch(part.get());
}

template <class Part, class Measure>
double sumOf(const std::vector<std::unique_ptr<Part>>& parts, Measure measure) {
  double sum = 0;
  for (const auto& part : parts) sum += measure(*part);
  return sum;
}

}  // namespace

BodyParseError::BodyParseError()
    : std::runtime_error(kParseErrorText), mCp932(vek::toCp932(kParseErrorText)) {}

mPartsList::mPartsList(mBodyOwner* owner, const std::string& text) : mOwner(owner), mText(text) {
  parse();
}

mPartsList::mPartsList(mBodyOwner* owner) : mOwner(owner) {}

mPartsList::~mPartsList() { clearParts(); }

void mPartsList::tellOwner(const mSphere* resized) {
  // A leaf or flower that only changed its radius leaves the edges' upkeep as it was: that
  // sum, over the many edges all over the memory, is the costly one.
  mKeeps.spheresValid = false;
  if (!resized) mKeeps.edgesValid = false;
  if (mOwner) mOwner->bodyPartsChanged(*this, resized);
}

void mPartsList::clearParts() {
  // Edges go last: they borrow the points of the other parts.
  mFlowers.clear();
  mLeaves.clear();
  mNodes.clear();
  mEdges.clear();
  mKeeps.spheresValid = mKeeps.edgesValid = false;
}

mFlower* mPartsList::flowerAt(int i) const {
  if (i < 0 || static_cast<size_t>(i) >= mFlowers.size()) return nullptr;
  return mFlowers[static_cast<size_t>(i)].get();
}

void mPartsList::write(std::ostream& out) const {
  out << "/*mPartsList start*/" << vek::kEol << mText << vek::kEol << mLeafLight << vek::kEol
      << mFlowerLight << vek::kEol << "/*mPartsList end*/" << vek::kEol;
}

void mPartsList::read(std::istream& in) {
  vek::skipLine(in);
  std::string text;
  vek::readLine(in, text);
  vek::readDouble(in, mLeafLight) && vek::readDouble(in, mFlowerLight);
  vek::skipLine(in);
  clearParts();
  tellOwner();
  mText.clear();
  if (!in) return;
  mText = text;
  try {
    parse();
  } catch (const BodyParseError&) {
    mText.clear();
    in.setstate(std::ios_base::failbit);
  }
}

void mPartsList::writeGeometry(std::ostream& out) const {
  out << mNodes.size() << ' ' << mLeaves.size() << ' ' << mFlowers.size() << vek::kEol;
  for (const auto& node : mNodes) {
    const mPoint3D& p = *node->position();
    out << p.x << ' ' << p.y << ' ' << p.z << vek::kEol;
  }
  auto spheres = [&](const auto& list) {
    for (const auto& sphere : list) {
      const mPoint3D& p = *sphere->position();
      out << p.x << ' ' << p.y << ' ' << p.z << ' ' << sphere->radius() << vek::kEol;
    }
  };
  spheres(mLeaves);
  spheres(mFlowers);
}

bool mPartsList::readGeometry(std::istream& in) {
  int nodes = -1, leaves = -1, flowers = -1;
  if (!(vek::readInt(in, nodes) && vek::readInt(in, leaves) && vek::readInt(in, flowers))) return false;
  if (static_cast<size_t>(nodes) != mNodes.size() || static_cast<size_t>(leaves) != mLeaves.size() ||
      static_cast<size_t>(flowers) != mFlowers.size()) {
    vek::rejectValue(in, "a body's geometry lists " + std::to_string(nodes) + " nodes, " + std::to_string(leaves) +
                             " leaves and " + std::to_string(flowers) + " flowers; its text has " +
                             std::to_string(mNodes.size()) + ", " + std::to_string(mLeaves.size()) + " and " +
                             std::to_string(mFlowers.size()));
    return false;
  }
  std::vector<double> numbers(static_cast<size_t>(3 * nodes + 4 * (leaves + flowers)));
  for (double& number : numbers)
    if (!vek::readDouble(in, number)) return false;
  const double* next = numbers.data();
  auto point = [&] {
    const mPoint3D p(next[0], next[1], next[2]);
    next += 3;
    return p;
  };
  for (auto& node : mNodes) node->moveTo(point());
  auto spheres = [&](auto& list) {
    for (auto& sphere : list) {
      sphere->moveTo(point());
      sphere->setRadius(*next++);
    }
  };
  spheres(mLeaves);
  spheres(mFlowers);
  tellOwner();
  return true;
}

void mPartsList::writeParts(std::ostream& out) const {
  for (const auto& edge : mEdges) out << edge->snapshotLine() << vek::kEol;
  for (const auto& leaf : mLeaves) out << leaf->snapshotLine() << vek::kEol;
  for (const auto& flower : mFlowers) out << flower->snapshotLine() << vek::kEol;
}

bool mPartsList::makeNode(int k, double r, double theta, double phi) {
  return makePart(Tip::kNode, k, 0.0, r, theta, phi);
}

bool mPartsList::makeLeaf(int k, double e, double r, double theta, double phi) {
  return makePart(Tip::kLeaf, k, e, r, theta, phi);
}

bool mPartsList::makeFlower(int k, double e, double r, double theta, double phi) {
  return makePart(Tip::kFlower, k, e, r, theta, phi);
}

bool mPartsList::makePart(Tip kind, int k, double e, double r, double theta, double phi) {
  if (!affordsNewPart(r, e)) return false;
  if (mNodes.empty() || k < 0) return false;
  const size_t i = static_cast<size_t>(k) % mNodes.size();
  const mPoint3D* base = mNodes[i]->position();
  const mPoint3D v = mPoint3D::fromPolar(r, theta, phi);
  auto tip = std::make_unique<mPoint3D>(mPoint3D::plus(*base, v));
  double radius = -1;  // a node has no sphere to clear
  if (kind != Tip::kNode)
    radius = kind == Tip::kLeaf ? mLeaf::radiusForCalorie(parameters(), e) : mFlower::radiusForCalorie(parameters(), e);
  if (!mField::insideField(parameters(), tip.get()) || !passesClearance(base, *tip, radius)) return false;

  // Most attempts are refused: the token is written only for a part that is made.
  std::string token = "(NE<";
  appendBodyNumber(token, v.x);
  token += ',';
  appendBodyNumber(token, v.y);
  token += ',';
  appendBodyNumber(token, v.z);
  token += '>';
  if (kind == Tip::kNode) {
    token += "N)";
  } else {
    token += kind == Tip::kLeaf ? "L<" : "F<";
    appendBodyNumber(token, radius);
    token += ">)";
  }

  const size_t p = letterPosition(mText, 'N', i);
  mEdges.insert(mEdges.begin() + lettersBefore(mText, 'E', p),
                std::make_unique<mEdge>(base, tip.get(), mOwner));
  switch (kind) {
    case Tip::kNode:
      mNodes.insert(mNodes.begin() + i + 1, std::make_unique<mNode>(std::move(tip), mOwner));
      break;
    case Tip::kLeaf:
      mLeaves.insert(mLeaves.begin() + lettersBefore(mText, 'L', p),
                     std::make_unique<mLeaf>(std::move(tip), radius, mOwner));
      break;
    case Tip::kFlower:
      mFlowers.insert(mFlowers.begin() + lettersBefore(mText, 'F', p),
                      std::make_unique<mFlower>(std::move(tip), radius, mOwner));
      break;
  }
  mText.replace(p, 1, token);
  tellOwner();
  return true;
}

bool mPartsList::growLeaf(int k, double e) { return growSphere(mLeaves, 'L', k, e); }

bool mPartsList::growFlower(int k, double e) { return growSphere(mFlowers, 'F', k, e); }

template <class Sphere>
bool mPartsList::growSphere(std::vector<std::unique_ptr<Sphere>>& spheres, char letter, int k,
                            double e) {
  if (!affordsGrowth(e)) return false;
  if (spheres.empty() || k < 0) return false;
  const size_t i = static_cast<size_t>(k) % spheres.size();
  Sphere& sphere = *spheres[i];
  const double radius = Sphere::radiusForCalorie(parameters(), sphere.calorie() + e);
  if (!passesClearance(nullptr, *sphere.position(), radius)) return false;
  sphere.setRadius(radius);
  replaceSphereToken(letter, i, radius);
  tellOwner(&sphere);
  return true;
}

void mPartsList::replaceSphereToken(char letter, size_t i, double radius) {
  char token[kBodyNumberRoom + 3] = {letter, '<'};
  const size_t length = writeBodyNumber(token + 2, radius) + 2;
  token[length] = '>';
  const size_t p = letterPosition(mText, letter, i);
  mText.replace(p, mText.find('>', p) - p + 1, token, length + 1);
}

bool mPartsList::resetFlower(int k) {
  if (mFlowers.empty() || k < 0) return false;
  const size_t i = static_cast<size_t>(k) % mFlowers.size();
  mFlowers[i]->setRadius(0);
  replaceSphereToken('F', i, 0);
  tellOwner(mFlowers[i].get());
  return true;
}

bool mPartsList::cutEdge(int k) {
  if (mEdges.empty() || k < 0) return false;
  const size_t i = static_cast<size_t>(k) % mEdges.size();
  const size_t p = letterPosition(mText, 'E', i);

  // The edge's token and its tip run from p to the ")" that closes the edge's group.
  size_t end = p;
  for (int depth = 0; end < mText.size();) {
    const char c = mText[end++];
    if (c == '(') --depth;
    if (c == ')' && ++depth == 1) break;
  }
  // Text order is vector order, so the parts of that run are one run in each vector.
  eraseRun(mEdges, i, lettersIn(mText, 'E', p, end));
  eraseRun(mFlowers, lettersBefore(mText, 'F', p), lettersIn(mText, 'F', p, end));
  eraseRun(mLeaves, lettersBefore(mText, 'L', p), lettersIn(mText, 'L', p, end));
  eraseRun(mNodes, lettersBefore(mText, 'N', p), lettersIn(mText, 'N', p, end));
  mText.erase(p, end - p);

  // What is left of the group is "(" and its leading body: drop that "(".
  size_t open = p;
  for (int closed = 0; open > 0;) {
    const char c = mText[--open];
    if (c == ')') ++closed;
    if (c == '(' && closed-- == 0) break;
  }
  mText.erase(open, 1);
  tellOwner();
  return true;
}

const Parameters& mPartsList::parameters() const {
  return mOwner ? mOwner->bodyParameters() : kBuiltInParameters;
}

const mBodyPopulation* mPartsList::population() const {
  return mOwner ? mOwner->bodyPopulation() : nullptr;
}

bool mPartsList::affordsNewPart(double r, double e) const {
  const Parameters& p = parameters();
  if (0 <= r && r < p.mSeedList_min_r) return false;
  const double w = edgeCalorieFor(p, r);
  const double need = w * p.mEdge_keep_calorie + w + e;
  if (energy() * p.mPartsList_tolerance_energy >= need) return true;
  return population() == nullptr;
}

bool mPartsList::affordsGrowth(double e) const {
  return energy() * parameters().mPartsList_tolerance_energy >= e || population() == nullptr;
}

double mPartsList::energy() const { return mOwner ? mOwner->bodyEnergy() : 0.0; }

bool mPartsList::passesClearance(const mPoint3D* base, const mPoint3D& t, double r) const {
  const mBodyPopulation* bodies = population();
  if (base) {
    const bool segmentClear =
        bodies ? bodies->isSegmentClearForAll(*base, t) : isSegmentClear(*base, t);
    if (!segmentClear) return false;
  }
  if (r <= 0) return true;
  if (t.z < r) return false;  // a sphere may not reach below the ground
  return bodies ? bodies->isClearForAll(t, r) : isClear(t, r);
}

bool mPartsList::isClear(const mPoint3D& p, double m) const {
  for (const auto& flower : mFlowers) {
    if (!flower->clearOf(&p, m)) return false;
  }
  for (const auto& leaf : mLeaves) {
    if (!leaf->clearOf(&p, m)) return false;
  }
  for (const auto& edge : mEdges) {
    if (!edge->clearOf(&p, m)) return false;
  }
  return true;
}

bool mPartsList::isSegmentClear(const mPoint3D& a, const mPoint3D& b) const {
  for (const auto& flower : mFlowers) {
    if (!flower->clearOfSegment(&a, &b)) return false;
  }
  for (const auto& leaf : mLeaves) {
    if (!leaf->clearOfSegment(&a, &b)) return false;
  }
  return true;
}

double mPartsList::flowerVolume() const {
  return sumOf(mFlowers, [](const mFlower& f) { return f.volume(); });
}
double mPartsList::flowerCalorie() const {
  return sumOf(mFlowers, [](const mFlower& f) { return f.calorie(); });
}
double mPartsList::flowerKeep() const { return keeps().flower; }
double mPartsList::sumFlowerKeep() const {
  return sumOf(mFlowers, [](const mFlower& f) { return f.keep(); });
}
double mPartsList::leafVolume() const {
  return sumOf(mLeaves, [](const mLeaf& l) { return l.volume(); });
}
double mPartsList::leafCalorie() const {
  return sumOf(mLeaves, [](const mLeaf& l) { return l.calorie(); });
}
double mPartsList::leafKeep() const { return keeps().leaf; }
double mPartsList::sumLeafKeep() const {
  return sumOf(mLeaves, [](const mLeaf& l) { return l.keep(); });
}
double mPartsList::edgeVolume() const {
  return sumOf(mEdges, [](const mEdge& e) { return e.volume(); });
}
double mPartsList::edgeCalorie() const {
  return sumOf(mEdges, [](const mEdge& e) { return e.calorie(); });
}
double mPartsList::edgeKeep() const { return keeps().edge; }
double mPartsList::sumEdgeKeep() const {
  return sumOf(mEdges, [](const mEdge& e) { return e.keep(); });
}

const mPartsList::Keeps& mPartsList::keeps() const {
  // A parameter file read while the world stands changes what every part keeps.
  const Parameters& p = parameters();
  const std::array<std::uint64_t, 7> now = {
      std::bit_cast<std::uint64_t>(p.mFlower_calorie), std::bit_cast<std::uint64_t>(p.mFlower_keep_calorie),
      std::bit_cast<std::uint64_t>(p.mLeaf_calorie),   std::bit_cast<std::uint64_t>(p.mLeaf_keep_calorie),
      std::bit_cast<std::uint64_t>(p.mEdge_radius),    std::bit_cast<std::uint64_t>(p.mEdge_calorie),
      std::bit_cast<std::uint64_t>(p.mEdge_keep_calorie)};
  // Asked at every instruction: the seven words are compared without a call or a branch each.
  const std::array<std::uint64_t, 7>& then = mKeeps.parameters;
  std::uint64_t differ = 0;
  for (size_t k = 0; k < now.size(); ++k) differ |= now[k] ^ then[k];
  if (differ != 0) mKeeps.spheresValid = mKeeps.edgesValid = false;
  // The parts lie all over the memory, and the sums read every one: the edges' records and the
  // spheres' are asked for first, then the points at the edges' ends.
  if (!mKeeps.edgesValid) prefetchParts(mEdges);
  if (!mKeeps.spheresValid) {
    prefetchParts(mFlowers);
    prefetchParts(mLeaves);
  }
  if (!mKeeps.edgesValid) {
    for (const auto& edge : mEdges) {
      __builtin_prefetch(edge->start());
      __builtin_prefetch(edge->end());
    }
  }
  if (!mKeeps.spheresValid) {
    mKeeps.flower = sumFlowerKeep();
    mKeeps.leaf = sumLeafKeep();
  }
  if (!mKeeps.edgesValid) mKeeps.edge = sumEdgeKeep();
  mKeeps.parameters = now;
  mKeeps.spheresValid = mKeeps.edgesValid = true;
  return mKeeps;
}

double mPartsList::totalVolume() const {
  return leafVolume() + flowerVolume() + edgeVolume() + parameters().mSeed_volume;
}
double mPartsList::totalCalorie() const {
  return flowerCalorie() + edgeCalorie() + leafCalorie() + parameters().mSeed_calorie;
}
double mPartsList::totalKeep() const { return upkeep().total; }

mPartsList::Upkeep mPartsList::upkeep() const {
  const Keeps& k = keeps();
  return {k.flower, k.leaf, k.edge, k.flower + k.edge + k.leaf + parameters().mSeed_keep_calorie};
}

void mPartsList::sumLeafLight() {
  mLeafLight = sumOf(mLeaves, [](const mLeaf& l) { return l.light(); });
}
void mPartsList::sumFlowerLight() {
  mFlowerLight = sumOf(mFlowers, [](const mFlower& f) { return f.light(); });
}

double mPartsList::edgeCalorieFor(const Parameters& p, double length) {
  return kPi * p.mEdge_radius * p.mEdge_radius * length * p.mEdge_calorie;
}
