#include "autopilot.h"

#include <algorithm>
#include <cmath>

namespace seam {

void Autopilot::steer(const View& view) {
  if (view.jumpers.empty() || view.boards.empty()) return;
  const Placed& jumper = view.jumpers.back();
  const Placed& board = view.boards.back();
  // The board starts untipped, so the first image seen is the one whose
  // landing half is the left one.
  if (!leftImage) leftImage = board.image;
  int dx = seenJumper ? jumper.x - lastJumperX : 0;
  int dy = seenJumper ? jumper.y - lastJumperY : 0;
  if (std::abs(dx) > 6) dx = 0;  // a wall bounce or a respawn, not a speed
  lastJumperX = jumper.x;
  lastJumperY = jumper.y;
  seenJumper = true;
  if (tipped) release(SDLK_SPACE);
  tipped = false;

  float centre = static_cast<float>(jumper.x + dx + 17 / 2);
  bool leftHalf = board.image == leftImage;
  float target = leftHalf ? centre - 25.0f * (1.0f - aim) : centre - 25.0f - 25.0f * aim;
  // Near a wall only the other half can reach the jumper: tip the board.
  if ((target < -1.0f || target > 271.0f) && dy > 0) {
    press(SDLK_SPACE);
    tipped = true;
  }
  target = std::clamp(target, 0.0f, 270.0f);
  hold(SDLK_LEFT, board.x > target + 2.0f);
  hold(SDLK_RIGHT, board.x < target - 2.0f);
}

void Autopilot::letGo() {
  hold(SDLK_LEFT, false);
  hold(SDLK_RIGHT, false);
}

}  // namespace seam
