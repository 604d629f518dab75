#include "body/field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "body/fake_body_owner.h"
#include "body/parameters.h"
#include "body/parts_list.h"
#include "base/text_io.h"
#include "tests/test_support.h"

namespace {

using vek::test::FakeBodyOwner;

// A field of 10 x 10 unit cells from (0, 0) with daylight 1 per cell.
mWorldSettings smallField() {
  mWorldSettings settings;
  Parameters& p = settings.parameters;
  p.mField_N = 10;
  p.mField_min_x = 0;
  p.mField_min_y = 0;
  p.mField_haba = 1;
  p.mField_daylight = 1;
  return settings;
}

TEST(Field, EmptyGroundAbsorbsNothing) {
  const mWorldSettings settings;
  mField field(settings);
  EXPECT_EQ(field.side(), 1000);
  field.computeLight({});
  EXPECT_EQ(field.occupancy(), 0);
  EXPECT_EQ(field.excess(), 0);
  EXPECT_NEAR(field.totalDaylight(), 128571.43, 0.005);
  field.computeLight({});
  EXPECT_NEAR(field.totalDaylight(), 2 * 128571.43, 0.01);
  EXPECT_FALSE(field.isOverCapacity());
  EXPECT_EQ(field.cellLight(999, 0), settings.parameters.mField_daylight);
}

TEST(Field, OneLeafTakesSevenTenthsOfEveryCellItCovers) {
  FakeBodyOwner owner(mPoint3D(0.02, 0.02, 0));
  mPartsList body(&owner, "(NE<0,0,1>L<0.5>)");
  ASSERT_EQ(body.leaves().size(), 1u);
  const mWorldSettings settings;
  mField field(settings);
  field.computeLight({&body});

  // Cell centres lie at 0.02 + 0.02 * a (and b) with a, b = 1 mod 4 (..., -3, 1, 5, ...);
  // covered when (0.02 a)^2 + (0.02 b)^2 < 0.5^2, i.e. a^2 + b^2 < 625.
  int covered = 0;
  for (int a = -27; a <= 27; a += 4) {
    for (int b = -27; b <= 27; b += 4) covered += a * a + b * b < 625;
  }
  ASSERT_GT(covered, 100);
  const double daylight = settings.parameters.mField_daylight;
  EXPECT_NEAR(body.leaves()[0]->light(), 0.7 * daylight * covered, 1e-9);
  EXPECT_EQ(body.leafLight(), body.leaves()[0]->light());
  EXPECT_EQ(body.flowerLight(), 0);
  EXPECT_NEAR(field.cellLight(500, 500), 0.3 * daylight, 1e-15);  // centre (0.04, 0.04)
  EXPECT_EQ(field.cellLight(493, 500), daylight);                 // 0.54 away: not covered
  EXPECT_NEAR(field.occupancy(), 0.7 * covered / 1e6, 1e-12);

  // Light taken is recomputed each turn, not accumulated.
  field.computeLight({&body});
  EXPECT_NEAR(body.leafLight(), 0.7 * daylight * covered, 1e-9);
}

TEST(Field, HigherPartsShadeLowerOnesAndTiesKeepPopulationOrder) {
  const mWorldSettings settings = smallField();
  FakeBodyOwner ownerA(settings.parameters, mPoint3D(5, 5, 0)), ownerB(settings.parameters, mPoint3D(5, 5, 0));
  mPartsList upper(&ownerA, "(NE<0,0,2>L<1.0>)");
  mPartsList lower(&ownerB, "(NE<0,0,1>F<1.0>)");
  mField field(settings);
  field.computeLight({&lower, &upper});
  // Radius 1 around (5, 5) covers the four cells with centres (4.5|5.5, 4.5|5.5).
  EXPECT_NEAR(upper.leafLight(), 4 * 0.7, 1e-12);
  EXPECT_NEAR(lower.flowerLight(), 4 * 0.21, 1e-12);
  EXPECT_NEAR(field.occupancy(), (4 * 0.7 + 4 * 0.21) / 100, 1e-12);

  mPartsList twinA(&ownerA, "(NE<0,0,1>L<1.0>)");
  mPartsList twinB(&ownerB, "(NE<0,0,1>L<1.0>)");
  field.computeLight({&twinA, &twinB});
  EXPECT_NEAR(twinA.leafLight(), 2.8, 1e-12);
  EXPECT_NEAR(twinB.leafLight(), 0.84, 1e-12);
  field.computeLight({&twinB, &twinA});
  EXPECT_NEAR(twinB.leafLight(), 2.8, 1e-12);
  EXPECT_NEAR(twinA.leafLight(), 0.84, 1e-12);
}

TEST(Field, TheEdgeOfTheFieldBelongsToIt) {
  const mWorldSettings settings = smallField();
  const Parameters& p = settings.parameters;
  const mPoint3D corner(10, 10, 0), beyond(std::nextafter(10.0, 11.0), 5, 0);
  const mPoint3D low(0, 0, 0), under(5, 5, -1e-300);
  EXPECT_TRUE(mField::insideField(p, &corner));
  EXPECT_TRUE(mField::insideField(p, &low));
  EXPECT_FALSE(mField::insideField(p, &beyond));
  EXPECT_FALSE(mField::insideField(p, &under));
  EXPECT_FALSE(mField::insideField(p, nullptr));

  // A leaf on the right edge covers the last column only, and takes nothing beyond it.
  FakeBodyOwner owner(p, mPoint3D(10, 5, 0));
  mPartsList body(&owner, "(NE<0,0,2>L<1.2>)");
  ASSERT_EQ(body.leaves().size(), 1u);
  mField field(settings);
  field.computeLight({&body});
  EXPECT_NEAR(body.leafLight(), 2 * 0.7, 1e-12);  // cells (9, 4) and (9, 5)
  EXPECT_NEAR(field.cellLight(9, 4), 0.3, 1e-12);

  // A huge radius covers every cell without overflowing the cell range.
  FakeBodyOwner high(p, mPoint3D(5, 5, 0));
  mPartsList giant(&high, "(NE<0,0,1e300>L<1e299>)");
  ASSERT_EQ(giant.leaves().size(), 1u);
  field.computeLight({&giant});
  EXPECT_NEAR(giant.leafLight(), 100 * 0.7, 1e-9);
}

TEST(Field, CapacityIsExceededOnlyAboveIt) {
  mWorldSettings settings = smallField();
  Parameters& p = settings.parameters;
  p.mField_N = 2;
  p.mField_downsize = 0.5;
  p.mField_capacity = 0.5;
  FakeBodyOwner owner(p, mPoint3D(1, 1, 0));
  mPartsList body(&owner, "(NE<0,0,2>L<1.5>)");  // covers all four cells
  mField field(settings);
  field.computeLight({&body});
  EXPECT_EQ(field.occupancy(), 0.5);
  EXPECT_FALSE(field.isOverCapacity());
  EXPECT_EQ(field.excess(), 0);

  p.mField_capacity = 0.4;
  field.computeLight({&body});
  EXPECT_TRUE(field.isOverCapacity());
  EXPECT_NEAR(field.excess(), 0.25, 1e-15);
}

TEST(Field, GridFollowsTheSideOfTheParameters) {
  mWorldSettings settings = smallField();
  Parameters& p = settings.parameters;
  mField field(settings);
  ASSERT_EQ(field.side(), 10);
  p.mField_N = 20;  // a parameter file read after the field was made
  FakeBodyOwner owner(p, mPoint3D(19, 5, 0));
  mPartsList far(&owner, "(NE<0,0,1>L<1.0>)");
  FakeBodyOwner edgeOwner(p, mPoint3D(10, 5, 0));
  mPartsList edge(&edgeOwner, "(NE<0,0,1>L<1.0>)");
  ASSERT_EQ(far.leaves().size(), 1u);
  field.computeLight({&far, &edge});
  EXPECT_EQ(field.side(), 20);
  EXPECT_NEAR(far.leafLight(), 4 * 0.7, 1e-12);
  EXPECT_NEAR(edge.leafLight(), 4 * 0.7, 1e-12);
  EXPECT_EQ(field.totalDaylight(), 400);
  EXPECT_EQ(field.coveredCellVisits(), 8u);
  p.mField_N = 5;
  field.computeLight({&far, &edge});
  EXPECT_EQ(field.side(), 5);
  EXPECT_EQ(far.leafLight(), 0);
  EXPECT_EQ(edge.leafLight(), 0);
  EXPECT_EQ(field.totalDaylight(), 425);
  EXPECT_EQ(field.coveredCellVisits(), 8u);
  // sides no machine could hold, or below zero, are not taken
  p.mField_N = mField::kMaxSide + 1;
  field.computeLight({});
  EXPECT_EQ(field.side(), 5);
  p.mField_N = -3;
  field.computeLight({});
  EXPECT_EQ(field.side(), 5);
  EXPECT_EQ(field.totalDaylight(), 475);
}

TEST(Field, CentreAndBlock) {
  EXPECT_EQ(mField::centreX(kBuiltInParameters), 0);
  EXPECT_EQ(mField::centreY(kBuiltInParameters), 0);
  {
    mWorldSettings settings = smallField();
    settings.parameters.mField_min_y = -4;
    EXPECT_EQ(mField::centreX(settings.parameters), 5);
    EXPECT_EQ(mField::centreY(settings.parameters), 1);
  }

  mWorldSettings settings = smallField();
  settings.parameters.mField_daylight = 0.1285714285714286;
  settings.parameters.mField_capacity = 0.01;
  FakeBodyOwner owner(settings.parameters, mPoint3D(5, 5, 0));
  mPartsList body(&owner, "(NE<0,0,1>L<1.0>)");
  mField field(settings);
  field.computeLight({&body});
  std::ostringstream out;
  vek::useWorldNumberFormat(out);
  field.write(out);
  EXPECT_EQ(out.str(), "/*mField start*/\r\n0.028 1.8 12.85714286\r\n/*mField end*/\r\n");

  mField copy(settings);
  std::istringstream in(out.str());
  copy.read(in);
  EXPECT_TRUE(in);
  EXPECT_NEAR(copy.occupancy(), 0.028, 1e-12);
  EXPECT_NEAR(copy.excess(), 1.8, 1e-12);
  EXPECT_NEAR(copy.totalDaylight(), 12.85714286, 1e-12);
  EXPECT_TRUE(copy.isOverCapacity());
}

}  // namespace
