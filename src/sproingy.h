// The seesaw board: draws its tilt and catches or splats the jumper.
#ifndef GRUMO_SPROINGY_H
#define GRUMO_SPROINGY_H

#include <SDL.h>

#include "player.h"

class cSproingy {
 public:
  cSproingy(SDL_Surface* GFXSource, int loadX, int loadY, int w, int loadH, int xP, int yP);
  void setXPos(int xP);
  void flipBoard();
  int getWidth();
  void draw(SDL_Surface* screen, cPlayer& player, float& xSpeed, float& ySpeed, bool& alive,
            bool& isGrumo);

 private:
  int xPos;
  int yPos;
  int width;
  bool flip;
  SDL_Surface* left;
  SDL_Surface* right;
};

void calcBounceSpeed(float& xSpeed, float& ySpeed, float pos);

#endif
