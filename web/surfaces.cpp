// The browser's SDL keeps every surface in a canvas and draws with the
// canvas: colour keys are ignored, SDL_DisplayFormat is missing, and each
// blit into an off-screen surface reads the canvas back, which made start-up
// slow enough to change what the first frame shows. Here surfaces live in
// memory as on the desktop, all in the browser's byte order (red, green,
// blue, alpha); the screen reaches the page once a frame, at SDL_Flip.
#include "surfaces.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "pictures.h"

namespace {

const Uint32 opaque = 0xff000000;

}  // namespace

// The screen comes from the browser's SDL without pixels of its own; it gets
// them, opaque black, on first use.
bool ensurePixels(SDL_Surface* surface) {
  if (!surface || surface->format->BytesPerPixel != 4) return false;
  if (surface->pixels) return true;
  Uint32* pixels = static_cast<Uint32*>(std::malloc(sizeof(Uint32) * surface->w * surface->h));
  if (!pixels) return false;
  std::fill(pixels, pixels + surface->w * surface->h, opaque);
  surface->pixels = pixels;
  surface->pitch = surface->w * 4;
  return true;
}

namespace {

// A surface and its format in one allocation.
struct MemorySurface {
  SDL_Surface surface;
  SDL_PixelFormat format;
};

Uint32* row(SDL_Surface* surface, int y) {
  return reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch);
}

// Cuts a span [at, at + length) to [0, limit), moving the other side's start along.
void clip(int& at, int& length, int& other, int limit) {
  if (at < 0) {
    length += at;
    other -= at;
    at = 0;
  }
  length = std::min(length, limit - at);
}

}  // namespace

extern "C" {

// The browser's own is a call out of the game's code for every colour, and
// a font maps one for every pixel of its sheet.
Uint32 SDL_MapRGB(const SDL_PixelFormat* /*format*/, const Uint8 r, const Uint8 g, const Uint8 b) {
  return opaque | static_cast<Uint32>(b) << 16 | static_cast<Uint32>(g) << 8 | r;
}

// Pixels are stored in the browser's order whatever masks are asked for:
// every surface of the game is asked for in the order of another one.
SDL_Surface* SDL_CreateRGBSurface(Uint32 flags, int width, int height, int depth, Uint32, Uint32,
                                  Uint32, Uint32) {
  if (depth != 32 || width <= 0 || height <= 0 || width > maxImageSide || height > maxImageSide)
    return nullptr;
  auto* made = new MemorySurface();
  made->format.format = SDL_PIXELFORMAT_RGBA8888;
  made->format.BitsPerPixel = 32;
  made->format.BytesPerPixel = 4;
  made->format.Rmask = 0x000000ff;
  made->format.Gmask = 0x0000ff00;
  made->format.Bmask = 0x00ff0000;
  made->format.Amask = 0xff000000;
  SDL_Surface& surface = made->surface;
  surface.flags = flags;
  surface.format = &made->format;
  surface.w = width;
  surface.h = height;
  surface.pitch = width * 4;
  surface.pixels = std::calloc(static_cast<std::size_t>(width) * height, 4);
  surface.clip_rect = {0, 0, width, height};
  surface.refcount = 1;
  if (!surface.pixels) {
    delete made;
    return nullptr;
  }
  return &surface;
}

void SDL_FreeSurface(SDL_Surface* surface) {
  if (!surface || surface == SDL_GetVideoSurface() || --surface->refcount > 0) return;
  std::free(surface->pixels);
  delete reinterpret_cast<MemorySurface*>(surface);
}

int SDL_LockSurface(SDL_Surface* surface) { return ensurePixels(surface) ? 0 : -1; }

void SDL_UnlockSurface(SDL_Surface* /*surface*/) {}

SDL_Surface* SDL_DisplayFormat(SDL_Surface* surface) {
  if (!ensurePixels(surface)) return nullptr;
  SDL_Surface* copy = SDL_CreateRGBSurface(0, surface->w, surface->h, 32, 0, 0, 0, 0);
  if (!copy) return nullptr;
  for (int y = 0; y < surface->h; ++y) std::memcpy(row(copy, y), row(surface, y), copy->w * 4);
  return copy;
}

// Key-coloured pixels become transparent, which blits skip. The signature
// must be the browser SDL's own, or C++ would add an overload and the game
// would go on calling the one that does nothing.
int SDL_SetColorKey(SDL_Surface* surface, int flag, Uint32 key) {
  // A key cannot be taken back once its pixels are gone.
  if (!ensurePixels(surface) || !(flag & SDL_SRCCOLORKEY)) return -1;
  const Uint32 colour = ~opaque;
  for (int y = 0; y < surface->h; ++y) {
    Uint32* pixel = row(surface, y);
    for (int x = 0; x < surface->w; ++x)
      if ((pixel[x] & colour) == (key & colour)) pixel[x] = 0;
  }
  return 0;
}

// Clipped as SDL 1.2 clips: to the source, then to the destination, with the
// rectangle drawn written back to dstrect.
int SDL_UpperBlit(SDL_Surface* src, const SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) {
  if (!ensurePixels(src) || !ensurePixels(dst)) return -1;
  SDL_Rect from = srcrect ? *srcrect : SDL_Rect{0, 0, src->w, src->h};
  SDL_Rect to = {dstrect ? dstrect->x : 0, dstrect ? dstrect->y : 0, 0, 0};
  clip(from.x, from.w, to.x, src->w);
  clip(from.y, from.h, to.y, src->h);
  clip(to.x, from.w, from.x, dst->w);
  clip(to.y, from.h, from.y, dst->h);
  // Nothing drawn is told as an empty rectangle, as SDL 1.2 tells it.
  const bool drawn = from.w > 0 && from.h > 0;
  to.w = drawn ? from.w : 0;
  to.h = drawn ? from.h : 0;
  if (dstrect) *dstrect = to;
  for (int y = 0; y < to.h; ++y) {
    const Uint32* in = row(src, from.y + y) + from.x;
    Uint32* out = row(dst, to.y + y) + to.x;
    for (int x = 0; x < to.w; ++x)
      if (in[x] & opaque) out[x] = in[x];
  }
  return 0;
}

int SDL_FillRect(SDL_Surface* dst, const SDL_Rect* rect, Uint32 color) {
  if (!ensurePixels(dst)) return -1;
  SDL_Rect area = rect ? *rect : SDL_Rect{0, 0, dst->w, dst->h};
  int unused = 0;
  clip(area.x, area.w, unused, dst->w);
  clip(area.y, area.h, unused, dst->h);
  for (int y = 0; y < area.h; ++y)
    std::fill_n(row(dst, area.y + y) + area.x, std::max(area.w, 0), color | opaque);
  return 0;
}
}
