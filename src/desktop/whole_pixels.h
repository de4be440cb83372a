// Full screen on the desktop: the game is drawn at the largest whole multiple
// of its size that fits the display, centred on black.
#ifndef GRUMO_DESKTOP_WHOLE_PIXELS_H
#define GRUMO_DESKTOP_WHOLE_PIXELS_H

// From the window's first event on. Does nothing where the SDL 1.2 layer is
// not the one on SDL 2, scales through OpenGL, or the player chose how to scale.
void scaleByWholePixels();

#endif
