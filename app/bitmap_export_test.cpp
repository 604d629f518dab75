// The bytes of the target dialog's bitmap picture.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdint>
#include <string>

#include "app/bitmap_export.h"

namespace app {
namespace {

std::uint32_t u32(const std::string& bytes, size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
  return value;
}

std::uint16_t u16(const std::string& bytes, size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// A picture whose pixel (x, y) is (x, y, 7) in red, green, blue, framed by a black border.
QImage numberedPicture(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x, y, 7));
  return image;
}

TEST(BitmapExport, HeaderOfThe24BitLayout) {
  const std::string bytes = bitmapFileBytes(numberedPicture(6, 5));  // W = 4, H = 3
  ASSERT_EQ(bytes.size(), 3u * 4 * 3 + 54);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(u32(bytes, 2), 3u * 4 * 3 + 54);
  EXPECT_EQ(u32(bytes, 6), 0u);
  EXPECT_EQ(u32(bytes, 10), 54u);
  EXPECT_EQ(u32(bytes, 14), 40u);
  EXPECT_EQ(u32(bytes, 18), 4u);
  EXPECT_EQ(u32(bytes, 22), 3u);
  EXPECT_EQ(u16(bytes, 26), 1);
  EXPECT_EQ(u16(bytes, 28), 24);
  for (size_t at = 30; at < 54; at += 4) EXPECT_EQ(u32(bytes, at), 0u) << at;
}

TEST(BitmapExport, AWidthThatIsAMultipleOfFourHasNoPadding) {
  const std::string bytes = bitmapFileBytes(numberedPicture(6, 5));
  // Rows bottom first (y = 3 up to 1), columns x = 1 to 4, each pixel blue, green, red.
  size_t at = 54;
  for (int y = 3; y >= 1; --y)
    for (int x = 1; x <= 4; ++x) {
      EXPECT_EQ(static_cast<unsigned char>(bytes[at++]), 7);
      EXPECT_EQ(static_cast<unsigned char>(bytes[at++]), y);
      EXPECT_EQ(static_cast<unsigned char>(bytes[at++]), x);
    }
  EXPECT_EQ(at, bytes.size());
}

TEST(BitmapExport, OtherWidthsPadEachRowWithWModFourZeros) {
  for (int w : {5, 6, 7}) {
    const int padding = w % 4;
    const std::string bytes = bitmapFileBytes(numberedPicture(w + 2, 4));  // H = 2
    const size_t size = 3u * w * 2 + 54 + padding * 2u;
    ASSERT_EQ(bytes.size(), size) << w;
    EXPECT_EQ(u32(bytes, 2), size);
    const size_t row = 3u * w + padding;
    EXPECT_EQ((3u * w + padding) % 4, 0u);
    for (int r = 0; r < 2; ++r) {
      const size_t start = 54 + row * r;
      EXPECT_EQ(static_cast<unsigned char>(bytes[start + 2]), 1);       // red of x = 1
      EXPECT_EQ(static_cast<unsigned char>(bytes[start + 1]), 2 - r);   // green: y = 2, then 1
      EXPECT_EQ(bytes.substr(start + 3u * w, padding), std::string(padding, '\0'));
    }
  }
}

TEST(BitmapExport, APictureWithoutInnerAreaIsAHeaderOnly) {
  EXPECT_EQ(bitmapFileBytes(numberedPicture(2, 9)).size(), 54u);
  EXPECT_EQ(bitmapFileBytes(QImage()).size(), 54u);
}

}  // namespace
}  // namespace app
