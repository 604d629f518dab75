#include "viewer/camera.h"

#include <gtest/gtest.h>

#include <cmath>

#include "viewer/keys.h"

namespace {

using viewer::Camera;
using viewer::Command;

void press(Camera& camera, unsigned char key) {
  viewer::pressKey(camera, key);
  viewer::clampAndWrap(camera);
}

TEST(ViewerKeys, RadiusStopsAtMinusOne) {
  Camera camera;
  for (int i = 0; i < 11; ++i) press(camera, '1');
  EXPECT_EQ(camera.radius, -1.0f);
  press(camera, '9');
  EXPECT_EQ(camera.radius, 0.0f);
}

TEST(ViewerKeys, ArrowsLeaveAnglesUnwrappedUntilTheNextOrdinaryKey) {
  Camera camera;
  camera.phi = 360;
  viewer::pressArrow(camera, viewer::Arrow::Left);
  EXPECT_EQ(camera.phi, 365);
  press(camera, 'x');
  EXPECT_EQ(camera.phi, 5);

  camera.theta = 0;
  viewer::pressArrow(camera, viewer::Arrow::Down);
  viewer::pressArrow(camera, viewer::Arrow::Down);
  EXPECT_EQ(camera.theta, -10);
  press(camera, '8');
  EXPECT_EQ(camera.theta, 350);

  viewer::pressArrow(camera, viewer::Arrow::Up);
  viewer::pressArrow(camera, viewer::Arrow::Right);
  EXPECT_EQ(camera.theta, 355);
  EXPECT_EQ(camera.phi, 0);
}

TEST(ViewerKeys, WrappingKeepsTheBoundsAndActsOnce) {
  const struct {
    int before;
    int after;
  } cases[] = {{0, 0}, {360, 360}, {361, 1}, {-1, 359}, {-400, -40}, {725, 365}};
  for (const auto& c : cases) {
    Camera camera;
    camera.theta = c.before;
    camera.phi = c.before;
    viewer::clampAndWrap(camera);
    EXPECT_EQ(camera.theta, c.after) << c.before;
    EXPECT_EQ(camera.phi, c.after) << c.before;
  }
}

TEST(ViewerKeys, DigitsMoveTheTargetAndLettersNameTheirCommands) {
  const struct {
    unsigned char key;
    float dx, dy, dz, dr;
  } moves[] = {{'2', -1, 0, 0, 0}, {'8', 1, 0, 0, 0}, {'3', 0, -1, 0, 0}, {'7', 0, 1, 0, 0},
               {'4', 0, 0, -1, 0}, {'6', 0, 0, 1, 0}, {'1', 0, 0, 0, -1}, {'9', 0, 0, 0, 1}};
  for (const auto& m : moves) {
    Camera camera;
    EXPECT_EQ(viewer::pressKey(camera, m.key), Command::None) << m.key;
    EXPECT_EQ(camera.target_x, m.dx) << m.key;
    EXPECT_EQ(camera.target_y, m.dy) << m.key;
    EXPECT_EQ(camera.target_z, m.dz) << m.key;
    EXPECT_EQ(camera.radius, 10 + m.dr) << m.key;
  }
  const struct {
    unsigned char key;
    Command command;
  } commands[] = {{27, Command::Quit},      {'B', Command::SavePicture}, {'b', Command::SavePicture},
                  {'D', Command::ShowData}, {'d', Command::ShowData},    {'F', Command::Reload},
                  {'f', Command::Reload},   {'5', Command::None},        {'q', Command::None}};
  for (const auto& c : commands) {
    Camera camera;
    EXPECT_EQ(viewer::pressKey(camera, c.key), c.command) << int(c.key);
    EXPECT_EQ(camera.radius, 10.0f);
    EXPECT_EQ(camera.phi, 70);
  }
}

TEST(ViewerKeys, OnlyPressesOfTheLeftAndRightButtonsAct) {
  using viewer::MouseButton;
  EXPECT_EQ(viewer::pressMouse(MouseButton::Left, true), Command::SavePicture);
  EXPECT_EQ(viewer::pressMouse(MouseButton::Right, true), Command::ShowData);
  EXPECT_EQ(viewer::pressMouse(MouseButton::Middle, true), Command::None);
  EXPECT_EQ(viewer::pressMouse(MouseButton::Left, false), Command::None);
  EXPECT_EQ(viewer::pressMouse(MouseButton::Right, false), Command::None);
}

viewer::Vec3 cross(viewer::Vec3 a, viewer::Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(viewer::Vec3 a, viewer::Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

TEST(ViewerCamera, TheEyeCirclesTheTargetAtTheRadius) {
  Camera camera;
  camera.target_x = 1;
  camera.target_y = -2;
  camera.target_z = 0.5f;
  const viewer::LookAt view = viewer::lookAt(camera);
  const double t = 60 * viewer::kPi / 180, p = 70 * viewer::kPi / 180;
  EXPECT_NEAR(view.eye.x, 1 + 10 * std::sin(t) * std::cos(p), 1e-12);
  EXPECT_NEAR(view.eye.y, -2 + 10 * std::sin(t) * std::sin(p), 1e-12);
  EXPECT_NEAR(view.eye.z, 0.5 + 10 * std::cos(t), 1e-12);
  EXPECT_EQ(view.centre.x, 1);
  EXPECT_EQ(view.centre.y, -2);
  EXPECT_EQ(view.centre.z, 0.5);
  EXPECT_NEAR(viewer::length(view.up), 1, 1e-12);
  EXPECT_NEAR(dot(view.up, view.eye - view.centre), 0, 1e-9);

  camera.radius = -1;  // through the target to its far side
  const viewer::LookAt far = viewer::lookAt(camera);
  EXPECT_NEAR(far.eye.z, 0.5 - std::cos(t), 1e-12);
}

TEST(ViewerCamera, EveryReachableCameraGivesADefinedView) {
  for (float radius : {-1.0f, 0.0f, 0.5f, 10.0f, 100.0f}) {
    for (int theta = -5; theta <= 365; theta += 5) {
      for (int phi = -5; phi <= 365; phi += 5) {
        Camera camera;
        camera.radius = radius;
        camera.theta = theta;
        camera.phi = phi;
        const viewer::LookAt view = viewer::lookAt(camera);
        const viewer::Vec3 forward = view.centre - view.eye;
        ASSERT_GT(viewer::length(forward), 0) << radius << " " << theta << " " << phi;
        ASSERT_GT(viewer::length(cross(forward, view.up)), 1e-6 * viewer::length(forward))
            << radius << " " << theta << " " << phi;
        ASSERT_TRUE(viewer::isFinite(view.eye) && viewer::isFinite(view.up));
      }
    }
  }
  Camera atTarget;
  atTarget.radius = 0;
  const viewer::LookAt view = viewer::lookAt(atTarget);
  Camera near = atTarget;
  near.radius = 0.001f;
  const viewer::LookAt nearView = viewer::lookAt(near);
  // at radius 0 the eye keeps looking the way it looked just before
  EXPECT_GT(dot(view.centre - view.eye, nearView.centre - nearView.eye), 0);
}

TEST(ViewerCamera, AWindowWithoutAreaHasAFiniteAspect) {
  EXPECT_EQ(viewer::aspectRatio(300, 300), 1.0);
  EXPECT_EQ(viewer::aspectRatio(600, 300), 2.0);
  EXPECT_EQ(viewer::aspectRatio(300, 0), 1.0);
  EXPECT_EQ(viewer::aspectRatio(0, 300), 1.0);
  EXPECT_EQ(viewer::aspectRatio(0, 0), 1.0);
}

}  // namespace
