#include "virtual_pad.h"

#include <cstdlib>
#include <vector>

#include "desktop/sdl2_link.h"

namespace virtualPad {
namespace {

std::vector<void*> joysticks;

template <class Function>
Function sdl(const char* name) {
  auto function = sdl2::find<Function>(name);
  if (!function) std::abort();
  return function;
}

}  // namespace

int plugIn() {
  // Without a focused window SDL would drop what pads do.
  setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
  sdl<int (*)(uint32_t)>("SDL_InitSubSystem")(sdl2::initJoystick);
  // SDL lays out such a pad's 15 buttons and 6 axes in the standard order.
  const int gameController = 1;
  const int device =
      sdl<int (*)(int, int, int, int)>("SDL_JoystickAttachVirtual")(gameController, 6, 15, 0);
  joysticks.push_back(sdl<void* (*)(int)>("SDL_JoystickOpen")(device));
  return static_cast<int>(joysticks.size()) - 1;
}

void pullOut(int pad) {
  const int32_t id = sdl<int32_t (*)(void*)>("SDL_JoystickInstanceID")(joysticks[pad]);
  const int devices = sdl<int (*)()>("SDL_NumJoysticks")();
  for (int device = 0; device < devices; ++device)
    if (sdl<int32_t (*)(int)>("SDL_JoystickGetDeviceInstanceID")(device) == id)
      sdl<int (*)(int)>("SDL_JoystickDetachVirtual")(device);
  sdl<void (*)(void*)>("SDL_JoystickClose")(joysticks[pad]);
}

void button(int pad, int button, bool down) {
  sdl<int (*)(void*, int, uint8_t)>("SDL_JoystickSetVirtualButton")(joysticks[pad], button, down);
}

void stick(int pad, float x) {
  sdl<int (*)(void*, int, int16_t)>("SDL_JoystickSetVirtualAxis")(joysticks[pad], 0,
                                                                  static_cast<int16_t>(x * 32767));
}

void key(unsigned gameKey, bool down) {
  sdl2::Event event = sdl2::keyEvent(gameKey, down);
  sdl<int (*)(sdl2::Event*)>("SDL_PushEvent")(&event);
}

}  // namespace virtualPad
