// A timed frame animation cut from one row of a sprite sheet.
#ifndef GRUMO_LIB_SPRITE_H
#define GRUMO_LIB_SPRITE_H

#include <SDL.h>

struct cFrame {
  SDL_Surface* image;
  long pause;
};

// Copies share the frames of the sprite they were copied from and animate on
// their own. Frames are never released.
class cSprite {
 public:
  void init(SDL_Surface* source, int x, int y, int w, int h, int nFrames);
  void draw(SDL_Surface* screen, int x, int y);
  void setPause(int f, long p);
  void setAllPause(long p);
  void setImage(int f, SDL_Surface* i);
  void setFrame(int f);
  void stop();
  void start();

 private:
  int width;
  int height;
  int numFrames;
  int currentFrame;
  cFrame* frame;
  long lastUpdate;
  long currentTime;
  bool animating;
};

#endif
