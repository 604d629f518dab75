#include "viewer/bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/scratch_root.h"

namespace {

std::uint32_t le32(const std::string& bytes, size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(bytes[at + i]);
  return v;
}
std::uint32_t le16(const std::string& bytes, size_t at) {
  return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8;
}

// Pixels whose red, green and blue bytes say where they stand.
std::vector<std::uint8_t> numbered(int width, int height) {
  std::vector<std::uint8_t> rgb;
  for (int row = 0; row < height; ++row) {
    for (int x = 0; x < width; ++x) {
      rgb.push_back(static_cast<std::uint8_t>(x));
      rgb.push_back(static_cast<std::uint8_t>(x >> 8));
      rgb.push_back(static_cast<std::uint8_t>(100 + row));
    }
  }
  return rgb;
}

TEST(ViewerBitmap, PictureWidthIsRoundedDownToAMultipleOfFour) {
  EXPECT_EQ(viewer::pictureWidth(300), 300);
  EXPECT_EQ(viewer::pictureWidth(301), 300);
  EXPECT_EQ(viewer::pictureWidth(303), 300);
  EXPECT_EQ(viewer::pictureWidth(304), 304);
  EXPECT_EQ(viewer::pictureWidth(4), 4);
  EXPECT_EQ(viewer::pictureWidth(3), 0);
  EXPECT_EQ(viewer::pictureWidth(0), 0);
}

TEST(ViewerBitmap, HeaderFieldsAndUnpaddedRowsInBlueGreenRed) {
  for (int window : {300, 301}) {
    const int w = viewer::pictureWidth(window);
    const int h = 3;
    const std::string file = viewer::bitmapFile(w, h, numbered(w, h));
    ASSERT_EQ(file.size(), 3u * 300 * 3 + 54) << window;
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(le32(file, 2), 3u * 300 * 3 + 54);
    EXPECT_EQ(le16(file, 6), 0u);
    EXPECT_EQ(le16(file, 8), 0u);
    EXPECT_EQ(le32(file, 10), 54u);
    EXPECT_EQ(le32(file, 14), 40u);
    EXPECT_EQ(le32(file, 18), 300u);
    EXPECT_EQ(le32(file, 22), 3u);
    EXPECT_EQ(le16(file, 26), 1u);
    EXPECT_EQ(le16(file, 28), 24u);
    for (size_t at = 30; at < 54; at += 4) EXPECT_EQ(le32(file, at), 0u) << at;
    // pixel x = 299 of the bottom row, then the first pixel of the next row right after it
    const size_t last = 54 + 3 * 299;
    EXPECT_EQ(static_cast<std::uint8_t>(file[last]), 100);      // blue byte: the row
    EXPECT_EQ(static_cast<std::uint8_t>(file[last + 1]), 1);    // green: 299 >> 8
    EXPECT_EQ(static_cast<std::uint8_t>(file[last + 2]), 43);   // red: 299 & 0xff
    EXPECT_EQ(static_cast<std::uint8_t>(file[last + 3]), 101);  // row 1 starts unpadded
    EXPECT_EQ(static_cast<std::uint8_t>(file[last + 5]), 0);
  }
}

TEST(ViewerBitmap, AWindowNarrowerThanFourGivesAnEmptyPicture) {
  const int w = viewer::pictureWidth(3);
  const std::string file = viewer::bitmapFile(w, 300, {});
  ASSERT_EQ(file.size(), 54u);
  EXPECT_EQ(le32(file, 2), 54u);
  EXPECT_EQ(le32(file, 18), 0u);
  EXPECT_EQ(le32(file, 22), 300u);
}

TEST(ViewerBitmap, SizesThatDoNotFitGiveNoFile) {
  EXPECT_TRUE(viewer::bitmapFile(4, 2, std::vector<std::uint8_t>(23)).empty());  // 24 needed
  EXPECT_TRUE(viewer::bitmapFile(-4, 2, {}).empty());
  EXPECT_TRUE(viewer::bitmapFile(6, 1, std::vector<std::uint8_t>(18)).empty());
  EXPECT_TRUE(viewer::bitmapFile(40000, 40000, {}).empty());  // beyond 4 GiB
}

TEST(ViewerBitmap, WritesTheBytesAndReportsAFileItCannotCreate) {
  const std::filesystem::path dir = vek::test::scratchRoot() / "tovra_bitmap";
  std::filesystem::create_directories(dir);
  const std::string bytes = viewer::bitmapFile(4, 1, numbered(4, 1));
  const std::string path = (dir / "picture.bmp").string();
  ASSERT_TRUE(viewer::writePictureFile(path, bytes + bytes));
  ASSERT_TRUE(viewer::writePictureFile(path, bytes));  // truncates what stood there
  std::ifstream in(path, std::ios::binary);
  std::ostringstream read;
  read << in.rdbuf();
  EXPECT_EQ(read.str(), bytes);
  EXPECT_FALSE(viewer::writePictureFile((dir / "no such folder" / "x.bmp").string(), bytes));
}

}  // namespace
