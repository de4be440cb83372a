// Pads through the platform layer and the real SDL under it: virtual game
// controllers and keyboard keys drive the shipped game frame by frame.
#include "desktop/pads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "main.h"
#include "pad_keys.h"
#include "seam.h"
#include "virtual_pad.h"

namespace {

using namespace virtualPad;
const int keys = -1, plug = -2, pull = -3;  // the keyboard; plug a pad in, pull it out

// Pad 0 is in before start-up, 1 comes later; the stick holds nothing in its dead zone; the
// keyboard and pad 1 hold Right in turn till 1 is pulled out; the frame reading Start still plays.
// A step: pad (or keys), control, value; the frames after it and the board in them: slides 5 a
// frame right '>' or left '<' up to the edge, stays '=', tips once '^'; or the credits 'C'.
using Step = std::tuple<int, int, float, int, char>;

TEST(Pads, PlayBesideTheKeyboardPluggedInBeforeStartUpOrDuringPlay) {
  const Step steps[] = {
      {0, right, 1, 20, '>'},      {0, right, 0, 2, '='},       {0, stick, -0.45f, 2, '='},
      {0, stick, -0.55f, 60, '<'}, {0, stick, 0, 2, '='},       {1, plug, 0, 2, '='},
      {1, right, 1, 3, '>'},       {keys, keyRight, 1, 3, '>'}, {1, right, 0, 3, '>'},
      {1, stick, 1, 3, '>'},       {keys, keyRight, 0, 3, '>'}, {1, pull, 0, 3, '='},
      {0, a, 1, 3, '^'},           {keys, keySpace, 1, 2, '='}, {0, start, 1, 1, '='},
      {0, start, 0, 3, 'C'},       {0, start, 1, 1, 'C'}};
  std::vector<void*> pads = {plugIn()};
  startPads();
  std::vector<seam::View> views;
  std::vector<int> at;  // the flip each step was done at
  int due = 2;
  const auto play = [&](int flip, const seam::View& view) {
    views.push_back(view);
    if (at.size() == std::size(steps) || flip != due) return true;
    const auto [pad, control, value, frames, board] = steps[at.size()];
    at.push_back(flip), due = flip + frames;
    if (pad == keys) return key(control, value), true;
    if (control == plug) return pads.push_back(plugIn()), true;
    // Pad 0 stays in: a pad's number is its device's.
    if (control == pull) return sdl("SDL_JoystickDetachVirtual", pad), true;
    return set(pads[pad], control, value), true;
  };
  EXPECT_EQ(seam::play(play, 400), 0);
  ASSERT_EQ(at.size(), std::size(steps));
  for (size_t n = 0; n < std::size(steps); ++n)
    for (int flip = at[n] + 1; flip <= at[n] + std::get<3>(steps[n]); ++flip) {
      const seam::View &before = views.at(flip - 1), &now = views.at(flip);
      const char board = std::get<4>(steps[n]);
      SCOPED_TRACE(seam::say("step", n, "flip", flip));
      if (board == 'C' || now.boards.empty()) {  // Escape reached the game: the credits show
        EXPECT_TRUE(board == 'C' && now.boards.empty());
        continue;
      }
      const int slide = board == '>' ? 5 : board == '<' ? -5 : 0;
      const int x = std::clamp(before.boards.at(0).x + slide, 0, 270);
      const bool tipped =
          now.boards.at(0).image != before.boards[0].image && !seam::sounds(studs, flip, flip + 1);
      EXPECT_EQ(seam::say(now.boards.at(0).x, tipped),
                seam::say(x, board == '^' && flip == at[n] + 1));
    }
}

}  // namespace
