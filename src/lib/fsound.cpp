#include "fsound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstring>

struct FSOUND_STREAM {
  Mix_Music* music;
  bool looping;
};

struct FSOUND_SAMPLE {
  Mix_Chunk* chunk;
};

namespace {

// libmad accepts almost any bytes as MP3 and plays silence, so a file must
// start with an ID3v2 tag or an MPEG audio frame header to count as music.
bool looksLikeMp3(const char* name) {
  FILE* file = std::fopen(name, "rb");
  if (!file) return false;
  unsigned char head[10] = {0};
  size_t got = std::fread(head, 1, sizeof head, file);
  bool ok = false;
  if (got >= 10 && std::memcmp(head, "ID3", 3) == 0) {
    // Skip the tag and demand a frame header right after it.
    long tagSize = ((head[6] & 0x7f) << 21) | ((head[7] & 0x7f) << 14) | ((head[8] & 0x7f) << 7) |
                   (head[9] & 0x7f);
    unsigned char frame[2] = {0};
    ok = std::fseek(file, 10 + tagSize, SEEK_SET) == 0 && std::fread(frame, 1, 2, file) == 2 &&
         frame[0] == 0xff && (frame[1] & 0xe0) == 0xe0;
  } else if (got >= 2) {
    ok = head[0] == 0xff && (head[1] & 0xe0) == 0xe0;
  }
  std::fclose(file);
  return ok;
}

}  // namespace

extern "C" {

signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int /*flags*/) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) return 0;
  if (Mix_OpenAudio(mixrate, AUDIO_S16SYS, 2, 1024) < 0) return 0;
  Mix_AllocateChannels(maxsoftwarechannels);
  return 1;
}

FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int /*offset*/,
                                  int /*length*/) {
  if (!name || !looksLikeMp3(name)) return nullptr;
  Mix_Music* music = Mix_LoadMUS(name);
  if (!music) return nullptr;
  return new FSOUND_STREAM{music, (mode & FSOUND_LOOP_NORMAL) != 0};
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int /*index*/, const char* name, unsigned int /*mode*/,
                                  int /*offset*/, int /*length*/) {
  if (!name) return nullptr;
  Mix_Chunk* chunk = Mix_LoadWAV(name);
  if (!chunk) return nullptr;
  return new FSOUND_SAMPLE{chunk};
}

int FSOUND_Stream_Play(int /*channel*/, FSOUND_STREAM* stream) {
  if (!stream) return -1;
  if (Mix_PlayMusic(stream->music, stream->looping ? -1 : 0) < 0) return -1;
  return 0;
}

int FSOUND_PlaySound(int /*channel*/, FSOUND_SAMPLE* sample) {
  if (!sample) return -1;
  return Mix_PlayChannel(-1, sample->chunk, 0);
}
}
