// Decodes the uncompressed 24- and 32-bit BMP files the game ships: the
// browser's SDL decodes 32-bit ones shifted or fully transparent.
#ifndef GRUMO_WEB_BMP_READER_H
#define GRUMO_WEB_BMP_READER_H

#include <cstdint>
#include <vector>

struct BmpImage {
  int width = 0;
  int height = 0;
  // Top row first, 4 bytes a pixel: red, green, blue, 255.
  std::vector<std::uint8_t> rgba;
};

// False when the bytes are not a BMP this reader understands.
bool decodeBmp(const std::vector<std::uint8_t>& file, BmpImage& image);

#endif
