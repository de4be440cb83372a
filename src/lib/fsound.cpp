#include "fsound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "SDLFunctions.h"
#include "sound_files.h"
#include "sound_rules.h"

extern "C" {

signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int /*flags*/) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) return 0;
  if (Mix_OpenAudio(mixrate, AUDIO_S16SYS, 2, 1024) < 0) return 0;
  Mix_AllocateChannels(maxsoftwarechannels);
  mixWithHeadroom();
  return 1;
}

FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int /*offset*/,
                                  int /*length*/) {
  if (!name || !isRegularFile(name)) return nullptr;
  MusicSource* music = openMusic(name);
  if (!music) return nullptr;
  return new FSOUND_STREAM{music, (mode & FSOUND_LOOP_NORMAL) != 0};
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int /*index*/, const char* name, unsigned int /*mode*/,
                                  int /*offset*/, int /*length*/) {
  if (!name || !isRegularFile(name)) return nullptr;
  Mix_Chunk* chunk = loadEffect(name);
  if (!chunk) return nullptr;
  return new FSOUND_SAMPLE{chunk};
}

int FSOUND_Stream_Play(int /*channel*/, FSOUND_STREAM* stream) {
  if (!stream) return -1;
  return playMusic(stream->music, stream->looping) ? 0 : -1;
}

int FSOUND_PlaySound(int /*channel*/, FSOUND_SAMPLE* sample) {
  if (!sample) return -1;
  return playUnstacked(sample->chunk);
}
}
