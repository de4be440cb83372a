// Process entry: what SDL's own entry library does on the platforms that have one.
#include <SDL.h>

#include <cstdlib>

#include "main.h"

int main(int argc, char** argv) {
  // Let Ctrl+C and logging out end the game; window-close stays ignored.
  setenv("SDL_NO_SIGNAL_HANDLERS", "1", 0);
  // Pixel art scaled up to the display stays crisp unless the player chose otherwise.
  setenv("SDL12COMPAT_SCALE_METHOD", "nearest", 0);
  SDL_Init(SDL_INIT_NOPARACHUTE);
  std::atexit(SDL_Quit);
  return SDL_main(argc, argv);
}
