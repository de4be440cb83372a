// The browser decodes music and effects itself (Web Audio), so its SDL_mixer
// is handed the files as they are.
#include "sound_files.h"

#include <SDL_mixer.h>
#include <emscripten.h>

#include <cstdio>
#include <cstring>

class MusicSource {
 public:
  explicit MusicSource(Mix_Music* music) : music(music) {}
  Mix_Music* music;
};

namespace {

unsigned bigEndian(const unsigned char* bytes, int count) {
  unsigned value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
  return value;
}

// Samples at the file's rate: the encoder's silence before the music (with
// the decoder's own 529 samples of delay), the music, and the whole file decoded.
struct EncoderSilence {
  int rate;
  unsigned start, music, total;
};

// From the LAME info frame, the first MPEG frame after the ID3v2 tags.
bool readEncoderSilence(const char* path, EncoderSilence& found) {
  unsigned char head[4096] = {0};
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  long at = 0;
  size_t read = 0;
  while (std::fseek(file, at, SEEK_SET) == 0 &&
         (read = std::fread(head, 1, sizeof head, file)) >= 10 && std::memcmp(head, "ID3", 3) == 0)
    at += 10 + (head[6] << 21 | head[7] << 14 | head[8] << 7 | head[9]) + (head[5] & 0x10 ? 10 : 0);
  std::fclose(file);
  static const int rates[3][3] = {
      {44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};
  const int version = head[1] >> 3 & 3, rateIndex = head[2] >> 2 & 3;  // version 3 is MPEG-1
  const bool mpeg1 = version == 3, mono = head[3] >> 6 == 3;
  if (read < 256 || head[0] != 0xff || (head[1] & 0xe6) != 0xe2 || version == 1 || rateIndex == 3)
    return false;
  const size_t info = 4 + (mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
  const unsigned flags = bigEndian(head + info + 4, 4);
  const size_t lame = info + 12 + (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
  if ((std::memcmp(head + info, "Xing", 4) && std::memcmp(head + info, "Info", 4)) ||
      !(flags & 1) || std::memcmp(head + lame, "LAME", 4))
    return false;
  const unsigned delay = bigEndian(head + lame + 21, 3) >> 12,
                 padding = bigEndian(head + lame + 21, 3) & 0xfff;
  found.rate = rates[mpeg1 ? 0 : version == 2 ? 1 : 2][rateIndex];
  found.total = bigEndian(head + info + 8, 4) * (mpeg1 ? 1152 : 576);
  found.start = delay + 529;
  found.music = found.total - delay - padding;
  return delay + padding < found.total;
}

// A decoder that keeps the encoder's silence makes a gap at every loop: the
// music's loop points are then set round it. Whether it kept it shows in how
// long the decoded music is. A file that does not say loops whole.
void loopWithoutEncoderSilence(const char* path) {
  EncoderSilence silence;
  if (!readEncoderSilence(path, silence)) return;
  EM_ASM(
      {
        var play = SDL.playWebAudio;
        var start = $0;
        var end = $1;
        var kept = $2;
        SDL.playWebAudio = function(audio) {
          play(audio);
          var node = audio.webAudioNode;
          if (audio != SDL.music.audio || !node || node.buffer.duration < kept) return;
          node.loopStart = start;
          node.loopEnd = end;
        };
      },
      double(silence.start) / silence.rate, double(silence.start + silence.music) / silence.rate,
      (silence.total + silence.music) / 2.0 / silence.rate);
}

}  // namespace

MusicSource* openMusic(const char* path) {
  Mix_Music* music = Mix_LoadMUS(path);
  if (music) loopWithoutEncoderSilence(path);
  return music ? new MusicSource(music) : nullptr;
}

bool playMusic(MusicSource* source, bool looping) {
  return Mix_PlayMusic(source->music, looping ? -1 : 0) == 0;
}

Mix_Chunk* loadEffect(const char* path) { return Mix_LoadWAV(path); }
