// Flip and sleep in the browser. The page draws, plays and takes keys only
// while the game sleeps, so a loop that flips without ever sleeping is made
// to sleep rather than freeze the page. A hidden page shows no frame: the
// flip waits for it to show again, the game's clock stopped meanwhile.
#include <SDL.h>
#include <emscripten.h>

#include "pads.h"
#include "surfaces.h"

extern "C" void web_show_frame(const void* pixels, int width, int height);
extern "C" int web_page_hidden();
extern "C" void web_wait_until_shown();

namespace {

const unsigned int framePause = 20;
bool sleptSinceFlip = true;

}  // namespace

extern "C" void SDL_Delay(Uint32 ms) {
  sleptSinceFlip = true;
  emscripten_sleep(ms);
}

extern "C" int SDL_Flip(SDL_Surface* screen) {
  if (!ensurePixels(screen)) return -1;
  if (web_page_hidden()) {
    web_wait_until_shown();
    sleptSinceFlip = true;
  }
  web_show_frame(screen->pixels, screen->w, screen->h);
  readPads();
  if (!sleptSinceFlip) emscripten_sleep(framePause);
  sleptSinceFlip = false;
  return 0;
}
