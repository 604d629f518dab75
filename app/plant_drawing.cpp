#include "app/plant_drawing.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "body/parts_list.h"
#include "engine/seed.h"

namespace app {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kAxisLength = 10.0;
constexpr int kFrameMargin = 8;  // pixels between a framed plant and the picture's edge

// A pixel coordinate truncated toward zero, as the drawing has always done; far-off points
// (a large zoom) stay far off instead of overflowing.
int pixel(double value) { return static_cast<int>(std::clamp(value, -1e9, 1e9)); }

void drawCircles(QPainter& painter, const PlantProjection& projection, const std::vector<PlantShape::Sphere>& spheres,
                 const QColor& colour) {
  painter.setPen(QPen(colour, 1));
  for (const auto& sphere : spheres) {
    const double r = projection.radius(sphere.size);
    painter.drawEllipse(QPointF(projection.project(sphere.centre)), r, r);
  }
}

}  // namespace

PlantShape plantShapeOf(const mSeed& seed) {
  PlantShape shape;
  shape.origin = seed.position();
  const mPartsList& body = seed.body();
  for (const auto& edge : body.edges()) shape.edges.push_back({*edge->start(), *edge->end()});
  for (const auto& leaf : body.leaves()) shape.leaves.push_back({*leaf->position(), leaf->radius()});
  for (const auto& flower : body.flowers()) shape.flowers.push_back({*flower->position(), flower->radius()});
  return shape;
}

PlantProjection::PlantProjection(const mPoint3D& origin, int width, int height, int angleBar, int distanceBar,
                                 const PlantZoom& zoom)
    : mOrigin(origin),
      mWidth(width),
      mHeight(height),
      mCos(std::cos(angleOf(angleBar))),
      mSin(std::sin(angleOf(angleBar))),
      mFactor(distanceFactorOf(distanceBar)),
      mZoom(zoom),
      mScale(static_cast<int>(mFactor * 5) * zoom.zoom) {}

double PlantProjection::angleOf(int angleBar) { return -kPi + 2 * kPi * angleBar / 256.0; }

double PlantProjection::distanceFactorOf(int distanceBar) { return std::pow(2.0, distanceBar / 128.0 - 1); }

QPoint PlantProjection::project(const mPoint3D& p) const {
  const double x = p.x - mOrigin.x, y = p.y - mOrigin.y, z = p.z - mOrigin.z;
  const double a = mCos * x - mSin * y;
  const double b = mSin * x + mCos * y;
  const int screenX = pixel(std::sqrt(3.0) / 2 * (a - b) * mScale) + mWidth / 2;
  const int screenY = static_cast<int>(0.75 * mHeight) - pixel(mScale * (z - (a + b) / 2));
  return QPoint(screenX, screenY) + mZoom.shift.toPoint();
}

PlantZoom framePlant(const PlantShape& shape, int width, int height, int angleBar, int distanceBar) {
  // At zoom 1 (and 1000 for exactness) the picture's points move away from the ground origin
  // in proportion to the zoom: measure the plant's extent there, then scale and centre it.
  constexpr double kProbe = 1000.0;
  const PlantProjection probe(shape.origin, width, height, angleBar, distanceBar, {kProbe, {}});
  const QPointF centre(width / 2, static_cast<int>(0.75 * height));
  QRectF extent;
  auto include = [&](const mPoint3D& p, double radius) {
    const QPointF at = (QPointF(probe.project(p)) - centre) / kProbe;
    const double r = probe.radius(radius) / kProbe;
    extent = extent.united(QRectF(at.x() - r, at.y() - r, 2 * r, 2 * r));
  };
  include(shape.origin, 1.0);
  for (const auto& edge : shape.edges) {
    include(edge.a, 0.0);
    include(edge.b, 0.0);
  }
  for (const auto& leaf : shape.leaves) include(leaf.centre, leaf.size);
  for (const auto& flower : shape.flowers) include(flower.centre, flower.size);

  const double roomX = std::max(1, width - 2 * kFrameMargin), roomY = std::max(1, height - 2 * kFrameMargin);
  double zoom = std::min(extent.width() > 0 ? roomX / extent.width() : kMaximumZoom,
                         extent.height() > 0 ? roomY / extent.height() : kMaximumZoom);
  zoom = std::clamp(zoom, kMinimumZoom, kMaximumZoom);
  const QPointF middle(width / 2.0, height / 2.0);
  return {zoom, middle - (centre + extent.center() * zoom)};
}

void drawPlant(QPainter& painter, const PlantShape& shape, int width, int height, int angleBar, int distanceBar,
               const PlantZoom& zoom) {
  const PlantProjection projection(shape.origin, width, height, angleBar, distanceBar, zoom);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBrush(Qt::NoBrush);
  painter.fillRect(0, 0, width, height, Qt::white);

  drawCircles(painter, projection, shape.flowers, Qt::red);
  drawCircles(painter, projection, shape.leaves, QColor(0, 128, 0));

  painter.setPen(QPen(Qt::blue, 1));
  for (const auto& edge : shape.edges) painter.drawLine(projection.project(edge.a), projection.project(edge.b));
  const double r = projection.radius(1.0);
  painter.drawEllipse(QPointF(projection.project(shape.origin)), r, r);

  painter.setPen(QPen(Qt::black, 1));
  const mPoint3D& o = shape.origin;
  const QPoint centre = projection.project(o);
  painter.drawLine(centre, projection.project(mPoint3D(o.x + kAxisLength, o.y, o.z)));
  painter.drawLine(centre, projection.project(mPoint3D(o.x, o.y + kAxisLength, o.z)));
  painter.drawLine(centre, projection.project(mPoint3D(o.x, o.y, o.z + kAxisLength)));
  painter.restore();
}

QImage plantPicture(const PlantShape& shape, int width, int height, int angleBar, int distanceBar,
                    const PlantZoom& zoom) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter painter(&image);
  drawPlant(painter, shape, width, height, angleBar, distanceBar, zoom);
  return image;
}

}  // namespace app
