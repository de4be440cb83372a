// Surfaces in memory, in place of the browser SDL's canvases.
#ifndef GRUMO_WEB_SURFACES_H
#define GRUMO_WEB_SURFACES_H

#include <SDL.h>

// True when the surface has pixels in memory; the screen gets them here.
bool ensurePixels(SDL_Surface* surface);

#endif
