#include "base/text_io.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <sstream>
#include <vector>

#include "body/parts.h"
#include "base/cp932.h"
#include "tests/test_support.h"

namespace {

TEST(LineReader, SkipsWhiteSpaceAndAcceptsBothLineEnds) {
  std::istringstream in("\r\n  \n\tfirst line \r\nsecond\n\n third");
  std::string line;
  ASSERT_TRUE(vek::readLine(in, line));
  EXPECT_EQ(line, "first line ");
  ASSERT_TRUE(vek::readLine(in, line));
  EXPECT_EQ(line, "second");
  EXPECT_FALSE(vek::readLine(in, line));  // no line end
  EXPECT_EQ(line, "third");
  EXPECT_FALSE(in.fail());
  EXPECT_FALSE(vek::readLine(in, line));
  EXPECT_TRUE(in.fail());
}

TEST(LineReader, ReadsLinesOfAnyLength) {
  const std::string longLine(100000, 'x');
  std::istringstream in(longLine + "\r\nnext\r\n");
  std::string line;
  ASSERT_TRUE(vek::readLine(in, line));
  EXPECT_EQ(line, longLine);
  ASSERT_TRUE(vek::readLine(in, line));
  EXPECT_EQ(line, "next");
}

TEST(LineReader, SkippingAfterANumberTakesTheRestOfItsLine) {
  std::istringstream in("/*mID start*/\r\n3 4 5\r\n/*mID end*/\r\n/*next*/\r\n");
  vek::skipLine(in);
  int a = 0;
  in >> a;
  vek::skipLine(in);  // only " 4 5"
  std::string line;
  vek::readLine(in, line);
  EXPECT_EQ(line, "/*mID end*/");
}

TEST(Numbers, WorldFormatHasTenSignificantDigits) {
  EXPECT_EQ(vek::formatG10(1.0), "1");
  EXPECT_EQ(vek::formatG10(0.1285714285714286), "0.1285714286");
  EXPECT_EQ(vek::formatG10(-40.0), "-40");
  EXPECT_EQ(vek::formatG10(1e-5), "1e-05");
  EXPECT_EQ(vek::formatG10(12345678901.0), "1.23456789e+10");
  EXPECT_EQ(vek::formatG10(1000), "1000");
}

// The number texts of logs and bodies are made without printf or a stream, and must not differ
// from them in any digit: halfway cases, the switch to exponents, the largest and the
// smallest doubles, signed zeros, infinities and NaN.
TEST(Numbers, FastNumberTextsEqualPrintfAndTheStream) {
  std::vector<double> values = {0.0, -0.0, 0.5, 1.5, 2.5, 0.125, 0.00000000005, 0.00000000015, 1e-5, 1e-4,
                                9999999999.5, 1e10, 1e15, 1e16, 1e300, -1e300, 5e-324, 2.2250738585072014e-308,
                                1.7976931348623157e308, std::nan(""), -std::nan(""), INFINITY, -INFINITY};
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> exponent(-40, 40);
  std::uniform_int_distribution<std::uint64_t> bits;
  for (int k = 0; k < 20000; ++k) {
    values.push_back((k % 2 ? -1 : 1) * std::exp(exponent(random)));
    const double any = std::bit_cast<double>(bits(random));
    if (std::isfinite(any)) values.push_back(any);
  }
  for (double value : values) {
    char expected[400];
    std::snprintf(expected, sizeof expected, "%.10g", value);
    EXPECT_EQ(vek::formatG10(value), expected);
    std::ostringstream stream;
    vek::useWorldNumberFormat(stream);
    stream << value;
    EXPECT_EQ(vek::formatG10(value), stream.str());
    std::snprintf(expected, sizeof expected, "%.10lf", value);
    EXPECT_EQ(bodyNumberText(value), expected);
  }
}

TEST(Numbers, BlockReadersAcceptWhatTheWriterPrints) {
  std::ostringstream out;
  vek::useWorldNumberFormat(out);
  out << INFINITY << ' ' << -INFINITY << ' ' << NAN << ' ' << 2.5e-300 << ' ' << -7;
  std::istringstream in(out.str());
  double a = 0, b = 0, c = 0, d = 0;
  int e = 0;
  ASSERT_TRUE(vek::readDouble(in, a) && vek::readDouble(in, b) && vek::readDouble(in, c) &&
              vek::readDouble(in, d) && vek::readInt(in, e));
  EXPECT_TRUE(std::isinf(a) && a > 0);
  EXPECT_TRUE(std::isinf(b) && b < 0);
  EXPECT_TRUE(std::isnan(c));
  EXPECT_EQ(d, 2.5e-300);
  EXPECT_EQ(e, -7);
}

TEST(Numbers, FailedReadKeepsTheValueAndFailsTheStream) {
  std::istringstream in("abc " + std::string(500, '1'));
  double value = 4.5;
  EXPECT_FALSE(vek::readDouble(in, value));
  EXPECT_EQ(value, 4.5);
  EXPECT_TRUE(in.fail());
  std::istringstream longToken(std::string(500, '1'));
  int n = 3;
  EXPECT_FALSE(vek::readInt(longToken, n));
  EXPECT_EQ(n, 3);
  std::istringstream empty("");
  EXPECT_FALSE(vek::readInt(empty, n));
}

TEST(Numbers, LeadingNumbersAsScanfReadsThem) {
  double d = 0;
  int i = 0;
  EXPECT_TRUE(vek::parseLeadingDouble("  +2.5abc", d));
  EXPECT_EQ(d, 2.5);
  EXPECT_FALSE(vek::parseLeadingDouble("x1", d));
  EXPECT_FALSE(vek::parseLeadingDouble("--1", d));
  EXPECT_TRUE(vek::parseLeadingDouble("1e999", d));
  EXPECT_TRUE(std::isinf(d));
  EXPECT_TRUE(vek::parseLeadingInt("-12x", i));
  EXPECT_EQ(i, -12);
  EXPECT_TRUE(vek::parseLeadingInt("-99999999999", i));
  EXPECT_EQ(i, -2147483647 - 1);
  EXPECT_FALSE(vek::parseLeadingInt("-", i));
}

TEST(Text, CrLfConversionKeepsExistingPairs) {
  EXPECT_EQ(vek::toCrLf("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(vek::toCrLf("\n"), "\r\n");
}

TEST(Files, AtomicWriteReplacesAndLeavesNoTemporary) {
  const std::string folder = vek::test::freshFolder("atomic");
  ASSERT_TRUE(vek::writeFileAtomically(folder + "f.txt", "one"));
  ASSERT_TRUE(vek::writeFileAtomically(folder + "f.txt", "two\r\n"));
  EXPECT_EQ(vek::test::readBytes(folder + "f.txt"), "two\r\n");
  EXPECT_FALSE(vek::writeFileAtomically(folder + "missing/f.txt", "x"));
  ASSERT_TRUE(vek::appendToFile(folder + "log", "a\r\n"));
  ASSERT_TRUE(vek::appendToFile(folder + "log", "b\r\n"));
  EXPECT_EQ(vek::test::readBytes(folder + "log"), "a\r\nb\r\n");
}

TEST(Cp932, KnownBytes) {
  EXPECT_EQ(vek::toCp932("枝の半径"), "\x8E\x7D\x82\xCC\x94\xBC\x8C\x61");
  EXPECT_EQ(vek::toCp932("おかしい"), "\x82\xA8\x82\xA9\x82\xB5\x82\xA2");
  EXPECT_EQ(vek::toCp932("r　を"), "r\x81\x40\x82\xF0");
  EXPECT_EQ(vek::toCp932("（x）"), "\x81\x69x\x81\x6A");
  EXPECT_EQ(vek::toCp932("plain // 1"), "plain // 1");
  EXPECT_EQ(vek::fromCp932("\x8E\x7D\x82\xCC"), "枝の");
}

}  // namespace
