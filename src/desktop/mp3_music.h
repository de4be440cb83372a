// The music, streamed from an MP3 file: libmpg123 decodes a frame at a time
// as the mixer asks, at whatever rate and channels each frame has, and
// ToMixer brings it to the mixer's own format.
#ifndef GRUMO_DESKTOP_MP3_MUSIC_H
#define GRUMO_DESKTOP_MP3_MUSIC_H

#include <string>
#include <vector>

#include "mixer_pcm.h"

typedef struct mpg123_handle_struct mpg123_handle;

class MusicSource {
 public:
  MusicSource(const char* path, const MixerFormat& mixer);
  ~MusicSource();
  MusicSource(const MusicSource&) = delete;
  MusicSource& operator=(const MusicSource&) = delete;

  // False unless the file starts, after its tags, with music the decoder can play.
  bool startsWithMusic();
  // The next `bytes` of sound in the mixer's format; silence once it has ended.
  void fill(Uint8* out, int bytes);
  // The same, at the mixer's music volume: music played through a hook skips it.
  void mix(Uint8* out, int bytes, int volume);
  bool looping = false;

 private:
  bool open();
  // Back to the start for the next pass; false when the music ends here.
  bool rewind();
  // 1 when the next frame gave sound, 0 when it gave none, -1 at the end.
  int decodeFrame();

  std::string path;
  MixerFormat mixer;
  ToMixer pcm;
  std::vector<Uint8> unmixed;
  mpg123_handle* decoder = nullptr;
  long rate = 0;
  int channels = 0;
  size_t passBytes = 0;  // of sound the pass that plays has given
  bool ended = false;
};

#endif
