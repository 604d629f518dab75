#include "app/bitmap_export.h"

#include <QImage>
#include <algorithm>
#include <climits>
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
  // In 64 bits: 3 W H overflows an int long before a picture stops fitting in memory. A file
  // beyond what the 32-bit size field holds says so with its largest value.
  const std::uint64_t size = 3ull * static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) + 54 +
                             static_cast<std::uint64_t>(padding) * static_cast<std::uint64_t>(h);

  std::string out;
  out.reserve(size);
  out += "BM";
  put32(out, static_cast<std::uint32_t>(std::min<std::uint64_t>(size, UINT32_MAX)));
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
