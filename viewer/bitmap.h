// The picture file of the viewer: an uncompressed 24-bit Windows bitmap of the window.
// GL-free, so the bytes can be checked without a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace viewer {

// The width of the saved picture: the window width rounded down to a multiple of 4, so every
// row of 3 * width bytes is a multiple of 4 bytes long and needs no padding.
int pictureWidth(int windowWidth);

// The whole file: a 54-byte header (file size 3*w*h + 54, data offset 54, information header
// of 40 bytes, w, h positive so rows run bottom-up, 1 plane, 24 bits, everything else 0),
// then the pixel rows bottom row first, each pixel as blue, green, red. `rgb` holds the pixels
// as read back from the frame buffer: bottom row first, red, green, blue, 3*w*h bytes.
// `width` must be a multiple of 4. Returns an empty string when the sizes do not fit the
// format (negative, or a file beyond 4 GiB) or `rgb` is too short.
std::string bitmapFile(int width, int height, const std::vector<std::uint8_t>& rgb);

// Writes `bytes` to `path` (created or truncated). Returns false when it cannot be written;
// nothing is reported to the user.
bool writePictureFile(const std::string& path, const std::string& bytes);

}  // namespace viewer
