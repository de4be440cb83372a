#include "font.h"

#include <cstring>

#include "SDLFunctions.h"

namespace {

const int spaceWidth = 3;
const int newlineWidth = -1;
// Anything without a glyph of its own is shown and measured as '?', so a
// stray byte stays visible and can never index past the table or the image.
const char unknownGlyph = '?';
// The word buffer of a text box: 31 characters and the terminator.
const int maxWordLength = 31;

int glyphIndex(char letter) {
  const char* found = letter == '\0' ? nullptr : std::strchr(cFont::glyphs, letter);
  if (!found) found = std::strchr(cFont::glyphs, unknownGlyph);
  return static_cast<int>(found - cFont::glyphs);
}

}  // namespace

// Defined here too, so that it can be bound to a reference.
const int cFont::numGlyphs;

cFont::cFont() : symbolwidth(), fontmap(nullptr), width(0) {}

cFont::cFont(const char* filename, int* charwidth, int w, int r, int g, int b) : cFont() {
  init(filename, charwidth, w, r, g, b);
}

void cFont::init(const char* filename, int* charwidth, int w, int r, int g, int b) {
  for (int i = 0; i < numGlyphs; ++i) symbolwidth[i] = charwidth ? charwidth[i] : 0;
  width = w;
  fontmap = loadBMP(filename);
  if (fontmap)
    SDL_SetColorKey(fontmap, SDL_SRCCOLORKEY,
                    SDL_MapRGB(fontmap->format, static_cast<Uint8>(r), static_cast<Uint8>(g),
                               static_cast<Uint8>(b)));
}

int cFont::writeLetter(SDL_Surface* screen, char letter, int x, int y) {
  if (letter == ' ') return spaceWidth;
  if (letter == '\n') return newlineWidth;
  const int index = glyphIndex(letter);
  readGFX(fontmap, screen, index * width, 0, width, width, x, y);
  return symbolwidth[index];
}

void cFont::writeString(SDL_Surface* screen, const char* string, int x, int y) {
  if (!string) return;
  const int pitch = width + width / 4;
  int xadd = 0;
  int yadd = 0;
  for (const char* p = string; *p != '\0'; ++p) {
    // Tested by character, so a glyph given a width of -1 cannot pass for a line break.
    if (*p == '\n') {
      xadd = 0;
      yadd += pitch;
    } else if (*p == ' ') {
      xadd += spaceWidth + 1;
    } else {
      const int index = glyphIndex(*p);
      readGFX(fontmap, screen, index * width, 0, width, width, x + xadd, y + yadd);
      xadd += symbolwidth[index] + 1;
    }
  }
}

int cFont::getWidth(char letter) {
  if (letter == ' ') return spaceWidth;
  if (letter == '\n') return newlineWidth;
  return symbolwidth[glyphIndex(letter)];
}

int cFont::getStringWidth(const char* string, int length) {
  int sum = 0;
  for (int i = 0; string && i < length; ++i) sum += getWidth(string[i]) + 1;
  return sum - 1;
}

int cFont::textbox(SDL_Surface* screen, const char* string, int x, int y, int w, int numRows) {
  int rows;
  return textbox(screen, string, x, y, w, numRows, rows);
}

int cFont::textbox(SDL_Surface* screen, const char* string, int x, int y, int w, int numRows,
                   int& wRows) {
  wRows = 0;
  if (!string) return -1;
  const int pitch = width + width / 4;
  char tempString[maxWordLength + 1];
  int xAdd = 0;
  int yAdd = 0;
  int currentPos = 0;
  while (string[currentPos] != '\0') {
    int i = 0;
    const int returnPos = currentPos;
    while (string[currentPos] == ' ' || string[currentPos] == '\n') ++currentPos;
    // A longer word is split: its rest is taken up as the next word.
    while (i < maxWordLength && string[currentPos] != ' ' && string[currentPos] != '\n' &&
           string[currentPos] != '\0')
      tempString[i++] = string[currentPos++];
    const int wordWidth = getStringWidth(tempString, i);
    if (wordWidth + xAdd > w) {
      ++yAdd;
      xAdd = 0;
    }
    tempString[i] = '\0';
    if (yAdd >= numRows) return returnPos;
    writeString(screen, tempString, x + xAdd, y + yAdd * pitch);
    xAdd += wordWidth + getWidth(' ') + 1;
    if (string[currentPos] == '\n') {
      ++yAdd;
      xAdd = 0;
      wRows = yAdd;
    }
  }
  wRows = yAdd;
  return -1;
}

bool cFont::isUsable() const {
  return fontmap && width > 0 && fontmap->w >= numGlyphs * width && fontmap->h >= width;
}
