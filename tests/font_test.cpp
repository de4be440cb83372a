#include "font.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "main.h"
#include "seam.h"

namespace {

// Every opaque pixel of the test sheet tells where it came from: red is 10 plus
// the glyph index, green 8 times the column, blue 8 times the row plus 1.
// Columns past the glyph's width are magenta, as in the game's sheets.
Uint32 cellColour(SDL_PixelFormat* format, int index, int column, int row) {
  return SDL_MapRGB(format, static_cast<Uint8>(10 + index), static_cast<Uint8>(8 * column),
                    static_cast<Uint8>(8 * row + 1));
}

std::string saveSheet(int cell, const int* widths, int cells, int height) {
  SDL_Surface* sheet =
      SDL_CreateRGBSurface(SDL_SWSURFACE, cells * cell, height, 24, 0xFF0000, 0xFF00, 0xFF, 0);
  SDL_FillRect(sheet, nullptr, SDL_MapRGB(sheet->format, 255, 0, 255));
  for (int i = 0; i < cells; ++i)
    for (int column = 0; column < widths[i] && column < cell; ++column)
      for (int row = 0; row < height; ++row) {
        SDL_Rect pixel = {static_cast<Sint16>(i * cell + column), static_cast<Sint16>(row), 1, 1};
        SDL_FillRect(sheet, &pixel, cellColour(sheet->format, i, column, row));
      }
  static int serial = 0;
  std::string path = ::testing::TempDir() + "grumo_font_" + std::to_string(getpid()) + "_" +
                     std::to_string(serial++) + ".bmp";
  SDL_SaveBMP(sheet, path.c_str());
  SDL_FreeSurface(sheet);
  return path;
}

struct Glyph {
  int index;
  int x;
  int y;
};

bool operator==(const Glyph& a, const Glyph& b) {
  return a.index == b.index && a.x == b.x && a.y == b.y;
}

void PrintTo(const Glyph& g, std::ostream* os) {
  *os << "{" << g.index << " @" << g.x << "," << g.y << "}";
}

using Glyphs = std::vector<Glyph>;

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    screen = SDL_SetVideoMode(320, 240, 32, SDL_SWSURFACE);
    ASSERT_NE(screen, nullptr);
    createList(widths);
    path = saveSheet(8, widths, cFont::numGlyphs, 8);
    font.init(path.c_str(), widths, 8, 255, 0, 255);
    ASSERT_TRUE(font.isUsable());
    seam::reset();
  }
  void TearDown() override {
    for (const std::string& p : extraFiles) std::remove(p.c_str());
    std::remove(path.c_str());
  }

  // The glyph cells blitted onto the screen since the last call.
  Glyphs drawn(int cell = 8) {
    Glyphs glyphs;
    for (const seam::Blit& b : seam::frameBlits()) {
      if (b.dst != screen) continue;
      EXPECT_TRUE(b.hasSrcRect && b.hasDstRect);
      EXPECT_EQ(b.srcRect.x % cell, 0);
      EXPECT_EQ(b.srcRect.y, 0);
      EXPECT_EQ(b.srcRect.w, cell);
      EXPECT_EQ(b.srcRect.h, cell);
      glyphs.push_back({b.srcRect.x / cell, b.dstRect.x, b.dstRect.y});
    }
    seam::reset();
    return glyphs;
  }

  std::string sheetFile(int cell, int cells, int height) {
    extraFiles.push_back(saveSheet(cell, widths, cells, height));
    return extraFiles.back();
  }

  Uint32 pixel(int x, int y) {
    return static_cast<Uint32*>(screen->pixels)[y * screen->pitch / 4 + x];
  }

  SDL_Surface* screen = nullptr;
  int widths[cFont::numGlyphs];
  std::string path;
  std::vector<std::string> extraFiles;
  cFont font;
};

const int A = 0, B = 1, a = 26, b = 27, c = 28, i = 34, question = 53;

TEST_F(FontTest, PenMovesByGlyphWidthPlusOneAndNewlinesKeepEmptyLines) {
  font.writeString(screen, "AB", 10, 20);
  EXPECT_EQ(drawn(), (Glyphs{{A, 10, 20}, {B, 15, 20}}));
  font.writeString(screen, "A B", 10, 20);
  EXPECT_EQ(drawn(), (Glyphs{{A, 10, 20}, {B, 19, 20}}));
  font.writeString(screen, "a\n\nb", 10, 20);
  EXPECT_EQ(drawn(), (Glyphs{{a, 10, 20}, {b, 10, 40}}));
  font.writeString(screen, "ab\nc", -3, -4);
  EXPECT_EQ(drawn(), (Glyphs{{a, -3, -4}, {b, 2, -4}, {c, -3, 6}}));
}

TEST_F(FontTest, CharactersMapToTheirCells) {
  const char* text = "AZaz09!?,.()+-/\":=";
  const int expected[] = {0, 25, 26, 51, 64, 73, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63};
  font.writeString(screen, text, 0, 0);
  Glyphs glyphs = drawn();
  ASSERT_EQ(glyphs.size(), std::size(expected));
  for (size_t n = 0; n < glyphs.size(); ++n) EXPECT_EQ(glyphs[n].index, expected[n]) << n;

  EXPECT_EQ(font.writeLetter(screen, 'M', 7, 9), 5);
  EXPECT_EQ(drawn(), (Glyphs{{12, 7, 9}}));
  EXPECT_EQ(font.writeLetter(screen, ' ', 7, 9), 3);
  EXPECT_EQ(font.writeLetter(screen, '\n', 7, 9), -1);
  EXPECT_TRUE(drawn().empty());
}

TEST_F(FontTest, CharactersOutsideTheSetShowAndMeasureAsQuestionMark) {
  const std::string known =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!?,.()+-/\":= \n";
  for (int code = 0; code < 256; ++code) {
    const char ch = static_cast<char>(code);
    const int width = font.writeLetter(screen, ch, 0, 0);
    Glyphs glyphs = drawn();
    if (ch == ' ' || ch == '\n') continue;
    ASSERT_EQ(glyphs.size(), 1u) << code;
    EXPECT_GE(glyphs[0].index, 0) << code;
    EXPECT_LT(glyphs[0].index, cFont::numGlyphs) << code;
    EXPECT_EQ(width, widths[glyphs[0].index]) << code;
    EXPECT_EQ(font.getWidth(ch), width) << code;
    if (code != 0 && known.find(ch) != std::string::npos) continue;
    EXPECT_EQ(glyphs[0].index, question) << code;
    EXPECT_EQ(width, 4) << code;
  }
  font.writeString(screen, "A\t\r~#\351B", 0, 0);
  EXPECT_EQ(drawn(), (Glyphs{{A, 0, 0},
                             {question, 5, 0},
                             {question, 10, 0},
                             {question, 15, 0},
                             {question, 20, 0},
                             {question, 25, 0},
                             {B, 30, 0}}));
}

TEST_F(FontTest, StringWidthReachesTheLastGlyphsRightEdge) {
  EXPECT_EQ(font.getWidth(' '), 3);
  EXPECT_EQ(font.getWidth('\n'), -1);
  EXPECT_EQ(font.getStringWidth("A B", 3), 13);
  EXPECT_EQ(font.getStringWidth("A B", 1), 4);
  EXPECT_EQ(font.getStringWidth("A B", 0), -1);
  EXPECT_EQ(font.getStringWidth("A\nB", 3), 9);
  // Exactly length characters count, a NUL (drawn as '?') among them.
  EXPECT_EQ(font.getStringWidth("A\0B", 3), 14);
}

TEST_F(FontTest, DrawsTheCellsPixelsExceptTheKeyColour) {
  const Uint32 background = SDL_MapRGB(screen->format, 0, 0, 64);
  SDL_FillRect(screen, nullptr, background);
  font.writeString(screen, "AB", 10, 20);
  EXPECT_EQ(pixel(10, 20), cellColour(screen->format, A, 0, 0));
  EXPECT_EQ(pixel(13, 27), cellColour(screen->format, A, 3, 7));
  EXPECT_EQ(pixel(14, 20), background);  // past A's width: magenta in the sheet
  EXPECT_EQ(pixel(15, 20), cellColour(screen->format, B, 0, 0));
  EXPECT_EQ(pixel(18, 21), cellColour(screen->format, B, 3, 1));
  EXPECT_EQ(pixel(19, 20), background);
  EXPECT_EQ(pixel(15, 28), background);  // below the cell

  // Only the low 8 bits of each key component count.
  cFont wide;
  wide.init(path.c_str(), widths, 8, 0x1FF, 0x300, 0x4FF);
  SDL_FillRect(screen, nullptr, background);
  wide.writeString(screen, "A", 10, 20);
  EXPECT_EQ(pixel(10, 20), cellColour(screen->format, A, 0, 0));
  EXPECT_EQ(pixel(14, 20), background);
}

TEST_F(FontTest, CellSizeSetsTheSheetCellsAndTheLinePitch) {
  cFont big;
  big.init(sheetFile(12, cFont::numGlyphs, 12).c_str(), widths, 12, 255, 0, 255);
  EXPECT_TRUE(big.isUsable());
  seam::reset();
  big.writeString(screen, "9\nA", 0, 0);  // pitch 12 + 12 / 4
  EXPECT_EQ(drawn(12), (Glyphs{{73, 0, 0}, {A, 0, 15}}));
  big.textbox(screen, "A A", 0, 0, 5, 2);
  EXPECT_EQ(drawn(12), (Glyphs{{A, 0, 0}, {A, 0, 15}}));
}

TEST_F(FontTest, InitKeepsItsOwnCopyOfTheWidths) {
  int table[cFont::numGlyphs];
  createList(table);
  cFont copy(path.c_str(), table, 8, 255, 0, 255);
  for (int& w : table) w = 99;
  EXPECT_TRUE(copy.isUsable());
  EXPECT_EQ(copy.getWidth('A'), 4);
  EXPECT_EQ(copy.getStringWidth("AB", 2), 9);
}

TEST_F(FontTest, ImageTooSmallOrMissingIsUnusableButHarmless) {
  EXPECT_FALSE(cFont().isUsable());
  cFont narrow, low, exact, missing;
  narrow.init(sheetFile(8, cFont::numGlyphs - 1, 8).c_str(), widths, 8, 255, 0, 255);
  low.init(sheetFile(8, cFont::numGlyphs, 7).c_str(), widths, 8, 255, 0, 255);
  exact.init(sheetFile(4, cFont::numGlyphs, 4).c_str(), widths, 4, 255, 0, 255);
  missing.init("/nonexistent/font.bmp", widths, 8, 255, 0, 255);
  EXPECT_FALSE(narrow.isUsable());
  EXPECT_FALSE(low.isUsable());
  EXPECT_TRUE(exact.isUsable());
  EXPECT_FALSE(missing.isUsable());

  seam::reset();
  EXPECT_EQ(missing.writeLetter(screen, 'A', 0, 0), 4);
  missing.writeString(screen, "AB\nC", 0, 0);
  EXPECT_EQ(missing.textbox(screen, "AB AB", 0, 0, 21, 1), 2);
  EXPECT_EQ(missing.getStringWidth("A B", 3), 13);
  EXPECT_TRUE(seam::frameBlits().empty());
}

TEST_F(FontTest, PositionsBeyondWhatABlitHoldsDrawNothing) {
  // Kept to 16 bits they would land back at (10, 20).
  font.writeString(screen, "A", 65536 + 10, 20);
  font.writeString(screen, "A", 10, 65536 + 20);
  EXPECT_TRUE(drawn().empty());
  EXPECT_EQ(font.textbox(screen, "AB AB\nAB", INT_MAX - 3, INT_MAX - 3, INT_MAX, 9), -1);
  EXPECT_EQ(font.textbox(screen, "AB AB\nAB", INT_MIN, INT_MIN, INT_MAX, 9), -1);
  font.writeString(screen, "AB\nAB", INT_MAX, INT_MAX);
  EXPECT_TRUE(drawn().empty());
}

TEST_F(FontTest, TextboxWrapsAWordThatPassesTheRightEdge) {
  int rows = -5;
  EXPECT_EQ(font.textbox(screen, "AB AB", 10, 20, 22, 2, rows), -1);
  EXPECT_EQ(drawn(), (Glyphs{{A, 10, 20}, {B, 15, 20}, {A, 23, 20}, {B, 28, 20}}));
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(font.textbox(screen, "AB AB", 10, 20, 21, 2, rows), -1);
  EXPECT_EQ(drawn(), (Glyphs{{A, 10, 20}, {B, 15, 20}, {A, 10, 30}, {B, 15, 30}}));
  EXPECT_EQ(rows, 1);
  // Leading whitespace is skipped and a run of spaces makes one gap.
  EXPECT_EQ(font.textbox(screen, "\n   AB    AB", 10, 20, 22, 2), -1);
  EXPECT_EQ(drawn(), (Glyphs{{A, 10, 20}, {B, 15, 20}, {A, 23, 20}, {B, 28, 20}}));
}

TEST_F(FontTest, TextboxWordWiderThanTheBoxLeavesTheFirstRowEmpty) {
  EXPECT_EQ(font.textbox(screen, "ABC", 10, 20, 5, 2), -1);
  EXPECT_EQ(drawn(), (Glyphs{{A, 10, 30}, {B, 15, 30}, {2, 20, 30}}));
  EXPECT_EQ(font.textbox(screen, "ABC", 10, 20, 5, 1), 0);
  EXPECT_TRUE(drawn().empty());
}

TEST_F(FontTest, TextboxOnlyANewlineRightAfterAWordEndsTheRow) {
  EXPECT_EQ(font.textbox(screen, "a\nb", 10, 20, 100, 2), -1);
  EXPECT_EQ(drawn(), (Glyphs{{a, 10, 20}, {b, 10, 30}}));
  EXPECT_EQ(font.textbox(screen, "a\n\n\nb", 10, 20, 100, 2), -1);
  EXPECT_EQ(drawn(), (Glyphs{{a, 10, 20}, {b, 10, 30}}));
  EXPECT_EQ(font.textbox(screen, "a \nb", 10, 20, 100, 2), -1);
  EXPECT_EQ(drawn(), (Glyphs{{a, 10, 20}, {b, 18, 20}}));
}

TEST_F(FontTest, TextboxReturnsWhereTheUndrawnRestBegins) {
  int rows = -5;
  EXPECT_EQ(font.textbox(screen, "a\nb", 10, 20, 100, 1, rows), 1);
  EXPECT_EQ(drawn(), (Glyphs{{a, 10, 20}}));
  EXPECT_EQ(rows, 1);
  // The empty word after a final newline meets the row limit.
  EXPECT_EQ(font.textbox(screen, "ab\n", 10, 20, 100, 1), 2);
  EXPECT_EQ(drawn(), (Glyphs{{a, 10, 20}, {b, 15, 20}}));
  EXPECT_EQ(font.textbox(screen, "AB AB", 10, 20, 21, 1), 2);
  EXPECT_EQ(drawn(), (Glyphs{{A, 10, 20}, {B, 15, 20}}));
  // The early return keeps the row count last reached.
  EXPECT_EQ(font.textbox(screen, "a\nb\nc", 10, 20, 100, 2, rows), 3);
  EXPECT_EQ(rows, 2);
  seam::reset();

  EXPECT_EQ(font.textbox(screen, "a", 10, 20, 100, 0), 0);
  EXPECT_EQ(font.textbox(screen, "a", 10, 20, 100, -3), 0);
  EXPECT_TRUE(drawn().empty());
  rows = 7;
  EXPECT_EQ(font.textbox(screen, "", 10, 20, 100, 3, rows), -1);
  EXPECT_EQ(rows, 0);
  EXPECT_TRUE(drawn().empty());
}

// Every glyph the calls drew, feeding each call the rest the one before it left.
Glyphs drawInPages(cFont& font, SDL_Surface* screen, const std::string& text, int w, int* pages) {
  Glyphs all;
  *pages = 0;
  for (size_t from = 0; from <= text.size() && *pages < 1000;) {
    ++*pages;
    seam::reset();
    const int rest = font.textbox(screen, text.c_str() + from, 0, 0, w, 1);
    for (const seam::Blit& blit : seam::frameBlits()) {
      EXPECT_EQ(blit.dstRect.y, 0);
      all.push_back({blit.srcRect.x / 8, blit.dstRect.x, blit.dstRect.y});
    }
    if (rest < 0) return all;
    EXPECT_GT(rest, 0) << "no progress at " << from;
    if (rest <= 0) break;
    from += static_cast<size_t>(rest);
  }
  ADD_FAILURE() << "text never finished";
  return all;
}

TEST_F(FontTest, TextboxContinuesFromTheReturnedOffset) {
  const std::string text = "Hello there, jumper!\nPop\n\nthe balloons   and come back (soon).  ";
  int pages = 0;
  Glyphs glyphs = drawInPages(font, screen, text, 40, &pages);
  std::string seen;
  for (const Glyph& g : glyphs) seen += g.index == 55 ? '.' : '*';
  std::string expected;
  for (char ch : text)
    if (ch != ' ' && ch != '\n') expected += ch == '.' ? '.' : '*';
  EXPECT_EQ(seen, expected);
  EXPECT_GT(pages, 4);
}

TEST_F(FontTest, TextboxSplitsAWordAfter31Characters) {
  const std::string i31(31, 'i'), i32(32, 'i'), i100(100, 'i');
  Glyphs row;
  for (int n = 0; n < 31; ++n) row.push_back({i, 10 + 2 * n, 20});

  EXPECT_EQ(font.textbox(screen, i31.c_str(), 10, 20, 61, 1), -1);
  EXPECT_EQ(drawn(), row);

  // The 32nd character goes on as a word of its own, 4 pixels on.
  Glyphs split = row;
  split.push_back({i, 10 + 61 + 4, 20});
  EXPECT_EQ(font.textbox(screen, i32.c_str(), 10, 20, 66, 1), -1);
  EXPECT_EQ(drawn(), split);
  split.back() = {i, 10, 30};
  EXPECT_EQ(font.textbox(screen, i32.c_str(), 10, 20, 65, 2), -1);
  EXPECT_EQ(drawn(), split);
  EXPECT_EQ(font.textbox(screen, i32.c_str(), 10, 20, 65, 1), 31);
  EXPECT_EQ(drawn(), row);
  // The rest begins at the whitespace in front of a whole word, in the middle of a split one.
  const std::string spaced = "A " + i32;
  EXPECT_EQ(font.textbox(screen, spaced.c_str(), 10, 20, 60, 1), 1);
  EXPECT_EQ(font.textbox(screen, spaced.c_str(), 10, 20, 70, 1), 33);
  seam::reset();

  int pages = 0;
  EXPECT_EQ(drawInPages(font, screen, i100, 64, &pages).size(), 100u);
  EXPECT_EQ(pages, 4);
  int rows = 0;
  EXPECT_EQ(font.textbox(screen, i100.c_str(), 0, 0, 64, 4, rows), -1);
  EXPECT_EQ(rows, 3);
}

}  // namespace
