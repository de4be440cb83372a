#include "sprite.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "seam.h"

namespace {

const int frameW = 6, frameH = 4;

// Each sheet pixel tells where it lies: red 20 + 40 per frame column,
// green 10 + 20 per column within the frame, blue 10 + 20 per sheet row.
Uint32 sheetColour(SDL_PixelFormat* format, int x, int y) {
  return SDL_MapRGB(format, static_cast<Uint8>(20 + 40 * (x / frameW)),
                    static_cast<Uint8>(10 + 20 * (x % frameW)), static_cast<Uint8>(10 + 20 * y));
}

void setPixel(SDL_Surface* s, int x, int y, Uint32 colour) {
  SDL_Rect r = {static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
  SDL_FillRect(s, &r, colour);
}

// A sheet as the loader gives it: 24-bit, no colour key.
SDL_Surface* makeSheet(int frames, int rows) {
  SDL_Surface* sheet = SDL_CreateRGBSurface(SDL_SWSURFACE, frames * frameW, rows * frameH, 24,
                                            0xFF0000, 0xFF00, 0xFF, 0);
  for (int y = 0; y < sheet->h; ++y)
    for (int x = 0; x < sheet->w; ++x) setPixel(sheet, x, y, sheetColour(sheet->format, x, y));
  return sheet;
}

class SpriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    screen = SDL_SetVideoMode(320, 240, 32, SDL_SWSURFACE);
    ASSERT_NE(screen, nullptr);
    seam::reset();
    sheet = makeSheet(5, 2);
    background = SDL_MapRGB(screen->format, 0, 128, 0);
  }
  void TearDown() override {
    for (SDL_Surface* s : owned) SDL_FreeSurface(s);
    SDL_FreeSurface(sheet);
  }

  cSprite make(int frames, long pause) {
    cSprite s;
    s.init(sheet, 0, 0, frameW, frameH, frames);
    s.setAllPause(pause);
    return s;
  }

  Uint32 pixel(int x, int y) {
    return static_cast<Uint32*>(screen->pixels)[y * screen->pitch / 4 + x];
  }

  // Draws at the tick given onto a cleared corner and reads the frame back
  // from its top-left pixel; -1 when nothing of a frame was drawn there.
  int shown(cSprite& s, Uint32 now) {
    seam::setNow(now);
    SDL_Rect corner = {0, 0, frameW * 2, frameH * 2};
    SDL_FillRect(screen, &corner, background);
    s.draw(screen, 0, 0);
    for (int f = 0; f < 5; ++f)
      if (pixel(0, 0) == sheetColour(screen->format, f * frameW, 0)) return f;
    return -1;
  }

  SDL_Surface* solid(Uint8 r, Uint8 g, Uint8 b) {
    SDL_Surface* s =
        SDL_CreateRGBSurface(SDL_SWSURFACE, frameW, frameH, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, r, g, b));
    owned.push_back(s);
    return s;
  }

  SDL_Surface* screen = nullptr;
  SDL_Surface* sheet = nullptr;
  Uint32 background = 0;
  std::vector<SDL_Surface*> owned;
};

const Uint32 T = 1000;

TEST_F(SpriteTest, FrameIsLeftOnlyOnceTheTickIsPastItsPause) {
  seam::setNow(T);
  cSprite s = make(3, 100);
  s.start();
  EXPECT_EQ(shown(s, T + 100), 0);
  EXPECT_EQ(shown(s, T + 101), 1);
  EXPECT_EQ(shown(s, T + 200), 1);
  EXPECT_EQ(shown(s, T + 201), 2);
  EXPECT_EQ(shown(s, T + 301), 0);
}

TEST_F(SpriteTest, LateDrawPassesOverSpentFramesAndKeepsThePhase) {
  seam::setNow(T);
  cSprite s = make(3, 100);
  s.start();
  EXPECT_EQ(shown(s, T + 350), 0);
  EXPECT_EQ(shown(s, T + 400), 0);
  EXPECT_EQ(shown(s, T + 401), 1);
}

TEST_F(SpriteTest, EachFrameStaysForItsOwnPause) {
  seam::setNow(T);
  cSprite s = make(5, 130);
  s.setPause(3, 170);
  s.start();
  std::vector<Uint32> changes;
  int last = shown(s, T);
  for (Uint32 t = T; t <= T + 1400; ++t) {
    const int f = shown(s, t);
    if (f != last) changes.push_back(t - T);
    last = f;
  }
  const std::vector<Uint32> expected = {131, 261, 391, 561, 691, 821, 951, 1081, 1251, 1381};
  EXPECT_EQ(changes, expected);
}

TEST_F(SpriteTest, OneFrameSpriteAlwaysShowsFrameZero) {
  seam::setNow(T);
  cSprite s = make(1, 100);
  s.start();
  EXPECT_EQ(shown(s, T + 101), 0);
  EXPECT_EQ(shown(s, T + 1000000), 0);
}

TEST_F(SpriteTest, StoppedSpriteHoldsItsFrameAndStartGivesAFullPause) {
  seam::setNow(T);
  cSprite s = make(3, 100);
  EXPECT_EQ(shown(s, T + 500), 0);  // not started yet
  seam::setNow(T);
  s.start();
  EXPECT_EQ(shown(s, T + 150), 1);
  s.stop();
  EXPECT_EQ(shown(s, T + 5000), 1);
  s.start();
  EXPECT_EQ(shown(s, T + 5100), 1);
  EXPECT_EQ(shown(s, T + 5101), 2);
}

TEST_F(SpriteTest, SetFrameKeepsTheRunningPause) {
  seam::setNow(T);
  cSprite s = make(3, 100);
  s.start();
  EXPECT_EQ(shown(s, T + 90), 0);
  s.setFrame(2);
  EXPECT_EQ(shown(s, T + 100), 2);
  EXPECT_EQ(shown(s, T + 101), 0);
}

TEST_F(SpriteTest, CopyAnimatesAloneButSharesThePictures) {
  seam::setNow(T);
  cSprite s = make(3, 100);
  s.start();
  cSprite copy = s;
  copy.stop();
  EXPECT_EQ(shown(s, T + 101), 1);
  EXPECT_EQ(shown(copy, T + 101), 0);

  copy.setImage(1, solid(250, 250, 0));
  shown(s, T + 150);
  EXPECT_EQ(pixel(0, 0), SDL_MapRGB(screen->format, 250, 250, 0));
  EXPECT_EQ(pixel(frameW - 1, frameH - 1), SDL_MapRGB(screen->format, 250, 250, 0));
  EXPECT_EQ(pixel(frameW, 0), background);

  s.setImage(0, solid(0, 0, 250));
  shown(copy, T + 150);
  EXPECT_EQ(pixel(0, 0), SDL_MapRGB(screen->format, 0, 0, 250));
}

TEST_F(SpriteTest, FramesAreCutToExactlyTheirSizeInTheScreensFormat) {
  cSprite s;
  s.init(sheet, frameW, frameH, frameW, frameH, 2);  // second row, from the second frame
  s.setAllPause(100);
  SDL_FillRect(screen, nullptr, background);
  seam::reset();
  s.draw(screen, 10, 20);
  ASSERT_EQ(seam::frameBlits().size(), 1u);
  const seam::Blit& blit = seam::frameBlits()[0];
  EXPECT_EQ(blit.src->w, frameW);
  EXPECT_EQ(blit.src->h, frameH);
  EXPECT_EQ(blit.src->format->BitsPerPixel, screen->format->BitsPerPixel);
  EXPECT_EQ(blit.src->format->Rmask, screen->format->Rmask);
  EXPECT_EQ(blit.src->format->Bmask, screen->format->Bmask);
  EXPECT_EQ(blit.dst, screen);

  EXPECT_EQ(pixel(10, 20), sheetColour(screen->format, frameW, frameH));
  EXPECT_EQ(pixel(15, 23), sheetColour(screen->format, 2 * frameW - 1, 2 * frameH - 1));
  EXPECT_EQ(pixel(16, 20), background);
  EXPECT_EQ(pixel(10, 24), background);
}

TEST_F(SpriteTest, FramePartlyOffScreenIsClippedNotShifted) {
  cSprite s = make(1, 100);
  SDL_FillRect(screen, nullptr, background);
  s.draw(screen, -2, -1);
  EXPECT_EQ(pixel(0, 0), sheetColour(screen->format, 2, 1));
  EXPECT_EQ(pixel(3, 2), sheetColour(screen->format, 5, 3));
  EXPECT_EQ(pixel(4, 0), background);
  s.draw(screen, 317, 237);
  EXPECT_EQ(pixel(319, 239), sheetColour(screen->format, 2, 2));
  EXPECT_EQ(pixel(316, 239), background);
}

TEST_F(SpriteTest, OnlyExactMagentaIsTransparent) {
  SDL_Surface* keyed = solid(0, 0, 0);
  const Uint8 colours[][3] = {{255, 0, 255}, {254, 0, 255}, {255, 1, 255}, {255, 0, 254}};
  for (int x = 0; x < 4; ++x)
    setPixel(keyed, x, 0, SDL_MapRGB(keyed->format, colours[x][0], colours[x][1], colours[x][2]));
  cSprite s;
  s.init(keyed, 0, 0, frameW, frameH, 1);
  SDL_FillRect(screen, nullptr, background);
  s.draw(screen, 0, 0);
  EXPECT_EQ(pixel(0, 0), background);
  for (int x = 1; x < 4; ++x)
    EXPECT_EQ(pixel(x, 0), SDL_MapRGB(screen->format, colours[x][0], colours[x][1], colours[x][2]))
        << x;
  EXPECT_EQ(pixel(4, 0), SDL_MapRGB(screen->format, 0, 0, 0));
}

TEST_F(SpriteTest, PausesOfZeroOrLessDoNotStallTheAnimation) {
  for (long pause : {0L, -50L}) {
    seam::setNow(T);
    cSprite s = make(3, pause);
    s.start();
    EXPECT_GE(shown(s, T + 100000), 0);
  }
}

TEST_F(SpriteTest, SheetThatCannotBeCutLeavesAHarmlessSprite) {
  cSprite none;
  none.init(nullptr, 0, 0, frameW, frameH, 2);
  none.setAllPause(10);
  none.setImage(1, sheet);
  none.start();
  EXPECT_EQ(shown(none, T), -1);

  cSprite empty;
  empty.init(sheet, 0, 0, 0, frameH, 2);
  empty.setAllPause(10);
  empty.start();
  EXPECT_EQ(shown(empty, T + 100), -1);

  // Frames past the sheet's edge come out blank but drawable.
  cSprite small;
  small.init(sheet, 0, 0, frameW, frameH, 8);
  small.setAllPause(10);
  small.start();
  for (Uint32 t = T; t < T + 200; t += 7) shown(small, t);
}

}  // namespace
