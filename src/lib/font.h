// A proportional bitmap font: one row of square glyph cells and a width table.
#ifndef GRUMO_LIB_FONT_H
#define GRUMO_LIB_FONT_H

#include <SDL.h>

class cFont {
 public:
  static const int numGlyphs = 74;
  // The characters of the glyph cells, left to right in the glyph image.
  static constexpr char glyphs[numGlyphs + 1] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!?,.()+-/\":=0123456789";

  cFont();
  cFont(const char* filename, int* charwidth, int w, int r, int g, int b);
  void init(const char* filename, int* charwidth, int w, int r, int g, int b);
  int writeLetter(SDL_Surface* screen, char letter, int x, int y);
  void writeString(SDL_Surface* screen, const char* string, int x, int y);
  int getWidth(char letter);
  int getStringWidth(const char* string, int length);
  int textbox(SDL_Surface* screen, const char* string, int x, int y, int w, int numRows);
  int textbox(SDL_Surface* screen, const char* string, int x, int y, int w, int numRows,
              int& wRows);
  // True once the glyph image is loaded and holds all glyph cells.
  bool isUsable() const;

 private:
  int symbolwidth[numGlyphs];
  SDL_Surface* fontmap;
  int width;
};

#endif
