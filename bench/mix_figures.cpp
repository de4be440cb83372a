#include "mix_figures.h"

#include <SDL_mixer.h>
#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "main.h"
#include "pilot.h"

namespace mix {
namespace {

SDL_AudioSpec mixer;        // as SDL_mixer asked for it, with its own callback
std::vector<Sint16> heard;  // stereo, from tick 0 on
constexpr size_t k50ms = 2205;

// Mixes on up to the clock in blocks no larger than a device's; a sound the
// game starts sounds from the end of the last block. Returns the frames heard.
size_t mixUntil(Uint32 ms) {
  seam::advance(ms - SDL_GetTicks());
  const size_t samples = ms * size_t{441} / 5;
  while (heard.size() < samples) {
    std::vector<Sint16> block(std::min<size_t>(samples - heard.size(), 1024));
    mixer.callback(mixer.userdata, reinterpret_cast<Uint8*>(block.data()), 2 * block.size());
    heard.insert(heard.end(), block.begin(), block.end());
  }
  return heard.size() / 2;
}

size_t mixFor(Uint32 ms) { return mixUntil(SDL_GetTicks() + ms); }

FSOUND_SAMPLE* load(const char* name) {
  return FSOUND_Sample_Load(FSOUND_FREE, (GRUMO_DATA_DIR "/sound/" + std::string(name)).c_str(),
                            FSOUND_2D, 0, 0);
}

// Level of the frames [at, at + length) in dBFS, with `over` (from its own start) laid over them.
double dbfs(size_t at, size_t length, const Sint16* over = nullptr) {
  double sum = 1e-9;
  for (size_t i = 0; i < 2 * length; ++i) {
    const double sample = heard[2 * at + i] + (over ? over[i] : 0);
    sum += sample * sample;
  }
  return 10 * std::log10(sum / (2.0 * length * 32768 * 32768));
}

void startSoundAndMusic() {
  FSOUND_Init(44100, 64, 0);
  FSOUND_Stream_Play(
      FSOUND_FREE, FSOUND_Stream_Open(GRUMO_DATA_DIR "/sound/music.mp3", FSOUND_LOOP_NORMAL, 0, 0));
}

}  // namespace

Stretch measure(size_t fromFrame, size_t toFrame) {
  Stretch s{dbfs(fromFrame, toFrame - fromFrame), 0, 0, 0};
  for (size_t i = 2 * fromFrame; i < 2 * toFrame; ++i) {
    const int size = std::abs(heard[i]);
    s.clipped += size >= 32767, s.bent += size > kKnee, s.peak = std::max(s.peak, size);
  }
  return s;
}

std::vector<Rise> rises(const std::vector<std::pair<const char*, int>>& effects) {
  FSOUND_Init(44100, 64, 0);
  std::vector<size_t> loudest;
  for (auto [name, copies] : effects) {
    FSOUND_SAMPLE* sample = load(name);
    const size_t from = mixFor(0);
    for (int copy = 0; copy < copies; ++copy) FSOUND_PlaySound(FSOUND_FREE, sample);
    const size_t to = mixFor(1500);
    loudest.push_back(from);
    for (size_t at = from; at + k50ms < to; at += 44)
      if (dbfs(at, k50ms) > dbfs(loudest.back(), k50ms)) loudest.back() = at;
  }
  startSoundAndMusic();
  const size_t start = mixFor(0), loop = mixFor(32000) - start;
  std::vector<Rise> figures;
  for (size_t effect : loudest) {
    std::vector<double> rise;
    for (size_t at = start; at + k50ms < start + loop; at += loop / 200)
      rise.push_back(dbfs(at, k50ms, &heard[2 * effect]) - dbfs(at, k50ms));
    std::sort(rise.begin(), rise.end());
    figures.push_back({rise[rise.size() / 10], rise[rise.size() / 2]});
  }
  return figures;
}

Stretch pileUps(int places, const std::function<void(const std::set<int>&)>& check) {
  startSoundAndMusic();
  FSOUND_SAMPLE *studs = load("studs.wav"), *pop = load("pop.wav"), *win = load("win.wav");
  const size_t start = mixFor(1000);
  for (int place = 0; place < places; ++place) {
    std::set<int> channels = {FSOUND_PlaySound(FSOUND_FREE, studs)};
    for (int i = 0; i < 4; ++i) channels.insert(FSOUND_PlaySound(FSOUND_FREE, pop));
    mixFor(20);
    channels.insert({FSOUND_PlaySound(FSOUND_FREE, win), FSOUND_PlaySound(FSOUND_FREE, pop)});
    check(channels);
    mixFor(1300 + 37 * place);
  }
  return measure(start, mixFor(0));
}

Minute busyMinute() {
  Pilot pilot;
  int splatAt = -10, counts[4] = {};
  heard.clear();
  seam::play([&](int flip, const seam::View& view) {
    mixUntil(SDL_GetTicks());
    int kind = 0;
    for (FSOUND_SAMPLE* sample : {pop, studs, splat, win})
      counts[kind++] += seam::sounds(sample, flip, flip + 1);
    if (seam::sounds(splat, flip, flip + 1)) splatAt = flip;
    const int throws = counts[1] + counts[2];
    pilot.aim = throws % 10 == 9 ? -1 : 0.55f + 0.04f * static_cast<float>(counts[1] * 7 % 10);
    pilot.steer(view);
    if (flip == splatAt + 5) seam::press(SDLK_SPACE);
    return SDL_GetTicks() < 60000;
  });
  return {counts[0], counts[1], counts[2], counts[3], measure(0, heard.size() / 2)};
}

}  // namespace mix

// SDL_mixer opens its device through here: the device plays silence, the mix comes to us.
extern "C" int SDL_OpenAudio(SDL_AudioSpec* desired, SDL_AudioSpec* obtained) {
  using Open = int (*)(SDL_AudioSpec*, SDL_AudioSpec*);
  static const Open open = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "SDL_OpenAudio"));
  mix::mixer = *desired;
  SDL_AudioSpec quiet = *desired;
  quiet.callback = [](void*, Uint8* stream, int length) { std::fill_n(stream, length, 0); };
  return open(&quiet, obtained);
}
