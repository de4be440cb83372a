#include "SDLFunctions.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "bmp_header.h"
#include "pictures.h"

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

bool isRegularFile(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

namespace {

// Transparency is the colour key's alone, as in the browser: alpha, partial
// or zero everywhere (as programs that do not use it leave it), is ignored.
void makeOpaque(SDL_Surface* image) {
  const Uint32 alpha = image->format->Amask;
  if (alpha == 0 || image->format->BytesPerPixel != 4 || SDL_LockSurface(image) != 0) return;
  for (int y = 0; y < image->h; ++y) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(image->pixels) + y * image->pitch);
    for (int x = 0; x < image->w; ++x) row[x] |= alpha;
  }
  SDL_UnlockSurface(image);
  if (image->flags & SDL_SRCALPHA) SDL_SetAlpha(image, 0, SDL_ALPHA_OPAQUE);
}

}  // namespace

SDL_Surface* loadBMP(const char* path) {
  if (!isReadableBmp(path)) return nullptr;
  SDL_Surface* image = SDL_LoadBMP_RW(SDL_RWFromFile(path, "rb"), 1);
  // The loader's own reasons are written for programmers.
  if (!image) return SDL_SetError("it is not a BMP picture the game can read"), nullptr;
  makeOpaque(image);
  return image;
}

namespace {

// Converting from 16 bits fills the unused byte of a 32-bit pixel, and SDL's
// keyed blit compares that byte too: magenta would no longer match the key.
void clearPadding(SDL_Surface* image) {
  const SDL_PixelFormat* format = image->format;
  if (format->BytesPerPixel != 4 || format->Amask != 0) return;
  const Uint32 used = format->Rmask | format->Gmask | format->Bmask;
  for (int y = 0; y < image->h; ++y) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(image->pixels) + y * image->pitch);
    for (int x = 0; x < image->w; ++x) row[x] &= used;
  }
}

}  // namespace

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
  clearPadding(image);
  SDL_SetColorKey(image, SDL_SRCCOLORKEY, SDL_MapRGB(image->format, keyRed, keyGreen, keyBlue));
  return image;
}
