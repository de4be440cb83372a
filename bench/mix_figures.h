// Figures of the game's sound as players hear it: the game's own sound calls
// mixed by SDL_mixer and taken from the mixer itself, in step with the test
// seam's clock, faster than real time and the same on every run. mix_test
// holds the mix to them; grumo_mix_report prints them.
#ifndef GRUMO_BENCH_MIX_FIGURES_H
#define GRUMO_BENCH_MIX_FIGURES_H

#include <SDL.h>

#include <functional>
#include <set>
#include <utility>
#include <vector>

#include "fsound.h"

namespace mix {

constexpr int kKnee = 24576;  // where the limiter starts to bend, 0.75 of full scale

// A stretch of the mix: its level, samples at full scale, samples the limiter bent, its peak.
struct Stretch {
  double dbfs;
  int clipped, bent, peak;
};
Stretch measure(size_t fromFrame, size_t toFrame);

// How far the loudest 50 ms of an effect, laid over the music, lifts it above
// the music alone, in dB: at 9 places of 10 at least `tenth`, at half `median`.
struct Rise {
  double tenth, median;
};
// For each effect (sound file, copies started in one frame), over the music at 200 places.
std::vector<Rise> rises(const std::vector<std::pair<const char*, int>>& effects);

// A landing and four pops in one frame, the fanfare and one more pop in the
// next, 20 ms later, at `places` places spread over the loop of the music.
// `check` sees the channels each pile-up's calls returned.
Stretch pileUps(int places, const std::function<void(const std::set<int>& channels)>& check);

// A minute of the real game: a pilot catches nine throws in ten and continues after each splat.
struct Minute {
  int pops, landings, splats, wins;
  Stretch sound;
};
Minute busyMinute();

}  // namespace mix

#endif
