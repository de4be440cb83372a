// Loaded into the real game (LD_PRELOAD): says on stderr, at the first frame,
// what its process entry made of the process (window caption, icon, pointer,
// event filter, working directory, SDL settings); then a pad plugged in
// presses Start, lets go and presses it again, so a game that takes it up
// ends by itself.
#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "virtual_pad.h"

template <class Function>
Function next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

static char caption[64] = "none", icon[32] = "none";

extern "C" void SDL_WM_SetCaption(const char* title, const char* iconTitle) {
  std::snprintf(caption, sizeof caption, "%s/%s", title, iconTitle);
  next<void (*)(const char*, const char*)>("SDL_WM_SetCaption")(title, iconTitle);
}

extern "C" void SDL_WM_SetIcon(SDL_Surface* image, Uint8* mask) {
  int shown = 0;
  for (int i = 0; mask && i < image->h * ((image->w + 7) / 8); ++i)
    shown += __builtin_popcount(mask[i]);
  const bool partly = shown > 0 && shown < image->w * image->h;
  std::snprintf(icon, sizeof icon, "%dx%d %s", image->w, image->h, partly ? "partly clear" : "?");
  next<void (*)(SDL_Surface*, Uint8*)>("SDL_WM_SetIcon")(image, mask);
}

static void sayEntry() {
  char dir[512] = "";
  const char* cwd = getcwd(dir, sizeof dir);
  std::fprintf(stderr, "caption %s icon %s pointer %d events %s dir %s", caption, icon,
               next<int (*)(int)>("SDL_ShowCursor")(SDL_QUERY),
               SDL_GetEventFilter() ? "filtered" : "-", cwd ? cwd : "?");
  for (const char* name : {"SDL_NO_SIGNAL_HANDLERS", "SDL12COMPAT_SCALE_METHOD",
                           "SDL12COMPAT_OPENGL_SCALING", "SDL_RENDER_DRIVER",
                           "SDL_FRAMEBUFFER_ACCELERATION", "SDL_GAMECONTROLLER_USE_BUTTON_LABELS"})
    std::fprintf(stderr, " %s", std::getenv(name) ? std::getenv(name) : "-");
  std::fprintf(stderr, "\n");
}

extern "C" int SDL_Flip(SDL_Surface* screen) {
  static int flips = 0;
  static void* pad = nullptr;
  if (++flips == 1) sayEntry();
  if (flips == 8) pad = virtualPad::plugIn();
  if (flips == 10 || flips == 12 || flips == 14)
    virtualPad::set(pad, virtualPad::start, flips != 12);
  return next<int (*)(SDL_Surface*)>("SDL_Flip")(screen);
}
