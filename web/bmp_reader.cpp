#include "bmp_reader.h"

#include <cstddef>

namespace {

const int maxSide = 16384;

std::uint32_t readLE(const std::vector<std::uint8_t>& file, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | file[at + i];
  return value;
}

// One colour channel given by a bit mask, widened or narrowed to 8 bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(std::uint32_t m) : mask(m) {
    if (mask == 0) return;
    while (!(mask >> shift & 1)) ++shift;
    while (bits < 32 - shift && (mask >> (shift + bits) & 1)) ++bits;
  }

  std::uint8_t of(std::uint32_t pixel) const {
    if (bits == 0) return 0;
    std::uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<std::uint8_t>(value >> (bits - 8));
    return static_cast<std::uint8_t>(value * 255 / ((1u << bits) - 1));
  }
};

}  // namespace

bool decodeBmp(const std::vector<std::uint8_t>& file, BmpImage& image) {
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return false;
  const std::uint32_t pixelsAt = readLE(file, 10, 4);
  const std::uint32_t headerSize = readLE(file, 14, 4);
  const auto width = static_cast<std::int32_t>(readLE(file, 18, 4));
  const auto height = static_cast<std::int32_t>(readLE(file, 22, 4));
  const std::uint32_t depth = readLE(file, 28, 2);
  const std::uint32_t compression = readLE(file, 30, 4);
  if (headerSize < 40 || width <= 0 || width > maxSide || height == 0 || height < -maxSide ||
      height > maxSide)
    return false;

  // Without bit fields a 32-bit pixel is blue, green, red and an unused byte.
  std::uint32_t masks[3] = {0xff0000, 0xff00, 0xff};
  const bool bitFields = compression == 3 || compression == 6;
  if (depth == 32 && bitFields) {
    if (file.size() < 66) return false;
    for (int i = 0; i < 3; ++i) masks[i] = readLE(file, 54 + 4 * i, 4);
  } else if (compression != 0 || (depth != 24 && depth != 32)) {
    return false;
  }

  const int rows = height < 0 ? -height : height;
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * depth + 31) / 32 * 4;
  if (pixelsAt > file.size() ||
      (file.size() - pixelsAt) / rowBytes < static_cast<std::size_t>(rows))
    return false;

  const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
  image.width = width;
  image.height = rows;
  image.rgba.assign(static_cast<std::size_t>(width) * rows * 4, 255);
  for (int y = 0; y < rows; ++y) {
    // Rows are stored bottom-up unless the height is negative.
    const int fileRow = height < 0 ? y : rows - 1 - y;
    const std::size_t rowAt = pixelsAt + fileRow * rowBytes;
    std::uint8_t* out = &image.rgba[static_cast<std::size_t>(y) * width * 4];
    for (int x = 0; x < width; ++x, out += 4) {
      const std::uint32_t pixel = readLE(file, rowAt + x * (depth / 8), depth / 8);
      out[0] = red.of(pixel);
      out[1] = green.of(pixel);
      out[2] = blue.of(pixel);
    }
  }
  return true;
}
