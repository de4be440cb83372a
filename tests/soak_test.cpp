// A million frames of seeded random play through the real SDL_main: nothing
// may crash, and memory must not grow while the game runs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <random>

#include "autopilot.h"
#include "main.h"
#include "seam.h"

namespace {

long residentBytes() {
  long pages = 0;
  long resident = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return -1;
  if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = -1;
  std::fclose(statm);
  return resident * sysconf(_SC_PAGESIZE);
}

TEST(Soak, aMillionFramesOfRandomPlay) {
  const int frames = 1000000;
  std::mt19937 random(20261206);
  seam::Autopilot pilot(0.8f);
  long residentEarly = 0;
  long pops = 0;
  long splats = 0;
  long wins = 0;
  int result = seam::playGame(
      [&](int flip) {
        for (const seam::Sound& s : seam::sounds()) {
          pops += s.sample == pop;
          splats += s.sample == splat;
          wins += s.sample == win;
        }
        seam::forget();
        if (flip == 1000) residentEarly = residentBytes();
        // Stretches of good play clear sets and speed the game up; stretches
        // of random keys lose lives, end games and start new ones.
        if ((flip / 4000) % 2 == 0) {
          pilot.steer(seam::observeFrame());
          if (random() % 50 == 0)
            seam::press(SDLK_SPACE);
          else
            seam::release(SDLK_SPACE);
        } else {
          std::uniform_int_distribution<int> key(0, 9);
          seam::hold(SDLK_LEFT, key(random) < 3);
          seam::hold(SDLK_RIGHT, key(random) < 3);
          if (key(random) == 0)
            seam::press(SDLK_SPACE);
          else
            seam::release(SDLK_SPACE);
        }
        return flip < frames;
      },
      frames + 100);
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(seam::overran());
  long growth = residentBytes() - residentEarly;
  EXPECT_LT(growth, 1024 * 1024) << "resident memory grew by " << growth << " bytes";
  // The run went through every part of the game.
  EXPECT_GT(pops, 10000);
  EXPECT_GT(splats, 100);
  EXPECT_GT(wins, 10);
}

}  // namespace
