#include "pads.h"

#include <emscripten.h>

#include "pad_keys.h"

namespace {

const int padSlots = 4;
// The standard layout's numbers of the buttons that matter, as cPadControls
// names them: D-pad left and right, the bottom face button, Start.
const int standardButtons[] = {14, 15, 0, 9};
const int buttonCount = sizeof standardButtons / sizeof *standardButtons;

cKeySources sources;
bool wasPresent[padSlots];
// A browser shows a pad only once one of its buttons is pressed: that press
// wakes the pad and does nothing else until it is let go.
unsigned wakingPress[padSlots];

}  // namespace

extern "C" {
void web_read_pads(int slots, const int* buttons, int count, int* present, int* pressed,
                   float* stickX);
void web_send_key(const char* code, int down);
}

namespace {

// The page names the game's keys by the keyboard's codes.
const struct {
  unsigned key;
  const char* code;
} pageKeys[] = {
    {keyLeft, "ArrowLeft"}, {keyRight, "ArrowRight"}, {keySpace, "Space"}, {keyEscape, "Escape"}};

void tell(cKeySources::cChange change) {
  for (const auto& [key, code] : pageKeys)
    if ((change.pressed | change.released) & key) web_send_key(code, change.pressed & key);
}

}  // namespace

void readPads() {
  int present[padSlots], pressed[padSlots][buttonCount];
  float stickX[padSlots];
  web_read_pads(padSlots, standardButtons, buttonCount, present, pressed[0], stickX);
  for (int slot = 0; slot < padSlots; ++slot) {
    if (!present[slot]) {
      if (wasPresent[slot]) tell(sources.remove(slot));
      wasPresent[slot] = false;
      continue;
    }
    cPadControls pad;
    pad.dpadLeft = pressed[slot][0];
    pad.dpadRight = pressed[slot][1];
    pad.bottomButton = pressed[slot][2];
    pad.start = pressed[slot][3];
    pad.stickX = stickX[slot];
    const unsigned keys = heldKeys(pad);
    if (!wasPresent[slot]) wakingPress[slot] = keys;
    wasPresent[slot] = true;
    wakingPress[slot] &= keys;
    tell(sources.hold(slot, keys & ~wakingPress[slot]));
  }
}
