#include "app/bitmap_export.h"

#include <QImage>
#include <algorithm>
#include <cstdint>

namespace app {

namespace {

void put16(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value & 0xff));
  out.push_back(static_cast<char>(value >> 8));
}

void put32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xff));
}

}  // namespace

std::string bitmapFileBytes(const QImage& picture) {
  const int w = std::max(0, picture.width() - 2);
  const int h = std::max(0, picture.height() - 2);
  const int padding = w % 4;
  const std::uint32_t size = static_cast<std::uint32_t>(3 * w * h + 54 + padding * h);

  std::string out;
  out.reserve(size);
  out += "BM";
  put32(out, size);
  put16(out, 0);
  put16(out, 0);
  put32(out, 54);
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(w));
  put32(out, static_cast<std::uint32_t>(h));
  put16(out, 1);
  put16(out, 24);
  for (int field = 0; field < 6; ++field) put32(out, 0);

  for (int y = h; y >= 1; --y) {
    for (int x = 1; x <= w; ++x) {
      const QRgb pixel = picture.pixel(x, y);
      out.push_back(static_cast<char>(qBlue(pixel)));
      out.push_back(static_cast<char>(qGreen(pixel)));
      out.push_back(static_cast<char>(qRed(pixel)));
    }
    out.append(static_cast<size_t>(padding), '\0');
  }
  return out;
}

}  // namespace app
