// The browser's BMP reader against the desktop's SDL loader, on the game's
// balloons written by ImageMagick as every kind of BMP, one kind a row.
#include "bmp_reader.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "little_endian.h"

namespace {

using Bytes = std::vector<Uint8>;

Bytes written(const std::string& options) {
  const std::string path = testing::TempDir() + "grumo-kind.bmp",
                    command = "convert " GRUMO_DATA_DIR "/gfx/balloon.bmp -resize 37x21! " +
                              options + path;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), {});
}

// The same picture with the top row stored first, as a negative height says.
void topDown(Bytes& f) {
  const long at = littleEndian(&f[10], 4), height = littleEndian(&f[22], 4);
  const long row = (littleEndian(&f[18], 4) * littleEndian(&f[28], 2) + 31) / 32 * 4;
  for (long y = 0; y < height / 2; ++y)
    std::swap_ranges(&f[at + y * row], &f[at + y * row + row], &f[at + (height - 1 - y) * row]);
  for (int i = 0; i < 4; ++i) f[22 + i] = static_cast<Uint8>(-height >> 8 * i);
}

void unmasked(Bytes& f) { f[30] = 0; }

// The same 4-bit picture coded in runs: each row spelled out, or in runs of two indices.
void coded(Bytes& f, bool spelled) {
  const long at = littleEndian(&f[10], 4), width = littleEndian(&f[18], 4);
  const long row = (width * 4 + 31) / 32 * 4, bytes = (width + 1) / 2;
  Bytes runs;
  for (long y = 0; y < littleEndian(&f[22], 4); ++y, runs.insert(runs.end(), {0, 0})) {
    const Uint8* pixels = &f[at + y * row];
    if (spelled) runs.insert(runs.end(), {0, static_cast<Uint8>(width)});
    if (spelled) runs.insert(runs.end(), pixels, pixels + bytes + bytes % 2);
    for (long x = 0; x < width && !spelled; x += 2)
      runs.insert(runs.end(), {static_cast<Uint8>(std::min(2L, width - x)), pixels[x / 2]});
  }
  runs.back() = 1;  // the last row's end ends the picture
  f.resize(at), f.insert(f.end(), runs.begin(), runs.end()), f[30] = 2;
}

// The picture, or why it was refused: by the browser's reader, or by SDL.
std::string read(const Bytes& file) {
  BmpImage image;
  if (const char* why = decodeBmp(file, image)) return why;
  std::string text;
  for (size_t i = 0; i < image.rgba.size(); i += 4)
    text += std::to_string(image.rgba[i] << 16 | image.rgba[i + 1] << 8 | image.rgba[i + 2]) + ' ';
  return text;
}

std::string readBySdl(Bytes file) {
  SDL_Surface* s = SDL_LoadBMP_RW(SDL_RWFromMem(file.data(), static_cast<int>(file.size())), 1);
  std::string text = s ? "" : SDL_GetError();
  for (int i = 0; s && i < s->w * s->h; ++i) {
    Uint32 raw = 0;
    Uint8 r, g, b, size = s->format->BytesPerPixel;
    std::memcpy(&raw, static_cast<Uint8*>(s->pixels) + i / s->w * s->pitch + i % s->w * size, size);
    SDL_GetRGB(raw, s->format, &r, &g, &b);
    text += std::to_string(r << 16 | g << 8 | b) + ' ';
  }
  SDL_FreeSurface(s);
  return text;
}

TEST(WebBmpReader, ReadsEveryKindOfFileAsTheDesktopDoes) {
  // BMP2 has the 12-byte header, BMP3 the 40-byte, BMP the 124-byte; 16 and 32 bits come with
  // channel masks unless taken away; 8-bit indices come in runs unless told not to.
  const char* const alpha = "-alpha set -channel A -evaluate set 50% +channel ";
  const std::pair<std::string, void (*)(Bytes&)> kinds[] = {
      {"BMP2:", nullptr},
      {"-type palette -compress none BMP2:", nullptr},
      {"-type palette -compress none BMP3:", topDown},
      {"-type palette BMP3:", nullptr},
      {"-colors 16 BMP3:", nullptr},
      {"-colors 16 BMP3:", [](Bytes& f) { coded(f, false); }},
      {"-colors 16 BMP3:", [](Bytes& f) { coded(f, true); }},
      {"-monochrome BMP3:", nullptr},
      {"-define bmp:subtype=RGB555 BMP3:", unmasked},
      {"-define bmp:subtype=RGB565 BMP:", topDown},
      {alpha + std::string("BMP:"), nullptr},
      {alpha + std::string("BMP:"), unmasked}};
  for (const auto& [options, change] : kinds) {
    Bytes file = written(options);
    if (change) change(file);
    const std::string desktop = readBySdl(file);
    EXPECT_EQ(read(file), desktop) << options << (change ? " changed" : "");
    EXPECT_EQ(std::count(desktop.begin(), desktop.end(), ' '), 37 * 21) << desktop;
  }
}

TEST(WebBmpReader, RefusesWhatWouldOverrunAndSaysWhy) {
  // Kind, byte to spoil (-1: the last one dropped), its new value; the reason.
  const std::tuple<const char*, int, int, const char*> spoilt[] = {
      {"BMP3:", 19, 0x10, "its size is none or larger than any picture of this game"},
      {"BMP3:", -1, 0, "its pixels are cut short"},
      {"BMP3:", 30, 4, "a compressed BMP, which this reader does not read"},
      {"-type palette BMP3:", -1, 0, "its pixels are cut short"},
      {"-monochrome BMP3:", 46, 1, "a pixel's colour is not in its palette"}};
  for (const auto& [options, at, value, why] : spoilt) {
    Bytes file = written(options);
    at < 0 ? file.pop_back() : void(file[at] = static_cast<Uint8>(value));
    EXPECT_EQ(read(file), why) << options << " " << at;
  }
}

}  // namespace
