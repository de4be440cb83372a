// The browser decodes music and effects itself (Web Audio), so its SDL_mixer
// is handed the files as they are.
#include "sound_files.h"

#include <SDL_mixer.h>

class MusicSource {
 public:
  explicit MusicSource(Mix_Music* music) : music(music) {}
  Mix_Music* music;
};

MusicSource* openMusic(const char* path) {
  Mix_Music* music = Mix_LoadMUS(path);
  return music ? new MusicSource(music) : nullptr;
}

bool playMusic(MusicSource* source, bool looping) {
  return Mix_PlayMusic(source->music, looping ? -1 : 0) == 0;
}

Mix_Chunk* loadEffect(const char* path) { return Mix_LoadWAV(path); }
