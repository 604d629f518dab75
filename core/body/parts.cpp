#include "body/parts.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "body/parameters.h"
#include "base/random.h"

size_t writeBodyNumber(char* out, double value) {
  // The text of printf's "%.10lf" in the C locale (to_chars promises the same digits, and
  // makes them several times faster: a body's text is rewritten at every growth). The largest
  // doubles need over 300 digits before the point.
  const auto result = std::to_chars(out, out + kBodyNumberRoom, value, std::chars_format::fixed, 10);
  return static_cast<size_t>(result.ptr - out);
}

std::string bodyNumberText(double value) {
  char buffer[kBodyNumberRoom];
  return std::string(buffer, writeBodyNumber(buffer, value));
}

void appendBodyNumber(std::string& text, double value) {
  char buffer[kBodyNumberRoom];
  text.append(buffer, writeBodyNumber(buffer, value));
}

const Parameters& mParts::parameters() const {
  return mOwner ? mOwner->bodyParameters() : kBuiltInParameters;
}

std::string mParts::snapshotLine() const { return "Parts  " + mPosition->toText(); }

std::string mParts::ownerIdText() const { return mOwner ? mOwner->bodyIdText() : std::string(); }

std::string mParts::ownerRootText() const {
  const mPoint3D* root = mOwner ? mOwner->bodyRoot() : nullptr;
  return root ? root->toText() : mPoint3D().toText();
}

mNode::mNode(std::unique_ptr<mPoint3D> position, const mBodyOwner* owner)
    : mParts(position.get(), owner), mOwned(std::move(position)) {}

std::string mNode::snapshotLine() const {
  return "N " + position()->toText() + " " + ownerIdText();
}

std::string mEdge::snapshotLine() const {
  return "E " + start()->toText() + " " + mEnd->toText() + " " + ownerIdText();
}

bool mEdge::clearOf(const mPoint3D* p, double margin) const {
  return !mPoint3D::nearSegment(p, margin, start(), mEnd);
}

double mEdge::length() const { return std::sqrt(mPoint3D::distance2(*start(), *mEnd)); }

double mEdge::volume() const {
  const double radius = parameters().mEdge_radius;
  return kPi * radius * radius * length();
}

double mEdge::calorie() const { return volume() * parameters().mEdge_calorie; }

double mEdge::keep() const { return calorie() * parameters().mEdge_keep_calorie; }

mSphere::mSphere(std::unique_ptr<mPoint3D> centre, double radius, const mBodyOwner* owner)
    : mParts(centre.get(), owner), mOwned(std::move(centre)), mRadius(radius) {}

bool mSphere::clearOfSegment(const mPoint3D* a, const mPoint3D* b) const {
  return !mPoint3D::nearSegment(position(), mRadius, a, b);
}

bool mSphere::clearOf(const mPoint3D* p, double margin) const {
  if (p == position()) return true;
  const double reach = margin + mRadius;
  return reach * reach <= mPoint3D::distance2(*p, *position());
}

double mSphere::volume() const { return 4.0 / 3.0 * kPi * mRadius * mRadius * mRadius; }

double mSphere::calorie() const { return volume() * caloriePerVolume(); }

std::string mSphere::sphereLine(const char* letter) const {
  return std::string(letter) + " " + position()->toText() + " " + bodyNumberText(mRadius) + " " +
         ownerRootText() + " " + ownerIdText();
}

double mSphere::radiusFor(double calorie, double perVolume) {
  if (!(calorie > 0)) return 0;
  return std::pow(calorie * 0.75 / kPi / perVolume, 0.3333333333333333);
}

std::string mLeaf::snapshotLine() const { return sphereLine("L"); }
double mLeaf::keep() const { return calorie() * parameters().mLeaf_keep_calorie; }
double mLeaf::caloriePerVolume() const { return parameters().mLeaf_calorie; }
double mLeaf::radiusForCalorie(const Parameters& p, double calorie) { return radiusFor(calorie, p.mLeaf_calorie); }

std::string mFlower::snapshotLine() const { return sphereLine("F"); }
double mFlower::keep() const { return calorie() * parameters().mFlower_keep_calorie; }
double mFlower::caloriePerVolume() const { return parameters().mFlower_calorie; }
double mFlower::radiusForCalorie(const Parameters& p, double calorie) {
  return radiusFor(calorie, p.mFlower_calorie);
}
