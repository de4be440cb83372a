#include "pads.h"

#include <emscripten.h>

#include <cstring>
#include <utility>

#include "pad_keys.h"

extern "C" {
void web_read_pads(int slots, const int* buttons, int count, int* present, int* pressed,
                   float* stickX);
void web_send_key(const char* code, int down);
void web_start_sound();
}

namespace {

const int padSlots = 4;
// The standard layout's numbers of the buttons that matter, as cPadControls
// names them: D-pad left and right, the bottom face button, Start.
const int standardButtons[] = {14, 15, 0, 9};
const int buttonCount = sizeof standardButtons / sizeof *standardButtons;

// Every source of the game's keys: the pads by slot, then the page's own.
// Never destroyed: the page may press keys after a game that failed.
cKeySources& sources = *new cKeySources;
bool wasPresent[padSlots];
// A browser shows a pad only once one of its buttons is pressed: that press
// wakes the pad and does nothing else until it is let go.
unsigned wakingPress[padSlots];

// The page names the game's keys by the keyboard's codes.
const std::pair<unsigned, const char*> pageKeys[] = {
    {keyLeft, "ArrowLeft"}, {keyRight, "ArrowRight"}, {keySpace, "Space"}, {keyEscape, "Escape"}};

void tell(cKeySources::cChange change) {
  for (const auto& [key, code] : pageKeys)
    if ((change.pressed | change.released) & key) web_send_key(code, change.pressed & key);
}

}  // namespace

// The page's sources (the keyboard, each finger, the Escape button) press and
// let go here, numbered by the page, so that all are merged as the pads are.
extern "C" EMSCRIPTEN_KEEPALIVE void web_hold_key(int source, const char* code, int down) {
  for (const auto& [key, name] : pageKeys)
    if (std::strcmp(code, name) == 0) tell(sources.hold(padSlots + source, key, down));
}

extern "C" EMSCRIPTEN_KEEPALIVE void web_let_go_all() { tell(sources.removeAll()); }

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
    const cKeySources::cChange change = sources.hold(slot, keys & ~wakingPress[slot]);
    if (change.pressed) web_start_sound();
    tell(change);
  }
}
