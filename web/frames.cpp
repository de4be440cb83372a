// Flip and sleep in the browser. The page draws, plays and takes keys only
// while the game sleeps, so a loop that flips without ever sleeping is made
// to sleep rather than freeze the page. A hidden page shows no frame: the
// flip waits for it to show again, the game's clock stopped meanwhile.
// The browser wakes a sleeper late, by more the slower the phone, and the
// game counts only its own work in a frame: a sleep is cut by what the last
// one overslept, so the game keeps time.
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
const Uint32 mostOwed = 10;
bool sleptSinceFlip = true;
Uint32 owed = 0;

}  // namespace

extern "C" void SDL_Delay(Uint32 ms) {
  sleptSinceFlip = true;
  const Uint32 asked = ms > owed ? ms - owed : 0;
  const Uint32 start = SDL_GetTicks();
  emscripten_sleep(asked);
  const Uint32 slept = SDL_GetTicks() - start;
  owed = slept > asked ? std::min(slept - asked, mostOwed) : 0;
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
