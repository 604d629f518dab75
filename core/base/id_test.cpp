#include "base/id.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(ID, TextAndBlock) {
  const mID id(10, 250, 1);
  EXPECT_EQ(id.text(), "10-250-1");
  std::ostringstream out;
  id.write(out);
  EXPECT_EQ(out.str(), "/*mID start*/\r\n10 250 1\r\n/*mID end*/\r\n");
  EXPECT_EQ(mID().text(), "0-0-0");
  EXPECT_EQ(mID(-1, 2147483647, -2147483647 - 1).text(), "-1-2147483647--2147483648");
}

TEST(ID, ReadSkipsFrameLinesWhateverTheyHold) {
  std::istringstream in("edited frame\n 61 \n 0 1\r\nanything\r\nrest\r\n");
  mID id;
  id.read(in);
  EXPECT_EQ(id.size, 61);
  EXPECT_EQ(id.time, 0);
  EXPECT_EQ(id.mark, 1);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "rest\r");
}

TEST(ID, TruncatedReadKeepsWhatItHad) {
  std::istringstream in("/*mID start*/\r\n5 x");
  mID id(1, 2, 3);
  id.read(in);
  EXPECT_EQ(id.size, 5);
  EXPECT_EQ(id.time, 2);
  EXPECT_EQ(id.mark, 3);
  EXPECT_TRUE(in.fail());
}

TEST(ID, Equality) {
  const mID a(3, 4, 1), b(3, 4, 1), c(3, 4, 2);
  EXPECT_TRUE(a.equals(&a));
  EXPECT_TRUE(a.equals(&b));
  EXPECT_FALSE(a.equals(&c));
  EXPECT_FALSE(a.equals(nullptr));
}

TEST(ID, BeforeOrdersSizeThenTimeThenMarkDescending) {
  const mID small(2, 9, 1), big(3, 0, 1), early(3, 0, 1), late(3, 5, 1), highMark(3, 5, 2);
  EXPECT_TRUE(mID::before(&small, &big));
  EXPECT_FALSE(mID::before(&big, &small));
  EXPECT_TRUE(mID::before(&early, &late));
  EXPECT_FALSE(mID::before(&late, &early));
  EXPECT_TRUE(mID::before(&highMark, &late));
  EXPECT_FALSE(mID::before(&late, &highMark));
  EXPECT_TRUE(mID::before(&big, &early));  // equal: true both ways
  EXPECT_TRUE(mID::before(&early, &big));
  EXPECT_TRUE(mID::before(&big, nullptr));
  EXPECT_FALSE(mID::before(nullptr, &big));
  EXPECT_FALSE(mID::before(nullptr, nullptr));
}

}  // namespace
