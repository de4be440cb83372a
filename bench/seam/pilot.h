// A player for whole games through the seam.
#ifndef GRUMO_BENCH_PILOT_H
#define GRUMO_BENCH_PILOT_H

#include <algorithm>
#include <cstdlib>

#include "seam.h"

// Slides the board so that the falling jumper comes down `aim` of the way from
// the middle to the outer end of the raised half (with aim below 0, beside
// the board), and tips the board when only its other half can reach.
struct Pilot {
  float aim = 0.6f;
  SDL_Surface* untipped = nullptr;
  int lastX = 0, lastY = 0;

  void steer(const seam::View& view) {
    if (view.jumpers.empty() || view.boards.empty()) return;
    const seam::Placed &jumper = view.jumpers[0], &board = view.boards[0];
    if (!untipped) untipped = board.image;
    const int dx = std::abs(jumper.x - lastX) > 6 ? 0 : jumper.x - lastX;  // a wall is no speed
    const bool falling = jumper.y > lastY;
    lastX = jumper.x, lastY = jumper.y;
    const float centre = static_cast<float>(jumper.x + dx + 8);
    float target = board.image == untipped ? centre - 25 * (1 - aim) : centre - 25 - 25 * aim;
    if (aim < 0) target = centre < 160 ? 270 : 0;
    seam::hold(SDLK_SPACE, false);
    if (aim >= 0 && (target < -1 || target > 271) && falling) seam::press(SDLK_SPACE);
    target = std::clamp(target, 0.0f, 270.0f);
    seam::hold(SDLK_LEFT, board.x > target + 2);
    seam::hold(SDLK_RIGHT, board.x < target - 2);
  }
};

#endif
