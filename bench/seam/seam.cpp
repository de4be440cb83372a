#include "seam.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "main.h"

extern "C" {
int __real_SDL_PollEvent(SDL_Event* event);
int __real_SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect);
int __real_FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);
int __real_FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
}

namespace seam {
namespace {

struct State {
  Uint32 ticks = 0;
  std::deque<SDL_Event> events;
  View view;
  std::vector<Uint32> delays;
  std::vector<std::pair<int, FSOUND_SAMPLE*>> sounds;  // flip, sample
  int musicStarts = 0, flips = 0;
  std::function<void()> onFlip;
} s;

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
  static int widths[cFont::numGlyphs];
  if (!widths[0]) createList(widths);
  std::string text;
  int next = x;
  for (const Glyph& g : glyphs) {
    if (g.y != y || (text.empty() && g.x != x)) continue;
    // A space moves the pen 4 on; a text box leaves 3 between its words.
    if (g.x == next + 3 || g.x == next + 4) text += ' ';
    if (g.x != next && g.x != next + 3 && g.x != next + 4) break;
    text += g.letter;
    next = g.x + widths[std::strchr(cFont::glyphs, g.letter) - cFont::glyphs] + 1;
  }
  return text;
}

SDL_Surface* View::sheetAt(int x, int y) const {
  auto g = std::find_if(glyphs.begin(), glyphs.end(), [&](auto g) { return g.x == x && g.y == y; });
  return g == glyphs.end() ? nullptr : g->sheet;
}

void reset() { s = State(), std::memset(SDL_GetKeyState(nullptr), 0, SDLK_LAST); }
void advance(Uint32 ms) { s.ticks += ms; }
// Held in SDL's own key state, beside what the platform layer holds there for pads.
void hold(SDLKey key, bool held) { SDL_GetKeyState(nullptr)[key] = held; }
void queueEvent(SDL_Event event) { s.events.push_back(event); }
View frame() { return s.view; }
const std::vector<Uint32>& delays() { return s.delays; }
int musicStarts() { return s.musicStarts; }

static void keyEvent(SDLKey key, Uint8 type) {
  SDL_Event event{};
  event.type = event.key.type = type;
  event.key.keysym.sym = key;
  queueEvent(event);
  hold(key, type == SDL_KEYDOWN);
}
void press(SDLKey key) { keyEvent(key, SDL_KEYDOWN); }
void release(SDLKey key) { keyEvent(key, SDL_KEYUP); }

int sounds(FSOUND_SAMPLE* sample, int from, int to) {
  return std::count_if(s.sounds.begin(), s.sounds.end(), [&](auto p) {
    return p.second == sample && p.first >= from && p.first < to;
  });
}

int play(const std::function<bool(int, const View&)>& script, int maxFlips) {
  reset();
  bool playing = true;
  s.onFlip = [&] {
    playing = script(s.flips, s.view) && playing;
    if (!playing || s.flips >= maxFlips) press(SDLK_ESCAPE);
  };
  const char* data = std::getenv("GRUMO_SEAM_DATA");
  if (chdir(data ? data : GRUMO_DATA_DIR) != 0) std::abort();
  const int result = SDL_main(0, nullptr);
  return s.flips > maxFlips ? -1 : result;
}

}  // namespace seam

using seam::s;

extern "C" {

Uint32 __wrap_SDL_GetTicks(void) { return s.ticks; }

void __wrap_SDL_Delay(Uint32 ms) { s.delays.push_back(ms), s.ticks += ms; }

// After the scripted keys, what SDL has: the keys that pads hand the game.
int __wrap_SDL_PollEvent(SDL_Event* event) {
  if (s.events.empty()) return __real_SDL_PollEvent(event);
  *event = s.events.front();
  s.events.pop_front();
  return 1;
}

int __wrap_SDL_Flip(SDL_Surface*) {
  if (s.onFlip) s.onFlip();
  ++s.flips;
  s.view = seam::View();
  return 0;
}

int __wrap_SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) {
  const int x = dstrect ? dstrect->x : 0, y = dstrect ? dstrect->y : 0;
  seam::View& v = s.view;
  if (srcrect && src->w >= cFont::numGlyphs * 8 && srcrect->w == 8)
    v.glyphs.push_back({src, cFont::glyphs[srcrect->x / 8], x, y});
  if (!srcrect) {
    if (src->w == 320) v = seam::View();  // the backdrop covers all drawn before it
    auto& placed = src->w == 17 ? v.jumpers : src->w == 50 ? v.boards : v.balloons;
    if (src->w == 17 || src->w == 50 || src->w == 16) placed.push_back({src, x, y});
  }
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
