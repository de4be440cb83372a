// frame_check play|credits <gfx dir> <screenshot.bmp> [<frame out.bmp>]
//
// Judges a screenshot of the whole X display showing the game. The game's
// 320x240 picture is read back from the centre of each scaled-up pixel and
// compared with the game's own pictures, so redrawn art needs no change here:
// "changed" pixels are those that differ from the backdrop at the same place,
// and they are attributed to a sprite sheet by colour.
// Prints what it measured; exit status 0 when every check holds, 1 when one
// fails, 2 when an image cannot be read.
#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

const int gameW = 320;
const int gameH = 240;
const std::uint32_t colourKey = 0xff00ff;
const int glyphCell = 8;
const int glyphCount = 74;

struct Image {
  int w = 0;
  int h = 0;
  std::vector<std::uint32_t> px;  // 0xRRGGBB
  std::uint32_t at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

using Colours = std::unordered_set<std::uint32_t>;

// Read through SDL as the game reads its pictures, whatever their depth.
bool load(const std::string& path, Image& image) {
  SDL_Surface* s = SDL_LoadBMP(path.c_str());
  if (!s) {
    std::fprintf(stderr, "cannot read %s: %s\n", path.c_str(), SDL_GetError());
    return false;
  }
  SDL_LockSurface(s);
  image.w = s->w;
  image.h = s->h;
  image.px.resize(static_cast<size_t>(s->w) * s->h);
  const int bpp = s->format->BytesPerPixel;
  for (int y = 0; y < s->h; ++y) {
    const Uint8* row = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
    for (int x = 0; x < s->w; ++x) {
      const Uint8* p = row + x * bpp;
      Uint32 raw = 0;
      switch (bpp) {
        case 1: raw = *p; break;
        case 2: raw = *reinterpret_cast<const Uint16*>(p); break;
        case 3: raw = SDL_BYTEORDER == SDL_LIL_ENDIAN ? (p[0] | p[1] << 8 | p[2] << 16)
                                                      : (p[2] | p[1] << 8 | p[0] << 16); break;
        default: raw = *reinterpret_cast<const Uint32*>(p); break;
      }
      Uint8 r, g, b;
      SDL_GetRGB(raw, s->format, &r, &g, &b);
      image.px[static_cast<size_t>(y) * s->w + x] = (r << 16) | (g << 8) | b;
    }
  }
  SDL_UnlockSurface(s);
  SDL_FreeSurface(s);
  return true;
}

Colours opaqueColours(const Image& sheet) {
  Colours set;
  for (std::uint32_t c : sheet.px)
    if (c != colourKey) set.insert(c);
  return set;
}

int opaqueIn(const Image& sheet, int x0, int y0, int w, int h) {
  int n = 0;
  for (int y = y0; y < y0 + h && y < sheet.h; ++y)
    for (int x = x0; x < x0 + w && x < sheet.w; ++x) n += sheet.at(x, y) != colourKey;
  return n;
}

// The display pixel nearest the centre of game pixel (gx, gy).
int toScreen(int g, int screenSize, int gameSize) {
  return static_cast<int>((g + 0.5) * screenSize / gameSize);
}

Image sampleFrame(const Image& shot) {
  Image frame;
  frame.w = gameW;
  frame.h = gameH;
  frame.px.resize(gameW * gameH);
  for (int y = 0; y < gameH; ++y)
    for (int x = 0; x < gameW; ++x)
      frame.px[y * gameW + x] = shot.at(toScreen(x, shot.w, gameW), toScreen(y, shot.h, gameH));
  return frame;
}

bool saveFrame(const Image& frame, const std::string& path) {
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, frame.w, frame.h, 32, 0xff0000, 0xff00,
                                        0xff, 0);
  if (!s) return false;
  SDL_LockSurface(s);
  for (int y = 0; y < frame.h; ++y)
    for (int x = 0; x < frame.w; ++x)
      reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x] =
          frame.at(x, y);
  SDL_UnlockSurface(s);
  const bool ok = SDL_SaveBMP(s, path.c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

struct Checker {
  int failures = 0;
  void expect(bool ok, const char* what, double got, const char* relation, double want) {
    std::printf("%s %s: %.3f (%s %.3f)\n", ok ? "ok  " : "FAIL", what, got, relation, want);
    if (!ok) ++failures;
  }
};

struct Region {
  int x0, y0, x1, y1;  // half-open
};

// Changed pixels in a region whose colour is in the set.
int changedIn(const Image& frame, const Image& backdrop, const Colours& colours, Region r,
              std::vector<int>* xs = nullptr) {
  int n = 0;
  for (int y = std::max(r.y0, 0); y < std::min(r.y1, gameH); ++y)
    for (int x = std::max(r.x0, 0); x < std::min(r.x1, gameW); ++x) {
      const std::uint32_t c = frame.at(x, y);
      if (c == backdrop.at(x, y) || !colours.count(c)) continue;
      ++n;
      if (xs) xs->push_back(x);
    }
  return n;
}

// The picture fills the display, sharp, and is the game's: every tile of it
// still shows mostly the backdrop, and the display pixels well inside a game
// pixel all carry its colour (a filtered or misplaced picture breaks both).
void checkDisplay(Checker& check, const Image& shot, const Image& frame, const Image& backdrop) {
  Colours distinct(frame.px.begin(), frame.px.end());
  check.expect(distinct.size() >= 16, "distinct colours in the frame", distinct.size(), ">=", 16);

  double worstTile = 1.0;
  const int tileW = 64, tileH = 48;
  for (int ty = 0; ty < gameH; ty += tileH)
    for (int tx = 0; tx < gameW; tx += tileW) {
      int same = 0;
      for (int y = ty; y < ty + tileH; ++y)
        for (int x = tx; x < tx + tileW; ++x) same += frame.at(x, y) == backdrop.at(x, y);
      worstTile = std::min(worstTile, static_cast<double>(same) / (tileW * tileH));
    }
  check.expect(worstTile >= 0.4, "backdrop share of the worst 64x48 tile", worstTile, ">=", 0.4);

  long inside = 0, sharp = 0;
  const double sx = static_cast<double>(gameW) / shot.w, sy = static_cast<double>(gameH) / shot.h;
  for (int y = 0; y < shot.h; ++y) {
    const double gy = (y + 0.5) * sy;
    const double fy = gy - static_cast<int>(gy);
    if (std::min(fy, 1 - fy) / sy < 0.6) continue;
    for (int x = 0; x < shot.w; ++x) {
      const double gx = (x + 0.5) * sx;
      const double fx = gx - static_cast<int>(gx);
      if (std::min(fx, 1 - fx) / sx < 0.6) continue;
      ++inside;
      sharp += shot.at(x, y) == frame.at(static_cast<int>(gx), static_cast<int>(gy));
    }
  }
  const double sharpShare = inside ? static_cast<double>(sharp) / inside : 0;
  check.expect(sharpShare >= 0.98, "display pixels matching their game pixel", sharpShare, ">=",
               0.98);
}

double meanGlyphPixels(const Image& font) {
  return static_cast<double>(opaqueIn(font, 0, 0, glyphCount * glyphCell, glyphCell)) / glyphCount;
}

void checkPlay(Checker& check, const Image& frame, const Image& backdrop, const Image& balloons,
               const Image& board, const Image& font) {
  const Colours balloonColours = opaqueColours(balloons);
  const Colours boardColours = opaqueColours(board);
  const Colours fontColours = opaqueColours(font);

  // Three rows of 17 drift in y 20..76; some may be off the edge or bursting.
  int fullSet = 0;
  for (int row = 0; row < 3; ++row) {
    int least = 16 * 16;
    for (int frameNo = 0; frameNo < 4; ++frameNo)
      least = std::min(least, opaqueIn(balloons, 16 * frameNo, 16 * row, 16, 16));
    fullSet += 17 * least;
  }
  const int balloonPixels = changedIn(frame, backdrop, balloonColours, {0, 20, gameW, 77});
  check.expect(balloonPixels >= 0.4 * fullSet, "balloon pixels in y 20..76", balloonPixels, ">=",
               0.4 * fullSet);

  // The board (50x18 at y 221) was slid right by the held key, so it no longer
  // sits at its start (x 190..239).
  const int boardSize = std::min(opaqueIn(board, 0, 0, 50, 18), opaqueIn(board, 50, 0, 50, 18));
  std::vector<int> xs;
  const int boardPixels = changedIn(frame, backdrop, boardColours, {0, 221, gameW, gameH}, &xs);
  check.expect(boardPixels >= 0.6 * boardSize, "board pixels in y 221..239", boardPixels, ">=",
               0.6 * boardSize);
  int medianX = 0;
  if (!xs.empty()) {
    std::nth_element(xs.begin(), xs.begin() + xs.size() / 2, xs.end());
    medianX = xs[xs.size() / 2];
  }
  check.expect(medianX >= 255, "median x of the board pixels", medianX, ">=", 255);

  // "Score:" and "Level:" with their numbers top left, "Lives:" top right.
  const double glyph = meanGlyphPixels(font);
  const int scoreText = changedIn(frame, backdrop, fontColours, {0, 0, 80, 22});
  check.expect(scoreText >= 6 * glyph, "text pixels in the score area", scoreText, ">=", 6 * glyph);
  const int livesText = changedIn(frame, backdrop, fontColours, {276, 6, gameW, 18});
  check.expect(livesText >= 3 * glyph, "text pixels in the lives area", livesText, ">=", 3 * glyph);
}

void checkCredits(Checker& check, const Image& frame, const Image& backdrop, const Image& font) {
  const Colours fontColours = opaqueColours(font);
  const double glyph = meanGlyphPixels(font);

  // Twelve rows of wrapped text, 10 pixels apart from y 20, in x 20..300.
  const Region box{16, 18, 304, 142};
  const int text = changedIn(frame, backdrop, fontColours, box);
  check.expect(text >= 200 * glyph, "text pixels in the credits box", text, ">=", 200 * glyph);
  int emptyRows = 0;
  for (int row = 0; row < 12; ++row)
    emptyRows += changedIn(frame, backdrop, fontColours, {20, 20 + 10 * row, 300, 28 + 10 * row}) <
                 3 * glyph;
  check.expect(emptyRows == 0, "credits rows without text", emptyRows, "==", 0);

  // Nothing else on top of the backdrop: no balloons, board, jumper or score.
  int foreign = 0, outside = 0;
  for (int y = 0; y < gameH; ++y)
    for (int x = 0; x < gameW; ++x) {
      const std::uint32_t c = frame.at(x, y);
      if (c == backdrop.at(x, y)) continue;
      const bool inBox = x >= box.x0 && x < box.x1 && y >= box.y0 && y < box.y1;
      outside += !inBox;
      foreign += inBox && !fontColours.count(c);
    }
  check.expect(outside <= 20, "changed pixels outside the box", outside, "<=", 20);
  check.expect(foreign <= 20, "non-text pixels in the box", foreign, "<=", 20);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || argc > 5) {
    std::fprintf(stderr, "usage: %s play|credits <gfx dir> <screenshot.bmp> [<frame out.bmp>]\n",
                 argv[0]);
    return 2;
  }
  const std::string mode = argv[1], gfx = std::string(argv[2]) + "/";
  if (mode != "play" && mode != "credits") {
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
  }
  Image shot, backdrop, balloons, board, font;
  if (!load(argv[3], shot) || !load(gfx + "background.bmp", backdrop) ||
      !load(gfx + "balloon.bmp", balloons) || !load(gfx + "board.bmp", board) ||
      !load(gfx + "font.bmp", font))
    return 2;
  if (shot.w < gameW || shot.h < gameH || backdrop.w != gameW || backdrop.h != gameH) {
    std::fprintf(stderr, "unexpected sizes: screenshot %dx%d, backdrop %dx%d\n", shot.w, shot.h,
                 backdrop.w, backdrop.h);
    return 2;
  }

  const Image frame = sampleFrame(shot);
  if (argc == 5 && !saveFrame(frame, argv[4])) {
    std::fprintf(stderr, "cannot write %s\n", argv[4]);
    return 2;
  }
  Checker check;
  checkDisplay(check, shot, frame, backdrop);
  if (mode == "play")
    checkPlay(check, frame, backdrop, balloons, board, font);
  else
    checkCredits(check, frame, backdrop, font);
  return check.failures == 0 ? 0 : 1;
}
