#include "bmp_header.h"

#include <SDL.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "little_endian.h"
#include "pictures.h"

namespace {

__attribute__((format(printf, 1, 2))) bool refuse(const char* format, ...) {
  char reason[200];
  va_list args;
  va_start(args, format);
  std::vsnprintf(reason, sizeof reason, format, args);
  va_end(args);
  SDL_SetError("%s", reason);
  return false;
}

// The old 12-byte header, or one of the 40- to 124-byte ones that followed it.
bool knownHeader(long size) { return size == 12 || (size >= 40 && size <= 124); }

bool knownDepth(long depth) {
  return depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

// None, run lengths of 8- or 4-bit pixels, or bit fields of 16- or 32-bit ones.
bool readableCompression(long compression, long depth) {
  return compression == 0 || (compression == 1 && depth == 8) || (compression == 2 && depth == 4) ||
         (compression == 3 && (depth == 16 || depth == 32));
}

}  // namespace

bool isReadableBmp(const char* path) {
  struct stat info;
  if (stat(path, &info) != 0) return refuse("%s", std::strerror(errno));
  if (!S_ISREG(info.st_mode)) return refuse("not a regular file");
  unsigned char bytes[54] = {0};
  FILE* file = std::fopen(path, "rb");
  if (!file) return refuse("%s", std::strerror(errno));
  const size_t got = std::fread(bytes, 1, sizeof bytes, file);
  std::fclose(file);
  if (got == 0) return refuse("the file is empty");
  if (got < 2 || bytes[0] != 'B' || bytes[1] != 'M') return refuse("it is not a BMP picture");
  const char* const cutShort = "the file ends before the picture does";
  if (got < 18) return refuse("%s", cutShort);
  const long headerSize = littleEndian(bytes + 14, 4);
  if (!knownHeader(headerSize)) return refuse("its header is of a kind the game does not know");
  // The old header has 16-bit sizes, the later ones 32-bit, signed.
  const bool core = headerSize == 12;
  if (got < (core ? 26u : 54u)) return refuse("%s", cutShort);
  const long w =
      core ? littleEndian(bytes + 18, 2) : static_cast<int32_t>(littleEndian(bytes + 18, 4));
  const long h =
      core ? littleEndian(bytes + 20, 2) : static_cast<int32_t>(littleEndian(bytes + 22, 4));
  const long depth = littleEndian(bytes + (core ? 24 : 28), 2);
  const long compression = core ? 0 : littleEndian(bytes + 30, 4);
  if (w <= 0 || h == 0) return refuse("its header gives it no pixels (%ldx%ld)", w, h);
  if (w > maxImageSide || std::labs(h) > maxImageSide)
    return refuse("its header asks for %ldx%ld pixels, more than any picture of this game", w,
                  std::labs(h));
  if (!knownDepth(depth))
    return refuse("it has %ld bits per pixel, which no BMP picture has", depth);
  if (!readableCompression(compression, depth))
    return refuse("it is compressed in a way the game cannot read");
  // Uncompressed rows are padded to four bytes; compressed ones have no fixed size.
  const long rowBytes = (w * depth + 31) / 32 * 4;
  const long pixels = compression == 0 ? rowBytes * std::labs(h) : 0;
  if (littleEndian(bytes + 10, 4) + pixels > info.st_size) return refuse("%s", cutShort);
  return true;
}
