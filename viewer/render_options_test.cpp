#include "viewer/render_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

viewer::ParsedRenderCommand parse(std::vector<const char*> args) {
  args.insert(args.begin(), "tovra");
  return viewer::parseRenderCommand(static_cast<int>(args.size()), args.data());
}

bool isRender(std::vector<const char*> args) {
  args.insert(args.begin(), "tovra");
  return viewer::isRenderCommand(static_cast<int>(args.size()), args.data());
}

TEST(ViewerRenderOptions, OnlyRenderLeavesTheWindowAside) {
  EXPECT_TRUE(isRender({"--render", "a.png", "w.view"}));
  EXPECT_TRUE(isRender({"w.view", "--render=a.png"}));
  EXPECT_FALSE(isRender({"w.view"}));
  EXPECT_FALSE(isRender({"-geometry", "800x700", "--renderer.view"}));
}

TEST(ViewerRenderOptions, DefaultsAreTheWindowsCameraAtEightHundredBySixHundred) {
  const auto parsed = parse({"--render", "out.png", "world.view"});
  ASSERT_TRUE(parsed.options);
  const viewer::RenderOptions& o = *parsed.options;
  EXPECT_EQ(o.picture, "out.png");
  EXPECT_EQ(o.snapshot, "world.view");
  EXPECT_EQ(o.width, 800);
  EXPECT_EQ(o.height, 600);
  EXPECT_EQ(o.distance, 10);
  EXPECT_EQ(o.phi, 70);
  EXPECT_EQ(o.theta, 60);
  EXPECT_FALSE(o.target_x);
  EXPECT_TRUE(o.axes);
}

TEST(ViewerRenderOptions, ReadsSizeCameraTargetAndAxes) {
  const auto parsed = parse({"w.view", "--render=Out.PNG", "--size", "301x2", "--camera", "12.5,72.25,-3",
                             "--target", "-40,+2.5,1e1", "--no-axes"});
  ASSERT_TRUE(parsed.options);
  const viewer::RenderOptions& o = *parsed.options;
  EXPECT_EQ(o.picture, "Out.PNG");
  EXPECT_EQ(o.width, 301);
  EXPECT_EQ(o.height, 2);
  EXPECT_EQ(o.distance, 12.5);
  EXPECT_EQ(o.phi, 72.25);
  EXPECT_EQ(o.theta, -3);
  EXPECT_EQ(o.target_x, -40);
  EXPECT_EQ(o.target_y, 2.5);
  EXPECT_EQ(o.target_z, 10);
  EXPECT_FALSE(o.axes);
}

TEST(ViewerRenderOptions, UsageErrorsEndWithExitCodeTwo) {
  const std::vector<std::vector<const char*>> wrong = {
      {"--render", "out.png"},                                   // no snapshot
      {"--render", "out.png", "a.view", "b.view"},               // two
      {"--render", "out.bmp", "a.view"},                         // not a PNG name
      {"--render", "out.png", "--size", "800", "a.view"},        // one side
      {"--render", "out.png", "--size", "0x600", "a.view"},      // empty
      {"--render", "out.png", "--size", "80.5x60", "a.view"},    // half a pixel
      {"--render", "out.png", "--size", "16385x10", "a.view"},   // beyond any renderer
      {"--render", "out.png", "--size", "800 x600", "a.view"},
      {"--render", "out.png", "--camera", "10,70", "a.view"},    // two numbers
      {"--render", "out.png", "--camera", "10,70,60,1", "a.view"},
      {"--render", "out.png", "--camera", "10,,60", "a.view"},
      {"--render", "out.png", "--target", "a,b,c", "a.view"},
      {"--render", "out.png", "--target", "1,2,inf", "a.view"},
      {"--render", "out.png", "--zoom", "2", "a.view"},          // unknown
  };
  for (const auto& args : wrong) {
    const auto parsed = parse(args);
    EXPECT_FALSE(parsed.options) << args[2] << " " << args[3];
    EXPECT_EQ(parsed.exitCode, 2) << args[2] << " " << args[3];
  }
  for (const auto& args : std::vector<std::vector<const char*>>{{"--render", "out.png", "--help"}, {"--render", "-h"}}) {
    const auto help = parse(args);
    EXPECT_FALSE(help.options);
    EXPECT_EQ(help.exitCode, 0);
  }
}

}  // namespace
