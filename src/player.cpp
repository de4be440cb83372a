#include "player.h"

#include "main.h"

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

void calcSpeed(float& xSpeed, float& ySpeed, cPlayer& player) {
  float x = player.getXPos();
  float y = player.getYPos();
  int width = player.getWidth();
  if (x < 0) {
    xSpeed = -xSpeed;
    x = -x;
  }
  // Mirror the overshoot so the jumper ends as far inside as it went out.
  if (x + width >= 320) {
    xSpeed = -xSpeed;
    x = 320 - width - ((x + width) - 320);
  }
  // Never reached in play (the board ends every fall first), but keeps a stray jumper on screen.
  if (y > 235) ySpeed = -15;
  ySpeed = ySpeed + 0.5f;
  x = x + xSpeed;
  y = y + ySpeed;
  // Whole pixels only: the fractions of the position are dropped every step.
  player.setPos(static_cast<int>(x), static_cast<int>(y));
}
