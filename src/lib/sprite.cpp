#include "sprite.h"

#include "SDLFunctions.h"

namespace {

// A pause below 1 ms counts as 1 ms, so catching up on the clock always ends.
long shownFor(const cFrame& f) { return f.pause > 0 ? f.pause : 1; }

}  // namespace

void cSprite::init(SDL_Surface* source, int x, int y, int w, int h, int nFrames) {
  width = w;
  height = h;
  lastUpdate = SDL_GetTicks();
  numFrames = nFrames > 0 ? nFrames : 1;
  frame = new cFrame[numFrames]();
  currentFrame = 0;
  animating = false;
  // Each frame gets a surface of exactly its own size: this SDL blits a
  // surface's full pixel area even when its w and h are made smaller.
  for (int i = 0; i < numFrames; ++i) frame[i].image = cutImage(source, x + i * width, y, w, h);
}

void cSprite::draw(SDL_Surface* screen, int x, int y) {
  if (animating) {
    currentTime = SDL_GetTicks();
    while (lastUpdate + shownFor(frame[currentFrame]) < currentTime) {
      lastUpdate += shownFor(frame[currentFrame]);
      currentFrame = currentFrame < numFrames - 1 ? currentFrame + 1 : 0;
    }
  }
  drawBMP(frame[currentFrame].image, screen, x, y);
}

void cSprite::setPause(int f, long p) { frame[f].pause = p; }

void cSprite::setAllPause(long p) {
  for (int i = 0; i < numFrames; ++i) frame[i].pause = p;
}

void cSprite::setImage(int f, SDL_Surface* i) { readGFX(i, frame[f].image, 0, 0, width, height); }

void cSprite::setFrame(int f) { currentFrame = f; }

void cSprite::stop() { animating = false; }

void cSprite::start() {
  lastUpdate = SDL_GetTicks();
  animating = true;
}
