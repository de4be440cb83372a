// The contract between the asset files under data/ and the code that loads them.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fsound.h"

namespace {

const std::string kData = GRUMO_DATA_DIR;

std::vector<uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b.at(at + i);
  return v;
}

// A picture as the game's loader sees it, pixels as 0xRRGGBB.
struct Picture {
  int w = 0, h = 0, bits = 0;
  std::array<Uint32, 4> masks{};
  std::vector<Uint32> px;

  explicit Picture(const char* name) {
    SDL_Surface* s = SDL_LoadBMP((kData + "/gfx/" + name).c_str());
    if (!s) return;
    SDL_Surface* rgb = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0xff0000, 0xff00, 0xff, 0);
    SDL_Surface* c = SDL_ConvertSurface(s, rgb->format, SDL_SWSURFACE);
    const SDL_PixelFormat& f = *s->format;
    w = s->w, h = s->h, bits = f.BitsPerPixel, masks = {f.Rmask, f.Gmask, f.Bmask, f.Amask};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        px.push_back(static_cast<const Uint32*>(c->pixels)[y * c->pitch / 4 + x] & 0xffffff);
    SDL_FreeSurface(c);
    SDL_FreeSurface(rgb);
    SDL_FreeSurface(s);
  }
  bool key(int x, int y) const { return px.at(static_cast<size_t>(y) * w + x) == 0xff00ff; }
  int opaque(int x0, int y0, int cw, int ch) const {
    int n = 0;
    for (int y = y0; y < y0 + ch; ++y)
      for (int x = x0; x < x0 + cw; ++x) n += !key(x, y);
    return n;
  }
};

TEST(Images, HaveTheirSizeFormatAndColourKey) {
  // The backdrop and the fonts are blitted as loaded, so they come in the
  // screen's X8R8G8B8 layout; sprite sheets are converted on load. An alpha
  // channel would make SDL blend instead of using the colour key.
  const struct {
    const char* name;
    int w, h, bits;
  } images[] = {
      {"font.bmp", 592, 8, 32},     {"font2.bmp", 592, 8, 32},   {"background.bmp", 320, 240, 32},
      {"balloon.bmp", 128, 48, 24}, {"fatman.bmp", 170, 17, 24}, {"board.bmp", 100, 18, 24},
  };
  for (const auto& want : images) {
    SCOPED_TRACE(want.name);
    Picture p(want.name);
    ASSERT_FALSE(p.px.empty()) << SDL_GetError();
    EXPECT_EQ(p.w, want.w);
    EXPECT_EQ(p.h, want.h);
    EXPECT_EQ(p.bits, want.bits);
    EXPECT_EQ(p.masks, (std::array<Uint32, 4>{0xff0000, 0xff00, 0xff, 0}));
    // Sheets are mostly see-through; the backdrop must have no hole at all.
    const int keyed = p.w * p.h - p.opaque(0, 0, p.w, p.h);
    EXPECT_TRUE(want.w == 320 ? keyed == 0 : keyed > p.w * p.h / 4) << keyed << " keyed";
  }
}

TEST(Fonts, EveryGlyphSpansExactlyItsTableWidth) {
  // The whole 8x8 cell is blitted but the pen moves on by the table width plus
  // one, so a pixel past the width shows under the next letter.
  const int widths[74] = {
      4, 4, 4, 4, 4, 4, 5, 4, 1, 4, 4, 4, 5, 5, 5, 4, 5, 4, 4, 5, 5, 5, 5, 5, 5,  // A-Y
      5, 4, 3, 3, 3, 3, 3, 4, 4, 1, 3, 4, 3, 5, 4, 4, 3, 4, 3, 4, 5, 4, 5, 5, 5,  // Z, a-x
      5, 3, 1, 4, 2, 1, 2, 2, 3, 3, 5, 3, 1, 3,  // y z ! ? , . ( ) + - / " : =
      4, 2, 4, 4, 3, 3, 4, 4, 4, 4};             // 0-9
  for (const char* name : {"font.bmp", "font2.bmp"}) {
    Picture font(name);
    for (int g = 0; g < 74; ++g) {
      const int x0 = g * 8, w = widths[g];
      SCOPED_TRACE(std::string(name) + " glyph " + std::to_string(g));
      EXPECT_EQ(font.opaque(x0 + w, 0, 8 - w, 8), 0);
      EXPECT_GT(font.opaque(x0, 0, 1, 8), 0) << "not drawn from the cell's left edge";
      EXPECT_GT(font.opaque(x0 + w - 1, 0, 1, 8), 0) << "narrower than its width";
    }
  }
}

TEST(Sprites, FitWhereTheGameDrawsAndHitsThem) {
  // Hits are tested against the 10x11 box at each 16x16 balloon frame's top
  // left; the frame's far corners stay clear so neighbours don't touch.
  Picture balloons("balloon.bmp");
  for (int row = 0; row < 3; ++row)
    for (int f = 0; f < 4; ++f) {
      SCOPED_TRACE("balloon row " + std::to_string(row) + " frame " + std::to_string(f));
      const int x = f * 16, y = row * 16;
      EXPECT_GE(balloons.opaque(x, y, 10, 11), 10 * 11 * 3 / 4);
      EXPECT_TRUE(balloons.key(x + 15, y) && balloons.key(x, y + 15));
    }
  // Splat frames are drawn with their top at y 222, so their last row is the floor.
  Picture jumper("fatman.bmp");
  for (int f = 5; f < 10; ++f) EXPECT_GT(jumper.opaque(f * 17, 16, 17, 1), 0) << "splat " << f;
  // Left image: left end up; right image: right end up; both on the middle pivot.
  Picture board("board.bmp");
  auto topOf = [&](int x0) {
    int y = 0;
    while (y < 18 && !board.opaque(x0, y, 4, 1)) ++y;
    return y;
  };
  EXPECT_LT(topOf(0) + 6, topOf(46));
  EXPECT_LT(topOf(96) + 6, topOf(50));
  EXPECT_EQ(board.opaque(23, 17, 4, 1) + board.opaque(73, 17, 4, 1), 8);
}

double peakDb(const std::vector<int16_t>& s) {
  int peak = 1;
  for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
  return 20 * std::log10(peak / 32768.0);
}

double rmsDb(const int16_t* s, size_t n) {
  double sum = 0;
  for (size_t i = 0; i < n; ++i) sum += static_cast<double>(s[i]) * s[i];
  return 10 * std::log10(std::max(sum / n, 1e-3) / (32768.0 * 32768.0));
}

// The effects' samples, checked to be 16-bit PCM: SDL's loader refuses 32-bit.
std::vector<int16_t> effect(const char* name) {
  std::vector<uint8_t> b = readFile(kData + "/sound/" + name + ".wav");
  auto chunk = [&](const char* id) -> size_t {
    return std::search(b.begin(), b.end(), id, id + 4) - b.begin();
  };
  const size_t fmt = chunk("fmt "), data = chunk("data");
  std::vector<int16_t> s;
  if (fmt + 24 > b.size() || data + 8 > b.size()) return s;
  EXPECT_EQ(le(b, fmt + 8, 2), 1u) << "PCM";
  EXPECT_EQ(le(b, fmt + 22, 2), 16u) << "bits";
  for (size_t i = data + 8; i + 1 < std::min(b.size(), data + 8 + le(b, data + 4, 4)); i += 2)
    s.push_back(static_cast<int16_t>(le(b, i, 2)));
  return s;
}

const char* const kEffects[] = {"pop", "splat", "studs", "win"};

TEST(Sounds, EffectsAreLoud16BitPcmWithoutClippingAndLoad) {
  ASSERT_NE(FSOUND_Init(44100, 64, 0), 0) << SDL_GetError();
  for (const char* name : kEffects) {
    SCOPED_TRACE(name);
    std::vector<int16_t> s = effect(name);
    ASSERT_FALSE(s.empty());
    EXPECT_LE(peakDb(s), -1.0);
    EXPECT_GE(peakDb(s), -4.0);
    const std::string path = kData + "/sound/" + name + ".wav";
    EXPECT_NE(FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), FSOUND_2D, 0, 0), nullptr);
  }
}

TEST(Music, IsA44kHzStereoMp3ThatLoopsWithoutAClickUnderTheEffects) {
  const std::string path = kData + "/sound/music.mp3";
  std::vector<uint8_t> head = readFile(path);
  ASSERT_GE(head.size(), 4u);
  ASSERT_EQ(head[0], 0xff) << "no ID3 tag expected, so a frame header comes first";
  ASSERT_EQ(head[1] & 0xf8, 0xf8) << "MPEG-1";
  // The mixer runs at 44.1 kHz stereo and SDL_mixer only plays MP3 in its own format.
  EXPECT_EQ((head[2] >> 2) & 3, 0) << "44100 Hz";
  EXPECT_NE(head[3] >> 6, 3) << "stereo";
  ASSERT_NE(FSOUND_Init(44100, 64, 0), 0) << SDL_GetError();
  EXPECT_NE(FSOUND_Stream_Open(path.c_str(), FSOUND_LOOP_NORMAL, 0, 0), nullptr);

  std::vector<int16_t> s;
  if (FILE* p = popen(("sox '" + path + "' -t raw -e signed -b 16 -c 2 -r 44100 -").c_str(), "r")) {
    int16_t buf[4096];
    for (size_t n; (n = std::fread(buf, sizeof buf[0], 4096, p)) > 0;)
      s.insert(s.end(), buf, buf + n);
    pclose(p);
  }
  ASSERT_GE(s.size(), 2 * 30u * 44100) << "needs sox with MP3 support, and 30 s of tune";
  // Players here don't do gapless MP3, so both ends of the loop must be a rest,
  // in a tune that is no rest.
  const size_t ms20 = 2 * 882;
  EXPECT_LT(rmsDb(s.data(), ms20), -45);
  EXPECT_LT(rmsDb(s.data() + s.size() - ms20, ms20), -45);
  EXPECT_GT(rmsDb(s.data() + s.size() / 2, 2 * 44100), -35);
  const double music = peakDb(s);
  EXPECT_LT(music, -6.0);
  EXPECT_GT(music, -14.0);
  for (const char* name : kEffects) EXPECT_GT(peakDb(effect(name)), music + 4) << name;
}

TEST(Icon, IsASquareRgbaPng) {
  for (auto [name, size] :
       {std::pair{"grumo.png", uint8_t{128}}, std::pair{"grumo-48.png", uint8_t{48}}}) {
    std::vector<uint8_t> b = readFile(std::string(GRUMO_ICON_DIR) + "/" + name);
    b.resize(26);
    // The IHDR chunk: width and height, then bit depth 8 and RGBA for a transparent background.
    EXPECT_EQ(std::string(b.begin() + 12, b.begin() + 16), "IHDR") << name;
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 16, b.end()),
              (std::vector<uint8_t>{0, 0, 0, size, 0, 0, 0, size, 8, 6}))
        << name;
  }
}

}  // namespace
