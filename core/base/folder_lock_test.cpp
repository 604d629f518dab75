#include "base/folder_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "tests/test_support.h"

namespace {

TEST(FolderLock, OneHolderAtATime) {
  const std::string folder = vek::test::freshFolder("lock");
  vek::FolderLock first;
  ASSERT_TRUE(first.claim(folder, "vek-batch").ok());
  EXPECT_TRUE(first.claim(folder, "vek-batch").ok());  // again: it holds it already

  vek::FolderLock second;
  const vek::FileOutcome refused = second.claim(folder, "Vek");
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error.rfind(folder + " is in use by vek-batch (process " + std::to_string(getpid()) + " on ", 0),
            0u)
      << refused.error;

  first.release();
  EXPECT_TRUE(second.claim(folder, "Vek").ok());
  {
    vek::FolderLock third;
    EXPECT_FALSE(third.claim(folder, "vek-batch").ok());
  }
  EXPECT_EQ(second.folder(), folder);

  const vek::FileOutcome nowhere = first.claim(folder + "no/such/folder/", "vek-batch");
  EXPECT_EQ(nowhere.error.rfind("cannot lock the save folder: cannot open " + folder + "no/such/folder/vek.lock", 0), 0u)
      << nowhere.error;
}

}  // namespace
