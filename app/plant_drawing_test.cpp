// The target dialog's projection and drawing.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "app/plant_drawing.h"

namespace app {
namespace {

TEST(PlantProjection, ScrollBarsMapToAngleAndDistance) {
  EXPECT_DOUBLE_EQ(PlantProjection::angleOf(128), 0.0);
  EXPECT_DOUBLE_EQ(PlantProjection::angleOf(0), -M_PI);
  EXPECT_DOUBLE_EQ(PlantProjection::distanceFactorOf(128), 1.0);
  EXPECT_DOUBLE_EQ(PlantProjection::distanceFactorOf(0), 0.5);
  EXPECT_DOUBLE_EQ(PlantProjection::distanceFactorOf(256), 2.0);
}

TEST(PlantProjection, APointTenUnitsAboveIsFiftyPixelsAboveTheGroundOrigin) {
  const mPoint3D origin(3.5, -2.0, 0.0);
  const PlantProjection projection(origin, 361, 301, 128, 128);
  EXPECT_EQ(projection.project(origin), QPoint(180, 225));
  EXPECT_EQ(projection.project(mPoint3D(3.5, -2.0, 10.0)), QPoint(180, 175));
}

TEST(PlantProjection, TurnsAndScalesTheGround) {
  const mPoint3D origin;
  // k = 5 at 128: one unit along x goes right by trunc(sqrt(3)/2 * 5) and up by trunc(5 / 2).
  const PlantProjection level(origin, 200, 200, 128, 128);
  EXPECT_EQ(level.project(mPoint3D(1, 0, 0)), QPoint(100 + 4, 150 + 2));
  EXPECT_EQ(level.project(mPoint3D(0, 1, 0)), QPoint(100 - 4, 150 + 2));
  // Half a turn (bar 0, alpha = -pi) swaps the sides of x.
  const PlantProjection turned(origin, 200, 200, 0, 128);
  EXPECT_EQ(turned.project(mPoint3D(1, 0, 0)), QPoint(100 - 4, 150 - 2));
  // Bar 0 halves the distance factor: k = trunc(2.5) = 2.
  const PlantProjection far(origin, 200, 200, 128, 0);
  EXPECT_EQ(far.project(mPoint3D(0, 0, 10)), QPoint(100, 150 - 20));
  EXPECT_DOUBLE_EQ(far.radius(2.0), 5.0);
}

TEST(PlantProjection, AZoomScalesAboutTheGroundOriginAndAShiftMovesEverything) {
  const mPoint3D origin;
  const PlantProjection plain(origin, 200, 200, 128, 128);
  const PlantProjection zoomed(origin, 200, 200, 128, 128, {4.0, {}});
  const PlantProjection shifted(origin, 200, 200, 128, 128, {1.0, {7, -3}});
  EXPECT_EQ(plain.project(mPoint3D(0, 0, 10)), QPoint(100, 100));
  EXPECT_EQ(zoomed.project(mPoint3D(0, 0, 10)), QPoint(100, 150 - 200));
  EXPECT_EQ(zoomed.project(origin), QPoint(100, 150));
  EXPECT_DOUBLE_EQ(zoomed.radius(2.0), 40.0);
  EXPECT_EQ(shifted.project(mPoint3D(0, 0, 10)), QPoint(107, 97));
}

TEST(PlantProjection, FramingPutsTheWholePlantInsideThePicture) {
  auto inside = [](const PlantShape& shape, int angleBar) {
    const PlantZoom zoom = framePlant(shape, 360, 320, angleBar, 128);
    const PlantProjection projection(shape.origin, 360, 320, angleBar, 128, zoom);
    const QRect picture(0, 0, 360, 320);
    for (const auto& edge : shape.edges)
      if (!picture.contains(projection.project(edge.a)) || !picture.contains(projection.project(edge.b))) return false;
    for (const auto& leaf : shape.leaves) {
      const QPoint at = projection.project(leaf.centre);
      const int r = static_cast<int>(projection.radius(leaf.size));
      if (!picture.contains(QRect(at.x() - r, at.y() - r, 2 * r, 2 * r))) return false;
    }
    return true;
  };
  // A tall plant far from the field's origin, too tall for the plain scale.
  PlantShape tall;
  tall.origin = mPoint3D(500, 300, 0);
  tall.edges.push_back({mPoint3D(500, 300, 0), mPoint3D(500, 300, 120)});
  tall.edges.push_back({mPoint3D(500, 300, 120), mPoint3D(530, 290, 140)});
  tall.leaves.push_back({mPoint3D(530, 290, 140), 6.0});
  EXPECT_LT(framePlant(tall, 360, 320, 128, 128).zoom, 1.0);
  for (int angle : {0, 60, 128, 200}) EXPECT_TRUE(inside(tall, angle)) << angle;
  // A seedling of one short edge is enlarged until it fills the picture.
  PlantShape seedling;
  seedling.edges.push_back({mPoint3D(0, 0, 0), mPoint3D(0, 0, 0.5)});
  EXPECT_GT(framePlant(seedling, 360, 320, 128, 128).zoom, 4.0);
  EXPECT_TRUE(inside(seedling, 128));
  // Nothing but the individual: the zoom stays within its bounds.
  const PlantZoom bare = framePlant(PlantShape(), 360, 320, 128, 128);
  EXPECT_GE(bare.zoom, kMinimumZoom);
  EXPECT_LE(bare.zoom, kMaximumZoom);
}

TEST(PlantDrawing, DrawsPartsInTheirColoursOnWhite) {
  PlantShape shape;
  shape.edges.push_back({mPoint3D(0, 0, 0), mPoint3D(0, 0, 6)});
  shape.leaves.push_back({mPoint3D(0, 0, 6), 2.0});
  shape.flowers.push_back({mPoint3D(0, 0, 14), 0.0});
  const QImage image = plantPicture(shape, 201, 201, 128, 128);
  // Ground origin at (100, 150); the edge runs up to (100, 120), the leaf circle of radius 10
  // around it, the z axis continues to (100, 100).
  EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(100, 140), QColor(Qt::black));  // the z axis is drawn over the edge
  EXPECT_EQ(image.pixelColor(110, 120), QColor(0, 128, 0));
  EXPECT_EQ(image.pixelColor(90, 120), QColor(0, 128, 0));
  // A flower of size 0 is a circle of radius 0: it leaves nothing around its place, above the
  // axis' end.
  for (int dx = -2; dx <= 2; ++dx)
    for (int dy = -2; dy <= 2; ++dy) EXPECT_NE(image.pixelColor(100 + dx, 80 + dy), QColor(Qt::red));
  // The blue circle of size 1 around the individual: radius 5.
  EXPECT_EQ(image.pixelColor(95, 150), QColor(Qt::blue));
}

}  // namespace
}  // namespace app
