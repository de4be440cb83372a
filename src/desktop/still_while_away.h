// While its window is minimised or off the display, the game stands still and
// silent, and goes on where it was once the window is back.
#ifndef GRUMO_DESKTOP_STILL_WHILE_AWAY_H
#define GRUMO_DESKTOP_STILL_WHILE_AWAY_H

void standStillWhileAway();

#endif
