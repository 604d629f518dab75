// A save folder as one unit: the manifest, the save written in its order, and the recovery
// that brings a folder cut off at any moment back to its last whole save.
#include "records/save_unit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/checksum.h"
#include "tests/test_support.h"

namespace {

using vek::test::freshFolder;
using vek::test::readBytes;
using vek::test::writeBytes;

const std::vector<std::string> kLogs = {"a.log", "b.log", "once.log"};
const std::vector<std::string> kRequired = {"Vind.lives"};

std::vector<std::pair<std::string, std::string>> saveOf(const std::string& turn) {
  return {{"Vind.lives", "world " + turn + "\r\n"}, {"Ostrel.lives", "place " + turn + "\r\n"}};
}

bool exists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::string> leftovers(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".pending") != std::string::npos || name.find(".tmp") != std::string::npos) names.push_back(name);
  }
  return names;
}

TEST(SaveManifest, ReadsBackWhatItWrites) {
  vek::SaveManifest manifest;
  manifest.turn = 120;
  manifest.time = 4567;
  manifest.files = {{"Vind.lives", 29, 0x1234abcdu}, {"Ostrel.lives", 123456789012ull, 0u}};
  manifest.appended = {{"seed_num.log", true, 1500}, {"log_turn.log", false, 0}};
  const std::string text = vek::manifestText(manifest);
  EXPECT_EQ(text,
            "Vek save 1\r\nturn 120 time 4567\r\nfile Vind.lives 29 1234abcd\r\nfile Ostrel.lives 123456789012 00000000\r\n"
            "appended seed_num.log 1500\r\nappended log_turn.log none\r\nend\r\n");
  vek::SaveManifest read;
  std::string error;
  ASSERT_TRUE(vek::parseManifest(text, read, error)) << error;
  EXPECT_EQ(vek::manifestText(read), text);

  for (const std::string& damaged : {text.substr(0, text.size() - 5), std::string("Vek save 2\r\nend\r\n"),
                                     text.substr(0, text.find("1234abcd")) + "xyz\r\nend\r\n"}) {
    EXPECT_FALSE(vek::parseManifest(damaged, read, error)) << damaged;
    EXPECT_FALSE(error.empty());
  }
}

// The folder after a save of turn 1, whose logs then grew by a turn and a half.
std::string savedFolder(const std::string& name) {
  const std::string folder = freshFolder(name);
  writeBytes(folder + "a.log", "1 a\r\n");
  writeBytes(folder + "b.log", "1 b\r\n");
  EXPECT_TRUE(vek::writeSaveUnit(folder, saveOf("1"), kLogs, 1, 10).ok());
  writeBytes(folder + "a.log", "1 a\r\n2 a\r\n3");
  writeBytes(folder + "b.log", "1 b\r\n2 b\r\n");
  writeBytes(folder + "once.log", "written after the save\r\n");
  return folder;
}

TEST(SaveUnit, RecoveryCutsTheLogsBackToTheSave) {
  const std::string folder = savedFolder("cut");
  std::vector<std::string> notices;
  ASSERT_TRUE(vek::recoverSaveUnit(folder, notices, kRequired).ok());
  EXPECT_EQ(readBytes(folder + "a.log"), "1 a\r\n");  // half line included
  EXPECT_EQ(readBytes(folder + "b.log"), "1 b\r\n");
  EXPECT_FALSE(exists(folder + "once.log"));  // it did not exist at the save
  EXPECT_EQ(readBytes(folder + "Ostrel.lives"), "place 1\r\n");
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], "the logs were cut back to the save of turn 1 (2 lines written after it removed)");
  // A second recovery finds nothing to do.
  notices.clear();
  ASSERT_TRUE(vek::recoverSaveUnit(folder, notices, kRequired).ok());
  EXPECT_TRUE(notices.empty());
}

// Killed after the manifest of turn 2 but before all its files were put in place: the
// recovery finishes the save.
TEST(SaveUnit, ASaveCutShortAfterItsManifestIsFinished) {
  const std::string folder = savedFolder("finish");
  ASSERT_TRUE(vek::writeSaveUnit(folder, saveOf("2"), kLogs, 2, 20).ok());
  // Put the state back to "manifest written, one rename done".
  writeBytes(folder + "Ostrel.lives.pending", "place 2\r\n");
  writeBytes(folder + "Ostrel.lives", "place 1\r\n");
  writeBytes(folder + "Vind.lives.tmpAbC123", "half of something");
  std::vector<std::string> notices;
  ASSERT_TRUE(vek::recoverSaveUnit(folder, notices, kRequired).ok());
  EXPECT_EQ(readBytes(folder + "Ostrel.lives"), "place 2\r\n");
  EXPECT_EQ(readBytes(folder + "Vind.lives"), "world 2\r\n");
  EXPECT_TRUE(leftovers(folder).empty());
  ASSERT_FALSE(notices.empty());
  EXPECT_EQ(notices[0], "the save of turn 2 had been cut short; its files were put in place");
}

// Killed before the manifest: the pending files of the unfinished save go, the previous save
// stays whole.
TEST(SaveUnit, ASaveCutShortBeforeItsManifestLeavesThePreviousOne) {
  const std::string folder = savedFolder("undo");
  writeBytes(folder + "Vind.lives.pending", "world 2\r\n");
  writeBytes(folder + "Ostrel.lives.pending", "place");
  std::vector<std::string> notices;
  ASSERT_TRUE(vek::recoverSaveUnit(folder, notices, kRequired).ok());
  EXPECT_EQ(readBytes(folder + "Vind.lives"), "world 1\r\n");
  EXPECT_EQ(readBytes(folder + "Ostrel.lives"), "place 1\r\n");
  EXPECT_TRUE(leftovers(folder).empty());
}

TEST(SaveUnit, EditedFilesAreKeptAndMissingOnesRefused) {
  const std::string folder = savedFolder("edited");
  writeBytes(folder + "Ostrel.lives", "place 1, edited by hand\r\n");
  std::vector<std::string> notices;
  ASSERT_TRUE(vek::recoverSaveUnit(folder, notices, kRequired).ok());
  EXPECT_EQ(readBytes(folder + "Ostrel.lives"), "place 1, edited by hand\r\n");
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0], folder + "Ostrel.lives was changed after the save of turn 1; it is loaded as it stands");

  std::filesystem::remove(folder + "Vind.lives");
  notices.clear();
  const vek::FileOutcome missing = vek::recoverSaveUnit(folder, notices, kRequired);
  EXPECT_EQ(missing.error, "cannot load " + folder +
                               ": the save of turn 1 is incomplete: Vind.lives is missing (and no complete copy of it is left)");

  writeBytes(folder + "save.manifest", "Vek save 1\r\nturn x\r\n");
  EXPECT_EQ(vek::recoverSaveUnit(folder, notices, kRequired).error,
            "cannot load " + folder +
                ": its save.manifest is damaged (line 2 (\"turn x\") cannot be read); restore it, or remove it to "
                "load the lives files as they stand");
}

TEST(SaveUnit, AFailedSaveLeavesThePreviousSaveAndNoPendingFiles) {
  const std::string folder = savedFolder("failed");
  std::filesystem::create_directory(folder + "Ostrel.lives.pending");  // cannot be written as a file
  const vek::FileOutcome outcome = vek::writeSaveUnit(folder, saveOf("2"), kLogs, 2, 20);
  EXPECT_FALSE(outcome.ok());
  EXPECT_NE(outcome.error.find("Ostrel.lives.pending"), std::string::npos) << outcome.error;
  vek::SaveManifest manifest;
  ASSERT_TRUE(vek::readManifest(folder, manifest));
  EXPECT_EQ(manifest.turn, 1);
  std::filesystem::remove(folder + "Ostrel.lives.pending");
  EXPECT_FALSE(exists(folder + "Vind.lives.pending"));
  EXPECT_EQ(readBytes(folder + "Vind.lives"), "world 1\r\n");
}

TEST(SaveUnit, AFolderWithoutManifestIsLeftAsItIs) {
  const std::string folder = freshFolder("old");
  writeBytes(folder + "a.log", "1 a\r\n2");
  writeBytes(folder + "Ostrel.lives.tmpQwErTy", "x");
  std::vector<std::string> notices;
  ASSERT_TRUE(vek::recoverSaveUnit(folder, notices, kRequired).ok());
  EXPECT_EQ(readBytes(folder + "a.log"), "1 a\r\n2");
  EXPECT_FALSE(exists(folder + "Ostrel.lives.tmpQwErTy"));
  EXPECT_TRUE(notices.empty());
}

TEST(Checksum, IsZlibsCrc32) {
  EXPECT_EQ(vek::crcText(vek::crc32Of("123456789")), "cbf43926");  // the standard check value
  EXPECT_EQ(vek::crc32Of(""), 0u);
}

}  // namespace
