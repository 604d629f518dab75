#include "viewer/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

viewer::ViewerArguments read(std::vector<const char*> args) {
  args.insert(args.begin(), "tovra");
  return viewer::readArguments(static_cast<int>(args.size()), args.data());
}

TEST(ViewerCommandLine, FindsTheSnapshotBesideGlutsOptions) {
  EXPECT_FALSE(read({}).snapshot);
  EXPECT_EQ(read({"world.view"}).snapshot, "world.view");
  EXPECT_EQ(read({"-display", ":1", "world.view"}).snapshot, "world.view");
  EXPECT_EQ(read({"-geometry", "400x300+10+10", "-iconic", "-sync", "a b.view"}).snapshot, "a b.view");
  EXPECT_FALSE(read({"-display", "x.view"}).snapshot);
  EXPECT_FALSE(read({"-geometry"}).snapshot);
  EXPECT_TRUE(read({"-gldebug"}).error.empty());
}

TEST(ViewerCommandLine, HelpAndASecondFile) {
  EXPECT_TRUE(read({"--help"}).help);
  EXPECT_TRUE(read({"x.view", "-h"}).help);
  EXPECT_FALSE(read({"x.view"}).help);
  const viewer::ViewerArguments two = read({"x.view", "y.view"});
  EXPECT_EQ(two.snapshot, "x.view");
  EXPECT_FALSE(two.error.empty());
}

}  // namespace
