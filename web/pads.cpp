#include "pads.h"

#include <emscripten.h>

#include "pad_keys.h"

namespace {

const int padSlots = 4;

cKeySources sources;
bool wasPresent[padSlots];
// A browser shows a pad only once one of its buttons is pressed: that press
// wakes the pad and does nothing else until it is let go.
unsigned wakingPress[padSlots];

}  // namespace

extern "C" {
void web_read_pads(int slots, int* present, int* buttons, float* stickX);
void web_send_key(unsigned key, int down);
}

namespace {

void tell(cKeySources::cChange change) {
  for (unsigned key : {keyLeft, keyRight, keySpace, keyEscape})
    if ((change.pressed | change.released) & key) web_send_key(key, change.pressed & key);
}

}  // namespace

void readPads() {
  int present[padSlots], buttons[padSlots];
  float stickX[padSlots];
  web_read_pads(padSlots, present, buttons, stickX);
  for (int slot = 0; slot < padSlots; ++slot) {
    if (!present[slot]) {
      if (wasPresent[slot]) tell(sources.remove(slot));
      wasPresent[slot] = false;
      continue;
    }
    cPadControls pad;
    pad.dpadLeft = buttons[slot] & 1;
    pad.dpadRight = buttons[slot] & 2;
    pad.bottomButton = buttons[slot] & 4;
    pad.start = buttons[slot] & 8;
    pad.stickX = stickX[slot];
    const unsigned keys = heldKeys(pad);
    if (!wasPresent[slot]) wakingPress[slot] = keys;
    wasPresent[slot] = true;
    wakingPress[slot] &= keys;
    tell(sources.hold(slot, keys & ~wakingPress[slot]));
  }
}
