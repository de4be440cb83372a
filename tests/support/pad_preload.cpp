// Loaded into the real game (LD_PRELOAD): a pad plugged in during play presses
// Start, lets go and presses it again, so a game that takes it up shows its
// credits and then ends by itself.
#include "virtual_pad.h"

extern "C" int SDL_Flip(void* screen) {
  static int (*flip)(void*) = reinterpret_cast<int (*)(void*)>(dlsym(RTLD_NEXT, "SDL_Flip"));
  static int flips = 0;
  static void* pad = nullptr;
  if (++flips == 8) pad = virtualPad::plugIn();
  if (flips == 10 || flips == 12 || flips == 14)
    virtualPad::set(pad, virtualPad::start, flips != 12);
  return flip(screen);
}
