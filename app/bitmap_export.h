// The target dialog's picture as a Windows bitmap: 24 bits a pixel, uncompressed, rows bottom
// first. The picture's one-pixel border is left out: of a w x h picture the inner W = w - 2 by
// H = h - 2 pixels are written, each row of 3 W bytes followed by W mod 4 zero bytes (so every
// row fills whole 4-byte words), and the file-size field holds 3 W H + 54 + (W mod 4) H.
//
// Plain function; any thread.
#pragma once

#include <string>

class QImage;

namespace app {

// The whole file. A picture smaller than 3 x 3 pixels gives a header with no pixels.
std::string bitmapFileBytes(const QImage& picture);

}  // namespace app
