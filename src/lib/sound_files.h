// Where the sound calls meet the platform. Each platform reads the music and
// the effect files its own way and hands SDL_mixer only what it can play: the
// desktop decodes them itself (src/desktop), the browser leaves that to the
// browser (web/).
#ifndef GRUMO_LIB_SOUND_FILES_H
#define GRUMO_LIB_SOUND_FILES_H

#include <SDL_mixer.h>

class MusicSource;

struct FSOUND_STREAM {
  MusicSource* music;
  bool looping;
};

struct FSOUND_SAMPLE {
  Mix_Chunk* chunk;
};

// Null when the file cannot be played. Needs the mixer open.
MusicSource* openMusic(const char* path);
// Starts the music, looping or once; false when it cannot start.
bool playMusic(MusicSource* music, bool looping);
// A sound effect ready for the mixer; null when the file cannot be played.
Mix_Chunk* loadEffect(const char* path);

#endif
