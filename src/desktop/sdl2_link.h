// The SDL 2 that the SDL 1.2 layer runs on, reached directly for what that
// layer leaves out: game controllers plugged in at any time, and scaling by
// whole pixels. Only the few types and numbers used are declared here, laid
// out as SDL 2's fixed binary interface has them (its headers clash with SDL
// 1.2's in one program).
#ifndef GRUMO_DESKTOP_SDL2_LINK_H
#define GRUMO_DESKTOP_SDL2_LINK_H

#include <dlfcn.h>

#include <cstdint>

namespace sdl2 {

enum : uint32_t {
  initJoystick = 0x200,
  initGameController = 0x2000,
  windowEvent = 0x200,
  keyDown = 0x300,
  keyUp = 0x301,
  controllerAxisMotion = 0x650,
  controllerButtonDown = 0x651,
  controllerButtonUp = 0x652,
  controllerDeviceAdded = 0x653,
  controllerDeviceRemoved = 0x654,
  controllerDeviceRemapped = 0x655,
};

enum {
  buttonA = 0,
  buttonStart = 6,
  buttonDpadLeft = 13,
  buttonDpadRight = 14,
  axisLeftX = 0,
};

struct Keysym {
  int32_t scancode;
  int32_t sym;
  uint16_t mod;
  uint32_t unused;
};

struct KeyboardEvent {
  uint32_t type, timestamp, windowID;
  uint8_t state, repeat, padding2, padding3;
  Keysym keysym;
};

// Added, removed and remapped carry a device; buttons and axes the same field.
struct DeviceEvent {
  uint32_t type, timestamp;
  int32_t which;
};

union Event {
  uint32_t type;
  KeyboardEvent key;
  DeviceEvent device;
  uint8_t size[56];
};
static_assert(sizeof(Event) == 56, "SDL 2's events are 56 bytes");

// The SDL 2 already in this process, or null: never a second copy beside the
// one the SDL 1.2 layer uses (a classic SDL 1.2 has none).
inline void* library() {
  static void* const loaded = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);
  return loaded;
}

template <class Function>
Function find(const char* name) {
  return library() ? reinterpret_cast<Function>(dlsym(library(), name)) : nullptr;
}

using EventWatch = int (*)(void*, Event*);

// A press or release of one of the game's keys, as the keyboard makes it.
Event keyEvent(unsigned gameKey, bool down);
// The game's key that a keyboard event is about, or 0.
unsigned gameKeyOf(const KeyboardEvent& event);

}  // namespace sdl2

#endif
