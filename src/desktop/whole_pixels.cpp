#include "desktop/whole_pixels.h"

#include <cstdlib>
#include <cstring>

#include "desktop/sdl2_link.h"

namespace {

struct Functions {
  void* (*window)();
  void* (*renderer)(void*);
  int (*setIntegerScale)(void*, int);
  void (*addEventWatch)(sdl2::EventWatch, void*);
} sdl;

// At 3.2 or 4.5 screen pixels a game pixel, some come out a screen pixel
// wider than their neighbours and sprites shimmer as they move. The SDL 1.2
// layer makes its renderer with the window, inside the video mode call, so
// the setting follows the window's events rather than the game's start-up.
int onEvent(void*, sdl2::Event* event) {
  if (event->type != sdl2::windowEvent) return 1;
  if (void* window = sdl.window())
    if (void* renderer = sdl.renderer(window)) sdl.setIntegerScale(renderer, 1);
  return 1;
}

// Smooth scaling or another fit of the logical size: the player's choice, kept.
bool playerChoseScaling() {
  const char* method = std::getenv("SDL12COMPAT_SCALE_METHOD");
  return !method || std::strcmp(method, "nearest") != 0 ||
         std::getenv("SDL_RENDER_LOGICAL_SIZE_MODE");
}

}  // namespace

void scaleByWholePixels() {
  if (playerChoseScaling()) return;
  sdl.window = reinterpret_cast<void* (*)()>(dlsym(RTLD_DEFAULT, "SDL12COMPAT_GetWindow"));
  sdl.renderer = sdl2::find<void* (*)(void*)>("SDL_GetRenderer");
  sdl.setIntegerScale = sdl2::find<int (*)(void*, int)>("SDL_RenderSetIntegerScale");
  sdl.addEventWatch = sdl2::find<void (*)(sdl2::EventWatch, void*)>("SDL_AddEventWatch");
  if (sdl.window && sdl.renderer && sdl.setIntegerScale && sdl.addEventWatch)
    sdl.addEventWatch(onEvent, nullptr);
}
