#include "base/file_lock.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(FileWriteLock, SerialisesWriters) {
  vek::FileWriteLock lock;
  int inside = 0, maxInside = 0, total = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        lock.lock();
        maxInside = std::max(maxInside, ++inside);
        ++total;
        --inside;
        lock.unlock();
      }
    });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(maxInside, 1);
  EXPECT_EQ(total, 8000);
  EXPECT_FALSE(lock.isBusy());
  {
    vek::FileWriteGuard guard(lock);
    EXPECT_TRUE(lock.isBusy());
  }
  EXPECT_FALSE(lock.isBusy());
}

}  // namespace
