#include "bmp_reader.h"

#include <cstddef>

#include "little_endian.h"
#include "pictures.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::uint32_t fileHeaderSize = 14;
const std::uint32_t coreHeaderSize = 12;  // the oldest kind: 16-bit sizes, 3-byte palette entries
const std::uint32_t infoHeaderSize = 40;  // and every later kind, which only grow from there
const std::uint32_t uncompressed = 0;
const std::uint32_t runsOf8Bits = 1;  // palette indices coded in runs
const std::uint32_t runsOf4Bits = 2;
const std::uint32_t bitFields = 3;
const std::uint32_t alphaBitFields = 6;

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

// What the headers say about the picture and where its parts lie.
struct Layout {
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative when the top row comes first
  std::uint32_t depth = 0;
  std::uint32_t compression = uncompressed;
  std::uint32_t pixelsAt = 0;
  std::size_t paletteAt = 0;
  std::size_t entryBytes = 4;
  std::uint32_t colours = 0;  // palette entries, for depths up to 8
  std::uint32_t masks[3] = {0xff0000, 0xff00, 0xff};
};

const char* readHeaders(const Bytes& file, Layout& l) {
  if (file.size() < fileHeaderSize + 4 || file[0] != 'B' || file[1] != 'M') return "not a BMP file";
  const std::uint32_t headerSize = number(file, 14, 4);
  if ((headerSize != coreHeaderSize && headerSize < infoHeaderSize) ||
      headerSize > file.size() - fileHeaderSize)
    return "its header is of no known kind or cut short";
  l.pixelsAt = number(file, 10, 4);
  l.paletteAt = fileHeaderSize + headerSize;
  if (headerSize == coreHeaderSize) {
    l.width = static_cast<std::int32_t>(number(file, 18, 2));
    l.height = static_cast<std::int32_t>(number(file, 20, 2));
    l.depth = number(file, 24, 2);
    l.entryBytes = 3;
  } else {
    l.width = static_cast<std::int32_t>(number(file, 18, 4));
    l.height = static_cast<std::int32_t>(number(file, 22, 4));
    l.depth = number(file, 28, 2);
    l.compression = number(file, 30, 4);
    l.colours = number(file, 46, 4);
  }
  if (l.width <= 0 || l.width > maxImageSide || l.height == 0 || l.height < -maxImageSide ||
      l.height > maxImageSide)
    return "its size is none or larger than any picture of this game";
  return nullptr;
}

// The channel masks, or the palette's size, for the depth and compression given.
const char* readFormat(const Bytes& file, Layout& l) {
  const bool masked = l.compression == bitFields || l.compression == alphaBitFields;
  if (l.depth == 1 || l.depth == 4 || l.depth == 8) {
    const std::uint32_t most = 1u << l.depth;
    const bool runs = l.compression == (l.depth == 8 ? runsOf8Bits : runsOf4Bits);
    if (l.compression != uncompressed && (!runs || l.depth == 1))
      return "a compressed BMP, which this reader does not read";
    if (runs && l.height < 0) return "its runs go top row first";
    // Entries past what the depth can pick are never used.
    if (l.colours == 0 || l.colours > most) l.colours = most;
    if ((file.size() - l.paletteAt) / l.entryBytes < l.colours) return "its palette is cut short";
    return nullptr;
  }
  if (l.depth == 16) {
    l.masks[0] = 0x7c00, l.masks[1] = 0x3e0, l.masks[2] = 0x1f;
  } else if (l.depth != 24 && l.depth != 32) {
    return "its depth is not 1, 4, 8, 16, 24 or 32 bits";
  }
  if (l.compression == uncompressed) return nullptr;
  if (!masked || l.depth == 24) return "a compressed BMP, which this reader does not read";
  // After a 40-byte header the masks follow it; later headers hold them at the same place.
  if (file.size() < fileHeaderSize + infoHeaderSize + 12) return "its colour masks are cut short";
  for (int i = 0; i < 3; ++i) l.masks[i] = number(file, 54 + 4 * i, 4);
  return nullptr;
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
// holds two indices, the first in its high half.
const char* unpackRuns(const Bytes& file, const Layout& l, Bytes& indices) {
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
      return nullptr;
    } else if (value == 2 && at + 1 < file.size()) {
      x += file[at], row += file[at + 1], at += 2;
    } else if (const std::size_t bytes = halves ? (value + 1) / 2 : value;
               value > 2 && file.size() - at >= bytes) {
      for (int i = 0; i < value; ++i) put(indexOf(file[at + (halves ? i / 2 : i)], i));
      at += (bytes + 1) / 2 * 2;
    }
  }
  return "its pixels are cut short";
}

}  // namespace

const char* decodeBmp(const Bytes& file, BmpImage& image) {
  Layout l;
  if (const char* why = readHeaders(file, l)) return why;
  if (const char* why = readFormat(file, l)) return why;
  const std::size_t width = static_cast<std::size_t>(l.width);
  const std::size_t rows = static_cast<std::size_t>(l.height < 0 ? -l.height : l.height);
  const std::size_t rowBytes = (width * l.depth + 31) / 32 * 4;
  Bytes runs;
  if (l.pixelsAt > file.size()) return "its pixels are cut short";
  if (l.depth <= 8 && l.compression != uncompressed) {
    if (const char* why = unpackRuns(file, l, runs)) return why;
  } else if ((file.size() - l.pixelsAt) / rowBytes < rows) {
    return "its pixels are cut short";
  }

  const Channel red(l.masks[0]), green(l.masks[1]), blue(l.masks[2]);
  image.width = l.width;
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
      if (bits >= l.colours) return "a pixel's colour is not in its palette";
      const std::uint8_t* entry = &file[l.paletteAt + bits * l.entryBytes];
      out[0] = entry[2], out[1] = entry[1], out[2] = entry[0];
    }
  }
  return nullptr;
}
