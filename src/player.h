// The jumper: its place, whether it lives, and its flight and crash animations.
#ifndef GRUMO_PLAYER_H
#define GRUMO_PLAYER_H

#include <SDL.h>

#include "sprite.h"

class cPlayer {
 public:
  cPlayer(SDL_Surface* GFXSource, int loadX, int loadY, int loadW, int loadH, int numFrames);
  void setPos(int x, int y);
  void setYPos(int y);
  void kill();
  void live();
  void draw(SDL_Surface* screen);
  float getXPos();
  float getYPos();
  int getWidth();
  int getHeight();
  bool isAlive();

 private:
  int width;
  int height;
  float xPos;
  float yPos;
  bool living;
  cSprite sprite;
  cSprite crash;
};

#endif
