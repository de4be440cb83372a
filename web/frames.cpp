// Flip and sleep in the browser. The page draws, plays and takes keys only
// while the game sleeps, so a loop that flips without ever sleeping is made
// to sleep rather than freeze the page. A hidden page shows no frame: the
// flip waits for it to show again, the game's clock stopped meanwhile.
// The browser's timers wake a sleeper late, by more the slower the phone,
// and the game counts only its own work in a frame. So each sleep sets its
// timer as much sooner as timers have lately come late and waits out the
// rest in message tasks, which come at once; what a sleep still overslept is
// owed and paid back a little each frame: the game keeps time and each frame
// stays near its period.
#include <SDL.h>
#include <emscripten.h>

#include <algorithm>
#include <cmath>

#include "main.h"
#include "pads.h"
#include "surfaces.h"

extern "C" void web_show_frame(const void* pixels, int width, int height);
extern "C" int web_page_hidden();
extern "C" double web_page_time();
extern "C" double web_sleep_until(double timerMs, double due);
extern "C" void web_wait_until_shown();

namespace {

// Longer stalls (the page busy elsewhere) are not caught up: frames would bunch.
const double mostOwed = slowestPause;
// A twentieth of the slowest period, at most, is paid back in one sleep,
// so that a frame that pays stays well within a tenth of its period.
const double mostPaid = slowestPause / 20.0;
// A timer that comes late costs a late frame, one that comes early only a
// few message tasks: the expected lateness learns a later timer fast and
// an earlier one slowly, and a stall moves it no more than a late timer.
const double mostLate = slowestPause / 10.0;
// Kept beyond the expected lateness, for the timer's jitter.
const double spare = 1;
bool sleptSinceFlip = true;
// Milliseconds the game's clock is behind (or, below zero, ahead).
double owed = 0;
double expectedLate = 0;

}  // namespace

extern "C" void SDL_Delay(Uint32 ms) {
  sleptSinceFlip = true;
  const double paid = std::clamp(owed, -mostPaid, std::min(mostPaid, double(ms)));
  const double start = web_page_time(), wanted = ms - paid;
  const double timerMs = std::max(0.0, std::floor(wanted - expectedLate - spare));
  const double late = std::min(web_sleep_until(timerMs, start + wanted), mostLate);
  expectedLate += (late - expectedLate) / (late > expectedLate ? 4 : 16);
  owed = std::clamp(owed - paid + web_page_time() - start - wanted, -mostOwed, mostOwed);
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
  if (!sleptSinceFlip) emscripten_sleep(fastestPause);
  sleptSinceFlip = false;
  return 0;
}
