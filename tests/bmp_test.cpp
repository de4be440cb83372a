// Every kind of BMP the game reads shows right, and every other file is
// refused with its reason, the same on the desktop (its header check and
// SDL's loader) and by the browser's reader, built here with bounds checks.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "SDLFunctions.h"
#include "bmp_reader.h"

namespace {

using Bytes = std::vector<Uint8>;
using Change = std::function<void(Bytes&)>;
const std::string kFile = testing::TempDir() + "grumo-bmp-test.bmp", kLink = kFile + ".link";

Bytes bytesOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), {});
}

unsigned long number(const Bytes& f, size_t at, int count) { return littleEndian(&f[at], count); }

void put(Bytes& f, size_t at, unsigned long value, int count) {
  for (int i = 0; i < count; ++i) f[at + i] = static_cast<Uint8>(value >> 8 * i);
}

// The picture as ImageMagick reads kFile, alpha dropped: red, green, blue bytes.
std::string truth() {
  std::string rgb;
  FILE* pipe = popen(("convert " + kFile + " -alpha off -depth 8 rgb:-").c_str(), "r");
  for (int c; pipe && (c = std::fgetc(pipe)) != EOF;) rgb += static_cast<char>(c);
  if (pipe) pclose(pipe);
  return rgb;
}

// The game's balloons, 37x21 with nearest-neighbour scaling, as ImageMagick
// writes them, and the picture it reads back.
struct Written {
  Bytes bytes;
  std::string rgb;
};
const Written& written(const std::string& options) {
  static std::map<std::string, Written> made;
  if (made.count(options)) return made[options];
  const std::string command =
      "convert " GRUMO_DATA_DIR "/gfx/balloon.bmp -filter point -resize 37x21! " + options + kFile;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return made[options] = {bytesOf(kFile), truth()};
}

// Channels of 5 bits are widened to 8 by rounding or by repeating their top bits.
std::string compared(const std::string& shown, const std::string& due) {
  if (shown.size() != due.size()) return "shown at another size";
  int differ = 0;
  for (size_t i = 0; i < shown.size(); ++i) differ += std::abs(Uint8(shown[i]) - Uint8(due[i])) > 1;
  return differ ? std::to_string(differ) + " colour channels differ" : "shown";
}

// The picture as the desktop draws it on black, or why it was refused; read
// through a link, as a player's data folder may hold one.
std::string desktop(const std::string& due) {
  SDL_Surface* image = loadBMP(kLink.c_str());
  if (!image) return SDL_GetError();
  SDL_Surface* canvas = SDL_CreateRGBSurface(0, image->w, image->h, 24, 0xff, 0xff00, 0xff0000, 0);
  SDL_UpperBlit(image, nullptr, canvas, nullptr);
  std::string rgb;
  for (int y = 0; y < image->h; ++y)
    rgb.append(static_cast<char*>(canvas->pixels) + y * canvas->pitch, image->w * 3);
  SDL_FreeSurface(canvas), SDL_FreeSurface(image);
  return compared(rgb, due);
}

std::string browser(const Bytes& file, const std::string& due) {
  BmpImage image;
  const std::string problem = decodeBmp(file, image);
  std::string rgb;
  for (size_t i = 0; i < image.rgba.size(); i += 4) {
    if (image.rgba[i + 3] != 255) return "shown partly clear";
    rgb.append(&image.rgba[i], &image.rgba[i] + 3);
  }
  return problem.empty() ? compared(rgb, due) : problem;
}

// The same picture with the top row stored first, as a negative height says.
void topDown(Bytes& f) {
  const long at = number(f, 10, 4), height = number(f, 22, 4);
  const long row = (number(f, 18, 4) * number(f, 28, 2) + 31) / 32 * 4;
  for (long y = 0; y < height / 2; ++y)
    std::swap_ranges(&f[at + y * row], &f[at + y * row + row], &f[at + (height - 1 - y) * row]);
  put(f, 22, -height, 4);
}

// Masks written by ImageMagick's 40-byte kind lie where the pixels start: none, then.
void unmasked(Bytes& f) { put(f, 30, 0, 4); }

// The 4-bit picture coded in runs: rows spelled out, or in runs of two indices;
// `codes` go first, and the picture ends with the last row's end.
Change coded(bool spelled, Bytes codes = {}) {
  return [=](Bytes& f) {
    const long at = number(f, 10, 4), width = number(f, 18, 4);
    const long row = (width * 4 + 31) / 32 * 4, bytes = (width + 1) / 2;
    Bytes runs = codes;
    for (long y = 0; y < static_cast<long>(number(f, 22, 4)); ++y) {
      const Uint8* pixels = &f[at + y * row];
      if (spelled) runs.insert(runs.end(), {0, static_cast<Uint8>(width)});
      if (spelled) runs.insert(runs.end(), pixels, pixels + bytes + bytes % 2);
      for (long x = 0; x < width && !spelled; x += 2)
        runs.insert(runs.end(), {static_cast<Uint8>(std::min(2L, width - x)), pixels[x / 2]});
      runs.insert(runs.end(), {0, 0});
    }
    runs.back() = 1;
    f.resize(at), f.insert(f.end(), runs.begin(), runs.end()), put(f, 30, 2, 4);
  };
}

Change set(size_t at, unsigned long value, int count = 4) {
  return [=](Bytes& f) { put(f, at, value, count); };
}

Change cut(size_t size) {
  return [=](Bytes& f) { f.resize(size); };
}

TEST(Bmp, EveryKindShowsRightAndEveryOtherFileIsRefusedTheSameInBothBuilds) {
  const std::string alpha = "-alpha set -channel A -evaluate set 50% +channel ";
  const std::string plain = "BMP3:", core = "BMP2:", sixteen = "-colors 16 BMP3:",
                    palette = "-type palette BMP3:";
  const std::string shown = "shown", cutShort = "the file ends before the picture does",
                    compressed = "it is compressed in a way the game cannot read",
                    inside = "its pixels start inside its header",
                    unreadable = "it is not a BMP picture the game can read";
  struct Row {
    std::string kind;  // how ImageMagick writes it
    Change change;
    std::string verdict;
  };
  std::vector<Row> rows = {
      // 24 bits with each kind of header, 12 (the oldest), 40 and 124 bytes; palettes of
      // 1, 4 and 8 bits, 8 in 3-byte entries too; runs of 8 and 4 bits, both row orders;
      // bit fields; alpha, partial or with no masks, ignored.
      {core, nullptr, shown},
      {plain, nullptr, shown},
      {plain, topDown, shown},
      {"BMP:", nullptr, shown},
      {"-colors 2 BMP3:", nullptr, shown},
      {sixteen, nullptr, shown},
      {sixteen, coded(false), shown},
      {sixteen, coded(true), shown},
      {"-type palette -compress none BMP2:", nullptr, shown},
      {"-type palette -compress none BMP3:", topDown, shown},
      {palette, nullptr, shown},
      {"-define bmp:subtype=RGB555 BMP3:", unmasked, shown},
      {"-define bmp:subtype=RGB565 BMP:", topDown, shown},
      {alpha + "BMP:", nullptr, shown},
      {alpha + "BMP:", unmasked, shown},
      // What the header refuses.
      {plain, cut(0), "the file is empty"},
      {plain, set(1, 'X', 1), "it is not a BMP picture"},
      {plain, set(14, 39), "its header is of a kind the game does not know"},
      {plain, set(14, 125), "its header is of a kind the game does not know"},
      {plain, set(18, 0), "its header gives it no pixels (0x21)"},
      {plain, set(22, 0), "its header gives it no pixels (37x0)"},
      {plain, set(18, -37), "its header gives it no pixels (-37x21)"},
      {plain, set(18, 1025),
       "its header asks for 1025x21 pixels, more than any picture of this game"},
      {plain, set(22, 1025),
       "its header asks for 37x1025 pixels, more than any picture of this game"},
      {plain, set(22, -1025),
       "its header asks for 37x1025 pixels, more than any picture of this game"},
      {core, set(20, 1025, 2),
       "its header asks for 37x1025 pixels, more than any picture of this game"},
      {plain, set(28, 0, 2), "it has 0 bits per pixel, which no BMP picture has"},
      {plain, set(28, 64, 2), "it has 64 bits per pixel, which no BMP picture has"},
      {plain, set(30, 3), compressed},
      {plain, set(30, 6), compressed},
      {palette, set(22, -21), compressed},
      {sixteen, set(30, 1), compressed},  // runs of the other depth
      {palette, set(30, 2), compressed},
      {sixteen, set(46, 17), shown},  // more colours than the depth picks are unused
      {plain, set(10, 53), inside},
      {"-define bmp:subtype=RGB555 BMP3:", nullptr, inside},  // masks and pixels in one place
      {sixteen, set(10, 117), inside},                        // the palette's last entry
      {core, set(10, 25), inside},
      {plain, set(10, 55), cutShort},
      {plain, [](Bytes& f) { f.pop_back(); }, cutShort},
      {plain, [](Bytes& f) { topDown(f), f.pop_back(); }, cutShort},
      {"-define bmp:subtype=RGB565 BMP:", [](Bytes& f) { f.pop_back(); }, cutShort},
      {plain, set(10, 0xffffffff), cutShort},
      // What the header lets through and the loaders refuse: a pixel outside
      // the palette, runs that end with the file or move past the last row.
      {"-colors 2 BMP3:", set(46, 1), unreadable},
      {sixteen, coded(false, {0, 2, 0, 30}), shown},
      {sixteen, [](Bytes& f) { coded(true)(f), f.resize(f.size() - 30); }, unreadable},
      {sixteen, [](Bytes& f) { coded(false)(f), f.pop_back(); }, unreadable},  // half a code
      {sixteen, [](Bytes& f) { coded(false)(f), f.back() = 2; },
       unreadable},  // a move, no distances
  };
  // Each length from the magic to a whole header of either kind.
  for (size_t size = 2; size < 54; ++size) rows.push_back({plain, cut(size), cutShort});
  for (size_t size = 18; size < 26; ++size) rows.push_back({core, cut(size), cutShort});
  std::remove(kLink.c_str());
  ASSERT_EQ(symlink(kFile.c_str(), kLink.c_str()), 0);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.kind + " row " + std::to_string(&row - rows.data()));
    Bytes file = written(row.kind).bytes;
    if (row.change) row.change(file);
    std::ofstream(kFile, std::ios::binary).write(reinterpret_cast<char*>(file.data()), file.size());
    // What ImageMagick makes of the changed file; where it refuses one the game
    // reads, the picture before the change.
    std::string due = row.verdict == shown ? truth() : "";
    if (row.verdict == shown && due.empty()) due = written(row.kind).rgb;
    EXPECT_EQ(desktop(due), row.verdict) << "on the desktop";
    EXPECT_EQ(browser(file, due), row.verdict) << "in the browser";
  }
}

}  // namespace
