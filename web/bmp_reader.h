// Decodes the BMP files the header check accepts, as the desktop's SDL does:
// 1-, 4- and 8-bit palettes (4- and 8-bit ones run-length coded too), 16-,
// 24- and 32-bit colour with or without channel masks, either row order;
// alpha is ignored. The browser's SDL decodes 32-bit ones shifted or fully
// transparent.
#ifndef GRUMO_WEB_BMP_READER_H
#define GRUMO_WEB_BMP_READER_H

#include <cstdint>
#include <string>
#include <vector>

struct BmpImage {
  int width = 0;
  int height = 0;
  // Top row first, 4 bytes a pixel: red, green, blue, 255.
  std::vector<std::uint8_t> rgba;
};

// Empty when the picture is read, else why it cannot be.
std::string decodeBmp(const std::vector<std::uint8_t>& file, BmpImage& image);

#endif
