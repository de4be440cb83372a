// Whole games through the real SDL_main, frame by frame, with scripted keys.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "autopilot.h"
#include "main.h"
#include "observe.h"
#include "seam.h"

namespace {

using seam::View;

int number(const View& view, int x, int y) { return std::atoi(view.textAt(x, y).c_str()); }
int lives(const View& view) { return number(view, 308, 8); }
int score(const View& view) { return number(view, 38, 2); }
int level(const View& view) { return number(view, 38, 12); }
bool showsDeathMessage(const View& view) { return view.textAt(40, 100).rfind("Aj vad", 0) == 0; }
bool showsGameOver(const View& view) { return view.textAt(40, 100).rfind("Nu ar du", 0) == 0; }
int soundsIn(FSOUND_SAMPLE* sample, int flip) { return seam::countSounds(sample, flip, flip + 1); }

// Every frame of a game as it was seen at its flip.
struct Recording {
  std::vector<View> frames;
  std::vector<Uint32> delays;
  int result = -1;
};

// Plays with `script` deciding, after each frame, what the player does next.
Recording record(std::function<bool(int, const std::vector<View>&)> script,
                 std::function<void()> before = nullptr) {
  Recording rec;
  rec.result = seam::playGame(
      [&](int flip) {
        rec.frames.push_back(seam::observeFrame());
        return script(flip, rec.frames);
      },
      200000, std::move(before));
  rec.delays = seam::delays();
  EXPECT_FALSE(seam::overran());
  return rec;
}

TEST(FrameLoop, waitsOutThePeriodAndNeverCatchesUp) {
  const std::vector<Uint32> costs = {15, 45, 15, 40, 39, 0};
  Recording rec = record([&](int flip, const std::vector<View>&) {
    seam::advance(costs[flip]);
    return flip + 1 < static_cast<int>(costs.size());
  });
  EXPECT_EQ(rec.result, 0);
  // The frame that read Escape costs nothing and still waits its 40 ms.
  EXPECT_EQ(rec.delays, (std::vector<Uint32>{25, 25, 1, 40, 40}));
}

TEST(FrameLoop, escapeFinishesTheFrameAndQuitIsIgnored) {
  std::vector<View> views;
  size_t delaysWhenEscapeRead = 0;
  int result = seam::runGame([&](SDL_Surface*, int flip) {
    views.push_back(seam::observeFrame());
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    seam::queueEvent(quit);  // the window-close event, every frame
    if (flip == 20) seam::press(SDLK_ESCAPE);
    if (flip == 21) delaysWhenEscapeRead = seam::delays().size();
    if (flip == 24) seam::press(SDLK_ESCAPE);
  });
  EXPECT_EQ(result, 0);
  ASSERT_EQ(views.size(), 26u);
  // Frame 21 read the Escape and was still drawn, flipped and timed.
  EXPECT_EQ(views[21].jumpers.size(), 1u);
  EXPECT_EQ(views[21].boards.size(), 1u);
  EXPECT_EQ(delaysWhenEscapeRead, 21u);
  EXPECT_EQ(seam::delays().size(), 22u);
  // Then the closing screen: no play field and no waiting.
  for (int flip = 22; flip < 26; ++flip) EXPECT_TRUE(views[flip].jumpers.empty());
  EXPECT_EQ(seam::musicStarts(), 1);
}

TEST(Game, firstFramePlacesTheField) {
  Recording rec = record([](int, const std::vector<View>&) { return false; });
  const View& first = rec.frames[0];
  ASSERT_EQ(first.balloons.size(), 51u);
  // Drawn row by row, each balloon having drifted once: rows 0 and 2 right, row 1 left.
  for (int row = 0; row < 3; ++row) {
    for (int c = 0; c < 17; ++c) {
      const seam::Placed& b = first.balloons[row * 17 + c];
      int x = 20 * c + (row == 2 ? 10 : 0) + (row == 1 ? -2 : 2);
      if (x > 320) x -= 340;  // past the right limit: round to the left one
      EXPECT_EQ(b.x, x) << "row " << row << " column " << c;
      EXPECT_EQ(b.y, 20 + 20 * row);
    }
  }
  EXPECT_EQ(first.board().x, 190);
  EXPECT_EQ(first.board().y, 221);
  // One motion step from (100, 100): x + 3, y - 5 + 0.5.
  EXPECT_EQ(first.jumper().x, 103);
  EXPECT_EQ(first.jumper().y, 95);
  EXPECT_EQ(lives(first), 3);
  EXPECT_EQ(score(first), 0);
  EXPECT_EQ(level(first), 0);
}

TEST(Game, arrowKeysSlideTheBoardWithinTheScreen) {
  std::vector<int> xs;
  auto boardTrack = [&](std::function<void(int)> keysFor) {
    xs.clear();
    record(
        [&](int flip, const std::vector<View>& frames) {
          xs.push_back(frames.back().board().x);
          keysFor(flip + 1);
          return flip < 80;
        },
        [&] { keysFor(0); });
  };
  // Left from the start: first drawn 5 to the left, then down to the edge and no further.
  boardTrack([](int) { seam::hold(SDLK_LEFT, true); });
  EXPECT_EQ(xs[0], 185);
  EXPECT_EQ(xs[37], 0);
  EXPECT_EQ(xs[38], 0);
  EXPECT_EQ(xs.back(), 0);

  boardTrack([](int) { seam::hold(SDLK_RIGHT, true); });
  EXPECT_EQ(xs[0], 195);
  EXPECT_EQ(xs[15], 270);
  EXPECT_EQ(xs.back(), 270);

  // Both held: still, except at the left edge, where Right wins by 5.
  boardTrack([](int) {
    seam::hold(SDLK_LEFT, true);
    seam::hold(SDLK_RIGHT, true);
  });
  EXPECT_EQ(xs[0], 190);
  EXPECT_EQ(xs.back(), 190);

  boardTrack([](int frame) {
    seam::hold(SDLK_LEFT, true);
    seam::hold(SDLK_RIGHT, frame >= 50);
  });
  EXPECT_EQ(xs[49], 0);
  EXPECT_EQ(xs[50], 5);
  EXPECT_EQ(xs.back(), 5);
}

TEST(Game, aLandingBouncesTheJumperOffTheOtherEnd) {
  seam::Autopilot pilot(0.8f);
  int landing = -1;
  Recording rec = record([&](int flip, const std::vector<View>& frames) {
    if (soundsIn(studs, flip) > 0) landing = flip;
    pilot.steer(frames.back());
    return (landing < 0 || flip < landing + 2) && flip < 2000;
  });
  ASSERT_GT(landing, 0);
  EXPECT_EQ(soundsIn(studs, landing), 1);
  EXPECT_EQ(seam::countSounds(splat), 0);
  const View& at = rec.frames[landing];
  // Caught on the left half of the untipped board: put on its right end.
  EXPECT_EQ(at.jumper().x, at.board().x + 50 - 17);
  EXPECT_EQ(at.jumper().y, 221 - 17);
  // The tilt changes from the next frame on, and the jumper rises.
  const View& after = rec.frames[landing + 1];
  EXPECT_NE(after.board().image, at.board().image);
  EXPECT_LT(after.jumper().y, 204);
}

// Plays with the autopilot until `pops` balloons are popped, then lets the
// jumper fall beside the board and waits `wait` frames after the splat;
// then `onDead` runs every frame until it returns false.
struct DeathScript {
  int pops = 5;
  int wait = 10;
  std::function<bool(int flip, int splatFlip)> onDead;
};

Recording dieAfterPops(const DeathScript& script, seam::Autopilot& pilot) {
  int splatFlip = -1;
  return record([&](int flip, const std::vector<View>& frames) {
    const View& view = frames.back();
    if (splatFlip < 0 && soundsIn(splat, flip) > 0) splatFlip = flip;
    if (splatFlip < 0) {
      if (seam::countSounds(pop) < script.pops) {
        pilot.steer(view);
      } else {
        // Keep the board on the far side from the jumper.
        bool jumperLeft = view.jumper().x < 160;
        seam::hold(SDLK_LEFT, !jumperLeft);
        seam::hold(SDLK_RIGHT, jumperLeft);
      }
      return flip < 20000;
    }
    pilot.letGo();
    if (flip < splatFlip + script.wait) return true;
    return script.onDead(flip, splatFlip);
  });
}

TEST(Game, aMissSplatsAndWaitsThenSpaceContinues) {
  seam::Autopilot pilot;
  int splatFlip = -1;
  int continued = -1;
  DeathScript script;
  script.wait = 30;
  script.onDead = [&](int flip, int splatAt) {
    splatFlip = splatAt;
    if (continued < 0) {
      seam::press(SDLK_SPACE);  // pressed now, seen held in the next frame
      continued = flip + 1;
    }
    return flip < continued + 10;
  };
  Recording rec = dieAfterPops(script, pilot);
  ASSERT_GT(splatFlip, 0);
  ASSERT_GT(continued, 0);
  const std::vector<View>& f = rec.frames;
  EXPECT_EQ(soundsIn(splat, splatFlip), 1);
  EXPECT_EQ(f[splatFlip].jumper().y, 222);
  // Waiting: the crashed jumper lies still, the death message shows, no sound.
  for (int flip = splatFlip + 1; flip < continued; ++flip) {
    EXPECT_EQ(f[flip].jumper().x, f[splatFlip].jumper().x);
    EXPECT_EQ(f[flip].jumper().y, 222);
    EXPECT_TRUE(showsDeathMessage(f[flip])) << flip;
    EXPECT_EQ(lives(f[flip]), 3);
    EXPECT_EQ(seam::countSounds(splat, flip, flip + 1) + seam::countSounds(studs, flip, flip + 1),
              0);
  }
  // Space: one life less, thrown up from y 210, balloons not mended, score kept.
  const View& back = f[continued];
  EXPECT_EQ(lives(back), 2);
  EXPECT_EQ(back.jumper().y, 210);
  EXPECT_EQ(back.jumper().x, f[splatFlip].jumper().x);
  EXPECT_EQ(back.balloons.size(), f[continued - 1].balloons.size());
  EXPECT_LT(back.balloons.size(), 51u);
  EXPECT_EQ(score(back), score(f[splatFlip]));
  // The press tipped the board once, though Space stays held.
  EXPECT_NE(back.board().image, f[continued - 1].board().image);
  for (int flip = continued + 1; flip < continued + 10; ++flip) {
    EXPECT_EQ(f[flip].board().image, back.board().image);
    EXPECT_LT(f[flip].jumper().y, f[flip - 1].jumper().y);
    EXPECT_FALSE(showsDeathMessage(f[flip]));
  }
}

TEST(Game, spaceHeldAtTheSplatBringsTheJumperBackNextFrame) {
  seam::Autopilot pilot;
  int splatFlip = -1;
  Recording rec = record([&](int flip, const std::vector<View>& frames) {
    const View& view = frames.back();
    if (splatFlip >= 0) return flip < splatFlip + 3;
    if (soundsIn(splat, flip) > 0) {
      splatFlip = flip;
      return true;
    }
    if (seam::countSounds(studs) < 2) {
      pilot.steer(view);
    } else {
      pilot.letGo();
      seam::hold(SDLK_SPACE, true);  // held long before the splat
      bool jumperLeft = view.jumper().x < 160;
      seam::hold(SDLK_LEFT, !jumperLeft);
      seam::hold(SDLK_RIGHT, jumperLeft);
    }
    return flip < 20000;
  });
  ASSERT_GT(splatFlip, 0);
  const std::vector<View>& f = rec.frames;
  EXPECT_FALSE(showsDeathMessage(f[splatFlip]));
  EXPECT_TRUE(showsDeathMessage(f[splatFlip + 1]));
  EXPECT_EQ(f[splatFlip + 1].jumper().y, 210);
  EXPECT_EQ(lives(f[splatFlip + 1]), 2);
  EXPECT_FALSE(showsDeathMessage(f[splatFlip + 2]));
}

// The autopilot clears a whole set; then the player gives up and loses every
// life, and a new game goes on at the level and speed reached.
TEST(Game, aClearedSetSpeedsUpAndANewGameKeepsLevelAndSpeed) {
  seam::Autopilot pilot(0.9f);
  int winFlip = -1;
  int lastPopFlip = -1;
  int multiPopFlip = -1;
  int deaths = 0;
  int gameOverFlip = -1;
  int newGameFlip = -1;
  Recording rec = record([&](int flip, const std::vector<View>& frames) {
    const View& view = frames.back();
    int pops = soundsIn(pop, flip);
    if (pops >= 2 && multiPopFlip < 0) multiPopFlip = flip;
    if (winFlip < 0 && soundsIn(win, flip) > 0) winFlip = flip;
    if (winFlip < 0 && pops > 0) lastPopFlip = flip;
    if (winFlip < 0) {
      // Vary the throw so the jumper covers the whole width.
      pilot.setAim(0.55f + 0.4f * static_cast<float>((seam::countSounds(studs) * 7) % 10) / 10.0f);
      pilot.steer(view);
      return flip < 60000;
    }
    pilot.letGo();
    if (newGameFlip >= 0) return flip < newGameFlip + 5;
    if (soundsIn(splat, flip) > 0) ++deaths;
    bool dead = view.jumper().y == 222 || showsDeathMessage(view) || showsGameOver(view);
    if (showsGameOver(view) && gameOverFlip < 0) gameOverFlip = flip;
    if (gameOverFlip >= 0 && flip == gameOverFlip + 5) {
      seam::press(SDLK_SPACE);
      newGameFlip = flip + 1;
      return true;
    }
    if (dead && gameOverFlip < 0 && soundsIn(splat, flip) == 0) {
      seam::press(SDLK_SPACE);
    } else {
      seam::release(SDLK_SPACE);
    }
    bool jumperLeft = view.jumper().x < 160;
    seam::hold(SDLK_LEFT, !jumperLeft);
    seam::hold(SDLK_RIGHT, jumperLeft);
    return flip < 100000;
  });
  ASSERT_GT(winFlip, 0) << "the autopilot never cleared the set";
  const std::vector<View>& f = rec.frames;
  // The set clears in the frame after its last pop, with all 51 counted.
  EXPECT_EQ(winFlip, lastPopFlip + 1);
  EXPECT_EQ(seam::countSounds(pop, 0, winFlip), 51);
  EXPECT_EQ(seam::countSounds(win), 1);
  EXPECT_GE(multiPopFlip, 0) << "no frame popped two balloons";
  // The score is written before the balloons are tested, so the full 102
  // shows from the clearing frame on.
  EXPECT_EQ(score(f[winFlip]), 102);
  EXPECT_EQ(lives(f[winFlip]), lives(f[lastPopFlip]) + 1);
  EXPECT_EQ(level(f[winFlip]), 1);
  EXPECT_EQ(f[winFlip].balloons.size(), 51u);
  // Period 40 before, 35 from the clearing frame on (frames cost nothing here).
  EXPECT_EQ(rec.delays[winFlip - 1], 40u);
  EXPECT_EQ(rec.delays[winFlip], 35u);

  ASSERT_GT(gameOverFlip, 0);
  EXPECT_EQ(deaths, lives(f[winFlip]) + 1);
  EXPECT_EQ(lives(f[gameOverFlip]), 0);
  EXPECT_EQ(f[gameOverFlip].textAt(40, 120).rfind("Tryck space", 0), 0u);
  ASSERT_GT(newGameFlip, 0);
  const View& fresh = f[newGameFlip];
  EXPECT_EQ(lives(fresh), 3);
  EXPECT_EQ(score(fresh), 0);
  EXPECT_EQ(level(fresh), 1);
  EXPECT_EQ(fresh.balloons.size(), 51u);
  EXPECT_EQ(fresh.jumper().y, 210);
  EXPECT_EQ(rec.delays[newGameFlip], 35u);
}

}  // namespace
