// Included ahead of every game file in the browser build. The browser's SDL
// provides SDL_GetKeyState but its headers leave it out.
#ifndef GRUMO_WEB_EMULATION_H
#define GRUMO_WEB_EMULATION_H

#include <SDL.h>

extern "C" Uint8* SDL_GetKeyState(int* numkeys);

#endif
