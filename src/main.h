// The game's entry, the sound handles, the play field with its rules, and the
// free helpers of the game flow.
#ifndef GRUMO_MAIN_H
#define GRUMO_MAIN_H

#include <SDL.h>

#include "balloon.h"
#include "font.h"
#include "fsound.h"
#include "player.h"
#include "sproingy.h"

extern FSOUND_STREAM* mp3;
extern FSOUND_SAMPLE* pop;
extern FSOUND_SAMPLE* splat;
extern FSOUND_SAMPLE* studs;
extern FSOUND_SAMPLE* win;

// The frame period: the slowest at first, 5 ms less for each cleared set, down to the fastest.
extern const long slowestPause;
extern const long fastestPause;

const int columns = 17;
const int rows = 3;

// Everything on the field; SDL_main owns it for the whole run.
struct cPlayField {
  cPlayField(SDL_Surface* balloonSheet, SDL_Surface* playerSheet, SDL_Surface* boardSheet);

  cBalloon balloon[columns][rows];
  cPlayer player;
  cSproingy board;
  float xSpeed;
  float ySpeed;
  int boardPos;
  bool alive;
  int lives;
  long score;
  int level;
  int balloonsLeft;
  bool isGrumo;
};

// The rules, run once a frame in this order between the other steps of SDL_main.
void controlBoard(const Uint8* keys, cPlayField& field);
void clearSet(cPlayField& field, long& pause);
void handleDeath(cPlayField& field, const Uint8* keys, cFont& font, SDL_Surface* screen);
void drawBalloons(cPlayField& field, SDL_Surface* screen);

int SDL_main(int argc, char** argv);
// Every start-up failure ends the same way: one line on stderr and status 1.
[[noreturn]] __attribute__((format(printf, 1, 2))) void fatal(const char* format, ...);
// The display cannot show the game's video mode, for the reason given.
[[noreturn]] void videoModeFailed(const char* why);
// One motion step of the jumper: walls, floor, gravity, move.
void calcSpeed(float& xSpeed, float& ySpeed, cPlayer& player);
// Fills the glyph widths of the game's fonts, in the order of cFont::glyphs.
void createList(int* symbolwidth);
// Writes value in decimal: no leading zeros or spaces, a minus only when negative.
// Room for any long, sign and terminator included.
const int printSize = 21;
void formatNumber(long value, char* print);
// Fills a rectangle with the game's box colour.
void box(SDL_Surface* screen, int x, int y, int w, int h);

#endif
