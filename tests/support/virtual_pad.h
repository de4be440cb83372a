// Game controllers made in the SDL 2 under the game, as if plugged in, and
// keys as a keyboard makes them there: what the platform layer takes up.
#ifndef GRUMO_TESTS_VIRTUAL_PAD_H
#define GRUMO_TESTS_VIRTUAL_PAD_H

#include <cstdlib>

#include "desktop/sdl2_link.h"

namespace virtualPad {

// Buttons by SDL's numbers (right: the D-pad's); the stick is the left one's x.
enum { a = 0, start = 6, right = 14, stick = -1 };

// Calls an SDL 2 function, whose parameter types are the arguments'.
template <class Result = int, class... Args>
Result sdl(const char* name, Args... args) {
  if (auto function = sdl2::find<Result (*)(Args...)>(name)) return function(args...);
  std::abort();
}

// A game controller, whose 15 buttons and 6 axes SDL lays out in the standard order.
inline void* plugIn() {
  setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);  // there is no focused window
  sdl("SDL_InitSubSystem", sdl2::initJoystick);
  return sdl<void*>("SDL_JoystickOpen", sdl("SDL_JoystickAttachVirtual", 1, 6, 15, 0));
}

// A button down (1) or up (0), or the stick from -1 to 1.
inline void set(void* pad, int control, float value) {
  if (control == stick)
    sdl("SDL_JoystickSetVirtualAxis", pad, 0, static_cast<int16_t>(value * 32767));
  else
    sdl("SDL_JoystickSetVirtualButton", pad, control, static_cast<uint8_t>(value != 0));
}

inline void key(unsigned gameKey, bool down) {
  sdl2::Event event = sdl2::keyEvent(gameKey, down);
  sdl("SDL_PushEvent", &event);
}

}  // namespace virtualPad

#endif
