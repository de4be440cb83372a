#include "player.h"

cPlayer::cPlayer(SDL_Surface* GFXSource, int loadX, int loadY, int loadW, int loadH,
                 int numFrames) {
  sprite.init(GFXSource, loadX, loadY, loadW, loadH, numFrames);
  sprite.setAllPause(130);
  // The fourth frame holds longer; a strip without one must not be written past.
  if (numFrames > 3) sprite.setPause(3, 170);
  sprite.start();
  // The crash strip follows the flight strip on the same row.
  crash.init(GFXSource, loadX + numFrames * loadW, loadY, loadW, loadH, numFrames);
  crash.setAllPause(110);
  crash.start();
  living = true;
  width = loadW;
  height = loadH;
  xPos = 100;
  yPos = 100;
}

void cPlayer::setPos(int x, int y) {
  xPos = x;
  yPos = y;
}

void cPlayer::setYPos(int y) { yPos = y; }

void cPlayer::kill() { living = false; }

void cPlayer::live() { living = true; }

void cPlayer::draw(SDL_Surface* screen) {
  // Both animations keep running, so a splat shows whatever crash frame is due.
  int x = static_cast<int>(xPos);
  int y = static_cast<int>(yPos);
  if (living) {
    sprite.draw(screen, x, y);
  } else {
    crash.draw(screen, x, y);
  }
}

float cPlayer::getXPos() { return xPos; }

float cPlayer::getYPos() { return yPos; }

int cPlayer::getWidth() { return width; }

int cPlayer::getHeight() { return height; }

bool cPlayer::isAlive() { return living; }
