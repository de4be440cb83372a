// The desktop build's first frame as 320x240 RGB bytes on stdout; run it from the data folder.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "main.h"

extern "C" int __wrap_SDL_Flip(SDL_Surface* screen) {
  for (int i = 0; i < screen->w * screen->h; ++i) {
    Uint8 rgb[3];
    SDL_GetRGB(static_cast<Uint32*>(screen->pixels)[i], screen->format, &rgb[0], &rgb[1], &rgb[2]);
    std::fwrite(rgb, 1, 3, stdout);
  }
  std::exit(0);
}

int main(int argc, char** argv) {
  SDL_Init(SDL_INIT_NOPARACHUTE);
  return SDL_main(argc, argv);
}
