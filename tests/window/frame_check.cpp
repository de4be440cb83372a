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
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

const int gameW = 320, gameH = 240;
const Uint32 colourKey = 0xff00ff;

struct Image {
  int w = 0, h = 0;
  std::vector<Uint32> px;  // 0xRRGGBB
  Uint32 at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

using Colours = std::unordered_set<Uint32>;

// Read through SDL as the game reads its pictures, whatever their depth.
Image load(const std::string& path) {
  SDL_Surface* s = SDL_LoadBMP(path.c_str());
  if (!s) {
    std::fprintf(stderr, "cannot read %s: %s\n", path.c_str(), SDL_GetError());
    std::exit(2);
  }
  SDL_Surface* rgb = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0xff0000, 0xff00, 0xff, 0);
  SDL_Surface* c = SDL_ConvertSurface(s, rgb->format, SDL_SWSURFACE);
  Image image{c->w, c->h, {}};
  for (int y = 0; y < c->h; ++y)
    for (int x = 0; x < c->w; ++x)
      image.px.push_back(static_cast<const Uint32*>(c->pixels)[y * c->pitch / 4 + x] & 0xffffff);
  SDL_FreeSurface(c);
  SDL_FreeSurface(rgb);
  SDL_FreeSurface(s);
  return image;
}

Colours opaqueColours(const Image& sheet) {
  Colours set(sheet.px.begin(), sheet.px.end());
  set.erase(colourKey);
  return set;
}

int opaqueIn(const Image& sheet, int x0, int y0, int w, int h) {
  int n = 0;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) n += sheet.at(x, y) != colourKey;
  return n;
}

struct Region {
  int x0, y0, x1, y1;  // half-open
};

struct Judge {
  const Image &frame, &backdrop;
  int failures = 0;

  void expect(bool ok, const char* what, double got, const char* relation, double want) {
    std::printf("%s %s: %.3f (%s %.3f)\n", ok ? "ok  " : "FAIL", what, got, relation, want);
    failures += !ok;
  }
  // The x of each changed pixel in r whose colour is in the set (any colour without one).
  std::vector<int> changed(const Colours* colours, Region r) const {
    std::vector<int> xs;
    for (int y = r.y0; y < r.y1; ++y)
      for (int x = r.x0; x < r.x1; ++x)
        if (frame.at(x, y) != backdrop.at(x, y) && (!colours || colours->count(frame.at(x, y))))
          xs.push_back(x);
    return xs;
  }
  std::vector<int> atLeast(const char* what, const Colours& colours, Region r, double least) {
    std::vector<int> xs = changed(&colours, r);
    expect(xs.size() >= least, what, xs.size(), ">=", least);
    return xs;
  }
};

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (argc < 4 || argc > 5 || (mode != "play" && mode != "credits")) {
    std::fprintf(stderr, "usage: %s play|credits <gfx dir> <screenshot.bmp> [<frame out.bmp>]\n",
                 argv[0]);
    return 2;
  }
  const std::string gfx = std::string(argv[2]) + "/";
  const Image shot = load(argv[3]), backdrop = load(gfx + "background.bmp"),
              balloons = load(gfx + "balloon.bmp"), board = load(gfx + "board.bmp"),
              font = load(gfx + "font.bmp");
  if (shot.w < gameW || shot.h < gameH || backdrop.w != gameW || backdrop.h != gameH) {
    std::fprintf(stderr, "unexpected sizes: screenshot %dx%d, backdrop %dx%d\n", shot.w, shot.h,
                 backdrop.w, backdrop.h);
    return 2;
  }

  Image frame{gameW, gameH, {}};
  for (int y = 0; y < gameH; ++y)
    for (int x = 0; x < gameW; ++x)
      frame.px.push_back(
          shot.at((2 * x + 1) * shot.w / (2 * gameW), (2 * y + 1) * shot.h / (2 * gameH)));
  SDL_Surface* out = SDL_CreateRGBSurfaceFrom(frame.px.data(), gameW, gameH, 32, gameW * 4,
                                              0xff0000, 0xff00, 0xff, 0);
  const bool saved = argc < 5 || (out && SDL_SaveBMP(out, argv[4]) == 0);
  SDL_FreeSurface(out);
  if (!saved) {
    std::fprintf(stderr, "cannot write %s\n", argv[4]);
    return 2;
  }

  Judge judge{frame, backdrop};
  // The picture fills the display, sharp, and is the game's: every tile of it
  // still shows mostly the backdrop, and the display pixels well inside a game
  // pixel all carry its colour (a filtered or misplaced picture breaks both).
  double worstTile = 1.0;
  for (int y = 0; y < gameH; y += 48)
    for (int x = 0; x < gameW; x += 64)
      worstTile = std::min(worstTile,
                           1 - judge.changed(nullptr, {x, y, x + 64, y + 48}).size() / (64.0 * 48));
  judge.expect(worstTile >= 0.4, "backdrop share of the worst 64x48 tile", worstTile, ">=", 0.4);
  // The game coordinate of a display pixel's centre, if well inside a game pixel.
  auto inner = [](int i, int shotSize, int gameSize, int& g) {
    const double scale = static_cast<double>(gameSize) / shotSize, at = (i + 0.5) * scale;
    g = static_cast<int>(at);
    return std::min(at - g, g + 1 - at) / scale >= 0.6;
  };
  long inside = 0, sharp = 0;
  for (int y = 0, gx, gy; y < shot.h; ++y)
    for (int x = 0; x < shot.w; ++x)
      if (inner(y, shot.h, gameH, gy) && inner(x, shot.w, gameW, gx))
        ++inside, sharp += shot.at(x, y) == frame.at(gx, gy);
  const double sharpShare = inside ? static_cast<double>(sharp) / inside : 0;
  judge.expect(sharpShare >= 0.98, "display pixels matching their game pixel", sharpShare,
               ">=", 0.98);

  const Colours text = opaqueColours(font);
  const double glyph = opaqueIn(font, 0, 0, font.w, font.h) / 74.0;
  if (mode == "play") {
    // Three rows of 17, each of the 4 frames of a row in turn, drift in y
    // 20..76; some may be off the edge or bursting.
    judge.atLeast("balloon pixels in y 20..76", opaqueColours(balloons), {0, 20, gameW, 77},
                  0.4 * 17 * opaqueIn(balloons, 0, 0, 64, 48) / 4);
    // The board (50x18 at y 221) was slid right by the held key, so it no
    // longer sits at its start (x 190..239).
    std::vector<int> xs =
        judge.atLeast("board pixels in y 221..239", opaqueColours(board), {0, 221, gameW, gameH},
                      0.6 * opaqueIn(board, 0, 0, 100, 18) / 2);
    std::nth_element(xs.begin(), xs.begin() + xs.size() / 2, xs.end());
    const int medianX = xs.empty() ? 0 : xs[xs.size() / 2];
    judge.expect(medianX >= 255, "median x of the board pixels", medianX, ">=", 255);
    // "Score:" and "Level:" with their numbers top left, "Lives:" top right.
    judge.atLeast("text pixels in the score area", text, {0, 0, 80, 22}, 6 * glyph);
    judge.atLeast("text pixels in the lives area", text, {276, 6, gameW, 18}, 3 * glyph);
  } else {
    // Twelve rows of wrapped text, 10 pixels apart from y 20, in x 20..300.
    const Region box{16, 18, 304, 142};
    const double inBox =
        judge.atLeast("text pixels in the credits box", text, box, 200 * glyph).size();
    int emptyRows = 0;
    for (int row = 0; row < 12; ++row)
      emptyRows += judge.changed(&text, {20, 20 + 10 * row, 300, 28 + 10 * row}).size() < 3 * glyph;
    judge.expect(emptyRows == 0, "credits rows without text", emptyRows, "==", 0);
    // Nothing else on top of the backdrop: no balloons, board, jumper or score.
    const double boxChanged = judge.changed(nullptr, box).size();
    const double outside = judge.changed(nullptr, {0, 0, gameW, gameH}).size() - boxChanged;
    judge.expect(outside <= 20, "changed pixels outside the box", outside, "<=", 20);
    judge.expect(boxChanged - inBox <= 20, "non-text pixels in the box", boxChanged - inBox,
                 "<=", 20);
  }
  return judge.failures == 0 ? 0 : 1;
}
