// The seam: the SDL and sound calls the game makes are redirected at link time
// (-Wl,--wrap) to a virtual clock, scripted keys and recorders, so benchmarks and
// tests drive the shipped game code frame by frame without a display or sound card.
#ifndef GRUMO_BENCH_SEAM_H
#define GRUMO_BENCH_SEAM_H

#include <SDL.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "fsound.h"

namespace seam {

struct Placed {
  SDL_Surface* image;
  int x, y;
};
struct Glyph {
  SDL_Surface* sheet;
  char letter;
  int x, y;
};

// What one frame showed, told apart by size: 17x17 the jumper, 50x18 the
// board, 16x16 balloons, 8x8 cells of a glyph sheet.
struct View {
  std::vector<Placed> jumpers, boards, balloons;
  std::vector<Glyph> glyphs;
  std::string textAt(int x, int y) const;  // one row's letters from (x, y) on, a space a gap
  SDL_Surface* sheetAt(int x, int y) const;
};

// The parts in one line, each followed by a space: a table row's outcome.
template <class... Parts>
std::string say(const Parts&... parts) {
  std::ostringstream line;
  ((line << parts << ' '), ...);
  return line.str();
}

// True when `cut` shows the area of its size at (x, y) of `sheet`.
bool cutFrom(SDL_Surface* cut, SDL_Surface* sheet, int x, int y);

void reset();  // back to tick 0 with nothing held, queued or recorded
void advance(Uint32 ms);
// A press queues a key-down event and holds the key; a release undoes both.
void press(SDLKey key);
void release(SDLKey key);
void hold(SDLKey key, bool held);
void queueEvent(SDL_Event event);

View frame();  // what was drawn since the last flip
const std::vector<Uint32>& delays();
int sounds(FSOUND_SAMPLE* sample, int from = 0, int to = 1 << 30);  // started in flips [from, to)
int musicStarts();

// Runs the real SDL_main in the data directory (GRUMO_SEAM_DATA, if set) with `script` called at
// every flip; once it has returned false, or after maxFlips, Escape is pressed at every flip.
// Returns what SDL_main returned, or -1 after maxFlips.
int play(const std::function<bool(int flip, const View& view)>& script, int maxFlips = 30000);

}  // namespace seam

#endif
