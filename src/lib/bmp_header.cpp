#include "bmp_header.h"

#include <SDL.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "little_endian.h"
#include "pictures.h"

namespace {

const long fileHeaderBytes = 14;
const long coreHeaderBytes = 12;
const long maskBytes = 12;  // after a 40-byte header, for bit fields

// The old 12-byte header, or one of the 40- to 124-byte ones that followed it.
bool knownHeader(long size) { return size == coreHeaderBytes || (size >= 40 && size <= 124); }

bool knownDepth(long depth) {
  return depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

// None, run lengths of 8- or 4-bit pixels stored bottom row first, or bit
// fields of 16- or 32-bit ones.
bool readableCompression(const BmpLayout& l) {
  const bool runs = (l.compression == 1 && l.depth == 8) || (l.compression == 2 && l.depth == 4);
  return l.compression == 0 || (runs && l.height > 0) ||
         (l.compression == 3 && (l.depth == 16 || l.depth == 32));
}

// Where the pixels may start at the earliest: after the headers, the masks
// and the palette, of which entries past what the depth can pick are unused.
long headersEnd(BmpLayout& l) {
  const bool core = l.headerSize == coreHeaderBytes;
  long end = fileHeaderBytes + l.headerSize;
  if (l.compression == 3 && l.headerSize == 40) end += maskBytes;
  if (l.depth > 8) return end;
  if (l.colours == 0 || l.colours > 1L << l.depth) l.colours = 1L << l.depth;
  return end + l.colours * (core ? 3 : 4);
}

std::string format(const char* pattern, long w, long h) {
  char text[120];
  std::snprintf(text, sizeof text, pattern, w, h);
  return text;
}

}  // namespace

std::string bmpHeaderProblem(const unsigned char* head, std::size_t got, long long fileSize,
                             BmpLayout& l) {
  if (got == 0) return "the file is empty";
  if (got < 2 || head[0] != 'B' || head[1] != 'M') return "it is not a BMP picture";
  const char* const cutShort = "the file ends before the picture does";
  if (got < 18) return cutShort;
  l.headerSize = littleEndian(head + 14, 4);
  if (!knownHeader(l.headerSize)) return "its header is of a kind the game does not know";
  // The old header has 16-bit sizes, the later ones 32-bit, signed.
  const bool core = l.headerSize == coreHeaderBytes;
  if (got < (core ? 26u : bmpHeadBytes)) return cutShort;
  l.width = core ? littleEndian(head + 18, 2) : static_cast<int32_t>(littleEndian(head + 18, 4));
  l.height = core ? littleEndian(head + 20, 2) : static_cast<int32_t>(littleEndian(head + 22, 4));
  l.depth = littleEndian(head + (core ? 24 : 28), 2);
  l.compression = core ? 0 : littleEndian(head + 30, 4);
  l.colours = core ? 0 : littleEndian(head + 46, 4);
  l.pixelsAt = littleEndian(head + 10, 4);
  if (l.width <= 0 || l.height == 0)
    return format("its header gives it no pixels (%ldx%ld)", l.width, l.height);
  if (l.width > maxImageSide || std::labs(l.height) > maxImageSide)
    return format("its header asks for %ldx%ld pixels, more than any picture of this game", l.width,
                  std::labs(l.height));
  if (!knownDepth(l.depth))
    return format("it has %ld bits per pixel, which no BMP picture has", l.depth, 0);
  if (!readableCompression(l)) return "it is compressed in a way the game cannot read";
  if (l.pixelsAt < headersEnd(l)) return "its pixels start inside its header";
  // Rows, bit fields too, are padded to four bytes; run-length ones have no fixed size.
  const long rowBytes = (l.width * l.depth + 31) / 32 * 4;
  const bool runs = l.compression == 1 || l.compression == 2;
  const long pixels = runs ? 0 : rowBytes * std::labs(l.height);
  if (l.pixelsAt + pixels > fileSize) return cutShort;
  return "";
}

bool isReadableBmp(const char* path) {
  struct stat info;
  if (stat(path, &info) != 0) return SDL_SetError("%s", std::strerror(errno)), false;
  if (!S_ISREG(info.st_mode)) return SDL_SetError("not a regular file"), false;
  unsigned char head[bmpHeadBytes] = {0};
  FILE* file = std::fopen(path, "rb");
  if (!file) return SDL_SetError("%s", std::strerror(errno)), false;
  const size_t got = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  BmpLayout layout;
  const std::string problem = bmpHeaderProblem(head, got, info.st_size, layout);
  if (!problem.empty()) SDL_SetError("%s", problem.c_str());
  return problem.empty();
}
