// One drifting balloon that pops when the jumper touches it.
#ifndef GRUMO_BALLOON_H
#define GRUMO_BALLOON_H

#include <SDL.h>

#include "player.h"
#include "sprite.h"

class cBalloon {
 public:
  void init(SDL_Surface* GFXSource, int loadX, int loadY, int loadW, int loadH, int nFrames,
            long pause, int x, int y, int w, int h, int minX, int maxX, int s);
  // Returns 1 in the call in which the jumper pops the balloon, else 0.
  int draw(SDL_Surface* screen, cPlayer player);
  void fix();

 private:
  int xPos;
  int yPos;
  int minXPos;
  int maxXPos;
  int poppXPos;
  int width;
  int height;
  int speed;
  int popped;
  int i;
  cSprite sprite;
  cSprite popp;
};

#endif
