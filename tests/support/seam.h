// Test seam: the SDL and sound calls the game makes are redirected at link time
// (-Wl,--wrap) to a virtual clock, scripted input and recorders, so tests
// drive the shipped game code frame by frame without a display or sound card.
#ifndef GRUMO_TESTS_SEAM_H
#define GRUMO_TESTS_SEAM_H

#include <SDL.h>

#include <functional>
#include <vector>

#include "fsound.h"

namespace seam {

struct Blit {
  SDL_Surface* src;
  bool hasSrcRect;
  SDL_Rect srcRect;
  SDL_Surface* dst;
  bool hasDstRect;
  SDL_Rect dstRect;  // as asked for, before SDL clips it
};

struct Sound {
  int frame;  // number of flips before the sound started
  FSOUND_SAMPLE* sample;
};

// Back to tick 0, no keys held, nothing queued, nothing recorded, no hook.
void reset();

Uint32 now();
void setNow(Uint32 ms);
void advance(Uint32 ms);

// A key press queues its key-down event and holds the key; release undoes both.
void press(SDLKey key);
void release(SDLKey key);
// Changes the held state alone, as if the press had been read earlier.
void hold(SDLKey key, bool held);
void queueEvent(const SDL_Event& event);

// Blits since the last flip (all blits when nothing has flipped yet).
const std::vector<Blit>& frameBlits();
// Every SDL_Delay in order.
const std::vector<Uint32>& delays();
// Every sample started with FSOUND_PlaySound, and music started.
const std::vector<Sound>& sounds();
int musicStarts();
// Drops the delay and sound records, so that long runs do not grow them.
void forget();
int flips();

// Runs at every SDL_Flip, before the frame's blit record is cleared.
using FlipHook = std::function<void(SDL_Surface* screen, int flip)>;
void onFlip(FlipHook hook);

// Runs the real SDL_main from the data directory with the hook at every flip.
// The hook must press Escape twice in the end; after maxFlips flips the
// harness presses it itself and overran() turns true.
// `before` runs after the reset, before the game starts (to hold keys, say).
int runGame(FlipHook hook, int maxFlips = 200000, std::function<void()> before = nullptr);
// Runs the game with a script called after every flip; once it returns false
// the harness presses Escape at every flip, ending play and then the credits.
int playGame(std::function<bool(int flip)> script, int maxFlips = 200000,
             std::function<void()> before = nullptr);
bool overran();

// Number of sounds of one sample started in flips [from, to).
int countSounds(FSOUND_SAMPLE* sample, int from = 0, int to = 1 << 30);

}  // namespace seam

#endif
