#include "seam.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <deque>

#include "main.h"

extern "C" {
int __real_SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect);
int __real_FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);
int __real_FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
}

namespace seam {
namespace {

struct Sound {
  int flip;
  FSOUND_SAMPLE* sample;
};

struct State {
  Uint32 ticks = 0;
  Uint8 keys[SDLK_LAST] = {};
  std::deque<SDL_Event> events;
  View view;
  std::vector<Uint32> delays;
  std::vector<Sound> sounds;
  int musicStarts = 0;
  int flips = 0;
  std::function<void(const View&)> onFlip;
} s;

void keyEvent(Uint8 type, SDLKey key) {
  SDL_Event event{};
  event.type = event.key.type = type;
  event.key.keysym.sym = key;
  queueEvent(event);
  s.keys[key] = type == SDL_KEYDOWN;
}

int glyphWidth(char letter) {
  static int widths[cFont::numGlyphs];
  if (!widths[0]) createList(widths);
  const char* at = std::strchr(cFont::glyphs, letter);
  return at ? widths[at - cFont::glyphs] : 3;
}

Uint32 rgb(SDL_Surface* surface, int x, int y) {
  Uint32 raw = 0;
  const int size = surface->format->BytesPerPixel;
  std::memcpy(&raw, static_cast<Uint8*>(surface->pixels) + y * surface->pitch + x * size, size);
  Uint8 r, g, b;
  SDL_GetRGB(raw, surface->format, &r, &g, &b);
  return r << 16 | g << 8 | b;
}

}  // namespace

bool cutFrom(SDL_Surface* cut, SDL_Surface* sheet, int x, int y) {
  for (int j = 0; cut && j < cut->h; ++j)
    for (int i = 0; i < cut->w; ++i)
      if (rgb(cut, i, j) != rgb(sheet, x + i, y + j)) return false;
  return cut != nullptr;
}

std::string View::textAt(int x, int y) const {
  std::string text;
  int next = x;
  for (const Glyph& g : glyphs) {
    if (g.y != y || (text.empty() && g.x != x)) continue;
    // A space is 4 on; a text box leaves 3 between its words.
    if (g.x == next + 3 || g.x == next + 4) text += ' ';
    if (g.x != next && g.x != next + 3 && g.x != next + 4) break;
    text += g.letter;
    next = g.x + glyphWidth(g.letter) + 1;
  }
  return text;
}

SDL_Surface* View::sheetAt(int x, int y) const {
  for (const Glyph& g : glyphs)
    if (g.x == x && g.y == y) return g.sheet;
  return nullptr;
}

void reset() { s = State(); }
Uint32 now() { return s.ticks; }
void advance(Uint32 ms) { s.ticks += ms; }
void press(SDLKey key) { keyEvent(SDL_KEYDOWN, key); }
void release(SDLKey key) { keyEvent(SDL_KEYUP, key); }
void hold(SDLKey key, bool held) { s.keys[key] = held; }
void queueEvent(const SDL_Event& event) { s.events.push_back(event); }
View frame() { return s.view; }
const std::vector<Uint32>& delays() { return s.delays; }
int musicStarts() { return s.musicStarts; }

int sounds(FSOUND_SAMPLE* sample, int from, int to) {
  int count = 0;
  for (const Sound& sound : s.sounds)
    count += sound.sample == sample && sound.flip >= from && sound.flip < to;
  return count;
}

int play(const std::function<bool(int, const View&)>& script, int maxFlips) {
  reset();
  bool playing = true;
  s.onFlip = [&](const View& view) {
    playing = script(s.flips, view) && playing;
    if (!playing || s.flips >= maxFlips) press(SDLK_ESCAPE);
  };
  if (chdir(GRUMO_DATA_DIR) != 0) std::abort();
  int result = SDL_main(0, nullptr);
  return s.flips > maxFlips ? -1 : result;
}

}  // namespace seam

using seam::s;

extern "C" {

Uint32 __wrap_SDL_GetTicks(void) { return s.ticks; }

void __wrap_SDL_Delay(Uint32 ms) {
  s.delays.push_back(ms);
  s.ticks += ms;
}

int __wrap_SDL_PollEvent(SDL_Event* event) {
  if (s.events.empty()) return 0;
  *event = s.events.front();
  s.events.pop_front();
  return 1;
}

Uint8* __wrap_SDL_GetKeyState(int* numkeys) {
  if (numkeys) *numkeys = SDLK_LAST;
  return s.keys;
}

int __wrap_SDL_Flip(SDL_Surface*) {
  if (s.onFlip) s.onFlip(s.view);
  ++s.flips;
  s.view = seam::View();
  return 0;
}

int __wrap_SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) {
  seam::View& v = s.view;
  const int x = dstrect ? dstrect->x : 0, y = dstrect ? dstrect->y : 0;
  if (srcrect && src->w >= cFont::numGlyphs * 8 && srcrect->w == 8)
    v.glyphs.push_back({src, cFont::glyphs[srcrect->x / 8], x, y});
  if (!srcrect && src->w == 17) v.jumpers.push_back({src, x, y});
  if (!srcrect && src->w == 50) v.boards.push_back({src, x, y});
  if (!srcrect && src->w == 16) v.balloons.push_back({src, x, y});
  return __real_SDL_UpperBlit(src, srcrect, dst, dstrect);
}

int __wrap_FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
  s.sounds.push_back({s.flips, sample});
  return __real_FSOUND_PlaySound(channel, sample);
}

int __wrap_FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
  ++s.musicStarts;
  return __real_FSOUND_Stream_Play(channel, stream);
}
}
