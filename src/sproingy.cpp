#include "sproingy.h"

#include "SDLFunctions.h"
#include "main.h"

cSproingy::cSproingy(SDL_Surface* GFXSource, int loadX, int loadY, int w, int loadH, int xP,
                     int yP) {
  // Each tilt is its own w x loadH surface: this SDL blits a surface's whole
  // pixel area, so a sheet copy with a reduced w/h would draw the entire sheet.
  left = cutImage(GFXSource, loadX, loadY, w, loadH);
  right = cutImage(GFXSource, loadX + w, loadY, w, loadH);
  flip = false;
  xPos = xP;
  yPos = yP;
  width = w;
}

void cSproingy::setXPos(int xP) { xPos = xP; }

void cSproingy::flipBoard() { flip = !flip; }

int cSproingy::getWidth() { return width; }

void cSproingy::draw(SDL_Surface* screen, cPlayer& player, float& xSpeed, float& ySpeed,
                     bool& alive, bool& isGrumo) {
  float playerPos = player.getXPos() + player.getWidth() / 2;
  int half = width / 2;
  // The raised half catches; a centre right on the middle counts for both tilts.
  bool leftCatches = !flip;
  bool onHalf;
  if (leftCatches) {
    drawBMP(left, screen, xPos, yPos);
    onHalf = xPos <= playerPos && playerPos <= xPos + half;
  } else {
    drawBMP(right, screen, xPos, yPos);
    onHalf = xPos + half <= playerPos && playerPos <= xPos + width;
  }

  // Contact is 8 pixels into the board, below where a thrown jumper stands.
  if (!(player.getYPos() + player.getHeight() >= yPos + 8 && player.isAlive())) return;

  if (!onHalf) {
    FSOUND_PlaySound(FSOUND_FREE, splat);
    player.setYPos(222);
    player.kill();
    alive = false;
    return;
  }

  FSOUND_PlaySound(FSOUND_FREE, studs);
  flip = !flip;
  float pos = 0;
  if (leftCatches) {
    player.setPos(xPos + width - player.getWidth(), yPos - player.getHeight());
    // A board under 2 pixels has no halves to measure along; throw it gently.
    if (half > 0) pos = 1 - (playerPos - xPos) / half;
  } else {
    player.setPos(xPos, yPos - player.getHeight());
    if (half > 0) pos = (playerPos - (xPos + half)) / half;
  }
  calcBounceSpeed(xSpeed, ySpeed, pos);
  isGrumo = !isGrumo;
}

void calcBounceSpeed(float& xSpeed, float& ySpeed, float pos) {
  // Worked in double, then stored: float arithmetic would differ in the last bit.
  ySpeed = static_cast<float>(-11.1 - 3 * pos);
  // Keeps the direction it came down with; a straight drop goes left.
  if (xSpeed > 0) {
    xSpeed = static_cast<float>(4 * pos + 0.1);
  } else {
    xSpeed = static_cast<float>(-(4 * pos + 0.1));
  }
}
