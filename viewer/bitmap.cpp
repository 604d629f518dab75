#include "viewer/bitmap.h"

#include <fstream>

namespace viewer {

namespace {
void put16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xff));
  out.push_back(static_cast<char>((v >> 8) & 0xff));
}
void put32(std::string& out, std::uint32_t v) {
  put16(out, v & 0xffff);
  put16(out, v >> 16);
}
}  // namespace

int pictureWidth(int windowWidth) { return windowWidth <= 0 ? 0 : windowWidth / 4 * 4; }

std::string bitmapFile(int width, int height, const std::vector<std::uint8_t>& rgb) {
  if (width < 0 || height < 0 || width % 4 != 0) return {};
  const std::uint64_t dataSize = 3ull * static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  if (dataSize + 54 > 0xffffffffull || rgb.size() < dataSize) return {};
  std::string out;
  out.reserve(static_cast<size_t>(dataSize) + 54);
  out += "BM";
  put32(out, static_cast<std::uint32_t>(dataSize + 54));
  put16(out, 0);
  put16(out, 0);
  put32(out, 54);
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(width));
  put32(out, static_cast<std::uint32_t>(height));
  put16(out, 1);
  put16(out, 24);
  for (int i = 0; i < 6; ++i) put32(out, 0);
  for (size_t i = 0; i < dataSize; i += 3) {
    out.push_back(static_cast<char>(rgb[i + 2]));
    out.push_back(static_cast<char>(rgb[i + 1]));
    out.push_back(static_cast<char>(rgb[i]));
  }
  return out;
}

bool writePictureFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace viewer
