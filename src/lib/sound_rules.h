// How the game's sounds meet in the mix, the same in every build.
#ifndef GRUMO_LIB_SOUND_RULES_H
#define GRUMO_LIB_SOUND_RULES_H

#include <SDL_mixer.h>

// Starts `chunk` on a free channel. Started again within a few milliseconds of
// itself, it joins the running playback and returns its channel: copies in
// phase would add up to one louder, harsher sound.
int playUnstacked(Mix_Chunk* chunk);

// Every sound is mixed at 1 / kHeadroom of its volume, which leaves 6 dB over
// full scale for the limiter to bring back.
constexpr int kHeadroom = 2;

// Puts the limiter on the mix and then mixes with the headroom.
void mixWithHeadroom();

// The limiter's curve: a mixed sample in units of full scale, up to the
// kHeadroom allowed, to what is played. Untouched up to the knee, then bent
// smoothly, to come to full scale only as the headroom runs out.
float limited(float mixed);

// Each platform puts limited() on the end of its own mix; false when it cannot.
bool installLimiter();

#endif
