#include "pad_keys.h"

namespace {

// A stick resting near the centre, or drifting, holds nothing; pushed past
// about half way it holds its direction.
const float stickThreshold = 0.5f;

}  // namespace

unsigned heldKeys(const cPadControls& pad) {
  unsigned keys = 0;
  if (pad.dpadLeft || pad.stickX < -stickThreshold) keys |= keyLeft;
  if (pad.dpadRight || pad.stickX > stickThreshold) keys |= keyRight;
  if (pad.bottomButton) keys |= keySpace;
  if (pad.start) keys |= keyEscape;
  return keys;
}

unsigned cKeySources::heldByOthers(int source) const {
  unsigned keys = 0;
  for (const auto& [other, otherKeys] : held)
    if (other != source) keys |= otherKeys;
  return keys;
}

cKeySources::cChange cKeySources::hold(int source, unsigned keys) {
  const unsigned others = heldByOthers(source);
  auto it = held.find(source);
  const unsigned before = others | (it == held.end() ? 0 : it->second);
  if (it != held.end())
    it->second = keys;
  else if (keys)
    held.emplace(source, keys);
  const unsigned after = others | keys;
  return {after & ~before, before & ~after};
}

cKeySources::cChange cKeySources::remove(int source) {
  const cChange change = hold(source, 0);
  held.erase(source);
  return change;
}

cKeySources::cChange cKeySources::hold(int source, unsigned key, bool down) {
  const unsigned keys = held.count(source) ? held[source] : 0;
  return hold(source, down ? keys | key : keys & ~key);
}

cKeySources::cChange cKeySources::removeAll() {
  cChange change;
  while (!held.empty()) change.released |= remove(held.begin()->first).released;
  return change;
}

bool cKeySources::pass(int source, unsigned key, bool down) {
  unsigned& keys = held[source];
  keys = down ? keys | key : keys & ~key;
  return !(heldByOthers(source) & key);
}
