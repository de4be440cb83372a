// libFuzzer target: arbitrary text and box geometry through the font's
// drawing, measuring and word wrap, with fonts both sound and odd.
#include <SDL.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "font.h"

namespace {

const int numFonts = 4;
cFont fonts[numFonts];
SDL_Surface* target = nullptr;

std::string writeSheet(int cell, int cells, const int* widths) {
  SDL_Surface* sheet =
      SDL_CreateRGBSurface(SDL_SWSURFACE, cells * cell, cell, 24, 0xFF0000, 0xFF00, 0xFF, 0);
  if (!sheet) std::abort();
  SDL_FillRect(sheet, nullptr, SDL_MapRGB(sheet->format, 255, 0, 255));
  for (int i = 0; i < cells; ++i) {
    SDL_Rect glyph = {static_cast<Sint16>(i * cell), 0,
                      static_cast<Uint16>(widths[i] > 0 ? widths[i] : 1),
                      static_cast<Uint16>(cell)};
    SDL_FillRect(sheet, &glyph, SDL_MapRGB(sheet->format, static_cast<Uint8>(i * 3), 200, 40));
  }
  char path[] = "/tmp/grumo_font_fuzz_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) std::abort();
  close(fd);
  SDL_SaveBMP(sheet, path);
  SDL_FreeSurface(sheet);
  return path;
}

void makeFonts() {
  int plain[cFont::numGlyphs], odd[cFont::numGlyphs];
  for (int i = 0; i < cFont::numGlyphs; ++i) {
    plain[i] = 1 + i % 5;
    odd[i] = i % 13 - 2;  // zero, negative and wider than the cell
  }
  const std::string sheet = writeSheet(8, cFont::numGlyphs, plain);
  const std::string small = writeSheet(3, 20, plain);
  fonts[0].init(sheet.c_str(), plain, 8, 255, 0, 255);
  fonts[1].init(sheet.c_str(), odd, 8, 0x1FF, -1, 255);
  fonts[2].init("/nonexistent/font.bmp", plain, 8, 255, 0, 255);
  fonts[3].init(small.c_str(), odd, 3, 255, 0, 255);
  unlink(sheet.c_str());
  unlink(small.c_str());
  if (!fonts[0].isUsable() || fonts[2].isUsable() || fonts[3].isUsable()) std::abort();
}

std::int32_t take(const std::uint8_t*& data, std::size_t& size) {
  std::uint8_t bytes[4] = {};
  const std::size_t n = size < 4 ? size : 4;
  std::memcpy(bytes, data, n);
  data += n;
  size -= n;
  std::uint32_t v =
      bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  return static_cast<std::int32_t>(v);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SDL_Init(SDL_INIT_NOPARACHUTE);
  target = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 32, 0xFF0000, 0xFF00, 0xFF, 0);
  if (!target) std::abort();
  makeFonts();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = *data++;
  --size;
  cFont& font = fonts[mode % numFonts];
  int x = take(data, size), y = take(data, size), w = take(data, size), rows = take(data, size);
  // Mostly keep to sizes near the screen, where the layout is drawn for real.
  if (!(mode & 0x80)) {
    x = static_cast<std::int16_t>(x) % 400;
    y = static_cast<std::int16_t>(y) % 300;
    w = static_cast<std::int16_t>(w) % 400;
    rows = static_cast<std::int8_t>(rows);
  }

  // Exactly as long as the data, so reading past it is caught.
  std::vector<char> raw(data, data + size);
  const int measured = font.getStringWidth(raw.data(), static_cast<int>(raw.size()));
  if (raw.empty() && measured != -1) std::abort();
  if (!raw.empty()) font.getWidth(raw[0]);

  const std::string text(raw.begin(), raw.end());
  const char* s = text.c_str();
  const int length = static_cast<int>(std::strlen(s));
  font.writeString(target, s, x, y);
  if (length > 0) font.writeLetter(target, s[0], x, y);

  // A row is added at most twice for each word: by a wrap and by a newline.
  int wRows = -7;
  const int rest = font.textbox(target, s, x, y, w, rows, wRows);
  if (rest != font.textbox(target, s, x, y, w, rows)) std::abort();
  if (rest < -1 || rest > length || wRows < 0 || wRows > 2 * length + 1) std::abort();
  if (rest >= 0) {
    int more = 0;
    font.textbox(target, s + rest, x, y, w, rows, more);
  }
  return 0;
}
