// The media library: cut images and the proportional font with its text
// boxes, read back from the blits they make.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "SDLFunctions.h"
#include "main.h"
#include "seam.h"

namespace {

using Drawn = std::vector<std::tuple<char, int, int>>;

class Lib : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    screen = SDL_SetVideoMode(320, 240, 32, SDL_SWSURFACE);
    static int widths[cFont::numGlyphs];
    createList(widths);
    font.init(GRUMO_DATA_DIR "/gfx/font.bmp", widths, 8, 255, 0, 255);
    ASSERT_TRUE(font.isUsable());
  }
  void SetUp() override { seam::reset(); }
  // The glyphs drawn since the last call: letter and place.
  static Drawn drawn() {
    Drawn out;
    for (const seam::Glyph& g : seam::frame().glyphs) out.push_back({g.letter, g.x, g.y});
    SDL_Flip(screen);
    return out;
  }
  static SDL_Surface* screen;
  static cFont font;
};
SDL_Surface* Lib::screen;
cFont Lib::font;

TEST_F(Lib, CutImagesAreClearWhereTheSheetIsMagentaWhateverItsDepth) {
  const Uint32 masks[][3] = {
      {0xf800, 0x07e0, 0x001f}, {0xff0000, 0xff00, 0xff}, {0xff0000, 0xff00, 0xff}};
  const int depths[] = {16, 24, 32};
  for (int d = 0; d < 3; ++d) {
    SDL_Surface* sheet = SDL_CreateRGBSurface(SDL_SWSURFACE, 16, 8, depths[d], masks[d][0],
                                              masks[d][1], masks[d][2], 0);
    SDL_FillRect(sheet, nullptr, SDL_MapRGB(sheet->format, 255, 0, 255));
    SDL_Rect dot = makeRect(11, 2, 1, 1);
    SDL_FillRect(sheet, &dot, SDL_MapRGB(sheet->format, 255, 255, 255));
    SDL_Surface* cut = cutImage(sheet, 8, 0, 8, 8);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->flags & (SDL_SRCCOLORKEY | SDL_RLEACCEL), Uint32(SDL_SRCCOLORKEY));
    SDL_FillRect(screen, nullptr, 0);
    drawBMP(cut, screen, 0, 0);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        EXPECT_EQ((static_cast<Uint32*>(screen->pixels)[y * screen->pitch / 4 + x] & 0xffffff) != 0,
                  x == 3 && y == 2)
            << depths[d] << " bits, " << x << "," << y;
    SDL_FreeSurface(cut);
    SDL_FreeSurface(sheet);
  }
}

TEST_F(Lib, ThePenMovesByEachGlyphsWidthPlusOneAndLinesAre10Apart) {
  // Widths: A 4, b 3, space 3, c 3, ? 4; a byte without a glyph shows as '?'.
  font.writeString(screen, "Ab c\n~9", 10, 20);
  EXPECT_EQ(drawn(),
            (Drawn{{'A', 10, 20}, {'b', 15, 20}, {'c', 23, 20}, {'?', 10, 30}, {'9', 15, 30}}));
  const std::pair<const char*, int> widths[] = {
      {"A", 4}, {"Ab", 8}, {"A b", 12}, {"~", 4}, {"", -1}};
  for (const auto& [text, width] : widths)
    EXPECT_EQ(font.getStringWidth(text, static_cast<int>(std::string(text).size())), width) << text;
  EXPECT_EQ(font.getWidth(' '), 3);
  EXPECT_EQ(font.getWidth('\n'), -1);
  EXPECT_EQ(font.writeLetter(screen, 'm', 1, 2), 5);
  EXPECT_EQ(drawn(), (Drawn{{'m', 1, 2}}));
}

TEST_F(Lib, TextBoxesWrapWordsAndSayWhereTheUndrawnRestBegins) {
  // "aaa" is 14 wide and a word is followed by a gap of 4.
  struct Case {
    const char* text;
    int w, rows, rest, rowsWritten;
    Drawn firstGlyphs;  // of each word
  };
  const std::string long40(40, 'a');
  const Case cases[] = {
      {"aaa bbb ccc", 40, 5, -1, 1, {{'a', 0, 0}, {'b', 18, 0}, {'c', 0, 10}}},
      {"aaa bbb ccc", 20, 2, 7, 0, {{'a', 0, 0}, {'b', 0, 10}}},
      {"  aaa\n\nbbb", 300, 5, -1, 1, {{'a', 0, 0}, {'b', 0, 10}}},
      {long40.c_str(), 1000, 1, -1, 0, {{'a', 0, 0}, {'a', 158, 0}}},
      {long40.c_str(), 100, 2, 31, 0, {{'a', 0, 10}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int rowsWritten = -1;
    EXPECT_EQ(font.textbox(screen, c.text, 0, 0, c.w, c.rows, rowsWritten), c.rest);
    EXPECT_EQ(rowsWritten, c.rowsWritten);
    Drawn words;
    int nextX = 0, lastY = -1;
    for (const auto& [letter, x, y] : drawn()) {
      if (x != nextX || y != lastY) words.push_back({letter, x, y});
      nextX = x + font.getWidth(letter) + 1;
      lastY = y;
    }
    EXPECT_EQ(words, c.firstGlyphs);
  }
}

}  // namespace
