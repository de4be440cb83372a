#include "desktop/still_while_away.h"

#include <SDL.h>

namespace {

const Uint32 lookAgainMs = 50;
bool away = false;

bool aboutTheDisplay(const SDL_Event& event) {
  return event.type == SDL_ACTIVEEVENT && (event.active.state & SDL_APPACTIVE);
}

// Runs inside the frame's event poll, so the frame that saw the window go
// waits there, sound paused, and then runs on as any late frame does: not
// delayed, and nothing made up. A player who switches away comes back to
// the jumper in mid-air where it was, not to lost lives.
int onEvent(const SDL_Event* event) {
  if (!aboutTheDisplay(*event)) return 1;
  const bool alreadyWaiting = away;
  away = !event->active.gain;
  if (!away || alreadyWaiting) return 1;
  SDL_PauseAudio(1);
  while (away) {
    SDL_Delay(lookAgainMs);
    SDL_PumpEvents();
  }
  SDL_PauseAudio(0);
  return 1;
}

}  // namespace

void standStillWhileAway() { SDL_SetEventFilter(onEvent); }
