// Thin helpers over SDL's blitting and image loading.
#ifndef GRUMO_LIB_SDLFUNCTIONS_H
#define GRUMO_LIB_SDLFUNCTIONS_H

#include <SDL.h>

#include "little_endian.h"

int initSDL();
int initAudio();
void drawBMP(SDL_Surface* image, SDL_Surface* target, int x, int y);
void readGFX(SDL_Surface* source, SDL_Surface* target, int x, int y, int w, int h);
void readGFX(SDL_Surface* source, SDL_Surface* target, int x, int y, int w, int h, int x2, int y2);

// A rectangle in SDL's 16-bit fields, which keep the low 16 bits of each value.
SDL_Rect makeRect(int x, int y, int w, int h);
// Loads a BMP the way every image of the game is loaded; null, with the
// reason in plain words in SDL_GetError, when it cannot.
SDL_Surface* loadBMP(const char* path);
// False for anything that is not a regular file, which could block on opening.
bool isRegularFile(const char* path);
// Cuts the w x h rectangle at (x, y) of a sheet into a surface of exactly that
// size in the screen's format, with magenta transparent. Null when the
// surface cannot be made.
SDL_Surface* cutImage(SDL_Surface* sheet, int x, int y, int w, int h);

#endif
