// Game controllers made in the SDL 2 under the game, as if plugged in, and
// keys as a keyboard makes them there: what the platform layer takes up.
#ifndef GRUMO_TESTS_VIRTUAL_PAD_H
#define GRUMO_TESTS_VIRTUAL_PAD_H

namespace virtualPad {

// A pad in the standard layout; returns its number.
int plugIn();
void pullOut(int pad);
// A button by SDL's number: A 0, Start 6, D-pad left 13 and right 14.
enum { a = 0, start = 6, dpadLeft = 13, dpadRight = 14 };
void button(int pad, int button, bool down);
// The left stick's x, from -1 to 1.
void stick(int pad, float x);
// One of the game's keys (keyLeft...) as from the keyboard.
void key(unsigned gameKey, bool down);

}  // namespace virtualPad

#endif
