#include "viewer/startup.h"

#include <gtest/gtest.h>

#include "viewer/scripted_dialogs.h"

namespace {

TEST(ViewerStartup, AFileOnTheCommandLineOpensWithoutAQuestion) {
  viewer::test::ScriptedDialogs dialogs;
  viewer::ViewerArguments arguments;
  arguments.snapshot = "world.view";
  EXPECT_EQ(viewer::firstSnapshot(arguments, dialogs), "world.view");
  EXPECT_TRUE(dialogs.questions.empty());
}

TEST(ViewerStartup, WithoutAFileTheUserIsAskedAndMayDeclineOrCancel) {
  viewer::test::ScriptedDialogs declining;
  declining.answers = {false};
  EXPECT_FALSE(viewer::firstSnapshot({}, declining));
  ASSERT_EQ(declining.questions.size(), 1u);
  EXPECT_EQ(declining.questions[0], "これから最初に読み込むファイルを選択します。よろしいですか？");

  viewer::test::ScriptedDialogs cancelling;
  cancelling.answers = {true};
  cancelling.snapshots = {std::nullopt};
  EXPECT_FALSE(viewer::firstSnapshot({}, cancelling));

  viewer::test::ScriptedDialogs choosing;
  choosing.answers = {true};
  choosing.snapshots = {"/data/plants.view"};
  EXPECT_EQ(viewer::firstSnapshot({}, choosing), "/data/plants.view");
  EXPECT_TRUE(choosing.snapshots.empty());
}

}  // namespace
