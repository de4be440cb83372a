// Writes the desktop build's first frame to stdout as 320x240 RGB bytes and
// quits: the picture the browser build must match. Run it from the data folder.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "main.h"

extern "C" int __wrap_SDL_Flip(SDL_Surface* screen) {
  SDL_LockSurface(screen);
  for (int y = 0; y < screen->h; ++y)
    for (int x = 0; x < screen->w; ++x) {
      const Uint8* at = static_cast<Uint8*>(screen->pixels) + y * screen->pitch + x * 4;
      Uint8 rgb[3];
      SDL_GetRGB(*reinterpret_cast<const Uint32*>(at), screen->format, &rgb[0], &rgb[1], &rgb[2]);
      std::fwrite(rgb, 1, 3, stdout);
    }
  std::fflush(stdout);
  std::_Exit(0);
}

int main(int argc, char** argv) {
  SDL_Init(SDL_INIT_NOPARACHUTE);
  return SDL_main(argc, argv);
}
