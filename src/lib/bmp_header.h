// A picture file checked by its header before any reader decodes it, so that
// what is refused is refused in words a player understands, and the same way
// on every platform.
#ifndef GRUMO_LIB_BMP_HEADER_H
#define GRUMO_LIB_BMP_HEADER_H

#include <cstddef>
#include <string>

// What a header says about the picture and where its parts lie.
struct BmpLayout {
  long width = 0;
  long height = 0;  // negative when the top row comes first
  long depth = 0;
  long compression = 0;  // 0 none, 1 and 2 runs of 8- and 4-bit indices, 3 bit fields
  long headerSize = 0;   // 12 for the oldest kind: 16-bit sizes, 3-byte palette entries
  long pixelsAt = 0;
  long colours = 0;  // palette entries, for depths up to 8
};

// Bytes of a file that the check reads: the file header and a 40-byte one.
const std::size_t bmpHeadBytes = 54;

// Why the first `got` bytes of a file of `fileSize` bytes do not start a BMP
// picture a reader can decode: not a BMP, cut short, of a size, depth or
// compression no picture of this game has, or with its pixels inside its
// header. Empty, with `layout` filled in, when they do.
std::string bmpHeaderProblem(const unsigned char* head, std::size_t got, long long fileSize,
                             BmpLayout& layout);

// False, with the reason as SDL's error, for a file that cannot be opened, is
// not a regular file (opening a named pipe could block for ever), or whose
// header has a problem.
bool isReadableBmp(const char* path);

#endif
