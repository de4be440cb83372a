// The browser layer's memory surfaces, built for this machine against the
// browser SDL's own headers. Pictures are told as letters: one a pixel, the
// pixel's red byte, '.' where it is clear.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "pictures.h"

extern "C" SDL_Surface* SDL_GetVideoSurface() { return nullptr; }

namespace {

Uint32& at(SDL_Surface* s, int x, int y) {
  return reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x];
}

// Rows of letters, split by '/'.
SDL_Surface* make(const std::string& rows) {
  const int w = static_cast<int>(rows.find('/')), h = static_cast<int>(rows.size() + 1) / (w + 1);
  SDL_Surface* s = SDL_CreateRGBSurface(0, w, h, 32, 0, 0, 0, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      at(s, x, y) = 0xff000000u | static_cast<Uint8>(rows[y * (w + 1) + x]);
  return s;
}

std::string rows(SDL_Surface* s) {
  std::string text;
  for (int y = 0; y < s->h; ++y) {
    for (int x = 0; x < s->w; ++x) text += at(s, x, y) >> 24 ? static_cast<char>(at(s, x, y)) : '.';
    text += y + 1 < s->h ? "/" : "";
  }
  return text;
}

std::string told(const SDL_Rect& r) {
  return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.w) + "x" +
         std::to_string(r.h);
}

const char* const field = "------/------/------/------/------";

TEST(WebSurfaces, BlitsClipAtEveryEdgeAsSdlDoes) {
  struct Case {
    SDL_Rect from;  // w 0: the whole source
    int x, y;
    const char* drawn;
    const char* rect;  // the destination rectangle written back
  };
  const Case cases[] = {
      {{0, 0, 0, 0}, 1, 1, "------/-abcd-/-efgh-/-ijkl-/------", "1,1 4x3"},
      {{0, 0, 0, 0}, -2, 1, "------/cd----/gh----/kl----/------", "0,1 2x3"},
      {{0, 0, 0, 0}, 1, -2, "-ijkl-/------/------/------/------", "1,0 4x1"},
      {{0, 0, 0, 0}, 4, 1, "------/----ab/----ef/----ij/------", "4,1 2x3"},
      {{0, 0, 0, 0}, 1, 3, "------/------/------/-abcd-/-efgh-", "1,3 4x2"},
      {{0, 0, 0, 0}, -3, -2, "l-----/------/------/------/------", "0,0 1x1"},
      {{0, 0, 0, 0}, 6, 0, field, "6,0 0x0"},
      {{0, 0, 0, 0}, -4, 0, field, "0,0 0x0"},
      {{1, 1, 2, 2}, 0, 0, "fg----/jk----/------/------/------", "0,0 2x2"},
      {{-1, -1, 3, 3}, 2, 2, "------/------/------/---ab-/---ef-", "3,3 2x2"},
      {{2, 1, 5, 5}, 5, 4, "------/------/------/------/-----g", "5,4 1x1"},
  };
  SDL_Surface* source = make("abcd/efgh/ijkl");
  for (const Case& c : cases) {
    SDL_Surface* target = make(field);
    SDL_Rect rect = {c.x, c.y, 0, 0};
    EXPECT_EQ(SDL_UpperBlit(source, c.from.w ? &c.from : nullptr, target, &rect), 0);
    EXPECT_EQ(rows(target) + " " + told(rect), std::string(c.drawn) + " " + c.rect)
        << "from " << told(c.from) << " at " << c.x << "," << c.y;
    SDL_FreeSurface(target);
  }
  SDL_Surface* target = make(field);
  SDL_UpperBlit(source, nullptr, target, nullptr);
  EXPECT_EQ(rows(target), "abcd--/efgh--/ijkl--/------/------");
  SDL_FreeSurface(target);
  SDL_FreeSurface(source);
}

TEST(WebSurfaces, FillsClipAndKeyedPixelsAreSkipped) {
  const std::pair<SDL_Rect, const char*> fills[] = {
      {{1, 1, 2, 2}, "------/-**---/-**---/------/------"},
      {{-1, -1, 3, 2}, "**----/------/------/------/------"},
      {{4, 3, 5, 5}, "------/------/------/----**/----**"},
      {{7, 1, 2, 2}, field},
      {{0, 0, 0, 0}, "******/******/******/******/******"}};
  for (const auto& [area, drawn] : fills) {
    SDL_Surface* target = make(field);
    EXPECT_EQ(SDL_FillRect(target, area.w ? &area : nullptr, '*'), 0);
    EXPECT_EQ(rows(target), drawn) << told(area);
    SDL_FreeSurface(target);
  }
  // The key matches whatever its alpha byte says; only SDL_SRCCOLORKEY sets one.
  const std::pair<std::pair<int, Uint32>, const char*> keys[] = {
      {{SDL_SRCCOLORKEY, 'a'}, ".bc./.bc./..../....|-bc-/-bc-/----/----"},
      {{SDL_SRCCOLORKEY, 0xff000000u | 'a'}, ".bc./.bc./..../....|-bc-/-bc-/----/----"},
      {{0, 'a'}, "abca/abca/aaaa/aaaa|abca/abca/aaaa/aaaa"}};
  for (const auto& [key, drawn] : keys) {
    SDL_Surface* sheet = make("abca/abca/aaaa/aaaa");
    EXPECT_EQ(SDL_SetColorKey(sheet, key.first, key.second), key.first ? 0 : -1);
    SDL_Surface* target = make("----/----/----/----");
    SDL_UpperBlit(sheet, nullptr, target, nullptr);
    EXPECT_EQ(rows(sheet) + "|" + rows(target), drawn) << key.first << " " << key.second;
    SDL_FreeSurface(target);
    SDL_FreeSurface(sheet);
  }
}

TEST(WebSurfaces, AreMadeOnlyIn32BitsAndWithinTheLargestSide) {
  const int sizes[][4] = {{4, 3, 32, 1},
                          {0, 3, 32, 0},
                          {4, -1, 32, 0},
                          {4, 3, 24, 0},
                          {maxImageSide, 1, 32, 1},
                          {maxImageSide + 1, 1, 32, 0},
                          {1, maxImageSide + 1, 32, 0}};
  for (const auto& [w, h, depth, made] : sizes) {
    SDL_Surface* s = SDL_CreateRGBSurface(0, w, h, depth, 0, 0, 0, 0);
    ASSERT_EQ(s != nullptr, made == 1) << w << "x" << h << "x" << depth;
    if (!s) continue;
    EXPECT_EQ(s->pitch, w * 4);
    EXPECT_EQ(at(s, 0, 0) | at(s, w - 1, h - 1), 0u) << "made clear";
    SDL_Surface* copy = SDL_DisplayFormat(s);
    EXPECT_TRUE(copy && copy != s && rows(copy) == rows(s));
    SDL_FreeSurface(copy);
    SDL_FreeSurface(s);
  }
}

}  // namespace
