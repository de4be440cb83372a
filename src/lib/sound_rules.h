// How the game's sounds meet in the mix, the same in every build.
#ifndef GRUMO_LIB_SOUND_RULES_H
#define GRUMO_LIB_SOUND_RULES_H

#include <SDL_mixer.h>

// Starts `chunk` on a free channel. Started again within a few milliseconds of
// itself, it joins the running playback and returns its channel: copies in
// phase would add up to one louder, harsher sound.
int playUnstacked(Mix_Chunk* chunk);

#endif
