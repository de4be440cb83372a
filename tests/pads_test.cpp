// Pads through the platform layer and the real SDL under it: virtual game
// controllers and keyboard keys drive the shipped game frame by frame.
#include "desktop/pads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "main.h"
#include "pad_keys.h"
#include "seam.h"
#include "virtual_pad.h"

namespace {

using seam::say;

const int keyboard = -1, stick = -1, plugIn = -2, pullOut = -3;

// What a step does to a pad or to the keyboard (whose control is then a game
// key), and what the board does in the frames after it: slides 5 pixels a
// frame right '>' or left '<' up to the edge, stays '=' or tips once '^'; or
// the credits show 'C'.
struct Step {
  int pad, control;
  float value;
  int frames;
  char board;
};

void apply(const Step& step) {
  if (step.pad == keyboard) return virtualPad::key(step.control, step.value);
  if (step.control == plugIn) virtualPad::plugIn();
  if (step.control == pullOut) virtualPad::pullOut(step.pad);
  if (step.control == stick) virtualPad::stick(step.pad, step.value);
  if (step.control >= 0) virtualPad::button(step.pad, step.control, step.value);
}

TEST(Pads, PlayBesideTheKeyboardPluggedInBeforeStartUpOrDuringPlay) {
  const Step steps[] = {
      {0, virtualPad::dpadRight, 1, 20, '>'},  // from 190 to the edge at 270
      {0, virtualPad::dpadRight, 0, 2, '='},
      {0, stick, -0.45f, 2, '='},  // inside the dead zone
      {0, stick, -0.55f, 60, '<'},
      {0, stick, 0, 2, '='},
      {1, plugIn, 0, 2, '='},
      {1, virtualPad::dpadRight, 1, 3, '>'},
      {keyboard, keyRight, 1, 3, '>'},
      {1, virtualPad::dpadRight, 0, 3, '>'},  // the keyboard still holds Right,
      {1, stick, 1, 3, '>'},
      {keyboard, keyRight, 0, 3, '>'},  // then the stick does,
      {1, pullOut, 0, 3, '='},          // which lets go as it is pulled out
      {0, virtualPad::a, 1, 3, '^'},
      {keyboard, keySpace, 1, 2, '='},  // Space is already down
      {0, virtualPad::a, 0, 2, '='},
      {keyboard, keySpace, 0, 2, '='},
      {0, virtualPad::start, 1, 1, '='},  // the frame that reads Escape still plays
      {0, virtualPad::start, 0, 3, 'C'},
      {0, virtualPad::start, 1, 1, 'C'},  // and the game ends
  };
  virtualPad::plugIn();
  startPads();
  std::vector<seam::View> views;
  std::vector<int> applied;
  const int result = seam::play(
      [&](int flip, const seam::View& view) {
        views.push_back(view);
        const size_t next = applied.size();
        if (next < std::size(steps) && flip == (next ? applied.back() + steps[next - 1].frames : 2))
          apply(steps[next]), applied.push_back(flip);
        return true;
      },
      400);
  EXPECT_EQ(result, 0);
  ASSERT_EQ(applied.size(), std::size(steps));
  ASSERT_EQ(views.size(), applied.back() + 2u);
  for (size_t n = 0; n < std::size(steps); ++n)
    for (int flip = applied[n] + 1; flip <= applied[n] + steps[n].frames; ++flip) {
      const seam::View &before = views[flip - 1], &now = views[flip];
      const char board = steps[n].board;
      SCOPED_TRACE(say("step", n, "flip", flip));
      if (board == 'C') {
        EXPECT_EQ(say(now.boards.size(), now.textAt(20, 20)), say(0, "Grumo Sproing"));
        continue;
      }
      const int slide = board == '>' ? 5 : board == '<' ? -5 : 0;
      const bool tipped = now.boards.at(0).image != before.boards.at(0).image &&
                          !seam::sounds(studs, flip, flip + 1);
      EXPECT_EQ(say(now.boards[0].x, tipped), say(std::clamp(before.boards.at(0).x + slide, 0, 270),
                                                  board == '^' && flip == applied[n] + 1));
    }
}

}  // namespace
