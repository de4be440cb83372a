#include "desktop/pads.h"

#include <map>
#include <mutex>

#include "desktop/sdl2_link.h"
#include "pad_keys.h"

namespace {

using sdl2::Event;
using EventFilter = int (*)(void*, Event*);

struct Functions {
  int (*initSubSystem)(uint32_t);
  int (*getEventFilter)(EventFilter*, void**);
  void (*setEventFilter)(EventFilter, void*);
  int (*pushEvent)(Event*);
  int (*numJoysticks)();
  int (*isGameController)(int);
  int32_t (*instanceOfDevice)(int);
  void* (*open)(int);
  void (*close)(void*);
  uint8_t (*button)(void*, int);
  int16_t (*axis)(void*, int);
} sdl;

template <class Function>
bool bind(Function& function, const char* name) {
  function = sdl2::find<Function>(name);
  return function != nullptr;
}

bool bindAll() {
  return bind(sdl.initSubSystem, "SDL_InitSubSystem") &&
         bind(sdl.getEventFilter, "SDL_GetEventFilter") &&
         bind(sdl.setEventFilter, "SDL_SetEventFilter") && bind(sdl.pushEvent, "SDL_PushEvent") &&
         bind(sdl.numJoysticks, "SDL_NumJoysticks") &&
         bind(sdl.isGameController, "SDL_IsGameController") &&
         bind(sdl.instanceOfDevice, "SDL_JoystickGetDeviceInstanceID") &&
         bind(sdl.open, "SDL_GameControllerOpen") && bind(sdl.close, "SDL_GameControllerClose") &&
         bind(sdl.button, "SDL_GameControllerGetButton") &&
         bind(sdl.axis, "SDL_GameControllerGetAxis");
}

// Pads are sources by SDL's instance number, which is never negative.
const int keyboard = -1;
// SDL 2 calls the filter on whichever thread queues an event, with its event
// lock held. The pads' state is touched only from the filter, under this lock
// too, so always after SDL's; the events the filter causes itself come back
// to it on the same thread.
std::recursive_mutex guard;
cKeySources sources;
std::map<int32_t, void*> openPads;
EventFilter nextFilter = nullptr;
void* nextFilterData = nullptr;
thread_local bool telling = false;

// Hands the game the keys as keyboard events; the SDL 1.2 layer turns them
// into its own events and key state.
void tell(cKeySources::cChange change) {
  telling = true;
  for (unsigned key : allGameKeys) {
    if (!((change.pressed | change.released) & key)) continue;
    Event event = sdl2::keyEvent(key, change.pressed & key);
    sdl.pushEvent(&event);
  }
  telling = false;
}

void readPad(int32_t id) {
  auto open = openPads.find(id);
  if (open == openPads.end()) return;
  void* pad = open->second;
  cPadControls controls;
  controls.dpadLeft = sdl.button(pad, sdl2::buttonDpadLeft);
  controls.dpadRight = sdl.button(pad, sdl2::buttonDpadRight);
  controls.bottomButton = sdl.button(pad, sdl2::buttonA);
  controls.start = sdl.button(pad, sdl2::buttonStart);
  controls.stickX = sdl.axis(pad, sdl2::axisLeftX) / 32767.0f;
  tell(sources.hold(id, heldKeys(controls)));
}

void plugIn(int device) {
  if (!sdl.isGameController(device)) return;
  const int32_t id = sdl.instanceOfDevice(device);
  if (openPads.count(id)) return;
  if (void* pad = sdl.open(device)) openPads[id] = pad;
  readPad(id);
}

void unplug(int32_t id) {
  tell(sources.remove(id));
  auto pad = openPads.find(id);
  if (pad == openPads.end()) return;
  sdl.close(pad->second);
  openPads.erase(pad);
}

// False for a keyboard event that must not reach the game: a pad holds its key.
bool handle(const Event& event) {
  switch (event.type) {
    case sdl2::keyDown:
    case sdl2::keyUp: {
      const unsigned key = sdl2::gameKeyOf(event.key);
      return !key || sources.pass(keyboard, key, event.type == sdl2::keyDown);
    }
    case sdl2::controllerDeviceAdded:
      plugIn(event.device.which);
      break;
    case sdl2::controllerDeviceRemoved:
      unplug(event.device.which);
      break;
    case sdl2::controllerAxisMotion:
    case sdl2::controllerButtonDown:
    case sdl2::controllerButtonUp:
    case sdl2::controllerDeviceRemapped:
      readPad(event.device.which);
      break;
  }
  return true;
}

// Sees every SDL 2 event as it is queued, before the SDL 1.2 layer does.
int onEvent(void*, Event* event) {
  if (!telling) {
    std::lock_guard<std::recursive_mutex> lock(guard);
    if (!handle(*event)) return 0;
  }
  return nextFilter ? nextFilter(nextFilterData, event) : 1;
}

}  // namespace

void startPads() {
  static bool started = false;
  if (started || !bindAll()) return;
  started = true;
  if (sdl.initSubSystem(sdl2::initGameController) != 0) return;
  sdl.getEventFilter(&nextFilter, &nextFilterData);
  sdl.setEventFilter(onEvent, nullptr);
  // Pads plugged in before start-up are announced through the filter too, so
  // that SDL's lock is always taken before ours; those that come later
  // announce themselves.
  for (int device = 0; device < sdl.numJoysticks(); ++device) {
    Event added{};
    added.device = {sdl2::controllerDeviceAdded, 0, device};
    sdl.pushEvent(&added);
  }
}
