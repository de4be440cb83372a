// The browser's BMP reader against the desktop's SDL loader, one kind of file a row.
#include "bmp_reader.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A 5x3 picture, so that rows need padding at every depth.
const Uint32 colours[] = {0xff0000, 0x00ff00, 0x0000ff, 0xffffff, 0x000000, 0x84ff84};
const int width = 5, height = 3;

struct Kind {
  int header, depth, compression;
  int height;   // negative: the top row first
  int entries;  // the palette size the header states; 0 for all the depth allows
  Uint32 masks[3];
};

// Which of the colours a pixel has; at depths up to 8 its palette index too.
int indexAt(const Kind& k, int x, int y) {
  return (x + 2 * y) % (k.depth == 1 ? 2 : k.entries ? k.entries : 6);
}

Uint32 pack(Uint32 rgb, const Uint32* masks) {
  Uint32 packed = 0;
  for (int c = 0; c < 3; ++c) {
    const Uint32 mask = masks[c], value = rgb >> (16 - 8 * c) & 0xff;
    int low = 0, bits = 0;
    while (!(mask >> low & 1)) ++low;
    while (low + bits < 32 && mask >> (low + bits) & 1) ++bits;
    packed |= (value >> (8 - bits)) << low;
  }
  return packed;
}

std::vector<Uint8> bmp(const Kind& k) {
  std::vector<Uint8> f;
  auto put = [&](Uint32 v, int bytes) {
    for (int i = 0; i < bytes; ++i) f.push_back(static_cast<Uint8>(v >> 8 * i));
  };
  const int entryBytes = k.header == 12 ? 3 : 4;
  // A header may state more entries than the depth can pick; only those are written.
  const int entries = k.depth > 8 ? 0 : std::min(k.entries ? k.entries : 256, 1 << k.depth);
  const int masksAfter = k.header == 40 && k.compression == 3 ? 12 : 0;
  const Uint32 pixelsAt = 14 + k.header + masksAfter + entries * entryBytes;
  const int rows = std::abs(k.height), rowBytes = (width * k.depth + 31) / 32 * 4;
  put('B' | 'M' << 8, 2), put(pixelsAt + rowBytes * rows, 4), put(0, 4), put(pixelsAt, 4);
  put(k.header, 4);
  if (k.header == 12) {
    put(width, 2), put(rows, 2), put(1, 2), put(k.depth, 2);
  } else {
    put(width, 4), put(k.height, 4), put(1, 2), put(k.depth, 2), put(k.compression, 4);
    put(rowBytes * rows, 4), put(2835, 4), put(2835, 4), put(k.entries, 4), put(0, 4);
    for (Uint32 mask : k.masks) put(mask, 4);
    f.resize(14 + k.header + masksAfter);
  }
  for (int i = 0; i < entries; ++i) put(colours[i % 6], entryBytes);
  for (int r = 0; r < rows; ++r) {
    const int y = k.height < 0 ? r : rows - 1 - r;
    std::vector<Uint8> row(rowBytes);
    for (int x = 0; x < width; ++x) {
      const int index = indexAt(k, x, y);
      if (k.depth <= 8) {
        row[x * k.depth / 8] |= static_cast<Uint8>(index << (8 - k.depth - x * k.depth % 8));
        continue;
      }
      const Uint32 rgb555[3] = {0x7c00, 0x3e0, 0x1f}, rgb888[3] = {0xff0000, 0xff00, 0xff};
      const Uint32* masks = k.compression ? k.masks : k.depth == 16 ? rgb555 : rgb888;
      const Uint32 pixel = pack(colours[index % 6], masks);
      for (int i = 0; i < k.depth / 8; ++i) row[x * k.depth / 8 + i] = pixel >> 8 * i & 0xff;
    }
    f.insert(f.end(), row.begin(), row.end());
  }
  return f;
}

std::string shown(const BmpImage& image) {
  std::string text;
  for (size_t i = 0; i < image.rgba.size(); i += 4)
    text += std::to_string(image.rgba[i] << 16 | image.rgba[i + 1] << 8 | image.rgba[i + 2]) + ' ';
  return text;
}

std::string shownBySdl(std::vector<Uint8> file) {
  SDL_Surface* s = SDL_LoadBMP_RW(SDL_RWFromMem(file.data(), static_cast<int>(file.size())), 1);
  if (!s) return std::string("refused: ") + SDL_GetError();
  std::string text;
  for (int y = 0; y < s->h; ++y)
    for (int x = 0; x < s->w; ++x) {
      Uint32 raw = 0;
      const int size = s->format->BytesPerPixel;
      std::memcpy(&raw, static_cast<Uint8*>(s->pixels) + y * s->pitch + x * size, size);
      Uint8 r, g, b;
      SDL_GetRGB(raw, s->format, &r, &g, &b);
      text += std::to_string(r << 16 | g << 8 | b) + ' ';
    }
  SDL_FreeSurface(s);
  return text;
}

TEST(WebBmpReader, ReadsEveryKindOfFileAsTheDesktopDoes) {
  const Uint32 rgb[3] = {0xff0000, 0xff00, 0xff};
  const Kind kinds[] = {
      {12, 24, 0, height, 0, {}},
      {12, 8, 0, height, 0, {}},
      {40, 24, 0, height, 0, {}},
      {40, 24, 0, -height, 0, {}},
      {40, 32, 0, height, 0, {}},
      {40, 32, 3, height, 0, {0xff, 0xff00, 0xff0000}},
      {40, 16, 0, height, 0, {}},
      {40, 16, 3, -height, 0, {0xf800, 0x7e0, 0x1f}},
      {40, 1, 0, height, 0, {}},
      {40, 4, 0, height, 6, {}},
      {40, 8, 0, height, 300, {}},
      {40, 8, 0, -height, 0, {}},
      {40, 8, 0, height, 5, {}},
      {108, 32, 3, height, 0, {0xff000000, 0xff0000, 0xff00}},
      {124, 24, 0, height, 0, {rgb[0], rgb[1], rgb[2]}},
  };
  for (const Kind& k : kinds) {
    SCOPED_TRACE(testing::Message()
                 << k.header << "-byte header, " << k.depth << " bits, " << k.compression << ", "
                 << k.height << " rows, " << k.entries << " colours");
    std::string wanted;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) wanted += std::to_string(colours[indexAt(k, x, y) % 6]) + ' ';
    BmpImage image;
    const char* why = decodeBmp(bmp(k), image);
    const std::string desktop = shownBySdl(bmp(k));
    EXPECT_EQ(why ? why : shown(image), desktop);
    // 16 bits cannot hold the picture's 0x84 exactly.
    EXPECT_TRUE(k.depth == 16 || desktop == wanted) << "the file is not the picture";
  }
}

TEST(WebBmpReader, RefusesWhatItCannotReadAndSaysWhy) {
  using Bytes = std::vector<Uint8>;
  const std::pair<void (*)(Bytes&), const char*> spoilt[] = {
      {[](Bytes& f) { f[1] = 'A'; }, "not a BMP file"},
      {[](Bytes& f) { f.resize(16); }, "not a BMP file"},
      {[](Bytes& f) { f[14] = 20; }, "its header is of no known kind or cut short"},
      {[](Bytes& f) { f[14] = 200; }, "its header is of no known kind or cut short"},
      {[](Bytes& f) { f[18] = 0; }, "its size is none or larger than any picture of this game"},
      {[](Bytes& f) { f[19] = 0x10, f[18] = 1; },
       "its size is none or larger than any picture of this game"},
      {[](Bytes& f) { f[25] = 0x80; }, "its size is none or larger than any picture of this game"},
      {[](Bytes& f) { f[28] = 2; }, "its depth is not 1, 4, 8, 16, 24 or 32 bits"},
      {[](Bytes& f) { f[30] = 3; }, "a compressed BMP, which this reader does not read"},
      {[](Bytes& f) { f.pop_back(); }, "its pixels are cut short"},
      {[](Bytes& f) { f[10] = 0xff, f[11] = 0xff; }, "its pixels are cut short"},
  };
  for (const auto& [spoil, why] : spoilt) {
    Bytes file = bmp({40, 24, 0, height, 0, {}});
    spoil(file);
    BmpImage image;
    const char* said = decodeBmp(file, image);
    EXPECT_STREQ(said ? said : "read", why);
  }
  // Palettes: a pixel past the palette, a compressed one.
  const std::pair<Kind, const char*> palettes[] = {
      {{40, 8, 0, height, 3, {}}, nullptr},
      {{40, 8, 1, height, 0, {}}, "a compressed BMP, which this reader does not read"}};
  for (const auto& [kind, reason] : palettes) {
    Bytes file = bmp(kind);
    const char* why = reason;
    if (!why) file[file.size() - 8] = 3, why = "a pixel's colour is not in its palette";
    BmpImage image;
    const char* said = decodeBmp(file, image);
    EXPECT_STREQ(said ? said : "read", why);
  }
}

}  // namespace
