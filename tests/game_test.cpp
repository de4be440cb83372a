// Whole games through the real SDL_main, frame by frame, with scripted keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "main.h"
#include "seam.h"

namespace {

using seam::View;

int number(const View& view, int x, int y) { return std::atoi(view.textAt(x, y).c_str()); }
int lives(const View& view) { return number(view, 308, 8); }
int score(const View& view) { return number(view, 38, 2); }
bool playedIn(FSOUND_SAMPLE* sample, int flip) { return seam::sounds(sample, flip, flip + 1) > 0; }

// Slides the board so that the falling jumper comes down `aim` of the way from
// the middle to the outer end of the raised half (or, with aim below 0, beside
// the board), and tips the board when only its other half can reach.
struct Pilot {
  explicit Pilot(float aim) : aim(aim) {}
  float aim;
  SDL_Surface* untipped = nullptr;
  View last;

  void steer(const View& view) {
    seam::release(SDLK_SPACE);
    if (view.jumpers.empty() || view.boards.empty()) return;
    const seam::Placed &jumper = view.jumpers[0], &board = view.boards[0];
    if (!untipped) untipped = board.image;
    int dx = last.jumpers.empty() ? 0 : jumper.x - last.jumpers[0].x;
    const bool falling = !last.jumpers.empty() && jumper.y > last.jumpers[0].y;
    last = view;
    if (std::abs(dx) > 6) dx = 0;  // a wall or a new throw, not a speed
    const float centre = static_cast<float>(jumper.x + dx + 8);
    float target = board.image == untipped ? centre - 25 * (1 - aim) : centre - 25 - 25 * aim;
    if (aim < 0) target = centre < 160 ? 270 : 0;
    if (aim >= 0 && (target < -1 || target > 271) && falling) seam::press(SDLK_SPACE);
    target = std::clamp(target, 0.0f, 270.0f);
    seam::hold(SDLK_LEFT, board.x > target + 2);
    seam::hold(SDLK_RIGHT, board.x < target - 2);
  }
};

TEST(Game, FirstFramePlacesTheFieldAndTheText) {
  View first;
  EXPECT_EQ(seam::play([&](int flip, const View& view) {
              if (flip == 0) first = view;
              return false;
            }),
            0);
  // Rows drift once before they are drawn, wrapping past x 320.
  std::set<std::pair<int, int>> expected, shown;
  for (int c = 0; c < 17; ++c)
    for (auto [x, y] : {std::pair{20 * c + 2, 20}, {20 * c - 2, 40}, {20 * c + 12, 60}})
      expected.insert({x > 320 ? x - 340 : x, y});
  for (const seam::Placed& b : first.balloons) shown.insert({b.x, b.y});
  EXPECT_EQ(first.balloons.size(), 51u);
  EXPECT_EQ(shown, expected);
  // One motion step from (100, 100): x + 3, y - 5 + 0.5.
  ASSERT_EQ(first.jumpers.size(), 1u);
  EXPECT_EQ(std::make_pair(first.jumpers[0].x, first.jumpers[0].y), std::make_pair(103, 95));
  ASSERT_EQ(first.boards.size(), 1u);
  EXPECT_EQ(std::make_pair(first.boards[0].x, first.boards[0].y), std::make_pair(190, 221));
  const std::pair<std::pair<int, int>, const char*> texts[] = {
      {{280, 8}, "Lives: 3"}, {{308, 8}, "3"}, {{5, 2}, "Score:"}, {{38, 2}, "0"},
      {{5, 12}, "Level:"},    {{38, 12}, "0"}, {{96, 85}, "Grumo"}};
  for (const auto& [at, text] : texts) EXPECT_EQ(first.textAt(at.first, at.second), text);
  EXPECT_EQ(first.sheetAt(96, 85), first.sheetAt(280, 8));
  EXPECT_EQ(seam::musicStarts(), 1);
}

TEST(Game, FramesWaitOutThePeriodAndEscapeShowsTheCreditsUntilEscapeAgain) {
  // Cost of each frame on the clock; the frame that reads Escape (6) is still
  // drawn and timed, then the credits are redrawn at most every 20 ms.
  const Uint32 costs[] = {15, 45, 15, 40, 39, 0, 0, 0, 15, 0, 0, 0};
  std::vector<View> views;
  const int result = seam::play([&](int flip, const View& view) {
    views.push_back(view);
    seam::advance(flip < 12 ? costs[flip] : 0);
    SDL_Event quit{};
    quit.type = SDL_QUIT;  // the window's close button changes nothing
    seam::queueEvent(quit);
    if (flip == 5 || flip == 10) seam::press(SDLK_ESCAPE);
    return true;
  });
  EXPECT_EQ(result, 0);
  ASSERT_EQ(views.size(), 12u);
  EXPECT_EQ(seam::delays(), (std::vector<Uint32>{25, 25, 1, 40, 40, 20, 5, 20, 20, 20}));
  EXPECT_EQ(views[6].jumpers.size(), 1u);
  for (int flip = 7; flip < 12; ++flip) {
    EXPECT_TRUE(views[flip].jumpers.empty() && views[flip].balloons.empty());
    std::set<int> rows;
    for (const seam::Glyph& g : views[flip].glyphs) rows.insert(g.y);
    EXPECT_EQ(rows.size(), 12u);
    EXPECT_EQ(*rows.begin(), 20);
    EXPECT_EQ(*rows.rbegin(), 130);
    EXPECT_EQ(views[flip].textAt(20, 20), "Grumo Sproing");
  }
}

TEST(Game, EachLandingSwitchesTheNameOverTheJumper) {
  Pilot pilot(0.5f);
  std::vector<int> landings;
  std::vector<View> views;
  seam::play([&](int flip, const View& view) {
    views.push_back(view);
    if (playedIn(studs, flip)) landings.push_back(flip);
    pilot.steer(view);
    return landings.size() < 3 && !playedIn(splat, flip);
  });
  ASSERT_EQ(landings.size(), 3u);
  for (size_t n = 0; n < landings.size(); ++n) {
    const View& after = views[landings[n] + 1];
    const int x = after.jumpers.at(0).x, y = after.jumpers.at(0).y - 10;
    if (n % 2 == 0) {
      EXPECT_EQ(after.textAt(x - 40, y), "Grumos onda tvillinbror");
      EXPECT_NE(after.sheetAt(x - 40, y), after.sheetAt(280, 8));
    } else {
      EXPECT_EQ(after.textAt(x - 7, y), "Grumo");
    }
    EXPECT_EQ(views[landings[n]].jumpers[0].y, 204);
    EXPECT_NE(after.boards[0].image, views[landings[n]].boards[0].image);
  }
}

TEST(Game, SplatsAreContinuedWithSpaceUntilTheGameIsOverAndSpaceStartsAgain) {
  Pilot pilot(-1);
  std::vector<int> splats, spaces;
  std::vector<View> views;
  seam::play([&](int flip, const View& view) {
    views.push_back(view);
    if (playedIn(splat, flip)) splats.push_back(flip);
    seam::release(SDLK_SPACE);
    if (!splats.empty() && flip == splats.back() + 5) {
      seam::press(SDLK_SPACE);
      spaces.push_back(flip + 1);
    } else if (spaces.empty() || flip > spaces.back()) {
      pilot.steer(view);
    }
    return spaces.size() < 5;
  });
  ASSERT_EQ(spaces.size(), 5u);
  const char* messages[] = {"Aj vad doed du aer.", "Nu ar du inte saa kaxig va?!?"};
  const int livesWhenDead[] = {3, 2, 1, 0, 3};
  for (int n = 0; n < 5; ++n) {
    SCOPED_TRACE(n);
    const View& dead = views[splats[n] + 1];
    const View& back = views[spaces[n]];
    EXPECT_EQ(views[splats[n]].jumpers.at(0).y, 222);
    EXPECT_EQ(dead.textAt(40, 100).rfind(messages[n == 3], 0), 0u);
    EXPECT_EQ(dead.jumpers.at(0).y, 222);
    EXPECT_EQ(lives(dead), livesWhenDead[n]);
    EXPECT_EQ(back.jumpers.at(0).y, 210);
    EXPECT_EQ(lives(back), n == 3 ? 3 : livesWhenDead[n] - 1);
    EXPECT_NE(back.boards[0].image, views[spaces[n] - 1].boards[0].image);
    EXPECT_TRUE(views[spaces[n] + 1].textAt(40, 100).empty());
  }
}

// The pilot clears a whole set; then the player lets every life go, and a new
// game goes on at the level and speed reached.
TEST(Game, AClearedSetSpeedsUpAndANewGameKeepsLevelAndSpeed) {
  Pilot pilot(0.9f);
  int winFlip = -1, lastPop = -1, twoPops = -1, newGame = -1, landings = 0;
  std::vector<View> views;
  seam::play(
      [&](int flip, const View& view) {
        views.push_back(view);
        if (seam::sounds(pop, flip, flip + 1) > 1 && twoPops < 0) twoPops = flip;
        if (winFlip < 0 && playedIn(win, flip)) winFlip = flip;
        if (winFlip < 0 && playedIn(pop, flip)) lastPop = flip;
        landings += playedIn(studs, flip);
        // Throws of varied height cover the whole width.
        pilot.aim = winFlip < 0 ? 0.55f + 0.04f * static_cast<float>((landings * 7) % 10) : -1;
        const bool over = view.textAt(40, 100).rfind("Nu ar", 0) == 0;
        if (over && newGame < 0) {
          seam::press(SDLK_SPACE);
          newGame = flip + 1;
        } else {
          pilot.steer(view);
          seam::hold(SDLK_SPACE, newGame < 0 && !view.textAt(40, 100).empty());
        }
        return newGame < 0 || flip < newGame + 2;
      },
      60000);
  ASSERT_GT(winFlip, 0) << "the set was never cleared";
  ASSERT_GT(newGame, 0);
  // The set clears in the frame after its last pop, with all 51 counted.
  EXPECT_EQ(winFlip, lastPop + 1);
  EXPECT_EQ(seam::sounds(pop, 0, winFlip), 51);
  EXPECT_GT(twoPops, 0) << "no frame popped two balloons";
  const View& cleared = views[winFlip];
  EXPECT_EQ(score(cleared), 102);
  EXPECT_EQ(lives(cleared), lives(views[lastPop]) + 1);
  EXPECT_EQ(number(cleared, 38, 12), 1);
  EXPECT_EQ(cleared.balloons.size(), 51u);
  EXPECT_EQ(seam::delays()[winFlip - 1], 40u);
  EXPECT_EQ(seam::delays()[winFlip], 35u);
  const View& fresh = views[newGame];
  EXPECT_EQ(lives(fresh), 3);
  EXPECT_EQ(score(fresh), 0);
  EXPECT_EQ(number(fresh, 38, 12), 1);
  EXPECT_EQ(fresh.balloons.size(), 51u);
  EXPECT_EQ(seam::delays()[newGame], 35u);
}

}  // namespace
