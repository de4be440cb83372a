#include "desktop/sdl2_link.h"

#include "pad_keys.h"

namespace sdl2 {
namespace {

struct KeyCode {
  unsigned gameKey;
  int32_t scancode, sym;
};

const KeyCode keyCodes[] = {
    {keyLeft, 80, 0x40000050},
    {keyRight, 79, 0x4000004f},
    {keySpace, 44, ' '},
    {keyEscape, 41, 27},
};

}  // namespace

Event keyEvent(unsigned gameKey, bool down) {
  Event event{};
  event.key.type = down ? keyDown : keyUp;
  event.key.state = down;
  for (const KeyCode& code : keyCodes)
    if (code.gameKey == gameKey) event.key.keysym = {code.scancode, code.sym, 0, 0};
  return event;
}

unsigned gameKeyOf(const KeyboardEvent& event) {
  for (const KeyCode& code : keyCodes)
    if (code.sym == event.keysym.sym) return code.gameKey;
  return 0;
}

}  // namespace sdl2
