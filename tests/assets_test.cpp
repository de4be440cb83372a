// The contract between the asset files under data/ and the code that loads them.
#include <SDL.h>
#include <gtest/gtest.h>

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

struct Rgb {
  int r, g, b;
  bool key() const { return r == 255 && g == 0 && b == 255; }
  double luma() const { return 0.299 * r + 0.587 * g + 0.114 * b; }
};

// Just enough of a BMP reader to check the files the game ships.
struct Bmp {
  std::vector<uint8_t> bytes;
  int width = 0, height = 0, bits = 0;
  uint32_t compression = 0, offset = 0;

  explicit Bmp(const std::string& name) : bytes(readFile(kData + "/gfx/" + name)) {
    if (bytes.size() < 54) return;
    offset = le(bytes, 10, 4);
    width = static_cast<int>(le(bytes, 18, 4));
    height = static_cast<int>(le(bytes, 22, 4));
    bits = static_cast<int>(le(bytes, 28, 2));
    compression = le(bytes, 30, 4);
  }
  size_t rowBytes() const { return (static_cast<size_t>(width) * bits / 8 + 3) & ~size_t{3}; }
  Rgb at(int x, int y) const {
    size_t p = offset + (height - 1 - y) * rowBytes() + x * (bits / 8);
    return {bytes.at(p + 2), bytes.at(p + 1), bytes.at(p)};
  }
  int opaque(int x0, int y0, int w, int h) const {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x) n += !at(x, y).key();
    return n;
  }
};

struct Wanted {
  const char* name;
  int width, height, bits;
};

// The backdrop and the fonts are blitted as loaded, so they come in the
// screen's 32-bit layout; sprite sheets are converted on load.
const Wanted kImages[] = {
    {"font.bmp", 592, 8, 32},     {"font2.bmp", 592, 8, 32},   {"background.bmp", 320, 240, 32},
    {"balloon.bmp", 128, 48, 24}, {"fatman.bmp", 170, 17, 24}, {"board.bmp", 100, 18, 24},
};

TEST(Images, HaveTheirSizeAndAFormatSdlLoadsAsIs) {
  for (const Wanted& want : kImages) {
    SCOPED_TRACE(want.name);
    Bmp bmp(want.name);
    ASSERT_GE(bmp.bytes.size(), 54u);
    EXPECT_EQ(bmp.bytes[0], 'B');
    EXPECT_EQ(bmp.bytes[1], 'M');
    EXPECT_EQ(le(bmp.bytes, 14, 4), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(bmp.width, want.width);
    EXPECT_EQ(bmp.height, want.height);  // positive: bottom-up
    EXPECT_EQ(bmp.bits, want.bits);
    EXPECT_EQ(bmp.bytes.size(), bmp.offset + bmp.rowBytes() * bmp.height);
    if (want.bits == 32) {
      EXPECT_EQ(bmp.compression, 3u);  // BI_BITFIELDS, X8R8G8B8 like the screen
      EXPECT_EQ(le(bmp.bytes, 54, 4), 0x00ff0000u);
      EXPECT_EQ(le(bmp.bytes, 58, 4), 0x0000ff00u);
      EXPECT_EQ(le(bmp.bytes, 62, 4), 0x000000ffu);
    } else {
      EXPECT_EQ(bmp.compression, 0u);
    }
    // Sheets are mostly see-through; the backdrop must have no hole at all.
    int keyed = bmp.width * bmp.height - bmp.opaque(0, 0, bmp.width, bmp.height);
    if (std::string(want.name) == "background.bmp")
      EXPECT_EQ(keyed, 0);
    else
      EXPECT_GT(keyed, bmp.width * bmp.height / 4);

    std::string path = kData + "/gfx/" + want.name;
    SDL_Surface* s = SDL_LoadBMP_RW(SDL_RWFromFile(path.c_str(), "rb"), 1);
    ASSERT_NE(s, nullptr) << SDL_GetError();
    EXPECT_EQ(s->w, want.width);
    EXPECT_EQ(s->h, want.height);
    EXPECT_EQ(s->format->BitsPerPixel, want.bits);
    // An alpha channel would make SDL blend instead of using the colour key.
    EXPECT_EQ(s->format->Amask, 0u);
    SDL_LockSurface(s);
    Uint8 r, g, b;
    SDL_GetRGB(*static_cast<Uint32*>(s->pixels) & (want.bits == 32 ? 0xffffffffu : 0xffffffu),
               s->format, &r, &g, &b);
    Rgb first = bmp.at(0, 0);
    EXPECT_EQ(r, first.r);
    EXPECT_EQ(g, first.g);
    EXPECT_EQ(b, first.b);
    SDL_UnlockSurface(s);
    SDL_FreeSurface(s);
  }
}

const int kGlyphWidths[74] = {
    4, 4, 4, 4, 4, 4, 5, 4, 1, 4, 4, 4, 5, 5, 5, 4, 5, 4, 4, 5, 5, 5, 5, 5, 5,  // A-Y
    5, 4, 3, 3, 3, 3, 3, 4, 4, 1, 3, 4, 3, 5, 4, 4, 3, 4, 3, 4, 5, 4, 5, 5, 5,  // Z, a-x
    5, 3, 1, 4, 2, 1, 2, 2, 3, 3, 5, 3, 1, 3,  // y z ! ? , . ( ) + - / " : =
    4, 2, 4, 4, 3, 3, 4, 4, 4, 4};             // 0-9

TEST(Fonts, EveryGlyphSpansExactlyItsTableWidth) {
  // The whole 8x8 cell is blitted but the pen moves on by the table width plus
  // one, so a pixel past the width would show under the next letter, and a
  // glyph narrower than its width would leave a gap.
  for (const char* name : {"font.bmp", "font2.bmp"}) {
    Bmp font(name);
    ASSERT_EQ(font.width, 592) << name;
    for (int g = 0; g < 74; ++g) {
      const int x0 = g * 8, w = kGlyphWidths[g];
      SCOPED_TRACE(std::string(name) + " glyph " + std::to_string(g));
      EXPECT_EQ(font.opaque(x0 + w, 0, 8 - w, 8), 0);
      EXPECT_GT(font.opaque(x0, 0, 1, 8), 0) << "not drawn from the cell's left edge";
      EXPECT_GT(font.opaque(x0 + w - 1, 0, 1, 8), 0) << "narrower than its width";
    }
  }
}

TEST(Fonts, ShareShapesButNotColoursAndStayLight) {
  Bmp light("font.bmp"), evil("font2.bmp");
  ASSERT_EQ(light.width, evil.width);
  int differentColour = 0, brightInk = 0, ink = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < light.width; ++x) {
      Rgb a = light.at(x, y), b = evil.at(x, y);
      ASSERT_EQ(a.key(), b.key()) << "shapes differ at " << x << "," << y;
      if (a.key()) continue;
      differentColour += a.r != b.r || a.g != b.g || a.b != b.b;
      ++ink;
      brightInk += a.luma() > 170;
    }
  EXPECT_EQ(differentColour, ink);
  // Light letters over a dark backdrop: most drawn pixels are bright, the rest
  // is the shadow that keeps them readable over lighter spots.
  EXPECT_GT(brightInk, ink / 2);
  EXPECT_LT(brightInk, ink);
}

TEST(Backdrop, StaysDarkBehindText) {
  Bmp bg("background.bmp");
  ASSERT_EQ(bg.width, 320);
  struct Area {
    int x, y, w, h;
  } const text[] = {
      {5, 2, 60, 18},      // score and level
      {280, 8, 40, 8},     // lives
      {40, 100, 260, 30},  // death and game-over messages
      {20, 20, 280, 120},  // closing credits
  };
  for (const Area& a : text) {
    double sum = 0;
    for (int y = a.y; y < a.y + a.h; ++y)
      for (int x = a.x; x < a.x + a.w; ++x) sum += bg.at(x, y).luma();
    EXPECT_LT(sum / (a.w * a.h), 64) << "area at " << a.x << "," << a.y;
  }
}

TEST(Sprites, BalloonBodiesFillTheHitBoxAndBurstsFade) {
  Bmp sheet("balloon.bmp");
  ASSERT_EQ(sheet.width, 128);
  for (int row = 0; row < 3; ++row) {
    for (int f = 0; f < 4; ++f) {
      SCOPED_TRACE("row " + std::to_string(row) + " frame " + std::to_string(f));
      const int x = f * 16, y = row * 16;
      // The game tests hits against the 10x11 box at the frame's top-left.
      EXPECT_GE(sheet.opaque(x, y, 10, 11), 10 * 11 * 3 / 4);
      EXPECT_FALSE(sheet.at(x + 5, y + 5).key());
      EXPECT_TRUE(sheet.at(x + 15, y).key());
      EXPECT_TRUE(sheet.at(x, y + 15).key());
    }
    const int y = row * 16;
    EXPECT_GT(sheet.opaque(64, y, 16, 16), sheet.opaque(64 + 48, y, 16, 16));
    EXPECT_GT(sheet.opaque(64 + 48, y, 16, 16), 0);
    EXPECT_LT(sheet.opaque(64, y, 16, 16), sheet.opaque(0, y, 16, 16));
  }
}

int opaqueRows(const Bmp& b, int x0, int w, int* bottom) {
  int top = -1;
  *bottom = -1;
  for (int y = 0; y < b.height; ++y)
    if (b.opaque(x0, y, w, 1)) {
      if (top < 0) top = y;
      *bottom = y;
    }
  return top < 0 ? 0 : *bottom - top + 1;
}

TEST(Sprites, JumperFliesRoundAndSplatsFlatOnTheFloor) {
  Bmp sheet("fatman.bmp");
  ASSERT_EQ(sheet.width, 170);
  int flightHeight = 17;
  for (int f = 0; f < 5; ++f) {
    int bottom;
    flightHeight = std::min(flightHeight, opaqueRows(sheet, f * 17, 17, &bottom));
    EXPECT_TRUE(sheet.at(f * 17, 0).key()) << "frame " << f;
  }
  EXPECT_GE(flightHeight, 13);
  for (int f = 5; f < 10; ++f) {
    int bottom;
    int height = opaqueRows(sheet, f * 17, 17, &bottom);
    // Drawn with its top at y 222, the frame's last row sits on the floor.
    EXPECT_EQ(bottom, 16) << "frame " << f;
    EXPECT_GT(height, 0);
    // Only the squashed body counts, not stars or drops floating over it.
    int body = 0;
    for (int y = 16; y >= 0 && sheet.opaque(f * 17 + 5, y, 7, 1) == 7; --y) ++body;
    EXPECT_LT(body, flightHeight - 2) << "frame " << f;
  }
}

TEST(Sprites, BoardTipsEachWayOnACentredPivot) {
  Bmp sheet("board.bmp");
  ASSERT_EQ(sheet.width, 100);
  auto topOf = [&](int x0) {
    for (int y = 0; y < 18; ++y)
      if (sheet.opaque(x0, y, 4, 1)) return y;
    return 18;
  };
  // Left image: left end up; right image: right end up.
  EXPECT_LT(topOf(0) + 6, topOf(46));
  EXPECT_LT(topOf(96) + 6, topOf(50));
  for (int img = 0; img < 2; ++img) {
    SCOPED_TRACE("image " + std::to_string(img));
    const int x0 = img * 50;
    int n = 0, sum = 0;
    for (int x = 0; x < 50; ++x)
      if (!sheet.at(x0 + x, 17).key()) ++n, sum += x;
    ASSERT_GT(n, 0) << "the pivot must stand on the bottom row";
    EXPECT_NEAR(sum / static_cast<double>(n), 24.5, 1.0);
    EXPECT_EQ(sheet.opaque(x0, 17, 12, 1) + sheet.opaque(x0 + 38, 17, 12, 1), 0);
  }
}

// --- sounds ----------------------------------------------------------------

struct Pcm {
  int channels = 0, rate = 0, bits = 0, format = 0;
  std::vector<int16_t> samples;
};

Pcm readWav(const std::string& path) {
  Pcm pcm;
  std::vector<uint8_t> b = readFile(path);
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
      std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
    return pcm;
  for (size_t at = 12; at + 8 <= b.size();) {
    std::string id(b.begin() + at, b.begin() + at + 4);
    size_t len = le(b, at + 4, 4);
    if (id == "fmt ") {
      pcm.format = static_cast<int>(le(b, at + 8, 2));
      pcm.channels = static_cast<int>(le(b, at + 10, 2));
      pcm.rate = static_cast<int>(le(b, at + 12, 4));
      pcm.bits = static_cast<int>(le(b, at + 22, 2));
    } else if (id == "data" && pcm.bits == 16) {
      for (size_t i = at + 8; i + 1 < at + 8 + len && i + 1 < b.size(); i += 2)
        pcm.samples.push_back(static_cast<int16_t>(le(b, i, 2)));
    }
    at += 8 + len + (len & 1);
  }
  return pcm;
}

double peakDb(const std::vector<int16_t>& s) {
  int peak = 0;
  for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
  return 20 * std::log10(std::max(peak, 1) / 32768.0);
}

double rmsDb(const int16_t* s, size_t n) {
  double sum = 0;
  for (size_t i = 0; i < n; ++i) sum += static_cast<double>(s[i]) * s[i];
  return 10 * std::log10(std::max(sum / n, 1e-3) / (32768.0 * 32768.0));
}

const char* const kEffects[] = {"pop", "splat", "studs", "win"};

// The whole tune as interleaved stereo at 44.1 kHz, decoded the way a player would.
std::vector<int16_t> decodeMusic() {
  std::string cmd = "sox '" + kData + "/sound/music.mp3' -t raw -e signed -b 16 -c 2 -r 44100 -";
  std::vector<int16_t> out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  int16_t buf[4096];
  size_t n;
  while ((n = std::fread(buf, sizeof buf[0], 4096, p)) > 0) out.insert(out.end(), buf, buf + n);
  pclose(p);
  return out;
}

TEST(Sounds, EffectsAreLoud16BitPcmWithoutClipping) {
  for (const char* name : kEffects) {
    SCOPED_TRACE(name);
    Pcm w = readWav(kData + "/sound/" + name + ".wav");
    EXPECT_EQ(w.format, 1);
    EXPECT_EQ(w.bits, 16);  // SDL's loader refuses 32-bit PCM
    EXPECT_TRUE(w.rate == 44100 || w.rate == 22050) << w.rate;
    EXPECT_TRUE(w.channels == 1 || w.channels == 2);
    ASSERT_FALSE(w.samples.empty());
    double seconds = static_cast<double>(w.samples.size()) / w.channels / w.rate;
    EXPECT_GT(seconds, 0.05);
    EXPECT_LT(seconds, 2.0) << "an effect should be over before the next one";
    EXPECT_LE(peakDb(w.samples), -1.0);
    EXPECT_GE(peakDb(w.samples), -4.0);
  }
}

TEST(Sounds, AllLoadThroughTheSoundLibrary) {
  ASSERT_NE(FSOUND_Init(44100, 64, 0), 0) << SDL_GetError();
  for (const char* name : kEffects) {
    std::string path = kData + "/sound/" + name + ".wav";
    EXPECT_NE(FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), FSOUND_2D, 0, 0), nullptr) << name;
  }
  std::string music = kData + "/sound/music.mp3";
  EXPECT_NE(FSOUND_Stream_Open(music.c_str(), FSOUND_LOOP_NORMAL, 0, 0), nullptr);
}

TEST(Music, IsA44kHzMp3ThatLoopsWithoutAClickUnderTheEffects) {
  std::vector<uint8_t> head = readFile(kData + "/sound/music.mp3");
  ASSERT_GE(head.size(), 4u);
  ASSERT_EQ(head[0], 0xff) << "no ID3 tag expected, so a frame header comes first";
  ASSERT_EQ(head[1] & 0xe0, 0xe0);
  EXPECT_EQ(head[1] & 0x18, 0x18) << "MPEG-1";
  // The mixer runs at 44.1 kHz stereo and SDL_mixer only plays MP3 in its own format.
  EXPECT_EQ((head[2] >> 2) & 3, 0) << "44100 Hz";
  EXPECT_NE(head[3] >> 6, 3) << "stereo";

  std::vector<int16_t> s = decodeMusic();
  ASSERT_GE(s.size(), 2 * 30u * 44100) << "needs sox with MP3 support, and 30 s of tune";
  // Players here don't do gapless MP3: the loop point must be a rest.
  const size_t ms20 = 2 * 882;
  double first = rmsDb(s.data(), ms20), last = rmsDb(s.data() + s.size() - ms20, ms20);
  EXPECT_LT(first, -45);
  EXPECT_LT(last, -45);
  // The tune itself is no rest.
  EXPECT_GT(rmsDb(s.data() + s.size() / 2, 2 * 44100), -35);

  double music = peakDb(s);
  EXPECT_LT(music, -6.0);
  EXPECT_GT(music, -14.0);
  for (const char* name : kEffects)
    EXPECT_GT(peakDb(readWav(kData + "/sound/" + name + ".wav").samples), music + 4) << name;
}

TEST(Icon, IsASquareRgbaPng) {
  for (auto [name, size] : {std::pair{"grumo.png", 128u}, std::pair{"grumo-48.png", 48u}}) {
    std::vector<uint8_t> b = readFile(std::string(GRUMO_ICON_DIR) + "/" + name);
    ASSERT_GE(b.size(), 33u) << name;
    EXPECT_EQ(std::string(b.begin() + 1, b.begin() + 4), "PNG");
    EXPECT_EQ(std::string(b.begin() + 12, b.begin() + 16), "IHDR");
    auto be = [&](size_t at) {
      return uint32_t{b[at]} << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
    };
    EXPECT_EQ(be(16), size) << name;
    EXPECT_EQ(be(20), size) << name;
    EXPECT_EQ(b[25], 6) << name << ": RGBA, for a transparent background";
  }
}

}  // namespace
