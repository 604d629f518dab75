// The target dialog's line drawing of one plant: an isometric view whose ground origin, the
// individual's position, sits at the picture's horizontal centre and three quarters down,
// turned by the angle scroll bar and scaled by the distance scroll bar.
//
// A zoom multiplies the scroll bar's scale and a shift moves the picture, so a plant of any
// size can be framed; at zoom 1 without shift the drawing is the plain one, pixel for pixel.
//
// Plain values and painting; GUI thread (QPainter), no access to the world.
#pragma once

#include <QPoint>
#include <QPointF>
#include <vector>

#include "base/point3d.h"

class QImage;
class QPainter;
class mSeed;

namespace app {

// What the drawing needs of a plant, copied out of the world under its mutex.
struct PlantShape {
  struct Segment {
    mPoint3D a, b;
  };
  struct Sphere {
    mPoint3D centre;
    double size = 0;  // the radius
  };
  mPoint3D origin;  // the individual's position
  std::vector<Segment> edges;
  std::vector<Sphere> leaves;
  std::vector<Sphere> flowers;
};
PlantShape plantShapeOf(const mSeed& seed);

// Both scroll bars run from 0 to 255 and start at 128.
inline constexpr int kScrollMaximum = 255;
inline constexpr int kScrollStart = 128;

// The zoom on top of the distance bar: 1 is the plain drawing.
struct PlantZoom {
  double zoom = 1.0;
  QPointF shift;  // pixels the whole picture moves
};
inline constexpr double kMinimumZoom = 1.0 / 16;
inline constexpr double kMaximumZoom = 256.0;

class PlantProjection {
 public:
  // `width` and `height` are the picture's client size in pixels.
  PlantProjection(const mPoint3D& origin, int width, int height, int angleBar, int distanceBar,
                  const PlantZoom& zoom = {});

  // alpha = -pi + 2 pi a / 256: 128 gives 0.
  static double angleOf(int angleBar);
  // D = 2^(d / 128 - 1): 128 gives 1, 0 gives 0.5.
  static double distanceFactorOf(int distanceBar);

  QPoint project(const mPoint3D& p) const;
  // The radius in pixels of a leaf or flower of radius `size`: D x size x 5 (times the zoom).
  double radius(double size) const { return mFactor * size * 5 * mZoom.zoom; }

 private:
  mPoint3D mOrigin;
  int mWidth, mHeight;
  double mCos, mSin;
  double mFactor;
  PlantZoom mZoom;
  double mScale;  // k = D x 5, truncated, times the zoom
};

// The zoom and shift that frame the whole plant (every part, the circle at the individual)
// in the picture, with a margin, as the bars turn and scale it; the zoom within its bounds.
PlantZoom framePlant(const PlantShape& shape, int width, int height, int angleBar, int distanceBar);

// Paints the whole picture of `width` x `height`: white, red flowers, green leaves, blue
// edges and a blue circle at the individual, black axes 10 units long. One-pixel pens.
void drawPlant(QPainter& painter, const PlantShape& shape, int width, int height, int angleBar, int distanceBar,
               const PlantZoom& zoom = {});
// The same into a fresh image of that size.
QImage plantPicture(const PlantShape& shape, int width, int height, int angleBar, int distanceBar,
                    const PlantZoom& zoom = {});

}  // namespace app
