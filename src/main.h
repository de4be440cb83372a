// The game's entry, the sound handles and the free helpers of the game flow.
#ifndef GRUMO_MAIN_H
#define GRUMO_MAIN_H

#include <SDL.h>

#include "fsound.h"
#include "player.h"

extern FSOUND_STREAM* mp3;
extern FSOUND_SAMPLE* pop;
extern FSOUND_SAMPLE* splat;
extern FSOUND_SAMPLE* studs;
extern FSOUND_SAMPLE* win;

// The text of the closing credits screen.
extern const char* const creditsText;

int SDL_main(int argc, char** argv);
// One motion step of the jumper: walls, floor, gravity, move.
void calcSpeed(float& xSpeed, float& ySpeed, cPlayer& player);
// Fills the 74 glyph widths of the game's fonts.
void createList(int* symbolwidth);
// Room for the decimal text of any long, sign and terminator included.
const int printSize = 21;
// Writes value in decimal: no leading zeros or spaces, a minus only when negative.
void formatNumber(long value, char* print);
// Fills a rectangle with the game's box colour.
void box(SDL_Surface* screen, int x, int y, int w, int h);

#endif
