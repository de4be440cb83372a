// Surfaces in memory, in place of the browser SDL's canvases.
#ifndef GRUMO_WEB_SURFACES_H
#define GRUMO_WEB_SURFACES_H

#include <SDL.h>

// True once the screen has pixels in memory to hand to the page.
bool screenPixels(SDL_Surface* screen);

#endif
