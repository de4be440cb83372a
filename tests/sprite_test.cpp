#include "sprite.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "seam.h"

namespace {

const int frameW = 6, frameH = 4;
const Uint32 T = 1000;

// Each sheet pixel tells where it lies: red 20 + 40 per frame column,
// green 10 + 20 per column within the frame, blue 10 + 20 per sheet row.
Uint32 sheetColour(SDL_PixelFormat* format, int x, int y) {
  return SDL_MapRGB(format, 20 + 40 * (x / frameW), 10 + 20 * (x % frameW), 10 + 20 * y);
}

void setPixel(SDL_Surface* s, int x, int y, Uint32 colour) {
  SDL_Rect r = {static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
  SDL_FillRect(s, &r, colour);
}

// Sheets and frames are 24-bit without a colour key, as the loader gives them.
SDL_Surface* surface(int w, int h) {
  return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0xFF00, 0xFF, 0);
}

class SpriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    screen = SDL_SetVideoMode(320, 240, 32, SDL_SWSURFACE);
    ASSERT_NE(screen, nullptr);
    seam::reset();
    sheet = surface(5 * frameW, 2 * frameH);
    for (int y = 0; y < sheet->h; ++y)
      for (int x = 0; x < sheet->w; ++x) setPixel(sheet, x, y, sheetColour(sheet->format, x, y));
    background = SDL_MapRGB(screen->format, 0, 128, 0);
    SDL_FillRect(screen, nullptr, background);
  }
  void TearDown() override {
    for (SDL_Surface* s : owned) SDL_FreeSurface(s);
    SDL_FreeSurface(sheet);
  }

  // Made at T; started there unless told not to.
  cSprite make(int frames, long pause, bool start = true) {
    seam::setNow(T);
    cSprite s;
    s.init(sheet, 0, 0, frameW, frameH, frames);
    s.setAllPause(pause);
    if (start) s.start();
    return s;
  }

  Uint32 pixel(int x, int y) {
    return static_cast<Uint32*>(screen->pixels)[y * screen->pitch / 4 + x];
  }
  Uint32 rgb(Uint8 r, Uint8 g, Uint8 b) { return SDL_MapRGB(screen->format, r, g, b); }

  // The frame drawn at T + at onto a cleared corner, told by its top-left
  // pixel; -1 when nothing of a frame was drawn there.
  int shown(cSprite& s, Uint32 at) {
    seam::setNow(T + at);
    SDL_Rect corner = {0, 0, frameW * 2, frameH * 2};
    SDL_FillRect(screen, &corner, background);
    s.draw(screen, 0, 0);
    for (int f = 0; f < 5; ++f)
      if (pixel(0, 0) == sheetColour(screen->format, f * frameW, 0)) return f;
    return -1;
  }
  // Draws a copy, so the sprite passed in stays as it was.
  void expectFrames(cSprite s, const std::vector<std::pair<Uint32, int>>& script) {
    for (auto [at, frame] : script) EXPECT_EQ(shown(s, at), frame) << "at T+" << at;
  }

  SDL_Surface* solid(Uint8 r, Uint8 g, Uint8 b) {
    SDL_Surface* s = surface(frameW, frameH);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, r, g, b));
    owned.push_back(s);
    return s;
  }

  SDL_Surface* screen = nullptr;
  SDL_Surface* sheet = nullptr;
  Uint32 background = 0;
  std::vector<SDL_Surface*> owned;
};

TEST_F(SpriteTest, FrameIsLeftOnlyOnceTheTickIsPastItsPauseWhileRunning) {
  expectFrames(make(3, 100), {{100, 0}, {101, 1}, {200, 1}, {201, 2}, {301, 0}});
  // A late first draw passes over spent frames and keeps the phase.
  expectFrames(make(3, 100), {{350, 0}, {400, 0}, {401, 1}});
  expectFrames(make(1, 100), {{101, 0}, {1000000, 0}});
  // Not started: the frame holds however late it is drawn.
  expectFrames(make(3, 100, false), {{500, 0}});
  // A pause of 0 or less must still let the catching up end.
  for (long pause : {0L, -50L}) {
    cSprite s = make(3, pause);
    EXPECT_GE(shown(s, 100000), 0);
  }

  // The fourth frame holds longer, and the cycle repeats.
  cSprite s = make(5, 130);
  s.setPause(3, 170);
  std::vector<Uint32> changes;
  int last = shown(s, 0);
  for (Uint32 at = 1; at <= 1400; ++at) {
    const int f = shown(s, at);
    if (f != last) changes.push_back(at);
    last = f;
  }
  EXPECT_EQ(changes, (std::vector<Uint32>{131, 261, 391, 561, 691, 821, 951, 1081, 1251, 1381}));

  // Stopped, the frame holds; started again, it gets a full pause.
  cSprite stopped = make(3, 100);
  EXPECT_EQ(shown(stopped, 150), 1);
  stopped.stop();
  EXPECT_EQ(shown(stopped, 5000), 1);
  stopped.start();
  expectFrames(stopped, {{5100, 1}, {5101, 2}});
  // A frame set by hand ends when the one it replaced would have.
  cSprite set = make(3, 100);
  EXPECT_EQ(shown(set, 90), 0);
  set.setFrame(2);
  expectFrames(set, {{100, 2}, {101, 0}});
}

TEST_F(SpriteTest, CopyAnimatesAloneButSharesThePictures) {
  cSprite s = make(3, 100);
  cSprite copy = s;
  copy.stop();
  EXPECT_EQ(shown(s, 101), 1);
  EXPECT_EQ(shown(copy, 101), 0);

  copy.setImage(1, solid(250, 250, 0));
  shown(s, 150);
  EXPECT_EQ(pixel(0, 0), rgb(250, 250, 0));
  EXPECT_EQ(pixel(frameW - 1, frameH - 1), rgb(250, 250, 0));
  EXPECT_EQ(pixel(frameW, 0), background);
  s.setImage(0, solid(0, 0, 250));
  shown(copy, 150);
  EXPECT_EQ(pixel(0, 0), rgb(0, 0, 250));
}

TEST_F(SpriteTest, FramesAreCutToTheirSizeClippedNotShiftedAndKeyedOnMagenta) {
  cSprite s;
  s.init(sheet, frameW, frameH, frameW, frameH, 2);  // second row, from the second frame
  seam::reset();
  s.draw(screen, 10, 20);
  ASSERT_EQ(seam::frameBlits().size(), 1u);
  const SDL_Surface* image = seam::frameBlits()[0].src;
  EXPECT_EQ(image->w, frameW);
  EXPECT_EQ(image->h, frameH);
  EXPECT_EQ(image->format->BitsPerPixel, screen->format->BitsPerPixel);
  EXPECT_EQ(pixel(10, 20), sheetColour(screen->format, frameW, frameH));
  EXPECT_EQ(pixel(15, 23), sheetColour(screen->format, 2 * frameW - 1, 2 * frameH - 1));

  cSprite corner = make(1, 100);
  corner.draw(screen, -2, -1);
  EXPECT_EQ(pixel(0, 0), sheetColour(screen->format, 2, 1));
  EXPECT_EQ(pixel(3, 2), sheetColour(screen->format, 5, 3));
  EXPECT_EQ(pixel(4, 0), background);
  corner.draw(screen, 317, 237);
  EXPECT_EQ(pixel(319, 239), sheetColour(screen->format, 2, 2));
  EXPECT_EQ(pixel(316, 239), background);

  // Exactly magenta is transparent.
  SDL_Surface* keyed = solid(0, 0, 0);
  const Uint8 colours[][3] = {{255, 0, 255}, {254, 0, 255}, {255, 1, 255}, {255, 0, 254}};
  for (int x = 0; x < 4; ++x)
    setPixel(keyed, x, 0, SDL_MapRGB(keyed->format, colours[x][0], colours[x][1], colours[x][2]));
  cSprite magenta;
  magenta.init(keyed, 0, 0, frameW, frameH, 1);
  magenta.draw(screen, 100, 100);
  EXPECT_EQ(pixel(100, 100), background);
  for (int x = 1; x < 4; ++x)
    EXPECT_EQ(pixel(100 + x, 100), rgb(colours[x][0], colours[x][1], colours[x][2])) << x;
  EXPECT_EQ(pixel(104, 100), rgb(0, 0, 0));
}

TEST_F(SpriteTest, SheetThatCannotBeCutLeavesAHarmlessSprite) {
  cSprite none, empty;
  none.init(nullptr, 0, 0, frameW, frameH, 2);
  none.setImage(1, sheet);
  empty.init(sheet, 0, 0, 0, frameH, 2);
  for (cSprite* s : {&none, &empty}) {
    s->start();
    EXPECT_EQ(shown(*s, 100), -1);
  }

  // Frames past the sheet's edge come out blank but drawable.
  cSprite past = make(8, 10);
  for (Uint32 at = 0; at < 200; at += 7) shown(past, at);
}

}  // namespace
