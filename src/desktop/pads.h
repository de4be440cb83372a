// Game controllers on the desktop: their D-pad, left stick, A and Start reach
// the game as Left, Right, Space and Escape, merged with the keyboard.
#ifndef GRUMO_DESKTOP_PADS_H
#define GRUMO_DESKTOP_PADS_H

// Takes up the pads plugged in now and later. Does nothing, and says nothing,
// where there is no SDL 2 under SDL 1.2 or no game-controller support.
void startPads();

#endif
