#include "base/instructions.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Instructions, TablesHaveTheirFixedWidths) {
  for (int code = 0; code < kInstructionCount; ++code) {
    EXPECT_EQ(std::strlen(mnemonicOf(code)), 4u) << code;
    EXPECT_EQ(paddedLongNameOf(code).size(), 18u) << code;
    EXPECT_EQ(std::strchr(wordOf(code), ' '), nullptr) << code;
  }
  EXPECT_STREQ(mnemonicOf(op::set_r), "s_r ");
  EXPECT_STREQ(wordOf(op::set_r), "s_r");
  EXPECT_STREQ(mnemonicOf(op::breed_flower), "bred");
  EXPECT_STREQ(longNameOf(op::set_edge_number), "set_edge_number");
  EXPECT_EQ(paddedLongNameOf(op::nop_0), "nop_0             ");
  EXPECT_STREQ(registerNameOf(kR), "r  ");
  EXPECT_STREQ(registerNameOf(kCounter), "co");
  EXPECT_STREQ(registerNameOf(kPhi), "ph ");
}

TEST(Instructions, RecognisingWords) {
  EXPECT_EQ(recognizeWord("s_r"), op::set_r);
  EXPECT_EQ(recognizeWord("s_r "), op::set_r);
  EXPECT_EQ(recognizeWord("ret"), op::ret);
  EXPECT_EQ(recognizeWord("makn"), op::make_node);
  EXPECT_EQ(recognizeWord("make_node"), -1);  // long names are compared padded
  EXPECT_EQ(recognizeWord("nop_0             "), op::nop_0);
  EXPECT_EQ(recognizeWord("MAKN"), -1);
  EXPECT_EQ(recognizeWord(""), -1);
  EXPECT_EQ(recognizeWord("bred"), 31);
}

TEST(Instructions, OpcodeRange) {
  EXPECT_TRUE(isOpcode(0));
  EXPECT_TRUE(isOpcode(31));
  EXPECT_FALSE(isOpcode(32));
  EXPECT_FALSE(isOpcode(-1));
}

}  // namespace
