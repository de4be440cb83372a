#include "fsound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstring>

#include "SDLFunctions.h"
#include "sound_rules.h"

struct FSOUND_STREAM {
  Mix_Music* music;
  bool looping;
};

struct FSOUND_SAMPLE {
  Mix_Chunk* chunk;
};

namespace {

struct Mp3Format {
  int rate;
  int channels;
};

// Reads the first MPEG audio frame header, after an ID3v2 tag if there is
// one. libmad accepts almost any bytes and plays them as silence, so a file
// that does not start like this does not count as music.
bool readMp3Format(const char* name, Mp3Format& format) {
  FILE* file = std::fopen(name, "rb");
  if (!file) return false;
  unsigned char head[10] = {0};
  unsigned char frame[4] = {0};
  bool ok = std::fread(head, 1, sizeof head, file) == sizeof head;
  long start = 0;
  if (ok && std::memcmp(head, "ID3", 3) == 0)
    start = 10 + (((head[6] & 0x7f) << 21) | ((head[7] & 0x7f) << 14) | ((head[8] & 0x7f) << 7) |
                  (head[9] & 0x7f));
  ok = ok && std::fseek(file, start, SEEK_SET) == 0 && std::fread(frame, 1, 4, file) == 4;
  std::fclose(file);
  if (!ok || frame[0] != 0xff || (frame[1] & 0xe0) != 0xe0) return false;

  static const int rates[4][3] = {
      {11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};
  int version = (frame[1] >> 3) & 3;  // 0 MPEG 2.5, 2 MPEG 2, 3 MPEG 1
  int rateIndex = (frame[2] >> 2) & 3;
  if (rateIndex == 3) return false;
  format.rate = rates[version][rateIndex];
  format.channels = (frame[3] >> 6) == 3 ? 1 : 2;
  return format.rate != 0;
}

// A sound card plays from about 4 to 192 kHz; a header outside that would
// have the mixer resample a few bytes into hundreds of megabytes.
bool hasPlayableRate(const char* name) {
  FILE* file = std::fopen(name, "rb");
  if (!file) return false;
  unsigned char head[12] = {0};
  unsigned char chunk[16] = {0};
  bool wave = std::fread(head, 1, 12, file) == 12 && std::memcmp(head, "RIFF", 4) == 0 &&
              std::memcmp(head + 8, "WAVE", 4) == 0;
  long rate = -1;
  while (wave && rate < 0 && std::fread(chunk, 1, 8, file) == 8) {
    const long size = littleEndian(chunk + 4, 4);
    if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 8 && std::fread(chunk + 8, 1, 8, file) == 8)
      rate = littleEndian(chunk + 12, 4);
    else if (std::fseek(file, size + (size & 1), SEEK_CUR) != 0)
      break;
  }
  std::fclose(file);
  return rate >= 4000 && rate <= 192000;
}

}  // namespace

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
  Mp3Format file{};
  int rate = 0;
  Uint16 sampleFormat = 0;
  int channels = 0;
  if (!name || !isRegularFile(name) || !readMp3Format(name, file) ||
      !Mix_QuerySpec(&rate, &sampleFormat, &channels))
    return nullptr;
  // SDL_mixer converts MP3 output in place, in a buffer sized for the file's
  // own format: music at another rate or channel count would overrun it.
  if (file.rate != rate || file.channels != channels) return nullptr;
  Mix_Music* music = Mix_LoadMUS(name);
  if (!music) return nullptr;
  return new FSOUND_STREAM{music, (mode & FSOUND_LOOP_NORMAL) != 0};
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int /*index*/, const char* name, unsigned int /*mode*/,
                                  int /*offset*/, int /*length*/) {
  if (!name || !isRegularFile(name) || !hasPlayableRate(name)) return nullptr;
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
  return playUnstacked(sample->chunk);
}
}
