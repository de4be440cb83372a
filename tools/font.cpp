#include "font.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <string>

#include "assets.h"
#include "main.h"

namespace {

// Rows top to bottom, '/' between rows, '#' is ink; the game's own table gives
// the order of the cells and their widths. Capitals and digits stand on row 5;
// lowercase has its x-height on rows 2-5 and descenders on rows 6-7, so the
// shadow under the baseline still fits the 8-pixel cell.
struct Shape {
  char glyph;
  const char* rows;
};

const Shape kShapes[] = {
    {'A', ".##./#..#/#..#/####/#..#/#..#"},
    {'B', "###./#..#/###./#..#/#..#/###."},
    {'C', ".###/#.../#.../#.../#.../.###"},
    {'D', "###./#..#/#..#/#..#/#..#/###."},
    {'E', "####/#.../###./#.../#.../####"},
    {'F', "####/#.../###./#.../#.../#..."},
    {'G', ".###./#..../#..../#.###/#...#/.###."},
    {'H', "#..#/#..#/####/#..#/#..#/#..#"},
    {'I', "#/#/#/#/#/#"},
    {'J', "...#/...#/...#/...#/#..#/.##."},
    {'K', "#..#/#.#./##../#.#./#..#/#..#"},
    {'L', "#.../#.../#.../#.../#.../####"},
    {'M', "#...#/##.##/#.#.#/#...#/#...#/#...#"},
    {'N', "#...#/##..#/#.#.#/#..##/#...#/#...#"},
    {'O', ".###./#...#/#...#/#...#/#...#/.###."},
    {'P', "###./#..#/#..#/###./#.../#..."},
    {'Q', ".###./#...#/#...#/#.#.#/#..#./.##.#"},
    {'R', "###./#..#/#..#/###./#.#./#..#"},
    {'S', ".###/#.../.##./...#/...#/###."},
    {'T', "#####/..#../..#../..#../..#../..#.."},
    {'U', "#...#/#...#/#...#/#...#/#...#/.###."},
    {'V', "#...#/#...#/#...#/.#.#./.#.#./..#.."},
    {'W', "#...#/#...#/#...#/#.#.#/##.##/#...#"},
    {'X', "#...#/.#.#./..#../..#../.#.#./#...#"},
    {'Y', "#...#/.#.#./..#../..#../..#../..#.."},
    {'Z', "#####/...#./..#../.#.../#..../#####"},
    {'a', "//.###/#..#/#..#/.###"},
    {'b', "#../#../##./#.#/#.#/##."},
    {'c', "//.##/#../#../.##"},
    {'d', "..#/..#/.##/#.#/#.#/.##"},
    {'e', "//.#./###/#../.##"},
    {'f', ".##/#../##./#../#../#.."},
    {'g', "//.###/#..#/#..#/.###/...#/.##."},
    {'h', "#.../#.../###./#..#/#..#/#..#"},
    {'i', "#//#/#/#/#"},
    {'j', "..#//..#/..#/..#/..#/..#/##."},
    {'k', "#.../#.../#..#/#.#./###./#..#"},
    {'l', "#../#../#../#../#../.##"},
    {'m', "//####./#.#.#/#.#.#/#.#.#"},
    {'n', "//###./#..#/#..#/#..#"},
    {'o', "//.##./#..#/#..#/.##."},
    {'p', "//##./#.#/#.#/##./#../#.."},
    {'q', "//.###/#..#/#..#/.###/...#/...#"},
    {'r', "//#.#/##./#../#.."},
    {'s', "//.###/##../..##/###."},
    {'t', "..#../..#../#####/..#../..#../...##"},
    {'u', "//#..#/#..#/#..#/.###"},
    {'v', "//#...#/#...#/.#.#./..#.."},
    {'w', "//#...#/#.#.#/#.#.#/.#.#."},
    {'x', "//#...#/.#.#./..#../.#.#./#...#"},
    {'y', "//#...#/#...#/.#.#./..#../.#.../#...."},
    {'z', "//###/.#./#../###"},
    {'!', "#/#/#/#//#"},
    {'?', ".##./#..#/..#./.#..//.#.."},
    {',', "/////.#/#."},
    {'.', "/////#"},
    {'(', ".#/#./#./#./#./.#"},
    {')', "#./.#/.#/.#/.#/#."},
    {'+', "//.#./###/.#."},
    {'-', "///###"},
    {'/', "....#/...#./...#./..#../.#.../#...."},
    {'"', "#.#/#.#"},
    {':', "//#//#"},
    {'=', "//###//###"},
    {'0', ".##./#..#/#.##/##.#/#..#/.##."},
    {'1', ".#/##/.#/.#/.#/.#"},
    {'2', ".##./#..#/..#./.#../#.../####"},
    {'3', "###./...#/.##./...#/...#/###."},
    {'4', "#.#/#.#/#.#/###/..#/..#"},
    {'5', "###/#../##./..#/..#/##."},
    {'6', ".##./#.../###./#..#/#..#/.##."},
    {'7', "####/...#/..#./.#../.#../.#.."},
    {'8', ".##./#..#/.##./#..#/#..#/.##."},
    {'9', ".##./#..#/#..#/.###/...#/.##."},
};

Image drawGlyph(const char* rows, const FontStyle& style) {
  Image cell(kGlyphCell, kGlyphCell);
  int row = 0, col = 0;
  for (const char* p = rows; *p; ++p) {
    if (*p == '/') {
      ++row, col = 0;
      continue;
    }
    if (*p == '#') cell.set(col, row, style.ink[row]);
    ++col;
  }
  return cell;
}

// Columns from the first to the last one with ink.
int inkWidth(const Image& cell) {
  int first = kGlyphCell, last = -1;
  for (int y = 0; y < kGlyphCell; ++y)
    for (int x = 0; x < kGlyphCell; ++x)
      if (cell.opaque(x, y)) first = std::min(first, x), last = std::max(last, x);
  return first == 0 ? last + 1 : -1;
}

}  // namespace

Image makeFont(const FontStyle& style) {
  int widths[cFont::numGlyphs];
  createList(widths);
  Image sheet(cFont::numGlyphs * kGlyphCell, kGlyphCell);
  for (int g = 0; g < cFont::numGlyphs; ++g) {
    const char c = cFont::glyphs[g];
    auto shape = std::find_if(std::begin(kShapes), std::end(kShapes),
                              [c](const Shape& s) { return s.glyph == c; });
    if (shape == std::end(kShapes)) throw std::logic_error(std::string("no shape for ") + c);
    const Image cell = drawGlyph(shape->rows, style);
    const int width = widths[g];
    if (inkWidth(cell) != width)
      throw std::logic_error(std::string("the shape of ") + c + " is not as wide as the game says");
    // A dark edge right of and under every stroke keeps the letters readable
    // over any backdrop. The pen moves on by the width plus one, so the column
    // just past the width is the only one free for it.
    Image shadowed = cell;
    for (int y = 0; y < kGlyphCell; ++y)
      for (int x = 0; x <= width; ++x)
        if (!cell.opaque(x, y) &&
            (cell.opaque(x - 1, y) || cell.opaque(x, y - 1) || cell.opaque(x - 1, y - 1)))
          shadowed.set(x, y, style.shadow);
    sheet.blit(shadowed, g * kGlyphCell, 0);
  }
  return sheet;
}

FontStyle lightFont() {
  // Cream letters warming towards the baseline, on a dark drop shadow.
  return {{{255, 255, 246},
           {255, 250, 228},
           {255, 242, 204},
           {255, 230, 176},
           {255, 216, 148},
           {248, 200, 124},
           {240, 184, 108},
           {232, 168, 96}},
          {26, 14, 46}};
}

FontStyle evilFont() {
  // Poison green on a blood-red shadow: the evil twin's colours.
  return {{{214, 255, 150},
           {190, 255, 120},
           {160, 246, 90},
           {132, 232, 64},
           {110, 214, 48},
           {90, 192, 40},
           {74, 172, 34},
           {60, 150, 30}},
          {132, 0, 28}};
}
