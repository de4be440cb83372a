// Pads reach the game as the keys it already reads. Written once for every
// platform: a pad's controls become held keys, and what the pads, the
// keyboard and a page's fingers and buttons hold merges into one state.
#ifndef GRUMO_PAD_KEYS_H
#define GRUMO_PAD_KEYS_H

#include <map>

// The game's keys, as bits of a set.
enum : unsigned { keyLeft = 1, keyRight = 2, keySpace = 4, keyEscape = 8 };
const unsigned allGameKeys[] = {keyLeft, keyRight, keySpace, keyEscape};

// The controls of a pad in the standard layout that matter here. The stick
// runs from -1 (full left) to 1.
struct cPadControls {
  bool dpadLeft = false;
  bool dpadRight = false;
  bool bottomButton = false;
  bool start = false;
  float stickX = 0.0f;
};

// The keys a pad holds.
unsigned heldKeys(const cPadControls& pad);

// Keys held by several sources at once (each pad, the keyboard): a key is
// down for the game from the first source that holds it until the last one
// lets go, so Space and Escape are pressed only once however many hold them.
class cKeySources {
 public:
  struct cChange {
    unsigned pressed = 0;
    unsigned released = 0;
  };

  // All the keys one source holds now; answers what the game must be told.
  cChange hold(int source, unsigned keys);
  // One key of a source pressed or let go.
  cChange hold(int source, unsigned key, bool down);
  // A source that is gone lets go of all it held.
  cChange remove(int source);
  // Every source lets go.
  cChange removeAll();
  // For a source that tells the game itself, key by key (the keyboard): notes
  // the event and answers whether it may go on to the game, which it may
  // unless another source holds that key.
  bool pass(int source, unsigned key, bool down);

 private:
  unsigned heldByOthers(int source) const;
  std::map<int, unsigned> held;
};

#endif
