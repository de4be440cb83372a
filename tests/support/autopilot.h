// A scripted player: slides the board under the falling jumper so that it
// lands at a chosen point of the landing half, and tips the board when only
// its other half can reach the jumper.
#ifndef GRUMO_TESTS_AUTOPILOT_H
#define GRUMO_TESTS_AUTOPILOT_H

#include <SDL.h>

#include "observe.h"

namespace seam {

class Autopilot {
 public:
  // aim: 0 lands at the board's centre, 1 at the outer end of the landing half.
  explicit Autopilot(float aim = 0.8f) : aim(aim) {}
  void setAim(float a) { aim = a; }
  // Holds Left or Right for the next frame, from what this frame showed.
  void steer(const View& view);
  // Lets go of both keys.
  void letGo();

 private:
  float aim;
  SDL_Surface* leftImage = nullptr;
  int lastJumperX = 0;
  int lastJumperY = 0;
  bool tipped = false;
  bool seenJumper = false;
};

}  // namespace seam

#endif
