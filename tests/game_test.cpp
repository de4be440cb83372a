// Whole games through the real SDL_main, frame by frame, with scripted keys.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "SDLFunctions.h"
#include "main.h"
#include "pilot.h"
#include "seam.h"

namespace {

using seam::say;
using seam::View;

bool playedIn(FSOUND_SAMPLE* sample, int flip) { return seam::sounds(sample, flip, flip + 1) > 0; }

// The pilot clears the set, then misses every throw, continues each death and starts anew.
TEST(Game, AWholeGameFromTheFirstFrameToANewGame) {
  Pilot pilot;
  std::vector<View> views;
  std::vector<int> landings, splats, spaces;
  int winFlip = -1, lastPop = -1, newGame = -1;
  seam::play(
      [&](int flip, const View& view) {
        views.push_back(view);
        if (playedIn(studs, flip)) landings.push_back(flip);
        if (playedIn(splat, flip)) splats.push_back(flip);
        if (winFlip < 0 && playedIn(win, flip)) winFlip = flip;
        if (winFlip < 0 && playedIn(pop, flip)) lastPop = flip;
        // Throws of varied height cover the whole width.
        pilot.aim = winFlip < 0 ? 0.55f + 0.04f * static_cast<float>(landings.size() * 7 % 10) : -1;
        pilot.steer(view);
        if (!spaces.empty() && flip == spaces.back()) seam::release(SDLK_SPACE);
        if (!splats.empty() && flip == splats.back() + 5) {
          seam::press(SDLK_SPACE);
          spaces.push_back(flip + 1);
          if (view.textAt(308, 8) == "0") newGame = flip + 1;
        }
        return newGame < 0 || flip < newGame + 2;
      },
      60000);

  // The first frame: each row has drifted once before it is drawn, wrapping past x 320.
  const View& first = views.at(0);
  std::set<std::pair<int, int>> expected, shown;
  for (int c = 0; c < 17; ++c)
    for (auto [x, y] : {std::pair{20 * c + 2, 20}, {20 * c - 2, 40}, {20 * c + 12, 60}})
      expected.insert({x > 320 ? x - 340 : x, y});
  for (const seam::Placed& b : first.balloons) shown.insert({b.x, b.y});
  EXPECT_TRUE(first.balloons.size() == 51 && shown == expected);
  // The jumper has made one step from (100, 100), the board lies at 190, the music on.
  const seam::Placed &jumper = first.jumpers.at(0), &board = first.boards.at(0);
  EXPECT_EQ(say(jumper.x, jumper.y, board.x, board.y, seam::musicStarts()), "103 95 190 221 1 ");
  const std::pair<std::pair<int, int>, const char*> texts[] = {
      {{280, 8}, "Lives: 3"}, {{5, 2}, "Score:"}, {{38, 2}, "0"},
      {{5, 12}, "Level:"},    {{38, 12}, "0"},    {{96, 85}, "Grumo"}};
  for (const auto& [place, text] : texts) EXPECT_EQ(first.textAt(place.first, place.second), text);
  // Each row of balloons shows its row of the sheet and turns frame each 250 ms (a flip is 40).
  SDL_Surface* sheet = loadBMP(GRUMO_DATA_DIR "/gfx/balloon.bmp");
  for (int row = 0; row < 3; ++row)
    EXPECT_TRUE(seam::cutFrom(first.balloons.at(17 * row).image, sheet, 0, 16 * row)) << row;
  std::set<int> turns;
  for (int flip = 1; flip < 14; ++flip)
    for (int b : {0, 17, 34})
      if (views[flip].balloons.at(b).image != views[flip - 1].balloons.at(b).image)
        turns.insert(flip);
  EXPECT_EQ(turns, (std::set<int>{7, 13}));
  SDL_FreeSurface(sheet);

  // Each landing switches the name over the jumper, and the twin's font.
  ASSERT_GE(landings.size(), 2u);
  for (int n : {0, 1}) {
    const View& after = views[landings[n] + 1];
    const seam::Placed& jumper = after.jumpers.at(0);
    const int x = jumper.x - (n == 0 ? 40 : 7), y = jumper.y - 10;
    EXPECT_EQ(after.textAt(x, y), n == 0 ? "Grumos onda tvillinbror" : "Grumo");
    EXPECT_EQ(after.sheetAt(x, y) == first.sheetAt(280, 8), n == 1) << "the twin has his own font";
  }

  // The loop clears the set in the frame after its last pop and keeps its shorter period;
  // a splatted jumper lies still under a message until Space, whose press tips the board
  // (letting go does not) and takes the message away. The rules tables check what a clear and a
  // death do.
  ASSERT_GT(winFlip, 0) << "the set was never cleared";
  EXPECT_EQ(say(winFlip - lastPop, seam::delays()[winFlip - 1], seam::delays()[winFlip]),
            "1 40 35 ");
  ASSERT_GT(newGame, 0);
  for (size_t n = 0; n < spaces.size(); ++n) {
    const View &dead = views[splats[n] + 1], &back = views[spaces[n]], &on = views[spaces[n] + 1];
    EXPECT_EQ(
        say(dead.jumpers.at(0).y, dead.textAt(40, 100).empty(),
            back.boards.at(0).image == on.boards.at(0).image,
            back.boards[0].image == views[spaces[n] - 1].boards.at(0).image, on.textAt(40, 100)),
        say(222, 0, 1, 0, ""))
        << n;
  }
}

TEST(Game, FramesWaitOutThePeriodAndEscapeShowsTheCreditsUntilEscapeAgain) {
  // Each frame's cost; the frame reading Escape (6) still plays, then credits come each 20 ms.
  const Uint32 costs[] = {15, 45, 15, 40, 39, 0, 0, 0, 15, 0, 0, 0};
  std::vector<View> views;
  const int result = seam::play([&](int flip, const View& view) {
    views.push_back(view);
    seam::advance(flip < 12 ? costs[flip] : 0);
    SDL_Event quit{};
    quit.type = SDL_QUIT;  // the window's close button changes nothing
    seam::queueEvent(quit);
    if (flip == 5 || flip == 10) seam::press(SDLK_ESCAPE);
    if (flip == 8) seam::press(SDLK_SPACE);  // only Escape ends the credits
    return true;
  });
  EXPECT_EQ(result, 0);
  ASSERT_EQ(views.size(), 12u);
  EXPECT_EQ(seam::delays(), (std::vector<Uint32>{25, 25, 1, 40, 40, 20, 5, 20, 20, 20}));
  EXPECT_EQ(views[6].jumpers.size(), 1u);
  for (int flip = 7; flip < 12; ++flip) {
    std::set<int> rows;
    for (const seam::Glyph& g : views[flip].glyphs) rows.insert(g.y);
    EXPECT_EQ(say(views[flip].jumpers.size() + views[flip].balloons.size(), rows.size(),
                  *rows.begin(), *rows.rbegin(), views[flip].textAt(20, 20)),
              "0 12 20 130 Grumo Sproing ");
  }
}

}  // namespace
