// Test seam: the SDL and sound calls the game makes are redirected at link time
// (-Wl,--wrap) to a virtual clock, scripted keys and recorders, so tests drive
// the shipped game code frame by frame without a display or sound card.
#ifndef GRUMO_TESTS_SEAM_H
#define GRUMO_TESTS_SEAM_H

#include <SDL.h>

#include <functional>
#include <string>
#include <vector>

#include "fsound.h"

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

// What one frame showed, read from its blits by size: 17x17 the jumper,
// 50x18 the board, 16x16 balloons, 8x8 cells of a glyph sheet.
struct View {
  std::vector<Placed> jumpers, boards, balloons;
  std::vector<Glyph> glyphs;
  // The letters written in one row from (x, y) on, a space for each gap of
  // one space; empty when no glyph starts there.
  std::string textAt(int x, int y) const;
  SDL_Surface* sheetAt(int x, int y) const;
};

// True when `cut` shows the area of its size at (x, y) of `sheet`.
bool cutFrom(SDL_Surface* cut, SDL_Surface* sheet, int x, int y);

// Back to tick 0, no keys, nothing queued or recorded.
void reset();
Uint32 now();
void advance(Uint32 ms);
// A press queues its key-down event and holds the key; release undoes both.
void press(SDLKey key);
void release(SDLKey key);
void hold(SDLKey key, bool held);
void queueEvent(const SDL_Event& event);

View frame();  // blits since the last flip
const std::vector<Uint32>& delays();
// Samples started with FSOUND_PlaySound in flips [from, to).
int sounds(FSOUND_SAMPLE* sample, int from = 0, int to = 1 << 30);
int musicStarts();

// Runs the real SDL_main from the data directory; `script` runs at every flip
// with the flip's number and what it showed; once it has returned false the
// harness presses Escape at every flip. Returns what SDL_main
// returned, or -1 when the game ran past maxFlips.
int play(const std::function<bool(int flip, const View& view)>& script, int maxFlips = 30000);

}  // namespace seam

#endif
