// The sound as players hear it, from the game's own sound calls (bench/mix_figures).
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "mix_figures.h"
#include "seam.h"
#include "sound_rules.h"

// Each effect alone, and four pops in one frame, over the music.
TEST(Mix, EveryEffectIsHeardOverTheMusicAndNoneTowers) {
  const char* names[] = {"pop.wav", "splat.wav", "studs.wav", "win.wav"};
  const auto rises =
      mix::rises({{names[0], 1}, {names[1], 1}, {names[2], 1}, {names[3], 1}, {names[0], 4}});
  std::vector<double> medians;
  for (int effect = 0; effect < 4; ++effect) {
    EXPECT_GE(rises[effect].tenth, 6.0) << names[effect] << " rises less at 1 place in 10";
    medians.push_back(rises[effect].median);
  }
  const auto [lowest, highest] = std::minmax_element(medians.begin(), medians.end());
  EXPECT_LE(*highest - *lowest, 10.0) << "an effect towers over another";
  EXPECT_NEAR(rises[4].median, rises[0].median, 0.5) << "four pops in one frame sound like one pop";
}

// More than play brings together (a pop and a landing never share a frame), anywhere in the music.
TEST(Mix, TheLoudestPileUpDoesNotClipAnywhereInTheMusic) {
  const mix::Stretch sound = mix::pileUps(24, [](const std::set<int>& channels) {
    // Pops a frame apart are two pops, each on a channel of its own.
    EXPECT_TRUE(channels.size() == 4 && *channels.begin() >= 0 && Mix_Playing(-1) == 4);
  });
  EXPECT_EQ(sound.clipped, 0);
  EXPECT_GT(sound.peak, mix::kKnee) << "as loud as a pile-up should be";
  // However loud the mix, the limiter's curve rises and never passes full scale.
  for (float x = 0, last = 0; x < 4; last = limited(x), x += 0.01f)
    EXPECT_TRUE(limited(x) >= last && limited(x) <= 1 && limited(-x) == -limited(x)) << x;
}

// Before the mix kept headroom this minute came out at -19.5 dBFS; it must
// not lose more than 3 dB, nor lean on the limiter.
TEST(Mix, ABusyMinuteOfPlayStaysLoudAndNeverClips) {
  const mix::Minute minute = mix::busyMinute();
  EXPECT_TRUE(minute.pops >= 60 && minute.landings >= 20 && minute.splats >= 2 && minute.wins >= 1)
      << seam::say("pops, landings, splats, wins:", minute.pops, minute.landings, minute.splats,
                   minute.wins);
  EXPECT_EQ(minute.sound.clipped, 0);
  EXPECT_LT(minute.sound.bent, 44100 * 60 * 2 / 5000) << "samples bent by the limiter";
  EXPECT_GE(minute.sound.dbfs, -19.5 - 3);
}

// A start that failed (no channel free) is no playback to join: the next one tries again.
TEST(Mix, AStartThatFailedIsTriedAgain) {
  ASSERT_NE(FSOUND_Init(44100, 64, 0), 0);
  FSOUND_SAMPLE* pop = FSOUND_Sample_Load(FSOUND_FREE, GRUMO_DATA_DIR "/sound/pop.wav", 0, 0, 0);
  EXPECT_EQ(Mix_AllocateChannels(-1), 64) << "channels the game asked for";
  Mix_AllocateChannels(0);
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, pop), -1);
  Mix_AllocateChannels(64);
  EXPECT_GE(FSOUND_PlaySound(FSOUND_FREE, pop), 0);
}
