#include "seam.h"

#include <unistd.h>

#include <cstdlib>
#include <deque>

#include "main.h"

extern "C" {
Uint32 __real_SDL_GetTicks(void);
int __real_SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect);
int __real_FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);
int __real_FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
}

namespace seam {
namespace {

struct State {
  Uint32 ticks = 0;
  Uint8 keys[SDLK_LAST] = {};
  std::deque<SDL_Event> events;
  std::vector<Blit> blits;
  std::vector<Uint32> delays;
  std::vector<Sound> sounds;
  int musicStarts = 0;
  int flips = 0;
  FlipHook hook;
  int maxFlips = 0;
  bool overran = false;
};

State& state() {
  static State s;
  return s;
}

SDL_Event keyEvent(Uint8 type, SDLKey key) {
  SDL_Event event{};
  event.type = type;
  event.key.type = type;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.sym = key;
  return event;
}

}  // namespace

void reset() {
  State& s = state();
  s.ticks = 0;
  std::fill(std::begin(s.keys), std::end(s.keys), 0);
  s.events.clear();
  s.blits.clear();
  s.delays.clear();
  s.sounds.clear();
  s.musicStarts = 0;
  s.flips = 0;
  s.hook = nullptr;
  s.maxFlips = 0;
  s.overran = false;
}

Uint32 now() { return state().ticks; }
void setNow(Uint32 ms) { state().ticks = ms; }
void advance(Uint32 ms) { state().ticks += ms; }

void press(SDLKey key) {
  queueEvent(keyEvent(SDL_KEYDOWN, key));
  state().keys[key] = 1;
}

void release(SDLKey key) {
  queueEvent(keyEvent(SDL_KEYUP, key));
  state().keys[key] = 0;
}

void hold(SDLKey key, bool held) { state().keys[key] = held ? 1 : 0; }
void queueEvent(const SDL_Event& event) { state().events.push_back(event); }

const std::vector<Blit>& frameBlits() { return state().blits; }
const std::vector<Uint32>& delays() { return state().delays; }
const std::vector<Sound>& sounds() { return state().sounds; }
int musicStarts() { return state().musicStarts; }
void forget() {
  state().delays.clear();
  state().sounds.clear();
}
int flips() { return state().flips; }
void onFlip(FlipHook hook) { state().hook = std::move(hook); }

int runGame(FlipHook hook, int maxFlips, std::function<void()> before) {
  reset();
  onFlip(std::move(hook));
  state().maxFlips = maxFlips;
  if (before) before();
  if (chdir(GRUMO_DATA_DIR) != 0) std::abort();
  return SDL_main(0, nullptr);
}

int playGame(std::function<bool(int flip)> script, int maxFlips, std::function<void()> before) {
  bool playing = true;
  return runGame(
      [&](SDL_Surface*, int flip) {
        if (playing) playing = script(flip);
        if (!playing) press(SDLK_ESCAPE);
      },
      maxFlips, std::move(before));
}

bool overran() { return state().overran; }

int countSounds(FSOUND_SAMPLE* sample, int from, int to) {
  int count = 0;
  for (const Sound& sound : state().sounds)
    if (sound.sample == sample && sound.frame >= from && sound.frame < to) ++count;
  return count;
}

}  // namespace seam

using seam::state;

extern "C" {

Uint32 __wrap_SDL_GetTicks(void) { return state().ticks; }

void __wrap_SDL_Delay(Uint32 ms) {
  state().delays.push_back(ms);
  state().ticks += ms;
}

int __wrap_SDL_PollEvent(SDL_Event* event) {
  auto& events = state().events;
  if (events.empty()) return 0;
  if (event) {
    *event = events.front();
    events.pop_front();
  }
  return 1;
}

Uint8* __wrap_SDL_GetKeyState(int* numkeys) {
  if (numkeys) *numkeys = SDLK_LAST;
  return state().keys;
}

int __wrap_SDL_Flip(SDL_Surface* screen) {
  seam::State& s = state();
  int flip = s.flips++;
  if (s.hook) s.hook(screen, flip);
  if (s.maxFlips > 0 && s.flips >= s.maxFlips) {
    // A script that never ends the game must not hang the suite.
    s.overran = true;
    seam::press(SDLK_ESCAPE);
  }
  s.blits.clear();
  return 0;
}

int __wrap_SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) {
  seam::Blit blit{src, srcrect != nullptr, {}, dst, dstrect != nullptr, {}};
  if (srcrect) blit.srcRect = *srcrect;
  if (dstrect) blit.dstRect = *dstrect;
  state().blits.push_back(blit);
  return __real_SDL_UpperBlit(src, srcrect, dst, dstrect);
}

int __wrap_FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
  state().sounds.push_back({state().flips, sample});
  return __real_FSOUND_PlaySound(channel, sample);
}

int __wrap_FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
  ++state().musicStarts;
  return __real_FSOUND_Stream_Play(channel, stream);
}
}
