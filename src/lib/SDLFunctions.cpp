#include "SDLFunctions.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// True, with the reason as SDL's error, for an image file that must not reach
// SDL's loader: opening anything but a regular file (a named pipe, say) could
// block for ever.
bool refuseImage(const char* path) {
  struct stat info;
  if (stat(path, &info) != 0) return SDL_SetError("%s", std::strerror(errno)), true;
  if (!S_ISREG(info.st_mode)) return SDL_SetError("not a regular file"), true;
  unsigned char header[26] = {0};
  FILE* file = std::fopen(path, "rb");
  if (!file) return SDL_SetError("%s", std::strerror(errno)), true;
  const size_t got = std::fread(header, 1, sizeof header, file);
  std::fclose(file);
  if (got < sizeof header || header[0] != 'B' || header[1] != 'M') return false;
  // The old 12-byte header has 16-bit sizes, the later ones 32-bit, signed.
  const bool core = littleEndian(header + 14, 4) == 12;
  long w = core ? littleEndian(header + 18, 2) : static_cast<int32_t>(littleEndian(header + 18, 4));
  long h = core ? littleEndian(header + 20, 2) : static_cast<int32_t>(littleEndian(header + 22, 4));
  if (std::labs(w) <= maxImageSide && std::labs(h) <= maxImageSide) return false;
  SDL_SetError("its header asks for %ldx%ld pixels, more than any picture of this game",
               std::labs(w), std::labs(h));
  return true;
}

}  // namespace

SDL_Surface* loadBMP(const char* path) {
  if (refuseImage(path)) return nullptr;
  return SDL_LoadBMP_RW(SDL_RWFromFile(path, "rb"), 1);
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
