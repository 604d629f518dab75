#include "viewer/data_values.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using viewer::Camera;

void readText(const std::string& file, viewer::Scene& scene) {
  std::istringstream in(file);
  vek::readSnapshot(in, scene);
}

TEST(ViewerDataValues, ShowTheFieldWindowAndCameraInFieldUnits) {
  viewer::DrawnColours colours{1};
  viewer::Scene scene(colours);
  readText("-30 -10 50 70 10 30 2.9\r\n", scene);  // scale 16
  Camera camera;
  camera.target_x = 1;
  camera.target_y = -2;
  camera.target_z = 0.5f;
  const viewer::DataDialogValues v = viewer::dataDialogValues(camera, scene, 301, 0);
  EXPECT_EQ(v.min_x, -30);
  EXPECT_EQ(v.min_y, -10);
  EXPECT_EQ(v.max_x, 50);
  EXPECT_EQ(v.max_y, 70);
  EXPECT_EQ(v.center_x, 10);
  EXPECT_EQ(v.center_y, 30);
  EXPECT_EQ(v.haba, 2.9);
  EXPECT_EQ(v.width, 301);
  EXPECT_EQ(v.height, 0);
  EXPECT_EQ(v.radius, 10.0f);
  EXPECT_EQ(v.theta, 60);
  EXPECT_EQ(v.phi, 70);
  EXPECT_EQ(v.origin_x, 26);
  EXPECT_EQ(v.origin_y, -2);
  EXPECT_EQ(v.origin_z, 8);
}

// The cell width is shown as it is, not cut to a whole number (which showed the default 0.08
// as 0).
TEST(ViewerDataValues, CellWidthIsShownWithItsFraction) {
  const struct {
    const char* haba;
    const char* shown;
  } cases[] = {{"0.08", "0.08"}, {"2.9", "2.9"}, {"-2.9", "-2.9"}, {"1e300", "1e+300"}};
  for (const auto& c : cases) {
    viewer::DrawnColours colours{1};
    viewer::Scene scene(colours);
    readText(std::string("-40 -40 40 40 0 0 ") + c.haba + "\r\n", scene);
    const viewer::DataDialogValues v = viewer::dataDialogValues(Camera(), scene, 0, 0);
    EXPECT_EQ(v.haba, std::stod(c.haba)) << c.haba;
    EXPECT_EQ(viewer::boxText(v.haba), c.shown) << c.haba;
  }
}

// What OK without changes does: every box shown as text, read back, and applied.
Camera throughTheBoxes(const Camera& camera, const viewer::Scene& scene) {
  viewer::DataDialogValues v = viewer::dataDialogValues(camera, scene, 300, 300);
  EXPECT_FALSE(viewer::readFloatBox(viewer::boxText(v.radius), 0, 100, v.radius));
  EXPECT_FALSE(viewer::readWholeBox(viewer::boxText(v.theta), 0, 360, v.theta));
  EXPECT_FALSE(viewer::readWholeBox(viewer::boxText(v.phi), 0, 360, v.phi));
  EXPECT_FALSE(viewer::readNumberBox(viewer::boxText(v.origin_x), -10000, 10000, v.origin_x));
  EXPECT_FALSE(viewer::readNumberBox(viewer::boxText(v.origin_y), -10000, 10000, v.origin_y));
  EXPECT_FALSE(viewer::readNumberBox(viewer::boxText(v.origin_z), -10000, 10000, v.origin_z));
  Camera after;
  viewer::applyDataDialogValues(v, scene, after);
  return after;
}

TEST(ViewerDataValues, OkWithoutChangesLeavesTheCameraAsItWas) {
  for (const char* field : {"-40 -40 40 40 0 0 0.08\r\n", "-33.3 -7.1 51.7 20.9 9.2 6.9 0.07\r\n", ""}) {
    viewer::DrawnColours colours{1};
    viewer::Scene scene(colours);
    readText(field, scene);
    for (float t : {0.0f, 1.0f, -3.0f, 0.1f, 1.2345678f, -0.0123f, 517.25f}) {
      Camera camera;
      camera.radius = 33.3f;
      camera.theta = 359;
      camera.phi = 1;
      camera.target_x = t;
      camera.target_y = -t / 3;
      camera.target_z = t / 7 + 0.5f;
      const Camera after = throughTheBoxes(camera, scene);
      EXPECT_EQ(after.radius, camera.radius);
      EXPECT_EQ(after.theta, camera.theta);
      EXPECT_EQ(after.phi, camera.phi);
      EXPECT_FLOAT_EQ(after.target_x, camera.target_x) << field << t;
      EXPECT_FLOAT_EQ(after.target_y, camera.target_y) << field << t;
      EXPECT_FLOAT_EQ(after.target_z, camera.target_z) << field << t;
    }
  }
}

TEST(ViewerDataValues, BoxesAcceptTheirRangesAndNameThemOtherwise) {
  float radius = 5;
  EXPECT_FALSE(viewer::readFloatBox("0", 0, 100, radius));
  EXPECT_EQ(radius, 0);
  EXPECT_FALSE(viewer::readFloatBox(" 100 ", 0, 100, radius));
  EXPECT_EQ(radius, 100);
  EXPECT_EQ(viewer::readFloatBox("100.5", 0, 100, radius), "0 から 100 までの数値を入力してください。");
  EXPECT_EQ(viewer::readFloatBox("-0.1", 0, 100, radius), "0 から 100 までの数値を入力してください。");
  for (const char* notANumber : {"", "abc", "12abc", "nan", "inf", "1,5", "--1", "+-1"})
    EXPECT_EQ(viewer::readFloatBox(notANumber, 0, 100, radius), "数値を入力してください。") << notANumber;
  EXPECT_EQ(radius, 100);

  int theta = 7;
  EXPECT_FALSE(viewer::readWholeBox("360", 0, 360, theta));
  EXPECT_EQ(theta, 360);
  EXPECT_FALSE(viewer::readWholeBox("+0", 0, 360, theta));
  EXPECT_EQ(theta, 0);
  for (const char* out : {"361", "-1", "99999999999999999999"})
    EXPECT_EQ(viewer::readWholeBox(out, 0, 360, theta), "0 から 360 までの整数を入力してください。") << out;
  for (const char* notWhole : {"", "12.5", "1e2", "x", "+-3"})
    EXPECT_EQ(viewer::readWholeBox(notWhole, 0, 360, theta), "整数を入力してください。") << notWhole;
  EXPECT_EQ(theta, 0);

  double origin = 1;
  EXPECT_FALSE(viewer::readNumberBox("-10000", -10000, 10000, origin));
  EXPECT_EQ(origin, -10000);
  EXPECT_EQ(viewer::readNumberBox("10000.001", -10000, 10000, origin), "-10000 から 10000 までの数値を入力してください。");
}

TEST(ViewerDataValues, BoxTextsAreTheShortestThatReadBack) {
  EXPECT_EQ(viewer::boxText(10.0f), "10");
  EXPECT_EQ(viewer::boxText(0.1f), "0.1");
  EXPECT_EQ(viewer::boxText(-40.0), "-40");
  EXPECT_EQ(viewer::boxText(0.08), "0.08");
  EXPECT_EQ(viewer::boxText(-7), "-7");
}

}  // namespace
