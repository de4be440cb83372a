#include "font.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "main.h"
#include "seam.h"

namespace {

// Every opaque pixel of the test sheet tells where it came from: red is 10 plus
// the glyph index, green 8 times the column, blue 8 times the row plus 1.
// Columns past the glyph's width are magenta, as in the game's sheets.
Uint32 cellColour(SDL_PixelFormat* format, int index, int column, int row) {
  return SDL_MapRGB(format, 10 + index, 8 * column, 8 * row + 1);
}

// Glyph index and screen place of one drawn cell.
using Glyph = std::array<int, 3>;
using Glyphs = std::vector<Glyph>;

const int A = 0, B = 1, C = 2, a = 26, b = 27, c = 28, i = 34, question = 53;

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    screen = SDL_SetVideoMode(320, 240, 32, SDL_SWSURFACE);
    ASSERT_NE(screen, nullptr);
    createList(widths);
    font.init(sheetFile(8, cFont::numGlyphs, 8).c_str(), widths, 8, 255, 0, 255);
    ASSERT_TRUE(font.isUsable());
    seam::reset();
  }
  void TearDown() override {
    for (const std::string& p : files) std::remove(p.c_str());
  }

  // The glyph cells blitted onto the screen since the last call.
  Glyphs drawn(int cell = 8) {
    Glyphs glyphs;
    for (const seam::Blit& b : seam::frameBlits()) {
      EXPECT_TRUE(b.srcRect.x % cell == 0 && b.srcRect.y == 0 && b.srcRect.w == cell &&
                  b.srcRect.h == cell);
      glyphs.push_back({b.srcRect.x / cell, b.dstRect.x, b.dstRect.y});
    }
    seam::reset();
    return glyphs;
  }
  // The glyphs of one-row boxes, each fed the rest the box before it left.
  std::vector<int> paged(const std::string& text, int w, int& pages) {
    std::vector<int> out;
    pages = 0;
    for (int from = 0; from >= 0 && pages < 100; ++pages) {
      const int rest = font.textbox(screen, text.c_str() + from, 0, 0, w, 1);
      for (const Glyph& g : drawn()) out.push_back(g[0]);
      EXPECT_NE(rest, 0) << "no progress at " << from;
      from = rest < 0 ? -1 : from + rest;
    }
    return out;
  }

  // Saves a sheet of glyph cells for cFont to load; it is removed after the test.
  std::string sheetFile(int cell, int cells, int height) {
    SDL_Surface* sheet =
        SDL_CreateRGBSurface(SDL_SWSURFACE, cells * cell, height, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(sheet, nullptr, SDL_MapRGB(sheet->format, 255, 0, 255));
    for (int n = 0; n < cells; ++n)
      for (int column = 0; column < widths[n] && column < cell; ++column)
        for (int row = 0; row < height; ++row) {
          SDL_Rect r = {static_cast<Sint16>(n * cell + column), static_cast<Sint16>(row), 1, 1};
          SDL_FillRect(sheet, &r, cellColour(sheet->format, n, column, row));
        }
    files.push_back(::testing::TempDir() + "grumo_font_" + std::to_string(getpid()) + "_" +
                    std::to_string(files.size()) + ".bmp");
    SDL_SaveBMP(sheet, files.back().c_str());
    SDL_FreeSurface(sheet);
    return files.back();
  }
  Uint32 pixel(int x, int y) {
    return static_cast<Uint32*>(screen->pixels)[y * screen->pitch / 4 + x];
  }

  SDL_Surface* screen = nullptr;
  int widths[cFont::numGlyphs];
  std::vector<std::string> files;
  cFont font;
};

TEST_F(FontTest, PenMovesByGlyphWidthPlusOneAndStringWidthEndsAtTheLastGlyph) {
  font.writeString(screen, "AB", 10, 20);
  EXPECT_EQ(drawn(), (Glyphs{{A, 10, 20}, {B, 15, 20}}));
  font.writeString(screen, "A B", 10, 20);
  EXPECT_EQ(drawn(), (Glyphs{{A, 10, 20}, {B, 19, 20}}));
  font.writeString(screen, "a\n\nb", 10, 20);
  EXPECT_EQ(drawn(), (Glyphs{{a, 10, 20}, {b, 10, 40}}));
  font.writeString(screen, "ab\nc", -3, -4);
  EXPECT_EQ(drawn(), (Glyphs{{a, -3, -4}, {b, 2, -4}, {c, -3, 6}}));

  EXPECT_EQ(font.getStringWidth("A B", 3), 13);
  EXPECT_EQ(font.getStringWidth("A B", 1), 4);
  EXPECT_EQ(font.getStringWidth("A B", 0), -1);
  EXPECT_EQ(font.getStringWidth("A\nB", 3), 9);
  // Exactly length characters count, a NUL (drawn as '?') among them.
  EXPECT_EQ(font.getStringWidth("A\0B", 3), 14);
}

TEST_F(FontTest, EveryByteShowsAndMeasuresAsItsCellOrElseAsQuestionMark) {
  const std::string cells =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!?,.()+-/\":=0123456789";
  ASSERT_EQ(cells.size(), static_cast<size_t>(cFont::numGlyphs));
  for (int code = 0; code < 256; ++code) {
    SCOPED_TRACE(code);
    const char ch = static_cast<char>(code);
    const int width = font.writeLetter(screen, ch, 7, 9);
    EXPECT_EQ(font.getWidth(ch), width);
    if (ch == ' ' || ch == '\n') {
      EXPECT_EQ(width, ch == ' ' ? 3 : -1);
      EXPECT_EQ(drawn(), Glyphs{});
      continue;
    }
    const size_t at = cells.find(ch);
    const int index = at == std::string::npos ? question : static_cast<int>(at);
    EXPECT_EQ(drawn(), (Glyphs{{index, 7, 9}}));
    EXPECT_EQ(width, widths[index]);
  }
  font.writeString(screen, "A~\351B", 0, 0);
  EXPECT_EQ(drawn(), (Glyphs{{A, 0, 0}, {question, 5, 0}, {question, 10, 0}, {B, 15, 0}}));
}

TEST_F(FontTest, DrawsTheCellsPixelsExceptTheKeyColoursLow8Bits) {
  const Uint32 background = SDL_MapRGB(screen->format, 0, 0, 64);
  cFont wide;
  wide.init(files[0].c_str(), widths, 8, 0x1FF, 0x300, 0x4FF);
  for (cFont* f : {&font, &wide}) {
    SDL_FillRect(screen, nullptr, background);
    f->writeString(screen, "AB", 10, 20);
    EXPECT_EQ(pixel(10, 20), cellColour(screen->format, A, 0, 0));
    EXPECT_EQ(pixel(13, 27), cellColour(screen->format, A, 3, 7));
    EXPECT_EQ(pixel(14, 20), background);  // past A's width: magenta in the sheet
    EXPECT_EQ(pixel(15, 20), cellColour(screen->format, B, 0, 0));
    EXPECT_EQ(pixel(15, 28), background);  // below the cell
  }
}

TEST_F(FontTest, InitTakesTheCellSizeAndAnOwnCopyOfTheWidthsAndChecksTheImage) {
  cFont big;
  big.init(sheetFile(12, cFont::numGlyphs, 12).c_str(), widths, 12, 255, 0, 255);
  big.writeString(screen, "9\nA", 0, 0);  // pitch 12 + 12 / 4
  EXPECT_EQ(drawn(12), (Glyphs{{73, 0, 0}, {A, 0, 15}}));
  big.textbox(screen, "A A", 0, 0, 5, 2);
  EXPECT_EQ(drawn(12), (Glyphs{{A, 0, 0}, {A, 0, 15}}));

  int table[cFont::numGlyphs];
  createList(table);
  cFont copy(files[0].c_str(), table, 8, 255, 0, 255);
  for (int& w : table) w = 99;
  EXPECT_EQ(copy.getStringWidth("AB", 2), 9);

  EXPECT_FALSE(cFont().isUsable());
  // Cell size, cells and height of the image: a cell short, a row short, exact.
  const int sheets[][4] = {
      {8, cFont::numGlyphs - 1, 8, 0}, {8, cFont::numGlyphs, 7, 0}, {4, cFont::numGlyphs, 4, 1}};
  for (const auto& [cell, cells, height, usable] : sheets) {
    cFont f;
    f.init(sheetFile(cell, cells, height).c_str(), widths, cell, 255, 0, 255);
    EXPECT_EQ(f.isUsable(), usable == 1) << cells << " cells, " << height << " high";
  }
  cFont missing;
  missing.init("/nonexistent/font.bmp", widths, 8, 255, 0, 255);
  EXPECT_FALSE(missing.isUsable());
  missing.writeString(screen, "AB\nC", 0, 0);
  EXPECT_EQ(missing.textbox(screen, "AB AB", 0, 0, 21, 1), 2);
  EXPECT_EQ(drawn(), Glyphs{});
}

TEST_F(FontTest, PositionsBeyondWhatABlitHoldsDrawNothingAndExtremesDoNotOverflow) {
  // Kept to 16 bits they would land back at (10, 20).
  font.writeString(screen, "A", 65536 + 10, 20);
  font.writeString(screen, "A", 10, 65536 + 20);
  EXPECT_EQ(font.textbox(screen, "AB AB\nAB", INT_MAX - 3, INT_MAX - 3, INT_MAX, 9), -1);
  EXPECT_EQ(font.textbox(screen, "AB AB\nAB", INT_MIN, INT_MIN, INT_MAX, 9), -1);
  font.writeString(screen, "AB\nAB", INT_MAX, INT_MAX);
  EXPECT_EQ(drawn(), Glyphs{});
}

TEST_F(FontTest, TextboxWrapsWordsAndReturnsWhereTheUndrawnRestBegins) {
  const Glyphs abab = {{A, 10, 20}, {B, 15, 20}, {A, 23, 20}, {B, 28, 20}};
  const struct {
    const char* text;
    int w, numRows, rest, rows;
    Glyphs glyphs;
  } cases[] = {
      {"AB AB", 22, 2, -1, 0, abab},
      {"AB AB", 21, 2, -1, 1, {{A, 10, 20}, {B, 15, 20}, {A, 10, 30}, {B, 15, 30}}},
      {"AB AB", 21, 1, 2, 0, {{A, 10, 20}, {B, 15, 20}}},
      // Leading whitespace is skipped and a run of spaces makes one gap.
      {"\n   AB    AB", 22, 2, -1, 0, abab},
      // A first word wider than the box leaves the first row empty.
      {"ABC", 5, 2, -1, 1, {{A, 10, 30}, {B, 15, 30}, {C, 20, 30}}},
      {"ABC", 5, 1, 0, 0, {}},
      // Only a newline right after a word ends the row.
      {"a\nb", 100, 2, -1, 1, {{a, 10, 20}, {b, 10, 30}}},
      {"a\n\nb", 100, 2, -1, 1, {{a, 10, 20}, {b, 10, 30}}},
      {"a \nb", 100, 2, -1, 0, {{a, 10, 20}, {b, 18, 20}}},
      {"a\nb", 100, 1, 1, 1, {{a, 10, 20}}},
      // The empty word after a final newline meets the row limit.
      {"ab\n", 100, 1, 2, 1, {{a, 10, 20}, {b, 15, 20}}},
      {"a\nb\nc", 100, 2, 3, 2, {{a, 10, 20}, {b, 10, 30}}},
      {"a", 100, 0, 0, 0, {}},
      {"a", 100, -3, 0, 0, {}},
      {"", 100, 3, -1, 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text) + " w " + std::to_string(c.w) + " rows " +
                 std::to_string(c.numRows));
    int rows = -5;
    EXPECT_EQ(font.textbox(screen, c.text, 10, 20, c.w, c.numRows, rows), c.rest);
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(drawn(), c.glyphs);
  }

  const std::string text = "Hello there, jumper!\nPop\n\nthe balloons   and come back (soon).  ";
  int pages = 0;
  const std::vector<int> all = paged(text, 40, pages);
  font.writeString(screen, text.c_str(), 0, 0);
  std::vector<int> each;
  for (const Glyph& g : drawn()) each.push_back(g[0]);
  EXPECT_EQ(all, each);
  EXPECT_GT(pages, 4);
}

TEST_F(FontTest, TextboxSplitsAWordAfter31Characters) {
  const std::string i31(31, 'i'), i32(32, 'i'), i100(100, 'i');
  Glyphs row;
  for (int n = 0; n < 31; ++n) row.push_back({i, 10 + 2 * n, 20});

  EXPECT_EQ(font.textbox(screen, i31.c_str(), 10, 20, 61, 1), -1);
  EXPECT_EQ(drawn(), row);
  EXPECT_EQ(font.textbox(screen, i32.c_str(), 10, 20, 65, 1), 31);
  EXPECT_EQ(drawn(), row);
  // The 32nd character goes on as a word of its own, 4 pixels on.
  row.push_back({i, 10 + 61 + 4, 20});
  EXPECT_EQ(font.textbox(screen, i32.c_str(), 10, 20, 66, 1), -1);
  EXPECT_EQ(drawn(), row);
  row.back() = {i, 10, 30};
  EXPECT_EQ(font.textbox(screen, i32.c_str(), 10, 20, 65, 2), -1);
  EXPECT_EQ(drawn(), row);
  // The rest begins at the whitespace in front of a whole word, in the middle of a split one.
  const std::string spaced = "A " + i32;
  EXPECT_EQ(font.textbox(screen, spaced.c_str(), 10, 20, 60, 1), 1);
  EXPECT_EQ(font.textbox(screen, spaced.c_str(), 10, 20, 70, 1), 33);
  seam::reset();

  int pages = 0;
  EXPECT_EQ(paged(i100, 64, pages).size(), 100u);
  EXPECT_EQ(pages, 4);
  int rows = 0;
  EXPECT_EQ(font.textbox(screen, i100.c_str(), 0, 0, 64, 4, rows), -1);
  EXPECT_EQ(rows, 3);
}

}  // namespace
