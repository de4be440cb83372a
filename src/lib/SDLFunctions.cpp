#include "SDLFunctions.h"

#include <cstdio>
#include <cstdlib>

SDL_Rect makeRect(int x, int y, int w, int h) {
  SDL_Rect rect;
  rect.x = static_cast<Sint16>(x);
  rect.y = static_cast<Sint16>(y);
  rect.w = static_cast<Uint16>(w);
  rect.h = static_cast<Uint16>(h);
  return rect;
}

int initSDL() {
  if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
    std::printf("Unable to initialize SDL: %s\n", SDL_GetError());
    std::fflush(stdout);
    return 0;
  }
  std::atexit(SDL_Quit);
  return 1;
}

int initAudio() {
  if (SDL_Init(SDL_INIT_AUDIO) < 0) {
    std::printf("Unable to initialize audio: %s\n", SDL_GetError());
    return 0;
  }
  return 1;
}

void drawBMP(SDL_Surface* image, SDL_Surface* target, int x, int y) {
  if (!image || !target) return;
  SDL_Rect rect = makeRect(x, y, 0, 0);
  SDL_UpperBlit(image, nullptr, target, &rect);
}

void readGFX(SDL_Surface* source, SDL_Surface* target, int x, int y, int w, int h) {
  if (!source || !target) return;
  SDL_Rect rect = makeRect(x, y, w, h);
  SDL_UpperBlit(source, &rect, target, nullptr);
}

void readGFX(SDL_Surface* source, SDL_Surface* target, int x, int y, int w, int h, int x2, int y2) {
  if (!source || !target) return;
  SDL_Rect rect = makeRect(x, y, w, h);
  SDL_Rect dest = makeRect(x2, y2, 0, 0);
  SDL_UpperBlit(source, &rect, target, &dest);
}

SDL_Surface* loadBMP(const char* path) { return SDL_LoadBMP_RW(SDL_RWFromFile(path, "rb"), 1); }

SDL_Surface* cutImage(SDL_Surface* sheet, int x, int y, int w, int h) {
  if (!sheet || w <= 0 || h <= 0) return nullptr;
  SDL_PixelFormat* format = sheet->format;
  SDL_Surface* piece =
      SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, format->BitsPerPixel, format->Rmask, format->Gmask,
                           format->Bmask, format->Amask);
  if (!piece) return nullptr;
  if (format->palette) SDL_SetColors(piece, format->palette->colors, 0, format->palette->ncolors);
  // The sheet has no colour key, so magenta is copied like any other colour.
  readGFX(sheet, piece, x, y, w, h);
  SDL_Surface* image = SDL_DisplayFormat(piece);
  SDL_FreeSurface(piece);
  if (!image) return nullptr;
  SDL_SetColorKey(image, SDL_SRCCOLORKEY, SDL_MapRGB(image->format, 255, 0, 255));
  return image;
}
