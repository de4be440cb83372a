// Reads what a frame showed from the blits the seam recorded: where the
// jumper, the board and the balloons went, and which text was written.
#ifndef GRUMO_TESTS_OBSERVE_H
#define GRUMO_TESTS_OBSERVE_H

#include <SDL.h>

#include <string>
#include <vector>

#include "seam.h"

namespace seam {

struct Placed {
  SDL_Surface* image;
  int x;
  int y;
};

struct Glyph {
  SDL_Surface* sheet;
  char letter;
  int x;
  int y;
};

struct View {
  std::vector<Placed> jumpers;   // 17 x 17 images
  std::vector<Placed> boards;    // 50 x 18 images
  std::vector<Placed> balloons;  // 16 x 16 images
  std::vector<Glyph> glyphs;     // 8 x 8 cells cut from a glyph sheet

  const Placed& jumper() const;
  const Placed& board() const;
  // The letters written from (x, y) on, in drawing order, with a space for each
  // gap of one space; empty when no glyph starts there.
  std::string textAt(int x, int y) const;
  // The sheet of the glyph drawn at (x, y), or null.
  SDL_Surface* sheetAt(int x, int y) const;
};

View observe(const std::vector<Blit>& blits);
inline View observeFrame() { return observe(frameBlits()); }

// The character a glyph index stands for.
char glyphLetter(int index);
int glyphWidth(char letter);

}  // namespace seam

#endif
