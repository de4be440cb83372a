// Flip and sleep in the browser. The page draws, plays and takes keys only
// while the game sleeps, so a loop that flips without ever sleeping is made
// to sleep rather than freeze the page. A hidden page shows no frame: the
// flip waits for it to show again, the game's clock stopped meanwhile.
// The browser wakes a sleeper late, by more the slower the phone, and the
// game counts only its own work in a frame: what the sleeps overslept is
// owed, and paid back a little each frame, so the game keeps time and each
// frame stays near its period.
#include <SDL.h>
#include <emscripten.h>

#include <algorithm>

#include "pads.h"
#include "surfaces.h"

extern "C" void web_show_frame(const void* pixels, int width, int height);
extern "C" int web_page_hidden();
extern "C" void web_wait_until_shown();

namespace {

const unsigned int framePause = 20;
// Longer stalls (the page busy elsewhere) are not caught up: frames would bunch.
const Uint32 mostOwed = 40;
// A tenth of the slowest period, at most, comes off one sleep.
const Uint32 mostPaid = 4;
bool sleptSinceFlip = true;
Uint32 owed = 0;

}  // namespace

extern "C" void SDL_Delay(Uint32 ms) {
  sleptSinceFlip = true;
  const Uint32 paid = std::min({owed, mostPaid, ms});
  const Uint32 asked = ms - paid;
  const Uint32 start = SDL_GetTicks();
  emscripten_sleep(asked);
  const Uint32 slept = SDL_GetTicks() - start;
  owed = std::min(owed - paid + (slept > asked ? slept - asked : 0), mostOwed);
}

extern "C" int SDL_Flip(SDL_Surface* screen) {
  if (!ensurePixels(screen)) return -1;
  if (web_page_hidden()) {
    web_wait_until_shown();
    sleptSinceFlip = true;
    owed = 0;
  }
  web_show_frame(screen->pixels, screen->w, screen->h);
  readPads();
  if (!sleptSinceFlip) emscripten_sleep(framePause);
  sleptSinceFlip = false;
  return 0;
}
