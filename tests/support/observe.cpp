#include "observe.h"

#include <gtest/gtest.h>

#include "font.h"
#include "main.h"

namespace seam {
namespace {

bool wholeImageOfSize(const Blit& blit, int w, int h) {
  return !blit.hasSrcRect && blit.src && blit.src->w == w && blit.src->h == h;
}

bool isGlyph(const Blit& blit) {
  return blit.hasSrcRect && blit.hasDstRect && blit.src && blit.src->w >= cFont::numGlyphs * 8 &&
         blit.srcRect.w == 8 && blit.srcRect.h == 8;
}

}  // namespace

char glyphLetter(int index) {
  static const char letters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!?,.()+-/\":=0123456789";
  return index >= 0 && index < cFont::numGlyphs ? letters[index] : '\0';
}

int glyphWidth(char letter) {
  static const std::vector<int> widths = [] {
    std::vector<int> w(cFont::numGlyphs);
    createList(w.data());
    return w;
  }();
  for (int i = 0; i < cFont::numGlyphs; ++i)
    if (glyphLetter(i) == letter) return widths[i];
  return letter == ' ' ? 3 : 0;
}

View observe(const std::vector<Blit>& blits) {
  View view;
  for (const Blit& blit : blits) {
    int x = blit.hasDstRect ? blit.dstRect.x : 0;
    int y = blit.hasDstRect ? blit.dstRect.y : 0;
    if (wholeImageOfSize(blit, 17, 17)) view.jumpers.push_back({blit.src, x, y});
    if (wholeImageOfSize(blit, 50, 18)) view.boards.push_back({blit.src, x, y});
    if (wholeImageOfSize(blit, 16, 16)) view.balloons.push_back({blit.src, x, y});
    if (isGlyph(blit)) view.glyphs.push_back({blit.src, glyphLetter(blit.srcRect.x / 8), x, y});
  }
  return view;
}

const Placed& View::jumper() const {
  EXPECT_EQ(jumpers.size(), 1u) << "the jumper is drawn once a frame";
  static const Placed none{nullptr, -9999, -9999};
  return jumpers.empty() ? none : jumpers.back();
}

const Placed& View::board() const {
  EXPECT_EQ(boards.size(), 1u) << "the board is drawn once a frame";
  static const Placed none{nullptr, -9999, -9999};
  return boards.empty() ? none : boards.back();
}

std::string View::textAt(int x, int y) const {
  std::string text;
  size_t i = 0;
  while (i < glyphs.size() && !(glyphs[i].x == x && glyphs[i].y == y)) ++i;
  int next = x;
  for (; i < glyphs.size(); ++i) {
    const Glyph& g = glyphs[i];
    if (g.y != y) break;
    if (g.x == next + 4 && !text.empty()) {
      text += ' ';
    } else if (g.x != next) {
      break;
    }
    text += g.letter;
    next = g.x + glyphWidth(g.letter) + 1;
  }
  return text;
}

SDL_Surface* View::sheetAt(int x, int y) const {
  for (const Glyph& g : glyphs)
    if (g.x == x && g.y == y) return g.sheet;
  return nullptr;
}

}  // namespace seam
