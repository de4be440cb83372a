#include "balloon.h"

void cBalloon::init(SDL_Surface* GFXSource, int loadX, int loadY, int loadW, int loadH, int nFrames,
                    long pause, int x, int y, int w, int h, int minX, int maxX, int s) {
  popped = 0;
  width = w;
  height = h;
  xPos = x;
  yPos = y;
  minXPos = minX;
  maxXPos = maxX;
  speed = s;
  i = 0;
  // Only read while bursting; set so that copying a fresh balloon reads no garbage.
  poppXPos = x;
  sprite.init(GFXSource, loadX, loadY, loadW, loadH, nFrames);
  sprite.setAllPause(pause);
  sprite.start();
  // The burst strip follows the drifting strip on the same row.
  popp.init(GFXSource, loadX + loadW * nFrames, loadY, loadW, loadH, nFrames);
  popp.setAllPause(40);
  popp.start();
}

int cBalloon::draw(SDL_Surface* screen, cPlayer player) {
  bool justPopped = false;

  // Keeps travelling while bursting or gone, so fix() brings it back in its slot.
  xPos += speed;
  // Wrapping by the loop length keeps a row's spacing.
  if (speed > 0 && xPos > maxXPos) xPos -= maxXPos - minXPos;
  if (speed < 0 && xPos < minXPos) xPos += maxXPos - minXPos;

  if (popped == 0) {
    float px = player.getXPos();
    float py = player.getYPos();
    float pw = player.getWidth();
    float ph = player.getHeight();
    // Touching edges count as a hit.
    if (px <= xPos + width && px + pw >= xPos && py <= yPos + height && py + ph >= yPos) {
      popped = 1;
      poppXPos = xPos;
      justPopped = true;
    }
  }

  if (popped == 0) sprite.draw(screen, xPos, yPos);
  if (popped == 1) {
    // The burst stays where it was hit, for this frame and the next two.
    popp.draw(screen, poppXPos, yPos);
    if (i == 2) popped = 2;
    i++;
  }
  return justPopped ? 1 : 0;
}

void cBalloon::fix() {
  popped = 0;
  i = 0;
}
