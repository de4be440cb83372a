#include "bmp_reader.h"

#include <cstddef>

#include "bmp_header.h"
#include "little_endian.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t number(const Bytes& file, std::size_t at, int bytes) {
  return static_cast<std::uint32_t>(littleEndian(&file[at], bytes));
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

// The channel masks of 16- and 32-bit pixels: given after a 40-byte header
// and at the same place in later ones, or the 5-5-5 and 8-8-8 defaults.
void readMasks(const Bytes& file, const BmpLayout& l, std::uint32_t masks[3]) {
  const std::uint32_t plain[3] = {0x7c00, 0x3e0, 0x1f}, wide[3] = {0xff0000, 0xff00, 0xff};
  for (int i = 0; i < 3; ++i)
    masks[i] = l.compression == 3 ? number(file, 54 + 4 * i, 4)
               : l.depth == 16    ? plain[i]
                                  : wide[i];
}

// The pixel's bits: a palette index at depths up to 8, else the packed colour.
std::uint32_t bitsAt(const Bytes& file, std::size_t rowAt, std::size_t x, std::uint32_t depth) {
  if (depth >= 8) return number(file, rowAt + x * depth / 8, static_cast<int>(depth / 8));
  const unsigned shift = 8 - depth - x * depth % 8;
  return file[rowAt + x * depth / 8] >> shift & ((1u << depth) - 1);
}

// The palette indices of run-length coded rows, bottom row first: a run is a
// count and the byte it repeats; a zero count escapes to the end of a row (0),
// of the picture (1), a move right and up (2, then both distances), or that
// many indices as they are, padded to an even number of bytes. A 4-bit byte
// holds two indices, the first in its high half. False when the codes run
// past the end of the file.
bool unpackRuns(const Bytes& file, const BmpLayout& l, Bytes& indices) {
  const bool halves = l.depth == 4;
  const std::size_t width = static_cast<std::size_t>(l.width), rows = l.height;
  std::size_t at = l.pixelsAt, x = 0, row = 0;
  indices.assign(width * rows, 0);
  auto put = [&](std::uint8_t index) {
    if (x < width && row < rows) indices[(rows - 1 - row) * width + x] = index;
    ++x;
  };
  auto indexOf = [&](std::uint8_t byte, int i) -> std::uint8_t {
    return halves ? (i % 2 ? byte & 15 : byte >> 4) : byte;
  };
  while (at + 1 < file.size()) {
    const std::uint8_t count = file[at], value = file[at + 1];
    at += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(indexOf(value, i));
    } else if (value == 0) {
      x = 0, ++row;
    } else if (value == 1) {
      return true;
    } else if (value == 2 && at + 1 < file.size()) {
      x += file[at], row += file[at + 1], at += 2;
    } else if (const std::size_t bytes = halves ? (value + 1) / 2 : value;
               value > 2 && file.size() - at >= bytes) {
      for (int i = 0; i < value; ++i) put(indexOf(file[at + (halves ? i / 2 : i)], i));
      at += (bytes + 1) / 2 * 2;
    }
  }
  return false;
}

}  // namespace

std::string decodeBmp(const Bytes& file, BmpImage& image) {
  BmpLayout l;
  const std::string problem = bmpHeaderProblem(file.data(), file.size(), file.size(), l);
  if (!problem.empty()) return problem;
  // Past the header, in the words the desktop has for what its loader refuses.
  const char* const unreadable = "it is not a BMP picture the game can read";
  const std::size_t width = static_cast<std::size_t>(l.width);
  const std::size_t rows = static_cast<std::size_t>(l.height < 0 ? -l.height : l.height);
  const std::size_t rowBytes = (width * l.depth + 31) / 32 * 4;
  Bytes runs;
  if (l.compression != 0 && l.depth <= 8 && !unpackRuns(file, l, runs)) return unreadable;
  std::uint32_t masks[3];
  readMasks(file, l, masks);
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
  const std::size_t paletteAt = 14 + l.headerSize, entryBytes = l.headerSize == 12 ? 3 : 4;
  image.width = static_cast<int>(l.width);
  image.height = static_cast<int>(rows);
  image.rgba.assign(width * rows * 4, 255);
  for (std::size_t y = 0; y < rows; ++y) {
    // Rows are stored bottom-up unless the height is negative.
    const std::size_t fileRow = l.height < 0 ? y : rows - 1 - y;
    const std::size_t rowAt = l.pixelsAt + fileRow * rowBytes;
    std::uint8_t* out = &image.rgba[y * width * 4];
    for (std::size_t x = 0; x < width; ++x, out += 4) {
      const std::uint32_t bits =
          runs.empty() ? bitsAt(file, rowAt, x, l.depth) : runs[y * width + x];
      if (l.depth > 8) {
        out[0] = red.of(bits), out[1] = green.of(bits), out[2] = blue.of(bits);
        continue;
      }
      if (bits >= static_cast<std::uint32_t>(l.colours)) return unreadable;
      const std::uint8_t* entry = &file[paletteAt + bits * entryBytes];
      out[0] = entry[2], out[1] = entry[1], out[2] = entry[0];
    }
  }
  return "";
}
