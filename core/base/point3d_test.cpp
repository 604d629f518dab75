#include "base/point3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "base/random.h"

namespace {

TEST(Point3D, DisplacementFromLengthAndAngles) {
  const mPoint3D up = mPoint3D::fromPolar(1, 0, 1.3);
  EXPECT_NEAR(up.x, 0, 1e-15);
  EXPECT_NEAR(up.y, 0, 1e-15);
  EXPECT_EQ(up.z, 1);
  const mPoint3D side = mPoint3D::fromPolar(2, kPi / 2, kPi / 2);
  EXPECT_NEAR(side.x, 0, 1e-12);
  EXPECT_NEAR(side.y, 2, 1e-12);
  EXPECT_NEAR(side.z, 0, 1e-12);
  const mPoint3D back = mPoint3D::fromPolar(-1, 0, 0);
  EXPECT_EQ(back.z, -1);
}

TEST(Point3D, Measures) {
  const mPoint3D a(1, 2, 2), b(1, 0, 0);
  EXPECT_EQ(a.norm2(), 9);
  EXPECT_EQ(mPoint3D::distance2(a, b), 8);
  const mPoint3D sum = mPoint3D::plus(a, b);
  EXPECT_EQ(sum.x, 2);
  EXPECT_EQ(sum.z, 2);
}

TEST(Point3D, NearSegmentIsStrictAndKnowsIdentity) {
  const mPoint3D a(0, 0, 0), b(0, 0, 10);
  const mPoint3D side(1, 0, 5);
  EXPECT_FALSE(mPoint3D::nearSegment(&side, 1.0, &a, &b));  // exactly d away
  EXPECT_TRUE(mPoint3D::nearSegment(&side, 1.0000001, &a, &b));
  const mPoint3D behind(0, 0, -1), beyond(0, 0, 11.5);
  EXPECT_FALSE(mPoint3D::nearSegment(&behind, 1.0, &a, &b));
  EXPECT_TRUE(mPoint3D::nearSegment(&behind, 1.01, &a, &b));
  EXPECT_FALSE(mPoint3D::nearSegment(&beyond, 1.5, &a, &b));
  EXPECT_TRUE(mPoint3D::nearSegment(&beyond, 1.51, &a, &b));
  // the very end point object is never near; an equal copy is
  EXPECT_FALSE(mPoint3D::nearSegment(&b, 100, &a, &b));
  const mPoint3D copyOfB(b);
  EXPECT_TRUE(mPoint3D::nearSegment(&copyOfB, 0.001, &a, &b));
  // a point equal to the start, another object, is near
  const mPoint3D copyOfA(a);
  EXPECT_TRUE(mPoint3D::nearSegment(&copyOfA, 0.001, &a, &b));
}

TEST(Point3D, ZeroLengthSegmentIsNeverNear) {
  const mPoint3D a(1, 1, 1), b(1, 1, 1);
  const mPoint3D close(1, 1, 1.1), same(1, 1, 1);
  EXPECT_FALSE(mPoint3D::nearSegment(&close, 5, &a, &b));
  EXPECT_FALSE(mPoint3D::nearSegment(&same, 5, &a, &b));
}

TEST(Point3D, TextAndBlock) {
  const mPoint3D p(1.5, -40, 0.1285714285714286);
  EXPECT_EQ(p.toText(), "1.500000 -40.000000 0.128571");
  std::ostringstream out;
  out.precision(10);
  p.write(out);
  EXPECT_EQ(out.str(), "/*mPoint3D start*/\r\n1.5 -40 0.1285714286\r\n/*mPoint3D end*/\r\n");
  std::istringstream in(out.str() + "after\r\n");
  mPoint3D q;
  q.read(in);
  EXPECT_EQ(q.x, 1.5);
  EXPECT_EQ(q.y, -40);
  EXPECT_EQ(q.z, 0.1285714286);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "after\r");
}

}  // namespace
