// The browser layer's memory surfaces, built here against the browser SDL's headers. Pictures
// are rows split by '/' of each pixel's red byte, or '.' where it is clear.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "pictures.h"

extern "C" SDL_Surface* SDL_GetVideoSurface() { return nullptr; }

namespace {

// Rows without gaps, as the game's code takes them to be.
Uint32& at(SDL_Surface* s, int i) { return static_cast<Uint32*>(s->pixels)[i]; }

SDL_Surface* make(const std::string& rows) {
  const int w = static_cast<int>(rows.find('/')), h = static_cast<int>(rows.size() + 1) / (w + 1);
  SDL_Surface* s = SDL_CreateRGBSurface(0, w, h, 32, 0, 0, 0, 0);
  for (int i = 0; i < w * h; ++i) at(s, i) = 0xff000000u | static_cast<Uint8>(rows[i + i / w]);
  return s;
}

// The picture of a surface, which is freed.
std::string shown(SDL_Surface* s) {
  std::string text;
  for (int i = 0; i < s->w * s->h; ++i)
    text += std::string(i && i % s->w == 0, '/') + (at(s, i) >> 24 ? char(at(s, i)) : '.');
  SDL_FreeSurface(s);
  return text;
}

const char* const field = "------/------/------/------/------";

TEST(WebSurfaces, BlitsAndFillsClipAtEveryEdgeAndKeyedPixelsAreSkipped) {
  // Source rectangle (w 0: none), where to; what is drawn and the rectangle written back.
  const std::tuple<SDL_Rect, int, int, const char*> cases[] = {
      {{0, 0, 0, 0}, 1, 1, "------/-abcd-/-efgh-/-ijkl-/------ 1,1 4x3"},
      {{0, 0, 0, 0}, -2, 1, "------/cd----/gh----/kl----/------ 0,1 2x3"},
      {{0, 0, 0, 0}, 1, -2, "-ijkl-/------/------/------/------ 1,0 4x1"},
      {{0, 0, 0, 0}, 4, 1, "------/----ab/----ef/----ij/------ 4,1 2x3"},
      {{0, 0, 0, 0}, 1, 3, "------/------/------/-abcd-/-efgh- 1,3 4x2"},
      {{0, 0, 0, 0}, -3, -2, "l-----/------/------/------/------ 0,0 1x1"},
      {{0, 0, 0, 0}, 6, 0, "------/------/------/------/------ 6,0 0x0"},
      {{-1, -1, 3, 3}, 2, 2, "------/------/------/---ab-/---ef- 3,3 2x2"},
      {{2, 1, 5, 5}, 5, 4, "------/------/------/------/-----g 5,4 1x1"}};
  SDL_Surface* source = make("abcd/efgh/ijkl");
  EXPECT_EQ(shown(SDL_DisplayFormat(source)), "abcd/efgh/ijkl");
  for (const auto& [from, x, y, drawn] : cases) {
    SDL_Surface* target = make(field);
    SDL_Rect rect = {x, y, 0, 0};
    EXPECT_EQ(SDL_UpperBlit(source, from.w ? &from : nullptr, target, &rect), 0);
    EXPECT_EQ(shown(target) + " " + std::to_string(rect.x) + "," + std::to_string(rect.y) + " " +
                  std::to_string(rect.w) + "x" + std::to_string(rect.h),
              drawn);
  }
  // Fills clip as blits do, in the game's colours, red first in memory as the canvas has it.
  const Uint32 star = SDL_MapRGB(source->format, '*', 0, 0);
  SDL_FreeSurface(source);
  const std::pair<SDL_Rect, const char*> fills[] = {
      {{1, 1, 2, 2}, "------/-**---/-**---/------/------"},
      {{-1, -1, 3, 2}, "**----/------/------/------/------"},
      {{4, 3, 5, 5}, "------/------/------/----**/----**"},
      {{0, 0, 0, 0}, "******/******/******/******/******"}};
  for (const auto& [area, drawn] : fills) {
    SDL_Surface* target = make(field);
    EXPECT_EQ(SDL_FillRect(target, area.w ? &area : nullptr, star), 0);
    EXPECT_EQ(shown(target), drawn);
  }
  // Keyed pixels turn clear, and blits skip them. A key matches whatever its alpha; only
  // SDL_SRCCOLORKEY sets one. No rectangles: all, top-left.
  const std::tuple<int, Uint32, const char*> keys[] = {
      {SDL_SRCCOLORKEY, 'a', ".bc./.... -bc-/a--a"},
      {SDL_SRCCOLORKEY, 0xff000000u | 'a', ".bc./.... -bc-/a--a"},
      {0, 'a', "abca/aaaa abca/aaaa"}};
  for (const auto& [flag, key, drawn] : keys) {
    SDL_Surface *sheet = make("abca/aaaa"), *target = make("----/a--a");
    EXPECT_EQ(SDL_SetColorKey(sheet, flag, key), flag ? 0 : -1);
    SDL_UpperBlit(sheet, nullptr, target, nullptr);
    EXPECT_EQ(shown(sheet) + " " + shown(target), drawn) << flag << " " << key;
  }
}

TEST(WebSurfaces, AreMadeOnlyIn32BitsUpToTheLargestSide) {
  // Width, height, depth; whether it is made.
  const int most = maxImageSide,
            sizes[][4] = {{0, 3, 32, 0},    {4, -1, 32, 0},       {4, 3, 24, 0},
                          {most, 1, 32, 1}, {most + 1, 1, 32, 0}, {1, most + 1, 32, 0}};
  for (const auto& [w, h, depth, made] : sizes) {
    SDL_Surface* s = SDL_CreateRGBSurface(0, w, h, depth, 0, 0, 0, 0);
    EXPECT_EQ(s != nullptr, made == 1) << w << "x" << h << "x" << depth;
    SDL_FreeSurface(s);
  }
}

}  // namespace
